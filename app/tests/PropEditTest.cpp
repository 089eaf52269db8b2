// Values typed into the property grid: what the editor takes, what reaches
// the figure and the tables, what is refused, and that edits are saved.
#include "app/tests/PropTestSupport.h"

#include "app/PropGridBinding.h"
#include "document/Constants.h"
#include "platform/NumberFormat.h"

namespace arv::test {

namespace {

//   1 -(1)- 2 -(2)- 3 -(3)- 4, the table writes some nodes with a blank.
void FillTable(TNetworkTables& t) {
    t.TablDan.SetRowCount(5);
    const char* rows[3][3] = {{"1", "1", " 2"}, {"2", " 2", "3"}, {"3", "3", "4"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) t.TablDan.SetCells(c, r + 2, rows[r][c]);
}

} // namespace

TEST_F(PropTest, EditorTakesKeysMasksAndTextsByRow) {
    ThreeBranches();
    Select(1);
    std::string mask = "keep";
    w->GridPropGetEditMask(1, RowOf(kPropBeginNode), mask);
    EXPECT_EQ("99999;0; ", mask);
    w->GridPropGetEditMask(1, RowOf(kPropStation), mask);
    EXPECT_EQ("999;0; ", mask);
    w->GridPropGetEditMask(1, RowOf(kPropName), mask);
    EXPECT_EQ("", mask);
    mask = "keep";
    w->GridPropGetEditMask(1, RowOf(kPropPhoto), mask);
    EXPECT_EQ("keep", mask);

    // Rows that change only through their dialogs take no typing.
    for (int id : {kPropType, kPropColour, kPropCoords}) {
        Enter(id);
        EXPECT_FALSE(w->GridPropAcceptEditKey('5')) << id;
    }
    Enter(kPropName);
    EXPECT_TRUE(w->GridPropAcceptEditKey('5'));
    EXPECT_TRUE(w->PropEditing);
    EXPECT_EQ(kPropName, w->PropCurrentId);

    // Column 0 cannot be selected.
    bool can = true;
    w->GridPropSelectCell(0, 3, can);
    EXPECT_FALSE(can);

    // Text typed into a cell other than the entered one is not taken.
    w->GridPropSetEditText(1, RowOf(kPropName), Ru("Штрек"));
    EXPECT_EQ(Ru("Штрек"), Value(kPropName));
    w->GridPropSetEditText(1, RowOf(kPropBranch), "99");
    EXPECT_EQ("2", Value(kPropBranch));
}

TEST_F(PropTest, TypedNameAndNumberReachTheBranch) {
    ThreeBranches();
    FillTable(t);
    w->IndexCalcDataGrids();
    Select(1);
    Type(kPropName, Ru("Квершлаг"));
    EXPECT_EQ(Ru("Квершлаг"), w->Doc().BranchAt(1)->name);
    EXPECT_TRUE(w->DrawingModified);
    EXPECT_EQ(Ru("Квершлаг"), Value(kPropName));

    // A number in use is refused with the document's message.
    messages.Expect(mrOk, "Значение ветви уже используется");
    Type(kPropBranch, "3");
    EXPECT_EQ(2, w->Doc().BranchAt(1)->number);
    EXPECT_EQ("2", Value(kPropBranch));
    EXPECT_EQ(TMsgIcon::Error, messages.Shown().back().icon);

    Type(kPropBranch, "  12");
    EXPECT_EQ(12, w->Doc().BranchAt(1)->number);
    EXPECT_EQ("12", Value(kPropBranch));
}

TEST_F(PropTest, NodeRenumberingRenamesTheNodeInTheTable) {
    ThreeBranches();
    FillTable(t);
    w->IndexCalcDataGrids();
    Select(1);
    messages.Expect(mrYes, "Вы действительно хотите заменить\n\rузел 2 на узел 12 ???");
    Type(kPropBeginNode, "12   ");
    EXPECT_EQ(12, w->Doc().BranchAt(1)->beginNode);
    EXPECT_EQ(12, w->Doc().BranchAt(0)->endNode);
    // Cells written " 2" and "2" are the same node.
    EXPECT_EQ("12", t.TablDan.Cells(2, 2));
    EXPECT_EQ("12", t.TablDan.Cells(1, 3));
    EXPECT_EQ("3", t.TablDan.Cells(1, 4));
    EXPECT_EQ("12", w->Datagrid.Cells(1, 1));

    // A node number used elsewhere is refused; nothing changes.
    messages.Expect(mrOk, "Ошибка !!!\n\rНельзя изменить узел [3] на [4]\n\rЗначение узла [4] уже "
                          "используется!");
    Type(kPropEndNode, "4");
    EXPECT_EQ(3, w->Doc().BranchAt(1)->endNode);
    EXPECT_EQ("3", Value(kPropEndNode));
    EXPECT_EQ("3", t.TablDan.Cells(2, 3));

    // Refusing the question leaves everything.
    messages.Expect(mrNo);
    messages.Expect(mrOk, "Пользователь отменил операцию !!!");
    Type(kPropEndNode, "30");
    EXPECT_EQ(3, w->Doc().BranchAt(1)->endNode);
}

TEST_F(PropTest, BadNumbersKeepTheOldValueWithAMessage) {
    ThreeBranches();
    auto* b = w->Doc().BranchAt(0);
    b->flagA = 0;
    b->width = 5;
    Select(0);
    for (const char* bad : {"abc", "1,2,3", "-4", "99999999999"}) {
        messages.Expect(mrOk, "Недопустимое значение");
        Type(kPropWidth, bad);
        EXPECT_EQ(5, b->width) << bad;
        EXPECT_EQ("5", Value(kPropWidth)) << bad;
    }
    for (const char* bad : {"abc", "1,2,3", "99999999999"}) {
        messages.Expect(mrOk, "Недопустимое значение");
        Type(kPropBranch, bad);
        EXPECT_EQ(1, b->number) << bad;
        messages.Expect(mrOk, "Недопустимое значение");
        Type(kPropPla, bad);
        EXPECT_EQ(-1, b->Caption(3).a) << bad;
    }
    EXPECT_EQ(0u, messages.PendingExpectations());
    EXPECT_FALSE(w->DrawingModified);

    // A good width clears the default-width flag.
    b->flagA = 1;
    Select(0);
    Type(kPropWidth, "8");
    EXPECT_EQ(8, b->width);
    EXPECT_EQ(0, b->flagA);
    EXPECT_EQ("8", Value(kPropWidth));
}

TEST_F(PropTest, EnterWithoutAChangeAppliesOnlyPlaAndPictureAngle) {
    ThreeBranches();
    Select(0);
    Enter(kPropName);
    char enter = '\r';
    w->GridPropKeyPress(enter);
    EXPECT_FALSE(w->DrawingModified);
    Enter(kPropPla);
    w->GridPropKeyPress(enter);
    EXPECT_TRUE(w->DrawingModified);

    // While the rows are being filled Enter applies nothing.
    w->DrawingModified = false;
    w->PropFilling = true;
    Type(kPropName, "x");
    EXPECT_NE("x", w->Doc().BranchAt(0)->name);
    w->PropFilling = false;

    // Typing into "Тип" of a line is never offered, but the value path
    // takes a style name.
    auto* line = static_cast<TGALine*>(w->Doc().AddFigure(kKindALine));
    line->SetPoints({0, 0}, {5, 5});
    Select(3);
    Type(kPropType, LineStyleNames()[4]);
    EXPECT_EQ(4, line->style);
}

TEST_F(PropTest, AnnotationEditsAndTheirRefusals) {
    auto* pic = static_cast<TGPicture*>(w->Doc().AddFigure(kKindPicture));
    Select(0);
    Type(kPropPictureName, Ru("Насос"));
    Type(kPropPictureNumber, "14");
    Type(kPropPictureAngle, "30");
    Type(kPropPictureSize, "60");
    Type(kPropOwnerBranch, "9");
    EXPECT_EQ(Ru("Насос"), pic->text);
    EXPECT_EQ(14, pic->value1);
    EXPECT_EQ(30, pic->angleDegrees);
    EXPECT_EQ(60, pic->ownSize);
    EXPECT_EQ(1, pic->ownSizeFlag);
    EXPECT_EQ(9, pic->extra);
    EXPECT_EQ("60", Value(kPropPictureSize));
    messages.Expect(mrOk, "Недопустимое значение");
    Type(kPropPictureAngle, "abc");
    EXPECT_EQ(30, pic->angleDegrees);
    EXPECT_EQ("30", Value(kPropPictureAngle));

    auto* text = static_cast<TGText*>(w->Doc().AddFigure(kKindText));
    Select(1);
    Type(kPropText, Ru("Запасной выход"));
    EXPECT_EQ(Ru("Запасной выход"), text->content);
}

TEST_F(PropTest, EditsSurviveSaveAndLoad) {
    ThreeBranches();
    w->Doc().images.Add("pump", TBitmap32(2, 2, 0xFF00FF00u));
    auto* pic = static_cast<TGPicture*>(w->Doc().AddFigure(kKindPicture));
    pic->Place("pump", 0, 0, 40, 40, {500, 500});
    Select(1);
    Type(kPropName, Ru("Уклон 2"));
    Type(kPropPla, "6");
    Type(kPropStation, "17");
    Menu(kPropName, "Выводить?");
    Menu(kPropArrow, "Исходящая");
    Menu(kPropVisible, "Схема вентиляции");
    Select(3);
    Type(kPropPictureNumber, "21");
    Menu(kPropPictureDevice, "Вент.дверь");
    ASSERT_TRUE(w->SaveDrawing(File("edited.grh")));

    w->Doc().BranchAt(1)->name = "changed";
    ASSERT_TRUE(w->LoadDrawing(File("edited.grh")));
    ASSERT_EQ(4, w->Doc().Count());
    Select(1);
    EXPECT_EQ(Ru("Уклон 2"), Value(kPropName));
    EXPECT_EQ("6", Value(kPropPla));
    EXPECT_EQ("17", Value(kPropStation));
    const TGBranch* b = w->Doc().BranchAt(1);
    EXPECT_EQ(0, b->switchA);
    EXPECT_EQ(16711680, b->Caption(5).colour);
    EXPECT_EQ(0, b->schemeVisible[1]);
    Select(3);
    EXPECT_EQ("21", Value(kPropPictureNumber));
    EXPECT_EQ(Ru("Вент.дверь"), Value(kPropPictureDevice));
}

} // namespace arv::test

namespace arv::test {

// The inspector bound to the real draw grid: keys go through the in-place
// editor and the grid's events, as they do in the window.
struct PropGridTest : PropTest {
    TRxDrawGrid grid{"GridProp"};
    PropGridTest() : PropTest(false) {
        BindGridProp(*w, grid);
        grid.SetClientSize(170, 400);
        propDialogs.onGridChanged = [this] { SyncGridProp(*w, grid); };
    }
    void Click(int col, int row) {
        const TCanvasRect r = grid.CellRect(col, row);
        grid.MouseDown(TGridMouseButton::mbLeft, {}, r.left + 3, r.top + 3);
        grid.MouseUp(TGridMouseButton::mbLeft, {}, r.left + 3, r.top + 3);
    }
    // Types into the editor of the current cell, replacing its text.
    void TypeKeys(const std::string& cp1251) {
        TRxInplaceEdit& e = grid.InplaceEditor();
        e.SelectAll();
        for (char c : cp1251) {
            char k = c;
            e.KeyPress(k);
            if (k) e.InsertChar(k);
        }
    }
    void PressEnter() {
        char k = '\r';
        grid.InplaceEditor().KeyPress(k);
    }
};

TEST_F(PropGridTest, TypingIntoTheEditorAndEnterEditTheBranch) {
    Start();
    ThreeBranches();
    Select(1);
    EXPECT_EQ(18, grid.RowCount());
    EXPECT_TRUE(grid.Enabled());
    // The rows of a figure just shown are in the cells, not in an editor.
    EXPECT_FALSE(grid.EditorMode());
    Click(1, RowOf(kPropName));
    ASSERT_TRUE(grid.EditorMode());
    EXPECT_EQ(RowOf(kPropName), grid.Row());
    EXPECT_EQ("99999;0; ", (Click(1, RowOf(kPropBranch)), grid.InplaceEditor().EditMask()));
    Click(1, RowOf(kPropName));
    EXPECT_EQ("", grid.InplaceEditor().EditMask());
    EXPECT_EQ(w->Doc().BranchAt(1)->name, grid.InplaceEditor().Text());
    TypeKeys(Ru("Сбойка"));
    EXPECT_EQ(Ru("Сбойка"), Value(kPropName));
    PressEnter();
    EXPECT_EQ(Ru("Сбойка"), w->Doc().BranchAt(1)->name);
    EXPECT_TRUE(w->DrawingModified);

    // A refused width: the message, then the grid shows the old value again.
    Click(1, RowOf(kPropWidth));
    messages.Expect(mrOk, "Недопустимое значение");
    TypeKeys("abc");
    PressEnter();
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(IntToStr(w->Doc().BranchAt(1)->width), w->GridPropCellText(1, RowOf(kPropWidth)));
    Click(1, RowOf(kPropWidth));
    EXPECT_EQ(IntToStr(w->Doc().BranchAt(1)->width), grid.InplaceEditor().Text());

    // Keys into "Тип" are refused by the grid's key filter.
    Click(1, RowOf(kPropType));
    int beeps = 0;
    grid.MessageBeep = [&] { ++beeps; };
    char k = '7';
    grid.InplaceEditor().KeyPress(k);
    EXPECT_EQ(0, k);
    EXPECT_EQ(1, beeps);

    // A click on a caption cell opens its menu.
    propDialogs.popups.clear();
    Click(0, RowOf(kPropBranch));
    ASSERT_EQ(1u, propDialogs.popups.size());
    EXPECT_EQ(kPropBranch, propDialogs.popups[0].Tag);

    // Nothing selected: two rows, disabled.
    w->Doc().current = -1;
    w->ShowProperties(false);
    EXPECT_EQ(2, grid.RowCount());
    EXPECT_FALSE(grid.Enabled());
}

} // namespace arv::test
