// Reading a workbook the way an import does: open it, then every cell of rows 1-9999, columns
// A-T of the first sheet (bench_workbook [--in-process] [--runs N] FILE). Prints the median.
#include "core/Spreadsheet.h"
#include "core/WorkbookReader.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool inProcess = args.removeAll(QStringLiteral("--in-process")) > 0;
    int runs = 7;
    const int at = int(args.indexOf(QStringLiteral("--runs")));
    if (at >= 0 && at + 1 < args.size()) {
        runs = args.at(at + 1).toInt();
        args.remove(at, 2);
    }
    if (args.size() != 1 || runs < 1) {
        std::fputs("usage: bench_workbook [--in-process] [--runs N] FILE\n", stderr);
        return 2;
    }
    std::vector<qint64> times;
    int cells = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        auto book = inProcess ? workbookreader::openInProcess(args.first()) : Spreadsheet::open(args.first());
        cells = 0;
        for (int r = 1; r <= 9999; ++r)
            for (int c = 1; c <= 20; ++c)
                cells += book->cell(1, r, c).kind != SheetCell::Kind::Empty;
        times.push_back(t.elapsed());
    }
    std::sort(times.begin(), times.end());
    std::printf("%s%s: %d cells, median %lld ms (min %lld, max %lld, %d runs)\n", qPrintable(args.first()),
                inProcess ? " in process" : "", cells, times[times.size() / 2], times.front(), times.back(), runs);
    return 0;
}
