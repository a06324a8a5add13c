#include "support/TestServer.h"

#include "masterdata/ServerConnection.h"
#include "masterdata/ServerTables.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTest>

namespace
{
QString ForServer(QString sql)
{
    sql.replace(QRegularExpression(QStringLiteral("\\browid\\b")), ServerTables::kKeyColumn);
    sql.replace(QRegularExpression(QStringLiteral("(?<![\"\\w])(Firm|Details)(?![\"\\w])")),
                QStringLiteral("\"\\1\""));
    return sql;
}
} // namespace

bool TestServer::Chosen()
{
    return qEnvironmentVariable("VORNEX_TEST_BACKEND") == QLatin1String("server");
}

std::optional<ServerSettings> TestServer::Configured()
{
    const QString given = qEnvironmentVariable("VORNEX_TEST_SERVER");
    const qsizetype last = given.lastIndexOf(QLatin1Char('/'));
    const qsizetype port = last > 0 ? given.lastIndexOf(QLatin1Char('/'), last - 1) : -1;
    if (port < 0)
        return std::nullopt;
    ServerSettings settings;
    settings.host = given.left(port);
    settings.port = given.mid(port + 1, last - port - 1).toInt();
    settings.database = given.mid(last + 1);
    settings.user = qEnvironmentVariable("PGUSER");
    return settings;
}

const char *TestServer::SkipReason()
{
    return "VORNEX_TEST_SERVER is not set (host/port/database of a PostgreSQL server the tests "
           "may use): the run of this suite on the server is skipped";
}

TestServer::Database::Database(const QString &suffix)
{
    m_admin = *Configured();
    m_settings = m_admin;
    m_settings.database = QStringLiteral("vornex_%1_%2%3")
                              .arg(QFileInfo(QCoreApplication::applicationFilePath()).baseName())
                              .arg(QCoreApplication::applicationPid())
                              .arg(suffix);
    const ServerConnection admin(m_admin);
    admin.runPlain(
        QStringLiteral("DROP DATABASE IF EXISTS %1").arg(admin.quoted(m_settings.database)),
        QStringLiteral("test database"));
    admin.runPlain(QStringLiteral("CREATE DATABASE %1").arg(admin.quoted(m_settings.database)),
                   QStringLiteral("test database"));
}

TestServer::Database::~Database()
{
    try {
        const ServerConnection admin(m_admin);
        admin.runPlain(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)")
                           .arg(admin.quoted(m_settings.database)),
                       QStringLiteral("test database"));
    } catch (const UserError &error) {
        qWarning("%s", error.what());
    }
}

void TestServer::Database::reset() const
{
    const ServerConnection server(m_settings);
    server.runPlain(QStringLiteral("DROP SCHEMA public CASCADE"), QStringLiteral("reset"));
    server.runPlain(QStringLiteral("CREATE SCHEMA public"), QStringLiteral("reset"));
}

void TestServer::Place(const ServerSettings &settings, const QString &tableFile)
{
    const ServerConnection server(settings);
    const QString table = QFileInfo(tableFile).completeBaseName();
    server.runPlain(QStringLiteral("BEGIN"), table);
    server.runPlain(QStringLiteral("DROP TABLE IF EXISTS %1").arg(server.quoted(table)), table);
    ServerTables::CopyTable(server, tableFile);
    server.runPlain(QStringLiteral("COMMIT"), table);
}

void TestServer::RunAside(const ServerSettings &settings, const QString &sql,
                          const QVariantList &values)
{
    const ServerConnection server(settings);
    server.exec(ForServer(sql), values, QStringLiteral("aside"));
}

void TestServer::Define(const ServerSettings &settings, const QString &sql)
{
    const ServerConnection server(settings);
    server.runPlain(ForServer(sql), QStringLiteral("define"));
}

QStringList TestServer::Column(const ServerSettings &settings, const QString &sql)
{
    const ServerConnection server(settings);
    QSqlQuery query = server.exec(ForServer(sql), {}, QStringLiteral("column"));
    QStringList values;
    while (query.next())
        values << (query.value(0).isNull() ? QString() : query.value(0).toString());
    return values;
}
