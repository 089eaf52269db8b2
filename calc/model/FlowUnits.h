// Flows are held in m3/s and the tables show them in the flow unit of the
// options (1: m3/s, 60: m3/min); a typed flow is read in that unit. This is
// how the tables write a flow in a unit, and how they keep every flow's
// meaning when the unit changes: a unit is how a flow is shown, never what
// it is.
#pragma once

#include "calc/model/NetworkTables.h"

#include <string>
#include <string_view>

namespace arv {

// A flow in m3/s as the result columns show it: times the unit, two
// decimals for m3/s, whole numbers for m3/min.
std::string FlowTextInUnit(double flowPerSecond, int unit);

// The headings that name the flow unit: the flow of the fan table and its
// reverse-mode twin, the consumer table's required and computed flows.
void WriteFlowUnitHeadings(TNetworkTables& t, int unit);

// A typed flow in another unit: the shortest text that holds its value to
// the last of 15 significant digits (7 m3/min is 0,116666666666667 m3/s),
// so that the calculation reads the value typed and the way back finds the
// text typed ("7"). A text that is no number stays as it is.
std::string TypedFlowInUnit(std::string_view text, int fromUnit, int toUnit);

// A computed flow's text in another unit, in the column's form (two
// decimals for m3/s, whole m3/min; `consumerForm`: the consumer table's
// "%8.2f" in both), with the decimals it needs to stay within the last
// digit the text showed: "23,59" m3/s is "1415,4" m3/min and comes back as
// "23,59", "1415" m3/min is "23,58" m3/s and comes back as "1415".
std::string ShownFlowInUnit(std::string_view text, int fromUnit, int toUnit,
                            bool consumerForm = false);

// The typed and computed flows of a reverse-mode branch and fan table, in
// the data rows up to the last ones given, written in another unit from
// their texts (a reverse-mode file read into a data set of another unit).
void RewriteReverseRowsInUnit(TModGrid& branches, TModGrid& fans, int lastBranchRow, int lastFanRow,
                              int fromUnit, int toUnit);

// The flow unit changed from `fromUnit` to `toUnit`: every flow the tables
// hold is written anew in the new unit, so that it means what it meant.
// Typed flows keep their value exactly (TypedFlowInUnit); the consumer
// table's required flows are written from the branch table's; computed
// flows that show the last run's results are written from them as a run
// in the new unit writes them, others from their text (ShownFlowInUnit).
// What the user typed into the consumer table and it did not take over yet
// goes into the branch table first. The data are marked modified.
void RewriteFlowsInUnit(TNetworkTables& t, int fromUnit, int toUnit);

} // namespace arv
