#include "masterdata/Table.h"

#include "base/Decimal.h"
#include "base/Errors.h"

#include <QDir>

#include <algorithm>

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
    return m_table->columnOfField(m_column);
}

void TField::SetIndex(int position)
{
    const int before = Index();
    m_table->moveField(m_column, position);
    if (Index() != before)
        emit m_table->RecordChanged();
}

// ---- TTable ----

TTable::TTable(QObject *parent) : TableModel(parent) {}

TTable::~TTable()
{
    // A destroyed table saves what it can but never throws out of a destructor; the windows that
    // showed it are gone, so a refusal is only logged.
    blockSignals(true);
    if (m_state == State::Edit || m_state == State::Insert) {
        try {
            Post();
        } catch (const UserError &error) {
            qWarning("%s", error.what());
        }
    }
    m_records.reset();
    if (m_storage)
        m_storage->close();
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

QString TTable::cannotWrite(const QString &action, const QString &reason) const
{
    return action.arg(m_fileName) + QStringLiteral(": ") + reason + QLatin1Char('.');
}

void TTable::Open()
{
    if (Active())
        return;
    std::unique_ptr<TableStorage> storage = StorageForFile(FilePath());
    storage->open();
    m_storage = std::move(storage);
    int column = 0;
    for (const StorageField &field : m_storage->fields())
        m_fields.push_back(std::make_unique<TField>(this, column++, field.name, field.kind));
    m_records = std::make_unique<TableRecords>(*m_storage);
    setSource(m_records.get(), m_storage->fields());

    // A filter left in force applies to the newly opened table when it names one of its fields;
    // otherwise it is dropped.
    if (!m_filterText.isEmpty()) {
        FilterCondition condition;
        QString missing;
        if (parseFilter(m_filterText, condition, missing) && missing.isEmpty()) {
            m_filter = condition;
        } else {
            m_filter = FilterCondition();
            m_filtered = false;
        }
    }
    m_state = State::Browse;
    try {
        m_records->setFilter(m_filtered ? m_filter.column : -1, m_filter.kind, m_filter.text);
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
        m_storage->rollback();
        m_inTransaction = false;
    }
    {
        const Changing changing(*this);
        beginResetModel();
        m_state = State::Inactive;
        setSource(nullptr, {});
        m_records.reset();
        m_storage->close();
        m_storage.reset();
        m_current = -1;
        m_buffer.clear();
        m_changed.clear();
        m_modified = false;
        m_fields.clear();
        m_filter = FilterCondition();
        endResetModel();
    }
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
    const int field = fieldAtColumn(position);
    return field >= 0 ? m_fields[size_t(field)].get() : nullptr;
}

int TTable::RecordCount() const
{
    return Active() ? int(m_records->total()) : 0;
}

bool TTable::IsEmpty() const
{
    return m_state != State::Insert && (!Active() || !m_records->haveVisible(0));
}

qint64 TTable::currentKey() const
{
    return m_current >= 0 && m_records->haveVisible(size_t(m_current))
               ? m_records->keyAt(size_t(m_current))
               : -1;
}

const QVector<QVariant> &TTable::currentValues() const
{
    static const QVector<QVariant> none;
    if (m_state == State::Edit || m_state == State::Insert)
        return m_buffer;
    if (m_records && currentKey() >= 0)
        return m_records->values(currentKey());
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
        if (m_current < 0)
            Insert();
        else
            Edit();
    }
    m_buffer[column] = value;
    m_changed.insert(column);
    m_modified = true;
    const int row = rowOfRecord();
    const int position = columnOfField(column);
    emit dataChanged(index(row, position), index(row, position));
    emit RecordChanged();
}

QString TTable::editText(int column, const QVariant &value) const
{
    if (column < 0 || column >= int(m_fields.size()))
        return QString();
    return EditText(m_fields[size_t(column)]->Kind(), value);
}

int TTable::rowOfRecord() const
{
    return m_state == State::Insert ? shownRows() : m_current;
}

int TTable::editedRow() const
{
    return m_state == State::Edit || m_state == State::Insert ? rowOfRecord() : -1;
}

QVariant TTable::editedValue(int field) const
{
    return value(field);
}

bool TTable::writeCell(int row, int field, const QString &text)
{
    TField *target = m_fields[size_t(field)].get();
    if (row != rowOfRecord()) {
        SetRecNo(row + 1);
        if (row != rowOfRecord())
            return false;
    }
    if (text != target->AsString())
        target->SetAsString(text);
    return true;
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
    if (recNo < 1 || recNo == RecNo() || !m_records->haveVisible(size_t(recNo - 1)))
        return;
    savePending();
    moveTo(recNo - 1);
}

void TTable::moveTo(int index)
{
    // A save may have changed the records visible; stay within them.
    if (!m_records->haveVisible(0))
        index = -1;
    else if (index < 0)
        index = 0;
    else if (!m_records->haveVisible(size_t(index)))
        index = int(m_records->materialized()) - 1;
    if (index == m_current)
        return;
    m_current = index;
    showUpTo(index);
    emit RecordChanged();
}

void TTable::resetRecords(qint64 keepKey, int fallbackIndex)
{
    int index = keepKey >= 0 ? m_records->indexOf(keepKey) : -1;
    if (index < 0 && m_records->haveVisible(0)) {
        index = std::max(fallbackIndex, 0);
        if (!m_records->haveVisible(size_t(index)))
            index = int(m_records->materialized()) - 1;
    }
    m_current = index;
    resetRows(index);
    emit RecordChanged();
}

bool TTable::syncWithFile()
{
    if (!m_storage->changedElsewhere())
        return false;
    // Another program wrote the file: what was read of it may be out of date.
    const qint64 key = m_state == State::Browse ? currentKey() : -1;
    m_records->forgetAll();
    resetRecords(key, m_current);
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
    moveTo(int(m_records->total()) - 1);
}

void TTable::Next()
{
    requireActive();
    savePending();
    if (m_current >= 0 && m_records->haveVisible(size_t(m_current) + 1))
        moveTo(m_current + 1);
}

bool TTable::Locate(const QString &fieldName, const QString &text, bool caseInsensitive,
                    bool partialKey)
{
    requireActive();
    const int column = FieldByName(fieldName)->FieldNo();
    savePending();
    syncWithFile();
    const int index = m_records->locate(column, text, caseInsensitive, partialKey);
    if (index < 0)
        return false;
    moveTo(index);
    return true;
}

void TTable::SearchAhead(const QString &fieldName)
{
    if (!Active())
        return;
    if (const TField *field = FindField(fieldName))
        m_records->searchAhead(field->FieldNo());
}

void TTable::SetFilter(const QString &fieldName, FilterKind kind, const QString &text)
{
    SetFilter(fieldName +
              (kind == FilterKind::Equal ? QStringLiteral(" = '") : QStringLiteral(" >= '")) +
              text + QLatin1Char('\''));
}

bool TTable::parseFilter(const QString &expression, FilterCondition &condition,
                         QString &fieldMissing) const
{
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
        return false;
    const QString name = expression.left(at).trimmed();
    const TField *field = FindField(name);
    fieldMissing = field ? QString() : name;
    condition.column = field ? field->FieldNo() : -1;
    condition.text = expression.mid(at + markerLength, expression.size() - 1 - (at + markerLength));
    return true;
}

void TTable::SetFilter(const QString &expression)
{
    FilterCondition condition;
    if (!expression.isEmpty()) {
        QString missing;
        if (!parseFilter(expression, condition, missing))
            fail(QStringLiteral("Невалиден филтър: %1").arg(expression));
        if (!missing.isEmpty())
            fail(
                QStringLiteral("%1: Field '%2' not found")
                    .arg(objectName().isEmpty() ? QStringLiteral("Table") : objectName(), missing));
    }
    m_filterText = expression;
    m_filter = condition;
    if (m_filtered && Active()) {
        savePending();
        syncWithFile();
        m_records->setFilter(m_filter.column, m_filter.kind, m_filter.text);
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
        m_records->setFilter(m_filtered ? m_filter.column : -1, m_filter.kind, m_filter.text);
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
    m_records->forgetValues();
    if (m_inTransaction && currentKey() >= 0)
        m_records->reread(currentKey(), true);
    if (shownRows() > 0)
        emit dataChanged(index(0, 0), index(shownRows() - 1, columnCount() - 1));
    emit RecordChanged();
}

void TTable::Edit()
{
    requireActive();
    if (m_state != State::Browse || m_current < 0)
        return;
    m_buffer = currentValues();
    m_buffer.resize(int(m_fields.size()));
    m_changed.clear();
    m_modified = false;
    m_state = State::Edit;
}

void TTable::Insert()
{
    requireActive();
    savePending();
    // The new record comes after every visible one.
    const size_t total = m_records->total();
    if (total > 0)
        showUpTo(int(total) - 1);
    {
        const int row = shownRows();
        const Changing changing(*this);
        beginInsertRows(QModelIndex(), row, row);
        m_buffer = QVector<QVariant>(int(m_fields.size()));
        m_changed.clear();
        m_modified = false;
        m_state = State::Insert;
        endInsertRows();
    }
    emit RecordChanged();
}

void TTable::Cancel()
{
    if (m_state == State::Insert) {
        {
            const int row = shownRows();
            const Changing changing(*this);
            beginRemoveRows(QModelIndex(), row, row);
            m_state = State::Browse;
            m_buffer.clear();
            m_changed.clear();
            m_modified = false;
            endRemoveRows();
        }
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
    if ((m_state == State::Edit || m_state == State::Insert) && m_changed.isEmpty()) {
        Cancel();
        return;
    }
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    std::vector<int> columns(m_changed.begin(), m_changed.end());
    std::sort(columns.begin(), columns.end());
    QVector<QVariant> values;
    for (const int column : columns)
        values.append(m_buffer[column]);
    const bool inserted = m_state == State::Insert;
    qint64 key = -1;
    try {
        if (inserted) {
            key = m_storage->insert(columns, values);
        } else {
            key = currentKey();
            m_storage->update(key, columns, values);
        }
    } catch (const StorageRefusal &refusal) {
        fail(
            cannotWrite(QStringLiteral("Записът не може да бъде запазен в %1"), refusal.message()));
    }

    const int fallback = inserted ? shownRows() : m_current;
    m_state = State::Browse;
    m_buffer.clear();
    m_changed.clear();
    m_modified = false;
    m_records->saved(key, columns, inserted);
    if (!inserted && !m_records->filterOn()) {
        // Only this record changed: the grid re-reads its row.
        if (m_current >= 0)
            emit dataChanged(index(m_current, 0), index(m_current, columnCount() - 1));
        emit RecordChanged();
        return;
    }
    // A new record, or one the filter may now keep or drop.
    resetRecords(key, fallback);
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
    const qint64 key = currentKey();
    try {
        m_storage->remove(key);
    } catch (const StorageRefusal &refusal) {
        fail(
            cannotWrite(QStringLiteral("Записът не може да бъде изтрит от %1"), refusal.message()));
    }
    const int at = m_current;
    m_records->deleted(key);
    resetRecords(-1, at);
}

void TTable::StartTransaction()
{
    requireActive();
    if (m_inTransaction)
        return;
    try {
        m_storage->begin();
    } catch (const StorageRefusal &refusal) {
        if (refusal.cause() == StorageRefusal::Cause::Busy)
            fail(QStringLiteral(
                     "Файлът %1 е зает от друга работа с програмата. Опитайте отново.\n%2")
                     .arg(QDir::toNativeSeparators(FilePath()), refusal.engineText()));
        fail(cannotWrite(QStringLiteral("Промените в %1 не могат да бъдат запазени"),
                         refusal.message()));
    }
    m_inTransaction = true;
    m_records->setInTransaction(true);
}

void TTable::Commit()
{
    if (!m_inTransaction)
        return;
    savePending();
    try {
        m_storage->commit();
    } catch (const StorageRefusal &refusal) {
        fail(cannotWrite(QStringLiteral("Промените в %1 не могат да бъдат запазени"),
                         refusal.message()));
    }
    m_inTransaction = false;
    m_records->setInTransaction(false);
}

void TTable::Rollback()
{
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    Cancel();
    m_storage->rollback();
    m_records->setInTransaction(false);
    // What was read since the start may hold changes that are gone now. Reading the records
    // again may fail (the file became unreadable): the grid is then left empty and the user told,
    // for Rollback itself must not throw from the clean-up of another error.
    try {
        const qint64 key = currentKey();
        m_records->forgetAll();
        resetRecords(key, m_current);
    } catch (const UserError &error) {
        m_records->forgetAll();
        m_current = -1;
        clearRows();
        emit ErrorOccurred(error.message());
    }
}
