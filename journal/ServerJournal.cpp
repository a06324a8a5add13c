#include "journal/ServerJournal.h"

#include "document/DocumentNumber.h"
#include "journal/JournalBackend.h"
#include "masterdata/ServerConnection.h"
#include "masterdata/ServerTables.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace
{
// How long a print waits for the counter another desk's print holds.
const QString kCounterWait = QStringLiteral("SET LOCAL lock_timeout = '10s'");
const QString kFirm = QStringLiteral("Firm");

// The bytes of a file of the page, or none when this desk has no such file.
QByteArray FileBytes(const QString &file)
{
    if (file.isEmpty())
        return QByteArray();
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

// What the server keeps of a page's files: its PDF, and its bitmap compressed (a page is mostly
// white, so it shrinks to a few per cent).
QVariantList KeptFiles(const JournalEntry &entry)
{
    const QByteArray pdf = FileBytes(entry.pdfFile);
    const QByteArray bitmap = FileBytes(entry.bitmapFile);
    return {pdf.isEmpty() ? QVariant(QMetaType(QMetaType::QByteArray)) : QVariant(pdf),
            bitmap.isEmpty() ? QVariant(QMetaType(QMetaType::QByteArray))
                             : QVariant(qCompress(bitmap, 9))};
}

class PostgresHold : public CounterHold
{
public:
    PostgresHold(const ServerSettings &settings, const IssueRequest &request)
        : m_server(settings), m_request(request)
    {
        m_server.runPlain(QStringLiteral("BEGIN"), firmWhat());
        m_open = true;
        m_server.runPlain(kCounterWait, firmWhat());
    }
    ~PostgresHold() override
    {
        // A desk that dies here leaves nothing: the server undoes the transaction itself.
        if (m_open) {
            QSqlQuery query(m_server.db());
            query.exec(QStringLiteral("ROLLBACK"));
        }
    }

    QString counter() override
    {
        // The counter's row stays locked until the commit: another desk's print waits here.
        QSqlQuery query(m_server.db());
        query.prepare(
            QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY %1 LIMIT 1 OFFSET ? FOR UPDATE")
                .arg(m_server.quoted(ServerTables::kKeyColumn),
                     m_server.quoted(m_request.counterField), m_server.quoted(kFirm)));
        query.addBindValue(qMax(0, m_request.firmRecNo - 1));
        if (!query.exec()) {
            if (ServerBusy(ServerErrorCode(query)))
                throw UserError(QStringLiteral("Броячът „%1“ е зает от печат на друго работно "
                                               "място. Опитайте отново.")
                                    .arg(m_request.counterField));
            throw UserError(firmWhat() + QStringLiteral(": ") + query.lastError().text().trimmed());
        }
        if (!query.next())
            throw UserError(firmWhat() + QStringLiteral(": няма запис на собствената фирма."));
        m_firmKey = query.value(0).toLongLong();
        return query.value(1).toString();
    }
    bool journalHolds() override
    {
        return JournalHoldsNumber(m_server.db(), m_request, journalWhat());
    }
    bool withJournal() const override { return true; }
    QString journalProblem() const override { return QString(); }
    void storeCounter(const QString &number) override
    {
        m_server.exec(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?")
                          .arg(m_server.quoted(kFirm), m_server.quoted(m_request.counterField),
                               m_server.quoted(ServerTables::kKeyColumn)),
                      {number, m_firmKey}, firmWhat());
    }
    qint64 insert(const JournalEntry &entry) override
    {
        // Every print of this own company waits for the counter's row, so this look cannot be
        // overtaken; the journal's index refuses a second page all the same.
        QSqlQuery same = m_server.exec(
            QStringLiteral("SELECT 1 FROM Journal WHERE SupplierVat IS NOT DISTINCT FROM ? AND "
                           "SupplierId IS NOT DISTINCT FROM ? AND Series = ? AND Number = ? AND "
                           "IsCopy = ? AND NOT Copied"),
            {entry.supplierVat, entry.supplierId, entry.series, entry.number, entry.copy ? 1 : 0},
            journalWhat());
        if (same.next())
            throw UserError(QStringLiteral("Номер %1 вече е издаден от друго работно място (%2 "
                                           "е в дневника на сървъра); нищо не е записано.")
                                .arg(entry.number, entry.copy ? QStringLiteral("копието")
                                                              : QStringLiteral("оригиналът")));
        QSqlQuery next =
            m_server.exec(QStringLiteral("SELECT nextval(pg_get_serial_sequence('journal', 'id'))"),
                          {}, journalWhat());
        if (!next.next())
            throw JournalError(journalWhat());
        const qint64 id = next.value(0).toLongLong();
        InsertJournalEntry(m_server.db(), id, entry, journalWhat());
        m_server.exec(QStringLiteral("UPDATE Journal SET Pdf = ?, Page = ? WHERE Id = ?"),
                      KeptFiles(entry) << id, journalWhat());
        m_number = entry.number;
        return id;
    }
    void commit() override
    {
        QSqlQuery query(m_server.db());
        if (!query.exec(QStringLiteral("COMMIT"))) {
            const QString code = ServerErrorCode(query);
            const QString text = query.lastError().text().trimmed();
            QSqlQuery(m_server.db()).exec(QStringLiteral("ROLLBACK"));
            m_open = false;
            if (code == QLatin1String("23505"))
                throw UserError(QStringLiteral("Номер %1 вече е издаден от друго работно място; "
                                               "нищо не е записано.")
                                    .arg(m_number));
            throw UserError(firmWhat() + QStringLiteral(": ") + text);
        }
        m_open = false;
    }

private:
    QString firmWhat() const
    {
        return QStringLiteral("Номерът не може да бъде съхранен на сървъра %1")
            .arg(m_server.settings().describe());
    }
    QString journalWhat() const
    {
        return QStringLiteral("Дневникът на сървъра %1 не може да бъде записан")
            .arg(m_server.settings().describe());
    }

    ServerConnection m_server;
    IssueRequest m_request;
    bool m_open = false;
    qint64 m_firmKey = 0;
    QString m_number;
};

class PostgresJournal : public JournalBackend
{
public:
    explicit PostgresJournal(const ServerSettings &settings) : m_settings(settings) {}
    QString name() const override
    {
        return QStringLiteral("на сървъра %1").arg(m_settings.describe());
    }
    bool exists() const override { return true; }
    QSqlDatabase db() override
    {
        if (!m_reader) {
            try {
                m_reader = std::make_unique<ServerConnection>(m_settings);
            } catch (const UserError &error) {
                throw JournalError(error.message());
            }
        }
        return m_reader->db();
    }
    QSet<QString> columns() override
    {
        // The server's journal is made whole at once.
        const QStringList &columns = JournalColumns();
        return QSet<QString>(columns.begin(), columns.end());
    }
    void bringUp() override {}
    std::unique_ptr<CounterHold> hold(const IssueRequest &request) override
    {
        return std::make_unique<PostgresHold>(m_settings, request);
    }
    QByteArray keptPdf(qint64 id) override { return kept(QStringLiteral("Pdf"), id); }
    QByteArray keptBitmap(qint64 id) override { return kept(QStringLiteral("Page"), id); }

private:
    QByteArray kept(const QString &column, qint64 id)
    {
        QSqlQuery query(db());
        query.prepare(QStringLiteral("SELECT %1 FROM Journal WHERE Id = ?").arg(column));
        query.addBindValue(id);
        if (!query.exec())
            throw JournalError(QStringLiteral("Дневникът %1 не може да бъде прочетен: %2")
                                   .arg(name(), query.lastError().text().trimmed()));
        return query.next() ? query.value(0).toByteArray() : QByteArray();
    }

    ServerSettings m_settings;
    std::unique_ptr<ServerConnection> m_reader;
};
} // namespace

std::unique_ptr<JournalBackend> ServerJournal(const ServerSettings &settings)
{
    return std::make_unique<PostgresJournal>(settings);
}

void ServerJournalLayout::Create(const ServerConnection &server)
{
    QStringList columns{QStringLiteral("Id bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY")};
    for (const QString &c : JournalColumns())
        columns << c + (c == QLatin1String("ColourDepth") || c == QLatin1String("IsCopy")
                            ? QStringLiteral(" integer")
                        : c == QLatin1String("Document") ? QStringLiteral(" bytea")
                                                         : QStringLiteral(" text"));
    columns << QStringLiteral("Pdf bytea") << QStringLiteral("Page bytea")
            << QStringLiteral("Copied boolean NOT NULL DEFAULT false");
    QStringList lines;
    for (const QString &c : JournalLineColumns())
        lines << c + (c == QLatin1String("JournalId")  ? QStringLiteral(" bigint NOT NULL "
                                                                         "REFERENCES Journal (Id)")
                      : c == QLatin1String("Position") ? QStringLiteral(" integer NOT NULL")
                                                       : QStringLiteral(" text"));
    lines << QStringLiteral("PRIMARY KEY (JournalId, Position)");
    const QString what = QStringLiteral("Дневникът не може да бъде създаден на сървъра");
    for (const QString &sql : {
             QStringLiteral("CREATE TABLE Journal (%1)").arg(columns.join(", ")),
             QStringLiteral("CREATE TABLE JournalLine (%1)").arg(lines.join(", ")),
             // One page of a kind per number of a series of an own company, whichever desk
             // prints it; the pages copied from a desk's file are kept as they were.
             QStringLiteral(
                 "CREATE UNIQUE INDEX JournalNumber ON Journal (SupplierVat, SupplierId, "
                 "Series, Number, IsCopy) NULLS NOT DISTINCT WHERE NOT Copied"),
             QStringLiteral("CREATE INDEX JournalLedgerPeriod ON Journal (LedgerPeriod)"),
             QStringLiteral("CREATE INDEX JournalSupplier ON Journal (SupplierVat, SupplierId)"),
         })
        server.runPlain(sql, what);
}

int ServerJournalLayout::Copy(const ServerConnection &server, const QString &journalFile)
{
    const std::unique_ptr<JournalBackend> local = FileJournal(journalFile);
    if (!local->exists())
        return 0;
    local->bringUp();
    const QString what =
        QStringLiteral("Дневникът %1 не може да бъде копиран на сървъра").arg(local->name());
    const QStringList &columns = JournalColumns();
    QSqlQuery pages(local->db());
    pages.setForwardOnly(true);
    if (!pages.exec(
            QStringLiteral("SELECT Id, %1 FROM Journal ORDER BY Id").arg(columns.join(", "))))
        throw JournalError(what + QStringLiteral(": ") + pages.lastError().text().trimmed());
    const int pdfAt = int(columns.indexOf(QStringLiteral("PdfFile"))) + 1;
    const int bitmapAt = int(columns.indexOf(QStringLiteral("BitmapFile"))) + 1;
    const int documentAt = int(columns.indexOf(QStringLiteral("Document"))) + 1;
    QStringList marks;
    for (int i = 0; i < columns.size() + 4; ++i)
        marks << QStringLiteral("?");
    QSqlQuery insert(server.db());
    insert.prepare(QStringLiteral("INSERT INTO Journal (Id, %1, Pdf, Page, Copied) VALUES (%2)")
                       .arg(columns.join(", "), marks.join(", ")));
    int copied = 0;
    qint64 last = 0;
    while (pages.next()) {
        last = pages.value(0).toLongLong();
        insert.addBindValue(last);
        for (int i = 1; i <= columns.size(); ++i) {
            const QVariant value = pages.value(i);
            // The document is kept as text in the file and as bytes on the server.
            if (i == documentAt)
                insert.addBindValue(value.isNull() ? QVariant(QMetaType(QMetaType::QByteArray))
                                                   : QVariant(value.toByteArray()));
            else
                insert.addBindValue(value);
        }
        JournalEntry files;
        files.pdfFile = pages.value(pdfAt).toString();
        files.bitmapFile = pages.value(bitmapAt).toString();
        for (const QVariant &value : KeptFiles(files))
            insert.addBindValue(value);
        insert.addBindValue(true);
        server.run(insert, what);
        ++copied;
    }
    QSqlQuery lines(local->db());
    lines.setForwardOnly(true);
    if (!lines.exec(QStringLiteral("SELECT %1 FROM JournalLine ORDER BY JournalId, Position")
                        .arg(JournalLineColumns().join(", "))))
        throw JournalError(what + QStringLiteral(": ") + lines.lastError().text().trimmed());
    QStringList lineMarks;
    for (int i = 0; i < JournalLineColumns().size(); ++i)
        lineMarks << QStringLiteral("?");
    QSqlQuery insertLine(server.db());
    insertLine.prepare(QStringLiteral("INSERT INTO JournalLine (%1) VALUES (%2)")
                           .arg(JournalLineColumns().join(", "), lineMarks.join(", ")));
    while (lines.next()) {
        for (int i = 0; i < JournalLineColumns().size(); ++i)
            insertLine.addBindValue(lines.value(i));
        server.run(insertLine, what);
    }
    // The pages printed from now on follow the copied ones.
    server.exec(QStringLiteral("SELECT setval(pg_get_serial_sequence('journal', 'id'), ?::bigint, "
                               "?::boolean)"),
                {qMax<qint64>(last, 1), last > 0}, what);
    return copied;
}
