#include "FuzzSupport.h"

#include "base/Decimal.h"
#include "base/Errors.h"
#include "lines/Amounts.h"

#include <cmath>

// Amounts as the line table reads them: price, quantity, VAT rate and a second amount, one a line.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList parts = FuzzParts(data, size, 4);
    const QString &price = parts.at(0);
    const QString &quantity = parts.at(1);

    // A count reads back from its shortest text as the same count.
    qint64 fixed = 0;
    bool read = false;
    try {
        fixed = Decimal::TextToFixed(price);
        read = true;
    } catch (const UserError &) {
    }
    if (read) {
        FUZZ_CHECK(Decimal::TextToFixed(Decimal::FixedToText(fixed)) == fixed);
        try {
            const qint64 other = Decimal::TextToFixed(quantity);
            const qint64 sum = Decimal::FixedAdd(fixed, other);
            FUZZ_CHECK(sum - other == fixed);
        } catch (const UserError &) {
        }
    }

    // Rounding a plain decimal moves it by at most a cent.
    bool plain = !price.isEmpty() && price.size() <= 15 && price.count(QLatin1Char('.')) <= 1;
    for (QChar c : price)
        plain = plain && (c.isDigit() || c == QLatin1Char('.')) && c.unicode() < 128;
    if (plain && price != QLatin1String(".") && !price.startsWith(QLatin1Char('.'))) {
        try {
            const QString rounded = RoundTo2Decimals(price);
            FUZZ_CHECK(std::fabs(Decimal::FixedToDouble(Decimal::TextToFixed(rounded)) -
                                 Decimal::FixedToDouble(Decimal::TextToFixed(price))) <= 0.0100001);
        } catch (const UserError &) {
        }
    }

    try {
        VatFactorFromText(parts.at(2));
    } catch (const UserError &) {
    }

    // A line that cannot be added leaves the totals as they were.
    LineTotals totals;
    totals.netLeva = QStringLiteral("10.00");
    totals.grossLeva = QStringLiteral("12.00");
    const LineTotals before = totals;
    try {
        AccumulateLine(totals, price, quantity, 0.2, 1.95583);
    } catch (const UserError &) {
        FUZZ_CHECK(totals.netLeva == before.netLeva && totals.vatLeva == before.vatLeva &&
                   totals.grossLeva == before.grossLeva && totals.netForeign == before.netForeign &&
                   totals.vatForeign == before.vatForeign &&
                   totals.grossForeign == before.grossForeign);
    }
    return 0;
}
