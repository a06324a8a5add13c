#pragma once

#include "base/ServerSettings.h"

#include <QString>
#include <QVariantList>

#include <optional>

// The back end a test suite runs on: the folder's files, or a PostgreSQL server. One suite runs
// twice under CTest; the second run names the server with VORNEX_TEST_BACKEND=server, and the
// server itself comes from VORNEX_TEST_SERVER="host/port/database" (the host may be the folder
// of a local socket; the user is PGUSER or the system user). Without it that run is skipped.
namespace TestServer
{
// True in the suite's run on the server.
bool Chosen();
// The server the tests may use, or nothing.
std::optional<ServerSettings> Configured();
// Why the server's run is skipped, for QSKIP.
const char *SkipReason();

// A database of this test process on the server: created empty (an earlier one of the same
// name dropped), dropped when it goes.
class Database
{
public:
    explicit Database(const QString &suffix = QString());
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;
    const ServerSettings &settings() const { return m_settings; }
    // Empties it: every table, counter and function of the program goes.
    void reset() const;

private:
    ServerSettings m_admin;
    ServerSettings m_settings;
};

// Copies the table file to the server (replacing a table of its name there).
void Place(const ServerSettings &settings, const QString &tableFile);
// Runs a statement written for the table files on the server, as another desk would: "rowid"
// stands for the server's record key, and "Firm" for the quoted table name.
void RunAside(const ServerSettings &settings, const QString &sql, const QVariantList &values = {});
// Runs a definition (a trigger, a function) on the server, which takes no values.
void Define(const ServerSettings &settings, const QString &sql);
// The first column of the rows of a query written as RunAside takes it.
QStringList Column(const ServerSettings &settings, const QString &sql);
} // namespace TestServer
