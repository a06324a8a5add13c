#include "document/Numbering.h"

#include "base/Clock.h"
#include "base/Errors.h"
#include "base/FolderLock.h"
#include "base/ProgramFolder.h"
#include "document/CurrentDocument.h"
#include "document/Document.h"
#include "document/DocumentNumber.h"
#include "document/PageText.h"
#include "journal/JournalStore.h"
#include "lines/Unit1.h"
#include "masterdata/Table.h"
#include "masterdata/Unit4.h"
#include "ui/Dialogs.h"
#include "ui/Look.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QSet>
#include <memory>

bool NumberStored = false;

namespace
{
// The counter field of the document as the line table's kind chooses it now.
QString CurrentCounterField()
{
    return CounterField(Form1->ComboBox2->currentText());
}

// The number the last transfer wrote to NO, with the counter and own company it came from.
struct NumberSource {
    QString number;
    QString field;
    int firm = 0;
};
NumberSource Prepared;
// The numbers this run printed, as "own company/counter/number".
QSet<QString> Issued;

QString IssueKey(int firm, const QString &field, qint64 number)
{
    return QString::number(firm) + QLatin1Char('/') + field + QLatin1Char('/') +
           QString::number(number);
}

} // namespace

void PrepareDocumentNumber()
{
    const QString field = CurrentCounterField();
    const QString counter = Form4->Table1->FieldByName(field)->AsString();
    const QString number = NextDocumentNumber(counter, field);
    ChangeDocument([&number](Invoice &doc) { doc.number = number.toLongLong(); });
    Prepared = {number, field, Form4->FirmRecNo};
}

void WriteNumberAndDates()
{
    const QDate today = Today();
    ChangeDocument([&today](Invoice &doc) {
        doc.issueDate = today;
        doc.taxEventDate = today;
        doc.paymentDate = today;
    });
}

IssueRequest IssueRequestOf(const Invoice &doc, bool archiveHolds)
{
    IssueRequest request;
    request.tablesFolder = TablesFolder();
    request.firmRecNo = doc.firmRecNo;
    request.counterField = CurrentCounterField();
    request.number = doc.number;
    request.supplierVat = doc.supplier.vatNumber.trimmed();
    request.supplierId = doc.supplier.id.trimmed();
    request.prepared = doc.numberText() == Prepared.number &&
                       request.counterField == Prepared.field && doc.firmRecNo == Prepared.firm;
    request.issuedByThisRun = IssuedByThisRun(doc);
    request.archiveHolds = archiveHolds;
    return request;
}

bool IssuedByThisRun(const Invoice &doc)
{
    return Issued.contains(IssueKey(doc.firmRecNo, CurrentCounterField(), doc.number));
}

void RememberIssued(const Invoice &doc)
{
    Issued.insert(IssueKey(doc.firmRecNo, CurrentCounterField(), doc.number));
}

void ForgetDocumentNumbers()
{
    Prepared = NumberSource();
    Issued.clear();
}

void EditNumberAndDate()
{
    QString number;
    if (!dialogs().inputQuery(QStringLiteral("№ "), QString(), number))
        return;
    QString date;
    if (!dialogs().inputQuery(QStringLiteral(" / Дата(Date): "), QString(), date))
        return;
    const qint64 value = ManualDocumentNumber(number);
    const QDate issued = ParsePageDate(date);
    if (!issued.isValid())
        throw UserError(QStringLiteral("„%1“ не е дата. Въведете датата като дд.мм.гггг, например "
                                       "08.12.2026.")
                            .arg(date.trimmed()));
    ChangeDocument([value, &issued](Invoice &doc) {
        doc.number = value;
        doc.issueDate = issued;
    });
}

void EditNoteReference()
{
    QString date;
    if (!dialogs().inputQuery(QStringLiteral("от дата / from date: "), QString(), date))
        return;
    QString number;
    if (!dialogs().inputQuery(QStringLiteral(", към фактура № / to invoice No: "), QString(),
                              number))
        return;
    const QDate referenced = ParsePageDate(date);
    if (!date.trimmed().isEmpty() && !referenced.isValid())
        throw UserError(QStringLiteral("„%1“ не е дата. Въведете датата на фактурата като "
                                       "дд.мм.гггг.")
                            .arg(date.trimmed()));
    ChangeDocument([&referenced, &number](Invoice &doc) {
        doc.referenceDate = referenced;
        doc.referenceNumber = ReferencedNumber(number);
    });
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
