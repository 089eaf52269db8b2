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
#pragma once

#include "calc/engine/FlowSolver.h"

#include <cstdint>
#include <vector>

namespace arv {

class TFlowSolver {
public:
    TFlowSolver(TCalcContext& c, const TSolverProfile& profile);
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

} // namespace arv
