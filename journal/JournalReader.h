#pragma once

#include "journal/JournalRecord.h"
#include "journal/JournalView.h"
#include "journal/NumberSeries.h"

#include <QIODevice>
#include <QMetaType>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

// The journal as its window reads it: the pages a filter leaves, newest first, a batch at a
// time; the shown columns of a few of them with their marks; their count and sums; the CSV of
// all of them, a row at a time. Search, filters and sums run in SQLite over the journal's keys
// (JournalKeys.h), so a million pages cost what the rows on screen cost.

// A row of the journal window: the columns it shows and the page's mark of gaps and repeats.
struct JournalListRow {
    qint64 id = 0;
    QString number, kind, documentDate, clientName, taxBase, vat, total, homeCurrency;
    bool copy = false;
    QString mark;
};

// What a filter leaves: the number of pages and their sums per currency.
struct JournalTotals {
    qint64 count = 0;
    QVector<CurrencySum> sums;
};
Q_DECLARE_METATYPE(JournalTotals)

// Called with the pages done and the pages in all; false stops the work.
using JournalProgress = std::function<bool(qint64 done, qint64 total)>;

class JournalReader
{
public:
    // Opens the journal for reading only; a journal that does not exist reads as empty. Throws
    // JournalError when it cannot be read, or when it has no keys (see PrepareJournalForReading).
    explicit JournalReader(const QString &journalFile);
    ~JournalReader();
    JournalReader(const JournalReader &) = delete;
    JournalReader &operator=(const JournalReader &) = delete;

    // Up to `limit` pages the filter leaves, newest first, all older than the page `below` (0:
    // from the newest).
    QVector<qint64> pageIds(const JournalFilter &filter, qint64 below, int limit) const;
    // The rows of the pages, in the order asked; a page that is gone is left out.
    QVector<JournalListRow> rows(const QVector<qint64> &ids) const;
    // The page with every column; throws JournalError when it is gone.
    JournalEntry entry(qint64 id) const;
    // The count and sums of what the filter leaves; none when `stopped` said so on the way.
    std::optional<JournalTotals> totals(const JournalFilter &filter,
                                        const std::function<bool()> &stopped = {}) const;
    // Gives every page the filter leaves, newest first, with every column but the lines and the
    // document, one at a time; returns false when `take` said to stop.
    bool forEachEntry(const JournalFilter &filter,
                      const std::function<bool(const JournalEntry &)> &take) const;
    // The lowest and highest number of a counter of an own company; zeros when it has none.
    JournalSpan span(const QString &counter, int firmRecNo) const;
    // Whether the journal holds the number in that series.
    bool holds(const QString &counter, int firmRecNo, qint64 number) const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Writes the CSV of the pages the filter leaves (JournalCsv) to `out`, a row at a time, telling
// `progress` at the start and every few hundred rows (of `total`, when known); returns false when
// `progress` stopped it. Throws JournalError when the journal cannot be read, and a UserError when
// `out` cannot be written.
bool WriteJournalCsv(const JournalReader &reader, const JournalFilter &filter, QIODevice &out,
                     qint64 total, const JournalProgress &progress);

// Makes the journal readable by JournalReader and gives the file to read: the journal itself,
// brought up to the keys where it lacks some (a journal of an earlier layout, or pages another
// program wrote), or, when it cannot be written, such a copy in `copyFolder`. The work is told
// to `progress`; stopped, it keeps what it did and the window lists the pages done so far.
// A journal on the server is read from a copy in `copyFolder` that takes the server's new pages
// at each call. Throws JournalError.
QString PrepareJournalForReading(const QString &journalFile, const QString &copyFolder,
                                 const JournalProgress &progress);
// The own-company table file with the stored counters to check the journal against: the tables
// folder's, or, when its tables are on the server, a copy of the server's counters written into
// `copyFolder`. Throws a UserError when the server's cannot be read.
QString CountersForCheck(const QString &tablesFolder, const QString &copyFolder);
// How many pages of the journal have no keys yet (0 for a journal that does not exist).
qint64 PagesWithoutKeys(const QString &journalFile);

// The stored counters of every own company in the own-company table file, read only.
QVector<StoredCounter> ReadStoredCounters(const QString &firmFile);
// The names of the archived pages in a folder ("V*Firm*.bmp"), unsorted.
QStringList ArchivedPageNames(const QString &folder);
// The journal against the counters of the own-company table file and the archived pages of the
// folder (CheckSeries), as the line under the journal's list says it.
QString CheckJournalSeries(const QString &journalFile, const QString &countersFile,
                           const QString &archiveFolder);
