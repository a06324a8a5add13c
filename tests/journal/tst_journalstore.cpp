#include "journal/JournalStore.h"

#include "base/ProgramFolder.h"
#include "document/DocumentNumber.h"
#include "document/InvoiceJson.h"
#include "journal/JournalReader.h"
#include "journal/ServerJournal.h"
#include "masterdata/ServerConnection.h"
#include "support/TestServer.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace
{
// The server's database of the suite's run on the server; none on the files.
std::unique_ptr<TestServer::Database> s_server;

#define SKIP_ON_SERVER()                                                                           \
    do {                                                                                           \
        if (s_server)                                                                              \
            QSKIP("about the journal file, which the server does not use");                        \
    } while (false)

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
    e.homeCurrency = QStringLiteral("BGN");
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
    if (s_server)
        return TestServer::Column(
                   s_server->settings(),
                   QStringLiteral("SELECT \"%1\" FROM Firm ORDER BY rowid").arg(field))
            .value(record - 1);
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

// Issues the number through the print's transaction and stores the entry with it.
qint64 Issue(const QString &folder, int record, const QString &field, int number,
             const JournalEntry &entry)
{
    IssueRequest request;
    request.tablesFolder = folder;
    request.firmRecNo = record;
    request.counterField = field;
    request.number = number;
    IssueTransaction issue(request);
    return issue.commit(&entry);
}

// Runs statements on a file as another program would.
void OnFile(const QString &file, const QStringList &statements)
{
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(file);
        QVERIFY(db.open());
        QSqlQuery query(db);
        for (const QString &sql : statements)
            QVERIFY2(query.exec(sql), qPrintable(query.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
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
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void storesPageLinesAndCounter();
    void counterChoice_data();
    void counterChoice();
    void failureBetweenCounterAndJournalLeavesNeither();
    void unusableJournal_data();
    void unusableJournal();
    void busyFirmFileStoresNothing();
    void issueRules_data();
    void issueRules();
    void olderJournalIsBroughtUp();
    void olderRowsGetTheLedgersFields_data();
    void olderRowsGetTheLedgersFields();
    void nextNumberIsTakenUnderTheHold_data();
    void nextNumberIsTakenUnderTheHold();
    void serverRefusesASecondPageOfANumber();
    void pagesFilesAreKeptForEveryDesk();
    void windowReadsEveryPageWithItsId();

private:
    QString firm() const { return m_dir->filePath(QStringLiteral("Firm.db")); }
    QString journal() const { return JournalFileName(m_dir->path()); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestJournalStore::initTestCase()
{
    if (!TestServer::Chosen())
        return;
    if (!TestServer::Configured())
        QSKIP(TestServer::SkipReason());
    s_server = std::make_unique<TestServer::Database>();
}

void TestJournalStore::cleanupTestCase()
{
    s_server.reset();
}

void TestJournalStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(
        QFile::copy(qEnvironmentVariable("VORNEX_SAMPLE_DB") + QStringLiteral("/Firm.db"), firm()));
    QFile::setPermissions(firm(), QFile::ReadOwner | QFile::WriteOwner);
    if (s_server) {
        s_server->reset();
        TestServer::Place(s_server->settings(), firm());
        const ServerConnection server(s_server->settings());
        ServerJournalLayout::Create(server);
        Server::Use(s_server->settings(), m_dir->path());
    }
}

void TestJournalStore::cleanup()
{
    Server::Use(std::nullopt, QString());
}

void TestJournalStore::storesPageLinesAndCounter()
{
    QVERIFY(!QFile::exists(journal()));
    const JournalEntry first = Entry(QStringLiteral("0000000042"), QStringLiteral("Ален Мак ООД"));
    const qint64 id = Issue(m_dir->path(), 1, kInvoiceCounter, 42, first);
    QCOMPARE(id, 1);
    QCOMPARE(FirmValue(firm(), kInvoiceCounter), QStringLiteral("0000000042"));
    const qint64 second =
        Issue(m_dir->path(), 1, kInvoiceCounter, 43, Entry(QStringLiteral("0000000043"), "Б"));
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
    if (!s_server)
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
    Issue(m_dir->path(), record, field, number, Entry(QString::number(number), "К"));
    QCOMPARE(FirmValue(firm(), field, record), stored);
    // The page is in the journal whether or not the counter moved.
    QCOMPARE(ReadJournal(journal()).size(), 1);
    // The other own company and the other counter stay as they were.
    QCOMPARE(FirmValue(firm(), QStringLiteral("Фактура №"), 3 - record),
             record == 1 ? QStringLiteral("0000001200") : QStringLiteral("0000000041"));
}

void TestJournalStore::failureBetweenCounterAndJournalLeavesNeither()
{
    Issue(m_dir->path(), 1, kInvoiceCounter, 41, Entry(QStringLiteral("0000000041"), "А"));
    // The journal's lines cannot be written: the counter, written first, must not stay.
    if (s_server) {
        TestServer::Define(s_server->settings(),
                           QStringLiteral("CREATE FUNCTION stop() RETURNS trigger LANGUAGE plpgsql "
                                          "AS $$ BEGIN RAISE 'the program stopped here'; END $$"));
        TestServer::Define(s_server->settings(),
                           QStringLiteral("CREATE TRIGGER stop BEFORE INSERT ON JournalLine FOR "
                                          "EACH ROW EXECUTE FUNCTION stop()"));
    } else {
        OnFile(journal(), {QStringLiteral("CREATE TRIGGER stop BEFORE INSERT ON JournalLine BEGIN "
                                          "SELECT RAISE(ABORT, 'the program stopped here'); END")});
    }
    QVERIFY_THROWS_EXCEPTION(JournalError, Issue(m_dir->path(), 1, kInvoiceCounter, 42,
                                                 Entry(QStringLiteral("0000000042"), "Б")));
    QCOMPARE(FirmValue(firm(), kInvoiceCounter), QStringLiteral("0000000041"));
    QCOMPARE(ReadJournal(journal()).size(), 1);
    // Nothing stays locked: the next print stores both.
    if (s_server)
        TestServer::Define(s_server->settings(),
                           QStringLiteral("DROP TRIGGER stop ON JournalLine"));
    else
        OnFile(journal(), {QStringLiteral("DROP TRIGGER stop")});
    Issue(m_dir->path(), 1, kInvoiceCounter, 42, Entry(QStringLiteral("0000000042"), "Б"));
    QCOMPARE(FirmValue(firm(), kInvoiceCounter), QStringLiteral("0000000042"));
    QCOMPARE(ReadJournal(journal()).size(), 2);
}

void TestJournalStore::unusableJournal_data()
{
    QTest::addColumn<QString>("problem");
    QTest::newRow("not a database") << "garbage";
    QTest::newRow("a folder in its place") << "directory";
}

void TestJournalStore::unusableJournal()
{
    SKIP_ON_SERVER();
    QFETCH(QString, problem);
    const QString file = journal();
    if (problem == QLatin1String("garbage")) {
        QFile garbage(file);
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
    } else {
        QVERIFY(QDir().mkpath(file));
    }
    // The number is still stored, alone, and the print is told why the journal has no row.
    IssueRequest request;
    request.tablesFolder = m_dir->path();
    request.counterField = kInvoiceCounter;
    request.number = 42;
    {
        IssueTransaction issue(request);
        QVERIFY(!issue.withJournal());
        QVERIFY(issue.journalProblem().contains(QDir::toNativeSeparators(file)));
        const JournalEntry entry = Entry(QStringLiteral("0000000042"), "А");
        QCOMPARE(issue.commit(&entry), 0);
    }
    QCOMPARE(FirmValue(firm(), kInvoiceCounter), QStringLiteral("0000000042"));
    QVERIFY_THROWS_EXCEPTION(JournalError, ReadJournal(file));
}

void TestJournalStore::busyFirmFileStoresNothing()
{
    if (s_server) {
        // Another desk's print holds the counter's row: this one waits, then is told so.
        const ServerConnection other(s_server->settings());
        other.runPlain(QStringLiteral("BEGIN"), QString());
        other.exec(QStringLiteral("SELECT * FROM \"Firm\" FOR UPDATE"), {}, QString());
        try {
            Issue(m_dir->path(), 1, kInvoiceCounter, 42, Entry(QStringLiteral("0000000042"), "А"));
            QFAIL("stored while another desk held the counter");
        } catch (const UserError &error) {
            QVERIFY2(error.message().contains(QStringLiteral(" е зает ")),
                     qPrintable(error.message()));
        }
        other.runPlain(QStringLiteral("ROLLBACK"), QString());
        QCOMPARE(FirmValue(firm(), kInvoiceCounter), QStringLiteral("0000000041"));
        QCOMPARE(ReadJournal(journal()).size(), 0);
        return;
    }
    QSqlDatabase other =
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other_run"));
    other.setDatabaseName(firm());
    other.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    QVERIFY(other.open());
    QSqlQuery lock(other);
    QVERIFY(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));
    try {
        Issue(m_dir->path(), 1, kInvoiceCounter, 42, Entry(QStringLiteral("0000000042"), "А"));
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

void TestJournalStore::issueRules_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("prepared");
    QTest::addColumn<bool>("issuedByThisRun");
    QTest::addColumn<bool>("archiveHolds");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("counterAfter");
    // The counter stands at 41 and the journal holds 40 and 41.
    QTest::newRow("the prepared next number")
        << 42 << true << false << false << false << "0000000042";
    QTest::newRow("a prepared number another run used")
        << 41 << true << false << false << true << "0000000041";
    QTest::newRow("typed: the number last issued")
        << 41 << false << false << false << true << "0000000041";
    QTest::newRow("typed: an older number the journal holds")
        << 40 << false << false << false << true << "0000000041";
    QTest::newRow("typed: an old number nobody holds")
        << 17 << false << false << false << false << "0000000041";
    QTest::newRow("typed: a number the archive holds")
        << 17 << false << false << true << true << "0000000041";
    QTest::newRow("typed: beyond the counter")
        << 50 << false << false << false << false << "0000000050";
    QTest::newRow("a copy of a number this run issued")
        << 41 << false << true << true << false << "0000000041";
}

void TestJournalStore::issueRules()
{
    QFETCH(int, number);
    QFETCH(bool, prepared);
    QFETCH(bool, issuedByThisRun);
    QFETCH(bool, archiveHolds);
    QFETCH(bool, refused);
    QFETCH(QString, counterAfter);
    // Originals of 40 and 41; the page printed now is a copy where this run issued the number.
    for (const int issued : {40, 41}) {
        JournalEntry original = Entry(TenDigits(issued), "А");
        original.copy = false;
        Issue(m_dir->path(), 1, kInvoiceCounter, issued, original);
    }
    IssueRequest request;
    request.tablesFolder = m_dir->path();
    request.counterField = kInvoiceCounter;
    request.number = number;
    request.prepared = prepared;
    request.issuedByThisRun = issuedByThisRun;
    request.archiveHolds = archiveHolds;
    try {
        IssueTransaction issue(request);
        JournalEntry entry = Entry(TenDigits(number), "В");
        entry.copy = issuedByThisRun;
        issue.commit(&entry);
        QVERIFY2(!refused, "issued a number that must be refused");
    } catch (const JournalError &) {
        QFAIL("a refusal is no journal failure");
    } catch (const UserError &error) {
        QVERIFY2(refused, qPrintable(error.message()));
        QVERIFY(error.message().contains(TenDigits(number)));
    }
    QCOMPARE(FirmValue(firm(), kInvoiceCounter), counterAfter);
    QCOMPARE(ReadJournal(journal()).size(), refused ? 2 : 3);
}

void TestJournalStore::olderJournalIsBroughtUp()
{
    SKIP_ON_SERVER();
    // A journal of the first layout: no documents, and "BGL" for the lev.
    QStringList columns;
    for (const char *c :
         {"Number",       "Series",        "Kind",          "Title",           "DocumentDate",
          "TaxEventDate", "SupplierName",  "SupplierVat",   "SupplierId",      "ClientName",
          "ClientVat",    "ClientId",      "NoteReference", "HomeCurrency",    "TaxBase",
          "VatRate",      "Vat",           "Total",         "ForeignCurrency", "ForeignRate",
          "ForeignTotal", "ZeroVatGround", "ColourDepth",   "IsCopy",          "PrintedAt",
          "BitmapFile",   "PdfFile"})
        columns << QString::fromLatin1(c);
    OnFile(journal(),
           {QStringLiteral("CREATE TABLE Journal (Id INTEGER PRIMARY KEY, %1)")
                .arg(columns.join(", ")),
            QStringLiteral("CREATE TABLE JournalLine (JournalId INTEGER NOT NULL, Position "
                           "INTEGER NOT NULL, Number, LineNumber, Description, Measure, "
                           "Quantity, UnitPrice, ForeignUnitPrice, Value, ForeignValue, "
                           "PRIMARY KEY (JournalId, Position))"),
            QStringLiteral("INSERT INTO Journal (Id, Number, Series, HomeCurrency, "
                           "ForeignCurrency, Total) VALUES (1, '0000000041', 'Фактура №', "
                           "'BGL', 'EUR', '398.40')")});
    // Read as it is, the lev is already "BGN"; the first issue brings the file up for good.
    QCOMPARE(ReadJournal(journal()).at(0).homeCurrency, QStringLiteral("BGN"));
    QCOMPARE(ReadJournalDocument(journal(), 1), QByteArray());
    JournalEntry entry = Entry(QStringLiteral("0000000042"), "А");
    entry.document = "{\"number\":\"42\"}";
    Issue(m_dir->path(), 1, kInvoiceCounter, 42, entry);
    QCOMPARE(Pragma(journal(), QStringLiteral("user_version")), QStringLiteral("4"));
    QCOMPARE(ReadJournalDocument(journal(), 2), entry.document);
    const QVector<JournalEntry> rows = ReadJournal(journal());
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(1).homeCurrency, QStringLiteral("BGN"));
    QCOMPARE(rows.at(1).total, QStringLiteral("398.40"));
}

void TestJournalStore::olderRowsGetTheLedgersFields_data()
{
    // Kind, DocumentDate, ClientVat, ClientId, TaxBase, VatRate, Vat, ZeroVatGround.
    QTest::addColumn<QString>("row");
    QTest::addColumn<QByteArray>("document");
    // Type, period, recipient, base and VAT at 20 %, at 9 %, base at 0 %, its column, problem.
    QTest::addColumn<QString>("fields");

    const QString invoice = "Фактура|15.11.2025|BG160538271|160538271|332.00|20%|66.40|";
    QTest::newRow("from the texts: an invoice at 20 %")
        << invoice << QByteArray() << "01|202511|BG160538271|332.00|66.40|0.00|0.00|0.00||";
    Invoice credit;
    credit.noteTitle = kCreditNoteTitle;
    credit.issueDate = QDate(2025, 10, 3);
    credit.vatPercent = 9;
    credit.recipient.id = QStringLiteral("7501010010");
    credit.home.net = Decimal::Amount::FromText("-10.00");
    credit.home.vat = Decimal::Amount::FromText("-0.90");
    QTest::newRow("from the document where it is kept, not from the texts")
        << invoice << InvoiceToJson(credit) << "03|202510|7501010010|0.00|0.00|-10.00|-0.90|0.00||";
    QTest::newRow("a document that cannot be read: from the texts")
        << invoice << QByteArray("{broken")
        << "01|202511|BG160538271|332.00|66.40|0.00|0.00|0.00||";
    QTest::newRow("from the texts: an export at 0 % to a recipient abroad")
        << "Фактура|01.12.2025|||700|0%|0.00|чл. 28 ЗДДС" << QByteArray()
        << "01|202512|999999999999999|0.00|0.00|0.00|0.00|700.00|02-14|";
    QTest::newRow("from the texts: a proforma is no tax document")
        << "Проформа фактура|15.11.2025|||1.00|20%|0.20|" << QByteArray() << "|202511||||||||";
    QTest::newRow("a date the texts cannot tell: the month printed, and why")
        << "Фактура|дд.мм.гггг|BG160538271||1.00|20%|0.20|" << QByteArray()
        << "01|202612|BG160538271|1.00|0.20|0.00|0.00|0.00||датата „дд.мм.гггг“ не може да бъде "
           "прочетена";
    QTest::newRow("a rate the ledger has no column for")
        << "Фактура|15.11.2025|BG160538271||1.00|18%|0.18|" << QByteArray()
        << "01|202511|BG160538271|0.00|0.00|0.00|0.00|0.00||ставката на ДДС „18%“ не е 20 %, 9 % "
           "или 0 %";
    QTest::newRow("an amount that is no number")
        << "Фактура|15.11.2025|BG160538271||1,00|20%|0.20|" << QByteArray()
        << "01|202511|BG160538271|||||||данъчната основа „1,00“ не е сума";
}

// A journal of the second layout, as the print left it before the ledger's fields were kept, is
// brought up when its ledger is asked for.
void TestJournalStore::olderRowsGetTheLedgersFields()
{
    SKIP_ON_SERVER();
    QFETCH(QString, row);
    QFETCH(QByteArray, document);
    QFETCH(QString, fields);
    const QString period = fields.section(QLatin1Char('|'), 1, 1);
    OnFile(journal(),
           {QStringLiteral("CREATE TABLE Journal (Id INTEGER PRIMARY KEY, Number, Series, Kind, "
                           "Title, DocumentDate, TaxEventDate, SupplierName, SupplierVat, "
                           "SupplierId, ClientName, ClientVat, ClientId, NoteReference, "
                           "HomeCurrency, TaxBase, VatRate, Vat, Total, ForeignCurrency, "
                           "ForeignRate, ForeignTotal, ZeroVatGround, ColourDepth, IsCopy, "
                           "PrintedAt, BitmapFile, PdfFile, Document)"),
            QStringLiteral("CREATE TABLE JournalLine (JournalId INTEGER NOT NULL, Position "
                           "INTEGER NOT NULL, Number, LineNumber, Description, Measure, "
                           "Quantity, UnitPrice, ForeignUnitPrice, Value, ForeignValue, "
                           "PRIMARY KEY (JournalId, Position))"),
            QStringLiteral("INSERT INTO JournalLine (JournalId, Position, Description) VALUES "
                           "(1, 2, 'Втори ред'), (1, 1, 'Абонаментна поддръжка')"),
            QStringLiteral("PRAGMA user_version = 2")});
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "row");
        db.setDatabaseName(journal());
        QVERIFY(db.open());
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral(
            "INSERT INTO Journal (Id, Number, Series, Kind, DocumentDate, ClientVat, ClientId, "
            "TaxBase, VatRate, Vat, ZeroVatGround, HomeCurrency, PrintedAt, Document) VALUES (1, "
            "'0000000041', 'Фактура №', ?, ?, ?, ?, ?, ?, ?, ?, 'BGN', '2026-12-08T15:00:00', ?)"));
        for (const QString &value : row.split(QLatin1Char('|')))
            insert.addBindValue(value);
        insert.addBindValue(document.isEmpty() ? QVariant() : QVariant(document));
        QVERIFY2(insert.exec(), qPrintable(insert.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("row"));

    const QVector<JournalEntry> rows = ReadJournalPeriod(journal(), period);
    QCOMPARE(Pragma(journal(), QStringLiteral("user_version")), QStringLiteral("4"));
    QCOMPARE(rows.size(), 1);
    const LedgerFields &f = rows.first().ledger;
    QCOMPARE(QStringList({f.type, f.period, f.recipientId, f.base20, f.vat20, f.base9, f.vat9,
                          f.base0, f.zeroVatColumn, f.problem})
                 .join(QLatin1Char('|')),
             fields);
    if (document.isEmpty() && !f.type.isEmpty())
        QCOMPARE(f.description, QStringLiteral("Абонаментна поддръжка"));
    // Once: a row brought up is not brought up again from texts changed since.
    OnFile(journal(), {QStringLiteral("UPDATE Journal SET Kind = 'Сметка', TaxBase = 'x'")});
    QCOMPARE(ReadJournalPeriod(journal(), period).first().ledger.problem, f.problem);
}

void TestJournalStore::nextNumberIsTakenUnderTheHold_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");
    QTest::newRow("invoices of the first company") << 1 << "Фактура №"
                                                   << "0000000042";
    QTest::newRow("proformas of the first company") << 1 << "Проформа №"
                                                    << "0000000008";
    QTest::newRow("invoices of the second company") << 2 << "Фактура №"
                                                    << "0000001201";
}

void TestJournalStore::nextNumberIsTakenUnderTheHold()
{
    QFETCH(int, record);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    for (int round = 0; round < 2; ++round) {
        IssueRequest request;
        request.tablesFolder = m_dir->path();
        request.firmRecNo = record;
        request.counterField = field;
        request.next = true;
        IssueTransaction issue(request);
        QVERIFY(issue.ahead());
        const QString number = TenDigits(issue.number());
        JournalEntry entry = Entry(number, "А");
        entry.series = field;
        entry.copy = false;
        issue.commit(&entry);
        if (round == 0)
            QCOMPARE(number, expected);
    }
    // The second took the one after the first.
    QCOMPARE(FirmValue(firm(), field, record), TenDigits(expected.toLongLong() + 1));
    QCOMPARE(ReadJournal(journal()).size(), 2);
}

void TestJournalStore::serverRefusesASecondPageOfANumber()
{
    // Whatever a desk believes, the server keeps one original page per number of a series of an
    // own company; the refused print stores neither the page nor the counter.
    if (!s_server)
        QSKIP("the file journal is written by one run at a time, which checks it itself");
    JournalEntry original = Entry(QStringLiteral("0000000042"), "А");
    original.copy = false;
    Issue(m_dir->path(), 1, kInvoiceCounter, 42, original);
    IssueRequest request;
    request.tablesFolder = m_dir->path();
    request.counterField = kInvoiceCounter;
    request.number = 42;
    request.issuedByThisRun = true; // as a desk that printed it before would say
    try {
        IssueTransaction issue(request);
        issue.commit(&original);
        QFAIL("the server took a second original of the number");
    } catch (const UserError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("0000000042")),
                 qPrintable(error.message()));
    }
    // A copy of it is another page.
    JournalEntry copy = original;
    copy.copy = true;
    IssueTransaction(request).commit(&copy);
    QCOMPARE(ReadJournal(journal()).size(), 2);
}

void TestJournalStore::pagesFilesAreKeptForEveryDesk()
{
    // The server keeps each page's PDF and bitmap, so that a desk without them can open or print
    // the page again; the file journal names the desk's own files and keeps none.
    JournalEntry entry = Entry(QStringLiteral("0000000042"), "А");
    entry.pdfFile = m_dir->filePath(QStringLiteral("page.pdf"));
    entry.bitmapFile = m_dir->filePath(QStringLiteral("page.bmp"));
    const QByteArray pdf("%PDF-1.4 страница");
    const QByteArray bitmap = QByteArray("BM") + QByteArray(100000, '\xff');
    for (const auto &[name, bytes] : {std::pair{entry.pdfFile, pdf}, {entry.bitmapFile, bitmap}}) {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    const qint64 id = Issue(m_dir->path(), 1, kInvoiceCounter, 42, entry);
    QCOMPARE(ReadJournalPdf(journal(), id), s_server ? pdf : QByteArray());
    QCOMPARE(ReadJournalBitmap(journal(), id), s_server ? bitmap : QByteArray());
}

void TestJournalStore::windowReadsEveryPageWithItsId()
{
    // The window reads the file, or on a desk of the server a copy of its own that takes the
    // pages other desks add at each opening; either way a page keeps its id (the PDF and the
    // bitmap are asked for by it) and the counters checked against are the server's.
    QTemporaryDir copies;
    const auto listed = [&]() -> QString {
        const QString source = PrepareJournalForReading(journal(), copies.path(), {});
        if ((source == journal()) == bool(s_server))
            return QStringLiteral("read from ") + source;
        const JournalReader reader(source);
        QVector<qint64> ids = reader.pageIds(JournalFilter(), 0, 100);
        QStringList pages;
        for (const JournalListRow &row : reader.rows(ids))
            pages << QStringLiteral("%1:%2:%3").arg(row.id).arg(row.number, row.clientName);
        return pages.join(QLatin1Char(' '));
    };
    Issue(m_dir->path(), 1, kInvoiceCounter, 42, Entry(QStringLiteral("0000000042"), "Ален"));
    QCOMPARE(listed(), QStringLiteral("1:0000000042:Ален"));
    Issue(m_dir->path(), 1, kInvoiceCounter, 43, Entry(QStringLiteral("0000000043"), "Боян"));
    Issue(m_dir->path(), 1, kProformaCounter, 7, Entry(QStringLiteral("0000000007"), "Вера"));
    QCOMPARE(listed(), QStringLiteral("3:0000000007:Вера 2:0000000043:Боян 1:0000000042:Ален"));

    const QString counters = CountersForCheck(m_dir->path(), copies.path());
    QCOMPARE(counters == firm(), !s_server);
    QStringList stored;
    for (const StoredCounter &counter : ReadStoredCounters(counters))
        stored << QStringLiteral("%1/%2:%3")
                      .arg(counter.counter)
                      .arg(counter.firmRecNo)
                      .arg(counter.value);
    QVERIFY2(stored.contains(QStringLiteral("%1/1:43").arg(kInvoiceCounter)),
             qPrintable(stored.join(QLatin1Char(' '))));
    QCOMPARE(CheckJournalSeries(PrepareJournalForReading(journal(), copies.path(), {}), counters,
                                ArchiveFolder(m_dir->path())),
             QString());
}

QTEST_GUILESS_MAIN(TestJournalStore)
#include "tst_journalstore.moc"
