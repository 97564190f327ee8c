// corvane-mkdb: prepares a new encrypted database file holding the schema, optionally with demo data,
// or copies a shop between a file and a server.
#include "DemoData.h"
#include "core/Database.h"
#include "core/Passphrase.h"
#include "core/PgEngine.h"
#include "core/Startup.h"
#include "core/schema/Copy.h"
#include "core/schema/Schema.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: corvane-mkdb [--demo] [--size N] [--seed N] [--today YYYY-MM-DD] FILE|URI\n"
                         "       corvane-mkdb --copy-from FILE URI\n"
                         "       corvane-mkdb --copy-from URI FILE\n"
                         "Creates FILE as a new, encrypted database holding the schema. An existing FILE is\n"
                         "never overwritten. A postgresql:// URI names an empty database on a PostgreSQL\n"
                         "server instead; one that holds tables is refused. --demo fills it with demo data;\n"
                         "--size scales it (1 = a few months). --copy-from copies every row of a shop file\n"
                         "into a new server database, or of a server database into a new shop file, in one\n"
                         "transaction, keeping every ID; it prints each table's rows on both sides and\n"
                         "stores nothing when a count differs.\n");
    return 2;
}

// The file is built under this name beside the target and renamed into place only when complete,
// so a run killed part-way never leaves a database the program would take for a good one.
QString partialName(const QString &file)
{
    const QFileInfo info(file);
    return info.dir().filePath(QLatin1Char('.') + info.fileName() + QStringLiteral(".partial"));
}

void removeWithJournal(const QString &file)
{
    for (const QString &suffix : {QString(), QStringLiteral("-journal"), QStringLiteral("-wal")})
        QFile::remove(file + suffix);
}

bool syncPath(const QString &path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Moves the finished file into place without ever replacing a file that appeared meanwhile.
QString publish(const QString &partial, const QString &file)
{
    if (!syncPath(partial, O_RDONLY))
        return QStringLiteral("could not write %1 to disk").arg(partial);
    if (::link(QFile::encodeName(partial).constData(), QFile::encodeName(file).constData()) != 0)
        return QStringLiteral("could not create %1: %2")
            .arg(file, QString::fromLocal8Bit(std::strerror(errno)));
    QFile::remove(partial);
    syncPath(QFileInfo(file).absolutePath(), O_RDONLY | O_DIRECTORY);
    return QString();
}

QString failureText(const std::exception &e)
{
    const auto *dbError = dynamic_cast<const DbError *>(&e);
    return dbError ? dbError->message() : QString::fromLocal8Bit(e.what());
}

std::unique_ptr<Database> openEmptyServerDatabase(const QString &uri)
{
    auto db = openServerDatabase(uri);
    if (!db->tableNames().isEmpty())
        throw std::runtime_error(
            QStringLiteral("the database %1 already holds tables; it is never overwritten")
                .arg(serverDatabaseName(uri))
                .toStdString());
    return db;
}

// Copies every row of `from` into `to` inside the caller's transaction, prints both counts of
// every table, and throws when one differs, so that the caller's transaction stores nothing.
void copyCounted(Database &from, Database &to)
{
    const std::vector<schema::CopiedTable> counts = schema::copyAllRows(from, to);
    std::printf("%-20s %12s %12s\n", "Table", "Read", "Stored");
    QStringList differing;
    for (const schema::CopiedTable &c : counts) {
        std::printf("%-20s %12lld %12lld\n", qPrintable(c.table), c.read, c.stored);
        if (c.read != c.stored)
            differing << c.table;
    }
    std::fflush(stdout);
    if (!differing.isEmpty())
        throw std::runtime_error(
            QStringLiteral("the row counts of %1 differ between %2 and %3; nothing was copied")
                .arg(differing.join(QStringLiteral(", ")), from.path(), to.path())
                .toStdString());
}

// An existing, empty server database: the schema and its rows in one transaction, so a failure
// leaves it empty. The rows are the demo shop's, or a shop file's when `copyFrom` names one.
int prepareServer(const QString &uri, bool demo, const DemoOptions &options, const QString &copyFrom = {})
{
    try {
        auto db = openEmptyServerDatabase(uri);
        std::unique_ptr<Database> source;
        if (!copyFrom.isEmpty())
            source = openShopDatabase(copyFrom);
        Transaction tx(*db);
        schema::install(*db);
        if (demo)
            fillDemoData(*db, options);
        if (source)
            copyCounted(*source, *db);
        tx.commit();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "corvane-mkdb: %s\n", qPrintable(failureText(e)));
        return 1;
    }
    std::printf("%s\n", qPrintable(uri));
    return 0;
}

// A new file built beside its place by `fill` and moved there only when complete; nothing is
// left when anything fails.
int buildFile(const QString &file, const std::function<void(Database &)> &fill)
{
    if (QFileInfo::exists(file)) {
        // An existing file is left exactly as it was.
        std::fprintf(stderr, "corvane-mkdb: %s already exists; it is never overwritten\n", qPrintable(file));
        return 1;
    }
    const QString partial = partialName(file);
    if (QFileInfo::exists(partial)) {
        removeWithJournal(partial);
        std::fprintf(stderr, "corvane-mkdb: removed %s, left half-made by an earlier run\n",
                     qPrintable(partial));
    }
    std::unique_ptr<Database> db;
    QString problem;
    try {
        db = schema::createDatabaseFile(partial);
        fill(*db);
        db->close();
        db.reset();
        problem = publish(partial, file);
    } catch (const std::exception &e) {
        problem = failureText(e);
        db.reset();
    }
    if (!problem.isEmpty()) {
        removeWithJournal(partial);
        std::fprintf(stderr, "corvane-mkdb: %s\n", qPrintable(problem));
        return 1;
    }
    std::printf("%s\n", qPrintable(file));
    return 0;
}

// A server database into a new shop file, keyed with the program's fixed key.
int copyToFile(const QString &uri, const QString &file)
{
    std::unique_ptr<Database> source;
    return buildFile(file, [&](Database &db) {
        source = openShopDatabase(uri);
        Transaction tx(db);
        copyCounted(*source, db);
        tx.commit();
    });
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    bool demo = false;
    DemoOptions options;
    QString file;
    QString copyFrom;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        bool ok = true;
        if (a == QLatin1String("--demo")) {
            demo = true;
        } else if (a == QLatin1String("--size") && i + 1 < args.size()) {
            options.size = args.at(++i).toInt(&ok);
            ok = ok && options.size > 0;
            demo = true;
        } else if (a == QLatin1String("--seed") && i + 1 < args.size()) {
            options.seed = args.at(++i).toUInt(&ok);
        } else if (a == QLatin1String("--copy-from") && i + 1 < args.size() && copyFrom.isEmpty()) {
            copyFrom = args.at(++i);
        } else if (a == QLatin1String("--today") && i + 1 < args.size()) {
            options.today = QDate::fromString(args.at(++i), Qt::ISODate);
            ok = options.today.isValid();
        } else if (a.startsWith(u'-') || !file.isEmpty()) {
            ok = false;
        } else {
            file = a;
        }
        if (!ok)
            return usage();
    }
    if (file.isEmpty())
        return usage();
    if (!copyFrom.isEmpty()) {
        // One side is a server and the other a file.
        if (demo || isServerUri(copyFrom) == isServerUri(file))
            return usage();
        passphrase::setPrompt(passphrase::fromEnvironmentOrTerminal);
        serverLogin() = serverLoginAtTerminal;
        return isServerUri(file) ? prepareServer(file, false, options, copyFrom) : copyToFile(copyFrom, file);
    }
    if (isServerUri(file))
        return prepareServer(file, demo, options);
    return buildFile(file, [&](Database &db) {
        if (demo)
            fillDemoData(db, options);
    });
}
