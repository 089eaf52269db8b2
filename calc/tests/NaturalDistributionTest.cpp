#include "calc/engine/NaturalDistribution.h"

#include "calc/engine/NetworkPreparation.h"
#include "calc/files/DataFiles.h"
#include "calc/files/NetworkDataText.h"
#include "calc/model/DecimalText.h"
#include "calc/testing/NetworkBuilder.h"
#include "calc/testing/SampleMine.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>

using namespace arv;
using arv::test::RowOf;
using arv::test::TScriptedMessages;

namespace {

// An independent solution of the sample mine: node pressures found by
// Newton's method on the conservation of air, with the branch laws written
// here from the engineering model, not from the solver.
//
//          (13)ЕТ+12  (14)==14 adit 0.05==+
//  surface  |                              v
//   (1)=1 shaft 0.003=(2)=2 0.008=>(3)=3 0.02=>(4)=5 face 1.5 (needs 8)=>(6)=7 0.03=>(8)=9
//   0.004=>(9)=10 fan=>(10)
//              |               \=4 0.025=>(5)=6 face held at 6=>(7)=8 0.03+0.2=>(8)
//              \=11 0.06=>(11)=12 fan=>(12)
struct TExactSample {
    std::map<int, double> p;    // node pressures, surface 0
    std::map<int, double> q;    // branch flows
    std::map<int, double> fanH; // fan pressure at its flow
};

double SignedRoot(double x, double r) {
    return x >= 0 ? std::sqrt(x / r) : -std::sqrt(-x / r);
}

TExactSample SolveSampleExactly() {
    // Unknown pressures of nodes 2..9 and 11; node 14 is pinned by the
    // natural draught of 12 (a source without resistance from surface 13).
    const int unknown[] = {2, 3, 4, 5, 6, 7, 8, 9, 11};
    const int n = 9;
    std::map<int, double> p = {{1, 0}, {10, 0}, {12, 0}, {13, 0}, {14, 12}};
    auto flows = [&](std::map<int, double>& pp) {
        std::map<int, double> q;
        q[1] = SignedRoot(pp[1] - pp[2], 0.003);
        q[2] = SignedRoot(pp[2] - pp[3], 0.008);
        q[3] = SignedRoot(pp[3] - pp[4], 0.02);
        q[4] = SignedRoot(pp[3] - pp[5], 0.025);
        q[5] = SignedRoot(pp[4] - pp[6], 1.5);
        q[6] = 6;
        q[7] = SignedRoot(pp[6] - pp[8], 0.03);
        q[8] = SignedRoot(pp[7] - pp[8], 0.23);
        q[9] = SignedRoot(pp[8] - pp[9], 0.004);
        q[10] = std::sqrt(std::max(0.0, (pp[9] - pp[10] + 300) / 0.03));
        q[11] = SignedRoot(pp[2] - pp[11], 0.3);
        q[12] = std::sqrt(std::max(0.0, (pp[11] - pp[12] + 150) / 0.05));
        q[14] = SignedRoot(pp[14] - pp[3], 0.05);
        q[13] = q[14];
        return q;
    };
    auto residual = [&](std::map<int, double>& pp) {
        auto q = flows(pp);
        std::vector<double> f(n);
        f[0] = q[1] - q[2] - q[11];
        f[1] = q[2] + q[14] - q[3] - q[4];
        f[2] = q[3] - q[5];
        f[3] = q[4] - q[6];
        f[4] = q[5] - q[7];
        f[5] = q[6] - q[8];
        f[6] = q[7] + q[8] - q[9];
        f[7] = q[9] - q[10];
        f[8] = q[11] - q[12];
        return f;
    };
    // A start below the atmosphere everywhere, deeper towards the fans.
    const double start[] = {-5, -10, -30, -12, -100, -150, -180, -200, -50};
    for (int i = 0; i < n; ++i) p[unknown[i]] = start[i];
    auto norm = [](const std::vector<double>& f) {
        double s = 0;
        for (double x : f) s += x * x;
        return std::sqrt(s);
    };
    for (int iter = 0; iter < 200; ++iter) {
        auto f = residual(p);
        if (norm(f) < 1e-12) break;
        std::vector<std::vector<double>> jac(n, std::vector<double>(n + 1));
        for (int j = 0; j < n; ++j) {
            auto pp = p;
            const double h = 1e-7 * std::max(1.0, std::fabs(p[unknown[j]]));
            pp[unknown[j]] += h;
            auto g = residual(pp);
            for (int i = 0; i < n; ++i) jac[i][j] = (g[i] - f[i]) / h;
        }
        for (int i = 0; i < n; ++i) jac[i][n] = -f[i];
        for (int col = 0; col < n; ++col) { // Gaussian elimination with pivoting
            int piv = col;
            for (int r = col + 1; r < n; ++r)
                if (std::fabs(jac[r][col]) > std::fabs(jac[piv][col])) piv = r;
            std::swap(jac[col], jac[piv]);
            for (int r = col + 1; r < n; ++r) {
                double m = jac[r][col] / jac[col][col];
                for (int k = col; k <= n; ++k) jac[r][k] -= m * jac[col][k];
            }
        }
        std::vector<double> dx(n);
        for (int r = n - 1; r >= 0; --r) {
            double s = jac[r][n];
            for (int k = r + 1; k < n; ++k) s -= jac[r][k] * dx[k];
            dx[r] = s / jac[r][r];
        }
        double step = 1;
        const double before = norm(f);
        for (int tries = 0; tries < 30; ++tries, step /= 2) {
            auto pp = p;
            for (int i = 0; i < n; ++i) pp[unknown[i]] += step * dx[i];
            if (norm(residual(pp)) < before) {
                p = pp;
                break;
            }
        }
    }
    auto last = residual(p);
    EXPECT_LT(norm(last), 1e-9) << "the independent solution did not converge";
    TExactSample s;
    s.p = p;
    s.q = flows(p);
    s.fanH[10] = 300 - 0.03 * s.q[10] * s.q[10];
    s.fanH[12] = 150 - 0.05 * s.q[12] * s.q[12];
    return s;
}

double Cell(const TModGrid& g, int col, int row) {
    double v = 0;
    EXPECT_TRUE(TryCellToFloat(g.Cells(col, row), v))
        << "cell (" << col << "," << row << ") \"" << Cp1251ToUtf8(g.Cells(col, row)) << "\"";
    return v;
}

// Every result a run leaves, as text, for golden comparison.
std::string ResultTexts(const TNetworkTables& t, const TCalcContext& c) {
    std::string s = "[TablDan]\n";
    for (int r = FirstDataRow; r < t.TablDan.RowCount(); ++r) {
        s += t.TablDan.Cells(0, r);
        for (int col : {9, 10, 11, 12, 13, 14, 22}) s += "|" + t.TablDan.Cells(col, r);
        s += "\n";
    }
    s += "[TablVen]\n" + t.TablVen.Cells(6, 1) + "\n";
    for (int r = FirstDataRow; r < t.TablVen.RowCount(); ++r)
        s += t.TablVen.Cells(0, r) + "|" + t.TablVen.Cells(6, r) + "|" + t.TablVen.Cells(7, r) +
             "\n";
    s += "[TablPotr]\n";
    for (int r = 1; r < t.TablPotr.RowCount(); ++r) {
        for (int col = 0; col < 6; ++col) s += t.TablPotr.Cells(col, r) + "|";
        s += "\n";
    }
    s += "[TablDavl]\n";
    for (int r = FirstDataRow; r < t.TablDavl.RowCount(); ++r) {
        for (int col = 0; col < 4; ++col) s += t.TablDavl.Cells(col, r) + "|";
        s += "\n";
    }
    s += "[MemoPotr]\n" + t.MemoPotr.Text() + "\n[MemoDav]\n" + t.MemoDav.Text() +
         "\n[PressureText]\n" + c.PressureText + "[PressureRowCount] " +
         IntToStr(c.PressureRowCount) + "\n";
    return s;
}

void CompareWithGolden(const std::string& text, const std::string& name) {
    const std::string path = std::string(ARV_CALC_TEST_DATA) + "/" + name;
    if (std::getenv("ARVALEN_WRITE_GOLDEN")) {
        ASSERT_TRUE(WriteFileAtomic(path, text));
    }
    std::string golden;
    ASSERT_TRUE(ReadFileBytes(path, golden)) << path;
    EXPECT_EQ(Cp1251ToUtf8(golden), Cp1251ToUtf8(text)) << name;
}

struct SampleMineTest : ::testing::Test {
    TCalcContext c;
    TNetworkTables t{c};
    TScriptedMessages messages;
    void SetUp() override {
        test::BuildSampleMine(t);
        c.CalcOptions[1] = 'S';
    }
};

} // namespace

TEST_F(SampleMineTest, EveryResultAgreesWithAnIndependentSolution) {
    Rasc_ERClick(t, c);
    ASSERT_EQ(0, c.CalcErrorFlag);
    EXPECT_EQ(TCursor::Default, ScreenCursor());
    const TExactSample x = SolveSampleExactly();
    // Profile B at fine accuracy ends with steps of 0.01 m3/s.
    const double flowTol = 0.03;
    for (auto [n, q] : x.q) {
        int row = RowOf(t.TablDan, n);
        ASSERT_GE(row, 0);
        EXPECT_NEAR(q, Cell(t.TablDan, 11, row), flowTol + 0.005) << "flow of branch " << n;
        EXPECT_EQ("", t.TablDan.Cells(12, row));
    }
    // Depressions R*Q^2 of the workings; the held face takes the regulator share.
    const double r[] = {0, 0.003, 0.008, 0.02, 0.025, 1.5, 0, 0.03, 0.23, 0.004};
    for (int n : {1, 2, 3, 4, 5, 7, 8, 9}) {
        double q = x.q.at(n);
        EXPECT_NEAR(r[n] * q * q, Cell(t.TablDan, 14, RowOf(t.TablDan, n)),
                    2 * r[n] * q * flowTol + 0.01)
            << "depression of branch " << n;
    }
    const double heldDrop = x.p.at(5) - x.p.at(7);
    EXPECT_NEAR(heldDrop, Cell(t.TablDan, 14, RowOf(t.TablDan, 6)), 0.5);
    // The regulator the held face needs, less the face's own 0.12.
    EXPECT_NEAR(heldDrop / 36 - 0.12, Cell(t.TablDan, 9, RowOf(t.TablDan, 6)), 0.002);
    EXPECT_EQ("", t.TablDan.Cells(9, RowOf(t.TablDan, 8)));
    // Velocities Q/S and the slopes from the node elevations.
    EXPECT_NEAR(x.q.at(5) / 6, Cell(t.TablDan, 13, RowOf(t.TablDan, 5)), 0.01);
    EXPECT_EQ("-90,00", t.TablDan.Cells(22, RowOf(t.TablDan, 1))); // down the shaft
    EXPECT_EQ("", t.TablDan.Cells(13, RowOf(t.TablDan, 10)));
    // Fans: flow and the pressure at the operating point.
    for (int fan : {10, 12}) {
        int row = RowOf(t.TablVen, fan);
        EXPECT_NEAR(x.q.at(fan), Cell(t.TablVen, 6, row), flowTol + 0.005);
        EXPECT_NEAR(x.fanH.at(fan), std::fabs(Cell(t.TablVen, 7, row)), 0.5);
    }
    // Node pressures against the independent ones.
    for (auto [k, p] : x.p) {
        int row = RowOf(t.TablDavl, k);
        ASSERT_GE(row, 0) << "node " << k;
        EXPECT_NEAR(p, Cell(t.TablDavl, 1, row), 0.5) << "pressure of node " << k;
    }
    // The consumers: computed flow and supply.
    int face1 = RowOf(t.TablPotr, 5);
    ASSERT_GE(face1, 0);
    EXPECT_NEAR(x.q.at(5), Cell(t.TablPotr, 3, face1), flowTol + 0.005);
    EXPECT_NEAR(100 * x.q.at(5) / 8, Cell(t.TablPotr, 4, face1), 0.5);
    EXPECT_NEAR(6.0, Cell(t.TablPotr, 3, RowOf(t.TablPotr, 6)), 0.005);
}

TEST_F(SampleMineTest, ResultTextsInCubicMetresPerSecondAndPerMinute) {
    Rasc_ERClick(t, c);
    CompareWithGolden(ResultTexts(t, c), "sample_results_m3s.txt");

    TCalcContext c60;
    TNetworkTables t60{c60};
    test::BuildSampleMine(t60);
    c60.CalcOptions[1] = 'S';
    c60.CalcOptions.FlowUnit = 60;
    // Required flows typed per minute.
    t60.TablDan.SetCells(10, FirstDataRow + 4, "480");
    t60.TablDan.SetCells(10, FirstDataRow + 5, "360");
    Rasc_ERClick(t60, c60);
    EXPECT_EQ(Ru("воздуха, м3/мин"), t60.TablVen.Cells(6, 1));
    EXPECT_EQ(Ru("расход, м3/мин"), t60.TablPotr.Cells(2, 1));
    EXPECT_EQ(Ru("расход, м3/мин"), t60.TablPotr.Cells(3, 1));
    // Whole numbers per minute, the same air as per second.
    for (int r = FirstDataRow; r < t.TablDan.RowCount(); ++r) {
        const std::string& perMinute = t60.TablDan.Cells(11, r);
        EXPECT_EQ(std::string::npos, perMinute.find(','));
        EXPECT_NEAR(Cell(t.TablDan, 11, r) * 60, Cell(t60.TablDan, 11, r), 0.6 + 0.005 * 60);
    }
    CompareWithGolden(ResultTexts(t60, c60), "sample_results_m3min.txt");
}

TEST_F(SampleMineTest, ASecondRunOnUnchangedTablesGivesIdenticalTables) {
    Rasc_ERClick(t, c);
    std::string first = BuildNetworkDataText(t, c) + ResultTexts(t, c);
    Rasc_ERClick(t, c);
    EXPECT_EQ(first, BuildNetworkDataText(t, c) + ResultTexts(t, c));
}

TEST_F(SampleMineTest, ANegativeRegulatorIsReportedAndWritingGoesOn) {
    // Holding the west face at 30 m3/s needs more than the network gives.
    t.TablDan.SetCells(10, FirstDataRow + 5, "30");
    t.TablDan.SetVisibleCounts(5, 5);
    messages.Expect(
        mrCancel,
        "Недопустимый режим: для ветви 6 требуется отрицательное сопротивление регулятора");
    Rasc_ERClick(t, c);
    EXPECT_EQ(FirstDataRow + 5, t.TablDan.Row());
    EXPECT_EQ(PageNetwork, t.ActivePage);
    // The message comes with the normal cursor.
    EXPECT_EQ(TCursor::Default, messages.Shown().at(0).cursor);
    EXPECT_EQ(TCursor::Default, ScreenCursor());
    // The rows after it got their results too.
    EXPECT_FALSE(t.TablDan.Cells(11, FirstDataRow + 13).empty());
    EXPECT_FALSE(t.MemoDav.Lines.empty());
    EXPECT_LT(Cell(t.TablDan, 9, FirstDataRow + 5), 0);
}

TEST_F(SampleMineTest, ConsumerResultsStayAndTypedRequiredFlowsAreKept) {
    c.CalcOptions.FlowUnit = 60;
    // 4.5 m3/min would print as "5"; 0.075 m3/s is too little for the report.
    t.TablDan.SetCells(10, FirstDataRow + 4, "4,5");
    t.TablDan.SetCells(10, FirstDataRow + 5, "360");
    Rasc_ERClick(t, c);
    EXPECT_EQ("4,5", t.TablDan.Cells(10, FirstDataRow + 4));
    EXPECT_EQ("360", t.TablDan.Cells(10, FirstDataRow + 5));
    int held = RowOf(t.TablPotr, 6);
    ASSERT_GE(held, 0);
    EXPECT_EQ("  360,00", t.TablPotr.Cells(3, held));
    EXPECT_EQ("100,0", t.TablPotr.Cells(4, held));
    EXPECT_EQ(Ru("="), t.TablPotr.Cells(1, held));
    // The report lists only consumers above 0.09 m3/s.
    std::string report = t.MemoPotr.Text();
    EXPECT_NE(std::string::npos, report.find(Ru("Лава 2 западная")));
    EXPECT_EQ(std::string::npos, report.find(Ru("Лава 1 восточная")));
    EXPECT_NE(std::string::npos, report.find(Ru("куб.м/м")));
}

// The results of the run before would stand beside the changed input (and
// be saved with it): they go, the input stays.
TEST_F(SampleMineTest, AFailedPreparationLeavesNoResult) {
    Rasc_ERClick(t, c);
    t.TablDan.SetCells(1, FirstDataRow + 2, "3");
    t.TablDan.SetCells(2, FirstDataRow + 2, "3"); // begin = end
    messages.Expect(mrCancel, "Ошибка: ветвь 3 начальный номер равен конечному");
    Rasc_ERClick(t, c);
    EXPECT_EQ(1, c.CalcErrorFlag);
    for (int r = FirstDataRow; r < t.TablDan.RowCount(); ++r) {
        for (int col : {9, 11, 12, 13, 14})
            EXPECT_EQ("", t.TablDan.Cells(col, r)) << r << " " << col;
        EXPECT_NE("", t.TablDan.Cells(0, r));
    }
    EXPECT_EQ("", t.TablVen.Cells(6, FirstDataRow));
    EXPECT_EQ("", t.TablPotr.Cells(3, FirstDataRow));
    EXPECT_EQ("", t.TablDavl.Cells(1, FirstDataRow));
    EXPECT_EQ("    8,00", t.TablPotr.Cells(2, FirstDataRow));
    EXPECT_EQ(TCursor::Default, ScreenCursor());
}

TEST_F(SampleMineTest, ASurfaceNodeWithoutBranchesIsSkipped) {
    // Node 15 is listed as surface but has no working; the pressures of the
    // others must not change.
    Rasc_ERClick(t, c);
    const std::string before = t.MemoDav.Text();
    t.UzPov += "15;";
    Rasc_ERClick(t, c);
    EXPECT_EQ(before, t.MemoDav.Text());
}

TEST_F(SampleMineTest, TheShippedSampleIsThisMine) {
    std::string text;
    for (const std::string& line : test::SampleMineDanLines(t, c.CalcOptions))
        text += line + "\r\n";
    const std::string path = std::string(ARV_SAMPLES_DIR) + "/SampleMine.dan";
    if (std::getenv("ARVALEN_WRITE_GOLDEN")) {
        ASSERT_TRUE(WriteFileAtomic(path, text));
    }
    std::string shipped;
    ASSERT_TRUE(ReadFileBytes(path, shipped));
    EXPECT_EQ(text, shipped);
    TCalcContext c2;
    TNetworkTables t2{c2};
    ASSERT_TRUE(LoadNetworkData(path, t2, c2));
    c2.CalcOptions[1] = 'S';
    EXPECT_EQ(BuildNetworkDataText(t, c), BuildNetworkDataText(t2, c2));
}

TEST(NodePressureReport, SevenNodesGiveOneFullLineAndOnePaddedLine) {
    TCalcContext c;
    TNetworkTables t{c};
    for (int k = 1; k <= 7; ++k) {
        c.NodeIncidenceStart[k] = k;
        c.NodePressure[k] = -1.5 * k;
    }
    for (int k = 8; k <= MaxNodeCount + 1; ++k) c.NodeIncidenceStart[k] = 8;
    t.TablDavl.SetRowCount(9);
    for (int k = 1; k <= 7; ++k) t.TablDavl.SetCells(0, k + 1, Format("%5d", {k}));
    WriteNodePressureReport(t, c);
    const auto& lines = t.MemoDav.Lines;
    ASSERT_EQ(8u, lines.size());
    EXPECT_EQ("!   1 !   -1,50 !   2 !   -3,00 !   3 !   -4,50 !   4 !   -6,00 !", lines[5]);
    EXPECT_EQ("!   5 !   -7,50 !   6 !   -9,00 !   7 !  -10,50 !     !         !", lines[6]);
    EXPECT_EQ(std::string(65, '-'), lines[7]);
    EXPECT_EQ(3, c.PressureRowCount);
    EXPECT_EQ(
        Ru("Номер узла\tДавление в узле\tНомер узла\tДавление в узле\tНомер узла\tДавление в узле\t"
           "Номер узла\tДавление в узле\n") +
            "   1\t   -1,50\t   2\t   -3,00\t   3\t   -4,50\t   4\t   -6,00\n"
            "   5\t   -7,50\t   6\t   -9,00\t   7\t  -10,50",
        c.PressureText);
    EXPECT_EQ("   -7,50", t.TablDavl.Cells(1, RowOf(t.TablDavl, 5)));
    c.CalcOptions[40] = 'A';
    WriteNodePressureReport(t, c);
    EXPECT_EQ(Ru("Аварийный режим"), t.MemoDav.Lines.at(0));
}

TEST(EmergencyResults, TheBurningBranchGetsItsBeginNodeBackUnturned) {
    TCalcContext c;
    TNetworkTables t{c};
    test::TNetworkBuilder b(t);
    b.Branch(7, 4, 5, 0.02);
    t.TablDanRev.SetRowCount(3);
    t.TablDanRev.SetCells(0, 2, "7");
    t.TablDanRev.SetCells(1, 2, "4");
    t.TablDanRev.SetCells(2, 2, "5");
    t.TablDanRev.SetCells(3, 2, Ru("ПЖ"));
    c.CalcOptions[2] = 'P';
    // After the fire split the branch runs from the fire node 2001 to 5.
    c.BranchBeginNode[7] = MaxNodeCount;
    c.BranchEndNode[7] = 5;
    c.BranchFlow[7] = 10;
    c.PressureBase1[7] = 1;
    c.PressureBase2[7] = -1;
    c.BranchResistance[7] = 0.02;
    ShowEmergencyResults(t, c);
    EXPECT_EQ(4, c.BranchBeginNode[7]);
    EXPECT_EQ(10, c.BranchFlow[7]);
    EXPECT_EQ(1, c.PressureBase1[7]);
    EXPECT_EQ("10,00", t.TablDanRev.Cells(12, 2));
    // A branch that the solver turned round is turned back with its flow.
    c.BranchBeginNode[7] = 5;
    c.BranchEndNode[7] = 4;
    ShowEmergencyResults(t, c);
    EXPECT_EQ(4, c.BranchBeginNode[7]);
    EXPECT_EQ(-10, c.BranchFlow[7]);
    EXPECT_EQ("-10,00", t.TablDanRev.Cells(12, 2));
}
