#pragma once

#include "core/Database.h"
#include "core/schema/Schema.h"

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

// Feet cut per material of the order line cut, every cut sheet read: those on a line without a
// material, or without a line, come under no material. Reading the whole table beats walking the
// date index and fetching each row from it (COALESCE keeps it unused).
inline QString cutByLines(const char *op)
{
    return QStringLiteral("(SELECT OrderItem.MaterialID AS Material, SUM(Cutsheets.Feet) AS OnHand "
                          "FROM Cutsheets LEFT JOIN OrderItem ON Cutsheets.OrderID = OrderItem.OrderID "
                          "AND Cutsheets.Item = OrderItem.ItemNumber "
                          "WHERE COALESCE(Cutsheets.Date, NULL) %1 ? GROUP BY OrderItem.MaterialID)")
        .arg(QLatin1String(op));
}

// Feet cut per material, as cutByLines gives them but with '' for no material. With the running
// figures: each material's total less what was cut after the day, which is little, since the
// day is nearly always recent. The total is kept in ten-thousandths of a foot, the most a
// document shows. A file that could not take the figures yet (read-only) reads every cut sheet.
inline QString cut(Database &db, const char *op)
{
    if (!schema::hasCutFigures(db))
        return cutByLines(op);
    return QStringLiteral("(SELECT t.MaterialID AS Material, CAST(t.Feet - COALESCE(a.Feet, 0) AS DOUBLE "
                          "PRECISION) / 10000 AS OnHand FROM CutByMaterial t LEFT JOIN (%1) a "
                          "ON t.MaterialID = a.Material)")
        .arg(schema::cutPerMaterial(schema::tenThousandths(QStringLiteral("Cutsheets.Feet"), db.isServer()),
                                    QStringLiteral("Cutsheets.Date %1 ?")
                                        .arg(QLatin1String(QByteArrayView(op) == "<=" ? ">" : ">="))));
}

} // namespace inventory::sql
