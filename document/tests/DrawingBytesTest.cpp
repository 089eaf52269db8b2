// One drawing with a figure of every kind, its file written out field by
// field from the file layout with a byte appender of its own, so that the
// writer and the reader are each held to the layout rather than to each other.
#include "DocTestSupport.h"

#include "document/ShapeFigures.h"
#include "document/TextFigures.h"
#include "platform/testing/ScriptedServices.h"

#include <bit>
#include <cmath>
#include <cstring>

using namespace arv;
using namespace arv::test;

namespace {

struct TBytes {
    std::string s;
    TBytes& I32(int32_t v) {
        const uint32_t u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i) s += static_cast<char>((u >> (8 * i)) & 0xFF);
        return *this;
    }
    TBytes& U8(int v) {
        s += static_cast<char>(v);
        return *this;
    }
    TBytes& F64(double d) {
        const uint64_t u = std::bit_cast<uint64_t>(d);
        for (int i = 0; i < 8; ++i) s += static_cast<char>((u >> (8 * i)) & 0xFF);
        return *this;
    }
    TBytes& Str(const std::string& t) {
        I32(static_cast<int32_t>(t.size()));
        s += t;
        return *this;
    }
    TBytes& Pt(int32_t x, int32_t y) { return I32(x).I32(y); }
    TBytes& Box(int32_t l, int32_t t, int32_t r, int32_t b) { return I32(l).I32(t).I32(r).I32(b); }
    TBytes& Zeros(int n) {
        s.append(static_cast<size_t>(n), '\0');
        return *this;
    }
};

const char* const kSymbols = "B;Door;\r\nL;-16;-12;16;12;2;1;0;\r\nE;\r";

// Distinct attributes per figure f and scheme k.
TViewAttrs Attrs(int f, int k) {
    TViewAttrs a;
    a.style = f + k;
    a.pen = {0, 0x100 * f + k, 1 + k, static_cast<uint8_t>(k % 3)};
    a.brush = {0, 0x10000 * f + k, 0, static_cast<uint8_t>(k & 1)};
    a.width = 2 * f + k;
    // Scheme 0 is the one in force: it agrees with the figure's own flags.
    a.flagA = static_cast<uint8_t>((k + 1) & 1);
    a.flagB = static_cast<uint8_t>(k & 1);
    return a;
}

void SetBase(TGCustomFigure& fig, int f) {
    fig.style = f;
    fig.tag = -f;
    fig.image = "ph" + std::to_string(f) + ".jpg";
    fig.schemeVisible = {1, 0, 1, static_cast<uint8_t>(f & 1), 1};
    fig.extra = 100 + f;
    fig.text = "t" + std::to_string(f);
    for (int k = 0; k < kSchemeCount; ++k) fig.schemeAttrs[k] = Attrs(f, k);
}

// Base part and its share of the size field: image + text + 295.
void Base(TBytes& b, int f, int32_t style) {
    const std::string image = "ph" + std::to_string(f) + ".jpg";
    const std::string text = "t" + std::to_string(f);
    b.I32(style).I32(-f).Str(image).I32(5);
    b.U8(1).U8(0).U8(1).U8(f & 1).U8(1);
    b.I32(0).I32(100 + f).Str(text).I32(220);
    for (int k = 0; k < kSchemeCount; ++k) {
        const TViewAttrs a = Attrs(f, k);
        b.I32(a.style);
        b.I32(0).I32(a.pen.colour).I32(a.pen.width).U8(a.pen.style).Zeros(3);
        b.I32(0).I32(a.brush.colour).I32(0).U8(a.brush.style).Zeros(3);
        b.I32(a.width).U8(a.flagA).U8(a.flagB).Zeros(2);
    }
}
int32_t BaseSize(int f) {
    return static_cast<int32_t>(("ph" + std::to_string(f) + ".jpg").size() +
                                ("t" + std::to_string(f)).size() + 295);
}

void SetBranch(TGBranch& br, int32_t number, const std::string& name) {
    br.number = number;
    br.name = name;
    br.hasPointA = 1;
    br.pointA = {11, 12};
    br.hasPointB = 1;
    br.pointB = {13, 14};
    br.flagA = 1;
    br.flagB = 0;
    br.showFlag = 0;
    br.switchA = 1;
    br.switchB = 0;
    for (int k = 1; k <= kCaptionCount; ++k) {
        TBranchCaption& c = br.Caption(k);
        c.a = number * 10 + k;
        c.b = -k;
        c.anchor = {k, -k};
        c.shown = static_cast<uint8_t>(k & 1);
        c.colour = k == 5 ? 255 : 0x1000 * k;
        c.flag = static_cast<uint8_t>(k == 3 ? 2 : 0);
        c.angle = 0.25 * k;
        c.flag2 = static_cast<uint8_t>(k % 2 == 0);
    }
    br.extraInt = 77;
    br.labelAngle = 1.5;
    br.callout.anchor = {21, 22};
    br.callout.placed = 1;
    br.callout.shown = 0;
    for (size_t i = 0; i < br.marks.size(); ++i) br.marks[i].flag = static_cast<uint8_t>(i == 4);
}

void Branch(TBytes& b, int32_t number, const std::string& name, double angle) {
    b.I32(number).Str(name).Pt(11, 12).Pt(13, 14);
    b.U8(1).U8(0).U8(1).U8(0).I32(6);
    for (int k = 1; k <= 6; ++k) {
        b.I32(number * 10 + k).I32(-k).Pt(k, -k).U8(k & 1);
        b.I32(k == 5 ? 255 : 0x1000 * k).U8(k == 3 ? 2 : 0).U8(0).F64(0.25 * k);
    }
    b.I32(77).F64(angle).F64(1.5);
    b.Pt(21, 22).U8(1).U8(0);
    b.U8(0);                               // flag2 of caption record 3
    b.U8(0).U8(0).U8(0).U8(0).U8(1).U8(0); // mark flags
    b.U8(0).U8(1).U8(0).U8(1).U8(0).U8(1); // flag2 of every record
}

void Font(TBytes& b, const std::string& name, int32_t colour, int32_t size, int style) {
    b.I32(204).I32(colour).U8(static_cast<int>(name.size()));
    b.s += name;
    b.Zeros(31 - static_cast<int>(name.size()));
    b.I32(0).I32(size).I32(style);
}

// The drawing in the document.
void Build(TGCollFigure& doc) {
    DrawingGlobals().SymbolLibraryText = kSymbols;
    ParseSymbolText(doc.symbols, kSymbols);

    // Nodes 1 (0,0), 2 (0,100) surface, 3 (100,100); line 1 -> 2, bent 2 -> 3
    // through (50,150).
    TGLine* line = AddLine(doc, {0, 0}, {0, 100});
    auto* poly = static_cast<TGPolyLine*>(doc.AddFigure(kKindPolyLine));
    poly->EditVertex({0, 100}, {50, 150}, {});
    poly->EditVertex({50, 150}, {100, 100}, {});
    poly->bends[1] = {-3, -4}; // the spare slot is stored too
    for (int32_t i = 0; i < 3; ++i) doc.nodes.Record(i).number = i + 1;
    doc.nodes.Record(1).kind = 1;
    doc.nodes.Record(1).flag = 1;
    doc.nodes.Record(2).labelOffset = {-7, 9};
    line->beginNode = 1;
    line->endNode = 2;
    poly->beginNode = 2;
    poly->endNode = 3;
    SetBase(*line, 1);
    SetBranch(*line, 5, "L5");
    SetBase(*poly, 2);
    SetBranch(*poly, 6, "P6");

    auto* text = static_cast<TGText*>(doc.AddFigure(kKindText));
    TFontRecord font;
    font.name = "Times New Roman";
    font.colour = 0xFF;
    font.size = 12;
    font.style = 3;
    text->SetTextAndFont("Hi", font, {30, 40});
    text->box = {30, 80, 90, 40};
    text->angle = 45.0;
    SetBase(*text, 3);

    auto* pic = static_cast<TGPicture*>(doc.AddFigure(kKindPicture));
    pic->Place("fan", 0, 0, 40, 40, {200, 300});
    pic->angleDegrees = 90;
    pic->value1 = 1;
    pic->ownSize = 60;
    pic->value2 = 2;
    pic->value3 = 3;
    pic->captionPosition = 2;
    pic->captionHidden = 1;
    pic->ownSizeFlag = 1;
    SetBase(*pic, 4);

    auto* uo = static_cast<TGUO*>(doc.AddFigure(kKindSymbol));
    TSymbolRecord rec;
    ASSERT_EQ(0, FindSymbolIndex(doc.symbols, 40, rec, 0, "Door"));
    uo->SetSymbol(rec, 0, 0, 0, 40, {400, 400});
    uo->value0 = 9;
    uo->value1 = 11;
    uo->value2 = 12;
    uo->captionPosition = 3;
    SetBase(*uo, 5);

    auto* polygon = static_cast<TGPolygon*>(doc.AddFigure(kKindPolygon));
    polygon->AddPoint({0, 0}, {100, 0});
    polygon->AddPoint({100, 0}, {100, -100});
    SetBase(*polygon, 6);

    auto* rect = static_cast<TGRectangle*>(doc.AddFigure(kKindRectangle));
    rect->SetCorners({10, -10}, {60, -50});
    SetBase(*rect, 7);

    auto* ellipse = static_cast<TGElipse*>(doc.AddFigure(kKindEllipse));
    ellipse->SetRect({-40, 40}, {-20, 20}, 0);
    SetBase(*ellipse, 8);

    auto* aline = static_cast<TGALine*>(doc.AddFigure(kKindALine));
    aline->SetPoints({500, 0}, {600, 50});
    SetBase(*aline, 9);

    auto* arc = static_cast<TGArc*>(doc.AddFigure(kKindArc));
    arc->SetPoints({710, 0}, {700, 10}, {700, 0});
    SetBase(*arc, 10);
}

std::string Expected() {
    TBytes b;
    b.s = "G878";
    b.I32(22).Zeros(84).I32(10).I32(1).Zeros(104);

    b.I32(1007).I32(26 * 3 + 8).I32(3);
    b.I32(1).Pt(0, 0).Pt(2, -2).U8(1).U8(0).I32(0);
    b.I32(2).Pt(0, 100).Pt(2, -2).U8(1).U8(1).I32(1);
    b.I32(3).Pt(100, 100).Pt(-7, 9).U8(1).U8(0).I32(0);

    const std::string symbols = kSymbols;
    b.I32(4022).I32(static_cast<int32_t>(symbols.size()));
    b.s += symbols;

    // Straight branch: base + name + 160, + 16.
    b.I32(1001).I32(BaseSize(1) + 2 + 160 + 16);
    Base(b, 1, 1);
    Branch(b, 5, "L5", kPi / 2);
    b.I32(0).I32(0).I32(0).I32(100);

    // Bent branch: angle of its last segment, then one bend and the spare slot.
    b.I32(1002).I32(BaseSize(2) + 2 + 160 + 16 + 4);
    Base(b, 2, 2);
    Branch(b, 6, "P6", std::atan2(-50.0, 50.0));
    b.I32(0).I32(100).I32(100).I32(100);
    b.I32(1).Pt(50, 150).Pt(-3, -4);

    b.I32(1004).I32(BaseSize(3) + 80 + 2);
    Base(b, 3, 3);
    b.Str("Hi").Pt(30, 40).Box(30, 80, 90, 40);
    Font(b, "Times New Roman", 0xFF, 12, 3);
    b.F64(45.0);

    b.I32(1005).I32(BaseSize(4) + 8 + 3 + 2 + 16);
    Base(b, 4, 4);
    b.Str("fan").Str("t4").Box(200, 300, 240, 260);
    b.I32(90).I32(1).I32(60).I32(2).I32(3).I32(2).U8(1).U8(1);

    b.I32(1006).I32(BaseSize(5) + 22 + 4);
    Base(b, 5, 5);
    b.I32(9).I32(0).I32(0).Pt(400, 400).Box(390, 410, 410, 390);
    b.Str("t5").Str("Door");
    b.I32(11).I32(0).I32(12).I32(3).U8(0).U8(0);

    b.I32(1010).I32(BaseSize(6));
    Base(b, 6, 6);
    b.I32(2).Pt(0, 0).Pt(100, 0).Pt(100, -100);

    b.I32(1008).I32(BaseSize(7) + 16);
    Base(b, 7, 7);
    b.Box(10, -10, 60, -50);

    b.I32(1009).I32(BaseSize(8) + 16);
    Base(b, 8, 8);
    b.Box(-40, 40, -20, 20);

    b.I32(1011).I32(BaseSize(9) + 16);
    Base(b, 9, 9);
    b.I32(500).I32(0).I32(600).I32(50);

    b.I32(1003).I32(BaseSize(10) + 40);
    Base(b, 10, 10);
    b.Box(690, 10, 710, -10).Pt(710, 0).Pt(700, 10).Pt(700, 0);

    // Settings of a fresh drawing.
    b.I32(3001).I32(4).I32(40);
    for (int i = 0; i < 5; ++i) {
        b.I32(2001 + i).I32(52);
        Font(b, "Arial", 0, i == 1 ? 11 : i == 2 ? 9 : 10, 0);
    }
    for (auto [tag, v] :
         {std::pair{4001, 1}, {4002, 20}, {4003, 11}, {4004, 1}, {4005, 30}, {4006, 10}})
        b.I32(tag).I32(4).I32(v);
    for (auto [tag, v] :
         {std::pair{4007, 0}, {4008, 1}, {4009, 1}, {4011, 1}, {4010, 1}, {4012, 1}})
        b.I32(tag).I32(4).U8(v);
    b.I32(4013).I32(4).I32(30);
    b.I32(4014).I32(4).I32(65535);
    b.I32(4015).I32(4).U8(0);
    b.I32(15).I32(4).U8(0);
    b.I32(1).I32(4).U8(1);
    b.I32(4016).I32(4).I32(30);
    b.I32(4017).I32(4).I32(0);
    b.I32(4018).I32(4).I32(0);
    b.I32(4019).I32(188).I32(0).I32(4019);
    for (int k = 0; k < 5; ++k) {
        b.U8(1).Zeros(3).I32(0).I32(1).Zeros(8);
        for (int l = 0; l < 12; ++l) b.U8(1);
        b.I32(1);
    }
    b.I32(4020).I32(4).I32(1);
    b.I32(4021).I32(5);
    b.s += "A;1;#";
    b.I32(-1);
    return b.s;
}

// Where two byte images first differ, for a readable failure.
std::string FirstDifference(const std::string& want, const std::string& got) {
    size_t i = 0;
    while (i < want.size() && i < got.size() && want[i] == got[i]) ++i;
    if (i == want.size() && i == got.size()) return "";
    return "first difference at byte " + std::to_string(i) + " of " + std::to_string(want.size()) +
           " / " + std::to_string(got.size());
}

class DrawingBytes : public DocTest {};

} // namespace

TEST_F(DrawingBytes, EveryFigureKindWrittenAsTheLayoutSays) {
    TGCollFigure doc;
    Build(doc);
    TBinaryWriter w;
    doc.SaveToStream(w, "A;1;#");
    const std::string expected = Expected();
    EXPECT_EQ("", FirstDifference(expected, w.Data()));
}

TEST_F(DrawingBytes, TheHandWrittenFileReadsIntoEveryField) {
    const std::string file = Expected();
    TGCollFigure doc;
    doc.images.entries.push_back({"fan", {}});
    std::string net;
    ASSERT_EQ(0, doc.LoadFromStream(file, &net));
    EXPECT_EQ("A;1;#", net);
    ASSERT_EQ(10, doc.Count());
    ASSERT_EQ(3, doc.nodes.Count());
    EXPECT_EQ(1, doc.nodes.Record(1).kind);
    EXPECT_EQ((TPoint{-7, 9}), doc.nodes.Record(2).labelOffset);
    EXPECT_EQ(-1, doc.nodes.nextTempNumber);

    auto* line = doc.BranchAt(0);
    ASSERT_TRUE(line);
    EXPECT_EQ(5, line->number);
    EXPECT_EQ("L5", line->name);
    EXPECT_EQ((TPoint{0, 100}), line->End());
    EXPECT_EQ(2, line->endNode);
    EXPECT_EQ((TPoint{13, 14}), line->pointB);
    EXPECT_EQ(0, line->showFlag);
    EXPECT_EQ(0, line->switchB);
    EXPECT_EQ(53, line->Caption(3).a);
    EXPECT_EQ(2, line->Caption(3).flag);
    EXPECT_EQ(255, line->Caption(5).colour);
    EXPECT_DOUBLE_EQ(1.0, line->Caption(4).angle);
    EXPECT_EQ(1, line->Caption(4).flag2);
    EXPECT_EQ(77, line->extraInt);
    EXPECT_DOUBLE_EQ(1.5, line->labelAngle);
    EXPECT_EQ((TPoint{21, 22}), line->callout.anchor);
    EXPECT_EQ(1, line->marks[4].flag);
    EXPECT_EQ(-1, line->tag);
    EXPECT_EQ("ph1.jpg", line->image);
    EXPECT_EQ(101, line->extra);
    EXPECT_EQ(Attrs(1, 3), line->schemeAttrs[3]);

    auto* poly = dynamic_cast<TGPolyLine*>(doc.BranchAt(1));
    ASSERT_TRUE(poly);
    EXPECT_EQ(1, poly->bendCount);
    EXPECT_EQ((TPoint{50, 150}), poly->bends[0]);
    EXPECT_EQ((TPoint{-3, -4}), poly->bends[1]);
    EXPECT_EQ(3, poly->endNode);

    auto* text = dynamic_cast<TGText*>(doc.Figure(2));
    ASSERT_TRUE(text);
    EXPECT_EQ("Hi", text->content);
    EXPECT_EQ("Times New Roman", text->font.name);
    EXPECT_EQ(3, text->font.style);
    EXPECT_DOUBLE_EQ(45.0, text->angle);

    auto* pic = dynamic_cast<TGPicture*>(doc.Figure(3));
    ASSERT_TRUE(pic);
    EXPECT_EQ("fan", pic->imageName);
    EXPECT_EQ(0, pic->imageIndex);
    EXPECT_EQ(60, pic->ownSize);
    EXPECT_EQ(3, pic->value3);
    EXPECT_EQ(2, pic->captionPosition);

    auto* uo = dynamic_cast<TGUO*>(doc.Figure(4));
    ASSERT_TRUE(uo);
    EXPECT_EQ("Door", uo->placed.name);
    EXPECT_EQ(9, uo->value0);
    EXPECT_EQ(12, uo->value2);
    EXPECT_EQ((TPoint{400, 400}), uo->anchor);

    auto* polygon = dynamic_cast<TGPolygon*>(doc.Figure(5));
    ASSERT_TRUE(polygon);
    EXPECT_EQ(2, polygon->lastIndex);
    EXPECT_EQ((TPoint{100, -100}), polygon->vertices[2]);
    EXPECT_EQ((TRect{10, -10, 60, -50}), doc.Figure(6)->box);
    EXPECT_EQ(10, static_cast<TGElipse*>(doc.Figure(7))->radius);
    EXPECT_EQ((TPoint{-100, -50}), static_cast<TGALine*>(doc.Figure(8))->difference);
    auto* arc = dynamic_cast<TGArc*>(doc.Figure(9));
    ASSERT_TRUE(arc);
    EXPECT_EQ((TPoint{700, 0}), arc->centre);
    EXPECT_EQ(10, arc->radius);

    // And what was read writes the same bytes.
    TBinaryWriter w;
    doc.SaveToStream(w, net);
    EXPECT_EQ("", FirstDifference(file, w.Data()));
}
