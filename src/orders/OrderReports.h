#pragma once

#include "core/ReportJob.h"

// The rows of the order documents (their designs and registry entries are under reports/docs).
namespace orders {

// One order with its lines, for the order entry control report.
ReportJob orderEntryControlJob(qint64 orderId);
// Open orders with quantities cut and shipped; rebuilds tmpOpenOrdersCut and tmpOpenOrdersShipped.
ReportJob openOrdersJob();
// The same with feet required; rebuilds tmpProdSchedCut and tmpProdSchedShipped.
ReportJob productionScheduleJob();

} // namespace orders
