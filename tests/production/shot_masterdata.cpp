// Opens each master-data window in the main window with a stored record loaded and saves a
// picture of it: shot_masterdata <folder>.

#include "WindowDriver.h"
#include "production/CustomerEntry.h"
#include "production/CutSheet.h"
#include "production/EmployeeEntry.h"
#include "production/MaterialEntry.h"
#include "production/SetEntry.h"
#include "production/YieldRequests.h"
#include "ui/MainWindow.h"
#include "ui/MoneyField.h"
#include "ui/Widgets.h"

#include <QComboBox>
#include <QDir>
#include <QMdiSubWindow>

namespace {

void fill(TestDatabase &db)
{
    db.addCustomer(QStringLiteral("Harbor Marine Seating"), 30);
    db.addCustomer(QStringLiteral("O'Hara Trim"), 15, QStringLiteral("Net 15"));
    db.db().exec(QStringLiteral("UPDATE Customer SET Address2 = 'Suite 200', Phone = '937-555-0142', "
                                "Fax = '937-555-0143', ShipToPhone = '937-555-0150' WHERE Name = ?"),
                 {QStringLiteral("Harbor Marine Seating")});
    db.addMaterial(QStringLiteral("BLK-01"));
    db.addSet(QStringLiteral("HM-4410"), QStringLiteral("Harbor Marine Seating"), 148.75);
    db.db().exec(QStringLiteral("UPDATE Sets SET VinylPrice = 12.5, LeatherPrice = 106.25, KitPrice = 0"));
    db.addEmployee(QStringLiteral("123-45-6789"), QStringLiteral("Maria"), QStringLiteral("Lopez"));
    db.db().exec(QStringLiteral("UPDATE Employee SET Address = '18 Canal St', City = 'Dayton', State = 'OH', "
                                "Zip = '45402', Phone = '937-555-0177'"));
}

void save(QWidget *child, const QString &file)
{
    QApplication::processEvents();
    QWidget *frame = child->parentWidget() ? child->parentWidget() : child;
    if (!frame->grab().save(file))
        qWarning("could not write %s", qPrintable(file));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    TestDatabase db;
    MessageBox::stopScripting();
    MessageBox::script();
    fill(db);
    MainWindow main;
    main.show();
    main.activateWindow();
    if (!QTest::qWaitForWindowActive(&main))
        qWarning("main window not active"); // leaving a field needs a window that has the focus

    main.runCommand(QStringLiteral("SetEntry"));
    auto *set = qobject_cast<SetEntry *>(MainWindow::findChildWindow(QStringLiteral("SetEntry")));
    set->cmbCustomer->setCurrentIndex(0);
    drive::type(set->txtRefNo, QStringLiteral("HM-4410"));
    drive::focus(set->txtStyle);
    save(set, out.filePath(QStringLiteral("SetEntry.png")));
    closeChildWindow(set);

    main.runCommand(QStringLiteral("CustomerEntry"));
    auto *customer =
        qobject_cast<CustomerEntry *>(MainWindow::findChildWindow(QStringLiteral("CustomerEntry")));
    drive::type(customer->cmbCustomer, QStringLiteral("Harbor Marine Seating"));
    drive::focus(customer->txtAddress1);
    save(customer, out.filePath(QStringLiteral("CustomerEntry.png")));
    closeChildWindow(customer);

    main.runCommand(QStringLiteral("EmployeeEntry"));
    auto *employee =
        qobject_cast<EmployeeEntry *>(MainWindow::findChildWindow(QStringLiteral("EmployeeEntry")));
    drive::type(employee->txtSSN, QStringLiteral("123-45-6789"));
    drive::focus(employee->txtFName);
    save(employee, out.filePath(QStringLiteral("EmployeeEntry.png")));
    closeChildWindow(employee);

    main.runCommand(QStringLiteral("MaterialEntry"));
    auto *material =
        qobject_cast<MaterialEntry *>(MainWindow::findChildWindow(QStringLiteral("MaterialEntry")));
    drive::type(material->txtID, QStringLiteral("BLK-01"));
    drive::focus(material->txtDesc);
    save(material, out.filePath(QStringLiteral("MaterialEntry.png")));

    main.grab().save(out.filePath(QStringLiteral("MainWindow-MaterialEntry.png")));
    closeChildWindow(material);

    const qint64 order = db.addOrder(QStringLiteral("Harbor Marine Seating"), QStringLiteral("PO-7"));
    db.addOrderLine(order, 1, 12, QStringLiteral("HM-4410"), 148.75);
    main.runCommand(QStringLiteral("Cutsheet"));
    auto *cut = qobject_cast<CutSheet *>(MainWindow::findChildWindow(QStringLiteral("Cutsheet")));
    cut->cmbEmployee->setCurrentIndex(0);
    drive::type(cut->txtOrder, QString::number(order));
    drive::type(cut->txtItem, QStringLiteral("1"));
    drive::type(cut->txtSets, QStringLiteral("4"));
    drive::type(cut->txtUsed, QStringLiteral("52.5"));
    save(cut, out.filePath(QStringLiteral("Cutsheet.png")));
    closeChildWindow(cut);

    main.runCommand(QStringLiteral("EmployeeYield"));
    save(MainWindow::findChildWindow(QStringLiteral("EmployeeYield")),
         out.filePath(QStringLiteral("EmployeeYield.png")));
    return 0;
}
