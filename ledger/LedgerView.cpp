#include "ledger/LedgerView.h"

#include "base/Decimal.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace
{
// The text columns before the amounts.
enum TextColumn { Sequence, Type, Number, Date, Recipient, Identifier, Description, kTextColumns };

const char *const kTextTitles[kTextColumns] = {
    "№", "Вид", "Документ №", "Дата", "Получател", "Идентификатор", "Стока / услуга"};

QString TypeCode(Ledger::DocumentType type)
{
    return type == Ledger::DocumentType::CreditNote  ? QStringLiteral("03")
           : type == Ledger::DocumentType::DebitNote ? QStringLiteral("02")
                                                     : QStringLiteral("01");
}

QString Text(const Ledger::Record &record, int column)
{
    switch (column) {
    case Sequence:
        return QString::number(record.sequence);
    case Type:
        return TypeCode(record.type);
    case Number:
        return QStringLiteral("%1").arg(record.number, 10, 10, QLatin1Char('0'));
    case Date:
        return record.date.toString(QStringLiteral("dd.MM.yyyy"));
    case Recipient:
        return record.recipientName;
    case Identifier:
        return record.recipientId;
    case Description:
        return record.description;
    }
    return Decimal::FixedToText(record.amounts[column - kTextColumns], 2);
}
} // namespace

SalesLedgerModel::SalesLedgerModel(QObject *parent) : QAbstractTableModel(parent) {}

void SalesLedgerModel::setLedger(const Ledger::SalesLedger &ledger)
{
    beginResetModel();
    m_ledger = ledger;
    endResetModel();
}

int SalesLedgerModel::rowCount(const QModelIndex &parent) const
{
    // The records and the totals under them.
    return parent.isValid() ? 0 : int(m_ledger.records.size()) + 1;
}

int SalesLedgerModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kTextColumns + Ledger::kColumnCount;
}

QVariant SalesLedgerModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const int column = index.column();
    const bool totals = index.row() == m_ledger.records.size();
    if (role == Qt::TextAlignmentRole)
        return column >= kTextColumns || column == Sequence
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    if (role == Qt::FontRole && totals) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role != Qt::DisplayRole)
        return QVariant();
    if (!totals)
        return Text(m_ledger.records.at(index.row()), column);
    if (column >= kTextColumns)
        return Decimal::FixedToText(m_ledger.totals[column - kTextColumns], 2);
    return column == Recipient ? QStringLiteral("Общо за периода") : QString();
}

QVariant SalesLedgerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section < kTextColumns)
        return QString::fromUtf8(kTextTitles[section]);
    const int amount = section - kTextColumns;
    return Ledger::ColumnCode(amount) + QLatin1Char('\n') + Ledger::ColumnCaption(amount);
}

SalesLedgerView::SalesLedgerView(QWidget *parent)
    : QWidget(parent), m_model(new SalesLedgerModel(this)), m_summary(new QLabel(this)),
      m_table(new QTableView(this)),
      m_refusedTitle(new QLabel(QStringLiteral("Документи извън дневника:"), this)),
      m_refused(new QListWidget(this))
{
    m_summary->setObjectName(QStringLiteral("LedgerSummary"));
    m_table->setObjectName(QStringLiteral("LedgerTable"));
    m_refused->setObjectName(QStringLiteral("RefusedList"));
    m_table->setModel(m_model);
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_refused->setSelectionMode(QAbstractItemView::NoSelection);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_table, 3);
    layout->addWidget(m_refusedTitle);
    layout->addWidget(m_refused, 1);
    setLedger(Ledger::SalesLedger());
}

void SalesLedgerView::setLedger(const Ledger::SalesLedger &ledger)
{
    m_model->setLedger(ledger);
    m_table->resizeColumnsToContents();
    m_summary->setText(ledger.period.isEmpty() ? QString() : Ledger::Summary(ledger));
    m_refused->clear();
    for (const Ledger::Refusal &refusal : ledger.refused)
        m_refused->addItem(refusal.document + QStringLiteral(": ") + refusal.reason);
    m_refusedTitle->setVisible(!ledger.refused.isEmpty());
    m_refused->setVisible(!ledger.refused.isEmpty());
}
