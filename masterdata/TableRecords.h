#pragma once

#include "masterdata/FoldedKeys.h"
#include "masterdata/TableStorage.h"

#include <QHash>

class BackgroundKeys;
struct ReadKeys;

// Which records a filter keeps: those whose value equals the text, or sorts at or after it
// (letter case ignored; numbers compared as numbers).
enum class FilterKind { Equal, AtLeast };

// What the engine knows of the open table's records, above its storage:
// - The records are known by their keys, read in table order a page at a time ("positions" are
//   places in that order); the grid is handed pages as it scrolls, so opening a table reads only
//   its first page.
// - The values of a record are read when asked for, by key, and kept in a small cache.
// - Locate and the filters work on the folded keys of one column, read in one pass and kept sorted
//   in memory: a prefix or a lower bound is a binary search, a short filter result is taken
//   whole, and a long one is found a page at a time in table order. A filter on a column whose
//   keys are not read yet compares the values a page at a time instead.
// - The keys of the column the browser searches are read ahead on a thread of their own, so that
//   the first keystroke finds them ready; they are taken in only when they match the table as it
//   is (see BackgroundKeys).
// - The keys follow our own saves, inserts and deletes; a change by another program, once noticed,
//   makes everything be read anew.
class TableRecords
{
public:
    explicit TableRecords(TableStorage &storage);
    ~TableRecords();
    TableRecords(const TableRecords &) = delete;
    TableRecords &operator=(const TableRecords &) = delete;

    // ---- the visible records (all of them, or those the filter keeps) ----
    // True when there are more than `index` visible records; reads as far as needed.
    bool haveVisible(size_t index);
    // How many visible records are known so far, and whether that is all of them.
    size_t materialized() const;
    bool complete() const;
    // The number of visible records; may have to read the whole table.
    size_t total();
    // The record key of the visible record at the index (below materialized()).
    qint64 keyAt(size_t index) const;
    // The index among the visible records of the record with that key, or -1.
    int indexOf(qint64 key);
    // The values of a record, in field order; empty for a record the table does not have.
    const QVector<QVariant> &values(qint64 key);
    // Forgets the values read; they are read again as they are asked for.
    void forgetValues();
    // Reads the record's values anew; with forUpdate, inside a transaction they stay as read
    // until it ends.
    void reread(qint64 key, bool forUpdate);
    // Forgets everything read (another program changed the table, or a transaction was rolled
    // back); it is read anew as it is needed.
    void forgetAll();

    // ---- filter and search ----
    // The filter in force; column -1 for none.
    void setFilter(int column, FilterKind kind, const QString &text);
    bool filterOn() const { return m_filterColumn >= 0; }
    // The index among the visible records of the first one, in table order, whose value in the
    // column begins with the text (partialKey) or equals it, ignoring letter case when
    // caseInsensitive; -1 for none.
    int locate(int column, const QString &text, bool caseInsensitive, bool partialKey);
    // The column the next searches will likely be made on: on a large table its keys are read
    // ahead in the background.
    void searchAhead(int column);

    // ---- our own changes ----
    void saved(qint64 key, const std::vector<int> &columns, bool inserted);
    void deleted(qint64 key);
    // A transaction of ours starts or ends: what it changes is not what another reader sees.
    void setInTransaction(bool on);

private:
    // ---- all records ----
    void loadPage(int count);
    bool haveAll(size_t index);
    size_t positionOf(qint64 key);
    // ---- keys ----
    ColumnKeys *findKeys(int column);
    // The column's keys, read now if they have to be (or awaited from the background).
    ColumnKeys &keysFor(int column);
    // The column's keys if they are in memory or ready in the background, else nullptr.
    ColumnKeys *keysIfReady(int column);
    // Takes keys read elsewhere in, when they are of the records as known; returns them.
    ColumnKeys *adopt(ReadKeys &read, bool trusted);
    void keep(std::unique_ptr<ColumnKeys> keys);
    // Something changed that keys being read elsewhere cannot know of.
    void nextEpoch();
    // Asks for the keys that are wanted and not in memory.
    void readAhead();
    QString editText(int column, const QVariant &value) const;
    // ---- the filter ----
    void resetVisible();
    bool filterLong() const;
    std::string wholeKey(int column, quint32 position);
    bool matches(const ColumnKeys &keys, quint32 position);
    bool matchesValue(const ScannedValue &value) const;
    // Finds the next record marked as kept; false when there is none.
    bool nextKept();
    // Looks at the next records for the filter by their values; false when there were none.
    bool scanValues();
    bool isVisible(quint32 position);

    TableStorage &m_storage;
    std::vector<FieldKind> m_kinds;

    std::vector<qint64> m_all; // the record keys in table order, read a page at a time
    bool m_allComplete = false;
    std::vector<std::unique_ptr<ColumnKeys>> m_keys; // the most recently used last

    int m_filterColumn = -1;
    FilterKind m_filterKind = FilterKind::Equal;
    QString m_filterText;
    std::string m_filterFolded;
    bool m_filterNumeric = false;
    double m_filterNumber = 0;
    std::vector<quint32> m_visible; // the positions the filter keeps, in table order
    std::vector<quint64> m_kept;    // or, for a long stretch of keys, a mark per position
    quint32 m_scan = 0;             // the positions looked at for them
    bool m_visibleComplete = false;

    QHash<qint64, QVector<QVariant>> m_rows;

    quint64 m_epoch = 1;
    bool m_inTransaction = false;
    int m_searchColumn = -1;
    bool m_large = false; // seen with more records than are read in a moment
    std::unique_ptr<BackgroundKeys> m_background;
};
