#include "journal/JournalModel.h"

#include "base/Errors.h"
#include "journal/JournalStore.h"

#include <QPointer>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace
{
// The first batch fills a screen several times over; the later ones follow the scrolling.
constexpr int kFirstBatch = 256;
constexpr int kNextBatch = 1024;
// Rows are read in pages of this many, and this many pages are kept.
constexpr int kPageRows = 64;
constexpr size_t kPagesKept = 64;

struct ColumnDesign {
    const char *caption;
    bool right;
};
const ColumnDesign kColumns[JournalModel::ColumnCount] = {
    {"Номер", false},         {"Вид", false},      {"Дата", false},           {"Клиент", false},
    {"Данъчна основа", true}, {"ДДС", true},       {"Сума за плащане", true}, {"Валута", false},
    {"Екземпляр", false},     {"Номерация", false}};

QString CellText(const JournalListRow &row, int column)
{
    switch (column) {
    case JournalModel::NumberColumn:
        return row.number;
    case JournalModel::KindColumn:
        return row.kind;
    case JournalModel::DateColumn:
        return row.documentDate;
    case JournalModel::ClientColumn:
        return row.clientName;
    case JournalModel::TaxBaseColumn:
        return row.taxBase;
    case JournalModel::VatColumn:
        return row.vat;
    case JournalModel::TotalColumn:
        return row.total;
    case JournalModel::CurrencyColumn:
        return row.homeCurrency;
    case JournalModel::CopyColumn:
        return row.copy ? QStringLiteral("Копие") : QStringLiteral("Оригинал");
    default:
        return row.mark;
    }
}
} // namespace

JournalModel::JournalModel(QObject *parent) : QAbstractTableModel(parent) {}

JournalModel::~JournalModel() = default;

void JournalModel::setJournal(const QString &journalFile)
{
    {
        const Changing changing(m_changing);
        beginResetModel();
        m_ids.clear();
        m_pages.clear();
        m_atEnd = true;
        m_reader.reset();
        endResetModel();
    }
    m_reader = std::make_unique<JournalReader>(journalFile);
    restart();
}

void JournalModel::setFilter(const JournalFilter &filter)
{
    m_filter = filter;
    restart();
}

void JournalModel::restart()
{
    QVector<qint64> ids;
    if (m_reader)
        ids = m_reader->pageIds(m_filter, 0, kFirstBatch);
    const Changing changing(m_changing);
    beginResetModel();
    m_ids = ids;
    m_pages.clear();
    m_atEnd = ids.size() < kFirstBatch;
    endResetModel();
}

qint64 JournalModel::idAt(int row) const
{
    return row >= 0 && row < m_ids.size() ? m_ids[row] : 0;
}

int JournalModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_ids.size());
}

int JournalModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

const JournalListRow *JournalModel::rowAt(int row) const
{
    const int page = row / kPageRows;
    auto found = m_pages.find(page);
    if (found == m_pages.end()) {
        if (m_pages.size() >= kPagesKept)
            m_pages.clear();
        const QVector<qint64> ids = m_ids.mid(page * kPageRows, kPageRows);
        QVector<JournalListRow> rows;
        try {
            const QVector<JournalListRow> read = m_reader->rows(ids);
            // A page removed meanwhile keeps its place, empty, until the list is read again.
            for (int i = 0, r = 0; i < ids.size(); ++i) {
                if (r < read.size() && read[r].id == ids[i])
                    rows.append(read[r++]);
                else
                    rows.append(JournalListRow{});
            }
        } catch (const JournalError &error) {
            // Told outside the painting that asked for the row.
            auto *self = const_cast<JournalModel *>(this);
            QMetaObject::invokeMethod(
                self, [self, message = error.message()] { emit self->readFailed(message); },
                Qt::QueuedConnection);
            rows.fill(JournalListRow(), ids.size());
        }
        found = m_pages.emplace(page, rows).first;
    }
    const int index = row % kPageRows;
    return index < found->second.size() ? &found->second[index] : nullptr;
}

QVariant JournalModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_ids.size() || index.column() >= ColumnCount)
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return kColumns[index.column()].right ? int(Qt::AlignRight | Qt::AlignVCenter)
                                              : int(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != MarkedRole)
        return QVariant();
    const JournalListRow *row = rowAt(index.row());
    if (!row)
        return QVariant();
    if (role == MarkedRole)
        return !row->mark.isEmpty();
    return CellText(*row, index.column());
}

QVariant JournalModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(kColumns[section].caption);
    return QVariant();
}

bool JournalModel::canFetchMore(const QModelIndex &parent) const
{
    // Not from a view's answer to the change in progress: the rows would change inside it.
    return !parent.isValid() && !m_atEnd && m_reader && !m_changing;
}

void JournalModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    QVector<qint64> ids;
    try {
        ids = m_reader->pageIds(m_filter, m_ids.isEmpty() ? 0 : m_ids.last(), kNextBatch);
    } catch (const JournalError &error) {
        m_atEnd = true;
        emit readFailed(error.message());
        return;
    }
    m_atEnd = ids.size() < kNextBatch;
    if (ids.isEmpty())
        return;
    const Changing changing(m_changing);
    beginInsertRows(QModelIndex(), int(m_ids.size()), int(m_ids.size() + ids.size() - 1));
    m_ids += ids;
    endInsertRows();
}

// ---- JournalBackground -----------------------------------------------------------------------

struct JournalBackground::Private {
    struct TotalsRequest {
        QString journalFile;
        JournalFilter filter;
        quint64 generation;
    };
    struct SeriesRequest {
        QString journalFile, countersFile, archiveFolder;
        quint64 generation;
    };

    std::mutex mutex;
    std::condition_variable wake;
    std::optional<TotalsRequest> totals;
    std::optional<SeriesRequest> series;
    std::atomic<quint64> totalsGeneration{0}, seriesGeneration{0};
    std::atomic<bool> quit{false};
    std::thread thread;
};

JournalBackground::JournalBackground(QObject *parent)
    : QObject(parent), d(std::make_unique<Private>())
{
    d->thread = std::thread([this] {
        Private &p = *d;
        for (;;) {
            std::optional<Private::TotalsRequest> totals;
            std::optional<Private::SeriesRequest> series;
            {
                std::unique_lock<std::mutex> lock(p.mutex);
                p.wake.wait(lock, [&p] { return p.quit || p.totals || p.series; });
                if (p.quit)
                    return;
                totals.swap(p.totals);
                if (!totals)
                    series.swap(p.series);
            }
            QString failure;
            try {
                if (totals) {
                    const quint64 generation = totals->generation;
                    const std::function<bool()> stopped = [&p, generation] {
                        return p.quit || p.totalsGeneration != generation;
                    };
                    const std::optional<JournalTotals> result =
                        JournalReader(totals->journalFile).totals(totals->filter, stopped);
                    if (result)
                        QMetaObject::invokeMethod(
                            this,
                            [this, generation, value = *result] {
                                if (d->totalsGeneration == generation)
                                    emit totalsReady(value);
                            },
                            Qt::QueuedConnection);
                } else if (series) {
                    const quint64 generation = series->generation;
                    const QString text = CheckJournalSeries(
                        series->journalFile, series->countersFile, series->archiveFolder);
                    QMetaObject::invokeMethod(
                        this,
                        [this, generation, text] {
                            if (d->seriesGeneration == generation)
                                emit seriesChecked(text);
                        },
                        Qt::QueuedConnection);
                }
            } catch (const UserError &error) {
                failure = error.message();
            }
            if (!failure.isEmpty())
                QMetaObject::invokeMethod(
                    this, [this, failure] { emit failed(failure); }, Qt::QueuedConnection);
        }
    });
}

JournalBackground::~JournalBackground()
{
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->quit = true;
    }
    d->wake.notify_all();
    d->thread.join();
}

void JournalBackground::requestTotals(const QString &journalFile, const JournalFilter &filter)
{
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->totals = Private::TotalsRequest{journalFile, filter, ++d->totalsGeneration};
    }
    d->wake.notify_all();
}

void JournalBackground::requestSeriesCheck(const QString &journalFile, const QString &countersFile,
                                           const QString &archiveFolder)
{
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->series =
            Private::SeriesRequest{journalFile, countersFile, archiveFolder, ++d->seriesGeneration};
    }
    d->wake.notify_all();
}

void JournalBackground::cancelTotals()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->totals.reset();
    ++d->totalsGeneration;
}
