#include "app/Forms.h"

#include "app/Application.h"
#include "app/Menu.h"
#include "document/Document.h"
#include "lines/Unit1.h"
#include "masterdata/Unit4.h"
#include "print/Pr.h"

TForm::TForm(QWidget *parent) : QWidget(parent, Qt::Window) {}

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
    Create(Main);
    Create(Form1);
    Create(Form4);
    Create(Doc);
    Create(PrintOptionsForm);
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
