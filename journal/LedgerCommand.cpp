#include "journal/LedgerCommand.h"

#include "base/CommandOutput.h"
#include "base/Errors.h"
#include "base/ProgramFolder.h"
#include "document/DocumentNumber.h"
#include "journal/CommandArguments.h"
#include "journal/JournalStore.h"
#include "ledger/LedgerFile.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>

namespace
{
// Blanks of any kind, as a number may be typed with them.
const QRegularExpression kBlanks(QStringLiteral("\\s"));

const QString kUsage = QStringLiteral("--sales-ledger ггггмм [--firm ИН] [--output ФАЙЛ]");

// A VAT number as the ledger writes it: blanks dropped, capitals, "BG" before digits alone.
QString VatKey(const QString &vatNumber)
{
    QString key = vatNumber;
    key = key.remove(kBlanks).toUpper();
    if (!key.isEmpty() && key.at(0).isDigit())
        key.prepend(QStringLiteral("BG"));
    return key;
}

QString CompanyList(const QVector<Ledger::Company> &companies)
{
    QStringList lines;
    for (const Ledger::Company &company : companies)
        lines << QStringLiteral("  %1 – %2")
                     .arg(company.vatNumber.isEmpty() ? QStringLiteral("(без ИН по ЗДДС)")
                                                      : company.vatNumber,
                          company.name);
    return lines.join(QLatin1Char('\n'));
}

// How a page whose ledger fields are incomplete is named: as the ledger names its documents.
QString PageName(const JournalEntry &page)
{
    QString name = page.kind.isEmpty() ? QStringLiteral("Документ") : page.kind;
    if (!page.number.isEmpty())
        name += QStringLiteral(" № ") + page.number;
    if (!page.documentDate.isEmpty())
        name += QStringLiteral(" от ") + page.documentDate;
    return name;
}
} // namespace

QVector<Ledger::Company> CompaniesOf(const QVector<JournalEntry> &pages)
{
    QVector<Ledger::Company> companies;
    for (const JournalEntry &page : pages) {
        const Ledger::Company company = LedgerCompanyOf(page);
        const bool known =
            std::any_of(companies.begin(), companies.end(), [&company](const Ledger::Company &c) {
                return c.vatNumber == company.vatNumber;
            });
        if (!known)
            companies.append(company);
    }
    return companies;
}

Ledger::Company ChooseLedgerCompany(const QString &named, const QVector<JournalEntry> &periodPages,
                                    const QVector<JournalEntry> &companyPages)
{
    const QVector<Ledger::Company> known = CompaniesOf(companyPages);
    if (!named.trimmed().isEmpty()) {
        for (const Ledger::Company &company : known)
            if (!company.vatNumber.isEmpty() && company.vatNumber == VatKey(named))
                return company;
        throw UserError(
            QStringLiteral("Дневникът няма документи на фирма с ИН по ЗДДС %1. Фирмите в него:\n%2")
                .arg(VatKey(named), CompanyList(known)));
    }
    const QVector<Ledger::Company> inPeriod = CompaniesOf(periodPages);
    const QVector<Ledger::Company> &candidates = inPeriod.isEmpty() ? known : inPeriod;
    if (candidates.size() == 1)
        return candidates.first();
    if (candidates.isEmpty())
        throw UserError(QStringLiteral("Дневникът няма издадени документи: няма фирма, за която "
                                       "да бъде съставен дневникът за продажбите."));
    throw UserError(QStringLiteral("В дневника има документи на няколко фирми. Посочете за коя е "
                                   "дневникът за продажбите с --firm и нейния ИН по ЗДДС:\n%1")
                        .arg(CompanyList(candidates)));
}

Ledger::SalesLedger LedgerOfPages(const Ledger::Company &company, const QString &period,
                                  const QVector<JournalEntry> &pages)
{
    // A document is its number in its series of its company; the original is the page that was
    // handed over, a copy of it the same document again.
    QVector<JournalEntry> documents;
    QHash<QString, int> places;
    for (const JournalEntry &page : pages) {
        if (page.series == kProformaCounter ||
            VatKey(LedgerCompanyOf(page).vatNumber) != VatKey(company.vatNumber))
            continue;
        const QString key =
            QStringList{page.series, page.number, page.supplierVat, page.supplierId}.join(
                QChar(0x1F));
        const auto place = places.constFind(key);
        if (place == places.constEnd()) {
            places.insert(key, int(documents.size()));
            documents.append(page);
        } else if (documents[*place].copy && !page.copy) {
            documents[*place] = page;
        }
    }
    QVector<Ledger::Document> complete;
    QVector<Ledger::Refusal> incomplete;
    for (const JournalEntry &document : documents) {
        if (document.ledger.problem.isEmpty())
            complete.append(LedgerDocumentOf(document));
        else
            incomplete.append({PageName(document), document.ledger.problem});
    }
    Ledger::SalesLedger ledger = Ledger::Build(company, period, complete);
    ledger.refused += incomplete;
    return ledger;
}

Ledger::SalesLedger JournalLedger(const QString &journalFile, const QString &period,
                                  const QString &firm)
{
    Ledger::PeriodCurrency(period); // a period that is no month is refused before the journal
    const QVector<JournalEntry> pages = ReadJournalPeriod(journalFile, period);
    const Ledger::Company company =
        ChooseLedgerCompany(firm, pages, ReadJournalCompanies(journalFile));
    return LedgerOfPages(company, period, pages);
}

int SalesLedgerCommand(const QStringList &arguments)
{
    const CommandArguments given = ParseCommandArguments(
        arguments, {QStringLiteral("--output"), QStringLiteral("--firm")}, {}, kUsage);
    const QString output = QDir::current().absoluteFilePath(
        given.options.value(QStringLiteral("--output"), QStringLiteral("PRODAGBI.TXT")));
    const Ledger::SalesLedger ledger = JournalLedger(JournalFileName(TablesFolder()), given.value,
                                                     given.options.value(QStringLiteral("--firm")));
    Ledger::WriteFile(ledger, output);
    PrintOutput(Ledger::Summary(ledger) + QStringLiteral("; записан в ") +
                QDir::toNativeSeparators(output));
    return 0;
}
