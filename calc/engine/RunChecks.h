// What every command that runs the solver does around it: flows beyond the
// solver's bounds are no result, and a run that stops on bad input leaves no
// results of an earlier run beside the changed input.
#pragma once

#include "calc/model/CalcModel.h"
#include "calc/model/NetworkTables.h"

namespace arv {

// Flow bound the preparation gives every branch, m3/s.
constexpr double SolverFlowBound = 100000;

// A flow beyond the bound, or a branch the solver gave up on, means a loop
// without resistance: the message names a branch of it and the loop's
// branches and says which of the two happened, the branch's row is
// selected, CalcErrorFlag is set and the result is false. The caller then
// writes no results. A branch given up on where every loop it drives has a
// resistance says that the calculation did not converge, with the flow
// reached.
bool CheckSolvedFlows(TNetworkTables& t, TCalcContext& c);

// What follows every solve whose flows are to be shown: false when they are
// no result. A failed solve has told why and leaves the tables as they were;
// a flow beyond the bound is reported by CheckSolvedFlows and empties the
// result cells of the run.
bool SolvedFlowsUsable(TNetworkTables& t, TCalcContext& c);

// Empties the result cells of the kind of run CalcOptions names (position 2
// the calculation, 40 the normal or reverse tables).
void ClearRunResults(TNetworkTables& t, const TCalcContext& c);

} // namespace arv
