#include "document/DocumentLines.h"

#include "base/Errors.h"
#include "lines/Amounts.h"

namespace
{
enum Column { Number, Description, Unit, Quantity, Price, PriceForeign, Value, ValueForeign };

QString Cell(const LineTableRow &row, int column)
{
    return column < row.cells.size() ? row.cells.at(column).trimmed() : QString();
}

bool IsEmpty(const LineTableRow &row)
{
    for (const QString &cell : row.cells)
        if (!cell.trimmed().isEmpty())
            return false;
    return true;
}

bool IsContinuation(const LineTableRow &row)
{
    for (int column = 0; column < row.cells.size(); ++column)
        if (column != Description && !row.cells.at(column).trimmed().isEmpty())
            return false;
    return true;
}

// The price the line is worked out from: the one entered, unless the cell was typed over.
QString PriceOf(const LineTableRow &row)
{
    const QString shown = Cell(row, Price);
    if (row.enteredPrice.isEmpty())
        return shown;
    return RoundTo2Decimals(row.enteredPrice) == shown ? row.enteredPrice : shown;
}

[[noreturn]] void RowError(int index, const QString &message)
{
    throw UserError(QStringLiteral("Ред %1 от таблицата: %2").arg(index + 1).arg(message));
}
} // namespace

WorkedLines WorkOutLines(const QVector<LineTableRow> &rows, double vatFactor, double currencyRate)
{
    WorkedLines worked;
    QVector<LineEntry> entries;
    for (int i = 0; i < rows.size(); ++i) {
        const LineTableRow &row = rows.at(i);
        if (IsEmpty(row))
            continue;
        if (IsContinuation(row)) {
            if (worked.lines.isEmpty())
                RowError(i, QStringLiteral("описанието няма ред с количество и цена над себе си."));
            worked.lines.last().description << Cell(row, Description);
            continue;
        }
        const QString quantity = Cell(row, Quantity);
        const QString price = PriceOf(row);
        if (quantity.isEmpty())
            RowError(i, QStringLiteral("попълнете количеството."));
        if (price.isEmpty())
            RowError(i, QStringLiteral("попълнете единичната цена."));
        InvoiceLine line;
        line.number = int(worked.lines.size()) + 1;
        line.description << Cell(row, Description);
        line.unit = Cell(row, Unit);
        try {
            line.quantity = Decimal::Amount::FromText(quantity);
            Decimal::StrToFloat(price);
        } catch (const UserError &error) {
            RowError(i, error.message());
        }
        if (line.quantity.isZero())
            RowError(i, QStringLiteral("количеството не може да бъде нула."));
        worked.lines.append(line);
        worked.rowOfLine.append(i);
        entries.append(LineEntry{price, quantity});
    }

    LineTotals totals;
    QVector<LineAmounts> amounts;
    try {
        amounts = AccumulateLines(entries, totals, vatFactor, currencyRate);
    } catch (const UserError &error) {
        // A sum too large or a rate that is no rate: the line it stopped at is not known here.
        throw UserError(QStringLiteral("Редовете от таблицата не могат да бъдат сметнати: ") +
                        error.message());
    }
    for (int i = 0; i < amounts.size(); ++i) {
        InvoiceLine &line = worked.lines[i];
        line.unitPrice = Decimal::Amount::FromText(amounts[i].unitPriceLeva);
        line.unitPriceForeign = Decimal::Amount::FromText(amounts[i].unitPriceForeign);
        line.value = Decimal::Amount::FromText(amounts[i].totalLeva);
        line.valueForeign = Decimal::Amount::FromText(amounts[i].totalForeign);
    }
    worked.home = {Decimal::Amount::FromText(totals.netLeva),
                   Decimal::Amount::FromText(totals.vatLeva),
                   Decimal::Amount::FromText(totals.grossLeva)};
    worked.foreign = {Decimal::Amount::FromText(totals.netForeign),
                      Decimal::Amount::FromText(totals.vatForeign),
                      Decimal::Amount::FromText(totals.grossForeign)};
    return worked;
}
