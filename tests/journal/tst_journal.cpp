#include "support/TestSupport.h"

#include "base/Clock.h"

#include "app/Forms.h"
#include "app/Menu.h"
#include "base/ProgramFolder.h"
#include "document/Document.h"
#include "document/DocumentNumber.h"
#include "document/Numbering.h"
#include "document/Transfer.h"
#include "euro/HomeCurrency.h"
#include "journal/Journal.h"
#include "journal/JournalOutputs.h"
#include "journal/JournalStore.h"
#include "journal/JournalView.h"
#include "ledger/LedgerView.h"
#include "lines/Unit1.h"
#include "masterdata/Table.h"
#include "masterdata/Unit4.h"
#include "print/Pr.h"
#include "ui/Look.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPaintEngine>
#include <QPrinter>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTableView>
#include <QToolButton>

namespace
{
const QString kInvoice = QStringLiteral("ФАКТУРА / INVOICE");
const QString kProforma = QStringLiteral("ПРОФОРМА ФАКТУРА / PROFORMA INVOICE");
const QString kCreditNote = QStringLiteral("Кредитно известие / Credit note");

// A printer measured like a PDF page whose drawing is only counted.
class CountingEngine : public QPaintEngine
{
public:
    CountingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { ++images; }
    void drawImage(const QRectF &, const QImage &, const QRectF &,
                   Qt::ImageConversionFlags) override
    {
        ++images;
    }
    Type type() const override { return QPaintEngine::User; }
    int images = 0;
};

class CountingPrinter : public QPrinter
{
public:
    CountingPrinter() : QPrinter(QPrinter::HighResolution) { setOutputFormat(QPrinter::PdfFormat); }
    QPaintEngine *paintEngine() const override { return &engine; }
    mutable CountingEngine engine;
};

void Take(void (TMain::*opener)(), int recNo)
{
    (Main->*opener)();
    Form4->Table1->SetRecNo(recNo);
    Form4->SpeedButton2->click();
}

void Choose(QComboBox *box, const QString &text)
{
    box->setCurrentIndex(box->findText(text));
    QCOMPARE(box->currentText(), text);
}

// A client and one line on the page, as a print needs them.
void FillPage(ScriptedDialogs &script)
{
    Take(&TMain::SpeedButton7Click, 1);
    script.answer(QStringLiteral("2"));
    Take(&TMain::SpeedButton3Click, 1);
}

// Transfers the line table and prints the page with a mark, the print dialog confirmed.
void TransferAndPrint(ScriptedDialogs &script, QToolButton *mark)
{
    Main->SpeedButton4->click();
    script.printAnswers.push(true);
    mark->click();
}

// Types a text key by key, as a user would, Cyrillic letters included.
void Type(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &release);
    }
}

QString Counter(const QString &field)
{
    Form4->OpenFirm();
    const QString value = Form4->Table1->FieldByName(field)->AsString();
    Form4->SpeedButton1Click();
    return value;
}

QString PdfText(const QString &file)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return QString();
    QProcess process;
    process.start(tool, {QStringLiteral("-layout"), file, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The rows of the journal's list, and the text of one of its cells.
int Rows(QTableView *grid)
{
    return grid->model()->rowCount();
}

QString Cell(QTableView *grid, int row, int column)
{
    return grid->model()->index(row, column).data().toString();
}

QString PdfInfo(const QString &file)
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("pdfinfo")), {file});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Two clients abroad beside the sample's five: one outside the EU, one in another member state.
void AddClientsAbroad(const QString &dbFolder)
{
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("clients"));
        db.setDatabaseName(QDir(dbFolder).filePath(QStringLiteral("customer.db")));
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY2(query.exec(QStringLiteral(
                     "INSERT INTO customer VALUES ('Алпина Трейдинг АГ', 'Alpina Trading AG', "
                     "'Bahnhofstrasse 12, 8001 Zürich', 'Bahnhofstrasse 12, 8001 Zürich', 'Урс "
                     "Келер', 'Urs Keller', 'CHE123456789', '', '', ''), ('Мустер ГмбХ', "
                     "'Muster GmbH', 'Hauptstraße 5, 10115 Berlin', 'Hauptstraße 5, 10115 "
                     "Berlin', 'Ханс Майер', 'Hans Maier', 'DE123456789', '', '', '')")),
                 qPrintable(query.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("clients"));
}

// The reference of a note to the invoice it corrects, typed on the page.
void ReferTo(ScriptedDialogs &script, const QString &date, const QString &number)
{
    script.answer(date);
    script.answer(number);
    Doc->Label22Click();
}

// Prints a document of the run's rate for a client on a ground for no VAT.
void PrintWithGround(ScriptedDialogs &script, int client, const QString &ground)
{
    Form1->ComboBox4->setEditText(ground);
    Take(&TMain::SpeedButton7Click, client);
    TransferAndPrint(script, PrintOptionsForm->SpeedButton1);
}

// A fixed-width field of a PRODAGBI.TXT record: 1-based position and width, blanks around cut.
QString Field(const QString &record, int position, int width)
{
    return record.mid(position - 1, width).trimmed();
}

// An amount of the journal as the ledger of a period in another currency states it: at 1.95583,
// to the cent half away from zero.
QString InPeriodCurrency(const QString &amount, const QString &home, const QString &period)
{
    const qint64 cents = Decimal::RoundToCents(Decimal::TextToFixed(amount)) / 100;
    if (home == Ledger::PeriodCurrency(period))
        return Decimal::FixedToText(cents * 100, 2);
    if (home == QLatin1String("BGN"))
        return Decimal::FixedToText(Decimal::LevaToEuroFixed(cents * 100), 2);
    const qint64 levaTimes100000 = cents * 195583;
    return Decimal::FixedToText(
        (levaTimes100000 + (levaTimes100000 < 0 ? -50000 : 50000)) / 100000 * 100, 2);
}

// Each record of the file against the original journalled for its number, field by field.
void CompareWithJournal(const QByteArray &file, const QString &period,
                        const QVector<JournalEntry> &documents, const QString &journal)
{
    const QString text = QStringDecoder("windows-1251").decode(file);
    const QStringList records = text.split(QStringLiteral("\r\n"));
    QCOMPARE(records.size(), documents.size() + 1);
    QCOMPARE(records.last(), QString());
    for (int i = 0; i < documents.size(); ++i) {
        const QString &r = records.at(i);
        const JournalEntry &d = documents.at(i);
        QCOMPARE(r.size(), 424);
        QCOMPARE(Field(r, 1, 15), QStringLiteral("BG") + d.supplierVat);
        QCOMPARE(Field(r, 16, 6), period);
        QCOMPARE(r.mid(21, 4), QStringLiteral("   0"));
        QCOMPARE(Field(r, 26, 15), QString::number(i + 1));
        const QString type = d.kind == kKindCreditNote  ? QStringLiteral("03")
                             : d.kind == kKindDebitNote ? QStringLiteral("02")
                                                        : QStringLiteral("01");
        QCOMPARE(Field(r, 41, 2), type);
        QCOMPARE(Field(r, 43, 20), d.number);
        QCOMPARE(Field(r, 63, 10), QString(d.documentDate).replace(QLatin1Char('.'), '/'));
        QCOMPARE(Field(r, 73, 15), d.clientVat);
        QCOMPARE(Field(r, 88, 50), d.clientName.left(50).trimmed());
        QCOMPARE(Field(r, 138, 30),
                 ReadJournalLines(journal, d.id).first().description.left(30).trimmed());
        // The base and the VAT in the column of the rate or of the 0 % ground, a credit note
        // negative.
        const QString sign = type == QLatin1String("03") ? QStringLiteral("-") : QString();
        const QString base = sign + InPeriodCurrency(d.taxBase, d.homeCurrency, period);
        const QString vat = d.vatRate == QLatin1String("0%")
                                ? QStringLiteral("0.00")
                                : sign + InPeriodCurrency(d.vat, d.homeCurrency, period);
        int baseColumn = 198; // 02-11
        if (d.zeroVatGround == QStringLiteral("чл. 28 ЗДДС"))
            baseColumn = 318; // 02-14
        else if (d.zeroVatGround == QStringLiteral("чл. 53, ал. 1 ЗДДС"))
            baseColumn = 333; // 02-15
        QCOMPARE(Field(r, 168, 15), base);
        QCOMPARE(Field(r, 183, 15), vat);
        QCOMPARE(Field(r, 213, 15), vat);
        for (int position = 198; position < 423; position += 15) {
            if (position != 213)
                QCOMPARE(Field(r, position, 15),
                         position == baseColumn ? base : QStringLiteral("0.00"));
        }
        QCOMPARE(r.mid(422), QStringLiteral("  "));
    }
}

// The built program run as a script runs it, in the program folder; its exit status, and what it
// printed on standard output and on standard error.
struct CommandRun {
    int status = -1;
    QString out, err;
};
CommandRun RunProgram(const QString &folder, const QStringList &arguments)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(qEnvironmentVariable("VORNEX_EXECUTABLE"), arguments);
    CommandRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    run.err = QString::fromUtf8(process.readAllStandardError()).trimmed();
    return run;
}

QByteArray Bytes(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

// The journal of issued documents along the road of several documents, and its window.
class TestJournal : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void roadOfThreeDocuments_data();
    void roadOfThreeDocuments();
    void pdfOfThePage();
    void unusableJournalStillPrints();
    void pdfThatCannotBeWrittenIsReported();
    void interruptedPrintGoesIntoTheJournal();
    void previewLeavesThePage();
    void openWindowShowsANewPrint();
};

void TestJournal::init()
{
    Transferred = false;
    NumberStored = false;
}

void TestJournal::roadOfThreeDocuments_data()
{
    QTest::addColumn<bool>("euro");
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("foreign");
    QTest::addColumn<QString>("rate");
    QTest::newRow("leva") << false << "BGN"
                          << "EUR"
                          << "1.95583";
    QTest::newRow("euro") << true << "EUR"
                          << "BGN"
                          << "0.5112918812";
}

// The road of several documents: printed, journalled, found in the journal window, and given to
// other programs as the month's sales ledger and as e-invoices, from the window and from the
// command line.
void TestJournal::roadOfThreeDocuments()
{
    QFETCH(bool, euro);
    QFETCH(QString, home);
    QFETCH(QString, foreign);
    QFETCH(QString, rate);
    ProgramRun run;
    if (euro) {
        // Tables in euro say so themselves, as the switch leaves them; the setting mirrors them.
        for (const char *table : kHomeCurrencyTables)
            MarkTableInEuro(run.path(QStringLiteral("DB/") + QLatin1String(table)));
        WriteHomeCurrency(run.path(QStringLiteral("Vornex.ini")), HomeCurrency::Euro);
    }
    AddClientsAbroad(run.path(QStringLiteral("DB")));
    run.script().answer(QStringLiteral("20%"));
    run.start();
    ScriptedDialogs &script = run.script();
    const QString db = run.path(QStringLiteral("DB"));
    const QString journal = JournalFileName(db);
    CountingPrinter printer;
    PrintOptionsForm->SetPrinter(&printer);

    Take(&TMain::SpeedButton7Click, 1);
    const QString client = Doc->Label33->caption();
    Take(&TMain::SpeedButton5Click, 1);
    script.answer(QStringLiteral("2"));
    Take(&TMain::SpeedButton3Click, 1);
    script.answer(QStringLiteral("5"));
    Take(&TMain::SpeedButton3Click, 3);

    // An invoice, original and copy.
    QVERIFY(!QFile::exists(journal));
    TransferAndPrint(script, PrintOptionsForm->SpeedButton1);
    script.printAnswers.push(true);
    PrintOptionsForm->SpeedButton2->click();
    // A proforma of the same lines.
    Choose(Form1->ComboBox2, kProforma);
    TransferAndPrint(script, PrintOptionsForm->SpeedButton1);
    // A credit note to the invoice, which it names.
    Choose(Form1->ComboBox2, kInvoice);
    Choose(Form1->ComboBox1, kCreditNote);
    Main->SpeedButton4->click();
    ReferTo(script, DateText(Today()), QStringLiteral("42"));
    script.printAnswers.push(true);
    PrintOptionsForm->SpeedButton1->click();
    QCOMPARE(script.errors, QStringList());
    QCOMPARE(script.messages, QStringList());

    QVector<JournalEntry> rows = ReadJournal(journal);
    QCOMPARE(rows.size(), 4);
    struct Expected {
        QString number, series, kind;
        bool copy;
        QString bitmap;
    };
    const QList<Expected> expected{
        {"0000000043", "Фактура №", "Кредитно известие", false, "VInvFirm1_0000000043_"},
        {"0000000008", "Проформа №", "Проформа фактура", false, "VProformFirm1_0000000008_"},
        {"0000000042", "Фактура №", "Фактура", true, "VInvFirm1_0000000042_copy"},
        {"0000000042", "Фактура №", "Фактура", false, "VInvFirm1_0000000042_"}};
    for (int i = 0; i < expected.size(); ++i) {
        const JournalEntry &row = rows[i];
        QCOMPARE(row.number, expected[i].number);
        QCOMPARE(row.series, expected[i].series);
        QCOMPARE(row.kind, expected[i].kind);
        QCOMPARE(row.copy, expected[i].copy);
        QCOMPARE(row.bitmapFile, db + QLatin1Char('/') + expected[i].bitmap + ".bmp");
        QCOMPARE(row.pdfFile, db + QLatin1Char('/') + expected[i].bitmap + ".pdf");
        QVERIFY(QFile::exists(row.pdfFile));
        QCOMPARE(row.clientName, client);
        QCOMPARE(row.supplierName, QStringLiteral("Ведрина Трейд ООД\nVedrina Trade Ltd"));
        QCOMPARE(row.supplierVat, QStringLiteral("175402918"));
        QCOMPARE(row.homeCurrency, home);
        QCOMPARE(row.taxBase, QStringLiteral("332.00"));
        QCOMPARE(row.vat, QStringLiteral("66.40"));
        QCOMPARE(row.total, QStringLiteral("398.40"));
        QCOMPARE(row.vatRate, QStringLiteral("20%"));
        QCOMPARE(row.foreignCurrency, foreign);
        QCOMPARE(row.foreignTotal, Form1->Label13->caption());
        QCOMPARE(row.foreignRate, rate);
        QCOMPARE(row.documentDate, DateText(Today()));
        QCOMPARE(row.taxEventDate, DateText(Today()));
        QCOMPARE(row.colourDepth, 8);
        QVERIFY(!row.printedAt.isEmpty());
        // The lines as the page shows them, a wrapped description joined again.
        const QVector<JournalLine> lines = ReadJournalLines(journal, row.id);
        QCOMPARE(lines.size(), 2);
        for (int l = 0; l < lines.size(); ++l) {
            QCOMPARE(lines[l].position, l + 1);
            QCOMPARE(lines[l].lineNumber, QString::number(l + 1));
        }
        QCOMPARE(lines[0].quantity, QStringLiteral("2"));
        QCOMPARE(lines[1].quantity, QStringLiteral("5"));
        QVERIFY(!lines[0].description.isEmpty());
        QCOMPARE(lines[0].value, Doc->StringGrid2->cell(6, 2));
    }
    QVERIFY(rows[0].noteReference.startsWith(QStringLiteral("от дата / from date:")));
    QVERIFY(rows[1].noteReference.isEmpty());
    QCOMPARE(Counter(QStringLiteral("Фактура №")), QStringLiteral("0000000043"));
    QCOMPARE(Counter(QStringLiteral("Проформа №")), QStringLiteral("0000000008"));

    // A number typed by hand skips 44.
    Choose(Form1->ComboBox1, QString());
    Main->SpeedButton4->click();
    script.answer(QStringLiteral("45"));
    script.answer(DateText(Today()));
    Doc->Label15Click();
    script.printAnswers.push(true);
    PrintOptionsForm->SpeedButton1->click();
    QCOMPARE(script.errors, QStringList());

    // The journal window, newest first, the gap marked.
    Main->SpeedButton11->click();
    TJournal *window = JournalWindow(Main);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Дневник"));
    QTableView *grid = window->findChild<QTableView *>(QStringLiteral("StringGrid1"));
    QCOMPARE(Rows(grid), 5);
    QCOMPARE(Cell(grid, 0, 0), QStringLiteral("0000000045"));
    QCOMPARE(Cell(grid, 0, 9), QStringLiteral("липсва 0000000044"));
    QCOMPARE(Cell(grid, 1, 9), QString());
    QCOMPARE(Cell(grid, 0, 3), client);
    QCOMPARE(Cell(grid, 0, 6), QStringLiteral("398.40"));
    // Original and copy of 42 count once.
    QCOMPARE(window->Label1->caption().left(45),
             home + QStringLiteral(": основа 1328.00, ДДС 265.60, общо 1593.60"));

    // Found by a part of the client's name typed in another letter case; then by kind.
    Type(window->Edit1, client.mid(1, 5).toUpper());
    QCOMPARE(Rows(grid), 5);
    window->Edit1->clear();
    QTest::keyClicks(window->Edit1, QStringLiteral("08"));
    QCOMPARE(Rows(grid), 1);
    QCOMPARE(Cell(grid, 0, 1), QStringLiteral("Проформа фактура"));
    window->Edit1->clear();
    Choose(window->ComboBox1, QStringLiteral("Кредитно известие"));
    QCOMPARE(Rows(grid), 1);
    Choose(window->ComboBox1, QStringLiteral("Всички"));
    Type(window->Edit1, QStringLiteral("нямакакъв"));
    QCOMPARE(Rows(grid), 0);
    QCOMPARE(window->Label1->caption(), QStringLiteral("Няма документи."));
    window->Edit1->clear();

    // Its PDF opens in the desktop's viewer.
    grid->selectRow(3);
    window->SpeedButton1->click();
    QCOMPARE(script.shellCalls.last().verb, QStringLiteral("open"));
    QCOMPARE(script.shellCalls.last().file, db + QStringLiteral("/VInvFirm1_0000000042_copy.pdf"));
    // A desktop without a PDF viewer is told so.
    script.viewerFound = false;
    window->SpeedButton1->click();
    QCOMPARE(script.errors.size(), 1);
    QVERIFY(script.errors.first().contains(QStringLiteral("VInvFirm1_0000000042_copy.pdf")));
    script.errors.clear();
    script.viewerFound = true;

    // A reprint prints the archived page: no new number, no new row.
    const int printed = printer.engine.images;
    script.printAnswers.push(true);
    window->SpeedButton2->click();
    QCOMPARE(script.errors, QStringList());
    QCOMPARE(printer.engine.images, printed + 1);
    QCOMPARE(ReadJournal(journal).size(), 5);
    QCOMPARE(Counter(QStringLiteral("Фактура №")), QStringLiteral("0000000045"));
    // Cancelled, it prints nothing.
    script.printAnswers.push(false);
    window->SpeedButton2->click();
    QCOMPARE(printer.engine.images, printed + 1);

    // The shown rows go to a spreadsheet file.
    const QString csv = run.path(QStringLiteral("journal.csv"));
    script.saveAnswers.push(csv);
    Choose(window->ComboBox1, QStringLiteral("Фактура"));
    window->SpeedButton3->click();
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(bytes.count("\r\n"), 1 + 3);
    QVERIFY(bytes.contains("0000000045;Фактура;"));
    QCOMPARE(script.errors, QStringList());
    QCOMPARE(script.progresses.size(), 1);
    QVERIFY(script.progresses.first().text.contains(QStringLiteral("journal.csv")));
    // Cancelled, it leaves no file.
    const QString cancelled = run.path(QStringLiteral("cancelled.csv"));
    script.saveAnswers.push(cancelled);
    script.cancelProgressAt = 1;
    window->SpeedButton3->click();
    script.cancelProgressAt.reset();
    QVERIFY(!QFile::exists(cancelled));
    QCOMPARE(script.errors, QStringList());

    // A page removed from the archive is told, not printed.
    QVERIFY(QFile::remove(db + QStringLiteral("/VInvFirm1_0000000045_.bmp")));
    grid->selectRow(0);
    window->SpeedButton2->click();
    QCOMPARE(script.errors.size(), 1);
    QVERIFY(script.errors.first().contains(QStringLiteral("VInvFirm1_0000000045_.bmp")));
    script.errors.clear();

    // A debit note to the invoice.
    Choose(Form1->ComboBox1, kDebitNoteTitle);
    Main->SpeedButton4->click();
    ReferTo(script, DateText(Today()), QStringLiteral("42"));
    script.printAnswers.push(true);
    PrintOptionsForm->SpeedButton1->click();
    QCOMPARE(script.errors, QStringList());

    // The program started again at 0 %: an export and an intra-Community supply, and an invoice
    // of the month before on a ground the ledger cannot place.
    window->close();
    DestroyForms();
    script.answer(QStringLiteral("0%"));
    CreateForms();
    PrintOptionsForm->SetPrinter(&printer);
    script.answer(QStringLiteral("2"));
    Take(&TMain::SpeedButton3Click, 1);
    PrintWithGround(script, 6, QStringLiteral("чл. 28 ЗДДС"));
    PrintWithGround(script, 7, QStringLiteral("чл. 53, ал. 1 ЗДДС"));
    const QDate later = Today().addMonths(-1);
    Form1->ComboBox4->setEditText(QStringLiteral("чл. 113, ал. 9"));
    Main->SpeedButton4->click();
    script.answer(QStringLiteral("100"));
    script.answer(DateText(later));
    Doc->Label15Click();
    script.printAnswers.push(true);
    PrintOptionsForm->SpeedButton1->click();
    QCOMPARE(script.errors, QStringList());
    QCOMPARE(script.messages, QStringList());
    Main->SpeedButton11->click();
    window = JournalWindow(Main);
    grid = window->findChild<QTableView *>(QStringLiteral("StringGrid1"));

    // Every original has its e-invoice beside its PDF, and the journal names it; a copy is the
    // same document and has none.
    rows = ReadJournal(journal);
    QCOMPARE(rows.size(), 9);
    for (const JournalEntry &row : rows) {
        const QString xml = row.bitmapFile.chopped(4) + QStringLiteral(".xml");
        QCOMPARE(row.xmlFile, row.copy ? QString() : xml);
        QCOMPARE(QFile::exists(xml), !row.copy);
    }
    // The tax documents of the month, each once, oldest first: 42, 43, 45, 46, 47, 48.
    const QString period = Today().toString(QStringLiteral("yyyyMM"));
    QVector<JournalEntry> documents;
    for (const JournalEntry &row : rows)
        if (!row.copy && row.series == kInvoiceCounter &&
            DocumentDateOf(row).toString(QStringLiteral("yyyyMM")) == period)
            documents.prepend(row);
    QCOMPARE(documents.size(), 6);

    // The month's sales ledger from the window: on screen, on paper, as PDF and as PRODAGBI.TXT.
    window->SpeedButton5->click();
    auto *ledgerWindow = window->findChild<SalesLedgerWindow *>();
    QVERIFY(ledgerWindow && ledgerWindow->isVisible());
    ledgerWindow->findChild<QDateEdit *>(QStringLiteral("PeriodEdit"))->setDate(Today());
    QCOMPARE(script.errors, QStringList());
    const Ledger::SalesLedger ledger = ledgerWindow->ledger();
    QCOMPARE(ledger.records.size(), 6);
    QCOMPARE(ledger.refused.size(), 0);
    QCOMPARE(ledger.company.vatNumber, QStringLiteral("BG175402918"));
    // Documents in the other currency than the month's are converted, and the ledger says so.
    QCOMPARE(ledger.convertedCount, home == Ledger::PeriodCurrency(period) ? 0 : 6);
    QCOMPARE(ledgerWindow->findChild<QLabel *>(QStringLiteral("LedgerSummary"))->text(),
             Ledger::Summary(ledger));
    const QString fromWindow = run.path(QStringLiteral("PRODAGBI-window.TXT"));
    script.saveAnswers.push(fromWindow);
    ledgerWindow->findChild<QToolButton *>(QStringLiteral("FileButton"))->click();
    QCOMPARE(script.errors, QStringList());
    QVERIFY(script.messages.last().startsWith(Ledger::Summary(ledger)));
    CompareWithJournal(Bytes(fromWindow), period, documents, journal);
    if (QTest::currentTestFailed())
        return;
    QPrinter &paper = ledgerWindow->printer();
    paper.setOutputFormat(QPrinter::PdfFormat);
    paper.setOutputFileName(run.path(QStringLiteral("ledger-paper.pdf")));
    script.printAnswers.push(true);
    ledgerWindow->findChild<QToolButton *>(QStringLiteral("PrintButton"))->click();
    QCOMPARE(script.errors, QStringList());
    QVERIFY(Bytes(run.path(QStringLiteral("ledger-paper.pdf"))).startsWith("%PDF"));
    // The month before holds the invoice whose ground names no column: the window lists it apart,
    // and neither the paper nor the file leaves it out silently.
    ledgerWindow->findChild<QDateEdit *>(QStringLiteral("PeriodEdit"))->setDate(later);
    QCOMPARE(ledgerWindow->ledger().refused.size(), 1);
    QVERIFY(ledgerWindow->findChild<QWidget *>(QStringLiteral("RefusedList"))->isVisible());
    script.saveAnswers.push(run.path(QStringLiteral("refused-window.TXT")));
    ledgerWindow->findChild<QToolButton *>(QStringLiteral("FileButton"))->click();
    QCOMPARE(script.errors.size(), 1);
    QVERIFY(script.errors.first().contains(QStringLiteral("Фактура № 0000000100")));
    // Refused before the file is asked for.
    QCOMPARE(int(script.saveAnswers.size()), 1);
    script.saveAnswers.pop();
    QVERIFY(!QFile::exists(run.path(QStringLiteral("refused-window.TXT"))));
    script.errors.clear();
    ledgerWindow->close();

    // The same ledger from the command line, without a window, byte for byte.
    const CommandRun command =
        RunProgram(run.folder(), {QStringLiteral("--sales-ledger"), period,
                                  QStringLiteral("--output"), QStringLiteral("PRODAGBI.TXT")});
    QCOMPARE(command.err, QString());
    QCOMPARE(command.status, 0);
    QVERIFY2(command.out.startsWith(Ledger::Summary(ledger) + QStringLiteral("; записан в ")),
             qPrintable(command.out));
    QCOMPARE(command.out.count(QLatin1Char('\n')), 0);
    QCOMPARE(Bytes(run.path(QStringLiteral("PRODAGBI.TXT"))), Bytes(fromWindow));
    // A month with a document the ledger cannot take: the reason on standard error, a non-zero
    // status, and nothing written.
    const CommandRun refused =
        RunProgram(run.folder(), {QStringLiteral("--sales-ledger"), later.toString("yyyyMM"),
                                  QStringLiteral("--output"), QStringLiteral("refused.TXT")});
    QCOMPARE(refused.status, 2);
    QCOMPARE(refused.out, QString());
    QVERIFY2(refused.err.contains(QStringLiteral("Фактура № 0000000100 от %1: основанието за "
                                                 "нулевата ставка „чл. 113, ал. 9“")
                                      .arg(DateText(later))),
             qPrintable(refused.err));
    QVERIFY(!QFile::exists(run.path(QStringLiteral("refused.TXT"))));

    // The e-invoice of a chosen document written again from the journal: the window and the
    // command line give the one written beside its PDF.
    Choose(window->ComboBox1, QStringLiteral("Всички"));
    for (int row = 0; row < Rows(grid); ++row)
        if (Cell(grid, row, 0) == QLatin1String("0000000043"))
            grid->selectRow(row);
    const QString saved = run.path(QStringLiteral("credit-note.xml"));
    script.saveAnswers.push(saved);
    window->SpeedButton6->click();
    QCOMPARE(script.errors, QStringList());
    const QByteArray archived = Bytes(db + QStringLiteral("/VInvFirm1_0000000043_.xml"));
    QVERIFY(archived.contains("<cbc:CreditNoteTypeCode>381</cbc:CreditNoteTypeCode>"));
    QCOMPARE(Bytes(saved), archived);
    const CommandRun einvoice = RunProgram(run.folder(), {"--einvoice", "43"});
    QCOMPARE(einvoice.err, QString());
    QCOMPARE(einvoice.status, 0);
    QCOMPARE(Bytes(run.path(QStringLiteral("VInvFirm1_0000000043_.xml"))), archived);

    // Rows lost from the journal: the counter and the archive tell under the list which.
    QVERIFY(!window->Label2->isVisible());
    {
        QSqlDatabase other =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(journal);
        QVERIFY(other.open());
        QSqlQuery remove(other);
        QVERIFY(remove.exec(
            QStringLiteral("DELETE FROM Journal WHERE Number IN ('0000000043', '0000000100')")));
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    window->SpeedButton4->click();
    QTRY_COMPARE(window->Label2->caption(),
                 QStringLiteral("липсват 0000000049–0000000100 (броячът е на 0000000100); в "
                                "архива без ред в дневника: VInvFirm1_0000000043_.bmp, "
                                "VInvFirm1_0000000100_.bmp"));
    QVERIFY(window->Label2->isVisible());
    window->close();
    PrintOptionsForm->SetPrinter(nullptr);

    // Every e-invoice the road printed, against the UBL 2.1 schema and the rules of EN 16931.
    ValidateEInvoices(db);
}

void TestJournal::pdfOfThePage()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    Take(&TMain::SpeedButton7Click, 2);
    const QString client = Doc->Label33->caption();
    run.script().answer(QStringLiteral("3"));
    Take(&TMain::SpeedButton3Click, 2);
    CountingPrinter printer;
    PrintOptionsForm->SetPrinter(&printer);
    TransferAndPrint(run.script(), PrintOptionsForm->SpeedButton1);
    QCOMPARE(run.script().errors, QStringList());
    const QString bitmap = run.path(QStringLiteral("DB/VInvFirm1_0000000042_.bmp"));
    const QString pdf = run.path(QStringLiteral("DB/VInvFirm1_0000000042_.pdf"));
    QVERIFY(QFile::exists(bitmap));
    // The text of the page can be found in the PDF.
    const QString text = PdfText(pdf);
    QVERIFY2(text.contains(QStringLiteral("0000000042")), qPrintable(text));
    QVERIFY(text.contains(client.left(12)));
    QVERIFY(text.contains(Doc->Label3->caption()));
    QVERIFY(text.contains(QStringLiteral("ФАКТУРА / INVOICE")));
    const QString info = PdfInfo(pdf);
    if (!info.isEmpty()) {
        QVERIFY2(info.contains(QStringLiteral("Фактура № 0000000042")), qPrintable(info));
        QVERIFY(info.contains(QStringLiteral("A4")));
    }
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.contains("pdfaid:part")); // the PDF/A mark
    QVERIFY(bytes.contains("/FontFile2"));  // the fonts travel with the file
    // The bitmap beside it is the one the archive always had.
    QCOMPARE(QImage(bitmap).size(), QSize(859, 1168));
    PrintOptionsForm->SetPrinter(nullptr);
}

void TestJournal::unusableJournalStillPrints()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    FillPage(run.script());
    // Something that is no journal stands in its place.
    const QString journal = JournalFileName(run.path(QStringLiteral("DB")));
    QVERIFY(QDir().mkpath(journal));
    CountingPrinter printer;
    PrintOptionsForm->SetPrinter(&printer);
    TransferAndPrint(run.script(), PrintOptionsForm->SpeedButton1);
    QCOMPARE(run.script().errors, QStringList());
    QCOMPARE(run.script().messages.size(), 1);
    QVERIFY(run.script().messages.first().contains(QStringLiteral("Дневникът")));
    QVERIFY(run.script().messages.first().contains(QStringLiteral("без запис в дневника")));
    QCOMPARE(printer.engine.images, 1);
    QCOMPARE(Counter(QStringLiteral("Фактура №")), QStringLiteral("0000000042"));
    QVERIFY(NumberStored);
    // The journal window tells what it cannot read.
    Main->SpeedButton11->click();
    QCOMPARE(run.script().errors.size(), 1);
    QVERIFY(run.script().errors.first().contains(QStringLiteral("Journal.db")));
    JournalWindow(Main)->close();
    PrintOptionsForm->SetPrinter(nullptr);
}

void TestJournal::pdfThatCannotBeWrittenIsReported()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    FillPage(run.script());
    // A folder where the PDF would go.
    QVERIFY(QDir().mkpath(run.path(QStringLiteral("DB/VInvFirm1_0000000042_.pdf"))));
    CountingPrinter printer;
    PrintOptionsForm->SetPrinter(&printer);
    TransferAndPrint(run.script(), PrintOptionsForm->SpeedButton1);
    QCOMPARE(run.script().errors, QStringList());
    QCOMPARE(run.script().messages.size(), 1);
    QCOMPARE(run.script().messages.first(),
             QStringLiteral("PDF файлът на страницата не е записан.\nФайлът %1 не може да бъде "
                            "записан: на мястото на файла има папка.")
                 .arg(QDir::toNativeSeparators(
                     run.path(QStringLiteral("DB/VInvFirm1_0000000042_.pdf")))));
    // Everything else of the print went its way; the journal knows there is no PDF.
    QCOMPARE(printer.engine.images, 1);
    QCOMPARE(Counter(QStringLiteral("Фактура №")), QStringLiteral("0000000042"));
    const QVector<JournalEntry> rows = ReadJournal(JournalFileName(run.path(QStringLiteral("DB"))));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].pdfFile, QString());
    PrintOptionsForm->SetPrinter(nullptr);
}

void TestJournal::interruptedPrintGoesIntoTheJournal()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    FillPage(run.script());
    // A run was killed after archiving page 42 and before storing its number.
    const QString archived = run.path(QStringLiteral("DB/VInvFirm1_0000000042_.bmp"));
    Main->SpeedButton4->click();
    {
        QFile file(archived);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("BM");
    }
    run.script().printAnswers.push(true);
    PrintOptionsForm->SpeedButton1->click();
    QCOMPARE(run.script().errors.size(), 1);
    // The number counts as used, and the page that went out with it is in the journal.
    QCOMPARE(Counter(QStringLiteral("Фактура №")), QStringLiteral("0000000042"));
    const QVector<JournalEntry> rows = ReadJournal(JournalFileName(run.path(QStringLiteral("DB"))));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].number, QStringLiteral("0000000042"));
    QCOMPARE(rows[0].bitmapFile, archived);
    QCOMPARE(rows[0].pdfFile, QString());
}

void TestJournal::previewLeavesThePage()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    Main->SpeedButton4->click();
    // A silver field that shows its background.
    const QColor silver = Doc->Label34->palette().color(QPalette::Window);
    QVERIFY(Doc->Label34->autoFillBackground());
    QVERIFY(silver != QColor(Qt::white));
    CountingPrinter printer;
    PrintOptionsForm->SetPrinter(&printer);
    QToolButton *preview = Doc->findChild<QToolButton *>(QStringLiteral("SpeedButton4"));
    QVERIFY(preview);
    QCOMPARE(preview->text(), QStringLiteral("Преглед"));
    preview->click();
    QCOMPARE(run.script().errors, QStringList());
    QCOMPARE(run.script().previews, 1);
    QCOMPARE(printer.engine.images, 1);
    // Nothing was archived, numbered or journaled, and the field marks are still there.
    QCOMPARE(Doc->Label34->palette().color(QPalette::Window), silver);
    QVERIFY(Doc->Label34->autoFillBackground());
    QVERIFY(!QFile::exists(run.path(QStringLiteral("DB/VInvFirm1_0000000042_.bmp"))));
    QVERIFY(!QFile::exists(JournalFileName(run.path(QStringLiteral("DB")))));
    QCOMPARE(Counter(QStringLiteral("Фактура №")), QStringLiteral("0000000041"));
    PrintOptionsForm->SetPrinter(nullptr);
}

void TestJournal::openWindowShowsANewPrint()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    ScriptedDialogs &script = run.script();
    CountingPrinter printer;
    PrintOptionsForm->SetPrinter(&printer);
    Main->SpeedButton11->click();
    TJournal *window = JournalWindow(Main);
    QVERIFY(window->isVisible());
    QCOMPARE(Rows(window->StringGrid1), 0);

    // The window stays open while the page is printed: the new page is listed in it at once.
    FillPage(script);
    TransferAndPrint(script, PrintOptionsForm->SpeedButton1);
    QCOMPARE(script.errors, QStringList());
    QCOMPARE(Rows(window->StringGrid1), 1);
    QCOMPARE(Cell(window->StringGrid1, 0, 0), QStringLiteral("0000000042"));
    QVERIFY(window->Label1->caption().startsWith(QStringLiteral("BGN: основа")));
    window->hide();
    PrintOptionsForm->SetPrinter(nullptr);
}

VORNEX_TEST_MAIN(TestJournal)
#include "tst_journal.moc"
