#include "masterdata/ServerTables.h"

#include "base/Errors.h"
#include "masterdata/ServerConnection.h"
#include "masterdata/SqliteStorage.h"

#include <QFileInfo>
#include <QSqlQuery>

namespace
{
// The server's types of the kinds: the two that are no plain type are named so that the kind is
// read back from the table's definition.
QString ServerType(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Memo:
        return QStringLiteral("memo");
    case FieldKind::Graphic:
        return QStringLiteral("graphic");
    case FieldKind::Integer:
        return QStringLiteral("bigint");
    case FieldKind::Float:
        return QStringLiteral("double precision");
    case FieldKind::Text:
        break;
    }
    return QStringLiteral("text");
}

// The shared parts of the layout: the two types, the change counters and the function every
// table's trigger calls. Made once per database.
void CreateShared(const ServerConnection &server, const QString &what)
{
    if (server.exec(QStringLiteral("SELECT 1 FROM pg_type WHERE typname = 'memo'"), {}, what)
            .next())
        return;
    for (const QString &sql :
         {QStringLiteral("CREATE DOMAIN memo AS text"),
          QStringLiteral("CREATE DOMAIN graphic AS bytea"),
          QStringLiteral("CREATE TABLE vornex_changes (name text PRIMARY KEY, "
                         "version bigint NOT NULL DEFAULT 0)"),
          // One step per statement: a desk's write holds its table's counter until it commits,
          // so the count it reads right after is its own step unless another desk wrote too.
          QStringLiteral("CREATE FUNCTION vornex_changed() RETURNS trigger LANGUAGE plpgsql AS $f$ "
                         "BEGIN "
                         "UPDATE vornex_changes SET version = version + 1 WHERE name = "
                         "TG_TABLE_NAME; "
                         "PERFORM pg_notify('vornex_changes', TG_TABLE_NAME); "
                         "RETURN NULL; "
                         "END $f$")}) {
        server.runPlain(sql, what);
    }
}

QVariant ServerValue(const QVariant &value, FieldKind kind, bool &ok)
{
    ok = true;
    if (value.isNull())
        return value;
    switch (kind) {
    case FieldKind::Integer:
        if (value.typeId() == QMetaType::QString) {
            const QString text = value.toString().trimmed();
            if (text.isEmpty())
                return QVariant();
            return text.toLongLong(&ok);
        }
        return value.toLongLong(&ok);
    case FieldKind::Float:
        if (value.typeId() == QMetaType::QString) {
            const QString text = value.toString().trimmed();
            if (text.isEmpty())
                return QVariant();
            return text.toDouble(&ok);
        }
        return value.toDouble(&ok);
    case FieldKind::Graphic:
        return value.typeId() == QMetaType::QByteArray ? value
                                                       : QVariant(value.toString().toUtf8());
    case FieldKind::Text:
    case FieldKind::Memo:
        break;
    }
    return value.typeId() == QMetaType::QByteArray
               ? QVariant(QString::fromUtf8(value.toByteArray()))
               : QVariant(value.toString());
}
} // namespace

FieldKind ServerTables::KindOfServerType(const QString &typeName)
{
    const QString type = typeName.toLower();
    if (type == QLatin1String("memo"))
        return FieldKind::Memo;
    if (type == QLatin1String("graphic") || type == QLatin1String("bytea"))
        return FieldKind::Graphic;
    if (type.contains(QLatin1String("int")))
        return FieldKind::Integer;
    if (type.contains(QLatin1String("double")) || type.contains(QLatin1String("real")) ||
        type.contains(QLatin1String("numeric")))
        return FieldKind::Float;
    return FieldKind::Text;
}

qint64 ServerTables::ChangeCount(const ServerConnection &server, const QString &table)
{
    QSqlQuery query =
        server.exec(QStringLiteral("SELECT version FROM vornex_changes WHERE name = ?"), {table},
                    QStringLiteral("Таблицата %1 не може да бъде прочетена").arg(table));
    return query.next() ? query.value(0).toLongLong() : -1;
}

QStringList ServerTables::TablesPresent(const ServerConnection &server)
{
    QSqlQuery query = server.exec(
        QStringLiteral("SELECT tablename FROM pg_tables WHERE schemaname = current_schema() "
                       "ORDER BY tablename"),
        {}, QStringLiteral("Таблиците на сървъра не могат да бъдат прочетени"));
    QStringList tables;
    while (query.next())
        tables << query.value(0).toString();
    return tables;
}

int ServerTables::CopyTable(const ServerConnection &server, const QString &localFile)
{
    const QString table = QFileInfo(localFile).completeBaseName();
    const QString what =
        QStringLiteral("Таблицата %1 не може да бъде копирана на сървъра").arg(table);
    SqliteStorage local(localFile, SqliteStorage::Use::ReadOnly);
    local.open();
    CreateShared(server, what);

    const std::vector<StorageField> &fields = local.fields();
    QStringList definitions{server.quoted(kKeyColumn) +
                            QStringLiteral(" bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY")};
    QStringList names{server.quoted(kKeyColumn)};
    QStringList marks{QStringLiteral("?")};
    for (const StorageField &field : fields) {
        definitions << server.quoted(field.name) + QLatin1Char(' ') + ServerType(field.kind);
        names << server.quoted(field.name);
        marks << QStringLiteral("?");
    }
    const QString quotedTable = server.quoted(table);
    for (const QString &sql :
         {QStringLiteral("CREATE TABLE %1 (%2)").arg(quotedTable, definitions.join(", ")),
          QStringLiteral("CREATE TRIGGER vornex_changed AFTER INSERT OR UPDATE OR DELETE OR "
                         "TRUNCATE ON %1 FOR EACH STATEMENT EXECUTE FUNCTION vornex_changed()")
              .arg(quotedTable)}) {
        server.runPlain(sql, what);
    }

    QSqlQuery insert(server.db());
    insert.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(quotedTable, names.join(", "), marks.join(", ")));
    int copied = 0;
    qint64 last = 0;
    for (qint64 after = kBeforeFirstKey;;) {
        const std::vector<qint64> keys = local.keysAfter(after, 1024);
        for (const qint64 key : keys) {
            const QVector<QVariant> values = local.record(key);
            insert.addBindValue(key);
            for (size_t i = 0; i < fields.size(); ++i) {
                bool ok = true;
                const QVariant value = ServerValue(values.value(int(i)), fields[i].kind, ok);
                if (!ok)
                    throw UserError(
                        QStringLiteral("%1: запис %2, поле „%3“: стойността „%4“ не е число.")
                            .arg(what)
                            .arg(copied + 1)
                            .arg(fields[i].name, values.value(int(i)).toString().left(40)));
                insert.addBindValue(value);
            }
            server.run(insert, what);
            ++copied;
            last = key;
        }
        if (keys.size() < 1024)
            break;
        after = keys.back();
    }
    // New records get keys after the copied ones, in table order.
    server.exec(QStringLiteral(
                    "SELECT setval(pg_get_serial_sequence(?, ?)::regclass, ?::bigint, ?::boolean)"),
                {quotedTable, kKeyColumn, qMax<qint64>(last, 1), last > 0}, what);
    // A table copied again counts as changed for the desks that knew it.
    server.exec(
        QStringLiteral("INSERT INTO vornex_changes (name, version) VALUES (?, 0) ON "
                       "CONFLICT (name) DO UPDATE SET version = vornex_changes.version + 1"),
        {table}, what);
    return copied;
}
