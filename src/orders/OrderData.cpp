#include "orders/OrderData.h"

#include "core/Clock.h"

#include <QRegularExpression>

#include <cmath>

namespace orders {

namespace {

ShipToAddress shipToOf(const Row &r)
{
    return {r.text(QStringLiteral("ShipTo")),        r.text(QStringLiteral("ShipToAddress1")),
            r.text(QStringLiteral("ShipToAddress2")), r.text(QStringLiteral("ShipToCity")),
            r.text(QStringLiteral("ShipToState")),    r.text(QStringLiteral("ShipToZip")),
            r.text(QStringLiteral("ShipToPhone")),    r.text(QStringLiteral("ShipToFax"))};
}

} // namespace

std::optional<ShipToAddress> customerShipTo(const QString &name)
{
    const RowSet rows = DbConnection().query(QStringLiteral("SELECT * FROM Customer WHERE Name = ?"), {name});
    if (rows.isEmpty())
        return std::nullopt;
    return shipToOf(rows.first());
}

bool orderNumberUsed(const QString &orderNumber)
{
    return !DbConnection()
                .scalar(QStringLiteral("SELECT ID FROM Orders WHERE OrderNumber = ? LIMIT 1"), {orderNumber})
                .isNull();
}

std::optional<SetInfo> activeSet(const QString &customerRefNo)
{
    const RowSet rows = DbConnection().query(
        QStringLiteral("SELECT * FROM Sets WHERE CustomerRefNo = ? AND Status = ?"), {customerRefNo, QStringLiteral("Active")});
    if (rows.isEmpty())
        return std::nullopt;
    const Row &r = rows.first();
    return SetInfo{r.text(QStringLiteral("CustomerRefNo")), r.text(QStringLiteral("Style")),
                   r.text(QStringLiteral("Material")), r.money(QStringLiteral("TotalPrice"))};
}

std::optional<OrderHeader> loadOrder(qint64 id)
{
    const RowSet rows = DbConnection().query(QStringLiteral("SELECT * FROM Orders WHERE ID = ?"), {id});
    if (rows.isEmpty())
        return std::nullopt;
    const Row &r = rows.first();
    OrderHeader h;
    h.id = r.integer(QStringLiteral("ID"));
    h.orderNumber = r.text(QStringLiteral("OrderNumber"));
    h.customer = r.text(QStringLiteral("Customer"));
    h.orderDate = r.date(QStringLiteral("OrderDate"));
    h.dueDate = r.date(QStringLiteral("DueDate"));
    h.shipTo = shipToOf(r);
    h.status = r.text(QStringLiteral("Status"));
    h.total = r.money(QStringLiteral("Total"));
    h.dateAdded = r.date(QStringLiteral("DateAdded"));
    return h;
}

std::vector<OrderLine> loadOrderLines(qint64 id)
{
    std::vector<OrderLine> out;
    const RowSet rows = DbConnection().query(QStringLiteral("SELECT * FROM OrderItem WHERE OrderID = ?"), {id});
    for (const Row &r : rows) {
        OrderLine l;
        l.itemNumber = int(r.integer(QStringLiteral("ItemNumber")));
        l.qty = int(r.integer(QStringLiteral("Qty")));
        l.customerRefNo = r.text(QStringLiteral("CustomerRefNo"));
        l.style = r.text(QStringLiteral("StyleID"));
        l.material = r.text(QStringLiteral("MaterialID"));
        l.priceEach = r.money(QStringLiteral("PriceEach"));
        out.push_back(l);
    }
    return out;
}

bool lineHasCutsheets(qint64 orderId, int itemNumber)
{
    return !DbConnection()
                .scalar(QStringLiteral("SELECT ID FROM Cutsheets WHERE OrderID = ? AND Item = ? LIMIT 1"),
                        {orderId, itemNumber})
                .isNull();
}

qint64 saveOrder(const OrderHeader &header, const std::vector<OrderLine> &lines)
{
    Database &db = DbConnection();
    Transaction tx(db);
    qint64 id = header.id;
    const QVariant total = QVariant::fromValue(header.total);
    if (id != 0) {
        const QString status = header.status.isEmpty() ? QStringLiteral("Open") : header.status;
        if (db.update(QStringLiteral("Orders"), {{QStringLiteral("Status"), status}, {QStringLiteral("Total"), total}},
                      QStringLiteral("ID = ?"), {id}) != 1)
            throw DbError(0, QStringLiteral("Order %1 is no longer in the database.").arg(id));
    } else {
        const ShipToAddress &s = header.shipTo;
        id = db.insert(QStringLiteral("Orders"), {{QStringLiteral("Status"), QStringLiteral("Open")},
                                                  {QStringLiteral("OrderNumber"), header.orderNumber},
                                                  {QStringLiteral("Customer"), header.customer},
                                                  {QStringLiteral("OrderDate"), header.orderDate},
                                                  {QStringLiteral("DueDate"), header.dueDate},
                                                  {QStringLiteral("ShipTo"), s.shipTo},
                                                  {QStringLiteral("ShipToAddress1"), s.address1},
                                                  {QStringLiteral("ShipToAddress2"), s.address2},
                                                  {QStringLiteral("ShipToCity"), s.city},
                                                  {QStringLiteral("ShipToState"), s.state},
                                                  {QStringLiteral("ShipToZip"), s.zip},
                                                  {QStringLiteral("ShipToPhone"), s.phone},
                                                  {QStringLiteral("ShipToFax"), s.fax},
                                                  {QStringLiteral("DateAdded"), Clock::today()},
                                                  {QStringLiteral("Total"), total}});
    }
    db.exec(QStringLiteral("DELETE FROM OrderItem WHERE OrderID = ?"), {id});
    for (const OrderLine &l : lines) {
        db.insert(QStringLiteral("OrderItem"), {{QStringLiteral("OrderID"), id},
                                                {QStringLiteral("ItemNumber"), l.itemNumber},
                                                {QStringLiteral("Qty"), l.qty},
                                                {QStringLiteral("CustomerRefNo"), l.customerRefNo},
                                                {QStringLiteral("StyleID"), l.style},
                                                {QStringLiteral("MaterialID"), l.material},
                                                {QStringLiteral("PriceEach"), QVariant::fromValue(l.priceEach)},
                                                {QStringLiteral("PriceExt"), QVariant::fromValue(l.priceExt())}});
    }
    tx.commit();
    return id;
}


RowSet findOrders(const OrderCriteria &c)
{
    QStringList where;
    QVariantList params;
    if (!c.customer.isEmpty()) {
        where << QStringLiteral("Orders.Customer = ?");
        params << c.customer;
    }
    if (!c.status.isEmpty()) {
        where << QStringLiteral("Orders.Status = ?");
        params << c.status;
    }
    if (c.useOrderDate) {
        // Both ends count whole days, also for a date stored with a time of day.
        where << QStringLiteral("Orders.OrderDate >= ? AND Orders.OrderDate < ?");
        params << isoDate(c.from) << isoDate(c.to.addDays(1));
    }
    if (!c.orderNumber.isEmpty()) {
        where << QStringLiteral("Orders.OrderNumber LIKE ? ESCAPE '\\'");
        params << QString(u'%' + likeLiteral(c.orderNumber) + u'%');
    }
    QString sql = QStringLiteral("SELECT * FROM Orders");
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY Orders.Customer, Orders.OrderNumber");
    return DbConnection().query(sql, params);
}

QString shipToLine(const Row &order)
{
    QString s = order.text(QStringLiteral("ShipTo")) + QStringLiteral(", ") + order.text(QStringLiteral("ShipToAddress1")) +
                QStringLiteral(", ");
    const QString address2 = order.text(QStringLiteral("ShipToAddress2"));
    if (!address2.isEmpty())
        s += address2 + QStringLiteral(", ");
    return s + order.text(QStringLiteral("ShipToCity")) + QStringLiteral(", ") + order.text(QStringLiteral("ShipToState")) +
           u' ' + order.text(QStringLiteral("ShipToZip"));
}

std::optional<int> parseQuantity(const QString &text)
{
    static const QRegularExpression whole(QStringLiteral("^\\s*[+-]?\\d{1,9}\\s*$"));
    if (!whole.match(text).hasMatch())
        return std::nullopt;
    return text.trimmed().toInt();
}

std::optional<Money> parsePrice(const QString &text)
{
    return Money::parse(text.trimmed());
}

Money leadingNumber(const QString &text)
{
    if (const std::optional<Money> m = Money::parse(text.trimmed()))
        return *m;
    static const QRegularExpression lead(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)"));
    const QRegularExpressionMatch m = lead.match(text);
    if (!m.hasMatch())
        return Money();
    return Money::parse(m.captured(0).trimmed()).value_or(Money());
}

QString displayDate(const QVariant &value)
{
    const QDate d = parseDate(value.toString());
    return d.isValid() ? d.toString(Clock::dateFormat()) : QString();
}

} // namespace orders
