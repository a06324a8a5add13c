#pragma once

#include "masterdata/FoldedKeys.h"
#include "masterdata/TableStorage.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

// The folded keys of one column as they were read at one moment, with the record keys they
// belong to (in table order).
struct ReadKeys {
    std::vector<qint64> records;
    std::unique_ptr<ColumnKeys> keys;
    quint64 epoch = 0; // what the table was when they were asked for
};

// Reads every record's value in the column and folds and sorts the keys. A chunk above 0 reads
// that many records at a time, so that no read holds the file for long (the reads then belong
// to different moments: the caller must know that nobody wrote in between); below 0 reads all
// at once. Returns false when stopped.
bool ReadColumnKeys(TableStorage &storage, int column, FieldKind kind, int chunk,
                    const std::atomic<bool> *stop, ReadKeys &out);

// Reads column keys on a thread of its own through a reader storage of its own, so that a large
// table's keys are ready before the first keystroke needs them. A finished set is handed over
// whole, under a lock: nobody sees keys being built.
//
// Each request carries the table's epoch, which the owner moves on at every change it knows of;
// a set read for an older epoch may not match the table any more and is never handed out.
class BackgroundKeys
{
public:
    // The reader is opened on the thread, at the first request.
    BackgroundKeys(std::unique_ptr<TableStorage> reader, std::vector<FieldKind> kinds);
    // Stops the reading under way and waits for the thread.
    ~BackgroundKeys();
    BackgroundKeys(const BackgroundKeys &) = delete;
    BackgroundKeys &operator=(const BackgroundKeys &) = delete;

    // Asks for the keys of the column as the table is in `epoch`.
    void request(int column, quint64 epoch);
    // Forgets the requests and sets of epochs before `epoch`, stopping a reading of one.
    void forgetBefore(quint64 epoch);
    // Forgets the requests of other columns than these, stopping a reading of one.
    void keepOnly(const std::vector<int> &columns);
    // The finished set of the column for that epoch, taken out; nullptr when there is none. With
    // wait, a set being read now is waited for; one not started is dropped from the queue (the
    // caller reads it itself, sooner than the queue would).
    std::unique_ptr<ReadKeys> take(int column, quint64 epoch, bool wait);

private:
    struct Job {
        int column;
        quint64 epoch;
    };
    void run();

    std::unique_ptr<TableStorage> m_reader;
    std::vector<FieldKind> m_kinds;
    bool m_readerOpen = false;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_queue;
    bool m_busy = false; // m_current is being read
    Job m_current{-1, 0};
    std::map<int, std::unique_ptr<ReadKeys>> m_finished;
    std::atomic<bool> m_stopCurrent{false};
    bool m_quit = false;
    std::thread m_thread;
};
