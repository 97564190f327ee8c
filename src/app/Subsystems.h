#pragma once

// Registers the commands of every subsystem; the program and the tests call it once before
// the main window runs a command.
void registerAllCommands();
