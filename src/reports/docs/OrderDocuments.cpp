// Order documents: the order entry control report, open orders and the production schedule.
#include "orders/OrderReports.h"
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

// The columns of the lines of open orders; `last` are those after CustomerRefNo.
QStringList openLineColumns(const char *last)
{
    return cols("ID, OrderNumber, Customer, OrderDate, DueDate, ShipTo, ShipToAddress1, ShipToAddress2, "
                "ShipToCity, ShipToState, ShipToZip, ShipToPhone, ShipToFax, Status, DateAdded, ItemNumber, "
                "Qty, QtyCut, QtyShipped, StyleID, MaterialID, CustomerRefNo") +
           cols(last);
}

// Open orders and the production schedule list the same lines of open orders; `details` are the
// columns after the quantities cut.
Design openLinesDesign(const QString &name, const QString &title, const QStringList &sums,
                       const QList<Column> &details)
{
    Design d;
    d.name = name;
    d.title = title;
    d.orientation = QPageLayout::Landscape;
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
    Design d = openLinesDesign(QStringLiteral("crptOpenOrdersReport"), QStringLiteral("Open Orders Report"),
                               cols("Qty, QtyCut, QtyShipped, Qty-QtyShipped, PriceExt"),
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
                        cols("Qty, QtyCut, Qty-QtyCut, QtyShipped, FeetReq"),
                        {count(QStringLiteral("Qty-QtyCut"), QStringLiteral("To Cut")),
                         count(QStringLiteral("QtyShipped"), QStringLiteral("Shipped")),
                         qty(QStringLiteral("FeetReq"), QStringLiteral("Feet Required"), 0.9)});
    d.totalLabel = QStringLiteral("Total Open Production");
    return d;
}

} // namespace

void reports::docs::addOrderDocuments(Family &family)
{
    // Printed by the order window itself, which asks whether it printed.
    family.add(
        {.design = orderControlDesign(),
         .columns =
             cols("ID, OrderNumber, Customer, OrderDate, DueDate, ShipTo, ShipToAddress1, ShipToAddress2, "
                  "ShipToCity, ShipToState, ShipToZip, ShipToPhone, ShipToFax, Status, DateAdded, Total, "
                  "OrderID, ItemNumber, Qty, StyleID, MaterialID, CustomerRefNo, PriceEach, PriceExt"),
         .build =
             [](const ReportArguments &a) {
                 return orders::orderEntryControlJob(a.id(QStringLiteral("order")));
             },
         .arguments = {{QStringLiteral("order"), ArgumentKind::Number, true, QStringLiteral("order ID")}},
         .output = Output::Print});
    family.add({.design = openOrdersDesign(),
                .columns = openLineColumns("PriceEach, PriceExt"),
                .build = [](const ReportArguments &) { return orders::openOrdersJob(); },
                .command = PaneCommand{QStringLiteral("Order Entry"), QStringLiteral("Open Orders Report"),
                                       QStringLiteral("OpenOrders"), QStringLiteral("OrderEntry")},
                .hourglass = true});
    family.add({.design = productionScheduleDesign(),
                .columns = openLineColumns("FeetReq"),
                .build = [](const ReportArguments &) { return orders::productionScheduleJob(); },
                .command = PaneCommand{QStringLiteral("Order Entry"), QStringLiteral("Production Schedule"),
                                       QStringLiteral("ProductionSchedule"), QStringLiteral("OpenOrders")},
                .hourglass = true});
}
