#include "ui/Application.h"

#include "ui/Dialogs.h"
#include "ui/Look.h"

#include <QLocale>

VornexApplication::VornexApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    PrepareApplication(*this);
}

bool VornexApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        ReportError(error);
    } catch (...) {
        ReportUnknownError();
    }
    return false;
}

void PrepareApplication(QApplication &app)
{
    app.setApplicationName(ApplicationTitle());
    app.setApplicationDisplayName(QString());
    app.setQuitOnLastWindowClosed(false);
    // Amounts are typed and shown with "." whatever the user's regional settings say.
    QLocale::setDefault(QLocale::c());
    InstallFontSubstitutions();
}

void ReportError(const std::exception &error)
{
    dialogs().showError(QString::fromUtf8(error.what()));
}

void ReportUnknownError()
{
    dialogs().showError(QString());
}
