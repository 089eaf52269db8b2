// The solver's working state and its steps; one object per run. Only the
// solver's own files include this.
#pragma once

#include "FlowSolver.h"

#include <vector>

namespace arv {

class TFlowSolver {
public:
    TFlowSolver(TCalcContext& c, const TSolverProfile& profile);
    // Every stage over the whole work list.
    void Run();

private:
    enum class TArc { Admissible, Blocked, Ignored };
    static constexpr double kNoSlack = 1e14;
    static constexpr int kSourceLabel = 1;
    static constexpr int kTargetLabel = 51;
    static constexpr int kBothLabels = kSourceLabel + kTargetLabel;

    TCalcContext& c_;
    const TSolverProfile& p_;

    int BalanceState = 0;
    int CycleSourceNode = 0, CycleTargetNode = 0;
    std::vector<int> LabelFrontier; // 1-based
    int FrontierCount = 0;
    int FrontierScanIndex = 0, FrontierNode = 0;
    int SearchArc = 0;
    std::vector<int> BlockedArcs; // 0-based, signed branch numbers
    int BlockedArcCount = 0;
    int OneSidedSearch = 0;
    int MeetSourceNode = 0, MeetTargetNode = 0, MeetArc = 0;
    double ArcSlack = 0, MinSlack = 0;
    int MinSlackArc = 0;

    // One attempt at balancing CurrentBranch: a cycle and a push round it.
    void BalanceAttempt();
    int BranchBalanceState();

    // Labelling (FlowSolverSearch.cpp).
    int LabelSearch();
    int StuckFrontier();
    int ArcDirection(int node, int a) const;
    TArc ForwardArc(int a);
    TArc BackwardArc(int a);
    void AppendBlockedArc(int signedArc);
    void LabelNode(int from, int node, int signedArc);
    int StepAcrossArc(int signedArc);
    int JoinThroughSurface(int n);
    void ForwardArcSlack(int a);
    void BackwardArcSlack(int a);
    void ChangePotentials();
    int FrontierAt(int index) const { return index <= FrontierCount ? LabelFrontier[index] : 0; }
    void WriteListing();

    // Push round the cycle found.
    void PushStepAlongCycle();
    template <class TOp> void WalkCycle(TOp op);
    void LimitForwardIncrement(int a);
    void LimitBackwardIncrement(int a);
    void ApplyForwardIncrement(int a);
    void ApplyBackwardIncrement(int a);

    double F(int a, double q) { return c_.FanPressureAtFlow(a, q); }
    double D(int a, double q) const { return c_.SquareLawDepression(a, q); }
    bool IsSurface(int node) const { return c_.SurfaceNodeFlag[node] != 0; }
};

} // namespace arv
