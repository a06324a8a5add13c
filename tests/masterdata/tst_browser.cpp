#include "support/TestSupport.h"

#include "base/Errors.h"
#include "document/Document.h"
#include "lines/Unit1.h"
#include "masterdata/IdentifierDelegate.h"
#include "masterdata/Table.h"
#include "masterdata/Unit4.h"
#include "ui/Look.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QToolButton>

// The master-data browser and "Добави" on a copy of the sample tables, driven offscreen with
// every dialog answered by the script.
class TestBrowser : public QObject
{
    Q_OBJECT

private slots:
    void openerLayout_data();
    void openerLayout();
    void missingTableStopsOpener();
    void rememberedRecordNumbers_data();
    void rememberedRecordNumbers();
    void search_data();
    void search();
    void quoteInSearchMatchesLiterally();
    void searchDoesNotCarryOverToAnotherTable();
    void choosingSearchColumn_data();
    void choosingSearchColumn();
    void pendingGridEditIsSaved_data();
    void pendingGridEditIsSaved();
    void navigatorDeletesWithoutAsking();
    void identifierCheckedInGrid_data();
    void identifierCheckedInGrid();
    void logoReplacedFromPictureFile_data();
    void logoReplacedFromPictureFile();

    void takeFillsPageLabels_data();
    void takeFillsPageLabels();
    void takeGoods_data();
    void takeGoods();
    void takeGoodsRefusedNumberChangesNothing_data();
    void takeGoodsRefusedNumberChangesNothing();
    void takeFirmCopiesLogo();
    void takeCurrencyKeepsLinesAndRewritesHeaders();
    void takeCurrencyWithBadRateChangesNothing_data();
    void takeCurrencyWithBadRateChangesNothing();
    void takeOnEmptyTableTakesNothing();
    void takeGoodsZeroOrNegativeQuantity_data();
    void takeGoodsZeroOrNegativeQuantity();
    void takeGoodsStockNotStoredAddsNoLine_data();
    void takeGoodsStockNotStoredAddsNoLine();
    void takeGoodsDecidesOnStoredStock_data();
    void takeGoodsDecidesOnStoredStock();
    void searchOnLargeTable();
};

namespace
{
enum Opener { Firm, Bank, Goods, Clients, Currency };

void Open(int opener)
{
    switch (opener) {
    case Firm:
        Form4->OpenFirm();
        break;
    case Bank:
        Form4->OpenBank();
        break;
    case Goods:
        Form4->OpenStock();
        break;
    case Clients:
        Form4->OpenCustomers();
        break;
    default:
        Form4->OpenCurrency();
        break;
    }
}

// Starts a program run on the sample tables, answering the VAT prompt.
void Start(ProgramRun &run)
{
    run.script().answer(QStringLiteral("20%"));
    run.start();
}

QStringList Visible(const QString &field)
{
    TTable *table = Form4->Table1;
    const int column = table->FieldByName(field)->Index();
    QStringList values;
    for (int row = 0; row < table->rowCount(); ++row)
        values.append(table->data(table->index(row, column)).toString());
    return values;
}

QString Field(const QString &name)
{
    return Form4->Table1->FieldByName(name)->AsString();
}

void SetField(const QString &name, const QString &text)
{
    Form4->Table1->Edit();
    Form4->Table1->FieldByName(name)->SetAsString(text);
    Form4->Table1->Post();
}

QString Cell(int row, int column)
{
    const QTableWidgetItem *item = Form1->StringGrid1->item(row, column);
    return item ? item->text() : QString();
}

const QStringList kClientNames{QStringLiteral("Зелен хълм ООД"), QStringLiteral("Арго Строй АД"),
                               QStringLiteral("Мирела Консулт ЕООД"),
                               QStringLiteral("Пирин Фрут ЕТ"), QStringLiteral("Старт Софт ООД")};
} // namespace

void TestBrowser::openerLayout_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("opener");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("gridTop");
    QTest::addColumn<int>("gridHeight");
    QTest::addColumn<bool>("memo");
    QTest::addColumn<bool>("logo");
    QTest::addColumn<QString>("firstColumn");

    QTest::newRow("own company: logo above the grid")
        << -1 << int(Firm) << QStringLiteral("Фирмен профил") << 168 << 193 << false << true
        << QStringLiteral("ДОСТАВЧИК");
    QTest::newRow("bank details") << -1 << int(Bank) << QStringLiteral("Банкови детайли") << 64
                                  << 297 << false << false << QStringLiteral("Bank");
    QTest::newRow("goods: description above the grid")
        << -1 << int(Goods) << QStringLiteral("СТОКИ") << 120 << 241 << true << false
        << QStringLiteral("Пор. №");
    QTest::newRow("clients") << -1 << int(Clients) << QStringLiteral("КЛИЕНТИ") << 64 << 297
                             << false << false << QStringLiteral("Фирма");
    QTest::newRow("currency") << -1 << int(Currency) << QStringLiteral("Валута") << 64 << 297
                              << false << false << QStringLiteral("Валута");
    QTest::newRow("clients after own company: layout reset")
        << int(Firm) << int(Clients) << QStringLiteral("КЛИЕНТИ") << 64 << 297 << false << false
        << QStringLiteral("Фирма");
    QTest::newRow("currency after goods: layout reset")
        << int(Goods) << int(Currency) << QStringLiteral("Валута") << 64 << 297 << false << false
        << QStringLiteral("Валута");
    QTest::newRow("goods after own company")
        << int(Firm) << int(Goods) << QStringLiteral("СТОКИ") << 120 << 241 << true << false
        << QStringLiteral("Пор. №");
}

void TestBrowser::openerLayout()
{
    QFETCH(int, before);
    QFETCH(int, opener);
    QFETCH(QString, caption);
    QFETCH(int, gridTop);
    QFETCH(int, gridHeight);
    QFETCH(bool, memo);
    QFETCH(bool, logo);
    QFETCH(QString, firstColumn);

    ProgramRun run;
    Start(run);
    if (before >= 0) {
        Open(before);
        Form4->SpeedButton1Click();
        QCOMPARE(Form4->isVisible(), false);
    } else {
        Form4->setWindowState(Qt::WindowMinimized);
    }
    Open(opener);
    QCOMPARE(Form4->isVisible(), true);
    QCOMPARE(Form4->windowState() & Qt::WindowMinimized, Qt::WindowNoState);
    QCOMPARE(Form4->windowTitle(), caption);
    QCOMPARE(Form4->frameGeometry().topLeft(), QPoint(18, 307));
    QCOMPARE(Form4->size(), QSize(707, 430));
    QCOMPARE(Form4->DBGrid1->geometry().top(), gridTop);
    QCOMPARE(Form4->DBGrid1->geometry().height(), gridHeight);
    QCOMPARE(Form4->DBMemo1->isVisible(), memo);
    QCOMPARE(Form4->LabelOpisanie->isVisible(), memo);
    QCOMPARE(Form4->DBImage1->isVisible(), logo);
    QCOMPARE(Form4->LabelLogo->isVisible(), logo);
    QCOMPARE(Form4->Label3->isVisible(), false);
    // The search list holds the fields in table order with the first one shown; the grid keeps
    // its column order.
    QStringList items;
    for (int i = 0; i < Form4->ComboBox1->count(); ++i)
        items.append(Form4->ComboBox1->itemText(i));
    QCOMPARE(items, Form4->Table1->FieldDefs());
    QCOMPARE(Form4->ComboBox1->currentText(), firstColumn);
    QCOMPARE(Form4->Table1->headerData(0, Qt::Horizontal).toString(), firstColumn);
    if (memo)
        QCOMPARE(Form4->DBMemo1->toPlainText(), Field(QStringLiteral("Описание на стока/услуга")));
    if (logo)
        QVERIFY(Form4->DBImage1->pixmap().width() > 0);
}

void TestBrowser::missingTableStopsOpener()
{
    ProgramRun run;
    Start(run);
    QVERIFY(QFile::remove(run.path(QStringLiteral("DB/customer.db"))));
    QVERIFY_THROWS_EXCEPTION(UserError, Form4->OpenCustomers());
    QCOMPARE(Form4->isVisible(), false);
    QCOMPARE(Form4->Table1->Active(), false);
    QVERIFY(!QFile::exists(run.path(QStringLiteral("DB/customer.db"))));
    // The next opener still finds its own layout.
    Form4->OpenFirm();
    Form4->SpeedButton1Click();
    QFile::rename(run.path(QStringLiteral("DB/stock.db")), run.path(QStringLiteral("DB/x.db")));
    QVERIFY_THROWS_EXCEPTION(UserError, Form4->OpenStock());
    QFile::rename(run.path(QStringLiteral("DB/x.db")), run.path(QStringLiteral("DB/stock.db")));
    Form4->OpenCurrency();
    QCOMPARE(Form4->DBGrid1->geometry().top(), 64);
    QCOMPARE(Form4->DBMemo1->isVisible(), false);
}

void TestBrowser::rememberedRecordNumbers_data()
{
    QTest::addColumn<int>("opener");
    QTest::addColumn<int>("remembered");
    QTest::addColumn<int>("recNo");

    QTest::newRow("own company, existing record") << int(Firm) << 2 << 2;
    QTest::newRow("own company, record gone: first") << int(Firm) << 5 << 1;
    QTest::newRow("bank, existing record") << int(Bank) << 2 << 2;
    QTest::newRow("bank, record gone: first") << int(Bank) << 3 << 1;
}

void TestBrowser::rememberedRecordNumbers()
{
    QFETCH(int, opener);
    QFETCH(int, remembered);
    QFETCH(int, recNo);

    ProgramRun run;
    Start(run);
    QCOMPARE(Form4->FirmRecNo, 1);
    QCOMPARE(Form4->BankRecNo, 1);
    (opener == Firm ? Form4->FirmRecNo : Form4->BankRecNo) = remembered;
    Form4->OpenCustomers();
    Open(opener);
    QCOMPARE(Form4->Table1->RecNo(), recNo);
}

void TestBrowser::search_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("visible");

    QTest::newRow("no value equals it: from it on")
        << QStringList{QStringLiteral("п")}
        << QStringList{QStringLiteral("Пирин Фрут ЕТ"), QStringLiteral("Старт Софт ООД")};
    QTest::newRow("whole value in other case: that record")
        << QStringList{QStringLiteral("пирин фрут ет")}
        << QStringList{QStringLiteral("Пирин Фрут ЕТ")};
    QTest::newRow("no value begins with it: all")
        << QStringList{QStringLiteral("п"), QStringLiteral("пх")} << kClientNames;
    QTest::newRow("cleared: all") << QStringList{QStringLiteral("мирела консулт еоод"), QString()}
                                  << kClientNames;
    QTest::newRow("independent of the previous search")
        << QStringList{QStringLiteral("старт софт оод"), QStringLiteral("арго строй ад")}
        << QStringList{QStringLiteral("Арго Строй АД")};
}

void TestBrowser::search()
{
    QFETCH(QStringList, texts);
    QFETCH(QStringList, visible);

    ProgramRun run;
    Start(run);
    Form4->OpenCustomers();
    for (const QString &text : texts)
        Form4->Edit1->setText(text);
    QCOMPARE(Visible(QStringLiteral("Фирма")), visible);
    QCOMPARE(Form4->Table1->RecNo(), 1);
    QCOMPARE(run.script().errors, QStringList());
}

void TestBrowser::quoteInSearchMatchesLiterally()
{
    ProgramRun run;
    Start(run);
    Form4->OpenCustomers();
    Form4->Table1->Insert();
    Form4->Table1->FieldByName(QStringLiteral("Фирма"))->SetAsString(QStringLiteral("О'Нийл ООД"));
    Form4->Table1->Post();
    Form4->Edit1->setText(QStringLiteral("о'нийл ООД"));
    QCOMPARE(Visible(QStringLiteral("Фирма")), QStringList{QStringLiteral("О'Нийл ООД")});
    Form4->Edit1->setText(QStringLiteral("' OR ''='"));
    QCOMPARE(Form4->Table1->RecordCount(), 6);
    Form4->OpenCustomers();
    QCOMPARE(Form4->Table1->RecordCount(), 6);
}

void TestBrowser::searchDoesNotCarryOverToAnotherTable()
{
    ProgramRun run;
    Start(run);
    Form4->OpenCustomers();
    Form4->Edit1->setText(QStringLiteral("п"));
    QCOMPARE(Form4->Table1->RecordCount(), 2);
    Form4->OpenCurrency();
    QCOMPARE(Form4->Edit1->text(), QString());
    QCOMPARE(Form4->Table1->RecordCount(), 4);
    Form4->OpenCustomers();
    QCOMPARE(Form4->Table1->RecordCount(), 5);
}

void TestBrowser::choosingSearchColumn_data()
{
    QTest::addColumn<int>("opener");
    QTest::addColumn<QString>("column");
    QTest::addColumn<bool>("filterEnabled");

    QTest::newRow("clients, key column Идент №")
        << int(Clients) << QStringLiteral("Идент №") << false;
    QTest::newRow("clients, address") << int(Clients) << QStringLiteral("Адрес") << true;
    QTest::newRow("goods, key column Пор. №") << int(Goods) << QStringLiteral("Пор. №") << false;
    QTest::newRow("goods, key column description")
        << int(Goods) << QStringLiteral("Описание на стока/услуга") << false;
    QTest::newRow("goods, unit") << int(Goods) << QStringLiteral("Мярка") << true;
    QTest::newRow("currency leaves the state") << int(Currency) << QStringLiteral("Курс") << true;
}

void TestBrowser::choosingSearchColumn()
{
    QFETCH(int, opener);
    QFETCH(QString, column);
    QFETCH(bool, filterEnabled);

    ProgramRun run;
    Start(run);
    Open(opener);
    QVERIFY(QTest::qWaitForWindowActive(Form4));
    Form4->Edit1->setText(QStringLiteral("1"));
    Form4->ComboBox1->setFocus();
    Form4->ComboBox1->setCurrentIndex(Form4->ComboBox1->findText(column));
    Form4->ComboBox1Change();
    QCOMPARE(Form4->Table1->headerData(0, Qt::Horizontal).toString(), column);
    QCOMPARE(Form4->cbUseFilter->isEnabled(), filterEnabled);
    QCOMPARE(Form4->cbUseFilter->isChecked(), true);
    QCOMPARE(QApplication::focusWidget() == Form4->Edit1, !filterEnabled);
    // The search text is emptied and the search runs with it.
    QCOMPARE(Form4->Edit1->text(), QString());
    QCOMPARE(Form4->Table1->Filtered(), false);
}

void TestBrowser::pendingGridEditIsSaved_data()
{
    QTest::addColumn<bool>("byOpener");
    QTest::newRow("another table opened with the cell editor open") << true;
    QTest::newRow("moving down to the next record, in the same column") << false;
}

void TestBrowser::pendingGridEditIsSaved()
{
    QFETCH(bool, byOpener);
    ProgramRun run;
    Start(run);
    Form4->OpenCustomers();
    QVERIFY(QTest::qWaitForWindowActive(Form4));
    const int column = Form4->Table1->FieldByName(QStringLiteral("Телефон"))->Index();
    const QModelIndex phone = Form4->Table1->index(1, column);
    Form4->DBGrid1->setCurrentIndex(phone);
    Form4->DBGrid1->edit(phone);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->setText(QStringLiteral("02 111 22 33"));
    if (byOpener) {
        Form4->OpenStock();
        Form4->OpenCustomers();
    } else {
        QTest::keyClick(editor, Qt::Key_Down);
        QCOMPARE(Form4->Table1->RecNo(), 3);
        QCOMPARE(Form4->DBGrid1->currentIndex(), Form4->Table1->index(2, column));
    }
    Form4->Table1->SetRecNo(2);
    QCOMPARE(Field(QStringLiteral("Телефон")), QStringLiteral("02 111 22 33"));
}

void TestBrowser::identifierCheckedInGrid_data()
{
    QTest::addColumn<int>("opener");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("why"); // empty: valid, no question
    QTest::addColumn<bool>("answer");
    const auto row = [](const char *rule, int opener, const char *field, const char *typed,
                        const char *why, bool answer) {
        QTest::newRow(rule) << opener << QString::fromUtf8(field) << QString::fromUtf8(typed)
                            << QString::fromUtf8(why) << answer;
    };
    row("client VAT number valid", Clients, "ИН по ЗДДС", "BG175402918", "", false);
    row("client VAT number invalid, kept", Clients, "ИН по ЗДДС", "BG160538274",
        "грешна контролна цифра", true);
    row("client VAT number invalid, refused", Clients, "ИН по ЗДДС", "BG160538274",
        "грешна контролна цифра", false);
    row("foreign VAT number of its form", Clients, "ИН по ЗДДС", "ATU13585627", "", false);
    row("client ID invalid", Clients, "Идент №", "12345",
        "ЕИК има 9 или 13 цифри, ЕГН и ЛНЧ имат 10", true);
    row("own VAT number invalid", Firm, "ИН по ЗДДС BG", "175402917", "грешна контролна цифра",
        true);
    row("IBAN invalid", Bank, "IBAN", "BG80 TRIB 9661 1020 3456 78", "грешни контролни цифри",
        true);
    row("IBAN valid in small letters", Bank, "IBAN", "bg91 trib 9661 1020 3456 78", "", false);
    row("other fields are not checked", Clients, "Телефон", "abc", "", false);
}

void TestBrowser::identifierCheckedInGrid()
{
    QFETCH(int, opener);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, why);
    QFETCH(bool, answer);
    const QString question = why.isEmpty()
                                 ? QString()
                                 : QStringLiteral("%1 „%2“ не е валиден (%3). Запиши въпреки това?")
                                       .arg(field, typed, why);
    const bool stored = why.isEmpty() || answer;
    const bool marked = !why.isEmpty() && answer;
    ProgramRun run;
    Start(run);
    Open(opener);
    QVERIFY(QTest::qWaitForWindowActive(Form4));
    const QString before = Field(field);
    const int column = Form4->Table1->FieldByName(field)->Index();
    const QModelIndex cell = Form4->Table1->index(0, column);
    // The ground of the cell as painted when another cell of its record is the current one.
    const auto grabbedGround = [&cell] {
        Form4->DBGrid1->setCurrentIndex(cell.siblingAtColumn(cell.column() == 0 ? 1 : 0));
        Form4->DBGrid1->scrollTo(cell);
        const QRect place = Form4->DBGrid1->visualRect(cell);
        return Form4->DBGrid1->viewport()->grab().toImage().pixelColor(place.right() - 2,
                                                                       place.center().y());
    };
    // The sample data's numbers all pass.
    QVERIFY(grabbedGround() != TIdentifierDelegate::MarkColour());

    run.script().yesNoAnswers.push(answer);
    Form4->DBGrid1->setCurrentIndex(cell);
    Form4->DBGrid1->edit(cell);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->setText(typed);
    QTest::keyClick(editor, Qt::Key_Return);
    // Saving the record and reading it back asks nothing more.
    Form4->NavRefresh->click();
    QCOMPARE(Field(field), stored ? typed : before);
    QCOMPARE(run.script().questions, question.isEmpty() ? QStringList() : QStringList{question});
    QCOMPARE(grabbedGround() == TIdentifierDelegate::MarkColour(), marked);

    // Typing the same value again is no new value: no second question.
    Form4->DBGrid1->edit(cell);
    editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->setText(Field(field));
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(run.script().questions.size(), question.isEmpty() ? 0 : 1);
}

void TestBrowser::navigatorDeletesWithoutAsking()
{
    ProgramRun run;
    Start(run);
    Form4->OpenCustomers();
    Form4->Table1->SetRecNo(2);
    QCOMPARE(Form4->NavDelete->toolTip(), QStringLiteral("Изтрий запис"));
    Form4->NavDelete->click();
    QCOMPARE(Form4->Table1->RecordCount(), 4);
    QCOMPARE(Field(QStringLiteral("Фирма")), QStringLiteral("Мирела Консулт ЕООД"));
    QCOMPARE(run.script().messages, QStringList());
    QCOMPARE(run.script().queries.size(), 1); // only the VAT prompt
    Form4->NavLast->click();
    QCOMPARE(Form4->Table1->RecNo(), 4);
    Form4->NavFirst->click();
    QCOMPARE(Form4->Table1->RecNo(), 1);
}

void TestBrowser::logoReplacedFromPictureFile_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("stored");

    QTest::newRow("bitmap is stored") << QStringLiteral("BMP") << true;
    QTest::newRow("other picture kind empties the logo") << QStringLiteral("PNG") << false;
    if (QImageWriter::supportedImageFormats().contains("ico"))
        QTest::newRow("icon empties the logo") << QStringLiteral("ICO") << false;
    QTest::newRow("cancel changes nothing") << QString() << true;
    // "TXT": a file named .bmp that holds no picture at all.
    QTest::newRow("no picture at all: refused, logo kept") << QStringLiteral("TXT") << true;
}

void TestBrowser::logoReplacedFromPictureFile()
{
    QFETCH(QString, format);
    QFETCH(bool, stored);

    ProgramRun run;
    Start(run);
    Form4->OpenFirm();
    const QByteArray before = Form4->Table1->FieldByName(QStringLiteral("Лого"))->AsBytes();
    const bool noPicture = format == QStringLiteral("TXT");
    QString file;
    if (noPicture) {
        file = run.path(QStringLiteral("logo.bmp"));
        QFile text(file);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("BM, but no picture");
    } else if (!format.isEmpty()) {
        QImage picture(32, 16, QImage::Format_RGB32);
        picture.fill(Qt::red);
        file = run.path(QStringLiteral("picture.") + format.toLower());
        QVERIFY(picture.save(file, format.toLatin1().constData()));
    }
    run.script().pictureAnswers.push(file);
    QString error;
    try {
        Form4->DBImage1Click();
    } catch (const UserError &raised) {
        error = raised.message();
    }
    QCOMPARE(error.isEmpty(), !noPicture);
    Form4->OpenBank();
    Form4->OpenFirm();
    const QByteArray after = Form4->Table1->FieldByName(QStringLiteral("Лого"))->AsBytes();
    if (format.isEmpty() || noPicture)
        QCOMPARE(after, before);
    else if (stored) {
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(after, saved.readAll());
    } else
        QVERIFY(after.isEmpty());
    QCOMPARE(Form4->DBImage1->pixmap().isNull(), !stored && !format.isEmpty());
}

void TestBrowser::takeFillsPageLabels_data()
{
    QTest::addColumn<int>("opener");
    QTest::addColumn<int>("recNo");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("field");

    const struct {
        int opener;
        const char *label;
        const char16_t *field;
    } rows[] = {
        {Clients, "Label33", u"Фирма"},
        {Clients, "Label65", u"Идент №"},
        {Clients, "Label34", u"ИН по ЗДДС"},
        {Clients, "Label29", u"Адрес"},
        {Clients, "Label30", u"МОЛ"},
        {Clients, "Label35", u"МОЛ"},
        {Clients, "Label23", u"Customer"},
        {Clients, "Label26", u"Address"},
        {Clients, "Label67", u"Resp.Person"},
        {Clients, "Label71", u"Resp.Person"},
        {Bank, "Label38", u"Bank"},
        {Bank, "Label39", u"IBAN"},
        {Bank, "Label53", u"SWIFT"},
        {Firm, "Label46", u"ДОСТАВЧИК"},
        {Firm, "Label63", u"ДОСТАВЧИК (втори ред)"},
        {Firm, "Label47", u"Адрес"},
        {Firm, "Label54", u"Адрес (втори ред)"},
        {Firm, "Label49", u"МОЛ"},
        {Firm, "Label11", u"ИН по ЗДДС BG"},
        {Firm, "Label10", u"ИН"},
        {Firm, "Label16", u"Местоиздаване"},
        {Firm, "Label70", u"Place of publishment"},
        {Firm, "Label52", u"МОЛ"},
        {Firm, "Label68", u"Resp.Person"},
        {Firm, "Label72", u"Resp.Person"},
    };
    for (const auto &row : rows) {
        const QString field = QString::fromUtf16(row.field);
        QTest::addRow("%s from %s", row.label, qPrintable(field))
            << row.opener << 2 << QString::fromLatin1(row.label) << field;
    }
}

void TestBrowser::takeFillsPageLabels()
{
    QFETCH(int, opener);
    QFETCH(int, recNo);
    QFETCH(QString, label);
    QFETCH(QString, field);

    ProgramRun run;
    Start(run);
    Open(opener);
    Form4->Table1->SetRecNo(recNo);
    Form4->SpeedButton2Click();
    auto *target = Doc->findChild<QLabel *>(label);
    QVERIFY(target);
    // A value wider than its place goes on at a blank on a further line.
    QCOMPARE(target->text().replace(QLatin1Char('\n'), QLatin1Char(' ')), Field(field));
    QCOMPARE(Form4->isVisible(), true);
    if (opener == Bank)
        QCOMPARE(Form4->BankRecNo, recNo);
    if (opener == Firm)
        QCOMPARE(Form4->FirmRecNo, recNo);
    if (opener == Bank || opener == Firm) {
        // The next opening of the table shows the record taken.
        Form4->OpenCustomers();
        Open(opener);
        QCOMPARE(Form4->Table1->RecNo(), recNo);
    }
}

void TestBrowser::takeGoods_data()
{
    QTest::addColumn<QString>("stock");
    QTest::addColumn<QString>("answer"); // "cancel": the query is cancelled; "none": not asked
    QTest::addColumn<QString>("left");
    QTest::addColumn<bool>("lineAdded");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("tableFull"); // the line table already holds 25 lines

    const QString exhausted = QStringLiteral("Количеството на стоката е изчерпано!");
    const QString notEnough = QStringLiteral("Няма толкова количество в наличност!");
    const QString noQuantity = QStringLiteral("Попълнете коректно КОЛИЧЕСТВОТО на стоката");
    const QString tableFull = QStringLiteral("Не могат да бъдат въведени повече от 25 артикула!");
    QTest::newRow("10 less 3") << QStringLiteral("10") << QStringLiteral("3") << QStringLiteral("7")
                               << true << QStringList() << false;
    QTest::newRow("3 less 3: exhausted")
        << QStringLiteral("3") << QStringLiteral("3") << QStringLiteral("0") << true
        << QStringList{exhausted} << false;
    QTest::newRow("0: not asked") << QStringLiteral("0") << QStringLiteral("none")
                                  << QStringLiteral("0") << false << QStringList{exhausted}
                                  << false;
    QTest::newRow("2 against 2.5: refused")
        << QStringLiteral("2") << QStringLiteral("2.5") << QStringLiteral("2") << false
        << QStringList{notEnough, noQuantity} << false;
    QTest::newRow("cancel") << QStringLiteral("5") << QStringLiteral("cancel")
                            << QStringLiteral("5") << false << QStringList{noQuantity} << false;
    QTest::newRow("7.5 less 2.25") << QStringLiteral("7.5") << QStringLiteral("2.25")
                                   << QStringLiteral("5.25") << true << QStringList() << false;
    QTest::newRow("line table full: stock kept")
        << QStringLiteral("3") << QStringLiteral("3") << QStringLiteral("3") << false
        << QStringList{tableFull} << true;
}

void TestBrowser::takeGoods()
{
    QFETCH(QString, stock);
    QFETCH(QString, answer);
    QFETCH(QString, left);
    QFETCH(bool, lineAdded);
    QFETCH(QStringList, messages);
    QFETCH(bool, tableFull);

    ProgramRun run;
    Start(run);
    Form4->OpenStock();
    Form4->Table1->SetRecNo(7); // a description of two lines
    SetField(QStringLiteral("К-во"), stock);
    if (tableFull)
        Form1->StringGrid1->setRowCount(27);
    const int rows = Form1->StringGrid1->rowCount();
    const int lines = LineCounter;
    if (answer == QStringLiteral("cancel"))
        run.script().cancel();
    else if (answer != QStringLiteral("none"))
        run.script().answer(answer);
    const int queriesBefore = int(run.script().queries.size());

    Form4->SpeedButton2Click();

    QCOMPARE(run.script().messages, messages);
    QCOMPARE(int(run.script().queries.size()) - queriesBefore,
             answer == QStringLiteral("none") ? 0 : 1);
    if (answer != QStringLiteral("none")) {
        const ScriptedDialogs::Query &query = run.script().queries.last();
        QCOMPARE(query.title, QString());
        QCOMPARE(query.prompt, QStringLiteral("Въведете количество за избраната стока:"));
        QCOMPARE(query.proposed, QStringLiteral("1"));
    }
    QCOMPARE(Field(QStringLiteral("К-во")), left);
    QCOMPARE(LineCounter, lines + (lineAdded ? 1 : 0));
    QCOMPARE(Form1->StringGrid1->rowCount(), rows + (lineAdded ? 2 : 0));
    if (lineAdded) {
        QCOMPARE(Cell(rows, 0), QString::number(LineCounter));
        QCOMPARE(Cell(rows, 1), QStringLiteral("Абонаментна поддръжка на компютрите,"));
        QCOMPARE(Cell(rows, 2), QStringLiteral("мес."));
        QCOMPARE(Cell(rows, 3), answer);
        QCOMPARE(Cell(rows + 1, 1), QStringLiteral("месечна такса, до 10 работни места"));
    }
    // The entry fields are back at their placeholders whenever the add ran.
    if (answer != QStringLiteral("none"))
        QCOMPARE(Form1->Edit3->text(), QStringLiteral("К-во"));

    // The lowered stock is in the file.
    Form4->OpenCustomers();
    Form4->OpenStock();
    Form4->Table1->SetRecNo(7);
    QCOMPARE(Field(QStringLiteral("К-во")), left);
}

void TestBrowser::takeGoodsRefusedNumberChangesNothing_data()
{
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("stock");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("queries");
    QTest::addColumn<QString>("message");

    QTest::newRow("empty price: stock kept, nothing asked")
        << QString() << QStringLiteral("10") << QStringLiteral("2") << 0
        << QStringLiteral("'' is not a valid floating point value");
    QTest::newRow("quantity not a number")
        << QStringLiteral("145") << QStringLiteral("10") << QStringLiteral("abc") << 1
        << QStringLiteral("'abc' is not a valid floating point value");
    QTest::newRow("empty stock") << QStringLiteral("145") << QString() << QStringLiteral("2") << 1
                                 << QStringLiteral("'' is not a valid floating point value");
}

void TestBrowser::takeGoodsRefusedNumberChangesNothing()
{
    QFETCH(QString, price);
    QFETCH(QString, stock);
    QFETCH(QString, answer);
    QFETCH(int, queries);
    QFETCH(QString, message);

    ProgramRun run;
    Start(run);
    Form4->OpenStock();
    SetField(QStringLiteral("Продажна цена"), price);
    SetField(QStringLiteral("К-во"), stock);
    const int rows = Form1->StringGrid1->rowCount();
    run.script().answer(answer);
    QString error;
    try {
        Form4->SpeedButton2Click();
    } catch (const UserError &raised) {
        error = raised.message();
    }
    QCOMPARE(error, message);
    QCOMPARE(int(run.script().queries.size()), 1 + queries); // after the VAT prompt
    QCOMPARE(Field(QStringLiteral("К-во")), stock);
    QCOMPARE(Form1->StringGrid1->rowCount(), rows);
    QCOMPARE(LineCounter, 0);
}

void TestBrowser::takeFirmCopiesLogo()
{
    ProgramRun run;
    Start(run);
    Form4->OpenFirm();
    Form4->SpeedButton2Click();
    QCOMPARE(Doc->Image2->pixmap().size(), QSize(233, 97));
    QCOMPARE(Form4->FirmRecNo, 1);

    Form4->Table1->SetRecNo(2);
    Form4->Table1->Edit();
    Form4->Table1->FieldByName(QStringLiteral("Лого"))->Clear();
    Form4->Table1->Post();
    Form4->SpeedButton2Click();
    QVERIFY(Doc->Image2->pixmap().isNull());
    QCOMPARE(Form4->FirmRecNo, 2);
    QCOMPARE(Doc->Label46->text(), QStringLiteral("Кристалпорт ЕООД"));
}

void TestBrowser::takeCurrencyKeepsLinesAndRewritesHeaders()
{
    ProgramRun run;
    Start(run);
    Form4->OpenStock();
    run.script().answer(QStringLiteral("2"));
    Form4->SpeedButton2Click();
    const int rows = Form1->StringGrid1->rowCount();
    QCOMPARE(rows, 3);
    const QString total = Form1->Label5->text();
    const int lines = LineCounter;

    Form4->OpenCurrency();
    Form4->Table1->SetRecNo(2);
    Form4->SpeedButton2Click();

    QCOMPARE(Form1->CurrencyCode, QStringLiteral("USD"));
    QCOMPARE(Form1->CurrencyRate, 1.43726);
    QCOMPARE(Form1->StringGrid1->rowCount(), rows);
    QCOMPARE(LineCounter, lines);
    QCOMPARE(Form1->Label5->text(), total);
    // The line stays; its foreign columns and the foreign totals follow the new rate.
    const QStringList line = {
        "1",     "Офисен стол \"Комфорт\" с подлакътници", "бр.", "2", "145.00", "100.89", "290.00",
        "201.77"};
    for (int column = 0; column < 8; ++column)
        QCOMPARE(Cell(2, column), line.at(column));
    QCOMPARE(Form1->Label11->text(), QStringLiteral("201.77"));
    QCOMPARE(Form1->Label12->text(), QStringLiteral("40.35"));
    QCOMPARE(Form1->Label13->text(), QStringLiteral("242.12"));
    QCOMPARE(Cell(0, 0), QStringLiteral("Пор. №"));
    QCOMPARE(Cell(0, 5), QStringLiteral("Ед. цена USD"));
    QCOMPARE(Cell(1, 5), QStringLiteral("Unit Price USD"));
    QCOMPARE(Cell(0, 7), QStringLiteral("Стойност USD"));
    QCOMPARE(Cell(1, 7), QStringLiteral("Total USD"));
    QCOMPARE(Cell(1, 1), QStringLiteral("Description"));
}

void TestBrowser::takeCurrencyWithBadRateChangesNothing_data()
{
    QTest::addColumn<QString>("rate");
    QTest::newRow("empty") << QString();
    QTest::newRow("zero") << QStringLiteral("0");
    QTest::newRow("negative") << QStringLiteral("-1.5");
}

void TestBrowser::takeCurrencyWithBadRateChangesNothing()
{
    QFETCH(QString, rate);
    ProgramRun run;
    Start(run);
    Form4->OpenCurrency();
    Form4->Table1->SetRecNo(3);
    SetField(QStringLiteral("Курс"), rate);
    const QString header = Cell(0, 5);
    QVERIFY_THROWS_EXCEPTION(UserError, Form4->SpeedButton2Click());
    QCOMPARE(Form1->CurrencyCode, QStringLiteral("EUR"));
    QCOMPARE(Form1->CurrencyRate, 1.95583);
    QCOMPARE(Cell(0, 5), header);
}

void TestBrowser::takeOnEmptyTableTakesNothing()
{
    ProgramRun run;
    Start(run);
    Form4->OpenBank();
    Form4->Table1->Delete();
    Form4->Table1->Delete();
    QCOMPARE(Form4->Table1->RecordCount(), 0);
    const QString bank = Doc->Label38->text();
    Form4->SpeedButton2Click();
    QCOMPARE(Form4->Table1->RecordCount(), 0);
    QCOMPARE(Doc->Label38->text(), bank);
    QCOMPARE(Form4->BankRecNo, 1);
    Form4->OpenCustomers();
    Form4->OpenBank();
    QCOMPARE(Form4->Table1->RecordCount(), 0);
}

namespace
{
// Runs statements on stock.db through a connection of its own, as another program would.
void WriteStockAside(ProgramRun &run, const QStringList &statements)
{
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("aside"));
        db.setDatabaseName(run.path(QStringLiteral("DB/stock.db")));
        QVERIFY(db.open());
        for (const QString &sql : statements) {
            QSqlQuery query(db);
            QVERIFY2(query.exec(sql), qPrintable(query.lastError().text()));
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("aside"));
}

QString StoredStock(ProgramRun &run, int rowid)
{
    QString stock;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("aside"));
        db.setDatabaseName(run.path(QStringLiteral("DB/stock.db")));
        db.open();
        QSqlQuery query(db);
        query.exec(QStringLiteral("SELECT \"К-во\" FROM stock WHERE rowid = %1").arg(rowid));
        if (query.next())
            stock = query.value(0).toString();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("aside"));
    return stock;
}
} // namespace

void TestBrowser::takeGoodsZeroOrNegativeQuantity_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("error");
    const QString zero =
        QStringLiteral("Количеството не може да бъде нула. Въведете количеството на стоката.");
    QTest::newRow("zero: refused") << QStringLiteral("0") << QStringLiteral("10") << zero;
    QTest::newRow("zero with decimals: refused")
        << QStringLiteral("0.00") << QStringLiteral("10") << zero;
    QTest::newRow("below a ten-thousandth: refused")
        << QStringLiteral("0.00001") << QStringLiteral("10") << zero;
    QTest::newRow("negative: a return raises the stock")
        << QStringLiteral("-2") << QStringLiteral("12") << QString();
}

void TestBrowser::takeGoodsZeroOrNegativeQuantity()
{
    QFETCH(QString, answer);
    QFETCH(QString, left);
    QFETCH(QString, error);
    ProgramRun run;
    Start(run);
    Form4->OpenStock();
    Form4->Table1->SetRecNo(2);
    SetField(QStringLiteral("К-во"), QStringLiteral("10"));
    const int rows = Form1->StringGrid1->rowCount();
    run.script().answer(answer);
    QString raised;
    try {
        Form4->SpeedButton2Click();
    } catch (const UserError &e) {
        raised = e.message();
    }
    QCOMPARE(raised, error);
    QCOMPARE(Field(QStringLiteral("К-во")), left);
    QCOMPARE(StoredStock(run, 2), left);
    QCOMPARE(LineCounter, error.isEmpty() ? 1 : 0);
    QCOMPARE(Form1->StringGrid1->rowCount(), rows + (error.isEmpty() ? 1 : 0));
}

void TestBrowser::takeGoodsStockNotStoredAddsNoLine_data()
{
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("error");
    QTest::newRow("the file refuses the change")
        << QStringList{QStringLiteral("CREATE TRIGGER keep BEFORE UPDATE ON stock "
                                      "BEGIN SELECT RAISE(ABORT, 'stock is kept'); END")}
        << QStringLiteral("Записът не може да бъде запазен в stock.db: stock is kept.");
    QTest::newRow("a view, not a table")
        << QStringList{QStringLiteral("ALTER TABLE stock RENAME TO goods"),
                       QStringLiteral("CREATE VIEW stock AS SELECT * FROM goods")}
        << QStringLiteral("Записът не може да бъде запазен в stock.db: stock е изглед (view), "
                          "а не таблица, и записите му не могат да бъдат променяни.");
}

void TestBrowser::takeGoodsStockNotStoredAddsNoLine()
{
    QFETCH(QStringList, setup);
    QFETCH(QString, error);
    ProgramRun run;
    Start(run);
    WriteStockAside(run, setup);
    Form4->OpenStock();
    Form4->Table1->SetRecNo(1);
    const QString stock = Field(QStringLiteral("К-во"));
    const int rows = Form1->StringGrid1->rowCount();
    run.script().answer(QStringLiteral("2"));
    QString raised;
    try {
        Form4->SpeedButton2Click();
    } catch (const UserError &e) {
        raised = e.message();
    }
    QCOMPARE(raised, error);
    QCOMPARE(LineCounter, 0);
    QCOMPARE(Form1->StringGrid1->rowCount(), rows);
    QCOMPARE(Field(QStringLiteral("К-во")), stock);
    QCOMPARE(Form4->Table1->InTransaction(), false);
}

void TestBrowser::takeGoodsDecidesOnStoredStock_data()
{
    QTest::addColumn<QString>("storedMeanwhile");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("left");
    QTest::addColumn<bool>("lineAdded");
    QTest::newRow("another run took 6 of 10: 3 more leave 1")
        << QStringLiteral("4") << QStringLiteral("3") << QStringLiteral("1") << true;
    QTest::newRow("another run took 6 of 10: 5 more are refused")
        << QStringLiteral("4") << QStringLiteral("5") << QStringLiteral("4") << false;
}

void TestBrowser::takeGoodsDecidesOnStoredStock()
{
    QFETCH(QString, storedMeanwhile);
    QFETCH(QString, answer);
    QFETCH(QString, left);
    QFETCH(bool, lineAdded);
    ProgramRun run;
    Start(run);
    Form4->OpenStock();
    Form4->Table1->SetRecNo(2);
    SetField(QStringLiteral("К-во"), QStringLiteral("10"));
    // The browser has read 10; another run of the program stores a lower stock.
    WriteStockAside(
        run,
        {QStringLiteral("UPDATE stock SET \"К-во\" = %1 WHERE rowid = 2").arg(storedMeanwhile)});
    run.script().answer(answer);
    Form4->SpeedButton2Click();
    QCOMPARE(StoredStock(run, 2), left);
    QCOMPARE(Field(QStringLiteral("К-во")), left);
    QCOMPARE(LineCounter, lineAdded ? 1 : 0);
    if (!lineAdded)
        QCOMPARE(run.script().messages.first(),
                 QStringLiteral("Няма толкова количество в наличност!"));
}

void TestBrowser::searchOnLargeTable()
{
    // Typing into the search box of a clients table far larger than the sample: every step shows
    // what a full scan of the file would.
    ProgramRun run;
    Start(run);
    QStringList names = kClientNames;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("aside"));
        db.setDatabaseName(run.path(QStringLiteral("DB/customer.db")));
        QVERIFY(db.open());
        db.transaction();
        QSqlQuery query(db);
        query.prepare(QStringLiteral("INSERT INTO customer (\"Фирма\") VALUES (?)"));
        for (int i = 0; i < 20000; ++i) {
            names.append(QStringLiteral("%1 Клиент %2")
                             .arg(i % 3 == 0 ? QStringLiteral("Пирин") : QStringLiteral("Рила"))
                             .arg(i));
            query.addBindValue(names.last());
            query.exec();
        }
        db.commit();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("aside"));
    Form4->OpenCustomers();
    QCOMPARE(Form4->Table1->RecordCount(), int(names.size()));
    for (const QString &text :
         {QStringLiteral("п"), QStringLiteral("пи"), QStringLiteral("пирин клиент 9"),
          QStringLiteral("ПИРИН КЛИЕНТ 999"), QStringLiteral("ПИРИН КЛИЕНТ 999x"),
          QStringLiteral("р"), QStringLiteral("рила клиент 19999")}) {
        // The browser's rule, by a full scan: the names equal to the text when some begins
        // with it, else those from it on; all when none begins with it.
        QStringList expected;
        bool begins = false;
        for (const QString &name : names)
            begins = begins || name.startsWith(text, Qt::CaseInsensitive);
        for (const QString &name : names)
            if (!begins || name.compare(text, Qt::CaseInsensitive) == 0)
                expected.append(name);
        if (expected.isEmpty())
            for (const QString &name : names)
                if (name.compare(text, Qt::CaseInsensitive) >= 0)
                    expected.append(name);
        Form4->Edit1->setText(text);
        QCOMPARE(Form4->Table1->RecordCount(), int(expected.size()));
        QCOMPARE(Form4->Table1->RecNo(), 1);
        QCOMPARE(Field(QStringLiteral("Фирма")), expected.first());
        Form4->Table1->Last();
        QCOMPARE(Field(QStringLiteral("Фирма")), expected.last());
    }
}

VORNEX_TEST_MAIN(TestBrowser)
#include "tst_browser.moc"
