#pragma once

#include "journal/JournalReader.h"

#include <QAbstractTableModel>
#include <QString>
#include <QVector>
#include <map>
#include <memory>

// The list of the journal window: the pages a filter leaves, newest first. It holds the ids of
// the pages fetched so far (a batch more as the view scrolls to its end) and the shown columns of
// the rows last looked at, so a journal of a million pages costs what its rows on screen cost.
class JournalModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column {
        NumberColumn,
        KindColumn,
        DateColumn,
        ClientColumn,
        TaxBaseColumn,
        VatColumn,
        TotalColumn,
        CurrencyColumn,
        CopyColumn,
        MarkColumn,
        ColumnCount
    };
    // True for a row with a mark of a gap or a repeat.
    static constexpr int MarkedRole = Qt::UserRole + 1;

    explicit JournalModel(QObject *parent = nullptr);
    ~JournalModel() override;

    // Lists the journal in the file (made readable by PrepareJournalForReading; a file that does
    // not exist is an empty journal) under the filter in force. Throws JournalError.
    void setJournal(const QString &journalFile);
    // Lists the pages the filter leaves, from the newest.
    void setFilter(const JournalFilter &filter);
    const JournalFilter &filter() const { return m_filter; }
    // The reader of the journal listed, or none before setJournal.
    const JournalReader *reader() const { return m_reader.get(); }
    // The page of a row.
    qint64 idAt(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

signals:
    // The journal could not be read while showing its rows.
    void readFailed(const QString &message);

private:
    void restart();
    const JournalListRow *rowAt(int row) const;

    // Set while the rows change, for the views that ask for more while told of the change.
    struct Changing {
        explicit Changing(bool &flag) : m_flag(flag) { m_flag = true; }
        ~Changing() { m_flag = false; }
        bool &m_flag;
    };

    std::unique_ptr<JournalReader> m_reader;
    JournalFilter m_filter;
    bool m_changing = false;
    QVector<qint64> m_ids;
    bool m_atEnd = true;
    mutable std::map<int, QVector<JournalListRow>> m_pages; // by row / kPageRows
};

// The work of the journal window that may outlast a keystroke: the totals of the list and the
// check of the journal against the counters and the archive, on a thread of its own, so the
// list answers while a million pages are summed. A newer request stops an older one of its kind.
class JournalBackground : public QObject
{
    Q_OBJECT
public:
    explicit JournalBackground(QObject *parent = nullptr);
    ~JournalBackground() override;

    void requestTotals(const QString &journalFile, const JournalFilter &filter);
    // Drops the totals asked for and any on their way.
    void cancelTotals();
    void requestSeriesCheck(const QString &journalFile, const QString &countersFile,
                            const QString &archiveFolder);

signals:
    void totalsReady(const JournalTotals &totals);
    void seriesChecked(const QString &findings);
    void failed(const QString &message);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
