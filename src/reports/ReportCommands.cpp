#include "reports/ReportCommands.h"

#include "reports/ReportsMod.h"
#include "ui/CommandRegistry.h"
#include "ui/CommandTable.h"
#include "ui/WindowHost.h"

namespace reports {

void registerCommands()
{
    for (const Command &c : commandTable()) {
        if (isReportCommand(c.key))
            commands::registerCommand(c.key, [key = c.key] { runReportCommand(host::frame(), key); });
    }
}

} // namespace reports
