#include "app/ProgramFolder.h"

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
