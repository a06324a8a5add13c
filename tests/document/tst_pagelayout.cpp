#include "document/PageLayout.h"

#include <QTest>

// The arithmetic of the invoice page: centring, suffixes, the amounts' column, the stacking of
// the regions and the wrapping of a field onto a second line.
class TestPageLayout : public QObject
{
    Q_OBJECT
private slots:
    void centredLeft_data();
    void centredLeft();
    void withSuffix_data();
    void withSuffix();
    void stackBlocks_data();
    void stackBlocks();
    void wrappedCaption_data();
    void wrappedCaption();
    void contentsSize_data();
    void contentsSize();
};

void TestPageLayout::centredLeft_data()
{
    QTest::addColumn<int>("anchorLeft");
    QTest::addColumn<int>("anchorWidth");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("left");
    QTest::newRow("same width keeps the anchor's left") << 305 << 200 << 200 << 305;
    QTest::newRow("narrower sits in the middle") << 305 << 200 << 100 << 355;
    QTest::newRow("odd difference truncates down") << 305 << 200 << 101 << 354;
    QTest::newRow("wider sticks out on both sides") << 305 << 200 << 300 << 255;
    QTest::newRow("odd overhang truncates toward zero") << 300 << 100 << 103 << 299;
}

void TestPageLayout::centredLeft()
{
    QFETCH(int, anchorLeft);
    QFETCH(int, anchorWidth);
    QFETCH(int, width);
    QFETCH(int, left);
    QCOMPARE(CentredLeft(anchorLeft, anchorWidth, width), left);
}

void TestPageLayout::withSuffix_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("result");
    QTest::newRow("bare amount gets the suffix") << "0"
                                                 << " BGL"
                                                 << "0 BGL";
    QTest::newRow("suffixed amount stays") << "123.45 BGL"
                                           << " BGL"
                                           << "123.45 BGL";
    QTest::newRow("suffix anywhere counts") << "1 BGL 2"
                                            << " BGL"
                                            << "1 BGL 2";
    QTest::newRow("suffix without its blank is not the suffix") << "12BGL"
                                                                << " BGL"
                                                                << "12BGL BGL";
    QTest::newRow("empty caption gets the suffix") << ""
                                                   << " EUR"
                                                   << " EUR";
    QTest::newRow("another currency is appended") << "63.12 EUR"
                                                  << " USD"
                                                  << "63.12 EUR USD";
}

void TestPageLayout::withSuffix()
{
    QFETCH(QString, caption);
    QFETCH(QString, suffix);
    QFETCH(QString, result);
    QCOMPARE(WithSuffix(caption, suffix), result);
    // Running the tidy-up again never doubles a suffix.
    QCOMPARE(WithSuffix(WithSuffix(caption, suffix), suffix), result);
}

void TestPageLayout::stackBlocks_data()
{
    QTest::addColumn<int>("customerBottom");
    QTest::addColumn<int>("noteHeight");
    QTest::addColumn<int>("supplierBottom");
    QTest::addColumn<int>("noteTop");
    QTest::addColumn<int>("linesTop");
    // customer 112 + 168 = 280, note 282..319 (counted even when hidden), supplier ends at 313
    QTest::newRow("grid under the note panel when it is lower") << 280 << 37 << 313 << 282 << 324;
    QTest::newRow("grid under the supplier block when it is lower")
        << 280 << 37 << 340 << 282 << 345;
    QTest::newRow("grown customer block pushes note and grid") << 292 << 37 << 313 << 294 << 336;
    QTest::newRow("equal bottoms") << 280 << 31 << 313 << 282 << 318;
}

void TestPageLayout::stackBlocks()
{
    QFETCH(int, customerBottom);
    QFETCH(int, noteHeight);
    QFETCH(int, supplierBottom);
    QFETCH(int, noteTop);
    QFETCH(int, linesTop);
    PageBlocks blocks;
    blocks.customer = {112, customerBottom - 112};
    blocks.supplier = {112, supplierBottom - 112};
    blocks.note = {290, noteHeight};
    blocks.lines = {328, 98};
    blocks.upperRule = {376, 2};
    blocks.lower = {384, 329};
    blocks.lowerRule = {720, 1};
    blocks.signatures = {730, 88};
    const PageBlocks stacked = StackBlocks(blocks);
    QCOMPARE(stacked.note.top, noteTop);
    QCOMPARE(stacked.lines.top, linesTop);
    QCOMPARE(stacked.upperRule.top, linesTop + 98 + 15);
    QCOMPARE(stacked.lower.top, stacked.upperRule.top + 2 + 6);
    QCOMPARE(stacked.lowerRule.top, stacked.lower.top + 329 + 7);
    QCOMPARE(stacked.signatures.top, stacked.lowerRule.top + 1 + 9);
    // Heights and the fixed blocks stay as they were.
    QCOMPARE(stacked.customer.top, 112);
    QCOMPARE(stacked.supplier.top, 112);
    QCOMPARE(stacked.lines.height, 98);
    QCOMPARE(stacked.lower.height, 329);
}

void TestPageLayout::wrappedCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("result");
    // Measured at 10 px a character.
    QTest::newRow("fitting caption stays") << "ABCDEFGHIJ" << 206 << "ABCDEFGHIJ";
    QTest::newRow("exactly the limit stays") << "ABCDEFGHIJ" << 100 << "ABCDEFGHIJ";
    QTest::newRow("one pixel over splits at the middle") << "ABCDEFGHIJ" << 99 << "ABCDE\nFGHIJ";
    QTest::newRow("odd length keeps the shorter half first")
        << "ABCDEFGHIJK" << 99 << "ABCDE\nFGHIJK";
    QTest::newRow("split ignores word boundaries")
        << "Иван Петров ООД" << 100 << "Иван Пе\nтров ООД";
    QTest::newRow("only the last line is measured")
        << "ABCDEFGHIJKLMNOP\nAB" << 99 << "ABCDEFGHIJKLMNOP\nAB";
    QTest::newRow("wide second line splits the whole text again")
        << "AB\nCDEFGHIJKLMN" << 99 << "AB\nCDEF\nGHIJKLMN";
    QTest::newRow("empty caption stays") << "" << 0 << "";
    QTest::newRow("a character of two code units stays whole")
        << QStringLiteral("ABC\U0001F600DEFG") << 50 << QStringLiteral("ABC\U0001F600\nDEFG");
}

void TestPageLayout::wrappedCaption()
{
    QFETCH(QString, caption);
    QFETCH(int, limit);
    QFETCH(QString, result);
    QCOMPARE(
        WrappedCaption(caption, limit, [](const QString &line) { return 10 * int(line.size()); }),
        result);
}

void TestPageLayout::contentsSize_data()
{
    QTest::addColumn<QList<QRect>>("children");
    QTest::addColumn<QSize>("size");
    QTest::newRow("no children") << QList<QRect>() << QSize(0, 0);
    QTest::newRow("right-most and lowest child decide")
        << QList<QRect>{QRect(0, 0, 80, 30), QRect(96, 144, 113, 16), QRect(88, 0, 160, 16)}
        << QSize(248, 160);
}

void TestPageLayout::contentsSize()
{
    QFETCH(QList<QRect>, children);
    QFETCH(QSize, size);
    QCOMPARE(ContentsSize(children), size);
}

QTEST_GUILESS_MAIN(TestPageLayout)
#include "tst_pagelayout.moc"
