#pragma once

#include <QString>

// Leva to euro at the fixed rate of 1.95583 leva for one euro, in exact decimal arithmetic.

// The leva amount (a decimal text with "." as separator, any number of decimals, an optional
// sign) divided by 1.95583, rounded to two decimals half away from zero, written with exactly two
// decimals: "100" -> "51.13", "-100" -> "-51.13", "0.0097" -> "0.00" (never "-0.00"). Throws the
// conversion error "'%s' is not a valid floating point value" on a text that is not a number.
QString LevaToEuro(const QString &levaAmount);

// The same division rounded to the given number of decimals (0 or more): a rate in leva for one
// unit becomes the rate in euro, "1.43726" -> "0.7348593692" with 10 decimals.
QString LevaToEuroRounded(const QString &levaAmount, int decimals);

// The leva to the euro, to ten decimals: the rate of the lev once the euro is the home currency.
inline const QString kLevInEuro = QStringLiteral("0.5112918812");
