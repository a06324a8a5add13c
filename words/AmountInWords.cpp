#include "words/AmountInWords.h"

#include "base/Errors.h"

#include <QStringView>

namespace
{

// Entry i is the word for i (1 to 10). Entry 0 stays empty: no rule writes a word for zero.
const QStringView BgNeuterWords[11] = {u"",     u"едно",  u"две",  u"три",   u"четири", u"пет",
                                       u"шест", u"седем", u"осем", u"девет", u"десет"};
const QStringView BgMasculineWords[11] = {u"",     u"един",  u"два",  u"три",   u"четири", u"пет",
                                          u"шест", u"седем", u"осем", u"девет", u"десет"};
const QStringView EnUnitWords[11] = {u"",    u"one",   u"two",   u"three", u"four", u"five",
                                     u"six", u"seven", u"eight", u"nine",  u"ten"};
// Only the three teens that do not follow "<unit>teen"; fifteen has its own word as well.
const QStringView EnTeenWords[4] = {u"", u"eleven", u"twelve", u"thirteen"};

// The digits a routine reads: at(1) is the last character of the text (units), at(2) the tens,
// and so on up to the count asked for.
class Digits
{
public:
    Digits(const QString &text, int count)
    {
        // Checked from the leftmost digit read, before anything is written, so a bad amount
        // leaves the words text as it was.
        for (int i = count; i >= 1; --i) {
            const qsizetype pos = text.size() - i;
            if (pos < 0)
                throw InvalidInteger(QString());
            const QChar c = text.at(pos);
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                throw InvalidInteger(QString(c));
            m_digit[i] = c.unicode() - '0';
        }
    }
    int at(int i) const { return m_digit[i]; }

private:
    int m_digit[7] = {};
};

QStringView M(int i)
{
    return BgMasculineWords[i];
}
QStringView N(int i)
{
    return BgNeuterWords[i];
}
QStringView U(int i)
{
    return EnUnitWords[i];
}

// The text after the first line feed, or all of it: the English line follows the Bulgarian one.
bool CurrentLineEmpty(const QString &words)
{
    const qsizetype lineFeed = words.indexOf(QChar(10));
    return lineFeed < 0 ? words.isEmpty() : lineFeed == words.size() - 1;
}

// Five and six digits: what follows the count of thousands, from d3, d2, d1 of the whole text.
// After " хиляди и " a ten or teen word finds the text ending in " и " and takes no second "и".
void BgThousandsTail(const QString &digits, const Digits &d, QString &words)
{
    if (d.at(3) > 0) {
        words += u" хиляди и ";
        BgWords3Digits(digits, words);
    } else if (d.at(2) > 0) {
        words += u" хиляди и ";
        BgWords2Digits(digits, words);
    } else if (d.at(1) > 0) {
        words += u" хиляди и ";
        BgWords1Digit(digits, words);
    } else {
        words += u" хиляди ";
    }
}

void EnThousandsTail(const QString &digits, const Digits &d, QString &words)
{
    if (d.at(3) > 0) {
        words += u" thousand and ";
        EnWords3Digits(digits, words);
    } else if (d.at(2) > 0) {
        words += u" thousand and ";
        EnWords2Digits(digits, words);
    } else if (d.at(1) > 0) {
        words += u" thousand and ";
        EnWords1Digit(digits, words);
    } else {
        words += u" thousand ";
    }
}

// The stotinki and the cents are written in figures with the program's decimal separator ".".
void AppendFraction(const QString &digits, QStringView conjunction, QString &words)
{
    const Digits d(digits, 2);
    if (d.at(2) == 0 && d.at(1) == 0)
        return;
    words += conjunction;
    words += u" 0.";
    words += digits.right(2);
}

using WordsRoutine = void (*)(const QString &, QString &);

// A whole part whose last word is the unit one or two ("един", "два") takes the neuter form of
// a neuter currency; teens, tens and the counts of thousands are other words and stay.
void MakeLastUnitNeuter(const QString &whole, QString &words)
{
    const Digits d(whole, whole.size() >= 2 ? 2 : 1);
    const int unit = d.at(1);
    if ((unit != 1 && unit != 2) || d.at(2) == 1 || !words.endsWith(M(unit)))
        return;
    words.chop(M(unit).size());
    words += N(unit);
}

// One line of the label: the whole part by its number of digits (none beyond six), then, when the
// amount has a decimal point, the fraction and the currency.
void AppendAmount(const QString &amount, const WordsRoutine (&wholeRoutines)[6],
                  WordsRoutine fractionRoutine, QStringView currencyCode, QString &words,
                  bool neuter = false)
{
    const qsizetype point = amount.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? amount : amount.left(point);
    if (whole.size() >= 1 && whole.size() <= 6) {
        wholeRoutines[whole.size() - 1](whole, words);
        if (neuter)
            MakeLastUnitNeuter(whole, words);
    }
    if (point < 0)
        return;
    fractionRoutine(amount.mid(point + 1), words);
    words += QLatin1Char(' ');
    words += currencyCode;
}

} // namespace

void BgWords1Digit(const QString &digits, QString &words)
{
    const Digits d(digits, 1);
    // An amount payable below 1 still has its words.
    if (d.at(1) == 0)
        words += u"нула";
    else
        words += M(d.at(1));
}

void BgWords2Digits(const QString &digits, QString &words)
{
    const Digits d(digits, 2);
    if (d.at(2) == 1) {
        if (!words.isEmpty() && !words.endsWith(u" и "))
            words += u"и ";
        if (d.at(1) == 0) {
            words += N(10);
        } else if (d.at(1) == 1) {
            words += M(1);
            words += u"адесет";
        } else {
            words += M(d.at(1));
            words += u"надесет";
        }
        return;
    }
    words += M(d.at(2));
    if (d.at(1) == 0) {
        words += u"десет";
    } else {
        words += u"десет и ";
        words += M(d.at(1));
    }
}

void BgWords3Digits(const QString &digits, QString &words)
{
    const Digits d(digits, 3);
    if (d.at(3) == 1) {
        words += u"сто ";
    } else if (d.at(3) == 2 || d.at(3) == 3) {
        words += N(d.at(3));
        words += u"ста ";
    } else if (d.at(3) >= 4) {
        words += N(d.at(3));
        words += u"стотин ";
    }
    if (d.at(2) > 0) {
        BgWords2Digits(digits, words);
    } else if (d.at(1) > 0) {
        words += u"и ";
        BgWords1Digit(digits, words);
    }
}

void BgWords4Digits(const QString &digits, QString &words)
{
    const Digits d(digits, 4);
    if (d.at(4) == 1) {
        words += u"хиляда ";
    } else {
        words += N(d.at(4));
        words += u" хиляди ";
    }
    if (d.at(3) > 0 && d.at(2) == 0 && d.at(1) == 0) {
        words += u"и ";
        BgWords3Digits(digits, words);
    } else if (d.at(3) > 0) {
        BgWords3Digits(digits, words);
    } else if (d.at(2) > 0) {
        BgWords2Digits(digits, words);
    } else if (d.at(1) > 0) {
        words += u"и ";
        BgWords1Digit(digits, words);
    }
}

void BgWords5Digits(const QString &digits, QString &words)
{
    const Digits d(digits, 5);
    // The count of thousands takes the masculine forms: "двадесет и един хиляди".
    BgWords2Digits(digits.mid(digits.size() - 5, 2), words);
    BgThousandsTail(digits, d, words);
}

void BgWords6Digits(const QString &digits, QString &words)
{
    const Digits d(digits, 6);
    BgWords3Digits(digits.mid(digits.size() - 6, 3), words);
    BgThousandsTail(digits, d, words);
}

void BgWordsFraction(const QString &digits, QString &words)
{
    AppendFraction(digits, u" и ", words);
}

void EnWords1Digit(const QString &digits, QString &words)
{
    const Digits d(digits, 1);
    // A foreign amount below 1 can come with a leva amount of 1 or more; its whole part is "0".
    if (d.at(1) == 0)
        words += u"zero";
    else
        words += U(d.at(1));
}

void EnWords2Digits(const QString &digits, QString &words)
{
    const Digits d(digits, 2);
    if (d.at(2) == 1) {
        if (!CurrentLineEmpty(words) && !words.endsWith(u" and "))
            words += u"and ";
        if (d.at(1) == 0)
            words += U(10);
        else if (d.at(1) <= 3)
            words += EnTeenWords[d.at(1)];
        else if (d.at(1) == 5)
            words += u"fifteen";
        else {
            words += U(d.at(1));
            words += u"teen";
        }
        return;
    }
    // Twenty, thirty and fifty have words of their own; the other tens are "<unit>ty ", and only
    // those keep their blank when no unit follows ("fourty ", but "fifty").
    QStringView special;
    if (d.at(2) == 2)
        special = u"twenty";
    else if (d.at(2) == 3)
        special = u"thirty";
    else if (d.at(2) == 5)
        special = u"fifty";
    if (!special.isNull()) {
        words += special;
        if (d.at(1) > 0) {
            words += u" ";
            words += U(d.at(1));
        }
        return;
    }
    words += U(d.at(2));
    words += u"ty ";
    if (d.at(1) > 0)
        words += U(d.at(1));
}

void EnWords3Digits(const QString &digits, QString &words)
{
    const Digits d(digits, 3);
    words += U(d.at(3));
    words += u" hundred ";
    if (d.at(2) > 0) {
        EnWords2Digits(digits, words);
    } else if (d.at(1) > 0) {
        words += u"and ";
        EnWords1Digit(digits, words);
    }
}

void EnWords4Digits(const QString &digits, QString &words)
{
    const Digits d(digits, 4);
    words += U(d.at(4));
    words += u" thousand ";
    if (d.at(3) > 0 && d.at(2) == 0 && d.at(1) == 0) {
        words += u"and ";
        EnWords3Digits(digits, words);
    } else if (d.at(3) > 0) {
        EnWords3Digits(digits, words);
    } else if (d.at(2) > 0) {
        EnWords2Digits(digits, words);
    } else if (d.at(1) > 0) {
        words += u" and ";
        EnWords1Digit(digits, words);
    }
}

void EnWords5Digits(const QString &digits, QString &words)
{
    const Digits d(digits, 5);
    EnWords2Digits(digits.mid(digits.size() - 5, 2), words);
    EnThousandsTail(digits, d, words);
}

void EnWords6Digits(const QString &digits, QString &words)
{
    const Digits d(digits, 6);
    EnWords3Digits(digits.mid(digits.size() - 6, 3), words);
    EnThousandsTail(digits, d, words);
}

void EnWordsFraction(const QString &digits, QString &words)
{
    AppendFraction(digits, u" and ", words);
}

QString AmountInWords(const QString &levaAmount, const QString &foreignAmount,
                      const QString &currencyCode)
{
    return AmountInWords(levaAmount, foreignAmount, currencyCode, QStringLiteral("BGL"));
}

QString AmountInWords(const QString &homeAmount, const QString &foreignAmount,
                      const QString &currencyCode, const QString &homeCode)
{
    static const WordsRoutine bgWhole[6] = {BgWords1Digit,  BgWords2Digits, BgWords3Digits,
                                            BgWords4Digits, BgWords5Digits, BgWords6Digits};
    static const WordsRoutine enWhole[6] = {EnWords1Digit,  EnWords2Digits, EnWords3Digits,
                                            EnWords4Digits, EnWords5Digits, EnWords6Digits};
    QString words;
    AppendAmount(homeAmount, bgWhole, BgWordsFraction, homeCode, words,
                 homeCode == QLatin1String("EUR"));
    words += QChar(10);
    AppendAmount(foreignAmount, enWhole, EnWordsFraction, currencyCode, words);
    return words;
}
