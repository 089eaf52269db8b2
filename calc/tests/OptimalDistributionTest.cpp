#include "calc/engine/OptimalDistribution.h"

#include "calc/engine/NaturalDistribution.h"
#include "calc/engine/NetworkPreparation.h"
#include "calc/engine/RunChecks.h"
#include "calc/model/BranchTypes.h"
#include "calc/model/DecimalText.h"
#include "calc/testing/FlowResiduals.h"
#include "calc/testing/NetworkBuilder.h"
#include "calc/testing/SampleMine.h"
#include "calc/testing/SyntheticMine.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"
#include "platform/testing/ScriptedServices.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>

using namespace arv;
using arv::test::RowOf;
using arv::test::TScriptedMessages;

namespace {

double CellOr0(const TModGrid& g, int col, int row) {
    double v = 0;
    return TryCellToFloat(g.Cells(col, row), v) ? v : 0;
}

// Every consumer supplied, the air conserved at every node, every regulator
// shown >= 0, and every mesh balanced when each working carries its own
// resistance plus the regulator shown in column 9 and each fan the pressure
// shown in the fan table: the written results, not the solver's state, give
// the flows.
void ExpectSoundDistribution(const TNetworkTables& t, const TCalcContext& c) {
    const TModGrid& g = t.TablDan;
    auto checked = std::make_unique<TCalcContext>(c);
    TCalcContext& x = *checked;
    int consumers = 0;
    for (int r = FirstDataRow; r < g.RowCount(); ++r) {
        const int n = CellToIntDef0(g.Cells(0, r));
        const double q = CellOr0(g, 11, r);
        EXPECT_NEAR(c.BranchFlow[n], q, 0.006) << "flow shown for branch " << n;
        if (c.RequiredFlow[n] > 0) {
            ++consumers;
            EXPECT_GE(std::fabs(c.BranchFlow[n]), TruncToTenth(c.RequiredFlow[n]) - 0.006)
                << "consumer " << n;
        }
        const double regulator = CellOr0(g, 9, r);
        EXPECT_GE(regulator, 0.0) << "regulator of branch " << n;
        EXPECT_NE("-", Copy(g.Cells(9, r), 1, 1)) << n;
        const bool fixedFlow = BranchKindOfCell(g.Cells(3, r)) == BranchType::FixedFlow;
        x.BranchResistance[n] =
            (fixedFlow && c.BranchResistance[n] < 1e-4 ? CellOr0(g, 4, r) : c.BranchResistance[n]) +
            regulator;
        // A regulated branch without flow is shut: its drop is what the
        // network leaves across it, and no mesh through it says anything.
        x.RegulatorResistance[n] = regulator > 0 && std::fabs(q) <= 0.001 ? 1 : 0;
        if (c.BranchCalcKind[n] > 0) {
            const int fanRow = RowOf(t.TablVen, n);
            ASSERT_GE(fanRow, 0);
            x.BranchResistance[n] = 0;
            x.FanCoefA[n] = x.FanCoefB[n] = x.FanFlowLimit[n] = 0;
            x.FanCoefC[n] = -CellOr0(t.TablVen, 7, fanRow);
        }
    }
    EXPECT_GT(consumers, 0);
    const test::TFlowResiduals residuals = test::CheckFlows(x);
    EXPECT_LT(residuals.MaxNodeImbalance, 0.01) << "node " << residuals.WorstNode;
    EXPECT_GT(residuals.MeshesChecked, 0);
    EXPECT_LT(residuals.MaxMeshFlowError, 0.05) << "mesh of " << residuals.WorstFlowErrorBranch;
}

struct Distribution : ::testing::Test {
    TCalcContext c;
    TNetworkTables t{c};
    TScriptedMessages messages;
    void SetUp() override { c.CalcOptions[1] = 'S'; }
    std::vector<std::string> Memo() const {
        std::vector<std::string> lines;
        for (const auto& l : t.MemoPotr.Lines) lines.push_back(Cp1251ToUtf8(l));
        return lines;
    }
};

// A face needing 20 m3/s beside a regulator branch needing 10:
//
//   surface 1 --1 (0.01)--> 2 --2 "=" face, needs 20, own 0.02--> 3 --4 (0.01)--> 4 --5 fan-->
//   surface 5
//                           2 --3 "Р", needs 10, own 0.05 ------> 3
//
// Both share the drop dp between nodes 2 and 3. The regulator the "Р"
// branch shows must be the one that gives its flow with its own resistance:
// (0.05 + R9) * 10^2 = dp, so R9 = dp/100 - 0.05; the face, whose own
// resistance the solve left out, shows dp/400 - 0.02.
struct FaceBesideRegulator : Distribution {
    int faceRow = 0, regulatorRow = 0;
    void SetUp() override {
        Distribution::SetUp();
        test::TNetworkBuilder b(t);
        b.Branch(1, 1, 2, 0.01);
        faceRow = b.Branch(2, 2, 3, 0.02, "=");
        b.BranchCell(faceRow, 10, "20");
        regulatorRow = b.Branch(3, 2, 3, 0.05, "Р");
        b.BranchCell(regulatorRow, 10, "10");
        b.Branch(4, 3, 4, 0.01);
        b.Branch(5, 4, 5, 0, "В");
        b.Fan(5, -0.01, 0, 300);
        b.Surface({1, 5});
    }
};

TEST_F(FaceBesideRegulator, RegulatorsGiveTheFlowsTheyAreShownWith) {
    Rasc_ORClick(t, c);
    ASSERT_EQ(0, c.CalcErrorFlag);
    EXPECT_EQ(0u, messages.Shown().size());
    ExpectSoundDistribution(t, c);
    const double dp = CellOr0(t.TablDan, 14, faceRow);
    EXPECT_NEAR(dp, CellOr0(t.TablDan, 14, regulatorRow), 0.05);
    const double q3 = CellOr0(t.TablDan, 11, regulatorRow);
    EXPECT_NEAR(dp / (q3 * q3) - 0.05, CellOr0(t.TablDan, 9, regulatorRow), 0.002);
    const double q2 = CellOr0(t.TablDan, 11, faceRow);
    EXPECT_NEAR(dp / (q2 * q2) - 0.02, CellOr0(t.TablDan, 9, faceRow), 0.002);
    // One pass: title, iteration 1, both stages, then the consumer report.
    const auto memo = Memo();
    ASSERT_GE(memo.size(), 5u);
    EXPECT_EQ("ОПТИМАЛЬНОЕ ВОЗДУХОРАСПРЕДЕЛЕНИЕ", memo[0]);
    EXPECT_EQ("Итерация    1", memo[1]);
    EXPECT_EQ("1 этап ", memo[2]);
    EXPECT_EQ("2 этап ", memo[3]);
    EXPECT_EQ("        Д А Н Н Ы Е   О   П О Т Р Е Б И Т Е Л Я Х", memo[5]);
    EXPECT_EQ('O', c.CalcOptions[2]);
    EXPECT_EQ(0, c.OptimalStage);
}

TEST_F(FaceBesideRegulator, IdealRunMayRegulateAnyBranch) {
    Rasc_IRClick(t, c);
    ASSERT_EQ(0, c.CalcErrorFlag);
    EXPECT_EQ(0u, messages.Shown().size());
    ExpectSoundDistribution(t, c);
    EXPECT_EQ("ОПТИМАЛЬНОЕ ВОЗДУХОРАСПРЕДЕЛЕНИЕ", Memo()[0]);
}

// A fan whose curve never reaches zero pressure (A < 0, C < 0: B^2 - 4AC < 0)
// has no flow bound of its own: it keeps the open bound instead of a bound
// computed from no root.
TEST_F(FaceBesideRegulator, FanCurveWithoutZeroPressureKeepsItsBound) {
    const int row = t.TablDan.RowCount();
    t.TablDan.SetRowCount(row + 1);
    for (auto [col, text] : {std::pair{0, "6"}, {1, "4"}, {2, "5"}, {4, "0"}})
        t.TablDan.SetCells(col, row, text);
    t.TablDan.SetCells(3, row, Ru("В"));
    const int fanRow = t.TablVen.RowCount();
    t.TablVen.SetRowCount(fanRow + 1);
    for (auto [col, text] : {std::pair{0, "6"}, {3, "-0,01"}, {4, "0"}, {5, "-5"}})
        t.TablVen.SetCells(col, fanRow, text);
    messages.AllowAny();
    Rasc_ORClick(t, c);
    ASSERT_EQ(0, c.CalcErrorFlag);
    EXPECT_FALSE(std::isnan(c.FlowUpperBound[6]));
    for (int n = 1; n <= 6; ++n) EXPECT_TRUE(std::isfinite(c.BranchFlow[n])) << n;
    // The good fan's bound is where its curve falls to zero: sqrt(300/0.01).
    EXPECT_NEAR(173.205, c.FlowUpperBound[5], 0.001);
}

TEST_F(FaceBesideRegulator, WithoutFansTheConsumersCannotBeSupplied) {
    // The fan becomes a plain working: the fan flow sum stays 0.
    t.TablDan.SetCells(3, RowOf(t.TablDan, 5), "");
    t.TablDan.SetCells(4, RowOf(t.TablDan, 5), "0,01");
    messages.Expect(mrCancel, "Обеспечение потребителей невозможно. См.Потребители");
    Rasc_ORClick(t, c);
    EXPECT_EQ(1, c.OptimalIteration);
    const auto memo = Memo();
    EXPECT_EQ("Обеспечение потребителей невозможно", memo[4]);
    // The last pass is still written.
    EXPECT_NE("", t.TablDan.Cells(11, faceRow));
    EXPECT_EQ(TCursor::Default, ScreenCursor());
}

// Three weak fans in parallel cannot give a face 30 m3/s:
//
//   surface 1 --1 (0.5)--> 2 --2 "=" needs 30 (0.1)--> 3 ==3,4,5 fans 20 - 0.5 Q^2==> surface 4
//
// Each fan falls to zero pressure at 6.3 m3/s; the run must end with its
// message, not pass or search for ever.
TEST_F(Distribution, WeakFansInParallelEnd) {
    test::TNetworkBuilder b(t);
    b.Branch(1, 1, 2, 0.5);
    const int face = b.Branch(2, 2, 3, 0.1, "=");
    b.BranchCell(face, 10, "30");
    for (int fan : {3, 4, 5}) {
        b.Branch(fan, 3, 4, 0, "В");
        b.Fan(fan, -0.5, 0, 20);
    }
    b.Surface({1, 4});
    messages.AllowAny();
    const auto start = std::chrono::steady_clock::now();
    Rasc_ORClick(t, c);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
    ASSERT_FALSE(messages.ShownUtf8().empty());
    EXPECT_EQ("Обеспечение потребителей невозможно. См.Потребители", messages.ShownUtf8().back());
    EXPECT_LE(c.OptimalIteration, MaxOptimalPasses);
    for (int fan : {3, 4, 5}) EXPECT_LE(c.BranchFlow[fan], 6.33);
}

TEST(OptimalBounds, RequiredFlowsCutToWholeTenths) {
    EXPECT_DOUBLE_EQ(12.3, TruncToTenth(12.37));
    EXPECT_DOUBLE_EQ(0.3, TruncToTenth(0.3));
    EXPECT_DOUBLE_EQ(0.7, TruncToTenth(0.7));
    EXPECT_DOUBLE_EQ(0.0, TruncToTenth(0.09));
}

TEST_F(Distribution, SampleMineOptimalAndIdeal) {
    for (char kind : {'O', 'I'}) {
        test::BuildSampleMine(t);
        messages.Clear();
        if (kind == 'O')
            Rasc_ORClick(t, c);
        else
            Rasc_IRClick(t, c);
        ASSERT_EQ(0, c.CalcErrorFlag) << kind;
        EXPECT_EQ(0u, messages.Shown().size()) << kind;
        ExpectSoundDistribution(t, c);
    }
}

TEST_F(Distribution, GeneratedMineOptimalAndIdeal) {
    test::TSyntheticMineOptions o;
    o.Levels = 2;
    o.Width = 11;
    o.Depth = 8;
    o.IntakeShafts = 3;
    o.Fans = 2;
    o.Consumers = 4;
    o.Regulators = 0;
    for (char kind : {'O', 'I'}) {
        SCOPED_TRACE(kind);
        const test::TSyntheticMine mine = test::BuildSyntheticMine(t, o);
        // The consumers ask for a share more than the natural distribution
        // gives them as plain workings: the fans have to work for it, and
        // regulators elsewhere steer the air their way.
        std::vector<int> consumerRows;
        for (int r = FirstDataRow; r < t.TablDan.RowCount(); ++r)
            if (BranchKindOfCell(t.TablDan.Cells(3, r)) == BranchType::FixedFlow) {
                consumerRows.push_back(r);
                t.TablDan.SetCells(3, r, "");
            }
        Rasc_ERClick(t, c);
        ASSERT_EQ(0, c.CalcErrorFlag);
        const double share = 1.3;
        // The optimal run regulates only "Р" branches: every other working
        // of the levels gets one, as an engineer would put doors there.
        if (kind == 'O')
            for (int r = FirstDataRow; r < t.TablDan.RowCount(); ++r)
                if (Trim(t.TablDan.Cells(3, r)).empty()) t.TablDan.SetCells(3, r, Ru("Р"));
        for (int r : consumerRows) {
            const int n = CellToIntDef0(t.TablDan.Cells(0, r));
            t.TablDan.SetCells(3, r, "=");
            t.TablDan.SetCells(
                10, r, FloatToStr(std::round(share * std::fabs(c.BranchFlow[n]) * 100) / 100));
        }
        EXPECT_GT(mine.Branches, 250);
        EXPECT_LT(mine.Branches, 400);
        messages.Clear();
        messages.AllowAny();
        if (kind == 'O')
            Rasc_ORClick(t, c);
        else
            Rasc_IRClick(t, c);
        ASSERT_EQ(0, c.CalcErrorFlag) << kind;
        EXPECT_EQ(0u, messages.Shown().size()) << kind;
        ExpectSoundDistribution(t, c);
    }
}

} // namespace
