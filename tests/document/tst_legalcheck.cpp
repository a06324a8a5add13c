#include "document/LegalCheck.h"

#include <QTest>

namespace
{
Decimal::Amount A(const char *text)
{
    return Decimal::Amount::FromText(QString::fromLatin1(text));
}

// An invoice a tax inspector cannot fault: a euro invoice of the sample company to a client.
Invoice Sound()
{
    Invoice d;
    d.number = 43;
    d.issueDate = d.taxEventDate = d.paymentDate = QDate(2026, 12, 8);
    d.supplier = {QStringLiteral("Ведрина Трейд ООД"),
                  QString(),
                  QStringLiteral("1404 София, ж.к. Стрелбище"),
                  QString(),
                  QStringLiteral("Калин Ведров"),
                  QString(),
                  QStringLiteral("175402918"),
                  QStringLiteral("175402918")};
    d.recipient = {QStringLiteral("Зелен хълм ООД"),
                   QString(),
                   QStringLiteral("гр. Пловдив, ул. Тополница № 8"),
                   QString(),
                   QStringLiteral("Росен Гаврилов"),
                   QString(),
                   QStringLiteral("BG160538271"),
                   QStringLiteral("160538271")};
    d.bank = {QStringLiteral("Тракийска Инвестиционна Банка АД"),
              QStringLiteral("BG91 TRIB 9661 1020 3456 78"), QStringLiteral("TRIBBGSF")};
    d.homeCurrency = QStringLiteral("EUR");
    d.foreignCurrency = QStringLiteral("BGN");
    InvoiceLine line;
    line.number = 1;
    line.description = {QStringLiteral("Офисен стол")};
    line.unit = QStringLiteral("бр.");
    line.quantity = A("2");
    line.unitPrice = A("74.14");
    line.value = A("148.28");
    d.lines << line;
    d.home = {A("148.28"), A("29.66"), A("177.94")};
    return d;
}

using Change = std::function<void(Invoice &)>;
} // namespace

// What the law asks of a document before it is issued: each rule gives its finding.
class TestLegalCheck : public QObject
{
    Q_OBJECT
private slots:
    void findings_data();
    void findings();
    void text();
};

void TestLegalCheck::findings_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<int>("errors");
    QTest::addColumn<int>("warnings");
    QTest::addColumn<QString>("says"); // a part of the first finding
    QTest::newRow("a sound invoice") << Change([](Invoice &) {}) << 0 << 0 << "";
    QTest::newRow("no supplier name")
        << Change([](Invoice &d) { d.supplier.name.clear(); }) << 1 << 0 << "името на доставчика";
    QTest::newRow("no supplier address") << Change([](Invoice &d) { d.supplier.address.clear(); })
                                         << 1 << 0 << "адресът на доставчика";
    QTest::newRow("no supplier VAT number")
        << Change([](Invoice &d) { d.supplier.vatNumber.clear(); }) << 1 << 0 << "по ДДС";
    QTest::newRow("no supplier ЕИК")
        << Change([](Invoice &d) { d.supplier.id.clear(); }) << 1 << 0 << "ЕИК на доставчика";
    QTest::newRow("no recipient") << Change([](Invoice &d) { d.recipient = Party(); }) << 2 << 0
                                  << "името на получателя";
    QTest::newRow("no line") << Change([](Invoice &d) { d.lines.clear(); }) << 1 << 0
                             << "нито един ред";
    QTest::newRow("a line without unit and price") << Change([](Invoice &d) {
        d.lines[0].unit.clear();
        d.lines[0].unitPrice = Decimal::Amount();
    }) << 1 << 0 << "Ред 1 няма мярка, единична цена";
    QTest::newRow("a VAT text that is no number")
        << Change([](Invoice &d) { d.vatText = QStringLiteral("abc"); }) << 1 << 0 << "„abc“";
    QTest::newRow("a VAT text other than the rate charged")
        << Change([](Invoice &d) { d.vatText = QStringLiteral("9%"); }) << 1 << 0 << "(20 %)";
    QTest::newRow("0 % with no ground") << Change([](Invoice &d) {
        d.vatText = QStringLiteral("0%");
        d.vatPercent = 0;
    }) << 1 << 0 << "основанието";
    QTest::newRow("0 % with a ground of today") << Change([](Invoice &d) {
        d.vatText = QStringLiteral("0%");
        d.vatPercent = 0;
        d.zeroVatGround = QStringLiteral("чл. 28 ЗДДС");
    }) << 0 << 0 << "";
    QTest::newRow("0 % with a 2007 ground no longer in force") << Change([](Invoice &d) {
        d.vatText = QStringLiteral("0%");
        d.vatPercent = 0;
        d.zeroVatGround = QStringLiteral("чл. 22, ал. 2");
    }) << 0 << 1 << "отменен";
    QTest::newRow("a credit note without its reference")
        << Change([](Invoice &d) { d.noteTitle = kCreditNoteTitle; }) << 1 << 0 << "Известието";
    QTest::newRow("a debit note with its reference") << Change([](Invoice &d) {
        d.noteTitle = kDebitNoteTitle;
        d.referenceNumber = QStringLiteral("0000000042");
        d.referenceDate = QDate(2026, 12, 1);
    }) << 0 << 0 << "";
    QTest::newRow("a negative invoice should be a credit note")
        << Change([](Invoice &d) { d.home.gross = A("-177.94"); }) << 1 << 0 << "кредитно известие";
    QTest::newRow("a negative credit note is fine") << Change([](Invoice &d) {
        d.noteTitle = kCreditNoteTitle;
        d.referenceNumber = QStringLiteral("0000000042");
        d.referenceDate = QDate(2026, 12, 1);
        d.home.gross = A("-177.94");
    }) << 0 << 0 << "";
    QTest::newRow("in leva after the euro came")
        << Change([](Invoice &d) { d.homeCurrency = QStringLiteral("BGN"); }) << 1 << 0 << "„Евро“";
    QTest::newRow("in leva before the euro came") << Change([](Invoice &d) {
        d.homeCurrency = QStringLiteral("BGN");
        d.issueDate = d.taxEventDate = QDate(2025, 12, 8);
    }) << 0 << 0 << "";
    QTest::newRow("a wrong check digit")
        << Change([](Invoice &d) { d.recipient.vatNumber = QStringLiteral("BG160538274"); }) << 0
        << 1 << "BG160538274";
    QTest::newRow("an IBAN that fails")
        << Change([](Invoice &d) { d.bank.iban = QStringLiteral("BG80 TRIB 9661 1020 3456 78"); })
        << 0 << 1 << "IBAN";
    QTest::newRow("a private person: neither VAT number nor ЕИК") << Change([](Invoice &d) {
        d.recipient.vatNumber.clear();
        d.recipient.id.clear();
    }) << 0 << 1 << "физическо лице";
    QTest::newRow("a rate the act does not know") << Change([](Invoice &d) {
        d.vatText = QStringLiteral("15%");
        d.vatPercent = 15;
    }) << 0 << 1 << "15 %";
    QTest::newRow("issued six days after the tax event")
        << Change([](Invoice &d) { d.taxEventDate = d.issueDate.addDays(-6); }) << 0 << 1
        << "6 дни";
    QTest::newRow("five days after it is in time")
        << Change([](Invoice &d) { d.taxEventDate = d.issueDate.addDays(-5); }) << 0 << 0 << "";
}

void TestLegalCheck::findings()
{
    QFETCH(Change, change);
    QFETCH(int, errors);
    QFETCH(int, warnings);
    QFETCH(QString, says);
    Invoice doc = Sound();
    change(doc);
    const QVector<Finding> found = CheckDocument(doc);
    int e = 0, w = 0;
    for (const Finding &finding : found)
        (finding.level == Finding::Level::Error ? e : w)++;
    QCOMPARE(e, errors);
    QCOMPARE(w, warnings);
    QCOMPARE(HasErrors(found), errors > 0);
    if (!says.isEmpty())
        QVERIFY2(found.first().text.contains(says), qPrintable(found.first().text));
}

// The findings as the user reads them, and a note's reference checked against the journal.
void TestLegalCheck::text()
{
    Invoice doc = Sound();
    doc.noteTitle = kCreditNoteTitle;
    doc.referenceNumber = QStringLiteral("0000000042");
    doc.referenceDate = QDate(2026, 12, 1);
    doc.supplier.id.clear();
    LegalContext journal;
    journal.journalInvoiceDates = [](const QString &number) {
        return number == QLatin1String("0000000042") ? QVector<QDate>{QDate(2026, 11, 30)}
                                                     : QVector<QDate>();
    };
    const QVector<Finding> found = CheckDocument(doc, journal);
    QCOMPARE(FindingsText(found),
             QStringLiteral("Грешки:\n– Липсва ЕИК на доставчика.\n\nПредупреждения:\n– Дневникът "
                            "няма фактура № 0000000042 от 01.12.2026 на този доставчик."));
    doc.referenceDate = QDate(2026, 11, 30);
    doc.supplier.id = QStringLiteral("175402918");
    QCOMPARE(CheckDocument(doc, journal), QVector<Finding>());
}

QTEST_GUILESS_MAIN(TestLegalCheck)
#include "tst_legalcheck.moc"
