#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class Database;

namespace schema {

enum class Kind
{
    AutoNumber,
    Text,
    Integer,
    Decimal,
    Money,
    Date,
    DateTime
};

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
// Tables each connection makes for itself, seen by no other.
const std::vector<Table> &sessionTables();
// CREATE TABLE and CREATE INDEX statements for an empty file, or for an empty server database.
QString ddl(bool server = false);
// Makes the session-local tables of a new connection (the cut sheet window's log).
void startSession(Database &db);
// Creates every table and index in an open, empty database, in one transaction.
void install(Database &db);

// Told `done` of `total` steps of a long job, before the first step and after each.
using ProgressHook = std::function<void(int done, int total)>;

// Names of the schema's indexes that the open file lacks (one made before they were added).
QStringList missingIndexes(Database &db);
// Adds the missing indexes and the running figures in one transaction: all of them or, on a
// failure, none. Gives the number of steps taken; a file that has them all is not written to.
int addMissingParts(Database &db, const ProgressHook &progress = {});
// Brings a file that was just opened up to the schema, telling the hook of setUpgradeProgress.
// A file that cannot be written now (read-only, or busy in another program) is left as it is
// and still opens; the next open tries again.
void upgradeOpenedFile(Database &db);
// The process-wide hook upgradeOpenedFile tells; the windows show a progress box with it.
void setUpgradeProgress(ProgressHook hook);

// The running figures of what was cut (see Figures.cpp): their tables and triggers for an empty
// database, whether the open one has them, and adding them, counted from the rows there, to one
// made before them, in one transaction (nested in the caller's). Gives false when they were there already.
QString figuresDdl(bool server);
bool hasCutFigures(Database &db);
bool addCutFigures(Database &db);
// Takes them away again, tables and triggers, in one transaction (a recount adds them anew).
void dropCutFigures(Database &db);
// Runs a bulk write of cut sheets or order lines with the figures taken away and counts them once
// afterwards, if the database had them; one transaction. Kept row by row, writing ten years of
// rows takes many times as long.
void countCutFiguresAfter(Database &db, const std::function<void()> &bulk);
// `feet` summed per material of the line each cut sheet was cut on, for the cut sheets `where`
// picks, as the figures count them: "SELECT Material, Feet", '' for no material or no line.
QString cutPerMaterial(const QString &feet, const QString &where);
// Feet as whole ten-thousandths of a foot, the unit the figures count in.
QString tenThousandths(const QString &feet, bool server);

// The fixed key every database file is encrypted with.
QByteArray password();

// Makes a new encrypted file holding the schema; refuses when `path` exists. Throws DbError.
std::unique_ptr<Database> createDatabaseFile(const QString &path, const QByteArray &key = password());

} // namespace schema
