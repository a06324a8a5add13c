#pragma once

#include "masterdata/TableStorage.h"

#include <QAbstractTableModel>

class TableRecords;

// The item model of the record grid over the open table: one row per visible record handed out
// so far (plus the record being inserted after them) and one column per field in the order shown.
// Rows are handed out a page at a time (canFetchMore/fetchMore), so a table of a million records
// shows its first page at once. The record API above it says which record is being edited.
class TableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

signals:
    // An error while the grid read or wrote a value (the grid cannot throw); the text is the
    // user's.
    void ErrorOccurred(const QString &message);

protected:
    explicit TableModel(QObject *parent);

    // Records handed to the grid at once.
    static constexpr int kPage = 64;

    // Marks a change of the grid's rows or columns under way (between the begin and the end
    // signals and while they are sent): views and Qt's model checks that ask for more rows then
    // get them afterwards, for handing them out then would nest one change in another.
    class Changing
    {
    public:
        explicit Changing(TableModel &model) : m_model(model), m_was(model.m_changing)
        {
            m_model.m_changing = true;
        }
        ~Changing() { m_model.m_changing = m_was; }
        Changing(const Changing &) = delete;
        Changing &operator=(const Changing &) = delete;

    private:
        TableModel &m_model;
        bool m_was;
    };

    // The open table's records and fields (columns in table order at first); nullptr and none
    // when the table is closed. Takes effect at the next resetRows.
    void setSource(TableRecords *records, const std::vector<StorageField> &fields);
    // Starts the grid over: it is shown the first visible records, at least up to the index.
    void resetRows(int index);
    // Shows the grid no records (the table could not be read).
    void clearRows();
    // Hands the grid the visible records up to the index, as far as they are known; nothing while
    // another change is under way.
    void showUpTo(int index);
    // How many visible records the grid has been handed.
    int shownRows() const { return m_shown; }

    // The field shown in the column position, or -1; the position of a field, or -1.
    int fieldAtColumn(int position) const;
    int columnOfField(int field) const;
    // Moves the field to the column position; the other columns keep their order.
    void moveField(int field, int position);

    // The row whose values are being edited (the record being inserted is the row after the
    // records shown), or -1; and those values.
    virtual int editedRow() const = 0;
    virtual bool inserting() const = 0;
    virtual QVariant editedValue(int field) const = 0;
    // Writes a cell as the user typed it into the record of that row; false when the grid cannot
    // move to that record. A refusal throws.
    virtual bool writeCell(int row, int field, const QString &text) = 0;

private:
    // Reports a record that could not be read for painting, once, after the painting.
    void reportUnreadable(const QString &message) const;

    TableRecords *m_records = nullptr;
    std::vector<StorageField> m_fields;
    QVector<int> m_order; // column position -> field
    int m_shown = 0;
    bool m_changing = false;
    mutable bool m_reportPending = false;
};
