// Start-up, the view commands, the status texts, the marker and the scheme
// records of the drawing window.
#include "DrawWinTestSupport.h"

#include "document/Constants.h"
#include "platform/Keys.h"

using namespace arv;
using namespace arv::test;

TEST(StartFile, CommandLineRule) {
    const std::string dir = "/prog/";
    // Each parameter is followed by a blank; the last blank is not kept.
    EXPECT_EQ("C:\\a b.grh", ChooseDrawingFile({"C:\\a", "b.grh"}, "", dir));
    EXPECT_EQ("/m/mine.grh", ChooseDrawingFile({"/m/mine.grh"}, "/last.grh", dir));
    // Letter case counts; other extensions and none give untitled.
    EXPECT_EQ("/prog/untitled.grh", ChooseDrawingFile({"x.GRH"}, "", dir));
    EXPECT_EQ("/prog/untitled.grh", ChooseDrawingFile({"x.dan"}, "", dir));
    EXPECT_EQ("/prog/untitled.grh", ChooseDrawingFile({"/a.b/noext"}, "", dir));
    EXPECT_EQ("/prog/untitled.grh", ChooseDrawingFile({".grh"}, "", dir));
    // Without parameters the last file, when it is a drawing.
    EXPECT_EQ("/last.grh", ChooseDrawingFile({}, "/last.grh", dir));
    EXPECT_EQ("/prog/untitled.grh", ChooseDrawingFile({}, "/last.txt", dir));
    EXPECT_EQ("/prog/untitled.grh", ChooseDrawingFile({}, "", dir));
    // An empty first parameter counts as none.
    EXPECT_EQ("/last.grh", ChooseDrawingFile({""}, "/last.grh", dir));
}

TEST(Geometry, SegmentAngleAndPathPart) {
    EXPECT_EQ(0, SegmentAngle({0, 0}, {10, 0}));
    EXPECT_EQ(45, SegmentAngle({0, 0}, {10, 10}));
    EXPECT_EQ(180, SegmentAngle({0, 0}, {-10, 0}));
    EXPECT_EQ(-135, SegmentAngle({0, 0}, {-10, -10}));
    EXPECT_EQ(90, SegmentAngle({5, 5}, {5, 9}));
    EXPECT_EQ(-90, SegmentAngle({5, 5}, {5, 1}));
    EXPECT_EQ(90, SegmentAngle({5, 5}, {5, 5}));
    // atan2(1, 3) = 18.43 degrees.
    EXPECT_EQ(18, SegmentAngle({0, 0}, {3, 1}));

    EXPECT_EQ("C:\\plans\\", ExtractPathPart("C:\\plans\\mine.grh"));
    EXPECT_EQ("/a/b/", ExtractPathPart("/a/b/c"));
    EXPECT_EQ("", ExtractPathPart("mine.grh"));
}

TEST_F(DrawWinTest, FirstStartWithoutSettingsOpensUntitled) {
    Start();
    EXPECT_EQ(File("untitled.grh"), w->CurrentFileName());
    EXPECT_EQ("Arvalen " + File("untitled.grh"), w->Caption);
    EXPECT_EQ(1, w->DrawMode);
    EXPECT_EQ(23u, w->DatagridTitles.size());
    EXPECT_EQ(Ru("Угол"), w->DatagridTitles[22]);
    EXPECT_EQ(Ru("Свойство"), w->PropCaptions[0]);
    EXPECT_EQ("1", w->PropCaptions[29]);
    EXPECT_EQ(std::vector<std::string>{Ru("Ветви")}, w->LayerBoxItems);
    EXPECT_TRUE(w->SchemeChecked(0));
    // The default view: (-500, 250) to (500, -250) fitted into 800 x 600.
    EXPECT_DOUBLE_EQ(0.8, w->Doc().scale);
    EXPECT_EQ("80%", w->StatusPanels[1]);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(DrawWinTest, KeysAndScrollBarsMoveTheView) {
    Start();
    TGCollFigure& doc = w->Doc();
    doc.scale = 0.5;
    doc.SetViewRect({0, 100, 200, 0});
    w->FormKeyDown(VK_LEFT, false);
    EXPECT_EQ(-10, doc.viewRect.left);
    EXPECT_TRUE(w->ViewChanged);
    w->FormKeyDown(VK_UP, false);
    EXPECT_EQ(110, doc.viewRect.top);
    w->DrawMode = 7;
    w->FormKeyDown(VK_ESCAPE, false);
    EXPECT_EQ(1, w->DrawMode);
    // A line step is round(10 x 0.2 / 0.5) = 4 units, a page step 40.
    int pos = 3;
    TRect before = doc.viewRect;
    w->ScrollBar1Scroll(1, pos);
    EXPECT_EQ(50, pos);
    EXPECT_EQ(before.left + 4, doc.viewRect.left);
    pos = 99;
    w->ScrollBar2Scroll(3, pos);
    EXPECT_EQ(50, pos);
    EXPECT_EQ(before.top - 40, doc.viewRect.top);
    // Other codes move nothing but still return the thumb.
    before = doc.viewRect;
    pos = 0;
    w->ScrollBar2Scroll(7, pos);
    EXPECT_EQ(50, pos);
    EXPECT_EQ(before, doc.viewRect);

    // Plus on the main keyboard is no zoom; on the numeric pad it is.
    const double scale = doc.scale;
    w->FormKeyDown('+', false);
    EXPECT_DOUBLE_EQ(scale, doc.scale);
    w->FormKeyDown('-', true);
    EXPECT_DOUBLE_EQ(scale * 0.9, doc.scale);
    w->ZoomRectClick();
    EXPECT_EQ(12, w->DrawMode);
}

TEST_F(DrawWinTest, ViewAllFitsTheDrawingAndKeepsTheViewOfNothing) {
    Start();
    TGCollFigure& doc = w->Doc();
    const TRect empty = doc.viewRect;
    const double scale = doc.scale;
    w->ViewAllClick();
    EXPECT_EQ(empty, doc.viewRect);
    EXPECT_DOUBLE_EQ(scale, doc.scale);

    // A drawing that is a single point has no size to fit either.
    auto* text = doc.AddFigure(kKindRectangle);
    text->box = {10, 10, 10, 10};
    w->ViewAllClick();
    EXPECT_DOUBLE_EQ(scale, doc.scale);
    doc.Clear();

    ThreeBranches();
    TRect e = doc.GetExtent();
    ASSERT_GT(e.right - e.left, 0);
    w->ViewAllClick();
    // The extent fills 95 % of the tighter side.
    const double expect =
        std::min(800.0 / (e.right - e.left) * 0.95, 600.0 / (e.top - e.bottom) * 0.95);
    EXPECT_DOUBLE_EQ(expect, doc.scale);
    EXPECT_EQ(std::max(5, RoundI(5 / expect)), doc.hitTolerance);
    EXPECT_EQ(HalfSum(e.left, e.right), HalfSum(doc.viewRect.left, doc.viewRect.right));
    EXPECT_EQ(RoundI(400 / expect) * 2, doc.viewRect.right - doc.viewRect.left);
}

TEST_F(DrawWinTest, MarkerBlinksRedThenWhiteUntilThePlanIsPressed) {
    Start();
    WindowState().BlinkMarker.world = {12, 34};
    WindowState().BlinkMarker.number = 7;
    WindowState().BlinkMarker.ringKind = 2;
    w->EnableBlinkTimer();
    EXPECT_TRUE(w->TimerEnabled);
    EXPECT_EQ((TPoint{12, 34}), w->MarkerPoint);
    EXPECT_EQ(7, w->MarkerNumber);
    w->Timer1Timer();
    EXPECT_EQ(0x0000FF, w->MarkerColor);
    w->Timer1Timer();
    EXPECT_EQ(0xFFFFFF, w->MarkerColor);
    w->PlanMouseDown();
    EXPECT_FALSE(w->TimerEnabled);
}

TEST_F(DrawWinTest, SchemeRecordsGoToTheOptionsDialogAndBack) {
    Start();
    w->Doc().layers.AddLayer();
    TSchemeOptionsState d;
    d.LineTypeIndex = 2;
    d.ColorLine = 0x123456;
    d.UpDownWidth = 3;
    d.ShowChecks = {true, false, true, false, true, false, true, true};
    // Fourteen check marks: the two beyond the twelfth have no place.
    d.LayerChecks.assign(14, true);
    d.LayerChecks[1] = false;
    d.UpDownPenWidth = 4;
    w->StoreSchemeOptions(3, d);
    const TSchemeRecord& r = DrawingGlobals().SchemeViewFlags[3];
    EXPECT_EQ(3, r.style);
    EXPECT_EQ(0x123456, r.lineColor);
    EXPECT_EQ(1, r.show[0]);
    EXPECT_EQ(0, r.show[1]);
    EXPECT_EQ(0, r.layers[1]);
    EXPECT_EQ(1, r.layers[11]);
    EXPECT_EQ(4, r.penWidth);
    // Other schemes are untouched.
    EXPECT_EQ(TSchemeRecord{}, DrawingGlobals().SchemeViewFlags[2]);

    TSchemeOptionsState back;
    back.ComboBoxLajer = 1;
    w->LoadSchemeOptions(3, back);
    EXPECT_EQ(2, back.LineTypeIndex);
    EXPECT_EQ(0x123456, back.ColorLine);
    EXPECT_EQ(3, back.UpDownWidth);
    EXPECT_EQ(d.ShowChecks, back.ShowChecks);
    EXPECT_EQ((std::vector<bool>{true, false}), back.LayerChecks);
    EXPECT_EQ(4, back.UpDownPenWidth);
    EXPECT_EQ(w->Doc().layers.Layer(1).name, back.Edit7);
    // A scheme number out of range changes nothing.
    w->StoreSchemeOptions(5, d);
    w->StoreSchemeOptions(-1, d);
}

TEST_F(DrawWinTest, SchemeChoiceNamesTheSchemeAndChecksItsItem) {
    Start();
    w->SchemeClick(2);
    EXPECT_EQ(2, DrawingGlobals().SchemeKind);
    EXPECT_TRUE(w->SchemeChecked(2));
    EXPECT_FALSE(w->SchemeChecked(0));
    EXPECT_TRUE(w->MsxPLA);
    EXPECT_EQ(SchemeKindNames()[2], w->PanelSost);
}
