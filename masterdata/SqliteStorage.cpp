#include "masterdata/SqliteStorage.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

namespace
{
constexpr int kBusyTimeoutMs = 5000;

QString Quoted(const QString &identifier)
{
    QString text = identifier;
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
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

// Decodes UTF-8 into UTF-16 at `out` (room for `size` code units); returns the units written. A
// byte that starts no valid sequence becomes U+FFFD. Ours rather than SQLite's conversion, which
// allocates for every value: a million values are read for one column's keys.
qsizetype DecodeUtf8(const uchar *in, qsizetype size, char16_t *out)
{
    char16_t *const begin = out;
    const uchar *const end = in + size;
    while (in < end) {
        const uchar c = *in;
        if (c < 0x80) {
            *out++ = c;
            ++in;
            continue;
        }
        auto continuation = [&](qsizetype at, uchar low, uchar high) {
            return in + at < end && in[at] >= low && in[at] <= high;
        };
        if (c >= 0xC2 && c <= 0xDF && continuation(1, 0x80, 0xBF)) {
            *out++ = char16_t(((c & 0x1F) << 6) | (in[1] & 0x3F));
            in += 2;
        } else if (c >= 0xE0 && c <= 0xEF &&
                   continuation(1, c == 0xE0 ? 0xA0 : 0x80, c == 0xED ? 0x9F : 0xBF) &&
                   continuation(2, 0x80, 0xBF)) {
            *out++ = char16_t(((c & 0x0F) << 12) | ((in[1] & 0x3F) << 6) | (in[2] & 0x3F));
            in += 3;
        } else if (c >= 0xF0 && c <= 0xF4 &&
                   continuation(1, c == 0xF0 ? 0x90 : 0x80, c == 0xF4 ? 0x8F : 0xBF) &&
                   continuation(2, 0x80, 0xBF) && continuation(3, 0x80, 0xBF)) {
            const char32_t code = (char32_t(c & 0x07) << 18) | (char32_t(in[1] & 0x3F) << 12) |
                                  (char32_t(in[2] & 0x3F) << 6) | char32_t(in[3] & 0x3F);
            *out++ = QChar::highSurrogate(code);
            *out++ = QChar::lowSurrogate(code);
            in += 4;
        } else {
            *out++ = 0xFFFD;
            ++in;
        }
    }
    return out - begin;
}

// The text of a column of the current row, decoded into `buffer`; valid until the next call.
const char16_t *TextAt(sqlite3_stmt *statement, int column, std::vector<char16_t> &buffer,
                       qsizetype &size)
{
    const auto *utf8 = sqlite3_column_text(statement, column);
    const qsizetype bytes = sqlite3_column_bytes(statement, column);
    // A UTF-8 sequence never decodes into more code units than it has bytes.
    if (buffer.size() < size_t(bytes) + 1)
        buffer.resize(size_t(bytes) + 1);
    size = utf8 ? DecodeUtf8(utf8, bytes, buffer.data()) : 0;
    return buffer.data();
}

QString TextOf(sqlite3_stmt *statement, int column)
{
    std::vector<char16_t> buffer;
    qsizetype size = 0;
    const char16_t *text = TextAt(statement, column, buffer, size);
    return QString(reinterpret_cast<const QChar *>(text), size);
}

// A value as the engine reads it: whole numbers, floating point, text, bytes or none.
QVariant ColumnValue(sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column));
    case SQLITE_TEXT:
        return QVariant(TextOf(statement, column));
    case SQLITE_BLOB:
        return QVariant(
            QByteArray(static_cast<const char *>(sqlite3_column_blob(statement, column)),
                       sqlite3_column_bytes(statement, column)));
    default:
        return QVariant();
    }
}

// Why SQLite refused a change, in the user's words where the cause is a common one.
StorageRefusal Refusal(int code, const QString &engineText)
{
    switch (code & 0xff) {
    case SQLITE_READONLY:
        return StorageRefusal(QStringLiteral("файлът е само за четене"),
                              StorageRefusal::Cause::Other, engineText);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return StorageRefusal(
            QStringLiteral("файлът е зает от друга работа с програмата; опитайте отново"),
            StorageRefusal::Cause::Busy, engineText);
    case SQLITE_CANTOPEN:
        return StorageRefusal(QStringLiteral("в папката на файла не може да се пише"),
                              StorageRefusal::Cause::Other, engineText);
    default:
        return StorageRefusal(engineText, StorageRefusal::Cause::Other, engineText);
    }
}
} // namespace

// A prepared statement on the connection. Every use ends in a reset, so that no read lock stays
// on the file: with the rollback journal another program could not write it else.
class SqliteStorage::Statement
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
    void bind(int index, qint64 value)
    {
        if (m_statement)
            sqlite3_bind_int64(m_statement, index, value);
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
    void clearError()
    {
        m_error.clear();
        m_code = SQLITE_OK;
    }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
    QString m_error;
    int m_code = SQLITE_OK;
};

namespace
{
// Resets a statement when leaving the scope, whatever happens.
template <typename S> struct ResetOnExit {
    S &statement;
    ~ResetOnExit() { statement.reset(); }
};
template <typename S> ResetOnExit(S &) -> ResetOnExit<S>;
} // namespace

SqliteStorage::SqliteStorage(const QString &path, Use use) : m_path(path), m_use(use)
{
    m_tableName = QFileInfo(path).completeBaseName();
}

SqliteStorage::~SqliteStorage()
{
    close();
}

void SqliteStorage::open()
{
    if (m_db)
        return;
    const QFileInfo info(m_path);
    if (!info.exists() || !info.isFile())
        throw UserError(
            QStringLiteral("Таблицата не може да бъде отворена: файлът %1 не съществува.")
                .arg(QDir::toNativeSeparators(m_path)));
    const QString problem = connect();
    if (!problem.isEmpty()) {
        close();
        throw UserError(QStringLiteral("Таблицата не може да бъде отворена: %1\n%2")
                            .arg(QDir::toNativeSeparators(m_path), problem.trimmed()));
    }
}

QString SqliteStorage::connect()
{
    // Opening without SQLITE_OPEN_CREATE never creates a missing file; a file that cannot be
    // written is opened for reading and can still be browsed. Each connection is used by one
    // thread at a time, so SQLite's own locking of it is not needed.
    const int flags = (m_use == Use::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) |
                      SQLITE_OPEN_NOMUTEX;
    const QByteArray path = QFileInfo(m_path).absoluteFilePath().toUtf8();
    if (sqlite3_open_v2(path.constData(), &m_db, flags, nullptr) != SQLITE_OK)
        return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db))
                    : QStringLiteral("Няма връзка с файла.");
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);

    // The schema read also proves that the file is a database at all.
    {
        Statement columns(m_db, QStringLiteral("PRAGMA table_info(%1)").arg(Quoted(m_tableName)));
        while (columns.step())
            m_fields.push_back(
                {TextOf(columns.get(), 1), KindOfDeclaredType(TextOf(columns.get(), 2))});
        if (!columns.error().isEmpty())
            return columns.error();
    }
    if (m_fields.empty())
        return QStringLiteral("Файлът не съдържа таблицата %1.").arg(m_tableName);
    {
        Statement kind(m_db, QStringLiteral("SELECT type FROM sqlite_master WHERE name = ? "
                                            "COLLATE NOCASE"));
        kind.bind(1, QVariant(m_tableName));
        m_isView = kind.step() && TextOf(kind.get(), 0) == QLatin1String("view");
    }
    if (m_use == Use::ReadWrite) {
        // The rollback journal keeps DB/ a complete set of files that can be copied or lie in
        // a folder that cannot be written; a file that an earlier version switched to a
        // write-ahead log is switched back when it can be written.
        Statement journal(m_db, QStringLiteral("PRAGMA journal_mode"));
        const bool wal =
            journal.step() &&
            TextOf(journal.get(), 0).compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
        journal.reset();
        if (wal)
            Statement(m_db, QStringLiteral("PRAGMA journal_mode=DELETE")).run();
    }

    m_source = Quoted(m_tableName);
    m_readOnlyReason.clear();
    if (m_isView) {
        // A view has no lasting record numbers to find its records by: it is browsed in a copy
        // and refuses changes with a message that says so.
        Statement copy(m_db, QStringLiteral("CREATE TEMP TABLE \"vornex_view\" AS "
                                            "SELECT * FROM %1")
                                 .arg(m_source));
        if (!copy.run())
            return copy.error();
        m_source = QStringLiteral("temp.\"vornex_view\"");
        m_readOnlyReason = QStringLiteral("%1 е изглед (view), а не таблица, и записите му не "
                                          "могат да бъдат променяни")
                               .arg(m_tableName);
    }
    for (const StorageField &field : m_fields)
        m_columns.append(Quoted(field.name));
    m_scans.resize(m_fields.size());
    Statement &readRow = kept(m_readRow, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                                             .arg(m_columns.join(QLatin1String(", ")), m_source));
    if (!readRow.ok())
        return readRow.error();
    m_dataVersion = dataVersion();
    return QString();
}

void SqliteStorage::close() noexcept
{
    if (!m_db)
        return;
    m_readRow.reset();
    m_readKeys.reset();
    m_version.reset();
    m_scans.clear();
    if (!sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_fields.clear();
    m_columns.clear();
    m_readOnlyReason.clear();
    m_isView = false;
}

SqliteStorage::Statement &SqliteStorage::kept(std::unique_ptr<Statement> &slot, const QString &sql)
{
    if (!slot)
        slot = std::make_unique<Statement>(m_db, sql);
    return *slot;
}

void SqliteStorage::failRead(const QString &engineText) const
{
    throw UserError(QStringLiteral("Таблицата не може да бъде прочетена: %1").arg(engineText));
}

qint64 SqliteStorage::dataVersion()
{
    Statement &version = kept(m_version, QStringLiteral("PRAGMA data_version"));
    ResetOnExit reset{version};
    return version.step() ? sqlite3_column_int64(version.get(), 0) : -1;
}

bool SqliteStorage::changedElsewhere()
{
    // The data version moves with every commit of another connection, never with our own.
    const qint64 version = dataVersion();
    if (version == m_dataVersion)
        return false;
    m_dataVersion = version;
    return true;
}

std::vector<qint64> SqliteStorage::keysAfter(qint64 after, int count)
{
    Statement &read = kept(
        m_readKeys, QStringLiteral("SELECT rowid FROM %1 WHERE rowid > ? ORDER BY rowid LIMIT ?")
                        .arg(m_source));
    ResetOnExit reset{read};
    read.clearError();
    read.bind(1, after);
    read.bind(2, qint64(count));
    std::vector<qint64> keys;
    while (read.step())
        keys.push_back(sqlite3_column_int64(read.get(), 0));
    if (!read.error().isEmpty())
        failRead(read.error());
    return keys;
}

QVector<QVariant> SqliteStorage::record(qint64 key, bool)
{
    // Inside a transaction the file is already reserved for our writes (BEGIN IMMEDIATE): what is
    // read stays as read until the commit, with or without forUpdate.
    Statement &read = *m_readRow;
    ResetOnExit reset{read};
    read.clearError();
    read.bind(1, key);
    QVector<QVariant> values;
    if (read.step()) {
        values.resize(int(m_fields.size()));
        for (int i = 0; i < values.size(); ++i)
            values[i] = ColumnValue(read.get(), i);
    } else if (!read.error().isEmpty()) {
        failRead(read.error());
    }
    return values;
}

int SqliteStorage::scanColumn(int column, qint64 after, int count, const ColumnSink &sink)
{
    Statement &read =
        kept(m_scans[size_t(column)], QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid > ? "
                                                     "ORDER BY rowid LIMIT ?")
                                          .arg(m_columns.at(column), m_source));
    // One statement is one read of the file: what it hands out belongs to one moment.
    ResetOnExit reset{read};
    read.clearError();
    read.bind(1, after);
    read.bind(2, qint64(count));
    int handed = 0;
    ScannedValue value;
    std::vector<char16_t> buffer(256);
    while (read.step()) {
        sqlite3_stmt *row = read.get();
        const qint64 key = sqlite3_column_int64(row, 0);
        switch (sqlite3_column_type(row, 1)) {
        case SQLITE_NULL:
            value.type = ScannedValue::Type::Null;
            break;
        case SQLITE_TEXT:
            // The common case, without a detour through QVariant.
            value.type = ScannedValue::Type::Text;
            value.text = TextAt(row, 1, buffer, value.size);
            break;
        default:
            value.type = ScannedValue::Type::Other;
            value.other = ColumnValue(row, 1);
            break;
        }
        sink(key, value);
        ++handed;
    }
    if (!read.error().isEmpty())
        failRead(read.error());
    return handed;
}

void SqliteStorage::write(Statement &statement)
{
    if (!statement.ok() || !statement.run())
        throw Refusal(statement.code(), statement.error());
}

void SqliteStorage::update(qint64 key, const std::vector<int> &columns,
                           const QVector<QVariant> &values)
{
    if (!m_readOnlyReason.isEmpty())
        throw StorageRefusal(m_readOnlyReason, StorageRefusal::Cause::Other, QString());
    QStringList sets;
    for (const int column : columns)
        sets.append(m_columns.at(column) + QStringLiteral(" = ?"));
    Statement statement(m_db, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                  .arg(m_source, sets.join(QLatin1String(", "))));
    if (!statement.ok())
        throw StorageRefusal(QStringLiteral("таблицата %1 не приема промени (%2)")
                                 .arg(m_tableName, statement.error()),
                             StorageRefusal::Cause::Other, statement.error());
    int place = 1;
    for (const QVariant &value : values)
        statement.bind(place++, value);
    statement.bind(place, key);
    write(statement);
}

qint64 SqliteStorage::insert(const std::vector<int> &columns, const QVector<QVariant> &values)
{
    if (!m_readOnlyReason.isEmpty())
        throw StorageRefusal(m_readOnlyReason, StorageRefusal::Cause::Other, QString());
    QStringList names;
    QStringList marks;
    for (const int column : columns) {
        names.append(m_columns.at(column));
        marks.append(QStringLiteral("?"));
    }
    Statement statement(
        m_db, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(m_source, names.join(QLatin1String(", ")), marks.join(QLatin1String(", "))));
    if (!statement.ok())
        throw StorageRefusal(QStringLiteral("таблицата %1 не приема промени (%2)")
                                 .arg(m_tableName, statement.error()),
                             StorageRefusal::Cause::Other, statement.error());
    int place = 1;
    for (const QVariant &value : values)
        statement.bind(place++, value);
    write(statement);
    return sqlite3_last_insert_rowid(m_db);
}

void SqliteStorage::remove(qint64 key)
{
    if (!m_readOnlyReason.isEmpty())
        throw StorageRefusal(m_readOnlyReason, StorageRefusal::Cause::Other, QString());
    Statement statement(m_db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(m_source));
    statement.bind(1, key);
    write(statement);
}

void SqliteStorage::begin()
{
    // IMMEDIATE: the file is reserved for writing now, not at the first write.
    Statement begin(m_db, QStringLiteral("BEGIN IMMEDIATE"));
    write(begin);
}

void SqliteStorage::commit()
{
    Statement commit(m_db, QStringLiteral("COMMIT"));
    write(commit);
}

void SqliteStorage::rollback() noexcept
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

std::unique_ptr<TableStorage> SqliteStorage::reader() const
{
    // A view is browsed in a copy that only this connection sees.
    if (m_isView)
        return nullptr;
    return std::make_unique<SqliteStorage>(m_path, Use::ReadOnly);
}
