#pragma once

#include <QByteArray>
#include <QString>

struct Invoice;

// The document as an electronic invoice of the European standard EN 16931 in UBL 2.1, for the
// buyer's software to read without retyping. Everything comes from the document value, never
// from the page's captions.
namespace EInvoice
{
// The document as UBL 2.1 XML in UTF-8: an Invoice for an invoice (type 380), a debit note (383)
// and a proforma (325), a CreditNote (381) for a credit note, in the home currency, its totals
// those of the page. Throws UserError for a document that cannot be one: unnumbered, undated,
// without lines, at 0 % without a ground, or with lines that do not add up to its tax base.
QByteArray Xml(const Invoice &invoice);
// The UN/ECE Recommendation 20 code of a unit as the line gives it ("бр." H87, "кг" KGM), blanks,
// capitals and a final "." ignored; C62 ("one") for a unit it does not know.
QString UnitCode(const QString &unit);
// The ISO 3166 country of a VAT number by its two-letter prefix ("EL" is Greece, GR); BG for a
// number without a prefix and for none.
QString CountryOfVatNumber(const QString &vatNumber);
} // namespace EInvoice
