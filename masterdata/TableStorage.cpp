#include "masterdata/TableStorage.h"

#include "base/Decimal.h"
#include "masterdata/PostgresStorage.h"
#include "masterdata/ServerConnection.h"
#include "masterdata/SqliteStorage.h"

#include <QFileInfo>

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

void TableStorage::watch(std::function<void()>) {}

std::unique_ptr<TableStorage> StorageForFile(const QString &path)
{
    if (const std::optional<ServerSettings> server = Server::ForFile(path))
        return std::make_unique<PostgresStorage>(*server, QFileInfo(path).completeBaseName(),
                                                 PostgresStorage::Use::ReadWrite);
    return std::make_unique<SqliteStorage>(path, SqliteStorage::Use::ReadWrite);
}
