#pragma once

#include "base/Errors.h"
#include "journal/JournalRecord.h"

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

// The counter a print stores: the own-company record the browser shows (its place in table
// order, 1-based), the counter field of the document's kind and the printed number.
struct CounterStore {
    QString firmFile;
    int recNo = 1;
    QString field;
    int number = 0;
};

// The file name of the journal in a tables folder.
QString JournalFileName(const QString &tablesFolder);

// The counter and the journal taken for writing together: from the opening until the commit or
// the rollback no other run of the program can store a number or add a page. Whatever was
// written without a commit is undone, also when the object is destroyed.
class CounterAndJournal
{
public:
    // Opens the journal (creating it when missing) with the own-company file attached, and takes
    // both. A journal that cannot be used throws JournalError; an own-company file that is
    // missing or held by another run throws the UserError that says so.
    CounterAndJournal(const QString &journalFile, const QString &firmFile);
    ~CounterAndJournal();
    CounterAndJournal(const CounterAndJournal &) = delete;
    CounterAndJournal &operator=(const CounterAndJournal &) = delete;

    // The counter's text in the own-company record at recNo (1-based, in table order).
    QString counter(int recNo, const QString &field);
    // Stores the number into the counter when it is greater than the stored one; returns whether
    // it did.
    bool advanceCounter(int recNo, const QString &field, int number);
    // Adds a page to the journal; returns its id. Throws JournalError.
    qint64 addPage(const JournalEntry &entry);
    void commit();
    // Undoes what was written; nothing happens after a commit.
    void rollback();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// In one transaction over the journal and the own-company file: stores the number into the
// counter when it is greater than the stored one, and adds the page to the journal. Either both
// are stored or neither. A journal that cannot be opened or written throws JournalError; a counter
// that cannot be read or stored throws the UserError that says why. betweenSteps runs after the
// counter is written and before the journal rows are; an exception from it undoes the counter.
// Returns the id the page got.
qint64 StoreCounterAndJournal(const QString &journalFile, const CounterStore &counter,
                              const JournalEntry &entry,
                              const std::function<void()> &betweenSteps = {});

// Adds a page to the journal alone (creating the file when missing); returns its id.
qint64 AddToJournal(const QString &journalFile, const JournalEntry &entry);

// Every page of the journal, newest first, without their lines. A missing journal is empty; one
// that cannot be read throws JournalError.
QVector<JournalEntry> ReadJournal(const QString &journalFile);
// The lines of one page, in their order.
QVector<JournalLine> ReadJournalLines(const QString &journalFile, qint64 id);
