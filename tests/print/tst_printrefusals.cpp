#include "support/TestSupport.h"

#include "app/Menu.h"
#include "base/Clock.h"
#include "document/Document.h"
#include "document/Numbering.h"
#include "lines/Unit1.h"
#include "masterdata/Table.h"
#include "masterdata/Unit4.h"
#include "print/ArchiveName.h"
#include "print/BitmapFile.h"
#include "print/Pr.h"
#include "ui/Look.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QToolButton>

namespace
{
QStringList Archived(const ProgramRun &run)
{
    return QDir(run.path(QStringLiteral("DB"))).entryList({QStringLiteral("*.bmp")}, QDir::Files);
}

QByteArray Bytes(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kNoLine = QStringLiteral("Документът няма нито един ред: добавете редовете в "
                                       "„Таблица“ и ги прехвърлете с „Към фактурата“.");
const QString kNoClient = QStringLiteral("Документът няма клиент: изберете го в „Клиенти“ и "
                                         "натиснете „Добави“.");
const QString kNothingUsed = QStringLiteral("Нищо не е отпечатано и номерът не е използван.");
const QString kTransferFirst = QStringLiteral("Прехвърлете таблицата във фактурата преди печат.");
const QString kLegalNothingUsed =
    QStringLiteral("\n\nНищо не е отпечатано и номерът не е използван.");

// A step on the page before the print, after the transfer.
using Step = std::function<void()>;
} // namespace

// Prints that must not happen: each stops with its message before anything is archived, shown,
// printed or stored.
class TestPrintRefusals : public QObject
{
    Q_OBJECT
private slots:
    void refused_data();
    void refused();
    void warningsAskBeforeTheNumber();
    void archivedPageIsNeverReplaced();
    void interruptedPrintIsTakenAsUsed();
};

void TestPrintRefusals::refused_data()
{
    QTest::addColumn<bool>("client");
    QTest::addColumn<bool>("line");
    // "none", "done", or "failed": a transfer that stopped at a damaged counter after one that
    // ran to its end.
    QTest::addColumn<QString>("transfer");
    QTest::addColumn<bool>("copy");
    QTest::addColumn<QString>("message");
    QTest::addColumn<Step>("step");
    QTest::newRow("never transferred")
        << true << true << "none" << false << kTransferFirst << Step();
    QTest::newRow("last transfer failed")
        << true << true << "failed" << false << kTransferFirst << Step();
    QTest::newRow("copy after a failed transfer")
        << true << true << "failed" << true << kTransferFirst << Step();
    QTest::newRow("empty table") << true << false << "done" << false
                                 << kNoLine + QLatin1Char('\n') + kNothingUsed << Step();
    QTest::newRow("no client") << false << true << "done" << false
                               << kNoClient + QLatin1Char('\n') + kNothingUsed << Step();
    QTest::newRow("neither") << false << false << "done" << false
                             << kNoLine + QLatin1Char('\n') + kNoClient + QLatin1Char('\n') +
                                    kNothingUsed
                             << Step();
    QTest::newRow("copy of an empty table")
        << true << false << "done" << true << kNoLine + QLatin1Char('\n') + kNothingUsed << Step();
    // What the law asks of the document comes before its number.
    QTest::newRow("a credit note that names no invoice")
        << true << true << "done" << false
        << QStringLiteral("Грешки:\n– Известието трябва да посочи номера и датата на фактурата, "
                          "към която е издадено (щракнете реда „от дата … към фактура №“).") +
               kLegalNothingUsed
        << Step([] {
               Form1->ComboBox1->setCurrentText(kCreditNoteTitle);
               Main->SpeedButton4->click();
           });
    QTest::newRow("an invoice in leva dated after the euro came")
        << true << true << "done" << false
        << QStringLiteral("Грешки:\n– От 01.01.2026 г. документите се издават в евро: "
                          "натиснете „Евро“ в менюто.") +
               kLegalNothingUsed
        << Step([] {
               FixToday(QDate(2026, 1, 2));
               Main->SpeedButton4->click();
           });
    QTest::newRow("zero VAT with no ground")
        << true << true << "done" << false
        << QStringLiteral("Грешки:\n– При ставка 0 % изберете основанието за неначисляване на "
                          "ДДС („Основания“ в „Таблица“).") +
               kLegalNothingUsed
        << Step([] {
               VatText = QStringLiteral("0%");
               VatFactor = 0;
               Main->SpeedButton4->click();
           });
}

void TestPrintRefusals::refused()
{
    QFETCH(bool, client);
    QFETCH(bool, line);
    QFETCH(QString, transfer);
    QFETCH(bool, copy);
    QFETCH(QString, message);
    QFETCH(Step, step);
    ProgramRun run;
    ScriptedDialogs &script = run.script();
    script.answer(QStringLiteral("20%"));
    run.start();
    if (client) {
        Main->SpeedButton7Click();
        Form4->SpeedButton2->click();
    }
    if (line) {
        script.answer(QStringLiteral("2"));
        Main->SpeedButton3Click();
        Form4->SpeedButton2->click();
    }
    if (transfer != QLatin1String("none"))
        Main->SpeedButton4->click();
    if (transfer == QLatin1String("failed")) {
        OnFirmTable(run, QStringLiteral("UPDATE Firm SET \"Фактура №\" = 'abc'"));
        Main->SpeedButton4->click();
        QCOMPARE(script.errors.size(), 1);
        script.errors.clear();
        OnFirmTable(run, QStringLiteral("UPDATE Firm SET \"Фактура №\" = '0000000041'"));
    }
    QCOMPARE(script.errors, QStringList());
    if (step)
        step();
    QCOMPARE(script.errors, QStringList());
    const QString mark = Doc->Label8->caption();

    script.printAnswers.push(true);
    (copy ? PrintOptionsForm->SpeedButton2 : PrintOptionsForm->SpeedButton1)->click();
    QCOMPARE(script.errors, QStringList{message});
    QCOMPARE(Archived(run), QStringList());
    QCOMPARE(script.printDialogs, 0);
    QVERIFY(script.shellCalls.isEmpty());
    QCOMPARE(InvoiceCounter(run), QStringLiteral("0000000041"));
    QVERIFY(!NumberStored);
    QCOMPARE(Doc->Label8->caption(), mark);
    QVERIFY(!Form4->Table1->InTransaction());
}

// A warning is read before the number is issued: "Не" prints nothing, "Да" prints.
void TestPrintRefusals::warningsAskBeforeTheNumber()
{
    ProgramRun run;
    ScriptedDialogs &script = run.script();
    script.answer(QStringLiteral("20%"));
    run.start();
    TakeClientAndLine(script);
    Main->SpeedButton4->click();
    script.answer(QStringLiteral("BG160538274"));
    QTest::mouseClick(Doc->Label34, Qt::LeftButton);
    script.yesNoAnswers.push(false);
    PrintOptionsForm->SpeedButton1->click();
    QCOMPARE(script.questions.size(), 1);
    QVERIFY(script.questions.last().startsWith(QStringLiteral("Предупреждения:\n– ИН по ЗДДС на "
                                                              "получателя „BG160538274“")));
    QCOMPARE(Archived(run), QStringList());
    QCOMPARE(InvoiceCounter(run), QStringLiteral("0000000041"));
    script.yesNoAnswers.push(true);
    script.printAnswers.push(true);
    PrintOptionsForm->SpeedButton1->click();
    QCOMPARE(script.errors, QStringList());
    QCOMPARE(Archived(run), QStringList{QStringLiteral("VInvFirm1_0000000042_.bmp")});
    QCOMPARE(InvoiceCounter(run), QStringLiteral("0000000042"));
    // The copy of the number just issued is the same document: it asks nothing again.
    script.printAnswers.push(true);
    PrintOptionsForm->SpeedButton2->click();
    QCOMPARE(script.questions.size(), 2);
    QCOMPARE(script.errors, QStringList());
}

void TestPrintRefusals::archivedPageIsNeverReplaced()
{
    ProgramRun run;
    ScriptedDialogs &script = run.script();
    script.answer(QStringLiteral("20%"));
    run.start();
    TakeClientAndLine(script);
    Main->SpeedButton4->click();
    script.printAnswers.push(false);
    PrintOptionsForm->SpeedButton1->click();
    script.printAnswers.push(false);
    PrintOptionsForm->SpeedButton2->click();
    QCOMPARE(script.errors, QStringList());
    QCOMPARE(InvoiceCounter(run), QStringLiteral("0000000042"));
    const QString db = run.path(QStringLiteral("DB"));
    const QString original = db + QStringLiteral("/VInvFirm1_0000000042_.bmp");
    const QString copy = db + QStringLiteral("/VInvFirm1_0000000042_copy.bmp");
    const QByteArray originalBytes = Bytes(original);
    const QByteArray copyBytes = Bytes(copy);
    QVERIFY(!originalBytes.isEmpty());
    QVERIFY(!copyBytes.isEmpty());

    // Both pages of the number are archived: printing either again stops, at another depth too.
    PrintOptionsForm->ComboBox1->setCurrentText(QStringLiteral("24 бита цвят"));
    const int shellCalls = script.shellCalls.size();
    PrintOptionsForm->SpeedButton1->click();
    PrintOptionsForm->SpeedButton2->click();
    QCOMPARE(script.errors, (QStringList{ArchivedPageExists(QDir::cleanPath(original)),
                                         ArchivedPageExists(QDir::cleanPath(copy))}));
    QCOMPARE(Bytes(original), originalBytes);
    QCOMPARE(Bytes(copy), copyBytes);
    QCOMPARE(script.printDialogs, 2);
    QCOMPARE(script.shellCalls.size(), shellCalls);
    QCOMPARE(Archived(run).size(), 2);
    QCOMPARE(InvoiceCounter(run), QStringLiteral("0000000042"));
    QVERIFY(!Form4->Table1->InTransaction());
}

void TestPrintRefusals::interruptedPrintIsTakenAsUsed()
{
    ProgramRun run;
    ScriptedDialogs &script = run.script();
    script.answer(QStringLiteral("20%"));
    run.start();
    TakeClientAndLine(script);
    Main->SpeedButton4->click();
    QCOMPARE(Doc->NO->caption(), QStringLiteral("0000000042"));
    // A run killed after archiving page 42 and before storing its number left the page behind.
    const QString original = run.path(QStringLiteral("DB/VInvFirm1_0000000042_.bmp"));
    {
        QFile file(original);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("earlier page");
    }
    PrintOptionsForm->SpeedButton1->click();
    QCOMPARE(script.errors.size(), 1);
    QVERIFY(script.errors.first().startsWith(ArchivedPageExists(QDir::cleanPath(original))));
    QCOMPARE(Bytes(original), QByteArray("earlier page"));
    QCOMPARE(script.printDialogs, 0);
    QVERIFY(script.shellCalls.isEmpty());
    // The number counts as used, so the next transfer gives the page a fresh one, which prints.
    QCOMPARE(InvoiceCounter(run), QStringLiteral("0000000042"));
    script.errors.clear();
    Main->SpeedButton4->click();
    QCOMPARE(Doc->NO->caption(), QStringLiteral("0000000043"));
    script.printAnswers.push(false);
    PrintOptionsForm->SpeedButton1->click();
    QCOMPARE(script.errors, QStringList());
    QCOMPARE(InvoiceCounter(run), QStringLiteral("0000000043"));
}

VORNEX_TEST_MAIN(TestPrintRefusals)
#include "tst_printrefusals.moc"
