#include "document/PaymentCode.h"

#include "base/Decimal.h"
#include "document/Invoice.h"
#include "masterdata/Identifiers.h"

#include <QRegularExpression>
#include <qrencode.h>

namespace
{
// The limits of the code's fields and of the whole text (in UTF-8 bytes).
constexpr int kNameLength = 70;
constexpr int kRemittanceLength = 140;
constexpr int kTextBytes = 331;
constexpr qint64 kLeastAmount = 100;                // 0.01 in ten-thousandths
constexpr qint64 kGreatestAmount = 9999999999999LL; // 999999999.99

QString WithoutBlanks(const QString &text)
{
    QString result;
    for (QChar c : text)
        if (!c.isSpace())
            result.append(c);
    return result.toUpper();
}

// A field on one line: line breaks and other control characters become blanks.
QString OneLine(const QString &text)
{
    QString result = text;
    for (QChar &c : result)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return result.simplified();
}

// The text cut to at most that many characters, never inside a character written as a pair.
QString CutTo(const QString &text, int characters)
{
    QString result;
    int count = 0;
    for (int i = 0; i < text.size() && count < characters; ++i, ++count) {
        result.append(text.at(i));
        if (text.at(i).isHighSurrogate() && i + 1 < text.size())
            result.append(text.at(++i));
    }
    return result;
}

// The amount payable in cents, rounded as the page rounds it.
qint64 PayableCents(const Invoice &invoice)
{
    return Decimal::RoundToCents(invoice.payable().units);
}
} // namespace

QString PaymentCodeAbsence(const Invoice &invoice)
{
    if (IsoCurrencyCode(invoice.homeCurrency) != QLatin1String("EUR"))
        return QStringLiteral("документът не е в евро");
    if (invoice.noteKind() == NoteKind::Credit)
        return QStringLiteral("кредитното известие не се плаща");
    const qint64 cents = PayableCents(invoice);
    if (cents < kLeastAmount || cents > kGreatestAmount)
        return QStringLiteral("сумата за плащане не е между 0.01 и 999999999.99 EUR");
    if (!IsValidIban(invoice.bank.iban))
        return QStringLiteral("IBAN „%1“ не е валиден").arg(invoice.bank.iban.trimmed());
    if (OneLine(invoice.supplier.name).isEmpty())
        return QStringLiteral("няма име на доставчика");
    return QString();
}

QString PaymentCodeText(const Invoice &invoice)
{
    if (!PaymentCodeAbsence(invoice).isEmpty())
        return QString();
    // The BIC may be left out within the EEA: one that is no BIC would only make the code fail.
    QString bic = WithoutBlanks(invoice.bank.bic);
    static const QRegularExpression bicForm(
        QStringLiteral("^[A-Z]{4}[A-Z]{2}[A-Z0-9]{2}([A-Z0-9]{3})?$"));
    if (!bicForm.match(bic).hasMatch())
        bic.clear();
    const QString amount = QStringLiteral("EUR") + Decimal::FixedToText(PayableCents(invoice), 2);
    const QString remittance = CutTo(
        OneLine(invoice.kindName() + QLatin1Char(' ') + invoice.numberText()), kRemittanceLength);
    const auto text = [&](const QString &name) {
        return QStringList{QStringLiteral("BCD"),
                           QStringLiteral("002"),
                           QStringLiteral("1"),
                           QStringLiteral("SCT"),
                           bic,
                           name,
                           WithoutBlanks(invoice.bank.iban),
                           amount,
                           QString(),
                           QString(),
                           remittance}
            .join(QLatin1Char('\n'));
    };
    // A name of many multi-byte characters is cut further, to keep the whole within its bytes.
    QString name = CutTo(OneLine(invoice.supplier.name), kNameLength);
    while (text(name).toUtf8().size() > kTextBytes && !name.isEmpty())
        name.chop(name.back().isLowSurrogate() && name.size() > 1 ? 2 : 1);
    return text(name.trimmed());
}

QrMatrix QrMatrix::Encode(const QString &text)
{
    QrMatrix matrix;
    const QByteArray bytes = text.toUtf8();
    // Byte mode throughout (with the digit runs packed where that is shorter), case kept.
    QRcode *code = QRcode_encodeString(bytes.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (!code)
        return matrix;
    const int width = code->width;
    matrix.m_size = width + 2 * kQuietZone;
    matrix.m_modules.fill(0, matrix.m_size * matrix.m_size);
    for (int y = 0; y < width; ++y)
        for (int x = 0; x < width; ++x)
            if (code->data[y * width + x] & 1)
                matrix.m_modules[(y + kQuietZone) * matrix.m_size + x + kQuietZone] = 1;
    QRcode_free(code);
    return matrix;
}

bool QrMatrix::isDark(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_size || y >= m_size)
        return false;
    return m_modules.at(y * m_size + x) != 0;
}
