#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Files written all or nothing: the bytes go to a temporary file beside the final one, named
// "<final name>.XXXXXX" (six random letters of both cases), which is then renamed into place. A run
// killed in between leaves such a file behind; the next start removes it.

// Whether a file name is one of those temporary files for a final name matching one of the
// wildcard patterns ("Vmem.txt", "*.bmp").
bool IsAtomicWriteLeftover(const QString &fileName, const QStringList &finalPatterns);
// Removes the leftovers of atomic writes of files matching the patterns from the folder (not its
// subfolders). Returns the names removed.
QStringList RemoveAtomicWriteLeftovers(const QString &folder, const QStringList &finalPatterns);

enum class NewFileResult { Written, Exists, Failed };
// Writes a file that must not replace another: Exists when a file of that name is there (also if
// one appears while writing), Failed when it cannot be written; in both cases nothing changes.
NewFileResult WriteNewFile(const QString &fileName, const QByteArray &bytes);
