#include "masterdata/TableRecords.h"

#include "masterdata/BackgroundKeys.h"

#include <QtAlgorithms>

#include <cmath>
#include <limits>

namespace
{
using FoldedKeys::Key;
using FoldedKeys::kKeyUnits;

constexpr int kPage = 64;             // records read at once for the grid
constexpr int kRowCache = 4096;       // records whose values are kept
constexpr int kKeyChanges = 64;       // saves that update a column's keys before they are read anew
constexpr size_t kKeptColumns = 3;    // columns whose keys are kept at once
constexpr size_t kSmallTable = 4096;  // records read at once rather than in the background
constexpr int kFilterChunk = 1024;    // records whose values a filter looks at a time
constexpr size_t kLongStretch = 1024; // matches of a search looked for in table order first
constexpr size_t kNone = size_t(-1);
} // namespace

TableRecords::TableRecords(TableStorage &storage) : m_storage(storage)
{
    for (const StorageField &field : storage.fields())
        m_kinds.push_back(field.kind);
}

TableRecords::~TableRecords() = default;

QString TableRecords::editText(int column, const QVariant &value) const
{
    return EditText(m_kinds[size_t(column)], value);
}

// ---- all records ----

void TableRecords::loadPage(int count)
{
    if (m_allComplete)
        return;
    const std::vector<qint64> keys =
        m_storage.keysAfter(m_all.empty() ? kBeforeFirstKey : m_all.back(), count);
    m_all.insert(m_all.end(), keys.begin(), keys.end());
    if (int(keys.size()) < count)
        m_allComplete = true;
}

bool TableRecords::haveAll(size_t index)
{
    int page = kPage;
    while (m_all.size() <= index && !m_allComplete) {
        loadPage(page);
        page = std::min(page * 4, 1 << 16);
    }
    return m_all.size() > index;
}

size_t TableRecords::positionOf(qint64 key)
{
    while (!m_allComplete && (m_all.empty() || m_all.back() < key))
        haveAll(m_all.size() + size_t(kPage));
    const auto at = std::lower_bound(m_all.begin(), m_all.end(), key);
    return at != m_all.end() && *at == key ? size_t(at - m_all.begin()) : kNone;
}

void TableRecords::forgetValues()
{
    m_rows.clear();
}

void TableRecords::reread(qint64 key, bool forUpdate)
{
    if (m_rows.size() >= kRowCache)
        m_rows.clear();
    m_rows.insert(key, m_storage.record(key, forUpdate));
}

void TableRecords::forgetAll()
{
    m_all.clear();
    m_allComplete = false;
    m_keys.clear();
    m_rows.clear();
    nextEpoch();
    resetVisible();
    readAhead();
}

const QVector<QVariant> &TableRecords::values(qint64 key)
{
    const auto found = m_rows.constFind(key);
    if (found != m_rows.constEnd())
        return *found;
    if (m_rows.size() >= kRowCache)
        m_rows.clear();
    return *m_rows.insert(key, m_storage.record(key));
}

// ---- keys ----

void TableRecords::nextEpoch()
{
    ++m_epoch;
    if (m_background)
        m_background->forgetBefore(m_epoch);
}

void TableRecords::searchAhead(int column)
{
    m_searchColumn = column;
    // The column searched before is not waited for.
    if (m_background)
        m_background->keepOnly({column, m_filterColumn});
    // A small table's keys are read in a moment when they are needed.
    if (haveAll(kSmallTable))
        m_large = true;
    readAhead();
}

void TableRecords::readAhead()
{
    if (m_all.size() > kSmallTable)
        m_large = true;
    if (m_inTransaction || !m_large)
        return;
    for (const int column : {m_searchColumn, m_filterColumn}) {
        if (column < 0 || findKeys(column))
            continue;
        if (!m_background) {
            std::unique_ptr<TableStorage> reader = m_storage.reader();
            if (!reader)
                return;
            m_background = std::make_unique<BackgroundKeys>(std::move(reader), m_kinds);
        }
        m_background->request(column, m_epoch);
    }
}

ColumnKeys *TableRecords::findKeys(int column)
{
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (m_keys[i]->column() == column) {
            std::rotate(m_keys.begin() + long(i), m_keys.begin() + long(i) + 1, m_keys.end());
            return m_keys.back().get();
        }
    }
    return nullptr;
}

void TableRecords::keep(std::unique_ptr<ColumnKeys> keys)
{
    // Only a few columns' keys at once: a large table's keys take tens of megabytes each. The
    // filter's and the searched column's stay.
    for (size_t i = 0; i < m_keys.size() && m_keys.size() >= kKeptColumns;) {
        const int column = m_keys[i]->column();
        if (column != m_filterColumn && column != m_searchColumn)
            m_keys.erase(m_keys.begin() + long(i));
        else
            ++i;
    }
    m_keys.push_back(std::move(keys));
}

ColumnKeys *TableRecords::adopt(ReadKeys &read, bool trusted)
{
    std::vector<qint64> &records = read.records;
    bool sameRecords = false;
    if (trusted) {
        sameRecords = m_allComplete ? records == m_all
                                    : records.size() >= m_all.size() &&
                                          std::equal(m_all.begin(), m_all.end(), records.begin());
    } else if (m_all.empty()) {
        sameRecords = true;
    } else {
        // Read in the background for this epoch: nothing was written since the request that the
        // table knows of, so the records are those known. The ends are compared all the same.
        const bool sizeFits =
            m_allComplete ? records.size() == m_all.size() : records.size() >= m_all.size();
        sameRecords = sizeFits && records.front() == m_all.front() &&
                      records[m_all.size() - 1] == m_all.back();
    }
    if (!sameRecords) {
        // Keys read elsewhere that do not fit are of another moment of the table. Keys read just
        // now from our own connection are the table as it is: what was read of it before that
        // does not hold any more.
        if (!trusted)
            return nullptr;
        m_keys.clear();
        m_visible.clear();
        m_kept.clear();
        m_scan = 0;
        m_visibleComplete = false;
    }
    m_all = std::move(records);
    m_allComplete = true;
    ColumnKeys *keys = read.keys.get();
    keep(std::move(read.keys));
    return keys;
}

ColumnKeys *TableRecords::keysIfReady(int column)
{
    if (ColumnKeys *keys = findKeys(column))
        return keys;
    if (!m_background || m_inTransaction)
        return nullptr;
    std::unique_ptr<ReadKeys> read = m_background->take(column, m_epoch, false);
    return read ? adopt(*read, false) : nullptr;
}

ColumnKeys &TableRecords::keysFor(int column)
{
    if (ColumnKeys *keys = findKeys(column))
        return *keys;
    if (m_background && !m_inTransaction) {
        // Being read in the background: that is sooner done than starting over.
        if (std::unique_ptr<ReadKeys> read = m_background->take(column, m_epoch, true))
            if (ColumnKeys *keys = adopt(*read, false))
                return *keys;
    }
    ReadKeys read;
    ReadColumnKeys(m_storage, column, m_kinds[size_t(column)], -1, nullptr, read);
    return *adopt(read, true);
}

// ---- the filter ----

void TableRecords::setFilter(int column, FilterKind kind, const QString &text)
{
    m_filterColumn = column;
    m_filterKind = kind;
    m_filterText = text;
    m_filterFolded = FoldedKeys::Folded(text);
    m_filterNumeric = false;
    if (column >= 0 && IsNumeric(m_kinds[size_t(column)]))
        m_filterNumber = text.trimmed().toDouble(&m_filterNumeric);
    resetVisible();
    readAhead();
}

bool TableRecords::filterLong() const
{
    // A filter text as long as a key is kept decides against a cut key only by its whole value.
    return m_filterFolded.size() >= size_t(kKeyUnits) * 2;
}

std::string TableRecords::wholeKey(int column, quint32 position)
{
    return FoldedKeys::Folded(editText(column, values(m_all[position]).value(column)));
}

bool TableRecords::matches(const ColumnKeys &keys, quint32 position)
{
    if (keys.isNull(position))
        return m_filterKind == FilterKind::Equal && m_filterText.isEmpty();
    const double number = keys.number(position);
    if (m_filterNumeric && !std::isnan(number)) {
        // Numbers compare as numbers; a text that is not one compares as text.
        return m_filterKind == FilterKind::Equal ? number == m_filterNumber
                                                 : number >= m_filterNumber;
    }
    const Key text(m_filterFolded);
    int order = keys.key(position).compare(text);
    if (keys.isCut(position) && filterLong() && keys.key(position) == text.substr(0, kKeyUnits * 2))
        order = Key(wholeKey(keys.column(), position)).compare(text);
    return m_filterKind == FilterKind::Equal ? order == 0 : order >= 0;
}

bool TableRecords::matchesValue(const ScannedValue &value) const
{
    // As matches() decides from the keys, here from the whole value.
    const FieldKind kind = m_kinds[size_t(m_filterColumn)];
    if (value.type == ScannedValue::Type::Null)
        return m_filterKind == FilterKind::Equal && m_filterText.isEmpty();
    QVariant stored;
    QString text;
    if (value.type == ScannedValue::Type::Text) {
        text = QString(reinterpret_cast<const QChar *>(value.text), value.size);
        stored = text;
        if (IsNumeric(kind))
            text = EditText(kind, stored);
    } else {
        stored = value.other;
        text = EditText(kind, stored);
    }
    if (m_filterNumeric && IsNumeric(kind) && stored.typeId() != QMetaType::QByteArray) {
        bool ok = false;
        const double number = stored.toDouble(&ok);
        if (ok)
            return m_filterKind == FilterKind::Equal ? number == m_filterNumber
                                                     : number >= m_filterNumber;
    }
    const int order = Key(FoldedKeys::Folded(text)).compare(Key(m_filterFolded));
    return m_filterKind == FilterKind::Equal ? order == 0 : order >= 0;
}

void TableRecords::resetVisible()
{
    m_visible.clear();
    m_kept.clear();
    m_scan = 0;
    m_visibleComplete = false;
    if (!filterOn())
        return;
    const ColumnKeys *keys = keysIfReady(m_filterColumn);
    if (!keys || m_filterNumeric || filterLong())
        return; // found a page at a time
    // The records kept are one stretch of the sorted keys; a short stretch is taken whole, a long
    // one is marked, so that its records are found in table order however late they begin.
    const Key text(m_filterFolded);
    const auto [from, to] =
        m_filterKind == FilterKind::Equal
            ? keys->equalRange(text)
            : std::pair<size_t, size_t>(keys->lowerBound(text), keys->sorted().size());
    if ((to - from) * 16 <= keys->sorted().size() + 1024) {
        m_visible.assign(keys->sorted().begin() + long(from), keys->sorted().begin() + long(to));
        std::sort(m_visible.begin(), m_visible.end());
        m_scan = quint32(m_all.size());
        m_visibleComplete = true;
        return;
    }
    m_kept.assign((m_all.size() + 63) / 64, 0);
    for (size_t i = from; i < to; ++i) {
        const quint32 position = keys->sorted()[i];
        m_kept[position / 64] |= quint64(1) << (position % 64);
    }
}

bool TableRecords::nextKept()
{
    // The next marked position from m_scan on, a word of 64 at a time.
    size_t word = m_scan / 64;
    quint64 bits = word < m_kept.size() ? m_kept[word] & (~quint64(0) << (m_scan % 64)) : 0;
    while (bits == 0 && ++word < m_kept.size())
        bits = m_kept[word];
    if (bits == 0) {
        m_scan = quint32(m_all.size());
        return false;
    }
    const quint32 position = quint32(word * 64 + qCountTrailingZeroBits(bits));
    m_visible.push_back(position);
    m_scan = position + 1;
    return true;
}

bool TableRecords::scanValues()
{
    // The records after those looked at, read a chunk at a time with their values.
    const qint64 after = m_scan == 0 ? kBeforeFirstKey : m_all[m_scan - 1];
    bool inOrder = true;
    const int read = m_storage.scanColumn(m_filterColumn, after, kFilterChunk,
                                          [&](qint64 key, const ScannedValue &value) {
                                              if (!inOrder)
                                                  return;
                                              if (m_scan == m_all.size() && !m_allComplete)
                                                  m_all.push_back(key);
                                              // Records that differ from those known were written
                                              // by another program since: the filter stops here
                                              // until that is noticed.
                                              if (m_scan >= m_all.size() || m_all[m_scan] != key) {
                                                  inOrder = false;
                                                  return;
                                              }
                                              if (matchesValue(value))
                                                  m_visible.push_back(m_scan);
                                              ++m_scan;
                                          });
    if (read < kFilterChunk && inOrder && m_scan == m_all.size())
        m_allComplete = true;
    return inOrder && read > 0;
}

bool TableRecords::haveVisible(size_t index)
{
    if (!filterOn())
        return haveAll(index);
    const ColumnKeys *keys = m_visibleComplete ? nullptr : findKeys(m_filterColumn);
    while (m_visible.size() <= index && !m_visibleComplete) {
        if (!keys) {
            if (!scanValues())
                m_visibleComplete = true;
        } else if (m_scan >= m_all.size()) {
            m_visibleComplete = true;
        } else if (!m_kept.empty()) {
            if (!nextKept())
                m_visibleComplete = true;
        } else {
            if (matches(*keys, m_scan))
                m_visible.push_back(m_scan);
            ++m_scan;
        }
    }
    return m_visible.size() > index;
}

size_t TableRecords::materialized() const
{
    return filterOn() ? m_visible.size() : m_all.size();
}

bool TableRecords::complete() const
{
    return filterOn() ? m_visibleComplete : m_allComplete;
}

size_t TableRecords::total()
{
    haveVisible(std::numeric_limits<size_t>::max() - 1);
    return materialized();
}

qint64 TableRecords::keyAt(size_t index) const
{
    return filterOn() ? m_all[m_visible[index]] : m_all[index];
}

int TableRecords::indexOf(qint64 key)
{
    const size_t position = positionOf(key);
    if (position == kNone)
        return -1;
    if (!filterOn())
        return int(position);
    while (!m_visibleComplete && (m_visible.empty() || m_visible.back() < position))
        haveVisible(m_visible.size());
    const auto at = std::lower_bound(m_visible.begin(), m_visible.end(), quint32(position));
    return at != m_visible.end() && *at == position ? int(at - m_visible.begin()) : -1;
}

bool TableRecords::isVisible(quint32 position)
{
    if (!filterOn())
        return true;
    if (!m_kept.empty())
        return position / 64 < m_kept.size() && (m_kept[position / 64] >> (position % 64)) & 1;
    if (const ColumnKeys *keys = findKeys(m_filterColumn))
        return matches(*keys, position);
    while (!m_visibleComplete && m_scan <= position)
        haveVisible(m_visible.size());
    return std::binary_search(m_visible.begin(), m_visible.end(), position);
}

// ---- search ----

int TableRecords::locate(int column, const QString &text, bool caseInsensitive, bool partialKey)
{
    const ColumnKeys &keys = keysFor(column);
    const std::string folded = FoldedKeys::Folded(text);
    // A key keeps the beginning of its value only; a longer text is looked for by it and then
    // checked against the whole value.
    const Key wanted = Key(folded).substr(0, size_t(kKeyUnits) * 2);
    const bool beyondKeys =
        partialKey ? folded.size() > wanted.size() : folded.size() >= size_t(kKeyUnits) * 2;

    // The stretch of the sorted keys that may match, letter case ignored. A null text is the
    // beginning of every value and of none too; an empty one of every value.
    std::pair<size_t, size_t> range;
    if (partialKey)
        range = text.isNull() ? std::pair<size_t, size_t>(0, keys.sorted().size())
                              : keys.prefixRange(wanted);
    else
        range = keys.equalRange(wanted);
    const auto [from, to] = range;

    // The first of them in table order that is visible and, where the keys cannot tell, whose
    // whole value matches.
    quint32 best = std::numeric_limits<quint32>::max();
    if (caseInsensitive && !beyondKeys) {
        const bool everyRecord = !filterOn();
        // A first letter matches much of the table, and the first match in table order then comes
        // after a few records: they are looked at in that order first, as long as that costs no
        // more than going through the whole stretch would.
        const size_t stretch = to - from;
        if (stretch >= kLongStretch) {
            const auto inStretch = [&](quint32 p) {
                if (partialKey)
                    return text.isNull() ||
                           (!keys.isNull(p) && FoldedKeys::StartsWith(keys.key(p), wanted));
                return keys.key(p) == wanted && (!keys.isNull(p) || wanted.empty());
            };
            const quint32 limit = quint32(std::min<size_t>(stretch, keys.size()));
            for (quint32 p = 0; p < limit && best == std::numeric_limits<quint32>::max(); ++p)
                if (inStretch(p) && (everyRecord || isVisible(p)))
                    best = p;
        }
        if (best == std::numeric_limits<quint32>::max()) {
            for (size_t i = from; i < to; ++i) {
                const quint32 position = keys.sorted()[i];
                if (position < best && (everyRecord || isVisible(position)))
                    best = position;
            }
        }
    } else {
        std::vector<quint32> candidates(keys.sorted().begin() + long(from),
                                        keys.sorted().begin() + long(to));
        std::sort(candidates.begin(), candidates.end());
        const Qt::CaseSensitivity cs = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
        for (const quint32 position : candidates) {
            if (!isVisible(position))
                continue;
            const QString value = editText(column, values(m_all[position]).value(column));
            if (partialKey ? value.startsWith(text, cs) : value.compare(text, cs) == 0) {
                best = position;
                break;
            }
        }
    }
    if (best == std::numeric_limits<quint32>::max())
        return -1;
    return indexOf(m_all[best]);
}

// ---- our own changes ----

void TableRecords::setInTransaction(bool on)
{
    m_inTransaction = on;
    nextEpoch();
    readAhead();
}

void TableRecords::saved(qint64 key, const std::vector<int> &columns, bool inserted)
{
    m_rows.remove(key);
    nextEpoch();
    if (inserted) {
        if (!m_allComplete)
            return; // the next page read brings it
        if (!m_all.empty() && key <= m_all.back()) {
            forgetAll(); // not at the end: read the order anew
            return;
        }
        m_all.push_back(key);
        const QVector<QVariant> &row = values(key);
        for (const auto &keys : m_keys) {
            const QVariant stored = row.value(keys->column());
            keys->append(stored, editText(keys->column(), stored));
        }
    } else {
        const size_t position = m_keys.empty() ? kNone : positionOf(key);
        if (position == kNone) {
            resetVisible();
            return;
        }
        const QVector<QVariant> row = values(key);
        for (size_t i = 0; i < m_keys.size(); ++i) {
            ColumnKeys &keys = *m_keys[i];
            if (std::find(columns.begin(), columns.end(), keys.column()) == columns.end())
                continue;
            // A long run of saves without a search (a whole price list converted) would move
            // the sorted keys again and again; reading them anew once is cheaper.
            if (keys.changes() >= kKeyChanges && keys.column() != m_filterColumn) {
                m_keys.erase(m_keys.begin() + long(i));
                --i;
                continue;
            }
            const QVariant stored = row.value(keys.column());
            keys.change(quint32(position), stored, editText(keys.column(), stored));
        }
    }
    resetVisible();
    readAhead();
}

void TableRecords::deleted(qint64 key)
{
    m_rows.remove(key);
    nextEpoch();
    const auto at = std::lower_bound(m_all.begin(), m_all.end(), key);
    if (at != m_all.end() && *at == key) {
        const quint32 position = quint32(at - m_all.begin());
        m_all.erase(at);
        for (const auto &keys : m_keys)
            keys->erase(position);
        resetVisible();
    }
    readAhead();
}
