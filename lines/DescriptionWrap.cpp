#include "lines/DescriptionWrap.h"

namespace
{
constexpr qsizetype kLineWidth = 39;
}

QStringList WrapDescription(const QStringList &lines)
{
    QStringList wrapped = lines;
    // The loop also visits the lines it appends or lengthens, so a long text is cut as often as it
    // needs; the index one past the last line reads as an empty line.
    for (qsizetype i = 0; i < wrapped.size(); ++i) {
        const QString line = wrapped.at(i);
        if (line.size() <= kLineWidth)
            continue;
        const QString head = line.left(kLineWidth);
        const qsizetype space = head.lastIndexOf(QLatin1Char(' '));
        QString carried;
        if (space < 0) {
            wrapped[i] = head;
            carried = line.mid(kLineWidth);
        } else {
            wrapped[i] = head.left(space);
            carried = line.mid(space + 1);
        }
        if (i == wrapped.size() - 1)
            wrapped.append(QString());
        wrapped[i + 1] = carried + wrapped.at(i + 1);
    }
    return wrapped;
}
