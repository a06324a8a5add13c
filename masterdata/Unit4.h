#pragma once

#include "app/Forms.h"

// The master-data browser: one window over whichever of the five tables is open.
class TForm4 : public TForm
{
    Q_OBJECT
public:
    TForm4();

    // The openers behind the menu's five master-data buttons.
    void OpenFirm();
    void OpenBank();
    void OpenStock();
    void OpenCustomers();
    void OpenCurrency();
};

extern TForm4 *Form4;
