// Draws the order window with a loaded order and the navigator with results, for the docs.
// Usage: orders_screenshots <folder>   (needs a display, e.g. Xvfb)
#include "ui/Grid.h"
#include "ui/MainWindow.h"
#include "orders/OrderEntry.h"
#include "orders/OrderNavigator.h"
#include "OrderTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QThread>

using namespace ordertest;

namespace {

void settle()
{
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
}

void fill(TestDatabase &db)
{
    seedCatalogue(db);
    db.db().exec(QStringLiteral("UPDATE Customer SET ShipTo = 'Acme Upholstery - Plant 2', ShipToAddress1 = '1450 "
                                "Industrial Pkwy' WHERE Name = 'Acme Upholstery'"));
    const QString acme = QStringLiteral("Acme Upholstery");
    const qint64 id = db.addOrder(acme, QStringLiteral("AC-10442"), QStringLiteral("Open"), QDate(2010, 5, 12));
    db.db().exec(QStringLiteral("UPDATE Orders SET ShipTo = 'Acme Upholstery - Plant 2', ShipToAddress1 = '1450 "
                                "Industrial Pkwy', ShipToAddress2 = 'Dock 4', ShipToCity = 'Dayton', ShipToState = 'OH', "
                                "ShipToZip = '45403', ShipToPhone = '937-555-0101', ShipToFax = '937-555-0102', "
                                "Total = 13146 WHERE ID = ?"),
                 {id});
    db.addOrderLine(id, 1, 24, QStringLiteral("A100"), 150);
    db.addOrderLine(id, 2, 60, QStringLiteral("Q100"), 95.5);
    db.addOrderLine(id, 4, 36, QStringLiteral("Q300"), 80);
    const char *numbers[] = {"AC-10380", "AC-10411", "AC-10455", "Q-7781", "Q-7790", "Q-7802", "ZM-118"};
    const char *customers[] = {"Acme Upholstery", "Acme Upholstery", "Acme Upholstery", "Quintar", "Quintar", "Quintar",
                               "Zephyr Marine"};
    for (int i = 0; i < 7; ++i) {
        const qint64 o = db.addOrder(QString::fromLatin1(customers[i]), QString::fromLatin1(numbers[i]),
                                     QStringLiteral("Open"), QDate(2010, 4, 20).addDays(i * 3));
        db.addOrderLine(o, 1, 10 + i * 4, QStringLiteral("Q200"), 120);
        db.db().exec(QStringLiteral("UPDATE Orders SET ShipToAddress1 = '400 Harbor Way', ShipToCity = 'Toledo', "
                                    "ShipToState = 'OH', ShipToZip = '43604', ShipToPhone = '419-555-0100', "
                                    "Total = ? WHERE ID = ?"),
                     {(10 + i * 4) * 120, o});
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    TestDatabase db;
    fill(db);

    MainWindow main;
    main.resize(1400, 900);
    main.show();
    settle();

    main.runCommand(QStringLiteral("OrderNavigator"));
    auto *nav = qobject_cast<OrderNavigator *>(MainWindow::findChildWindow(QStringLiteral("OrderNavigator")));
    nav->findChild<QPushButton *>(QStringLiteral("btnFind"))->click();
    nav->vsfgOrders->setCurrentCell(0, 0);
    settle();
    main.grab().save(QDir(folder).filePath(QStringLiteral("order-navigator.png")));

    nav->parentWidget()->close();
    settle();
    main.runCommand(QStringLiteral("OrderEntry"));
    auto *entry = qobject_cast<OrderEntry *>(MainWindow::findChildWindow(QStringLiteral("OrderEntry")));
    entry->OpenOrder(1);
    entry->vsfgItems->setCurrentCell(1, 0);
    settle();
    main.grab().save(QDir(folder).filePath(QStringLiteral("order-entry.png")));
    main.mdiArea()->closeAllSubWindows();
    return 0;
}
