#include "journal/JournalStore.h"

#include "document/DocumentNumber.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

namespace
{
// The page columns of "Journal" after "Id", in the order of JournalEntry.
const QStringList kColumns = {QStringLiteral("Number"),
                              QStringLiteral("Series"),
                              QStringLiteral("Kind"),
                              QStringLiteral("Title"),
                              QStringLiteral("DocumentDate"),
                              QStringLiteral("TaxEventDate"),
                              QStringLiteral("SupplierName"),
                              QStringLiteral("SupplierVat"),
                              QStringLiteral("SupplierId"),
                              QStringLiteral("ClientName"),
                              QStringLiteral("ClientVat"),
                              QStringLiteral("ClientId"),
                              QStringLiteral("NoteReference"),
                              QStringLiteral("HomeCurrency"),
                              QStringLiteral("TaxBase"),
                              QStringLiteral("VatRate"),
                              QStringLiteral("Vat"),
                              QStringLiteral("Total"),
                              QStringLiteral("ForeignCurrency"),
                              QStringLiteral("ForeignRate"),
                              QStringLiteral("ForeignTotal"),
                              QStringLiteral("ZeroVatGround"),
                              QStringLiteral("ColourDepth"),
                              QStringLiteral("IsCopy"),
                              QStringLiteral("PrintedAt"),
                              QStringLiteral("BitmapFile"),
                              QStringLiteral("PdfFile")};

QVariantList ValuesOf(const JournalEntry &e)
{
    return {e.number,       e.series,        e.kind,          e.title,           e.documentDate,
            e.taxEventDate, e.supplierName,  e.supplierVat,   e.supplierId,      e.clientName,
            e.clientVat,    e.clientId,      e.noteReference, e.homeCurrency,    e.taxBase,
            e.vatRate,      e.vat,           e.total,         e.foreignCurrency, e.foreignRate,
            e.foreignTotal, e.zeroVatGround, e.colourDepth,   e.copy ? 1 : 0,    e.printedAt,
            e.bitmapFile,   e.pdfFile};
}

void SetValues(JournalEntry &e, const QSqlQuery &q, int first)
{
    int i = first;
    auto text = [&] { return q.value(i++).toString(); };
    e.number = text();
    e.series = text();
    e.kind = text();
    e.title = text();
    e.documentDate = text();
    e.taxEventDate = text();
    e.supplierName = text();
    e.supplierVat = text();
    e.supplierId = text();
    e.clientName = text();
    e.clientVat = text();
    e.clientId = text();
    e.noteReference = text();
    e.homeCurrency = text();
    e.taxBase = text();
    e.vatRate = text();
    e.vat = text();
    e.total = text();
    e.foreignCurrency = text();
    e.foreignRate = text();
    e.foreignTotal = text();
    e.zeroVatGround = text();
    e.colourDepth = q.value(i++).toInt();
    e.copy = q.value(i++).toInt() != 0;
    e.printedAt = text();
    e.bitmapFile = text();
    e.pdfFile = text();
}

const QStringList kLineColumns = {
    QStringLiteral("JournalId"),  QStringLiteral("Position"),    QStringLiteral("Number"),
    QStringLiteral("LineNumber"), QStringLiteral("Description"), QStringLiteral("Measure"),
    QStringLiteral("Quantity"),   QStringLiteral("UnitPrice"),   QStringLiteral("ForeignUnitPrice"),
    QStringLiteral("Value"),      QStringLiteral("ForeignValue")};

QString CreateJournalSql()
{
    QStringList columns{QStringLiteral("Id INTEGER NOT NULL PRIMARY KEY")};
    for (const QString &c : kColumns)
        columns << c + (c == QLatin1String("ColourDepth") || c == QLatin1String("IsCopy")
                            ? QStringLiteral(" INTEGER")
                            : QStringLiteral(" TEXT"));
    return QStringLiteral("CREATE TABLE IF NOT EXISTS Journal (%1)").arg(columns.join(", "));
}

QString CreateLinesSql()
{
    QStringList columns;
    for (const QString &c : kLineColumns)
        columns << c + (c == QLatin1String("JournalId") || c == QLatin1String("Position")
                            ? QStringLiteral(" INTEGER NOT NULL")
                            : QStringLiteral(" TEXT"));
    columns << QStringLiteral("PRIMARY KEY (JournalId, Position)");
    return QStringLiteral("CREATE TABLE IF NOT EXISTS JournalLine (%1)").arg(columns.join(", "));
}

QString Placeholders(int count)
{
    QStringList marks;
    for (int i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return marks.join(", ");
}

QString FileUri(const QString &file, const char *mode)
{
    return QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString(QUrl::FullyEncoded) +
           QStringLiteral("?mode=") + QLatin1String(mode);
}

QString Native(const QString &file)
{
    return QDir::toNativeSeparators(file);
}

// A connection of its own for one step, closed and removed when the step ends.
class Connection
{
public:
    Connection(const QString &file, const char *mode)
        : m_name(QStringLiteral("journal_%1").arg(s_next.fetchAndAddRelaxed(1)))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(FileUri(file, mode));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open())
            throw JournalError(QStringLiteral("Дневникът %1 не може да бъде отворен: %2")
                                   .arg(Native(file), db.lastError().text().trimmed()));
    }
    ~Connection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    static QAtomicInt s_next;
    QString m_name;
};
QAtomicInt Connection::s_next;

// Runs a prepared or plain statement; a failure throws the error type given.
template <typename Error> void Run(QSqlQuery &query, const QString &what)
{
    if (!query.exec())
        throw Error(what + QStringLiteral(": ") + query.lastError().text().trimmed());
}

template <typename Error> void Run(QSqlQuery &query, const QString &sql, const QString &what)
{
    if (!query.exec(sql))
        throw Error(what + QStringLiteral(": ") + query.lastError().text().trimmed());
}

// Opens the journal for writing, creating the file and its tables when missing.
void PrepareForWriting(const QSqlDatabase &db, const QString &file)
{
    const QString what = QStringLiteral("Дневникът %1 не може да бъде записан").arg(Native(file));
    QSqlQuery query(db);
    // Several files committed together need the rollback journal: with it SQLite makes the
    // commit of the journal and the counter one step even across a crash.
    if (db.driverName() == QLatin1String("QSQLITE"))
        Run<JournalError>(query, QStringLiteral("PRAGMA journal_mode=DELETE"), what);
    Run<JournalError>(query, CreateJournalSql(), what);
    Run<JournalError>(query, CreateLinesSql(), what);
}

qint64 InsertEntry(const QSqlDatabase &db, const QString &file, const JournalEntry &entry)
{
    const QString what = QStringLiteral("Дневникът %1 не може да бъде записан").arg(Native(file));
    QSqlQuery query(db);
    Run<JournalError>(query, QStringLiteral("SELECT COALESCE(MAX(Id), 0) + 1 FROM Journal"), what);
    if (!query.next())
        throw JournalError(what);
    const qint64 id = query.value(0).toLongLong();

    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO Journal (Id, %1) VALUES (?, %2)")
                       .arg(kColumns.join(", "), Placeholders(int(kColumns.size()))));
    insert.addBindValue(id);
    for (const QVariant &value : ValuesOf(entry))
        insert.addBindValue(value);
    Run<JournalError>(insert, what);

    QSqlQuery line(db);
    line.prepare(QStringLiteral("INSERT INTO JournalLine (%1) VALUES (%2)")
                     .arg(kLineColumns.join(", "), Placeholders(int(kLineColumns.size()))));
    for (const JournalLine &l : entry.lines) {
        const QVariantList values{
            id,         l.position,  entry.number,       l.lineNumber, l.description, l.measure,
            l.quantity, l.unitPrice, l.foreignUnitPrice, l.value,      l.foreignValue};
        for (const QVariant &value : values)
            line.addBindValue(value);
        Run<JournalError>(line, what);
    }
    return id;
}

void RollbackQuietly(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    query.exec(QStringLiteral("ROLLBACK"));
}
} // namespace

QString JournalFileName(const QString &tablesFolder)
{
    return QDir(tablesFolder).filePath(QStringLiteral("Journal.db"));
}

struct CounterAndJournal::Private {
    Private(const QString &journal, const QString &firm)
        : journalFile(journal), firmFile(firm), connection(journal, "rwc")
    {
    }
    QString journalFile, firmFile;
    Connection connection;
    bool open = false;

    QString firmWhat() const
    {
        return QStringLiteral("Номерът не може да бъде съхранен в %1").arg(Native(firmFile));
    }
    // The own-company record at recNo: its rowid and the counter's text.
    std::pair<qint64, QString> read(int recNo, const QString &field)
    {
        const QSqlDatabase db = connection.db();
        QSqlQuery query(db);
        query.prepare(
            QStringLiteral("SELECT rowid, %1 FROM firm.Firm ORDER BY rowid LIMIT 1 OFFSET ?")
                .arg(db.driver()->escapeIdentifier(field, QSqlDriver::FieldName)));
        query.addBindValue(qMax(0, recNo - 1));
        Run<UserError>(query, firmWhat());
        if (!query.next())
            throw UserError(firmWhat() + QStringLiteral(": няма запис на собствената фирма."));
        return {query.value(0).toLongLong(), query.value(1).toString()};
    }
};

CounterAndJournal::CounterAndJournal(const QString &journalFile, const QString &firmFile)
{
    if (!QFileInfo(firmFile).isFile())
        throw UserError(
            QStringLiteral("Номерът не може да бъде съхранен в %1: файлът не съществува.")
                .arg(Native(firmFile)));
    d = std::make_unique<Private>(journalFile, firmFile);
    const QSqlDatabase db = d->connection.db();
    PrepareForWriting(db, journalFile);
    QSqlQuery attach(db);
    attach.prepare(QStringLiteral("ATTACH DATABASE ? AS firm"));
    attach.addBindValue(FileUri(firmFile, "rw"));
    Run<UserError>(attach, d->firmWhat());

    // Both files are taken for writing before the counter is read, so no other run of the
    // program can store a number between the read and the write.
    QSqlQuery begin(db);
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        const QString problem = begin.lastError().text().trimmed();
        QSqlQuery detach(db);
        detach.exec(QStringLiteral("DETACH DATABASE firm"));
        throw UserError(QStringLiteral("Файлът %1 (или дневникът %2) е зает от друга работа с "
                                       "програмата. Опитайте отново.\n%3")
                            .arg(Native(firmFile), Native(journalFile), problem));
    }
    d->open = true;
}

CounterAndJournal::~CounterAndJournal()
{
    if (!d)
        return;
    rollback();
    QSqlQuery detach(d->connection.db());
    detach.exec(QStringLiteral("DETACH DATABASE firm"));
}

QString CounterAndJournal::counter(int recNo, const QString &field)
{
    return d->read(recNo, field).second;
}

bool CounterAndJournal::advanceCounter(int recNo, const QString &field, int number)
{
    const auto [rowid, stored] = d->read(recNo, field);
    if (!CounterMustAdvance(number, stored))
        return false;
    const QSqlDatabase db = d->connection.db();
    QSqlQuery write(db);
    write.prepare(QStringLiteral("UPDATE firm.Firm SET %1 = ? WHERE rowid = ?")
                      .arg(db.driver()->escapeIdentifier(field, QSqlDriver::FieldName)));
    write.addBindValue(TenDigits(number));
    write.addBindValue(rowid);
    Run<UserError>(write, d->firmWhat());
    return true;
}

qint64 CounterAndJournal::addPage(const JournalEntry &entry)
{
    return InsertEntry(d->connection.db(), d->journalFile, entry);
}

void CounterAndJournal::commit()
{
    QSqlQuery query(d->connection.db());
    Run<UserError>(query, QStringLiteral("COMMIT"), d->firmWhat());
    d->open = false;
}

void CounterAndJournal::rollback()
{
    if (d->open)
        RollbackQuietly(d->connection.db());
    d->open = false;
}

qint64 StoreCounterAndJournal(const QString &journalFile, const CounterStore &counter,
                              const JournalEntry &entry, const std::function<void()> &betweenSteps)
{
    CounterAndJournal both(journalFile, counter.firmFile);
    both.advanceCounter(counter.recNo, counter.field, counter.number);
    if (betweenSteps)
        betweenSteps();
    const qint64 id = both.addPage(entry);
    both.commit();
    return id;
}

qint64 AddToJournal(const QString &journalFile, const JournalEntry &entry)
{
    Connection connection(journalFile, "rwc");
    const QSqlDatabase db = connection.db();
    PrepareForWriting(db, journalFile);
    const QString what =
        QStringLiteral("Дневникът %1 не може да бъде записан").arg(Native(journalFile));
    QSqlQuery query(db);
    Run<JournalError>(query, QStringLiteral("BEGIN IMMEDIATE"), what);
    try {
        const qint64 id = InsertEntry(db, journalFile, entry);
        Run<JournalError>(query, QStringLiteral("COMMIT"), what);
        return id;
    } catch (...) {
        RollbackQuietly(db);
        throw;
    }
}

QVector<JournalEntry> ReadJournal(const QString &journalFile)
{
    QVector<JournalEntry> entries;
    if (!QFileInfo::exists(journalFile))
        return entries;
    Connection connection(journalFile, "ro");
    const QString what =
        QStringLiteral("Дневникът %1 не може да бъде прочетен").arg(Native(journalFile));
    QSqlQuery query(connection.db());
    query.setForwardOnly(true);
    Run<JournalError>(
        query,
        QStringLiteral("SELECT Id, %1 FROM Journal ORDER BY Id DESC").arg(kColumns.join(", ")),
        what);
    while (query.next()) {
        JournalEntry entry;
        entry.id = query.value(0).toLongLong();
        SetValues(entry, query, 1);
        entries.append(entry);
    }
    return entries;
}

QVector<JournalLine> ReadJournalLines(const QString &journalFile, qint64 id)
{
    QVector<JournalLine> lines;
    if (!QFileInfo::exists(journalFile))
        return lines;
    Connection connection(journalFile, "ro");
    const QString what =
        QStringLiteral("Дневникът %1 не може да бъде прочетен").arg(Native(journalFile));
    QSqlQuery query(connection.db());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM JournalLine WHERE JournalId = ? ORDER BY Position")
                      .arg(kLineColumns.join(", ")));
    query.addBindValue(id);
    Run<JournalError>(query, what);
    while (query.next()) {
        JournalLine line;
        line.position = query.value(1).toInt();
        line.lineNumber = query.value(3).toString();
        line.description = query.value(4).toString();
        line.measure = query.value(5).toString();
        line.quantity = query.value(6).toString();
        line.unitPrice = query.value(7).toString();
        line.foreignUnitPrice = query.value(8).toString();
        line.value = query.value(9).toString();
        line.foreignValue = query.value(10).toString();
        lines.append(line);
    }
    return lines;
}
