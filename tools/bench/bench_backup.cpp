// Verified backups of a database file: the copy through the engine's online backup, the copy's
// integrity check and row counts, the rename into place (bench_backup FILE [--runs N]).
#include "core/Backup.h"
#include "core/Database.h"
#include "core/schema/Schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int runs = 7;
    const int at = int(args.indexOf(QStringLiteral("--runs")));
    if (at >= 0 && at + 1 < args.size()) {
        runs = std::max(1, args.at(at + 1).toInt());
        args.remove(at, 2);
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: bench_backup FILE [--runs N]\n");
        return 2;
    }
    std::unique_ptr<Database> db = Database::open(args.first(), schema::password());
    QTemporaryDir folder;
    std::vector<double> ms;
    for (int i = 0; i <= runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const backup::Made made = backup::make(*db, folder.path(), runs + 2);
        const double took = double(timer.nsecsElapsed()) / 1e6;
        if (i == 0)
            std::printf("%s: %.1f MB, %d tables, %lld rows; first backup %.0f ms\n", qPrintable(args.first()),
                        double(QFileInfo(made.file).size()) / 1e6, made.tables, made.rows, took);
        else
            ms.push_back(took);
        QFile::remove(made.file); // each run writes a new file, as each day does
    }
    std::sort(ms.begin(), ms.end());
    std::printf("verified backup over %d runs: min %.0f ms, median %.0f ms, max %.0f ms\n", runs, ms.front(),
                ms[ms.size() / 2], ms.back());
    return 0;
}
