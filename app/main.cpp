#include "app/Application.h"
#include "app/Forms.h"
#include "app/Menu.h"
#include "app/ProgramFolder.h"

int main(int argc, char **argv)
{
    TakeProgramFolder();
    VornexApplication app(argc, argv);
    RunHandler([] {
        CreateForms();
        if (Main)
            Main->show();
    });
    app.exec();
    DestroyForms();
    return 0;
}
