#include "production/ProductionCommands.h"

#include "production/CustomerEntry.h"
#include "production/CutSheet.h"
#include "production/EmployeeEntry.h"
#include "production/MaterialEntry.h"
#include "production/SetEntry.h"
#include "production/YieldRequests.h"
#include "ui/CommandRegistry.h"
#include "ui/Widgets.h"
#include "ui/WindowHost.h"

namespace production {

namespace {

template <typename Window> void registerWindow(const QString &key)
{
    commands::registerCommand(key, [key] { host::openChild(key, [] { return new Window; }); });
}

// Windows whose employee lists take a moment to fill open under the hourglass.
template <typename Window> void registerBusyWindow(const QString &key)
{
    commands::registerCommand(key, [key] {
        BusyPointer busy;
        host::openChild(key, [] { return new Window; });
    });
}

} // namespace

void registerCommands()
{
    registerWindow<CustomerEntry>(QStringLiteral("CustomerEntry"));
    registerWindow<SetEntry>(QStringLiteral("SetEntry"));
    registerWindow<MaterialEntry>(QStringLiteral("MaterialEntry"));
    registerBusyWindow<EmployeeEntry>(QStringLiteral("EmployeeEntry"));
    registerBusyWindow<CutSheet>(QStringLiteral("Cutsheet"));
    registerBusyWindow<frmEmployeeYield>(QStringLiteral("EmployeeYield"));
    registerWindow<frmCustomerYield>(QStringLiteral("CustomerYield"));
    registerWindow<frmEmployeeEarnings>(QStringLiteral("EmployeeEarnings"));
}

} // namespace production
