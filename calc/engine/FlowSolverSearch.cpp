// The labelling of the solver: the two sides grow from the ends of the branch
// under test through admissible arcs until they meet, directly or through the
// surface; a stuck labelling moves the pressure bases of its border.
#include "calc/engine/FlowSolverState.h"
#include "calc/engine/NetworkPreparation.h"
#include "calc/model/BranchTypes.h"

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
        open_[a] = static_cast<uint8_t>(kPressureSource | (open_[a] & kUnderTest));
        return;
    }
    const uint8_t slacks = open_[a] & (kForwardSlackStale | kBackwardSlackStale | kUnderTest);
    open_[a] = static_cast<uint8_t>((ForwardOpen(a) ? kForwardOpen : 0) |
                                    (BackwardOpen(a) ? kBackwardOpen : 0) | slacks);
}

// A new stage: the step changed, so every cached test and slack.
void TFlowSolver::RefreshAll() {
    for (int a : buf_.branches) {
        open_[a] = kForwardSlackStale | kBackwardSlackStale;
        Refresh(a);
    }
}

// A side that reaches the surface meets the other side there when the other
// side has reached it too; otherwise it stops growing.
int TFlowSolver::JoinThroughSurface(int n) {
    if (!IsSurface(n)) return 0;
    const int label = label_[n];
    for (int j : buf_.surfaceNodes) {
        if (label + label_[j] != kBothLabels) continue;
        MeetArc = 0;
        MeetTargetNode = label == kTargetLabel ? n : j;
        MeetSourceNode = label == kTargetLabel ? j : n;
        return 1;
    }
    int kept = 0;
    for (int i = 1; i <= FrontierCount; ++i) {
        int node = LabelFrontier[i];
        if (label_[node] != label)
            LabelFrontier[++kept] = node;
        else
            labelled_[labelledCount_++] = node;
    }
    FrontierCount = kept;
    OneSidedSearch = 1;
    return -1;
}

// Result 0: go on scanning from FrontierNode; 1: the sides met (or the branch
// is left for the stage); -1: restart the scan at the first frontier node.
//
// Cost: this loop runs for every arc at every labelled node. In a fresh
// labelling whether an arc leads out of its side, and whether it is open, is
// anybody's guess, so the branchless scan handles the common arc (an
// ordinary branch with fresh cached tests) without a branch on either: it is
// written to the blocked list and the labels every time, with masks and
// counts deciding what stays; each node's arcs are padded to a multiple of
// four with arcs to itself (always inside the side), so the loop runs a
// predictable number of times. A small labelling is short and tends to be
// retraced by the next attempt, so it is predicted well and the plain scan
// with its early exits is faster. Only meetings, the surface, sources and the branch under test
// take a branch in both. The counters live in locals: the byte labels may alias anything.
template <bool Branchless> int TFlowSolver::ScanFrontier() {
    const TIncidence* const incident = incident_;
    const int* const start = padStart_;
    const int* const realEnd = realEnd_;
    int8_t* const label = label_;
    uint8_t* const open = open_;
    int* const link = link_;
    int* const frontier = LabelFrontier;
    const uint8_t* const surface = surface_;
    int scan = FrontierScanIndex, count = FrontierCount, node = FrontierNode;
    int blockedCount = BlockedArcCount;
    int* blocked = BlockedArcs;
    auto save = [&] {
        FrontierScanIndex = scan;
        FrontierCount = count;
        FrontierNode = node;
        BlockedArcCount = blockedCount;
    };
    while (scan <= count) {
        const int side = label[node];
        const int source = side == kSourceLabel ? 1 : 0;
        const int first = start[node], last = Branchless ? start[node + 1] : realEnd[node];
        if (blockedCount + (last - first) >= BlockedArcCapacity) [[unlikely]] {
            GrowBlockedArcs();
            blocked = BlockedArcs;
        }
        for (int p = first; p < last; ++p) {
            const TIncidence e = incident[p];
            const int far = e.Far;
            const int farLabel = label[far];
            if constexpr (!Branchless)
                if (farLabel == side) continue;
            const int a = e.BranchAndBegins >> 1;
            // Forward: the push would raise the arc's flow (away from the
            // source side, towards the target side).
            const int backward = (e.BranchAndBegins & 1) ^ source;
            // Refreshing the cache has no other effect, so it need not wait
            // for the arc to prove useful.
            int tests = open[a];
            if (tests & kTestsStale) [[unlikely]] {
                Refresh(a);
                tests = open[a];
            }
            int admissible = (tests >> backward) & 1;
            if (tests & (kPressureSource | kUnderTest)) [[unlikely]] {
                if (farLabel == side) continue;
                if (tests & kUnderTest) {
                    admissible = 0;
                } else {
                    const TArc arc = backward ? BackwardSourceArc(a) : ForwardSourceArc(a);
                    if (arc == TArc::Ignored) continue;
                    admissible = arc == TArc::Admissible ? 1 : 0;
                }
            }
            const int signedArc = (a ^ -backward) + backward; // backward ? -a : a
            if constexpr (Branchless) {
                // Out of the side: towards an unlabelled node or the other side.
                const int out = farLabel != side ? 1 : 0;
                blocked[blockedCount] = signedArc;
                blockedCount += out & (admissible ^ 1);
                // Open towards the other side: one comparison, as a pair of
                // tests would branch on the far label.
                if (farLabel + (admissible << 7) == kBothLabels - side + 128) [[unlikely]] {
                    MeetArc = signedArc;
                    const bool frontierIsTarget = side == kTargetLabel;
                    MeetTargetNode = frontierIsTarget ? node : far;
                    MeetSourceNode = frontierIsTarget ? far : node;
                    save();
                    return 1;
                }
                const int grows = out & admissible;
                const int mask = -grows;
                label[far] = static_cast<int8_t>(farLabel ^ ((farLabel ^ side) & mask));
                const int oldLink = link[far];
                link[far] = oldLink ^ ((oldLink ^ signedArc) & mask);
                frontier[count + 1] = far;
                count += grows;
                if (grows & surface[far]) [[unlikely]] {
                    save();
                    return JoinThroughSurface(far);
                }
            } else {
                if (!admissible) {
                    blocked[blockedCount++] = signedArc;
                    continue;
                }
                if (farLabel != 0) {
                    MeetArc = signedArc;
                    const bool frontierIsTarget = side == kTargetLabel;
                    MeetTargetNode = frontierIsTarget ? node : far;
                    MeetSourceNode = frontierIsTarget ? far : node;
                    save();
                    return 1;
                }
                label[far] = static_cast<int8_t>(side);
                link[far] = signedArc;
                frontier[++count] = far;
                if (surface[far]) {
                    save();
                    return JoinThroughSurface(far);
                }
            }
        }
        ++scan;
        node = scan <= count ? frontier[scan] : 0;
    }
    save();
    return StuckFrontier();
}

template int TFlowSolver::ScanFrontier<true>();
template int TFlowSolver::ScanFrontier<false>();

// The scan ran past the frontier: open the blocked arc with the least slack by
// moving the pressure bases of the whole border.
int TFlowSolver::StuckFrontier() {
    const int8_t* const label = label_;
    const TEnds* const ends = ends_;
    int* const blocked = BlockedArcs;
    uint8_t* const bothSides = buf_.bothSides.data();
    // Arcs now inside one side leave the list, without a branch per arc.
    int kept = 0;
    for (int i = 0, count = BlockedArcCount; i < count; ++i) {
        const int signedArc = blocked[i];
        const int a = std::abs(signedArc);
        const int lb = label[ends[a].Begin], le = label[ends[a].End];
        const int sum = lb + le;
        blocked[kept] = signedArc;
        bothSides[kept] = sum == kBothLabels ? 1 : 0;
        kept += (lb != 0 && le != 0 && sum != kBothLabels) ? 0 : 1;
    }
    const bool halve = OneSidedSearch == 0;
    double minSlack = kNoSlack;
    int minSlackArc = 0;
    for (int i = 0; i < kept; ++i) {
        const int signedArc = blocked[i];
        const int a = std::abs(signedArc);
        const int backward = signedArc < 0 ? 1 : 0;
        double slack;
        // The usual case: an ordinary branch whose slack is cached and fresh.
        if ((open_[a] & (kPressureSource | kUnderTest | (kForwardSlackStale << backward))) == 0)
            slack = backward ? slack_[a].Backward : slack_[a].Forward;
        else
            slack = backward ? BackwardArcSlack(a) : ForwardArcSlack(a);
        // Such an arc is on the border of both sides and moves twice.
        if (bothSides[i] && halve) slack /= 2;
        if (slack < minSlack) {
            minSlack = slack;
            minSlackArc = signedArc;
        }
    }
    BlockedArcCount = kept;
    MinSlack = minSlack;
    MinSlackArc = minSlackArc;

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

// Every arc of the border moves by the least slack; those that open label
// their far node, or join the sides.
void TFlowSolver::ChangePotentials() {
    const double pt = p_.SearchPressureTol;
    const double shift = MinSlack;
    int8_t* const label = label_;
    uint8_t* const open = open_;
    const int* const blocked = BlockedArcs;
    for (int i = 0, count = BlockedArcCount; i < count; ++i) {
        const int signedArc = blocked[i];
        const int a = std::abs(signedArc);
        Remember(a);
        TBranch& x = br_[a];
        const int begin = x.Begin, end = x.End;
        // An ordinary branch: its tests and other slack go stale, the slack
        // at hand is cached fresh, as Touch and the arc slack would leave it.
        const bool ordinary = (open[a] & (kPressureSource | kUnderTest)) == 0;
        if (signedArc > 0) {
            x.B1 += shift;
            x.B2 -= shift;
            double arcSlack;
            if (ordinary) {
                arcSlack = slack_[a].Forward = OrdinaryForwardSlack(x);
                open[a] = (open[a] | kTestsStale | kBackwardSlackStale) & ~kForwardSlackStale;
            } else {
                Touch(a);
                arcSlack = ForwardArcSlack(a);
            }
            if (arcSlack >= pt) continue;
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
            x.B1 -= shift;
            x.B2 += shift;
            double arcSlack;
            if (ordinary) {
                arcSlack = slack_[a].Backward = OrdinaryBackwardSlack(x);
                open[a] = (open[a] | kTestsStale | kForwardSlackStale) & ~kBackwardSlackStale;
            } else {
                Touch(a);
                arcSlack = BackwardArcSlack(a);
            }
            if (arcSlack >= pt) continue;
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
