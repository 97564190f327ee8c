#include "orders/OrderData.h"

#include "core/Clock.h"
#include "core/SharedRoutines.h"
#include "orders/QuintarWorkbook.h"

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

Refusal refusal(const char *text, const char *title, const char *field)
{
    return {QString::fromLatin1(text), QString::fromLatin1(title), QString::fromLatin1(field)};
}

} // namespace

int nextLineNumber(const std::vector<OrderLine> &lines)
{
    return lines.empty() ? 1 : lines.back().itemNumber + 1;
}

Money linesTotal(const std::vector<OrderLine> &lines)
{
    Money sum;
    for (const OrderLine &l : lines)
        sum += l.priceExt();
    return sum;
}

Refusal unknownSetRefusal()
{
    return refusal("Not a valid Customer Reference Number. Please re-enter.", "Invalid Customer Reference Number",
                   "txtCustomerRefNo");
}

LineChange prepareLine(const LineEntry &entry, const std::vector<OrderLine> &lines)
{
    LineChange change;
    if (entry.qty.trimmed().isEmpty()) {
        change.refusal = refusal("You must enter a quantity.", "Not a Valid Quantity", "txtQty");
        return change;
    }
    if (entry.priceEach.trimmed().isEmpty()) {
        change.refusal = refusal("You must enter a price each.", "Not a Valid Price", "txtPriceEach");
        return change;
    }
    const std::optional<int> qty = parseQuantity(entry.qty);
    if (!qty || *qty < 0) {
        change.refusal = refusal("The quantity must be a whole number of sets, such as 12.", "Not a Valid Quantity",
                                 "txtQty");
        return change;
    }
    const std::optional<Money> price = parsePrice(entry.priceEach);
    if (!price) {
        change.refusal = refusal("The price each must be a number, such as 95.50.", "Not a Valid Price", "txtPriceEach");
        return change;
    }
    OrderLine &line = change.line;
    line.qty = *qty;
    line.customerRefNo = entry.customerRefNo.trimmed();
    line.style = entry.style;
    line.material = entry.material;
    line.priceEach = *price;
    for (int r = 0; r < int(lines.size()) && entry.itemNumber != 0; ++r) {
        if (lines.at(r).itemNumber == entry.itemNumber)
            change.row = r;
    }

    // A line must name an active set, unless it is an existing line keeping its set.
    const bool keepsSet = change.row >= 0 && lines.at(change.row).customerRefNo == line.customerRefNo;
    if (!keepsSet) {
        change.set = line.customerRefNo.isEmpty() ? std::nullopt : activeSet(line.customerRefNo);
        if (!change.set) {
            change.refusal = unknownSetRefusal();
            return change;
        }
        line.customerRefNo = change.set->customerRefNo;
        if (!change.set->style.isEmpty())
            line.style = change.set->style;
        line.material = change.set->material;
    }
    if (change.row >= 0) {
        line.itemNumber = entry.itemNumber;
    } else {
        line.itemNumber = nextLineNumber(lines);
        change.offerSetPrice = line.priceEach != change.set->totalPrice && !PriceChangedSince(line.customerRefNo);
    }
    return change;
}

Refusal unknownImportRefusal(const QString &customerRefNo)
{
    return {customerRefNo + QStringLiteral(" is not a valid Customer Reference Number. Please add the Customer "
                                           "Reference Number and retry."),
            QStringLiteral("Invalid Customer Reference Number"),
            {}};
}

std::vector<ImportStep> importSteps(const WorkbookOrder &order, int nextItem)
{
    std::vector<ImportStep> steps;
    bool adding = true;
    for (const WorkbookLine &wl : order.lines) {
        ImportStep step;
        step.customerRefNo = wl.customerRefNo;
        const std::optional<SetInfo> set = activeSet(wl.customerRefNo);
        if (!set) {
            adding = false;
            steps.push_back(step);
            continue;
        }
        if (!adding)
            continue;
        OrderLine line;
        line.itemNumber = nextItem++;
        line.qty = wl.qty;
        line.customerRefNo = wl.customerRefNo;
        line.style = set->style;
        line.material = set->material;
        line.priceEach = wl.price;
        step.line = line;
        step.cataloguePrice = set->totalPrice;
        step.pricesDiffer = set->totalPrice != wl.price;
        steps.push_back(step);
    }
    return steps;
}

QString importPriceQuestion(const ImportStep &step)
{
    const QString p = step.line ? step.line->priceEach.toPlainString() : QString();
    return QStringLiteral("Quintar's Price of ") + p + QStringLiteral(" does not match your price of ") +
           step.cataloguePrice.toPlainString() + QStringLiteral(" for set ") + step.customerRefNo +
           QStringLiteral(". Do you want to use Quintar's price of ") + p + u'?';
}

QString importPriceTitle()
{
    return QStringLiteral("Prices Do Not Match");
}

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

std::optional<Refusal> usedOrderNumberWarning(const QString &orderNumber)
{
    if (orderNumber.isEmpty() || !orderNumberUsed(orderNumber))
        return std::nullopt;
    return refusal("This Customer Order Number has been previously used.", "Order Number Previously Used.",
                   "");
}

std::optional<Refusal> refuseOrderSave(const QString &orderNumber, const QString &customer)
{
    if (orderNumber.isEmpty() || customer.isEmpty())
        return refusal("Customer and Order Number fields are required.", "Required Fields", "");
    return std::nullopt;
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

QByteArray orderStamp(qint64 id)
{
    Database &db = DbConnection();
    return db.stamp(QStringLiteral("SELECT * FROM Orders WHERE ID = ?"), {id}) +
           db.stamp(QStringLiteral("SELECT * FROM OrderItem WHERE OrderID = ? ORDER BY ItemNumber"), {id});
}

std::optional<OrderHeader> loadOrder(qint64 id)
{
    const QByteArray loaded = orderStamp(id);
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
    h.loaded = loaded;
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
    return retrying(db, [&] {
        Transaction tx(db);
        qint64 id = header.id;
        const QVariant total = QVariant::fromValue(header.total);
        if (id != 0) {
            db.lockRows(QStringLiteral("Orders"), QStringLiteral("ID = ?"), {id});
            if (!header.loaded.isEmpty() && orderStamp(id) != header.loaded)
                throw DbError::changed(QStringLiteral("Order %1").arg(id));
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
    });
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
