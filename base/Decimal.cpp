#include "base/Decimal.h"

#include "base/Errors.h"

#include <QLocale>
#include <QVector>
#include <QtNumeric>
#include <algorithm>
#include <cmath>
#include <limits>

namespace Decimal
{
namespace
{
// The C locale reading numbers as the framework does: a "," is never a thousands separator, so
// "2,500" is refused rather than read as two thousand five hundred.
QLocale NumberLocale()
{
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    return locale;
}
} // namespace

double StrToFloat(const QString &text)
{
    bool ok = false;
    const QString trimmed = text.trimmed();
    const double value = NumberLocale().toDouble(trimmed, &ok);
    if (!ok || trimmed.isEmpty() || !std::isfinite(value))
        throw InvalidFloat(text);
    return value;
}

int StrToInt(const QString &text)
{
    bool ok = false;
    const int value = NumberLocale().toInt(text.trimmed(), &ok);
    if (!ok)
        throw InvalidInteger(text);
    return value;
}

qint64 StrToInt64(const QString &text)
{
    bool ok = false;
    const qint64 value = NumberLocale().toLongLong(text.trimmed(), &ok);
    if (!ok)
        throw InvalidInteger(text);
    return value;
}

QString FloatToStr(double value)
{
    // Fifteen significant digits, as the framework shows a double, then without a trailing zero.
    QString text = QString::number(value, 'g', 15);
    if (text.contains(QLatin1Char('e'))) {
        text = QString::number(value, 'f', 15);
        if (text.contains(QLatin1Char('.'))) {
            while (text.endsWith(QLatin1Char('0')))
                text.chop(1);
            if (text.endsWith(QLatin1Char('.')))
                text.chop(1);
        }
    }
    return text;
}

namespace
{
constexpr int kDecimals = 4;

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
    QString text = QString::number(magnitude / kFixedScale);
    QString fraction =
        QStringLiteral("%1").arg(magnitude % kFixedScale, kDecimals, 10, QLatin1Char('0'));
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += QLatin1Char('.') + fraction;
    return negative ? QLatin1Char('-') + text : text;
}

QString FixedToText(qint64 fixed, int decimals)
{
    decimals = std::clamp(decimals, 0, 4);
    const bool negative = fixed < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(fixed) : quint64(fixed);
    QString text = QString::number(magnitude / kFixedScale);
    if (decimals > 0) {
        const QString fraction =
            QStringLiteral("%1").arg(magnitude % kFixedScale, 4, 10, QLatin1Char('0'));
        text += QLatin1Char('.') + fraction.left(decimals);
    }
    return negative && magnitude != 0 ? QLatin1Char('-') + text : text;
}

qint64 RoundToCents(qint64 fixed)
{
    const qint64 rest = fixed % 100;
    const qint64 down = fixed - rest;
    if (rest >= 50)
        return FixedAdd(down, 100);
    if (rest <= -50)
        return FixedAdd(down, -100);
    return down;
}

Amount Amount::FromText(const QString &text)
{
    Amount amount;
    amount.units = TextToFixed(text);
    const QString t = text.trimmed();
    const qsizetype point = t.indexOf(QLatin1Char('.'));
    if (point >= 0) {
        qsizetype end = point + 1;
        while (end < t.size() && t.at(end).isDigit())
            ++end;
        amount.decimals = int(std::min<qsizetype>(end - point - 1, 4));
    }
    return amount;
}

qint64 LevaToEuroFixed(qint64 levaFixed)
{
    return TextToFixed(LevaToEuro(FixedToText(levaFixed)));
}

double FixedToDouble(qint64 fixed)
{
    return double(fixed) / double(kFixedScale);
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
    const qint64 q = fixed / kFixedScale;
    const qint64 r = fixed % kFixedScale;
    qint64 whole = 0;
    qint64 part = 0;
    if (qMulOverflow(q, factor, &whole) || qMulOverflow(r, factor, &part))
        throw AmountTooLarge(QString());
    return FixedAdd(whole, part / kFixedScale);
}

namespace
{
// The rate 1.95583 as a whole number over 10^5.
constexpr quint32 kRateTimes100000 = 195583;
constexpr int kRateDecimals = 5;

// An exact decimal: the digits of a whole number (no leading zeros needed) and the power of ten
// it is divided by.
struct DigitString {
    bool negative = false;
    QString digits;
    int scale = 0;
};

// Reads the number as the program reads numbers: blanks around, a sign, digits with at most one
// point (on either side of it), and an optional exponent.
DigitString ParseDecimal(const QString &text)
{
    const QString s = text.trimmed();
    DigitString d;
    qsizetype i = 0;
    if (i < s.size() && (s.at(i) == QLatin1Char('-') || s.at(i) == QLatin1Char('+'))) {
        d.negative = s.at(i) == QLatin1Char('-');
        ++i;
    }
    bool anyDigit = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (IsDigit(c)) {
            d.digits += c;
            anyDigit = true;
            if (point)
                ++d.scale;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        throw InvalidFloat(text);
    if (i < s.size()) {
        if (s.at(i) != QLatin1Char('e') && s.at(i) != QLatin1Char('E'))
            throw InvalidFloat(text);
        ++i;
        bool minus = false;
        if (i < s.size() && (s.at(i) == QLatin1Char('-') || s.at(i) == QLatin1Char('+'))) {
            minus = s.at(i) == QLatin1Char('-');
            ++i;
        }
        const QString exponent = s.mid(i);
        // Far beyond any amount; the limit keeps the digit strings small.
        if (exponent.isEmpty() || exponent.size() > 4)
            throw InvalidFloat(text);
        for (QChar c : exponent)
            if (!IsDigit(c))
                throw InvalidFloat(text);
        const int e = exponent.toInt();
        d.scale += minus ? e : -e;
    }
    return d;
}

// Long division of a decimal digit string by a small divisor: the quotient's digits and the
// remainder.
QString DivideDigits(const QString &digits, quint64 divisor, quint64 &remainder)
{
    QString quotient;
    quint64 rest = 0;
    for (QChar c : digits) {
        rest = rest * 10 + quint64(c.unicode() - '0');
        const quint64 q = rest / divisor;
        rest %= divisor;
        if (!quotient.isEmpty() || q != 0)
            quotient += QLatin1Char(char('0' + q));
    }
    remainder = rest;
    return quotient.isEmpty() ? QStringLiteral("0") : quotient;
}

// Adds one to a decimal digit string.
QString Increment(QString digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits.at(i) != QLatin1Char('9')) {
            digits[i] = QChar(digits.at(i).unicode() + 1);
            return digits;
        }
        digits[i] = QLatin1Char('0');
    }
    return QLatin1Char('1') + digits;
}
} // namespace

QString LevaToEuroRounded(const QString &levaAmount, int decimals)
{
    const DigitString amount = ParseDecimal(levaAmount);
    decimals = qMax(0, decimals);
    // amount x 10^decimals / 1.95583 = digits x 10^shift / 195583, shift = 5 + decimals - scale.
    const int shift = kRateDecimals + decimals - amount.scale;
    QString quotient;
    bool roundUp = false;
    quint64 remainder = 0;
    if (shift >= 0) {
        quotient = DivideDigits(amount.digits + QString(shift, QLatin1Char('0')), kRateTimes100000,
                                remainder);
        roundUp = 2 * remainder >= kRateTimes100000;
    } else {
        // Dividing by 10^-shift drops digits of the quotient: the first one dropped decides, as
        // the remainder of the first division is less than one unit of the last dropped digit.
        const QString whole = DivideDigits(amount.digits, kRateTimes100000, remainder);
        const qsizetype drop = -shift;
        const QString padded = whole.size() > drop
                                   ? whole
                                   : QString(drop + 1 - whole.size(), QLatin1Char('0')) + whole;
        quotient = padded.left(padded.size() - drop);
        roundUp = padded.at(padded.size() - drop) >= QLatin1Char('5');
    }
    if (roundUp)
        quotient = Increment(quotient);
    while (quotient.size() > 1 && quotient.startsWith(QLatin1Char('0')))
        quotient.remove(0, 1);

    const bool zero = quotient == QLatin1String("0");
    if (quotient.size() <= decimals)
        quotient = QString(decimals + 1 - quotient.size(), QLatin1Char('0')) + quotient;
    QString text = decimals > 0 ? quotient.left(quotient.size() - decimals) + QLatin1Char('.') +
                                      quotient.right(decimals)
                                : quotient;
    if (amount.negative && !zero)
        text.prepend(QLatin1Char('-'));
    return text;
}

QString LevaToEuro(const QString &levaAmount)
{
    return LevaToEuroRounded(levaAmount, 2);
}
} // namespace Decimal
