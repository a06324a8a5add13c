#pragma once

#include <QString>

// Fixed-point amounts: signed 64-bit counts of ten-thousandths, as the line table keeps its sums.

// A decimal text (blanks around it, a sign, an exponent allowed) as a count of ten-thousandths,
// rounded to the nearest with ties to even. Throws the conversion error on a text that is not a
// number and AmountTooLarge on one whose count does not fit in 64 bits.
qint64 TextToFixed(const QString &text);
// A count in the shortest form: "120", "8.2291", "0.5", "-3.25".
QString FixedToText(qint64 fixed);
// The count as a double (ten-thousandths divided out).
double FixedToDouble(qint64 fixed);
// Sum and product of counts; throw AmountTooLarge instead of wrapping around.
qint64 FixedAdd(qint64 a, qint64 b);
// fixed x factor / 10000, truncated toward zero (factor itself in ten-thousandths, not negative).
qint64 FixedScale(qint64 fixed, qint64 factor);
