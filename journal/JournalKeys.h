#pragma once

#include "journal/JournalRecord.h"

#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <optional>

// What the journal window finds, narrows, sums and numbers the pages by, kept beside the pages:
// "JournalKeys" holds one narrow row per page, "JournalText" the trigram index of its number and
// client for finding a part of three letters or more, "JournalNames" the distinct clients with
// their count of pages for a part of one or two, "JournalDays" the sums of each day, kind and pair
// of currencies for the sums of a period or a kind. Whoever adds, changes or removes a page, the
// journal's triggers mark it in "JournalStale", and RefreshKeys brings its keys up to it; so a list
// of a million pages is searched, narrowed and summed without reading the pages themselves.

struct PageKeys {
    std::optional<int> day; // the document's date as yyyymmdd (DocumentDateOf)
    QString kind;
    QString folded; // the number and the client, letter case folded, a line break between
    // What a search of one or two letters looks in: the folded client, and the folded number too
    // when it holds more than digits. Pages share it, so its distinct texts are few.
    QString name;
    qint64 series = 0;   // the series of the gap marks (SeriesItemOf), as a stable hash
    QString counter;     // the counter that numbered the page
    int firmRecNo = 0;   // the own company, from the archived page's name; 0 when unknown
    qint64 number = 0;   // the number when it is a whole number from 1 up; 0 otherwise
    qint64 document = 0; // what tells two documents of one number apart, as a stable hash
    QString homeCode, foreignCode;
    // The amounts in ten-thousandths; none for a text that is no number.
    std::optional<qint64> taxBase, vat, total, foreignTotal;
};

// The keys of a page.
PageKeys KeysOf(const JournalEntry &entry);
// A search text as the keys hold the number and the client: letter case folded, Cyrillic too.
QString FoldedForSearch(const QString &text);
// Whether the text holds nothing but the digits 0 to 9, as the numbers the print gives do.
bool DigitsOnly(const QString &text);

// The counter as the keys hold it: 1 for "Фактура №", 2 for "Проформа №", 0 for any other.
int CounterCode(const QString &counter);

// Creates the keys' tables, their indexes and the triggers that mark changed pages, and marks
// every page there is (a step of the journal's layout).
void CreateKeyTables(const QSqlDatabase &db, const QString &what);
// How many pages wait for their keys.
qint64 StaleKeyCount(const QSqlDatabase &db, const QString &what);
// Brings the keys of up to `limit` waiting pages up to them, newest first, in the transaction in
// force; returns how many it did. A page that is gone loses its keys; the pages that share a
// number with a changed one are counted again (an original before its copies).
qint64 RefreshKeys(const QSqlDatabase &db, const QString &what, qint64 limit);
