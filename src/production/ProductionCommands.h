#pragma once

namespace production {
// The master-data windows: "CustomerEntry", "EmployeeEntry", "SetEntry", "MaterialEntry".
void registerCommands();
} // namespace production
