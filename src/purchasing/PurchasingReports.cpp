#include "purchasing/PurchasingReports.h"

#include "core/Database.h"
#include "core/ReportRows.h"

namespace purchasing {

ReportJob purchaseOrderJob(qint64 purchaseOrderId)
{
    return reportJob(
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
    return reportJob(
        QStringLiteral("crptImportLogReport"),
        DbConnection().query(QStringLiteral("SELECT ID, ImportID, LogDate, Description FROM ImportXLSLog "
                                            "WHERE ImportID = ? ORDER BY Description"),
                             {importId}));
}

} // namespace purchasing
