#include "ui/CommandTable.h"

#include <algorithm>

namespace {

std::vector<Command> &table()
{
    // The windows and routines; documents produced at once are placed by their registry entries.
    static std::vector<Command> table = {
        {"Order Entry", "Order Navigator", "OrderNavigator", "Navigator"},
        {"Order Entry", "Order Entry/Edit", "OrderEntry", "Entry"},
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
        {"Inventory", "Adjust Inventory", "InventoryAdjust", "Entry"},
        {"Inventory", "Adjust Value", "AdjustValue", "Entry"},
        {"Inventory", "Available Inventory Report", "AvailableInventory", "Reports"},
        {"Inventory", "Inventory Valuation", "InventoryValuation", "Reports"},
        {"Inventory", "Material History Report", "LeatherHistory", "Reports"},
        {"Administrative", "Customer Entry/Edit", "CustomerEntry", "Entry"},
        {"Administrative", "Employee Entry/Edit", "EmployeeEntry", "Entry"},
        {"Administrative", "Set Entry/Edit", "SetEntry", "Entry"},
        {"Administrative", "Reset Item Price", "ResetPrice", "Entry"},
        {"Administrative", "Shop Passphrase", "ShopPassphrase", "Entry"},
        {"Administrative", "About", "About", "Entry"},
        {"Purchasing", "Import XLS", "ImportXLS", "Entry"},
        {"Purchasing", "Pending Items", "PendingItems", "Navigator"},
        {"Purchasing", "Import Log", "ImportXLSLogReport", "Reports"},
        {"Purchasing", "PO Navigator", "PONavigator", "Navigator"},
        {"Purchasing", "Cross Reference", "CrossReference", "Entry"},
    };
    return table;
}

} // namespace

const std::vector<Command> &commandTable()
{
    return table();
}

void placeCommand(const Command &command, const QString &after)
{
    std::vector<Command> &t = table();
    const auto same = [&](const Command &c) { return c.key == command.key; };
    if (const auto it = std::find_if(t.begin(), t.end(), same); it != t.end()) {
        *it = command;
        return;
    }
    auto at = std::find_if(t.begin(), t.end(), [&](const Command &c) { return c.key == after; });
    if (at == t.end() || at->group != command.group) {
        // Last in its group (a new group goes last).
        at = t.end();
        for (auto it = t.begin(); it != t.end(); ++it) {
            if (it->group == command.group)
                at = it;
        }
    }
    t.insert(at == t.end() ? t.end() : at + 1, command);
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
