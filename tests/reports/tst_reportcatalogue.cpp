#include "ReportTestSupport.h"
#include "TestSupport.h"
#include "orders/OrderReports.h"
#include "production/ProductionReports.h"
#include "purchasing/PurchasingReports.h"
#include "reports/ReportDesign.h"
#include "reports/ReportRegistry.h"
#include "reports/ReportsMod.h"
#include "shipping/ShippingReports.h"
#include "ui/Documents.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"

#include <QtTest>

namespace {

// The rows as "a|b|c" lines of the named columns, empty values as "-", for compact comparisons.
QStringList lines(const RowSet &rows, const QStringList &columns)
{
    QStringList out;
    for (const Row &r : rows) {
        QStringList cells;
        for (const QString &c : columns)
            cells << (r.isNull(c) ? QStringLiteral("-") : reports::plainValue(r.value(c)));
        out << cells.join(u'|');
    }
    return out;
}

QStringList cols(const char *list)
{
    return QString::fromLatin1(list).split(u',');
}

void addCutsheet(Database &db, const QString &ssn, const QString &date, qint64 order, int item, int sets, double feet)
{
    db.insert(QStringLiteral("Cutsheets"), {{"SSN", ssn}, {"Date", date}, {"OrderID", order}, {"Item", item},
                                            {"Sets", sets}, {"Feet", feet}});
}

qint64 addInvoice(Database &db, const QString &customer, const QString &date, double total, qint64 shipment = 0)
{
    return db.insert(QStringLiteral("Invoice"),
                     {{"Customer", customer}, {"InvoiceDate", date}, {"DueDate", date}, {"Terms", "Net 30"},
                      {"Shipment", shipment ? QVariant(shipment) : QVariant()}, {"Total", total},
                      {"Type", shipment ? "Auto Invoice" : "Manual Invoice"}});
}

void addPayment(Database &db, qint64 invoice, const QString &date, double amount)
{
    db.insert(QStringLiteral("Payments"), {{"Invoice", invoice}, {"Date", date}, {"Amount", amount}});
}

} // namespace

class TestReportCatalogue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openOrdersQuantities();
    void productionScheduleFeetRequired();
    void rerunRebuildsScratchTables();
    void orderControlAcceptsTheOrderWindowsQuery();
    void packingSlipUsesCustomerAddressAndBoxOrder();
    void invoiceRowsAndSlots();
    void invoiceTotalRoundsHalfToEven_data();
    void invoiceTotalRoundsHalfToEven();
    void openInvoicesAsOf();
    void arTransactionsOfPeriod();
    void listingsOrder();
    void purchaseOrderAndImportLog();
    void cutsheetControlNames();
    void routinesHandOverToOutput();
    void reportCommandsShowFailures();
    void previewRefusesRowsItsDesignCannotTake_data();
    void previewRefusesRowsItsDesignCannotTake();
};

void TestReportCatalogue::openOrdersQuantities()
{
    TestDatabase t;
    Database &db = t.db();
    t.addCustomer(QStringLiteral("Zeta Boats"));
    t.addCustomer(QStringLiteral("acme trim"));
    t.addSet(QStringLiteral("KIT-1"), QStringLiteral("Zeta Boats"), 20, QStringLiteral("Kit"));
    const qint64 z = t.addOrder(QStringLiteral("Zeta Boats"), QStringLiteral("Z-2"));
    t.addOrderLine(z, 1, 10, QStringLiteral("REF-A"), 50);
    t.addOrderLine(z, 2, 5, QStringLiteral("REF-B"), 40);
    t.addOrderLine(z, 3, 4, QStringLiteral("KIT-1"), 20);
    const qint64 a = t.addOrder(QStringLiteral("acme trim"), QStringLiteral("A-9"));
    t.addOrderLine(a, 1, 2, QStringLiteral("REF-C"), 10);
    const qint64 empty = t.addOrder(QStringLiteral("Zeta Boats"), QStringLiteral("Z-1"));
    const qint64 closed = t.addOrder(QStringLiteral("Zeta Boats"), QStringLiteral("Z-0"), QStringLiteral("Closed"));
    t.addOrderLine(closed, 1, 9, QStringLiteral("REF-A"), 50);
    const qint64 voided = t.addOrder(QStringLiteral("acme trim"), QStringLiteral("A-0"), QStringLiteral("Void"));
    t.addOrderLine(voided, 1, 9, QStringLiteral("REF-A"), 50);

    addCutsheet(db, QStringLiteral("111"), QStringLiteral("2010-05-01"), z, 1, 3, 30);
    addCutsheet(db, QStringLiteral("111"), QStringLiteral("2010-05-02"), z, 1, 1, 10);
    const qint64 s1 = t.addShipment(QStringLiteral("Zeta Boats"), QDate(2010, 5, 3));
    t.addShipmentLine(s1, 1, z, 1, 1);
    t.addShipmentLine(s1, 2, z, 3, 3);
    const qint64 s2 = t.addShipment(QStringLiteral("Zeta Boats"), QDate(2010, 5, 4));
    t.addShipmentLine(s2, 1, z, 1, 1);
    // A shipped kit line is recorded as cut by the shipment.
    addCutsheet(db, QStringLiteral("SHIPMENT %1").arg(s1), QStringLiteral("2010-05-03"), z, 3, 3, 3);

    const ReportJob job = orders::openOrdersJob();
    QCOMPARE(job.design, QStringLiteral("crptOpenOrdersReport"));
    QCOMPARE(job.rows.columns(), reports::findDesign(job.design)->columns);
    QCOMPARE(lines(job.rows, cols("Customer,OrderNumber,ItemNumber,Qty,QtyCut,QtyShipped,PriceExt")),
             QStringList({"acme trim|A-9|1|2|0|-|20", "Zeta Boats|Z-1|-|-|-|-|-", "Zeta Boats|Z-2|1|10|4|2|500",
                          "Zeta Boats|Z-2|2|5|0|-|200", "Zeta Boats|Z-2|3|4|3|3|80"}));
    Q_UNUSED(empty);
    // Uncut lines are 0 in the scratch table itself, never empty.
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM tmpOpenOrdersCut WHERE QtyCut IS NULL")).toInt(), 0);
}

void TestReportCatalogue::productionScheduleFeetRequired()
{
    TestDatabase t;
    t.addCustomer(QStringLiteral("Acme"));
    t.addSet(QStringLiteral("REF-A"), QStringLiteral("Acme"), 100); // 12 feet per set
    const qint64 o = t.addOrder(QStringLiteral("Acme"), QStringLiteral("A-1"));
    t.addOrderLine(o, 1, 3, QStringLiteral("REF-A"), 100);
    t.addOrderLine(o, 2, 2, QStringLiteral("NO-SET"), 10);
    const qint64 c = t.addOrder(QStringLiteral("Acme"), QStringLiteral("A-0"), QStringLiteral("Closed"));
    t.addOrderLine(c, 1, 3, QStringLiteral("REF-A"), 100);
    const qint64 s = t.addShipment(QStringLiteral("Acme"), QDate(2010, 5, 3));
    t.addShipmentLine(s, 1, o, 1, 1);

    const ReportJob job = orders::productionScheduleJob();
    QCOMPARE(job.design, QStringLiteral("crptProductionScheduleReport"));
    QCOMPARE(job.rows.columns(), reports::findDesign(job.design)->columns);
    QCOMPARE(lines(job.rows, cols("OrderNumber,ItemNumber,Qty,QtyCut,QtyShipped,FeetReq")),
             QStringList({"A-1|1|3|0|1|36", "A-1|2|2|0|-|-"}));
    QVERIFY(t.db().tableExists(QStringLiteral("tmpProdSchedCut")));
    QVERIFY(t.db().tableExists(QStringLiteral("tmpProdSchedShipped")));
}

void TestReportCatalogue::rerunRebuildsScratchTables()
{
    TestDatabase t;
    t.addCustomer(QStringLiteral("Acme"));
    const qint64 o = t.addOrder(QStringLiteral("Acme"), QStringLiteral("A-1"));
    t.addOrderLine(o, 1, 3, QStringLiteral("REF-A"), 100);
    const qint64 inv = addInvoice(t.db(), QStringLiteral("Acme"), QStringLiteral("2010-05-01"), 300);
    const QStringList first = lines(orders::openOrdersJob().rows, cols("OrderNumber,QtyCut,QtyShipped"));
    const QStringList firstInvoices =
        lines(receivables::openInvoicesJob(QDate(2010, 5, 14)).rows, cols("Invoice,Received"));
    const QStringList firstSchedule = lines(orders::productionScheduleJob().rows, cols("OrderNumber,QtyCut"));

    addCutsheet(t.db(), QStringLiteral("111"), QStringLiteral("2010-05-02"), o, 1, 2, 20);
    addPayment(t.db(), inv, QStringLiteral("2010-05-02"), 100);
    QCOMPARE(first, QStringList{"A-1|0|-"});
    QCOMPARE(lines(orders::openOrdersJob().rows, cols("OrderNumber,QtyCut,QtyShipped")),
             QStringList{"A-1|2|-"});
    QCOMPARE(firstInvoices, QStringList{QString::number(inv) + "|0"});
    QCOMPARE(lines(receivables::openInvoicesJob(QDate(2010, 5, 14)).rows, cols("Invoice,Received")),
             QStringList{QString::number(inv) + "|100"});
    QCOMPARE(firstSchedule, QStringList{"A-1|0"});
    QCOMPARE(lines(orders::productionScheduleJob().rows, cols("OrderNumber,QtyCut")), QStringList{"A-1|2"});
    QCOMPARE(t.db().scalar(QStringLiteral("SELECT count(*) FROM tmpOpenOrdersCut")).toInt(), 1);
}

void TestReportCatalogue::orderControlAcceptsTheOrderWindowsQuery()
{
    TestDatabase t;
    loadShopFixture();
    const ReportJob job = orders::orderEntryControlJob(101);
    QCOMPARE(job.rows.columns(), reports::findDesign(job.design)->columns);
    QCOMPARE(lines(job.rows, cols("ID,OrderNumber,Total,OrderID,ItemNumber,Qty,CustomerRefNo,PriceExt")),
             QStringList({"101|PO-88213|2556|101|1|12|BMI-4410|1218", "101|PO-88213|2556|101|2|6|BMI-4420|940.5",
                          "101|PO-88213|2556|101|3|16|BMI-KIT1|397.5"}));
    // The order window hands over both tables' columns as they come.
    ReportJob raw;
    raw.design = job.design;
    raw.rows = t.db().query(QStringLiteral("SELECT Orders.*, OrderItem.* FROM Orders LEFT JOIN OrderItem "
                                           "ON Orders.ID = OrderItem.OrderID WHERE Orders.ID = ? "
                                           "ORDER BY OrderItem.ItemNumber"),
                            {101});
    QCOMPARE(documentText(reports::ReportDocument(raw)), documentText(reports::ReportDocument(job)));
    // An order without lines prints its header and no lines.
    const qint64 empty = t.addOrder(QStringLiteral("Carter Coach Works"), QStringLiteral("NEW-1"));
    const QString text = documentText(reports::ReportDocument(orders::orderEntryControlJob(empty)));
    QVERIFY(text.contains(QStringLiteral("Order NEW-1")));
    QVERIFY(!text.contains(QStringLiteral("$0.00 $0.00")));
}

void TestReportCatalogue::packingSlipUsesCustomerAddressAndBoxOrder()
{
    TestDatabase t;
    t.addCustomer(QStringLiteral("Acme")); // ships to 2 Dock Rd
    t.addCustomer(QStringLiteral("Other"));
    const qint64 o = t.addOrder(QStringLiteral("Acme"), QStringLiteral("PO-7"));
    t.db().update(QStringLiteral("Orders"), {{"ShipToAddress1", "Order-only address"}}, QStringLiteral("ID = ?"), {o});
    t.addOrderLine(o, 1, 10, QStringLiteral("REF-B"), 5);
    t.addOrderLine(o, 2, 10, QStringLiteral("REF-A"), 5);
    t.addOrderLine(o, 3, 10, QStringLiteral("REF-C"), 5);
    const qint64 s = t.addShipment(QStringLiteral("Acme"), QDate(2010, 5, 12));
    t.addShipmentLine(s, 1, o, 1, 4, QStringLiteral("2"));
    t.addShipmentLine(s, 2, o, 2, 5, QStringLiteral("1"));
    t.addShipmentLine(s, 3, o, 3, 6, QStringLiteral("1"));
    t.db().exec(QStringLiteral("UPDATE ShipmentItems SET OrderNumber = 'PO-7', QtyOrd = 10"));
    const qint64 other = t.addShipment(QStringLiteral("Other"), QDate(2010, 5, 12));
    t.addShipmentLine(other, 1, o, 1, 1);

    const ReportJob job = shipping::packingSlipJob(s);
    QCOMPARE(job.design, QStringLiteral("crptPackingSlip"));
    QCOMPARE(job.rows.columns(), reports::findDesign(job.design)->columns);
    QCOMPARE(lines(job.rows, cols("ShipToAddress1,ShipDate,ShipmentID,BoxNo,CustomerRefNo,QtyShipped,QtyOrdered,OrderNumber")),
             QStringList({"2 Dock Rd|2010-05-12|" + QString::number(s) + "|1|REF-A|5|10|PO-7",
                          "2 Dock Rd|2010-05-12|" + QString::number(s) + "|1|REF-C|6|10|PO-7",
                          "2 Dock Rd|2010-05-12|" + QString::number(s) + "|2|REF-B|4|10|PO-7"}));
    QVERIFY(shipping::packingSlipJob(999).rows.isEmpty());
}

void TestReportCatalogue::invoiceRowsAndSlots()
{
    TestDatabase t;
    t.addCustomer(QStringLiteral("Acme"));
    const qint64 o = t.addOrder(QStringLiteral("Acme"), QStringLiteral("PO-7"));
    t.addOrderLine(o, 1, 10, QStringLiteral("REF-B"), 12.5);
    t.addOrderLine(o, 2, 10, QStringLiteral("REF-A"), 3.3333);
    const qint64 s = t.addShipment(QStringLiteral("Acme"), QDate(2010, 5, 12));
    t.addShipmentLine(s, 1, o, 2, 3);
    t.addShipmentLine(s, 2, o, 1, 2);
    t.db().exec(QStringLiteral("UPDATE ShipmentItems SET OrderNumber = 'PO-7'"));

    const ReportJob job =
        shipping::invoiceJob(s, 3003, QStringLiteral("6/11/2010"), QStringLiteral("Net 30"));
    QCOMPARE(job.rows.columns(), reports::findDesign(QStringLiteral("crptInvoice"))->columns);
    QCOMPARE(lines(job.rows, cols("Name,Address1,ShipToAddress1,CustomerRefNo,QtyShipped,PriceEach,PriceExt")),
             QStringList({"Acme|1 Main St|2 Dock Rd|REF-B|2|12.5|25", "Acme|1 Main St|2 Dock Rd|REF-A|3|3.3333|9.9999"}));
    QCOMPARE(job.slot(QStringLiteral("InvoiceNumber")), QStringLiteral("3003"));
    QCOMPARE(job.slot(QStringLiteral("Terms")), QStringLiteral("Net 30"));
    QCOMPARE(job.slot(QStringLiteral("DueDate")), QStringLiteral("6/11/2010"));
    QCOMPARE(shipping::invoiceTotal(s), Money::parse(QStringLiteral("35.00")).value());
}

void TestReportCatalogue::invoiceTotalRoundsHalfToEven_data()
{
    QTest::addColumn<QList<double>>("prices");
    QTest::addColumn<QList<int>>("quantities");
    QTest::addColumn<QString>("total");
    QTest::newRow("half down to even") << QList<double>{10.125} << QList<int>{1} << "10.12";
    QTest::newRow("half up to even") << QList<double>{10.135} << QList<int>{1} << "10.14";
    QTest::newRow("binary 2.675") << QList<double>{2.675} << QList<int>{1} << "2.68";
    QTest::newRow("thirds") << QList<double>{3.3333} << QList<int>{3} << "10";
    QTest::newRow("halves summed first") << QList<double>{0.0025, 0.0025} << QList<int>{1, 1} << "0";
    QTest::newRow("many lines") << QList<double>{19.99, 0.005} << QList<int>{3, 3} << "59.98";
    QTest::newRow("no lines") << QList<double>{} << QList<int>{} << "0";
}

void TestReportCatalogue::invoiceTotalRoundsHalfToEven()
{
    QFETCH(QList<double>, prices);
    QFETCH(QList<int>, quantities);
    QFETCH(QString, total);
    TestDatabase t;
    t.addCustomer(QStringLiteral("Acme"));
    const qint64 o = t.addOrder(QStringLiteral("Acme"), QStringLiteral("PO-1"));
    const qint64 s = t.addShipment(QStringLiteral("Acme"), QDate(2010, 5, 12));
    for (int i = 0; i < prices.size(); ++i) {
        t.addOrderLine(o, i + 1, 100, QStringLiteral("REF-%1").arg(i), prices.at(i));
        t.addShipmentLine(s, i + 1, o, i + 1, quantities.at(i));
    }
    CapturedReports captured;
    setReportOutput(&captured);
    QVERIFY(documents::produce(
        QStringLiteral("crptInvoice"),
        {{"shipment", QString::number(s)}, {"invoice", "42"}, {"due", "6/11/2010"}, {"terms", "Net 30"}}));
    QCOMPARE(shipping::invoiceTotal(s).toPlainString(), total);
    QCOMPARE(captured.prints.size(), 1);
    QCOMPARE(captured.prints.first().design, QStringLiteral("crptInvoice"));
}

void TestReportCatalogue::openInvoicesAsOf()
{
    TestDatabase t;
    Database &db = t.db();
    const qint64 paid = addInvoice(db, QStringLiteral("Zeta"), QStringLiteral("2010-04-01"), 100);
    const qint64 part = addInvoice(db, QStringLiteral("acme"), QStringLiteral("2010-05-14"), 250.5);
    const qint64 none = addInvoice(db, QStringLiteral("acme"), QStringLiteral("2010-05-02"), 80);
    addInvoice(db, QStringLiteral("acme"), QStringLiteral("2010-05-15"), 999); // after the day
    addPayment(db, paid, QStringLiteral("2010-04-20"), 60);
    addPayment(db, paid, QStringLiteral("2010-05-14"), 40);
    addPayment(db, part, QStringLiteral("2010-05-14"), 50.25);
    addPayment(db, part, QStringLiteral("2010-05-15"), 200); // after the day: not received yet

    const ReportJob job = receivables::openInvoicesJob(QDate(2010, 5, 14));
    QCOMPARE(job.rows.columns(), reports::findDesign(QStringLiteral("crptOpenInvoicesReport"))->columns);
    QCOMPARE(lines(job.rows, cols("Customer,Invoice,InvoiceDate,AsOf,Total,Received")),
             QStringList({QStringLiteral("acme|%1|2010-05-14|2010-05-14|250.5|50.25").arg(part),
                          QStringLiteral("acme|%1|2010-05-02|2010-05-14|80|0").arg(none),
                          QStringLiteral("Zeta|%1|2010-04-01|2010-05-14|100|100").arg(paid)}));
    QCOMPARE(job.slot(QStringLiteral("AsOf")), QStringLiteral("5/14/2010"));
    QVERIFY(receivables::openInvoicesJob(QDate(2010, 3, 31)).rows.isEmpty());
}

void TestReportCatalogue::arTransactionsOfPeriod()
{
    TestDatabase t;
    Database &db = t.db();
    const qint64 before = addInvoice(db, QStringLiteral("Acme"), QStringLiteral("2010-04-30"), 10);
    const qint64 first = addInvoice(db, QStringLiteral("Acme"), QStringLiteral("2010-05-01"), 20, 7);
    const qint64 last = addInvoice(db, QStringLiteral("Zeta"), QStringLiteral("2010-05-31"), 30);
    addInvoice(db, QStringLiteral("Zeta"), QStringLiteral("2010-06-01"), 40);
    addPayment(db, before, QStringLiteral("2010-05-31"), 10);
    addPayment(db, first, QStringLiteral("2010-05-01"), 5);
    addPayment(db, last, QStringLiteral("2010-06-01"), 30);

    const ReportJob job = receivables::arTransactionsJob(QDate(2010, 5, 1), QDate(2010, 5, 31));
    QCOMPARE(job.design, QStringLiteral("crptARTranReport"));
    QCOMPARE(job.rows.columns(), reports::findDesign(job.design)->columns);
    QCOMPARE(lines(job.rows, cols("Invoice,InvoiceDate,Shipment,Total,Type")),
             QStringList({QStringLiteral("%1|2010-05-01|7|20|Auto Invoice").arg(first),
                          QStringLiteral("%1|2010-05-31|-|30|Manual Invoice").arg(last)}));
    QVERIFY(job.subRows);
    QCOMPARE(job.subRows->columns(), QStringList({"ID", "Invoice", "Date", "Amount"}));
    QCOMPARE(lines(*job.subRows, cols("Invoice,Date,Amount")),
             QStringList({QStringLiteral("%1|2010-05-01|5").arg(first), QStringLiteral("%1|2010-05-31|10").arg(before)}));
    QCOMPARE(job.slot(QStringLiteral("FromDate")), QStringLiteral("5/1/2010"));
    QCOMPARE(job.slot(QStringLiteral("ToDate")), QStringLiteral("5/31/2010"));
}

void TestReportCatalogue::listingsOrder()
{
    TestDatabase t;
    loadShopFixture();
    Database &db = t.db();
    // Rows a plain name or reference order would put elsewhere: an inactive customer whose name
    // sorts first, a second Alvarez whose SSN sorts after Maria's, an inactive hide and a Carter
    // set whose reference sorts before every other.
    db.insert(QStringLiteral("Customer"), {{"Name", "Abbott Upholstery"}, {"Status", "InActive"}, {"Days", 0}});
    db.insert(QStringLiteral("Employee"),
              {{"SSN", "212-55-0109"}, {"FirstName", "Ana"}, {"LastName", "Alvarez"}, {"Status", "Active"}});
    db.insert(QStringLiteral("Sets"), {{"CustomerRefNo", "AAA-1"}, {"Customer", "Abbott Upholstery"}, {"Type", "Hide"},
                                       {"Status", "InActive"}});
    db.insert(QStringLiteral("Sets"), {{"CustomerRefNo", "AAA-7"}, {"Customer", "Carter Coach Works"}, {"Type", "Set"},
                                       {"Status", "Active"}});
    db.insert(QStringLiteral("Material"), {{"ID", "AAA-00"}, {"Status", "InActive"}, {"Type", "Vinyl"}});

    const ReportJob customers = production::customerListingJob();
    QCOMPARE(customers.rows.columns(), reports::findDesign(QStringLiteral("crptCustomerReport"))->columns);
    QCOMPARE(lines(customers.rows, cols("Status,Name")),
             QStringList({"Active|Bayside Marine Interiors", "Active|Carter Coach Works", "Active|Heritage Saddlery",
                          "InActive|Abbott Upholstery", "InActive|Old Town Furniture"}));
    const ReportJob employees = production::employeeListingJob();
    QCOMPARE(employees.rows.columns(), reports::findDesign(QStringLiteral("crptEmployeeReport"))->columns);
    QCOMPARE(lines(employees.rows, cols("Status,LastName,FirstName")),
             QStringList({"Active|Alvarez|Ana", "Active|Alvarez|Maria", "Active|Okafor|James", "InActive|Brooks|Linda"}));
    const ReportJob sets = production::setListingJob();
    QCOMPARE(sets.rows.columns(), reports::findDesign(QStringLiteral("crptSetReport"))->columns);
    QCOMPARE(lines(sets.rows, cols("Status,Type,CustomerRefNo")),
             QStringList({"Active|Hide|HS-12", "Active|Kit|BMI-KIT1", "Active|Set|BMI-4410", "Active|Set|BMI-4420",
                          "Active|Set|AAA-7", "Active|Set|CCW-220", "Active|Set|CCW-221", "InActive|Hide|AAA-1",
                          "InActive|Set|OTF-9"}));
    // Cutting, sewing, vinyl, leather and kit add up to the total of every set.
    for (const Row &r : sets.rows) {
        Money parts;
        for (const char *c : {"CuttingPrice", "SewingPrice", "VinylPrice", "LeatherPrice", "KitPrice"})
            parts += Money::fromVariant(r.value(QLatin1String(c)));
        QCOMPARE(parts, Money::fromVariant(r.value(QStringLiteral("TotalPrice"))));
    }
    QVERIFY(squeeze(documentText(reports::ReportDocument(sets))).contains(QStringLiteral("$24.00 $24.00")));
    // Printed, a social security number shows its last four digits; the rows (and so the CSV)
    // keep what is stored.
    const QString employeeText = documentText(reports::ReportDocument(employees));
    QVERIFY2(employeeText.contains(QStringLiteral("***-**-0101")), qPrintable(employeeText));
    QVERIFY(!employeeText.contains(QStringLiteral("212-55-0101")));
    QCOMPARE(employees.rows.at(1).text(QStringLiteral("SSN")), QStringLiteral("212-55-0101"));

    const ReportJob materials = production::materialListingJob();
    QCOMPARE(materials.rows.columns(), reports::findDesign(QStringLiteral("crptMaterialReport"))->columns);
    QCOMPARE(lines(materials.rows, cols("Status,Type,ID")),
             QStringList({"Active|Kit|KIT-SB", "Active|Leather|BLK-01", "Active|Leather|TAN-07", "Active|Vinyl|GRY-V2",
                          "InActive|Leather|RED-03", "InActive|Vinyl|AAA-00"}));
}

void TestReportCatalogue::purchaseOrderAndImportLog()
{
    TestDatabase t;
    loadShopFixture();
    const ReportJob po = purchasing::purchaseOrderJob(61);
    QCOMPARE(po.rows.columns(), reports::findDesign(QStringLiteral("crptPurchaseOrder"))->columns);
    QCOMPARE(lines(po.rows, cols("POID,Vendor1,PartNumber,COlor,PriceExt")),
             QStringList({"61|Midwest Hide & Vinyl Supply|MV-54-GRY|Marine Grey|1540",
                          "61|Midwest Hide & Vinyl Supply|HD-COW-BLK|Black|602.5"}));
    QVERIFY(purchasing::purchaseOrderJob(62).rows.isEmpty());
    t.db().exec(QStringLiteral("INSERT INTO PurchaseOrder (ID, Vendor1) VALUES (63, 'Empty PO Vendor')"));
    QCOMPARE(lines(purchasing::purchaseOrderJob(63).rows, cols("POID,Vendor1,Quantity")),
             QStringList{"63|Empty PO Vendor|-"});

    const ReportJob log = purchasing::importLogJob(7);
    QCOMPARE(log.rows.columns(), reports::findDesign(QStringLiteral("crptImportLogReport"))->columns);
    QCOMPARE(lines(log.rows, cols("ID,Description")),
             QStringList({"2|Cross reference missing for item BMI-9999", "1|Order PO-88213 line 3: item BMI-KIT1 added"}));
    QVERIFY(purchasing::importLogJob(99).rows.isEmpty());
}

void TestReportCatalogue::cutsheetControlNames()
{
    TestDatabase t;
    loadShopFixture();
    const ReportJob job = production::cutsheetControlJob();
    QCOMPARE(job.rows.columns(), reports::findDesign(QStringLiteral("crptCutsheetEntryControlReport"))->columns);
    QCOMPARE(lines(job.rows, cols("ID,Action,FirstName,LastName,Feet")),
             QStringList({"504|**New**|James|Okafor|128", "503|**Edit**|Maria|Alvarez|183.25", "499|**Delete**|-|-|2"}));
}

void TestReportCatalogue::routinesHandOverToOutput()
{
    TestDatabase t;
    loadShopFixture();
    CapturedReports captured;
    setReportOutput(&captured);
    const QList<std::pair<QString, documents::Request>> previews = {
        {"crptCustomerReport", {}},
        {"crptEmployeeReport", {}},
        {"crptSetReport", {}},
        {"crptMaterialReport", {}},
        {"crptOpenOrdersReport", {}},
        {"crptProductionScheduleReport", {}},
        {"crptPurchaseOrder", {{"po", "61"}}},
        {"crptImportLogReport", {{"import", "7"}}},
        {"crptOpenInvoicesReport", {{"asof", "2010-05-14"}}},
        {"crptARTranReport", {{"from", "2010-05-01"}, {"to", "2010-05-31"}}}};
    for (const auto &[name, request] : previews)
        QVERIFY(documents::produce(name, request));
    QStringList previewed;
    for (const ReportJob &j : captured.previews)
        previewed << j.design;
    QCOMPARE(previewed, QStringList({"crptCustomerReport", "crptEmployeeReport", "crptSetReport", "crptMaterialReport",
                                     "crptOpenOrdersReport", "crptProductionScheduleReport", "crptPurchaseOrder",
                                     "crptImportLogReport", "crptOpenInvoicesReport", "crptARTranReport"}));
    QVERIFY(captured.prints.isEmpty());

    captured.printSucceeds = false;
    const auto packingSlip = [] {
        return documents::produce(QStringLiteral("crptPackingSlip"), {{"shipment", "9001"}});
    };
    QVERIFY(!documents::produce(QStringLiteral("crptCutsheetEntryControlReport")));
    QVERIFY(!packingSlip());
    captured.printSucceeds = true;
    QVERIFY(packingSlip());
    QCOMPARE(captured.prints.size(), 3);
    QCOMPARE(captured.prints.at(0).design, QStringLiteral("crptCutsheetEntryControlReport"));
    QCOMPARE(captured.prints.at(1).design, QStringLiteral("crptPackingSlip"));

    // The shipment window's loop: No prints the packing slip again, only Yes ends it.
    captured.prints.clear();
    MessageBox::script({MessageBox::No, MessageBox::No, MessageBox::Yes});
    MessageBox::clearShown();
    printWithConfirmation(nullptr, packingSlip, PrintQuestion::PackingSlip, PrintQuestion::Title);
    QCOMPARE(captured.prints.size(), 3);
    QCOMPARE(MessageBox::shown().size(), 3);
    QCOMPARE(MessageBox::shown().last().text, QStringLiteral("Did the Packing Slip Print OK?"));
    QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Print Confirmation"));
}

void TestReportCatalogue::reportCommandsShowFailures()
{
    TestDatabase t;
    CapturedReports captured;
    setReportOutput(&captured);
    for (const char *key : {"OpenOrders", "ProductionSchedule", "CustomerReport", "EmployeeReport", "SetReport",
                            "MaterialReport"})
        QVERIFY2(isReportCommand(QLatin1String(key)), key);
    QVERIFY(!isReportCommand(QStringLiteral("OrderEntry")));
    QVERIFY(!isReportCommand(QStringLiteral("openorders")));
    runReportCommand(nullptr, QStringLiteral("MaterialReport"));
    QCOMPARE(captured.previews.size(), 1);
    QVERIFY(MessageBox::shown().isEmpty());

    t.db().exec(QStringLiteral("DROP TABLE Material"));
    runReportCommand(nullptr, QStringLiteral("MaterialReport"));
    QCOMPARE(captured.previews.size(), 1);
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY(MessageBox::shown().first().text.contains(QStringLiteral("Material"), Qt::CaseInsensitive));
}

void TestReportCatalogue::previewRefusesRowsItsDesignCannotTake_data()
{
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("column missing")
        << "Customer,InvoiceDate,Invoice,Cutting,Sewing,Vinyl,Total"
        << "The report crptSalesRegisterReport cannot be produced: its rows have no "
           "column \"Kit\".";
    QTest::newRow("all there") << "Customer,InvoiceDate,Invoice,Cutting,Sewing,Vinyl,Kit,Total" << QString();
}

// The viewer and a capture take any job; the check before the output is what refuses it.
void TestReportCatalogue::previewRefusesRowsItsDesignCannotTake()
{
    QFETCH(QString, columns);
    QFETCH(QString, refusal);
    TestDatabase t;
    ReportJob job;
    job.design = QStringLiteral("crptSalesRegisterReport");
    job.rows = makeRows(columns.split(u','), {});
    QString refused;
    try {
        reports::checkJob(job);
    } catch (const reports::ReportError &e) {
        refused = e.message();
    }
    QCOMPARE(refused, refusal);
}

QTEST_MAIN(TestReportCatalogue)
#include "tst_reportcatalogue.moc"
