#pragma once

#include "core/ReportJob.h"

// The rows of the cut sheet control report and the master listings (their designs and registry
// entries are under reports/docs).
namespace production {

// The cut sheets entered while the cut sheet window was open (CutsheetsTEMP), as they stand.
ReportJob cutsheetControlJob();
ReportJob customerListingJob();
ReportJob employeeListingJob();
ReportJob setListingJob();
ReportJob materialListingJob();

} // namespace production
