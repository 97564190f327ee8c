#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// What each command key of the navigation pane does. Each subsystem registers its own keys from
// its folder (a `registerCommands()` of its own); the main window only looks keys up.
namespace commands {

using Action = std::function<void()>;

// Registers `action` for `key`; a second registration of a key replaces the first.
void registerCommand(const QString &key, Action action);
bool isRegistered(const QString &key);
// Runs the command registered for `key` (compared in full and case-sensitively). Returns false
// when nothing is registered: such a key does nothing.
bool run(const QString &key);

} // namespace commands
