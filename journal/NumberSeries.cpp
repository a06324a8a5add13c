#include "journal/NumberSeries.h"

#include "document/DocumentNumber.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <map>
#include <tuple>

namespace
{
bool WholeNumber(const QString &text, qint64 &value)
{
    bool ok = false;
    value = text.trimmed().toLongLong(&ok);
    return ok && value > 0;
}
} // namespace

qint64 SeriesNumber(const QString &number)
{
    qint64 value = 0;
    return WholeNumber(number, value) ? value : 0;
}

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

ArchivedPageName ArchivedPageOf(const QString &fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("^V(Inv|Proform)Firm([0-9]{1,9})_([^_/\\\\]*)_(copy)?\\.bmp$"));
    const QString name = fileName.mid(
        qMax(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\'))) + 1);
    const QRegularExpressionMatch match = pattern.match(name);
    ArchivedPageName page;
    if (!match.hasMatch())
        return page;
    page.valid = true;
    page.counter = match.captured(1) == QLatin1String("Inv") ? kInvoiceCounter : kProformaCounter;
    page.firmRecNo = match.captured(2).toInt();
    page.number = SeriesNumber(match.captured(3));
    page.copy = match.capturedLength(4) > 0;
    return page;
}

namespace
{
struct SeriesKey {
    QString counter;
    int firmRecNo;
    bool operator<(const SeriesKey &other) const
    {
        return std::tie(counter, firmRecNo) < std::tie(other.counter, other.firmRecNo);
    }
};
} // namespace

QVector<SeriesFinding> CheckSeries(const QVector<JournalSpan> &spans,
                                   const QVector<StoredCounter> &counters,
                                   const QStringList &archiveNames, const JournalHolds &holds)
{
    std::map<SeriesKey, JournalSpan> spanOf;
    for (const JournalSpan &span : spans)
        if (span.last > 0)
            spanOf[{span.counter, span.firmRecNo}] = span;
    QVector<SeriesFinding> findings;
    auto findingOf = [&findings](const QString &counter, int firmRecNo) -> SeriesFinding & {
        for (SeriesFinding &finding : findings)
            if (finding.counter == counter && finding.firmRecNo == firmRecNo)
                return finding;
        findings.append({counter, firmRecNo, 0, 0, 0, {}});
        return findings.last();
    };
    for (const StoredCounter &counter : counters) {
        const auto span = spanOf.find({counter.counter, counter.firmRecNo});
        if (span == spanOf.end() || counter.value <= span->second.last)
            continue;
        SeriesFinding &finding = findingOf(counter.counter, counter.firmRecNo);
        finding.missingFrom = span->second.last + 1;
        finding.missingTo = counter.value;
        finding.counterValue = counter.value;
    }
    QStringList names = archiveNames;
    names.sort();
    for (const QString &name : std::as_const(names)) {
        const ArchivedPageName page = ArchivedPageOf(name);
        if (!page.valid || page.number == 0)
            continue;
        const auto span = spanOf.find({page.counter, page.firmRecNo});
        if (span == spanOf.end() || page.number < span->second.first ||
            holds(page.counter, page.firmRecNo, page.number))
            continue;
        findingOf(page.counter, page.firmRecNo).archivedOnly.append(name);
    }
    return findings;
}

QString FindingsText(const QVector<SeriesFinding> &findings)
{
    constexpr int kNamesShown = 3;
    QStringList parts;
    for (const SeriesFinding &finding : findings) {
        QStringList lacks;
        if (finding.missingFrom > 0) {
            const QString numbers =
                finding.missingFrom == finding.missingTo
                    ? QStringLiteral("липсва %1").arg(TenDigits(finding.missingFrom))
                    : QStringLiteral("липсват %1–%2")
                          .arg(TenDigits(finding.missingFrom), TenDigits(finding.missingTo));
            lacks << QStringLiteral("%1 (броячът е на %2)")
                         .arg(numbers, TenDigits(finding.counterValue));
        }
        if (!finding.archivedOnly.isEmpty()) {
            QStringList shown = finding.archivedOnly.mid(0, kNamesShown);
            if (finding.archivedOnly.size() > kNamesShown)
                shown << QStringLiteral("и още %1").arg(finding.archivedOnly.size() - kNamesShown);
            lacks << QStringLiteral("в архива без ред в дневника: ") +
                         shown.join(QStringLiteral(", "));
        }
        parts << lacks.join(QStringLiteral("; "));
    }
    if (findings.size() == 1)
        return parts.value(0);
    for (int i = 0; i < findings.size(); ++i)
        parts[i] =
            QStringLiteral("%1 на фирма %2: ").arg(findings[i].counter).arg(findings[i].firmRecNo) +
            parts[i];
    return parts.join(QStringLiteral(" | "));
}
