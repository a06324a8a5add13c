#include "base/Decimal.h"
#include "base/Errors.h"
#include "masterdata/Table.h"
#include "masterdata/TableTransaction.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

// The table engine on temporary database files with Cyrillic names and values.
class TestTable : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openOfMissingFileFailsAndCreatesNothing();
    void openOfUnreadableFileFails();
    void openFindsTheFileInAnyFolder_data();
    void openFindsTheFileInAnyFolder();
    void fieldsAreListedInTableOrder();
    void fieldByNameIgnoresCase_data();
    void fieldByNameIgnoresCase();
    void locateFindsPrefixIgnoringCase_data();
    void locateFindsPrefixIgnoringCase();
    void filterKeepsMatchingRecords_data();
    void filterKeepsMatchingRecords();
    void recordNumberMovesOnlyToExistingRecords_data();
    void recordNumberMovesOnlyToExistingRecords();
    void numbersAreConvertedWhenWritten();
    void postStoresAndCloseSavesPendingEdit();
    void insertStoresOnlyRecordsWithData();
    void deleteRemovesCurrentRecord();
    void fieldOrderMovesColumnOnly();
    void closeNotifiesOnlyAnOpenTable();
    void transactionCommitsOrRollsBack_data();
    void transactionCommitsOrRollsBack();

    void stockArithmetic_data();
    void stockArithmetic();

    void locateOnLargeTableMatchesFullScan_data();
    void locateOnLargeTableMatchesFullScan();
    void filterOnLargeTableMatchesFullScan_data();
    void filterOnLargeTableMatchesFullScan();
    void locateFollowsEditsInsertsAndDeletes();
    void saveWhileFiltered_data();
    void saveWhileFiltered();
    void changesByAnotherConnectionAreSeen_data();
    void changesByAnotherConnectionAreSeen();
    void refreshInTransactionRereadsStoredValue();
    void viewIsBrowsedButRefusesChangesClearly();
    void writeAheadLogIsSwitchedBack();
    void gridIsHandedPagesAsItScrolls();
    void longValuesAreComparedWhole_data();
    void longValuesAreComparedWhole();
    void randomWorkMatchesFullScan_data();
    void randomWorkMatchesFullScan();
    void filterWithKeysReadMatchesFullScan_data();
    void filterWithKeysReadMatchesFullScan();
    void gridModelKeepsQtRules();
    void keysReadAheadMatchFullScan_data();
    void keysReadAheadMatchFullScan();
    void transactionGuardEndsEveryWayOut_data();
    void transactionGuardEndsEveryWayOut();
    void damagedFileIsReportedNotThrown_data();
    void damagedFileIsReportedNotThrown();
    void storedTextIsReadAndFoundAlike_data();
    void storedTextIsReadAndFoundAlike();

private:
    // A table file "<name>.db" in the temporary folder holding one text column "Име" (and a
    // number column "К-во") with the given values.
    QString makeTable(const QString &name, const QStringList &values);
    void openOn(const QString &name);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TTable> m_table;
};

QString TestTable::makeTable(const QString &name, const QStringList &values)
{
    const QString path = m_dir->filePath(name + QStringLiteral(".db"));
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("maker"));
        db.setDatabaseName(path);
        if (!db.open())
            return {};
        db.transaction();
        QSqlQuery query(db);
        query.exec(QStringLiteral("CREATE TABLE \"%1\" (\"Име\" VARCHAR(40), \"К-во\" REAL, "
                                  "\"Описание на стока/услуга\" MEMO TEXT)")
                       .arg(name));
        double quantity = 1;
        for (const QString &value : values) {
            query.prepare(QStringLiteral("INSERT INTO \"%1\" VALUES (?, ?, ?)").arg(name));
            query.addBindValue(value);
            query.addBindValue(quantity++);
            query.addBindValue(value + QStringLiteral("\nвтори ред"));
            query.exec();
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("maker"));
    return path;
}

void TestTable::openOn(const QString &name)
{
    m_table->SetDatabaseName(m_dir->path() + QLatin1Char('/'));
    m_table->SetTableName(name + QStringLiteral(".db"));
    m_table->Open();
}

static QStringList Column(TTable &table, const QString &field)
{
    QStringList values;
    for (int row = 0; row < table.rowCount(); ++row)
        values.append(table.data(table.index(row, table.FieldByName(field)->Index())).toString());
    return values;
}

void TestTable::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_table = std::make_unique<TTable>();
    m_table->setObjectName(QStringLiteral("Table1"));
}

void TestTable::cleanup()
{
    m_table.reset();
    m_dir.reset();
}

void TestTable::openOfMissingFileFailsAndCreatesNothing()
{
    m_table->SetDatabaseName(m_dir->path() + QStringLiteral("/"));
    m_table->SetTableName(QStringLiteral("customer.db"));
    QString message;
    try {
        m_table->Open();
    } catch (const UserError &error) {
        message = error.message();
    }
    QVERIFY(message.contains(QStringLiteral("customer.db")));
    QCOMPARE(m_table->Active(), false);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList());
}

void TestTable::openOfUnreadableFileFails()
{
    QFile file(m_dir->filePath(QStringLiteral("stock.db")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("това не е база данни, а обикновен текст");
    file.close();
    m_table->SetDatabaseName(m_dir->path());
    m_table->SetTableName(QStringLiteral("stock.db"));
    QVERIFY_THROWS_EXCEPTION(UserError, m_table->Open());
    QCOMPARE(m_table->Active(), false);

    // A database file without the table named after it is no table either.
    makeTable(QStringLiteral("other"), {QStringLiteral("а")});
    QFile::rename(m_dir->filePath(QStringLiteral("other.db")),
                  m_dir->filePath(QStringLiteral("currency.db")));
    m_table->SetTableName(QStringLiteral("currency.db"));
    QVERIFY_THROWS_EXCEPTION(UserError, m_table->Open());
}

void TestTable::openFindsTheFileInAnyFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("Cyrillic and blanks") << QStringLiteral("Фактури 2007/DB");
    QTest::newRow("characters a URI gives a meaning") << QStringLiteral("a#b?mode=ro&c%20d/DB");
}

void TestTable::openFindsTheFileInAnyFolder()
{
    QFETCH(QString, folder);
    makeTable(QStringLiteral("customer"), {QStringLiteral("Алфа"), QStringLiteral("Бета")});
    QVERIFY(QDir(m_dir->path()).mkpath(folder));
    const QString path = m_dir->filePath(folder);
    QVERIFY(QFile::rename(m_dir->filePath(QStringLiteral("customer.db")),
                          path + QStringLiteral("/customer.db")));
    m_table->SetDatabaseName(path + QLatin1Char('/'));
    m_table->SetTableName(QStringLiteral("customer.db"));
    m_table->Open();
    QCOMPARE(m_table->RecordCount(), 2);
    // Opened for writing, wherever it lies.
    m_table->SetRecNo(2);
    m_table->FieldByName(QStringLiteral("Име"))->SetAsString(QStringLiteral("Бета 2"));
    m_table->Post();
    m_table->Close();
    QCOMPARE(QDir(path).entryList(QDir::Files), QStringList{QStringLiteral("customer.db")});
    m_table->Open();
    m_table->SetRecNo(2);
    QCOMPARE(m_table->FieldByName(QStringLiteral("Име"))->AsString(), QStringLiteral("Бета 2"));
}

void TestTable::fieldsAreListedInTableOrder()
{
    makeTable(QStringLiteral("stock"), {QStringLiteral("Бета")});
    openOn(QStringLiteral("stock"));
    QCOMPARE(m_table->FieldDefs(), (QStringList{QStringLiteral("Име"), QStringLiteral("К-во"),
                                                QStringLiteral("Описание на стока/услуга")}));
    QCOMPARE(m_table->RecNo(), 1);
}

void TestTable::fieldByNameIgnoresCase_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("found");

    QTest::newRow("exact") << QStringLiteral("К-во") << QStringLiteral("К-во");
    QTest::newRow("lower-case Cyrillic")
        << QStringLiteral("описание на стока/услуга") << QStringLiteral("Описание на стока/услуга");
    QTest::newRow("upper-case Cyrillic") << QStringLiteral("ИМЕ") << QStringLiteral("Име");
    QTest::newRow("missing field")
        << QStringLiteral("Фирма") << QStringLiteral("Table1: Field 'Фирма' not found");
}

void TestTable::fieldByNameIgnoresCase()
{
    QFETCH(QString, name);
    QFETCH(QString, found);
    makeTable(QStringLiteral("stock"), {QStringLiteral("Бета")});
    openOn(QStringLiteral("stock"));
    QString result;
    try {
        result = m_table->FieldByName(name)->FieldName();
    } catch (const UserError &error) {
        result = error.message();
    }
    QCOMPARE(result, found);
}

void TestTable::locateFindsPrefixIgnoringCase_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("recNo");

    const QStringList latin{QStringLiteral("Alpha"), QStringLiteral("Beta"),
                            QStringLiteral("Gamma")};
    const QStringList cyrillic{QStringLiteral("Алфа"), QStringLiteral("Бета"),
                               QStringLiteral("Гама")};
    QTest::newRow("prefix") << latin << QStringLiteral("B") << true << 2;
    QTest::newRow("prefix in other case") << latin << QStringLiteral("gam") << true << 3;
    QTest::newRow("no value begins with it: stays") << latin << QStringLiteral("Bx") << false << 1;
    QTest::newRow("Cyrillic prefix in other case") << cyrillic << QStringLiteral("бЕ") << true << 2;
    QTest::newRow("Cyrillic whole value upper case")
        << cyrillic << QStringLiteral("ГАМА") << true << 3;
    QTest::newRow("quote matches literally")
        << QStringList{QStringLiteral("Ана"), QStringLiteral("О'Нийл")} << QStringLiteral("о'н")
        << true << 2;
    QTest::newRow("SQL in the text is only text")
        << latin << QStringLiteral("' OR '1'='1") << false << 1;
}

void TestTable::locateFindsPrefixIgnoringCase()
{
    QFETCH(QStringList, values);
    QFETCH(QString, text);
    QFETCH(bool, found);
    QFETCH(int, recNo);
    makeTable(QStringLiteral("customer"), values);
    openOn(QStringLiteral("customer"));
    QCOMPARE(m_table->Locate(QStringLiteral("име"), text, true, true), found);
    QCOMPARE(m_table->RecNo(), recNo);
}

void TestTable::filterKeepsMatchingRecords_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QStringList>("visible");

    const QStringList latin{QStringLiteral("Alpha"), QStringLiteral("Beta"),
                            QStringLiteral("Gamma")};
    const QStringList cyrillic{QStringLiteral("Алфа"), QStringLiteral("Бета"),
                               QStringLiteral("Гама")};
    QTest::newRow("equal ignores case")
        << latin << QStringLiteral("Име = 'beta'") << QStringList{QStringLiteral("Beta")};
    QTest::newRow("equal needs the whole value")
        << latin << QStringLiteral("Име = 'B'") << QStringList();
    QTest::newRow("at least sorts after")
        << latin << QStringLiteral("Име >= 'B'")
        << QStringList{QStringLiteral("Beta"), QStringLiteral("Gamma")};
    QTest::newRow("Cyrillic equal ignores case")
        << cyrillic << QStringLiteral("Име = 'БЕТА'") << QStringList{QStringLiteral("Бета")};
    QTest::newRow("Cyrillic at least ignores case")
        << cyrillic << QStringLiteral("име >= 'б'")
        << QStringList{QStringLiteral("Бета"), QStringLiteral("Гама")};
    QTest::newRow("quote in the text is literal")
        << QStringList{QStringLiteral("Ана"), QStringLiteral("О'Нийл")}
        << QStringLiteral("Име = 'о'нийл'") << QStringList{QStringLiteral("О'Нийл")};
    QTest::newRow("numbers compare as numbers")
        << latin << QStringLiteral("К-во >= '2'")
        << QStringList{QStringLiteral("Beta"), QStringLiteral("Gamma")};
}

void TestTable::filterKeepsMatchingRecords()
{
    QFETCH(QStringList, values);
    QFETCH(QString, expression);
    QFETCH(QStringList, visible);
    makeTable(QStringLiteral("customer"), values);
    openOn(QStringLiteral("customer"));
    m_table->SetFilter(expression);
    m_table->SetFiltered(true);
    QCOMPARE(Column(*m_table, QStringLiteral("Име")), visible);
    QCOMPARE(m_table->RecordCount(), int(visible.size()));
    m_table->SetFiltered(false);
    QCOMPARE(m_table->RecordCount(), int(values.size()));
}

void TestTable::recordNumberMovesOnlyToExistingRecords_data()
{
    QTest::addColumn<int>("wanted");
    QTest::addColumn<int>("recNo");
    QTest::newRow("existing") << 3 << 3;
    QTest::newRow("past the last stays") << 4 << 2;
    QTest::newRow("zero stays") << 0 << 2;
    QTest::newRow("negative stays") << -1 << 2;
}

void TestTable::recordNumberMovesOnlyToExistingRecords()
{
    QFETCH(int, wanted);
    QFETCH(int, recNo);
    makeTable(QStringLiteral("Details"),
              {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В")});
    openOn(QStringLiteral("Details"));
    m_table->SetRecNo(2);
    m_table->SetRecNo(wanted);
    QCOMPARE(m_table->RecNo(), recNo);
}

void TestTable::numbersAreConvertedWhenWritten()
{
    makeTable(QStringLiteral("stock"), {QStringLiteral("Бета")});
    openOn(QStringLiteral("stock"));
    TField *quantity = m_table->FieldByName(QStringLiteral("к-во"));
    QCOMPARE(quantity->AsString(), QStringLiteral("1"));
    QString message;
    try {
        quantity->SetAsString(QStringLiteral("abc"));
    } catch (const ConversionError &error) {
        message = error.message();
    }
    QCOMPARE(message, QStringLiteral("'abc' is not a valid floating point value"));
    QCOMPARE(quantity->AsString(), QStringLiteral("1"));
    quantity->SetAsString(QStringLiteral("5.25"));
    QCOMPARE(quantity->AsString(), QStringLiteral("5.25"));
}

void TestTable::postStoresAndCloseSavesPendingEdit()
{
    makeTable(QStringLiteral("stock"), {QStringLiteral("Бета"), QStringLiteral("Гама")});
    openOn(QStringLiteral("stock"));
    m_table->SetRecNo(2);
    m_table->Edit();
    m_table->FieldByName(QStringLiteral("К-во"))->SetAsString(QStringLiteral("7.5"));
    m_table->Post();
    // Left pending: Close stores it.
    m_table->FieldByName(QStringLiteral("Име"))->SetAsString(QStringLiteral("Гама Нова"));
    QCOMPARE(m_table->CurrentState(), TTable::State::Edit);
    m_table->Close();

    openOn(QStringLiteral("stock"));
    m_table->SetRecNo(2);
    QCOMPARE(m_table->FieldByName(QStringLiteral("К-во"))->AsString(), QStringLiteral("7.5"));
    QCOMPARE(m_table->FieldByName(QStringLiteral("Име"))->AsString(), QStringLiteral("Гама Нова"));
    QCOMPARE(m_table->FieldByName(QStringLiteral("Описание на стока/услуга"))->AsString(),
             QStringLiteral("Гама\nвтори ред"));
}

void TestTable::insertStoresOnlyRecordsWithData()
{
    makeTable(QStringLiteral("customer"), {QStringLiteral("Алфа")});
    openOn(QStringLiteral("customer"));
    m_table->Insert();
    QCOMPARE(m_table->rowCount(), 2);
    m_table->Post(); // nothing typed: no empty record
    QCOMPARE(m_table->RecordCount(), 1);
    QCOMPARE(m_table->rowCount(), 1);

    m_table->Insert();
    m_table->FieldByName(QStringLiteral("Име"))->SetAsString(QStringLiteral("Нов клиент"));
    m_table->SetRecNo(1); // leaving the record saves it
    QCOMPARE(m_table->RecordCount(), 2);
    m_table->Refresh();
    QCOMPARE(Column(*m_table, QStringLiteral("Име")),
             (QStringList{QStringLiteral("Алфа"), QStringLiteral("Нов клиент")}));
}

void TestTable::deleteRemovesCurrentRecord()
{
    makeTable(QStringLiteral("customer"),
              {QStringLiteral("А"), QStringLiteral("Б"), QStringLiteral("В")});
    openOn(QStringLiteral("customer"));
    m_table->SetRecNo(2);
    m_table->Delete();
    QCOMPARE(Column(*m_table, QStringLiteral("Име")),
             (QStringList{QStringLiteral("А"), QStringLiteral("В")}));
    QCOMPARE(m_table->RecNo(), 2);
    m_table->Close();
    openOn(QStringLiteral("customer"));
    QCOMPARE(m_table->RecordCount(), 2);
}

void TestTable::fieldOrderMovesColumnOnly()
{
    makeTable(QStringLiteral("stock"), {QStringLiteral("Бета")});
    openOn(QStringLiteral("stock"));
    m_table->FieldByName(QStringLiteral("К-во"))->SetIndex(0);
    QCOMPARE(m_table->headerData(0, Qt::Horizontal).toString(), QStringLiteral("К-во"));
    QCOMPARE(m_table->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Име"));
    QCOMPARE(m_table->FieldDefs().first(), QStringLiteral("Име"));
}

void TestTable::closeNotifiesOnlyAnOpenTable()
{
    makeTable(QStringLiteral("currency"), {QStringLiteral("EUR")});
    QSignalSpy closed(m_table.get(), &TTable::AfterClose);
    m_table->Close();
    QCOMPARE(closed.count(), 0);
    openOn(QStringLiteral("currency"));
    m_table->Close();
    QCOMPARE(closed.count(), 1);
}

void TestTable::transactionCommitsOrRollsBack_data()
{
    QTest::addColumn<bool>("commit");
    QTest::addColumn<QString>("stored");
    QTest::newRow("commit keeps the change") << true << QStringLiteral("0000000042");
    QTest::newRow("rollback restores the file") << false << QStringLiteral("0000000041");
}

void TestTable::transactionCommitsOrRollsBack()
{
    QFETCH(bool, commit);
    QFETCH(QString, stored);
    makeTable(QStringLiteral("Firm"), {QStringLiteral("0000000041")});
    openOn(QStringLiteral("Firm"));
    m_table->StartTransaction();
    m_table->Edit();
    m_table->FieldByName(QStringLiteral("Име"))->SetAsString(QStringLiteral("0000000042"));
    m_table->Post();
    if (commit)
        m_table->Commit();
    else
        m_table->Rollback();
    QCOMPARE(m_table->InTransaction(), false);
    QCOMPARE(m_table->FieldByName(QStringLiteral("Име"))->AsString(), stored);
    m_table->Close();
    openOn(QStringLiteral("Firm"));
    QCOMPARE(m_table->FieldByName(QStringLiteral("Име"))->AsString(), stored);
}

void TestTable::stockArithmetic_data()
{
    QTest::addColumn<QString>("stock");
    QTest::addColumn<QString>("taken");
    QTest::addColumn<QString>("left");

    QTest::newRow("whole") << QStringLiteral("10") << QStringLiteral("3") << QStringLiteral("7");
    QTest::newRow("all of it") << QStringLiteral("3") << QStringLiteral("3") << QStringLiteral("0");
    QTest::newRow("decimals") << QStringLiteral("7.5") << QStringLiteral("2.25")
                              << QStringLiteral("5.25");
    QTest::newRow("half from whole")
        << QStringLiteral("10") << QStringLiteral("2.5") << QStringLiteral("7.5");
    QTest::newRow("four decimals kept")
        << QStringLiteral("1") << QStringLiteral("0.875") << QStringLiteral("0.125");
    QTest::newRow("beyond four decimals rounds")
        << QStringLiteral("1") << QStringLiteral("0.00004") << QStringLiteral("1");
    QTest::newRow("negative left")
        << QStringLiteral("1") << QStringLiteral("1.25") << QStringLiteral("-0.25");
}

void TestTable::stockArithmetic()
{
    QFETCH(QString, stock);
    QFETCH(QString, taken);
    QFETCH(QString, left);
    QCOMPARE(Decimal::FixedToText(Decimal::TextToFixed(stock) - Decimal::TextToFixed(taken)), left);
}

namespace
{
// A large table's names: few distinct words in mixed letter case, Cyrillic and Latin, some with
// no value at all, so that every prefix has many matches spread over the file.
QStringList GeneratedNames(int count, quint32 seed)
{
    static const char16_t *const words[] = {u"Арго",     u"арго строй", u"АРГО",       u"Бета",
                                            u"бета ООД", u"Zeta",       u"zeta ltd",   u"ёлка",
                                            u"Ёж",       u"Пирин",      u"пирин фрут", u"О'Нийл",
                                            u"Ъгъл",     u"ъ",          u"Я",          u"ß straße"};
    QRandomGenerator random(seed);
    QStringList names;
    for (int i = 0; i < count; ++i) {
        const int pick = int(random.bounded(quint32(std::size(words) + 1)));
        if (pick == int(std::size(words)))
            names.append(QString()); // no value
        else
            names.append(QString::fromUtf16(words[pick]) + QString::number(random.bounded(30)));
    }
    return names;
}

// What the file holds, read by a connection of its own: the names in file order.
QStringList StoredNames(const QString &path, const QString &table)
{
    QStringList names;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("checker"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        query.exec(QStringLiteral("SELECT \"Име\" FROM \"%1\" ORDER BY rowid").arg(table));
        while (query.next())
            names.append(query.value(0).isNull() ? QString() : query.value(0).toString());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("checker"));
    return names;
}

// Runs one statement on the file through a connection of its own, as another program would.
void WriteAside(const QString &path, const QString &sql, const QVariantList &values = {})
{
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.prepare(sql));
        for (const QVariant &value : values)
            query.addBindValue(value);
        QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
}

// The first record, 1-based, whose name begins with the text ignoring case; 0 for none.
int FirstWithPrefix(const QStringList &names, const QString &text)
{
    for (int i = 0; i < names.size(); ++i)
        if (names[i].startsWith(text, Qt::CaseInsensitive))
            return i + 1;
    return 0;
}

// The names a filter keeps, found by comparing every one.
QStringList Kept(const QStringList &names, TTable::FilterKind kind, const QString &text)
{
    QStringList kept;
    for (const QString &name : names) {
        if (name.isNull() && kind == TTable::FilterKind::AtLeast)
            continue;
        const int order = name.compare(text, Qt::CaseInsensitive);
        if (kind == TTable::FilterKind::Equal ? order == 0 : order >= 0)
            kept.append(name);
    }
    return kept;
}

// The visible records' names, walked from the first to the last.
QStringList Walk(TTable &table)
{
    QStringList names;
    if (table.IsEmpty())
        return names;
    table.First();
    for (;;) {
        names.append(table.FieldByName(QStringLiteral("Име"))->AsString());
        const int before = table.RecNo();
        table.Next();
        if (table.RecNo() == before)
            break;
    }
    return names;
}
} // namespace

void TestTable::locateOnLargeTableMatchesFullScan_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("growing Cyrillic prefix in other case")
        << QStringList{QStringLiteral("п"), QStringLiteral("пИ"), QStringLiteral("ПИРИН "),
                       QStringLiteral("пирин ф"), QStringLiteral("пирин фрут2")};
    QTest::newRow("growing Latin prefix")
        << QStringList{QStringLiteral("z"), QStringLiteral("ZE"), QStringLiteral("zeta L")};
    QTest::newRow("ё and Ё, ъ and Ъ") << QStringList{QStringLiteral("Ё"), QStringLiteral("ёж1"),
                                                     QStringLiteral("ъГ"), QStringLiteral("Ъ1")};
    QTest::newRow("no value begins with it")
        << QStringList{QStringLiteral("x"), QStringLiteral("арго строй ад")};
    QTest::newRow("quote and SQL are text")
        << QStringList{QStringLiteral("о'н"), QStringLiteral("' OR 1=1 --")};
    QTest::newRow("whole value") << QStringList{QStringLiteral("я7"), QStringLiteral("бета ооД3")};
    QTest::newRow("a text most values begin with")
        << QStringList{QString(), QStringLiteral(""), QStringLiteral("a"), QStringLiteral("А")};
}

void TestTable::locateOnLargeTableMatchesFullScan()
{
    QFETCH(QStringList, texts);
    const QStringList names = GeneratedNames(5000, 7);
    const QString path = makeTable(QStringLiteral("customer"), names);
    openOn(QStringLiteral("customer"));
    QCOMPARE(StoredNames(path, QStringLiteral("customer")), names);
    for (const QString &text : texts) {
        m_table->SetRecNo(2500);
        const int expected = FirstWithPrefix(names, text);
        QCOMPARE(m_table->Locate(QStringLiteral("Име"), text, true, true), expected > 0);
        QCOMPARE(m_table->RecNo(), expected > 0 ? expected : 2500);
    }
}

void TestTable::filterOnLargeTableMatchesFullScan_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    const int equal = int(TTable::FilterKind::Equal);
    const int atLeast = int(TTable::FilterKind::AtLeast);
    QTest::newRow("equal, other case") << QStringLiteral("ПИРИН ФРУТ3") << equal;
    QTest::newRow("equal, no such value") << QStringLiteral("пирин") << equal;
    QTest::newRow("equal, empty: records with no value") << QString() << equal;
    QTest::newRow("at least, Cyrillic") << QStringLiteral("п") << atLeast;
    QTest::newRow("at least, keeps almost all") << QStringLiteral("0") << atLeast;
    QTest::newRow("at least, keeps few") << QStringLiteral("я2") << atLeast;
    QTest::newRow("at least, past every value") << QStringLiteral("ятаган") << atLeast;
    QTest::newRow("at least, Latin before Cyrillic") << QStringLiteral("ZETA") << atLeast;
}

void TestTable::filterOnLargeTableMatchesFullScan()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    const QStringList names = GeneratedNames(6000, 11);
    makeTable(QStringLiteral("customer"), names);
    openOn(QStringLiteral("customer"));
    const auto filterKind = TTable::FilterKind(kind);
    const QStringList expected = Kept(names, filterKind, text);
    m_table->SetFilter(QStringLiteral("име"), filterKind, text);
    m_table->SetFiltered(true);
    QCOMPARE(m_table->IsEmpty(), expected.isEmpty());
    QCOMPARE(m_table->RecordCount(), int(expected.size()));
    QCOMPARE(Walk(*m_table), expected);
    // The grid's pages show the same records in the same order.
    while (m_table->canFetchMore(QModelIndex()))
        m_table->fetchMore(QModelIndex());
    QCOMPARE(Column(*m_table, QStringLiteral("Име")), expected);
    m_table->SetFiltered(false);
    QCOMPARE(m_table->RecordCount(), int(names.size()));
}

void TestTable::locateFollowsEditsInsertsAndDeletes()
{
    QStringList names = GeneratedNames(3000, 3);
    const QString path = makeTable(QStringLiteral("customer"), names);
    openOn(QStringLiteral("customer"));
    TField *name = m_table->FieldByName(QStringLiteral("Име"));
    const QStringList texts{QStringLiteral("а"),        QStringLiteral("арго с"),
                            QStringLiteral("z"),        QStringLiteral("ново"),
                            QStringLiteral("ПРОМЕНЕН"), QStringLiteral("я")};
    auto check = [&] {
        for (const QString &text : texts) {
            const int expected = FirstWithPrefix(names, text);
            if (m_table->Locate(QStringLiteral("Име"), text, true, true))
                QCOMPARE(m_table->RecNo(), expected);
            else
                QCOMPARE(expected, 0);
        }
    };
    check(); // the keys are read here and followed from now on
    QRandomGenerator random(5);
    for (int step = 0; step < 60; ++step) {
        const int recNo = 1 + int(random.bounded(quint32(names.size())));
        m_table->SetRecNo(recNo);
        switch (step % 3) {
        case 0: // an edit that moves the record within the sorted keys
            name->SetAsString(QStringLiteral("Променен %1").arg(step));
            m_table->Post();
            names[recNo - 1] = QStringLiteral("Променен %1").arg(step);
            break;
        case 1:
            m_table->Insert();
            name->SetAsString(QStringLiteral("Ново %1").arg(step));
            m_table->Post();
            names.append(QStringLiteral("Ново %1").arg(step));
            break;
        default:
            m_table->Delete();
            names.removeAt(recNo - 1);
            break;
        }
        QCOMPARE(m_table->RecordCount(), int(names.size()));
        check();
    }
    QCOMPARE(StoredNames(path, QStringLiteral("customer")), names);
}

void TestTable::saveWhileFiltered_data()
{
    QTest::addColumn<QString>("newName");
    QTest::addColumn<bool>("stillVisible");
    QTest::newRow("still matches: stays current") << QStringLiteral("Пирин нов") << true;
    QTest::newRow("stops matching: leaves the visible records") << QStringLiteral("Алфа") << false;
}

void TestTable::saveWhileFiltered()
{
    QFETCH(QString, newName);
    QFETCH(bool, stillVisible);
    QStringList names = GeneratedNames(4000, 9);
    const QString path = makeTable(QStringLiteral("customer"), names);
    openOn(QStringLiteral("customer"));
    m_table->SetFilter(QStringLiteral("Име >= 'п'"));
    m_table->SetFiltered(true);
    const int count = m_table->RecordCount();
    QVERIFY(count > 10);
    m_table->SetRecNo(5);
    const QString before = m_table->FieldByName(QStringLiteral("Име"))->AsString();
    names[names.indexOf(before)] = newName;
    // Left pending, then saved by the move to another record.
    m_table->FieldByName(QStringLiteral("Име"))->SetAsString(newName);
    QCOMPARE(m_table->CurrentState(), TTable::State::Edit);
    m_table->Refresh();
    QCOMPARE(m_table->RecordCount(), count - (stillVisible ? 0 : 1));
    QCOMPARE(m_table->RecNo(), 5);
    QCOMPARE(m_table->FieldByName(QStringLiteral("Име"))->AsString() == newName, stillVisible);
    QCOMPARE(Walk(*m_table), Kept(names, TTable::FilterKind::AtLeast, QStringLiteral("п")));
    QCOMPARE(StoredNames(path, QStringLiteral("customer")), names);
}

void TestTable::changesByAnotherConnectionAreSeen_data()
{
    QTest::addColumn<bool>("refresh");
    QTest::newRow("seen by a refresh") << true;
    QTest::newRow("seen by the next search") << false;
}

void TestTable::changesByAnotherConnectionAreSeen()
{
    QFETCH(bool, refresh);
    QStringList names = GeneratedNames(2000, 13);
    const QString path = makeTable(QStringLiteral("customer"), names);
    openOn(QStringLiteral("customer"));
    QVERIFY(m_table->Locate(QStringLiteral("Име"), QStringLiteral("бета"), true, true));
    m_table->SetRecNo(3);

    WriteAside(path, QStringLiteral("INSERT INTO customer (\"Име\") VALUES (?)"),
               {QStringLiteral("Юта Външна")});
    WriteAside(path, QStringLiteral("UPDATE customer SET \"Име\" = ? WHERE rowid = 1"),
               {QStringLiteral("Външно име")});
    WriteAside(path, QStringLiteral("DELETE FROM customer WHERE rowid = 2"));
    names.append(QStringLiteral("Юта Външна"));
    names[0] = QStringLiteral("Външно име");
    names.removeAt(1);

    if (refresh) {
        m_table->Refresh();
        QCOMPARE(m_table->RecordCount(), int(names.size()));
        // The current record stays; the one before it is gone.
        QCOMPARE(m_table->RecNo(), 2);
    }
    QVERIFY(m_table->Locate(QStringLiteral("Име"), QStringLiteral("юта в"), true, true));
    QCOMPARE(m_table->RecNo(), int(names.size()));
    QVERIFY(m_table->Locate(QStringLiteral("Име"), QStringLiteral("ВЪНШНО"), true, true));
    QCOMPARE(m_table->RecNo(), 1);
    QCOMPARE(m_table->RecordCount(), int(names.size()));
    // Our save after theirs keeps both.
    m_table->FieldByName(QStringLiteral("Име"))->SetAsString(QStringLiteral("Наше име"));
    m_table->Post();
    names[0] = QStringLiteral("Наше име");
    QCOMPARE(StoredNames(path, QStringLiteral("customer")), names);
}

void TestTable::refreshInTransactionRereadsStoredValue()
{
    const QString path = makeTable(QStringLiteral("Firm"), {QStringLiteral("0000000041")});
    openOn(QStringLiteral("Firm"));
    QCOMPARE(m_table->FieldByName(QStringLiteral("Име"))->AsString(), QStringLiteral("0000000041"));
    WriteAside(path, QStringLiteral("UPDATE Firm SET \"Име\" = '0000000050'"));
    m_table->StartTransaction();
    m_table->Refresh();
    QCOMPARE(m_table->FieldByName(QStringLiteral("Име"))->AsString(), QStringLiteral("0000000050"));
    m_table->Rollback();
}

void TestTable::viewIsBrowsedButRefusesChangesClearly()
{
    const QString path =
        makeTable(QStringLiteral("data"), {QStringLiteral("Алфа"), QStringLiteral("Бета")});
    WriteAside(path, QStringLiteral("CREATE VIEW stock AS SELECT * FROM data"));
    QVERIFY(QFile::rename(path, m_dir->filePath(QStringLiteral("stock.db"))));
    openOn(QStringLiteral("stock"));
    QCOMPARE(m_table->RecordCount(), 2);
    QVERIFY(m_table->Locate(QStringLiteral("Име"), QStringLiteral("бе"), true, true));
    QCOMPARE(m_table->RecNo(), 2);
    QString message;
    try {
        m_table->FieldByName(QStringLiteral("Име"))->SetAsString(QStringLiteral("Гама"));
        m_table->Post();
    } catch (const UserError &error) {
        message = error.message();
    }
    QCOMPARE(message, QStringLiteral("Записът не може да бъде запазен в stock.db: stock е изглед "
                                     "(view), а не таблица, и записите му не могат да бъдат "
                                     "променяни."));
    m_table->Cancel();
    QCOMPARE(m_table->FieldByName(QStringLiteral("Име"))->AsString(), QStringLiteral("Бета"));
}

void TestTable::writeAheadLogIsSwitchedBack()
{
    const QString path = makeTable(QStringLiteral("stock"), {QStringLiteral("Алфа")});
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("wal"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("wal"));
    // Bytes 18 and 19 of the file's header: 1 for the rollback journal, 2 for a write-ahead log.
    auto header = [&] {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.read(20);
        return QByteArray(bytes.mid(18, 2));
    };
    QCOMPARE(header(), QByteArray("\x02\x02", 2));
    openOn(QStringLiteral("stock"));
    m_table->FieldByName(QStringLiteral("Име"))->SetAsString(QStringLiteral("Бета"));
    m_table->Post();
    m_table->Close();
    QCOMPARE(header(), QByteArray("\x01\x01", 2));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("stock.db")});
}

void TestTable::gridIsHandedPagesAsItScrolls()
{
    const QStringList names = GeneratedNames(1000, 17);
    makeTable(QStringLiteral("customer"), names);
    openOn(QStringLiteral("customer"));
    QVERIFY(m_table->rowCount() < 1000);
    QVERIFY(m_table->canFetchMore(QModelIndex()));
    m_table->SetRecNo(700); // the grid is shown the record moved to
    QVERIFY(m_table->rowCount() >= 700);
    QCOMPARE(m_table->data(m_table->index(699, 0)).toString(), names[699]);
    m_table->Last();
    QCOMPARE(m_table->rowCount(), 1000);
    QVERIFY(!m_table->canFetchMore(QModelIndex()));
    m_table->Insert();
    QCOMPARE(m_table->rowCount(), 1001);
    QCOMPARE(m_table->RecNo(), 1001);
}

void TestTable::longValuesAreComparedWhole_data()
{
    QTest::addColumn<QString>("text");
    const QString common = QStringLiteral("Абонаментна поддръжка на компютрите, ");
    QTest::newRow("prefix past the common part") << common.toUpper() + QStringLiteral("МЕСЕЧНА Т");
    QTest::newRow("prefix ending in the common part") << common.left(30);
    QTest::newRow("prefix as long as the common part") << common.left(24).toLower();
    QTest::newRow("whole long value in other case")
        << (common + QStringLiteral("месечна такса 7")).toUpper();
    QTest::newRow("long text no value begins with") << common + QStringLiteral("годишна");
    QTest::newRow("short text") << QStringLiteral("аб");
}

void TestTable::longValuesAreComparedWhole()
{
    QFETCH(QString, text);
    // Long descriptions that differ only past their first thirty letters.
    QStringList names;
    const QString common = QStringLiteral("Абонаментна поддръжка на компютрите, ");
    QRandomGenerator random(21);
    for (int i = 0; i < 3000; ++i) {
        const quint32 pick = random.bounded(4u);
        names.append(pick == 0   ? common.left(24)
                     : pick == 1 ? common + QStringLiteral("месечна такса %1").arg(i % 10)
                     : pick == 2 ? (common + QStringLiteral("Месечна Такса")).toUpper()
                                 : QStringLiteral("Абонамент %1").arg(i % 7));
    }
    makeTable(QStringLiteral("stock"), names);
    openOn(QStringLiteral("stock"));
    const int first = FirstWithPrefix(names, text);
    m_table->SetRecNo(1500);
    QCOMPARE(m_table->Locate(QStringLiteral("Име"), text, true, true), first > 0);
    QCOMPARE(m_table->RecNo(), first > 0 ? first : 1500);
    for (const auto kind : {TTable::FilterKind::Equal, TTable::FilterKind::AtLeast}) {
        m_table->SetFilter(QStringLiteral("Име"), kind, text);
        m_table->SetFiltered(true);
        QCOMPARE(Walk(*m_table), Kept(names, kind, text));
        QCOMPARE(m_table->RecordCount(), int(Kept(names, kind, text).size()));
        m_table->SetFiltered(false);
    }
}

void TestTable::randomWorkMatchesFullScan_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 2u, 3u, 4u})
        QTest::addRow("seed %u", seed) << seed;
}

void TestTable::randomWorkMatchesFullScan()
{
    // Searches, filters, edits, inserts, deletes and another program's writes in random order;
    // after each, what the table shows is what a full scan of the file says it should.
    QFETCH(quint32, seed);
    QStringList names = GeneratedNames(800, seed);
    const QString path = makeTable(QStringLiteral("customer"), names);
    openOn(QStringLiteral("customer"));
    QRandomGenerator random(seed);
    const QStringList texts{
        QStringLiteral("п"),  QStringLiteral("ПИРИН"), QStringLiteral("арго"),
        QStringLiteral("z"),  QStringLiteral("ё"),     QStringLiteral("бета оод1"),
        QStringLiteral("Я2"), QStringLiteral("нов"),   QString()};
    auto text = [&] { return texts[int(random.bounded(quint32(texts.size())))]; };
    bool filtered = false;
    auto kind = TTable::FilterKind::Equal;
    QString filterText;
    auto visible = [&] { return filtered ? Kept(names, kind, filterText) : names; };
    TField *name = m_table->FieldByName(QStringLiteral("Име"));
    // The place in the file of the visible record with that number.
    auto fileIndex = [&](int recNo) {
        for (int i = 0, seen = 0; i < names.size(); ++i)
            if ((!filtered || !Kept({names[i]}, kind, filterText).isEmpty()) && ++seen == recNo)
                return i;
        return -1;
    };
    for (int step = 0; step < 150; ++step) {
        const quint32 action = random.bounded(8u);
        if (action == 0) {
            kind = random.bounded(2u) ? TTable::FilterKind::Equal : TTable::FilterKind::AtLeast;
            filterText = text();
            m_table->SetFilter(QStringLiteral("Име"), kind, filterText);
            m_table->SetFiltered(true);
            filtered = true;
        } else if (action == 1) {
            m_table->SetFiltered(false);
            filtered = false;
        } else if (action == 2) {
            const QString wanted = text();
            const int expected = FirstWithPrefix(visible(), wanted);
            const int before = m_table->RecNo();
            QCOMPARE(m_table->Locate(QStringLiteral("Име"), wanted, true, true), expected > 0);
            QCOMPARE(m_table->RecNo(), expected > 0 ? expected : before);
        } else if (action == 3 && !m_table->IsEmpty()) {
            const int at = fileIndex(m_table->RecNo());
            QCOMPARE(name->AsString(), names[at]);
            names[at] = QStringLiteral("Нов %1").arg(step);
            name->SetAsString(names[at]);
            m_table->Post();
        } else if (action == 4) {
            m_table->Insert();
            name->SetAsString(QStringLiteral("Нова %1").arg(step));
            m_table->Post();
            names.append(QStringLiteral("Нова %1").arg(step));
        } else if (action == 5 && !m_table->IsEmpty()) {
            const int at = fileIndex(m_table->RecNo());
            QCOMPARE(name->AsString(), names[at]);
            m_table->Delete();
            names.removeAt(at);
        } else if (action == 6) {
            WriteAside(path, QStringLiteral("INSERT INTO customer (\"Име\") VALUES (?)"),
                       {QStringLiteral("Външна %1").arg(step)});
            names.append(QStringLiteral("Външна %1").arg(step));
            m_table->Refresh();
        } else {
            m_table->Refresh();
        }
        QCOMPARE(m_table->RecordCount(), int(visible().size()));
        if (step % 10 == 9)
            QCOMPARE(Walk(*m_table), visible());
    }
    m_table->SetFiltered(false);
    QCOMPARE(StoredNames(path, QStringLiteral("customer")), names);
}

void TestTable::filterWithKeysReadMatchesFullScan_data()
{
    filterOnLargeTableMatchesFullScan_data();
}

void TestTable::filterWithKeysReadMatchesFullScan()
{
    // The same filters once a search has read the column's keys: then they are found from the
    // sorted keys rather than from the values.
    QFETCH(QString, text);
    QFETCH(int, kind);
    const QStringList names = GeneratedNames(6000, 11);
    makeTable(QStringLiteral("customer"), names);
    openOn(QStringLiteral("customer"));
    m_table->Locate(QStringLiteral("Име"), QStringLiteral("п"), true, true);
    const auto filterKind = TTable::FilterKind(kind);
    const QStringList expected = Kept(names, filterKind, text);
    m_table->SetFilter(QStringLiteral("име"), filterKind, text);
    m_table->SetFiltered(true);
    QCOMPARE(m_table->IsEmpty(), expected.isEmpty());
    QCOMPARE(Walk(*m_table), expected);
    QCOMPARE(m_table->RecordCount(), int(expected.size()));
}

void TestTable::gridModelKeepsQtRules()
{
    // Qt's own checks of an item model watch the grid's model through scrolling, searches,
    // filters, inserts, deletes and another program's writes; any breach fails the test.
    QStringList names = GeneratedNames(3012, 19);
    const QString path = makeTable(QStringLiteral("customer"), names);
    openOn(QStringLiteral("customer"));
    QAbstractItemModelTester tester(m_table.get(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    TField *name = m_table->FieldByName(QStringLiteral("Име"));
    while (m_table->canFetchMore(QModelIndex()))
        m_table->fetchMore(QModelIndex());
    QCOMPARE(m_table->rowCount(), 3012);
    QVERIFY(m_table->Locate(QStringLiteral("Име"), QStringLiteral("пирин"), true, true));
    m_table->SetFilter(QStringLiteral("Име"), TTable::FilterKind::AtLeast, QStringLiteral("п"));
    m_table->SetFiltered(true);
    m_table->Last();
    m_table->Insert();
    name->SetAsString(QStringLiteral("Пирин ново"));
    m_table->Post();
    m_table->SetRecNo(3);
    name->SetAsString(QStringLiteral("Алфа"));
    m_table->Post();
    m_table->Delete();
    m_table->SetFiltered(false);
    m_table->SetRecNo(2000);
    m_table->Delete();
    m_table->Insert();
    m_table->Cancel();
    WriteAside(path, QStringLiteral("DELETE FROM customer WHERE rowid < 100"));
    m_table->Refresh();
    m_table->FieldByName(QStringLiteral("К-во"))->SetIndex(0);
    m_table->Last();
    m_table->Close();
    openOn(QStringLiteral("customer"));
    QCOMPARE(m_table->RecordCount(), 3012 - 99);
}

void TestTable::keysReadAheadMatchFullScan_data()
{
    QTest::addColumn<QString>("meanwhile");
    for (const char *what :
         {"nothing", "our save", "our insert", "our delete", "another program's insert",
          "another program's delete", "a transaction rolled back", "a transaction committed"})
        QTest::newRow(what) << QString::fromLatin1(what);
}

void TestTable::keysReadAheadMatchFullScan()
{
    // A large table's search keys are read on another thread; whatever happens to the table
    // while they are read, what a search finds is what a full scan of the file says.
    QFETCH(QString, meanwhile);
    QStringList names = GeneratedNames(6000, 23);
    const QString path = makeTable(QStringLiteral("customer"), names);
    openOn(QStringLiteral("customer"));
    TField *name = m_table->FieldByName(QStringLiteral("Име"));
    const QStringList texts{QStringLiteral("п"), QStringLiteral("Я2"), QStringLiteral("нов"),
                            QStringLiteral("външ"), QStringLiteral("ZETA L")};
    for (int round = 0; round < 3; ++round) {
        m_table->SearchAhead(QStringLiteral("Име"));
        const QString mark = QStringLiteral("%1 %2").arg(round);
        if (meanwhile == QLatin1String("our save")) {
            m_table->SetRecNo(7 + round);
            name->SetAsString(mark.arg(QStringLiteral("Нов")));
            m_table->Post();
            names[6 + round] = mark.arg(QStringLiteral("Нов"));
        } else if (meanwhile == QLatin1String("our insert")) {
            m_table->Insert();
            name->SetAsString(mark.arg(QStringLiteral("Нова")));
            m_table->Post();
            names.append(mark.arg(QStringLiteral("Нова")));
        } else if (meanwhile == QLatin1String("our delete")) {
            m_table->SetRecNo(1);
            m_table->Delete();
            names.removeFirst();
        } else if (meanwhile == QLatin1String("another program's insert")) {
            WriteAside(path, QStringLiteral("INSERT INTO customer (\"Име\") VALUES (?)"),
                       {mark.arg(QStringLiteral("Външна"))});
            names.append(mark.arg(QStringLiteral("Външна")));
        } else if (meanwhile == QLatin1String("another program's delete")) {
            WriteAside(path, QStringLiteral("DELETE FROM customer WHERE rowid = "
                                            "(SELECT min(rowid) FROM customer)"));
            names.removeFirst();
        } else if (meanwhile.startsWith(QLatin1String("a transaction"))) {
            const bool commit = meanwhile.endsWith(QLatin1String("committed"));
            m_table->StartTransaction();
            m_table->SetRecNo(2);
            name->SetAsString(mark.arg(QStringLiteral("Новото")));
            m_table->Post();
            QVERIFY(m_table->Locate(QStringLiteral("Име"), mark.arg(QStringLiteral("новото"))));
            if (commit) {
                m_table->Commit();
                names[1] = mark.arg(QStringLiteral("Новото"));
            } else {
                m_table->Rollback();
            }
        }
        for (const QString &text : texts) {
            const int expected = FirstWithPrefix(names, text);
            QCOMPARE(m_table->Locate(QStringLiteral("Име"), text, true, true), expected > 0);
            if (expected > 0)
                QCOMPARE(m_table->RecNo(), expected);
        }
        m_table->SetFilter(QStringLiteral("Име"), TTable::FilterKind::AtLeast, QStringLiteral("я"));
        m_table->SetFiltered(true);
        const QStringList kept = Kept(names, TTable::FilterKind::AtLeast, QStringLiteral("я"));
        QCOMPARE(Walk(*m_table), kept);
        // Every value begins with an empty text: the first visible record is found.
        m_table->Last();
        QCOMPARE(m_table->Locate(QStringLiteral("Име"), QStringLiteral(""), true, true),
                 !kept.isEmpty());
        QCOMPARE(m_table->RecNo(), kept.isEmpty() ? 0 : 1);
        m_table->SetFiltered(false);
    }
    QCOMPARE(StoredNames(path, QStringLiteral("customer")), names);
}

void TestTable::transactionGuardEndsEveryWayOut_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("stored");
    QTest::newRow("commit reached keeps the change")
        << QStringLiteral("commit") << QStringLiteral("0000000042");
    QTest::newRow("an error rolls back") << QStringLiteral("error") << QStringLiteral("0000000041");
    QTest::newRow("an early return rolls back")
        << QStringLiteral("return") << QStringLiteral("0000000041");
}

void TestTable::transactionGuardEndsEveryWayOut()
{
    QFETCH(QString, way);
    QFETCH(QString, stored);
    makeTable(QStringLiteral("Firm"), {QStringLiteral("0000000041")});
    openOn(QStringLiteral("Firm"));
    TField *counter = m_table->FieldByName(QStringLiteral("Име"));
    const auto block = [&] {
        TableTransaction transaction(*m_table);
        counter->SetAsString(QStringLiteral("0000000042"));
        m_table->Post();
        if (way == QLatin1String("return"))
            return;
        if (way == QLatin1String("error")) // not a number: throws the conversion error
            m_table->FieldByName(QStringLiteral("К-во"))->SetAsString(QStringLiteral("много"));
        transaction.commit();
    };
    try {
        block();
    } catch (const ConversionError &) {
        QCOMPARE(way, QStringLiteral("error"));
    }
    QCOMPARE(m_table->InTransaction(), false);
    QCOMPARE(counter->AsString(), stored);
    m_table->Close();
    QCOMPARE(StoredNames(m_dir->filePath(QStringLiteral("Firm.db")), QStringLiteral("Firm")),
             QStringList{stored});
}

void TestTable::damagedFileIsReportedNotThrown_data()
{
    QTest::addColumn<bool>("inTransaction");
    QTest::newRow("the grid paints what it cannot read empty") << false;
    QTest::newRow("a rollback reads again and cannot") << true;
}

void TestTable::damagedFileIsReportedNotThrown()
{
    // The file is overwritten under the open table: the grid and Rollback cannot throw (they run
    // from painting and from the clean-up of other errors), so they tell the user once instead.
    QFETCH(bool, inTransaction);
    const QString path = makeTable(QStringLiteral("customer"), GeneratedNames(1000, 29));
    openOn(QStringLiteral("customer"));
    QSignalSpy reported(m_table.get(), &TTable::ErrorOccurred);
    if (inTransaction) {
        m_table->StartTransaction();
        m_table->FieldByName(QStringLiteral("Име"))->SetAsString(QStringLiteral("Ново"));
        m_table->Post();
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.write(QByteArray(int(file.size()), 'x'));
    file.close();
    if (inTransaction) {
        m_table->Rollback();
        QCOMPARE(m_table->InTransaction(), false);
        QCOMPARE(m_table->rowCount(), 0);
    } else {
        for (int row = 1; row < m_table->rowCount(); ++row)
            QCOMPARE(m_table->data(m_table->index(row, 0)).toString(), QString());
        QCOMPARE(reported.count(), 0); // not while painting
        QCoreApplication::processEvents();
    }
    QCOMPARE(reported.count(), 1);
    QVERIFY(reported.first().first().toString().contains(QStringLiteral("не може")));
}

void TestTable::storedTextIsReadAndFoundAlike_data()
{
    QTest::addColumn<QString>("bytes"); // as an SQL blob literal
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    QTest::newRow("a letter of four bytes")
        << "F0909080D091" << QStringLiteral("\U00010400Б") << QStringLiteral("\U00010428б");
    QTest::newRow("a byte out of place")
        << "D0B080D0B1" << QStringLiteral("а\uFFFDб") << QStringLiteral("А\uFFFDБ");
    QTest::newRow("a letter cut short at the end")
        << "D0B0D0" << QStringLiteral("а\uFFFD") << QStringLiteral("А\uFFFD");
    QTest::newRow("a letter written too long")
        << "C0AF" << QStringLiteral("\uFFFD\uFFFD") << QStringLiteral("\uFFFD");
}

void TestTable::storedTextIsReadAndFoundAlike()
{
    // Another program may store any bytes as text: what the field shows is what a search
    // compares, valid UTF-8 or not.
    QFETCH(QString, bytes);
    QFETCH(QString, text);
    QFETCH(QString, search);
    const QString path = makeTable(QStringLiteral("customer"), GeneratedNames(5000, 31));
    WriteAside(
        path,
        QStringLiteral("INSERT INTO customer (\"Име\") VALUES (CAST(X'%1' AS TEXT))").arg(bytes));
    openOn(QStringLiteral("customer"));
    QVERIFY(m_table->Locate(QStringLiteral("Име"), search, true, true));
    QCOMPARE(m_table->RecNo(), 5001);
    QCOMPARE(m_table->FieldByName(QStringLiteral("Име"))->AsString(), text);
    m_table->SetFilter(QStringLiteral("Име"), TTable::FilterKind::Equal, text.toUpper());
    m_table->SetFiltered(true);
    QCOMPARE(Walk(*m_table), QStringList{text});
}

QTEST_GUILESS_MAIN(TestTable)
#include "tst_table.moc"
