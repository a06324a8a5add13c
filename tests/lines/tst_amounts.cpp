#include "base/Decimal.h"
#include "base/Errors.h"
#include "lines/Amounts.h"

#include <QTest>
#include <limits>

class TestAmounts : public QObject
{
    Q_OBJECT
private slots:
    void fixedPoint_data();
    void fixedPoint();
    void refusals_data();
    void refusals();
    void roundTo2Decimals_data();
    void roundTo2Decimals();
    void vatFactor_data();
    void vatFactor();
    void oneLine_data();
    void oneLine();
    void severalLines_data();
    void severalLines();
    void badLineLeavesTotals_data();
    void badLineLeavesTotals();
};

void TestAmounts::fixedPoint_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("fixed");
    QTest::addColumn<QString>("shortest");
    QTest::newRow("whole") << "120" << qint64(1200000) << "120";
    QTest::newRow("blanks around, trailing zeros") << " 7.50 " << qint64(75000) << "7.5";
    QTest::newRow("leading point") << ".5" << qint64(5000) << "0.5";
    QTest::newRow("negative") << "-3.25" << qint64(-32500) << "-3.25";
    QTest::newRow("exponent") << "1.5e2" << qint64(1500000) << "150";
    QTest::newRow("fifth decimal below half") << "0.00014" << qint64(1) << "0.0001";
    QTest::newRow("tie to even stays down") << "0.00025" << qint64(2) << "0.0002";
    QTest::newRow("tie to even goes up") << "0.00015" << qint64(2) << "0.0002";
    QTest::newRow("more than a tie goes up") << "0.000250001" << qint64(3) << "0.0003";
    QTest::newRow("negative tie to even") << "-0.00015" << qint64(-2) << "-0.0002";
    QTest::newRow("largest count")
        << "922337203685477.5807" << std::numeric_limits<qint64>::max() << "922337203685477.5807";
}

void TestAmounts::fixedPoint()
{
    QFETCH(QString, text);
    QFETCH(qint64, fixed);
    QFETCH(QString, shortest);
    QCOMPARE(Decimal::TextToFixed(text), fixed);
    QCOMPARE(Decimal::FixedToText(fixed), shortest);
}

void TestAmounts::refusals_data()
{
    QTest::addColumn<bool>("vat"); // VatFactorFromText, else Decimal::TextToFixed
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString notFloat = QStringLiteral("'%1' is not a valid floating point value");
    QTest::newRow("letters") << false << "abc" << notFloat.arg("abc");
    QTest::newRow("point only") << false << "." << notFloat.arg(".");
    QTest::newRow("two points") << false << "1.2.3" << notFloat.arg("1.2.3");
    QTest::newRow("comma") << false << "1,5" << notFloat.arg("1,5");
    QTest::newRow("one past the largest count") << false << "922337203685477.5808"
                                                << "Сумата '922337203685477.5808' е твърде голяма.";
    QTest::newRow("huge exponent") << false << "1e20"
                                   << "Сумата '1e20' е твърде голяма.";
    QTest::newRow("empty VAT answer") << true << "" << notFloat.arg("");
    QTest::newRow("VAT letters before percent") << true << "abc%" << notFloat.arg("abc");
    QTest::newRow("VAT percent first") << true << "%20" << notFloat.arg("");
    QTest::newRow("negative VAT") << true << "-5%"
                                  << "Данъчната ставка не може да бъде отрицателна: -5%";
    QTest::newRow("negative VAT below one percent")
        << true << "-0.5"
        << "Данъчната ставка не може да бъде отрицателна: -0.5";
}

void TestAmounts::refusals()
{
    QFETCH(bool, vat);
    QFETCH(QString, text);
    QFETCH(QString, message);
    try {
        if (vat)
            VatFactorFromText(text);
        else
            Decimal::TextToFixed(text);
        QFAIL("no error");
    } catch (const UserError &error) {
        QCOMPARE(error.message(), message);
    }
}

void TestAmounts::roundTo2Decimals_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("rounded");
    QTest::newRow("whole gets two zeros") << "12"
                                          << "12.00";
    QTest::newRow("zero") << "0"
                          << "0.00";
    QTest::newRow("one decimal gets a zero") << "12.5"
                                             << "12.50";
    QTest::newRow("two decimals stay") << "12.34"
                                       << "12.34";
    QTest::newRow("point without decimals stays") << "12."
                                                  << "12.";
    QTest::newRow("third digit 5 rounds up") << "12.345"
                                             << "12.35";
    QTest::newRow("round up drops trailing zero") << "0.295"
                                                  << "0.3";
    QTest::newRow("round up to whole drops the point") << "1.995"
                                                       << "2";
    QTest::newRow("third digit 4 drops") << "12.344"
                                         << "12.34";
    QTest::newRow("only the third digit counts") << "12.3449"
                                                 << "12.34";
    QTest::newRow("digits after the third ignored") << "12.3451"
                                                    << "12.35";
    QTest::newRow("nines carry to whole") << "0.9999"
                                          << "1";
    QTest::newRow("negative rounds away from zero") << "-1.235"
                                                    << "-1.24";
    QTest::newRow("negative drops toward zero") << "-1.234"
                                                << "-1.23";
    QTest::newRow("negative below a cent") << "-0.005"
                                           << "-0.01";
    QTest::newRow("long double result") << "19.1734455448582"
                                        << "19.17";
}

void TestAmounts::roundTo2Decimals()
{
    QFETCH(QString, text);
    QFETCH(QString, rounded);
    QCOMPARE(RoundTo2Decimals(text), rounded);
}

void TestAmounts::vatFactor_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("factor");
    QTest::newRow("percent") << "20%" << 0.2;
    QTest::newRow("without percent") << "9" << 0.09;
    QTest::newRow("fraction of a percent is cut") << "20.7%" << 0.2;
    QTest::newRow("zero") << "0%" << 0.0;
    QTest::newRow("hundred") << "100%" << 1.0;
    QTest::newRow("text after the first percent ignored") << "20%x" << 0.2;
    QTest::newRow("blanks around") << " 9 %" << 0.09;
    QTest::newRow("below one percent") << "0.5%" << 0.0;
}

void TestAmounts::vatFactor()
{
    QFETCH(QString, text);
    QFETCH(double, factor);
    QCOMPARE(VatFactorFromText(text), factor);
}

namespace
{
// The line's values and cells, then the six totals, in the order of the labels' meanings.
QStringList Flatten(const LineAmounts &line, const LineTotals &totals)
{
    return {line.valueLeva,     line.valueForeign,     line.vatLeva,     line.vatForeign,
            line.unitPriceLeva, line.unitPriceForeign, line.totalLeva,   line.totalForeign,
            totals.netLeva,     totals.vatLeva,        totals.grossLeva, totals.netForeign,
            totals.vatForeign,  totals.grossForeign};
}
} // namespace

void TestAmounts::oneLine_data()
{
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<double>("vatFactor");
    QTest::addColumn<double>("rate");
    // Label10 Label9 Label1 Label8 | col4 col5 col6 col7 | Label7 Label3 Label5 Label11 Label12
    // Label13
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("12.5 x 3 at 20% in euro")
        << "12.5"
        << "3" << 0.2 << 1.95583
        << QStringList{"37.50", "19.17", "7.50", "3.83",  "12.50", "6.39", "37.50",
                       "19.17", "37.50", "7.50", "45.00", "19.17", "3.83", "23.00"};
    QTest::newRow("0.9999 rounds to a whole 1")
        << "0.3333"
        << "3" << 0.2 << 1.95583
        << QStringList{"1",    "0.51", "0.20", "0.10", "0.33", "0.17", "1.00",
                       "0.51", "1.00", "0.20", "1.20", "0.51", "0.10", "0.61"};
    QTest::newRow("zero rate gives 0.00 VAT")
        << "10"
        << "2" << 0.0 << 1.95583
        << QStringList{"20.00", "10.23", "0.00", "0.00",  "10.00", "5.11", "20.00",
                       "10.23", "20.00", "0.00", "20.00", "10.23", "0.00", "10.23"};
    QTest::newRow("rounded-up whole totals keep two decimals")
        << "1.995"
        << "1" << 0.0 << 1.0 << QStringList{"2", "2",    "0.00", "0.00", "2",    "2.00", "2.00",
                                            "2", "2.00", "0.00", "2.00", "2.00", "0.00", "2.00"};
    QTest::newRow("VAT in ten-thousandths truncated")
        << "0.01"
        << "1" << 0.09 << 1.0
        << QStringList{"0.01", "0.01", "0.00", "0.00", "0.01", "0.01", "0.01",
                       "0.01", "0.01", "0.00", "0.01", "0.01", "0.00", "0.01"};
    QTest::newRow("negative price, symmetric rounding")
        << "-1.235"
        << "1" << 0.2 << 1.0
        << QStringList{"-1.24", "-1.24", "-0.25", "-0.25", "-1.24", "-1.24", "-1.24",
                       "-1.24", "-1.24", "-0.25", "-1.49", "-1.24", "-0.25", "-1.49"};
    QTest::newRow("US dollar at its own rate")
        << "100"
        << "1.5" << 0.2 << 1.5
        << QStringList{"150.00", "100.00", "30.00", "20.00",  "100.00", "66.67", "150.00",
                       "100.00", "150.00", "30.00", "180.00", "100.00", "20.00", "120.00"};
}

void TestAmounts::oneLine()
{
    QFETCH(QString, price);
    QFETCH(QString, quantity);
    QFETCH(double, vatFactor);
    QFETCH(double, rate);
    QFETCH(QStringList, expected);
    LineTotals totals;
    const LineAmounts line = AccumulateLine(totals, price, quantity, vatFactor, rate);
    QCOMPARE(Flatten(line, totals), expected);
}

void TestAmounts::severalLines_data()
{
    QTest::addColumn<QStringList>("lines"); // price, quantity, price, quantity...
    // Label7 Label3 Label5 Label11 Label12 Label13 after the last line
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("two lines at 20%")
        << QStringList{"12.5", "3", "0.3333", "3"}
        << QStringList{"38.50", "7.70", "46.20", "19.68", "3.93", "23.61"};
    QTest::newRow("the same line three times")
        << QStringList{"12.5", "3", "12.5", "3", "12.5", "3"}
        << QStringList{"112.50", "22.50", "135.00", "57.51", "11.49", "69.00"};
    QTest::newRow("a credit line cancels a line")
        << QStringList{"10", "1", "-10", "1"}
        << QStringList{"0.00", "0.00", "0.00", "0.00", "0.00", "0.00"};
}

void TestAmounts::severalLines()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, expected);
    LineTotals totals;
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2)
        AccumulateLine(totals, lines.at(i), lines.at(i + 1), 0.2, 1.95583);
    QCOMPARE((QStringList{totals.netLeva, totals.vatLeva, totals.grossLeva, totals.netForeign,
                          totals.vatForeign, totals.grossForeign}),
             expected);
}

void TestAmounts::badLineLeavesTotals_data()
{
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("message");
    QTest::newRow("price not a number")
        << "12,5"
        << "3" << 1.95583 << "'12,5' is not a valid floating point value";
    QTest::newRow("quantity not a number")
        << "12.5"
        << "x" << 1.95583 << "'x' is not a valid floating point value";
    QTest::newRow("comma is no thousands separator")
        << "12.5"
        << "2,500" << 1.95583 << "'2,500' is not a valid floating point value";
    QTest::newRow("price checked before quantity")
        << "a"
        << "b" << 1.95583 << "'a' is not a valid floating point value";
    QTest::newRow("value beyond the fixed-point range")
        << "1e15"
        << "100000" << 1.95583 << "Сумата '100000000000000000000' е твърде голяма.";
    QTest::newRow("currency rate of zero") << "1"
                                           << "1" << 0.0 << "Невалиден курс на валутата: 0";
}

void TestAmounts::badLineLeavesTotals()
{
    QFETCH(QString, price);
    QFETCH(QString, quantity);
    QFETCH(double, rate);
    QFETCH(QString, message);
    LineTotals totals;
    AccumulateLine(totals, "12.5", "3", 0.2, 1.95583);
    const LineTotals before = totals;
    try {
        AccumulateLine(totals, price, quantity, 0.2, rate);
        QFAIL("no error");
    } catch (const UserError &error) {
        QCOMPARE(error.message(), message);
    }
    QCOMPARE(totals.grossLeva, before.grossLeva);
    QCOMPARE(totals.vatForeign, before.vatForeign);
    QCOMPARE(totals.netLeva, before.netLeva);
}

QTEST_GUILESS_MAIN(TestAmounts)
#include "tst_amounts.moc"
