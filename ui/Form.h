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
