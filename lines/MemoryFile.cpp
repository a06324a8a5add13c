#include "lines/MemoryFile.h"

#include "base/AtomicFiles.h"
#include "base/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

QStringList DecodeMemoryText(const QByteArray &bytes)
{
    QStringDecoder decoder("windows-1251");
    const QString text = decoder.decode(bytes);
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines << line;
            line.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

QByteArray EncodeMemoryText(const QStringList &lines)
{
    QStringEncoder encoder("windows-1251");
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += encoder.encode(line);
        bytes += "\r\n";
    }
    return bytes;
}

QStringList ReadMemoryFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(QStringLiteral("Cannot open file \"%1\". %2")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
    return DecodeMemoryText(file.readAll());
}

void WriteMemoryFile(const QString &path, const QStringList &lines)
{
    const QString reason = TryWriteFileAtomically(path, EncodeMemoryText(lines));
    if (!reason.isEmpty())
        throw UserError(
            QStringLiteral("Cannot create file %1\n").arg(QDir::toNativeSeparators(path)) +
            CannotWriteMessage(QFileInfo(path).fileName(), reason));
}
