#include "journal/JournalOutputs.h"

#include "base/ProgramFolder.h"
#include "einvoice/EInvoiceFile.h"
#include "journal/EInvoiceExport.h"
#include "journal/JournalStore.h"
#include "journal/LedgerCommand.h"
#include "ledger/LedgerFile.h"
#include "ledger/LedgerPaper.h"
#include "ledger/LedgerView.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QToolButton>
#include <QVBoxLayout>

namespace
{
QToolButton *Button(QWidget *parent, const QString &name, const QString &caption)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setAutoRaise(true);
    return button;
}

// The month whose return is due: the one before the current one.
QDate LastMonth()
{
    const QDate today = QDate::currentDate();
    return QDate(today.year(), today.month(), 1).addMonths(-1);
}
} // namespace

SalesLedgerWindow::SalesLedgerWindow(QWidget *parent)
    : QWidget(parent), m_period(new QDateEdit(LastMonth(), this)), m_firm(new QComboBox(this)),
      m_view(new SalesLedgerView(this)),
      m_print(Button(this, QStringLiteral("PrintButton"), QStringLiteral("Печат"))),
      m_pdf(Button(this, QStringLiteral("PdfButton"), QStringLiteral("Запиши PDF"))),
      m_file(Button(this, QStringLiteral("FileButton"), QStringLiteral("Запиши PRODAGBI.TXT")))
{
    setObjectName(QStringLiteral("SalesLedger"));
    setWindowFlags(Qt::Window);
    setWindowTitle(QStringLiteral("Дневник за продажбите"));
    resize(1100, 600);
    m_period->setObjectName(QStringLiteral("PeriodEdit"));
    m_period->setDisplayFormat(QStringLiteral("MM.yyyy"));
    m_period->setCalendarPopup(true);
    m_firm->setObjectName(QStringLiteral("FirmBox"));

    auto *choice = new QHBoxLayout;
    choice->addWidget(new QLabel(QStringLiteral("Период:"), this));
    choice->addWidget(m_period);
    choice->addWidget(new QLabel(QStringLiteral("Фирма:"), this));
    choice->addWidget(m_firm, 1);
    auto *buttons = new QHBoxLayout;
    for (QToolButton *button : {m_print, m_pdf, m_file})
        buttons->addWidget(button);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);

    connect(m_period, &QDateEdit::dateChanged, this, [this] { RunHandler([this] { reload(); }); });
    connect(m_firm, &QComboBox::currentIndexChanged, this,
            [this] { RunHandler([this] { showLedger(); }); });
    connect(m_print, &QToolButton::clicked, this, Handler(this, &SalesLedgerWindow::printLedger));
    connect(m_pdf, &QToolButton::clicked, this, Handler(this, &SalesLedgerWindow::saveLedgerPdf));
    connect(m_file, &QToolButton::clicked, this, Handler(this, &SalesLedgerWindow::saveLedgerFile));
}

void SalesLedgerWindow::reload()
{
    // What was shown goes first, so that a journal that cannot be read shows nothing of another
    // month.
    m_pages.clear();
    m_companies.clear();
    m_ledger = Ledger::SalesLedger();
    m_view->setLedger(m_ledger);
    const QString journal = JournalFileName(TablesFolder());
    const QString period = m_period->date().toString(QStringLiteral("yyyyMM"));
    m_pages = ReadJournalPeriod(journal, period);
    m_companies = CompaniesOf(ReadJournalCompanies(journal));

    // The company chosen before stays; otherwise the one of the month's documents.
    QString chosen = m_firm->currentData().toString();
    const QVector<Ledger::Company> inPeriod = CompaniesOf(m_pages);
    if (!inPeriod.isEmpty() &&
        std::none_of(inPeriod.begin(), inPeriod.end(),
                     [&chosen](const Ledger::Company &c) { return c.vatNumber == chosen; }))
        chosen = inPeriod.first().vatNumber;
    {
        const QSignalBlocker blocker(m_firm);
        m_firm->clear();
        for (const Ledger::Company &company : m_companies)
            m_firm->addItem(QStringLiteral("%1 (%2)").arg(company.name, company.vatNumber),
                            company.vatNumber);
        m_firm->setCurrentIndex(qMax(0, m_firm->findData(chosen)));
    }
    showLedger();
}

void SalesLedgerWindow::showLedger()
{
    const QString period = m_period->date().toString(QStringLiteral("yyyyMM"));
    Ledger::Company company;
    for (const Ledger::Company &known : m_companies)
        if (known.vatNumber == m_firm->currentData().toString())
            company = known;
    m_ledger = LedgerOfPages(company, period, m_pages);
    m_view->setLedger(m_ledger);
}

void SalesLedgerWindow::printLedger()
{
    // Refused before the printer is asked for.
    Ledger::RequireComplete(m_ledger);
    if (dialogs().printDialog(m_printer, this))
        Ledger::PaintLedger(m_printer, m_ledger);
}

void SalesLedgerWindow::saveLedgerPdf()
{
    Ledger::RequireComplete(m_ledger);
    const QString fileName = dialogs().saveFileName(
        this, ProgramPath(QStringLiteral("Дневник за продажбите %1.pdf").arg(m_ledger.period)),
        QStringLiteral("PDF (*.pdf)"));
    if (!fileName.isEmpty())
        Ledger::WriteLedgerPdf(m_ledger, fileName);
}

void SalesLedgerWindow::saveLedgerFile()
{
    Ledger::RequireComplete(m_ledger);
    const QString fileName =
        dialogs().saveFileName(this, ProgramPath(QStringLiteral("PRODAGBI.TXT")),
                               QStringLiteral("PRODAGBI.TXT (*.TXT *.txt)"));
    if (fileName.isEmpty())
        return;
    Ledger::WriteFile(m_ledger, fileName);
    dialogs().showMessage(Ledger::Summary(m_ledger) + QStringLiteral("\nЗаписан в ") +
                          QDir::toNativeSeparators(fileName));
}

SalesLedgerWindow *ShowSalesLedger(QWidget *owner)
{
    static QPointer<SalesLedgerWindow> window;
    if (!window)
        window = new SalesLedgerWindow(owner);
    window->show();
    window->raise();
    window->reload();
    return window;
}

void SaveEInvoiceOfPage(const JournalEntry &page, QWidget *owner)
{
    const Invoice document = JournalDocumentOf(JournalFileName(TablesFolder()), page);
    const QString fileName = dialogs().saveFileName(owner, ProgramPath(EInvoiceFileNameOf(page)),
                                                    QStringLiteral("Е-фактура (*.xml)"));
    if (!fileName.isEmpty())
        EInvoice::WriteFile(document, fileName);
}
