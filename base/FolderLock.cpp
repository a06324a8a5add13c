#include "base/FolderLock.h"

#include "base/AtomicFiles.h"
#include "base/ProgramFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <memory>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace
{
// How long a lock file without its contents must have stood before it is taken for a killed
// run's: a run that is starting writes them at once.
constexpr qint64 kUnwrittenLockMs = 1000;

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

// A run killed between creating a lock file and writing its process number into it leaves a
// lock that names no run, which the toolkit never takes for stale: the folder's lock, or the
// toolkit's own lock for removing a stale one ("<lock>.rmlock"). Such a file is removed once it
// has stood a while and no run holds the system's lock on it.
bool RemoveUnwrittenLock(const QString &path)
{
    qint64 pid = 0;
    QString host, application;
    const QFileInfo info(path);
    if (!info.isFile() || QLockFile(path).getLockInfo(&pid, &host, &application) ||
        qAbs(info.lastModified().msecsTo(QDateTime::currentDateTime())) < kUnwrittenLockMs)
        return false;
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool removed = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(name.constData()) == 0;
    ::close(fd);
    return removed;
#else
    return QFile::remove(path);
#endif
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
    if (lock->error() == QLockFile::LockFailedError) {
        const QString path = ProgramFolderLockPath();
        const bool removed = RemoveUnwrittenLock(path + QStringLiteral(".rmlock"));
        if ((RemoveUnwrittenLock(path) || removed) && lock->tryLock(0))
            return FolderLock::Taken;
    }
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
