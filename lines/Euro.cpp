#include "lines/Euro.h"

#include "app/Errors.h"

#include <QVector>

namespace
{
// The rate 1.95583 as a whole number over 10^5.
constexpr quint32 kRateTimes100000 = 195583;
constexpr int kRateDecimals = 5;

// An exact decimal: the digits of a whole number (no leading zeros needed) and the power of ten
// it is divided by.
struct Decimal {
    bool negative = false;
    QString digits;
    int scale = 0;
};

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads the number as the program reads numbers: blanks around, a sign, digits with at most one
// point (on either side of it), and an optional exponent.
Decimal ParseDecimal(const QString &text)
{
    const QString s = text.trimmed();
    Decimal d;
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
    const Decimal amount = ParseDecimal(levaAmount);
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
