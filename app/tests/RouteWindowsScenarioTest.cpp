// Routes on the sample drawing after a fire: built, edited, stored, found
// again, and drawn on the plan; first through the route windows' controller
// over the drawing window, then through the program's windows.
#include "app/DrawWinRoutes.h"
#include "app/tests/DrawWinTestSupport.h"
#include "app/tests/MouseEvents.h"
#include "app/tests/SampleProgramFolder.h"
#include "app/ui/PlanPainter.h"
#include "app/ui/ProgramStart.h"
#include "calc/engine/FireAnalysis.h"
#include "calc/window/DataWindowController.h"
#include "platform/IniFile.h"
#include "platform/qt/GridView.h"
#include "routes/ui/RouteFormWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <QWindow>

#include <algorithm>
#include <set>

namespace arv::test {
namespace {

// The emergency state a fire task in branch 3 leaves, PLA position 2.
class TFireHost : public TDrawWinRouteHost {
public:
    using TDrawWinRouteHost::TDrawWinRouteHost;
    int32_t mode = 3;
    int32_t EmergencyMode() override { return mode; }
    int32_t FireBranchNumber() override { return 3; }
    std::string FireBranchName() override { return Ru("Штрек откаточный восточный"); }
};

std::vector<int32_t> Numbers(const std::string& route) {
    std::vector<int32_t> out;
    size_t from = 0;
    while (from <= route.size()) {
        const size_t comma = std::min(route.find(',', from), route.size());
        out.push_back(std::stoi(route.substr(from, comma - from)));
        from = comma + 1;
    }
    return out;
}

// Pixels of the route's green.
int GreenPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == 0x008000) ++n;
    return n;
}

// The middle of a branch on the screen.
TPoint Middle(TGCollFigure& doc, int32_t number) {
    for (int32_t i = 0; i < doc.Count(); ++i)
        if (TGBranch* b = doc.BranchAt(i); b && b->number == number) {
            const TPoint p = doc.WorldToScreen(b->Begin()), q = doc.WorldToScreen(b->End());
            return {(p.x + q.x) / 2, (p.y + q.y) / 2};
        }
    ADD_FAILURE() << "no branch " << number;
    return {};
}

struct RouteScenarioTest : DrawWinTest {
    routes::TRouteState state;
    std::unique_ptr<TFireHost> host;
    std::unique_ptr<routes::TRouteWindows> r;
    int base = 0; // green of the plan without a route

    RouteScenarioTest() {
        std::filesystem::copy_file(std::string(ARV_BIN_DIR) + "/SampleMine.grh",
                                   dir / "SampleMine.grh");
        Start();
        Open();
        host = std::make_unique<TFireHost>(*w);
        r = std::make_unique<routes::TRouteWindows>(*host, t, calc, state);
    }
    // The drawing and its network data, as File, Open does it.
    void Open() {
        dialogs.Answer(File("SampleMine.grh"));
        w->Open1Click();
        ASSERT_EQ("14", t.TablDan.Cells(0, 15));
        w->ViewAllClick();
    }
    ~RouteScenarioTest() override {
        r.reset();
        WindowState().ShowRoute = 0;
        WindowState().RouteBranches.clear();
    }
    // The fire calculation of the data window in branch 3 (row 4).
    void Fire() {
        t.TablDan.SetCurrent(0, 4);
        t.TablDan.SetCells(18, 4, "5"); // thermal depression of the fire, mm
        base = GreenPixels(Plan());
        messages.Expect(mrYes, "Пожар в ветви 3 Штрек откаточный восточный Расчитать? ");
        messages.AllowAny();
        ASSERT_TRUE(Rasc_PogClick(t, calc));
        messages.AllowAny(false);
        ASSERT_GT(calc.SmokedBranchMark[5], 0); // the face is in the smoke
        // The burning branch carries the PLA position the routes belong to.
        ASSERT_TRUE(w->Doc().HasBranchNumber(3));
        static_cast<TGBranch*>(w->Doc().CurrentFigure())->Caption(3).a = 2;
        host->SetCurrentPlaPosition(2);
    }
    TModGrid& Table() { return r->Form()->InfoWayPeople; }
    std::string Cell(int col, int row) { return Cp1251ToUtf8(Table().Cells(col, row)); }
    std::string Name(int32_t number) {
        for (int32_t i = 0; i < w->Doc().Count(); ++i)
            if (TGBranch* b = w->Doc().BranchAt(i); b && b->number == number) return b->name;
        return {};
    }
    // Picks a branch for the current cell as the plan would.
    void Pick(int col, int row, int32_t number) {
        Table().SetCurrent(col, row);
        r->ToolChooseClick();
        ASSERT_TRUE(r->PlanBranchPicked(number, Name(number)));
    }
    void Exclude(int32_t number) {
        messages.Expect(mrOk, "Выберите исключаемую ветвь");
        r->ToolEditClick();
        ASSERT_TRUE(r->PlanRouteBranchExcluded(number));
    }
    // The plan as the window paints it.
    QImage Plan() {
        QImage image(w->PaintWidth, w->PaintHeight, QImage::Format_RGB32);
        image.fill(Qt::white);
        PaintDocument(image, w->Doc());
        return image;
    }
    // Then, outside fire mode, on the branch of position 2.
    void ViewingLater() {
        host->mode = 0;
        ASSERT_TRUE(w->Doc().HasBranchNumber(3));
    }
};

TEST_F(RouteScenarioTest, MinersRouteFromTheFaceAfterAFire) {
    Fire();
    r->WayWorkerClick();
    ASSERT_NE(nullptr, r->People());
    EXPECT_EQ("Ветвь 3  Штрек откаточный восточный             Позиция ПЛА №2   Пожар",
              Cp1251ToUtf8(r->Form()->TextMain));
    // The face "Лава 1 восточная" (branch 5) is the one workplace listed.
    r->ShowListPointModal = [](routes::TListPointModel& l) {
        EXPECT_EQ("5", l.List.Cells(0, 1));
        EXPECT_EQ("", l.List.Cells(0, 2));
        return true;
    };
    Table().SetCurrent(0, 1);
    r->ToolListClick();
    EXPECT_EQ("5 Лава 1 восточная", Cell(0, 1));
    Table().SetCurrent(2, 1);
    r->ComboBox1Change(0); // "ближайший узел поверхности"
    r->ToolCreateClick();
    // The drift on fire (3) is no way out: round by the returns and the
    // haulage drift to the incline's fan, surface node 12.
    const std::string second = Cell(6, 2);
    ASSERT_EQ("5,7,8,6,4,2,11,12", Cell(6, 1));
    ASSERT_EQ("7,8,6,4,2,11,12", second);
    EXPECT_EQ("Из начального (4)", Cell(1, 1));
    EXPECT_EQ("Из конечного (6)", Cell(1, 2));
    EXPECT_TRUE(Cell(4, 1).ends_with(" м"));
    EXPECT_TRUE(Cell(5, 1).ends_with(" мин"));
    EXPECT_TRUE(w->DrawingModified);

    // The route of the current row is drawn in green over the plan.
    EXPECT_EQ(1, WindowState().ShowRoute);
    EXPECT_EQ(Numbers(second), WindowState().RouteBranches);
    const QImage shown = Plan();
    const TPoint mid = Middle(w->Doc(), Numbers(second).front());
    EXPECT_EQ(0x008000u, shown.pixel(mid.x, mid.y) & 0xFFFFFF);
    EXPECT_GT(GreenPixels(shown), base + 100);

    // Without the incline's fan (12) the upcast shaft's fan takes them out.
    Exclude(12);
    const std::string rebuilt = Cell(6, 2);
    EXPECT_EQ("7,9,10", rebuilt);
    EXPECT_EQ("5,7,9,10", Cell(6, 1));
    EXPECT_EQ(Numbers(rebuilt), WindowState().RouteBranches);
    const QImage edited = Plan();
    const TPoint gone = Middle(w->Doc(), 8), kept = Middle(w->Doc(), 9);
    EXPECT_NE(0x008000u, edited.pixel(gone.x, gone.y) & 0xFFFFFF);
    EXPECT_EQ(0x008000u, edited.pixel(kept.x, kept.y) & 0xFFFFFF);
    const std::vector<std::string> stored = {Cell(6, 1), rebuilt};

    r->ToolSaveClick();
    messages.Expect(mrNo, "Сохранить изменения в файл?");
    r->ToolWayCloseClick();
    EXPECT_EQ(nullptr, r->Form());
    EXPECT_EQ(0, WindowState().ShowRoute);
    EXPECT_EQ(base, GreenPixels(Plan()));

    // Saved with the drawing and opened again.
    w->Save1Click();
    ASSERT_FALSE(w->DrawingModified);
    t.TempTableM.ClearAll();
    Open();
    ViewingLater();
    r->WayWorkerClick();
    ASSERT_NE(nullptr, r->People());
    EXPECT_EQ("Позиция ПЛА № 2", Cp1251ToUtf8(r->Form()->TextMain));
    EXPECT_EQ("5 Лава 1 восточная", Cell(0, 1));
    EXPECT_EQ(stored[0], Cell(6, 1));
    EXPECT_EQ(stored[1], Cell(6, 2));
    EXPECT_FALSE(r->ToolEnabled[routes::ToolCreate]);
}

TEST_F(RouteScenarioTest, RescueTeamToTheFireAfterAFire) {
    Fire();
    r->WayVGSHClick();
    ASSERT_NE(nullptr, r->Saver());
    Table().SetCurrent(1, 1);
    Table().SetCurrent(0, 1);
    r->ComboBox1Change(0);
    EXPECT_EQ("1", Cell(0, 1));
    // From the top of the upcast shaft (node 9) to the burning drift.
    Pick(1, 1, 9);
    Pick(2, 1, 3);
    EXPECT_TRUE(r->ToolEnabled[routes::ToolCreate]);
    r->ToolCreateClick();
    const std::string route = Cell(5, 1);
    // Down the shaft and the eastern return to node 4, the drift's end:
    // 430 + 620 + 180 m.
    EXPECT_EQ("9,7,5", route);
    EXPECT_EQ("1230 м", Cell(3, 1));
    EXPECT_EQ((std::vector<int32_t>{9, 7, 5}), WindowState().RouteBranches);
    const TPoint mid = Middle(w->Doc(), 7);
    EXPECT_EQ(0x008000u, Plan().pixel(mid.x, mid.y) & 0xFFFFFF);

    // Without the eastern return: the western one to node 3, the drift's
    // begin node: 430 + 680 + 160 + 700 m.
    Exclude(7);
    const std::string rebuilt = Cell(5, 1);
    EXPECT_EQ("9,8,6,4", rebuilt);
    EXPECT_EQ("1970 м", Cell(3, 1));
    const QImage edited = Plan();
    const TPoint gone = Middle(w->Doc(), 7), west = Middle(w->Doc(), 6);
    EXPECT_NE(0x008000u, edited.pixel(gone.x, gone.y) & 0xFFFFFF);
    EXPECT_EQ(0x008000u, edited.pixel(west.x, west.y) & 0xFFFFFF);
    r->ToolSaveClick();
    messages.Expect(mrNo, "Сохранить изменения в файл?");
    ASSERT_TRUE(r->FormClose());

    ViewingLater();
    r->WayVGSHClick();
    ASSERT_NE(nullptr, r->Saver());
    EXPECT_EQ("1", Cell(0, 1));
    EXPECT_EQ("9 " + Cp1251ToUtf8(Name(9)), Cell(1, 1));
    EXPECT_EQ("3 " + Cp1251ToUtf8(Name(3)), Cell(2, 1));
    EXPECT_EQ(rebuilt, Cell(5, 1));
}

} // namespace
} // namespace arv::test

namespace arv::test {
namespace {

// The program's windows: the menu opens the miners' window, the tool bar and
// a press on the plan fill its table, and the plan shows the route.
struct RouteWindowsUiTest : test::SampleProgramTest {
    RouteWindowsUiTest() { Start(); }
    bool Enabled(const char* tool) { return p->IDrawWinForm->Action(tool)->isEnabled(); }
    // A left press on the plan at a screen point.
    void PressPlan(TPoint at) {
        QWidget* plan = p->IDrawWinForm->PaintBox1();
        Send(plan, QEvent::MouseButtonPress, {at.x, at.y}, Qt::LeftButton, Qt::LeftButton);
        Send(plan, QEvent::MouseButtonRelease, {at.x, at.y}, Qt::LeftButton, Qt::NoButton);
    }
};

TEST_F(RouteWindowsUiTest, MinersWindowFromTheMenuAndTheToolBar) {
    for (int i = 0; i < routes::RouteToolCount; ++i)
        EXPECT_FALSE(Enabled(routes::RouteToolName(i))) << i;
    // Outside fire mode, with no branch chosen, there is nothing to show.
    messages.Expect(mrOk, "Для выбранного объекта отсутствует позиция ПЛА");
    p->IDrawWinForm->Action("WayWorker")->trigger();
    EXPECT_EQ(nullptr, routes::RouteFormWindow());

    // What a fire task in branch 3 leaves behind. The plan now asks for the
    // fire picture, which this program folder lacks; that notice may come
    // with any redraw below.
    ASSERT_TRUE(test::LeaveFireInBranch3(messages));
    TNetworkTables& t = DataWindowController().Tables();

    Trigger("WayWorker");
    routes::TRouteFormWindow* form = routes::RouteFormWindow();
    ASSERT_NE(nullptr, form);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ("Маршруты вывода горнорабочих", form->windowTitle().toStdString());
    for (const char* on : {"ToolChoose", "ToolList", "ToolTrash", "ToolWayOpen", "ToolWayClose"})
        EXPECT_TRUE(Enabled(on)) << on;
    EXPECT_FALSE(Enabled("ToolCreate"));

    // The face picked on the plan.
    TModGrid& table = form->Form().InfoWayPeople;
    form->InfoWayPeople()->setCurrentIndex(form->InfoWayPeople()->FromGrid(0, 1));
    p->IDrawWinForm->Action("ToolChoose")->trigger();
    // The route window steps aside for the pick and comes back after it.
    EXPECT_FALSE(form->isVisible());
    PressPlan(Middle(p->DrawWin->Doc(), 5));
    EXPECT_EQ("5 Лава 1 восточная", Cp1251ToUtf8(table.Cells(0, 1)));
    EXPECT_TRUE(form->isVisible());

    // The target from the drop-down the cell shows.
    form->InfoWayPeople()->setCurrentIndex(form->InfoWayPeople()->FromGrid(2, 1));
    QApplication::processEvents();
    QComboBox* combo = form->ComboBox1();
    ASSERT_TRUE(combo->isVisible());
    EXPECT_EQ(3, combo->count());
    emit combo->activated(0);
    EXPECT_FALSE(combo->isVisible());
    EXPECT_EQ("ближайший узел поверхности", Cp1251ToUtf8(table.Cells(2, 1)));
    form->InfoWayPeople()->setCurrentIndex(form->InfoWayPeople()->FromGrid(1, 1));
    EXPECT_TRUE(Enabled("ToolCreate"));

    // Built and shown in green on the plan the window painted.
    const QImage before = p->IDrawWinForm->PlanImage().convertToFormat(QImage::Format_RGB32);
    p->IDrawWinForm->Action("ToolCreate")->trigger();
    EXPECT_EQ("7,8,6,4,2,11,12", Cp1251ToUtf8(table.Cells(6, 2)));
    const QImage after = p->IDrawWinForm->PlanImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(GreenPixels(after), GreenPixels(before) + 100);
    EXPECT_TRUE(Enabled("ToolView") && Enabled("ToolEdit") && Enabled("ToolSave"));

    // Route edit mode: a press on the incline's fan excludes it.
    messages.Expect(mrOk, "Выберите исключаемую ветвь");
    p->IDrawWinForm->Action("ToolEdit")->trigger();
    EXPECT_EQ(21, p->DrawWin->DrawMode);
    PressPlan(Middle(p->DrawWin->Doc(), 12));
    EXPECT_EQ(1, p->DrawWin->DrawMode);
    EXPECT_EQ("7,9,10", Cp1251ToUtf8(table.Cells(6, 2)));

    // Stored and closed from the tool bar.
    p->IDrawWinForm->Action("ToolSave")->trigger();
    EXPECT_TRUE(p->DrawWin->DrawingModified);
    messages.Expect(mrNo, "Сохранить изменения в файл?");
    Trigger("ToolWayClose");
    EXPECT_EQ(nullptr, routes::RouteFormWindow());
    for (int i = 0; i < routes::RouteToolCount; ++i)
        EXPECT_FALSE(Enabled(routes::RouteToolName(i))) << i;
    EXPECT_EQ("7,9,10", Cp1251ToUtf8(t.TempTableM.Cells(7, t.TempTableM.RowCount() - 1)));
}

TEST_F(RouteWindowsUiTest, TargetBoxLeftWithTabWritesItsItemAndTheWindowStaysOwned) {
    ASSERT_TRUE(test::LeaveFireInBranch3(messages));
    Trigger("WayWorker");
    routes::TRouteFormWindow* form = routes::RouteFormWindow();
    ASSERT_NE(nullptr, form);
    // A tool window of the main window: desktops keep it above its owner
    // while the user works with the route tool bar there.
    EXPECT_EQ(Qt::Tool, form->windowType());
    ASSERT_NE(nullptr, form->windowHandle());
    EXPECT_EQ(p->IDrawWinForm->windowHandle(), form->windowHandle()->transientParent());

    TModGrid& table = form->Form().InfoWayPeople;
    table.SetCells(0, 1, Ru("5 Лава 1 восточная"));
    form->activateWindow();
    QApplication::processEvents();
    form->InfoWayPeople()->setCurrentIndex(form->InfoWayPeople()->FromGrid(2, 1));
    QApplication::processEvents();
    QComboBox* combo = form->ComboBox1();
    ASSERT_TRUE(combo->isVisible());
    ASSERT_TRUE(combo->hasFocus());
    EXPECT_FALSE(Enabled("ToolCreate"));
    QTest::keyClick(combo, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_FALSE(combo->isVisible());
    EXPECT_EQ("ближайший узел поверхности", Cp1251ToUtf8(table.Cells(2, 1)));
    EXPECT_TRUE(Enabled("ToolCreate"));
    EXPECT_TRUE(form->InfoWayPeople()->hasFocus());
    EXPECT_EQ(2, table.Col());
    p->IDrawWinForm->Action("ToolWayClose")->trigger();
}

// The route table shows its texts whole within the window, the route
// column taking the rest: after a search, and as the window is resized.
TEST_F(RouteWindowsUiTest, RouteColumnsFitTheirTextsAndTheRouteTakesTheRest) {
    ASSERT_TRUE(test::LeaveFireInBranch3(messages));
    p->IDrawWinForm->Action("WayWorker")->trigger();
    routes::TRouteFormWindow* form = routes::RouteFormWindow();
    ASSERT_NE(nullptr, form);
    form->Form().InfoWayPeople.SetCells(0, 1, Ru("5 Лава 1 восточная"));
    form->Form().InfoWayPeople.SetCells(2, 1, Ru("ближайший узел поверхности"));
    form->Form().InfoWayPeople.SetCurrent(1, 1);
    p->IDrawWinForm->Action("ToolCreate")->trigger();
    p->IDrawWinForm->Action("ToolWayOpen")->trigger();
    TGridView* grid = form->InfoWayPeople();
    int others = 0;
    for (int c = 0; c < 6; ++c) others += grid->ContentWidth(c);
    for (int room : {others + 250, others}) {
        form->resize(form->width() + room - grid->viewport()->width(), form->height());
        QApplication::processEvents();
        for (int c = 0; c < 6 && room > others; ++c)
            EXPECT_EQ(grid->ContentWidth(c), grid->columnWidth(c)) << c;
        EXPECT_EQ(room, grid->horizontalHeader()->length());
        EXPECT_GE(grid->columnWidth(6), std::min(grid->ContentWidth(6), room / 3));
    }
}

// A route window opens within the plan, below the menu and every tool bar
// row: smaller where the plan is smaller than the size kept in the settings
// file (which stays there for a larger screen), and back below the tool bars
// when the user left it over them.
TEST_F(RouteWindowsUiTest, RouteWindowStaysWithinThePlanBelowTheToolBars) {
    TIniFile ini(ProgramFile("Kestrum.ini"));
    ini.WriteInteger("WayPeople", "Height", 2000);
    ASSERT_TRUE(test::LeaveFireInBranch3(messages));
    TIDrawWinForm& main = *p->IDrawWinForm;
    const QWidget* area = main.centralWidget();
    const QRect plan =
        QRect(area->mapToGlobal(QPoint(0, 0)), area->size()) & main.screen()->availableGeometry();
    int toolBarsEnd = 0;
    for (QToolBar* bar : main.findChildren<QToolBar*>())
        if (bar->isVisible())
            toolBarsEnd = std::max(toolBarsEnd, bar->mapToGlobal(QPoint(0, bar->height())).y());
    ASSERT_GT(toolBarsEnd, main.geometry().top());

    Trigger("WayWorker");
    routes::TRouteFormWindow* form = routes::RouteFormWindow();
    ASSERT_NE(nullptr, form);
    EXPECT_TRUE(plan.contains(form->frameGeometry())) << form->frameGeometry().height();
    EXPECT_GE(form->frameGeometry().top(), toolBarsEnd);

    form->move(plan.left(), main.geometry().top());
    form->InfoWayPeople()->setCurrentIndex(form->InfoWayPeople()->FromGrid(0, 1));
    main.Action("ToolChoose")->trigger();
    PressPlan(Middle(p->DrawWin->Doc(), 5));
    ASSERT_TRUE(form->isVisible());
    EXPECT_EQ(QPoint(plan.left(), plan.top()), form->frameGeometry().topLeft());
    EXPECT_GE(plan.top(), toolBarsEnd);
    main.Action("ToolWayClose")->trigger();
    EXPECT_EQ(2000, TIniFile(ProgramFile("Kestrum.ini")).ReadInteger("WayPeople", "Height", 0));
}

} // namespace
} // namespace arv::test
