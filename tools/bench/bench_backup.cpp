// Verified backups of a database file: the copy through the engine's online backup, the copy's
// integrity check and row counts, the rename into place (bench_backup FILE [--runs N]).
#include "core/Backup.h"
#include "core/Database.h"
#include "core/schema/Schema.h"
#include "BenchSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

using bench::median;

// The process's own CPU time: on a machine busy with other work the wall clock says more about
// the neighbours than about the backup.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

} // namespace

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
    std::vector<double> cpu;
    for (int i = 0; i <= runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        const double cpuBefore = cpuMs();
        const backup::Made made = backup::make(*db, folder.path(), runs + 2);
        const double took = double(timer.nsecsElapsed()) / 1e6;
        if (i > 0)
            cpu.push_back(cpuMs() - cpuBefore);
        if (i == 0)
            std::printf("%s: %.1f MB, %d tables, %lld rows; first backup %.0f ms\n", qPrintable(args.first()),
                        double(QFileInfo(made.file).size()) / 1e6, made.tables, made.rows, took);
        else
            ms.push_back(took);
        QFile::remove(made.file); // each run writes a new file, as each day does
    }
    std::printf(
        "verified backup over %d runs: min %.0f ms, median %.0f ms, max %.0f ms; median CPU time %.0f ms\n",
        runs, *std::min_element(ms.begin(), ms.end()), median(ms), *std::max_element(ms.begin(), ms.end()),
        median(cpu));
    return 0;
}
