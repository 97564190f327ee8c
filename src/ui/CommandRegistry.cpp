#include "ui/CommandRegistry.h"

#include <map>

namespace commands {

namespace {

std::map<QString, Action> &actions()
{
    static std::map<QString, Action> map;
    return map;
}

} // namespace

void registerCommand(const QString &key, Action action)
{
    actions()[key] = std::move(action);
}

bool isRegistered(const QString &key)
{
    return actions().count(key) != 0;
}

bool run(const QString &key)
{
    auto it = actions().find(key);
    if (it == actions().end())
        return false;
    // Copied: the action may open a window that registers or replaces commands.
    const Action action = it->second;
    action();
    return true;
}

} // namespace commands
