// What goes with a drawing: its route windows and their unsaved routes, the
// fire task's state and the report. The real program, offscreen, on the
// sample drawing: every way out of the drawing asks about them, "Отмена"
// keeps them, and the next drawing shows nothing of them; a route window
// that stepped aside comes back; no question writes a file it did not name.
#include "app/tests/MouseEvents.h"
#include "app/tests/SampleProgramFolder.h"

#include "calc/files/SchemeImport.h"
#include "calc/window/DataWindowController.h"
#include "converter/tests/SampleMine.h"
#include "document/Branch.h"
#include "document/WindowHost.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/qt/GridView.h"
#include "platform/qt/QtBitmap.h"
#include "platform/qt/QtText.h"
#include "platform/testing/ScriptedServices.h"
#include "reports/ui/OtchetRE.h"
#include "routes/RouteWindows.h"
#include "routes/ui/RouteFormWindow.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>

#include <gtest/gtest.h>

namespace arv::test {
namespace {

using routes::RouteFormWindow;

// The stand-in of the desktop's session manager.
struct TSessionEnd : ISessionEnd {
    bool interaction = true;
    bool cancelled = false;
    bool AllowsInteraction() override { return interaction; }
    void Cancel() override { cancelled = true; }
};

struct DrawingCompanionsTest : SampleProgramTest {
    DrawingCompanionsTest() {
        // The fire picture the plan shows in fire mode.
        InstallQtBitmapCodec();
        QImage fire(4, 4, QImage::Format_RGB32);
        fire.fill(Qt::red);
        fire.save(QString::fromStdString(folder.File("IMG/fire.bmp")), "BMP");
        std::filesystem::copy_file(folder.File("SampleMine.grh"), folder.File("Other.grh"));
    }
    ~DrawingCompanionsTest() override {
        p.reset();
        Tables().TempTableM.ClearAll();
        Tables().TempTableS.ClearAll();
    }
    std::string DataTitle() { return Cp1251ToUtf8(FromQString(p->Form1->windowTitle())); }
    // A data window command hidden in its menus, with the file chosen.
    void DataCommand(const char* action, const char* file) {
        dialogs.Answer(File(file));
        QAction* a = p->Form1->Action(action);
        a->setEnabled(true);
        a->trigger();
        QApplication::processEvents();
    }
    void UseHalvard() {
        W().RunConverter = [](const std::string&, const std::vector<std::string>& args) {
            return RunConverterAndWait(ARV_HALVARD_PATH, args);
        };
    }
    // Typed into row 2 as the user types (the first key opens the editor).
    void TypeIntoCell(TModGrid& grid, int page, int col, const char* text) {
        p->Form1->show();
        p->Form1->activateWindow();
        p->Form1->findChild<QTabWidget*>("TabbedNotebook1")->setCurrentIndex(page);
        QApplication::processEvents();
        TGridView* view = p->Form1->GridView(grid);
        view->setCurrentIndex(view->FromGrid(col, 2));
        QTest::keyClick(view, text[0]);
        QTest::keyClicks(QApplication::focusWidget(), text + 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    void OpenBookmark() {
        auto* menu = p->IDrawWinForm->findChild<QMenu*>("MBookmarks");
        emit menu->aboutToShow();
        for (QAction* a : menu->actions())
            if (a->data().toInt() == 1) a->trigger();
        QApplication::processEvents();
    }
    TGBranch* Branch(int32_t number) {
        for (int32_t i = 0; i < W().Doc().Count(); ++i)
            if (TGBranch* b = W().Doc().BranchAt(i); b && b->number == number) return b;
        return nullptr;
    }
    // "Пожар в выработке" on branch 3, which carries PLA position 2.
    void Fire() {
        TBranchCaption& pla = Branch(3)->Caption(3);
        pla.a = pla.b = 2;
        pla.shown = 1;
        ASSERT_TRUE(W().Doc().HasBranchNumber(3));
        TModGrid& dan = Tables().TablDan;
        for (int r = 2; r < dan.RowCount(); ++r)
            if (Trim(dan.Cells(0, r)) == "3") dan.SetCells(18, r, "5");
        messages.Expect(mrYes, "Пожар в ветви 3 Штрек откаточный восточный Расчитать? ");
        Trigger("Zad_Pojar");
        ASSERT_EQ(3, W().EmergencyMode);
        ASSERT_EQ(2, W().CurrentPlaPosition);
    }
    TModGrid& Table() { return RouteFormWindow()->Form().InfoWayPeople; }
    std::string Cell(int col, int row) { return Cp1251ToUtf8(Table().Cells(col, row)); }
    // A cell chosen in the table, as a click chooses it.
    void Select(int col, int row) {
        TGridView* view = RouteFormWindow()->InfoWayPeople();
        if (Table().Col() == col && Table().Row() == row)
            view->setCurrentIndex(view->FromGrid(col == 0 ? 1 : 0, row));
        view->setCurrentIndex(view->FromGrid(col, row));
    }
    // The route's green at the middle of each branch on the plan shown.
    int RouteGreenAt(const std::vector<int32_t>& branches) {
        const QImage plan = p->IDrawWinForm->PlanImage();
        TGCollFigure& doc = W().Doc();
        int green = 0;
        for (int32_t number : branches) {
            TGBranch* b = Branch(number);
            if (!b) continue;
            const TPoint s = doc.WorldToScreen(b->Begin()), e = doc.WorldToScreen(b->End());
            const QPoint mid((s.x + e.x) / 2, (s.y + e.y) / 2);
            if (plan.rect().contains(mid)) green += (plan.pixel(mid) & 0xFFFFFF) == 0x008000;
        }
        return green;
    }
    // The miners' route from the face "Лава 1 восточная" to the surface,
    // built in the window the command shows and not stored.
    void BuildMinersRoute(const char* command = "WayWorker") {
        Trigger(command);
        ASSERT_NE(nullptr, RouteFormWindow());
        Table().SetCells(0, 1, Ru("5 Лава 1 восточная"));
        Table().SetCells(2, 1, routes::TargetKindTexts()[0]);
        Select(1, 1);
        ASSERT_TRUE(Action("ToolCreate")->isEnabled());
        Trigger("ToolCreate");
        ASSERT_EQ("5,7,8,6,4,2,11,12", Cell(6, 1));
        ASSERT_TRUE(RouteFormWindow()->Form().Modified);
    }
    // Team 1 from the top of the upcast shaft to the burning drift.
    void BuildRescueRoute() {
        Trigger("WayVGSH");
        ASSERT_NE(nullptr, RouteFormWindow());
        Table().SetCells(0, 1, "1");
        Table().SetCells(1, 1, "9 " + Branch(9)->name);
        Table().SetCells(2, 1, "3 " + Branch(3)->name);
        Select(3, 1);
        ASSERT_TRUE(Action("ToolCreate")->isEnabled());
        Trigger("ToolCreate");
        ASSERT_EQ("9,7,5", Cell(5, 1));
    }
    void TypeReport(const char* text) {
        ReportEditorHost().ShowEditor();
        QTest::keyClicks(Report().Editor(), text);
        ASSERT_TRUE(Report().Modified());
    }
    // Nothing of a fire task or a route on the plan or in the window state.
    void ExpectNoTaskOrRoute() {
        EXPECT_EQ(nullptr, RouteFormWindow());
        for (int i = 0; i < routes::RouteToolCount; ++i)
            EXPECT_FALSE(Action(routes::RouteToolName(i))->isEnabled()) << i;
        EXPECT_EQ(0, W().EmergencyMode);
        EXPECT_EQ(0, WindowState().EmergencyMode);
        EXPECT_EQ(0, WindowState().ShowRoute);
        EXPECT_TRUE(WindowState().RouteBranches.empty());
        EXPECT_FALSE(WindowState().FireVetvi);
        const std::vector<int32_t>& smoked = DataWindowController().CalcContext().SmokedBranchMark;
        EXPECT_EQ(smoked.end(),
                  std::find_if(smoked.begin(), smoked.end(), [](int32_t m) { return m != 0; }));
        EXPECT_EQ(std::string::npos, Cp1251ToUtf8(W().PanelSost).find("Пожар"));
        routes::TRouteWindows* r = routes::RouteWindows();
        ASSERT_NE(nullptr, r);
        EXPECT_TRUE(routes::RouteState().Exclusions.ExcludedRouteBranches.empty());
        // With no fire on this drawing, the menu finds nothing to build.
        messages.Expect(mrOk, "Для выбранного объекта отсутствует позиция ПЛА");
        Trigger("WayWorker");
        EXPECT_EQ(nullptr, RouteFormWindow());
    }
    // Stored miners' rows of PLA position 2, as "column 1 | route".
    std::vector<std::string> StoredRows() {
        std::vector<std::string> rows;
        const TModGrid& m = Tables().TempTableM;
        for (int r = 0; r < m.RowCount(); ++r)
            if (m.Cells(0, r) == "2")
                rows.push_back(Cp1251ToUtf8(m.Cells(1, r)) + " | " + m.Cells(7, r));
        return rows;
    }
};

// Every way to another drawing (New, Open, a bookmark, "из Tresk", the data
// window's "Загрузить" and "Импорт схемы Tresk") asks about the route
// window's unsaved routes before the main question; "Отмена" keeps
// everything; past the questions nothing of the drawing before is left: no
// route window, fire or task branch, no tool in progress, and the data
// window and the report go by the new drawing's name.
TEST_F(DrawingCompanionsTest, EveryWayOutAsksAboutTheRoutesAndLeavesNothingBehind) {
    using TWayOut = void (*)(DrawingCompanionsTest&);
    const std::vector<std::pair<const char*, TWayOut>> ways = {
        {"New", [](DrawingCompanionsTest& t) { t.Trigger("New1"); }},
        {"Open", [](DrawingCompanionsTest& t) { t.Open("Other.grh"); }},
        {"bookmark", [](DrawingCompanionsTest& t) { t.OpenBookmark(); }},
        {"из Tresk",
         [](DrawingCompanionsTest& t) {
             t.dialogs.Answer(t.File("Other.MINE"), 2);
             t.Trigger("Imp_Tresk1");
         }},
        {"Dan_Open", [](DrawingCompanionsTest& t) { t.DataCommand("Dan_Open", "Other.dan"); }},
        {"Tresk1", [](DrawingCompanionsTest& t) { t.DataCommand("Tresk1", "Other.tresk"); }},
    };
    ASSERT_TRUE(halvard::test::WriteSampleMine(folder.dir / "Other.MINE"));
    ASSERT_TRUE(WriteFileAtomic(File("Other.tresk"), "D;7;1;2;;0,1;100;10;#\r\n"
                                                     "N;1;0;;;0;0;#\r\nN;2;0;;;100;0;#\r\n"));
    ASSERT_TRUE(std::filesystem::copy_file(File("Other.tresk"), File("Other.dan")));
    for (const auto& [name, wayOut] : ways) {
        SCOPED_TRACE(name);
        Start();
        W().Settings.Bookmarks = {{"Other", File("Other.grh")}};
        UseHalvard();
        ASSERT_NO_FATAL_FAILURE(Fire());
        Trigger("FireVetvi");
        ASSERT_TRUE(WindowState().FireVetvi);
        ASSERT_NO_FATAL_FAILURE(BuildMinersRoute());
        ASSERT_FALSE(RouteFormWindow()->isVisible()); // stepped aside for the plan
        const std::vector<int32_t> shown = WindowState().RouteBranches;
        ASSERT_FALSE(shown.empty());
        // A branch begun with the branch tool.
        Trigger("BLine");
        Click(p->IDrawWinForm->PaintBox1(), QPoint(200, 200));
        ASSERT_TRUE(W().Edit.LineRubberActive);

        messages.Expect(mrCancel, "Сохранить изменения в файл?");
        wayOut(*this);
        EXPECT_EQ("Arvalen " + File("SampleMine.grh"), Title());
        ASSERT_NE(nullptr, RouteFormWindow());
        EXPECT_TRUE(RouteFormWindow()->Form().Modified);
        EXPECT_EQ("5,7,8,6,4,2,11,12", Cell(6, 1));
        EXPECT_EQ(3, W().EmergencyMode);
        EXPECT_EQ(shown, WindowState().RouteBranches);
        EXPECT_TRUE(Action("ToolWayOpen")->isEnabled());

        // Cancelled at the main question: the window and the fire stay too.
        messages.Expect(mrNo, "Сохранить изменения в файл?");
        messages.Expect(mrCancel, "Сохранить данные?");
        wayOut(*this);
        EXPECT_EQ("Arvalen " + File("SampleMine.grh"), Title());
        ASSERT_NE(nullptr, RouteFormWindow());
        EXPECT_EQ("5,7,8,6,4,2,11,12", Cell(6, 1));
        EXPECT_EQ(3, WindowState().EmergencyMode);
        EXPECT_EQ(3, W().CurrentBranchNumber);
        EXPECT_TRUE(W().Edit.LineRubberActive);
        EXPECT_EQ(0u, messages.PendingExpectations());

        messages.Expect(mrNo, "Сохранить изменения в файл?");
        messages.Expect(mrNo, "Сохранить данные?");
        // The scheme built from the mine file fails its check; what that
        // says is not this test's business.
        if (std::string(name) == "из Tresk") messages.AllowAny();
        wayOut(*this);
        EXPECT_EQ(0u, messages.PendingExpectations());
        messages.AllowAny(false);
        messages.Clear();
        const bool isNew = std::string(name) == "New";
        EXPECT_EQ("Arvalen " + File(isNew ? "untitled.grh" : "Other.grh"), Title());
        EXPECT_EQ(isNew ? "Arvalen  Тальвер"
                        : "Arvalen  Тальвер    Расчетные данные              " + File("Other.dan"),
                  DataTitle());
        EXPECT_EQ(isNew ? "Untitled" : File("Other.rtf"), Report().ReportFileName());
        // The task branch is the new plan's current one, if it is a branch.
        TGBranch* current = W().Doc().BranchAt(W().Doc().current);
        EXPECT_EQ(current ? current->number : 0, W().CurrentBranchNumber);
        EXPECT_EQ(current ? current->name : "", W().CurrentBranchName);
        EXPECT_EQ(current ? current->Caption(3).a : 0, W().CurrentBranchPlaPosition);
        // The tool in progress ended: the select tool, in the window too.
        EXPECT_FALSE(W().Edit.LineRubberActive);
        EXPECT_EQ(1, WindowState().DrawMode);
        EXPECT_TRUE(Action("BSelect")->isChecked());
        EXPECT_FALSE(Action("BLine")->isChecked());
        EXPECT_TRUE(StoredRows().empty());
        ExpectNoTaskOrRoute();
    }
    // Save As names the data set anew too.
    Start();
    dialogs.Answer(File("Third"), 1);
    Trigger("SaveAs1");
    EXPECT_EQ("Arvalen  Тальвер    Расчетные данные              " + File("Third.dan"),
              DataTitle());
}

// The rescue window steps aside for the plan after each route command and
// comes back through the route tool bar with everything it held.
TEST_F(DrawingCompanionsTest, RescueWindowComesBackThroughTheToolBar) {
    Start();
    ASSERT_NO_FATAL_FAILURE(Fire());
    ASSERT_NO_FATAL_FAILURE(BuildRescueRoute());
    routes::TRouteFormWindow* form = RouteFormWindow();
    EXPECT_FALSE(form->isVisible());
    ASSERT_TRUE(Action("ToolWayOpen")->isEnabled());
    Trigger("ToolWayOpen");
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form, RouteFormWindow());
    EXPECT_EQ("9,7,5", Cell(5, 1));
    EXPECT_TRUE(form->Form().Modified);

    // "Показать" steps aside too, and the window comes back as it was.
    Select(5, 1);
    Trigger("ToolView");
    EXPECT_FALSE(form->isVisible());
    Trigger("ToolWayOpen");
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ("9,7,5", Cell(5, 1));

    // The tool bar closes it as well.
    ASSERT_TRUE(Action("ToolWayClose")->isEnabled());
    messages.Expect(mrNo, "Сохранить изменения в файл?");
    Trigger("ToolWayClose");
    EXPECT_EQ(nullptr, RouteFormWindow());
}

// Choosing an open window's menu item again brings it forward as it is,
// unless its unsaved routes were stored or given up at the question.
TEST_F(DrawingCompanionsTest, ChoosingTheMenuAgainDoesNotDropUnsavedRoutes) {
    Start();
    ASSERT_NO_FATAL_FAILURE(Fire());
    ASSERT_NO_FATAL_FAILURE(BuildMinersRoute());
    routes::TRouteFormWindow* form = RouteFormWindow();

    messages.Expect(mrCancel, "Сохранить изменения в файл?");
    Trigger("WayWorker");
    EXPECT_EQ(form, RouteFormWindow());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ("5,7,8,6,4,2,11,12", Cell(6, 1));
    EXPECT_TRUE(form->Form().Modified);
    EXPECT_TRUE(StoredRows().empty());

    // "Нет": the stored rows (none) come back over the table.
    messages.Expect(mrNo, "Сохранить изменения в файл?");
    Trigger("WayWorker");
    EXPECT_EQ("", Cell(6, 1));
    EXPECT_FALSE(form->Form().Modified);
    EXPECT_TRUE(StoredRows().empty());
    // Nothing unsaved: no question, the table is loaded again.
    Trigger("WayWorker");
    EXPECT_EQ(0u, messages.PendingExpectations());

    // "Да": stored, then shown as stored.
    ASSERT_NO_FATAL_FAILURE(BuildMinersRoute("ToolWayOpen"));
    messages.Expect(mrYes, "Сохранить изменения в файл?");
    Trigger("WayWorker");
    EXPECT_EQ((std::vector<std::string>{"5 Лава 1 восточная | 5,7,8,6,4,2,11,12",
                                        "5 Лава 1 восточная | 7,8,6,4,2,11,12"}),
              StoredRows());
    EXPECT_EQ("5,7,8,6,4,2,11,12", Cell(6, 1));
    EXPECT_EQ("7,8,6,4,2,11,12", Cell(6, 2));
    EXPECT_TRUE(form->isVisible());
}

// A route window opens clear of the menu and tool bars, at the right edge of
// the plan below them (so that on a screen wider than twice the window the
// middle of the plan stays free too), and keeps the place the user gave it
// while the program runs.
TEST_F(DrawingCompanionsTest, RouteWindowsStandClearAndKeepTheUsersPlace) {
    Start("SampleMine.grh", 760, 560);
    p->IDrawWinForm->move(20, 10);
    QApplication::processEvents();
    ASSERT_NO_FATAL_FAILURE(Fire());
    Trigger("WayVGSH");
    routes::TRouteFormWindow* form = RouteFormWindow();
    ASSERT_NE(nullptr, form);
    ASSERT_TRUE(form->isVisible());
    const QRect placed = form->frameGeometry();
    QMenuBar* menus = p->IDrawWinForm->menuBar();
    EXPECT_FALSE(placed.intersects(QRect(menus->mapToGlobal(QPoint(0, 0)), menus->size())));
    int bars = 0;
    for (QToolBar* bar : p->IDrawWinForm->findChildren<QToolBar*>()) {
        if (!bar->isVisible()) continue;
        ++bars;
        EXPECT_FALSE(placed.intersects(QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size())))
            << bar->objectName().toStdString();
    }
    EXPECT_GT(bars, 1);
    QWidget* area = p->IDrawWinForm->centralWidget();
    const QRect plan(area->mapToGlobal(QPoint(0, 0)), area->size());
    EXPECT_EQ(plan.top(), placed.top());
    EXPECT_EQ(plan.right(), placed.right());

    // Moved by the user within the plan (which it fills from top to bottom
    // here): it comes back there after stepping aside, and a window made
    // anew opens there too.
    const QPoint moved = form->pos() + QPoint(-20, 0);
    form->move(moved);
    Table().SetCells(0, 1, "1");
    Table().SetCells(1, 1, "9 " + Branch(9)->name);
    Table().SetCells(2, 1, "3 " + Branch(3)->name);
    Select(3, 1);
    Trigger("ToolCreate");
    EXPECT_FALSE(form->isVisible());
    Trigger("ToolWayOpen");
    EXPECT_EQ(moved, form->pos());
    messages.Expect(mrNo, "Сохранить изменения в файл?");
    Trigger("ToolWayClose");
    Trigger("WayVGSH");
    ASSERT_NE(nullptr, RouteFormWindow());
    EXPECT_EQ(moved, RouteFormWindow()->pos());
}

// "Да" at "Сохранить данные?" replaces the drawing's report file only after
// asking, when the editor's text did not come from that file.
TEST_F(DrawingCompanionsTest, ReportFileTheEditorDidNotLoadIsNotReplacedUnasked) {
    Start();
    const std::string earlier = "{\\rtf1 earlier report}";
    ASSERT_TRUE(WriteFileAtomic(File("SampleMine.rtf"), earlier));
    ASSERT_EQ(File("SampleMine.rtf"), Report().ReportFileName());
    TypeReport("New text");

    messages.Expect(mrYes, "Сохранить данные?");
    messages.Expect(mrCancel, "OK для перезаписи " + File("SampleMine.rtf"));
    Trigger("New1");
    EXPECT_EQ("Arvalen " + File("SampleMine.grh"), Title());
    EXPECT_EQ(earlier, Bytes(File("SampleMine.rtf")));
    EXPECT_TRUE(Report().Modified());

    // "Нет": the editor's Save As, under another name.
    messages.Expect(mrYes, "Сохранить данные?");
    messages.Expect(mrNo, "OK для перезаписи " + File("SampleMine.rtf"));
    dialogs.Answer(File("Mine notes.rtf"));
    Trigger("New1");
    EXPECT_EQ("Arvalen " + File("untitled.grh"), Title());
    EXPECT_EQ(earlier, Bytes(File("SampleMine.rtf")));
    EXPECT_NE(std::string::npos, Bytes(File("Mine notes.rtf")).find("New text"));
    EXPECT_FALSE(Report().Modified());

    // A text read from the file goes back to it without a question; "Да"
    // at the question replaces a file the text did not come from.
    Report().LoadReportFile(File("SampleMine.rtf"));
    TypeReport(" more");
    messages.Expect(mrYes, "Сохранить данные?");
    Trigger("New1");
    EXPECT_NE(earlier, Bytes(File("SampleMine.rtf")));
    Report().SetReportFileName(File("Other.rtf"));
    ASSERT_TRUE(WriteFileAtomic(File("Other.rtf"), earlier));
    TypeReport(" again");
    messages.Expect(mrYes, "Сохранить данные?");
    messages.Expect(mrYes, "OK для перезаписи " + File("Other.rtf"));
    Trigger("New1");
    EXPECT_NE(std::string::npos, Bytes(File("Other.rtf")).find("again"));
    EXPECT_EQ(0u, messages.PendingExpectations());
}

// Russian file names are the usual ones: the report of a drawing named in
// Cyrillic is no more replaced unasked, by the drawing's question or by the
// editor's own Save As.
TEST_F(DrawingCompanionsTest, ReportFileWithARussianNameIsNotReplacedUnasked) {
    Start();
    const std::string grh = Ru(File("Шахта.grh")), rtf = Ru(File("Шахта.rtf"));
    ASSERT_TRUE(W().SaveDrawing(grh));
    dialogs.Answer(grh, 1);
    Trigger("Open1");
    ASSERT_EQ(rtf, Report().ReportFileName());
    const std::string earlier = "{\\rtf1 earlier report}";
    ASSERT_TRUE(WriteFileAtomic(rtf, earlier));
    TypeReport("New text");

    messages.Expect(mrYes, "Сохранить данные?");
    messages.Expect(mrCancel, "OK для перезаписи " + File("Шахта.rtf"));
    Trigger("New1");
    EXPECT_EQ(0u, messages.PendingExpectations());
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(rtf, bytes));
    EXPECT_EQ(earlier, bytes);
    EXPECT_TRUE(Report().Modified());

    dialogs.Answer(rtf);
    messages.Expect(mrNo, "OK для перезаписи " + File("Шахта.rtf"));
    EXPECT_FALSE(Report().FileSaveAs());
    EXPECT_EQ(0u, messages.PendingExpectations());
    ASSERT_TRUE(ReadFileBytes(rtf, bytes));
    EXPECT_EQ(earlier, bytes);
}

// A new drawing has no file of its own yet: nothing saves it under the name
// of the drawing before (the optimal run saves the data first), and its
// report has no name either.
TEST_F(DrawingCompanionsTest, NewDrawingSavesNothingUnderTheLastDrawingsName) {
    Start();
    const std::string sample = Bytes(File("SampleMine.grh"));
    Trigger("New1");
    EXPECT_EQ("Untitled", Report().ReportFileName());
    messages.AllowAny();
    const size_t asked = dialogs.Requests().size();
    dialogs.Answer(std::nullopt);
    p->Form1->Action("Rasc_OR")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(asked + 1, dialogs.Requests().size());
    EXPECT_EQ(sample, Bytes(File("SampleMine.grh")));
}

// The data window's Тровел imports stop at "Отмена", as every other command
// under "Сохранить данные?" does; "Нет" goes on to the file.
TEST_F(DrawingCompanionsTest, TrovelImportsStopAtCancel) {
    Start();
    for (const char* import : {"Serv_Imp", "Serv_Imp2"}) {
        SCOPED_TRACE(import);
        const size_t asked = dialogs.Requests().size();
        Tables().TablDan.Modified = true;
        messages.Expect(mrCancel, "Сохранить данные?");
        p->Form1->Action(import)->trigger();
        EXPECT_EQ(asked, dialogs.Requests().size());
        EXPECT_TRUE(Tables().TablDan.Modified);
        messages.Expect(mrNo, "Сохранить данные?");
        dialogs.Answer(std::nullopt);
        p->Form1->Action(import)->trigger();
        EXPECT_EQ(asked + 1, dialogs.Requests().size());
        EXPECT_EQ(0u, messages.PendingExpectations());
    }
}

// Saving the desktop session asks what the close asks and saves what the
// user says; "Отмена" calls the session's end off. The program goes on (a
// "save the session now" must not end it) until the session's end quits the
// application, which closes it without asking again.
TEST_F(DrawingCompanionsTest, SessionEndAsksTheClosesQuestions) {
    // Stands in for the end of the event loop: the quit reaches the
    // program's filter, and goes no further.
    struct TQuitStop : QObject {
        bool eventFilter(QObject*, QEvent* e) override { return e->type() == QEvent::Quit; }
    } quitStop;
    qApp->installEventFilter(&quitStop);
    Start();
    ASSERT_NO_FATAL_FAILURE(Fire());
    ASSERT_NO_FATAL_FAILURE(BuildMinersRoute());
    TSessionEnd session;

    // A session manager that does not let the program ask: nothing asked.
    session.interaction = false;
    p->IDrawWinForm->CommitData(session);
    EXPECT_FALSE(session.cancelled);
    EXPECT_TRUE(p->IDrawWinForm->isVisible());

    session.interaction = true;
    messages.Expect(mrNo, "Сохранить изменения в файл?");
    messages.Expect(mrCancel, "Сохранить данные?");
    p->IDrawWinForm->CommitData(session);
    EXPECT_TRUE(session.cancelled);
    EXPECT_TRUE(p->IDrawWinForm->isVisible());
    ASSERT_NE(nullptr, RouteFormWindow());
    EXPECT_EQ("5,7,8,6,4,2,11,12", Cell(6, 1));

    session.cancelled = false;
    const std::string before = Bytes(File("SampleMine.grh"));
    messages.Expect(mrYes, "Сохранить изменения в файл?");
    messages.Expect(mrYes, "Сохранить данные?");
    p->IDrawWinForm->CommitData(session);
    QApplication::processEvents();
    EXPECT_EQ(0u, messages.PendingExpectations());
    EXPECT_FALSE(session.cancelled);
    EXPECT_NE(before, Bytes(File("SampleMine.grh")));
    EXPECT_TRUE(p->IDrawWinForm->isVisible());
    ASSERT_NE(nullptr, RouteFormWindow());
    EXPECT_EQ(3, W().EmergencyMode);

    // Saved once more, the report not: the session's end then quits the
    // program without asking again, unless the user typed on since.
    TypeReport("Not kept");
    messages.Expect(mrNo, "Сохранить данные?");
    p->IDrawWinForm->CommitData(session);
    TypeReport(" and more");
    messages.Expect(mrCancel, "Сохранить данные?");
    QEvent quit(QEvent::Quit);
    QApplication::sendEvent(qApp, &quit);
    EXPECT_TRUE(p->IDrawWinForm->isVisible());
    messages.Expect(mrNo, "Сохранить данные?");
    p->IDrawWinForm->CommitData(session);
    QApplication::sendEvent(qApp, &quit);
    qApp->removeEventFilter(&quitStop);
    EXPECT_FALSE(p->IDrawWinForm->isVisible());
    EXPECT_FALSE(Report().isVisible());
    EXPECT_EQ(nullptr, RouteFormWindow());
    EXPECT_TRUE(FileExists(File("Idraw.ini")));
}

// An import named after an existing drawing replaces it only when asked.
TEST_F(DrawingCompanionsTest, ImportNamedAfterAnExistingDrawingAsksBeforeReplacingIt) {
    Start();
    ASSERT_TRUE(halvard::test::WriteSampleMine(folder.dir / "SampleMine.MINE"));
    const std::string drawing = Bytes(File("SampleMine.grh"));
    const std::string replace = "OK для перезаписи " + File("SampleMine.grh");
    UseHalvard();
    messages.AllowAny();
    dialogs.Answer(File("SampleMine.MINE"), 2);
    Trigger("Imp_Tresk1");
    messages.Expect(mrCancel, replace);
    Trigger("Save1");
    messages.Expect(mrCancel, replace);
    p->Form1->Action("Rasc_OR")->trigger(); // saves the data first
    EXPECT_EQ(0u, messages.PendingExpectations());
    EXPECT_EQ(drawing, Bytes(File("SampleMine.grh")));
}

// A drawing picked as the mine file fails the converter, a text with nothing
// to draw the import: the drawing shown stays, and a save writes only it.
TEST_F(DrawingCompanionsTest, ImportThatBuildsNothingLeavesTheDrawingShown) {
    Start();
    const std::string other = Bytes(File("Other.grh"));
    EXPECT_EQ(2, RunConverterAndWait(ARV_HALVARD_PATH, {File("Other.grh"), File("out.tresk")}));
    UseHalvard();
    for (const char* error : {"Ошибка преобразования файла MINE", "Ошибка загрузки документа"}) {
        messages.Expect(mrOk, error);
        dialogs.Answer(File("Other.grh"), 2);
        Trigger("Open1");
        EXPECT_EQ("Arvalen " + File("SampleMine.grh"), Title());
        W().RunConverter = [](const std::string&, const std::vector<std::string>& args) {
            return WriteFileAtomic(args[1], "99|\"1.0\"\r\n2|1|0|0|0.000000|0|0\r\n") ? 0 : 1;
        };
    }
    Trigger("Save1");
    EXPECT_EQ(other, Bytes(File("Other.grh")));
}

// Edits of a reverse-mode table, of a consumer and of the initial data are
// asked about, by the data window too; "Да" saves each into its file.
TEST_F(DrawingCompanionsTest, EveryEditedTableIsAskedAboutAndSavedIntoItsFile) {
    Start();
    Tables().TablDan.SetCells(10, 2, "5"); // branch 1 a consumer
    Tables().TablDanExit();
    TypeIntoCell(Tables().TablDanRev, PageReverse, 0, "771");
    TypeIntoCell(Tables().TablPotr, PageConsumers, 5, "772");
    messages.Expect(mrCancel, "Сохранить данные?");
    p->Form1->Action("Serv_Imp")->trigger();
    messages.Expect(mrYes, "Сохранить данные?");
    Trigger("New1");
    EXPECT_NE(std::string::npos, Bytes(File("SampleMine.rev")).find("771"));
    EXPECT_NE(std::string::npos, Bytes(File("SampleMine.grh")).find("772"));
    DataWindowController().CalcContext().CalcOptions[5] = 'R';
    Trigger("New1");
    TypeIntoCell(Tables().TablID, PageNetwork, 0, "773");
    messages.Expect(mrYes, "Сохранить данные?");
    messages.AllowAny(); // the plan is empty: "Документ пуст!!!"
    dialogs.Answer(File("Survey"), 1);
    Trigger("New1");
    EXPECT_NE(std::string::npos, Bytes(File("Survey.id")).find("773"));
    // A typed name of the mine and of the reverse-mode variant are data too.
    for (const char* field : {"NameSh", "NameVarAv"}) {
        Trigger("New1");
        QTest::keyClicks(p->Form1->findChild<QLineEdit*>(field), "x");
        messages.Expect(mrNo, "Сохранить данные?");
        Trigger("New1");
        EXPECT_EQ(0u, messages.PendingExpectations()) << field;
    }
}

// The data window's "Импорт схемы Tresk" and "Загрузить" read aside first: a
// scheme that cannot be drawn leaves the drawing shown; a ".dan" whose
// drawing is damaged reads, and a save asks before replacing that drawing.
TEST_F(DrawingCompanionsTest, DataWindowImportAndOpenReadAsideFirst) {
    Start();
    const std::string damaged = Bytes(File("Other.grh")).substr(0, 300);
    ASSERT_TRUE(WriteFileAtomic(File("Other.grh"), damaged));
    ASSERT_TRUE(WriteFileAtomic(File("Other.dan"), "D;7;1;2;;0,1;100;10;#\r\nN;1;0;;;0;0;#\r\n"));
    ASSERT_TRUE(std::filesystem::copy_file(File("Other.dan"), File("Other.tresk")));
    messages.Expect(mrOk, "Ошибка загрузки документа");
    DataCommand("Tresk1", "Other.tresk");
    EXPECT_EQ("Arvalen " + File("SampleMine.grh"), Title());
    messages.Expect(mrOk, "Ошибка загрузки документа");
    DataCommand("Dan_Open", "Other.dan");
    EXPECT_EQ("7", Tables().TablDan.Cells(0, 2));
    messages.Expect(mrOk, "Документ пуст!!!");
    messages.Expect(mrCancel, "OK для перезаписи " + File("Other.grh"));
    Trigger("Save1");
    EXPECT_EQ(damaged, Bytes(File("Other.grh")));
}

// Two drawings: A with a fire, an unsaved miners' route and an edited report
// whose file exists; B with routes of its own.
TEST_F(DrawingCompanionsTest, OpeningAnotherDrawingTakesNothingOfTheFirst) {
    Start();
    // B: the sample with a stored route of its own for position 2.
    TModGrid& stored = Tables().TempTableM;
    ASSERT_TRUE(StoredRows().empty());
    const int row = stored.RowCount();
    stored.SetRowCount(row + 1);
    for (int c = 0; c < 8; ++c)
        stored.SetCells(c, row, c == 0 ? "2" : c == 1 ? Ru("1 Ствол B") : c == 7 ? "1,2" : "");
    ASSERT_TRUE(W().SaveDrawing(File("B.grh")));
    stored.DeleteRow(row);
    ASSERT_TRUE(StoredRows().empty());
    const std::string earlier = "{\\rtf1 earlier report of A}";
    ASSERT_TRUE(WriteFileAtomic(File("SampleMine.rtf"), earlier));

    ASSERT_NO_FATAL_FAILURE(Fire());
    ASSERT_NO_FATAL_FAILURE(BuildMinersRoute());
    const std::vector<int32_t> route = WindowState().RouteBranches;
    ASSERT_GT(RouteGreenAt(route), 0);
    TypeReport("Report of A");
    const std::string reportText = FromQString(Report().Editor()->toPlainText());

    // "Отмена" at either question keeps A, its window, route and report.
    messages.Expect(mrCancel, "Сохранить изменения в файл?");
    Open("B.grh");
    messages.Expect(mrYes, "Сохранить изменения в файл?");
    messages.Expect(mrCancel, "Сохранить данные?");
    Open("B.grh");
    EXPECT_EQ("Arvalen " + File("SampleMine.grh"), Title());
    ASSERT_NE(nullptr, RouteFormWindow());
    EXPECT_EQ("5,7,8,6,4,2,11,12", Cell(6, 1));
    EXPECT_EQ(3, W().EmergencyMode);
    EXPECT_EQ(reportText, FromQString(Report().Editor()->toPlainText()));
    EXPECT_TRUE(Report().Modified());
    EXPECT_EQ(earlier, Bytes(File("SampleMine.rtf")));

    // "Да": A's routes go into A's file, and its report replaces A's report
    // file only after the question.
    messages.Expect(mrYes, "Сохранить данные?");
    messages.Expect(mrYes, "OK для перезаписи " + File("SampleMine.rtf"));
    Open("B.grh");
    EXPECT_EQ(0u, messages.PendingExpectations());
    EXPECT_EQ("Arvalen " + File("B.grh"), Title());
    EXPECT_NE(std::string::npos, Bytes(File("SampleMine.rtf")).find("Report of A"));
    // B: no route window, no route, no fire; its own stored routes.
    ExpectNoTaskOrRoute();
    EXPECT_EQ((std::vector<std::string>{"1 Ствол B | 1,2"}), StoredRows());
    EXPECT_EQ(0, RouteGreenAt(route));
    EXPECT_FALSE(W().DrawingModified);
    // The report of A is not B's: the editor starts empty under B's name.
    EXPECT_TRUE(Report().Editor()->toPlainText().isEmpty());
    EXPECT_FALSE(Report().Modified());
    EXPECT_EQ(File("B.rtf"), Report().ReportFileName());

    // A again: its routes are in its file.
    Open("SampleMine.grh");
    EXPECT_EQ((std::vector<std::string>{"5 Лава 1 восточная | 5,7,8,6,4,2,11,12",
                                        "5 Лава 1 восточная | 7,8,6,4,2,11,12"}),
              StoredRows());
}

} // namespace
} // namespace arv::test
