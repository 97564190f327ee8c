#include "OrderTestSupport.h"

#include "core/Clock.h"
#include "ui/MainWindow.h"
#include "orders/OrderEntry.h"
#include "orders/OrderNavigator.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace ordertest {

void seedCatalogue(TestDatabase &db)
{
    db.addCustomer(QStringLiteral("Acme Upholstery"));
    db.addCustomer(QStringLiteral("Quintar"));
    db.addCustomer(QStringLiteral("Zephyr Marine"));
    db.db().exec(QStringLiteral("UPDATE Customer SET Status = 'InActive' WHERE Name = 'Zephyr Marine'"));
    db.db().exec(QStringLiteral("UPDATE Customer SET ShipToAddress2 = 'Bay 4', ShipToPhone = '937-555-0101', "
                                "ShipToFax = '937-555-0102' WHERE Name = 'Acme Upholstery'"));
    db.addMaterial(QStringLiteral("BLK-01"));
    db.addSet(QStringLiteral("Q100"), QStringLiteral("Quintar"), 95.5);
    db.addSet(QStringLiteral("Q200"), QStringLiteral("Quintar"), 120);
    db.addSet(QStringLiteral("Q300"), QStringLiteral("Quintar"), 80);
    db.addSet(QStringLiteral("A100"), QStringLiteral("Acme Upholstery"), 150);
    db.addSet(QStringLiteral("X900"), QStringLiteral("Acme Upholstery"), 10);
    db.db().exec(QStringLiteral("UPDATE Sets SET Status = 'InActive' WHERE CustomerRefNo = 'X900'"));
}

namespace {

template <typename Window>
Window *openActive(const QString &name)
{
    auto *w = qobject_cast<Window *>(MainWindow::openChild(name, [] { return new Window; }));
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w))
        qWarning("%s did not become active", qPrintable(name));
    return w;
}

} // namespace

OrderEntry *openOrderWindow()
{
    return openActive<OrderEntry>(QStringLiteral("OrderEntry"));
}

OrderNavigator *openNavigatorWindow()
{
    return openActive<OrderNavigator>(QStringLiteral("OrderNavigator"));
}

void focus(QWidget *to)
{
    to->setFocus();
    QApplication::processEvents();
}

void enterLine(OrderEntry *w, const QString &qty, const QString &ref, const QString &price)
{
    auto *qtyBox = control<QLineEdit>(w, "txtQty");
    auto *refBox = control<QLineEdit>(w, "txtCustomerRefNo");
    auto *priceBox = control<QLineEdit>(w, "txtPriceEach");
    focus(qtyBox);
    qtyBox->setText(qty);
    focus(refBox);
    refBox->setText(ref);
    focus(priceBox);
    if (!price.isNull())
        priceBox->setText(price);
    focus(qtyBox);
    control<QPushButton>(w, "btnSaveItem")->click();
}

void chooseCustomer(OrderEntry *w, const QString &typed)
{
    auto *combo = control<QComboBox>(w, "cmbCustomer");
    focus(combo);
    Clock::advance(1000); // a fresh search
    QTest::keyClicks(combo, typed);
}

int count(const QString &sql, const QVariantList &params)
{
    return DbConnection().scalar(sql, params).toInt();
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

} // namespace ordertest
