#include "core/Backup.h"

#include "core/Clock.h"
#include "core/Database.h"
#include "core/PgEngine.h"
#include "core/schema/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <tuple>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace backup {

namespace {

// Pages copied between two progress reports: small enough for a smooth bar, large enough to cost
// nothing against the copy.
constexpr int kPagesPerStep = 256;

const QString kPartialMark = QStringLiteral(".partial-");

// Room for a large shop file's pages, so each page is decrypted once per connection.
constexpr const char *kLargeCache = "PRAGMA cache_size = -131072";

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString quoted(QString name)
{
    return u'"' + name.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString suffixOf(const QString &databasePath)
{
    const QString s = QFileInfo(databasePath).suffix();
    return s.isEmpty() ? QStringLiteral("db") : s;
}

QRegularExpression namePattern(const QString &databasePath)
{
    return QRegularExpression(QStringLiteral("^%1-(\\d{4}-\\d{2}-\\d{2}-\\d{6})(?:-(\\d+))?\\.%2$")
                                  .arg(QRegularExpression::escape(QFileInfo(databasePath).completeBaseName()),
                                       QRegularExpression::escape(suffixOf(databasePath))));
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool syncPath(const QString &path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void removeWithJournal(const QString &file)
{
    for (const char *suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(file + QLatin1String(suffix));
}

// A new empty file only this user may read, so the copy is never readable by others, not even
// while it is written.
void createPrivate(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        throw BackupError(QStringLiteral("%1 cannot be created: %2").arg(native(path), systemError()));
    ::fchmod(fd, 0600); // whatever the umask
    ::close(fd);
}

// Moves a finished copy to its name, never replacing a file that is there.
void publish(const QString &partial, const QString &target)
{
    if (!syncPath(partial, O_RDONLY))
        throw BackupError(QStringLiteral("%1 could not be written to disk").arg(native(partial)));
    const QByteArray from = QFile::encodeName(partial);
    const QByteArray to = QFile::encodeName(target);
    if (::link(from.constData(), to.constData()) != 0) {
        // A file system without hard links (a memory stick): renamed, after looking.
        const bool noLinks = errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS;
        if (!noLinks || QFileInfo::exists(target) || ::rename(from.constData(), to.constData()) != 0)
            throw BackupError(QStringLiteral("%1 cannot be created: %2").arg(native(target), systemError()));
    }
    QFile::remove(partial);
    syncPath(QFileInfo(target).absolutePath(), O_RDONLY | O_DIRECTORY);
}

// Copies left by a backup that was killed part-way: their process is gone.
void removeStalePartials(const QString &folder)
{
    const QDir dir(folder);
    for (const QString &name :
         dir.entryList({QStringLiteral(".*") + kPartialMark + u'*'}, QDir::Files | QDir::Hidden)) {
        bool ok = false;
        const qint64 pid = name.mid(name.lastIndexOf(kPartialMark) + kPartialMark.size()).toLongLong(&ok);
        if (ok && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            removeWithJournal(dir.filePath(name));
    }
}

QString uniqueTarget(const QString &folder, const QString &databasePath, const QDateTime &when)
{
    const QDir dir(folder);
    const QString first = nameFor(databasePath, when);
    QString name = first;
    for (int n = 2; QFileInfo::exists(dir.filePath(name)); ++n) {
        const QString base = first.left(first.size() - suffixOf(databasePath).size() - 1);
        name = QStringLiteral("%1-%2.%3").arg(base).arg(n).arg(suffixOf(databasePath));
    }
    return dir.filePath(name);
}

// A read-only engine connection of its own, closed on destruction.
class Reader
{
public:
    Reader(const QString &file, const QByteArray &key)
    {
        m_rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        if (m_rc == SQLITE_OK)
            m_rc = sqlite3_key(m_db, key.constData(), int(key.size()));
        // The counts after the integrity check then read decrypted pages from memory.
        if (m_rc == SQLITE_OK)
            sqlite3_exec(m_db, kLargeCache, nullptr, nullptr, nullptr);
    }
    ~Reader() { sqlite3_close_v2(m_db); }
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    bool opened() const { return m_rc == SQLITE_OK; }
    QString error() const
    {
        return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(m_rc));
    }

    // Every row's first column as text; false with error() on failure.
    bool column(const QString &sql, QStringList &out)
    {
        sqlite3_stmt *st = nullptr;
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &st, nullptr) != SQLITE_OK)
            return false;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        return rc == SQLITE_DONE;
    }

private:
    sqlite3 *m_db = nullptr;
    int m_rc = SQLITE_OK;
};

// Holds one read of the source for the life of the object, so the row counts and the copied
// pages are the same state even while another connection writes.
class ReadSnapshot
{
public:
    explicit ReadSnapshot(sqlite3 *db) : m_db(db)
    {
        if (sqlite3_get_autocommit(db) && sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK)
            m_began = true;
        // The pages the counts read are copied from memory; the connection's own size comes back after.
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA cache_size", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            m_cacheSize = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        sqlite3_exec(db, kLargeCache, nullptr, nullptr, nullptr);
    }
    ~ReadSnapshot()
    {
        if (m_began)
            sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_exec(m_db, QByteArray("PRAGMA cache_size = " + QByteArray::number(m_cacheSize)).constData(),
                     nullptr, nullptr, nullptr);
    }
    ReadSnapshot(const ReadSnapshot &) = delete;
    ReadSnapshot &operator=(const ReadSnapshot &) = delete;

private:
    sqlite3 *m_db;
    bool m_began = false;
    int m_cacheSize = -2000;
};

// Copies every page of `source` into the new file `partial`, keyed with `key`.
void copyPages(sqlite3 *source, const QString &partial, const QByteArray &key, const ProgressFn &progress)
{
    sqlite3 *dest = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(partial).constData(), &dest, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_key(dest, key.constData(), int(key.size()));
    QString error;
    if (rc == SQLITE_OK) {
        sqlite3_backup *copy = sqlite3_backup_init(dest, "main", source, "main");
        if (!copy) {
            rc = sqlite3_errcode(dest);
        } else {
            do {
                rc = sqlite3_backup_step(copy, kPagesPerStep);
                if (progress && (rc == SQLITE_OK || rc == SQLITE_DONE)) {
                    const int total = sqlite3_backup_pagecount(copy);
                    if (!progress(total - sqlite3_backup_remaining(copy), total) && rc == SQLITE_OK) {
                        rc = SQLITE_ABORT;
                        error = QStringLiteral("it was cancelled");
                        break;
                    }
                }
            } while (rc == SQLITE_OK);
            sqlite3_backup_finish(copy);
            if (rc == SQLITE_DONE)
                rc = sqlite3_errcode(dest);
        }
    }
    if (rc != SQLITE_OK && error.isEmpty())
        error = dest ? QString::fromUtf8(sqlite3_errmsg(dest)) : QString::fromUtf8(sqlite3_errstr(rc));
    if (sqlite3_close(dest) != SQLITE_OK && error.isEmpty())
        error = QStringLiteral("the copy could not be closed");
    if (!error.isEmpty())
        throw BackupError(QStringLiteral("the copy into %1 failed: %2").arg(native(partial), error));
}

// Removes the temporary copy unless it was published.
class PartialFile
{
public:
    explicit PartialFile(QString path) : m_path(std::move(path)) {}
    ~PartialFile() { removeWithJournal(m_path); }
    PartialFile(const PartialFile &) = delete;
    PartialFile &operator=(const PartialFile &) = delete;
    const QString &path() const { return m_path; }

private:
    QString m_path;
};

QString partialFor(const QString &target)
{
    const QFileInfo info(target);
    return info.dir().filePath(u'.' + info.fileName() + kPartialMark + QString::number(::getpid()));
}

void makeFolder(const QString &folder)
{
    if (QFileInfo(folder).isDir())
        return;
    if (!QDir().mkpath(folder))
        throw BackupError(QStringLiteral("the backup folder %1 cannot be made").arg(native(folder)));
    // Backups hold the whole shop: only this user looks inside.
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Copies `from` byte for byte into the new private file `to`, on disk when it returns.
void copyBytes(const QString &from, const QString &to)
{
    createPrivate(to);
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        throw BackupError(QStringLiteral("%1 cannot be copied: %2")
                              .arg(native(from), in.isOpen() ? out.errorString() : in.errorString()));
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() || out.write(chunk) != chunk.size())
            throw BackupError(QStringLiteral("%1 cannot be copied: %2").arg(native(from), out.errorString()));
    }
    out.close();
    if (!syncPath(to, O_RDONLY))
        throw BackupError(QStringLiteral("%1 could not be written to disk").arg(native(to)));
}

// An exact copy of a file that the engine cannot open, so even a damaged file is not lost.
QString keepRawCopy(const QString &file, const QString &folder)
{
    makeFolder(folder);
    const QString target = uniqueTarget(folder, file, Clock::now());
    PartialFile partial(partialFor(target));
    copyBytes(file, partial.path());
    publish(partial.path(), target);
    return target;
}

} // namespace

QString defaultFolder(const QString &databasePath)
{
    return QFileInfo(databasePath).absoluteDir().filePath(QStringLiteral("backups"));
}

QString nameFor(const QString &databasePath, const QDateTime &when)
{
    return QStringLiteral("%1-%2.%3")
        .arg(QFileInfo(databasePath).completeBaseName(), when.toString(QStringLiteral("yyyy-MM-dd-HHmmss")),
             suffixOf(databasePath));
}

QStringList list(const QString &folder, const QString &databasePath)
{
    const QRegularExpression pattern = namePattern(databasePath);
    struct Entry
    {
        QString stamp;
        int n;
        QString path;
    };
    std::vector<Entry> found;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files)) {
        const QRegularExpressionMatch m = pattern.match(name);
        if (m.hasMatch())
            found.push_back(
                {m.captured(1), m.captured(2).isEmpty() ? 1 : m.captured(2).toInt(), dir.filePath(name)});
    }
    std::sort(found.begin(), found.end(),
              [](const Entry &a, const Entry &b) { return std::tie(a.stamp, a.n) < std::tie(b.stamp, b.n); });
    QStringList out;
    for (const Entry &e : found)
        out << e.path;
    return out;
}

QStringList rotate(const QString &folder, const QString &databasePath, int keep)
{
    QStringList removed;
    if (keep < 1)
        return removed;
    const QStringList all = list(folder, databasePath);
    for (int i = 0; i < int(all.size()) - keep; ++i) {
        if (QFile::remove(all.at(i)))
            removed << all.at(i);
    }
    return removed;
}

RowCounts rowCounts(Database &db)
{
    RowCounts counts;
    for (const Row &r :
         db.query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                 "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name"))) {
        const QString name = r.text(QStringLiteral("name"));
        counts[name] = db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(quoted(name))).toLongLong();
    }
    return counts;
}

QStringList verify(const QString &file, const QByteArray &key, const RowCounts *expected)
{
    if (!QFileInfo(file).isFile())
        return {QStringLiteral("%1 does not exist").arg(native(file))};
    Reader copy(file, key);
    if (!copy.opened())
        return {QStringLiteral("%1 cannot be opened: %2").arg(native(file), copy.error())};
    QStringList check;
    if (!copy.column(QStringLiteral("PRAGMA integrity_check"), check))
        return {QStringLiteral("%1 cannot be read (damaged, or not keyed with the shop's key): %2")
                    .arg(native(file), copy.error())};
    QStringList problems;
    check.removeAll(QStringLiteral("ok"));
    for (int i = 0; i < std::min<int>(3, int(check.size())); ++i)
        problems << QStringLiteral("damaged: %1").arg(check.at(i));
    if (!problems.isEmpty())
        return problems;

    QStringList tables;
    copy.column(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                               "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'"),
                tables);
    for (const schema::Table &t : schema::tables()) {
        if (!tables.contains(QLatin1String(t.name), Qt::CaseInsensitive))
            problems << QStringLiteral("the table %1 is missing").arg(QLatin1String(t.name));
    }
    if (!expected)
        return problems;
    for (const auto &[table, rows] : *expected) {
        QStringList count;
        if (!tables.contains(table)) {
            if (!problems.contains(QStringLiteral("the table %1 is missing").arg(table)))
                problems << QStringLiteral("the table %1 is missing").arg(table);
        } else if (!copy.column(QStringLiteral("SELECT count(*) FROM %1").arg(quoted(table)), count)) {
            problems << QStringLiteral("the table %1 cannot be read: %2").arg(table, copy.error());
        } else if (count.value(0).toLongLong() != rows) {
            problems << QStringLiteral("the table %1 holds %2 rows, the shop file %3")
                            .arg(table, count.value(0))
                            .arg(rows);
        }
    }
    for (const QString &t : tables) {
        if (!expected->count(t))
            problems << QStringLiteral("the table %1 is not in the shop file").arg(t);
    }
    return problems;
}

void refuseServer(const QString &location)
{
    if (isServerUri(location))
        throw BackupError(
            QStringLiteral("%1 is a database on a PostgreSQL server, which the server's own tools back up "
                           "(pg_dump)")
                .arg(location));
}

Made make(Database &source, const QString &folder, int keep, const ProgressFn &progress)
{
    if (!source.isOpen())
        throw BackupError(QStringLiteral("the shop file is not open"));
    refuseServer(source.path());
    makeFolder(folder);
    removeStalePartials(folder);
    const QString target = uniqueTarget(folder, source.path(), Clock::now());
    PartialFile partial(partialFor(target));
    createPrivate(partial.path());

    RowCounts counts;
    {
        ReadSnapshot snapshot(source.handle());
        try {
            counts = rowCounts(source);
        } catch (const DbError &e) {
            throw BackupError(QStringLiteral("the shop file %1 cannot be read: %2")
                                  .arg(native(source.path()), e.message()));
        }
        copyPages(source.handle(), partial.path(), source.key(), progress);
    }
    const QStringList problems = verify(partial.path(), source.key(), &counts);
    if (!problems.isEmpty())
        throw BackupError(QStringLiteral("the copy did not match the shop file: %1")
                              .arg(problems.join(QStringLiteral("; "))));
    publish(partial.path(), target);

    Made made;
    made.file = target;
    made.tables = int(counts.size());
    for (const auto &[table, rows] : counts)
        made.rows += rows;
    made.removed = rotate(folder, source.path(), keep);
    return made;
}

bool dailyDue(const QString &folder, const QString &databasePath, const QDate &today)
{
    QFile stamp(QDir(folder).filePath(u'.' + QFileInfo(databasePath).fileName() + QStringLiteral(".daily")));
    if (!stamp.open(QIODevice::ReadOnly))
        return true;
    return QString::fromLatin1(stamp.readAll()).trimmed() != today.toString(Qt::ISODate);
}

void markDaily(const QString &folder, const QString &databasePath, const QDate &today)
{
    QFile stamp(QDir(folder).filePath(u'.' + QFileInfo(databasePath).fileName() + QStringLiteral(".daily")));
    if (stamp.open(QIODevice::WriteOnly | QIODevice::Truncate))
        stamp.write(today.toString(Qt::ISODate).toLatin1() + '\n');
}

QString restore(const QString &backupFile, const QString &databasePath, const QByteArray &key)
{
    refuseServer(databasePath);
    const QFileInfo from(backupFile);
    const QFileInfo to(databasePath);
    if (from.exists() && to.exists() && from.canonicalFilePath() == to.canonicalFilePath())
        throw BackupError(QStringLiteral("%1 is the shop file itself").arg(native(backupFile)));
    const QStringList problems = verify(backupFile, key);
    if (!problems.isEmpty())
        throw BackupError(QStringLiteral("%1 is not a good backup: %2")
                              .arg(native(backupFile), problems.join(QStringLiteral("; "))));

    // The copy is made beside the shop file first, so putting it in place is one rename.
    const QString folder = to.absolutePath();
    PartialFile partial(QDir(folder).filePath(u'.' + to.fileName() + QStringLiteral(".restore") +
                                              kPartialMark + QString::number(::getpid())));
    copyBytes(backupFile, partial.path());

    QString kept;
    if (to.exists()) {
        try {
            std::unique_ptr<Database> current = Database::open(databasePath, key);
            kept = make(*current, defaultFolder(databasePath), 0).file;
        } catch (const std::exception &) {
            // Damaged or unreadable with the key: kept byte for byte instead.
            kept = keepRawCopy(databasePath, defaultFolder(databasePath));
        }
    }
    // A journal left beside the replaced file belongs to it, never to the restored one.
    for (const char *suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(databasePath + QLatin1String(suffix));
    if (::rename(QFile::encodeName(partial.path()).constData(),
                 QFile::encodeName(databasePath).constData()) != 0)
        throw BackupError(
            QStringLiteral("%1 cannot be replaced: %2").arg(native(databasePath), systemError()));
    syncPath(folder, O_RDONLY | O_DIRECTORY);
    return kept;
}

} // namespace backup
