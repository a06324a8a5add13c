#include "lines/Amounts.h"

#include "app/Convert.h"
#include "app/Errors.h"
#include "lines/FixedPoint.h"

#include <cmath>

namespace
{
// Pads a number text to at least two decimals: "1" -> "1.00", "37.5" -> "37.50".
QString PadTo2Decimals(QString text)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0)
        return text + QStringLiteral(".00");
    if (text.size() - point - 1 == 1)
        return text + QLatin1Char('0');
    return text;
}

QString AppendDecimalsIfWhole(const QString &text)
{
    return text.contains(QLatin1Char('.')) ? text : text + QStringLiteral(".00");
}

// A fixed-point amount converted at the currency rate, in the shortest general form.
QString InForeign(qint64 fixed, double currencyRate)
{
    return FloatToStr(FixedToDouble(fixed) / currencyRate);
}

QString Difference(const QString &minuend, const QString &subtrahend)
{
    return FloatToStr(StrToFloat(minuend) - StrToFloat(subtrahend));
}
} // namespace

QString RoundTo2Decimals(const QString &text)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0)
        return text + QStringLiteral(".00");
    const qsizetype decimals = text.size() - point - 1;
    if (decimals == 1)
        return text + QLatin1Char('0');
    if (decimals < 3)
        return text;

    const QString twoDecimals = text.left(point + 3);
    const QChar third = text.at(point + 3);
    if (third < QLatin1Char('5') || third > QLatin1Char('9'))
        return twoDecimals;
    // Rounding away from zero on both sides, so that -1.235 gives -1.24 as 1.235 gives 1.24.
    const double cent = text.trimmed().startsWith(QLatin1Char('-')) ? -0.01 : 0.01;
    return FloatToStr(FixedToDouble(TextToFixed(twoDecimals)) + cent);
}

double VatFactorFromText(const QString &vatText)
{
    const qsizetype percent = vatText.indexOf(QLatin1Char('%'));
    const QString rate = percent < 0 ? vatText : vatText.left(percent);
    const qint64 fixed = TextToFixed(rate);
    if (fixed < 0)
        throw UserError(
            QStringLiteral("Данъчната ставка не може да бъде отрицателна: %1").arg(vatText));
    // Only the whole percent counts: 20.7% is charged as 20%.
    const qint64 wholePercent = fixed / 10000;
    return double(wholePercent) / 100.0;
}

LineAmounts AccumulateLine(LineTotals &totals, const QString &price, const QString &quantity,
                           double vatFactor, double currencyRate)
{
    // Both numbers are read before anything is computed, so a bad one changes nothing.
    const double unitPrice = StrToFloat(price);
    const double count = StrToFloat(quantity);
    if (!std::isfinite(currencyRate) || currencyRate == 0)
        throw UserError(
            QStringLiteral("Невалиден курс на валутата: %1").arg(FloatToStr(currencyRate)));

    LineAmounts line;
    const double product = unitPrice * count;
    if (!std::isfinite(product))
        throw UserError(QStringLiteral("Сумата е твърде голяма."));
    line.valueLeva = FloatToStr(product);
    line.valueForeign = InForeign(TextToFixed(line.valueLeva), currencyRate);
    line.valueLeva = RoundTo2Decimals(line.valueLeva);
    line.valueForeign = RoundTo2Decimals(line.valueForeign);

    const qint64 vatPerTenThousand = std::llround(vatFactor * 10000);
    const qint64 vat = FixedScale(TextToFixed(line.valueLeva), vatPerTenThousand);
    line.vatLeva = FixedToText(vat);
    line.vatForeign = InForeign(vat, currencyRate);
    line.vatLeva = RoundTo2Decimals(line.vatLeva);
    line.vatForeign = RoundTo2Decimals(line.vatForeign);

    LineTotals sum;
    sum.vatLeva = FixedToText(FixedAdd(TextToFixed(totals.vatLeva), TextToFixed(line.vatLeva)));
    sum.vatForeign =
        FixedToText(FixedAdd(TextToFixed(totals.vatForeign), TextToFixed(line.vatForeign)));
    sum.grossLeva =
        FixedToText(FixedAdd(FixedAdd(TextToFixed(totals.grossLeva), TextToFixed(line.valueLeva)),
                             TextToFixed(line.vatLeva)));
    sum.grossForeign = FixedToText(
        FixedAdd(FixedAdd(TextToFixed(totals.grossForeign), TextToFixed(line.valueForeign)),
                 TextToFixed(line.vatForeign)));
    sum.netLeva = Difference(sum.grossLeva, sum.vatLeva);
    sum.netForeign = Difference(sum.grossForeign, sum.vatForeign);

    line.vatLeva = RoundTo2Decimals(line.vatLeva);
    line.vatForeign = RoundTo2Decimals(line.vatForeign);
    for (QString *total : {&sum.vatLeva, &sum.vatForeign, &sum.grossLeva, &sum.grossForeign,
                           &sum.netForeign, &sum.netLeva})
        *total = AppendDecimalsIfWhole(RoundTo2Decimals(*total));

    line.unitPriceLeva = RoundTo2Decimals(price);
    line.unitPriceForeign =
        RoundTo2Decimals(InForeign(TextToFixed(line.unitPriceLeva), currencyRate));
    line.totalLeva = PadTo2Decimals(FloatToStr(StrToFloat(line.valueLeva)));
    line.totalForeign = line.valueForeign;

    totals = sum;
    return line;
}

QVector<LineAmounts> AccumulateLines(const QVector<LineEntry> &lines, LineTotals &totals,
                                     double vatFactor, double currencyRate)
{
    LineTotals sum;
    QVector<LineAmounts> amounts;
    for (const LineEntry &line : lines)
        amounts.append(AccumulateLine(sum, line.price, line.quantity, vatFactor, currencyRate));
    totals = sum;
    return amounts;
}
