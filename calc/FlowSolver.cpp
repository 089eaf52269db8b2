#include "FlowSolver.h"

#include "BranchTypes.h"
#include "FlowSolverState.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"

#include <cmath>
#include <cstdlib>

namespace arv {

const TSolverProfile SolverProfileA{
    1e-6, 1e-4, 5e-4, 1e-4, 1e-6, 0.01, 9, 1000, true, true, nullptr,
};

const TSolverProfile SolverProfileB{
    1e-4, 1e-3, 5e-3, 1e-3, 1e-4, 0.001, 8, 100000, false, false, "===========",
};

const double CalcStepTable[10] = {0, 16, 8, 4, 2, 1, 0.5, 0.1, 0.01, 0.001};

TFlowSolver::TFlowSolver(TCalcContext& c, const TSolverProfile& profile)
    : c_(c), p_(profile), LabelFrontier(MaxNodeCount + 2, 0),
      BlockedArcs(4 * MaxBranchCount + 4, 0) {}

void TFlowSolver::Run() {
    c_.SolverListing.clear();
    const int first = c_.OptimalIteration > 2 ? 3 : 1;
    const int last = c_.CalcOptions[1] == 'D' ? 7 : p_.LastFineStage;
    for (int stage = first; stage <= last; ++stage) {
        c_.CurrentStep = CalcStepTable[stage];
        for (int i = 1; i <= c_.BranchWorkCount; ++i) {
            c_.CurrentBranch = c_.BranchWorkList[i];
            BalanceState = BranchBalanceState();
            int attempts = 0;
            while (BalanceState != 0) {
                // A branch that will not settle is left for this stage.
                if (attempts >= p_.AttemptLimit) {
                    c_.SolverListing += Ru("Превышено число попыток: ветвь ") +
                                        IntToStr(c_.CurrentBranch) + Ru(", этап ") +
                                        IntToStr(stage) + "\n";
                    break;
                }
                ++attempts;
                BalanceAttempt();
            }
        }
    }
}

void TFlowSolver::BalanceAttempt() {
    const int b = c_.CurrentBranch;
    if (BalanceState == 1) {
        CycleSourceNode = c_.BranchEndNode[b];
        CycleTargetNode = c_.BranchBeginNode[b];
        c_.NodeWork[CycleSourceNode] = b;
    } else {
        CycleSourceNode = c_.BranchBeginNode[b];
        CycleTargetNode = c_.BranchEndNode[b];
        c_.NodeWork[CycleTargetNode] = -b;
    }
    for (int k = 1; k <= MaxNodeCount; ++k) c_.NodeLabel[k] = 0;
    c_.NodeLabel[CycleSourceNode] = kSourceLabel;
    c_.NodeLabel[CycleTargetNode] = kTargetLabel;
    FrontierCount = 0;
    if (!IsSurface(CycleSourceNode)) LabelFrontier[++FrontierCount] = CycleSourceNode;
    if (!IsSurface(CycleTargetNode)) LabelFrontier[++FrontierCount] = CycleTargetNode;
    OneSidedSearch = FrontierCount == 2 ? 0 : 1;

    c_.SearchResult = 0;
    while (c_.SearchResult != 1) {
        FrontierNode = FrontierAt(1);
        FrontierScanIndex = 1;
        BlockedArcCount = 0;
        int result = 0;
        while (result == 0) result = LabelSearch();
        c_.SearchResult = result;
    }
    if (BalanceState != 0) {
        PushStepAlongCycle();
        BalanceState = BranchBalanceState();
    }
}

// 1: the branch wants more flow, -1: less, 0: balanced within the stage's
// step and the profile's tolerances.
int TFlowSolver::BranchBalanceState() {
    const int b = c_.CurrentBranch;
    const double s = c_.CurrentStep;
    const double e1 = p_.BalanceTolerance, e2 = p_.BalanceFlowTol, e3 = p_.BoundTolerance;
    c_.FlowIncrement = s;
    const double q = c_.BranchFlow[b];
    const double b1 = c_.PressureBase1[b], b2 = c_.PressureBase2[b];
    const double lo = c_.FlowLowerBound[b], hi = c_.FlowUpperBound[b];
    const double r = c_.BranchResistance[b];
    const int kind = c_.BranchCalcKind[b];

    if (kind == 1 && (!p_.FanCodesApart || c_.BranchKindCode[b] == BranchType::Fan)) {
        if (F(b, q + s) < 0 || q < 0) return 0;
        if (F(b, q + s) + b1 > e1) return 1;
        if (q < s) return 0;
        if (F(b, q - s) + b1 < -e1) return -1;
        return 0;
    }
    if (kind == 1) {
        if (F(b, q - s) > 0 || q > 0) return 0;
        if (F(b, q - s) + b1 < -e1) return -1;
        if (std::fabs(q) < s) return 0;
        if (F(b, q + s) + b1 > e1) return 1;
        return 0;
    }
    if (kind == 2) {
        if (b1 > e1) return q + e2 <= hi ? 1 : 0;
        if (q + e3 < lo && F(b, q + s) + b1 > e1) return 1;
        if (q < s) return 0;
        if (F(b, q - s) + b1 < -e1) return -1;
        if (q - e3 < lo) return 0;
        if (b1 < -e1) return -1;
        return 0;
    }

    if (q + e3 < lo) return 1;
    const double su1 = c_.SquareLawShiftUp1(b);
    if (q > e2 && su1 > e1) {
        if (q + e3 < hi) return 1;
        if (c_.RegulatorResistance[b] < e1) return 0;
        if (D(b, q + s) < b1 - e1) return 1;
        if (q < s) return 0;
        if (q - e3 < hi) return 0;
        if (D(b, q - s) > c_.SquareLawShiftDown1(b) + e1) return -1;
        return 0;
    }
    if (q > e2) {
        if (q - e3 < lo) return 0;
        double y = q >= s ? c_.SquareLawShiftDown1(b) : b1 + r * q * q;
        if (y < -e1) return -1;
        if (q < s) return 0;
        if (q - e3 < hi) return 0;
        if (D(b, q - s) > c_.SquareLawShiftDown1(b) + e1) return -1;
        return 0;
    }
    if (q > -e2 && su1 > e1) {
        if (q + e3 < hi) return 1;
        // The probe flow is Q + e2 here, not Q + s.
        if (D(b, q + e2) < b1 - e1) return 1;
        return 0;
    }
    if (q > -e2) {
        if (q - e3 < lo) return 0;
        if (c_.SquareLawShiftDown2(b) > e1) return -1;
        return 0;
    }
    if (q - e3 < lo) return 0;
    if (c_.SquareLawShiftDown2(b) > e1) return -1;
    double y = -q >= s ? c_.SquareLawShiftUp2(b) : b2 + r * q * q;
    if (y <= -e1) return 1;
    return 0;
}

template <class TOp> void TFlowSolver::WalkCycle(TOp op) {
    const int b = c_.CurrentBranch;
    // Every labelled node links back to its root; the bound only guards
    // against a broken link ever turning the walk into a loop.
    int guard = 2 * (MaxNodeCount + 1);
    int n = MeetSourceNode;
    while (n != c_.BranchBeginNode[b] && --guard > 0) {
        int a = c_.NodeWork[n];
        if (a > 0) {
            n = c_.BranchBeginNode[a];
            op(a, true);
        } else {
            n = c_.BranchEndNode[-a];
            op(-a, false);
        }
    }
    const int stop = n;
    n = MeetTargetNode;
    while (n != stop && --guard > 0) {
        int a = c_.NodeWork[n];
        if (a > 0) {
            n = c_.BranchEndNode[a];
            op(a, true);
        } else {
            n = c_.BranchBeginNode[-a];
            op(-a, false);
        }
    }
    if (MeetArc > 0)
        op(MeetArc, true);
    else if (MeetArc < 0)
        op(-MeetArc, false);
}

void TFlowSolver::PushStepAlongCycle() {
    if (std::abs(MeetArc) == c_.CurrentBranch) return;
    WalkCycle([this](int a, bool forward) {
        if (forward)
            LimitForwardIncrement(a);
        else
            LimitBackwardIncrement(a);
    });
    WalkCycle([this](int a, bool forward) {
        if (forward)
            ApplyForwardIncrement(a);
        else
            ApplyBackwardIncrement(a);
    });
}

void TFlowSolver::LimitForwardIncrement(int a) {
    const double t = p_.SearchFlowTol;
    const double q = c_.BranchFlow[a];
    const double lo = c_.FlowLowerBound[a], hi = c_.FlowUpperBound[a];
    double& dq = c_.FlowIncrement;
    if (q <= -t) {
        if (-q < dq) dq = -q;
    } else if (q + t < lo && lo - q < dq) {
        dq = lo - q;
    } else if (q + t < hi && hi - q < dq) {
        dq = hi - q;
    }
    if (dq < p_.MinimalPush) dq = p_.MinimalPush;
}

void TFlowSolver::LimitBackwardIncrement(int a) {
    const double t = p_.SearchFlowTol;
    const double q = c_.BranchFlow[a];
    const double lo = c_.FlowLowerBound[a], hi = c_.FlowUpperBound[a];
    double& dq = c_.FlowIncrement;
    if (q - t > hi && q - hi < dq)
        dq = q - hi;
    else if (q - t > lo && q - lo < dq)
        dq = q - lo;
    else if (q > t && q < dq)
        dq = q;
    if (dq < p_.MinimalPush) dq = p_.MinimalPush;
}

void TFlowSolver::ApplyForwardIncrement(int a) {
    if (c_.BranchFlow[a] <= -p_.SearchFlowTol)
        c_.PressureBase2[a] = c_.SquareLawShiftUp2(a);
    else
        c_.PressureBase1[a] = c_.SquareLawShiftUp1(a);
    c_.BranchFlow[a] += c_.FlowIncrement;
}

void TFlowSolver::ApplyBackwardIncrement(int a) {
    if (c_.BranchFlow[a] >= p_.SearchFlowTol)
        c_.PressureBase1[a] = c_.SquareLawShiftDown1(a);
    else
        c_.PressureBase2[a] = c_.SquareLawShiftDown2(a);
    c_.BranchFlow[a] -= c_.FlowIncrement;
}

void SolveArcFlows(TCalcContext& c, const TSolverProfile& profile) {
    TFlowSolver(c, profile).Run();
}

void SolveArcFlowsA(TCalcContext& c) {
    SolveArcFlows(c, SolverProfileA);
}

void SolveArcFlowsB(TCalcContext& c) {
    SolveArcFlows(c, SolverProfileB);
}

} // namespace arv
