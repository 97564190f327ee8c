#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class Database;

namespace schema {

enum class Kind { AutoNumber, Text, Integer, Decimal, Money, Date, DateTime };

struct Column
{
    const char *name;
    Kind kind;
};

struct Table
{
    const char *name;
    std::vector<Column> columns;
};

// Every persistent table of the database file.
const std::vector<Table> &tables();
// CREATE TABLE and CREATE INDEX statements for an empty file.
QString ddl();
// Creates every table and index in an open, empty database, in one transaction.
void install(Database &db);

// The fixed key every database file is encrypted with.
QByteArray password();

// Makes a new encrypted file holding the schema; refuses when `path` exists. Throws DbError.
std::unique_ptr<Database> createDatabaseFile(const QString &path);

} // namespace schema
