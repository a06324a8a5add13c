#include "journal/JournalDatabase.h"

#include "document/Invoice.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QUrl>
#include <QVariant>

QString JournalFileUri(const QString &file, const char *mode)
{
    return QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString(QUrl::FullyEncoded) +
           QStringLiteral("?mode=") + QLatin1String(mode);
}

QString NativeName(const QString &file)
{
    return QDir::toNativeSeparators(file);
}

QString JournalWriteProblem(const QString &file)
{
    return QStringLiteral("Дневникът %1 не може да бъде записан").arg(NativeName(file));
}

QString JournalReadProblem(const QString &file)
{
    return QStringLiteral("Дневникът %1 не може да бъде прочетен").arg(NativeName(file));
}

namespace
{
QAtomicInt nextConnection;
} // namespace

JournalConnection::JournalConnection(const QString &file, const char *mode)
    : m_name(QStringLiteral("journal_%1").arg(nextConnection.fetchAndAddRelaxed(1)))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(JournalFileUri(file, mode));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        throw JournalError(QStringLiteral("Дневникът %1 не може да бъде отворен: %2")
                               .arg(NativeName(file), db.lastError().text().trimmed()));
}

JournalConnection::~JournalConnection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase JournalConnection::db() const
{
    return QSqlDatabase::database(m_name, false);
}

QVariant JournalValue(const QSqlDatabase &db, const QString &sql, const QString &what)
{
    QSqlQuery query(db);
    Run<JournalError>(query, sql, what);
    return query.next() ? query.value(0) : QVariant();
}

const QStringList &JournalColumns()
{
    static const QStringList columns = {QStringLiteral("Number"),
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
    return columns;
}

QVariantList JournalLedgerValues(const LedgerFields &f)
{
    return {f.type,  f.period, f.recipientId, f.description,   f.base20, f.vat20,
            f.base9, f.vat9,   f.base0,       f.zeroVatColumn, f.problem};
}

const QStringList &JournalListColumns()
{
    static const QStringList columns = [] {
        QStringList list = JournalColumns();
        list.removeAll(QStringLiteral("Document"));
        return list;
    }();
    return columns;
}

QVariantList JournalValues(const JournalEntry &e)
{
    return QVariantList{e.number,
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
                        e.document.isEmpty() ? QVariant() : QVariant(e.document)} +
           JournalLedgerValues(e.ledger) + QVariantList{e.xmlFile};
}

void SetJournalValues(JournalEntry &e, const std::function<QVariant(int)> &value, int first)
{
    int i = first;
    auto text = [&] { return value(i++).toString(); };
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
    e.colourDepth = value(i++).toInt();
    e.copy = value(i++).toInt() != 0;
    e.printedAt = text();
    e.bitmapFile = text();
    e.pdfFile = text();
    LedgerFields &f = e.ledger;
    for (QString *field : {&f.type, &f.period, &f.recipientId, &f.description, &f.base20, &f.vat20,
                           &f.base9, &f.vat9, &f.base0, &f.zeroVatColumn, &f.problem, &e.xmlFile})
        *field = text();
}
