#include "lines/Amounts.h"

#include "base/Decimal.h"
#include "base/Errors.h"

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
    return Decimal::FloatToStr(Decimal::FixedToDouble(fixed) / currencyRate);
}

QString Difference(const QString &minuend, const QString &subtrahend)
{
    return Decimal::FloatToStr(Decimal::StrToFloat(minuend) - Decimal::StrToFloat(subtrahend));
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
    return Decimal::FloatToStr(Decimal::FixedToDouble(Decimal::TextToFixed(twoDecimals)) + cent);
}

double VatFactorFromText(const QString &vatText)
{
    const qsizetype percent = vatText.indexOf(QLatin1Char('%'));
    const QString rate = percent < 0 ? vatText : vatText.left(percent);
    const qint64 fixed = Decimal::TextToFixed(rate);
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
    const double unitPrice = Decimal::StrToFloat(price);
    const double count = Decimal::StrToFloat(quantity);
    if (!std::isfinite(currencyRate) || currencyRate == 0)
        throw UserError(QStringLiteral("Невалиден курс на валутата: %1")
                            .arg(Decimal::FloatToStr(currencyRate)));

    LineAmounts line;
    const double product = unitPrice * count;
    if (!std::isfinite(product))
        throw UserError(QStringLiteral("Сумата е твърде голяма."));
    line.valueLeva = Decimal::FloatToStr(product);
    line.valueForeign = InForeign(Decimal::TextToFixed(line.valueLeva), currencyRate);
    line.valueLeva = RoundTo2Decimals(line.valueLeva);
    line.valueForeign = RoundTo2Decimals(line.valueForeign);

    const qint64 vatPerTenThousand = std::llround(vatFactor * 10000);
    const qint64 vat = Decimal::FixedScale(Decimal::TextToFixed(line.valueLeva), vatPerTenThousand);
    line.vatLeva = Decimal::FixedToText(vat);
    line.vatForeign = InForeign(vat, currencyRate);
    line.vatLeva = RoundTo2Decimals(line.vatLeva);
    line.vatForeign = RoundTo2Decimals(line.vatForeign);

    LineTotals sum;
    sum.vatLeva = Decimal::FixedToText(Decimal::FixedAdd(Decimal::TextToFixed(totals.vatLeva),
                                                         Decimal::TextToFixed(line.vatLeva)));
    sum.vatForeign = Decimal::FixedToText(Decimal::FixedAdd(Decimal::TextToFixed(totals.vatForeign),
                                                            Decimal::TextToFixed(line.vatForeign)));
    sum.grossLeva = Decimal::FixedToText(
        Decimal::FixedAdd(Decimal::FixedAdd(Decimal::TextToFixed(totals.grossLeva),
                                            Decimal::TextToFixed(line.valueLeva)),
                          Decimal::TextToFixed(line.vatLeva)));
    sum.grossForeign = Decimal::FixedToText(
        Decimal::FixedAdd(Decimal::FixedAdd(Decimal::TextToFixed(totals.grossForeign),
                                            Decimal::TextToFixed(line.valueForeign)),
                          Decimal::TextToFixed(line.vatForeign)));
    sum.netLeva = Difference(sum.grossLeva, sum.vatLeva);
    sum.netForeign = Difference(sum.grossForeign, sum.vatForeign);

    line.vatLeva = RoundTo2Decimals(line.vatLeva);
    line.vatForeign = RoundTo2Decimals(line.vatForeign);
    for (QString *total : {&sum.vatLeva, &sum.vatForeign, &sum.grossLeva, &sum.grossForeign,
                           &sum.netForeign, &sum.netLeva})
        *total = AppendDecimalsIfWhole(RoundTo2Decimals(*total));

    line.unitPriceLeva = RoundTo2Decimals(price);
    line.unitPriceForeign =
        RoundTo2Decimals(InForeign(Decimal::TextToFixed(line.unitPriceLeva), currencyRate));
    line.totalLeva = PadTo2Decimals(Decimal::FloatToStr(Decimal::StrToFloat(line.valueLeva)));
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

QStringList LineTableHeader(int row, const QString &homeLabel, const QString &foreignCode)
{
    if (row == 0)
        return {QStringLiteral("Пор. №"),
                QStringLiteral("Наименование на стоките или услугите"),
                QStringLiteral("Мярка"),
                QStringLiteral("К-во"),
                QStringLiteral("Ед. цена ") + homeLabel,
                QStringLiteral("Ед. цена ") + foreignCode,
                QStringLiteral("Стойност ") + homeLabel,
                QStringLiteral("Стойност ") + foreignCode};
    return {QStringLiteral("Part №"),
            QStringLiteral("Description"),
            QStringLiteral("Measure"),
            QStringLiteral("Quantity"),
            QStringLiteral("Unit Price ") + homeLabel,
            QStringLiteral("Unit Price ") + foreignCode,
            QStringLiteral("Total ") + homeLabel,
            QStringLiteral("Total ") + foreignCode};
}
