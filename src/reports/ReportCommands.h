#pragma once

namespace reports {
// Every command of the navigation pane that prints a standard document at once.
void registerCommands();
}
