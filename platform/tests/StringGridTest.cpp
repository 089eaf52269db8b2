#include "platform/StringGrid.h"

#include <gtest/gtest.h>

using namespace arv;

namespace {
struct TRecorder : IGridListener {
    std::vector<TGridChange> changes;
    void GridChanged(TStringGridModel&, TGridChange what, int, int) override {
        changes.push_back(what);
    }
};
} // namespace

TEST(StringGrid, CellsBeyondTheCountsStayHiddenAndReappear) {
    TStringGridModel g;
    g.SetColCount(23);
    g.SetRowCount(4);
    g.SetCells(30, 2, "hidden");
    EXPECT_EQ("hidden", g.Cells(30, 2));
    EXPECT_EQ(23u, g.Rows(2).size());
    g.SetColCount(31);
    EXPECT_EQ("hidden", g.Rows(2)[30]);

    g.SetCells(1, 3, "x");
    g.SetRowCount(2);
    EXPECT_TRUE(g.Cols(1).size() == 2);
    g.SetRowCount(5);
    EXPECT_EQ("x", g.Cells(1, 3));
    EXPECT_EQ("", g.Cells(-1, 0));
    g.SetCells(-1, 0, "ignored");
    EXPECT_EQ(3, g.LastFilledRow());
    EXPECT_EQ(30, g.LastFilledCol());
}

TEST(StringGrid, NoDataRowsIsLegal) {
    TStringGridModel g;
    g.SetFixedRows(2);
    g.SetRowCount(2);
    EXPECT_EQ(2, g.RowCount());
    g.SetRowCount(0);
    EXPECT_EQ(0, g.RowCount());
    EXPECT_FALSE(g.SetCurrent(1, 2));
    g.SetRowCount(3);
    EXPECT_TRUE(g.SetCurrent(1, 2));
}

TEST(StringGrid, RowsMoveWithTheirCells) {
    TStringGridModel g;
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.SetColCount(2);
    g.SetRowCount(4);
    for (int r = 0; r < 4; ++r) g.SetCells(0, r, std::to_string(r));
    g.SetCells(0, 6, "beyond");
    g.InsertRow(1);
    EXPECT_EQ(5, g.RowCount());
    EXPECT_EQ("0", g.Cells(0, 0));
    EXPECT_EQ("", g.Cells(0, 1));
    EXPECT_EQ("1", g.Cells(0, 2));
    EXPECT_EQ("beyond", g.Cells(0, 7));
    g.DeleteRow(0);
    EXPECT_EQ(4, g.RowCount());
    EXPECT_EQ("", g.Cells(0, 0));
    EXPECT_EQ("3", g.Cells(0, 3));
    g.MoveRow(3, 0);
    EXPECT_EQ("3", g.Cells(0, 0));
    EXPECT_EQ("", g.Cells(0, 1));
    g.ClearRow(0);
    EXPECT_EQ("", g.Cells(0, 0));
    g.ClearAll();
    EXPECT_EQ(-1, g.LastFilledRow());
    EXPECT_EQ(4, g.RowCount());
}

TEST(StringGrid, ColumnsMoveWithCellsAndWidths) {
    TStringGridModel g;
    g.SetColCount(3);
    g.SetCells(0, 0, "a");
    g.SetCells(2, 0, "c");
    g.SetColWidths(2, 99);
    g.MoveCol(2, 0);
    EXPECT_EQ("c", g.Cells(0, 0));
    EXPECT_EQ("a", g.Cells(1, 0));
    EXPECT_EQ(99, g.ColWidths(0));
    g.DeleteCol(0);
    EXPECT_EQ("a", g.Cells(0, 0));
    EXPECT_EQ(2, g.ColCount());
    g.InsertCol(0);
    EXPECT_EQ("a", g.Cells(1, 0));
}

TEST(StringGrid, CurrentCellScrollsIntoViewAndCanBeRefused) {
    TStringGridModel g;
    g.SetFixedRows(2);
    g.SetFixedCols(0);
    g.SetColCount(5);
    g.SetRowCount(100);
    g.SetVisibleCounts(5, 10);
    EXPECT_TRUE(g.SetCurrent(0, 50));
    EXPECT_EQ(41, g.TopRow());
    EXPECT_TRUE(g.SetCurrent(0, 20));
    EXPECT_EQ(20, g.TopRow());
    g.OnSelectCell = [](TStringGridModel&, int col, int, bool& can) { can = col != 3; };
    EXPECT_FALSE(g.SetCurrent(3, 20));
    EXPECT_EQ(0, g.Col());
    EXPECT_FALSE(g.SetCurrent(7, 2));
    g.SetTopRow(0);
    EXPECT_EQ(2, g.TopRow());
    g.SetRowCount(10);
    EXPECT_LE(g.Row(), 9);
}

TEST(StringGrid, KeysAndEventsReachTheOwner) {
    TStringGridModel g;
    int downs = 0;
    std::string typed;
    g.OnKeyDown = [&](TStringGridModel&, int& key, TShiftState s) {
        ++downs;
        if (key == VK_F7 && (s & ssCtrl)) key = 0;
    };
    g.OnKeyPress = [&](TStringGridModel&, char& c) { typed += c; };
    int key = VK_F7;
    g.KeyDown(key, ssCtrl);
    EXPECT_EQ(0, key);
    char c = 'x';
    g.KeyPress(c);
    EXPECT_EQ("x", typed);
    std::string edited;
    g.OnSetEditText = [&](TStringGridModel&, int, int, const std::string& t) { edited = t; };
    g.SetEditText(1, 1, "5,5");
    EXPECT_EQ("5,5", g.Cells(1, 1));
    EXPECT_EQ("5,5", edited);
    EXPECT_EQ(1, downs);
}

TEST(StringGrid, ListenersHearChangesAndBatchedUpdatesOnce) {
    TStringGridModel g;
    TRecorder rec;
    g.AddListener(&rec);
    g.SetCells(1, 1, "a");
    g.SetCells(1, 1, "a"); // no change, no notice
    ASSERT_EQ(1u, rec.changes.size());
    EXPECT_EQ(TGridChange::Cell, rec.changes[0]);
    rec.changes.clear();
    g.BeginUpdate();
    for (int i = 0; i < 100; ++i) g.SetCells(0, i, "x");
    g.SetRowCount(200);
    g.EndUpdate();
    ASSERT_EQ(1u, rec.changes.size());
    EXPECT_EQ(TGridChange::Structure, rec.changes[0]);
    g.RemoveListener(&rec);
    g.SetCells(2, 2, "b");
    EXPECT_EQ(1u, rec.changes.size());
}
