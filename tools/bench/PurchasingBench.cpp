// purchasing-bench: the demand import of a 9,992-line workbook (.xlsx and .xls), opening the
// pending items window with 5,000 open items and the navigator's search over 5,000 purchase
// orders, each on a fresh copy of a demo database.
// Usage: purchasing-bench DB [--runs N]   (DB made by corvane-mkdb; headless)
#include "core/Clock.h"
#include "core/Database.h"
#include "core/schema/Schema.h"
#include "purchasing/DemandImport.h"
#include "purchasing/PONavigator.h"
#include "purchasing/PendingPOItems.h"
#include "purchasing/PurchaseOrders.h"
#include "ui/Grid.h"
#include "ui/MessageBox.h"
#include "BenchSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using bench::median;

// Peak resident memory of the process so far, in MB.
double peakMB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// A fresh copy of the demo database as the process-wide connection.
void useCopy(const QString &source, const QTemporaryDir &dir)
{
    if (hasDbConnection())
        takeDbConnection();
    const QString copy = dir.filePath(QStringLiteral("copy.db"));
    QFile::remove(copy);
    QFile::copy(source, copy);
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    setDbConnection(Database::open(copy, schema::password()));
}

void report(const char *what, const std::vector<double> &ms, const QString &extra = {})
{
    std::printf("%-44s median %8.1f ms  (min %.1f, max %.1f, %zu runs)%s\n", what, median(ms),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()), ms.size(),
                qPrintable(extra));
    std::fflush(stdout);
}

// Adds rows until `table` holds `target` rows matching `where`.
void fillUpTo(const QString &table, const QString &where, int target, const std::function<void(int)> &add)
{
    Database &db = DbConnection();
    const int have = db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(table, where)).toInt();
    Transaction tx(db);
    for (int i = have; i < target; ++i)
        add(i);
    tx.commit();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int runs = 5;
    if (const int i = args.indexOf(QStringLiteral("--runs")); i >= 0 && i + 1 < args.size()) {
        runs = args.at(i + 1).toInt();
        args.remove(i, 2);
    }
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: purchasing-bench DB [--runs N]\n");
        return 2;
    }
    const QString source = args.first();
    QTemporaryDir dir;
    MessageBox::script();

    // The workbooks: one firm line a row, references that are cross-referenced and in the sets.
    useCopy(source, dir);
    const QString refsPath = dir.filePath(QStringLiteral("refs.txt"));
    {
        QFile refs(refsPath);
        refs.open(QIODevice::WriteOnly);
        QTextStream out(&refs);
        for (const Row &r : DbConnection().query(QStringLiteral(
                 "SELECT DISTINCT x.CustomerRefNumber FROM CrossReferenceTable x JOIN Sets s ON s.CustomerRefNo = "
                 "x.CustomerRefNumber")))
            out << r.text(QStringLiteral("CustomerRefNumber")) << '\n';
    }
    const QString customer =
        DbConnection().scalar(QStringLiteral("SELECT Name FROM Customer WHERE Status = 'Active' ORDER BY Name")).toString();
    const int rc = QProcess::execute(QStringLiteral("/usr/bin/python3"),
                                     {QStringLiteral(CORVANE_SOURCE_DIR "/tests/purchasing/fixtures/make_workbooks.py"),
                                      QStringLiteral("--bench"), dir.path(), refsPath});
    if (rc != 0) {
        std::fprintf(stderr, "making the workbooks failed\n");
        return 1;
    }

    for (const char *ext : {"xlsx", "xls"}) {
        std::vector<double> ms;
        int created = 0;
        for (int r = 0; r < runs; ++r) {
            useCopy(source, dir);
            QElapsedTimer t;
            t.start();
            const purchasing::DemandSheet sheet =
                purchasing::readDemandSheet(dir.filePath(QStringLiteral("bench-demand.") + QLatin1String(ext)));
            created = purchasing::importDemand(sheet, customer).ordersCreated;
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        report(qPrintable(QStringLiteral("import 9,992 lines (.%1)").arg(QLatin1String(ext))), ms,
               QStringLiteral(", %1 orders, peak memory so far %2 MB").arg(created).arg(peakMB(), 0, 'f', 1));
    }

    useCopy(source, dir);
    fillUpTo(QStringLiteral("PendingPOItems"), QStringLiteral("Status = 'Open'"), 5000, [](int i) {
        DbConnection().insert(QStringLiteral("PendingPOItems"), {{"CustomerRefNo", QStringLiteral("B%1").arg(i)},
                                                                 {"PartNumber", QStringLiteral("P-%1").arg(i)},
                                                                 {"Description", QStringLiteral("Bench hide")},
                                                                 {"ColorName", QStringLiteral("Black")},
                                                                 {"RStringNumber", QStringLiteral("R%1").arg(i)},
                                                                 {"Price", 12.5 + i % 7},
                                                                 {"Quantity", 1 + i % 9},
                                                                 {"DockDate", Clock::today()},
                                                                 {"Status", QStringLiteral("Open")}});
    });
    fillUpTo(QStringLiteral("PurchaseOrder"), QStringLiteral("1=1"), 5000, [](int i) {
        DbConnection().insert(QStringLiteral("PurchaseOrder"), {{"Vendor1", QStringLiteral("Bench Tannery")},
                                                                {"PODate", Clock::today().addDays(-(i % 3000))},
                                                                {"DueDate", Clock::today()},
                                                                {"Terms", QStringLiteral("Net 30")},
                                                                {"Total", 100.0 + i}});
    });
    {
        std::vector<double> ms;
        int rows = 0;
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            auto *w = new frmPendingPOItems;
            w->show();
            QApplication::processEvents();
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
            rows = w->vsfgItems->rowCount();
            delete w;
        }
        report("open pending items window", ms, QStringLiteral(", %1 open items").arg(rows));
    }
    {
        auto *w = new frmPONavigator;
        w->show();
        QApplication::processEvents();
        std::vector<double> ms;
        for (int r = 0; r < runs * 4; ++r) {
            QElapsedTimer t;
            t.start();
            w->FindPurchaseOrders();
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        std::vector<double> query;
        for (int r = 0; r < runs * 4; ++r) {
            QElapsedTimer t;
            t.start();
            purchasing::findPurchaseOrders({});
            query.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        report("  of which the query alone", query);
        report("navigator search, no filter", ms, QStringLiteral(", %1 purchase orders").arg(w->vsfgPO->rowCount()));
        delete w;
    }
    takeDbConnection();
    return 0;
}
