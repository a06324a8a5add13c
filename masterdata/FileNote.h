#pragma once

#include <QString>

// Notes the program keeps inside a table file, beside the file's own table: a table "Vornex" of
// names and values ("HomeCurrency" | "EUR"). The browser shows only the file's own table; another
// SQLite program sees the notes as one more small table.

// The note's value; an empty text when the file has none. Throws a UserError naming the file
// when it cannot be read as a table file.
QString ReadFileNote(const QString &tableFile, const QString &name);
// Sets the note in one transaction, adding the notes table when the file has none; throws a
// UserError naming the file when it cannot be written. Never creates the file.
void WriteFileNote(const QString &tableFile, const QString &name, const QString &value);
