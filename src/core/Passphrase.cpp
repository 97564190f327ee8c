#include "core/Passphrase.h"

#include "core/Database.h"

#include <QDir>
#include <QFile>

#include <cstdio>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <sqlcipher/sqlite3.h>

namespace passphrase {

namespace {

Prompt &installed()
{
    static Prompt p;
    return p;
}

} // namespace

void setPrompt(Prompt p)
{
    installed() = std::move(p);
}

const Prompt &prompt()
{
    return installed();
}

std::optional<QByteArray> readHidden(const QString &question)
{
    const int fd = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    termios saved = {};
    const bool isTerminal = ::tcgetattr(fd, &saved) == 0;
    if (!isTerminal) {
        ::close(fd);
        return std::nullopt;
    }
    termios quiet = saved;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    quiet.c_lflag |= ECHONL;
    const QByteArray ask = question.toLocal8Bit();
    [[maybe_unused]] ssize_t w = ::write(fd, ask.constData(), size_t(ask.size()));
    ::tcsetattr(fd, TCSAFLUSH, &quiet);
    QByteArray line;
    char c = 0;
    while (::read(fd, &c, 1) == 1 && c != '\n' && line.size() < 4096)
        line += c;
    ::tcsetattr(fd, TCSAFLUSH, &saved);
    ::close(fd);
    return line;
}

QByteArray fromEnvironmentOrTerminal(const QString &file, int attempt)
{
    if (qEnvironmentVariableIsSet("CORVANE_PASSPHRASE"))
        return attempt == 1 ? qgetenv("CORVANE_PASSPHRASE") : QByteArray();
    const QString question = attempt == 1
                                 ? QStringLiteral("Passphrase of %1: ").arg(QDir::toNativeSeparators(file))
                                 : QStringLiteral("That passphrase is wrong. Passphrase of %1: ")
                                       .arg(QDir::toNativeSeparators(file));
    return readHidden(question).value_or(QByteArray());
}

std::optional<Refusal> refusal(const QByteArray &typed, const QByteArray &again)
{
    const QString title = QStringLiteral("Shop Passphrase");
    if (QString::fromUtf8(typed).size() < kMinimumLength)
        return Refusal{QStringLiteral("The passphrase must be at least %1 characters long.").arg(kMinimumLength),
                       title, QStringLiteral("txtPassphrase")};
    if (typed != again)
        return Refusal{QStringLiteral("The two passphrases are not the same. Type it again."), title,
                       QStringLiteral("txtConfirm")};
    return std::nullopt;
}

void refuseServer(const Database &db)
{
    if (db.isServer())
        throw DbError(1, QStringLiteral("%1 is a database on a PostgreSQL server: it has no passphrase, each "
                                        "clerk logs in with their own password.")
                             .arg(db.path()));
}

void rekey(Database &db, const QByteArray &newKey)
{
    refuseServer(db);
    const int rc = sqlite3_rekey(db.handle(), newKey.constData(), int(newKey.size()));
    if (rc != SQLITE_OK)
        throw DbError(rc, QString::fromUtf8(sqlite3_errmsg(db.handle()))).inFile(db.path());
    db.rememberKey(newKey);
    // Read back under the new key, so a failed re-key is said now and not at the next start.
    db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"));
}

} // namespace passphrase
