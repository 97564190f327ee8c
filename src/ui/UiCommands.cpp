#include "ui/UiCommands.h"

#include "core/SharedRoutines.h"
#include "ui/AboutBox.h"
#include "ui/CommandRegistry.h"
#include "ui/ShopPassphrase.h"
#include "ui/WindowHost.h"

namespace ui {

void registerCommands()
{
    commands::registerCommand(QStringLiteral("CloseOrders"), [] { CloseShippedOrders(); });
    commands::registerCommand(QStringLiteral("ShopPassphrase"), [] {
        ShopPassphrase window(host::frame());
        window.exec();
    });
    commands::registerCommand(QStringLiteral("About"), [] {
        AboutBox box(host::frame());
        box.exec();
    });
}

} // namespace ui
