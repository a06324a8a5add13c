#include "einvoice/EInvoiceFile.h"

#include "base/AtomicFiles.h"
#include "einvoice/EInvoice.h"

#include <QDir>
#include <QFileInfo>

namespace EInvoice
{
QString FileNameFor(const QString &bitmapFile)
{
    const QFileInfo info(bitmapFile);
    return QDir(info.path()).filePath(info.completeBaseName() + QStringLiteral(".xml"));
}

void WriteFile(const Invoice &invoice, const QString &fileName)
{
    WriteFileAtomically(fileName, Xml(invoice));
}
} // namespace EInvoice
