// The property grid without a window: keys, the key filter, Escape, the
// caption buttons, the in-place editor's text exchange, pick list and
// ellipsis button, navigation, sizing and painting.
#include "app/RxDrawGrid.h"
#include "app/EditMask.h"
#include "platform/Cp1251.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

using namespace arv;

namespace {

// Laid out as the inspector: a heading row and a caption column, captions
// 95 wide, values 70; rows 18 high plus a 1-pixel line, so row r spans
// y = 19r .. 19r + 18 and the value column x = 96 .. 166. The client area
// shows three data rows in full and the top of a fourth.
struct TGridFixture : ::testing::Test {
    TRxDrawGrid grid{"GridProp"};
    std::vector<std::string> values{"head", "12", "x", "A", "", "last"};
    std::vector<std::pair<int, std::string>> setTexts; // row, text
    std::string keys;                                  // OnKeyPress in order
    std::vector<std::pair<int, int>> clicks;
    int beeps = 0, cancels = 0, editChanges = 0, focusChanges = 0;

    void SetUp() override {
        grid.SetColCount(2);
        grid.SetFixedRows(1);
        grid.SetFixedCols(1);
        grid.SetRowCount(static_cast<int>(values.size()));
        grid.SetColWidths(0, 95);
        grid.SetColWidths(1, 70);
        grid.SetFixedButtons(true);
        grid.SetClientSize(170, 80);
        grid.MessageBeep = [this] { ++beeps; };
        grid.OnGetEditText = [this](TRxDrawGrid&, int, int row, std::string& v) {
            v = values[row];
        };
        grid.OnSetEditText = [this](TStringGridModel&, int, int row, const std::string& t) {
            setTexts.emplace_back(row, t);
        };
        grid.OnKeyPress = [this](TStringGridModel&, char& k) { keys += k; };
        grid.OnFixedCellClick = [this](TRxDrawGrid&, int c, int r) { clicks.emplace_back(c, r); };
        grid.OnCancelEdit = [this](TRxDrawGrid&) { ++cancels; };
        grid.OnEditChange = [this](TRxDrawGrid&) { ++editChanges; };
        grid.OnChangeFocus = [this](TRxDrawGrid&) { ++focusChanges; };
    }
    void Inspector() { grid.SetOptions(grid.Options() | goEditing | goAlwaysShowEditor); }
    TRxInplaceEdit& Ed() { return grid.InplaceEditor(); }
    // Types a UTF-8 text into the editor key by key, as the edit line does.
    void Type(std::string_view utf8) {
        for (char32_t u : Cp1251ToUtf16(Utf8ToCp1251(utf8))) {
            char c = Ed().TypeChar(u);
            if (c != 0) Ed().InsertChar(c);
        }
    }
    void Key(int k, TShiftState s = 0) {
        int key = k;
        Ed().KeyDown(key, s);
    }
    void Click(int x, int y, TShiftState s = 0) {
        grid.MouseDown(TGridMouseButton::mbLeft, s, x, y);
        grid.MouseUp(TGridMouseButton::mbLeft, 0, x, y);
    }
};

} // namespace

TEST(EditMask, DelphiCharactersMapToQt) {
    TQtEditMask m = DelphiMaskToQt("99999;0; ");
    EXPECT_EQ("00000; ", m.InputMask); // '9' optional digit is Qt's '0'
    EXPECT_FALSE(m.SaveLiterals);
    EXPECT_EQ(' ', m.Blank);
    EXPECT_EQ("999; ", DelphiMaskToQt("000;0; ").InputMask); // required digits
    EXPECT_EQ("(000)999-9999;_", DelphiMaskToQt("!(999)000-0000;1;_").InputMask);
    EXPECT_TRUE(DelphiMaskToQt("!(999)000-0000;1;_").SaveLiterals);
    EXPECT_EQ("AAaa;_", DelphiMaskToQt("LLll").InputMask);
    EXPECT_EQ("NnXx#;_", DelphiMaskToQt("AaCc#").InputMask);
    EXPECT_EQ(">AA<aa!A;_", DelphiMaskToQt(">LL<ll<>L").InputMask);
    // Separators of the Russian setting; '_' is a blank literal.
    EXPECT_EQ("99:99 99.99;_", DelphiMaskToQt("00:00_00/00").InputMask);
    // Literals Qt would read as mask characters are escaped, Delphi's
    // escapes kept literal, an escaped ';' does not end the mask.
    EXPECT_EQ("\\N\\D\\H\\B-\\9\\;9;*", DelphiMaskToQt("NDHB-\\9\\;0;0;*").InputMask);
    EXPECT_EQ("", DelphiMaskToQt("").InputMask);
    EXPECT_EQ("", DelphiMaskToQt(";0;_").InputMask);
    // A mask without fields keeps its literals and blanks with '_'.
    EXPECT_TRUE(DelphiMaskToQt("999").SaveLiterals);
    EXPECT_EQ("000;_", DelphiMaskToQt("999").InputMask);
}

TEST(EditMask, TextReadBackFromTheShownText) {
    EXPECT_EQ("12", MaskedEditText("99999;0; ", "12   "));
    EXPECT_EQ("12345", MaskedEditText("99999;0; ", "12345"));
    EXPECT_EQ("", MaskedEditText("999;0; ", "   "));
    EXPECT_EQ("124", MaskedEditText("(999)0;0;_", "(12_)4"));
    EXPECT_EQ("(12)4", MaskedEditText("(999)0;1;_", "(12_)4"));
    EXPECT_EQ("free text", MaskedEditText("", "free text"));
    // A shown text shorter than the mask (truncated) reads what is there.
    EXPECT_EQ("1", MaskedEditText("(999);0;_", "(1"));
}

TEST_F(TGridFixture, InspectorEditorLoadsTheCurrentCellWithoutPassingTextOn) {
    grid.OnGetEditMask = [](TRxDrawGrid&, int, int row, std::string& m) {
        if (row == 1) m = "99999;0; ";
    };
    grid.OnGetEditLimit = [](TRxDrawGrid&, int& n) { n = 5; };
    grid.SetCurrent(1, 1);
    Inspector();
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_TRUE(Ed().Visible());
    EXPECT_EQ("12", Ed().Text());
    EXPECT_EQ("99999;0; ", Ed().EditMask());
    EXPECT_EQ(5, Ed().MaxLength());
    EXPECT_EQ((TCanvasRect{96, 19, 166, 37}), Ed().BoundsRect());
    EXPECT_EQ(0, Ed().SelStart());
    EXPECT_EQ(2, Ed().SelLength()); // all selected
    EXPECT_TRUE(setTexts.empty());
    EXPECT_EQ((TGridCoord{1, 1}), grid.InplaceCell());
}

TEST_F(TGridFixture, EditorWaitsForAWindowBeforeTakingUpACell) {
    TRxDrawGrid g;
    g.SetOptions(g.Options() | goEditing | goAlwaysShowEditor);
    std::vector<std::string> set;
    g.OnGetEditText = [](TRxDrawGrid&, int, int, std::string& v) { v = "value"; };
    g.OnSetEditText = [&](TStringGridModel&, int, int, const std::string& t) { set.push_back(t); };
    EXPECT_EQ((TGridCoord{-1, -1}), g.InplaceCell());
    g.SetClientSize(200, 100);
    EXPECT_TRUE(g.InplaceEditor().Visible());
    EXPECT_EQ("value", g.InplaceEditor().Text());
    // Leaving the cell hands back what was loaded, not an empty text.
    g.SetCurrent(1, 2);
    EXPECT_EQ(std::vector<std::string>{"value"}, set);
}

TEST_F(TGridFixture, InspectorPassesEveryChangeAndEnterAndEscapeToKeyPress) {
    grid.SetCurrent(1, 1);
    Inspector();
    Type("3"); // replaces the selected "12"
    Type("4");
    ASSERT_EQ(2u, setTexts.size());
    EXPECT_EQ((std::pair<int, std::string>{1, "3"}), setTexts[0]);
    EXPECT_EQ((std::pair<int, std::string>{1, "34"}), setTexts[1]);
    EXPECT_EQ(0, editChanges);
    EXPECT_EQ("34", keys);

    // Enter reaches OnKeyPress and switches between all and nothing selected.
    Key(VK_RETURN);
    Type("\r");
    EXPECT_EQ("34\r", keys);
    EXPECT_EQ(2, Ed().SelLength());
    Type("\r");
    EXPECT_EQ(0, Ed().SelLength());

    // Escape goes to the grid and its OnKeyPress; nothing is cancelled.
    Key(VK_ESCAPE);
    Type("\x1b");
    EXPECT_EQ("34\r\r\x1b", keys);
    EXPECT_EQ(0, cancels);
    EXPECT_TRUE(Ed().Visible());
    EXPECT_EQ("34", Ed().Text());
}

TEST_F(TGridFixture, KeyFilterSeesCp1251AndBeepsOnRefusal) {
    std::string offered;
    grid.OnAcceptEditKey = [&](TRxDrawGrid& g, char& k) {
        offered += k;
        return g.Row() != 2; // the third row takes no typing
    };
    grid.SetCurrent(1, 1);
    Inspector();
    Type("Жx");
    EXPECT_EQ(Ru("Жx"), Ed().Text());
    // The handler got the code page byte of Ж (0xC6), not a UTF-8 byte.
    EXPECT_EQ(Ru("Жx"), offered);
    EXPECT_EQ(0, beeps);
    // Backspace is not offered to the filter but edits the text.
    Type("\b");
    EXPECT_EQ(Ru("Ж"), Ed().Text());
    EXPECT_EQ(Ru("Жx"), offered);

    // A character the code page lacks is dropped with a beep.
    EXPECT_EQ(0, Ed().TypeChar(U'\u4E2D'));
    EXPECT_EQ(1, beeps);
    EXPECT_EQ(Ru("Ж"), Ed().Text());

    // On the refusing row a typed key is dropped with a beep, after the
    // grid's OnKeyPress has seen it.
    Key(VK_DOWN);
    ASSERT_EQ(2, grid.Row());
    keys.clear();
    setTexts.clear();
    Type("q");
    EXPECT_EQ("x", Ed().Text());
    EXPECT_EQ(2, beeps);
    EXPECT_EQ("q", keys);
    EXPECT_TRUE(setTexts.empty());

    // OnKeyPress may change the key before the filter sees it.
    grid.OnKeyPress = [](TStringGridModel&, char& k) {
        if (k == 'a') k = 'b';
    };
    Key(VK_UP);
    Type("a");
    EXPECT_EQ("b", Ed().Text());
}

TEST_F(TGridFixture, MovingToAnotherCellPassesTheTextOnThenLoadsTheNewOne) {
    std::vector<std::string> order;
    grid.OnSelectCell = [&](TStringGridModel&, int c, int r, bool& can) {
        order.push_back("select " + std::to_string(r));
        can = c != 0;
    };
    grid.OnSetEditText = [&](TStringGridModel&, int, int r, const std::string& t) {
        order.push_back("set " + std::to_string(r) + " " + t);
    };
    grid.SetCurrent(1, 1);
    Inspector();
    Type("7");
    order.clear();
    Key(VK_DOWN);
    ASSERT_EQ(2, grid.Row());
    EXPECT_EQ((std::vector<std::string>{"select 2", "set 1 7"}), order);
    EXPECT_EQ("x", Ed().Text());
    EXPECT_EQ((TGridCoord{1, 2}), grid.InplaceCell());
    EXPECT_EQ((TCanvasRect{96, 38, 166, 56}), Ed().BoundsRect());

    // The owner setting the current cell moves the editor the same way.
    order.clear();
    grid.SetCurrent(1, 3);
    EXPECT_EQ((std::vector<std::string>{"select 3", "set 2 x"}), order);
    EXPECT_EQ((TGridCoord{1, 3}), grid.InplaceCell());
    EXPECT_EQ("A", Ed().Text());

    // Column 0 cannot be chosen; Left at the start of the text leaves the
    // editor for the grid, which refuses the move.
    Ed().SetSelection(0, 0);
    Key(VK_LEFT);
    EXPECT_EQ(1, grid.Col());
}

TEST_F(TGridFixture, NavigationKeysStayInsideTheDataCells) {
    grid.SetCurrent(1, 1);
    int k = VK_NEXT;
    grid.KeyDown(k, 0); // a page is three rows
    EXPECT_EQ(4, grid.Row());
    EXPECT_EQ(4, grid.TopRow());
    k = VK_NEXT;
    grid.KeyDown(k, 0);
    EXPECT_EQ(5, grid.Row());
    k = VK_HOME;
    grid.KeyDown(k, ssCtrl);
    EXPECT_EQ(1, grid.Row());
    EXPECT_EQ(1, grid.TopRow());
    k = VK_UP;
    grid.KeyDown(k, 0);
    EXPECT_EQ(1, grid.Row()); // row 0 is the heading
    k = VK_END;
    grid.KeyDown(k, ssCtrl);
    EXPECT_EQ(5, grid.Row());
    EXPECT_EQ(1, grid.Col());
    k = VK_LEFT;
    grid.KeyDown(k, 0);
    EXPECT_EQ(1, grid.Col()); // column 0 is fixed

    // Tab wraps to the next row only with tabs on.
    grid.SetColCount(3);
    grid.SetCurrent(2, 1);
    k = VK_TAB;
    grid.KeyDown(k, 0);
    EXPECT_EQ((TGridCoord{2, 1}), (TGridCoord{grid.Col(), grid.Row()}));
    grid.SetOptions(grid.Options() | goTabs);
    k = VK_TAB;
    grid.KeyDown(k, 0);
    EXPECT_EQ((TGridCoord{1, 2}), (TGridCoord{grid.Col(), grid.Row()}));
    k = VK_TAB;
    grid.KeyDown(k, ssShift);
    EXPECT_EQ((TGridCoord{2, 1}), (TGridCoord{grid.Col(), grid.Row()}));
}

TEST_F(TGridFixture, EscapeCancelsAnEditOnlyWhenTheEditorIsNotAlwaysShown) {
    grid.SetOptions(grid.Options() | goEditing);
    grid.DoEnter();
    grid.SetCurrent(1, 1);
    EXPECT_FALSE(Ed().Visible());
    char enter = '\r';
    grid.KeyPress(enter); // Enter opens the editor
    EXPECT_TRUE(grid.EditorMode());
    ASSERT_TRUE(Ed().Visible());
    Type("99");
    EXPECT_EQ(2, editChanges); // changes go to OnEditChange, not the cell
    EXPECT_TRUE(setTexts.empty());
    Key(VK_ESCAPE);
    EXPECT_EQ(1, cancels);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_FALSE(Ed().Visible());
    EXPECT_TRUE(setTexts.empty()); // the typed text was not passed on
    EXPECT_FALSE(grid.Canceling());

    // Moving the current cell ends editor mode, passing the text on.
    grid.ShowEditor();
    Type("6");
    grid.SetCurrent(1, 2);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_FALSE(Ed().Visible());
    ASSERT_EQ(1u, setTexts.size());
    EXPECT_EQ((std::pair<int, std::string>{1, "6"}), setTexts[0]);
    setTexts.clear();
    grid.SetCurrent(1, 1);

    // Ctrl+Escape does not cancel; ending with Enter passes the text once.
    grid.ShowEditor();
    Type("5");
    Key(VK_ESCAPE, ssCtrl);
    EXPECT_EQ(1, cancels);
    EXPECT_TRUE(Ed().Visible());
    char k = '\r';
    Ed().KeyPress(k);
    EXPECT_FALSE(Ed().Visible());
    ASSERT_EQ(1u, setTexts.size());
    EXPECT_EQ((std::pair<int, std::string>{1, "5"}), setTexts[0]);

    // Typing over the grid opens the editor with the character.
    grid.GridCharTyped(U'Я');
    EXPECT_TRUE(Ed().Visible());
    EXPECT_EQ(Ru("Я"), Ed().Text());
}

TEST_F(TGridFixture, ShowEditorRefusedEndsEditorMode) {
    grid.OnShowEditor = [](TRxDrawGrid&, int, int row, bool& allow) { allow = row != 3; };
    grid.SetCurrent(1, 1);
    Inspector();
    EXPECT_TRUE(Ed().Visible());
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(3, grid.Row());
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_FALSE(Ed().Visible());
}

TEST_F(TGridFixture, CaptionButtonClicksOnlyWhenReleasedOverIt) {
    Inspector();
    // Press on caption row 1, release over it: one click.
    Click(10, 25);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 1}}), clicks);

    // Out and release outside: none. Out and back: one.
    grid.MouseDown(TGridMouseButton::mbLeft, 0, 10, 25);
    EXPECT_TRUE(grid.Tracking());
    EXPECT_TRUE(grid.Pressed());
    grid.MouseMove(0, 10, 45);
    EXPECT_FALSE(grid.Pressed());
    grid.MouseUp(TGridMouseButton::mbLeft, 0, 10, 45);
    EXPECT_EQ(1u, clicks.size());
    EXPECT_FALSE(grid.Tracking());
    grid.MouseDown(TGridMouseButton::mbLeft, 0, 10, 25);
    grid.MouseMove(0, 100, 25);
    grid.MouseMove(0, 20, 30);
    EXPECT_TRUE(grid.Pressed());
    grid.MouseUp(TGridMouseButton::mbLeft, 0, 20, 30);
    EXPECT_EQ(2u, clicks.size());
    // Outside the client area even over the cell's extension: no click.
    grid.MouseDown(TGridMouseButton::mbLeft, 0, 10, 25);
    grid.MouseUp(TGridMouseButton::mbLeft, 0, -3, 25);
    EXPECT_EQ(2u, clicks.size());

    // A double click on a caption is a second press: two clicks in all.
    clicks.clear();
    Click(10, 5);
    Click(10, 5, ssDouble);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 0}, {0, 0}}), clicks);
    // Without caption buttons a double click is only a double click.
    int dbl = 0;
    grid.OnDblClick = [&](TStringGridModel&) { ++dbl; };
    grid.SetFixedButtons(false);
    Click(10, 5, ssDouble);
    EXPECT_EQ(1, dbl);
    EXPECT_EQ(2u, clicks.size());
}

TEST_F(TGridFixture, HeldCaptionIsReleasedWithoutClickByCancelScrollOrSizing) {
    Inspector();
    grid.MouseDown(TGridMouseButton::mbLeft, 0, 10, 5);
    grid.CancelMode();
    EXPECT_FALSE(grid.Tracking());
    EXPECT_FALSE(grid.MouseCaptured());
    grid.MouseUp(TGridMouseButton::mbLeft, 0, 10, 5);

    grid.MouseDown(TGridMouseButton::mbLeft, 0, 10, 5);
    grid.SetTopRow(2);
    EXPECT_FALSE(grid.Tracking());
    grid.MouseUp(TGridMouseButton::mbLeft, 0, 10, 5);

    int sized = 0;
    grid.OnColumnSized = [&](TRxDrawGrid&) { ++sized; };
    grid.SetTopRow(1);
    grid.MouseDown(TGridMouseButton::mbLeft, 0, 10, 5);
    grid.SetColWidths(1, 80);
    EXPECT_EQ(1, sized);
    EXPECT_FALSE(grid.Tracking());
    grid.MouseUp(TGridMouseButton::mbLeft, 0, 10, 5);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(TGridFixture, DisabledCaptionBeepsAndDoesNotTrack) {
    grid.OnCheckButton = [](TRxDrawGrid&, int, int row, bool& enabled) { enabled = row != 2; };
    Click(10, 45);
    EXPECT_EQ(1, beeps);
    EXPECT_TRUE(clicks.empty());
    Click(10, 25);
    EXPECT_EQ(1u, clicks.size());
}

TEST_F(TGridFixture, PressEndsEditorModeAndTheAlwaysShownEditorReturns) {
    grid.SetCurrent(1, 1);
    Inspector();
    Type("8");
    setTexts.clear();
    // A press on a caption hides the editor, passing its text on once.
    grid.MouseDown(TGridMouseButton::mbLeft, 0, 10, 45);
    EXPECT_FALSE(Ed().Visible());
    EXPECT_EQ((std::vector<std::pair<int, std::string>>{{1, "8"}}), setTexts);
    values[1] = "80"; // the click handler changed the value
    grid.MouseUp(TGridMouseButton::mbLeft, 0, 10, 45);
    EXPECT_TRUE(Ed().Visible());
    EXPECT_EQ("80", Ed().Text());

    // A press on another value cell moves the editor there.
    grid.MouseDown(TGridMouseButton::mbLeft, 0, 120, 65);
    grid.MouseUp(TGridMouseButton::mbLeft, 0, 120, 65);
    EXPECT_EQ(3, grid.Row());
    EXPECT_EQ("A", Ed().Text());
    EXPECT_EQ((TGridCoord{1, 3}), grid.InplaceCell());
}

TEST_F(TGridFixture, ColumnAndRowSizingFireTheirEvents) {
    // Sizing grabs borders over the heading row or the caption column.
    grid.SetOptions(grid.Options() | goRowSizing);
    int cols = 0, rows = 0;
    grid.OnColumnSized = [&](TRxDrawGrid&) { ++cols; };
    grid.OnRowSized = [&](TRxDrawGrid&) { ++rows; };
    // Column 1's right border is at x = 96 + 70 = 166.
    EXPECT_EQ(1, grid.ColSizingAt(165, 5));
    EXPECT_EQ(-1, grid.ColSizingAt(165, 25));
    grid.MouseDown(TGridMouseButton::mbLeft, 0, 165, 5);
    grid.MouseUp(TGridMouseButton::mbLeft, 0, 150, 5);
    EXPECT_EQ(55, grid.ColWidths(1));
    EXPECT_EQ(1, cols);
    EXPECT_TRUE(clicks.empty()); // a sizing press is no caption click
    // Row 1's bottom border is at y = 19 + 18 = 37.
    EXPECT_EQ(1, grid.RowSizingAt(5, 37));
    grid.MouseDown(TGridMouseButton::mbLeft, 0, 5, 37);
    grid.MouseUp(TGridMouseButton::mbLeft, 0, 5, 47);
    EXPECT_EQ(28, grid.RowHeights(1));
    EXPECT_EQ(1, rows);
}

TEST_F(TGridFixture, FocusChangesFireChangeFocus) {
    grid.DoEnter();
    grid.DoEnter();
    EXPECT_TRUE(grid.Focused());
    grid.DoExit();
    EXPECT_EQ(2, focusChanges);
    // A press takes the focus.
    Click(120, 5);
    EXPECT_EQ(3, focusChanges);
}

TEST_F(TGridFixture, PickListDropsChoosesAndSearches) {
    std::vector<std::string> items{Ru("Одинарная"), Ru("Двойная"), Ru("двойная с заливкой"),
                                   Ru("Пунктирная")};
    grid.OnGetEditStyle = [](TRxDrawGrid&, int, int row, TInplaceEditStyle& s) {
        if (row == 2) s = TInplaceEditStyle::iePickList;
    };
    int asked = 0;
    grid.OnGetPicklist = [&](TRxDrawGrid&, int, int, std::vector<std::string>& l) {
        ++asked;
        l = items;
    };
    values[2] = Ru("Двойная");
    grid.SetCurrent(1, 1);
    Inspector();
    EXPECT_EQ(nullptr, Ed().PickList()); // made on first use only
    Key(VK_DOWN);
    ASSERT_EQ(TInplaceEditStyle::iePickList, Ed().EditStyle());
    ASSERT_NE(nullptr, Ed().ActiveList());

    Key(VK_DOWN, ssAlt);
    ASSERT_TRUE(Ed().ListVisible());
    EXPECT_EQ(1, asked);
    EXPECT_EQ(1, Ed().ActiveList()->ItemIndex); // the item equal to the text
    Key(VK_DOWN);                               // goes to the list while it is open
    EXPECT_EQ(2, grid.Row());
    EXPECT_EQ(2, Ed().ActiveList()->ItemIndex);
    setTexts.clear();
    Key(VK_RETURN);
    EXPECT_FALSE(Ed().ListVisible());
    EXPECT_EQ(Ru("двойная с заливкой"), Ed().Text());
    EXPECT_EQ((std::vector<std::pair<int, std::string>>{{2, Ru("двойная с заливкой")}}), setTexts);

    // Escape closes without taking the choice.
    Key(VK_DOWN, ssAlt);
    Key(VK_UP);
    Key(VK_ESCAPE);
    EXPECT_FALSE(Ed().ListVisible());
    EXPECT_EQ(Ru("двойная с заливкой"), Ed().Text());
    EXPECT_EQ(2, grid.Row());

    // Typed characters search, ignoring letter case; only a pause of more
    // than 4 s restarts.
    unsigned now = 1000;
    Ed().TickCount = [&] { return now; };
    Key(VK_UP, ssAlt);
    Type("д");
    EXPECT_EQ(1, Ed().ActiveList()->ItemIndex);
    now += 2500;
    Type("в");
    EXPECT_EQ(Ru("дв"), Ed().ActiveList()->SearchText());
    now += 4000;
    Type("п"); // no item starts with "двп": the choice stays
    EXPECT_EQ(Ru("двп"), Ed().ActiveList()->SearchText());
    EXPECT_EQ(1, Ed().ActiveList()->ItemIndex);
    now += 4001;
    Type("П");
    EXPECT_EQ(3, Ed().ActiveList()->ItemIndex);
    EXPECT_EQ(Ru("П"), Ed().ActiveList()->SearchText());
    Key(VK_UP, ssAlt); // Alt+Up closes accepting
    EXPECT_EQ(Ru("Пунктирная"), Ed().Text());

    // Accepting with nothing chosen empties the text.
    values[2] = Ru("Нет такого");
    grid.InvalidateEditor();
    Ed().DropDown();
    EXPECT_EQ(-1, Ed().ActiveList()->ItemIndex);
    Ed().CloseUp(true);
    EXPECT_EQ("", Ed().Text());

    // Back to a simple row: no active list, the list object stays.
    Key(VK_UP);
    EXPECT_EQ(TInplaceEditStyle::ieSimple, Ed().EditStyle());
    EXPECT_EQ(nullptr, Ed().ActiveList());
    EXPECT_NE(nullptr, Ed().PickList());
}

TEST_F(TGridFixture, PickListByMouseDragFromTheButton) {
    grid.OnGetEditStyle = [](TRxDrawGrid&, int, int, TInplaceEditStyle& s) {
        s = TInplaceEditStyle::iePickList;
    };
    grid.OnGetPicklist = [](TRxDrawGrid&, int, int, std::vector<std::string>& l) {
        l = {"a", "b", "c"};
    };
    grid.SetCurrent(1, 1);
    Inspector();
    Ed().ButtonWidth = 17;
    // The editor is 70 x 18: the button spans x = 53 .. 70.
    Ed().MouseDown(TGridMouseButton::mbLeft, 0, 60, 9);
    ASSERT_TRUE(Ed().ListVisible());
    EXPECT_TRUE(Ed().Pressed());
    // The view reports the list below the editor, items 16 high.
    Ed().ListRect = {0, 18, 70, 70};
    Ed().ListItemAt = [](int, int y) { return y / 16; };
    Ed().MouseMove(0, 60, 12);
    EXPECT_TRUE(Ed().Tracking());
    Ed().MouseMove(0, 30, 18 + 20); // into the list, over item 1
    EXPECT_FALSE(Ed().Tracking());
    EXPECT_FALSE(Ed().Pressed());
    EXPECT_EQ(1, Ed().ActiveList()->ItemIndex);
    Ed().MouseUp(TGridMouseButton::mbLeft, 0, 30, 18 + 36); // released on item 2
    EXPECT_FALSE(Ed().ListVisible());
    EXPECT_EQ("c", Ed().Text());

    // A press on the button while the list is open closes it unaccepted.
    Ed().MouseDown(TGridMouseButton::mbLeft, 0, 60, 9);
    Ed().MouseUp(TGridMouseButton::mbLeft, 0, 60, 9);
    ASSERT_TRUE(Ed().ListVisible());
    Ed().ActiveList()->ItemIndex = 0;
    Ed().MouseDown(TGridMouseButton::mbLeft, 0, 60, 9);
    EXPECT_FALSE(Ed().ListVisible());
    EXPECT_EQ("c", Ed().Text());
    // Losing the focus closes an open list unaccepted too.
    Ed().MouseUp(TGridMouseButton::mbLeft, 0, 60, 9);
    Ed().DropDown();
    Ed().ActiveList()->ItemIndex = 0;
    Ed().KillFocus();
    EXPECT_FALSE(Ed().ListVisible());
    EXPECT_EQ("c", Ed().Text());
}

TEST_F(TGridFixture, EllipsisButtonAndCtrlEnterFireEditButtonClick) {
    int clicked = 0;
    grid.OnGetEditStyle = [](TRxDrawGrid&, int, int, TInplaceEditStyle& s) {
        s = TInplaceEditStyle::ieEllipsis;
    };
    grid.OnEditButtonClick = [&](TRxDrawGrid&) { ++clicked; };
    grid.SetCurrent(1, 1);
    Inspector();
    Ed().ButtonWidth = 17;
    EXPECT_EQ((TCanvasRect{53, 0, 70, 18}), Ed().ButtonRect());
    EXPECT_EQ((TCanvasRect{2, 2, 51, 18}), Ed().EditRect());
    // Dots: gap (17 - 12) / 2 = 2, first left 53 + (17 - 6 - 4) / 2 = 56,
    // top (18 - 2) / 2 = 8; one pixel further right while pressed.
    auto dots = Ed().EllipsisDots();
    EXPECT_EQ((TCanvasPoint{56, 8}), dots[0]);
    EXPECT_EQ((TCanvasPoint{64, 8}), dots[2]);

    Ed().MouseDown(TGridMouseButton::mbLeft, 0, 60, 9);
    EXPECT_TRUE(Ed().Pressed());
    EXPECT_EQ(57, Ed().EllipsisDots()[0].x);
    Ed().MouseUp(TGridMouseButton::mbLeft, 0, 60, 9);
    EXPECT_EQ(1, clicked);
    // Released off the button: no click; back on it: a click.
    Ed().MouseDown(TGridMouseButton::mbLeft, 0, 60, 9);
    Ed().MouseMove(0, 20, 9);
    EXPECT_FALSE(Ed().Pressed());
    Ed().MouseUp(TGridMouseButton::mbLeft, 0, 20, 9);
    EXPECT_EQ(1, clicked);
    Ed().MouseDown(TGridMouseButton::mbLeft, 0, 60, 9);
    Ed().CancelMode();
    Ed().MouseUp(TGridMouseButton::mbLeft, 0, 60, 9);
    EXPECT_EQ(1, clicked);
    EXPECT_TRUE(Ed().IgnoreDblClick(60, 9));
    EXPECT_FALSE(Ed().IgnoreDblClick(20, 9));

    Key(VK_RETURN, ssCtrl);
    EXPECT_EQ(2, clicked);
    Key(VK_RETURN, ssCtrl | ssShift); // exactly Ctrl
    EXPECT_EQ(2, clicked);
    // A simple cell has no button.
    grid.OnGetEditStyle = nullptr;
    grid.InvalidateEditor();
    Ed().MouseDown(TGridMouseButton::mbLeft, 0, 60, 9);
    Ed().MouseUp(TGridMouseButton::mbLeft, 0, 60, 9);
    Key(VK_RETURN, ssCtrl);
    EXPECT_EQ(2, clicked);
}

TEST(PickListBounds, BelowOrAboveAndWideEnough) {
    TCanvasRect ed{100, 200, 170, 218};
    // Four items of 16: 68 high, below the editor, as wide as the editor.
    EXPECT_EQ((TCanvasRect{100, 218, 170, 286}), PickListBounds(ed, 1000, 4, 16, 30, 17));
    // Too low on the screen: above the editor.
    EXPECT_EQ((TCanvasRect{100, 132, 170, 200}), PickListBounds(ed, 250, 4, 16, 30, 17));
    // Twelve items: eight shown, a scroll bar, the widest item sets the width.
    TCanvasRect r = PickListBounds(ed, 1000, 12, 16, 100, 17);
    EXPECT_EQ(8 * 16 + 4, r.bottom - r.top);
    EXPECT_EQ(100 + 17 + 2, r.right - r.left);
    EXPECT_EQ(4, PickListBounds(ed, 1000, 0, 16, 0, 17).bottom - 218);
}

TEST_F(TGridFixture, PaintingOfCaptionsValuesAndPressedCells) {
    Inspector();
    std::vector<std::pair<TGridCoord, TCanvasRect>> drawn;
    grid.OnDrawCell = [&](TRxDrawGrid& g, int c, int r, const TCanvasRect& rect, TGridDrawState) {
        drawn.push_back({{c, r}, rect});
        g.DrawCellString(rect, c == 0 ? "Caption that is much too long" : values[r],
                         TAlignment::taLeftJustify);
    };
    TRecordingCanvas canvas;
    grid.Paint(canvas);
    // The heading, three full rows and the part of the fourth above y = 80.
    ASSERT_EQ(10u, drawn.size());
    EXPECT_EQ((TCanvasRect{0, 19, 95, 37}), drawn[2].second);
    // Text: two pixels in, centred on the height of "W", clipped to the cell
    // and not wrapped.
    int w = canvas.TextHeight("W");
    auto texts = canvas.Calls("TextOut");
    ASSERT_EQ(10u, texts.size());
    EXPECT_EQ("Caption that is much too long", texts[0]->text);
    EXPECT_EQ(2, texts[0]->args[0]);
    EXPECT_EQ(std::max(1, (18 - w) / 2), texts[0]->args[1]);
    auto clips = canvas.Calls("SetClipRect");
    EXPECT_EQ((std::vector<int32_t>{0, 0, 95, 18}), clips[0]->args);
    EXPECT_EQ(nullptr, grid.Canvas()); // only while painting

    // Caption cells have a raised edge: white on top, grey at the bottom.
    auto fills = canvas.Calls("FillRect");
    auto findFill = [&](std::vector<int32_t> r) -> const TCanvasCall* {
        for (const TCanvasCall* f : fills)
            if (f->args == r) return f;
        return nullptr;
    };
    ASSERT_NE(nullptr, findFill({0, 19, 95, 20}));
    EXPECT_EQ(0xFFFFFF, findFill({0, 19, 95, 20})->brush.colour);
    EXPECT_EQ(0x808080, findFill({0, 36, 95, 37})->brush.colour);
    // The inspector's editor is always shown: no focus rectangle.
    grid.DoEnter();
    TRecordingCanvas focused;
    grid.Paint(focused);
    EXPECT_TRUE(focused.Calls("Rectangle").empty());

    // A held caption is drawn pushed in with a sunken edge.
    grid.MouseDown(TGridMouseButton::mbLeft, 0, 10, 25);
    drawn.clear();
    TRecordingCanvas pressed;
    grid.Paint(pressed);
    EXPECT_EQ((TCanvasRect{1, 20, 95, 37}), drawn[2].second);
    fills = pressed.Calls("FillRect");
    EXPECT_EQ(0x808080, findFill({0, 19, 95, 20})->brush.colour);
    EXPECT_EQ(0xFFFFFF, findFill({0, 36, 95, 37})->brush.colour);
    grid.MouseUp(TGridMouseButton::mbLeft, 0, 10, 25);
}

TEST_F(TGridFixture, FocusedCellOfAPlainGridGetsAFocusRectangleAndHighlight) {
    grid.DoEnter();
    grid.SetCurrent(1, 1);
    std::vector<TGridDrawState> states(6);
    grid.OnDrawCell = [&](TRxDrawGrid&, int c, int r, const TCanvasRect&, TGridDrawState s) {
        if (c == 1) states[r] = s;
    };
    TRecordingCanvas canvas;
    grid.Paint(canvas);
    EXPECT_EQ(static_cast<unsigned>(gdSelected | gdFocused), states[1]);
    EXPECT_EQ(static_cast<unsigned>(gdFixed), states[0]);
    EXPECT_EQ(0u, states[2]);
    auto rects = canvas.Calls("Rectangle");
    ASSERT_EQ(1u, rects.size());
    EXPECT_EQ((std::vector<int32_t>{96, 19, 166, 37}), rects[0]->args);
    EXPECT_EQ(TPenMode::NotXor, rects[0]->pen.mode);
    // Focus drawn selected: the focused cell gets the highlight colour.
    bool highlighted = false;
    for (const TCanvasCall* f : canvas.Calls("FillRect"))
        if (f->args == std::vector<int32_t>{96, 19, 166, 37})
            highlighted = f->brush.colour == grid.Colors.Highlight;
    EXPECT_TRUE(highlighted);
}

TEST(DrawGridCellText, AlignmentsAndWrapping) {
    TRecordingCanvas c;
    c.font.height = -10;
    int tw = c.TextWidth("abc");
    DrawGridCellText(c, {10, 0, 110, 20}, "abc", TAlignment::taRightJustify, TVertAlignment::vaTop,
                     false);
    DrawGridCellText(c, {10, 0, 110, 20}, "abc", TAlignment::taCenter, TVertAlignment::vaBottom,
                     false);
    auto t = c.Calls("TextOut");
    ASSERT_EQ(2u, t.size());
    EXPECT_EQ(110 - tw - 3, t[0]->args[0]);
    EXPECT_EQ(2, t[0]->args[1]);
    EXPECT_EQ(10 + 50 - tw / 2, t[1]->args[0]);
    EXPECT_EQ(std::max(2, 20 - c.TextHeight("W")), t[1]->args[1]);
    // Word wrap breaks at blanks to fit; a carriage return always breaks.
    c.calls.clear();
    int word = c.TextWidth("word");
    DrawGridCellText(c, {0, 0, word * 2, 100}, "word word word", TAlignment::taLeftJustify,
                     TVertAlignment::vaTop, true);
    EXPECT_EQ(3u, c.Calls("TextOut").size());
    c.calls.clear();
    DrawGridCellText(c, {0, 0, 500, 100}, "one\r\ntwo", TAlignment::taLeftJustify,
                     TVertAlignment::vaTop, false);
    ASSERT_EQ(2u, c.Calls("TextOut").size());
    EXPECT_EQ("two", c.Calls("TextOut")[1]->text);
}
