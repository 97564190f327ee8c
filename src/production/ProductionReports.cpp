#include "production/ProductionReports.h"

#include "core/Database.h"
#include "core/ReportRows.h"
#include "production/CutsheetData.h"

namespace production {

ReportJob cutsheetControlJob()
{
    cutsheets::restoreLog();
    return reportJob(
        QStringLiteral("crptCutsheetEntryControlReport"),
        DbConnection().query(
            QStringLiteral(
                "SELECT CutsheetsTEMP.ID AS ID, CutsheetsTEMP.SSN AS SSN, CutsheetsTEMP.Date AS Date, "
                "CutsheetsTEMP.OrderID AS OrderID, CutsheetsTEMP.Item AS Item, CutsheetsTEMP.Sets AS Sets, "
                "CutsheetsTEMP.Feet AS Feet, CutsheetsTEMP.Action AS Action, Employee.FirstName AS FirstName, "
                "Employee.LastName AS LastName "
                "FROM CutsheetsTEMP LEFT JOIN Employee ON CutsheetsTEMP.SSN = Employee.SSN "
                "ORDER BY CutsheetsTEMP.%1")
                .arg(DbConnection().rowKey())));
}

ReportJob customerListingJob()
{
    return reportJob(
        QStringLiteral("crptCustomerReport"),
        DbConnection().query(QStringLiteral(
            "SELECT Name, Address1, Address2, City, State, Zip, Phone, Fax, Status, DateAdded, ShipTo, "
            "ShipToAddress1, ShipToAddress2, ShipToCity, ShipToState, ShipToZip, ShipToPhone, ShipToFax, "
            "Terms, Days FROM Customer ORDER BY Status, Name, DateAdded")));
}

ReportJob employeeListingJob()
{
    return reportJob(
        QStringLiteral("crptEmployeeReport"),
        DbConnection().query(QStringLiteral(
            "SELECT SSN, FirstName, LastName, Address, City, State, Zip, Phone, Status, HireDate, DateAdded "
            "FROM Employee ORDER BY Status, LastName, FirstName, SSN")));
}

ReportJob setListingJob()
{
    return reportJob(
        QStringLiteral("crptSetReport"),
        DbConnection().query(QStringLiteral(
            "SELECT Type, Customer, CustomerRefNo, Style, Material, ReqFeet, EmployeeRate, CuttingPrice, "
            "SewingPrice, VinylPrice, LeatherPrice, KitPrice, TotalPrice, Status, DateAdded, "
            "ProductionStandard "
            "FROM Sets ORDER BY Status, Type, Customer, CustomerRefNo")));
}

ReportJob materialListingJob()
{
    return reportJob(
        QStringLiteral("crptMaterialReport"),
        DbConnection().query(QStringLiteral(
            "SELECT ID, Description, Status, Type, DateAdded FROM Material ORDER BY Status, Type, ID")));
}

} // namespace production
