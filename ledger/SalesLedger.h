#pragma once

#include "document/ZeroVatGrounds.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <array>

// The sales ledger of a tax period ("дневник за продажбите"), filed each month with the VAT
// return: one record per tax document of the month in the order of their numbers, with the
// columns the return wants, and apart from them the documents that cannot go into it and why.
namespace Ledger
{
// A document's kind as the ledger knows it; a proforma is no tax document and is never listed.
enum class DocumentType { Invoice, DebitNote, CreditNote, Proforma };

// One issued document as the ledger needs it; the journal keeps these fields per document.
// Amounts are counts of ten-thousandths (Decimal::kFixedScale) in the document's home currency,
// as the document shows them: a credit note comes positive (or already negative) and is listed
// negative either way.
struct Document {
    DocumentType type = DocumentType::Invoice;
    qint64 number = 0; // printed with ten digits
    QDate date;        // the document's date, which decides its period
    // The recipient as the ledger names it: see RecipientIdentifier.
    QString recipientId;
    QString recipientName;
    QString description; // the first line's description
    QString currency;    // the home currency of the document, ISO 4217: "BGN" or "EUR"
    qint64 base20 = 0, vat20 = 0;
    qint64 base9 = 0, vat9 = 0;
    qint64 base0 = 0;
    // The ground printed for the base at 0 % and the column it was classified to.
    QString zeroVatGround;
    LedgerColumn zeroVatColumn = LedgerColumn::Unclassified;
};

// The amount columns of a record, in the order the file writes them.
enum Column : int {
    TotalBase,            // 02-10
    TotalVat,             // 02-20
    Base20,               // 02-11
    Vat20,                // 02-21
    BaseAcquisitions,     // 02-12, intra-Community acquisitions
    BaseArt82,            // 02-26, supplies received under art. 82(2)-(5)
    VatAcquisitions,      // 02-22
    VatPersonalUse,       // 02-23
    Base9,                // 02-13
    Vat9,                 // 02-24
    BaseChapterThree,     // 02-14
    BaseIntraCommunity,   // 02-15
    BaseArt140_146_173,   // 02-16
    BaseServiceElsewhere, // 02-17
    BaseArt69,            // 02-18
    BaseExempt,           // 02-19
    BaseTriangular,       // 02-25
    kColumnCount
};
// A record's amounts by Column, counts of ten-thousandths in whole cents.
using Amounts = std::array<qint64, kColumnCount>;

// The column's code on the return, "02-10".
QString ColumnCode(int column);
// The column's short caption on screen and paper, "ДДС 20 %".
QString ColumnCaption(int column);

// One record of the ledger.
struct Record {
    int sequence = 0; // 02-03, from 1
    DocumentType type = DocumentType::Invoice;
    qint64 number = 0;
    QDate date;
    QString recipientId, recipientName, description;
    Amounts amounts{};      // in the period's currency, a credit note's negative
    bool converted = false; // from the document's home currency at 1.95583
};

// A document that cannot go into the ledger.
struct Refusal {
    QString document; // "Фактура № 0000000042 от 15.01.2026"
    QString reason;   // in Bulgarian, several joined with "; "
};

// The own company the ledger is kept for.
struct Company {
    QString name;
    QString vatNumber; // 02-00 with its prefix, "BG175074752"
};

struct SalesLedger {
    Company company;
    QString period;   // "yyyymm"
    QString currency; // of the period, ISO 4217
    QVector<Record> records;
    Amounts totals{};
    QVector<Refusal> refused;
    int convertedCount = 0; // records converted from the other currency

    // Whether every document of the period is in the records.
    bool complete() const { return refused.isEmpty(); }
};

// The currency a period's amounts are stated in: "EUR" from 202601, "BGN" up to 202512. Throws
// a UserError when the period is no "yyyymm".
QString PeriodCurrency(const QString &period);
// The recipient's identifier as the ledger wants it: its VAT number when it has one; else
// "999999999999999" for a recipient abroad, its ЕИК or ЕГН for one at home. Blanks inside are
// dropped; empty when a recipient at home has neither.
QString RecipientIdentifier(const QString &vatNumber, const QString &id, bool abroad);
// 02-10, the total tax base of a record: every base except the triangular intermediary's.
qint64 BaseTotal(const Amounts &amounts);
// 02-20, the total VAT of a record: 02-21 + 02-22 + 02-23 + 02-24.
qint64 VatTotal(const Amounts &amounts);

// The ledger of a period from the documents: those of other periods are left out, proformas
// never go in, the others are records or refusals. Throws a UserError on a bad period.
SalesLedger Build(const Company &company, const QString &period,
                  const QVector<Document> &documents);
// How a document is named to the user: "Кредитно известие № 0000000043 от 20.01.2026".
QString DocumentName(DocumentType type, qint64 number, const QDate &date);
// Throws a UserError unless the ledger can be filed: it names each refused document and why, or
// says that the company has no VAT number.
void RequireComplete(const SalesLedger &ledger);
// How many records were converted and how, "1 документ в BGN превърнат в EUR по 1.95583"; empty
// when none was.
QString ConversionNote(const SalesLedger &ledger);
// One line for the user: the period, the documents, the total base and VAT with the currency,
// and how many were converted.
QString Summary(const SalesLedger &ledger);
} // namespace Ledger
