#include "masterdata/Table.h"

#include "base/Decimal.h"
#include "base/Errors.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QtEndian>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>

// How the engine stays quick on large tables:
// - The records are known by their rowids, read in file order a page at a time; the grid is
//   handed pages as it scrolls, so opening a table reads only its first page.
// - The values of a record are read when the grid or a field asks for them, by rowid, and kept
//   in a small cache; a save re-reads only the record saved.
// - Locate and the filters work on the folded keys (letter case removed, Cyrillic included) of
//   one field, read in one pass over the file when that field is first searched and kept sorted
//   in memory: a prefix or a lower bound is a binary search, a short filter result is taken
//   whole, and a long one is found a page at a time in file order. A key keeps the first 24
//   letters of its value; a longer search text is checked against the whole value. The keys
//   follow our own saves, inserts and deletes; a change by another program is seen through the
//   file's data version, and then everything is read anew.
// - Every write ends in its own commit or in the caller's transaction, on SQLite's rollback
//   journal: DB/ stays a complete set of files that can be copied or browsed read-only.
// - The file is never given an index or a function of ours: any SQLite program can open and
//   write it as before.

namespace
{
int connectionCounter = 0;
constexpr int kPage = 64;       // records handed to the grid at once
constexpr int kRowCache = 4096; // records whose values are kept
constexpr int kKeyEdits = 64;   // saves that update a field's keys before they are read anew
constexpr int kKeyUnits = 24;   // code units of a folded key kept in memory
constexpr quint32 kBlockUnits = 1u << 19;

// The edit text of a stored value: plain digits with "." for numbers, nothing for a picture.
QString EditTextOf(FieldKind kind, const QVariant &value)
{
    if (value.isNull())
        return QString();
    switch (kind) {
    case FieldKind::Integer:
        if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int)
            return QString::number(value.toLongLong());
        if (value.typeId() == QMetaType::Double)
            return Decimal::FloatToStr(value.toDouble());
        return value.toString();
    case FieldKind::Float:
        if (value.typeId() == QMetaType::Double)
            return Decimal::FloatToStr(value.toDouble());
        return value.toString();
    case FieldKind::Graphic:
        return QString();
    case FieldKind::Text:
    case FieldKind::Memo:
        break;
    }
    return value.toString();
}

FieldKind KindOfDeclaredType(const QString &declared)
{
    const QString type = declared.toUpper();
    if (type.contains(QLatin1String("MEMO")))
        return FieldKind::Memo;
    if (type.contains(QLatin1String("GRAPHIC")) || type.contains(QLatin1String("BLOB")))
        return FieldKind::Graphic;
    if (type.contains(QLatin1String("INT")))
        return FieldKind::Integer;
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) ||
        type.contains(QLatin1String("DOUB")) || type.contains(QLatin1String("NUM")) ||
        type.contains(QLatin1String("DEC")))
        return FieldKind::Float;
    return FieldKind::Text;
}

bool IsNumeric(FieldKind kind)
{
    return kind == FieldKind::Integer || kind == FieldKind::Float;
}

// A folded key: UTF-16 code units stored big-endian, so that comparing the bytes compares the
// code units in order, as QString does, with a plain memcmp.
using Key = std::string_view;

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

// Letter case removed code point by code point, as QString's case-insensitive comparison does:
// two texts compare equal ignoring case exactly when their folded forms are equal, and they
// sort in the order of their folded forms.
void AppendFolded(std::vector<char16_t> &out, const char16_t *text, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i) {
        const char16_t c = text[i];
        if (QChar::isHighSurrogate(c) && i + 1 < length && QChar::isLowSurrogate(text[i + 1])) {
            const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(c, text[i + 1]));
            if (QChar::requiresSurrogates(folded)) {
                out.push_back(qToBigEndian(char16_t(QChar::highSurrogate(folded))));
                out.push_back(qToBigEndian(char16_t(QChar::lowSurrogate(folded))));
            } else {
                out.push_back(qToBigEndian(char16_t(folded)));
            }
            ++i;
        } else {
            out.push_back(qToBigEndian(Fold(c)));
        }
    }
}

struct FoldedPrefix {
    int units;
    bool cut;
};

// Folds the beginning of a text into out (room for kKeyUnits + 2 code units): as much as a key
// keeps, and whether the text goes on past it.
FoldedPrefix FoldPrefix(const char16_t *text, qsizetype length, char16_t *out)
{
    int units = 0;
    qsizetype i = 0;
    for (; i < length && units <= kKeyUnits; ++i) {
        const char16_t c = text[i];
        if (QChar::isHighSurrogate(c) && i + 1 < length && QChar::isLowSurrogate(text[i + 1])) {
            const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(c, text[i + 1]));
            if (QChar::requiresSurrogates(folded)) {
                out[units++] = qToBigEndian(char16_t(QChar::highSurrogate(folded)));
                out[units++] = qToBigEndian(char16_t(QChar::lowSurrogate(folded)));
            } else {
                out[units++] = qToBigEndian(char16_t(folded));
            }
            ++i;
        } else {
            out[units++] = qToBigEndian(Fold(c));
        }
    }
    return {units, units > kKeyUnits || i < length};
}

std::string Folded(const QString &text)
{
    std::vector<char16_t> out;
    out.reserve(size_t(text.size()));
    AppendFolded(out, reinterpret_cast<const char16_t *>(text.utf16()), text.size());
    return std::string(reinterpret_cast<const char *>(out.data()), out.size() * 2);
}

bool StartsWith(Key text, Key prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// A value as Qt's SQLite driver gives it: whole numbers, floating point, text, bytes or none.
QVariant ColumnValue(sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column));
    case SQLITE_TEXT:
        return QVariant(
            QString(reinterpret_cast<const QChar *>(sqlite3_column_text16(statement, column)),
                    sqlite3_column_bytes16(statement, column) / int(sizeof(QChar))));
    case SQLITE_BLOB:
        return QVariant(
            QByteArray(static_cast<const char *>(sqlite3_column_blob(statement, column)),
                       sqlite3_column_bytes(statement, column)));
    default:
        return QVariant();
    }
}

// A prepared statement on the table's connection. Every use ends in a reset, so that no read
// lock stays on the file: with the rollback journal another program could not write it else.
class Statement
{
public:
    Statement(sqlite3 *db, const QString &sql) : m_db(db)
    {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_statement, nullptr) !=
            SQLITE_OK) {
            m_error = QString::fromUtf8(sqlite3_errmsg(db));
            m_code = sqlite3_extended_errcode(db);
            sqlite3_finalize(m_statement);
            m_statement = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool ok() const { return m_statement != nullptr; }
    QString error() const { return m_error; }
    int code() const { return m_code; }
    sqlite3_stmt *get() const { return m_statement; }

    void bind(int index, const QVariant &value)
    {
        if (!m_statement)
            return;
        if (value.isNull()) {
            sqlite3_bind_null(m_statement, index);
            return;
        }
        switch (value.typeId()) {
        case QMetaType::LongLong:
        case QMetaType::Int:
        case QMetaType::Bool:
            sqlite3_bind_int64(m_statement, index, value.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_bind_double(m_statement, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            sqlite3_bind_blob(m_statement, index, bytes.constData(), int(bytes.size()),
                              SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QString text = value.toString();
            sqlite3_bind_text16(m_statement, index, text.utf16(),
                                int(text.size() * qsizetype(sizeof(QChar))), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    // True while it yields a row; false when done. An error is kept for error().
    bool step()
    {
        if (!m_statement)
            return false;
        const int result = sqlite3_step(m_statement);
        if (result == SQLITE_ROW)
            return true;
        if (result != SQLITE_DONE) {
            m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
            m_code = sqlite3_extended_errcode(m_db);
        }
        return false;
    }
    // Runs a statement that yields no rows; false on an error.
    bool run()
    {
        m_error.clear();
        m_code = SQLITE_OK;
        step();
        reset();
        return m_error.isEmpty() && m_statement;
    }
    void reset()
    {
        if (!m_statement)
            return;
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
    QString m_error;
    int m_code = SQLITE_OK;
};

// Resets a statement when leaving the scope, whatever happens.
struct ResetOnExit {
    Statement &statement;
    ~ResetOnExit() { statement.reset(); }
};
} // namespace

// The folded keys of one field, for every record of the table in file order ("positions"). Only
// the first kKeyUnits code units of a key are kept: they decide almost every search, and a
// million long descriptions would not fit in memory otherwise. A key cut short is marked; where
// its end matters, the value is read from the file.
struct TTable::ColumnKeys {
    int column = -1;
    // The keys back to back, in blocks that never move once written.
    std::vector<std::unique_ptr<char16_t[]>> blocks;
    quint32 used = kBlockUnits;  // units written into the last block
    std::vector<quint32> start;  // per position: where its key starts, over all blocks
    std::vector<qint8> length;   // per position: units kept; -1 for no value; kCut when cut short
    std::vector<double> numbers; // number fields: the value per position, NaN for none
    std::vector<quint32> sorted; // positions without a value first, then by key and position
    quint32 nulls = 0;           // how many positions lead `sorted` without a value
    int edits = 0;

    static constexpr qint8 kCut = kKeyUnits + 1;

    bool isNull(quint32 position) const { return length[position] < 0; }
    bool isCut(quint32 position) const { return length[position] == kCut; }
    Key key(quint32 position) const
    {
        const int units = std::min<int>(length[position], kKeyUnits);
        if (units <= 0)
            return Key();
        const quint32 at = start[position];
        return Key(
            reinterpret_cast<const char *>(blocks[at / kBlockUnits].get() + at % kBlockUnits),
            size_t(units) * 2);
    }
    // True when a sorts before b in `sorted`.
    bool before(quint32 a, quint32 b) const
    {
        if (isNull(a) != isNull(b))
            return isNull(a);
        const int order = key(a).compare(key(b));
        return order != 0 ? order < 0 : a < b;
    }
    // Index in `sorted` of the first record with a value whose key is not below `text`.
    size_t lowerBound(Key text) const
    {
        return size_t(std::partition_point(sorted.begin() + nulls, sorted.end(),
                                           [&](quint32 p) { return key(p) < text; }) -
                      sorted.begin());
    }
    // Where the run of keys that pass `test` ends, from `from` on in `sorted`.
    template <typename Test> size_t runEnd(size_t from, Test test) const
    {
        return size_t(std::partition_point(sorted.begin() + long(from), sorted.end(),
                                           [&](quint32 p) { return test(key(p)); }) -
                      sorted.begin());
    }
    bool numeric = false;
    // A position more, with no value yet.
    void add()
    {
        start.push_back(0);
        length.push_back(-1);
        if (numeric)
            numbers.push_back(std::numeric_limits<double>::quiet_NaN());
    }
    // Stores the folded beginning of a value's text for the position.
    void setText(quint32 position, const char16_t *text, qsizetype size)
    {
        if (used + kKeyUnits + 2 > kBlockUnits) {
            blocks.push_back(std::make_unique<char16_t[]>(kBlockUnits));
            used = 0;
        }
        char16_t *out = blocks.back().get() + used;
        const FoldedPrefix folded = FoldPrefix(text, size, out);
        start[position] = quint32((blocks.size() - 1) * kBlockUnits + used);
        length[position] = folded.cut ? kCut : qint8(folded.units);
        used += quint32(std::min(folded.units, kKeyUnits));
    }
    void setKey(quint32 position, const QVariant &stored, const QString &text)
    {
        if (stored.isNull())
            length[position] = -1;
        else
            setText(position, reinterpret_cast<const char16_t *>(text.utf16()), text.size());
        if (numeric) {
            bool ok = false;
            const double number = stored.isNull() || stored.typeId() == QMetaType::QByteArray
                                      ? 0.0
                                      : stored.toDouble(&ok);
            numbers[position] = ok ? number : std::numeric_limits<double>::quiet_NaN();
        }
    }
    void sortAll()
    {
        // The first eight code units as two numbers settle most comparisons without reaching
        // into the keys themselves.
        struct Entry {
            quint64 high;
            quint64 low;
            quint32 position;
        };
        std::vector<Entry> entries;
        entries.reserve(start.size());
        nulls = 0;
        sorted.clear();
        sorted.reserve(start.size());
        for (quint32 p = 0; p < quint32(start.size()); ++p) {
            if (isNull(p)) {
                sorted.push_back(p);
                ++nulls;
                continue;
            }
            const Key k = key(p);
            uchar bytes[16] = {};
            if (!k.empty())
                std::memcpy(bytes, k.data(), std::min(k.size(), sizeof bytes));
            entries.push_back(
                {qFromBigEndian<quint64>(bytes), qFromBigEndian<quint64>(bytes + 8), p});
        }
        std::sort(entries.begin(), entries.end(), [this](const Entry &a, const Entry &b) {
            if (a.high != b.high)
                return a.high < b.high;
            if (a.low != b.low)
                return a.low < b.low;
            return before(a.position, b.position);
        });
        for (const Entry &entry : entries)
            sorted.push_back(entry.position);
    }
    void removeSorted(quint32 position)
    {
        const auto at = std::lower_bound(sorted.begin(), sorted.end(), position,
                                         [this](quint32 a, quint32 b) { return before(a, b); });
        if (at != sorted.end() && *at == position) {
            if (isNull(position))
                --nulls;
            sorted.erase(at);
        }
    }
    void insertSorted(quint32 position)
    {
        const auto at = std::lower_bound(sorted.begin(), sorted.end(), position,
                                         [this](quint32 a, quint32 b) { return before(a, b); });
        sorted.insert(at, position);
        if (isNull(position))
            ++nulls;
    }
};

// What the engine knows of the open table's records; see the note at the top of the file.
struct TTable::Store {
    sqlite3 *db = nullptr;
    QString source;  // the table read from
    QString columns; // its fields, quoted, in table order
    std::vector<FieldKind> kinds;

    std::vector<qint64> all; // the rowids in file order, read a page at a time
    bool allComplete = false;
    std::vector<std::unique_ptr<ColumnKeys>> keys; // the most recently used last

    // The filter in force, and the positions it keeps, found a page at a time.
    int filterColumn = -1;
    FilterKind filterKind = FilterKind::Equal;
    QString filterText;
    std::string filterFolded;
    bool filterNumeric = false;
    double filterNumber = 0;
    std::vector<quint32> visible;
    quint32 scan = 0;
    bool visibleComplete = false;

    QHash<qint64, QVector<QVariant>> rows;
    qint64 dataVersion = -1;
    std::unique_ptr<Statement> readRow;
    std::unique_ptr<Statement> readIds;
    std::unique_ptr<Statement> version;

    void prepare()
    {
        readRow = std::make_unique<Statement>(
            db, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(columns, source));
        readIds = std::make_unique<Statement>(
            db, QStringLiteral("SELECT rowid FROM %1 WHERE rowid > ? ORDER BY rowid LIMIT ?")
                    .arg(source));
        version = std::make_unique<Statement>(db, QStringLiteral("PRAGMA data_version"));
        dataVersion = currentVersion();
    }
    qint64 currentVersion()
    {
        ResetOnExit reset{*version};
        return version->step() ? sqlite3_column_int64(version->get(), 0) : -1;
    }
    // Forgets every record read; they are read anew as they are needed.
    void forgetAll()
    {
        all.clear();
        allComplete = false;
        keys.clear();
        rows.clear();
        resetVisible();
    }
    bool filterOn() const { return filterColumn >= 0; }

    // ---- all records ----
    void loadPage(int count)
    {
        if (allComplete)
            return;
        ResetOnExit reset{*readIds};
        readIds->bind(1, all.empty() ? std::numeric_limits<qint64>::min() : all.back());
        readIds->bind(2, count);
        int read = 0;
        while (readIds->step()) {
            all.push_back(sqlite3_column_int64(readIds->get(), 0));
            ++read;
        }
        if (!readIds->error().isEmpty())
            throw UserError(
                QStringLiteral("Таблицата не може да бъде прочетена: %1").arg(readIds->error()));
        if (read < count)
            allComplete = true;
    }
    bool haveAll(size_t index)
    {
        int page = kPage;
        while (all.size() <= index && !allComplete) {
            loadPage(page);
            page = std::min(page * 4, 1 << 16);
        }
        return all.size() > index;
    }
    void completeAll() { haveAll(std::numeric_limits<size_t>::max() - 1); }
    size_t positionOf(qint64 rowid)
    {
        while (!allComplete && (all.empty() || all.back() < rowid))
            haveAll(all.size() + size_t(kPage));
        const auto at = std::lower_bound(all.begin(), all.end(), rowid);
        return at != all.end() && *at == rowid ? size_t(at - all.begin()) : size_t(-1);
    }

    // ---- folded keys ----
    ColumnKeys *findKeys(int column) const
    {
        for (const auto &k : keys)
            if (k->column == column)
                return k.get();
        return nullptr;
    }
    ColumnKeys &keysFor(int column)
    {
        for (size_t i = 0; i < keys.size(); ++i) {
            if (keys[i]->column == column) {
                std::rotate(keys.begin() + long(i), keys.begin() + long(i) + 1, keys.end());
                return *keys.back();
            }
        }
        // The keys of one field at a time (and the filter's field), dropped before the next are
        // read, so that a large table never holds two sets at once.
        keys.erase(std::remove_if(keys.begin(), keys.end(),
                                  [this](const auto &k) { return k->column != filterColumn; }),
                   keys.end());
        auto built = std::make_unique<ColumnKeys>();
        built->column = column;
        built->numeric = IsNumeric(kinds[size_t(column)]);
        build(*built);
        keys.push_back(std::move(built));
        return *keys.back();
    }
    void build(ColumnKeys &k)
    {
        const bool numeric = k.numeric;
        Statement read(db, QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid")
                               .arg(columnName(k.column), source));
        std::vector<qint64> ids;
        ids.reserve(all.size());
        while (read.step()) {
            const quint32 position = quint32(ids.size());
            ids.push_back(sqlite3_column_int64(read.get(), 0));
            k.add();
            const int type = sqlite3_column_type(read.get(), 1);
            if (type == SQLITE_NULL)
                continue;
            if (type == SQLITE_TEXT && !numeric) {
                // The common case, without a detour through QVariant.
                const auto *text =
                    static_cast<const char16_t *>(sqlite3_column_text16(read.get(), 1));
                const int length = sqlite3_column_bytes16(read.get(), 1) / 2;
                k.setText(position, text, length);
                continue;
            }
            const QVariant stored = ColumnValue(read.get(), 1);
            k.setKey(position, stored, editText(k.column, stored));
        }
        if (!read.error().isEmpty())
            throw UserError(
                QStringLiteral("Таблицата не може да бъде прочетена: %1").arg(read.error()));
        if (!allComplete || ids != all) {
            // Read in one go, the list of records is complete now. A list that differs was
            // changed behind our back: nothing read from it before holds.
            if (allComplete) {
                keys.clear();
                visible.clear();
                scan = 0;
                visibleComplete = false;
            }
            all.swap(ids);
            allComplete = true;
        }
        k.sortAll();
    }
    QString columnName(int column) const { return columnNames.at(column); }
    QStringList columnNames;

    QString editText(int column, const QVariant &value) const
    {
        return EditTextOf(kinds[size_t(column)], value);
    }

    // ---- the filter ----
    void setFilter(int column, FilterKind kind, const QString &text)
    {
        filterColumn = column;
        filterKind = kind;
        filterText = text;
        filterFolded = Folded(text);
        filterNumeric = false;
        if (column >= 0 && IsNumeric(kinds[size_t(column)]))
            filterNumber = text.trimmed().toDouble(&filterNumeric);
        resetVisible();
    }
    // A filter text as long as a key is kept decides against a cut key only by its whole value.
    bool filterLong() const { return filterFolded.size() >= size_t(kKeyUnits) * 2; }
    // The whole folded value of a field at a position, read from the file.
    std::string wholeKey(int column, quint32 position)
    {
        return Folded(editText(column, values(all[position]).value(column)));
    }
    bool matches(const ColumnKeys &k, quint32 position)
    {
        if (k.isNull(position))
            return filterKind == FilterKind::Equal && filterText.isEmpty();
        if (filterNumeric && !std::isnan(k.numbers[position])) {
            // Numbers compare as numbers; a text that is not one compares as text.
            const double have = k.numbers[position];
            return filterKind == FilterKind::Equal ? have == filterNumber : have >= filterNumber;
        }
        const Key text(filterFolded);
        int order = k.key(position).compare(text);
        if (k.isCut(position) && filterLong() && k.key(position) == text.substr(0, kKeyUnits * 2))
            order = Key(wholeKey(k.column, position)).compare(text);
        return filterKind == FilterKind::Equal ? order == 0 : order >= 0;
    }
    void resetVisible()
    {
        visible.clear();
        scan = 0;
        visibleComplete = false;
        if (!filterOn())
            return;
        ColumnKeys &k = keysFor(filterColumn);
        if (filterNumeric || filterLong())
            return; // found a page at a time
        // The records kept are one stretch of the sorted keys; a short stretch is taken whole.
        size_t from = k.nulls;
        size_t to = k.sorted.size();
        const Key text(filterFolded);
        if (filterKind == FilterKind::Equal) {
            if (text.empty())
                from = 0;
            else
                from = k.lowerBound(text);
            to = size_t(std::partition_point(k.sorted.begin() + long(from), k.sorted.end(),
                                             [&](quint32 p) { return k.key(p) == text; }) -
                        k.sorted.begin());
        } else {
            from = k.lowerBound(text);
        }
        if ((to - from) * 16 <= k.sorted.size() + 1024) {
            visible.assign(k.sorted.begin() + long(from), k.sorted.begin() + long(to));
            std::sort(visible.begin(), visible.end());
            scan = quint32(all.size());
            visibleComplete = true;
        }
    }
    bool haveVisible(size_t index)
    {
        if (!filterOn())
            return haveAll(index);
        ColumnKeys *found = findKeys(filterColumn);
        ColumnKeys &k = found ? *found : keysFor(filterColumn);
        while (visible.size() <= index && !visibleComplete) {
            if (scan >= all.size()) {
                visibleComplete = true;
                break;
            }
            if (matches(k, scan))
                visible.push_back(scan);
            ++scan;
        }
        return visible.size() > index;
    }
    size_t materialized() const { return filterOn() ? visible.size() : all.size(); }
    bool complete() const { return filterOn() ? visibleComplete : allComplete; }
    size_t total()
    {
        haveVisible(std::numeric_limits<size_t>::max() - 1);
        return materialized();
    }
    qint64 rowidAt(size_t index) const { return filterOn() ? all[visible[index]] : all[index]; }
    // The index among the visible records of the record with that rowid, or -1.
    int indexOf(qint64 rowid)
    {
        const size_t position = positionOf(rowid);
        if (position == size_t(-1))
            return -1;
        if (!filterOn())
            return int(position);
        while (!visibleComplete && (visible.empty() || visible.back() < position))
            haveVisible(visible.size());
        const auto at = std::lower_bound(visible.begin(), visible.end(), quint32(position));
        return at != visible.end() && *at == position ? int(at - visible.begin()) : -1;
    }
    bool isVisible(quint32 position)
    {
        if (!filterOn())
            return true;
        ColumnKeys *found = findKeys(filterColumn);
        return matches(found ? *found : keysFor(filterColumn), position);
    }

    // ---- values ----
    const QVector<QVariant> &values(qint64 rowid)
    {
        auto found = rows.constFind(rowid);
        if (found != rows.constEnd())
            return *found;
        if (rows.size() >= kRowCache)
            rows.clear();
        QVector<QVariant> row(int(kinds.size()));
        ResetOnExit reset{*readRow};
        readRow->bind(1, rowid);
        if (readRow->step())
            for (int i = 0; i < row.size(); ++i)
                row[i] = ColumnValue(readRow->get(), i);
        return *rows.insert(rowid, row);
    }

    // ---- our own changes ----
    void saved(qint64 rowid, const QList<int> &changed, bool inserted)
    {
        rows.remove(rowid);
        if (inserted) {
            if (!allComplete)
                return; // the next page read brings it
            if (!all.empty() && rowid <= all.back()) {
                forgetAll(); // not at the end: read the order anew
                return;
            }
            all.push_back(rowid);
            const QVector<QVariant> &row = values(rowid);
            for (const auto &k : keys) {
                const quint32 position = quint32(all.size() - 1);
                k->add();
                const QVariant stored = row[k->column];
                k->setKey(position, stored, editText(k->column, stored));
                k->insertSorted(position);
            }
        } else {
            const size_t position = keys.empty() ? size_t(-1) : positionOf(rowid);
            if (position == size_t(-1)) {
                resetVisible();
                return;
            }
            const QVector<QVariant> row = values(rowid);
            for (size_t i = 0; i < keys.size(); ++i) {
                ColumnKeys &k = *keys[i];
                if (!changed.contains(k.column))
                    continue;
                // A long run of saves without a search (a whole price list converted) would
                // move the sorted keys again and again; reading them anew once is cheaper.
                if (++k.edits > kKeyEdits && k.column != filterColumn) {
                    keys.erase(keys.begin() + long(i));
                    --i;
                    continue;
                }
                k.removeSorted(quint32(position));
                k.setKey(quint32(position), row[k.column], editText(k.column, row[k.column]));
                k.insertSorted(quint32(position));
            }
        }
        resetVisible();
    }
    void deleted(qint64 rowid)
    {
        rows.remove(rowid);
        const auto at = std::lower_bound(all.begin(), all.end(), rowid);
        if (at == all.end() || *at != rowid)
            return;
        const quint32 position = quint32(at - all.begin());
        all.erase(at);
        for (const auto &k : keys) {
            k->removeSorted(position);
            k->start.erase(k->start.begin() + position);
            k->length.erase(k->length.begin() + position);
            if (!k->numbers.empty())
                k->numbers.erase(k->numbers.begin() + position);
            for (quint32 &p : k->sorted)
                if (p > position)
                    --p;
        }
        resetVisible();
    }
};

// ---- TField ----

TField::TField(TTable *table, int column, const QString &name, FieldKind kind)
    : m_table(table), m_column(column), m_name(name), m_kind(kind)
{
}

QString TField::AsString() const
{
    return m_table->editText(m_column, m_table->value(m_column));
}

void TField::SetAsString(const QString &text)
{
    QVariant stored;
    switch (m_kind) {
    case FieldKind::Text:
    case FieldKind::Memo:
        stored = text;
        break;
    case FieldKind::Integer:
        if (!text.trimmed().isEmpty())
            stored = Decimal::StrToInt64(text);
        break;
    case FieldKind::Float:
        if (!text.trimmed().isEmpty())
            stored = Decimal::StrToFloat(text);
        break;
    case FieldKind::Graphic:
        if (!text.isEmpty())
            stored = text.toUtf8();
        break;
    }
    m_table->setValue(m_column, stored);
}

QByteArray TField::AsBytes() const
{
    const QVariant v = m_table->value(m_column);
    return v.isNull() ? QByteArray() : v.toByteArray();
}

void TField::SetAsBytes(const QByteArray &bytes)
{
    m_table->setValue(m_column, bytes.isEmpty() ? QVariant() : QVariant(bytes));
}

bool TField::IsNull() const
{
    return m_table->value(m_column).isNull();
}

void TField::Clear()
{
    m_table->setValue(m_column, QVariant());
}

int TField::Index() const
{
    return int(m_table->m_order.indexOf(m_column));
}

void TField::SetIndex(int position)
{
    QVector<int> &order = m_table->m_order;
    position = qBound(0, position, int(order.size()) - 1);
    if (Index() == position)
        return;
    m_table->beginResetModel();
    order.removeOne(m_column);
    order.insert(position, m_column);
    m_table->endResetModel();
    emit m_table->RecordChanged();
}

// ---- TTable ----

TTable::TTable(QObject *parent) : QAbstractTableModel(parent)
{
    m_connection = QStringLiteral("vornex_table_%1").arg(++connectionCounter);
}

TTable::~TTable()
{
    // A destroyed table saves what it can but never throws out of a destructor; nobody is left
    // to hear about it.
    blockSignals(true);
    try {
        if (m_state == State::Edit || m_state == State::Insert)
            Post();
    } catch (...) {
    }
    m_store.reset();
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

QString TTable::FilePath() const
{
    if (m_folder.isEmpty())
        return m_fileName;
    if (m_folder.endsWith(QLatin1Char('/')) || m_folder.endsWith(QLatin1Char('\\')))
        return m_folder + m_fileName;
    return m_folder + QLatin1Char('/') + m_fileName;
}

void TTable::fail(const QString &what) const
{
    throw UserError(what);
}

QString TTable::quoted(const QString &identifier) const
{
    QString text = identifier;
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString TTable::tableIdentifier() const
{
    return quoted(QFileInfo(m_fileName).completeBaseName());
}

namespace
{
// Why SQLite refused a change, in the user's words where the cause is a common one.
QString WriteRefusal(int code, const QString &engineText)
{
    switch (code & 0xff) {
    case SQLITE_READONLY:
        return QStringLiteral("файлът е само за четене");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("файлът е зает от друга работа с програмата; опитайте отново");
    case SQLITE_CANTOPEN:
        return QStringLiteral("в папката на файла не може да се пише");
    default:
        return engineText;
    }
}
} // namespace

QString TTable::cannotWrite(const QString &action, const QString &reason) const
{
    return action.arg(m_fileName) + QStringLiteral(": ") + reason + QLatin1Char('.');
}

void TTable::Open()
{
    if (Active())
        return;
    const QString path = FilePath();
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        fail(QStringLiteral("Таблицата не може да бъде отворена: файлът %1 не съществува.")
                 .arg(QDir::toNativeSeparators(path)));

    const QString baseName = QFileInfo(m_fileName).completeBaseName();
    QString problem;
    sqlite3 *handle = nullptr;
    bool isView = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        // A URI with mode=rw: opening never creates a missing file.
        const QString uri =
            QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded);
        db.setDatabaseName(uri + QStringLiteral("?mode=rw"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open()) {
            // A file that cannot be written can still be browsed.
            db.setDatabaseName(uri + QStringLiteral("?mode=ro"));
            if (!db.open())
                problem = db.lastError().text();
        }
        if (problem.isEmpty()) {
            QSqlQuery query(db);
            // The schema read also proves that the file is a database at all.
            if (!query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(tableIdentifier()))) {
                problem = query.lastError().text();
            } else {
                int column = 0;
                while (query.next()) {
                    const QString name = query.value(1).toString();
                    m_fields.push_back(std::make_unique<TField>(
                        this, column, name, KindOfDeclaredType(query.value(2).toString())));
                    ++column;
                }
                if (m_fields.empty())
                    problem = QStringLiteral("Файлът не съдържа таблицата %1.").arg(baseName);
            }
            query.finish();
            if (problem.isEmpty()) {
                QSqlQuery kind(db);
                kind.prepare(
                    QStringLiteral("SELECT type FROM sqlite_master WHERE name = ? COLLATE NOCASE"));
                kind.addBindValue(baseName);
                isView =
                    kind.exec() && kind.next() && kind.value(0).toString() == QLatin1String("view");
                kind.finish();
                // The rollback journal keeps DB/ a complete set of files that can be copied or
                // lie in a folder that cannot be written; a file that an earlier version switched
                // to a write-ahead log is switched back when it can be written.
                QSqlQuery journal(db);
                if (journal.exec(QStringLiteral("PRAGMA journal_mode")) && journal.next() &&
                    journal.value(0).toString().compare(QLatin1String("wal"),
                                                        Qt::CaseInsensitive) == 0) {
                    journal.finish();
                    journal.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
                }
                journal.finish();
                const QVariant raw = db.driver()->handle();
                if (raw.isValid() && qstrcmp(raw.typeName(), "sqlite3*") == 0)
                    handle = *static_cast<sqlite3 *const *>(raw.constData());
                if (!handle)
                    problem = QStringLiteral("Няма връзка с файла.");
            }
        }
        if (!problem.isEmpty())
            db.close();
    }
    if (problem.isEmpty()) {
        m_store = std::make_unique<Store>();
        m_store->db = handle;
        m_store->source = tableIdentifier();
        if (isView) {
            // A view has no lasting record numbers to find its records by: it is browsed in a
            // copy and refuses changes with a message that says so.
            Statement copy(handle, QStringLiteral("CREATE TEMP TABLE \"vornex_view\" AS "
                                                  "SELECT * FROM %1")
                                       .arg(tableIdentifier()));
            if (!copy.run())
                problem = copy.error();
            m_store->source = QStringLiteral("temp.\"vornex_view\"");
            m_readOnlyReason =
                QStringLiteral("%1 е изглед (view), а не таблица, и записите му не могат да "
                               "бъдат променяни")
                    .arg(baseName);
        } else {
            m_readOnlyReason.clear();
        }
        for (const auto &field : m_fields) {
            m_store->columnNames.append(quoted(field->FieldName()));
            m_store->kinds.push_back(field->Kind());
        }
        m_store->columns = m_store->columnNames.join(QLatin1String(", "));
        if (problem.isEmpty()) {
            m_store->prepare();
            if (!m_store->readRow->ok())
                problem = m_store->readRow->error();
        }
        if (!problem.isEmpty()) {
            m_store.reset();
            QSqlDatabase::database(m_connection, false).close();
        }
    }
    if (!problem.isEmpty()) {
        m_fields.clear();
        QSqlDatabase::removeDatabase(m_connection);
        fail(QStringLiteral("Таблицата не може да бъде отворена: %1\n%2")
                 .arg(QDir::toNativeSeparators(path), problem.trimmed()));
    }

    m_order.clear();
    for (int i = 0; i < int(m_fields.size()); ++i)
        m_order.append(i);
    // A filter left in force applies to the newly opened table when it names one of its fields.
    if (!m_filterText.isEmpty()) {
        try {
            SetFilter(m_filterText);
        } catch (const std::exception &) {
            m_filter = FilterCondition();
            m_filtered = false;
        }
    }
    m_state = State::Browse;
    try {
        m_store->setFilter(m_filtered ? m_filter.column : -1, m_filter.kind, m_filter.text);
        resetRecords(-1, 0);
    } catch (...) {
        Close();
        throw;
    }
}

void TTable::Close()
{
    if (!Active())
        return;
    // Changes still pending in the grid are saved, not dropped, when another table is opened.
    QString problem;
    try {
        savePending();
        Commit();
    } catch (const std::exception &error) {
        problem = QString::fromUtf8(error.what());
    }
    if (m_inTransaction) {
        Statement rollback(m_store->db, QStringLiteral("ROLLBACK"));
        rollback.run();
        m_inTransaction = false;
    }
    beginResetModel();
    m_state = State::Inactive;
    m_store.reset();
    m_current = -1;
    m_shown = 0;
    m_buffer.clear();
    m_changed.clear();
    m_modified = false;
    m_fields.clear();
    m_order.clear();
    m_filter = FilterCondition();
    m_readOnlyReason.clear();
    endResetModel();
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
    emit AfterClose();
    emit RecordChanged();
    if (!problem.isEmpty())
        throw UserError(problem);
}

void TTable::requireActive() const
{
    if (!Active())
        fail(QStringLiteral("%1: Cannot perform this operation on a closed dataset")
                 .arg(objectName().isEmpty() ? QStringLiteral("Table") : objectName()));
}

QStringList TTable::FieldDefs() const
{
    QStringList names;
    for (const auto &field : m_fields)
        names.append(field->FieldName());
    return names;
}

TField *TTable::FindField(const QString &name) const
{
    for (const auto &field : m_fields)
        if (field->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return field.get();
    return nullptr;
}

TField *TTable::FieldByName(const QString &name) const
{
    TField *field = FindField(name);
    if (!field)
        fail(QStringLiteral("%1: Field '%2' not found")
                 .arg(objectName().isEmpty() ? QStringLiteral("Table") : objectName(), name));
    return field;
}

TField *TTable::FieldAt(int position) const
{
    if (position < 0 || position >= int(m_order.size()))
        return nullptr;
    return m_fields[size_t(m_order[position])].get();
}

int TTable::RecordCount() const
{
    return Active() ? int(m_store->total()) : 0;
}

bool TTable::IsEmpty() const
{
    return m_state != State::Insert && (!Active() || !m_store->haveVisible(0));
}

qint64 TTable::currentRowid() const
{
    return m_current >= 0 && m_store->haveVisible(size_t(m_current))
               ? m_store->rowidAt(size_t(m_current))
               : -1;
}

const QVector<QVariant> &TTable::currentValues() const
{
    static const QVector<QVariant> none;
    if (m_state == State::Edit || m_state == State::Insert)
        return m_buffer;
    if (m_store && currentRowid() >= 0)
        return m_store->values(currentRowid());
    return none;
}

const QVector<QVariant> &TTable::rowValues(qint64 rowid) const
{
    return m_store->values(rowid);
}

QVariant TTable::value(int column) const
{
    const QVector<QVariant> &values = currentValues();
    return column < values.size() ? values[column] : QVariant();
}

void TTable::setValue(int column, const QVariant &value)
{
    requireActive();
    if (m_state == State::Browse) {
        if (m_current < 0)
            Insert();
        else
            Edit();
    }
    m_buffer[column] = value;
    m_changed.insert(column);
    m_modified = true;
    const int row = rowOfRecord();
    const int position = int(m_order.indexOf(column));
    emit dataChanged(index(row, position), index(row, position));
    emit RecordChanged();
}

QString TTable::editText(int column, const QVariant &value) const
{
    if (column < 0 || column >= int(m_fields.size()))
        return QString();
    return EditTextOf(m_fields[size_t(column)]->Kind(), value);
}

int TTable::rowOfRecord() const
{
    return m_state == State::Insert ? m_shown : m_current;
}

int TTable::RecNo() const
{
    if (!Active())
        return 0;
    return rowOfRecord() + 1;
}

void TTable::SetRecNo(int recNo)
{
    requireActive();
    if (recNo < 1 || recNo == RecNo() || !m_store->haveVisible(size_t(recNo - 1)))
        return;
    savePending();
    moveTo(recNo - 1);
}

void TTable::showUpTo(int index)
{
    if (index < m_shown)
        return;
    const int shown = int(std::min(m_store->materialized(), size_t(index) + 1));
    if (shown <= m_shown)
        return;
    beginInsertRows(QModelIndex(), m_shown, shown - 1);
    m_shown = shown;
    endInsertRows();
}

void TTable::moveTo(int index)
{
    // A save may have changed the records visible; stay within them.
    if (!m_store->haveVisible(0))
        index = -1;
    else if (index < 0)
        index = 0;
    else if (!m_store->haveVisible(size_t(index)))
        index = int(m_store->materialized()) - 1;
    if (index == m_current)
        return;
    m_current = index;
    showUpTo(index);
    emit RecordChanged();
}

void TTable::resetRecords(qint64 keepRowid, int fallbackIndex)
{
    beginResetModel();
    m_shown = 0;
    int index = keepRowid >= 0 ? m_store->indexOf(keepRowid) : -1;
    if (index < 0 && m_store->haveVisible(0)) {
        index = std::max(fallbackIndex, 0);
        if (!m_store->haveVisible(size_t(index)))
            index = int(m_store->materialized()) - 1;
    }
    m_current = index;
    m_store->haveVisible(size_t(kPage) - 1);
    m_shown = int(std::min(m_store->materialized(), size_t(std::max(kPage, index + 1))));
    endResetModel();
    emit RecordChanged();
}

bool TTable::syncWithFile()
{
    const qint64 version = m_store->currentVersion();
    if (version == m_store->dataVersion)
        return false;
    // Another program wrote the file: what was read of it may be out of date.
    const qint64 rowid = m_state == State::Browse ? currentRowid() : -1;
    m_store->dataVersion = version;
    m_store->forgetAll();
    resetRecords(rowid, m_current);
    return true;
}

void TTable::First()
{
    requireActive();
    savePending();
    moveTo(0);
}

void TTable::Last()
{
    requireActive();
    savePending();
    moveTo(int(m_store->total()) - 1);
}

void TTable::Next()
{
    requireActive();
    savePending();
    if (m_current >= 0 && m_store->haveVisible(size_t(m_current) + 1))
        moveTo(m_current + 1);
}

bool TTable::Locate(const QString &fieldName, const QString &text, bool caseInsensitive,
                    bool partialKey)
{
    requireActive();
    const TField *field = FieldByName(fieldName);
    const int column = field->FieldNo();
    savePending();
    syncWithFile();
    Store &store = *m_store;
    if (store.filterOn())
        store.keysFor(store.filterColumn); // kept while the field's keys are read
    const ColumnKeys &keys = store.keysFor(column);
    const std::string folded = Folded(text);
    // A key keeps the beginning of its value only; a longer text is looked for by it and then
    // checked against the whole value.
    const Key wanted = Key(folded).substr(0, size_t(kKeyUnits) * 2);
    const bool beyondKeys =
        partialKey ? folded.size() > wanted.size() : folded.size() >= size_t(kKeyUnits) * 2;

    // The stretch of the sorted keys that may match, letter case ignored.
    size_t from = 0;
    size_t to = keys.sorted.size();
    if (partialKey) {
        // An empty text is the beginning of every value, but not of a field with no value.
        from = text.isEmpty() ? (text.isNull() ? 0 : keys.nulls) : keys.lowerBound(wanted);
        if (!text.isEmpty())
            to = keys.runEnd(from, [&](Key k) { return StartsWith(k, wanted); });
    } else {
        from = text.isEmpty() ? 0 : keys.lowerBound(wanted);
        to = keys.runEnd(from, [&](Key k) { return k == wanted; });
    }

    // The first of them in file order that is visible and, where the keys cannot tell, whose
    // whole value matches.
    quint32 best = std::numeric_limits<quint32>::max();
    if (caseInsensitive && !beyondKeys) {
        const bool everyRecord = !store.filterOn();
        for (size_t i = from; i < to; ++i) {
            const quint32 position = keys.sorted[i];
            if (position < best && (everyRecord || store.isVisible(position)))
                best = position;
        }
    } else {
        std::vector<quint32> candidates(keys.sorted.begin() + long(from),
                                        keys.sorted.begin() + long(to));
        std::sort(candidates.begin(), candidates.end());
        const Qt::CaseSensitivity cs = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
        for (const quint32 position : candidates) {
            if (!store.isVisible(position))
                continue;
            const QString value = editText(column, store.values(store.all[position]).value(column));
            if (partialKey ? value.startsWith(text, cs) : value.compare(text, cs) == 0) {
                best = position;
                break;
            }
        }
    }
    if (best == std::numeric_limits<quint32>::max())
        return false;
    const int index = store.indexOf(store.all[best]);
    if (index < 0)
        return false;
    moveTo(index);
    return true;
}

void TTable::SetFilter(const QString &fieldName, FilterKind kind, const QString &text)
{
    SetFilter(fieldName +
              (kind == FilterKind::Equal ? QStringLiteral(" = '") : QStringLiteral(" >= '")) +
              text + QLatin1Char('\''));
}

void TTable::SetFilter(const QString &expression)
{
    FilterCondition condition;
    if (!expression.isEmpty()) {
        const int equal = int(expression.indexOf(QLatin1String(" = '")));
        const int atLeast = int(expression.indexOf(QLatin1String(" >= '")));
        int at = -1;
        int markerLength = 0;
        if (equal >= 0 && (atLeast < 0 || equal < atLeast)) {
            at = equal;
            markerLength = 4;
            condition.kind = FilterKind::Equal;
        } else if (atLeast >= 0) {
            at = atLeast;
            markerLength = 5;
            condition.kind = FilterKind::AtLeast;
        }
        if (at <= 0 || !expression.endsWith(QLatin1Char('\'')) ||
            at + markerLength > expression.size() - 1)
            fail(QStringLiteral("Невалиден филтър: %1").arg(expression));
        const TField *field = FindField(expression.left(at).trimmed());
        if (!field)
            fail(QStringLiteral("%1: Field '%2' not found")
                     .arg(objectName().isEmpty() ? QStringLiteral("Table") : objectName(),
                          expression.left(at).trimmed()));
        condition.column = field->FieldNo();
        condition.text =
            expression.mid(at + markerLength, expression.size() - 1 - (at + markerLength));
    }
    m_filterText = expression;
    m_filter = condition;
    if (m_filtered && Active()) {
        savePending();
        syncWithFile();
        m_store->setFilter(m_filter.column, m_filter.kind, m_filter.text);
        resetRecords(-1, 0);
    }
}

void TTable::SetFiltered(bool on)
{
    if (m_filtered == on)
        return;
    if (Active())
        savePending();
    m_filtered = on;
    if (Active()) {
        syncWithFile();
        m_store->setFilter(m_filtered ? m_filter.column : -1, m_filter.kind, m_filter.text);
        resetRecords(-1, 0);
    }
}

void TTable::Refresh()
{
    requireActive();
    savePending();
    if (syncWithFile())
        return;
    // The list of records is as it was; their values are read again as they are shown.
    m_store->rows.clear();
    if (m_shown > 0)
        emit dataChanged(index(0, 0), index(m_shown - 1, columnCount() - 1));
    emit RecordChanged();
}

void TTable::Edit()
{
    requireActive();
    if (m_state != State::Browse || m_current < 0)
        return;
    m_buffer = currentValues();
    m_changed.clear();
    m_modified = false;
    m_state = State::Edit;
}

void TTable::Insert()
{
    requireActive();
    savePending();
    // The new record comes after every visible one.
    const size_t total = m_store->total();
    if (total > 0)
        showUpTo(int(total) - 1);
    const int row = m_shown;
    beginInsertRows(QModelIndex(), row, row);
    m_buffer = QVector<QVariant>(int(m_fields.size()));
    m_changed.clear();
    m_modified = false;
    m_state = State::Insert;
    endInsertRows();
    emit RecordChanged();
}

void TTable::Cancel()
{
    if (m_state == State::Insert) {
        const int row = m_shown;
        beginRemoveRows(QModelIndex(), row, row);
        m_state = State::Browse;
        m_buffer.clear();
        m_changed.clear();
        m_modified = false;
        endRemoveRows();
        emit RecordChanged();
    } else if (m_state == State::Edit) {
        m_state = State::Browse;
        m_buffer.clear();
        m_changed.clear();
        m_modified = false;
        if (m_current >= 0)
            emit dataChanged(index(m_current, 0), index(m_current, columnCount() - 1));
        emit RecordChanged();
    }
}

void TTable::savePending()
{
    if (m_state == State::Edit || m_state == State::Insert)
        Post();
}

void TTable::Post()
{
    if (m_state == State::Edit && m_changed.isEmpty()) {
        Cancel();
        return;
    }
    if (m_state == State::Insert && m_changed.isEmpty()) {
        Cancel();
        return;
    }
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    const QString action = QStringLiteral("Записът не може да бъде запазен в %1");
    if (!m_readOnlyReason.isEmpty())
        fail(cannotWrite(action, m_readOnlyReason));

    QList<int> columns = m_changed.values();
    std::sort(columns.begin(), columns.end());
    QStringList names;
    for (int column : columns)
        names.append(quoted(m_fields[size_t(column)]->FieldName()));

    QString sql;
    if (m_state == State::Edit) {
        QStringList sets;
        for (const QString &name : names)
            sets.append(name + QStringLiteral(" = ?"));
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                  .arg(tableIdentifier(), sets.join(QLatin1String(", ")));
    } else {
        QStringList marks;
        for (int i = 0; i < names.size(); ++i)
            marks.append(QStringLiteral("?"));
        sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(tableIdentifier(), names.join(QLatin1String(", ")),
                       marks.join(QLatin1String(", ")));
    }
    Statement statement(m_store->db, sql);
    if (!statement.ok())
        fail(cannotWrite(action,
                         QStringLiteral("таблицата %1 не приема промени (%2)")
                             .arg(QFileInfo(m_fileName).completeBaseName(), statement.error())));
    int place = 1;
    for (int column : columns)
        statement.bind(place++, m_buffer[column]);
    qint64 rowid = -1;
    if (m_state == State::Edit) {
        rowid = currentRowid();
        statement.bind(place, rowid);
    }
    if (!statement.run())
        fail(cannotWrite(action, WriteRefusal(statement.code(), statement.error())));
    const bool inserted = m_state == State::Insert;
    if (inserted)
        rowid = sqlite3_last_insert_rowid(m_store->db);

    const int fallback = inserted ? m_shown : m_current;
    m_state = State::Browse;
    m_buffer.clear();
    m_changed.clear();
    m_modified = false;
    m_store->saved(rowid, columns, inserted);
    if (!inserted && !m_store->filterOn()) {
        // Only this record changed: the grid re-reads its row.
        if (m_current >= 0)
            emit dataChanged(index(m_current, 0), index(m_current, columnCount() - 1));
        emit RecordChanged();
        return;
    }
    // A new record, or one the filter may now keep or drop.
    resetRecords(rowid, fallback);
}

void TTable::Delete()
{
    requireActive();
    if (m_state == State::Insert) {
        Cancel();
        return;
    }
    if (m_current < 0)
        return;
    if (m_state == State::Edit)
        Cancel();
    const QString action = QStringLiteral("Записът не може да бъде изтрит от %1");
    if (!m_readOnlyReason.isEmpty())
        fail(cannotWrite(action, m_readOnlyReason));
    Statement statement(m_store->db,
                        QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(tableIdentifier()));
    const qint64 rowid = currentRowid();
    statement.bind(1, rowid);
    if (!statement.ok() || !statement.run())
        fail(cannotWrite(action, WriteRefusal(statement.code(), statement.error())));
    const int at = m_current;
    m_store->deleted(rowid);
    resetRecords(-1, at);
}

void TTable::StartTransaction()
{
    requireActive();
    if (m_inTransaction)
        return;
    // IMMEDIATE: the file is reserved for writing now, not at the first write.
    Statement begin(m_store->db, QStringLiteral("BEGIN IMMEDIATE"));
    if (!begin.run()) {
        const int code = begin.code() & 0xff;
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
            fail(QStringLiteral(
                     "Файлът %1 е зает от друга работа с програмата. Опитайте отново.\n%2")
                     .arg(QDir::toNativeSeparators(FilePath()), begin.error()));
        fail(cannotWrite(QStringLiteral("Промените в %1 не могат да бъдат запазени"),
                         WriteRefusal(begin.code(), begin.error())));
    }
    m_inTransaction = true;
}

void TTable::Commit()
{
    if (!m_inTransaction)
        return;
    savePending();
    Statement commit(m_store->db, QStringLiteral("COMMIT"));
    if (!commit.run())
        fail(cannotWrite(QStringLiteral("Промените в %1 не могат да бъдат запазени"),
                         WriteRefusal(commit.code(), commit.error())));
    m_inTransaction = false;
}

void TTable::Rollback()
{
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    Cancel();
    Statement rollback(m_store->db, QStringLiteral("ROLLBACK"));
    rollback.run();
    // What was read since the start may hold changes that are gone now.
    try {
        const qint64 rowid = currentRowid();
        m_store->forgetAll();
        m_store->dataVersion = m_store->currentVersion();
        resetRecords(rowid, m_current);
    } catch (const std::exception &) {
    }
}

// ---- the item model ----

int TTable::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !Active())
        return 0;
    return m_shown + (m_state == State::Insert ? 1 : 0);
}

int TTable::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !Active())
        return 0;
    return int(m_order.size());
}

QVariant TTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= int(m_order.size()) || !Active())
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    const int column = m_order[index.column()];
    const int row = index.row();
    QVariant stored;
    if (row == rowOfRecord())
        stored = value(column);
    else if (row >= 0 && row < m_shown)
        try {
            // The grid paints; a file that cannot be read now shows an empty cell.
            if (m_store->haveVisible(size_t(row)))
                stored = m_store->values(m_store->rowidAt(size_t(row))).value(column);
        } catch (const std::exception &) {
        }
    const FieldKind kind = m_fields[size_t(column)]->Kind();
    if (kind == FieldKind::Graphic)
        return role == Qt::DisplayRole && !stored.isNull() && !stored.toByteArray().isEmpty()
                   ? QStringLiteral("(картина)")
                   : QString();
    QString text = editText(column, stored);
    if (role == Qt::DisplayRole && kind == FieldKind::Memo)
        text.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
    return text;
}

bool TTable::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.column() >= int(m_order.size()))
        return false;
    TField *field = FieldAt(index.column());
    try {
        if (index.row() != rowOfRecord()) {
            SetRecNo(index.row() + 1);
            if (index.row() != rowOfRecord())
                return false;
        }
        const QString text = value.toString();
        if (text == field->AsString())
            return true;
        field->SetAsString(text);
        return true;
    } catch (const std::exception &error) {
        emit ErrorOccurred(QString::fromUtf8(error.what()));
        return false;
    }
}

Qt::ItemFlags TTable::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const TField *field = FieldAt(index.column());
    // Descriptions are edited in the memo below the grid and logos by a click on the picture.
    if (field && field->Kind() != FieldKind::Graphic && field->Kind() != FieldKind::Memo)
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant TTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal) {
        const TField *field = FieldAt(section);
        return field ? QVariant(field->FieldName()) : QVariant();
    }
    return section + 1;
}

bool TTable::canFetchMore(const QModelIndex &parent) const
{
    if (parent.isValid() || !Active() || m_state == State::Insert)
        return false;
    return size_t(m_shown) < m_store->materialized() || !m_store->complete();
}

void TTable::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid() || !Active() || m_state == State::Insert)
        return;
    try {
        m_store->haveVisible(size_t(m_shown) + 4 * kPage - 1);
        showUpTo(int(std::min(m_store->materialized(), size_t(m_shown) + 4 * kPage)) - 1);
    } catch (const std::exception &error) {
        emit ErrorOccurred(QString::fromUtf8(error.what()));
    }
}
