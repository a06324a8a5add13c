#include "journal/JournalKeys.h"

#include "base/Decimal.h"
#include "base/Errors.h"
#include "document/DocumentNumber.h"
#include "journal/JournalDatabase.h"
#include "journal/JournalView.h"
#include "journal/NumberSeries.h"

#include <QCryptographicHash>
#include <QSet>
#include <QSqlError>
#include <QtEndian>

namespace
{
// A hash that stays the same from run to run and from machine to machine.
qint64 StableHash(const QString &text)
{
    const QByteArray digest = QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1);
    return qFromBigEndian<qint64>(digest.constData());
}

std::optional<qint64> Units(const QString &text)
{
    try {
        return Decimal::TextToFixed(text);
    } catch (const UserError &) {
        return std::nullopt;
    }
}

QVariant Optional(const std::optional<qint64> &value)
{
    return value ? QVariant(*value) : QVariant();
}

// The statements of the layout step, in order. The triggers only mark pages: the keys need the
// program's own reading of dates and amounts, which another program's connection has not.
const char *const kCreateKeys[] = {
    // What the sums read first, the folded texts last.
    "CREATE TABLE IF NOT EXISTS JournalKeys (Id INTEGER PRIMARY KEY, Day INTEGER NOT NULL, "
    "Kind TEXT NOT NULL, Counted INTEGER NOT NULL, HomeCode TEXT NOT NULL, ForeignCode TEXT NOT "
    "NULL, TaxBase INTEGER, Vat INTEGER, Total INTEGER, ForeignTotal INTEGER, Name INTEGER, "
    "Series INTEGER, Number INTEGER, Document INTEGER, Counter INTEGER, FirmRecNo INTEGER, "
    "Folded TEXT)",
    "CREATE INDEX IF NOT EXISTS JournalKeysKind ON JournalKeys (Kind)",
    "CREATE INDEX IF NOT EXISTS JournalKeysDay ON JournalKeys (Day)",
    "CREATE INDEX IF NOT EXISTS JournalKeysName ON JournalKeys (Name)",
    "CREATE INDEX IF NOT EXISTS JournalKeysNumber ON JournalKeys (Series, Number)",
    "CREATE INDEX IF NOT EXISTS JournalKeysCounter ON JournalKeys (Counter, FirmRecNo, Number)",
    "CREATE TABLE IF NOT EXISTS JournalNames (No INTEGER PRIMARY KEY, Folded TEXT NOT NULL "
    "UNIQUE, Pages INTEGER NOT NULL DEFAULT 0)",
    // The sums of the pages of each day, kind and pair of currencies, so that the sums of a
    // period or a kind need not read the pages.
    "CREATE TABLE IF NOT EXISTS JournalDays (Day INTEGER NOT NULL, Kind TEXT NOT NULL, HomeCode "
    "TEXT NOT NULL, ForeignCode TEXT NOT NULL, Pages INTEGER NOT NULL, Counted INTEGER NOT NULL, "
    "TaxBase INTEGER NOT NULL, Vat INTEGER NOT NULL, Total INTEGER NOT NULL, ForeignTotal "
    "INTEGER NOT NULL, Newest INTEGER NOT NULL, PRIMARY KEY (Day, Kind, HomeCode, ForeignCode)) "
    "WITHOUT ROWID",
    // The keys hold the texts folded already, so the index needs no folding of its own.
    "CREATE VIRTUAL TABLE IF NOT EXISTS JournalText USING fts5(Folded, content='JournalKeys', "
    "content_rowid='Id', tokenize='trigram case_sensitive 1')",
    "CREATE TABLE IF NOT EXISTS JournalStale (Id INTEGER PRIMARY KEY)",
    "CREATE TRIGGER IF NOT EXISTS JournalAdded AFTER INSERT ON Journal BEGIN "
    "INSERT OR IGNORE INTO JournalStale (Id) VALUES (NEW.Id); END",
    "CREATE TRIGGER IF NOT EXISTS JournalChanged AFTER UPDATE ON Journal BEGIN "
    "INSERT OR IGNORE INTO JournalStale (Id) VALUES (OLD.Id); "
    "INSERT OR IGNORE INTO JournalStale (Id) VALUES (NEW.Id); END",
    "CREATE TRIGGER IF NOT EXISTS JournalRemoved AFTER DELETE ON Journal BEGIN "
    "INSERT OR IGNORE INTO JournalStale (Id) VALUES (OLD.Id); END",
    "INSERT OR IGNORE INTO JournalStale (Id) SELECT Id FROM Journal"};

// A text never stored as NULL: the keys compare and group by it.
QString NotNull(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

struct Group {
    qint64 series, number;
    bool operator==(const Group &other) const
    {
        return series == other.series && number == other.number;
    }
};

size_t qHash(const Group &group, size_t seed)
{
    return qHashMulti(seed, group.series, group.number);
}

// What a page adds to the sums of its day.
struct DayShare {
    qint64 id = 0;
    QVariant day, kind, home, foreign;
    qint64 amounts[4] = {0, 0, 0, 0}; // tax base, VAT, total, foreign total; 0 for no number
};

// Writes the keys of pages and keeps the sums of the days and the counts of the names with
// them, in the transaction in force.
class KeyWriter
{
public:
    KeyWriter(const QSqlDatabase &db, const QString &what) : m_db(db), m_what(what)
    {
        prepare(m_old, "SELECT Day, Kind, HomeCode, ForeignCode, Counted, TaxBase, Vat, Total, "
                       "ForeignTotal, Folded, Name, Series, Number FROM JournalKeys WHERE Id = ?");
        prepare(m_unindex,
                "INSERT INTO JournalText (JournalText, rowid, Folded) VALUES ('delete', ?, ?)");
        prepare(m_leave, "UPDATE JournalNames SET Pages = Pages - 1 WHERE No = ?");
        prepare(m_drop, "DELETE FROM JournalKeys WHERE Id = ?");
        prepare(m_page, QStringLiteral("SELECT %1 FROM Journal WHERE Id = ?")
                            .arg(JournalListColumns().join(QStringLiteral(", ")))
                            .toUtf8()
                            .constData());
        prepare(m_name, "INSERT INTO JournalNames (Folded, Pages) VALUES (?, 1) ON CONFLICT "
                        "(Folded) DO UPDATE SET Pages = Pages + 1 RETURNING No");
        prepare(m_earlier, "SELECT EXISTS (SELECT 1 FROM JournalKeys WHERE Series = ? AND Number "
                           "= ? AND Document = ? AND Id < ?)");
        prepare(m_insert,
                "INSERT INTO JournalKeys (Id, Day, Kind, Counted, HomeCode, ForeignCode, TaxBase, "
                "Vat, Total, ForeignTotal, Name, Series, Number, Document, Counter, FirmRecNo, "
                "Folded) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        prepare(m_index, "INSERT INTO JournalText (rowid, Folded) VALUES (?, ?)");
        prepare(m_day, "INSERT INTO JournalDays (Day, Kind, HomeCode, ForeignCode, Pages, "
                       "Counted, TaxBase, Vat, Total, ForeignTotal, Newest) VALUES (?, ?, ?, ?, ?, "
                       "?, ?, ?, ?, ?, ?) ON CONFLICT (Day, Kind, HomeCode, ForeignCode) DO UPDATE "
                       "SET Pages = Pages + excluded.Pages, Counted = Counted + excluded.Counted, "
                       "TaxBase = TaxBase + excluded.TaxBase, Vat = Vat + excluded.Vat, Total = "
                       "Total + excluded.Total, ForeignTotal = ForeignTotal + "
                       "excluded.ForeignTotal, Newest = MAX(Newest, excluded.Newest)");
        prepare(m_newest, "UPDATE JournalDays SET Newest = (SELECT IFNULL(MAX(Id), 0) FROM "
                          "JournalKeys WHERE Day = ? AND Kind = ? AND HomeCode = ? AND "
                          "ForeignCode = ? AND Counted = 1) WHERE Day = ? AND Kind = ? AND "
                          "HomeCode = ? AND ForeignCode = ? AND Newest = ?");
        prepare(m_group, "SELECT Id, Document, Counted, Day, Kind, HomeCode, ForeignCode, "
                         "TaxBase, Vat, Total, ForeignTotal FROM JournalKeys WHERE Series = ? "
                         "AND Number = ? ORDER BY Id");
        prepare(m_count, "UPDATE JournalKeys SET Counted = ? WHERE Id = ?");
        prepare(m_done, "DELETE FROM JournalStale WHERE Id = ?");
    }

    // Brings the keys of the page up to it: the old ones go, the page's own come, if it is there.
    void refresh(qint64 id)
    {
        bind(m_old, {id});
        if (m_old.next()) {
            const DayShare share = shareOf(m_old, id, 0, 5);
            const bool counted = m_old.value(4).toBool();
            const QVariant folded = m_old.value(9), name = m_old.value(10);
            if (m_old.value(12).toLongLong() > 0)
                m_groups.insert({m_old.value(11).toLongLong(), m_old.value(12).toLongLong()});
            m_old.finish();
            bind(m_unindex, {id, folded});
            bind(m_leave, {name});
            bind(m_drop, {id});
            toDay(share, -1, counted ? -1 : 0);
        }
        m_old.finish();

        bind(m_page, {id});
        if (m_page.next()) {
            JournalEntry entry;
            SetJournalValues(
                entry, [this](int i) { return m_page.value(i); }, 0);
            m_page.finish();
            add(id, KeysOf(entry));
        }
        m_page.finish();
        bind(m_done, {id});
    }

    // Of the pages of one document (an original, its copies, prints again) the first counts:
    // the numbers the refreshed pages had or have are counted again.
    void recount()
    {
        for (const Group &group : std::as_const(m_groups)) {
            bind(m_group, {group.series, group.number});
            struct Page {
                DayShare share;
                qint64 document;
                bool counted;
            };
            QVector<Page> pages;
            while (m_group.next())
                pages.append({shareOf(m_group, m_group.value(0).toLongLong(), 3, 7),
                              m_group.value(1).toLongLong(), m_group.value(2).toBool()});
            m_group.finish();
            QSet<qint64> documents;
            for (const Page &page : pages) {
                const bool first = !documents.contains(page.document);
                documents.insert(page.document);
                if (first == page.counted)
                    continue;
                bind(m_count, {first ? 1 : 0, page.share.id});
                toDay(page.share, 0, first ? 1 : -1);
            }
        }
        m_groups.clear();
    }

private:
    void prepare(QSqlQuery &query, const char *sql)
    {
        query = QSqlQuery(m_db);
        if (!query.prepare(QString::fromUtf8(sql)))
            throw JournalError(m_what + QStringLiteral(": ") + query.lastError().text().trimmed());
    }
    void bind(QSqlQuery &query, const QVariantList &values)
    {
        for (const QVariant &value : values)
            query.addBindValue(value);
        Run<JournalError>(query, m_what);
    }

    // The day's share of a row whose day, kind and currencies start at `first`, its amounts at
    // `amountsAt`.
    static DayShare shareOf(const QSqlQuery &row, qint64 id, int first, int amountsAt)
    {
        DayShare share;
        share.id = id;
        share.day = row.value(first);
        share.kind = row.value(first + 1);
        share.home = row.value(first + 2);
        share.foreign = row.value(first + 3);
        for (int i = 0; i < 4; ++i)
            share.amounts[i] = row.value(amountsAt + i).toLongLong();
        return share;
    }

    void add(qint64 id, const PageKeys &keys)
    {
        bind(m_name, {keys.name});
        const QVariant name = m_name.next() ? m_name.value(0) : QVariant();
        m_name.finish();
        bool counted = true;
        if (keys.number > 0) {
            bind(m_earlier, {keys.series, keys.number, keys.document, id});
            counted = !(m_earlier.next() && m_earlier.value(0).toBool());
            m_earlier.finish();
            m_groups.insert({keys.series, keys.number});
        }
        bind(m_insert, {id, keys.day.value_or(0), NotNull(keys.kind), counted ? 1 : 0,
                        NotNull(keys.homeCode), NotNull(keys.foreignCode), Optional(keys.taxBase),
                        Optional(keys.vat), Optional(keys.total), Optional(keys.foreignTotal), name,
                        keys.series, keys.number > 0 ? QVariant(keys.number) : QVariant(),
                        keys.document, CounterCode(keys.counter),
                        keys.firmRecNo > 0 ? QVariant(keys.firmRecNo) : QVariant(), keys.folded});
        bind(m_index, {id, keys.folded});
        DayShare share;
        share.id = id;
        share.day = keys.day.value_or(0);
        share.kind = NotNull(keys.kind);
        share.home = NotNull(keys.homeCode);
        share.foreign = NotNull(keys.foreignCode);
        const std::optional<qint64> *amounts[4] = {&keys.taxBase, &keys.vat, &keys.total,
                                                   &keys.foreignTotal};
        for (int i = 0; i < 4; ++i)
            share.amounts[i] = amounts[i]->value_or(0);
        toDay(share, 1, counted ? 1 : 0);
    }

    // Adds a page (or takes it away) and its amounts (when it counts or stops counting) to the
    // sums of its day.
    void toDay(const DayShare &share, int pages, int counted)
    {
        bind(m_day,
             {share.day, share.kind, share.home, share.foreign, pages, counted,
              counted * share.amounts[0], counted * share.amounts[1], counted * share.amounts[2],
              counted * share.amounts[3], counted > 0 ? share.id : 0});
        if (counted < 0)
            bind(m_newest, {share.day, share.kind, share.home, share.foreign, share.day, share.kind,
                            share.home, share.foreign, share.id});
    }

    QSqlDatabase m_db;
    QString m_what;
    QSqlQuery m_old, m_unindex, m_leave, m_drop, m_page, m_name, m_earlier, m_insert, m_index;
    QSqlQuery m_day, m_newest, m_group, m_count, m_done;
    QSet<Group> m_groups;
};
} // namespace

bool DigitsOnly(const QString &text)
{
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

QString FoldedForSearch(const QString &text)
{
    return text.toCaseFolded();
}

PageKeys KeysOf(const JournalEntry &entry)
{
    PageKeys keys;
    const QDate date = DocumentDateOf(entry);
    if (date.isValid())
        keys.day = date.year() * 10000 + date.month() * 100 + date.day();
    keys.kind = entry.kind;
    keys.folded =
        FoldedForSearch(entry.number) + QLatin1Char('\n') + FoldedForSearch(entry.clientName);
    // Never a null text: a page without a client has the empty name.
    keys.name = NotNull(FoldedForSearch(entry.clientName));
    if (!DigitsOnly(entry.number))
        keys.name += QLatin1Char('\n') + FoldedForSearch(entry.number);
    const SeriesItem item = SeriesItemOf(entry);
    keys.series = StableHash(item.series);
    keys.document = StableHash(item.document);
    keys.number = SeriesNumber(entry.number);
    keys.counter = entry.series;
    const ArchivedPageName page = ArchivedPageOf(entry.bitmapFile);
    if (page.valid)
        keys.firmRecNo = page.firmRecNo;
    keys.homeCode = entry.homeCurrency;
    keys.foreignCode = entry.foreignCurrency;
    keys.taxBase = Units(entry.taxBase);
    keys.vat = Units(entry.vat);
    keys.total = Units(entry.total);
    keys.foreignTotal = Units(entry.foreignTotal);
    return keys;
}

void CreateKeyTables(const QSqlDatabase &db, const QString &what)
{
    QSqlQuery query(db);
    for (const char *sql : kCreateKeys)
        Run<JournalError>(query, QString::fromLatin1(sql), what);
}

qint64 StaleKeyCount(const QSqlDatabase &db, const QString &what)
{
    return JournalValue(db, QStringLiteral("SELECT COUNT(*) FROM JournalStale"), what).toLongLong();
}

qint64 RefreshKeys(const QSqlDatabase &db, const QString &what, qint64 limit)
{
    // The newest pages first, so that a window that stops early lists them; within a batch the
    // oldest first, as the pages were added, which keeps the tables' pages full.
    QSqlQuery pick(db);
    pick.prepare(QStringLiteral("SELECT Id FROM JournalStale ORDER BY Id DESC LIMIT ?"));
    pick.addBindValue(limit);
    Run<JournalError>(pick, what);
    QVector<qint64> ids;
    while (pick.next())
        ids.prepend(pick.value(0).toLongLong());
    pick.finish();
    KeyWriter writer(db, what);
    for (const qint64 id : std::as_const(ids))
        writer.refresh(id);
    writer.recount();
    return ids.size();
}

int CounterCode(const QString &counter)
{
    return counter == kInvoiceCounter ? 1 : counter == kProformaCounter ? 2 : 0;
}
