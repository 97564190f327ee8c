#include "WindowDriver.h"
#include "core/ReportJob.h"
#include "shipping/Shipment.h"
#include "shipping/ShipmentData.h"
#include "ui/Grid.h"

#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>

// The shipment window driven through its controls.
class TestShipment : public QObject
{
    Q_OBJECT
    drive::Session<Shipment> s{QStringLiteral("Shipping"), QStringLiteral("Shipment"), QStringLiteral("ID")};
    CapturedReports reports;
    qint64 order = 0;
    qint64 other = 0;
    const QString cove = QStringLiteral("Cove's Trim");

    int count(const QString &sql) { return s.db().scalar(sql).toInt(); }
    QString status(qint64 id)
    {
        return s.db().scalar(QStringLiteral("SELECT Status FROM Orders WHERE ID = ?"), {id}).toString();
    }
    void pick(QComboBox *list, const QString &text)
    {
        const int i = list->findText(text);
        QVERIFY2(i >= 0, qPrintable(text));
        list->setCurrentIndex(i);
        QApplication::processEvents();
    }
    void choose(Shipment *w, const QString &customer, const QString &orderNumber, const QString &line)
    {
        if (w->cmbCustomer->currentText() != customer)
            pick(w->cmbCustomer, customer);
        if (w->cmbOrders->currentText() != orderNumber)
            pick(w->cmbOrders, orderNumber);
        pick(w->cmbItems, line);
    }
    void add(Shipment *w, const QString &line, const QString &qty, const QString &box = QStringLiteral("1"))
    {
        choose(w, cove, QStringLiteral("PO-1"), line);
        drive::type(w->txtShip, qty);
        drive::type(w->txtBox, box);
        drive::click(w->btnAdd);
    }
    QStringList invoiceNumbers()
    {
        QStringList out;
        for (const ReportJob &j : reports.prints) {
            if (j.design == QLatin1String("crptInvoice"))
                out << j.slot(QStringLiteral("InvoiceNumber"));
        }
        return out;
    }

private Q_SLOTS:
    void init()
    {
        TestDatabase &t = s.start();
        t.addCustomer(cove);
        t.addCustomer(QStringLiteral("Dune"));
        t.addSet(QStringLiteral("S1"), cove, 100);
        t.addSet(QStringLiteral("K1"), cove, 40, QStringLiteral("Kit"));
        order = t.addOrder(cove, QStringLiteral("PO-1"));
        t.addOrderLine(order, 1, 5, QStringLiteral("S1"), 100);
        t.addOrderLine(order, 2, 3, QStringLiteral("K1"), 40);
        t.addOrderLine(order, 3, 2, QStringLiteral("NOSET"), 10);
        other = t.addOrder(QStringLiteral("Dune"), QStringLiteral("D-9"));
        t.addOrderLine(other, 1, 1, QStringLiteral("S1"), 100);
        t.db().insert(QStringLiteral("Cutsheets"), {{"SSN", QStringLiteral("111")},
                                                    {"Date", QDate(2010, 5, 10)},
                                                    {"OrderID", order},
                                                    {"Item", 1},
                                                    {"Sets", 4}});
        reports = CapturedReports();
        setReportOutput(&reports);
        MessageBox::clearShown();
    }
    void cleanup()
    {
        s.finish();
        setReportOutput(nullptr);
    }

    void opensEmpty()
    {
        Shipment *w = s.open();
        QCOMPARE(w->windowTitle(), QStringLiteral("Shipment Selection"));
        QCOMPARE(w->dtDate->date(), QDate(2010, 5, 14));
        QCOMPARE(w->cmbCustomer->count(), 2);
        QCOMPARE(w->vsfgShipment->headers(),
                 QStringList({"Customer", "Order Number", "Item", "Qty Ordered", "Qty Shipped", "Box No.",
                              "Order ID", "Line Item"}));
        QVERIFY(w->vsfgShipment->isColumnHidden(6));
        QVERIFY(w->vsfgShipment->isColumnHidden(7));
        QVERIFY(!w->vsfgShipment->isColumnHidden(5));
        pick(w->cmbCustomer, cove);
        QCOMPARE(w->cmbOrders->count(), 1);
        QCOMPARE(w->cmbOrderID->itemText(0), QString::number(order));
        pick(w->cmbOrders, QStringLiteral("PO-1"));
        QCOMPARE(w->cmbItems->itemText(1), QStringLiteral("2 - K1"));
        QCOMPARE(w->cmbItemID->itemText(1), QStringLiteral("2"));
    }

    // A kit ships without cut sheets; saving consumes it, closes nothing early, prints both.
    void kitWithoutCutSheets()
    {
        Shipment *w = s.open();
        choose(w, cove, QStringLiteral("PO-1"), QStringLiteral("2 - K1"));
        QCOMPARE(w->txtOrdered->text(), QStringLiteral("3"));
        QCOMPARE(w->txtCut->text(), QStringLiteral("3"));
        QCOMPARE(w->txtAvailable->text(), QStringLiteral("3"));
        drive::type(w->txtShip, QStringLiteral("3"));
        drive::click(w->btnAdd);
        QCOMPARE(w->vsfgShipment->rowTexts(0),
                 QStringList({cove, "PO-1", "2 - K1", "3", "3", "", QString::number(order), "2"}));
        QVERIFY(w->txtShip->text().isEmpty());
        QCOMPARE(w->cmbItems->currentIndex(), -1);
        QCOMPARE(w->cmbOrders->currentText(), QStringLiteral("PO-1"));
        QCOMPARE(w->txtTotalSets->text(), QStringLiteral("3"));
        MessageBox::script({MessageBox::Yes, MessageBox::Yes});
        drive::click(w->btnSave);
        QVERIFY(!s.windowOpen());
        QCOMPARE(drive::shownTexts(),
                 QStringList({"Did the Packing Slip Print OK?", "Did the Invoice Print OK?"}));
        const RowSet kit =
            s.db().query(QStringLiteral("SELECT SSN, Sets, Feet FROM Cutsheets WHERE SSN LIKE 'SHIPMENT%'"));
        QCOMPARE(kit.size(), 1);
        QCOMPARE(kit[0].integer("Sets"), 3);
        QCOMPARE(kit[0].number("Feet"), 3.0);
        QCOMPARE(status(order), QStringLiteral("Open"));
        QCOMPARE(reports.prints.size(), 2);
        QCOMPARE(reports.prints[0].design, QStringLiteral("crptPackingSlip"));
        QCOMPARE(invoiceNumbers(),
                 QStringList{s.db().scalar(QStringLiteral("SELECT Invoice FROM Invoice")).toString()});
    }

    void sameLineTwiceAndLineWithoutSet()
    {
        Shipment *w = s.open();
        add(w, QStringLiteral("1 - S1"), QStringLiteral("1"));
        add(w, QStringLiteral("1 - S1"), QStringLiteral("2"));
        choose(w, cove, QStringLiteral("PO-1"), QStringLiteral("1 - S1"));
        QCOMPARE(w->txtShipped->text(), QStringLiteral("3"));
        QCOMPARE(w->txtAvailable->text(), QStringLiteral("1"));
        drive::type(w->txtShip, QStringLiteral("2"));
        drive::click(w->btnAdd);
        QCOMPARE(drive::shownTexts(), QStringList{"There are only 1 sets available for shipping."});
        QVERIFY(w->txtShip->hasFocus());
        QCOMPARE(w->vsfgShipment->rowCount(), 2);
        // Not in the catalogue: not a kit, so nothing cut.
        choose(w, cove, QStringLiteral("PO-1"), QStringLiteral("3 - NOSET"));
        QCOMPARE(w->txtCut->text(), QStringLiteral("0"));
        QCOMPARE(w->txtAvailable->text(), QStringLiteral("0"));
    }

    void thisShipmentRefusals_data()
    {
        QTest::addColumn<QString>("qty");
        QTest::addColumn<QString>("text");
        const QString whole = QStringLiteral("This Shipment must be a whole number of sets greater than 0.");
        QTest::newRow("text") << "two" << whole;
        QTest::newRow("zero") << "0" << whole;
        QTest::newRow("fraction") << "1.5" << whole;
        QTest::newRow("empty") << ""
                               << "You must select a Customer, Order, Line Item, and Qty to ship.";
    }
    void thisShipmentRefusals()
    {
        QFETCH(QString, qty);
        QFETCH(QString, text);
        Shipment *w = s.open();
        add(w, QStringLiteral("1 - S1"), qty);
        QCOMPARE(drive::shownTexts(), QStringList{text});
        QCOMPARE(w->vsfgShipment->rowCount(), 0);
        QCOMPARE(w->txtTotalSets->text(), QStringLiteral("0"));
    }

    void closingExactOrOneShort_data()
    {
        QTest::addColumn<QString>("sets");
        QTest::addColumn<QString>("status");
        QTest::newRow("exact") << "5"
                               << "Closed";
        QTest::newRow("one short") << "4"
                                   << "Open";
    }
    void closingExactOrOneShort()
    {
        QFETCH(QString, sets);
        QFETCH(QString, status);
        s.db().insert(QStringLiteral("Cutsheets"), {{"OrderID", order}, {"Item", 1}, {"Sets", 1}});
        s.db().exec(QStringLiteral("DELETE FROM OrderItem WHERE ItemNumber = 3"));
        Shipment *w = s.open();
        add(w, QStringLiteral("2 - K1"), QStringLiteral("3"));
        add(w, QStringLiteral("1 - S1"), sets);
        MessageBox::script({MessageBox::Yes, MessageBox::Yes});
        drive::click(w->btnSave);
        QCOMPARE(this->status(order), status);
    }

    // Loading twice shows the stored lines once; re-saving keeps the invoice number.
    void resaveLoadedShipment()
    {
        Shipment *w = s.open();
        add(w, QStringLiteral("1 - S1"), QStringLiteral("2"), QStringLiteral("A"));
        add(w, QStringLiteral("2 - K1"), QStringLiteral("1"), QStringLiteral("B"));
        MessageBox::script({MessageBox::Yes, MessageBox::Yes});
        drive::click(w->btnSave);
        const QString id = s.db().scalar(QStringLiteral("SELECT ID FROM Shipment")).toString();
        const QString number = s.db().scalar(QStringLiteral("SELECT Invoice FROM Invoice")).toString();

        w = s.open();
        drive::type(w->txtID, id);
        drive::focus(w->txtShip);
        drive::focus(w->txtID);
        drive::focus(w->txtShip);
        QCOMPARE(w->vsfgShipment->rowCount(), 2);
        QCOMPARE(w->vsfgShipment->rowTexts(0),
                 QStringList({cove, "PO-1", "1 - S1", "5", "2", "A", QString::number(order), "1"}));
        QCOMPARE(w->cmbCustomer->currentText(), cove);
        QVERIFY(!w->cmbCustomer->isEnabled());
        QCOMPARE(w->txtTotalSets->text(), QStringLiteral("3"));
        // Its own stored sets are the grid's: two in the grid, four cut, two available.
        choose(w, cove, QStringLiteral("PO-1"), QStringLiteral("1 - S1"));
        QCOMPARE(w->txtShipped->text(), QStringLiteral("2"));
        QCOMPARE(w->txtAvailable->text(), QStringLiteral("2"));
        drive::type(w->txtShip, QStringLiteral("1"));
        drive::click(w->btnAdd);
        w->dtDate->setDate(QDate(2010, 5, 20));
        reports = CapturedReports();
        MessageBox::script({MessageBox::Yes, MessageBox::Yes});
        drive::click(w->btnSave);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM ShipmentItems")), 3);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM Cutsheets WHERE SSN LIKE 'SHIPMENT%'")), 1);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM Invoice")), 1);
        QCOMPARE(invoiceNumbers(), QStringList{number});
        const RowSet inv = s.db().query(QStringLiteral("SELECT * FROM Invoice"));
        QCOMPARE(inv[0].text("Type"), QStringLiteral("Auto Invoice"));
        QCOMPARE(inv[0].date("InvoiceDate"), QDate(2010, 5, 20));
        QCOMPARE(inv[0].number("Total"), 340.0);
    }

    void unknownShipmentId()
    {
        Shipment *w = s.open();
        drive::type(w->txtID, QStringLiteral("77"));
        drive::focus(w->txtShip);
        QCOMPARE(drive::shownTexts(),
                 QStringList{"Shipment ID 77 is not a valid shipment. Please Re-enter."});
        QVERIFY(w->txtID->hasFocus());
    }

    void noToTheInvoiceReprintsSameNumber()
    {
        Shipment *w = s.open();
        add(w, QStringLiteral("1 - S1"), QStringLiteral("1"));
        MessageBox::script(
            {MessageBox::No, MessageBox::Yes, MessageBox::No, MessageBox::No, MessageBox::Yes});
        drive::click(w->btnSave);
        QCOMPARE(reports.prints.size(), 5);
        QCOMPARE(invoiceNumbers().size(), 3);
        QStringList distinct = invoiceNumbers();
        distinct.removeDuplicates();
        QCOMPARE(distinct.size(), 1);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM Invoice")), 1);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM Shipment")), 1);
    }

    void oneCustomerQuestion_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("No keeps the lines") << false;
        QTest::newRow("Yes empties the grid") << true;
    }
    void oneCustomerQuestion()
    {
        QFETCH(bool, yes);
        Shipment *w = s.open();
        add(w, QStringLiteral("1 - S1"), QStringLiteral("1"));
        MessageBox::script({yes ? MessageBox::Yes : MessageBox::No});
        pick(w->cmbCustomer, QStringLiteral("Dune"));
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown()[0].title, QStringLiteral("One Customer Per Shipment"));
        QCOMPARE(w->vsfgShipment->rowCount(), yes ? 0 : 1);
        QCOMPARE(w->cmbCustomer->currentText(), yes ? QStringLiteral("Dune") : cove);
        QCOMPARE(w->cmbOrders->itemText(0), yes ? QStringLiteral("D-9") : QStringLiteral("PO-1"));
        QCOMPARE(w->txtTotalSets->text(), yes ? QStringLiteral("0") : QStringLiteral("1"));
    }

    void removeAsksFirst()
    {
        Shipment *w = s.open();
        add(w, QStringLiteral("1 - S1"), QStringLiteral("2"), QStringLiteral("B7"));
        add(w, QStringLiteral("2 - K1"), QStringLiteral("1"));
        drive::click(w->btnRemove); // no current row: nothing asked
        QCOMPARE(MessageBox::shown().size(), 0);
        w->vsfgShipment->setCurrentCell(0, 0);
        MessageBox::script({MessageBox::No, MessageBox::Yes});
        drive::click(w->btnRemove);
        QCOMPARE(w->vsfgShipment->rowCount(), 2);
        QCOMPARE(drive::shownTexts(),
                 QStringList{
                     QStringLiteral(
                         "Are you sure you want to remove 2 sets for %1 Order Number PO-1 Line Item 1 - S1?")
                         .arg(cove)});
        w->vsfgShipment->setCurrentCell(0, 0);
        drive::click(w->btnRemove);
        QCOMPARE(w->vsfgShipment->rowCount(), 1);
        QCOMPARE(w->txtTotalSets->text(), QStringLiteral("1"));
    }

    void saveWithoutLines()
    {
        Shipment *w = s.open();
        drive::click(w->btnSave);
        QCOMPARE(drive::shownTexts(), QStringList{"No Items to save."});
        QCOMPARE(s.count(), 0);
        QVERIFY(s.windowOpen());
    }

    // A row refused part-way: nothing stored, no print, the window keeps its grid and saves later.
    void failedSaveLeavesNothing()
    {
        RefusedWrites refused(s.db(), QStringLiteral("Cutsheets"), QStringLiteral("INSERT"),
                              QStringLiteral("kit refused"));
        Shipment *w = s.open();
        add(w, QStringLiteral("1 - S1"), QStringLiteral("2"));
        add(w, QStringLiteral("2 - K1"), QStringLiteral("3"));
        MessageBox::clearShown();
        drive::click(w->btnSave);
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown()[0].text.contains(QStringLiteral("kit refused")));
        QVERIFY(s.windowOpen());
        QCOMPARE(w->vsfgShipment->rowCount(), 2);
        QVERIFY(w->txtID->text().isEmpty());
        QCOMPARE(reports.prints.size(), 0);
        for (const char *table : {"Shipment", "ShipmentItems", "Invoice"})
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table))), 0);
        refused.lift();
        MessageBox::script({MessageBox::Yes, MessageBox::Yes});
        drive::click(w->btnSave);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM ShipmentItems")), 2);
        QVERIFY(!s.windowOpen());
    }
};

QTEST_MAIN(TestShipment)
#include "tst_shipment.moc"
