#pragma once

#include "core/Database.h"
#include "core/Money.h"
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

namespace orders {

std::optional<ShipToAddress> customerShipTo(const QString &name);
// True when any order, of any customer, has this order number.
bool orderNumberUsed(const QString &orderNumber);
// The active set with this reference number.
std::optional<SetInfo> activeSet(const QString &customerRefNo);

std::optional<OrderHeader> loadOrder(qint64 id);
// The lines as stored, in the order the table returns them.
std::vector<OrderLine> loadOrderLines(qint64 id);
bool lineHasCutsheets(qint64 orderId, int itemNumber);

// Writes the header (a new order is always stored "Open" with today's DateAdded; a stored one
// only gets its status and total) and replaces all its lines, in one transaction.
// Returns the order's ID. Throws DbError and leaves the database unchanged on any failure.
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
