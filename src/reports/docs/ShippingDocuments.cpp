// Shipping documents: the packing slip and the invoice of a shipment, both printed directly.
#include "reports/docs/DesignKit.h"
#include "reports/docs/Families.h"
#include "shipping/ShippingReports.h"

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

// The invoice of a shipment as it was stored, unless the request gives the values.
ReportJob invoiceFromArguments(const ReportArguments &a)
{
    const qint64 shipment = a.id(QStringLiteral("shipment"));
    const std::optional<shipping::StoredInvoice> stored = shipping::storedInvoice(shipment);
    qint64 number = 0;
    if (a.has(QStringLiteral("invoice")))
        number = a.id(QStringLiteral("invoice"));
    else if (stored)
        number = stored->number;
    else
        throw UsageError(
            QStringLiteral("Shipment %1 has no invoice yet: give --arg invoice=NUMBER.").arg(shipment));
    const QString due = a.has(QStringLiteral("due")) ? shortDate(a.date(QStringLiteral("due")))
                                                     : (stored ? shortDate(stored->dueDate) : QString());
    const QString terms = a.text(QStringLiteral("terms"), stored ? stored->terms : QString());
    return shipping::invoiceJob(shipment, number, due, terms);
}

} // namespace

void reports::docs::addShippingDocuments(Family &family)
{
    family.add(
        {.design = packingSlipDesign(),
         .columns = cols(
             "ShipTo, ShipToAddress1, ShipToAddress2, ShipToCity, ShipToState, ShipToZip, ShipDate, "
             "ShipmentID, QtyShipped, QtyOrdered, BoxNo, CustomerRefNo, StyleID, MaterialID, OrderNumber"),
         .build =
             [](const ReportArguments &a) {
                 return shipping::packingSlipJob(a.id(QStringLiteral("shipment")));
             },
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
