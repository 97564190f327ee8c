#include "inventory/InventoryReports.h"

#include "core/Database.h"
#include "core/ReportRows.h"
#include "inventory/StockSql.h"

namespace inventory {

namespace {

ReportJob run(const QString &design, const QString &sqlText, const QVariantList &params,
              const QList<std::pair<QString, QString>> &slots)
{
    ReportJob j;
    j.design = design;
    j.rows = DbConnection().query(sqlText, params);
    for (const auto &slot : slots)
        j.textSlots.append(slot);
    return j;
}

QString activeOnly(bool inactive)
{
    return inactive ? QString() : QStringLiteral("WHERE Material.Status = 'Active' ");
}

} // namespace

QStringList materialIds()
{
    QStringList ids;
    for (const Row &r : DbConnection().query(QStringLiteral("SELECT ID FROM Material ORDER BY ID")))
        ids << r.text(QStringLiteral("ID"));
    return ids;
}

ReportJob availableInventoryJob(const QDate &asOf, bool inactive)
{
    Database &db = DbConnection();
    // Every line of a non-void order dated up to the day, with all its cutting whatever its date.
    // A line cut in full adds nothing (nought feet, in the same order as before): with the
    // running figures only the lines still short of their sets, or cut past them, are read.
    const QString shortLines =
        schema::hasCutFigures(db)
            ? QStringLiteral(
                  "AND Orders.ID IN (SELECT OrderID FROM CutByLine) AND EXISTS (SELECT 1 FROM CutByLine "
                  "WHERE CutByLine.OrderID = OrderItem.OrderID AND CutByLine.ItemNumber = "
                  "OrderItem.ItemNumber) ")
            : QString();
    const QString stillToCut =
        QStringLiteral(
            "(SELECT Material, SUM((QtyOrdered - QtyCut) * ReqFeet) AS QtyOrdered FROM "
            "(SELECT OrderItem.MaterialID AS Material, Sets.ReqFeet AS ReqFeet, OrderItem.Qty AS QtyOrdered, "
            "COALESCE(SUM(Cutsheets.Sets), 0) AS QtyCut "
            "FROM Orders LEFT JOIN OrderItem ON Orders.ID = OrderItem.OrderID "
            "LEFT JOIN Sets ON OrderItem.CustomerRefNo = Sets.CustomerRefNo "
            "LEFT JOIN Cutsheets ON OrderItem.OrderID = Cutsheets.OrderID AND OrderItem.ItemNumber = "
            "Cutsheets.Item "
            "WHERE Orders.OrderDate <= ? AND Orders.Status <> 'Void' %1"
            "GROUP BY OrderItem.OrderID, OrderItem.ItemNumber, OrderItem.MaterialID, Sets.ReqFeet, "
            "OrderItem.Qty) lines "
            "GROUP BY Material)")
            .arg(shortLines);
    const QString sqlText =
        QStringLiteral(
            "SELECT Material.ID AS Material, Material.Description AS Description, "
            "Material.Status AS Status, Material.Type AS Type, COALESCE(a.OnHand, 0) AS OnHandAdj, "
            "COALESCE(c.OnHand, 0) AS OnHandCut, COALESCE(o.QtyOrdered, 0) AS QtyOrdered FROM Material "
            "LEFT JOIN %1 a ON Material.ID = a.Material LEFT JOIN %2 c ON Material.ID = c.Material "
            "LEFT JOIN %3 o ON Material.ID = o.Material %4"
            "ORDER BY Material.Type, Material.Status, Material.ID")
            .arg(sql::adjusted("<="), sql::cut(db, "<="), stillToCut, activeOnly(inactive));
    return run(QStringLiteral("crptAvailableInventoryReport"), sqlText, {asOf, asOf, asOf},
               {{QStringLiteral("AsOf"), documentDate(asOf)}});
}

ReportJob inventoryValuationJob(const QDate &asOf, bool inactive)
{
    // The unit value is today's, whatever the day: only materials adjusted by then carry one.
    const QString adjusted = QStringLiteral(
        "(SELECT AdjustmentItem.MaterialID AS Material, SUM(AdjustmentItem.Adjustment) AS OnHand, "
        "ItemValue.Price AS Average "
        "FROM Adjustment JOIN AdjustmentItem ON Adjustment.ID = AdjustmentItem.AdjustmentID "
        "LEFT JOIN ItemValue ON AdjustmentItem.MaterialID = ItemValue.MaterialID "
        "WHERE Adjustment.Date <= ? GROUP BY AdjustmentItem.MaterialID, ItemValue.Price)");
    // Sets cut by the day on open orders dated by then, less what had shipped by the day. The
    // shipped sets are looked up for those lines alone: summed for every line ever shipped, they
    // were most of the document's time.
    const QString cutNotShipped = QStringLiteral(
        "(SELECT Material, SUM((QtyCut - QtyShipped) * PriceEach) AS CutVal FROM "
        "(SELECT sc.Material AS Material, sc.QtyCut AS QtyCut, "
        "COALESCE((SELECT SUM(ShipmentItems.Qty) FROM ShipmentItems JOIN Shipment "
        "ON ShipmentItems.ShipmentID = Shipment.ID WHERE ShipmentItems.OrderID = sc.OrderID "
        "AND ShipmentItems.LineItem = sc.Item AND Shipment.Date <= ?), 0) AS QtyShipped, "
        "sc.PriceEach AS PriceEach FROM "
        "(SELECT OrderItem.OrderID AS OrderID, OrderItem.ItemNumber AS Item, OrderItem.MaterialID AS "
        "Material, "
        "OrderItem.PriceEach AS PriceEach, SUM(Cutsheets.Sets) AS QtyCut "
        "FROM Orders LEFT JOIN OrderItem ON Orders.ID = OrderItem.OrderID "
        "LEFT JOIN Cutsheets ON OrderItem.OrderID = Cutsheets.OrderID AND OrderItem.ItemNumber = "
        "Cutsheets.Item "
        "WHERE Orders.OrderDate <= ? AND Cutsheets.Date <= ? AND Orders.Status = 'Open' "
        "GROUP BY OrderItem.OrderID, OrderItem.ItemNumber, OrderItem.MaterialID, OrderItem.PriceEach) sc) cs "
        "GROUP BY Material)");
    const QString sqlText =
        QStringLiteral(
            "SELECT Material.ID AS Material, Material.Description AS Description, Material.Type AS Type, "
            "Material.Status AS Status, COALESCE(a.OnHand, 0) AS OnHandAdj, COALESCE(c.OnHand, 0) AS "
            "OnHandCut, "
            "COALESCE(a.Average, 0) AS Average, COALESCE(v.CutVal, 0) AS CutValue FROM Material "
            "LEFT JOIN %1 a ON Material.ID = a.Material LEFT JOIN %2 c ON Material.ID = c.Material "
            "LEFT JOIN %3 v ON Material.ID = v.Material %4"
            "ORDER BY Material.Type, Material.Status, Material.ID")
            .arg(adjusted, sql::cut(DbConnection(), "<="), cutNotShipped, activeOnly(inactive));
    return run(QStringLiteral("crptInventoryValuationReport"), sqlText, {asOf, asOf, asOf, asOf, asOf},
               {{QStringLiteral("AsOf"), documentDate(asOf)}});
}

ReportJob materialHistoryJob(const QDate &from, const QDate &to, const std::optional<QString> &material,
                             bool cutsheets)
{
    // A movement's material as listed in the material master, or empty when it is not there.
    const auto listed = [](const char *column) {
        return QStringLiteral(
                   "COALESCE((SELECT Material.ID FROM Material WHERE Material.ID = %1 LIMIT 1), '')")
            .arg(QLatin1String(column));
    };
    // The balance before the period, per listed material (and one for the unlisted ones).
    const QString opening =
        QStringLiteral(
            "(SELECT Material, SUM(OnHand) AS BegBal FROM "
            "(SELECT %1 AS Material, OnHand FROM "
            "(SELECT Material AS Raw, OnHand FROM %2 a UNION ALL SELECT Material, -OnHand FROM %3 c) r) o "
            "GROUP BY Material)")
            .arg(listed("Raw"), sql::adjusted("<"), sql::cut(DbConnection(), "<"));
    QString moves =
        QStringLiteral("SELECT %1 AS Material, Adjustment.Date AS Date, Adjustment.Reason AS Description, "
                       "Adjustment.ID AS ID, 'N/A' AS Who, AdjustmentItem.Adjustment AS Qty "
                       "FROM Adjustment JOIN AdjustmentItem ON Adjustment.ID = AdjustmentItem.AdjustmentID "
                       "WHERE Adjustment.Date >= ? AND Adjustment.Date <= ?")
            .arg(listed("AdjustmentItem.MaterialID"));
    QVariantList params = {from, to};
    if (cutsheets) {
        moves +=
            QStringLiteral(
                " UNION ALL SELECT %1, Cutsheets.Date, 'Cutsheet', Cutsheets.ID, "
                "COALESCE(Employee.FirstName, '') || ' ' || COALESCE(Employee.LastName, ''), -Cutsheets.Feet "
                "FROM Cutsheets LEFT JOIN OrderItem ON Cutsheets.OrderID = OrderItem.OrderID "
                "AND Cutsheets.Item = OrderItem.ItemNumber LEFT JOIN Employee ON Cutsheets.SSN = "
                "Employee.SSN "
                "WHERE Cutsheets.Date >= ? AND Cutsheets.Date <= ?")
                .arg(listed("OrderItem.MaterialID"));
        params << from << to;
    }
    params << from << from; // the opening balance's two halves
    QString sqlText =
        QStringLiteral("SELECT m.Material AS Material, m.Date AS Date, m.Description AS Description, "
                       "m.ID AS ID, m.Who AS Who, m.Qty AS Qty, COALESCE(b.BegBal, 0) AS BegBal "
                       "FROM (%1) m LEFT JOIN %2 b ON m.Material = b.Material ")
            .arg(moves, opening);
    if (material) {
        sqlText += QStringLiteral("WHERE LOWER(m.Material) = LOWER(?) ");
        params << *material;
    }
    // The ID orders the same day's movements of one kind alike on every engine.
    sqlText += QStringLiteral("ORDER BY LOWER(m.Material), m.Date, m.Description, m.ID");
    return run(
        QStringLiteral("crptMaterialHistoryReport"), sqlText, params,
        {{QStringLiteral("BeginDate"), documentDate(from)}, {QStringLiteral("EndDate"), documentDate(to)}});
}

int salesWeeks(const QDate &from, const QDate &to)
{
    if (!from.isValid() || !to.isValid() || to <= from)
        return 0;
    // Sundays in (from, to]: the first Sunday after `from`, then every seventh day.
    const QDate firstSunday = from.addDays(7 - from.dayOfWeek() % 7);
    if (firstSunday > to)
        return 0;
    return int(firstSunday.daysTo(to) / 7) + 1;
}

std::optional<Refusal> refuseSalesRequest(const QDate &from, const QDate &to, int customersChosen)
{
    if (salesWeeks(from, to) <= 0)
        return Refusal{QStringLiteral("You must select 1 week intervals for the dates."),
                       QStringLiteral("Invalid Date Selection"), QStringLiteral("dtStart")};
    if (customersChosen != 4)
        return Refusal{QStringLiteral("You must select 4 customers from the list."),
                       QStringLiteral("Invalid Selection"), QStringLiteral("lstCustomers")};
    return std::nullopt;
}

ReportJob leatherSalesJob(const QDate &from, const QDate &to, const QStringList &customers)
{
    Q_ASSERT(customers.size() == 4);
    // The period's orders are found through the date index and still read in ID order, the order
    // in which the sums were always added up.
    const QString feet = QStringLiteral("Sets.ProductionStandard * OrderItem.Qty");
    QStringList columns;
    QVariantList params;
    for (int i = 0; i < 4; ++i) {
        columns << QStringLiteral("SUM(CASE WHEN Orders.Customer = ? THEN %1 END) AS C%2Sales")
                       .arg(feet)
                       .arg(i + 1);
        params << customers.at(i);
    }
    columns << QStringLiteral(
                   "SUM(CASE WHEN Orders.Customer <> ? AND Orders.Customer <> ? AND Orders.Customer <> ? "
                   "AND Orders.Customer <> ? THEN %1 END) AS OtherSales")
                   .arg(feet);
    for (const QString &c : customers)
        params << c;
    params << from << to << salesWeeks(from, to);
    const QString sqlText =
        QStringLiteral(
            "SELECT Material.ID AS Material, Material.Type AS Type, COALESCE(s.C1Sales, 0.0) AS C1Sales, "
            "COALESCE(s.C2Sales, 0.0) AS C2Sales, COALESCE(s.C3Sales, 0.0) AS C3Sales, COALESCE(s.C4Sales, "
            "0.0) AS "
            "C4Sales, "
            "COALESCE(s.OtherSales, 0.0) AS OtherSales, w.Weeks AS Weeks FROM Material "
            "LEFT JOIN (SELECT OrderItem.MaterialID AS Material, %1 "
            "FROM Orders LEFT JOIN OrderItem ON Orders.ID = OrderItem.OrderID "
            "LEFT JOIN Sets ON OrderItem.CustomerRefNo = Sets.CustomerRefNo "
            "WHERE Orders.ID IN (SELECT ID FROM Orders WHERE OrderDate >= ? AND OrderDate <= ?) "
            "AND (Sets.Type <> 'Hide' AND Sets.Type <> 'Vinyl') "
            "GROUP BY OrderItem.MaterialID) s ON Material.ID = s.Material "
            "CROSS JOIN (SELECT ? AS Weeks) w ORDER BY Material.Type, Material.ID")
            .arg(columns.join(QStringLiteral(", ")));
    QList<std::pair<QString, QString>> slots = {{QStringLiteral("BeginDate"), documentDate(from)},
                                                {QStringLiteral("EndDate"), documentDate(to)}};
    for (int i = 0; i < 4; ++i)
        slots.append({QStringLiteral("Customer%1").arg(i + 1), customers.at(i)});
    return run(QStringLiteral("crptLeatherSalesReport"), sqlText, params, slots);
}

} // namespace inventory
