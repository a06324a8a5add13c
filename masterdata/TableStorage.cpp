#include "masterdata/TableStorage.h"

#include "base/Decimal.h"
#include "masterdata/SqliteStorage.h"

bool IsNumeric(FieldKind kind)
{
    return kind == FieldKind::Integer || kind == FieldKind::Float;
}

QString EditText(FieldKind kind, const QVariant &value)
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

StorageRefusal::StorageRefusal(const QString &reason, Cause cause, const QString &engineText)
    : UserError(reason), m_cause(cause), m_engineText(engineText)
{
}

TableStorage::~TableStorage() = default;

std::unique_ptr<TableStorage> StorageForFile(const QString &path)
{
    return std::make_unique<SqliteStorage>(path, SqliteStorage::Use::ReadWrite);
}
