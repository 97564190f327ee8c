#include "core/ReportRows.h"

ReportJob reportJob(const QString &design, RowSet rows)
{
    ReportJob j;
    j.design = design;
    j.rows = std::move(rows);
    return j;
}

QString documentDate(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("M/d/yyyy")) : QString();
}
