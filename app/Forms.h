#pragma once

#include <QWidget>

// A form of the program: a top-level window created once at start-up and living until the end;
// closing it only hides it. FormCreate is its creation handler, run once right after construction.
class TForm : public QWidget
{
    Q_OBJECT
public:
    explicit TForm(QWidget *parent = nullptr);
    virtual void FormCreate() {}
};

// Creates the five forms in the program's order (menu, line table, browser, page, print choice)
// and runs each creation handler; an error in one is reported and the creation goes on.
void CreateForms();
// Destroys the forms in reverse order and clears the global instances.
void DestroyForms();
