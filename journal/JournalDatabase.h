#pragma once

#include "journal/JournalStore.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

// The journal's own use of SQLite, shared by its store, its keys and its reader: a connection of
// one step's own, statements that throw the error wanted, and the texts of its failures.

// A file as an SQLite URI with the open mode given ("ro", "rw", "rwc").
QString JournalFileUri(const QString &file, const char *mode);
// The file's name as the user's system writes it.
QString NativeName(const QString &file);
// "Дневникът <file> не може да бъде записан" / "... прочетен".
QString JournalWriteProblem(const QString &file);
QString JournalReadProblem(const QString &file);

// A connection of its own for one step or one reader, closed and removed when it goes. Opening
// throws a JournalError with the file's name and the reason.
class JournalConnection
{
public:
    JournalConnection(const QString &file, const char *mode);
    ~JournalConnection();
    JournalConnection(const JournalConnection &) = delete;
    JournalConnection &operator=(const JournalConnection &) = delete;

    QSqlDatabase db() const;

private:
    QString m_name;
};

// Runs a prepared statement, or the statement given; a failure throws Error with `what` and the
// reason.
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

// The first value of a statement without bound values; an empty value when it gives no row.
QVariant JournalValue(const QSqlDatabase &db, const QString &sql, const QString &what);

// The page columns of "Journal" after "Id" (JournalColumns(), in the order of JournalEntry: the
// page's texts, the document, the sales ledger's fields, the e-invoice's file) without the
// document, as rows are read for lists.
const QStringList &JournalListColumns();
// The values of the sales ledger's columns, in their order.
QVariantList JournalLedgerValues(const LedgerFields &fields);
// The entry's values for JournalColumns(), in their order.
QVariantList JournalValues(const JournalEntry &entry);
// Fills an entry from a row whose JournalListColumns() start at column `first`; `value` gives
// the row's value at a column.
void SetJournalValues(JournalEntry &entry, const std::function<QVariant(int)> &value, int first);
