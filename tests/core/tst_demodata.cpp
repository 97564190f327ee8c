// The demo data must hold every rule the windows and reports rely on.
#include "DemoData.h"
#include "TestSupport.h"
#include "core/schema/Schema.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include <map>
#include <memory>

namespace {

const QDate kToday(2010, 5, 14);

std::unique_ptr<Database> makeDemo(const QString &path, int size, unsigned seed)
{
    auto db = schema::createDatabaseFile(path);
    DemoOptions options;
    options.size = size;
    options.seed = seed;
    options.today = kToday;
    fillDemoData(*db, options);
    return db;
}

qint64 count(Database &db, const QString &sql, const QVariantList &params = {})
{
    return db.scalar(sql, params).toLongLong();
}

// Every table's rows as text, in stored order.
QStringList dump(Database &db)
{
    QStringList out;
    for (const schema::Table &t : schema::tables()) {
        for (const Row &r : db.query(QStringLiteral("SELECT * FROM \"%1\" ORDER BY %2")
                                         .arg(QLatin1String(t.name), db.rowKey()))) {
            QStringList cells;
            for (const QVariant &v : r.values())
                cells << (v.isNull() ? QStringLiteral("<null>") : v.toString());
            out << QLatin1String(t.name) + u':' + cells.join(u'|');
        }
    }
    return out;
}

qint64 totalRows(Database &db)
{
    qint64 n = 0;
    for (const schema::Table &t : schema::tables())
        n += count(db, QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(QLatin1String(t.name)));
    return n;
}

} // namespace

class TestDemoData : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::map<QString, std::unique_ptr<Database>> m_dbs;

    Database &db(const QString &name) { return *m_dbs.at(name); }
    void addDatabaseColumn()
    {
        QTest::addColumn<QString>("name");
        for (const auto &[name, d] : m_dbs)
            QTest::newRow(qPrintable(name)) << name;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_dbs[QStringLiteral("size1")] = makeDemo(m_dir.filePath(QStringLiteral("a.db")), 1, 20101);
        m_dbs[QStringLiteral("size2")] = makeDemo(m_dir.filePath(QStringLiteral("b.db")), 2, 7);
    }

    void referencesResolve_data()
    {
        QTest::addColumn<QString>("sql");
        const QStringList checks = {
            "SELECT COUNT(*) FROM OrderItem LEFT JOIN Orders ON OrderItem.OrderID = Orders.ID WHERE "
            "Orders.ID IS NULL",
            "SELECT COUNT(*) FROM OrderItem LEFT JOIN Sets ON OrderItem.CustomerRefNo = Sets.CustomerRefNo "
            "WHERE Sets.CustomerRefNo IS NULL OR Sets.Style <> OrderItem.StyleID OR Sets.Material <> "
            "OrderItem.MaterialID",
            "SELECT COUNT(*) FROM Orders LEFT JOIN Customer ON Orders.Customer = Customer.Name WHERE "
            "Customer.Name IS NULL",
            "SELECT COUNT(*) FROM Sets LEFT JOIN Customer ON Sets.Customer = Customer.Name WHERE "
            "Customer.Name IS NULL",
            "SELECT COUNT(*) FROM Sets LEFT JOIN Material ON Sets.Material = Material.ID WHERE Material.ID "
            "IS NULL",
            "SELECT COUNT(*) FROM Cutsheets LEFT JOIN OrderItem ON Cutsheets.OrderID = OrderItem.OrderID "
            "AND Cutsheets.Item = OrderItem.ItemNumber WHERE OrderItem.OrderID IS NULL",
            "SELECT COUNT(*) FROM Cutsheets LEFT JOIN Employee ON Cutsheets.SSN = Employee.SSN "
            "WHERE Employee.SSN IS NULL AND Cutsheets.SSN NOT LIKE 'SHIPMENT %'",
            "SELECT COUNT(*) FROM ShipmentItems LEFT JOIN Shipment ON ShipmentItems.ShipmentID = Shipment.ID "
            "WHERE Shipment.ID IS NULL",
            "SELECT COUNT(*) FROM ShipmentItems LEFT JOIN OrderItem ON ShipmentItems.OrderID = "
            "OrderItem.OrderID "
            "AND ShipmentItems.LineItem = OrderItem.ItemNumber WHERE OrderItem.OrderID IS NULL",
            "SELECT COUNT(*) FROM ShipmentItems JOIN Shipment ON ShipmentItems.ShipmentID = Shipment.ID "
            "JOIN Orders ON ShipmentItems.OrderID = Orders.ID WHERE Orders.Customer <> Shipment.Customer "
            "OR Orders.OrderNumber <> ShipmentItems.OrderNumber OR Orders.OrderDate > Shipment.Date",
            "SELECT COUNT(*) FROM Shipment LEFT JOIN Invoice ON Invoice.Shipment = Shipment.ID WHERE "
            "Invoice.Invoice IS NULL",
            "SELECT COUNT(*) FROM (SELECT Shipment FROM Invoice WHERE Shipment IS NOT NULL GROUP BY Shipment "
            "HAVING COUNT(*) > 1)",
            "SELECT COUNT(*) FROM Invoice WHERE (Type = 'Auto Invoice') <> (Shipment IS NOT NULL)",
            "SELECT COUNT(*) FROM Payments LEFT JOIN Invoice ON Payments.Invoice = Invoice.Invoice "
            "WHERE Invoice.Invoice IS NULL OR Payments.Date < Invoice.InvoiceDate",
            "SELECT COUNT(*) FROM AdjustmentItem LEFT JOIN Adjustment ON AdjustmentItem.AdjustmentID = "
            "Adjustment.ID WHERE Adjustment.ID IS NULL",
            "SELECT COUNT(*) FROM AdjustmentItem LEFT JOIN Material ON AdjustmentItem.MaterialID = "
            "Material.ID WHERE Material.ID IS NULL",
            "SELECT COUNT(*) FROM Material LEFT JOIN ItemValue ON ItemValue.MaterialID = Material.ID WHERE "
            "ItemValue.MaterialID IS NULL",
            "SELECT COUNT(*) FROM PriceUpdate LEFT JOIN Sets ON PriceUpdate.CustomerRefNumber = "
            "Sets.CustomerRefNo WHERE Sets.CustomerRefNo IS NULL",
            "SELECT COUNT(*) FROM CrossReferenceTable LEFT JOIN Sets ON "
            "CrossReferenceTable.CustomerRefNumber = Sets.CustomerRefNo WHERE Sets.CustomerRefNo IS NULL",
            "SELECT COUNT(*) FROM PurchaseOrderItem LEFT JOIN PurchaseOrder ON PurchaseOrderItem.POID = "
            "PurchaseOrder.ID WHERE PurchaseOrder.ID IS NULL",
            "SELECT COUNT(*) FROM PendingPOItems LEFT JOIN PurchaseOrderItem ON PendingPOItems.POItemID = "
            "PurchaseOrderItem.ID "
            "WHERE (PendingPOItems.Status = 'Closed') <> COALESCE(PurchaseOrderItem.PendingPOItemID = "
            "PendingPOItems.ID "
            "AND PurchaseOrderItem.POID = PendingPOItems.POID, 0)",
            "SELECT COUNT(*) FROM PendingPOItems LEFT JOIN CrossReferenceTable ON "
            "PendingPOItems.CustomerRefNo = "
            "CrossReferenceTable.CustomerRefNumber WHERE CrossReferenceTable.PartNumber IS NULL",
            "SELECT COUNT(*) FROM CutsheetsTEMP",
            "SELECT COUNT(*) FROM (SELECT OrderNumber FROM Orders GROUP BY OrderNumber HAVING COUNT(*) > 1)",
            "SELECT COUNT(*) FROM Orders WHERE DueDate < OrderDate OR DateAdded <> OrderDate",
            "SELECT COUNT(*) FROM Cutsheets JOIN Orders ON Cutsheets.OrderID = Orders.ID WHERE Cutsheets.Date < Orders.OrderDate",
            "SELECT COUNT(*) FROM Cutsheets JOIN Employee ON Cutsheets.SSN = Employee.SSN WHERE Cutsheets.Date < Employee.HireDate",
            "SELECT COUNT(*) FROM OrderItem JOIN Orders ON OrderItem.OrderID = Orders.ID JOIN Sets "
            "ON OrderItem.CustomerRefNo = Sets.CustomerRefNo WHERE Sets.Customer <> Orders.Customer "
            "OR substr(Sets.DateAdded, 1, 10) > Orders.OrderDate",
        };
        for (int i = 0; i < checks.size(); ++i)
            QTest::addRow("%d %s", i, qPrintable(checks[i].section(u' ', 3, 6))) << checks[i];
    }
    void referencesResolve()
    {
        QFETCH(QString, sql);
        for (const auto &[name, d] : m_dbs)
            QCOMPARE(count(*d, sql), 0);
    }

    void everyTableAndValueSetIsUsed_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("values");
        QTest::newRow("order status")
            << "SELECT DISTINCT Status FROM Orders ORDER BY Status" << QStringList{"Closed", "Open", "Void"};
        QTest::newRow("set type") << "SELECT DISTINCT Type FROM Sets ORDER BY Type"
                                  << QStringList{"Hide", "Kit", "Set", "Vinyl"};
        QTest::newRow("material type")
            << "SELECT DISTINCT Type FROM Material ORDER BY Type" << QStringList{"Kit", "Leather", "Vinyl"};
        QTest::newRow("invoice type") << "SELECT DISTINCT Type FROM Invoice ORDER BY Type"
                                      << QStringList{"Auto Invoice", "Manual Invoice"};
        QTest::newRow("pending status") << "SELECT DISTINCT Status FROM PendingPOItems ORDER BY Status"
                                        << QStringList{"Closed", "Delete", "Open"};
        QTest::newRow("customer status")
            << "SELECT DISTINCT Status FROM Customer ORDER BY Status" << QStringList{"Active", "InActive"};
        QTest::newRow("employee status")
            << "SELECT DISTINCT Status FROM Employee ORDER BY Status" << QStringList{"Active", "InActive"};
        QTest::newRow("adjustment sign")
            << "SELECT DISTINCT Adjustment > 0 FROM AdjustmentItem ORDER BY 1" << QStringList{"0", "1"};
    }
    void everyTableAndValueSetIsUsed()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, values);
        for (const auto &[name, d] : m_dbs) {
            QStringList got;
            for (const Row &r : d->query(sql))
                got << r.value(0).toString();
            QCOMPARE(got, values);
        }
        for (const schema::Table &t : schema::tables()) {
            const QString table = QLatin1String(t.name);
            if (table.startsWith(QLatin1String("tmp")) || table == QLatin1String("CutsheetsTEMP"))
                continue;
            QVERIFY2(count(db(QStringLiteral("size1")),
                           QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table)) > 0,
                     qPrintable(table));
        }
    }

    void productionNeverRunsAhead_data() { addDatabaseColumn(); }
    void productionNeverRunsAhead()
    {
        QFETCH(QString, name);
        Database &d = db(name);
        // Per line: ordered, cut by employees, kit consumption, shipped, kit or not, order status.
        const RowSet lines = d.query(QStringLiteral(
            "SELECT OrderItem.OrderID, OrderItem.ItemNumber, OrderItem.Qty, Sets.Type, Orders.Status, "
            "(SELECT SUM(Sets) FROM Cutsheets c WHERE c.OrderID = OrderItem.OrderID AND c.Item = "
            "OrderItem.ItemNumber "
            " AND c.SSN NOT LIKE 'SHIPMENT %') AS Cut, "
            "(SELECT SUM(Sets) FROM Cutsheets c WHERE c.OrderID = OrderItem.OrderID AND c.Item = "
            "OrderItem.ItemNumber "
            " AND c.SSN LIKE 'SHIPMENT %') AS KitUsed, "
            "(SELECT SUM(Qty) FROM ShipmentItems s WHERE s.OrderID = OrderItem.OrderID AND s.LineItem = "
            "OrderItem.ItemNumber) AS Shipped "
            "FROM OrderItem JOIN Orders ON OrderItem.OrderID = Orders.ID "
            "LEFT JOIN Sets ON OrderItem.CustomerRefNo = Sets.CustomerRefNo"));
        QVERIFY(lines.size() > 100);
        std::map<qint64, bool> complete;
        std::map<qint64, QString> status;
        int kits = 0;
        for (const Row &r : lines) {
            const QString where =
                QStringLiteral("order %1 line %2").arg(r.integer("OrderID")).arg(r.integer("ItemNumber"));
            const bool kit = r.text("Type") == QLatin1String("Kit");
            const qint64 ordered = r.integer("Qty"), cut = r.integer("Cut"), shipped = r.integer("Shipped");
            QVERIFY2(ordered > 0 && cut <= ordered && shipped <= ordered, qPrintable(where));
            if (kit) {
                ++kits;
                QVERIFY2(cut == 0, qPrintable(where)); // kits are never cut by a cutter
                QVERIFY2(r.integer("KitUsed") == shipped, qPrintable(where));
            } else {
                QVERIFY2(shipped <= cut, qPrintable(where));
                QVERIFY2(r.isNull("KitUsed"), qPrintable(where));
            }
            if (r.text("Status") == QLatin1String("Void"))
                QVERIFY2(cut == 0 && shipped == 0, qPrintable(where));
            const qint64 id = r.integer("OrderID");
            complete.try_emplace(id, true);
            complete[id] = complete[id] && shipped == ordered;
            status[id] = r.text("Status");
        }
        QVERIFY(kits > 0);
        int open = 0, closed = 0;
        for (const auto &[id, full] : complete) {
            if (status[id] == QLatin1String("Void"))
                continue;
            QCOMPARE(status[id], full ? QStringLiteral("Closed") : QStringLiteral("Open"));
            ++(full ? closed : open);
        }
        QVERIFY(open > 0 && closed > open);
        QCOMPARE(count(d, QStringLiteral(
                              "SELECT COUNT(*) FROM Orders WHERE ID NOT IN (SELECT OrderID FROM OrderItem)")),
                 0);
        QCOMPARE(count(d, QStringLiteral("SELECT COUNT(*) FROM Cutsheets WHERE Date > ?"), {isoDate(kToday)}),
                 0);
    }

    void kitRowsNameTheirShipment_data() { addDatabaseColumn(); }
    void kitRowsNameTheirShipment()
    {
        QFETCH(QString, name);
        // Each kit row is "SHIPMENT <id>" of a shipment that carries that line on that day, Feet = Sets.
        const RowSet rows = db(name).query(
            QStringLiteral("SELECT c.SSN, c.Feet, c.Sets, (SELECT COUNT(*) FROM ShipmentItems s JOIN "
                           "Shipment h ON s.ShipmentID = h.ID "
                           " WHERE 'SHIPMENT ' || h.ID = c.SSN AND h.Date = c.Date AND s.OrderID = c.OrderID "
                           "AND s.LineItem = c.Item "
                           " AND s.Qty = c.Sets) AS Matches FROM Cutsheets c WHERE c.SSN LIKE 'SHIPMENT %'"));
        QVERIFY(!rows.isEmpty());
        for (const Row &r : rows) {
            QCOMPARE(r.integer("Matches"), 1);
            QCOMPARE(r.number("Feet"), r.number("Sets"));
        }
    }

    void moneyAddsUp_data() { addDatabaseColumn(); }
    void moneyAddsUp()
    {
        QFETCH(QString, name);
        Database &d = db(name);
        std::map<qint64, Money> orderTotals;
        for (const Row &r :
             d.query(QStringLiteral("SELECT OrderID, Qty, PriceEach, PriceExt FROM OrderItem"))) {
            QCOMPARE(r.money("PriceExt"), r.money("PriceEach").times(double(r.integer("Qty"))));
            orderTotals[r.integer("OrderID")] += r.money("PriceExt");
        }
        for (const Row &r : d.query(QStringLiteral("SELECT ID, Total FROM Orders")))
            QCOMPARE(r.money("Total"), orderTotals[r.integer("ID")]);

        for (const Row &r : d.query(QStringLiteral("SELECT * FROM Sets")))
            QCOMPARE(r.money("TotalPrice"), r.money("CuttingPrice") + r.money("SewingPrice") +
                                                r.money("VinylPrice") + r.money("LeatherPrice") +
                                                r.money("KitPrice"));

        // An automatic invoice is its shipment's lines at the order prices, rounded half-to-even.
        std::map<qint64, Money> shipped;
        for (const Row &r : d.query(QStringLiteral(
                 "SELECT ShipmentItems.ShipmentID, ShipmentItems.Qty, OrderItem.PriceEach FROM ShipmentItems "
                 "JOIN OrderItem ON ShipmentItems.OrderID = OrderItem.OrderID AND ShipmentItems.LineItem = "
                 "OrderItem.ItemNumber")))
            shipped[r.integer("ShipmentID")] += r.money("PriceEach").times(double(r.integer("Qty")));
        int autos = 0;
        for (const Row &r :
             d.query(QStringLiteral("SELECT Invoice.*, Customer.Terms AS CT, Customer.Days FROM Invoice JOIN "
                                    "Customer ON Invoice.Customer = Customer.Name"))) {
            QCOMPARE(r.text("Terms"), r.text("CT"));
            QCOMPARE(r.date("DueDate"), r.date("InvoiceDate").addDays(r.integer("Days")));
            QVERIFY(r.money("Total") > Money());
            QCOMPARE(r.money("Total"), r.money("Total").rounded(2));
            if (r.isNull("Shipment"))
                continue;
            ++autos;
            QCOMPARE(r.money("Total"), shipped[r.integer("Shipment")].rounded(2));
        }
        QCOMPARE(autos, int(shipped.size()));

        // Payments never exceed what was invoiced; some invoices are paid in full, some in part.
        std::map<qint64, Money> paid;
        for (const Row &r : d.query(QStringLiteral("SELECT Invoice, Amount FROM Payments"))) {
            QVERIFY(r.money("Amount") > Money());
            paid[r.integer("Invoice")] += r.money("Amount");
        }
        int full = 0, partial = 0;
        for (const Row &r : d.query(QStringLiteral("SELECT Invoice, Total FROM Invoice"))) {
            const auto it = paid.find(r.integer("Invoice"));
            if (it == paid.end())
                continue;
            QVERIFY(it->second <= r.money("Total"));
            ++(it->second == r.money("Total") ? full : partial);
        }
        QVERIFY(full > 0);
        QVERIFY(
            count(d,
                  QStringLiteral(
                      "SELECT COUNT(*) FROM Invoice WHERE Invoice NOT IN (SELECT Invoice FROM Payments)")) >
            0);
        if (name == QLatin1String("size2"))
            QVERIFY(partial > 0);

        for (const Row &r : d.query(QStringLiteral("SELECT * FROM AdjustmentItem")))
            QCOMPARE(r.money("PriceExt"), r.money("PriceEach").times(r.number("Adjustment")));
        for (const Row &r : d.query(QStringLiteral("SELECT * FROM PurchaseOrder")))
            QCOMPARE(
                r.money("Total"),
                Money::fromDouble(
                    d.scalar(QStringLiteral("SELECT SUM(PriceExt) FROM PurchaseOrderItem WHERE POID = ?"),
                             {r.integer("ID")})
                        .toDouble()));
    }

    void stockNeverGoesNegative_data() { addDatabaseColumn(); }
    void stockNeverGoesNegative()
    {
        QFETCH(QString, name);
        // Stock as the inventory windows derive it: adjustments in, cut feet out; a day's
        // receipts count before that day's cutting.
        const RowSet moves = db(name).query(QStringLiteral(
            "SELECT AdjustmentItem.MaterialID AS M, Adjustment.Date AS D, 0 AS Kind, "
            "AdjustmentItem.Adjustment AS Q "
            "FROM AdjustmentItem JOIN Adjustment ON AdjustmentItem.AdjustmentID = Adjustment.ID "
            "UNION ALL SELECT OrderItem.MaterialID, Cutsheets.Date, 1, -Cutsheets.Feet FROM Cutsheets JOIN "
            "OrderItem "
            "ON Cutsheets.OrderID = OrderItem.OrderID AND Cutsheets.Item = OrderItem.ItemNumber "
            "WHERE Cutsheets.Feet IS NOT NULL ORDER BY 1, 2, 3"));
        QVERIFY(moves.size() > 100);
        std::map<QString, double> stock;
        for (const Row &r : moves) {
            double &s = stock[r.text("M")];
            s += r.number("Q");
            QVERIFY2(s >= -1e-9,
                     qPrintable(QStringLiteral("%1 on %2: %3").arg(r.text("M"), r.text("D")).arg(s)));
        }
    }

    void autoNumbersFollowTheCalendar_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("date");
        QTest::newRow("orders") << "Orders"
                                << "ID"
                                << "OrderDate";
        QTest::newRow("cut sheets") << "Cutsheets"
                                    << "ID"
                                    << "Date";
        QTest::newRow("shipments") << "Shipment"
                                   << "ID"
                                   << "Date";
        QTest::newRow("invoices") << "Invoice"
                                  << "Invoice"
                                  << "InvoiceDate";
        QTest::newRow("payments") << "Payments"
                                  << "ID"
                                  << "Date";
        QTest::newRow("adjustments") << "Adjustment"
                                     << "ID"
                                     << "Date";
        QTest::newRow("purchase orders") << "PurchaseOrder"
                                         << "ID"
                                         << "PODate";
        QTest::newRow("import runs") << "ImportXLSLog"
                                     << "ID"
                                     << "LogDate";
    }
    void autoNumbersFollowTheCalendar()
    {
        QFETCH(QString, table);
        QFETCH(QString, key);
        QFETCH(QString, date);
        for (const auto &[name, d] : m_dbs) {
            const RowSet rows =
                d->query(QStringLiteral("SELECT \"%1\" AS K, \"%2\" AS D FROM \"%3\" ORDER BY \"%1\"")
                             .arg(key, date, table));
            QVERIFY(!rows.isEmpty());
            qint64 lastKey = 0;
            QDate lastDate;
            for (const Row &r : rows) {
                QVERIFY(r.integer("K") > lastKey);
                QVERIFY2(r.date("D").isValid() && r.date("D") <= kToday, qPrintable(r.text("D")));
                QVERIFY2(!lastDate.isValid() || r.date("D") >= lastDate,
                         qPrintable(QString::number(r.integer("K"))));
                lastKey = r.integer("K");
                lastDate = r.date("D");
            }
        }
    }

    void sameSeedSameData()
    {
        const auto again = makeDemo(m_dir.filePath(QStringLiteral("again.db")), 1, 20101);
        QCOMPARE(dump(*again), dump(db(QStringLiteral("size1"))));
        const auto other = makeDemo(m_dir.filePath(QStringLiteral("other.db")), 1, 20102);
        QVERIFY(dump(*other) != dump(db(QStringLiteral("size1"))));
    }

    void sizeScalesTheHistory()
    {
        const qint64 one = totalRows(db(QStringLiteral("size1")));
        const qint64 two = totalRows(db(QStringLiteral("size2")));
        QVERIFY2(two > one * 3 / 2, qPrintable(QStringLiteral("%1 vs %2").arg(two).arg(one)));
        Database &d = db(QStringLiteral("size1"));
        QVERIFY(count(d, QStringLiteral("SELECT COUNT(*) FROM Orders")) >= 80);
        QCOMPARE(count(d, QStringLiteral("SELECT COUNT(*) FROM Customer")), 8);
        QCOMPARE(count(d, QStringLiteral("SELECT COUNT(*) FROM Sets")), 40);
        QCOMPARE(d.scalar(QStringLiteral("SELECT MAX(OrderDate) FROM Orders")).toString(), isoDate(kToday));
    }

    void refusesADatabaseThatHoldsData()
    {
        Database &d = db(QStringLiteral("size1"));
        const qint64 before = totalRows(d);
        DemoOptions options;
        options.today = kToday;
        QVERIFY_THROWS_EXCEPTION(DbError, fillDemoData(d, options));
        QCOMPARE(totalRows(d), before);
    }

    void mkdbKeepsAnExistingFile()
    {
        const QString bin = qEnvironmentVariable("CORVANE_BIN");
        if (bin.isEmpty())
            QSKIP("CORVANE_BIN not set");
        const QString path = m_dir.filePath(QStringLiteral("existing.db"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("precious");
        }
        QProcess mkdb;
        mkdb.start(QDir(bin).filePath(QStringLiteral("corvane-mkdb")), {QStringLiteral("--demo"), path});
        QVERIFY(mkdb.waitForFinished(60000));
        QCOMPARE(mkdb.exitCode(), 1);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("precious"));

        // A good run leaves a database that opens with the program's key and holds the demo.
        const QString fresh = m_dir.filePath(QStringLiteral("fresh.db"));
        mkdb.start(
            QDir(bin).filePath(QStringLiteral("corvane-mkdb")),
            {QStringLiteral("--demo"), QStringLiteral("--today"), QStringLiteral("2010-05-14"), fresh});
        QVERIFY(mkdb.waitForFinished(60000));
        QCOMPARE(mkdb.exitCode(), 0);
        auto opened = Database::open(fresh, schema::password());
        QCOMPARE(dump(*opened), dump(db(QStringLiteral("size1"))));
    }

    // A run killed part-way leaves no file under the target's name; the next run clears what the
    // killed one left and makes the whole database.
    void mkdbKilledPartWayLeavesNoDatabase()
    {
        const QString bin = qEnvironmentVariable("CORVANE_BIN");
        if (bin.isEmpty())
            QSKIP("CORVANE_BIN not set");
        const QString mkdb = QDir(bin).filePath(QStringLiteral("corvane-mkdb"));
        const QStringList args{QStringLiteral("--size"), QStringLiteral("8"), QStringLiteral("--today"),
                               QStringLiteral("2010-05-14")};
        int killed = 0;
        for (int delay : {5, 40, 120, 250, 400}) {
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("shop.db"));
            QProcess run;
            run.start(mkdb, args + QStringList{path});
            QVERIFY(run.waitForStarted());
            QTest::qWait(delay);
            if (run.state() == QProcess::Running) {
                ::kill(pid_t(run.processId()), SIGKILL);
                ++killed;
            }
            if (run.state() != QProcess::NotRunning)
                QVERIFY(run.waitForFinished(60000));
            const bool completed = run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0;
            // A kill between putting the whole file in place and exiting leaves that whole file.
            const bool inPlace = QFileInfo::exists(path);
            if (completed)
                QVERIFY(inPlace);
            QProcess again;
            again.start(mkdb, args + QStringList{path});
            QVERIFY(again.waitForFinished(60000));
            QCOMPARE(again.exitCode(), inPlace ? 1 : 0);
            auto opened = Database::open(path, schema::password());
            QVERIFY(count(*opened, QStringLiteral("SELECT COUNT(*) FROM Orders")) > 500);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("shop.db")});
        }
        QVERIFY2(killed >= 3, qPrintable(QString::number(killed)));
    }
};

QTEST_GUILESS_MAIN(TestDemoData)
#include "tst_demodata.moc"
