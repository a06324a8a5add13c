#pragma once

#include <QDate>
#include <QString>

// The switch of the program's home currency from leva to the euro, one way. The master tables
// in programFolder/DB must not be open elsewhere while it runs.
//
// 1. The five tables are copied into a new backup folder beside DB, "DB-BGN-yyyyMMdd" (with
//    "-2", "-3", ... when that folder exists already; an existing one is never written into).
// 2. stock.db: every "Продажна цена" becomes its euro value (Decimal::LevaToEuro), in one
// transaction.
// 3. currency.db: every "Курс" (leva for one unit) becomes euro for one unit, rounded to ten
//    decimals; the "EUR" record becomes "BGN" at 0.5112918812, or such a record is added when
//    there is neither; in one transaction.
// 4. The setting file says EUR.
// A failure at any step restores every table already changed from the backup, leaves the setting
// at leva and throws a UserError saying what failed; the backup stays. Returns the backup folder.
QString SwitchToEuro(const QString &programFolder, const QDate &today);

// The tables of the program, as the backup copies them.
inline const char *const kTableFiles[] = {"Firm.db", "Details.db", "stock.db", "customer.db",
                                          "currency.db"};
