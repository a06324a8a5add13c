#include "lines/FixedPoint.h"

#include "app/Errors.h"

#include <QtNumeric>
#include <limits>

namespace
{
constexpr int kDecimals = 4;
constexpr qint64 kScale = 10000;

UserError AmountTooLarge(const QString &text)
{
    if (text.isEmpty())
        return UserError(QStringLiteral("Сумата е твърде голяма."));
    return UserError(QStringLiteral("Сумата '%1' е твърде голяма.").arg(text));
}

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}
} // namespace

qint64 TextToFixed(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+')))
        negative = t[i++] == QLatin1Char('-');

    // All significant digits of the mantissa, and how many of them follow the point.
    QString digits;
    qsizetype fractionDigits = 0;
    bool anyDigit = false;
    while (i < t.size() && IsDigit(t[i])) {
        digits += t[i++];
        anyDigit = true;
    }
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < t.size() && IsDigit(t[i])) {
            digits += t[i++];
            ++fractionDigits;
            anyDigit = true;
        }
    }
    if (!anyDigit)
        throw InvalidFloat(text);

    qint64 exponent = 0;
    if (i < t.size() && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
        ++i;
        bool negativeExponent = false;
        if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+')))
            negativeExponent = t[i++] == QLatin1Char('-');
        if (i >= t.size() || !IsDigit(t[i]))
            throw InvalidFloat(text);
        while (i < t.size() && IsDigit(t[i])) {
            if (exponent < 100000)
                exponent = exponent * 10 + t[i].digitValue();
            ++i;
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != t.size())
        throw InvalidFloat(text);

    // The count is digits x 10^shift.
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    const qint64 shift = exponent - fractionDigits + kDecimals;
    QString whole = digits;
    bool roundUp = false;
    bool tie = false;
    if (shift >= 0) {
        if (digits != QLatin1String("0")) {
            if (shift > 19)
                throw AmountTooLarge(text);
            whole += QString(shift, QLatin1Char('0'));
        }
    } else {
        const qsizetype cut = digits.size() + shift;
        const QString rest = cut > 0 ? digits.mid(cut) : QString(-cut, QLatin1Char('0')) + digits;
        whole = cut > 0 ? digits.left(cut) : QStringLiteral("0");
        const int first = rest.at(0).digitValue();
        bool restAfterFirst = false;
        for (qsizetype k = 1; k < rest.size(); ++k)
            restAfterFirst = restAfterFirst || rest.at(k) != QLatin1Char('0');
        roundUp = first > 5 || (first == 5 && restAfterFirst);
        tie = first == 5 && !restAfterFirst;
    }

    quint64 count = 0;
    for (QChar c : whole) {
        if (count > (std::numeric_limits<quint64>::max() - 9) / 10)
            throw AmountTooLarge(text);
        count = count * 10 + quint64(c.digitValue());
    }
    if (roundUp || (tie && (count % 2) == 1))
        ++count;
    if (count > quint64(std::numeric_limits<qint64>::max()))
        throw AmountTooLarge(text);
    return negative ? -qint64(count) : qint64(count);
}

QString FixedToText(qint64 fixed)
{
    const bool negative = fixed < 0;
    // The magnitude as unsigned, so that the smallest count does not overflow.
    const quint64 magnitude = negative ? quint64(0) - quint64(fixed) : quint64(fixed);
    QString text = QString::number(magnitude / kScale);
    QString fraction =
        QStringLiteral("%1").arg(magnitude % kScale, kDecimals, 10, QLatin1Char('0'));
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += QLatin1Char('.') + fraction;
    return negative ? QLatin1Char('-') + text : text;
}

double FixedToDouble(qint64 fixed)
{
    return double(fixed) / double(kScale);
}

qint64 FixedAdd(qint64 a, qint64 b)
{
    qint64 sum = 0;
    if (qAddOverflow(a, b, &sum))
        throw AmountTooLarge(QString());
    return sum;
}

qint64 FixedScale(qint64 fixed, qint64 factor)
{
    // fixed = q x 10000 + r with q and r of the same sign, so the truncated quotient is
    // q x factor + (r x factor) / 10000 without forming the full product.
    const qint64 q = fixed / kScale;
    const qint64 r = fixed % kScale;
    qint64 whole = 0;
    qint64 part = 0;
    if (qMulOverflow(q, factor, &whole) || qMulOverflow(r, factor, &part))
        throw AmountTooLarge(QString());
    return FixedAdd(whole, part / kScale);
}
