#include "masterdata/Identifiers.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>

// The identifier checks: published numbers and the edges of each rule, what a one-digit slip
// does, and agreement with a second reading of the rules written apart in Python.
class TestIdentifiers : public QObject
{
    Q_OBJECT

private slots:
    void eik_data();
    void eik();
    void egn_data();
    void egn();
    void lnch_data();
    void lnch();
    void bgVatNumber_data();
    void bgVatNumber();
    void foreignVatNumber_data();
    void foreignVatNumber();
    void iban_data();
    void iban();
    void problemOfField_data();
    void problemOfField();
    void oneDigitChanged_data();
    void oneDigitChanged();
    void agreesWithSecondReading();
};

namespace
{
void Columns()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
}

void Row(const char *rule, const QString &text, bool valid)
{
    QTest::newRow(rule) << text << valid;
}

// The registry's example of every country the check knows, without its blanks.
const QStringList kIbanExamples =
    QStringLiteral(
        "AD1200012030200359100100|AL47212110090000000235698741|AT611904300234573201|"
        "BA391290079401028494|BE68539007547034|BG80BNBG96611020345678|CH9300762011623852957|"
        "CY17002001280000001200527600|CZ6508000000192000145399|DE89370400440532013000|"
        "DK5000400440116243|EE382200221020145685|ES9121000418450200051332|FI2112345600000785|"
        "FO6264600001631634|FR1420041010050500013M02606|GB82WEST12345698765432|"
        "GE29NB0000000101904917|GI75NWBK000000007099453|GL8964710001000206|"
        "GR1601101250000000012300695|HR1210010051863000160|HU42117730161111101800000000|"
        "IE29AIBK93115212345678|IS140159260076545510730339|IT60X0542811101000000123456|"
        "LI21088100002324013AA|LT121000011101001000|LU280019400644750000|"
        "LV80BANK0000435195001|MC5811222000010123456789030|MD24AG000225100013104168|"
        "ME25505000012345678951|MK07250120000058984|MT84MALT011000012345MTLCAST001S|"
        "NL91ABNA0417164300|NO9386011117947|PL61109010140000071219812874|"
        "PT50000201231234567890154|RO49AAAA1B31007593840000|RS35260005601001611379|"
        "SE4550000000058398257466|SI56263300012039086|SK3112000000198742637541|"
        "SM86U0322509800000000270100|TR330006100519786457841326|UA213223130000026007233566001|"
        "VA59001123000012345678|XK051212012345678906")
        .split(QLatin1Char('|'));

int Remainder(const QString &digits, int first, std::initializer_list<int> weights)
{
    int sum = 0;
    for (int weight : weights)
        sum += (digits.at(first++).unicode() - '0') * weight;
    return sum % 11;
}
} // namespace

void TestIdentifiers::eik_data()
{
    Columns();
    Row("9 digits, weights 1..8", QStringLiteral("175402918"), true);
    Row("9 digits, wrong check digit", QStringLiteral("175402917"), false);
    Row("9 digits, remainder 10 takes weights 3..10", QStringLiteral("123457125"), true);
    Row("9 digits, remainder 10 twice gives 0", QStringLiteral("123461880"), true);
    Row("13 digits, weights 2,7,3,5", QStringLiteral("1754029180005"), true);
    Row("13 digits, remainder 10 takes weights 4,9,5,7", QStringLiteral("1754029180016"), true);
    Row("13 digits, remainder 10 twice gives 0", QStringLiteral("1754029180590"), true);
    Row("13 digits, wrong last check digit", QStringLiteral("1754029180006"), false);
    Row("13 digits, first nine invalid", QStringLiteral("1754029170005"), false);
    Row("blanks ignored", QStringLiteral(" 175 402 918 "), true);
    Row("8 digits", QStringLiteral("17540291"), false);
    Row("BG prefix is no part of an ЕИК", QStringLiteral("BG175402918"), false);
    Row("other script's digits", QStringLiteral("١٧٥٤٠٢٩١٨"), false);
    Row("empty", QString(), false);
    Row("sample own company", QStringLiteral("203817461"), true);
}

void TestIdentifiers::eik()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(IsValidEik(text), valid);
}

void TestIdentifiers::egn_data()
{
    Columns();
    Row("born 1980-01-01", QStringLiteral("8001010008"), true);
    Row("wrong check digit", QStringLiteral("7512319268"), false);
    Row("remainder 10 gives check digit 0", QStringLiteral("7501010010"), true);
    Row("month plus 20: born 1899-12-31", QStringLiteral("9932310011"), true);
    Row("month plus 40: born 2000-01-01", QStringLiteral("0041010023"), true);
    Row("leap day of 2000", QStringLiteral("0042290037"), true);
    Row("no leap day in 1900", QStringLiteral("0002290030"), false);
    Row("month 13", QStringLiteral("7513010001"), false);
    Row("month 00", QStringLiteral("7500010001"), false);
    Row("31 April", QStringLiteral("7504310001"), false);
    Row("month 53 is no century", QStringLiteral("7553010001"), false);
    Row("blanks ignored", QStringLiteral("800101 0008"), true);
    Row("letter", QStringLiteral("80010100O8"), false);
}

void TestIdentifiers::egn()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(IsValidEgn(text), valid);
}

void TestIdentifiers::lnch_data()
{
    Columns();
    Row("weights 21..1, sum mod 10", QStringLiteral("1001000004"), true);
    Row("wrong check digit", QStringLiteral("1234567894"), false);
    Row("blanks ignored", QStringLiteral("98765 43217"), true);
    Row("letter", QStringLiteral("123456789X"), false);
    Row("empty", QString(), false);
}

void TestIdentifiers::lnch()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(IsValidLnch(text), valid);
}

void TestIdentifiers::bgVatNumber_data()
{
    Columns();
    Row("ЕИК with BG", QStringLiteral("BG175402918"), true);
    Row("ЕИК without prefix", QStringLiteral("175402918"), true);
    Row("prefix in small letters", QStringLiteral("bg175402918"), true);
    Row("blanks ignored", QStringLiteral("BG 175 402 918"), true);
    Row("ЕИК with wrong check digit", QStringLiteral("BG160538274"), false);
    Row("13-digit ЕИК is no VAT number", QStringLiteral("BG1754029180005"), false);
    Row("ЕГН", QStringLiteral("BG8001010008"), true);
    Row("ЛНЧ", QStringLiteral("BG1001000004"), true);
    Row("other 10 digits: (11 - sum mod 11) mod 11", QStringLiteral("BG1001000000"), true);
    Row("other 10 digits: remainder 10 is never valid", QStringLiteral("BG1000000040"), false);
    Row("10 digits under no rule", QStringLiteral("BG1001000001"), false);
    Row("prefix alone", QStringLiteral("BG"), false);
    Row("other country's prefix", QStringLiteral("DE175402918"), false);
}

void TestIdentifiers::bgVatNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(IsValidBgVatNumber(text), valid);
}

void TestIdentifiers::foreignVatNumber_data()
{
    Columns();
    Row("AT: U and 8 digits", QStringLiteral("ATU13585627"), true);
    Row("AT: without U", QStringLiteral("AT13585627"), false);
    Row("BE: 10 digits from 0 or 1", QStringLiteral("BE0411905847"), true);
    Row("CY: 8 digits and a letter", QStringLiteral("CY10259033P"), true);
    Row("DE: 9 digits", QStringLiteral("DE136695976"), true);
    Row("EL for Greece", QStringLiteral("EL094259216"), true);
    Row("GR is no VAT prefix", QStringLiteral("GR094259216"), false);
    Row("ES: letter first", QStringLiteral("ESA28015865"), true);
    Row("FR: two keys and 9 digits", QStringLiteral("FR40303265045"), true);
    Row("IE: old form", QStringLiteral("IE8Z49289F"), true);
    Row("NL: 9 digits, B, 2 digits", QStringLiteral("NL004495445B01"), true);
    Row("RO: 2 to 10 digits", QStringLiteral("RO18547290"), true);
    Row("SE: ends in 01", QStringLiteral("SE556036079301"), true);
    Row("XI: Northern Ireland", QStringLiteral("XI123456789"), true);
    Row("CH: CHE with dots and hyphen", QStringLiteral("CHE-116.281.710 MWST"), true);
    Row("small letters and blanks", QStringLiteral("de 136 695 976"), true);
    Row("unknown country", QStringLiteral("US123456789"), false);
    Row("Bulgarian number is no foreign one", QStringLiteral("BG175402918"), false);
}

void TestIdentifiers::foreignVatNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(IsValidForeignVatNumber(text), valid);
}

void TestIdentifiers::iban_data()
{
    Columns();
    for (const QString &example : kIbanExamples)
        QTest::addRow("registry example %s", qPrintable(example.left(2))) << example << true;
    Row("small letters", QStringLiteral("gb82 west 1234 5698 7654 32"), true);
    Row("tab and no-break space are blanks", QStringLiteral("GB82\tWEST\u00a012345698765432"),
        true);
    Row("sample account", QStringLiteral("BG91 TRIB 9661 1020 3456 78"), true);
    Row("bank code changed, checksum not", QStringLiteral("BG80 TRIB 9661 1020 3456 78"), false);
    Row("check digits 97", QStringLiteral("GB97 WEST 1234 5698 7600 21"), true);
    Row("check digits 00 pass the remainder as 97 but are never given",
        QStringLiteral("GB00 WEST 1234 5698 7600 21"), false);
    Row("one character short", QStringLiteral("GB82 WEST 1234 5698 7654 3"), false);
    Row("digit where the registry has a letter", QStringLiteral("GB82 W3ST 1234 5698 7654 32"),
        false);
    Row("letter where the registry has a digit", QStringLiteral("DE89 3704 0044 0532 0130 0A"),
        false);
    Row("unknown country", QStringLiteral("US64 SVBK US6S 3300 9673 1986"), false);
    Row("Cyrillic letter that looks Latin", QStringLiteral("GB82 WЕST 1234 5698 7654 32"), false);
    Row("empty", QString(), false);
}

void TestIdentifiers::iban()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(IsValidIban(text), valid);
}

void TestIdentifiers::problemOfField_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("problem"); // after "<field> „<value>“ не е валиден"
    const auto row = [](const char *rule, const char *table, const char *field, const char *value,
                        const char *problem) {
        QTest::newRow(rule) << QString::fromUtf8(table) << QString::fromUtf8(field)
                            << QString::fromUtf8(value) << QString::fromUtf8(problem);
    };
    row("client VAT number", "customer", "ИН по ЗДДС", "BG160538274", "грешна контролна цифра");
    row("field names in any letter case", "CUSTOMER", "ин по здДС", "BG1605",
        "след BG трябва да "
        "има 9 или 10 цифри");
    row("foreign VAT number of its form", "customer", "ИН по ЗДДС", "DE136695976", "");
    row("foreign VAT number of another form", "customer", "ИН по ЗДДС", "DE1366",
        "не е във вида, който има за DE");
    row("unknown country", "customer", "ИН по ЗДДС", "US123", "непознат код на държава „US“");
    row("client ЕГН", "customer", "Идент №", "8001010008", "");
    row("client ЕГН of no date", "customer", "Идент №", "7513010001",
        "като ЕГН няма такава дата на раждане, а не е и ЛНЧ");
    row("client ID with a letter", "customer", "Идент №", "17540291B",
        "съдържа знак, който не е цифра");
    row("empty value is no wrong number", "customer", "Идент №", "  ", "");
    row("own ЕИК of 8 digits", "Firm", "ИН", "17540291",
        "ЕИК има 9 или 13 цифри, ЕГН и ЛНЧ имат 10");
    row("own VAT number", "Firm", "ИН по ЗДДС BG", "175402917", "грешна контролна цифра");
    row("IBAN checksum", "Details", "IBAN", "BG80 TRIB 9661 1020 3456 78",
        "грешни контролни цифри");
    row("IBAN length", "Details", "IBAN", "BG91 TRIB", "IBAN на BG има друг брой знаци");
    row("IBAN sign", "Details", "IBAN", "BG91-TRIB",
        "съдържа знак, който не е латинска буква или цифра");
    row("other fields are not checked", "customer", "Телефон", "abc", "");
    row("a client field in another table", "Firm", "Идент №", "x", "");
}

void TestIdentifiers::problemOfField()
{
    QFETCH(QString, table);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, problem);
    const IdentifierKind kind = Identifiers::KindOfField(table, field);
    const QString sentence =
        problem.isEmpty() ? QString()
                          : QStringLiteral("%1 „%2“ не е валиден (%3)").arg(field, value, problem);
    QCOMPARE(Identifiers::Problem(kind, field, value), sentence);
    QCOMPARE(Identifiers::Problems({{field, kind, value}}),
             sentence.isEmpty() ? QStringList() : QStringList{sentence});
}

namespace
{
// The rules under a one-digit slip.
enum Rule { Eik9, Eik13, Egn, Lnch, OtherTenDigits, BgVat10, Iban };

QString RandomDigits(QRandomGenerator &random, int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text.append(QChar(u'0' + random.bounded(10)));
    return text;
}

bool OtherRule(const QString &n)
{
    const int check = (11 - Remainder(n, 0, {4, 3, 2, 7, 6, 5, 4, 3, 2})) % 11;
    return check != 10 && check == n.at(9).unicode() - '0';
}

bool IsValidUnder(Rule rule, const QString &n)
{
    switch (rule) {
    case Eik9:
    case Eik13:
        return IsValidEik(n);
    case Egn:
        return IsValidEgn(n);
    case Lnch:
        return IsValidLnch(n);
    case OtherTenDigits:
        return OtherRule(n);
    case BgVat10:
        return IsValidBgVatNumber(n);
    case Iban:
        return IsValidIban(n);
    }
    return false;
}

// A valid number under the rule: random digits (an ЕГН with a date), its check digits tried.
QString ValidNumber(Rule rule, QRandomGenerator &random)
{
    for (;;) {
        QString n = rule == Iban  ? QStringLiteral("DE00") + RandomDigits(random, 18)
                    : rule == Egn ? QStringLiteral("%1%2%3")
                                            .arg(random.bounded(100), 2, 10, QLatin1Char('0'))
                                            .arg(random.bounded(1, 13) + 20 * random.bounded(3), 2,
                                                 10, QLatin1Char('0'))
                                            .arg(random.bounded(1, 29), 2, 10, QLatin1Char('0')) +
                                        RandomDigits(random, 4)
                                  : RandomDigits(random, rule == Eik9 ? 9 : 10);
        if (rule == Eik13)
            n = ValidNumber(Eik9, random) + n.right(4);
        const bool iban = rule == Iban;
        for (int check = 0; check < (iban ? 100 : 10); ++check) {
            n.replace(iban ? 2 : n.size() - 1, iban ? 2 : 1,
                      QStringLiteral("%1").arg(check, iban ? 2 : 1, 10, QLatin1Char('0')));
            if (IsValidUnder(rule, n))
                return n;
        }
    }
}

// The slips a rule lets through, as the rule explains them: a remainder of 10 that maps two
// sums onto one check digit (ЕИК), the remainders 0 and 10 that both give 0 (ЕГН), or a
// ten-digit VAT number valid under another of its three rules.
bool SlipAllowed(Rule rule, const QString &was, const QString &now)
{
    const auto eikFallback = [](const QString &n) {
        return Remainder(n, 0, {1, 2, 3, 4, 5, 6, 7, 8}) == 10 ||
               (n.size() == 13 && Remainder(n, 8, {2, 7, 3, 5}) == 10);
    };
    const auto egn = [](const QString &n) { return Remainder(n, 0, {2, 4, 8, 5, 10, 9, 7, 3, 6}); };
    switch (rule) {
    case Eik9:
    case Eik13:
        return eikFallback(was) || eikFallback(now);
    case Egn:
        return egn(was) + egn(now) == 10 && egn(was) * egn(now) == 0;
    case BgVat10:
        return (IsValidEgn(now) && !IsValidEgn(was)) || (IsValidLnch(now) && !IsValidLnch(was)) ||
               (OtherRule(now) && !OtherRule(was)) ||
               (IsValidEgn(now) && IsValidEgn(was) && SlipAllowed(Egn, was, now));
    default:
        return false;
    }
}
} // namespace

void TestIdentifiers::oneDigitChanged_data()
{
    QTest::addColumn<int>("rule");
    // Whether the rule lets some slips through at all.
    QTest::addColumn<bool>("slipsPass");
    QTest::newRow("ЕИК of 9 digits: remainder 10 maps two sums onto one check")
        << int(Eik9) << true;
    QTest::newRow("ЕИК of 13 digits: likewise for either check") << int(Eik13) << true;
    QTest::newRow("ЕГН: remainders 0 and 10 both give 0") << int(Egn) << true;
    QTest::newRow("ЛНЧ: every weight is odd and not 5, no slip passes") << int(Lnch) << false;
    QTest::newRow("other 10 digits: no slip passes") << int(OtherTenDigits) << false;
    QTest::newRow("VAT number of 10 digits: another of its rules may take it")
        << int(BgVat10) << true;
    QTest::newRow("IBAN: 97 is prime, no slip passes") << int(Iban) << false;
}

void TestIdentifiers::oneDigitChanged()
{
    QFETCH(int, rule);
    QFETCH(bool, slipsPass);
    QRandomGenerator random(17);
    int passed = 0;
    for (int sample = 0; sample < 1000; ++sample) {
        const QString valid = ValidNumber(Rule(rule), random);
        QVERIFY2(IsValidUnder(Rule(rule), valid), qPrintable(valid));
        for (int place = 0; place < valid.size(); ++place) {
            if (!valid.at(place).isDigit())
                continue;
            for (char16_t digit = u'0'; digit <= u'9'; ++digit) {
                if (valid.at(place) == QChar(digit))
                    continue;
                QString slipped = valid;
                slipped[place] = QChar(digit);
                if (!IsValidUnder(Rule(rule), slipped))
                    continue;
                ++passed;
                QVERIFY2(SlipAllowed(Rule(rule), valid, slipped),
                         qPrintable(valid + QStringLiteral(" -> ") + slipped));
            }
        }
    }
    QCOMPARE(passed > 0, slipsPass);
}

namespace
{
const char kBlanks[] = {' ', '\t'};

// Texts near the rules: numbers completed with every last digit, with prefixes, blanks, letter
// cases, wrong lengths and strange characters, and IBANs and foreign VAT numbers of every form.
QStringList Candidates(int count)
{
    QRandomGenerator random(2007);
    QStringList result;
    const auto blanked = [&random](QString text) {
        for (int i = random.bounded(3); i > 0; --i) {
            const int at = random.bounded(text.size() + 1);
            text.insert(at,
                        random.bounded(4) == 0 ? QChar(0x00a0) : QChar(kBlanks[random.bounded(2)]));
        }
        return text;
    };
    const QString strange[] = {QStringLiteral("-"), QStringLiteral("O"),  QStringLiteral("б"),
                               QStringLiteral("٣"), QStringLiteral("３"), QStringLiteral("x"),
                               QStringLiteral("."), QStringLiteral("+")};
    const char *const vatCountries[] = {"AT", "BE", "CY", "CZ", "DE", "DK", "EE", "EL", "ES",
                                        "FI", "FR", "HR", "HU", "IE", "IT", "LT", "LU", "LV",
                                        "MT", "NL", "PL", "PT", "RO", "SE", "SI", "SK", "XI",
                                        "GB", "CH", "NO", "GR", "US", "BG"};
    const QString alphabet = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    while (result.size() < count) {
        // Shares of the texts: about a third ЕИК-like digits, a sixth ЕГН-like, a third IBANs.
        const int kind = random.bounded(100);
        QString base;
        if (kind < 52) { // ЕИК and ten digits: every last digit
            const int lengths[] = {8, 9, 12, 7, 10, 13};
            base = RandomDigits(random, lengths[random.bounded(6)]);
        } else if (kind < 78) { // ЕГН-like: a date of any century, some impossible
            base = QStringLiteral("%1%2%3")
                       .arg(random.bounded(100), 2, 10, QLatin1Char('0'))
                       .arg(random.bounded(62), 2, 10, QLatin1Char('0'))
                       .arg(random.bounded(33), 2, 10, QLatin1Char('0')) +
                   RandomDigits(random, 3);
        }
        if (!base.isEmpty()) {
            const QString prefix = random.bounded(2) == 0 ? QString()
                                   : random.bounded(2)    ? QStringLiteral("BG")
                                                          : QStringLiteral("bG");
            for (int last = 0; last < 10; ++last) {
                QString text = prefix + base + QChar(u'0' + last);
                if (random.bounded(8) == 0)
                    text.insert(random.bounded(text.size() + 1), strange[random.bounded(8)]);
                result << (random.bounded(3) == 0 ? blanked(text) : text);
            }
            continue;
        }
        if (kind < 84) { // IBAN: a registry example with other characters of each class
            QString account = kIbanExamples.at(random.bounded(int(kIbanExamples.size())));
            account.remove(QLatin1Char(' '));
            QString country = account.left(2);
            account = account.mid(4);
            for (QChar &c : account)
                c = random.bounded(200) == 0 ? alphabet.at(random.bounded(36))
                    : c.isDigit()            ? alphabet.at(random.bounded(10))
                                             : alphabet.at(10 + random.bounded(26));
            if (random.bounded(20) == 0)
                account.chop(1);
            if (random.bounded(20) == 0)
                country = QString::fromLatin1(random.bounded(2) ? "US" : "BR");
            for (int check = 0; check < 100; ++check) {
                QString text =
                    country + QStringLiteral("%1").arg(check, 2, 10, QLatin1Char('0')) + account;
                if (random.bounded(4) == 0)
                    text = text.toLower();
                if (random.bounded(16) == 0)
                    text.insert(random.bounded(text.size() + 1), strange[random.bounded(8)]);
                result << (random.bounded(2) ? blanked(text) : text);
            }
            continue;
        }
        // Foreign VAT numbers: the prefix and tails of digits, a letter here and there.
        const QString country = QString::fromLatin1(vatCountries[random.bounded(33)]);
        for (int length = 2; length < 14; ++length) {
            QString text = country;
            for (int i = 0; i < length; ++i)
                text.append(random.bounded(6) == 0 ? alphabet.at(10 + random.bounded(26))
                                                   : alphabet.at(random.bounded(10)));
            if (country == QLatin1String("CH") && random.bounded(2))
                text.insert(2, QLatin1Char('E'));
            if (random.bounded(8) == 0)
                text.insert(random.bounded(text.size() + 1), strange[random.bounded(8)]);
            result << (random.bounded(3) == 0 ? blanked(text.toLower()) : text);
        }
    }
    return result;
}
} // namespace

void TestIdentifiers::agreesWithSecondReading()
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        QSKIP("python3 is needed for the second reading of the rules");
    const QStringList candidates = Candidates(200000);
    QByteArray input;
    for (const QString &text : candidates)
        input += text.toUtf8() + '\n';

    // The second reading runs while this one checks the same texts.
    QProcess reference;
    reference.start(python, {QStringLiteral(VORNEX_IDENTIFIERS_REFERENCE)});
    QVERIFY(reference.waitForStarted());
    reference.write(input);
    while (reference.bytesToWrite() > 0 && reference.waitForBytesWritten(30000)) {
    }
    reference.closeWriteChannel();

    bool (*const checks[])(const QString &) = {IsValidEik,  IsValidEgn,
                                               IsValidLnch, IsValidBgVatNumber,
                                               IsValidIban, IsValidForeignVatNumber};
    int valid[6] = {};
    QList<QByteArray> ours;
    ours.reserve(candidates.size());
    for (const QString &text : candidates) {
        QByteArray flags(6, '0');
        for (int check = 0; check < 6; ++check)
            if (checks[check](text)) {
                flags[check] = '1';
                ++valid[check];
            }
        ours << flags;
    }

    QVERIFY(reference.waitForFinished(120000));
    QCOMPARE(reference.exitCode(), 0);
    const QList<QByteArray> verdicts = reference.readAllStandardOutput().split('\n');
    QVERIFY(verdicts.size() > candidates.size());
    QStringList disagreements;
    for (int i = 0; i < candidates.size() && disagreements.size() < 10; ++i)
        if (ours[i] != verdicts[i])
            disagreements << QStringLiteral("%1: %2 / %3")
                                 .arg(candidates[i], QString::fromLatin1(ours[i]),
                                      QString::fromLatin1(verdicts[i]));
    QVERIFY2(disagreements.isEmpty(), qPrintable(disagreements.join(QLatin1Char('\n'))));
    // Each rule saw valid numbers by the hundred, not only refusals.
    for (int check = 0; check < 6; ++check)
        QVERIFY2(valid[check] > 300,
                 qPrintable(QStringLiteral("%1: %2").arg(check).arg(valid[check])));
}

QTEST_GUILESS_MAIN(TestIdentifiers)
#include "tst_identifiers.moc"
