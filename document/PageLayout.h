#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>

// The arithmetic of the invoice page's layout, free of widgets so that it can be checked alone.

// How far the controls below a field move when the field takes a second line.
inline constexpr int kWrapShift = 12;

// Left of a control of the given width centred on an anchor; the half is truncated toward zero.
int CentredLeft(int anchorLeft, int anchorWidth, int width);

// The caption with the suffix appended, unless the caption already contains it anywhere.
QString WithSuffix(const QString &caption, const QString &suffix);

// Where the amounts of the totals block go: the first amount starts 35 px after the caption and
// every amount ends at its right edge.
struct AmountColumn {
    int firstLeft;
    int rightEdge;
};
AmountColumn AlignAmounts(int captionLeft, int captionWidth, int firstAmountWidth);

// A region of the page by its top and height; its bottom is top + height.
struct Block {
    int top = 0;
    int height = 0;
    int bottom() const { return top + height; }
};

// The regions the re-flow stacks, top to bottom; the customer and supplier blocks stay put.
struct PageBlocks {
    Block customer;   // the customer block, fixed
    Block supplier;   // the supplier block, fixed
    Block note;       // the note reference, counted even while hidden
    Block lines;      // the lines grid
    Block upperRule;  // the rule under the grid
    Block lower;      // the lower block
    Block lowerRule;  // the rule above the signatures
    Block signatures; // the signature block
};
// The gaps the stacking leaves between the regions, from the customer block down.
struct BlockGaps {
    int note = 2;       // customer block to note reference
    int lines = 5;      // note reference or supplier block to the lines grid
    int upperRule = 15; // lines grid to the rule under it
    int lower = 6;      // that rule to the lower block
    int lowerRule = 7;  // lower block to the rule above the signatures
    int signatures = 9; // that rule to the signature block
};
// The blocks with new tops: note under the customer block, the grid under the lower of note and
// supplier, then rule, lower block, rule and signatures, each with its own gap. A hidden note
// reference keeps its place unless reserveNote is false.
PageBlocks StackBlocks(PageBlocks blocks, const BlockGaps &gaps = BlockGaps(),
                       bool reserveNote = true);

// How much of its normal spacing the page gives up so that the signatures stay above the footer.
struct Compaction {
    BlockGaps gaps;
    bool reserveHiddenNote = true; // a hidden note reference still keeps its place
    int rowGapCap = -1;  // the largest gap left between the rows of the lower and signature
                         // blocks; -1 keeps every gap
    int rowHeight = 18;  // the lines grid's row height, its grid line not counted
    int fontPixels = 13; // the lines grid's text height
};
// The steps from the normal page to the tightest one, in the order they are tried.
QList<Compaction> CompactionSteps();

// How far each row of a block moves up when no vertical gap between its bands (rows that overlap
// each other vertically move together) is larger than cap; the order of the rows stays.
QList<int> LiftsClosingGaps(const QList<Block> &rows, int cap);

// What the page holds, as it is laid out now.
struct PageContents {
    PageBlocks blocks;
    bool noteShown = false;
    int lineRows = 2;       // rows of the lines grid, header rows included
    int lineRowHeight = 18; // its row height now, its grid line not counted
    // The children of the lower and signature blocks, within their block, in columns that close
    // their gaps each on its own (the totals and note accounts beside the lower block's rows).
    QList<QList<Block>> lowerColumns;
    QList<QList<Block>> signatureColumns;
    int footerTop = 0; // top of the footer credit
};
// Where everything goes: the first compaction step whose signatures end above the footer, or the
// tightest one when none does (then fits is false).
struct PagePlan {
    Compaction compaction;
    PageBlocks blocks;
    // For each child of those columns, how far it moves up within its block.
    QList<QList<int>> lowerLifts;
    QList<QList<int>> signatureLifts;
    bool fits = false;
};
// The air kept between the signatures and the footer credit.
inline constexpr int kFooterClearance = 4;
PagePlan PlanPage(const PageContents &page);

// The text after the caption's last line feed, or the whole caption when it has none.
QString LastLine(const QString &caption);
// The caption cut at half its length (rounded down; a character of two code units is kept
// whole) by a line feed, ignoring words and earlier line feeds.
QString SplitAtMiddle(const QString &caption);
// The caption as the wrapping edit leaves it: unchanged when its last line is at most widthLimit
// pixels wide by measure, otherwise split at the middle.
QString WrappedCaption(const QString &caption, int widthLimit,
                       const std::function<int(const QString &)> &measure);
// The top of a sibling after a field at fieldTop took a second line: those below move down.
int TopAfterWrap(int top, int fieldTop);

// The size that holds every given child rectangle, measured from the container's origin.
QSize ContentsSize(const QList<QRect> &children);

// The caption as it fits its place: every line wider than width pixels (0: any width) cut with
// "…" at the end, and at most maxLines lines (0: any number), the last one kept ending in "…"
// when lines were dropped.
QString FitCaption(const QString &caption, int width, int maxLines,
                   const std::function<int(const QString &)> &measure);
