#include "print/PrintPage.h"

#include "base/Errors.h"
#include "base/ProgramFolder.h"
#include "document/CurrentDocument.h"
#include "document/Document.h"
#include "document/DocumentNumber.h"
#include "document/LegalCheck.h"
#include "document/Numbering.h"
#include "document/Transfer.h"
#include "einvoice/EInvoiceFile.h"
#include "journal/JournalStore.h"
#include "masterdata/Table.h"
#include "masterdata/Unit4.h"
#include "print/ArchiveName.h"
#include "print/PdfFile.h"
#include "print/Pr.h"
#include "ui/Dialogs.h"
#include "ui/Look.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPrinter>
#include <cstring>
#include <future>

namespace
{
// "<kind> № <number>", the title of the page's PDF.
QString PdfTitle(const Invoice &doc)
{
    return doc.kindName() + QStringLiteral(" № ") + doc.numberText();
}

// A page archived earlier, as the journal lists it.
PrintedPage ArchivedPage(const QString &fileName, const QString &mark)
{
    PrintedPage page{mark, 8, fileName, QString(), QString()};
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly)) {
        const BitmapHeader header = ReadBitmapHeader(file.read(64));
        if (header.valid)
            page.bitsPerPixel = header.bitsPerPixel;
    }
    if (QFileInfo(PdfFileNameFor(fileName)).isFile())
        page.pdfFile = PdfFileNameFor(fileName);
    if (QFileInfo(EInvoice::FileNameFor(fileName)).isFile())
        page.xmlFile = EInvoice::FileNameFor(fileName);
    return page;
}

// Whether the archive holds a page of the document's number already, as original or copy.
bool ArchiveHolds(const QString &folder, const Invoice &doc)
{
    for (const QString &mark : {kOriginalMark, kCopyMark})
        if (QFileInfo::exists(
                ArchiveFileName(folder, doc.title, doc.firmRecNo, doc.numberText(), mark)))
            return true;
    return false;
}

// The findings of the legal check on the document, with what the journal knows of the invoice a
// note corrects.
QVector<Finding> LegalFindings(const Invoice &doc)
{
    LegalContext context;
    context.journalInvoiceDates = [&doc](const QString &number) {
        try {
            return JournalInvoiceDates(JournalFileName(TablesFolder()), number,
                                       doc.supplier.vatNumber.trimmed(), doc.supplier.id.trimmed());
        } catch (const JournalError &) {
            // A journal that cannot be read holds nothing to compare with.
            return QVector<QDate>();
        }
    };
    return CheckDocument(doc, context);
}

void TellJournalFailed(const QString &problem)
{
    dialogs().showMessage(problem + QStringLiteral("\nНомерът се съхранява без запис в дневника."));
}

// After a page was issued: the browser shows the counter as stored, and who listens learns of
// the page.
void Issued(const Invoice &doc)
{
    RememberIssued(doc);
    TTable *table = Form4 ? Form4->Table1 : nullptr;
    if (table && table->Active() && table->TableName() == kCounterTable)
        table->Refresh();
    CurrentDocument::instance().announcePrinted();
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
    const Invoice &doc = TheDocument();
    QStringList missing;
    if (doc.lines.isEmpty())
        missing << QStringLiteral("Документът няма нито един ред: добавете редовете в „Таблица“ "
                                  "и ги прехвърлете с „Към фактурата“.");
    if (doc.recipient.name.trimmed().isEmpty() && doc.recipient.name2.trimmed().isEmpty())
        missing << QStringLiteral("Документът няма клиент: изберете го в „Клиенти“ и натиснете "
                                  "„Добави“.");
    if (!missing.isEmpty())
        throw UserError(missing.join(QLatin1Char('\n')) +
                        QStringLiteral("\nНищо не е отпечатано и номерът не е използван."));
    if (doc.number < 1)
        throw UserError(QStringLiteral("Документът няма номер: натиснете „Към фактурата“."));
}

void PrintPage(const QString &mark, const QString &depthChoice, QPrinter &printer, QWidget *owner)
{
    // The document, then its number against the counter, the journal and the archive, before
    // anything is changed or written.
    CheckPageForPrint();
    const Invoice doc = TheDocument();
    // What the law asks of the document, before its number is issued: a copy of a number this
    // run printed already is the same document.
    if (!IssuedByThisRun(doc)) {
        const QVector<Finding> findings = LegalFindings(doc);
        if (HasErrors(findings))
            throw UserError(FindingsText(findings) +
                            QStringLiteral("\n\nНищо не е отпечатано и номерът не е използван."));
        if (!findings.isEmpty() &&
            !dialogs().askYesNo(FindingsText(findings) +
                                QStringLiteral("\n\nДа отпечатам ли документа въпреки "
                                               "предупрежденията?")))
            return;
    }
    const QString folder = ArchiveFolder(TablesFolder());
    IssueTransaction issue(IssueRequestOf(doc, ArchiveHolds(folder, doc)));
    if (!issue.journalProblem().isEmpty())
        TellJournalFailed(issue.journalProblem());
    const QString fileName =
        ArchiveFileName(folder, doc.title, doc.firmRecNo, doc.numberText(), mark);
    if (QFileInfo(fileName).isFile()) {
        if (!issue.ahead())
            throw UserError(ArchivedPageExists(fileName));
        // A print that ended after archiving its page but before storing the number (the program
        // was killed): the number may be on paper already, so it is taken as used now, and the
        // archived page goes into the journal with it.
        const JournalEntry archived =
            EntryOfDocument(doc, ArchivedPage(fileName, mark), QDateTime::currentDateTime());
        issue.commit(&archived);
        Issued(doc);
        throw UserError(ArchivedPageExists(fileName) +
                        QStringLiteral("\nПечатът на този номер е бил прекъснат преди номерът да "
                                       "бъде записан; сега той е записан. Натиснете „Към "
                                       "фактурата“ и документът ще получи нов номер."));
    }

    // The capture.
    Doc->StringGrid2->setFocus();

    // The rectangle is measured on the printer current before the dialog, as the page was laid
    // out for it.
    const int w = printer.width();
    const int h = printer.height();
    printer.setPageOrientation(QPageLayout::Portrait);

    Doc->ShowAsPrinted(mark);
    const QRect target = TargetRect(w, h);

    const IndexedBitmap reduced = ReduceTo8Bits(CaptureWidget(Doc->Panel1));
    const QImage image = ToImage(reduced);
    Doc->Image1->setPixmap(QPixmap::fromImage(image));
    // The archive, never replacing a page archived before. It is written and flushed to the disk
    // on a thread of its own while the PDF is drawn here; the page waits for it before it is
    // printed and its number stored.
    std::future<void> archived = std::async(std::launch::async, [&fileName, &reduced, depthChoice] {
        SaveNewBitmapFile(fileName, reduced, BitsPerPixelForChoice(depthChoice));
    });

    // The PDF and the e-invoice are conveniences beside the archived bitmap: one that cannot be
    // written is reported and the print goes on. The e-invoice, of an original only (a copy is
    // the same document), is made again from the journal ("Е-фактура").
    PrintedPage printed{mark, BitsPerPixelForChoice(depthChoice), fileName, QString(), QString()};
    QStringList notWritten;
    const QString pdfName = PdfFileNameFor(fileName);
    try {
        SavePagePdf(pdfName, Doc->Panel1, PdfTitle(doc));
        printed.pdfFile = pdfName;
    } catch (const UserError &error) {
        notWritten << QStringLiteral("PDF файлът на страницата не е записан.\n") + error.message();
    }
    if (mark == kOriginalMark) {
        const QString xmlName = EInvoice::FileNameFor(fileName);
        try {
            EInvoice::WriteFile(doc, xmlName);
            printed.xmlFile = xmlName;
        } catch (const UserError &error) {
            notWritten << QStringLiteral("Е-фактурата на документа не е записана.\n") +
                              error.message();
        }
    }
    try {
        archived.get();
    } catch (const UserError &) {
        // Without its archived page nothing is issued: no file of the number stays beside it.
        for (const QString &written : {printed.pdfFile, printed.xmlFile})
            if (!written.isEmpty())
                QFile::remove(written);
        throw;
    }
    for (const QString &message : std::as_const(notWritten))
        dialogs().showMessage(message);

    // The print, then the number and the page stored in one commit.
    if (dialogs().printDialog(printer, owner)) {
        if (!PaintPageImage(printer, target, image)) {
            dialogs().showMessage(
                QStringLiteral("Принтерът не можа да започне печата. Страницата е запазена в %1.")
                    .arg(QDir::toNativeSeparators(fileName)));
        }
    }

    dialogs().shellPrint(fileName);
    const JournalEntry entry = EntryOfDocument(doc, printed, QDateTime::currentDateTime());
    issue.commit(&entry);
    Issued(doc);

    if (PrintOptionsForm) {
        PrintOptionsForm->show();
        PrintOptionsForm->raise();
        PrintOptionsForm->activateWindow();
    }
}

void PreviewPage(QPrinter &printer, QWidget *owner)
{
    // What a print would refuse or warn of is told before the look at the page.
    if (TransferCompleted) {
        const QVector<Finding> findings = LegalFindings(TheDocument());
        if (!findings.isEmpty())
            dialogs().showMessage(FindingsText(findings));
    }
    // The preview shows the page as it will print, without the silver field marks, and leaves
    // the marks on screen as they were. It offers no print of its own: a page is printed only
    // through "Отпечатай", which numbers, archives and journals it.
    const TDoc::FieldLooks looks = Doc->ShowAsPrinted();
    const QImage image = ToImage(ReduceTo8Bits(CaptureWidget(Doc->Panel1)));
    Doc->RestoreLooks(looks);

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
