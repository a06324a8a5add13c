#include "journal/JournalRecord.h"

#include "document/DocumentNumber.h"

QString DocumentKindOfPage(const QString &title, const QString &noteTitle)
{
    const QString note = noteTitle.trimmed();
    if (note.startsWith(QStringLiteral("Кредитно"), Qt::CaseInsensitive))
        return kKindCreditNote;
    if (note.startsWith(QStringLiteral("Дебитно"), Qt::CaseInsensitive))
        return kKindDebitNote;
    return IsProforma(title) ? kKindProforma : kKindInvoice;
}

AmountWithCode SplitAmount(const QString &shown)
{
    const QString text = shown.trimmed();
    const int blank = text.lastIndexOf(QLatin1Char(' '));
    if (blank < 0)
        return {text, QString()};
    return {text.left(blank).trimmed(), text.mid(blank + 1)};
}

QString DateOfNumberLine(const QString &line)
{
    const QString caption = QStringLiteral("Дата(Date):");
    const int at = line.indexOf(caption);
    if (at < 0)
        return QString();
    return line.mid(at + caption.size()).trimmed();
}
