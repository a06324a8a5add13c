#pragma once

#include "journal/JournalRecord.h"
#include "ledger/SalesLedger.h"

#include <QStringList>
#include <QVector>

// The sales ledger of a month from the journal: the documents of one own company dated in the
// month, each once however many of its pages were printed.

// The own companies of the pages, by their VAT numbers, in the pages' order.
QVector<Ledger::Company> CompaniesOf(const QVector<JournalEntry> &pages);
// The company the ledger is kept for: the one whose VAT number (with or without "BG", blanks
// ignored) is named; with none named, the only one among the period's pages or, when the period
// has none, the only one the journal knows. Throws a UserError that lists the companies when it
// cannot tell.
Ledger::Company ChooseLedgerCompany(const QString &named, const QVector<JournalEntry> &periodPages,
                                    const QVector<JournalEntry> &companyPages);
// The ledger of a period from the journal's pages of it (ReadJournalPeriod): the company's
// documents, each once, from its original's page (a copy's when the journal holds only copies of
// it); a page whose ledger fields could not be completed is refused with the reason.
Ledger::SalesLedger LedgerOfPages(const Ledger::Company &company, const QString &period,
                                  const QVector<JournalEntry> &pages);
// The ledger of a period ("yyyymm") for the named company (see ChooseLedgerCompany) from the
// journal file, which is brought up to the current layout when older. Throws a UserError for a
// period that is no month or a company that cannot be chosen.
Ledger::SalesLedger JournalLedger(const QString &journalFile, const QString &period,
                                  const QString &firm);

// "--sales-ledger yyyymm [--firm VAT] [--output FILE]": writes the period's PRODAGBI.TXT from the
// journal of the program folder (to PRODAGBI.TXT in the current folder by default) and prints
// its summary; returns 0. A ledger that would leave a document out throws the UserError that
// names each such document, and nothing is written.
int SalesLedgerCommand(const QStringList &arguments);
