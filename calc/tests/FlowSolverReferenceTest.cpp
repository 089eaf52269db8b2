// The solver against its frozen reference copy: on random networks, with
// random profiles, accuracies and the states the optimal distribution leaves
// behind, both must leave the context in exactly the same state, bit for bit,
// and show the same messages. ARVALEN_REFERENCE_RUNS sets the number of runs
// (200 by default).
#include "calc/engine/FlowSolver.h"

#include "calc/engine/NetworkPreparation.h"
#include "calc/testing/NetworkBuilder.h"
#include "calc/testing/ReferenceFlowSolver.h"
#include "calc/testing/SyntheticMine.h"

#include "platform/Cp1251.h"
#include "platform/testing/ScriptedServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace arv;

namespace {

// Everything the solver may change, with doubles kept as their bits.
struct TSnapshot {
    std::vector<double> flow, base1, base2;
    std::vector<int32_t> label, work;
    double increment = 0, step = 0, fanPressure = 0;
    int currentBranch = 0, searchResult = 0, failed = 0;
    std::string listing;
    std::vector<std::string> messages;
};

TSnapshot Take(const TCalcContext& c, const test::TScriptedMessages& shown) {
    TSnapshot s{c.BranchFlow,    c.PressureBase1, c.PressureBase2, c.NodeLabel,
                c.NodeWork,      c.FlowIncrement, c.CurrentStep,   c.LastFanPressure,
                c.CurrentBranch, c.SearchResult,  c.SolverFailed,  c.SolverListing};
    for (const auto& m : shown.Shown()) s.messages.push_back(m.text);
    return s;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b, int& where) {
    if (a.size() != b.size()) return where = -1, false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::memcmp(&a[i], &b[i], sizeof(double)) != 0)
            return where = static_cast<int>(i), false;
    return true;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string Hex(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%a", v);
    return text;
}

// Names the first difference, or returns "".
std::string Difference(const TSnapshot& want, const TSnapshot& got) {
    int i = 0;
    auto at = [&](const char* what) { return std::string(what) + " [" + std::to_string(i) + "]"; };
    if (!SameBits(want.flow, got.flow, i))
        return at("BranchFlow") + ": " + Hex(want.flow[i]) + " against " + Hex(got.flow[i]);
    if (!SameBits(want.base1, got.base1, i)) return at("PressureBase1");
    if (!SameBits(want.base2, got.base2, i)) return at("PressureBase2");
    if (want.label != got.label) return "NodeLabel";
    if (want.work != got.work) return "NodeWork";
    if (!SameBits(want.increment, got.increment)) return "FlowIncrement";
    if (!SameBits(want.step, got.step)) return "CurrentStep";
    if (!SameBits(want.fanPressure, got.fanPressure)) return "LastFanPressure";
    if (want.currentBranch != got.currentBranch) return "CurrentBranch";
    if (want.searchResult != got.searchResult) return "SearchResult";
    if (want.failed != got.failed) return "SolverFailed";
    if (want.listing != got.listing)
        return "SolverListing:\n" + Cp1251ToUtf8(want.listing) + "against\n" +
               Cp1251ToUtf8(got.listing);
    if (want.messages != got.messages) return "messages";
    return "";
}

// One random case: the network, the profile and what the caller left in the
// context before the solve.
struct TCase {
    test::TSyntheticMineOptions mine;
    TSolverProfile profile;
    char accuracy = 'S';
    int optimalIteration = 0, optimalStage = 0;
    int boundedBranches = 0;
    double draught = 0;
    uint64_t seed = 0;
    std::string Describe() const {
        return "mine seed " + std::to_string(mine.Seed) + " " + std::to_string(mine.Levels) + "x" +
               std::to_string(mine.Width) + "x" + std::to_string(mine.Depth) + ", profile " +
               (profile.FanCodesApart ? "A" : "B") + " limit " +
               std::to_string(profile.AttemptLimit) + ", accuracy " + accuracy +
               ", optimal iteration " + std::to_string(optimalIteration) + " stage " +
               std::to_string(optimalStage) + ", bounded " + std::to_string(boundedBranches) +
               ", draught " + std::to_string(draught);
    }
};

TCase RandomCase(std::mt19937_64& rnd) {
    auto below = [&](int n) { return static_cast<int>(rnd() % static_cast<uint64_t>(n)); };
    auto unit = [&] { return static_cast<double>(rnd() >> 11) * 0x1.0p-53; };
    TCase k;
    k.seed = rnd();
    k.mine.Seed = rnd();
    k.mine.Levels = 1 + below(3);
    k.mine.Width = 3 + below(8);
    k.mine.Depth = 3 + below(6);
    k.mine.KeepFraction = 0.1 + 0.7 * unit();
    k.mine.TwinFraction = 0.1 * unit();
    k.mine.DiagonalFraction = 0.1 * unit();
    k.mine.IntakeShafts = 1 + below(4);
    k.mine.Fans = 1 + below(3);
    k.mine.Consumers = below(4);
    k.mine.Regulators = below(4);
    k.mine.NaturalDraught = below(3) != 0;
    // A draught against the air makes its shaft a reversed fan.
    k.draught = below(2) ? 8.5 : -(1 + 20 * unit());
    k.profile = below(2) ? SolverProfileA : SolverProfileB;
    k.accuracy = below(2) ? 'D' : 'S';
    // Low attempt caps end branches early and often.
    if (below(3) == 0) k.profile.AttemptLimit = 1 + below(40);
    if (below(4) == 0) k.optimalIteration = 3;
    if (below(3) == 0) {
        k.optimalStage = 1 + below(2);
        k.boundedBranches = 1 + below(6);
        // Bounds the air cannot meet keep a branch labelling to the cap.
        k.profile.AttemptLimit = std::min(k.profile.AttemptLimit, 200);
    }
    return k;
}

// Solves one case with both solvers; "" when they agree.
std::string Compare(const TCase& k) {
    TCalcContext c;
    TNetworkTables t{c};
    test::BuildSyntheticMine(t, k.mine);
    for (int row = 1; row < t.TablDan.RowCount(); ++row)
        if (t.TablDan.Cells(3, row) == Ru("ЕТ"))
            t.TablDan.SetCells(18, row, test::CellText(k.draught));
    c.CalcOptions[1] = k.accuracy;
    test::TScriptedMessages messages;
    messages.AllowAny();
    PrepareNetwork(t, c);
    if (c.CalcErrorFlag) return "preparation failed";
    c.OptimalIteration = k.optimalIteration;
    c.OptimalStage = k.optimalStage;
    std::mt19937_64 rnd(k.seed);
    for (int i = 0; i < k.boundedBranches; ++i) {
        const int n = c.BranchWorkList[1 + static_cast<int>(rnd() % c.BranchWorkCount)];
        const double bound = static_cast<double>(rnd() % 400) / 10;
        if (rnd() % 2)
            c.FlowUpperBound[n] = bound;
        else
            c.FlowLowerBound[n] = bound;
        c.PressureBase1[n] = static_cast<double>(rnd() % 200) / 10 - 10;
    }
    const TCalcContext start = c;
    test::SolveArcFlowsReference(c, k.profile);
    const TSnapshot want = Take(c, messages);
    c = start;
    messages.Clear();
    SolveArcFlows(c, k.profile);
    return Difference(want, Take(c, messages));
}

TEST(FlowSolverReference, RandomRunsGiveTheReferenceStateBitForBit) {
    int runs = 200;
    if (const char* text = std::getenv("ARVALEN_REFERENCE_RUNS")) runs = std::atoi(text);
    std::mt19937_64 rnd(20261209);
    int failures = 0;
    for (int run = 0; run < runs && failures < 5; ++run) {
        const TCase k = RandomCase(rnd);
        const std::string difference = Compare(k);
        if (!difference.empty()) {
            ++failures;
            ADD_FAILURE() << "run " << run << " (" << k.Describe() << "): " << difference;
        }
    }
}

// A message box that starts another solve while it is open, as a user could
// from a window that stays live behind it.
struct TNestedSolve : IMessageService {
    std::function<void()> onMessage;
    int shown = 0;
    int MessageBox(const TMessageRequest&) override {
        ++shown;
        if (onMessage) onMessage();
        return mrCancel;
    }
    bool InputQuery(std::string_view, std::string_view, std::string&) override { return false; }
};

//  (1)~~fan 1~~(2)--2, held at 0 m3/s--(3)~~
// The labelling sticks in every stage and says so; each message starts a
// solve of a generated mine. Both must come out as they do alone.
TEST(FlowSolverReference, SolveStartedFromAMessageOfAnotherLeavesBothIntact) {
    TCalcContext outer, inner;
    TNetworkTables outerTables{outer}, innerTables{inner};
    {
        test::TNetworkBuilder b(outerTables);
        b.Branch(1, 1, 2, 0, "В");
        b.Fan(1, -0.01, 0, 200);
        b.Branch(2, 2, 3, 0.1);
        b.Surface({1, 3});
    }
    test::TSyntheticMineOptions small;
    small.Levels = 2;
    small.Width = 8;
    small.Depth = 6;
    test::BuildSyntheticMine(innerTables, small);
    inner.CalcOptions[1] = 'D';
    auto prepareOuter = [&] {
        PrepareNetwork(outerTables, outer);
        outer.FlowUpperBound[2] = 0;
        outer.PressureBase1[2] = -5;
        outer.OptimalStage = 2;
    };

    // Alone.
    TNestedSolve alone;
    InstallMessageService(&alone);
    prepareOuter();
    test::SolveArcFlowsReference(outer, SolverProfileB);
    const std::vector<double> outerFlows = outer.BranchFlow, outerBases = outer.PressureBase1;
    const std::string outerListing = outer.SolverListing;
    PrepareNetwork(innerTables, inner);
    SolveArcFlowsB(inner);
    const std::vector<double> innerFlows = inner.BranchFlow;

    // Nested.
    TNestedSolve nested;
    int innerRuns = 0;
    nested.onMessage = [&] {
        PrepareNetwork(innerTables, inner);
        SolveArcFlowsB(inner);
        innerRuns += inner.BranchFlow == innerFlows ? 1 : 0;
    };
    InstallMessageService(&nested);
    prepareOuter();
    SolveArcFlowsB(outer);
    InstallMessageService(nullptr);
    EXPECT_EQ(7, nested.shown);
    EXPECT_EQ(7, innerRuns);
    EXPECT_EQ(outerFlows, outer.BranchFlow);
    EXPECT_EQ(outerBases, outer.PressureBase1);
    EXPECT_EQ(outerListing, outer.SolverListing);
}

} // namespace
