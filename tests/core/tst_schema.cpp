#include "TestSupport.h"

#include <QTest>

// Every table and column the windows and reports name, written out independently of the schema code.
static const char *const kExpected[] = {
    "Orders: ID OrderNumber Customer OrderDate DueDate ShipTo ShipToAddress1 ShipToAddress2 ShipToCity "
    "ShipToState ShipToZip ShipToPhone ShipToFax Status DateAdded Total",
    "OrderItem: OrderID ItemNumber Qty CustomerRefNo StyleID MaterialID PriceEach PriceExt",
    "Sets: CustomerRefNo Customer Type Style Material ReqFeet ProductionStandard EmployeeRate CuttingPrice "
    "SewingPrice VinylPrice LeatherPrice KitPrice TotalPrice Status DateAdded",
    "PriceUpdate: CustomerRefNumber DatePriceChanged",
    "Customer: Name Address1 Address2 City State Zip Phone Fax ShipTo ShipToAddress1 ShipToAddress2 ShipToCity "
    "ShipToState ShipToZip ShipToPhone ShipToFax Status Terms Days DateAdded",
    "Employee: SSN FirstName LastName Address City State Zip Phone Status HireDate DateAdded",
    "Material: ID Description Status Type DateAdded",
    "Cutsheets: ID SSN Date OrderID Item Sets Feet",
    "CutsheetsTEMP: ID SSN Date OrderID Item Sets Feet Action",
    "Shipment: ID Date Customer",
    "ShipmentItems: ShipmentID Item OrderID LineItem OrderNumber ItemDesc QtyOrd Qty Box",
    "Invoice: Invoice Customer InvoiceDate DueDate Terms Shipment Total Type",
    "Payments: ID Invoice Date Amount",
    "Adjustment: ID Date DateAdded Reason",
    "AdjustmentItem: AdjustmentID MaterialID Adjustment PriceEach PriceExt",
    "ItemValue: MaterialID Price",
    "CrossReferenceTable: CustomerRefNumber PartNumber Description ColorName RStringNumber Cost",
    "PendingPOItems: ID CustomerRefNo PartNumber Description ColorName RStringNumber Price Quantity DockDate "
    "Status POID POItemID",
    "PurchaseOrder: ID Vendor1 Vendor2 Vendor3 PODate DueDate Terms BillTo1 BillTo2 BillTo3 ShipTo1 ShipTo2 "
    "ShipTo3 Comment Total",
    "PurchaseOrderItem: ID POID Quantity PartNumber Description Color ColorNumber PriceEach PriceExt "
    "PendingPOItemID",
    "POSetup: Vendor1 Vendor2 Vendor3 Terms BillTo1 BillTo2 BillTo3 ShipTo1 ShipTo2 ShipTo3 Comment",
    "ImportXLSLog: ID ImportID LogDate Description",
    "tmpHistory: Material Date Description ID Who Qty BegBal",
};

class TestSchema : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyTableAndColumnIsPresentUnderItsExactName()
    {
        TestDatabase t;
        int tables = 0;
        for (const char *line : kExpected) {
            const QString entry = QString::fromLatin1(line);
            const QString table = entry.section(u':', 0, 0);
            const QStringList columns = entry.section(u':', 1).split(u' ', Qt::SkipEmptyParts);
            QVERIFY2(t.db().tableExists(table), qPrintable(table));
            QCOMPARE(t.db().columnsOf(table), columns);
            ++tables;
        }
        const int actual = t.db().scalar(QStringLiteral(
            "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%'")).toInt();
        QCOMPARE(actual, tables);
    }

    void keysOfDifferentCaseAreTheSameKey()
    {
        TestDatabase t;
        t.addSet(QStringLiteral("AB-100"), QStringLiteral("ACME"), 90);
        QCOMPARE(t.db().scalar(QStringLiteral("SELECT TotalPrice FROM Sets WHERE CustomerRefNo = ?"),
                               {QStringLiteral("ab-100")})
                     .toDouble(),
                 90.0);
        const qint64 order = t.addOrder(QStringLiteral("acme"), QStringLiteral("P1"));
        t.addOrderLine(order, 1, 2, QStringLiteral("ab-100"), 90);
        const RowSet joined = t.db().query(QStringLiteral(
            "SELECT Sets.Style AS Style FROM OrderItem LEFT JOIN Sets ON OrderItem.CustomerRefNo = Sets.CustomerRefNo"));
        QCOMPARE(joined[0].text(QStringLiteral("Style")), QStringLiteral("ST-AB-100"));
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
