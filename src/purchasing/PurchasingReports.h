#pragma once

#include "core/ReportJob.h"

// The rows of the purchase order and the import log (their designs and registry entries are
// under reports/docs).
namespace purchasing {

ReportJob purchaseOrderJob(qint64 purchaseOrderId);
ReportJob importLogJob(qint64 importId);

} // namespace purchasing
