#include "core/ReportJob.h"

#include "core/PrintToPdf.h"

namespace {
ReportOutput *g_output = nullptr;
QString g_pdfTarget;
PdfWriter g_pdfWriter;
} // namespace

PrintToPdf::PrintToPdf(const QString &path) : m_previous(g_pdfTarget)
{
    g_pdfTarget = path;
}

PrintToPdf::~PrintToPdf()
{
    g_pdfTarget = m_previous;
}

QString PrintToPdf::target()
{
    return g_pdfTarget;
}

void setPdfWriter(PdfWriter writer)
{
    g_pdfWriter = std::move(writer);
}

bool printReport(const ReportJob &job)
{
    if (!g_pdfTarget.isEmpty())
        return g_pdfWriter && g_pdfWriter(job, g_pdfTarget);
    return reportOutput().print(job);
}

ReportOutput &reportOutput()
{
    static CapturedReports fallback;
    return g_output ? *g_output : fallback;
}

void setReportOutput(ReportOutput *output)
{
    g_output = output;
}
