#pragma once

#include "document/Invoice.h"

#include <QByteArray>

// The document as JSON, as the journal keeps it beside each issued page so that its e-invoice,
// its ledger record and its reprint come from the document itself. Amounts are written as
// decimal texts with the decimals the page shows ("24.90"), dates as yyyy-MM-dd, the logo as
// base64; a field missing from the text (an older journal) reads as the empty default.

QByteArray InvoiceToJson(const Invoice &doc);
// Throws a UserError for a text that is not such a document.
Invoice InvoiceFromJson(const QByteArray &json);
