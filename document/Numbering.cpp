#include "document/Numbering.h"

#include "app/Dialogs.h"
#include "app/Look.h"
#include "app/ProgramFolder.h"
#include "document/Document.h"
#include "document/DocumentNumber.h"
#include "journal/JournalStore.h"
#include "journal/PageEntry.h"
#include "lines/Unit1.h"
#include "masterdata/Table.h"
#include "masterdata/Unit4.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDate>

bool NumberStored = false;

namespace
{
QString CurrentKind()
{
    return Form1->ComboBox2->currentText();
}

// The routine behind the manual number and the note reference: two queries, the first answer
// in ten-digit form; a cancelled query changes nothing.
void EditTwoParts(TLabel *label, const QString &a, const QString &b, TLabel *target)
{
    QString first;
    if (!dialogs().inputQuery(a, QString(), first))
        return;
    QString second;
    if (!dialogs().inputQuery(b, QString(), second))
        return;
    first = TenDigits(first);
    label->setCaption(a + first + b + second);
    if (target)
        target->setCaption(first);
}

// The counter and the journal in one transaction. False when the journal could not take the
// page: the user is told, and the caller stores the number alone.
bool StoreWithJournal(const PrintedPage &printed, int number)
{
    TTable &table = *Form4->Table1;
    const CounterStore counter{table.FilePath(), table.RecNo(), CounterField(CurrentKind()),
                               number};
    try {
        StoreCounterAndJournal(JournalFileName(TablesFolder()), counter, EntryOfPage(printed));
    } catch (const JournalError &error) {
        dialogs().showMessage(error.message() +
                              QStringLiteral("\nНомерът се съхранява без запис в дневника."));
        return false;
    }
    // The browser shows the counter as stored.
    table.Refresh();
    return true;
}
} // namespace

void PrepareDocumentNumber()
{
    const QString counter = Form4->Table1->FieldByName(CounterField(CurrentKind()))->AsString();
    Doc->NO->setCaption(NextDocumentNumber(counter));
}

void WriteNumberAndDates()
{
    const QString today = DateText(QDate::currentDate());
    Doc->Label15->setCaption(NumberAndDateLine(Doc->NO->caption(), today));
    Doc->Label57->setCaption(today);
    Doc->Label40->setCaption(today);
}

void StoreDocumentNumber(const PrintedPage *printed)
{
    Form4->OpenFirm();
    TTable &table = *Form4->Table1;
    const int number = DocumentNumberValue(Doc->NO->caption());
    Doc->NO->setCaption(TenDigits(number));
    if (printed && StoreWithJournal(*printed, number)) {
        Form4->SpeedButton1Click();
        return;
    }

    // The check and the store are one transaction: another run of the program may have stored a
    // number since this one opened the table, and none can store between them.
    table.StartTransaction();
    try {
        table.Refresh();
        TField *counter = table.FieldByName(CounterField(CurrentKind()));
        if (CounterMustAdvance(number, counter->AsString())) {
            table.Edit();
            counter->SetAsString(Doc->NO->caption());
            table.Post();
        }
        table.Commit();
    } catch (...) {
        table.Rollback();
        throw;
    }
    Form4->SpeedButton1Click();
}

void EditNumberAndDate()
{
    EditTwoParts(Doc->Label15, QStringLiteral("№ "), QStringLiteral(" / Дата(Date): "), Doc->NO);
}

void EditNoteReference()
{
    EditTwoParts(Doc->Label22, QStringLiteral("от дата / from date: "),
                 QStringLiteral(", към фактура № / to invoice No: "), nullptr);
}

void StartNewInvoice()
{
    // The new run opens the same table files; let go of them first.
    if (Form4 && Form4->Table1)
        Form4->Table1->Close();
    dialogs().shellOpen(QCoreApplication::applicationFilePath(), ProgramFolder);
    // Leaves the message loop directly: closing the windows would run the menu's end and write the
    // memory file, which a new invoice must not do.
    QCoreApplication::exit(0);
}
