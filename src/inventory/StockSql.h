#pragma once

#include <QString>

// The two halves of stock on hand as sub-queries keyed by `Material`, for a day bound as the one
// parameter: `op` is "<=" (as of the day) or "<" (before it).
namespace inventory::sql {

// Adjustment quantities per material, with `extra` columns (", AVG(...) AS Average").
inline QString adjusted(const char *op, const char *extra = "")
{
    return QStringLiteral(
               "(SELECT AdjustmentItem.MaterialID AS Material, SUM(AdjustmentItem.Adjustment) AS OnHand%2 "
               "FROM Adjustment JOIN AdjustmentItem ON Adjustment.ID = AdjustmentItem.AdjustmentID "
               "WHERE Adjustment.Date %1 ? GROUP BY AdjustmentItem.MaterialID)")
        .arg(QLatin1String(op), QLatin1String(extra));
}

// Feet cut per material of the order line cut. The day is nearly always recent, so reading the
// whole table beats walking the date index and fetching each row from it (COALESCE keeps it
// unused).
inline QString cut(const char *op)
{
    return QStringLiteral("(SELECT OrderItem.MaterialID AS Material, SUM(Cutsheets.Feet) AS OnHand "
                          "FROM Cutsheets LEFT JOIN OrderItem ON Cutsheets.OrderID = OrderItem.OrderID "
                          "AND Cutsheets.Item = OrderItem.ItemNumber "
                          "WHERE COALESCE(Cutsheets.Date, NULL) %1 ? GROUP BY OrderItem.MaterialID)")
        .arg(QLatin1String(op));
}

} // namespace inventory::sql
