#include "DocTestSupport.h"

#include "document/Constants.h"
#include "document/DrawingFile.h"
#include "document/ShapeFigures.h"
#include "document/TextFigures.h"
#include "platform/Cp1251.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <random>

using namespace arv;
using namespace arv::test;

namespace {

const char* const kSymbolText =
    "B;Door;\r\nR;-16;12;16;-12;2;6;1;0;\r\nL;-16;-12;16;12;2;1;0;\r\nE;\r\n"
    "B;Fan;\r\nC;0;0;18;2;6;1;0;\r\nE;";

// A small mine drawn in code: branches of both kinds meeting at shared
// nodes, every annotation figure, two extra layers, five different scheme
// records, fonts, symbol text and folders.
void BuildSample(TGCollFigure& doc) {
    TDrawingGlobals& g = DrawingGlobals();
    TWindowState& state = WindowState();
    g.SchemeKind = 1;
    for (int k = 0; k < kSchemeCount; ++k) {
        TSchemeRecord& rec = g.SchemeViewFlags[k];
        rec.style = static_cast<uint8_t>(1 + k % 4);
        rec.lineColor = 0x100 * k;
        rec.width = 10 + k;
        rec.penWidth = 1 + k;
        rec.show = {1, 1, static_cast<uint8_t>(k & 1), 0, 1, 0, 1, static_cast<uint8_t>(k == 2)};
        rec.layers[static_cast<size_t>(k + 3)] = 0;
    }
    g.FlowCaptionFlags = {1, 0, 1, 0};
    doc.layers.AddLayer();
    doc.layers.AddLayer();
    doc.layers.Layer(1).name = Ru("Вентиляционные сооружения");
    doc.layers.Layer(1).colour = 0x0000FF;
    doc.layers.Layer(1).width = 25;
    doc.layers.Layer(1).style = 2;
    doc.layers.Layer(2).name = Ru("Пожарный став");
    doc.layers.Layer(2).penWidth = 3;
    doc.settings.fonts[0].name = "Courier New";
    doc.settings.fonts[2].style = 1;
    doc.settings.fonts[4].colour = 0x00FF00;
    doc.settings.fontSize1 = 12;
    doc.settings.fontSize1Scaled = 42;
    doc.settings.fontSize3 = 8;
    doc.settings.fontSize3Scaled = 28;
    doc.settings.fontSize4 = 11;
    doc.settings.fontSize4Scaled = 39;
    doc.settings.arrowSize = 33;
    doc.settings.nodeSize = 14;
    doc.settings.arrowScale = 12;
    doc.settings.arrowInside = 1;
    doc.settings.leaderLength = 44;
    doc.settings.frameColour = 0x808080;
    doc.settings.drawFrame = 0;
    doc.settings.showCalcData = 1;
    doc.settings.negativeNodes = 1;
    doc.settings.drawPictures = 0;
    doc.settings.symbolSize = 60;
    doc.nodes.nodeSize = 13;
    state.PlaFolder = Ru("/home/план/pla");
    state.PhotoFolder = "/srv/photo";
    g.SymbolLibraryText = kSymbolText;
    ParseSymbolText(doc.symbols, g.SymbolLibraryText);
    doc.images.Add("fan", TBitmap32(4, 4, 0xFF0000FF));

    TGLine* shaft = AddLine(doc, {0, 1000}, {0, 0}, 1);
    shaft->name = Ru("Ствол скиповой");
    TGLine* drift = AddLine(doc, {0, 0}, {800, 0}, 2);
    drift->name = Ru("Откаточный штрек");
    drift->labelAngle = 0.25;
    drift->hasPointA = 1;
    drift->pointA = {300, 40};
    drift->Caption(1).flag2 = 1;
    drift->Caption(1).anchor = {410, -35};
    drift->Caption(3).a = 7;
    drift->Caption(3).b = 7;
    drift->Caption(3).flag = 2;
    drift->Caption(3).colour = 0x00FFFF;
    drift->Caption(4).a = 12; // measuring station
    drift->Caption(5).colour = 255;
    drift->marks[4].flag = 1;
    drift->callout.placed = 1;
    drift->callout.anchor = {500, 120};
    drift->extraInt = 9;
    drift->layer = 1;
    auto* bent = static_cast<TGPolyLine*>(doc.AddFigure(kKindPolyLine));
    TBranchSetup s;
    s.number = 3;
    s.name = Ru("Вентиляционный штрек");
    bent->EditVertex({800, 0}, {900, 300}, s);
    bent->EditVertex({900, 300}, {700, 600}, s);
    bent->EditVertex({700, 600}, {0, 1000}, s);
    bent->flowReversed = 1;
    doc.nodes.Record(shaft->beginIndex).kind = 1;
    doc.nodes.Record(shaft->beginIndex).flag = 1;
    doc.nodes.Record(drift->endIndex).labelOffset = {-30, 25};

    auto* text = static_cast<TGText*>(doc.AddFigure(kKindText));
    TFontRecord font;
    font.name = "Arial";
    font.size = 16;
    text->SetTextAndFont(Ru("Шахта «Северная»"), font, {100, 1200});
    text->angle = 15;
    text->box = {100, 1250, 600, 1200};
    auto* pic = static_cast<TGPicture*>(doc.AddFigure(kKindPicture));
    pic->Place("fan", 0, 0, 60, 60, {-80, 1100});
    pic->text = Ru("ВГП-1");
    pic->captionPosition = 1;
    auto* uo = static_cast<TGUO*>(doc.AddFigure(kKindSymbol));
    TSymbolRecord rec;
    int32_t idx = FindSymbolIndex(doc.symbols, 60, rec, 90, "Door");
    uo->SetSymbol(rec, idx, 0, 90, 60, {400, 20});
    uo->text = Ru("Дверь №3");
    uo->value0 = 5;
    auto* poly = static_cast<TGPolygon*>(doc.AddFigure(kKindPolygon));
    poly->AddPoint({1000, 0}, {1100, 0});
    poly->AddPoint({1100, 0}, {1100, 100});
    poly->AddPoint({1100, 100}, {1000, 120});
    auto* rect = static_cast<TGRectangle*>(doc.AddFigure(kKindRectangle));
    rect->SetCorners({-200, -100}, {1200, 1300});
    auto* aline = static_cast<TGALine*>(doc.AddFigure(kKindALine));
    aline->SetPoints({200, 500}, {350, 650});
    auto* ellipse = static_cast<TGElipse*>(doc.AddFigure(kKindEllipse));
    ellipse->SetRect({300, 300}, {340, 330}, 1);
    auto* arc = static_cast<TGArc*>(doc.AddFigure(kKindArc));
    arc->SetPoints({600, 200}, {500, 300}, {500, 200});
    arc->schemeVisible[3] = 0;
    arc->layer = 2;

    // Every figure's current attributes are those of the scheme in force.
    for (auto& f : doc.figures) {
        f->schemeAttrs[4].width = 99;
        f->StoreViewAttrs(g.SchemeKind);
    }
    doc.ApplySchemeRecord(g.SchemeKind);
}

std::string Save(TGCollFigure& doc, std::string_view net = "A;1;#") {
    TBinaryWriter w;
    doc.SaveToStream(w, net);
    return w.Take();
}

struct TBlock {
    int32_t tag;
    int32_t size;
    size_t offset; // of the payload
};

// Walks the blocks of a file whose figures are known (none or given sizes).
std::vector<TBlock> BlocksOfEmpty(const std::string& file) {
    std::vector<TBlock> blocks;
    TBinaryReader r(file);
    r.Skip(kDrawingHeaderSize);
    while (!r.AtEnd()) {
        int32_t tag = r.I32();
        if (tag == -1) break;
        int32_t size = r.I32();
        blocks.push_back({tag, size, r.Position()});
        size_t payload;
        switch (tag) {
        case 1007:
            payload = 4 + 26 * static_cast<size_t>(size - 8) / 26;
            break;
        case 4007:
        case 4008:
        case 4009:
        case 4010:
        case 4011:
        case 4012:
        case 4015:
        case 15:
        case 1:
            payload = 1;
            break;
        case 4017:
        case 4018: {
            TBinaryReader s(std::string_view(file).substr(r.Position()));
            payload = 4 + static_cast<size_t>(s.I32());
            break;
        }
        default:
            payload = static_cast<size_t>(size);
        }
        r.Skip(payload);
    }
    return blocks;
}

// What a refused load must leave alone.
struct TSnapshot {
    std::string file;
    TDrawingGlobals globals;
    std::vector<std::string> layerItems;
    std::vector<std::string> missing;
    std::string pla, photo;
    int32_t current;
    bool operator==(const TSnapshot&) const = default;
};

TSnapshot Snap(TGCollFigure& doc) {
    TSnapshot s;
    s.file = Save(doc);
    s.globals = DrawingGlobals();
    s.layerItems = WindowState().LayerBoxItems;
    s.missing = WindowState().MissingLog;
    s.pla = WindowState().PlaFolder;
    s.photo = WindowState().PhotoFolder;
    s.current = doc.current;
    return s;
}

// Test files of any version, built block by block.
class TFileBuilder {
public:
    explicit TFileBuilder(int32_t version, const char* magic = "G878") {
        w.Bytes(std::string_view(magic, 4));
        w.I32(version);
        w.FixedText("", 196);
    }
    void Block(int32_t tag, const std::string& payload, int32_t sizeField = -2) {
        w.I32(tag);
        w.I32(sizeField == -2 ? static_cast<int32_t>(payload.size()) : sizeField);
        w.Bytes(payload);
    }
    void IntBlock(int32_t tag, int32_t v) {
        TBinaryWriter p;
        p.I32(v);
        Block(tag, p.Data());
    }
    void ByteBlock(int32_t tag, uint8_t v) { Block(tag, std::string(1, static_cast<char>(v)), 4); }
    std::string End() {
        w.I32(-1);
        return w.Data();
    }
    std::string Open() const { return w.Data(); }
    TBinaryWriter w;
};

// The figure base as files of versions 1 to 21 wrote it.
void OldBase(TBinaryWriter& w, int32_t v, int32_t style, int32_t width, int32_t brushColour,
             int32_t layer = 0) {
    w.I32(style);
    w.I32(width);
    w.I32(brushColour);
    w.I32(0); // tag
    if (v >= 17) WriteCountedString(w, "");
    if (v >= 18) {
        w.I32(5);
        for (int i = 0; i < 5; ++i) w.U8(1);
    }
    if (v >= 20) {
        w.I32(layer);
        w.I32(0); // extra
        w.I32(0); // brush record
        w.I32(brushColour);
        w.I32(0);
        w.U8(0);
        w.FixedText("", 3);
        w.I32(0); // pen record
        w.I32(0x00AA00);
        w.I32(2);
        w.U8(0);
        w.FixedText("", 3);
        WriteCountedString(w, "");
    }
    if (v >= 21) {
        w.U8(1);
        w.U8(1);
    }
}

// A straight branch of an older version (fields as the reader expects them).
std::string OldLine(int32_t v, int32_t number, std::string_view name, TPoint a, TPoint b,
                    int32_t layer = 0) {
    TBinaryWriter w;
    OldBase(w, v, 0, 8, 0x0000FF, layer);
    w.I32(number);
    WriteCountedString(w, name);
    WritePoint(w, {});
    WritePoint(w, {});
    if (v >= 4) w.U8(1); // flagA
    if (v >= 5) w.U8(0); // showFlag
    w.U8(1);             // switchA
    w.U8(1);             // switchB
    w.I32(6);
    for (int k = 1; k <= 6; ++k) {
        w.I32(k);                            // a
        w.I32(10 * k);                       // b
        WritePoint(w, {k, -k});              // anchor
        if (v >= 2) w.U8(1);                 // shown
        if (v >= 3) w.I32(k == 5 ? 255 : 7); // colour
        if (v >= 6) w.U8(0);                 // flag
        if (v >= 8) w.U8(0);                 // flagB
        if (v >= 10) w.F64(0.5);             // angle
    }
    if (v >= 3) w.I32(4);     // extraInt
    if (v >= 8) w.F64(0.001); // angle
    if (v >= 11) w.F64(-1.0); // labelAngle
    if (v >= 13) {
        WritePoint(w, {});
        w.U8(0);
        w.U8(1);
    }
    if (v >= 14) w.U8(0);
    if (v >= 15) {
        for (int i = 0; i < 6; ++i) w.U8(0);
    }
    if (v >= 16) {
        for (int i = 0; i < 6; ++i) w.U8(0);
    }
    WritePoint(w, a);
    WritePoint(w, b);
    return w.Take();
}

std::string NodeBlock(const std::vector<std::pair<int32_t, TPoint>>& nodes, bool withKind = true) {
    TBinaryWriter w;
    w.I32(static_cast<int32_t>(nodes.size()));
    for (auto& [number, p] : nodes) {
        w.I32(number);
        WritePoint(w, p);
        WritePoint(w, {2, -2});
        w.U8(1);
        if (withKind) {
            w.U8(0);
            w.I32(0);
        }
    }
    return w.Take();
}

// A version-1 file: the untagged node list, then two branches.
std::string Version1File() {
    TFileBuilder b(1);
    b.w.Bytes(NodeBlock({{1, {0, 0}}, {2, {100, 0}}, {3, {100, 100}}}, false));
    b.Block(1001, OldLine(1, 1, "one", {0, 0}, {100, 0}));
    b.Block(1001, OldLine(1, 0, "new", {100, 0}, {100, 100}));
    return b.End();
}

// A file of version 18 or 20: nodes, a branch, a text and a layer list.
std::string OldFile(int32_t v) {
    TFileBuilder b(v);
    b.Block(1007, NodeBlock({{4, {0, 0}}, {7, {0, 50}}}));
    b.Block(1001, OldLine(v, 3, Ru("Уклон"), {0, 0}, {0, 50}, 1));
    TBinaryWriter text;
    OldBase(text, v, 0, 1, 0);
    WriteCountedString(text, "Text");
    WritePoint(text, {5, 5});
    WriteRect(text, {5, 20, 40, 5});
    WriteFontRecord(text, TFontRecord{});
    if (v >= 19) {
        text.F64(0);
    } else {
        text.U32(0);
    }
    b.Block(1004, text.Data());
    TBinaryWriter layers;
    layers.I32(2);
    layers.I32(1);
    WriteCountedString(layers, Ru("Горные работы"));
    layers.I32(3);
    layers.U8(1);
    layers.I32(0xFF);
    layers.I32(2);
    b.Block(4020, layers.Data());
    return b.End();
}

class DrawingFile : public DocTest {
protected:
    TScriptedMessages messages;
};

} // namespace

TEST_F(DrawingFile, EmptyDrawingHasTheExactSizeAndHeader) {
    TGCollFigure doc;
    std::string file = Save(doc, "");
    // Header 204; node block 8 + 4; symbol size 12; five fonts 5 x 60;
    // 4001..4006 6 x 12; nine one-byte blocks 9 x 9; 4013, 4014, 4016
    // 3 x 12; two empty folders 2 x 12; schemes 8 + 188; layers 8 + 4;
    // network text 8; end marker 4.
    EXPECT_EQ(204u + 12 + 12 + 300 + 72 + 81 + 36 + 24 + 196 + 12 + 8 + 4, file.size());
    EXPECT_EQ(961u, file.size());
    EXPECT_EQ("G878", file.substr(0, 4));
    TBinaryReader h(file);
    h.Skip(4);
    EXPECT_EQ(22, h.I32());
    h.Seek(92);
    EXPECT_EQ(0, h.I32());
    EXPECT_EQ(1, h.I32());
    EXPECT_EQ(std::string(84, '\0'), file.substr(8, 84));
    EXPECT_EQ(std::string(104, '\0'), file.substr(100, 104));

    std::vector<TBlock> blocks = BlocksOfEmpty(file);
    std::vector<int32_t> tags;
    for (const TBlock& b : blocks) tags.push_back(b.tag);
    EXPECT_EQ((std::vector<int32_t>{1007, 3001, 2001, 2002, 2003, 2004, 2005, 4001, 4002, 4003,
                                    4004, 4005, 4006, 4007, 4008, 4009, 4011, 4010, 4012, 4013,
                                    4014, 4015, 15,   1,    4016, 4017, 4018, 4019, 4020, 4021}),
              tags);
    std::map<int32_t, int32_t> sizes;
    for (const TBlock& b : blocks) sizes[b.tag] = b.size;
    EXPECT_EQ(8, sizes[1007]);
    EXPECT_EQ(52, sizes[2003]);
    EXPECT_EQ(188, sizes[4019]);
    EXPECT_EQ(4, sizes[4020]);
    EXPECT_EQ(0, sizes[4021]);
    // Every one-byte block says 4 in its size field.
    for (int32_t tag : {4007, 4008, 4009, 4011, 4010, 4012, 4015, 15, 1}) EXPECT_EQ(4, sizes[tag]);
    EXPECT_EQ(4, sizes[4017]);
    int32_t last;
    std::memcpy(&last, file.data() + file.size() - 4, 4);
    EXPECT_EQ(-1, last);

    TBinaryWriter counted;
    EXPECT_EQ(204 + 12 + 4, doc.SaveToStream(counted, ""));

    TGCollFigure back;
    std::string net = "old";
    EXPECT_EQ(0, back.LoadFromStream(file, &net));
    EXPECT_EQ(0, back.Count());
    EXPECT_EQ(0, back.nodes.Count());
    EXPECT_EQ("", net);
    EXPECT_EQ(file, Save(back, ""));
}

TEST_F(DrawingFile, FullDrawingSavesLoadsAndSavesAgainIdentically) {
    TGCollFigure doc;
    BuildSample(doc);
    const std::string first = Save(doc, Ru("A;Шахта;#D;1;2;#"));
    EXPECT_EQ(first, Save(doc, Ru("A;Шахта;#D;1;2;#"))); // saving twice changes nothing
    EXPECT_EQ(std::string(kSymbolText) + "\r", DrawingGlobals().SymbolLibraryText);

    TGCollFigure back;
    back.images.Add("fan", TBitmap32(4, 4, 0xFF0000FF));
    std::string net;
    ASSERT_EQ(0, back.LoadFromStream(first, &net));
    EXPECT_EQ(Ru("A;Шахта;#D;1;2;#"), net);
    EXPECT_EQ(first, Save(back, net));

    // What came back, spot by spot.
    ASSERT_EQ(doc.Count(), back.Count());
    EXPECT_EQ(doc.nodes.Count(), back.nodes.Count());
    for (int32_t i = 0; i < back.Count(); ++i)
        EXPECT_EQ(doc.figures[i]->kind, back.figures[i]->kind);
    EXPECT_EQ(Ru("Пожарный став"), back.layers.Layer(2).name);
    EXPECT_EQ(3, back.layers.Count());
    EXPECT_EQ((std::vector<std::string>{Ru("Ветви"), Ru("Вентиляционные сооружения"),
                                        Ru("Пожарный став")}),
              WindowState().LayerBoxItems);
    EXPECT_EQ(Ru("/home/план/pla"), WindowState().PlaFolder);
    EXPECT_EQ(1, DrawingGlobals().SchemeKind);
    EXPECT_EQ(1, DrawingGlobals().ShowJunctions);
    EXPECT_EQ(doc.settings, back.settings);
    EXPECT_EQ(13, back.nodes.nodeSize);
    EXPECT_EQ(46, back.nodes.nodeSizeScaled);
    auto* drift = back.BranchAt(1);
    EXPECT_EQ(Ru("Откаточный штрек"), drift->name);
    EXPECT_DOUBLE_EQ(0.25, drift->labelAngle); // kept, not wiped by loading
    EXPECT_EQ(1, drift->hasPointA);
    EXPECT_EQ((TPoint{300, 40}), drift->pointA);
    EXPECT_EQ(1, drift->Caption(1).flag2);
    EXPECT_EQ((TPoint{410, -35}), drift->Caption(1).anchor);
    EXPECT_EQ(12, drift->Caption(4).a);
    EXPECT_EQ(2, drift->Caption(3).flag);
    EXPECT_EQ(1, drift->marks[4].flag);
    // Nodes are registered: shared ends counted once per branch end.
    EXPECT_EQ(2, back.nodes.Record(drift->beginIndex).refCount);
    EXPECT_EQ(1, back.nodes.Record(back.BranchAt(0)->beginIndex).kind);
    auto* bent = static_cast<TGPolyLine*>(back.Figure(2));
    EXPECT_EQ(2, bent->bendCount);
    EXPECT_EQ(back.BranchAt(0)->beginIndex, bent->endIndex);
    EXPECT_EQ(0, bent->flowReversed); // not stored
    auto* uo = static_cast<TGUO*>(back.Figure(5));
    EXPECT_EQ(0, uo->symbolIndex);
    EXPECT_EQ(2, uo->placed.count);
    EXPECT_EQ(0, static_cast<TGPicture*>(back.Figure(4))->imageIndex);
    EXPECT_EQ(2, back.symbols.Count());
    EXPECT_TRUE(WindowState().MissingLog.empty());
    // Current attributes follow the record of the scheme in force.
    EXPECT_EQ(back.Figure(9)->schemeAttrs[1].width, back.Figure(9)->width);
    EXPECT_EQ(99, back.Figure(9)->schemeAttrs[4].width);
    EXPECT_EQ(0, back.Figure(10)->schemeVisible[3]);
}

TEST_F(DrawingFile, SymbolTextGetsItsClosingReturnOnce) {
    struct Host : IWindowHost {
        std::string text = "B;x;\r\nC;0;0;4;\r\nE;";
        bool SymbolEditorText(std::string& t) override {
            t = text;
            return true;
        }
    } host;
    InstallWindowHost(&host);
    TGCollFigure doc;
    Save(doc);
    EXPECT_EQ("B;x;\r\nC;0;0;4;\r\nE;\r", DrawingGlobals().SymbolLibraryText);
    host.text = DrawingGlobals().SymbolLibraryText; // an editor that keeps the CR
    std::string file = Save(doc);
    EXPECT_EQ("B;x;\r\nC;0;0;4;\r\nE;\r", DrawingGlobals().SymbolLibraryText);
    host.text = "";
    EXPECT_EQ(BlocksOfEmpty(Save(doc))[1].tag, 3001); // empty: no block 4022
    InstallWindowHost(nullptr);
    TGCollFigure back;
    ASSERT_EQ(0, back.LoadFromStream(file));
    EXPECT_EQ(1, back.symbols.Count());
    EXPECT_EQ(1, back.symbols.symbols[0].count);
}

TEST_F(DrawingFile, FilesThatAreNoDrawingAreRefusedAndChangeNothing) {
    TGCollFigure doc;
    BuildSample(doc);
    const TSnapshot before = Snap(doc);
    std::string good = before.file;
    std::string badMagic = good;
    badMagic[0] = 'X';
    std::string newer = good;
    newer[4] = 23;
    std::string older = good;
    std::memset(older.data() + 4, 0, 4);
    for (const std::string& f : {badMagic, newer, older, good.substr(0, 100), std::string()}) {
        EXPECT_EQ(-1, doc.LoadFromStream(f));
        EXPECT_EQ(before, Snap(doc));
    }
}

TEST_F(DrawingFile, DrawingsWithoutEndMarkerOrWithUnknownBlocks) {
    TFileBuilder b(22);
    b.Block(1007, NodeBlock({{1, {0, 0}}, {2, {100, 0}}}));
    TGLine line;
    line.SetGeometry({0, 0}, {100, 0}, {}, kGeometryAll);
    line.number = 5;
    TBinaryWriter payload;
    line.SaveToStream(payload);
    b.Block(1001, payload.Data());
    b.Block(7777, "0123456789"); // unknown: skipped by its size
    TBinaryWriter lead;
    lead.I32(77);
    b.Block(4013, lead.Data());
    std::string noEnd = b.Open(); // no end marker
    TGCollFigure doc;
    ASSERT_EQ(0, doc.LoadFromStream(noEnd));
    EXPECT_EQ(1, doc.Count());
    EXPECT_EQ(77, doc.settings.leaderLength);
    EXPECT_EQ(5, doc.BranchAt(0)->number);
    EXPECT_EQ(1, doc.BranchAt(0)->beginNode);
    EXPECT_EQ(2, doc.BranchAt(0)->endNode);
    // A partial tag or a block beyond the end of the file is refused.
    EXPECT_EQ(-1, doc.LoadFromStream(noEnd + "\x01\x02"));
    TFileBuilder bad(22);
    bad.Block(7777, "0123", 400);
    EXPECT_EQ(-1, doc.LoadFromStream(bad.End()));
    EXPECT_EQ(1, doc.Count());
}

TEST_F(DrawingFile, SettingBlocksInAnyOrder) {
    TFileBuilder b(22);
    b.ByteBlock(4011, 0); // speed
    b.ByteBlock(4010, 1); // length
    b.ByteBlock(4009, 0);
    b.ByteBlock(4008, 1);
    // The branch style is an int32 whose low byte counts: the block after it
    // is read right only when all four bytes are taken.
    b.IntBlock(4001, 0x0102);
    b.IntBlock(4013, 55);
    b.IntBlock(4005, 41);
    b.IntBlock(4016, 42);
    TGCollFigure doc;
    ASSERT_EQ(0, doc.LoadFromStream(b.End()));
    EXPECT_EQ((std::array<uint8_t, 4>{1, 0, 0, 1}), DrawingGlobals().FlowCaptionFlags);
    EXPECT_EQ(55, doc.settings.leaderLength);
    EXPECT_EQ(41, DrawingGlobals().DataOffset);
    EXPECT_EQ(42, DrawingGlobals().ArrowOffset);
}

TEST_F(DrawingFile, ValuesBeyondTheLimitsAreRefused) {
    TGCollFigure doc;
    BuildSample(doc);
    const TSnapshot before = Snap(doc);
    auto refused = [&](const std::string& file, const char* what) {
        EXPECT_EQ(-1, doc.LoadFromStream(file)) << what;
        EXPECT_EQ(before, Snap(doc)) << what;
    };
    auto with = [](auto fill) {
        TFileBuilder b(22);
        fill(b);
        return b.End();
    };
    refused(with([](TFileBuilder& b) {
                TBinaryWriter p;
                WriteCountedString(p, std::string(256, 'a'));
                b.Block(4017, p.Data(), 4);
            }),
            "folder of 256 bytes");
    refused(with([](TFileBuilder& b) {
                TBinaryWriter p;
                p.I32(5);
                p.I32(4019);
                for (int i = 0; i < 5; ++i) p.FixedText("", 36);
                b.Block(4019, p.Data());
            }),
            "scheme kind 5");
    refused(with([](TFileBuilder& b) {
                TBinaryWriter p;
                TFontRecord f;
                WriteFontRecord(p, f);
                std::string bytes = p.Take();
                bytes[8] = 32; // name length byte
                b.Block(2001, bytes);
            }),
            "font name of 32");
    refused(with([](TFileBuilder& b) {
                TBinaryWriter p;
                p.I32(-3);
                b.Block(1007, p.Data());
            }),
            "negative node count");
    refused(with([](TFileBuilder& b) {
                TBinaryWriter p;
                p.I32(1000000);
                b.Block(1007, p.Data());
            }),
            "node count beyond the file");
    refused(with([](TFileBuilder& b) {
                TBinaryWriter p;
                p.I32(1 << 30);
                b.Block(4020, p.Data());
            }),
            "layer count beyond the file");

    // Figure payloads patched at their count fields.
    TGLine line;
    line.name = "ab";
    TBinaryWriter base;
    line.TGCustomFigure::SaveToStream(base);
    TBinaryWriter full;
    line.SaveToStream(full);
    const std::string payload = full.Take();
    auto patched = [&](size_t offset, int32_t value) {
        std::string p = payload;
        std::memcpy(p.data() + offset, &value, 4);
        return with([&](TFileBuilder& b) { b.Block(1001, p); });
    };
    const size_t imageLen = 8;            // style, tag
    const size_t visCount = imageLen + 4; // after the empty image string
    const size_t layerAt = visCount + 4 + 5;
    const size_t recordBytes = layerAt + 8 + 4;
    const size_t captionCount = base.Size() + 4 + 4 + 2 + 16 + 4;
    refused(patched(visCount, 6), "six visibility bytes");
    refused(patched(recordBytes, 221), "221 record bytes");
    refused(patched(captionCount, 21), "caption count 21");
    refused(patched(captionCount, -1), "negative caption count");
    refused(patched(imageLen, -5), "negative string length");

    TGPolyLine bent;
    bent.EditVertex({0, 0}, {5, 5}, {});
    bent.EditVertex({5, 5}, {9, 0}, {});
    TBinaryWriter bw;
    bent.SaveToStream(bw);
    const std::string bentPayload = bw.Take();
    auto bentWith = [&](int32_t count) {
        std::string p = bentPayload;
        std::memcpy(p.data() + p.size() - 4 - 8 * 2, &count, 4);
        return with([&](TFileBuilder& b) { b.Block(1002, p); });
    };
    refused(bentWith(-2), "bend count -2");
    refused(bentWith(0x7FFFFFFF), "bend count beyond the file");
    refused(bentWith(2), "one bend more than written");
}

TEST_F(DrawingFile, LongFolderNamesAreCutToWhatAFileHolds) {
    TGCollFigure doc;
    WindowState().PlaFolder = std::string(300, 'p');
    const std::string file = Save(doc);
    WindowState().PlaFolder.clear();
    ASSERT_EQ(0, doc.LoadFromStream(file));
    EXPECT_EQ(std::string(255, 'p'), WindowState().PlaFolder);
}

TEST_F(DrawingFile, CaptionCountBelowTheLimitIsRead) {
    // Twenty caption records are read and written back.
    TGLine line;
    line.captionCount = 20;
    line.Caption(20).a = 42;
    TBinaryWriter w;
    line.SaveToStream(w);
    TGLine back;
    std::string bytes = w.Take();
    TBinaryReader r(bytes);
    ASSERT_TRUE(back.LoadFromStream(22, r));
    EXPECT_EQ(20, back.captionCount);
    EXPECT_EQ(42, back.Caption(20).a);
}

TEST_F(DrawingFile, MissingPicturesAndSymbolsStayAndAreReportedOnce) {
    TGCollFigure doc;
    auto* a = static_cast<TGPicture*>(doc.AddFigure(kKindPicture));
    a->imageName = "lamp";
    auto* b = static_cast<TGPicture*>(doc.AddFigure(kKindPicture));
    b->imageName = "pump";
    auto* s = static_cast<TGUO*>(doc.AddFigure(kKindSymbol));
    s->placed.name = "Nowhere";
    const std::string file = Save(doc);
    messages.Expect(mrOk, "Не найдены условные обозначения");
    messages.Expect(mrOk, "Не найдены картинки");
    TGCollFigure back;
    ASSERT_EQ(0, back.LoadFromStream(file));
    EXPECT_EQ(0u, messages.PendingExpectations());
    EXPECT_EQ(3, back.Count());
    EXPECT_EQ(-1, static_cast<TGPicture*>(back.Figure(0))->imageIndex);
    EXPECT_EQ((std::vector<std::string>{Ru("Нет lamp"), Ru("Нет pump"), Ru("Нет Nowhere")}),
              WindowState().MissingLog);
    EXPECT_EQ(file, Save(back)); // saved again, nothing lost
}

TEST_F(DrawingFile, Version1FileWithItsUntaggedNodeList) {
    messages.Expect(mrOk, "Данные подготовлены в устаревшей версии программы. Обратитесь к "
                          "разработчикам программы.");
    TGCollFigure doc;
    ASSERT_EQ(0, doc.LoadFromStream(Version1File()));
    ASSERT_EQ(2, doc.Count());
    EXPECT_EQ(3, doc.nodes.Count());
    EXPECT_EQ(-1, doc.nodes.nextTempNumber); // no number below -1
    TGBranch* one = doc.BranchAt(0);
    EXPECT_EQ(1, one->number);
    EXPECT_EQ(0, one->flagA); // before version 17 the flag is inverted
    EXPECT_EQ(1, one->showFlag);
    EXPECT_EQ(1, one->Caption(5).a); // before version 5: record 5 is record 1
    EXPECT_EQ(10, one->Caption(5).b);
    // No stored angle: the arrow goes beside the middle of the line.
    EXPECT_EQ((TPoint{50, 30}), one->Caption(5).anchor);
    EXPECT_EQ(0, one->Caption(5).colour);
    EXPECT_DOUBLE_EQ(0.0, one->angle);
    EXPECT_EQ(2, one->endNode);
    EXPECT_EQ(-2, doc.BranchAt(1)->number); // the temporary number follows 1
    // Older than 21: scheme 2 with its reset record, no junctions.
    const TDrawingGlobals& g = DrawingGlobals();
    EXPECT_EQ(2, g.SchemeKind);
    EXPECT_EQ(3, g.SchemeViewFlags[2].style);
    EXPECT_EQ(20, g.SchemeViewFlags[2].width);
    EXPECT_EQ((std::array<uint8_t, 8>{0, 0, 1, 0, 1, 0, 0, 1}), g.SchemeViewFlags[2].show);
    EXPECT_EQ(0, g.ShowJunctions);
    EXPECT_EQ(3, g.DefaultBranchStyle);
}

TEST_F(DrawingFile, Version18And20Files) {
    for (int32_t v : {18, 20}) {
        ResetAll();
        messages.Expect(mrOk);
        TGCollFigure doc;
        ASSERT_EQ(0, doc.LoadFromStream(OldFile(v))) << v;
        ASSERT_EQ(2, doc.Count());
        TGBranch* br = doc.BranchAt(0);
        EXPECT_EQ(Ru("Уклон"), br->name);
        EXPECT_EQ(1, br->flagA) << v;    // read and no longer inverted
        EXPECT_EQ(1, br->flagB) << v;    // read 0, inverted before 21
        EXPECT_EQ(0, br->showFlag) << v; // read from version 10
        EXPECT_DOUBLE_EQ(0.5, br->Caption(2).angle);
        EXPECT_DOUBLE_EQ(-1.0, br->labelAngle);
        EXPECT_EQ(7, br->Caption(1).colour);
        EXPECT_EQ(255, br->Caption(5).colour);
        EXPECT_EQ(4, br->extraInt);
        EXPECT_EQ(v >= 20 ? 1 : 0, br->layer) << v;
        EXPECT_EQ(v >= 20 ? 0x00AA00 : 0, br->pen.colour) << v;
        EXPECT_DOUBLE_EQ(kPi / 2, br->angle); // recomputed from the points
        EXPECT_EQ(4, br->beginNode);
        EXPECT_EQ(7, br->endNode);
        EXPECT_EQ(Ru("Горные работы"), doc.layers.Layer(1).name);
        EXPECT_EQ(2, DrawingGlobals().SchemeKind);
        EXPECT_EQ(0, DrawingGlobals().ShowJunctions);
        // v < 22 keeps the read attributes in every scheme record.
        EXPECT_EQ(br->schemeAttrs[3].width, 8);
    }
}

TEST_F(DrawingFile, NodeBlockSetsTheNextTemporaryNumber) {
    auto nextTemp = [](const std::vector<std::pair<int32_t, TPoint>>& nodes) {
        const std::string block = NodeBlock(nodes);
        TBinaryReader r(block);
        TGCollNode read;
        EXPECT_TRUE(read.LoadFromStream(r, 22));
        return read.nextTempNumber;
    };
    EXPECT_EQ(-1, nextTemp({}));
    EXPECT_EQ(-1, nextTemp({{3, {0, 0}}, {0, {1, 0}}}));
    EXPECT_EQ(-1, nextTemp({{3, {0, 0}}, {-1, {1, 0}}})); // -1 is not below -1
    EXPECT_EQ(-6, nextTemp({{-2, {0, 0}}, {-5, {1, 0}}, {4, {2, 0}}}));
    // Consecutive numbers: the smallest decides, not the running result.
    EXPECT_EQ(-4, nextTemp({{-1, {0, 0}}, {-2, {1, 0}}, {-3, {2, 0}}}));
    EXPECT_EQ(-4, nextTemp({{-3, {0, 0}}, {-2, {1, 0}}, {-1, {2, 0}}}));
}

TEST_F(DrawingFile, OldFiguresBelongToLayerZeroWhateverTheWindowChose) {
    // Before version 20 a figure stores no layer: the layer chosen in the
    // window's layer box, and that layer's pen, must not leak into it.
    messages.Expect(mrOk);
    TGCollFigure doc;
    doc.layers.AddLayer();
    doc.layers.Layer(1).colour = 0x00FF00;
    doc.layers.Layer(1).penWidth = 7;
    WindowState().CurrentLayer = 1;
    TFileBuilder b(18);
    b.Block(1007, NodeBlock({{4, {0, 0}}, {7, {0, 50}}}));
    b.Block(1001, OldLine(18, 3, "x", {0, 0}, {0, 50}));
    TBinaryWriter ellipse;
    OldBase(ellipse, 18, 8, 1, 0);
    WriteRect(ellipse, {0, 40, 40, 0});
    b.Block(1009, ellipse.Data());
    ASSERT_EQ(0, doc.LoadFromStream(b.End()));
    ASSERT_EQ(2, doc.Count());
    EXPECT_EQ(0, doc.Figure(0)->layer);
    EXPECT_EQ(0, doc.Figure(1)->layer);
    EXPECT_EQ(0, doc.Figure(1)->pen.colour);
    EXPECT_EQ(1, doc.Figure(1)->pen.width);
    // From version 20 the stored layer counts.
    ResetAll();
    messages.Expect(mrOk);
    WindowState().CurrentLayer = 1;
    ASSERT_EQ(0, doc.LoadFromStream(OldFile(20)));
    EXPECT_EQ(1, doc.Figure(0)->layer);
    EXPECT_EQ(0, doc.Figure(1)->layer);
}

TEST_F(DrawingFile, EveryTruncationIsRefusedOrLoadsWholeBlocks) {
    messages.AllowAny();
    TGCollFigure doc;
    BuildSample(doc);
    const std::string file = Save(doc);
    TGCollFigure target;
    BuildSample(target);
    ASSERT_EQ(0, target.LoadFromStream(file));
    const TSnapshot before = Snap(target);
    ASSERT_EQ(file, before.file);
    int loaded = 0;
    for (size_t cut = 0; cut < file.size(); ++cut) {
        int32_t result = target.LoadFromStream(std::string_view(file).substr(0, cut));
        if (result == 0) {
            ++loaded; // ended cleanly between two blocks
            target.LoadFromStream(before.file);
            ASSERT_EQ(before.file, Save(target)) << cut;
            continue;
        }
        ASSERT_EQ(-1, result);
        ASSERT_EQ(before, Snap(target)) << cut;
    }
    // The header alone and each block boundary after it load.
    EXPECT_GE(loaded, 40);
    EXPECT_LE(loaded, 60);
}

namespace {

// Loads damaged copies of a file into a document that holds the file. A
// refused copy must leave everything as it was; a copy that loads is undone
// by starting again, with a fresh document, from the state before the file
// was first loaded.
void FuzzLoads(const std::string& file, int rounds, unsigned seed) {
    const TDrawingGlobals globals = DrawingGlobals();
    const TWindowState state = WindowState();
    std::unique_ptr<TGCollFigure> owner;
    auto restart = [&] {
        DrawingGlobals() = globals;
        WindowState() = state;
        owner = std::make_unique<TGCollFigure>();
        owner->images.Add("fan", TBitmap32(1, 1));
        ASSERT_EQ(0, owner->LoadFromStream(file));
        WindowState().MissingLog.clear();
    };
    restart();
    const TSnapshot before = Snap(*owner);
    std::mt19937 rng(seed);
    const int32_t extremes[] = {
        0, -1, 1, 21, 256, 0x7FFFFFFF, static_cast<int32_t>(0x80000000), 1000000, -100000000};
    int refused = 0;
    for (int round = 0; round < rounds; ++round) {
        std::string damaged = file;
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            if (damaged.size() <= kDrawingHeaderSize) break;
            size_t at = kDrawingHeaderSize + rng() % (damaged.size() - kDrawingHeaderSize);
            switch (rng() % 3) {
            case 0:
                damaged[at] = static_cast<char>(rng());
                break;
            case 1: {
                int32_t v = extremes[rng() % std::size(extremes)];
                if (at + 4 <= damaged.size()) std::memcpy(damaged.data() + at, &v, 4);
                break;
            }
            default:
                damaged.erase(at, 1 + rng() % 8);
                break;
            }
        }
        if (owner->LoadFromStream(damaged) == 0) {
            restart();
            ASSERT_EQ(before, Snap(*owner)) << round;
            continue;
        }
        ++refused;
        ASSERT_EQ(before, Snap(*owner)) << round;
    }
    EXPECT_GT(refused, rounds / 30);
}

} // namespace

TEST_F(DrawingFile, RandomDamageNeverHurts) {
    // ARV_FUZZ_ROUNDS and ARV_FUZZ_SEED run it longer by hand.
    const char* roundsEnv = std::getenv("ARV_FUZZ_ROUNDS");
    const char* seedEnv = std::getenv("ARV_FUZZ_SEED");
    const int rounds = roundsEnv ? std::atoi(roundsEnv) : 10000;
    const unsigned seed = seedEnv ? static_cast<unsigned>(std::atoi(seedEnv)) : 20240611u;
    messages.AllowAny();
    TGCollFigure sample;
    BuildSample(sample);
    const std::string files[] = {Save(sample), OldFile(18), Version1File()};
    for (const std::string& file : files) {
        ResetAll();
        FuzzLoads(file, rounds, seed);
    }
}

TEST_F(DrawingFile, FilesOnDisk) {
    auto dir = MakeTestFolder();
    const std::string name = (dir / "mine.grh").string();
    TGCollFigure doc;
    BuildSample(doc);
    std::string error;
    ASSERT_TRUE(WriteDrawingFile(doc, name, "net", &error)) << error;
    TGCollFigure back;
    back.images.Add("fan", TBitmap32(1, 1));
    std::string net;
    ASSERT_EQ(0, ReadDrawingFile(back, name, &net));
    EXPECT_EQ("net", net);
    EXPECT_EQ(doc.Count(), back.Count());
    EXPECT_EQ(-1, ReadDrawingFile(back, (dir / "none.grh").string()));
    EXPECT_FALSE(WriteDrawingFile(doc, (dir / "no" / "such" / "x.grh").string(), "", &error));
}
