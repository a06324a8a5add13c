#include "app/CommandLine.h"

#include "base/CommandOutput.h"
#include "base/Errors.h"
#include "base/FolderLock.h"
#include "base/ProgramFolder.h"
#include "journal/EInvoiceExport.h"
#include "journal/LedgerCommand.h"

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
    if (LockProgramFolder(0) != FolderLock::Taken) {
        PrintError(FolderInUseMessage(ProgramFolder, ProgramFolderLockPath()));
        return kStatusFolderInUse;
    }
    int status = kStatusRefused;
    try {
        RemoveProgramLeftovers();
        status = command->run(arguments);
    } catch (const std::exception &error) {
        PrintError(QString::fromUtf8(error.what()));
    }
    UnlockProgramFolder();
    return status;
}
