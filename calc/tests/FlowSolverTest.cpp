#include "calc/engine/FlowSolver.h"

#include "calc/engine/NetworkPreparation.h"
#include "calc/testing/FlowResiduals.h"
#include "calc/testing/NetworkBuilder.h"
#include "calc/testing/SyntheticMine.h"

#include "platform/Cp1251.h"
#include "platform/testing/ScriptedServices.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace arv;
using arv::test::CheckFlows;
using arv::test::TFlowResiduals;
using arv::test::TNetworkBuilder;
using arv::test::TScriptedMessages;

namespace {

struct TRun {
    const char* name;
    const TSolverProfile* profile;
    char accuracy;
    double finalStep; // step of the last stage
    double quantum;   // the least flow a push of the last stage moves
};

const TRun kRuns[] = {
    {"A coarse", &SolverProfileA, 'D', 0.1, 0.1},
    {"A fine", &SolverProfileA, 'S', 0.001, 0.01},
    {"B coarse", &SolverProfileB, 'D', 0.1, 0.1},
    {"B fine", &SolverProfileB, 'S', 0.01, 0.01},
};

struct SolverTest : ::testing::Test {
    TCalcContext c;
    TNetworkTables t{c};
    TNetworkBuilder b{t};
    TScriptedMessages messages;

    //  (1)~~1 shaft 0.005~~(2)==2 0.05==(3)--4 0.02--(4)--5 fan--(5)~~
    //  surface                ==3 0.1 ==                   surface
    // Fan H = 200 - 0.01 Q^2.
    void BuildFanCircuit() {
        b.Branch(1, 1, 2, 0.005);
        b.Branch(2, 2, 3, 0.05);
        b.Branch(3, 2, 3, 0.1);
        b.Branch(4, 3, 4, 0.02);
        b.Branch(5, 4, 5, 0, "В");
        b.Fan(5, -0.01, 0, 200);
        b.Surface({1, 5});
    }

    void Solve(const TRun& run) {
        c.CalcOptions[1] = run.accuracy;
        PrepareNetwork(t, c);
        ASSERT_EQ(0, c.CalcErrorFlag);
        SolveArcFlows(c, *run.profile);
    }

    // Air is conserved exactly and every mesh balances within the pushes of
    // the last stage.
    void ExpectBalanced(const TRun& run) {
        TFlowResiduals r = CheckFlows(c);
        EXPECT_LT(r.MaxNodeImbalance, 1e-9) << "node " << r.WorstNode;
        EXPECT_LE(r.MaxMeshFlowError, 1.5 * run.quantum)
            << "mesh of branch " << r.WorstFlowErrorBranch;
    }
};

// Resistance of two branches in parallel.
double Parallel(double r1, double r2) {
    double g = 1 / std::sqrt(r1) + 1 / std::sqrt(r2);
    return 1 / (g * g);
}

TEST_F(SolverTest, FanCircuitMatchesTheClosedForm) {
    BuildFanCircuit();
    // 200 - 0.01 Q^2 = (0.005 + Rp + 0.02) Q^2
    const double rp = Parallel(0.05, 0.1);
    const double q = std::sqrt(200 / (0.01 + 0.005 + rp + 0.02));
    ASSERT_NEAR(61.92, q, 0.005);
    const double q2 = q * std::sqrt(rp / 0.05), q3 = q * std::sqrt(rp / 0.1);
    ASSERT_NEAR(36.27, q2, 0.005);
    ASSERT_NEAR(25.65, q3, 0.005);
    for (const TRun& run : kRuns) {
        SCOPED_TRACE(run.name);
        Solve(run);
        EXPECT_NEAR(q, c.BranchFlow[5], run.quantum);
        EXPECT_NEAR(q2, c.BranchFlow[2], run.quantum);
        EXPECT_NEAR(q3, c.BranchFlow[3], run.quantum);
        ExpectBalanced(run);
        // 'D' stops after stage 7; otherwise A goes to stage 9, B to 8.
        EXPECT_EQ(run.finalStep, c.CurrentStep);
    }
}

TEST_F(SolverTest, NaturalDraughtInSeriesWithTheFan) {
    BuildFanCircuit();
    const double rTotal = 0.005 + Parallel(0.05, 0.1) + 0.02;
    // The draught sits in the shaft's place: a source in series.
    t.TablDan.SetCells(3, 2, Ru("ЕТ"));
    for (double draught : {20.0, -20.0}) {
        t.TablDan.SetCells(4, 2, "0");
        t.TablDan.SetCells(18, 2, draught > 0 ? "20" : "-20");
        // The shaft's resistance moves to the branch after the fan's circuit.
        t.TablDan.SetCells(4, 5, "0,025");
        const double q = std::sqrt((200 + draught) / (0.01 + rTotal));
        for (const TRun& run : kRuns) {
            SCOPED_TRACE(std::string(run.name) + (draught > 0 ? " +20" : " -20"));
            Solve(run);
            EXPECT_EQ(draught > 0 ? "\xC2" : "\xC2\xD0", c.BranchKindCode[1]);
            EXPECT_NEAR(q, c.BranchFlow[1], run.quantum);
            EXPECT_NEAR(q, c.BranchFlow[5], run.quantum);
            ExpectBalanced(run);
        }
    }
}

TEST_F(SolverTest, FixedFlowBranchReachesItsFlowExactly) {
    BuildFanCircuit();
    t.TablDan.SetCells(3, 4, "="); // branch 3, beside branch 2
    t.TablDan.SetCells(10, 4, "20");
    // 200 - 0.01 Q^2 = 0.025 Q^2 + 0.05 (Q - 20)^2, the regulator taking the rest
    const double q = (2 + std::sqrt(4 + 4 * 0.085 * 180)) / (2 * 0.085);
    for (const TRun& run : kRuns) {
        SCOPED_TRACE(run.name);
        Solve(run);
        EXPECT_EQ(20.0, c.BranchFlow[3]);
        EXPECT_NEAR(q, c.BranchFlow[5], run.quantum);
        EXPECT_NEAR(q - 20, c.BranchFlow[2], run.quantum);
        ExpectBalanced(run);
        // The consumer's drop needs a regulator: its pressure surplus.
        EXPECT_GT(c.PressureBase1[3], 0);
    }
}

TEST_F(SolverTest, BranchesBetweenSurfaceNodesCarryNothing) {
    BuildFanCircuit();
    b.Branch(6, 1, 5, 0.1);
    b.Branch(7, 5, 1, 0, "В"); // a fan blowing from the air into the air
    b.Fan(7, -0.01, 0, 100);
    for (const TRun& run : kRuns) {
        SCOPED_TRACE(run.name);
        Solve(run);
        EXPECT_EQ(0, c.BranchFlow[6]);
        EXPECT_EQ(0, c.BranchFlow[7]);
        EXPECT_NEAR(std::sqrt(200 / (0.035 + Parallel(0.05, 0.1))), c.BranchFlow[5], run.quantum);
        ExpectBalanced(run);
    }
}

//  (1)~~fan 1, H = 1000~~(2)--2 consumer 8000 m3/s--(3)--3--(4)~~
TEST_F(SolverTest, StagesStartLaterInLaterOptimalPasses) {
    b.Branch(1, 1, 2, 0, "В");
    b.Fan(1, 0, 0, 1000);
    int consumer = b.Branch(2, 2, 3, 0, "=");
    b.BranchCell(consumer, 10, "8000");
    b.Branch(3, 3, 4, 1e-9);
    b.Surface({1, 4});
    // From stage 1 the fan brings the air in 500 pushes of 16 m3/s.
    Solve(kRuns[0]);
    EXPECT_EQ(8000, c.BranchFlow[2]);
    EXPECT_EQ("", c.SolverListing);

    // From stage 3 the pushes are 4 m3/s and the fan gives up after 1000.
    PrepareNetwork(t, c);
    c.OptimalIteration = 3;
    SolveArcFlowsA(c);
    EXPECT_EQ(8000, c.BranchFlow[2]);
    EXPECT_EQ("Превышено число попыток: ветвь 1, этап 3",
              Cp1251ToUtf8(c.SolverListing.substr(0, c.SolverListing.find('\n'))));

    // Profile B has its own limit; a lower one shows how it ends a branch.
    EXPECT_EQ(100000, SolverProfileB.AttemptLimit);
    TSolverProfile capped = SolverProfileB;
    capped.AttemptLimit = 50;
    PrepareNetwork(t, c);
    SolveArcFlows(c, capped);
    EXPECT_EQ("Превышено число попыток: ветвь 1, этап 1",
              Cp1251ToUtf8(c.SolverListing.substr(0, c.SolverListing.find('\n'))));
    // 50 pushes of the fan and 50 of the consumer in each stage.
    EXPECT_NEAR(100 * (16 + 8 + 4 + 2 + 1 + 0.5 + 0.1), c.BranchFlow[2], 1e-6);
}

//  (1)~~fan 1, H = 1~~(2)--2 consumer 0.005 m3/s--(3)--3--(4)~~
TEST_F(SolverTest, ProfileAPushesAtLeastOneHundredthInTheLastStage) {
    b.Branch(1, 1, 2, 0, "В");
    b.Fan(1, 0, 0, 1);
    int consumer = b.Branch(2, 2, 3, 0, "=");
    b.BranchCell(consumer, 10, "0,005");
    b.Branch(3, 3, 4, 0.1);
    b.Surface({1, 4});
    Solve(kRuns[3]);
    EXPECT_NEAR(0.005, c.BranchFlow[2], 1e-12);
    // Profile A cannot move less than 0.01 m3/s: it overshoots and back.
    Solve(kRuns[1]);
    EXPECT_TRUE(c.BranchFlow[2] == 0 || c.BranchFlow[2] == 0.01) << c.BranchFlow[2];
}

TEST_F(SolverTest, FirstOptimalStageKeepsFlowsBelowTheirBounds) {
    BuildFanCircuit();
    for (int stage : {0, 1}) {
        SCOPED_TRACE(stage);
        PrepareNetwork(t, c);
        c.FlowUpperBound[2] = 30;
        c.OptimalStage = stage;
        SolveArcFlowsB(c);
        if (stage == 1)
            EXPECT_LE(c.BranchFlow[2], 30);
        else
            EXPECT_GT(c.BranchFlow[2], 36);
        EXPECT_LT(CheckFlows(c).MaxNodeImbalance, 1e-9);
    }
}

//  (1)~~fan 1~~(2)--2, held at 0 m3/s--(3)~~
TEST_F(SolverTest, SecondOptimalStageListsTheStuckLabelling) {
    b.Branch(1, 1, 2, 0, "В");
    b.Fan(1, -0.01, 0, 200);
    b.Branch(2, 2, 3, 0.1);
    b.Surface({1, 3});
    PrepareNetwork(t, c);
    c.FlowUpperBound[2] = 0;
    c.PressureBase1[2] = -5;
    c.OptimalStage = 2;
    for (int stage = 1; stage <= 7; ++stage) messages.Expect(mrCancel, "Неопределенная ошибка");
    SolveArcFlowsB(c);
    // Each stage lists it once and leaves the fan as it is.
    const std::string block = "===========\n"
                              "a=   -1 i=  1 j=  2 sp[i]=51 sp[j]=1 f=    0.0 lo=-100000.0\n"
                              " hi=100000.0 ndd=    1 c= 0.00000000000000E+0000 c1= "
                              "0.00000000000000E+0000\n"
                              "a=    2 i=  2 j=  3 sp[i]=1 sp[j]=0 f=    0.0 lo=-100000.0\n"
                              " hi=    0.0 ndd=    1 c=-5.00000000000000E+0000 c1= "
                              "0.00000000000000E+0000\n"
                              "*****\n"
                              "a=    1 i=  1 j=  2 f=    0.0\n";
    std::string all;
    for (int stage = 1; stage <= 7; ++stage) all += block;
    EXPECT_EQ(all, c.SolverListing);
    EXPECT_EQ(0, c.BranchFlow[1]);
    EXPECT_EQ(TMsgButtons::Cancel, messages.Shown()[0].buttons);

    // Profile A also weighs a fan below one step: lowering the fan's
    // pressure base opens the fan itself, and nothing is listed.
    c.PressureBase1[2] = -5;
    SolveArcFlowsA(c);
    EXPECT_EQ("", c.SolverListing);
    EXPECT_NEAR(-c.FanPressureAtFlow(1, 16), c.PressureBase1[1], 1e-9);
}

TEST_F(SolverTest, GeneratedMineBalancesInEveryRun) {
    test::TSyntheticMineOptions small;
    small.Levels = 2;
    small.Width = 10;
    small.Depth = 8;
    small.IntakeShafts = 3;
    small.Fans = 2;
    test::TSyntheticMine mine = test::BuildSyntheticMine(t, small);
    ASSERT_GT(mine.Branches, 200);
    for (const TRun& run : kRuns) {
        SCOPED_TRACE(run.name);
        Solve(run);
        ExpectBalanced(run);
        // The fans work forward, against their curves.
        for (int n = 1; n <= mine.Branches; ++n)
            if (c.BranchCalcKind[n] == 1 && c.BranchKindCode[n] == "\xC2" && c.FanCoefA[n] != 0) {
                EXPECT_GT(c.BranchFlow[n], 10) << n;
            }
    }
}

} // namespace
