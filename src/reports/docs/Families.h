#pragma once

#include "reports/ReportRegistry.h"

// The family files, each adding its documents to the registry.
namespace reports::docs {

void addOrderDocuments(Family &family);      // OrderDocuments.cpp
void addMasterListings(Family &family);      // MasterListings.cpp
void addShippingDocuments(Family &family);   // ShippingDocuments.cpp
void addReceivableDocuments(Family &family); // ReceivableDocuments.cpp
void addProductionDocuments(Family &family); // ProductionDocuments.cpp
void addInventoryDocuments(Family &family);  // InventoryDocuments.cpp
void addPurchasingDocuments(Family &family); // PurchasingDocuments.cpp

} // namespace reports::docs
