#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The arithmetic of the line table. Amounts are decimal texts with "." as the separator; sums are
// kept in fixed point (signed 64-bit counts of ten-thousandths), products and conversions in
// double precision, and shown texts are brought to two decimals by the digit rule.

// Rounds a decimal text to two decimals by the program's digit rule.
QString RoundTo2Decimals(const QString &text);
// "20%" -> 0.2, "9" -> 0.09, "20.7%" -> 0.2; throws on a text that is not a number.
double VatFactorFromText(const QString &vatText);

struct LineTotals { // the six totals exactly as the labels show them
    QString netLeva = "0", vatLeva = "0", grossLeva = "0";          // Label7, Label3, Label5
    QString netForeign = "0", vatForeign = "0", grossForeign = "0"; // Label11, Label12, Label13
};
struct LineAmounts {                                      // one added line
    QString valueLeva, valueForeign, vatLeva, vatForeign; // Label10, Label9, Label1, Label8
    QString unitPriceLeva, unitPriceForeign, totalLeva, totalForeign; // grid columns 4, 5, 6, 7
};

// Adds one line of price x quantity to the totals, exactly as the line table does.
// Throws (and leaves the totals unchanged) when price or quantity is not a number.
LineAmounts AccumulateLine(LineTotals &totals, const QString &price, const QString &quantity,
                           double vatFactor, double currencyRate);

struct LineEntry { // a line as entered: the unit price in the home currency and the quantity
    QString price, quantity;
};
// The lines entered anew, in order, on an empty table: their amounts, and the totals they make.
// Throws on a line whose price or quantity is not a number; the totals are then unchanged.
QVector<LineAmounts> AccumulateLines(const QVector<LineEntry> &lines, LineTotals &totals,
                                     double vatFactor, double currencyRate);

// The header rows of the lines (0 Bulgarian, 1 English), the home and second currencies named in
// the columns of unit price and value: "Ед. цена BGL", "Unit Price EUR".
QStringList LineTableHeader(int row, const QString &homeLabel, const QString &foreignCode);
