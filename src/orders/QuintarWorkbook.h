#pragma once

#include "core/Money.h"
#include "orders/OrderData.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One order line as the customer's order workbook gives it.
struct WorkbookLine
{
    int sheet = 0;
    int row = 0;
    int qty = 0; // an empty quantity cell reads as 0
    QString customerRefNo;
    Money price;
};

// The header cells and lines of a customer order workbook, read whole before the window is
// touched. Cells that do not follow the layout leave their fields empty (dates unset) and are
// named in `problems`, as are lines left out because their price or quantity cannot be read.
struct WorkbookOrder
{
    QString orderNumber;
    std::optional<QDate> orderDate;
    std::optional<QDate> dueDate;
    ShipToAddress shipTo;
    std::vector<WorkbookLine> lines;
    QStringList problems;
};

namespace orders {

// Reads header cells of sheet 2 and lines from rows 22-34 of sheets 2 and 3.
// Throws SpreadsheetError when the file is not a readable workbook or has no second sheet.
WorkbookOrder readOrderWorkbook(const QString &path);

// "Toledo, OH  43604" -> city, state, ZIP; false when the text has no comma or no blank
// between the state and the ZIP.
bool splitCityStateZip(const QString &text, QString *city, QString *state, QString *zip);
// A date typed as text: "5/10/2010", "5/10/10", "2010-05-10".
QDate parseTextDate(const QString &text);

} // namespace orders
