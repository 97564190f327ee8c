#include "orders/OrderCommands.h"

#include "orders/OrderEntry.h"
#include "orders/OrderNavigator.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"

namespace orders {

void registerCommands()
{
    commands::registerCommand(QStringLiteral("OrderNavigator"), [] {
        host::openChild(QStringLiteral("OrderNavigator"), [] { return new OrderNavigator; });
    });
    commands::registerCommand(QStringLiteral("OrderEntry"), [] {
        host::openChild(QStringLiteral("OrderEntry"), [] { return new OrderEntry; });
    });
}

} // namespace orders
