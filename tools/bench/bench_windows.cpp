// bench_windows: how long each working window of the navigation pane takes to open on a shop:
// the command run from the main window until the new window is shown and its events are done.
//   bench_windows FILE|URI [--runs N]
// The file is copied first: some windows write work tables when they open or close. A server
// database (a postgresql:// URI) is used as it is, so it should be one made for benchmarking.
#include "app/Subsystems.h"
#include "core/Database.h"
#include "core/PgEngine.h"
#include "core/SharedRoutines.h"
#include "core/schema/Schema.h"
#include "ui/MainWindow.h"
#include "BenchSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::median;

// Windows that open without a question or a file picker; the documents the pane produces at
// once are timed by bench_documents.
const char *const kWindows[] = {
    "OrderNavigator",     "OrderEntry",         "Cutsheet",       "EmployeeYield",   "CustomerYield",
    "EmployeeEarnings",   "Shipping",           "ReceivePayment", "ManualInvoice",   "OpenInvoices",
    "SalesRegister",      "ARTranReport",       "MaterialEntry",  "InventoryAdjust", "AdjustValue",
    "AvailableInventory", "InventoryValuation", "LeatherHistory", "LeatherSales",    "CustomerEntry",
    "EmployeeEntry",      "SetEntry",           "PendingItems",   "PONavigator",
};

QList<QMdiSubWindow *> workingWindows(MainWindow &main)
{
    QList<QMdiSubWindow *> open = main.mdiArea()->subWindowList();
    open.removeAll(main.slideBar());
    return open;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString file;
    int runs = 5;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--runs") && i + 1 < args.size())
            runs = std::max(1, args.at(++i).toInt());
        else
            file = args.at(i);
    }
    if (file.isEmpty()) {
        std::fprintf(stderr, "usage: bench_windows FILE|URI [--runs N]\n");
        return 1;
    }
    QTemporaryDir dir;
    if (isServerUri(file)) {
        setDbConnection(Database::open(file, {}));
    } else {
        const QString copy = dir.filePath(QStringLiteral("shop.db"));
        if (!QFile::copy(file, copy)) {
            std::fprintf(stderr, "bench_windows: cannot copy %s\n", qPrintable(file));
            return 1;
        }
        setDbConnection(Database::open(copy, schema::password()));
        schema::upgradeOpenedFile(DbConnection());
    }

    // A question a window asks while opening or closing is closed unanswered.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    answer.start(20);

    registerAllCommands();
    MainWindow main;
    main.resize(1400, 900);
    main.show();
    QApplication::processEvents();

    std::printf("| window | median open | slowest |\n|---|---|---|\n");
    for (const char *key : kWindows) {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            t.start();
            main.runCommand(QString::fromLatin1(key));
            QApplication::processEvents();
            times.push_back(double(t.nsecsElapsed()) / 1e6);
            if (workingWindows(main).isEmpty()) {
                std::fprintf(stderr, "bench_windows: %s opened no window\n", key);
                break;
            }
            for (QMdiSubWindow *w : workingWindows(main))
                w->close();
            QApplication::processEvents();
        }
        std::printf("| %s | %.1f ms | %.1f ms |\n", key, median(times),
                    times.empty() ? 0 : *std::max_element(times.begin(), times.end()));
        std::fflush(stdout);
    }
    main.close();
    QApplication::processEvents();
    if (hasDbConnection())
        CloseDatabase();
    return 0;
}
