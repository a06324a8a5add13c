#include "journal/JournalStore.h"

#include "base/Issuing.h"
#include "document/DocumentNumber.h"
#include "document/InvoiceJson.h"
#include "journal/JournalBackend.h"
#include "journal/JournalDatabase.h"
#include "journal/JournalKeys.h"
#include "journal/JournalReader.h"
#include "masterdata/ServerConnection.h"
#include "masterdata/Table.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDriver>

namespace
{
// The columns of layout 3, the last of JournalColumns(): what the sales ledger takes of each
// document, and the e-invoice written beside its page.
constexpr int kLedgerColumnCount = 12;

const QStringList kLineColumns = {
    QStringLiteral("JournalId"),  QStringLiteral("Position"),    QStringLiteral("Number"),
    QStringLiteral("LineNumber"), QStringLiteral("Description"), QStringLiteral("Measure"),
    QStringLiteral("Quantity"),   QStringLiteral("UnitPrice"),   QStringLiteral("ForeignUnitPrice"),
    QStringLiteral("Value"),      QStringLiteral("ForeignValue")};

QString CreateJournalSql()
{
    QStringList columns{QStringLiteral("Id INTEGER NOT NULL PRIMARY KEY")};
    for (const QString &c : JournalColumns())
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

void RollbackQuietly(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    query.exec(QStringLiteral("ROLLBACK"));
}

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
    for (const QString &column : JournalColumns().mid(JournalColumns().size() - kLedgerColumnCount))
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
            for (const QVariant &value : JournalLedgerValues(fields))
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

// The journal's layout, one step after the other: 1 the pages and their lines; 2 the document
// beside each page and "BGN" for the lev; 3 the sales ledger's fields and the e-invoice of each
// page; 4 the keys of the journal window and an index of the numbers for the print's check of a
// typed number.
void CreateTables(const QSqlDatabase &db, const QString &what)
{
    QSqlQuery query(db);
    Run<JournalError>(query, CreateJournalSql(), what);
    Run<JournalError>(query, CreateLinesSql(), what);
}

void KeepDocuments(const QSqlDatabase &db, const QString &what)
{
    QSqlQuery query(db);
    QSet<QString> columns;
    Run<JournalError>(query, QStringLiteral("PRAGMA table_info(Journal)"), what);
    while (query.next())
        columns.insert(query.value(1).toString());
    if (!columns.contains(QStringLiteral("Document")))
        Run<JournalError>(query, QStringLiteral("ALTER TABLE Journal ADD COLUMN Document TEXT"),
                          what);
    for (const char *column : {"HomeCurrency", "ForeignCurrency"}) {
        QSqlQuery mend(db);
        mend.prepare(
            QStringLiteral("UPDATE Journal SET %1 = ? WHERE %1 = ?").arg(QLatin1String(column)));
        mend.addBindValue(QStringLiteral("BGN"));
        mend.addBindValue(QStringLiteral("BGL"));
        Run<JournalError>(mend, what);
    }
}

void KeepKeys(const QSqlDatabase &db, const QString &what)
{
    QSqlQuery query(db);
    Run<JournalError>(
        query, QStringLiteral("CREATE INDEX IF NOT EXISTS JournalNumber ON Journal (Number)"),
        what);
    CreateKeyTables(db, what);
}

struct LayoutStep {
    int version; // the layout the step brings the journal to
    void (*run)(const QSqlDatabase &, const QString &);
};
// Each step may run again on a journal it has brought up already (a step that did not end).
const LayoutStep kLayoutSteps[] = {
    {1, CreateTables}, {2, KeepDocuments}, {3, AddLedgerColumns}, {4, KeepKeys}};
constexpr int kJournalVersion = 4;

int LayoutVersion(const QSqlDatabase &db, const QString &what)
{
    return JournalValue(db, QStringLiteral("PRAGMA user_version"), what).toInt();
}

// Opens the journal for writing, creating the file and its tables when missing, and brings a
// journal of an earlier layout up to this one, all steps in one commit.
void PrepareForWriting(const QSqlDatabase &db, const QString &file)
{
    const QString what = JournalWriteProblem(file);
    QSqlQuery query(db);
    // Several files committed together need the rollback journal: with it SQLite makes the
    // commit of the journal and the counter one step even across a crash.
    if (db.driverName() == QLatin1String("QSQLITE"))
        Run<JournalError>(query, QStringLiteral("PRAGMA journal_mode=DELETE"), what);
    if (LayoutVersion(db, what) >= kJournalVersion)
        return;
    Run<JournalError>(query, QStringLiteral("BEGIN IMMEDIATE"), what);
    try {
        const int version = LayoutVersion(db, what);
        for (const LayoutStep &step : kLayoutSteps)
            if (version < step.version)
                step.run(db, what);
        if (version < kJournalVersion)
            Run<JournalError>(
                query, QStringLiteral("PRAGMA user_version = %1").arg(kJournalVersion), what);
        Run<JournalError>(query, QStringLiteral("COMMIT"), what);
    } catch (const JournalError &) {
        QSqlQuery rollback(db);
        rollback.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

} // namespace

void InsertJournalEntry(const QSqlDatabase &db, qint64 id, const JournalEntry &entry,
                        const QString &what)
{
    QSqlQuery insert(db);
    insert.prepare(
        QStringLiteral("INSERT INTO Journal (Id, %1) VALUES (?, %2)")
            .arg(JournalColumns().join(", "), Placeholders(int(JournalColumns().size()))));
    insert.addBindValue(id);
    for (const QVariant &value : JournalValues(entry))
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
    for (const QString &column : JournalListColumns())
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
        SetJournalValues(
            entry, [&query](int i) { return query.value(i); }, 1);
        entries.append(entry);
    }
    return entries;
}

// The journal file beside the table files, and the counters in the own-company file beside it.
class SqliteJournal : public JournalBackend
{
public:
    explicit SqliteJournal(const QString &file) : m_file(file) {}
    QString name() const override { return NativeName(m_file); }
    bool exists() const override { return QFileInfo::exists(m_file); }
    QSqlDatabase db() override
    {
        if (!m_reader)
            m_reader = std::make_unique<JournalConnection>(m_file, "ro");
        return m_reader->db();
    }
    QSet<QString> columns() override { return ColumnsOf(db(), JournalReadProblem(m_file)); }
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
        JournalConnection connection(m_file, "rw");
        PrepareForWriting(connection.db(), m_file);
    }
    std::unique_ptr<CounterHold> hold(const IssueRequest &request) override;
    // The pages' files are in the desk's own folder: the file journal keeps none of them.
    QByteArray keptPdf(qint64) override { return QByteArray(); }
    QByteArray keptBitmap(qint64) override { return QByteArray(); }

private:
    QString m_file;
    std::unique_ptr<JournalConnection> m_reader;
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
                    .arg(NativeName(m_firmFile)));
        if (!openWithJournal())
            m_connection = std::make_unique<JournalConnection>(m_firmFile, "rw");
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
               JournalHoldsNumber(db(), m_request, JournalReadProblem(m_journalFile));
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
        const QString what = JournalWriteProblem(m_journalFile);
        QSqlQuery query(db());
        Run<JournalError>(query, QStringLiteral("SELECT COALESCE(MAX(Id), 0) + 1 FROM Journal"),
                          what);
        if (!query.next())
            throw JournalError(what);
        const qint64 id = query.value(0).toLongLong();
        InsertJournalEntry(db(), id, entry, what);
        // The window's keys of the page, and of those a reader left marked, up to a few.
        RefreshKeys(db(), what, 64);
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
        return QStringLiteral("Номерът не може да бъде съхранен в %1").arg(NativeName(m_firmFile));
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
            m_connection = std::make_unique<JournalConnection>(m_journalFile, "rwc");
            PrepareForWriting(db(), m_journalFile);
        } catch (const JournalError &error) {
            m_connection.reset();
            m_journalProblem = error.message();
            return false;
        }
        QSqlQuery attach(db());
        attach.prepare(QStringLiteral("ATTACH DATABASE ? AS firm"));
        attach.addBindValue(JournalFileUri(m_firmFile, "rw"));
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
                                .arg(NativeName(m_firmFile), NativeName(m_journalFile),
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
    std::unique_ptr<JournalConnection> m_connection;
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

namespace
{
// Whether the journal has its keys and none waits: the window can read it as it is.
bool ReadyForReading(const QString &journalFile)
{
    JournalConnection connection(journalFile, "ro");
    const QString what = JournalReadProblem(journalFile);
    if (LayoutVersion(connection.db(), what) < kJournalVersion)
        return false;
    return JournalValue(connection.db(),
                        QStringLiteral("SELECT EXISTS (SELECT 1 FROM JournalStale)"), what)
               .toInt() == 0;
}

// Brings the journal up to this layout and gives the pages that wait their keys, a batch per
// commit, so that what is done stays done when the work is stopped.
void BringUpKeys(const QString &journalFile, const JournalProgress &progress)
{
    constexpr qint64 kBatch = 2000;
    JournalConnection connection(journalFile, "rw");
    const QSqlDatabase db = connection.db();
    PrepareForWriting(db, journalFile);
    const QString what = JournalWriteProblem(journalFile);
    const qint64 total = StaleKeyCount(db, what);
    qint64 done = 0;
    QSqlQuery query(db);
    for (;;) {
        Run<JournalError>(query, QStringLiteral("BEGIN IMMEDIATE"), what);
        qint64 count = 0;
        try {
            count = RefreshKeys(db, what, kBatch);
            Run<JournalError>(query, QStringLiteral("COMMIT"), what);
        } catch (const JournalError &) {
            RollbackQuietly(db);
            throw;
        }
        done += count;
        if (count < kBatch || (progress && !progress(done, qMax(done, total))))
            return;
    }
}
// The pages of the server's journal the copy lacks, added to it with their ids; the keys are made
// after. The server's pages only ever grow: a page is added, never changed.
void MirrorServerPages(const QString &journalFile, const QString &copy,
                       const JournalProgress &progress)
{
    JournalConnection connection(copy, "rwc");
    const QSqlDatabase db = connection.db();
    PrepareForWriting(db, copy);
    const QString what = JournalWriteProblem(copy);
    const auto newest = [&] {
        return JournalValue(db, QStringLiteral("SELECT COALESCE(MAX(Id), 0) FROM Journal"), what)
            .toLongLong();
    };
    // How many pages the copy lacks, for the progress of a first opening of a long journal.
    qint64 total = 0;
    {
        const std::unique_ptr<JournalBackend> server = JournalAt(journalFile);
        QSqlQuery count(server->db());
        count.prepare(QStringLiteral("SELECT COUNT(*) FROM Journal WHERE Id > ?"));
        count.addBindValue(newest());
        Run<JournalError>(count, JournalReadProblem(journalFile));
        total = count.next() ? count.value(0).toLongLong() : 0;
    }
    constexpr int kBatch = 5000;
    qint64 done = 0;
    while (done < total) {
        const QVector<JournalEntry> pages = ReadEntries(
            journalFile, QStringLiteral("WHERE Id > ? ORDER BY Id LIMIT %1").arg(kBatch),
            {newest()});
        if (pages.isEmpty())
            return;
        QSqlQuery query(db);
        Run<JournalError>(query, QStringLiteral("BEGIN IMMEDIATE"), what);
        try {
            for (const JournalEntry &page : pages)
                InsertJournalEntry(db, page.id, page, what);
            Run<JournalError>(query, QStringLiteral("COMMIT"), what);
        } catch (const JournalError &) {
            RollbackQuietly(db);
            throw;
        }
        done += pages.size();
        if (pages.size() < kBatch)
            return;
        // Stopped, the copy keeps the pages it has and takes the rest at the next opening; a
        // list without the newest pages is not shown meanwhile.
        if (progress && !progress(done, qMax(done, total)))
            throw JournalError(
                QStringLiteral("Копирането на дневника от сървъра е спряно след %1 от %2 "
                               "страници. Отворете дневника отново, за да продължи.")
                    .arg(done)
                    .arg(total));
    }
}
} // namespace

QString PrepareJournalForReading(const QString &journalFile, const QString &copyFolder,
                                 const JournalProgress &progress)
{
    // A desk of the server reads a copy of the server's journal of its own, brought up to date
    // at each opening: the window's search, narrowing and sums run on its keys as on a file's.
    if (Server::ForFile(journalFile)) {
        if (copyFolder.isEmpty())
            throw JournalError(JournalReadProblem(journalFile));
        const QString copy = QDir(copyFolder).filePath(QFileInfo(journalFile).fileName());
        MirrorServerPages(journalFile, copy, progress);
        BringUpKeys(copy, progress);
        return copy;
    }
    if (!QFileInfo::exists(journalFile) || ReadyForReading(journalFile))
        return journalFile;
    try {
        BringUpKeys(journalFile, progress);
        return journalFile;
    } catch (const JournalError &) {
        if (copyFolder.isEmpty())
            throw;
    }
    // A journal this run may not write (a folder on a read-only disk) is read from a copy.
    const QString copy = QDir(copyFolder).filePath(QFileInfo(journalFile).fileName());
    QFile::remove(copy);
    if (!QFile::copy(journalFile, copy))
        throw JournalError(JournalReadProblem(journalFile) +
                           QStringLiteral(": не може да бъде копиран в %1.").arg(NativeName(copy)));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    BringUpKeys(copy, progress);
    return copy;
}

QString CountersForCheck(const QString &tablesFolder, const QString &copyFolder)
{
    const QString firmFile = QDir(tablesFolder).filePath(kCounterTable);
    if (!Server::ForFile(firmFile))
        return firmFile;
    // The server's counters, in the order of its own companies, in a file the check reads on
    // its own thread.
    const QString copy = QDir(copyFolder).filePath(kCounterTable);
    QFile::remove(copy);
    TTable firms;
    firms.SetDatabaseName(tablesFolder);
    firms.SetTableName(kCounterTable);
    firms.Open();
    JournalConnection connection(copy, "rwc");
    const QSqlDatabase db = connection.db();
    const QString what = JournalWriteProblem(copy);
    QSqlQuery query(db);
    Run<JournalError>(query,
                      QStringLiteral("CREATE TABLE Firm (\"%1\" TEXT, \"%2\" TEXT)")
                          .arg(kInvoiceCounter, kProformaCounter),
                      what);
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO Firm VALUES (?, ?)"));
    for (int recNo = 1; recNo <= firms.RecordCount(); ++recNo) {
        firms.SetRecNo(recNo);
        insert.addBindValue(firms.FieldByName(kInvoiceCounter)->AsString());
        insert.addBindValue(firms.FieldByName(kProformaCounter)->AsString());
        Run<JournalError>(insert, what);
    }
    firms.Close();
    return copy;
}

qint64 PagesWithoutKeys(const QString &journalFile)
{
    if (!QFileInfo::exists(journalFile))
        return 0;
    JournalConnection connection(journalFile, "ro");
    const QString what = JournalReadProblem(journalFile);
    const QSqlDatabase db = connection.db();
    if (LayoutVersion(db, what) < kJournalVersion)
        return JournalValue(db, QStringLiteral("SELECT COUNT(*) FROM Journal"), what).toLongLong();
    return StaleKeyCount(db, what);
}
