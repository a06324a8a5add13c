#include "ledger/LedgerPaper.h"

#include "base/Decimal.h"
#include "base/Errors.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace Ledger;

namespace
{
const Company kCompany = {QStringLiteral("Вектор ООД"), QStringLiteral("BG175074752")};

// Documents numbered from 1: every third a credit note, the fifth one in leva.
QVector<Document> Documents(int count)
{
    QVector<Document> documents;
    for (int i = 1; i <= count; ++i) {
        Document d;
        d.type = i % 3 == 0 ? DocumentType::CreditNote : DocumentType::Invoice;
        d.number = i;
        d.date = QDate(2026, 1, 1 + i % 28);
        d.recipientId = QStringLiteral("BG1318842%1").arg(i % 100, 2, 10, QLatin1Char('0'));
        d.recipientName = QStringLiteral("Клиент номер %1 с много дълго име на фирмата ООД").arg(i);
        d.description = QStringLiteral("Консултантски услуги по договор");
        d.currency = QString::fromLatin1(i == 5 ? "BGN" : "EUR");
        d.base20 = Decimal::TextToFixed(QStringLiteral("%1.50").arg(100 * i));
        d.vat20 = Decimal::TextToFixed(QStringLiteral("%1.10").arg(20 * i));
        documents.append(d);
    }
    return documents;
}

QString Tool(const QString &name, const QStringList &arguments)
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(name), arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString PageText(const QString &file, int page)
{
    return Tool(QStringLiteral("pdftotext"),
                {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                 QString::number(page), QStringLiteral("-layout"), file, QStringLiteral("-")});
}
} // namespace

// The ledger on landscape A4 pages of 30 records, read back from its PDF.
class TestLedgerPaper : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void pages_data();
    void pages();
    void incompleteLedgerIsNotPrinted();
};

void TestLedgerPaper::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        QSKIP("pdftotext and pdfinfo (poppler-utils) are not installed");
}

void TestLedgerPaper::pages_data()
{
    QTest::addColumn<int>("documents");
    QTest::addColumn<int>("pages");
    QTest::newRow("an empty period: one page of zeros") << 0 << 1;
    QTest::newRow("thirty records fill one page") << 30 << 1;
    QTest::newRow("the thirty-first starts a page") << 31 << 2;
    QTest::newRow("seventy records on three pages") << 70 << 3;
}

void TestLedgerPaper::pages()
{
    QFETCH(int, documents);
    QFETCH(int, pages);
    const SalesLedger ledger = Build(kCompany, QStringLiteral("202601"), Documents(documents));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ledger.pdf"));
    WriteLedgerPdf(ledger, file);
    const QString info = Tool(QStringLiteral("pdfinfo"), {file});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))),
             qPrintable(info));
    QVERIFY2(info.contains(QStringLiteral("842 x 595 pts (A4)")), qPrintable(info));

    for (int page = 1; page <= pages; ++page) {
        const QString text = PageText(file, page);
        for (const QString &head :
             {QStringLiteral("стр. %1 от %2").arg(page).arg(pages), QStringLiteral("Вектор ООД"),
              QStringLiteral("ИН по ЗДДС: BG175074752"),
              QStringLiteral("Данъчен период: 01.2026 (202601)"), QStringLiteral("ДДС 20 %")})
            QVERIFY2(text.contains(head), qPrintable(head));
        // Each page holds its thirty records and no other; the totals close the last one.
        for (int number = 1; number <= documents; ++number)
            QCOMPARE(text.contains(QStringLiteral("%1").arg(number, 10, 10, QLatin1Char('0'))),
                     (number - 1) / kRecordsPerPage + 1 == page);
        const bool last = page == pages;
        QCOMPARE(text.contains(QStringLiteral("Общо за периода (%1 бр.)").arg(documents)), last);
        QCOMPARE(text.contains(Decimal::FixedToText(ledger.totals[TotalBase], 2)), last);
        QCOMPARE(text.contains(QStringLiteral("1 документ в BGN превърнат в EUR по 1.95583.")),
                 last && documents >= 5);
    }
}

// A ledger that leaves a document out is neither printed nor written as PDF.
void TestLedgerPaper::incompleteLedgerIsNotPrinted()
{
    QVector<Document> documents = Documents(3);
    documents[1].recipientName.clear();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ledger.pdf"));
    QVERIFY_THROWS_EXCEPTION(
        UserError, WriteLedgerPdf(Build(kCompany, QStringLiteral("202601"), documents), file));
    QVERIFY(!QFile::exists(file));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

VORNEX_TEST_MAIN(TestLedgerPaper)
#include "tst_ledgerpaper.moc"
