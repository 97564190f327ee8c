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
// Puts a command that lives elsewhere (a document's registry entry) into the table right after
// the command `after` of its group, or last in its group. A key placed again is replaced where it
// stands. Placed before the main window builds its pane.
void placeCommand(const Command &command, const QString &after);
QStringList commandGroups();
