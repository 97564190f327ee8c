#pragma once

namespace inventory {

// The inventory commands of the command table: adjustments, unit values, their reset and the
// material report requests.
void registerCommands();

} // namespace inventory
