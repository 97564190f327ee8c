#pragma once

#include "core/Database.h"
#include "core/Refusal.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The customer's demand spreadsheet: one line per PO line from row 8 of the first worksheet.
namespace purchasing {

constexpr int kFirstDemandRow = 8;
constexpr int kLastDemandRow = 9999;
inline const QString PlannedDemand = QStringLiteral("Planned Ord Dmd");

// The cells of one line, each trimmed and without apostrophes. Date cells read as "M/d/yyyy".
struct DemandLine
{
    int row = 0;
    QString orderDate; // B
    QString poNumber;  // D
    QString refNumber; // E
    QString qty;       // I
    QString dueDate;   // M
    QString price;     // Q
};

// The lines down to the first empty order date (or row 9999), read whole.
struct DemandSheet
{
    std::vector<DemandLine> lines;
};

// A cell's value as the import uses it.
QString cleanCell(const QString &text);

// What a run needs: a customer, and a file at `path` (as typed; surrounding blanks do not count).
std::optional<Refusal> refuseImport(const QString &customer, const QString &path);

// Reads the first worksheet. Throws SpreadsheetError when the file is not a readable workbook.
DemandSheet readDemandSheet(const QString &path);

// What one run did.
struct ImportRun
{
    qint64 importId = 0;
    int ordersCreated = 0;
    int dueDatesMoved = 0;
    int errors = 0;
};

// The line that ends every run's log: "5 lines imported into 4 orders, 3 errors". A line is
// imported when it made an order or moved an order's due date.
QString importSummary(int lines, int orders, int errors);

// A run that failed part-way: nothing of it was kept.
class ImportFailure : public std::runtime_error
{
public:
    explicit ImportFailure(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

// Turns every new firm PO line into an order with one line and an open pending item, moves the
// due date of orders that exist, and logs each of these and every unknown reference under a new
// import number. A run that imports nothing logs that, so its number is never handed out again.
// All in one transaction: on any database failure nothing is kept and ImportFailure names the row.
ImportRun importDemand(const DemandSheet &sheet, const QString &customer);

// The next import number: one past the highest logged.
qint64 nextImportId();

// Earlier runs for the log window, newest first: "5/14/2010 - 12" and the import number.
struct LoggedRun
{
    QString label;
    qint64 importId = 0;
};
std::vector<LoggedRun> loggedRuns();
// Printing a log needs one chosen: `chosen` is the list position (-1 for none) of `runs` entries.
std::optional<Refusal> refuseLogChoice(int chosen, qsizetype runs);

// Names of the active customers in name order.
QStringList activeCustomerNames();

} // namespace purchasing
