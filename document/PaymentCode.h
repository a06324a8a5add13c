#pragma once

#include <QByteArray>
#include <QString>

struct Invoice;

// The payment code of a euro document: the SEPA credit transfer QR code (EPC069-12, version 002)
// that banking apps scan to fill in a transfer to the own company's account.

// Why the document carries no payment code, in Bulgarian ("кредитно известие"); empty when it
// carries one.
QString PaymentCodeAbsence(const Invoice &invoice);
// The code's text, lines joined by LF: "BCD", "002", "1" (UTF-8), "SCT", the BIC, the own
// company's name, the IBAN, "EUR" and the amount payable, an empty purpose, an empty structured
// reference and the remittance text "<kind> <number>" ("Фактура 0000000043"). Empty when the
// document carries no code.
QString PaymentCodeText(const Invoice &invoice);

// A QR code as a square of modules, the quiet zone included.
class QrMatrix
{
public:
    // Light modules around the symbol on every side.
    static constexpr int kQuietZone = 4;

    // The text's UTF-8 bytes with error correction level M, in the smallest version that holds
    // them; a null matrix when they do not fit in any.
    static QrMatrix Encode(const QString &text);

    bool isNull() const { return m_size == 0; }
    // Modules on a side, the quiet zone included.
    int size() const { return m_size; }
    // Whether the module in column x, row y (0-based, quiet zone included) is dark.
    bool isDark(int x, int y) const;

private:
    int m_size = 0;
    QByteArray m_modules; // one byte per module, row after row
};
