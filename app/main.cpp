#include "app/Application.h"
#include "app/Forms.h"
#include "app/Menu.h"
#include "app/ProgramFolder.h"

int main(int argc, char **argv)
{
    TakeProgramFolder();
    VornexApplication app(argc, argv);
    bool started = false;
    RunHandler([&started] {
        CreateForms();
        if (Main)
            Main->show();
        started = true;
    });
    // An error that escaped the start-up has been shown; without the menu there is nothing the
    // user could go on with, so the program ends instead of waiting without a window.
    if (started)
        app.exec();
    DestroyForms();
    return 0;
}
