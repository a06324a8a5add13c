#include "document/Invoice.h"

#include <QRegularExpression>

bool Party::operator==(const Party &o) const
{
    return name == o.name && name2 == o.name2 && address == o.address && address2 == o.address2 &&
           person == o.person && person2 == o.person2 && vatNumber == o.vatNumber && id == o.id;
}

bool BankAccount::operator==(const BankAccount &o) const
{
    return name == o.name && iban == o.iban && bic == o.bic;
}

QString InvoiceLine::descriptionText() const
{
    QStringList parts;
    for (const QString &line : description)
        if (!line.trimmed().isEmpty())
            parts << line.trimmed();
    return parts.join(QLatin1Char(' '));
}

bool InvoiceLine::operator==(const InvoiceLine &o) const
{
    return number == o.number && description == o.description && unit == o.unit &&
           quantity == o.quantity && unitPrice == o.unitPrice &&
           unitPriceForeign == o.unitPriceForeign && value == o.value &&
           valueForeign == o.valueForeign;
}

bool Totals::operator==(const Totals &o) const
{
    return net == o.net && vat == o.vat && gross == o.gross;
}

bool NoteAccount::operator==(const NoteAccount &o) const
{
    return number == o.number && account == o.account && sum == o.sum;
}

DocumentKind Invoice::kind() const
{
    return title == kProformaTitle ? DocumentKind::Proforma : DocumentKind::Invoice;
}

NoteKind Invoice::noteKind() const
{
    if (noteTitle.isEmpty())
        return NoteKind::None;
    if (noteTitle == kCreditNoteTitle)
        return NoteKind::Credit;
    if (noteTitle == kDebitNoteTitle)
        return NoteKind::Debit;
    return NoteKind::Other;
}

QString Invoice::kindName() const
{
    switch (noteKind()) {
    case NoteKind::Credit:
        return kKindCreditNote;
    case NoteKind::Debit:
        return kKindDebitNote;
    case NoteKind::None:
    case NoteKind::Other:
        break;
    }
    return isProforma() ? kKindProforma : kKindInvoice;
}

QString Invoice::counterField() const
{
    return isProforma() ? QStringLiteral("Проформа №") : QStringLiteral("Фактура №");
}

QString Invoice::numberText() const
{
    return QStringLiteral("%1").arg(number, 10, 10, QLatin1Char('0'));
}

QString Invoice::supplierVatNumber() const
{
    QString digits = supplier.vatNumber;
    digits.remove(QRegularExpression(QStringLiteral("\\s")));
    if (digits.isEmpty())
        return QString();
    // A number stored with its prefix keeps it; the page's caption supplies "BG" otherwise.
    if (digits.size() >= 2 && digits.at(0).isLetter() && digits.at(1).isLetter())
        return digits.toUpper();
    return QStringLiteral("BG") + digits;
}

bool Invoice::operator==(const Invoice &o) const
{
    return title == o.title && noteTitle == o.noteTitle && referenceNumber == o.referenceNumber &&
           referenceDate == o.referenceDate && number == o.number && issueDate == o.issueDate &&
           taxEventDate == o.taxEventDate && paymentDate == o.paymentDate && place == o.place &&
           place2 == o.place2 && supplier == o.supplier && recipient == o.recipient &&
           firmRecNo == o.firmRecNo && logo == o.logo && bank == o.bank && payment == o.payment &&
           vatText == o.vatText && vatPercent == o.vatPercent && zeroVatGround == o.zeroVatGround &&
           newVehicle == o.newVehicle && homeCurrency == o.homeCurrency &&
           foreignCurrency == o.foreignCurrency && foreignRate == o.foreignRate &&
           lines == o.lines && home == o.home && foreign == o.foreign && words == o.words &&
           noteAccounts == o.noteAccounts && receivedBy == o.receivedBy &&
           receivedBy2 == o.receivedBy2 && issuedBy == o.issuedBy && issuedBy2 == o.issuedBy2;
}

QString IsoCurrencyCode(const QString &code)
{
    const QString upper = code.trimmed().toUpper();
    return upper == QLatin1String("BGL") ? QStringLiteral("BGN") : upper;
}
