// The flow solver as it stood before its speed work, for tests that check the
// optimised solver gives the same state to the last bit.
#pragma once

#include "calc/engine/FlowSolver.h"

namespace arv::test {

// Same contract as SolveArcFlows.
void SolveArcFlowsReference(TCalcContext& c, const TSolverProfile& profile);

} // namespace arv::test
