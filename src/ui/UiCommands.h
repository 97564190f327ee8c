#pragma once

namespace ui {
// The main window's own commands: "CloseOrders" and "About".
void registerCommands();
}
