#include "masterdata/ServerConnection.h"

#include "base/Errors.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace
{
QAtomicInt s_next;

struct RunServer {
    QMutex mutex;
    std::optional<ServerSettings> settings;
    QString folder; // absolute, without a trailing separator
};

RunServer &TheServer()
{
    static RunServer server;
    return server;
}

QString Folder(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
} // namespace

void Server::Use(const std::optional<ServerSettings> &settings, const QString &tablesFolder)
{
    RunServer &server = TheServer();
    const QMutexLocker lock(&server.mutex);
    server.settings = settings;
    server.folder = settings ? Folder(tablesFolder) : QString();
}

std::optional<ServerSettings> Server::ForFile(const QString &file)
{
    RunServer &server = TheServer();
    const QMutexLocker lock(&server.mutex);
    if (!server.settings || Folder(QFileInfo(file).absolutePath()) != server.folder)
        return std::nullopt;
    return server.settings;
}

void Server::TakeSetting(const QString &settingsFile, const QString &tablesFolder)
{
    const std::optional<ServerSettings> settings = ReadServerSettings(settingsFile);
    Use(std::nullopt, QString());
    if (!settings)
        return;
    const ServerConnection check(*settings);
    Use(settings, tablesFolder);
}

ServerConnection::ServerConnection(const ServerSettings &settings)
    : m_settings(settings), m_name(QStringLiteral("server_%1").arg(s_next.fetchAndAddRelaxed(1)))
{
    m_db = QSqlDatabase::addDatabase(settings.driver, m_name);
    if (!m_db.isValid()) {
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw UserError(QStringLiteral("Връзката със сървъра %1 не може да бъде създадена: "
                                       "драйверът %2 липсва (пакетът libqt6sql6-psql).")
                            .arg(settings.describe(), settings.driver));
    }
    m_db.setHostName(settings.host);
    m_db.setPort(settings.port);
    m_db.setDatabaseName(settings.database);
    m_db.setUserName(settings.user);
    m_db.setConnectOptions(settings.connectOptions());
    if (!m_db.open()) {
        const QString reason = m_db.lastError().text().trimmed();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw UserError(QStringLiteral("Няма връзка със сървъра %1: %2\nДокументи не се издават, "
                                       "докато сървърът не отговори.")
                            .arg(settings.describe(), reason));
    }
    // The texts go both ways in UTF-8; the server's notices are no business of the user's.
    QSqlQuery query(m_db);
    query.exec(QStringLiteral("SET client_encoding = 'UTF8'"));
    query.exec(QStringLiteral("SET client_min_messages = warning"));
}

ServerConnection::~ServerConnection()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

QString ServerConnection::quoted(const QString &identifier) const
{
    // Not the driver's quoting, which takes a "." for a schema's ("Resp.Person").
    QString text = identifier;
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

void ServerConnection::run(QSqlQuery &query, const QString &what) const
{
    if (!query.exec())
        throw UserError(what + QStringLiteral(": ") + query.lastError().text().trimmed());
}

void ServerConnection::runPlain(const QString &sql, const QString &what) const
{
    QSqlQuery query(m_db);
    if (!query.exec(sql))
        throw UserError(what + QStringLiteral(": ") + query.lastError().text().trimmed());
}

QSqlQuery ServerConnection::exec(const QString &sql, const QVariantList &values,
                                 const QString &what) const
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw UserError(what + QStringLiteral(": ") + query.lastError().text().trimmed());
    for (const QVariant &value : values)
        query.addBindValue(value);
    run(query, what);
    return query;
}

QString ServerErrorCode(const QSqlQuery &query)
{
    return query.lastError().nativeErrorCode();
}

bool ServerBusy(const QString &sqlState)
{
    // lock_not_available, deadlock_detected, serialization_failure
    return sqlState == QLatin1String("55P03") || sqlState == QLatin1String("40P01") ||
           sqlState == QLatin1String("40001");
}
