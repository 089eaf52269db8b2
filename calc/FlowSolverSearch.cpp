// The labelling of the solver: the two sides grow from the ends of the branch
// under test through admissible arcs until they meet, directly or through the
// surface; a stuck labelling moves the pressure bases of its border.
#include "BranchTypes.h"
#include "FlowSolverState.h"
#include "NetworkPreparation.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"

#include <cstdlib>

namespace arv {

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

} // namespace

// +1: the arc would carry flow away from the node's side (raise Q for a
// source-side node at the branch's begin); -1 the other way; 0 when the far
// node already belongs to the same side.
int TFlowSolver::ArcDirection(int node, int a) const {
    const int label = c_.NodeLabel[node];
    const bool begins = c_.BranchBeginNode[a] == node;
    const int far = begins ? c_.BranchEndNode[a] : c_.BranchBeginNode[a];
    if (c_.NodeLabel[far] == label) return 0;
    if (label == kSourceLabel) return begins ? 1 : -1;
    return begins ? -1 : 1;
}

// Could the push raise the flow of arc a?
TFlowSolver::TArc TFlowSolver::ForwardArc(int a) {
    const double s = c_.CurrentStep, t = p_.SearchFlowTol, pt = p_.SearchPressureTol;
    const double q = c_.BranchFlow[a];
    const double b1 = c_.PressureBase1[a], b2 = c_.PressureBase2[a];
    const double lo = c_.FlowLowerBound[a], hi = c_.FlowUpperBound[a];
    auto when = [](bool admissible) { return admissible ? TArc::Admissible : TArc::Blocked; };
    if (a == c_.CurrentBranch) return TArc::Blocked;
    if (c_.OptimalStage == 1 && q + t > hi) return TArc::Blocked;
    switch (c_.BranchCalcKind[a]) {
    case 1:
        if (!p_.FanCodesApart || c_.BranchKindCode[a] == BranchType::Fan)
            return when(F(a, q + s) + t >= -b1);
        if (c_.BranchKindCode[a] == BranchType::FanReversed) return when(F(a, q - s) - t <= -b1);
        return TArc::Ignored;
    case 2:
        if (b1 < 0 && q - t > lo) return TArc::Blocked;
        return when(F(a, q + s) + b1 >= -pt && q + t <= hi);
    default:
        if (q >= hi) return when(D(a, q + s) <= b1 + pt);
        if (q < -t) return when(b2 <= pt || (q + t <= lo && -q >= s && D(a, q) >= b2 - pt));
        return when(b1 >= -pt || q + t <= lo);
    }
}

// Could the push lower the flow of arc a?
TFlowSolver::TArc TFlowSolver::BackwardArc(int a) {
    const double s = c_.CurrentStep, t = p_.SearchFlowTol, pt = p_.SearchPressureTol;
    const double q = c_.BranchFlow[a];
    const double b1 = c_.PressureBase1[a], b2 = c_.PressureBase2[a];
    const double lo = c_.FlowLowerBound[a], hi = c_.FlowUpperBound[a];
    auto when = [](bool admissible) { return admissible ? TArc::Admissible : TArc::Blocked; };
    if (a == c_.CurrentBranch) return TArc::Blocked;
    switch (c_.BranchCalcKind[a]) {
    case 1:
        if (!p_.FanCodesApart || c_.BranchKindCode[a] == BranchType::Fan)
            return when(q >= s && F(a, q - s) - pt <= -b1);
        if (c_.BranchKindCode[a] == BranchType::FanReversed)
            return when(q <= s && F(a, q + s) + pt >= -b1);
        return TArc::Ignored;
    case 2:
        if (q < s) return TArc::Blocked;
        return when(q - t >= lo || F(a, q) - pt <= -b1);
    default:
        if (q - t < lo) return TArc::Blocked;
        if (q <= t) return when(b2 >= -pt);
        return when(b1 <= pt || (q - t >= hi && q >= s && D(a, q) >= b1 - pt));
    }
}

void TFlowSolver::AppendBlockedArc(int signedArc) {
    if (BlockedArcCount >= static_cast<int>(BlockedArcs.size()))
        BlockedArcs.resize(BlockedArcs.size() * 2);
    BlockedArcs[BlockedArcCount++] = signedArc;
}

void TFlowSolver::LabelNode(int from, int node, int signedArc) {
    c_.NodeLabel[node] = c_.NodeLabel[from];
    c_.NodeWork[node] = signedArc;
    LabelFrontier[++FrontierCount] = node;
}

int TFlowSolver::StepAcrossArc(int signedArc) {
    const int a = std::abs(signedArc);
    const int far =
        c_.BranchBeginNode[a] == FrontierNode ? c_.BranchEndNode[a] : c_.BranchBeginNode[a];
    if (c_.NodeLabel[far] != 0) {
        MeetArc = signedArc;
        const bool frontierIsTarget = c_.NodeLabel[FrontierNode] == kTargetLabel;
        MeetTargetNode = frontierIsTarget ? FrontierNode : far;
        MeetSourceNode = frontierIsTarget ? far : FrontierNode;
        return 1;
    }
    LabelNode(FrontierNode, far, signedArc);
    return JoinThroughSurface(far);
}

// A side that reaches the surface meets the other side there when the other
// side has reached it too; otherwise it stops growing.
int TFlowSolver::JoinThroughSurface(int n) {
    if (!IsSurface(n)) return 0;
    const int label = c_.NodeLabel[n];
    for (int j = 1; j <= MaxNodeCount; ++j) {
        if (!IsSurface(j) || label + c_.NodeLabel[j] != kBothLabels) continue;
        MeetArc = 0;
        MeetTargetNode = label == kTargetLabel ? n : j;
        MeetSourceNode = label == kTargetLabel ? j : n;
        return 1;
    }
    int kept = 0;
    for (int i = 1; i <= FrontierCount; ++i) {
        int node = LabelFrontier[i];
        if (c_.NodeLabel[node] != label) LabelFrontier[++kept] = node;
    }
    FrontierCount = kept;
    OneSidedSearch = 1;
    return -1;
}

// Result 0: go on scanning from FrontierNode; 1: the sides met (or the branch
// is left for the stage); -1: restart the scan at the first frontier node.
int TFlowSolver::LabelSearch() {
    while (FrontierScanIndex <= FrontierCount) {
        const int node = FrontierNode;
        const int last = c_.NodeIncidenceStart[node + 1];
        for (int p = c_.NodeIncidenceStart[node]; p < last; ++p) {
            const int a = c_.NodeIncidence[p];
            SearchArc = a;
            const int direction = ArcDirection(node, a);
            if (direction == 0) continue;
            const TArc arc = direction > 0 ? ForwardArc(a) : BackwardArc(a);
            if (arc == TArc::Ignored) continue;
            if (arc == TArc::Blocked) {
                AppendBlockedArc(direction * a);
                continue;
            }
            const int result = StepAcrossArc(direction * a);
            if (result != 0) return result;
        }
        ++FrontierScanIndex;
        FrontierNode = FrontierAt(FrontierScanIndex);
    }
    return StuckFrontier();
}

// The scan ran past the frontier: open the blocked arc with the least slack by
// moving the pressure bases of the whole border.
int TFlowSolver::StuckFrontier() {
    MinSlack = kNoSlack;
    MinSlackArc = 0;
    int kept = 0;
    for (int i = 0; i < BlockedArcCount; ++i) {
        const int signedArc = BlockedArcs[i];
        const int a = std::abs(signedArc);
        const int sum = c_.NodeLabel[c_.BranchBeginNode[a]] + c_.NodeLabel[c_.BranchEndNode[a]];
        const bool oneEndFree =
            c_.NodeLabel[c_.BranchBeginNode[a]] == 0 || c_.NodeLabel[c_.BranchEndNode[a]] == 0;
        if (!oneEndFree && sum != kBothLabels) continue;
        BlockedArcs[kept++] = signedArc;
        ArcSlack = kNoSlack;
        if (signedArc > 0)
            ForwardArcSlack(a);
        else
            BackwardArcSlack(a);
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
            ShowCalcMessage(Ru("Неопределенная ошибка"));
        }
        // No cycle can be formed: the branch keeps its flow for this stage.
        BalanceState = 0;
        return 1;
    }

    int m = FrontierCount;
    ChangePotentials();
    if (FrontierCount == m && c_.SearchResult != 1) {
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

void TFlowSolver::ChangePotentials() {
    const double pt = p_.SearchPressureTol;
    int* label = c_.NodeLabel.data();
    for (int i = 0; i < BlockedArcCount; ++i) {
        const int signedArc = BlockedArcs[i];
        const int a = std::abs(signedArc);
        const int begin = c_.BranchBeginNode[a], end = c_.BranchEndNode[a];
        ArcSlack = kNoSlack;
        if (signedArc > 0) {
            c_.PressureBase1[a] += MinSlack;
            c_.PressureBase2[a] -= MinSlack;
            ForwardArcSlack(a);
            if (ArcSlack >= pt) continue;
            if (label[end] == 0) {
                LabelNode(begin, end, a);
            } else if (label[begin] == 0) {
                LabelNode(end, begin, a);
            } else if (label[begin] + label[end] == kBothLabels) {
                MeetTargetNode = end;
                MeetSourceNode = begin;
                MeetArc = a;
                c_.SearchResult = 1;
            }
        } else {
            c_.PressureBase1[a] -= MinSlack;
            c_.PressureBase2[a] += MinSlack;
            BackwardArcSlack(a);
            if (ArcSlack >= pt) continue;
            if (label[begin] == 0) {
                LabelNode(end, begin, -a);
            } else if (label[end] == 0) {
                LabelNode(begin, end, -a);
            } else if (label[begin] + label[end] == kBothLabels) {
                MeetTargetNode = begin;
                MeetSourceNode = end;
                MeetArc = -a;
                c_.SearchResult = 1;
            }
        }
    }
}

// How far the pressure bases must move before a blocked forward arc opens.
void TFlowSolver::ForwardArcSlack(int a) {
    const double s = c_.CurrentStep, t = p_.SearchFlowTol;
    const double q = c_.BranchFlow[a];
    const double b1 = c_.PressureBase1[a], b2 = c_.PressureBase2[a];
    const double lo = c_.FlowLowerBound[a], hi = c_.FlowUpperBound[a];
    const bool current = a == c_.CurrentBranch;
    if (q + t >= hi && c_.RegulatorResistance[a] <= t) return;
    const int kind = c_.BranchCalcKind[a];
    if (kind == 1 || (kind == 2 && q - t <= lo)) {
        ArcSlack = current ? -b1 - F(a, q - s) : -b1 - F(a, q + s);
    } else if (kind == 2) {
        ArcSlack = -b1;
    } else if (q >= -t) {
        if (hi <= q + t)
            ArcSlack = current && q - t <= hi ? -b1 : D(a, q + s) - b1;
        else
            ArcSlack = -b1;
    } else {
        ArcSlack = lo < q + t || -q < s ? b2 : b2 - D(a, q);
    }
}

// The same for a blocked backward arc.
void TFlowSolver::BackwardArcSlack(int a) {
    const double s = c_.CurrentStep, t = p_.SearchFlowTol;
    const double q = c_.BranchFlow[a];
    const double b1 = c_.PressureBase1[a], b2 = c_.PressureBase2[a];
    const double lo = c_.FlowLowerBound[a], hi = c_.FlowUpperBound[a];
    const bool current = a == c_.CurrentBranch;
    const int kind = c_.BranchCalcKind[a];
    if (!(q - t > lo || kind > 0)) return;
    if (kind == 0) {
        if (q <= t)
            ArcSlack = -b2;
        else if (q + t < hi || q < s)
            ArcSlack = b1;
        else if (q - t > hi)
            ArcSlack = b1;
        else
            ArcSlack = current ? b1 - D(a, q) : b1;
        return;
    }
    if (!p_.SlackBelowStep && q < s) return;
    ArcSlack = current ? F(a, q + s) + b1 : F(a, q - s) + b1;
}

// The state of a labelling that found no arc to open, for the engineer who
// has to find out why.
void TFlowSolver::WriteListing() {
    std::string& out = c_.SolverListing;
    if (p_.ListingHeader) out += std::string(p_.ListingHeader) + "\n";
    for (int i = 0; i < BlockedArcCount; ++i) {
        const int signedArc = BlockedArcs[i];
        const int a = std::abs(signedArc);
        const int begin = c_.BranchBeginNode[a], end = c_.BranchEndNode[a];
        out += "a=" + Int(signedArc, 5) + " i=" + Int(begin, 3) + " j=" + Int(end, 3) +
               " sp[i]=" + Int(c_.NodeLabel[begin], 1) + " sp[j]=" + Int(c_.NodeLabel[end], 1) +
               " f=" + Fixed(c_.BranchFlow[a], 7, 1) + " lo=" + Fixed(c_.FlowLowerBound[a], 7, 1) +
               "\n";
        out += " hi=" + Fixed(c_.FlowUpperBound[a], 7, 1) + " ndd=" + Int(c_.CurrentBranch, 5) +
               " c=" + Scientific(c_.PressureBase1[a]) + " c1=" + Scientific(c_.PressureBase2[a]) +
               "\n";
    }
    out += "*****\n";
    for (int i = 1; i <= FrontierCount; ++i) {
        const int link = c_.NodeWork[LabelFrontier[i]];
        const int a = std::abs(link);
        out += "a=" + Int(link, 5) + " i=" + Int(c_.BranchBeginNode[a], 3) +
               " j=" + Int(c_.BranchEndNode[a], 3) + " f=" + Fixed(c_.BranchFlow[a], 7, 1) + "\n";
    }
}

} // namespace arv
