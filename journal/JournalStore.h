#pragma once

#include "base/Errors.h"
#include "journal/JournalRecord.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

// The journal of issued documents: the file "Journal.db" beside the master-data tables, with a
// row per archived page in "Journal" and its lines in "JournalLine".

// The journal could not be opened, created, read or written. The print goes on without it and the
// user is told.
class JournalError : public UserError
{
public:
    using UserError::UserError;
};

// The file name of the journal in a tables folder.
QString JournalFileName(const QString &tablesFolder);

// What a print asks to issue: the number of the own company's counter, and what the print road
// knows of it.
struct IssueRequest {
    QString tablesFolder; // the folder of "Firm.db" and "Journal.db"
    int firmRecNo = 1;    // the own-company record, 1-based in table order
    QString counterField; // "Фактура №" or "Проформа №"
    qint64 number = 0;
    // The supplier as the journal names it, for finding the number in its series.
    QString supplierVat, supplierId;
    bool prepared = false;        // the number came from the counter at the last transfer
    bool issuedByThisRun = false; // this run has printed the number already (a copy after it)
    bool archiveHolds = false;    // the archive holds a page of this number already
};

// A print's hold on its number, from before anything is printed to its end: the own-company
// file and the journal are taken for writing together (no other run of the program can store a
// number or add a page meanwhile), the counter is read, and a number that must not be issued is
// refused before anything is printed: a prepared number that another run has used since, or a
// number typed by hand that the journal or the archive already holds. commit() stores the
// number into the counter when it is beyond it (so a counter never goes back or repeats) and
// the page into the journal, in one commit. This is the one writer of the counters. A journal
// that cannot be used is no refusal: the counter is then held and stored alone, and
// journalProblem() says why. Whatever was not committed is undone when the object goes.
class IssueTransaction
{
public:
    // Throws a UserError that says why the number must not be issued, or why the counter
    // cannot be held.
    explicit IssueTransaction(const IssueRequest &request);
    ~IssueTransaction();
    IssueTransaction(const IssueTransaction &) = delete;
    IssueTransaction &operator=(const IssueTransaction &) = delete;

    // The number is beyond the stored counter: the commit advances the counter.
    bool ahead() const;
    bool withJournal() const;
    QString journalProblem() const;
    // Stores the counter (when ahead) and the page (given one, with the journal), in one commit;
    // returns the page's journal id, 0 without a journal row.
    qint64 commit(const JournalEntry *entry);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Every page of the journal, newest first, without their lines. A missing journal is empty; one
// that cannot be read throws JournalError.
QVector<JournalEntry> ReadJournal(const QString &journalFile);
// The lines of one page, in their order.
QVector<JournalLine> ReadJournalLines(const QString &journalFile, qint64 id);
// The document of one page as JSON; empty for a page journalled before documents were kept.
QByteArray ReadJournalDocument(const QString &journalFile, qint64 id);
// The dates of the journal's invoices (not proformas) of that number from the supplier with that
// VAT number and ЕИК; none for a missing journal.
QVector<QDate> JournalInvoiceDates(const QString &journalFile, const QString &number,
                                   const QString &supplierVat, const QString &supplierId);

// The pages of the documents of a tax period ("yyyymm", the month of the document's date; an
// undated one in the month it was printed), every kind, originals and copies, oldest first. A
// journal of an earlier layout is brought up first, so the run must hold the program folder.
QVector<JournalEntry> ReadJournalPeriod(const QString &journalFile, const QString &period);
// The pages of a number ("0000000042") in a series ("Фактура №"), oldest first.
QVector<JournalEntry> ReadJournalNumber(const QString &journalFile, const QString &series,
                                        const QString &number);
// The newest page of each own company the journal names, newest first.
QVector<JournalEntry> ReadJournalCompanies(const QString &journalFile);
