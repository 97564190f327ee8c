// Purchasing documents: the purchase order and the log of a spreadsheet import.
#include "purchasing/PurchasingReports.h"
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

void reports::docs::addPurchasingDocuments(Family &family)
{
    family.add({.design = purchaseOrderDesign(),
                .columns = cols(
                    "POID, Vendor1, Vendor2, Vendor3, PODate, DueDate, Terms, BillTo1, BillTo2, BillTo3, "
                    "ShipTo1, ShipTo2, ShipTo3, Comment, Total, Quantity, PartNumber, Description, COlor, "
                    "ColorNumber, PriceEach, PriceExt"),
                .build =
                    [](const ReportArguments &a) {
                        return purchasing::purchaseOrderJob(a.id(QStringLiteral("po")));
                    },
                .arguments = {{QStringLiteral("po"), ArgumentKind::Number, true,
                               QStringLiteral("purchase order ID")}},
                .hourglass = true});
    family.add(
        {.design = importLogDesign(),
         .columns = cols("ID, ImportID, LogDate, Description"),
         .build =
             [](const ReportArguments &a) {
                 return purchasing::importLogJob(a.id(QStringLiteral("import")));
             },
         .arguments = {{QStringLiteral("import"), ArgumentKind::Number, true, QStringLiteral("import ID")}},
         .hourglass = true});
}
