#include "base/AtomicFiles.h"
#include "base/FolderLock.h"
#include "base/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace
{
void Write(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray Read(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

// The program folder of one run: its lock, the leftovers of interrupted writes, new files that
// never replace old ones.
class TestProgramFolder : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void leftoverNames_data();
    void leftoverNames();
    void leftoversRemoved();
    void newFileNeverReplaces();
    void newFileThatCannotBeWritten();
    void oneRunAtATime();
    void lockOfAnEndedRunIsTakenOver();
    void readOnlyFolderIsNotRefused();

private:
    QTemporaryDir *m_dir = nullptr;
};

void TestProgramFolder::init()
{
    m_dir = new QTemporaryDir;
    ProgramFolder = m_dir->path();
}

void TestProgramFolder::cleanup()
{
    UnlockProgramFolder();
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    delete m_dir;
    m_dir = nullptr;
}

void TestProgramFolder::leftoverNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("leftover");
    QTest::newRow("memory file's temporary") << "Vmem.txt.aBcDeF" << true;
    QTest::newRow("archived page's temporary") << "VInvFirm1_0000000042_.bmp.XyZabc" << true;
    QTest::newRow("page beside it") << "VInvFirm1_0000000042_.pdf.QwErty" << true;
    QTest::newRow("letter case of the name") << "VMEM.TXT.abCdef" << true;
    QTest::newRow("a word of small letters") << "Vmem.txt.backup" << false;
    QTest::newRow("a capitalised word") << "Vmem.txt.Backup" << false;
    QTest::newRow("a word of capitals") << "Vmem.txt.BACKUP" << false;
    QTest::newRow("digits in the suffix") << "Vmem.txt.a1B2c3" << false;
    QTest::newRow("the memory file itself") << "Vmem.txt" << false;
    QTest::newRow("an archived page itself") << "VInvFirm1_0000000042_.bmp" << false;
    QTest::newRow("suffix too short") << "Vmem.txt.abcde" << false;
    QTest::newRow("suffix too long") << "Vmem.txt.abcdefg" << false;
    QTest::newRow("suffix with a sign") << "Vmem.txt.abc-ef" << false;
    QTest::newRow("suffix in Cyrillic") << "Vmem.txt.абвгде" << false;
    QTest::newRow("someone else's file") << "notes.txt.abCdef" << false;
    QTest::newRow("a table") << "Firm.db.abCdef" << false;
    QTest::newRow("a table's journal") << "Firm.db-journal" << false;
}

void TestProgramFolder::leftoverNames()
{
    QFETCH(QString, name);
    QFETCH(bool, leftover);
    const QStringList patterns = {QStringLiteral("Vmem.txt"), QStringLiteral("*.bmp"),
                                  QStringLiteral("*.pdf")};
    QCOMPARE(IsAtomicWriteLeftover(name, patterns), leftover);
}

void TestProgramFolder::leftoversRemoved()
{
    QDir dir(m_dir->path());
    QVERIFY(dir.mkpath(QStringLiteral("DB/VInvFirm1_1_.bmp.ABCDEF")));
    const QStringList kept = {QStringLiteral("Vmem.txt"), QStringLiteral("Vmem.txt.backup"),
                              QStringLiteral("DB/Firm.db"), QStringLiteral("DB/VInvFirm1_1_.bmp"),
                              QStringLiteral("DB/notes.txt.abCdef")};
    const QStringList removed = {QStringLiteral("Vmem.txt.QwErTy"),
                                 QStringLiteral("DB/VInvFirm1_2_.bmp.AbCdEf"),
                                 QStringLiteral("DB/VInvFirm1_2_.pdf.ZzZzZz")};
    for (const QString &name : kept + removed)
        Write(dir.filePath(name), "x");
    RemoveProgramLeftovers();
    for (const QString &name : kept)
        QVERIFY2(dir.exists(name), qPrintable(name));
    for (const QString &name : removed)
        QVERIFY2(!dir.exists(name), qPrintable(name));
    // A folder of such a name is none of the program's files.
    QVERIFY(dir.exists(QStringLiteral("DB/VInvFirm1_1_.bmp.ABCDEF")));
}

void TestProgramFolder::newFileNeverReplaces()
{
    const QString name = m_dir->filePath(QStringLiteral("page.bmp"));
    QCOMPARE(WriteNewFile(name, "first"), NewFileResult::Written);
    QCOMPARE(Read(name), QByteArray("first"));
    QCOMPARE(WriteNewFile(name, "second"), NewFileResult::Exists);
    QCOMPARE(Read(name), QByteArray("first"));
    // Nothing but the file itself: no temporary file stays behind.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("page.bmp")});
}

void TestProgramFolder::newFileThatCannotBeWritten()
{
    // A folder in the way, and a folder that does not exist.
    const QString inTheWay = m_dir->filePath(QStringLiteral("page.bmp"));
    QVERIFY(QDir().mkpath(inTheWay));
    QCOMPARE(WriteNewFile(inTheWay, "x"), NewFileResult::Failed);
    QCOMPARE(WriteNewFile(m_dir->filePath(QStringLiteral("none/page.bmp")), "x"),
             NewFileResult::Failed);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList());
}

void TestProgramFolder::oneRunAtATime()
{
    QCOMPARE(LockProgramFolder(0), FolderLock::Taken);
    QVERIFY(ProgramFolderLocked());
    QVERIFY(QFile::exists(ProgramFolderLockPath()));
    // Another run asking for the folder, here as a second lock on the same file.
    QLockFile other(ProgramFolderLockPath());
    other.setStaleLockTime(0);
    QVERIFY(!other.tryLock(200));
    QCOMPARE(other.error(), QLockFile::LockFailedError);
    UnlockProgramFolder();
    QVERIFY(!ProgramFolderLocked());
    QVERIFY(other.tryLock(0));
    QCOMPARE(LockProgramFolder(100), FolderLock::InUse);
    other.unlock();
    QCOMPARE(LockProgramFolder(0), FolderLock::Taken);
}

void TestProgramFolder::lockOfAnEndedRunIsTakenOver()
{
    // A lock file naming a process that has ended, as a killed run leaves it.
    QProcess ended;
    ended.start(QStringLiteral("true"));
    QVERIFY(ended.waitForFinished());
    const qint64 pid = ended.processId() ? ended.processId() : 999999;
    Write(ProgramFolderLockPath(),
          QByteArray::number(pid) + "\nVornex2007\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    QCOMPARE(LockProgramFolder(0), FolderLock::Taken);
    QCOMPARE(Read(ProgramFolderLockPath()).split('\n').first(),
             QByteArray::number(QCoreApplication::applicationPid()));
}

void TestProgramFolder::readOnlyFolderIsNotRefused()
{
    QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner));
    {
        QFile probe(m_dir->filePath(QStringLiteral("probe")));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QSKIP("this user writes into read-only folders (the superuser)");
        }
    }
    QCOMPARE(LockProgramFolder(0), FolderLock::Unavailable);
    QVERIFY(!ProgramFolderLocked());
    QCOMPARE(LockUnavailableReason(), QStringLiteral("няма право на запис"));
}

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
