#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class Database;

// What must hold of a shop however its clerks' saves interleave.
namespace soak {

struct Broken
{
    QString invariant;    // its name, as printed
    int count = 0;        // rows that break it
    QStringList examples; // the first few keys
};

// Every invariant that does not hold, with the rows that break it; empty when all hold. The
// statements are the same on the file and on the server.
std::vector<Broken> brokenInvariants(Database &db);

// The names, in the order they are checked.
QStringList invariantNames();

} // namespace soak
