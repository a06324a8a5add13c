#include "document/PageText.h"

#include "document/DocumentNumber.h"
#include "document/Invoice.h"

#include <QRegularExpression>

QString PageDate(const QDate &date)
{
    return date.isValid() ? DateText(date) : kDatePlaceholder;
}

QDate ParsePageDate(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,2})[./-](\\d{1,2})[./-](\\d{4}|\\d{2})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return QDate();
    int year = match.captured(3).toInt();
    if (match.captured(3).size() == 2)
        year += 2000;
    return QDate(year, match.captured(2).toInt(), match.captured(1).toInt());
}

QString NumberLine(const Invoice &doc)
{
    if (doc.number == 0 && !doc.issueDate.isValid())
        return NumberAndDateLine(QStringLiteral("0000000001"), kDatePlaceholder);
    return NumberAndDateLine(doc.numberText(),
                             doc.issueDate.isValid() ? DateText(doc.issueDate) : QString());
}

QString NoteReferenceLine(const Invoice &doc)
{
    return QStringLiteral("от дата / from date: ") +
           (doc.referenceDate.isValid() ? DateText(doc.referenceDate) : QString()) +
           QStringLiteral(", към фактура № / to invoice No: ") + doc.referenceNumber;
}

QString VatCaption(const QString &vatText)
{
    const qsizetype percent = vatText.indexOf(QLatin1Char('%'));
    const QString rate = percent < 0 ? vatText : vatText.left(percent);
    return QStringLiteral("Данъчна ставка ") + rate + QStringLiteral("%\nразмер на данъка\nVAT ") +
           rate + QStringLiteral("%\nTotal VAT");
}
