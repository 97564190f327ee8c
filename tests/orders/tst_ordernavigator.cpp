#include "OrderTestSupport.h"
#include "orders/OrderEntry.h"
#include "orders/OrderNavigator.h"
#include "ui/Grid.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <QtTest>
#include <algorithm>

using namespace ordertest;

namespace {

QStringList orderNumbers(Grid *g)
{
    QStringList out;
    for (int r = 0; r < g->rowCount(); ++r)
        out << g->text(r, 0);
    return out;
}

} // namespace

class TestOrderNavigator : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void opensWithDefaults();
    void criteria_data();
    void criteria();
    void clearListsEverything();
    void rowMovedToShowsLines();
    void doubleClickOpensOrder();
    void doubleClickOnHeaderOpensEmptyWindow();
    void headerClickSortsAndASecondReverses();
    void addNewOpensEmptyWindowOnce();
    void refreshedWhenOrderWindowCloses();
    void resizeRules();

private:
    std::unique_ptr<TestDatabase> m_db;
    qint64 m_a120 = 0;
};

void TestOrderNavigator::init()
{
    m_db = std::make_unique<TestDatabase>();
    seedCatalogue(*m_db);
    const QString acme = QStringLiteral("Acme Upholstery");
    const QString quintar = QStringLiteral("Quintar");
    const QString zephyr = QStringLiteral("Zephyr Marine");
    m_a120 = m_db->addOrder(acme, QStringLiteral("A120"), QStringLiteral("Open"), QDate(2010, 5, 3));
    m_db->addOrderLine(m_a120, 1, 2, QStringLiteral("A100"), 150);
    m_db->addOrderLine(m_a120, 3, 4, QStringLiteral("Q100"), 95.5);
    m_db->addOrder(acme, QStringLiteral("312"), QStringLiteral("Closed"), QDate(2010, 5, 10));
    m_db->addOrder(quintar, QStringLiteral("PO-5"), QStringLiteral("Open"), QDate(2010, 5, 10));
    m_db->addOrder(quintar, QStringLiteral("it's 50%"), QStringLiteral("Void"), QDate(2010, 4, 30));
    m_db->addOrder(zephyr, QStringLiteral("Z_1"), QStringLiteral("Open"), QDate(2010, 5, 11));
    m_db->db().exec(
        QStringLiteral("UPDATE Orders SET Total = 1234.5, ShipToAddress1 = '9 Pier St', "
                       "ShipToAddress2 = 'Gate B', ShipToCity = 'Erie', ShipToState = 'PA', "
                       "ShipToZip = '16501', ShipToPhone = '814-555-0100' WHERE OrderNumber = 'A120'"));
}

void TestOrderNavigator::cleanup()
{
    for (const char *name : {"OrderEntry", "OrderNavigator"}) {
        if (QWidget *w = MainWindow::findChildWindow(QString::fromLatin1(name)))
            w->close();
    }
    flushDeletes();
    m_db.reset();
}

void TestOrderNavigator::opensWithDefaults()
{
    QVERIFY(!NavigatorOpen());
    OrderNavigator *w = openNavigatorWindow();
    QVERIFY(NavigatorOpen());
    QCOMPARE(w->windowTitle(), QStringLiteral("Order Navigator"));
    auto *status = control<QComboBox>(w, "cmbStatus");
    QCOMPARE(status->count(), 3);
    QCOMPARE(status->currentText(), QStringLiteral("Open"));
    // Every customer, active or not, no default.
    auto *customer = control<QComboBox>(w, "cmbCustomer");
    QCOMPARE(customer->count(), 3);
    QCOMPARE(customer->currentIndex(), -1);
    QVERIFY(!control<QCheckBox>(w, "chkOrderDate")->isChecked());
    QCOMPARE(control<QDateEdit>(w, "dtStartDate")->date(), QDate(2010, 5, 14));
    QCOMPARE(w->vsfgOrders->rowCount(), 0);
    QCOMPARE(w->vsfgItems->rowCount(), 0);
    control<QPushButton>(w, "btnExit")->click();
    QVERIFY(!NavigatorOpen());
    flushDeletes();
    QVERIFY(!MainWindow::findChildWindow(QStringLiteral("OrderNavigator")));
}

void TestOrderNavigator::criteria_data()
{
    QTest::addColumn<QString>("customer");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QDate>("from"); // invalid: no date criterion
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("found");

    const QDate none;
    QTest::newRow("open orders") << ""
                                 << "Open" << none << none << "" << QStringList{"A120", "PO-5", "Z_1"};
    QTest::newRow("one customer") << "Acme Upholstery"
                                  << "" << none << none << "" << QStringList{"312", "A120"};
    QTest::newRow("inactive customer") << "Zephyr Marine"
                                       << "" << none << none << "" << QStringList{"Z_1"};
    QTest::newRow("both ends of the range")
        << ""
        << "" << QDate(2010, 5, 3) << QDate(2010, 5, 10) << "" << QStringList{"312", "A120", "PO-5"};
    QTest::newRow("one day") << ""
                             << "" << QDate(2010, 5, 11) << QDate(2010, 5, 11) << "" << QStringList{"Z_1"};
    QTest::newRow("number anywhere") << ""
                                     << "" << none << none << "12" << QStringList{"312", "A120"};
    QTest::newRow("number without case") << ""
                                         << "" << none << none << "a1" << QStringList{"A120"};
    QTest::newRow("quote taken literally") << ""
                                           << "" << none << none << "it's" << QStringList{"it's 50%"};
    QTest::newRow("percent taken literally") << ""
                                             << "" << none << none << "0%" << QStringList{"it's 50%"};
    QTest::newRow("star is no wildcard") << ""
                                         << "" << none << none << "*" << QStringList{};
    QTest::newRow("underscore taken literally") << ""
                                                << "" << none << none << "_" << QStringList{"Z_1"};
    QTest::newRow("all together") << "Acme Upholstery"
                                  << "Closed" << QDate(2010, 5, 1) << QDate(2010, 5, 31) << "31"
                                  << QStringList{"312"};
    QTest::newRow("together, nothing")
        << "Quintar"
        << "Closed" << QDate(2010, 5, 1) << QDate(2010, 5, 31) << "" << QStringList{};
}

void TestOrderNavigator::criteria()
{
    QFETCH(QString, customer);
    QFETCH(QString, status);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QString, number);
    QFETCH(QStringList, found);
    OrderNavigator *w = openNavigatorWindow();
    auto *c = control<QComboBox>(w, "cmbCustomer");
    c->setCurrentIndex(c->findText(customer));
    auto *s = control<QComboBox>(w, "cmbStatus");
    s->setCurrentIndex(s->findText(status));
    control<QCheckBox>(w, "chkOrderDate")->setChecked(from.isValid());
    if (from.isValid()) {
        control<QDateEdit>(w, "dtStartDate")->setDate(from);
        control<QDateEdit>(w, "dtEndDate")->setDate(to);
    }
    control<QLineEdit>(w, "txtOrderNumber")->setText(number);
    MessageBox::clearShown();
    control<QPushButton>(w, "btnFind")->click();
    QCOMPARE(MessageBox::shown().size(), 0);
    QCOMPARE(orderNumbers(w->vsfgOrders), found);
}

void TestOrderNavigator::clearListsEverything()
{
    OrderNavigator *w = openNavigatorWindow();
    control<QLineEdit>(w, "txtOrderNumber")->setText(QStringLiteral("A"));
    control<QCheckBox>(w, "chkOrderDate")->setChecked(true);
    control<QPushButton>(w, "btnFind")->click();
    QCOMPARE(w->vsfgOrders->rowCount(), 0); // today's date range
    control<QPushButton>(w, "btnClear")->click();
    QCOMPARE(orderNumbers(w->vsfgOrders), QStringList({"312", "A120", "it's 50%", "PO-5", "Z_1"}));
    QCOMPARE(control<QComboBox>(w, "cmbStatus")->currentIndex(), -1);
    QVERIFY(control<QLineEdit>(w, "txtOrderNumber")->text().isEmpty());
    QVERIFY(!control<QCheckBox>(w, "chkOrderDate")->isChecked());
    QCOMPARE(control<QGroupBox>(w, "fraLineItems")->title(), QStringLiteral("Line Items"));
    QCOMPARE(w->vsfgItems->rowCount(), 0);
}

void TestOrderNavigator::rowMovedToShowsLines()
{
    OrderNavigator *w = openNavigatorWindow();
    control<QPushButton>(w, "btnFind")->click();
    Grid *g = w->vsfgOrders;
    QCOMPARE(g->headers(),
             QStringList({"Order Number", "Customer", "Order Date", "Due Date", "Status", "Total", "Ship To",
                          "Ship To Phone", "Ship To Fax", "Date Added", "OrderID"}));
    // Dates are kept as ISO and shown in the date format.
    QCOMPARE(g->rowTexts(0), QStringList({"A120", "Acme Upholstery", "2010-05-03", "2010-05-24", "Open",
                                          "1234.5", "Acme Upholstery, 9 Pier St, Gate B, Erie, PA 16501",
                                          "814-555-0100", "", "2010-05-03", QString::number(m_a120)}));
    QCOMPARE(g->displayText(0, 2), QStringLiteral("5/3/2010"));
    QCOMPARE(g->displayText(0, 3), QStringLiteral("5/24/2010"));
    QCOMPARE(g->displayText(0, 9), QStringLiteral("5/3/2010"));
    QCOMPARE(g->displayText(0, 5), QStringLiteral("$1,234.50"));
    QCOMPARE(g->text(1, 6), QStringLiteral("Quintar, , ,  ")); // no address2 part when it is empty
    QCOMPARE(w->vsfgItems->rowCount(), 0);

    g->setCurrentCell(0, 0);
    QCOMPARE(control<QGroupBox>(w, "fraLineItems")->title(), QStringLiteral("Order A120 Line Items"));
    Grid *items = w->vsfgItems;
    QCOMPARE(items->headers(), QStringList({"Item Number", "Qty", "Style", "Material", "Customer Ref. No.",
                                            "Price Each", "Price Ext."}));
    QCOMPARE(items->rowCount(), 2);
    QCOMPARE(items->rowTexts(1), QStringList({"3", "4", "ST-Q100", "BLK-01", "Q100", "95.5", "382"}));
    QCOMPARE(items->displayText(1, 6), QStringLiteral("$382.00"));
    g->setCurrentCell(1, 0);
    QCOMPARE(items->rowCount(), 0);
    QCOMPARE(control<QGroupBox>(w, "fraLineItems")->title(), QStringLiteral("Order PO-5 Line Items"));
}

void TestOrderNavigator::doubleClickOpensOrder()
{
    OrderNavigator *w = openNavigatorWindow();
    control<QPushButton>(w, "btnFind")->click();
    Grid *g = w->vsfgOrders;
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->cellIndex(0, 0)).center());
    auto *entry = qobject_cast<OrderEntry *>(MainWindow::findChildWindow(QStringLiteral("OrderEntry")));
    QVERIFY(entry);
    QCOMPARE(entry->orderId(), m_a120);
    QCOMPARE(control<QLineEdit>(entry, "txtOrderNumber")->text(), QStringLiteral("A120"));
    QCOMPARE(entry->vsfgItems->rowCount(), 2);

    // The open window is reused for the next order, losing its unsaved lines.
    entry->vsfgItems->removeRow(0);
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->cellIndex(1, 0)).center());
    QCOMPARE(MainWindow::findChildWindow(QStringLiteral("OrderEntry")), entry);
    QCOMPARE(control<QLineEdit>(entry, "txtOrderNumber")->text(), QStringLiteral("PO-5"));
    QCOMPARE(entry->vsfgItems->rowCount(), 0);
}

void TestOrderNavigator::headerClickSortsAndASecondReverses()
{
    OrderNavigator *w = openNavigatorWindow();
    control<QPushButton>(w, "btnFind")->click();
    Grid *g = w->vsfgOrders;
    QVERIFY(QTest::qWaitForWindowExposed(g->window()));
    QHeaderView *header = g->horizontalHeader();
    const auto column = [g](int c) {
        QStringList texts;
        for (int r = 0; r < g->rowCount(); ++r)
            texts << g->text(r, c);
        return texts;
    };
    const QStringList totals = column(5);
    QVERIFY(totals.size() >= 2);
    const auto clickHeader = [header](int section) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                                 header->height() / 2));
    };
    // The totals are amounts: sorted by value, whatever their texts say.
    clickHeader(5);
    QStringList up = totals;
    std::sort(up.begin(), up.end(),
              [](const QString &a, const QString &b) { return a.toDouble() < b.toDouble(); });
    QCOMPARE(column(5), up);
    QCOMPARE(header->sortIndicatorSection(), 5);
    clickHeader(5);
    std::reverse(up.begin(), up.end());
    QCOMPARE(column(5), up);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    // The lines shown follow the order picked after the sort.
    g->setCurrentCell(0, 0);
    QCOMPARE(control<QGroupBox>(w, "fraLineItems")->title(),
             QStringLiteral("Order %1 Line Items").arg(g->text(0, 0)));
}

void TestOrderNavigator::doubleClickOnHeaderOpensEmptyWindow()
{
    OrderNavigator *w = openNavigatorWindow();
    control<QPushButton>(w, "btnFind")->click();
    Grid *g = w->vsfgOrders;
    g->setCurrentCell(0, 0);
    QTest::mouseDClick(g->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
    auto *entry = qobject_cast<OrderEntry *>(MainWindow::findChildWindow(QStringLiteral("OrderEntry")));
    QVERIFY(entry);
    QCOMPARE(entry->orderId(), 0);
    QVERIFY(control<QLineEdit>(entry, "txtOrderNumber")->text().isEmpty());
    QVERIFY(control<QLineEdit>(entry, "txtOrderNumber")->isEnabled());
}

void TestOrderNavigator::addNewOpensEmptyWindowOnce()
{
    OrderNavigator *w = openNavigatorWindow();
    control<QPushButton>(w, "btnAddNew")->click();
    auto *entry = qobject_cast<OrderEntry *>(MainWindow::findChildWindow(QStringLiteral("OrderEntry")));
    QVERIFY(entry);
    QCOMPARE(entry->orderId(), 0);
    control<QLineEdit>(entry, "txtOrderNumber")->setText(QStringLiteral("typed"));
    control<QPushButton>(w, "btnAddNew")->click();
    QCOMPARE(MainWindow::findChildWindow(QStringLiteral("OrderEntry")), entry);
    QCOMPARE(control<QLineEdit>(entry, "txtOrderNumber")->text(), QStringLiteral("typed"));
}

void TestOrderNavigator::refreshedWhenOrderWindowCloses()
{
    OrderNavigator *w = openNavigatorWindow();
    control<QLineEdit>(w, "txtOrderNumber")->setText(QStringLiteral("PO"));
    control<QPushButton>(w, "btnFind")->click();
    QCOMPARE(orderNumbers(w->vsfgOrders), QStringList({"PO-5"}));
    w->vsfgOrders->setCurrentCell(0, 0);

    control<QPushButton>(w, "btnAddNew")->click();
    auto *entry = qobject_cast<OrderEntry *>(MainWindow::findChildWindow(QStringLiteral("OrderEntry")));
    entry->activateWindow();
    chooseCustomer(entry, QStringLiteral("a"));
    control<QLineEdit>(entry, "txtOrderNumber")->setText(QStringLiteral("PO-77"));
    enterLine(entry, QStringLiteral("1"), QStringLiteral("A100"));
    MessageBox::script({MessageBox::Yes});
    control<QPushButton>(entry, "btnSave")->click();
    flushDeletes();
    // The list is searched again with the navigator's own criteria; the line grid is emptied.
    QCOMPARE(orderNumbers(w->vsfgOrders), QStringList({"PO-77", "PO-5"}));
    QCOMPARE(w->vsfgItems->rowCount(), 0);

    // Exit refreshes too.
    m_db->addOrder(QStringLiteral("Quintar"), QStringLiteral("PO-88"));
    control<QPushButton>(w, "btnAddNew")->click();
    entry = qobject_cast<OrderEntry *>(MainWindow::findChildWindow(QStringLiteral("OrderEntry")));
    control<QPushButton>(entry, "btnExit")->click();
    flushDeletes();
    QCOMPARE(orderNumbers(w->vsfgOrders), QStringList({"PO-77", "PO-5", "PO-88"}));
}

void TestOrderNavigator::resizeRules()
{
    OrderNavigator *w = openNavigatorWindow();
    w->resize(900, 700);
    QApplication::processEvents();
    auto *criteria = control<QGroupBox>(w, "fraSearchCriteria");
    auto *orders = control<QGroupBox>(w, "fraOrders");
    auto *items = control<QGroupBox>(w, "fraLineItems");
    // The criteria frame keeps its natural height; the frames share what is left below it.
    const int top = criteria->height();
    QCOMPARE(top, criteria->sizeHint().height());
    // 900 less 130 and 200 twips (9 and 13 pixels); 60 twips (4 pixels) in from the left.
    QCOMPARE(orders->width(), 891);
    QCOMPARE(items->width(), 891);
    QCOMPARE(orders->x(), 4);
    QCOMPARE(w->vsfgOrders->width(), 887);
    QCOMPARE(w->vsfgItems->width(), 887);
    QCOMPARE(w->vsfgOrders->x(), 2);
    // 650 twips (43 pixels) of the 700 are margins; the orders get 55 % of the rest, the lines 45 %.
    const int rest = 700 - 43 - top;
    QCOMPARE(orders->y(), top + 4);
    QCOMPARE(orders->height(), rest * 55 / 100);
    QCOMPARE(w->vsfgOrders->height(), orders->height() - 47); // 700 twips
    QCOMPARE(w->vsfgOrders->y(), 22);                         // 330 twips
    QCOMPARE(items->y(), orders->y() + orders->height() + 7);   // 100 twips
    QCOMPARE(items->height(), rest * 45 / 100);
    QCOMPARE(w->vsfgItems->height(), items->height() - 40); // 600 twips

    // Too small a window keeps the sizes that would come out 0 or less.
    const int ordersHeight = orders->height();
    w->resize(900, criteria->height() + 20);
    QApplication::processEvents();
    QCOMPARE(orders->height(), ordersHeight);
}

QTEST_MAIN(TestOrderNavigator)
#include "tst_ordernavigator.moc"
