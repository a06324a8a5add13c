#pragma once

#include <QString>

class ServerConnection;

// The journal as the server keeps it: the pages' table "Journal" with the columns of the file's
// journal, each page's PDF and its archived bitmap (compressed) beside it, so that any desk can
// open or print it again, and "JournalLine". An own company's number is in it once per series
// and page (original or copy): the server refuses a second one, whichever desk sends it.
namespace ServerJournalLayout
{
// Creates the journal's tables on the server, inside the caller's transaction.
void Create(const ServerConnection &server);
// Copies the pages and lines of the journal file (brought up to this layout first), with the
// files of each page found beside it, inside the caller's transaction; returns the pages copied.
// A missing file copies nothing.
int Copy(const ServerConnection &server, const QString &journalFile);
} // namespace ServerJournalLayout
