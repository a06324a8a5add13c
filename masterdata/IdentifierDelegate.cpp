#include "masterdata/IdentifierDelegate.h"

#include "masterdata/Identifiers.h"
#include "masterdata/Table.h"
#include "ui/Dialogs.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMetaProperty>
#include <QToolTip>

TIdentifierDelegate::TIdentifierDelegate(TTable *table, QObject *parent)
    : QStyledItemDelegate(parent), m_table(table)
{
}

QColor TIdentifierDelegate::MarkColour()
{
    return QColor(255, 192, 192);
}

QString TIdentifierDelegate::problem(const QModelIndex &index, const QString &value) const
{
    const TField *field = m_table->Active() ? m_table->FieldAt(index.column()) : nullptr;
    if (!field)
        return QString();
    const IdentifierKind kind = Identifiers::KindOfField(
        QFileInfo(m_table->TableName()).completeBaseName(), field->FieldName());
    return Identifiers::Problem(kind, field->FieldName(), value);
}

void TIdentifierDelegate::initStyleOption(QStyleOptionViewItem *option,
                                          const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (!problem(index, index.data(Qt::EditRole).toString()).isEmpty())
        option->backgroundBrush = MarkColour();
}

bool TIdentifierDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                    const QStyleOptionViewItem &option, const QModelIndex &index)
{
    const QString why = problem(index, index.data(Qt::EditRole).toString());
    if (why.isEmpty() || event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QToolTip::showText(event->globalPos(), why, view);
    return true;
}

void TIdentifierDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                       const QModelIndex &index) const
{
    if (m_asking)
        return;
    const QByteArray property = editor->metaObject()->userProperty().name();
    const QString value = editor->property(property.constData()).toString();
    const QString why = problem(index, value);
    if (!why.isEmpty() && value != index.data(Qt::EditRole).toString()) {
        m_asking = true;
        const bool keep = dialogs().askYesNo(why + QStringLiteral(". Запиши въпреки това?"));
        m_asking = false;
        if (!keep)
            return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}
