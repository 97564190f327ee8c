#include "TestSupport.h"

#include "core/Startup.h"
#include "core/schema/Schema.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A file as an earlier version made it: the tables without the indexes and the figures.
std::unique_ptr<Database> oldFile(const QString &path)
{
    auto db = schema::createDatabaseFile(path);
    schema::dropCutFigures(*db);
    const RowSet indexes =
        db->query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND name LIKE 'ix%'"));
    for (const Row &r : indexes)
        db->exec(QStringLiteral("DROP INDEX \"%1\"").arg(r.text(QStringLiteral("name"))));
    db->exec(QStringLiteral("INSERT INTO Cutsheets (SSN, Date, OrderID, Item, Sets, Feet) "
                            "VALUES ('1', '2010-05-01', 1, 1, 2, 3.5)"));
    db->exec(QStringLiteral(
        "INSERT INTO OrderItem (OrderID, ItemNumber, Qty, MaterialID) VALUES (1, 1, 5, 'BLK')"));
    return db;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct ProgressSeen
{
    QList<QPair<int, int>> calls;
    ProgressSeen()
    {
        schema::setUpgradeProgress([this](int done, int total) { calls.append({done, total}); });
    }
    ~ProgressSeen() { schema::setUpgradeProgress({}); }
};

} // namespace

// Every table and column the windows and reports name, written out independently of the schema code.
static const char *const kExpected[] = {
    "Orders: ID OrderNumber Customer OrderDate DueDate ShipTo ShipToAddress1 ShipToAddress2 ShipToCity "
    "ShipToState ShipToZip ShipToPhone ShipToFax Status DateAdded Total",
    "OrderItem: OrderID ItemNumber Qty CustomerRefNo StyleID MaterialID PriceEach PriceExt",
    "Sets: CustomerRefNo Customer Type Style Material ReqFeet ProductionStandard EmployeeRate CuttingPrice "
    "SewingPrice VinylPrice LeatherPrice KitPrice TotalPrice Status DateAdded",
    "PriceUpdate: CustomerRefNumber DatePriceChanged",
    "Customer: Name Address1 Address2 City State Zip Phone Fax ShipTo ShipToAddress1 ShipToAddress2 "
    "ShipToCity "
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
        // CutsheetsTEMP is the connection's own; scratch tables are no part of the shop's data. The
        // two tables of running figures are the database's own.
        QCOMPARE(t.db().tableNames().size(), tables - 1 + 2);
    }

    void keysOfDifferentCaseAreTheSameKey()
    {
        TestDatabase t;
        t.addSet(QStringLiteral("AB-100"), QStringLiteral("ACME"), 90);
        QCOMPARE(t.db()
                     .scalar(QStringLiteral("SELECT TotalPrice FROM Sets WHERE CustomerRefNo = ?"),
                             {QStringLiteral("ab-100")})
                     .toDouble(),
                 90.0);
        const qint64 order = t.addOrder(QStringLiteral("acme"), QStringLiteral("P1"));
        t.addOrderLine(order, 1, 2, QStringLiteral("ab-100"), 90);
        const RowSet joined =
            t.db().query(QStringLiteral("SELECT Sets.Style AS Style FROM OrderItem LEFT JOIN Sets ON "
                                        "OrderItem.CustomerRefNo = Sets.CustomerRefNo"));
        QCOMPARE(joined[0].text(QStringLiteral("Style")), QStringLiteral("ST-AB-100"));
    }

    // The windows, the command line and --check all open through here.
    void oldFileGetsTheIndexesOnceWhenFirstOpened()
    {
        QTemporaryDir app;
        const QString path = app.filePath(QStringLiteral("shop.db"));
        const int all =
            int(schema::missingIndexes(*schema::createDatabaseFile(app.filePath(QStringLiteral("x.db"))))
                    .size()) +
            int(schema::missingIndexes(*oldFile(path)).size()) + 1; // and the figures
        QVERIFY(all > 20);
        QFile config(app.filePath(QStringLiteral("config.txt")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("Corvane\nDatabase,\"%1\"\nCutoff,1/1/2010\n").arg(path).toUtf8());
        config.close();

        ProgressSeen seen;
        openConfiguredDatabase(app.path()).reset();
        QCOMPARE(seen.calls.first(), qMakePair(0, all));
        QCOMPARE(seen.calls.last(), qMakePair(all, all));
        QCOMPARE(seen.calls.size(), all + 1);
        auto db = Database::open(path, schema::password());
        QVERIFY(schema::missingIndexes(*db).isEmpty());
        QCOMPARE(db->scalar(QStringLiteral("SELECT count(*) FROM Cutsheets")).toInt(), 1);
        // Counted from the rows already there, and kept from then on.
        QCOMPARE(db->scalar(QStringLiteral("SELECT Feet FROM CutByMaterial WHERE MaterialID = 'blk'"))
                     .toLongLong(),
                 35000);
        QCOMPARE(db->scalar(QStringLiteral("SELECT SetsLeft FROM CutByLine")).toLongLong(), 3);
        db->exec(QStringLiteral("UPDATE OrderItem SET Qty = 2"));
        QCOMPARE(db->scalar(QStringLiteral("SELECT count(*) FROM CutByLine")).toLongLong(), 0);
        db.reset();

        seen.calls.clear();
        const QByteArray before = contents(path);
        openConfiguredDatabase(app.path()).reset();
        QVERIFY(seen.calls.isEmpty());
        QCOMPARE(contents(path), before);
    }

    void failurePartWayAddsNoIndex()
    {
        QTemporaryDir dir;
        auto db = oldFile(dir.filePath(QStringLiteral("shop.db")));
        const QStringList missing = schema::missingIndexes(*db);
        // The last index's name is taken by a table: its CREATE fails after all the others ran.
        db->exec(QStringLiteral("CREATE TABLE \"%1\" (X)").arg(missing.last()));
        ProgressSeen seen;
        QVERIFY_THROWS_EXCEPTION(DbError, schema::addMissingParts(*db, [&](int d, int t) {
                                     seen.calls.append({d, t});
                                 }));
        QCOMPARE(schema::missingIndexes(*db), missing);
        QVERIFY(!schema::hasCutFigures(*db));
        QCOMPARE(seen.calls.last(), qMakePair(int(missing.size()) + 1, int(missing.size()) + 1));
        QVERIFY_THROWS_EXCEPTION(DbError, schema::upgradeOpenedFile(*db));
    }

    // The indexes only speed the documents up: a file that cannot take them now is read as it is.
    void fileThatCannotBeWrittenNowStillServes_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("read-only connection") << "readonly";
        QTest::newRow("another program is writing") << "busy";
    }
    void fileThatCannotBeWrittenNowStillServes()
    {
        QFETCH(QString, situation);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("shop.db"));
        auto db = oldFile(path);
        const int missing = int(schema::missingIndexes(*db).size());
        std::unique_ptr<Database> writer;
        if (situation == QLatin1String("readonly")) {
            db->exec(QStringLiteral("PRAGMA query_only = ON"));
        } else {
            writer = Database::open(path, schema::password());
            writer->exec(QStringLiteral("BEGIN IMMEDIATE"));
        }
        const QByteArray before = contents(path);
        schema::upgradeOpenedFile(*db);
        QCOMPARE(int(schema::missingIndexes(*db).size()), missing);
        QVERIFY(!schema::hasCutFigures(*db));
        QCOMPARE(
            db->scalar(QStringLiteral("SELECT SUM(Feet) FROM Cutsheets WHERE Date >= ?"), {QDate(2010, 1, 1)})
                .toDouble(),
            3.5);
        QCOMPARE(contents(path), before);
    }
};

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
