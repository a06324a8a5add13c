#pragma once

#include "ledger/SalesLedger.h"

#include <QString>

class QPagedPaintDevice;

// The sales ledger on paper and as PDF: landscape A4 pages of 30 records, each page headed by the
// company, its VAT number, the period and "стр. 1 от 3", the period's totals on the last page.
namespace Ledger
{
// The records a page holds.
constexpr int kRecordsPerPage = 30;

// The pages the ledger takes: at least one, so that an empty period still shows its zeros.
int PageCount(const SalesLedger &ledger);
// Paints the ledger on a printer or a PDF writer, which it sets to landscape A4. Throws a
// UserError, painting nothing, unless the ledger can be filed (see RequireComplete).
void PaintLedger(QPagedPaintDevice &device, const SalesLedger &ledger);
// Writes the ledger as a PDF file all or nothing; throws a UserError as PaintLedger does or when
// the file cannot be written.
void WriteLedgerPdf(const SalesLedger &ledger, const QString &fileName);
} // namespace Ledger
