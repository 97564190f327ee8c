// Inventory documents: available inventory, valuation, material history and material sales.
#include "inventory/InventoryReports.h"
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

namespace {

// A yes/no argument: `fallback` when absent; anything but yes or no is a bad request.
bool yesNo(const ReportArguments &a, const QString &key, bool fallback)
{
    if (!a.has(key))
        return fallback;
    const QString v = a.text(key).trimmed().toLower();
    if (v == QLatin1String("yes"))
        return true;
    if (v == QLatin1String("no"))
        return false;
    throw UsageError(QStringLiteral("--arg %1= takes yes or no, not \"%2\".").arg(key, a.text(key)));
}

} // namespace

void reports::docs::addInventoryDocuments(Family &family)
{
    const Argument asOf{QStringLiteral("asof"), ArgumentKind::Date, true,
                        QStringLiteral("the day stock is counted")};
    const Argument inactive{QStringLiteral("inactive"), ArgumentKind::Text, false,
                            QStringLiteral("yes to list inactive materials too")};
    const Argument from{QStringLiteral("from"), ArgumentKind::Date, true, QStringLiteral("first day")};
    const Argument to{QStringLiteral("to"), ArgumentKind::Date, true, QStringLiteral("last day")};
    const QString asof = QStringLiteral("asof");
    const QString showInactive = QStringLiteral("inactive");
    family.add({.design = availableInventoryDesign(),
                .columns = cols("Material, Description, Status, Type, OnHandAdj, OnHandCut, QtyOrdered"),
                .build =
                    [asof, showInactive](const ReportArguments &a) {
                        return inventory::availableInventoryJob(a.date(asof), yesNo(a, showInactive, false));
                    },
                .arguments = {asOf, inactive}});
    family.add(
        {.design = valuationDesign(),
         .columns = cols("Material, Description, Type, Status, OnHandAdj, OnHandCut, Average, CutValue"),
         .build =
             [asof, showInactive](const ReportArguments &a) {
                 return inventory::inventoryValuationJob(a.date(asof), yesNo(a, showInactive, false));
             },
         .arguments = {asOf, inactive}});
    family.add({.design = materialHistoryDesign(),
                .columns = cols("Material, Date, Description, ID, Who, Qty, BegBal"),
                .build =
                    [](const ReportArguments &a) {
                        const QString material = QStringLiteral("material");
                        return inventory::materialHistoryJob(
                            a.date(QStringLiteral("from")), a.date(QStringLiteral("to")),
                            a.has(material) ? std::optional<QString>(a.text(material)) : std::nullopt,
                            yesNo(a, QStringLiteral("cutsheets"), true));
                    },
                .arguments = {from,
                              to,
                              {QStringLiteral("material"), ArgumentKind::Text, false,
                               QStringLiteral("one material's ID (default: all)")},
                              {QStringLiteral("cutsheets"), ArgumentKind::Text, false,
                               QStringLiteral("no to leave cut sheets out")}}});
    QList<Argument> salesArguments = {from, to};
    for (int i = 1; i <= 4; ++i)
        salesArguments.append({QStringLiteral("c%1").arg(i), ArgumentKind::Text, true,
                               QStringLiteral("customer %1's name").arg(i)});
    family.add({.design = materialSalesDesign(),
                .columns = cols("Material, Type, C1Sales, C2Sales, C3Sales, C4Sales, OtherSales, Weeks"),
                .build =
                    [](const ReportArguments &a) {
                        const QDate start = a.date(QStringLiteral("from"));
                        const QDate end = a.date(QStringLiteral("to"));
                        QStringList customers;
                        for (int i = 1; i <= 4; ++i)
                            customers << a.text(QStringLiteral("c%1").arg(i));
                        if (const auto refusal =
                                inventory::refuseSalesRequest(start, end, int(customers.size())))
                            throw UsageError(refusal->text);
                        return inventory::leatherSalesJob(start, end, customers);
                    },
                .arguments = salesArguments});
}
