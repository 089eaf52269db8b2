#include "DocTestSupport.h"

#include "document/Constants.h"
#include "platform/Cp1251.h"

using namespace arv;
using namespace arv::test;

using NodeCollection = DocTest;

TEST_F(NodeCollection, SharedPointsShareOneReferenceCountedRecord) {
    TGCollNode nodes;
    auto a = nodes.AddNode({10, 10}, -1, 5);
    EXPECT_EQ(5, a.number);
    EXPECT_EQ(0, a.index);
    // The same point again: the existing number, one more reference.
    auto again = nodes.AddNode({10, 10}, -1, 9);
    EXPECT_EQ(5, again.number);
    EXPECT_EQ(0, again.index);
    EXPECT_EQ(2, nodes.Record(0).refCount);
    EXPECT_EQ((TPoint{2, -2}), nodes.Record(0).labelOffset);
    nodes.ReleaseNode(5, 0);
    ASSERT_EQ(1, nodes.Count());
    nodes.ReleaseNode(5, 0);
    EXPECT_EQ(0, nodes.Count());
}

TEST_F(NodeCollection, NumbersZeroAndMinusOneTakeTheNextFreeTemporaryNumber) {
    TGCollNode nodes;
    EXPECT_EQ(-1, nodes.NextFreeNumber());
    nodes.AddNode({0, 0}, -1, 1);
    nodes.AddNode({1, 0}, -1, 2);
    nodes.AddNode({2, 0}, 1, 4);
    EXPECT_EQ(-3, nodes.NextFreeNumber());
    EXPECT_EQ(1, nodes.Record(2).kind);
    auto t = nodes.AddNode({3, 0}, -1, 0);
    EXPECT_EQ(-3, t.number);
    auto u = nodes.AddNode({4, 0}, -1, -1);
    EXPECT_EQ(-5, u.number);             // |-3| is taken, so is 4
    EXPECT_EQ(-6, nodes.nextTempNumber); // one less per appended record
    // Magnitudes count, not signs; extreme numbers do not overflow.
    TGCollNode extreme;
    extreme.AddNode({0, 0}, -1, std::numeric_limits<int32_t>::min());
    extreme.AddNode({1, 0}, -1, 1);
    EXPECT_EQ(-2, extreme.NextFreeNumber());
}

TEST_F(NodeCollection, ReleaseSearchesFromTheStartIndex) {
    TGCollNode nodes;
    nodes.AddNode({0, 0}, -1, 7);
    nodes.AddNode({1, 0}, -1, 7); // a duplicate number at another point
    nodes.ReleaseNode(7, 1);
    ASSERT_EQ(1, nodes.Count());
    EXPECT_EQ((TPoint{0, 0}), nodes.Record(0).point);
    nodes.ReleaseNode(8, 0); // no such number: nothing
    EXPECT_EQ(1, nodes.Count());
}

TEST_F(NodeCollection, MoveNodeAcceptsEveryRecordAndRejectsBadIndices) {
    TGCollNode nodes;
    nodes.AddNode({0, 0}, -1, 1);
    nodes.AddNode({5, 5}, -1, 2);
    // Record 0 moves like any other.
    EXPECT_EQ(0, nodes.MoveNode(0, {1, 1}));
    EXPECT_EQ((TPoint{1, 1}), nodes.Record(0).point);
    EXPECT_EQ(-1, nodes.MoveNode(2, {3, 3}));
    EXPECT_EQ(-1, nodes.MoveNode(-1, {3, 3}));
    // Onto another node: the two become one.
    EXPECT_EQ(0, nodes.MoveNode(1, {1, 1}));
    ASSERT_EQ(1, nodes.Count());
    EXPECT_EQ(2, nodes.Record(0).refCount);
}

using Branches = DocTest;

TEST_F(Branches, MoveNodeOntoAnOccupiedPointMergesAndEveryBranchFollows) {
    TGCollFigure doc;
    TGLine* a = AddLine(doc, {0, 0}, {100, 0}, 1);
    TGLine* b = AddLine(doc, {100, 0}, {100, 100}, 2);
    TGLine* c = AddLine(doc, {200, 0}, {200, 100}, 3);
    TGLine* d = AddLine(doc, {300, 0}, {200, 0}, 4);
    ASSERT_EQ(6, doc.nodes.Count());
    const int32_t movedIndex = c->beginIndex; // node at (200, 0), shared by c and d
    const int32_t target = a->endIndex;       // node at (100, 0), shared by a and b
    const int32_t targetNumber = a->endNode;
    ASSERT_EQ(movedIndex, d->endIndex);

    int32_t result = doc.nodes.MoveNode(movedIndex, {100, 0});
    ASSERT_EQ(5, doc.nodes.Count());
    EXPECT_EQ(target, result);
    EXPECT_EQ(4, doc.nodes.Record(result).refCount);
    // Both branches of the moved node now end at the merged node.
    EXPECT_EQ((TPoint{100, 0}), c->Begin());
    EXPECT_EQ((TPoint{100, 0}), d->End());
    EXPECT_EQ(targetNumber, c->beginNode);
    EXPECT_EQ(targetNumber, d->endNode);
    for (int32_t i = 0; i < doc.Count(); ++i) {
        TGBranch* br = doc.BranchAt(i);
        EXPECT_EQ(br->beginNode, doc.nodes.Record(br->beginIndex).number) << i;
        EXPECT_EQ(br->endNode, doc.nodes.Record(br->endIndex).number) << i;
        EXPECT_EQ(br->Begin(), doc.nodes.Record(br->beginIndex).point) << i;
        EXPECT_EQ(br->End(), doc.nodes.Record(br->endIndex).point) << i;
    }
    // A plain move carries the branch ends with it.
    int32_t top = b->endIndex;
    EXPECT_EQ(top, doc.nodes.MoveNode(top, {120, 130}));
    EXPECT_EQ((TPoint{120, 130}), b->End());
    EXPECT_EQ(doc.nodes.Count(), 5);
}

TEST_F(Branches, NewBranchTakesItsStyleFromTheDefaults) {
    auto& g = DrawingGlobals();
    g.DefLineColor = 0x123456;
    g.BranchPenWidth = 3;
    g.WidthDefault = 20;
    struct Case {
        uint8_t style;
        int32_t pen;
        int32_t brush;
        uint8_t penStyle;
        uint8_t brushStyle;
    } cases[] = {{1, 0x123456, 0x123456, 0, 0},
                 {2, 0x123456, 0x123456, 0, 1},
                 {3, 0, 0x123456, 0, 0},
                 {4, 0, 0x123456, 2, 1}};
    for (const Case& c : cases) {
        g.DefaultBranchStyle = c.style;
        TGLine line;
        EXPECT_EQ(c.pen, line.pen.colour) << int(c.style);
        EXPECT_EQ(c.brush, line.brush.colour) << int(c.style);
        EXPECT_EQ(c.penStyle, line.pen.style) << int(c.style);
        EXPECT_EQ(c.brushStyle, line.brush.style) << int(c.style);
        EXPECT_EQ(3, line.pen.width);
        EXPECT_EQ(20, line.width);
    }
    TGPolyLine poly;
    EXPECT_EQ(kKindPolyLine, poly.kind);
    EXPECT_EQ(-1, poly.bendCount);
    EXPECT_EQ(1, poly.reversed);
    EXPECT_EQ(-1.0, poly.labelAngle);
    EXPECT_EQ(kCaptionCount, poly.captionCount);
    EXPECT_EQ(-1, poly.Caption(1).a);
    EXPECT_EQ(kNoNode, poly.beginIndex);
}

TEST_F(Branches, ReversingSwapsEndsOnceAndReversesBends) {
    TGCollFigure doc;
    TGLine* line = AddLine(doc, {0, 0}, {10, 0}, 1);
    const int32_t bn = line->beginNode, en = line->endNode;
    line->SetReversed(false);
    EXPECT_EQ(en, line->beginNode);
    EXPECT_EQ((TPoint{10, 0}), line->Begin());
    line->SetReversed(false); // same flag: nothing
    EXPECT_EQ(en, line->beginNode);
    line->SetReversed(true);
    EXPECT_EQ(bn, line->beginNode);

    auto* poly = static_cast<TGPolyLine*>(doc.AddFigure(kKindPolyLine));
    poly->EditVertex({0, 50}, {10, 50}, {});
    poly->EditVertex({10, 50}, {20, 60}, {});
    poly->EditVertex({20, 60}, {30, 50}, {});
    ASSERT_EQ(2, poly->bendCount);
    poly->SetReversed(false);
    EXPECT_EQ((TPoint{30, 50}), poly->Begin());
    EXPECT_EQ((TPoint{20, 60}), poly->bends[0]);
    EXPECT_EQ((TPoint{10, 50}), poly->bends[1]);
    EXPECT_EQ((TPoint{0, 50}), poly->End());
}

TEST_F(Branches, PolylineEditingMovesItsEndNode) {
    TGCollFigure doc;
    TGLine* other = AddLine(doc, {40, 0}, {40, 40}, 1);
    auto* poly = static_cast<TGPolyLine*>(doc.AddFigure(kKindPolyLine));
    TBranchSetup s;
    s.number = 7;
    poly->EditVertex({0, 0}, {10, 10}, s);
    EXPECT_EQ(0, poly->bendCount);
    EXPECT_EQ(7, poly->number);
    EXPECT_EQ(4, doc.nodes.Count());
    poly->EditVertex({10, 10}, {20, 0}, s);
    EXPECT_EQ(1, poly->bendCount);
    EXPECT_EQ((TPoint{10, 10}), poly->bends[0]);
    // The end node moved on: still four nodes.
    EXPECT_EQ(4, doc.nodes.Count());
    EXPECT_EQ((TPoint{20, 0}), doc.nodes.Record(poly->endIndex).point);
    // The last segment ends on the other branch's node: the nodes merge.
    poly->EditVertex({20, 0}, {40, 0}, s);
    EXPECT_EQ(3, doc.nodes.Count());
    EXPECT_EQ(other->beginNode, poly->endNode);
    EXPECT_EQ(other->beginIndex, poly->endIndex);
    EXPECT_EQ(2, doc.nodes.Record(poly->endIndex).refCount);
    EXPECT_EQ((TRect{0, 10, 40, 0}), poly->box);
    // Hit test: distance to the nearest segment.
    EXPECT_TRUE(poly->HitTest({5, 4}));
    EXPECT_EQ(1, poly->HitDistance);
}

TEST_F(Branches, HitTests) {
    TGLine line;
    line.box = {5, 10, 5, 0}; // zero width
    EXPECT_TRUE(line.TGCustomFigure::HitTest({-100, 5}));
    EXPECT_FALSE(line.TGCustomFigure::HitTest({-100, 11}));
    line.x1 = 0;
    line.y1 = 0;
    line.x2 = 100;
    line.y2 = 0;
    EXPECT_TRUE(line.HitTest({50, 4}));
    EXPECT_EQ(4, line.HitDistance);
}

TEST_F(Branches, OutlineOfADoubleBranch) {
    TGCollFigure doc;
    TGLine* line = AddLine(doc, {0, 0}, {100, 0}, 1);
    line->width = 10;
    line->screenBegin = {0, 50};
    line->screenEnd = {100, 50};
    TOutline out;
    line->BuildOutline(5, 10, out);
    EXPECT_EQ(0, out.flag);
    EXPECT_EQ((TPoint{0, 45}), out.points[0]);
    EXPECT_EQ((TPoint{100, 45}), out.points[1]);
    EXPECT_EQ((TPoint{100, 55}), out.points[2]);
    EXPECT_EQ((TPoint{0, 55}), out.points[3]);
    // Width 1 draws a hairline band: both sides on the centre line.
    line->width = 1;
    line->BuildOutline(5, 10, out);
    EXPECT_EQ((TPoint{0, 50}), out.points[0]);
    EXPECT_EQ((TPoint{0, 50}), out.points[3]);
    // With branch directions shown the band ends in an arrow head at the end.
    line->width = 10;
    doc.showDirections = 1;
    line->BuildOutline(5, 10, out);
    EXPECT_EQ(1, out.flag);
    EXPECT_EQ((TPoint{90, 45}), out.points[1]);
    EXPECT_EQ((TPoint{90, 43}), out.points[2]);
    EXPECT_EQ((TPoint{100, 50}), out.points[3]);
    EXPECT_EQ((TPoint{90, 57}), out.points[4]);
}

TEST_F(Branches, GeometryPlacesCaptionsBesideTheBranch) {
    TGCollFigure doc;
    DrawingGlobals().DataOffset = 30;
    TGLine* line = AddLine(doc, {0, 0}, {100, 0}, 4);
    EXPECT_EQ(4, line->number);
    EXPECT_DOUBLE_EQ(0.0, line->angle);
    EXPECT_EQ((TPoint{40, 0}), line->pointA);
    EXPECT_EQ((TPoint{50, 0}), line->pointB);
    // Captions at 6/10 of the way, moved by the data offset across the branch.
    EXPECT_EQ((TPoint{60, 30}), line->Caption(1).anchor);
    EXPECT_EQ((TPoint{60, 30}), line->Caption(20).anchor);
    EXPECT_EQ(-1.0, line->labelAngle);
    // Straight down: the angle is -pi/2.
    TGLine* down = AddLine(doc, {0, 100}, {0, 0}, 5);
    EXPECT_DOUBLE_EQ(-kPi / 2, down->angle);
}

using Layers = DocTest;

TEST_F(Layers, NamesAndLimit) {
    TGLajer layers;
    EXPECT_EQ(1, layers.Count());
    EXPECT_EQ(Ru("Ветви"), layers.Layer(0).name);
    EXPECT_EQ(Ru("Слой 1"), layers.AddLayer());
    EXPECT_TRUE(layers.DeleteLayer(1));
    EXPECT_EQ(Ru("Слой 1"), layers.AddLayer());
    EXPECT_FALSE(layers.DeleteLayer(0)); // layer 0 stays
    EXPECT_FALSE(layers.DeleteLayer(5));
    // A scheme record holds twelve layers: the list stops there.
    while (layers.Count() < kMaxLayers) EXPECT_FALSE(layers.AddLayer().empty());
    EXPECT_EQ("", layers.AddLayer());
    EXPECT_EQ(kMaxLayers, layers.Count());
}

TEST_F(Layers, DeletingALayerMovesItsFiguresToLayerZero) {
    TGCollFigure doc;
    doc.layers.AddLayer();
    doc.layers.AddLayer();
    doc.layers.AddLayer();
    TGLine* a = AddLine(doc, {0, 0}, {10, 0});
    TGLine* b = AddLine(doc, {0, 10}, {10, 10});
    TGLine* c = AddLine(doc, {0, 20}, {10, 20});
    a->layer = 1;
    b->layer = 2;
    c->layer = 3;
    auto& rec = DrawingGlobals().SchemeViewFlags[0];
    rec.layers[2] = 0;
    rec.layers[3] = 1;
    WindowState().CurrentLayer = 3;
    ASSERT_TRUE(doc.DeleteLayer(2));
    EXPECT_EQ(3, doc.layers.Count());
    EXPECT_EQ(1, a->layer);
    EXPECT_EQ(0, b->layer);
    EXPECT_EQ(2, c->layer);      // follows its layer down
    EXPECT_EQ(1, rec.layers[2]); // the visibility moved with it
    EXPECT_EQ(2, WindowState().CurrentLayer);
    for (auto& f : doc.figures) EXPECT_TRUE(doc.layers.Exists(f->layer));
}

TEST_F(Layers, AFigureOnALayerPastTheListNeverFails) {
    TGCollFigure doc;
    SetSimpleView(doc);
    TGLine* line = AddLine(doc, {10, 10}, {50, 50});
    line->layer = 40;
    doc.BuildVisibleList();
    EXPECT_EQ(1, doc.VisibleCount()); // follows layer 0
    DrawingGlobals().SchemeViewFlags[0].layers[0] = 0;
    line->layer = -7;
    doc.BuildVisibleList();
    EXPECT_EQ(0, doc.VisibleCount());
    WindowState().MsxAll = true; // "show all" shows it anyway
    doc.BuildVisibleList();
    EXPECT_EQ(1, doc.VisibleCount());
    EXPECT_FALSE(doc.DeleteLayer(40));
    EXPECT_EQ(nullptr, TGCustomFigure::CreationLayer(&doc.layers, 40));
}

TEST(FixedTexts, TablesKeepTheirExactTexts) {
    EXPECT_EQ(Ru("Рсчетная схема"), SchemeKindNames()[0]);
    EXPECT_EQ(Ru("Схема ПЛА "), SchemeKindNames()[2]);
    EXPECT_EQ("", SchemeKindNames()[5]);
    EXPECT_EQ(Ru("Длина  м"), BranchColumnTitles()[5]);
    EXPECT_EQ(Ru("Угол"), BranchColumnTitles()[22]);
    EXPECT_EQ(Ru("Круг"), LineStyleNames()[8]);
    EXPECT_EQ(Ru(" Пожар"), AccidentKindNames()[0]);
    EXPECT_EQ(Ru("Стрелка"), PropertyNames()[26]);
    EXPECT_EQ("L=", BranchValuePrefixes()[3]);
    EXPECT_EQ(Ru("Ошибка !!!\n\rНельзя изменить узел [%d] на [%d]\n\rЗначение узла [%d] уже "
                 "используется!"),
              DrawingMessages().nodeNumberUsed);
    EXPECT_EQ("Arvalen ", DrawingMessages().captionPrefix);
}

TEST_F(Branches, IncidenceListsEveryBranchAtANode) {
    TGCollFigure doc;
    // 150 branches meet at the origin: more than any fixed list would hold.
    for (int i = 0; i < 150; ++i) AddLine(doc, {0, 0}, {10 + i, 100}, i + 1);
    AddLine(doc, {5, 5}, {5, 5}, 151); // a branch whose two ends share a node
    doc.nodes.BuildIncidence();
    const TNodeRecord& centre = doc.nodes.Record(doc.BranchAt(0)->beginIndex);
    ASSERT_EQ(150u, centre.incident.size());
    EXPECT_EQ(149, centre.incident.back());
    EXPECT_EQ(150, centre.refCount);
    const TNodeRecord& loop = doc.nodes.Record(doc.BranchAt(150)->beginIndex);
    EXPECT_EQ((std::vector<int32_t>{150}), loop.incident);
    EXPECT_EQ(2, loop.refCount);
}

TEST_F(Branches, CalculationLinksNeverReachTheStoredCaptions) {
    TGLine line;
    line.Caption(4).a = 12; // measuring station, stored
    line.beginNodeLink = 3; // rows the calculation link found, not stored
    line.endNodeLink = 4;
    TBinaryWriter w;
    line.SaveToStream(w);
    std::string bytes = w.Take();
    TGLine back;
    TBinaryReader r(bytes);
    ASSERT_TRUE(back.LoadFromStream(kDrawingVersion, r));
    EXPECT_EQ(12, back.Caption(4).a);
    EXPECT_EQ(-1, back.beginNodeLink);
    EXPECT_EQ(-1, back.endNodeLink);
}
