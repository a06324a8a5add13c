#include "document/Numbering.h"

#include "app/Dialogs.h"
#include "app/Errors.h"
#include "app/Look.h"
#include "app/ProgramFolder.h"
#include "document/Document.h"
#include "document/DocumentNumber.h"
#include "lines/Unit1.h"
#include "masterdata/Table.h"
#include "masterdata/Unit4.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

bool NumberStored = false;

namespace
{
QString CurrentKind()
{
    return Form1->ComboBox2->currentText();
}

// The connection through which the browser's table reads and writes its file, so that the check
// and the store of a counter can run in one transaction on it.
QSqlDatabase ConnectionOf(const TTable &table)
{
    const QString file = QFileInfo(table.FilePath()).absoluteFilePath();
    const QStringList names = QSqlDatabase::connectionNames();
    for (const QString &name : names) {
        const QSqlDatabase db = QSqlDatabase::database(name, false);
        if (!db.isOpen())
            continue;
        QString path = db.databaseName();
        path = path.left(path.indexOf(QLatin1Char('?')));
        if (path.startsWith(QLatin1String("file:")))
            path = QUrl(path).toLocalFile();
        if (QFileInfo(path).absoluteFilePath() == file)
            return db;
    }
    return QSqlDatabase();
}

// Holds the table file's write lock from the check of the counter to its store.
class CounterTransaction
{
public:
    explicit CounterTransaction(const TTable &table) : m_db(ConnectionOf(table))
    {
        if (m_db.isValid()) {
            QSqlQuery begin(m_db);
            m_open = begin.exec(QStringLiteral("BEGIN IMMEDIATE"));
            if (!m_open)
                throw UserError(QStringLiteral("Броячът не може да бъде записан: файлът %1 е "
                                               "зает. Опитайте отново.")
                                    .arg(QDir::toNativeSeparators(table.FilePath())));
        }
    }
    ~CounterTransaction()
    {
        if (m_open) {
            QSqlQuery rollback(m_db);
            rollback.exec(QStringLiteral("ROLLBACK"));
        }
    }
    void commit()
    {
        if (!m_open)
            return;
        QSqlQuery commit(m_db);
        if (!commit.exec(QStringLiteral("COMMIT")))
            throw UserError(QStringLiteral("Броячът не може да бъде записан: %1")
                                .arg(commit.lastError().text()));
        m_open = false;
    }

private:
    QSqlDatabase m_db;
    bool m_open = false;
};

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

void StoreDocumentNumber()
{
    Form4->OpenFirm();
    TTable &table = *Form4->Table1;
    const int number = DocumentNumberValue(Doc->NO->caption());
    Doc->NO->setCaption(TenDigits(number));

    try {
        CounterTransaction transaction(table);
        // Another run of the program may have stored a number since this one opened the table.
        table.Refresh();
        TField *counter = table.FieldByName(CounterField(CurrentKind()));
        if (CounterMustAdvance(number, counter->AsString())) {
            table.Edit();
            counter->SetAsString(Doc->NO->caption());
            table.Post();
        }
        transaction.commit();
    } catch (...) {
        // The record shows again what the file holds.
        table.Cancel();
        table.Refresh();
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
