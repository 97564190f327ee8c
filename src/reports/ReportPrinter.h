#pragma once

#include "reports/ReportDocument.h"
#include "core/ReportJob.h"

class QPrinter;
class QWidget;

namespace reports {

// Prints to the default printer without a dialog. Qt without a printer silently prints nothing,
// so the printers are checked first and the painter's start is checked too: when nothing can be
// printed the user is told so and offered to save the document as PDF. True only when the
// document went to a printer.
bool printDocument(QWidget *parent, const ReportDocument &document);
// The same through the printer dialog (choice of printer, pages, copies).
bool printDocumentWithDialog(QWidget *parent, const ReportDocument &document);
// Prints pages first..last (0-based, -1 the last) on `printer`, which the two above choose, with
// a progress dialog whose Cancel aborts the job. False when cancelled (nothing said) or when the
// printer refused (said, with the PDF offer).
bool printPages(QWidget *parent, QPrinter &printer, const ReportDocument &document, int first = 0,
                int last = -1);
// Asks for a file name and writes the document as PDF with a progress dialog; confirms the file
// written, says so when it could not be written, and leaves no file when cancelled.
bool saveDocumentAsPdf(QWidget *parent, const ReportDocument &document);

// Writes the document of `job` as a PDF file at `path`, with a progress dialog.
bool writeReportPdf(const ReportJob &job, const QString &path);

// The program's report output: preview in the report viewer window, print to the printer.
class WindowReportOutput : public ReportOutput
{
public:
    void preview(const ReportJob &job) override;
    bool print(const ReportJob &job) override;
};

} // namespace reports
