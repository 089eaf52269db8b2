// The solver's working state and its steps; one object per run. Only the
// solver's own files include this.
//
// Cost: every attempt labels most of the network, so one run visits each arc
// many thousand times. The scan therefore reads compact data: incidence
// entries of four bytes with the far node, byte labels, and for ordinary
// branches the answer of the arc tests and their slacks, cached per branch
// and refreshed whenever the branch's flow or bases change and at every new
// stage. Flows and bases are worked on in packed records loaded from the
// calculation context and written back at the end. The arithmetic is the
// context's own, in the same order, so results are the same to the last bit.
//
// The working buffers are sized to the branches and nodes the network uses,
// not to the limits, and kept per thread between runs: a small mine costs
// what its size says, and repeated solves (stability candidates) allocate
// nothing.
//
// A branch that cannot settle often swings between two states until the
// attempt cap. Past the first few attempts the solver keeps an undo log of
// every flow and base an attempt changes; when the state after an attempt
// equals, bit for bit, the state two attempts earlier, every further attempt
// would repeat the last two exactly, so the attempts up to the cap are
// skipped where their count is even.
#pragma once

#include "calc/engine/FlowSolver.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace arv {

class TFlowSolver {
public:
    TFlowSolver(TCalcContext& c, const TSolverProfile& profile);
    ~TFlowSolver();
    TFlowSolver(const TFlowSolver&) = delete;
    TFlowSolver& operator=(const TFlowSolver&) = delete;
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
        kUnderTest = 64, // the branch being balanced: never an arc of its own cycle
    };
    struct TEnds {
        uint16_t Begin, End;
    };
    struct TSlack {
        double Forward, Backward;
    };

    // Flows and bases of a branch before the attempt first changed them.
    struct TUndo {
        int Branch;
        bool ChangedInPrevious; // by the attempt before too
        double Q, B1, B2;
    };
    // Everything sized to the network; one set per thread, reused.
    struct TBuffers {
        std::vector<TBranch> br;
        std::vector<TBranchCurve> curve;
        std::vector<uint8_t> open;
        std::vector<TSlack> slack;
        std::vector<TEnds> ends;
        std::vector<TIncidence> incident; // per node, padded
        std::vector<int> padStart;        // first arc of each node there
        std::vector<int> realEnd;         // end of its real arcs
        std::vector<int8_t> label;
        std::vector<uint8_t> surface;
        std::vector<int> surfaceNodes, labelled, frontier, blocked, branches;
        std::vector<uint8_t> bothSides; // per blocked arc: between the two sides
        std::vector<int> loggedIn;
        std::vector<TUndo> previousLog, currentLog;
        // Per branch: +k (-k) when it used up its attempts raising (lowering)
        // its flow in each of the run's first k stages.
        std::vector<int> gaveUp;
    };

    TCalcContext& c_;
    const TSolverProfile& p_;
    std::unique_ptr<TBuffers> own_; // only while the thread's are lent out
    TBuffers& buf_;
    TBranch* br_ = nullptr;
    TBranchCurve* curve_ = nullptr;
    uint8_t* open_ = nullptr;
    TSlack* slack_ = nullptr;
    TEnds* ends_ = nullptr;
    TIncidence* incident_ = nullptr; // as NodeIncidence, padded
    const int* padStart_ = nullptr;
    const int* realEnd_ = nullptr;
    const int* start_;           // NodeIncidenceStart
    int8_t* label_ = nullptr;    // NodeLabel while running
    uint8_t* surface_ = nullptr; // SurfaceNodeFlag of the nodes in use
    int* link_;                  // NodeWork
    int* labelled_ = nullptr;    // nodes labelled in this attempt but not in its frontier
    int labelledCount_ = 0;
    bool attempted_ = false;
    int lastBranch_ = 0, lastNode_ = 0; // highest numbers the network uses

    // The repeat watch of the current branch.
    static constexpr int kSmallScan = 256;
    bool smallScan_ = false; // the last attempt labelled few nodes
    bool watching_ = false;
    int watchedAttempts_ = 0;
    int serial_ = 2;        // of the attempt being logged
    int stateTwoBack_ = 0;  // BalanceState before the previous attempt
    int statePrevious_ = 0; // BalanceState before this attempt

    int BalanceState = 0;
    int CycleSourceNode = 0, CycleTargetNode = 0;
    int* LabelFrontier = nullptr; // 1-based
    int FrontierCount = 0;
    int FrontierScanIndex = 0, FrontierNode = 0;
    int* BlockedArcs = nullptr; // 0-based, signed branch numbers
    int BlockedArcCapacity = 0;
    int BlockedArcCount = 0;
    int OneSidedSearch = 0;
    int MeetSourceNode = 0, MeetTargetNode = 0, MeetArc = 0;
    double MinSlack = 0;
    int MinSlackArc = 0;

    TBuffers& ThreadBuffers();
    void Load();
    void Store();

    // Exact repetition sets in late or not at all, and logging costs: the
    // watch runs in short windows at attempts 8, 16, 32, ... of a branch.
    static bool WatchedAttempt(int attempt) {
        if (attempt < 8) return false;
        int window = 8;
        while (window <= attempt / 2) window *= 2;
        return attempt - window < 4;
    }
    // The repeat watch: Remember before a flow or base changes.
    void StartWatch();
    void BeginWatchedAttempt();
    bool RepeatsTwoBack();
    void Remember(int a) {
        if (!watching_ || buf_.loggedIn[a] == serial_) return;
        const TBranch& x = br_[a];
        buf_.currentLog.push_back({a, buf_.loggedIn[a] == serial_ - 1, x.Q, x.B1, x.B2});
        buf_.loggedIn[a] = serial_;
    }

    // One attempt at balancing CurrentBranch: a cycle and a push round it.
    void BalanceAttempt();
    int BranchBalanceState();

    // Labelling (FlowSolverSearch.cpp).
    int LabelSearch() { return smallScan_ ? ScanFrontier<false>() : ScanFrontier<true>(); }
    template <bool Branchless> int ScanFrontier();
    int StuckFrontier();
    TArc ForwardSourceArc(int a);
    TArc BackwardSourceArc(int a);
    bool ForwardOpen(int a) const;
    bool BackwardOpen(int a) const;
    void GrowBlockedArcs();
    void LabelNode(int from, int node, int signedArc) {
        label_[node] = label_[from];
        link_[node] = signedArc;
        LabelFrontier[++FrontierCount] = node;
    }
    int JoinThroughSurface(int n);
    // Slack of a blocked arc, kNoSlack when it cannot open.
    double ForwardArcSlack(int a) {
        const bool current = a == c_.CurrentBranch;
        if (current || open_[a] & kPressureSource) return ForwardSlackOf(a, current);
        if (open_[a] & kForwardSlackStale) {
            slack_[a].Forward = ForwardSlackOf(a, false);
            open_[a] &= ~kForwardSlackStale;
        }
        return slack_[a].Forward;
    }
    double BackwardArcSlack(int a) {
        const bool current = a == c_.CurrentBranch;
        if (current || open_[a] & kPressureSource) return BackwardSlackOf(a, current);
        if (open_[a] & kBackwardSlackStale) {
            slack_[a].Backward = BackwardSlackOf(a, false);
            open_[a] &= ~kBackwardSlackStale;
        }
        return slack_[a].Backward;
    }
    double ForwardSlackOf(int a, bool current);
    double BackwardSlackOf(int a, bool current);
    // The same for an ordinary branch that is not under test.
    double OrdinaryForwardSlack(const TBranch& x) const {
        const double s = c_.CurrentStep, t = p_.SearchFlowTol;
        const double q = x.Q;
        if (q + t >= x.Hi && x.Reg <= t) return kNoSlack;
        if (q >= -t) {
            if (x.Hi <= q + t) {
                const double probe = q + s;
                return x.Reg * probe * probe - x.B1;
            }
            return -x.B1;
        }
        return x.Lo < q + t || -q < s ? x.B2 : x.B2 - x.Reg * q * q;
    }
    double OrdinaryBackwardSlack(const TBranch& x) const {
        const double t = p_.SearchFlowTol;
        const double q = x.Q;
        if (!(q - t > x.Lo)) return kNoSlack;
        return q <= t ? -x.B2 : x.B1;
    }
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
    // Only for nodes of branches in use, as every node the search meets.
    bool IsSurface(int node) const { return surface_[node] != 0; }
    // Fan tests of the profile: "В" and "ВР" apart, or every source as "В".
    bool TestedAsFan(const TBranch& x) const { return !p_.FanCodesApart || x.Code == FanCode; }
};

} // namespace arv
