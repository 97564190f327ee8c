#pragma once

#include "core/ReportJob.h"

#include <QDate>
#include <QString>

#include <optional>

// The yield and earnings documents: cut sheets of a period (both days included) on lines whose
// catalogue set is of type "Set", against the feet the catalogue says they need.
namespace yield {

// Which feet per set count as required: the set's production standard or its cost standard.
enum class Standard
{
    Production,
    Cost
};

// Per employee and style; `ssn` picks one employee (the single-selection flag is then set).
ReportJob employeeYieldJob(const QDate &from, const QDate &to, Standard standard,
                           const std::optional<QString> &ssn = std::nullopt);
// Per customer of the order and style; `customer` picks one.
ReportJob customerYieldJob(const QDate &from, const QDate &to, Standard standard,
                           const std::optional<QString> &customer = std::nullopt);
// One row per cut sheet with feet used, feet required (production standard) and the pay rate.
ReportJob employeeEarningsJob(const QDate &from, const QDate &to);

} // namespace yield
