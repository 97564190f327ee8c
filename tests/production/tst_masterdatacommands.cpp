#include "production/CustomerEntry.h"
#include "production/EmployeeEntry.h"
#include "ui/MainWindow.h"
#include "production/MaterialEntry.h"
#include "production/SetEntry.h"
#include "reports/ReportRegistry.h"
#include "TestSupport.h"

#include <QMdiArea>
#include <QTest>

using namespace MasterData;

// The commands that open the master-data windows, and the listings that show what they save.
class TestMasterDataCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandOpensItsWindowOnce_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("first");
        QTest::newRow("sets") << "SetEntry" << "Set Entry/Edit" << "cmbCustomer";
        QTest::newRow("customers") << "CustomerEntry" << "Customer Entry/Edit" << "cmbCustomer";
        QTest::newRow("employees") << "EmployeeEntry" << "Employee Entry/Edit" << "txtSSN";
        QTest::newRow("materials") << "MaterialEntry" << "Material Entry/Edit" << "txtID";
    }
    void commandOpensItsWindowOnce()
    {
        QFETCH(QString, key);
        QFETCH(QString, caption);
        QFETCH(QString, first);
        TestDatabase db;
        MainWindow main;
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        const int before = main.mdiArea()->subWindowList().size();
        main.runCommand(key);
        QWidget *child = MainWindow::findChildWindow(key);
        QVERIFY(child);
        QCOMPARE(child->windowTitle(), caption);
        QApplication::processEvents();
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), first); // ready for typing
        QCOMPARE(QApplication::overrideCursor(), nullptr); // the busy pointer is back to normal
        main.runCommand(key);
        QCOMPARE(MainWindow::findChildWindow(key), child);
        QCOMPARE(main.mdiArea()->subWindowList().size(), before + 1);
    }

    // Every column a listing reads is filled by a save of a complete record.
    void listingsShowWhatIsSaved_data()
    {
        QTest::addColumn<QString>("listing");
        QTest::newRow("customers") << "crptCustomerReport";
        QTest::newRow("employees") << "crptEmployeeReport";
        QTest::newRow("sets") << "crptSetReport";
        QTest::newRow("materials") << "crptMaterialReport";
    }
    void listingsShowWhatIsSaved()
    {
        QFETCH(QString, listing);
        TestDatabase db;
        Fields customer;
        for (const char *c : {"Address1", "Address2", "City", "State", "Zip", "Phone", "Fax", "ShipTo",
                              "ShipToAddress1", "ShipToAddress2", "ShipToCity", "ShipToState", "ShipToZip",
                              "ShipToPhone", "ShipToFax", "Terms"})
            customer.emplace_back(QString::fromLatin1(c), QStringLiteral("x"));
        customer.emplace_back(QStringLiteral("Name"), QStringLiteral("Cove"));
        customer.emplace_back(QStringLiteral("Status"), QStringLiteral("Active"));
        customer.emplace_back(QStringLiteral("Days"), 30);
        QVERIFY(SaveCustomer(QStringLiteral("Cove"), customer));
        QVERIFY(SaveEmployee(QStringLiteral("123"),
                             {{"SSN", QStringLiteral("123")}, {"FirstName", QStringLiteral("A")},
                              {"LastName", QStringLiteral("B")}, {"Address", QStringLiteral("x")},
                              {"City", QStringLiteral("x")}, {"State", QStringLiteral("x")},
                              {"Zip", QStringLiteral("x")}, {"Phone", QStringLiteral("x")},
                              {"HireDate", QDate(2009, 1, 5)}, {"Status", QStringLiteral("Active")}}));
        SetValues set;
        set.customer = QStringLiteral("Cove");
        set.refNo = QStringLiteral("R1");
        set.style = QStringLiteral("S");
        set.material = QStringLiteral("M");
        set.reqFeet = 1.5;
        set.productionStandard = 1.25;
        for (std::optional<Money> *price : {&set.employeeRate, &set.cuttingPrice, &set.sewingPrice, &set.vinylPrice,
                                           &set.leatherPrice, &set.kitPrice, &set.totalPrice})
            *price = Money::fromUnits(10000);
        set.type = QStringLiteral("Set");
        set.status = QStringLiteral("Active");
        QVERIFY(SaveSet(set));
        QVERIFY(SaveMaterial(QStringLiteral("M"), QStringLiteral("Tan"), QStringLiteral("Active"),
                             QStringLiteral("Leather")));

        // The listing's own row builder, as the navigation pane runs it.
        const reports::Document *document = reports::find(listing);
        QVERIFY(document);
        const RowSet rows = reports::buildJob(*document).rows;
        QCOMPARE(rows.size(), 1);
        for (int i = 0; i < rows.columns().size(); ++i)
            QVERIFY2(!rows[0].value(i).isNull(), qPrintable(rows.columns()[i]));
    }
};

QTEST_MAIN(TestMasterDataCommands)
#include "tst_masterdatacommands.moc"
