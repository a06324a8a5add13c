#pragma once

#include "ledger/SalesLedger.h"

#include <QAbstractTableModel>
#include <QWidget>

class QLabel;
class QListWidget;
class QTableView;

// The records of a sales ledger as a table: one row per record, then the period's totals.
class SalesLedgerModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit SalesLedgerModel(QObject *parent = nullptr);

    // Shows another ledger.
    void setLedger(const Ledger::SalesLedger &ledger);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    Ledger::SalesLedger m_ledger;
};

// The sales ledger on screen: a line of what it holds, the table of its records and totals, and
// below them the documents that cannot go into it with the reason, while there are any.
class SalesLedgerView : public QWidget
{
    Q_OBJECT
public:
    explicit SalesLedgerView(QWidget *parent = nullptr);

    // Shows another ledger.
    void setLedger(const Ledger::SalesLedger &ledger);

private:
    SalesLedgerModel *m_model;
    QLabel *m_summary;
    QTableView *m_table;
    QLabel *m_refusedTitle;
    QListWidget *m_refused;
};
