#pragma once

#include "core/ReportJob.h"

#include <functional>

// While one lives, a document printed goes to the PDF file `path` instead of the printer: the
// print routine's way of keeping paper without a printer.
class PrintToPdf
{
public:
    explicit PrintToPdf(const QString &path);
    ~PrintToPdf();
    PrintToPdf(const PrintToPdf &) = delete;
    PrintToPdf &operator=(const PrintToPdf &) = delete;
    // The file printing goes to now; empty when it goes to the printer.
    static QString target();

private:
    QString m_previous;
};

// Writes a document as a PDF file: the report engine in the program, a capture in tests.
using PdfWriter = std::function<bool(const ReportJob &job, const QString &path)>;
// An empty writer writes nothing.
void setPdfWriter(PdfWriter writer);

// Prints `job` through reportOutput(), or writes it to the PrintToPdf file while one lives.
bool printReport(const ReportJob &job);
