#pragma once

#include <QString>

#include <optional>

// The [Server] group of the setting file "Vornex.ini": the database server an office's desks
// share for the master data, the counters, the stock and the journal. No password is kept here:
// the server takes it the way its clients always do (PGPASSWORD, ~/.pgpass, or the system user on
// a local socket).
struct ServerSettings {
    QString driver = QStringLiteral("QPSQL");
    QString host; // a name, an address, or the folder of a local socket; empty for the default
    int port = 5432;
    QString database;
    QString user;    // empty: the system user's name
    QString sslMode; // "disable", "require", "verify-full"...; empty for the client's default

    // "host:port/database" as the user's messages name the server.
    QString describe() const;
    // The connection options the driver takes beside host, port, database and user.
    QString connectOptions() const;
};

// The server group of the setting file; nothing when the file or the group is missing. A group
// that names another driver, a port that is no number, no database, or a password entry throws a
// UserError naming the file: such a desk must not go on with its own files.
std::optional<ServerSettings> ReadServerSettings(const QString &settingsFile);
