#include "base/FolderLock.h"

#include "base/AtomicFiles.h"
#include "base/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <memory>

namespace
{
std::unique_ptr<QLockFile> &Lock()
{
    static std::unique_ptr<QLockFile> lock;
    return lock;
}

QString &UnavailableReason()
{
    static QString reason;
    return reason;
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
    // A folder in the lock file's place is no other run: it only keeps this one from locking.
    if (error == QLockFile::LockFailedError && !QFileInfo(ProgramFolderLockPath()).isDir())
        return FolderLock::InUse;
    // The lock file's own write tells why: a folder that cannot be written, a full disk.
    QString reason;
    const QString probe = ProgramFolderLockPath();
    if (WriteNewFile(probe, "probe\n", &reason) == NewFileResult::Written) {
        QFile::remove(probe);
        reason = QStringLiteral("неизвестна причина");
    }
    UnavailableReason() = reason;
    return FolderLock::Unavailable;
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

QString LockUnavailableReason()
{
    return UnavailableReason();
}

QString FolderUnavailableMessage(const QString &lockFile, const QString &reason)
{
    return QStringLiteral("Файлът %1 не може да бъде създаден: %2.\n"
                          "Без него друго копие на програмата може да даде същия номер на друг "
                          "документ, затова сега таблиците могат само да се преглеждат: "
                          "документи не се номерират и не се печатат. Освободете място на диска "
                          "или стартирайте програмата в папка с право на запис.")
        .arg(QDir::toNativeSeparators(lockFile), reason);
}
