// Shipping documents: the packing slip and the invoice of a shipment, both printed directly.
#include "core/Database.h"
#include "reports/ReportCatalogue.h"
#include "reports/docs/DesignKit.h"
#include "reports/docs/Families.h"

using namespace reports;
using namespace reports::docs;

namespace {

Design packingSlipDesign()
{
    Design d;
    d.name = QStringLiteral("crptPackingSlip");
    d.title = QStringLiteral("Packing Slip");
    d.letterhead = true;
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
    return d;
}

Design invoiceDesign()
{
    Design d;
    d.name = QStringLiteral("crptInvoice");
    d.title = QStringLiteral("Invoice");
    d.letterhead = true;
    d.slots = {{QStringLiteral("InvoiceNumber"), QStringLiteral("Invoice No.")},
               {QStringLiteral("Terms"), QStringLiteral("Terms")},
               {QStringLiteral("DueDate"), QStringLiteral("Due Date")}};
    Group g;
    g.keys = {QStringLiteral("ShipmentID")};
    g.blocks = {{QStringLiteral("Bill To"), cols("{Name}, {Address1}, {Address2}")
                                                << QStringLiteral("{City}, {State}  {Zip}")},
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
    return d;
}

const char *const kShipmentJoins =
    "FROM Shipment LEFT JOIN ShipmentItems ON Shipment.ID = ShipmentItems.ShipmentID "
    "LEFT JOIN Customer ON Shipment.Customer = Customer.Name "
    "LEFT JOIN OrderItem ON ShipmentItems.OrderID = OrderItem.OrderID AND ShipmentItems.LineItem = "
    "OrderItem.ItemNumber "
    "WHERE Shipment.ID = ? ";

const char *const kShipToColumns =
    "Customer.ShipTo AS ShipTo, Customer.ShipToAddress1 AS ShipToAddress1, Customer.ShipToAddress2 AS "
    "ShipToAddress2, "
    "Customer.ShipToCity AS ShipToCity, Customer.ShipToState AS ShipToState, Customer.ShipToZip AS "
    "ShipToZip, "
    "Shipment.Date AS ShipDate, Shipment.ID AS ShipmentID, ShipmentItems.Qty AS QtyShipped, ";

// The invoice of a shipment as it was stored, unless the request gives the values.
ReportJob invoiceFromArguments(const ReportArguments &a)
{
    const qint64 shipment = a.id(QStringLiteral("shipment"));
    const RowSet stored = DbConnection().query(
        QStringLiteral("SELECT Invoice, DueDate, Terms FROM Invoice WHERE Shipment = ? ORDER BY Invoice"),
        {shipment});
    qint64 number = 0;
    if (a.has(QStringLiteral("invoice")))
        number = a.id(QStringLiteral("invoice"));
    else if (!stored.isEmpty())
        number = stored.first().integer(QStringLiteral("Invoice"));
    else
        throw UsageError(
            QStringLiteral("Shipment %1 has no invoice yet: give --arg invoice=NUMBER.").arg(shipment));
    const QString due =
        a.has(QStringLiteral("due"))
            ? shortDate(a.date(QStringLiteral("due")))
            : (stored.isEmpty() ? QString() : shortDate(stored.first().date(QStringLiteral("DueDate"))));
    const QString terms = a.text(QStringLiteral("terms"),
                                 stored.isEmpty() ? QString() : stored.first().text(QStringLiteral("Terms")));
    return invoiceJob(shipment, number, due, terms);
}

} // namespace

ReportJob packingSlipJob(qint64 shipmentId)
{
    // The ship-to address is the customer's, not the order's.
    return job(QStringLiteral("crptPackingSlip"),
               DbConnection().query(
                   QString::fromLatin1("SELECT ") + QLatin1String(kShipToColumns) +
                       QStringLiteral(
                           "ShipmentItems.QtyOrd AS QtyOrdered, ShipmentItems.Box AS BoxNo, "
                           "OrderItem.CustomerRefNo AS CustomerRefNo, OrderItem.StyleID AS StyleID, "
                           "OrderItem.MaterialID AS MaterialID, ShipmentItems.OrderNumber AS OrderNumber ") +
                       QLatin1String(kShipmentJoins) +
                       QStringLiteral(
                           "ORDER BY ShipmentItems.Box, ShipmentItems.OrderNumber, OrderItem.CustomerRefNo"),
                   {shipmentId}));
}

ReportJob invoiceJob(qint64 shipmentId, qint64 invoiceNumber, const QString &dueDate, const QString &terms)
{
    ReportJob j = job(
        QStringLiteral("crptInvoice"),
        DbConnection().query(
            QStringLiteral(
                "SELECT Customer.Name AS Name, Customer.Address1 AS Address1, Customer.Address2 AS Address2, "
                "Customer.City AS City, Customer.State AS State, Customer.Zip AS Zip, ") +
                QLatin1String(kShipToColumns) +
                QStringLiteral("ShipmentItems.Box AS BoxNo, OrderItem.CustomerRefNo AS CustomerRefNo, "
                               "OrderItem.StyleID AS StyleID, OrderItem.MaterialID AS MaterialID, "
                               "ShipmentItems.OrderNumber AS OrderNumber, OrderItem.PriceEach AS PriceEach, "
                               "(ShipmentItems.Qty * OrderItem.PriceEach) AS PriceExt ") +
                QLatin1String(kShipmentJoins) +
                QStringLiteral(
                    "ORDER BY ShipmentItems.OrderNumber, ShipmentItems.LineItem, OrderItem.CustomerRefNo"),
            {shipmentId}));
    j.textSlots = {{QStringLiteral("InvoiceNumber"), QString::number(invoiceNumber)},
                   {QStringLiteral("Terms"), terms},
                   {QStringLiteral("DueDate"), dueDate}};
    return j;
}

Money invoiceTotal(qint64 shipmentId)
{
    const QVariant total = DbConnection().scalar(
        QStringLiteral("SELECT SUM(ShipmentItems.Qty * OrderItem.PriceEach) AS Total "
                       "FROM Shipment LEFT JOIN ShipmentItems ON Shipment.ID = ShipmentItems.ShipmentID "
                       "LEFT JOIN OrderItem ON ShipmentItems.OrderID = OrderItem.OrderID "
                       "AND ShipmentItems.LineItem = OrderItem.ItemNumber "
                       "WHERE Shipment.ID = ? GROUP BY Shipment.ID"),
        {shipmentId});
    return Money::fromVariant(total).rounded(2);
}

void reports::docs::addShippingDocuments(Family &family)
{
    family.add(
        {.design = packingSlipDesign(),
         .columns = cols(
             "ShipTo, ShipToAddress1, ShipToAddress2, ShipToCity, ShipToState, ShipToZip, ShipDate, "
             "ShipmentID, QtyShipped, QtyOrdered, BoxNo, CustomerRefNo, StyleID, MaterialID, OrderNumber"),
         .build = [](const ReportArguments &a) { return packingSlipJob(a.id(QStringLiteral("shipment"))); },
         .arguments = {{QStringLiteral("shipment"), ArgumentKind::Number, true,
                        QStringLiteral("shipment ID")}},
         .output = Output::Print});
    family.add(
        {.design = invoiceDesign(),
         .columns = cols(
             "Name, Address1, Address2, City, State, Zip, ShipTo, ShipToAddress1, ShipToAddress2, "
             "ShipToCity, ShipToState, ShipToZip, ShipDate, ShipmentID, QtyShipped, BoxNo, CustomerRefNo, "
             "StyleID, MaterialID, OrderNumber, PriceEach, PriceExt"),
         .build = invoiceFromArguments,
         .arguments = {{QStringLiteral("shipment"), ArgumentKind::Number, true,
                        QStringLiteral("shipment ID")},
                       {QStringLiteral("invoice"), ArgumentKind::Number, false,
                        QStringLiteral("invoice number (default: the shipment's invoice)")},
                       {QStringLiteral("due"), ArgumentKind::Date, false,
                        QStringLiteral("due date (default: the invoice's)")},
                       {QStringLiteral("terms"), ArgumentKind::Text, false,
                        QStringLiteral("terms (default: the invoice's)")}},
         .output = Output::Print});
}
