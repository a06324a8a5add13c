#include "base/AtomicFiles.h"

#include "base/Errors.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cstring>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace
{
// The six random letters the toolkit's temporary files end in. A word such as "backup", "Backup"
// or "BACKUP" is taken for a name someone gave, as the random letters are rarely all of one case
// (such a leftover then stays, which does no harm).
bool IsTemporarySuffix(QStringView suffix)
{
    if (suffix.size() != 6)
        return false;
    int upper = 0;
    for (QChar c : suffix) {
        if (c.unicode() > 127 || !c.isLetter())
            return false;
        if (c.isUpper())
            ++upper;
    }
    const bool capitalised = upper == 1 && suffix.front().isUpper();
    return upper != 0 && upper != 6 && !capitalised;
}

#ifdef Q_OS_UNIX
// Whether a name, as the system spells it, ends in a dot and six letters, as the temporary
// files do.
bool MayBeTemporary(const char *name)
{
    const size_t length = std::strlen(name);
    if (length < 8 || name[length - 7] != '.')
        return false;
    for (size_t i = length - 6; i < length; ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    }
    return true;
}
#endif

// Random letters that always read as a temporary suffix: a small letter, a capital, then any.
QString RandomSuffix()
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    QRandomGenerator *random = QRandomGenerator::global();
    QString suffix;
    suffix += QLatin1Char(letters[26 + random->bounded(26)]);
    suffix += QLatin1Char(letters[random->bounded(26)]);
    for (int i = 2; i < 6; ++i)
        suffix += QLatin1Char(letters[random->bounded(52)]);
    return suffix;
}

// The file a name leads to: a link is followed, so that writing replaces what it points at and
// the link stays (also when the target is not there yet).
QString FinalTarget(const QString &fileName)
{
    QFileInfo info(fileName);
    for (int depth = 0; depth < 64 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? fileName : info.filePath();
}

#ifdef Q_OS_UNIX
QByteArray Encoded(const QString &fileName)
{
    return QFile::encodeName(fileName);
}

// Creates a new temporary file beside the final one; returns its descriptor, or -1 with the
// error number in `error`.
int OpenTemporary(const QString &finalName, mode_t mode, QString &temporary, int &error)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = finalName + QLatin1Char('.') + RandomSuffix();
        const int fd =
            ::open(Encoded(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST) {
            error = errno;
            return -1;
        }
    }
    error = EEXIST;
    return -1;
}

// Writes the bytes, flushes them to the disk and closes the file; returns 0 or the first error
// number. Every call is checked: a full disk may refuse the last block or only the flush.
int WriteAndClose(int fd, const QByteArray &bytes)
{
    int error = 0;
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(qMin<qint64>(left, 1 << 30)));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            error = written < 0 ? errno : ENOSPC;
            break;
        }
        data += written;
        left -= written;
    }
    // A file system that cannot flush (EINVAL) has written what it took.
    if (error == 0 && ::fsync(fd) != 0 && errno != EINVAL)
        error = errno;
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    return error;
}

// The bytes in a new temporary file beside finalName; returns 0 or the error number, and removes
// the temporary file on an error.
int WriteTemporary(const QString &finalName, const QByteArray &bytes, mode_t mode, bool keepMode,
                   QString &temporary)
{
    int error = 0;
    const int fd = OpenTemporary(finalName, mode, temporary, error);
    if (fd < 0)
        return error;
    // The creation mask would narrow the permissions of the file being replaced.
    if (keepMode && ::fchmod(fd, mode) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
    } else {
        error = WriteAndClose(fd, bytes);
    }
    if (error != 0)
        ::unlink(Encoded(temporary).constData());
    return error;
}
#endif
} // namespace

bool IsAtomicWriteLeftover(const QString &fileName, const QStringList &finalPatterns)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0 || !IsTemporarySuffix(QStringView(fileName).mid(dot + 1)))
        return false;
    const QString finalName = fileName.left(dot);
    for (const QString &pattern : finalPatterns) {
        if (QRegularExpression::fromWildcard(pattern, Qt::CaseInsensitive)
                .match(finalName)
                .hasMatch())
            return true;
    }
    return false;
}

QStringList RemoveAtomicWriteLeftovers(const QString &folder, const QStringList &finalPatterns)
{
    // A folder of ten thousand archived pages is read at every start: its names are looked at as
    // the system gives them, unsorted, and only those that end in a dot and six letters are
    // decoded and checked.
    QStringList removed;
    const QDir dir(folder);
    const auto consider = [&](const QString &name) {
        if (IsAtomicWriteLeftover(name, finalPatterns) && QFile::remove(dir.filePath(name)))
            removed << name;
    };
#ifdef Q_OS_UNIX
    DIR *listing = ::opendir(QFile::encodeName(folder).constData());
    if (!listing)
        return removed;
    while (const dirent *entry = ::readdir(listing)) {
        if (!MayBeTemporary(entry->d_name))
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        const bool file = entry->d_type == DT_REG ||
                          (entry->d_type == DT_UNKNOWN && QFileInfo(dir.filePath(name)).isFile() &&
                           !QFileInfo(dir.filePath(name)).isSymLink());
        if (file)
            consider(name);
    }
    ::closedir(listing);
#else
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    while (it.hasNext()) {
        it.next();
        consider(it.fileName());
    }
#endif
    return removed;
}

QString WriteFailureReason(int systemError)
{
#ifdef Q_OS_UNIX
    switch (systemError) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("дискът е пълен");
    case EFBIG:
        return QStringLiteral("файлът е по-голям, отколкото системата позволява");
    case EACCES:
    case EPERM:
        return QStringLiteral("няма право на запис");
    case EROFS:
        return QStringLiteral("дискът е само за четене");
    case EISDIR:
        return QStringLiteral("на мястото на файла има папка");
    case ENOENT:
        return QStringLiteral("папката не съществува");
    case ENOTDIR:
        return QStringLiteral("част от пътя не е папка");
    case EIO:
        return QStringLiteral("грешка при запис на диска");
    default:
        break;
    }
#endif
    return qt_error_string(systemError);
}

QString CannotWriteMessage(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Файлът %1 не може да бъде записан: %2.")
        .arg(QDir::toNativeSeparators(fileName), reason);
}

QString TryWriteFileAtomically(const QString &fileName, const QByteArray &bytes)
{
    const QString target = FinalTarget(fileName);
#ifdef Q_OS_UNIX
    struct stat old;
    const bool replacing = ::stat(Encoded(target).constData(), &old) == 0 && S_ISREG(old.st_mode);
    const mode_t mode = replacing ? mode_t(old.st_mode & 07777) : mode_t(0666);
    QString temporary;
    int error = WriteTemporary(target, bytes, mode, replacing, temporary);
    if (error == 0 && ::rename(Encoded(temporary).constData(), Encoded(target).constData()) != 0) {
        error = errno;
        ::unlink(Encoded(temporary).constData());
    }
    return error == 0 ? QString() : WriteFailureReason(error);
#else
    // The flush is checked on its own: the commit does not report a buffer it failed to write.
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason.isEmpty() ? QStringLiteral("?") : reason;
    }
    return QString();
#endif
}

void WriteFileAtomically(const QString &fileName, const QByteArray &bytes)
{
    const QString reason = TryWriteFileAtomically(fileName, bytes);
    if (!reason.isEmpty())
        throw UserError(CannotWriteMessage(fileName, reason));
}

NewFileResult WriteNewFile(const QString &fileName, const QByteArray &bytes, QString *reason)
{
    const auto failed = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return NewFileResult::Failed;
    };
    if (QFileInfo(fileName).isFile() || QFileInfo(fileName).isSymLink())
        return NewFileResult::Exists;
#ifdef Q_OS_UNIX
    QString temporary;
    const int error = WriteTemporary(fileName, bytes, 0666, false, temporary);
    if (error != 0)
        return failed(WriteFailureReason(error));
    // A hard link never replaces a file of the final name, even one written meanwhile.
    const int linked = ::link(Encoded(temporary).constData(), Encoded(fileName).constData());
    const int linkError = linked == 0 ? 0 : errno;
    if (linked == 0 || linkError == EEXIST) {
        ::unlink(Encoded(temporary).constData());
        if (linked == 0)
            return NewFileResult::Written;
        return QFileInfo(fileName).isFile() ? NewFileResult::Exists
                                            : failed(WriteFailureReason(EISDIR));
    }
    // A file system without links: the toolkit's rename, which does not replace either.
    QFile temp(temporary);
    if (temp.rename(fileName))
        return NewFileResult::Written;
    const QString why = temp.errorString();
    temp.remove();
    return QFileInfo(fileName).isFile() ? NewFileResult::Exists : failed(why);
#else
    QFile temp;
    for (int attempt = 0; attempt < 16 && !temp.isOpen(); ++attempt) {
        temp.setFileName(fileName + QLatin1Char('.') + RandomSuffix());
        if (!temp.open(QIODevice::WriteOnly | QIODevice::NewOnly) && !temp.exists())
            return failed(temp.errorString());
    }
    if (!temp.isOpen())
        return failed(temp.errorString());
    const bool ok = temp.write(bytes) == bytes.size() && temp.flush();
    const QString why = temp.errorString();
    temp.close();
    if (ok && temp.rename(fileName))
        return NewFileResult::Written;
    temp.remove();
    return QFileInfo(fileName).isFile() ? NewFileResult::Exists : failed(why);
#endif
}

#ifdef Q_OS_UNIX
struct AtomicFileStream::Fallback {
};

AtomicFileStream::AtomicFileStream(const QString &fileName)
    : m_fileName(fileName), m_target(FinalTarget(fileName))
{
    struct stat old;
    const bool replacing = ::stat(Encoded(m_target).constData(), &old) == 0 && S_ISREG(old.st_mode);
    const mode_t mode = replacing ? mode_t(old.st_mode & 07777) : mode_t(0666);
    int error = 0;
    m_fd = OpenTemporary(m_target, mode, m_temporary, error);
    if (m_fd >= 0 && replacing && ::fchmod(m_fd, mode) != 0)
        error = errno;
    if (error != 0) {
        if (m_fd >= 0) {
            ::close(m_fd);
            ::unlink(Encoded(m_temporary).constData());
        }
        m_fd = -1;
        throw UserError(CannotWriteMessage(fileName, WriteFailureReason(error)));
    }
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

AtomicFileStream::~AtomicFileStream()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        ::unlink(Encoded(m_temporary).constData());
    }
}

qint64 AtomicFileStream::writeData(const char *data, qint64 size)
{
    if (m_fd < 0)
        return -1;
    qint64 done = 0;
    while (done < size) {
        const ssize_t written =
            ::write(m_fd, data + done, size_t(qMin<qint64>(size - done, 1 << 30)));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            fail(WriteFailureReason(written < 0 ? errno : ENOSPC));
            return -1;
        }
        done += written;
    }
    return done;
}

void AtomicFileStream::commit()
{
    if (m_fd < 0)
        throw UserError(
            CannotWriteMessage(m_fileName, m_reason.isEmpty() ? QStringLiteral("?") : m_reason));
    int error = 0;
    if (::fsync(m_fd) != 0 && errno != EINVAL)
        error = errno;
    if (::close(m_fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    m_fd = -1;
    if (error == 0 &&
        ::rename(Encoded(m_temporary).constData(), Encoded(m_target).constData()) != 0)
        error = errno;
    QIODevice::close();
    if (error != 0) {
        ::unlink(Encoded(m_temporary).constData());
        m_reason = WriteFailureReason(error);
        throw UserError(CannotWriteMessage(m_fileName, m_reason));
    }
}

void AtomicFileStream::fail(const QString &reason)
{
    m_reason = reason;
    setErrorString(reason);
    ::close(m_fd);
    ::unlink(Encoded(m_temporary).constData());
    m_fd = -1;
}
#else
struct AtomicFileStream::Fallback {
    QSaveFile file;
    explicit Fallback(const QString &name) : file(name) {}
};

AtomicFileStream::AtomicFileStream(const QString &fileName)
    : m_fileName(fileName), m_target(FinalTarget(fileName)),
      m_fallback(std::make_unique<Fallback>(m_target))
{
    if (!m_fallback->file.open(QIODevice::WriteOnly))
        throw UserError(CannotWriteMessage(fileName, m_fallback->file.errorString()));
    m_fd = 0;
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

AtomicFileStream::~AtomicFileStream() = default;

qint64 AtomicFileStream::writeData(const char *data, qint64 size)
{
    const qint64 written = m_fallback->file.write(data, size);
    if (written != size) {
        fail(m_fallback->file.errorString());
        return -1;
    }
    return written;
}

void AtomicFileStream::commit()
{
    if (m_fd < 0 || !m_fallback->file.flush() || !m_fallback->file.commit()) {
        if (m_reason.isEmpty())
            m_reason = m_fallback->file.errorString();
        m_fallback->file.cancelWriting();
        m_fd = -1;
        throw UserError(CannotWriteMessage(m_fileName, m_reason));
    }
    m_fd = -1;
    QIODevice::close();
}

void AtomicFileStream::fail(const QString &reason)
{
    m_reason = reason;
    setErrorString(reason);
    m_fallback->file.cancelWriting();
    m_fd = -1;
}
#endif

qint64 AtomicFileStream::readData(char *, qint64)
{
    return -1;
}
