#pragma once

namespace purchasing {
// "ImportXLS", "ImportXLSLogReport", "PendingItems", "PONavigator".
void registerCommands();
} // namespace purchasing
