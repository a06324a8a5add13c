#include "journal/JournalStore.h"

#include "base/Issuing.h"
#include "document/DocumentNumber.h"
#include "document/InvoiceJson.h"
#include "journal/JournalBackend.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSet>
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
                              QStringLiteral("PdfFile"),
                              QStringLiteral("Document"),
                              QStringLiteral("LedgerType"),
                              QStringLiteral("LedgerPeriod"),
                              QStringLiteral("LedgerRecipient"),
                              QStringLiteral("LedgerDescription"),
                              QStringLiteral("Base20"),
                              QStringLiteral("Vat20"),
                              QStringLiteral("Base9"),
                              QStringLiteral("Vat9"),
                              QStringLiteral("Base0"),
                              QStringLiteral("ZeroVatColumn"),
                              QStringLiteral("LedgerProblem"),
                              QStringLiteral("XmlFile")};
// The columns of layout 3, the last of kColumns: what the sales ledger takes of each document,
// and the e-invoice written beside its page.
constexpr int kLedgerColumnCount = 12;

QVariantList LedgerValuesOf(const LedgerFields &f)
{
    return {f.type,  f.period, f.recipientId, f.description,   f.base20, f.vat20,
            f.base9, f.vat9,   f.base0,       f.zeroVatColumn, f.problem};
}

QVariantList ValuesOf(const JournalEntry &e)
{
    return {e.number,
            e.series,
            e.kind,
            e.title,
            e.documentDate,
            e.taxEventDate,
            e.supplierName,
            e.supplierVat,
            e.supplierId,
            e.clientName,
            e.clientVat,
            e.clientId,
            e.noteReference,
            e.homeCurrency,
            e.taxBase,
            e.vatRate,
            e.vat,
            e.total,
            e.foreignCurrency,
            e.foreignRate,
            e.foreignTotal,
            e.zeroVatGround,
            e.colourDepth,
            e.copy ? 1 : 0,
            e.printedAt,
            e.bitmapFile,
            e.pdfFile,
            e.document.isEmpty() ? QVariant() : QVariant(e.document)};
}

// The values of every column of kColumns.
QVariantList AllValuesOf(const JournalEntry &e)
{
    return ValuesOf(e) + LedgerValuesOf(e.ledger) + QVariantList{e.xmlFile};
}

// The page columns ReadJournal reads, without the document (read one at a time).
QStringList PageColumns()
{
    QStringList columns = kColumns;
    columns.removeAll(QStringLiteral("Document"));
    return columns;
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
    // A journal written before the codes were ISO's still says "BGL" for the lev.
    e.homeCurrency = IsoCurrencyCode(text());
    e.taxBase = text();
    e.vatRate = text();
    e.vat = text();
    e.total = text();
    e.foreignCurrency = IsoCurrencyCode(text());
    e.foreignRate = text();
    e.foreignTotal = text();
    e.zeroVatGround = text();
    e.colourDepth = q.value(i++).toInt();
    e.copy = q.value(i++).toInt() != 0;
    e.printedAt = text();
    e.bitmapFile = text();
    e.pdfFile = text();
    LedgerFields &f = e.ledger;
    for (QString *field : {&f.type, &f.period, &f.recipientId, &f.description, &f.base20, &f.vat20,
                           &f.base9, &f.vat9, &f.base0, &f.zeroVatColumn, &f.problem, &e.xmlFile})
        *field = text();
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

void RollbackQuietly(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    query.exec(QStringLiteral("ROLLBACK"));
}

// The journal's layout: 1 without the document and with "BGL" for the lev, 2 with both mended,
// 3 with the sales ledger's fields and the e-invoice of each page.
constexpr int kJournalVersion = 3;

QSet<QString> ColumnsOf(const QSqlDatabase &db, const QString &what)
{
    QSet<QString> columns;
    QSqlQuery query(db);
    Run<JournalError>(query, QStringLiteral("PRAGMA table_info(Journal)"), what);
    while (query.next())
        columns.insert(query.value(1).toString());
    return columns;
}

// The rows brought up to layout 3 in one step of the loop: few enough to hold in memory.
constexpr int kRowsPerStep = 1000;

// Layout 3: the ledger's columns and "XmlFile". A row journalled before gets the ledger's fields
// once, from its document where it has one and from its texts otherwise; one whose texts cannot
// tell them says why in "LedgerProblem", and the ledger lists it instead of guessing.
void AddLedgerColumns(const QSqlDatabase &db, const QString &what)
{
    QSqlQuery query(db);
    const QSet<QString> columns = ColumnsOf(db, what);
    for (const QString &column : kColumns.mid(kColumns.size() - kLedgerColumnCount))
        if (!columns.contains(column))
            Run<JournalError>(
                query, QStringLiteral("ALTER TABLE Journal ADD COLUMN %1 TEXT").arg(column), what);

    QSqlQuery read(db);
    read.setForwardOnly(true);
    read.prepare(QStringLiteral(
        "SELECT Id, Kind, DocumentDate, ClientVat, ClientId, TaxBase, VatRate, Vat, ZeroVatGround, "
        "PrintedAt, Document, (SELECT Description FROM JournalLine WHERE JournalId = Journal.Id "
        "ORDER BY Position LIMIT 1) FROM Journal WHERE Id > ? AND LedgerPeriod IS NULL ORDER BY "
        "Id LIMIT ?"));
    QSqlQuery write(db);
    write.prepare(QStringLiteral("UPDATE Journal SET LedgerType = ?, LedgerPeriod = ?, "
                                 "LedgerRecipient = ?, LedgerDescription = ?, Base20 = ?, "
                                 "Vat20 = ?, Base9 = ?, Vat9 = ?, Base0 = ?, ZeroVatColumn = ?, "
                                 "LedgerProblem = ? WHERE Id = ?"));
    qint64 last = 0;
    for (;;) {
        read.addBindValue(last);
        read.addBindValue(kRowsPerStep);
        Run<JournalError>(read, what);
        QVector<std::pair<qint64, LedgerFields>> step;
        while (read.next()) {
            JournalEntry e;
            e.kind = read.value(1).toString();
            e.documentDate = read.value(2).toString();
            e.clientVat = read.value(3).toString();
            e.clientId = read.value(4).toString();
            e.taxBase = read.value(5).toString();
            e.vatRate = read.value(6).toString();
            e.vat = read.value(7).toString();
            e.zeroVatGround = read.value(8).toString();
            e.printedAt = read.value(9).toString();
            const QByteArray document = read.value(10).toByteArray();
            LedgerFields fields;
            bool fromDocument = false;
            if (!document.isEmpty()) {
                try {
                    const Invoice doc = InvoiceFromJson(document);
                    fields = LedgerFieldsOf(doc);
                    fromDocument = true;
                } catch (const UserError &) {
                    // A document that cannot be read: the page's texts still can.
                }
            }
            if (!fromDocument)
                fields = LedgerFieldsOfTexts(e, read.value(11).toString());
            if (fields.period.isEmpty())
                fields.period = QDateTime::fromString(e.printedAt, Qt::ISODate)
                                    .toString(QStringLiteral("yyyyMM"));
            // Never NULL again, so that the row is brought up once.
            if (fields.period.isNull())
                fields.period = QStringLiteral("");
            step.append({read.value(0).toLongLong(), fields});
        }
        read.finish();
        if (step.isEmpty())
            break;
        for (const auto &[id, fields] : step) {
            for (const QVariant &value : LedgerValuesOf(fields))
                write.addBindValue(value);
            write.addBindValue(id);
            Run<JournalError>(write, what);
        }
        last = step.last().first;
    }
    // The ledger reads a month's pages and the own companies without reading the whole journal.
    for (const char *index : {"JournalLedgerPeriod ON Journal (LedgerPeriod)",
                              "JournalSupplier ON Journal (SupplierVat, SupplierId)"})
        Run<JournalError>(
            query, QStringLiteral("CREATE INDEX IF NOT EXISTS %1").arg(QLatin1String(index)), what);
}

// Opens the journal for writing, creating the file and its tables when missing, and brings a
// journal of an earlier layout up to this one, all in one step or not at all.
void PrepareForWriting(const QSqlDatabase &db, const QString &file)
{
    const QString what = QStringLiteral("Дневникът %1 не може да бъде записан").arg(Native(file));
    QSqlQuery query(db);
    // Several files committed together need the rollback journal: with it SQLite makes the
    // commit of the journal and the counter one step even across a crash.
    if (db.driverName() == QLatin1String("QSQLITE"))
        Run<JournalError>(query, QStringLiteral("PRAGMA journal_mode=DELETE"), what);
    Run<JournalError>(query, QStringLiteral("PRAGMA user_version"), what);
    const int version = query.next() ? query.value(0).toInt() : 0;
    if (version >= kJournalVersion)
        return;
    Run<JournalError>(query, QStringLiteral("BEGIN IMMEDIATE"), what);
    try {
        Run<JournalError>(query, CreateJournalSql(), what);
        Run<JournalError>(query, CreateLinesSql(), what);
        if (!ColumnsOf(db, what).contains(QStringLiteral("Document")))
            Run<JournalError>(query, QStringLiteral("ALTER TABLE Journal ADD COLUMN Document TEXT"),
                              what);
        for (const char *column : {"HomeCurrency", "ForeignCurrency"}) {
            QSqlQuery mend(db);
            mend.prepare(QStringLiteral("UPDATE Journal SET %1 = ? WHERE %1 = ?")
                             .arg(QLatin1String(column)));
            mend.addBindValue(QStringLiteral("BGN"));
            mend.addBindValue(QStringLiteral("BGL"));
            Run<JournalError>(mend, what);
        }
        AddLedgerColumns(db, what);
        Run<JournalError>(query, QStringLiteral("PRAGMA user_version = %1").arg(kJournalVersion),
                          what);
        Run<JournalError>(query, QStringLiteral("COMMIT"), what);
    } catch (const JournalError &) {
        RollbackQuietly(db);
        throw;
    }
}

} // namespace

void InsertJournalEntry(const QSqlDatabase &db, qint64 id, const JournalEntry &entry,
                        const QString &what)
{
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO Journal (Id, %1) VALUES (?, %2)")
                       .arg(kColumns.join(", "), Placeholders(int(kColumns.size()))));
    insert.addBindValue(id);
    for (const QVariant &value : AllValuesOf(entry))
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
}

const QStringList &JournalColumns()
{
    return kColumns;
}

const QStringList &JournalLineColumns()
{
    return kLineColumns;
}

namespace
{
// The pages the condition leaves (with the order), without their lines and documents. A column
// that a journal of an earlier layout lacks reads as empty. A missing journal has none.
QVector<JournalEntry> ReadEntries(const QString &journalFile, const QString &condition,
                                  const QVariantList &values)
{
    QVector<JournalEntry> entries;
    const std::unique_ptr<JournalBackend> journal = JournalAt(journalFile);
    if (!journal->exists())
        return entries;
    const QString what =
        QStringLiteral("Дневникът %1 не може да бъде прочетен").arg(journal->name());
    const QSet<QString> present = journal->columns();
    QStringList select;
    for (const QString &column : PageColumns())
        select << (present.contains(column) ? column : QStringLiteral("NULL"));
    QSqlQuery query(journal->db());
    query.setForwardOnly(true);
    query.prepare(
        QStringLiteral("SELECT Id, %1 FROM Journal %2").arg(select.join(", "), condition));
    for (const QVariant &value : values)
        query.addBindValue(value);
    Run<JournalError>(query, what);
    while (query.next()) {
        JournalEntry entry;
        entry.id = query.value(0).toLongLong();
        SetValues(entry, query, 1);
        entries.append(entry);
    }
    return entries;
}

// The journal file beside the table files, and the counters in the own-company file beside it.
class SqliteJournal : public JournalBackend
{
public:
    explicit SqliteJournal(const QString &file) : m_file(file) {}
    QString name() const override { return Native(m_file); }
    bool exists() const override { return QFileInfo::exists(m_file); }
    QSqlDatabase db() override
    {
        if (!m_reader)
            m_reader = std::make_unique<Connection>(m_file, "ro");
        return m_reader->db();
    }
    QSet<QString> columns() override
    {
        return ColumnsOf(
            db(), QStringLiteral("Дневникът %1 не може да бъде прочетен").arg(Native(m_file)));
    }
    void bringUp() override
    {
        if (!exists())
            return;
        {
            QSqlQuery query(db());
            if (query.exec(QStringLiteral("PRAGMA user_version")) && query.next() &&
                query.value(0).toInt() >= kJournalVersion)
                return;
        }
        m_reader.reset();
        Connection connection(m_file, "rw");
        PrepareForWriting(connection.db(), m_file);
    }
    std::unique_ptr<CounterHold> hold(const IssueRequest &request) override;
    // The pages' files are in the desk's own folder: the file journal keeps none of them.
    QByteArray keptPdf(qint64) override { return QByteArray(); }
    QByteArray keptBitmap(qint64) override { return QByteArray(); }

private:
    QString m_file;
    std::unique_ptr<Connection> m_reader;
};

// The hold of a print on the files: the own-company file and the journal are taken for writing
// together, so no other run can store a number or add a page before the commit.
class SqliteHold : public CounterHold
{
public:
    SqliteHold(const QString &journalFile, const IssueRequest &request)
        : m_request(request), m_journalFile(journalFile),
          m_firmFile(QDir(request.tablesFolder).filePath(QStringLiteral("Firm.db")))
    {
        if (!QFileInfo(m_firmFile).isFile())
            throw UserError(
                QStringLiteral("Номерът не може да бъде съхранен в %1: файлът не съществува.")
                    .arg(Native(m_firmFile)));
        if (!openWithJournal())
            m_connection = std::make_unique<Connection>(m_firmFile, "rw");
        begin();
    }
    ~SqliteHold() override
    {
        if (!m_connection)
            return;
        rollback();
        if (m_withJournal) {
            QSqlQuery detach(db());
            detach.exec(QStringLiteral("DETACH DATABASE firm"));
        }
    }

    QString counter() override
    {
        QSqlQuery query(db());
        query.prepare(
            QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid LIMIT 1 OFFSET ?")
                .arg(db().driver()->escapeIdentifier(m_request.counterField, QSqlDriver::FieldName),
                     firmTable()));
        query.addBindValue(qMax(0, m_request.firmRecNo - 1));
        Run<UserError>(query, firmWhat());
        if (!query.next())
            throw UserError(firmWhat() + QStringLiteral(": няма запис на собствената фирма."));
        m_firmRowid = query.value(0).toLongLong();
        return query.value(1).toString();
    }
    bool journalHolds() override
    {
        return m_withJournal &&
               JournalHoldsNumber(db(), m_request,
                                  QStringLiteral("Дневникът %1 не може да бъде прочетен")
                                      .arg(Native(m_journalFile)));
    }
    bool withJournal() const override { return m_withJournal; }
    QString journalProblem() const override { return m_journalProblem; }
    void storeCounter(const QString &number) override
    {
        QSqlQuery write(db());
        write.prepare(QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
                          .arg(firmTable(), db().driver()->escapeIdentifier(
                                                m_request.counterField, QSqlDriver::FieldName)));
        write.addBindValue(number);
        write.addBindValue(m_firmRowid);
        Run<UserError>(write, firmWhat());
    }
    qint64 insert(const JournalEntry &entry) override
    {
        if (!m_withJournal)
            return 0;
        const QString what =
            QStringLiteral("Дневникът %1 не може да бъде записан").arg(Native(m_journalFile));
        QSqlQuery query(db());
        Run<JournalError>(query, QStringLiteral("SELECT COALESCE(MAX(Id), 0) + 1 FROM Journal"),
                          what);
        if (!query.next())
            throw JournalError(what);
        const qint64 id = query.value(0).toLongLong();
        InsertJournalEntry(db(), id, entry, what);
        return id;
    }
    void commit() override
    {
        QSqlQuery query(db());
        Run<UserError>(query, QStringLiteral("COMMIT"), firmWhat());
        m_open = false;
    }

private:
    QString firmWhat() const
    {
        return QStringLiteral("Номерът не може да бъде съхранен в %1").arg(Native(m_firmFile));
    }
    // The own-company table as the connection sees it: attached beside the journal, or alone.
    QString firmTable() const
    {
        return m_withJournal ? QStringLiteral("firm.Firm") : QStringLiteral("Firm");
    }
    QSqlDatabase db() const { return m_connection->db(); }

    // Opens the journal with the own-company file attached; false when the journal cannot be
    // used (journalProblem says why).
    bool openWithJournal()
    {
        try {
            m_connection = std::make_unique<Connection>(m_journalFile, "rwc");
            PrepareForWriting(db(), m_journalFile);
        } catch (const JournalError &error) {
            m_connection.reset();
            m_journalProblem = error.message();
            return false;
        }
        QSqlQuery attach(db());
        attach.prepare(QStringLiteral("ATTACH DATABASE ? AS firm"));
        attach.addBindValue(FileUri(m_firmFile, "rw"));
        Run<UserError>(attach, firmWhat());
        m_withJournal = true;
        return true;
    }
    void begin()
    {
        // Both files are taken for writing before the counter is read, so no other run of the
        // program can store a number between the read and the write.
        QSqlQuery begin(db());
        if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE")))
            throw UserError(QStringLiteral("Файлът %1 (или дневникът %2) е зает от друга работа с "
                                           "програмата. Опитайте отново.\n%3")
                                .arg(Native(m_firmFile), Native(m_journalFile),
                                     begin.lastError().text().trimmed()));
        m_open = true;
    }
    void rollback()
    {
        if (m_open && m_connection)
            RollbackQuietly(db());
        m_open = false;
    }

    IssueRequest m_request;
    QString m_journalFile, m_firmFile;
    std::unique_ptr<Connection> m_connection;
    bool m_withJournal = false;
    QString m_journalProblem;
    bool m_open = false;
    qint64 m_firmRowid = 0;
};

std::unique_ptr<CounterHold> SqliteJournal::hold(const IssueRequest &request)
{
    return std::make_unique<SqliteHold>(m_file, request);
}
} // namespace

bool JournalHoldsNumber(const QSqlDatabase &db, const IssueRequest &request, const QString &what)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM Journal WHERE Series = ? AND Number = ? "
                                 "AND COALESCE(SupplierVat, '') = ? AND COALESCE(SupplierId, '') "
                                 "= ?"));
    query.addBindValue(request.counterField);
    query.addBindValue(TenDigits(request.number));
    // An empty text, never NULL, so that it matches a page without that identifier.
    query.addBindValue(request.supplierVat.isNull() ? QStringLiteral("") : request.supplierVat);
    query.addBindValue(request.supplierId.isNull() ? QStringLiteral("") : request.supplierId);
    Run<JournalError>(query, what);
    return query.next() && query.value(0).toLongLong() > 0;
}

std::unique_ptr<JournalBackend> FileJournal(const QString &journalFile)
{
    return std::make_unique<SqliteJournal>(journalFile);
}

QString JournalFileName(const QString &tablesFolder)
{
    return QDir(tablesFolder).filePath(QStringLiteral("Journal.db"));
}

struct IssueTransaction::Private {
    IssueRequest request;
    std::unique_ptr<JournalBackend> journal;
    std::unique_ptr<CounterHold> hold;
    int stored = 0;
    bool ahead = false;
};

IssueTransaction::IssueTransaction(const IssueRequest &request) : d(std::make_unique<Private>())
{
    // A run without the folder's lock or without a sure home currency issues nothing.
    Issuing::Require();
    d->request = request;
    d->journal = JournalAt(JournalFileName(request.tablesFolder));
    d->hold = d->journal->hold(request);

    d->stored = CounterValue(d->hold->counter(), request.counterField);
    if (request.next) {
        d->request.number = d->stored + 1;
        d->ahead = true;
        return;
    }
    const QString number = TenDigits(request.number);
    if (!request.issuedByThisRun) {
        if (request.prepared && request.number <= d->stored)
            throw UserError(
                QStringLiteral("Номер %1 вече е използван: броячът „%2“ в таблицата %3 е "
                               "стигнал %4, записан от друго копие на програмата.\nНищо не е "
                               "отпечатано. Натиснете „Към фактурата“ и документът ще получи "
                               "нов номер.")
                    .arg(number, request.counterField, kCounterTable, TenDigits(d->stored)));
        if (!request.prepared && (request.archiveHolds || d->hold->journalHolds()))
            throw UserError(
                QStringLiteral("Номер %1 вече е издаден: %2 го съдържа.\nНищо не е отпечатано. "
                               "Натиснете „Към фактурата“ и документът ще получи следващия "
                               "свободен номер.")
                    .arg(number, request.archiveHolds ? QStringLiteral("архивът")
                                                      : QStringLiteral("дневникът")));
    }
    d->ahead = request.number > d->stored;
}

IssueTransaction::~IssueTransaction() = default;

bool IssueTransaction::ahead() const
{
    return d->ahead;
}

qint64 IssueTransaction::number() const
{
    return d->request.number;
}

bool IssueTransaction::withJournal() const
{
    return d->hold->withJournal();
}

QString IssueTransaction::journalProblem() const
{
    return d->hold->journalProblem();
}

qint64 IssueTransaction::commit(const JournalEntry *entry)
{
    if (d->ahead)
        d->hold->storeCounter(TenDigits(d->request.number));
    qint64 id = 0;
    if (entry && d->hold->withJournal())
        id = d->hold->insert(*entry);
    d->hold->commit();
    return id;
}

QVector<JournalEntry> ReadJournal(const QString &journalFile)
{
    return ReadEntries(journalFile, QStringLiteral("ORDER BY Id DESC"), {});
}

QVector<JournalLine> ReadJournalLines(const QString &journalFile, qint64 id)
{
    QVector<JournalLine> lines;
    const std::unique_ptr<JournalBackend> journal = JournalAt(journalFile);
    if (!journal->exists())
        return lines;
    const QString what =
        QStringLiteral("Дневникът %1 не може да бъде прочетен").arg(journal->name());
    QSqlQuery query(journal->db());
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

QByteArray ReadJournalDocument(const QString &journalFile, qint64 id)
{
    const std::unique_ptr<JournalBackend> journal = JournalAt(journalFile);
    if (!journal->exists() || !journal->columns().contains(QStringLiteral("Document")))
        return QByteArray();
    QSqlQuery query(journal->db());
    query.prepare(QStringLiteral("SELECT Document FROM Journal WHERE Id = ?"));
    query.addBindValue(id);
    Run<JournalError>(query,
                      QStringLiteral("Дневникът %1 не може да бъде прочетен").arg(journal->name()));
    return query.next() ? query.value(0).toByteArray() : QByteArray();
}

QByteArray ReadJournalPdf(const QString &journalFile, qint64 id)
{
    return JournalAt(journalFile)->keptPdf(id);
}

QByteArray ReadJournalBitmap(const QString &journalFile, qint64 id)
{
    const QByteArray kept = JournalAt(journalFile)->keptBitmap(id);
    return kept.isEmpty() ? kept : qUncompress(kept);
}

QVector<QDate> JournalInvoiceDates(const QString &journalFile, const QString &number,
                                   const QString &supplierVat, const QString &supplierId)
{
    QVector<QDate> dates;
    const std::unique_ptr<JournalBackend> journal = JournalAt(journalFile);
    if (!journal->exists())
        return dates;
    QSqlQuery query(journal->db());
    query.prepare(QStringLiteral("SELECT DISTINCT DocumentDate FROM Journal WHERE Series = ? AND "
                                 "Number = ? AND COALESCE(SupplierVat, '') = ? AND "
                                 "COALESCE(SupplierId, '') = ?"));
    query.addBindValue(kInvoiceCounter);
    query.addBindValue(number);
    query.addBindValue(supplierVat.isNull() ? QStringLiteral("") : supplierVat);
    query.addBindValue(supplierId.isNull() ? QStringLiteral("") : supplierId);
    Run<JournalError>(query,
                      QStringLiteral("Дневникът %1 не може да бъде прочетен").arg(journal->name()));
    while (query.next()) {
        const QDate date =
            QDate::fromString(query.value(0).toString(), QStringLiteral("dd.MM.yyyy"));
        if (date.isValid())
            dates << date;
    }
    return dates;
}

QVector<JournalEntry> ReadJournalPeriod(const QString &journalFile, const QString &period)
{
    JournalAt(journalFile)->bringUp();
    return ReadEntries(journalFile, QStringLiteral("WHERE LedgerPeriod = ? ORDER BY Id"), {period});
}

QVector<JournalEntry> ReadJournalNumber(const QString &journalFile, const QString &series,
                                        const QString &number)
{
    return ReadEntries(journalFile, QStringLiteral("WHERE Series = ? AND Number = ? ORDER BY Id"),
                       {series, number});
}

QVector<JournalEntry> ReadJournalCompanies(const QString &journalFile)
{
    return ReadEntries(journalFile,
                       QStringLiteral("WHERE Id IN (SELECT MAX(Id) FROM Journal GROUP BY "
                                      "SupplierVat, SupplierId) ORDER BY Id DESC"),
                       {});
}
