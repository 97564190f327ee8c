// Master listings: customers, employees, sets and materials, each grouped by status.
#include "production/ProductionReports.h"
#include "reports/docs/DesignKit.h"
#include "reports/docs/Families.h"

using namespace reports;
using namespace reports::docs;

namespace {

Group statusGroup(const QString &what)
{
    Group g;
    g.keys = {QStringLiteral("Status")};
    g.header = QStringLiteral("{Status}");
    g.footer = QStringLiteral("{Status} ") + what + QStringLiteral(": {count}");
    return g;
}

Design customerDesign()
{
    Design d;
    d.name = QStringLiteral("crptCustomerReport");
    d.title = QStringLiteral("Customer Listing");
    d.orientation = QPageLayout::Landscape;
    d.groups = {statusGroup(QStringLiteral("customers"))};
    d.details = {text(QStringLiteral("Name"), QStringLiteral("Name"), 1.9),
                 text(QStringLiteral("{Address1}, {Address2}"), QStringLiteral("Address"), 1.7),
                 text(QStringLiteral("{City}, {State}  {Zip}"), QStringLiteral("City, State, Zip"), 1.5),
                 text(QStringLiteral("Phone"), QStringLiteral("Phone"), 1),
                 text(QStringLiteral("Fax"), QStringLiteral("Fax"), 1),
                 text(QStringLiteral("{ShipTo}, {ShipToAddress1}, {ShipToCity}, {ShipToState}"),
                      QStringLiteral("Ship To"), 2.3),
                 text(QStringLiteral("Terms"), QStringLiteral("Terms"), 0.8),
                 count(QStringLiteral("Days"), QStringLiteral("Days"), 0.4),
                 date(QStringLiteral("DateAdded"), QStringLiteral("Added"), 0.8)};
    d.totalLabel = QStringLiteral("Customers in all: {count}");
    return d;
}

Design employeeDesign()
{
    Design d;
    d.name = QStringLiteral("crptEmployeeReport");
    d.title = QStringLiteral("Employee Listing");
    d.groups = {statusGroup(QStringLiteral("employees"))};
    d.details = {text(QStringLiteral("{LastName}, {FirstName}"), QStringLiteral("Name"), 1.6),
                 ssn(QStringLiteral("SSN"), QStringLiteral("SSN"), 1),
                 text(QStringLiteral("Address"), QStringLiteral("Address"), 1.6),
                 text(QStringLiteral("{City}, {State}  {Zip}"), QStringLiteral("City, State, Zip"), 1.6),
                 text(QStringLiteral("Phone"), QStringLiteral("Phone"), 1),
                 date(QStringLiteral("HireDate"), QStringLiteral("Hired"), 0.8),
                 date(QStringLiteral("DateAdded"), QStringLiteral("Added"), 0.8)};
    d.totalLabel = QStringLiteral("Employees in all: {count}");
    return d;
}

Design setDesign()
{
    Design d;
    d.name = QStringLiteral("crptSetReport");
    d.title = QStringLiteral("Set Listing");
    d.orientation = QPageLayout::Landscape;
    Group type;
    type.keys = {QStringLiteral("Type")};
    type.header = QStringLiteral("Type: {Type}");
    type.footer = QStringLiteral("Sets of type {Type}: {count}");
    d.groups = {statusGroup(QStringLiteral("sets")), type};
    d.details = {text(QStringLiteral("Customer"), QStringLiteral("Customer"), 1.8),
                 text(QStringLiteral("CustomerRefNo"), QStringLiteral("Customer Ref No"), 1.2),
                 text(QStringLiteral("Style"), QStringLiteral("Style"), 1.1),
                 text(QStringLiteral("Material"), QStringLiteral("Material"), 0.9),
                 qty(QStringLiteral("ReqFeet"), QStringLiteral("Cost Std"), 0.65),
                 qty(QStringLiteral("ProductionStandard"), QStringLiteral("Prod. Std"), 0.65),
                 money(QStringLiteral("EmployeeRate"), QStringLiteral("Emp. Rate"), 0.7),
                 money(QStringLiteral("CuttingPrice"), QStringLiteral("Cutting"), 0.7),
                 money(QStringLiteral("SewingPrice"), QStringLiteral("Sewing"), 0.7),
                 money(QStringLiteral("VinylPrice"), QStringLiteral("Vinyl"), 0.7),
                 money(QStringLiteral("LeatherPrice"), QStringLiteral("Leather"), 0.7),
                 money(QStringLiteral("KitPrice"), QStringLiteral("Kit"), 0.7),
                 money(QStringLiteral("TotalPrice"), QStringLiteral("Total Price"), 0.8),
                 date(QStringLiteral("DateAdded"), QStringLiteral("Added"), 0.75)};
    d.totalLabel = QStringLiteral("Sets in all: {count}");
    return d;
}

Design materialDesign()
{
    Design d;
    d.name = QStringLiteral("crptMaterialReport");
    d.title = QStringLiteral("Material Listing");
    d.groups = {statusGroup(QStringLiteral("materials"))};
    d.details = {text(QStringLiteral("Type"), QStringLiteral("Type"), 0.9),
                 text(QStringLiteral("ID"), QStringLiteral("Material"), 1.3),
                 text(QStringLiteral("Description"), QStringLiteral("Description"), 3.5),
                 date(QStringLiteral("DateAdded"), QStringLiteral("Added"), 0.9)};
    d.totalLabel = QStringLiteral("Materials in all: {count}");
    return d;
}

} // namespace

void reports::docs::addMasterListings(Family &family)
{
    family.add(
        {.design = customerDesign(),
         .columns = cols("Name, Address1, Address2, City, State, Zip, Phone, Fax, Status, DateAdded, ShipTo, "
                         "ShipToAddress1, ShipToAddress2, ShipToCity, ShipToState, ShipToZip, ShipToPhone, "
                         "ShipToFax, Terms, Days"),
         .build = [](const ReportArguments &) { return production::customerListingJob(); },
         .command = PaneCommand{QStringLiteral("Administrative"), QStringLiteral("Customer Listing"),
                                QStringLiteral("CustomerReport"), QStringLiteral("CustomerEntry")}});
    family.add(
        {.design = employeeDesign(),
         .columns =
             cols("SSN, FirstName, LastName, Address, City, State, Zip, Phone, Status, HireDate, DateAdded"),
         .build = [](const ReportArguments &) { return production::employeeListingJob(); },
         .command = PaneCommand{QStringLiteral("Administrative"), QStringLiteral("Employee Listing"),
                                QStringLiteral("EmployeeReport"), QStringLiteral("EmployeeEntry")}});
    family.add({.design = setDesign(),
                .columns = cols(
                    "Type, Customer, CustomerRefNo, Style, Material, ReqFeet, EmployeeRate, CuttingPrice, "
                    "SewingPrice, VinylPrice, LeatherPrice, KitPrice, TotalPrice, Status, DateAdded, "
                    "ProductionStandard"),
                .build = [](const ReportArguments &) { return production::setListingJob(); },
                .command = PaneCommand{QStringLiteral("Administrative"), QStringLiteral("Set Listing"),
                                       QStringLiteral("SetReport"), QStringLiteral("SetEntry")}});
    family.add({.design = materialDesign(),
                .columns = cols("ID, Description, Status, Type, DateAdded"),
                .build = [](const ReportArguments &) { return production::materialListingJob(); },
                .command = PaneCommand{QStringLiteral("Inventory"), QStringLiteral("Material Listing"),
                                       QStringLiteral("MaterialReport"), QStringLiteral("MaterialEntry")}});
}
