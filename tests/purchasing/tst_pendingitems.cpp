#include "PurchasingWindowSupport.h"
#include "core/ReportJob.h"
#include "purchasing/PendingPOItems.h"
#include "ui/Grid.h"
#include "ui/MainWindow.h"
#include "ui/MoneyField.h"
#include "ui/Widgets.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace purchasingtest;

namespace {

const QString kName = QStringLiteral("PendingItems");

// Ticks a row as the user does, through the grid's check box.
void tick(Grid *g, int row, bool on = true)
{
    QVERIFY(g->gridModel()->setData(g->cellIndex(row, frmPendingPOItems::ColTransfer),
                                    on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole));
}

QStringList column(Grid *g, int c)
{
    QStringList out;
    for (int r = 0; r < g->rowCount(); ++r)
        out << g->displayText(r, c);
    return out;
}

} // namespace

class TestPendingItems : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void opensWithDefaultsAndOpenItems();
    void opensBlankWithoutSetup();
    void tickingTotalsAndEditGate();
    void createPOClosesAndLinksItems();
    void nothingTickedIsRefused();
    void withdrawAsksWithTheId_data();
    void withdrawAsksWithTheId();
    void failedCreateLeavesNothing();

private:
    frmPendingPOItems *open();
    WindowSession m_session;
    qint64 m_a = 0, m_b = 0, m_c = 0;
};

void TestPendingItems::init()
{
    m_session.start();
    m_session.db->db().insert(QStringLiteral("POSetup"), {{"Vendor1", "Hide House"},
                                                          {"Vendor2", "12 Tannery Ln"},
                                                          {"Vendor3", QVariant()},
                                                          {"Terms", "Net 30"},
                                                          {"BillTo1", "Corvane Leather"},
                                                          {"ShipTo1", "Corvane Dock"},
                                                          {"Comment", "Call before delivery"}});
    m_b = addPendingItem(QStringLiteral("Q200"), 2.5, 3, QDate(2010, 6, 2));
    m_a = addPendingItem(QStringLiteral("Q100"), 42.1225, 2);
    m_c = addPendingItem(QStringLiteral("Q300"), 10, 1);
    const qint64 closed = addPendingItem(QStringLiteral("Q050"), 1, 1);
    m_session.db->db().exec(QStringLiteral("UPDATE PendingPOItems SET Status = 'Delete' WHERE ID = ?"),
                            {closed});
    // An item with no price or quantity still lists.
    m_session.db->db().insert(QStringLiteral("PendingPOItems"),
                              {{"CustomerRefNo", "Q900"}, {"Status", "Open"}});
}

void TestPendingItems::cleanup()
{
    m_session.finish({kName});
}

frmPendingPOItems *TestPendingItems::open()
{
    return drive::open<frmPendingPOItems>(kName);
}

void TestPendingItems::opensWithDefaultsAndOpenItems()
{
    frmPendingPOItems *w = open();
    QCOMPARE(w->windowTitle(), QStringLiteral("Pending PO Items"));
    QCOMPARE(control<QLineEdit>(w, "txtVendor1")->text(), QStringLiteral("Hide House"));
    QCOMPARE(control<QLineEdit>(w, "txtVendor3")->text(), QString());
    QCOMPARE(control<QLineEdit>(w, "txtComment")->text(), QStringLiteral("Call before delivery"));
    QCOMPARE(control<QDateEdit>(w, "dtDate")->date(), QDate(2010, 5, 14));
    QCOMPARE(control<QDateEdit>(w, "dtDue")->date(), QDate(2010, 5, 14));
    Grid *g = w->vsfgItems;
    QCOMPARE(g->headers(),
             QStringList({"Transfer", "ID", "Customer Ref. No.", "Part Number", "Description", "Color Name",
                          "R-String No.", "Quantity", "Price Each", "Price Ext.", "Dock Date"}));
    QCOMPARE(column(g, frmPendingPOItems::ColRef), QStringList({"Q100", "Q200", "Q300", "Q900"}));
    QCOMPARE(g->rowTexts(1), QStringList({"0", QString::number(m_b), "Q200", "P-Q200", "Q200 hide", "Black",
                                          "R-Q200", "3", "2.5", "7.5", "2010-06-02"}));
    QCOMPARE(g->displayText(1, frmPendingPOItems::ColPriceExt), QStringLiteral("$7.50"));
    QCOMPARE(g->displayText(1, frmPendingPOItems::ColDockDate), QStringLiteral("6/2/2010"));
    // 42.1225 x 2 = 84.245: half a cent goes to the even neighbour.
    QCOMPARE(g->text(0, frmPendingPOItems::ColPriceExt), QStringLiteral("84.24"));
    QCOMPARE(g->rowTexts(3).mid(7, 3), QStringList({"0", "0", "0"}));
    // Wide enough for every column, as far as the screen allows.
    QCOMPARE(w->size(), fitToScreen(w, QSize(960, 625)));
}

void TestPendingItems::opensBlankWithoutSetup()
{
    m_session.db->db().exec(QStringLiteral("DELETE FROM POSetup"));
    frmPendingPOItems *w = open();
    for (const char *name : {"txtVendor1", "txtVendor2", "txtVendor3", "txtTerms", "txtBillTo1", "txtBillTo2",
                             "txtBillTo3", "txtShipTo1", "txtShipTo2", "txtShipTo3", "txtComment"})
        QCOMPARE(control<QLineEdit>(w, name)->text(), QString());
    QCOMPARE(w->vsfgItems->rowCount(), 4);
}

void TestPendingItems::tickingTotalsAndEditGate()
{
    frmPendingPOItems *w = open();
    Grid *g = w->vsfgItems;
    auto *total = control<MoneyField>(w, "txtTotal");
    tick(g, 0);
    tick(g, 1);
    QCOMPARE(total->rawText(), QStringLiteral("91.74"));
    tick(g, 0, false);
    QCOMPARE(total->rawText(), QStringLiteral("7.5"));
    for (int c = 1; c < g->columnCount(); ++c)
        QVERIFY(!g->mayEdit(0, c));
    QVERIFY(!g->gridModel()->setData(g->cellIndex(0, frmPendingPOItems::ColQuantity), "9", Qt::EditRole));
    drive::click(control<QPushButton>(w, "btnSelectAll"));
    QCOMPARE(column(g, frmPendingPOItems::ColTransfer).size(), 4);
    QCOMPARE(total->rawText(), QStringLiteral("101.74"));
    drive::click(control<QPushButton>(w, "btnSelectNone"));
    QCOMPARE(total->rawText(), QStringLiteral("0"));
}

void TestPendingItems::createPOClosesAndLinksItems()
{
    frmPendingPOItems *w = open();
    Grid *g = w->vsfgItems;
    control<QLineEdit>(w, "txtTerms")->setText(QStringLiteral("Net 10"));
    control<QDateEdit>(w, "dtDue")->setDate(QDate(2010, 5, 28));
    tick(g, 0);
    tick(g, 1);
    drive::click(control<QPushButton>(w, "btnCreatePO"));

    QCOMPARE(MessageBox::shown().size(), 0);
    QCOMPARE(lines(QStringLiteral(
                 "SELECT ID, Vendor1, Vendor2, PODate, DueDate, Terms, BillTo1, ShipTo1, Comment, "
                 "Total FROM PurchaseOrder")),
             QStringList(
                 {"1|Hide House|12 Tannery Ln|2010-05-14|2010-05-28|Net 10|Corvane Leather|Corvane Dock|Call "
                  "before delivery|91.74"}));
    QCOMPARE(lines(QStringLiteral(
                 "SELECT ID, POID, Quantity, PartNumber, Description, Color, ColorNumber, PriceEach, "
                 "PriceExt, PendingPOItemID FROM PurchaseOrderItem ORDER BY ID")),
             QStringList({QStringLiteral("1|1|2|P-Q100|Q100 hide|Black|R-Q100|42.1225|84.24|%1").arg(m_a),
                          QStringLiteral("2|1|3|P-Q200|Q200 hide|Black|R-Q200|2.5|7.5|%1").arg(m_b)}));
    QCOMPARE(
        lines(QStringLiteral(
                  "SELECT ID, Status, POID, POItemID FROM PendingPOItems WHERE ID IN (?, ?, ?) ORDER BY ID"),
              {m_a, m_b, m_c}),
        QStringList({QStringLiteral("%1|Closed|1|2").arg(m_b), QStringLiteral("%1|Closed|1|1").arg(m_a),
                     QStringLiteral("%1|Open||").arg(m_c)}));
    const QList<ReportJob> jobs = m_session.documents();
    QCOMPARE(jobs.size(), 1);
    QCOMPARE(jobs.at(0).design, QStringLiteral("crptPurchaseOrder"));
    QCOMPARE(jobs.at(0).rows.size(), 2);
    QCOMPARE(column(g, frmPendingPOItems::ColRef), QStringList({"Q300", "Q900"}));
    QCOMPARE(control<MoneyField>(w, "txtTotal")->rawText(), QStringLiteral("0"));
    QCOMPARE(control<QLineEdit>(w, "txtTerms")->text(), QStringLiteral("Net 10")); // kept for the next order
    QCOMPARE(control<QLabel>(w, "lblMessage")->text(), QStringLiteral("Purchase order 1 saved."));

    drive::click(control<QPushButton>(w, "btnCreatePO")); // nothing ticked after a create
    QCOMPARE(drive::shownTexts(), QStringList({"No Item Selected."}));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM PurchaseOrder")), 1);
}

void TestPendingItems::nothingTickedIsRefused()
{
    frmPendingPOItems *w = open();
    drive::click(control<QPushButton>(w, "btnCreatePO"));
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().at(0).text, QStringLiteral("No Item Selected."));
    QCOMPARE(MessageBox::shown().at(0).title, QCoreApplication::applicationName());
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM PurchaseOrder")), 0);
    QCOMPARE(m_session.documents().size(), 0);
}

void TestPendingItems::withdrawAsksWithTheId_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("status");
    QTest::newRow("yes") << int(MessageBox::Yes) << "Delete";
    QTest::newRow("no") << int(MessageBox::No) << "Open";
}

void TestPendingItems::withdrawAsksWithTheId()
{
    QFETCH(int, answer);
    QFETCH(QString, status);
    frmPendingPOItems *w = open();
    Grid *g = w->vsfgItems;
    drive::click(control<QPushButton>(w, "btnDelete")); // no current row: nothing happens
    QCOMPARE(MessageBox::shown().size(), 0);
    g->setCurrentCell(1, 2);
    MessageBox::script({MessageBox::Button(answer)});
    drive::click(control<QPushButton>(w, "btnDelete"));
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().at(0).text,
             QStringLiteral("Are you sure you want to remove the selected item:%1?").arg(m_b));
    QCOMPARE(MessageBox::shown().at(0).title, QStringLiteral("Delete Confirmation"));
    QCOMPARE(MessageBox::shown().at(0).buttons, MessageBox::YesNo);
    QCOMPARE(DbConnection()
                 .scalar(QStringLiteral("SELECT Status FROM PendingPOItems WHERE ID = ?"), {m_b})
                 .toString(),
             status);
    QCOMPARE(g->rowCount(), status == QLatin1String("Delete") ? 3 : 4);
}

void TestPendingItems::failedCreateLeavesNothing()
{
    // The second line's pending item refuses to close: the order and the first line go too.
    RefusedWrites refused(m_session.db->db(), QStringLiteral("PendingPOItems"), QStringLiteral("UPDATE"),
                          QStringLiteral("item locked"), QStringLiteral("NEW.ID = %1").arg(m_b));
    frmPendingPOItems *w = open();
    Grid *g = w->vsfgItems;
    tick(g, 0);
    tick(g, 1);
    drive::click(control<QPushButton>(w, "btnCreatePO"));
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY2(MessageBox::shown().at(0).text.contains(QStringLiteral("item locked")),
             qPrintable(MessageBox::shown().at(0).text));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM PurchaseOrder")), 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM PurchaseOrderItem")), 0);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM PendingPOItems WHERE Status = 'Open'")), 4);
    QCOMPARE(m_session.documents().size(), 0);
    // The window keeps its ticks for another try.
    QCOMPARE(g->text(0, frmPendingPOItems::ColTransfer), QStringLiteral("1"));
    QCOMPARE(control<MoneyField>(w, "txtTotal")->rawText(), QStringLiteral("91.74"));
}

QTEST_MAIN(TestPendingItems)
#include "tst_pendingitems.moc"
