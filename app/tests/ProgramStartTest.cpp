// The real program's windows, offscreen, on the bundled sample drawing.
#include "app/ui/ProgramStart.h"

#include "app/tests/SampleProgramFolder.h"
#include "calc/window/DataWindowController.h"
#include "document/Branch.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/RecordingCanvas.h"
#include "platform/qt/GridView.h"
#include "platform/qt/QtText.h"
#include "platform/testing/QtTestDesk.h"
#include "platform/testing/RecordingOpener.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QTimer>

#include <algorithm>

#include <gtest/gtest.h>

using namespace arv;

namespace {

using ProgramTest = test::SampleProgramTest;

} // namespace

TEST_F(ProgramTest, StartsOnTheSampleDrawingWithItsData) {
    p = StartProgram({File("SampleMine.grh")});
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

    // The plan at a fixed size, fitted, against the reference picture: at
    // most 2 % of the pixels may differ by more than 64 in a colour channel
    // (font rasterising may move a few text pixels).
    p->IDrawWinForm->showNormal();
    p->IDrawWinForm->resize(1000, 700);
    QApplication::processEvents();
    w.ViewAllClick();
    const QImage plan = p->IDrawWinForm->PlanImage().convertToFormat(QImage::Format_RGB32);
    const QString reference = QString(ARV_APP_TEST_DATA) + "/sample_plan.png";
    if (qEnvironmentVariableIsSet("ARV_WRITE_REFERENCE")) plan.save(reference);
    QImage expected(reference);
    ASSERT_FALSE(expected.isNull());
    expected = expected.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(expected.size(), plan.size());
    int differing = 0, inked = 0;
    for (int y = 0; y < plan.height(); ++y)
        for (int x = 0; x < plan.width(); ++x) {
            const QRgb a = plan.pixel(x, y), b = expected.pixel(x, y);
            if (a != qRgb(255, 255, 255)) ++inked;
            if (std::abs(qRed(a) - qRed(b)) > 64 || std::abs(qGreen(a) - qGreen(b)) > 64 ||
                std::abs(qBlue(a) - qBlue(b)) > 64)
                ++differing;
        }
    // Not blank: the branches and their texts are there.
    EXPECT_GT(inked, 2000);
    EXPECT_LT(differing, plan.width() * plan.height() / 50);

    // F5 of the data window computes; when the drawing window is back the
    // flows are in the branch labels, as "[flow]" of column 11.
    DataWindowController().Rasc_ERClick();
    ASSERT_FALSE(t.TablDan.Cells(11, 2).empty());
    w.FormActivate();
    TRecordingCanvas canvas;
    w.Doc().Draw(canvas, false);
    std::vector<std::string> texts;
    for (const TCanvasCall* c : canvas.Calls("TextOut")) texts.push_back(c->text);
    for (int r = 2; r <= 15; ++r) {
        const std::string flow = "[" + t.TablDan.Cells(11, r) + "]";
        EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), flow)) << flow;
    }
    TGBranch* first = w.Doc().BranchAt(0);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(t.TablDan.Cells(11, 2), first->callout.texts[0]);

    // The office exports are installed: the Excel pressure item writes a
    // workbook into the program folder and opens it.
    test::TRecordingOpener opener;
    test::TMemoryClipboardDouble clipboard;
    QAction* excel = p->Form1->Action("ExcelDavl");
    ASSERT_NE(nullptr, excel);
    excel->trigger();
    ASSERT_EQ(1u, opener.Opened().size());
    EXPECT_TRUE(opener.Opened()[0].starts_with(ProgramDir() + "Export/"));
    EXPECT_TRUE(opener.Opened()[0].ends_with(".xlsx"));
    EXPECT_TRUE(FileExists(opener.Opened()[0]));
    messages.AllowAny();
}

TEST_F(ProgramTest, PlanAreaShowsTheBackgroundBeforeTheFirstPlan) {
    // A message box of the start-up (a damaged drawing) is shown before any
    // plan is painted; the area behind it must not be left unpainted.
    TIDrawWin w;
    TIDrawWinForm form(w);
    form.resize(800, 600);
    form.show();
    QApplication::processEvents();
    ASSERT_TRUE(form.PlanImage().isNull());
    const QImage shown = form.PaintBox1()->grab().toImage();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(qRgb(255, 255, 255), shown.pixel(shown.width() / 2, shown.height() / 2));
}

// One application for every test of the binary, destroyed before exit so that
// the font libraries it loaded are released.
int main(int argc, char** argv) {
    arv::test::TQtTestDesk desk;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Icons and Qt's own texts as the program has them.
    InstallDesktopLook();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
