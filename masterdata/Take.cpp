// "Добави" of the master-data browser: takes the current record into the invoice being prepared.
#include "masterdata/Unit4.h"

#include "app/Dialogs.h"
#include "app/Look.h"
#include "base/Decimal.h"
#include "base/Errors.h"
#include "document/Document.h"
#include "lines/Unit1.h"
#include "masterdata/Table.h"
#include "masterdata/TableTransaction.h"

#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>

namespace
{
struct FieldToLabel {
    const char16_t *field;
    TLabel *TDoc::*label;
};

// Each field's text becomes the caption of a page label, in order; a field the table lacks stops
// the take with the labels before it already written.
template <size_t N> void WriteLabels(TTable *table, const FieldToLabel (&map)[N])
{
    for (const FieldToLabel &entry : map)
        (Doc->*entry.label)
            ->setCaption(table->FieldByName(QString::fromUtf16(entry.field))->AsString());
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
    static const FieldToLabel map[] = {
        {u"Фирма", &TDoc::Label33},       {u"Идент №", &TDoc::Label65},
        {u"ИН по ЗДДС", &TDoc::Label34},  {u"Адрес", &TDoc::Label29},
        {u"МОЛ", &TDoc::Label30},         {u"МОЛ", &TDoc::Label35},
        {u"Customer", &TDoc::Label23},    {u"Address", &TDoc::Label26},
        {u"Resp.Person", &TDoc::Label67}, {u"Resp.Person", &TDoc::Label71},
    };
    WriteLabels(Table1, map);
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
    static const FieldToLabel map[] = {
        {u"Bank", &TDoc::Label38},
        {u"IBAN", &TDoc::Label39},
        {u"SWIFT", &TDoc::Label53},
    };
    WriteLabels(Table1, map);
    BankRecNo = Table1->RecNo();
}

void TForm4::TakeFirm()
{
    // The page gets the logo the browser shows; an empty logo empties the page's.
    QPixmap logo;
    if (TField *field = m_imageField.isEmpty() ? nullptr : Table1->FindField(m_imageField))
        logo.loadFromData(field->AsBytes());
    else
        logo.loadFromData(Table1->FieldByName(QStringLiteral("Лого"))->AsBytes());
    if (logo.isNull())
        Doc->Image2->clear();
    else
        Doc->Image2->setPixmap(logo);
    FirmRecNo = Table1->RecNo();

    static const FieldToLabel map[] = {
        {u"ДОСТАВЧИК", &TDoc::Label46},
        {u"ДОСТАВЧИК (втори ред)", &TDoc::Label63},
        {u"Адрес", &TDoc::Label47},
        {u"Адрес (втори ред)", &TDoc::Label54},
        {u"МОЛ", &TDoc::Label49},
        {u"ИН по ЗДДС BG", &TDoc::Label11},
        {u"ИН", &TDoc::Label10},
        {u"Местоиздаване", &TDoc::Label16},
        {u"Place of publishment", &TDoc::Label70},
        {u"МОЛ", &TDoc::Label52},
        {u"Resp.Person", &TDoc::Label68},
        {u"Resp.Person", &TDoc::Label72},
    };
    WriteLabels(Table1, map);
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
