#include "ui/Dialogs.h"

#include "base/Title.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

namespace
{
QtDialogs qtDialogs;
Dialogs *current = nullptr;
} // namespace

Dialogs &dialogs()
{
    return current ? *current : qtDialogs;
}

void setDialogs(Dialogs *implementation)
{
    current = implementation;
}

void QtDialogs::showMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void QtDialogs::showError(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, ApplicationTitle(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

bool QtDialogs::askYesNo(const QString &text)
{
    QMessageBox box(QMessageBox::Question, ApplicationTitle(), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton *yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("Не"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

bool QtDialogs::inputQuery(const QString &title, const QString &prompt, QString &value)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(value);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Cancel"));
    dialog.resize(360, dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    value = dialog.textValue();
    return true;
}

QString QtDialogs::openPicture(QWidget *parent, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

bool QtDialogs::printDialog(QPrinter &printer, QWidget *parent)
{
#if QT_CONFIG(printdialog)
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, 1);
    dialog.setFromTo(1, 1);
    return dialog.exec() == QDialog::Accepted;
#else
    Q_UNUSED(printer);
    Q_UNUSED(parent);
    return false;
#endif
}

void QtDialogs::popupMenu(QMenu *menu, const QPoint &screenPos)
{
    menu->exec(screenPos);
}

QPoint QtDialogs::cursorPos()
{
    return QCursor::pos();
}

bool QtDialogs::shellOpen(const QString &program, const QString &folder)
{
    return QProcess::startDetached(program, {}, folder);
}

void QtDialogs::shellPrint(const QString &file)
{
#ifdef Q_OS_WIN
    QProcess::startDetached(QStringLiteral("cmd"), {QStringLiteral("/c"), QStringLiteral("start"),
                                                    QString(), QStringLiteral("/min"), file});
#else
    // Where a print client exists the saved page goes to the default printer; without one the
    // print dialog's job is the only print, as on a machine without a print verb.
    const QString lp = QStandardPaths::findExecutable(QStringLiteral("lp"));
    if (!lp.isEmpty())
        QProcess::startDetached(lp, {file});
#endif
}

QString QtDialogs::saveFileName(QWidget *parent, const QString &proposed, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, QString(), proposed, filter);
}

bool QtDialogs::shellOpenFile(const QString &file)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

void QtDialogs::printPreview(QPrinter &printer, const std::function<void(QPrinter *)> &paint,
                             QWidget *parent)
{
#if QT_CONFIG(printpreviewwidget)
    // A look at the page only: it is printed through "Отпечатай", which numbers, archives and
    // journals it, so the preview has no printer button of its own.
    QDialog dialog(parent);
    // Named as the page's button that opens it, not with the toolkit's own English title.
    dialog.setWindowTitle(QStringLiteral("Преглед"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *preview = new QPrintPreviewWidget(&printer, &dialog);
    QObject::connect(preview, &QPrintPreviewWidget::paintRequested, &dialog,
                     [&paint](QPrinter *target) { paint(target); });
    auto *buttons = new QHBoxLayout;
    auto add = [&dialog, buttons](const QString &caption, auto slot) {
        auto *button = new QPushButton(caption, &dialog);
        QObject::connect(button, &QPushButton::clicked, &dialog, slot);
        buttons->addWidget(button);
    };
    add(QStringLiteral("По-голямо"), [preview] { preview->zoomIn(); });
    add(QStringLiteral("По-малко"), [preview] { preview->zoomOut(); });
    add(QStringLiteral("Цяла страница"), [preview] { preview->fitInView(); });
    add(QStringLiteral("По ширина"), [preview] { preview->fitToWidth(); });
    buttons->addStretch();
    buttons->addWidget(new QLabel(QStringLiteral("Печат: „Отпечатай“ на фактурата"), &dialog));
    add(QStringLiteral("Затвори"), [&dialog] { dialog.accept(); });
    layout->addLayout(buttons);
    layout->addWidget(preview, 1);
    dialog.resize(900, 1000);
    dialog.exec();
#else
    Q_UNUSED(printer);
    Q_UNUSED(paint);
    Q_UNUSED(parent);
#endif
}

namespace
{
// The toolkit's progress dialog: it shows itself once the task has run a second.
class QtProgress : public Progress
{
public:
    QtProgress(const QString &text, QWidget *parent)
        : m_dialog(text, QStringLiteral("Откажи"), 0, kSteps, parent)
    {
        m_dialog.setWindowTitle(ApplicationTitle());
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(1000);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        m_dialog.setValue(0);
    }
    bool advance(qint64 done, qint64 total) override
    {
        if (total > 0) {
            m_dialog.setMaximum(kSteps);
            m_dialog.setValue(int(qBound(qint64(0), done * kSteps / total, qint64(kSteps - 1))));
        } else {
            // A task of unknown length: the bar moves to and fro.
            m_dialog.setMaximum(0);
            m_dialog.setValue(0);
        }
        return !m_dialog.wasCanceled();
    }

private:
    static constexpr int kSteps = 1000;
    QProgressDialog m_dialog;
};

class ScriptedProgress : public Progress
{
public:
    ScriptedProgress(ScriptedDialogs &script, int index) : m_script(script), m_index(index) {}
    bool advance(qint64 done, qint64 total) override
    {
        ScriptedDialogs::ProgressRecord &record = m_script.progresses[m_index];
        record.done = done;
        record.total = total;
        ++record.steps;
        return !(m_script.cancelProgressAt && record.steps >= *m_script.cancelProgressAt);
    }

private:
    ScriptedDialogs &m_script;
    int m_index;
};
} // namespace

std::unique_ptr<Progress> QtDialogs::startProgress(const QString &text, QWidget *parent)
{
    return std::make_unique<QtProgress>(text, parent);
}

std::unique_ptr<Progress> ScriptedDialogs::startProgress(const QString &text, QWidget *)
{
    progresses << ProgressRecord{text, 0, 0, 0};
    return std::make_unique<ScriptedProgress>(*this, int(progresses.size() - 1));
}

void ScriptedDialogs::showMessage(const QString &text)
{
    messages << text;
}

void ScriptedDialogs::showError(const QString &text)
{
    errors << text;
}

bool ScriptedDialogs::askYesNo(const QString &text)
{
    questions << text;
    if (yesNoAnswers.empty())
        return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop();
    return answer;
}

bool ScriptedDialogs::inputQuery(const QString &title, const QString &prompt, QString &value)
{
    queries << Query{title, prompt, value};
    if (queryAnswers.empty())
        return false;
    const std::optional<QString> answer = queryAnswers.front();
    queryAnswers.pop();
    if (!answer)
        return false;
    value = *answer;
    return true;
}

QString ScriptedDialogs::openPicture(QWidget *, const QString &)
{
    if (pictureAnswers.empty())
        return QString();
    const QString answer = pictureAnswers.front();
    pictureAnswers.pop();
    return answer;
}

bool ScriptedDialogs::printDialog(QPrinter &, QWidget *)
{
    ++printDialogs;
    if (printAnswers.empty())
        return false;
    const bool answer = printAnswers.front();
    printAnswers.pop();
    return answer;
}

void ScriptedDialogs::popupMenu(QMenu *menu, const QPoint &)
{
    ++popups;
    lastPopup = menu;
}

QPoint ScriptedDialogs::cursorPos()
{
    return pointer;
}

bool ScriptedDialogs::shellOpen(const QString &program, const QString &folder)
{
    shellCalls << ShellCall{QStringLiteral("open"), program, folder};
    return true;
}

void ScriptedDialogs::shellPrint(const QString &file)
{
    shellCalls << ShellCall{QStringLiteral("print"), file, QString()};
}

QString ScriptedDialogs::saveFileName(QWidget *, const QString &, const QString &)
{
    if (saveAnswers.empty())
        return QString();
    const QString answer = saveAnswers.front();
    saveAnswers.pop();
    return answer;
}

bool ScriptedDialogs::shellOpenFile(const QString &file)
{
    shellCalls << ShellCall{QStringLiteral("open"), file, QString()};
    return viewerFound;
}

void ScriptedDialogs::printPreview(QPrinter &printer, const std::function<void(QPrinter *)> &paint,
                                   QWidget *)
{
    ++previews;
    paint(&printer);
}
