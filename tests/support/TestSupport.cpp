#include "support/TestSupport.h"

#include "app/Forms.h"
#include "app/Menu.h"
#include "app/ProgramFolder.h"

#include <QDir>
#include <QFile>

bool CopyFolder(const QString &from, const QString &to)
{
    QDir source(from);
    if (!source.exists() || !QDir().mkpath(to))
        return false;
    const QStringList files = source.entryList(QDir::Files);
    for (const QString &file : files)
        if (!QFile::copy(source.filePath(file), QDir(to).filePath(file)))
            return false;
    return true;
}

ProgramRun::ProgramRun(bool withTables)
{
    m_oldFolder = ProgramFolder;
    ProgramFolder = m_dir.path();
    if (withTables) {
        const QString sample = qEnvironmentVariable("VORNEX_SAMPLE_DB");
        if (!sample.isEmpty())
            CopyFolder(sample, path(QStringLiteral("DB")));
    }
    QDir().mkpath(path(QStringLiteral("DB")));
}

ProgramRun::~ProgramRun()
{
    if (m_started)
        DestroyForms();
    ProgramFolder = m_oldFolder;
}

void ProgramRun::start()
{
    CreateForms();
    m_started = true;
}

void ProgramRun::closeMenu()
{
    Main->close();
}

QString ProgramRun::path(const QString &name) const
{
    return QDir(m_dir.path()).filePath(name);
}
