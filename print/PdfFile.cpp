#include "print/PdfFile.h"

#include "base/Errors.h"
#include "base/Title.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QWidget>

QString PdfFileNameFor(const QString &bitmapFile)
{
    const QFileInfo info(bitmapFile);
    return QDir(info.path()).filePath(info.completeBaseName() + QStringLiteral(".pdf"));
}

void SavePagePdf(const QString &fileName, QWidget *page, const QString &title)
{
    const auto cannotCreate = [&fileName] {
        return UserError(QStringLiteral("Файлът %1 не може да бъде записан.")
                             .arg(QDir::toNativeSeparators(fileName)));
    };
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw cannotCreate();
    {
        QPdfWriter writer(&file);
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setResolution(300);
        writer.setTitle(title);
        writer.setCreator(ApplicationTitle());

        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            throw cannotCreate();
        }
        const double scale =
            qMin(double(writer.width()) / page->width(), double(writer.height()) / page->height());
        painter.translate((writer.width() - page->width() * scale) / 2, 0);
        painter.scale(scale, scale);
        painter.setRenderHint(QPainter::LosslessImageRendering);
        page->render(&painter, QPoint(), QRegion(),
                     QWidget::DrawWindowBackground | QWidget::DrawChildren);
        painter.end();
    }
    if (!file.commit())
        throw cannotCreate();
}
