#pragma once

#include <QDate>
#include <QString>

// Document numbers, their counters in the own-company table and the dates of the page.

// The document kind that makes a document a proforma; every other kind is an invoice.
inline const QString kProformaKind = QStringLiteral("ПРОФОРМА ФАКТУРА / PROFORMA INVOICE");
// The two counter fields of the own-company table.
inline const QString kInvoiceCounter = QStringLiteral("Фактура №");
inline const QString kProformaCounter = QStringLiteral("Проформа №");

// True exactly when the document kind is the proforma kind.
bool IsProforma(const QString &kind);
// The counter field that numbers documents of this kind.
QString CounterField(const QString &kind);

// Leading "0" characters until the text has 10 characters; a longer text stays as it is.
QString TenDigits(const QString &text);
QString TenDigits(qint64 number);

// The own-company table file that holds the counters.
inline const QString kCounterTable = QStringLiteral("Firm.db");

// A stored counter as a number: a whole number from 0 up to the last one that still has a next.
// Anything else throws a UserError naming the counter field and its table (a text that is no
// number at all with the integer conversion error first).
int CounterValue(const QString &counterText, const QString &field);
// The number after a stored counter, in ten-digit form; refuses a counter as CounterValue does.
QString NextDocumentNumber(const QString &counterText, const QString &field);
// A document number as the page holds it, read as a whole number from 0 up (the integer
// conversion error for a text that is no whole 32-bit number, a user error below 0).
int DocumentNumberValue(const QString &number);
// A number typed by hand for the document: a whole number from 1 up to the largest a counter
// can hold; the integer conversion error for a text that is no whole number, a user error for one
// below 1.
qint64 ManualDocumentNumber(const QString &text);
// The number of the invoice a note corrects as typed: digits in ten-digit form, anything else as
// it is, blanks around dropped.
QString ReferencedNumber(const QString &text);
// Whether a printed number goes into the counter: only a number greater than the stored one, so a
// counter never goes back and never hands out a number twice. The stored text must be a number.
bool CounterMustAdvance(int printedNumber, const QString &storedCounterText);

// A date as the page shows it: day.month.year with two-digit day and month, four-digit year.
QString DateText(const QDate &date);
// The number-and-date line under the title.
QString NumberAndDateLine(const QString &number, const QString &date);
