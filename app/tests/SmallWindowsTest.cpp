// The state of the small windows: the navigator frame, the picture viewer's
// steps, the legend-symbol editor and the archive extraction.
#include "DrawWinTestSupport.h"

#include "app/SmallWindows.h"
#include "platform/testing/RecordingOpener.h"

#include <tuple>

using namespace arv;
using namespace arv::test;

namespace {

const char* const kSymbols =
    "B;Door;\r\nR;-16;12;16;-12;2;6;1;0;\r\nE;\r\nB;Fan;\r\nC;0;0;18;2;6;1;0;\r\nE;";

// Makes the current folder the test's while it lives.
struct TCurrentFolder {
    std::filesystem::path saved = std::filesystem::current_path();
    explicit TCurrentFolder(const std::filesystem::path& p) { std::filesystem::current_path(p); }
    ~TCurrentFolder() { std::filesystem::current_path(saved); }
};

} // namespace

// Extent (0, 1000)-(2000, 0) in a 200 x 100 navigator: scale min(100 / 1000,
// 200 / 2000) = 0.1. The main view (500, 800, 900, 500) frames at
// (50, 20)-(90, 50). A click at (100, 60) centres the 40 x 30 frame there:
// (80, 45)-(120, 75), so the main view becomes left 800, right 1200,
// bottom 1000 - 750 = 250, top 250 + 300 = 550.
TEST(Navigator, FrameFollowsTheMainViewAndAClickMovesTheView) {
    TNavigatorState nav;
    ASSERT_TRUE(NavigatorActivate(nav, {0, 1000, 2000, 0}, {500, 800, 900, 500}, 200, 100));
    EXPECT_DOUBLE_EQ(0.1, nav.Scale);
    EXPECT_EQ((TRect{50, 20, 90, 50}), nav.Frame);
    TRect view;
    ASSERT_TRUE(NavigatorClick(nav, 100, 60, 200, 100, view));
    EXPECT_EQ((TRect{80, 45, 120, 75}), nav.Frame);
    EXPECT_EQ((TRect{800, 550, 1200, 250}), view);
    // A click near the edge may put the frame partly outside; the view follows.
    ASSERT_TRUE(NavigatorClick(nav, 2, 2, 200, 100, view));
    EXPECT_EQ(-18, nav.Frame.left);
    EXPECT_EQ(-180, view.left);
}

TEST(Navigator, AnEmptyOrFlatDrawingHasNothingToFrame) {
    TNavigatorState nav;
    EXPECT_FALSE(NavigatorActivate(nav, {}, {0, 10, 10, 0}, 200, 100));
    EXPECT_FALSE(NavigatorActivate(nav, {0, 50, 1000, 50}, {0, 10, 10, 0}, 200, 100));
    EXPECT_FALSE(NavigatorActivate(nav, {0, 50, 1000, 0}, {0, 10, 10, 0}, 0, 0));
    TRect view{1, 2, 3, 4};
    EXPECT_FALSE(NavigatorClick(nav, 10, 10, 200, 100, view));
    EXPECT_EQ((TRect{1, 2, 3, 4}), view);
}

TEST(PictureViewer, JpegStepsAndButtons) {
    EXPECT_TRUE(IsJpegName("a/b.jpg"));
    EXPECT_TRUE(IsJpegName("B.JPG"));
    EXPECT_FALSE(IsJpegName("b.Jpg"));
    EXPECT_FALSE(IsJpegName("b.jpeg"));
    EXPECT_FALSE(IsJpegName("jpg"));

    TPictureViewerState v;
    v.PhotoFolder = "Foto";
    v.PhotoFileName = "p.jpg";
    EXPECT_EQ("Foto/p.jpg", v.PicturePath());
    v.SyncButtons();
    EXPECT_FALSE(v.BitBtn1Enabled);
    EXPECT_TRUE(v.BitBtn2Enabled);
    v.BitBtn1Click();
    EXPECT_EQ(0, v.PictureScaleStep);
    for (int denom : {2, 4, 8}) {
        v.BitBtn2Click();
        EXPECT_EQ(denom, v.ScaleDenominator());
        EXPECT_TRUE(v.BitBtn1Enabled);
    }
    EXPECT_FALSE(v.BitBtn2Enabled);
    v.BitBtn2Click();
    EXPECT_EQ(3, v.PictureScaleStep);
    v.BitBtn1Click();
    EXPECT_EQ(2, v.PictureScaleStep);
    EXPECT_TRUE(v.BitBtn1Enabled && v.BitBtn2Enabled);
}

TEST(PictureViewer, BitmapWindowGrowsBelowTheScreenHeightAndShrinksWhilePictureIsLeft) {
    TPictureViewerState v;
    v.PhotoFileName = "p.bmp";
    v.ScreenHeight = 1000;
    v.PanelHeight = 30;
    v.WindowHeight = 500;
    v.BitBtn1Click();
    EXPECT_EQ(600, v.WindowHeight);
    v.WindowHeight = 1000;
    v.BitBtn1Click();
    EXPECT_EQ(1000, v.WindowHeight);
    v.WindowHeight = 600;
    v.BitBtn2Click();
    EXPECT_EQ(500, v.WindowHeight);
    // An ordinary window shrinks (it used not to); a tiny one stays.
    v.WindowHeight = 50;
    v.BitBtn2Click();
    EXPECT_EQ(50, v.WindowHeight);
}

// Room for a client of 100 x 60 with a panel of 10 and bars of 5: the
// layout's own bar, the bars for what does not fit, and a bar that comes
// because the other one took room.
TEST(PictureViewer, LayoutsKeepTheirScrollBarsAndTheWindowWithinTheScreen) {
    auto client = [](int layout, int w, int h) {
        const TViewerClient c = ViewerClient(layout, w, h, 10, 100, 60, 5);
        return std::make_tuple(c.width, c.height, c.horizontalBar, c.verticalBar);
    };
    EXPECT_EQ(std::make_tuple(80, 40, false, false), client(1, 80, 30));
    EXPECT_EQ(std::make_tuple(80, 45, true, false), client(0, 80, 30));
    EXPECT_EQ(std::make_tuple(85, 40, false, true), client(3, 80, 30));
    EXPECT_EQ(std::make_tuple(100, 60, true, true), client(1, 3000, 2000));
    EXPECT_EQ(std::make_tuple(100, 35, true, false), client(0, 400, 20));
    EXPECT_EQ(std::make_tuple(35, 60, false, true), client(3, 30, 400));
    // 98 wide fits until the vertical bar for 52 high takes 5 of it.
    EXPECT_EQ(std::make_tuple(100, 60, true, true), client(2, 98, 52));
}

TEST_F(DrawWinTest, SymbolEditorNewLoadAndSaveRebuildTheLibrary) {
    Start();
    TSymbolEditorState& e = w->SymbolEditor;
    DrawingGlobals().SymbolLibraryText = std::string(kSymbols) + "\r";
    e.Doc = &w->Doc();
    e.ProgramDirPath = File("");
    int changes = 0;
    e.LibraryChanged = [&] { ++changes; };
    e.FormCreate();
    EXPECT_EQ(6u, e.Lines.size());
    EXPECT_EQ("E;", e.Lines.back());

    // "Загрузить": the file's symbols become the plan's at once.
    const std::string uo = Write("doors.uo", "B;Gate;\r\nL;-16;-12;16;12;2;1;0;\r\nE;\r\n");
    dialogs.Answer(uo);
    e.FUOFileOpenClick();
    EXPECT_EQ(Ru("Условные обозначения|*.uo"), dialogs.Requests().back().filter);
    EXPECT_EQ(uo, e.SymbolFileName);
    EXPECT_EQ(uo, e.Caption);
    EXPECT_EQ(3u, e.Lines.size());
    ASSERT_EQ(1, w->Doc().symbols.Count());
    EXPECT_EQ("Gate", w->Doc().symbols.symbols[0].name);
    EXPECT_EQ(1, changes);

    // "Новый": an empty memo leaves the plan with the program's libraries
    // (none in this folder), and "Сохранить" writes "Новый.uo" here.
    TCurrentFolder here(dir);
    e.FUOFileNewClick();
    EXPECT_EQ(Ru("Новый.uo"), e.SymbolFileName);
    EXPECT_EQ(e.SymbolFileName, e.Caption);
    EXPECT_TRUE(e.Lines.empty());
    EXPECT_EQ(0, w->Doc().symbols.Count());
    EXPECT_EQ(2, changes);
    e.Lines = {"B;X;", "E;"};
    e.FUOFileSaveClick();
    EXPECT_EQ("B;X;\r\nE;\r\n", Read(File(Ru("Новый.uo"))));

    // "Сохранить как" names the file; a cancelled dialog keeps the name.
    dialogs.Answer(File("other.uo"));
    e.FUOFileSaveAsClick();
    EXPECT_EQ(File("other.uo"), e.SymbolFileName);
    EXPECT_EQ("B;X;\r\nE;\r\n", Read(File("other.uo")));
    dialogs.Answer(std::nullopt);
    e.FUOFileSaveAsClick();
    EXPECT_EQ(File("other.uo"), e.SymbolFileName);
}

TEST_F(DrawWinTest, SymbolTextKeepsOneEndingCrFromSaveToSave) {
    Start();
    ThreeBranches();
    w->SymbolEditor.Doc = &w->Doc();
    w->SymbolEditor.FormCreate();
    w->SymbolEditor.SetText(kSymbols);
    ASSERT_TRUE(w->SaveDrawing(File("a.grh")));
    const std::string first = Read(File("a.grh"));
    ASSERT_TRUE(w->LoadDrawing(File("a.grh")));
    EXPECT_EQ(std::string(kSymbols) + "\r", DrawingGlobals().SymbolLibraryText);
    // The editor shows what was loaded, and saving again writes the same.
    EXPECT_EQ(kSymbols, w->SymbolEditor.Text());
    ASSERT_TRUE(w->SaveDrawing(File("b.grh")));
    EXPECT_EQ(first, Read(File("b.grh")));

    // Another drawing brings its own symbols into the editor: they, not the
    // first drawing's, are written when it is saved.
    DrawingGlobals().SymbolLibraryText = "B;Other;\rE;\r";
    w->SymbolEditor.SetText("B;Other;\r\nE;");
    ASSERT_TRUE(w->SaveDrawing(File("c.grh")));
    ASSERT_TRUE(w->LoadDrawing(File("a.grh")));
    ASSERT_TRUE(w->LoadDrawing(File("c.grh")));
    EXPECT_EQ((std::vector<std::string>{"B;Other;", "E;"}), w->SymbolEditor.Lines);
}

TEST_F(DrawWinTest, ExtractionStartsTheArchiverOnlyForAnExistingFile) {
    TExtractState x;
    std::vector<std::pair<std::string, std::vector<std::string>>> started;
    bool startResult = true;
    x.StartProgram = [&](const std::string& p, const std::vector<std::string>& a) {
        started.emplace_back(p, a);
        return startResult;
    };
    x.EditFile = File("missing.rar");
    x.BitBtnOkClick();
    EXPECT_TRUE(started.empty());
    EXPECT_FALSE(x.Closed);

    x.EditFile = Write("base.rar", "Rar!");
    x.EditEx = File("out");
    messages.Expect(mrOk, "Загрузка завершена");
    x.BitBtnOkClick();
    ASSERT_EQ(1u, started.size());
    EXPECT_EQ(ProgramFile("Programm/Rar.exe"), started[0].first);
    EXPECT_EQ((std::vector<std::string>{"x", "-o+", x.EditFile, File("out") + "/"}),
              started[0].second);
    EXPECT_TRUE(x.Closed);

    // An archiver that never started is not a finished load.
    x.Closed = false;
    startResult = false;
    messages.Expect(mrOk, "Не удалось запустить " + ProgramFile("Programm/Rar.exe"));
    x.BitBtnOkClick();
    EXPECT_FALSE(x.Closed);
    x.BitBtnCancelClick();
    EXPECT_TRUE(x.Closed);
    EXPECT_EQ(0u, messages.PendingExpectations());
}
