#include "support/TestSupport.h"

#include "app/Menu.h"
#include "base/Errors.h"
#include "base/ProgramFolder.h"
#include "euro/EuroSwitch.h"
#include "euro/HomeCurrency.h"
#include "journal/Journal.h"
#include "lines/MemoryFile.h"
#include "print/BitmapFile.h"
#include "print/PdfFile.h"
#include "print/Pr.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QToolButton>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace
{
// The reason a write past the file-size limit gives; a full disk gives "дискът е пълен" the same
// way.
const QString kTooLarge = QStringLiteral("файлът е по-голям, отколкото системата позволява");

#ifdef Q_OS_UNIX
// Every file of this process may grow to `bytes` at most while the limit lives: writes past it
// fail as they fail on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old;
};
#endif

void Write(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray Read(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList FilesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

enum class Kind { MemoryFile, ArchivedPage, Bitmap, Pdf, Csv, Setting, TableRestore };
} // namespace

Q_DECLARE_METATYPE(Kind)

// Writes that fail for real, past a file-size limit: the old file stays whole, nothing is left
// under the final name or beside it, and the message names the file and the reason.
class TestFailingWrites : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void oldFileStaysWhole_data();
    void oldFileStaysWhole();
    void pageThatCannotBeArchivedIssuesNothing();
};

void TestFailingWrites::initTestCase()
{
#ifdef Q_OS_UNIX
    // Past the limit the system sends a signal that would end the test; ignored, the write fails.
    std::signal(SIGXFSZ, SIG_IGN);
#else
    QSKIP("the file-size limit is a Unix one");
#endif
}

void TestFailingWrites::oldFileStaysWhole_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("file");   // in the program folder
    QTest::addColumn<QByteArray>("old"); // empty: there is no old file

    QTest::newRow("memory file at the menu's close")
        << Kind::MemoryFile << "Vmem.txt" << QByteArray("9%\r\n");
    QTest::newRow("archived page, a new file")
        << Kind::ArchivedPage << "DB/VInvFirm1_0000000042_.bmp" << QByteArray();
    QTest::newRow("bitmap replaced") << Kind::Bitmap << "page.bmp" << QByteArray("BM old");
    QTest::newRow("PDF of the page")
        << Kind::Pdf << "DB/VInvFirm1_0000000042_.pdf" << QByteArray("%PDF-1.4 old");
    QTest::newRow("journal exported as CSV") << Kind::Csv << "Дневник.csv" << QByteArray("old;");
    QTest::newRow("setting file") << Kind::Setting << "Vornex.ini"
                                  << QByteArray("[General]\nHomeCurrency=BGN\n");
    QTest::newRow("table put back by the switch's repair")
        << Kind::TableRestore << "DB/stock.db" << QByteArray();
}

void TestFailingWrites::oldFileStaysWhole()
{
#ifdef Q_OS_UNIX
    QFETCH(Kind, kind);
    QFETCH(QString, file);
    QFETCH(QByteArray, old);

    ProgramRun run;
    const QString path = run.path(file);
    if (kind == Kind::TableRestore) {
        // A switch killed after converting the prices: the next start puts stock.db back.
        SwitchToEuro(run.folder(), QDate(2026, 1, 2));
        const QString backup = run.path(QStringLiteral("DB-BGN-20260102"));
        QFile::remove(run.path(QStringLiteral("DB/currency.db")));
        QVERIFY(QFile::copy(backup + QStringLiteral("/currency.db"),
                            run.path(QStringLiteral("DB/currency.db"))));
        Write(SwitchMarkerPath(run.folder()),
              "Step=tables\nBackup=DB-BGN-20260102\nTables=stock.db currency.db\n");
        old = Read(path);
    } else if (!old.isEmpty()) {
        Write(path, old);
    }
    if (kind == Kind::Csv) {
        run.script().answer(QStringLiteral("20%"));
        run.start();
        // The window reads the journal before the limit, as it has when the user saves.
        JournalWindow(Main)->show();
        run.script().saveAnswers.push(path);
    }
    QLabel page(QStringLiteral("Фактура № 0000000042"));
    page.resize(200, 100);
    const QStringList before = FilesIn(QFileInfo(path).path());

    QString message;
    {
        const FileSizeLimit limit(16);
        try {
            switch (kind) {
            case Kind::MemoryFile:
                WriteMemoryFile(path, {QStringLiteral("20%"), QStringLiteral("ФАКТУРА / INVOICE")});
                break;
            case Kind::ArchivedPage:
            case Kind::Bitmap: {
                PageBitmap white{8, 8, std::vector<quint32>(64, 0xFFFFFFFF)};
                if (kind == Kind::Bitmap)
                    SaveBitmapFile(path, ReduceTo8Bits(white), 24);
                else
                    SaveNewBitmapFile(path, ReduceTo8Bits(white), 8);
                break;
            }
            case Kind::Pdf:
                SavePagePdf(path, &page, QStringLiteral("Фактура"));
                break;
            case Kind::Csv:
                JournalWindow(Main)->SpeedButton3->click();
                message = run.script().errors.value(0);
                break;
            case Kind::Setting:
                WriteHomeCurrency(path, HomeCurrency::Euro);
                break;
            case Kind::TableRestore:
                RepairInterruptedSwitch(run.folder());
                break;
            }
        } catch (const UserError &error) {
            message = error.message();
        }
    }
    QVERIFY2(message.contains(QFileInfo(path).fileName()), qPrintable(message));
    QVERIFY2(message.contains(kTooLarge), qPrintable(message));
    QCOMPARE(Read(path), old);
    QCOMPARE(QFileInfo::exists(path), !old.isEmpty());
    // Nothing beside it either: the temporary file went with the failure.
    QCOMPARE(FilesIn(QFileInfo(path).path()), before);
    if (kind == Kind::TableRestore) {
        // The marker stays, and the next start with room to write undoes the switch.
        QVERIFY(QFileInfo::exists(SwitchMarkerPath(run.folder())));
        QCOMPARE(RepairInterruptedSwitch(run.folder()).outcome, SwitchRepair::Undone);
        QCOMPARE(Read(path), Read(run.path(QStringLiteral("DB-BGN-20260102/stock.db"))));
    }
    if (kind == Kind::Csv)
        JournalWindow(Main)->close();
#endif
}

// The archived bitmap is the page's record: when it cannot be written nothing of the number
// stays, not the PDF and the e-invoice written beside it meanwhile, and the counter stays.
void TestFailingWrites::pageThatCannotBeArchivedIssuesNothing()
{
#ifdef Q_OS_UNIX
    ProgramRun run;
    ScriptedDialogs &script = run.script();
    script.answer(QStringLiteral("20%"));
    run.start();
    TakeClientAndLine(script);
    Main->SpeedButton4->click();
    const QString db = run.path(QStringLiteral("DB"));
    const QStringList before = FilesIn(db);
    {
        // Room for the PDF and the e-invoice, not for the page's 24-bit bitmap.
        const FileSizeLimit limit(1024 * 1024);
        PrintOptionsForm->ComboBox1->setCurrentText(QStringLiteral("24 бита цвят"));
        script.printAnswers.push(true);
        PrintOptionsForm->SpeedButton1->click();
    }
    QCOMPARE(script.errors.size(), 1);
    QVERIFY2(script.errors[0].contains(QStringLiteral("VInvFirm1_0000000042_.bmp")) &&
                 script.errors[0].contains(kTooLarge),
             qPrintable(script.errors[0]));
    QCOMPARE(script.printDialogs, 0);
    // The transaction that was to store the number made the journal, which stays empty.
    QCOMPARE(FilesIn(db).filter(QStringLiteral("0000000042")), QStringList());
    QCOMPARE(FilesIn(db).size(), before.size() + 1);
    QCOMPARE(InvoiceCounter(run), QStringLiteral("0000000041"));
#endif
}

VORNEX_TEST_MAIN(TestFailingWrites)
#include "tst_failingwrites.moc"
