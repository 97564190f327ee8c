#pragma once

#include "core/ReportJob.h"

#include <QDate>
#include <QString>

// What the subsystems' row builders share: a job over a design's rows and the date form
// documents show.

// A job of the named design over `rows`; text slots and sub-report rows follow.
ReportJob reportJob(const QString &design, RowSet rows);
// The system's short date ("5/14/2010") as documents show it; empty for an invalid date.
QString documentDate(const QDate &date);
