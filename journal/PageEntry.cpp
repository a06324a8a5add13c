#include "journal/PageEntry.h"

#include "app/Look.h"
#include "base/Decimal.h"
#include "document/Document.h"
#include "document/DocumentNumber.h"
#include "lines/Unit1.h"
#include "print/ArchiveName.h"

#include <QComboBox>
#include <QDateTime>

namespace
{
// A field still showing its dotted placeholder holds nothing.
QString Filled(const TLabel *label)
{
    const QString text = label->caption().trimmed();
    for (const QChar c : text)
        if (c != QLatin1Char('.'))
            return text;
    return QString();
}

// Both lines of a two-line field, joined with a line break when both are filled.
QString TwoLines(const TLabel *first, const TLabel *second)
{
    QStringList parts;
    for (const TLabel *label : {first, second})
        if (const QString text = Filled(label); !text.isEmpty())
            parts << text;
    return parts.join(QLatin1Char('\n'));
}

QVector<JournalLine> LinesOfPage()
{
    QVector<JournalLine> lines;
    const TStringGrid *grid = Doc->StringGrid2;
    for (int row = grid->fixedRows(); row < grid->rowCount(); ++row) {
        const QString number = grid->cell(0, row).trimmed();
        const QString description = grid->cell(1, row).trimmed();
        if (number.isEmpty()) {
            // A continuation row carries the rest of the description above it.
            if (!lines.isEmpty() && !description.isEmpty())
                lines.last().description += QLatin1Char(' ') + description;
            continue;
        }
        JournalLine line;
        line.position = int(lines.size()) + 1;
        line.lineNumber = number;
        line.description = description;
        line.measure = grid->cell(2, row).trimmed();
        line.quantity = grid->cell(3, row).trimmed();
        line.unitPrice = grid->cell(4, row).trimmed();
        line.foreignUnitPrice = grid->cell(5, row).trimmed();
        line.value = grid->cell(6, row).trimmed();
        line.foreignValue = grid->cell(7, row).trimmed();
        lines.append(line);
    }
    return lines;
}
} // namespace

JournalEntry EntryOfPage(const PrintedPage &printed)
{
    JournalEntry e;
    const bool note = !Doc->Panel2->isHidden();
    e.number = Doc->NO->caption();
    // The counter that numbers the page is chosen by the line table's kind, as when storing.
    e.series = CounterField(Form1->ComboBox2->currentText());
    e.title = Doc->Label1->caption();
    e.kind = DocumentKindOfPage(e.title, note ? Doc->Label21->caption() : QString());
    e.documentDate = DateOfNumberLine(Doc->Label15->caption());
    e.taxEventDate = Filled(Doc->Label57);
    e.supplierName = TwoLines(Doc->Label46, Doc->Label63);
    e.supplierVat = Doc->Label11->caption().trimmed();
    e.supplierId = Doc->Label10->caption().trimmed();
    e.clientName = Filled(Doc->Label33);
    e.clientVat = Doc->Label34->caption().trimmed();
    e.clientId = Doc->Label65->caption().trimmed();
    if (note)
        e.noteReference = Doc->Label22->caption();
    const AmountWithCode base = SplitAmount(Doc->Label5->caption());
    e.homeCurrency = SplitAmount(Doc->Label3->caption()).code;
    e.taxBase = base.amount;
    e.vatRate = VatText;
    e.vat = SplitAmount(Doc->Label7->caption()).amount;
    e.total = SplitAmount(Doc->Label3->caption()).amount;
    const AmountWithCode foreign = SplitAmount(Doc->Label61->caption());
    e.foreignCurrency = foreign.code;
    e.foreignTotal = foreign.amount;
    e.foreignRate = Decimal::FloatToStr(Form1->CurrencyRate);
    e.zeroVatGround = Filled(Doc->Label19);
    e.colourDepth = printed.bitsPerPixel;
    e.copy = printed.mark == kCopyMark;
    e.printedAt = QDateTime::currentDateTime().toString(Qt::ISODate);
    e.bitmapFile = printed.bitmapFile;
    e.pdfFile = printed.pdfFile;
    e.lines = LinesOfPage();
    return e;
}
