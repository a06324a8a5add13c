#include "journal/JournalReader.h"

#include "base/ProgramFolder.h"
#include "document/DocumentNumber.h"
#include "journal/JournalDatabase.h"
#include "journal/JournalModel.h"
#include "journal/JournalStore.h"

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace
{
struct Client {
    const char *name;
    int share; // one page in so many
};
// Clients in both letter cases, "й" beside "и", a Latin one, one of a single page among seventy
// (so that its letters are looked up through the index of clients), and none.
const Client kClients[] = {{"Ален Мак ООД", 3},
                           {"АЛЕН МАК ЕООД", 5},
                           {"Йордан Трейд", 4},
                           {"Иордан Транс", 6},
                           {"Zelen Ltd", 7},
                           {"Кристал АД", 2},
                           {"", 11}};

// A page of the journal as the print stores it, varied by its place.
JournalEntry Page(int i)
{
    JournalEntry e;
    const bool proforma = i % 9 == 4;
    e.series = proforma ? kProformaCounter : kInvoiceCounter;
    // Invoices numbered with gaps (every 13th skipped), a number given twice to two documents,
    // one number typed with a letter.
    e.number = TenDigits(proforma ? i : i + i / 13);
    if (i == 50)
        e.number = TenDigits(49 + 49 / 13);
    if (i == 33)
        e.number = QStringLiteral("12а");
    e.kind = proforma ? kKindProforma : i % 10 == 7 ? kKindCreditNote : kKindInvoice;
    e.clientName = QString::fromUtf8(kClients[0].name);
    for (const Client &client : kClients)
        if (i % client.share == 0)
            e.clientName = QString::fromUtf8(client.name);
    if (i == 61)
        e.clientName = QStringLiteral("Щерев и синове");
    e.documentDate = QDate(2026, 1 + i % 3, 1 + i % 28).toString(QStringLiteral("dd.MM.yyyy"));
    if (i == 20)
        e.documentDate = QStringLiteral("по-късно"); // read from the day it was printed
    if (i == 21)
        e.documentDate.clear();
    e.printedAt = i == 21 ? QString() : QStringLiteral("2026-02-14T10:00:00");
    const bool euro = i % 8 == 5;
    e.homeCurrency = euro ? QStringLiteral("EUR") : QStringLiteral("BGN");
    e.foreignCurrency = euro ? QStringLiteral("BGN") : QStringLiteral("EUR");
    const qint64 cents = (i % 10 == 7 ? -1 : 1) * (1000 + 37 * i);
    const auto money = [](qint64 c) { return QString::number(c / 100.0, 'f', 2); };
    e.taxBase = money(cents);
    e.vat = money(cents / 5);
    e.total = i == 40 ? QStringLiteral("abc") : money(cents + cents / 5);
    e.foreignTotal = money((cents + cents / 5) / 2);
    e.supplierVat = QStringLiteral("175402918");
    e.bitmapFile = QStringLiteral("/DB/V%1Firm1_%2_.bmp")
                       .arg(proforma ? QStringLiteral("Proform") : QStringLiteral("Inv"), e.number);
    return e;
}

// The copy of a page: the same document once more.
JournalEntry CopyOf(JournalEntry e)
{
    e.copy = true;
    e.bitmapFile.replace(QStringLiteral("_.bmp"), QStringLiteral("_copy.bmp"));
    return e;
}

// Statements on the journal as another program would run them.
void OnJournal(const QString &file, const QStringList &statements)
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

// Writes the pages as years of prints would have, the first through the print's own transaction
// (which lays the journal out), the others in one commit, then makes the journal ready.
void WriteJournal(const QString &folder, const QVector<JournalEntry> &pages)
{
    IssueRequest request;
    request.tablesFolder = folder;
    request.counterField = kInvoiceCounter;
    request.number = 1;
    {
        IssueTransaction issue(request);
        issue.commit(&pages.first());
    }
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("writer"));
        db.setDatabaseName(JournalFileName(folder));
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(QStringLiteral("BEGIN")));
        QStringList marks;
        for (int i = 0; i < JournalColumns().size(); ++i)
            marks << QStringLiteral("?");
        query.prepare(QStringLiteral("INSERT INTO Journal (%1) VALUES (%2)")
                          .arg(JournalColumns().join(", "), marks.join(", ")));
        for (int i = 1; i < pages.size(); ++i) {
            for (const QVariant &value : JournalValues(pages[i]))
                query.addBindValue(value);
            QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
        }
        QVERIFY(query.exec(QStringLiteral("COMMIT")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("writer"));
    PrepareJournalForReading(JournalFileName(folder), QString(), {});
}

// The window's rules over every page: the ids that pass, newest first, and their sums.
QVector<qint64> IdsByTheRules(const QVector<JournalEntry> &all, const JournalFilter &filter)
{
    QVector<qint64> ids;
    for (const JournalEntry &entry : all)
        if (MatchesFilter(entry, filter))
            ids << entry.id;
    return ids;
}

QString SumsByTheRules(const QVector<JournalEntry> &all, const JournalFilter &filter)
{
    QVector<JournalEntry> shown;
    for (const JournalEntry &entry : all)
        if (MatchesFilter(entry, filter))
            shown << entry;
    return shown.isEmpty() ? QStringLiteral("none") : SumsText(SumsPerCurrency(shown));
}

QString SumsOf(const JournalTotals &totals)
{
    return totals.count == 0 ? QStringLiteral("none") : SumsText(totals.sums);
}

// The reader's list of the filter, fetched a few pages at a time as the window scrolls.
QVector<qint64> IdsInBatches(const JournalReader &reader, const JournalFilter &filter)
{
    QVector<qint64> ids;
    for (;;) {
        const QVector<qint64> batch = reader.pageIds(filter, ids.isEmpty() ? 0 : ids.last(), 7);
        ids += batch;
        if (batch.size() < 7)
            return ids;
    }
}
} // namespace

// The journal as its window reads it: the same pages and sums as the window's rules give, also
// after other programs changed the journal; the list model under the toolkit's model tester.
class TestJournalReader : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void readerAgreesWithTheRules_data();
    void readerAgreesWithTheRules();
    void marksAgreeWithTheRules();
    void keysFollowOtherPrograms_data();
    void keysFollowOtherPrograms();
    void csvStreamsTheRows();
    void listModel();
    void workOnTheSide();

private:
    QString journal() const { return JournalFileName(m_dir->path()); }
    std::unique_ptr<QTemporaryDir> m_dir;
    QVector<JournalEntry> m_pages;
};

void TestJournalReader::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    const QString firm = m_dir->filePath(QStringLiteral("Firm.db"));
    QVERIFY(
        QFile::copy(qEnvironmentVariable("VORNEX_SAMPLE_DB") + QStringLiteral("/Firm.db"), firm));
    QFile::setPermissions(firm, QFile::ReadOwner | QFile::WriteOwner);
    m_pages.clear();
    for (int i = 0; i < 70; ++i) {
        m_pages << Page(i);
        if (i % 6 == 1)
            m_pages << CopyOf(Page(i));
    }
    WriteJournal(m_dir->path(), m_pages);
}

void TestJournalReader::readerAgreesWithTheRules_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    const QDate none;
    QTest::newRow("every page") << ""
                                << "" << none << none;
    QTest::newRow("three letters in the other case") << "АЛЕН"
                                                     << "" << none << none;
    QTest::newRow("a whole client") << "ален мак оод"
                                    << "" << none << none;
    QTest::newRow("two letters") << "ма"
                                 << "" << none << none;
    QTest::newRow("one letter") << "а"
                                << "" << none << none;
    QTest::newRow("a letter of a single page") << "щ"
                                               << "" << none << none;
    QTest::newRow("й is not и") << "йор"
                                << "" << none << none;
    QTest::newRow("и is not й") << "ио"
                                << "" << none << none;
    QTest::newRow("a Latin client in capitals") << "ZEL"
                                                << "" << none << none;
    QTest::newRow("two digits of the numbers") << "42"
                                               << "" << none << none;
    QTest::newRow("one digit") << "7"
                               << "" << none << none;
    QTest::newRow("a whole number") << "0000000042"
                                    << "" << none << none;
    QTest::newRow("a number with a letter") << "2а"
                                            << "" << none << none;
    QTest::newRow("blanks around the search") << "  мак "
                                              << "" << none << none;
    QTest::newRow("a quote is only a character") << "' OR 1=1"
                                                 << "" << none << none;
    QTest::newRow("signs of patterns are characters") << "%_\""
                                                      << "" << none << none;
    QTest::newRow("nothing found") << "нямакакъв"
                                   << "" << none << none;
    QTest::newRow("a kind") << ""
                            << "Кредитно известие" << none << none;
    QTest::newRow("a period") << ""
                              << "" << QDate(2026, 2, 1) << QDate(2026, 2, 28);
    QTest::newRow("from a day on") << ""
                                   << "" << QDate(2026, 3, 10) << none;
    QTest::newRow("a period, a kind and a search")
        << "ал"
        << "Фактура" << QDate(2026, 1, 1) << QDate(2026, 2, 20);
}

void TestJournalReader::readerAgreesWithTheRules()
{
    QFETCH(QString, search);
    QFETCH(QString, kind);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    const JournalFilter filter{search, from, to, kind};
    const QVector<JournalEntry> all = ReadJournal(journal());
    const JournalReader reader(journal());
    QCOMPARE(IdsInBatches(reader, filter), IdsByTheRules(all, filter));
    const std::optional<JournalTotals> totals = reader.totals(filter);
    QVERIFY(totals);
    QCOMPARE(totals->count, qint64(IdsByTheRules(all, filter).size()));
    QCOMPARE(SumsOf(*totals), SumsByTheRules(all, filter));
}

void TestJournalReader::marksAgreeWithTheRules()
{
    const QVector<JournalEntry> all = ReadJournal(journal());
    QVector<SeriesItem> items;
    for (const JournalEntry &entry : all)
        items << SeriesItemOf(entry);
    const QVector<SeriesMark> marks = FindGapsAndRepeats(items);
    QVector<qint64> ids;
    for (const JournalEntry &entry : all)
        ids << entry.id;
    const QVector<JournalListRow> rows = JournalReader(journal()).rows(ids);
    QCOMPARE(rows.size(), all.size());
    int marked = 0;
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i].id, all[i].id);
        QCOMPARE(rows[i].mark, MarkText(marks[i]));
        QCOMPARE(rows[i].clientName, all[i].clientName);
        QCOMPARE(rows[i].total, all[i].total);
        marked += rows[i].mark.isEmpty() ? 0 : 1;
    }
    QVERIFY(marked > 3); // the gaps and the repeat are there to be marked
}

void TestJournalReader::keysFollowOtherPrograms_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("waiting"); // pages marked for new keys
    QTest::newRow("the newest page removed")
        << "DELETE FROM Journal WHERE Id = (SELECT MAX(Id) FROM Journal)"
        << "" << 1;
    QTest::newRow("a client renamed") << "UPDATE Journal SET ClientName = 'Нов Клиент' WHERE Id = 3"
                                      << "нов кл" << 1;
    QTest::newRow("an original removed: its copy counts") << "DELETE FROM Journal WHERE Id = 2"
                                                          << "" << 1;
    QTest::newRow("a page added")
        << "INSERT INTO Journal (Number, Series, Kind, ClientName, HomeCurrency, Total) VALUES "
           "('0000009999', 'Фактура №', 'Фактура', 'Добавен ЕТ', 'BGN', '1.00')"
        << "добав" << 1;
}

void TestJournalReader::keysFollowOtherPrograms()
{
    QFETCH(QString, statement);
    QFETCH(QString, search);
    QFETCH(int, waiting);
    OnJournal(journal(), {statement});
    QCOMPARE(PagesWithoutKeys(journal()), qint64(waiting));
    PrepareJournalForReading(journal(), QString(), {});
    QCOMPARE(PagesWithoutKeys(journal()), qint64(0));
    const QVector<JournalEntry> all = ReadJournal(journal());
    const JournalReader reader(journal());
    for (const QString &text : {search, QString()}) {
        const JournalFilter filter{text, QDate(), QDate(), QString()};
        QCOMPARE(IdsInBatches(reader, filter), IdsByTheRules(all, filter));
        QCOMPARE(SumsOf(*reader.totals(filter)), SumsByTheRules(all, filter));
    }
}

void TestJournalReader::csvStreamsTheRows()
{
    const JournalFilter filter{QStringLiteral("ал"), QDate(), QDate(), QString()};
    QVector<JournalEntry> shown;
    for (const JournalEntry &entry : ReadJournal(journal()))
        if (MatchesFilter(entry, filter))
            shown << entry;
    const JournalReader reader(journal());
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QList<qint64> told;
    QVERIFY(WriteJournalCsv(reader, filter, buffer, shown.size(), [&told](qint64 done, qint64) {
        told << done;
        return true;
    }));
    QCOMPARE(buffer.data(), JournalCsv(shown));
    QCOMPARE(told, QList<qint64>{0});
    // Stopped at the start, it writes nothing.
    QBuffer stopped;
    stopped.open(QIODevice::WriteOnly);
    QVERIFY(!WriteJournalCsv(reader, filter, stopped, 0, [](qint64, qint64) { return false; }));
    QCOMPARE(stopped.data(), QByteArray());
}

void TestJournalReader::listModel()
{
    // A few thousand pages more, so that the list is fetched in several batches.
    QVector<JournalEntry> more;
    for (int i = 0; i < 3000; ++i) {
        JournalEntry page = Page(i % 70);
        page.number = TenDigits(1000 + i);
        more << page;
    }
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("more"));
        db.setDatabaseName(journal());
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(QStringLiteral("BEGIN")));
        query.prepare(QStringLiteral("INSERT INTO Journal (Number, Series, Kind, ClientName, "
                                     "DocumentDate, HomeCurrency, Total) VALUES (?, ?, ?, ?, ?, "
                                     "?, ?)"));
        for (const JournalEntry &page : more) {
            for (const QString &value : {page.number, page.series, page.kind, page.clientName,
                                         page.documentDate, page.homeCurrency, page.total})
                query.addBindValue(value);
            QVERIFY(query.exec());
        }
        QVERIFY(query.exec(QStringLiteral("COMMIT")));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("more"));
    PrepareJournalForReading(journal(), QString(), {});

    JournalModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setJournal(journal());
    QVERIFY(model.rowCount() < 3000);
    while (model.canFetchMore(QModelIndex()))
        model.fetchMore(QModelIndex());
    const QVector<JournalEntry> all = ReadJournal(journal());
    QCOMPARE(model.rowCount(), all.size());
    for (const int row : {0, 1, 700, 2999, int(all.size()) - 1}) {
        QCOMPARE(model.idAt(row), all[row].id);
        QCOMPARE(model.index(row, JournalModel::NumberColumn).data().toString(), all[row].number);
        QCOMPARE(model.index(row, JournalModel::ClientColumn).data().toString(),
                 all[row].clientName);
    }
    model.setFilter({QStringLiteral("кристал"), QDate(), QDate(), QString()});
    while (model.canFetchMore(QModelIndex()))
        model.fetchMore(QModelIndex());
    const JournalFilter filter = model.filter();
    QCOMPARE(model.rowCount(), IdsByTheRules(all, filter).size());
    QCOMPARE(model.idAt(model.rowCount() - 1), IdsByTheRules(all, filter).last());
    model.setJournal(JournalFileName(m_dir->filePath(QStringLiteral("none"))));
    QCOMPARE(model.rowCount(), 0);
}

void TestJournalReader::workOnTheSide()
{
    const JournalFilter older{QStringLiteral("ален"), QDate(), QDate(), QString()};
    const JournalFilter newer{QStringLiteral("кристал"), QDate(), QDate(), QString()};
    const QVector<JournalEntry> all = ReadJournal(journal());
    JournalBackground background;
    QSignalSpy totals(&background, &JournalBackground::totalsReady);
    QSignalSpy findings(&background, &JournalBackground::seriesChecked);
    QSignalSpy failures(&background, &JournalBackground::failed);
    // Asked twice before the list is back to its events: only the newer totals are told.
    background.requestTotals(journal(), older);
    background.requestTotals(journal(), newer);
    background.requestSeriesCheck(journal(), QDir(m_dir->path()).filePath(kCounterTable),
                                  ArchiveFolder(m_dir->path()));
    QTRY_COMPARE(totals.size(), 1);
    QTRY_COMPARE(findings.size(), 1);
    const JournalTotals told = totals.first().first().value<JournalTotals>();
    QCOMPARE(told.count, qint64(IdsByTheRules(all, newer).size()));
    QCOMPARE(SumsOf(told), SumsByTheRules(all, newer));
    // The sample's counters stand below the generated numbers: nothing lacks.
    QCOMPARE(findings.first().first().toString(), QString());
    // Asked and then dropped, nothing is told.
    background.requestTotals(journal(), older);
    background.cancelTotals();
    QTest::qWait(200);
    QCOMPARE(totals.size(), 1);
    QCOMPARE(failures.size(), 0);
}

QTEST_GUILESS_MAIN(TestJournalReader)
#include "tst_journalreader.moc"
