#include "calc/model/TableSort.h"

#include "platform/Cp1251.h"

#include <gtest/gtest.h>

using namespace arv;

namespace {

// Rows 2.. of a two-heading table with the given keys in `col` and a tag in
// column 15 to follow each row.
void Fill(TModGrid& g, int col, const std::vector<std::string>& keys) {
    g.SetFixedCols(0);
    g.SetColCount(23);
    g.SetRowCount(2 + static_cast<int>(keys.size()));
    g.SetFixedRows(2);
    g.SetCells(col, 0, "head");
    for (size_t i = 0; i < keys.size(); ++i) {
        g.SetCells(col, 2 + static_cast<int>(i), keys[i]);
        g.SetCells(15, 2 + static_cast<int>(i), std::string(1, static_cast<char>('a' + i)));
        g.SetCells(25, 2 + static_cast<int>(i),
                   std::string(1, static_cast<char>('a' + i))); // hidden column
    }
    g.SetCurrent(col, 2);
}

std::string Tags(const TModGrid& g) {
    std::string s;
    for (int r = 2; r < g.RowCount(); ++r) s += g.Cells(15, r);
    return s;
}

} // namespace

TEST(TableSort, IntegerColumnsByQuicksortWithItsOrderOfEqualKeys) {
    TModGrid g("t");
    Fill(g, 1, {"2", "1", "2", "1"});
    SortTableRows(g);
    // The partition puts the second 1 before the first and keeps the 2s.
    EXPECT_EQ("dbac", Tags(g));
    EXPECT_EQ("head", g.Cells(1, 0));

    TModGrid h("t");
    Fill(h, 0, {"10", "9", "x", "", "3"});
    SortTableRows(h);
    // "x" and "" both count as 0 and come first.
    EXPECT_EQ("x", h.Cells(0, 2) + h.Cells(0, 3));
    EXPECT_EQ("3", h.Cells(0, 4));
    EXPECT_EQ("9", h.Cells(0, 5));
    EXPECT_EQ("10", h.Cells(0, 6));
    // Whole rows move, hidden cells included.
    for (int r = 2; r < h.RowCount(); ++r) EXPECT_EQ(h.Cells(15, r), h.Cells(25, r));
}

TEST(TableSort, DecimalColumnSortsByValueAndStably) {
    TModGrid g("t");
    Fill(g, 5, {"10", "9", "2.5", "9,0", "1 000"});
    SortTableRows(g);
    EXPECT_EQ("cbdae", Tags(g));
}

TEST(TableSort, OneEmptyCellMakesTheSortTextual) {
    TModGrid g("t");
    Fill(g, 5, {"10", "9", "", "2"});
    SortTableRows(g);
    EXPECT_EQ("cadb", Tags(g)); // "" < "10" < "2" < "9"

    TModGrid n("t");
    Fill(n, 14, {Ru("Штрек"), Ru("Ствол"), "", Ru("штрек")});
    // Names: byte order of the code page, capitals first.
    SortTableRows(n);
    EXPECT_EQ("cbad", Tags(n));
}

TEST(TableSort, ALastRowThatIsNoNumberKeepsTheSortNumeric) {
    TModGrid g("t");
    Fill(g, 5, {"10", "9", "x"});
    SortTableRows(g);
    // "x" counts as 0.
    EXPECT_EQ("cba", Tags(g));
}
