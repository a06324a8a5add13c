#include "document/Numbering.h"

#include "app/Dialogs.h"
#include "app/Look.h"
#include "base/Errors.h"
#include "base/FolderLock.h"
#include "base/Issuing.h"
#include "base/ProgramFolder.h"
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
#include <QSet>
#include <memory>

bool NumberStored = false;

namespace
{
QString CurrentKind()
{
    return Form1->ComboBox2->currentText();
}

// The number the last transfer wrote to NO, with the counter and own company it came from.
struct NumberSource {
    QString number;
    QString field;
    int firm = 0;
};
NumberSource Prepared;
// The numbers this run stored, as "own company/counter/number".
QSet<QString> StoredByThisRun;

QString StoreKey(int firm, const QString &field, int number)
{
    return QString::number(firm) + QLatin1Char('/') + field + QLatin1Char('/') +
           QString::number(number);
}

// The counter and the journal held together from before a print to its store, on the
// own-company record at HeldRecNo. Empty when the counter is held through the table alone.
std::unique_ptr<CounterAndJournal> BothHeld;
int HeldRecNo = 0;

bool Holding()
{
    if (BothHeld)
        return true;
    const TTable *table = Form4 ? Form4->Table1 : nullptr;
    return table && table->Active() && table->InTransaction() &&
           table->TableName() == kCounterTable;
}

void TellJournalFailed(const JournalError &error)
{
    dialogs().showMessage(error.message() +
                          QStringLiteral("\nНомерът се съхранява без запис в дневника."));
}

// Takes the counter and the journal together. A journal that cannot be used is reported, and
// the counter is then held through the table alone.
void HoldWithJournal(const TTable &table)
{
    try {
        BothHeld =
            std::make_unique<CounterAndJournal>(JournalFileName(TablesFolder()), table.FilePath());
        HeldRecNo = table.RecNo();
    } catch (const JournalError &error) {
        BothHeld.reset();
        TellJournalFailed(error);
    }
}

// Stores the number through the table's own transaction, already started; returns whether the
// counter moved.
bool StoreThroughTable(TTable &table, const QString &field, int number)
{
    bool stored = false;
    try {
        TField *counter = table.FieldByName(field);
        if (number > CounterValue(counter->AsString(), field)) {
            table.Edit();
            counter->SetAsString(TenDigits(number));
            table.Post();
            stored = true;
        }
        table.Commit();
    } catch (...) {
        table.Rollback();
        throw;
    }
    return stored;
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
} // namespace

void PrepareDocumentNumber()
{
    const QString field = CounterField(CurrentKind());
    const QString counter = Form4->Table1->FieldByName(field)->AsString();
    Doc->NO->setCaption(NextDocumentNumber(counter, field));
    Prepared = {Doc->NO->caption(), field, Form4->FirmRecNo};
}

void WriteNumberAndDates()
{
    const QString today = DateText(QDate::currentDate());
    Doc->Label15->setCaption(NumberAndDateLine(Doc->NO->caption(), today));
    Doc->Label57->setCaption(today);
    Doc->Label40->setCaption(today);
}

bool HoldDocumentNumber()
{
    // A run without the folder's lock or without a sure home currency numbers nothing.
    Issuing::Require();
    const int number = DocumentNumberValue(Doc->NO->caption());
    Form4->OpenFirm();
    TTable &table = *Form4->Table1;
    bool ahead = false;
    try {
        // Another program storing a number now has to wait for this print.
        HoldWithJournal(table);
        const QString field = CounterField(CurrentKind());
        QString counterText;
        if (BothHeld) {
            counterText = BothHeld->counter(HeldRecNo, field);
        } else {
            table.StartTransaction();
            table.Refresh();
            counterText = table.FieldByName(field)->AsString();
        }
        const int stored = CounterValue(counterText, field);
        const bool prepared = Doc->NO->caption() == Prepared.number && field == Prepared.field &&
                              Form4->FirmRecNo == Prepared.firm;
        if (prepared && number <= stored &&
            !StoredByThisRun.contains(StoreKey(Form4->FirmRecNo, field, number)))
            throw UserError(
                QStringLiteral("Номер %1 вече е използван: броячът „%2“ в таблицата %3 е "
                               "стигнал %4, записан от друго копие на програмата.\nНищо не е "
                               "отпечатано. Натиснете „Към фактурата“ и документът ще получи "
                               "нов номер.")
                    .arg(Doc->NO->caption(), field, kCounterTable, TenDigits(stored)));
        ahead = number > stored;
    } catch (...) {
        BothHeld.reset();
        table.Rollback();
        Form4->SpeedButton1Click();
        throw;
    }
    Form4->SpeedButton1Click();
    return ahead;
}

void StoreDocumentNumber(const PrintedPage *printed)
{
    if (!Holding())
        HoldDocumentNumber();
    TTable &table = *Form4->Table1;
    bool stored = false;
    const QString field = CounterField(CurrentKind());
    int number = 0;
    try {
        number = DocumentNumberValue(Doc->NO->caption());
        Doc->NO->setCaption(TenDigits(number));
    } catch (...) {
        ReleaseDocumentNumber();
        throw;
    }
    if (BothHeld) {
        try {
            stored = number > CounterValue(BothHeld->counter(HeldRecNo, field), field) &&
                     BothHeld->advanceCounter(HeldRecNo, field, number);
            if (printed)
                BothHeld->addPage(EntryOfPage(*printed));
            BothHeld->commit();
            BothHeld.reset();
        } catch (const JournalError &error) {
            // Nothing of the two was stored; the number goes into the counter alone.
            BothHeld.reset();
            TellJournalFailed(error);
            table.StartTransaction();
            stored = StoreThroughTable(table, field, number);
        } catch (...) {
            BothHeld.reset();
            throw;
        }
        // The browser shows the counter as stored.
        table.Refresh();
    } else {
        stored = StoreThroughTable(table, field, number);
    }
    if (stored)
        StoredByThisRun.insert(StoreKey(Form4->FirmRecNo, field, number));
}

void ForgetDocumentNumbers()
{
    Prepared = NumberSource();
    StoredByThisRun.clear();
}

void ReleaseDocumentNumber()
{
    BothHeld.reset();
    if (Form4 && Form4->Table1 && Form4->Table1->InTransaction())
        Form4->Table1->Rollback();
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
    // The new run opens the same table files and takes the same folder; let go of both first.
    if (Form4 && Form4->Table1)
        Form4->Table1->Close();
    const bool hadFolder = ProgramFolderLocked();
    UnlockProgramFolder();
    if (!dialogs().shellOpen(QCoreApplication::applicationFilePath(), ProgramFolder)) {
        // This run goes on with its invoice rather than ending with nothing in its place.
        if (hadFolder)
            LockProgramFolder(0);
        throw UserError(QStringLiteral("Новото копие на програмата не можа да бъде стартирано; "
                                       "работата продължава с този документ."));
    }
    // Leaves the message loop directly: closing the windows would run the menu's end and write the
    // memory file, which a new invoice must not do.
    QCoreApplication::exit(0);
}
