// Commands that carry the plan into the tables: the table generated from the
// plan, one branch added, the name and a cell taken from the data grid; and
// the whole way from the sample plan to its computed flows on the labels.
#include "DrawWinTestSupport.h"

#include "document/TextFigures.h"
#include "platform/NumberParse.h"
#include "platform/RecordingCanvas.h"

#include <map>

using namespace arv;
using namespace arv::test;

namespace {

struct CalcCommandsTest : DrawWinTest {
    CalcCommandsTest() {
        t.InitTables();
        w->SetCalcGrids(&t.TablDan, &t.TablDavl);
    }
    std::vector<std::string> TableRow(int r) {
        return {t.TablDan.Cells(0, r), t.TablDan.Cells(1, r), t.TablDan.Cells(2, r),
                t.TablDan.Cells(15, r)};
    }
    int RowOf(int number) {
        for (int r = t.TablDan.FixedRows(); r < t.TablDan.RowCount(); ++r)
            if (Trim(t.TablDan.Cells(0, r)) == std::to_string(number)) return r;
        return -1;
    }
};

} // namespace

TEST_F(CalcCommandsTest, GeneratingTablesAsksOnceAndWritesARowForEachBranch) {
    messages.Expect(mrOk, "Документ пуст!!!");
    w->MGenDanClick();

    // Figures: branch 10 (5 -> 7), a text, branch -3 (7 -> -2), branch 4
    // (-2 -> 8). Nodes in the order they were met: 5, 7, -2, 8.
    AddBranch({0, 0}, {100, 0}, 10, 5, 7)->name = "a";
    w->Doc().AddFigure(kKindText);
    AddBranch({100, 0}, {200, 0}, -3, 7, -2)->name = "b";
    AddBranch({200, 0}, {300, 0}, 4, -2, 8)->name = "c";
    t.TablDan.SetRowCount(5);
    t.TablDan.SetCells(0, 4, "99");

    messages.Expect(mrNo);
    w->MGenDanClick();
    EXPECT_EQ(10, w->Doc().BranchAt(0)->number);
    EXPECT_EQ("99", t.TablDan.Cells(0, 4));

    // Unsaved data: the data window's own question, cancelled, leaves the
    // drawing as it was.
    t.TablDan.Modified = true;
    messages.Expect(mrYes);
    messages.Expect(mrCancel, "Сохранить данные?");
    w->MGenDanClick();
    EXPECT_EQ(10, w->Doc().BranchAt(0)->number);
    EXPECT_EQ(5, w->Doc().BranchAt(0)->beginNode);
    EXPECT_EQ("99", t.TablDan.Cells(0, 4));
    t.TablDan.Modified = false;

    // One question for the whole renumbering; none per node.
    messages.Expect(mrYes, "ВНИМАНИЕ!!!\r\nДанные из таблицы расчетов будут удалены и заменены "
                           "новыми\r\nПродолжить [Да] [Нет]");
    w->MGenDanClick();
    EXPECT_EQ(0u, messages.PendingExpectations());
    EXPECT_EQ(5u, messages.Shown().size());
    // No empty row for the text: the calculation would stop at it.
    EXPECT_EQ(5, t.TablDan.RowCount());
    EXPECT_EQ((std::vector<std::string>{"1", "1", "2", "a"}), TableRow(2));
    EXPECT_EQ((std::vector<std::string>{"2", "2", "3", "b"}), TableRow(3));
    EXPECT_EQ((std::vector<std::string>{"3", "3", "4", "c"}), TableRow(4));
    TGCollFigure& doc = w->Doc();
    EXPECT_EQ(3, doc.BranchAt(3)->number);
    EXPECT_EQ(3, doc.BranchAt(3)->beginNode);
    EXPECT_EQ(4, doc.BranchAt(3)->endNode);
    for (int32_t i = 0; i < doc.nodes.Count(); ++i) EXPECT_EQ(i + 1, doc.nodes.Record(i).number);
    EXPECT_EQ(-5, doc.nodes.nextTempNumber);
    ASSERT_EQ(3, w->BranchIndexCount());
    EXPECT_EQ(3, w->BranchIndex()[1].row);
    EXPECT_EQ(1, doc.BranchAt(2)->Caption(1).b); // linked to the new rows
    EXPECT_TRUE(w->DrawingModified);
}

TEST_F(CalcCommandsTest, AddingABranchMakesItsNumbersPositiveAndRefusesDuplicates) {
    messages.Expect(mrOk, "Объект не найден");
    w->AddExtClick();

    TGLine* b = AddBranch({0, 0}, {100, 0}, -6, -1, -2);
    b->name = "n";
    w->AddExtClick();
    EXPECT_EQ(6, b->number);
    EXPECT_EQ(1, b->beginNode);
    EXPECT_EQ(2, b->endNode);
    EXPECT_EQ("1", w->Datagrid.Cells(1, 1));
    EXPECT_EQ("2", w->Datagrid.Cells(1, 2));
    const int row = RowOf(6);
    ASSERT_GE(row, 2);
    EXPECT_EQ((std::vector<std::string>{"6", "1", "2", "n"}), TableRow(row));
    EXPECT_EQ(1, w->BranchIndexCount());
    EXPECT_EQ(0, b->Caption(1).b);
    EXPECT_TRUE(t.TablDan.Modified);

    // The same branch again: the table already has it.
    const int rows = t.TablDan.RowCount();
    t.TablDan.SetCells(15, row, "kept");
    messages.Expect(mrOk, "Ветвь 6 уже есть в таблице расчета. Ветвь не добавлена");
    w->AddExtClick();
    EXPECT_EQ(rows, t.TablDan.RowCount());
    EXPECT_EQ("kept", t.TablDan.Cells(15, row));

    // A temporary number whose positive value another branch carries.
    TGLine* c = AddBranch({100, 0}, {200, 0}, -6, 2, -3);
    messages.Expect(mrOk, "Значение ветви уже используется");
    w->AddExtClick();
    EXPECT_EQ(-6, c->number);
    EXPECT_EQ(-3, c->endNode);
}

TEST_F(CalcCommandsTest, DataGridEditsReachTheIndexedRow) {
    TGLine* b = AddBranch({0, 0}, {100, 0}, 6, 1, 2);
    // Branch 6 stands in row 5, below an empty row and a row of branch 9.
    t.TablDan.SetRowCount(6);
    for (auto [r, n] : {std::pair{2, 9}, std::pair{5, 6}}) {
        t.TablDan.SetCells(0, r, std::to_string(n));
        t.TablDan.SetCells(1, r, "1");
        t.TablDan.SetCells(2, r, "2");
    }
    w->IndexCalcDataGrids();
    w->LinkBranchesToCalcData();
    ASSERT_EQ(1, b->Caption(1).b);

    w->Datagrid.SetCells(1, 4, "0,25");
    w->Datagrid.SetCells(1, 15, Ru("Штрек"));
    w->Datagrid.SetRowCount(23);
    w->Datagrid.SetColCount(2);
    w->Datagrid.SetCol(1);
    w->Datagrid.SetRow(4);
    t.TablDan.Modified = false;
    w->DatagridKeyPress('a');
    EXPECT_EQ("", t.TablDan.Cells(4, 5));
    w->DatagridKeyPress('\r');
    EXPECT_EQ("0,25", t.TablDan.Cells(4, 5));
    EXPECT_EQ("", t.TablDan.Cells(4, 3)); // not first data row + position
    EXPECT_TRUE(t.TablDan.Modified);

    // A new branch number written from the grid is in the index at once.
    w->Datagrid.SetCells(1, 0, "16");
    w->Datagrid.SetRow(0);
    w->DatagridKeyPress('\r');
    EXPECT_EQ("16", t.TablDan.Cells(0, 5));
    EXPECT_EQ(1, w->FindBranchIndexEntry(0, 16));

    w->FromExtClick();
    EXPECT_EQ(Ru("Штрек"), b->name);
    w->Doc().current = -1;
    messages.Expect(mrOk, "Объект не найден");
    w->FromExtClick();
}

// The sample mine: its plan, the tables generated from the plan, the input
// columns of the sample's rows put back, the check, the natural distribution
// of the data window; every flow label shows the table's flow of its branch.
TEST_F(CalcCommandsTest, SamplePlanGeneratedAndComputedShowsTheTablesFlows) {
    std::filesystem::copy_file(std::string(ARV_BIN_DIR) + "/SampleMine.grh",
                               dir / "SampleMine.grh");
    Start();
    dialogs.Answer(File("SampleMine.grh"));
    w->Open1Click();
    ASSERT_TRUE(messages.Shown().empty());
    std::map<std::string, std::vector<std::string>> inputByName;
    for (int r = 2; r < t.TablDan.RowCount(); ++r) {
        std::vector<std::string> cells;
        for (int col = 0; col < t.TablDan.ColCount(); ++col)
            cells.push_back(t.TablDan.Cells(col, r));
        if (!Trim(cells[0]).empty()) inputByName[t.TablDan.Cells(15, r)] = cells;
    }
    ASSERT_EQ(14u, inputByName.size());
    // The fan table names its fans by branch number.
    std::vector<std::vector<std::string>> fans;
    for (int r = t.TablVen.FixedRows(); r < t.TablVen.RowCount(); ++r) {
        std::vector<std::string> cells;
        for (int col = 0; col < t.TablVen.ColCount(); ++col)
            cells.push_back(t.TablVen.Cells(col, r));
        if (!Trim(cells[0]).empty()) fans.push_back(cells);
    }
    ASSERT_EQ(2u, fans.size());

    messages.Expect(mrYes);
    w->MGenDanClick();
    ASSERT_EQ(0u, messages.PendingExpectations());
    TGCollFigure& doc = w->Doc();
    int branches = 0;
    for (int32_t i = 0; i < doc.Count(); ++i) {
        const TGBranch* b = doc.BranchAt(i);
        if (!b) continue;
        ++branches;
        const int r = RowOf(b->number);
        ASSERT_GE(r, 2);
        const auto& in = inputByName.at(b->name);
        for (int col = 3; col < static_cast<int>(in.size()); ++col)
            if (col != 11 && col != 12 && col != 15) t.TablDan.SetCells(col, r, in[col]);
    }
    EXPECT_EQ(14, branches);
    for (auto& fan : fans) {
        std::string name;
        for (const auto& [n, row] : inputByName)
            if (Trim(row[0]) == Trim(fan[0])) name = n;
        for (int32_t i = 0; i < doc.Count(); ++i)
            if (doc.BranchAt(i) && doc.BranchAt(i)->name == name)
                fan[0] = std::to_string(doc.BranchAt(i)->number);
    }
    t.TablVen.SetRowCount(t.TablVen.FixedRows() + static_cast<int>(fans.size()));
    for (size_t k = 0; k < fans.size(); ++k)
        for (size_t col = 0; col < fans[k].size(); ++col)
            t.TablVen.SetCells(int(col), t.TablVen.FixedRows() + int(k), fans[k][col]);

    // The check agrees and hands the surface nodes of the plan to the tables.
    messages.Expect(mrOk, "Схема соответствует расчетным данным");
    w->MEQClick();
    EXPECT_EQ(4u, std::count(t.UzPov.begin(), t.UzPov.end(), ';'));

    // The branch shown on the data page follows the run.
    for (int32_t i = 0; i < doc.Count(); ++i)
        if (doc.BranchAt(i)) doc.current = i;
    w->ShowProperties(false);
    messages.AllowAny();
    messages.Clear();
    data.Rasc_ERClick();
    for (const std::string& m : messages.ShownUtf8()) ADD_FAILURE() << m;
    ASSERT_EQ('E', calc.CalcOptions[2]);
    ASSERT_GE(w->BranchTableRow, 2);
    EXPECT_EQ(t.TablDan.Cells(11, w->BranchTableRow), w->Datagrid.Cells(1, 11));
    w->LinkBranchesToCalcData();

    // Label by label, and as the drawing's label pass writes them.
    std::multiset<std::string> expected;
    for (int32_t i = 0; i < doc.Count(); ++i) {
        TGBranch* b = doc.BranchAt(i);
        if (!b) continue;
        const std::string flow = t.TablDan.Cells(11, RowOf(b->number));
        ASSERT_FALSE(Trim(flow).empty()) << b->number;
        TRecordingCanvas c;
        EXPECT_FALSE(w->GetFigureLabel(c, b->number, 1, b->Caption(1).b, &LabelTextOut, doc));
        ASSERT_EQ(1u, c.Calls("TextOut").size()) << b->number;
        EXPECT_EQ("[" + flow + "]", c.Calls("TextOut")[0]->text);
        expected.insert("[" + flow + "]");
    }
    // The flows balance: what enters by the main shaft and the adit leaves
    // by the two fans (to the rounding of the table's texts).
    auto flowOf = [&](const char* name) {
        for (int32_t i = 0; i < doc.Count(); ++i)
            if (doc.BranchAt(i) && doc.BranchAt(i)->name == Ru(name))
                return StrToFloat(Trim(t.TablDan.Cells(11, RowOf(doc.BranchAt(i)->number))));
        ADD_FAILURE() << name;
        return 0.0;
    };
    const double in = flowOf("Ствол главный") + flowOf("Естественная тяга штольни");
    EXPECT_GT(in, 1.0);
    EXPECT_NEAR(in, flowOf("Вентилятор ВЦ-25 №1") + flowOf("Вентилятор ВОД-21 №2"), 0.05);
    doc.display.caption = {};
    doc.display.caption[1] = 1;
    doc.UpdateViewSize(800, 600);
    doc.BuildVisibleList();
    TRecordingCanvas plan;
    doc.DrawBracketLabels(plan, false);
    std::multiset<std::string> drawn;
    for (const TCanvasCall* call : plan.Calls("TextOut"))
        if (!call->text.empty() && call->text[0] == '[') drawn.insert(call->text);
    EXPECT_EQ(expected, drawn);
}
