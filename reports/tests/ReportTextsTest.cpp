// The report tables as text: which cells, which separators, where the line
// ends fall, and that a cell's own ';' or TAB stays inside its cell.
#include "reports/ReportTexts.h"

#include "platform/Cp1251.h"
#include "platform/testing/ScriptedServices.h"

#include <gtest/gtest.h>

namespace arv {
namespace {

struct ReportTextsTest : ::testing::Test {
    TCalcContext c;
    TNetworkTables t{c};
    TReportColumns columns{};

    void SetUp() override {
        t.InitTables();
        t.NameSh = Ru("Шахта");
        t.NameVar = Ru("Вариант");
        for (int n = 0; n < 23; ++n) {
            t.TablDan.SetCells(n, 0, "h" + std::to_string(n));
            t.TablDan.SetCells(n, 1, "l" + std::to_string(n));
        }
    }
    void DanRow(int row, std::initializer_list<std::pair<int, const char*>> cells) {
        if (t.TablDan.RowCount() <= row) t.TablDan.SetRowCount(row + 1);
        for (auto [col, text] : cells) t.TablDan.SetCells(col, row, Ru(text));
    }
};

TEST_F(ReportTextsTest, WordGeneralTableJoinsChosenColumnsWithSemicolons) {
    columns[5] = columns[15] = true;
    t.TablDan.SetRowCount(2);
    DanRow(2, {{0, "7"}, {5, "1.25"}, {15, "Лава 'А'"}, {6, "skipped"}});
    DanRow(3, {{0, "8"}, {5, "3"}, {15, "Штрек"}});
    TReportTable r = BuildMainTableText(t, columns);
    EXPECT_EQ(Ru("Шахта\nВариант\nТаблица\n"), r.Lead);
    // Comma decimals and blanks for apostrophes in data cells; the last
    // line has no LF.
    EXPECT_EQ(r.Lead + "h0 l0;h5 l5;h15 l15\n7;1,25;" + Ru("Лава  А ") + "\n8;3;" + Ru("Штрек"),
              r.Text);
    EXPECT_EQ(3, r.ColumnCount);
    ASSERT_EQ(3u, r.Rows.size());
    EXPECT_EQ(TReportRow({"7", "1,25", Ru("Лава  А ")}), r.Rows[1]);
}

TEST_F(ReportTextsTest, BranchNumberColumnIsAlwaysTakenAndNoDataRowCountsZero) {
    // Box 0 cleared in the settings still exports the number column.
    t.TablDan.SetRowCount(2);
    TReportTable word = BuildMainTableText(t, columns);
    EXPECT_EQ(word.Lead + "h0 l0\n", word.Text);
    EXPECT_EQ(0, word.ColumnCount);
    DanRow(2, {{0, "1"}});
    EXPECT_EQ(1, BuildMainTableText(t, columns).ColumnCount);
    TReportTable excel = ExcelMainTableText(t, columns);
    EXPECT_EQ(1, excel.ColumnCount);
    EXPECT_EQ("h0\t\nl0\t\n1\t", excel.Text);
}

TEST_F(ReportTextsTest, ExcelGeneralTableEndsLinesWithTabUnlessLastColumnIsChosen) {
    t.TablDan.SetRowCount(2);
    DanRow(2, {{0, "1"}, {21, "12.5"}});
    EXPECT_EQ("h0\t\nl0\t\n1\t", ExcelMainTableText(t, columns).Text);
    columns[21] = true;
    TReportTable r = ExcelMainTableText(t, columns);
    EXPECT_EQ("h0\th21\nl0\tl21\n1\t12,5", r.Text);
    EXPECT_EQ(2, r.ColumnCount);
    EXPECT_EQ(3u, r.Rows.size());
}

TEST_F(ReportTextsTest, ConsumersAndFansWordTextsKeepCellsAsTyped) {
    t.TablPotr.SetRowCount(3);
    for (int col = 0; col < 6; ++col) t.TablPotr.SetCells(col, 2, "1." + std::to_string(col));
    // A hidden cell beyond the grid's columns is no part of the table.
    t.TablPotr.SetCells(7, 2, "hidden");
    TReportTable r = BuildConsumersText(t);
    EXPECT_EQ(Ru("Шахта\nВариант\nПотребители\n"), r.Lead);
    EXPECT_TRUE(r.Text.ends_with("\n1.0\t1.1\t1.2\t1.3\t1.4\t1.5\n")) << r.Text;
    EXPECT_EQ(6u, r.Rows[0].size());

    t.TablVen.SetRowCount(2);
    TReportTable fans = BuildFansText(t);
    EXPECT_EQ(Ru("Шахта\nВариант\nВентиляторы\n"), fans.Lead);
    // Only the heading: the grid has no data row.
    EXPECT_EQ(1u, fans.Rows.size());
    EXPECT_EQ(8u, fans.Rows[0].size());
    EXPECT_TRUE(fans.Text.ends_with("\n"));
}

TEST_F(ReportTextsTest, ExcelConsumersAndFansHaveOneFieldMoreThanTheGrid) {
    t.TablPotr.SetRowCount(3);
    t.TablVen.SetRowCount(3);
    t.TablPotr.SetCells(2, 2, "2.5");
    TReportTable potr = ExcelConsumersText(t);
    TReportTable ven = ExcelFansText(t);
    for (const TReportRow& row : potr.Rows) {
        ASSERT_EQ(7u, row.size());
        EXPECT_EQ("", row[6]);
    }
    for (const TReportRow& row : ven.Rows) EXPECT_EQ(9u, row.size());
    EXPECT_EQ("2,5", potr.Rows[2][2]);
    EXPECT_EQ(3, ReportLineCount(potr.Text));
    EXPECT_TRUE(potr.Text.ends_with("\t\n"));
}

TEST_F(ReportTextsTest, SeparatorsTypedIntoCellsStayInTheirCells) {
    t.TablDan.SetRowCount(2);
    DanRow(2, {{0, "1"}, {15, "a;b\tc"}});
    columns[15] = true;
    TReportTable r = BuildMainTableText(t, columns);
    ASSERT_EQ(2u, r.Rows[1].size());
    EXPECT_EQ("a;b\tc", r.Rows[1][1]);
}

TEST(ReportTextHelpers, SplitsLinesAndCellsAndFindsMarkers) {
    EXPECT_TRUE(SplitReportText("").empty());
    EXPECT_EQ(std::vector<TReportRow>({{"a", "b"}, {"c", ""}}), SplitReportText("a\tb\nc\t"));
    EXPECT_EQ(std::vector<TReportRow>({{"a"}, {""}}), SplitReportText("a\n\n"));
    EXPECT_EQ(2, ReportLineCount("x\ny\n"));
    EXPECT_EQ(3, MarkerOffset("ab Nom", "Nom"));
    EXPECT_EQ(-1, MarkerOffset("ab", "Nom"));
}

TEST(ReportClipboard, EmptyTextLeavesTheClipboardAlone) {
    test::TMemoryClipboardDouble clipboard;
    clipboard.SetText("before");
    CopyTextToClipboard("");
    EXPECT_EQ("before", clipboard.GetText());
    CopyTextToClipboard(Ru("абв"));
    EXPECT_EQ(Ru("абв"), clipboard.GetText());
}

} // namespace
} // namespace arv
