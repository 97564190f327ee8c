// Order documents: the order entry control report, open orders and the production schedule.
#include "core/Database.h"
#include "core/SharedRoutines.h"
#include "reports/ReportCatalogue.h"
#include "reports/docs/DesignKit.h"
#include "reports/docs/Families.h"

using namespace reports;
using namespace reports::docs;

namespace {

// Open orders and the production schedule: customer, then order, then the lines.
QList<Group> customerOrderGroups(const QStringList &sums)
{
    Group customer;
    customer.keys = {QStringLiteral("Customer")};
    customer.header = QStringLiteral("{Customer}");
    customer.footer = QStringLiteral("Total for {Customer}");
    customer.sums = sums;
    Group order;
    order.keys = {QStringLiteral("ID")};
    order.header =
        QStringLiteral("Order {OrderNumber}  (ID {ID})     Ordered {OrderDate:date}     Due {DueDate:date}"
                       "     Ship to {ShipTo}, {ShipToCity} {ShipToState}");
    return {customer, order};
}

Design orderControlDesign()
{
    Design d;
    d.name = QStringLiteral("crptOrderEntryControlReport");
    d.title = QStringLiteral("Order Entry Control Report");
    d.columns = cols("ID, OrderNumber, Customer, OrderDate, DueDate, ShipTo, ShipToAddress1, ShipToAddress2, "
                     "ShipToCity, ShipToState, ShipToZip, ShipToPhone, ShipToFax, Status, DateAdded, Total, "
                     "OrderID, ItemNumber, Qty, StyleID, MaterialID, CustomerRefNo, PriceEach, PriceExt");
    Group g;
    g.keys = {QStringLiteral("ID")};
    g.header = QStringLiteral("Order {OrderNumber}  -  {Customer}");
    g.blocks = {shipToBlock(true)};
    g.infos = {{QStringLiteral("Order ID"), QStringLiteral("{ID}")},
               {QStringLiteral("Order Date"), QStringLiteral("{OrderDate:date}")},
               {QStringLiteral("Due Date"), QStringLiteral("{DueDate:date}")},
               {QStringLiteral("Status"), QStringLiteral("{Status}")},
               {QStringLiteral("Entered"), QStringLiteral("{DateAdded:date}")},
               {QStringLiteral("Order Total"), QStringLiteral("{Total:money}")}};
    g.footer = QStringLiteral("Order Total");
    g.sums = cols("Qty, PriceExt");
    g.newPage = true;
    d.groups = {g};
    d.details = {count(QStringLiteral("ItemNumber"), QStringLiteral("Line"), 0.5),
                 count(QStringLiteral("Qty"), QStringLiteral("Qty"), 0.6),
                 text(QStringLiteral("CustomerRefNo"), QStringLiteral("Customer Ref No"), 1.5),
                 text(QStringLiteral("StyleID"), QStringLiteral("Style"), 1.3),
                 text(QStringLiteral("MaterialID"), QStringLiteral("Material"), 1.1),
                 price(QStringLiteral("PriceEach"), QStringLiteral("Price Each"), 1),
                 money(QStringLiteral("PriceExt"), QStringLiteral("Extended"), 1.1)};
    return d;
}

// Open orders and the production schedule list the same lines of open orders; `last` are the
// input columns after CustomerRefNo, `details` the columns after the quantities cut.
Design openLinesDesign(const QString &name, const QString &title, const char *last, const QStringList &sums,
                       const QList<Column> &details)
{
    Design d;
    d.name = name;
    d.title = title;
    d.orientation = QPageLayout::Landscape;
    d.columns =
        cols("ID, OrderNumber, Customer, OrderDate, DueDate, ShipTo, ShipToAddress1, ShipToAddress2, "
             "ShipToCity, ShipToState, ShipToZip, ShipToPhone, ShipToFax, Status, DateAdded, ItemNumber, "
             "Qty, QtyCut, QtyShipped, StyleID, MaterialID, CustomerRefNo") +
        cols(last);
    d.groups = customerOrderGroups(sums);
    d.details = {count(QStringLiteral("ItemNumber"), QStringLiteral("Line"), 0.4),
                 text(QStringLiteral("CustomerRefNo"), QStringLiteral("Customer Ref No"), 1.4),
                 text(QStringLiteral("StyleID"), QStringLiteral("Style"), 1.2),
                 text(QStringLiteral("MaterialID"), QStringLiteral("Material"), 1),
                 count(QStringLiteral("Qty"), QStringLiteral("Ordered")),
                 count(QStringLiteral("QtyCut"), QStringLiteral("Cut"))};
    d.details << details;
    d.totals = sums;
    return d;
}

Design openOrdersDesign()
{
    Design d =
        openLinesDesign(QStringLiteral("crptOpenOrdersReport"), QStringLiteral("Open Orders Report"),
                        "PriceEach, PriceExt", cols("Qty, QtyCut, QtyShipped, Qty-QtyShipped, PriceExt"),
                        {count(QStringLiteral("QtyShipped"), QStringLiteral("Shipped")),
                         count(QStringLiteral("Qty-QtyShipped"), QStringLiteral("Open")),
                         price(QStringLiteral("PriceEach"), QStringLiteral("Price Each"), 0.9),
                         money(QStringLiteral("PriceExt"), QStringLiteral("Extended"), 1)});
    d.totalLabel = QStringLiteral("Total Open Orders");
    return d;
}

Design productionScheduleDesign()
{
    Design d =
        openLinesDesign(QStringLiteral("crptProductionScheduleReport"), QStringLiteral("Production Schedule"),
                        "FeetReq", cols("Qty, QtyCut, Qty-QtyCut, QtyShipped, FeetReq"),
                        {count(QStringLiteral("Qty-QtyCut"), QStringLiteral("To Cut")),
                         count(QStringLiteral("QtyShipped"), QStringLiteral("Shipped")),
                         qty(QStringLiteral("FeetReq"), QStringLiteral("Feet Required"), 0.9)});
    d.totalLabel = QStringLiteral("Total Open Production");
    return d;
}

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
    return job(
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
    return job(
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
    return job(
        QStringLiteral("crptProductionScheduleReport"),
        openOrderLines(cut, shipped, QStringLiteral("(Sets.ProductionStandard * OrderItem.Qty) AS FeetReq"),
                       QStringLiteral("LEFT JOIN Sets ON OrderItem.CustomerRefNo = Sets.CustomerRefNo")));
}

void reports::docs::addOrderDocuments(Family &family)
{
    // Printed by the order window itself, which asks whether it printed.
    family.add(
        {.design = orderControlDesign(),
         .build =
             [](const ReportArguments &a) { return orderEntryControlJob(a.id(QStringLiteral("order"))); },
         .arguments = {{QStringLiteral("order"), ArgumentKind::Number, true, QStringLiteral("order ID")}},
         .output = Output::Print});
    family.add({.design = openOrdersDesign(),
                .build = [](const ReportArguments &) { return openOrdersJob(); },
                .commandKey = QStringLiteral("OpenOrders"),
                .hourglass = true});
    family.add({.design = productionScheduleDesign(),
                .build = [](const ReportArguments &) { return productionScheduleJob(); },
                .commandKey = QStringLiteral("ProductionSchedule"),
                .hourglass = true});
}
