#include "production/ProductionCommands.h"

#include "production/CustomerEntry.h"
#include "production/EmployeeEntry.h"
#include "production/MaterialEntry.h"
#include "production/SetEntry.h"
#include "ui/CommandRegistry.h"
#include "ui/Widgets.h"
#include "ui/WindowHost.h"

namespace production {

namespace {

template <typename Window> void registerWindow(const QString &key)
{
    commands::registerCommand(key, [key] { host::openChild(key, [] { return new Window; }); });
}

} // namespace

void registerCommands()
{
    registerWindow<CustomerEntry>(QStringLiteral("CustomerEntry"));
    registerWindow<SetEntry>(QStringLiteral("SetEntry"));
    registerWindow<MaterialEntry>(QStringLiteral("MaterialEntry"));
    // The employee list takes a moment to fill.
    commands::registerCommand(QStringLiteral("EmployeeEntry"), [] {
        BusyPointer busy;
        host::openChild(QStringLiteral("EmployeeEntry"), [] { return new EmployeeEntry; });
    });
}

} // namespace production
