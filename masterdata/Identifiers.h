#pragma once

#include <QString>
#include <QStringList>

// The numbers that identify the parties of a document and the account it names for payment,
// checked by their published rules. Blanks anywhere in a number are ignored; any other character
// that is not part of the number makes it invalid. An empty text is invalid too: whether a
// number may be left out is for the caller to say.

// A 9-digit ЕИК/БУЛСТАТ, or a 13-digit one whose first nine digits are a valid 9-digit one.
bool IsValidEik(const QString &text);
// An ЕГН: 10 digits with its check digit and a birth date that exists in the calendar.
bool IsValidEgn(const QString &text);
// An ЛНЧ, the 10-digit personal number of a foreigner, with its check digit.
bool IsValidLnch(const QString &text);
// A Bulgarian VAT number: an optional "BG" (any case), then a valid ЕИК of 9 digits, or 10
// digits valid as an ЕГН, an ЛНЧ or under the rule for the other 10-digit numbers.
bool IsValidBgVatNumber(const QString &text);
// A VAT number of another country of the EU (and of GB, XI, CH, NO) by its country prefix:
// checked for that country's form only, not for its check digits. Dots and hyphens are ignored
// as well, as these numbers are often written with them.
bool IsValidForeignVatNumber(const QString &text);
// An IBAN: a country of the registry, that country's length and account pattern, letters in
// either case, and the remainder 1 modulo 97.
bool IsValidIban(const QString &text);

// The fields of the master data that hold an identifier.
enum class IdentifierKind {
    None,
    // A VAT number: Bulgarian with or without "BG", or foreign with its country prefix.
    VatNumber,
    // ЕИК/БУЛСТАТ of a company, or ЕГН or ЛНЧ of a person.
    PartyId,
    Iban,
};

namespace Identifiers
{
// The identifier a field of a master-data table holds ("customer", "Firm", "Details" by their
// file's base name; field names in any letter case); None for every other field.
IdentifierKind KindOfField(const QString &tableName, const QString &fieldName);
// Why the value fails its check, in Bulgarian ("грешна контролна цифра"); empty when it passes.
// An empty value passes: a field left empty is no wrong number.
QString Failure(IdentifierKind kind, const QString &value);
// One sentence for the user: "<caption> „<value>“ не е валиден (<why>)"; empty when the value
// passes its check.
QString Problem(IdentifierKind kind, const QString &caption, const QString &value);

// An identifier of a record or a document, named as the user should read it.
struct Field {
    QString caption; // "ИН по ЗДДС на получателя"
    IdentifierKind kind;
    QString value;
};
// One sentence per field whose value fails its check, in the order given.
QStringList Problems(const QList<Field> &fields);
} // namespace Identifiers
