#include "journal/JournalStore.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace
{
const QString kInvoiceCounter = QStringLiteral("Фактура №");

JournalEntry Entry(const QString &number, const QString &client)
{
    JournalEntry e;
    e.number = number;
    e.series = kInvoiceCounter;
    e.kind = kKindInvoice;
    e.title = QStringLiteral("ФАКТУРА / INVOICE");
    e.documentDate = QStringLiteral("08.12.2026");
    e.clientName = client;
    e.clientVat = QStringLiteral("BG'; DROP TABLE Journal; --");
    e.homeCurrency = QStringLiteral("BGL");
    e.taxBase = QStringLiteral("332.00");
    e.vat = QStringLiteral("66.40");
    e.total = QStringLiteral("398.40");
    e.foreignCurrency = QStringLiteral("EUR");
    e.foreignRate = QStringLiteral("1.95583");
    e.foreignTotal = QStringLiteral("203.70");
    e.colourDepth = 24;
    e.copy = true;
    e.printedAt = QStringLiteral("2026-12-08T15:00:00");
    e.bitmapFile = QStringLiteral("/a/DB/VInvFirm1_%1_copy.bmp").arg(number);
    e.pdfFile = QStringLiteral("/a/DB/VInvFirm1_%1_copy.pdf").arg(number);
    JournalLine line;
    line.position = 1;
    line.lineNumber = QStringLiteral("1");
    line.description = QStringLiteral("Хартия офис А4, 80 г/м2 \"Копирна\"");
    line.measure = QStringLiteral("пакет");
    line.quantity = QStringLiteral("2");
    line.unitPrice = QStringLiteral("6.00");
    line.foreignUnitPrice = QStringLiteral("3.07");
    line.value = QStringLiteral("12.00");
    line.foreignValue = QStringLiteral("6.14");
    e.lines << line;
    line.position = 2;
    line.lineNumber = QStringLiteral("2");
    line.description = QStringLiteral("Тонер");
    e.lines << line;
    return e;
}

// A value of the own-company file, read on a connection of the test's own.
QString FirmValue(const QString &file, const QString &field, int record = 1)
{
    QString value;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery query(db);
            query.exec(QStringLiteral("SELECT \"%1\" FROM Firm ORDER BY rowid").arg(field));
            for (int i = 0; i < record && query.next(); ++i)
                value = query.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return value;
}

QString Pragma(const QString &file, const QString &pragma)
{
    QString value;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("pragma"));
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(QStringLiteral("PRAGMA ") + pragma) && query.next())
                value = query.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("pragma"));
    return value;
}
} // namespace

// The journal file and the counter stored with it.
class TestJournalStore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void storesPageLinesAndCounter();
    void counterChoice_data();
    void counterChoice();
    void failureBetweenCounterAndJournalLeavesNeither();
    void unusableJournal_data();
    void unusableJournal();
    void busyFirmFileStoresNothing();

private:
    QString firm() const { return m_dir->filePath(QStringLiteral("Firm.db")); }
    QString journal() const { return JournalFileName(m_dir->path()); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestJournalStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(
        QFile::copy(qEnvironmentVariable("VORNEX_SAMPLE_DB") + QStringLiteral("/Firm.db"), firm()));
    QFile::setPermissions(firm(), QFile::ReadOwner | QFile::WriteOwner);
}

void TestJournalStore::storesPageLinesAndCounter()
{
    QVERIFY(!QFile::exists(journal()));
    const JournalEntry first = Entry(QStringLiteral("0000000042"), QStringLiteral("Ален Мак ООД"));
    const qint64 id = StoreCounterAndJournal(journal(), {firm(), 1, kInvoiceCounter, 42}, first);
    QCOMPARE(id, 1);
    QCOMPARE(FirmValue(firm(), kInvoiceCounter), QStringLiteral("0000000042"));
    const qint64 second = StoreCounterAndJournal(journal(), {firm(), 1, kInvoiceCounter, 43},
                                                 Entry(QStringLiteral("0000000043"), "Б"));
    QCOMPARE(second, 2);

    const QVector<JournalEntry> rows = ReadJournal(journal());
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].number, QStringLiteral("0000000043")); // newest first
    const JournalEntry &read = rows[1];
    QCOMPARE(read.id, 1);
    // Every field comes back as stored, a quote in a value included.
    JournalEntry expected = first;
    expected.id = 1;
    expected.lines.clear();
    QCOMPARE(read.clientVat, expected.clientVat);
    QCOMPARE(read.clientName, expected.clientName);
    QCOMPARE(read.total, expected.total);
    QCOMPARE(read.foreignRate, expected.foreignRate);
    QCOMPARE(read.colourDepth, 24);
    QVERIFY(read.copy);
    QCOMPARE(read.pdfFile, expected.pdfFile);
    QCOMPARE(read.printedAt, expected.printedAt);

    const QVector<JournalLine> lines = ReadJournalLines(journal(), 1);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0].description, first.lines[0].description);
    QCOMPARE(lines[0].foreignValue, QStringLiteral("6.14"));
    QCOMPARE(lines[1].position, 2);
    QCOMPARE(lines[1].description, QStringLiteral("Тонер"));
    // Several files committed as one need the rollback journal.
    QCOMPARE(Pragma(journal(), QStringLiteral("journal_mode")), QStringLiteral("delete"));
}

void TestJournalStore::counterChoice_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("stored");
    QTest::newRow("next invoice") << 1 << "Фактура №" << 42 << "0000000042";
    QTest::newRow("a lower number leaves the counter") << 1 << "Фактура №" << 17 << "0000000041";
    QTest::newRow("the same number leaves it") << 1 << "Фактура №" << 41 << "0000000041";
    QTest::newRow("proforma counter") << 1 << "Проформа №" << 8 << "0000000008";
    QTest::newRow("second own company") << 2 << "Фактура №" << 1201 << "0000001201";
}

void TestJournalStore::counterChoice()
{
    QFETCH(int, record);
    QFETCH(QString, field);
    QFETCH(int, number);
    QFETCH(QString, stored);
    StoreCounterAndJournal(journal(), {firm(), record, field, number},
                           Entry(QString::number(number), QStringLiteral("К")));
    QCOMPARE(FirmValue(firm(), field, record), stored);
    // The page is in the journal whether or not the counter moved.
    QCOMPARE(ReadJournal(journal()).size(), 1);
    // The other own company and the other counter stay as they were.
    QCOMPARE(FirmValue(firm(), QStringLiteral("Фактура №"), 3 - record),
             record == 1 ? QStringLiteral("0000001200") : QStringLiteral("0000000041"));
}

void TestJournalStore::failureBetweenCounterAndJournalLeavesNeither()
{
    AddToJournal(journal(), Entry(QStringLiteral("0000000041"), QStringLiteral("А")));
    bool counterWritten = false;
    QVERIFY_THROWS_EXCEPTION(
        std::runtime_error,
        StoreCounterAndJournal(journal(), {firm(), 1, kInvoiceCounter, 42},
                               Entry(QStringLiteral("0000000042"), QStringLiteral("Б")), [&] {
                                   counterWritten = true;
                                   throw std::runtime_error("the program stopped here");
                               }));
    QVERIFY(counterWritten);
    QCOMPARE(FirmValue(firm(), kInvoiceCounter), QStringLiteral("0000000041"));
    QCOMPARE(ReadJournal(journal()).size(), 1);
    // Nothing stays locked: the next print stores both.
    StoreCounterAndJournal(journal(), {firm(), 1, kInvoiceCounter, 42},
                           Entry(QStringLiteral("0000000042"), QStringLiteral("Б")));
    QCOMPARE(FirmValue(firm(), kInvoiceCounter), QStringLiteral("0000000042"));
    QCOMPARE(ReadJournal(journal()).size(), 2);
}

void TestJournalStore::unusableJournal_data()
{
    QTest::addColumn<QString>("problem");
    QTest::newRow("folder missing") << "folder";
    QTest::newRow("not a database") << "garbage";
    QTest::newRow("a folder in its place") << "directory";
}

void TestJournalStore::unusableJournal()
{
    QFETCH(QString, problem);
    QString file = journal();
    if (problem == QLatin1String("folder"))
        file = m_dir->filePath(QStringLiteral("missing/Journal.db"));
    else if (problem == QLatin1String("garbage")) {
        QFile garbage(file);
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
    } else {
        QVERIFY(QDir().mkpath(file));
    }
    QVERIFY_THROWS_EXCEPTION(JournalError,
                             StoreCounterAndJournal(file, {firm(), 1, kInvoiceCounter, 42},
                                                    Entry(QStringLiteral("0000000042"), "А")));
    QCOMPARE(FirmValue(firm(), kInvoiceCounter), QStringLiteral("0000000041"));
    if (problem != QLatin1String("folder"))
        QVERIFY_THROWS_EXCEPTION(JournalError, ReadJournal(file));
}

void TestJournalStore::busyFirmFileStoresNothing()
{
    QSqlDatabase other =
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other_run"));
    other.setDatabaseName(firm());
    other.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    QVERIFY(other.open());
    QSqlQuery lock(other);
    QVERIFY(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));
    try {
        StoreCounterAndJournal(journal(), {firm(), 1, kInvoiceCounter, 42},
                               Entry(QStringLiteral("0000000042"), QStringLiteral("А")));
        QFAIL("stored while another run held the file");
    } catch (const JournalError &) {
        QFAIL("a busy own-company file is no journal failure");
    } catch (const UserError &error) {
        QVERIFY(error.message().contains(QStringLiteral(" е зает ")));
    }
    QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
    lock.finish();
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("other_run"));
    QCOMPARE(FirmValue(firm(), kInvoiceCounter), QStringLiteral("0000000041"));
    QCOMPARE(ReadJournal(journal()).size(), 0);
}

QTEST_GUILESS_MAIN(TestJournalStore)
#include "tst_journalstore.moc"
