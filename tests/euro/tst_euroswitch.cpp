#include "euro/EuroSwitch.h"

#include "base/Decimal.h"
#include "base/Errors.h"
#include "euro/HomeCurrency.h"
#include "masterdata/ServerConnection.h"
#include "masterdata/Table.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace
{
const QDate kDay(2026, 1, 5);
const QString kBackupName = QStringLiteral("DB-BGN-20260105");

// A program folder holding a copy of the sample tables in DB.
struct Folder {
    QTemporaryDir dir;
    Folder()
    {
        const QDir sample(qEnvironmentVariable("VORNEX_SAMPLE_DB"));
        QDir().mkpath(db());
        for (const char *name : kTableFiles)
            QFile::copy(sample.filePath(QString::fromLatin1(name)),
                        QDir(db()).filePath(QString::fromLatin1(name)));
    }
    QString path() const { return dir.path(); }
    QString db() const { return QDir(dir.path()).filePath(QStringLiteral("DB")); }
    QString backup(const QString &name = kBackupName) const
    {
        return QDir(dir.path()).filePath(name);
    }
};

// Every record of a table, its fields' texts joined by "|", as the table engine reads them.
QStringList Records(const QString &db, const QString &file)
{
    TTable table;
    table.SetDatabaseName(db + QLatin1Char('/'));
    table.SetTableName(file);
    table.Open();
    QStringList records;
    for (int recNo = 1; recNo <= table.RecordCount(); ++recNo) {
        table.SetRecNo(recNo);
        QStringList values;
        for (const QString &name : table.FieldDefs())
            values << table.FieldByName(name)->AsString();
        records << values.join(QLatin1Char('|'));
    }
    table.Close();
    return records;
}

QStringList Column(const QString &db, const QString &file, const QString &field)
{
    TTable table;
    table.SetDatabaseName(db + QLatin1Char('/'));
    table.SetTableName(file);
    table.Open();
    QStringList values;
    for (int recNo = 1; recNo <= table.RecordCount(); ++recNo) {
        table.SetRecNo(recNo);
        values << table.FieldByName(field)->AsString();
    }
    table.Close();
    return values;
}

// Spoils a table the way another program could: a value the table engine would never store.
void Spoil(const QString &dbFile, const QString &statement)
{
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("spoil"));
        db.setDatabaseName(dbFile);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("spoil"));
}

QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestEuroSwitch : public QObject
{
    Q_OBJECT
private slots:
    void convertsTheSampleTables();
    void addsTheLevWithoutAnEuroRecord();
    void neverWritesIntoAnExistingBackup();
    void deskOfTheServerLeavesItsFilesAlone();
    void failureLeavesEverything_data();
    void failureLeavesEverything();
    void settingFollowsTheTables_data();
    void settingFollowsTheTables();
};

void TestEuroSwitch::convertsTheSampleTables()
{
    Folder folder;
    const QStringList firm = Records(folder.db(), QStringLiteral("Firm.db"));
    const QStringList quantities =
        Column(folder.db(), QStringLiteral("stock.db"), QStringLiteral("К-во"));
    QByteArray originals[5];
    for (int i = 0; i < 5; ++i)
        originals[i] = Bytes(QDir(folder.db()).filePath(QString::fromLatin1(kTableFiles[i])));

    QCOMPARE(SwitchToEuro(folder.path(), kDay), folder.backup());

    // Every table copied as it was before anything changed.
    for (int i = 0; i < 5; ++i)
        QCOMPARE(Bytes(QDir(folder.backup()).filePath(QString::fromLatin1(kTableFiles[i]))),
                 originals[i]);
    const QStringList prices = {"74.14",  "199.35", "4.29",  "49.34", "0.43", "23.01",
                                "163.61", "30.68",  "12.73", "19.94", "3.45", "7.67"};
    QCOMPARE(Column(folder.db(), QStringLiteral("stock.db"), QStringLiteral("Продажна цена")),
             prices);
    QCOMPARE(Column(folder.db(), QStringLiteral("stock.db"), QStringLiteral("К-во")), quantities);
    const QStringList currencies = {"BGN|0.5112918812", "USD|0.7348593692", "GBP|1.4579999284",
                                    "CHF|0.6054718457"};
    QCOMPARE(Records(folder.db(), QStringLiteral("currency.db")), currencies);
    QCOMPARE(Records(folder.db(), QStringLiteral("Firm.db")), firm);
    QCOMPARE(ReadCurrencySetting(SettingsPath(folder.path())).state, CurrencySetting::Euro);

    // Once in euro, a second switch is refused and changes nothing, not even a backup.
    QVERIFY_THROWS_EXCEPTION(UserError, SwitchToEuro(folder.path(), kDay.addDays(1)));
    QCOMPARE(Records(folder.db(), QStringLiteral("currency.db")), currencies);
    QVERIFY(!QFileInfo::exists(folder.backup(QStringLiteral("DB-BGN-20260106"))));
}

void TestEuroSwitch::addsTheLevWithoutAnEuroRecord()
{
    Folder folder;
    Spoil(QDir(folder.db()).filePath(QStringLiteral("currency.db")),
          QStringLiteral("DELETE FROM currency WHERE \"Валута\" = 'EUR'"));
    SwitchToEuro(folder.path(), kDay);
    QCOMPARE(Records(folder.db(), QStringLiteral("currency.db")),
             (QStringList{"USD|0.7348593692", "GBP|1.4579999284", "CHF|0.6054718457",
                          "BGN|0.5112918812"}));
}

void TestEuroSwitch::neverWritesIntoAnExistingBackup()
{
    Folder folder;
    QVERIFY(QDir().mkpath(folder.backup()));
    QFile marker(QDir(folder.backup()).filePath(QStringLiteral("stock.db")));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.write("an earlier backup");
    marker.close();

    QCOMPARE(SwitchToEuro(folder.path(), kDay), folder.backup(kBackupName + QStringLiteral("-2")));
    QCOMPARE(Bytes(marker.fileName()), QByteArray("an earlier backup"));
    QCOMPARE(QDir(folder.backup()).entryList(QDir::Files).size(), 1);
    QCOMPARE(QDir(folder.backup(kBackupName + QStringLiteral("-2"))).entryList(QDir::Files).size(),
             5);
}

void TestEuroSwitch::deskOfTheServerLeavesItsFilesAlone()
{
    // The desk's own files are not its tables: switching them would leave the server in leva
    // and this desk's setting in euro. Nothing is asked of the server for the refusal.
    Folder folder;
    const QByteArray stock = Bytes(QDir(folder.db()).filePath(QStringLiteral("stock.db")));
    ServerSettings server;
    server.host = QStringLiteral("server.invalid");
    server.database = QStringLiteral("office");
    Server::Use(server, folder.db());
    QString message;
    try {
        SwitchToEuro(folder.path(), kDay);
    } catch (const UserError &error) {
        message = error.message();
    }
    Server::Use(std::nullopt, QString());
    QVERIFY2(message.contains(QStringLiteral("--copy-to-server")), qPrintable(message));
    QCOMPARE(Bytes(QDir(folder.db()).filePath(QStringLiteral("stock.db"))), stock);
    QVERIFY(!QFileInfo::exists(folder.backup()));
    QVERIFY(!QFileInfo::exists(SwitchMarkerPath(folder.path())));
}

void TestEuroSwitch::failureLeavesEverything_data()
{
    QTest::addColumn<QString>("spoiledFile"); // spoiled by statement, or removed when empty
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("told"); // part of the message
    QTest::addColumn<bool>("backupKept");

    QTest::newRow("price no number: the stock goes back by itself")
        << "stock.db"
        << "UPDATE stock SET \"Продажна цена\" = 'abc' WHERE \"Пор. №\" = '006'"
        << "стока № 006: 'abc' is not a valid floating point value" << true;
    QTest::newRow("rate no number: the converted stock is restored")
        << "currency.db"
        << "UPDATE currency SET \"Курс\" = 'x' WHERE \"Валута\" = 'CHF'"
        << "валута CHF: 'x' is not a valid floating point value" << true;
    QTest::newRow("a table missing: no backup, nothing changed")
        << "customer.db" << QString() << "customer.db" << false;
    QTest::newRow("setting cannot be written: both tables restored")
        << "Vornex.ini" << QString() << "Vornex.ini не може да бъде записан: папката не съществува"
        << true;
}

void TestEuroSwitch::failureLeavesEverything()
{
    QFETCH(QString, spoiledFile);
    QFETCH(QString, statement);
    QFETCH(QString, told);
    QFETCH(bool, backupKept);

    Folder folder;
    if (spoiledFile == QLatin1String("Vornex.ini")) {
        // The setting file leads into a folder that is not there: it cannot be written.
        QVERIFY(QFile::link(QDir(folder.path()).filePath(QStringLiteral("gone/Vornex.ini")),
                            SettingsPath(folder.path())));
    } else if (statement.isEmpty()) {
        QVERIFY(QFile::remove(QDir(folder.db()).filePath(spoiledFile)));
    } else {
        Spoil(QDir(folder.db()).filePath(spoiledFile), statement);
    }
    const QStringList stock = Records(folder.db(), QStringLiteral("stock.db"));
    const QStringList currency = Records(folder.db(), QStringLiteral("currency.db"));

    try {
        SwitchToEuro(folder.path(), kDay);
        QFAIL("the switch reported success");
    } catch (const UserError &error) {
        QVERIFY2(error.message().contains(told), qPrintable(error.message()));
    }
    QCOMPARE(Records(folder.db(), QStringLiteral("stock.db")), stock);
    QCOMPARE(Records(folder.db(), QStringLiteral("currency.db")), currency);
    QVERIFY(!QFileInfo(SettingsPath(folder.path())).isFile() ||
            ReadCurrencySetting(SettingsPath(folder.path())).state == CurrencySetting::Leva);
    QCOMPARE(QFileInfo::exists(folder.backup()), backupKept);
    if (backupKept)
        QCOMPARE(QDir(folder.backup()).entryList(QDir::Files).size(), 5);
    // A second attempt after the cause is gone starts from the tables as they were.
    if (spoiledFile == QLatin1String("Vornex.ini")) {
        QVERIFY(QFile::remove(SettingsPath(folder.path())));
        SwitchToEuro(folder.path(), kDay);
        QCOMPARE(Column(folder.db(), QStringLiteral("stock.db"), QStringLiteral("Продажна цена"))
                     .first(),
                 QStringLiteral("74.14"));
    }
}

namespace
{
// The tables of a folder, as the rows below prepare them.
enum class Data { Leva, Switched, SwitchedEarlier, Mixed };

// What the setting file is before the start: its bytes, or one of these.
const QByteArray kNoFile = "<no file>";
const QByteArray kFolder = "<a folder>";
const QByteArray kRandom = "<2 KB of random bytes>";
} // namespace

Q_DECLARE_METATYPE(Data)

void TestEuroSwitch::settingFollowsTheTables_data()
{
    QTest::addColumn<Data>("data");
    QTest::addColumn<QByteArray>("setting");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<bool>("euro");        // the home currency taken, when not refused
    QTest::addColumn<bool>("told");        // a message says what was set right
    QTest::addColumn<int>("settingAfter"); // CurrencySetting::State of the file afterwards

    const QByteArray euro = "[General]\nHomeCurrency=EUR\n";
    const QByteArray leva = "[General]\nHomeCurrency=BGN\n";
    const QByteArray unknown = "[General]\nHomeCurrency=XYZ\n";
    const int missing = CurrencySetting::Missing, damaged = CurrencySetting::Damaged;
    const int inLeva = CurrencySetting::Leva, inEuro = CurrencySetting::Euro;

    // Tables the switch converted decide, whatever the file says.
    QTest::newRow("switched, setting agrees")
        << Data::Switched << euro << false << true << false << inEuro;
    QTest::newRow("switched, unknown currency XYZ")
        << Data::Switched << unknown << false << true << true << inEuro;
    QTest::newRow("switched, setting says leva")
        << Data::Switched << leva << false << true << true << inEuro;
    QTest::newRow("switched, setting missing")
        << Data::Switched << kNoFile << false << true << true << inEuro;
    QTest::newRow("switched, random bytes")
        << Data::Switched << kRandom << false << true << true << inEuro;
    QTest::newRow("switched, empty file")
        << Data::Switched << QByteArray("") << false << true << true << inEuro;
    QTest::newRow("switched, a folder in its place cannot be set right")
        << Data::Switched << kFolder << false << true << true << damaged;
    // Tables never switched: leva, and only a file saying euro is a doubt.
    QTest::newRow("leva, no setting file, as after installing")
        << Data::Leva << kNoFile << false << false << false << missing;
    QTest::newRow("leva, setting agrees")
        << Data::Leva << leva << false << false << false << inLeva;
    QTest::newRow("leva, unknown currency XYZ")
        << Data::Leva << unknown << false << false << true << inLeva;
    QTest::newRow("leva, random bytes")
        << Data::Leva << kRandom << false << false << true << inLeva;
    QTest::newRow("leva, setting says euro: refused, never guessed")
        << Data::Leva << euro << true << false << false << inEuro;
    // Switched by an earlier version, without the notes: the file is needed to be sure.
    QTest::newRow("switched earlier, setting agrees: the notes are added")
        << Data::SwitchedEarlier << euro << false << true << false << inEuro;
    QTest::newRow("switched earlier, setting missing: refused")
        << Data::SwitchedEarlier << kNoFile << true << false << false << missing;
    QTest::newRow("switched earlier, unknown currency XYZ: refused")
        << Data::SwitchedEarlier << unknown << true << false << false << damaged;
    // A half switch is a doubt whatever the file says.
    QTest::newRow("stock in euro, currencies in leva: refused")
        << Data::Mixed << euro << true << false << false << inEuro;
}

// The home currency comes from the tables; the setting file is set right from them, and a doubt
// they do not settle stops the issuing of documents.
void TestEuroSwitch::settingFollowsTheTables()
{
    QFETCH(Data, data);
    QFETCH(QByteArray, setting);
    QFETCH(bool, refused);
    QFETCH(bool, euro);
    QFETCH(bool, told);
    QFETCH(int, settingAfter);

    Folder folder;
    const QString stock = QDir(folder.db()).filePath(QStringLiteral("stock.db"));
    const QString currency = QDir(folder.db()).filePath(QStringLiteral("currency.db"));
    if (data == Data::Switched || data == Data::SwitchedEarlier) {
        SwitchToEuro(folder.path(), kDay);
        if (data == Data::SwitchedEarlier)
            for (const QString &table : {stock, currency})
                Spoil(table, QStringLiteral("DROP TABLE Vornex"));
    } else if (data == Data::Mixed) {
        MarkTableInEuro(stock);
    }
    const QString file = SettingsPath(folder.path());
    QFile::remove(file);
    if (setting == kFolder) {
        QVERIFY(QDir().mkpath(file));
    } else if (setting != kNoFile) {
        QByteArray bytes = setting;
        if (setting == kRandom) {
            bytes = QByteArray(2048, Qt::Uninitialized);
            QRandomGenerator generator(2048);
            for (char &byte : bytes)
                byte = char(generator.bounded(256));
        }
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }

    const HomeCurrencyDecision decision = SettleHomeCurrency(folder.path());
    QCOMPARE(!decision.refusal.isEmpty(), refused);
    if (!refused)
        QCOMPARE(decision.home == HomeCurrency::Euro, euro);
    QCOMPARE(!decision.notice.isEmpty(), told);
    if (told)
        QVERIFY2(decision.notice.contains(QStringLiteral("Vornex.ini")),
                 qPrintable(decision.notice));
    QCOMPARE(int(ReadCurrencySetting(file).state), settingAfter);
    if (data == Data::SwitchedEarlier && !refused) {
        QVERIFY(TableMarkedInEuro(stock));
        QVERIFY(TableMarkedInEuro(currency));
    }
}

QTEST_GUILESS_MAIN(TestEuroSwitch)
#include "tst_euroswitch.moc"
