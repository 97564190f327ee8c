// Purchasing documents: the purchase order and the log of a spreadsheet import.
#include "core/Database.h"
#include "reports/ReportCatalogue.h"
#include "reports/docs/DesignKit.h"
#include "reports/docs/Families.h"

using namespace reports;
using namespace reports::docs;

namespace {

Design purchaseOrderDesign()
{
    Design d;
    d.name = QStringLiteral("crptPurchaseOrder");
    d.title = QStringLiteral("Purchase Order");
    d.letterhead = true;
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
    return d;
}

Design importLogDesign()
{
    Design d;
    d.name = QStringLiteral("crptImportLogReport");
    d.title = QStringLiteral("Import Log");
    Group g;
    g.keys = {QStringLiteral("ImportID")};
    g.header = QStringLiteral("Import {ImportID}");
    g.footer = QStringLiteral("Lines logged: {count}");
    d.groups = {g};
    d.details = {
        {QStringLiteral("LogDate"), QStringLiteral("Logged"), 1.3, Format::DateTime, Align::Left, {}},
        text(QStringLiteral("Description"), QStringLiteral("Description"), 6)};
    return d;
}

} // namespace

ReportJob purchaseOrderJob(qint64 purchaseOrderId)
{
    return job(
        QStringLiteral("crptPurchaseOrder"),
        DbConnection().query(
            QStringLiteral(
                "SELECT PurchaseOrder.ID AS POID, PurchaseOrder.Vendor1 AS Vendor1, PurchaseOrder.Vendor2 AS "
                "Vendor2, "
                "PurchaseOrder.Vendor3 AS Vendor3, PurchaseOrder.PODate AS PODate, PurchaseOrder.DueDate AS "
                "DueDate, "
                "PurchaseOrder.Terms AS Terms, PurchaseOrder.BillTo1 AS BillTo1, PurchaseOrder.BillTo2 AS "
                "BillTo2, "
                "PurchaseOrder.BillTo3 AS BillTo3, PurchaseOrder.ShipTo1 AS ShipTo1, PurchaseOrder.ShipTo2 "
                "AS ShipTo2, "
                "PurchaseOrder.ShipTo3 AS ShipTo3, PurchaseOrder.Comment AS Comment, PurchaseOrder.Total AS "
                "Total, "
                "PurchaseOrderItem.Quantity AS Quantity, PurchaseOrderItem.PartNumber AS PartNumber, "
                "PurchaseOrderItem.Description AS Description, PurchaseOrderItem.Color AS COlor, "
                "PurchaseOrderItem.ColorNumber AS ColorNumber, PurchaseOrderItem.PriceEach AS PriceEach, "
                "PurchaseOrderItem.PriceExt AS PriceExt "
                "FROM PurchaseOrder LEFT JOIN PurchaseOrderItem ON PurchaseOrder.ID = PurchaseOrderItem.POID "
                "WHERE PurchaseOrder.ID = ? ORDER BY PurchaseOrderItem.ID"),
            {purchaseOrderId}));
}

ReportJob importLogJob(qint64 importId)
{
    return job(
        QStringLiteral("crptImportLogReport"),
        DbConnection().query(QStringLiteral("SELECT ID, ImportID, LogDate, Description FROM ImportXLSLog "
                                            "WHERE ImportID = ? ORDER BY Description"),
                             {importId}));
}

void reports::docs::addPurchasingDocuments(Family &family)
{
    family.add(
        {.design = purchaseOrderDesign(),
         .columns =
             cols("POID, Vendor1, Vendor2, Vendor3, PODate, DueDate, Terms, BillTo1, BillTo2, BillTo3, "
                  "ShipTo1, ShipTo2, ShipTo3, Comment, Total, Quantity, PartNumber, Description, COlor, "
                  "ColorNumber, PriceEach, PriceExt"),
         .build = [](const ReportArguments &a) { return purchaseOrderJob(a.id(QStringLiteral("po"))); },
         .arguments = {{QStringLiteral("po"), ArgumentKind::Number, true,
                        QStringLiteral("purchase order ID")}},
         .hourglass = true});
    family.add(
        {.design = importLogDesign(),
         .columns = cols("ID, ImportID, LogDate, Description"),
         .build = [](const ReportArguments &a) { return importLogJob(a.id(QStringLiteral("import"))); },
         .arguments = {{QStringLiteral("import"), ArgumentKind::Number, true, QStringLiteral("import ID")}},
         .hourglass = true});
}
