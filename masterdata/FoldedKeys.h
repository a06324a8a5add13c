#pragma once

#include <QString>
#include <QVariant>
#include <QtGlobal>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Search keys with letter case removed (Cyrillic included), compared as bytes: the folded text in
// UTF-16 code units stored big-endian, so that a plain byte comparison orders keys as QString
// orders their folded texts.
namespace FoldedKeys
{
// Code units of a folded key kept per record: they decide almost every search, and a million long
// descriptions would not fit in memory otherwise.
constexpr int kKeyUnits = 24;

using Key = std::string_view;

// One UTF-16 code unit with its letter case removed.
char16_t Fold(char16_t c);
// The whole text folded. Two texts are equal ignoring case exactly when their folded forms are
// equal, as QString's case-insensitive comparison has it, and they sort as their folded forms.
std::string Folded(const QString &text);
// True when `text` begins with `prefix`.
bool StartsWith(Key text, Key prefix);

struct FoldedPrefix {
    int units;
    bool cut; // the text goes on past what was kept
};
// Folds the beginning of a text into `out` (room for kKeyUnits + 2 code units): as much as a key
// keeps, and whether the text goes on past it.
FoldedPrefix FoldPrefix(const char16_t *text, qsizetype length, char16_t *out);
} // namespace FoldedKeys

// The folded keys of one column for every record of the table, by position (the record's place in
// table order), and the positions sorted by key for prefix and lower-bound searches. A key keeps
// the first kKeyUnits code units of its value and is marked when cut short; where the end matters,
// the caller compares the whole value.
class ColumnKeys
{
public:
    using Key = FoldedKeys::Key;

    ColumnKeys(int column, bool numeric);
    ColumnKeys(const ColumnKeys &) = delete;
    ColumnKeys &operator=(const ColumnKeys &) = delete;

    int column() const { return m_column; }
    // Number columns also keep each value as a number, so that filters compare numbers.
    bool numeric() const { return m_numeric; }
    quint32 size() const { return quint32(m_length.size()); }

    // ---- filling, in position order, then sorting once ----
    // A position more at the end, with no value.
    void add();
    // The position's value is the text (its folded beginning is kept).
    void setText(quint32 position, const char16_t *text, qsizetype size);
    // The position's value as stored (a number, a text or none) with its edit text.
    void setValue(quint32 position, const QVariant &stored, const QString &editText);
    // Sorts every position by its key; positions without a value come first.
    void sortAll();

    // ---- keeping a sorted set up to date ----
    // The position's value changed: its key is replaced and moved to its new place.
    void change(quint32 position, const QVariant &stored, const QString &editText);
    // A record more at the end of the table.
    void append(const QVariant &stored, const QString &editText);
    // The record at the position is gone; the later positions move down by one.
    void erase(quint32 position);
    // Counts changes since the keys were read; a long run of them is cheaper to read anew.
    int changes() const { return m_changes; }

    // ---- reading ----
    bool isNull(quint32 position) const { return m_length[position] < 0; }
    // True when the key holds only the beginning of the value.
    bool isCut(quint32 position) const { return m_length[position] == kCut; }
    Key key(quint32 position) const;
    // The value as a number; NaN for none or for a text that is no number.
    double number(quint32 position) const;
    // Positions without a value first, then by key and, for equal keys, by position.
    const std::vector<quint32> &sorted() const { return m_sorted; }
    // How many positions without a value lead `sorted`.
    size_t nulls() const { return m_nulls; }
    // Index in `sorted` of the first position with a value whose key is not below `text`.
    size_t lowerBound(Key text) const;
    // The stretch [first, last) of `sorted` whose keys begin with the prefix; an empty prefix
    // covers every position with a value.
    std::pair<size_t, size_t> prefixRange(Key prefix) const;
    // The stretch [first, last) of `sorted` whose keys equal the text; for an empty text, the
    // positions without a value too.
    std::pair<size_t, size_t> equalRange(Key text) const;

private:
    static constexpr qint8 kCut = FoldedKeys::kKeyUnits + 1;
    static constexpr quint32 kBlockUnits = 1u << 19;

    // True when a sorts before b in `sorted`.
    bool before(quint32 a, quint32 b) const;
    void setKey(quint32 position, const QVariant &stored, const QString &editText);
    void removeSorted(quint32 position);
    void insertSorted(quint32 position);

    int m_column;
    bool m_numeric;
    int m_changes = 0;
    // The keys back to back, in blocks that never move once written.
    std::vector<std::unique_ptr<char16_t[]>> m_blocks;
    quint32 m_used = kBlockUnits;  // units written into the last block
    std::vector<quint32> m_start;  // per position: where its key starts, over all blocks
    std::vector<qint8> m_length;   // per position: units kept; -1 for no value; kCut when cut
    std::vector<double> m_numbers; // number columns: the value per position, NaN for none
    std::vector<quint32> m_sorted; // see sorted()
    size_t m_nulls = 0;
};
