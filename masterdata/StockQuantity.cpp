#include "masterdata/StockQuantity.h"

#include "app/Convert.h"
#include "app/Errors.h"

#include <cmath>

qint64 StockUnits(const QString &text)
{
    const double value = StrToFloat(text);
    const double units = std::round(value * 10000.0);
    // Beyond what a 64-bit count of ten-thousandths holds, the text is no stock quantity.
    if (std::fabs(units) > 9.0e17)
        throw InvalidFloat(text);
    return qint64(units);
}

QString StockText(qint64 units)
{
    const bool negative = units < 0;
    const quint64 magnitude = negative ? quint64(-(units + 1)) + 1 : quint64(units);
    QString text = QString::number(magnitude / 10000);
    const quint64 fraction = magnitude % 10000;
    if (fraction != 0) {
        QString digits = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        text += QLatin1Char('.') + digits;
    }
    return negative ? QLatin1Char('-') + text : text;
}
