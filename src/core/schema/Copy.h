#pragma once

#include <QString>

#include <vector>

class Database;

namespace schema {

// One table's rows before and after a copy.
struct CopiedTable
{
    QString table;
    qint64 read = 0;   // rows counted in the source
    qint64 stored = 0; // rows counted in the target after the copy
};

// Copies every row of every table of `from` into `to`, which holds the empty schema, keeping
// every auto-number and continuing each one after the highest the source ever gave out. Runs
// inside the caller's transaction on `to`; the caller compares the counts and commits.
std::vector<CopiedTable> copyAllRows(Database &from, Database &to);

} // namespace schema
