#include "print/PrintPage.h"

#include "app/Dialogs.h"
#include "app/Look.h"
#include "base/Errors.h"
#include "base/ProgramFolder.h"
#include "document/Document.h"
#include "document/DocumentNumber.h"
#include "document/Numbering.h"
#include "document/Transfer.h"
#include "journal/Journal.h"
#include "journal/JournalRecord.h"
#include "journal/PageEntry.h"
#include "lines/Unit1.h"
#include "masterdata/Unit4.h"
#include "print/ArchiveName.h"
#include "print/PdfFile.h"
#include "print/Pr.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPrinter>
#include <QTableWidget>
#include <cstring>

namespace
{
// The labels whose silver field marks must not reach paper.
QList<TLabel *> MarkedFields()
{
    return {Doc->Label15, Doc->Label33, Doc->Label29, Doc->Label30, Doc->Label34,
            Doc->Label65, Doc->Label22, Doc->Label16, Doc->Label18, Doc->Label19,
            Doc->Label37, Doc->Label38, Doc->Label39, Doc->Label53, Doc->Label35,
            Doc->Label52, Doc->Label55, Doc->Label57, Doc->Label40};
}

// Every silver background of the page turns white.
void WhitenFields()
{
    for (TLabel *label : MarkedFields())
        label->setColor(clWhite);
}

// "<kind> № <number>", the title of the page's PDF.
QString PdfTitle()
{
    const QString note = Doc->Panel2->isHidden() ? QString() : Doc->Label21->caption();
    return DocumentKindOfPage(Doc->Label1->caption(), note) + QStringLiteral(" № ") +
           Doc->NO->caption();
}

// A field still showing its dotted placeholder, or nothing.
bool Unfilled(const QString &text)
{
    for (QChar c : text)
        if (c != QLatin1Char('.') && !c.isSpace())
            return false;
    return true;
}

bool PageHasLine()
{
    const TStringGrid *grid = Doc->StringGrid2;
    // Below the two header rows.
    for (int row = 2; row < grid->rowCount(); ++row)
        for (int col = 0; col < grid->columnCount(); ++col)
            if (!grid->cell(col, row).trimmed().isEmpty())
                return true;
    return false;
}

bool PageHasClient()
{
    return !Unfilled(Doc->Label33->caption()) || !Unfilled(Doc->Label23->caption());
}

// A page archived earlier, as the journal lists it.
PrintedPage ArchivedPage(const QString &fileName, const QString &mark)
{
    PrintedPage page{mark, 8, fileName, QString()};
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly)) {
        const BitmapHeader header = ReadBitmapHeader(file.read(64));
        if (header.valid)
            page.bitsPerPixel = header.bitsPerPixel;
    }
    if (QFileInfo(PdfFileNameFor(fileName)).isFile())
        page.pdfFile = PdfFileNameFor(fileName);
    return page;
}

// Ends the number's hold when the print stops before the store.
struct HoldRelease {
    ~HoldRelease() { ReleaseDocumentNumber(); }
};

// The archive folder: the page's data folder where it names one, otherwise the tables' folder.
QString ArchiveFolderOfPage()
{
    const QString svPath = Doc->SVpath->caption();
    if (!svPath.isEmpty() && QDir(svPath).exists())
        return ArchiveFolder(svPath);
    return ArchiveFolder(TablesFolder());
}
} // namespace

bool PaintPageImage(QPrinter &printer, const QRect &target, const QImage &image)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // Lossless, or the printer output would compress the page as a JPEG.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image);
    return painter.end();
}

PageBitmap CaptureWidget(QWidget *widget)
{
    QImage image = widget->grab().toImage();
    if (image.size() != widget->size())
        image = image.scaled(widget->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image = image.convertToFormat(QImage::Format_RGB32);

    PageBitmap page;
    page.width = image.width();
    page.height = image.height();
    page.pixels.resize(size_t(page.width) * size_t(page.height));
    for (int y = 0; y < page.height; ++y)
        std::memcpy(page.pixels.data() + size_t(y) * size_t(page.width), image.constScanLine(y),
                    size_t(page.width) * sizeof(quint32));
    return page;
}

QImage ToImage(const IndexedBitmap &image)
{
    QImage out(image.width, image.height, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (quint32 c : image.palette)
        colours << (c | 0xFF000000u);
    out.setColorTable(colours);
    for (int y = 0; y < image.height; ++y)
        std::memcpy(out.scanLine(y), image.indices.data() + size_t(y) * size_t(image.width),
                    size_t(image.width));
    return out;
}

QRect TargetRect(int w, int h)
{
    const int left = int(w * 0.01);
    return QRect(QPoint(left, 0), QSize(w - left, h));
}

void CheckPageForPrint()
{
    if (!TransferCompleted)
        throw UserError(QStringLiteral("Прехвърлете таблицата във фактурата преди печат."));
    QStringList missing;
    if (!PageHasLine())
        missing << QStringLiteral("Документът няма нито един ред: добавете редовете в „Таблица“ "
                                  "и ги прехвърлете с „Към фактурата“.");
    if (!PageHasClient())
        missing << QStringLiteral("Документът няма клиент: изберете го в „Клиенти“ и натиснете "
                                  "„Добави“.");
    if (!missing.isEmpty())
        throw UserError(missing.join(QLatin1Char('\n')) +
                        QStringLiteral("\nНищо не е отпечатано и номерът не е използван."));
    DocumentNumberValue(Doc->NO->caption());
}

void PrintPage(const QString &mark, const QString &depthChoice, QPrinter &printer, QWidget *owner)
{
    // The page, then its number against the counter, before anything is changed or written.
    CheckPageForPrint();
    const HoldRelease release;
    const bool ahead = HoldDocumentNumber();
    const QString fileName = ArchiveFileName(ArchiveFolderOfPage(), Form1->ComboBox2->currentText(),
                                             Form4->FirmRecNo, Doc->NO->caption(), mark);
    if (QFileInfo(fileName).isFile()) {
        if (!ahead)
            throw UserError(ArchivedPageExists(fileName));
        // A print that ended after archiving its page but before storing the number (the program
        // was killed): the number may be on paper already, so it is taken as used now, and the
        // archived page goes into the journal with it.
        const PrintedPage archived = ArchivedPage(fileName, mark);
        StoreDocumentNumber(&archived);
        throw UserError(ArchivedPageExists(fileName) +
                        QStringLiteral("\nПечатът на този номер е бил прекъснат преди номерът да "
                                       "бъде записан; сега той е записан. Натиснете „Към "
                                       "фактурата“ и документът ще получи нов номер."));
    }

    // The capture.
    Doc->StringGrid2->setFocus();
    WhitenFields();

    // The rectangle is measured on the printer current before the dialog, as the page was laid
    // out for it.
    const int w = printer.width();
    const int h = printer.height();
    printer.setPageOrientation(QPageLayout::Portrait);

    Doc->Label8->setCaption(mark);
    Doc->New->trigger();
    const QRect target = TargetRect(w, h);

    const IndexedBitmap reduced = ReduceTo8Bits(CaptureWidget(Doc->Panel1));
    const QImage image = ToImage(reduced);
    Doc->Image1->setPixmap(QPixmap::fromImage(image));
    // The archive, never replacing a page archived before.
    SaveNewBitmapFile(fileName, reduced, BitsPerPixelForChoice(depthChoice));

    // The PDF is a convenience beside the archived bitmap: one that cannot be written is
    // reported and the print goes on.
    PrintedPage printed{mark, BitsPerPixelForChoice(depthChoice), fileName, QString()};
    const QString pdfName = PdfFileNameFor(fileName);
    try {
        SavePagePdf(pdfName, Doc->Panel1, PdfTitle());
        printed.pdfFile = pdfName;
    } catch (const UserError &error) {
        dialogs().showMessage(QStringLiteral("PDF файлът на страницата не е записан.\n") +
                              error.message());
    }

    // The print, then the number stored (the hold's transaction ends there).
    if (dialogs().printDialog(printer, owner)) {
        if (!PaintPageImage(printer, target, image)) {
            dialogs().showMessage(
                QStringLiteral("Принтерът не можа да започне печата. Страницата е запазена в %1.")
                    .arg(QDir::toNativeSeparators(fileName)));
        }
    }

    dialogs().shellPrint(fileName);
    StoreDocumentNumber(&printed);
    RefreshOpenJournalWindow();

    if (PrintOptionsForm) {
        PrintOptionsForm->show();
        PrintOptionsForm->raise();
        PrintOptionsForm->activateWindow();
    }
}

void PreviewPage(QPrinter &printer, QWidget *owner)
{
    // The preview shows the page as it will print, without the silver field marks, and leaves
    // the marks on screen as they were.
    struct Look {
        TLabel *label;
        QPalette palette;
        bool filled;
    };
    QList<Look> looks;
    for (TLabel *label : MarkedFields())
        looks.append({label, label->palette(), label->autoFillBackground()});
    WhitenFields();
    Doc->New->trigger();
    const QImage image = ToImage(ReduceTo8Bits(CaptureWidget(Doc->Panel1)));
    for (const Look &look : looks) {
        look.label->setPalette(look.palette);
        look.label->setAutoFillBackground(look.filled);
    }

    printer.setPageOrientation(QPageLayout::Portrait);
    dialogs().printPreview(
        printer,
        [&image](QPrinter *target) {
            PaintPageImage(*target, TargetRect(target->width(), target->height()), image);
        },
        owner);
}

bool ReprintArchivedPage(const QString &bitmapFile, QPrinter &printer, QWidget *owner)
{
    const QImage image(bitmapFile);
    if (image.isNull())
        throw UserError(QStringLiteral("Архивираната страница %1 не може да бъде прочетена.")
                            .arg(QDir::toNativeSeparators(bitmapFile)));
    const QRect target = TargetRect(printer.width(), printer.height());
    printer.setPageOrientation(QPageLayout::Portrait);
    if (!dialogs().printDialog(printer, owner))
        return false;
    if (!PaintPageImage(printer, target, image))
        throw UserError(QStringLiteral("Принтерът не можа да започне печата."));
    return true;
}
