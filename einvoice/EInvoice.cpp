#include "einvoice/EInvoice.h"

#include "base/Decimal.h"
#include "base/Errors.h"
#include "document/Invoice.h"
#include "document/ZeroVatGrounds.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamWriter>

namespace
{
const QString kInvoiceNamespace =
    QStringLiteral("urn:oasis:names:specification:ubl:schema:xsd:Invoice-2");
const QString kCreditNoteNamespace =
    QStringLiteral("urn:oasis:names:specification:ubl:schema:xsd:CreditNote-2");
const QString kCac =
    QStringLiteral("urn:oasis:names:specification:ubl:schema:xsd:CommonAggregateComponents-2");
const QString kCbc =
    QStringLiteral("urn:oasis:names:specification:ubl:schema:xsd:CommonBasicComponents-2");

// The VAT category of the document's lines and, at 0 %, why no tax is charged.
struct VatCategory {
    QString code;          // UNCL 5305: S, E, G, K or AE
    QString exemptionCode; // VATEX; empty where no single code fits the ground
    QString exemptionReason;
};

// What the XML says of one party.
struct PartyData {
    QString registrationName, tradingName, street, additionalStreet, country, vatNumber,
        registrationId, contact;
};

// A text as the XML carries it: blanks around it dropped, and the characters XML 1.0 has no
// room for (control characters a pasted text may bring) left out.
QString XmlText(const QString &text)
{
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool allowed =
            u >= 0x20 ? u != 0xFFFE && u != 0xFFFF : u == 0x9 || u == 0xA || u == 0xD;
        if (allowed)
            clean += c;
    }
    return clean.trimmed();
}

QString FirstOf(const QString &text, const QString &otherwise)
{
    return text.isEmpty() ? otherwise : text;
}

QString WithoutBlanks(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

// Cents of an amount, rounded as the page rounds.
qint64 Cents(const Decimal::Amount &amount)
{
    return Decimal::RoundToCents(amount.units) / 100;
}

QString CentsText(qint64 cents)
{
    return Decimal::FixedToText(cents * 100, 2);
}

// A price with its own decimals, at least two: "12.50", "0.8333".
QString PriceText(qint64 units)
{
    return units % 100 == 0 ? Decimal::FixedToText(units, 2) : Decimal::FixedToText(units);
}

QString DocumentName(const Invoice &invoice)
{
    return QStringLiteral("%1 № %2").arg(invoice.kindName(), invoice.numberText());
}

VatCategory CategoryOf(const Invoice &invoice)
{
    if (invoice.vatPercent != 0)
        return {QStringLiteral("S"), QString(), QString()};
    const QString ground = XmlText(invoice.zeroVatGround);
    if (ground.isEmpty() || ground == kNoZeroVatGround)
        throw UserError(QStringLiteral("%1 е с 0 % ДДС, но без основание за неначисляване на "
                                       "данъка; е-фактура без основание не може да се състави.")
                            .arg(DocumentName(invoice)));
    switch (ClassifyZeroVatGround(ground)) {
    case LedgerColumn::Export:
        return {QStringLiteral("G"), QStringLiteral("VATEX-EU-G"), ground};
    case LedgerColumn::IntraCommunity:
        return {QStringLiteral("K"), QStringLiteral("VATEX-EU-IC"), ground};
    // The buyer accounts for the tax: a service supplied in another member state, and the last
    // supply of a triangular operation.
    case LedgerColumn::ServiceElsewhere:
    case LedgerColumn::Triangular:
        return {QStringLiteral("AE"), QStringLiteral("VATEX-EU-AE"), ground};
    // The exemptions of the VAT act match no single exemption code, and the other grounds no
    // category of their own: they go as exempt, the cited ground telling the buyer why.
    case LedgerColumn::Exempt:
    case LedgerColumn::Art140_146_173:
    case LedgerColumn::DistanceSale:
    case LedgerColumn::Unclassified:
        break;
    }
    return {QStringLiteral("E"), QString(), ground};
}

// The recipient's VAT number with its country prefix; the record's digits alone are Bulgarian.
QString BuyerVatNumber(const QString &vatNumber)
{
    const QString number = WithoutBlanks(XmlText(vatNumber)).toUpper();
    return !number.isEmpty() && number.at(0).isDigit() ? QStringLiteral("BG") + number : number;
}

PartyData Seller(const Invoice &invoice)
{
    const Party &supplier = invoice.supplier;
    PartyData party;
    // The supplier's second name line is its name in English: its trading name here.
    party.registrationName = FirstOf(XmlText(supplier.name), XmlText(supplier.name2));
    party.tradingName = XmlText(supplier.name2);
    party.street = XmlText(supplier.address);
    party.additionalStreet = XmlText(supplier.address2);
    party.country = QStringLiteral("BG");
    party.vatNumber = XmlText(invoice.supplierVatNumber());
    party.registrationId = WithoutBlanks(XmlText(supplier.id));
    party.contact = XmlText(supplier.person);
    return party;
}

PartyData Buyer(const Invoice &invoice)
{
    const Party &recipient = invoice.recipient;
    PartyData party;
    party.registrationName = FirstOf(XmlText(recipient.name), XmlText(recipient.name2));
    party.tradingName = XmlText(recipient.name2);
    // The recipient's two addresses are one address in two languages: the Bulgarian one goes.
    party.street = FirstOf(XmlText(recipient.address), XmlText(recipient.address2));
    party.vatNumber = BuyerVatNumber(recipient.vatNumber);
    party.country = EInvoice::CountryOfVatNumber(party.vatNumber);
    // ЕИК/БУЛСТАТ of a company, ЕГН of a person: both are registration numbers of the buyer.
    party.registrationId = WithoutBlanks(XmlText(recipient.id));
    party.contact = XmlText(recipient.person);
    return party;
}

// The amounts of the document as the XML gives them, in cents.
struct Amounts {
    qint64 lines = 0, vat = 0, payable = 0, rounding = 0;
};

// A credit note the page shows with negative amounts carries them positive: a credit note
// credits by its kind, not by its signs.
int SignOf(const Invoice &invoice)
{
    return invoice.noteKind() == NoteKind::Credit && invoice.home.net.isNegative() ? -1 : 1;
}

Amounts AmountsOf(const Invoice &invoice, const VatCategory &category, int sign)
{
    Amounts amounts;
    for (const InvoiceLine &line : invoice.lines)
        amounts.lines += sign * Cents(line.value);
    const qint64 net = sign * Cents(invoice.home.net);
    if (amounts.lines != net)
        throw UserError(QStringLiteral("Сборът от редовете на %1 (%2) не е равен на данъчната "
                                       "основа (%3); е-фактурата не може да се състави.")
                            .arg(DocumentName(invoice), CentsText(sign * amounts.lines),
                                 CentsText(sign * net)));
    const qint64 pageVat = sign * Cents(invoice.home.vat);
    amounts.payable = sign * Cents(invoice.home.gross);
    // The VAT of the tax base, rounded half up, as the standard's rule works it out.
    const qint64 magnitude = (qAbs(net) * invoice.vatPercent + 50) / 100;
    const qint64 ofBase = net < 0 ? -magnitude : magnitude;
    // The page adds up the VAT of each line. The standard allows the tax of a category to differ
    // from that of its base by less than one unit, for this very rounding: the page's VAT stays.
    // A greater difference (hundreds of small lines) takes the base's VAT, and the payable amount
    // stays the page's through the rounding amount.
    if (category.code == QLatin1String("S") && qAbs(pageVat - ofBase) < 100)
        amounts.vat = pageVat;
    else
        amounts.vat = ofBase;
    amounts.rounding = amounts.payable - (amounts.lines + amounts.vat);
    return amounts;
}

// Writes UBL elements: aggregates in the cac namespace, values in the cbc namespace.
class UblWriter
{
public:
    UblWriter(QByteArray *bytes, const QString &currency) : m_xml(bytes), m_currency(currency)
    {
        m_xml.setAutoFormatting(true);
        m_xml.setAutoFormattingIndent(2);
    }
    QXmlStreamWriter &xml() { return m_xml; }
    void open(const QString &aggregate) { m_xml.writeStartElement(kCac, aggregate); }
    void close() { m_xml.writeEndElement(); }
    // A value; an empty one is left out, as the standard's optional fields are.
    void text(const QString &name, const QString &value)
    {
        if (!value.isEmpty())
            m_xml.writeTextElement(kCbc, name, value);
    }
    void date(const QString &name, const QDate &date)
    {
        if (date.isValid())
            text(name, date.toString(Qt::ISODate));
    }
    void amount(const QString &name, qint64 cents) { money(name, CentsText(cents)); }
    void money(const QString &name, const QString &value)
    {
        attributed(name, QStringLiteral("currencyID"), m_currency, value);
    }
    void attributed(const QString &name, const QString &attribute, const QString &attributeValue,
                    const QString &value)
    {
        m_xml.writeStartElement(kCbc, name);
        m_xml.writeAttribute(attribute, attributeValue);
        m_xml.writeCharacters(value);
        m_xml.writeEndElement();
    }
    void country(const QString &code)
    {
        open(QStringLiteral("Country"));
        text(QStringLiteral("IdentificationCode"), code);
        close();
    }
    void taxScheme()
    {
        open(QStringLiteral("TaxScheme"));
        text(QStringLiteral("ID"), QStringLiteral("VAT"));
        close();
    }
    // A VAT category; the reason for no tax goes into the breakdown only, not on each line.
    void taxCategory(const QString &name, const VatCategory &category, int percent, bool withReason)
    {
        open(name);
        text(QStringLiteral("ID"), category.code);
        text(QStringLiteral("Percent"), QString::number(percent));
        if (withReason) {
            text(QStringLiteral("TaxExemptionReasonCode"), category.exemptionCode);
            text(QStringLiteral("TaxExemptionReason"), category.exemptionReason);
        }
        taxScheme();
        close();
    }

private:
    QXmlStreamWriter m_xml;
    QString m_currency;
};

void WriteParty(UblWriter &ubl, const QString &role, const PartyData &party)
{
    ubl.open(role);
    ubl.open(QStringLiteral("Party"));
    if (!party.tradingName.isEmpty() && party.tradingName != party.registrationName) {
        ubl.open(QStringLiteral("PartyName"));
        ubl.text(QStringLiteral("Name"), party.tradingName);
        ubl.close();
    }
    ubl.open(QStringLiteral("PostalAddress"));
    ubl.text(QStringLiteral("StreetName"), party.street);
    ubl.text(QStringLiteral("AdditionalStreetName"), party.additionalStreet);
    ubl.country(party.country);
    ubl.close();
    if (!party.vatNumber.isEmpty()) {
        ubl.open(QStringLiteral("PartyTaxScheme"));
        ubl.text(QStringLiteral("CompanyID"), party.vatNumber);
        ubl.taxScheme();
        ubl.close();
    }
    ubl.open(QStringLiteral("PartyLegalEntity"));
    ubl.text(QStringLiteral("RegistrationName"), party.registrationName);
    ubl.text(QStringLiteral("CompanyID"), party.registrationId);
    ubl.close();
    if (!party.contact.isEmpty()) {
        ubl.open(QStringLiteral("Contact"));
        ubl.text(QStringLiteral("Name"), party.contact);
        ubl.close();
    }
    ubl.close();
    ubl.close();
}

void WritePaymentMeans(UblWriter &ubl, const Invoice &invoice, bool creditNote)
{
    const QString iban = WithoutBlanks(XmlText(invoice.bank.iban)).toUpper();
    const QString bic = WithoutBlanks(XmlText(invoice.bank.bic)).toUpper();
    // A transfer names the account it goes to; without one the way of payment is not defined.
    QString code = QStringLiteral("1");
    if (!iban.isEmpty())
        code = IsoCurrencyCode(invoice.homeCurrency) == QLatin1String("EUR") ? QStringLiteral("58")
                                                                             : QStringLiteral("30");
    ubl.open(QStringLiteral("PaymentMeans"));
    ubl.text(QStringLiteral("PaymentMeansCode"), code);
    // A credit note has no due date of its own: it goes with the payment.
    if (creditNote)
        ubl.date(QStringLiteral("PaymentDueDate"), invoice.paymentDate);
    ubl.text(QStringLiteral("PaymentID"), invoice.numberText());
    if (!iban.isEmpty()) {
        ubl.open(QStringLiteral("PayeeFinancialAccount"));
        ubl.text(QStringLiteral("ID"), iban);
        if (!bic.isEmpty()) {
            ubl.open(QStringLiteral("FinancialInstitutionBranch"));
            ubl.text(QStringLiteral("ID"), bic);
            ubl.close();
        }
        ubl.close();
    }
    ubl.close();
}

void WriteLine(UblWriter &ubl, const InvoiceLine &line, int index, const VatCategory &category,
               int percent, int sign, bool creditNote)
{
    const QString unitCode = EInvoice::UnitCode(line.unit);
    const qint64 price = qAbs(line.unitPrice.units);
    const qint64 quantity = qAbs(line.quantity.units);
    const qint64 value = qAbs(Cents(line.value));
    // The price is never negative: a line that takes off (a negative price) has a negative
    // quantity instead.
    const int quantitySign = line.unitPrice.isNegative() ? -sign : sign;
    // The page rounds the price to cents but works the line's amount out of the price as typed,
    // so price x quantity may miss it by a cent. Such a line is priced for its whole quantity
    // (the price's base quantity), which gives its amount exactly.
    const bool wholeQuantity =
        quantity != 0 && Decimal::RoundToCents(Decimal::FixedScale(quantity, price)) != value * 100;

    ubl.open(creditNote ? QStringLiteral("CreditNoteLine") : QStringLiteral("InvoiceLine"));
    ubl.text(QStringLiteral("ID"), QString::number(line.number > 0 ? line.number : index + 1));
    ubl.attributed(creditNote ? QStringLiteral("CreditedQuantity")
                              : QStringLiteral("InvoicedQuantity"),
                   QStringLiteral("unitCode"), unitCode,
                   Decimal::FixedToText(quantitySign * line.quantity.units));
    ubl.amount(QStringLiteral("LineExtensionAmount"), sign * Cents(line.value));
    ubl.open(QStringLiteral("Item"));
    ubl.text(QStringLiteral("Name"),
             FirstOf(XmlText(line.descriptionText()), QStringLiteral("Ред %1").arg(index + 1)));
    ubl.taxCategory(QStringLiteral("ClassifiedTaxCategory"), category, percent, false);
    ubl.close();
    ubl.open(QStringLiteral("Price"));
    if (wholeQuantity) {
        ubl.amount(QStringLiteral("PriceAmount"), value);
        ubl.attributed(QStringLiteral("BaseQuantity"), QStringLiteral("unitCode"), unitCode,
                       Decimal::FixedToText(quantity));
    } else {
        ubl.money(QStringLiteral("PriceAmount"), PriceText(price));
    }
    ubl.close();
    ubl.close();
}
} // namespace

namespace EInvoice
{
QString UnitCode(const QString &unit)
{
    static const QHash<QString, QString> codes = {
        {QStringLiteral("бр"), QStringLiteral("H87")},
        {QStringLiteral("кг"), QStringLiteral("KGM")},
        {QStringLiteral("м"), QStringLiteral("MTR")},
        {QStringLiteral("л"), QStringLiteral("LTR")},
        {QStringLiteral("час"), QStringLiteral("HUR")},
        {QStringLiteral("м2"), QStringLiteral("MTK")},
        {QStringLiteral("м²"), QStringLiteral("MTK")},
        {QStringLiteral("м3"), QStringLiteral("MTQ")},
        {QStringLiteral("м³"), QStringLiteral("MTQ")},
        {QStringLiteral("т"), QStringLiteral("TNE")},
        {QStringLiteral("к-т"), QStringLiteral("SET")},
    };
    QString key = WithoutBlanks(unit).toLower();
    if (key.endsWith(QLatin1Char('.')))
        key.chop(1);
    return codes.value(key, QStringLiteral("C62"));
}

QString CountryOfVatNumber(const QString &vatNumber)
{
    const QString number = vatNumber.trimmed().toUpper();
    const auto isLatin = [](QChar c) { return c >= QLatin1Char('A') && c <= QLatin1Char('Z'); };
    if (number.size() < 2 || !isLatin(number.at(0)) || !isLatin(number.at(1)))
        return QStringLiteral("BG");
    const QString prefix = number.left(2);
    return prefix == QLatin1String("EL") ? QStringLiteral("GR") : prefix;
}

QByteArray Xml(const Invoice &invoice)
{
    if (invoice.number <= 0)
        throw UserError(QStringLiteral("Документът още няма номер; е-фактура се съставя за "
                                       "номериран документ."));
    if (!invoice.issueDate.isValid())
        throw UserError(QStringLiteral("%1 е без дата; е-фактурата не може да се състави.")
                            .arg(DocumentName(invoice)));
    if (invoice.lines.isEmpty())
        throw UserError(QStringLiteral("%1 е без редове; е-фактурата не може да се състави.")
                            .arg(DocumentName(invoice)));

    const bool creditNote = invoice.noteKind() == NoteKind::Credit;
    const QString currency = IsoCurrencyCode(invoice.homeCurrency);
    const VatCategory category = CategoryOf(invoice);
    const int sign = SignOf(invoice);
    const Amounts amounts = AmountsOf(invoice, category, sign);
    const PartyData buyer = Buyer(invoice);

    QByteArray bytes;
    UblWriter ubl(&bytes, currency);
    QXmlStreamWriter &xml = ubl.xml();
    const QString root = creditNote ? kCreditNoteNamespace : kInvoiceNamespace;
    xml.writeStartDocument();
    xml.writeDefaultNamespace(root);
    xml.writeNamespace(kCac, QStringLiteral("cac"));
    xml.writeNamespace(kCbc, QStringLiteral("cbc"));
    xml.writeStartElement(root,
                          creditNote ? QStringLiteral("CreditNote") : QStringLiteral("Invoice"));

    ubl.text(QStringLiteral("CustomizationID"), QStringLiteral("urn:cen.eu:en16931:2017"));
    ubl.text(QStringLiteral("ID"), invoice.numberText());
    ubl.date(QStringLiteral("IssueDate"), invoice.issueDate);
    const QString note = XmlText(invoice.newVehicle);
    if (creditNote) {
        ubl.date(QStringLiteral("TaxPointDate"), invoice.taxEventDate);
        ubl.text(QStringLiteral("CreditNoteTypeCode"), QStringLiteral("381"));
        ubl.text(QStringLiteral("Note"), note);
    } else {
        ubl.date(QStringLiteral("DueDate"), invoice.paymentDate);
        QString typeCode = QStringLiteral("380");
        if (invoice.noteKind() == NoteKind::Debit)
            typeCode = QStringLiteral("383");
        else if (invoice.isProforma())
            typeCode = QStringLiteral("325");
        ubl.text(QStringLiteral("InvoiceTypeCode"), typeCode);
        ubl.text(QStringLiteral("Note"), note);
        ubl.date(QStringLiteral("TaxPointDate"), invoice.taxEventDate);
    }
    ubl.text(QStringLiteral("DocumentCurrencyCode"), currency);

    const QString reference = XmlText(invoice.referenceNumber);
    if (invoice.isNote() && !reference.isEmpty()) {
        ubl.open(QStringLiteral("BillingReference"));
        ubl.open(QStringLiteral("InvoiceDocumentReference"));
        ubl.text(QStringLiteral("ID"), reference);
        ubl.date(QStringLiteral("IssueDate"), invoice.referenceDate);
        ubl.close();
        ubl.close();
    }

    WriteParty(ubl, QStringLiteral("AccountingSupplierParty"), Seller(invoice));
    WriteParty(ubl, QStringLiteral("AccountingCustomerParty"), buyer);

    // Goods supplied to another member state: when and where they were delivered.
    if (category.code == QLatin1String("K")) {
        ubl.open(QStringLiteral("Delivery"));
        ubl.date(QStringLiteral("ActualDeliveryDate"),
                 invoice.taxEventDate.isValid() ? invoice.taxEventDate : invoice.issueDate);
        ubl.open(QStringLiteral("DeliveryLocation"));
        ubl.open(QStringLiteral("Address"));
        ubl.country(buyer.country);
        ubl.close();
        ubl.close();
        ubl.close();
    }

    WritePaymentMeans(ubl, invoice, creditNote);
    const QString terms = XmlText(invoice.payment);
    if (!terms.isEmpty()) {
        ubl.open(QStringLiteral("PaymentTerms"));
        ubl.text(QStringLiteral("Note"), terms);
        ubl.close();
    }

    ubl.open(QStringLiteral("TaxTotal"));
    ubl.amount(QStringLiteral("TaxAmount"), amounts.vat);
    ubl.open(QStringLiteral("TaxSubtotal"));
    ubl.amount(QStringLiteral("TaxableAmount"), amounts.lines);
    ubl.amount(QStringLiteral("TaxAmount"), amounts.vat);
    ubl.taxCategory(QStringLiteral("TaxCategory"), category, invoice.vatPercent, true);
    ubl.close();
    ubl.close();

    ubl.open(QStringLiteral("LegalMonetaryTotal"));
    ubl.amount(QStringLiteral("LineExtensionAmount"), amounts.lines);
    ubl.amount(QStringLiteral("TaxExclusiveAmount"), amounts.lines);
    ubl.amount(QStringLiteral("TaxInclusiveAmount"), amounts.lines + amounts.vat);
    if (amounts.rounding != 0)
        ubl.amount(QStringLiteral("PayableRoundingAmount"), amounts.rounding);
    ubl.amount(QStringLiteral("PayableAmount"), amounts.payable);
    ubl.close();

    for (int i = 0; i < invoice.lines.size(); ++i)
        WriteLine(ubl, invoice.lines.at(i), i, category, invoice.vatPercent, sign, creditNote);

    xml.writeEndElement();
    xml.writeEndDocument();
    // The writer drops what XML cannot carry and says so; the texts are cleaned before, so this
    // is a fault of the program, not of the document.
    if (xml.hasError())
        throw UserError(QStringLiteral("Е-фактурата на %1 не можа да бъде съставена.")
                            .arg(DocumentName(invoice)));
    return bytes;
}
} // namespace EInvoice
