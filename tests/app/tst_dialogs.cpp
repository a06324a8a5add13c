#include "support/TestSupport.h"

#include "ui/Dialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QPrinter>
#include <QTimer>
#include <functional>

namespace
{
// Opens a dialog of the desktop, notes the title of the window it shows (and the captions of its
// buttons) and closes it again.
QString TitleOfDialog(const std::function<void()> &open, QStringList *buttons = nullptr)
{
    QString title = QStringLiteral("(no dialog)");
    QTimer::singleShot(0, [&title, buttons] {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            title = dialog->windowTitle();
            if (buttons) {
                for (const QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
                    *buttons << button->text();
                for (const QAction *action : dialog->findChildren<QAction *>())
                    *buttons << action->text();
            }
            dialog->close();
        }
    });
    open();
    return title;
}
} // namespace

// The titles of the desktop's own dialogs: the user reads the program's name or the action.
class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void titles_data();
    void titles();
    void previewOffersNoPrint();
};

void TestDialogs::titles_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("title");

    QTest::newRow("message") << "message"
                             << "VORNEX 2007";
    QTest::newRow("error") << "error"
                           << "VORNEX 2007";
    QTest::newRow("question") << "question"
                              << "VORNEX 2007";
    QTest::newRow("print preview") << "preview"
                                   << "Преглед";
}

void TestDialogs::titles()
{
    QFETCH(QString, dialog);
    QFETCH(QString, title);

    QtDialogs desktop;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString shown = TitleOfDialog([&] {
        if (dialog == QLatin1String("message"))
            desktop.showMessage(QStringLiteral("Съобщение"));
        else if (dialog == QLatin1String("error"))
            desktop.showError(QStringLiteral("Грешка"));
        else if (dialog == QLatin1String("question"))
            desktop.askYesNo(QStringLiteral("Въпрос?"));
        else
            desktop.printPreview(
                printer, [](QPrinter *) {}, nullptr);
    });
    QCOMPARE(shown, title);
}

// A page is printed only through "Отпечатай": the preview has no printer button of its own.
void TestDialogs::previewOffersNoPrint()
{
    QtDialogs desktop;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    QStringList buttons;
    TitleOfDialog(
        [&] {
            desktop.printPreview(
                printer, [](QPrinter *) {}, nullptr);
        },
        &buttons);
    QVERIFY(buttons.contains(QStringLiteral("Затвори")));
    for (const QString &caption : buttons)
        QVERIFY2(!caption.contains(QStringLiteral("Print"), Qt::CaseInsensitive) &&
                     !caption.contains(QStringLiteral("Печат"), Qt::CaseInsensitive),
                 qPrintable(caption));
}

VORNEX_TEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
