#include "euro/EuroCommand.h"

#include "base/ProgramFolder.h"
#include "document/CurrentDocument.h"
#include "document/Document.h"
#include "document/Transfer.h"
#include "euro/EuroSwitch.h"
#include "euro/HomeCurrency.h"
#include "lines/Unit1.h"
#include "masterdata/Table.h"
#include "masterdata/Unit4.h"
#include "print/Pr.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

#include <QDate>
#include <QDir>

namespace
{
QString Question(const QDate &today)
{
    return QStringLiteral(
               "Преминаване към евро\n\n"
               "Цените в „Стоки и Услуги“ ще бъдат превърнати в евро (1 EUR = 1.95583 лв.), "
               "курсовете на валутите – в евро за единица валута, а фактурите ще се издават в "
               "евро с левовете до тях.\n"
               "Преди това петте таблици се копират в папка %1 до папката DB.\n"
               "Таблицата с редовете и фактурата се изчистват. Преминаването е еднопосочно.\n\n"
               "Да премина ли към евро?")
        .arg(QStringLiteral("DB-BGN-") + today.toString(QStringLiteral("yyyyMMdd")));
}

// A page as a new run has it: the old one goes with everything written or typed on it.
void StartFreshPage()
{
    if (PrintOptionsForm)
        PrintOptionsForm->close();
    Doc->hide();
    CurrentDocument::instance().reset();
    Form1->StartAfresh();
    Doc->StartAfresh();
    // The fresh page has had no transfer: printing transfers first again, and nothing is printed
    // before one has run to its end.
    Transferred = false;
    TransferCompleted = false;
}
} // namespace

void SwitchToEuroCommand()
{
    // Another run of the program may have switched since this one started.
    if (RunHomeCurrency == HomeCurrency::Euro ||
        ReadHomeCurrency(SettingsPath(ProgramFolder)) == HomeCurrency::Euro) {
        dialogs().showMessage(QStringLiteral("Програмата вече работи в евро. Преминаването към "
                                             "евро се прави само веднъж."));
        return;
    }
    const QDate today = QDate::currentDate();
    if (!dialogs().askYesNo(Question(today)))
        return;

    // The tables are copied and rewritten as files: none may stay open in the browser.
    Form4->close();
    Form4->Table1->Close();
    const QString backup = SwitchToEuro(ProgramFolder, today);

    RunHomeCurrency = HomeCurrency::Euro;
    StartFreshPage();
    dialogs().showMessage(QStringLiteral("Програмата премина към евро.\nКопие на таблиците в "
                                         "лева е в папка %1.")
                              .arg(QDir::toNativeSeparators(backup)));
}
