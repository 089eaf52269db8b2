// A frozen copy of the flow solver as it stood before its speed work, kept
// only as the reference that the optimised solver must match bit for bit.
// Do not optimise or correct it: any change here voids the comparison.
#include "calc/testing/ReferenceFlowSolver.h"

#include "calc/engine/NetworkPreparation.h"
#include "calc/model/BranchTypes.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace arv::test {

namespace {

std::string Int(int value, int width) {
    return Format("%*d", {width, value});
}

std::string Fixed(double value, int width, int decimals) {
    return Format("%*.*f", {width, decimals, value}, '.');
}

// A real written without width and precision: sign place, 15 digits,
// four-digit exponent.
std::string Scientific(double value) {
    std::string text = FloatToStrF(value, TFloatFormat::ffExponent, 15, 4, '.');
    return text[0] == '-' ? text : " " + text;
}

class TReferenceFlowSolver {
public:
    TReferenceFlowSolver(TCalcContext& c, const TSolverProfile& profile);
    // Every stage over the whole work list.
    void Run();

private:
    enum class TArc { Admissible, Blocked, Ignored };
    enum TFanCode : int8_t { OtherCode, FanCode, ReversedFanCode };
    static constexpr double kNoSlack = 1e14;
    static constexpr int kSourceLabel = 1;
    static constexpr int kTargetLabel = 51;
    static constexpr int kBothLabels = kSourceLabel + kTargetLabel;

    // What the arc tests read of a branch, in one cache line.
    struct alignas(64) TBranch {
        double Q, B1, B2, Lo, Hi, Reg;
        int32_t Begin, End;
        int32_t Kind;
        TFanCode Code;
    };
    // What only pushes and fan curves read.
    struct TBranchCurve {
        double R, A, B, C, TopFlow;
    };
    // A branch at a node: the node at its other end, the branch number and
    // whether it begins at the node (lowest bit).
    struct TIncidence {
        uint16_t Far;
        uint16_t BranchAndBegins;
    };
    // Cached arc tests and slacks of an ordinary branch (not the branch under
    // test); the stale bits say which ones its last change has outdated.
    enum : uint8_t {
        kForwardOpen = 1,
        kBackwardOpen = 2,
        kPressureSource = 4,
        kTestsStale = 8,
        kForwardSlackStale = 16,
        kBackwardSlackStale = 32,
    };
    struct TEnds {
        uint16_t Begin, End;
    };
    struct TSlack {
        double Forward, Backward;
    };

    TCalcContext& c_;
    const TSolverProfile& p_;
    std::vector<TBranch> br_;
    std::vector<TBranchCurve> curve_;
    std::vector<uint8_t> open_;
    std::vector<TSlack> slack_;
    std::vector<TEnds> ends_;
    std::vector<TIncidence> incident_; // as NodeIncidence
    const int* start_;                 // NodeIncidenceStart
    std::vector<int8_t> label_;        // NodeLabel while running
    int* link_;                        // NodeWork
    std::vector<int> surfaceNodes_;    // ascending
    std::vector<int> labelled_;        // nodes labelled in this attempt
    int labelledCount_ = 0;
    std::vector<TIncidence> candidates_; // arcs of one node towards the other side

    int BalanceState = 0;
    int CycleSourceNode = 0, CycleTargetNode = 0;
    std::vector<int> LabelFrontier; // 1-based
    int FrontierCount = 0;
    int FrontierScanIndex = 0, FrontierNode = 0;
    std::vector<int> BlockedArcs; // 0-based, signed branch numbers
    int BlockedArcCount = 0;
    int OneSidedSearch = 0;
    int MeetSourceNode = 0, MeetTargetNode = 0, MeetArc = 0;
    double ArcSlack = 0, MinSlack = 0;
    int MinSlackArc = 0;

    void Load();
    void Store();

    // One attempt at balancing CurrentBranch: a cycle and a push round it.
    void BalanceAttempt();
    int BranchBalanceState();

    // Labelling (FlowSolverSearch.cpp).
    int LabelSearch();
    int StuckFrontier();
    TArc ForwardSourceArc(int a);
    TArc BackwardSourceArc(int a);
    bool ForwardOpen(int a) const;
    bool BackwardOpen(int a) const;
    void AppendBlockedArc(int signedArc) {
        if (BlockedArcCount >= static_cast<int>(BlockedArcs.size()))
            BlockedArcs.resize(BlockedArcs.size() * 2);
        BlockedArcs[BlockedArcCount++] = signedArc;
    }
    void LabelNode(int from, int node, int signedArc) {
        label_[node] = label_[from];
        link_[node] = signedArc;
        labelled_[labelledCount_++] = node;
        LabelFrontier[++FrontierCount] = node;
    }
    int StepAcrossArc(int signedArc, int far);
    int JoinThroughSurface(int n);
    // Slack of a blocked arc, kNoSlack when it cannot open.
    double ForwardArcSlack(int a);
    double BackwardArcSlack(int a);
    double ForwardSlackOf(int a, bool current);
    double BackwardSlackOf(int a, bool current);
    void ChangePotentials();
    int FrontierAt(int index) const { return index <= FrontierCount ? LabelFrontier[index] : 0; }
    void WriteListing();
    // The cached tests of branch a; Touch marks tests and slacks stale after
    // its flow or bases changed.
    void Refresh(int a);
    void RefreshAll();
    void Touch(int a) { open_[a] |= kTestsStale | kForwardSlackStale | kBackwardSlackStale; }

    // Push round the cycle found.
    void PushStepAlongCycle();
    template <class TOp> void WalkCycle(TOp op);
    void LimitForwardIncrement(int a);
    void LimitBackwardIncrement(int a);
    void ApplyForwardIncrement(int a);
    void ApplyBackwardIncrement(int a);

    // The characteristic functions of the context, on the packed records.
    double F(int a, double q) {
        const TBranchCurve& x = curve_[a];
        const TFanCode code = br_[a].Code;
        double p = x.A * q * q + x.B * q + x.C;
        if (code == FanCode && q < x.TopFlow) p = x.C;
        if (code == ReversedFanCode && q > x.TopFlow) p = x.C;
        c_.LastFanPressure = p;
        return p;
    }
    double D(int a, double q) const { return br_[a].Reg * q * q; }
    double ShiftUp1(int a) const {
        double dq = c_.FlowIncrement;
        return br_[a].B1 - curve_[a].R * dq * (2 * br_[a].Q + dq);
    }
    double ShiftDown1(int a) const {
        double dq = c_.FlowIncrement;
        return br_[a].B1 + curve_[a].R * dq * (2 * br_[a].Q - dq);
    }
    double ShiftUp2(int a) const {
        double dq = c_.FlowIncrement;
        return br_[a].B2 - curve_[a].R * dq * (2 * br_[a].Q + dq);
    }
    double ShiftDown2(int a) const {
        double dq = c_.FlowIncrement;
        return br_[a].B2 + curve_[a].R * dq * (2 * br_[a].Q - dq);
    }
    bool IsSurface(int node) const { return c_.SurfaceNodeFlag[node] != 0; }
    // Fan tests of the profile: "В" and "ВР" apart, or every source as "В".
    bool TestedAsFan(const TBranch& x) const { return !p_.FanCodesApart || x.Code == FanCode; }
};

TReferenceFlowSolver::TReferenceFlowSolver(TCalcContext& c, const TSolverProfile& profile)
    : c_(c), p_(profile), br_(MaxBranchCount + 1), curve_(MaxBranchCount + 1),
      open_(MaxBranchCount + 1), slack_(MaxBranchCount + 1), ends_(MaxBranchCount + 1),
      incident_(2 * MaxBranchCount + 1), start_(c.NodeIncidenceStart.data()),
      label_(MaxNodeCount + 1, 0), link_(c.NodeWork.data()), labelled_(MaxNodeCount + 2, 0),
      candidates_(2 * MaxBranchCount + 1), LabelFrontier(MaxNodeCount + 2, 0),
      BlockedArcs(4 * MaxBranchCount + 4, 0) {}

void TReferenceFlowSolver::Load() {
    for (int i = 0; i <= MaxBranchCount; ++i) {
        TBranch& x = br_[i];
        x.Q = c_.BranchFlow[i];
        x.B1 = c_.PressureBase1[i];
        x.B2 = c_.PressureBase2[i];
        x.Lo = c_.FlowLowerBound[i];
        x.Hi = c_.FlowUpperBound[i];
        x.Reg = c_.RegulatorResistance[i];
        x.Begin = c_.BranchBeginNode[i];
        x.End = c_.BranchEndNode[i];
        x.Kind = c_.BranchCalcKind[i];
        const std::string& code = c_.BranchKindCode[i];
        x.Code = code == BranchType::Fan           ? FanCode
                 : code == BranchType::FanReversed ? ReversedFanCode
                                                   : OtherCode;
        curve_[i] = {c_.BranchResistance[i], c_.FanCoefA[i], c_.FanCoefB[i], c_.FanCoefC[i],
                     c_.FanFlowLimit[i]};
        ends_[i] = {static_cast<uint16_t>(x.Begin), static_cast<uint16_t>(x.End)};
    }
    const int entries = std::min(start_[MaxNodeCount + 1] - 1, 2 * MaxBranchCount);
    for (int k = 1; k <= MaxNodeCount; ++k)
        for (int p = start_[k]; p < start_[k + 1] && p <= entries; ++p) {
            int a = c_.NodeIncidence[p];
            bool begins = br_[a].Begin == k;
            incident_[p] = {static_cast<uint16_t>(begins ? br_[a].End : br_[a].Begin),
                            static_cast<uint16_t>(a << 1 | (begins ? 1 : 0))};
        }
    surfaceNodes_.clear();
    for (int k = 1; k <= MaxNodeCount; ++k)
        if (IsSurface(k)) surfaceNodes_.push_back(k);
    labelledCount_ = 0;
}

void TReferenceFlowSolver::Store() {
    for (int i = 0; i <= MaxBranchCount; ++i) {
        c_.BranchFlow[i] = br_[i].Q;
        c_.PressureBase1[i] = br_[i].B1;
        c_.PressureBase2[i] = br_[i].B2;
    }
    // The labels of the last attempt, as the context would hold them.
    if (labelledCount_ > 0)
        for (int k = 1; k <= MaxNodeCount; ++k) c_.NodeLabel[k] = label_[k];
}

void TReferenceFlowSolver::Run() {
    c_.SolverListing.clear();
    c_.SolverFailed = 0;
    c_.SolverRunawayBranch = 0;
    Load();
    const int first = c_.OptimalIteration > 2 ? 3 : 1;
    const int last = c_.CalcOptions[1] == 'D' ? 7 : p_.LastFineStage;
    for (int stage = first; stage <= last; ++stage) {
        c_.CurrentStep = CalcStepTable[stage];
        RefreshAll();
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
    Store();
}

void TReferenceFlowSolver::BalanceAttempt() {
    const int b = c_.CurrentBranch;
    if (BalanceState == 1) {
        CycleSourceNode = br_[b].End;
        CycleTargetNode = br_[b].Begin;
        link_[CycleSourceNode] = b;
    } else {
        CycleSourceNode = br_[b].Begin;
        CycleTargetNode = br_[b].End;
        link_[CycleTargetNode] = -b;
    }
    // Only what the last attempt labelled is not 0.
    for (int i = 0; i < labelledCount_; ++i) label_[labelled_[i]] = 0;
    labelledCount_ = 0;
    label_[CycleSourceNode] = kSourceLabel;
    label_[CycleTargetNode] = kTargetLabel;
    labelled_[labelledCount_++] = CycleSourceNode;
    labelled_[labelledCount_++] = CycleTargetNode;
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
int TReferenceFlowSolver::BranchBalanceState() {
    const int b = c_.CurrentBranch;
    const double s = c_.CurrentStep;
    const double e1 = p_.BalanceTolerance, e2 = p_.BalanceFlowTol, e3 = p_.BoundTolerance;
    c_.FlowIncrement = s;
    const TBranch& x = br_[b];
    const double q = x.Q, b1 = x.B1, b2 = x.B2, lo = x.Lo, hi = x.Hi, r = curve_[b].R;

    if (x.Kind == 1 && TestedAsFan(x)) {
        if (F(b, q + s) < 0 || q < 0) return 0;
        if (F(b, q + s) + b1 > e1) return 1;
        if (q < s) return 0;
        if (F(b, q - s) + b1 < -e1) return -1;
        return 0;
    }
    if (x.Kind == 1) {
        if (F(b, q - s) > 0 || q > 0) return 0;
        if (F(b, q - s) + b1 < -e1) return -1;
        if (std::fabs(q) < s) return 0;
        if (F(b, q + s) + b1 > e1) return 1;
        return 0;
    }
    if (x.Kind == 2) {
        if (b1 > e1) return q + e2 <= hi ? 1 : 0;
        if (q + e3 < lo && F(b, q + s) + b1 > e1) return 1;
        if (q < s) return 0;
        if (F(b, q - s) + b1 < -e1) return -1;
        if (q - e3 < lo) return 0;
        if (b1 < -e1) return -1;
        return 0;
    }

    if (q + e3 < lo) return 1;
    const double su1 = ShiftUp1(b);
    if (q > e2 && su1 > e1) {
        if (q + e3 < hi) return 1;
        if (x.Reg < e1) return 0;
        if (D(b, q + s) < b1 - e1) return 1;
        if (q < s) return 0;
        if (q - e3 < hi) return 0;
        if (D(b, q - s) > ShiftDown1(b) + e1) return -1;
        return 0;
    }
    if (q > e2) {
        if (q - e3 < lo) return 0;
        double y = q >= s ? ShiftDown1(b) : b1 + r * q * q;
        if (y < -e1) return -1;
        if (q < s) return 0;
        if (q - e3 < hi) return 0;
        if (D(b, q - s) > ShiftDown1(b) + e1) return -1;
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
        if (ShiftDown2(b) > e1) return -1;
        return 0;
    }
    if (q - e3 < lo) return 0;
    if (ShiftDown2(b) > e1) return -1;
    double y = -q >= s ? ShiftUp2(b) : b2 + r * q * q;
    if (y <= -e1) return 1;
    return 0;
}

template <class TOp> void TReferenceFlowSolver::WalkCycle(TOp op) {
    const int b = c_.CurrentBranch;
    // Every labelled node links back to its root; the bound only guards
    // against a broken link ever turning the walk into a loop.
    int guard = 2 * (MaxNodeCount + 1);
    int n = MeetSourceNode;
    while (n != br_[b].Begin && --guard > 0) {
        int a = link_[n];
        if (a > 0) {
            n = br_[a].Begin;
            op(a, true);
        } else {
            n = br_[-a].End;
            op(-a, false);
        }
    }
    const int stop = n;
    n = MeetTargetNode;
    while (n != stop && --guard > 0) {
        int a = link_[n];
        if (a > 0) {
            n = br_[a].End;
            op(a, true);
        } else {
            n = br_[-a].Begin;
            op(-a, false);
        }
    }
    if (MeetArc > 0)
        op(MeetArc, true);
    else if (MeetArc < 0)
        op(-MeetArc, false);
}

void TReferenceFlowSolver::PushStepAlongCycle() {
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

void TReferenceFlowSolver::LimitForwardIncrement(int a) {
    const double t = p_.SearchFlowTol;
    const TBranch& x = br_[a];
    const double q = x.Q;
    double& dq = c_.FlowIncrement;
    if (q <= -t) {
        if (-q < dq) dq = -q;
    } else if (q + t < x.Lo && x.Lo - q < dq) {
        dq = x.Lo - q;
    } else if (q + t < x.Hi && x.Hi - q < dq) {
        dq = x.Hi - q;
    }
    if (dq < p_.MinimalPush) dq = p_.MinimalPush;
}

void TReferenceFlowSolver::LimitBackwardIncrement(int a) {
    const double t = p_.SearchFlowTol;
    const TBranch& x = br_[a];
    const double q = x.Q;
    double& dq = c_.FlowIncrement;
    if (q - t > x.Hi && q - x.Hi < dq)
        dq = q - x.Hi;
    else if (q - t > x.Lo && q - x.Lo < dq)
        dq = q - x.Lo;
    else if (q > t && q < dq)
        dq = q;
    if (dq < p_.MinimalPush) dq = p_.MinimalPush;
}

void TReferenceFlowSolver::ApplyForwardIncrement(int a) {
    TBranch& x = br_[a];
    if (x.Q <= -p_.SearchFlowTol)
        x.B2 = ShiftUp2(a);
    else
        x.B1 = ShiftUp1(a);
    x.Q += c_.FlowIncrement;
    Touch(a);
}

void TReferenceFlowSolver::ApplyBackwardIncrement(int a) {
    TBranch& x = br_[a];
    if (x.Q >= p_.SearchFlowTol)
        x.B1 = ShiftDown1(a);
    else
        x.B2 = ShiftDown2(a);
    x.Q -= c_.FlowIncrement;
    Touch(a);
}

// Could a push raise the flow of ordinary branch a (not the one under test)?
bool TReferenceFlowSolver::ForwardOpen(int a) const {
    const TBranch& x = br_[a];
    const double s = c_.CurrentStep, t = p_.SearchFlowTol, pt = p_.SearchPressureTol;
    const double q = x.Q;
    if (c_.OptimalStage == 1 && q + t > x.Hi) return false;
    if (q >= x.Hi) return D(a, q + s) <= x.B1 + pt;
    if (q < -t) return x.B2 <= pt || (q + t <= x.Lo && -q >= s && D(a, q) >= x.B2 - pt);
    return x.B1 >= -pt || q + t <= x.Lo;
}

// Could a push lower it?
bool TReferenceFlowSolver::BackwardOpen(int a) const {
    const TBranch& x = br_[a];
    const double s = c_.CurrentStep, t = p_.SearchFlowTol, pt = p_.SearchPressureTol;
    const double q = x.Q;
    if (q - t < x.Lo) return false;
    if (q <= t) return x.B2 >= -pt;
    return x.B1 <= pt || (q - t >= x.Hi && q >= s && D(a, q) >= x.B1 - pt);
}

// The forward test of a pressure source (kind 1) or a managed fan (kind 2).
TReferenceFlowSolver::TArc TReferenceFlowSolver::ForwardSourceArc(int a) {
    const TBranch& x = br_[a];
    const double s = c_.CurrentStep, t = p_.SearchFlowTol, pt = p_.SearchPressureTol;
    const double q = x.Q, b1 = x.B1;
    auto when = [](bool open) { return open ? TArc::Admissible : TArc::Blocked; };
    if (c_.OptimalStage == 1 && q + t > x.Hi) return TArc::Blocked;
    if (x.Kind == 1) {
        if (TestedAsFan(x)) return when(F(a, q + s) + t >= -b1);
        if (x.Code == ReversedFanCode) return when(F(a, q - s) - t <= -b1);
        return TArc::Ignored;
    }
    if (b1 < 0 && q - t > x.Lo) return TArc::Blocked;
    return when(F(a, q + s) + b1 >= -pt && q + t <= x.Hi);
}

TReferenceFlowSolver::TArc TReferenceFlowSolver::BackwardSourceArc(int a) {
    const TBranch& x = br_[a];
    const double s = c_.CurrentStep, t = p_.SearchFlowTol, pt = p_.SearchPressureTol;
    const double q = x.Q, b1 = x.B1;
    auto when = [](bool open) { return open ? TArc::Admissible : TArc::Blocked; };
    if (x.Kind == 1) {
        if (TestedAsFan(x)) return when(q >= s && F(a, q - s) - pt <= -b1);
        if (x.Code == ReversedFanCode) return when(q <= s && F(a, q + s) + pt >= -b1);
        return TArc::Ignored;
    }
    if (q < s) return TArc::Blocked;
    return when(q - t >= x.Lo || F(a, q) - pt <= -b1);
}

void TReferenceFlowSolver::Refresh(int a) {
    if (br_[a].Kind != 0) {
        open_[a] = kPressureSource;
        return;
    }
    const uint8_t slacks = open_[a] & (kForwardSlackStale | kBackwardSlackStale);
    open_[a] = static_cast<uint8_t>((ForwardOpen(a) ? kForwardOpen : 0) |
                                    (BackwardOpen(a) ? kBackwardOpen : 0) | slacks);
}

// A new stage: the step changed, so every cached test and slack.
void TReferenceFlowSolver::RefreshAll() {
    for (int a = 0; a <= MaxBranchCount; ++a) {
        open_[a] = kForwardSlackStale | kBackwardSlackStale;
        Refresh(a);
    }
}

// A side that reaches the surface meets the other side there when the other
// side has reached it too; otherwise it stops growing.
int TReferenceFlowSolver::JoinThroughSurface(int n) {
    if (!IsSurface(n)) return 0;
    const int label = label_[n];
    for (int j : surfaceNodes_) {
        if (label + label_[j] != kBothLabels) continue;
        MeetArc = 0;
        MeetTargetNode = label == kTargetLabel ? n : j;
        MeetSourceNode = label == kTargetLabel ? j : n;
        return 1;
    }
    int kept = 0;
    for (int i = 1; i <= FrontierCount; ++i) {
        int node = LabelFrontier[i];
        if (label_[node] != label) LabelFrontier[++kept] = node;
    }
    FrontierCount = kept;
    OneSidedSearch = 1;
    return -1;
}

// Crossing an admissible arc from FrontierNode to its far node.
inline int TReferenceFlowSolver::StepAcrossArc(int signedArc, int far) {
    if (label_[far] != 0) {
        MeetArc = signedArc;
        const bool frontierIsTarget = label_[FrontierNode] == kTargetLabel;
        MeetTargetNode = frontierIsTarget ? FrontierNode : far;
        MeetSourceNode = frontierIsTarget ? far : FrontierNode;
        return 1;
    }
    LabelNode(FrontierNode, far, signedArc);
    return JoinThroughSurface(far);
}

// Result 0: go on scanning from FrontierNode; 1: the sides met (or the branch
// is left for the stage); -1: restart the scan at the first frontier node.
int TReferenceFlowSolver::LabelSearch() {
    const TIncidence* const incident = incident_.data();
    const int8_t* const label = label_.data();
    uint8_t* const open = open_.data();
    TIncidence* const candidates = candidates_.data();
    const int current = c_.CurrentBranch;
    while (FrontierScanIndex <= FrontierCount) {
        const int node = FrontierNode;
        const int side = label[node];
        const int source = side == kSourceLabel ? 1 : 0;
        // Arcs towards a node of the same side are dropped first, without a
        // branch per arc: which ones they are is anybody's guess.
        int count = 0;
        for (int p = start_[node], last = start_[node + 1]; p < last; ++p) {
            candidates[count] = incident[p];
            count += label[incident[p].Far] != side;
        }
        for (int i = 0; i < count; ++i) {
            const TIncidence e = candidates[i];
            // A parallel arc may have labelled it meanwhile.
            if (label[e.Far] == side) continue;
            const int a = e.BranchAndBegins >> 1;
            // Forward: the push would raise the arc's flow (away from the
            // source side, towards the target side).
            const bool forward = (e.BranchAndBegins & 1) == source;
            TArc arc;
            if (a == current) {
                arc = TArc::Blocked;
            } else {
                if (open[a] & kTestsStale) Refresh(a);
                if (open[a] & kPressureSource)
                    arc = forward ? ForwardSourceArc(a) : BackwardSourceArc(a);
                else
                    arc = open[a] & (forward ? kForwardOpen : kBackwardOpen) ? TArc::Admissible
                                                                             : TArc::Blocked;
            }
            if (arc == TArc::Ignored) continue;
            const int signedArc = forward ? a : -a;
            if (arc == TArc::Blocked) {
                AppendBlockedArc(signedArc);
                continue;
            }
            const int result = StepAcrossArc(signedArc, e.Far);
            if (result != 0) return result;
        }
        ++FrontierScanIndex;
        FrontierNode = FrontierAt(FrontierScanIndex);
    }
    return StuckFrontier();
}

// The scan ran past the frontier: open the blocked arc with the least slack by
// moving the pressure bases of the whole border.
int TReferenceFlowSolver::StuckFrontier() {
    MinSlack = kNoSlack;
    MinSlackArc = 0;
    int kept = 0;
    for (int i = 0; i < BlockedArcCount; ++i) {
        const int signedArc = BlockedArcs[i];
        const int a = std::abs(signedArc);
        const int lb = label_[ends_[a].Begin], le = label_[ends_[a].End];
        const int sum = lb + le;
        if (lb != 0 && le != 0 && sum != kBothLabels) continue;
        BlockedArcs[kept++] = signedArc;
        ArcSlack = signedArc > 0 ? ForwardArcSlack(a) : BackwardArcSlack(a);
        // Such an arc is on the border of both sides and moves twice.
        if (sum == kBothLabels && OneSidedSearch == 0) ArcSlack /= 2;
        if (ArcSlack < MinSlack) {
            MinSlack = ArcSlack;
            MinSlackArc = signedArc;
        }
    }
    BlockedArcCount = kept;

    if (MinSlack > 1e13) {
        if (c_.OptimalStage == 2) {
            WriteListing();
            c_.SolverFailed = 1;
            ShowCalcMessage(Ru("Неопределенная ошибка"));
        }
        // No cycle can be formed: the branch keeps its flow for this stage.
        BalanceState = 0;
        return 1;
    }

    int m = FrontierCount;
    ChangePotentials();
    if (FrontierCount == m && c_.SearchResult != 1) {
        c_.SolverFailed = 1;
        ShowCalcMessage(Ru("Неопределенная ошибка"));
        BalanceState = 0;
        return 1;
    }
    if (c_.SearchResult == 1) return 1;

    bool restart = false;
    for (bool again = true; again;) {
        again = false;
        const int end = FrontierCount;
        // A join that stops a side shrinks the frontier under this pass.
        for (int j = m + 1; j <= end && j <= FrontierCount; ++j) {
            const int result = JoinThroughSurface(LabelFrontier[j]);
            if (result == 1) return 1;
            if (result == -1) {
                restart = true;
                m = 0;
                again = true;
            }
        }
    }
    if (restart) return -1;
    FrontierScanIndex = m + 1;
    FrontierNode = FrontierAt(m + 1);
    return 0;
}

void TReferenceFlowSolver::ChangePotentials() {
    const double pt = p_.SearchPressureTol;
    for (int i = 0; i < BlockedArcCount; ++i) {
        const int signedArc = BlockedArcs[i];
        const int a = std::abs(signedArc);
        TBranch& x = br_[a];
        const int begin = x.Begin, end = x.End;
        if (signedArc > 0) {
            x.B1 += MinSlack;
            x.B2 -= MinSlack;
            Touch(a);
            ArcSlack = ForwardArcSlack(a);
            if (ArcSlack >= pt) continue;
            if (label_[end] == 0) {
                LabelNode(begin, end, a);
            } else if (label_[begin] == 0) {
                LabelNode(end, begin, a);
            } else if (label_[begin] + label_[end] == kBothLabels) {
                MeetTargetNode = end;
                MeetSourceNode = begin;
                MeetArc = a;
                c_.SearchResult = 1;
            }
        } else {
            x.B1 -= MinSlack;
            x.B2 += MinSlack;
            Touch(a);
            ArcSlack = BackwardArcSlack(a);
            if (ArcSlack >= pt) continue;
            if (label_[begin] == 0) {
                LabelNode(end, begin, -a);
            } else if (label_[end] == 0) {
                LabelNode(begin, end, -a);
            } else if (label_[begin] + label_[end] == kBothLabels) {
                MeetTargetNode = begin;
                MeetSourceNode = end;
                MeetArc = -a;
                c_.SearchResult = 1;
            }
        }
    }
}

double TReferenceFlowSolver::ForwardArcSlack(int a) {
    const bool current = a == c_.CurrentBranch;
    if (current || open_[a] & kPressureSource) return ForwardSlackOf(a, current);
    if (open_[a] & kForwardSlackStale) {
        slack_[a].Forward = ForwardSlackOf(a, false);
        open_[a] &= ~kForwardSlackStale;
    }
    return slack_[a].Forward;
}

double TReferenceFlowSolver::BackwardArcSlack(int a) {
    const bool current = a == c_.CurrentBranch;
    if (current || open_[a] & kPressureSource) return BackwardSlackOf(a, current);
    if (open_[a] & kBackwardSlackStale) {
        slack_[a].Backward = BackwardSlackOf(a, false);
        open_[a] &= ~kBackwardSlackStale;
    }
    return slack_[a].Backward;
}

// How far the pressure bases must move before a blocked forward arc opens.
double TReferenceFlowSolver::ForwardSlackOf(int a, bool current) {
    const double s = c_.CurrentStep, t = p_.SearchFlowTol;
    const TBranch& x = br_[a];
    const double q = x.Q, b1 = x.B1, b2 = x.B2, lo = x.Lo, hi = x.Hi;
    if (q + t >= hi && x.Reg <= t) return kNoSlack;
    const int kind = x.Kind;
    if (kind == 1 || (kind == 2 && q - t <= lo))
        return current ? -b1 - F(a, q - s) : -b1 - F(a, q + s);
    if (kind == 2) return -b1;
    if (q >= -t) {
        if (hi <= q + t) return current && q - t <= hi ? -b1 : D(a, q + s) - b1;
        return -b1;
    }
    return lo < q + t || -q < s ? b2 : b2 - D(a, q);
}

// The same for a blocked backward arc.
double TReferenceFlowSolver::BackwardSlackOf(int a, bool current) {
    const double s = c_.CurrentStep, t = p_.SearchFlowTol;
    const TBranch& x = br_[a];
    const double q = x.Q, b1 = x.B1, b2 = x.B2, lo = x.Lo, hi = x.Hi;
    const int kind = x.Kind;
    if (!(q - t > lo || kind > 0)) return kNoSlack;
    if (kind == 0) {
        if (q <= t) return -b2;
        if (q + t < hi || q < s) return b1;
        if (q - t > hi) return b1;
        return current ? b1 - D(a, q) : b1;
    }
    if (!p_.SlackBelowStep && q < s) return kNoSlack;
    return current ? F(a, q + s) + b1 : F(a, q - s) + b1;
}

// The state of a labelling that found no arc to open, for the engineer who
// has to find out why.
void TReferenceFlowSolver::WriteListing() {
    std::string& out = c_.SolverListing;
    if (p_.ListingHeader) out += std::string(p_.ListingHeader) + "\n";
    for (int i = 0; i < BlockedArcCount; ++i) {
        const int signedArc = BlockedArcs[i];
        const TBranch& x = br_[std::abs(signedArc)];
        out += "a=" + Int(signedArc, 5) + " i=" + Int(x.Begin, 3) + " j=" + Int(x.End, 3) +
               " sp[i]=" + Int(label_[x.Begin], 1) + " sp[j]=" + Int(label_[x.End], 1) +
               " f=" + Fixed(x.Q, 7, 1) + " lo=" + Fixed(x.Lo, 7, 1) + "\n";
        out += " hi=" + Fixed(x.Hi, 7, 1) + " ndd=" + Int(c_.CurrentBranch, 5) +
               " c=" + Scientific(x.B1) + " c1=" + Scientific(x.B2) + "\n";
    }
    out += "*****\n";
    for (int i = 1; i <= FrontierCount; ++i) {
        const int link = link_[LabelFrontier[i]];
        const TBranch& x = br_[std::abs(link)];
        out += "a=" + Int(link, 5) + " i=" + Int(x.Begin, 3) + " j=" + Int(x.End, 3) +
               " f=" + Fixed(x.Q, 7, 1) + "\n";
    }
}

} // namespace

void SolveArcFlowsReference(TCalcContext& c, const TSolverProfile& profile) {
    TReferenceFlowSolver(c, profile).Run();
}

} // namespace arv::test
