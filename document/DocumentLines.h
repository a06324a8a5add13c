#pragma once

#include "document/Invoice.h"

#include <QStringList>
#include <QVector>

// The lines of the document as the line table holds them: rows of eight texts under the two
// header rows, each an invoice line, a continuation of the line above (a description only), or
// empty. The lines are worked out here as adding them one by one in the line table does, so a
// line typed into the table by hand counts exactly as one added with "Добави".

// One row below the header rows, as its cells show it.
struct LineTableRow {
    QStringList cells;    // the eight cells: number, description, unit, quantity, unit price,
                          // unit price in the second currency, value, value in the second currency
    QString enteredPrice; // the price as entered where the table kept it (more decimals than it
                          // shows); empty otherwise
};

struct WorkedLines {
    QVector<InvoiceLine> lines;
    QVector<int> rowOfLine; // the index into the rows of each line's first row
    Totals home, foreign;
};

// The rows worked out at the VAT factor and the second currency's rate. A row with a quantity, a
// price, a unit or a number is a line; a row with only a description continues the line above.
// Throws a UserError naming the row (counted from 1 below the header rows) for a line whose price
// or quantity is not a number, whose quantity is zero, or a description with no line above it.
WorkedLines WorkOutLines(const QVector<LineTableRow> &rows, double vatFactor, double currencyRate);
