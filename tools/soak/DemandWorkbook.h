#pragma once

#include <QString>

#include <vector>

namespace soak {

// One line of a customer's demand sheet, as the cells' texts.
struct DemandRow
{
    QString orderDate, poNumber, refNumber, qty, dueDate, price;
};

// Writes a one-sheet .xlsx with the rows from the first demand row on (every cell an inline
// text). False when the file cannot be written.
bool writeDemandWorkbook(const QString &path, const std::vector<DemandRow> &rows);

} // namespace soak
