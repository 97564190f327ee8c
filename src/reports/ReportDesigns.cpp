// The designs of every printed document.
#include "reports/ReportDesign.h"

namespace reports {

namespace {

Column text(const QString &field, const QString &heading, double width = 1)
{
    return {field, heading, width, Format::Text, Align::Auto, {}};
}
Column money(const QString &field, const QString &heading, double width = 1)
{
    return {field, heading, width, Format::Money, Align::Auto, {}};
}
Column price(const QString &field, const QString &heading, double width = 1)
{
    return {field, heading, width, Format::Price, Align::Auto, {}};
}
Column qty(const QString &field, const QString &heading, double width = 0.8)
{
    return {field, heading, width, Format::Quantity, Align::Auto, {}};
}
Column count(const QString &field, const QString &heading, double width = 0.6)
{
    return {field, heading, width, Format::Integer, Align::Auto, {}};
}
Column date(const QString &field, const QString &heading, double width = 0.9)
{
    return {field, heading, width, Format::Date, Align::Auto, {}};
}
Column percent(const QString &field, const QString &heading, double width = 0.7)
{
    return {field, heading, width, Format::Percent, Align::Auto, {}};
}

QStringList cols(const char *list)
{
    QStringList out;
    for (const QString &c : QString::fromLatin1(list).split(u','))
        out << c.trimmed();
    return out;
}

const QStringList kAddressLines = {QStringLiteral("{ShipTo}"), QStringLiteral("{ShipToAddress1}"),
                                   QStringLiteral("{ShipToAddress2}"),
                                   QStringLiteral("{ShipToCity}, {ShipToState}  {ShipToZip}")};

Block shipToBlock(bool withPhone)
{
    Block b{QStringLiteral("Ship To"), kAddressLines};
    if (withPhone) {
        b.lines << QStringLiteral("Phone {ShipToPhone}") << QStringLiteral("Fax {ShipToFax}");
    }
    return b;
}

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
    order.header = QStringLiteral("Order {OrderNumber}  (ID {ID})     Ordered {OrderDate:date}     Due {DueDate:date}"
                                  "     Ship to {ShipTo}, {ShipToCity} {ShipToState}");
    return {customer, order};
}

Group statusGroup(const QString &what)
{
    Group g;
    g.keys = {QStringLiteral("Status")};
    g.header = QStringLiteral("{Status}");
    g.footer = QStringLiteral("{Status} ") + what + QStringLiteral(": {count}");
    return g;
}

Design yieldDesign(const QString &name, const QString &title, bool perEmployee)
{
    Design d;
    d.name = name;
    d.title = title;
    d.columns = perEmployee ? cols("SSN, FirstName, LastName, Style, Sets, Required, Used")
                            : cols("Customer, Style, Sets, Required, Used");
    d.slots = {{QStringLiteral("StartDate"), QStringLiteral("From")},
               {QStringLiteral("EndDate"), QStringLiteral("To")},
               {QStringLiteral("SingleSelection"), QString(), true}};
    Group g;
    if (perEmployee) {
        g.keys = {QStringLiteral("SSN")};
        g.header = QStringLiteral("{LastName}, {FirstName}   ({SSN})");
        g.footer = QStringLiteral("Total for {FirstName} {LastName}");
    } else {
        g.keys = {QStringLiteral("Customer")};
        g.header = QStringLiteral("{Customer}");
        g.footer = QStringLiteral("Total for {Customer}");
    }
    g.sums = cols("Sets, Required, Used, Used-Required, Required/Used");
    d.groups = {g};
    d.details = {text(QStringLiteral("Style"), QStringLiteral("Style"), 2),
                 count(QStringLiteral("Sets"), QStringLiteral("Sets"), 0.8),
                 qty(QStringLiteral("Required"), QStringLiteral("Feet Required"), 1),
                 qty(QStringLiteral("Used"), QStringLiteral("Feet Used"), 1),
                 qty(QStringLiteral("Used-Required"), QStringLiteral("Over (Under)"), 1),
                 percent(QStringLiteral("Required/Used"), QStringLiteral("Yield"), 0.8)};
    d.totalLabel = QStringLiteral("Report Total");
    d.totals = g.sums;
    d.flagHidesTotal = true;
    return d;
}

QList<Design> makeDesigns()
{
    QList<Design> all;

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
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptPurchaseOrder");
        d.title = QStringLiteral("Purchase Order");
        d.columns = cols("POID, Vendor1, Vendor2, Vendor3, PODate, DueDate, Terms, BillTo1, BillTo2, BillTo3, "
                         "ShipTo1, ShipTo2, ShipTo3, Comment, Total, Quantity, PartNumber, Description, COlor, "
                         "ColorNumber, PriceEach, PriceExt");
        Group g;
        g.keys = {QStringLiteral("POID")};
        g.header = QStringLiteral("Purchase Order No. {POID}");
        g.blocks = {{QStringLiteral("Vendor"), cols("{Vendor1}, {Vendor2}, {Vendor3}")},
                    {QStringLiteral("Bill To"), cols("{BillTo1}, {BillTo2}, {BillTo3}")},
                    {QStringLiteral("Ship To"), cols("{ShipTo1}, {ShipTo2}, {ShipTo3}")}};
        g.infos = {{QStringLiteral("PO Number"), QStringLiteral("{POID}")},
                   {QStringLiteral("PO Date"), QStringLiteral("{PODate:date}")},
                   {QStringLiteral("Due Date"), QStringLiteral("{DueDate:date}")},
                   {QStringLiteral("Terms"), QStringLiteral("{Terms}")}};
        g.footer = QStringLiteral("Purchase Order Total");
        g.sums = cols("PriceExt");
        g.newPage = true;
        d.groups = {g};
        d.details = {qty(QStringLiteral("Quantity"), QStringLiteral("Quantity"), 0.8),
                     text(QStringLiteral("PartNumber"), QStringLiteral("Part Number"), 1.2),
                     text(QStringLiteral("Description"), QStringLiteral("Description"), 2.2),
                     text(QStringLiteral("COlor"), QStringLiteral("Color"), 1.1),
                     text(QStringLiteral("ColorNumber"), QStringLiteral("Color No."), 0.9),
                     price(QStringLiteral("PriceEach"), QStringLiteral("Price Each"), 0.9),
                     money(QStringLiteral("PriceExt"), QStringLiteral("Amount"), 1)};
        d.notes = {QStringLiteral("{Comment}"),
                   QStringLiteral("Please confirm this order and its due date. Quote the PO number on every "
                                  "delivery note and invoice.")};
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptImportLogReport");
        d.title = QStringLiteral("Import Log");
        d.columns = cols("ID, ImportID, LogDate, Description");
        Group g;
        g.keys = {QStringLiteral("ImportID")};
        g.header = QStringLiteral("Import {ImportID}");
        g.footer = QStringLiteral("Lines logged: {count}");
        d.groups = {g};
        d.details = {{QStringLiteral("LogDate"), QStringLiteral("Logged"), 1.3, Format::DateTime, Align::Left, {}},
                     text(QStringLiteral("Description"), QStringLiteral("Description"), 6)};
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptOpenOrdersReport");
        d.title = QStringLiteral("Open Orders Report");
        d.orientation = QPageLayout::Landscape;
        d.columns = cols("ID, OrderNumber, Customer, OrderDate, DueDate, ShipTo, ShipToAddress1, ShipToAddress2, "
                         "ShipToCity, ShipToState, ShipToZip, ShipToPhone, ShipToFax, Status, DateAdded, ItemNumber, "
                         "Qty, QtyCut, QtyShipped, StyleID, MaterialID, CustomerRefNo, PriceEach, PriceExt");
        const QStringList sums = cols("Qty, QtyCut, QtyShipped, Qty-QtyShipped, PriceExt");
        d.groups = customerOrderGroups(sums);
        d.details = {count(QStringLiteral("ItemNumber"), QStringLiteral("Line"), 0.4),
                     text(QStringLiteral("CustomerRefNo"), QStringLiteral("Customer Ref No"), 1.4),
                     text(QStringLiteral("StyleID"), QStringLiteral("Style"), 1.2),
                     text(QStringLiteral("MaterialID"), QStringLiteral("Material"), 1),
                     count(QStringLiteral("Qty"), QStringLiteral("Ordered")),
                     count(QStringLiteral("QtyCut"), QStringLiteral("Cut")),
                     count(QStringLiteral("QtyShipped"), QStringLiteral("Shipped")),
                     count(QStringLiteral("Qty-QtyShipped"), QStringLiteral("Open")),
                     price(QStringLiteral("PriceEach"), QStringLiteral("Price Each"), 0.9),
                     money(QStringLiteral("PriceExt"), QStringLiteral("Extended"), 1)};
        d.totalLabel = QStringLiteral("Total Open Orders");
        d.totals = sums;
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptProductionScheduleReport");
        d.title = QStringLiteral("Production Schedule");
        d.orientation = QPageLayout::Landscape;
        d.columns = cols("ID, OrderNumber, Customer, OrderDate, DueDate, ShipTo, ShipToAddress1, ShipToAddress2, "
                         "ShipToCity, ShipToState, ShipToZip, ShipToPhone, ShipToFax, Status, DateAdded, ItemNumber, "
                         "Qty, QtyCut, QtyShipped, StyleID, MaterialID, CustomerRefNo, FeetReq");
        const QStringList sums = cols("Qty, QtyCut, Qty-QtyCut, QtyShipped, FeetReq");
        d.groups = customerOrderGroups(sums);
        d.details = {count(QStringLiteral("ItemNumber"), QStringLiteral("Line"), 0.4),
                     text(QStringLiteral("CustomerRefNo"), QStringLiteral("Customer Ref No"), 1.4),
                     text(QStringLiteral("StyleID"), QStringLiteral("Style"), 1.2),
                     text(QStringLiteral("MaterialID"), QStringLiteral("Material"), 1),
                     count(QStringLiteral("Qty"), QStringLiteral("Ordered")),
                     count(QStringLiteral("QtyCut"), QStringLiteral("Cut")),
                     count(QStringLiteral("Qty-QtyCut"), QStringLiteral("To Cut")),
                     count(QStringLiteral("QtyShipped"), QStringLiteral("Shipped")),
                     qty(QStringLiteral("FeetReq"), QStringLiteral("Feet Required"), 0.9)};
        d.totalLabel = QStringLiteral("Total Open Production");
        d.totals = sums;
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptCutsheetEntryControlReport");
        d.title = QStringLiteral("Cutsheet Entry Control Report");
        d.columns = cols("ID, SSN, Date, OrderID, Item, Sets, Feet, Action, FirstName, LastName");
        d.details = {text(QStringLiteral("Action"), QStringLiteral("Action"), 0.9),
                     count(QStringLiteral("ID"), QStringLiteral("Cutsheet"), 0.7),
                     date(QStringLiteral("Date"), QStringLiteral("Date")),
                     text(QStringLiteral("SSN"), QStringLiteral("SSN"), 1.1),
                     text(QStringLiteral("{FirstName} {LastName}"), QStringLiteral("Employee"), 1.6),
                     count(QStringLiteral("OrderID"), QStringLiteral("Order"), 0.6),
                     count(QStringLiteral("Item"), QStringLiteral("Line"), 0.5),
                     count(QStringLiteral("Sets"), QStringLiteral("Sets"), 0.6),
                     qty(QStringLiteral("Feet"), QStringLiteral("Feet"), 0.7)};
        // New, changed and deleted cut sheets side by side: their sets do not add up.
        d.totalLabel = QStringLiteral("Cutsheets listed: {count}");
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptCustomerReport");
        d.title = QStringLiteral("Customer Listing");
        d.orientation = QPageLayout::Landscape;
        d.columns = cols("Name, Address1, Address2, City, State, Zip, Phone, Fax, Status, DateAdded, ShipTo, "
                         "ShipToAddress1, ShipToAddress2, ShipToCity, ShipToState, ShipToZip, ShipToPhone, "
                         "ShipToFax, Terms, Days");
        d.groups = {statusGroup(QStringLiteral("customers"))};
        d.details = {text(QStringLiteral("Name"), QStringLiteral("Name"), 1.9),
                     text(QStringLiteral("{Address1}, {Address2}"), QStringLiteral("Address"), 1.7),
                     text(QStringLiteral("{City}, {State}  {Zip}"), QStringLiteral("City, State, Zip"), 1.5),
                     text(QStringLiteral("Phone"), QStringLiteral("Phone"), 1),
                     text(QStringLiteral("Fax"), QStringLiteral("Fax"), 1),
                     text(QStringLiteral("{ShipTo}, {ShipToAddress1}, {ShipToCity}, {ShipToState}"),
                          QStringLiteral("Ship To"), 2.3),
                     text(QStringLiteral("Terms"), QStringLiteral("Terms"), 0.8),
                     count(QStringLiteral("Days"), QStringLiteral("Days"), 0.4),
                     date(QStringLiteral("DateAdded"), QStringLiteral("Added"), 0.8)};
        d.totalLabel = QStringLiteral("Customers in all: {count}");
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptEmployeeReport");
        d.title = QStringLiteral("Employee Listing");
        d.columns = cols("SSN, FirstName, LastName, Address, City, State, Zip, Phone, Status, HireDate, DateAdded");
        d.groups = {statusGroup(QStringLiteral("employees"))};
        d.details = {text(QStringLiteral("{LastName}, {FirstName}"), QStringLiteral("Name"), 1.6),
                     text(QStringLiteral("SSN"), QStringLiteral("SSN"), 1),
                     text(QStringLiteral("Address"), QStringLiteral("Address"), 1.6),
                     text(QStringLiteral("{City}, {State}  {Zip}"), QStringLiteral("City, State, Zip"), 1.6),
                     text(QStringLiteral("Phone"), QStringLiteral("Phone"), 1),
                     date(QStringLiteral("HireDate"), QStringLiteral("Hired"), 0.8),
                     date(QStringLiteral("DateAdded"), QStringLiteral("Added"), 0.8)};
        d.totalLabel = QStringLiteral("Employees in all: {count}");
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptSetReport");
        d.title = QStringLiteral("Set Listing");
        d.orientation = QPageLayout::Landscape;
        d.columns = cols("Type, Customer, CustomerRefNo, Style, Material, ReqFeet, EmployeeRate, CuttingPrice, "
                         "SewingPrice, VinylPrice, LeatherPrice, TotalPrice, Status, DateAdded, ProductionStandard");
        Group type;
        type.keys = {QStringLiteral("Type")};
        type.header = QStringLiteral("Type: {Type}");
        type.footer = QStringLiteral("Sets of type {Type}: {count}");
        d.groups = {statusGroup(QStringLiteral("sets")), type};
        d.details = {text(QStringLiteral("Customer"), QStringLiteral("Customer"), 1.8),
                     text(QStringLiteral("CustomerRefNo"), QStringLiteral("Customer Ref No"), 1.2),
                     text(QStringLiteral("Style"), QStringLiteral("Style"), 1.1),
                     text(QStringLiteral("Material"), QStringLiteral("Material"), 0.9),
                     qty(QStringLiteral("ReqFeet"), QStringLiteral("Cost Std"), 0.65),
                     qty(QStringLiteral("ProductionStandard"), QStringLiteral("Prod. Std"), 0.65),
                     money(QStringLiteral("EmployeeRate"), QStringLiteral("Emp. Rate"), 0.7),
                     money(QStringLiteral("CuttingPrice"), QStringLiteral("Cutting"), 0.7),
                     money(QStringLiteral("SewingPrice"), QStringLiteral("Sewing"), 0.7),
                     money(QStringLiteral("VinylPrice"), QStringLiteral("Vinyl"), 0.7),
                     money(QStringLiteral("LeatherPrice"), QStringLiteral("Leather"), 0.7),
                     money(QStringLiteral("TotalPrice"), QStringLiteral("Total Price"), 0.8),
                     date(QStringLiteral("DateAdded"), QStringLiteral("Added"), 0.75)};
        d.totalLabel = QStringLiteral("Sets in all: {count}");
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptMaterialReport");
        d.title = QStringLiteral("Material Listing");
        d.columns = cols("ID, Description, Status, Type, DateAdded");
        d.groups = {statusGroup(QStringLiteral("materials"))};
        d.details = {text(QStringLiteral("Type"), QStringLiteral("Type"), 0.9),
                     text(QStringLiteral("ID"), QStringLiteral("Material"), 1.3),
                     text(QStringLiteral("Description"), QStringLiteral("Description"), 3.5),
                     date(QStringLiteral("DateAdded"), QStringLiteral("Added"), 0.9)};
        d.totalLabel = QStringLiteral("Materials in all: {count}");
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptPackingSlip");
        d.title = QStringLiteral("Packing Slip");
        d.columns = cols("ShipTo, ShipToAddress1, ShipToAddress2, ShipToCity, ShipToState, ShipToZip, ShipDate, "
                         "ShipmentID, QtyShipped, QtyOrdered, BoxNo, CustomerRefNo, StyleID, MaterialID, OrderNumber");
        Group shipment;
        shipment.keys = {QStringLiteral("ShipmentID")};
        shipment.blocks = {shipToBlock(false)};
        shipment.infos = {{QStringLiteral("Shipment No."), QStringLiteral("{ShipmentID}")},
                          {QStringLiteral("Ship Date"), QStringLiteral("{ShipDate:date}")}};
        shipment.footer = QStringLiteral("Total sets shipped");
        shipment.sums = cols("QtyShipped");
        shipment.newPage = true;
        Group box;
        box.keys = {QStringLiteral("BoxNo")};
        box.header = QStringLiteral("Box {BoxNo|(no box)}");
        box.footer = QStringLiteral("Sets in box {BoxNo|(no box)}");
        box.sums = cols("QtyShipped");
        d.groups = {shipment, box};
        d.details = {text(QStringLiteral("OrderNumber"), QStringLiteral("Your Order No."), 1.3),
                     text(QStringLiteral("CustomerRefNo"), QStringLiteral("Customer Ref No"), 1.4),
                     text(QStringLiteral("StyleID"), QStringLiteral("Style"), 1.3),
                     text(QStringLiteral("MaterialID"), QStringLiteral("Material"), 1.1),
                     count(QStringLiteral("QtyOrdered"), QStringLiteral("Ordered"), 0.7),
                     count(QStringLiteral("QtyShipped"), QStringLiteral("Shipped"), 0.7)};
        d.notes = {QStringLiteral("Please check the contents against this packing slip and report any "
                                  "difference within 5 days."),
                   QStringLiteral("Received by: ______________________________     Date: ______________")};
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptInvoice");
        d.title = QStringLiteral("Invoice");
        d.columns = cols("Name, Address1, Address2, City, State, Zip, ShipTo, ShipToAddress1, ShipToAddress2, "
                         "ShipToCity, ShipToState, ShipToZip, ShipDate, ShipmentID, QtyShipped, BoxNo, CustomerRefNo, "
                         "StyleID, MaterialID, OrderNumber, PriceEach, PriceExt");
        d.slots = {{QStringLiteral("InvoiceNumber"), QStringLiteral("Invoice No.")},
                   {QStringLiteral("Terms"), QStringLiteral("Terms")},
                   {QStringLiteral("DueDate"), QStringLiteral("Due Date")}};
        Group g;
        g.keys = {QStringLiteral("ShipmentID")};
        g.blocks = {{QStringLiteral("Bill To"),
                     cols("{Name}, {Address1}, {Address2}") << QStringLiteral("{City}, {State}  {Zip}")},
                    shipToBlock(false)};
        g.infos = {{QStringLiteral("Invoice No."), QStringLiteral("{@InvoiceNumber}")},
                   {QStringLiteral("Invoice Date"), QStringLiteral("{ShipDate:date}")},
                   {QStringLiteral("Shipment No."), QStringLiteral("{ShipmentID}")},
                   {QStringLiteral("Terms"), QStringLiteral("{@Terms}")},
                   {QStringLiteral("Due Date"), QStringLiteral("{@DueDate}")}};
        g.footer = QStringLiteral("Invoice Total");
        g.sums = cols("QtyShipped, PriceExt");
        g.newPage = true;
        d.groups = {g};
        d.details = {text(QStringLiteral("OrderNumber"), QStringLiteral("Your Order No."), 1.2),
                     text(QStringLiteral("BoxNo"), QStringLiteral("Box"), 0.45),
                     text(QStringLiteral("CustomerRefNo"), QStringLiteral("Customer Ref No"), 1.3),
                     text(QStringLiteral("StyleID"), QStringLiteral("Style"), 1.1),
                     text(QStringLiteral("MaterialID"), QStringLiteral("Material"), 0.9),
                     count(QStringLiteral("QtyShipped"), QStringLiteral("Qty"), 0.5),
                     price(QStringLiteral("PriceEach"), QStringLiteral("Price Each"), 0.9),
                     money(QStringLiteral("PriceExt"), QStringLiteral("Amount"), 1)};
        d.notes = {QStringLiteral("Terms: {@Terms}. Payment is due by {@DueDate}."),
                   QStringLiteral("Please quote invoice number {@InvoiceNumber} with your payment. "
                                  "Thank you for your business.")};
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptOpenInvoicesReport");
        d.title = QStringLiteral("Open Invoices Report");
        d.columns = cols("Customer, Invoice, InvoiceDate, AsOf, DueDate, Terms, Shipment, Total, Received");
        d.slots = {{QStringLiteral("AsOf"), QStringLiteral("As of")}};
        Group g;
        g.keys = {QStringLiteral("Customer")};
        g.header = QStringLiteral("{Customer}");
        g.footer = QStringLiteral("Total for {Customer}");
        g.sums = cols("Total, Received, Total-Received");
        d.groups = {g};
        d.details = {count(QStringLiteral("Invoice"), QStringLiteral("Invoice"), 0.7),
                     date(QStringLiteral("InvoiceDate"), QStringLiteral("Invoice Date")),
                     date(QStringLiteral("DueDate"), QStringLiteral("Due Date")),
                     text(QStringLiteral("Terms"), QStringLiteral("Terms"), 0.9),
                     count(QStringLiteral("Shipment"), QStringLiteral("Shipment"), 0.7),
                     money(QStringLiteral("Total"), QStringLiteral("Amount"), 1),
                     money(QStringLiteral("Received"), QStringLiteral("Received"), 1),
                     money(QStringLiteral("Total-Received"), QStringLiteral("Balance"), 1)};
        d.totalLabel = QStringLiteral("Total Receivables");
        d.totals = g.sums;
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptARTranReport");
        d.title = QStringLiteral("AR Transaction Report");
        d.columns = cols("Customer, Invoice, InvoiceDate, DueDate, Terms, Shipment, Total, Type");
        d.slots = {{QStringLiteral("FromDate"), QStringLiteral("From")}, {QStringLiteral("ToDate"), QStringLiteral("To")}};
        d.details = {date(QStringLiteral("InvoiceDate"), QStringLiteral("Date")),
                     count(QStringLiteral("Invoice"), QStringLiteral("Invoice"), 0.6),
                     text(QStringLiteral("Customer"), QStringLiteral("Customer"), 1.8),
                     text(QStringLiteral("Type"), QStringLiteral("Type"), 1.1),
                     count(QStringLiteral("Shipment"), QStringLiteral("Shipment"), 0.7),
                     text(QStringLiteral("Terms"), QStringLiteral("Terms"), 0.8),
                     date(QStringLiteral("DueDate"), QStringLiteral("Due Date")),
                     money(QStringLiteral("Total"), QStringLiteral("Amount"), 1)};
        d.totalLabel = QStringLiteral("Invoices in the period: {count}");
        d.totals = cols("Total");
        SubReport payments;
        payments.title = QStringLiteral("Payments Received");
        payments.columns = cols("ID, Invoice, Date, Amount");
        payments.details = {date(QStringLiteral("Date"), QStringLiteral("Date")),
                            count(QStringLiteral("Invoice"), QStringLiteral("Invoice"), 0.6),
                            count(QStringLiteral("ID"), QStringLiteral("Payment"), 0.6),
                            money(QStringLiteral("Amount"), QStringLiteral("Amount"), 1)};
        payments.totalLabel = QStringLiteral("Payments in the period: {count}");
        payments.totals = cols("Amount");
        d.sub = payments;
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptSalesRegisterReport");
        d.title = QStringLiteral("Sales Register");
        d.columns = cols("Customer, InvoiceDate, Invoice, Cutting, Sewing, Vinyl, Kit, Total");
        d.slots = {{QStringLiteral("BeginDate"), QStringLiteral("From")}, {QStringLiteral("EndDate"), QStringLiteral("To")}};
        Group g;
        g.keys = {QStringLiteral("Customer")};
        g.header = QStringLiteral("{Customer}");
        g.footer = QStringLiteral("Total for {Customer}");
        g.sums = cols("Cutting, Sewing, Vinyl, Kit, Total");
        d.groups = {g};
        d.details = {date(QStringLiteral("InvoiceDate"), QStringLiteral("Date")),
                     count(QStringLiteral("Invoice"), QStringLiteral("Invoice"), 0.7),
                     money(QStringLiteral("Cutting"), QStringLiteral("Cutting")),
                     money(QStringLiteral("Sewing"), QStringLiteral("Sewing")),
                     money(QStringLiteral("Vinyl"), QStringLiteral("Vinyl")),
                     money(QStringLiteral("Kit"), QStringLiteral("Kit")),
                     money(QStringLiteral("Total"), QStringLiteral("Total"))};
        d.totalLabel = QStringLiteral("Total Sales");
        d.totals = g.sums;
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptLeatherSalesReport");
        d.title = QStringLiteral("Material Sales Report");
        d.orientation = QPageLayout::Landscape;
        d.columns = cols("Material, Type, C1Sales, C2Sales, C3Sales, C4Sales, OtherSales, Weeks");
        d.slots = {{QStringLiteral("BeginDate"), QStringLiteral("From")},
                   {QStringLiteral("EndDate"), QStringLiteral("To")},
                   {QStringLiteral("Customer1"), QStringLiteral("Customer 1")},
                   {QStringLiteral("Customer2"), QStringLiteral("Customer 2")},
                   {QStringLiteral("Customer3"), QStringLiteral("Customer 3")},
                   {QStringLiteral("Customer4"), QStringLiteral("Customer 4")}};
        Group g;
        g.keys = {QStringLiteral("Type")};
        g.header = QStringLiteral("{Type|(no type)}");
        g.footer = QStringLiteral("Total {Type}");
        g.sums = cols("C1Sales, C2Sales, C3Sales, C4Sales, OtherSales, C1Sales+C2Sales+C3Sales+C4Sales+OtherSales");
        d.groups = {g};
        d.details = {text(QStringLiteral("Material"), QStringLiteral("Material"), 1.2),
                     qty(QStringLiteral("C1Sales"), QStringLiteral("{@Customer1}"), 1),
                     qty(QStringLiteral("C2Sales"), QStringLiteral("{@Customer2}"), 1),
                     qty(QStringLiteral("C3Sales"), QStringLiteral("{@Customer3}"), 1),
                     qty(QStringLiteral("C4Sales"), QStringLiteral("{@Customer4}"), 1),
                     qty(QStringLiteral("OtherSales"), QStringLiteral("All Others"), 1),
                     qty(QStringLiteral("C1Sales+C2Sales+C3Sales+C4Sales+OtherSales"), QStringLiteral("Total Feet"), 1),
                     qty(QStringLiteral("(C1Sales+C2Sales+C3Sales+C4Sales+OtherSales)/Weeks"),
                         QStringLiteral("Feet per Week"), 1),
                     count(QStringLiteral("Weeks"), QStringLiteral("Weeks"), 0.5)};
        d.totalLabel = QStringLiteral("Total all materials");
        d.totals = g.sums;
        all << d;
    }
    all << yieldDesign(QStringLiteral("crptEmployeeYieldReport"),
                       QStringLiteral("Employee Yield Report (Production Standard)"), true);
    all << yieldDesign(QStringLiteral("crptEmployeeYieldReport2"),
                       QStringLiteral("Employee Yield Report (Cost Standard)"), true);
    all << yieldDesign(QStringLiteral("crptCustomerYieldReport"),
                       QStringLiteral("Customer Yield Report (Production Standard)"), false);
    all << yieldDesign(QStringLiteral("crptCustomerYieldReport2"),
                       QStringLiteral("Customer Yield Report (Cost Standard)"), false);
    {
        Design d;
        d.name = QStringLiteral("crptEmployeeEarningsReport");
        d.title = QStringLiteral("Employee Earnings Report");
        d.columns = cols("SSN, FirstName, LastName, ID, CutDate, Style, FeetUsed, FeetReq, PayRate");
        d.slots = {{QStringLiteral("StartDate"), QStringLiteral("From")}, {QStringLiteral("EndDate"), QStringLiteral("To")}};
        Group g;
        g.keys = {QStringLiteral("SSN")};
        g.header = QStringLiteral("{LastName}, {FirstName}   ({SSN})");
        g.footer = QStringLiteral("Total for {FirstName} {LastName}  (cutsheets: {count})");
        // The rate is per set; rates do not add up, so only the feet are totalled.
        g.sums = cols("FeetUsed, FeetReq, FeetUsed-FeetReq, FeetReq/FeetUsed");
        d.groups = {g};
        d.details = {date(QStringLiteral("CutDate"), QStringLiteral("Date")),
                     count(QStringLiteral("ID"), QStringLiteral("Cutsheet"), 0.7),
                     text(QStringLiteral("Style"), QStringLiteral("Style"), 1.5),
                     qty(QStringLiteral("FeetUsed"), QStringLiteral("Feet Used")),
                     qty(QStringLiteral("FeetReq"), QStringLiteral("Feet Required")),
                     qty(QStringLiteral("FeetUsed-FeetReq"), QStringLiteral("Over (Under)")),
                     percent(QStringLiteral("FeetReq/FeetUsed"), QStringLiteral("Yield")),
                     money(QStringLiteral("PayRate"), QStringLiteral("Pay Rate per Set"), 0.8)};
        d.totalLabel = QStringLiteral("Report Total");
        d.totals = g.sums;
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptAvailableInventoryReport");
        d.title = QStringLiteral("Available Inventory Report");
        d.columns = cols("Material, Description, Status, Type, OnHandAdj, OnHandCut, QtyOrdered");
        d.slots = {{QStringLiteral("AsOf"), QStringLiteral("As of")}};
        Group g;
        g.keys = {QStringLiteral("Type")};
        g.header = QStringLiteral("{Type|(no type)}");
        g.footer = QStringLiteral("Total {Type}");
        g.sums = cols("OnHandAdj, OnHandCut, OnHandAdj-OnHandCut, QtyOrdered, OnHandAdj-OnHandCut-QtyOrdered");
        d.groups = {g};
        d.details = {text(QStringLiteral("Material"), QStringLiteral("Material"), 1.1),
                     text(QStringLiteral("Description"), QStringLiteral("Description"), 2),
                     text(QStringLiteral("Status"), QStringLiteral("Status"), 0.7),
                     qty(QStringLiteral("OnHandAdj"), QStringLiteral("Received")),
                     qty(QStringLiteral("OnHandCut"), QStringLiteral("Cut")),
                     qty(QStringLiteral("OnHandAdj-OnHandCut"), QStringLiteral("On Hand")),
                     qty(QStringLiteral("QtyOrdered"), QStringLiteral("On Order")),
                     qty(QStringLiteral("OnHandAdj-OnHandCut-QtyOrdered"), QStringLiteral("Available"))};
        d.totalLabel = QStringLiteral("Total all materials");
        d.totals = g.sums;
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptInventoryValuationReport");
        d.title = QStringLiteral("Inventory Valuation Summary");
        d.columns = cols("Material, Description, Type, Status, OnHandAdj, OnHandCut, Average, CutValue");
        d.slots = {{QStringLiteral("AsOf"), QStringLiteral("As of")}};
        Group g;
        g.keys = {QStringLiteral("Type")};
        g.header = QStringLiteral("{Type|(no type)}");
        g.footer = QStringLiteral("Total {Type}");
        g.sums = cols("OnHandAdj-OnHandCut, (OnHandAdj-OnHandCut)*Average, CutValue, "
                      "(OnHandAdj-OnHandCut)*Average+CutValue");
        d.groups = {g};
        d.details = {text(QStringLiteral("Material"), QStringLiteral("Material"), 1.1),
                     text(QStringLiteral("Description"), QStringLiteral("Description"), 1.9),
                     text(QStringLiteral("Status"), QStringLiteral("Status"), 0.7),
                     qty(QStringLiteral("OnHandAdj-OnHandCut"), QStringLiteral("On Hand")),
                     price(QStringLiteral("Average"), QStringLiteral("Unit Value"), 0.8),
                     money(QStringLiteral("(OnHandAdj-OnHandCut)*Average"), QStringLiteral("Stock Value"), 1),
                     money(QStringLiteral("CutValue"), QStringLiteral("Cut, Unshipped"), 1),
                     money(QStringLiteral("(OnHandAdj-OnHandCut)*Average+CutValue"), QStringLiteral("Total Value"), 1)};
        d.totalLabel = QStringLiteral("Total Inventory Value");
        d.totals = g.sums;
        all << d;
    }
    {
        Design d;
        d.name = QStringLiteral("crptMaterialHistoryReport");
        d.title = QStringLiteral("Material History Report");
        d.columns = cols("Material, Date, Description, ID, Who, Qty, BegBal");
        d.slots = {{QStringLiteral("BeginDate"), QStringLiteral("From")}, {QStringLiteral("EndDate"), QStringLiteral("To")}};
        Group g;
        g.keys = {QStringLiteral("Material")};
        g.header = QStringLiteral("{Material}     Opening balance {BegBal:qty}");
        g.footer = QStringLiteral("Net change for {Material}");
        g.sums = cols("Qty");
        d.groups = {g};
        Column balance = qty(QStringLiteral("Qty"), QStringLiteral("Balance"), 0.9);
        balance.runningStart = QStringLiteral("BegBal");
        d.details = {date(QStringLiteral("Date"), QStringLiteral("Date")),
                     text(QStringLiteral("Description"), QStringLiteral("Description"), 2.6),
                     count(QStringLiteral("ID"), QStringLiteral("Doc. ID"), 0.6),
                     text(QStringLiteral("Who"), QStringLiteral("Who"), 1.4),
                     qty(QStringLiteral("Qty"), QStringLiteral("Quantity"), 0.9),
                     balance};
        all << d;
    }
    return all;
}

} // namespace

const QList<Design> &designs()
{
    static const QList<Design> all = makeDesigns();
    return all;
}

const Design *findDesign(const QString &name)
{
    for (const Design &d : designs()) {
        if (d.name.compare(name, Qt::CaseInsensitive) == 0)
            return &d;
    }
    return nullptr;
}

} // namespace reports
