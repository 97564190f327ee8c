#include "PurchasingWindowSupport.h"
#include "core/ReportJob.h"
#include "purchasing/PONavigator.h"
#include "purchasing/PurchaseOrders.h"
#include "ui/Grid.h"
#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <QtTest>

using namespace purchasingtest;

namespace {

const QString kName = QStringLiteral("PONavigator");

QStringList numbers(Grid *g)
{
    QStringList out;
    for (int r = 0; r < g->rowCount(); ++r)
        out << g->text(r, frmPONavigator::ColNumber);
    return out;
}

} // namespace

class TestPONavigator : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void listsEveryOrderAscending();
    void findsByNumberAndDates_data();
    void findsByNumberAndDates();
    void refusesNonNumericNumber_data();
    void refusesNonNumericNumber();
    void clearKeepsGridUntilFind();
    void printsCurrentRow();
    void doubleClickPrintsThatRow();
    void deleteReturnsItemsToOpen_data();
    void deleteReturnsItemsToOpen();
    void failedDeleteLeavesAll();

private:
    frmPONavigator *open();
    WindowSession m_session;
    QList<qint64> m_items;
};

void TestPONavigator::init()
{
    m_session.start();
    m_items.clear();
    for (int i = 0; i < 5; ++i)
        m_items << addPendingItem(QStringLiteral("Q%1").arg(100 + i), 10, 1);
    addPurchaseOrder(QDate(2010, 5, 13), {m_items[0]});                                            // 1
    addPurchaseOrder(QDate(2010, 5, 14), {m_items[1], m_items[2], m_items[3]});                    // 2
    addPurchaseOrder(QDate(2010, 5, 20), {m_items[4]}, QStringLiteral("O'Neil's \"Best\" Hides")); // 3
}

void TestPONavigator::cleanup()
{
    m_session.finish({kName});
}

frmPONavigator *TestPONavigator::open()
{
    return drive::open<frmPONavigator>(kName);
}

void TestPONavigator::listsEveryOrderAscending()
{
    frmPONavigator *w = open();
    QCOMPARE(w->windowTitle(), QStringLiteral("Purchase Order Navigator"));
    Grid *g = w->vsfgPO;
    QCOMPARE(g->headers(),
             QStringList({"PO No.", "Vendor", "Date", "Ship Date", "Terms", "Total", "Comment"}));
    QCOMPARE(numbers(g), QStringList({"1", "2", "3"}));
    QCOMPARE(g->displayText(1, frmPONavigator::ColDate), QStringLiteral("5/14/2010"));
    QCOMPARE(g->displayText(1, frmPONavigator::ColShipDate), QStringLiteral("5/28/2010"));
    QCOMPARE(g->displayText(1, frmPONavigator::ColTotal), QStringLiteral("$100.00"));
    QCOMPARE(g->text(2, frmPONavigator::ColVendor), QStringLiteral("O'Neil's \"Best\" Hides"));
    auto *list = control<QComboBox>(w, "cmbPO");
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    QCOMPARE(entries, QStringList({"3", "2", "1"}));
    QCOMPARE(list->currentText(), QString());
    QVERIFY(!control<QCheckBox>(w, "chkDate")->isChecked());
    QCOMPARE(control<QDateEdit>(w, "dtStart")->date(), QDate(2010, 5, 14));
}

void TestPONavigator::findsByNumberAndDates_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("useDate");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QStringList>("found");
    const QDate today(2010, 5, 14);
    QTest::newRow("by number") << "2" << false << today << today << QStringList{"2"};
    QTest::newRow("number typed with blanks") << " 3 " << false << today << today << QStringList{"3"};
    QTest::newRow("no such number") << "9" << false << today << today << QStringList{};
    QTest::newRow("today only") << "" << true << today << today << QStringList{"2"};
    QTest::newRow("both ends included")
        << "" << true << QDate(2010, 5, 13) << QDate(2010, 5, 20) << QStringList{"1", "2", "3"};
    QTest::newRow("number and dates") << "1" << true << today << today << QStringList{};
}

void TestPONavigator::findsByNumberAndDates()
{
    QFETCH(QString, number);
    QFETCH(bool, useDate);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QStringList, found);
    frmPONavigator *w = open();
    control<QComboBox>(w, "cmbPO")->setEditText(number);
    control<QCheckBox>(w, "chkDate")->setChecked(useDate);
    control<QDateEdit>(w, "dtStart")->setDate(from);
    control<QDateEdit>(w, "dtEnd")->setDate(to);
    drive::click(control<QPushButton>(w, "btnFind"));
    QCOMPARE(MessageBox::shown().size(), 0);
    QCOMPARE(numbers(w->vsfgPO), found);
}

void TestPONavigator::refusesNonNumericNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("letters") << "PO12";
    QTest::newRow("sql") << "1 OR 1=1";
    QTest::newRow("decimal") << "2.5";
    QTest::newRow("quote") << "2'";
}

void TestPONavigator::refusesNonNumericNumber()
{
    QFETCH(QString, typed);
    frmPONavigator *w = open();
    control<QComboBox>(w, "cmbPO")->setEditText(typed);
    drive::click(control<QPushButton>(w, "btnFind"));
    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY2(
        MessageBox::shown().at(0).text.startsWith(QStringLiteral("The PO number must be a whole number")),
        qPrintable(MessageBox::shown().at(0).text));
    QCOMPARE(numbers(w->vsfgPO), QStringList({"1", "2", "3"})); // the grid is left as it was
    QCOMPARE(purchasing::parsePONumber(typed).number, std::nullopt);
}

void TestPONavigator::clearKeepsGridUntilFind()
{
    frmPONavigator *w = open();
    control<QComboBox>(w, "cmbPO")->setCurrentIndex(0);
    control<QCheckBox>(w, "chkDate")->setChecked(true);
    control<QDateEdit>(w, "dtStart")->setDate(QDate(2010, 5, 1));
    control<QDateEdit>(w, "dtEnd")->setDate(QDate(2010, 5, 31));
    drive::click(control<QPushButton>(w, "btnFind"));
    QCOMPARE(numbers(w->vsfgPO), QStringList({"3"}));
    drive::click(control<QPushButton>(w, "btnClear"));
    QCOMPARE(control<QComboBox>(w, "cmbPO")->currentText(), QString());
    QVERIFY(!control<QCheckBox>(w, "chkDate")->isChecked());
    QCOMPARE(control<QDateEdit>(w, "dtStart")->date(), QDate(2010, 5, 14));
    QCOMPARE(control<QDateEdit>(w, "dtEnd")->date(), QDate(2010, 5, 14));
    QCOMPARE(numbers(w->vsfgPO), QStringList({"3"}));
    drive::click(control<QPushButton>(w, "btnFind"));
    QCOMPARE(numbers(w->vsfgPO), QStringList({"1", "2", "3"}));
}

void TestPONavigator::printsCurrentRow()
{
    frmPONavigator *w = open();
    drive::click(control<QPushButton>(w, "btnPrint")); // no current row: nothing
    QCOMPARE(m_session.documents().size(), 0);
    w->vsfgPO->setCurrentCell(1, 0);
    drive::click(control<QPushButton>(w, "btnPrint"));
    const QList<ReportJob> jobs = m_session.documents();
    QCOMPARE(jobs.size(), 1);
    QCOMPARE(jobs.at(0).design, QStringLiteral("crptPurchaseOrder"));
    QCOMPARE(jobs.at(0).rows.size(), 3);
    QCOMPARE(jobs.at(0).rows.first().integer(QStringLiteral("POID")), 2);
    QCOMPARE(MessageBox::shown().size(), 0);
}

void TestPONavigator::doubleClickPrintsThatRow()
{
    frmPONavigator *w = open();
    QVERIFY(QTest::qWaitForWindowExposed(w->window()));
    Grid *grid = w->vsfgPO;
    const QRect cell = grid->visualRect(grid->model()->index(2, 0));
    QVERIFY(!cell.isEmpty());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    const QList<ReportJob> jobs = m_session.documents();
    QCOMPARE(jobs.size(), 1);
    QCOMPARE(jobs.at(0).design, QStringLiteral("crptPurchaseOrder"));
    QCOMPARE(jobs.at(0).rows.first().integer(QStringLiteral("POID")), 3);
}

void TestPONavigator::deleteReturnsItemsToOpen_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << int(MessageBox::Yes);
    QTest::newRow("no") << int(MessageBox::No);
}

void TestPONavigator::deleteReturnsItemsToOpen()
{
    QFETCH(int, answer);
    const bool yes = answer == MessageBox::Yes;
    frmPONavigator *w = open();
    drive::click(control<QPushButton>(w, "btnDelete")); // no current row: no question
    QCOMPARE(MessageBox::shown().size(), 0);
    w->vsfgPO->setCurrentCell(1, 3);
    MessageBox::script({MessageBox::Button(answer)});
    drive::click(control<QPushButton>(w, "btnDelete"));
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().at(0).text,
             QStringLiteral(
                 "Are you sure you want to deleted the selected PO: 2? The PO will be permanently deleted "
                 "and the items will be put back in the Pending Items table."));
    QCOMPARE(MessageBox::shown().at(0).title, QStringLiteral("Delete Confirmation"));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM PurchaseOrder WHERE ID = 2")), yes ? 0 : 1);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM PurchaseOrderItem WHERE POID = 2")), yes ? 0 : 3);
    QCOMPARE(lines(QStringLiteral("SELECT Status FROM PendingPOItems ORDER BY ID")),
             yes ? QStringList({"Closed", "Open", "Open", "Open", "Closed"})
                 : QStringList({"Closed", "Closed", "Closed", "Closed", "Closed"}));
    // The items keep their old links until ordered again.
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM PendingPOItems WHERE POID = 2")), 3);
    QCOMPARE(numbers(w->vsfgPO), yes ? QStringList({"1", "3"}) : QStringList({"1", "2", "3"}));
}

void TestPONavigator::failedDeleteLeavesAll()
{
    RefusedWrites refused(m_session.db->db(), QStringLiteral("PurchaseOrder"), QStringLiteral("DELETE"),
                          QStringLiteral("purchase order kept"));
    frmPONavigator *w = open();
    w->vsfgPO->setCurrentCell(1, 0);
    MessageBox::script({MessageBox::Yes});
    drive::click(control<QPushButton>(w, "btnDelete"));
    QCOMPARE(MessageBox::shown().size(), 2);
    QVERIFY(MessageBox::shown().at(1).text.contains(QStringLiteral("purchase order kept")));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM PurchaseOrderItem WHERE POID = 2")), 3);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM PendingPOItems WHERE Status = 'Closed'")), 5);
}

QTEST_MAIN(TestPONavigator)
#include "tst_ponavigator.moc"
