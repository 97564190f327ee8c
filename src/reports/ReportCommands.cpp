#include "reports/ReportCommands.h"

#include "reports/ReportRegistry.h"
#include "reports/ReportsMod.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"

namespace reports {

void registerCommands()
{
    for (const Document *d : registry()) {
        if (!d->commandKey.isEmpty())
            commands::registerCommand(d->commandKey, [key = d->commandKey] { runReportCommand(host::frame(), key); });
    }
}

} // namespace reports
