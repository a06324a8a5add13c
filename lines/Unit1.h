#pragma once

#include "app/Forms.h"

#include <QStringList>

// The line table: the invoice lines, their totals and the remembered choices.
class TForm1 : public TForm
{
    Q_OBJECT
public:
    TForm1();
    void FormCreate() override;

    QStringList MemoryList;
};

extern TForm1 *Form1;
