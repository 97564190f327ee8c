// corvane-report-bench: how long a very long document takes to lay out and to show a page.
//   corvane-report-bench [--pages N] [--pdf FILE [--dialog]] [--shot DIR]
// --dialog writes the PDF the way the viewer's Export does (with the page progress dialog),
// to compare with the bare writer. --shot saves the viewer at Whole Page and the progress
// dialog part-way through an export (cancelled then) as PNGs in DIR; it needs a display.
#include "reports/ReportDocument.h"
#include "reports/ReportPrinter.h"
#include "reports/Viewer.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QScreen>
#include <QTimer>

#include <algorithm>
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

// The viewer at Whole Page, then the progress dialog 1.5 s into an export, which is cancelled.
bool shoot(const ReportDocument &doc, const QString &dir)
{
    ReportView view;
    view.resize(1100, 850);
    view.show();
    view.setReportSource(doc);
    view.viewReport();
    view.setZoom(ReportView::FitPage);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 400)
        QApplication::processEvents();
    bool saved = view.grab().save(QDir(dir).filePath(QStringLiteral("viewer-whole-page.png")));
    FileDialogs::script({QDir(dir).filePath(QStringLiteral("cancelled.pdf"))});
    QTimer::singleShot(1500, [&] {
        saved = QGuiApplication::primaryScreen()->grabWindow(0).save(
                    QDir(dir).filePath(QStringLiteral("progress-dialog.png"))) &&
                saved;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *dialog = qobject_cast<QProgressDialog *>(w))
                dialog->cancel();
        }
    });
    view.exportPdf();
    return saved;
}

} // namespace

int main(int argc, char **argv)
{
    const bool wantsShot = std::find_if(argv, argv + argc, [](const char *a) {
                               return qstrcmp(a, "--shot") == 0;
                           }) != argv + argc;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !wantsShot)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int wantedPages = 2000;
    QString pdf;
    QString shotDir;
    bool dialog = false;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--pages") && i + 1 < args.size())
            wantedPages = args.at(++i).toInt();
        else if (args.at(i) == QLatin1String("--pdf") && i + 1 < args.size())
            pdf = args.at(++i);
        else if (args.at(i) == QLatin1String("--dialog"))
            dialog = true;
        else if (args.at(i) == QLatin1String("--shot") && i + 1 < args.size())
            shotDir = args.at(++i);
        else {
            std::fprintf(stderr,
                         "usage: corvane-report-bench [--pages N] [--pdf FILE [--dialog]] [--shot DIR]\n");
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
        bool written = false;
        if (dialog) {
            FileDialogs::script({pdf});
            MessageBox::script(); // the confirmation answers itself
            written = saveDocumentAsPdf(nullptr, doc);
            error = QStringLiteral("The PDF was not written.");
        } else {
            written = doc.writePdf(pdf, &error);
        }
        if (!written) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        const double pdfMs = ms(t);
        std::printf("whole document as PDF  %9.1f ms, %.1f pages/s%s\n", pdfMs,
                    doc.pageCount() * 1000.0 / pdfMs, dialog ? " (with the progress dialog)" : "");
    }
    if (!shotDir.isEmpty() && !shoot(doc, shotDir)) {
        std::fprintf(stderr, "the screenshots could not be saved\n");
        return 1;
    }
    return 0;
}
