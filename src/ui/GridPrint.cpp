#include "ui/GridPrint.h"

#include "ui/GridModel.h"
#include "ui/MessageBox.h"
#include "ui/WindowHost.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

class PrinterOutput : public GridPrintOutput
{
public:
    bool print(const GridPrintJob &job) override
    {
        const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
        if (printers.isEmpty()) {
            MessageBox::show(host::frame(),
                             QStringLiteral("No printer is available, so %1 was not printed.").arg(job.title),
                             QStringLiteral("Printer Not Available"), MessageBox::OkOnly,
                             MessageBox::Exclamation);
            return false;
        }
        QPrinterInfo target = QPrinterInfo::defaultPrinter();
        if (target.isNull())
            target = printers.first();
        QPrinter printer(target, QPrinter::HighResolution);
        printer.setDocName(job.title);
        if (job.printerDialog) {
            QPrintDialog dialog(&printer, host::frame());
            if (dialog.exec() != QDialog::Accepted)
                return false;
        }
        if (paintGrid(printer, job) > 0)
            return true;
        MessageBox::show(
            host::frame(),
            QStringLiteral("The printer \"%1\" could not print %2.").arg(printer.printerName(), job.title),
            QStringLiteral("Print Failed"), MessageBox::OkOnly, MessageBox::Exclamation);
        return false;
    }
    bool savePdf(const GridPrintJob &job, const QString &path) override
    {
        QPdfWriter writer(path);
        writer.setTitle(job.title);
        writer.setResolution(300);
        return paintGrid(writer, job) > 0;
    }
};

GridPrintOutput *&installed()
{
    static GridPrintOutput *output = nullptr;
    return output;
}

} // namespace

GridPrintJob gridPrintJob(const GridModel &model, const QString &title, QPageLayout::Orientation orientation)
{
    GridPrintJob job;
    job.title = title;
    job.orientation = orientation;
    QList<int> shown;
    for (int c = 0; c < model.columnCount(); ++c) {
        if (!model.isColumnHidden(c)) {
            shown << c;
            job.headers << model.column(c).header;
            job.alignments << model.columnAlignment(c);
        }
    }
    for (int r = 0; r < model.rowCount(); ++r) {
        if (model.isRowHidden(r))
            continue;
        QStringList cells;
        for (int c : shown)
            cells << model.displayText(r, c);
        job.rows << cells;
    }
    return job;
}

int paintGrid(QPagedPaintDevice &device, const GridPrintJob &job)
{
    device.setPageOrientation(job.orientation);
    device.setPageMargins(QMarginsF(12.7, 12.7, 12.7, 12.7), QPageLayout::Millimeter);
    QPainter p;
    if (!p.begin(&device))
        return 0;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(9);
    p.setFont(font);
    const QRect paintRect = device.pageLayout().paintRectPixels(device.logicalDpiX());
    const QRect page(0, 0, paintRect.width(), paintRect.height());
    const QFontMetrics fm(font, &device);
    const int pad = fm.averageCharWidth();
    const int lineHeight = fm.height() + pad / 2;

    // Each column as wide as its widest text, all narrowed alike when the page is too narrow.
    QList<double> widths;
    for (int c = 0; c < job.headers.size(); ++c) {
        int w = fm.horizontalAdvance(job.headers.at(c));
        for (const QStringList &row : job.rows)
            w = std::max(w, fm.horizontalAdvance(row.value(c)));
        widths << double(w + 2 * pad);
    }
    double total = 0;
    for (double w : widths)
        total += w;
    const double scale = total > page.width() ? page.width() / total : 1.0;

    QFont titleFont = font;
    titleFont.setPointSizeF(13);
    titleFont.setBold(true);
    QFont headerFont = font;
    headerFont.setBold(true);
    const int titleHeight = QFontMetrics(titleFont, &device).height() * 3 / 2;

    auto drawRow = [&](int y, const QStringList &cells, bool header) {
        double x = 0;
        for (int c = 0; c < widths.size(); ++c) {
            const QRectF cell(x, y, widths.at(c) * scale, lineHeight);
            const Qt::Alignment a =
                header ? Qt::AlignCenter : job.alignments.value(c, Qt::AlignLeft | Qt::AlignVCenter);
            p.drawText(cell.adjusted(pad * scale, 0, -pad * scale, 0),
                       int((a & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter),
                       fm.elidedText(cells.value(c), Qt::ElideRight, int(cell.width() - 2 * pad * scale)));
            x += cell.width();
        }
    };
    auto pageTop = [&]() {
        p.setFont(titleFont);
        p.drawText(QRect(0, 0, page.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter, job.title);
        p.setFont(headerFont);
        drawRow(titleHeight, job.headers, true);
        p.drawLine(0, titleHeight + lineHeight, page.width(), titleHeight + lineHeight);
        p.setFont(font);
        return titleHeight + lineHeight + pad / 2;
    };

    int pages = 1;
    int y = pageTop();
    for (const QStringList &row : job.rows) {
        if (y + lineHeight > page.height()) {
            if (!device.newPage())
                break;
            ++pages;
            y = pageTop();
        }
        drawRow(y, row, false);
        y += lineHeight;
    }
    p.end();
    return pages;
}

bool CapturedGridPrints::savePdf(const GridPrintJob &job, const QString &path)
{
    pdfs << qMakePair(path, job);
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

GridPrintOutput &gridPrintOutput()
{
    static PrinterOutput printer;
    return installed() ? *installed() : printer;
}

void setGridPrintOutput(GridPrintOutput *output)
{
    installed() = output;
}
