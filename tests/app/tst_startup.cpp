#include "support/TestSupport.h"

#include "app/Menu.h"
#include "base/ProgramFolder.h"
#include "document/Document.h"
#include "lines/Unit1.h"
#include "masterdata/Unit4.h"
#include "print/Pr.h"
#include "ui/Form.h"
#include "ui/Look.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

namespace
{
// Notes which forms exist, and whether the menu is on screen, when the VAT prompt is shown.
class WatchingDialogs : public ScriptedDialogs
{
public:
    QStringList formsAtPrompt;
    bool menuVisibleAtPrompt = true;

    bool inputQuery(const QString &title, const QString &prompt, QString &value) override
    {
        formsAtPrompt.clear();
        if (Main)
            formsAtPrompt << QStringLiteral("Main");
        if (Form1)
            formsAtPrompt << QStringLiteral("Form1");
        if (Form4)
            formsAtPrompt << QStringLiteral("Form4");
        if (Doc)
            formsAtPrompt << QStringLiteral("Doc");
        if (PrintOptionsForm)
            formsAtPrompt << QStringLiteral("PrintOptionsForm");
        menuVisibleAtPrompt = Main && Main->isVisible();
        return ScriptedDialogs::inputQuery(title, prompt, value);
    }
};

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the message loop until the program quits or a second passes; returns the exit code,
// 42 when the loop was still running.
int RunLoopAfter(const std::function<void()> &action)
{
    // The timers live only for this loop, so that none of them ends a later one.
    QObject context;
    QTimer::singleShot(0, &context, action);
    QTimer::singleShot(1000, &context, [] { QCoreApplication::exit(42); });
    return QCoreApplication::exec();
}
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void vatPromptComesOnceBeforeTheMenu();
    void formsAreCreatedOnceAndKeepTheirContents();
    void menuForm();
    void menuButtons_data();
    void menuButtons();
    void closingTheMenuWritesTheMemoryAndEnds();
    void closingOtherFormsKeepsTheProgramRunning();
    void unwritableMemoryIsReportedAndTheProgramEnds();
    void programFolderIsTheWorkingDirectory();
};

void TestStartup::vatPromptComesOnceBeforeTheMenu()
{
    WatchingDialogs watch;
    ProgramRun run;
    setDialogs(&watch);
    watch.answer(QStringLiteral("20%"));
    run.start();

    QCOMPARE(watch.queries.size(), 1);
    QCOMPARE(watch.queries.at(0).prompt, QStringLiteral("ДДС"));
    // The line table asks while it is being created: the browser and the page do not exist yet.
    QCOMPARE(watch.formsAtPrompt, (QStringList{"Main", "Form1"}));
    QVERIFY(!watch.menuVisibleAtPrompt);
    QVERIFY(Form4 && Doc && PrintOptionsForm);

    Main->SpeedButton2->click();
    Main->SpeedButton2->click();
    QCOMPARE(watch.queries.size(), 1);
}

void TestStartup::formsAreCreatedOnceAndKeepTheirContents()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    TForm1 *table = Form1;
    Main->SpeedButton2->click();
    QVERIFY(Form1->isVisible());
    Form1->Edit3->setText(QStringLiteral("2"));
    Form1->Edit1->setText(QStringLiteral("5"));
    Form1->SpeedButton1Click();
    Form1->close();
    QVERIFY(!Form1->isVisible());

    Main->SpeedButton2->click();
    QCOMPARE(Form1, table);
    QVERIFY(Form1->isVisible());
    QCOMPARE(Form1->StringGrid1->rowCount(), 3);
    QCOMPARE(Form1->Label5->text(), QStringLiteral("12.00"));

    // A minimised table comes back as it was.
    Form1->showMinimized();
    Main->SpeedButton2->click();
    QCOMPARE(Form1, table);
    QVERIFY(Form1->isVisible());
    QVERIFY(!Form1->isMinimized());
    QCOMPARE(Form1->StringGrid1->rowCount(), 3);
}

void TestStartup::menuForm()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    QCOMPARE(Main->windowTitle(), QStringLiteral("Vornex 2007 - Меню"));
    QCOMPARE(Main->pos(), QPoint(0, 0));
    QCOMPARE(Main->size(), QSize(360, 600));
    QCOMPARE(Main->minimumSize(), Main->maximumSize());
    QVERIFY(!(Main->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(Main->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(Main->windowFlags() & Qt::WindowCloseButtonHint);
    QCOMPARE(Main->palette().color(QPalette::Window), QColor(223, 223, 223));
    QCOMPARE(Main->font().pixelSize(), 11);
    QCOMPARE(Main->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("VORNEX 2007"));
}

void TestStartup::menuButtons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QPoint>("position");
    QTest::newRow("own companies") << "SpeedButton5"
                                   << "Собствени фирми" << QPoint(0, 0);
    QTest::newRow("bank accounts") << "SpeedButton6"
                                   << "Банкови сметки" << QPoint(0, 120);
    QTest::newRow("goods") << "SpeedButton3"
                           << "Стоки и Услуги" << QPoint(0, 240);
    QTest::newRow("clients") << "SpeedButton7"
                             << "Клиенти" << QPoint(0, 360);
    QTest::newRow("line table") << "SpeedButton2"
                                << "Таблица" << QPoint(180, 0);
    QTest::newRow("to the invoice") << "SpeedButton4"
                                    << "Към фактурата" << QPoint(180, 120);
    QTest::newRow("print and keep") << "SpeedButton1"
                                    << "Отпечатай и съхрани" << QPoint(180, 240);
    QTest::newRow("currency") << "SpeedButton9"
                              << "Валута" << QPoint(180, 360);
    QTest::newRow("euro, below the eight") << "SpeedButton10"
                                           << "Евро" << QPoint(0, 480);
    QTest::newRow("journal") << "SpeedButton11"
                             << "Дневник" << QPoint(180, 480);
}

void TestStartup::menuButtons()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QPoint, position);
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    auto *button = Main->findChild<QToolButton *>(name);
    QVERIFY(button);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->geometry(), QRect(position, QSize(180, 120)));
    QVERIFY(button->isEnabled());
    QVERIFY(!button->icon().isNull());
    // Flat, the picture above a caption in bold Arial of 13 pixels.
    QVERIFY(button->autoRaise());
    QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QCOMPARE(button->font().family(), QStringLiteral("Arial"));
    QCOMPARE(button->font().pixelSize(), 13);
    QVERIFY(button->font().bold());
}

void TestStartup::closingTheMenuWritesTheMemoryAndEnds()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("9%"));
    run.start();
    Form1->ComboBox2->setCurrentIndex(1);
    Form1->ComboBox4->setCurrentIndex(2);
    QVERIFY(!QFile::exists(run.path(QStringLiteral("Vmem.txt"))));

    QCOMPARE(RunLoopAfter([&run] { run.closeMenu(); }), 0);
    QCOMPARE(ReadAll(run.path(QStringLiteral("Vmem.txt"))),
             QByteArray("9%\r\n"
                        "\xcf\xd0\xce\xd4\xce\xd0\xcc\xc0 \xd4\xc0\xca\xd2\xd3\xd0\xc0 / PROFORMA "
                        "INVOICE\r\n"
                        "\r\n"
                        "\xf7\xeb. 113, \xe0\xeb. 9\r\n"));
    QVERIFY(run.script().errors.isEmpty());
}

void TestStartup::closingOtherFormsKeepsTheProgramRunning()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    Main->show();
    Form1->show();
    Doc->show();
    const int code = RunLoopAfter([] {
        Form1->close();
        Doc->close();
        Form4->close();
        PrintOptionsForm->close();
    });
    QCOMPARE(code, 42);
    QVERIFY(!Form1->isVisible());
    QVERIFY(Main->isVisible());
    QVERIFY(!QFile::exists(run.path(QStringLiteral("Vmem.txt"))));
}

void TestStartup::unwritableMemoryIsReportedAndTheProgramEnds()
{
    ProgramRun run;
    run.script().answer(QStringLiteral("20%"));
    run.start();
    ProgramFolder = run.path(QStringLiteral("removed"));
    QCOMPARE(RunLoopAfter([&run] { run.closeMenu(); }), 0);
    QCOMPARE(run.script().errors.size(), 1);
    QVERIFY(run.script().errors.at(0).startsWith(QStringLiteral("Cannot create file")));
}

void TestStartup::programFolderIsTheWorkingDirectory()
{
    const QString oldCurrent = QDir::currentPath();
    QTemporaryDir work;
    {
        QFile memory(QDir(work.path()).filePath(QStringLiteral("Vmem.txt")));
        QVERIFY(memory.open(QIODevice::WriteOnly));
        memory.write("7%\r\n");
    }
    ProgramRun run;
    QVERIFY(QDir::setCurrent(work.path()));
    TakeProgramFolder();
    QCOMPARE(ProgramFolder, QDir::currentPath());
    QVERIFY(!ProgramFolder.endsWith(QLatin1Char('/')));
    QCOMPARE(ProgramPath(QStringLiteral("Vmem.txt")), QDir::currentPath() + "/Vmem.txt");
    QCOMPARE(TablesFolder(), QDir::currentPath() + "/DB/");

    run.script().cancel();
    run.start();
    QCOMPARE(run.script().queries.at(0).proposed, QStringLiteral("7%"));
    QCOMPARE(RunLoopAfter([&run] { run.closeMenu(); }), 0);
    QCOMPARE(ReadAll(QDir(work.path()).filePath(QStringLiteral("Vmem.txt"))).left(4),
             QByteArray("7%\r\n"));

    // At the root of the file system the separator stays.
    QVERIFY(QDir::setCurrent(QDir::rootPath()));
    TakeProgramFolder();
    QCOMPARE(ProgramFolder, QDir::rootPath());
    QCOMPARE(ProgramPath(QStringLiteral("Vmem.txt")), QDir::rootPath() + "Vmem.txt");
    QDir::setCurrent(oldCurrent);
}

VORNEX_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
