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
// The blocks with new tops: note under the customer block, the grid under the lower of note and
// supplier, then rule, lower block, rule and signatures, each with its own gap.
PageBlocks StackBlocks(PageBlocks blocks);

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
