#include "document/DocumentNumber.h"

#include "app/Convert.h"
#include "app/Errors.h"

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

QString NextDocumentNumber(const QString &counterText)
{
    const int stored = StrToInt(counterText);
    if (stored == std::numeric_limits<int>::max())
        throw UserError(QStringLiteral("Броячът на документите е достигнал най-големия възможен "
                                       "номер %1; следващ номер няма.")
                            .arg(stored));
    return TenDigits(qint64(stored) + 1);
}

int DocumentNumberValue(const QString &number)
{
    return StrToInt(number);
}

bool CounterMustAdvance(int printedNumber, const QString &storedCounterText)
{
    return printedNumber > StrToInt(storedCounterText);
}

QString DateText(const QDate &date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QString NumberAndDateLine(const QString &number, const QString &date)
{
    return QStringLiteral("№ ") + number + QStringLiteral(" / Дата(Date): ") + date;
}
