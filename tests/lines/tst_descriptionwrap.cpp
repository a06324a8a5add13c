#include "lines/DescriptionWrap.h"

#include <QTest>

class TestDescriptionWrap : public QObject
{
    Q_OBJECT
private slots:
    void wrap_data();
    void wrap();
    void everyLineFits_data();
    void everyLineFits();
};

namespace
{
const QString kTenWords = QStringLiteral("abcd abcd abcd abcd abcd abcd abcd efgh efgh efgh");
}

void TestDescriptionWrap::wrap_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("wrapped");
    QTest::newRow("no lines") << QStringList{} << QStringList{};
    QTest::newRow("short line stays") << QStringList{"Кафе"} << QStringList{"Кафе"};
    QTest::newRow("exactly 39 characters stay")
        << QStringList{QString(39, 'x')} << QStringList{QString(39, 'x')};
    QTest::newRow("ten words become seven and three")
        << QStringList{kTenWords}
        << QStringList{"abcd abcd abcd abcd abcd abcd abcd", "efgh efgh efgh"};
    QTest::newRow("carried words run into the old next line")
        << QStringList{kTenWords, "ijkl"}
        << QStringList{"abcd abcd abcd abcd abcd abcd abcd", "efgh efgh efghijkl"};
    QTest::newRow("cut at the last space within 39")
        << QStringList{QString(38, 'a') + " b c"} << QStringList{QString(38, 'a'), "b c"};
    QTest::newRow("space at position 40 is beyond the cut")
        << QStringList{QString(20, 'a') + " " + QString(18, 'b') + " c"}
        << QStringList{QString(20, 'a'), QString(18, 'b') + " c"};
    QTest::newRow("long text cut as often as needed")
        << QStringList{QStringList(QList<QString>(12, "word1234")).join(' ')}
        << QStringList{"word1234 word1234 word1234 word1234", "word1234 word1234 word1234 word1234",
                       "word1234 word1234 word1234 word1234"};
    QTest::newRow("lengthened next line is wrapped in turn")
        << QStringList{kTenWords, QString(30, 'z') + " tail"}
        << QStringList{"abcd abcd abcd abcd abcd abcd abcd", "efgh efgh",
                       "efgh" + QString(30, 'z') + " tail"};
    QTest::newRow("no space in the first 39 characters is cut at 39")
        << QStringList{QString(45, 'x')} << QStringList{QString(39, 'x'), QString(6, 'x')};
    QTest::newRow("Cyrillic counts characters, not bytes")
        << QStringList{"Доставка на офис консумативи по договор номер 15"}
        << QStringList{"Доставка на офис консумативи по", "договор номер 15"};
}

void TestDescriptionWrap::wrap()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, wrapped);
    QCOMPARE(WrapDescription(lines), wrapped);
}

void TestDescriptionWrap::everyLineFits_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("one word of 200 characters") << QString(200, 'y');
    QTest::newRow("spaces only") << QString(100, ' ');
    QTest::newRow("mixed") << QString(50, 'y') + " " + QString(80, 'z') + " end";
}

void TestDescriptionWrap::everyLineFits()
{
    QFETCH(QString, text);
    const QStringList wrapped = WrapDescription({text});
    for (const QString &line : wrapped)
        QVERIFY2(line.size() <= 39, qPrintable(line));
}

QTEST_GUILESS_MAIN(TestDescriptionWrap)
#include "tst_descriptionwrap.moc"
