#include "app/CommandLine.h"

#include "base/CommandOutput.h"
#include "base/Errors.h"
#include "base/FolderLock.h"
#include "base/ProgramFolder.h"
#include "euro/EuroSwitch.h"
#include "journal/CopyToServer.h"
#include "journal/EInvoiceExport.h"
#include "journal/LedgerCommand.h"
#include "masterdata/ServerConnection.h"

#include <QCoreApplication>

namespace
{
// One command: its verb, how it is called, what it does, and the routine that runs it with the
// arguments after the verb. The routine prints its summary and returns the exit status; a
// UserError it throws is the reason printed on standard error.
struct Command {
    const char *verb;
    const char *usage;
    const char *help;
    int (*run)(const QStringList &arguments);
    bool needsFolder;
};

int Help(const QStringList &arguments);

// The commands, in the order --help lists them.
const Command kCommands[] = {
    {"--help", "--help", "изброява командите", Help, false},
    {"--sales-ledger", "--sales-ledger ггггмм [--firm ИН] [--output ФАЙЛ]",
     "записва дневника за продажбите за месеца (PRODAGBI.TXT, по подразбиране в текущата папка)",
     SalesLedgerCommand, true},
    {"--einvoice", "--einvoice НОМЕР [--proforma] [--firm ИН] [--output ФАЙЛ]",
     "записва отново е-фактурата (XML) на издаден документ от дневника", EInvoiceCommand, true},
    {"--copy-to-server", "--copy-to-server",
     "копира таблиците и дневника от папката DB в празната база данни на сървъра от групата "
     "[Server] във Vornex.ini",
     CopyToServerCommand, true},
    {"--switch-to-euro", "--switch-to-euro",
     "преминава към евро без въпрос (копие на таблиците в DB-BGN-ггггММдд); довършва "
     "прекъснато преминаване",
     SwitchToEuroVerb, true},
    {"--home-currency", "--home-currency", "показва основната валута според таблиците: BGN или EUR",
     HomeCurrencyVerb, true},
};

constexpr int kStatusRefused = 2;
constexpr int kStatusFolderInUse = 3;

int Help(const QStringList &)
{
    QString text = QStringLiteral("Vornex 2007: фактури, проформа фактури и известия.\n"
                                  "Без аргументи програмата се стартира с прозорците си.\n"
                                  "Командите работят в текущата папка без прозорец:\n");
    for (const Command &command : kCommands)
        text += QStringLiteral("  Vornex2007 %1\n      %2\n")
                    .arg(QString::fromUtf8(command.usage), QString::fromUtf8(command.help));
    PrintOutput(text);
    return 0;
}

const Command *FindCommand(const QString &verb)
{
    for (const Command &command : kCommands)
        if (verb == QLatin1String(command.verb))
            return &command;
    return nullptr;
}
} // namespace

bool IsCommandLine(int argc, char **argv)
{
    return argc > 1 && QByteArray(argv[1]).startsWith("--");
}

int RunCommandLine(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const QString verb = arguments.takeFirst();
    const Command *command = FindCommand(verb);
    if (!command) {
        PrintError(
            QStringLiteral("Непозната команда „%1“. Командите: Vornex2007 --help").arg(verb));
        return kStatusRefused;
    }
    if (!command->needsFolder)
        return command->run(arguments);

    TakeProgramFolder();
    switch (LockProgramFolder(0)) {
    case FolderLock::Taken:
        break;
    case FolderLock::InUse:
        PrintError(FolderInUseMessage(ProgramFolder, ProgramFolderLockPath()));
        return kStatusFolderInUse;
    case FolderLock::Unavailable:
        PrintError(FolderUnavailableMessage(ProgramFolderLockPath(), LockUnavailableReason()));
        return kStatusRefused;
    }
    int status = kStatusRefused;
    try {
        RemoveProgramLeftovers();
        // A switch to the euro that a killed run left half done is finished or undone first.
        const SwitchRepair repair = RepairInterruptedSwitch(ProgramFolder);
        if (!repair.message.isEmpty())
            PrintOutput(repair.message);
        Server::TakeSetting(ProgramPath(QStringLiteral("Vornex.ini")), TablesFolder());
        status = command->run(arguments);
    } catch (const std::exception &error) {
        PrintError(QString::fromUtf8(error.what()));
    }
    UnlockProgramFolder();
    return status;
}
