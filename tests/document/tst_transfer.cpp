#include "support/TestSupport.h"

#include "base/Clock.h"

#include "app/Menu.h"
#include "document/CurrentDocument.h"
#include "document/Document.h"
#include "document/DocumentNumber.h"
#include "document/Numbering.h"
#include "document/Transfer.h"
#include "document/WordsLines.h"
#include "lines/Unit1.h"
#include "masterdata/Unit4.h"
#include "print/Pr.h"
#include "ui/Look.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QPrinter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QToolButton>

namespace
{
void SetInvoiceCounter(const ProgramRun &run, const QString &value)
{
    OnFirmTable(run, QStringLiteral("UPDATE Firm SET \"Фактура №\" = '%1'").arg(value));
}
} // namespace

// The transfer of the line table onto the page and what it does with the numbers.
class TestTransfer : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void noteAccounts_data();
    void noteAccounts();
    void wordsOnThePage();
    void counterRefused_data();
    void counterRefused();
    void repeatedTransferKeepsNumber();
    void storedMeanwhileIsNotRewound();
    void storeRefusesTypedNumber();
    void storeWaitsForAnotherRun();

private:
    std::unique_ptr<ProgramRun> m_run;
    std::unique_ptr<QPrinter> m_printer;
    void start();
};

void TestTransfer::init()
{
    Transferred = false;
    NumberStored = false;
}

void TestTransfer::cleanup()
{
    if (PrintOptionsForm)
        PrintOptionsForm->SetPrinter(nullptr);
    m_run.reset();
    m_printer.reset();
}

void TestTransfer::start()
{
    m_run = std::make_unique<ProgramRun>();
    m_run->script().answer(QStringLiteral("20%"));
    m_run->start();
    m_printer = std::make_unique<QPrinter>();
    m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_printer->setOutputFileName(m_run->path(QStringLiteral("page.pdf")));
    PrintOptionsForm->SetPrinter(m_printer.get());
}

void TestTransfer::noteAccounts_data()
{
    QTest::addColumn<QString>("noteKind");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("account0");
    QTest::addColumn<QString>("account1");
    QTest::newRow("no note hides the grid") << "" << false << ""
                                            << "";
    QTest::newRow("credit note") << "Кредитно известие / Credit note" << true << "Кредит с/ка"
                                 << "Credit account";
    QTest::newRow("debit note") << "Дебитно известие / Debit note" << true << "Дебит с/ка"
                                << "Debit account";
    QTest::newRow("other text leaves the account column") << "Известие" << true << ""
                                                          << "";
}

void TestTransfer::noteAccounts()
{
    QFETCH(QString, noteKind);
    QFETCH(bool, shown);
    QFETCH(QString, account0);
    QFETCH(QString, account1);
    start();
    Doc->StringGrid1->setCell(1, 3, QStringLiteral("411"));
    Form1->ComboBox1->setCurrentText(noteKind);
    Main->SpeedButton4->click();
    QCOMPARE(m_run->script().errors, QStringList());
    QCOMPARE(Doc->Label21->caption(), noteKind);
    QCOMPARE(Doc->StringGrid1->isVisibleTo(Doc), shown);
    QCOMPARE(Doc->Panel2->isVisibleTo(Doc), shown);
    if (shown) {
        QCOMPARE(Doc->StringGrid1->cell(0, 0), QStringLiteral("№"));
        QCOMPARE(Doc->StringGrid1->cell(0, 1), QStringLiteral("No"));
        QCOMPARE(Doc->StringGrid1->cell(2, 0), QStringLiteral("Сума"));
        QCOMPARE(Doc->StringGrid1->cell(2, 1), QStringLiteral("Sum"));
    }
    QCOMPARE(Doc->StringGrid1->cell(1, 0), account0);
    QCOMPARE(Doc->StringGrid1->cell(1, 1), account1);
    // The account lines the user typed stay.
    QCOMPARE(Doc->StringGrid1->cell(1, 3), QStringLiteral("411"));
}

// The words of the document go on at blanks beside the totals; the rows below make room for
// every further line and get it back, however often the page shows the document.
void TestTransfer::wordsOnThePage()
{
    start();
    const int groundTop = Doc->Label19->y();
    const int bankTop = Doc->Label38->y();
    auto showTotals = [](const char *home, const char *foreign) {
        ChangeDocument([home, foreign](Invoice &doc) {
            doc.home.gross = Decimal::Amount::FromText(QString::fromLatin1(home));
            doc.foreign.gross = Decimal::Amount::FromText(QString::fromLatin1(foreign));
            doc.words = DocumentWords(doc);
        });
    };
    showTotals("777777.77", "397673.43");
    const QString caption = Doc->Label18->caption();
    const QStringList lines = caption.split(QLatin1Char('\n'));
    QVERIFY(lines.size() > 2);
    // Nothing is lost: the lines hold the words of both amounts, broken only at blanks.
    QCOMPARE(
        QString(caption).replace(QLatin1Char('\n'), QLatin1Char(' ')).simplified(),
        QString(TheDocument().words).replace(QLatin1Char('\n'), QLatin1Char(' ')).simplified());
    const QFontMetrics metrics(Doc->Label18->font());
    for (const QString &line : lines)
        QVERIFY2(Doc->Label18->x() + metrics.horizontalAdvance(line) < Doc->Panel6->x(),
                 qPrintable(line));
    QCOMPARE(Doc->Label19->y(), groundTop + 12 * (lines.size() - 1));
    showTotals("120.00", "61.36");
    QCOMPARE(Doc->Label18->caption().count(QLatin1Char('\n')), 1);
    QCOMPARE(Doc->Label19->y(), groundTop + 12);
    QCOMPARE(Doc->Label38->y(), bankTop + 12);
    Doc->ShowDocument(TheDocument());
    QCOMPARE(Doc->Label19->y(), groundTop + 12);
    QCOMPARE(Doc->Label38->y(), bankTop + 12);
    // No amount, no words: the placeholder and the rows where they were.
    showTotals("0", "0");
    QVERIFY(Doc->Label18->caption().startsWith(QStringLiteral("....")));
    QCOMPARE(Doc->Label19->y(), groundTop);
}

void TestTransfer::counterRefused_data()
{
    QTest::addColumn<QString>("counter");
    QTest::addColumn<QString>("message");
    const QString rule = QStringLiteral("\nБроячът „Фактура №“ в таблицата Firm.db трябва да е "
                                        "цяло число от 0 до 2147483646; поправете го в "
                                        "„Собствени фирми“.");
    QTest::newRow("not a number") << "abc"
                                  << "'abc' is not a valid integer value" + rule;
    QTest::newRow("empty") << ""
                           << "'' is not a valid integer value" + rule;
    // A negative counter would give the page a number such as "00000000-7".
    QTest::newRow("negative") << "-8"
                              << "Броячът „Фактура №“ в таблицата Firm.db е „-8“." + rule;
    QTest::newRow("at the 32-bit limit")
        << "2147483647"
        << "Броячът „Фактура №“ в таблицата Firm.db е достигнал най-големия възможен номер "
           "2147483647; следващ номер няма.";
}

void TestTransfer::counterRefused()
{
    QFETCH(QString, counter);
    QFETCH(QString, message);
    start();
    SetInvoiceCounter(*m_run, counter);
    Main->SpeedButton4->click();
    QCOMPARE(m_run->script().errors, QStringList{message});
    QVERIFY(!Doc->isVisible());
    QCOMPARE(Doc->NO->caption(), QStringLiteral("0"));
    QCOMPARE(InvoiceCounter(*m_run), counter);
}

void TestTransfer::repeatedTransferKeepsNumber()
{
    start();
    Main->SpeedButton4->click();
    QCOMPARE(Doc->NO->caption(), QStringLiteral("0000000042"));
    m_run->script().answer(QStringLiteral("01.01.2001"));
    QTest::mouseClick(Doc->Label57, Qt::LeftButton);
    QCOMPARE(Doc->Label57->caption(), QStringLiteral("01.01.2001"));
    Main->SpeedButton4->click();
    QCOMPARE(Doc->NO->caption(), QStringLiteral("0000000042"));
    QCOMPARE(Doc->Label57->caption(), DateText(Today()));
    QCOMPARE(InvoiceCounter(*m_run), QStringLiteral("0000000041"));
}

void TestTransfer::storedMeanwhileIsNotRewound()
{
    start();
    TakeClientAndLine(m_run->script());
    Main->SpeedButton4->click();
    QCOMPARE(Doc->NO->caption(), QStringLiteral("0000000042"));
    // Another run of the program printed up to 50 since this page was numbered: the print stops
    // before anything is printed or archived.
    SetInvoiceCounter(*m_run, QStringLiteral("0000000050"));
    m_run->script().printAnswers.push(true);
    PrintOptionsForm->SpeedButton1->click();
    QCOMPARE(m_run->script().errors.size(), 1);
    QVERIFY(m_run->script().errors.first().startsWith(
        QStringLiteral("Номер 0000000042 вече е използван: броячът „Фактура №“ в таблицата "
                       "Firm.db е стигнал 0000000050")));
    QCOMPARE(m_run->script().printDialogs, 0);
    QVERIFY(m_run->script().shellCalls.isEmpty());
    QCOMPARE(QDir(m_run->path(QStringLiteral("DB"))).entryList({QStringLiteral("*.bmp")}),
             QStringList());
    QCOMPARE(InvoiceCounter(*m_run), QStringLiteral("0000000050"));
    QVERIFY(!NumberStored);
    // The next transfer numbers the page anew, and that number prints and is stored.
    m_run->script().errors.clear();
    Main->SpeedButton4->click();
    QCOMPARE(Doc->NO->caption(), QStringLiteral("0000000051"));
    m_run->script().printAnswers.push(true);
    PrintOptionsForm->SpeedButton1->click();
    QCOMPARE(m_run->script().errors, QStringList());
    QCOMPARE(InvoiceCounter(*m_run), QStringLiteral("0000000051"));
    // Its copy is the same document: the counter now holds its number, and it prints.
    m_run->script().printAnswers.push(true);
    PrintOptionsForm->SpeedButton2->click();
    QCOMPARE(m_run->script().errors, QStringList());
    QVERIFY(QFile::exists(m_run->path(QStringLiteral("DB/VInvFirm1_0000000051_copy.bmp"))));
}

void TestTransfer::storeRefusesTypedNumber()
{
    start();
    TakeClientAndLine(m_run->script());
    Main->SpeedButton4->click();
    m_run->script().answer(QStringLiteral("12a"));
    m_run->script().answer(QStringLiteral("05.03.2007"));
    QTest::mouseClick(Doc->Label15, Qt::LeftButton);
    // A number that is no whole number is refused as it is typed: the page keeps its number.
    QCOMPARE(m_run->script().errors, QStringList{"'12a' is not a valid integer value"});
    QCOMPARE(Doc->NO->caption(), QStringLiteral("0000000042"));
    // Nothing archived, shown, printed or stored.
    QCOMPARE(QDir(m_run->path(QStringLiteral("DB"))).entryList({QStringLiteral("*.bmp")}),
             QStringList());
    QCOMPARE(m_run->script().printDialogs, 0);
    QVERIFY(m_run->script().shellCalls.isEmpty());
    QVERIFY(!NumberStored);
    QCOMPARE(InvoiceCounter(*m_run), QStringLiteral("0000000041"));
}

void TestTransfer::storeWaitsForAnotherRun()
{
    start();
    TakeClientAndLine(m_run->script());
    Main->SpeedButton4->click();
    // Another run of the program holds the own-company file for writing throughout the print:
    // the check and the store cannot slip in between, so nothing is stored and the user is told.
    QSqlDatabase other =
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other_run"));
    other.setDatabaseName(m_run->path(QStringLiteral("DB/Firm.db")));
    QVERIFY(other.open());
    QSqlQuery lock(other);
    QVERIFY(lock.exec(QStringLiteral("BEGIN IMMEDIATE")));
    PrintOptionsForm->SpeedButton1->click();
    QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
    lock.finish();
    other.close();
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("other_run"));
    QCOMPARE(m_run->script().errors.size(), 1);
    QVERIFY(m_run->script().errors.first().contains(QStringLiteral(" е зает ")));
    QVERIFY(!NumberStored);
    QCOMPARE(InvoiceCounter(*m_run), QStringLiteral("0000000041"));
    // Once the file is free the next print stores the number.
    m_run->script().errors.clear();
    PrintOptionsForm->SpeedButton1->click();
    QCOMPARE(m_run->script().errors, QStringList());
    QCOMPARE(InvoiceCounter(*m_run), QStringLiteral("0000000042"));
}

VORNEX_TEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
