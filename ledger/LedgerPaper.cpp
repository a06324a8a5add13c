#include "ledger/LedgerPaper.h"

#include "base/AtomicFiles.h"
#include "base/Decimal.h"
#include "base/Errors.h"

#include <QBuffer>
#include <QDir>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <iterator>

namespace Ledger
{
namespace
{
// What a column of the paper shows.
enum class Cell { Sequence, Type, Document, Recipient, Description, Amount };

struct PaperColumn {
    Cell cell;
    const char *title; // "\n" between its lines; an amount's is its code and caption
    double width;      // millimetres
    int amount;        // the Column of an amount cell
};

// The columns a document of ours can fill: intra-Community acquisitions, art. 82 and personal use
// never come from an issued document, so the paper leaves them out to keep the rest readable.
constexpr double kAmountWidth = 12.15;
const PaperColumn kColumns[] = {
    {Cell::Sequence, "№", 8, -1},
    {Cell::Type, "Вид", 8, -1},
    {Cell::Document, "Документ №\nдата", 21, -1},
    {Cell::Recipient, "Получател\nидентификатор", 50, -1},
    {Cell::Description, "Стока / услуга", 32, -1},
    {Cell::Amount, nullptr, kAmountWidth, TotalBase},
    {Cell::Amount, nullptr, kAmountWidth, TotalVat},
    {Cell::Amount, nullptr, kAmountWidth, Base20},
    {Cell::Amount, nullptr, kAmountWidth, Vat20},
    {Cell::Amount, nullptr, kAmountWidth, Base9},
    {Cell::Amount, nullptr, kAmountWidth, Vat9},
    {Cell::Amount, nullptr, kAmountWidth, BaseChapterThree},
    {Cell::Amount, nullptr, kAmountWidth, BaseIntraCommunity},
    {Cell::Amount, nullptr, kAmountWidth, BaseArt140_146_173},
    {Cell::Amount, nullptr, kAmountWidth, BaseServiceElsewhere},
    {Cell::Amount, nullptr, kAmountWidth, BaseArt69},
    {Cell::Amount, nullptr, kAmountWidth, BaseExempt},
    {Cell::Amount, nullptr, kAmountWidth, BaseTriangular},
};

// Heights in millimetres: the page head, the column heads, a record, the totals.
constexpr double kHeadHeight = 15;
constexpr double kTitlesHeight = 12;
constexpr double kRowHeight = 5;
constexpr double kTotalsHeight = 6;
constexpr double kPadding = 0.8;

QString TypeCode(DocumentType type)
{
    return type == DocumentType::CreditNote  ? QStringLiteral("03")
           : type == DocumentType::DebitNote ? QStringLiteral("02")
                                             : QStringLiteral("01");
}

// One page's painting in millimetres over the device's pixels.
class Sheet
{
public:
    Sheet(QPainter &painter, double pixelsPerMm) : m_painter(painter), m_scale(pixelsPerMm) {}

    QRectF rect(double x, double y, double width, double height) const
    {
        return QRectF(x * m_scale, y * m_scale, width * m_scale, height * m_scale);
    }

    void setFont(double heightMm, bool bold = false)
    {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(qMax(1, qRound(heightMm * m_scale)));
        font.setBold(bold);
        m_painter.setFont(font);
    }

    void text(const QRectF &mm, const QString &text, int flags)
    {
        const QRectF inner =
            rect(mm.x() + kPadding, mm.y(), mm.width() - 2 * kPadding, mm.height());
        m_painter.drawText(inner, flags, text);
    }

    // Text cut with an ellipsis to the width, one line.
    void elided(const QRectF &mm, const QString &text, int flags)
    {
        const QFontMetricsF metrics(m_painter.font());
        const double width = (mm.width() - 2 * kPadding) * m_scale;
        this->text(mm, metrics.elidedText(text, Qt::ElideRight, width), flags);
    }

    // A figure is never cut: a wide one is written smaller until it fits.
    void figure(const QRectF &mm, const QString &text)
    {
        const QFont normal = m_painter.font();
        const double room = (mm.width() - 2 * kPadding) * m_scale;
        const double width = QFontMetricsF(normal).horizontalAdvance(text);
        if (width > room) {
            QFont smaller = normal;
            smaller.setPixelSize(qMax(1, int(normal.pixelSize() * room / width)));
            m_painter.setFont(smaller);
        }
        this->text(mm, text, Qt::AlignRight | Qt::AlignVCenter);
        m_painter.setFont(normal);
    }

    void line(double x1, double y1, double x2, double y2)
    {
        m_painter.drawLine(QPointF(x1 * m_scale, y1 * m_scale),
                           QPointF(x2 * m_scale, y2 * m_scale));
    }

private:
    QPainter &m_painter;
    double m_scale;
};

double TableWidth()
{
    double width = 0;
    for (const PaperColumn &column : kColumns)
        width += column.width;
    return width;
}

void PaintHead(Sheet &sheet, const SalesLedger &ledger, int page, int pages, double width)
{
    sheet.setFont(4.2, true);
    sheet.text(QRectF(0, 0, width, 7), QStringLiteral("ДНЕВНИК ЗА ПРОДАЖБИТЕ"),
               Qt::AlignLeft | Qt::AlignVCenter);
    sheet.setFont(3);
    sheet.text(QRectF(0, 0, width, 7), QStringLiteral("стр. %1 от %2").arg(page).arg(pages),
               Qt::AlignRight | Qt::AlignVCenter);
    const QString month = ledger.period.mid(4, 2) + QLatin1Char('.') + ledger.period.left(4);
    sheet.text(QRectF(0, 7, width, 6),
               QStringLiteral("%1     ИН по ЗДДС: %2     Данъчен период: %3 (%4)     Суми в %5")
                   .arg(ledger.company.name.trimmed(), ledger.company.vatNumber.trimmed(), month,
                        ledger.period, ledger.currency),
               Qt::AlignLeft | Qt::AlignVCenter);
}

void PaintTitles(Sheet &sheet, double top)
{
    sheet.setFont(1.8, true);
    double x = 0;
    for (const PaperColumn &column : kColumns) {
        const QString title =
            column.cell == Cell::Amount
                ? ColumnCode(column.amount) + QLatin1Char('\n') + ColumnCaption(column.amount)
                : QString::fromUtf8(column.title);
        sheet.text(QRectF(x, top, column.width, kTitlesHeight), title,
                   Qt::AlignCenter | Qt::TextWordWrap);
        x += column.width;
    }
}

void PaintRecord(Sheet &sheet, const Record &record, double top)
{
    sheet.setFont(1.9);
    const double half = kRowHeight / 2;
    double x = 0;
    for (const PaperColumn &column : kColumns) {
        const QRectF whole(x, top, column.width, kRowHeight);
        const QRectF upper(x, top, column.width, half);
        const QRectF lower(x, top + half, column.width, half);
        const int left = Qt::AlignLeft | Qt::AlignVCenter;
        switch (column.cell) {
        case Cell::Sequence:
            sheet.text(whole, QString::number(record.sequence), Qt::AlignRight | Qt::AlignVCenter);
            break;
        case Cell::Type:
            sheet.text(whole, TypeCode(record.type), Qt::AlignCenter);
            break;
        case Cell::Document:
            sheet.text(upper, QStringLiteral("%1").arg(record.number, 10, 10, QLatin1Char('0')),
                       left);
            sheet.text(lower, record.date.toString(QStringLiteral("dd.MM.yyyy")), left);
            break;
        case Cell::Recipient:
            sheet.elided(upper, record.recipientName, left);
            sheet.elided(lower, record.recipientId, left);
            break;
        case Cell::Description:
            sheet.text(whole, record.description,
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap);
            break;
        case Cell::Amount:
            sheet.figure(whole, Decimal::FixedToText(record.amounts[column.amount], 2));
            break;
        }
        x += column.width;
    }
}

void PaintTotals(Sheet &sheet, const SalesLedger &ledger, double top)
{
    sheet.setFont(1.9, true);
    double x = 0;
    double label = 0;
    for (const PaperColumn &column : kColumns) {
        if (column.cell == Cell::Amount) {
            sheet.figure(QRectF(x, top, column.width, kTotalsHeight),
                         Decimal::FixedToText(ledger.totals[column.amount], 2));
        } else {
            label += column.width;
        }
        x += column.width;
    }
    sheet.text(QRectF(0, top, label, kTotalsHeight),
               QStringLiteral("Общо за периода (%1 бр.)").arg(ledger.records.size()),
               Qt::AlignLeft | Qt::AlignVCenter);
}

// The rules of the table: a line under the titles and each record, the columns' borders; the
// totals' caption runs across the text columns, so their borders stop above it.
void PaintRules(Sheet &sheet, double top, int rows, bool totals, double width)
{
    const double records = top + kTitlesHeight + rows * kRowHeight;
    const double bottom = records + (totals ? kTotalsHeight : 0);
    sheet.line(0, top, width, top);
    for (int row = 0; row <= rows; ++row) {
        const double y = top + kTitlesHeight + row * kRowHeight;
        sheet.line(0, y, width, y);
    }
    sheet.line(0, bottom, width, bottom);
    sheet.line(0, top, 0, bottom);
    const int count = int(std::size(kColumns));
    double x = 0;
    for (int i = 0; i < count; ++i) {
        x += kColumns[i].width;
        const bool betweenTexts = i + 1 < count && kColumns[i + 1].cell != Cell::Amount;
        sheet.line(x, top, x, betweenTexts ? records : bottom);
    }
}
} // namespace

int PageCount(const SalesLedger &ledger)
{
    return qMax(1, int((ledger.records.size() + kRecordsPerPage - 1) / kRecordsPerPage));
}

void PaintLedger(QPagedPaintDevice &device, const SalesLedger &ledger)
{
    RequireComplete(ledger);
    const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                             QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    device.setPageLayout(layout);
    QPainter painter;
    if (!painter.begin(&device))
        throw UserError(QStringLiteral("Дневникът за продажбите не може да бъде отпечатан."));
    const double pixelsPerMm = device.width() / layout.paintRect(QPageLayout::Millimeter).width();
    Sheet sheet(painter, pixelsPerMm);
    painter.setPen(QPen(Qt::black, 0.15 * pixelsPerMm));

    const double width = TableWidth();
    const int pages = PageCount(ledger);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device.newPage();
        PaintHead(sheet, ledger, page + 1, pages, width);
        const double top = kHeadHeight;
        PaintTitles(sheet, top);
        const int first = page * kRecordsPerPage;
        const int rows = qMin(kRecordsPerPage, int(ledger.records.size()) - first);
        for (int row = 0; row < rows; ++row)
            PaintRecord(sheet, ledger.records.at(first + row),
                        top + kTitlesHeight + row * kRowHeight);
        const bool last = page == pages - 1;
        PaintRules(sheet, top, rows, last, width);
        if (last) {
            const double totalsTop = top + kTitlesHeight + rows * kRowHeight;
            PaintTotals(sheet, ledger, totalsTop);
            const QString note = ConversionNote(ledger);
            if (!note.isEmpty()) {
                sheet.setFont(2.4);
                sheet.text(QRectF(0, totalsTop + kTotalsHeight, width, 6), note + QLatin1Char('.'),
                           Qt::AlignLeft | Qt::AlignVCenter);
            }
        }
    }
    painter.end();
}

void WriteLedgerPdf(const SalesLedger &ledger, const QString &fileName)
{
    RequireComplete(ledger);
    // Made in memory and written whole: a full disk cannot leave a PDF without its end.
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setTitle(QStringLiteral("Дневник за продажбите %1").arg(ledger.period));
        PaintLedger(writer, ledger);
    }
    WriteFileAtomically(fileName, pdf);
}
} // namespace Ledger
