#include "support/TestSupport.h"

#include "app/Forms.h"
#include "app/Menu.h"
#include "base/Clock.h"
#include "base/FolderLock.h"
#include "base/ProgramFolder.h"
#include "document/Document.h"
#include "masterdata/Table.h"
#include "masterdata/Unit4.h"
#include "print/BitmapFile.h"
#include "print/Pr.h"
#include "ui/Look.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QToolButton>
#include <cstdio>

namespace
{
const QString kWorker = QStringLiteral("--print-invoices");

// One run printing invoice after invoice through the program's own forms until it is killed or
// has printed `count`; each stored number and each refusal is written to the output at once.
int PrintInvoices(const QString &folder, int count)
{
    QDir::setCurrent(folder);
    TakeProgramFolder();
    if (LockProgramFolder(5000) != FolderLock::Taken)
        return 2;
    RemoveProgramLeftovers();
    ScriptedDialogsGuard guard;
    ScriptedDialogs &script = guard.script;
    FixToday(kTestDay);
    script.answer(QStringLiteral("20%"));
    CreateForms();
    Main->SpeedButton7Click();
    Form4->SpeedButton2->click();
    script.answer(QStringLiteral("1"));
    Main->SpeedButton3Click();
    Form4->Table1->SetRecNo(3);
    Form4->SpeedButton2->click();
    for (int i = 0; i < count; ++i) {
        Main->SpeedButton4->click();
        script.printAnswers.push(false);
        PrintOptionsForm->SpeedButton1->click();
        const QString line =
            script.errors.isEmpty()
                ? QStringLiteral("stored ") + Doc->NO->caption()
                : QStringLiteral("refused ") + script.errors.join(QLatin1Char(' '));
        script.errors.clear();
        std::printf("%s\n", line.toUtf8().constData());
        std::fflush(stdout);
    }
    DestroyForms();
    UnlockProgramFolder();
    return 0;
}

struct FolderState {
    QString integrity;
    int counter = -1;
    // The numbers of the originals in the journal, in the order they were added.
    QList<int> journal;
    QString journalIntegrity = QStringLiteral("ok");
};

FolderState Inspect(const QString &folder)
{
    FolderState state;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("k"));
        db.setDatabaseName(QDir(folder).filePath(QStringLiteral("DB/Firm.db")));
        if (db.open()) {
            QSqlQuery query(db);
            // Reading rolls back what a killed run left half-written, as the next run would.
            if (query.exec(QStringLiteral("PRAGMA integrity_check")) && query.next())
                state.integrity = query.value(0).toString();
            if (query.exec(QStringLiteral("SELECT \"Фактура №\" FROM Firm ORDER BY rowid")) &&
                query.next())
                state.counter = query.value(0).toString().toInt();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("k"));
    const QString journal = QDir(folder).filePath(QStringLiteral("DB/Journal.db"));
    if (QFile::exists(journal)) {
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("j"));
            db.setDatabaseName(journal);
            if (db.open()) {
                QSqlQuery query(db);
                if (query.exec(QStringLiteral("PRAGMA integrity_check")) && query.next())
                    state.journalIntegrity = query.value(0).toString();
                if (query.exec(
                        QStringLiteral("SELECT Number FROM Journal WHERE IsCopy = 0 ORDER BY Id")))
                    while (query.next())
                        state.journal << query.value(0).toString().toInt();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("j"));
    }
    return state;
}

// The journal lists every number the counter handed out, each once and in order: 42 up to the
// counter, none above it.
QList<int> NumbersUpTo(int counter)
{
    QList<int> numbers;
    for (int number = 42; number <= counter; ++number)
        numbers << number;
    return numbers;
}

// Every archived page is a whole bitmap of the page's size.
bool ArchiveWhole(const QString &folder, QString &problem)
{
    const QDir db(QDir(folder).filePath(QStringLiteral("DB")));
    for (const QString &name : db.entryList({QStringLiteral("*.bmp")}, QDir::Files)) {
        QFile file(db.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            problem = name;
            return false;
        }
        const QByteArray bytes = file.readAll();
        const BitmapHeader header = ReadBitmapHeader(bytes);
        const quint32 declared = bytes.size() >= 6
                                     ? quint8(bytes[2]) | quint8(bytes[3]) << 8 |
                                           quint8(bytes[4]) << 16 | quint32(quint8(bytes[5])) << 24
                                     : 0;
        if (!header.valid || header.width != 859 || header.height != 1168 ||
            declared != quint32(bytes.size())) {
            problem = name;
            return false;
        }
    }
    return true;
}
} // namespace

// Runs killed at random moments while printing and storing numbers: the own-company table stays
// sound, its counter never goes back, every archived page is whole, and the next run goes on.
class TestCounterKill : public QObject
{
    Q_OBJECT
private slots:
    void killedWhilePrinting();
};

void TestCounterKill::killedWhilePrinting()
{
    QTemporaryDir dir;
    QVERIFY(
        CopyFolder(qEnvironmentVariable("VORNEX_SAMPLE_DB"), dir.filePath(QStringLiteral("DB"))));
    int counter = Inspect(dir.path()).counter;
    QCOMPARE(counter, 41);
    int highestStored = counter;
    int kills = 0;
    for (int round = 0; round < 12; ++round) {
        QProcess worker;
        worker.start(QCoreApplication::applicationFilePath(),
                     {kWorker, dir.path(), QStringLiteral("1000")});
        QVERIFY(worker.waitForStarted());
        // Wait for the first print, then kill at a random moment of the ones that follow.
        QByteArray out;
        QElapsedTimer timer;
        timer.start();
        while (!out.contains("stored") && timer.elapsed() < 30000 &&
               worker.state() == QProcess::Running) {
            worker.waitForReadyRead(100);
            out += worker.readAllStandardOutput();
        }
        QTest::qWait(int(QRandomGenerator::global()->bounded(400)));
        worker.kill();
        worker.waitForFinished(5000);
        ++kills;
        out += worker.readAllStandardOutput();
        for (const QByteArray &line : out.split('\n'))
            if (line.startsWith("stored "))
                highestStored = qMax(highestStored, line.mid(7).toInt());

        const FolderState state = Inspect(dir.path());
        QCOMPARE(state.integrity, QStringLiteral("ok"));
        QVERIFY2(state.counter >= counter, qPrintable(QString::number(state.counter)));
        QVERIFY(state.counter >= highestStored);
        // The counter and the journal were stored together or not at all.
        QCOMPARE(state.journalIntegrity, QStringLiteral("ok"));
        QCOMPARE(state.journal, NumbersUpTo(state.counter));
        counter = state.counter;
        QString problem;
        QVERIFY2(ArchiveWhole(dir.path(), problem), qPrintable(problem));
    }
    QCOMPARE(kills, 12);
    QVERIFY(counter > 41);

    // The next run clears what was left half-written and prints on: a page archived but not
    // stored by a killed run costs one refused print, then numbering goes on.
    QProcess last;
    last.start(QCoreApplication::applicationFilePath(), {kWorker, dir.path(), QStringLiteral("3")});
    QVERIFY(last.waitForFinished(60000));
    QCOMPARE(last.exitCode(), 0);
    const QByteArray out = last.readAllStandardOutput();
    qInfo("%d kills, counter %d; the next run: %s", kills, counter, out.constData());
    QVERIFY2(out.count("stored ") >= 2, out.constData());
    const FolderState end = Inspect(dir.path());
    QVERIFY(end.counter > counter);
    QCOMPARE(end.journal, NumbersUpTo(end.counter));
    const QStringList leftovers =
        QDir(dir.filePath(QStringLiteral("DB")))
            .entryList({QStringLiteral("*.bmp.*"), QStringLiteral("*.pdf.*")});
    QCOMPARE(leftovers, QStringList());
}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    VornexApplication app(argc, argv);
    if (argc == 4 && QString::fromLocal8Bit(argv[1]) == kWorker)
        return PrintInvoices(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    TestCounterKill test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_counterkill.moc"
