#include "support/TestSupport.h"

#include "base/FolderLock.h"
#include "base/ProgramFolder.h"
#include "document/Document.h"
#include "document/Numbering.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QToolButton>

#include <memory>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <pwd.h>
#include <unistd.h>
#endif

namespace
{
const QByteArray kRefused = QStringLiteral("Програмата вече работи с папката").toUtf8();

// The program itself, started in a folder as a user would start it; its VAT prompt keeps it
// waiting, offscreen, for as long as the test lets it live.
std::unique_ptr<QProcess> StartProgram(const QString &folder)
{
    auto process = std::make_unique<QProcess>();
    process->setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process->setProcessEnvironment(env);
    process->start(QStringLiteral(VORNEX_PROGRAM), {});
    return process;
}

QByteArray LockHolder(const QString &folder)
{
    QFile file(QDir(folder).filePath(QStringLiteral("Vornex2007.lock")));
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed() : QByteArray();
}

// Waits until the run holds the folder (its process number is in the lock file).
bool Holds(const QString &folder, const QProcess &process, int timeoutMs = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (LockHolder(folder) == QByteArray::number(process.processId()))
            return true;
        QTest::qWait(50);
    }
    return false;
}

void Kill(QProcess &process)
{
    process.kill();
    process.waitForFinished(5000);
}

// Answers a start of the program as the shell would, and looks at the folder's lock meanwhile.
class LockWatchingDialogs : public ScriptedDialogs
{
public:
    bool folderFree = false;
    bool startWorks = true;
    bool shellOpen(const QString &program, const QString &folder) override
    {
        QLockFile probe(ProgramFolderLockPath());
        probe.setStaleLockTime(0);
        folderFree = probe.tryLock(0);
        ScriptedDialogs::shellOpen(program, folder);
        return startWorks;
    }
};
} // namespace

// Two runs of the program on one folder: the second start is refused while the first lives.
class TestTwoStarts : public QObject
{
    Q_OBJECT
private slots:
    void secondStartRefused();
    void newInvoiceLetsTheFolderGo();
    void newInvoiceThatCannotStartKeepsTheRun();
    void readOnlyFolderRefusesCommands();
};

void TestTwoStarts::secondStartRefused()
{
    QTemporaryDir dir;
    QVERIFY(
        CopyFolder(qEnvironmentVariable("VORNEX_SAMPLE_DB"), dir.filePath(QStringLiteral("DB"))));
    auto first = StartProgram(dir.path());
    QVERIFY(Holds(dir.path(), *first));

    // The second start says so and ends, leaving the first its folder.
    auto second = StartProgram(dir.path());
    QElapsedTimer timer;
    timer.start();
    QByteArray said;
    while (!said.contains(kRefused) && timer.elapsed() < 20000 &&
           second->state() != QProcess::NotRunning) {
        second->waitForReadyRead(200);
        said += second->readAllStandardError();
    }
    QVERIFY2(said.contains(kRefused), said.constData());
    QVERIFY(said.contains(QDir::toNativeSeparators(dir.path()).toUtf8()));
    Kill(*second);
    QCOMPARE(LockHolder(dir.path()), QByteArray::number(first->processId()));

    // A run that was killed does not keep the folder: the next start takes it, and removes what
    // interrupted writes left behind.
    for (const QString &name : {QStringLiteral("Vmem.txt.QwErTy"),
                                QStringLiteral("DB/VInvFirm1_0000000042_.bmp.AbCdEf")}) {
        QFile leftover(dir.filePath(name));
        QVERIFY(leftover.open(QIODevice::WriteOnly));
    }
    Kill(*first);
    auto third = StartProgram(dir.path());
    QVERIFY(Holds(dir.path(), *third));
    // The clean-up follows the lock; on a busy machine it may take a moment.
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(dir.filePath(QStringLiteral("Vmem.txt.QwErTy"))),
                             15000);
    QTRY_VERIFY_WITH_TIMEOUT(
        !QFile::exists(dir.filePath(QStringLiteral("DB/VInvFirm1_0000000042_.bmp.AbCdEf"))), 15000);

    // A start while a run is ending waits for it rather than refusing.
    auto fourth = StartProgram(dir.path());
    QTest::qWait(700);
    Kill(*third);
    QVERIFY(Holds(dir.path(), *fourth));
    QVERIFY(!fourth->readAllStandardError().contains(kRefused));
    Kill(*fourth);
}

void TestTwoStarts::newInvoiceLetsTheFolderGo()
{
    ProgramRun run;
    LockWatchingDialogs shell;
    setDialogs(&shell);
    shell.answer(QStringLiteral("20%"));
    run.start();
    QCOMPARE(LockProgramFolder(0), FolderLock::Taken);
    Doc->SpeedButton3->click();
    QCOMPARE(shell.shellCalls.size(), 1);
    QVERIFY(shell.folderFree);
    QVERIFY(!ProgramFolderLocked());
    setDialogs(&run.script());
}

void TestTwoStarts::newInvoiceThatCannotStartKeepsTheRun()
{
    ProgramRun run;
    LockWatchingDialogs shell;
    shell.startWorks = false;
    setDialogs(&shell);
    shell.answer(QStringLiteral("20%"));
    run.start();
    QCOMPARE(LockProgramFolder(0), FolderLock::Taken);
    Doc->SpeedButton3->click();
    QCOMPARE(shell.errors.size(), 1);
    QVERIFY(shell.errors.first().startsWith(QStringLiteral("Новото копие на програмата не можа")));
    // The run goes on with its folder.
    QVERIFY(ProgramFolderLocked());
    UnlockProgramFolder();
    setDialogs(&run.script());
}

// A folder the lock file cannot be created in: a command that would change the tables says why
// and changes nothing. As the superuser writes everywhere, the command runs as "nobody" then.
void TestTwoStarts::readOnlyFolderRefusesCommands()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    QVERIFY(
        CopyFolder(qEnvironmentVariable("VORNEX_SAMPLE_DB"), dir.filePath(QStringLiteral("DB"))));
    const QFile::Permissions readable = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(dir.path(), readable));
    QProcess command;
    command.setWorkingDirectory(dir.path());
    if (::geteuid() == 0) {
        const passwd *nobody = ::getpwnam("nobody");
        if (!nobody)
            QSKIP("no user without rights to run the command as");
        const uid_t uid = nobody->pw_uid;
        const gid_t gid = nobody->pw_gid;
        command.setChildProcessModifier([uid, gid] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                ::_exit(99);
        });
    }
    command.start(QStringLiteral(VORNEX_PROGRAM), {QStringLiteral("--switch-to-euro")});
    QVERIFY(command.waitForFinished(30000));
    const QString said = QString::fromUtf8(command.readAllStandardError());
    QFile::setPermissions(dir.path(), readable | QFile::WriteOwner);
    QVERIFY2(command.exitCode() != 0 && command.exitCode() != 99, qPrintable(said));
    QVERIFY2(said.contains(QStringLiteral("Vornex2007.lock не може да бъде създаден: няма право "
                                          "на запис")),
             qPrintable(said));
    QVERIFY(said.contains(QStringLiteral("не се номерират")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("DB")});
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
#else
    QSKIP("runs the command as another user");
#endif
}

VORNEX_TEST_MAIN(TestTwoStarts)
#include "tst_twostarts.moc"
