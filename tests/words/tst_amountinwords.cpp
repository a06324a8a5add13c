#include "words/AmountInWords.h"

#include "base/Errors.h"

#include <QHash>
#include <QTest>

namespace
{

using WordsRoutine = void (*)(const QString &, QString &);

WordsRoutine Routine(const QString &name)
{
    static const QHash<QString, WordsRoutine> routines = {
        {"BgWords1Digit", BgWords1Digit},     {"BgWords2Digits", BgWords2Digits},
        {"BgWords3Digits", BgWords3Digits},   {"BgWords4Digits", BgWords4Digits},
        {"BgWords5Digits", BgWords5Digits},   {"BgWords6Digits", BgWords6Digits},
        {"BgWordsFraction", BgWordsFraction}, {"EnWords1Digit", EnWords1Digit},
        {"EnWords2Digits", EnWords2Digits},   {"EnWords3Digits", EnWords3Digits},
        {"EnWords4Digits", EnWords4Digits},   {"EnWords5Digits", EnWords5Digits},
        {"EnWords6Digits", EnWords6Digits},   {"EnWordsFraction", EnWordsFraction}};
    return routines.value(name);
}

// The whole-part routine the invoice page uses for a whole part of this many digits.
WordsRoutine WholeRoutine(const char *language, const QString &digits)
{
    const QString name = QStringLiteral("%1Words%2Digit%3")
                             .arg(QLatin1String(language))
                             .arg(digits.size())
                             .arg(digits.size() == 1 ? "" : "s");
    return Routine(name);
}

// A finished Bulgarian line: the English routines start after it.
const QString BulgarianLine = QString::fromUtf8("един BGL\n");

} // namespace

class TestAmountInWords : public QObject
{
    Q_OBJECT

private slots:
    void bulgarianWholeParts_data();
    void bulgarianWholeParts();
    void englishWholeParts_data();
    void englishWholeParts();
    void readsOnlyItsOwnDigits_data();
    void readsOnlyItsOwnDigits();
    void conjunctionsFollowTheWordsText_data();
    void conjunctionsFollowTheWordsText();
    void bulgarianLine_data();
    void bulgarianLine();
    void englishLine_data();
    void englishLine();
    void wholeLabel_data();
    void wholeLabel();
    void euroLine_data();
    void euroLine();
    void amountNotADigit_data();
    void amountNotADigit();
    void notADigit_data();
    void notADigit();
};

void TestAmountInWords::bulgarianWholeParts_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("words");

    const auto row = [](const char *rule, const char *digits, const char *words) {
        QTest::newRow(rule) << QString::fromLatin1(digits) << QString::fromUtf8(words);
    };
    // One digit: the masculine units.
    row("unit 1", "1", "един");
    row("unit 2 masculine", "2", "два");
    row("unit 3", "3", "три");
    row("unit 4", "4", "четири");
    row("unit 5", "5", "пет");
    row("unit 6", "6", "шест");
    row("unit 7", "7", "седем");
    row("unit 8", "8", "осем");
    row("unit 9", "9", "девет");
    // Two digits: ten, every teen, every tens word, tens with a unit.
    row("ten", "10", "десет");
    row("teen 11", "11", "единадесет");
    row("teen 12", "12", "дванадесет");
    row("teen 13", "13", "тринадесет");
    row("teen 14", "14", "четиринадесет");
    row("teen 15", "15", "петнадесет");
    row("teen 16", "16", "шестнадесет");
    row("teen 17", "17", "седемнадесет");
    row("teen 18", "18", "осемнадесет");
    row("teen 19", "19", "деветнадесет");
    row("tens 20", "20", "двадесет");
    row("tens 30", "30", "тридесет");
    row("tens 40", "40", "четиридесет");
    row("tens 50", "50", "петдесет");
    row("tens 60", "60", "шестдесет");
    row("tens 70", "70", "седемдесет");
    row("tens 80", "80", "осемдесет");
    row("tens 90", "90", "деветдесет");
    row("tens and unit 21", "21", "двадесет и един");
    row("tens and unit 22", "22", "двадесет и два");
    row("tens and unit 37", "37", "тридесет и седем");
    row("tens and unit 99", "99", "деветдесет и девет");
    // Three digits: every hundreds word, then unit, ten, teen or tens.
    row("hundreds 100", "100", "сто ");
    row("hundreds 200", "200", "двеста ");
    row("hundreds 300", "300", "триста ");
    row("hundreds 400", "400", "четиристотин ");
    row("hundreds 500", "500", "петстотин ");
    row("hundreds 600", "600", "шестстотин ");
    row("hundreds 700", "700", "седемстотин ");
    row("hundreds 800", "800", "осемстотин ");
    row("hundreds 900", "900", "деветстотин ");
    row("hundreds and unit 101", "101", "сто и един");
    row("hundreds and unit 305", "305", "триста и пет");
    row("hundreds and ten 110", "110", "сто и десет");
    row("hundreds and teen 111", "111", "сто и единадесет");
    row("hundreds and teen 115", "115", "сто и петнадесет");
    row("hundreds and teen 215", "215", "двеста и петнадесет");
    row("hundreds tens without and 120", "120", "сто двадесет");
    row("hundreds tens without and 121", "121", "сто двадесет и един");
    row("hundreds tens without and 999", "999", "деветстотин деветдесет и девет");
    // Four digits: "и" only before a lone hundreds, ten, teen or unit word.
    row("thousand 1000", "1000", "хиляда ");
    row("thousands neuter 2000", "2000", "две хиляди ");
    row("thousands 3000", "3000", "три хиляди ");
    row("thousands 9000", "9000", "девет хиляди ");
    row("thousand and unit 1001", "1001", "хиляда и един");
    row("thousands and unit 5001", "5001", "пет хиляди и един");
    row("thousand and ten 1010", "1010", "хиляда и десет");
    row("thousands and teen 2011", "2011", "две хиляди и единадесет");
    row("thousand tens 1020", "1020", "хиляда двадесет");
    row("thousands tens 2030", "2030", "две хиляди тридесет");
    row("thousand and lone hundreds 1100", "1100", "хиляда и сто ");
    row("thousands and lone hundreds 3400", "3400", "три хиляди и четиристотин ");
    row("thousand hundreds and unit 1101", "1101", "хиляда сто и един");
    row("thousand hundreds and teen 1215", "1215", "хиляда двеста и петнадесет");
    row("thousands hundreds tens 2345", "2345", "две хиляди триста четиридесет и пет");
    row("thousands 9999", "9999", "девет хиляди деветстотин деветдесет и девет");
    // Five digits: masculine count, then the thousands tail in each of its cases.
    row("tail round 10000", "10000", "десет хиляди ");
    row("tail round 11000", "11000", "единадесет хиляди ");
    row("tail round masculine 21000", "21000", "двадесет и един хиляди ");
    row("tail round masculine 22000", "22000", "двадесет и два хиляди ");
    row("tail unit 10001", "10001", "десет хиляди и един");
    row("tail unit 20005", "20005", "двадесет хиляди и пет");
    row("tail ten no second and 10010", "10010", "десет хиляди и десет");
    row("tail teen no second and 15015", "15015", "петнадесет хиляди и петнадесет");
    row("tail tens 10020", "10020", "десет хиляди и двадесет");
    row("tail lone hundreds 10100", "10100", "десет хиляди и сто ");
    row("tail hundreds 12345", "12345", "дванадесет хиляди и триста четиридесет и пет");
    row("tail hundreds 99999", "99999",
        "деветдесет и девет хиляди и деветстотин деветдесет и девет");
    // Six digits: a three-digit count, then the same tail.
    row("count hundreds double blank 100000", "100000", "сто  хиляди ");
    row("count hundreds double blank 200300", "200300", "двеста  хиляди и триста ");
    row("count with unit 101000", "101000", "сто и един хиляди ");
    row("count with ten 110000", "110000", "сто и десет хиляди ");
    row("count with tens 120000", "120000", "сто двадесет хиляди ");
    row("six tail unit 100001", "100001", "сто  хиляди и един");
    row("six tail ten 100010", "100010", "сто  хиляди и десет");
    row("six tail teen 400015", "400015", "четиристотин  хиляди и петнадесет");
    row("six tail tens 100020", "100020", "сто  хиляди и двадесет");
    row("six tail hundreds 123456", "123456",
        "сто двадесет и три хиляди и четиристотин петдесет и шест");
    row("six tail hundreds 999999", "999999",
        "деветстотин деветдесет и девет хиляди и деветстотин деветдесет и девет");
}

void TestAmountInWords::bulgarianWholeParts()
{
    QFETCH(QString, digits);
    QFETCH(QString, words);

    QString text;
    WholeRoutine("Bg", digits)(digits, text);
    QCOMPARE(text, words);
}

void TestAmountInWords::englishWholeParts_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("words");

    const auto row = [](const char *rule, const char *digits, const char *words) {
        QTest::newRow(rule) << QString::fromLatin1(digits) << QString::fromLatin1(words);
    };
    // One digit, and the whole part "0" of a foreign amount below 1.
    row("zero", "0", "zero");
    row("unit 1", "1", "one");
    row("unit 2", "2", "two");
    row("unit 3", "3", "three");
    row("unit 4", "4", "four");
    row("unit 5", "5", "five");
    row("unit 6", "6", "six");
    row("unit 7", "7", "seven");
    row("unit 8", "8", "eight");
    row("unit 9", "9", "nine");
    // Two digits: the program's own spellings, and a blank after the regular tens.
    row("ten", "10", "ten");
    row("teen 11", "11", "eleven");
    row("teen 12", "12", "twelve");
    row("teen 13", "13", "thirteen");
    row("teen 14", "14", "fourteen");
    row("teen 15", "15", "fifteen");
    row("teen 16", "16", "sixteen");
    row("teen 17", "17", "seventeen");
    row("teen 18 eightteen", "18", "eightteen");
    row("teen 19", "19", "nineteen");
    row("tens 20 no blank", "20", "twenty");
    row("tens 30 no blank", "30", "thirty");
    row("tens 40 fourty blank", "40", "fourty ");
    row("tens 50 no blank", "50", "fifty");
    row("tens 60 blank", "60", "sixty ");
    row("tens 70 blank", "70", "seventy ");
    row("tens 80 eightty blank", "80", "eightty ");
    row("tens 90 blank", "90", "ninety ");
    row("tens and unit 21", "21", "twenty one");
    row("tens and unit 34", "34", "thirty four");
    row("tens and unit 45", "45", "fourty five");
    row("tens and unit 55", "55", "fifty five");
    row("tens and unit 67", "67", "sixty seven");
    row("tens and unit 72", "72", "seventy two");
    row("tens and unit 88", "88", "eightty eight");
    row("tens and unit 99", "99", "ninety nine");
    // Three digits.
    row("hundreds 100", "100", "one hundred ");
    row("hundreds 200", "200", "two hundred ");
    row("hundreds 900", "900", "nine hundred ");
    row("hundreds and unit 101", "101", "one hundred and one");
    row("hundreds and unit 505", "505", "five hundred and five");
    row("hundreds and ten 110", "110", "one hundred and ten");
    row("hundreds and teen 115", "115", "one hundred and fifteen");
    row("hundreds and teen 418", "418", "four hundred and eightteen");
    row("hundreds and teen 811", "811", "eight hundred and eleven");
    row("hundreds tens without and 120", "120", "one hundred twenty");
    row("hundreds tens without and 121", "121", "one hundred twenty one");
    row("hundreds tens without and 999", "999", "nine hundred ninety nine");
    // Four digits; a lone unit gets " and " with its leading blank.
    row("thousand 1000", "1000", "one thousand ");
    row("thousands 9000", "9000", "nine thousand ");
    row("thousand double blank and unit 1001", "1001", "one thousand  and one");
    row("thousands double blank and unit 5005", "5005", "five thousand  and five");
    row("thousand and ten 1010", "1010", "one thousand and ten");
    row("thousands and teen 2011", "2011", "two thousand and eleven");
    row("thousand tens 1020", "1020", "one thousand twenty");
    row("thousands tens blank 7040", "7040", "seven thousand fourty ");
    row("thousand and lone hundreds 1100", "1100", "one thousand and one hundred ");
    row("thousands and lone hundreds 3400", "3400", "three thousand and four hundred ");
    row("thousand hundreds and unit 1101", "1101", "one thousand one hundred and one");
    row("thousand hundreds and teen 1215", "1215", "one thousand two hundred and fifteen");
    row("thousands hundreds tens 2345", "2345", "two thousand three hundred fourty five");
    row("thousands 9999", "9999", "nine thousand nine hundred ninety nine");
    // Five digits: the count, then the thousands tail in each of its cases.
    row("tail round 10000", "10000", "ten thousand ");
    row("tail round 18000", "18000", "eightteen thousand ");
    row("tail round double blank 40000", "40000", "fourty  thousand ");
    row("tail round 50000", "50000", "fifty thousand ");
    row("tail round double blank 80000", "80000", "eightty  thousand ");
    row("tail unit 10001", "10001", "ten thousand and one");
    row("tail unit 20005", "20005", "twenty thousand and five");
    row("tail ten no second and 10010", "10010", "ten thousand and ten");
    row("tail teen no second and 15015", "15015", "fifteen thousand and fifteen");
    row("tail tens 10020", "10020", "ten thousand and twenty");
    row("tail hundreds 12345", "12345", "twelve thousand and three hundred fourty five");
    row("tail hundreds 99999", "99999", "ninety nine thousand and nine hundred ninety nine");
    // Six digits.
    row("count hundreds double blank 100000", "100000", "one hundred  thousand ");
    row("count hundreds double blank 200300", "200300", "two hundred  thousand and three hundred ");
    row("count with unit 101000", "101000", "one hundred and one thousand ");
    row("count with ten 110000", "110000", "one hundred and ten thousand ");
    row("count with tens double blank 140000", "140000", "one hundred fourty  thousand ");
    row("six tail unit 100001", "100001", "one hundred  thousand and one");
    row("six tail ten 100010", "100010", "one hundred  thousand and ten");
    row("six tail teen 400015", "400015", "four hundred  thousand and fifteen");
    row("six tail tens 100020", "100020", "one hundred  thousand and twenty");
    row("six tail hundreds 123456", "123456",
        "one hundred twenty three thousand and four hundred fifty six");
    row("six tail hundreds 999999", "999999",
        "nine hundred ninety nine thousand and nine hundred ninety nine");
}

void TestAmountInWords::englishWholeParts()
{
    QFETCH(QString, digits);
    QFETCH(QString, words);

    // The same words on an empty text and at the start of the line after the Bulgarian one.
    QString text;
    WholeRoutine("En", digits)(digits, text);
    QCOMPARE(text, words);

    text = BulgarianLine;
    WholeRoutine("En", digits)(digits, text);
    QCOMPARE(text, BulgarianLine + words);
}

void TestAmountInWords::readsOnlyItsOwnDigits_data()
{
    QTest::addColumn<QString>("routine");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("words");

    const auto row = [](const char *rule, const char *routine, const char *digits,
                        const char *words) {
        QTest::newRow(rule) << QString::fromLatin1(routine) << QString::fromUtf8(digits)
                            << QString::fromUtf8(words);
    };
    row("bg 1 of 5", "BgWords1Digit", "12345", "пет");
    row("bg 2 of 5", "BgWords2Digits", "12345", "четиридесет и пет");
    row("bg 3 of 5", "BgWords3Digits", "12345", "триста четиридесет и пет");
    row("bg 4 of 6", "BgWords4Digits", "912345", "две хиляди триста четиридесет и пет");
    row("bg 5 of 6", "BgWords5Digits", "912345", "дванадесет хиляди и триста четиридесет и пет");
    row("bg 6 of 7", "BgWords6Digits", "1234567",
        "двеста тридесет и четири хиляди и петстотин шестдесет и седем");
    row("bg non-digit before the digits read", "BgWords2Digits", "x.15", "петнадесет");
    row("bg fraction last two", "BgWordsFraction", "456", " и  0.56");
    row("en 1 of 4", "EnWords1Digit", "abc7", "seven");
    row("en 2 of 5", "EnWords2Digits", "12345", "fourty five");
    row("en 4 of 6", "EnWords4Digits", "912345", "two thousand three hundred fourty five");
    row("en 5 of 6", "EnWords5Digits", "912345", "twelve thousand and three hundred fourty five");
    row("en 6 of 7", "EnWords6Digits", "1100010", "one hundred  thousand and ten");
    row("en fraction last two", "EnWordsFraction", "x05", " and  0.05");
}

void TestAmountInWords::readsOnlyItsOwnDigits()
{
    QFETCH(QString, routine);
    QFETCH(QString, digits);
    QFETCH(QString, words);

    QString text;
    Routine(routine)(digits, text);
    QCOMPARE(text, words);
}

void TestAmountInWords::conjunctionsFollowTheWordsText_data()
{
    QTest::addColumn<QString>("routine");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("after");

    const auto row = [](const char *rule, const char *routine, const char *before,
                        const char *digits, const char *after) {
        QTest::newRow(rule) << QString::fromLatin1(routine) << QString::fromUtf8(before)
                            << QString::fromLatin1(digits) << QString::fromUtf8(after);
    };
    row("bg ten after words takes и", "BgWords2Digits", "сто ", "10", "сто и десет");
    row("bg teen after words takes и", "BgWords2Digits", "abc", "13", "abcи тринадесет");
    row("bg ten after ' и ' takes none", "BgWords2Digits", "сто  хиляди и ", "10",
        "сто  хиляди и десет");
    row("bg ten after 'и ' without blank takes и", "BgWords2Digits", "би ", "10", "би и десет");
    row("bg tens never take и", "BgWords2Digits", "сто ", "20", "сто двадесет");
    row("bg fraction after words", "BgWordsFraction", "един", "07", "един и  0.07");
    row("bg fraction 00 writes nothing", "BgWordsFraction", "един", "00", "един");
    row("bg fraction 10 kept in figures", "BgWordsFraction", "един", "10", "един и  0.10");

    row("en ten at start of second line", "EnWords2Digits", "един BGL\n", "10", "един BGL\nten");
    row("en teen at start of second line", "EnWords2Digits", "сто и \n", "15", "сто и \nfifteen");
    row("en ten after words on second line", "EnWords2Digits", "един BGL\nfour hundred ", "10",
        "един BGL\nfour hundred and ten");
    row("en current line is after the first feed", "EnWords2Digits", "a\nb\n", "12",
        "a\nb\nand twelve");
    row("en without a feed the whole text counts", "EnWords2Digits", "one hundred ", "10",
        "one hundred and ten");
    row("en ten after ' and ' takes none", "EnWords2Digits", "x\nfive thousand and ", "10",
        "x\nfive thousand and ten");
    row("en tens never take and", "EnWords2Digits", "x\none hundred ", "40",
        "x\none hundred fourty ");
    row("en fraction after words", "EnWordsFraction", "x\nfifty", "50", "x\nfifty and  0.50");
    row("en fraction 00 writes nothing", "EnWordsFraction", "x\nfifty", "00", "x\nfifty");
}

void TestAmountInWords::conjunctionsFollowTheWordsText()
{
    QFETCH(QString, routine);
    QFETCH(QString, before);
    QFETCH(QString, digits);
    QFETCH(QString, after);

    QString text = before;
    Routine(routine)(digits, text);
    QCOMPARE(text, after);
}

void TestAmountInWords::bulgarianLine_data()
{
    QTest::addColumn<QString>("leva");
    QTest::addColumn<QString>("line");

    const auto row = [](const char *rule, const char *leva, const char *line) {
        QTest::newRow(rule) << QString::fromLatin1(leva) << QString::fromUtf8(line);
    };
    row("fraction 00 writes nothing", "1.00", "един BGL");
    row("fraction in figures", "1.50", "един и  0.50 BGL");
    row("hundreds blank before BGL", "100.00", "сто  BGL");
    row("round thousands double blank", "2000.05", "две хиляди  и  0.05 BGL");
    row("five digits", "12345.67", "дванадесет хиляди и триста четиридесет и пет и  0.67 BGL");
    row("largest with words", "999999.99",
        "деветстотин деветдесет и девет хиляди и деветстотин деветдесет и девет и  0.99 BGL");
    row("seven digits no words", "1234567.89", " и  0.89 BGL");
    row("a million only BGL", "1000000.00", " BGL");
    row("no decimal point no BGL", "25", "двадесет и пет");
}

void TestAmountInWords::bulgarianLine()
{
    QFETCH(QString, leva);
    QFETCH(QString, line);

    const QString label = AmountInWords(leva, QStringLiteral("1.00"), QStringLiteral("EUR"));
    QCOMPARE(label, line + QStringLiteral("\none EUR"));
}

void TestAmountInWords::englishLine_data()
{
    QTest::addColumn<QString>("foreign");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("line");

    const auto row = [](const char *rule, const char *foreign, const char *code, const char *line) {
        QTest::newRow(rule) << QString::fromLatin1(foreign) << QString::fromLatin1(code)
                            << QString::fromLatin1(line);
    };
    row("teen with code", "15.00", "EUR", "fifteen EUR");
    row("fraction in figures", "50.50", "EUR", "fifty and  0.50 EUR");
    row("fourty blank before code", "40.00", "EUR", "fourty  EUR");
    row("round thousand double blank", "1000.10", "EUR", "one thousand  and  0.10 EUR");
    row("hundreds and teen", "6312.05", "EUR",
        "six thousand three hundred and twelve and  0.05 EUR");
    row("seven digits no words", "1234567.89", "EUR", " and  0.89 EUR");
    row("ten at start of line has no and", "10.00", "EUR", "ten EUR");
    row("other currency code", "110.00", "USD", "one hundred and ten USD");
    row("below one writes zero", "0.51", "EUR", "zero and  0.51 EUR");
    row("no decimal point no code", "25", "EUR", "twenty five");
}

void TestAmountInWords::englishLine()
{
    QFETCH(QString, foreign);
    QFETCH(QString, code);
    QFETCH(QString, line);

    const QString label = AmountInWords(QStringLiteral("1.00"), foreign, code);
    QCOMPARE(label, QString::fromUtf8("един BGL\n") + line);
}

void TestAmountInWords::wholeLabel_data()
{
    QTest::addColumn<QString>("leva");
    QTest::addColumn<QString>("foreign");
    QTest::addColumn<QString>("label");

    QTest::newRow("both lines") << QStringLiteral("12345.67") << QStringLiteral("6312.05")
                                << QString::fromUtf8(
                                       "дванадесет хиляди и триста четиридесет и пет и  0.67 BGL\n"
                                       "six thousand three hundred and twelve and  0.05 EUR");
    QTest::newRow("bulgarian ending in и, english ten")
        << QStringLiteral("19.56") << QStringLiteral("10.00")
        << QString::fromUtf8("деветнадесет и  0.56 BGL\nten EUR");
    QTest::newRow("seven-digit leva, six-digit foreign")
        << QStringLiteral("1234567.00") << QStringLiteral("631234.00")
        << QString::fromUtf8(" BGL\nsix hundred thirty one thousand and two hundred thirty four "
                             "EUR");
}

void TestAmountInWords::wholeLabel()
{
    QFETCH(QString, leva);
    QFETCH(QString, foreign);
    QFETCH(QString, label);

    const QString text = AmountInWords(leva, foreign, QStringLiteral("EUR"));
    QCOMPARE(text, label);
}

void TestAmountInWords::euroLine_data()
{
    QTest::addColumn<QString>("euro");
    QTest::addColumn<QString>("line");

    const auto row = [](const char *rule, const char *euro, const char *line) {
        QTest::newRow(rule) << QString::fromLatin1(euro) << QString::fromUtf8(line);
    };
    row("one", "1.00", "едно EUR");
    row("two", "2.00", "две EUR");
    row("three keeps its word", "3.00", "три EUR");
    row("eleven is a teen", "11.00", "единадесет EUR");
    row("twelve is a teen", "12.00", "дванадесет EUR");
    row("twenty one", "21.00", "двадесет и едно EUR");
    row("twenty two", "22.00", "двадесет и две EUR");
    row("ninety one with cents", "91.40", "деветдесет и едно и  0.40 EUR");
    row("hundred and one", "101.00", "сто и едно EUR");
    row("hundred and two", "102.00", "сто и две EUR");
    row("hundred twelve is a teen", "112.00", "сто и дванадесет EUR");
    row("hundred forty two", "142.00", "сто четиридесет и две EUR");
    row("thousand and one", "1001.00", "хиляда и едно EUR");
    row("two thousand and two", "2002.00", "две хиляди и две EUR");
    row("four digits ending in twenty one", "1221.00", "хиляда двеста двадесет и едно EUR");
    row("thousand count stays masculine", "21000.00", "двадесет и един хиляди  EUR");
    row("thousand count two stays masculine", "22000.05", "двадесет и два хиляди  и  0.05 EUR");
    row("five digits ending in one", "21001.00", "двадесет и един хиляди и едно EUR");
    row("five digits ending in thirty two", "10032.00", "десет хиляди и тридесет и две EUR");
    row("six digits ending in one", "100001.00", "сто  хиляди и едно EUR");
    row("six digits ending in hundred and two", "101102.00", "сто и един хиляди и сто и две EUR");
    row("largest with words", "999992.99",
        "деветстотин деветдесет и девет хиляди и деветстотин деветдесет и две и  0.99 EUR");
    row("fraction only, below one, reads zero", "0.02", "нула и  0.02 EUR");
    row("seven digits no words", "1000001.01", " и  0.01 EUR");
    row("round hundred", "200.00", "двеста  EUR");
}

void TestAmountInWords::euroLine()
{
    QFETCH(QString, euro);
    QFETCH(QString, line);

    const QString label =
        AmountInWords(euro, QStringLiteral("1.00"), QStringLiteral("BGN"), QStringLiteral("EUR"));
    // The English line stays as it is: the foreign amount with the foreign code.
    QCOMPARE(label, line + QStringLiteral("\none BGN"));
}

void TestAmountInWords::amountNotADigit_data()
{
    QTest::addColumn<QString>("leva");
    QTest::addColumn<QString>("foreign");
    QTest::addColumn<QString>("shown");

    QTest::newRow("leva whole part")
        << QStringLiteral("12a45.00") << QStringLiteral("1.00") << QStringLiteral("a");
    QTest::newRow("leva fraction")
        << QStringLiteral("1.0-") << QStringLiteral("1.00") << QStringLiteral("-");
    QTest::newRow("foreign without decimal point")
        << QStringLiteral("1.00") << QStringLiteral("1,50") << QStringLiteral(",");
    QTest::newRow("foreign second point")
        << QStringLiteral("1.00") << QStringLiteral("1.5.0") << QStringLiteral(".");
}

void TestAmountInWords::amountNotADigit()
{
    QFETCH(QString, leva);
    QFETCH(QString, foreign);
    QFETCH(QString, shown);

    try {
        AmountInWords(leva, foreign, QStringLiteral("EUR"));
        QFAIL("no conversion error");
    } catch (const ConversionError &error) {
        QCOMPARE(error.message(), QStringLiteral("'%1' is not a valid integer value").arg(shown));
    }
}

void TestAmountInWords::notADigit_data()
{
    QTest::addColumn<QString>("routine");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("shown");

    const auto row = [](const char *rule, const char *routine, const char *digits,
                        const char *shown) {
        QTest::newRow(rule) << QString::fromLatin1(routine) << QString::fromUtf8(digits)
                            << QString::fromUtf8(shown);
    };
    row("bg letter", "BgWords1Digit", "a", "a");
    row("bg minus", "BgWords2Digits", "1-", "-");
    row("bg blank", "BgWords3Digits", "1 5", " ");
    row("bg letter O for zero", "BgWords4Digits", "1O00", "O");
    row("bg decimal point", "BgWords5Digits", "12.45", ".");
    row("bg fullwidth digit", "BgWords6Digits", "１23456", "１");
    row("bg fraction comma", "BgWordsFraction", "5,", ",");
    row("bg empty text", "BgWords1Digit", "", "");
    row("bg text too short", "BgWords3Digits", "12", "");
    row("en arabic-indic digit", "EnWords1Digit", "٣", "٣");
    row("en plus", "EnWords2Digits", "+5", "+");
    row("en letter in thousands", "EnWords4Digits", "12a4", "a");
    row("en first bad digit from the left", "EnWords6Digits", "9x999y", "x");
    row("en fraction minus", "EnWordsFraction", "-5", "-");
    row("en fraction one digit", "EnWordsFraction", "5", "");
}

void TestAmountInWords::notADigit()
{
    QFETCH(QString, routine);
    QFETCH(QString, digits);
    QFETCH(QString, shown);

    QString text = QStringLiteral("kept\n");
    try {
        Routine(routine)(digits, text);
        QFAIL("no conversion error");
    } catch (const ConversionError &error) {
        QCOMPARE(error.message(), QStringLiteral("'%1' is not a valid integer value").arg(shown));
    }
    QCOMPARE(text, QStringLiteral("kept\n"));
}

QTEST_GUILESS_MAIN(TestAmountInWords)
#include "tst_amountinwords.moc"
