#include "core/ReportJob.h"

namespace {
ReportOutput *g_output = nullptr;
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
