#include "DocTestSupport.h"
#include "platform/RecordingCanvas.h"

#include <string>
#include <vector>

using namespace arv;
using namespace arv::test;

using Document = DocTest;

TEST_F(Document, TransformsBetweenWorldAndScreen) {
    TGCollFigure doc;
    doc.scale = 1.0;
    doc.viewRect = {100, 50, 300, -50};
    EXPECT_EQ((TPoint{10, 10}), doc.WorldToScreen({110, 40}));
    EXPECT_EQ((TPoint{110, 40}), doc.ScreenToWorld({10, 10}));
    EXPECT_EQ((TRect{10, 10, 20, 30}), doc.WorldRectToScreen({110, 40, 120, 20}));
    // Halves go to the even neighbour both ways.
    doc.scale = 0.5;
    EXPECT_EQ(0, doc.WorldToScreen({101, 50}).x); // 0.5
    EXPECT_EQ(2, doc.WorldToScreen({103, 50}).x); // 1.5
    EXPECT_EQ(2, doc.WorldToScreen({105, 50}).x); // 2.5
    EXPECT_EQ(-2, doc.WorldToScreen({97, 50}).x); // -1.5
    EXPECT_EQ(0, doc.WorldToScreen({100, 49}).y); // 0.5
    EXPECT_EQ((TPoint{102, 48}), doc.ScreenToWorld({1, 1}));
    doc.scale = 4.0;
    EXPECT_EQ((TPoint{100, 50}), doc.ScreenToWorld({2, 2})); // 0.5 -> 0
    EXPECT_EQ((TPoint{102, 48}), doc.ScreenToWorld({6, 6})); // 1.5 -> 2
}

TEST_F(Document, ViewRectangleIsShiftedIntoRange) {
    TGCollFigure doc;
    doc.SetViewRect({50000, 400, 150000, 100});
    EXPECT_EQ((TRect{0, 400, 100000, 100}), doc.viewRect);
    EXPECT_EQ((TPoint{50000, 250}), doc.centre);
    doc.SetViewRect({-120000, -150000, 0, -190000});
    EXPECT_EQ((TRect{-100000, -100000, 20000, -140000}), doc.viewRect);
    // An empty rectangle: the client area about the origin.
    doc.clientWidth = 201;
    doc.clientHeight = 100;
    doc.scale = 2.0;
    doc.SetViewRect({0, 5, 0, 0});
    EXPECT_EQ((TRect{-50, 25, 50, -25}), doc.viewRect);
    EXPECT_EQ((TPoint{0, 0}), doc.centre);
}

TEST_F(Document, SelectionPicksTheNearestAndTheEarlierOnATie) {
    TGCollFigure doc;
    SetSimpleView(doc);
    int changes = 0;
    doc.OnChange = [&] { ++changes; };
    AddLine(doc, {10, 50}, {190, 50}, 1);
    AddLine(doc, {10, 60}, {190, 60}, 2);
    doc.BuildVisibleList();
    doc.current = -1;
    // (100, 55) lies 5 from both branches; 5 is not below the tolerance 5.
    EXPECT_EQ(-1, doc.SelectAt(doc.WorldToScreen({100, 55}), 0));
    doc.hitTolerance = 6;
    EXPECT_EQ(0, doc.SelectAt(doc.WorldToScreen({100, 55}), 0)); // tie: the earlier
    EXPECT_EQ(-1, doc.current);                                  // mode 0 keeps the selection
    EXPECT_EQ(1, doc.SelectAt(doc.WorldToScreen({100, 58}), -1));
    EXPECT_EQ(1, doc.current);
    EXPECT_EQ(1, changes);
    // Beyond the tolerance mode -1 clears the selection.
    EXPECT_EQ(-1, doc.SelectAt(doc.WorldToScreen({100, 80}), -1));
    EXPECT_EQ(-1, doc.current);
    EXPECT_EQ(2, changes);
}

TEST_F(Document, SelectNextAndPrevWrapAround) {
    TGCollFigure doc;
    doc.SelectNext(); // nothing to select
    EXPECT_EQ(-1, doc.current);
    AddLine(doc, {0, 0}, {1, 0});
    AddLine(doc, {0, 1}, {1, 1});
    AddLine(doc, {0, 2}, {1, 2});
    doc.current = -1;
    doc.SelectNext();
    EXPECT_EQ(2, doc.current);
    doc.SelectNext();
    EXPECT_EQ(0, doc.current);
    doc.SelectPrev();
    EXPECT_EQ(2, doc.current);
    doc.SelectPrev();
    EXPECT_EQ(1, doc.current);
    doc.current = -1;
    doc.SelectPrev();
    EXPECT_EQ(2, doc.current);
}

TEST_F(Document, FactoryNumbersBranchesAndRefusesOtherCodes) {
    TGCollFigure doc;
    auto* a = static_cast<TGBranch*>(doc.AddFigure(kKindLine));
    auto* b = static_cast<TGBranch*>(doc.AddFigure(kKindPolyLine));
    auto* c = static_cast<TGBranch*>(doc.AddFigure(kKindLine));
    EXPECT_EQ(-1, a->number);
    EXPECT_EQ(-2, b->number);
    EXPECT_EQ(-3, c->number);
    EXPECT_EQ(2, doc.current);
    EXPECT_EQ(-4, doc.tempBranchCounter);
    EXPECT_EQ(&doc, a->doc);
    EXPECT_EQ(nullptr, doc.AddFigure(kKindNodeBlock));
    EXPECT_EQ(nullptr, doc.AddFigure(0));
    EXPECT_EQ(-1, doc.current);
    EXPECT_EQ(0, doc.CurrentKind());
    EXPECT_EQ(nullptr, doc.CurrentFigure());
    // New figures keep the attributes they were made with in every scheme.
    for (const TViewAttrs& attrs : a->schemeAttrs) EXPECT_EQ(a->CurrentViewAttrs(), attrs);
}

TEST_F(Document, TemporaryNumbersFollowTheExistingOnes) {
    TGCollFigure doc;
    AddLine(doc, {0, 0}, {1, 0}, 1);
    AddLine(doc, {0, 1}, {1, 1}, 2);
    AddLine(doc, {0, 2}, {1, 2}, 5);
    TGBranch* n1 = AddLine(doc, {0, 3}, {1, 3});
    TGBranch* n2 = AddLine(doc, {0, 4}, {1, 4});
    doc.RenumberTemporaryBranches();
    EXPECT_EQ(-3, n1->number);
    EXPECT_EQ(-4, n2->number);
    EXPECT_EQ(-6, doc.NextBranchNumber());
    EXPECT_EQ(-7, doc.NextBranchNumber());

    TGCollFigure two;
    AddLine(two, {0, 0}, {1, 0}, 1);
    AddLine(two, {0, 1}, {1, 1}, 2);
    TGBranch* m1 = AddLine(two, {0, 3}, {1, 3});
    TGBranch* m2 = AddLine(two, {0, 4}, {1, 4});
    two.RenumberTemporaryBranches();
    EXPECT_EQ(-3, m1->number);
    EXPECT_EQ(-4, m2->number);

    TGCollFigure empty;
    empty.RenumberTemporaryBranches();
    EXPECT_EQ(-1, empty.NextBranchNumber());
}

TEST_F(Document, HugeBranchNumbersDoNotExplodeTheFreeList) {
    TGCollFigure doc;
    AddLine(doc, {0, 0}, {1, 0}, 2);
    AddLine(doc, {0, 1}, {1, 1}, std::numeric_limits<int32_t>::max());
    doc.RenumberTemporaryBranches();
    // The gap 3 .. max - 1 is kept as a range, not as two billion entries;
    // below the smallest number nothing is free.
    EXPECT_EQ(int64_t{std::numeric_limits<int32_t>::max()} - 3, doc.FreedBranchNumberCount());
    EXPECT_EQ(-3, doc.NextBranchNumber());
    EXPECT_EQ(-4, doc.NextBranchNumber());
}

TEST_F(Document, DeletingTheOnlyFigureLeavesNoneCurrent) {
    TGCollFigure doc;
    AddLine(doc, {0, 0}, {1, 0}, 1);
    doc.DeleteCurrent();
    EXPECT_EQ(0, doc.Count());
    EXPECT_EQ(-1, doc.current);
    EXPECT_EQ(0, doc.nodes.Count());
    doc.DeleteCurrent(); // nothing left: ignored
    EXPECT_EQ(0, doc.Count());
}

TEST_F(Document, DeletingABranchKeepsEveryOtherBranchOnItsNodes) {
    TGCollFigure doc;
    // Node records 0 and 1 belong to the first branch only; deleting it
    // removes them and shifts every later record down by two.
    AddLine(doc, {0, 0}, {10, 0}, 1);
    AddLine(doc, {20, 0}, {30, 0}, 2);
    AddLine(doc, {30, 0}, {30, 10}, 3);
    AddLine(doc, {30, 10}, {20, 0}, 4);
    ASSERT_EQ(5, doc.nodes.Count());
    doc.current = 0;
    doc.DeleteCurrent();
    ASSERT_EQ(3, doc.nodes.Count());
    EXPECT_EQ(2, doc.current);
    for (int32_t i = 0; i < doc.Count(); ++i) {
        TGBranch* b = doc.BranchAt(i);
        ASSERT_TRUE(doc.nodes.Valid(b->beginIndex));
        ASSERT_TRUE(doc.nodes.Valid(b->endIndex));
        EXPECT_EQ(b->Begin(), doc.nodes.Record(b->beginIndex).point);
        EXPECT_EQ(b->End(), doc.nodes.Record(b->endIndex).point);
        EXPECT_EQ(2, doc.nodes.Record(b->beginIndex).refCount);
    }
    // A middle branch: its nodes stay because others use them.
    doc.current = 1;
    doc.DeleteCurrent();
    EXPECT_EQ(3, doc.nodes.Count());
    EXPECT_EQ(1, doc.nodes.Record(doc.BranchAt(0)->endIndex).refCount);
}

TEST_F(Document, ClearEmptiesFiguresAndNodes) {
    TGCollFigure doc;
    AddLine(doc, {0, 0}, {10, 0}, 1);
    doc.nodes.AddNode({99, 99}, -1, 9); // a node no branch uses
    doc.Clear();
    EXPECT_EQ(0, doc.Count());
    EXPECT_EQ(0, doc.nodes.Count());
    EXPECT_EQ(-1, doc.current);
    EXPECT_EQ(-1, doc.tempBranchCounter);
    // Numbers freed in the old drawing are not handed out in the new one.
    TGCollFigure gaps;
    AddLine(gaps, {0, 0}, {10, 0}, 1);
    AddLine(gaps, {10, 0}, {20, 0}, 5);
    gaps.RenumberTemporaryBranches();
    gaps.Clear();
    EXPECT_EQ(-1, static_cast<TGBranch*>(gaps.AddFigure(kKindLine))->number);
    EXPECT_EQ(-2, static_cast<TGBranch*>(gaps.AddFigure(kKindLine))->number);
}

TEST_F(Document, ZoomSteps) {
    struct Host : IWindowHost {
        int resets = 0;
        int sized = 0;
        void ResetPageFormatBox() override { ++resets; }
        void SizeDrawingBitmap() override { ++sized; }
    } host;
    InstallWindowHost(&host);
    TGCollFigure doc;
    doc.UpdateViewSize(200, 100);
    EXPECT_EQ(1, host.sized);
    EXPECT_EQ((TRect{-100, 50, 100, -50}), doc.viewRect);
    doc.ZoomIn();
    EXPECT_DOUBLE_EQ(1.1, doc.scale);
    EXPECT_EQ(0, host.resets);
    doc.ZoomOut();
    EXPECT_DOUBLE_EQ(1.1 * 0.9, doc.scale);
    EXPECT_EQ(1, host.resets);
    doc.scale = 0.1;
    doc.ZoomInAt(doc.WorldToScreen({0, 0}));
    EXPECT_NEAR(0.11, doc.scale, 1e-12);
    EXPECT_EQ(45, doc.hitTolerance); // round(5 / 0.11)
    doc.scale = 0.015;
    doc.ZoomOut(); // neither step applies
    EXPECT_DOUBLE_EQ(0.015, doc.scale);
    doc.ZoomOutAt({0, 0});
    EXPECT_NEAR(0.005, doc.scale, 1e-12);
    doc.ZoomOutAt({0, 0}); // would reach zero: not taken
    EXPECT_NEAR(0.005, doc.scale, 1e-12);
}

TEST_F(Document, ZoomToRectNeverZoomsOutAndSmallRectanglesOnlyRecentre) {
    TGCollFigure doc;
    doc.UpdateViewSize(200, 100);
    doc.ZoomToRect({0, 10, 5, 0}); // 5 wide: recentre only
    EXPECT_DOUBLE_EQ(1.0, doc.scale);
    EXPECT_EQ((TPoint{2, 5}), doc.centre);
    doc.ZoomToRect({0, 20, 0, 0}); // zero width: nothing
    EXPECT_EQ((TPoint{2, 5}), doc.centre);
    doc.ZoomToRect({0, 50, 50, 0});
    EXPECT_DOUBLE_EQ(2.0, doc.scale);
    EXPECT_EQ((TPoint{25, 25}), doc.centre);
    EXPECT_EQ((TRect{-25, 50, 75, 0}), doc.viewRect);
    doc.ZoomToRect({0, 1000, 1000, 0}); // would zoom out: scale kept
    EXPECT_DOUBLE_EQ(2.0, doc.scale);
}

TEST_F(Document, ScrollMovesTheView) {
    TGCollFigure doc;
    doc.SetViewRect({0, 100, 200, 0});
    EXPECT_EQ(-1, doc.Scroll(1, 10));
    EXPECT_EQ((TRect{-10, 100, 190, 0}), doc.viewRect);
    doc.Scroll(3, 10);
    EXPECT_EQ((TRect{-10, 110, 190, 10}), doc.viewRect);
    doc.Scroll(9, 10);
    EXPECT_EQ((TRect{-10, 110, 190, 10}), doc.viewRect);
}

TEST_F(Document, FindsBranchesAndNodesByNumber) {
    TGCollFigure doc;
    doc.UpdateViewSize(100, 100);
    AddLine(doc, {0, 0}, {10, 0}, 1);
    TGLine* second = AddLine(doc, {500, 600}, {10, 0}, 2);
    doc.current = -1;
    EXPECT_TRUE(doc.HasBranchNumber(2));
    EXPECT_EQ(1, doc.current);
    EXPECT_FALSE(doc.HasBranchNumber(3));
    EXPECT_EQ(1, doc.current);
    EXPECT_TRUE(doc.SetCurrentBranchName("abc"));
    EXPECT_EQ("abc", second->name);
    EXPECT_TRUE(doc.HasNodeNumber(second->beginNode));
    EXPECT_EQ((TPoint{500, 600}), doc.centre);
    EXPECT_EQ((TRect{450, 650, 550, 550}), doc.viewRect);
    EXPECT_FALSE(doc.HasNodeNumber(12345));
}

TEST_F(Document, ExtentCoversFiguresAndNodeLabels) {
    TGCollFigure doc;
    EXPECT_EQ((TRect{}), doc.GetExtent());
    AddLine(doc, {-10, 5}, {40, 30}, 1);
    AddLine(doc, {40, 30}, {60, -20}, 2);
    // Node number labels sit at point + (2, -2).
    EXPECT_EQ((TRect{-10, 30, 62, -22}), doc.GetExtent());
}

TEST_F(Document, ExtentIncludesMeasuredLabels) {
    struct Host : IWindowHost {
        TRecordingCanvas canvas;
        TCanvas* MeasuringCanvas() override { return &canvas; }
    } host;
    InstallWindowHost(&host);
    TGCollFigure doc;
    TGLine* line = AddLine(doc, {0, 0}, {100, 0}, 7);
    doc.display.branchNumbers = 1;
    line->pointB = {200, 0};
    // "(7)" in font 3 (32 world units at scale 1) measures 3 x 19 pixels
    // wide on the recording canvas, along the branch angle 0.
    TRect r = doc.GetExtent();
    EXPECT_EQ(257, r.right);
    doc.display.branchNumbers = 0;
    doc.display.caption[3] = 1;
    line->Caption(3).anchor = {50, -50};
    doc.settings.symbolSize = 30;
    r = doc.GetExtent();
    EXPECT_EQ(-60, r.bottom);
    // The drawing's own extent, whatever the view's scale.
    doc.display.branchNumbers = 1;
    doc.display.caption[5] = 1;
    r = doc.GetExtent();
    for (double scale : {0.3, 3.0}) {
        doc.scale = scale;
        EXPECT_EQ(r, doc.GetExtent()) << scale;
    }
}

TEST_F(Document, PointInRotatedRect) {
    // An unturned rectangle 20 wide, 10 high, corner at the screen origin
    // grows right and up (screen y decreasing).
    EXPECT_TRUE(TGCollFigure::PointInRotatedRect(20, 10, {5, -5}, 0, {0, 0}, 0.0));
    EXPECT_FALSE(TGCollFigure::PointInRotatedRect(20, 10, {5, 5}, 0, {0, 0}, 0.0));
    // Turned a quarter: it grows up and left.
    EXPECT_TRUE(TGCollFigure::PointInRotatedRect(20, 10, {-5, -15}, 0, {0, 0}, kPi / 2));
    // Flag 1 ignores the angle.
    EXPECT_TRUE(TGCollFigure::PointInRotatedRect(20, 10, {5, -5}, 1, {0, 0}, kPi / 2));
    // Angles past 90 degrees are turned back by half a turn.
    EXPECT_TRUE(TGCollFigure::PointInRotatedRect(20, 10, {5, -5}, 0, {0, 0}, kPi));
}

TEST_F(Document, LabelTextOutWritesEachPartInItsColour) {
    TRecordingCanvas canvas;
    canvas.font.height = -10; // 6 pixels a character
    canvas.MoveTo(100, 50);
    std::string out = "old";
    LabelTextOut(canvas, {255, 0}, out, {"[", "12,5", "]"}, 2);
    EXPECT_EQ("[12,5]", out);
    std::vector<std::string> calls;
    for (const TCanvasCall& c : canvas.calls) {
        EXPECT_TRUE(c.transparentText);
        calls.push_back(c.text + "@" + std::to_string(c.args[0]) + ":" +
                        std::to_string(c.font.colour));
    }
    // Each piece follows the one before from the current position.
    EXPECT_EQ((std::vector<std::string>{"[@100:255", "12,5@106:0", "]@130:0"}), calls);
    EXPECT_EQ(0u, canvas.TextAlign() & kTaUpdateCp);
    // An index past the texts stops at the last text.
    LabelTextOut(canvas, {}, out, {"a"}, 5);
    EXPECT_EQ("a", out);
}

TEST_F(Document, SchemeRecordSetsDefaultsSwitchesAndFigureAttributes) {
    TGCollFigure doc;
    TGLine* line = AddLine(doc, {0, 0}, {10, 0}, 1);
    line->schemeAttrs[3].width = 77;
    line->schemeAttrs[3].pen.colour = 0xFF;
    auto& rec = DrawingGlobals().SchemeViewFlags[3];
    rec.style = 0;
    rec.lineColor = 0x00AA00;
    rec.width = 15;
    rec.penWidth = 2;
    rec.show = {1, 0, 1, 0, 1, 0, 1, 1};
    doc.ApplySchemeRecord(3);
    EXPECT_EQ(1, rec.style);
    EXPECT_EQ(1, DrawingGlobals().DefaultBranchStyle);
    EXPECT_EQ(0x00AA00, DrawingGlobals().DefLineColor);
    EXPECT_EQ(15, DrawingGlobals().WidthDefault);
    EXPECT_EQ(2, DrawingGlobals().BranchPenWidth);
    EXPECT_EQ(1, doc.display.branchNumbers);
    EXPECT_EQ(1, doc.display.branchNames);
    EXPECT_EQ(1, doc.display.caption[5]);
    EXPECT_EQ(1, doc.display.caption[3]);
    EXPECT_EQ(0, doc.display.caption[1]);
    EXPECT_EQ(77, line->width);
    EXPECT_EQ(0xFF, line->pen.colour);
}
