#include "journal/JournalRecord.h"

#include "base/Decimal.h"
#include "document/DocumentNumber.h"
#include "document/InvoiceJson.h"
#include "document/PageText.h"
#include "print/ArchiveName.h"

namespace
{
QString DateOrEmpty(const QDate &date)
{
    return date.isValid() ? DateText(date) : QString();
}

// Both lines of a two-line field, joined with a line break when both are filled.
QString TwoLines(const QString &first, const QString &second)
{
    QStringList parts;
    for (const QString &text : {first.trimmed(), second.trimmed()})
        if (!text.isEmpty())
            parts << text;
    return parts.join(QLatin1Char('\n'));
}
} // namespace

JournalEntry EntryOfDocument(const Invoice &doc, const PrintedPage &printed,
                             const QDateTime &printedAt)
{
    JournalEntry e;
    e.number = doc.numberText();
    e.series = doc.counterField();
    e.kind = doc.kindName();
    e.title = doc.title;
    e.documentDate = DateOrEmpty(doc.issueDate);
    e.taxEventDate = DateOrEmpty(doc.taxEventDate);
    e.supplierName = TwoLines(doc.supplier.name, doc.supplier.name2);
    e.supplierVat = doc.supplier.vatNumber.trimmed();
    e.supplierId = doc.supplier.id.trimmed();
    e.clientName = doc.recipient.name.trimmed();
    e.clientVat = doc.recipient.vatNumber.trimmed();
    e.clientId = doc.recipient.id.trimmed();
    if (doc.isNote())
        e.noteReference = NoteReferenceLine(doc);
    e.homeCurrency = IsoCurrencyCode(doc.homeCurrency);
    e.taxBase = doc.home.net.text();
    e.vatRate = doc.vatText;
    e.vat = doc.home.vat.text();
    e.total = doc.home.gross.text();
    e.foreignCurrency = IsoCurrencyCode(doc.foreignCurrency);
    e.foreignRate = Decimal::FloatToStr(doc.foreignRate);
    e.foreignTotal = doc.foreign.gross.text();
    e.zeroVatGround = doc.zeroVatGround;
    e.colourDepth = printed.bitsPerPixel;
    e.copy = printed.mark == kCopyMark;
    e.printedAt = printedAt.toString(Qt::ISODate);
    e.bitmapFile = printed.bitmapFile;
    e.pdfFile = printed.pdfFile;
    for (const InvoiceLine &line : doc.lines) {
        JournalLine l;
        l.position = int(e.lines.size()) + 1;
        l.lineNumber = QString::number(line.number);
        l.description = line.descriptionText();
        l.measure = line.unit;
        l.quantity = line.quantity.text();
        l.unitPrice = line.unitPrice.text();
        l.foreignUnitPrice = line.unitPriceForeign.text();
        l.value = line.value.text();
        l.foreignValue = line.valueForeign.text();
        e.lines.append(l);
    }
    e.document = InvoiceToJson(doc);
    return e;
}
