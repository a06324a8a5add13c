#pragma once

#include "masterdata/TableStorage.h"

#include <QStringList>

struct sqlite3;

// A table kept in an SQLite file holding one table named after the file's base name: the only
// code of the program that knows SQLite for the master tables. Records are known by their rowid.
//
// The file keeps SQLite's rollback journal, and nothing of ours (no index, no function) is added
// to it: any SQLite program can open and write it as before.
class SqliteStorage : public TableStorage
{
public:
    // ReadOnly is a reader for another thread: it never writes, nor switches the journal.
    enum class Use { ReadWrite, ReadOnly };

    SqliteStorage(const QString &path, Use use);
    ~SqliteStorage() override;
    SqliteStorage(const SqliteStorage &) = delete;
    SqliteStorage &operator=(const SqliteStorage &) = delete;

    void open() override;
    void close() noexcept override;
    const std::vector<StorageField> &fields() const override { return m_fields; }
    QString readOnlyReason() const override { return m_readOnlyReason; }

    std::vector<qint64> keysAfter(qint64 after, int count) override;
    QVector<QVariant> record(qint64 key, bool forUpdate = false) override;
    int scanColumn(int column, qint64 after, int count, const ColumnSink &sink) override;

    void update(qint64 key, const std::vector<int> &columns,
                const QVector<QVariant> &values) override;
    qint64 insert(const std::vector<int> &columns, const QVector<QVariant> &values) override;
    void remove(qint64 key) override;

    void begin() override;
    void commit() override;
    void rollback() noexcept override;

    bool changedElsewhere() override;
    std::unique_ptr<TableStorage> reader() const override;

private:
    class Statement;

    // Opens the connection and reads the table's definition; returns why it cannot, or empty.
    QString connect();
    // A prepared statement kept for the connection's life (the SQL is ours, never a value).
    Statement &kept(std::unique_ptr<Statement> &slot, const QString &sql);
    qint64 dataVersion();
    // Runs a statement of ours that changes the file; throws StorageRefusal with its reason.
    void write(Statement &statement);
    [[noreturn]] void failRead(const QString &engineText) const;

    QString m_path;
    Use m_use;
    sqlite3 *m_db = nullptr;
    QString m_tableName;   // the file's base name
    QString m_source;      // the table read from, quoted
    QStringList m_columns; // its fields, quoted, in table order
    std::vector<StorageField> m_fields;
    QString m_readOnlyReason;
    bool m_isView = false;
    qint64 m_dataVersion = -1;
    std::unique_ptr<Statement> m_readRow;
    std::unique_ptr<Statement> m_readKeys;
    std::unique_ptr<Statement> m_version;
    std::vector<std::unique_ptr<Statement>> m_scans; // per column
};
