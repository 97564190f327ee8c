// corvane-mkdb: prepares a new encrypted database file holding the schema, optionally with demo data.
#include "core/Database.h"
#include "DemoData.h"
#include "core/schema/Schema.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <exception>
#include <memory>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: corvane-mkdb [--demo] [--size N] [--seed N] [--today YYYY-MM-DD] FILE\n"
                 "Creates FILE as a new, encrypted database holding the schema. An existing FILE is\n"
                 "never overwritten. --demo fills it with demo data; --size scales it (1 = a few months).\n");
    return 2;
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
    std::unique_ptr<Database> db;
    try {
        db = schema::createDatabaseFile(file);
    } catch (const DbError &e) {
        // Nothing of ours to remove: an existing file is left exactly as it was.
        std::fprintf(stderr, "corvane-mkdb: %s\n", qPrintable(e.message()));
        return 1;
    }
    try {
        if (demo)
            fillDemoData(*db, options);
        db->close();
    } catch (const std::exception &e) {
        // A half-made file must not be mistaken for a good one later.
        const QString text = dynamic_cast<const DbError *>(&e) ? static_cast<const DbError &>(e).message()
                                                               : QString::fromLocal8Bit(e.what());
        db.reset();
        for (const QString &suffix : {QString(), QStringLiteral("-journal"), QStringLiteral("-wal")})
            QFile::remove(file + suffix);
        std::fprintf(stderr, "corvane-mkdb: %s\n", qPrintable(text));
        return 1;
    }
    std::printf("%s\n", qPrintable(file));
    return 0;
}
