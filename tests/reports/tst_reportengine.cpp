#include "reports/ReportDesign.h"
#include "reports/ReportDocument.h"
#include "ReportTestSupport.h"
#include "TestSupport.h"

#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace reports;

namespace {

// The input columns every producer hands over, in query order.
const QList<QPair<QString, QString>> kContract = {
    {"crptOrderEntryControlReport",
     "ID, OrderNumber, Customer, OrderDate, DueDate, ShipTo, ShipToAddress1, ShipToAddress2, ShipToCity, ShipToState, "
     "ShipToZip, ShipToPhone, ShipToFax, Status, DateAdded, Total, OrderID, ItemNumber, Qty, StyleID, MaterialID, "
     "CustomerRefNo, PriceEach, PriceExt"},
    {"crptPurchaseOrder",
     "POID, Vendor1, Vendor2, Vendor3, PODate, DueDate, Terms, BillTo1, BillTo2, BillTo3, ShipTo1, ShipTo2, ShipTo3, "
     "Comment, Total, Quantity, PartNumber, Description, COlor, ColorNumber, PriceEach, PriceExt"},
    {"crptImportLogReport", "ID, ImportID, LogDate, Description"},
    {"crptOpenOrdersReport",
     "ID, OrderNumber, Customer, OrderDate, DueDate, ShipTo, ShipToAddress1, ShipToAddress2, ShipToCity, ShipToState, "
     "ShipToZip, ShipToPhone, ShipToFax, Status, DateAdded, ItemNumber, Qty, QtyCut, QtyShipped, StyleID, MaterialID, "
     "CustomerRefNo, PriceEach, PriceExt"},
    {"crptProductionScheduleReport",
     "ID, OrderNumber, Customer, OrderDate, DueDate, ShipTo, ShipToAddress1, ShipToAddress2, ShipToCity, ShipToState, "
     "ShipToZip, ShipToPhone, ShipToFax, Status, DateAdded, ItemNumber, Qty, QtyCut, QtyShipped, StyleID, MaterialID, "
     "CustomerRefNo, FeetReq"},
    {"crptCutsheetEntryControlReport", "ID, SSN, Date, OrderID, Item, Sets, Feet, Action, FirstName, LastName"},
    {"crptCustomerReport",
     "Name, Address1, Address2, City, State, Zip, Phone, Fax, Status, DateAdded, ShipTo, ShipToAddress1, ShipToAddress2, "
     "ShipToCity, ShipToState, ShipToZip, ShipToPhone, ShipToFax, Terms, Days"},
    {"crptEmployeeReport", "SSN, FirstName, LastName, Address, City, State, Zip, Phone, Status, HireDate, DateAdded"},
    {"crptSetReport",
     "Type, Customer, CustomerRefNo, Style, Material, ReqFeet, EmployeeRate, CuttingPrice, SewingPrice, VinylPrice, "
     "LeatherPrice, KitPrice, TotalPrice, Status, DateAdded, ProductionStandard"},
    {"crptMaterialReport", "ID, Description, Status, Type, DateAdded"},
    {"crptPackingSlip",
     "ShipTo, ShipToAddress1, ShipToAddress2, ShipToCity, ShipToState, ShipToZip, ShipDate, ShipmentID, QtyShipped, "
     "QtyOrdered, BoxNo, CustomerRefNo, StyleID, MaterialID, OrderNumber"},
    {"crptInvoice",
     "Name, Address1, Address2, City, State, Zip, ShipTo, ShipToAddress1, ShipToAddress2, ShipToCity, ShipToState, "
     "ShipToZip, ShipDate, ShipmentID, QtyShipped, BoxNo, CustomerRefNo, StyleID, MaterialID, OrderNumber, PriceEach, "
     "PriceExt"},
    {"crptOpenInvoicesReport", "Customer, Invoice, InvoiceDate, AsOf, DueDate, Terms, Shipment, Total, Received, "
                               "Current, Late30, Late60, Late90, LateOver90"},
    {"crptARTranReport", "Customer, Invoice, InvoiceDate, DueDate, Terms, Shipment, Total, Type"},
    {"crptSalesRegisterReport", "Customer, InvoiceDate, Invoice, Cutting, Sewing, Vinyl, Kit, Total"},
    {"crptLeatherSalesReport", "Material, Type, C1Sales, C2Sales, C3Sales, C4Sales, OtherSales, Weeks"},
    {"crptEmployeeYieldReport", "SSN, FirstName, LastName, Style, Sets, Required, Used"},
    {"crptEmployeeYieldReport2", "SSN, FirstName, LastName, Style, Sets, Required, Used"},
    {"crptCustomerYieldReport", "Customer, Style, Sets, Required, Used"},
    {"crptCustomerYieldReport2", "Customer, Style, Sets, Required, Used"},
    // Sets and Earnings (sets x pay rate) added: without them the earnings cannot be shown.
    {"crptEmployeeEarningsReport",
     "SSN, FirstName, LastName, ID, CutDate, Style, Sets, FeetUsed, FeetReq, PayRate, Earnings"},
    {"crptAvailableInventoryReport", "Material, Description, Status, Type, OnHandAdj, OnHandCut, QtyOrdered"},
    {"crptInventoryValuationReport", "Material, Description, Type, Status, OnHandAdj, OnHandCut, Average, CutValue"},
    {"crptMaterialHistoryReport", "Material, Date, Description, ID, Who, Qty, BegBal"},
};

QStringList split(const QString &list)
{
    QStringList out;
    for (const QString &s : list.split(u','))
        out << s.trimmed();
    return out;
}

ReportJob emptyJob(const Design &d)
{
    ReportJob job;
    job.design = d.name;
    job.rows = RowSet(d.columns);
    if (d.sub)
        job.subRows = RowSet(d.sub->columns);
    return job;
}

} // namespace

class TestReportEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyDesignDeclaresItsColumns_data();
    void everyDesignDeclaresItsColumns();
    void missingColumnIsRefusedByName_data();
    void missingColumnIsRefusedByName();
    void extraColumnsAreIgnored();
    void emptyRowSetGivesHeadingsOnly();
    void groupsSubtotalsAndGrandTotal();
    void quotientTotalsAreQuotientsOfTotals();
    void flagSlotLeavesTheGrandTotalOut();
    void slotsAreShownAsGiven();
    void groupPerPageStartsNewPages();
    void runningBalanceWithinGroup();
    void continuedGroupsAreNamedOnNextPage();
    void longDocumentPaginates();
    void stoppedPdfLeavesNoFile_data();
    void stoppedPdfLeavesNoFile();
    void pageImagesScale();
    void formatValues_data();
    void formatValues();
};

void TestReportEngine::everyDesignDeclaresItsColumns_data()
{
    QTest::addColumn<QString>("design");
    QTest::addColumn<QString>("columns");
    for (const auto &c : kContract)
        QTest::newRow(qPrintable(c.first)) << c.first << c.second;
}

void TestReportEngine::everyDesignDeclaresItsColumns()
{
    QFETCH(QString, design);
    QFETCH(QString, columns);
    const Design *d = findDesign(design);
    QVERIFY(d);
    QCOMPARE(d->name, design);
    QCOMPARE(d->columns, split(columns));
    // Every field, total and template of the design reads only declared columns: it lays out on
    // exactly those columns.
    const ReportDocument doc(emptyJob(*d));
    QCOMPARE(doc.pageCount(), 1);
    QCOMPARE(designs().size(), kContract.size());
}

void TestReportEngine::missingColumnIsRefusedByName_data()
{
    QTest::addColumn<QString>("design");
    QTest::addColumn<QString>("dropped");
    QTest::addColumn<bool>("dropFromSub");
    QTest::newRow("invoice price") << "crptInvoice" << "PriceExt" << false;
    QTest::newRow("order control") << "crptOrderEntryControlReport" << "OrderID" << false;
    QTest::newRow("payments of AR") << "crptARTranReport" << "Amount" << true;
}

void TestReportEngine::missingColumnIsRefusedByName()
{
    QFETCH(QString, design);
    QFETCH(QString, dropped);
    QFETCH(bool, dropFromSub);
    const Design *d = findDesign(design);
    QVERIFY(d);
    ReportJob job = emptyJob(*d);
    QStringList columns = dropFromSub ? d->sub->columns : d->columns;
    columns.removeAll(dropped);
    if (dropFromSub)
        job.subRows = RowSet(columns);
    else
        job.rows = RowSet(columns);
    try {
        ReportDocument doc(job);
        QFAIL("a row set without a declared column was accepted");
    } catch (const ReportError &e) {
        QVERIFY2(e.message().contains(design) && e.message().contains(u'"' + dropped + u'"'), qPrintable(e.message()));
    }
    QVERIFY_THROWS_EXCEPTION(ReportError, checkJob(job));
}

void TestReportEngine::extraColumnsAreIgnored()
{
    const Design *d = findDesign(QStringLiteral("crptMaterialReport"));
    ReportJob job;
    job.design = QStringLiteral("crptMaterialReport");
    job.rows = makeRows(QStringList{QStringLiteral("Extra")} + d->columns,
                        {{QStringLiteral("zzz-extra"), QStringLiteral("BLK-01"), QStringLiteral("Black hide"),
                          QStringLiteral("Active"), QStringLiteral("Leather"), QStringLiteral("2010-01-02")}});
    const QString text = documentText(ReportDocument(job));
    QVERIFY(text.contains(QStringLiteral("Black hide")));
    QVERIFY(!text.contains(QStringLiteral("zzz-extra")));

    ReportJob unknown = job;
    unknown.design = QStringLiteral("crptNoSuchThing");
    QVERIFY_THROWS_EXCEPTION(ReportError, checkJob(unknown));
    ReportJob misspelt = emptyJob(*findDesign(QStringLiteral("crptOpenInvoicesReport")));
    misspelt.textSlots = {{QStringLiteral("AsOfDate"), QStringLiteral("5/14/2010")}};
    try {
        checkJob(misspelt);
        QFAIL("an unknown slot was accepted");
    } catch (const ReportError &e) {
        QCOMPARE(e.message(), QStringLiteral("The report crptOpenInvoicesReport has no text slot \"AsOfDate\" (its "
                                             "slots: AsOf)."));
    }
    ReportJob noPayments = emptyJob(*findDesign(QStringLiteral("crptARTranReport")));
    noPayments.subRows.reset();
    QVERIFY_THROWS_EXCEPTION(ReportError, checkJob(noPayments));
}

void TestReportEngine::emptyRowSetGivesHeadingsOnly()
{
    TestDatabase tdb; // fixes the print date
    ReportJob job = emptyJob(*findDesign(QStringLiteral("crptOpenInvoicesReport")));
    job.textSlots = {{QStringLiteral("AsOf"), QStringLiteral("5/14/2010")}};
    const ReportDocument doc(job);
    QCOMPARE(doc.pageCount(), 1);
    const QString text = documentText(doc);
    for (const char *expected : {"Open Invoices Report", "Invoice Date", "Due Date", "Balance", "As of: 5/14/2010",
                                 "Printed 5/14/2010", "Page 1 of 1"})
        QVERIFY2(text.contains(QLatin1String(expected)), expected);
    QVERIFY(!text.contains(QStringLiteral("Total for")));
    QVERIFY2(squeeze(text).contains(QStringLiteral("Total Receivables $0.00 $0.00 $0.00")), qPrintable(squeeze(text)));
}

void TestReportEngine::groupsSubtotalsAndGrandTotal()
{
    TestDatabase tdb;
    ReportJob job;
    job.design = QStringLiteral("crptOpenInvoicesReport");
    const QStringList cols = findDesign(job.design)->columns;
    job.rows = makeRows(cols, {{"Acme Trim", 11, "2010-04-01", "2010-05-14", "2010-05-01", "Net 30", 7, 1000.0, 250.0},
                               {"Acme Trim", 12, "2010-04-10", "2010-05-14", "2010-05-10", "Net 30", 8, 234.5, QVariant()},
                               {"Zenith Boats", 13, "2010-05-01", "2010-05-14", "2010-05-31", "Net 30", 9, 99.99, 49.99}});
    const QString text = squeeze(documentText(ReportDocument(job)));
    QVERIFY2(text.contains(QStringLiteral("Total for Acme Trim $1,234.50 $250.00 $984.50")), qPrintable(text));
    // Zenith owes part: a paid-up invoice is not printed.
    QVERIFY(text.contains(QStringLiteral("Total for Zenith Boats $99.99 $49.99 $50.00")));
    QVERIFY(text.contains(QStringLiteral("Total Receivables $1,334.49 $299.99 $1,034.50")));
    // The group header comes once, before its rows.
    QCOMPARE(text.count(QStringLiteral("Acme Trim")), 2);
    QVERIFY(text.indexOf(QStringLiteral("Acme Trim")) < text.indexOf(QStringLiteral("5/1/2010")));
}

void TestReportEngine::quotientTotalsAreQuotientsOfTotals()
{
    TestDatabase tdb;
    ReportJob job;
    job.design = QStringLiteral("crptEmployeeYieldReport");
    job.rows = makeRows(findDesign(job.design)->columns,
                        {{"111", "Maria", "Alvarez", "Helm Seat", 2, 10.0, 12.5},
                         {"111", "Maria", "Alvarez", "Bench", 1, 20.0, 20.0},
                         {"222", "James", "Okafor", "Bench", 1, QVariant(), QVariant()}});
    job.textSlots = {{QStringLiteral("StartDate"), QStringLiteral("5/1/2010")},
                     {QStringLiteral("EndDate"), QStringLiteral("5/31/2010")}};
    const QString text = squeeze(documentText(ReportDocument(job)));
    QVERIFY2(text.contains(QStringLiteral("Helm Seat 2 10 12.5 2.5 80.0%")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Bench 1 20 20 0 100.0%")));
    // 30 feet required over 32.5 used, not the mean of 80% and 100%.
    QVERIFY(text.contains(QStringLiteral("Total for Maria Alvarez 3 30 32.5 2.5 92.3%")));
    // A group with no feet at all shows them empty, not 0.
    QVERIFY(text.contains(QStringLiteral("Total for James Okafor 1 Report Total")));
    QVERIFY(text.contains(QStringLiteral("Report Total 4 30 32.5 2.5 92.3%")));
}

void TestReportEngine::flagSlotLeavesTheGrandTotalOut()
{
    TestDatabase tdb;
    ReportJob job;
    job.design = QStringLiteral("crptCustomerYieldReport");
    job.rows = makeRows(findDesign(job.design)->columns, {{"Acme Trim", "Helm Seat", 2, 10.0, 12.5}});
    QVERIFY(documentText(ReportDocument(job)).contains(QStringLiteral("Report Total")));
    job.textSlots = {{QStringLiteral("SingleSelection"), QStringLiteral("true")}};
    const QString single = documentText(ReportDocument(job));
    QVERIFY(!single.contains(QStringLiteral("Report Total")));
    QVERIFY(single.contains(QStringLiteral("Total for Acme Trim")));
    QVERIFY(!single.contains(QStringLiteral("true")));
}

void TestReportEngine::slotsAreShownAsGiven()
{
    TestDatabase tdb;
    ReportJob job = emptyJob(*findDesign(QStringLiteral("crptInvoice")));
    job.rows = makeRows(job.rows.columns(),
                        {{"Acme Trim", "1 Main St", QVariant(), "Dayton", "OH", "45402", "Acme Dock", "2 Dock Rd",
                          QVariant(), "Dayton", "OH", "45403", "2010-05-12", 9001, 3, "1", "REF-1", "Style A", "BLK",
                          "PO-1", 10.125, 30.375}});
    job.textSlots = {{QStringLiteral("InvoiceNumber"), QStringLiteral("003003-A")},
                     {QStringLiteral("Terms"), QStringLiteral("2% 10, Net 30")},
                     {QStringLiteral("DueDate"), QStringLiteral("June 11th, 2010")}};
    const QString text = squeeze(documentText(ReportDocument(job)));
    QVERIFY2(text.contains(QStringLiteral("Invoice No.: 003003-A")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Terms: 2% 10, Net 30")));
    QVERIFY(text.contains(QStringLiteral("Due Date: June 11th, 2010")));
    // An address line with a missing part leaves no dangling separator.
    QVERIFY(text.contains(QStringLiteral("Dayton, OH 45402")));
    QVERIFY(text.contains(QStringLiteral("$10.125 $30.38"))); // price as stored, amount to even cents
}

void TestReportEngine::groupPerPageStartsNewPages()
{
    TestDatabase tdb;
    ReportJob job = emptyJob(*findDesign(QStringLiteral("crptPackingSlip")));
    QList<QVariantList> rows;
    for (int shipment : {1, 2, 3})
        rows << QVariantList{"Acme", "2 Dock Rd", QVariant(), "Dayton", "OH", "45403", "2010-05-12", shipment, 4, 10,
                             "1", "REF", "Style", "BLK", "PO-1"};
    job.rows = makeRows(job.rows.columns(), rows);
    const ReportDocument doc(job);
    QCOMPARE(doc.pageCount(), 3);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("slips.pdf"));
    QVERIFY(doc.writePdf(path));
    QCOMPARE(pdfPageCount(path), 3);
    QVERIFY(pdfText(path, 2, 2).contains(QStringLiteral("Page 2 of 3")));
    QVERIFY(squeeze(pdfText(path, 3, 3)).contains(QStringLiteral("SHIPMENT NO. SHIP DATE 3 5/12/2010")));
}

void TestReportEngine::runningBalanceWithinGroup()
{
    TestDatabase tdb;
    ReportJob job;
    job.design = QStringLiteral("crptMaterialHistoryReport");
    job.rows = makeRows(findDesign(job.design)->columns,
                        {{"BLK-01", "2010-05-02", "Cutsheet", 501, "Maria Alvarez", -10.0, 100.0},
                         {"BLK-01", "2010-05-03", "Hides received", 7, "N/A", 25.5, 100.0},
                         {"TAN-07", "2010-05-03", "Cutsheet", 502, "James Okafor", -4.0, 20.0}});
    const QString text = squeeze(documentText(ReportDocument(job)));
    QVERIFY2(text.contains(QStringLiteral("BLK-01 Opening balance 100")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Maria Alvarez -10 90")));
    QVERIFY(text.contains(QStringLiteral("N/A 25.5 115.5")));
    QVERIFY(text.contains(QStringLiteral("Net change for BLK-01 15.5")));
    QVERIFY(text.contains(QStringLiteral("James Okafor -4 16")));
}

void TestReportEngine::continuedGroupsAreNamedOnNextPage()
{
    TestDatabase tdb;
    ReportJob job;
    job.design = QStringLiteral("crptOpenInvoicesReport");
    QList<QVariantList> rows;
    for (int i = 0; i < 50; ++i)
        rows << QVariantList{"Acme Trim", 100 + i, "2010-04-01", "2010-05-14", "2010-05-01", "Net 30", i, 10.0, 0.0};
    rows << QVariantList{"Zenith Boats", 500, "2010-04-01", "2010-05-14", "2010-05-01", "Net 30", 1, 10.0, 0.0};
    job.rows = makeRows(findDesign(job.design)->columns, rows);
    const ReportDocument doc(job);
    QCOMPARE(doc.pageCount(), 2);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("continued.pdf"));
    QVERIFY(doc.writePdf(path));
    QVERIFY(!pdfText(path, 1, 1).contains(QStringLiteral("(continued)")));
    const QString second = squeeze(pdfText(path, 2, 2));
    QVERIFY2(second.contains(QStringLiteral("Over 90 Acme Trim (continued)")), qPrintable(second));
    QVERIFY(second.contains(QStringLiteral("Total for Acme Trim $500.00")));
    QVERIFY(!second.contains(QStringLiteral("Zenith Boats (continued)")));
}

void TestReportEngine::stoppedPdfLeavesNoFile_data()
{
    QTest::addColumn<int>("stopAt"); // 0: never stopped
    QTest::addColumn<bool>("existing");
    QTest::newRow("stopped, new file") << 3 << false;
    QTest::newRow("stopped, file kept") << 3 << true;
    QTest::newRow("stopped on the last page") << -1 << true;
    QTest::newRow("complete, new file") << 0 << false;
    QTest::newRow("complete, file replaced") << 0 << true;
}

void TestReportEngine::stoppedPdfLeavesNoFile()
{
    QFETCH(int, stopAt);
    QFETCH(bool, existing);
    TestDatabase tdb;
    ReportJob job;
    job.design = QStringLiteral("crptMaterialReport");
    QList<QVariantList> rows;
    for (int i = 0; i < 400; ++i)
        rows << QVariantList{QStringLiteral("M%1").arg(i), QStringLiteral("Material %1").arg(i), "Active",
                             "Leather", "2010-01-02"};
    job.rows = makeRows(findDesign(job.design)->columns, rows);
    const ReportDocument doc(job);
    QVERIFY(doc.pageCount() > 3);
    if (stopAt < 0)
        stopAt = doc.pageCount();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("materials.pdf"));
    const QByteArray before("not a pdf, the user's own file");
    if (existing)
        QVERIFY(writeBytes(path, before));
    QList<int> seen;
    QString error = QStringLiteral("stale");
    const bool written = doc.writePdf(path, &error, [&](int done, int total) {
        seen << done;
        return total == doc.pageCount() && done != stopAt;
    });
    QCOMPARE(written, stopAt == 0);
    QCOMPARE(seen.size(), stopAt == 0 ? doc.pageCount() : stopAt);
    QCOMPARE(seen.first(), 1);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             existing || written ? QStringList{"materials.pdf"} : QStringList{});
    if (written) {
        QVERIFY(error.isEmpty());
        QCOMPARE(pdfPageCount(path), doc.pageCount());
    } else {
        QVERIFY2(error.isEmpty(), qPrintable(error)); // stopping is no failure to report
        if (existing)
            QCOMPARE(fileBytes(path), before);
    }

    // A folder that cannot be written to is refused before any page is painted.
    seen.clear();
    QVERIFY(!doc.writePdf(dir.filePath(QStringLiteral("missing/x.pdf")), &error, [&](int done, int) {
        seen << done;
        return true;
    }));
    QVERIFY(error.contains(QStringLiteral("could not be written")));
    QVERIFY(seen.isEmpty());
}

void TestReportEngine::longDocumentPaginates()
{
    TestDatabase tdb;
    ReportJob job;
    job.design = QStringLiteral("crptMaterialReport");
    QList<QVariantList> rows;
    const int n = 1500;
    for (int i = 0; i < n; ++i)
        rows << QVariantList{QStringLiteral("M%1").arg(i, 5, 10, QChar(u'0')), QStringLiteral("Material %1").arg(i),
                             "Active", "Leather", "2010-01-02"};
    job.rows = makeRows(findDesign(job.design)->columns, rows);
    const ReportDocument doc(job);
    QVERIFY(doc.pageCount() > 20);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.pdf"));
    QVERIFY(doc.writePdf(path));
    QCOMPARE(pdfPageCount(path), doc.pageCount());
    const QString text = pdfText(path);
    // Every row printed exactly once, the last page numbered as the last.
    for (int i = 0; i < n; i += 37)
        QCOMPARE(text.count(QStringLiteral("M%1 ").arg(i, 5, 10, QChar(u'0'))), 1);
    QCOMPARE(text.count(QStringLiteral("M01499 ")), 1);
    QVERIFY(text.contains(QStringLiteral("Page %1 of %1").arg(doc.pageCount())));
    QVERIFY(pdfText(path, doc.pageCount(), doc.pageCount()).contains(QStringLiteral("Materials in all: 1500")));
    QCOMPARE(text.count(QStringLiteral("Description")), doc.pageCount()); // headings on every page

    // Twice the rows, about twice the pages.
    rows += rows;
    job.rows = makeRows(findDesign(job.design)->columns, rows);
    const int doubled = ReportDocument(job).pageCount();
    QVERIFY(doubled >= 2 * doc.pageCount() - 1 && doubled <= 2 * doc.pageCount());
}

void TestReportEngine::pageImagesScale()
{
    TestDatabase tdb;
    const ReportDocument doc(emptyJob(*findDesign(QStringLiteral("crptSetReport"))));
    QCOMPARE(doc.pageSize(), QSizeF(792, 612)); // letter, landscape
    const QImage small = doc.pageImage(0, 1.0);
    const QImage large = doc.pageImage(0, 2.0);
    QCOMPARE(small.size(), QSize(792, 612));
    QCOMPARE(large.size(), QSize(1584, 1224));
    // Something is drawn: the title is dark on white.
    int dark = 0;
    for (int y = 30; y < 70; ++y)
        for (int x = 36; x < 300; ++x)
            dark += qGray(small.pixel(x, y)) < 128;
    QVERIFY(dark > 100);
}

void TestReportEngine::formatValues_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("money") << QVariant(1234.5) << int(Format::Money) << "$1,234.50";
    QTest::newRow("money negative") << QVariant(-12.0) << int(Format::Money) << "($12.00)";
    QTest::newRow("money half even") << QVariant(2.665) << int(Format::Money) << "$2.66";
    QTest::newRow("money null") << QVariant() << int(Format::Money) << "";
    QTest::newRow("price cents") << QVariant(24.5) << int(Format::Price) << "$24.50";
    QTest::newRow("price mills") << QVariant(24.8438) << int(Format::Price) << "$24.8438";
    QTest::newRow("price three") << QVariant(1.125) << int(Format::Price) << "$1.125";
    QTest::newRow("quantity") << QVariant(12.5) << int(Format::Quantity) << "12.5";
    QTest::newRow("quantity whole") << QVariant(141.0) << int(Format::Quantity) << "141";
    QTest::newRow("quantity rounded") << QVariant(1.005) << int(Format::Quantity) << "1";
    QTest::newRow("integer") << QVariant(7.0) << int(Format::Integer) << "7";
    QTest::newRow("date") << QVariant("2010-05-04") << int(Format::Date) << "5/4/2010";
    QTest::newRow("date with time") << QVariant("2010-01-02 09:00:00") << int(Format::Date) << "1/2/2010";
    QTest::newRow("date time") << QVariant("2010-05-11 14:02:10") << int(Format::DateTime) << "5/11/2010 2:02 PM";
    QTest::newRow("percent") << QVariant(0.923) << int(Format::Percent) << "92.3%";
    QTest::newRow("ssn") << QVariant("222-33-4444") << int(Format::Ssn) << "***-**-4444";
    QTest::newRow("ssn digits only") << QVariant("222334444") << int(Format::Ssn) << "***-**-4444";
    QTest::newRow("ssn null") << QVariant() << int(Format::Ssn) << "";
        QTest::newRow("text of a number") << QVariant(3.25) << int(Format::Text) << "3.25";
}

void TestReportEngine::formatValues()
{
    QFETCH(QVariant, value);
    QFETCH(int, format);
    QFETCH(QString, expected);
    QCOMPARE(formatValue(value, Format(format)), expected);
}

QTEST_MAIN(TestReportEngine)
#include "tst_reportengine.moc"
