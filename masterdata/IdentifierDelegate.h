#pragma once

#include <QStyledItemDelegate>

class TTable;

// The record grid's cells of the identifiers (VAT numbers, ЕИК/ID, IBAN): a value that fails its
// check is shown on a pink ground with the reason as its tooltip, and writing a new such value
// asks once whether to keep it.
class TIdentifierDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    TIdentifierDelegate(TTable *table, QObject *parent);

    // The ground of a marked cell.
    static QColor MarkColour();

    // Asks before a value that fails its check replaces another; "Не" keeps the old value.
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    // Why the cell's value (or the value given) fails its check; empty when it passes or the
    // column holds no identifier.
    QString problem(const QModelIndex &index, const QString &value) const;

    TTable *m_table;
    // Set while the question is open: the editor losing its focus to the question box must not
    // write (and ask) a second time.
    mutable bool m_asking = false;
};
