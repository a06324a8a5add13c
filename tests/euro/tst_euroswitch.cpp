#include "euro/EuroSwitch.h"

#include "base/Decimal.h"
#include "base/Errors.h"
#include "euro/HomeCurrency.h"
#include "masterdata/Table.h"

#include <QDir>
#include <QFile>
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
    void failureLeavesEverything_data();
    void failureLeavesEverything();
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

QTEST_GUILESS_MAIN(TestEuroSwitch)
#include "tst_euroswitch.moc"
