#include "app/Subsystems.h"

#include "inventory/InventoryCommands.h"
#include "orders/OrderCommands.h"
#include "production/ProductionCommands.h"
#include "purchasing/PurchasingCommands.h"
#include "reports/ReportCommands.h"
#include "shipping/ShippingCommands.h"
#include "ui/UiCommands.h"

void registerAllCommands()
{
    ui::registerCommands();
    orders::registerCommands();
    production::registerCommands();
    purchasing::registerCommands();
    reports::registerCommands();
    inventory::registerCommands();
    shipping::registerCommands();
}
