#include "ledger/LedgerFile.h"

#include "base/AtomicFiles.h"
#include "base/Decimal.h"
#include "base/Errors.h"

#include <QDir>
#include <QHash>
#include <QStringDecoder>

namespace Ledger
{
namespace
{
constexpr int kAmountWidth = 15;

// Windows-1251 by character: the bytes 0x80 to 0xFF decoded once give the characters it has.
char ToWindows1251(char32_t c)
{
    static const QHash<char32_t, char> table = [] {
        QHash<char32_t, char> upper;
        QStringDecoder decoder("windows-1251", QStringDecoder::Flag::Stateless);
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const char one = char(byte);
            const QString decoded = decoder.decode(QByteArrayView(&one, 1));
            if (decoded.size() == 1 && decoded.at(0) != QChar::ReplacementCharacter)
                upper.insert(decoded.at(0).unicode(), one);
        }
        return upper;
    }();
    if (c < 0x80)
        return char(c);
    return table.value(c, '?');
}

// The text in Windows-1251, one byte for each character (a pair of surrogates is one).
QByteArray Encode(const QString &text)
{
    QByteArray bytes;
    const QList<uint> codePoints = text.toUcs4();
    bytes.reserve(codePoints.size());
    for (uint c : codePoints)
        bytes += ToWindows1251(char32_t(c));
    return bytes;
}

// A text field: left-aligned, padded with blanks, cut at the width.
QByteArray Text(const QString &text, int width)
{
    return Encode(text).left(width).leftJustified(width, ' ');
}

// A number field: right-aligned, padded with blanks.
QByteArray Number(const QByteArray &digits, int width)
{
    return digits.rightJustified(width, ' ', true);
}

QByteArray Amount(qint64 amount)
{
    return Number(Decimal::FixedToText(amount, 2).toLatin1(), kAmountWidth);
}
} // namespace

QByteArray RecordBytes(const SalesLedger &ledger, const Record &record)
{
    const char *type = record.type == DocumentType::CreditNote  ? "03"
                       : record.type == DocumentType::DebitNote ? "02"
                                                                : "01";
    QByteArray bytes;
    bytes.reserve(kRecordWidth);
    bytes += Text(ledger.company.vatNumber, 15);              // 02-00
    bytes += Text(ledger.period, 6);                          // 02-01
    bytes += Number("0", 4);                                  // 02-02, no branch
    bytes += Number(QByteArray::number(record.sequence), 15); // 02-03
    bytes += type;                                            // 02-04
    bytes += Text(QStringLiteral("%1").arg(record.number, 10, 10, QLatin1Char('0')), 20); // 02-05
    bytes += Text(record.date.toString(QStringLiteral("dd/MM/yyyy")), 10);                // 02-06
    bytes += Text(record.recipientId, 15);                                                // 02-07
    bytes += Text(record.recipientName, 50);                                              // 02-08
    bytes += Text(record.description, 30);                                                // 02-09
    for (qint64 amount : record.amounts)
        bytes += Amount(amount);
    bytes += "  "; // 02-27: no art. 163a or 167a code
    return bytes;
}

QByteArray FileBytes(const SalesLedger &ledger)
{
    RequireComplete(ledger);
    QByteArray bytes;
    for (const Record &record : ledger.records)
        bytes += RecordBytes(ledger, record) + "\r\n";
    return bytes;
}

void WriteFile(const SalesLedger &ledger, const QString &fileName)
{
    WriteFileAtomically(fileName, FileBytes(ledger));
}
} // namespace Ledger
