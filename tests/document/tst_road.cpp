#include "support/TestSupport.h"

#include "base/Clock.h"

#include "app/Menu.h"
#include "base/ProgramFolder.h"
#include "document/CurrentDocument.h"
#include "document/Document.h"
#include "document/DocumentNumber.h"
#include "document/Numbering.h"
#include "document/Transfer.h"
#include "journal/JournalStore.h"
#include "lines/Unit1.h"
#include "masterdata/Table.h"
#include "masterdata/Unit4.h"
#include "print/ArchiveName.h"
#include "print/BitmapFile.h"
#include "print/Pr.h"
#include "print/PrintPage.h"
#include "ui/Look.h"
#include "words/AmountInWords.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QPaintEngine>
#include <QPrinter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QToolButton>

namespace
{
const QString kInvoice = QStringLiteral("ФАКТУРА / INVOICE");
const QString kProforma = QStringLiteral("ПРОФОРМА ФАКТУРА / PROFORMA INVOICE");

// A paint engine that only remembers where images were drawn.
class RecordingEngine : public QPaintEngine
{
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &r, const QPixmap &, const QRectF &) override { drawn << r; }
    void drawImage(const QRectF &r, const QImage &, const QRectF &,
                   Qt::ImageConversionFlags) override
    {
        drawn << r;
    }
    Type type() const override { return QPaintEngine::User; }
    QList<QRectF> drawn;
};

// A printer whose page is measured like a PDF page but whose drawing is only recorded.
class RecordingPrinter : public QPrinter
{
public:
    RecordingPrinter() : QPrinter(QPrinter::HighResolution)
    {
        setOutputFormat(QPrinter::PdfFormat);
    }
    QPaintEngine *paintEngine() const override { return &engine; }
    mutable RecordingEngine engine;
};

QString Counter(const QString &dbFolder, const QString &field, int record = 1)
{
    QString value;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("road_check"));
        db.setDatabaseName(dbFolder + QStringLiteral("/Firm.db"));
        if (db.open()) {
            QSqlQuery query(db);
            query.exec(QStringLiteral("SELECT \"%1\" FROM Firm ORDER BY rowid").arg(field));
            for (int i = 0; i < record && query.next(); ++i)
                value = query.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("road_check"));
    return value;
}

BitmapHeader HeaderOf(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return BitmapHeader();
    return ReadBitmapHeader(file.read(64));
}

// Takes the record at recNo of the table a menu button opens.
void Take(void (TMain::*opener)(), int recNo)
{
    (Main->*opener)();
    Form4->Table1->SetRecNo(recNo);
    Form4->SpeedButton2->click();
}

void ChooseKind(const QString &kind)
{
    Form1->ComboBox2->setCurrentIndex(Form1->ComboBox2->findText(kind));
    QCOMPARE(Form1->ComboBox2->currentText(), kind);
}

void PrintWith(const QString &depth, QToolButton *button)
{
    PrintOptionsForm->ComboBox1->setCurrentText(depth);
    button->click();
}
} // namespace

// The whole road of one invoice, through the program's own forms and buttons.
class TestRoad : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void oneInvoice();
    void printAndStoreBeforeTransfer();
    void archiveFailureStoresNothing();
    void manualNumberAndReference_data();
    void manualNumberAndReference();
    void newInvoice();
    void handTypedLine_data();
    void handTypedLine();
    void wordsFollowTheTotals();
};

void TestRoad::init()
{
    Transferred = false;
    NumberStored = false;
}

void TestRoad::oneInvoice()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    ScriptedDialogs &script = run.script();
    const QString db = run.path(QStringLiteral("DB"));
    const QString today = DateText(Today());

    // Client, own company, bank account and two articles.
    Take(&TMain::SpeedButton7Click, 1);
    const QString client = Doc->Label33->caption();
    QVERIFY(!client.startsWith(QLatin1Char('.')));
    Take(&TMain::SpeedButton5Click, 1);
    Take(&TMain::SpeedButton6Click, 2);
    QCOMPARE(Form4->BankRecNo, 2);
    script.answer(QStringLiteral("2"));
    Take(&TMain::SpeedButton3Click, 1);
    script.answer(QStringLiteral("5"));
    Take(&TMain::SpeedButton3Click, 3);
    QCOMPARE(script.errors, QStringList());
    const int rows = Form1->StringGrid1->rowCount();
    QVERIFY(rows >= 4);

    // Transfer.
    Main->SpeedButton4->click();
    QCOMPARE(script.errors, QStringList());
    QVERIFY(Transferred);
    QVERIFY(Doc->isVisible());
    QVERIFY(!Form4->isVisible());
    QCOMPARE(Doc->NO->caption(), QStringLiteral("0000000042"));
    QCOMPARE(Doc->Label15->caption(), NumberAndDateLine(QStringLiteral("0000000042"), today));
    QCOMPARE(Doc->Label57->caption(), today);
    QCOMPARE(Doc->Label40->caption(), today);
    QCOMPARE(Doc->Label1->caption(), kInvoice);
    QCOMPARE(Doc->Label33->caption(), client);
    QCOMPARE(Doc->Label46->caption(), QStringLiteral("Ведрина Трейд ООД"));
    QCOMPARE(Doc->Label38->caption(), QStringLiteral("Първа Балканска Банка АД, клон Варна"));
    QCOMPARE(Doc->Label3->caption(), Form1->Label5->caption() + QStringLiteral(" BGL"));
    QCOMPARE(Doc->Label3->caption(), QStringLiteral("398.40 BGL"));
    QCOMPARE(Doc->Label5->caption(), QStringLiteral("332.00 BGL"));
    QCOMPARE(Doc->Label7->caption(), QStringLiteral("66.40 BGL"));
    QCOMPARE(Doc->Label61->caption(), Form1->Label13->caption() + QStringLiteral(" EUR"));
    QCOMPARE(Doc->Label2->caption(),
             Form1->Label2->caption() + QLatin1Char('\n') + Form1->Label14->caption());
    QCOMPARE(Doc->SVpath->caption(), TablesFolder());
    QCOMPARE(Doc->StringGrid2->rowCount(), rows);
    QCOMPARE(Doc->StringGrid2->fixedRows(), 2);
    QCOMPARE(Doc->StringGrid2->height(), rows * 19 + 3);
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < 8; ++col)
            QCOMPARE(Doc->StringGrid2->cell(col, row),
                     Form1->StringGrid1->item(row, col) ? Form1->StringGrid1->item(row, col)->text()
                                                        : QString());
    const QString words =
        AmountInWords(QStringLiteral("398.40"), Form1->Label13->caption(), QStringLiteral("EUR"));
    QCOMPARE(Doc->Label18->caption(), words);
    QVERIFY(words.startsWith(QStringLiteral("триста деветдесет и осем")));
    QVERIFY(words.contains(QStringLiteral(" BGL\n")));
    QVERIFY(words.endsWith(QStringLiteral(" EUR")));
    QVERIFY(Doc->StringGrid1->isHidden());
    QCOMPARE(Doc->Label1->x(), Doc->Panel1->width() / 2 - Doc->Label1->width() / 2);
    const int bankTop = Doc->Label38->y();

    // Original at 8 bits on a PDF printer: archived, printed, offered to the shell, stored.
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(run.path(QStringLiteral("page.pdf")));
    PrintOptionsForm->SetPrinter(&pdf);
    Main->SpeedButton1->click();
    QVERIFY(PrintOptionsForm->isVisible());
    script.printAnswers.push(true);
    PrintWith(QStringLiteral("8 бита цвят"), PrintOptionsForm->SpeedButton1);
    QCOMPARE(script.errors, QStringList());
    const QString original = db + QStringLiteral("/VInvFirm1_0000000042_.bmp");
    BitmapHeader header = HeaderOf(original);
    QVERIFY(header.valid);
    QCOMPARE(header.width, 859);
    QCOMPARE(header.height, 1168);
    QCOMPARE(header.bitsPerPixel, 8);
    QCOMPARE(script.shellCalls.last().verb, QStringLiteral("print"));
    QCOMPARE(script.shellCalls.last().file, original);
    QCOMPARE(Counter(db, QStringLiteral("Фактура №")), QStringLiteral("0000000042"));
    QVERIFY(NumberStored);
    QCOMPARE(Doc->Label8->caption(), kOriginalMark);
    QVERIFY(!Form4->isVisible());
    QFile pdfFile(run.path(QStringLiteral("page.pdf")));
    QVERIFY(pdfFile.open(QIODevice::ReadOnly));
    const QByteArray pdfBytes = pdfFile.readAll();
    QVERIFY(pdfBytes.contains("/Width 859"));
    QVERIFY(pdfBytes.contains("/Height 1168"));
    QVERIFY(!pdfBytes.contains("/DCTDecode")); // no lossy compression of the page
    // The archived page itself: white where the silver field marks were, text in black.
    QImage archived(original);
    QCOMPARE(archived.size(), QSize(859, 1168));
    QCOMPARE(archived.pixelColor(Doc->Label15->geometry().topLeft() + QPoint(1, 1)),
             QColor(Qt::white));
    // The e-invoice of the original beside its page.
    QVERIFY(QFile::exists(db + QStringLiteral("/VInvFirm1_0000000042_.xml")));

    // Copy at 24 bits on a printer that records where it draws.
    RecordingPrinter recorder;
    const QRect target = TargetRect(recorder.width(), recorder.height());
    PrintOptionsForm->SetPrinter(&recorder);
    script.printAnswers.push(true);
    PrintWith(QStringLiteral("24 бита цвят"), PrintOptionsForm->SpeedButton2);
    QCOMPARE(script.errors, QStringList());
    QCOMPARE(recorder.engine.drawn, QList<QRectF>{QRectF(target)});
    QCOMPARE(target.left(), recorder.width() / 100);
    QCOMPARE(target.right() + 1, recorder.width());
    QCOMPARE(target.bottom() + 1, recorder.height());
    const QString copy = db + QStringLiteral("/VInvFirm1_0000000042_copy.bmp");
    QCOMPARE(HeaderOf(copy).bitsPerPixel, 24);
    // A copy is the same document: no second e-invoice.
    QVERIFY(!QFile::exists(db + QStringLiteral("/VInvFirm1_0000000042_copy.xml")));
    QCOMPARE(Doc->Label8->caption(), kCopyMark);
    QCOMPARE(Counter(db, QStringLiteral("Фактура №")), QStringLiteral("0000000042"));

    // The original again: its archived page is never replaced; nothing is shown, printed or
    // offered to the shell. The same for a second copy.
    const int shellCalls = script.shellCalls.size();
    const int dialogsShown = script.printDialogs;
    PrintWith(QStringLiteral("32 бита цвят"), PrintOptionsForm->SpeedButton1);
    QCOMPARE(script.errors, QStringList{ArchivedPageExists(original)});
    PrintWith(QStringLiteral("32 бита цвят"), PrintOptionsForm->SpeedButton2);
    QCOMPARE(script.errors.size(), 2);
    QCOMPARE(script.errors.last(), ArchivedPageExists(copy));
    script.errors.clear();
    QCOMPARE(HeaderOf(original).bitsPerPixel, 8);
    QCOMPARE(HeaderOf(copy).bitsPerPixel, 24);
    QCOMPARE(script.printDialogs, dialogsShown);
    QCOMPARE(script.shellCalls.size(), shellCalls);
    QCOMPARE(recorder.engine.drawn.size(), 1);

    // A proforma in the same run, at 32 bits with the dialog cancelled: its own counter and
    // prefix, nothing drawn, still archived, offered to the shell and stored; the invoice
    // counter stays.
    ChooseKind(kProforma);
    Main->SpeedButton4->click();
    QCOMPARE(Doc->NO->caption(), QStringLiteral("0000000008"));
    QCOMPARE(Doc->Label1->caption(), kProforma);
    QCOMPARE(Doc->Label38->y(), bankTop); // the block below the words does not drift down
    script.printAnswers.push(false);
    PrintWith(QStringLiteral("32 бита цвят"), PrintOptionsForm->SpeedButton1);
    QCOMPARE(script.errors, QStringList());
    QCOMPARE(recorder.engine.drawn.size(), 1);
    QCOMPARE(script.shellCalls.size(), shellCalls + 1);
    const QString proforma = db + QStringLiteral("/VProformFirm1_0000000008_.bmp");
    header = HeaderOf(proforma);
    QCOMPARE(header.bitsPerPixel, 32);
    QCOMPARE(header.width, 859);
    QCOMPARE(QImage(proforma).size(), QSize(859, 1168));
    QCOMPARE(Counter(db, QStringLiteral("Проформа №")), QStringLiteral("0000000008"));
    QCOMPARE(Counter(db, QStringLiteral("Фактура №")), QStringLiteral("0000000042"));

    // A second invoice transferred and printed in the same run is stored as well. A typed depth
    // that is not one of the three texts gives 8 bits.
    ChooseKind(kInvoice);
    Main->SpeedButton4->click();
    QCOMPARE(Doc->NO->caption(), QStringLiteral("0000000043"));
    script.printAnswers.push(true);
    PrintWith(QStringLiteral("24 бита цвят "), PrintOptionsForm->SpeedButton1);
    QCOMPARE(HeaderOf(db + QStringLiteral("/VInvFirm1_0000000043_.bmp")).bitsPerPixel, 8);
    QCOMPARE(Counter(db, QStringLiteral("Фактура №")), QStringLiteral("0000000043"));

    // A reprint under an old number typed by hand does not rewind the counter.
    script.answer(QStringLiteral("17"));
    script.answer(QStringLiteral("01.02.2007"));
    Doc->Label15Click();
    QCOMPARE(Doc->NO->caption(), QStringLiteral("0000000017"));
    PrintWith(QStringLiteral("8 бита цвят"), PrintOptionsForm->SpeedButton1);
    QVERIFY(QFile::exists(db + QStringLiteral("/VInvFirm1_0000000017_.bmp")));
    QCOMPARE(Counter(db, QStringLiteral("Фактура №")), QStringLiteral("0000000043"));
    QCOMPARE(script.errors, QStringList());
    PrintOptionsForm->SetPrinter(nullptr);

    // The e-invoices of the originals of the road: 42, 43, 17 and the proforma 8.
    QCOMPARE(QDir(db).entryList({QStringLiteral("*.xml")}, QDir::Files).size(), 4);
    ValidateEInvoices(db);
}

void TestRoad::printAndStoreBeforeTransfer()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    QVERIFY(!Doc->isVisible());
    Main->SpeedButton1->click();
    QCOMPARE(run.script().errors, QStringList());
    QVERIFY(Transferred);
    QVERIFY(Doc->isVisible());
    QVERIFY(PrintOptionsForm->isVisible());
    QCOMPARE(Doc->NO->caption(), QStringLiteral("0000000042"));
    // An empty line table has no amount in words: the placeholder stays.
    QVERIFY(Doc->Label18->caption().startsWith(QStringLiteral("....")));
    // The print form stands beside the top right of the page.
    const QRect page = Doc->frameGeometry();
    QCOMPARE(PrintOptionsForm->pos(), QPoint(page.left() + page.width() - 400, page.top() + 40));
    QCOMPARE(PrintOptionsForm->size(), QSize(225, 193));
    QCOMPARE(PrintOptionsForm->windowTitle(), QStringLiteral("Принтер"));
    QCOMPARE(PrintOptionsForm->ComboBox1->currentText(), QStringLiteral("8 бита цвят"));
    // Closing the page closes the print choice too.
    Doc->close();
    QVERIFY(!PrintOptionsForm->isVisible());
}

void TestRoad::archiveFailureStoresNothing()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    const QString db = run.path(QStringLiteral("DB"));
    TakeClientAndLine(run.script());
    Main->SpeedButton4->click();
    // A folder in the way of the archive file: the file cannot be created.
    const QString name = db + QStringLiteral("/VInvFirm1_0000000042_.bmp");
    QVERIFY(QDir().mkpath(name));
    run.script().printAnswers.push(true);
    PrintOptionsForm->SpeedButton1->click();
    QCOMPARE(run.script().errors,
             QStringList{QStringLiteral("Cannot create file ") + QDir::toNativeSeparators(name)});
    QCOMPARE(run.script().printDialogs, 0);
    QVERIFY(run.script().shellCalls.isEmpty());
    QVERIFY(!NumberStored);
    QCOMPARE(Counter(db, QStringLiteral("Фактура №")), QStringLiteral("0000000041"));
    QCOMPARE(QDir(db).entryList({QStringLiteral("*.bmp")}, QDir::Files), QStringList());
    // The page keeps the white fields and the mark.
    QCOMPARE(Doc->Label8->caption(), kOriginalMark);
}

void TestRoad::manualNumberAndReference_data()
{
    QTest::addColumn<QStringList>("answers"); // "<cancel>" cancels
    QTest::addColumn<bool>("reference");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("number");
    QTest::newRow("cancelled number keeps line and number")
        << QStringList{"<cancel>"} << false << QString() << QString();
    QTest::newRow("cancelled date keeps line and number")
        << QStringList{"55", "<cancel>"} << false << QString() << QString();
    QTest::newRow("reference: a short date is read as a date, the number in ten digits")
        << QStringList{"1.2.2007", "40"} << true
        << "от дата / from date: 01.02.2007, към фактура № / to invoice No: 0000000040"
        << QString();
}

void TestRoad::manualNumberAndReference()
{
    QFETCH(QStringList, answers);
    QFETCH(bool, reference);
    QFETCH(QString, line);
    QFETCH(QString, number);
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    TLabel *label = reference ? Doc->Label22 : Doc->Label15;
    const QString lineBefore = label->caption();
    const QString numberBefore = Doc->NO->caption();
    for (const QString &answer : answers) {
        if (answer == QLatin1String("<cancel>"))
            run.script().cancel();
        else
            run.script().answer(answer);
    }
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(label->caption(), line.isNull() ? lineBefore : line);
    QCOMPARE(Doc->NO->caption(), number.isNull() ? numberBefore : number);
    const auto &queries = run.script().queries;
    QCOMPARE(queries.at(1).title,
             reference ? QStringLiteral("от дата / from date: ") : QStringLiteral("№ "));
    QCOMPARE(queries.at(1).prompt, QString());
}

void TestRoad::newInvoice()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    Main->SpeedButton5Click();
    Doc->SpeedButton3->click();
    QCOMPARE(run.script().shellCalls.size(), 1);
    QCOMPARE(run.script().shellCalls.first().verb, QStringLiteral("open"));
    QCOMPARE(run.script().shellCalls.first().file, QCoreApplication::applicationFilePath());
    QCOMPARE(run.script().shellCalls.first().folder, ProgramFolder);
    QVERIFY(!Form4->Table1->Active());
    QVERIFY(!QFile::exists(run.path(QStringLiteral("Vmem.txt"))));
}

// A line typed into the line table by hand ("Добави празен ред", then its cells) is worked out
// as an added line: counted in the totals, printed with its value and journalled whole, or
// refused at the transfer.
void TestRoad::handTypedLine_data()
{
    QTest::addColumn<QStringList>("cells"); // description, unit, quantity, price
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("total");
    QTest::newRow("a line typed whole") << QStringList{"Ремонт", "br", "2", "100"} << ""
                                        << "200.00"
                                        << "588.00";
    QTest::newRow("a price that is no number")
        << QStringList{"Ремонт", "br", "2", "abc"}
        << "Ред 2 от таблицата: 'abc' is not a valid floating point value"
        << ""
        << "";
    QTest::newRow("a zero quantity") << QStringList{"Ремонт", "br", "0", "100"}
                                     << "Ред 2 от таблицата: количеството не може да бъде нула."
                                     << ""
                                     << "";
    QTest::newRow("no price") << QStringList{"Ремонт", "br", "2", ""}
                              << "Ред 2 от таблицата: попълнете единичната цена."
                              << ""
                              << "";
}

void TestRoad::handTypedLine()
{
    QFETCH(QStringList, cells);
    QFETCH(QString, error);
    QFETCH(QString, value);
    QFETCH(QString, total);
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    ScriptedDialogs &script = run.script();
    script.answer(QStringLiteral("2"));
    TakeClientAndLine(script);
    Form1->N1->trigger();
    const int row = Form1->StringGrid1->rowCount() - 1;
    const int columns[] = {1, 2, 3, 4};
    for (int i = 0; i < 4; ++i)
        Form1->StringGrid1->setItem(row, columns[i], new QTableWidgetItem(cells.at(i)));
    Main->SpeedButton4->click();
    if (!error.isEmpty()) {
        QCOMPARE(script.errors, QStringList{error});
        QCOMPARE(TheDocument().lines.size(), 0);
        return;
    }
    QCOMPARE(script.errors, QStringList());
    // On the page: numbered, with its value, and in the totals.
    QCOMPARE(Doc->StringGrid2->cell(0, 3), QStringLiteral("2"));
    QCOMPARE(Doc->StringGrid2->cell(2, 3), QStringLiteral("br"));
    QCOMPARE(Doc->StringGrid2->cell(6, 3), value);
    QCOMPARE(Doc->Label3->caption(), total + QStringLiteral(" BGL"));
    // The line table shows what the page shows.
    QCOMPARE(Form1->StringGrid1->item(row, 6)->text(), value);
    QCOMPARE(Form1->Label5->caption(), total);
    // The journal keeps it as a line of its own.
    run.script().printAnswers.push(true);
    PrintOptionsForm->SpeedButton1->click();
    QCOMPARE(script.errors, QStringList());
    const QString journal = JournalFileName(run.path(QStringLiteral("DB")));
    const QVector<JournalLine> lines = ReadJournalLines(journal, ReadJournal(journal).at(0).id);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[1].description, cells.at(0));
    QCOMPARE(lines[1].measure, QStringLiteral("br"));
    QCOMPARE(lines[1].quantity, QStringLiteral("2"));
    QCOMPARE(lines[1].unitPrice, QStringLiteral("100.00"));
    QCOMPARE(lines[1].value, value);
}

// After "Изчисти всичко" the words are those of the new total, however small.
void TestRoad::wordsFollowTheTotals()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    ScriptedDialogs &script = run.script();
    script.answer(QStringLiteral("7"));
    TakeClientAndLine(script);
    Main->SpeedButton4->click();
    QVERIFY(Doc->Label18->caption().startsWith(QStringLiteral("хиляда")));
    Form1->Clear1->trigger();
    Form1->N1->trigger();
    const QStringList cells = {"Мостра", "бр.", "1", "0.01"};
    for (int i = 0; i < 4; ++i)
        Form1->StringGrid1->setItem(2, i + 1, new QTableWidgetItem(cells.at(i)));
    Main->SpeedButton4->click();
    QCOMPARE(script.errors, QStringList());
    QCOMPARE(Doc->Label3->caption(), QStringLiteral("0.01 BGL"));
    QVERIFY2(Doc->Label18->caption().startsWith(QStringLiteral("нула и  0.01 BGL")),
             qPrintable(Doc->Label18->caption()));
    // An emptied table has no amount and no words.
    Form1->Clear1->trigger();
    Main->SpeedButton4->click();
    QVERIFY(Doc->Label18->caption().startsWith(QStringLiteral("....")));
}

VORNEX_TEST_MAIN(TestRoad)
#include "tst_road.moc"
