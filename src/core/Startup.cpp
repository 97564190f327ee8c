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
        throw StartupError(QStringLiteral("Database Error"),
                           QStringLiteral("The database file %1 named in %2 holds no tables: it is not a database "
                                          "of this program, or its password is wrong.")
                               .arg(QDir::toNativeSeparators(config.databasePath), where));
    }
    DatabasePath() = config.databasePath;
    PriceChangeCutoff() = config.priceChangeCutoff;
    return db;
}

InstanceLock::InstanceLock(const QString &programFolder)
{
    const QString dir = QDir::tempPath();
    const QByteArray key =
        QCryptographicHash::hash(QFileInfo(programFolder).absoluteFilePath().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    m_path = QDir(dir).filePath(QStringLiteral("corvane-%1-%2.lock").arg(::getuid()).arg(QString::fromLatin1(key)));
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
