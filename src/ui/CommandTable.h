#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The navigation pane's commands: the program's whole menu.
struct Command
{
    QString group;
    QString caption;
    QString key;
    QString icon; // "Navigator", "Entry" or "Reports"
};

const std::vector<Command> &commandTable();
QStringList commandGroups();
