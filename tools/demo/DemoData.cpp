#include "DemoData.h"

#include "Database.h"

void fillDemoData(Database &, const DemoOptions &)
{
    throw DbError(1, QStringLiteral("Demo data is not available in this build."));
}
