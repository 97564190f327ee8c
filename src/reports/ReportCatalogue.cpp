#include "reports/ReportCatalogue.h"

#include "core/Database.h"
#include "reports/ReportDesign.h"
#include "core/SharedRoutines.h"

namespace {

ReportJob job(const QString &design, RowSet rows)
{
    ReportJob j;
    j.design = design;
    j.rows = std::move(rows);
    return j;
}

// Open orders and the production schedule share their scratch tables' recipe: every line of
// every order with its cut sets (kit consumption rows written by shipments count as cut), and
// every shipped line with its shipped sets.
void buildCutAndShipped(const QString &cutTable, const QString &shippedTable)
{
    Database &db = DbConnection();
    DropTable(cutTable);
    db.exec(QStringLiteral(
                "CREATE TABLE \"%1\" AS SELECT OrderItem.OrderID AS OrderID, OrderItem.ItemNumber AS Item, "
                "SUM(Cutsheets.Sets) AS QtyCut "
                "FROM Orders LEFT JOIN OrderItem ON Orders.ID = OrderItem.OrderID "
                "LEFT JOIN Cutsheets ON OrderItem.OrderID = Cutsheets.OrderID AND OrderItem.ItemNumber = Cutsheets.Item "
                "GROUP BY OrderItem.OrderID, OrderItem.ItemNumber, OrderItem.MaterialID, OrderItem.PriceEach")
                .arg(cutTable));
    db.exec(QStringLiteral("UPDATE \"%1\" SET QtyCut = 0 WHERE QtyCut IS NULL").arg(cutTable));
    DropTable(shippedTable);
    db.exec(QStringLiteral(
                "CREATE TABLE \"%1\" AS SELECT ShipmentItems.OrderID AS OrderID, ShipmentItems.LineItem AS Item, "
                "SUM(ShipmentItems.Qty) AS QtyShipped "
                "FROM ShipmentItems LEFT JOIN Shipment ON ShipmentItems.ShipmentID = Shipment.ID "
                "GROUP BY ShipmentItems.OrderID, ShipmentItems.LineItem")
                .arg(shippedTable));
    db.exec(QStringLiteral("UPDATE \"%1\" SET QtyShipped = 0 WHERE QtyShipped IS NULL").arg(shippedTable));
}

const char *const kOrderHeaderColumns =
    "Orders.ID AS ID, Orders.OrderNumber AS OrderNumber, Orders.Customer AS Customer, "
    "Orders.OrderDate AS OrderDate, Orders.DueDate AS DueDate, Orders.ShipTo AS ShipTo, "
    "Orders.ShipToAddress1 AS ShipToAddress1, Orders.ShipToAddress2 AS ShipToAddress2, "
    "Orders.ShipToCity AS ShipToCity, Orders.ShipToState AS ShipToState, Orders.ShipToZip AS ShipToZip, "
    "Orders.ShipToPhone AS ShipToPhone, Orders.ShipToFax AS ShipToFax, Orders.Status AS Status, "
    "Orders.DateAdded AS DateAdded, ";

// Lines of open orders with the quantities of the two scratch tables; `extra` ends the column
// list, `joins` adds tables after the two scratch tables.
RowSet openOrderLines(const QString &cutTable, const QString &shippedTable, const QString &extra,
                      const QString &joins)
{
    return DbConnection().query(
        QString::fromLatin1("SELECT ") + QLatin1String(kOrderHeaderColumns) +
        QStringLiteral("OrderItem.ItemNumber AS ItemNumber, OrderItem.Qty AS Qty, c.QtyCut AS QtyCut, "
                       "s.QtyShipped AS QtyShipped, OrderItem.StyleID AS StyleID, OrderItem.MaterialID AS MaterialID, "
                       "OrderItem.CustomerRefNo AS CustomerRefNo, %3 "
                       "FROM Orders LEFT JOIN OrderItem ON Orders.ID = OrderItem.OrderID "
                       "LEFT JOIN \"%1\" c ON OrderItem.OrderID = c.OrderID AND OrderItem.ItemNumber = c.Item "
                       "LEFT JOIN \"%2\" s ON OrderItem.OrderID = s.OrderID AND OrderItem.ItemNumber = s.Item %4 "
                       "WHERE Orders.Status = 'Open' "
                       "ORDER BY Orders.Customer, Orders.OrderNumber, OrderItem.ItemNumber")
            .arg(cutTable, shippedTable, extra, joins));
}

} // namespace

ReportJob purchaseOrderJob(qint64 purchaseOrderId)
{
    return job(QStringLiteral("crptPurchaseOrder"),
               DbConnection().query(
                   QStringLiteral(
                       "SELECT PurchaseOrder.ID AS POID, PurchaseOrder.Vendor1 AS Vendor1, PurchaseOrder.Vendor2 AS Vendor2, "
                       "PurchaseOrder.Vendor3 AS Vendor3, PurchaseOrder.PODate AS PODate, PurchaseOrder.DueDate AS DueDate, "
                       "PurchaseOrder.Terms AS Terms, PurchaseOrder.BillTo1 AS BillTo1, PurchaseOrder.BillTo2 AS BillTo2, "
                       "PurchaseOrder.BillTo3 AS BillTo3, PurchaseOrder.ShipTo1 AS ShipTo1, PurchaseOrder.ShipTo2 AS ShipTo2, "
                       "PurchaseOrder.ShipTo3 AS ShipTo3, PurchaseOrder.Comment AS Comment, PurchaseOrder.Total AS Total, "
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
    return job(QStringLiteral("crptImportLogReport"),
               DbConnection().query(QStringLiteral("SELECT ID, ImportID, LogDate, Description FROM ImportXLSLog "
                                                   "WHERE ImportID = ? ORDER BY Description"),
                                    {importId}));
}

ReportJob openOrdersJob()
{
    const QString cut = QStringLiteral("tmpOpenOrdersCut");
    const QString shipped = QStringLiteral("tmpOpenOrdersShipped");
    buildCutAndShipped(cut, shipped);
    return job(QStringLiteral("crptOpenOrdersReport"),
               openOrderLines(cut, shipped,
                              QStringLiteral("OrderItem.PriceEach AS PriceEach, OrderItem.PriceExt AS PriceExt"),
                              QString()));
}

ReportJob productionScheduleJob()
{
    const QString cut = QStringLiteral("tmpProdSchedCut");
    const QString shipped = QStringLiteral("tmpProdSchedShipped");
    buildCutAndShipped(cut, shipped);
    return job(QStringLiteral("crptProductionScheduleReport"),
               openOrderLines(cut, shipped, QStringLiteral("(Sets.ProductionStandard * OrderItem.Qty) AS FeetReq"),
                              QStringLiteral("LEFT JOIN Sets ON OrderItem.CustomerRefNo = Sets.CustomerRefNo")));
}

ReportJob cutsheetControlJob()
{
    return job(QStringLiteral("crptCutsheetEntryControlReport"),
               DbConnection().query(QStringLiteral(
                   "SELECT CutsheetsTEMP.ID AS ID, CutsheetsTEMP.SSN AS SSN, CutsheetsTEMP.Date AS Date, "
                   "CutsheetsTEMP.OrderID AS OrderID, CutsheetsTEMP.Item AS Item, CutsheetsTEMP.Sets AS Sets, "
                   "CutsheetsTEMP.Feet AS Feet, CutsheetsTEMP.Action AS Action, Employee.FirstName AS FirstName, "
                   "Employee.LastName AS LastName "
                   "FROM CutsheetsTEMP LEFT JOIN Employee ON CutsheetsTEMP.SSN = Employee.SSN "
                   "ORDER BY CutsheetsTEMP.rowid")));
}

ReportJob customerListingJob()
{
    return job(QStringLiteral("crptCustomerReport"),
               DbConnection().query(QStringLiteral(
                   "SELECT Name, Address1, Address2, City, State, Zip, Phone, Fax, Status, DateAdded, ShipTo, "
                   "ShipToAddress1, ShipToAddress2, ShipToCity, ShipToState, ShipToZip, ShipToPhone, ShipToFax, "
                   "Terms, Days FROM Customer ORDER BY Status, Name, DateAdded")));
}

ReportJob employeeListingJob()
{
    return job(QStringLiteral("crptEmployeeReport"),
               DbConnection().query(QStringLiteral(
                   "SELECT SSN, FirstName, LastName, Address, City, State, Zip, Phone, Status, HireDate, DateAdded "
                   "FROM Employee ORDER BY Status, LastName, FirstName, SSN")));
}

ReportJob setListingJob()
{
    return job(QStringLiteral("crptSetReport"),
               DbConnection().query(QStringLiteral(
                   "SELECT Type, Customer, CustomerRefNo, Style, Material, ReqFeet, EmployeeRate, CuttingPrice, "
                   "SewingPrice, VinylPrice, LeatherPrice, TotalPrice, Status, DateAdded, ProductionStandard "
                   "FROM Sets ORDER BY Status, Type, Customer, CustomerRefNo")));
}

ReportJob materialListingJob()
{
    return job(QStringLiteral("crptMaterialReport"),
               DbConnection().query(QStringLiteral(
                   "SELECT ID, Description, Status, Type, DateAdded FROM Material ORDER BY Status, Type, ID")));
}

ReportJob orderEntryControlJob(qint64 orderId)
{
    return job(QStringLiteral("crptOrderEntryControlReport"),
               DbConnection().query(QString::fromLatin1("SELECT ") + QLatin1String(kOrderHeaderColumns) +
                                        QStringLiteral(
                                            "Orders.Total AS Total, OrderItem.OrderID AS OrderID, "
                                            "OrderItem.ItemNumber AS ItemNumber, OrderItem.Qty AS Qty, "
                                            "OrderItem.StyleID AS StyleID, OrderItem.MaterialID AS MaterialID, "
                                            "OrderItem.CustomerRefNo AS CustomerRefNo, OrderItem.PriceEach AS PriceEach, "
                                            "OrderItem.PriceExt AS PriceExt "
                                            "FROM Orders LEFT JOIN OrderItem ON Orders.ID = OrderItem.OrderID "
                                            "WHERE Orders.ID = ? ORDER BY OrderItem.ItemNumber"),
                                    {orderId}));
}

namespace {

const char *const kShipmentJoins =
    "FROM Shipment LEFT JOIN ShipmentItems ON Shipment.ID = ShipmentItems.ShipmentID "
    "LEFT JOIN Customer ON Shipment.Customer = Customer.Name "
    "LEFT JOIN OrderItem ON ShipmentItems.OrderID = OrderItem.OrderID AND ShipmentItems.LineItem = OrderItem.ItemNumber "
    "WHERE Shipment.ID = ? ";

const char *const kShipToColumns =
    "Customer.ShipTo AS ShipTo, Customer.ShipToAddress1 AS ShipToAddress1, Customer.ShipToAddress2 AS ShipToAddress2, "
    "Customer.ShipToCity AS ShipToCity, Customer.ShipToState AS ShipToState, Customer.ShipToZip AS ShipToZip, "
    "Shipment.Date AS ShipDate, Shipment.ID AS ShipmentID, ShipmentItems.Qty AS QtyShipped, ";

} // namespace

ReportJob packingSlipJob(qint64 shipmentId)
{
    // The ship-to address is the customer's, not the order's.
    return job(QStringLiteral("crptPackingSlip"),
               DbConnection().query(
                   QString::fromLatin1("SELECT ") + QLatin1String(kShipToColumns) +
                       QStringLiteral("ShipmentItems.QtyOrd AS QtyOrdered, ShipmentItems.Box AS BoxNo, "
                                      "OrderItem.CustomerRefNo AS CustomerRefNo, OrderItem.StyleID AS StyleID, "
                                      "OrderItem.MaterialID AS MaterialID, ShipmentItems.OrderNumber AS OrderNumber ") +
                       QLatin1String(kShipmentJoins) +
                       QStringLiteral("ORDER BY ShipmentItems.Box, ShipmentItems.OrderNumber, OrderItem.CustomerRefNo"),
                   {shipmentId}));
}

ReportJob invoiceJob(qint64 shipmentId, qint64 invoiceNumber, const QString &dueDate, const QString &terms)
{
    ReportJob j = job(
        QStringLiteral("crptInvoice"),
        DbConnection().query(
            QStringLiteral("SELECT Customer.Name AS Name, Customer.Address1 AS Address1, Customer.Address2 AS Address2, "
                           "Customer.City AS City, Customer.State AS State, Customer.Zip AS Zip, ") +
                QLatin1String(kShipToColumns) +
                QStringLiteral("ShipmentItems.Box AS BoxNo, OrderItem.CustomerRefNo AS CustomerRefNo, "
                               "OrderItem.StyleID AS StyleID, OrderItem.MaterialID AS MaterialID, "
                               "ShipmentItems.OrderNumber AS OrderNumber, OrderItem.PriceEach AS PriceEach, "
                               "(ShipmentItems.Qty * OrderItem.PriceEach) AS PriceExt ") +
                QLatin1String(kShipmentJoins) +
                QStringLiteral("ORDER BY ShipmentItems.OrderNumber, ShipmentItems.LineItem, OrderItem.CustomerRefNo"),
            {shipmentId}));
    j.textSlots = {{QStringLiteral("InvoiceNumber"), QString::number(invoiceNumber)},
                   {QStringLiteral("Terms"), terms},
                   {QStringLiteral("DueDate"), dueDate}};
    return j;
}

Money invoiceTotal(qint64 shipmentId)
{
    const QVariant total = DbConnection().scalar(
        QStringLiteral("SELECT SUM(ShipmentItems.Qty * OrderItem.PriceEach) AS Total "
                       "FROM Shipment LEFT JOIN ShipmentItems ON Shipment.ID = ShipmentItems.ShipmentID "
                       "LEFT JOIN OrderItem ON ShipmentItems.OrderID = OrderItem.OrderID "
                       "AND ShipmentItems.LineItem = OrderItem.ItemNumber "
                       "WHERE Shipment.ID = ? GROUP BY Shipment.ID"),
        {shipmentId});
    return Money::fromVariant(total).rounded(2);
}

ReportJob openInvoicesJob(const QDate &asOf)
{
    Database &db = DbConnection();
    const QString day = isoDate(asOf);
    DropTable(QStringLiteral("tmpOpenInvoices"));
    DropTable(QStringLiteral("tmpPayments"));
    db.exec(QStringLiteral("CREATE TABLE tmpPayments AS SELECT ID AS ID, Invoice AS Invoice, Date AS Date, "
                           "Amount AS Amount FROM Payments WHERE Date <= ?"),
            {day});
    db.exec(QStringLiteral(
                "CREATE TABLE tmpOpenInvoices AS SELECT Invoice.Customer AS Customer, Invoice.Invoice AS Invoice, "
                "Invoice.InvoiceDate AS InvoiceDate, ? AS AsOf, Invoice.DueDate AS DueDate, Invoice.Terms AS Terms, "
                "Invoice.Shipment AS Shipment, Invoice.Total AS Total, SUM(tmpPayments.Amount) AS Received "
                "FROM Invoice LEFT JOIN tmpPayments ON Invoice.Invoice = tmpPayments.Invoice "
                "WHERE Invoice.InvoiceDate <= ? "
                "GROUP BY Invoice.Customer, Invoice.Invoice, Invoice.InvoiceDate, Invoice.DueDate, Invoice.Terms, "
                "Invoice.Shipment, Invoice.Total ORDER BY Invoice.Customer, Invoice.Invoice"),
            {day, day});
    db.exec(QStringLiteral("UPDATE tmpOpenInvoices SET Received = 0 WHERE Received IS NULL"));
    // A scratch table loses the case-blind collation of its source: sort customers as the
    // schema does.
    ReportJob j = job(QStringLiteral("crptOpenInvoicesReport"),
                      db.query(QStringLiteral("SELECT Customer, Invoice, InvoiceDate, AsOf, DueDate, Terms, Shipment, "
                                              "Total, Received FROM tmpOpenInvoices WHERE InvoiceDate <= ? "
                                              "ORDER BY Customer COLLATE NOCASE, Invoice"),
                               {day}));
    j.textSlots = {{QStringLiteral("AsOf"), reports::shortDate(asOf)}};
    return j;
}

ReportJob arTransactionsJob(const QDate &from, const QDate &to)
{
    Database &db = DbConnection();
    const QString first = isoDate(from);
    const QString last = isoDate(to);
    ReportJob j = job(QStringLiteral("crptARTranReport"),
                      db.query(QStringLiteral("SELECT Customer, Invoice, InvoiceDate, DueDate, Terms, Shipment, Total, "
                                              "Type FROM Invoice WHERE InvoiceDate >= ? AND InvoiceDate <= ? "
                                              "ORDER BY InvoiceDate, Invoice"),
                               {first, last}));
    j.subRows = db.query(QStringLiteral("SELECT ID, Invoice, Date, Amount FROM Payments WHERE Date >= ? AND Date <= ? "
                                        "ORDER BY Date, Invoice"),
                         {first, last});
    j.textSlots = {{QStringLiteral("FromDate"), reports::shortDate(from)},
                   {QStringLiteral("ToDate"), reports::shortDate(to)}};
    return j;
}
