#include "OrderTestSupport.h"
#include "WindowDriver.h"

#include "core/Clock.h"
#include "ui/MainWindow.h"
#include "orders/OrderEntry.h"
#include "orders/OrderNavigator.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace ordertest {

OrderEntry *openOrderWindow()
{
    return drive::open<OrderEntry>(QStringLiteral("OrderEntry"));
}

OrderNavigator *openNavigatorWindow()
{
    return drive::open<OrderNavigator>(QStringLiteral("OrderNavigator"));
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
