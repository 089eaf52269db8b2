// Mouse gestures played on a document: a press finds the handle, moves drag
// it, group rectangles select and move. The window's part (which tool calls
// what) is not here; these drive the document the way it does.
#include "DocTestSupport.h"
#include "document/EditGeometry.h"
#include "document/ShapeFigures.h"
#include "document/TextFigures.h"
#include "document/ToolFigures.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace arv::test {
namespace {

using THit = TGCollFigure::THandleHit;

class MouseEditing : public DocTest {
protected:
    void SetUp() override {
        DocTest::SetUp();
        SetSimpleView(doc);
    }
    // A press at a world point, as the window converts it.
    int32_t Press(TPoint world, THit& hit) {
        return doc.FindHandleAt(doc.WorldToScreen(world), hit);
    }
    TGCollFigure doc;
};

// Network:  n1 (10,50) --line 1-- n2 (60,50) --line 2-- n3 (110,50)
//                                                        n4 (110,20) (line 3 from n3)
TEST_F(MouseEditing, NodeDragsCarryBranchEndsAndMergeOntoAnotherNode) {
    TGLine* l1 = AddLine(doc, {10, 50}, {60, 50}, 1);
    TGLine* l2 = AddLine(doc, {60, 50}, {110, 50}, 2);
    TGLine* l3 = AddLine(doc, {110, 50}, {110, 20}, 3);
    doc.BuildVisibleList();
    // Drawn from node to node, the branches share the node records.
    ASSERT_EQ(doc.nodes.Count(), 4);
    EXPECT_EQ(l1->endIndex, l2->beginIndex);
    EXPECT_EQ(doc.nodes.Record(l1->endIndex).refCount, 2);

    // A press a little off the middle node (within the tolerance) grabs it.
    doc.current = -1;
    THit hit;
    ASSERT_EQ(Press({63, 53}, hit), 2);
    EXPECT_EQ(hit.index, l1->endIndex);
    EXPECT_EQ(hit.grab, (TPoint{60, 50}));
    doc.DragSelection(hit, {65, 70});
    doc.DragSelection(hit, {70, 80});
    EXPECT_EQ(l1->End(), (TPoint{70, 80}));
    EXPECT_EQ(l2->Begin(), (TPoint{70, 80}));
    EXPECT_EQ(l1->Begin(), (TPoint{10, 50}));

    // A node number is grabbed by its drawn label and keeps its offset.
    TNodeRecord& n1 = doc.nodes.Record(l1->beginIndex);
    n1.labelScreen = doc.WorldToScreen({12, 70});
    n1.labelWidth = 12;
    n1.labelHeight = 10;
    doc.current = -1;
    THit labelHit;
    EXPECT_NE(Press({15, 65}, labelHit), 7);
    doc.display.nodeNumbers = 1;
    ASSERT_EQ(Press({15, 65}, labelHit), 7);
    EXPECT_EQ(labelHit.index, l1->beginIndex);
    doc.DragSelection(labelHit, {0, 80});
    EXPECT_EQ(n1.labelOffset, (TPoint{-10, 30}));
    EXPECT_EQ(n1.point, (TPoint{10, 50}));

    // Dragged onto n4 the node merges: l1 and l2 now meet l3 at its end.
    const int32_t n4Number = doc.nodes.Record(l3->endIndex).number;
    doc.DragSelection(hit, {110, 20});
    EXPECT_EQ(doc.nodes.Count(), 3);
    EXPECT_EQ(l1->endNode, n4Number);
    EXPECT_EQ(l2->beginNode, n4Number);
    EXPECT_EQ(l1->endIndex, l3->endIndex);
    EXPECT_EQ(doc.nodes.Record(l3->endIndex).refCount, 3);
    EXPECT_EQ(l2->Begin(), (TPoint{110, 20}));
    // The drag goes on with the merged node.
    EXPECT_EQ(hit.index, l3->endIndex);
    doc.DragSelection(hit, {120, 10});
    EXPECT_EQ(l3->End(), (TPoint{120, 10}));
    EXPECT_EQ(l1->End(), (TPoint{120, 10}));
}

TEST_F(MouseEditing, ToleranceEdgesAndWhatWinsAPress) {
    doc.hitTolerance = 5;
    // A polygon vertex is hit only strictly inside the tolerance.
    auto* poly = static_cast<TGPolygon*>(doc.AddFigure(kKindPolygon));
    poly->vertices = {{20, 20}, {60, 20}, {40, 60}};
    poly->lastIndex = 2;
    poly->UpdateBounds();
    THit hit;
    EXPECT_EQ(Press({64, 20}, hit), 1010);
    EXPECT_EQ(hit.sub, 1);
    doc.DragSelection(hit, {70, 10});
    EXPECT_EQ(poly->vertices[1], (TPoint{70, 10}));
    EXPECT_EQ(poly->box.right, 70);
    EXPECT_EQ(poly->box.bottom, 10);
    doc.current = 0;
    EXPECT_NE(Press({45, 60}, hit), 1010);

    // A polyline bend is hit also at exactly the tolerance.
    doc.Clear();
    SetSimpleView(doc);
    auto* bent = static_cast<TGPolyLine*>(doc.AddFigure(kKindPolyLine));
    bent->EditVertex({10, 10}, {50, 60}, {});
    bent->EditVertex({50, 60}, {150, 10}, {});
    doc.BuildVisibleList();
    doc.current = 0;
    ASSERT_EQ(Press({55, 55}, hit), 9);
    EXPECT_EQ(hit.sub, 0);
    doc.DragSelection(hit, {50, 90});
    EXPECT_EQ(bent->bends[0], (TPoint{50, 90}));
    EXPECT_EQ(bent->box.top, 90);

    // A node within the tolerance wins over the name of the current branch
    // drawn across it.
    doc.display.branchNames = 1;
    bent->name = "N";
    bent->nameScreen = doc.WorldToScreen({140, 5});
    bent->nameSize = {40, 20};
    doc.current = 0;
    ASSERT_EQ(Press({150, 10}, hit), 2);
    EXPECT_EQ(hit.index, bent->endIndex);
    // Away from the node the name is hit.
    ASSERT_EQ(Press({160, 2}, hit), 4);
    doc.DragSelection(hit, {175, 30});
    EXPECT_EQ(bent->pointA, (TPoint{175, 30}));
    EXPECT_EQ(bent->hasPointA, 1);

    // A picture is never grabbed while pictures are not drawn.
    auto* pic = static_cast<TGPicture*>(doc.AddFigure(kKindPicture));
    pic->Place("p", 0, 0, 20, 10, {100, 80});
    doc.BuildVisibleList();
    doc.settings.drawPictures = 0;
    EXPECT_NE(Press({110, 75}, hit), 6);
    doc.current = doc.Count() - 1;
    doc.settings.drawPictures = 1;
    ASSERT_EQ(Press({110, 75}, hit), 6);
    doc.DragSelection(hit, {50, 50});
    EXPECT_EQ(pic->box, (TRect{40, 55, 60, 45}));
}

// The name of a bent branch follows its last segment, not the branch's angle.
TEST_F(MouseEditing, BranchNameRectangleFollowsTheLabelsReadingDirection) {
    auto* bent = static_cast<TGPolyLine*>(doc.AddFigure(kKindPolyLine));
    bent->EditVertex({10, 50}, {100, 50}, {});
    bent->EditVertex({100, 50}, {100, 0}, {}); // last segment downward
    doc.BuildVisibleList();
    doc.display.branchNames = 1;
    bent->name = "N";
    bent->angle = 0;
    // Drawn reading upward (-90 degrees turned to +90): from its corner the
    // text runs up the screen, its height to the left.
    bent->nameScreen = {90, 90};
    bent->nameSize = {40, 10};
    doc.current = 0;
    THit hit;
    EXPECT_EQ(doc.FindHandleAt({85, 70}, hit), 4);
    // Where a horizontal rectangle would lie there is no name.
    EXPECT_NE(doc.FindHandleAt({110, 85}, hit), 4);
}

TEST_F(MouseEditing, FlowValueLandsUnderTheCursorOnlyInTheHandleTool) {
    TGLine* line = AddLine(doc, {10, 50}, {150, 50}, 1);
    doc.BuildVisibleList();
    doc.display.caption[1] = 1;
    TBranchCaption& rec = line->Caption(1);
    rec.angle = 0;
    rec.anchor = {60, 40};
    rec.screenPoint = doc.WorldToScreen({60, 40});
    rec.size = {30, 12};
    doc.current = 0;
    THit hit;
    ASSERT_EQ(doc.FindHandleAt({rec.screenPoint.x + 10, rec.screenPoint.y - 5}, hit), 10);
    EXPECT_EQ(hit.sub, 1);
    WindowState().DrawMode = 7;
    doc.DragSelection(hit, {80, 30});
    EXPECT_EQ(rec.anchor, (TPoint{80, 30}));
    EXPECT_EQ(rec.flag2, 1);
    // Other tools keep the value off the line by the data offset.
    WindowState().DrawMode = 1;
    doc.DragSelection(hit, {80, 30});
    const int32_t d = DrawingGlobals().DataOffset;
    EXPECT_EQ(rec.anchor, (TPoint{80, 30 - d}));

    // The calculation-data callout is grabbed only while it is drawn.
    line->callout.frame = {120, 20, 160, 40};
    doc.current = 0;
    EXPECT_NE(doc.FindHandleAt({130, 30}, hit), 13);
    doc.settings.showCalcData = 1;
    ASSERT_EQ(doc.FindHandleAt({130, 30}, hit), 13);
    EXPECT_EQ(hit.grab, doc.ScreenToWorld({120, 20}));
    doc.DragSelection(hit, {5, 6});
    EXPECT_EQ(line->callout.anchor, (TPoint{5, 6}));
    EXPECT_EQ(line->callout.placed, 1);

    // A PLA marker is taken below and right of its number by the ring's
    // radius in pixels, converted to the world at any zoom.
    doc.settings.showCalcData = 0;
    doc.display.caption[3] = 1;
    line->Caption(3).shown = 1;
    line->Caption(3).anchor = {100, 60};
    doc.settings.symbolSize = 30;
    doc.scale = 2;
    doc.current = 0;
    ASSERT_EQ(Press({100, 60}, hit), 10);
    EXPECT_EQ(hit.sub, 3);
    EXPECT_EQ(hit.grab, (TPoint{110, 40}));
}

TEST_F(MouseEditing, ShapeHandlesRestartFromThePressOnEveryMove) {
    auto* r = static_cast<TGRectangle*>(doc.AddFigure(kKindRectangle));
    r->SetCorners({20, 80}, {60, 40});
    doc.hitTolerance = 4;
    THit hit;
    ASSERT_EQ(Press({60, 40}, hit), 11); // the bottom-right corner
    doc.DragSelection(hit, {70, 30});
    doc.DragSelection(hit, {80, 20});
    EXPECT_EQ(r->box, (TRect{20, 80, 80, 20}));

    auto* l = static_cast<TGALine*>(doc.AddFigure(kKindALine));
    l->SetPoints({20, 20}, {90, 20});
    ASSERT_EQ(Press({90, 20}, hit), 15);
    doc.DragSelection(hit, {95, 30});
    doc.DragSelection(hit, {100, 40});
    EXPECT_EQ(l->First(), (TPoint{20, 20}));
    EXPECT_EQ(l->Second(), (TPoint{100, 40}));

    auto* t = static_cast<TGText*>(doc.AddFigure(kKindText));
    t->anchor = {30, 30};
    t->box = {30, 40, 60, 30};
    ASSERT_EQ(Press({40, 35}, hit), 3);
    doc.DragSelection(hit, {50, 45});
    EXPECT_EQ(t->anchor, (TPoint{50, 45}));
}

// Plan of the group tests (the rectangle is (0,100)-(100,0)):
//   n1 (20,50) --line-- n2 (80,50) --line-- n3 (150,50) outside
//   a text at (30,70), a plain line from (0,0) inside to (150,150) outside
TEST_F(MouseEditing, GroupMovesEverythingInsideAndOnlyNodesOnlyTheyUse) {
    TGLine* inner = AddLine(doc, {20, 50}, {80, 50}, 1);
    TGLine* outer = AddLine(doc, {80, 50}, {150, 50}, 2);
    auto* t = static_cast<TGText*>(doc.AddFigure(kKindText));
    t->anchor = {30, 70};
    t->box = {30, 80, 50, 70};
    auto* l = static_cast<TGALine*>(doc.AddFigure(kKindALine));
    l->SetPoints({0, 0}, {150, 150});

    // Dragged up-left the rectangle selects what a down-right one does.
    const int32_t down = doc.SelectGroup({0, 100}, {100, 0});
    const auto list = doc.groupList;
    EXPECT_EQ(doc.SelectGroup({100, 0}, {0, 100}), down);
    EXPECT_EQ(doc.groupList, list);
    EXPECT_EQ(down, 0); // the only branch taken is figure 0
    // Nodes n1 and n2, the inner line, the text, the plain line.
    EXPECT_EQ(doc.groupList.size(), 5u);

    doc.MoveGroup({50, 50}, {55, 45});
    doc.MoveGroup({50, 50}, {60, 40}); // the same drag: ends at +(10,-10)
    EXPECT_EQ(inner->Begin(), (TPoint{30, 40}));
    EXPECT_EQ(inner->End(), (TPoint{90, 40}));
    // n2 is in the rectangle, so the outer branch's begin follows it; its
    // far end stays.
    EXPECT_EQ(outer->Begin(), (TPoint{90, 40}));
    EXPECT_EQ(outer->End(), (TPoint{150, 50}));
    EXPECT_EQ(t->anchor, (TPoint{40, 60}));
    // The plain line's begin at the origin was inside and moves; its end
    // outside stays.
    EXPECT_EQ(l->First(), (TPoint{10, -10}));
    EXPECT_EQ(l->Second(), (TPoint{150, 150}));

    // Back to the start point: everything where it was.
    doc.MoveGroup({50, 50}, {50, 50});
    EXPECT_EQ(inner->Begin(), (TPoint{20, 50}));
    EXPECT_EQ(l->First(), (TPoint{0, 0}));
}

TEST_F(MouseEditing, GroupOfBendsShapesAndTheReportedFigure) {
    AddLine(doc, {500, 500}, {600, 500}, 1); // figure 0, outside
    auto* bent = static_cast<TGPolyLine*>(doc.AddFigure(kKindPolyLine));
    bent->EditVertex({-50, 50}, {20, 60}, {});
    bent->EditVertex({20, 60}, {200, 60}, {});
    auto* e = static_cast<TGElipse*>(doc.AddFigure(kKindEllipse));
    e->SetRect({10, 30}, {40, 10}, 0);
    auto* arc = static_cast<TGArc*>(doc.AddFigure(kKindArc));
    arc->SetPoints({60, 30}, {50, 20}, {50, 30});
    auto* poly = static_cast<TGPolygon*>(doc.AddFigure(kKindPolygon));
    poly->vertices = {{70, 70}, {90, 70}, {80, 90}};
    poly->lastIndex = 2;
    poly->UpdateBounds();

    EXPECT_EQ(doc.SelectGroup({0, 100}, {100, 0}), 1); // the bent branch
    doc.MoveGroup({0, 0}, {5, 5});
    EXPECT_EQ(bent->bends[0], (TPoint{25, 65}));
    EXPECT_EQ(bent->Begin(), (TPoint{-50, 50}));
    EXPECT_EQ(bent->box.top, 65);
    EXPECT_EQ(e->box, (TRect{15, 35, 45, 15}));
    EXPECT_EQ(arc->centre, (TPoint{55, 35}));
    EXPECT_EQ(arc->First(), (TPoint{65, 35}));
    EXPECT_EQ(poly->vertices[2], (TPoint{85, 95}));
    EXPECT_EQ(poly->box, (TRect{75, 95, 95, 75}));
}

// What a drag repaints at every step; the rest is drawn once.
//
//   n1 --a-- n2 --b-- n3 --c-- n4 --f-- n7        text T at (150, 90)
//            |
//            d
//            |
//            n5 --e-- n6
TEST_F(MouseEditing, ADragRepaintsWhatMovesAndTheBandsJoinedToIt) {
    doc.scale = 0.5;
    doc.SetViewRect({0, 100, 400, -100});
    TGLine* a = AddLine(doc, {10, 50}, {40, 50}, 1);
    TGLine* b = AddLine(doc, {40, 50}, {70, 50}, 2);
    TGLine* c = AddLine(doc, {70, 50}, {100, 50}, 3);
    TGLine* d = AddLine(doc, {40, 50}, {40, 20}, 4);
    TGLine* e = AddLine(doc, {40, 20}, {70, 20}, 5);
    TGLine* f = AddLine(doc, {100, 50}, {130, 50}, 6);
    auto* t = static_cast<TGText*>(doc.AddFigure(kKindText));
    t->SetTextAndFont("T", TFontRecord{}, {150, 90});
    t->box = {150, 90, 160, 80}; // as a drawing measures it
    doc.BuildVisibleList();
    auto figures = [&](std::initializer_list<TGCustomFigure*> list) {
        std::vector<int32_t> out;
        for (int32_t i = 0; i < doc.Count(); ++i)
            for (TGCustomFigure* g : list)
                if (doc.Figure(i) == g) out.push_back(i);
        return out;
    };
    auto nodes = [&](std::initializer_list<int32_t> list) {
        std::vector<uint8_t> out(static_cast<size_t>(doc.nodes.Count()), 0);
        for (int32_t n : list) out[static_cast<size_t>(n)] = 1;
        return out;
    };
    const int32_t n1 = a->beginIndex, n2 = a->endIndex, n3 = b->endIndex, n4 = c->endIndex,
                  n5 = d->endIndex, n6 = e->endIndex, n7 = f->endIndex;

    // A node: the branches at it, and those meeting them at their far ends.
    THit hit;
    hit.kind = 2;
    hit.index = n2;
    TDrawPart moving = doc.DragPart(hit);
    EXPECT_EQ(figures({a, b, c, d, e}), moving.figures);
    EXPECT_EQ(nodes({n1, n2, n3, n4, n5, n6}), moving.nodes);
    TDrawPart still = doc.OtherPart(moving);
    EXPECT_EQ(figures({f, t}), still.figures);
    EXPECT_EQ(nodes({n7}), still.nodes);

    // A figure without nodes moves alone; a node's number alone too.
    hit = THit{};
    hit.kind = 3;
    hit.index = doc.Count() - 1;
    EXPECT_EQ(figures({t}), doc.DragPart(hit).figures);
    EXPECT_EQ(nodes({}), doc.DragPart(hit).nodes);
    hit.kind = 7;
    hit.index = n4;
    EXPECT_TRUE(doc.DragPart(hit).figures.empty());
    EXPECT_EQ(nodes({n4}), doc.DragPart(hit).nodes);

    // A group: its members and what joins the branches at its nodes.
    doc.SelectGroup({120, 100}, {200, 40});
    moving = doc.GroupPart();
    EXPECT_EQ(figures({c, f, t}), moving.figures);
    EXPECT_EQ(nodes({n3, n4, n7}), moving.nodes);

    // Figures out of view are not drawn, moving or not.
    doc.SetViewRect({0, 100, 60, 0});
    hit.kind = 2;
    hit.index = n2;
    EXPECT_EQ(figures({a, b, d, e}), doc.DragPart(hit).figures);
}

TEST_F(MouseEditing, MoveInOrderRotatesTheRangeEitherWay) {
    for (int i = 0; i < 7; ++i) doc.AddFigure(kKindText)->tag = i;
    auto tags = [&] {
        std::vector<int32_t> v;
        for (auto& f : doc.figures) v.push_back(f->tag);
        return v;
    };
    doc.MoveInOrder(2, 5);
    EXPECT_EQ(tags(), (std::vector<int32_t>{0, 1, 5, 2, 3, 4, 6}));
    doc.MoveInOrder(5, 2);
    EXPECT_EQ(tags(), (std::vector<int32_t>{0, 1, 4, 5, 2, 3, 6}));
    doc.MoveInOrder(-1, 3);
    EXPECT_EQ(tags(), (std::vector<int32_t>{0, 1, 4, 5, 2, 3, 6}));
    EXPECT_THROW(doc.MoveInOrder(1, 7), std::out_of_range);
    EXPECT_EQ(tags(), (std::vector<int32_t>{0, 1, 4, 5, 2, 3, 6}));
}

TEST_F(MouseEditing, PlacingPicturesAndSymbols) {
    const auto dir = std::filesystem::temp_directory_path() / "arv_place_test";
    std::filesystem::create_directories(dir);
    {
        // A 24 x 16 BMP header is all the placement reads.
        std::string bmp(54, '\0');
        bmp[0] = 'B', bmp[1] = 'M';
        bmp[14] = 40;
        bmp[18] = 24;
        bmp[22] = static_cast<char>(-16), bmp[23] = bmp[24] = bmp[25] = static_cast<char>(0xFF);
        std::ofstream(dir / "door.bmp", std::ios::binary) << bmp;
        std::ofstream(dir / "short.bmp", std::ios::binary) << "BM";
    }
    const std::string folder = dir.string() + "/";
    EXPECT_FALSE(doc.PlaceSymbol("", folder, 0, true, {0, 0}));
    EXPECT_FALSE(doc.PlaceSymbol("short", folder, 0, true, {0, 0}));
    EXPECT_FALSE(doc.PlaceSymbol("missing", folder, 0, true, {0, 0}));
    EXPECT_EQ(doc.Count(), 0);
    // Letter case and Windows separators of the folder do not matter.
    ASSERT_TRUE(doc.PlaceSymbol("Door", dir.parent_path().string() + "/ARV_place_TEST\\", 3, true,
                                {100, 200}));
    auto* pic = static_cast<TGPicture*>(doc.CurrentFigure());
    ASSERT_EQ(pic->kind, kKindPicture);
    EXPECT_EQ(pic->imageName, "Door");
    EXPECT_EQ(pic->imageIndex, 3);
    EXPECT_EQ(pic->box, (TRect{100, 200, 124, 184}));

    doc.symbols.symbols.resize(1);
    doc.symbols.symbols[0].name = "x";
    doc.symbols.symbols[0].count = 1;
    doc.symbols.symbols[0].prims[0].kind = 'l';
    doc.symbols.symbols[0].prims[0].points = {TPoint{0, 0}, TPoint{10, 0}, TPoint{}, TPoint{}};
    doc.settings.symbolSize = 40;
    ASSERT_TRUE(doc.PlaceSymbol("x", folder, 0, false, {50, 60}));
    auto* s = static_cast<TGUO*>(doc.CurrentFigure());
    ASSERT_EQ(s->kind, kKindSymbol);
    EXPECT_EQ(s->anchor, (TPoint{50, 60}));
    const TPoint tip = s->placed.prims[0].points[1];
    EXPECT_NE(tip, s->anchor);
    // Dragged twice, the primitives stay with the anchor.
    SetSimpleView(doc);
    THit hit;
    ASSERT_EQ(Press({50, 60}, hit), 8);
    doc.DragSelection(hit, {70, 60});
    doc.DragSelection(hit, {80, 50});
    EXPECT_EQ(s->anchor, (TPoint{80, 50}));
    EXPECT_EQ(s->placed.prims[0].points[1], (TPoint{tip.x + 30, tip.y - 10}));
    EXPECT_EQ(s->box, (TRect{70, 60, 90, 40}));
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace arv::test

namespace arv::test {
namespace {

TEST(Snapping, GridRoundsToTheNearerMultipleAndTiesDown) {
    auto x = [](int32_t v, int32_t step) { return SnapToGrid({v, 0}, step).x; };
    EXPECT_EQ(x(14, 10), 10);
    EXPECT_EQ(x(15, 10), 10);
    EXPECT_EQ(x(16, 10), 20);
    EXPECT_EQ(x(-15, 10), -20);
    EXPECT_EQ(x(-14, 10), -10);
    EXPECT_EQ(x(7, 5), 5);
    EXPECT_EQ(x(8, 5), 10);
    EXPECT_EQ(x(-7, 5), -5);
    EXPECT_EQ(x(-8, 5), -10);
    EXPECT_EQ(x(-3, 5), -5);
    EXPECT_EQ(x(2, 4), 0);
    EXPECT_EQ(x(-2, 4), -4);
    // The plan's limits pull a rounded point back by one step.
    EXPECT_EQ(x(100004, 10), 100000);
    EXPECT_EQ(x(100006, 10), 100000);
    EXPECT_EQ(x(-100006, 10), -100000);
    EXPECT_EQ(x(INT32_MAX, 1000), 2147483000);
    EXPECT_EQ(SnapToGrid({13, -27}, 0), (TPoint{13, -27}));
    EXPECT_EQ(SnapToGrid({13, -27}, 10), (TPoint{10, -30}));
}

TEST(Snapping, ShiftKeepsTheNearerAxisThroughTheAnchor) {
    EXPECT_EQ(ShiftSnap({100, 100}, {130, 110}), (TPoint{130, 100}));
    EXPECT_EQ(ShiftSnap({100, 100}, {110, 130}), (TPoint{100, 130}));
    EXPECT_EQ(ShiftSnap({100, 100}, {120, 80}), (TPoint{100, 80})); // a tie: vertical
}

TEST(Snapping, BandGeometry) {
    EXPECT_EQ(NormalizedScreenRect({50, 40}, {10, 90}), (TRect{10, 40, 50, 90}));
    const TArcPreview zero = ArcPreview({200, 200}, {200, 200}, {250, 200});
    EXPECT_EQ(zero.box, (TRect{100, 100, 300, 300}));
    const TArcPreview a = ArcPreview({0, 0}, {3, 4}, {-5, 0});
    EXPECT_EQ(a.box, (TRect{-5, -5, 5, 5}));
    EXPECT_EQ(a.start, (TPoint{3, 4}));
    EXPECT_EQ(a.end, (TPoint{-5, 0}));
}

// n1 (20,50) -- existing branch -- n2 (80,50); a new branch from clicks 5
// pixels beside n2 and beside nothing.
TEST_F(MouseEditing, ClicksBesideANodeTakeItsPointSoNewBranchesJoin) {
    TGLine* old = AddLine(doc, {20, 50}, {80, 50}, 1);
    doc.BuildVisibleList();
    for (TNodeRecord& n : doc.nodes.Records()) n.screenCentre = doc.WorldToScreen(n.point);
    const TPoint n2 = doc.WorldToScreen({80, 50});
    EXPECT_EQ(SnapPoint(doc, {n2.x + 5, n2.y - 5}, 0, true), (TPoint{80, 50}));
    EXPECT_EQ(SnapPoint(doc, {n2.x + 6, n2.y}, 0, true), doc.ScreenToWorld({n2.x + 6, n2.y}));
    EXPECT_EQ(SnapPoint(doc, {n2.x + 5, n2.y}, 0, false), (TPoint{85, 50}));
    EXPECT_EQ(SnapPoint(doc, {n2.x + 3, n2.y}, 10, true), (TPoint{80, 50}));

    const TPoint from = SnapPoint(doc, {n2.x + 4, n2.y + 3}, 10, true);
    const TPoint to = SnapPoint(doc, doc.WorldToScreen({141, 22}), 10, true);
    TGLine* added = AddLine(doc, from, to, 2);
    EXPECT_EQ(added->Begin(), (TPoint{80, 50}));
    EXPECT_EQ(added->End(), (TPoint{140, 20}));
    EXPECT_EQ(added->beginIndex, old->endIndex);
    EXPECT_EQ(doc.nodes.Record(old->endIndex).refCount, 2);
    EXPECT_EQ(doc.nodes.Count(), 3);
}

} // namespace
} // namespace arv::test

namespace arv::test {
namespace {

// n1 (0,0) -- branch 1 -- n2 (100,0); a polyline drawn by clicks from n2
// over (150,50) and (200,50) back to n1.
TEST_F(MouseEditing, ToolClicksBuildFiguresJoinedToTheirNodes) {
    TGLine* first = AddLine(doc, {0, 0}, {100, 0}, 1);
    const TPoint clicks[] = {{100, 0}, {150, 50}, {200, 50}, {0, 0}};
    EXPECT_EQ(AddVertexClick(doc, kKindPolyLine, 1, {}, clicks[0]), nullptr);
    TGCustomFigure* f = nullptr;
    for (int i = 1; i < 4; ++i)
        f = AddVertexClick(doc, kKindPolyLine, i + 1, clicks[i - 1], clicks[i]);
    ASSERT_NE(f, nullptr);
    auto* bent = static_cast<TGPolyLine*>(f);
    EXPECT_EQ(doc.Count(), 2);
    EXPECT_EQ(bent->Begin(), (TPoint{100, 0}));
    EXPECT_EQ(bent->End(), (TPoint{0, 0}));
    EXPECT_EQ(bent->Path().size(), 4u);
    EXPECT_EQ(bent->beginIndex, first->endIndex);
    EXPECT_EQ(bent->endIndex, first->beginIndex);
    EXPECT_EQ(doc.nodes.Count(), 2);

    // The eleventh click adds nothing; another figure made current is left
    // alone.
    EXPECT_EQ(AddVertexClick(doc, kKindPolyLine, kMaxToolClicks + 1, {0, 0}, {5, 5}), nullptr);
    doc.current = 0;
    EXPECT_EQ(AddVertexClick(doc, kKindPolyLine, 3, {0, 0}, {5, 5}), nullptr);
    EXPECT_EQ(first->End(), (TPoint{100, 0}));

    auto* poly = static_cast<TGPolygon*>(AddVertexClick(doc, kKindPolygon, 2, {0, 0}, {40, 0}));
    ASSERT_NE(poly, nullptr);
    AddVertexClick(doc, kKindPolygon, 3, {40, 0}, {20, 30});
    EXPECT_EQ(poly->lastIndex, 2);
    EXPECT_EQ(poly->box, (TRect{0, 30, 40, 0}));

    auto* e = AddTwoPointFigure(doc, kKindEllipse, {60, 10}, {20, 40});
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->box, (TRect{20, 40, 60, 10}));
    auto* line = static_cast<TGLine*>(AddTwoPointFigure(doc, kKindLine, {0, 0}, {0, 80}));
    EXPECT_EQ(line->beginIndex, first->beginIndex);
    EXPECT_EQ(doc.nodes.Record(first->beginIndex).refCount, 3);
    EXPECT_EQ(AddTwoPointFigure(doc, kKindText, {0, 0}, {1, 1}), nullptr);
    TGArc* arc = AddArcFigure(doc, {10, 0}, {0, 10}, {0, 0});
    EXPECT_EQ(arc->radius, 10);
    EXPECT_EQ(arc->box, (TRect{-10, 10, 10, -10}));
    EXPECT_EQ(doc.current, doc.Count() - 1);
}

} // namespace
} // namespace arv::test
