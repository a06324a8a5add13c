#include "base/Errors.h"
#include "document/DocumentNumber.h"

#include <QTest>

// The ten-digit document numbers, the counters they come from and the date line of the page.
class TestNumbering : public QObject
{
    Q_OBJECT
private slots:
    void tenDigits_data();
    void tenDigits();
    void nextNumber_data();
    void nextNumber();
    void nextNumberRefused_data();
    void nextNumberRefused();
    void manualNumber_data();
    void manualNumber();
    void referencedNumber();
    void counterChoice_data();
    void counterChoice();
    void dateLine();
};

void TestNumbering::tenDigits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("short number is padded") << "42"
                                            << "0000000042";
    QTest::newRow("empty text becomes ten zeros") << ""
                                                  << "0000000000";
    QTest::newRow("ten characters stay") << "1234567890"
                                         << "1234567890";
    QTest::newRow("longer text stays") << "12345678901"
                                       << "12345678901";
    QTest::newRow("not checked for digits") << "12.03.2007"
                                            << "12.03.2007";
    QTest::newRow("letters are padded too") << "A-7"
                                            << "0000000A-7";
}

void TestNumbering::tenDigits()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(TenDigits(text), expected);
}

void TestNumbering::nextNumber_data()
{
    QTest::addColumn<QString>("counter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("fresh counter gives the first number") << "0"
                                                          << "0000000001";
    QTest::newRow("stored ten digits") << "0000000041"
                                       << "0000000042";
    QTest::newRow("stored without zeros") << "41"
                                          << "0000000042";
    QTest::newRow("blanks around are accepted") << " 41 "
                                                << "0000000042";
    QTest::newRow("last number below the limit") << "2147483646"
                                                 << "2147483647";
}

void TestNumbering::nextNumber()
{
    QFETCH(QString, counter);
    QFETCH(QString, expected);
    QCOMPARE(NextDocumentNumber(counter, kInvoiceCounter), expected);
}

void TestNumbering::nextNumberRefused_data()
{
    QTest::addColumn<QString>("counter");
    QTest::addColumn<QString>("message");
    // Every refusal names the counter and its table, so the user knows what to mend.
    const QString rule = QStringLiteral("\nБроячът „Проформа №“ в таблицата Firm.db трябва да е "
                                        "цяло число от 0 до 2147483646; поправете го в "
                                        "„Собствени фирми“.");
    QTest::newRow("empty counter") << ""
                                   << "'' is not a valid integer value" + rule;
    QTest::newRow("not a number") << "41a"
                                  << "'41a' is not a valid integer value" + rule;
    QTest::newRow("decimal") << "41.5"
                             << "'41.5' is not a valid integer value" + rule;
    QTest::newRow("beyond 32 bits") << "2147483648"
                                    << "'2147483648' is not a valid integer value" + rule;
    QTest::newRow("negative") << "-8"
                              << "Броячът „Проформа №“ в таблицата Firm.db е „-8“." + rule;
    QTest::newRow("negative with zeros")
        << "-0000000008"
        << "Броячът „Проформа №“ в таблицата Firm.db е „-0000000008“." + rule;
    QTest::newRow("counter at the limit")
        << "2147483647"
        << "Броячът „Проформа №“ в таблицата Firm.db е достигнал най-големия възможен номер "
           "2147483647; следващ номер няма.";
}

void TestNumbering::nextNumberRefused()
{
    QFETCH(QString, counter);
    QFETCH(QString, message);
    try {
        NextDocumentNumber(counter, kProformaCounter);
        QFAIL("a number was formed");
    } catch (const UserError &error) {
        QCOMPARE(error.message(), message);
    }
}

void TestNumbering::manualNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<qint64>("value"); // -1: refused with the message
    QTest::addColumn<QString>("message");
    QTest::newRow("ten digits") << "0000000042" << qint64(42) << QString();
    QTest::newRow("blanks around") << " 123 " << qint64(123) << QString();
    QTest::newRow("letter typed by hand")
        << "12a" << qint64(-1) << "'12a' is not a valid integer value";
    QTest::newRow("minus typed by hand")
        << "-5" << qint64(-1) << "Номерът на документа „-5“ трябва да е цяло число от 1 нагоре.";
    QTest::newRow("zeros are no number") << "0000000000" << qint64(-1)
                                         << "Номерът на документа „0000000000“ трябва да е цяло "
                                            "число от 1 нагоре.";
}

void TestNumbering::manualNumber()
{
    QFETCH(QString, typed);
    QFETCH(qint64, value);
    QFETCH(QString, message);
    try {
        QCOMPARE(ManualDocumentNumber(typed), value);
        QVERIFY(message.isNull());
    } catch (const UserError &error) {
        QCOMPARE(error.message(), message);
    }
}

void TestNumbering::referencedNumber()
{
    QCOMPARE(ReferencedNumber(QStringLiteral(" 40 ")), QStringLiteral("0000000040"));
    QCOMPARE(ReferencedNumber(QStringLiteral("A-17")), QStringLiteral("A-17"));
    QCOMPARE(ReferencedNumber(QString()), QString());
}

void TestNumbering::counterChoice_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("field");
    QTest::newRow("invoice") << "ФАКТУРА / INVOICE"
                             << "Фактура №";
    QTest::newRow("proforma") << "ПРОФОРМА ФАКТУРА / PROFORMA INVOICE"
                              << "Проформа №";
    QTest::newRow("proforma with a trailing blank is an invoice")
        << "ПРОФОРМА ФАКТУРА / PROFORMA INVOICE "
        << "Фактура №";
    QTest::newRow("empty kind is an invoice") << ""
                                              << "Фактура №";
}

void TestNumbering::counterChoice()
{
    QFETCH(QString, kind);
    QFETCH(QString, field);
    QCOMPARE(CounterField(kind), field);
}

void TestNumbering::dateLine()
{
    QCOMPARE(DateText(QDate(2007, 3, 5)), QStringLiteral("05.03.2007"));
    QCOMPARE(NumberAndDateLine(QStringLiteral("0000000042"), QStringLiteral("05.03.2007")),
             QStringLiteral("№ 0000000042 / Дата(Date): 05.03.2007"));
}

QTEST_GUILESS_MAIN(TestNumbering)
#include "tst_numbering.moc"
