#include "document/PageLayout.h"

#include <algorithm>

int CentredLeft(int anchorLeft, int anchorWidth, int width)
{
    return anchorLeft + (anchorWidth - width) / 2;
}

QString WithSuffix(const QString &caption, const QString &suffix)
{
    return caption.contains(suffix) ? caption : caption + suffix;
}

AmountColumn AlignAmounts(int captionLeft, int captionWidth, int firstAmountWidth)
{
    const int firstLeft = captionLeft + captionWidth + 35;
    return {firstLeft, firstLeft + firstAmountWidth};
}

PageBlocks StackBlocks(PageBlocks b, const BlockGaps &gaps, bool reserveNote)
{
    b.note.top = b.customer.bottom() + gaps.note;
    const int above = reserveNote ? std::max(b.note.bottom(), b.supplier.bottom())
                                  : std::max(b.customer.bottom(), b.supplier.bottom());
    b.lines.top = above + gaps.lines;
    b.upperRule.top = b.lines.bottom() + gaps.upperRule;
    b.lower.top = b.upperRule.bottom() + gaps.lower;
    b.lowerRule.top = b.lower.bottom() + gaps.lowerRule;
    b.signatures.top = b.lowerRule.bottom() + gaps.signatures;
    return b;
}

QList<Compaction> CompactionSteps()
{
    QList<Compaction> steps;
    Compaction step;
    steps << step;
    // Whitespace goes first, the lines' size last.
    step.gaps = {2, 2, 3, 2, 2, 3};
    steps << step;
    step.reserveHiddenNote = false;
    steps << step;
    for (int cap : {8, 4, 2}) {
        step.rowGapCap = cap;
        steps << step;
    }
    // Smaller rows take a smaller text; 11 px is the least that stays readable in print.
    const struct {
        int rowHeight;
        int fontPixels;
    } rows[] = {{17, 13}, {16, 12}, {15, 12}, {14, 11}, {13, 11}};
    for (const auto &row : rows) {
        step.rowHeight = row.rowHeight;
        step.fontPixels = row.fontPixels;
        steps << step;
    }
    // Last, the rows of the lower blocks follow each other at their text's own line spacing.
    step.gaps = {1, 1, 1, 1, 1, 1};
    for (int cap : {1, 0}) {
        step.rowGapCap = cap;
        steps << step;
    }
    return steps;
}

QList<int> LiftsClosingGaps(const QList<Block> &rows, int cap)
{
    QList<int> order(rows.size());
    for (int i = 0; i < rows.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&rows](int a, int b) { return rows[a].top < rows[b].top; });
    QList<int> lifts(rows.size(), 0);
    int lift = 0;
    int bandBottom = 0;
    bool first = true;
    for (int i : order) {
        const Block &row = rows[i];
        if (!first && row.top >= bandBottom)
            lift += std::max(0, row.top - bandBottom - cap); // a new band begins
        bandBottom = first ? row.bottom() : std::max(bandBottom, row.bottom());
        first = false;
        lifts[i] = lift;
    }
    return lifts;
}

namespace
{
// Closes the gaps of every column; returns the block's height afterwards, or -1 for no columns.
int CloseColumns(const QList<QList<Block>> &columns, int cap, QList<QList<int>> &lifts)
{
    lifts.clear();
    int bottom = -1;
    for (const QList<Block> &column : columns) {
        lifts << (cap < 0 ? QList<int>(column.size(), 0) : LiftsClosingGaps(column, cap));
        for (int i = 0; i < column.size(); ++i)
            bottom = std::max(bottom, column[i].bottom() - lifts.last()[i]);
    }
    return bottom;
}

PagePlan Arrange(const PageContents &page, const Compaction &step)
{
    PagePlan plan;
    plan.compaction = step;
    PageBlocks blocks = page.blocks;
    blocks.lines.height += page.lineRows * (step.rowHeight - page.lineRowHeight);
    const int lower = CloseColumns(page.lowerColumns, step.rowGapCap, plan.lowerLifts);
    if (lower >= 0)
        blocks.lower.height = lower;
    const int signatures = CloseColumns(page.signatureColumns, step.rowGapCap, plan.signatureLifts);
    if (signatures >= 0)
        blocks.signatures.height = signatures;
    plan.blocks = StackBlocks(blocks, step.gaps, page.noteShown || step.reserveHiddenNote);
    plan.fits = plan.blocks.signatures.bottom() <= page.footerTop - kFooterClearance;
    return plan;
}
} // namespace

PagePlan PlanPage(const PageContents &page)
{
    PagePlan plan;
    for (const Compaction &step : CompactionSteps()) {
        plan = Arrange(page, step);
        if (plan.fits)
            break;
    }
    return plan;
}

QString LastLine(const QString &caption)
{
    const qsizetype lineFeed = caption.lastIndexOf(QLatin1Char('\n'));
    return lineFeed < 0 ? caption : caption.mid(lineFeed + 1);
}

QString SplitAtMiddle(const QString &caption)
{
    qsizetype half = caption.size() / 2;
    // A character outside the basic plane is never cut in two.
    if (half > 0 && caption.at(half - 1).isHighSurrogate())
        ++half;
    return caption.left(half) + QLatin1Char('\n') + caption.mid(half);
}

QString WrappedCaption(const QString &caption, int widthLimit,
                       const std::function<int(const QString &)> &measure)
{
    if (measure(LastLine(caption)) <= widthLimit)
        return caption;
    return SplitAtMiddle(caption);
}

int TopAfterWrap(int top, int fieldTop)
{
    return top > fieldTop ? top + kWrapShift : top;
}

QSize ContentsSize(const QList<QRect> &children)
{
    int width = 0;
    int height = 0;
    for (const QRect &child : children) {
        width = std::max(width, child.x() + child.width());
        height = std::max(height, child.y() + child.height());
    }
    return {width, height};
}

namespace
{
const QString kEllipsis = QStringLiteral("…");

// The line cut at the end, "…" after it, so that the whole is at most width wide.
QString Elided(const QString &line, int width, const std::function<int(const QString &)> &measure)
{
    if (width <= 0 || measure(line) <= width)
        return line;
    QString cut = line;
    while (!cut.isEmpty() && measure(cut + kEllipsis) > width)
        cut.chop(1);
    return cut.trimmed() + kEllipsis;
}
} // namespace

QString FitCaption(const QString &caption, int width, int maxLines,
                   const std::function<int(const QString &)> &measure)
{
    QStringList lines = caption.split(QLatin1Char('\n'));
    const bool dropped = maxLines > 0 && lines.size() > maxLines;
    if (dropped)
        lines = lines.mid(0, maxLines);
    for (QString &line : lines)
        line = Elided(line, width, measure);
    if (dropped && !lines.last().endsWith(kEllipsis)) {
        // The last line kept says that more followed.
        QString &last = lines.last();
        last = Elided(last + kEllipsis, width, measure);
        if (!last.endsWith(kEllipsis))
            last += kEllipsis;
    }
    return lines.join(QLatin1Char('\n'));
}
