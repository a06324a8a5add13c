#include "ledger/LedgerView.h"

#include "base/Decimal.h"
#include "support/TestSupport.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QListWidget>
#include <QTableView>

using namespace Ledger;

namespace
{
Document Invoice(qint64 number, const char *base, const char *vat)
{
    Document d;
    d.number = number;
    d.date = QDate(2026, 1, 15);
    d.recipientId = QStringLiteral("BG131884205");
    d.recipientName = QStringLiteral("Алфа ЕООД");
    d.description = QStringLiteral("Услуги");
    d.currency = QStringLiteral("EUR");
    d.base20 = Decimal::TextToFixed(QString::fromLatin1(base));
    d.vat20 = Decimal::TextToFixed(QString::fromLatin1(vat));
    return d;
}

// Two invoices and a credit note; the third invoice has no recipient's name.
SalesLedger January()
{
    Document credit = Invoice(3, "30.00", "6.00");
    credit.type = DocumentType::CreditNote;
    Document nameless = Invoice(4, "1.00", "0.20");
    nameless.recipientName.clear();
    return Build({QStringLiteral("Вектор ООД"), QStringLiteral("BG175074752")},
                 QStringLiteral("202601"),
                 {Invoice(2, "200.00", "40.00"), Invoice(1, "100.00", "20.00"), credit, nameless});
}
} // namespace

// The ledger on screen: its records and totals in a table, the refused documents under it.
class TestLedgerView : public QObject
{
    Q_OBJECT
private slots:
    void cells_data();
    void cells();
    void refusedListedApartWhileThereAreAny();
};

void TestLedgerView::cells_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("first record: the lowest number") << 0 << 2 << "0000000001";
    QTest::newRow("its date") << 0 << 3 << "15.01.2026";
    QTest::newRow("its 02-10") << 0 << 7 << "100.00";
    QTest::newRow("a credit note: type 03") << 2 << 1 << "03";
    QTest::newRow("a credit note: negative 02-21") << 2 << 10 << "-6.00";
    QTest::newRow("the totals row") << 3 << 4 << "Общо за периода";
    QTest::newRow("the total of 02-10") << 3 << 7 << "270.00";
    QTest::newRow("the total of 02-20") << 3 << 8 << "54.00";
    QTest::newRow("an unused column's total") << 3 << 23 << "0.00";
}

void TestLedgerView::cells()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    SalesLedgerView view;
    view.setLedger(January());
    auto *table = view.findChild<QTableView *>(QStringLiteral("LedgerTable"));
    QVERIFY(table);
    QAbstractItemModelTester tester(table->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(table->model()->rowCount(), 4);
    QCOMPARE(table->model()->columnCount(), 7 + kColumnCount);
    QCOMPARE(table->model()->index(row, column).data().toString(), text);
}

void TestLedgerView::refusedListedApartWhileThereAreAny()
{
    SalesLedgerView view;
    view.setLedger(January());
    view.show();
    auto *refused = view.findChild<QListWidget *>(QStringLiteral("RefusedList"));
    QVERIFY(refused);
    QVERIFY(refused->isVisible());
    QCOMPARE(refused->count(), 1);
    QCOMPARE(refused->item(0)->text(),
             QStringLiteral("Фактура № 0000000004 от 15.01.2026: няма име на получателя"));
    QCOMPARE(view.findChild<QLabel *>(QStringLiteral("LedgerSummary"))->text(),
             QStringLiteral("Дневник за продажбите 202601: 3 документа, данъчна основа 270.00 "
                            "EUR, ДДС 54.00 EUR"));

    view.setLedger(Build({QStringLiteral("Вектор ООД"), QStringLiteral("BG175074752")},
                         QStringLiteral("202601"), {Invoice(1, "1.00", "0.20")}));
    QCOMPARE(refused->count(), 0);
    QVERIFY(!refused->isVisible());
}

VORNEX_TEST_MAIN(TestLedgerView)
#include "tst_ledgerview.moc"
