#pragma once

#include "ledger/SalesLedger.h"

#include <QByteArray>
#include <QString>

// PRODAGBI.TXT, the sales ledger as the VAT return takes it: one fixed-width record of 424
// characters per document in Windows-1251 (a character it lacks becomes "?"), each followed by
// CR LF; no header and no footer, so an empty ledger is an empty file.
namespace Ledger
{
// The width of a record, without its CR LF.
constexpr int kRecordWidth = 424;

// One record's 424 bytes.
QByteArray RecordBytes(const SalesLedger &ledger, const Record &record);
// The whole file. Throws a UserError naming the refused documents unless the ledger is complete.
QByteArray FileBytes(const SalesLedger &ledger);
// Writes the file all or nothing; throws a UserError when the ledger is not complete (nothing is
// written then) or the file cannot be written.
void WriteFile(const SalesLedger &ledger, const QString &fileName);
} // namespace Ledger
