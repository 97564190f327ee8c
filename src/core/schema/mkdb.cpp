// corvane-mkdb: prepares a new encrypted database file holding the schema, optionally with demo data.
#include "DemoData.h"
#include "core/Database.h"
#include "core/PgEngine.h"
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
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: corvane-mkdb [--demo] [--size N] [--seed N] [--today YYYY-MM-DD] FILE|URI\n"
                         "Creates FILE as a new, encrypted database holding the schema. An existing FILE is\n"
                         "never overwritten. A postgresql:// URI names an empty database on a PostgreSQL\n"
                         "server instead; one that holds tables is refused. --demo fills it with demo data;\n"
                         "--size scales it (1 = a few months).\n");
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

// An existing, empty server database: the schema (and the demo shop) in one transaction, so a
// failure leaves it empty.
int prepareServer(const QString &uri, bool demo, const DemoOptions &options)
{
    try {
        auto db = Database::openServer(uri);
        if (!db->tableNames().isEmpty()) {
            std::fprintf(stderr,
                         "corvane-mkdb: the database %s already holds tables; it is never overwritten\n",
                         qPrintable(serverDatabaseName(uri)));
            return 1;
        }
        Transaction tx(*db);
        schema::install(*db);
        if (demo)
            fillDemoData(*db, options);
        tx.commit();
    } catch (const std::exception &e) {
        const auto *dbError = dynamic_cast<const DbError *>(&e);
        std::fprintf(stderr, "corvane-mkdb: %s\n",
                     qPrintable(dbError ? dbError->message() : QString::fromLocal8Bit(e.what())));
        return 1;
    }
    std::printf("%s\n", qPrintable(uri));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    bool demo = false;
    DemoOptions options;
    QString file;
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
    if (isServerUri(file))
        return prepareServer(file, demo, options);
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
        if (demo)
            fillDemoData(*db, options);
        db->close();
        db.reset();
        problem = publish(partial, file);
    } catch (const std::exception &e) {
        problem = dynamic_cast<const DbError *>(&e) ? static_cast<const DbError &>(e).message()
                                                    : QString::fromLocal8Bit(e.what());
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
