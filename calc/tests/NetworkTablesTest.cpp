#include "calc/model/NetworkTables.h"
#include "calc/model/CalcModel.h"

#include "platform/Cp1251.h"
#include "platform/testing/ScriptedServices.h"

#include <gtest/gtest.h>

using namespace arv;

namespace {

// A fresh set of tables per test; the program's global one is never touched.
struct TablesTest : ::testing::Test {
    TCalcContext calc;
    TNetworkTables t{calc};
    void AddBranch(int row, const char* number, const char* type = "", const char* required = "",
                   const char* name = "") {
        if (t.TablDan.RowCount() <= row) t.TablDan.SetRowCount(row + 1);
        t.TablDan.SetCells(0, row, number);
        t.TablDan.SetCells(3, row, Ru(type));
        t.TablDan.SetCells(10, row, required);
        t.TablDan.SetCells(15, row, Ru(name));
    }
};

std::string HeadingLine(const TModGrid& g, int row) {
    std::string s;
    for (int c = 0; c < g.ColCount(); ++c) s += g.Cells(c, row) + "|";
    return Cp1251ToUtf8(s);
}

} // namespace

TEST_F(TablesTest, HeadingsAreTheWindowsTextsByteForByte) {
    EXPECT_EQ(
        "Номер|Нач.|Кон.|Тип |Сопрот.|Длина|Сеч. |К.аэр|Зад.R|Расч.R|Треб.|Расход.|Расход |Скор.|"
        "Депресс.| Наименование  |Газов.|Конц.|Ест.т. |Вр.распр|Высота|Количество|Угол|",
        HeadingLine(t.TablDan, 0));
    EXPECT_EQ("ветви|узел|узел|ветви|выраб., km|  м  |кв.м |сопр.|регул, km|регул., "
              "km|расх.|нор.реж|ав.реж | м/с "
              "|мм.вд.ст|  выработки    |м3/мин|газа,%|Тепл.д.|пож.,мин|выр-ки|людей|наклона|",
              HeadingLine(t.TablDan, 1));
    EXPECT_EQ("Номер|Тип|Угол|Коэф.|Коэф.|Коэф.| Расход  |Депрессия|", HeadingLine(t.TablVen, 0));
    EXPECT_EQ("ветви|вентилятора|лопаток|  А  |  В  |  С  |воздуха, м3/с|мм.вд.ст.|",
              HeadingLine(t.TablVen, 1));
    EXPECT_EQ("Номер| Тип |Требуемый|Расчетный|Обеспеченность,|Наименование|",
              HeadingLine(t.TablPotr, 0));
    EXPECT_EQ("ветви|ветви|расход|расход|    %     | |", HeadingLine(t.TablPotr, 1));
    EXPECT_EQ("  №  |Давление|Входящие|Исходящие|Вертикальная|Координата|Координата|",
              HeadingLine(t.TablDavl, 0));
    EXPECT_EQ("узла|мм.вод.ст| ветви | ветви |  отметка   |  Х       |  Y   |",
              HeadingLine(t.TablDavl, 1));
    // The coefficient headings are Cyrillic letters; Y and R are Latin.
    EXPECT_EQ("  \xC0  ", t.TablVen.Cells(3, 1));
    EXPECT_EQ("  Y   ", t.TablDavl.Cells(6, 1));
    EXPECT_EQ(HeadingLine(t.TablDan, 0), HeadingLine(t.TablDanRev, 0));
    EXPECT_EQ(HeadingLine(t.TablVen, 1), HeadingLine(t.TablVenRev, 1));
    EXPECT_EQ(23, t.TablDanRev.ColCount());
    EXPECT_EQ(8, t.TempTableM.ColCount());
    EXPECT_EQ(7, t.TempTableS.ColCount());
    EXPECT_EQ(0, t.TempTableM.FixedRows());
}

TEST_F(TablesTest, InitialDataTableInBothLayouts) {
    AddBranch(2, "7");
    t.TablDan.SetCells(1, 2, "1");
    t.TablDan.SetCells(4, 2, "0,05");
    t.BuildTablID('H');
    EXPECT_EQ(7, t.TablID.ColCount());
    EXPECT_EQ(4, t.TablID.RowCount());
    EXPECT_EQ("Номер|Нач.|Кон.|Нач.|Кон.|Расход|Сопрот.|", HeadingLine(t.TablID, 0));
    EXPECT_EQ("ветви|узел|узел|давл.|давл.|воздуха|выраб., km|", HeadingLine(t.TablID, 1));
    EXPECT_EQ("7", t.TablID.Cells(0, 2));
    EXPECT_EQ("0,05", t.TablID.Cells(6, 2));
    t.BuildTablID('R');
    EXPECT_EQ(4, t.TablID.ColCount());
    EXPECT_EQ("Номер|Нач.|Кон.|Сопрот.|", HeadingLine(t.TablID, 0));
    EXPECT_EQ("0,05", t.TablID.Cells(3, 2));
    EXPECT_EQ("", t.TablID.Cells(6, 2)); // nothing left of the other layout
}

TEST_F(TablesTest, EnterWalksTheCellsAndAppendsARowAfterTheLast) {
    TModGrid& g = t.TablDan;
    g.SetRowCount(3);
    g.SetVisibleCounts(10, 20);
    g.SetCurrent(21, 2);
    char enter = '\r';
    g.KeyPress(enter);
    EXPECT_EQ(22, g.Col());
    EXPECT_FALSE(g.Modified);
    g.KeyPress(enter);
    EXPECT_EQ(4, g.RowCount());
    EXPECT_EQ(0, g.Col());
    EXPECT_EQ(3, g.Row());
    EXPECT_EQ(0, g.LeftCol());
    char a = 'a';
    g.KeyPress(a);
    EXPECT_TRUE(g.Modified);
}

TEST_F(TablesTest, EnterKeepsTheNextColumnInSightWithoutDividingByZero) {
    TModGrid& g = t.TablDan;
    g.SetVisibleCounts(5, 20);
    g.SetCurrent(4, 2);
    g.SetLeftCol(0);
    g.SetColWidths(0, 0); // hidden leftmost columns
    g.SetColWidths(1, 0);
    g.AdvanceCell();
    EXPECT_EQ(5, g.Col());
    EXPECT_GE(g.LeftCol(), 1);
    g.SetColWidths(0, 64);
    g.SetColWidths(1, 64);
    g.SetLeftCol(0);
    g.SetCurrent(3, 2);
    g.SetColWidths(5, 128); // twice as wide as the leftmost
    g.AdvanceCell();
    EXPECT_EQ(4, g.Col());
    EXPECT_EQ(2, g.LeftCol());
    // The vertical follow-up: the row below the visible ones scrolls in.
    g.SetVisibleCounts(5, 3);
    g.SetTopRow(2);
    g.SetRowCount(6);
    g.SetCurrent(22, 4);
    g.AdvanceCell();
    EXPECT_EQ(5, g.Row());
    EXPECT_EQ(3, g.TopRow());
}

TEST_F(TablesTest, F7AndF8InsertAndRemoveRowsButNotOnHeadings) {
    TModGrid& g = t.TablDan;
    AddBranch(2, "1");
    AddBranch(3, "2");
    g.SetRowCount(4);
    g.SetCurrent(3, 2);
    int f7 = VK_F7;
    g.KeyDown(f7, 0);
    EXPECT_EQ(5, g.RowCount());
    EXPECT_EQ(3, g.Row());
    EXPECT_EQ(0, g.Col());
    EXPECT_EQ("", g.Cells(0, 3));
    EXPECT_EQ("2", g.Cells(0, 4));
    EXPECT_TRUE(g.Modified);
    int f8 = VK_F8;
    g.KeyDown(f8, 0);
    EXPECT_EQ(4, g.RowCount());
    EXPECT_EQ("2", g.Cells(0, 3));

    // On a heading row nothing happens.
    TModGrid h("h");
    h.SetFixedRows(0);
    h.SetFixedCols(0);
    h.SetRowCount(4);
    h.SetCells(0, 1, "heading");
    h.SetCurrent(0, 1);
    f7 = VK_F7;
    h.KeyDown(f7, 0);
    f8 = VK_F8;
    h.KeyDown(f8, 0);
    EXPECT_EQ(4, h.RowCount());
    EXPECT_EQ("heading", h.Cells(0, 1));
    EXPECT_FALSE(h.Modified);
}

TEST_F(TablesTest, CellClipboardKeys) {
    test::TMemoryClipboardDouble clip;
    TModGrid& g = t.TablDan;
    AddBranch(2, "15");
    g.SetCurrent(0, 2);
    char ctrlX = 24;
    g.KeyPress(ctrlX);
    EXPECT_EQ("15", clip.GetText());
    EXPECT_EQ("", g.Cells(0, 2));
    int ins = VK_INSERT;
    g.KeyDown(ins, ssShift);
    EXPECT_EQ("15", g.Cells(0, 2));
    g.SetCurrent(1, 2);
    char ctrlV = 22;
    g.KeyPress(ctrlV);
    EXPECT_EQ("15", g.Cells(1, 2));
    g.SetCells(2, 2, "x");
    g.SetCurrent(2, 2);
    int insCtrl = VK_INSERT;
    g.KeyDown(insCtrl, ssCtrl);
    EXPECT_EQ("x", clip.GetText());
    int del = VK_DELETE;
    g.KeyDown(del, ssCtrl);
    EXPECT_EQ("", g.Cells(2, 2));
    int delShiftCtrl = VK_DELETE;
    g.SetCells(2, 2, "y");
    g.KeyDown(delShiftCtrl, ssCtrl | ssShift); // not Ctrl alone
    EXPECT_EQ("y", g.Cells(2, 2));
}

TEST_F(TablesTest, ATableWithoutDataRowsKeepsItsHeadings) {
    // The consumer table after its last consumer was removed: the cursor can
    // only stand on a heading row.
    test::TMemoryClipboardDouble clip;
    clip.SetText("7");
    TModGrid& g = t.TablPotr;
    g.SetRowCount(2);
    g.SetCurrent(0, 1);
    ASSERT_EQ(1, g.Row());
    char ctrlV = 22, ctrlX = 24;
    g.KeyPress(ctrlV);
    g.KeyPress(ctrlX);
    int ins = VK_INSERT, del = VK_DELETE;
    g.KeyDown(ins, ssShift);
    g.KeyDown(del, ssCtrl);
    EXPECT_EQ(Ru("ветви"), g.Cells(0, 1));
    EXPECT_EQ("7", clip.GetText());

    t.TablDan.SetRowCount(2);
    t.TablDan.SetCurrent(3, 1);
    t.ActivePage = PageNetwork;
    t.ShowTypePicker();
    t.VybTipMouseDown(2);
    EXPECT_EQ(Ru("ветви"), t.TablDan.Cells(3, 1));
    EXPECT_FALSE(t.VybTip.Visible);
}

TEST_F(TablesTest, TypePickerWritesTheCodeOfTheLine) {
    AddBranch(2, "1");
    t.TablDan.SetCurrent(3, 2);
    t.ActivePage = PageNetwork;
    t.ShowTypePicker();
    t.VybTipMouseDown(8);
    EXPECT_EQ(Ru("ВМП"), t.TablDan.Cells(3, 2));
    EXPECT_FALSE(t.VybTip.Visible);

    t.TablDanRev.SetRowCount(4);
    t.TablDanRev.SetCells(3, 3, Ru("В"));
    t.TablDanRev.SetCurrent(3, 3);
    t.ActivePage = PageReverse;
    t.ShowTypePicker();
    t.VybTip.ItemIndex = 0; // "         Выработка"
    t.VybTipKeyPress('\r');
    EXPECT_EQ("", t.TablDanRev.Cells(3, 3));
    EXPECT_EQ(Ru("ВМП"), t.TablDan.Cells(3, 2));

    t.ShowTypePicker();
    t.VybTip.ItemIndex = 3;
    t.VybTipKeyPress('x'); // any other key only hides the list
    EXPECT_FALSE(t.VybTip.Visible);
    EXPECT_EQ("", t.TablDanRev.Cells(3, 3));
}

TEST_F(TablesTest, ConsumerTableFollowsTheBranchTableAndWritesBack) {
    AddBranch(2, "1", "", "", "a");
    AddBranch(3, "2", "=", "5", "Лава 1");
    AddBranch(4, "", "", " ", "");
    AddBranch(5, "3", "", "2,5", "b");
    t.TablPotr.SetRowCount(5);
    t.TablPotr.SetCells(3, 3, "stale");
    t.TablDanExit();
    ASSERT_EQ(4, t.TablPotr.RowCount());
    EXPECT_EQ(2, t.TablPotr.FixedRows());
    EXPECT_EQ("2", t.TablPotr.Cells(0, 2));
    EXPECT_EQ("=", t.TablPotr.Cells(1, 2));
    EXPECT_EQ("5", t.TablPotr.Cells(2, 2));
    EXPECT_EQ(Ru("Лава 1"), t.TablPotr.Cells(5, 2));
    EXPECT_EQ("3", t.TablPotr.Cells(0, 3));
    EXPECT_EQ("", t.TablPotr.Cells(3, 3)); // no result of an earlier consumer

    // Edits flow back by trimmed key; selecting a cell does it only when modified.
    t.TablPotr.SetCells(0, 3, " 3 ");
    t.TablPotr.SetCells(2, 3, "4");
    t.TablPotr.SetCells(5, 3, "c");
    bool can = true;
    t.TablPotr.Modified = false;
    t.TablPotrSelectCell(0, 2, can);
    EXPECT_EQ("2,5", t.TablDan.Cells(10, 5));
    t.TablPotr.Modified = true;
    t.TablPotrSelectCell(0, 2, can);
    EXPECT_EQ("4", t.TablDan.Cells(10, 5));
    EXPECT_EQ("c", t.TablDan.Cells(15, 5));
    EXPECT_FALSE(t.TablPotr.Modified);
    t.TablPotr.SetCells(1, 2, Ru("ОЗ"));
    t.TablPotr.DoExit();
    EXPECT_EQ(Ru("ОЗ"), t.TablDan.Cells(3, 3));

    // A consumer row without a key writes nowhere.
    t.TablPotr.SetCells(0, 3, "");
    t.TablPotr.SetCells(2, 3, "9");
    t.TablPotrExit();
    EXPECT_EQ(" ", t.TablDan.Cells(10, 4));
}

TEST_F(TablesTest, ConsumerResultsFollowTheirBranchWhenRowsShift) {
    AddBranch(2, "1");
    AddBranch(3, "5", "ОЗ", "8");
    AddBranch(4, "6", "=", "6");
    t.TablDanExit();
    // Results as the calculation leaves them, with its padded numbers.
    t.TablPotr.SetCells(0, 2, "   5");
    t.TablPotr.SetCells(3, 2, "   13,57");
    t.TablPotr.SetCells(4, 2, "169,6");
    t.TablPotr.SetCells(3, 3, "    6,00");
    t.TablPotr.SetCells(4, 3, "100,0");

    // A new consumer above them moves them one row down.
    t.TablDan.SetCells(10, 2, "4");
    t.TablDanExit();
    ASSERT_EQ(5, t.TablPotr.RowCount());
    EXPECT_EQ("1", t.TablPotr.Cells(0, 2));
    EXPECT_EQ("", t.TablPotr.Cells(3, 2) + t.TablPotr.Cells(4, 2));
    EXPECT_EQ("5", t.TablPotr.Cells(0, 3));
    EXPECT_EQ("   13,57", t.TablPotr.Cells(3, 3));
    EXPECT_EQ("169,6", t.TablPotr.Cells(4, 3));
    EXPECT_EQ("6", t.TablPotr.Cells(0, 4));
    EXPECT_EQ("    6,00", t.TablPotr.Cells(3, 4));
    EXPECT_EQ("100,0", t.TablPotr.Cells(4, 4));
}

TEST_F(TablesTest, F8InTheConsumerTableClearsTheBranchAndRemovesTheRow) {
    AddBranch(2, "1", "=", "5");
    AddBranch(3, "2", "", "3");
    t.TablDanExit();
    t.TablPotr.SetCurrent(0, 2);
    int f8 = VK_F8;
    t.TablPotr.KeyDown(f8, 0);
    EXPECT_EQ("", t.TablDan.Cells(3, 2));
    EXPECT_EQ("", t.TablDan.Cells(10, 2));
    EXPECT_EQ("3", t.TablDan.Cells(10, 3));
    ASSERT_EQ(3, t.TablPotr.RowCount());
    EXPECT_EQ("2", t.TablPotr.Cells(0, 2));
}

TEST_F(TablesTest, GotoBranchRowFindsShowsAndClamps) {
    t.TablDan.SetRowCount(60);
    for (int r = 2; r < 60; ++r) t.TablDan.SetCells(0, r, std::to_string(r + 100));
    t.TablDan.SetVisibleCounts(10, 10);
    t.TablDan.SetCurrent(5, 3);
    t.GotoBranchRow(0, 140);
    EXPECT_EQ(PageNetwork, t.ActivePage);
    EXPECT_EQ(40, t.TablDan.Row());
    EXPECT_EQ(0, t.TablDan.Col());
    EXPECT_EQ(38, t.TablDan.TopRow());
    t.GotoBranchRow(0, 9999); // no such branch: nothing moves
    EXPECT_EQ(40, t.TablDan.Row());
    t.GotoBranchRow(1, 45); // visible: the top row stays
    EXPECT_EQ(45, t.TablDan.Row());
    EXPECT_EQ(38, t.TablDan.TopRow());
    t.GotoBranchRow(1, 100000); // beyond the table: the last row
    EXPECT_EQ(59, t.TablDan.Row());
    t.GotoBranchRow(1, -3);
    EXPECT_EQ(2, t.TablDan.Row());
    EXPECT_EQ(2, t.TablDan.TopRow());

    calc.CalcOptions[40] = 'A';
    t.TablDanRev.SetRowCount(5);
    t.TablDanRev.SetCells(0, 4, "7");
    t.GotoBranchRow(0, 7);
    EXPECT_EQ(PageReverse, t.ActivePage);
    EXPECT_EQ(4, t.TablDanRev.Row());
    calc.CalcOptions[40] = 'X';
    t.ActivePage = PageGeneral;
    t.GotoBranchRow(0, 7);
    EXPECT_EQ(PageGeneral, t.ActivePage);
}

TEST_F(TablesTest, GotoBranchRowWithTheNumberColumnFixed) {
    t.TablDan.SetRowCount(5);
    t.TablDan.SetCells(0, 4, "9");
    t.TablDan.SetFixedCols(1);
    t.TablDan.SetCurrent(6, 2);
    t.GotoBranchRow(0, 9);
    // The cursor cannot stand in a fixed column: the first one beside it.
    EXPECT_EQ(4, t.TablDan.Row());
    EXPECT_EQ(1, t.TablDan.Col());
    EXPECT_EQ(1, t.TablDan.LeftCol());
}

TEST_F(TablesTest, GotoTableRowShowsANode) {
    t.TablDavl.SetRowCount(6);
    t.TablDavl.SetCells(0, 4, " 12");
    t.GotoTableRow(12);
    EXPECT_EQ(PageNodes, t.ActivePage);
    EXPECT_EQ(4, t.TablDavl.Row());
}

TEST_F(TablesTest, EmptyingKeepsHeadingsAndSetsFourRows) {
    AddBranch(40, "1", "", "5");
    t.TempTableM.SetCells(0, 0, "12");
    t.MemoDav.Add("x");
    t.EmptyAllTables();
    EXPECT_EQ(4, t.TablDan.RowCount());
    EXPECT_EQ(4, t.TempTableM.RowCount());
    EXPECT_EQ("", t.TablDan.Cells(0, 40));
    EXPECT_EQ("", t.TempTableM.Cells(0, 0));
    EXPECT_EQ(Ru("Номер"), t.TablDan.Cells(0, 0));
}
