#include "journal/NumberSeries.h"

#include "document/DocumentNumber.h"

#include <QHash>
#include <QSet>
#include <map>

namespace
{
bool WholeNumber(const QString &text, qint64 &value)
{
    bool ok = false;
    value = text.trimmed().toLongLong(&ok);
    return ok && value > 0;
}
} // namespace

QVector<SeriesMark> FindGapsAndRepeats(const QVector<SeriesItem> &items)
{
    QVector<SeriesMark> marks(items.size());
    // Per series: each number with the documents that carry it.
    QHash<QString, std::map<qint64, QSet<QString>>> series;
    for (const SeriesItem &item : items) {
        qint64 number = 0;
        if (WholeNumber(item.number, number))
            series[item.series][number].insert(item.document);
    }
    // The gap right below each number, and whether it is repeated.
    QHash<QString, QHash<qint64, SeriesMark>> found;
    for (auto s = series.cbegin(); s != series.cend(); ++s) {
        qint64 previous = 0;
        for (const auto &[number, documents] : s.value()) {
            SeriesMark mark;
            mark.repeated = documents.size() > 1;
            if (previous > 0 && number > previous + 1) {
                mark.gapFrom = previous + 1;
                mark.gapTo = number - 1;
            }
            found[s.key()].insert(number, mark);
            previous = number;
        }
    }
    for (int i = 0; i < items.size(); ++i) {
        qint64 number = 0;
        if (WholeNumber(items[i].number, number))
            marks[i] = found.value(items[i].series).value(number);
    }
    return marks;
}

SeriesItem SeriesItemOf(const JournalEntry &entry)
{
    const QChar sep(0x1F); // a character no field holds
    SeriesItem item;
    item.series = entry.series + sep + entry.supplierVat + sep + entry.supplierId;
    item.number = entry.number;
    item.document = entry.clientName + sep + entry.clientVat + sep + entry.clientId + sep +
                    entry.documentDate + sep + entry.total;
    return item;
}

QString MarkText(const SeriesMark &mark)
{
    QStringList parts;
    if (mark.hasGap()) {
        if (mark.gapFrom == mark.gapTo)
            parts << QStringLiteral("липсва %1").arg(TenDigits(mark.gapFrom));
        else
            parts << QStringLiteral("липсват %1–%2")
                         .arg(TenDigits(mark.gapFrom), TenDigits(mark.gapTo));
    }
    if (mark.repeated)
        parts << QStringLiteral("повторен номер");
    return parts.join(QStringLiteral("; "));
}
