#pragma once

#include "core/Database.h"
#include "core/Money.h"
#include "core/Refusal.h"
#include "core/ReportJob.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The database side of order entry and the order navigator.

struct ShipToAddress
{
    QString shipTo, address1, address2, city, state, zip, phone, fax;
};

struct OrderHeader
{
    qint64 id = 0; // 0 for an order not yet stored
    QString orderNumber;
    QString customer;
    QDate orderDate;
    QDate dueDate;
    ShipToAddress shipTo;
    QString status;
    Money total;
    QDate dateAdded;
    // The order and its lines as loaded (Database::stamp); empty for a new order.
    QByteArray loaded;
};

struct OrderLine
{
    int itemNumber = 0;
    int qty = 0;
    QString customerRefNo;
    QString style;
    QString material;
    Money priceEach;

    Money priceExt() const { return priceEach.times(double(qty)); }
};

// What an order line takes from the set catalogue.
struct SetInfo
{
    QString customerRefNo;
    QString style;
    QString material;
    Money totalPrice;
};

// Search criteria of the order navigator; empty texts and an unchecked date range are no criterion.
struct OrderCriteria
{
    QString customer;
    QString status;
    bool useOrderDate = false;
    QDate from;
    QDate to;
    QString orderNumber; // matched anywhere, without regard to case, taken literally
};

// The entry row of the order window as typed.
struct LineEntry
{
    int itemNumber = 0; // the line being changed, 0 for a new line
    QString qty;
    QString customerRefNo;
    QString style;
    QString material;
    QString priceEach;
};

// What saving the entry row does to the order's lines.
struct LineChange
{
    std::optional<Refusal> refusal; // set: nothing changes
    OrderLine line;                 // the line as it is to stand
    int row = -1;                   // index of the changed line, -1 for a new one
    std::optional<SetInfo> set;     // the set looked up, when the line names a new set
    // A new line priced away from its set, whose price was not changed since the cut-off:
    // the window offers to make the typed price the set's price.
    bool offerSetPrice = false;
};

// One workbook line on its way into the order.
struct ImportStep
{
    QString customerRefNo;
    std::optional<OrderLine> line; // nullopt: no active set by this reference
    Money cataloguePrice;
    bool pricesDiffer = false; // the workbook's price is not the catalogue's
};

struct WorkbookOrder;

namespace orders {

// The number the next new line gets: one past the last line's.
int nextLineNumber(const std::vector<OrderLine> &lines);
Money linesTotal(const std::vector<OrderLine> &lines);

// Checks the entry row against the order's lines and the set catalogue. A changed line that
// keeps its reference number is not looked up again. Throws DbError.
LineChange prepareLine(const LineEntry &entry, const std::vector<OrderLine> &lines);
Refusal unknownSetRefusal();

// The workbook's lines numbered on from `nextItem`, each with its set. After a reference that
// names no active set nothing more is added (so a half-read order is not saved unnoticed), but
// every unknown reference still gets its step. Throws DbError.
std::vector<ImportStep> importSteps(const WorkbookOrder &order, int nextItem);
Refusal unknownImportRefusal(const QString &customerRefNo);
// The question whether to keep the workbook's price where it differs from the catalogue's.
QString importPriceQuestion(const ImportStep &step);
QString importPriceTitle();

std::optional<ShipToAddress> customerShipTo(const QString &name);
// True when any order, of any customer, has this order number.
bool orderNumberUsed(const QString &orderNumber);
// A warning, not a refusal: an order number another order already has may still be saved.
// Nothing for an empty number. Throws DbError.
std::optional<Refusal> usedOrderNumberWarning(const QString &orderNumber);
// What saving an order needs: an order number and a customer.
std::optional<Refusal> refuseOrderSave(const QString &orderNumber, const QString &customer);
// The active set with this reference number.
std::optional<SetInfo> activeSet(const QString &customerRefNo);

// The stamp of the order is taken before it is read, so a change in between refuses the save
// rather than slipping past it.
std::optional<OrderHeader> loadOrder(qint64 id);
// A fingerprint of the order's row and lines as stored now.
QByteArray orderStamp(qint64 id);
// The lines as stored, in the order the table returns them.
std::vector<OrderLine> loadOrderLines(qint64 id);
bool lineHasCutsheets(qint64 orderId, int itemNumber);

// Writes the header (a new order is always stored "Open" with today's DateAdded; a stored one
// only gets its status and total) and replaces all its lines, in one transaction.
// Returns the order's ID. Throws DbError and leaves the database unchanged on any failure; a
// loaded order that was changed since it was loaded is refused with DbError::changed.
qint64 saveOrder(const OrderHeader &header, const std::vector<OrderLine> &lines);

// The navigator's search, sorted by customer and order number.
RowSet findOrders(const OrderCriteria &criteria);
// "ShipTo, Address1, [Address2, ]City, State Zip" of an Orders row.
QString shipToLine(const Row &order);

// A whole number of sets as typed ("12", " 3 "); nullopt for anything else.
std::optional<int> parseQuantity(const QString &text);
// A price as typed ("95.5", "$1,095.50"); nullopt when empty or not a number.
std::optional<Money> parsePrice(const QString &text);
// The number a box shows for the extension: its price-like value, else its leading number,
// else 0 ("12abc" reads 12).
Money leadingNumber(const QString &text);
// A date as stored or typed, for showing in grids ("5/14/2010"); empty when not a date.
QString displayDate(const QVariant &value);

} // namespace orders
