// Production documents: the cut sheet control report, and the yield and earnings reports.
#include "production/ProductionReports.h"
#include "production/YieldData.h"
#include "reports/docs/DesignKit.h"
#include "reports/docs/Families.h"

using namespace reports;
using namespace reports::docs;

namespace {

Design cutsheetControlDesign()
{
    Design d;
    d.name = QStringLiteral("crptCutsheetEntryControlReport");
    d.title = QStringLiteral("Cutsheet Entry Control Report");
    d.details = {text(QStringLiteral("Action"), QStringLiteral("Action"), 0.9),
                 count(QStringLiteral("ID"), QStringLiteral("Cutsheet"), 0.7),
                 date(QStringLiteral("Date"), QStringLiteral("Date")),
                 ssn(QStringLiteral("SSN"), QStringLiteral("SSN"), 1.1),
                 text(QStringLiteral("{FirstName} {LastName}"), QStringLiteral("Employee"), 1.6),
                 count(QStringLiteral("OrderID"), QStringLiteral("Order"), 0.6),
                 count(QStringLiteral("Item"), QStringLiteral("Line"), 0.5),
                 count(QStringLiteral("Sets"), QStringLiteral("Sets"), 0.6),
                 qty(QStringLiteral("Feet"), QStringLiteral("Feet"), 0.7)};
    // New, changed and deleted cut sheets side by side: their sets do not add up.
    d.totalLabel = QStringLiteral("Cutsheets listed: {count}");
    return d;
}

Design yieldDesign(const QString &name, const QString &title, bool perEmployee)
{
    Design d;
    d.name = name;
    d.title = title;
    d.slots = {{QStringLiteral("StartDate"), QStringLiteral("From")},
               {QStringLiteral("EndDate"), QStringLiteral("To")},
               {QStringLiteral("SingleSelection"), QString(), true}};
    Group g;
    if (perEmployee) {
        g.keys = {QStringLiteral("SSN")};
        g.header = QStringLiteral("{LastName}, {FirstName}   ({SSN:ssn})");
        g.footer = QStringLiteral("Total for {FirstName} {LastName}");
    } else {
        g.keys = {QStringLiteral("Customer")};
        g.header = QStringLiteral("{Customer}");
        g.footer = QStringLiteral("Total for {Customer}");
    }
    g.sums = cols("Sets, Required, Used, Used-Required, Required/Used");
    d.groups = {g};
    d.details = {text(QStringLiteral("Style"), QStringLiteral("Style"), 2),
                 count(QStringLiteral("Sets"), QStringLiteral("Sets"), 0.8),
                 qty(QStringLiteral("Required"), QStringLiteral("Feet Required"), 1),
                 qty(QStringLiteral("Used"), QStringLiteral("Feet Used"), 1),
                 qty(QStringLiteral("Used-Required"), QStringLiteral("Over (Under)"), 1),
                 percent(QStringLiteral("Required/Used"), QStringLiteral("Yield"), 0.8)};
    d.totalLabel = QStringLiteral("Report Total");
    d.totals = g.sums;
    d.flagHidesTotal = true;
    return d;
}

Design earningsDesign()
{
    Design d;
    d.name = QStringLiteral("crptEmployeeEarningsReport");
    d.title = QStringLiteral("Employee Earnings Report");
    d.slots = {{QStringLiteral("StartDate"), QStringLiteral("From")},
               {QStringLiteral("EndDate"), QStringLiteral("To")}};
    Group g;
    g.keys = {QStringLiteral("SSN")};
    g.header = QStringLiteral("{LastName}, {FirstName}   ({SSN:ssn})");
    g.footer = QStringLiteral("Total for {FirstName} {LastName}  (cutsheets: {count})");
    // The rate is per set; rates do not add up, so sets, feet and earnings are totalled.
    g.sums = cols("Sets, FeetUsed, FeetReq, FeetUsed-FeetReq, FeetReq/FeetUsed, Earnings");
    d.groups = {g};
    d.details = {date(QStringLiteral("CutDate"), QStringLiteral("Date")),
                 count(QStringLiteral("ID"), QStringLiteral("Cutsheet"), 0.7),
                 text(QStringLiteral("Style"), QStringLiteral("Style"), 1.5),
                 count(QStringLiteral("Sets"), QStringLiteral("Sets"), 0.6),
                 qty(QStringLiteral("FeetUsed"), QStringLiteral("Feet Used")),
                 qty(QStringLiteral("FeetReq"), QStringLiteral("Feet Required")),
                 qty(QStringLiteral("FeetUsed-FeetReq"), QStringLiteral("Over (Under)")),
                 percent(QStringLiteral("FeetReq/FeetUsed"), QStringLiteral("Yield")),
                 money(QStringLiteral("PayRate"), QStringLiteral("Pay Rate per Set"), 0.8),
                 money(QStringLiteral("Earnings"), QStringLiteral("Earnings"), 0.9)};
    d.totalLabel = QStringLiteral("Report Total");
    d.totals = g.sums;
    return d;
}

} // namespace

void reports::docs::addProductionDocuments(Family &family)
{
    // Printed when the cut sheet window closes, which asks whether it printed.
    family.add({.design = cutsheetControlDesign(),
                .columns = cols("ID, SSN, Date, OrderID, Item, Sets, Feet, Action, FirstName, LastName"),
                .build = [](const ReportArguments &) { return production::cutsheetControlJob(); },
                .output = Output::Print});
    const Argument from{QStringLiteral("from"), ArgumentKind::Date, true, QStringLiteral("first cut date")};
    const Argument to{QStringLiteral("to"), ArgumentKind::Date, true, QStringLiteral("last cut date")};
    const Argument employee{QStringLiteral("employee"), ArgumentKind::Text, false,
                            QStringLiteral("one employee's SSN (default: all)")};
    const Argument customer{QStringLiteral("customer"), ArgumentKind::Text, false,
                            QStringLiteral("one customer's name (default: all)")};
    const auto pick = [](const ReportArguments &a, const QString &key) {
        return a.has(key) ? std::optional<QString>(a.text(key)) : std::nullopt;
    };
    const auto employeeYield = [&](const QString &name, const QString &title, yield::Standard standard) {
        family.add({.design = yieldDesign(name, title, true),
                    .columns = cols("SSN, FirstName, LastName, Style, Sets, Required, Used"),
                    .build =
                        [pick, standard](const ReportArguments &a) {
                            return yield::employeeYieldJob(a.date(QStringLiteral("from")),
                                                           a.date(QStringLiteral("to")), standard,
                                                           pick(a, QStringLiteral("employee")));
                        },
                    .arguments = {from, to, employee}});
    };
    const auto customerYield = [&](const QString &name, const QString &title, yield::Standard standard) {
        family.add({.design = yieldDesign(name, title, false),
                    .columns = cols("Customer, Style, Sets, Required, Used"),
                    .build =
                        [pick, standard](const ReportArguments &a) {
                            return yield::customerYieldJob(a.date(QStringLiteral("from")),
                                                           a.date(QStringLiteral("to")), standard,
                                                           pick(a, QStringLiteral("customer")));
                        },
                    .arguments = {from, to, customer}});
    };
    employeeYield(QStringLiteral("crptEmployeeYieldReport"),
                  QStringLiteral("Employee Yield Report (Production Standard)"), yield::Standard::Production);
    employeeYield(QStringLiteral("crptEmployeeYieldReport2"),
                  QStringLiteral("Employee Yield Report (Cost Standard)"), yield::Standard::Cost);
    customerYield(QStringLiteral("crptCustomerYieldReport"),
                  QStringLiteral("Customer Yield Report (Production Standard)"), yield::Standard::Production);
    customerYield(QStringLiteral("crptCustomerYieldReport2"),
                  QStringLiteral("Customer Yield Report (Cost Standard)"), yield::Standard::Cost);
    family.add(
        {.design = earningsDesign(),
         .columns =
             cols("SSN, FirstName, LastName, ID, CutDate, Style, Sets, FeetUsed, FeetReq, PayRate, Earnings"),
         .build =
             [](const ReportArguments &a) {
                 return yield::employeeEarningsJob(a.date(QStringLiteral("from")),
                                                   a.date(QStringLiteral("to")));
             },
         .arguments = {from, to}});
}
