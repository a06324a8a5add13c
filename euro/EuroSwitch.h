#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// The switch of the program's home currency from leva to the euro, one way. The master tables
// in programFolder/DB must not be open elsewhere while it runs.
//
// 1. A marker file (SwitchMarkerPath) says that a switch is under way, which tables and setting
//    it changes and where their backup is; it is written before anything else and removed last.
// 2. The five tables are copied into a new backup folder beside DB, "DB-BGN-yyyyMMdd" (with
//    "-2", "-3", ... when that folder exists already; an existing one is never written into).
// 3. stock.db: every "Продажна цена" becomes its euro value (Decimal::LevaToEuro), in one
//    transaction; then the table gets its note that it is in euro (MarkTableInEuro).
// 4. currency.db: every "Курс" (leva for one unit) becomes euro for one unit, rounded to ten
//    decimals; the "EUR" record becomes "BGN" at 0.5112918812, or such a record is added when
//    there is neither; in one transaction; then its note.
// 5. The setting file says EUR, and the marker goes.
// A failure at any step restores the converted tables from the backup, leaves the setting at
// leva and throws a UserError saying what failed; the backup stays. A run killed on the way
// leaves the marker, and the next start finishes or undoes the switch (RepairInterruptedSwitch).
// Returns the backup folder.
QString SwitchToEuro(const QString &programFolder, const QDate &today);

// The marker of a switch under way: programFolder + "/Vornex-EuroSwitch.txt".
QString SwitchMarkerPath(const QString &programFolder);

// What a start did about a switch that a killed run left half done.
struct SwitchRepair {
    enum Outcome {
        Nothing,   // no switch was under way
        Completed, // every table was converted; the setting was written and the switch is done
        Undone,    // the tables were put back from the backup; the program stays in leva
    };
    Outcome outcome = Nothing;
    QString message; // what the user is told, one message; empty for Nothing
};
// Runs before anything else reads the tables at every start. Throws a UserError when the switch
// can be neither finished nor undone (the disk is full); the marker then stays for the next start.
SwitchRepair RepairInterruptedSwitch(const QString &programFolder);

// "Vornex2007 --switch-to-euro": the switch without a question in the program folder; prints what
// it did and returns 0, also when the program already works in euro. A refusal throws.
int SwitchToEuroVerb(const QStringList &arguments);
// "Vornex2007 --home-currency": prints the home currency the tables say (BGN or EUR) and returns
// 0; a home currency that cannot be told throws the reason.
int HomeCurrencyVerb(const QStringList &arguments);

// The tables of the program, as the backup copies them.
inline const char *const kTableFiles[] = {"Firm.db", "Details.db", "stock.db", "customer.db",
                                          "currency.db"};
