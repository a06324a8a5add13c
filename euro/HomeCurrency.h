#pragma once

#include <QDate>
#include <QString>

// The home currency of the program: the currency of the tables' prices and of the first amount
// column, totals and words of every invoice. Leva unless the setting file says euro; the switch to
// euro is one way.
enum class HomeCurrency { Leva, Euro };

// The home currency of this run, read by the line table's start-up; leva until then.
extern HomeCurrency RunHomeCurrency;

// The setting file beside "Vmem.txt": programFolder + "/Vornex.ini".
QString SettingsPath(const QString &programFolder);
// The home currency kept in the setting file: leva when the file or the entry is missing. An
// entry that is neither "BGN" nor "EUR", or a file that cannot be read, throws a UserError.
HomeCurrency ReadHomeCurrency(const QString &settingsFile);
// Stores the home currency in the setting file, replacing it whole; throws a UserError when the
// file cannot be written (the file then stays as it was).
void WriteHomeCurrency(const QString &settingsFile, HomeCurrency home);

// The code the invoice writes after home amounts: "BGL" for leva, "EUR" for euro.
QString HomeCode(HomeCurrency home);
// The foreign currency every run starts with: the euro at 1.95583 leva, or, once the home
// currency is the euro, the lev at 0.5112918812 euro, so the second column shows leva.
QString StartCurrencyCode(HomeCurrency home);
double StartCurrencyRate(HomeCurrency home);

// Shown on the invoice window, beside the page, while invoices dated 2026 or later are still made
// in leva.
inline const QString kEuroNotice =
    QStringLiteral("От 01.01.2026 г. фактурите се издават в евро — Меню › Евро");
// Whether that notice is due: the home currency is leva and the document is dated on or after
// 1 January 2026. No date, no notice.
bool EuroNoticeDue(HomeCurrency home, const QDate &documentDate);
