#include "PurchasingTestSupport.h"
#include "core/Spreadsheet.h"
#include "core/WorkbookReader.h"
#include "purchasing/DemandImport.h"

#include <QtTest>

using namespace purchasingtest;
using purchasing::DemandSheet;
using purchasing::ImportRun;

namespace {

ImportRun importFile(const QString &file, const QString &customer = QStringLiteral("O'Hare Trim"))
{
    return purchasing::importDemand(purchasing::readDemandSheet(fixture(file)), customer);
}

QStringList logOf(qint64 importId)
{
    return lines(QStringLiteral("SELECT Description FROM ImportXLSLog WHERE ImportID = ? ORDER BY ID"),
                 {importId});
}

const QStringList kFirstRunLog = {
    "Data Imported - PO#: PO-100     Item #: Q100     Qty: 4",
    "Order Updated: Order Number PO-100 Due Date updated from 6/1/2010 to 6/8/2010",
    "Data Imported - PO#: PO-101     Item #: Q200     Qty: 2",
    "Import Error: Item Number: NOXREF was not found in Cross Reference Table.",
    "Import Error: Part Number: Q900 was not found in Sets Table.",
    "Import Error: Row 15: Qty: two for PO#: PO-104 is not a whole number.",
    "Data Imported - PO#: PO-105     Item #: Q400     Qty: 5",
    "Data Imported - PO#: PO-106     Item #: QNP     Qty: 2",
    "Data Imported - PO#: PO \"7\"     Item #: Q300     Qty: 3",
    "6 lines imported into 5 orders, 3 errors",
};

} // namespace

class TestDemandImport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void cleansCells_data();
    void cleansCells();
    void readsLinesUpToBlankDate_data();
    void readsLinesUpToBlankDate();
    void row9999IsTheLastRead();
    void importsFirmLines_data();
    void importsFirmLines();
    void secondRunMovesDueDates_data();
    void secondRunMovesDueDates();
    void emptySheetStillUsesItsNumber_data();
    void emptySheetStillUsesItsNumber();
    void failurePartWayLeavesNothing();
    void unreadableFileThrows_data();
    void unreadableFileThrows();
    void failedReaderIsNoEmptySheet_data();
    void failedReaderIsNoEmptySheet();
    void loggedRunsNewestFirst();

private:
    std::unique_ptr<TestDatabase> m_db;
};

void TestDemandImport::init()
{
    m_db = std::make_unique<TestDatabase>();
    seedCatalogue(*m_db);
}

void TestDemandImport::cleanup()
{
    m_db.reset();
}

void TestDemandImport::cleansCells_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("clean");
    QTest::newRow("padded") << "  PO-1 "
                            << "PO-1";
    QTest::newRow("apostrophes anywhere") << "'O'Brien''s'"
                                          << "OBriens";
    QTest::newRow("blank after removing") << " ' "
                                          << "";
    QTest::newRow("double quotes kept") << "PO \"7\""
                                        << "PO \"7\"";
}

void TestDemandImport::cleansCells()
{
    QFETCH(QString, raw);
    QFETCH(QString, clean);
    QCOMPARE(purchasing::cleanCell(raw), clean);
}

void TestDemandImport::readsLinesUpToBlankDate_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("xls") << "demand.xls";
    QTest::newRow("xlsx") << "demand.xlsx";
}

void TestDemandImport::readsLinesUpToBlankDate()
{
    QFETCH(QString, file);
    const DemandSheet sheet = purchasing::readDemandSheet(fixture(file));
    QCOMPARE(int(sheet.lines.size()), 12); // rows 8-19; row 20 has no order date
    const purchasing::DemandLine &first = sheet.lines.front();
    QCOMPARE(first.row, 8);
    QCOMPARE(QStringList(
                 {first.orderDate, first.poNumber, first.refNumber, first.qty, first.dueDate, first.price}),
             QStringList({"5/3/2010", "PO-100", "Q100", "4", "6/1/2010", "95.5"}));
    QCOMPARE(sheet.lines.at(3).poNumber, QStringLiteral("PO-101"));
    QCOMPARE(sheet.lines.at(4).poNumber, QString());
    QCOMPARE(sheet.lines.at(10).refNumber, QStringLiteral("Q300"));
    QCOMPARE(sheet.lines.back().row, 19);
    QCOMPARE(sheet.lines.back().price, QString());
}

void TestDemandImport::row9999IsTheLastRead()
{
    const DemandSheet sheet = purchasing::readDemandSheet(fixture(QStringLiteral("long.xlsx")));
    QCOMPARE(int(sheet.lines.size()), 9999 - 8 + 1);
    QCOMPARE(sheet.lines.back().row, 9999);
    const ImportRun run = purchasing::importDemand(sheet, QStringLiteral("O'Hare Trim"));
    QCOMPARE(run.ordersCreated, 1);
    QCOMPARE(lines(QStringLiteral("SELECT OrderNumber FROM Orders")), QStringList({"PO-LAST"}));
}

void TestDemandImport::importsFirmLines_data()
{
    readsLinesUpToBlankDate_data();
}

void TestDemandImport::importsFirmLines()
{
    QFETCH(QString, file);
    const ImportRun run = importFile(file);
    QCOMPARE(run.importId, 1);
    QCOMPARE(run.ordersCreated, 5);
    QCOMPARE(run.dueDatesMoved, 1);
    QCOMPARE(run.errors, 3);
    QCOMPARE(logOf(1), kFirstRunLog);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(DISTINCT LogDate) FROM ImportXLSLog")), 1);
    QCOMPARE(DbConnection().scalar(QStringLiteral("SELECT LogDate FROM ImportXLSLog LIMIT 1")).toString(),
             QStringLiteral("2010-05-14"));

    // Orders: the customer's ship-to (its empty columns as empty text), the spreadsheet's price.
    QCOMPARE(
        lines(QStringLiteral("SELECT OrderNumber, Customer, OrderDate, DueDate, ShipTo, ShipToAddress1, "
                             "ShipToAddress2, ShipToFax, Status, DateAdded, Total FROM Orders ORDER BY ID")),
        QStringList(
            {"PO-100|O'Hare Trim|2010-05-03|2010-06-08|O'Hare Trim|2 Dock Rd|||Open|2010-05-14|382",
             "PO-101|O'Hare Trim|2010-05-04|2010-06-02|O'Hare Trim|2 Dock Rd|||Open|2010-05-14|240",
             "PO-105|O'Hare Trim|2010-05-04|2010-06-03|O'Hare Trim|2 Dock Rd|||Open|2010-05-14|200",
             "PO-106|O'Hare Trim|2010-05-04|2010-06-03|O'Hare Trim|2 Dock Rd|||Open|2010-05-14|24.5",
             "PO \"7\"|O'Hare Trim|2010-05-04|2010-06-04|O'Hare Trim|2 Dock Rd|||Open|2010-05-14|240"}));
    // Lines priced from the catalogue; a set without a price gives 0, a reference without a
    // part number and without a set keeps the reference alone.
    QCOMPARE(
        lines(QStringLiteral("SELECT o.OrderNumber, i.ItemNumber, i.Qty, i.StyleID, i.MaterialID, "
                             "i.CustomerRefNo, i.PriceEach, i.PriceExt FROM OrderItem i JOIN Orders o ON "
                             "o.ID = i.OrderID ORDER BY i.%1")
                  .arg(DbConnection().rowKey())),
        QStringList({"PO-100|1|4|ST-Q100|BLK-01|Q100|95.5|382", "PO-101|1|2|ST-Q200|BLK-01|Q200|120|240",
                     "PO-105|1|5|ST-Q400|BLK-01|Q400|0|0", "PO-106|1|2|||QNP|0|0",
                     "PO \"7\"|1|3|ST-Q300|BLK-01|Q300|80|240"}));
    // Every pending item has a price and no purchase order yet (-1 and 0 would show them missing).
    QCOMPARE(lines(QStringLiteral("SELECT CustomerRefNo, PartNumber, Description, ColorName, RStringNumber, "
                                  "COALESCE(Price, -1), Quantity, DockDate, Status, COALESCE(POID, 0) "
                                  "FROM PendingPOItems ORDER BY ID")),
             QStringList({"Q100|P-100|Seat hide|Black|R-1|42.5|4|2010-06-01|Open|0",
                          "Q200|P-200|Back hide|Black|R-2|55|2|2010-06-02|Open|0",
                          "Q400|P-400||||0|5|2010-06-03|Open|0",
                          "QNP||Loose trim|Grey|R-0|3.5|2|2010-06-03|Open|0",
                          "Q300|P-300|Arm vinyl|Tan|R-3|12.75|3|2010-06-04|Open|0"}));
}

void TestDemandImport::secondRunMovesDueDates_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("xls") << "demand.xls"
                         << "demand-moved.xls";
    QTest::newRow("xlsx") << "demand.xlsx"
                          << "demand-moved.xlsx";
    QTest::newRow("xls then xlsx") << "demand.xls"
                                   << "demand-moved.xlsx";
}

void TestDemandImport::secondRunMovesDueDates()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    importFile(first);
    const int orders = count(QStringLiteral("SELECT COUNT(*) FROM Orders"));
    const int items = count(QStringLiteral("SELECT COUNT(*) FROM OrderItem"));
    const int pending = count(QStringLiteral("SELECT COUNT(*) FROM PendingPOItems"));

    const ImportRun run = importFile(second);
    QCOMPARE(run.importId, 2);
    QCOMPARE(run.ordersCreated, 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM Orders")), orders);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM OrderItem")), items);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM PendingPOItems")), pending);
    // Both lines of PO-100 move its date in turn; PO-101 keeps its date and logs nothing.
    QCOMPARE(logOf(2),
             QStringList({"Order Updated: Order Number PO-100 Due Date updated from 6/8/2010 to 6/15/2010",
                          "Order Updated: Order Number PO-100 Due Date updated from 6/15/2010 to 6/8/2010",
                          "Import Error: Item Number: NOXREF was not found in Cross Reference Table.",
                          "Import Error: Part Number: Q900 was not found in Sets Table.",
                          "Import Error: Row 15: Qty: two for PO#: PO-104 is not a whole number.",
                          "2 lines imported into 1 order, 3 errors"}));
    QCOMPARE(logOf(1), kFirstRunLog);
    QCOMPARE(DbConnection()
                 .scalar(QStringLiteral("SELECT DueDate FROM Orders WHERE OrderNumber = 'PO-100'"))
                 .toString(),
             QStringLiteral("2010-06-08"));
}

void TestDemandImport::emptySheetStillUsesItsNumber_data()
{
    readsLinesUpToBlankDate_data();
}

void TestDemandImport::emptySheetStillUsesItsNumber()
{
    QFETCH(QString, file);
    const QString empty = QString(file).replace(QStringLiteral("demand"), QStringLiteral("empty"));
    QCOMPARE(int(purchasing::readDemandSheet(fixture(empty)).lines.size()), 0);
    const ImportRun run = importFile(empty);
    QCOMPARE(run.importId, 1);
    QCOMPARE(logOf(1), QStringList({"No Data Imported - the spreadsheet held no new or changed PO lines.",
                                    "0 lines imported into 0 orders, 0 errors"}));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM Orders")), 0);
    QCOMPARE(importFile(file).importId, 2);
    QCOMPARE(importFile(empty).importId, 3);
}

void TestDemandImport::failurePartWayLeavesNothing()
{
    // An order that exists already: the run's due-date move must be undone with the rest.
    const qint64 old = m_db->addOrder(QStringLiteral("O'Hare Trim"), QStringLiteral("PO-101"));
    DbConnection().exec(QStringLiteral("UPDATE Orders SET DueDate = '2010-05-30' WHERE ID = ?"), {old});
    RefusedWrites refused(DbConnection(), QStringLiteral("PendingPOItems"), QStringLiteral("INSERT"),
                          QStringLiteral("pending item refused"),
                          QStringLiteral("NEW.CustomerRefNo = 'Q300'"));
    try {
        importFile(QStringLiteral("demand.xlsx"));
        QFAIL("the run should have failed");
    } catch (const purchasing::ImportFailure &e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Row 18 (PO#: PO \"7\", Item #: Q300)")),
                 qPrintable(e.message()));
        QVERIFY2(e.message().contains(QStringLiteral("pending item refused")), qPrintable(e.message()));
        QVERIFY(e.message().contains(QStringLiteral("Nothing of this spreadsheet was imported")));
    }
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM Orders")), 1);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM OrderItem")), 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM PendingPOItems")), 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM ImportXLSLog")), 0);
    QCOMPARE(DbConnection().scalar(QStringLiteral("SELECT DueDate FROM Orders")).toString(),
             QStringLiteral("2010-05-30"));

    refused.lift();
    QCOMPARE(importFile(QStringLiteral("demand.xlsx")).importId, 1);
    QCOMPARE(
        logOf(1).at(2),
        QStringLiteral("Order Updated: Order Number PO-101 Due Date updated from 5/30/2010 to 6/2/2010"));
}

void TestDemandImport::unreadableFileThrows_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("missing") << "gone.xlsx";
    QTest::newRow("not a workbook") << "not-a-workbook.xls";
}

void TestDemandImport::unreadableFileThrows()
{
    QFETCH(QString, file);
    QVERIFY_THROWS_EXCEPTION(SpreadsheetError, purchasing::readDemandSheet(fixture(file)));
}

void TestDemandImport::failedReaderIsNoEmptySheet_data()
{
    QTest::addColumn<QString>("script"); // run by /bin/sh as the .xls reader
    QTest::addColumn<QString>("reason");
    QTest::newRow("killed") << "kill -KILL $$"
                            << "it is damaged";
    QTest::newRow("failure code") << "exit 9"
                                  << "it is damaged";
    QTest::newRow("out of memory") << "exit 4"
                                   << "there is not enough memory to read it";
    QTest::newRow("no sheets") << "printf 'CVX1\\000\\000\\000\\000'"
                               << "it is damaged";
}

void TestDemandImport::failedReaderIsNoEmptySheet()
{
    QFETCH(QString, script);
    QFETCH(QString, reason);
    workbookreader::setCommand({QStringLiteral("/bin/sh"), QStringLiteral("-c"), script});
    QString message;
    try {
        purchasing::readDemandSheet(fixture(QStringLiteral("demand.xls")));
    } catch (const SpreadsheetError &e) {
        message = e.message();
    }
    workbookreader::setCommand({});
    QCOMPARE(message,
             QStringLiteral("The workbook \"demand.xls\" could not be read: %1").arg(reason) +
                 (reason.endsWith(u"damaged") ? QStringLiteral(" or not a workbook this program can read.")
                                              : QStringLiteral(".")));
}

void TestDemandImport::loggedRunsNewestFirst()
{
    importFile(QStringLiteral("empty.xlsx"));
    DbConnection().exec(QStringLiteral("UPDATE ImportXLSLog SET LogDate = '2010-05-12'"));
    importFile(QStringLiteral("demand.xlsx"));
    importFile(QStringLiteral("empty.xls"));
    QStringList labels;
    QList<qint64> ids;
    for (const purchasing::LoggedRun &r : purchasing::loggedRuns()) {
        labels << r.label;
        ids << r.importId;
    }
    QCOMPARE(labels, QStringList({"5/14/2010 - 2", "5/14/2010 - 3", "5/12/2010 - 1"}));
    QCOMPARE(ids, QList<qint64>({2, 3, 1}));
}

QTEST_MAIN(TestDemandImport)
#include "tst_demandimport.moc"
