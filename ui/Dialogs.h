#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <queue>

class QMenu;
class QPrinter;
class QWidget;

// The progress of a long task, with a cancel button, shown once the task has run a second.
class Progress
{
public:
    virtual ~Progress() = default;
    // Tells how far the task is (done of total; a total of 0 or less when unknown); false once
    // the user has cancelled.
    virtual bool advance(qint64 done, qint64 total) = 0;
};

// The one seam through which the program talks to the user in modal dialogs and to the shell.
// Forms never call QMessageBox, QInputDialog, QFileDialog or QPrintDialog themselves, so tests can
// answer every dialog through the scripted implementation.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // A message box with an OK button, titled "VORNEX 2007".
    virtual void showMessage(const QString &text) = 0;
    // The exception box: an error that ended an event handler. Also titled "VORNEX 2007".
    virtual void showError(const QString &text) = 0;
    // A question with "Да" and "Не", titled "VORNEX 2007"; true only for "Да". "Не" is the
    // default, so a hasty Enter changes nothing.
    virtual bool askYesNo(const QString &text) = 0;
    // The one-line text query. Returns false when the user cancels; value is then unchanged.
    virtual bool inputQuery(const QString &title, const QString &prompt, QString &value) = 0;
    // The picture-open dialog; returns the chosen file, or an empty text when cancelled.
    virtual QString openPicture(QWidget *parent, const QString &filter) = 0;
    // The system print dialog for one page; returns true when the user confirms.
    virtual bool printDialog(QPrinter &printer, QWidget *parent) = 0;
    // Opens a pop-up menu at a screen position and runs the chosen item.
    virtual void popupMenu(QMenu *menu, const QPoint &screenPos) = 0;
    // The mouse pointer's current screen position.
    virtual QPoint cursorPos() = 0;
    // The shell's "open" verb on a program file, started in the given folder.
    virtual bool shellOpen(const QString &program, const QString &folder) = 0;
    // The shell's "print" verb on a saved file; fire and forget.
    virtual void shellPrint(const QString &file) = 0;
    // The save dialog; returns the chosen file, or an empty text when cancelled.
    virtual QString saveFileName(QWidget *parent, const QString &proposed,
                                 const QString &filter) = 0;
    // The shell's "open" verb on a document: the desktop's viewer for its kind of file.
    virtual bool shellOpenFile(const QString &file) = 0;
    // The print preview of the platform for the printer; paint draws the pages on the printer it
    // is given, as often as the preview needs them.
    virtual void printPreview(QPrinter &printer, const std::function<void(QPrinter *)> &paint,
                              QWidget *parent) = 0;
    // The progress of a long task the text names; it goes when the object goes.
    virtual std::unique_ptr<Progress> startProgress(const QString &text, QWidget *parent) = 0;
};

// The seam in force; the Qt implementation unless a test installs another.
Dialogs &dialogs();
// Installs an implementation (not owned); nullptr restores the Qt one.
void setDialogs(Dialogs *implementation);

// The real dialogs of the desktop.
class QtDialogs : public Dialogs
{
public:
    void showMessage(const QString &text) override;
    void showError(const QString &text) override;
    bool askYesNo(const QString &text) override;
    bool inputQuery(const QString &title, const QString &prompt, QString &value) override;
    QString openPicture(QWidget *parent, const QString &filter) override;
    bool printDialog(QPrinter &printer, QWidget *parent) override;
    void popupMenu(QMenu *menu, const QPoint &screenPos) override;
    QPoint cursorPos() override;
    bool shellOpen(const QString &program, const QString &folder) override;
    void shellPrint(const QString &file) override;
    QString saveFileName(QWidget *parent, const QString &proposed, const QString &filter) override;
    bool shellOpenFile(const QString &file) override;
    void printPreview(QPrinter &printer, const std::function<void(QPrinter *)> &paint,
                      QWidget *parent) override;
    std::unique_ptr<Progress> startProgress(const QString &text, QWidget *parent) override;
};

// Answers every dialog from prepared answers and records what the program showed. Used by tests;
// an unexpected query (no answer prepared) is answered with a cancel and recorded.
class ScriptedDialogs : public Dialogs
{
public:
    struct Query {
        QString title, prompt, proposed;
    };
    struct ShellCall {
        QString verb, file, folder;
    };
    struct ProgressRecord {
        QString text;
        qint64 done = 0, total = 0;
        int steps = 0;
    };

    // Prepared answers, taken in order. std::nullopt is a cancel.
    std::queue<std::optional<QString>> queryAnswers;
    std::queue<QString> pictureAnswers;
    std::queue<QString> saveAnswers;
    std::queue<bool> printAnswers;
    // Answers to yes/no questions; none prepared is "Не".
    std::queue<bool> yesNoAnswers;
    QPoint pointer{100, 100};
    // Whether the desktop has a viewer for the documents opened.
    bool viewerFound = true;
    // The progress of a task is cancelled at this step told; none: never.
    std::optional<int> cancelProgressAt;

    // What the program showed.
    QStringList messages;
    QStringList errors;
    QStringList questions;
    QList<Query> queries;
    QList<ShellCall> shellCalls;
    int printDialogs = 0;
    // Each preview draws its pages once on the printer it was given.
    int previews = 0;
    int popups = 0;
    QMenu *lastPopup = nullptr;
    QList<ProgressRecord> progresses;

    void answer(const QString &text) { queryAnswers.push(text); }
    void cancel() { queryAnswers.push(std::nullopt); }

    void showMessage(const QString &text) override;
    void showError(const QString &text) override;
    bool askYesNo(const QString &text) override;
    bool inputQuery(const QString &title, const QString &prompt, QString &value) override;
    QString openPicture(QWidget *parent, const QString &filter) override;
    bool printDialog(QPrinter &printer, QWidget *parent) override;
    void popupMenu(QMenu *menu, const QPoint &screenPos) override;
    QPoint cursorPos() override;
    bool shellOpen(const QString &program, const QString &folder) override;
    void shellPrint(const QString &file) override;
    QString saveFileName(QWidget *parent, const QString &proposed, const QString &filter) override;
    bool shellOpenFile(const QString &file) override;
    void printPreview(QPrinter &printer, const std::function<void(QPrinter *)> &paint,
                      QWidget *parent) override;
    std::unique_ptr<Progress> startProgress(const QString &text, QWidget *parent) override;
};

// Installs a ScriptedDialogs for the lifetime of the guard.
class ScriptedDialogsGuard
{
public:
    ScriptedDialogsGuard() { setDialogs(&script); }
    ~ScriptedDialogsGuard() { setDialogs(nullptr); }
    ScriptedDialogs script;
};
