#include "ledger/SalesLedger.h"

#include "base/Decimal.h"
#include "base/Errors.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>

namespace Ledger
{
namespace
{
const char *const kColumnCodes[kColumnCount] = {
    "02-10", "02-20", "02-11", "02-21", "02-12", "02-26", "02-22", "02-23", "02-13",
    "02-24", "02-14", "02-15", "02-16", "02-17", "02-18", "02-19", "02-25"};

const char *const kColumnCaptions[kColumnCount] = {"Общо ДО",
                                                   "Общо ДДС",
                                                   "ДО 20 %",
                                                   "ДДС 20 %",
                                                   "ДО ВОП",
                                                   "ДО чл. 82, ал. 2-5",
                                                   "ДДС ВОП и чл. 82",
                                                   "ДДС лични нужди",
                                                   "ДО 9 %",
                                                   "ДДС 9 %",
                                                   "ДО 0 % гл. 3",
                                                   "ДО 0 % ВОД",
                                                   "ДО 0 % чл. 140, 146, 173",
                                                   "ДО чл. 21, ал. 2",
                                                   "ДО чл. 69, ал. 2",
                                                   "ДО освободени",
                                                   "ДО тристранни"};

const QString kBgn = QStringLiteral("BGN");
const QString kEur = QStringLiteral("EUR");
// The identifier of a recipient abroad that has no VAT number.
const QString kForeignWithoutVat = QStringLiteral("999999999999999");
constexpr int kIdWidth = 15;
constexpr int kAmountWidth = 15;
// The lev in euro cents: 1 EUR = 1.95583 BGN.
constexpr qint64 kLevaPerEuroTimes100000 = 195583;

QString TypeName(DocumentType type)
{
    switch (type) {
    case DocumentType::DebitNote:
        return QStringLiteral("Дебитно известие");
    case DocumentType::CreditNote:
        return QStringLiteral("Кредитно известие");
    case DocumentType::Proforma:
        return QStringLiteral("Проформа фактура");
    case DocumentType::Invoice:
        break;
    }
    return QStringLiteral("Фактура");
}

// The column of Amounts a base at 0 % goes to; -1 for none.
int ZeroRateColumn(LedgerColumn column)
{
    switch (column) {
    case LedgerColumn::Export:
        return BaseChapterThree;
    case LedgerColumn::IntraCommunity:
        return BaseIntraCommunity;
    case LedgerColumn::Art140_146_173:
        return BaseArt140_146_173;
    case LedgerColumn::ServiceElsewhere:
        return BaseServiceElsewhere;
    case LedgerColumn::DistanceSale:
        return BaseArt69;
    case LedgerColumn::Exempt:
        return BaseExempt;
    case LedgerColumn::Triangular:
        return BaseTriangular;
    case LedgerColumn::Unclassified:
        break;
    }
    return -1;
}

// A euro amount (a count in whole cents) in leva, rounded to the cent half away from zero.
qint64 EuroToLeva(qint64 euro)
{
    qint64 product = 0;
    if (qMulOverflow(euro / 100, kLevaPerEuroTimes100000, &product))
        throw UserError(QStringLiteral("Сумата е твърде голяма."));
    // The product counts hundred-thousandths of a cent.
    qint64 cents = product / 100000;
    const qint64 rest = product % 100000;
    if (rest >= 50000)
        ++cents;
    else if (rest <= -50000)
        --cents;
    return cents * 100;
}

// An amount of the document in whole cents of the period's currency.
qint64 InPeriodCurrency(qint64 amount, const QString &from, const QString &to)
{
    const qint64 cents = Decimal::RoundToCents(amount);
    if (from == to)
        return cents;
    return from == kBgn ? Decimal::LevaToEuroFixed(cents) : EuroToLeva(cents);
}

// A text for one fixed-width field: line breaks and other control characters would break the
// record apart, so they become blanks; blanks around are dropped.
QString FieldText(const QString &text)
{
    QString clean = text;
    for (QChar &c : clean) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return clean.trimmed();
}

// The reasons a document cannot go into the ledger; empty when it can.
QStringList Problems(const Document &document)
{
    QStringList problems;
    if (document.number <= 0)
        problems << QStringLiteral("няма номер");
    const QString id = FieldText(document.recipientId);
    if (id.isEmpty())
        problems << QStringLiteral("няма идентификатор на получателя (ИН по ЗДДС, ЕИК или ЕГН)");
    else if (id.size() > kIdWidth)
        problems << QStringLiteral("идентификаторът на получателя „%1“ е по-дълъг от %2 знака")
                        .arg(id)
                        .arg(kIdWidth);
    if (FieldText(document.recipientName).isEmpty())
        problems << QStringLiteral("няма име на получателя");
    if (document.currency != kBgn && document.currency != kEur)
        problems << QStringLiteral("валутата „%1“ не е нито BGN, нито EUR").arg(document.currency);
    if (document.base0 != 0 && ZeroRateColumn(document.zeroVatColumn) < 0) {
        const QString ground = document.zeroVatGround.trimmed();
        if (ground.isEmpty() || ground == kNoZeroVatGround)
            problems << QStringLiteral("няма основание за нулевата ставка");
        else
            problems << QStringLiteral("основанието за нулевата ставка „%1“ не определя колона "
                                       "на дневника")
                            .arg(ground);
    }
    return problems;
}

// The record of a document that can go into the ledger, without its sequence number.
Record MakeRecord(const Document &document, const QString &currency)
{
    Record record;
    record.type = document.type;
    record.number = document.number;
    record.date = document.date;
    record.recipientId = FieldText(document.recipientId);
    record.recipientName = FieldText(document.recipientName);
    record.description = FieldText(document.description);
    record.converted = document.currency != currency;

    Amounts &a = record.amounts;
    const auto put = [&](int column, qint64 amount) {
        a[column] =
            Decimal::FixedAdd(a[column], InPeriodCurrency(amount, document.currency, currency));
    };
    put(Base20, document.base20);
    put(Vat20, document.vat20);
    put(Base9, document.base9);
    put(Vat9, document.vat9);
    if (document.base0 != 0)
        put(ZeroRateColumn(document.zeroVatColumn), document.base0);

    // A credit note lowers the period's sums: it is listed negative, whichever sign it came with.
    if (document.type == DocumentType::CreditNote) {
        qint64 sum = 0;
        for (qint64 amount : a)
            sum = Decimal::FixedAdd(sum, amount);
        if (sum > 0) {
            for (qint64 &amount : a)
                amount = -amount;
        }
    }
    a[TotalBase] = BaseTotal(a);
    a[TotalVat] = VatTotal(a);
    for (qint64 amount : a) {
        const QString text = Decimal::FixedToText(amount, 2);
        if (text.size() > kAmountWidth)
            throw UserError(
                QStringLiteral("сумата %1 е по-дълга от %2 знака").arg(text).arg(kAmountWidth));
    }
    return record;
}

QString Documents(int count)
{
    return count == 1 ? QStringLiteral("1 документ") : QStringLiteral("%1 документа").arg(count);
}
} // namespace

QString ColumnCode(int column)
{
    return column >= 0 && column < kColumnCount ? QString::fromLatin1(kColumnCodes[column])
                                                : QString();
}

QString ColumnCaption(int column)
{
    return column >= 0 && column < kColumnCount ? QString::fromUtf8(kColumnCaptions[column])
                                                : QString();
}

QString PeriodCurrency(const QString &period)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4})(\\d{2})$"));
    const QRegularExpressionMatch match = form.match(period);
    const int month = match.hasMatch() ? match.captured(2).toInt() : 0;
    if (month < 1 || month > 12)
        throw UserError(
            QStringLiteral("Периодът „%1“ не е месец във вида ггггмм (например 202601).")
                .arg(period));
    // A period is stated in the currency that was legal tender at its end.
    return period >= QLatin1String("202601") ? kEur : kBgn;
}

QString RecipientIdentifier(const QString &vatNumber, const QString &id, bool abroad)
{
    const auto compact = [](const QString &text) {
        QString result;
        for (QChar c : text) {
            if (!c.isSpace())
                result += c;
        }
        return result;
    };
    const QString vat = compact(vatNumber).toUpper();
    if (!vat.isEmpty())
        return vat;
    return abroad ? kForeignWithoutVat : compact(id);
}

qint64 BaseTotal(const Amounts &a)
{
    // Our working rule: every base the document has, except that of a triangular intermediary,
    // which the return counts apart.
    qint64 total = 0;
    for (int column : {Base20, BaseAcquisitions, Base9, BaseChapterThree, BaseIntraCommunity,
                       BaseArt140_146_173, BaseServiceElsewhere, BaseArt69, BaseExempt, BaseArt82})
        total = Decimal::FixedAdd(total, a[column]);
    return total;
}

qint64 VatTotal(const Amounts &a)
{
    qint64 total = 0;
    for (int column : {Vat20, VatAcquisitions, VatPersonalUse, Vat9})
        total = Decimal::FixedAdd(total, a[column]);
    return total;
}

QString DocumentName(DocumentType type, qint64 number, const QDate &date)
{
    QString name = TypeName(type);
    if (number > 0)
        name += QStringLiteral(" № %1").arg(number, 10, 10, QLatin1Char('0'));
    if (date.isValid())
        name += QStringLiteral(" от %1").arg(date.toString(QStringLiteral("dd.MM.yyyy")));
    return name;
}

SalesLedger Build(const Company &company, const QString &period, const QVector<Document> &documents)
{
    SalesLedger ledger;
    ledger.company = company;
    ledger.period = period;
    ledger.currency = PeriodCurrency(period);

    QVector<Document> own;
    for (const Document &document : documents) {
        if (document.type == DocumentType::Proforma)
            continue;
        if (document.date.isValid() && document.date.toString(QStringLiteral("yyyyMM")) != period)
            continue;
        own.append(document);
    }
    std::stable_sort(own.begin(), own.end(),
                     [](const Document &a, const Document &b) { return a.number < b.number; });
    QHash<qint64, int> uses;
    for (const Document &document : own)
        ++uses[document.number];

    for (const Document &document : own) {
        QStringList problems = Problems(document);
        if (!document.date.isValid())
            problems << QStringLiteral("няма дата");
        if (document.number > 0 && uses.value(document.number) > 1)
            problems << QStringLiteral("номерът е на повече от един документ в периода");
        Record record;
        if (problems.isEmpty()) {
            try {
                record = MakeRecord(document, ledger.currency);
            } catch (const UserError &error) {
                problems << error.message();
            }
        }
        if (!problems.isEmpty()) {
            ledger.refused.append({DocumentName(document.type, document.number, document.date),
                                   problems.join(QStringLiteral("; "))});
            continue;
        }
        record.sequence = int(ledger.records.size()) + 1;
        for (int column = 0; column < kColumnCount; ++column)
            ledger.totals[column] =
                Decimal::FixedAdd(ledger.totals[column], record.amounts[column]);
        if (record.converted)
            ++ledger.convertedCount;
        ledger.records.append(record);
    }
    return ledger;
}

void RequireComplete(const SalesLedger &ledger)
{
    const QString vatNumber = ledger.company.vatNumber.trimmed();
    if (vatNumber.isEmpty() || vatNumber.size() > kIdWidth)
        throw UserError(QStringLiteral("Дневникът за продажбите за %1 не е съставен: фирмата няма "
                                       "ИН по ЗДДС до %2 знака.")
                            .arg(ledger.period)
                            .arg(kIdWidth));
    if (ledger.complete())
        return;
    QStringList lines = {QStringLiteral("Дневникът за продажбите за %1 не е съставен: "
                                        "документите по-долу не могат да влязат в него.")
                             .arg(ledger.period)};
    for (const Refusal &refusal : ledger.refused)
        lines << QStringLiteral("%1: %2").arg(refusal.document, refusal.reason);
    throw UserError(lines.join(QLatin1Char('\n')));
}

QString ConversionNote(const SalesLedger &ledger)
{
    if (ledger.convertedCount == 0)
        return QString();
    return QStringLiteral("%1 в %2 %3 в %4 по 1.95583")
        .arg(Documents(ledger.convertedCount), ledger.currency == kEur ? kBgn : kEur,
             ledger.convertedCount == 1 ? QStringLiteral("превърнат")
                                        : QStringLiteral("превърнати"),
             ledger.currency);
}

QString Summary(const SalesLedger &ledger)
{
    QString text = QStringLiteral("Дневник за продажбите %1: %2, данъчна основа %3 %5, ДДС %4 %5")
                       .arg(ledger.period, Documents(int(ledger.records.size())),
                            Decimal::FixedToText(ledger.totals[TotalBase], 2),
                            Decimal::FixedToText(ledger.totals[TotalVat], 2), ledger.currency);
    const QString note = ConversionNote(ledger);
    if (!note.isEmpty())
        text += QStringLiteral("; ") + note;
    return text;
}
} // namespace Ledger
