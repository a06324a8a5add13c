// "Добави" of the master-data browser: takes the current record into the invoice being prepared.
#include "masterdata/Unit4.h"

#include "base/Decimal.h"
#include "base/Errors.h"
#include "document/CurrentDocument.h"
#include "lines/Unit1.h"
#include "masterdata/Table.h"
#include "masterdata/TableTransaction.h"
#include "ui/Dialogs.h"
#include "ui/Look.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace
{
// The text of a field of the current record; a field the table lacks stops the take before
// anything is taken.
QString Text(TTable *table, const char16_t *field)
{
    return table->FieldByName(QString::fromUtf16(field))->AsString();
}
} // namespace

void TForm4::SpeedButton2Click()
{
    if (!Table1->Active())
        return;
    // Changes typed in the grid, or a record being inserted, are stored before anything is read.
    DBGrid1->CommitEdit();
    Table1->Edit();
    Table1->Post();
    // An empty table has nothing to take (and gets no empty record).
    if (Table1->IsEmpty())
        return;

    const QString mode = windowTitle();
    if (mode == QStringLiteral("КЛИЕНТИ"))
        TakeClient();
    else if (mode == QStringLiteral("СТОКИ"))
        TakeGoods();
    else if (mode == QStringLiteral("Банкови детайли"))
        TakeBank();
    else if (mode == QStringLiteral("Фирмен профил"))
        TakeFirm();
    else if (mode == QStringLiteral("Валута"))
        TakeCurrency();
}

void TForm4::TakeClient()
{
    Party client;
    client.name = Text(Table1, u"Фирма");
    client.name2 = Text(Table1, u"Customer");
    client.address = Text(Table1, u"Адрес");
    client.address2 = Text(Table1, u"Address");
    client.person = Text(Table1, u"МОЛ");
    client.person2 = Text(Table1, u"Resp.Person");
    client.vatNumber = Text(Table1, u"ИН по ЗДДС");
    client.id = Text(Table1, u"Идент №");
    ChangeDocument([&client](Invoice &doc) {
        doc.recipient = client;
        doc.receivedBy = client.person;
        doc.receivedBy2 = client.person2;
    });
}

void TForm4::TakeGoods()
{
    TField *quantity = Table1->FieldByName(QStringLiteral("К-во"));
    if (quantity->AsString() != QStringLiteral("0")) {
        const QString price = Table1->FieldByName(QStringLiteral("Продажна цена"))->AsString();
        // A price that is not a number could make no line: it is reported before anything is
        // filled in or asked.
        Decimal::StrToFloat(price);
        Form1->ComboBox3->setText(Table1->FieldByName(QStringLiteral("Пор. №"))->AsString());
        Form1->Stock->setPlainText(DBMemo1->toPlainText());
        Form1->Edit4->setText(Table1->FieldByName(QStringLiteral("Мярка"))->AsString());
        Form1->Edit1->setText(price);

        QString answer = QStringLiteral("1");
        if (!dialogs().inputQuery(
                QString(), QStringLiteral("Въведете количество за избраната стока:"), answer)) {
            Form1->SpeedButton1Click();
        } else {
            const qint64 wanted = Decimal::TextToFixed(answer);
            // A line of nothing takes nothing; a negative quantity is a return and raises the
            // stock.
            if (wanted == 0)
                throw UserError(QStringLiteral(
                    "Количеството не може да бъде нула. Въведете количеството на стоката."));
            TakeStock(quantity, wanted, answer);
        }
    }
    if (Table1->FieldByName(QStringLiteral("К-во"))->AsString() == QStringLiteral("0"))
        dialogs().showMessage(QStringLiteral("Количеството на стоката е изчерпано!"));
}

void TForm4::TakeStock(TField *quantity, qint64 wanted, const QString &answer)
{
    // The stock is decided on and lowered in one transaction on what the file holds now, not on
    // what the browser read earlier: another run of the program may have taken from it since.
    // The line is added inside that transaction, and the lowered stock is kept only with it.
    const qint64 record = Table1->RecordKey();
    TableTransaction transaction(*Table1);
    Table1->Refresh();
    if (Table1->RecordKey() != record)
        throw UserError(QStringLiteral("Стоката е изтрита от друга работа с програмата; "
                                       "нищо не е добавено."));
    const qint64 inStock = Decimal::TextToFixed(quantity->AsString());
    if (wanted > inStock) {
        transaction.rollback();
        dialogs().showMessage(QStringLiteral("Няма толкова количество в наличност!"));
        Form1->SpeedButton1Click();
        return;
    }
    Table1->Edit();
    quantity->SetAsString(Decimal::FixedToText(inStock - wanted));
    Table1->Post();
    Form1->Edit3->setText(answer);
    const int lines = LineCounter;
    Form1->SpeedButton1Click();
    // A line the table refuses (it already holds 25) takes nothing from the stock.
    if (LineCounter != lines)
        transaction.commit();
}

void TForm4::TakeBank()
{
    const BankAccount bank{Text(Table1, u"Bank"), Text(Table1, u"IBAN"), Text(Table1, u"SWIFT")};
    ChangeDocument([&bank](Invoice &doc) { doc.bank = bank; });
    BankRecNo = Table1->RecNo();
}

void TForm4::TakeFirm()
{
    // The document gets the logo the browser shows; an empty logo empties the page's.
    TField *logoField = m_imageField.isEmpty() ? nullptr : Table1->FindField(m_imageField);
    if (!logoField)
        logoField = Table1->FieldByName(QStringLiteral("Лого"));
    const QByteArray logo = logoField->AsBytes();
    Party firm;
    firm.name = Text(Table1, u"ДОСТАВЧИК");
    firm.name2 = Text(Table1, u"ДОСТАВЧИК (втори ред)");
    firm.address = Text(Table1, u"Адрес");
    firm.address2 = Text(Table1, u"Адрес (втори ред)");
    firm.person = Text(Table1, u"МОЛ");
    firm.person2 = Text(Table1, u"Resp.Person");
    firm.vatNumber = Text(Table1, u"ИН по ЗДДС BG");
    firm.id = Text(Table1, u"ИН");
    const QString place = Text(Table1, u"Местоиздаване");
    const QString place2 = Text(Table1, u"Place of publishment");
    FirmRecNo = Table1->RecNo();
    const int recNo = FirmRecNo;
    ChangeDocument([&](Invoice &doc) {
        doc.supplier = firm;
        doc.place = place;
        doc.place2 = place2;
        doc.issuedBy = firm.person;
        doc.issuedBy2 = firm.person2;
        doc.logo = logo;
        doc.firmRecNo = recNo;
    });
}

void TForm4::TakeCurrency()
{
    const QString code = Table1->FieldByName(QStringLiteral("Валута"))->AsString();
    const QString rateText = Table1->FieldByName(QStringLiteral("Курс"))->AsString();
    // The home amounts are divided by the rate: a rate that is no positive number changes
    // nothing, not even the code.
    const double rate = Decimal::StrToFloat(rateText);
    if (!(rate > 0))
        throw UserError(
            QStringLiteral("Курсът на валутата %1 трябва да е число, по-голямо от 0: '%2'")
                .arg(code, rateText));
    // The lines stay: they are worked out again at the new rate, as if entered after this take.
    Form1->ChangeCurrency(code, rate);
}
