#include "app/Forms.h"

#include "app/Menu.h"
#include "document/CurrentDocument.h"
#include "document/Document.h"
#include "lines/Unit1.h"
#include "masterdata/Unit4.h"
#include "print/Pr.h"
#include "print/PrintPage.h"
#include "ui/Application.h"

namespace
{
template <typename Form> void Create(Form *&instance)
{
    instance = new Form();
    RunHandler([instance] { instance->FormCreate(); });
}
} // namespace

void CreateForms()
{
    // A run starts with a document of its own.
    CurrentDocument::instance().reset();
    Create(Main);
    Create(Form1);
    Create(Form4);
    Create(Doc);
    Create(PrintOptionsForm);
    // The page's buttons open the print choice and the preview; closing the page closes the
    // print choice.
    QObject::connect(Doc, &TDoc::printRequested, PrintOptionsForm, [] {
        PrintOptionsForm->show();
        PrintOptionsForm->raise();
        PrintOptionsForm->activateWindow();
    });
    QObject::connect(Doc, &TDoc::previewRequested, PrintOptionsForm,
                     [] { RunHandler([] { PreviewPage(PrintOptionsForm->Printer(), Doc); }); });
    QObject::connect(Doc, &TDoc::closed, PrintOptionsForm, [] { PrintOptionsForm->close(); });
}

void DestroyForms()
{
    delete PrintOptionsForm;
    PrintOptionsForm = nullptr;
    delete Doc;
    Doc = nullptr;
    delete Form4;
    Form4 = nullptr;
    delete Form1;
    Form1 = nullptr;
    delete Main;
    Main = nullptr;
}
