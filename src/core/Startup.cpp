#include "core/Startup.h"

#include "core/Database.h"
#include "core/Passphrase.h"
#include "core/PgEngine.h"
#include "core/schema/Schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QUrl>
#include <QUrlQuery>

#include <cstdio>
#include <optional>

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

// Tables made by another version of the program lack columns this one reads and writes.
void requireSchemaVersion(Database &db)
{
    QStringList lacking;
    for (const schema::Table &t : schema::tables()) {
        QStringList present;
        for (const QString &c : db.columnsOf(QString::fromLatin1(t.name)))
            present << c.toLower();
        QStringList gone;
        for (const schema::Column &c : t.columns) {
            if (!present.contains(QString::fromLatin1(c.name).toLower()))
                gone << QString::fromLatin1(c.name);
        }
        if (!gone.isEmpty())
            lacking
                << QStringLiteral("%1 lacks %2").arg(QLatin1String(t.name), gone.join(QStringLiteral(", ")));
    }
    if (lacking.isEmpty())
        return;
    const QString what = QStringLiteral("holds a schema of another version of this program (%1)")
                             .arg(lacking.join(QStringLiteral("; ")));
    if (db.isServer())
        throw DbError(SQLITE_NOTADB,
                      QStringLiteral("The database %1 %2.").arg(serverDatabaseName(db.path()), what));
    throw DbError::unusableFile(SQLITE_NOTADB, db.path(), what);
}

void requireShopSchema(Database &db)
{
    QStringList present;
    for (const QString &name : db.tableNames())
        present << name.toLower();
    QStringList missing;
    for (const schema::Table &t : schema::tables()) {
        if (!present.contains(QString::fromLatin1(t.name).toLower()))
            missing << QString::fromLatin1(t.name);
    }
    if (missing.isEmpty()) {
        requireSchemaVersion(db);
        return;
    }
    if (db.isServer()) {
        const QString name = serverDatabaseName(db.path());
        throw DbError(
            SQLITE_NOTADB,
            missing.size() == int(schema::tables().size())
                ? QStringLiteral("The database %1 holds no tables of this program; corvane-mkdb prepares "
                                 "it.")
                      .arg(name)
                : QStringLiteral("The database %1 is not a whole shop database: the table(s) %2 are "
                                 "missing.")
                      .arg(name, missing.join(QStringLiteral(", "))));
    }
    if (missing.size() == int(schema::tables().size()))
        throw DbError::unusableFile(SQLITE_NOTADB, db.path(),
                                    QStringLiteral("holds no tables of this program: it is not a shop database"));
    throw DbError::unusableFile(SQLITE_NOTADB, db.path(),
                                QStringLiteral("is not a whole shop database: the table(s) %1 are missing")
                                    .arg(missing.join(QStringLiteral(", "))));
}

} // namespace

ServerLogin &serverLogin()
{
    static ServerLogin login;
    return login;
}

bool serverLoginAtTerminal(const QString &uri, QString &, QString &password, const QString &problem)
{
    if (!problem.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(problem));
    const std::optional<QByteArray> typed =
        passphrase::readHidden(QStringLiteral("Password for %1: ").arg(uri));
    if (!typed || typed->isEmpty())
        return false;
    password = QString::fromUtf8(*typed);
    return true;
}

std::unique_ptr<Database> openServerDatabase(const QString &uri)
{
    QString user;
    QString password;
    for (int attempt = 1;; ++attempt) {
        try {
            return Database::openServer(uri, user, password);
        } catch (const DbError &e) {
            const PgEngine::Refusal refusal = PgEngine::refusalOf(e);
            const bool asks =
                refusal == PgEngine::Refusal::NeedsPassword || refusal == PgEngine::Refusal::WrongPassword;
            if (!asks || !serverLogin() || attempt > 3 ||
                !serverLogin()(uri, user, password, attempt == 1 ? QString() : e.message()))
                throw;
        }
    }
}

std::unique_ptr<Database> openShopDatabase(const QString &path)
{
    std::unique_ptr<Database> db;
    if (isServerUri(path)) {
        db = openServerDatabase(path);
        requireShopSchema(*db);
        schema::upgradeOpenedFile(*db);
        return db;
    }
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
    if (isServerUri(config.databasePath)) {
        std::unique_ptr<Database> db;
        try {
            db = openShopDatabase(config.databasePath);
        } catch (const DbError &e) {
            throw StartupError(QStringLiteral("Database Error"), e.message());
        }
        DatabasePath() = config.databasePath;
        PriceChangeCutoff() = config.priceChangeCutoff;
        BackupsKept() = config.backupsKept;
        return db;
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
    return db.integrityProblems();
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
// identity, its path only while it does not exist. A server database is its host, port and name,
// however the URI spells them and whatever password it carries.
QByteArray fileIdentity(const QString &path)
{
    if (isServerUri(path)) {
        const QUrl url(path);
        const QUrlQuery query(url);
        QString host = query.hasQueryItem(QStringLiteral("host")) ? query.queryItemValue(QStringLiteral("host"))
                                                                  : url.host();
        if (host.isEmpty() || host == QLatin1String("localhost"))
            host = QStringLiteral("local");
        const QString port = query.hasQueryItem(QStringLiteral("port")) ? query.queryItemValue(QStringLiteral("port"))
                                                                        : QString::number(url.port(5432));
        return QStringLiteral("server:%1:%2/%3").arg(host.toLower(), port, serverDatabaseName(path)).toUtf8();
    }
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        return QByteArray::number(quint64(st.st_dev)) + ':' + QByteArray::number(quint64(st.st_ino));
    return QFileInfo(path).absoluteFilePath().toUtf8();
}

} // namespace

InstanceLock::InstanceLock(const QString &database, const QString &machine)
{
    const QString host = machine.isEmpty() ? QSysInfo::machineHostName() : machine;
    const QByteArray key =
        QCryptographicHash::hash(host.toUtf8() + '\n' + fileIdentity(database), QCryptographicHash::Sha1)
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
