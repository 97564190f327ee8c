#pragma once

namespace orders {
// "OrderNavigator" and "OrderEntry".
void registerCommands();
}
