#include "calc/engine/FireAnalysis.h"
#include "calc/engine/NaturalDistribution.h"
#include "calc/engine/NetworkPreparation.h"
#include "calc/engine/StabilityAnalysis.h"
#include "calc/testing/NetworkBuilder.h"
#include "calc/window/CalcDialogs.h"

#include "ProgramFolder.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/testing/ScriptedServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace arv;
using arv::test::TScriptedMessages;

namespace {

std::string Utf8(const std::string& cp1251) {
    return Cp1251ToUtf8(cp1251);
}

// A network whose flows, velocities and lengths the test sets itself; the
// preparation only gives the work list and the incidence.
struct GivenFlows : ::testing::Test {
    test::TProgramFolder folder;
    TScriptedMessages messages;
    TCalcContext c;
    TNetworkTables t{c};
    test::TNetworkBuilder b{t};
    std::map<int, int> rowOf;

    GivenFlows() { c.CalcOptions.SetDefaults(); }

    // Flow (display unit), length, velocity, gas inflow (m3/min).
    void Add(int n, int from, int to, double q, double length = 0, double v = 0, double gas = 0,
             const char* type = "") {
        int r = b.Branch(n, from, to, 0.01, type);
        rowOf[n] = r;
        b.BranchCell(r, 12, FormatFloat("0.###", q));
        b.BranchCell(r, 5, FormatFloat("0.###", length));
        b.BranchCell(r, 13, FormatFloat("0.###", v));
        b.BranchCell(r, 16, FormatFloat("0.###", gas));
    }
    void Prepare(std::initializer_list<int> surface) {
        b.Surface(surface);
        c.CalcOptions[2] = 'E';
        PrepareNetwork(t, c);
        ASSERT_EQ(c.CalcErrorFlag, 0);
        // The flows of "the last calculation", in m3/s.
        for (auto [n, r] : rowOf)
            c.BranchFlow[n] = CellNumber(t.TablDan.Cells(12, r)) / c.CalcOptions.FlowUnit;
    }
    std::string Cell(int n, int col) const { return t.TablDan.Cells(col, rowOf.at(n)); }

    // Gas into and out of every node but the surface, m3/s.
    void ExpectGasConserved() {
        std::map<int, double> in, out;
        for (auto [n, r] : rowOf) {
            double q = c.BranchFlow[n];
            if (q == 0) continue;
            int from = q > 0 ? c.BranchBeginNode[n] : c.BranchEndNode[n];
            int to = q > 0 ? c.BranchEndNode[n] : c.BranchBeginNode[n];
            in[to] += c.BranchGasFlow[n];
            out[from] += c.BranchGasFlow[n] - c.BranchGasInflow[n] / 60;
        }
        for (auto [node, gas] : in) {
            if (!out.count(node)) continue;
            EXPECT_NEAR(gas, out[node], 1e-9) << "node " << node;
        }
    }
};

// Fire in 1 (1->2, 600 m at 2 m/s: 2.5 min to its middle). Node 3 is reached
// straight over 2 (1200 m at 4 m/s, 5 min) and over 4 (300 m at 1 m/s, 5 min,
// then 60 m at 1 m/s, 1 min): the straight way is faster, 7.5 min.
//
//   1 --(1 ПЖ)--> 2 --(2)--> 3 --(4)--> 5
//                  \         ^
//                  (3)      (5)
//                    \-> 4 -/
TEST_F(GivenFlows, SpreadTimesOnATreeAndAtANodeReachedTwice) {
    Add(1, 1, 2, 10, 600, 2, 0, "ПЖ");
    Add(2, 2, 3, 4, 1200, 4);
    Add(3, 2, 4, 6, 300, 1);
    Add(5, 4, 3, 6, 60, 1);
    Add(4, 3, 5, 10, 600, 5);
    Prepare({1, 5});
    ASSERT_TRUE(CalcFireBranch(t, c, t.TablDan));
    EXPECT_EQ(Cell(1, 19), "2,50"); // the middle of the fire branch reaches node 2
    EXPECT_EQ(Cell(2, 19), "2,50");
    EXPECT_EQ(Cell(3, 19), "2,50");
    EXPECT_EQ(Cell(5, 19), "7,50");
    EXPECT_EQ(Cell(4, 19), "7,50"); // min(2.5 + 5, 2.5 + 5 + 1)
    EXPECT_NEAR(c.NodeSmokeTime[5], 9.5, 1e-12);
    for (int n : {1, 2, 3, 4, 5}) EXPECT_EQ(c.SmokedBranchMark[n], n);
}

// The only way from the fire to the working 3 crosses the closed door 2,
// which carries no air: nothing gets there.
//
//   1 --(1 ПЖ)--> 2 --(2, door, 0 m3/s)--> 3 --(3)--> 4
//                 \--(4)--> 5
TEST_F(GivenFlows, StillAirCarriesNoFireProducts) {
    Add(1, 1, 2, 5, 600, 2, 0, "ПЖ");
    Add(2, 2, 3, 0, 10, 0);
    Add(3, 3, 4, 3, 600, 1);
    Add(4, 2, 5, 5, 120, 1);
    Prepare({1, 4, 5});
    ASSERT_TRUE(CalcFireBranch(t, c, t.TablDan));
    EXPECT_EQ(Cell(2, 19), "0,00");
    EXPECT_EQ(Cell(3, 19), "0,00");
    EXPECT_EQ(c.SmokedBranchMark[2], 0);
    EXPECT_EQ(c.SmokedBranchMark[3], 0);
    EXPECT_EQ(Cell(4, 19), "2,50");
    EXPECT_EQ(c.NodeSmokeTime[5], 4.5);
}

TEST_F(GivenFlows, SpreadTimesNeedExactlyOneFireAndReadFlowsInTheDisplayUnit) {
    c.CalcOptions.FlowUnit = 60;
    Add(1, 1, 2, 600, 100, 1);
    Add(2, 2, 3, -120, 100, 1);
    Prepare({1, 3});
    messages.Expect(mrCancel, "Ошибка: нет ветвей с ПЖ");
    EXPECT_FALSE(CalcFireBranch(t, c, t.TablDan));
    EXPECT_EQ(c.CalcErrorFlag, 1);
    EXPECT_EQ(c.BranchFlow[1], 10);
    EXPECT_EQ(c.BranchFlow[2], -2);
    t.TablDan.SetCells(3, rowOf[1], Ru("ПЖ"));
    t.TablDan.SetCells(3, rowOf[2], Ru(" П Ж"));
    messages.Expect(mrCancel, "Ошибка: больше одной ветви с ПЖ ");
    EXPECT_FALSE(CalcFireBranch(t, c, t.TablDan));
}

// Two sources mix at node 5:
//
//   1 --(1) 10--> 2 --(2) 4, +1.2 m3/min--> 3 --(4) 4--> 5 --(6) 10--> 6
//                  \--(3) 6--> 4 --(5) 6, +0.6 m3/min------^
//
// Branch 2 carries 0.02 m3/s in 4 (0.5 %), branch 5 0.01 in 6 (0.167 %),
// branch 6 both in 10 (0.3 %).
TEST_F(GivenFlows, GasMixesInProportionToTheFlows) {
    Add(1, 1, 2, 10);
    Add(2, 2, 3, 4, 0, 0, 1.2);
    Add(3, 2, 4, 6);
    Add(4, 3, 5, 4);
    Add(5, 4, 5, 6, 0, 0, 0.6);
    Add(6, 5, 6, 10);
    Prepare({1, 6});
    CalcConcentration(c, t.TablDan);
    EXPECT_EQ(Cell(1, 17), "0,000");
    EXPECT_EQ(Cell(2, 17), "0,500");
    EXPECT_EQ(Cell(3, 17), "0,000");
    EXPECT_EQ(Cell(4, 17), "0,500");
    EXPECT_EQ(Cell(5, 17), "0,167");
    EXPECT_EQ(Cell(6, 17), "0,300");
    EXPECT_NEAR(c.BranchGasFlow[6], 0.03, 1e-12);
    ExpectGasConserved();
}

// The sources add to 0.04 m3/s; the dead end 3 (no air) has its own 0.01,
// which stays where it is, and a branch reversed in the table (5) flows from
// its end to its begin node.
//
//   1 --(1) 10--> 2 --(2) 10, +2.4 m3/min--> 3 --(4) 10--> 4 <--(5) -10-- 6
//                                            \--(3) 0 m3/s, +0.6--> 7
TEST_F(GivenFlows, GasIsConservedPastADeadEndWhateverTheOrderOfTheWork) {
    Add(1, 1, 2, 10);
    Add(2, 2, 3, 10, 0, 0, 2.4);
    Add(3, 3, 7, 0, 0, 0, 0.6);
    Add(4, 3, 4, 10);
    Add(5, 6, 4, -10);
    Prepare({1, 6, 7});
    CalcConcentration(c, t.TablDan);
    EXPECT_NEAR(c.BranchGasFlow[4], 0.04, 1e-12);
    EXPECT_NEAR(c.BranchGasFlow[5], 0.04, 1e-12);
    EXPECT_EQ(Cell(3, 17), "0,000");
    EXPECT_EQ(Cell(4, 17), "0,400");
    ExpectGasConserved();

    std::vector<double> first = c.BranchGasFlow;
    std::reverse(c.BranchWorkList.begin() + 1, c.BranchWorkList.begin() + 1 + c.BranchWorkCount);
    CalcConcentration(c, t.TablDan);
    for (int n = 1; n <= 5; ++n) EXPECT_NEAR(c.BranchGasFlow[n], first[n], 1e-12) << n;
}

// Three streams meet at node 4 and leave it in one:
//
//   1 --(1) 0.1, +0.6 m3/min--> 4
//   2 --(2) 0.2, +0.6 m3/min--> 4 --(4) 0.6--> 5
//   3 --(3) 0.3, +1.5 m3/min--> 4
//
// 0.045 m3/s of gas in 0.6 m3/s: 7.5 % in branch 4. Each of the three adds
// the flows at node 4 in its own order, and the sums differ in the last bit
// (0.045 against 0.04499999999999999), so branch 4 never keeps one value:
// the passes stop once nothing moves by more than the last bits, in either
// order of the work list.
TEST_F(GivenFlows, GasPassesStopWhenOnlyTheLastBitsMove) {
    Add(1, 1, 4, 0.1, 0, 0, 0.6);
    Add(2, 2, 4, 0.2, 0, 0, 0.6);
    Add(3, 3, 4, 0.3, 0, 0, 1.5);
    Add(4, 4, 5, 0.6);
    Prepare({1, 2, 3, 5});
    ASSERT_EQ(c.BranchWorkCount, 4);
    EXPECT_EQ(CalcConcentration(c, t.TablDan), 2);
    EXPECT_EQ(Cell(1, 17), "10,000");
    EXPECT_EQ(Cell(2, 17), "5,000");
    EXPECT_EQ(Cell(3, 17), "8,333");
    EXPECT_EQ(Cell(4, 17), "7,500");
    EXPECT_NEAR(c.BranchGasFlow[4], 0.045, 1e-15);

    const std::vector<double> first = c.BranchGasConcentration;
    std::reverse(c.BranchWorkList.begin() + 1, c.BranchWorkList.begin() + 1 + c.BranchWorkCount);
    EXPECT_LE(CalcConcentration(c, t.TablDan), 3);
    for (int n = 1; n <= 4; ++n)
        EXPECT_NEAR(c.BranchGasConcentration[n], first[n], 1e-12 * first[n]) << n;
    ExpectGasConserved();
}

// Half the air of node 3 goes back to node 2, so the gas of branch 1 comes
// round again and again and the values approach their limit by halves; a
// chain of 40 workings carries the air away (and makes the pass cap 89):
//
//   1 --(1) 1, +0.6 m3/min--> 2 --(2) 2--> 3 --(3) 1--> 4 --(5..44) 1--> 44
//                             ^            |
//                             \---(4) 1----/
//
// 0.01 m3/s of gas leaves in 1 m3/s: 1 % everywhere. The passes stop on
// their own, close to that.
TEST_F(GivenFlows, RecirculatedGasEndsAtItsLimit) {
    Add(1, 1, 2, 1, 0, 0, 0.6);
    Add(2, 2, 3, 2);
    Add(3, 3, 4, 1);
    Add(4, 3, 2, 1);
    for (int n = 5; n <= 44; ++n) Add(n, n - 1, n, 1);
    Prepare({1, 44});
    EXPECT_LT(CalcConcentration(c, t.TablDan), 2 * c.BranchWorkCount + 1);
    for (int n = 1; n <= 44; ++n) EXPECT_NEAR(c.BranchGasConcentration[n], 1, 1e-11) << n;
    EXPECT_EQ(Cell(44, 17), "1,000");
}

struct TScriptedThermalWindow : IThermalDepressionDialog {
    TModGrid* grid = nullptr;
    std::string value;
    int shown = 0;
    TScriptedThermalWindow() { InstallThermalDepressionDialog(this); }
    ~TScriptedThermalWindow() override { InstallThermalDepressionDialog(nullptr); }
    void ShowModal() override {
        ++shown;
        grid->SetCells(18, grid->Row(), value);
    }
};

// A fire in the face 4 of a ring; the thermal depression works along the
// flow or against it.
//
//   1 --(1) 0.1--> 2 --(2) 1--> 3 --(4 "ОЗ" 1, needs 4)--> 4 --(5) fan 50--> 5
//                   \---(3) 1---------------------------->/
struct FireInAFace : ::testing::Test {
    test::TProgramFolder folder;
    TScriptedMessages messages;
    TCalcContext c;
    TNetworkTables t{c};
    int fireRow = 0;
    FireInAFace() {
        c.CalcOptions.SetDefaults();
        c.CalcOptions[1] = 'S';
        test::TNetworkBuilder b(t);
        b.Branch(1, 1, 2, 0.1);
        b.Branch(2, 2, 3, 1);
        b.Branch(3, 2, 4, 1);
        fireRow = b.Branch(4, 3, 4, 1, "ОЗ");
        b.BranchCell(fireRow, 10, "4");
        b.BranchCell(fireRow, 15, "Лава");
        b.BranchCell(fireRow, 5, "200");
        b.BranchCell(fireRow, 6, "8");
        b.Branch(5, 4, 5, 0, "В");
        b.Fan(5, 0, 0, 50);
        b.Surface({1, 5});
        t.TablDan.SetCurrent(0, fireRow);
    }
};

TEST_F(FireInAFace, APositiveDepressionHasNoCriticalOneAndSharesItsLineInTheText) {
    t.TablDan.SetCells(18, fireRow, "20");
    messages.Expect(mrYes, "Пожар в ветви 4 Лава Расчитать? ");
    ASSERT_TRUE(Rasc_PogClick(t, c));
    const std::vector<std::string>& page = t.MemoUst.Lines;
    EXPECT_EQ(Utf8(page[0]), "АНАЛИЗ УСТОЙЧИВОСТИ ПРОВЕТРИВАНИЯ ПРИ ПОЖАРЕ");
    EXPECT_EQ(Utf8(page[2]), "ПОЖАР В ВЕТВИ 4 Лава");
    EXPECT_EQ(Utf8(page[3]), "Тепловая депрессия      20.0мм.вд.ст.");
    EXPECT_EQ(Utf8(page[4]), "Критическая депрессия          нет");
    EXPECT_EQ(Utf8(c.StabilityText.substr(0, c.StabilityText.find('\n', 30))),
              "Пожар в ветви 4 Лава\nТепловая депрессия   20.0мм.вд.ст.Критическая депрессия нет");
    // The fire helps the face: it gets more air than the 4 it needs.
    EXPECT_GT(c.BranchFlow[4], 4);
    EXPECT_EQ(t.TablDan.Cells(3, fireRow), Ru("ОЗ"));
    EXPECT_EQ(c.BranchBeginNode[4], 3);
    EXPECT_EQ(c.BranchBeginNode[MaxBranchCount], 0);
    EXPECT_EQ(c.CalcOptions[2], 'P');
    // Spread times were computed once, with the fire branch in place.
    EXPECT_EQ(c.SmokedBranchMark[4], 4);
    EXPECT_FALSE(t.TablDan.Cells(19, fireRow).empty());
    EXPECT_TRUE(FileExists(ProgramDir() + "rvust.txt"));
}

TEST_F(FireInAFace, ANegativeDepressionReportsTheDepressionThatStopsTheAir) {
    TScriptedThermalWindow window;
    window.grid = &t.TablDan;
    window.value = "-80";
    messages.Expect(mrYes);
    messages.Expect(mrYes, "Не расчитана тепловая депрессия для ветви 4 Расчитать?");
    ASSERT_TRUE(Rasc_PogClick(t, c));
    EXPECT_EQ(window.shown, 1);
    const std::string line = Utf8(t.MemoUst.Lines[4]);
    EXPECT_EQ(line.rfind("Критическая депрессия  ", 0), 0u) << line;
    EXPECT_EQ(line.find("нет"), std::string::npos);
    // Against 80 mm, more than the fan gives, the face's air reverses.
    EXPECT_LT(c.BranchFlow[4], 0);
    EXPECT_EQ(c.ReversedBranchMark[4], 1);
}

TEST_F(FireInAFace, StaleResultsAreRefusedAndTheSpreadRunsOnce) {
    messages.Expect(mrCancel, "Необходимо произвести расчет распределения воздуха");
    Rasc_KoncClick(t, c);
    Rasc_ERClick(t, c);
    Rasc_KoncClick(t, c);
    EXPECT_EQ(t.TablDan.Cells(17, fireRow), "0,000");
    // An edit after the run makes its results stale.
    t.TablDan.SetEditText(16, fireRow, "1");
    messages.Expect(mrCancel, "Необходимо произвести расчет распределения воздуха");
    Rasc_KoncClick(t, c);

    t.TablDan.SetCells(18, fireRow, "20");
    messages.Expect(mrYes, "Не рассчитана устойчивость при пожаре. Рассчитаь?");
    messages.Expect(mrYes, "Пожар в ветви 4 Лава Расчитать? ");
    Rasc_VrPogClick(t, c, nullptr);
    EXPECT_EQ(messages.PendingExpectations(), 0u);
    EXPECT_EQ(c.CalcErrorFlag, 0);
    EXPECT_EQ(c.SmokedBranchMark[4], 4);
    // The fire run is a calculation of these tables.
    Rasc_KoncClick(t, c);
    EXPECT_NE(t.TablDan.Cells(17, fireRow), "0,000");
    EXPECT_EQ(messages.Shown().size(), 4u);
}

} // namespace
