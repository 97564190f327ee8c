#include "shipping/ShippingCommands.h"

#include "shipping/ReceivableWindows.h"
#include "shipping/Shipment.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"

namespace shipping {

namespace {

template <typename Window> void registerWindow(const QString &key)
{
    commands::registerCommand(key, [key] { host::openChild(key, [] { return new Window; }); });
}

} // namespace

void registerCommands()
{
    registerWindow<Shipment>(QStringLiteral("Shipping"));
    registerWindow<ReceivePayment>(QStringLiteral("ReceivePayment"));
    registerWindow<frmInvoiceEntry>(QStringLiteral("ManualInvoice"));
    registerWindow<frmOpenInvoicesReport>(QStringLiteral("OpenInvoices"));
    registerWindow<frmARTranReport>(QStringLiteral("ARTranReport"));
    registerWindow<frmSalesRegister>(QStringLiteral("SalesRegister"));
}

} // namespace shipping
