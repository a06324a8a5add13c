#include "print/ArchiveName.h"

#include "document/DocumentNumber.h"

#include <QDir>

QString FileNameSafe(const QString &piece)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    QString safe = piece;
    for (QChar &c : safe)
        if (c.category() == QChar::Other_Control || forbidden.contains(c))
            c = QLatin1Char('_');
    return safe;
}

QString ArchiveFileName(const QString &folder, const QString &kind, int firmRecNo,
                        const QString &number, const QString &mark)
{
    QString name = IsProforma(kind) ? QStringLiteral("VProform") : QStringLiteral("VInv");
    name += QStringLiteral("Firm") + QString::number(firmRecNo);
    name += QLatin1Char('_') + number + QLatin1Char('_');
    if (mark == kCopyMark)
        name += QStringLiteral("copy");
    name += QStringLiteral(".bmp");
    QString base = folder;
    if (!base.isEmpty() && !base.endsWith(QLatin1Char('/')) && !base.endsWith(QLatin1Char('\\')))
        base += QLatin1Char('/');
    return base + FileNameSafe(name);
}
