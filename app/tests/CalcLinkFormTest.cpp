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

struct CalcLinkFormTest : ::testing::Test {
    test::TSampleProgramFolder folder;
    const std::filesystem::path& dir = folder.dir;
    test::TScriptedMessages messages;
    test::TScriptedDialogs dialogs;
};

} // namespace

TEST_F(CalcLinkFormTest, CheckFromTheMenuFillsTheLogList) {
    auto p = StartProgram({(dir / "SampleMine.grh").string()});
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
