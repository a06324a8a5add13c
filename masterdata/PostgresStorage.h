#pragma once

#include "base/ServerSettings.h"
#include "masterdata/TableStorage.h"

#include <QSqlQuery>
#include <QStringList>

class ServerConnection;

// A table kept on the PostgreSQL server the desks of an office share (see ServerTables): records
// are known by the server's key column, and the table's change counter tells what other desks
// wrote. The only code that knows the server's SQL for the master tables.
class PostgresStorage : public TableStorage
{
public:
    // ReadOnly is a reader for another thread: it never writes.
    enum class Use { ReadWrite, ReadOnly };

    PostgresStorage(const ServerSettings &settings, const QString &table, Use use);
    ~PostgresStorage() override;
    PostgresStorage(const PostgresStorage &) = delete;
    PostgresStorage &operator=(const PostgresStorage &) = delete;

    void open() override;
    void close() noexcept override;
    const std::vector<StorageField> &fields() const override { return m_fields; }
    QString readOnlyReason() const override { return QString(); }

    std::vector<qint64> keysAfter(qint64 after, int count) override;
    QVector<QVariant> record(qint64 key, bool forUpdate = false) override;
    int scanColumn(int column, qint64 after, int count, const ColumnSink &sink) override;

    void update(qint64 key, const std::vector<int> &columns,
                const QVector<QVariant> &values) override;
    qint64 insert(const std::vector<int> &columns, const QVector<QVariant> &values) override;
    void remove(qint64 key) override;
    bool lower(qint64 key, int column, const QString &amount) override;

    void begin() override;
    void commit() override;
    void rollback() noexcept override;

    bool changedElsewhere() override;
    std::unique_ptr<TableStorage> reader() const override;
    void watch(std::function<void()> changed) override;

private:
    // Runs a write of ours, in the transaction in force or in one of its own, and notes the
    // change counter's step as ours when nobody else moved it; a refusal throws StorageRefusal.
    QSqlQuery write(const QString &sql, const QVariantList &values);
    [[noreturn]] void failRead(const QSqlQuery &query) const;
    QString selectList() const;

    ServerSettings m_settings;
    QString m_table;
    Use m_use;
    std::unique_ptr<ServerConnection> m_server;
    QString m_source;      // the table, quoted
    QString m_key;         // the key column, quoted
    QStringList m_columns; // the fields, quoted, in table order
    std::vector<StorageField> m_fields;
    bool m_inTransaction = false;
    qint64 m_seen = -1;        // the change counter as this desk knows the table
    qint64 m_seenAtBegin = -1; // as it was when the transaction began
    std::function<void()> m_watcher;
    QSqlQuery m_readRow, m_readRowForUpdate, m_readKeys;
};
