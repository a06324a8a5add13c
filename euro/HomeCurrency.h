#pragma once

#include <QDate>
#include <QString>

// The home currency of the program: the currency of the tables' prices and of the first amount
// column, totals and words of every invoice. The tables say which it is: the switch to the euro
// leaves a note in each table it converts (see MarkTableInEuro). The setting file "Vornex.ini"
// only mirrors it, and is written anew when it is missing, damaged or says otherwise. The switch
// to euro is one way.
enum class HomeCurrency { Leva, Euro };

// The home currency of this run, settled by the line table's start-up; leva until then.
extern HomeCurrency RunHomeCurrency;

// The tables whose amounts are in the home currency: the switch converts exactly these.
inline const char *const kHomeCurrencyTables[] = {"stock.db", "currency.db"};

// The setting file beside "Vmem.txt": programFolder + "/Vornex.ini".
QString SettingsPath(const QString &programFolder);

// What the setting file says.
struct CurrencySetting {
    enum State { Missing, Damaged, Leva, Euro };
    State state = Missing;
    QString problem; // why it is taken for damaged, in the user's words
};
// Reads the setting file: Missing when there is no file or no entry; Damaged when a folder is in
// its place, it cannot be read, it is not text of settings, or its entry is neither BGN nor EUR.
CurrencySetting ReadCurrencySetting(const QString &settingsFile);
// The same reading of the file's bytes.
CurrencySetting ParseCurrencySetting(const QByteArray &bytes);
// Stores the home currency in the setting file, replacing it whole; throws a UserError naming the
// file and the reason when it cannot be written (the file then stays as it was).
void WriteHomeCurrency(const QString &settingsFile, HomeCurrency home);

// What the tables in a folder say about their currency.
struct TablesCurrency {
    enum State {
        Euro,        // every converted table carries the switch's note
        Mixed,       // some carry it and some do not: a switch half done or tables mixed by hand
        RecordsLeva, // no notes; the currencies hold EUR and no BGN, as tables never switched
        RecordsEuro, // no notes; BGN stands where EUR was, as an earlier version switched them
        Unknown      // no notes, and the currencies do not tell
    };
    State state = Unknown;
    QString detail; // for Mixed: which table is in which currency
};
TablesCurrency ReadTablesCurrency(const QString &tablesFolder);
// Notes in a converted table file that its amounts are in euro; throws a UserError when the
// file cannot be written.
void MarkTableInEuro(const QString &tableFile);
// Whether the table file carries that note; false also when it cannot be read.
bool TableMarkedInEuro(const QString &tableFile);

// How a run takes its home currency from the tables and the setting file.
struct HomeCurrencyDecision {
    HomeCurrency home = HomeCurrency::Leva;
    bool rewriteSetting = false; // the setting file is written anew with `home`
    bool markTables = false; // the tables get the note they lack (switched by an earlier version)
    QString notice;          // what the user is told, empty when nothing
    QString refusal;         // why no document may be issued, empty when they may
};
// The decision for what was read; a contradiction that the tables do not settle is a refusal.
HomeCurrencyDecision DecideHomeCurrency(const TablesCurrency &tables,
                                        const CurrencySetting &setting,
                                        const QString &settingsFile);
// Reads the tables of programFolder/DB and the setting file, decides, and carries the decision
// out: the setting file rewritten, the notes added. A setting file that cannot be rewritten is
// added to the notice; the home currency stays the tables' one.
HomeCurrencyDecision SettleHomeCurrency(const QString &programFolder);

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
