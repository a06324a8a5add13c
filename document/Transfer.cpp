#include "document/Transfer.h"

#include "document/CurrentDocument.h"
#include "document/Document.h"
#include "document/DocumentLines.h"
#include "document/Numbering.h"
#include "document/WordsLines.h"
#include "document/ZeroVatGrounds.h"
#include "euro/HomeCurrency.h"
#include "lines/Unit1.h"
#include "masterdata/Unit4.h"

#include <QComboBox>

bool Transferred = false;
bool TransferCompleted = false;

namespace
{
// Opens a master table through the browser at its remembered record, closes the window again
// and takes the record into the document, as the user would.
void TakeAgain(void (TForm4::*opener)())
{
    (Form4->*opener)();
    Form4->close();
    Form4->SpeedButton2Click();
}
} // namespace

void TransferToDocument()
{
    Transferred = true;
    TransferCompleted = false;

    // The lines first: a line that cannot be worked out stops the transfer before anything of
    // the document changes.
    const WorkedLines worked = Form1->WorkOutTable();
    const QString ground = Form1->ComboBox4->currentText();
    ChangeDocument([&worked, &ground](Invoice &doc) {
        doc.title = Form1->ComboBox2->currentText();
        doc.noteTitle = Form1->ComboBox1->currentText();
        doc.zeroVatGround = ground == kNoZeroVatGround ? QString() : ground;
        doc.vatText = VatText;
        doc.vatPercent = qRound(VatFactor * 100);
        doc.homeCurrency = IsoCurrencyCode(HomeCode(RunHomeCurrency));
        doc.foreignCurrency = Form1->CurrencyCode;
        doc.foreignRate = Form1->CurrencyRate;
        doc.lines = worked.lines;
        doc.home = worked.home;
        doc.foreign = worked.foreign;
        doc.words = DocumentWords(doc);
    });

    Form4->OpenFirm();
    Form4->close();
    PrepareDocumentNumber();
    Form4->SpeedButton2Click();
    TakeAgain(&TForm4::OpenBank);
    WriteNumberAndDates();

    TransferCompleted = true;
    Doc->show();
    Doc->raise();
    Doc->activateWindow();
}
