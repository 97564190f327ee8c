#include "DemoData.h"
#include "WindowDriver.h"
#include "orders/OrderNavigator.h"
#include "purchasing/PONavigator.h"
#include "purchasing/PendingPOItems.h"
#include "shipping/Shipment.h"
#include "ui/Grid.h"
#include "ui/MainWindow.h"
#include "ui/Widgets.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>

// The busiest windows over demo data, at their own size, driven by real keys.
class TestDemoWindows : public QObject
{
    Q_OBJECT

private:
    // The demo shop in the main window, with one window opened by its command.
    struct Shop
    {
        TestDatabase db;
        MainWindow main;
        QPointer<QWidget> window;
        explicit Shop(const QString &key)
        {
            fillDemoData(db.db(), DemoOptions{1, 20101, Clock::today()});
            main.show();
            if (!QTest::qWaitForWindowActive(&main))
                qWarning("the main window is not active");
            main.runCommand(key);
            window = MainWindow::findChildWindow(key);
        }
    };

    static QString fits(Grid *grid)
    {
        QApplication::processEvents();
        if (grid->rowCount() == 0)
            return QStringLiteral("%1 has no rows").arg(grid->objectName());
        if (grid->horizontalScrollBar()->isVisible() ||
            grid->horizontalHeader()->length() > grid->viewport()->width()) {
            QStringList columns;
            for (int c = 0; c < grid->columnCount(); ++c) {
                if (!grid->isColumnHidden(c))
                    columns << QStringLiteral("%1 %2").arg(grid->headers().at(c)).arg(grid->columnWidth(c));
            }
            return QStringLiteral("%1: columns %2 wide in %3 (%4)")
                .arg(grid->objectName())
                .arg(grid->horizontalHeader()->length())
                .arg(grid->viewport()->width())
                .arg(columns.join(QStringLiteral(", ")));
        }
        // No figure is cut: columns that are not text are as wide as what they show.
        for (int c = 0; c < grid->columnCount(); ++c) {
            if (grid->isColumnHidden(c) || grid->gridModel()->column(c).type == CellType::Text)
                continue;
            for (int r = 0; r < grid->rowCount(); ++r) {
                const QString shown = grid->displayText(r, c);
                if (grid->fontMetrics().horizontalAdvance(shown) + 6 > grid->columnWidth(c))
                    return QStringLiteral("%1: %2 cut in %3")
                        .arg(grid->objectName(), shown, grid->headers().at(c));
            }
        }
        return QString();
    }

private Q_SLOTS:
    void columnsFitAtTheDefaultSize_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("order navigator") << "OrderNavigator";
        QTest::newRow("PO navigator") << "PONavigator";
        QTest::newRow("pending items") << "PendingItems";
        QTest::newRow("shipment") << "Shipping";
    }
    void columnsFitAtTheDefaultSize()
    {
        QFETCH(QString, key);
        Shop shop(key);
        QCOMPARE(shop.main.screen()->size(), QSize(1600, 1000));
        QWidget *w = shop.window;
        QVERIFY(w);
        QList<Grid *> grids;
        if (auto *orders = qobject_cast<OrderNavigator *>(w)) {
            orders->find();
            orders->vsfgOrders->setCurrentCell(0, 0);
            grids = {orders->vsfgOrders, orders->vsfgItems};
        } else if (auto *pos = qobject_cast<frmPONavigator *>(w)) {
            pos->FindPurchaseOrders();
            grids = {pos->vsfgPO};
        } else if (auto *pending = qobject_cast<frmPendingPOItems *>(w)) {
            grids = {pending->vsfgItems};
        } else if (auto *ship = qobject_cast<Shipment *>(w)) {
            // The shipment with the most lines.
            const QString id =
                shop.db.db()
                    .scalar(QStringLiteral("SELECT ShipmentID FROM ShipmentItems GROUP BY ShipmentID "
                                           "ORDER BY COUNT(*) DESC, ShipmentID LIMIT 1"))
                    .toString();
            drive::type(ship->txtID, id);
            drive::focus(ship->dtDate);
            grids = {ship->vsfgShipment};
        }
        QVERIFY(!grids.isEmpty());
        for (Grid *g : grids)
            QVERIFY2(fits(g).isEmpty(), qPrintable(fits(g)));
    }

    // Return in a navigator's criteria runs Find, as its default button.
    void returnRunsFind_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("grid");
        QTest::newRow("order navigator") << "OrderNavigator"
                                         << "txtOrderNumber"
                                         << "vsfgOrders";
        QTest::newRow("PO navigator") << "PONavigator"
                                      << "cmbPO"
                                      << "vsfgPO";
    }
    void returnRunsFind()
    {
        QFETCH(QString, key);
        QFETCH(QString, field);
        QFETCH(QString, grid);
        Shop shop(key);
        QWidget *w = shop.window;
        QVERIFY(w);
        auto *g = w->findChild<Grid *>(grid);
        auto *criteria = w->findChild<QWidget *>(field);
        QVERIFY(g && criteria);
        g->clearRows();
        drive::focus(criteria);
        QTest::keyClick(criteria, Qt::Key_Return);
        QVERIFY(g->rowCount() > 0);
        QVERIFY(criteria->hasFocus());
        // A focused button takes Return for itself: Exit closes the window.
        QPointer<QWidget> open(w);
        auto *exit = w->findChild<QPushButton *>(QStringLiteral("btnExit"));
        QVERIFY(exit);
        drive::focus(exit);
        QTest::keyClick(exit, Qt::Key_Return);
        QTRY_VERIFY(!open);
    }

    // A window that closes on its save says what it wrote in the main window's status bar.
    void closingSaveSaysWhatItWrote_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("fields"); // name=typed text, or name=#index for a list
        QTest::addColumn<QString>("says");
        QTest::newRow("material") << "MaterialEntry"
                                  << QStringList{"txtID=NEW-01", "txtDesc=Test hide", "cmbType=#0"}
                                  << "Material NEW-01 saved.";
        QTest::newRow("employee") << "EmployeeEntry"
                                  << QStringList{"txtSSN=999-00-1234", "txtFName=Ann", "txtLName=Lee",
                                                 "cmbStatus=#0"}
                                  << "Employee Ann Lee saved.";
        QTest::newRow("set") << "SetEntry"
                             << QStringList{"txtRefNo=NEWSET-1", "txtMaterial=#0", "cmbType=#0",
                                            "cmbStatus=#0"}
                             << "Set NEWSET-1 saved.";
        QTest::newRow("customer") << "CustomerEntry"
                                  << QStringList{"cmbCustomer=Zed Test Co", "cmbStatus=#0", "txtTerms=Net 30",
                                                 "txtDays=30"}
                                  << "Customer Zed Test Co saved.";
    }
    void closingSaveSaysWhatItWrote()
    {
        QFETCH(QString, key);
        QFETCH(QStringList, fields);
        QFETCH(QString, says);
        Shop shop(key);
        QPointer<QWidget> w = shop.window;
        QVERIFY(w);
        for (const QString &f : fields) {
            const QString name = f.section(u'=', 0, 0);
            const QString value = f.section(u'=', 1);
            auto *control = w->findChild<QWidget *>(name);
            QVERIFY2(control, qPrintable(name));
            if (value.startsWith(u'#')) {
                drive::focus(control);
                qobject_cast<QComboBox *>(control)->setCurrentIndex(value.mid(1).toInt());
            } else {
                drive::type(control, value);
            }
        }
        QTest::keyClick(w->focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(!w);
        QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(drive::shownTexts().join(u'|')));
        QCOMPARE(shop.main.statusBar()->currentMessage(), says);
    }
};

// The windows' default sizes are bounded by the screen: the offscreen screen is given the size of
// a clerk's desktop rather than its own 800 by 600.
int main(int argc, char **argv)
{
    QTemporaryDir dir;
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        QFile config(dir.filePath(QStringLiteral("screens.json")));
        if (config.open(QIODevice::WriteOnly))
            config.write(R"({"screens": [{"name": "desk", "x": 0, "y": 0, "width": 1600, "height": 1000,
                              "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        config.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    }
    QApplication app(argc, argv);
    TestDemoWindows test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_demowindows.moc"
