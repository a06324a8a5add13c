#pragma once

#include <QString>
#include <functional>

struct Invoice;

// The amount in words as the invoice page prints it under "Словом: / in words:": one line per
// language, each kept within the space beside the totals.

// The width of a text in pixels, in the font it is drawn in.
using TextWidth = std::function<int(const QString &)>;

// Whether the whole part of an amount (the digits before its first ".", a leading minus aside)
// is too long for the word routines, which reach six digits.
bool WholePartTooLongForWords(const QString &amount);

// The caption with its first line (the home amount) or its second line (the foreign amount)
// written in figures and the currency code ("1481496.47 BGL") where that amount's whole part is
// too long for words; a line with words stays as it is.
QString WithFiguresForLongAmounts(const QString &caption, const QString &homeAmount,
                                  const QString &homeCode, const QString &foreignAmount,
                                  const QString &foreignCode);

// The caption with every line wider than width broken at blanks onto further lines; the blanks
// at a break are dropped. A single word wider than width stands alone on its line.
QString BreakAtBlanks(const QString &caption, int width, const TextWidth &measure);

// The page's label for a currency: "BGL" for the lev, as the page has always printed it; every
// other ISO code as it is.
QString PageCurrencyLabel(const QString &isoCode);

// The amount in words of the document's amount payable, as the page prints it: the Bulgarian
// words of the home amount, a line feed, the English words of the amount in the second currency
// (each ending in its currency's label). A negative amount reads "минус "/"minus " before its
// words; an amount whose whole part is too long for words is written in figures. When the home
// currency is the euro and the second currency the lev, shown for information only, both lines
// state the euro amount, the amount payable. Empty when the amount payable is zero.
QString DocumentWords(const Invoice &doc);
