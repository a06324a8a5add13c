#pragma once

#include "document/Invoice.h"

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
};

// What the print knows of a page beyond the document.
struct PrintedPage {
    QString mark;
    int bitsPerPixel = 8;
    QString bitmapFile;
    QString pdfFile; // empty when no PDF was written
};

// The journal entry of a document printed as described, at the given time.
JournalEntry EntryOfDocument(const Invoice &doc, const PrintedPage &printed,
                             const QDateTime &printedAt);
