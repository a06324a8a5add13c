#include "masterdata/Table.h"

#include "app/Convert.h"
#include "app/Errors.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <algorithm>

namespace
{
int connectionCounter = 0;

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
} // namespace

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
            stored = StrToInt64(text);
        break;
    case FieldKind::Float:
        if (!text.trimmed().isEmpty())
            stored = StrToFloat(text);
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

void TTable::Open()
{
    if (Active())
        return;
    const QString path = FilePath();
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        fail(QStringLiteral("Таблицата не може да бъде отворена: файлът %1 не съществува.")
                 .arg(QDir::toNativeSeparators(path)));

    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        // A URI with mode=rw: opening never creates a missing file.
        const QString uri =
            QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded) +
            QStringLiteral("?mode=rw");
        db.setDatabaseName(uri);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open()) {
            problem = db.lastError().text();
        } else {
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
                    problem = QStringLiteral("Файлът не съдържа таблицата %1.")
                                  .arg(QFileInfo(m_fileName).completeBaseName());
            }
            if (problem.isEmpty()) {
                // Another instance may hold the file for a moment ("Нова фактура").
                QSqlQuery wal(db);
                wal.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
            }
        }
        if (!problem.isEmpty())
            db.close();
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
    beginResetModel();
    try {
        load(-1, 0);
    } catch (...) {
        endResetModel();
        m_state = State::Browse;
        Close();
        throw;
    }
    endResetModel();
    emit RecordChanged();
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
        QSqlQuery rollback(QSqlDatabase::database(m_connection, false));
        rollback.exec(QStringLiteral("ROLLBACK"));
        m_inTransaction = false;
    }
    beginResetModel();
    m_state = State::Inactive;
    m_rows.clear();
    m_current = -1;
    m_buffer.clear();
    m_changed.clear();
    m_modified = false;
    m_fields.clear();
    m_order.clear();
    m_filter = FilterCondition();
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

const QVector<QVariant> &TTable::currentValues() const
{
    static const QVector<QVariant> none;
    if (m_state == State::Edit || m_state == State::Insert)
        return m_buffer;
    if (m_current >= 0 && m_current < int(m_rows.size()))
        return m_rows[size_t(m_current)].values;
    return none;
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
        if (m_rows.empty())
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
    if (value.isNull() || column < 0 || column >= int(m_fields.size()))
        return QString();
    switch (m_fields[size_t(column)]->Kind()) {
    case FieldKind::Integer:
        if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int)
            return QString::number(value.toLongLong());
        if (value.typeId() == QMetaType::Double)
            return FloatToStr(value.toDouble());
        return value.toString();
    case FieldKind::Float:
        if (value.typeId() == QMetaType::Double)
            return FloatToStr(value.toDouble());
        return value.toString();
    case FieldKind::Graphic:
        return QString();
    case FieldKind::Text:
    case FieldKind::Memo:
        break;
    }
    return value.toString();
}

int TTable::rowOfRecord() const
{
    return m_state == State::Insert ? int(m_rows.size()) : m_current;
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
    if (recNo < 1 || recNo > int(m_rows.size()) || recNo == RecNo())
        return;
    savePending();
    moveTo(recNo - 1);
}

void TTable::moveTo(int index)
{
    // A save may have re-read the rows; stay within them.
    if (m_rows.empty())
        index = -1;
    else
        index = qBound(0, index, int(m_rows.size()) - 1);
    if (index == m_current)
        return;
    m_current = index;
    emit RecordChanged();
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
    moveTo(int(m_rows.size()) - 1);
}

bool TTable::Locate(const QString &fieldName, const QString &text, bool caseInsensitive,
                    bool partialKey)
{
    requireActive();
    const TField *field = FieldByName(fieldName);
    const Qt::CaseSensitivity cs = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (int i = 0; i < int(m_rows.size()); ++i) {
        const QString value =
            editText(field->FieldNo(), m_rows[size_t(i)].values[field->FieldNo()]);
        const bool match = partialKey ? value.startsWith(text, cs) : value.compare(text, cs) == 0;
        if (match) {
            // The save may re-read the rows; find the record again by its key.
            const qint64 rowid = m_rows[size_t(i)].rowid;
            savePending();
            int found = i;
            for (int j = 0; j < int(m_rows.size()); ++j)
                if (m_rows[size_t(j)].rowid == rowid)
                    found = j;
            moveTo(found);
            return true;
        }
    }
    return false;
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
        beginResetModel();
        load(-1, 0);
        endResetModel();
        emit RecordChanged();
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
        beginResetModel();
        load(-1, 0);
        endResetModel();
        emit RecordChanged();
    }
}

bool TTable::visible(const Row &row) const
{
    if (!m_filtered || m_filter.column < 0)
        return true;
    const int column = m_filter.column;
    const QVariant &stored = row.values[column];
    if (stored.isNull() && m_filter.kind == FilterKind::AtLeast)
        return false;
    const FieldKind kind = m_fields[size_t(column)]->Kind();
    if (IsNumeric(kind) && !stored.isNull()) {
        // Numbers compare as numbers; a text that is not one compares as text.
        bool ok = false;
        const double wanted = m_filter.text.trimmed().toDouble(&ok);
        bool okStored = false;
        const double have = stored.toDouble(&okStored);
        if (ok && okStored)
            return m_filter.kind == FilterKind::Equal ? have == wanted : have >= wanted;
    }
    const int order = editText(column, stored).compare(m_filter.text, Qt::CaseInsensitive);
    return m_filter.kind == FilterKind::Equal ? order == 0 : order >= 0;
}

void TTable::load(qint64 keepRowid, int fallbackIndex)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QStringList columns;
    for (const auto &field : m_fields)
        columns.append(quoted(field->FieldName()));
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid")
                        .arg(columns.join(QLatin1String(", ")), tableIdentifier())))
        fail(QStringLiteral("Таблицата %1 не може да бъде прочетена: %2")
                 .arg(m_fileName, query.lastError().text()));
    m_rows.clear();
    const int count = int(m_fields.size());
    while (query.next()) {
        Row row;
        row.rowid = query.value(0).toLongLong();
        row.values.resize(count);
        for (int i = 0; i < count; ++i)
            row.values[i] = query.value(i + 1);
        if (visible(row))
            m_rows.push_back(std::move(row));
    }
    m_current = -1;
    for (int i = 0; i < int(m_rows.size()) && keepRowid >= 0; ++i)
        if (m_rows[size_t(i)].rowid == keepRowid)
            m_current = i;
    if (m_current < 0 && !m_rows.empty())
        m_current = qBound(0, fallbackIndex, int(m_rows.size()) - 1);
}

void TTable::Refresh()
{
    requireActive();
    savePending();
    const qint64 rowid = m_current >= 0 ? m_rows[size_t(m_current)].rowid : -1;
    beginResetModel();
    load(rowid, m_current);
    endResetModel();
    emit RecordChanged();
}

void TTable::Edit()
{
    requireActive();
    if (m_state != State::Browse || m_current < 0)
        return;
    m_buffer = m_rows[size_t(m_current)].values;
    m_changed.clear();
    m_modified = false;
    m_state = State::Edit;
}

void TTable::Insert()
{
    requireActive();
    savePending();
    const int row = int(m_rows.size());
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
        const int row = int(m_rows.size());
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

    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QList<int> columns = m_changed.values();
    std::sort(columns.begin(), columns.end());
    QStringList names;
    for (int column : columns)
        names.append(quoted(m_fields[size_t(column)]->FieldName()));

    QSqlQuery query(db);
    if (m_state == State::Edit) {
        QStringList sets;
        for (const QString &name : names)
            sets.append(name + QStringLiteral(" = ?"));
        query.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                          .arg(tableIdentifier(), sets.join(QLatin1String(", "))));
    } else {
        QStringList marks;
        for (int i = 0; i < names.size(); ++i)
            marks.append(QStringLiteral("?"));
        query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(tableIdentifier(), names.join(QLatin1String(", ")),
                               marks.join(QLatin1String(", "))));
    }
    for (int column : columns) {
        const QVariant &v = m_buffer[column];
        if (v.isNull() && m_fields[size_t(column)]->Kind() == FieldKind::Graphic)
            query.addBindValue(QVariant(QMetaType(QMetaType::QByteArray)));
        else
            query.addBindValue(v);
    }
    qint64 rowid = -1;
    if (m_state == State::Edit) {
        rowid = m_rows[size_t(m_current)].rowid;
        query.addBindValue(rowid);
    }
    if (!query.exec())
        fail(QStringLiteral("Записът не може да бъде запазен в %1: %2")
                 .arg(m_fileName, query.lastError().text()));
    if (m_state == State::Insert)
        rowid = query.lastInsertId().toLongLong();

    const int fallback = m_state == State::Insert ? int(m_rows.size()) : m_current;
    beginResetModel();
    m_state = State::Browse;
    m_buffer.clear();
    m_changed.clear();
    m_modified = false;
    load(rowid, fallback);
    endResetModel();
    emit RecordChanged();
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
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(tableIdentifier()));
    query.addBindValue(m_rows[size_t(m_current)].rowid);
    if (!query.exec())
        fail(QStringLiteral("Записът не може да бъде изтрит от %1: %2")
                 .arg(m_fileName, query.lastError().text()));
    const int at = m_current;
    beginResetModel();
    load(-1, at);
    endResetModel();
    emit RecordChanged();
}

void TTable::StartTransaction()
{
    requireActive();
    if (m_inTransaction)
        return;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    // IMMEDIATE: the file is reserved for writing now, not at the first write.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        fail(QStringLiteral("Файлът %1 е зает от друга работа с програмата. Опитайте отново.\n%2")
                 .arg(QDir::toNativeSeparators(FilePath()), query.lastError().text()));
    m_inTransaction = true;
}

void TTable::Commit()
{
    if (!m_inTransaction)
        return;
    savePending();
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral("COMMIT")))
        fail(QStringLiteral("Промените в %1 не могат да бъдат запазени: %2")
                 .arg(m_fileName, query.lastError().text()));
    m_inTransaction = false;
}

void TTable::Rollback()
{
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    Cancel();
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.exec(QStringLiteral("ROLLBACK"));
    try {
        Refresh();
    } catch (const std::exception &) {
    }
}

// ---- the item model ----

int TTable::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !Active())
        return 0;
    return int(m_rows.size()) + (m_state == State::Insert ? 1 : 0);
}

int TTable::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !Active())
        return 0;
    return int(m_order.size());
}

QVariant TTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= int(m_order.size()))
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    const int column = m_order[index.column()];
    const int row = index.row();
    QVariant stored;
    if (row == rowOfRecord())
        stored = value(column);
    else if (row >= 0 && row < int(m_rows.size()))
        stored = m_rows[size_t(row)].values[column];
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
