#pragma once

#include "document/Invoice.h"
#include "ledger/SalesLedger.h"

#include <QDateTime>
#include <QString>
#include <QVector>

// One archived page as the journal keeps it. Amounts, rates and dates are texts as the page shows
// them (without a currency code); currencies are ISO 4217 codes. The document itself is kept
// beside them as JSON (InvoiceToJson), so that what is derived from it later (an e-invoice, a
// ledger record) comes from the document and not from these texts.

struct JournalLine {
    int position = 0;    // 1-based place of the line on the page
    QString lineNumber;  // the page's "Пор. №"
    QString description; // continuation rows joined with a blank
    QString measure;
    QString quantity;
    QString unitPrice; // in the home currency
    QString foreignUnitPrice;
    QString value; // in the home currency
    QString foreignValue;
};

// What the sales ledger takes of a document, kept with each of its journal rows: worked out from
// the document when it is issued, or once from what an older row holds. Amounts are in the
// document's home currency, with two decimals, as the page shows them.
struct LedgerFields {
    // "01" invoice, "02" debit note, "03" credit note; empty for a proforma, which is no tax
    // document.
    QString type;
    QString period;      // "yyyymm" of the document's date; of the print's day for an undated one
    QString recipientId; // as the ledger names the recipient (Ledger::RecipientIdentifier)
    QString description; // the first line's description
    QString base20, vat20, base9, vat9, base0;
    QString zeroVatColumn; // the ledger column of the base at 0 % ("02-14"); empty for none
    // Why an older row could not be completed (nothing is guessed then); empty when it was.
    QString problem;
};

struct JournalEntry {
    qint64 id = 0; // given by the store; 0 for an entry not stored yet
    QString number;
    QString series; // the counter that numbers it: "Фактура №" or "Проформа №"
    QString kind; // "Фактура", "Проформа фактура", "Кредитно известие", "Дебитно известие"
    QString title; // the page's title as printed
    QString documentDate;
    QString taxEventDate;
    QString supplierName, supplierVat, supplierId;
    QString clientName, clientVat, clientId;
    QString noteReference;
    QString homeCurrency;
    QString taxBase, vatRate, vat, total;
    QString foreignCurrency, foreignRate, foreignTotal;
    QString zeroVatGround;
    int colourDepth = 8;
    bool copy = false;
    QString printedAt; // local time, ISO 8601
    QString bitmapFile, pdfFile;
    QVector<JournalLine> lines;
    QByteArray document; // the document as JSON; empty for a page journalled before it was kept
    LedgerFields ledger;
    QString xmlFile; // the e-invoice beside the archived page; empty when none was written
};

// What the print knows of a page beyond the document.
struct PrintedPage {
    QString mark;
    int bitsPerPixel = 8;
    QString bitmapFile;
    QString pdfFile; // empty when no PDF was written
    QString xmlFile; // empty when no e-invoice was written
};

// The journal entry of a document printed as described, at the given time.
JournalEntry EntryOfDocument(const Invoice &doc, const PrintedPage &printed,
                             const QDateTime &printedAt);

// The ledger's fields of a document as issued.
LedgerFields LedgerFieldsOf(const Invoice &doc);
// The ledger's fields of a row journalled before they were kept, from its texts and its first
// line's description; what the texts cannot tell is named in the problem, never guessed.
LedgerFields LedgerFieldsOfTexts(const JournalEntry &entry, const QString &firstDescription);
// The row as a document of the sales ledger.
Ledger::Document LedgerDocumentOf(const JournalEntry &entry);
// The own company that issued the row's document, as the ledger names it.
Ledger::Company LedgerCompanyOf(const JournalEntry &entry);
