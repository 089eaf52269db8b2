#include "calc/engine/FlowSolver.h"

#include "calc/engine/FlowSolverState.h"
#include "calc/model/BranchTypes.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"

#include <algorithm>
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

namespace {
// The thread's buffers are lent to one run at a time; a run started while
// another is open (from inside a message box, say) gets its own.
thread_local bool threadBuffersLent = false;
} // namespace

TFlowSolver::TBuffers& TFlowSolver::ThreadBuffers() {
    thread_local TBuffers buffers;
    if (threadBuffersLent) {
        own_ = std::make_unique<TBuffers>();
        return *own_;
    }
    threadBuffersLent = true;
    return buffers;
}

TFlowSolver::TFlowSolver(TCalcContext& c, const TSolverProfile& profile)
    : c_(c), p_(profile), buf_(ThreadBuffers()), start_(c.NodeIncidenceStart.data()),
      link_(c.NodeWork.data()) {}

TFlowSolver::~TFlowSolver() {
    if (!own_) threadBuffersLent = false;
}

// Sizes the buffers to the branches of the work list and the incidence lists
// and to the nodes at their ends, and loads them. Branches and nodes outside
// that set are never read by the search, so their values stay in the context.
void TFlowSolver::Load() {
    TBuffers& b = buf_;
    const int entries = std::min(start_[MaxNodeCount + 1] - 1, 2 * MaxBranchCount);
    const int workCount = std::min(c_.BranchWorkCount, MaxBranchCount);
    lastBranch_ = 0;
    for (int i = 1; i <= workCount; ++i) lastBranch_ = std::max(lastBranch_, c_.BranchWorkList[i]);
    for (int p = 1; p <= entries; ++p) lastBranch_ = std::max(lastBranch_, c_.NodeIncidence[p]);
    lastBranch_ = std::min(lastBranch_, MaxBranchCount);
    const size_t branchSlots = static_cast<size_t>(lastBranch_) + 1;
    b.br.resize(branchSlots);
    b.curve.resize(branchSlots);
    b.open.resize(branchSlots);
    b.slack.resize(branchSlots);
    b.ends.resize(branchSlots);
    b.loggedIn.assign(branchSlots, 0);
    b.gaveUp.assign(branchSlots, 0);
    br_ = b.br.data();
    curve_ = b.curve.data();
    open_ = b.open.data();
    slack_ = b.slack.data();
    ends_ = b.ends.data();

    // Distinct branches in use, ascending.
    std::vector<uint8_t>& used = b.open; // scratch until RefreshAll
    std::fill(used.begin(), used.end(), 0);
    auto use = [&](int n) {
        if (n >= 0 && n <= lastBranch_) used[n] = 1;
    };
    for (int i = 1; i <= workCount; ++i) use(c_.BranchWorkList[i]);
    for (int p = 1; p <= entries; ++p) use(c_.NodeIncidence[p]);
    b.branches.clear();
    lastNode_ = 0;
    for (int i = 0; i <= lastBranch_; ++i) {
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
        if (used[i]) {
            b.branches.push_back(i);
            lastNode_ = std::max({lastNode_, x.Begin, x.End});
        }
    }
    lastNode_ = std::min(lastNode_, MaxNodeCount);
    const size_t nodeSlots = static_cast<size_t>(lastNode_) + 2;
    b.label.assign(nodeSlots, 0);
    b.surface.assign(nodeSlots, 0);
    b.labelled.resize(nodeSlots + 2);
    b.frontier.resize(nodeSlots + 2);
    label_ = b.label.data();
    surface_ = b.surface.data();
    labelled_ = b.labelled.data();
    LabelFrontier = b.frontier.data();
    if (b.blocked.size() < 4 * branchSlots + 4) b.blocked.resize(4 * branchSlots + 4);
    b.bothSides.resize(b.blocked.size());
    BlockedArcs = b.blocked.data();
    BlockedArcCapacity = static_cast<int>(b.blocked.size());

    // Each node's arcs in the order of the incidence lists, padded to a
    // multiple of four with arcs of branch 0 to the node itself.
    b.padStart.resize(nodeSlots + 1);
    b.realEnd.resize(nodeSlots + 1);
    b.incident.clear();
    for (int k = 1; k <= lastNode_; ++k) {
        b.padStart[k] = static_cast<int>(b.incident.size());
        for (int p = start_[k]; p < start_[k + 1] && p <= entries; ++p) {
            int a = c_.NodeIncidence[p];
            bool begins = br_[a].Begin == k;
            b.incident.push_back({static_cast<uint16_t>(begins ? br_[a].End : br_[a].Begin),
                                  static_cast<uint16_t>(a << 1 | (begins ? 1 : 0))});
        }
        b.realEnd[k] = static_cast<int>(b.incident.size());
        while (b.incident.size() % 4 != 0) b.incident.push_back({static_cast<uint16_t>(k), 0});
    }
    b.padStart[lastNode_ + 1] = static_cast<int>(b.incident.size());
    incident_ = b.incident.data();
    padStart_ = b.padStart.data();
    realEnd_ = b.realEnd.data();
    // A surface node without branches is never labelled, so never joins.
    b.surfaceNodes.clear();
    for (int k = 1; k <= lastNode_; ++k)
        if (c_.SurfaceNodeFlag[k] != 0) {
            surface_[k] = 1;
            b.surfaceNodes.push_back(k);
        }
    labelledCount_ = 0;
    FrontierCount = 0;
    attempted_ = false;
}

void TFlowSolver::Store() {
    for (int i = 0; i <= lastBranch_; ++i) {
        c_.BranchFlow[i] = br_[i].Q;
        c_.PressureBase1[i] = br_[i].B1;
        c_.PressureBase2[i] = br_[i].B2;
    }
    // The labels of the last attempt, as the context would hold them.
    if (attempted_) {
        std::fill(c_.NodeLabel.begin() + 1, c_.NodeLabel.begin() + MaxNodeCount + 1, 0);
        for (int k = 1; k <= lastNode_; ++k) c_.NodeLabel[k] = label_[k];
    }
}

void TFlowSolver::GrowBlockedArcs() {
    buf_.blocked.resize(buf_.blocked.size() * 2);
    buf_.bothSides.resize(buf_.blocked.size());
    BlockedArcs = buf_.blocked.data();
    BlockedArcCapacity = static_cast<int>(buf_.blocked.size());
}

void TFlowSolver::Run() {
    c_.SolverListing.clear();
    c_.SolverFailed = 0;
    c_.SolverRunawayBranch = 0;
    Load();
    const int first = c_.OptimalIteration > 2 ? 3 : 1;
    const int last = c_.CalcOptions[1] == 'D' ? 7 : p_.LastFineStage;
    int* gaveUp = buf_.gaveUp.data();
    for (int stage = first; stage <= last; ++stage) {
        c_.CurrentStep = CalcStepTable[stage];
        RefreshAll();
        for (int i = 1; i <= c_.BranchWorkCount; ++i) {
            const int b = c_.CurrentBranch = c_.BranchWorkList[i];
            // Marked so the scan and the border tell it apart by its flags.
            open_[b] |= kUnderTest;
            BalanceState = BranchBalanceState();
            int attempts = 0;
            watching_ = false;
            const double startFlow = br_[b].Q;
            const int firstState = BalanceState;
            bool oneWay = true;
            while (BalanceState != 0) {
                // A branch that will not settle is left for this stage.
                if (attempts >= p_.AttemptLimit) {
                    c_.SolverListing += Ru("Превышено число попыток: ветвь ") +
                                        IntToStr(c_.CurrentBranch) + Ru(", этап ") +
                                        IntToStr(stage) + "\n";
                    // Pushed the same way by full steps all the stage long,
                    // in this and every stage before: a repeat of two
                    // attempts or slow settling moves it far less.
                    const int before = stage - first;
                    if (oneWay && std::abs(gaveUp[b]) == before &&
                        (before == 0 || (gaveUp[b] > 0) == (firstState > 0)) &&
                        std::fabs(br_[b].Q - startFlow) >= 0.5 * p_.AttemptLimit * c_.CurrentStep)
                        gaveUp[b] = firstState > 0 ? before + 1 : -(before + 1);
                    break;
                }
                if (BalanceState != firstState) oneWay = false;
                ++attempts;
                const bool watched = WatchedAttempt(attempts);
                if (watched) {
                    if (!watching_) StartWatch();
                    BeginWatchedAttempt();
                } else {
                    watching_ = false;
                }
                BalanceAttempt();
                // The remaining attempts would only repeat the last two; an
                // odd number of them is run so the state ends as theirs.
                if (watched && BalanceState != 0 && RepeatsTwoBack() &&
                    (p_.AttemptLimit - attempts) % 2 == 0)
                    attempts = p_.AttemptLimit;
            }
            watching_ = false;
            open_[b] &= ~kUnderTest;
        }
    }
    // The solver gave up on a branch only when it did so in every stage:
    // one that settles in a later stage, however far it went, has a flow.
    for (int i = 1; i <= c_.BranchWorkCount && first <= last; ++i) {
        const int b = c_.BranchWorkList[i];
        if (b >= 0 && b <= lastBranch_ && std::abs(gaveUp[b]) == last - first + 1) {
            c_.SolverRunawayBranch = b;
            break;
        }
    }
    Store();
}

void TFlowSolver::StartWatch() {
    watching_ = true;
    watchedAttempts_ = 0;
    // No stamp of an earlier branch may pass for the previous attempt's.
    serial_ += 2;
    buf_.currentLog.clear();
    buf_.previousLog.clear();
}

void TFlowSolver::BeginWatchedAttempt() {
    if (serial_ > 0x3fffffff) {
        std::fill(buf_.loggedIn.begin(), buf_.loggedIn.end(), 0);
        serial_ = 2;
        watchedAttempts_ = 0;
        buf_.currentLog.clear();
    }
    std::swap(buf_.previousLog, buf_.currentLog);
    buf_.currentLog.clear();
    ++serial_;
    ++watchedAttempts_;
    stateTwoBack_ = statePrevious_;
    statePrevious_ = BalanceState;
}

// After an attempt: are every flow and base, and the branch's balance state,
// bit for bit what they were before the previous attempt? Only branches that
// one of the two attempts changed can differ.
bool TFlowSolver::RepeatsTwoBack() {
    if (watchedAttempts_ < 2 || BalanceState != stateTwoBack_) return false;
    auto same = [this](const TUndo& u) {
        const TBranch& x = br_[u.Branch];
        return std::memcmp(&x.Q, &u.Q, sizeof(double)) == 0 &&
               std::memcmp(&x.B1, &u.B1, sizeof(double)) == 0 &&
               std::memcmp(&x.B2, &u.B2, sizeof(double)) == 0;
    };
    for (const TUndo& u : buf_.previousLog)
        if (!same(u)) return false;
    for (const TUndo& u : buf_.currentLog)
        if (!u.ChangedInPrevious && !same(u)) return false;
    return true;
}

void TFlowSolver::BalanceAttempt() {
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
    // A small labelling is short and tends to be retraced by the next
    // attempt: the plain scan suits it.
    smallScan_ = attempted_ && FrontierCount + labelledCount_ < kSmallScan;
    // Only what the last attempt labelled is not 0: its frontier and the
    // nodes that left it.
    for (int i = 1; i <= FrontierCount; ++i) label_[LabelFrontier[i]] = 0;
    for (int i = 0; i < labelledCount_; ++i) label_[labelled_[i]] = 0;
    labelledCount_ = 0;
    attempted_ = true;
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
int TFlowSolver::BranchBalanceState() {
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

template <class TOp> void TFlowSolver::WalkCycle(TOp op) {
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

inline void TFlowSolver::LimitForwardIncrement(int a) {
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

inline void TFlowSolver::LimitBackwardIncrement(int a) {
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

inline void TFlowSolver::ApplyForwardIncrement(int a) {
    Remember(a);
    TBranch& x = br_[a];
    if (x.Q <= -p_.SearchFlowTol)
        x.B2 = ShiftUp2(a);
    else
        x.B1 = ShiftUp1(a);
    x.Q += c_.FlowIncrement;
    Touch(a);
}

inline void TFlowSolver::ApplyBackwardIncrement(int a) {
    Remember(a);
    TBranch& x = br_[a];
    if (x.Q >= p_.SearchFlowTol)
        x.B1 = ShiftDown1(a);
    else
        x.B2 = ShiftDown2(a);
    x.Q -= c_.FlowIncrement;
    Touch(a);
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
