#include "support/TestSupport.h"

#include "app/Forms.h"
#include "app/Menu.h"
#include "base/Clock.h"
#include "base/ProgramFolder.h"
#include "document/Numbering.h"
#include "document/Transfer.h"
#include "masterdata/Table.h"
#include "masterdata/Unit4.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QToolButton>

QByteArray DecodedQrCode(const QString &pictureFile)
{
    const QString zbar = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (zbar.isEmpty())
        return QByteArray();
    QProcess process;
    process.start(zbar, {QStringLiteral("--quiet"), QStringLiteral("--raw"),
                         QStringLiteral("-Sbinary"), pictureFile});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QByteArray();
    return process.readAllStandardOutput();
}

QString RenderedPdfPage(const QString &pdfFile, int dpi)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (tool.isEmpty())
        return QString();
    const QString stem = pdfFile + QStringLiteral(".page");
    QProcess process;
    process.start(tool, {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                         QStringLiteral("-singlefile"), pdfFile, stem});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return stem + QStringLiteral(".png");
}

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

void TakeClientAndLine(ScriptedDialogs &script)
{
    Main->SpeedButton7Click();
    Form4->Table1->SetRecNo(1);
    Form4->SpeedButton2->click();
    script.answer(QStringLiteral("1"));
    Main->SpeedButton3Click();
    Form4->Table1->SetRecNo(1);
    Form4->SpeedButton2->click();
    Form4->close();
}

ProgramRun::ProgramRun(bool withTables)
{
    // What one run of the program remembers starts afresh with each test's run.
    Transferred = false;
    TransferCompleted = false;
    NumberStored = false;
    ForgetDocumentNumbers();
    FixToday(kTestDay);
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

QString OnFirmTable(const ProgramRun &run, const QString &sql)
{
    QString value;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other_program"));
        db.setDatabaseName(run.path(QStringLiteral("DB/Firm.db")));
        if (db.open()) {
            QSqlQuery query(db);
            query.exec(sql);
            if (query.next())
                value = query.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other_program"));
    return value;
}

QString InvoiceCounter(const ProgramRun &run)
{
    return OnFirmTable(run, QStringLiteral("SELECT \"Фактура №\" FROM Firm ORDER BY rowid"));
}

void ValidateEInvoices(const QString &folder)
{
    const QString script = qEnvironmentVariable("VORNEX_EINVOICE_VALIDATE");
    QVERIFY2(!script.isEmpty(), "VORNEX_EINVOICE_VALIDATE names no validation script");
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(QStringLiteral("bash"), {script, folder});
    QVERIFY(validate.waitForFinished(240000));
    const QString output = QString::fromUtf8(validate.readAll()).trimmed();
    if (validate.exitStatus() == QProcess::NormalExit && validate.exitCode() == 77) {
        qWarning("%s", qPrintable(output));
        return;
    }
    QVERIFY2(validate.exitStatus() == QProcess::NormalExit && validate.exitCode() == 0,
             qPrintable(output));
    qInfo("%s", qPrintable(output));
}
