#include "ledger/SalesLedger.h"

#include "base/Decimal.h"
#include "base/Errors.h"

#include <QTest>

using namespace Ledger;

Q_DECLARE_METATYPE(Ledger::Document)

namespace
{
const Company kCompany = {QStringLiteral("Вектор ООД"), QStringLiteral("BG175074752")};

Document Doc(DocumentType type, qint64 number, const char *base20, const char *vat20,
             const QString &currency = QStringLiteral("EUR"), QDate date = QDate(2026, 1, 15))
{
    Document d;
    d.type = type;
    d.number = number;
    d.date = date;
    d.recipientId = QStringLiteral("BG131884205");
    d.recipientName = QStringLiteral("Алфа ЕООД");
    d.description = QStringLiteral("Услуги");
    d.currency = currency;
    d.base20 = Decimal::TextToFixed(QString::fromLatin1(base20));
    d.vat20 = Decimal::TextToFixed(QString::fromLatin1(vat20));
    return d;
}

Document Invoice(qint64 number, const char *base20 = "100.00", const char *vat20 = "20.00")
{
    return Doc(DocumentType::Invoice, number, base20, vat20);
}

Document AtZero(qint64 number, const QString &ground)
{
    Document d = Invoice(number, "0", "0");
    d.base0 = Decimal::TextToFixed(QStringLiteral("300.00"));
    d.zeroVatGround = ground;
    d.zeroVatColumn = ClassifyZeroVatGround(ground);
    return d;
}

template <typename Change> Document With(Document d, Change change)
{
    change(d);
    return d;
}

QString Money(qint64 amount)
{
    return Decimal::FixedToText(amount, 2);
}
} // namespace

// The ledger of a period from the documents: which go in, in what order, with what sums, and
// which are refused and why.
class TestSalesLedger : public QObject
{
    Q_OBJECT
private slots:
    void build_data();
    void build();
    void totalsFollowTheWorkingRule_data();
    void totalsFollowTheWorkingRule();
    void recipientIdentifier_data();
    void recipientIdentifier();
    void periodCurrency_data();
    void periodCurrency();
    void refusalNamesEachDocument();
};

void TestSalesLedger::build_data()
{
    QTest::addColumn<QString>("period");
    QTest::addColumn<QVector<Document>>("documents");
    QTest::addColumn<QStringList>("records"); // sequence, number, 02-10, 02-20
    QTest::addColumn<QString>("totals");      // 02-10, 02-20
    QTest::addColumn<QStringList>("refused");
    QTest::addColumn<int>("converted");
    const QString jan = QStringLiteral("202601");
    using T = DocumentType;

    QTest::newRow("records in the order of their numbers, counted from 1")
        << jan << QVector<Document>{Invoice(7), Invoice(3, "50.00", "10.00"), Invoice(5)}
        << QStringList{"1 3 50.00 10.00", "2 5 100.00 20.00", "3 7 100.00 20.00"} << "250.00 50.00"
        << QStringList() << 0;
    QTest::newRow("a proforma is never in the ledger")
        << jan << QVector<Document>{Invoice(1), Doc(T::Proforma, 2, "100.00", "20.00")}
        << QStringList{"1 1 100.00 20.00"} << "100.00 20.00" << QStringList() << 0;
    QTest::newRow("a document of another period is left out")
        << jan
        << QVector<Document>{Doc(T::Invoice, 1, "1.00", "0.20", "EUR", QDate(2025, 12, 31)),
                             Invoice(2)}
        << QStringList{"1 2 100.00 20.00"} << "100.00 20.00" << QStringList() << 0;
    QTest::newRow("a credit note lowers the sums")
        << jan << QVector<Document>{Invoice(1), Doc(T::CreditNote, 2, "30.00", "6.00")}
        << QStringList{"1 1 100.00 20.00", "2 2 -30.00 -6.00"} << "70.00 14.00" << QStringList()
        << 0;
    QTest::newRow("a credit note entered negative stays negative")
        << jan << QVector<Document>{Doc(T::CreditNote, 2, "-30.00", "-6.00")}
        << QStringList{"1 2 -30.00 -6.00"} << "-30.00 -6.00" << QStringList() << 0;
    QTest::newRow("a debit note adds to the sums")
        << jan << QVector<Document>{Doc(T::DebitNote, 4, "30.00", "6.00")}
        << QStringList{"1 4 30.00 6.00"} << "30.00 6.00" << QStringList() << 0;
    QTest::newRow("sub-cent amounts are rounded to the cent")
        << jan << QVector<Document>{Invoice(1, "10.005", "2.0049")} << QStringList{"1 1 10.01 2.00"}
        << "10.01 2.00" << QStringList() << 0;
    QTest::newRow("leva in a euro period: converted at 1.95583")
        << jan << QVector<Document>{Doc(T::Invoice, 1, "1000.00", "200.00", "BGN")}
        << QStringList{"1 1 511.29 102.26"} << "511.29 102.26" << QStringList() << 1;
    QTest::newRow("euro in a leva period: half a cent away from zero")
        << "202512"
        << QVector<Document>{Doc(T::Invoice, 1, "500.00", "100.00", "EUR", QDate(2025, 12, 1)),
                             Doc(T::CreditNote, 2, "500.00", "0", "EUR", QDate(2025, 12, 2)),
                             Doc(T::Invoice, 3, "10.00", "2.00", "BGN", QDate(2025, 12, 3))}
        << QStringList{"1 1 977.92 195.58", "2 2 -977.92 0.00", "3 3 10.00 2.00"} << "10.00 197.58"
        << QStringList() << 2;
    QTest::newRow("a ground without a base at 0 % is not looked at")
        << jan
        << QVector<Document>{With(Invoice(1),
                                  [](Document &d) { d.zeroVatGround = QStringLiteral("чл. 99"); })}
        << QStringList{"1 1 100.00 20.00"} << "100.00 20.00" << QStringList() << 0;

    const QString first = QStringLiteral("Фактура № 0000000001 от 15.01.2026: ");
    QTest::newRow("refused: a base at 0 % with the placeholder ground")
        << jan << QVector<Document>{AtZero(1, QString(76, QLatin1Char('.')))} << QStringList()
        << "0.00 0.00" << QStringList{first + "няма основание за нулевата ставка"} << 0;
    QTest::newRow("refused: a ground that gives no column")
        << jan << QVector<Document>{AtZero(1, QStringLiteral("чл. 113, ал. 9"))} << QStringList()
        << "0.00 0.00"
        << QStringList{first +
                       "основанието за нулевата ставка „чл. 113, ал. 9“ не определя колона на "
                       "дневника"}
        << 0;
    QTest::newRow("refused: a ground typed by hand")
        << jan << QVector<Document>{AtZero(1, QStringLiteral("чл. 28"))} << QStringList()
        << "0.00 0.00"
        << QStringList{first + "основанието за нулевата ставка „чл. 28“ не определя колона на "
                               "дневника"}
        << 0;
    QTest::newRow("refused: no identifier and no name, both said")
        << jan
        << QVector<Document>{With(Invoice(1),
                                  [](Document &d) {
                                      d.recipientId = QStringLiteral("  ");
                                      d.recipientName.clear();
                                  })}
        << QStringList() << "0.00 0.00"
        << QStringList{first + "няма идентификатор на получателя (ИН по ЗДДС, ЕИК или ЕГН); "
                               "няма име на получателя"}
        << 0;
    QTest::newRow("refused: an identifier longer than its field")
        << jan
        << QVector<Document>{With(Invoice(1),
                                  [](Document &d) {
                                      d.recipientId = QStringLiteral("BG1234567890123");
                                      d.recipientId += QLatin1Char('4');
                                  })}
        << QStringList() << "0.00 0.00"
        << QStringList{first + "идентификаторът на получателя „BG12345678901234“ е по-дълъг от "
                               "15 знака"}
        << 0;
    QTest::newRow("refused: another currency")
        << jan << QVector<Document>{Doc(T::Invoice, 1, "1.00", "0.20", "USD")} << QStringList()
        << "0.00 0.00" << QStringList{first + "валутата „USD“ не е нито BGN, нито EUR"} << 0;
    QTest::newRow("refused: one number on two documents, both named")
        << jan << QVector<Document>{Invoice(1), Doc(T::CreditNote, 1, "1.00", "0.20"), Invoice(2)}
        << QStringList{"1 2 100.00 20.00"} << "100.00 20.00"
        << QStringList{first + "номерът е на повече от един документ в периода",
                       "Кредитно известие № 0000000001 от 15.01.2026: номерът е на повече от "
                       "един документ в периода"}
        << 0;
    QTest::newRow("refused: no number and no date")
        << jan << QVector<Document>{With(Invoice(0), [](Document &d) { d.date = QDate(); })}
        << QStringList() << "0.00 0.00" << QStringList{"Фактура: няма номер; няма дата"} << 0;
    QTest::newRow("refused: an amount wider than its field")
        << jan << QVector<Document>{Invoice(1, "1000000000000.00", "0")} << QStringList()
        << "0.00 0.00" << QStringList{first + "сумата 1000000000000.00 е по-дълга от 15 знака"}
        << 0;
}

void TestSalesLedger::build()
{
    QFETCH(QString, period);
    QFETCH(QVector<Document>, documents);
    QFETCH(QStringList, records);
    QFETCH(QString, totals);
    QFETCH(QStringList, refused);
    QFETCH(int, converted);

    const SalesLedger ledger = Build(kCompany, period, documents);
    QStringList gotRecords;
    for (const Record &r : ledger.records)
        gotRecords << QStringLiteral("%1 %2 %3 %4")
                          .arg(r.sequence)
                          .arg(r.number)
                          .arg(Money(r.amounts[TotalBase]), Money(r.amounts[TotalVat]));
    QCOMPARE(gotRecords, records);
    QCOMPARE(Money(ledger.totals[TotalBase]) + QLatin1Char(' ') + Money(ledger.totals[TotalVat]),
             totals);
    QStringList gotRefused;
    for (const Refusal &refusal : ledger.refused)
        gotRefused << refusal.document + QStringLiteral(": ") + refusal.reason;
    QCOMPARE(gotRefused, refused);
    QCOMPARE(ledger.convertedCount, converted);
    QCOMPARE(ledger.complete(), refused.isEmpty());
}

void TestSalesLedger::totalsFollowTheWorkingRule_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("inTotalBase");
    QTest::addColumn<bool>("inTotalVat");
    const QList<int> bases = {
        Base20,           BaseAcquisitions,   BaseArt82,          Base9,
        BaseChapterThree, BaseIntraCommunity, BaseArt140_146_173, BaseServiceElsewhere,
        BaseArt69,        BaseExempt};
    const QList<int> vats = {Vat20, VatAcquisitions, VatPersonalUse, Vat9};
    for (int column = Base20; column < kColumnCount; ++column) {
        const bool base = bases.contains(column);
        const bool vat = vats.contains(column);
        const QString rule = base  ? QStringLiteral("counts in 02-10")
                             : vat ? QStringLiteral("counts in 02-20")
                                   : QStringLiteral("counts in neither");
        QTest::addRow("%s %s", qPrintable(ColumnCode(column)), qPrintable(rule))
            << column << base << vat;
    }
}

void TestSalesLedger::totalsFollowTheWorkingRule()
{
    QFETCH(int, column);
    QFETCH(bool, inTotalBase);
    QFETCH(bool, inTotalVat);
    Amounts amounts{};
    amounts.fill(0);
    amounts[column] = 12345;
    amounts[TotalBase] = 1; // the totals themselves never count
    amounts[TotalVat] = 1;
    QCOMPARE(BaseTotal(amounts), inTotalBase ? 12345 : 0);
    QCOMPARE(VatTotal(amounts), inTotalVat ? 12345 : 0);
}

void TestSalesLedger::recipientIdentifier_data()
{
    QTest::addColumn<QString>("vatNumber");
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("abroad");
    QTest::addColumn<QString>("identifier");
    QTest::newRow("the VAT number first") << "BG131884205"
                                          << "131884205" << false << "BG131884205";
    QTest::newRow("a foreign VAT number, blanks dropped, capitals") << " de 123 456 789 "
                                                                    << "" << true << "DE123456789";
    QTest::newRow("abroad without a VAT number") << ""
                                                 << "HRB 12345" << true << "999999999999999";
    QTest::newRow("at home without a VAT number: the ЕИК") << ""
                                                           << "831641791" << false << "831641791";
    QTest::newRow("a private person: the ЕГН") << ""
                                               << " 7501010010" << false << "7501010010";
    QTest::newRow("at home with nothing: none") << ""
                                                << "" << false << "";
}

void TestSalesLedger::recipientIdentifier()
{
    QFETCH(QString, vatNumber);
    QFETCH(QString, id);
    QFETCH(bool, abroad);
    QFETCH(QString, identifier);
    QCOMPARE(RecipientIdentifier(vatNumber, id, abroad), identifier);
}

void TestSalesLedger::periodCurrency_data()
{
    QTest::addColumn<QString>("period");
    QTest::addColumn<QString>("currency"); // empty: refused
    QTest::newRow("the last month in leva") << "202512"
                                            << "BGN";
    QTest::newRow("the first month in euro") << "202601"
                                             << "EUR";
    QTest::newRow("years later") << "203007"
                                 << "EUR";
    QTest::newRow("no month 13") << "202613"
                                 << "";
    QTest::newRow("no month 0") << "202600"
                                << "";
    QTest::newRow("a date is no period") << "2026-01"
                                         << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestSalesLedger::periodCurrency()
{
    QFETCH(QString, period);
    QFETCH(QString, currency);
    if (currency.isEmpty()) {
        QVERIFY_THROWS_EXCEPTION(UserError, PeriodCurrency(period));
        QVERIFY_THROWS_EXCEPTION(UserError, Build(kCompany, period, {}));
    } else {
        QCOMPARE(PeriodCurrency(period), currency);
    }
}

// The refusal names every refused document with its reason, so the user can mend each one.
void TestSalesLedger::refusalNamesEachDocument()
{
    const SalesLedger ledger =
        Build(kCompany, QStringLiteral("202601"),
              {Invoice(1), AtZero(2, QStringLiteral("чл. 44, т. 3")),
               With(Invoice(3), [](Document &d) { d.recipientName.clear(); })});
    try {
        RequireComplete(ledger);
        QFAIL("an incomplete ledger was accepted");
    } catch (const UserError &error) {
        QCOMPARE(error.message(),
                 QStringLiteral("Дневникът за продажбите за 202601 не е съставен: документите "
                                "по-долу не могат да влязат в него.\n"
                                "Фактура № 0000000002 от 15.01.2026: основанието за нулевата "
                                "ставка „чл. 44, т. 3“ не определя колона на дневника\n"
                                "Фактура № 0000000003 от 15.01.2026: няма име на получателя"));
    }
    SalesLedger noVat =
        Build({QStringLiteral("Вектор ООД"), QString()}, QStringLiteral("202601"), {Invoice(1)});
    QVERIFY_THROWS_EXCEPTION(UserError, RequireComplete(noVat));
    QCOMPARE(Summary(Build(kCompany, QStringLiteral("202601"),
                           {Invoice(1), Doc(DocumentType::Invoice, 2, "1000.00", "200.00",
                                            QStringLiteral("BGN"))})),
             QStringLiteral("Дневник за продажбите 202601: 2 документа, данъчна основа 611.29 "
                            "EUR, ДДС 122.26 EUR; 1 документ в BGN превърнат в EUR по 1.95583"));
}

QTEST_GUILESS_MAIN(TestSalesLedger)
#include "tst_salesledger.moc"
