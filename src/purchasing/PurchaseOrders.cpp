#include "purchasing/PurchaseOrders.h"

#include <QCoreApplication>

#include <algorithm>
#include <QRegularExpression>

namespace purchasing {

std::vector<PendingItem> openPendingItems()
{
    std::vector<PendingItem> out;
    const RowSet rows = DbConnection().query(
        QStringLiteral("SELECT * FROM PendingPOItems WHERE Status = ? ORDER BY CustomerRefNo"),
        {QStringLiteral("Open")});
    out.reserve(size_t(rows.size()));
    for (const Row &r : rows) {
        PendingItem p;
        p.id = r.integer(QStringLiteral("ID"));
        p.customerRefNo = r.text(QStringLiteral("CustomerRefNo"));
        p.partNumber = r.text(QStringLiteral("PartNumber"));
        p.description = r.text(QStringLiteral("Description"));
        p.colorName = r.text(QStringLiteral("ColorName"));
        p.rStringNumber = r.text(QStringLiteral("RStringNumber"));
        p.quantity = r.number(QStringLiteral("Quantity"));
        p.price = r.money(QStringLiteral("Price"));
        p.dockDate = r.date(QStringLiteral("DockDate"));
        out.push_back(p);
    }
    return out;
}

std::optional<POHeader> poDefaults()
{
    const RowSet rows = DbConnection().query(QStringLiteral("SELECT * FROM POSetup LIMIT 1"));
    if (rows.isEmpty())
        return std::nullopt;
    const Row &r = rows.first();
    POHeader h;
    h.vendor1 = r.text(QStringLiteral("Vendor1"));
    h.vendor2 = r.text(QStringLiteral("Vendor2"));
    h.vendor3 = r.text(QStringLiteral("Vendor3"));
    h.terms = r.text(QStringLiteral("Terms"));
    h.billTo1 = r.text(QStringLiteral("BillTo1"));
    h.billTo2 = r.text(QStringLiteral("BillTo2"));
    h.billTo3 = r.text(QStringLiteral("BillTo3"));
    h.shipTo1 = r.text(QStringLiteral("ShipTo1"));
    h.shipTo2 = r.text(QStringLiteral("ShipTo2"));
    h.shipTo3 = r.text(QStringLiteral("ShipTo3"));
    h.comment = r.text(QStringLiteral("Comment"));
    return h;
}

qint64 createPurchaseOrder(const POHeader &h, const Money &total, const std::vector<POLine> &lines)
{
    Database &db = DbConnection();
    return retrying(db, [&] {
        Transaction tx(db);
        // The items are locked in one order before anything is written, so two stations putting the
        // same items on a purchase order meet here and the second finds them closed.
        std::vector<qint64> pending;
        for (const POLine &l : lines)
            pending.push_back(l.pendingId);
        std::sort(pending.begin(), pending.end());
        for (qint64 id : pending)
            db.lockRows(QStringLiteral("PendingPOItems"), QStringLiteral("ID = ?"), {id});
        const qint64 po =
            db.insert(QStringLiteral("PurchaseOrder"), {{QStringLiteral("Vendor1"), h.vendor1},
                                                        {QStringLiteral("Vendor2"), h.vendor2},
                                                        {QStringLiteral("Vendor3"), h.vendor3},
                                                        {QStringLiteral("PODate"), h.poDate},
                                                        {QStringLiteral("DueDate"), h.dueDate},
                                                        {QStringLiteral("Terms"), h.terms},
                                                        {QStringLiteral("BillTo1"), h.billTo1},
                                                        {QStringLiteral("BillTo2"), h.billTo2},
                                                        {QStringLiteral("BillTo3"), h.billTo3},
                                                        {QStringLiteral("ShipTo1"), h.shipTo1},
                                                        {QStringLiteral("ShipTo2"), h.shipTo2},
                                                        {QStringLiteral("ShipTo3"), h.shipTo3},
                                                        {QStringLiteral("Comment"), h.comment},
                                                        {QStringLiteral("Total"), QVariant::fromValue(total)}});
        for (const POLine &l : lines) {
            const qint64 item = db.insert(QStringLiteral("PurchaseOrderItem"),
                                          {{QStringLiteral("POID"), po},
                                           {QStringLiteral("Quantity"), l.quantity},
                                           {QStringLiteral("PartNumber"), l.partNumber},
                                           {QStringLiteral("Description"), l.description},
                                           {QStringLiteral("Color"), l.color},
                                           {QStringLiteral("ColorNumber"), l.colorNumber},
                                           {QStringLiteral("PriceEach"), QVariant::fromValue(l.priceEach)},
                                           {QStringLiteral("PriceExt"), QVariant::fromValue(l.priceExt)},
                                           {QStringLiteral("PendingPOItemID"), l.pendingId}});
            if (db.update(QStringLiteral("PendingPOItems"),
                          {{QStringLiteral("POID"), po},
                           {QStringLiteral("POItemID"), item},
                           {QStringLiteral("Status"), QStringLiteral("Closed")}},
                          QStringLiteral("ID = ? AND Status = ?"), {l.pendingId, QStringLiteral("Open")}) != 1)
                throw DbError(0,
                              QStringLiteral("Pending item %1 is no longer open; no purchase order was created.")
                                  .arg(l.pendingId));
        }
        tx.commit();
        return po;
    });
}

void withdrawPendingItem(qint64 id)
{
    DbConnection().exec(QStringLiteral("UPDATE PendingPOItems SET Status = ? WHERE ID = ?"),
                        {QStringLiteral("Delete"), id});
}

RowSet findPurchaseOrders(const POCriteria &c)
{
    QString sql = QStringLiteral("SELECT * FROM PurchaseOrder WHERE 1=1");
    QVariantList params;
    if (c.number) {
        sql += QStringLiteral(" AND ID = ?");
        params << *c.number;
    }
    if (c.useDate) {
        // Whole days at both ends, also for a date stored with a time of day.
        sql += QStringLiteral(" AND (PODate >= ? AND PODate < ?)");
        params << isoDate(c.from) << isoDate(c.to.addDays(1));
    }
    sql += QStringLiteral(" ORDER BY ID");
    return DbConnection().query(sql, params);
}

QList<qint64> purchaseOrderNumbers()
{
    QList<qint64> out;
    for (const Row &r : DbConnection().query(QStringLiteral("SELECT ID FROM PurchaseOrder ORDER BY ID DESC")))
        out << r.integer(QStringLiteral("ID"));
    return out;
}

std::optional<Refusal> refuseEmptyPurchaseOrder(const std::vector<POLine> &lines)
{
    if (!lines.empty())
        return std::nullopt;
    return Refusal{QStringLiteral("No Item Selected."), QCoreApplication::applicationName(), QString()};
}

PONumber parsePONumber(const QString &text)
{
    PONumber out;
    const QString t = text.trimmed();
    if (t.isEmpty())
        return out;
    static const QRegularExpression whole(QStringLiteral("^\\d{1,15}$"));
    if (whole.match(t).hasMatch()) {
        out.number = t.toLongLong();
        return out;
    }
    out.refusal = Refusal{QStringLiteral("The PO number must be a whole number, such as 1042. \"") + t +
                              QStringLiteral("\" is not one."),
                          QCoreApplication::applicationName(), QStringLiteral("cmbPO")};
    return out;
}

void deletePurchaseOrder(qint64 id, const QByteArray &loaded)
{
    Database &db = DbConnection();
    Transaction tx(db);
    db.lockRows(QStringLiteral("PurchaseOrder"), QStringLiteral("ID = ?"), {id});
    if (!loaded.isEmpty() && db.stamp(QStringLiteral("SELECT * FROM PurchaseOrder WHERE ID = ?"), {id}) != loaded)
        throw DbError::changed(QStringLiteral("Purchase order %1").arg(id));
    db.exec(QStringLiteral("UPDATE PendingPOItems SET Status = ? WHERE ID IN "
                           "(SELECT PendingPOItemID FROM PurchaseOrderItem WHERE POID = ?)"),
            {QStringLiteral("Open"), id});
    db.exec(QStringLiteral("DELETE FROM PurchaseOrderItem WHERE POID = ?"), {id});
    db.exec(QStringLiteral("DELETE FROM PurchaseOrder WHERE ID = ?"), {id});
    tx.commit();
}

} // namespace purchasing
