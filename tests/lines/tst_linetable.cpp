#include "support/TestSupport.h"

#include "app/Forms.h"
#include "document/Document.h"
#include "lines/Unit1.h"
#include "ui/Look.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QToolButton>

class TestLineTable : public QObject
{
    Q_OBJECT
private slots:
    void startsWithHeadersAndZeroTotals();
    void layout_data();
    void layout();
    void vatPrompt_data();
    void vatPrompt();
    void separatorChangedDuringThePromptIsReported();
    void memoryFileFillsTheBoxes_data();
    void memoryFileFillsTheBoxes();
    void addWritesTheLineAndTotals();
    void refusedAdd_data();
    void refusedAdd();
    void numberThatIsNoNumberAddsNothing();
    void rowLimit_data();
    void rowLimit();
    void longDescriptionFillsContinuationRows();
    void enterAddsFromEveryField_data();
    void enterAddsFromEveryField();
    void keyFilters_data();
    void keyFilters();
    void guardAgainstZeroPointZero_data();
    void guardAgainstZeroPointZero();
    void clickEmptiesField();
    void clearAllRestartsNumbering();
    void tableButtonOpensPopup();
    void choiceBoxesMirrorOnPageAndMemory_data();
    void choiceBoxesMirrorOnPageAndMemory();
    void groundsHelpShowsThe2007TextsFirst();
    void choicesComeBackAfterRestart();

private:
    static QString cell(int row, int column);
    static void fill(const QString &description, const QString &unit, const QString &quantity,
                     const QString &price);
    static void addLine(const QString &price = QStringLiteral("1"));
    static void writeMemory(ProgramRun &run, const QByteArray &bytes);
};

QString TestLineTable::cell(int row, int column)
{
    const QTableWidgetItem *item = Form1->StringGrid1->item(row, column);
    return item ? item->text() : QString();
}

void TestLineTable::fill(const QString &description, const QString &unit, const QString &quantity,
                         const QString &price)
{
    Form1->Stock->setPlainText(description);
    Form1->Edit4->setText(unit);
    Form1->Edit3->setText(quantity);
    Form1->Edit1->setText(price);
}

void TestLineTable::addLine(const QString &price)
{
    fill(QStringLiteral("Услуга"), QStringLiteral("бр."), QStringLiteral("1"), price);
    Form1->SpeedButton1Click();
}

void TestLineTable::writeMemory(ProgramRun &run, const QByteArray &bytes)
{
    QFile file(run.path(QStringLiteral("Vmem.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void TestLineTable::startsWithHeadersAndZeroTotals()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();

    QCOMPARE(Form1->StringGrid1->rowCount(), 2);
    QVERIFY(!Form1->StringGrid1->isEnabled());
    QStringList row0, row1;
    for (int column = 0; column < 8; ++column) {
        row0 << cell(0, column);
        row1 << cell(1, column);
    }
    QCOMPARE(row0, (QStringList{"Пор. №", "Наименование на стоките или услугите", "Мярка", "К-во",
                                "Ед. цена BGL", "Ед. цена EUR", "Стойност BGL", "Стойност EUR"}));
    QCOMPARE(row1, (QStringList{"Part №", "Description", "Measure", "Quantity", "Unit Price BGL",
                                "Unit Price EUR", "Total BGL", "Total EUR"}));
    for (TLabel *total : {Form1->Label7, Form1->Label3, Form1->Label5, Form1->Label11,
                          Form1->Label12, Form1->Label13})
        QCOMPARE(total->text(), QStringLiteral("0"));
    QCOMPARE(Form1->CurrencyCode, QStringLiteral("EUR"));
    QCOMPARE(Form1->CurrencyRate, 1.95583);
    QCOMPARE(LineCounter, 0);
    QCOMPARE(Form1->MemoryList, (QStringList{"20%", "ФАКТУРА / INVOICE", "", QString(76, '.')}));
}

void TestLineTable::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // an empty size: sized to its text
    QTest::newRow("grid") << "StringGrid1" << QRect(8, 8, 801, 361);
    QTest::newRow("table button") << "SpeedButton4" << QRect(8, 372, 153, 22);
    QTest::newRow("totals panel") << "Panel1" << QRect(8, 400, 0, 0);
    QTest::newRow("net caption") << "Label6" << QRect(1, 1, 0, 0);
    QTest::newRow("net") << "Label7" << QRect(137, 1, 0, 0);
    QTest::newRow("VAT caption") << "Label2" << QRect(1, 15, 0, 0);
    QTest::newRow("VAT") << "Label3" << QRect(137, 33, 0, 0);
    QTest::newRow("gross caption") << "Label4" << QRect(1, 47, 0, 0);
    QTest::newRow("gross") << "Label5" << QRect(137, 47, 0, 0);
    QTest::newRow("number field") << "ComboBox3" << QRect(8, 6, 65, 19);
    QTest::newRow("description") << "Stock" << QRect(80, 6, 537, 43);
    QTest::newRow("unit") << "Edit4" << QRect(624, 6, 49, 19);
    QTest::newRow("quantity") << "Edit3" << QRect(680, 6, 49, 19);
    QTest::newRow("price") << "Edit1" << QRect(736, 6, 73, 19);
    QTest::newRow("add button") << "SpeedButton1" << QRect(120, 28, 689, 22);
    QTest::newRow("document caption") << "Label15" << QRect(480, 388, 0, 0);
    QTest::newRow("note caption") << "Label16" << QRect(480, 414, 0, 0);
    QTest::newRow("grounds caption") << "Label17" << QRect(480, 438, 0, 0);
    QTest::newRow("document kind") << "ComboBox2" << QRect(552, 384, 257, 0);
    QTest::newRow("note kind") << "ComboBox1" << QRect(552, 410, 257, 0);
    QTest::newRow("grounds") << "ComboBox4" << QRect(552, 436, 257, 0);
    QTest::newRow("grounds help") << "SpeedButton2" << QRect(368, 428, 31, 30);
}

void TestLineTable::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    QCOMPARE(Form1->size(), QSize(818, 473));
    QCOMPARE(Form1->pos(), QPoint(124, 125));
    auto *control = Form1->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->pos(), geometry.topLeft());
    if (geometry.width() > 0)
        QCOMPARE(control->width(), geometry.width());
    if (geometry.height() > 0)
        QCOMPARE(control->height(), geometry.height());

    QList<int> widths;
    for (int column = 0; column < Form1->StringGrid1->columnCount(); ++column)
        widths << Form1->StringGrid1->columnWidth(column);
    QCOMPARE(widths, (QList<int>{51, 269, 53, 53, 91, 90, 89, 90}));
    QCOMPARE(Form1->StringGrid1->rowHeight(0), 18);
    // The totals panel holds its labels.
    QVERIFY(Form1->Panel1->rect().contains(Form1->Label5->geometry()));
}

void TestLineTable::vatPrompt_data()
{
    QTest::addColumn<QByteArray>("memory"); // empty: no file
    QTest::addColumn<QString>("answer");    // "<cancel>" cancels the prompt
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<QString>("vatText");
    QTest::addColumn<double>("factor");
    QTest::addColumn<QString>("label2");
    QTest::addColumn<QString>("error");
    QTest::newRow("cancel without a file keeps 20%")
        << QByteArray() << "<cancel>"
        << "20%"
        << "20%" << 0.2 << "Данъчна ставка 20%\nразмер на данъка"
        << "";
    QTest::newRow("cancel keeps the remembered rate")
        << QByteArray("9%\r\n") << "<cancel>"
        << "9%"
        << "9%" << 0.09 << "Данъчна ставка 9%\nразмер на данъка"
        << "";
    QTest::newRow("fraction shown but whole percent charged")
        << QByteArray() << "20.7%"
        << "20%"
        << "20.7%" << 0.2 << "Данъчна ставка 20.7%\nразмер на данъка"
        << "";
    QTest::newRow("answer without percent sign")
        << QByteArray() << "9"
        << "20%"
        << "9" << 0.09 << "Данъчна ставка 9%\nразмер на данъка"
        << "";
    QTest::newRow("zero rate") << QByteArray() << "0%"
                               << "20%"
                               << "0%" << 0.0 << "Данъчна ставка 0%\nразмер на данъка"
                               << "";
    QTest::newRow("no number keeps the previous rate")
        << QByteArray("9%\r\n") << "abc"
        << "9%"
        << "9%" << 0.09 << "Данъчна ставка 9%\nразмер на данъка"
        << "'abc' is not a valid floating point value";
    QTest::newRow("empty answer keeps the previous rate")
        << QByteArray() << ""
        << "20%"
        << "20%" << 0.2 << "Данъчна ставка 20%\nразмер на данъка"
        << "'' is not a valid floating point value";
    QTest::newRow("negative answer keeps the previous rate")
        << QByteArray() << "-5%"
        << "20%"
        << "20%" << 0.2 << "Данъчна ставка 20%\nразмер на данъка"
        << "Данъчната ставка не може да бъде отрицателна: -5%";
    QTest::newRow("a remembered rate that is no number is not proposed")
        << QByteArray("xx\r\n") << "<cancel>"
        << "20%"
        << "20%" << 0.2 << "Данъчна ставка 20%\nразмер на данъка"
        << "";
}

void TestLineTable::vatPrompt()
{
    QFETCH(QByteArray, memory);
    QFETCH(QString, answer);
    QFETCH(QString, proposed);
    QFETCH(QString, vatText);
    QFETCH(double, factor);
    QFETCH(QString, label2);
    QFETCH(QString, error);
    ProgramRun run;
    if (!memory.isEmpty())
        writeMemory(run, memory);
    if (answer == QLatin1String("<cancel>"))
        run.script().cancel();
    else
        run.script().answer(answer);
    run.start();

    QCOMPARE(run.script().queries.size(), 1);
    QCOMPARE(run.script().queries.at(0).title, QString());
    QCOMPARE(run.script().queries.at(0).prompt, QStringLiteral("ДДС"));
    QCOMPARE(run.script().queries.at(0).proposed, proposed);
    QCOMPARE(VatText, vatText);
    QCOMPARE(VatFactor, factor);
    QCOMPARE(Form1->MemoryList.at(0), vatText);
    QCOMPARE(Form1->Label2->text(), label2);
    QCOMPARE(Form1->Label14->text(),
             QString(label2)
                 .replace(QStringLiteral("Данъчна ставка"), QStringLiteral("VAT"))
                 .replace(QStringLiteral("размер на данъка"), QStringLiteral("Total VAT")));
    QCOMPARE(run.script().errors, error.isEmpty() ? QStringList() : QStringList{error});
}

namespace
{
// Changes the decimal separator while the VAT prompt is open, as a change of the system's
// regional settings would.
class SeparatorChangingDialogs : public ScriptedDialogs
{
public:
    bool inputQuery(const QString &title, const QString &prompt, QString &value) override
    {
        QLocale::setDefault(QLocale(QLocale::Bulgarian, QLocale::Bulgaria));
        return ScriptedDialogs::inputQuery(title, prompt, value);
    }
};
} // namespace

void TestLineTable::separatorChangedDuringThePromptIsReported()
{
    SeparatorChangingDialogs changing;
    ProgramRun run;
    setDialogs(&changing);
    changing.answer(QStringLiteral("9%"));
    run.start();
    QLocale::setDefault(QLocale::c());

    QCOMPARE(changing.messages,
             QStringList{"Моля, конфигурирайте вашата операционна система за коректна работа с "
                         "програмата:\nотидете на:\nMy Computer->Control Panel->Regional and "
                         "Language Options->  изберете 'Regional Options' и натиснете бутона "
                         "'customize',за полето 'Decimal Symbol', трябва да бъде попълнено '.' "
                         "(знака: точка), вместо друг символ, натиснете 'ОК' и отново 'ОК'."});
    // The rate was taken before the check.
    QCOMPARE(VatFactor, 0.09);
    QVERIFY(!Form1->isVisible());
}

void TestLineTable::memoryFileFillsTheBoxes_data()
{
    QTest::addColumn<QByteArray>("memory");
    QTest::addColumn<QStringList>("boxes"); // ComboBox2, ComboBox1, ComboBox4
    QTest::addColumn<QStringList>("memoryList");
    const QByteArray proforma = "\xcf\xd0\xce\xd4\xce\xd0\xcc\xc0 \xd4\xc0\xca\xd2\xd3\xd0\xc0 / "
                                "PROFORMA INVOICE";
    QTest::newRow("four lines")
        << QByteArray("9%\r\n" + proforma + "\r\n\r\n\xf7\xeb. 113, \xe0\xeb. 9\r\n")
        << QStringList{"ПРОФОРМА ФАКТУРА / PROFORMA INVOICE", "", "чл. 113, ал. 9"}
        << QStringList{"9%", "ПРОФОРМА ФАКТУРА / PROFORMA INVOICE", "", "чл. 113, ал. 9"};
    QTest::newRow("LF line ends") << QByteArray("9%\nX\nY\nZ\n") << QStringList{"X", "Y", "Z"}
                                  << QStringList{"9%", "X", "Y", "Z"};
    QTest::newRow("short file leaves the rest empty and is padded")
        << QByteArray("9%\r\nX\r\n") << QStringList{"X", "", ""} << QStringList{"9%", "X", "", ""};
    QTest::newRow("empty file: the first kind, so that the invoice has a title")
        << QByteArray("") << QStringList{"ФАКТУРА / INVOICE", "", ""}
        << QStringList{"20%", "ФАКТУРА / INVOICE", "", ""};
    QTest::newRow("empty kind line: the first kind")
        << QByteArray("9%\r\n\r\n\r\nZ\r\n") << QStringList{"ФАКТУРА / INVOICE", "", "Z"}
        << QStringList{"9%", "ФАКТУРА / INVOICE", "", "Z"};
}

void TestLineTable::memoryFileFillsTheBoxes()
{
    QFETCH(QByteArray, memory);
    QFETCH(QStringList, boxes);
    QFETCH(QStringList, memoryList);
    ProgramRun run;
    writeMemory(run, memory);
    run.script().cancel();
    run.start();

    QCOMPARE((QStringList{Form1->ComboBox2->currentText(), Form1->ComboBox1->currentText(),
                          Form1->ComboBox4->currentText()}),
             boxes);
    QCOMPARE(Form1->MemoryList, memoryList);
    // Setting the remembered texts runs no change handler: the page still shows its own title.
    QVERIFY(Doc->Label1->text() != boxes.at(0) ||
            boxes.at(0) == QStringLiteral("ФАКТУРА / INVOICE"));
    // A later choice reaches the memory even when the file was short.
    Form1->ComboBox4->setEditText(QStringLiteral("чл. 50, т. 1"));
    QCOMPARE(Form1->MemoryList.at(3), QStringLiteral("чл. 50, т. 1"));
}

void TestLineTable::addWritesTheLineAndTotals()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    fill(QStringLiteral("Кафе"), QStringLiteral("кг"), QStringLiteral("3"), QStringLiteral("12.5"));
    Form1->ComboBox3->setText(QStringLiteral("77"));
    Form1->SpeedButton1Click();

    QCOMPARE(Form1->StringGrid1->rowCount(), 3);
    QStringList row;
    for (int column = 0; column < 8; ++column)
        row << cell(2, column);
    // The number comes from the running count, never from the number field.
    QCOMPARE(row, (QStringList{"1", "Кафе", "кг", "3", "12.50", "6.39", "37.50", "19.17"}));
    QStringList labels;
    for (TLabel *label :
         {Form1->Label10, Form1->Label9, Form1->Label1, Form1->Label8, Form1->Label7, Form1->Label3,
          Form1->Label5, Form1->Label11, Form1->Label12, Form1->Label13})
        labels << label->text();
    QCOMPARE(labels, (QStringList{"37.50", "19.17", "7.50", "3.83", "37.50", "7.50", "45.00",
                                  "19.17", "3.83", "23.00"}));
    QCOMPARE(LineCounter, 1);
    QVERIFY(Form1->StringGrid1->isEnabled());
    QCOMPARE((QStringList{Form1->ComboBox3->text(), Form1->Edit1->text(),
                          Form1->Stock->toPlainText(), Form1->Edit3->text(), Form1->Edit4->text()}),
             (QStringList{"Пор. №", "Стойност", "Въведи тук Стока/Услуга", "К-во", "Мярка"}));
    QVERIFY(run.script().messages.isEmpty());

    // The second line is numbered on and added to the totals.
    fill(QStringLiteral("Въведи тук Стока/Услуга"), QStringLiteral("бр."), QStringLiteral("3"),
         QStringLiteral("0.3333"));
    Form1->SpeedButton1Click();
    QCOMPARE(cell(3, 0), QStringLiteral("2"));
    QCOMPARE(cell(3, 1), QStringLiteral("Въведи тук Стока/Услуга"));
    QCOMPARE(cell(3, 6), QStringLiteral("1.00"));
    QCOMPARE(Form1->Label10->text(), QStringLiteral("1"));
    QCOMPARE(Form1->Label5->text(), QStringLiteral("46.20"));
    QCOMPARE(Form1->Label7->text(), QStringLiteral("38.50"));
}

void TestLineTable::refusedAdd_data()
{
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QStringList>("messages");
    const QString quantityMessage = QStringLiteral("Попълнете коректно КОЛИЧЕСТВОТО на стоката");
    const QString priceMessage = QStringLiteral("Попълнете коректно СТОЙНОСТТА на стоката");
    QTest::newRow("both placeholders, quantity first")
        << "К-во"
        << "Стойност" << QStringList{quantityMessage, priceMessage};
    QTest::newRow("both empty") << ""
                                << "" << QStringList{quantityMessage, priceMessage};
    QTest::newRow("quantity placeholder") << "К-во"
                                          << "5" << QStringList{quantityMessage};
    QTest::newRow("price empty") << "2"
                                 << "" << QStringList{priceMessage};
}

void TestLineTable::refusedAdd()
{
    QFETCH(QString, quantity);
    QFETCH(QString, price);
    QFETCH(QStringList, messages);
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    fill(QStringLiteral("Кафе"), QStringLiteral("кг"), quantity, price);
    Form1->SpeedButton1Click();

    QCOMPARE(run.script().messages, messages);
    QCOMPARE(Form1->StringGrid1->rowCount(), 2);
    QCOMPARE(LineCounter, 0);
    QCOMPARE(Form1->Label5->text(), QStringLiteral("0"));
    QCOMPARE(Form1->Edit3->text(), QStringLiteral("К-во"));
    QCOMPARE(Form1->Stock->toPlainText(), QStringLiteral("Въведи тук Стока/Услуга"));
}

void TestLineTable::numberThatIsNoNumberAddsNothing()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    addLine(QStringLiteral("10"));
    fill(QStringLiteral("Кафе"), QStringLiteral("кг"), QStringLiteral("3"), QStringLiteral("1-2"));
    Form1->SpeedButton1Click();

    QCOMPARE(run.script().errors, QStringList{"'1-2' is not a valid floating point value"});
    QCOMPARE(Form1->StringGrid1->rowCount(), 3);
    QCOMPARE(LineCounter, 1);
    QCOMPARE(Form1->Label5->text(), QStringLiteral("12.00"));
    QCOMPARE(Form1->Label10->text(), QStringLiteral("10.00"));
    QCOMPARE(Form1->Edit1->text(), QStringLiteral("Стойност"));
}

void TestLineTable::rowLimit_data()
{
    QTest::addColumn<int>("emptyRows"); // "Добави празен ред" pressed this often first
    QTest::addColumn<int>("lines");     // one-line adds before the checked one
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("refused");
    QTest::newRow("25 lines, the next refused") << 0 << 25 << "Още" << 27 << true;
    QTest::newRow("24 lines, a three-line description fits")
        << 0 << 24 << "първи\nвтори\nтрети" << 29 << false;
    QTest::newRow("empty rows stop at 23 and count toward the limit")
        << 30 << 3 << "Още" << 27 << false;
}

void TestLineTable::rowLimit()
{
    QFETCH(int, emptyRows);
    QFETCH(int, lines);
    QFETCH(QString, description);
    QFETCH(int, rows);
    QFETCH(bool, refused);
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    for (int i = 0; i < emptyRows; ++i)
        Form1->N1->trigger();
    for (int i = 0; i < lines; ++i)
        addLine();
    const QString total = Form1->Label5->text();
    fill(description, QStringLiteral("бр."), QStringLiteral("1"), QStringLiteral("5"));
    Form1->SpeedButton1Click();

    const QString limit = QStringLiteral("Не могат да бъдат въведени повече от 25 артикула!");
    QCOMPARE(Form1->StringGrid1->rowCount(), rows);
    QCOMPARE(run.script().messages, refused ? QStringList{limit} : QStringList{});
    QCOMPARE(LineCounter, refused ? lines : lines + 1);
    if (refused)
        QCOMPARE(Form1->Label5->text(), total);
    QCOMPARE(Form1->Edit1->text(), QStringLiteral("Стойност"));

    // Beyond the limit every add is refused.
    addLine();
    QCOMPARE(Form1->StringGrid1->rowCount(), rows);
    QCOMPARE(run.script().messages.last(), limit);
}

void TestLineTable::longDescriptionFillsContinuationRows()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    fill(QStringLiteral("abcd abcd abcd abcd abcd abcd abcd efgh efgh efgh\nijkl"),
         QStringLiteral("м"), QStringLiteral("2"), QStringLiteral("4"));
    Form1->SpeedButton1Click();

    QCOMPARE(Form1->StringGrid1->rowCount(), 4);
    QCOMPARE(cell(2, 1), QStringLiteral("abcd abcd abcd abcd abcd abcd abcd"));
    QCOMPARE(cell(3, 1), QStringLiteral("efgh efgh efghijkl"));
    for (int column : {0, 2, 3, 4, 5, 6, 7})
        QCOMPARE(cell(3, column), QString());
    QCOMPARE(cell(2, 6), QStringLiteral("8.00"));
}

void TestLineTable::enterAddsFromEveryField_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("number field") << "ComboBox3";
    QTest::newRow("unit") << "Edit4";
    QTest::newRow("quantity") << "Edit3";
    QTest::newRow("price") << "Edit1";
}

void TestLineTable::enterAddsFromEveryField()
{
    QFETCH(QString, field);
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    fill(QStringLiteral("Кафе"), QStringLiteral("кг"), QStringLiteral("2"), QStringLiteral("3"));
    auto *edit = Form1->findChild<QLineEdit *>(field);
    QVERIFY(edit);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(Form1->StringGrid1->rowCount(), 3);
    QCOMPARE(cell(2, 6), QStringLiteral("6.00"));
}

void TestLineTable::keyFilters_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::newRow("quantity takes digits and one point, three decimals") << "Edit3"
                                                                         << "1a.2.3456"
                                                                         << "1.234";
    QTest::newRow("quantity refuses minus") << "Edit3"
                                            << "-5"
                                            << "5";
    QTest::newRow("quantity without point has no limit") << "Edit3"
                                                         << "1234567"
                                                         << "1234567";
    QTest::newRow("price takes minus anywhere, two decimals") << "Edit1"
                                                              << "-1-.239"
                                                              << "-1-.23";
    QTest::newRow("price refuses letters and comma") << "Edit1"
                                                     << "1,5x"
                                                     << "15";
}

void TestLineTable::keyFilters()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    auto *edit = Form1->findChild<QLineEdit *>(field);
    edit->clear();
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), text);
    // Backspace is always taken.
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), text.chopped(1));
}

void TestLineTable::guardAgainstZeroPointZero_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("message");
    QTest::newRow("price") << "Edit1"
                           << "Не може да бъде въведена стойност < 0.10";
    QTest::newRow("quantity") << "Edit3"
                              << "Не може да бъде въведено количество < 0.10";
}

void TestLineTable::guardAgainstZeroPointZero()
{
    QFETCH(QString, field);
    QFETCH(QString, message);
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    auto *edit = Form1->findChild<QLineEdit *>(field);
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("0.0"));
    QCOMPARE(edit->text(), QStringLiteral("0."));
    QCOMPARE(run.script().messages, QStringList{message});

    // A text set by the program passes, longer than typing allows.
    edit->setText(QStringLiteral("0.05"));
    edit->setText(QStringLiteral("12.34567"));
    QCOMPARE(edit->text(), QStringLiteral("12.34567"));
    QCOMPARE(run.script().messages.size(), 1);
}

void TestLineTable::clickEmptiesField()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    for (QLineEdit *edit : {Form1->ComboBox3, Form1->Edit4, Form1->Edit3, Form1->Edit1}) {
        QVERIFY(!edit->text().isEmpty());
        QTest::mouseClick(edit, Qt::LeftButton);
        QCOMPARE(edit->text(), QString());
    }
}

void TestLineTable::clearAllRestartsNumbering()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    addLine();
    addLine();
    Form1->Label1->setCaption(QStringLiteral("kept"));
    Form1->Clear1Click();

    QCOMPARE(Form1->StringGrid1->rowCount(), 2);
    QCOMPARE(cell(0, 1), QStringLiteral("Наименование на стоките или услугите"));
    QCOMPARE(LineCounter, 0);
    for (TLabel *total : {Form1->Label7, Form1->Label3, Form1->Label5, Form1->Label11,
                          Form1->Label12, Form1->Label13})
        QCOMPARE(total->text(), QStringLiteral("0"));
    QCOMPARE(Form1->Label1->text(), QStringLiteral("kept"));
    QVERIFY(Form1->StringGrid1->isEnabled());

    addLine();
    QCOMPARE(cell(2, 0), QStringLiteral("1"));
    QCOMPARE(Form1->Label5->text(), QStringLiteral("1.20"));
}

void TestLineTable::tableButtonOpensPopup()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    Form1->SpeedButton4->click();
    QCOMPARE(run.script().popups, 1);
    QCOMPARE(run.script().lastPopup, Form1->PopupMenu1);
    const QList<QAction *> items = Form1->PopupMenu1->actions();
    QCOMPARE(items.size(), 2);
    QCOMPARE(items.at(0)->text(), QStringLiteral("Добави празен ред"));
    QCOMPARE(items.at(1)->text(), QStringLiteral("Изчисти всичко"));
    QCOMPARE(Form1->SpeedButton4->geometry(), QRect(8, 372, 153, 22));

    // A right click in the grid opens the same menu.
    emit Form1->StringGrid1->customContextMenuRequested(QPoint(10, 10));
    QCOMPARE(run.script().popups, 2);
    QCOMPARE(run.script().lastPopup, Form1->PopupMenu1);
}

void TestLineTable::choiceBoxesMirrorOnPageAndMemory_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("item"); // -1: typed text
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("memoryLine");
    QTest::newRow("proforma picked") << "ComboBox2" << 1 << ""
                                     << "ПРОФОРМА ФАКТУРА / PROFORMA INVOICE" << 1;
    QTest::newRow("title typed by hand") << "ComboBox2" << -1 << "ПРОФОРМА"
                                         << "ПРОФОРМА" << 1;
    QTest::newRow("credit note picked") << "ComboBox1" << 1 << ""
                                        << "Кредитно известие / Credit note" << 2;
    QTest::newRow("ground picked") << "ComboBox4" << 2 << ""
                                   << "чл. 113, ал. 9" << 3;
    QTest::newRow("typed ground") << "ComboBox4" << -1 << "чл. 99"
                                  << "чл. 99" << 3;
}

void TestLineTable::choiceBoxesMirrorOnPageAndMemory()
{
    QFETCH(QString, box);
    QFETCH(int, item);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QFETCH(int, memoryLine);
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    auto *combo = Form1->findChild<QComboBox *>(box);
    QVERIFY(combo);
    if (item >= 0) {
        combo->setCurrentIndex(item);
    } else {
        combo->lineEdit()->clear();
        for (QChar c : typed)
            QTest::sendKeyEvent(QTest::Click, combo->lineEdit(), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
    }
    TLabel *label = box == QLatin1String("ComboBox2")   ? Doc->Label1
                    : box == QLatin1String("ComboBox1") ? Doc->Label21
                                                        : Doc->Label19;
    QCOMPARE(label->text(), expected);
    QCOMPARE(Form1->MemoryList.at(memoryLine), expected);

    // Going back to the first item puts it back on the page as well.
    combo->setCurrentIndex(0);
    QCOMPARE(label->text(), combo->itemText(0));
    QCOMPARE(Form1->MemoryList.at(memoryLine), combo->itemText(0));
}

void TestLineTable::groundsHelpShowsThe2007TextsFirst()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    const QStringList before = Form1->MemoryList;
    Form1->SpeedButton2->click();
    QCOMPARE(run.script().messages.size(), 1);
    const QStringList paragraphs = run.script().messages.at(0).split(QLatin1Char('\n'));
    // The thirteen texts of 2007, then the grounds of today.
    QVERIFY(paragraphs.size() > 13);
    QVERIFY(paragraphs.at(0).startsWith(QStringLiteral("чл. 28с(Е)(3) 77/388/ЕЕС-за доставки")));
    QVERIFY(paragraphs.at(9).startsWith(QStringLiteral("чл. 24, ал. 3 ЗДДС")));
    QVERIFY(paragraphs.at(10).startsWith(QStringLiteral("1. получател")));
    QVERIFY(paragraphs.at(11).startsWith(QStringLiteral("2. стоките")));
    QVERIFY(paragraphs.at(12).endsWith(QStringLiteral("в които не се посочва данък.")));
    QVERIFY(paragraphs.at(13).startsWith(QStringLiteral("чл. 28 ЗДДС")));
    const QString all = run.script().messages.at(0);
    QVERIFY(!all.contains(QStringLiteral("чл. 44")));
    QVERIFY(!all.contains(QStringLiteral("чл. 50")));
    QCOMPARE(Form1->MemoryList, before);
}

void TestLineTable::choicesComeBackAfterRestart()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("9%"));
    run.start();
    Form1->ComboBox2->setCurrentIndex(1);
    Form1->ComboBox1->setCurrentIndex(2);
    run.closeMenu();
    DestroyForms();

    run.script().cancel();
    run.start();
    QCOMPARE(run.script().queries.last().proposed, QStringLiteral("9%"));
    QCOMPARE(Form1->ComboBox2->currentText(),
             QStringLiteral("ПРОФОРМА ФАКТУРА / PROFORMA INVOICE"));
    QCOMPARE(Form1->ComboBox1->currentText(), QStringLiteral("Дебитно известие / Debit note"));
    QCOMPARE(Form1->ComboBox4->currentText(), QString(76, '.'));
}

VORNEX_TEST_MAIN(TestLineTable)
#include "tst_linetable.moc"
