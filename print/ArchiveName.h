#pragma once

#include <QString>

// The names of the archived pages.

// The two marks of a printed page.
inline const QString kOriginalMark = QStringLiteral("Оригинал / Original");
inline const QString kCopyMark = QStringLiteral("Копие / Copy");

// A piece of a file name with every character that cannot stand in one (path separators, ":",
// "*", "?", quotes, "<", ">", "|", control characters) replaced by "_", so it stays in its folder.
QString FileNameSafe(const QString &piece);

// The archive file of a printed page: folder + "VProform" or "VInv" + "Firm" + the own-company
// record number + "_" + the document number + "_" + ("copy" for a copy) + ".bmp".
QString ArchiveFileName(const QString &folder, const QString &kind, int firmRecNo,
                        const QString &number, const QString &mark);
