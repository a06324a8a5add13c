#include "ledger/LedgerFile.h"

#include "base/Decimal.h"
#include "base/Errors.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace Ledger;

Q_DECLARE_METATYPE(Ledger::Document)

namespace
{
const Company kCompany = {QStringLiteral("Вектор ООД"), QStringLiteral("BG175074752")};
const QString kPeriod = QStringLiteral("202601");
// 02-00, 02-01 and 02-02 of every record of the company's January 2026.
const QString kHead = QStringLiteral("BG175074752    202601   0");
// 02-27: no code.
const QString kNoCode = QStringLiteral("  ");

QString Zeros(int count)
{
    return QStringLiteral("           0.00").repeated(count);
}

Document Doc(DocumentType type, qint64 number, const QString &id, const char *name,
             const char *description)
{
    Document d;
    d.type = type;
    d.number = number;
    d.date = QDate(2026, 1, 15);
    d.recipientId = id;
    d.recipientName = QString::fromUtf8(name);
    d.description = QString::fromUtf8(description);
    d.currency = QStringLiteral("EUR");
    return d;
}

Document At20(Document d, const char *base, const char *vat)
{
    d.base20 = Decimal::TextToFixed(QString::fromLatin1(base));
    d.vat20 = Decimal::TextToFixed(QString::fromLatin1(vat));
    return d;
}

Document At9(Document d, const char *base, const char *vat)
{
    d.base9 = Decimal::TextToFixed(QString::fromLatin1(base));
    d.vat9 = Decimal::TextToFixed(QString::fromLatin1(vat));
    return d;
}

Document At0(Document d, const char *base, const char *ground)
{
    d.base0 = Decimal::TextToFixed(QString::fromLatin1(base));
    d.zeroVatGround = QString::fromUtf8(ground);
    d.zeroVatColumn = ClassifyZeroVatGround(d.zeroVatGround);
    return d;
}

template <typename Change> Document With(Document d, Change change)
{
    change(d);
    return d;
}

QString FromWindows1251(const QByteArray &bytes)
{
    QStringDecoder decoder("windows-1251");
    return decoder.decode(bytes);
}

// The record layout, read the other way: where each field sits in the 424 characters.
struct Field {
    int position; // 1-based
    int width;
    const char *code;
    bool amount;
};
const Field kLayout[] = {
    {1, 15, "02-00", false},   {16, 6, "02-01", false},  {22, 4, "02-02", false},
    {26, 15, "02-03", false},  {41, 2, "02-04", false},  {43, 20, "02-05", false},
    {63, 10, "02-06", false},  {73, 15, "02-07", false}, {88, 50, "02-08", false},
    {138, 30, "02-09", false}, {168, 15, "02-10", true}, {183, 15, "02-20", true},
    {198, 15, "02-11", true},  {213, 15, "02-21", true}, {228, 15, "02-12", true},
    {243, 15, "02-26", true},  {258, 15, "02-22", true}, {273, 15, "02-23", true},
    {288, 15, "02-13", true},  {303, 15, "02-24", true}, {318, 15, "02-14", true},
    {333, 15, "02-15", true},  {348, 15, "02-16", true}, {363, 15, "02-17", true},
    {378, 15, "02-18", true},  {393, 15, "02-19", true}, {408, 15, "02-25", true},
    {423, 2, "02-27", false}};

// A file's records as fields by code, each as written (not trimmed).
QVector<QHash<QString, QString>> ParseFile(const QByteArray &bytes)
{
    QVector<QHash<QString, QString>> records;
    const QString text = FromWindows1251(bytes);
    if (!text.endsWith(QStringLiteral("\r\n")))
        return records;
    for (const QString &line : text.chopped(2).split(QStringLiteral("\r\n"))) {
        QHash<QString, QString> fields;
        fields.insert(QStringLiteral("width"), QString::number(line.size()));
        for (const Field &field : kLayout)
            fields.insert(QString::fromLatin1(field.code),
                          line.mid(field.position - 1, field.width));
        records.append(fields);
    }
    return records;
}

qint64 Parsed(const QHash<QString, QString> &fields, const char *code)
{
    return Decimal::TextToFixed(fields.value(QString::fromLatin1(code)));
}

// Documents of every kind, rate, column and currency, numbered from 100 down.
QVector<Document> MixedDocuments()
{
    const char *grounds[] = {"чл. 28 ЗДДС",
                             "чл. 53, ал. 1 ЗДДС",
                             "чл. 146, ал. 1 ЗДДС",
                             "чл. 21, ал. 2 ЗДДС",
                             "чл. 69, ал. 2 ЗДДС",
                             "чл. 46 ЗДДС",
                             "чл. 141 от Директива 2006/112/ЕО"};
    const DocumentType types[] = {DocumentType::Invoice, DocumentType::DebitNote,
                                  DocumentType::CreditNote};
    QVector<Document> documents;
    for (int i = 0; i < 21; ++i) {
        Document d =
            Doc(types[i % 3], 100 - i,
                QStringLiteral("BG1318842%1").arg(i, 2, 10, QLatin1Char('0')), "Клиент", "Стока");
        d.recipientName += QString::number(i);
        d = At20(d, "100.10", "20.02");
        if (i % 2)
            d = At9(d, "33.33", "3.00");
        d = At0(d, "7.77", grounds[i % 7]);
        if (i % 5 == 0)
            d.currency = QStringLiteral("BGN");
        documents.append(d);
    }
    return documents;
}
} // namespace

// PRODAGBI.TXT: each document's exact record, and a whole file read back by the layout.
class TestLedgerFile : public QObject
{
    Q_OBJECT
private slots:
    void record_data();
    void record();
    void fileReadsBackByTheLayout();
    void emptyLedgerIsAnEmptyFile();
    void writtenWholeOrNotAtAll();
};

void TestLedgerFile::record_data()
{
    QTest::addColumn<Document>("document");
    QTest::addColumn<QString>("record");
    using T = DocumentType;
    QTest::newRow("invoice at 20 %")
        << At20(Doc(T::Invoice, 42, "BG131884205", "Алфа ЕООД", "Консултантски услуги"), "1000.00",
                "200.00")
        << kHead +
               QStringLiteral("              1"
                              "01"
                              "0000000042          "
                              "15/01/2026"
                              "BG131884205    "
                              "Алфа ЕООД                                         "
                              "Консултантски услуги          ") +
               QStringLiteral("        1000.00"
                              "         200.00"
                              "        1000.00"
                              "         200.00") +
               Zeros(13) + kNoCode;
    QTest::newRow("debit note at 9 %")
        << At9(Doc(T::DebitNote, 43, "BG131884205", "Алфа ЕООД", "Нощувки"), "250.50", "22.55")
        << kHead +
               QStringLiteral("              1"
                              "02"
                              "0000000043          "
                              "15/01/2026"
                              "BG131884205    "
                              "Алфа ЕООД                                         "
                              "Нощувки                       ") +
               QStringLiteral("         250.50"
                              "          22.55") +
               Zeros(6) +
               QStringLiteral("         250.50"
                              "          22.55") +
               Zeros(7) + kNoCode;
    QTest::newRow("credit note: negative")
        << At20(Doc(T::CreditNote, 44, "BG131884205", "Алфа ЕООД", "Консултантски услуги"),
                "100.00", "20.00")
        << kHead +
               QStringLiteral("              1"
                              "03"
                              "0000000044          "
                              "15/01/2026"
                              "BG131884205    "
                              "Алфа ЕООД                                         "
                              "Консултантски услуги          ") +
               QStringLiteral("        -100.00"
                              "         -20.00"
                              "        -100.00"
                              "         -20.00") +
               Zeros(13) + kNoCode;
    QTest::newRow("export to a recipient abroad without a VAT number: 02-14")
        << At0(Doc(T::Invoice, 45, RecipientIdentifier("", "HRB 4711", true), "Globex Inc.",
                   "Machine parts"),
               "5000.00", "чл. 28 ЗДДС")
        << kHead +
               QStringLiteral("              1"
                              "01"
                              "0000000045          "
                              "15/01/2026"
                              "999999999999999"
                              "Globex Inc.                                       "
                              "Machine parts                 ") +
               QStringLiteral("        5000.00") + Zeros(9) + QStringLiteral("        5000.00") +
               Zeros(6) + kNoCode;
    QTest::newRow("intra-Community supply: 02-15")
        << At0(Doc(T::Invoice, 46, "DE123456789", "Muster GmbH", "Стоманени профили"), "3000.00",
               "чл. 53, ал. 1 ЗДДС")
        << kHead +
               QStringLiteral("              1"
                              "01"
                              "0000000046          "
                              "15/01/2026"
                              "DE123456789    "
                              "Muster GmbH                                       "
                              "Стоманени профили             ") +
               QStringLiteral("        3000.00") + Zeros(10) + QStringLiteral("        3000.00") +
               Zeros(5) + kNoCode;
    QTest::newRow("art. 140, 146(1), 173: 02-16")
        << At0(Doc(T::Invoice, 47, "BG131884205", "Алфа ЕООД", "Туристически пакет"), "10.00",
               "чл. 140 ЗДДС")
        << kHead +
               QStringLiteral("              1"
                              "01"
                              "0000000047          "
                              "15/01/2026"
                              "BG131884205    "
                              "Алфа ЕООД                                         "
                              "Туристически пакет            ") +
               QStringLiteral("          10.00") + Zeros(11) + QStringLiteral("          10.00") +
               Zeros(4) + kNoCode;
    QTest::newRow("service in another member state: 02-17")
        << At0(Doc(T::Invoice, 48, "ATU12345678", "Beispiel AG", "Software development"), "800.00",
               "чл. 21, ал. 2 ЗДДС")
        << kHead +
               QStringLiteral("              1"
                              "01"
                              "0000000048          "
                              "15/01/2026"
                              "ATU12345678    "
                              "Beispiel AG                                       "
                              "Software development          ") +
               QStringLiteral("         800.00") + Zeros(12) + QStringLiteral("         800.00") +
               Zeros(3) + kNoCode;
    QTest::newRow("2007 place-of-supply ground: 02-17")
        << At0(Doc(T::Invoice, 49, "DE123456789", "Muster GmbH", "Ремонт на машини"), "600.00",
               "чл. 24, ал. 3")
        << kHead +
               QStringLiteral("              1"
                              "01"
                              "0000000049          "
                              "15/01/2026"
                              "DE123456789    "
                              "Muster GmbH                                       "
                              "Ремонт на машини              ") +
               QStringLiteral("         600.00") + Zeros(12) + QStringLiteral("         600.00") +
               Zeros(3) + kNoCode;
    QTest::newRow("art. 69(2): 02-18")
        << At0(Doc(T::Invoice, 50, "FR12345678901", "Exemple SARL", "Онлайн курс"), "120.00",
               "чл. 69, ал. 2 ЗДДС")
        << kHead +
               QStringLiteral("              1"
                              "01"
                              "0000000050          "
                              "15/01/2026"
                              "FR12345678901  "
                              "Exemple SARL                                      "
                              "Онлайн курс                   ") +
               QStringLiteral("         120.00") + Zeros(13) + QStringLiteral("         120.00") +
               Zeros(2) + kNoCode;
    QTest::newRow("exempt supply to a recipient with an ЕИК: 02-19")
        << At0(Doc(T::Invoice, 51, RecipientIdentifier("", "831641791", false), "Бета АД",
                   "Продажба на земя"),
               "70000.00", "чл. 45 ЗДДС")
        << kHead +
               QStringLiteral("              1"
                              "01"
                              "0000000051          "
                              "15/01/2026"
                              "831641791      "
                              "Бета АД                                           "
                              "Продажба на земя              ") +
               QStringLiteral("       70000.00") + Zeros(14) + QStringLiteral("       70000.00") +
               Zeros(1) + kNoCode;
    QTest::newRow("triangular intermediary: 02-25, not in 02-10")
        << At0(Doc(T::Invoice, 52, "RO12345678", "Exemplu SRL", "Стоки в тристранна операция"),
               "400.00", "чл. 141 от Директива 2006/112/ЕО")
        << kHead +
               QStringLiteral("              1"
                              "01"
                              "0000000052          "
                              "15/01/2026"
                              "RO12345678     "
                              "Exemplu SRL                                       "
                              "Стоки в тристранна операция   ") +
               Zeros(16) + QStringLiteral("         400.00") + kNoCode;
    QTest::newRow("private person by the ЕГН")
        << At20(Doc(T::Invoice, 53, RecipientIdentifier("", "7501010010", false),
                    "Иван Петров Иванов", "Уроци по пиано"),
                "50.00", "10.00")
        << kHead +
               QStringLiteral("              1"
                              "01"
                              "0000000053          "
                              "15/01/2026"
                              "7501010010     "
                              "Иван Петров Иванов                                "
                              "Уроци по пиано                ") +
               QStringLiteral("          50.00"
                              "          10.00"
                              "          50.00"
                              "          10.00") +
               Zeros(13) + kNoCode;
    QTest::newRow("long name and description cut at their widths")
        << At20(Doc(T::Invoice, 54, "BG831641791",
                    "Търговско дружество за внос и износ на строителни материали ООД",
                    "Тухли, керемиди, цимент и вар за строежа"),
                "1200.00", "240.00")
        << kHead +
               QStringLiteral("              1"
                              "01"
                              "0000000054          "
                              "15/01/2026"
                              "BG831641791    "
                              "Търговско дружество за внос и износ на строителни "
                              "Тухли, керемиди, цимент и вар ") +
               QStringLiteral("        1200.00"
                              "         240.00"
                              "        1200.00"
                              "         240.00") +
               Zeros(13) + kNoCode;
    QTest::newRow("characters Windows-1251 lacks become ?, a line break a blank")
        << At20(Doc(T::Invoice, 55, "CZ12345678", "Škoda Ωmega 😀 ООД", "Резервни\nчасти № 5, €"),
                "80.00", "16.00")
        << kHead +
               QStringLiteral("              1"
                              "01"
                              "0000000055          "
                              "15/01/2026"
                              "CZ12345678     "
                              "?koda ?mega ? ООД                                 "
                              "Резервни части № 5, €         ") +
               QStringLiteral("          80.00"
                              "          16.00"
                              "          80.00"
                              "          16.00") +
               Zeros(13) + kNoCode;
    QTest::newRow("leva in a euro period: converted")
        << With(At20(Doc(T::Invoice, 56, "BG131884205", "Алфа ЕООД", "Консултантски услуги"),
                     "1000.00", "200.00"),
                [](Document &d) { d.currency = QStringLiteral("BGN"); })
        << kHead +
               QStringLiteral("              1"
                              "01"
                              "0000000056          "
                              "15/01/2026"
                              "BG131884205    "
                              "Алфа ЕООД                                         "
                              "Консултантски услуги          ") +
               QStringLiteral("         511.29"
                              "         102.26"
                              "         511.29"
                              "         102.26") +
               Zeros(13) + kNoCode;
}

void TestLedgerFile::record()
{
    QFETCH(Document, document);
    QFETCH(QString, record);
    QCOMPARE(record.size(), kRecordWidth);
    const SalesLedger ledger = Build(kCompany, kPeriod, {document});
    QCOMPARE(ledger.refused.size(), 0);
    QCOMPARE(ledger.records.size(), 1);
    const QByteArray bytes = RecordBytes(ledger, ledger.records.first());
    QCOMPARE(bytes.size(), kRecordWidth);
    QCOMPARE(FromWindows1251(bytes), record);
}

void TestLedgerFile::fileReadsBackByTheLayout()
{
    const SalesLedger ledger = Build(kCompany, kPeriod, MixedDocuments());
    QCOMPARE(ledger.records.size(), 21);
    const QByteArray bytes = FileBytes(ledger);
    QCOMPARE(bytes.count("\r\n"), 21);
    QCOMPARE(bytes.count('\n'), 21);
    const QVector<QHash<QString, QString>> parsed = ParseFile(bytes);
    QCOMPARE(parsed.size(), 21);

    static const QRegularExpression amountForm(QStringLiteral("^ *-?\\d+\\.\\d\\d$"));
    qint64 sumOfTotalBases = 0;
    for (int i = 0; i < parsed.size(); ++i) {
        const QHash<QString, QString> &f = parsed.at(i);
        const Record &r = ledger.records.at(i);
        QCOMPARE(f.value("width"), QString::number(kRecordWidth));
        QCOMPARE(f.value("02-00"), QStringLiteral("BG175074752    "));
        QCOMPARE(f.value("02-01"), kPeriod);
        QCOMPARE(f.value("02-02"), QStringLiteral("   0"));
        QCOMPARE(f.value("02-03").trimmed(), QString::number(i + 1));
        QCOMPARE(f.value("02-03").size(), 15);
        QCOMPARE(f.value("02-04"), QStringLiteral("0%1").arg(int(r.type) + 1));
        QCOMPARE(f.value("02-05").trimmed(),
                 QStringLiteral("%1").arg(80 + i, 10, 10, QLatin1Char('0')));
        QCOMPARE(f.value("02-06"), QStringLiteral("15/01/2026"));
        QCOMPARE(f.value("02-07").trimmed(), r.recipientId);
        QCOMPARE(f.value("02-08").trimmed(), r.recipientName);
        QCOMPARE(f.value("02-09").trimmed(), QStringLiteral("Стока"));
        QCOMPARE(f.value("02-27"), kNoCode);
        for (const Field &field : kLayout) {
            if (!field.amount)
                continue;
            const QString text = f.value(QString::fromLatin1(field.code));
            QVERIFY2(amountForm.match(text).hasMatch(), qPrintable(text));
        }
        // The checks the return makes on every record.
        QCOMPARE(Parsed(f, "02-20"),
                 Parsed(f, "02-21") + Parsed(f, "02-22") + Parsed(f, "02-23") + Parsed(f, "02-24"));
        qint64 bases = 0;
        for (const char *code : {"02-11", "02-12", "02-13", "02-14", "02-15", "02-16", "02-17",
                                 "02-18", "02-19", "02-26"})
            bases += Parsed(f, code);
        QCOMPARE(Parsed(f, "02-10"), bases);
        // A credit note is negative throughout, the others positive.
        const qint64 sign = r.type == DocumentType::CreditNote ? -1 : 1;
        QVERIFY(Parsed(f, "02-11") * sign > 0);
        QVERIFY(Parsed(f, "02-21") * sign > 0);
        sumOfTotalBases += Parsed(f, "02-10");
    }
    QCOMPARE(sumOfTotalBases, ledger.totals[TotalBase]);
    // Every amount column reads back into the ledger's total of its column; the amounts follow
    // the ten text fields.
    for (int column = 0; column < kColumnCount; ++column) {
        qint64 sum = 0;
        for (const QHash<QString, QString> &f : parsed)
            sum += Parsed(f, kLayout[10 + column].code);
        QCOMPARE(sum, ledger.totals[column]);
    }
}

void TestLedgerFile::emptyLedgerIsAnEmptyFile()
{
    QCOMPARE(FileBytes(Build(kCompany, kPeriod, {})), QByteArray());
}

// The file is written all or nothing; a ledger that leaves a document out is never written.
void TestLedgerFile::writtenWholeOrNotAtAll()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PRODAGBI.TXT"));
    const SalesLedger ledger = Build(kCompany, kPeriod, MixedDocuments());
    WriteFile(ledger, path);
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), FileBytes(ledger));
    written.close();

    QVector<Document> withRefused = MixedDocuments();
    withRefused[3].recipientId.clear();
    QVERIFY_THROWS_EXCEPTION(UserError, WriteFile(Build(kCompany, kPeriod, withRefused), path));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), FileBytes(ledger));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("PRODAGBI.TXT")});

    QVERIFY_THROWS_EXCEPTION(
        UserError, WriteFile(ledger, dir.filePath(QStringLiteral("no such folder/PRODAGBI.TXT"))));
}

QTEST_GUILESS_MAIN(TestLedgerFile)
#include "tst_ledgerfile.moc"
