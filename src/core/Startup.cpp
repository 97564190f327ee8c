#include "core/Startup.h"

#include "core/Database.h"
#include "core/Passphrase.h"
#include "core/schema/Schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sqlcipher/sqlite3.h>

namespace {

// Too small, or a plain unencrypted file: no passphrase can open it, so none is asked.
bool couldHoldKeyedFile(const QString &path)
{
    QFile f(path);
    if (f.size() < 512 || !f.open(QIODevice::ReadOnly))
        return false;
    return !f.read(16).startsWith("SQLite format 3");
}

void requireShopSchema(Database &db)
{
    QStringList present;
    for (const Row &r : db.query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
        present << r.text(QStringLiteral("name")).toLower();
    QStringList missing;
    for (const schema::Table &t : schema::tables()) {
        if (!present.contains(QString::fromLatin1(t.name).toLower()))
            missing << QString::fromLatin1(t.name);
    }
    if (missing.isEmpty())
        return;
    if (missing.size() == int(schema::tables().size()))
        throw DbError::unusableFile(SQLITE_NOTADB, db.path(),
                                    QStringLiteral("holds no tables of this program: it is not a shop database"));
    throw DbError::unusableFile(SQLITE_NOTADB, db.path(),
                                QStringLiteral("is not a whole shop database: the table(s) %1 are missing")
                                    .arg(missing.join(QStringLiteral(", "))));
}

} // namespace

std::unique_ptr<Database> openShopDatabase(const QString &path)
{
    std::unique_ptr<Database> db;
    try {
        db = Database::open(path, schema::password());
    } catch (const DbError &e) {
        const passphrase::Prompt &ask = passphrase::prompt();
        if (e.code() != SQLITE_NOTADB || !ask || !couldHoldKeyedFile(path))
            throw;
        for (int attempt = 1; !db; ++attempt) {
            if (attempt > 3)
                throw DbError::unusableFile(SQLITE_NOTADB, path,
                                            QStringLiteral("could not be opened: the passphrase was wrong three "
                                                           "times"));
            const QByteArray key = ask(path, attempt);
            if (key.isEmpty())
                throw DbError::unusableFile(SQLITE_NOTADB, path,
                                            attempt == 1 ? QStringLiteral("is keyed with a passphrase, and none "
                                                                          "was given")
                                                         : QStringLiteral("could not be opened: the passphrase "
                                                                          "is wrong"));
            try {
                db = Database::open(path, key);
            } catch (const DbError &again) {
                if (again.code() != SQLITE_NOTADB)
                    throw;
            }
        }
    }
    requireShopSchema(*db);
    schema::upgradeOpenedFile(*db);
    return db;
}

std::unique_ptr<Database> openConfiguredDatabase(const QString &folder)
{
    const Config config = loadConfig(folder);
    const QString where = QDir::toNativeSeparators(configPath(folder));
    if (config.databasePath.isEmpty()) {
        throw StartupError(QStringLiteral("Database Error"),
                           QStringLiteral("The configuration file %1 names no database file.").arg(where));
    }
    const QFileInfo file(config.databasePath);
    if (!file.exists()) {
        throw StartupError(QStringLiteral("Database Error"),
                           QStringLiteral("The database file %1 named in %2 does not exist.")
                               .arg(QDir::toNativeSeparators(config.databasePath), where));
    }
    if (!file.isFile()) {
        throw StartupError(QStringLiteral("Database Error"),
                           QStringLiteral("%1 named in %2 is not a file.")
                               .arg(QDir::toNativeSeparators(config.databasePath), where));
    }
    std::unique_ptr<Database> db;
    try {
        db = openShopDatabase(config.databasePath);
    } catch (const DbError &e) {
        const QString reason =
            e.reason().isEmpty() ? QStringLiteral("could not be opened: %1").arg(e.message()) : e.reason();
        throw StartupError(QStringLiteral("Database Error"),
                           QStringLiteral("The database file %1 named in %2 %3.")
                               .arg(QDir::toNativeSeparators(config.databasePath), where, reason));
    }
    DatabasePath() = config.databasePath;
    PriceChangeCutoff() = config.priceChangeCutoff;
    BackupsKept() = config.backupsKept;
    return db;
}

QStringList checkDatabase(Database &db)
{
    QStringList findings;
    try {
        const RowSet rows = db.query(QStringLiteral("PRAGMA integrity_check(100)"));
        QStringList lines;
        for (const Row &r : rows)
            lines += r.value(0).toString().split(u'\n', Qt::SkipEmptyParts);
        lines.removeAll(QStringLiteral("ok"));
        lines.removeAll(QStringLiteral("*** in database main ***"));
        // The engine lists pages; a few of them say enough, the tables below say where.
        for (int i = 0; i < qMin<int>(3, lines.size()); ++i)
            findings << lines.at(i);
        if (lines.size() > 3)
            findings << QStringLiteral("... and %1 more damaged places").arg(lines.size() - 3);
    } catch (const DbError &e) {
        findings << QStringLiteral("the engine's check stopped: %1").arg(e.message());
    }
    // A damaged page only shows when it is read: read every table and index to name the ones it hits.
    auto quoted = [](QString name) { return u'"' + name.replace(u'"', QStringLiteral("\"\"")) + u'"'; };
    RowSet objects;
    try {
        objects = db.query(QStringLiteral("SELECT type, name, tbl_name FROM sqlite_master "
                                          "WHERE type IN ('table', 'index') ORDER BY type DESC, name"));
    } catch (const DbError &e) {
        findings << QStringLiteral("the list of tables cannot be read: %1").arg(e.message());
    }
    for (const Row &o : objects) {
        const QString name = o.text(QStringLiteral("name"));
        const QString table = o.text(QStringLiteral("tbl_name"));
        try {
            if (o.text(QStringLiteral("type")) == QLatin1String("table")) {
                db.exec(QStringLiteral("SELECT * FROM %1").arg(quoted(name)));
                continue;
            }
            // Ordered by its first column through the index itself, the whole index is read.
            const RowSet columns = db.query(QStringLiteral("PRAGMA index_info(%1)").arg(quoted(name)));
            if (columns.isEmpty() || columns.at(0).isNull(QStringLiteral("name")))
                continue;
            const QString first = quoted(columns.at(0).text(QStringLiteral("name")));
            db.exec(QStringLiteral("SELECT %1 FROM %2 INDEXED BY %3 ORDER BY %1")
                        .arg(first, quoted(table), quoted(name)));
        } catch (const DbError &e) {
            findings << (name == table
                             ? QStringLiteral("table %1: %2").arg(name, e.message())
                             : QStringLiteral("index %1 of table %2: %3").arg(name, table, e.message()));
        }
    }
    return findings;
}

namespace {

// The user's own folder for locks: the session's runtime folder, else one under the home folder.
// Neither can be reached, replaced or filled by another local account.
QString privateLockFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    struct stat st = {};
    if (!runtime.isEmpty() && ::lstat(QFile::encodeName(runtime).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
        st.st_uid == ::getuid() && (st.st_mode & 077) == 0)
        return runtime;
    const QString folder = QDir::home().filePath(QStringLiteral(".cache/corvane"));
    QDir().mkpath(folder);
    ::chmod(QFile::encodeName(folder).constData(), 0700);
    return folder;
}

// Two paths to one file (links, other folders, ./shop.db) are one database: the key is the file's
// identity, its path only while it does not exist.
QByteArray fileIdentity(const QString &path)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        return QByteArray::number(quint64(st.st_dev)) + ':' + QByteArray::number(quint64(st.st_ino));
    return QFileInfo(path).absoluteFilePath().toUtf8();
}

} // namespace

InstanceLock::InstanceLock(const QString &databaseFile)
{
    const QByteArray key = QCryptographicHash::hash(fileIdentity(databaseFile), QCryptographicHash::Sha1)
                               .toHex()
                               .left(16);
    m_path = QDir(privateLockFolder()).filePath(QStringLiteral("corvane-%1.lock").arg(QString::fromLatin1(key)));
}

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock
}

bool InstanceLock::tryLock()
{
    if (m_fd >= 0)
        return true;
    const int fd =
        ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return true; // no place for a lock: do not stop the shop from working
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}
