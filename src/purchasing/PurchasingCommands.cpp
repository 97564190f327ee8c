#include "purchasing/PurchasingCommands.h"

#include "purchasing/CrossReferenceEntry.h"
#include "purchasing/ImportWindows.h"
#include "purchasing/PONavigator.h"
#include "purchasing/PendingPOItems.h"
#include "ui/CommandRegistry.h"
#include "ui/Widgets.h"
#include "ui/WindowHost.h"

#include <optional>

namespace purchasing {

namespace {

// Opens the window once; a busy one (a long list to fill) opens under the hourglass.
void registerWindow(const QString &key, std::function<QWidget *()> make, bool busy = false)
{
    commands::registerCommand(key, [key, make, busy] {
        std::optional<BusyPointer> pointer;
        if (busy)
            pointer.emplace();
        host::openChild(key, make);
    });
}

} // namespace

void registerCommands()
{
    registerWindow(QStringLiteral("ImportXLS"), [] { return new frmImportOrderXLS; });
    registerWindow(QStringLiteral("ImportXLSLogReport"), [] { return new frmPrintImportLog; });
    registerWindow(
        QStringLiteral("PendingItems"), [] { return new frmPendingPOItems; }, true);
    registerWindow(
        QStringLiteral("PONavigator"), [] { return new frmPONavigator; }, true);
    registerWindow(QStringLiteral("CrossReference"), [] { return new CrossReferenceEntry; });
}

} // namespace purchasing
