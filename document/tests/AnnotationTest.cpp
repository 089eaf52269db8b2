#include "DocTestSupport.h"

#include "document/ShapeFigures.h"
#include "document/TextFigures.h"
#include "platform/Cp1251.h"

#include <cmath>

using namespace arv;
using namespace arv::test;

namespace {

std::string Payload(const TGCustomFigure& f) {
    TBinaryWriter w;
    int32_t n = f.SaveToStream(w);
    EXPECT_EQ(static_cast<size_t>(n), w.Size());
    return w.Take();
}

// Reads a payload into a fresh figure of the same kind and checks that it
// writes the same bytes again and used every byte.
void ExpectRoundTrip(const TGCustomFigure& f) {
    std::string bytes = Payload(f);
    std::unique_ptr<TGCustomFigure> copy = CreateFigure(f.kind, nullptr, nullptr);
    TBinaryReader r(bytes);
    ASSERT_TRUE(copy->LoadFromStream(kDrawingVersion, r)) << f.kind;
    EXPECT_TRUE(r.AtEnd()) << f.kind;
    EXPECT_EQ(bytes, Payload(*copy)) << f.kind;
    // Every prefix of the payload is refused, never read past.
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        std::unique_ptr<TGCustomFigure> part = CreateFigure(f.kind, nullptr, nullptr);
        TBinaryReader pr(std::string_view(bytes).substr(0, cut));
        EXPECT_FALSE(part->LoadFromStream(kDrawingVersion, pr)) << f.kind << " cut " << cut;
    }
}

// The base part of a figure as files before version 17 wrote it.
void OldBase(TBinaryWriter& w, int32_t style, int32_t width, int32_t brushColour, int32_t tag) {
    w.I32(style);
    w.I32(width);
    w.I32(brushColour);
    w.I32(tag);
}

} // namespace

using Annotations = DocTest;

TEST_F(Annotations, EveryFigureStreamsOutAndBackUnchanged) {
    TGCollFigure doc;
    doc.layers.AddLayer();
    auto* text = static_cast<TGText*>(doc.AddFigure(kKindText));
    TFontRecord font;
    font.name = "Times New Roman";
    font.size = 14;
    font.style = 3;
    font.colour = 0x0000FF;
    text->SetTextAndFont(Ru("Штрек №2"), font, {100, 200});
    text->angle = 30;
    text->box = {100, 250, 300, 200};
    text->text = Ru("имя");
    text->schemeVisible = {1, 0, 1, 0, 1};
    text->layer = 1;
    text->extra = 77;
    text->tag = -5;
    text->image = "photo.jpg";
    text->schemeAttrs[2].pen.colour = 0x123456;

    auto* pic = static_cast<TGPicture*>(doc.AddFigure(kKindPicture));
    pic->Place("fan", 3, 0, 40, 40, {10, 50});
    pic->text = Ru("Вентилятор");
    pic->angleDegrees = 45;
    pic->value1 = 1;
    pic->ownSize = 60;
    pic->value2 = 2;
    pic->value3 = 3;
    pic->captionPosition = 2;
    pic->captionHidden = 1;
    pic->ownSizeFlag = 1;

    auto* uo = static_cast<TGUO*>(doc.AddFigure(kKindSymbol));
    uo->value0 = 9;
    uo->symbolIndex = 4;
    uo->angleDegrees = -90;
    uo->anchor = {5, 6};
    uo->box = {-5, 16, 15, -4};
    uo->text = Ru("Дверь");
    uo->placed.name = Ru("Вент.дверь");
    uo->value1 = 11;
    uo->ownSize = 80;
    uo->value2 = 12;
    uo->captionPosition = 3;
    uo->ownSizeFlag = 1;

    auto* poly = static_cast<TGPolygon*>(doc.AddFigure(kKindPolygon));
    poly->AddPoint({0, 0}, {100, 0});
    poly->AddPoint({100, 0}, {100, 100});
    poly->AddPoint({100, 100}, {0, 100});

    auto* rect = static_cast<TGRectangle*>(doc.AddFigure(kKindRectangle));
    rect->SetCorners({30, -10}, {-20, 40});
    auto* aline = static_cast<TGALine*>(doc.AddFigure(kKindALine));
    aline->SetPoints({0, 0}, {-30, 40});
    auto* ellipse = static_cast<TGElipse*>(doc.AddFigure(kKindEllipse));
    ellipse->SetRect({0, 0}, {50, 30}, 0);
    auto* arc = static_cast<TGArc*>(doc.AddFigure(kKindArc));
    arc->SetPoints({100, 0}, {0, 100}, {0, 0});
    TGLine* line = AddLine(doc, {0, 0}, {30, 40}, 12);
    line->name = Ru("Квершлаг");
    line->Caption(3).a = 5;
    line->Caption(3).flag2 = 1;
    line->marks[2].flag = 1;
    line->labelAngle = 0.5;
    line->extraInt = 3;
    line->callout.placed = 1;
    auto* bent = static_cast<TGPolyLine*>(doc.AddFigure(kKindPolyLine));
    bent->EditVertex({0, 0}, {10, 10}, {});
    bent->EditVertex({10, 10}, {20, 0}, {});

    for (auto& f : doc.figures) ExpectRoundTrip(*f);

    // What the reader restores, field by field.
    std::string bytes = Payload(*text);
    TGText t2;
    TBinaryReader r(bytes);
    ASSERT_TRUE(t2.LoadFromStream(22, r));
    EXPECT_EQ(Ru("Штрек №2"), t2.content);
    EXPECT_EQ(font, t2.font);
    EXPECT_EQ(49, t2.fontHeight); // round(14 x 3.527)
    EXPECT_EQ(30.0, t2.angle);
    EXPECT_EQ(1, t2.layer);
    EXPECT_EQ(0x123456, t2.schemeAttrs[2].pen.colour);
    EXPECT_EQ(0, t2.schemeVisible[1]);
}

TEST_F(Annotations, StreamSizesFollowTheirFormulas) {
    TGText text;
    text.content = "abc";
    text.image = "x";
    // Base at version 22: len(image) + 20 + 9 + 220 + 2 + len(text) + 44.
    EXPECT_EQ(1 + 20 + 9 + 220 + 2 + 0 + 44, text.TGCustomFigure::StreamSize(22));
    EXPECT_EQ(16, text.TGCustomFigure::StreamSize(16));
    EXPECT_EQ(text.TGCustomFigure::StreamSize(22) + 80 + 3, text.StreamSize(22));
    TGPicture pic;
    pic.imageName = "fan";
    pic.text = "ab";
    EXPECT_EQ(pic.TGCustomFigure::StreamSize(22) + 8 + 3 + 2 + 16, pic.StreamSize(22));
    TGUO uo;
    uo.placed.name = "abcd";
    EXPECT_EQ(uo.TGCustomFigure::StreamSize(22) + 22 + 4, uo.StreamSize(22));
    TGArc arc;
    EXPECT_EQ(arc.TGCustomFigure::StreamSize(22) + 16 + 24, arc.StreamSize(22));
    TGPolygon poly;
    EXPECT_EQ(poly.TGCustomFigure::StreamSize(22), poly.StreamSize(22));
}

TEST_F(Annotations, SymbolOfTheLayoutBeforeVersion12) {
    TBinaryWriter w;
    OldBase(w, 0, 1, 0x00FF00, 7);
    w.I32(42);  // kept value
    w.I32(-1);  // skipped
    w.I32(3);   // symbol index
    w.I32(90);  // angle
    w.U8(0xAA); // two skipped bytes
    w.U8(0xBB);
    w.I32(10); // anchor
    w.I32(20);
    w.I32(0); // box
    w.I32(30);
    w.I32(20);
    w.I32(10);
    WriteCountedString(w, Ru("Дверь"));
    WriteCountedString(w, Ru("Вент.дверь"));
    std::string bytes = w.Take();
    TGUO uo;
    TBinaryReader r(bytes);
    ASSERT_TRUE(uo.LoadFromStream(11, r));
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(42, uo.value0);
    EXPECT_EQ(3, uo.symbolIndex);
    EXPECT_EQ(90, uo.angleDegrees);
    EXPECT_EQ((TPoint{10, 20}), uo.anchor);
    EXPECT_EQ((TRect{0, 30, 20, 10}), uo.box);
    EXPECT_EQ(Ru("Дверь"), uo.text);
    EXPECT_EQ(Ru("Вент.дверь"), uo.placed.name);
    EXPECT_EQ(0x00FF00, uo.brush.colour);
    EXPECT_EQ(7, uo.tag);
    EXPECT_EQ(0, uo.ownSizeFlag);
    // It is written again in today's layout and reads back the same.
    ExpectRoundTrip(uo);
}

TEST_F(Annotations, TextOfVersion18ReadsItsAngleFromFourBytes) {
    TBinaryWriter w;
    OldBase(w, 0, 1, 0, 0);
    WriteCountedString(w, "img"); // version 17: image
    w.I32(5);                     // version 18: visibility
    for (int i = 0; i < 5; ++i) w.U8(1);
    WriteCountedString(w, "Text");
    w.I32(1);
    w.I32(2);
    WriteRect(w, {1, 2, 3, 4});
    TFontRecord font;
    WriteFontRecord(w, font);
    w.U32(0x42340000); // 45.0 as a float, read into the low half of the double
    std::string bytes = w.Take();
    TGText t;
    TBinaryReader r(bytes);
    ASSERT_TRUE(t.LoadFromStream(18, r));
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ("Text", t.content);
    EXPECT_EQ("img", t.image);
    EXPECT_NEAR(0.0, t.angle, 1e-300);
    EXPECT_NE(0.0, t.angle);
    EXPECT_EQ(35, t.fontHeight);
}

TEST_F(Annotations, PolygonClosesAtItsFirstVertexAndTakesAnyNumberFromAFile) {
    TGCollFigure doc;
    doc.hitTolerance = 5;
    auto* poly = static_cast<TGPolygon*>(doc.AddFigure(kKindPolygon));
    EXPECT_EQ(6, poly->style);
    poly->AddPoint({0, 0}, {100, 0});
    poly->AddPoint({100, 0}, {100, 100});
    EXPECT_EQ(2, poly->lastIndex);
    poly->AddPoint({100, 100}, {3, -4}); // within 5 of vertex 0: closed
    EXPECT_EQ(2, poly->lastIndex);
    EXPECT_EQ((TRect{0, 100, 100, 0}), poly->box);
    // The hit distance is to the nearest edge line, the closing edge too.
    poly->HitTest({50, 45});
    EXPECT_EQ(4, poly->HitDistance); // |50 - 45| / sqrt(2) = 3.5 -> 4

    // Thirty vertices from a file: all read, nothing overflows.
    TGPolygon many;
    for (int i = 0; i < 29; ++i) many.AddPoint({i * 10, i % 2}, {(i + 1) * 10, (i + 1) % 2});
    EXPECT_EQ(29, many.lastIndex);
    std::string bytes = Payload(many);
    TGPolygon copy;
    TBinaryReader r(bytes);
    ASSERT_TRUE(copy.LoadFromStream(22, r));
    EXPECT_EQ(29, copy.lastIndex);
    EXPECT_EQ((TPoint{290, 1}), copy.vertices[29]);
    EXPECT_EQ((TRect{0, 1, 290, 0}), copy.box);
    // A vertex count beyond the bytes left is refused before anything is
    // allocated.
    std::string huge = bytes.substr(0, bytes.size() - 30 * 8 - 4);
    TBinaryWriter w;
    w.I32(100000000);
    huge += w.Take();
    TGPolygon refused;
    TBinaryReader hr(huge);
    EXPECT_FALSE(refused.LoadFromStream(22, hr));
    // An empty polygon has the inverted box.
    TGPolygon empty;
    empty.lastIndex = -1;
    empty.UpdateBounds();
    EXPECT_EQ((TRect{99999, -99999, -99999, 99999}), empty.box);
}

TEST_F(Annotations, ShapesTakeTheirLayerOrTheDrawingDefaults) {
    auto& g = DrawingGlobals();
    g.DefLineColor = 0x0000FF;
    g.BranchPenWidth = 2;
    g.WidthDefault = 9;
    g.DefaultBranchStyle = 4;
    TGLajer layers;
    layers.AddLayer();
    layers.Layer(1).colour = 0x00FF00;
    layers.Layer(1).width = 30;
    layers.Layer(1).penWidth = 4;
    layers.Layer(1).style = 2;

    TGElipse onZero(&layers);
    EXPECT_EQ(8, onZero.style);
    EXPECT_EQ(0x0000FF, onZero.pen.colour);
    EXPECT_EQ(2, onZero.pen.width);
    EXPECT_EQ(9, onZero.width);
    EXPECT_EQ(1, onZero.brush.style);
    EXPECT_EQ(0, onZero.flagA);
    TGALine dotted(&layers);
    EXPECT_EQ(2, dotted.pen.style);
    EXPECT_EQ(0, dotted.pen.colour);
    EXPECT_EQ(2, dotted.pen.width);

    WindowState().CurrentLayer = 1;
    TGArc arc(&layers);
    EXPECT_EQ(1, arc.layer);
    EXPECT_EQ(7, arc.style);
    EXPECT_EQ(0x00FF00, arc.brush.colour);
    EXPECT_EQ(4, arc.pen.width);
    EXPECT_EQ(30, arc.width);
    TGALine onLayer(&layers); // layer style 2 -> the filled double case
    EXPECT_EQ(0, onLayer.pen.colour);
    EXPECT_EQ(0x00FF00, onLayer.brush.colour);
    EXPECT_EQ(4, onLayer.pen.width);
    EXPECT_EQ(0, onLayer.brush.style);
    TGPolygon polygon(&layers);
    EXPECT_EQ(0x00FF00, polygon.pen.colour);
    TGRectangle rect;
    EXPECT_EQ(5, rect.style);
    EXPECT_EQ(1, rect.width);
}

TEST_F(Annotations, EllipseBoxAndHandles) {
    TGElipse e;
    e.SetRect({50, 0}, {0, 30}, 0);
    TGElipse f;
    f.SetRect({0, 30}, {50, 0}, 0);
    EXPECT_EQ((TRect{0, 30, 50, 0}), e.box);
    EXPECT_EQ(e.box, f.box);
    EXPECT_EQ(15, e.radius);
    e.SetRect({10, 10}, {13, 14}, 1); // centre mode
    EXPECT_EQ(5, e.radius);
    EXPECT_EQ((TRect{5, 15, 15, 5}), e.box);
    // Corner handle 3 is the first point (x1, y1): moved by (10, 0) it
    // changes x1 by +10 and y1 by -10.
    TGElipse g;
    g.SetRect({0, 100}, {200, 0}, 0);
    g.MoveHandle({0, 100}, {10, 100});
    EXPECT_EQ(10, g.x1);
    EXPECT_EQ(90, g.y1);
    EXPECT_EQ(200, g.x2);
    EXPECT_EQ(0, g.y2);
    // The middle handle moves the whole box.
    TPoint a{0, 100}, b{200, 0};
    EXPECT_EQ(0, DragBoxHandle({100, 50}, {110, 45}, a, b, 5));
    EXPECT_EQ((TPoint{10, 95}), a);
    EXPECT_EQ((TPoint{210, -5}), b);
    EXPECT_EQ(-1, DragBoxHandle({60, 70}, {0, 0}, a, b, 5));
    // Hit distance: off the outline.
    g.SetRect({0, 100}, {100, 0}, 0);
    g.HitTest({50, 95});
    EXPECT_EQ(5, g.HitDistance);
}

TEST_F(Annotations, ArcKeepsItsRadiusWhenAPointMoves) {
    TGArc arc;
    arc.SetPoints({100, 0}, {0, 100}, {0, 0});
    EXPECT_EQ(100, arc.radius);
    EXPECT_EQ((TRect{-100, 100, 100, -100}), arc.box);
    arc.MoveHandle({100, 0}, {80, -30});
    EXPECT_EQ((TPoint{80, -30}), arc.First());
    EXPECT_NEAR(100.0, PointDistance(arc.First(), arc.centre), 1.0);
    EXPECT_NEAR(100.0, PointDistance(arc.Second(), arc.centre), 1.0);
    EXPECT_NEAR(100, arc.radius, 1);
    // A degenerate arc (first point on the centre) gets radius 100.
    TGArc flat;
    flat.SetPoints({5, 5}, {50, 50}, {5, 5});
    EXPECT_EQ(100, flat.radius);
    // The centre handle moves everything.
    arc.SetPoints({100, 0}, {0, 100}, {0, 0});
    arc.MoveHandle({0, 0}, {7, 8});
    EXPECT_EQ((TPoint{7, 8}), arc.centre);
    EXPECT_EQ((TPoint{107, 8}), arc.First());
    // Hit test only near the arc's box.
    EXPECT_FALSE(arc.HitTest({500, 500}));
    EXPECT_TRUE(arc.HitTest({110, 8}));
    EXPECT_EQ(3, arc.HitDistance);
}

TEST_F(Annotations, PlainLineAndRectangle) {
    TGALine line;
    line.SetPoints({10, 10}, {10, 50});
    EXPECT_DOUBLE_EQ(kPi / 2, line.angle);
    line.SetPoints({10, 50}, {10, 10});
    EXPECT_DOUBLE_EQ(-kPi / 2, line.angle);
    line.SetPoints({0, 0}, {-10, 0});
    EXPECT_DOUBLE_EQ(kPi, line.angle);
    EXPECT_EQ((TPoint{10, 0}), line.difference);
    // Dragging near the first point moves only it.
    line.MoveHandle({1, 1}, {5, 6});
    EXPECT_EQ((TPoint{4, 5}), line.First());
    EXPECT_EQ((TPoint{-10, 0}), line.Second());
    line.MoveHandle({50, 50}, {51, 50}); // elsewhere: both move
    EXPECT_EQ((TPoint{5, 5}), line.First());
    EXPECT_EQ((TPoint{-9, 0}), line.Second());

    TGRectangle rect;
    rect.SetCorners({0, 0}, {100, 50});
    EXPECT_TRUE(rect.HitTest({10, 20}));
    EXPECT_EQ(10, rect.HitDistance);
    EXPECT_FALSE(rect.HitTest({-1, 20}));
    EXPECT_EQ(10000, rect.HitDistance);
    rect.MoveHandle({100, 0}, {120, 0}); // corner 7: x2 +20, y2 -20
    EXPECT_EQ((TRect{0, 50, 120, -20}), rect.box);
}

TEST_F(Annotations, SymbolPlacementMovesThePrimitivesToTheAnchor) {
    TSymbolRecord rec;
    rec.name = "S";
    rec.count = 1;
    rec.prims[0].kind = 'l';
    rec.prims[0].points = {TPoint{-20, 0}, TPoint{20, 0}, TPoint{}, TPoint{}};
    TGUO uo;
    uo.SetSymbol(rec, 2, 0, 45, 40, {100, 200});
    EXPECT_EQ(2, uo.symbolIndex);
    EXPECT_EQ(45, uo.angleDegrees);
    EXPECT_EQ((TPoint{80, 200}), uo.placed.prims[0].points[0]);
    EXPECT_EQ((TPoint{120, 200}), uo.placed.prims[0].points[1]);
    EXPECT_EQ((TRect{90, 210, 110, 190}), uo.box);
}

TEST_F(Annotations, PlaAttributesComeFromASiblingWithTheSamePosition) {
    TGCollFigure doc;
    WindowState().BackColor = 0xABCDEF;
    TGLine* a = AddLine(doc, {0, 0}, {10, 0}, 1);
    TGLine* b = AddLine(doc, {10, 0}, {20, 0}, 2);
    TGLine* c = AddLine(doc, {20, 0}, {30, 0}, 3);
    a->Caption(3).a = 4;
    a->Caption(3).flag = 2;
    a->Caption(3).colour = 0x00FF00;
    a->marks[1].flag = 1;
    b->Caption(3).a = 4;
    b->plaSelection = 1;
    c->Caption(3).a = 9;
    EXPECT_EQ(0x00FF00, doc.CopyPlaPosition(1));
    EXPECT_EQ(2, b->Caption(3).flag);
    EXPECT_EQ(0, b->plaSelection);
    EXPECT_EQ(1, b->marks[1].flag);
    EXPECT_EQ(0xABCDEF, doc.CopyPlaPosition(2));
    EXPECT_EQ(0xABCDEF, doc.CopyPlaPosition(99));
}
