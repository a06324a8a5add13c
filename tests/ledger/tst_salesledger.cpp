#include "ledger/LedgerFile.h"

#include "base/Decimal.h"
#include "base/Errors.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace Ledger;
using T = DocumentType;

Q_DECLARE_METATYPE(Ledger::Document)

namespace
{
const Company kCompany = {QStringLiteral("Вектор ООД"), QStringLiteral("BG175074752")};
const QString kJanuary = QStringLiteral("202601");

// A document of 15 January 2026 in euro: at 20 % or 9 % the last two are its base and VAT, at 0 %
// its base and ground.
Document Doc(T type, qint64 number, const QString &id, const char *name, const char *description,
             int rate, const char *base, const char *vatOrGround)
{
    Document d;
    d.type = type;
    d.number = number;
    d.date = QDate(2026, 1, 15);
    d.recipientId = id;
    d.recipientName = QString::fromUtf8(name);
    d.description = QString::fromUtf8(description);
    d.currency = QStringLiteral("EUR");
    const qint64 amount = Decimal::TextToFixed(QString::fromLatin1(base));
    const QString last = QString::fromUtf8(vatOrGround);
    if (rate == 0) {
        d.base0 = amount;
        d.zeroVatGround = last;
        d.zeroVatColumn = ClassifyZeroVatGround(last);
    } else {
        (rate == 9 ? d.base9 : d.base20) = amount;
        (rate == 9 ? d.vat9 : d.vat20) = Decimal::TextToFixed(last);
    }
    return d;
}

Document Invoice(qint64 number, const char *base = "100.00", const char *vat = "20.00")
{
    return Doc(T::Invoice, number, QStringLiteral("BG131884205"), "Алфа ЕООД", "Услуги", 20, base,
               vat);
}

template <typename Change> Document With(Document d, Change change)
{
    change(d);
    return d;
}

QString U(const char16_t *text)
{
    return QString::fromUtf16(text);
}

QString Zeros(int count)
{
    return QStringLiteral("           0.00").repeated(count);
}

QString Money(qint64 amount)
{
    return Decimal::FixedToText(amount, 2);
}

// Where each field sits in a record, as the layout gives it, to read a file back.
struct Field {
    int position, width;
    const char *code;
};
const Field kLayout[] = {
    {1, 15, "02-00"},   {16, 6, "02-01"},   {22, 4, "02-02"},   {26, 15, "02-03"},
    {41, 2, "02-04"},   {43, 20, "02-05"},  {63, 10, "02-06"},  {73, 15, "02-07"},
    {88, 50, "02-08"},  {138, 30, "02-09"}, {168, 15, "02-10"}, {183, 15, "02-20"},
    {198, 15, "02-11"}, {213, 15, "02-21"}, {228, 15, "02-12"}, {243, 15, "02-26"},
    {258, 15, "02-22"}, {273, 15, "02-23"}, {288, 15, "02-13"}, {303, 15, "02-24"},
    {318, 15, "02-14"}, {333, 15, "02-15"}, {348, 15, "02-16"}, {363, 15, "02-17"},
    {378, 15, "02-18"}, {393, 15, "02-19"}, {408, 15, "02-25"}, {423, 2, "02-27"}};
constexpr int kFirstAmount = 10;

QVector<QHash<QString, QString>> ReadFile(const QByteArray &bytes)
{
    QVector<QHash<QString, QString>> records;
    const QString text = QStringDecoder("windows-1251").decode(bytes);
    for (const QString &line : text.chopped(2).split(QStringLiteral("\r\n"))) {
        QHash<QString, QString> fields = {{QStringLiteral("width"), QString::number(line.size())}};
        for (const Field &field : kLayout)
            fields.insert(QString::fromLatin1(field.code),
                          line.mid(field.position - 1, field.width));
        records.append(fields);
    }
    return records;
}

qint64 Read(const QHash<QString, QString> &record, const char *code)
{
    return Decimal::TextToFixed(record.value(QString::fromLatin1(code)));
}

// Invoices, debit and credit notes numbered from 21 down, at every rate and 0 % column, some in
// leva.
QVector<Document> Mixed()
{
    const char *grounds[] = {"чл. 28 ЗДДС",
                             "чл. 53, ал. 1 ЗДДС",
                             "чл. 146, ал. 1 ЗДДС",
                             "чл. 21, ал. 2 ЗДДС",
                             "чл. 69, ал. 2 ЗДДС",
                             "чл. 46 ЗДДС",
                             "чл. 141 от Директива 2006/112/ЕО"};
    QVector<Document> documents;
    for (int i = 0; i < 21; ++i) {
        Document d = Doc(T(i % 3), 21 - i, QStringLiteral("BG1318842%1").arg(i + 10), "Клиент",
                         "Стока", 0, "7.77", grounds[i % 7]);
        d.base20 = 1001000 + i;
        d.vat20 = 200200;
        d.base9 = i % 2 ? 333300 : 0;
        d.vat9 = i % 2 ? 30000 : 0;
        if (i % 5 == 0)
            d.currency = QStringLiteral("BGN");
        documents.append(d);
    }
    return documents;
}
} // namespace

// The sales ledger of a period, and PRODAGBI.TXT written from it.
class TestSalesLedger : public QObject
{
    Q_OBJECT
private slots:
    void record_data();
    void record();
    void build_data();
    void build();
    void totalsFollowTheWorkingRule_data();
    void totalsFollowTheWorkingRule();
    void fileReadsBackByTheLayout();
    void writtenWholeOrRefused();
};

// clang-format off
void TestSalesLedger::record_data()
{
    QTest::addColumn<Document>("document");
    QTest::addColumn<QString>("record");
    const auto row = [](const char *name, const Document &document, const char16_t *text,
                        const QString &amounts) {
        QTest::newRow(name) << document
                            << QStringLiteral("BG175074752    202601   0") + U(text) + amounts + "  ";
    };
    row("invoice at 20 %",
        Doc(T::Invoice, 42, "BG131884205", "Алфа ЕООД", "Консултантски услуги", 20, "1000.00", "200.00"),
        u"              1" "01" "0000000042          " "15/01/2026" "BG131884205    "
        "Алфа ЕООД                                         " "Консултантски услуги          ",
        U(u"        1000.00         200.00        1000.00         200.00") + Zeros(13));
    row("debit note at 9 %",
        Doc(T::DebitNote, 43, "BG131884205", "Алфа ЕООД", "Нощувки", 9, "250.50", "22.55"),
        u"              1" "02" "0000000043          " "15/01/2026" "BG131884205    "
        "Алфа ЕООД                                         " "Нощувки                       ",
        U(u"         250.50          22.55") + Zeros(6) + U(u"         250.50          22.55") + Zeros(7));
    row("credit note: negative",
        Doc(T::CreditNote, 44, "BG131884205", "Алфа ЕООД", "Отстъпка", 20, "100.00", "20.00"),
        u"              1" "03" "0000000044          " "15/01/2026" "BG131884205    "
        "Алфа ЕООД                                         " "Отстъпка                      ",
        U(u"        -100.00         -20.00        -100.00         -20.00") + Zeros(13));
    row("export, a recipient abroad without a VAT number: 02-14",
        Doc(T::Invoice, 45, RecipientIdentifier("", "HRB 4711", true), "Globex Inc.", "Machine parts", 0, "5000.00", "чл. 28 ЗДДС"),
        u"              1" "01" "0000000045          " "15/01/2026" "999999999999999"
        "Globex Inc.                                       " "Machine parts                 ",
        U(u"        5000.00") + Zeros(9) + U(u"        5000.00") + Zeros(6));
    row("intra-Community supply, VAT number without blanks: 02-15",
        Doc(T::Invoice, 46, RecipientIdentifier(" de 123 456 789", "", true), "Muster GmbH", "Стоманени профили", 0, "3000.00", "чл. 53, ал. 1 ЗДДС"),
        u"              1" "01" "0000000046          " "15/01/2026" "DE123456789    "
        "Muster GmbH                                       " "Стоманени профили             ",
        U(u"        3000.00") + Zeros(10) + U(u"        3000.00") + Zeros(5));
    row("art. 140, 146(1), 173: 02-16",
        Doc(T::Invoice, 47, "BG131884205", "Алфа ЕООД", "Туристически пакет", 0, "10.00", "чл. 140 ЗДДС"),
        u"              1" "01" "0000000047          " "15/01/2026" "BG131884205    "
        "Алфа ЕООД                                         " "Туристически пакет            ",
        U(u"          10.00") + Zeros(11) + U(u"          10.00") + Zeros(4));
    row("service in another member state: 02-17",
        Doc(T::Invoice, 48, "ATU12345678", "Beispiel AG", "Software development", 0, "800.00", "чл. 21, ал. 2 ЗДДС"),
        u"              1" "01" "0000000048          " "15/01/2026" "ATU12345678    "
        "Beispiel AG                                       " "Software development          ",
        U(u"         800.00") + Zeros(12) + U(u"         800.00") + Zeros(3));
    row("art. 69(2): 02-18",
        Doc(T::Invoice, 50, "FR12345678901", "Exemple SARL", "Онлайн курс", 0, "120.00", "чл. 69, ал. 2 ЗДДС"),
        u"              1" "01" "0000000050          " "15/01/2026" "FR12345678901  "
        "Exemple SARL                                      " "Онлайн курс                   ",
        U(u"         120.00") + Zeros(13) + U(u"         120.00") + Zeros(2));
    row("exempt, a recipient by its ЕИК: 02-19",
        Doc(T::Invoice, 51, RecipientIdentifier("", "831641791", false), "Бета АД", "Продажба на земя", 0, "70000.00", "чл. 45 ЗДДС"),
        u"              1" "01" "0000000051          " "15/01/2026" "831641791      "
        "Бета АД                                           " "Продажба на земя              ",
        U(u"       70000.00") + Zeros(14) + U(u"       70000.00") + Zeros(1));
    row("triangular intermediary: 02-25, not in 02-10",
        Doc(T::Invoice, 52, "RO12345678", "Exemplu SRL", "Стоки", 0, "400.00", "чл. 141 от Директива 2006/112/ЕО"),
        u"              1" "01" "0000000052          " "15/01/2026" "RO12345678     "
        "Exemplu SRL                                       " "Стоки                         ",
        Zeros(16) + U(u"         400.00"));
    row("a private person by the ЕГН",
        Doc(T::Invoice, 53, RecipientIdentifier("", "7501010010", false), "Иван Петров Иванов", "Уроци по пиано", 20, "50.00", "10.00"),
        u"              1" "01" "0000000053          " "15/01/2026" "7501010010     "
        "Иван Петров Иванов                                " "Уроци по пиано                ",
        U(u"          50.00          10.00          50.00          10.00") + Zeros(13));
    row("a long name and description cut at their widths",
        Doc(T::Invoice, 54, "BG831641791",
            "Търговско дружество за внос и износ на строителни материали ООД",
            "Тухли, керемиди, цимент и вар за строежа", 20, "1200.00", "240.00"),
        u"              1" "01" "0000000054          " "15/01/2026" "BG831641791    "
        "Търговско дружество за внос и износ на строителни " "Тухли, керемиди, цимент и вар ",
        U(u"        1200.00         240.00        1200.00         240.00") + Zeros(13));
    row("characters Windows-1251 lacks become ?, a line break a blank",
        Doc(T::Invoice, 55, "CZ12345678", "Škoda Ωmega 😀 ООД", "Резервни\nчасти № 5, €", 20, "80.00", "16.00"),
        u"              1" "01" "0000000055          " "15/01/2026" "CZ12345678     "
        "?koda ?mega ? ООД                                 " "Резервни части № 5, €         ",
        U(u"          80.00          16.00          80.00          16.00") + Zeros(13));
}
// clang-format on

void TestSalesLedger::record()
{
    QFETCH(Document, document);
    QFETCH(QString, record);
    QCOMPARE(record.size(), kRecordWidth);
    const SalesLedger ledger = Build(kCompany, kJanuary, {document});
    QCOMPARE(ledger.refused.size(), 0);
    const QByteArray bytes = RecordBytes(ledger, ledger.records.value(0));
    QCOMPARE(bytes.size(), kRecordWidth);
    QCOMPARE(QStringDecoder("windows-1251").decode(bytes), record);
}

// clang-format off
void TestSalesLedger::build_data()
{
    QTest::addColumn<QString>("period");
    QTest::addColumn<QVector<Document>>("documents");
    QTest::addColumn<QStringList>("records"); // sequence, number, 02-10, 02-20
    QTest::addColumn<QString>("totals");      // 02-10, 02-20
    QTest::addColumn<QStringList>("refused");
    QTest::addColumn<int>("converted");
    const auto euro = [](T type, qint64 number, const char *base, const char *vat,
                         const char *currency, QDate date) {
        return With(Doc(type, number, "BG131884205", "Алфа ЕООД", "Услуги", 20, base, vat),
                    [&](Document &d) { d.currency = QString::fromLatin1(currency); d.date = date; });
    };
    const QDate jan(2026, 1, 15), dec(2025, 12, 1);
    const QString first = QStringLiteral("Фактура № 0000000001 от 15.01.2026: ");
    const QString no = QStringLiteral("основанието за нулевата ставка „%1“ не определя колона на дневника");

    QTest::newRow("records in the order of their numbers, counted from 1") << kJanuary
        << QVector<Document>{Invoice(7), Invoice(3, "50.00", "10.00"), Invoice(5)}
        << QStringList{"1 3 50.00 10.00", "2 5 100.00 20.00", "3 7 100.00 20.00"} << "250.00 50.00" << QStringList() << 0;
    QTest::newRow("a proforma is never in the ledger") << kJanuary
        << QVector<Document>{Invoice(1), euro(T::Proforma, 2, "9.00", "1.80", "EUR", jan)}
        << QStringList{"1 1 100.00 20.00"} << "100.00 20.00" << QStringList() << 0;
    QTest::newRow("a document of another period is left out") << kJanuary
        << QVector<Document>{euro(T::Invoice, 1, "1.00", "0.20", "EUR", QDate(2025, 12, 31)), Invoice(2)}
        << QStringList{"1 2 100.00 20.00"} << "100.00 20.00" << QStringList() << 0;
    QTest::newRow("a credit note lowers the sums, entered positive or negative") << kJanuary
        << QVector<Document>{Invoice(1), euro(T::CreditNote, 2, "30.00", "6.00", "EUR", jan),
                             euro(T::CreditNote, 3, "-10.00", "-2.00", "EUR", jan)}
        << QStringList{"1 1 100.00 20.00", "2 2 -30.00 -6.00", "3 3 -10.00 -2.00"} << "60.00 12.00" << QStringList() << 0;
    QTest::newRow("sub-cent amounts rounded to the cent") << kJanuary
        << QVector<Document>{Invoice(1, "10.005", "2.0049")}
        << QStringList{"1 1 10.01 2.00"} << "10.01 2.00" << QStringList() << 0;
    QTest::newRow("leva in a euro period: converted at 1.95583") << kJanuary
        << QVector<Document>{euro(T::Invoice, 1, "1000.00", "200.00", "BGN", jan)}
        << QStringList{"1 1 511.29 102.26"} << "511.29 102.26" << QStringList() << 1;
    QTest::newRow("euro in a leva period: half a cent away from zero") << "202512"
        << QVector<Document>{euro(T::Invoice, 1, "500.00", "100.00", "EUR", dec),
                             euro(T::CreditNote, 2, "500.00", "0", "EUR", dec),
                             euro(T::Invoice, 3, "10.00", "2.00", "BGN", dec)}
        << QStringList{"1 1 977.92 195.58", "2 2 -977.92 0.00", "3 3 10.00 2.00"} << "10.00 197.58" << QStringList() << 2;
    QTest::newRow("a ground without a base at 0 % is not looked at") << kJanuary
        << QVector<Document>{With(Invoice(1), [](Document &d) { d.zeroVatGround = QStringLiteral("чл. 99"); })}
        << QStringList{"1 1 100.00 20.00"} << "100.00 20.00" << QStringList() << 0;

    QTest::newRow("refused: a base at 0 % with the placeholder ground") << kJanuary
        << QVector<Document>{With(Doc(T::Invoice, 1, "BG131884205", "Алфа ЕООД", "", 0, "1.00", ""),
                                  [](Document &d) { d.zeroVatGround = kNoZeroVatGround; })}
        << QStringList() << "0.00 0.00" << QStringList{first + "няма основание за нулевата ставка"} << 0;
    QTest::newRow("refused: a ground that gives no column") << kJanuary
        << QVector<Document>{Doc(T::Invoice, 1, "BG131884205", "Алфа ЕООД", "", 0, "1.00", "чл. 113, ал. 9")}
        << QStringList() << "0.00 0.00" << QStringList{first + no.arg("чл. 113, ал. 9")} << 0;
    QTest::newRow("refused: no identifier and no name, both said") << kJanuary
        << QVector<Document>{With(Invoice(1), [](Document &d) { d.recipientId = " "; d.recipientName.clear(); })}
        << QStringList() << "0.00 0.00"
        << QStringList{first + "няма идентификатор на получателя (ИН по ЗДДС, ЕИК или ЕГН); няма име на получателя"} << 0;
    QTest::newRow("refused: an identifier wider than its field") << kJanuary
        << QVector<Document>{With(Invoice(1), [](Document &d) { d.recipientId = "BG12345678901234"; })}
        << QStringList() << "0.00 0.00"
        << QStringList{first + "идентификаторът на получателя „BG12345678901234“ е по-дълъг от 15 знака"} << 0;
    QTest::newRow("refused: another currency") << kJanuary
        << QVector<Document>{euro(T::Invoice, 1, "1.00", "0.20", "USD", jan)}
        << QStringList() << "0.00 0.00" << QStringList{first + "валутата „USD“ не е нито BGN, нито EUR"} << 0;
    QTest::newRow("refused: one number on two documents, both named") << kJanuary
        << QVector<Document>{Invoice(1), euro(T::CreditNote, 1, "1.00", "0.20", "EUR", jan), Invoice(2)}
        << QStringList{"1 2 100.00 20.00"} << "100.00 20.00"
        << QStringList{first + "номерът е на повече от един документ в периода",
                       "Кредитно известие № 0000000001 от 15.01.2026: номерът е на повече от един документ в периода"} << 0;
    QTest::newRow("refused: no number and no date") << kJanuary
        << QVector<Document>{With(Invoice(0), [](Document &d) { d.date = QDate(); })}
        << QStringList() << "0.00 0.00" << QStringList{"Фактура: няма номер; няма дата"} << 0;
    QTest::newRow("refused: an amount wider than its field") << kJanuary
        << QVector<Document>{Invoice(1, "1000000000000.00", "0")}
        << QStringList() << "0.00 0.00" << QStringList{first + "сумата 1000000000000.00 е по-дълга от 15 знака"} << 0;
}
// clang-format on

void TestSalesLedger::build()
{
    QFETCH(QString, period);
    QFETCH(QVector<Document>, documents);
    QFETCH(QStringList, records);
    QFETCH(QString, totals);
    QFETCH(QStringList, refused);
    QFETCH(int, converted);
    const SalesLedger ledger = Build(kCompany, period, documents);
    QStringList got;
    for (const Record &r : ledger.records)
        got << QStringLiteral("%1 %2 %3 %4")
                   .arg(r.sequence)
                   .arg(r.number)
                   .arg(Money(r.amounts[TotalBase]), Money(r.amounts[TotalVat]));
    QCOMPARE(got, records);
    QCOMPARE(Money(ledger.totals[TotalBase]) + ' ' + Money(ledger.totals[TotalVat]), totals);
    got.clear();
    for (const Refusal &refusal : ledger.refused)
        got << refusal.document + QStringLiteral(": ") + refusal.reason;
    QCOMPARE(got, refused);
    QCOMPARE(ledger.convertedCount, converted);
}

void TestSalesLedger::totalsFollowTheWorkingRule_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("inBase");
    QTest::addColumn<bool>("inVat");
    const QList<int> bases = {Base20,
                              Base9,
                              BaseAcquisitions,
                              BaseArt82,
                              BaseChapterThree,
                              BaseIntraCommunity,
                              BaseArt140_146_173,
                              BaseServiceElsewhere,
                              BaseArt69,
                              BaseExempt};
    const QList<int> vats = {Vat20, VatAcquisitions, VatPersonalUse, Vat9};
    for (int column = Base20; column < kColumnCount; ++column) {
        const bool base = bases.contains(column), vat = vats.contains(column);
        QTest::addRow("%s counts in %s", qPrintable(ColumnCode(column)),
                      base  ? "02-10"
                      : vat ? "02-20"
                            : "neither")
            << column << base << vat;
    }
}

void TestSalesLedger::totalsFollowTheWorkingRule()
{
    QFETCH(int, column);
    QFETCH(bool, inBase);
    QFETCH(bool, inVat);
    Amounts amounts{};
    amounts[column] = 12345;
    amounts[TotalBase] = amounts[TotalVat] = 1; // the totals themselves never count
    QCOMPARE(BaseTotal(amounts), inBase ? 12345 : 0);
    QCOMPARE(VatTotal(amounts), inVat ? 12345 : 0);
}

// A whole file read back by the layout: CR LF after every record, each of 424 characters, the
// return's checks on every record, and the columns adding up to the ledger's totals.
void TestSalesLedger::fileReadsBackByTheLayout()
{
    const SalesLedger ledger = Build(kCompany, kJanuary, Mixed());
    QCOMPARE(ledger.records.size(), 21);
    const QByteArray bytes = FileBytes(ledger);
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(bytes.count("\r\n"), 21);
    QCOMPARE(bytes.count('\n'), 21);
    const QVector<QHash<QString, QString>> file = ReadFile(bytes);
    QCOMPARE(file.size(), 21);

    static const QRegularExpression amountForm(QStringLiteral("^ *-?\\d+\\.\\d\\d$"));
    Amounts sums{};
    for (int i = 0; i < file.size(); ++i) {
        const QHash<QString, QString> &f = file.at(i);
        QCOMPARE(f.value("width"), QString::number(kRecordWidth));
        QCOMPARE(f.value("02-00") + f.value("02-01") + f.value("02-02"),
                 QStringLiteral("BG175074752    202601   0"));
        QCOMPARE(f.value("02-03"), QString::number(i + 1).rightJustified(15));
        QCOMPARE(f.value("02-05"),
                 QStringLiteral("00000000%1").arg(i + 1, 2, 10, QChar('0')) + QString(10, ' '));
        QCOMPARE(f.value("02-08").trimmed(), QStringLiteral("Клиент"));
        QCOMPARE(f.value("02-27"), QStringLiteral("  "));
        for (int column = 0; column < kColumnCount; ++column) {
            const char *code = kLayout[kFirstAmount + column].code;
            QVERIFY(amountForm.match(f.value(code)).hasMatch());
            sums[column] += Read(f, code);
        }
        QCOMPARE(Read(f, "02-20"),
                 Read(f, "02-21") + Read(f, "02-22") + Read(f, "02-23") + Read(f, "02-24"));
        qint64 bases = 0;
        for (const char *code : {"02-11", "02-12", "02-13", "02-14", "02-15", "02-16", "02-17",
                                 "02-18", "02-19", "02-26"})
            bases += Read(f, code);
        QCOMPARE(Read(f, "02-10"), bases);
        const bool credit = f.value("02-04") == QLatin1String("03");
        QCOMPARE(Read(f, "02-11") < 0, credit);
    }
    for (int column = 0; column < kColumnCount; ++column)
        QCOMPARE(sums[column], ledger.totals[column]);
    QCOMPARE(FileBytes(Build(kCompany, kJanuary, {})), QByteArray());
}

// The file is written all or nothing; a ledger that leaves a document out is never written, and
// the refusal names each document and why.
void TestSalesLedger::writtenWholeOrRefused()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PRODAGBI.TXT"));
    const SalesLedger ledger = Build(kCompany, kJanuary, Mixed());
    WriteFile(ledger, path);
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), FileBytes(ledger));
    written.close();

    QVector<Document> documents = Mixed();
    documents[19].recipientName.clear();
    documents[20].zeroVatGround = QStringLiteral("чл. 44, т. 3");
    documents[20].zeroVatColumn = LedgerColumn::Unclassified;
    try {
        WriteFile(Build(kCompany, kJanuary, documents), path);
        QFAIL("a ledger that leaves documents out was written");
    } catch (const UserError &error) {
        QCOMPARE(error.message(),
                 QStringLiteral("Дневникът за продажбите за 202601 не е съставен: документите "
                                "по-долу не могат да влязат в него.\n"
                                "Кредитно известие № 0000000001 от 15.01.2026: основанието за "
                                "нулевата "
                                "ставка „чл. 44, т. 3“ не определя колона на дневника\n"
                                "Дебитно известие № 0000000002 от 15.01.2026: няма име на "
                                "получателя"));
    }
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), FileBytes(ledger));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("PRODAGBI.TXT")});

    QVERIFY_THROWS_EXCEPTION(
        UserError,
        WriteFile(Build({QStringLiteral("Вектор ООД"), QString()}, kJanuary, Mixed()), path));
    QVERIFY_THROWS_EXCEPTION(UserError, WriteFile(ledger, dir.filePath("no such folder/P.TXT")));
    QVERIFY_THROWS_EXCEPTION(UserError, Build(kCompany, QStringLiteral("202613"), {}));
}

QTEST_GUILESS_MAIN(TestSalesLedger)
#include "tst_salesledger.moc"
