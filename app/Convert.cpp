#include "app/Convert.h"

#include "app/Errors.h"

#include <QLocale>
#include <cmath>

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
