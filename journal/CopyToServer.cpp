#include "journal/CopyToServer.h"

#include "base/CommandOutput.h"
#include "base/Errors.h"
#include "base/ProgramFolder.h"
#include "journal/JournalStore.h"
#include "journal/ServerJournal.h"
#include "masterdata/ServerConnection.h"
#include "masterdata/ServerTables.h"

#include <QDir>
#include <QSqlQuery>

namespace
{
const char *const kTables[] = {"Firm", "Details", "stock", "customer", "currency"};
} // namespace

ServerCopy CopyFolderToServer(const ServerSettings &settings, const QString &tablesFolder)
{
    const ServerConnection server(settings);
    const QStringList present = ServerTables::TablesPresent(server);
    if (!present.isEmpty())
        throw UserError(QStringLiteral("Базата данни %1 на сървъра вече съдържа таблици (%2). "
                                       "Данните се копират само в празна база данни; нищо не е "
                                       "копирано.")
                            .arg(settings.describe(), present.join(QStringLiteral(", "))));
    ServerCopy copy;
    const QString what = QStringLiteral("Копирането на сървъра %1").arg(settings.describe());
    server.runPlain(QStringLiteral("BEGIN"), what);
    try {
        for (const char *table : kTables) {
            const QString name = QString::fromLatin1(table);
            copy.tables.append(
                {name, ServerTables::CopyTable(
                           server, QDir(tablesFolder).filePath(name + QStringLiteral(".db")))});
        }
        ServerJournalLayout::Create(server);
        copy.pages = ServerJournalLayout::Copy(server, JournalFileName(tablesFolder));
        server.runPlain(QStringLiteral("COMMIT"), what);
    } catch (...) {
        QSqlQuery(server.db()).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
    return copy;
}

QString ServerCopyText(const ServerSettings &settings, const ServerCopy &copy)
{
    QStringList tables;
    for (const auto &[name, records] : copy.tables)
        tables << QStringLiteral("%1 %2").arg(name).arg(records);
    return QStringLiteral("Копирано на сървъра %1: %2 записа; дневник %3 страници.")
        .arg(settings.describe(), tables.join(QStringLiteral(", ")))
        .arg(copy.pages);
}

int CopyToServerCommand(const QStringList &arguments)
{
    if (!arguments.isEmpty())
        throw UserError(QStringLiteral("--copy-to-server не приема аргументи: „%1“.")
                            .arg(arguments.join(QLatin1Char(' '))));
    const QString settingsFile = ProgramPath(QStringLiteral("Vornex.ini"));
    const std::optional<ServerSettings> settings = ReadServerSettings(settingsFile);
    if (!settings)
        throw UserError(QStringLiteral("Файлът %1 няма група [Server]: няма към кой сървър да се "
                                       "копира.")
                            .arg(QDir::toNativeSeparators(settingsFile)));
    // What is copied is this desk's own files, whatever the run would use otherwise.
    Server::Use(std::nullopt, QString());
    const ServerCopy copy = CopyFolderToServer(*settings, TablesFolder());
    PrintOutput(ServerCopyText(*settings, copy));
    return 0;
}
