#include "inventory/InventoryCommands.h"

#include "inventory/InventoryAdjust.h"
#include "inventory/InventoryRequests.h"
#include "inventory/InventoryValueAdjust.h"
#include "ui/CommandRegistry.h"
#include "ui/Widgets.h"
#include "ui/WindowHost.h"

namespace inventory {

namespace {

template <typename Window> void registerWindow(const QString &key)
{
    commands::registerCommand(key, [key] {
        BusyPointer busy;
        host::openChild(key, [] { return new Window; });
    });
}

} // namespace

void registerCommands()
{
    registerWindow<InventoryAdjust>(QStringLiteral("InventoryAdjust"));
    registerWindow<InventoryValueAdjust>(QStringLiteral("AdjustValue"));
    registerWindow<frmAvailableInventory>(QStringLiteral("AvailableInventory"));
    registerWindow<frmInventoryValuation>(QStringLiteral("InventoryValuation"));
    registerWindow<frmLeatherHistory>(QStringLiteral("LeatherHistory"));
    registerWindow<frmLeatherSales>(QStringLiteral("LeatherSales"));
    commands::registerCommand(QStringLiteral("ResetPrice"), [] { ResetPrice(host::frame()); });
}

} // namespace inventory
