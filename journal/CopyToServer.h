#pragma once

#include "base/ServerSettings.h"

#include <QString>
#include <QVector>

#include <utility>

// Moving a desk's data to the server: the five master tables and the journal of a tables folder
// copied into an empty database, in one transaction.

struct ServerCopy {
    QVector<std::pair<QString, int>> tables; // each table and its records, in the copy's order
    int pages = 0;                           // the journal's pages
};

// Creates the program's tables on the server and copies the folder's into them, all or nothing.
// A database that holds any table already is refused with a UserError, as is a table file that
// cannot be read or a value the server's field cannot take.
ServerCopy CopyFolderToServer(const ServerSettings &settings, const QString &tablesFolder);
// The copy as its summary line says it.
QString ServerCopyText(const ServerSettings &settings, const ServerCopy &copy);

// "--copy-to-server": copies the program folder's DB/ to the server its setting file names;
// prints what it copied and returns the exit status; a refusal throws a UserError.
int CopyToServerCommand(const QStringList &arguments);
