#pragma once

#include <QString>

// The amount payable in words, as the invoice page writes it under "Словом: / in words:": the
// leva amount in Bulgarian, then the foreign amount in English.
//
// Each routine reads only the last n characters of its digit text (d1 the last, the units) and
// appends its words to the words text. The wording is the program's own and is kept exactly,
// with its trailing and double blanks. A whole part never begins with "0", except the English
// whole part "0" of a foreign amount below 1, which EnWords1Digit writes as "zero".
// A character other than "0" to "9" among the digits read throws
// InvalidInteger(that character); a digit missing from a too short text throws InvalidInteger("").
// Nothing is appended when a routine throws.

// The units word of d1 ("един").
void BgWords1Digit(const QString &digits, QString &words);
// Ten, the teens with "и " before them unless the words text is empty or ends in " и ", or a tens
// word with its unit and no conjunction in front ("двадесет и един").
void BgWords2Digits(const QString &digits, QString &words);
// The hundreds word with its trailing blank, then the rest ("сто и един", "сто двадесет").
void BgWords3Digits(const QString &digits, QString &words);
// "хиляда " or "<N> хиляди ", then the rest, with "и " only before a lone hundreds or unit word.
void BgWords4Digits(const QString &digits, QString &words);
// A two-digit count of thousands in masculine forms, then " хиляди" and the rest.
void BgWords5Digits(const QString &digits, QString &words);
// A three-digit count of thousands, then " хиляди" and the rest ("сто  хиляди ").
void BgWords6Digits(const QString &digits, QString &words);
// The stotinki in figures: " и  0.45" for "45"; nothing for "00".
void BgWordsFraction(const QString &digits, QString &words);

// The units word of d1 ("one"); "zero" for "0".
void EnWords1Digit(const QString &digits, QString &words);
// Ten, the teens with "and " before them unless the current line (the text after the first line
// feed) is empty or the words text ends in " and ", or a tens word with its unit ("fourty five").
void EnWords2Digits(const QString &digits, QString &words);
// "<U> hundred ", then the rest ("one hundred and one", "one hundred twenty").
void EnWords3Digits(const QString &digits, QString &words);
// "<U> thousand ", then the rest ("one thousand  and one", "one thousand twenty").
void EnWords4Digits(const QString &digits, QString &words);
// A two-digit count of thousands, then " thousand" and the rest.
void EnWords5Digits(const QString &digits, QString &words);
// A three-digit count of thousands, then " thousand" and the rest ("one hundred  thousand ").
void EnWords6Digits(const QString &digits, QString &words);
// The cents in figures: " and  0.45" for "45"; nothing for "00".
void EnWordsFraction(const QString &digits, QString &words);

// The whole text of the amount-in-words label: the Bulgarian words of the leva amount with
// " BGL", a line feed, and the English words of the foreign amount with " " + currencyCode.
// The caller calls it only when the leva amount does not begin with "0".
QString AmountInWords(const QString &levaAmount, const QString &foreignAmount,
                      const QString &currencyCode);
// The same with the home amount's code: "BGL" gives exactly the line above; with "EUR" the
// Bulgarian line ends in " EUR" and, the euro being neuter, a whole part ending in the unit one
// or two ends in "едно" or "две" ("двадесет и две EUR"); the counts of thousands stay as they
// are. Another code is written after the amount as it is given.
QString AmountInWords(const QString &homeAmount, const QString &foreignAmount,
                      const QString &currencyCode, const QString &homeCode);
