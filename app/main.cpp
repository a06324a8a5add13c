#include "app/CommandLine.h"
#include "app/Forms.h"
#include "app/Menu.h"
#include "base/CommandOutput.h"
#include "base/FolderLock.h"
#include "base/ProgramFolder.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

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
    if (LockProgramFolder(kFolderWaitMs) == FolderLock::InUse) {
        const QString message = FolderInUseMessage(ProgramFolder, ProgramFolderLockPath());
        // Also for a start from a terminal or a script, which sees no window.
        PrintError(message);
        dialogs().showMessage(message);
        return 1;
    }
    RemoveProgramLeftovers();
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
