#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/Dialogs.h"
#include "app/Forms.h"
#include "app/Menu.h"
#include "base/CommandOutput.h"
#include "base/Errors.h"
#include "base/FolderLock.h"
#include "base/Issuing.h"
#include "base/ProgramFolder.h"
#include "euro/EuroSwitch.h"

namespace
{
// How long a start waits for the run that started it with "Нова фактура" to let the folder go.
constexpr int kFolderWaitMs = 3000;
} // namespace

int main(int argc, char **argv)
{
    // The commands for scripts need no window and no display.
    if (IsCommandLine(argc, argv))
        return RunCommandLine(argc, argv);
    TakeProgramFolder();
    VornexApplication app(argc, argv);
    const FolderLock lock = LockProgramFolder(kFolderWaitMs);
    if (lock == FolderLock::InUse) {
        const QString message = FolderInUseMessage(ProgramFolder, ProgramFolderLockPath());
        // Also for a start from a terminal or a script, which sees no window.
        PrintError(message);
        dialogs().showMessage(message);
        return 1;
    }
    if (lock == FolderLock::Unavailable) {
        // Browsing goes on; numbering and printing wait for a run that holds the folder.
        const QString message =
            FolderUnavailableMessage(ProgramFolderLockPath(), LockUnavailableReason());
        Issuing::SetStop(Issuing::Stop::FolderLock, message);
        PrintError(message);
        dialogs().showMessage(message);
    } else {
        RemoveProgramLeftovers();
        // A switch to the euro that a killed run left half done is finished or undone before
        // anything reads the tables.
        try {
            const SwitchRepair repair = RepairInterruptedSwitch(ProgramFolder);
            if (!repair.message.isEmpty())
                dialogs().showMessage(repair.message);
        } catch (const UserError &error) {
            Issuing::SetStop(Issuing::Stop::InterruptedSwitch, error.message());
            dialogs().showMessage(error.message());
        }
    }
    bool started = false;
    RunHandler([&started] {
        CreateForms();
        if (Main)
            Main->show();
        started = true;
    });
    // An error that escaped the start-up has been shown; without the menu there is nothing the
    // user could go on with, so the program ends instead of waiting without a window.
    if (started)
        app.exec();
    DestroyForms();
    UnlockProgramFolder();
    return 0;
}
