#include "journal/JournalKeys.h"

#include "base/Decimal.h"
#include "base/Errors.h"
#include "journal/JournalDatabase.h"
#include "journal/JournalView.h"
#include "journal/NumberSeries.h"

#include <QCryptographicHash>
#include <QSet>
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
    "CREATE TABLE IF NOT EXISTS JournalKeys (Id INTEGER PRIMARY KEY, Day INTEGER, Kind TEXT, "
    "Folded TEXT, Name INTEGER, Series INTEGER, Counter TEXT, FirmRecNo INTEGER, Number INTEGER, "
    "Document INTEGER, Counted INTEGER NOT NULL DEFAULT 1, HomeCode TEXT, TaxBase INTEGER, "
    "Vat INTEGER, Total INTEGER, ForeignCode TEXT, ForeignTotal INTEGER)",
    "CREATE INDEX IF NOT EXISTS JournalKeysKind ON JournalKeys (Kind)",
    "CREATE INDEX IF NOT EXISTS JournalKeysName ON JournalKeys (Name)",
    "CREATE TABLE IF NOT EXISTS JournalNames (No INTEGER PRIMARY KEY, Folded TEXT NOT NULL "
    "UNIQUE, Pages INTEGER NOT NULL DEFAULT 0)",
    "CREATE INDEX IF NOT EXISTS JournalKeysDay ON JournalKeys (Day)",
    "CREATE INDEX IF NOT EXISTS JournalKeysNumber ON JournalKeys (Series, Number)",
    "CREATE INDEX IF NOT EXISTS JournalKeysCounter ON JournalKeys (Counter, FirmRecNo, Number)",
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
    keys.name = QStringLiteral("") + FoldedForSearch(entry.clientName);
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
    QSqlQuery pick(db);
    pick.prepare(QStringLiteral("SELECT Id FROM JournalStale ORDER BY Id DESC LIMIT ?"));
    pick.addBindValue(limit);
    Run<JournalError>(pick, what);
    QVector<qint64> ids;
    while (pick.next())
        ids.append(pick.value(0).toLongLong());
    pick.finish();

    QSqlQuery old(db), unindex(db), drop(db), page(db), insert(db), index(db), done(db);
    QSqlQuery leave(db), name(db);
    old.prepare(
        QStringLiteral("SELECT Folded, Series, Number, Name FROM JournalKeys WHERE Id = ?"));
    leave.prepare(QStringLiteral("UPDATE JournalNames SET Pages = Pages - 1 WHERE No = ?"));
    name.prepare(QStringLiteral("INSERT INTO JournalNames (Folded, Pages) VALUES (?, 1) ON "
                                "CONFLICT (Folded) DO UPDATE SET Pages = Pages + 1 RETURNING No"));
    unindex.prepare(QStringLiteral(
        "INSERT INTO JournalText (JournalText, rowid, Folded) VALUES ('delete', ?, ?)"));
    drop.prepare(QStringLiteral("DELETE FROM JournalKeys WHERE Id = ?"));
    page.prepare(QStringLiteral("SELECT %1 FROM Journal WHERE Id = ?")
                     .arg(JournalListColumns().join(QStringLiteral(", "))));
    insert.prepare(QStringLiteral(
        "INSERT INTO JournalKeys (Id, Day, Kind, Folded, Name, Series, Counter, FirmRecNo, "
        "Number, Document, HomeCode, TaxBase, Vat, Total, ForeignCode, ForeignTotal) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    index.prepare(QStringLiteral("INSERT INTO JournalText (rowid, Folded) VALUES (?, ?)"));
    done.prepare(QStringLiteral("DELETE FROM JournalStale WHERE Id = ?"));

    QSet<Group> groups;
    for (const qint64 id : ids) {
        old.addBindValue(id);
        Run<JournalError>(old, what);
        if (old.next()) {
            if (old.value(2).toLongLong() > 0)
                groups.insert({old.value(1).toLongLong(), old.value(2).toLongLong()});
            unindex.addBindValue(id);
            unindex.addBindValue(old.value(0));
            leave.addBindValue(old.value(3));
            old.finish();
            Run<JournalError>(unindex, what);
            Run<JournalError>(leave, what);
            drop.addBindValue(id);
            Run<JournalError>(drop, what);
        }
        old.finish();

        page.addBindValue(id);
        Run<JournalError>(page, what);
        if (page.next()) {
            JournalEntry entry;
            SetJournalValues(
                entry, [&page](int i) { return page.value(i); }, 0);
            page.finish();
            const PageKeys keys = KeysOf(entry);
            name.addBindValue(keys.name);
            Run<JournalError>(name, what);
            const QVariant nameNo = name.next() ? name.value(0) : QVariant();
            name.finish();
            const QVariantList values{id,
                                      keys.day ? QVariant(*keys.day) : QVariant(),
                                      keys.kind,
                                      keys.folded,
                                      nameNo,
                                      keys.series,
                                      keys.counter,
                                      keys.firmRecNo > 0 ? QVariant(keys.firmRecNo) : QVariant(),
                                      keys.number > 0 ? QVariant(keys.number) : QVariant(),
                                      keys.document,
                                      keys.homeCode,
                                      Optional(keys.taxBase),
                                      Optional(keys.vat),
                                      Optional(keys.total),
                                      keys.foreignCode,
                                      Optional(keys.foreignTotal)};
            for (const QVariant &value : values)
                insert.addBindValue(value);
            Run<JournalError>(insert, what);
            index.addBindValue(id);
            index.addBindValue(keys.folded);
            Run<JournalError>(index, what);
            if (keys.number > 0)
                groups.insert({keys.series, keys.number});
        }
        page.finish();
        done.addBindValue(id);
        Run<JournalError>(done, what);
    }

    // Of the pages of one document (an original, its copies, prints again) the first counts.
    QSqlQuery count(db);
    count.prepare(QStringLiteral(
        "UPDATE JournalKeys SET Counted = (Id = (SELECT MIN(k.Id) FROM JournalKeys k WHERE "
        "k.Series = JournalKeys.Series AND k.Number = JournalKeys.Number AND k.Document = "
        "JournalKeys.Document)) WHERE Series = ? AND Number = ?"));
    for (const Group &group : std::as_const(groups)) {
        count.addBindValue(group.series);
        count.addBindValue(group.number);
        Run<JournalError>(count, what);
    }
    return ids.size();
}
