#include "journal/JournalReader.h"

#include "base/Decimal.h"
#include "base/ProgramFolder.h"
#include "document/DocumentNumber.h"
#include "journal/JournalDatabase.h"
#include "journal/JournalKeys.h"
#include "print/ArchiveName.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <map>

#include <sqlite3.h>

namespace
{
// A read-only connection of the caller's thread, without the toolkit's registry of connections,
// so that the totals can be summed on a thread of their own.
class Database
{
public:
    Database(const QString &file) : m_file(file)
    {
        const QByteArray uri = JournalFileUri(file, "ro").toUtf8();
        const int result = sqlite3_open_v2(uri.constData(), &m_db,
                                           SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
        if (result != SQLITE_OK) {
            const QString reason = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                        : QString::fromUtf8(sqlite3_errstr(result));
            sqlite3_close(m_db);
            m_db = nullptr;
            throw JournalError(QStringLiteral("Дневникът %1 не може да бъде отворен: %2")
                                   .arg(NativeName(file), reason));
        }
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~Database() { sqlite3_close(m_db); }
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    sqlite3 *get() const { return m_db; }
    [[noreturn]] void fail() const
    {
        throw JournalError(JournalReadProblem(m_file) + QStringLiteral(": ") +
                           QString::fromUtf8(sqlite3_errmsg(m_db)));
    }

private:
    QString m_file;
    sqlite3 *m_db = nullptr;
};

// A statement that ends in a reset, so that no read lock stays on the journal and the print can
// always write it.
class Statement
{
public:
    Statement(const Database &db, const QString &sql) : m_db(db)
    {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db.get(), text.constData(), int(text.size()), &m_statement,
                               nullptr) != SQLITE_OK)
            db.fail();
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int index, const QVariant &value)
    {
        if (value.isNull()) {
            sqlite3_bind_null(m_statement, index);
        } else if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int) {
            sqlite3_bind_int64(m_statement, index, value.toLongLong());
        } else {
            const QString text = value.toString();
            sqlite3_bind_text16(m_statement, index, text.utf16(),
                                int(text.size() * qsizetype(sizeof(QChar))), SQLITE_TRANSIENT);
        }
    }
    void bindAll(const QVariantList &values, int first = 1)
    {
        for (int i = 0; i < values.size(); ++i)
            bind(first + i, values[i]);
    }
    // True while it yields a row. An interruption ends it like the last row (interrupted()).
    bool step()
    {
        const int result = sqlite3_step(m_statement);
        if (result == SQLITE_ROW)
            return true;
        sqlite3_reset(m_statement);
        if (result == SQLITE_INTERRUPT) {
            m_interrupted = true;
            return false;
        }
        if (result != SQLITE_DONE)
            m_db.fail();
        return false;
    }
    void reset()
    {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
    bool interrupted() const { return m_interrupted; }
    bool isNull(int column) const
    {
        return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
    }
    qint64 integer(int column) const { return sqlite3_column_int64(m_statement, column); }
    QString text(int column) const
    {
        const void *data = sqlite3_column_text16(m_statement, column);
        return data ? QString(static_cast<const QChar *>(data),
                              sqlite3_column_bytes16(m_statement, column) / int(sizeof(QChar)))
                    : QString();
    }
    QByteArray bytes(int column) const
    {
        const char *data = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
        return QByteArray(data, sqlite3_column_bytes(m_statement, column));
    }
    QVariant value(int column) const
    {
        switch (sqlite3_column_type(m_statement, column)) {
        case SQLITE_NULL:
            return QVariant();
        case SQLITE_INTEGER:
            return QVariant(integer(column));
        default:
            return QVariant(text(column));
        }
    }

private:
    const Database &m_db;
    sqlite3_stmt *m_statement = nullptr;
    bool m_interrupted = false;
};

// The filter as conditions on the keys "k": terms joined by AND, their values in order, and the
// phrase for the trigram index when the search is long enough to use it.
struct Where {
    QString terms;
    QVariantList values;
    QString phrase;
    QString folded;
};

// The trigram index finds a part of three characters or more; a shorter part is searched for in
// the keys themselves.
constexpr int kIndexedSearch = 3;
// Clients holding at least this share of the pages (one in so many) are found newest first.
constexpr qint64 kDenseShare = 32;
// A period holding fewer pages than this is read through the index of dates; a longer one is
// read newest first without it, which finds the newest of its pages sooner than a sort would.
constexpr int kNarrowPeriod = 20000;

bool NarrowPeriod(const Database &db, const JournalFilter &filter)
{
    Statement count(db, QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM JournalKeys WHERE "
                                       "Day BETWEEN ? AND ? LIMIT ?)"));
    count.bindAll(
        {filter.from.isNull()
             ? qint64(0)
             : qint64(filter.from.year() * 10000 + filter.from.month() * 100 + filter.from.day()),
         filter.to.isNull()
             ? qint64(99991231)
             : qint64(filter.to.year() * 10000 + filter.to.month() * 100 + filter.to.day()),
         qint64(kNarrowPeriod)});
    const bool narrow = count.step() && count.integer(0) < kNarrowPeriod;
    count.reset();
    return narrow;
}

qint64 DayOf(const QDate &date)
{
    return date.year() * 10000 + date.month() * 100 + date.day();
}

Where WhereOf(const Database &db, const JournalFilter &filter)
{
    Where where;
    if (!filter.kind.isEmpty()) {
        where.terms += QStringLiteral(" AND k.Kind = ?");
        where.values << filter.kind;
    }
    if (!filter.from.isNull() || !filter.to.isNull()) {
        // A page whose date cannot be read is in no period.
        const QString day =
            NarrowPeriod(db, filter) ? QStringLiteral("k.Day") : QStringLiteral("+k.Day");
        where.terms += QStringLiteral(" AND %1 > 0").arg(day);
        if (!filter.from.isNull()) {
            where.terms += QStringLiteral(" AND %1 >= ?").arg(day);
            where.values << DayOf(filter.from);
        }
        if (!filter.to.isNull()) {
            where.terms += QStringLiteral(" AND %1 <= ?").arg(day);
            where.values << DayOf(filter.to);
        }
    }
    const QString search = filter.search.trimmed();
    if (search.isEmpty())
        return where;
    where.folded = FoldedForSearch(search);
    if (where.folded.toUcs4().size() >= kIndexedSearch) {
        QString quoted = where.folded;
        quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        where.phrase = QLatin1Char('"') + quoted + QLatin1Char('"');
        where.terms += QStringLiteral(" AND instr(k.Folded, ?) > 0");
        where.values << where.folded;
    } else if (DigitsOnly(where.folded)) {
        // One or two digits are in most numbers: the newest matches are near.
        where.terms += QStringLiteral(" AND instr(k.Folded, ?) > 0");
        where.values << where.folded;
    } else {
        // One or two letters: the clients that hold them, read through the index of clients when
        // they have few pages, newest first past the others when they have many.
        const QString names =
            QStringLiteral("SELECT %1 FROM JournalNames WHERE Pages > 0 AND instr(Folded, ?) > 0");
        Statement count(db, names.arg(QStringLiteral("IFNULL(SUM(Pages), 0)")));
        count.bind(1, where.folded);
        const qint64 pages = count.step() ? count.integer(0) : 0;
        count.reset();
        Statement all(db, QStringLiteral("SELECT IFNULL(SUM(Pages), 0) FROM JournalNames"));
        const qint64 total = all.step() ? all.integer(0) : 0;
        all.reset();
        const QString name =
            pages * kDenseShare >= total ? QStringLiteral("+k.Name") : QStringLiteral("k.Name");
        where.terms += QStringLiteral(" AND %1 IN (%2)").arg(name, names.arg(QStringLiteral("No")));
        where.values << where.folded;
    }
    return where;
}

// "FROM ... WHERE ..." over the keys "k" for the filter, driven by the trigram index when there
// is a phrase, with the pages themselves as "j" when asked; `below` (the Id) and the Id order are
// added by the caller.
QString FromWhere(const Where &where, bool withPages = false)
{
    const QString pages = withPages ? QStringLiteral(" JOIN Journal j ON j.Id = k.Id") : QString();
    if (!where.phrase.isEmpty())
        return QStringLiteral("FROM JournalText JOIN JournalKeys k ON k.Id = JournalText.rowid") +
               pages + QStringLiteral(" WHERE JournalText MATCH ?") + where.terms;
    return QStringLiteral("FROM JournalKeys k") + pages + QStringLiteral(" WHERE 1") + where.terms;
}

QVariantList ValuesOf(const Where &where)
{
    QVariantList values;
    if (!where.phrase.isEmpty())
        values << where.phrase;
    return values + where.values;
}

QString IdColumn(const Where &where)
{
    return where.phrase.isEmpty() ? QStringLiteral("k.Id") : QStringLiteral("JournalText.rowid");
}

int StopWhenAsked(void *stopped)
{
    const auto &function = *static_cast<const std::function<bool()> *>(stopped);
    return function() ? 1 : 0;
}

QString Placeholders(int count)
{
    QStringList marks;
    for (int i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return marks.join(QStringLiteral(", "));
}

bool HasTable(const Database &db, const char *name)
{
    Statement query(db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = ?"));
    query.bind(1, QString::fromLatin1(name));
    const bool found = query.step();
    query.reset();
    return found;
}
} // namespace

struct JournalReader::Private {
    QString file;
    std::unique_ptr<Database> db;
};

JournalReader::JournalReader(const QString &journalFile) : d(std::make_unique<Private>())
{
    d->file = journalFile;
    if (!QFileInfo::exists(journalFile))
        return;
    d->db = std::make_unique<Database>(journalFile);
    if (!HasTable(*d->db, "JournalKeys"))
        throw JournalError(JournalReadProblem(journalFile) +
                           QStringLiteral(": дневникът не е подготвен за прозореца."));
}

JournalReader::~JournalReader() = default;

QVector<qint64> JournalReader::pageIds(const JournalFilter &filter, qint64 below, int limit) const
{
    QVector<qint64> ids;
    if (!d->db)
        return ids;
    const Where where = WhereOf(*d->db, filter);
    const QString id = IdColumn(where);
    QString sql = QStringLiteral("SELECT k.Id ") + FromWhere(where);
    QVariantList values = ValuesOf(where);
    if (below > 0) {
        sql += QStringLiteral(" AND %1 < ?").arg(id);
        values << below;
    }
    sql += QStringLiteral(" ORDER BY %1 DESC LIMIT ?").arg(id);
    values << qint64(limit);
    Statement query(*d->db, sql);
    query.bindAll(values);
    while (query.step())
        ids.append(query.integer(0));
    return ids;
}

QVector<JournalListRow> JournalReader::rows(const QVector<qint64> &ids) const
{
    QVector<JournalListRow> rows;
    if (!d->db || ids.isEmpty())
        return rows;
    Statement query(*d->db,
                    QStringLiteral("SELECT j.Id, j.Number, j.Kind, j.DocumentDate, j.ClientName, "
                                   "j.TaxBase, j.Vat, j.Total, j.HomeCurrency, j.IsCopy, "
                                   "k.Series, k.Number FROM Journal j JOIN JournalKeys k ON k.Id "
                                   "= j.Id WHERE j.Id IN (%1)")
                        .arg(Placeholders(int(ids.size()))));
    QVariantList values;
    for (const qint64 id : ids)
        values << id;
    query.bindAll(values);
    struct Found {
        JournalListRow row;
        qint64 series = 0, number = 0;
    };
    QHash<qint64, Found> found;
    while (query.step()) {
        Found f;
        f.row.id = query.integer(0);
        f.row.number = query.text(1);
        f.row.kind = query.text(2);
        f.row.documentDate = query.text(3);
        f.row.clientName = query.text(4);
        f.row.taxBase = query.text(5);
        f.row.vat = query.text(6);
        f.row.total = query.text(7);
        f.row.homeCurrency = IsoCurrencyCode(query.text(8));
        f.row.copy = query.integer(9) != 0;
        f.series = query.integer(10);
        f.number = query.isNull(11) ? 0 : query.integer(11);
        found.insert(f.row.id, f);
    }

    // The marks: the gap right below the number in its series (none below the series' first
    // number) and whether another document carries it.
    Statement below(*d->db, QStringLiteral("SELECT Number FROM JournalKeys WHERE Series = ? AND "
                                           "Number < ? ORDER BY Number DESC LIMIT 1"));
    Statement documents(*d->db, QStringLiteral("SELECT COUNT(DISTINCT Document) FROM JournalKeys "
                                               "WHERE Series = ? AND Number = ?"));
    for (const qint64 id : ids) {
        const auto f = found.constFind(id);
        if (f == found.cend())
            continue;
        JournalListRow row = f->row;
        if (f->number > 0) {
            SeriesMark mark;
            below.bindAll({f->series, f->number});
            if (below.step() && below.integer(0) + 1 < f->number) {
                mark.gapFrom = below.integer(0) + 1;
                mark.gapTo = f->number - 1;
            }
            below.reset();
            documents.bindAll({f->series, f->number});
            mark.repeated = documents.step() && documents.integer(0) > 1;
            documents.reset();
            row.mark = MarkText(mark);
        }
        rows.append(row);
    }
    return rows;
}

JournalEntry JournalReader::entry(qint64 id) const
{
    if (d->db) {
        Statement query(*d->db, QStringLiteral("SELECT %1 FROM Journal WHERE Id = ?")
                                    .arg(JournalListColumns().join(QStringLiteral(", "))));
        query.bind(1, id);
        if (query.step()) {
            JournalEntry entry;
            entry.id = id;
            SetJournalValues(
                entry, [&query](int i) { return query.value(i); }, 0);
            query.reset();
            return entry;
        }
    }
    throw JournalError(JournalReadProblem(d->file) +
                       QStringLiteral(": страницата вече не е в дневника."));
}

std::optional<JournalTotals> JournalReader::totals(const JournalFilter &filter,
                                                   const std::function<bool()> &stopped) const
{
    JournalTotals totals;
    if (!d->db)
        return totals;
    // Without a search the sums of the days answer; a search reads the pages it finds.
    QString sql;
    QVariantList values;
    if (filter.search.trimmed().isEmpty()) {
        sql = QStringLiteral("SELECT HomeCode, ForeignCode, Pages, Counted, TaxBase, Vat, Total, "
                             "ForeignTotal, Newest FROM JournalDays WHERE Pages > 0");
        if (!filter.kind.isEmpty()) {
            sql += QStringLiteral(" AND Kind = ?");
            values << filter.kind;
        }
        if (!filter.from.isNull() || !filter.to.isNull())
            sql += QStringLiteral(" AND Day > 0");
        if (!filter.from.isNull()) {
            sql += QStringLiteral(" AND Day >= ?");
            values << DayOf(filter.from);
        }
        if (!filter.to.isNull()) {
            sql += QStringLiteral(" AND Day <= ?");
            values << DayOf(filter.to);
        }
    } else {
        const Where where = WhereOf(*d->db, filter);
        sql = QStringLiteral("SELECT k.HomeCode, k.ForeignCode, 1, k.Counted, k.TaxBase, k.Vat, "
                             "k.Total, k.ForeignTotal, k.Id ") +
              FromWhere(where);
        values = ValuesOf(where);
    }
    Statement query(*d->db, sql);
    query.bindAll(values);
    if (stopped)
        sqlite3_progress_handler(d->db->get(), 20000, StopWhenAsked,
                                 const_cast<std::function<bool()> *>(&stopped));
    // Summed here rather than grouped by SQLite, which would sort every page by its currency.
    struct Group {
        QByteArray home, foreign;
        qint64 counted = 0, taxBase = 0, vat = 0, total = 0, foreignTotal = 0, newest = 0;
    };
    std::vector<Group> groups;
    Group *last = nullptr;
    const auto add = [](qint64 &sum, const Statement &q, int column) {
        if (!q.isNull(column))
            sum = Decimal::FixedAdd(sum, q.integer(column));
    };
    try {
        while (query.step()) {
            totals.count += query.integer(2);
            if (query.integer(3) == 0)
                continue;
            const QByteArray home = query.bytes(0), foreign = query.bytes(1);
            if (!last || last->home != home || last->foreign != foreign) {
                last = nullptr;
                for (Group &group : groups)
                    if (group.home == home && group.foreign == foreign)
                        last = &group;
                if (!last) {
                    groups.push_back({home, foreign});
                    last = &groups.back();
                }
            }
            last->counted += query.integer(3);
            add(last->taxBase, query, 4);
            add(last->vat, query, 5);
            add(last->total, query, 6);
            add(last->foreignTotal, query, 7);
            last->newest = qMax(last->newest, query.integer(8));
        }
    } catch (...) {
        sqlite3_progress_handler(d->db->get(), 0, nullptr, nullptr);
        throw;
    }
    sqlite3_progress_handler(d->db->get(), 0, nullptr, nullptr);
    if (query.interrupted())
        return std::nullopt;

    // Home currencies first, then the second currencies, each newest first as the list shows
    // them.
    std::sort(groups.begin(), groups.end(),
              [](const Group &a, const Group &b) { return a.newest > b.newest; });
    QVector<CurrencySum> home, second;
    const auto sumOf = [](QVector<CurrencySum> &sums, const QString &code,
                          bool isHome) -> CurrencySum & {
        for (CurrencySum &sum : sums)
            if (sum.code == code)
                return sum;
        CurrencySum sum;
        sum.code = code;
        sum.home = isHome;
        sums.append(sum);
        return sums.last();
    };
    for (const Group &group : groups) {
        CurrencySum &h = sumOf(home, QString::fromUtf8(group.home), true);
        h.taxBase = Decimal::FixedAdd(h.taxBase, group.taxBase);
        h.vat = Decimal::FixedAdd(h.vat, group.vat);
        h.total = Decimal::FixedAdd(h.total, group.total);
        if (!group.foreign.isEmpty()) {
            CurrencySum &f = sumOf(second, QString::fromUtf8(group.foreign), false);
            f.total = Decimal::FixedAdd(f.total, group.foreignTotal);
        }
    }
    totals.sums = home + second;
    return totals;
}

bool JournalReader::forEachEntry(const JournalFilter &filter,
                                 const std::function<bool(const JournalEntry &)> &take) const
{
    if (!d->db)
        return true;
    const Where where = WhereOf(*d->db, filter);
    QStringList columns;
    for (const QString &column : JournalListColumns())
        columns << QStringLiteral("j.") + column;
    Statement query(*d->db, QStringLiteral("SELECT j.Id, %1 ").arg(columns.join(", ")) +
                                FromWhere(where, true) +
                                QStringLiteral(" ORDER BY %1 DESC").arg(IdColumn(where)));
    query.bindAll(ValuesOf(where));
    while (query.step()) {
        JournalEntry entry;
        entry.id = query.integer(0);
        SetJournalValues(
            entry, [&query](int i) { return query.value(i); }, 1);
        if (!take(entry)) {
            query.reset();
            return false;
        }
    }
    return true;
}

JournalSpan JournalReader::span(const QString &counter, int firmRecNo) const
{
    JournalSpan span{counter, firmRecNo, 0, 0};
    if (!d->db)
        return span;
    // One end at a time: each is a single step down the index.
    for (const char *order : {"ASC", "DESC"}) {
        Statement query(*d->db, QStringLiteral("SELECT Number FROM JournalKeys WHERE Counter = ? "
                                               "AND FirmRecNo = ? AND Number IS NOT NULL ORDER "
                                               "BY Number %1 LIMIT 1")
                                    .arg(QLatin1String(order)));
        query.bindAll({CounterCode(counter), firmRecNo});
        const qint64 number = query.step() ? query.integer(0) : 0;
        query.reset();
        (qstrcmp(order, "ASC") == 0 ? span.first : span.last) = number;
    }
    return span;
}

bool JournalReader::holds(const QString &counter, int firmRecNo, qint64 number) const
{
    if (!d->db)
        return false;
    Statement query(*d->db, QStringLiteral("SELECT 1 FROM JournalKeys WHERE Counter = ? AND "
                                           "FirmRecNo = ? AND Number = ? LIMIT 1"));
    query.bindAll({CounterCode(counter), firmRecNo, number});
    const bool found = query.step();
    query.reset();
    return found;
}

bool WriteJournalCsv(const JournalReader &reader, const JournalFilter &filter, QIODevice &out,
                     qint64 total, const JournalProgress &progress)
{
    constexpr qint64 kBlock = 1 << 16;
    constexpr qint64 kRowsPerStep = 512;
    QByteArray block = JournalCsvHeader();
    const auto write = [&out, &block] {
        if (out.write(block) != block.size())
            throw UserError(out.errorString());
        block.clear();
    };
    qint64 done = 0;
    if (progress && !progress(0, total))
        return false;
    const bool whole = reader.forEachEntry(filter, [&](const JournalEntry &entry) {
        block += JournalCsvRow(entry);
        if (block.size() >= kBlock)
            write();
        return ++done % kRowsPerStep != 0 || !progress || progress(done, total);
    });
    if (!whole)
        return false;
    write();
    return true;
}

QVector<StoredCounter> ReadStoredCounters(const QString &firmFile)
{
    QVector<StoredCounter> counters;
    if (!QFileInfo(firmFile).isFile())
        return counters;
    try {
        const Database db(firmFile);
        Statement query(db, QStringLiteral("SELECT \"%1\", \"%2\" FROM Firm ORDER BY rowid")
                                .arg(kInvoiceCounter, kProformaCounter));
        int record = 0;
        while (query.step()) {
            ++record;
            for (int column = 0; column < 2; ++column) {
                const QString field = column == 0 ? kInvoiceCounter : kProformaCounter;
                try {
                    counters.append({field, record, CounterValue(query.text(column), field)});
                } catch (const UserError &) {
                    // A counter that is no number is refused where it is used; here it has
                    // nothing to compare.
                }
            }
        }
    } catch (const JournalError &) {
        // The own-company table is told about where it is opened; without it there is no
        // counter to compare.
    }
    return counters;
}

QStringList ArchivedPageNames(const QString &folder)
{
    QStringList names;
    QDirIterator it(folder, {QStringLiteral("V*Firm*_*.bmp")}, QDir::Files);
    while (it.hasNext()) {
        it.next();
        names << it.fileName();
    }
    return names;
}

QString CheckJournalSeries(const QString &journalFile, const QString &countersFile,
                           const QString &archiveFolder)
{
    const QVector<StoredCounter> counters = ReadStoredCounters(countersFile);
    const QStringList names = ArchivedPageNames(archiveFolder);
    const JournalReader reader(journalFile);
    QSet<std::pair<QString, int>> series;
    for (const StoredCounter &counter : counters)
        series.insert({counter.counter, counter.firmRecNo});
    for (const QString &name : names) {
        const ArchivedPageName page = ArchivedPageOf(name);
        if (page.valid)
            series.insert({page.counter, page.firmRecNo});
    }
    QVector<JournalSpan> spans;
    for (const auto &[counter, firmRecNo] : series)
        spans.append(reader.span(counter, firmRecNo));
    return FindingsText(CheckSeries(
        spans, counters, names, [&reader](const QString &counter, int firmRecNo, qint64 number) {
            return reader.holds(counter, firmRecNo, number);
        }));
}
