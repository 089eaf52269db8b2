// The inspector in the real main window, offscreen, on the sample drawing.
#include "app/RxDrawGrid.h"
#include "app/ui/DrawWinForm.h"
#include "app/ui/ProgramStart.h"
#include "app/ui/PropDialogsQt.h"
#include "app/ui/RxDrawGridWidget.h"
#include "document/Branch.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/qt/QtText.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace arv;

namespace {

struct PropPanelTest : ::testing::Test {
    std::filesystem::path dir = test::MakeTestFolder();
    std::string saved = ProgramDir();
    test::TScriptedMessages messages;
    test::TScriptedDialogs dialogs;
    PropPanelTest() {
        std::filesystem::copy(std::string(ARV_BIN_DIR) + "/IMG", dir / "IMG");
        std::filesystem::copy_file(std::string(ARV_BIN_DIR) + "/SampleMine.grh",
                                   dir / "SampleMine.grh");
        SetProgramDir(dir.string());
    }
    ~PropPanelTest() override { SetProgramDir(saved); }
    // Pictures for a person to look at, when asked for.
    static void Shot(QWidget* w, const char* name) {
        if (const char* folder = std::getenv("ARV_PROP_SHOTS"))
            w->grab().save(QString::fromUtf8(folder) + "/" + name + ".png");
    }
};

} // namespace

TEST_F(PropPanelTest, PropButtonShowsTheRowsOfTheSelectedBranch) {
    auto p = StartProgram({(dir / "SampleMine.grh").string()});
    TIDrawWinForm& form = *p->IDrawWinForm;
    form.showNormal();
    form.resize(1200, 800);
    QApplication::processEvents();
    TIDrawWin& w = *p->DrawWin;
    auto* panel = form.findChild<QDockWidget*>("Panel2");
    ASSERT_NE(nullptr, panel);
    EXPECT_FALSE(panel->isVisible());
    const int planWidth = form.PaintBox1()->width();
    form.Action("Prop")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(panel->isVisible());
    // The plan gave the panel its room and the document knows.
    EXPECT_LT(form.PaintBox1()->width(), planWidth);
    EXPECT_EQ(form.PaintBox1()->width(), w.Doc().clientWidth);

    int branch = -1;
    for (int i = 0; i < w.Doc().Count() && branch < 0; ++i)
        if (w.Doc().BranchAt(i)) branch = i;
    ASSERT_GE(branch, 0);
    w.Doc().current = branch;
    w.Doc().DoChange();
    QApplication::processEvents();
    auto* grid = form.findChild<TRxDrawGridWidget*>("GridProp");
    ASSERT_NE(nullptr, grid);
    EXPECT_EQ(18, grid->Grid().RowCount());
    EXPECT_TRUE(grid->isEnabled());
    EXPECT_EQ(Cp1251ToUtf8(w.Doc().BranchAt(branch)->name),
              Cp1251ToUtf8(w.PropValues[static_cast<size_t>(w.MapPropertyRow(2, false))]));
    EXPECT_FALSE(w.NameStat.empty());
    Shot(&form, "main_window_props");

    // The data page, then back: the rows are shown again, forced.
    auto* book = form.findChild<QTabWidget*>("PageBook");
    book->setCurrentIndex(1);
    QApplication::processEvents();
    Shot(panel, "data_page");
    EXPECT_FALSE(w.PagePropActive);
    book->setCurrentIndex(0);
    EXPECT_TRUE(w.GridProp.Enabled);

    // The dialogs as they look.
    TPenBrushDlgState pb = PenBrushStateOf(w.Doc(), *w.Doc().Figure(branch));
    TFPenBrushDlg penBrush(pb, &form);
    penBrush.show();
    QApplication::processEvents();
    Shot(&penBrush, "pen_brush");
    TFormAngle angle(&form);
    angle.Show({"45", Ru("Параллельно: 27"), false});
    angle.show();
    QApplication::processEvents();
    Shot(&angle, "angle");
    TEnterPicState pic;
    EnterPicFormCreate(pic, w.Doc());
    TEnterPic chooser(pic, w.Doc(), &form);
    chooser.show();
    QApplication::processEvents();
    Shot(&chooser, "enter_pic");
    EXPECT_EQ(static_cast<size_t>(w.Doc().symbols.Count()), pic.SelList.size());

    form.Action("Prop")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(messages.Shown().empty());
}
