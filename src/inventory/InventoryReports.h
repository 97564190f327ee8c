#pragma once

#include "core/Refusal.h"
#include "core/ReportJob.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

// The rows of the four material documents, the same for the request windows and the command line.
namespace inventory {

// Every material ID in order, for the history's material list.
QStringList materialIds();

// Per material: adjusted in and cut up to the day, and the feet still to cut for the sets not yet
// cut of every non-void order dated up to the day. Active materials only unless `inactive`.
ReportJob availableInventoryJob(const QDate &asOf, bool inactive);

// Per material: adjusted in and cut up to the day, today's unit value, and the sales value of the
// sets cut but not shipped by the day on open orders.
ReportJob inventoryValuationJob(const QDate &asOf, bool inactive);

// Every adjustment line (and, with `cutsheets`, every cut sheet) of the period, both days
// included, with the material's balance before the period. Movements of a material that is not
// in the material list (or of an order line naming none) stand under an empty material with a
// balance of their own.
ReportJob materialHistoryJob(const QDate &from, const QDate &to, const std::optional<QString> &material,
                             bool cutsheets);

// Sundays after `from` up to and including `to`: the weeks the sales are spread over.
int salesWeeks(const QDate &from, const QDate &to);
// The week rule, then exactly four customers.
std::optional<Refusal> refuseSalesRequest(const QDate &from, const QDate &to, int customersChosen);
// Per material: feet ordered in the period (production standard times sets, not hides nor vinyl)
// by each of the four customers and by all others together.
ReportJob leatherSalesJob(const QDate &from, const QDate &to, const QStringList &customers);

} // namespace inventory
