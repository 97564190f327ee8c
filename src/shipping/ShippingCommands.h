#pragma once

namespace shipping {

// Registers the shipment, payment, manual invoice and receivable request windows.
void registerCommands();

} // namespace shipping
