#include "document/WordsLines.h"

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

QTEST_GUILESS_MAIN(TestWordsLines)
#include "tst_wordslines.moc"
