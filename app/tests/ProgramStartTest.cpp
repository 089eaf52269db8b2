// The real program's windows, offscreen, on the bundled sample drawing.
#include "app/ui/ProgramStart.h"

#include "calc/window/DataWindowController.h"
#include "document/Branch.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/qt/QtText.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

using namespace arv;

namespace {


struct ProgramTest : ::testing::Test {
    std::filesystem::path dir = test::MakeTestFolder();
    std::string saved = ProgramDir();
    test::TScriptedMessages messages;
    test::TScriptedDialogs dialogs;
    ProgramTest() {
        std::filesystem::copy(std::string(ARV_BIN_DIR) + "/IMG", dir / "IMG");
        std::filesystem::copy_file(std::string(ARV_BIN_DIR) + "/SampleMine.grh",
                                   dir / "SampleMine.grh");
        SetProgramDir(dir.string());
    }
    ~ProgramTest() override { SetProgramDir(saved); }
    std::string File(const char* name) const { return (dir / name).string(); }
};

} // namespace

TEST_F(ProgramTest, StartsOnTheSampleDrawingWithItsData) {
    auto p = StartProgram({File("SampleMine.grh")});
    QApplication::processEvents();
    TIDrawWin& w = *p->DrawWin;
    EXPECT_EQ(&w, IDrawWin());
    EXPECT_EQ("Arvalen " + File("SampleMine.grh"), FromQString(p->IDrawWinForm->windowTitle()));
    // Fourteen branches and the title drawn, fourteen rows in the data window.
    EXPECT_EQ(15, w.Doc().Count());
    TNetworkTables& t = DataWindowController().Tables();
    EXPECT_EQ("14", t.TablDan.Cells(0, 15));
    // The main window comes first and fills the screen; the data window,
    // without a stored place, is large enough to show its tables.
    EXPECT_TRUE(p->IDrawWinForm->isMaximized() || p->IDrawWinForm->isVisible());
    EXPECT_GE(p->Form1->width(), 1000);
    EXPECT_GE(p->Form1->height(), 700);
    // The plan fills the drawing area; zoom is shown in the status bar.
    EXPECT_EQ(p->IDrawWinForm->PaintBox1()->size(), p->IDrawWinForm->PlanImage().size());
    EXPECT_EQ(IntToStr(RoundI(w.Doc().scale * 100)) + "%", w.StatusPanels[1]);

    // F5 of the data window computes; the flows go to the branch captions.
    DataWindowController().Rasc_ERClick();
    ASSERT_FALSE(t.TablDan.Cells(11, 2).empty());
    w.IndexCalcDataGrids();
    w.FillBranchCaptions();
    TGBranch* first = w.Doc().BranchAt(0);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(t.TablDan.Cells(11, 2), first->callout.texts[0]);
    messages.AllowAny();
}

// One application for every test of the binary, destroyed before exit so that
// the font libraries it loaded are released.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
