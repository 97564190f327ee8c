#include "Invariants.h"

#include "core/Database.h"

namespace soak {

namespace {

struct Invariant
{
    const char *name;
    // Gives one row per breaking record, its key in the first column.
    const char *sql;
};

// A kit is never cut: its line counts as cut in full.
#define SHIPPED                                                                                              \
    "(SELECT COALESCE(SUM(t.Qty), 0) FROM ShipmentItems t WHERE t.OrderID = i.OrderID AND t.LineItem = "     \
    "i.ItemNumber)"
#define CUT                                                                                                  \
    "(SELECT COALESCE(SUM(c.Sets), 0) FROM Cutsheets c WHERE c.OrderID = i.OrderID AND c.Item = "            \
    "i.ItemNumber)"
#define IS_KIT                                                                                               \
    "COALESCE((SELECT MIN(s.Type) FROM Sets s WHERE s.CustomerRefNo = i.CustomerRefNo), '') = 'Kit'"

const Invariant kInvariants[] = {
    {"sets shipped beyond what was cut",
     "SELECT i.OrderID || '/' || i.ItemNumber FROM OrderItem i WHERE " SHIPPED " > CASE WHEN " IS_KIT
     " THEN i.Qty ELSE " CUT " END ORDER BY i.OrderID, i.ItemNumber"},
    {"order lines cut beyond their quantity",
     "SELECT i.OrderID || '/' || i.ItemNumber FROM OrderItem i WHERE " CUT
     " > i.Qty ORDER BY i.OrderID, i.ItemNumber"},
    {"invoices paid beyond their total", "SELECT v.Invoice FROM Invoice v WHERE (SELECT "
                                         "COALESCE(SUM(p.Amount), 0) FROM Payments p WHERE p.Invoice = "
                                         "v.Invoice) - v.Total >= 0.001 ORDER BY v.Invoice"},
    {"shipments without exactly one automatic invoice",
     "SELECT s.ID FROM Shipment s WHERE (SELECT COUNT(*) FROM Invoice v WHERE v.Shipment = s.ID AND v.Type = "
     "'Auto Invoice') <> 1 ORDER BY s.ID"},
    {"automatic invoices whose total is not their lines'",
     "SELECT v.Invoice FROM Invoice v WHERE v.Shipment IS NOT NULL AND ABS(v.Total - COALESCE((SELECT "
     "RoundHalfEven(SUM(t.Qty * i.PriceEach), 2) FROM ShipmentItems t JOIN OrderItem i ON i.OrderID = "
     "t.OrderID "
     "AND i.ItemNumber = t.LineItem WHERE t.ShipmentID = v.Shipment), 0)) >= 0.001 ORDER BY v.Invoice"},
    {"pending items on two purchase orders", "SELECT PendingPOItemID FROM PurchaseOrderItem WHERE "
                                             "PendingPOItemID IS NOT NULL GROUP BY PendingPOItemID "
                                             "HAVING COUNT(*) > 1 ORDER BY PendingPOItemID"},
    // Every run ends its log with one summary line: two of them under one number are two runs.
    {"imports sharing an ImportID",
     "SELECT ImportID FROM ImportXLSLog WHERE Description LIKE '% imported into %' GROUP BY ImportID "
     "HAVING COUNT(*) > 1 ORDER BY ImportID"},
};

#undef SHIPPED
#undef CUT
#undef IS_KIT

} // namespace

QStringList invariantNames()
{
    QStringList names;
    for (const Invariant &i : kInvariants)
        names << QLatin1String(i.name);
    return names;
}

std::vector<Broken> brokenInvariants(Database &db)
{
    std::vector<Broken> out;
    for (const Invariant &i : kInvariants) {
        const RowSet rows = db.query(QLatin1String(i.sql));
        if (rows.isEmpty())
            continue;
        Broken b{QLatin1String(i.name), rows.size(), {}};
        for (int r = 0; r < rows.size() && r < 5; ++r)
            b.examples << rows.at(r).value(0).toString();
        out.push_back(b);
    }
    return out;
}

} // namespace soak
