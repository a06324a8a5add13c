#pragma once

#include "base/Errors.h"

#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>
#include <limits>
#include <memory>
#include <vector>

// How the program reads a field's value (the edit text of Text, Memo, Integer and Float fields;
// the bytes of a Graphic field). Taken from the column's declared type in the table.
enum class FieldKind { Text, Memo, Integer, Float, Graphic };

// True for the kinds whose values are numbers.
bool IsNumeric(FieldKind kind);
// The edit text of a stored value: plain digits with "." for numbers, nothing for a picture or
// for no value.
QString EditText(FieldKind kind, const QVariant &value);

// One field of a table as its storage defines it.
struct StorageField {
    QString name;
    FieldKind kind;
};

// A change the storage refused. message() is the reason in the user's words ("файлът е само за
// четене"), to follow what could not be done.
class StorageRefusal : public UserError
{
public:
    // Busy: another program holds the table for writing now; trying again later may succeed.
    enum class Cause { Busy, Other };
    StorageRefusal(const QString &reason, Cause cause, const QString &engineText);
    Cause cause() const { return m_cause; }
    // The storage engine's own words, for the cases where the user may need them.
    QString engineText() const { return m_engineText; }

private:
    Cause m_cause;
    QString m_engineText;
};

// One stored value handed out while a column is read: text without a copy where it can be.
struct ScannedValue {
    enum class Type { Null, Text, Other };
    Type type = Type::Null;
    const char16_t *text = nullptr; // Text: UTF-16, valid during the call only
    qsizetype size = 0;
    QVariant other; // Other: a number or bytes
};
// Receives the record key and the value of each record in table order.
using ColumnSink = std::function<void(qint64 key, const ScannedValue &value)>;

// The place before the first record, for the reads that go on "after" a record key.
constexpr qint64 kBeforeFirstKey = std::numeric_limits<qint64>::min();

// Where the records of one table live: the only code that knows the storage engine. The engine
// above it knows records by a key (a whole number that grows in table order) and never builds a
// statement from values: values are always bound.
//
// Reading and writing throw UserError with the user's message; writes the storage refuses throw
// StorageRefusal.
class TableStorage
{
public:
    virtual ~TableStorage();

    // Opens the table, without ever creating it; one that cannot be opened throws UserError with
    // the reason.
    virtual void open() = 0;
    // Rolls back a transaction still open and lets the table go. Never throws.
    virtual void close() noexcept = 0;
    // The fields in table order.
    virtual const std::vector<StorageField> &fields() const = 0;
    // Why the table takes no changes (for example a view), or empty.
    virtual QString readOnlyReason() const = 0;

    // Up to `count` record keys after the key `after` in table order.
    virtual std::vector<qint64> keysAfter(qint64 after, int count) = 0;
    // Every field value of the record, in field order; empty when there is no such record. Read
    // inside a transaction with forUpdate, the record stays as read until the transaction ends,
    // whoever else writes the table.
    virtual QVector<QVariant> record(qint64 key, bool forUpdate = false) = 0;
    // Hands the key and the value in `column` of up to `count` records after the key `after` to
    // the sink, in table order, all read at one moment; returns how many it handed. A count below
    // 0 reads every record.
    virtual int scanColumn(int column, qint64 after, int count, const ColumnSink &sink) = 0;

    // Stores the values (in the order of `columns`) into the record.
    virtual void update(qint64 key, const std::vector<int> &columns,
                        const QVector<QVariant> &values) = 0;
    // Adds a record with the values (in the order of `columns`) and returns its key.
    virtual qint64 insert(const std::vector<int> &columns, const QVector<QVariant> &values) = 0;
    virtual void remove(qint64 key) = 0;

    // A transaction around reads and writes that another program must not split. begin() waits
    // while another program writes, as long as the storage's patience allows; rollback() never
    // throws.
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;

    // True when another program changed the table since this was last asked (or since it was
    // opened); our own changes do not count.
    virtual bool changedElsewhere() = 0;

    // A second storage over the same table, not yet opened, for reading on another thread while
    // this one is in use; nullptr when the table cannot be read that way.
    virtual std::unique_ptr<TableStorage> reader() const = 0;
};

// The storage of the table named after the file's base name in the file at `path`.
std::unique_ptr<TableStorage> StorageForFile(const QString &path);
