// The staged flow solver: distributes the air over the prepared network. A
// primal-dual search of the out-of-kilter kind on square-law branches: the
// flow moves in quanta that shrink stage by stage; a branch out of balance
// gets a cycle through it, found by labelling from both of its ends, and one
// quantum is pushed round that cycle; where the labelling sticks, the
// pressure bases on its border move by the least amount that opens an arc.
// All surface nodes are one node for the search, joined through the air.
//
// Precondition: PrepareNetwork ran without error. Changes BranchFlow,
// PressureBase1, PressureBase2, the node labels and links, FlowIncrement,
// CurrentStep, CurrentBranch, SearchResult and SolverListing.
#pragma once

#include "calc/model/CalcModel.h"

namespace arv {

// Tolerances and limits of one solver profile.
struct TSolverProfile {
    double BalanceTolerance;   // e1: pressure tolerance of the balance test
    double BalanceFlowTol;     // e2: flow tolerance of the balance test
    double BoundTolerance;     // e3: bound tolerance of the balance test
    double SearchFlowTol;      // T: flow tolerance of search, slack and push
    double SearchPressureTol;  // P: pressure tolerance of search and potentials
    double MinimalPush;        // floor of every push
    int LastFineStage;         // last stage without 'D' accuracy
    int AttemptLimit;          // attempts per branch and stage
    bool FanCodesApart;        // "В" and "ВР" tested apart
    bool SlackBelowStep;       // backward fan slack computed also for Q < step
    const char* ListingHeader; // first line of the diagnostic listing, or null
};

// Fine tolerances.
extern const TSolverProfile SolverProfileA;
// Coarse tolerances. The attempt limit only keeps a run finite: a branch that
// reaches it is left for the stage.
extern const TSolverProfile SolverProfileB;

// Step of each stage, 1-based (entry 0 unused), m3/s.
extern const double CalcStepTable[10];

void SolveArcFlows(TCalcContext& c, const TSolverProfile& profile);
void SolveArcFlowsA(TCalcContext& c);
void SolveArcFlowsB(TCalcContext& c);

} // namespace arv
