#include "ui/CommandTable.h"

const std::vector<Command> &commandTable()
{
    static const std::vector<Command> table = {
        {"Order Entry", "Order Navigator", "OrderNavigator", "Navigator"},
        {"Order Entry", "Order Entry/Edit", "OrderEntry", "Entry"},
        {"Order Entry", "Open Orders Report", "OpenOrders", "Reports"},
        {"Order Entry", "Production Schedule", "ProductionSchedule", "Reports"},
        {"Order Entry", "Material Sales Report", "LeatherSales", "Reports"},
        {"Order Entry", "Close Stuck Orders", "CloseOrders", "Entry"},
        {"Cutsheets", "Cutsheet Entry/Edit", "Cutsheet", "Entry"},
        {"Cutsheets", "Employee Yield Report", "EmployeeYield", "Reports"},
        {"Cutsheets", "Customer Yield Report", "CustomerYield", "Reports"},
        {"Cutsheets", "Employee Earnings Report", "EmployeeEarnings", "Reports"},
        {"Shipping", "Shipment Selection", "Shipping", "Navigator"},
        {"Shipping", "Receive Payments", "ReceivePayment", "Entry"},
        {"Shipping", "Manual Invoice Entry", "ManualInvoice", "Entry"},
        {"Shipping", "Open Invoices Report", "OpenInvoices", "Reports"},
        {"Shipping", "Sales Register Report", "SalesRegister", "Reports"},
        {"Shipping", "AR Transaction Report", "ARTranReport", "Reports"},
        {"Inventory", "Material Entry/Edit", "MaterialEntry", "Entry"},
        {"Inventory", "Material Listing", "MaterialReport", "Reports"},
        {"Inventory", "Adjust Inventory", "InventoryAdjust", "Entry"},
        {"Inventory", "Adjust Value", "AdjustValue", "Entry"},
        {"Inventory", "Available Inventory Report", "AvailableInventory", "Reports"},
        {"Inventory", "Inventory Valuation", "InventoryValuation", "Reports"},
        {"Inventory", "Material History Report", "LeatherHistory", "Reports"},
        {"Administrative", "Customer Entry/Edit", "CustomerEntry", "Entry"},
        {"Administrative", "Customer Listing", "CustomerReport", "Reports"},
        {"Administrative", "Employee Entry/Edit", "EmployeeEntry", "Entry"},
        {"Administrative", "Employee Listing", "EmployeeReport", "Reports"},
        {"Administrative", "Set Entry/Edit", "SetEntry", "Entry"},
        {"Administrative", "Set Listing", "SetReport", "Reports"},
        {"Administrative", "Reset Item Price", "ResetPrice", "Entry"},
        {"Administrative", "Shop Passphrase", "ShopPassphrase", "Entry"},
        {"Administrative", "About", "About", "Entry"},
        {"Purchasing", "Import XLS", "ImportXLS", "Entry"},
        {"Purchasing", "Pending Items", "PendingItems", "Navigator"},
        {"Purchasing", "Import Log", "ImportXLSLogReport", "Reports"},
        {"Purchasing", "PO Navigator", "PONavigator", "Navigator"},
    };
    return table;
}

QStringList commandGroups()
{
    QStringList groups;
    for (const Command &c : commandTable()) {
        if (!groups.contains(c.group))
            groups << c.group;
    }
    return groups;
}
