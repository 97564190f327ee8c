// Opens the shipping and receivable windows in the main window and saves a picture of each:
// shot_shipping <folder>.

#include "WindowDriver.h"
#include "shipping/ReceivableWindows.h"
#include "shipping/Shipment.h"
#include "shipping/ShipmentData.h"
#include "ui/Grid.h"
#include "ui/MainWindow.h"
#include "ui/MoneyField.h"
#include "ui/Widgets.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>

namespace {

qint64 fill(TestDatabase &db)
{
    const QString harbor = QStringLiteral("Harbor Marine Seating");
    db.addCustomer(harbor, 30);
    db.addCustomer(QStringLiteral("O'Hara Trim"), 15, QStringLiteral("Net 15"));
    db.addSet(QStringLiteral("HM-4410"), harbor, 148.75);
    db.addSet(QStringLiteral("HM-4420"), harbor, 96.5);
    db.addSet(QStringLiteral("HM-KIT7"), harbor, 35, QStringLiteral("Kit"));
    const qint64 order = db.addOrder(harbor, QStringLiteral("HMS-2291"));
    db.addOrderLine(order, 1, 12, QStringLiteral("HM-4410"), 148.75);
    db.addOrderLine(order, 2, 8, QStringLiteral("HM-4420"), 96.5);
    db.addOrderLine(order, 3, 6, QStringLiteral("HM-KIT7"), 35);
    db.db().insert(QStringLiteral("Cutsheets"), {{"SSN", QStringLiteral("1")},
                                                 {"Date", QDate(2010, 5, 10)},
                                                 {"OrderID", order},
                                                 {"Item", 1},
                                                 {"Sets", 10}});
    db.db().insert(QStringLiteral("Cutsheets"), {{"SSN", QStringLiteral("1")},
                                                 {"Date", QDate(2010, 5, 11)},
                                                 {"OrderID", order},
                                                 {"Item", 2},
                                                 {"Sets", 8}});
    const auto line = [&](int item, const char *desc, int ordered, int qty, const char *box) {
        return shipping::ShipmentLine{harbor,
                                      QStringLiteral("HMS-2291"),
                                      QString::fromLatin1(desc),
                                      ordered,
                                      qty,
                                      QString::fromLatin1(box),
                                      order,
                                      item};
    };
    const shipping::Saved s =
        shipping::saveShipment({QString(),
                                QDate(2010, 5, 12),
                                harbor,
                                {line(1, "1 - HM-4410", 12, 6, "1"), line(2, "2 - HM-4420", 8, 4, "1"),
                                 line(3, "3 - HM-KIT7", 6, 6, "2")},
                                {}});
    db.db().insert(QStringLiteral("Payments"),
                   {{"Invoice", s.invoice}, {"Date", QDate(2010, 5, 13)}, {"Amount", 500}});
    return s.id;
}

void save(QWidget *child, const QString &file)
{
    QApplication::processEvents();
    QWidget *frame = child->parentWidget() ? child->parentWidget() : child;
    if (!frame->grab().save(file))
        qWarning("could not write %s", qPrintable(file));
}

template <typename W> W *run(MainWindow &main, const QString &key)
{
    main.runCommand(key);
    return qobject_cast<W *>(MainWindow::findChildWindow(key));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    TestDatabase db;
    MessageBox::stopScripting();
    MessageBox::script();
    const qint64 shipment = fill(db);
    MainWindow main;
    main.show();
    main.activateWindow();
    if (!QTest::qWaitForWindowActive(&main))
        qWarning("main window not active");

    auto *ship = run<Shipment>(main, QStringLiteral("Shipping"));
    drive::type(ship->txtID, QString::number(shipment));
    drive::focus(ship->txtShip);
    ship->cmbOrders->setCurrentIndex(0);
    ship->cmbItems->setCurrentIndex(0);
    save(ship, out.filePath(QStringLiteral("Shipment.png")));
    closeChildWindow(ship);

    auto *pay = run<ReceivePayment>(main, QStringLiteral("ReceivePayment"));
    drive::type(pay->txtInvoice, QStringLiteral("1"));
    drive::type(pay->txtPayment, QStringLiteral("750"));
    drive::focus(pay->dtDate);
    save(pay, out.filePath(QStringLiteral("ReceivePayment.png")));
    closeChildWindow(pay);

    auto *manual = run<frmInvoiceEntry>(main, QStringLiteral("ManualInvoice"));
    manual->cmbCustomer->setCurrentIndex(1);
    manual->cmbTerms->setCurrentIndex(0);
    drive::type(manual->txtAmount, QStringLiteral("1250.5"));
    drive::focus(manual->cmbTerms);
    save(manual, out.filePath(QStringLiteral("ManualInvoice.png")));
    closeChildWindow(manual);

    for (const char *key : {"OpenInvoices", "ARTranReport", "SalesRegister"}) {
        main.runCommand(QString::fromLatin1(key));
        QWidget *w = MainWindow::findChildWindow(QString::fromLatin1(key));
        save(w, out.filePath(QString::fromLatin1(key) + QStringLiteral(".png")));
        closeChildWindow(w);
    }
    return 0;
}
