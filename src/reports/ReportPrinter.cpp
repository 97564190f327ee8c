#include "reports/ReportPrinter.h"

#include "reports/Viewer.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBox.h"
#include "ui/Printing.h"
#include "ui/Progress.h"
#include "ui/WindowHost.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace reports {

namespace {

bool offerPdf(QWidget *parent, const ReportDocument &document, const QString &why, const QString &title)
{
    const QString text = why + QStringLiteral("\n\nDo you want to save it as a PDF file instead?");
    if (MessageBox::show(parent, text, title, MessageBox::YesNo, MessageBox::Exclamation) == MessageBox::Yes)
        saveDocumentAsPdf(parent, document);
    return false;
}

// No printer at all: the document is kept as a PDF in the documents folder, as every print is.
bool noPrinter(QWidget *parent, const ReportDocument &document)
{
    printing::keepAsPdf(parent, document.design().title, [&](const QString &path) {
        Progress progress(parent, QStringLiteral("Save as PDF"),
                          QStringLiteral("Saving the %1 as %2")
                              .arg(document.design().title, QDir::toNativeSeparators(path)));
        return document.writePdf(path, nullptr,
                                 [&](int done, int total) { return progress.step(done, total); });
    });
    return false;
}

} // namespace

bool printPages(QWidget *parent, QPrinter &printer, const ReportDocument &document, int first, int last)
{
    printer.setFullPage(true);
    printer.setDocName(document.design().title);
    const QString &title = document.design().title;
    Progress progress(parent, QStringLiteral("Print"),
                      printer.printerName().isEmpty()
                          ? QStringLiteral("Printing the %1").arg(title)
                          : QStringLiteral("Printing the %1 on %2").arg(title, printer.printerName()));
    bool cancelled = false;
    const bool printed = document.renderTo(printer, first, last, [&](int done, int total) {
        if (progress.step(done, total))
            return true;
        cancelled = true;
        printer.abort(); // drops the job where the print system allows it
        return false;
    });
    if (cancelled)
        return false;
    if (!printed)
        return offerPdf(
            parent, document,
            QStringLiteral("The printer \"%1\" could not print the %2.").arg(printer.printerName(), title),
            QStringLiteral("Print Failed"));
    return true;
}

bool printDocument(QWidget *parent, const ReportDocument &document)
{
    if (!printing::printerAvailable())
        return noPrinter(parent, document);
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    QPrinterInfo target = QPrinterInfo::defaultPrinter();
    if (target.isNull() && !printers.isEmpty())
        target = printers.first();
    QPrinter printer(target, QPrinter::HighResolution);
    return printPages(parent, printer, document, 0, -1);
}

bool printDocumentWithDialog(QWidget *parent, const ReportDocument &document)
{
    if (!printing::printerAvailable())
        return noPrinter(parent, document);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(document.design().pageSize));
    printer.setPageOrientation(document.design().orientation);
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, document.pageCount());
    dialog.setWindowTitle(QStringLiteral("Print %1").arg(document.design().title));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    int first = 0;
    int last = -1;
    if (printer.printRange() == QPrinter::PageRange) {
        first = printer.fromPage() - 1;
        last = printer.toPage() - 1;
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        if (auto *view = parent ? parent->findChild<ReportView *>() : nullptr) {
            first = view->currentPage();
            last = first;
        }
    }
    return printPages(parent, printer, document, first, last);
}

bool saveDocumentAsPdf(QWidget *parent, const ReportDocument &document)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(folder).filePath(document.design().title + QStringLiteral(".pdf"));
    QString path = FileDialogs::saveFileName(parent, QStringLiteral("Save as PDF"), suggested,
                                             QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty())
        return false;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    const QString title = QStringLiteral("Save as PDF");
    const QString shownPath = QDir::toNativeSeparators(path);
    QString error;
    bool written = false;
    {
        Progress progress(parent, title,
                          QStringLiteral("Saving the %1 as %2").arg(document.design().title, shownPath));
        written =
            document.writePdf(path, &error, [&](int done, int total) { return progress.step(done, total); });
    }
    if (!written) {
        if (!error.isEmpty()) // empty when the user cancelled
            MessageBox::show(parent, error, title, MessageBox::OkOnly, MessageBox::Exclamation);
        return false;
    }
    MessageBox::show(parent,
                     QStringLiteral("The %1 was saved as %2.").arg(document.design().title, shownPath), title,
                     MessageBox::OkOnly, MessageBox::Information);
    return true;
}

void WindowReportOutput::preview(const ReportJob &job)
{
    Viewer::showDocument(ReportDocument(job));
}

bool WindowReportOutput::print(const ReportJob &job)
{
    return printDocument(host::frame(), ReportDocument(job));
}

bool writeReportPdf(const ReportJob &job, const QString &path)
{
    const ReportDocument document(job);
    Progress progress(
        host::frame(), QStringLiteral("Save as PDF"),
        QStringLiteral("Saving the %1 as %2").arg(document.design().title, QDir::toNativeSeparators(path)));
    return document.writePdf(path, nullptr, [&](int done, int total) { return progress.step(done, total); });
}

} // namespace reports
