#include "journal/EInvoiceExport.h"

#include "base/CommandOutput.h"
#include "base/Errors.h"
#include "base/ProgramFolder.h"
#include "document/DocumentNumber.h"
#include "document/InvoiceJson.h"
#include "einvoice/EInvoiceFile.h"
#include "journal/CommandArguments.h"
#include "journal/JournalStore.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace
{
// Blanks of any kind, as a number may be typed with them.
const QRegularExpression kBlanks(QStringLiteral("\\s"));

const QString kUsage = QStringLiteral("--einvoice НОМЕР [--proforma] [--firm ИН] [--output ФАЙЛ]");

QString WithoutBlanks(QString text)
{
    return text.remove(kBlanks).toUpper();
}

// Whether the page is of the company named by its VAT number or its ЕИК.
bool OfFirm(const JournalEntry &page, const QString &firm)
{
    const QString named = WithoutBlanks(firm);
    const QString vat = WithoutBlanks(page.supplierVat);
    return named == vat || named == QStringLiteral("BG") + vat ||
           (!named.isEmpty() && named == WithoutBlanks(page.supplierId));
}

QString CompanyOf(const JournalEntry &page)
{
    return QStringLiteral("  ИН по ЗДДС %1, ЕИК %2 – %3")
        .arg(page.supplierVat, page.supplierId, page.supplierName.section(QLatin1Char('\n'), 0, 0));
}
} // namespace

JournalEntry ChooseEInvoicePage(const QVector<JournalEntry> &pages, const QString &firm,
                                const QString &documentName)
{
    QVector<JournalEntry> candidates;
    for (const JournalEntry &page : pages)
        if (firm.trimmed().isEmpty() || OfFirm(page, firm))
            candidates.append(page);
    if (candidates.isEmpty())
        throw UserError(firm.trimmed().isEmpty()
                            ? QStringLiteral("%1 не е в дневника.").arg(documentName)
                            : QStringLiteral("%1 на фирма %2 не е в дневника.")
                                  .arg(documentName, firm.trimmed()));
    QStringList companies;
    for (const JournalEntry &page : candidates)
        if (!companies.contains(CompanyOf(page)))
            companies << CompanyOf(page);
    if (companies.size() > 1)
        throw UserError(QStringLiteral("%1 е издаден от няколко фирми. Посочете фирмата с --firm и "
                                       "нейния ИН по ЗДДС или ЕИК:\n%2")
                            .arg(documentName, companies.join(QLatin1Char('\n'))));
    QVector<JournalEntry> originals;
    for (const JournalEntry &page : candidates)
        if (!page.copy)
            originals.append(page);
    if (originals.size() > 1)
        throw UserError(QStringLiteral("%1 е издаден повече от веднъж (%2 оригинала в дневника); "
                                       "изберете документа в прозореца „Дневник“.")
                            .arg(documentName)
                            .arg(originals.size()));
    return originals.isEmpty() ? candidates.last() : originals.first();
}

Invoice JournalDocumentOf(const QString &journalFile, const JournalEntry &page)
{
    const QByteArray document = ReadJournalDocument(journalFile, page.id);
    if (document.isEmpty())
        throw UserError(QStringLiteral("%1 № %2 е записан в дневника, преди документите да се "
                                       "пазят цели; е-фактурата му не може да бъде съставена.")
                            .arg(page.kind, page.number));
    return InvoiceFromJson(document);
}

QString EInvoiceFileNameOf(const JournalEntry &page)
{
    const QString base = QFileInfo(page.bitmapFile).completeBaseName();
    return (base.isEmpty() ? page.number : base) + QStringLiteral(".xml");
}

int EInvoiceCommand(const QStringList &arguments)
{
    const CommandArguments given =
        ParseCommandArguments(arguments, {QStringLiteral("--output"), QStringLiteral("--firm")},
                              {QStringLiteral("--proforma")}, kUsage);
    static const QRegularExpression number(QStringLiteral("^[0-9]{1,10}$"));
    if (!number.match(given.value).hasMatch())
        throw UserError(QStringLiteral("Номерът „%1“ не е номер на документ (до 10 цифри).\n"
                                       "Употреба: Vornex2007 %2")
                            .arg(given.value, kUsage));
    const bool proforma = given.options.contains(QStringLiteral("--proforma"));
    const QString numberText = TenDigits(given.value);
    const QString name = (proforma ? kKindProforma : QStringLiteral("Документ")) +
                         QStringLiteral(" № ") + numberText;
    const QString journal = JournalFileName(TablesFolder());
    const JournalEntry page = ChooseEInvoicePage(
        ReadJournalNumber(journal, proforma ? kProformaCounter : kInvoiceCounter, numberText),
        given.options.value(QStringLiteral("--firm")), name);
    const Invoice document = JournalDocumentOf(journal, page);
    const QString output = QDir::current().absoluteFilePath(
        given.options.value(QStringLiteral("--output"), EInvoiceFileNameOf(page)));
    EInvoice::WriteFile(document, output);
    PrintOutput(QStringLiteral("Е-фактура на %1 № %2 от %3, %4 %5: записана в %6")
                    .arg(page.kind, page.number, page.documentDate, page.total, page.homeCurrency,
                         QDir::toNativeSeparators(output)));
    return 0;
}
