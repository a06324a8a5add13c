#include "document/WordsLines.h"

#include "document/Invoice.h"
#include "words/AmountInWords.h"

#include <QStringList>

namespace
{
constexpr int kLongestWholePartInWords = 6;

QString InFigures(const QString &amount, const QString &currencyCode)
{
    return amount + QLatin1Char(' ') + currencyCode;
}

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ');
}

// Breaks one line greedily: each piece is the longest run of whole words that fits.
QStringList BreakLine(const QString &line, int width, const TextWidth &measure)
{
    QStringList pieces;
    QString rest = line;
    while (measure(rest) > width) {
        // Break candidates: the start of every run of blanks after some text.
        qsizetype chosen = -1;
        for (qsizetype i = 1; i < rest.size(); ++i) {
            if (!IsBlank(rest.at(i)) || IsBlank(rest.at(i - 1)))
                continue;
            if (measure(rest.left(i)) > width) {
                if (chosen < 0)
                    chosen = i; // the first word alone is already too wide
                break;
            }
            chosen = i;
        }
        if (chosen < 0)
            break; // one word and nothing to break at
        qsizetype next = chosen;
        while (next < rest.size() && IsBlank(rest.at(next)))
            ++next;
        if (next == rest.size())
            break; // only trailing blanks are too wide: nothing moves to a further line
        pieces << rest.left(chosen);
        rest = rest.mid(next);
    }
    pieces << rest;
    return pieces;
}
} // namespace

bool WholePartTooLongForWords(const QString &amount)
{
    QString whole = amount.section(QLatin1Char('.'), 0, 0);
    if (whole.startsWith(QLatin1Char('-')))
        whole.remove(0, 1);
    return whole.size() > kLongestWholePartInWords;
}

QString WithFiguresForLongAmounts(const QString &caption, const QString &homeAmount,
                                  const QString &homeCode, const QString &foreignAmount,
                                  const QString &foreignCode)
{
    QStringList lines = caption.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && WholePartTooLongForWords(homeAmount))
        lines[0] = InFigures(homeAmount, homeCode);
    if (lines.size() > 1 && WholePartTooLongForWords(foreignAmount))
        lines[1] = InFigures(foreignAmount, foreignCode);
    return lines.join(QLatin1Char('\n'));
}

QString BreakAtBlanks(const QString &caption, int width, const TextWidth &measure)
{
    QStringList lines;
    for (const QString &line : caption.split(QLatin1Char('\n')))
        lines << BreakLine(line, width, measure);
    return lines.join(QLatin1Char('\n'));
}

QString PageCurrencyLabel(const QString &isoCode)
{
    return isoCode == QLatin1String("BGN") ? QStringLiteral("BGL") : isoCode;
}

QString DocumentWords(const Invoice &doc)
{
    if (doc.home.gross.isZero())
        return QString();
    const QString homeLabel = PageCurrencyLabel(doc.homeCurrency);
    Decimal::Amount second = doc.foreign.gross;
    QString secondCode = doc.foreignCurrency;
    if (doc.homeCurrency == QLatin1String("EUR") && IsoCurrencyCode(secondCode) == "BGN") {
        second = doc.home.gross;
        secondCode = homeLabel;
    }
    // The word routines read digits only: the sign goes before the words.
    const QString home =
        Decimal::Amount{qAbs(doc.home.gross.units), doc.home.gross.decimals}.text();
    const QString foreign = Decimal::Amount{qAbs(second.units), second.decimals}.text();
    QString words = AmountInWords(home, foreign, secondCode, homeLabel);
    if (second.isNegative())
        words.insert(words.indexOf(QLatin1Char('\n')) + 1, QStringLiteral("minus "));
    if (doc.home.gross.isNegative())
        words.prepend(QStringLiteral("минус "));
    return WithFiguresForLongAmounts(words, doc.home.gross.text(), homeLabel, second.text(),
                                     secondCode);
}
