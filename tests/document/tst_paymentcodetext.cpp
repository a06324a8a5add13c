#include "document/Invoice.h"
#include "document/PaymentCode.h"

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
    QTest::addColumn<QString>("currency");
    QTest::addColumn<QString>("payable");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("iban");
    QTest::addColumn<QString>("bic");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("absence");
    // A row changes one thing of the sample's euro invoice.
    struct Row {
        QString title = kInvoiceTitle, currency = "EUR", payable = "273.41",
                name = "Ведрина Трейд ООД", iban = "BG91 TRIB 9661 1020 3456 78", bic = "TRIBBGSF";
    };
    const auto row = [](const char *rule, const Row &r, const QString &text,
                        const QString &absence = QString()) {
        QTest::newRow(rule) << r.title << r.currency << r.payable << r.name << r.iban << r.bic
                            << text << absence;
    };
    const auto sample = [](const QString &bic, const QString &name, const QString &amount,
                           const QString &remittance = "Фактура 0000000043") {
        return Lines(bic, name, "BG91TRIB96611020345678", amount, remittance);
    };
    const QString name = "Ведрина Трейд ООД";
    const QString outside = "сумата за плащане не е между 0.01 и 999999999.99 EUR";
    Row r;
    row("euro invoice: eleven lines, the last without LF", r, kSampleText);
    r.title = kProformaTitle;
    row("proforma: its kind's word", r,
        sample("TRIBBGSF", name, "EUR273.41", "Проформа фактура 0000000043"));
    r.title = kDebitNoteTitle;
    row("debit note: paid, named as such", r,
        sample("TRIBBGSF", name, "EUR273.41", "Дебитно известие 0000000043"));
    r.title = kCreditNoteTitle;
    row("credit note: none", r, "", "кредитното известие не се плаща");
    row("leva document: none", Row{kInvoiceTitle, "BGN"}, "", "документът не е в евро");
    const auto amount = [&row, &sample, &name](const char *rule, const char *payable,
                                               const QString &written, const QString &absence) {
        Row r;
        r.payable = payable;
        row(rule, r, absence.isEmpty() ? sample("TRIBBGSF", name, written) : "", absence);
    };
    amount("one decimal written with two", "273.4", "EUR273.40", "");
    amount("ten-thousandths rounded to the cent", "273.405", "EUR273.41", "");
    amount("least amount 0.01", "0.01", "EUR0.01", "");
    amount("greatest amount 999999999.99", "999999999.99", "EUR999999999.99", "");
    amount("nothing to pay: none", "0", "", outside);
    amount("less than a cent: none", "0.0049", "", outside);
    amount("negative amount: none", "-5", "", outside);
    amount("a milliard: none", "1000000000", "", outside);
    r = Row();
    r.iban = "BG80 TRIB 9661 1020 3456 78";
    row("IBAN failing its check: none", r, "", "IBAN „BG80 TRIB 9661 1020 3456 78“ не е валиден");
    r.iban = " bg91 trib 9661 1020 3456 78";
    row("IBAN in small letters: capitals, no blanks", r, kSampleText);
    r = Row();
    r.bic = "tribbgsf xxx";
    row("BIC of 11 characters kept", r, sample("TRIBBGSFXXX", name, "EUR273.41"));
    r.bic = "TRIB-BG";
    row("no BIC form: left empty, as the EEA allows", r, sample("", name, "EUR273.41"));
    r = Row();
    r.name = QString(75, QChar(u'Я'));
    row("name cut to 70 characters", r, sample("TRIBBGSF", QString(70, QChar(u'Я')), "EUR273.41"));
    r.name = "Ведрина\nТрейд\t ООД";
    row("name on one line", r, kSampleText);
    r.name = Smileys(70);
    row("name of four-byte characters cut to the code's 331 bytes", r,
        sample("TRIBBGSF", Smileys(61), "EUR273.41"));
    r.name = " ";
    row("no name: none", r, "", "няма име на доставчика");
}

void TestPaymentCodeText::text()
{
    QFETCH(QString, title);
    QFETCH(QString, currency);
    QFETCH(QString, payable);
    QFETCH(QString, name);
    QFETCH(QString, iban);
    QFETCH(QString, bic);
    QFETCH(QString, text);
    QFETCH(QString, absence);
    Invoice invoice = EuroInvoice();
    // The note kinds are note titles over an invoice.
    invoice.noteTitle = title == kProformaTitle || title == kInvoiceTitle ? QString() : title;
    invoice.title = invoice.noteTitle.isEmpty() ? title : kInvoiceTitle;
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
