// The route windows driven as the tool bar and the tables drive them, over a
// host that stands in for the main window.
#include "routes/RouteWindows.h"
#include "calc/files/NetworkDataText.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/testing/RecordingOpener.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <fstream>
#include <iterator>

namespace arv::routes {
namespace {

class TFakeHost : public IRouteWindowHost {
public:
    int32_t emergencyMode = 0, fireBranch = 0, plaPosition = 0;
    std::string fireName;
    bool isBranch = false;
    int32_t branchNumber = 0, branchPla = 0;
    std::string branchName;
    bool show = false;
    std::vector<int32_t> shown;
    int redraws = 0, modified = 0, mainShown = 0;
    int32_t toolMode = 1;
    bool msxPla = false, plaSchemeShown = false;
    std::string plaFolder;

    int32_t EmergencyMode() override { return emergencyMode; }
    int32_t FireBranchNumber() override { return fireBranch; }
    std::string FireBranchName() override { return fireName; }
    int32_t CurrentPlaPosition() override { return plaPosition; }
    void SetCurrentPlaPosition(int32_t p) override { plaPosition = p; }
    bool CurrentBranch(int32_t& number, std::string& name, int32_t& pla) override {
        number = branchNumber;
        name = branchName;
        pla = branchPla;
        return isBranch;
    }
    void SetRouteDisplay(bool s, const std::vector<int32_t>& b) override {
        show = s;
        shown = b;
    }
    void RedrawPlan() override { ++redraws; }
    void SetDrawingModified() override { ++modified; }
    void SetToolMode(int32_t mode) override { toolMode = mode; }
    void ShowMainWindow() override { ++mainShown; }
    bool MsxPlaChecked() override { return msxPla; }
    void SetMsxPlaChecked(bool c) override { msxPla = c; }
    void SetPlaSchemeShown(bool s) override { plaSchemeShown = s; }
    std::string PlaFolder() override { return plaFolder; }
};

class TFakeView : public IRouteFormView {
public:
    int minimised = 0, shown = 0, focused = 0, stored = 0;
    bool normal = false;
    void Minimise() override {
        ++minimised;
        normal = false;
    }
    void ShowNormal() override {
        ++shown;
        normal = true;
    }
    void FocusTable() override { ++focused; }
    void Refresh() override {}
    void StoreLayout() override { ++stored; }
};

// Workings, all level and full height:
//
//   (1)--b1 100--(2)--b2 100--(3)--b3 50--(4)
//                 | \                     |
//        b6 40    |  b4 120--(5)--b5 120--+
//                (7)
//
// Surface nodes 1 and 4; b6 (7 -> 2) is the face the miners leave.
struct RouteWindowsTest : ::testing::Test {
    std::filesystem::path dir = test::MakeTestFolder();
    std::string savedDir = ProgramDir();
    test::TScriptedMessages messages;
    TFakeHost host;
    TFakeView view;
    TCalcContext calc;
    TNetworkTables t{calc};
    TRouteState state;
    TRouteWindows w{host, t, calc, state};
    int viewsFreed = 0;

    RouteWindowsTest() {
        SetProgramDir(dir.string());
        w.CreateFormView = [this](TRouteForm&) { return &view; };
        w.FreeFormView = [this](TRouteForm&) { ++viewsFreed; };
        Branch(1, 1, 2, 100);
        Branch(2, 2, 3, 100);
        Branch(3, 3, 4, 50);
        Branch(4, 2, 5, 120);
        Branch(5, 5, 4, 120);
        Branch(6, 7, 2, 40);
        calc.SurfaceNodeList[1] = 1;
        calc.SurfaceNodeList[2] = 4;
        calc.SurfaceNodeCount = 2;
    }
    ~RouteWindowsTest() override { SetProgramDir(savedDir); }
    void Branch(int b, int from, int to, double length) {
        calc.BranchBeginNode[b] = from;
        calc.BranchEndNode[b] = to;
        calc.BranchLength[b] = length;
    }
    void FireMode(int32_t position) {
        host.emergencyMode = 3;
        host.fireBranch = 3;
        host.fireName = Ru("Штрек");
        host.plaPosition = position;
    }
    void CurrentBranch(int32_t number, int32_t pla) {
        host.isBranch = true;
        host.branchNumber = number;
        host.branchPla = pla;
    }
    TModGrid& Table() { return w.Form()->InfoWayPeople; }
    std::string Cell(int col, int row) { return Cp1251ToUtf8(Table().Cells(col, row)); }
    std::array<bool, RouteToolCount> Tools() { return w.ToolEnabled; }
    // Tools enabled, by name.
    std::vector<std::string> EnabledTools() {
        std::vector<std::string> names;
        for (int i = 0; i < RouteToolCount; ++i)
            if (w.ToolEnabled[i]) names.push_back(RouteToolName(i));
        return names;
    }
    void Select(int col, int row) { Table().SetCurrent(col, row); }
};

using Names = std::vector<std::string>;

TEST_F(RouteWindowsTest, OpeningOutsideFireModeNeedsAPositionWithStoredRoutes) {
    messages.Expect(mrOk, "Для выбранного объекта отсутствует позиция ПЛА");
    w.WayWorkerClick();
    CurrentBranch(4, 0);
    messages.Expect(mrOk, "Для выбранного объекта отсутствует позиция ПЛА");
    w.WayWorkerClick();
    CurrentBranch(4, 9);
    messages.Expect(mrOk, "Для позиции ПЛА № 9 маршруты не сформированы. Построение маршрутов "
                          "осуществляется только в режиме \"Пожар\"");
    w.WayWorkerClick();
    EXPECT_EQ(nullptr, w.Form());
    EXPECT_EQ(0, state.RouteKind);
    // Rescue routes are looked for in their own table.
    t.TempTableM.SetCells(0, 1, "9");
    messages.Expect(mrOk);
    w.WayVGSHClick();
    EXPECT_EQ(nullptr, w.Form());

    t.TempTableM.SetCells(1, 1, Ru("6 Лава"));
    t.TempTableM.SetCells(7, 1, "6,1");
    w.WayWorkerClick();
    ASSERT_NE(nullptr, w.People());
    EXPECT_EQ(1, state.RouteKind);
    EXPECT_EQ(&Table(), state.PeopleRouteTable);
    EXPECT_EQ(9, host.plaPosition);
    EXPECT_EQ("Позиция ПЛА № 9", Cp1251ToUtf8(w.Form()->TextMain));
    EXPECT_EQ((Names{"ToolView", "ToolWayOpen", "ToolWayClose"}), EnabledTools());
    EXPECT_TRUE(view.normal);
    EXPECT_EQ("6 Лава", Cell(0, 1));
    EXPECT_EQ("6,1", Cell(6, 1));
    EXPECT_EQ(3, Table().RowCount());
    EXPECT_EQ(1, Table().FixedRows());
}

TEST_F(RouteWindowsTest, MinersRouteBuiltEditedStoredAndFoundAgain) {
    FireMode(7);
    w.WayWorkerClick();
    ASSERT_NE(nullptr, w.People());
    EXPECT_EQ("Ветвь 3  Штрек             Позиция ПЛА №7   Пожар",
              Cp1251ToUtf8(w.Form()->TextMain));
    // The buttons that fire mode opens with.
    EXPECT_EQ((Names{"ToolChoose", "ToolList", "ToolTrash", "ToolWayOpen", "ToolWayClose"}),
              EnabledTools());

    // The start branch picked on the plan.
    Select(0, 1);
    w.ToolChooseClick();
    EXPECT_EQ(1, host.toolMode);
    EXPECT_EQ(1, w.RoutePickPending);
    EXPECT_EQ(1, view.minimised);
    EXPECT_EQ(1, host.mainShown);
    EXPECT_FALSE(w.PlanRouteBranchExcluded(2)); // not in route-edit mode
    EXPECT_TRUE(w.PlanBranchPicked(6, Ru("Лава")));
    EXPECT_FALSE(w.PlanBranchPicked(6, Ru("Лава"))); // nothing waits any more
    EXPECT_EQ("6 Лава", Cell(0, 1));
    EXPECT_TRUE(view.normal);

    // The target from the drop-down over column 2.
    Select(2, 1);
    ASSERT_TRUE(w.Form()->ComboBox1.Visible);
    EXPECT_EQ(3u, w.Form()->ComboBox1.Items.size());
    EXPECT_FALSE(w.ToolEnabled[ToolCreate]);
    w.ComboBox1Change(0);
    EXPECT_FALSE(w.Form()->ComboBox1.Visible);
    EXPECT_EQ("ближайший узел поверхности", Cell(2, 1));
    Select(1, 1);
    EXPECT_TRUE(w.ToolEnabled[ToolCreate]);

    // By length: from node 7, b6 and b1 (140 m); from node 2, b1 (100 m).
    w.TypeWayGraphClick(1);
    w.ToolCreateClick();
    EXPECT_EQ("Из начального (7)", Cell(1, 1));
    EXPECT_EQ("6,1", Cell(6, 1));
    EXPECT_EQ("140 м", Cell(4, 1));
    EXPECT_EQ("3 мин", Cell(5, 1)); // 140 / 52.5 = 2.67
    EXPECT_EQ("6 Лава", Cell(0, 2));
    EXPECT_EQ("ближайший узел поверхности", Cell(2, 2));
    EXPECT_EQ("Из конечного (2)", Cell(1, 2));
    EXPECT_EQ("1", Cell(6, 2));
    EXPECT_EQ("100 м", Cell(4, 2));
    EXPECT_EQ(2, Table().Row());
    EXPECT_EQ(5, Table().RowCount());
    EXPECT_TRUE(w.Form()->Modified);
    EXPECT_GE(host.modified, 1);
    EXPECT_TRUE(w.ToolEnabled[ToolView] && w.ToolEnabled[ToolEdit] && w.ToolEnabled[ToolSave]);
    // The route of the current row is on the plan.
    EXPECT_TRUE(host.show);
    EXPECT_EQ((std::vector<int32_t>{1}), host.shown);

    // Branch 1 excluded on the plan: both rows rebuilt around it.
    messages.Expect(mrOk, "Выберите исключаемую ветвь");
    w.ToolEditClick();
    EXPECT_EQ(21, host.toolMode);
    EXPECT_TRUE(w.PlanRouteBranchExcluded(1));
    EXPECT_EQ(1, host.toolMode);
    EXPECT_EQ((std::vector<int32_t>{1}), state.Exclusions.ExcludedRouteBranches);
    EXPECT_EQ("6,2,3", Cell(6, 1));
    EXPECT_EQ("190 м", Cell(4, 1));
    EXPECT_EQ("2,3", Cell(6, 2));
    EXPECT_EQ((std::vector<int32_t>{2, 3}), host.shown);
    EXPECT_EQ(2, Table().Row());

    w.ToolSaveClick();
    ASSERT_EQ(2, t.TempTableM.RowCount() - 4); // appended after the four empty rows
    EXPECT_EQ("7", t.TempTableM.Cells(0, 4));
    EXPECT_EQ("6,2,3", t.TempTableM.Cells(7, 4));
    EXPECT_EQ("2,3", t.TempTableM.Cells(7, 5));

    // Closing asks because routes were built; they are stored already.
    messages.Expect(mrNo, "Сохранить изменения в файл?");
    w.ToolWayCloseClick();
    EXPECT_EQ(nullptr, w.Form());
    EXPECT_EQ(0, state.RouteKind);
    EXPECT_EQ(nullptr, state.PeopleRouteTable);
    EXPECT_EQ(Names{}, EnabledTools());
    EXPECT_TRUE(state.Exclusions.ExcludedRouteBranches.empty());
    EXPECT_FALSE(host.show);
    EXPECT_TRUE(host.msxPla && host.plaSchemeShown);
    EXPECT_EQ(1, viewsFreed);

    // Later, outside fire mode, on a branch of position 7.
    host.emergencyMode = 0;
    CurrentBranch(6, 7);
    w.WayWorkerClick();
    ASSERT_NE(nullptr, w.People());
    EXPECT_EQ("6,2,3", Cell(6, 1));
    EXPECT_EQ("Из начального (7)", Cell(1, 1));
    EXPECT_EQ("2,3", Cell(6, 2));
    EXPECT_EQ("Из конечного (2)", Cell(1, 2));
    Select(6, 1);
    w.ToolViewClick();
    EXPECT_EQ((std::vector<int32_t>{6, 2, 3}), host.shown);
    // Outside fire mode the table's cells open no building tools.
    EXPECT_EQ((Names{"ToolView", "ToolWayOpen", "ToolWayClose"}), EnabledTools());
}

TEST_F(RouteWindowsTest, ChoosingTheTeamLastMakesTheRouteBuildable) {
    FireMode(4);
    w.WayVGSHClick();
    ASSERT_NE(nullptr, w.Saver());
    Table().SetCells(1, 1, Ru("1 Ствол"));
    Table().SetCells(2, 1, Ru("5 Штрек"));
    Select(1, 1);
    Select(0, 1);
    ASSERT_TRUE(w.Form()->ComboBox1.Visible);
    // Picked from the list, not left by moving the focus elsewhere.
    w.ComboBox1Change(2);
    EXPECT_EQ("3", Cell(0, 1));
    const Names enabled = EnabledTools();
    EXPECT_NE(enabled.end(), std::find(enabled.begin(), enabled.end(), "ToolCreate"));
}

TEST_F(RouteWindowsTest, RescueRouteFromTheEndNodeOfItsStartBranch) {
    FireMode(4);
    w.WayVGSHClick();
    ASSERT_NE(nullptr, w.Saver());
    EXPECT_EQ(2, state.RouteKind);
    // The window can be brought back and closed from the tool bar; the
    // table's cells enable the rest.
    EXPECT_EQ((Names{"ToolWayOpen", "ToolWayClose"}), EnabledTools());
    EXPECT_EQ(3, Table().RowCount());
    // The team number from the drop-down over column 0.
    Select(1, 1);
    Select(0, 1);
    ASSERT_TRUE(w.Form()->ComboBox1.Visible);
    EXPECT_EQ("5", w.Form()->ComboBox1.Items.back());
    w.ComboBox1Exit(1);
    EXPECT_EQ("2", Cell(0, 1));
    Select(1, 1);
    EXPECT_EQ((Names{"ToolChoose", "ToolList", "ToolWayOpen", "ToolWayClose"}), EnabledTools());
    // Missing target.
    Table().SetCells(1, 1, Ru("1 Ствол"));
    messages.Expect(mrOk, "Проверьте правильность заполнения полей");
    w.ToolCreateClick();
    // From node 2, the end of b1, to branch 5 (its begin node 5: 120 m).
    Table().SetCells(2, 1, Ru("5 Штрек"));
    w.TypeWayGraphClick(1);
    w.ToolCreateClick();
    EXPECT_EQ("4", Cell(5, 1));
    EXPECT_EQ("120 м", Cell(3, 1));
    EXPECT_EQ((std::vector<int32_t>{4}), host.shown);
    EXPECT_TRUE(w.ToolEnabled[ToolView] && w.ToolEnabled[ToolEdit] && w.ToolEnabled[ToolSave]);

    // Excluding b4: node 4 by b2 and b3 (150 m) beats node 5 by b5 (270 m).
    messages.Expect(mrOk, "Выберите исключаемую ветвь");
    w.ToolEditClick();
    w.PlanRouteBranchExcluded(4);
    EXPECT_EQ("2,3", Cell(5, 1));
    EXPECT_EQ("150 м", Cell(3, 1));
    w.ToolSaveClick();
    messages.Expect(mrNo, "Сохранить изменения в файл?");
    ASSERT_TRUE(w.FormClose());

    host.emergencyMode = 0;
    CurrentBranch(2, 4);
    w.WayVGSHClick();
    ASSERT_NE(nullptr, w.Saver());
    EXPECT_EQ("2", Cell(0, 1));
    EXPECT_EQ("1 Ствол", Cell(1, 1));
    EXPECT_EQ("5 Штрек", Cell(2, 1));
    EXPECT_EQ("2,3", Cell(5, 1));
    EXPECT_EQ(2, Table().RowCount()); // the heading and the one route
}

TEST_F(RouteWindowsTest, StoringTwiceKeepsOneSetPerPositionAndOthersUntouched) {
    FireMode(3);
    t.TempTableM.SetRowCount(2);
    t.TempTableM.SetCells(0, 0, "5");
    t.TempTableM.SetCells(1, 0, "other");
    t.TempTableM.SetCells(0, 1, "3");
    t.TempTableM.SetCells(1, 1, "old");
    w.WayWorkerClick();
    EXPECT_EQ("old", Cell(0, 1));
    Table().SetCells(0, 1, "new");
    Table().SetCells(0, 2, "new2");
    w.ToolSaveClick();
    w.ToolSaveClick();
    ASSERT_EQ(3, t.TempTableM.RowCount());
    EXPECT_EQ("other", t.TempTableM.Cells(1, 0));
    EXPECT_EQ("new", t.TempTableM.Cells(1, 1));
    EXPECT_EQ("new2", t.TempTableM.Cells(1, 2));
    EXPECT_EQ("3", t.TempTableM.Cells(0, 2));
}

TEST_F(RouteWindowsTest, LoadingGivesThreeRowsAndDropsWhatWasShownBefore) {
    FireMode(3);
    w.WayWorkerClick();
    for (int r = 1; r < 7; ++r) {
        Table().SetRowCount(r + 1);
        Table().SetCells(6, r, "9");
    }
    w.LoadPLA(RouteFormPeople, 3);
    EXPECT_EQ(3, Table().RowCount());
    Table().SetRowCount(7);
    for (int r = 1; r < 7; ++r) EXPECT_EQ("", Cell(6, r)) << r;
    messages.AllowAny();
    w.FormClose();
    w.WayVGSHClick();
    EXPECT_EQ(3, Table().RowCount());
    // Loading the other kind's table is no business of this window.
    w.LoadPLA(RouteFormPeople, 3);
    EXPECT_EQ(3, Table().RowCount());
}

TEST_F(RouteWindowsTest, CancelledCloseKeepsTheWindowAndItsTools) {
    FireMode(3);
    w.WayWorkerClick();
    w.Form()->Modified = true;
    const auto tools = Tools();
    messages.Expect(mrCancel, "Сохранить изменения в файл?");
    EXPECT_FALSE(w.FormClose());
    ASSERT_NE(nullptr, w.People());
    EXPECT_TRUE(w.Form()->Modified);
    EXPECT_EQ(tools, Tools());
    EXPECT_EQ(1, state.RouteKind);
    // Yes stores before closing.
    Table().SetCells(0, 1, "1 X");
    messages.Expect(mrYes, "Сохранить изменения в файл?");
    EXPECT_TRUE(w.FormClose());
    EXPECT_EQ("3", t.TempTableM.Cells(0, t.TempTableM.RowCount() - 1));
}

TEST_F(RouteWindowsTest, OpeningOneWindowClosesTheOtherOnlyWhenConfirmed) {
    FireMode(3);
    w.WayWorkerClick();
    messages.Expect(mrNo, "Форма маршруты горнорабочих активна и будет закрыта. Закрыть?");
    w.WayVGSHClick();
    EXPECT_NE(nullptr, w.People());
    // Cancelled at its own save question, the miners' window stays alone.
    w.Form()->Modified = true;
    messages.Expect(mrYes);
    messages.Expect(mrCancel, "Сохранить изменения в файл?");
    w.WayVGSHClick();
    EXPECT_NE(nullptr, w.People());
    messages.Expect(mrYes);
    messages.Expect(mrNo);
    w.WayVGSHClick();
    EXPECT_NE(nullptr, w.Saver());
    EXPECT_EQ(2, state.RouteKind);
    messages.Expect(mrYes, "Форма маршруты горноспасателей активна и будет закрыта. Закрыть?");
    w.WayWorkerClick();
    EXPECT_NE(nullptr, w.People());
}

TEST_F(RouteWindowsTest, ToolStatesFollowFireModeAndTheCellChosen) {
    w.SetRouteToolState(3, true);
    EXPECT_EQ(RouteToolCount, static_cast<int>(EnabledTools().size()));
    w.SetRouteToolState(0, false); // outside fire mode: nothing
    w.SetRouteToolState(5, false);
    EXPECT_EQ(RouteToolCount, static_cast<int>(EnabledTools().size()));
    w.SetRouteToolState(4, false);
    EXPECT_EQ((Names{"ToolChoose", "ToolList", "ToolCreate", "ToolEdit", "ToolSave"}),
              EnabledTools());
    w.SetRouteToolState(3, false);

    FireMode(3);
    w.WayWorkerClick();
    w.SetRouteToolState(3, false);
    Table().SetRowCount(5);
    Table().SetCells(6, 3, "1");
    Select(3, 3); // target branch, odd row with a route
    EXPECT_EQ((Names{"ToolChoose", "ToolList", "ToolView", "ToolEdit", "ToolSave"}),
              EnabledTools());
    Select(0, 4); // even row: no picking there
    EXPECT_EQ(Names{}, EnabledTools());
    Table().SetCells(0, 4, "1");
    Table().SetCells(2, 4, "x");
    Select(5, 4);
    EXPECT_EQ((Names{"ToolCreate"}), EnabledTools());
    EXPECT_FALSE(w.Form()->ComboBox1.Visible);
    Select(2, 4); // the drop-down only on odd rows
    EXPECT_FALSE(w.Form()->ComboBox1.Visible);
}

TEST_F(RouteWindowsTest, CreatingOnAnEvenRowBuildsThePairFromTheOddRowAbove) {
    FireMode(3);
    w.WayWorkerClick();
    w.TypeWayGraphClick(1);
    Table().SetCells(0, 1, Ru("6 Лава"));
    Table().SetCells(2, 1, TargetKindTexts()[0]);
    Table().SetCells(6, 2, "stale");
    Select(4, 2);
    w.ToolCreateClick();
    EXPECT_EQ("6,1", Cell(6, 1));
    EXPECT_EQ("1", Cell(6, 2));
    EXPECT_EQ(5, Table().RowCount());
    // Building again over an existing pair keeps the row count.
    w.ToolCreateClick();
    EXPECT_EQ(5, Table().RowCount());
    EXPECT_EQ(2, Table().Row());
}

TEST_F(RouteWindowsTest, ChoosingOverAFilledCellAsksBeforeTheRouteIsLost) {
    FireMode(3);
    w.WayWorkerClick();
    Table().SetCells(0, 1, "6");
    Table().SetCells(6, 1, "6,1");
    Table().SetCells(6, 2, "1");
    Table().SetCells(6, 3, "keep");
    // Cells stored beyond the window's columns belong to their route.
    Table().SetCells(8, 1, "unseen");
    Table().SetCells(8, 3, "kept");
    Select(0, 1);
    messages.Expect(mrNo, "Данные по маршруту будут уничтожены.Продолжить?");
    w.ToolChooseClick();
    EXPECT_EQ(0, w.RoutePickPending);
    EXPECT_EQ(1, view.focused);
    EXPECT_EQ("6,1", Cell(6, 1));
    messages.Expect(mrYes);
    w.ToolChooseClick();
    EXPECT_EQ(1, w.RoutePickPending);
    EXPECT_EQ("", Cell(0, 1));
    EXPECT_EQ("", Cell(6, 1));
    EXPECT_EQ("", Cell(6, 2));
    EXPECT_EQ("keep", Cell(6, 3));
    EXPECT_EQ("", Cell(8, 1));
    EXPECT_EQ("kept", Cell(8, 3));
}

TEST_F(RouteWindowsTest, ViewingAndEditingWithoutARoute) {
    FireMode(3);
    w.WayWorkerClick();
    messages.Expect(mrOk, "Не построен маршрут");
    w.ToolViewClick();
    messages.Expect(mrOk, "Невозможно редактировать маршрут. Нет маршрута.");
    w.ToolEditClick();
    EXPECT_FALSE(w.RouteEditMode());
    // The even row falls back to its odd row when viewing.
    Table().SetCells(6, 1, "4,5");
    Select(6, 2);
    w.ToolViewClick();
    EXPECT_EQ((std::vector<int32_t>{4, 5}), host.shown);
    EXPECT_TRUE(host.show);
    // "Путь не найден" is a route that shows nothing.
    Table().SetCells(6, 2, Ru("Путь не найден"));
    w.ToolViewClick();
    EXPECT_TRUE(host.shown.empty());
}

TEST_F(RouteWindowsTest, RouteTextsBecomeBranchLists) {
    w.FillMasWay(Ru("Путь не найден"));
    EXPECT_TRUE(w.RouteBranches.empty());
    w.FillMasWay(" 12, 5,7 ");
    EXPECT_EQ((std::vector<int32_t>{12, 5, 7}), w.RouteBranches);
    // Texts from a damaged file: pieces that are no numbers are skipped.
    w.FillMasWay("3,,x,4,");
    EXPECT_EQ((std::vector<int32_t>{3, 4}), w.RouteBranches);
    w.FillMasWay("");
    EXPECT_TRUE(w.RouteBranches.empty());
    w.FillMasWay("99999999999999,8");
    EXPECT_EQ((std::vector<int32_t>{8}), w.RouteBranches);
}

TEST_F(RouteWindowsTest, BranchHeightsIgnoreNumbersOutsideTheArrays) {
    TModGrid& g = t.TablDan;
    g.SetRowCount(9);
    const char* rows[][2] = {{"2", "1,5"},  {"3", "0.8"},   {"0", "7"},  {"-5", "7"},
                             {"3002", "7"}, {"99999", "7"}, {"abc", "7"}};
    for (int i = 0; i < 7; ++i) {
        g.SetCells(0, 2 + i, rows[i][0]);
        g.SetCells(20, 2 + i, rows[i][1]);
    }
    calc.BranchHeight[4] = 3;
    g.SetRowCount(10);
    g.SetCells(0, 9, "4"); // height not given
    RefreshBranchHeights(g, calc);
    EXPECT_DOUBLE_EQ(1.5, calc.BranchHeight[2]);
    EXPECT_DOUBLE_EQ(0.8, calc.BranchHeight[3]);
    EXPECT_DOUBLE_EQ(0, calc.BranchHeight[4]);
    EXPECT_DOUBLE_EQ(0, calc.BranchHeight[0]);
    EXPECT_DOUBLE_EQ(0, calc.BranchHeight[3001]);
    // A short array is never written past.
    TCalcContext small;
    small.BranchHeight.resize(3);
    RefreshBranchHeights(g, small);
    EXPECT_DOUBLE_EQ(1.5, small.BranchHeight[2]);
}

TEST_F(RouteWindowsTest, WorkplaceListAndItsEmptyLastRow) {
    TModGrid& g = t.TablDan;
    g.SetRowCount(5);
    auto row = [&g](int r, const char* n, const char* type, const char* name, const char* people) {
        g.SetCells(0, r, n);
        g.SetCells(3, r, Ru(type));
        g.SetCells(15, r, Ru(name));
        g.SetCells(21, r, people);
    };
    row(2, "5", "ОЗ", "Лава 1", "24");
    row(3, "6", "=", "Лава 2", "18");
    row(4, "8", "ТЗ", "Забой", "3");
    TListPointModel list;
    list.FormActivate(g);
    ASSERT_EQ(4, list.List.RowCount());
    EXPECT_EQ("Лава 1", Cp1251ToUtf8(list.List.Cells(2, 1)));
    EXPECT_EQ("ТЗ", Cp1251ToUtf8(list.List.Cells(1, 2)));
    EXPECT_EQ("3", list.List.Cells(3, 2));
    EXPECT_EQ("", list.List.Cells(0, 3));
    // A second activation after the table lost a face leaves no stale row.
    row(4, "8", "", "Забой", "3");
    list.FormActivate(g);
    EXPECT_EQ(3, list.List.RowCount());
    list.List.SetRowCount(4);
    EXPECT_EQ("", list.List.Cells(0, 2));

    FireMode(3);
    w.WayWorkerClick();
    int answered = 0;
    int pick = 2; // the empty last row
    w.ShowListPointModal = [&](TListPointModel& l) {
        ++answered;
        l.List.SetCurrent(0, pick);
        return true;
    };
    Select(0, 1);
    w.ToolListClick();
    EXPECT_EQ(1, answered);
    EXPECT_EQ("", Cell(0, 1));
    pick = 1;
    w.ToolListClick();
    EXPECT_EQ("5 Лава 1", Cell(0, 1));
    // A filled cell opens no list.
    w.ToolListClick();
    EXPECT_EQ(2, answered);
}

TEST_F(RouteWindowsTest, StoredRowsSurviveTheDrawingsDataText) {
    FireMode(7);
    w.WayWorkerClick();
    const char* cells[] = {"6 Лава;1", "Из начального (7)", "свежая струя", "", "140 м", "3 мин",
                           "6,1"};
    for (int c = 0; c < 7; ++c) Table().SetCells(c, 1, Ru(cells[c]));
    Table().SetCells(0, 2, Ru("6 Лава"));
    Table().SetCells(6, 2, Ru("Путь не найден"));
    w.ToolSaveClick();
    messages.AllowAny();
    w.FormClose();
    // Twice through the text: the second save writes what the first read.
    for (int round = 0; round < 2; ++round) {
        const std::string text = BuildNetworkDataText(t, calc);
        t.EmptyAllTables();
        ParseNetworkDataText(text, t, calc);
    }
    host.emergencyMode = 0;
    CurrentBranch(6, 7);
    w.WayWorkerClick();
    ASSERT_NE(nullptr, w.People());
    // ';' cannot live in a record; the writer makes it ','.
    EXPECT_EQ("6 Лава,1", Cell(0, 1));
    for (int c = 1; c < 7; ++c) EXPECT_EQ(cells[c], Cell(c, 1)) << c;
    EXPECT_EQ("Путь не найден", Cell(6, 2));
    EXPECT_EQ(3, Table().RowCount());
}

// The stored rows of a position, each up to its last filled cell.
std::vector<std::vector<std::string>> StoredRows(const TModGrid& g, const std::string& key) {
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < g.RowCount(); ++r) {
        if (g.Cells(0, r) != key) continue;
        rows.emplace_back();
        for (int c = 0; c <= g.LastFilledCol(r); ++c) rows.back().push_back(g.Cells(c, r));
    }
    return rows;
}

TEST_F(RouteWindowsTest, SaveWritesStoredRowsBackAsTheyWereUnlessEmptied) {
    // Position 9 (kept from a fuzzing run): a row whose first cell is empty,
    // and one with two cells beyond the window's seven columns.
    std::ifstream in(std::string(ARV_ROUTES_TEST_DATA) +
                         "/fuzz/stored_routes/route-row-empty-first-cell-dropped-on-save.txt",
                     std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    messages.AllowAny();
    ParseNetworkDataText(text, t, calc);
    const auto stored = StoredRows(t.TempTableM, "9");
    ASSERT_EQ(2u, stored.size());
    FireMode(9);
    w.WayWorkerClick();
    EXPECT_EQ("3", Cell(0, 1));
    EXPECT_EQ("2,3,4", Cell(6, 1));
    EXPECT_EQ("", Cell(0, 2));
    EXPECT_EQ("30", Cell(1, 2));
    w.ToolSaveClick();
    EXPECT_EQ(stored, StoredRows(t.TempTableM, "9"));
    TCalcContext otherCalc;
    TNetworkTables other{otherCalc};
    other.InitTables();
    ParseNetworkDataText(BuildNetworkDataText(t, calc), other, otherCalc);
    EXPECT_EQ(stored, StoredRows(other.TempTableM, "9"));

    // A row emptied in the window goes, its unseen cells with it; a row
    // stored with nothing in the window's columns stays.
    const int unseen = t.TempTableM.RowCount();
    t.TempTableM.SetRowCount(unseen + 1);
    t.TempTableM.SetCells(0, unseen, "9");
    t.TempTableM.SetCells(9, unseen, "x");
    w.LoadPLA(RouteFormPeople, 9);
    for (int c = 0; c < 7; ++c) Table().SetCells(c, 1, "");
    w.ToolSaveClick();
    EXPECT_EQ((std::vector<std::vector<std::string>>{stored[1],
                                                     {"9", "", "", "", "", "", "", "", "", "x"}}),
              StoredRows(t.TempTableM, "9"));
}

TEST_F(RouteWindowsTest, PlaDocumentNamesAndOpening) {
    EXPECT_EQ((Names{"12Пожар.doc", "12.doc"}), [] {
        Names n;
        for (auto& s : PlaDocumentNames(Ru("12 Пожар"))) n.push_back(Cp1251ToUtf8(s));
        return n;
    }());
    EXPECT_EQ(3u, PlaDocumentNames(Ru("12а Взрыв")).size());
    EXPECT_EQ("12" + Ru("а") + ".doc", PlaDocumentNames(Ru("12а Взрыв"))[1]);
    EXPECT_EQ(1u, PlaDocumentNames(Ru("Пожар")).size());

    test::TRecordingOpener opener;
    host.plaFolder = (dir / "pla").string();
    std::filesystem::create_directories(dir / "pla");
    w.ListPla.ListBoxPLA = {Ru("12а Взрыв")};
    // Nothing chosen, or no branch current: nothing happens.
    EXPECT_FALSE(w.BitBtnShowClick());
    w.ListPla.ItemIndex = 0;
    EXPECT_FALSE(w.BitBtnShowClick());
    CurrentBranch(3, 12);
    messages.Expect(mrOk, "Файл " + Cp1251ToUtf8(host.plaFolder) +
                              "/12аВзрыв.doc не найден. Проверьте путь и наличие файла. "
                              "Проверьте соответствие имени файла и вида аварии.");
    EXPECT_FALSE(w.BitBtnShowClick());
    EXPECT_TRUE(opener.Opened().empty());
    // The task commands' name is found next.
    std::ofstream(dir / "pla" / "12а.doc") << "x";
    EXPECT_TRUE(w.BitBtnShowClick());
    ASSERT_EQ(1u, opener.Opened().size());
    EXPECT_EQ(host.plaFolder + "/12" + Ru("а") + ".doc", opener.Opened()[0]);
    std::ofstream(dir / "pla" / "12аВзрыв.doc") << "x";
    opener.SetResult(false);
    messages.Expect(mrOk, "Проверьте наличие WinWord или файла " + Cp1251ToUtf8(host.plaFolder) +
                              "/12аВзрыв.doc");
    EXPECT_TRUE(w.BitBtnShowClick());
    EXPECT_EQ(2u, opener.Opened().size());
}

TEST_F(RouteWindowsTest, WindowLayoutComesFromAndGoesToTheSettingsFile) {
    {
        TIniFile ini(ProgramFile("Kestrum.ini"));
        ini.WriteInteger("WaySaver", "Width", 900);
        ini.WriteInteger("WaySaver", "ColWidths5", 300);
    }
    FireMode(3);
    w.WayVGSHClick();
    EXPECT_EQ(900, w.Form()->Width);
    EXPECT_EQ(480, w.Form()->Height);
    EXPECT_EQ(300, Table().ColWidths(5));
    EXPECT_EQ(60, w.Form()->ColWidths[0]);
    w.Form()->Height = 500;
    w.Form()->ColWidths[1] = 111;
    w.FormClose();
    EXPECT_EQ(1, view.stored);
    TIniFile ini(ProgramFile("Kestrum.ini"));
    EXPECT_EQ(500, ini.ReadInteger("WaySaver", "Height", 0));
    EXPECT_EQ(111, ini.ReadInteger("WaySaver", "ColWidths1", 0));
    EXPECT_EQ(900, ini.ReadInteger("WaySaver", "Width", 0));
    EXPECT_FALSE(ini.SectionExists("WayPeople"));
}

TEST_F(RouteWindowsTest, BreathableAirDecidesWhetherWorkCanBeChosen) {
    FireMode(3);
    w.WayVGSHClick();
    w.RGWorkClick(2);
    w.RGAtmosoheraClick(0);
    EXPECT_FALSE(w.Form()->RGWorkEnabled);
    EXPECT_EQ(0, state.Rescue.Atmosphere);
    EXPECT_EQ(2, state.Rescue.Work);
    w.RGAtmosoheraClick(1);
    EXPECT_TRUE(w.Form()->RGWorkEnabled);
}

} // namespace
} // namespace arv::routes
