#include "base/AtomicFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cstring>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <unistd.h>
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

NewFileResult WriteNewFile(const QString &fileName, const QByteArray &bytes)
{
    if (QFileInfo(fileName).isFile() || QFileInfo(fileName).isSymLink())
        return NewFileResult::Exists;
    QFile temp;
    for (int attempt = 0; attempt < 16 && !temp.isOpen(); ++attempt) {
        temp.setFileName(fileName + QLatin1Char('.') + RandomSuffix());
        if (!temp.open(QIODevice::WriteOnly | QIODevice::NewOnly) && !temp.exists())
            return NewFileResult::Failed;
    }
    if (!temp.isOpen())
        return NewFileResult::Failed;
    bool ok = temp.write(bytes) == bytes.size() && temp.flush();
#ifdef Q_OS_UNIX
    // The page must be whole on disk before its name appears.
    ok = ok && ::fsync(temp.handle()) == 0;
#endif
    temp.close();
    // Renaming never replaces a file of the final name, even one written meanwhile.
    if (ok && temp.rename(fileName))
        return NewFileResult::Written;
    temp.remove();
    return QFileInfo(fileName).isFile() ? NewFileResult::Exists : NewFileResult::Failed;
}
