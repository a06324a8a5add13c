#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The line table's memory file "Vmem.txt": one value per line in Windows-1251.

// Splits Windows-1251 bytes into lines, accepting CR LF, LF or CR as line ends.
QStringList DecodeMemoryText(const QByteArray &bytes);
// Encodes lines in Windows-1251 with CR LF after every line, the last included.
QByteArray EncodeMemoryText(const QStringList &lines);
// Reads the file's lines; throws UserError when it exists but cannot be read.
QStringList ReadMemoryFile(const QString &path);
// Replaces the file with the lines, all or nothing; throws "Cannot create file <path>" followed
// by a line naming the file and the reason (the disk is full, no permission).
void WriteMemoryFile(const QString &path, const QStringList &lines);
