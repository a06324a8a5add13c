#pragma once

#include "masterdata/TableModel.h"
#include "masterdata/TableRecords.h"
#include "masterdata/TableStorage.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>
#include <vector>

class TTable;

// One field of the open table. Owned by the table; valid until the table is closed.
class TField
{
public:
    TField(TTable *table, int column, const QString &name, FieldKind kind);

    const QString &FieldName() const { return m_name; }
    FieldKind Kind() const { return m_kind; }
    // Position in the table file (table order).
    int FieldNo() const { return m_column; }

    // The edit text of the current record's value: plain digits with "." for numbers, empty for
    // no value.
    QString AsString() const;
    // Writes the edit text into the current record, putting it into edit mode first. Numbers are
    // converted at once: a text that is not a number throws the conversion error and changes
    // nothing. An empty text clears the value.
    void SetAsString(const QString &text);
    // The raw bytes of a Graphic field (a Windows bitmap), empty for no picture.
    QByteArray AsBytes() const;
    void SetAsBytes(const QByteArray &bytes);
    bool IsNull() const;
    void Clear();

    // The field's place among the columns shown; 0 makes it the first column.
    int Index() const;
    void SetIndex(int position);

private:
    TTable *m_table;
    int m_column;
    QString m_name;
    FieldKind m_kind;
};

// The one table object of the program: one table file (one table named after the file's base
// name), browsed record by record in the file's order. It is also the item model the record grid
// shows (see TableModel).
class TTable : public TableModel
{
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using FilterKind = ::FilterKind;

    explicit TTable(QObject *parent = nullptr);
    ~TTable() override;

    // The folder of the table files (ending in a separator) and the file name, e.g. "stock.db";
    // both take effect at the next Open.
    QString DatabaseName() const { return m_folder; }
    void SetDatabaseName(const QString &folder) { m_folder = folder; }
    QString TableName() const { return m_fileName; }
    void SetTableName(const QString &fileName) { m_fileName = fileName; }
    // The file Open reads: folder plus file name.
    QString FilePath() const;

    // Opens the file without ever creating it and moves to the first record. A missing or
    // unreadable file, or one without its table, throws a UserError with the engine's text.
    void Open();
    // Saves a pending edit, closes the file and sends AfterClose. Nothing happens when closed.
    void Close();
    bool Active() const { return m_state != State::Inactive; }
    State CurrentState() const { return m_state; }
    // True while the current record holds changes not yet saved.
    bool Modified() const { return m_modified; }

    // The field names in table order.
    QStringList FieldDefs() const;
    // The field named so, letter case ignored (Cyrillic too), or nullptr.
    TField *FindField(const QString &name) const;
    // As FindField; a name the table lacks throws "Table1: Field 'X' not found".
    TField *FieldByName(const QString &name) const;
    int FieldCount() const { return int(m_fields.size()); }
    // The field shown in column position (0 = first column).
    TField *FieldAt(int position) const;

    // The current record's identity in the file, kept across re-reads and filters; -1 when
    // there is none or a new record is being inserted.
    qint64 RecordKey() const { return m_state == State::Insert ? -1 : currentKey(); }
    // 1-based number of the current record among the visible ones; 0 when there is none.
    int RecNo() const;
    // Moves to that record, saving a pending edit first; a number the table does not have
    // leaves the current record.
    void SetRecNo(int recNo);
    // The number of records visible under the filter. Counting may have to look at the whole
    // table; IsEmpty does not.
    int RecordCount() const;
    bool IsEmpty() const;

    // Moves to the first visible record, in table order, whose value in the field begins with
    // the text (partialKey) or equals it, ignoring letter case when caseInsensitive. Reports
    // whether one was found; otherwise the current record stays. The text is data, never SQL.
    bool Locate(const QString &fieldName, const QString &text, bool caseInsensitive = true,
                bool partialKey = true);
    // The field the next Locate will likely search: on a large table its search keys are read
    // ahead in the background, so that the first keystroke does not wait for them. A name the
    // table lacks is ignored.
    void SearchAhead(const QString &fieldName);

    // The filter as an expression: the field name, " = '" or " >= '", the text, "'". The text
    // between the first quote and the final one is taken literally, quotes included. A field the
    // table lacks or any other form throws. Takes effect at once while filtering is on.
    void SetFilter(const QString &expression);
    // The same filter given in parts; the expression reads as SetFilter expects it.
    void SetFilter(const QString &fieldName, FilterKind kind, const QString &text);
    QString Filter() const { return m_filterText; }
    // Switches filtering on or off; the first visible record becomes the current one.
    void SetFiltered(bool on);
    bool Filtered() const { return m_filtered; }

    // Re-reads the visible records, staying on the current record where it is still visible.
    // The values shown are read again; the list of records is read again only when another
    // program has changed the file since. Inside a transaction the current record is read under
    // the transaction's hold on it.
    void Refresh();
    // Puts the current record into edit mode; no effect while editing or inserting, or when
    // there is no record.
    void Edit();
    // Saves the record being edited or inserted. An inserted record with nothing typed into it is
    // dropped rather than stored empty.
    void Post();
    // Drops the changes of the record being edited or inserted.
    void Cancel();
    // Starts a new, empty record at the end; it becomes the current one.
    void Insert();
    // Removes the current record at once, without asking.
    void Delete();
    void First();
    void Last();
    // Moves to the next visible record; on the last one nothing happens.
    void Next();

    // A transaction on the open file, for a read and a write that must not be split by another
    // program run (the invoice counters). StartTransaction waits for the file as long as the busy
    // timeout allows and throws when it stays taken; Rollback never throws. TableTransaction
    // (masterdata/TableTransaction.h) ends one on every way out of a block.
    void StartTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const { return m_inTransaction; }

signals:
    // Sent after every Close of an open table.
    void AfterClose();
    // The current record moved, or its values changed.
    void RecordChanged();

protected:
    int editedRow() const override;
    bool inserting() const override { return m_state == State::Insert; }
    QVariant editedValue(int field) const override;
    bool writeCell(int row, int field, const QString &text) override;

private:
    friend class TField;
    struct FilterCondition {
        int column = -1;
        FilterKind kind = FilterKind::Equal;
        QString text;
    };

    // The filter the expression states over the open table's fields; false when it states none.
    bool parseFilter(const QString &expression, FilterCondition &condition,
                     QString &fieldMissing) const;
    const QVector<QVariant> &currentValues() const;
    QVariant value(int column) const;
    void setValue(int column, const QVariant &value);
    QString editText(int column, const QVariant &value) const;
    int rowOfRecord() const;
    qint64 currentKey() const;
    void requireActive() const;
    void savePending();
    void moveTo(int index);
    void resetRecords(qint64 keepKey, int fallbackIndex);
    // True when another program changed the file since it was read; what was read is dropped.
    bool syncWithFile();
    QString cannotWrite(const QString &action, const QString &reason) const;
    [[noreturn]] void fail(const QString &what) const;

    QString m_folder;
    QString m_fileName;
    State m_state = State::Inactive;
    std::unique_ptr<TableStorage> m_storage;
    std::unique_ptr<TableRecords> m_records;
    std::vector<std::unique_ptr<TField>> m_fields;
    int m_current = -1;
    QVector<QVariant> m_buffer;
    QSet<int> m_changed;
    bool m_modified = false;
    QString m_filterText;
    FilterCondition m_filter;
    bool m_filtered = false;
    bool m_inTransaction = false;
};
