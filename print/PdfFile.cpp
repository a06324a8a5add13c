#include "print/PdfFile.h"

#include "base/AtomicFiles.h"
#include "base/Errors.h"
#include "base/Title.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QWidget>

QString PdfFileNameFor(const QString &bitmapFile)
{
    const QFileInfo info(bitmapFile);
    return QDir(info.path()).filePath(info.completeBaseName() + QStringLiteral(".pdf"));
}

void SavePagePdf(const QString &fileName, QWidget *page, const QString &title)
{
    // The page is made in memory first: a file is written only once the document is whole, and
    // then all at once, so a full disk cannot leave a PDF without its end under the final name.
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    bool drawn = false;
    {
        QPdfWriter writer(&buffer);
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setResolution(300);
        writer.setTitle(title);
        writer.setCreator(ApplicationTitle());

        QPainter painter;
        if (painter.begin(&writer)) {
            const double scale = qMin(double(writer.width()) / page->width(),
                                      double(writer.height()) / page->height());
            painter.translate((writer.width() - page->width() * scale) / 2, 0);
            painter.scale(scale, scale);
            painter.setRenderHint(QPainter::LosslessImageRendering);
            page->render(&painter, QPoint(), QRegion(),
                         QWidget::DrawWindowBackground | QWidget::DrawChildren);
            drawn = painter.end();
        }
    }
    if (!drawn || !pdf.trimmed().endsWith("%%EOF"))
        throw UserError(CannotWriteMessage(fileName, QStringLiteral("страницата не можа да бъде "
                                                                    "изобразена като PDF")));
    WriteFileAtomically(fileName, pdf);
}
