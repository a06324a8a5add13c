#include "masterdata/BackgroundKeys.h"

#include <algorithm>
#include <new>

namespace
{
// Records read at a time in the background: a read holds the file for a millisecond or two, so
// that a save of ours or of another program never waits long for it.
constexpr int kChunk = 4096;
} // namespace

bool ReadColumnKeys(TableStorage &storage, int column, FieldKind kind, int chunk,
                    const std::atomic<bool> *stop, ReadKeys &out)
{
    const bool numeric = IsNumeric(kind);
    auto keys = std::make_unique<ColumnKeys>(column, numeric);
    std::vector<qint64> records;
    const ColumnSink sink = [&](qint64 key, const ScannedValue &value) {
        const quint32 position = quint32(records.size());
        records.push_back(key);
        keys->add();
        switch (value.type) {
        case ScannedValue::Type::Null:
            break;
        case ScannedValue::Type::Text:
            if (!numeric) {
                keys->setText(position, value.text, value.size);
                break;
            }
            {
                const QVariant stored(
                    QString(reinterpret_cast<const QChar *>(value.text), value.size));
                keys->setValue(position, stored, EditText(kind, stored));
            }
            break;
        case ScannedValue::Type::Other:
            keys->setValue(position, value.other, EditText(kind, value.other));
            break;
        }
    };
    if (chunk < 0) {
        storage.scanColumn(column, kBeforeFirstKey, -1, sink);
    } else {
        for (qint64 after = kBeforeFirstKey;;) {
            if (stop && stop->load())
                return false;
            if (storage.scanColumn(column, after, chunk, sink) < chunk)
                break;
            after = records.back();
        }
    }
    if (stop && stop->load())
        return false;
    keys->sortAll();
    out.records = std::move(records);
    out.keys = std::move(keys);
    return true;
}

BackgroundKeys::BackgroundKeys(std::unique_ptr<TableStorage> reader, std::vector<FieldKind> kinds)
    : m_reader(std::move(reader)), m_kinds(std::move(kinds))
{
}

BackgroundKeys::~BackgroundKeys()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
        m_stopCurrent = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void BackgroundKeys::request(int column, quint64 epoch)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        const auto finished = m_finished.find(column);
        if (finished != m_finished.end() && finished->second->epoch == epoch)
            return;
        if (m_busy && m_current.column == column && m_current.epoch == epoch)
            return;
        for (const Job &job : m_queue)
            if (job.column == column && job.epoch == epoch)
                return;
        m_queue.push_back({column, epoch});
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_changed.notify_all();
}

void BackgroundKeys::forgetBefore(quint64 epoch)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_queue.begin(); it != m_queue.end();)
        it = it->epoch < epoch ? m_queue.erase(it) : it + 1;
    for (auto it = m_finished.begin(); it != m_finished.end();)
        it = it->second->epoch < epoch ? m_finished.erase(it) : std::next(it);
    if (m_busy && m_current.epoch < epoch)
        m_stopCurrent = true;
}

void BackgroundKeys::keepOnly(const std::vector<int> &columns)
{
    const auto wanted = [&](int column) {
        return std::find(columns.begin(), columns.end(), column) != columns.end();
    };
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_queue.begin(); it != m_queue.end();)
        it = wanted(it->column) ? it + 1 : m_queue.erase(it);
    if (m_busy && !wanted(m_current.column))
        m_stopCurrent = true;
}

std::unique_ptr<ReadKeys> BackgroundKeys::take(int column, quint64 epoch, bool wait)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        const auto finished = m_finished.find(column);
        if (finished != m_finished.end() && finished->second->epoch == epoch) {
            std::unique_ptr<ReadKeys> keys = std::move(finished->second);
            m_finished.erase(finished);
            return keys;
        }
        if (!wait)
            return nullptr;
        if (m_busy && m_current.column == column && m_current.epoch == epoch && !m_stopCurrent) {
            m_changed.wait(lock);
            continue;
        }
        for (auto it = m_queue.begin(); it != m_queue.end(); ++it) {
            if (it->column == column && it->epoch == epoch) {
                m_queue.erase(it);
                break;
            }
        }
        return nullptr;
    }
}

void BackgroundKeys::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_quit || !m_queue.empty(); });
        if (m_quit)
            return;
        m_current = m_queue.front();
        m_queue.pop_front();
        m_busy = true;
        m_stopCurrent = false;
        lock.unlock();

        auto keys = std::make_unique<ReadKeys>();
        keys->epoch = m_current.epoch;
        bool read = false;
        try {
            if (!m_readerOpen) {
                m_reader->open();
                m_readerOpen = true;
            }
            read = ReadColumnKeys(*m_reader, m_current.column, m_kinds[size_t(m_current.column)],
                                  kChunk, &m_stopCurrent, *keys);
        } catch (const UserError &) {
            // A file that cannot be read now leaves the keys to be read where they are needed,
            // and there the user hears why.
            m_reader->close();
            m_readerOpen = false;
        } catch (const std::bad_alloc &) {
            // No room for them now: the same.
        }

        lock.lock();
        m_busy = false;
        if (read && !m_stopCurrent)
            m_finished[m_current.column] = std::move(keys);
        m_changed.notify_all();
    }
}
