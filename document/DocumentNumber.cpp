#include "document/DocumentNumber.h"

#include "base/Decimal.h"
#include "base/Errors.h"

#include <limits>

bool IsProforma(const QString &kind)
{
    return kind == kProformaKind;
}

QString CounterField(const QString &kind)
{
    return IsProforma(kind) ? kProformaCounter : kInvoiceCounter;
}

QString TenDigits(const QString &text)
{
    return text.size() >= 10 ? text : text.rightJustified(10, QLatin1Char('0'));
}

QString TenDigits(qint64 number)
{
    return TenDigits(QString::number(number));
}

namespace
{
QString CounterRule(const QString &field)
{
    return QStringLiteral("Броячът „%1“ в таблицата %2 трябва да е цяло число от 0 до %3; "
                          "поправете го в „Собствени фирми“.")
        .arg(field, kCounterTable)
        .arg(std::numeric_limits<int>::max() - 1);
}
} // namespace

int CounterValue(const QString &counterText, const QString &field)
{
    int stored = 0;
    try {
        stored = Decimal::StrToInt(counterText);
    } catch (const ConversionError &error) {
        throw UserError(error.message() + QLatin1Char('\n') + CounterRule(field));
    }
    if (stored == std::numeric_limits<int>::max())
        throw UserError(QStringLiteral("Броячът „%1“ в таблицата %2 е достигнал най-големия "
                                       "възможен номер %3; следващ номер няма.")
                            .arg(field, kCounterTable)
                            .arg(stored));
    if (stored < 0)
        throw UserError(QStringLiteral("Броячът „%1“ в таблицата %2 е „%3“.\n")
                            .arg(field, kCounterTable, counterText) +
                        CounterRule(field));
    return stored;
}

QString NextDocumentNumber(const QString &counterText, const QString &field)
{
    return TenDigits(qint64(CounterValue(counterText, field)) + 1);
}

int DocumentNumberValue(const QString &number)
{
    const int value = Decimal::StrToInt(number);
    if (value < 0)
        throw UserError(QStringLiteral("Номерът на документа „%1“ трябва да е цяло число от 0 "
                                       "нагоре.")
                            .arg(number));
    return value;
}

qint64 ManualDocumentNumber(const QString &text)
{
    const int value = Decimal::StrToInt(text);
    if (value < 1)
        throw UserError(QStringLiteral("Номерът на документа „%1“ трябва да е цяло число от 1 "
                                       "нагоре.")
                            .arg(text.trimmed()));
    return value;
}

QString ReferencedNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    for (const QChar c : trimmed)
        if (!c.isDigit())
            return trimmed;
    return trimmed.isEmpty() ? trimmed : TenDigits(trimmed);
}

bool CounterMustAdvance(int printedNumber, const QString &storedCounterText)
{
    return printedNumber > Decimal::StrToInt(storedCounterText);
}

QString DateText(const QDate &date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QString NumberAndDateLine(const QString &number, const QString &date)
{
    return QStringLiteral("№ ") + number + QStringLiteral(" / Дата(Date): ") + date;
}
