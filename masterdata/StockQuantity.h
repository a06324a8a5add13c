#pragma once

#include <QString>
#include <QtGlobal>

// Stock quantities are fixed-point decimals with four decimal places, counted here in
// ten-thousandths so that taking 2.25 from 7.5 leaves exactly 5.25.

// The text as ten-thousandths, rounded to four decimals; throws
// "'%s' is not a valid floating point value" for a text that is not a number.
qint64 StockUnits(const QString &text);
// Ten-thousandths in the shortest decimal form: 7, 7.5, 0.125, 0, -1.25.
QString StockText(qint64 units);
