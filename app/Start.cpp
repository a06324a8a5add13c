#include "app/Start.h"

#include "base/CommandOutput.h"
#include "base/Errors.h"
#include "base/Issuing.h"
#include "base/ProgramFolder.h"
#include "euro/EuroSwitch.h"
#include "ui/Dialogs.h"

void PrepareFolderForRun(FolderLock lock)
{
    if (lock == FolderLock::Unavailable) {
        // Browsing goes on; numbering and printing wait for a run that holds the folder.
        const QString message =
            FolderUnavailableMessage(ProgramFolderLockPath(), LockUnavailableReason());
        Issuing::SetStop(Issuing::Stop::FolderLock, message);
        // Also for a start from a terminal, whose user may not see the window.
        PrintError(message);
        dialogs().showMessage(message);
        return;
    }
    Issuing::SetStop(Issuing::Stop::FolderLock, QString());
    RemoveProgramLeftovers();
    try {
        const SwitchRepair repair = RepairInterruptedSwitch(ProgramFolder);
        Issuing::SetStop(Issuing::Stop::InterruptedSwitch, QString());
        if (!repair.message.isEmpty())
            dialogs().showMessage(repair.message);
    } catch (const UserError &error) {
        Issuing::SetStop(Issuing::Stop::InterruptedSwitch, error.message());
        dialogs().showMessage(error.message());
    }
}
