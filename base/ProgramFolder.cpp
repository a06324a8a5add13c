#include "base/ProgramFolder.h"

#include "base/AtomicFiles.h"

#include <QDir>

QString ProgramFolder;

void TakeProgramFolder()
{
    ProgramFolder = QDir::currentPath();
    while (ProgramFolder.size() > 1 && ProgramFolder.endsWith(QLatin1Char('/')))
        ProgramFolder.chop(1);
}

QString ProgramPath(const QString &name)
{
    if (ProgramFolder.endsWith(QLatin1Char('/')))
        return ProgramFolder + name;
    return ProgramFolder + QLatin1Char('/') + name;
}

QString TablesFolder()
{
    return ProgramPath(QStringLiteral("DB/"));
}

void RemoveProgramLeftovers()
{
    RemoveAtomicWriteLeftovers(ProgramFolder, {QStringLiteral("Vmem.txt")});
    // The archive holds the pages and what is written beside them.
    const QStringList archived = {QStringLiteral("*.bmp"), QStringLiteral("*.pdf"),
                                  QStringLiteral("*.xml")};
    RemoveAtomicWriteLeftovers(TablesFolder(), archived);
    const QString archive = ArchiveFolder(TablesFolder());
    if (QDir(archive) != QDir(TablesFolder()))
        RemoveAtomicWriteLeftovers(archive, archived);
}

QString ArchiveFolder(const QString &dataFolder)
{
#ifdef Q_OS_WIN
    const QString installed = QStringLiteral("C:/Program Files/Vornex2007/DB/");
    if (QDir(installed).exists())
        return installed;
#endif
    QString folder = QDir::fromNativeSeparators(dataFolder);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
