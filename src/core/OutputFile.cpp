#include "core/OutputFile.h"

#include "core/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace output {

namespace {

QStringList &extraProtected()
{
    static QStringList files;
    return files;
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

Result failure(const QString &path, const QString &reason)
{
    return {Outcome::Failed, QStringLiteral("The file \"%1\" could not be written: %2").arg(shown(path), reason)};
}

// A path that does not exist yet is the same file as another when it names the same entry of the
// same folder; one that exists is compared by device and inode, which sees through links.
bool sameFile(const QString &a, const QString &b)
{
    struct stat sa = {}, sb = {};
    const bool hasA = ::stat(QFile::encodeName(a).constData(), &sa) == 0;
    const bool hasB = ::stat(QFile::encodeName(b).constData(), &sb) == 0;
    if (hasA && hasB)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    if (hasA != hasB)
        return false;
    auto entry = [](const QString &p) {
        QFileInfo f(p);
        // A dangling link would be written at what it points to.
        if (f.isSymLink())
            f = QFileInfo(f.symLinkTarget());
        const QString folder = f.absoluteDir().canonicalPath();
        return folder.isEmpty() ? QString() : folder + u'/' + f.fileName();
    };
    const QString ea = entry(a);
    return !ea.isEmpty() && ea == entry(b);
}

QString describeProtected(const QString &file)
{
    const QString name = QFileInfo(file).fileName();
    if (hasDbConnection()) {
        const QString db = DbConnection().path();
        if (file == db)
            return QStringLiteral("the open database");
        if (file.startsWith(db))
            return QStringLiteral("the open database's journal");
    }
    if (name == QLatin1String("config.txt"))
        return QStringLiteral("the program's configuration");
    return QStringLiteral("the shop's letterhead");
}

} // namespace

void protectFile(const QString &path)
{
    if (!path.isEmpty() && !extraProtected().contains(path))
        extraProtected() << path;
}

void protectConfigFolder(const QString &folder)
{
    const QDir dir(folder);
    for (const char *name : {"config.txt", "letterhead.txt", "logo.png"})
        protectFile(dir.filePath(QString::fromLatin1(name)));
}

QStringList protectedFiles()
{
    QStringList files;
    if (hasDbConnection()) {
        const QString db = DbConnection().path();
        files << db;
        for (const char *suffix : {"-journal", "-wal", "-shm"})
            files << db + QLatin1String(suffix);
    }
    return files + extraProtected();
}

QString refusal(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("No file name was given.");
    for (const QString &file : protectedFiles()) {
        if (sameFile(path, file))
            return QStringLiteral("The file \"%1\" is %2; the document was not written.")
                .arg(shown(path), describeProtected(file));
    }
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return QStringLiteral("\"%1\" is a folder; name a file to write.").arg(shown(path));
        if (!S_ISREG(st.st_mode) && !S_ISCHR(st.st_mode) && !S_ISFIFO(st.st_mode))
            return QStringLiteral("\"%1\" is not a file a document can be written to.").arg(shown(path));
    }
    return QString();
}

namespace {

// A descriptor as a device. Every byte handed to it is written or the failure kept: a short write
// (a disk that fills up) is retried, so it shows as the system's reason, never as success.
class DescriptorDevice : public QIODevice
{
public:
    explicit DescriptorDevice(int fd) : m_fd(fd) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    bool isSequential() const override { return true; }
    // Writes what is held; false with error() set when the system refused.
    bool drain()
    {
        qint64 done = 0;
        while (m_error == 0 && done < m_pending.size()) {
            const ssize_t n = ::write(m_fd, m_pending.constData() + done, size_t(m_pending.size() - done));
            if (n > 0)
                done += n;
            else if (n < 0 && errno != EINTR)
                m_error = errno;
            else if (n == 0)
                m_error = EIO;
        }
        m_pending.clear();
        return m_error == 0;
    }
    int systemError() const { return m_error; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (m_error)
            return -1;
        m_pending.append(data, size);
        if (m_pending.size() >= (1 << 16) && !drain())
            return -1;
        return size;
    }

private:
    int m_fd;
    int m_error = 0;
    QByteArray m_pending;
};

// Fills an open descriptor and checks that everything reached it.
Result fill(int fd, const QString &path, const std::function<bool(QIODevice &)> &write, bool sync)
{
    DescriptorDevice device(fd);
    const bool finished = write(device);
    if (!device.drain())
        return failure(path, systemReason(device.systemError()));
    if (!finished)
        return {Outcome::Cancelled, {}};
    if (sync && ::fsync(fd) != 0)
        return failure(path, systemReason(errno));
    return {};
}

Result writeInPlace(const QString &path, const std::function<bool(QIODevice &)> &write)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failure(path, systemReason(errno));
    Result r = fill(fd, path, write, false);
    if (::close(fd) != 0 && r.written())
        r = failure(path, systemReason(errno));
    return r;
}

} // namespace

Result writeFile(const QString &path, const std::function<bool(QIODevice &)> &write)
{
    const QString refused = refusal(path);
    if (!refused.isEmpty())
        return {Outcome::Refused, refused};

    struct stat st = {};
    const bool exists = ::stat(QFile::encodeName(path).constData(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        return writeInPlace(path, write);

    // A link is written through: the file it points to is replaced, the link stays.
    QString target = path;
    if (QFileInfo(path).isSymLink())
        target = exists ? QFileInfo(path).canonicalFilePath() : QFileInfo(path).symLinkTarget();
    const QFileInfo info(target);
    QByteArray temporary =
        QFile::encodeName(info.absoluteDir().filePath(u'.' + info.fileName() + QStringLiteral(".XXXXXX")));
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return failure(path, systemReason(errno));
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    mode_t mode = st.st_mode & 07777;
    if (!exists) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);

    Result r = fill(fd, path, write, true);
    if (::close(fd) != 0 && r.written())
        r = failure(path, systemReason(errno));
    if (r.written() && ::rename(temporary.constData(), QFile::encodeName(target).constData()) != 0)
        r = failure(path, systemReason(errno));
    if (!r.written())
        ::unlink(temporary.constData());
    return r;
}

} // namespace output
