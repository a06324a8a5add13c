#pragma once

#include "app/Forms.h"

class QToolButton;
class TLabel;

// The invoice page: one printable bilingual page, the store of the finished document.
class TDoc : public TForm
{
    Q_OBJECT
public:
    TDoc();

    QToolButton *SpeedButton1; // "Отпечатай"
    TLabel *Label1;            // the document kind
    TLabel *Label21;           // the note kind
    TLabel *Label19;           // the zero-VAT ground
};

extern TDoc *Doc;
