// The main window's commands between plan and tables, offscreen on the
// sample drawing: the menu items reach the controller and the log page shows
// the check's lines in their colours.
#include "app/ui/ProgramStart.h"

#include "app/tests/SampleProgramFolder.h"
#include "calc/window/DataWindowController.h"
#include "document/Branch.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/qt/QtText.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace arv;

namespace {

using CalcLinkFormTest = test::SampleProgramTest;

} // namespace

TEST_F(CalcLinkFormTest, CheckFromTheMenuFillsTheLogList) {
    p = StartProgram({File("SampleMine.grh")});
    QApplication::processEvents();
    TIDrawWinForm& form = *p->IDrawWinForm;
    for (const char* name : {"MGenDan", "MEQ", "AddExt", "FromExt"})
        ASSERT_NE(nullptr, form.Action(name)) << name;
    auto* logger = form.findChild<QListWidget*>("Logger");
    auto* panel = form.findChild<QDockWidget*>("Panel2");
    auto* book = form.findChild<QTabWidget*>("PageBook");
    ASSERT_NE(nullptr, logger);
    ASSERT_NE(nullptr, panel);
    ASSERT_NE(nullptr, book);
    ASSERT_EQ(2, book->indexOf(logger));
    QAction* prop = form.Action("Prop");
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(prop->isChecked());

    messages.Expect(mrOk, "Схема соответствует расчетным данным");
    form.Action("MEQ")->trigger();
    EXPECT_EQ(0, logger->count());

    // Branch 2 turned round in the table, branch 14 dropped from it.
    TNetworkTables& t = DataWindowController().Tables();
    const int row = 3;
    ASSERT_EQ("2", Trim(t.TablDan.Cells(0, row)));
    const std::string from = t.TablDan.Cells(1, row);
    t.TablDan.SetCells(1, row, t.TablDan.Cells(2, row));
    t.TablDan.SetCells(2, row, from);
    t.TablDan.SetRowCount(t.TablDan.RowCount() - 1);
    p->DrawWin->IndexCalcDataGrids();
    messages.Expect(mrOk, "Схема не соответствует расчетным данным\r\nСмотрите закладку "
                          "\"Лог\"!\r\n");
    form.Action("MEQ")->trigger();
    EXPECT_EQ(0u, messages.PendingExpectations());
    ASSERT_EQ(2, logger->count());
    EXPECT_EQ(Ru("E:2:Ветвь 2 неверно ориентирована"), FromQString(logger->item(0)->text()));
    EXPECT_EQ(QColor(255, 0, 0), logger->item(0)->foreground().color());
    EXPECT_EQ(QColor(255, 255, 0), logger->item(1)->foreground().color());
    // The panel opened on its log page, its button pressed.
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(prop->isChecked());
    EXPECT_EQ(logger, book->currentWidget());

    // A double click on the error line makes branch 2 current.
    emit logger->itemDoubleClicked(logger->item(0));
    TGCustomFigure* current = p->DrawWin->Doc().CurrentFigure();
    ASSERT_NE(nullptr, current);
    ASSERT_TRUE(current->IsBranch());
    EXPECT_EQ(2, static_cast<TGBranch*>(current)->number);

    // Another page chosen: the panel's button hides and shows that page; the
    // log comes back only with the next failed check.
    book->tabBar()->setCurrentIndex(0);
    EXPECT_EQ(0, p->DrawWin->PageBookIndex);
    prop->trigger();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(p->DrawWin->PropDown);
    prop->trigger();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(0, book->currentIndex());
    messages.Expect(mrOk, "Схема не соответствует расчетным данным\r\nСмотрите закладку "
                          "\"Лог\"!\r\n");
    form.Action("MEQ")->trigger();
    EXPECT_EQ(logger, book->currentWidget());
}

namespace {

// The row of the branch table that holds the branch.
int RowOf(const TModGrid& g, int number) {
    for (int r = g.FixedRows(); r < g.RowCount(); ++r)
        if (Trim(g.Cells(0, r)) == std::to_string(number)) return r;
    return -1;
}

// Linked branches of the plan whose arrow does not point with the flow its
// label shows: column 12 after a fire or a device failure, else column 11.
// `linked` counts the branches looked at.
std::vector<int> ArrowsAgainstTheTable(TIDrawWin& w, int& linked) {
    const TModGrid& g = DataWindowController().Tables().TablDan;
    const char kind = DataWindowController().CalcContext().CalcOptions[2];
    const int col = kind == 'P' || kind == 'U' ? 12 : 11;
    std::vector<int> wrong;
    linked = 0;
    for (int32_t i = 0; i < w.Doc().Count(); ++i) {
        const TGBranch* b = w.Doc().BranchAt(i);
        if (!b) continue;
        const int row = RowOf(g, b->number);
        if (row < 0 || Trim(g.Cells(col, row)).empty()) continue;
        ++linked;
        const bool against = g.Cells(col, row).find('-') != std::string::npos;
        if (b->flowReversed != (against ? 1 : 0)) wrong.push_back(b->number);
    }
    return wrong;
}

// Numbers of the branches whose flow in the column has the sign `negative`.
std::vector<int> Signed(const TModGrid& g, int col, bool negative) {
    std::vector<int> out;
    for (int r = g.FixedRows(); r < g.RowCount(); ++r)
        if (!Trim(g.Cells(col, r)).empty() &&
            (g.Cells(col, r).find('-') != std::string::npos) == negative)
            out.push_back(std::stoi(Trim(g.Cells(0, r))));
    return out;
}

} // namespace

// Runs started in the data window turn the plan's arrows with the table, as
// the main window's tasks do, and the plan is painted anew at once.
TEST_F(CalcLinkFormTest, ArrowsFollowEveryRunOfTheDataWindow) {
    p = test::StartOnSample(folder, 1000, 700);
    TIDrawWin& w = *p->DrawWin;
    TIDrawWinForm& form = *p->IDrawWinForm;
    TNetworkTables& t = Tables();
    messages.AllowAny();
    Trigger("Zad_ER");
    int linked = 0;
    ASSERT_EQ(std::vector<int>{}, ArrowsAgainstTheTable(w, linked));
    ASSERT_GE(linked, 10);
    const std::vector<int> reversedBefore = Signed(t.TablDan, 11, true);

    // The plan as it stands must be what a repaint now shows.
    auto paintedAnew = [&] {
        QApplication::processEvents();
        const QImage shown = form.PlanImage().copy();
        form.RedrawPlan();
        return shown == form.PlanImage();
    };

    // The intake of branch 1 nearly closed: the fan of branch 12 draws the
    // air of branch 2 the other way, from node 3 to node 2.
    t.TablDan.SetCells(4, RowOf(t.TablDan, 1), "50");
    DataCommand("Rasc_ER");
    ASSERT_EQ('E', DataWindowController().CalcContext().CalcOptions[2]);
    ASSERT_NE(reversedBefore, Signed(t.TablDan, 11, true));
    EXPECT_EQ(std::vector<int>{}, ArrowsAgainstTheTable(w, linked));
    EXPECT_TRUE(paintedAnew());

    // The optimal distribution.
    DataCommand("Rasc_OR");
    ASSERT_EQ('O', DataWindowController().CalcContext().CalcOptions[2]);
    EXPECT_EQ(std::vector<int>{}, ArrowsAgainstTheTable(w, linked));
    EXPECT_TRUE(paintedAnew());

    // A fire in branch 3: its question answered "Да".
    t.TablDan.SetCells(4, RowOf(t.TablDan, 1), "0,003");
    t.TablDan.SetCurrent(0, RowOf(t.TablDan, 3));
    t.TablDan.SetCells(18, RowOf(t.TablDan, 3), "5");
    messages.Expect(mrYes);
    DataCommand("Rasc_Pog");
    ASSERT_EQ('P', DataWindowController().CalcContext().CalcOptions[2]);
    EXPECT_EQ(std::vector<int>{}, ArrowsAgainstTheTable(w, linked));
    EXPECT_TRUE(paintedAnew());

    // The device of branch 8 failed: one branch's air turns.
    DataWindowController().CalcContext().CalcOptions.FailedDeviceResistance = 100;
    t.TablDan.SetCurrent(0, RowOf(t.TablDan, 8));
    // The stored resistance is kept.
    messages.Expect(mrNo);
    DataCommand("Rasc_Ust");
    ASSERT_EQ('U', DataWindowController().CalcContext().CalcOptions[2]);
    ASSERT_NE(Signed(t.TablDan, 11, true), Signed(t.TablDan, 12, true));
    EXPECT_EQ(std::vector<int>{}, ArrowsAgainstTheTable(w, linked));
    EXPECT_TRUE(paintedAnew());
}
