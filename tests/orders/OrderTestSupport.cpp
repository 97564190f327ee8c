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

namespace {

template <typename Window>
Window *openActive(const QString &name)
{
    auto *w = qobject_cast<Window *>(MainWindow::openChild(name, [] { return new Window; }));
    w->activateWindow();
    // Focus moves, and so the leave-field rules, need an active window: without one the test fails.
    if (!QTest::qWaitForWindowActive(w))
        QTest::qFail(qPrintable(name + QStringLiteral(" did not become active")), __FILE__, __LINE__);
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
