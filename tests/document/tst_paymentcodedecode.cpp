#include "document/Invoice.h"
#include "document/PaymentCode.h"
#include "document/PaymentCodePainter.h"

#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The payment code drawn as the page draws it, read back by a real decoder from the page bitmap
// and from a PDF's rendering.
class TestPaymentCodeDecode : public QObject
{
    Q_OBJECT

private slots:
    void decodedExactly_data();
    void decodedExactly();
};

namespace
{
// The page as the archive and the PDF hold it, and the place of the code on it.
constexpr int kPageWidth = 859;
constexpr int kPageHeight = 1168;
const QRect kCodePlace(640, 900, 170, 170);

Invoice SampleEuroInvoice()
{
    Invoice invoice;
    invoice.homeCurrency = QStringLiteral("EUR");
    invoice.number = 43;
    invoice.supplier.name = QStringLiteral("Ведрина Трейд ООД");
    invoice.bank.iban = QStringLiteral("BG91 TRIB 9661 1020 3456 78");
    invoice.bank.bic = QStringLiteral("TRIBBGSF");
    invoice.home.gross = Decimal::Amount::FromText(QStringLiteral("273.41"));
    return invoice;
}

// What zbar reads from a picture file: the bytes of the one code it finds.
QByteArray Decoded(const QString &file)
{
    QProcess zbar;
    zbar.start(
        QStandardPaths::findExecutable(QStringLiteral("zbarimg")),
        {QStringLiteral("--quiet"), QStringLiteral("--raw"), QStringLiteral("-Sbinary"), file});
    if (!zbar.waitForFinished(30000) || zbar.exitCode() != 0)
        return QByteArray();
    return zbar.readAllStandardOutput();
}

int DrawOnBitmap(const QrMatrix &code, const QString &file)
{
    QImage page(kPageWidth, kPageHeight, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    const int module = DrawPaymentCode(painter, kCodePlace, code);
    painter.end();
    page.save(file);
    return module;
}

// The page written as the program writes its PDFs (A4, 300 dpi, the page scaled to the width),
// rendered back at 150 dpi.
int DrawOnPdf(const QrMatrix &code, const QString &file, const QString &rendered)
{
    int module = 0;
    {
        QPdfWriter writer(file);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setResolution(300);
        QPainter painter(&writer);
        const double scale = double(writer.width()) / kPageWidth;
        painter.scale(scale, scale);
        module = DrawPaymentCode(painter, kCodePlace, code);
    }
    // Vectors, not a picture of the code.
    QFile written(file);
    if (!written.open(QIODevice::ReadOnly) || written.readAll().contains("/Subtype /Image"))
        return 0;
    QProcess poppler;
    poppler.start(QStandardPaths::findExecutable(QStringLiteral("pdftoppm")),
                  {QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-png"),
                   QStringLiteral("-singlefile"), file, rendered.chopped(4)});
    if (!poppler.waitForFinished(30000) || poppler.exitCode() != 0)
        return 0;
    return module;
}
} // namespace

void TestPaymentCodeDecode::decodedExactly_data()
{
    QTest::addColumn<bool>("pdf");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("payable");
    QTest::addColumn<int>("module");

    const QString longName(70, QChar(u'Ж'));
    QTest::newRow("sample invoice, page bitmap") << false << "Ведрина Трейд ООД"
                                                 << "273.41" << 3;
    QTest::newRow("sample invoice, PDF") << true << "Ведрина Трейд ООД"
                                         << "273.41" << 3;
    QTest::newRow("longest name and amount, page bitmap")
        << false << longName << "999999999.99" << 2;
    QTest::newRow("longest name and amount, PDF") << true << longName << "999999999.99" << 2;
}

void TestPaymentCodeDecode::decodedExactly()
{
    QFETCH(bool, pdf);
    QFETCH(QString, name);
    QFETCH(QString, payable);
    QFETCH(int, module);
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty(),
             "zbarimg (zbar-tools) is needed to read the code back");
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty(),
             "pdftoppm (poppler-utils) is needed to render the PDF");
    Invoice invoice = SampleEuroInvoice();
    invoice.supplier.name = name;
    invoice.home.gross = Decimal::Amount::FromText(payable);
    const QString text = PaymentCodeText(invoice);
    QVERIFY(!text.isEmpty());
    const QrMatrix code = QrMatrix::Encode(text);
    QVERIFY(!code.isNull());

    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("page.png"));
    const int drawn = pdf ? DrawOnPdf(code, folder.filePath(QStringLiteral("page.pdf")), picture)
                          : DrawOnBitmap(code, picture);
    QCOMPARE(drawn, module);
    QByteArray read = Decoded(picture);
    if (read.endsWith('\n'))
        read.chop(1);
    QCOMPARE(QString::fromUtf8(read), text);
}

QTEST_MAIN(TestPaymentCodeDecode)
#include "tst_paymentcodedecode.moc"
