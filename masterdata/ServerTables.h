#pragma once

#include "masterdata/TableStorage.h"

#include <QString>

class ServerConnection;

// The master tables as the server keeps them: each of the five tables under its file's base name
// with the same fields, plus a key column the desks find records by, and a change counter per
// table that every write moves (and announces), so that a desk sees what another one wrote.
namespace ServerTables
{
// The column of the record keys: grows in table order, never shown as a field.
inline const QString kKeyColumn = QStringLiteral("vornex_key");
// The channel the server announces a change of a table on; the notice names the table.
inline const QString kChangeChannel = QStringLiteral("vornex_changes");

// The kind of a field from the server's name of its type ("memo", "double precision").
FieldKind KindOfServerType(const QString &typeName);
// The change counter of a table as it is now; -1 when the server has no counter for it.
qint64 ChangeCount(const ServerConnection &server, const QString &table);
// The names of the tables the database holds already (empty for an empty database).
QStringList TablesPresent(const ServerConnection &server);
// Creates the table of the table file `localFile` on the server, with its fields, and copies its
// records with their keys, inside the transaction the caller holds; returns how many. A value
// the server's field cannot take throws a UserError naming the table and the record.
int CopyTable(const ServerConnection &server, const QString &localFile);
} // namespace ServerTables
