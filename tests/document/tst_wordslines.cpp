#include "document/WordsLines.h"

#include "document/Invoice.h"

#include <QTest>

namespace
{
// Every character one pixel wide, so that widths read as lengths.
int Length(const QString &text)
{
    return int(text.size());
}
} // namespace

// The lines of the amount in words: figures for amounts beyond the words, breaks at blanks.
class TestWordsLines : public QObject
{
    Q_OBJECT
private slots:
    void figuresForLongAmounts_data();
    void figuresForLongAmounts();
    void breakAtBlanks_data();
    void breakAtBlanks();
    void documentWords_data();
    void documentWords();
};

void TestWordsLines::figuresForLongAmounts_data()
{
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("homeCode");
    QTest::addColumn<QString>("foreign");
    QTest::addColumn<QString>("result");
    const QString words = QStringLiteral("шестстотин хиляди и  0.47 BGL\nsix hundred thousand EUR");
    QTest::newRow("six digits keep their words") << "600000.47"
                                                 << "BGL"
                                                 << "306777.12" << words;
    QTest::newRow("seven digits at home: figures on the first line")
        << "1481496.47"
        << "BGL"
        << "306777.12"
        << "1481496.47 BGL\nsix hundred thousand EUR";
    QTest::newRow("seven digits abroad: figures on the second line")
        << "600000.47"
        << "BGL"
        << "1000000.00"
        << "шестстотин хиляди и  0.47 BGL\n1000000.00 EUR";
    QTest::newRow("a whole amount without decimals") << "1481496"
                                                     << "BGL"
                                                     << "1000000"
                                                     << "1481496 BGL\n1000000 EUR";
    QTest::newRow("the minus is no digit") << "-600000.47"
                                           << "BGL"
                                           << "-1000000.00"
                                           << "шестстотин хиляди и  0.47 BGL\n-1000000.00 EUR";
    QTest::newRow("the home code as given") << "12345678.90"
                                            << "EUR"
                                            << "1.00"
                                            << "12345678.90 EUR\nsix hundred thousand EUR";
}

void TestWordsLines::figuresForLongAmounts()
{
    QFETCH(QString, home);
    QFETCH(QString, homeCode);
    QFETCH(QString, foreign);
    QFETCH(QString, result);
    const QString words = QStringLiteral("шестстотин хиляди и  0.47 BGL\nsix hundred thousand EUR");
    QCOMPARE(WithFiguresForLongAmounts(words, home, homeCode, foreign, QStringLiteral("EUR")),
             result);
}

void TestWordsLines::breakAtBlanks_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("result");
    QTest::newRow("a line that fits stays") << "one two\nthree" << 7 << "one two\nthree";
    QTest::newRow("the last word goes below") << "one two three" << 8 << "one two\nthree";
    QTest::newRow("as many lines as needed") << "aa bb cc dd" << 5 << "aa bb\ncc dd";
    QTest::newRow("a double blank at the break is dropped")
        << "десет и  0.50 BGL" << 9 << "десет и\n0.50 BGL";
    QTest::newRow("each language line on its own")
        << "едно две три\none two three" << 8 << "едно две\nтри\none two\nthree";
    QTest::newRow("a word wider than the space stands alone")
        << "a verylongword b" << 5 << "a\nverylongword\nb";
    QTest::newRow("trailing blanks move nothing") << "one two   " << 7 << "one two   ";
    QTest::newRow("no blank: nothing to break at") << "abcdefgh" << 4 << "abcdefgh";
}

void TestWordsLines::breakAtBlanks()
{
    QFETCH(QString, caption);
    QFETCH(int, width);
    QFETCH(QString, result);
    QCOMPARE(BreakAtBlanks(caption, width, Length), result);
}

void TestWordsLines::documentWords_data()
{
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("homeCode");
    QTest::addColumn<QString>("foreign");
    QTest::addColumn<QString>("foreignCode");
    QTest::addColumn<QString>("words");
    QTest::newRow("no amount, no words") << "0"
                                         << "BGN"
                                         << "0"
                                         << "EUR"
                                         << "";
    QTest::newRow("ordinary amount") << "398.40"
                                     << "BGN"
                                     << "203.70"
                                     << "EUR"
                                     << "триста деветдесет и осем и  0.40 BGL\ntwo hundred and "
                                        "three and  0.70 EUR";
    QTest::newRow("below one lev: the words of the total shown")
        << "0.01"
        << "BGN"
        << "0.01"
        << "EUR"
        << "нула и  0.01 BGL\nzero and  0.01 EUR";
    QTest::newRow("a million and more: the leva amount in figures")
        << "1234567.89"
        << "BGN"
        << "631226.54"
        << "EUR"
        << "1234567.89 BGL\nsix hundred thirty one thousand and two hundred twenty six and  0.54 "
           "EUR";
    QTest::newRow("credit note of a million: figures with their sign")
        << "-1481496.47"
        << "BGN"
        << "-757475.89"
        << "EUR"
        << "-1481496.47 BGL\nminus seven hundred fifty seven thousand and four hundred seventy "
           "five and  0.89 EUR";
    QTest::newRow("credit note below zero: minus and the words of the amount")
        << "-12.50"
        << "BGN"
        << "-6.39"
        << "EUR"
        << "минус дванадесет и  0.50 BGL\nminus six and  0.39 EUR";
    QTest::newRow("credit note above minus one lev") << "-0.50"
                                                     << "BGN"
                                                     << "-0.26"
                                                     << "EUR"
                                                     << "минус нула и  0.50 BGL\nminus zero and  "
                                                        "0.26 EUR";
    QTest::newRow("euro at home, dollars beside")
        << "22.00"
        << "EUR"
        << "25.63"
        << "USD"
        << "двадесет и две EUR\ntwenty five and  0.63 USD";
    QTest::newRow("euro with the lev beside: both lines state the euro amount payable")
        << "22.00"
        << "EUR"
        << "43.03"
        << "BGN"
        << "двадесет и две EUR\ntwenty two EUR";
}

void TestWordsLines::documentWords()
{
    QFETCH(QString, home);
    QFETCH(QString, homeCode);
    QFETCH(QString, foreign);
    QFETCH(QString, foreignCode);
    QFETCH(QString, words);
    Invoice doc;
    doc.homeCurrency = homeCode;
    doc.foreignCurrency = foreignCode;
    doc.home.gross = Decimal::Amount::FromText(home);
    doc.foreign.gross = Decimal::Amount::FromText(foreign);
    QCOMPARE(DocumentWords(doc), words);
}

QTEST_GUILESS_MAIN(TestWordsLines)
#include "tst_wordslines.moc"
