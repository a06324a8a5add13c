#include "base/Decimal.h"

#include "base/Errors.h"
#include "document/PageText.h"
#include "euro/HomeCurrency.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestEuro : public QObject
{
    Q_OBJECT
private slots:
    void levaToEuro_data();
    void levaToEuro();
    void notANumber_data();
    void notANumber();
    void rateDecimals_data();
    void rateDecimals();
    void homeCurrencySetting_data();
    void homeCurrencySetting();
    void settingWrittenAndKept();
    void noticeDue_data();
    void noticeDue();
};

void TestEuro::levaToEuro_data()
{
    QTest::addColumn<QString>("leva");
    QTest::addColumn<QString>("euro");

    QTest::newRow("the rate itself") << "1.95583"
                                     << "1.00";
    QTest::newRow("whole leva") << "100"
                                << "51.13";
    QTest::newRow("one decimal") << "8.4"
                                 << "4.29";
    QTest::newRow("below half a cent") << "0.0097"
                                       << "0.00";
    QTest::newRow("negative") << "-100"
                              << "-51.13";
    QTest::newRow("negative to zero has no sign") << "-0.0097"
                                                  << "0.00";
    QTest::newRow("zero") << "0"
                          << "0.00";
    QTest::newRow("negative zero") << "-0.00"
                                   << "0.00";
    // 0.01 euro is 0.0195583 leva: half a cent is 0.00977915 exactly.
    QTest::newRow("exact tie goes up") << "0.00977915"
                                       << "0.01";
    QTest::newRow("just below the tie") << "0.00977914999"
                                        << "0.00";
    QTest::newRow("negative tie goes away from zero") << "-0.00977915"
                                                      << "-0.01";
    QTest::newRow("tie at 1.005 euro") << "1.96560915"
                                       << "1.01";
    QTest::newRow("many decimals") << "12.3456789012345678901234"
                                   << "6.31";
    QTest::newRow("one stotinka") << "0.01"
                                  << "0.01";
    QTest::newRow("two stotinki") << "0.02"
                                  << "0.01";
    QTest::newRow("leading point") << ".5"
                                   << "0.26";
    QTest::newRow("trailing point") << "5."
                                    << "2.56";
    QTest::newRow("plus sign and blanks") << " +3.91166 "
                                          << "2.00";
    QTest::newRow("exponent") << "1.95583e3"
                              << "1000.00";
    QTest::newRow("negative exponent") << "195583e-5"
                                       << "1.00";
    QTest::newRow("price with two decimals") << "389.90"
                                             << "199.35";
    QTest::newRow("million") << "1000000"
                             << "511291.88";
    QTest::newRow("beyond 64 bits") << "195583000000000000000000000"
                                    << "100000000000000000000000000.00";
    QTest::newRow("large with decimals") << "98765432109876.54321"
                                         << "50497963580616.18";
}

void TestEuro::levaToEuro()
{
    QFETCH(QString, leva);
    QFETCH(QString, euro);
    QCOMPARE(Decimal::LevaToEuro(leva), euro);
}

void TestEuro::notANumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("blanks") << "   ";
    QTest::newRow("word") << "abc";
    QTest::newRow("comma") << "1,50";
    QTest::newRow("two points") << "1.2.3";
    QTest::newRow("sign only") << "-";
    QTest::newRow("point only") << ".";
    QTest::newRow("two signs") << "--1";
    QTest::newRow("trailing letters") << "12 лв";
    QTest::newRow("empty exponent") << "1e";
}

void TestEuro::notANumber()
{
    QFETCH(QString, text);
    try {
        Decimal::LevaToEuro(text);
        QFAIL("no conversion error");
    } catch (const ConversionError &error) {
        QCOMPARE(error.message(),
                 QStringLiteral("'%1' is not a valid floating point value").arg(text));
    }
}

void TestEuro::rateDecimals_data()
{
    QTest::addColumn<QString>("leva");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("euro");

    QTest::newRow("the lev") << "1" << 10 << Decimal::kLevInEuro;
    QTest::newRow("dollar rate") << "1.43726" << 10 << "0.7348593692";
    QTest::newRow("pound rate") << "2.8516" << 10 << "1.4579999284";
    QTest::newRow("whole euros") << "1.95583" << 0 << "1";
    QTest::newRow("whole, half goes up") << "2.933745" << 0 << "2";
    QTest::newRow("whole, above half goes up") << "2.95" << 0 << "2";
    QTest::newRow("many digits kept") << "100" << 12 << "51.129188119622";
}

void TestEuro::rateDecimals()
{
    QFETCH(QString, leva);
    QFETCH(int, decimals);
    QFETCH(QString, euro);
    QCOMPARE(Decimal::LevaToEuroRounded(leva, decimals), euro);
}

void TestEuro::homeCurrencySetting_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("problem"); // part of the reason a damaged file gives

    const int missing = CurrencySetting::Missing, damaged = CurrencySetting::Damaged;
    const int leva = CurrencySetting::Leva, euro = CurrencySetting::Euro;
    QTest::newRow("no file") << QByteArray() << missing << "";
    QTest::newRow("no entry") << QByteArray("[General]\nOther=1\n") << missing << "";
    QTest::newRow("empty entry") << QByteArray("[General]\nHomeCurrency=\n") << missing << "";
    QTest::newRow("leva") << QByteArray("[General]\nHomeCurrency=BGN\n") << leva << "";
    QTest::newRow("euro") << QByteArray("[General]\nHomeCurrency=EUR\n") << euro << "";
    QTest::newRow("euro, small letters")
        << QByteArray("[General]\nHomeCurrency=eur\n") << euro << "";
    QTest::newRow("euro, CR LF and a byte order mark")
        << QByteArray("\xEF\xBB\xBF[General]\r\nHomeCurrency = EUR\r\n") << euro << "";
    QTest::newRow("entry before any section") << QByteArray("HomeCurrency=EUR\n") << euro << "";
    QTest::newRow("entry of another section is not the setting")
        << QByteArray("[Other]\nHomeCurrency=EUR\n") << missing << "";
    QTest::newRow("unknown currency")
        << QByteArray("[General]\nHomeCurrency=USD\n") << damaged << "USD";
    QTest::newRow("two entries that differ")
        << QByteArray("[General]\nHomeCurrency=EUR\nHomeCurrency=BGN\n") << damaged << "два пъти";
    QTest::newRow("a line that is no setting")
        << QByteArray("[General]\nHomeCurrency=EUR\ngarbage\n") << damaged << "ред 3";
    QTest::newRow("not UTF-8") << QByteArray("[General]\nHomeCurrency=\xE5\xE2\xF0\xEE\n")
                               << damaged << "не е текст";
    QTest::newRow("control bytes")
        << QByteArray("[General]\nHomeCurrency=EUR\x01\n") << damaged << "не е текст";
}

void TestEuro::homeCurrencySetting()
{
    QFETCH(QByteArray, content);
    QFETCH(int, state);
    QFETCH(QString, problem);

    QTemporaryDir dir;
    const QString path = SettingsPath(dir.path());
    QCOMPARE(path, QDir(dir.path()).filePath(QStringLiteral("Vornex.ini")));
    if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    const CurrencySetting setting = ReadCurrencySetting(path);
    QCOMPARE(int(setting.state), state);
    QVERIFY2(setting.problem.contains(problem), qPrintable(setting.problem));
}

void TestEuro::settingWrittenAndKept()
{
    QTemporaryDir dir;
    const QString path = SettingsPath(dir.path());
    WriteHomeCurrency(path, HomeCurrency::Euro);
    QCOMPARE(ReadCurrencySetting(path).state, CurrencySetting::Euro);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("HomeCurrency=EUR"));
    // Nothing but the setting file is written beside the memory file.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Vornex.ini")});

    // A setting that cannot be written is reported, not taken for done.
    const QString blocked = path + QStringLiteral("/Vornex.ini"); // below a file, not a folder
    QVERIFY_THROWS_EXCEPTION(UserError, WriteHomeCurrency(blocked, HomeCurrency::Euro));
}

void TestEuro::noticeDue_data()
{
    QTest::addColumn<bool>("euro");
    QTest::addColumn<QString>("date"); // as typed on the page
    QTest::addColumn<bool>("due");
    QTest::newRow("fresh page") << false << "дд.мм.гггг" << false;
    QTest::newRow("last day of leva") << false << "31.12.2025" << false;
    QTest::newRow("first day of the euro") << false << "01.01.2026" << true;
    QTest::newRow("typed without zeros") << false << "5.1.2026" << true;
    QTest::newRow("later year") << false << "08.12.2027" << true;
    QTest::newRow("no such day") << false << "31.02.2026" << false;
    QTest::newRow("already in euro") << true << "01.01.2026" << false;
}

void TestEuro::noticeDue()
{
    QFETCH(bool, euro);
    QFETCH(QString, date);
    QFETCH(bool, due);
    QCOMPARE(EuroNoticeDue(euro ? HomeCurrency::Euro : HomeCurrency::Leva, ParsePageDate(date)),
             due);
}

QTEST_GUILESS_MAIN(TestEuro)
#include "tst_euro.moc"
