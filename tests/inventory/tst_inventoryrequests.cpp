#include "InventoryFixture.h"
#include "WindowDriver.h"
#include "core/ReportJob.h"
#include "inventory/InventoryCommands.h"
#include "inventory/InventoryReports.h"
#include "inventory/InventoryRequests.h"
#include "ui/CommandRegistry.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QListWidget>
#include <QPushButton>

// The four material report requests: their inputs, checks and the rows they hand over.
class TestInventoryRequests : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> t;
    CapturedReports reports;
    QPointer<QWidget> window;

    template <typename W> W *open(const QString &key)
    {
        auto *w = drive::open<W>(key);
        window = w;
        return w;
    }
    static QList<QVariantList> values(const ReportJob &job)
    {
        QList<QVariantList> out;
        for (const Row &r : job.rows)
            out << r.values();
        return out;
    }
    // The one preview shown, which must hold the same rows as `expected`.
    void checkPreview(const ReportJob &expected)
    {
        QCOMPARE(reports.previews.size(), 1);
        const ReportJob &shown = reports.previews.first();
        QCOMPARE(shown.design, expected.design);
        QCOMPARE(shown.rows.columns(), expected.rows.columns());
        QCOMPARE(values(shown), values(expected));
        QCOMPARE(shown.textSlots, expected.textSlots);
        QVERIFY(!drive::stillOpen(window));
    }

private Q_SLOTS:
    void init()
    {
        t = std::make_unique<TestDatabase>();
        t->addMaterial(QStringLiteral("BLK"));
        t->addMaterial(QStringLiteral("OLD"));
        t->db().exec(QStringLiteral("UPDATE Material SET Status = 'InActive' WHERE ID = 'OLD'"));
        for (const char *c : {"Elm", "Acme", "Dune", "Bolt", "Cove"})
            t->addCustomer(QString::fromLatin1(c));
        t->addSet(QStringLiteral("S1"), QStringLiteral("Acme"), 100);
        const qint64 order = t->addOrder(QStringLiteral("Acme"), QStringLiteral("O1"));
        fixture::line(order, 1, 4, QStringLiteral("S1"), QStringLiteral("BLK"));
        fixture::adjust(QDate(2010, 4, 1), {{"BLK", 50, 4}, {"OLD", 1, 1}});
        fixture::cut(order, 1, 1, 13, QDate(2010, 5, 2));
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

    void asOfRequests_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("inactive");
        QTest::newRow("available, active") << "AvailableInventory" << false;
        QTest::newRow("available, inactive too") << "AvailableInventory" << true;
        QTest::newRow("valuation, active") << "InventoryValuation" << false;
        QTest::newRow("valuation, inactive too") << "InventoryValuation" << true;
    }
    void asOfRequests()
    {
        QFETCH(QString, key);
        QFETCH(bool, inactive);
        const bool available = key == QLatin1String("AvailableInventory");
        AsOfRequest *w = available ? static_cast<AsOfRequest *>(open<frmAvailableInventory>(key))
                                   : static_cast<AsOfRequest *>(open<frmInventoryValuation>(key));
        QCOMPARE(w->windowTitle(), available ? QStringLiteral("Available Inventory Report")
                                             : QStringLiteral("Inventory Valuation Summary"));
        QCOMPARE(w->dtDate->date(), QDate(2010, 5, 14));
        QVERIFY(!w->chkInActive->isChecked());
        // Captions as shown: the "&" only marks the Alt key.
        QCOMPARE(QString(w->chkInActive->text()).remove(u'&'), QStringLiteral("Display InActive Items"));
        QCOMPARE(QString(w->btnOk->text()).remove(u'&'), QStringLiteral("OK"));
        w->dtDate->setDate(QDate(2010, 5, 1));
        w->chkInActive->setChecked(inactive);
        drive::click(w->btnOk);
        const ReportJob expected = available ? inventory::availableInventoryJob(QDate(2010, 5, 1), inactive)
                                             : inventory::inventoryValuationJob(QDate(2010, 5, 1), inactive);
        QCOMPARE(expected.rows.size(), inactive ? 2 : 1);
        checkPreview(expected);
    }

    void historyRequest_data()
    {
        QTest::addColumn<int>("materialIndex");
        QTest::addColumn<bool>("cutsheets");
        QTest::newRow("all with cut sheets") << 0 << true;
        QTest::newRow("one material without cut sheets") << 1 << false;
    }
    void historyRequest()
    {
        QFETCH(int, materialIndex);
        QFETCH(bool, cutsheets);
        auto *w = open<frmLeatherHistory>(QStringLiteral("LeatherHistory"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Material History Report"));
        QCOMPARE(w->cmbMaterial->count(), 3);
        QCOMPARE(w->cmbMaterial->itemText(0), QStringLiteral("***All Materials***"));
        QCOMPARE(w->cmbMaterial->itemText(1), QStringLiteral("BLK"));
        QCOMPARE(w->cmbMaterial->currentIndex(), 0);
        QVERIFY(w->chkCutsheets->isChecked());
        w->dtStart->setDate(QDate(2010, 4, 1));
        w->cmbMaterial->setCurrentIndex(materialIndex);
        w->chkCutsheets->setChecked(cutsheets);
        drive::click(w->btnOK);
        const ReportJob expected = inventory::materialHistoryJob(
            QDate(2010, 4, 1), QDate(2010, 5, 14),
            materialIndex ? std::optional<QString>(QStringLiteral("BLK")) : std::nullopt, cutsheets);
        QCOMPARE(expected.rows.size(), cutsheets ? 3 : 1);
        checkPreview(expected);
    }

    void salesRequestChecks_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QString>("message"); // empty: previewed
        const QStringList four = {"Acme", "Bolt", "Cove", "Dune"};
        QTest::newRow("same day") << QDate(2010, 5, 14) << four
                                  << "You must select 1 week intervals for the dates.";
        QTest::newRow("three customers") << QDate(2010, 4, 1) << QStringList{"Acme", "Bolt", "Cove"}
                                         << "You must select 4 customers from the list.";
        QTest::newRow("five customers") << QDate(2010, 4, 1) << (four + QStringList{"Elm"})
                                        << "You must select 4 customers from the list.";
        QTest::newRow("four over weeks") << QDate(2010, 4, 1) << four << "";
    }
    void salesRequestChecks()
    {
        QFETCH(QDate, from);
        QFETCH(QStringList, chosen);
        QFETCH(QString, message);
        auto *w = open<frmLeatherSales>(QStringLiteral("LeatherSales"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Leather Sales Report Options"));
        QStringList names;
        for (int i = 0; i < w->lstCustomers->count(); ++i)
            names << w->lstCustomers->item(i)->text();
        QCOMPARE(names, QStringList({"Acme", "Bolt", "Cove", "Dune", "Elm"}));
        w->dtStart->setDate(from);
        // Chosen from the bottom up: the list order decides C1 to C4.
        for (int i = int(chosen.size()) - 1; i >= 0; --i)
            w->lstCustomers->item(names.indexOf(chosen.at(i)))->setSelected(true);
        drive::click(w->btnOK);
        if (!message.isEmpty()) {
            QCOMPARE(drive::shownTexts(), QStringList{message});
            QVERIFY(drive::stillOpen(window));
            QVERIFY(reports.previews.isEmpty());
            return;
        }
        QVERIFY(MessageBox::shown().isEmpty());
        checkPreview(inventory::leatherSalesJob(from, QDate(2010, 5, 14), chosen));
        QCOMPARE(reports.previews.first().textSlots.value(2).second, QStringLiteral("Acme"));
    }

    void commandsOpenTheirWindows_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("title");
        QTest::newRow("adjust") << "InventoryAdjust"
                                << "Inventory Adjust";
        QTest::newRow("value") << "AdjustValue"
                               << "Inventory Value Adjust";
        QTest::newRow("available") << "AvailableInventory"
                                   << "Available Inventory Report";
        QTest::newRow("valuation") << "InventoryValuation"
                                   << "Inventory Valuation Summary";
        QTest::newRow("history") << "LeatherHistory"
                                 << "Material History Report";
        QTest::newRow("sales") << "LeatherSales"
                               << "Leather Sales Report Options";
    }
    void commandsOpenTheirWindows()
    {
        QFETCH(QString, key);
        QFETCH(QString, title);
        inventory::registerCommands();
        QVERIFY(commands::isRegistered(QStringLiteral("ResetPrice")));
        QVERIFY(commands::run(key));
        QWidget *w = MainWindow::findChildWindow(key);
        QVERIFY(w);
        window = w;
        QCOMPARE(w->windowTitle(), title);
        QVERIFY(commands::run(key)); // open already: the same window
        QCOMPARE(MainWindow::findChildWindow(key), w);
    }
};

QTEST_MAIN(TestInventoryRequests)
#include "tst_inventoryrequests.moc"
