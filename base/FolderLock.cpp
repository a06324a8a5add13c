#include "base/FolderLock.h"

#include "base/ProgramFolder.h"

#include <QDir>
#include <QLockFile>
#include <memory>

namespace
{
std::unique_ptr<QLockFile> &Lock()
{
    static std::unique_ptr<QLockFile> lock;
    return lock;
}
} // namespace

QString ProgramFolderLockPath()
{
    return ProgramPath(QStringLiteral("Vornex2007.lock"));
}

FolderLock LockProgramFolder(int waitMs)
{
    std::unique_ptr<QLockFile> &lock = Lock();
    if (lock && lock->isLocked())
        return FolderLock::Taken;
    lock = std::make_unique<QLockFile>(ProgramFolderLockPath());
    // A run may keep its invoice open for hours: only a run that no longer lives leaves a lock
    // that may be taken over, never one that is merely old.
    lock->setStaleLockTime(0);
    if (lock->tryLock(waitMs))
        return FolderLock::Taken;
    const QLockFile::LockError error = lock->error();
    lock.reset();
    return error == QLockFile::LockFailedError ? FolderLock::InUse : FolderLock::Unavailable;
}

void UnlockProgramFolder()
{
    std::unique_ptr<QLockFile> &lock = Lock();
    if (lock)
        lock->unlock();
    lock.reset();
}

bool ProgramFolderLocked()
{
    const std::unique_ptr<QLockFile> &lock = Lock();
    return lock && lock->isLocked();
}

QString FolderInUseMessage(const QString &folder, const QString &lockFile)
{
    return QStringLiteral("Програмата вече работи с папката %1.\n"
                          "В една папка програмата се отваря само веднъж, за да не получат два "
                          "документа един и същ номер. Затворете другия ѝ прозорец и опитайте "
                          "отново.\n(Ако програмата не е отворена никъде, изтрийте файла %2.)")
        .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(lockFile));
}
