#include "TestSupport.h"
#include "shipping/ShipmentData.h"

#include <QTest>

#include <optional>

using namespace shipping;

// The shipment rules without a window: what is available, what a save writes and undoes.
class TestShipmentData : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> t;
    qint64 order = 0;
    const QString cove = QStringLiteral("Cove's \"Trim\" Shop");

    Database &db() { return t->db(); }
    QString status(qint64 id)
    {
        return db().scalar(QStringLiteral("SELECT Status FROM Orders WHERE ID = ?"), {id}).toString();
    }
    int count(const QString &sql) { return db().scalar(sql).toInt(); }
    void cut(qint64 orderId, int item, int sets)
    {
        db().insert(QStringLiteral("Cutsheets"), {{"SSN", QStringLiteral("111")},
                                                  {"Date", QDate(2010, 5, 10)},
                                                  {"OrderID", orderId},
                                                  {"Item", item},
                                                  {"Sets", sets}});
    }
    ShipmentLine line(qint64 orderId, int item, int qty, const QString &box = QStringLiteral("1"))
    {
        return {cove,
                QStringLiteral("PO-1"),
                QString::number(item) + QStringLiteral(" - R"),
                5,
                qty,
                box,
                orderId,
                item};
    }
    // Every row a shipment save touches, as one text.
    QString snapshot()
    {
        QStringList rows;
        for (const Row &r :
             db().query(QStringLiteral("SELECT 'S' || ID || Date AS x FROM Shipment UNION ALL "
                                       "SELECT 'I' || ShipmentID || Item || Qty FROM ShipmentItems UNION ALL "
                                       "SELECT 'C' || ID || SSN FROM Cutsheets UNION ALL "
                                       "SELECT 'V' || Invoice || Total || InvoiceDate FROM Invoice UNION ALL "
                                       "SELECT 'O' || ID || Status FROM Orders ORDER BY 1")))
            rows << r.text(QStringLiteral("x"));
        return rows.join(u';');
    }
    Saved save(const QString &id, const std::vector<ShipmentLine> &lines)
    {
        return saveShipment({id, QDate(2010, 5, 14), cove, lines, {}});
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        t->addCustomer(cove, 30, QStringLiteral("Net 30"));
        t->addSet(QStringLiteral("S1"), cove, 100);
        t->addSet(QStringLiteral("K1"), cove, 40, QStringLiteral("Kit"));
        order = t->addOrder(cove, QStringLiteral("PO-1"));
        t->addOrderLine(order, 1, 5, QStringLiteral("S1"), 100);
        t->addOrderLine(order, 2, 3, QStringLiteral("K1"), 40.125);
        cut(order, 1, 4);
    }
    void cleanup() { t.reset(); }

    void availabilityCountsKitsGridAndOtherShipments()
    {
        Availability a = availability(order, 2, std::nullopt, {});
        QVERIFY(a.kit);
        QCOMPARE(a.cut, 3); // a kit needs no cut sheet
        QCOMPARE(a.available(), 3);
        a = availability(order, 1, std::nullopt, {line(order, 1, 1), line(order, 1, 2)});
        QCOMPARE(a.cut, 4);
        QCOMPARE(a.shipped, 3);
        QCOMPARE(a.available(), 1);
        // A loaded shipment counts the other shipments from the database, its own from the grid.
        const qint64 other = t->addShipment(cove, QDate(2010, 5, 1));
        t->addShipmentLine(other, 1, order, 1, 1);
        const qint64 loaded = t->addShipment(cove, QDate(2010, 5, 2));
        t->addShipmentLine(loaded, 1, order, 1, 2);
        a = availability(order, 1, loaded, {line(order, 1, 2)});
        QCOMPARE(a.shipped, 3);
        QCOMPARE(availability(order, 1, std::nullopt, {}).shipped, 3);
        // A line without a catalogue set is not a kit; an unknown line has nothing.
        t->addOrderLine(order, 3, 2, QStringLiteral("NOPE"), 5);
        QVERIFY(!availability(order, 3, std::nullopt, {}).kit);
        QCOMPARE(availability(order, 9, std::nullopt, {}).ordered, 0);
    }

    void addRefusals_data()
    {
        QTest::addColumn<QString>("ship");
        QTest::addColumn<QString>("available");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("more than available") << "4"
                                             << "3"
                                             << "1 - S1"
                                             << "There are only 3 sets available for shipping."
                                             << "txtShip";
        QTest::newRow("exactly available") << "3"
                                           << "3"
                                           << "1 - S1"
                                           << ""
                                           << "";
        QTest::newRow("empty") << ""
                               << "3"
                               << "1 - S1"
                               << "You must select a Customer, Order, Line Item, and Qty to ship."
                               << "cmbCustomer";
        QTest::newRow("no line") << "1"
                                 << "3"
                                 << ""
                                 << "You must select a Customer, Order, Line Item, and Qty to ship."
                                 << "cmbCustomer";
        const QString whole = QStringLiteral("This Shipment must be a whole number of sets greater than 0.");
        QTest::newRow("zero") << "0"
                              << "3"
                              << "1 - S1" << whole << "txtShip";
        QTest::newRow("negative") << "-2"
                                  << "3"
                                  << "1 - S1" << whole << "txtShip";
        QTest::newRow("fraction") << "1.5"
                                  << "3"
                                  << "1 - S1" << whole << "txtShip";
        QTest::newRow("text") << "2x"
                              << "3"
                              << "1 - S1" << whole << "txtShip";
    }
    void addRefusals()
    {
        QFETCH(QString, ship);
        QFETCH(QString, available);
        QFETCH(QString, item);
        QFETCH(QString, text);
        QFETCH(QString, field);
        const std::optional<Refusal> r = refuseAdd(cove, QStringLiteral("PO-1"), item, ship, available);
        QCOMPARE(r ? r->text : QString(), text);
        QCOMPARE(r ? r->field : QString(), field);
    }

    // A new shipment: lines, kit consumption, the order closed, the invoice from the same rows.
    void saveWritesEverythingOnce()
    {
        cut(order, 1, 1);
        const Saved s = save(QString(), {line(order, 1, 5), line(order, 2, 3, QStringLiteral("2"))});
        QVERIFY(!s.refusal);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM ShipmentItems WHERE ShipmentID = %1").arg(s.id)),
                 2);
        const RowSet kit = db().query(
            QStringLiteral("SELECT SSN, Sets, Feet, Item FROM Cutsheets WHERE SSN LIKE 'SHIPMENT%'"));
        QCOMPARE(kit.size(), 1);
        QCOMPARE(kit[0].text("SSN"), QStringLiteral("SHIPMENT %1").arg(s.id));
        QCOMPARE(kit[0].integer("Sets"), 3);
        QCOMPARE(kit[0].number("Feet"), 3.0);
        QCOMPARE(status(order), QStringLiteral("Closed"));
        const RowSet inv = db().query(QStringLiteral("SELECT * FROM Invoice"));
        QCOMPARE(inv.size(), 1);
        QCOMPARE(inv[0].integer("Invoice"), s.invoice);
        QCOMPARE(inv[0].money("Total"), Money::fromUnits(6203800)); // 500 + 3 x 40.125 = 620.375 -> 620.38
        QCOMPARE(inv[0].text("Type"), QStringLiteral("Auto Invoice"));
        QCOMPARE(inv[0].date("DueDate"), QDate(2010, 6, 13));
        QCOMPARE(s.dueDate, QStringLiteral("6/13/2010"));
        QCOMPARE(s.terms, QStringLiteral("Net 30"));
    }

    void closingNeedsExactlyTheOrderedSets_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<QString>("status");
        QTest::newRow("exact") << 4 << "Closed";
        QTest::newRow("one short") << 3 << "Open";
    }
    void closingNeedsExactlyTheOrderedSets()
    {
        QFETCH(int, first);
        QFETCH(QString, status);
        cut(order, 1, 1);
        const qint64 earlier = t->addShipment(cove, QDate(2010, 5, 1));
        t->addShipmentLine(earlier, 1, order, 1, 1);
        QVERIFY(!save(QString(), {line(order, 1, first), line(order, 2, 3)}).refusal);
        QCOMPARE(this->status(order), status);
    }

    // Re-saving replaces lines and kit rows and rewrites the one invoice; a shipment that now
    // ships less opens the order it had closed.
    void resaveReplacesAndReopens()
    {
        cut(order, 1, 1);
        const Saved first = save(QString(), {line(order, 1, 5), line(order, 2, 3)});
        QCOMPARE(status(order), QStringLiteral("Closed"));
        const Saved again = save(QString::number(first.id), {line(order, 1, 4), line(order, 2, 3)});
        QVERIFY(!again.refusal);
        QCOMPARE(again.id, first.id);
        QCOMPARE(again.invoice, first.invoice);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM ShipmentItems")), 2);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM Cutsheets WHERE SSN LIKE 'SHIPMENT%'")), 1);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM Invoice")), 1);
        QCOMPARE(db().scalar(QStringLiteral("SELECT Total FROM Invoice")).toDouble(), 520.38);
        QCOMPARE(status(order), QStringLiteral("Open"));
        // Shipping the last set closes it again.
        QVERIFY(!save(QString::number(first.id), {line(order, 1, 5), line(order, 2, 3)}).refusal);
        QCOMPARE(status(order), QStringLiteral("Closed"));
    }

    // A re-save may lower what was shipped only as far as what was paid on its invoice.
    void resaveKeepsTheInvoiceCoveringItsPayments_data()
    {
        QTest::addColumn<int>("sets");
        QTest::addColumn<bool>("refused");
        // First save: 5 x 100 + 3 x 40.125 = 620.38; 520.38 is paid.
        QTest::newRow("below what was paid") << 3 << true;   // 420.38
        QTest::newRow("exactly what was paid") << 4 << false; // 520.38
        QTest::newRow("unchanged") << 5 << false;
    }
    void resaveKeepsTheInvoiceCoveringItsPayments()
    {
        QFETCH(int, sets);
        QFETCH(bool, refused);
        cut(order, 1, 1);
        const Saved first = save(QString(), {line(order, 1, 5), line(order, 2, 3)});
        QVERIFY(!first.refusal);
        db().insert(QStringLiteral("Payments"), {{"Invoice", first.invoice},
                                                 {"Date", QDate(2010, 5, 20)},
                                                 {"Amount", QVariant::fromValue(Money::fromUnits(5203800))}});
        const QString before = snapshot();
        const Saved again = save(QString::number(first.id), {line(order, 1, sets), line(order, 2, 3)});
        QCOMPARE(bool(again.refusal), refused);
        if (refused) {
            QVERIFY(again.refusal->text.contains(QStringLiteral("$520.38 paid")));
            QCOMPARE(snapshot(), before);
        }
    }

    void resaveLeavesHandClosedAndVoidOrders_data()
    {
        QTest::addColumn<QString>("status");
        QTest::newRow("closed by hand") << "Closed";
        QTest::newRow("void") << "Void";
    }
    void resaveLeavesHandClosedAndVoidOrders()
    {
        QFETCH(QString, status);
        const qint64 s = t->addShipment(cove, QDate(2010, 5, 1));
        t->addShipmentLine(s, 1, order, 1, 2);
        db().exec(QStringLiteral("UPDATE Orders SET Status = ?"), {status});
        QVERIFY(!save(QString::number(s), {line(order, 1, 1)}).refusal);
        QCOMPARE(this->status(order), status);
    }

    void bigOrderIds()
    {
        db().exec(QStringLiteral("UPDATE Orders SET ID = 70000"));
        db().exec(QStringLiteral("UPDATE OrderItem SET OrderID = 70000"));
        db().exec(QStringLiteral("UPDATE Cutsheets SET OrderID = 70000"));
        cut(70000, 1, 1);
        QCOMPARE(openOrders(cove).front().id, 70000);
        QCOMPARE(orderLines(70000).size(), size_t(2));
        QVERIFY(!save(QString(), {line(70000, 1, 5), line(70000, 2, 3)}).refusal);
        QCOMPARE(status(70000), QStringLiteral("Closed"));
    }

    // A failure at any row leaves the database as it was.
    void failedSaveLeavesNothing_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("stored");
        for (const char *table : {"ShipmentItems", "Cutsheets", "Invoice"}) {
            QTest::newRow(qPrintable(QStringLiteral("new, %1").arg(table))) << table << false;
            QTest::newRow(qPrintable(QStringLiteral("stored, %1").arg(table))) << table << true;
        }
        QTest::newRow("order closing") << "Orders" << false;
    }
    void failedSaveLeavesNothing()
    {
        QFETCH(QString, table);
        QFETCH(bool, stored);
        cut(order, 1, 1);
        QString id;
        if (stored)
            id = QString::number(save(QString(), {line(order, 1, 2)}).id);
        const QString before = snapshot();
        const QString when =
            table == QLatin1String("Orders") ? QStringLiteral("UPDATE") : QStringLiteral("INSERT");
        RefusedWrites refused(db(), table, when);
        std::optional<RefusedWrites> refusedUpdate;
        if (stored)
            refusedUpdate.emplace(db(), table, QStringLiteral("UPDATE"));
        bool failed = false;
        try {
            saveShipment({id, QDate(2010, 5, 20), cove, {line(order, 1, 5), line(order, 2, 3)}, {}});
        } catch (const DbError &e) {
            failed = e.message().contains(QStringLiteral("refused"));
        }
        QVERIFY(failed);
        refused.lift();
        refusedUpdate.reset();
        QCOMPARE(snapshot(), before);
    }

    void loadAndRefusals()
    {
        const Loaded none = loadShipment(QStringLiteral("42"));
        QCOMPARE(none.refusal->text,
                 QStringLiteral("Shipment ID 42 is not a valid shipment. Please Re-enter."));
        QCOMPARE(none.refusal->title, QStringLiteral("Invalid Shipment ID"));
        QVERIFY(loadShipment(QStringLiteral("x'1")).refusal);
        const Saved s = save(QString(), {line(order, 1, 2, QStringLiteral("B")), line(order, 2, 1)});
        const Loaded l = loadShipment(QString::number(s.id));
        QVERIFY(!l.refusal);
        QCOMPARE(l.customer, cove);
        QCOMPARE(l.date, QDate(2010, 5, 14));
        QCOMPARE(l.lines.size(), size_t(2));
        QCOMPARE(l.lines[0].box, QStringLiteral("B"));
        QCOMPARE(l.lines[0].qty, 2);
        QCOMPARE(l.lines[1].lineItem, 2);
        QCOMPARE(save(QString(), {}).refusal->text, QStringLiteral("No Items to save."));
        QCOMPARE(save(QStringLiteral("999"), {line(order, 1, 1)}).refusal->title,
                 QStringLiteral("Invalid Shipment ID"));
    }
};

QTEST_GUILESS_MAIN(TestShipmentData)
#include "tst_shipmentdata.moc"
