#include "document/Invoice.h"
#include "print/PaymentCode.h"

#include <QTest>

// The payment code's text, field by field, and when a document carries none.
class TestPaymentCodeText : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void matrixHasQuietZoneAndFinders();
};

namespace
{
// The sample's euro invoice: the first own company, its first account, 273.41 EUR payable.
Invoice EuroInvoice()
{
    Invoice invoice;
    invoice.homeCurrency = QStringLiteral("EUR");
    invoice.foreignCurrency = QStringLiteral("BGN");
    invoice.number = 43;
    invoice.supplier.name = QStringLiteral("Ведрина Трейд ООД");
    invoice.supplier.name2 = QStringLiteral("Vedrina Trade Ltd");
    invoice.bank.name = QStringLiteral("Тракийска Инвестиционна Банка АД");
    invoice.bank.iban = QStringLiteral("BG91 TRIB 9661 1020 3456 78");
    invoice.bank.bic = QStringLiteral("TRIBBGSF");
    invoice.home.gross = Decimal::Amount::FromText(QStringLiteral("273.41"));
    return invoice;
}

QString Lines(const QString &bic, const QString &name, const QString &iban, const QString &amount,
              const QString &remittance)
{
    return QStringList{"BCD", "002", "1", "SCT", bic, name, iban, amount, "", "", remittance}.join(
        QLatin1Char('\n'));
}

// Characters of four bytes in UTF-8, two units in a QString.
QString Smileys(int count)
{
    const std::u32string text(size_t(count), U'\U0001F600');
    return QString::fromUcs4(text.c_str(), count);
}

const QString kSampleText = Lines("TRIBBGSF", "Ведрина Трейд ООД", "BG91TRIB96611020345678",
                                  "EUR273.41", "Фактура 0000000043");
} // namespace

void TestPaymentCodeText::text_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("currency");
    QTest::addColumn<QString>("payable");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("iban");
    QTest::addColumn<QString>("bic");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("absence");

    const QString name = QStringLiteral("Ведрина Трейд ООД");
    const QString iban = QStringLiteral("BG91 TRIB 9661 1020 3456 78");
    const QString ibanText = QStringLiteral("BG91TRIB96611020345678");
    const QString bic = QStringLiteral("TRIBBGSF");
    const QString invoiceNo = QStringLiteral("Фактура 0000000043");

    QTest::newRow("euro invoice: eleven lines, the last without LF")
        << kInvoiceTitle << ""
        << "EUR"
        << "273.41" << name << iban << bic << kSampleText << "";
    QTest::newRow("proforma: its kind's word")
        << kProformaTitle << ""
        << "EUR"
        << "273.41" << name << iban << bic
        << Lines(bic, name, ibanText, "EUR273.41", "Проформа фактура 0000000043") << "";
    QTest::newRow("debit note: paid, named as such")
        << kInvoiceTitle << kDebitNoteTitle << "EUR"
        << "12" << name << iban << bic
        << Lines(bic, name, ibanText, "EUR12.00", "Дебитно известие 0000000043") << "";
    QTest::newRow("credit note: none") << kInvoiceTitle << kCreditNoteTitle << "EUR"
                                       << "273.41" << name << iban << bic << ""
                                       << "кредитното известие не се плаща";
    QTest::newRow("leva document: none") << kInvoiceTitle << ""
                                         << "BGN"
                                         << "273.41" << name << iban << bic << ""
                                         << "документът не е в евро";
    QTest::newRow("amount with one decimal written with two")
        << kInvoiceTitle << ""
        << "EUR"
        << "273.4" << name << iban << bic << Lines(bic, name, ibanText, "EUR273.40", invoiceNo)
        << "";
    QTest::newRow("amount of ten-thousandths rounded to the cent")
        << kInvoiceTitle << ""
        << "EUR"
        << "273.405" << name << iban << bic << Lines(bic, name, ibanText, "EUR273.41", invoiceNo)
        << "";
    QTest::newRow("least amount 0.01")
        << kInvoiceTitle << ""
        << "EUR"
        << "0.01" << name << iban << bic << Lines(bic, name, ibanText, "EUR0.01", invoiceNo) << "";
    QTest::newRow("greatest amount 999999999.99")
        << kInvoiceTitle << ""
        << "EUR"
        << "999999999.99" << name << iban << bic
        << Lines(bic, name, ibanText, "EUR999999999.99", invoiceNo) << "";
    const QString outside = QStringLiteral("сумата за плащане не е между 0.01 и 999999999.99 EUR");
    QTest::newRow("nothing to pay: none") << kInvoiceTitle << ""
                                          << "EUR"
                                          << "0" << name << iban << bic << "" << outside;
    QTest::newRow("less than a cent: none") << kInvoiceTitle << ""
                                            << "EUR"
                                            << "0.0049" << name << iban << bic << "" << outside;
    QTest::newRow("negative amount: none") << kInvoiceTitle << ""
                                           << "EUR"
                                           << "-5" << name << iban << bic << "" << outside;
    QTest::newRow("a milliard: none") << kInvoiceTitle << ""
                                      << "EUR"
                                      << "1000000000" << name << iban << bic << "" << outside;
    QTest::newRow("IBAN failing its check: none")
        << kInvoiceTitle << ""
        << "EUR"
        << "273.41" << name << "BG80 TRIB 9661 1020 3456 78" << bic << ""
        << "IBAN „BG80 TRIB 9661 1020 3456 78“ не е валиден";
    QTest::newRow("IBAN in small letters: capitals, no blanks")
        << kInvoiceTitle << ""
        << "EUR"
        << "273.41" << name << " bg91 trib 9661 1020 3456 78" << bic << kSampleText << "";
    QTest::newRow("BIC of 11 characters kept")
        << kInvoiceTitle << ""
        << "EUR"
        << "273.41" << name << iban << "tribbgsf xxx"
        << Lines("TRIBBGSFXXX", name, ibanText, "EUR273.41", invoiceNo) << "";
    QTest::newRow("no BIC form: left empty, as the EEA allows")
        << kInvoiceTitle << ""
        << "EUR"
        << "273.41" << name << iban << "TRIB-BG"
        << Lines("", name, ibanText, "EUR273.41", invoiceNo) << "";
    QTest::newRow("name cut to 70 characters")
        << kInvoiceTitle << ""
        << "EUR"
        << "273.41" << QString(75, QChar(u'Я')) << iban << bic
        << Lines(bic, QString(70, QChar(u'Я')), ibanText, "EUR273.41", invoiceNo) << "";
    QTest::newRow("name on one line") << kInvoiceTitle << ""
                                      << "EUR"
                                      << "273.41"
                                      << "Ведрина\nТрейд\t ООД" << iban << bic << kSampleText << "";
    QTest::newRow("name of four-byte characters cut to the code's 331 bytes")
        << kInvoiceTitle << ""
        << "EUR"
        << "273.41" << Smileys(70) << iban << bic
        << Lines(bic, Smileys(61), ibanText, "EUR273.41", invoiceNo) << "";
    QTest::newRow("no name: none") << kInvoiceTitle << ""
                                   << "EUR"
                                   << "273.41"
                                   << " " << iban << bic << ""
                                   << "няма име на доставчика";
}

void TestPaymentCodeText::text()
{
    QFETCH(QString, title);
    QFETCH(QString, note);
    QFETCH(QString, currency);
    QFETCH(QString, payable);
    QFETCH(QString, name);
    QFETCH(QString, iban);
    QFETCH(QString, bic);
    QFETCH(QString, text);
    QFETCH(QString, absence);
    Invoice invoice = EuroInvoice();
    invoice.title = title;
    invoice.noteTitle = note;
    invoice.homeCurrency = currency;
    invoice.home.gross = Decimal::Amount::FromText(payable);
    invoice.supplier.name = name;
    invoice.bank.iban = iban;
    invoice.bank.bic = bic;
    QCOMPARE(PaymentCodeText(invoice), text);
    QCOMPARE(PaymentCodeAbsence(invoice), absence);
    QVERIFY(PaymentCodeText(invoice).toUtf8().size() <= 331);
}

void TestPaymentCodeText::matrixHasQuietZoneAndFinders()
{
    const QrMatrix code = QrMatrix::Encode(kSampleText);
    QVERIFY(!code.isNull());
    // A symbol of 21 + 4k modules and four light modules around it.
    const int symbol = code.size() - 2 * QrMatrix::kQuietZone;
    QCOMPARE((symbol - 21) % 4, 0);
    for (int i = 0; i < code.size(); ++i)
        for (int border = 0; border < QrMatrix::kQuietZone; ++border) {
            QVERIFY(!code.isDark(i, border));
            QVERIFY(!code.isDark(border, i));
            QVERIFY(!code.isDark(i, code.size() - 1 - border));
            QVERIFY(!code.isDark(code.size() - 1 - border, i));
        }
    // The finder pattern's dark corner in the top left, right after the quiet zone.
    QVERIFY(code.isDark(QrMatrix::kQuietZone, QrMatrix::kQuietZone));
    QVERIFY(QrMatrix::Encode(QString(3000, QLatin1Char('x'))).isNull());
}

QTEST_GUILESS_MAIN(TestPaymentCodeText)
#include "tst_paymentcodetext.moc"
