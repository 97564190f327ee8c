#include "shipping/ShippingReports.h"

#include "core/Database.h"
#include "core/ReportRows.h"
#include "core/SharedRoutines.h"

namespace shipping {

namespace {

const char *const kShipmentJoins =
    "FROM Shipment LEFT JOIN ShipmentItems ON Shipment.ID = ShipmentItems.ShipmentID "
    "LEFT JOIN Customer ON Shipment.Customer = Customer.Name "
    "LEFT JOIN OrderItem ON ShipmentItems.OrderID = OrderItem.OrderID AND ShipmentItems.LineItem = "
    "OrderItem.ItemNumber "
    "WHERE Shipment.ID = ? ";

const char *const kShipToColumns =
    "Customer.ShipTo AS ShipTo, Customer.ShipToAddress1 AS ShipToAddress1, Customer.ShipToAddress2 AS "
    "ShipToAddress2, "
    "Customer.ShipToCity AS ShipToCity, Customer.ShipToState AS ShipToState, Customer.ShipToZip AS "
    "ShipToZip, "
    "Shipment.Date AS ShipDate, Shipment.ID AS ShipmentID, ShipmentItems.Qty AS QtyShipped, ";

} // namespace

ReportJob packingSlipJob(qint64 shipmentId)
{
    // The ship-to address is the customer's, not the order's.
    return reportJob(
        QStringLiteral("crptPackingSlip"),
        DbConnection().query(
            QString::fromLatin1("SELECT ") + QLatin1String(kShipToColumns) +
                QStringLiteral(
                    "ShipmentItems.QtyOrd AS QtyOrdered, ShipmentItems.Box AS BoxNo, "
                    "OrderItem.CustomerRefNo AS CustomerRefNo, OrderItem.StyleID AS StyleID, "
                    "OrderItem.MaterialID AS MaterialID, ShipmentItems.OrderNumber AS OrderNumber ") +
                QLatin1String(kShipmentJoins) +
                QStringLiteral(
                    "ORDER BY ShipmentItems.Box, ShipmentItems.OrderNumber, OrderItem.CustomerRefNo"),
            {shipmentId}));
}

ReportJob invoiceJob(qint64 shipmentId, qint64 invoiceNumber, const QString &dueDate, const QString &terms)
{
    ReportJob j = reportJob(
        QStringLiteral("crptInvoice"),
        DbConnection().query(
            QStringLiteral(
                "SELECT Customer.Name AS Name, Customer.Address1 AS Address1, Customer.Address2 AS Address2, "
                "Customer.City AS City, Customer.State AS State, Customer.Zip AS Zip, ") +
                QLatin1String(kShipToColumns) +
                QStringLiteral("ShipmentItems.Box AS BoxNo, OrderItem.CustomerRefNo AS CustomerRefNo, "
                               "OrderItem.StyleID AS StyleID, OrderItem.MaterialID AS MaterialID, "
                               "ShipmentItems.OrderNumber AS OrderNumber, OrderItem.PriceEach AS PriceEach, "
                               "(ShipmentItems.Qty * OrderItem.PriceEach) AS PriceExt ") +
                QLatin1String(kShipmentJoins) +
                QStringLiteral(
                    "ORDER BY ShipmentItems.OrderNumber, ShipmentItems.LineItem, OrderItem.CustomerRefNo"),
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

std::optional<StoredInvoice> storedInvoice(qint64 shipmentId)
{
    const RowSet stored = DbConnection().query(
        QStringLiteral("SELECT Invoice, DueDate, Terms FROM Invoice WHERE Shipment = ? ORDER BY Invoice"),
        {shipmentId});
    if (stored.isEmpty())
        return std::nullopt;
    const Row &first = stored.first();
    return StoredInvoice{first.integer(QStringLiteral("Invoice")), first.date(QStringLiteral("DueDate")),
                         first.text(QStringLiteral("Terms"))};
}

} // namespace shipping

namespace receivables {

namespace {

// One part of the sales register: the sums of one set type's lines per invoice of the period.
// Only lines with an invoice of the period and a set of the type count, so the joins are inner:
// the engine can then start from the period's invoices instead of every shipped line.
QString salesRegisterPart(const char *cutting, const char *sewing, const char *vinyl, const char *kit)
{
    return QStringLiteral(
               "SELECT Invoice.Customer AS Customer, Invoice.InvoiceDate AS InvoiceDate, "
               "Invoice.Invoice AS Invoice, SUM(%1) AS Cutting, SUM(%2) AS Sewing, SUM(%3) AS Vinyl, "
               "SUM(%4) AS Kit, SUM(ShipmentItems.Qty * OrderItem.PriceEach) AS Total "
               "FROM Invoice JOIN ShipmentItems ON ShipmentItems.ShipmentID = Invoice.Shipment "
               "JOIN OrderItem ON ShipmentItems.OrderID = OrderItem.OrderID "
               "AND ShipmentItems.LineItem = OrderItem.ItemNumber "
               "JOIN Sets ON OrderItem.CustomerRefNo = Sets.CustomerRefNo "
               "WHERE Invoice.InvoiceDate >= ? AND Invoice.InvoiceDate <= ? AND Sets.Type = ? "
               "GROUP BY Invoice.Customer, Invoice.Invoice, Invoice.InvoiceDate")
        .arg(QLatin1String(cutting), QLatin1String(sewing), QLatin1String(vinyl), QLatin1String(kit));
}

} // namespace

ReportJob openInvoicesJob(const QDate &asOf)
{
    Database &db = DbConnection();
    const QString day = isoDate(asOf);
    // Every invoice dated by the day, with what was received on it by then, read in one statement:
    // the scratch tables it was once built in were written and read back for every invoice of ten
    // years, and took the file for writing while they were. The payments are summed per invoice
    // first, from an index that holds their day and amount (looked up invoice by invoice, a file
    // without that index read every payment for every invoice). The balance is put by days past
    // due at the as-of day; the design prints the open ones only. Each bucket's bounds are days,
    // compared as dates: worked out as day counts, the engine counted them again for every bucket
    // of every invoice.
    const char *const bucket = "CASE WHEN %1 THEN Total - Received ELSE 0 END";
    const auto aged = [bucket](const char *when) {
        return QString::fromLatin1(bucket).arg(QLatin1String(when));
    };
    const auto before = [&asOf](int days) { return isoDate(asOf.addDays(-days)); };
    ReportJob j = reportJob(
        QStringLiteral("crptOpenInvoicesReport"),
        db.query(
            QStringLiteral(
                "SELECT Customer, Invoice, InvoiceDate, AsOf, DueDate, Terms, Shipment, Total, Received, "
                "%1 AS Current, %2 AS Late30, %3 AS Late60, %4 AS Late90, %5 AS LateOver90 FROM "
                "(SELECT Customer, Invoice.Invoice AS Invoice, InvoiceDate, ? AS AsOf, DueDate, Terms, "
                "Shipment, Total, COALESCE(p.Received, 0) AS Received, COALESCE(DueDate, InvoiceDate) AS Due "
                "FROM Invoice LEFT JOIN (SELECT Invoice, SUM(Amount) AS Received FROM Payments WHERE Date <= "
                "? "
                "GROUP BY Invoice) p ON p.Invoice = Invoice.Invoice WHERE InvoiceDate <= ?) o "
                "ORDER BY Customer, Invoice")
                .arg(aged("Due >= ?"), aged("Due < ? AND Due >= ?"), aged("Due < ? AND Due >= ?"),
                     aged("Due < ? AND Due >= ?"), aged("Due < ?")),
            {before(0), before(0), before(30), before(30), before(60), before(60), before(90), before(90),
             day, day, day}));
    j.textSlots = {{QStringLiteral("AsOf"), documentDate(asOf)}};
    return j;
}

ReportJob arTransactionsJob(const QDate &from, const QDate &to)
{
    Database &db = DbConnection();
    const QString first = isoDate(from);
    const QString last = isoDate(to);
    ReportJob j = reportJob(
        QStringLiteral("crptARTranReport"),
        db.query(QStringLiteral("SELECT Customer, Invoice, InvoiceDate, DueDate, Terms, Shipment, Total, "
                                "Type FROM Invoice WHERE InvoiceDate >= ? AND InvoiceDate <= ? "
                                "ORDER BY InvoiceDate, Invoice"),
                 {first, last}));
    j.subRows = db.query(
        QStringLiteral("SELECT ID, Invoice, Date, Amount FROM Payments WHERE Date >= ? AND Date <= ? "
                       "ORDER BY Date, Invoice"),
        {first, last});
    j.textSlots = {{QStringLiteral("FromDate"), documentDate(from)},
                   {QStringLiteral("ToDate"), documentDate(to)}};
    return j;
}

ReportJob salesRegisterJob(const QDate &from, const QDate &to)
{
    Database &db = DbConnection();
    const QString first = isoDate(from);
    const QString last = isoDate(to);
    const char *const line = "ShipmentItems.Qty * OrderItem.PriceEach";
    const char *const none = "ShipmentItems.Qty * 0.0";
    // UNION ALL: two equal part rows of one invoice (a set whose component prices are all 0 and
    // a hide of the same value) must both count.
    const QString parts =
        salesRegisterPart("ShipmentItems.Qty * Sets.CuttingPrice", "ShipmentItems.Qty * Sets.SewingPrice",
                          "ShipmentItems.Qty * Sets.VinylPrice", "ShipmentItems.Qty * Sets.KitPrice") +
        QStringLiteral(" UNION ALL ") + salesRegisterPart(none, none, line, none) +
        QStringLiteral(" UNION ALL ") + salesRegisterPart(none, none, none, line) +
        QStringLiteral(" UNION ALL ") + salesRegisterPart(none, none, none, none);
    // One transaction: on their own the drop, the build and the updates each waited for their
    // commit to reach the disk.
    Transaction tx(db);
    DropTable(QStringLiteral("tmpSalesRegister"));
    db.exec(
        QStringLiteral("CREATE TEMP TABLE tmpSalesRegister AS SELECT Customer AS Customer, InvoiceDate AS "
                       "InvoiceDate, Invoice AS Invoice, SUM(Cutting) AS Cutting1, SUM(Sewing) AS Sewing1, "
                       "SUM(Vinyl) AS Vinyl1, SUM(Kit) AS Kit1, SUM(Total) AS Total1 FROM (") +
            parts +
            QStringLiteral(
                ") p GROUP BY Customer, InvoiceDate, Invoice ORDER BY Customer, InvoiceDate, Invoice"),
        {first, last, QStringLiteral("Set"), first, last, QStringLiteral("Vinyl"), first, last,
         QStringLiteral("Kit"), first, last, QStringLiteral("Hide")});
    for (const char *column : {"Vinyl1", "Cutting1", "Sewing1", "Kit1"})
        db.exec(
            QStringLiteral("UPDATE tmpSalesRegister SET %1 = 0 WHERE %1 IS NULL").arg(QLatin1String(column)));
    tx.commit();
    ReportJob j = reportJob(
        QStringLiteral("crptSalesRegisterReport"),
        db.query(QStringLiteral("SELECT Customer, InvoiceDate, Invoice, Cutting1 AS Cutting, Sewing1 AS "
                                "Sewing, Vinyl1 AS Vinyl, Kit1 AS Kit, Total1 AS Total "
                                "FROM tmpSalesRegister ORDER BY LOWER(Customer), "
                                "InvoiceDate, Invoice")));
    j.textSlots = {{QStringLiteral("BeginDate"), documentDate(from)},
                   {QStringLiteral("EndDate"), documentDate(to)}};
    return j;
}

} // namespace receivables
