#pragma once

namespace reports {
// Installs the document producer windows print through, and puts every document produced at once
// into the navigation pane with its command.
void registerCommands();
}
