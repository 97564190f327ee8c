#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <stdexcept>

class Database;

// Copies of the shop file: made with the engine's online backup while the program may be using
// the file, verified before they get a backup's name, and put back in place by restore.
namespace backup {

// A backup that could not be made or put back, said in words; nothing under a backup's name
// was written and the shop file is as it was.
class BackupError : public std::runtime_error
{
public:
    explicit BackupError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

constexpr int kDefaultKept = 30;

// "backups" beside the database file.
QString defaultFolder(const QString &databasePath);

// The database's name with the date and time: shop.db gives shop-2026-03-14-173005.db.
QString nameFor(const QString &databasePath, const QDateTime &when);

// The backups of `databasePath` in `folder`, oldest first (full paths).
QStringList list(const QString &folder, const QString &databasePath);

// Deletes the oldest backups of `databasePath` in `folder` beyond the newest `keep`; gives the
// deleted files. `keep` below 1 deletes nothing.
QStringList rotate(const QString &folder, const QString &databasePath, int keep);

// Rows of every table, by table name.
using RowCounts = std::map<QString, qint64>;
RowCounts rowCounts(Database &db);

// Opens `file` read-only with `key` and checks it: the engine's full integrity check, every
// table of the program present, and, with `expected`, the same tables with the same row counts.
// Empty when good; otherwise what is wrong, one line each.
QStringList verify(const QString &file, const QByteArray &key, const RowCounts *expected = nullptr);

struct Made
{
    QString file;
    int tables = 0;
    qint64 rows = 0;
    QStringList removed; // older backups deleted by the rotation
};

// Called with the pages copied so far and the pages in all; false stops the backup.
using ProgressFn = std::function<bool(int done, int total)>;

// Copies the open `source` into `folder` (made when missing), keyed with the key `source` was
// opened with. The copy is written under a hidden temporary name, verified against the source's
// row counts taken in the same read as the copy, and only then given its backup name (mode 0600);
// the oldest backups beyond `keep` are deleted after. Throws BackupError, also when `progress`
// stopped it.
Made make(Database &source, const QString &folder, int keep, const ProgressFn &progress = {});

// Throws BackupError when `location` is a database on a PostgreSQL server: the server's own
// tools back it up, and its rows are never copied into a file by make or restore.
void refuseServer(const QString &location);

// The backup made on the first close of each day: due when none was made today for this
// database in `folder`; mark() records that one was.
bool dailyDue(const QString &folder, const QString &databasePath, const QDate &today);
void markDaily(const QString &folder, const QString &databasePath, const QDate &today);

// Puts the verified `backupFile` in place of `databasePath`, keeping the replaced file first as
// one more backup in the database's backups folder (a damaged one as a plain copy). The caller
// has made sure no program uses the file. Gives the backup the replaced file was kept as (empty
// when there was none). Throws BackupError, leaving the database file as it was.
QString restore(const QString &backupFile, const QString &databasePath, const QByteArray &key);

} // namespace backup
