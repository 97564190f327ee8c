#pragma once

#include "core/Database.h"
#include "core/Refusal.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

// Shipments: cut sets of order lines leaving in boxes to one customer. Saving writes the
// shipment, its lines, kit consumption rows, the orders it closes (or reopens) and its invoice,
// all in one transaction; the packing slip and invoice are printed after it committed.
namespace shipping {

// One line of a shipment as the shipment grid holds it.
struct ShipmentLine
{
    QString customer;
    QString orderNumber;
    QString itemDesc; // "ItemNumber - CustomerRefNo"
    qint64 qtyOrdered = 0;
    qint64 qty = 0;
    QString box;
    qint64 orderId = 0;
    qint64 lineItem = 0;
};

// An open order of a customer: its number as shown and its key.
struct OpenOrder
{
    QString number;
    qint64 id = 0;
};
std::vector<OpenOrder> openOrders(const QString &customer);

// A line of an order as the line list shows it, with its item number.
struct OrderLineChoice
{
    QString text;
    qint64 itemNumber = 0;
};
std::vector<OrderLineChoice> orderLines(qint64 orderId);

// What one order line may still ship. Kits count as fully cut. `shipped` holds what other
// shipments took and what the grid already holds of the line.
struct Availability
{
    qint64 ordered = 0;
    qint64 cut = 0;
    qint64 shipped = 0;
    bool kit = false;
    qint64 available() const { return cut - shipped; }
};
// `shipmentId` is the loaded shipment (its stored lines are in `grid`), or nullopt for a new one.
Availability availability(qint64 orderId, qint64 item, std::optional<qint64> shipmentId,
                          const std::vector<ShipmentLine> &grid);

// Refuses the typed quantity of "This Shipment": not a positive whole number, more than is
// available, or a selection missing.
std::optional<Refusal> refuseAdd(const QString &customer, const QString &order, const QString &item,
                                 const QString &shipText, const QString &availableText);
// The typed quantity once refuseAdd accepted it.
qint64 shipQuantity(const QString &shipText);

// A stored shipment and its lines in line order, or why not.
struct Loaded
{
    qint64 id = 0;
    QDate date;
    QString customer;
    std::vector<ShipmentLine> lines;
    QByteArray stamp; // the shipment as loaded (Database::stamp)
    std::optional<Refusal> refusal;
};
Loaded loadShipment(const QString &idText);
// A fingerprint of the shipment and its lines as stored now.
QByteArray shipmentStamp(qint64 id);

// Closes the order when every line shipped exactly what it ordered. True when it is closed now.
bool CloseOrderIfShipped(qint64 orderId);
// True when every line of the order has shipped exactly its quantity.
bool isFullyShipped(qint64 orderId);

// The shipment as the window holds it when it saves.
struct Entry
{
    QString idText; // empty for a new shipment
    QDate date;
    QString customer;
    std::vector<ShipmentLine> lines;
    QByteArray loaded; // the stamp of the loaded shipment; empty for a new one
};

// What a save wrote: the shipment and its invoice with the texts the invoice prints.
struct Saved
{
    qint64 id = 0;
    qint64 invoice = 0;
    QString dueDate; // short date form
    QString terms;
    std::optional<Refusal> refusal;
};
// Writes everything of the shipment in one transaction; a DbError leaves nothing written. What
// each line may ship is judged again inside it, with the order lines locked, so two stations
// cannot both ship the last cut sets; a loaded shipment changed since is refused.
Saved saveShipment(const Entry &entry);

// The cut-sheet key of a shipment's kit consumption rows.
QString kitConsumptionKey(qint64 shipmentId);

} // namespace shipping
