#include "journal/JournalRecord.h"

#include "base/Decimal.h"
#include "base/Errors.h"
#include "document/DocumentNumber.h"
#include "document/InvoiceJson.h"
#include "document/PageText.h"
#include "print/ArchiveName.h"

#include <QRegularExpression>

namespace
{
// Blanks of any kind, as a number may be typed with them.
const QRegularExpression kBlanks(QStringLiteral("\\s"));

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

// The ledger column a base at 0 % goes to, by the classification of its ground.
const std::pair<LedgerColumn, int> kZeroRateColumns[] = {
    {LedgerColumn::Export, Ledger::BaseChapterThree},
    {LedgerColumn::IntraCommunity, Ledger::BaseIntraCommunity},
    {LedgerColumn::Art140_146_173, Ledger::BaseArt140_146_173},
    {LedgerColumn::ServiceElsewhere, Ledger::BaseServiceElsewhere},
    {LedgerColumn::DistanceSale, Ledger::BaseArt69},
    {LedgerColumn::Exempt, Ledger::BaseExempt},
    {LedgerColumn::Triangular, Ledger::BaseTriangular},
};

QString ZeroRateColumnCode(const QString &ground)
{
    const LedgerColumn column = ClassifyZeroVatGround(ground);
    for (const auto &[classified, amounts] : kZeroRateColumns)
        if (classified == column)
            return Ledger::ColumnCode(amounts);
    return QString();
}

LedgerColumn ZeroRateColumnOfCode(const QString &code)
{
    for (const auto &[classified, amounts] : kZeroRateColumns)
        if (Ledger::ColumnCode(amounts) == code)
            return classified;
    return LedgerColumn::Unclassified;
}

QString WithoutBlanks(QString text)
{
    return text.remove(kBlanks);
}

// The recipient as the ledger names it. A VAT number of digits only is Bulgarian and gets its
// prefix. A recipient without a VAT number is abroad when its identifier is no Bulgarian one
// (ЕИК, ЕГН and ЛНЧ are digits only), or, having none, when the goods are exported.
QString RecipientIdOf(const QString &vatNumber, const QString &id, bool exported)
{
    QString vat = WithoutBlanks(vatNumber).toUpper();
    if (!vat.isEmpty() && vat.at(0).isDigit())
        vat.prepend(QStringLiteral("BG"));
    const QString own = WithoutBlanks(id);
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    const bool abroad = own.isEmpty() ? exported : !digits.match(own).hasMatch();
    return Ledger::RecipientIdentifier(vat, own, abroad);
}

// An amount rounded to the cent, as the ledger takes it.
QString CentsText(qint64 units)
{
    return Decimal::FixedToText(Decimal::RoundToCents(units), 2);
}

const QString kZero = QStringLiteral("0.00");

// Puts a document's base and VAT into the column of its rate; false for a rate the ledger has no
// column for.
bool PutByRate(LedgerFields &f, int percent, qint64 base, qint64 vat, const QString &ground)
{
    f.base20 = f.vat20 = f.base9 = f.vat9 = f.base0 = kZero;
    switch (percent) {
    case 20:
        f.base20 = CentsText(base);
        f.vat20 = CentsText(vat);
        return true;
    case 9:
        f.base9 = CentsText(base);
        f.vat9 = CentsText(vat);
        return true;
    case 0:
        f.base0 = CentsText(base);
        f.zeroVatColumn = ZeroRateColumnCode(ground);
        return true;
    default:
        return false;
    }
}

QString RateProblem(const QString &rate)
{
    return QStringLiteral("ставката на ДДС „%1“ не е 20 %, 9 % или 0 %").arg(rate);
}

qint64 AmountOfField(const QString &text)
{
    return text.trimmed().isEmpty() ? 0 : Decimal::TextToFixed(text);
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
    e.ledger = LedgerFieldsOf(doc);
    if (e.ledger.period.isEmpty())
        e.ledger.period = printedAt.toString(QStringLiteral("yyyyMM"));
    e.xmlFile = printed.xmlFile;
    return e;
}

LedgerFields LedgerFieldsOf(const Invoice &doc)
{
    LedgerFields f;
    if (doc.issueDate.isValid())
        f.period = doc.issueDate.toString(QStringLiteral("yyyyMM"));
    // A proforma is numbered in its own series and is no tax document, whatever note it names:
    // nothing of it goes into the ledger, so nothing of it can keep the ledger back.
    if (doc.isProforma())
        return f;
    switch (doc.noteKind()) {
    case NoteKind::None:
        f.type = QStringLiteral("01");
        break;
    case NoteKind::Debit:
        f.type = QStringLiteral("02");
        break;
    case NoteKind::Credit:
        f.type = QStringLiteral("03");
        break;
    case NoteKind::Other:
        f.problem = QStringLiteral("известието „%1“ не е нито кредитно, нито дебитно")
                        .arg(doc.noteTitle.trimmed());
        break;
    }
    const bool exported =
        doc.vatPercent == 0 && ClassifyZeroVatGround(doc.zeroVatGround) == LedgerColumn::Export;
    f.recipientId = RecipientIdOf(doc.recipient.vatNumber, doc.recipient.id, exported);
    if (!doc.lines.isEmpty())
        f.description = doc.lines.first().descriptionText();
    if (!PutByRate(f, doc.vatPercent, doc.home.net.units, doc.home.vat.units, doc.zeroVatGround) &&
        f.problem.isEmpty())
        f.problem = RateProblem(doc.vatText);
    return f;
}

LedgerFields LedgerFieldsOfTexts(const JournalEntry &e, const QString &firstDescription)
{
    LedgerFields f;
    QStringList problems;
    const QDate date = QDate::fromString(e.documentDate.trimmed(), QStringLiteral("dd.MM.yyyy"));
    // An undated one is listed in the month it was printed, where it will be looked for.
    f.period = (date.isValid() ? date : QDateTime::fromString(e.printedAt, Qt::ISODate).date())
                   .toString(QStringLiteral("yyyyMM"));
    if (e.kind == kKindProforma)
        return f;
    if (!date.isValid())
        problems << QStringLiteral("датата „%1“ не може да бъде прочетена").arg(e.documentDate);
    if (e.kind == kKindInvoice)
        f.type = QStringLiteral("01");
    else if (e.kind == kKindDebitNote)
        f.type = QStringLiteral("02");
    else if (e.kind == kKindCreditNote)
        f.type = QStringLiteral("03");
    else
        problems << QStringLiteral("видът на документа „%1“ не е известен").arg(e.kind);

    static const QRegularExpression percent(QStringLiteral("^\\s*([0-9.]+)\\s*%?\\s*$"));
    const QRegularExpressionMatch rate = percent.match(e.vatRate);
    const auto amount = [&problems](const QString &text, const QString &name, qint64 &value) {
        try {
            value = Decimal::TextToFixed(text);
            return true;
        } catch (const UserError &) {
            problems << QStringLiteral("%1 „%2“ не е сума").arg(name, text);
            return false;
        }
    };
    qint64 base = 0, vat = 0;
    const bool baseRead = amount(e.taxBase, QStringLiteral("данъчната основа"), base);
    const bool amounts = amount(e.vat, QStringLiteral("ДДС"), vat) && baseRead;
    int ratePercent = -1;
    if (rate.hasMatch()) {
        try {
            const qint64 fixed = Decimal::TextToFixed(rate.captured(1));
            if (fixed % Decimal::kFixedScale == 0)
                ratePercent = int(fixed / Decimal::kFixedScale);
        } catch (const UserError &) {
        }
    }
    const bool exported =
        ratePercent == 0 && ClassifyZeroVatGround(e.zeroVatGround) == LedgerColumn::Export;
    f.recipientId = RecipientIdOf(e.clientVat, e.clientId, exported);
    f.description = firstDescription.trimmed();
    if (amounts && !PutByRate(f, ratePercent, base, vat, e.zeroVatGround))
        problems << RateProblem(e.vatRate);
    f.problem = problems.join(QStringLiteral("; "));
    return f;
}

Ledger::Document LedgerDocumentOf(const JournalEntry &e)
{
    Ledger::Document d;
    const LedgerFields &f = e.ledger;
    d.type = f.type == QLatin1String("01")   ? Ledger::DocumentType::Invoice
             : f.type == QLatin1String("02") ? Ledger::DocumentType::DebitNote
             : f.type == QLatin1String("03") ? Ledger::DocumentType::CreditNote
                                             : Ledger::DocumentType::Proforma;
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,18}$"));
    if (digits.match(e.number).hasMatch())
        d.number = e.number.toLongLong();
    d.date = QDate::fromString(e.documentDate.trimmed(), QStringLiteral("dd.MM.yyyy"));
    d.recipientId = f.recipientId;
    d.recipientName = e.clientName;
    d.description = f.description;
    d.currency = e.homeCurrency;
    d.base20 = AmountOfField(f.base20);
    d.vat20 = AmountOfField(f.vat20);
    d.base9 = AmountOfField(f.base9);
    d.vat9 = AmountOfField(f.vat9);
    d.base0 = AmountOfField(f.base0);
    d.zeroVatGround = e.zeroVatGround;
    d.zeroVatColumn = ZeroRateColumnOfCode(f.zeroVatColumn);
    return d;
}

Ledger::Company LedgerCompanyOf(const JournalEntry &e)
{
    Invoice doc;
    doc.supplier.vatNumber = e.supplierVat;
    return {e.supplierName.section(QLatin1Char('\n'), 0, 0).trimmed(), doc.supplierVatNumber()};
}
