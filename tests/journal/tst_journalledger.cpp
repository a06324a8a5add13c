#include "journal/EInvoiceExport.h"
#include "journal/JournalRecord.h"
#include "journal/LedgerCommand.h"

#include "base/Errors.h"
#include "document/DocumentNumber.h"
#include "print/ArchiveName.h"

#include <QTest>

// What the journal keeps of each document for the sales ledger, and the ledger and the e-invoice
// made from its pages.

Q_DECLARE_METATYPE(Invoice)

namespace
{
const QString kOwnVat = QStringLiteral("175402918");
const QDateTime kPrinted(QDate(2026, 12, 8), QTime(15, 0));

Invoice Doc(int percent, const QString &net, const QString &vat, const QString &recipientVat,
            const QString &recipientId, const QString &ground = QString())
{
    Invoice doc;
    doc.number = 42;
    doc.issueDate = QDate(2026, 11, 30);
    doc.supplier.name = QStringLiteral("Ведрина Трейд ООД");
    doc.supplier.vatNumber = kOwnVat;
    doc.supplier.id = kOwnVat;
    doc.recipient.name = QStringLiteral("Зелен хълм ООД");
    doc.recipient.vatNumber = recipientVat;
    doc.recipient.id = recipientId;
    doc.vatPercent = percent;
    doc.vatText = QString::number(percent) + QLatin1Char('%');
    doc.zeroVatGround = ground;
    doc.homeCurrency = QStringLiteral("EUR");
    doc.home = {Decimal::Amount::FromText(net), Decimal::Amount::FromText(vat),
                Decimal::Amount::FromText(net)};
    InvoiceLine line;
    line.number = 1;
    line.description = {QStringLiteral("Абонаментна поддръжка,"), QStringLiteral("месечна такса")};
    doc.lines << line;
    return doc;
}

Invoice Note(Invoice doc, const QString &noteTitle)
{
    doc.noteTitle = noteTitle;
    return doc;
}

// A page of a document: number, supplier, original or copy, as the print journals it.
JournalEntry Page(qint64 number, const QString &supplierVat, bool copy,
                  const QString &noteTitle = QString())
{
    Invoice doc = Note(Doc(20, "100.00", "20.00", "BG160538271", "160538271"), noteTitle);
    doc.number = number;
    doc.supplier.vatNumber = supplierVat;
    doc.supplier.id = supplierVat;
    doc.supplier.name = QStringLiteral("Фирма ") + supplierVat;
    JournalEntry page = EntryOfDocument(
        doc, {copy ? kCopyMark : kOriginalMark, 8, QStringLiteral("/DB/a.bmp"), {}, {}}, kPrinted);
    return page;
}

QStringList RecordsOf(const Ledger::SalesLedger &ledger)
{
    QStringList records;
    for (const Ledger::Record &record : ledger.records)
        records << QStringLiteral("%1 %2")
                       .arg(record.number)
                       .arg(Decimal::FixedToText(record.amounts[Ledger::TotalBase], 2));
    return records;
}
} // namespace

class TestJournalLedger : public QObject
{
    Q_OBJECT
private slots:
    void fieldsOfDocument_data();
    void fieldsOfDocument();
    void ledgerOfPages_data();
    void ledgerOfPages();
    void companyChoice_data();
    void companyChoice();
    void eInvoicePageChoice_data();
    void eInvoicePageChoice();
};

void TestJournalLedger::fieldsOfDocument_data()
{
    QTest::addColumn<Invoice>("document");
    // Type, period, recipient, base and VAT at 20 %, at 9 %, base at 0 %, its column, problem.
    QTest::addColumn<QString>("fields");

    QTest::newRow("invoice at 20 %: the VAT number as given")
        << Doc(20, "332.00", "66.40", "BG160538271", "160538271")
        << "01|202611|BG160538271|332.00|66.40|0.00|0.00|0.00||";
    QTest::newRow("debit note at 9 %; a VAT number of digits alone gets BG")
        << Note(Doc(9, "100.00", "9.00", " 160 538 271", ""), kDebitNoteTitle)
        << "02|202611|BG160538271|0.00|0.00|100.00|9.00|0.00||";
    QTest::newRow("credit note: the page's signs kept, the ledger turns them")
        << Note(Doc(20, "-100.00", "-20.00", "BG160538271", ""), kCreditNoteTitle)
        << "03|202611|BG160538271|-100.00|-20.00|0.00|0.00|0.00||";
    QTest::newRow("intra-Community supply at 0 %: 02-15")
        << Doc(0, "500.00", "0", "DE123456789", "", "чл. 53, ал. 1 ЗДДС")
        << "01|202611|DE123456789|0.00|0.00|0.00|0.00|500.00|02-15|";
    QTest::newRow("export to a recipient abroad with no identifier: 999999999999999, 02-14")
        << Doc(0, "700.00", "0", "", "", "чл. 28 ЗДДС")
        << "01|202611|999999999999999|0.00|0.00|0.00|0.00|700.00|02-14|";
    QTest::newRow("a foreign registration number is no Bulgarian identifier")
        << Doc(20, "10.00", "2.00", "", "HRB 4711")
        << "01|202611|999999999999999|10.00|2.00|0.00|0.00|0.00||";
    QTest::newRow("a private person: the ЕГН")
        << Doc(20, "50.00", "10.00", "", "750101 0010")
        << "01|202611|7501010010|50.00|10.00|0.00|0.00|0.00||";
    QTest::newRow("amounts to the cent, half away from zero")
        << Doc(20, "10.005", "2.001", "BG160538271", "")
        << "01|202611|BG160538271|10.01|2.00|0.00|0.00|0.00||";
    Invoice proforma = Doc(18, "332.00", "59.76", "BG160538271", "");
    proforma.title = kProformaTitle;
    QTest::newRow("a proforma is no tax document: even a rate the ledger lacks keeps it not back")
        << proforma << "|202611||||||||";
    Invoice undated = Doc(20, "1.00", "0.20", "BG160538271", "");
    undated.issueDate = QDate();
    QTest::newRow("undated: in the month it was printed")
        << undated << "01|202612|BG160538271|1.00|0.20|0.00|0.00|0.00||";
    QTest::newRow("a note neither credit nor debit is not guessed")
        << Note(Doc(20, "1.00", "0.20", "BG160538271", ""), QStringLiteral("Известие"))
        << "|202611|BG160538271|1.00|0.20|0.00|0.00|0.00||известието „Известие“ не е нито "
           "кредитно, нито дебитно";
    QTest::newRow("a rate the ledger has no column for is not guessed")
        << Doc(18, "1.00", "0.18", "BG160538271", "")
        << "01|202611|BG160538271|0.00|0.00|0.00|0.00|0.00||ставката на ДДС „18%“ не е 20 %, 9 % "
           "или 0 %";
}

void TestJournalLedger::fieldsOfDocument()
{
    QFETCH(Invoice, document);
    QFETCH(QString, fields);
    const JournalEntry e = EntryOfDocument(
        document, {kOriginalMark, 8, "/DB/a.bmp", "/DB/a.pdf", "/DB/a.xml"}, kPrinted);
    const LedgerFields &f = e.ledger;
    QCOMPARE(QStringList({f.type, f.period, f.recipientId, f.base20, f.vat20, f.base9, f.vat9,
                          f.base0, f.zeroVatColumn, f.problem})
                 .join(QLatin1Char('|')),
             fields);
    QCOMPARE(f.description, document.isProforma()
                                ? QString()
                                : QStringLiteral("Абонаментна поддръжка, месечна такса"));
    QCOMPARE(e.xmlFile, QStringLiteral("/DB/a.xml"));
}

void TestJournalLedger::ledgerOfPages_data()
{
    QTest::addColumn<QVector<JournalEntry>>("pages");
    QTest::addColumn<QStringList>("records"); // number and total base
    QTest::addColumn<QStringList>("refused");

    QTest::newRow("original and copy are one document")
        << QVector<JournalEntry>{Page(42, kOwnVat, false), Page(42, kOwnVat, true)}
        << QStringList{"42 100.00"} << QStringList();
    QTest::newRow("a copy alone stands for its document")
        << QVector<JournalEntry>{Page(43, kOwnVat, true)} << QStringList{"43 100.00"}
        << QStringList();
    JournalEntry copy = Page(44, kOwnVat, true);
    copy.ledger.base20 = QStringLiteral("1.00");
    QTest::newRow("the original's page over a copy printed before it")
        << QVector<JournalEntry>{copy, Page(44, kOwnVat, false)} << QStringList{"44 100.00"}
        << QStringList();
    QTest::newRow("another company's documents are left out")
        << QVector<JournalEntry>{Page(42, kOwnVat, false), Page(42, "203817461", false)}
        << QStringList{"42 100.00"} << QStringList();
    JournalEntry incomplete = Page(47, kOwnVat, false);
    incomplete.ledger.problem = QStringLiteral("ставката на ДДС „18%“ не е 20 %, 9 % или 0 %");
    QTest::newRow("a page that could not be completed is refused with its reason")
        << QVector<JournalEntry>{incomplete, Page(48, kOwnVat, false)} << QStringList{"48 100.00"}
        << QStringList{"Фактура № 0000000047 от 30.11.2026: ставката на ДДС „18%“ не е 20 %, 9 "
                       "% или 0 %"};
}

void TestJournalLedger::ledgerOfPages()
{
    QFETCH(QVector<JournalEntry>, pages);
    QFETCH(QStringList, records);
    QFETCH(QStringList, refused);
    const Ledger::SalesLedger ledger =
        LedgerOfPages(LedgerCompanyOf(Page(1, kOwnVat, false)), QStringLiteral("202611"), pages);
    QCOMPARE(ledger.company.vatNumber, QStringLiteral("BG175402918"));
    QCOMPARE(RecordsOf(ledger), records);
    QStringList names;
    for (const Ledger::Refusal &refusal : ledger.refused)
        names << refusal.document + QStringLiteral(": ") + refusal.reason;
    QCOMPARE(names, refused);
}

void TestJournalLedger::companyChoice_data()
{
    QTest::addColumn<QString>("named");
    QTest::addColumn<QStringList>("inPeriod"); // the companies of the period's pages
    QTest::addColumn<QStringList>("inJournal");
    QTest::addColumn<QString>("chosen"); // empty when refused
    QTest::addColumn<QStringList>("reasonHas");
    const QString a = QStringLiteral("175402918"), b = QStringLiteral("203817461");

    QTest::newRow("named by digits and blanks, without its prefix")
        << "203 817 461" << QStringList{a, b} << QStringList{a, b} << "BG203817461"
        << QStringList();
    QTest::newRow("the only company of the period")
        << "" << QStringList{a, a} << QStringList{a, b} << "BG175402918" << QStringList();
    QTest::newRow("an empty period: the only company of the journal")
        << "" << QStringList() << QStringList{b} << "BG203817461" << QStringList();
    QTest::newRow("several in the period: refused, each named")
        << "" << QStringList{a, b} << QStringList{a, b} << ""
        << QStringList{"--firm", "BG175402918", "BG203817461"};
    QTest::newRow("a company the journal does not know: refused")
        << "BG999999999" << QStringList{a} << QStringList{a} << ""
        << QStringList{"BG999999999", "BG175402918"};
    QTest::newRow("an empty journal: refused")
        << "" << QStringList() << QStringList() << "" << QStringList{"няма издадени документи"};
}

void TestJournalLedger::companyChoice()
{
    QFETCH(QString, named);
    QFETCH(QStringList, inPeriod);
    QFETCH(QStringList, inJournal);
    QFETCH(QString, chosen);
    QFETCH(QStringList, reasonHas);
    const auto pages = [](const QStringList &vats) {
        QVector<JournalEntry> result;
        for (const QString &vat : vats)
            result << Page(42, vat, false);
        return result;
    };
    try {
        const Ledger::Company company =
            ChooseLedgerCompany(named, pages(inPeriod), pages(inJournal));
        QCOMPARE(company.vatNumber, chosen);
    } catch (const UserError &error) {
        QVERIFY2(chosen.isEmpty(), qPrintable(error.message()));
        for (const QString &part : reasonHas)
            QVERIFY2(error.message().contains(part), qPrintable(error.message()));
    }
}

void TestJournalLedger::eInvoicePageChoice_data()
{
    QTest::addColumn<QVector<JournalEntry>>("pages");
    QTest::addColumn<QString>("firm");
    QTest::addColumn<int>("chosen"); // -1 when refused
    QTest::addColumn<QString>("reasonHas");
    const QString a = QStringLiteral("175402918"), b = QStringLiteral("203817461");

    QTest::newRow("the original over its copy")
        << QVector<JournalEntry>{Page(42, a, true), Page(42, a, false)} << "" << 1 << "";
    QTest::newRow("two companies share the number: refused")
        << QVector<JournalEntry>{Page(42, a, false), Page(42, b, false)} << "" << -1 << "--firm";
    QTest::newRow("two companies, one named by its VAT number")
        << QVector<JournalEntry>{Page(42, a, false), Page(42, b, false)} << "BG203817461" << 1
        << "";
    JournalEntry unregistered = Page(42, b, true);
    unregistered.supplierVat.clear();
    QTest::newRow("two companies, one named by its ЕИК")
        << QVector<JournalEntry>{Page(42, a, false), unregistered} << "203817461" << 1 << "";
    QTest::newRow("a number issued twice by one company: refused")
        << QVector<JournalEntry>{Page(42, a, false), Page(42, a, false)} << "" << -1
        << "повече от веднъж";
    QTest::newRow("no page: refused")
        << QVector<JournalEntry>() << "" << -1 << "Документ № 0000000042 не е в дневника.";
}

void TestJournalLedger::eInvoicePageChoice()
{
    QFETCH(QVector<JournalEntry>, pages);
    QFETCH(QString, firm);
    QFETCH(int, chosen);
    QFETCH(QString, reasonHas);
    for (int i = 0; i < pages.size(); ++i)
        pages[i].id = i + 1;
    try {
        const JournalEntry page =
            ChooseEInvoicePage(pages, firm, QStringLiteral("Документ № 0000000042"));
        QCOMPARE(page.id, chosen + 1);
    } catch (const UserError &error) {
        QVERIFY2(chosen < 0, qPrintable(error.message()));
        QVERIFY2(error.message().contains(reasonHas), qPrintable(error.message()));
    }
}

QTEST_GUILESS_MAIN(TestJournalLedger)
#include "tst_journalledger.moc"
