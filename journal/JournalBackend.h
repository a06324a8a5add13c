#pragma once

#include "base/ServerSettings.h"
#include "journal/JournalStore.h"

#include <QSet>
#include <QSqlDatabase>

#include <memory>

// Where a journal lives, behind what the print's hold on its number and the journal's reads need:
// the file "Journal.db" beside the table files (with the counters in "Firm.db"), or the server
// the desks of an office share, which keeps the counters, the journal and each page's PDF.

// A print's hold on the counter of its own company, from before anything is printed to the
// commit; whatever is not committed is undone when it goes.
class CounterHold
{
public:
    virtual ~CounterHold();
    // The stored counter of the request's own company and series, read under the hold: no other
    // run or desk can store a number until the hold ends.
    virtual QString counter() = 0;
    // Whether the journal holds the request's number for its own company and series.
    virtual bool journalHolds() = 0;
    virtual bool withJournal() const = 0;
    // Why there is no journal with the counter (the file one can be unusable), or empty.
    virtual QString journalProblem() const = 0;
    // Stores the number ("0000000042") into the counter.
    virtual void storeCounter(const QString &number) = 0;
    // Adds the page with its lines; returns its id.
    virtual qint64 insert(const JournalEntry &entry) = 0;
    // Makes the counter and the page lasting together; a failure throws a UserError.
    virtual void commit() = 0;
};

class JournalBackend
{
public:
    virtual ~JournalBackend();
    // The journal as messages name it (its file, or the server).
    virtual QString name() const = 0;
    // Whether there is a journal to read; a file not created yet reads as empty.
    virtual bool exists() const = 0;
    // A connection for reading, opened at the first call; throws JournalError.
    virtual QSqlDatabase db() = 0;
    // The columns of the pages' table (an older file lacks some).
    virtual QSet<QString> columns() = 0;
    // Brings a journal of an earlier layout up to this one; throws JournalError.
    virtual void bringUp() = 0;
    // Takes the hold on the counter of the request; throws a UserError when it cannot.
    virtual std::unique_ptr<CounterHold> hold(const IssueRequest &request) = 0;
    // What the journal keeps of a page besides its row, for a desk whose own folder lacks the
    // files: its PDF, and its archived bitmap compressed (qCompress); empty when it keeps none.
    virtual QByteArray keptPdf(qint64 id) = 0;
    virtual QByteArray keptBitmap(qint64 id) = 0;
};

// The journal of the file `journalFile`: the server's when the run keeps that folder's data
// there, else the file.
std::unique_ptr<JournalBackend> JournalAt(const QString &journalFile);
// The two kinds.
std::unique_ptr<JournalBackend> FileJournal(const QString &journalFile);
std::unique_ptr<JournalBackend> ServerJournal(const ServerSettings &settings);
