#include "calc/engine/NetworkPreparation.h"

#include "calc/model/BranchTypes.h"
#include "calc/testing/NetworkBuilder.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"
#include "platform/testing/ScriptedServices.h"

#include <gtest/gtest.h>

#include <functional>

using namespace arv;
using arv::test::TNetworkBuilder;
using arv::test::TScriptedMessages;

namespace {

//  (1) surface --1--> (2) ==2 (0.05)==> (3) --4 fan--> (4) surface
//                         ==3 (0.1) ==>
struct PreparationTest : ::testing::Test {
    TCalcContext c;
    TNetworkTables t{c};
    TNetworkBuilder b{t};
    TScriptedMessages messages;

    void BuildBase() {
        b.Branch(1, 1, 2, 0.01);
        b.Branch(2, 2, 3, 0.05);
        b.Branch(3, 2, 3, 0.1);
        b.Branch(4, 3, 4, 0, "В");
        b.Fan(4, -0.01, 0, 200);
        b.Surface({1, 4});
    }
    std::string NodeRow(int row) const {
        std::string s;
        for (int col : {0, 2, 3}) s += t.TablDavl.Cells(col, row) + "|";
        return Cp1251ToUtf8(s);
    }
};

TEST_F(PreparationTest, ReadsTablesIntoArraysAndIncidence) {
    BuildBase();
    PrepareNetwork(t, c);
    ASSERT_EQ(0, c.CalcErrorFlag);
    ASSERT_EQ(4, c.BranchWorkCount);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}),
              std::vector<int>(c.BranchWorkList.begin() + 1, c.BranchWorkList.begin() + 5));
    EXPECT_EQ(2, c.BranchBeginNode[2]);
    EXPECT_EQ(3, c.BranchEndNode[2]);
    EXPECT_DOUBLE_EQ(0.05, c.BranchResistance[2]);
    EXPECT_EQ(-100000, c.FlowLowerBound[2]);
    EXPECT_EQ(100000, c.FlowUpperBound[2]);
    // The fan: no resistance of its own, the curve from the fan table.
    EXPECT_EQ(0, c.BranchResistance[4]);
    EXPECT_EQ(1, c.BranchCalcKind[4]);
    EXPECT_EQ(BranchType::Fan, c.BranchKindCode[4]);
    EXPECT_DOUBLE_EQ(-0.01, c.FanCoefA[4]);
    EXPECT_DOUBLE_EQ(200, c.FanCoefC[4]);
    EXPECT_EQ(0, c.FanFlowLimit[4]);
    // Runs node after node, branches in work-list order inside a run.
    EXPECT_EQ((std::vector<int>{1, 2, 5, 8, 9}),
              std::vector<int>(c.NodeIncidenceStart.begin() + 1, c.NodeIncidenceStart.begin() + 6));
    EXPECT_EQ((std::vector<int>{1, 1, 2, 3, 2, 3, 4, 4}),
              std::vector<int>(c.NodeIncidence.begin() + 1, c.NodeIncidence.begin() + 9));
    EXPECT_EQ(9, c.NodeIncidenceStart[MaxNodeCount + 1]);
    EXPECT_EQ(0, c.NodeWork[2]);
    EXPECT_EQ(4, c.ConnectedNodeCount);
    ASSERT_EQ(1, c.SourceNodeCount);
    EXPECT_EQ(1, c.SourceNodeList[1]);
    ASSERT_EQ(1, c.SinkNodeCount);
    EXPECT_EQ(4, c.SinkNodeList[1]);
    EXPECT_EQ(1, c.SurfaceNodeFlag[1]);
    EXPECT_EQ(1, c.SurfaceNodeFlag[4]);
    EXPECT_EQ(0, c.SurfaceNodeFlag[2]);
    EXPECT_EQ("4", t.BranchCountText);
    EXPECT_EQ("4", t.NodeCountText);
    // The node table: one sorted row per connected node.
    ASSERT_EQ(6, t.TablDavl.RowCount());
    EXPECT_EQ("    1|Поверхность|1  |", NodeRow(2));
    EXPECT_EQ("    2|1  |2  3  |", NodeRow(3));
    EXPECT_EQ("    3|2  3  |4  |", NodeRow(4));
    EXPECT_EQ("    4|4  |Поверхность|", NodeRow(5));
    EXPECT_EQ(2, t.TablDavl.FixedRows());
}

TEST_F(PreparationTest, TypeRulesForConsumersDraughtStoppedFansAndRegulators) {
    BuildBase();
    int consumer = b.Branch(5, 2, 3, 0.2, "=");
    b.BranchCell(consumer, 10, "12,6");
    int draught = b.Branch(6, 1, 3, 0.3, "ЕТ");
    b.BranchCell(draught, 18, "-15");
    int flat = b.Branch(7, 1, 3, 0.4, "ЕТ"); // no draught value: ordinary
    int stopped = b.Branch(8, 2, 4, 0.5, "ВО");
    int regulated = b.Branch(9, 2, 4, 0.5, "Р");
    b.BranchCell(regulated, 8, "1,5");
    b.BranchCell(regulated, 9, "7");
    (void)flat;
    (void)stopped;
    c.CalcOptions.FlowUnit = 60;
    c.CalcOptions.StoppedFanResistance = 9;
    PrepareNetwork(t, c);
    ASSERT_EQ(0, c.CalcErrorFlag);
    EXPECT_DOUBLE_EQ(1e-5, c.BranchResistance[5]);
    EXPECT_DOUBLE_EQ(0.21, c.RequiredFlow[5]);
    EXPECT_DOUBLE_EQ(0.21, c.FlowLowerBound[5]);
    EXPECT_DOUBLE_EQ(0.21, c.FlowUpperBound[5]);
    EXPECT_EQ(99999, c.RegulatorResistance[5]);
    EXPECT_EQ(BranchType::FanReversed, c.BranchKindCode[6]);
    EXPECT_EQ(1, c.BranchCalcKind[6]);
    EXPECT_EQ(0, c.BranchResistance[6]);
    EXPECT_EQ(-15, c.FanCoefC[6]);
    EXPECT_EQ(BranchType::NaturalDraught, c.BranchKindCode[7]);
    EXPECT_EQ(0, c.BranchCalcKind[7]);
    EXPECT_DOUBLE_EQ(0.4, c.BranchResistance[7]);
    EXPECT_EQ(9, c.BranchResistance[8]);
    // A given regulator adds to the resistance; neither regulator survives.
    EXPECT_DOUBLE_EQ(2.0, c.BranchResistance[9]);
    EXPECT_EQ(0, c.RegulatorResistance[9]);
    EXPECT_EQ(0, c.CalcRegulatorResistance[9]);

    // Optimal run: natural draught is dropped.
    c.CalcOptions[2] = 'O';
    PrepareNetwork(t, c);
    EXPECT_EQ("", c.BranchKindCode[6]);
    EXPECT_EQ(0, c.BranchCalcKind[6]);
    // Device-failure run: the consumer becomes a branch with its computed
    // regulator.
    c.CalcOptions[2] = 'U';
    t.TablDan.SetCells(9, consumer, "3");
    PrepareNetwork(t, c);
    EXPECT_EQ("", c.BranchKindCode[5]);
    EXPECT_DOUBLE_EQ(3.2, c.BranchResistance[5]);
    EXPECT_EQ(100000, c.FlowUpperBound[5]);

    // A flow unit of 0 from a damaged data text reads flows as m3/s.
    c.CalcOptions[2] = 'E';
    c.CalcOptions.FlowUnit = 0;
    PrepareNetwork(t, c);
    EXPECT_DOUBLE_EQ(12.6, c.RequiredFlow[5]);
}

TEST_F(PreparationTest, ResistanceFromGeometryAndLengthAndSlopeFromNodes) {
    BuildBase();
    TModGrid& d = t.TablDan; // branches 1 to 4 in rows 2 to 5
    d.SetCells(4, 2, "0,7");
    for (int row : {2, 3}) d.SetCells(5, row, "100");
    for (int row : {2, 3, 4}) d.SetCells(6, row, "10");
    d.SetCells(7, 2, Ru("12,5-к"));
    d.SetCells(7, 3, "12.5");
    d.SetCells(22, 5, "7");
    b.Node(1, -100, 0, 0);
    b.Node(2, -200, 300, 400);
    b.Node(3, 50, 0, 0);
    b.Node(4, 0, 300, 400);
    PrepareNetwork(t, c);
    ASSERT_EQ(0, c.CalcErrorFlag);
    // 3.54 * 12.5e-4 * 100 * sqrt(10) / 10^3, written back over the typed R.
    EXPECT_NEAR(0.00139931, c.BranchResistance[1], 1e-8);
    EXPECT_EQ("0,0014", d.Cells(4, 2));
    EXPECT_NEAR(0.00158114, c.BranchResistance[2], 1e-8);
    EXPECT_EQ("0,00158", d.Cells(4, 3));
    // Branch 3 has no alpha: the typed R stays.
    EXPECT_DOUBLE_EQ(0.1, c.BranchResistance[3]);
    EXPECT_EQ("0,1", d.Cells(4, 4));
    // Branch 1 falls 100 m over 100 m typed, so the length comes from the
    // plan: sqrt(500^2 + 100^2); it descends, so its slope is negative.
    EXPECT_DOUBLE_EQ(509.9, c.BranchLength[1]);
    EXPECT_EQ(-11, c.BranchSlope[1]);
    // Branch 2 rises 250 m: sqrt(500^2 + 250^2), asin(250 / 559.02).
    EXPECT_DOUBLE_EQ(559.02, c.BranchLength[2]);
    EXPECT_EQ(27, c.BranchSlope[2]);
    // Branch 4 ends at elevation 0: length from the plan, but the typed slope
    // stays with its own sign however often the calculation runs.
    EXPECT_DOUBLE_EQ(502.49, c.BranchLength[4]);
    EXPECT_EQ(7, c.BranchSlope[4]);
    PrepareNetwork(t, c);
    EXPECT_EQ(7, c.BranchSlope[4]);
}

TEST_F(PreparationTest, FireSplitPutsThePseudoBranchInSeries) {
    BuildBase();
    t.TablDan.SetCells(3, 3, Ru("ПЖ")); // branch 2, from node 2 to node 3
    t.TablDan.SetCells(5, 3, "10");
    b.Node(2, -100, 0, 0);
    b.Node(3, -150, 30, 40);
    c.CalcOptions[2] = 'P';
    PrepareNetwork(t, c);
    ASSERT_EQ(0, c.CalcErrorFlag);
    EXPECT_EQ(5, c.BranchWorkCount);
    EXPECT_EQ(3001, c.BranchWorkList[3]); // right after the burning branch
    EXPECT_EQ(2, c.BranchBeginNode[3001]);
    EXPECT_EQ(2001, c.BranchEndNode[3001]);
    EXPECT_EQ(BranchType::Fire, c.BranchKindCode[3001]);
    EXPECT_EQ(0, c.BranchResistance[3001]);
    EXPECT_EQ(2001, c.BranchBeginNode[2]);
    EXPECT_EQ(3, c.BranchEndNode[2]);
    EXPECT_EQ("", c.BranchKindCode[2]);
    EXPECT_EQ(2, c.NodeIncidenceStart[2002] - c.NodeIncidenceStart[2001]);
    // Length and slope from the table's begin node 2, not from node 2001.
    EXPECT_DOUBLE_EQ(70.71, c.BranchLength[2]);
    EXPECT_EQ(-45, c.BranchSlope[2]);
    // The fire node stays out of the node table.
    EXPECT_EQ(6, t.TablDavl.RowCount());
}

TEST_F(PreparationTest, FireSplitRefusesTablesThatUseItsSlots) {
    BuildBase();
    t.TablDan.SetCells(3, 3, Ru("ПЖ"));
    int row = b.Branch(9, 3, 2001, 0.1);
    b.Branch(10, 2001, 4, 0.1);
    c.CalcOptions[2] = 'P';
    messages.Expect(mrCancel,
                    "Ошибка: ветвь 9 использует узел 2001, который нужен для расчета пожара");
    PrepareNetwork(t, c);
    EXPECT_EQ(1, c.CalcErrorFlag);
    EXPECT_EQ(row, t.TablDan.Row());
    // Outside a fire run node 2001 is an ordinary node.
    c.CalcOptions[2] = 'E';
    PrepareNetwork(t, c);
    EXPECT_EQ(0, c.CalcErrorFlag);

    // A typed branch 3001 collides with the pseudo-branch.
    t.TablDan.SetCells(0, row, "3001");
    t.TablDan.SetCells(2, row, "4");
    t.TablDan.SetCells(0, row + 1, "");
    t.TablDan.SetRowCount(row + 1);
    c.CalcOptions[2] = 'P';
    messages.Expect(mrCancel, "Ошибка: повторяется ветвь 3001");
    PrepareNetwork(t, c);
    EXPECT_EQ(1, c.CalcErrorFlag);
}

TEST_F(PreparationTest, FireSplitPseudoBranchCarriesNothingOfAnEarlierBranch3001) {
    // A fire run on a table with consumer 3001 whose computed regulator is
    // negative stops on that regulator.
    BuildBase();
    int consumer = b.Branch(3001, 2, 3, 0.2, "=");
    b.BranchCell(consumer, 10, "5");
    b.BranchCell(consumer, 9, "-0,5");
    c.CalcOptions[2] = 'P';
    messages.Expect(mrCancel, "Ошибка: не должно быть ветвей с отриц. расчетным сопротивлением");
    PrepareNetwork(t, c);
    ASSERT_EQ(1, c.CalcErrorFlag);

    // Without branch 3001, a burning branch puts the pseudo-branch in its
    // slot: the old consumer's regulator must not come back with it.
    t.TablDan.SetRowCount(consumer);
    t.TablDan.SetCells(3, 3, Ru("ПЖ"));
    PrepareNetwork(t, c);
    EXPECT_EQ(0, c.CalcErrorFlag);
    EXPECT_EQ(0, c.CalcRegulatorResistance[MaxBranchCount]);
}

TEST_F(PreparationTest, EarlierDataSetsLeaveNoTypesOrFans) {
    BuildBase();
    int consumer = b.Branch(7, 2, 3, 0.2, "=");
    b.BranchCell(consumer, 10, "5");
    b.Branch(9, 1, 3, 0, "В");
    b.Fan(9, -0.02, 0.5, 150);
    PrepareNetwork(t, c);
    ASSERT_EQ(0, c.CalcErrorFlag);
    ASSERT_EQ(BranchType::Fan, c.BranchKindCode[9]);
    ASSERT_GT(c.FanFlowLimit[9], 0);

    // The next data set has neither branch 7 nor branch 9.
    TNetworkBuilder next(t);
    next.Branch(1, 1, 2, 0.01);
    next.Branch(2, 2, 3, 0.05);
    next.Branch(3, 2, 3, 0.1);
    next.Branch(4, 3, 4, 0, "В");
    next.Fan(4, -0.01, 0, 200);
    PrepareNetwork(t, c);
    ASSERT_EQ(0, c.CalcErrorFlag);
    EXPECT_EQ("", c.BranchKindCode[7]);
    EXPECT_EQ("", c.BranchKindCode[9]);
    EXPECT_EQ(0, c.FanCoefA[9]);
    EXPECT_EQ(0, c.FanCoefB[9]);
    EXPECT_EQ(0, c.FanCoefC[9]);
    EXPECT_EQ(0, c.FanFlowLimit[9]);
}

struct TErrorCase {
    const char* name;
    std::function<void(PreparationTest&)> change;
    const char* message;
    int selectedRow; // -1: no selection expected
};

TEST_F(PreparationTest, EveryCheckStopsWithItsMessage) {
    const std::vector<TErrorCase> cases = {
        {"empty row", [](PreparationTest& f) { f.t.TablDan.SetRowCount(7); },
         "Ошибка номера ветви 0", 6},
        {"number above 3001", [](PreparationTest& f) { f.t.TablDan.SetCells(0, 3, "3002"); },
         "Ошибка номера ветви 3002", 3},
        {"node out of range", [](PreparationTest& f) { f.t.TablDan.SetCells(2, 4, "2002"); },
         "Ошибка: ветвь 3 номер узла неправильный", 4},
        {"begin equals end", [](PreparationTest& f) { f.t.TablDan.SetCells(2, 3, "2"); },
         "Ошибка: ветвь 2 начальный номер равен конечному", 3},
        {"fan without fan row", [](PreparationTest& f) { f.t.TablVen.SetCells(0, 2, "5"); },
         "Ошибка номера вентилятора или типа ветви 4", 5},
        {"fan curve all zero",
         [](PreparationTest& f) {
             f.t.TablVen.SetCells(3, 2, "0");
             f.t.TablVen.SetCells(5, 2, "");
         },
         "Ошибка коэффициентов вентилятора 4", -1},
        {"repeated branch", [](PreparationTest& f) { f.t.TablDan.SetCells(0, 4, "2"); },
         "Ошибка: повторяется ветвь 2", 3},
        {"consumer without air", [](PreparationTest& f) { f.t.TablDan.SetCells(3, 4, "="); },
         "Ошибка: ветвь 3 требуемое количество воздуха должно быть >0", 4},
        {"no surface node", [](PreparationTest& f) { f.t.UzPov = ""; },
         "Ошибка: не найдено точек поверхности", -1},
        {"surface node outside the table", [](PreparationTest& f) { f.t.UzPov = "1;2500;4;"; },
         "Ошибка в перечне узлов поверхности: 2500", -1},
        {"surface node not a number", [](PreparationTest& f) { f.t.UzPov = "1;x;4;"; },
         "Ошибка в перечне узлов поверхности: \"x\"", -1},
        {"resistance not a number", [](PreparationTest& f) { f.t.TablDan.SetCells(4, 3, "abc"); },
         "Ошибка: ветвь 2: неверное число \"abc\" в столбце \"Сопрот. выраб., km\"", 3},
        {"length with two commas", [](PreparationTest& f) { f.t.TablDan.SetCells(5, 4, "1,2,3"); },
         "Ошибка: ветвь 3: неверное число \"1,2,3\" в столбце \"Длина м\"", 4},
        {"alpha not a number", [](PreparationTest& f) { f.t.TablDan.SetCells(7, 2, Ru("x-к")); },
         "Ошибка: ветвь 1: неверное число \"x-к\" в столбце \"К.аэр сопр.\"", 2},
    };
    for (const TErrorCase& ec : cases) {
        SCOPED_TRACE(ec.name);
        TCalcContext fresh;
        c.CalcOptions = fresh.CalcOptions;
        t.UzPov.clear();
        TNetworkBuilder rebuild(t);
        BuildBase();
        ec.change(*this);
        t.TablDan.SetCurrent(10, 2);
        messages.Expect(mrCancel, std::string(ec.message));
        PrepareNetwork(t, c);
        EXPECT_EQ(1, c.CalcErrorFlag);
        ASSERT_EQ(1u, messages.Shown().size());
        EXPECT_EQ(TMsgButtons::Cancel, messages.Shown()[0].buttons);
        EXPECT_EQ(TMsgIcon::Information, messages.Shown()[0].icon);
        EXPECT_EQ(TCursor::Default, messages.Shown()[0].cursor);
        if (ec.selectedRow >= 0) {
            EXPECT_EQ(ec.selectedRow, t.TablDan.Row());
            EXPECT_EQ(0, t.TablDan.Col());
            EXPECT_EQ(PageNetwork, t.ActivePage);
        } else {
            EXPECT_EQ(2, t.TablDan.Row());
        }
        messages.Clear();
    }
}

TEST_F(PreparationTest, EmptySurfaceEntryIsReportedAndReadingGoesOn) {
    BuildBase();
    t.UzPov = "1;;4;";
    t.TablDan.SetCells(0, 3, "0");
    messages.Expect(mrCancel, "Ошибка в перечне узлов поверхности");
    messages.Expect(mrCancel, "Ошибка номера ветви 0");
    SetScreenCursor(TCursor::HourGlass);
    PrepareNetwork(t, c);
    EXPECT_EQ(1, c.CalcErrorFlag);
    EXPECT_EQ(TCursor::Default, ScreenCursor());
}

TEST_F(PreparationTest, NegativeComputedRegulatorInFireRuns) {
    BuildBase();
    t.TablDan.SetCells(3, 3, "=");
    t.TablDan.SetCells(10, 3, "5");
    t.TablDan.SetCells(9, 3, "-0,5");
    c.CalcOptions[2] = 'P';
    messages.Expect(mrCancel, "Ошибка: не должно быть ветвей с отриц. расчетным сопротивлением");
    PrepareNetwork(t, c);
    EXPECT_EQ(1, c.CalcErrorFlag);
    EXPECT_EQ(3, t.TablDan.Row());
}

TEST_F(PreparationTest, MoreBranchesThanSlots) {
    // 3001 branches on a chain of 2000 nodes, plus the fire pseudo-branch.
    for (int n = 1; n <= 3001; ++n) b.Branch(n, n % 2000 + 1, (n + 1) % 2000 + 1, 0.1);
    t.TablDan.SetCells(3, 6, Ru("ПЖ"));
    b.Surface({1});
    c.CalcOptions[2] = 'P';
    messages.Expect(mrCancel, "Ошибка: количество ветвей больше 3001");
    PrepareNetwork(t, c);
    EXPECT_EQ(1, c.CalcErrorFlag);
}

TEST_F(PreparationTest, HangingNodeQuestion) {
    BuildBase();
    b.Branch(5, 3, 7, 0.1); // node 7 has no other branch
    messages.Expect(mrYes, "Ошибка: Узел 7 висячий, Внести его в список узлов поверхности?");
    PrepareNetwork(t, c);
    EXPECT_EQ(1, c.CalcErrorFlag);
    EXPECT_EQ("1;4;7;", t.UzPov);
    EXPECT_EQ(PageGeneral, t.ActivePage);
    EXPECT_EQ(TMsgButtons::YesCancel, messages.Shown()[0].buttons);
    // The next run takes node 7 as a surface node.
    PrepareNetwork(t, c);
    EXPECT_EQ(0, c.CalcErrorFlag);
    EXPECT_EQ(1, c.SurfaceNodeFlag[7]);
    EXPECT_EQ("Поверхность", Cp1251ToUtf8(c.NodeOutBranchesText[7]));

    b.Branch(6, 8, 2, 0.1);
    messages.Expect(mrCancel, "Ошибка: Узел 8 висячий, Внести его в список узлов поверхности?");
    PrepareNetwork(t, c);
    EXPECT_EQ(1, c.CalcErrorFlag);
    EXPECT_EQ("1;4;7;", t.UzPov);
}

TEST_F(PreparationTest, NodeTableKeepsRowsAndTidiesTheRest) {
    BuildBase();
    b.Node(3, -20, 5, 6);
    b.Node(9, -30, 1, 1); // no branches: removed
    int emptyKey = b.Node(1, 0, 0, 0);
    t.TablDavl.SetCells(0, emptyKey, " ");
    t.TablDavl.SetCells(1, 2, "12,5"); // an old pressure
    PrepareNetwork(t, c);
    ASSERT_EQ(0, c.CalcErrorFlag);
    ASSERT_EQ(6, t.TablDavl.RowCount());
    EXPECT_EQ("    3|2  3  |4  |", NodeRow(4));
    EXPECT_EQ("-20", t.TablDavl.Cells(4, 4));
    EXPECT_EQ("5", t.TablDavl.Cells(5, 4));
    EXPECT_EQ("", t.TablDavl.Cells(1, 4));
    EXPECT_EQ(-20, c.NodeElevation[3]);
    EXPECT_EQ(5, c.NodeX[3]);
    EXPECT_EQ(6, c.NodeY[3]);

    // FindNodeRow: the row of a number, else a new row below the current
    // one, never among the headings.
    EXPECT_EQ(4, FindNodeRow(t, 3));
    t.TablDavl.SetCurrent(0, 0);
    int row = FindNodeRow(t, 42);
    EXPECT_EQ(2, row);
    EXPECT_EQ(Ru("  №  "), t.TablDavl.Cells(0, 0));
    EXPECT_EQ("", t.TablDavl.Cells(0, 2));
    EXPECT_EQ(7, t.TablDavl.RowCount());
    EXPECT_TRUE(t.TablDavl.Modified);
}

TEST_F(PreparationTest, ReverseTablesKeepNodeRowsAndFanDirections) {
    BuildBase();
    PrepareNetwork(t, c); // fills the node table
    ASSERT_EQ(0, c.CalcErrorFlag);
    TModGrid& d = t.TablDanRev;
    d.SetRowCount(2);
    auto add = [&](int n, int from, int to, const char* r, const char* type) {
        int row = d.RowCount();
        d.SetRowCount(row + 1);
        d.SetCells(0, row, IntToStr(n));
        d.SetCells(1, row, IntToStr(from));
        d.SetCells(2, row, IntToStr(to));
        d.SetCells(4, row, r);
        d.SetCells(3, row, Ru(type));
        return row;
    };
    int shaped = add(1, 1, 2, "0,01", "");
    d.SetCells(5, shaped, "100");
    d.SetCells(6, shaped, "10");
    d.SetCells(7, shaped, Ru("12,5-к"));
    add(2, 2, 3, "0,05", "");
    add(3, 2, 3, "0,1", "ЕТ");
    d.SetCells(18, 4, "-12");
    add(4, 3, 4, "0", "ВР");
    add(5, 3, 7, "0,2", ""); // dangling, but reverse mode asks nothing
    TModGrid& v = t.TablVenRev;
    v.SetRowCount(3);
    v.SetCells(0, 2, "4");
    v.SetCells(3, 2, "-0,01");
    v.SetCells(4, 2, "0,4");
    v.SetCells(5, 2, "200");
    c.CalcOptions[40] = 'A';
    c.CalcOptions[2] = 'O';
    PrepareNetwork(t, c);
    ASSERT_EQ(0, c.CalcErrorFlag);
    EXPECT_NEAR(0.00158114, c.BranchResistance[1], 1e-8); // shape letter ignored
    EXPECT_DOUBLE_EQ(0.01, c.FanCoefA[4]);
    EXPECT_DOUBLE_EQ(0.4, c.FanCoefB[4]);
    EXPECT_DOUBLE_EQ(-200, c.FanCoefC[4]);
    EXPECT_EQ(1, c.BranchCalcKind[4]);
    EXPECT_EQ(BranchType::FanReversed, c.BranchKindCode[3]); // kept in optimal runs
    EXPECT_EQ(0, c.NodeInCount[7]);
    // The node rows stay, filled from the reverse table.
    ASSERT_EQ(7, t.TablDavl.RowCount());
    EXPECT_EQ("    3|2  3  |4  5  |", NodeRow(4));
    EXPECT_EQ("    7|5  ||", NodeRow(6));

    // A stopped fan needs its fan row in reverse mode.
    d.SetCells(3, 5, Ru("ВО"));
    v.SetCells(0, 2, "9");
    messages.Expect(mrCancel, "Ошибка номера вентилятора или типа ветви 4");
    PrepareNetwork(t, c);
    EXPECT_EQ(1, c.CalcErrorFlag);
    EXPECT_EQ(5, d.Row());
    EXPECT_EQ(PageReverse, t.ActivePage);
}

TEST_F(PreparationTest, SurfaceNodeWithoutBranchesSatisfiesTheCheck) {
    BuildBase();
    b.Surface({1, 4, 1500});
    PrepareNetwork(t, c);
    EXPECT_EQ(0, c.CalcErrorFlag);
    EXPECT_EQ(1, c.SurfaceNodeFlag[1500]);
    EXPECT_EQ(3, c.SurfaceNodeCount);
}

} // namespace
