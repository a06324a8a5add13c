#include "document/InvoiceJson.h"

#include "base/Errors.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace
{
QJsonValue Amount(const Decimal::Amount &amount)
{
    return amount.text();
}

Decimal::Amount AmountOf(const QJsonValue &value)
{
    const QString text = value.toString();
    return text.isEmpty() ? Decimal::Amount() : Decimal::Amount::FromText(text);
}

QJsonValue Date(const QDate &date)
{
    return date.isValid() ? QJsonValue(date.toString(Qt::ISODate)) : QJsonValue();
}

QDate DateOf(const QJsonValue &value)
{
    return QDate::fromString(value.toString(), Qt::ISODate);
}

QJsonObject PartyJson(const Party &p)
{
    return {{"name", p.name},           {"name2", p.name2},   {"address", p.address},
            {"address2", p.address2},   {"person", p.person}, {"person2", p.person2},
            {"vatNumber", p.vatNumber}, {"id", p.id}};
}

Party PartyOf(const QJsonObject &o)
{
    Party p;
    p.name = o.value("name").toString();
    p.name2 = o.value("name2").toString();
    p.address = o.value("address").toString();
    p.address2 = o.value("address2").toString();
    p.person = o.value("person").toString();
    p.person2 = o.value("person2").toString();
    p.vatNumber = o.value("vatNumber").toString();
    p.id = o.value("id").toString();
    return p;
}

QJsonObject TotalsJson(const Totals &t)
{
    return {{"net", Amount(t.net)}, {"vat", Amount(t.vat)}, {"gross", Amount(t.gross)}};
}

Totals TotalsOf(const QJsonObject &o)
{
    return {AmountOf(o.value("net")), AmountOf(o.value("vat")), AmountOf(o.value("gross"))};
}
} // namespace

QByteArray InvoiceToJson(const Invoice &d)
{
    QJsonArray lines;
    for (const InvoiceLine &l : d.lines)
        lines.append(QJsonObject{{"number", l.number},
                                 {"description", QJsonArray::fromStringList(l.description)},
                                 {"unit", l.unit},
                                 {"quantity", Amount(l.quantity)},
                                 {"unitPrice", Amount(l.unitPrice)},
                                 {"unitPriceForeign", Amount(l.unitPriceForeign)},
                                 {"value", Amount(l.value)},
                                 {"valueForeign", Amount(l.valueForeign)}});
    QJsonArray accounts;
    for (const NoteAccount &a : d.noteAccounts)
        accounts.append(QJsonObject{{"number", a.number}, {"account", a.account}, {"sum", a.sum}});
    const QJsonObject o{
        {"title", d.title},
        {"noteTitle", d.noteTitle},
        {"referenceNumber", d.referenceNumber},
        {"referenceDate", Date(d.referenceDate)},
        {"number", QString::number(d.number)},
        {"issueDate", Date(d.issueDate)},
        {"taxEventDate", Date(d.taxEventDate)},
        {"paymentDate", Date(d.paymentDate)},
        {"place", d.place},
        {"place2", d.place2},
        {"supplier", PartyJson(d.supplier)},
        {"recipient", PartyJson(d.recipient)},
        {"firmRecNo", d.firmRecNo},
        {"logo", QString::fromLatin1(d.logo.toBase64())},
        {"bank", QJsonObject{{"name", d.bank.name}, {"iban", d.bank.iban}, {"bic", d.bank.bic}}},
        {"payment", d.payment},
        {"vatText", d.vatText},
        {"vatPercent", d.vatPercent},
        {"zeroVatGround", d.zeroVatGround},
        {"newVehicle", d.newVehicle},
        {"homeCurrency", d.homeCurrency},
        {"foreignCurrency", d.foreignCurrency},
        {"foreignRate", d.foreignRate},
        {"lines", lines},
        {"home", TotalsJson(d.home)},
        {"foreign", TotalsJson(d.foreign)},
        {"words", d.words},
        {"noteAccounts", accounts},
        {"receivedBy", d.receivedBy},
        {"receivedBy2", d.receivedBy2},
        {"issuedBy", d.issuedBy},
        {"issuedBy2", d.issuedBy2},
    };
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

Invoice InvoiceFromJson(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw UserError(QStringLiteral("Записаният документ не може да бъде прочетен: %1")
                            .arg(error.errorString()));
    const QJsonObject o = document.object();
    Invoice d;
    d.title = o.value("title").toString();
    d.noteTitle = o.value("noteTitle").toString();
    d.referenceNumber = o.value("referenceNumber").toString();
    d.referenceDate = DateOf(o.value("referenceDate"));
    d.number = o.value("number").toString().toLongLong();
    d.issueDate = DateOf(o.value("issueDate"));
    d.taxEventDate = DateOf(o.value("taxEventDate"));
    d.paymentDate = DateOf(o.value("paymentDate"));
    d.place = o.value("place").toString();
    d.place2 = o.value("place2").toString();
    d.supplier = PartyOf(o.value("supplier").toObject());
    d.recipient = PartyOf(o.value("recipient").toObject());
    d.firmRecNo = o.value("firmRecNo").toInt(1);
    d.logo = QByteArray::fromBase64(o.value("logo").toString().toLatin1());
    const QJsonObject bank = o.value("bank").toObject();
    d.bank = {bank.value("name").toString(), bank.value("iban").toString(),
              bank.value("bic").toString()};
    d.payment = o.value("payment").toString();
    d.vatText = o.value("vatText").toString();
    d.vatPercent = o.value("vatPercent").toInt();
    d.zeroVatGround = o.value("zeroVatGround").toString();
    d.newVehicle = o.value("newVehicle").toString();
    d.homeCurrency = o.value("homeCurrency").toString();
    d.foreignCurrency = o.value("foreignCurrency").toString();
    d.foreignRate = o.value("foreignRate").toDouble();
    for (const QJsonValue &value : o.value("lines").toArray()) {
        const QJsonObject l = value.toObject();
        InvoiceLine line;
        line.number = l.value("number").toInt();
        for (const QJsonValue &text : l.value("description").toArray())
            line.description << text.toString();
        line.unit = l.value("unit").toString();
        line.quantity = AmountOf(l.value("quantity"));
        line.unitPrice = AmountOf(l.value("unitPrice"));
        line.unitPriceForeign = AmountOf(l.value("unitPriceForeign"));
        line.value = AmountOf(l.value("value"));
        line.valueForeign = AmountOf(l.value("valueForeign"));
        d.lines.append(line);
    }
    d.home = TotalsOf(o.value("home").toObject());
    d.foreign = TotalsOf(o.value("foreign").toObject());
    d.words = o.value("words").toString();
    for (const QJsonValue &value : o.value("noteAccounts").toArray()) {
        const QJsonObject a = value.toObject();
        d.noteAccounts.append({a.value("number").toString(), a.value("account").toString(),
                               a.value("sum").toString()});
    }
    d.receivedBy = o.value("receivedBy").toString();
    d.receivedBy2 = o.value("receivedBy2").toString();
    d.issuedBy = o.value("issuedBy").toString();
    d.issuedBy2 = o.value("issuedBy2").toString();
    return d;
}
