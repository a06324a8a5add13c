#include "FuzzSupport.h"

#include "base/Errors.h"
#include "euro/HomeCurrency.h"
#include "journal/JournalView.h"
#include "journal/NumberSeries.h"

#include <QRegularExpression>

// The journal's rows as another program may have left them: the CSV for a spreadsheet, the
// window's search, the gap and repeat marks, and the setting file read beside them.
//
// The input: the setting file's bytes, then (after a 0x1E byte each) the search text and the
// rows; a row's fields are separated by 0x1F bytes, in the order of kFields below.
namespace
{
QString JournalEntry::*const kFields[] = {&JournalEntry::number,
                                          &JournalEntry::kind,
                                          &JournalEntry::documentDate,
                                          &JournalEntry::clientName,
                                          &JournalEntry::clientVat,
                                          &JournalEntry::taxBase,
                                          &JournalEntry::vat,
                                          &JournalEntry::total,
                                          &JournalEntry::homeCurrency,
                                          &JournalEntry::foreignTotal,
                                          &JournalEntry::foreignCurrency,
                                          &JournalEntry::printedAt,
                                          &JournalEntry::pdfFile,
                                          &JournalEntry::series};

// The rows of a CSV as a spreadsheet splits them: ";" between cells, CR LF after rows, quotes
// around cells that hold them, "" for a quote inside.
QList<QStringList> SplitCsv(const QString &text)
{
    QList<QStringList> rows;
    QStringList cells;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                cell += text.at(++i);
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                cell += c;
        } else if (c == QLatin1Char('"') && cell.isEmpty()) {
            quoted = true;
        } else if (c == QLatin1Char(';')) {
            cells << cell;
            cell.clear();
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                   text.at(i + 1) == QLatin1Char('\n')) {
            cells << cell;
            cell.clear();
            rows << cells;
            cells.clear();
            ++i;
        } else {
            cell += c;
        }
    }
    FUZZ_CHECK(!quoted && cell.isEmpty() && cells.isEmpty());
    return rows;
}

// What a spreadsheet would run: a cell whose first character after blanks opens a formula. A
// number with a sign is read as a number, not run.
bool Live(const QString &cell)
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(,[0-9]+)?$"));
    for (const QChar c : cell) {
        if (c == QLatin1Char(' ') || c == QChar(0xA0) || c == QChar(0x3000))
            continue;
        const bool opens = QStringLiteral("=+-@\t\r\n\uFF1D\uFF0B\uFF0D\uFF20").contains(c);
        return opens && !number.match(cell).hasMatch();
    }
    return false;
}

void CheckCsv(const QVector<JournalEntry> &entries)
{
    const QByteArray csv = JournalCsv(entries);
    FUZZ_CHECK(csv.startsWith("\xEF\xBB\xBF"));
    const QList<QStringList> rows = SplitCsv(QString::fromUtf8(csv.mid(3)));
    FUZZ_CHECK(rows.size() == entries.size() + 1);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        FUZZ_CHECK(rows[r].size() == 14);
        for (qsizetype c = 0; c < rows[r].size(); ++c) {
            const QString &cell = rows[r][c];
            FUZZ_CHECK(!Live(cell));
            if (r == 0 || c == 11)
                continue;
            // Nothing is lost: the cell is the stored text, the amounts with a decimal comma,
            // and an apostrophe before it where it had to be made inert.
            static const int stored[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, -1, 11, 12};
            QString expected = entries[r - 1].*kFields[stored[c]];
            if (c == 5 || c == 6 || c == 7 || c == 9)
                expected.replace(QLatin1Char('.'), QLatin1Char(','));
            FUZZ_CHECK(cell == expected || cell == QLatin1Char('\'') + expected);
        }
    }
}

void CheckSearch(const QVector<JournalEntry> &entries, const QString &search)
{
    const JournalFilter all{search, QDate(), QDate(), QString()};
    const JournalFilter march{search, QDate(2026, 3, 1), QDate(2026, 3, 31), QString()};
    for (const JournalEntry &entry : entries) {
        // A period or a kind only takes rows away; a row's own number always finds it.
        const bool found = MatchesFilter(entry, all);
        if (MatchesFilter(entry, march))
            FUZZ_CHECK(found);
        if (MatchesFilter(entry, {search, QDate(), QDate(), entry.kind}))
            FUZZ_CHECK(found);
        FUZZ_CHECK(MatchesFilter(entry, {entry.number, QDate(), QDate(), QString()}));
    }
    try {
        SumsText(SumsPerCurrency(entries));
    } catch (const UserError &) {
        // Sums beyond the fixed-point range are refused, not wrapped around.
    }
}

void CheckGaps(const QVector<JournalEntry> &entries)
{
    QVector<SeriesItem> items;
    for (const JournalEntry &entry : entries)
        items << SeriesItemOf(entry);
    const QVector<SeriesMark> marks = FindGapsAndRepeats(items);
    FUZZ_CHECK(marks.size() == items.size());
    for (qsizetype i = 0; i < marks.size(); ++i) {
        const SeriesMark &mark = marks[i];
        if (mark.hasGap()) {
            // The missing numbers are missing indeed.
            FUZZ_CHECK(mark.gapFrom <= mark.gapTo);
            for (const SeriesItem &item : items) {
                bool whole = false;
                const qint64 number = item.number.trimmed().toLongLong(&whole);
                FUZZ_CHECK(!whole || item.series != items[i].series || number < mark.gapFrom ||
                           number > mark.gapTo);
            }
        }
        if (mark.repeated) {
            // Another document of the same series has the number.
            bool other = false;
            for (qsizetype j = 0; j < items.size(); ++j)
                other = other || (j != i && items[j].series == items[i].series &&
                                  items[j].number.trimmed().toLongLong() ==
                                      items[i].number.trimmed().toLongLong() &&
                                  items[j].document != items[i].document);
            FUZZ_CHECK(other);
        }
        FUZZ_CHECK(MarkText(mark).isEmpty() == (!mark.hasGap() && !mark.repeated));
    }
}

// Whatever the setting file holds, tables that carry the switch's notes are read as euro, a half
// switch is refused, and a refusal is never silent.
void CheckSetting(const QByteArray &bytes)
{
    const CurrencySetting setting = ParseCurrencySetting(bytes);
    FUZZ_CHECK((setting.state == CurrencySetting::Damaged) == !setting.problem.isEmpty());
    const QString file = QStringLiteral("Vornex.ini");
    for (const TablesCurrency::State state :
         {TablesCurrency::Euro, TablesCurrency::Mixed, TablesCurrency::RecordsLeva,
          TablesCurrency::RecordsEuro, TablesCurrency::Unknown}) {
        const HomeCurrencyDecision decision = DecideHomeCurrency({state, QString()}, setting, file);
        if (state == TablesCurrency::Euro)
            FUZZ_CHECK(decision.home == HomeCurrency::Euro && decision.refusal.isEmpty());
        if (state == TablesCurrency::Mixed)
            FUZZ_CHECK(!decision.refusal.isEmpty());
        if (state == TablesCurrency::RecordsEuro && setting.state != CurrencySetting::Euro)
            FUZZ_CHECK(!decision.refusal.isEmpty());
        if (setting.state == CurrencySetting::Damaged && state == TablesCurrency::Unknown)
            FUZZ_CHECK(!decision.refusal.isEmpty());
        if (decision.rewriteSetting)
            FUZZ_CHECK(!decision.notice.isEmpty());
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<QByteArray> parts = input.split('\x1e');
    CheckSetting(parts.value(0));
    const QString search = QString::fromUtf8(parts.value(1));

    QVector<JournalEntry> entries;
    for (qsizetype i = 2; i < parts.size() && entries.size() < 64; ++i) {
        const QList<QByteArray> fields = parts[i].split('\x1f');
        JournalEntry entry;
        for (qsizetype f = 0; f < fields.size() && f < qsizetype(std::size(kFields)); ++f)
            entry.*kFields[f] = QString::fromUtf8(fields[f]);
        entry.copy = fields.size() % 2 == 0;
        entries << entry;
    }
    CheckCsv(entries);
    CheckSearch(entries, search);
    CheckGaps(entries);
    return 0;
}
