#include "masterdata/TableModel.h"

#include "masterdata/TableRecords.h"

#include <QMetaObject>

TableModel::TableModel(QObject *parent) : QAbstractTableModel(parent) {}

void TableModel::setSource(TableRecords *records, const std::vector<StorageField> &fields)
{
    m_records = records;
    m_fields = fields;
    m_order.clear();
    for (int i = 0; i < int(m_fields.size()); ++i)
        m_order.append(i);
    if (!records)
        m_shown = 0;
}

void TableModel::resetRows(int index)
{
    // What the grid will be shown is read before it is told to start over, so that a failing
    // read leaves it as it was.
    int shown = 0;
    if (m_records) {
        m_records->haveVisible(size_t(std::max(kPage, index + 1)) - 1);
        shown = int(std::min(m_records->materialized(), size_t(std::max(kPage, index + 1))));
    }
    const Changing changing(*this);
    beginResetModel();
    m_shown = shown;
    endResetModel();
}

void TableModel::clearRows()
{
    const Changing changing(*this);
    beginResetModel();
    m_shown = 0;
    endResetModel();
}

void TableModel::showUpTo(int index)
{
    if (m_changing || !m_records || index < m_shown)
        return;
    const int shown = int(std::min(m_records->materialized(), size_t(index) + 1));
    if (shown <= m_shown)
        return;
    const Changing changing(*this);
    beginInsertRows(QModelIndex(), m_shown, shown - 1);
    m_shown = shown;
    endInsertRows();
}

int TableModel::fieldAtColumn(int position) const
{
    return position >= 0 && position < int(m_order.size()) ? m_order[position] : -1;
}

int TableModel::columnOfField(int field) const
{
    return int(m_order.indexOf(field));
}

void TableModel::moveField(int field, int position)
{
    position = qBound(0, position, int(m_order.size()) - 1);
    if (columnOfField(field) == position)
        return;
    const Changing changing(*this);
    beginResetModel();
    m_order.removeOne(field);
    m_order.insert(position, field);
    endResetModel();
}

int TableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_records)
        return 0;
    return m_shown + (inserting() ? 1 : 0);
}

int TableModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_records)
        return 0;
    return int(m_order.size());
}

void TableModel::reportUnreadable(const QString &message) const
{
    if (m_reportPending)
        return;
    m_reportPending = true;
    auto *self = const_cast<TableModel *>(this);
    QMetaObject::invokeMethod(
        self,
        [self, message] {
            self->m_reportPending = false;
            emit self->ErrorOccurred(message);
        },
        Qt::QueuedConnection);
}

QVariant TableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= int(m_order.size()) || !m_records)
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    const int field = m_order[index.column()];
    const int row = index.row();
    QVariant stored;
    if (row == editedRow()) {
        stored = editedValue(field);
    } else if (row >= 0 && row < m_shown) {
        try {
            if (m_records->haveVisible(size_t(row)))
                stored = m_records->values(m_records->keyAt(size_t(row))).value(field);
        } catch (const UserError &error) {
            // The grid paints: a record that cannot be read now shows empty, and the user is
            // told once the painting is over.
            reportUnreadable(error.message());
        }
    }
    const FieldKind kind = m_fields[size_t(field)].kind;
    if (kind == FieldKind::Graphic)
        return role == Qt::DisplayRole && !stored.isNull() && !stored.toByteArray().isEmpty()
                   ? QStringLiteral("(картина)")
                   : QString();
    QString text = EditText(kind, stored);
    if (role == Qt::DisplayRole && kind == FieldKind::Memo)
        text.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
    return text;
}

bool TableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.column() >= int(m_order.size()))
        return false;
    try {
        return writeCell(index.row(), m_order[index.column()], value.toString());
    } catch (const UserError &error) {
        emit ErrorOccurred(error.message());
        return false;
    }
}

Qt::ItemFlags TableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int field = fieldAtColumn(index.column());
    // Descriptions are edited in the memo below the grid and logos by a click on the picture.
    if (field >= 0 && m_fields[size_t(field)].kind != FieldKind::Graphic &&
        m_fields[size_t(field)].kind != FieldKind::Memo)
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal) {
        const int field = fieldAtColumn(section);
        return field >= 0 ? QVariant(m_fields[size_t(field)].name) : QVariant();
    }
    return section + 1;
}

bool TableModel::canFetchMore(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_records || inserting())
        return false;
    return size_t(m_shown) < m_records->materialized() || !m_records->complete();
}

void TableModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid() || !m_records || inserting() || m_changing)
        return;
    try {
        m_records->haveVisible(size_t(m_shown) + 4 * kPage - 1);
        showUpTo(int(std::min(m_records->materialized(), size_t(m_shown) + 4 * kPage)) - 1);
    } catch (const UserError &error) {
        emit ErrorOccurred(error.message());
    }
}
