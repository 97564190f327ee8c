#include "ui/Grid.h"
#include "ui/MainWindow.h"
#include "ui/MessageBox.h"
#include "orders/OrderData.h"
#include "orders/OrderEntry.h"
#include "OrderTestSupport.h"
#include "core/ReportJob.h"
#include "core/schema/Schema.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace ordertest;

namespace {

QStringList gridColumn(Grid *g, int column)
{
    QStringList out;
    for (int r = 0; r < g->rowCount(); ++r)
        out << g->text(r, column);
    return out;
}

QStringList storedLines(qint64 orderId)
{
    QStringList out;
    for (const Row &r : DbConnection().query(
             QStringLiteral("SELECT * FROM OrderItem WHERE OrderID = ? ORDER BY ItemNumber"), {orderId}))
        out << QStringLiteral("%1:%2x%3@%4=%5")
                   .arg(r.integer(QStringLiteral("ItemNumber")))
                   .arg(r.integer(QStringLiteral("Qty")))
                   .arg(r.text(QStringLiteral("CustomerRefNo")), r.text(QStringLiteral("PriceEach")),
                        r.text(QStringLiteral("PriceExt")));
    return out;
}

const MessageBox::Shown *findShown(const QString &title)
{
    static QList<MessageBox::Shown> all;
    all = MessageBox::shown();
    for (const auto &s : all) {
        if (s.title == title)
            return &s;
    }
    return nullptr;
}

} // namespace

class TestOrderEntry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void newOrderSavedWithReport();
    void customerBringsShipTo();
    void storedOrderChangedAndResaved();
    void deleteRefusedWhenCutsheetsExist();
    void deleteOnUnsavedOrder();
    void priceQuestion_data();
    void priceQuestion();
    void lineRefusals_data();
    void lineRefusals();
    void invalidReferenceOnLeave();
    void voidAndOpen();
    void duplicateOrderNumberWarnsButSaves();
    void requiredFields();
    void failedSaveLeavesNothing_data();
    void failedSaveLeavesNothing();
    void openOrderUnknownIdKeepsWindow();
    void saveAfterAnotherWorkstationKeepsEdits();
    void commandsOpenWindows();

private:
    std::unique_ptr<TestDatabase> m_db;
    CapturedReports m_reports;
};

void TestOrderEntry::init()
{
    m_db = std::make_unique<TestDatabase>();
    seedCatalogue(*m_db);
    m_reports = CapturedReports();
    setReportOutput(&m_reports);
}

void TestOrderEntry::cleanup()
{
    if (QWidget *w = MainWindow::findChildWindow(QStringLiteral("OrderEntry")))
        w->close();
    flushDeletes();
    setReportOutput(nullptr);
    m_db.reset();
}

void TestOrderEntry::newOrderSavedWithReport()
{
    OrderEntry *w = openOrderWindow();
    QPointer<OrderEntry> alive(w);
    chooseCustomer(w, QStringLiteral("ac"));
    QCOMPARE(control<QComboBox>(w, "cmbCustomer")->currentText(), QStringLiteral("Acme Upholstery"));
    control<QLineEdit>(w, "txtOrderNumber")->setText(QStringLiteral("PO-100"));
    drive::type(control<QDateEdit>(w, "dtDueDate"), QStringLiteral("06/4/2010"));

    enterLine(w, QStringLiteral("3"), QStringLiteral("A100"));
    enterLine(w, QStringLiteral("1200"), QStringLiteral("Q100"));
    Grid *g = w->vsfgItems;
    QCOMPARE(g->headers(), QStringList({"Item Number", "Qty", "Customer Ref. No.", "Style", "Material", "Price Each",
                                        "Price Ext."}));
    QCOMPARE(g->rowTexts(0), QStringList({"1", "3", "A100", "ST-A100", "BLK-01", "150", "450"}));
    QCOMPARE(g->rowTexts(1), QStringList({"2", "1200", "Q100", "ST-Q100", "BLK-01", "95.5", "114600"}));
    // Money is shown formatted while the cells keep plain numbers.
    QCOMPARE(g->displayText(1, 5), QStringLiteral("$95.50"));
    QCOMPARE(g->displayText(1, 6), QStringLiteral("$114,600.00"));
    QCOMPARE(control<QLineEdit>(w, "lblTotal")->text(), QStringLiteral("$115,050.00"));
    QCOMPARE(w->total(), Money::fromUnits(1150500000));
    // The entry row is emptied after each line.
    QVERIFY(control<QLineEdit>(w, "txtQty")->text().isEmpty());
    QVERIFY(control<QLabel>(w, "lblPriceExt")->text().isEmpty());

    MessageBox::clearShown();
    MessageBox::script({MessageBox::No, MessageBox::Yes}); // printed twice, then confirmed
    control<QPushButton>(w, "btnSave")->click();
    flushDeletes();

    QCOMPARE(m_reports.prints.size(), 2);
    QCOMPARE(MessageBox::shown().size(), 2);
    QCOMPARE(MessageBox::shown().at(0).text, QStringLiteral("Did report print OK?"));
    QCOMPARE(MessageBox::shown().at(0).title, QStringLiteral("Report Status"));
    QCOMPARE(MessageBox::shown().at(0).buttons, MessageBox::YesNo);
    QCOMPARE(MessageBox::shown().at(0).icon, MessageBox::NoIcon);
    QVERIFY(alive.isNull()); // closed after Yes

    const RowSet orders = DbConnection().query(QStringLiteral("SELECT * FROM Orders"));
    QCOMPARE(orders.size(), 1);
    const Row &o = orders.first();
    const qint64 id = o.integer(QStringLiteral("ID"));
    QCOMPARE(o.text(QStringLiteral("OrderNumber")), QStringLiteral("PO-100"));
    QCOMPARE(o.text(QStringLiteral("Customer")), QStringLiteral("Acme Upholstery"));
    QCOMPARE(o.text(QStringLiteral("Status")), QStringLiteral("Open"));
    QCOMPARE(o.date(QStringLiteral("OrderDate")), QDate(2010, 5, 14));
    QCOMPARE(o.date(QStringLiteral("DueDate")), QDate(2010, 6, 4));
    QCOMPARE(o.date(QStringLiteral("DateAdded")), QDate(2010, 5, 14));
    QCOMPARE(o.text(QStringLiteral("ShipToAddress2")), QStringLiteral("Bay 4"));
    QCOMPARE(o.text(QStringLiteral("ShipToFax")), QStringLiteral("937-555-0102"));
    QCOMPARE(o.money(QStringLiteral("Total")), Money::fromUnits(1150500000));
    QCOMPARE(storedLines(id), QStringList({"1:3xA100@150=450", "2:1200xQ100@95.5=114600"}));

    const ReportJob &job = m_reports.prints.first();
    QCOMPARE(job.design, QStringLiteral("crptOrderEntryControlReport"));
    QCOMPARE(job.rows.columns(),
             QStringList({"ID", "OrderNumber", "Customer", "OrderDate", "DueDate", "ShipTo", "ShipToAddress1",
                          "ShipToAddress2", "ShipToCity", "ShipToState", "ShipToZip", "ShipToPhone", "ShipToFax",
                          "Status", "DateAdded", "Total", "OrderID", "ItemNumber", "Qty", "StyleID", "MaterialID",
                          "CustomerRefNo", "PriceEach", "PriceExt"}));
    QCOMPARE(job.rows.size(), 2);
    QCOMPARE(job.rows.at(1).text(QStringLiteral("CustomerRefNo")), QStringLiteral("Q100"));
    QCOMPARE(job.rows.at(1).integer(QStringLiteral("ID")), id);
}

void TestOrderEntry::customerBringsShipTo()
{
    OrderEntry *w = openOrderWindow();
    // Only active customers are offered.
    auto *combo = control<QComboBox>(w, "cmbCustomer");
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->currentIndex(), -1);
    chooseCustomer(w, QStringLiteral("q"));
    QCOMPARE(control<QLineEdit>(w, "txtShipTo")->text(), QStringLiteral("Quintar"));
    QCOMPARE(control<QLineEdit>(w, "txtAddress1")->text(), QStringLiteral("2 Dock Rd"));
    QCOMPARE(control<QLineEdit>(w, "txtZip")->text(), QStringLiteral("45403"));
    chooseCustomer(w, QStringLiteral("a"));
    QCOMPARE(control<QLineEdit>(w, "txtAddress2")->text(), QStringLiteral("Bay 4"));
    QCOMPARE(control<QLineEdit>(w, "txtPhone")->text(), QStringLiteral("937-555-0101"));
    for (const char *name : {"txtShipTo", "txtAddress1", "txtAddress2", "txtCity", "txtState", "txtZip", "txtPhone",
                             "txtFax"})
        QVERIFY2(!control<QLineEdit>(w, name)->isEnabled(), name);
}

void TestOrderEntry::storedOrderChangedAndResaved()
{
    const qint64 id = m_db->addOrder(QStringLiteral("Acme Upholstery"), QStringLiteral("PO-7"));
    m_db->addOrderLine(id, 1, 2, QStringLiteral("A100"), 150);
    m_db->addOrderLine(id, 2, 5, QStringLiteral("Q100"), 95.5);
    m_db->addOrderLine(id, 3, 1, QStringLiteral("Q200"), 120);

    OrderEntry *w = openOrderWindow();
    w->OpenOrder(qint32(id));
    QCOMPARE(control<QLabel>(w, "lblID")->text(), QString::number(id));
    QCOMPARE(control<QLabel>(w, "lblStatus")->text(), QStringLiteral("Open"));
    QCOMPARE(control<QLineEdit>(w, "txtOrderNumber")->text(), QStringLiteral("PO-7"));
    QCOMPARE(control<QDateEdit>(w, "dtOrderDate")->date(), QDate(2010, 5, 1));
    for (const char *name : {"cmbCustomer", "txtOrderNumber", "dtOrderDate", "dtDueDate"})
        QVERIFY2(!w->findChild<QWidget *>(QString::fromLatin1(name))->isEnabled(), name);
    Grid *g = w->vsfgItems;
    QCOMPARE(gridColumn(g, 0), QStringList({"1", "2", "3"}));
    QVERIFY(control<QLabel>(w, "lblItem")->text().isEmpty()); // no line chosen by loading

    // Line 2 chosen and deleted: a gap stays, the next line is 4.
    g->setCurrentCell(1, 0);
    QCOMPARE(control<QLabel>(w, "lblItem")->text(), QStringLiteral("2"));
    QCOMPARE(control<QLineEdit>(w, "txtCustomerRefNo")->text(), QStringLiteral("Q100"));
    MessageBox::clearShown();
    MessageBox::script({MessageBox::Yes});
    control<QPushButton>(w, "btnDeleteItem")->click();
    QCOMPARE(MessageBox::shown().at(0).text, QStringLiteral("Are you sure you want to delete Line Item 2?"));
    QCOMPARE(MessageBox::shown().at(0).title, QStringLiteral("Delete Confirmation"));
    QCOMPARE(gridColumn(g, 0), QStringList({"1", "3"}));
    QCOMPARE(w->total(), Money::fromUnits(4200000));
    enterLine(w, QStringLiteral("4"), QStringLiteral("Q300"));
    QCOMPARE(gridColumn(g, 0), QStringList({"1", "3", "4"}));

    // Line 1 changed in place; a changed line asks no price question and leaves the catalogue alone.
    g->setCurrentCell(0, 0);
    auto *qty = control<QLineEdit>(w, "txtQty");
    qty->setText(QStringLiteral("6"));
    auto *price = control<QLineEdit>(w, "txtPriceEach");
    focus(price);
    price->setText(QStringLiteral("140"));
    focus(qty);
    QCOMPARE(control<QLabel>(w, "lblPriceExt")->text(), QStringLiteral("840"));
    MessageBox::clearShown();
    control<QPushButton>(w, "btnSaveItem")->click();
    QCOMPARE(MessageBox::shown().size(), 0);
    QCOMPARE(g->rowTexts(0), QStringList({"1", "6", "A100", "ST-A100", "BLK-01", "140", "840"}));
    QCOMPARE(DbConnection().scalar(QStringLiteral("SELECT TotalPrice FROM Sets WHERE CustomerRefNo = 'A100'")).toDouble(),
             150.0);

    MessageBox::script({MessageBox::Yes});
    control<QPushButton>(w, "btnSave")->click();
    flushDeletes();
    QCOMPARE(storedLines(id), QStringList({"1:6xA100@140=840", "3:1xQ200@120=120", "4:4xQ300@80=320"}));
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM Orders")), 1);
    QCOMPARE(DbConnection().scalar(QStringLiteral("SELECT Total FROM Orders WHERE ID = ?"), {id}).toDouble(), 1280.0);
    QCOMPARE(m_reports.prints.size(), 1);
    QCOMPARE(m_reports.prints.first().rows.size(), 3);
}

void TestOrderEntry::deleteRefusedWhenCutsheetsExist()
{
    const qint64 id = m_db->addOrder(QStringLiteral("Acme Upholstery"), QStringLiteral("PO-8"));
    m_db->addOrderLine(id, 1, 2, QStringLiteral("A100"), 150);
    m_db->addOrderLine(id, 2, 5, QStringLiteral("Q100"), 95.5);
    m_db->addEmployee(QStringLiteral("123-45-6789"), QStringLiteral("Ann"), QStringLiteral("Cutter"));
    m_db->db().insert(QStringLiteral("Cutsheets"), {{"SSN", QStringLiteral("123-45-6789")},
                                                    {"Date", QDate(2010, 5, 12)},
                                                    {"OrderID", id},
                                                    {"Item", 2},
                                                    {"Sets", 1},
                                                    {"Feet", 12.0}});
    OrderEntry *w = openOrderWindow();
    w->OpenOrder(qint32(id));
    w->vsfgItems->setCurrentCell(1, 0);
    MessageBox::clearShown();
    control<QPushButton>(w, "btnDeleteItem")->click();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().at(0).text, QStringLiteral("Cutsheets exists for this Line Item. It cannot be deleted."));
    QCOMPARE(MessageBox::shown().at(0).title, QStringLiteral("Cannot Delete Line Item"));
    QCOMPARE(w->vsfgItems->rowCount(), 2);
    // The line without cut sheets can go.
    w->vsfgItems->setCurrentCell(0, 0);
    MessageBox::script({MessageBox::Yes});
    control<QPushButton>(w, "btnDeleteItem")->click();
    QCOMPARE(gridColumn(w->vsfgItems, 0), QStringList({"2"}));
}

void TestOrderEntry::deleteOnUnsavedOrder()
{
    OrderEntry *w = openOrderWindow();
    enterLine(w, QStringLiteral("1"), QStringLiteral("A100"));
    enterLine(w, QStringLiteral("2"), QStringLiteral("Q100"));
    // Nothing happens without a chosen line.
    MessageBox::clearShown();
    control<QPushButton>(w, "btnDeleteItem")->click();
    QCOMPARE(MessageBox::shown().size(), 0);
    w->vsfgItems->setCurrentCell(0, 0);
    MessageBox::script({MessageBox::No});
    control<QPushButton>(w, "btnDeleteItem")->click();
    QCOMPARE(w->vsfgItems->rowCount(), 2); // No keeps it
    w->vsfgItems->setCurrentCell(1, 0);
    w->vsfgItems->setCurrentCell(0, 0);
    MessageBox::script({MessageBox::Yes});
    control<QPushButton>(w, "btnDeleteItem")->click();
    QCOMPARE(gridColumn(w->vsfgItems, 0), QStringList({"2"}));
    enterLine(w, QStringLiteral("1"), QStringLiteral("Q200"));
    QCOMPARE(gridColumn(w->vsfgItems, 0), QStringList({"2", "3"}));
}

void TestOrderEntry::priceQuestion_data()
{
    QTest::addColumn<QString>("lastChange"); // PriceUpdate date, empty for none (cut-off 1/1/2010)
    QTest::addColumn<QString>("typedPrice");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<double>("setPrice");
    QTest::addColumn<double>("leatherPrice");

    QTest::newRow("never changed, Yes") << "" << "90" << int(MessageBox::Yes) << true << 90.0 << 60.0;
    QTest::newRow("never changed, No") << "" << "90" << int(MessageBox::No) << true << 150.0 << 120.0;
    QTest::newRow("changed before cut-off") << "2009-12-01" << "160" << int(MessageBox::Yes) << true << 160.0 << 130.0;
    QTest::newRow("changed after cut-off") << "2010-02-01" << "90" << int(MessageBox::Yes) << false << 150.0 << 120.0;
    QTest::newRow("catalogue price") << "" << "150" << int(MessageBox::Yes) << false << 150.0 << 120.0;
    QTest::newRow("same price written otherwise") << "" << "$150.00" << int(MessageBox::Yes) << false << 150.0 << 120.0;
}

void TestOrderEntry::priceQuestion()
{
    QFETCH(QString, lastChange);
    QFETCH(QString, typedPrice);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(double, setPrice);
    QFETCH(double, leatherPrice);
    if (!lastChange.isEmpty())
        m_db->db().insert(QStringLiteral("PriceUpdate"), {{"CustomerRefNumber", QStringLiteral("A100")},
                                                          {"DatePriceChanged", lastChange}});
    OrderEntry *w = openOrderWindow();
    MessageBox::clearShown();
    MessageBox::script({MessageBox::Button(answer)});
    enterLine(w, QStringLiteral("2"), QStringLiteral("A100"), typedPrice);
    QCOMPARE(w->storedSetPrice(), Money::fromUnits(1500000));
    const MessageBox::Shown *q = findShown(QStringLiteral("Price Change"));
    QCOMPARE(q != nullptr, asked);
    if (q) {
        QCOMPARE(q->text, QStringLiteral("Do you want to save this new price for this item"));
        QCOMPARE(q->buttons, MessageBox::YesNo);
    }
    // The line keeps the typed price whatever the answer.
    QCOMPARE(w->vsfgItems->rowCount(), 1);
    QCOMPARE(Money::parse(w->vsfgItems->text(0, 5)), Money::parse(typedPrice));
    const Row set = DbConnection().query(QStringLiteral("SELECT * FROM Sets WHERE CustomerRefNo = 'A100'")).first();
    QCOMPARE(set.number(QStringLiteral("TotalPrice")), setPrice);
    QCOMPARE(set.number(QStringLiteral("LeatherPrice")), leatherPrice);
    const bool written = asked && answer == MessageBox::Yes;
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM PriceUpdate WHERE DatePriceChanged = '2010-05-14'")),
             written ? 1 : 0);
}

void TestOrderEntry::lineRefusals_data()
{
    // The rule's own table: the window shows each refusal and puts the focus in its box.
    lineRefusalRows();
}

void TestOrderEntry::lineRefusals()
{
    QFETCH(QString, qty);
    QFETCH(QString, ref);
    QFETCH(QString, price);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(QString, focusBox);
    OrderEntry *w = openOrderWindow();
    auto *priceBox = control<QLineEdit>(w, "txtPriceEach");
    control<QLineEdit>(w, "txtQty")->setText(qty);
    control<QLineEdit>(w, "txtCustomerRefNo")->setText(ref);
    priceBox->setText(price);
    MessageBox::clearShown();
    control<QPushButton>(w, "btnSaveItem")->click();
    QApplication::processEvents();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().at(0).text, text);
    QCOMPARE(MessageBox::shown().at(0).title, title);
    QCOMPARE(MessageBox::shown().at(0).buttons, MessageBox::OkOnly);
    QCOMPARE(QApplication::focusWidget()->objectName(), focusBox);
    QCOMPARE(w->vsfgItems->rowCount(), 0);
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM PriceUpdate")), 0);
}

void TestOrderEntry::invalidReferenceOnLeave()
{
    OrderEntry *w = openOrderWindow();
    auto *ref = control<QLineEdit>(w, "txtCustomerRefNo");
    focus(ref);
    ref->setText(QStringLiteral("X900")); // inactive
    MessageBox::clearShown();
    focus(control<QLineEdit>(w, "txtPriceEach"));
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().at(0).text, QStringLiteral("Not a valid Customer Reference Number. Please re-enter."));
    QCOMPARE(MessageBox::shown().at(0).title, QStringLiteral("Invalid Customer Reference Number"));
    QApplication::processEvents();
    QCOMPARE(QApplication::focusWidget(), ref);
    QVERIFY(control<QLineEdit>(w, "txtPriceEach")->text().isEmpty());

    // A valid one fills the row; a quantity with trailing letters counts by its leading number.
    control<QLineEdit>(w, "txtQty")->setText(QStringLiteral("3 sets"));
    ref->setText(QStringLiteral("q200"));
    focus(control<QLineEdit>(w, "txtPriceEach"));
    QCOMPARE(control<QLineEdit>(w, "txtStyle")->text(), QStringLiteral("ST-Q200"));
    QCOMPARE(control<QLineEdit>(w, "txtMaterial")->text(), QStringLiteral("BLK-01"));
    QCOMPARE(control<QLineEdit>(w, "txtPriceEach")->text(), QStringLiteral("120"));
    QCOMPARE(control<QLabel>(w, "lblPriceExt")->text(), QStringLiteral("360"));
}

void TestOrderEntry::voidAndOpen()
{
    OrderEntry *w = openOrderWindow();
    chooseCustomer(w, QStringLiteral("a"));
    control<QLineEdit>(w, "txtOrderNumber")->setText(QStringLiteral("PO-V"));
    MessageBox::clearShown();
    MessageBox::script({MessageBox::Yes, MessageBox::Yes});
    control<QPushButton>(w, "btnVoidOrder")->click();
    QCOMPARE(MessageBox::shown().at(0).text, QStringLiteral("Are you sure you want to void this order?"));
    QCOMPARE(MessageBox::shown().at(0).title, QStringLiteral("Void Order Confirmations"));
    QCOMPARE(control<QLabel>(w, "lblStatus")->text(), QStringLiteral("Void"));
    control<QPushButton>(w, "btnSave")->click();
    flushDeletes();
    // A new order is always stored open.
    QCOMPARE(DbConnection().scalar(QStringLiteral("SELECT Status FROM Orders")).toString(), QStringLiteral("Open"));
    const qint64 id = DbConnection().scalar(QStringLiteral("SELECT ID FROM Orders")).toLongLong();

    w = openOrderWindow();
    w->OpenOrder(qint32(id));
    MessageBox::clearShown();
    MessageBox::script({MessageBox::No});
    control<QPushButton>(w, "btnVoidOrder")->click();
    QCOMPARE(control<QLabel>(w, "lblStatus")->text(), QStringLiteral("Open"));
    MessageBox::script({MessageBox::Yes, MessageBox::Yes});
    control<QPushButton>(w, "btnVoidOrder")->click();
    control<QPushButton>(w, "btnSave")->click();
    flushDeletes();
    QCOMPARE(DbConnection().scalar(QStringLiteral("SELECT Status FROM Orders")).toString(), QStringLiteral("Void"));

    w = openOrderWindow();
    w->OpenOrder(qint32(id));
    MessageBox::clearShown();
    MessageBox::script({MessageBox::Yes, MessageBox::Yes});
    control<QPushButton>(w, "btnOpenOrder")->click();
    QCOMPARE(MessageBox::shown().at(0).text, QStringLiteral("Are you sure you want to open this order?"));
    QCOMPARE(MessageBox::shown().at(0).title, QStringLiteral("Open Order Confirmations"));
    control<QPushButton>(w, "btnSave")->click();
    flushDeletes();
    QCOMPARE(DbConnection().scalar(QStringLiteral("SELECT Status FROM Orders")).toString(), QStringLiteral("Open"));
}

void TestOrderEntry::duplicateOrderNumberWarnsButSaves()
{
    m_db->addOrder(QStringLiteral("Quintar"), QStringLiteral("PO-9"));
    OrderEntry *w = openOrderWindow();
    chooseCustomer(w, QStringLiteral("a"));
    auto *number = control<QLineEdit>(w, "txtOrderNumber");
    focus(number);
    number->setText(QStringLiteral("PO-10"));
    MessageBox::clearShown();
    focus(control<QLineEdit>(w, "txtQty"));
    QCOMPARE(MessageBox::shown().size(), 0);
    focus(number);
    number->setText(QStringLiteral("po-9"));
    focus(control<QLineEdit>(w, "txtQty"));
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().at(0).text, QStringLiteral("This Customer Order Number has been previously used."));
    QCOMPARE(MessageBox::shown().at(0).title, QStringLiteral("Order Number Previously Used."));
    QCOMPARE(MessageBox::shown().at(0).icon, MessageBox::Exclamation);
    QCOMPARE(number->text(), QStringLiteral("po-9"));
    MessageBox::script({MessageBox::Yes});
    control<QPushButton>(w, "btnSave")->click();
    flushDeletes();
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM Orders WHERE OrderNumber = 'PO-9'")), 2);
}

void TestOrderEntry::requiredFields()
{
    OrderEntry *w = openOrderWindow();
    MessageBox::clearShown();
    control<QLineEdit>(w, "txtOrderNumber")->setText(QStringLiteral("PO-1"));
    control<QPushButton>(w, "btnSave")->click(); // no customer
    chooseCustomer(w, QStringLiteral("a"));
    control<QLineEdit>(w, "txtOrderNumber")->clear();
    control<QPushButton>(w, "btnSave")->click(); // no order number
    QCOMPARE(MessageBox::shown().size(), 2);
    for (const auto &s : MessageBox::shown()) {
        QCOMPARE(s.text, QStringLiteral("Customer and Order Number fields are required."));
        QCOMPARE(s.title, QStringLiteral("Required Fields"));
    }
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM Orders")), 0);
    QVERIFY(MainWindow::findChildWindow(QStringLiteral("OrderEntry")));
}

void TestOrderEntry::failedSaveLeavesNothing_data()
{
    QTest::addColumn<bool>("stored");
    QTest::newRow("new order") << false;
    QTest::newRow("stored order") << true;
}

void TestOrderEntry::failedSaveLeavesNothing()
{
    QFETCH(bool, stored);
    qint64 id = 0;
    if (stored) {
        id = m_db->addOrder(QStringLiteral("Acme Upholstery"), QStringLiteral("PO-S"));
        m_db->addOrderLine(id, 1, 2, QStringLiteral("A100"), 150);
    }
    // The second line written fails inside the save.
    RefusedWrites refused(m_db->db(), QStringLiteral("OrderItem"), QStringLiteral("INSERT"),
                          QStringLiteral("line 2 refused"), QStringLiteral("NEW.ItemNumber = 2"));
    OrderEntry *w = openOrderWindow();
    if (stored) {
        w->OpenOrder(qint32(id));
        MessageBox::script({MessageBox::Yes});
        control<QPushButton>(w, "btnVoidOrder")->click();
    } else {
        chooseCustomer(w, QStringLiteral("a"));
        control<QLineEdit>(w, "txtOrderNumber")->setText(QStringLiteral("PO-F"));
        enterLine(w, QStringLiteral("1"), QStringLiteral("A100"));
    }
    enterLine(w, QStringLiteral("3"), QStringLiteral("Q100"));
    MessageBox::clearShown();
    control<QPushButton>(w, "btnSave")->click();
    flushDeletes();

    QCOMPARE(MessageBox::shown().size(), 1);
    QVERIFY2(MessageBox::shown().at(0).text.contains(QStringLiteral("line 2 refused")),
             qPrintable(MessageBox::shown().at(0).text));
    QCOMPARE(m_reports.prints.size(), 0);
    QVERIFY(MainWindow::findChildWindow(QStringLiteral("OrderEntry"))); // still open with its edits
    QCOMPARE(w->vsfgItems->rowCount(), 2);
    if (stored) {
        QCOMPARE(storedLines(id), QStringList({"1:2xA100@150=300"}));
        QCOMPARE(DbConnection().scalar(QStringLiteral("SELECT Status FROM Orders")).toString(), QStringLiteral("Open"));
    } else {
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM Orders")), 0);
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM OrderItem")), 0);
        QVERIFY(control<QLabel>(w, "lblID")->text().isEmpty());
    }

    // Once the fault is gone the same window saves everything.
    refused.lift();
    MessageBox::script({MessageBox::Yes});
    control<QPushButton>(w, "btnSave")->click();
    flushDeletes();
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM Orders")), 1);
    QCOMPARE(count(QStringLiteral("SELECT count(*) FROM OrderItem")), 2);
}

// Another workstation saved the order after this window opened it: the save is refused with
// the message, the window keeps its edits, and the other workstation's save stands.
void TestOrderEntry::saveAfterAnotherWorkstationKeepsEdits()
{
    const qint64 id = m_db->addOrder(QStringLiteral("Acme Upholstery"), QStringLiteral("PO-W"));
    m_db->addOrderLine(id, 1, 2, QStringLiteral("A100"), 150);
    OrderEntry *w = openOrderWindow();
    w->OpenOrder(qint32(id));
    enterLine(w, QStringLiteral("3"), QStringLiteral("Q100"));
    {
        auto other = Database::open(m_db->path(), schema::password());
        ConnectionScope use(*other);
        std::vector<OrderLine> lines = orders::loadOrderLines(id);
        lines.front().qty = 4;
        orders::saveOrder(*orders::loadOrder(id), lines);
    }
    MessageBox::clearShown();
    control<QPushButton>(w, "btnSave")->click();
    flushDeletes();
    QCOMPARE(MessageBox::shown().size(), 1);
    QCOMPARE(MessageBox::shown().at(0).text,
             DbError::changedMessage(QStringLiteral("Order %1").arg(id)));
    QCOMPARE(m_reports.prints.size(), 0);
    QVERIFY(MainWindow::findChildWindow(QStringLiteral("OrderEntry")));
    QCOMPARE(w->vsfgItems->rowCount(), 2);
    QCOMPARE(storedLines(id), QStringList({"1:4xA100@150=600"}));
}

void TestOrderEntry::openOrderUnknownIdKeepsWindow()
{
    const qint64 id = m_db->addOrder(QStringLiteral("Acme Upholstery"), QStringLiteral("PO-K"));
    m_db->addOrderLine(id, 1, 2, QStringLiteral("A100"), 150);
    OrderEntry *w = openOrderWindow();
    w->OpenOrder(qint32(id));
    w->OpenOrder(0);
    QCOMPARE(control<QLineEdit>(w, "txtOrderNumber")->text(), QStringLiteral("PO-K"));
    QCOMPARE(w->vsfgItems->rowCount(), 1);
    QCOMPARE(control<QLineEdit>(w, "lblTotal")->text(), QStringLiteral("$0.00")); // the stored total
}

void TestOrderEntry::commandsOpenWindows()
{
    MainWindow main;
    main.show();
    main.runCommand(QStringLiteral("OrderEntry"));
    QWidget *entry = MainWindow::findChildWindow(QStringLiteral("OrderEntry"));
    QVERIFY(qobject_cast<OrderEntry *>(entry));
    main.runCommand(QStringLiteral("OrderEntry"));
    QCOMPARE(MainWindow::findChildWindow(QStringLiteral("OrderEntry")), entry);
    main.runCommand(QStringLiteral("OrderNavigator"));
    QVERIFY(MainWindow::findChildWindow(QStringLiteral("OrderNavigator")));
    // Placed right of the navigation pane, at the top.
    QCOMPARE(entry->parentWidget()->pos(), QPoint(main.slideBar()->width(), 0));
    main.mdiArea()->closeAllSubWindows();
    flushDeletes();
}

QTEST_MAIN(TestOrderEntry)
#include "tst_orderentry.moc"
