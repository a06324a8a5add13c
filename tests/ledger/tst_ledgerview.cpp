#include "ledger/LedgerView.h"

#include "base/Decimal.h"
#include "support/TestSupport.h"

#include <QAbstractItemModelTester>
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
    void recordsTotalsAndRefusedApart();
};

void TestLedgerView::recordsTotalsAndRefusedApart()
{
    SalesLedgerView view;
    view.setLedger(January());
    view.show();
    QAbstractItemModel *model = view.findChild<QTableView *>("LedgerTable")->model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    // The records by their numbers, then the totals; 02-10 is the eighth column.
    QCOMPARE(model->rowCount(), 4);
    QCOMPARE(model->index(0, 2).data().toString(), QStringLiteral("0000000001"));
    QCOMPARE(model->index(2, 1).data().toString(), QStringLiteral("03"));
    QCOMPARE(model->index(2, 7).data().toString(), QStringLiteral("-30.00"));
    QCOMPARE(model->index(3, 4).data().toString(), QStringLiteral("Общо за периода"));
    QCOMPARE(model->index(3, 7).data().toString(), QStringLiteral("270.00"));
    QCOMPARE(model->headerData(7, Qt::Horizontal).toString(), QStringLiteral("02-10\nОбщо ДО"));

    auto *refused = view.findChild<QListWidget *>(QStringLiteral("RefusedList"));
    QVERIFY(refused->isVisible());
    QCOMPARE(refused->count(), 1);
    QCOMPARE(refused->item(0)->text(),
             QStringLiteral("Фактура № 0000000004 от 15.01.2026: няма име на получателя"));
    view.setLedger(Build({QStringLiteral("Вектор ООД"), QStringLiteral("BG175074752")},
                         QStringLiteral("202601"), {Invoice(1, "1.00", "0.20")}));
    QCOMPARE(refused->count(), 0);
    QVERIFY(!refused->isVisible());
}

VORNEX_TEST_MAIN(TestLedgerView)
#include "tst_ledgerview.moc"
