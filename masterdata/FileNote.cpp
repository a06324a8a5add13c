#include "masterdata/FileNote.h"

#include "base/Errors.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

namespace
{
const QString kNotesTable = QStringLiteral("Vornex");

// A connection of its own, closed and removed when the step ends. Opening never creates a file;
// one that cannot be written is still read.
class NoteConnection
{
public:
    explicit NoteConnection(const QString &file)
        : m_name(QStringLiteral("note_%1").arg(s_next.fetchAndAddRelaxed(1)))
    {
        const QFileInfo info(file);
        if (!info.isFile())
            throw UserError(
                QStringLiteral("Файлът %1 не съществува.").arg(QDir::toNativeSeparators(file)));
        const QString uri =
            QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        db.setDatabaseName(uri + QStringLiteral("?mode=rw"));
        if (!db.open()) {
            db.setDatabaseName(uri + QStringLiteral("?mode=ro"));
            if (!db.open())
                fail(file, db.lastError().text());
        }
    }
    ~NoteConnection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    NoteConnection(const NoteConnection &) = delete;
    NoteConnection &operator=(const NoteConnection &) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

    [[noreturn]] static void fail(const QString &file, const QString &reason)
    {
        throw UserError(QStringLiteral("Файлът %1 не може да бъде прочетен или записан: %2")
                            .arg(QDir::toNativeSeparators(file), reason.trimmed()));
    }

private:
    static QAtomicInt s_next;
    QString m_name;
};
QAtomicInt NoteConnection::s_next;
} // namespace

QString ReadFileNote(const QString &tableFile, const QString &name)
{
    const NoteConnection connection(tableFile);
    QSqlQuery query(connection.db());
    // Reading the schema also proves that the file is a database at all.
    query.prepare(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                                 "name = ?"));
    query.addBindValue(kNotesTable);
    if (!query.exec() || !query.next())
        NoteConnection::fail(tableFile, query.lastError().text());
    if (query.value(0).toInt() == 0)
        return QString();
    query.finish();
    query.prepare(QStringLiteral("SELECT \"Value\" FROM \"Vornex\" WHERE \"Name\" = ?"));
    query.addBindValue(name);
    if (!query.exec())
        NoteConnection::fail(tableFile, query.lastError().text());
    return query.next() ? query.value(0).toString() : QString();
}

void WriteFileNote(const QString &tableFile, const QString &name, const QString &value)
{
    const NoteConnection connection(tableFile);
    QSqlQuery query(connection.db());
    const auto run = [&](const QString &sql) {
        if (!query.exec(sql))
            NoteConnection::fail(tableFile, query.lastError().text());
    };
    run(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        run(QStringLiteral("CREATE TABLE IF NOT EXISTS \"Vornex\" (\"Name\" TEXT PRIMARY KEY, "
                           "\"Value\" TEXT)"));
        query.prepare(QStringLiteral(
            "INSERT OR REPLACE INTO \"Vornex\" (\"Name\", \"Value\") VALUES (?, ?)"));
        query.addBindValue(name);
        query.addBindValue(value);
        if (!query.exec())
            NoteConnection::fail(tableFile, query.lastError().text());
        run(QStringLiteral("COMMIT"));
    } catch (...) {
        query.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}
