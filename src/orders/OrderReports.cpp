#include "orders/OrderReports.h"

#include "core/Database.h"
#include "core/ReportRows.h"
#include "core/SharedRoutines.h"

namespace orders {

namespace {

// Open orders and the production schedule share their scratch tables' recipe: every line of
// every open order with its cut sets (kit consumption rows written by shipments count as cut),
// and every shipped line of an open order with its shipped sets. The documents show open orders
// only; summing the shop's whole history for them cost most of their time. The drops and builds
// are one transaction: on their own each waited for its commit to reach the disk, which was most
// of what remained.
void buildCutAndShipped(const QString &cutTable, const QString &shippedTable)
{
    Database &db = DbConnection();
    Transaction tx(db);
    DropTable(cutTable);
    db.exec(QStringLiteral(
                "CREATE TEMP TABLE \"%1\" AS SELECT OrderItem.OrderID AS OrderID, OrderItem.ItemNumber AS Item, "
                "COALESCE(SUM(Cutsheets.Sets), 0) AS QtyCut "
                "FROM Orders LEFT JOIN OrderItem ON Orders.ID = OrderItem.OrderID "
                "LEFT JOIN Cutsheets ON OrderItem.OrderID = Cutsheets.OrderID AND OrderItem.ItemNumber = "
                "Cutsheets.Item "
                "WHERE Orders.Status = 'Open' "
                "GROUP BY OrderItem.OrderID, OrderItem.ItemNumber, OrderItem.MaterialID, OrderItem.PriceEach")
                .arg(cutTable));
    DropTable(shippedTable);
    db.exec(
        QStringLiteral(
            "CREATE TEMP TABLE \"%1\" AS SELECT ShipmentItems.OrderID AS OrderID, ShipmentItems.LineItem AS Item, "
            "COALESCE(SUM(ShipmentItems.Qty), 0) AS QtyShipped "
            "FROM ShipmentItems LEFT JOIN Shipment ON ShipmentItems.ShipmentID = Shipment.ID "
            "WHERE ShipmentItems.OrderID IN (SELECT ID FROM Orders WHERE Status = 'Open') "
            "GROUP BY ShipmentItems.OrderID, ShipmentItems.LineItem")
            .arg(shippedTable));
    tx.commit();
}

const char *const kOrderHeaderColumns =
    "Orders.ID AS ID, Orders.OrderNumber AS OrderNumber, Orders.Customer AS Customer, "
    "Orders.OrderDate AS OrderDate, Orders.DueDate AS DueDate, Orders.ShipTo AS ShipTo, "
    "Orders.ShipToAddress1 AS ShipToAddress1, Orders.ShipToAddress2 AS ShipToAddress2, "
    "Orders.ShipToCity AS ShipToCity, Orders.ShipToState AS ShipToState, Orders.ShipToZip AS ShipToZip, "
    "Orders.ShipToPhone AS ShipToPhone, Orders.ShipToFax AS ShipToFax, Orders.Status AS Status, "
    "Orders.DateAdded AS DateAdded, ";

// Lines of open orders with the quantities of the two scratch tables; `extra` ends the column
// list, `joins` adds tables after the two scratch tables.
RowSet openOrderLines(const QString &cutTable, const QString &shippedTable, const QString &extra,
                      const QString &joins)
{
    return DbConnection().query(
        QString::fromLatin1("SELECT ") + QLatin1String(kOrderHeaderColumns) +
        QStringLiteral(
            "OrderItem.ItemNumber AS ItemNumber, OrderItem.Qty AS Qty, c.QtyCut AS QtyCut, "
            "s.QtyShipped AS QtyShipped, OrderItem.StyleID AS StyleID, OrderItem.MaterialID AS MaterialID, "
            "OrderItem.CustomerRefNo AS CustomerRefNo, %3 "
            "FROM Orders LEFT JOIN OrderItem ON Orders.ID = OrderItem.OrderID "
            "LEFT JOIN \"%1\" c ON OrderItem.OrderID = c.OrderID AND OrderItem.ItemNumber = c.Item "
            "LEFT JOIN \"%2\" s ON OrderItem.OrderID = s.OrderID AND OrderItem.ItemNumber = s.Item %4 "
            "WHERE Orders.Status = 'Open' "
            "ORDER BY Orders.Customer, Orders.OrderNumber, OrderItem.ItemNumber")
            .arg(cutTable, shippedTable, extra, joins));
}

} // namespace

ReportJob orderEntryControlJob(qint64 orderId)
{
    return reportJob(
        QStringLiteral("crptOrderEntryControlReport"),
        DbConnection().query(
            QString::fromLatin1("SELECT ") + QLatin1String(kOrderHeaderColumns) +
                QStringLiteral("Orders.Total AS Total, OrderItem.OrderID AS OrderID, "
                               "OrderItem.ItemNumber AS ItemNumber, OrderItem.Qty AS Qty, "
                               "OrderItem.StyleID AS StyleID, OrderItem.MaterialID AS MaterialID, "
                               "OrderItem.CustomerRefNo AS CustomerRefNo, OrderItem.PriceEach AS PriceEach, "
                               "OrderItem.PriceExt AS PriceExt "
                               "FROM Orders LEFT JOIN OrderItem ON Orders.ID = OrderItem.OrderID "
                               "WHERE Orders.ID = ? ORDER BY OrderItem.ItemNumber"),
            {orderId}));
}

ReportJob openOrdersJob()
{
    const QString cut = QStringLiteral("tmpOpenOrdersCut");
    const QString shipped = QStringLiteral("tmpOpenOrdersShipped");
    buildCutAndShipped(cut, shipped);
    return reportJob(
        QStringLiteral("crptOpenOrdersReport"),
        openOrderLines(cut, shipped,
                       QStringLiteral("OrderItem.PriceEach AS PriceEach, OrderItem.PriceExt AS PriceExt"),
                       QString()));
}

ReportJob productionScheduleJob()
{
    const QString cut = QStringLiteral("tmpProdSchedCut");
    const QString shipped = QStringLiteral("tmpProdSchedShipped");
    buildCutAndShipped(cut, shipped);
    return reportJob(
        QStringLiteral("crptProductionScheduleReport"),
        openOrderLines(cut, shipped, QStringLiteral("(Sets.ProductionStandard * OrderItem.Qty) AS FeetReq"),
                       QStringLiteral("LEFT JOIN Sets ON OrderItem.CustomerRefNo = Sets.CustomerRefNo")));
}

} // namespace orders
