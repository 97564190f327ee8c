#include "core/Startup.h"

#include "core/Database.h"
#include "core/schema/Schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

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
        db = Database::open(config.databasePath, schema::password());
    } catch (const DbError &e) {
        const QString reason =
            e.reason().isEmpty() ? QStringLiteral("could not be opened: %1").arg(e.message()) : e.reason();
        throw StartupError(QStringLiteral("Database Error"),
                           QStringLiteral("The database file %1 named in %2 %3.")
                               .arg(QDir::toNativeSeparators(config.databasePath), where, reason));
    }
    if (db->scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table'")).toInt() == 0) {
        throw StartupError(
            QStringLiteral("Database Error"),
            QStringLiteral("The database file %1 named in %2 holds no tables: it is not a database "
                           "of this program, or its password is wrong.")
                .arg(QDir::toNativeSeparators(config.databasePath), where));
    }
    schema::upgradeOpenedFile(*db);
    DatabasePath() = config.databasePath;
    PriceChangeCutoff() = config.priceChangeCutoff;
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

InstanceLock::InstanceLock(const QString &programFolder)
{
    const QString dir = QDir::tempPath();
    const QByteArray key = QCryptographicHash::hash(QFileInfo(programFolder).absoluteFilePath().toUtf8(),
                                                    QCryptographicHash::Sha1)
                               .toHex()
                               .left(16);
    m_path = QDir(dir).filePath(
        QStringLiteral("corvane-%1-%2.lock").arg(::getuid()).arg(QString::fromLatin1(key)));
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
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true; // no place for a lock: do not stop the shop from working
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}
