#pragma once

#include <QDate>
#include <QString>

struct Invoice;

// The texts the invoice page shows for parts of the document.

// Shown for a date not given yet.
inline const QString kDatePlaceholder = QStringLiteral("дд.мм.гггг");

// The date as the page shows it (dd.mm.yyyy), or the placeholder for no date.
QString PageDate(const QDate &date);
// A date typed by the user: day, month and year (four digits, or two for 20yy) separated by
// ".", "/" or "-", blanks around ignored. A null date for anything else, an impossible day too.
QDate ParsePageDate(const QString &text);
// The number-and-date line under the title: "№ 0000000042 / Дата(Date): 08.12.2026"; before
// the document is numbered, the line's placeholder.
QString NumberLine(const Invoice &doc);
// The note's reference line: "от дата / from date: 01.12.2026, към фактура № / to invoice No:
// 0000000040", each part empty while not given.
QString NoteReferenceLine(const Invoice &doc);
// The VAT caption of the totals: "Данъчна ставка 20%", "размер на данъка", "VAT 20%",
// "Total VAT" on four lines, the rate as the user gave it (the part before its "%").
QString VatCaption(const QString &vatText);
