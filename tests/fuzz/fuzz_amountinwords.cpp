#include "FuzzSupport.h"

#include "base/Errors.h"
#include "words/AmountInWords.h"

namespace
{
using Routine = void (*)(const QString &, QString &);
const Routine kRoutines[] = {BgWords1Digit,  BgWords2Digits, BgWords3Digits,  BgWords4Digits,
                             BgWords5Digits, BgWords6Digits, BgWordsFraction, EnWords1Digit,
                             EnWords2Digits, EnWords3Digits, EnWords4Digits,  EnWords5Digits,
                             EnWords6Digits, EnWordsFraction};
} // namespace

// Digit texts for every word routine and two amounts for the whole label: a routine either
// appends to the words or, when it throws, leaves them exactly as they were.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList parts = FuzzParts(data, size, 3);
    const QString prefixes[] = {QString(), QStringLiteral("сто и "), QStringLiteral("x\nten ")};
    for (Routine routine : kRoutines)
        for (const QString &prefix : prefixes) {
            QString words = prefix;
            try {
                routine(parts.at(0), words);
                FUZZ_CHECK(words.startsWith(prefix));
            } catch (const UserError &) {
                FUZZ_CHECK(words == prefix);
            }
        }
    try {
        const QString words = AmountInWords(parts.at(1), parts.at(2), QStringLiteral("EUR"));
        // The currency follows the amount's fraction; an amount without one has none.
        FUZZ_CHECK(words.contains(QLatin1Char('\n')));
        if (parts.at(1).contains(QLatin1Char('.')))
            FUZZ_CHECK(words.contains(QStringLiteral(" BGL\n")));
        if (parts.at(2).contains(QLatin1Char('.')))
            FUZZ_CHECK(words.endsWith(QStringLiteral(" EUR")));
    } catch (const UserError &) {
    }
    return 0;
}
