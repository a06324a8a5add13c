#pragma once

#include "journal/JournalRecord.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

// Gaps and repeats in the number series of the journal. A series is one counter of one own
// company; its documents are numbered without gaps, and no number belongs to two documents.

struct SeriesItem {
    QString series;   // the series the number belongs to
    QString number;   // as printed; a number that is not a whole number takes part in no series
    QString document; // what tells two documents apart; pages of one document share it
};

struct SeriesMark {
    bool repeated = false; // the number also belongs to another document of the series
    qint64 gapFrom = 0;    // the numbers missing right below this one, from..to; 0 when none
    qint64 gapTo = 0;
    bool hasGap() const { return gapFrom > 0; }
};

// The marks of each item, in the items' order. A gap is marked on every item of the number right
// above it; numbers below the first one of a series are not missing.
QVector<SeriesMark> FindGapsAndRepeats(const QVector<SeriesItem> &items);

// The series item of a journal page: the counter and the own company; the document by its
// client, date and amount payable, so that an original and its copies are one document.
SeriesItem SeriesItemOf(const JournalEntry &entry);

// A page's number as the series counts it: a whole number from 1 up; 0 for any other text.
qint64 SeriesNumber(const QString &number);

// The mark as the journal window shows it: "липсват 0000000042–0000000043", "повторен номер",
// both joined with "; ", or an empty text.
QString MarkText(const SeriesMark &mark);

// ---- The journal against the counters and the archive ----------------------------------------

// An archived page as its file name tells it: "VInvFirm<rec>_<number>_[copy].bmp" or
// "VProformFirm<rec>_...".
struct ArchivedPageName {
    bool valid = false;
    QString counter; // "Фактура №" or "Проформа №"
    int firmRecNo = 0;
    qint64 number = 0; // 0 when the number is no whole number
    bool copy = false;
};
// The page a file name (with or without its folder) names; not valid for any other name.
ArchivedPageName ArchivedPageOf(const QString &fileName);

// One counter of one own company: the stored value of "Фактура №" or "Проформа №".
struct StoredCounter {
    QString counter;
    int firmRecNo = 0;
    qint64 value = 0;
};

// What the journal holds of one counter of one own company: its lowest and highest number.
struct JournalSpan {
    QString counter;
    int firmRecNo = 0;
    qint64 first = 0, last = 0;
};

// What the journal lacks in one series.
struct SeriesFinding {
    QString counter;
    int firmRecNo = 0;
    qint64 missingFrom = 0, missingTo = 0; // issued by the counter beyond the journal's last
    qint64 counterValue = 0;
    QStringList archivedOnly; // archived pages whose number the journal lacks, by name
};

// Whether the journal holds a number of a counter of an own company.
using JournalHolds = std::function<bool(const QString &counter, int firmRecNo, qint64 number)>;

// The numbers the journal lacks although the counters issued them (up to the counter, beyond the
// journal's last number of the series) and the archived pages whose number it lacks. A series
// the journal holds no number of, and numbers below its first, are before the journal began.
// One finding per series that lacks something, in the order of the counters, then the archive.
QVector<SeriesFinding> CheckSeries(const QVector<JournalSpan> &spans,
                                   const QVector<StoredCounter> &counters,
                                   const QStringList &archiveNames, const JournalHolds &holds);
// The findings as one line under the journal's list: "липсва 0000000044 (броячът е на
// 0000000044)", the series named when there are several; empty when nothing is lacking.
QString FindingsText(const QVector<SeriesFinding> &findings);
