// bench_startup: time from reading config.txt and opening the encrypted database (or connecting
// to the server database a postgresql:// URI names) to a shown main window with its events
// processed, over several runs per database; and the part after the database is open, which is
// what a clerk waits once the login is done.
//
//   bench_startup [--runs N] [FILE|URI...]
//
// Without FILE a size-1 demo database is made in a temporary folder first.
#include "core/Database.h"
#include "core/PgEngine.h"
#include "DemoData.h"
#include "ui/MainWindow.h"
#include "core/SharedRoutines.h"
#include "core/Startup.h"
#include "core/schema/Schema.h"
#include "BenchSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::median;

bool writeConfig(const QString &folder, const QString &databasePath)
{
    QFile file(QDir(folder).filePath(QStringLiteral("config.txt")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    // Quoted, so a path with a comma in it stays one item.
    file.write(QStringLiteral("Corvane configuration\nDatabase Path,\"%1\"\nPrice Change Cutoff,1/1/2010\n")
                   .arg(isServerUri(databasePath) ? databasePath : QFileInfo(databasePath).absoluteFilePath())
                   .toUtf8());
    return true;
}

struct Timing
{
    double open = 0;  // config.txt read and database keyed and opened
    double total = 0; // ... and the main window shown and settled
};

// One start: config and database, the single-copy lock, the main window shown and settled.
Timing startOnce(const QString &folder)
{
    Timing t;
    QElapsedTimer clock;
    clock.start();
    setDbConnection(openConfiguredDatabase(folder));
    t.open = double(clock.nsecsElapsed()) / 1e6;
    InstanceLock lock(folder);
    lock.tryLock();
    auto *window = new MainWindow;
    window->show();
    QApplication::processEvents();
    while (!(window->windowHandle() && window->windowHandle()->isExposed()) && clock.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    QApplication::processEvents();
    t.total = double(clock.nsecsElapsed()) / 1e6;

    window->close(); // closes the database like the program does
    delete window;
    QApplication::processEvents();
    if (hasDbConnection())
        CloseDatabase();
    return t;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int runs = 7;
    QStringList files;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size()) {
            runs = std::max(1, args[++i].toInt());
        } else if (args[i].startsWith(u'-')) {
            std::fprintf(stderr, "usage: bench_startup [--runs N] [FILE|URI...]\n");
            return 2;
        } else {
            files << args[i];
        }
    }

    QTemporaryDir work;
    if (!work.isValid()) {
        std::fprintf(stderr, "bench_startup: no temporary folder\n");
        return 1;
    }
    try {
        if (files.isEmpty()) {
            const QString path = QDir(work.path()).filePath(QStringLiteral("demo.db"));
            QElapsedTimer made;
            made.start();
            auto db = schema::createDatabaseFile(path);
            fillDemoData(*db, DemoOptions{});
            db->close();
            std::printf("made size-1 demo database in %.0f ms\n", double(made.elapsed()));
            files << path;
        }
        for (const QString &file : files) {
            if (!writeConfig(work.path(), file)) {
                std::fprintf(stderr, "bench_startup: cannot write config.txt in %s\n",
                             qPrintable(work.path()));
                return 1;
            }
            std::vector<double> totals, opens, after;
            const Timing first = startOnce(work.path());
            for (int r = 0; r < runs; ++r) {
                const Timing t = startOnce(work.path());
                totals.push_back(t.total);
                opens.push_back(t.open);
                after.push_back(t.total - t.open);
            }
            std::printf(
                "startup %s (%.1f MB): first %.1f ms; %d runs: min %.1f ms, median %.1f ms, max %.1f ms "
                "(database open alone: median %.1f ms; open to shown window: median %.1f ms)\n",
                qPrintable(isServerUri(file) ? file : QFileInfo(file).fileName()),
                double(QFileInfo(file).size()) / 1e6, first.total, runs,
                *std::min_element(totals.begin(), totals.end()), median(totals),
                *std::max_element(totals.begin(), totals.end()), median(opens), median(after));
        }
    } catch (const StartupError &e) {
        std::fprintf(stderr, "bench_startup: %s\n", qPrintable(e.text()));
        return 1;
    } catch (const DbError &e) {
        std::fprintf(stderr, "bench_startup: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
