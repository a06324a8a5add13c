#include "support/TestSupport.h"

#include "document/CurrentDocument.h"
#include "document/PaymentCode.h"
#include "print/PdfFile.h"

#include "app/Forms.h"
#include "app/Menu.h"
#include "document/Document.h"
#include "document/Numbering.h"
#include "document/Transfer.h"
#include "euro/HomeCurrency.h"
#include "journal/JournalStore.h"
#include "lines/Unit1.h"
#include "masterdata/Table.h"
#include "masterdata/Unit4.h"
#include "print/Pr.h"
#include "ui/Look.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QToolButton>

namespace
{
struct Line {
    QString description, quantity, price;
};

void AddLine(const Line &line)
{
    Form1->Stock->setPlainText(line.description);
    Form1->Edit4->setText(QStringLiteral("бр."));
    Form1->Edit3->setText(line.quantity);
    Form1->Edit1->setText(line.price);
    Form1->SpeedButton1->click();
}

void TakeCurrency(const QString &code)
{
    Main->SpeedButton9->click();
    QVERIFY(Form4->Table1->Locate(QStringLiteral("Валута"), code, false, false));
    Form4->SpeedButton2->click();
}

// Takes the record at recNo of the table a menu button opens.
void Take(QToolButton *opener, int recNo)
{
    opener->click();
    Form4->Table1->SetRecNo(recNo);
    Form4->SpeedButton2->click();
}

// Everything the line table shows or carries to the page: all cells and the ten amount labels.
QStringList TableState()
{
    QStringList state;
    QTableWidget *grid = Form1->StringGrid1;
    for (int row = 0; row < grid->rowCount(); ++row)
        for (int column = 0; column < 8; ++column)
            state << (grid->item(row, column) ? grid->item(row, column)->text() : QString());
    for (TLabel *label :
         {Form1->Label10, Form1->Label9, Form1->Label1, Form1->Label8, Form1->Label7, Form1->Label3,
          Form1->Label5, Form1->Label11, Form1->Label12, Form1->Label13})
        state << label->caption();
    return state;
}

QString Cell(int row, int column)
{
    const QTableWidgetItem *item = Form1->StringGrid1->item(row, column);
    return item ? item->text() : QString();
}

QStringList HeaderRows()
{
    QStringList headers;
    for (int row = 0; row < 2; ++row)
        for (int column = 4; column < 8; ++column)
            headers << Cell(row, column);
    return headers;
}

void SetRate(const QString &dbFolder, const QString &code, const QString &rate)
{
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("spoil"));
        db.setDatabaseName(QDir(dbFolder).filePath(QStringLiteral("currency.db")));
        QVERIFY(db.open());
        QSqlQuery query(db);
        query.prepare(QStringLiteral("UPDATE currency SET \"Курс\" = ? WHERE \"Валута\" = ?"));
        query.addBindValue(rate);
        query.addBindValue(code);
        QVERIFY(query.exec());
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("spoil"));
}
} // namespace

class TestEuroRoad : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void currencyTakeEqualsEntryAfterIt_data();
    void currencyTakeEqualsEntryAfterIt();
    void currencyTakeWithLineNoNumberChangesNothing();
    void switchAskedAndRefused();
    void switchFailureKeepsLeva();
    void euroRoad();
    void noticeWhileInLeva_data();
    void noticeWhileInLeva();
};

void TestEuroRoad::init()
{
    Transferred = false;
    NumberStored = false;
}

void TestEuroRoad::currencyTakeEqualsEntryAfterIt_data()
{
    QTest::addColumn<QList<Line>>("lines");
    QTest::addColumn<QString>("currency");

    const Line chair{QStringLiteral("Стол"), QStringLiteral("2"), QStringLiteral("145.00")};
    // 0.3333 x 3 is 0.9999, one lev once rounded: the line keeps the price as entered.
    const Line fraction{QStringLiteral("Услуга"), QStringLiteral("3"), QStringLiteral("0.3333")};
    const Line half{QStringLiteral("Кабел"), QStringLiteral("1.5"), QStringLiteral("1.23")};
    const Line wrapped{QStringLiteral("Абонаментна поддръжка на компютрите,\nмесечна такса"),
                       QStringLiteral("1"), QStringLiteral("320")};
    const Line back{QStringLiteral("Връщане"), QStringLiteral("-1"), QStringLiteral("24.90")};
    QTest::newRow("one line, dollar") << QList<Line>{chair} << "USD";
    QTest::newRow("price with four decimals, pound") << QList<Line>{fraction} << "GBP";
    QTest::newRow("half quantity, franc") << QList<Line>{half} << "CHF";
    QTest::newRow("several with a wrapped description and a return")
        << QList<Line>{chair, wrapped, half, back, fraction} << "USD";
    QTest::newRow("back to the euro") << QList<Line>{half, chair} << "EUR";
}

// Lines entered before a currency take end as the same lines entered after it.
void TestEuroRoad::currencyTakeEqualsEntryAfterIt()
{
    QFETCH(QList<Line>, lines);
    QFETCH(QString, currency);

    QStringList takenAfter;
    QString stockBefore;
    {
        ProgramRun run;
        run.script().answer(QStringLiteral("20%"));
        run.start();
        for (const Line &line : lines)
            AddLine(line);
        Main->SpeedButton3->click();
        stockBefore = Form4->Table1->FieldByName(QStringLiteral("К-во"))->AsString();
        TakeCurrency(currency);
        QCOMPARE(run.script().errors, QStringList());
        takenAfter = TableState();
        Main->SpeedButton3->click();
        QCOMPARE(Form4->Table1->FieldByName(QStringLiteral("К-во"))->AsString(), stockBefore);
    }
    QStringList enteredAfter;
    {
        ProgramRun run;
        run.script().answer(QStringLiteral("20%"));
        run.start();
        TakeCurrency(currency);
        for (const Line &line : lines)
            AddLine(line);
        enteredAfter = TableState();
    }
    QCOMPARE(takenAfter, enteredAfter);
}

void TestEuroRoad::currencyTakeWithLineNoNumberChangesNothing()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    AddLine({QStringLiteral("Стол"), QStringLiteral("2"), QStringLiteral("145.00")});
    Form1->StringGrid1->item(2, 3)->setText(QStringLiteral("две"));
    const QStringList before = TableState();

    TakeCurrency(QStringLiteral("USD"));
    QCOMPARE(run.script().errors,
             QStringList{QStringLiteral("'две' is not a valid floating point value")});
    QCOMPARE(TableState(), before);
    QCOMPARE(Form1->CurrencyCode, QStringLiteral("EUR"));
}

void TestEuroRoad::switchAskedAndRefused()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    ScriptedDialogs &script = run.script();
    const QStringList leva = HeaderRows();

    // "Не": nothing is copied, converted or set.
    Main->SpeedButton10->click();
    QCOMPARE(script.questions.size(), 1);
    QVERIFY(script.questions.first().contains(QStringLiteral("Да премина ли към евро?")));
    QCOMPARE(QDir(run.folder()).entryList(QStringList{QStringLiteral("DB-BGN-*")}, QDir::Dirs),
             QStringList());
    QVERIFY(!QFile::exists(run.path(QStringLiteral("Vornex.ini"))));
    QCOMPARE(HeaderRows(), leva);

    // "Да": switched; a second press is refused without a question.
    script.yesNoAnswers.push(true);
    Main->SpeedButton10->click();
    QCOMPARE(script.errors, QStringList());
    QCOMPARE(RunHomeCurrency, HomeCurrency::Euro);
    QCOMPARE(script.questions.size(), 2);
    Main->SpeedButton10->click();
    QCOMPARE(script.questions.size(), 2);
    QVERIFY(script.messages.last().startsWith(QStringLiteral("Програмата вече работи в евро.")));
    QCOMPARE(
        QDir(run.folder()).entryList(QStringList{QStringLiteral("DB-BGN-*")}, QDir::Dirs).size(),
        1);
}

void TestEuroRoad::switchFailureKeepsLeva()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    ScriptedDialogs &script = run.script();
    SetRate(run.path(QStringLiteral("DB")), QStringLiteral("GBP"), QStringLiteral("лири"));
    AddLine({QStringLiteral("Стол"), QStringLiteral("2"), QStringLiteral("145.00")});
    const QStringList before = TableState();

    script.yesNoAnswers.push(true);
    Main->SpeedButton10->click();
    QCOMPARE(script.errors.size(), 1);
    QVERIFY(
        script.errors.first().startsWith(QStringLiteral("Преминаването към евро не е извършено")));
    QVERIFY(script.errors.first().contains(QStringLiteral("валута GBP")));
    QCOMPARE(RunHomeCurrency, HomeCurrency::Leva);
    QCOMPARE(TableState(), before);
    Main->SpeedButton3->click();
    QCOMPARE(Form4->Table1->FieldByName(QStringLiteral("Продажна цена"))->AsString(),
             QStringLiteral("145"));
}

// The switch from the menu, an invoice in euro printed and archived, and the next start.
void TestEuroRoad::euroRoad()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    ScriptedDialogs &script = run.script();
    const QString db = run.path(QStringLiteral("DB"));

    // A line and a page filled in leva are dropped by the switch, as for a new invoice.
    script.answer(QStringLiteral("1"));
    Take(Main->SpeedButton3, 1);
    Main->SpeedButton4->click();
    QCOMPARE(Doc->Label3->caption(), QStringLiteral("174.00 BGL"));
    script.yesNoAnswers.push(true);
    Main->SpeedButton10->click();
    QCOMPARE(script.errors, QStringList());
    QVERIFY(script.messages.last().startsWith(QStringLiteral("Програмата премина към евро.")));
    QCOMPARE(Form1->StringGrid1->rowCount(), 2);
    QCOMPARE(Form1->Label5->caption(), QStringLiteral("0"));
    QCOMPARE(LineCounter, 0);
    QVERIFY(!Transferred);
    QVERIFY(!TransferCompleted);
    QVERIFY(!Doc->isVisible());
    QCOMPARE(Doc->Label3->caption(), QStringLiteral("0 EUR"));
    QCOMPARE(Doc->Label61->caption(), QStringLiteral("0 BGN"));
    QCOMPARE(Form1->CurrencyCode, QStringLiteral("BGN"));
    QCOMPARE(Form1->CurrencyRate, 0.5112918812);
    const QStringList euroHeaders = {"Ед. цена EUR", "Ед. цена BGN",   "Стойност EUR",
                                     "Стойност BGN", "Unit Price EUR", "Unit Price BGN",
                                     "Total EUR",    "Total BGN"};
    QCOMPARE(HeaderRows(), euroHeaders);

    // An invoice in euro with leva beside it.
    Take(Main->SpeedButton7, 1);
    script.answer(QStringLiteral("2"));
    Take(Main->SpeedButton3, 1);
    QCOMPARE(Cell(2, 4), QStringLiteral("74.14"));
    QCOMPARE(Cell(2, 5), QStringLiteral("145.01"));
    QCOMPARE(Cell(2, 6), QStringLiteral("148.28"));
    QCOMPARE(Cell(2, 7), QStringLiteral("290.01"));
    Main->SpeedButton4->click();
    QCOMPARE(script.errors, QStringList());
    QCOMPARE(Doc->StringGrid2->cell(4, 0), QStringLiteral("Ед. цена EUR"));
    QCOMPARE(Doc->StringGrid2->cell(6, 1), QStringLiteral("Total EUR"));
    QCOMPARE(Doc->StringGrid2->cell(7, 0), QStringLiteral("Стойност BGN"));
    QCOMPARE(Doc->Label5->caption(), QStringLiteral("148.28 EUR"));
    QCOMPARE(Doc->Label7->caption(), QStringLiteral("29.66 EUR"));
    QCOMPARE(Doc->Label3->caption(), QStringLiteral("177.94 EUR"));
    QCOMPARE(Doc->Label59->caption(), QStringLiteral("290.01 BGN"));
    QCOMPARE(Doc->Label61->caption(), Form1->Label13->caption() + QStringLiteral(" BGN"));
    // The lev beside the euro is for information: both lines of words state the amount payable.
    QCOMPARE(Doc->Label18->caption(),
             QStringLiteral("сто седемдесет и седем и  0.94 EUR\n") +
                 QStringLiteral("one hundred seventy seven and  0.94 EUR"));
    QVERIFY(Doc->EuroNotice->isHidden());

    // Printed and archived as any invoice.
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(run.path(QStringLiteral("page.pdf")));
    PrintOptionsForm->SetPrinter(&pdf);
    Main->SpeedButton1->click();
    script.printAnswers.push(true);
    PrintOptionsForm->ComboBox1->setCurrentText(QStringLiteral("24 бита цвят"));
    PrintOptionsForm->SpeedButton1->click();
    QCOMPARE(script.errors, QStringList());
    const QString archived = db + QStringLiteral("/VInvFirm1_0000000042_.bmp");
    QCOMPARE(QImage(archived).size(), QSize(859, 1168));
    // The payment code beside the bank details reads back exactly, from the archived page and
    // from the PDF beside it.
    QVERIFY(Doc->PaymentCode->isVisible());
    const QByteArray code = PaymentCodeText(TheDocument()).toUtf8();
    QVERIFY(code.contains("\nEUR177.94\n"));
    QVERIFY(code.endsWith("\nФактура 0000000042"));
    QCOMPARE(DecodedQrCode(archived), code);
    QCOMPARE(DecodedQrCode(RenderedPdfPage(PdfFileNameFor(archived), 150)), code);
    // The journal keeps the euro amounts as the page shows them, with the leva beside them.
    const QVector<JournalEntry> journal = ReadJournal(JournalFileName(db + QLatin1Char('/')));
    QCOMPARE(journal.size(), 1);
    QCOMPARE(journal[0].homeCurrency, QStringLiteral("EUR"));
    QCOMPARE(journal[0].total, QStringLiteral("177.94"));
    QCOMPARE(journal[0].foreignCurrency, QStringLiteral("BGN"));
    QCOMPARE(journal[0].foreignTotal, Form1->Label13->caption());
    const QVector<JournalLine> lines =
        ReadJournalLines(JournalFileName(db + QLatin1Char('/')), journal[0].id);
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines[0].unitPrice, QStringLiteral("74.14"));
    QCOMPARE(lines[0].foreignValue, QStringLiteral("290.01"));

    // The next start keeps the euro; the switch is not offered again.
    const QString numberAfter = Doc->NO->caption();
    DestroyForms();
    script.answer(QStringLiteral("20%"));
    CreateForms();
    QCOMPARE(RunHomeCurrency, HomeCurrency::Euro);
    QCOMPARE(HeaderRows(), euroHeaders);
    QCOMPARE(Form1->CurrencyCode, QStringLiteral("BGN"));
    QCOMPARE(numberAfter, QStringLiteral("0000000042"));
    const int questions = script.questions.size();
    Main->SpeedButton10->click();
    QCOMPARE(script.questions.size(), questions);

    // Amounts past the words are written in figures, in euro as in leva.
    AddLine({QStringLiteral("Машина"), QStringLiteral("2"), QStringLiteral("999999")});
    Main->SpeedButton4->click();
    QCOMPARE(Doc->Label3->caption(), QStringLiteral("2399997.60 EUR"));
    QVERIFY(Doc->Label18->caption().startsWith(QStringLiteral("2399997.60 EUR\n")));
}

void TestEuroRoad::noticeWhileInLeva_data()
{
    QTest::addColumn<bool>("euro");
    QTest::addColumn<QString>("date");
    QTest::addColumn<bool>("shown");

    QTest::newRow("leva, last day of 2025") << false << "31.12.2025" << false;
    QTest::newRow("leva, first day of 2026") << false << "01.01.2026" << true;
    QTest::newRow("euro, 2026") << true << "15.03.2026" << false;
}

void TestEuroRoad::noticeWhileInLeva()
{
    QFETCH(bool, euro);
    QFETCH(QString, date);
    QFETCH(bool, shown);

    ProgramRun run;
    if (euro)
        WriteHomeCurrency(run.path(QStringLiteral("Vornex.ini")), HomeCurrency::Euro);
    run.script().answer(QStringLiteral("20%"));
    run.start();
    QVERIFY(Doc->EuroNotice->isHidden());
    // A manual date on the number-and-date line, as the user types it.
    run.script().answer(QStringLiteral("7"));
    run.script().answer(date);
    Doc->Label15Click();
    QCOMPARE(Doc->EuroNotice->isHidden(), !shown);
    QCOMPARE(Doc->EuroNotice->text(), kEuroNotice);
    // Beside the page, never on it: the archived page cannot show it.
    QVERIFY(!Doc->Panel1->isAncestorOf(Doc->EuroNotice));
    // Nor over a button of the page: a click there must reach the button.
    for (QToolButton *button : {Doc->SpeedButton1, Doc->SpeedButton3, Doc->SpeedButton4}) {
        QVERIFY2(!Doc->EuroNotice->geometry().intersects(button->geometry()),
                 qPrintable(button->text()));
        QCOMPARE(Doc->childAt(button->geometry().center()), button);
    }
}

VORNEX_TEST_MAIN(TestEuroRoad)
#include "tst_euroroad.moc"
