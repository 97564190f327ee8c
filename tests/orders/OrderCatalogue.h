#pragma once

#include "TestSupport.h"

namespace ordertest {

// Customers "Acme Upholstery" and "Quintar" (active) and "Zephyr Marine" (inactive); sets Q100
// at 95.50, Q200 at 120, Q300 at 80, A100 at 150 and the inactive X900.
void seedCatalogue(TestDatabase &db);

// The entry rows the order window refuses, as a data table: qty, ref, price typed; the refusal's
// text, title and the box to correct ("focusBox").
void lineRefusalRows();

} // namespace ordertest
