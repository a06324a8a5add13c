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

PageBlocks StackBlocks(PageBlocks b)
{
    b.note.top = b.customer.bottom() + 2;
    b.lines.top = std::max(b.note.bottom(), b.supplier.bottom()) + 5;
    b.upperRule.top = b.lines.bottom() + 15;
    b.lower.top = b.upperRule.bottom() + 6;
    b.lowerRule.top = b.lower.bottom() + 7;
    b.signatures.top = b.lowerRule.bottom() + 9;
    return b;
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
