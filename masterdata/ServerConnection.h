#pragma once

#include "base/ServerSettings.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <optional>

class QSqlQuery;

// The server that keeps the data of a tables folder for this run: when the setting file has a
// [Server] group, the master tables, the counters, the stock and the journal of the program
// folder's DB/ are on the server and the folder's files are not used for them.
namespace Server
{
// From now on the tables of `tablesFolder` are on this server; nothing puts them back in the
// folder's files.
void Use(const std::optional<ServerSettings> &settings, const QString &tablesFolder);
// The server that holds the tables of the folder of `file` (a table file or the journal), or
// nothing when they are in the folder's files.
std::optional<ServerSettings> ForFile(const QString &file);
// Reads the [Server] group of the setting file and, when there is one, keeps the data of
// `tablesFolder` on that server for this run after making sure it answers. A damaged group or a
// server that cannot be reached throws a UserError that says so: such a run issues nothing, and
// never goes on with the folder's files.
void TakeSetting(const QString &settingsFile, const QString &tablesFolder);
} // namespace Server

// A connection of its own to the server, closed when it goes. Each thread uses its own.
class ServerConnection
{
public:
    // Connects; a server that cannot be reached (or refuses the user) throws a UserError that
    // says so in the user's words.
    explicit ServerConnection(const ServerSettings &settings);
    ~ServerConnection();
    ServerConnection(const ServerConnection &) = delete;
    ServerConnection &operator=(const ServerConnection &) = delete;

    QSqlDatabase db() const { return m_db; }
    const ServerSettings &settings() const { return m_settings; }
    // A table or column name quoted for the server: letter case, blanks and Cyrillic kept.
    QString quoted(const QString &identifier) const;

    // Runs a statement of ours with the values bound in order; a failure throws a UserError
    // with `what` and the server's words.
    void run(QSqlQuery &query, const QString &what) const;
    // Runs a statement of ours that takes no values (the layout's definitions, which the server
    // does not prepare); a failure throws as run() does.
    void runPlain(const QString &sql, const QString &what) const;
    // Prepares the statement, binds the values and runs it; returns the query for its rows.
    QSqlQuery exec(const QString &sql, const QVariantList &values, const QString &what) const;

private:
    ServerSettings m_settings;
    QString m_name;
    QSqlDatabase m_db;
};

// The SQLSTATE the server gave for the query's error ("55P03"), empty for none.
QString ServerErrorCode(const QSqlQuery &query);
// True when the server's error says another desk holds what was asked for (a lock that did not
// come within the wait, or two desks waiting for each other): trying again may succeed.
bool ServerBusy(const QString &sqlState);
