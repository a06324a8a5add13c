#include "FuzzSupport.h"

#include "base/Decimal.h"
#include "base/Errors.h"
#include "document/DocumentNumber.h"
#include "document/PageText.h"
#include "euro/HomeCurrency.h"
#include "words/AmountInWords.h"

#include <QRegularExpression>
#include <cmath>

// Leva amounts as the switch to the euro reads them from the tables (a price, a rate's decimals,
// one a line), the euro words and the date of a page's number-and-date line.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList parts = FuzzParts(data, size, 3);
    const QString &leva = parts.at(0);
    const int decimals = int(parts.at(1).size() % 12);

    static const QRegularExpression twoDecimals(QStringLiteral("^-?[0-9]+\\.[0-9]{2}$"));
    QString euro;
    try {
        euro = Decimal::LevaToEuro(leva);
    } catch (const UserError &) {
        // A text that is no number is refused with the conversion error, by both forms.
        bool refused = false;
        try {
            Decimal::LevaToEuroRounded(leva, 2);
        } catch (const UserError &) {
            refused = true;
        }
        FUZZ_CHECK(refused);
    }
    if (!euro.isNull()) {
        FUZZ_CHECK(twoDecimals.match(euro).hasMatch());
        FUZZ_CHECK(euro != QLatin1String("-0.00"));
        FUZZ_CHECK(Decimal::LevaToEuroRounded(leva, 2) == euro);
        // Within half a cent of the division, where a double holds the amount well enough.
        try {
            const double value = Decimal::StrToFloat(leva);
            if (std::fabs(value) < 1e9)
                FUZZ_CHECK(std::fabs(Decimal::StrToFloat(euro) - value / 1.95583) <= 0.0050001);
        } catch (const UserError &) {
        }
        // The sign changes nothing but the sign.
        const QString trimmed = leva.trimmed();
        if (!trimmed.startsWith(QLatin1Char('-')) && !trimmed.startsWith(QLatin1Char('+'))) {
            const QString negative = Decimal::LevaToEuro(QLatin1Char('-') + trimmed);
            FUZZ_CHECK(negative ==
                       (euro == QLatin1String("0.00") ? euro : QLatin1Char('-') + euro));
        }
        const QString rounded = Decimal::LevaToEuroRounded(leva, decimals);
        FUZZ_CHECK(decimals == 0
                       ? !rounded.contains(QLatin1Char('.'))
                       : rounded.size() - rounded.indexOf(QLatin1Char('.')) - 1 == decimals);
    }

    // The euro words of an amount end in " EUR" and differ from the leva words in no more than the
    // neuter form of a last unit ("едно" for "един", "две" for "два"), of the same length.
    if (twoDecimals.match(leva).hasMatch() && !leva.startsWith(QLatin1Char('-'))) {
        try {
            const QString euroLine = AmountInWords(leva, QStringLiteral("1.00"),
                                                   QStringLiteral("BGN"), QStringLiteral("EUR"))
                                         .section(QLatin1Char('\n'), 0, 0);
            const QString levaLine =
                AmountInWords(leva, QStringLiteral("1.00"), QStringLiteral("BGN"))
                    .section(QLatin1Char('\n'), 0, 0);
            FUZZ_CHECK(euroLine.endsWith(QLatin1String(" EUR")));
            FUZZ_CHECK(euroLine.size() == levaLine.size());
            int differences = 0;
            for (qsizetype i = 0; i + 3 < euroLine.size(); ++i)
                differences += euroLine.at(i) != levaLine.at(i);
            FUZZ_CHECK(differences <= 2);
        } catch (const UserError &) {
        }
    }

    // A date as the page reads it typed: a real day that reads back as itself, or none.
    const QDate date = ParsePageDate(parts.at(2));
    if (date.isValid()) {
        FUZZ_CHECK(ParsePageDate(DateText(date)) == date);
        FUZZ_CHECK(EuroNoticeDue(HomeCurrency::Leva, date) == (date >= QDate(2026, 1, 1)));
    }
    return 0;
}
