// Flows are held in m3/s and the tables show them in the flow unit of the
// options (1: m3/s, 60: m3/min); a typed flow is read in that unit. This is
// how the tables write a flow in a unit, and how they keep every flow's
// meaning when the unit changes.
#pragma once

#include "calc/model/NetworkTables.h"

#include <string>

namespace arv {

// A flow in m3/s as the result columns show it: times the unit, two
// decimals for m3/s, whole numbers for m3/min.
std::string FlowTextInUnit(double flowPerSecond, int unit);

// The headings that name the flow unit: the flow of the fan table and its
// reverse-mode twin, the consumer table's required and computed flows.
void WriteFlowUnitHeadings(TNetworkTables& t, int unit);

// The flow unit changed from `fromUnit` to `toUnit`: every flow the tables
// hold is written anew in the new unit, so that it means what it meant.
// Typed flows (the required flows) keep their value exactly, in the
// column's form where that holds it, with the decimals it needs otherwise;
// computed flows take the form the results are written in. The calculation
// arrays still fit the tables; the data are marked modified.
void RewriteFlowsInUnit(TNetworkTables& t, int fromUnit, int toUnit);

} // namespace arv
