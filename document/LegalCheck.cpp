#include "document/LegalCheck.h"

#include "base/Errors.h"
#include "document/DocumentNumber.h"
#include "document/ZeroVatGrounds.h"
#include "lines/Amounts.h"
#include "masterdata/Identifiers.h"

namespace
{
// Days the invoice may be issued after the tax event.
constexpr qint64 kDaysAfterTaxEvent = 5;
const QDate kEuroDay(2026, 1, 1);

bool Blank(const QString &text)
{
    return text.trimmed().isEmpty();
}

class Findings
{
public:
    void error(const QString &text) { m_errors << Finding{Finding::Level::Error, text}; }
    void warning(const QString &text) { m_warnings << Finding{Finding::Level::Warning, text}; }
    QVector<Finding> all() const { return m_errors + m_warnings; }

private:
    QVector<Finding> m_errors, m_warnings;
};

void CheckParties(const Invoice &doc, Findings &f)
{
    if (Blank(doc.supplier.name))
        f.error(QStringLiteral("Липсва името на доставчика („Собствени фирми“)."));
    if (Blank(doc.supplier.address) && Blank(doc.supplier.address2))
        f.error(QStringLiteral("Липсва адресът на доставчика („Собствени фирми“)."));
    if (Blank(doc.supplier.vatNumber))
        f.error(QStringLiteral("Липсва идентификационният номер по ДДС на доставчика."));
    if (Blank(doc.supplier.id))
        f.error(QStringLiteral("Липсва ЕИК на доставчика."));
    if (Blank(doc.recipient.name) && Blank(doc.recipient.name2))
        f.error(QStringLiteral("Липсва името на получателя: изберете го в „Клиенти“."));
    if (Blank(doc.recipient.address) && Blank(doc.recipient.address2))
        f.error(QStringLiteral("Липсва адресът на получателя."));
}

void CheckLines(const Invoice &doc, Findings &f)
{
    if (doc.lines.isEmpty()) {
        f.error(QStringLiteral("Документът няма нито един ред."));
        return;
    }
    for (const InvoiceLine &line : doc.lines) {
        QStringList missing;
        if (Blank(line.descriptionText()))
            missing << QStringLiteral("описание");
        if (Blank(line.unit))
            missing << QStringLiteral("мярка");
        if (line.quantity.isZero())
            missing << QStringLiteral("количество");
        if (line.unitPrice.isZero())
            missing << QStringLiteral("единична цена");
        if (!missing.isEmpty())
            f.error(QStringLiteral("Ред %1 няма %2.")
                        .arg(line.number)
                        .arg(missing.join(QStringLiteral(", "))));
    }
}

void CheckVat(const Invoice &doc, Findings &f)
{
    int percent = -1;
    try {
        percent = qRound(VatFactorFromText(doc.vatText) * 100);
    } catch (const UserError &) {
        f.error(QStringLiteral("Данъчната ставка „%1“ не е число: рестартирайте програмата и "
                               "въведете ставката (20, 9 или 0).")
                    .arg(doc.vatText));
    }
    if (percent >= 0 && percent != doc.vatPercent)
        f.error(QStringLiteral("Данъчната ставка „%1“ не е ставката, по която е сметнат данъкът "
                               "(%2 %).")
                    .arg(doc.vatText)
                    .arg(doc.vatPercent));
    if (doc.vatPercent == 0 && Blank(doc.zeroVatGround))
        f.error(QStringLiteral("При ставка 0 % изберете основанието за неначисляване на ДДС "
                               "(„Основания“ в „Таблица“)."));
    if (doc.vatPercent != 20 && doc.vatPercent != 9 && doc.vatPercent != 0)
        f.warning(
            QStringLiteral("Ставка %1 % не е ставка по ЗДДС (20, 9 или 0 %).").arg(doc.vatPercent));
    if (doc.vatPercent == 0 && IsOutdatedZeroVatGround(doc.zeroVatGround))
        f.warning(QStringLiteral("Основанието „%1“ е от отменен текст; посочете действащото "
                                 "основание.")
                      .arg(doc.zeroVatGround.trimmed()));
}

void CheckKind(const Invoice &doc, const LegalContext &context, Findings &f)
{
    if (doc.isNote() && (Blank(doc.referenceNumber) || !doc.referenceDate.isValid()))
        f.error(QStringLiteral("Известието трябва да посочи номера и датата на фактурата, към "
                               "която е издадено (щракнете реда „от дата … към фактура №“)."));
    if (!doc.isNote() && doc.payable().isNegative())
        f.error(QStringLiteral("Сумата за плащане е отрицателна: за намаление издайте кредитно "
                               "известие."));
    if (doc.isNote() && !Blank(doc.referenceNumber) && doc.referenceDate.isValid() &&
        context.journalInvoiceDates) {
        const QVector<QDate> dates = context.journalInvoiceDates(doc.referenceNumber);
        if (!dates.contains(doc.referenceDate))
            f.warning(QStringLiteral("Дневникът няма фактура № %1 от %2 на този доставчик.")
                          .arg(doc.referenceNumber, DateText(doc.referenceDate)));
    }
}

void CheckDates(const Invoice &doc, Findings &f)
{
    if (!doc.issueDate.isValid())
        return;
    if (doc.issueDate >= kEuroDay && doc.homeCurrency == QLatin1String("BGN"))
        f.error(QStringLiteral("От 01.01.2026 г. документите се издават в евро: натиснете "
                               "„Евро“ в менюто."));
    if (doc.taxEventDate.isValid() && doc.taxEventDate.daysTo(doc.issueDate) > kDaysAfterTaxEvent)
        f.warning(QStringLiteral("Документът е издаден %1 дни след данъчното събитие (%2); "
                                 "законът допуска до 5 дни.")
                      .arg(doc.taxEventDate.daysTo(doc.issueDate))
                      .arg(DateText(doc.taxEventDate)));
}

void CheckIdentifiers(const Invoice &doc, Findings &f)
{
    QList<Identifiers::Field> fields{
        {QStringLiteral("ИН по ЗДДС на доставчика"), IdentifierKind::VatNumber,
         doc.supplierVatNumber()},
        {QStringLiteral("ЕИК на доставчика"), IdentifierKind::PartyId, doc.supplier.id},
        {QStringLiteral("ИН по ЗДДС на получателя"), IdentifierKind::VatNumber,
         doc.recipient.vatNumber},
        {QStringLiteral("ЕИК/ЕГН на получателя"), IdentifierKind::PartyId, doc.recipient.id},
        {QStringLiteral("IBAN"), IdentifierKind::Iban, doc.bank.iban}};
    for (const QString &problem : Identifiers::Problems(fields))
        f.warning(problem);
    if (Blank(doc.recipient.vatNumber) && Blank(doc.recipient.id) &&
        !(Blank(doc.recipient.name) && Blank(doc.recipient.name2)))
        f.warning(QStringLiteral("Получателят няма нито ИН по ЗДДС, нито ЕИК (позволено само за "
                                 "физическо лице)."));
}
} // namespace

QVector<Finding> CheckDocument(const Invoice &doc, const LegalContext &context)
{
    Findings f;
    CheckParties(doc, f);
    CheckLines(doc, f);
    CheckVat(doc, f);
    CheckKind(doc, context, f);
    CheckDates(doc, f);
    CheckIdentifiers(doc, f);
    return f.all();
}

bool HasErrors(const QVector<Finding> &findings)
{
    for (const Finding &finding : findings)
        if (finding.level == Finding::Level::Error)
            return true;
    return false;
}

QString FindingsText(const QVector<Finding> &findings)
{
    QStringList errors, warnings;
    for (const Finding &finding : findings)
        (finding.level == Finding::Level::Error ? errors : warnings)
            << QStringLiteral("– ") + finding.text;
    QStringList parts;
    if (!errors.isEmpty())
        parts << QStringLiteral("Грешки:\n") + errors.join(QLatin1Char('\n'));
    if (!warnings.isEmpty())
        parts << QStringLiteral("Предупреждения:\n") + warnings.join(QLatin1Char('\n'));
    return parts.join(QStringLiteral("\n\n"));
}
