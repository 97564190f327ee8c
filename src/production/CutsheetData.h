#pragma once

#include "core/Database.h"
#include "core/Refusal.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

// Cut sheets: one employee cut a number of sets of one order line on one day. Every save and
// delete made while the cut sheet window is open is logged in CutsheetsTEMP for the control
// report printed when the window closes.
namespace cutsheets {

// Someone who may be named on a cut sheet: "LastName, FirstName" and the key stored.
struct Employee
{
    QString name;
    QString ssn;
};
// The active employees by last and first name.
std::vector<Employee> activeEmployees();

// Empties the log (what an earlier window left behind is discarded unprinted).
void clearLog();
bool logIsEmpty();
// Puts back what this program logged on the connection when the log lost it (a server connection
// taken up again after it broke); the log's readers call it first.
void restoreLog();
// The log as a document name: "Cut Sheet 3099", or "Cut Sheets 3099-3105" for several.
QString logName();

// The cut sheet of the typed ID, or the refusal to show (no such cut sheet, not a number).
struct Lookup
{
    std::optional<Row> row;
    QByteArray stamp; // the row as found (Database::stamp)
    std::optional<Refusal> refusal;
};
Lookup findCutsheet(const QString &idText);

// A line of an open order with sets still to cut (kit lines are never cut), as the clerk picks it.
struct OpenLine
{
    qint64 orderId = 0;
    int item = 0;
    QString orderNumber;
    QString customer;
    QString style;
    double left = 0; // sets ordered and not yet cut
};
// By order number and line.
std::vector<OpenLine> linesToCut();
// "PO-1 - Cove - Bench (order 682, line 1, 3 to cut)".
QString describe(const OpenLine &line);

// The line of an open order a cut sheet may be entered for: its style, or why not.
struct LineCheck
{
    QString style;
    std::optional<Refusal> refusal;
};
LineCheck checkOrderLine(const QString &orderText, const QString &itemText);

// The sets already cut of the line, leaving out the cut sheet being edited (`exceptId`).
double previouslyCut(qint64 orderId, int item, std::optional<qint64> exceptId);
// Refuses more sets than the line ordered, counting what was cut before.
std::optional<Refusal> refuseTooManySets(const QString &idText, const QString &orderText,
                                         const QString &itemText, const QString &setsText);

// The leading number of a text ("12abc" is 12); 0 when it starts with none.
double leadingNumber(const QString &text);

// What the window holds when it saves or deletes.
struct Entry
{
    QString idText;       // empty for a new cut sheet
    QString employeeName; // what the employee list shows
    QString ssn;
    QDate date;
    QString orderText;
    QString itemText;
    QString setsText;
    QString usedText; // optional
    QByteArray loaded; // the stamp of the cut sheet as loaded; empty for a new one
};

// Adds (no ID) or edits the cut sheet and logs it as "**New**" or "**Edit**", in one
// transaction, judging the sets against the line again with the line locked. An edited cut sheet
// changed since it was loaded is refused with DbError::changed. Returns the cut sheet's ID, or the refusal; nothing is written on a refusal.
struct Saved
{
    qint64 id = 0;
    std::optional<Refusal> refusal;
};
Saved saveCutsheet(const Entry &entry);

// Refuses a delete of a cut sheet that was never saved.
std::optional<Refusal> refuseDelete(const QString &idText);
// Deletes the stored cut sheet (if any) and logs "**Delete**" from the screen values, in one
// transaction; refused with DbError::changed when it was changed since it was loaded.
void deleteCutsheet(const Entry &entry);

} // namespace cutsheets
