#pragma once

#include "journal/JournalRecord.h"

#include <QString>
#include <QVector>

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

// The mark as the journal window shows it: "липсват 0000000042–0000000043", "повторен номер",
// both joined with "; ", or an empty text.
QString MarkText(const SeriesMark &mark);
