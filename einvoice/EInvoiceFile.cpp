#include "einvoice/EInvoiceFile.h"

#include "base/Errors.h"
#include "einvoice/EInvoice.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace EInvoice
{
QString FileNameFor(const QString &bitmapFile)
{
    const QFileInfo info(bitmapFile);
    return QDir(info.path()).filePath(info.completeBaseName() + QStringLiteral(".xml"));
}

void WriteFile(const Invoice &invoice, const QString &fileName)
{
    const QByteArray bytes = Xml(invoice);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw UserError(QStringLiteral("Файлът %1 не може да бъде записан.")
                            .arg(QDir::toNativeSeparators(fileName)));
}
} // namespace EInvoice
