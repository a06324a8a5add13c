#pragma once

#include <QString>
#include <QtGlobal>

// The program's numbers: conversions between text and numbers (always "." as the decimal
// separator, whatever the user's locale), fixed-point amounts (signed 64-bit counts of
// ten-thousandths, as the line table keeps its sums and the stock its quantities), and the lev
// to the euro in exact decimal arithmetic. Texts that are no number throw ConversionError with
// the framework's wording; blanks around a number are accepted, as the framework accepts them.
namespace Decimal
{
// ---- Conversions ------------------------------------------------------------------------------

// Text to double; throws "'%s' is not a valid floating point value".
double StrToFloat(const QString &text);
// Text to a 32-bit integer; throws "'%s' is not a valid integer value".
int StrToInt(const QString &text);
// Text to a 64-bit integer; throws "'%s' is not a valid integer value".
qint64 StrToInt64(const QString &text);
// Double to the shortest text that reads back as the same value, "." as separator, no exponent
// for ordinary amounts ("0.2", "1.95583", "12").
QString FloatToStr(double value);

// ---- Fixed point ------------------------------------------------------------------------------

constexpr qint64 kFixedScale = 10000;

// A decimal text (blanks around it, a sign, an exponent allowed) as a count of ten-thousandths,
// rounded to the nearest with ties to even. Throws the conversion error on a text that is not a
// number and AmountTooLarge on one whose count does not fit in 64 bits.
qint64 TextToFixed(const QString &text);
// A count in the shortest form: "120", "8.2291", "0.5", "-3.25".
QString FixedToText(qint64 fixed);
// A count with exactly the given number of decimals (0 to 4), cut without rounding: the count
// is expected to have no more decimals than that. "1234.50" for 12345000 and 2.
QString FixedToText(qint64 fixed, int decimals);
// The count as a double (ten-thousandths divided out).
double FixedToDouble(qint64 fixed);
// Sum and product of counts; throw AmountTooLarge instead of wrapping around.
qint64 FixedAdd(qint64 a, qint64 b);
// fixed x factor / 10000, truncated toward zero (factor itself in ten-thousandths, not negative).
qint64 FixedScale(qint64 fixed, qint64 factor);
// The count rounded to whole cents, half away from zero: 12.345 -> 12.35, -12.345 -> -12.35.
qint64 RoundToCents(qint64 fixed);

// An exact amount as a document shows it: a count of ten-thousandths and the number of decimals
// (0 to 4) it is written with. "24.9" and "24.90" are the same amount written two ways; the
// line table's digit rule gives both, and the page shows each as it came.
struct Amount {
    qint64 units = 0;
    int decimals = 0;

    // The text's value and its decimals as written (at most 4; more are rounded away as
    // TextToFixed rounds them). Throws as TextToFixed does.
    static Amount FromText(const QString &text);
    // A count written with two decimals.
    static Amount Cents(qint64 units) { return {units, 2}; }
    // As written: "24.9", "24.90", "120", "-3.25".
    QString text() const { return FixedToText(units, decimals); }
    bool isZero() const { return units == 0; }
    bool isNegative() const { return units < 0; }

    friend bool operator==(const Amount &a, const Amount &b)
    {
        return a.units == b.units && a.decimals == b.decimals;
    }
    friend bool operator!=(const Amount &a, const Amount &b) { return !(a == b); }
};

// ---- The lev and the euro ---------------------------------------------------------------------

// The leva amount (a decimal text with "." as separator, any number of decimals, an optional
// sign) divided by 1.95583, rounded to two decimals half away from zero, written with exactly two
// decimals: "100" -> "51.13", "-100" -> "-51.13", "0.0097" -> "0.00" (never "-0.00"). Throws the
// conversion error "'%s' is not a valid floating point value" on a text that is not a number.
QString LevaToEuro(const QString &levaAmount);
// The same division rounded to the given number of decimals (0 or more): a rate in leva for one
// unit becomes the rate in euro, "1.43726" -> "0.7348593692" with 10 decimals.
QString LevaToEuroRounded(const QString &levaAmount, int decimals);
// A count of leva ten-thousandths in euro cents' ten-thousandths, rounded to the cent half away
// from zero, as LevaToEuro rounds it.
qint64 LevaToEuroFixed(qint64 levaFixed);

// The leva to the euro, to ten decimals: the rate of the lev once the euro is the home currency.
inline const QString kLevInEuro = QStringLiteral("0.5112918812");
} // namespace Decimal
