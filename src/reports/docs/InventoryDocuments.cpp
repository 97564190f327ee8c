// Inventory documents: available inventory, valuation, material history and material sales.
#include "reports/docs/DesignKit.h"
#include "reports/docs/Families.h"

using namespace reports;
using namespace reports::docs;

namespace {

Design availableInventoryDesign()
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
    return d;
}

Design valuationDesign()
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
    d.details = {
        text(QStringLiteral("Material"), QStringLiteral("Material"), 1.1),
        text(QStringLiteral("Description"), QStringLiteral("Description"), 1.9),
        text(QStringLiteral("Status"), QStringLiteral("Status"), 0.7),
        qty(QStringLiteral("OnHandAdj-OnHandCut"), QStringLiteral("On Hand")),
        price(QStringLiteral("Average"), QStringLiteral("Unit Value"), 0.8),
        money(QStringLiteral("(OnHandAdj-OnHandCut)*Average"), QStringLiteral("Stock Value"), 1),
        money(QStringLiteral("CutValue"), QStringLiteral("Cut, Unshipped"), 1),
        money(QStringLiteral("(OnHandAdj-OnHandCut)*Average+CutValue"), QStringLiteral("Total Value"), 1)};
    d.totalLabel = QStringLiteral("Total Inventory Value");
    d.totals = g.sums;
    return d;
}

Design materialHistoryDesign()
{
    Design d;
    d.name = QStringLiteral("crptMaterialHistoryReport");
    d.title = QStringLiteral("Material History Report");
    d.columns = cols("Material, Date, Description, ID, Who, Qty, BegBal");
    d.slots = {{QStringLiteral("BeginDate"), QStringLiteral("From")},
               {QStringLiteral("EndDate"), QStringLiteral("To")}};
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
    return d;
}

Design materialSalesDesign()
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
    g.sums =
        cols("C1Sales, C2Sales, C3Sales, C4Sales, OtherSales, C1Sales+C2Sales+C3Sales+C4Sales+OtherSales");
    d.groups = {g};
    d.details = {
        text(QStringLiteral("Material"), QStringLiteral("Material"), 1.2),
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
    return d;
}

} // namespace

void reports::docs::addInventoryDocuments(Family &family)
{
    family.addDesign(availableInventoryDesign());
    family.addDesign(valuationDesign());
    family.addDesign(materialHistoryDesign());
    family.addDesign(materialSalesDesign());
}
