// The check of the plan against the branch table, its log lines and boxes.
#include "DrawWinTestSupport.h"

using namespace arv;
using namespace arv::test;

namespace {

struct SchemeChecksTest : DrawWinTest {
    SchemeChecksTest() {
        t.InitTables();
        w->SetCalcGrids(&t.TablDan, &t.TablDavl);
    }
    void Branch(int r, int number, int from, int to) {
        if (t.TablDan.RowCount() <= r) t.TablDan.SetRowCount(r + 1);
        t.TablDan.SetCells(0, r, std::to_string(number));
        t.TablDan.SetCells(1, r, std::to_string(from));
        t.TablDan.SetCells(2, r, std::to_string(to));
    }
    void Surface(int number) {
        TGCollNode& nodes = w->Doc().nodes;
        nodes.Record(nodes.IndexOfNumber(number)).kind = 1;
    }
};

} // namespace

// Plan (left) against table (right):
//   1: 1 -> 2                 1: 1 -> 2    agree
//   2: 2 -> 3                 2: 3 -> 2    drawn the wrong way
//   3: 3 -> 4                 3: 3 -> 5    another branch
//   8: 5 -> 4                 -            not in the table
//   -2: 9 -> 10               -            temporary number: no line
//   4: 3 -> 11                4: 3 -> 11   agree
//   -                         7: 7 -> 8    not on the plan
// Node 1 is a surface node with one outgoing branch; node 4 takes two
// branches in and gives none out; node 5 only gives one out; node 11 only
// takes one in.
TEST_F(SchemeChecksTest, EveryFindingHasItsLineAndBox) {
    ThreeBranches();
    AddBranch({0, 100}, {300, 50}, 8, 5, 4);
    AddBranch({0, 300}, {100, 300}, -2, 9, 10);
    AddBranch({200, 0}, {100, -100}, 4, 3, 11);
    Surface(1);
    Branch(2, 1, 1, 2);
    Branch(3, 2, 3, 2);
    Branch(4, 3, 3, 5);
    Branch(5, 4, 3, 11);
    Branch(6, 7, 7, 8);
    w->IndexCalcDataGrids();
    w->Panel2Visible = false;
    w->PropDown = false;

    messages.Expect(mrOk, "Схема не соответствует расчетным данным\r\nСмотрите закладку "
                          "\"Лог\"!\r\n");
    messages.Expect(mrOk, "В узле 5, только исходящие ветви, если это узел поверхности, укажите "
                          "это в свойствах узла");
    messages.Expect(mrOk, "В узле 11 только входящие ветви, если это узел поверхности, укажите "
                          "это в свойствах узла");
    messages.Expect(mrOk, "На схеме отсутсутствуют ветви, имеющиеся в расчетных данных\r\n"
                          "Смотрите закладку \"Лог\"!\r\n");
    messages.Expect(mrOk, "Ошибки в топологии сети");
    bool failed = false;
    w->CheckSchemeAgainstCalcData(failed);
    EXPECT_TRUE(failed);
    EXPECT_EQ(0u, messages.PendingExpectations());
    EXPECT_EQ((std::vector<std::string>{Ru("E:2:Ветвь 2 неверно ориентирована"),
                                        Ru("E:3:Ветвь 3 не соответствует расчетным данным"),
                                        Ru("W:8:Ветви 8 нет в расчетных данных"),
                                        Ru("W:Ветви 7 нет на схеме")}),
              w->Logger);
    EXPECT_TRUE(w->Panel2Visible);
    EXPECT_EQ(2, w->PageBookIndex);
    EXPECT_EQ("1;", w->SurfaceNodeText());
    EXPECT_EQ("1;", t.UzPov);
    const TNodeRecord& n4 = w->Doc().nodes.Record(w->Doc().nodes.IndexOfNumber(4));
    EXPECT_EQ((std::vector<int32_t>{3, 8}), n4.incoming);
    EXPECT_TRUE(n4.outgoing.empty());
    const TNodeRecord& n3 = w->Doc().nodes.Record(w->Doc().nodes.IndexOfNumber(3));
    EXPECT_EQ((std::vector<int32_t>{3, 4}), n3.outgoing);

    // Log colours: warnings yellow, errors red.
    EXPECT_EQ(0x00FFFF, TIDrawWin::LoggerLineColour(w->Logger[2]));
    EXPECT_EQ(0x0000FF, TIDrawWin::LoggerLineColour(w->Logger[0]));
    EXPECT_EQ(-1, TIDrawWin::LoggerLineColour("x"));
    EXPECT_EQ(-1, TIDrawWin::LoggerLineColour(""));

    // A double click on an error line makes its branch current; the
    // missing-branch line and a line without a number select nothing.
    w->Doc().current = -1;
    w->LoggerItemIndex = 3;
    w->LoggerDblClick();
    EXPECT_EQ(-1, w->Doc().current);
    w->LoggerItemIndex = 0;
    const int redraws = view.redraws;
    w->LoggerDblClick();
    EXPECT_EQ(1, w->Doc().current);
    EXPECT_GT(view.redraws, redraws);
    w->Logger.push_back("E:x1:text");
    w->LoggerItemIndex = 4;
    w->Doc().current = -1;
    w->LoggerDblClick();
    EXPECT_EQ(-1, w->Doc().current);
    w->LoggerItemIndex = 9; // past the list
    w->LoggerDblClick();
    EXPECT_EQ(-1, w->Doc().current);
}

// A plan and table that agree: no line, no box but the one of the menu
// command; the check's host result says so.
TEST_F(SchemeChecksTest, AgreeingSchemeSaysSo) {
    ThreeBranches();
    Surface(1);
    Surface(4);
    Branch(2, 1, 1, 2);
    Branch(3, 2, 2, 3);
    Branch(4, 3, 3, 4);
    w->IndexCalcDataGrids();
    messages.Expect(mrOk, "Схема соответствует расчетным данным");
    w->MEQClick();
    EXPECT_TRUE(w->Logger.empty());
    EXPECT_EQ("1;4;", t.UzPov);
    EXPECT_TRUE(static_cast<ISchemeHost&>(*w).CheckSchemeAgainstCalcData());
    EXPECT_EQ(0u, messages.PendingExpectations());

    // A failing check: the menu command adds no box of its own.
    Branch(4, 3, 4, 3);
    w->IndexCalcDataGrids();
    messages.Expect(mrOk, "Схема не соответствует расчетным данным\r\nСмотрите закладку "
                          "\"Лог\"!\r\n");
    w->MEQClick();
    EXPECT_EQ(0u, messages.PendingExpectations());
}

// Nothing drawn, branches in the table: each is missing, the box is shown,
// and surface nodes of the data window stay as they were.
TEST_F(SchemeChecksTest, EmptyPlanMissesEveryTableBranch) {
    Branch(2, 5, 1, 2);
    Branch(3, 6, 2, 3);
    t.UzPov = "1;";
    w->IndexCalcDataGrids();
    messages.Expect(mrOk, "На схеме отсутсутствуют ветви, имеющиеся в расчетных данных\r\n"
                          "Смотрите закладку \"Лог\"!\r\n");
    EXPECT_FALSE(static_cast<ISchemeHost&>(*w).CheckSchemeAgainstCalcData());
    EXPECT_EQ(
        (std::vector<std::string>{Ru("W:Ветви 5 нет на схеме"), Ru("W:Ветви 6 нет на схеме")}),
        w->Logger);
    EXPECT_EQ("1;", t.UzPov);
    EXPECT_EQ(2, w->PageBookIndex);
}
