#pragma once

#include "journal/JournalRecord.h"
#include "ledger/SalesLedger.h"

#include <QPrinter>
#include <QVector>
#include <QWidget>

class QComboBox;
class QDateEdit;
class QToolButton;
class SalesLedgerView;

// What the journal window gives to other programs and to paper beyond its own rows: the sales
// ledger of a month and the e-invoice of a chosen document.

// "Дневник за продажбите": the ledger of a month and of one own company from the journal, on
// screen with the documents it leaves out and why, on paper, as PDF and as PRODAGBI.TXT.
class SalesLedgerWindow : public QWidget
{
    Q_OBJECT
public:
    explicit SalesLedgerWindow(QWidget *parent = nullptr);

    // Reads the journal again: the companies it names and the pages of the chosen month.
    void reload();
    // The ledger shown.
    const Ledger::SalesLedger &ledger() const { return m_ledger; }
    // The ledger's own printer, landscape; the invoice page's printer keeps its own layout.
    QPrinter &printer() { return m_printer; }

private:
    // Shows the ledger of the chosen company from the pages read.
    void showLedger();
    void printLedger();
    void saveLedgerPdf();
    void saveLedgerFile();

    QDateEdit *m_period;
    QComboBox *m_firm;
    SalesLedgerView *m_view;
    QToolButton *m_print, *m_pdf, *m_file;
    QVector<JournalEntry> m_pages;
    QVector<Ledger::Company> m_companies;
    Ledger::SalesLedger m_ledger;
    QPrinter m_printer;
};

// The ledger window, created at its first opening as a window of the owner, and read afresh.
SalesLedgerWindow *ShowSalesLedger(QWidget *owner);
// "Е-фактура": the e-invoice of the page's document, made again from the document the journal
// keeps, into a file the user picks.
void SaveEInvoiceOfPage(const JournalEntry &page, QWidget *owner);
