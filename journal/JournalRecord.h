#pragma once

#include <QString>
#include <QVector>

// One archived page as the journal keeps it. Amounts, rates and dates are texts exactly as the
// page shows them; only the line position, the colour depth and the copy mark are numbers.

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
};

// The four kinds of document a journal row names.
inline const QString kKindInvoice = QStringLiteral("Фактура");
inline const QString kKindProforma = QStringLiteral("Проформа фактура");
inline const QString kKindCreditNote = QStringLiteral("Кредитно известие");
inline const QString kKindDebitNote = QStringLiteral("Дебитно известие");

// The kind of a page from its title and its note title (empty when the page is no note): a
// credit or debit note by the note title, otherwise a proforma or an invoice by the title.
QString DocumentKindOfPage(const QString &title, const QString &noteTitle);

// A total as the page shows it, "398.40 BGL": the amount and the currency code. A text without
// a blank is all amount.
struct AmountWithCode {
    QString amount, code;
};
AmountWithCode SplitAmount(const QString &shown);

// The date of a number-and-date line ("№ 0000000042 / Дата(Date): 08.12.2026"): the text after
// the date caption, or an empty text when the line has none.
QString DateOfNumberLine(const QString &line);
