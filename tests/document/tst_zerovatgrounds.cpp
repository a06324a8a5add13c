#include "document/ZeroVatGrounds.h"

#include <QTest>

Q_DECLARE_METATYPE(LedgerColumn)

// Where a document's base at 0 % goes in the sales ledger, by the ground it cites.
class TestZeroVatGrounds : public QObject
{
    Q_OBJECT
private slots:
    void classify_data();
    void classify();
    void boxKeepsThe2007ItemsFirst();
};

// clang-format off
void TestZeroVatGrounds::classify_data()
{
    QTest::addColumn<QString>("ground");
    QTest::addColumn<LedgerColumn>("column");
    QTest::addColumn<bool>("outdated");
    using C = LedgerColumn;
    QTest::newRow("export") << "чл. 28 ЗДДС" << C::Export << false;
    QTest::newRow("chapter three goes with export") << "чл. 35 ЗДДС" << C::Export << false;
    QTest::newRow("intra-Community supply") << "чл. 53, ал. 1 ЗДДС" << C::IntraCommunity << false;
    QTest::newRow("art. 146(1)") << "чл. 146, ал. 1 ЗДДС" << C::Art140_146_173 << false;
    QTest::newRow("service supplied in another member state") << "чл. 21, ал. 2 ЗДДС" << C::ServiceElsewhere << false;
    QTest::newRow("art. 69(2)") << "чл. 69, ал. 2 ЗДДС" << C::DistanceSale << false;
    QTest::newRow("exempt: financial services") << "чл. 46 ЗДДС" << C::Exempt << false;
    QTest::newRow("triangular today") << "чл. 141 от Директива 2006/112/ЕО" << C::Triangular << false;
    QTest::newRow("triangular, 2007: outdated") << "чл. 28с(Е)(3) 77/388/ЕЕС" << C::Triangular << true;
    QTest::newRow("2007 place of supply: outdated, 02-17") << "чл. 22, ал. 2" << C::ServiceElsewhere << true;
    QTest::newRow("2007 place of supply 24(3)") << "чл. 24, ал. 3" << C::ServiceElsewhere << true;
    QTest::newRow("2007 unregistered supplier: not placed") << "чл. 113, ал. 9" << C::Unclassified << false;
    QTest::newRow("2007 tour operators: not placed") << "чл. 86, ал. 1" << C::Unclassified << false;
    QTest::newRow("2007 art. 44 item 3: not placed") << "чл. 44, т. 3" << C::Unclassified << false;
    QTest::newRow("2007 art. 50 item 1: not placed") << "чл. 50, т. 1" << C::Unclassified << false;
    QTest::newRow("placeholder") << QString(76, QLatin1Char('.')) << C::Unclassified << false;
    QTest::newRow("empty") << "" << C::Unclassified << false;
    QTest::newRow("blanks around are ignored") << "  чл. 23, ал. 4 \t" << C::ServiceElsewhere << true;
    QTest::newRow("a longer paragraph is another ground") << "чл. 21, ал. 23 ЗДДС" << C::Unclassified << false;
    QTest::newRow("a prefix of a ground is no ground") << "чл. 21, ал. 2" << C::Unclassified << false;
    QTest::newRow("a ground inside other text is not guessed") << "съгласно чл. 28 ЗДДС" << C::Unclassified << false;
    QTest::newRow("another spelling is not guessed") << "чл.28 ЗДДС" << C::Unclassified << false;
    QTest::newRow("another case is not guessed") << "ЧЛ. 45 ЗДДС" << C::Unclassified << false;
}
// clang-format on

void TestZeroVatGrounds::classify()
{
    QFETCH(QString, ground);
    QFETCH(LedgerColumn, column);
    QFETCH(bool, outdated);
    QCOMPARE(ClassifyZeroVatGround(ground), column);
    QCOMPARE(IsOutdatedZeroVatGround(ground), outdated);
}

// Old memory files and pages cite the fourteen items of 2007, so they stay where they were; the
// grounds of today follow them, each once.
void TestZeroVatGrounds::boxKeepsThe2007ItemsFirst()
{
    QStringList items = ZeroVatGroundItems();
    const QStringList of2007 = {
        QString(76, QLatin1Char('.')),    QStringLiteral("чл. 28с(Е)(3) 77/388/ЕЕС"),
        QStringLiteral("чл. 113, ал. 9"), QStringLiteral("чл. 22, ал. 2"),
        QStringLiteral("чл. 23, ал. 1"),  QStringLiteral("чл. 23, ал. 3"),
        QStringLiteral("чл. 23, ал. 4"),  QStringLiteral("чл. 23, ал. 5"),
        QStringLiteral("чл. 24, ал. 1"),  QStringLiteral("чл. 24, ал. 2"),
        QStringLiteral("чл. 24, ал. 3"),  QStringLiteral("чл. 86, ал. 1"),
        QStringLiteral("чл. 44, т. 3"),   QStringLiteral("чл. 50, т. 1")};
    QCOMPARE(items.mid(0, 14), of2007);
    QCOMPARE(items.removeDuplicates(), qsizetype(0));
    for (const QString &item : items.mid(14)) {
        QVERIFY2(ClassifyZeroVatGround(item) != LedgerColumn::Unclassified, qPrintable(item));
        QVERIFY2(!IsOutdatedZeroVatGround(item), qPrintable(item));
    }
}

QTEST_GUILESS_MAIN(TestZeroVatGrounds)
#include "tst_zerovatgrounds.moc"
