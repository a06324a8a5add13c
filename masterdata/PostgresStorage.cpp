#include "masterdata/PostgresStorage.h"

#include "masterdata/ServerConnection.h"
#include "masterdata/ServerTables.h"

#include <QSqlDriver>
#include <QSqlError>

namespace
{
// How long a desk waits for a record or a counter another desk holds before it is told to try
// again, as a desk waits for a busy file.
const QString kLockWait = QStringLiteral("SET lock_timeout = '5s'");

StorageRefusal Refusal(const QSqlQuery &query)
{
    const QString text = query.lastError().text().trimmed();
    if (ServerBusy(ServerErrorCode(query)))
        return StorageRefusal(
            QStringLiteral("записът е зает от друго работно място; опитайте отново"),
            StorageRefusal::Cause::Busy, text);
    return StorageRefusal(QStringLiteral("сървърът отказа промяната (%1)").arg(text),
                          StorageRefusal::Cause::Other, text);
}
} // namespace

PostgresStorage::PostgresStorage(const ServerSettings &settings, const QString &table, Use use)
    : m_settings(settings), m_table(table), m_use(use)
{
}

PostgresStorage::~PostgresStorage()
{
    close();
}

void PostgresStorage::open()
{
    if (m_server)
        return;
    m_server = std::make_unique<ServerConnection>(m_settings);
    const QString what = QStringLiteral("Таблицата %1 на сървъра %2 не може да бъде отворена")
                             .arg(m_table, m_settings.describe());
    try {
        m_source = m_server->quoted(m_table);
        m_key = m_server->quoted(ServerTables::kKeyColumn);
        QSqlQuery columns = m_server->exec(
            QStringLiteral("SELECT attname, format_type(atttypid, atttypmod) FROM pg_attribute "
                           "WHERE attrelid = to_regclass(?) AND attnum > 0 AND NOT attisdropped "
                           "ORDER BY attnum"),
            {m_source}, what);
        while (columns.next()) {
            const QString name = columns.value(0).toString();
            if (name == ServerTables::kKeyColumn)
                continue;
            m_fields.push_back({name, ServerTables::KindOfServerType(columns.value(1).toString())});
            m_columns << m_server->quoted(name);
        }
        if (m_fields.empty())
            throw UserError(QStringLiteral("%1: сървърът няма такава таблица (пренесете данните с "
                                           "Vornex2007 --copy-to-server).")
                                .arg(what));
        m_server->runPlain(kLockWait, what);
        m_seen = ServerTables::ChangeCount(*m_server, m_table);
        for (QSqlQuery *query : {&m_readRow, &m_readRowForUpdate, &m_readKeys})
            *query = QSqlQuery(m_server->db());
        const QString read =
            QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(selectList(), m_source, m_key);
        m_readRow.prepare(read);
        m_readRowForUpdate.prepare(read + QStringLiteral(" FOR UPDATE"));
        m_readKeys.setForwardOnly(true);
        m_readKeys.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %1 > ? ORDER BY %1 LIMIT ?")
                               .arg(m_key, m_source));
    } catch (...) {
        close();
        throw;
    }
}

QString PostgresStorage::selectList() const
{
    // The two named types are read as their base types, which the driver knows.
    QStringList select;
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const QString &column = m_columns.at(int(i));
        switch (m_fields[i].kind) {
        case FieldKind::Graphic:
            select << column + QStringLiteral("::bytea");
            break;
        case FieldKind::Memo:
            select << column + QStringLiteral("::text");
            break;
        default:
            select << column;
            break;
        }
    }
    return select.join(QStringLiteral(", "));
}

void PostgresStorage::close() noexcept
{
    if (!m_server)
        return;
    for (QSqlQuery *query : {&m_readRow, &m_readRowForUpdate, &m_readKeys})
        *query = QSqlQuery();
    if (m_inTransaction)
        rollback();
    m_server.reset();
    m_fields.clear();
    m_columns.clear();
    m_inTransaction = false;
}

void PostgresStorage::failRead(const QSqlQuery &query) const
{
    throw UserError(QStringLiteral("Таблицата %1 не може да бъде прочетена от сървъра: %2")
                        .arg(m_table, query.lastError().text().trimmed()));
}

std::vector<qint64> PostgresStorage::keysAfter(qint64 after, int count)
{
    m_readKeys.addBindValue(after);
    m_readKeys.addBindValue(count < 0 ? QVariant() : QVariant(qint64(count)));
    if (!m_readKeys.exec())
        failRead(m_readKeys);
    std::vector<qint64> keys;
    while (m_readKeys.next())
        keys.push_back(m_readKeys.value(0).toLongLong());
    m_readKeys.finish();
    return keys;
}

QVector<QVariant> PostgresStorage::record(qint64 key, bool forUpdate)
{
    // Inside a transaction the record is locked as read: another desk's take waits for ours.
    QSqlQuery &read = forUpdate && m_inTransaction ? m_readRowForUpdate : m_readRow;
    read.addBindValue(key);
    if (!read.exec()) {
        if (ServerBusy(ServerErrorCode(read)))
            throw Refusal(read);
        failRead(read);
    }
    QVector<QVariant> values;
    if (read.next()) {
        values.resize(int(m_fields.size()));
        for (int i = 0; i < values.size(); ++i)
            values[i] = read.value(i);
    }
    read.finish();
    return values;
}

int PostgresStorage::scanColumn(int column, qint64 after, int count, const ColumnSink &sink)
{
    QSqlQuery read(m_server->db());
    read.setForwardOnly(true);
    const QString &field = m_columns.at(column);
    const FieldKind kind = m_fields[size_t(column)].kind;
    const QString value = kind == FieldKind::Graphic ? field + QStringLiteral("::bytea")
                          : kind == FieldKind::Memo  ? field + QStringLiteral("::text")
                                                     : field;
    read.prepare(QStringLiteral("SELECT %1, %2 FROM %3 WHERE %1 > ? ORDER BY %1 LIMIT ?")
                     .arg(m_key, value, m_source));
    read.addBindValue(after);
    read.addBindValue(count < 0 ? QVariant() : QVariant(qint64(count)));
    if (!read.exec())
        failRead(read);
    int handed = 0;
    ScannedValue scanned;
    QString text;
    while (read.next()) {
        const QVariant stored = read.value(1);
        if (stored.isNull()) {
            scanned.type = ScannedValue::Type::Null;
        } else if (stored.typeId() == QMetaType::QString) {
            text = stored.toString();
            scanned.type = ScannedValue::Type::Text;
            scanned.text = reinterpret_cast<const char16_t *>(text.utf16());
            scanned.size = text.size();
        } else {
            scanned.type = ScannedValue::Type::Other;
            scanned.other = stored;
        }
        sink(read.value(0).toLongLong(), scanned);
        ++handed;
    }
    return handed;
}

QSqlQuery PostgresStorage::write(const QString &sql, const QVariantList &values)
{
    const bool own = !m_inTransaction;
    if (own)
        begin();
    QSqlQuery query(m_server->db());
    query.prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        const StorageRefusal refusal = Refusal(query);
        if (own)
            rollback();
        throw refusal;
    }
    // The write has moved the counter and holds it: the count read now is the step of ours
    // when it follows the one this desk knew; otherwise another desk wrote too, and the table
    // is read anew when that is next asked.
    const qint64 count = ServerTables::ChangeCount(*m_server, m_table);
    if (count == m_seen + 1)
        m_seen = count;
    if (own)
        commit();
    return query;
}

void PostgresStorage::update(qint64 key, const std::vector<int> &columns,
                             const QVector<QVariant> &values)
{
    QStringList sets;
    for (const int column : columns)
        sets << m_columns.at(column) + QStringLiteral(" = ?");
    QVariantList bound(values.begin(), values.end());
    bound << key;
    write(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
              .arg(m_source, sets.join(QStringLiteral(", ")), m_key),
          bound);
}

qint64 PostgresStorage::insert(const std::vector<int> &columns, const QVector<QVariant> &values)
{
    QStringList names, marks;
    for (const int column : columns) {
        names << m_columns.at(column);
        marks << QStringLiteral("?");
    }
    const QString sql =
        columns.empty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES RETURNING %2").arg(m_source, m_key)
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING %4")
                  .arg(m_source, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")),
                       m_key);
    QSqlQuery query = write(sql, QVariantList(values.begin(), values.end()));
    return query.next() ? query.value(0).toLongLong() : -1;
}

void PostgresStorage::remove(qint64 key)
{
    write(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(m_source, m_key), {key});
}

bool PostgresStorage::lower(qint64 key, int column, const QString &amount)
{
    // Decimal arithmetic on the server: a quantity keeps its ten-thousandths exactly.
    const QString field = m_columns.at(column);
    QSqlQuery query =
        write(QStringLiteral("UPDATE %1 SET %2 = round(COALESCE(%2, 0)::numeric - ?::numeric, 4) "
                             "WHERE %3 = ? AND (?::numeric <= 0 OR COALESCE(%2, 0)::numeric >= "
                             "?::numeric)")
                  .arg(m_source, field, m_key),
              {amount, key, amount, amount});
    return query.numRowsAffected() == 1;
}

void PostgresStorage::begin()
{
    QSqlQuery query(m_server->db());
    if (!query.exec(QStringLiteral("BEGIN")))
        throw Refusal(query);
    m_inTransaction = true;
    m_seenAtBegin = m_seen;
}

void PostgresStorage::commit()
{
    QSqlQuery query(m_server->db());
    if (!query.exec(QStringLiteral("COMMIT"))) {
        const StorageRefusal refusal = Refusal(query);
        rollback();
        throw refusal;
    }
    m_inTransaction = false;
}

void PostgresStorage::rollback() noexcept
{
    if (!m_server || !m_inTransaction)
        return;
    QSqlQuery query(m_server->db());
    query.exec(QStringLiteral("ROLLBACK"));
    m_inTransaction = false;
    // The counter went back with what was written.
    m_seen = m_seenAtBegin;
}

bool PostgresStorage::changedElsewhere()
{
    if (!m_server)
        return false;
    const qint64 count = ServerTables::ChangeCount(*m_server, m_table);
    if (count == m_seen)
        return false;
    m_seen = count;
    return true;
}

std::unique_ptr<TableStorage> PostgresStorage::reader() const
{
    return std::make_unique<PostgresStorage>(m_settings, m_table, Use::ReadOnly);
}

void PostgresStorage::watch(std::function<void()> changed)
{
    m_watcher = std::move(changed);
    if (!m_server || m_use != Use::ReadWrite)
        return;
    QSqlDriver *driver = m_server->db().driver();
    if (!driver->subscribedToNotifications().contains(ServerTables::kChangeChannel))
        driver->subscribeToNotification(ServerTables::kChangeChannel);
    QObject::connect(
        driver, &QSqlDriver::notification, driver,
        [this](const QString &, QSqlDriver::NotificationSource source, const QVariant &payload) {
            if (source == QSqlDriver::OtherSource && payload.toString() == m_table && m_watcher)
                m_watcher();
        });
}
