#include "shipping/ShipmentData.h"

#include "core/ReportRows.h"
#include "shipping/ShippingReports.h"

#include <QRegularExpression>

#include <map>
#include <set>

namespace shipping {

namespace {

Refusal invalidEntry(const QString &text, const QString &field)
{
    return {text, QStringLiteral("Invalid Entry"), field};
}

std::optional<qint64> wholeKey(const QString &text)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(v) : std::nullopt;
}

bool isKit(qint64 orderId, qint64 item)
{
    const RowSet rows = DbConnection().query(
        QStringLiteral("SELECT Sets.Type AS Type FROM OrderItem LEFT JOIN Sets "
                       "ON OrderItem.CustomerRefNo = Sets.CustomerRefNo "
                       "WHERE OrderItem.OrderID = ? AND OrderItem.ItemNumber = ? LIMIT 1"),
        {orderId, item});
    return !rows.isEmpty() && rows.first().text(QStringLiteral("Type")) == QLatin1String("Kit");
}

} // namespace

QString kitConsumptionKey(qint64 shipmentId)
{
    return QStringLiteral("SHIPMENT ") + QString::number(shipmentId);
}

std::vector<OpenOrder> openOrders(const QString &customer)
{
    std::vector<OpenOrder> out;
    const RowSet rows = DbConnection().query(
        QStringLiteral(
            "SELECT OrderNumber, ID FROM Orders WHERE Customer = ? AND Status = 'Open' ORDER BY ID"),
        {customer});
    for (const Row &r : rows)
        out.push_back({r.text(QStringLiteral("OrderNumber")), r.integer(QStringLiteral("ID"))});
    return out;
}

std::vector<OrderLineChoice> orderLines(qint64 orderId)
{
    std::vector<OrderLineChoice> out;
    const RowSet rows = DbConnection().query(
        QStringLiteral(
            "SELECT ItemNumber, CustomerRefNo FROM OrderItem WHERE OrderID = ? ORDER BY ItemNumber"),
        {orderId});
    for (const Row &r : rows)
        out.push_back({r.text(QStringLiteral("ItemNumber")) + QStringLiteral(" - ") +
                           r.text(QStringLiteral("CustomerRefNo")),
                       r.integer(QStringLiteral("ItemNumber"))});
    return out;
}

Availability availability(qint64 orderId, qint64 item, std::optional<qint64> shipmentId,
                          const std::vector<ShipmentLine> &grid)
{
    Database &db = DbConnection();
    Availability a;
    const RowSet line = db.query(
        QStringLiteral("SELECT OrderItem.Qty AS Qty, Sets.Type AS Type FROM OrderItem LEFT JOIN Sets "
                       "ON OrderItem.CustomerRefNo = Sets.CustomerRefNo "
                       "WHERE OrderID = ? AND ItemNumber = ? LIMIT 1"),
        {orderId, item});
    if (!line.isEmpty()) {
        a.ordered = line.first().integer(QStringLiteral("Qty"));
        a.kit = line.first().text(QStringLiteral("Type")) == QLatin1String("Kit");
    }
    if (a.kit) {
        a.cut = a.ordered;
    } else {
        a.cut = db.scalar(QStringLiteral("SELECT SUM(Sets) FROM Cutsheets WHERE OrderID = ? AND Item = ?"),
                          {orderId, item})
                    .toLongLong();
    }
    // A loaded shipment's stored lines are in the grid: count only the other shipments here.
    a.shipped =
        db.scalar(QStringLiteral("SELECT SUM(Qty) FROM ShipmentItems WHERE OrderID = ? AND LineItem = ? "
                                 "AND ShipmentID <> ?"),
                  {orderId, item, shipmentId.value_or(-1)})
            .toLongLong();
    for (const ShipmentLine &l : grid) {
        if (l.orderId == orderId && l.lineItem == item)
            a.shipped += l.qty;
    }
    return a;
}

qint64 shipQuantity(const QString &shipText)
{
    return wholeKey(shipText).value_or(0);
}

std::optional<Refusal> refuseAdd(const QString &customer, const QString &order, const QString &item,
                                 const QString &shipText, const QString &availableText)
{
    static const QRegularExpression whole(QStringLiteral("^\\s*\\d+\\s*$"));
    if (!shipText.trimmed().isEmpty() && (!whole.match(shipText).hasMatch() || shipQuantity(shipText) <= 0))
        return invalidEntry(QStringLiteral("This Shipment must be a whole number of sets greater than 0."),
                            QStringLiteral("txtShip"));
    if (shipQuantity(shipText) > wholeKey(availableText).value_or(0))
        return invalidEntry(
            QStringLiteral("There are only %1 sets available for shipping.").arg(availableText),
            QStringLiteral("txtShip"));
    if (customer.isEmpty() || order.isEmpty() || item.isEmpty() || shipText.trimmed().isEmpty())
        return invalidEntry(QStringLiteral("You must select a Customer, Order, Line Item, and Qty to ship."),
                            QStringLiteral("cmbCustomer"));
    return std::nullopt;
}

QByteArray shipmentStamp(qint64 id)
{
    Database &db = DbConnection();
    return db.stamp(QStringLiteral("SELECT * FROM Shipment WHERE ID = ?"), {id}) +
           db.stamp(QStringLiteral("SELECT * FROM ShipmentItems WHERE ShipmentID = ? ORDER BY Item"), {id});
}

Loaded loadShipment(const QString &idText)
{
    Loaded out;
    const std::optional<qint64> id = wholeKey(idText);
    RowSet rows;
    if (id) {
        out.stamp = shipmentStamp(*id);
        rows = DbConnection().query(
            QStringLiteral(
                "SELECT Shipment.ID AS ID, Shipment.Date AS Date, Shipment.Customer AS Customer, "
                "ShipmentItems.OrderNumber AS OrderNumber, ShipmentItems.ItemDesc AS ItemDesc, "
                "ShipmentItems.QtyOrd AS QtyOrd, ShipmentItems.Qty AS Qty, ShipmentItems.Box AS Box, "
                "ShipmentItems.OrderID AS OrderID, ShipmentItems.LineItem AS LineItem "
                "FROM Shipment LEFT JOIN ShipmentItems ON Shipment.ID = ShipmentItems.ShipmentID "
                "WHERE Shipment.ID = ? ORDER BY ShipmentItems.Item"),
            {*id});
    }
    if (rows.isEmpty()) {
        out.refusal =
            Refusal{QStringLiteral("Shipment ID %1 is not a valid shipment. Please Re-enter.").arg(idText),
                    QStringLiteral("Invalid Shipment ID"), QStringLiteral("txtID")};
        return out;
    }
    out.id = *id;
    out.date = rows.first().date(QStringLiteral("Date"));
    out.customer = rows.first().text(QStringLiteral("Customer"));
    for (const Row &r : rows) {
        if (r.isNull(QStringLiteral("OrderID")))
            continue; // a shipment without lines
        out.lines.push_back({out.customer, r.text(QStringLiteral("OrderNumber")),
                             r.text(QStringLiteral("ItemDesc")), r.integer(QStringLiteral("QtyOrd")),
                             r.integer(QStringLiteral("Qty")), r.text(QStringLiteral("Box")),
                             r.integer(QStringLiteral("OrderID")), r.integer(QStringLiteral("LineItem"))});
    }
    return out;
}

bool isFullyShipped(qint64 orderId)
{
    const RowSet rows = DbConnection().query(
        QStringLiteral("SELECT OrderItem.Qty AS Sold, SUM(ShipmentItems.Qty) AS Shipped "
                       "FROM OrderItem LEFT JOIN ShipmentItems ON OrderItem.OrderID = ShipmentItems.OrderID "
                       "AND OrderItem.ItemNumber = ShipmentItems.LineItem WHERE OrderItem.OrderID = ? "
                       "GROUP BY OrderItem.OrderID, OrderItem.ItemNumber, OrderItem.Qty"),
        {orderId});
    for (const Row &r : rows) {
        if (r.isNull(QStringLiteral("Shipped")) ||
            r.number(QStringLiteral("Shipped")) != r.number(QStringLiteral("Sold")))
            return false;
    }
    return true;
}

bool CloseOrderIfShipped(qint64 orderId)
{
    if (!isFullyShipped(orderId))
        return false;
    return DbConnection().exec(
               QStringLiteral("UPDATE Orders SET Status = 'Closed' WHERE ID = ? AND Status = 'Open'"),
               {orderId}) > 0;
}

namespace {

// The grid's quantity per order line, in key order: the order the lines are locked in.
std::map<std::pair<qint64, qint64>, qint64> shippedPerLine(const std::vector<ShipmentLine> &lines)
{
    std::map<std::pair<qint64, qint64>, qint64> perLine;
    for (const ShipmentLine &l : lines)
        perLine[{l.orderId, l.lineItem}] += l.qty;
    return perLine;
}

Saved saveNow(Database &db, const Entry &e)
{
    Saved out;
    Transaction tx(db);
    std::optional<qint64> stored;
    if (!e.idText.isEmpty()) {
        stored = wholeKey(e.idText);
        if (stored)
            db.lockRows(QStringLiteral("Shipment"), QStringLiteral("ID = ?"), {*stored});
        if (stored && !e.loaded.isEmpty() && shipmentStamp(*stored) != e.loaded)
            throw DbError::changed(QStringLiteral("Shipment %1").arg(*stored));
    }
    // Judged again with the lines locked: another station may have shipped since the grid was filled.
    const auto perLine = shippedPerLine(e.lines);
    for (const auto &[line, qty] : perLine)
        db.lockRows(QStringLiteral("OrderItem"), QStringLiteral("OrderID = ? AND ItemNumber = ?"),
                    {line.first, line.second});
    for (const auto &[line, qty] : perLine) {
        const Availability a = availability(line.first, line.second, stored, {});
        if (qty > a.available()) {
            out.refusal = invalidEntry(
                QStringLiteral("There are only %1 sets available for shipping.").arg(qMax<qint64>(0, a.available())),
                QStringLiteral("txtShip"));
            return out;
        }
    }
    // Orders this shipment closed before: a re-save that leaves one short opens it again.
    std::set<qint64> closedByShipping;
    if (!e.idText.isEmpty()) {
        const std::optional<qint64> id = stored;
        if (!id ||
            db.scalar(QStringLiteral("SELECT COUNT(*) FROM Shipment WHERE ID = ?"), {*id}).toInt() == 0) {
            out.refusal = Refusal{
                QStringLiteral("Shipment ID %1 is not a valid shipment. Please Re-enter.").arg(e.idText),
                QStringLiteral("Invalid Shipment ID"), QStringLiteral("txtID")};
            return out;
        }
        out.id = *id;
        const RowSet before =
            db.query(QStringLiteral("SELECT DISTINCT Orders.ID AS ID FROM ShipmentItems INNER JOIN Orders "
                                    "ON Orders.ID = ShipmentItems.OrderID WHERE ShipmentItems.ShipmentID = ? "
                                    "AND Orders.Status = 'Closed'"),
                     {out.id});
        for (const Row &r : before) {
            if (isFullyShipped(r.integer(QStringLiteral("ID"))))
                closedByShipping.insert(r.integer(QStringLiteral("ID")));
        }
        db.update(QStringLiteral("Shipment"), {{QStringLiteral("Date"), e.date}}, QStringLiteral("ID = ?"),
                  {out.id});
        db.exec(QStringLiteral("DELETE FROM Cutsheets WHERE SSN = ?"), {kitConsumptionKey(out.id)});
    } else {
        out.id = db.insert(QStringLiteral("Shipment"),
                           {{QStringLiteral("Date"), e.date}, {QStringLiteral("Customer"), e.customer}});
    }
    db.exec(QStringLiteral("DELETE FROM ShipmentItems WHERE ShipmentID = ?"), {out.id});

    std::set<qint64> orders;
    qint64 counter = 1;
    for (const ShipmentLine &l : e.lines) {
        db.insert(QStringLiteral("ShipmentItems"), {{QStringLiteral("ShipmentID"), out.id},
                                                    {QStringLiteral("Item"), counter++},
                                                    {QStringLiteral("OrderID"), l.orderId},
                                                    {QStringLiteral("LineItem"), l.lineItem},
                                                    {QStringLiteral("Qty"), l.qty},
                                                    {QStringLiteral("OrderNumber"), l.orderNumber},
                                                    {QStringLiteral("ItemDesc"), l.itemDesc},
                                                    {QStringLiteral("QtyOrd"), l.qtyOrdered},
                                                    {QStringLiteral("Box"), l.box}});
        orders.insert(l.orderId);
        // A kit is not cut on a cut sheet: shipping it consumes it.
        if (isKit(l.orderId, l.lineItem))
            db.insert(QStringLiteral("Cutsheets"), {{QStringLiteral("SSN"), kitConsumptionKey(out.id)},
                                                    {QStringLiteral("Date"), e.date},
                                                    {QStringLiteral("OrderID"), l.orderId},
                                                    {QStringLiteral("Item"), l.lineItem},
                                                    {QStringLiteral("Sets"), l.qty},
                                                    {QStringLiteral("Feet"), l.qty}});
    }
    // Closing is judged once all lines are in, so a line split over several rows counts whole.
    for (qint64 order : orders)
        CloseOrderIfShipped(order);
    for (qint64 order : closedByShipping) {
        if (!isFullyShipped(order))
            db.exec(QStringLiteral("UPDATE Orders SET Status = 'Open' WHERE ID = ? AND Status = 'Closed'"),
                    {order});
    }

    // The invoice, from the same rows the printed invoice shows.
    const RowSet customer =
        db.query(QStringLiteral("SELECT Terms, Days FROM Customer WHERE Name = ? LIMIT 1"), {e.customer});
    out.terms = customer.isEmpty() ? QString() : customer.first().text(QStringLiteral("Terms"));
    // A customer without days pays on the invoice date.
    const QDate due =
        e.date.addDays(customer.isEmpty() ? 0 : customer.first().integer(QStringLiteral("Days")));
    out.dueDate = documentDate(due);
    const Money total = invoiceTotal(out.id);
    const Fields invoice = {{QStringLiteral("InvoiceDate"), e.date},
                            {QStringLiteral("DueDate"), due},
                            {QStringLiteral("Total"), QVariant::fromValue(total)},
                            {QStringLiteral("Shipment"), out.id},
                            {QStringLiteral("Customer"), e.customer},
                            {QStringLiteral("Terms"), out.terms},
                            {QStringLiteral("Type"), QStringLiteral("Auto Invoice")}};
    const QVariant existing =
        db.scalar(QStringLiteral("SELECT MIN(Invoice) FROM Invoice WHERE Shipment = ?"), {out.id});
    if (existing.isNull()) {
        out.invoice = db.insert(QStringLiteral("Invoice"), invoice);
    } else {
        out.invoice = existing.toLongLong();
        // Locked as a payment locks it: a re-save must not leave the invoice paid beyond its total.
        db.lockRows(QStringLiteral("Invoice"), QStringLiteral("Invoice = ?"), {out.invoice});
        const Money received =
            db.query(QStringLiteral("SELECT SUM(Amount) AS Received FROM Payments WHERE Invoice = ?"),
                     {out.invoice})
                .first()
                .money(QStringLiteral("Received"));
        if (received - total >= Money::fromUnits(10)) {
            out.refusal = Refusal{
                QStringLiteral("Invoice %1 has %2 paid against it, more than this shipment's new total of %3. "
                               "Ship at least what was paid.")
                    .arg(out.invoice)
                    .arg(received.toDisplayString(2), total.toDisplayString(2)),
                QStringLiteral("Unable to Save"), QString()};
            return out;
        }
        db.update(QStringLiteral("Invoice"), invoice, QStringLiteral("Invoice = ?"), {out.invoice});
    }
    tx.commit();
    return out;
}

} // namespace

Saved saveShipment(const Entry &e)
{
    Saved out;
    if (e.lines.empty() || e.customer.isEmpty()) {
        out.refusal =
            Refusal{QStringLiteral("No Items to save."), QStringLiteral("Unable to Save"), QString()};
        return out;
    }
    for (const ShipmentLine &l : e.lines) {
        if (l.qty <= 0) {
            out.refusal = invalidEntry(
                QStringLiteral("This Shipment must be a whole number of sets greater than 0."), QString());
            return out;
        }
    }

    Database &db = DbConnection();
    return retrying(db, [&] { return saveNow(db, e); });
}

} // namespace shipping
