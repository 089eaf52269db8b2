// The labelling of the solver: the two sides grow from the ends of the branch
// under test through admissible arcs until they meet, directly or through the
// surface; a stuck labelling moves the pressure bases of its border.
#include "calc/model/BranchTypes.h"
#include "calc/engine/FlowSolverState.h"
#include "calc/engine/NetworkPreparation.h"

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

// Could a push raise the flow of ordinary branch a (not the one under test)?
bool TFlowSolver::ForwardOpen(int a) const {
    const TBranch& x = br_[a];
    const double s = c_.CurrentStep, t = p_.SearchFlowTol, pt = p_.SearchPressureTol;
    const double q = x.Q;
    if (c_.OptimalStage == 1 && q + t > x.Hi) return false;
    if (q >= x.Hi) return D(a, q + s) <= x.B1 + pt;
    if (q < -t) return x.B2 <= pt || (q + t <= x.Lo && -q >= s && D(a, q) >= x.B2 - pt);
    return x.B1 >= -pt || q + t <= x.Lo;
}

// Could a push lower it?
bool TFlowSolver::BackwardOpen(int a) const {
    const TBranch& x = br_[a];
    const double s = c_.CurrentStep, t = p_.SearchFlowTol, pt = p_.SearchPressureTol;
    const double q = x.Q;
    if (q - t < x.Lo) return false;
    if (q <= t) return x.B2 >= -pt;
    return x.B1 <= pt || (q - t >= x.Hi && q >= s && D(a, q) >= x.B1 - pt);
}

// The forward test of a pressure source (kind 1) or a managed fan (kind 2).
TFlowSolver::TArc TFlowSolver::ForwardSourceArc(int a) {
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

TFlowSolver::TArc TFlowSolver::BackwardSourceArc(int a) {
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

void TFlowSolver::Refresh(int a) {
    if (br_[a].Kind != 0) {
        open_[a] = kPressureSource;
        return;
    }
    const uint8_t slacks = open_[a] & (kForwardSlackStale | kBackwardSlackStale);
    open_[a] = static_cast<uint8_t>((ForwardOpen(a) ? kForwardOpen : 0) |
                                    (BackwardOpen(a) ? kBackwardOpen : 0) | slacks);
}

// A new stage: the step changed, so every cached test and slack.
void TFlowSolver::RefreshAll() {
    for (int a = 0; a <= MaxBranchCount; ++a) {
        open_[a] = kForwardSlackStale | kBackwardSlackStale;
        Refresh(a);
    }
}

// A side that reaches the surface meets the other side there when the other
// side has reached it too; otherwise it stops growing.
int TFlowSolver::JoinThroughSurface(int n) {
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
inline int TFlowSolver::StepAcrossArc(int signedArc, int far) {
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
int TFlowSolver::LabelSearch() {
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
int TFlowSolver::StuckFrontier() {
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

void TFlowSolver::ChangePotentials() {
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

double TFlowSolver::ForwardArcSlack(int a) {
    const bool current = a == c_.CurrentBranch;
    if (current || open_[a] & kPressureSource) return ForwardSlackOf(a, current);
    if (open_[a] & kForwardSlackStale) {
        slack_[a].Forward = ForwardSlackOf(a, false);
        open_[a] &= ~kForwardSlackStale;
    }
    return slack_[a].Forward;
}

double TFlowSolver::BackwardArcSlack(int a) {
    const bool current = a == c_.CurrentBranch;
    if (current || open_[a] & kPressureSource) return BackwardSlackOf(a, current);
    if (open_[a] & kBackwardSlackStale) {
        slack_[a].Backward = BackwardSlackOf(a, false);
        open_[a] &= ~kBackwardSlackStale;
    }
    return slack_[a].Backward;
}

// How far the pressure bases must move before a blocked forward arc opens.
double TFlowSolver::ForwardSlackOf(int a, bool current) {
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
double TFlowSolver::BackwardSlackOf(int a, bool current) {
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
void TFlowSolver::WriteListing() {
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

} // namespace arv
