// corvane-report-bench: how long a very long document takes to lay out and to show a page.
//   corvane-report-bench [--pages N] [--pdf FILE]
#include "reports/ReportDocument.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>

using namespace reports;

namespace {

// Open orders of many customers: five lines per order, twenty orders per customer.
ReportJob openOrders(int orders)
{
    ReportJob job;
    job.design = QStringLiteral("crptOpenOrdersReport");
    RowSet rows(findDesign(job.design)->columns);
    for (int o = 0; o < orders; ++o) {
        const QString customer = QStringLiteral("Customer %1").arg(o / 20, 4, 10, QChar(u'0'));
        for (int line = 1; line <= 5; ++line) {
            const int qty = 1 + (o * 7 + line) % 23;
            rows.append({o + 1, QStringLiteral("PO-%1").arg(o + 1), customer, "2010-04-01", "2010-05-01", customer,
                         "1 Dock Rd", QVariant(), "Dayton", "OH", "45402", QVariant(), QVariant(), "Open", "2010-04-01",
                         line, qty, qty / 2, line % 2 ? QVariant(qty / 3) : QVariant(), "Style", "BLK-01",
                         QStringLiteral("REF-%1").arg(line), 12.5 * line, 12.5 * line * qty});
        }
    }
    job.rows = std::move(rows);
    return job;
}

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int wantedPages = 2000;
    QString pdf;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--pages") && i + 1 < args.size())
            wantedPages = args.at(++i).toInt();
        else if (args.at(i) == QLatin1String("--pdf") && i + 1 < args.size())
            pdf = args.at(++i);
        else {
            std::fprintf(stderr, "usage: corvane-report-bench [--pages N] [--pdf FILE]\n");
            return 2;
        }
    }
    // About 5.5 orders fit a landscape page of this report.
    const int orders = std::max(1, wantedPages * 11 / 2);
    QElapsedTimer t;
    t.start();
    const ReportJob job = openOrders(orders);
    const double buildMs = ms(t);

    t.restart();
    const ReportDocument doc(job);
    const double layoutMs = ms(t);

    t.restart();
    const QImage first = doc.pageImage(0, 1.5);
    const double firstMs = ms(t);
    t.restart();
    const QImage middle = doc.pageImage(doc.pageCount() / 2, 1.5);
    const double middleMs = ms(t);

    std::printf("rows %d, pages %d\n", job.rows.size(), doc.pageCount());
    std::printf("building the row set   %9.1f ms\n", buildMs);
    std::printf("laying out             %9.1f ms\n", layoutMs);
    std::printf("first page shown       %9.1f ms (%dx%d)\n", firstMs, first.width(), first.height());
    std::printf("middle page shown      %9.1f ms (%dx%d)\n", middleMs, middle.width(), middle.height());
    if (!pdf.isEmpty()) {
        t.restart();
        QString error;
        if (!doc.writePdf(pdf, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        std::printf("whole document as PDF  %9.1f ms\n", ms(t));
    }
    return 0;
}
