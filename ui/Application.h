#pragma once

#include "base/Title.h"

#include <QApplication>
#include <exception>

// The application object. Its notify override is the program's one error handler: an error
// escaping an event handler is shown in the exception box and the program goes on.
class VornexApplication : public QApplication
{
public:
    VornexApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Sets the title, the font substitutions and the "." decimal separator on an application object.
void PrepareApplication(QApplication &app);

// Shows the error in the exception box (through the dialog seam). Unknown errors show empty text.
void ReportError(const std::exception &error);
void ReportUnknownError();

// Runs one event handler: an error it raises ends that handler, is shown, and the program goes on.
template <typename F> void RunHandler(F &&handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        ReportError(error);
    } catch (...) {
        ReportUnknownError();
    }
}

// A slot for connect() that runs a form's handler through RunHandler.
template <typename Form> auto Handler(Form *form, void (Form::*method)())
{
    return [form, method] { RunHandler([form, method] { (form->*method)(); }); };
}
