#pragma once

#include "app/Forms.h"

// The print choice: original or copy, and the colour depth of the archived page.
class TPrintOptionsForm : public TForm
{
    Q_OBJECT
public:
    TPrintOptionsForm();
};

extern TPrintOptionsForm *PrintOptionsForm;
