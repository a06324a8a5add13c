#include "document/PageLayout.h"

#include <QTest>

Q_DECLARE_METATYPE(Block)
Q_DECLARE_METATYPE(PageContents)

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
    void liftsClosingGaps_data();
    void liftsClosingGaps();
    void planPage_data();
    void planPage();
    void fitCaption_data();
    void fitCaption();
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

void TestPageLayout::liftsClosingGaps_data()
{
    QTest::addColumn<QList<Block>>("rows");
    QTest::addColumn<int>("cap");
    QTest::addColumn<QList<int>>("lifts");
    QTest::newRow("gaps within the cap stay")
        << QList<Block>{{0, 15}, {17, 15}, {34, 15}} << 2 << QList<int>{0, 0, 0};
    QTest::newRow("each wider gap closes to the cap")
        << QList<Block>{{0, 15}, {25, 15}, {50, 15}} << 4 << QList<int>{0, 6, 12};
    QTest::newRow("overlapping rows move together as one band")
        << QList<Block>{{0, 30}, {8, 15}, {40, 15}, {48, 15}} << 2 << QList<int>{0, 0, 8, 8};
    QTest::newRow("a tall row holds the rows beside it in its band")
        << QList<Block>{{0, 100}, {20, 10}, {60, 10}, {120, 10}} << 2 << QList<int>{0, 0, 0, 18};
    QTest::newRow("the order given does not matter")
        << QList<Block>{{50, 15}, {0, 15}, {25, 15}} << 4 << QList<int>{12, 0, 6};
    QTest::newRow("the top row never moves") << QList<Block>{{30, 15}} << 0 << QList<int>{0};
}

void TestPageLayout::liftsClosingGaps()
{
    QFETCH(QList<Block>, rows);
    QFETCH(int, cap);
    QFETCH(QList<int>, lifts);
    QCOMPARE(LiftsClosingGaps(rows, cap), lifts);
}

namespace
{
// The page as the transfer leaves it: header rows plus lines in the grid, the lower block's
// rows with the words on wordLines lines, the totals and note accounts beside them.
PageContents Page(int lineRows, int customerGrowth, bool noteShown, int wordLines)
{
    const int shift = 12 * (wordLines - 1);
    PageContents page;
    page.blocks.customer = {112, 160 + customerGrowth};
    page.blocks.supplier = {112, 200};
    page.blocks.note = {0, 36};
    page.blocks.lines = {0, lineRows * 19 + 3};
    page.blocks.upperRule = {0, 2};
    page.blocks.lower = {0, 328 + shift};
    page.blocks.lowerRule = {0, 1};
    page.blocks.signatures = {0, 86};
    page.noteShown = noteShown;
    page.lineRows = lineRows;
    page.lineRowHeight = 18;
    QList<Block> rows = {{0, 15 * wordLines}, {0, 30}};
    for (const Block &row : QList<Block>{{36, 2},
                                         {48, 15},
                                         {64, 30},
                                         {104, 15},
                                         {120, 26},
                                         {160, 15},
                                         {184, 15},
                                         {212, 2},
                                         {217, 30},
                                         {249, 30},
                                         {289, 15},
                                         {313, 15}})
        rows << Block{row.top + shift, row.height};
    page.lowerColumns = {rows, {{0, 143}}};
    if (noteShown)
        page.lowerColumns[1] << Block{216 + shift, 110};
    page.signatureColumns = {{{0, 30}, {16, 15}, {40, 15}, {56, 30}}};
    page.footerTop = 1144;
    return page;
}
} // namespace

void TestPageLayout::planPage_data()
{
    QTest::addColumn<PageContents>("page");
    QTest::addColumn<bool>("normal");
    QTest::newRow("short invoice") << Page(5, 0, false, 2) << true;
    QTest::newRow("18 rows still fit as they are") << Page(18, 0, false, 2) << true;
    QTest::newRow("19 rows close up") << Page(19, 0, false, 2) << false;
    QTest::newRow("25 lines, long words, all six client fields wrapped")
        << Page(27, 72, false, 4) << false;
    QTest::newRow("25 lines of a credit note, long words, four client fields wrapped")
        << Page(27, 48, true, 4) << false;
    QTest::newRow("25 lines of a credit note, long words, all six client fields wrapped")
        << Page(27, 72, true, 4) << false;
}

void TestPageLayout::planPage()
{
    QFETCH(PageContents, page);
    QFETCH(bool, normal);
    const PagePlan plan = PlanPage(page);
    QVERIFY(plan.fits);
    const PageBlocks &b = plan.blocks;
    QVERIFY(b.signatures.bottom() <= page.footerTop - kFooterClearance);
    // Stacked top to bottom without overlap, under both address blocks.
    QVERIFY(b.lines.top > std::max(b.customer.bottom(), b.supplier.bottom()));
    if (page.noteShown)
        QVERIFY(b.lines.top > b.note.bottom());
    for (const auto &[upper, lower] : {std::pair{b.lines, b.upperRule},
                                       {b.upperRule, b.lower},
                                       {b.lower, b.lowerRule},
                                       {b.lowerRule, b.signatures}})
        QVERIFY(upper.bottom() < lower.top);
    QCOMPARE(b.lines.height, page.lineRows * (plan.compaction.rowHeight + 1) + 3);
    QVERIFY(plan.compaction.fontPixels >= 11);
    if (normal) {
        // Nothing given up: the normal stacking, nothing lifted.
        QCOMPARE(b.lines.top, StackBlocks(page.blocks).lines.top);
        QCOMPARE(b.signatures.top, StackBlocks(page.blocks).signatures.top);
        QCOMPARE(plan.compaction.rowHeight, 18);
        for (const QList<int> &lifts : plan.lowerLifts)
            QCOMPARE(lifts, QList<int>(lifts.size(), 0));
        return;
    }
    QVERIFY(b.signatures.top < StackBlocks(page.blocks).signatures.top);
    // The totals stay at the lower block's top; its rows keep their order.
    QCOMPARE(plan.lowerLifts[1][0], 0);
    const QList<int> &lifts = plan.lowerLifts[0];
    for (int i = 2; i < lifts.size(); ++i)
        QVERIFY(lifts[i] >= lifts[i - 1]);
}

void TestPageLayout::fitCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("result");
    // Measured at 10 px a character.
    QTest::newRow("fitting caption stays") << "ABCDEFGHIJ" << 100 << 0 << "ABCDEFGHIJ";
    QTest::newRow("a wider line is cut with an ellipsis") << "ABCDEFGHIJ" << 60 << 0 << "ABCDE…";
    QTest::newRow("blanks before the cut go") << "ABC DEFGHI" << 50 << 0 << "ABC…";
    QTest::newRow("every line on its own") << "ABCDEFGH\nAB" << 50 << 0 << "ABCD…\nAB";
    QTest::newRow("lines beyond the most are dropped, the last says so")
        << "AB\nCD\nEF" << 100 << 2 << "AB\nCD…";
    QTest::newRow("the last line kept still fits with its ellipsis")
        << "AB\nCDEFGHIJ\nEF" << 50 << 2 << "AB\nCDEF…";
    QTest::newRow("no width, no line limit") << "ABCDEFGHIJ" << 0 << 0 << "ABCDEFGHIJ";
}

void TestPageLayout::fitCaption()
{
    QFETCH(QString, caption);
    QFETCH(int, width);
    QFETCH(int, lines);
    QFETCH(QString, result);
    QCOMPARE(FitCaption(caption, width, lines,
                        [](const QString &line) { return 10 * int(line.size()); }),
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
