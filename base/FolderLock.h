#pragma once

#include <QString>

// One program folder is used by one run of the program at a time: the tables, the counters, the
// archive and the memory file in it are written as if no other run were there.

// The lock file in ProgramFolder.
QString ProgramFolderLockPath();

enum class FolderLock {
    Taken,      // this run has the folder
    InUse,      // another run that still lives has it
    Unavailable // the lock file cannot be written (a read-only folder, a full disk): the run
                // may browse but must not number or print (see FolderUnavailableMessage)
};

// Takes ProgramFolder for this run. Waits up to waitMs for a run that is just ending, such as
// the one that started this run with "Нова фактура". A lock left by a run that no longer lives
// (a crash, a kill) is taken over at once.
FolderLock LockProgramFolder(int waitMs);
// Lets the folder go, so that a run started now can take it. Nothing happens when not taken.
void UnlockProgramFolder();
bool ProgramFolderLocked();

// The message of a start refused because another run uses the folder.
QString FolderInUseMessage(const QString &folder, const QString &lockFile);
// Why the last LockProgramFolder found the lock Unavailable, in the user's words.
QString LockUnavailableReason();
// The message of a run that could not create the lock file, for the reason given.
QString FolderUnavailableMessage(const QString &lockFile, const QString &reason);
