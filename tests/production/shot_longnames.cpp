// Pictures of the customer and order windows with a 255-character customer name, in the main
// window with its navigation pane: shot_longnames <folder>.

#include "WindowDriver.h"
#include "orders/OrderEntry.h"
#include "production/CustomerEntry.h"
#include "ui/MainWindow.h"
#include "ui/Widgets.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    TestDatabase db;
    MessageBox::stopScripting();
    MessageBox::script();
    const QString name = QStringLiteral("Harbor Marine Seating and Custom Upholstery ").repeated(6).left(kMaxTextLength);
    db.addCustomer(name, 30);
    db.addCustomer(QStringLiteral("O'Hara Trim"), 15, QStringLiteral("Net 15"));
    MainWindow main;
    main.show();
    main.activateWindow();
    if (!QTest::qWaitForWindowActive(&main))
        qWarning("main window not active");

    main.runCommand(QStringLiteral("CustomerEntry"));
    auto *customer = qobject_cast<CustomerEntry *>(MainWindow::findChildWindow(QStringLiteral("CustomerEntry")));
    drive::type(customer->cmbCustomer, name);
    drive::focus(customer->txtAddress1);
    QApplication::processEvents();
    main.grab().save(out.filePath(QStringLiteral("CustomerEntry-long.png")));
    customer->cmbCustomer->showPopup();
    QApplication::processEvents();
    QTest::qWait(200);
    main.screen()->grabWindow(0).save(out.filePath(QStringLiteral("CustomerEntry-long-list.png")));
    customer->cmbCustomer->hidePopup();
    closeChildWindow(customer);

    main.runCommand(QStringLiteral("OrderEntry"));
    auto *order = qobject_cast<OrderEntry *>(MainWindow::findChildWindow(QStringLiteral("OrderEntry")));
    auto *combo = order->findChild<QComboBox *>(QStringLiteral("cmbCustomer"));
    const int at = combo->findText(name);
    combo->setCurrentIndex(at);
    Q_EMIT combo->activated(at);
    QApplication::processEvents();
    main.grab().save(out.filePath(QStringLiteral("OrderEntry-long.png")));
    return 0;
}
