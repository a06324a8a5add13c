#pragma once

#include "journal/JournalRecord.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVector>

// What the journal window shows: the rows a search, a period and a kind leave, and their sums.

struct JournalFilter {
    QString search; // a part of the number or of the client's name, letter case ignored
    QDate from, to; // the period of the document date; a null date leaves that side open
    QString kind;   // one of the four kinds; empty for all
};

// The document's date: the date on the page, or the day it was printed when the page's date
// cannot be read.
QDate DocumentDateOf(const JournalEntry &entry);
// Whether a row passes the filter.
bool MatchesFilter(const JournalEntry &entry, const JournalFilter &filter);

// The sums of one currency: tax base, VAT and amount payable, in ten-thousandths. A foreign
// currency has only its amount payable.
struct CurrencySum {
    QString code;
    bool home = true;
    qint64 taxBase = 0, vat = 0, total = 0;
};
// The sums of the rows per currency, home currencies first, each document once however many of
// its pages (original, copies, prints again) are among the rows. Amounts that are not numbers
// add nothing.
QVector<CurrencySum> SumsPerCurrency(const QVector<JournalEntry> &entries);
// The sums as one line:
// "BGL: основа 332.00, ДДС 66.40, общо 398.40 | във втора валута: общо EUR 203.70".
QString SumsText(const QVector<CurrencySum> &sums);

// The rows for a spreadsheet: UTF-8 with a byte order mark, ";" between fields, CR LF after
// each row, a header row first; a field holding ";", a quote or a line break is quoted. No cell
// can start a formula: one that starts (after blanks) with "=", "+", "-", "@", a tab or a line
// break gets a leading apostrophe, except a plain number such as a credit note's "-12,50".
QByteArray JournalCsv(const QVector<JournalEntry> &entries);
// The start of that file: the byte order mark and the header row.
QByteArray JournalCsvHeader();
// One row of that file.
QByteArray JournalCsvRow(const JournalEntry &entry);
