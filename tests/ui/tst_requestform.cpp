#include "WindowDriver.h"
#include "core/ReportJob.h"
#include "ui/CommandRegistry.h"

#include <QDateEdit>
#include <QListWidget>
#include <QPushButton>

// Every report request window is the one shared form: its controls come from its description,
// Return presses Ok (or the focused button), Escape cancels, and Ok produces its document.
class TestRequestForm : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> t;
    CapturedReports reports;
    QPointer<QWidget> window;

    QWidget *open(const QString &key)
    {
        if (!commands::run(key))
            return nullptr;
        QWidget *w = MainWindow::findChildWindow(key);
        window = w;
        if (w) {
            w->activateWindow();
            if (!QTest::qWaitForWindowActive(w))
                return nullptr;
        }
        return w;
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        for (const char *c : {"Acme", "Bolt", "Cove", "Dune"})
            t->addCustomer(QString::fromLatin1(c));
        t->addEmployee(QStringLiteral("111"), QStringLiteral("Ann"), QStringLiteral("Avery"));
        t->addMaterial(QStringLiteral("BLK-01"));
        reports = CapturedReports();
        setReportOutput(&reports);
        MessageBox::clearShown();
    }
    void cleanup()
    {
        drive::closeIfOpen(window);
        setReportOutput(nullptr);
        t.reset();
    }

    void keys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("tabs"); // the controls, in tab order
        QTest::addColumn<QString>("design");
        QTest::addColumn<QString>("press");
        const QStringList period = {"dtStart", "dtEnd"};
        const QStringList ok = {"btnOK", "btnCancel"};
        const QStringList asOf = {"dtDate"};
        const QStringList asOfOk = {"btnOk", "btnCancel"};
        const QStringList standards = {"optProd", "optCost"};
        struct Window
        {
            const char *key;
            const char *caption;
            QStringList tabs;
            const char *design;
        };
        const Window windows[] = {
            {"OpenInvoices", "Open Invoices Report", asOf + asOfOk, "crptOpenInvoicesReport"},
            {"ARTranReport", "AR Transaction Report", period + ok, "crptARTranReport"},
            {"SalesRegister", "Sales Register Report", period + ok, "crptSalesRegisterReport"},
            {"EmployeeYield", "Employee Yield Report", period + QStringList{"cmbEmployee"} + standards + ok,
             "crptEmployeeYieldReport"},
            {"CustomerYield", "Customer Yield Report", period + QStringList{"cmbCustomer"} + standards + ok,
             "crptCustomerYieldReport"},
            {"EmployeeEarnings", "Employee Earnings Report", period + ok, "crptEmployeeEarningsReport"},
            {"AvailableInventory", "Available Inventory Report", asOf + QStringList{"chkInActive"} + asOfOk,
             "crptAvailableInventoryReport"},
            {"InventoryValuation", "Inventory Valuation Summary", asOf + QStringList{"chkInActive"} + asOfOk,
             "crptInventoryValuationReport"},
            {"LeatherHistory", "Material History Report",
             period + QStringList{"cmbMaterial", "chkCutsheets"} + ok, "crptMaterialHistoryReport"},
            {"LeatherSales", "Leather Sales Report Options", period + QStringList{"lstCustomers"} + ok,
             "crptLeatherSalesReport"},
        };
        for (const Window &w : windows) {
            for (const char *press : {"Return", "Escape", "Return on Cancel"}) {
                QTest::addRow("%s, %s", w.key, press)
                    << w.key << w.caption << w.tabs << w.design << QString::fromLatin1(press);
            }
        }
    }
    void keys()
    {
        QFETCH(QString, key);
        QFETCH(QString, caption);
        QFETCH(QStringList, tabs);
        QFETCH(QString, design);
        QFETCH(QString, press);
        QWidget *w = open(key);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), caption);
        QStringList names;
        for (QWidget *stop : drive::tabStops(w))
            names << stop->objectName();
        QCOMPARE(names, tabs);

        // Inputs the sales request accepts: whole weeks and four customers.
        if (auto *start = w->findChild<QDateEdit *>(QStringLiteral("dtStart")))
            start->setDate(QDate(2010, 4, 1));
        if (auto *list = w->findChild<QListWidget *>(QStringLiteral("lstCustomers"))) {
            for (int i = 0; i < list->count(); ++i)
                list->item(i)->setSelected(true);
        }
        QWidget *focus = w->findChild<QWidget *>(tabs.first());
        if (press == QLatin1String("Return on Cancel"))
            focus = w->findChild<QPushButton *>(QStringLiteral("btnCancel"));
        drive::focus(focus);
        QTest::keyClick(focus, press == QLatin1String("Escape") ? Qt::Key_Escape : Qt::Key_Return);
        QApplication::processEvents();

        QVERIFY(!drive::stillOpen(window));
        QVERIFY(MessageBox::shown().isEmpty());
        if (press != QLatin1String("Return")) {
            QVERIFY(reports.previews.isEmpty());
            return;
        }
        QCOMPARE(reports.previews.size(), 1);
        QCOMPARE(reports.previews.first().design, design);
    }

    // A refused request stays open with its message, whichever way Ok was pressed.
    void refusedReturnKeepsTheWindow()
    {
        QWidget *w = open(QStringLiteral("LeatherSales"));
        QVERIFY(w);
        auto *start = w->findChild<QDateEdit *>(QStringLiteral("dtStart"));
        drive::focus(start);
        QTest::keyClick(start, Qt::Key_Return);
        QCOMPARE(drive::shownTexts(), QStringList{"You must select 1 week intervals for the dates."});
        QVERIFY(drive::stillOpen(window));
        QVERIFY(reports.previews.isEmpty());
    }

    // Escape while a date is being typed gives the old date back; only the next one cancels.
    void escapeEndsTypingFirst()
    {
        QWidget *w = open(QStringLiteral("ARTranReport"));
        QVERIFY(w);
        auto *start = w->findChild<QDateEdit *>(QStringLiteral("dtStart"));
        drive::focus(start);
        start->selectAll();
        QTest::keyClicks(start, QStringLiteral("4/1"));
        QTest::keyClick(start, Qt::Key_Escape);
        QVERIFY(drive::stillOpen(window));
        QCOMPARE(start->date(), QDate(2010, 5, 14));
        QTest::keyClick(start, Qt::Key_Escape);
        QVERIFY(!drive::stillOpen(window));
        QVERIFY(reports.previews.isEmpty());
    }
};

QTEST_MAIN(TestRequestForm)
#include "tst_requestform.moc"
