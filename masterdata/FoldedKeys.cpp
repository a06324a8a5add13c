#include "masterdata/FoldedKeys.h"

#include <QtEndian>

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

void ColumnKeys::sortAll()
{
    // The first eight code units as two numbers settle most comparisons without reaching into
    // the keys themselves.
    struct Entry {
        quint64 high;
        quint64 low;
        quint32 position;
    };
    std::vector<Entry> entries;
    entries.reserve(m_length.size());
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
        uchar bytes[16] = {};
        if (!k.empty())
            std::memcpy(bytes, k.data(), std::min(k.size(), sizeof bytes));
        entries.push_back({qFromBigEndian<quint64>(bytes), qFromBigEndian<quint64>(bytes + 8), p});
    }
    std::sort(entries.begin(), entries.end(), [this](const Entry &a, const Entry &b) {
        if (a.high != b.high)
            return a.high < b.high;
        if (a.low != b.low)
            return a.low < b.low;
        return before(a.position, b.position);
    });
    for (const Entry &entry : entries)
        m_sorted.push_back(entry.position);
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
