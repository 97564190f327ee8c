#include "production/YieldData.h"

#include "core/ReportRows.h"

namespace yield {

namespace {

QString requiredSum(Standard standard)
{
    return standard == Standard::Production ? QStringLiteral("SUM(Sets.ProductionStandard * Cutsheets.Sets)")
                                            : QStringLiteral("SUM(Sets.ReqFeet * Cutsheets.Sets)");
}

// Cut sheets with their order line and its set.
const char *const kJoins = "FROM Cutsheets "
                           "LEFT JOIN OrderItem ON Cutsheets.Item = OrderItem.ItemNumber "
                           "AND Cutsheets.OrderID = OrderItem.OrderID "
                           "LEFT JOIN Sets ON OrderItem.CustomerRefNo = Sets.CustomerRefNo ";

ReportJob run(const QString &design, const QString &sql, const QVariantList &params, const QDate &from,
              const QDate &to, bool single)
{
    ReportJob j;
    j.design = design;
    j.rows = DbConnection().query(sql, params);
    j.textSlots = {{QStringLiteral("StartDate"), documentDate(from)},
                   {QStringLiteral("EndDate"), documentDate(to)}};
    if (single)
        j.textSlots.append({QStringLiteral("SingleSelection"), QStringLiteral("true")});
    return j;
}

} // namespace

ReportJob employeeYieldJob(const QDate &from, const QDate &to, Standard standard,
                           const std::optional<QString> &ssn)
{
    QString sql = QStringLiteral("SELECT Cutsheets.SSN AS SSN, Employee.FirstName AS FirstName, "
                                 "Employee.LastName AS LastName, OrderItem.StyleID AS Style, "
                                 "SUM(Cutsheets.Sets) AS Sets, %1 AS Required, SUM(Cutsheets.Feet) AS Used ")
                      .arg(requiredSum(standard)) +
                  QLatin1String(kJoins) +
                  QStringLiteral("LEFT JOIN Employee ON Cutsheets.SSN = Employee.SSN "
                                 "WHERE Cutsheets.Date >= ? AND Cutsheets.Date <= ? ");
    QVariantList params = {from, to};
    if (ssn) {
        sql += QStringLiteral("AND Cutsheets.SSN = ? ");
        params << *ssn;
    }
    // Grouped by the name first: a group led by the cut sheet's SSN lures the engine into reading
    // every cut sheet ever through the SSN index instead of the period's through the date index.
    // The same groups; employees of one name stay in SSN order as before.
    sql += QStringLiteral("AND Sets.Type = 'Set' "
                          "GROUP BY Employee.LastName, Employee.FirstName, Cutsheets.SSN, OrderItem.StyleID "
                          "ORDER BY Employee.LastName, Employee.FirstName, OrderItem.StyleID, Cutsheets.SSN");
    return run(standard == Standard::Production ? QStringLiteral("crptEmployeeYieldReport")
                                                : QStringLiteral("crptEmployeeYieldReport2"),
               sql, params, from, to, ssn.has_value());
}

ReportJob customerYieldJob(const QDate &from, const QDate &to, Standard standard,
                           const std::optional<QString> &customer)
{
    QString sql = QStringLiteral("SELECT Orders.Customer AS Customer, OrderItem.StyleID AS Style, "
                                 "SUM(Cutsheets.Sets) AS Sets, %1 AS Required, SUM(Cutsheets.Feet) AS Used ")
                      .arg(requiredSum(standard)) +
                  QLatin1String(kJoins) +
                  QStringLiteral("LEFT JOIN Orders ON Cutsheets.OrderID = Orders.ID "
                                 "WHERE Cutsheets.Date >= ? AND Cutsheets.Date <= ? ");
    QVariantList params = {from, to};
    if (customer) {
        sql += QStringLiteral("AND Orders.Customer = ? ");
        params << *customer;
    }
    sql += QStringLiteral("AND Sets.Type = 'Set' GROUP BY Orders.Customer, OrderItem.StyleID "
                          "ORDER BY Orders.Customer, OrderItem.StyleID");
    return run(standard == Standard::Production ? QStringLiteral("crptCustomerYieldReport")
                                                : QStringLiteral("crptCustomerYieldReport2"),
               sql, params, from, to, customer.has_value());
}

ReportJob employeeEarningsJob(const QDate &from, const QDate &to)
{
    const QString sql =
        QStringLiteral(
            "SELECT Cutsheets.SSN AS SSN, Employee.FirstName AS FirstName, Employee.LastName AS LastName, "
            "Cutsheets.ID AS ID, Cutsheets.Date AS CutDate, OrderItem.StyleID AS Style, "
            "Cutsheets.Sets AS Sets, Cutsheets.Feet AS FeetUsed, "
            "(Sets.ProductionStandard * Cutsheets.Sets) AS FeetReq, Sets.EmployeeRate AS PayRate, "
            "(Sets.EmployeeRate * Cutsheets.Sets) AS Earnings ") +
        QLatin1String(kJoins) +
        QStringLiteral("LEFT JOIN Employee ON Cutsheets.SSN = Employee.SSN "
                       "WHERE Cutsheets.Date >= ? AND Cutsheets.Date <= ? AND Sets.Type = 'Set' "
                       "ORDER BY Employee.LastName, Employee.FirstName, Cutsheets.Date, OrderItem.StyleID, "
                       "Cutsheets.ID"); // the ID orders the same day's same style alike on every engine
    return run(QStringLiteral("crptEmployeeEarningsReport"), sql, {from, to}, from, to, false);
}

} // namespace yield
