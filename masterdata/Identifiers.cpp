#include "masterdata/Identifiers.h"

#include <QDate>
#include <QRegularExpression>

namespace
{
// Why a number fails, before it is put into words.
enum class Fault {
    None,
    Empty,
    Character,   // a character that cannot be part of the number
    Length,      // the wrong number of digits or characters
    CheckDigit,  // the check digit or the checksum
    BirthDate,   // an ЕГН whose date does not exist
    Country,     // a country prefix not known
    CountryForm, // not of the form of its country
};

bool IsBlank(QChar c)
{
    return c.isSpace();
}

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool IsAsciiUpper(QChar c)
{
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
}

QString WithoutBlanks(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text)
        if (!IsBlank(c))
            result.append(c);
    return result;
}

// The digits of a text that must be digits only, or the fault that stops it.
Fault Digits(const QString &text, QVector<int> &digits)
{
    digits.clear();
    for (QChar c : text) {
        if (!IsAsciiDigit(c))
            return Fault::Character;
        digits.append(c.unicode() - '0');
    }
    return digits.isEmpty() ? Fault::Empty : Fault::None;
}

int WeightedSum(const QVector<int> &digits, int first, const std::initializer_list<int> &weights)
{
    int sum = 0;
    int i = first;
    for (int weight : weights)
        sum += digits[i++] * weight;
    return sum;
}

// The ЕИК's check digit rule: the remainder modulo 11 under the first weights; 10 tries the
// second weights, and 10 again gives 0.
int EikCheck(const QVector<int> &digits, int first, const std::initializer_list<int> &weights,
             const std::initializer_list<int> &fallback)
{
    int check = WeightedSum(digits, first, weights) % 11;
    if (check == 10)
        check = WeightedSum(digits, first, fallback) % 11;
    return check == 10 ? 0 : check;
}

Fault EikFault(const QString &text)
{
    QVector<int> d;
    if (const Fault fault = Digits(WithoutBlanks(text), d); fault != Fault::None)
        return fault;
    if (d.size() != 9 && d.size() != 13)
        return Fault::Length;
    if (EikCheck(d, 0, {1, 2, 3, 4, 5, 6, 7, 8}, {3, 4, 5, 6, 7, 8, 9, 10}) != d[8])
        return Fault::CheckDigit;
    if (d.size() == 13 && EikCheck(d, 8, {2, 7, 3, 5}, {4, 9, 5, 7}) != d[12])
        return Fault::CheckDigit;
    return Fault::None;
}

Fault EgnFault(const QString &text)
{
    QVector<int> d;
    if (const Fault fault = Digits(WithoutBlanks(text), d); fault != Fault::None)
        return fault;
    if (d.size() != 10)
        return Fault::Length;
    int year = d[0] * 10 + d[1];
    int month = d[2] * 10 + d[3];
    const int day = d[4] * 10 + d[5];
    // The month tells the century: plus 20 before 1900, plus 40 from 2000.
    if (month > 40) {
        year += 2000;
        month -= 40;
    } else if (month > 20) {
        year += 1800;
        month -= 20;
    } else {
        year += 1900;
    }
    if (!QDate::isValid(year, month, day))
        return Fault::BirthDate;
    if (WeightedSum(d, 0, {2, 4, 8, 5, 10, 9, 7, 3, 6}) % 11 % 10 != d[9])
        return Fault::CheckDigit;
    return Fault::None;
}

Fault LnchFault(const QString &text)
{
    QVector<int> d;
    if (const Fault fault = Digits(WithoutBlanks(text), d); fault != Fault::None)
        return fault;
    if (d.size() != 10)
        return Fault::Length;
    if (WeightedSum(d, 0, {21, 19, 17, 13, 11, 9, 7, 3, 1}) % 10 != d[9])
        return Fault::CheckDigit;
    return Fault::None;
}

// The rule for the 10-digit VAT numbers that are neither ЕГН nor ЛНЧ.
bool IsValidOtherTenDigits(const QVector<int> &d)
{
    const int check = (11 - WeightedSum(d, 0, {4, 3, 2, 7, 6, 5, 4, 3, 2}) % 11) % 11;
    return check != 10 && check == d[9];
}

Fault BgVatFault(const QString &text)
{
    QString number = WithoutBlanks(text);
    if (number.startsWith(QLatin1String("BG"), Qt::CaseInsensitive))
        number = number.mid(2);
    QVector<int> d;
    if (const Fault fault = Digits(number, d); fault != Fault::None)
        return fault;
    if (d.size() == 9)
        return EikFault(number);
    if (d.size() != 10)
        return Fault::Length;
    const Fault egn = EgnFault(number);
    if (egn == Fault::None || LnchFault(number) == Fault::None || IsValidOtherTenDigits(d))
        return Fault::None;
    return egn == Fault::BirthDate ? Fault::BirthDate : Fault::CheckDigit;
}

// ---- foreign VAT numbers ----

struct VatForm {
    const char *country;
    const char *pattern; // what follows the prefix
};

// The forms of the VAT numbers of the EU countries (Greece as EL, Northern Ireland as XI) and of
// the neighbours an invoice most often names.
const VatForm kVatForms[] = {
    {"AT", "U[0-9]{8}"},
    {"BE", "[01][0-9]{9}"},
    {"CY", "[0-9]{8}[A-Z]"},
    {"CZ", "[0-9]{8,10}"},
    {"DE", "[0-9]{9}"},
    {"DK", "[0-9]{8}"},
    {"EE", "[0-9]{9}"},
    {"EL", "[0-9]{9}"},
    {"ES", "[0-9A-Z][0-9]{7}[0-9A-Z]"},
    {"FI", "[0-9]{8}"},
    {"FR", "[0-9A-HJ-NP-Z]{2}[0-9]{9}"},
    {"HR", "[0-9]{11}"},
    {"HU", "[0-9]{8}"},
    {"IE", "[0-9]{7}[A-W][A-IW]?|[0-9][A-Z+*][0-9]{5}[A-W]"},
    {"IT", "[0-9]{11}"},
    {"LT", "[0-9]{9}|[0-9]{12}"},
    {"LU", "[0-9]{8}"},
    {"LV", "[0-9]{11}"},
    {"MT", "[0-9]{8}"},
    {"NL", "[0-9]{9}B[0-9]{2}"},
    {"PL", "[0-9]{10}"},
    {"PT", "[0-9]{9}"},
    {"RO", "[1-9][0-9]{1,9}"},
    {"SE", "[0-9]{10}01"},
    {"SI", "[0-9]{8}"},
    {"SK", "[0-9]{10}"},
    {"XI", "[0-9]{9}|[0-9]{12}|GD[0-4][0-9]{2}|HA[5-9][0-9]{2}"},
    {"GB", "[0-9]{9}|[0-9]{12}|GD[0-4][0-9]{2}|HA[5-9][0-9]{2}"},
    {"CH", "E[0-9]{9}(MWST|TVA|IVA)?"},
    {"NO", "[0-9]{9}(MVA)?"},
};

Fault ForeignVatFault(const QString &text)
{
    // Compiled once: the browser asks for every cell it paints.
    static const QVector<QPair<QString, QRegularExpression>> forms = [] {
        QVector<QPair<QString, QRegularExpression>> result;
        for (const VatForm &form : kVatForms)
            result.append({QString::fromLatin1(form.country),
                           QRegularExpression(QRegularExpression::anchoredPattern(
                               QString::fromLatin1(form.pattern)))});
        return result;
    }();
    QString number = WithoutBlanks(text).toUpper();
    number.remove(QLatin1Char('.')).remove(QLatin1Char('-'));
    if (number.isEmpty())
        return Fault::Empty;
    const QStringView prefix = QStringView(number).left(2);
    for (const auto &form : forms)
        if (prefix == form.first)
            return form.second.match(QStringView(number).mid(2)).hasMatch() ? Fault::None
                                                                            : Fault::CountryForm;
    return Fault::Country;
}

// A VAT number as a client's or the own company's record holds it: Bulgarian by its rules, with
// or without "BG"; foreign by its country's form.
Fault VatNumberFault(const QString &text)
{
    const QString number = WithoutBlanks(text);
    if (number.size() >= 2 && number.at(0).isLetter() && number.at(1).isLetter() &&
        !number.startsWith(QLatin1String("BG"), Qt::CaseInsensitive))
        return ForeignVatFault(number);
    return BgVatFault(number);
}

// ---- IBAN ----

struct IbanCountry {
    const char *country;
    int length;
    // The account part as the registry writes it: "4!a6!n8!c" is four capital letters, six
    // digits, eight letters or digits.
    const char *bban;
};

// The IBAN registry's countries of the EU and the EEA, Switzerland and the United Kingdom, and
// the European countries around them.
const IbanCountry kIbanCountries[] = {
    {"AD", 24, "4!n4!n12!c"},       {"AL", 28, "8!n16!c"},       {"AT", 20, "5!n11!n"},
    {"BA", 20, "3!n3!n8!n2!n"},     {"BE", 16, "3!n7!n2!n"},     {"BG", 22, "4!a4!n2!n8!c"},
    {"CH", 21, "5!n12!c"},          {"CY", 28, "3!n5!n16!c"},    {"CZ", 24, "4!n6!n10!n"},
    {"DE", 22, "8!n10!n"},          {"DK", 18, "4!n9!n1!n"},     {"EE", 20, "2!n2!n11!n1!n"},
    {"ES", 24, "4!n4!n1!n1!n10!n"}, {"FI", 18, "3!n11!n"},       {"FO", 18, "4!n9!n1!n"},
    {"FR", 27, "5!n5!n11!c2!n"},    {"GB", 22, "4!a6!n8!n"},     {"GI", 23, "4!a15!c"},
    {"GL", 18, "4!n9!n1!n"},        {"GR", 27, "3!n4!n16!c"},    {"HR", 21, "7!n10!n"},
    {"HU", 28, "3!n4!n1!n15!n1!n"}, {"IE", 22, "4!a6!n8!n"},     {"IS", 26, "4!n2!n6!n10!n"},
    {"IT", 27, "1!a5!n5!n12!c"},    {"LI", 21, "5!n12!c"},       {"LT", 20, "5!n11!n"},
    {"LU", 20, "3!n13!c"},          {"LV", 21, "4!a13!c"},       {"MC", 27, "5!n5!n11!c2!n"},
    {"MD", 24, "2!c18!c"},          {"ME", 22, "3!n13!n2!n"},    {"MK", 19, "3!n10!c2!n"},
    {"MT", 31, "4!a5!n18!c"},       {"NL", 18, "4!a10!n"},       {"NO", 15, "4!n6!n1!n"},
    {"PL", 28, "8!n16!n"},          {"PT", 25, "4!n4!n11!n2!n"}, {"RO", 24, "4!a16!c"},
    {"RS", 22, "3!n13!n2!n"},       {"SE", 24, "3!n16!n1!n"},    {"SI", 19, "5!n8!n2!n"},
    {"SK", 24, "4!n6!n10!n"},       {"SM", 27, "1!a5!n5!n12!c"}, {"TR", 26, "5!n1!n16!c"},
    {"UA", 29, "6!n19!c"},          {"VA", 22, "3!n15!n"},       {"XK", 20, "4!n10!n2!n"},
    {"GE", 22, "2!a16!n"},
};

// Whether the account part (in capitals) has the registry's pattern.
bool MatchesBban(const QString &bban, const char *pattern)
{
    int at = 0;
    for (const char *p = pattern; *p;) {
        int count = 0;
        while (*p >= '0' && *p <= '9')
            count = count * 10 + (*p++ - '0');
        ++p; // '!': exactly that many
        const char kind = *p++;
        for (int i = 0; i < count; ++i, ++at) {
            if (at >= bban.size())
                return false;
            const QChar c = bban.at(at);
            const bool ok = kind == 'n'   ? IsAsciiDigit(c)
                            : kind == 'a' ? IsAsciiUpper(c)
                                          : IsAsciiDigit(c) || IsAsciiUpper(c);
            if (!ok)
                return false;
        }
    }
    return at == bban.size();
}

Fault IbanFault(const QString &text)
{
    const QString iban = WithoutBlanks(text).toUpper();
    if (iban.isEmpty())
        return Fault::Empty;
    for (QChar c : iban)
        if (!IsAsciiDigit(c) && !IsAsciiUpper(c))
            return Fault::Character;
    if (iban.size() < 4 || !IsAsciiUpper(iban.at(0)) || !IsAsciiUpper(iban.at(1)))
        return Fault::Country;
    const IbanCountry *country = nullptr;
    for (const IbanCountry &entry : kIbanCountries)
        if (iban.startsWith(QLatin1String(entry.country))) {
            country = &entry;
            break;
        }
    if (!country)
        return Fault::Country;
    if (iban.size() != country->length)
        return Fault::Length;
    if (!IsAsciiDigit(iban.at(2)) || !IsAsciiDigit(iban.at(3)) ||
        !MatchesBban(iban.mid(4), country->bban))
        return Fault::CountryForm;
    // 00, 01 and 99 pass the remainder in place of 97, 98 and 02 but are never given out.
    const QStringView checkDigits = QStringView(iban).mid(2, 2);
    if (checkDigits == u"00" || checkDigits == u"01" || checkDigits == u"99")
        return Fault::CheckDigit;
    // The country and the check digits go to the end; letters count as 10 to 35.
    const QString moved = iban.mid(4) + iban.left(4);
    int remainder = 0;
    for (QChar c : moved) {
        if (IsAsciiDigit(c))
            remainder = (remainder * 10 + (c.unicode() - '0')) % 97;
        else
            remainder = (remainder * 100 + (c.unicode() - 'A' + 10)) % 97;
    }
    return remainder == 1 ? Fault::None : Fault::CheckDigit;
}

// ЕИК of a company; of a person, the 10 digits a Bulgarian VAT number may have.
Fault PartyIdFault(const QString &text)
{
    const QString number = WithoutBlanks(text);
    QVector<int> d;
    if (const Fault fault = Digits(number, d); fault != Fault::None)
        return fault;
    if (d.size() == 9 || d.size() == 13)
        return EikFault(number);
    if (d.size() != 10)
        return Fault::Length;
    return BgVatFault(number);
}

QString FaultText(IdentifierKind kind, Fault fault, const QString &value)
{
    switch (fault) {
    case Fault::None:
        return QString();
    case Fault::Character:
        return kind == IdentifierKind::Iban
                   ? QStringLiteral("съдържа знак, който не е латинска буква или цифра")
                   : QStringLiteral("съдържа знак, който не е цифра");
    case Fault::Empty: // "BG" and nothing after it
    case Fault::Length:
        switch (kind) {
        case IdentifierKind::VatNumber:
            return QStringLiteral("след BG трябва да има 9 или 10 цифри");
        case IdentifierKind::PartyId:
            return QStringLiteral("ЕИК има 9 или 13 цифри, ЕГН и ЛНЧ имат 10");
        case IdentifierKind::Iban:
            return QStringLiteral("IBAN на %1 има друг брой знаци")
                .arg(WithoutBlanks(value).left(2).toUpper());
        case IdentifierKind::None:
            break;
        }
        return QString();
    case Fault::CheckDigit:
        return kind == IdentifierKind::Iban ? QStringLiteral("грешни контролни цифри")
                                            : QStringLiteral("грешна контролна цифра");
    case Fault::BirthDate:
        return QStringLiteral("като ЕГН няма такава дата на раждане, а не е и ЛНЧ");
    case Fault::Country:
        return QStringLiteral("непознат код на държава „%1“")
            .arg(WithoutBlanks(value).left(2).toUpper());
    case Fault::CountryForm:
        return QStringLiteral("не е във вида, който има за %1")
            .arg(WithoutBlanks(value).left(2).toUpper());
    }
    return QString();
}

Fault FaultOf(IdentifierKind kind, const QString &value)
{
    switch (kind) {
    case IdentifierKind::VatNumber:
        return VatNumberFault(value);
    case IdentifierKind::PartyId:
        return PartyIdFault(value);
    case IdentifierKind::Iban:
        return IbanFault(value);
    case IdentifierKind::None:
        break;
    }
    return Fault::None;
}
} // namespace

bool IsValidEik(const QString &text)
{
    return EikFault(text) == Fault::None;
}

bool IsValidEgn(const QString &text)
{
    return EgnFault(text) == Fault::None;
}

bool IsValidLnch(const QString &text)
{
    return LnchFault(text) == Fault::None;
}

bool IsValidBgVatNumber(const QString &text)
{
    return BgVatFault(text) == Fault::None;
}

bool IsValidForeignVatNumber(const QString &text)
{
    return ForeignVatFault(text) == Fault::None;
}

bool IsValidIban(const QString &text)
{
    return IbanFault(text) == Fault::None;
}

namespace Identifiers
{
IdentifierKind KindOfField(const QString &tableName, const QString &fieldName)
{
    const auto is = [](const QString &a, const char16_t *b) {
        return a.compare(QString::fromUtf16(b), Qt::CaseInsensitive) == 0;
    };
    if (is(tableName, u"customer")) {
        if (is(fieldName, u"ИН по ЗДДС"))
            return IdentifierKind::VatNumber;
        if (is(fieldName, u"Идент №"))
            return IdentifierKind::PartyId;
    } else if (is(tableName, u"Firm")) {
        if (is(fieldName, u"ИН по ЗДДС BG"))
            return IdentifierKind::VatNumber;
        if (is(fieldName, u"ИН"))
            return IdentifierKind::PartyId;
    } else if (is(tableName, u"Details")) {
        if (is(fieldName, u"IBAN"))
            return IdentifierKind::Iban;
    }
    return IdentifierKind::None;
}

QString Failure(IdentifierKind kind, const QString &value)
{
    if (WithoutBlanks(value).isEmpty())
        return QString();
    return FaultText(kind, FaultOf(kind, value), value);
}

QString Problem(IdentifierKind kind, const QString &caption, const QString &value)
{
    const QString why = Failure(kind, value);
    if (why.isEmpty())
        return QString();
    return QStringLiteral("%1 „%2“ не е валиден (%3)").arg(caption, value.trimmed(), why);
}

QStringList Problems(const QList<Field> &fields)
{
    QStringList result;
    for (const Field &field : fields) {
        const QString problem = Problem(field.kind, field.caption, field.value);
        if (!problem.isEmpty())
            result << problem;
    }
    return result;
}
} // namespace Identifiers
