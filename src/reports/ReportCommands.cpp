#include "reports/ReportCommands.h"

#include "reports/ReportRegistry.h"
#include "reports/ReportsMod.h"
#include "ui/CommandRegistry.h"
#include "ui/CommandTable.h"
#include "ui/Documents.h"
#include "ui/WindowHost.h"

namespace reports {

void registerCommands()
{
    documents::install(&produceDocument);
    for (const Document *d : registry()) {
        if (!d->command)
            continue;
        const PaneCommand &c = *d->command;
        placeCommand({c.group, c.caption, c.key, QStringLiteral("Reports")}, c.after);
        commands::registerCommand(c.key, [key = c.key] { runReportCommand(host::frame(), key); });
    }
}

} // namespace reports
