#include "masterdata/FoldedKeys.h"

#include <QtEndian>

#include <iterator>

#include <cstring>
#include <limits>

namespace FoldedKeys
{
char16_t Fold(char16_t c)
{
    // Latin and Cyrillic without a table look-up; the rest as Qt folds it.
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? char16_t(c + 0x20) : c;
    if (c >= 0x410 && c <= 0x42F)
        return char16_t(c + 0x20);
    if (c >= 0x430 && c <= 0x44F)
        return c;
    return char16_t(QChar::toCaseFolded(char32_t(c)));
}

namespace
{
// Folds one character (one code unit, or a surrogate pair) at text[i] into out; returns how many
// code units of the text it took.
int FoldOne(const char16_t *text, qsizetype i, qsizetype length, char16_t *out, int &written)
{
    const char16_t c = text[i];
    if (QChar::isHighSurrogate(c) && i + 1 < length && QChar::isLowSurrogate(text[i + 1])) {
        const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(c, text[i + 1]));
        if (QChar::requiresSurrogates(folded)) {
            out[written++] = qToBigEndian(char16_t(QChar::highSurrogate(folded)));
            out[written++] = qToBigEndian(char16_t(QChar::lowSurrogate(folded)));
        } else {
            out[written++] = qToBigEndian(char16_t(folded));
        }
        return 2;
    }
    out[written++] = qToBigEndian(Fold(c));
    return 1;
}
} // namespace

std::string Folded(const QString &text)
{
    const auto *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype length = text.size();
    std::vector<char16_t> out(size_t(length) + 2);
    int written = 0;
    for (qsizetype i = 0; i < length;)
        i += FoldOne(units, i, length, out.data(), written);
    return std::string(reinterpret_cast<const char *>(out.data()), size_t(written) * 2);
}

bool StartsWith(Key text, Key prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

FoldedPrefix FoldPrefix(const char16_t *text, qsizetype length, char16_t *out)
{
    int units = 0;
    qsizetype i = 0;
    while (i < length && units <= kKeyUnits)
        i += FoldOne(text, i, length, out, units);
    return {units, units > kKeyUnits || i < length};
}
} // namespace FoldedKeys

ColumnKeys::ColumnKeys(int column, bool numeric) : m_column(column), m_numeric(numeric) {}

ColumnKeys::Key ColumnKeys::key(quint32 position) const
{
    const int units = std::min<int>(m_length[position], FoldedKeys::kKeyUnits);
    if (units <= 0)
        return Key();
    const quint32 at = m_start[position];
    return Key(reinterpret_cast<const char *>(m_blocks[at / kBlockUnits].get() + at % kBlockUnits),
               size_t(units) * 2);
}

double ColumnKeys::number(quint32 position) const
{
    return m_numeric ? m_numbers[position] : std::numeric_limits<double>::quiet_NaN();
}

bool ColumnKeys::before(quint32 a, quint32 b) const
{
    if (isNull(a) != isNull(b))
        return isNull(a);
    const int order = key(a).compare(key(b));
    return order != 0 ? order < 0 : a < b;
}

size_t ColumnKeys::lowerBound(Key text) const
{
    return size_t(std::partition_point(m_sorted.begin() + long(m_nulls), m_sorted.end(),
                                       [&](quint32 p) { return key(p) < text; }) -
                  m_sorted.begin());
}

std::pair<size_t, size_t> ColumnKeys::prefixRange(Key prefix) const
{
    const size_t from = prefix.empty() ? m_nulls : lowerBound(prefix);
    const auto end =
        std::partition_point(m_sorted.begin() + long(from), m_sorted.end(),
                             [&](quint32 p) { return FoldedKeys::StartsWith(key(p), prefix); });
    return {from, size_t(end - m_sorted.begin())};
}

std::pair<size_t, size_t> ColumnKeys::equalRange(Key text) const
{
    // Positions without a value have an empty key too and lead `sorted`.
    const size_t from = text.empty() ? 0 : lowerBound(text);
    const auto end = std::partition_point(m_sorted.begin() + long(from), m_sorted.end(),
                                          [&](quint32 p) { return key(p) == text; });
    return {from, size_t(end - m_sorted.begin())};
}

void ColumnKeys::add()
{
    m_start.push_back(0);
    m_length.push_back(-1);
    if (m_numeric)
        m_numbers.push_back(std::numeric_limits<double>::quiet_NaN());
}

void ColumnKeys::setText(quint32 position, const char16_t *text, qsizetype size)
{
    if (m_used + FoldedKeys::kKeyUnits + 2 > kBlockUnits) {
        m_blocks.push_back(std::make_unique<char16_t[]>(kBlockUnits));
        m_used = 0;
    }
    char16_t *out = m_blocks.back().get() + m_used;
    const FoldedKeys::FoldedPrefix folded = FoldedKeys::FoldPrefix(text, size, out);
    m_start[position] = quint32((m_blocks.size() - 1) * kBlockUnits + m_used);
    m_length[position] = folded.cut ? kCut : qint8(folded.units);
    m_used += quint32(std::min(folded.units, FoldedKeys::kKeyUnits));
}

void ColumnKeys::setKey(quint32 position, const QVariant &stored, const QString &editText)
{
    if (stored.isNull())
        m_length[position] = -1;
    else
        setText(position, reinterpret_cast<const char16_t *>(editText.utf16()), editText.size());
    if (m_numeric) {
        bool ok = false;
        const double number = stored.isNull() || stored.typeId() == QMetaType::QByteArray
                                  ? 0.0
                                  : stored.toDouble(&ok);
        m_numbers[position] = ok ? number : std::numeric_limits<double>::quiet_NaN();
    }
}

void ColumnKeys::setValue(quint32 position, const QVariant &stored, const QString &editText)
{
    setKey(position, stored, editText);
}

namespace
{
// A key while the keys are sorted: where its bytes are, how many, and whose it is.
struct SortKey {
    const uchar *bytes;
    quint32 size;
    quint32 position;
};

// The byte of the key at `depth` as a bucket: 0 when the key has ended (it sorts first).
int Digit(const SortKey &key, quint32 depth)
{
    return depth < key.size ? 1 + key.bytes[depth] : 0;
}

// True when a's bytes from `depth` on sort before b's.
bool Below(const SortKey &a, const SortKey &b, quint32 depth)
{
    const quint32 common = std::min(a.size, b.size);
    const int order =
        depth < common ? std::memcmp(a.bytes + depth, b.bytes + depth, common - depth) : 0;
    return order != 0 ? order < 0 : a.size < b.size;
}

// Sorts the keys by their bytes, keeping equal keys in the order given, one byte at a time from
// the first (a radix sort from the most significant digit). Keys that share long beginnings, as
// names and addresses do, are sorted in a few passes over the keys rather than by comparisons
// that each walk those beginnings again.
void RadixSort(std::vector<SortKey> &keys)
{
    struct Range {
        size_t from;
        size_t to;
        quint32 depth; // the keys of the range are equal in their bytes before it
    };
    std::vector<SortKey> spare(keys.size());
    std::vector<Range> todo{{0, keys.size(), 0}};
    while (!todo.empty()) {
        const Range range = todo.back();
        todo.pop_back();
        if (range.to - range.from < 32) {
            // A few keys: an insertion sort, which keeps equal keys in order too.
            for (size_t i = range.from + 1; i < range.to; ++i) {
                const SortKey key = keys[i];
                size_t j = i;
                for (; j > range.from && Below(key, keys[j - 1], range.depth); --j)
                    keys[j] = keys[j - 1];
                keys[j] = key;
            }
            continue;
        }
        size_t count[257] = {};
        for (size_t i = range.from; i < range.to; ++i)
            ++count[Digit(keys[i], range.depth)];
        const int first = Digit(keys[range.from], range.depth);
        if (count[first] == range.to - range.from) {
            // One byte for all (the high byte of a Cyrillic letter, or a beginning all share):
            // nothing to move; the bytes all share from here are skipped at once.
            if (first == 0)
                continue;
            const SortKey &model = keys[range.from];
            quint32 shared = model.size;
            for (size_t i = range.from + 1; i < range.to && shared > range.depth + 1; ++i) {
                const SortKey &key = keys[i];
                quint32 d = range.depth + 1;
                const quint32 end = std::min(shared, key.size);
                while (d < end && key.bytes[d] == model.bytes[d])
                    ++d;
                shared = d;
            }
            todo.push_back({range.from, range.to, std::max(shared, range.depth + 1)});
            continue;
        }
        size_t start[257];
        size_t at = range.from;
        for (int digit = 0; digit < 257; ++digit) {
            start[digit] = at;
            at += count[digit];
        }
        size_t next[257];
        std::copy(std::begin(start), std::end(start), std::begin(next));
        for (size_t i = range.from; i < range.to; ++i)
            spare[next[Digit(keys[i], range.depth)]++] = keys[i];
        std::copy(spare.begin() + long(range.from), spare.begin() + long(range.to),
                  keys.begin() + long(range.from));
        // Keys that ended here are equal, already in order.
        for (int digit = 1; digit < 257; ++digit)
            if (count[digit] > 1)
                todo.push_back({start[digit], start[digit] + count[digit], range.depth + 1});
    }
}
} // namespace

void ColumnKeys::sortAll()
{
    std::vector<SortKey> keys;
    keys.reserve(m_length.size());
    m_nulls = 0;
    m_sorted.clear();
    m_sorted.reserve(m_length.size());
    for (quint32 p = 0; p < size(); ++p) {
        if (isNull(p)) {
            m_sorted.push_back(p);
            ++m_nulls;
            continue;
        }
        const Key k = key(p);
        keys.push_back({reinterpret_cast<const uchar *>(k.data()), quint32(k.size()), p});
    }
    // Taken in position order and kept in it where keys are equal, as `sorted` has it.
    RadixSort(keys);
    for (const SortKey &key : keys)
        m_sorted.push_back(key.position);
    m_changes = 0;
}

void ColumnKeys::removeSorted(quint32 position)
{
    const auto at = std::lower_bound(m_sorted.begin(), m_sorted.end(), position,
                                     [this](quint32 a, quint32 b) { return before(a, b); });
    if (at != m_sorted.end() && *at == position) {
        if (isNull(position))
            --m_nulls;
        m_sorted.erase(at);
    }
}

void ColumnKeys::insertSorted(quint32 position)
{
    const auto at = std::lower_bound(m_sorted.begin(), m_sorted.end(), position,
                                     [this](quint32 a, quint32 b) { return before(a, b); });
    m_sorted.insert(at, position);
    if (isNull(position))
        ++m_nulls;
}

void ColumnKeys::change(quint32 position, const QVariant &stored, const QString &editText)
{
    ++m_changes;
    removeSorted(position);
    setKey(position, stored, editText);
    insertSorted(position);
}

void ColumnKeys::append(const QVariant &stored, const QString &editText)
{
    ++m_changes;
    const quint32 position = size();
    add();
    setKey(position, stored, editText);
    insertSorted(position);
}

void ColumnKeys::erase(quint32 position)
{
    ++m_changes;
    removeSorted(position);
    m_start.erase(m_start.begin() + position);
    m_length.erase(m_length.begin() + position);
    if (m_numeric)
        m_numbers.erase(m_numbers.begin() + position);
    for (quint32 &p : m_sorted)
        if (p > position)
            --p;
}
