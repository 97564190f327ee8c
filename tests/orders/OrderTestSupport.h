#pragma once

#include "OrderCatalogue.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

class OrderEntry;
class OrderNavigator;

#include "WindowDriver.h"

namespace ordertest {

// The order window as the command opens it, shown and active so focus moves work.
OrderEntry *openOrderWindow();
OrderNavigator *openNavigatorWindow();

template <typename T>
T *control(QWidget *window, const char *name)
{
    T *c = window->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("no control %s", name);
    return c;
}

using drive::focus; // the one window driver moves the focus
// Types one line into the entry row as a user would (leaving each box) and saves it.
// An empty `price` keeps the catalogue price the reference number brought.
void enterLine(OrderEntry *w, const QString &qty, const QString &ref, const QString &price = QString());
// Picks a customer as a user would, by typing the start of its name into the list.
void chooseCustomer(OrderEntry *w, const QString &typed);

int count(const QString &sql, const QVariantList &params = {});
// Runs pending deletions (windows closed with delete-on-close).
void flushDeletes();

} // namespace ordertest
