#include "journal/JournalView.h"

#include "base/Decimal.h"
#include "base/Errors.h"
#include "journal/NumberSeries.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSet>

QDate DocumentDateOf(const JournalEntry &entry)
{
    const QDate date =
        QDate::fromString(entry.documentDate.trimmed(), QStringLiteral("dd.MM.yyyy"));
    if (date.isValid())
        return date;
    return QDateTime::fromString(entry.printedAt, Qt::ISODate).date();
}

bool MatchesFilter(const JournalEntry &entry, const JournalFilter &filter)
{
    if (!filter.kind.isEmpty() && entry.kind != filter.kind)
        return false;
    if (!filter.from.isNull() || !filter.to.isNull()) {
        const QDate date = DocumentDateOf(entry);
        if (!date.isValid())
            return false;
        if (!filter.from.isNull() && date < filter.from)
            return false;
        if (!filter.to.isNull() && date > filter.to)
            return false;
    }
    const QString search = filter.search.trimmed();
    if (search.isEmpty())
        return true;
    return entry.number.contains(search, Qt::CaseInsensitive) ||
           entry.clientName.contains(search, Qt::CaseInsensitive);
}

namespace
{
bool Amount(const QString &text, qint64 &value)
{
    try {
        value = Decimal::TextToFixed(text);
        return true;
    } catch (const UserError &) {
        return false;
    }
}

void Add(qint64 &sum, const QString &text)
{
    qint64 value = 0;
    if (Amount(text, value))
        sum = Decimal::FixedAdd(sum, value);
}

CurrencySum &SumOf(QVector<CurrencySum> &sums, const QString &code, bool home)
{
    for (CurrencySum &sum : sums)
        if (sum.code == code && sum.home == home)
            return sum;
    CurrencySum sum;
    sum.code = code;
    sum.home = home;
    sums.append(sum);
    return sums.last();
}

QString Money(qint64 fixed)
{
    return QString::number(Decimal::FixedToDouble(fixed), 'f', 2);
}
} // namespace

QVector<CurrencySum> SumsPerCurrency(const QVector<JournalEntry> &entries)
{
    QVector<CurrencySum> home, foreign;
    QSet<QString> counted;
    for (const JournalEntry &entry : entries) {
        const SeriesItem item = SeriesItemOf(entry);
        if (!entry.number.isEmpty()) {
            const QString key =
                item.series + QChar(0x1E) + item.number + QChar(0x1E) + item.document;
            if (counted.contains(key))
                continue;
            counted.insert(key);
        }
        CurrencySum &h = SumOf(home, entry.homeCurrency, true);
        Add(h.taxBase, entry.taxBase);
        Add(h.vat, entry.vat);
        Add(h.total, entry.total);
        if (!entry.foreignCurrency.isEmpty())
            Add(SumOf(foreign, entry.foreignCurrency, false).total, entry.foreignTotal);
    }
    return home + foreign;
}

QString SumsText(const QVector<CurrencySum> &sums)
{
    // The totals in the second currency are named as such: after the switch to the euro the
    // same code can be a home currency and a second currency in one list.
    QStringList parts, second;
    for (const CurrencySum &sum : sums) {
        const QString code = sum.code.isEmpty() ? QStringLiteral("?") : sum.code;
        if (sum.home)
            parts << QStringLiteral("%1: основа %2, ДДС %3, общо %4")
                         .arg(code, Money(sum.taxBase), Money(sum.vat), Money(sum.total));
        else
            second << QStringLiteral("%1 %2").arg(code, Money(sum.total));
    }
    if (!second.isEmpty())
        parts << QStringLiteral("във втора валута: общо ") + second.join(QStringLiteral(", "));
    return parts.join(QStringLiteral(" | "));
}

namespace
{
// Whether a spreadsheet could take the cell for a formula: after leading blanks, it starts with
// "=", "+", "-", "@", a tab or a line break, or with the full-width forms of those signs, which
// some spreadsheets read alike.
bool StartsFormula(const QString &text)
{
    static const QString kStarts = QStringLiteral("=+-@\t\r\n\uFF1D\uFF0B\uFF0D\uFF20");
    for (const QChar c : text) {
        if (kStarts.contains(c))
            return true;
        if (!c.isSpace())
            return false;
    }
    return false;
}

// A plain number as the amount columns hold it: a minus, digits, a decimal comma. The spreadsheet
// reads it as the number it is, a credit note's "-12,50" included, and nothing can hide in it.
bool PlainNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(,[0-9]+)?$"));
    return number.match(text).hasMatch();
}

// Any other cell that could start a formula is kept as text by a leading apostrophe.
QString Inert(const QString &text)
{
    if (StartsFormula(text) && !PlainNumber(text))
        return QLatin1Char('\'') + text;
    return text;
}

// The spreadsheet of a ";" file reads decimal commas.
QString DecimalComma(const QString &amount)
{
    QString text = amount;
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

QString Field(const QString &text)
{
    if (text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('"')) ||
        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
        QString quoted = text;
        quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        return QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    return text;
}
} // namespace

namespace
{
QByteArray CsvLine(const QStringList &fields)
{
    QStringList out;
    for (const QString &f : fields)
        out << Field(Inert(f));
    return (out.join(QLatin1Char(';')) + QStringLiteral("\r\n")).toUtf8();
}
} // namespace

QByteArray JournalCsvHeader()
{
    return QByteArray("\xEF\xBB\xBF") +
           CsvLine({QStringLiteral("Номер"), QStringLiteral("Вид"), QStringLiteral("Дата"),
                    QStringLiteral("Клиент"), QStringLiteral("ИН по ЗДДС"),
                    QStringLiteral("Данъчна основа"), QStringLiteral("ДДС"),
                    QStringLiteral("Сума за плащане"), QStringLiteral("Валута"),
                    QStringLiteral("Сума във валута"), QStringLiteral("Чужда валута"),
                    QStringLiteral("Екземпляр"), QStringLiteral("Отпечатан"),
                    QStringLiteral("Файл PDF")});
}

QByteArray JournalCsvRow(const JournalEntry &e)
{
    return CsvLine({e.number, e.kind, e.documentDate, e.clientName, e.clientVat,
                    DecimalComma(e.taxBase), DecimalComma(e.vat), DecimalComma(e.total),
                    e.homeCurrency, DecimalComma(e.foreignTotal), e.foreignCurrency,
                    e.copy ? QStringLiteral("Копие") : QStringLiteral("Оригинал"), e.printedAt,
                    e.pdfFile});
}

QByteArray JournalCsv(const QVector<JournalEntry> &entries)
{
    QByteArray bytes = JournalCsvHeader();
    for (const JournalEntry &e : entries)
        bytes += JournalCsvRow(e);
    return bytes;
}
