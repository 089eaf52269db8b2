#include "document/DrawingFile.h"

#include "document/Branch.h"
#include "document/Constants.h"
#include "document/DrawingGlobals.h"
#include "document/TextFigures.h"
#include "document/WindowHost.h"
#include "platform/Files.h"
#include "platform/Services.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace arv {

namespace {

// Block tags of the drawing file besides the figure kinds.
enum TBlockTag : int32_t {
    kTagEnd = -1,
    kTagDrawPictures = 1,
    kTagNegativeNodes = 15,
    kTagFont1 = 2001,
    kTagFont5 = 2005,
    kTagSymbolSize = 3001,
    kTagBranchStyle = 4001,
    kTagArrowSize = 4002,
    kTagNodeSize = 4003,
    kTagWidthDefault = 4004,
    kTagDataOffset = 4005,
    kTagArrowScale = 4006,
    kTagArrowInside = 4007,
    kTagCaptionFlow = 4008,
    kTagCaptionSection = 4009,
    kTagCaptionLength = 4010,
    kTagCaptionSpeed = 4011,
    kTagDrawFrame = 4012,
    kTagLeaderLength = 4013,
    kTagFrameColour = 4014,
    kTagShowCalcData = 4015,
    kTagArrowOffset = 4016,
    kTagPlaFolder = 4017,
    kTagPhotoFolder = 4018,
    kTagSchemes = 4019,
    kTagLayers = 4020,
    kTagNetworkData = 4021,
    kTagSymbolText = 4022,
};

constexpr size_t kFolderMax = 255;
constexpr int kNodeEntrySize = 26;
constexpr int kSchemeRecordSize = 36;

void WriteSchemeRecord(TBinaryWriter& w, const TSchemeRecord& s) {
    w.U8(s.style);
    w.FixedText("", 3);
    w.I32(s.lineColor);
    w.I32(s.width);
    for (uint8_t b : s.show) w.U8(b);
    for (uint8_t b : s.layers) w.U8(b);
    w.I32(s.penWidth);
}

TSchemeRecord ReadSchemeRecord(TBinaryReader& r) {
    TSchemeRecord s;
    s.style = r.U8();
    r.Skip(3);
    s.lineColor = r.I32();
    s.width = r.I32();
    for (uint8_t& b : s.show) b = r.U8();
    for (uint8_t& b : s.layers) b = r.U8();
    s.penWidth = r.I32();
    return s;
}

// Everything a drawing file sets, read completely before any of it reaches
// the document, so that a refused file changes nothing.
struct TStagedDrawing {
    std::array<uint8_t, 204> header{};
    int32_t version = 0;
    std::optional<TGCollNode> nodes;
    int32_t nodeSize = 0;
    int32_t nodeSizeScaled = 0;
    std::vector<std::unique_ptr<TGCustomFigure>> figures;
    std::optional<std::string> symbolText;
    std::string networkText;
    TDrawingSettings settings;
    TDrawingGlobals globals;
    TGLajer layers;
    std::string plaFolder;
    std::string photoFolder;
};

class TDrawingReader {
public:
    TDrawingReader(TGCollFigure& doc, std::string_view bytes) : doc_(doc), r_(bytes) {}
    // False: the file is refused.
    bool Read(TStagedDrawing& s);

private:
    bool ReadBlock(TStagedDrawing& s, int32_t tag, int32_t size);
    bool Int(int32_t& out) {
        out = r_.I32();
        return !r_.Failed();
    }
    bool Byte(uint8_t& out) {
        out = r_.U8();
        return !r_.Failed();
    }

    TGCollFigure& doc_;
    TBinaryReader r_;
};

bool TDrawingReader::Read(TStagedDrawing& s) {
    std::string head = r_.Bytes(kDrawingHeaderSize);
    if (r_.Failed()) return false;
    std::memcpy(s.header.data(), head.data(), kDrawingHeaderSize);
    std::memcpy(&s.version, head.data() + 4, 4);
    // A file that is no drawing, or of a version this program does not know,
    // is refused rather than read as an empty drawing.
    if (head.compare(0, 4, "G878") != 0 || s.version < 1 || s.version > kDrawingVersion)
        return false;
    if (s.version == 1) {
        TGCollNode nodes;
        if (!nodes.LoadFromStream(r_, 1)) return false;
        s.nodes = std::move(nodes);
    }
    if (s.version < kDrawingVersion) ShowMessage(DrawingMessages().outdatedVersion);
    while (!r_.AtEnd()) {
        int32_t tag;
        if (!Int(tag)) return false;
        if (tag == kTagEnd) break;
        int32_t size;
        if (!Int(size)) return false;
        if (!ReadBlock(s, tag, size)) return false;
    }
    return true;
}

bool TDrawingReader::ReadBlock(TStagedDrawing& s, int32_t tag, int32_t size) {
    TDrawingSettings& set = s.settings;
    TDrawingGlobals& g = s.globals;
    if (IsFigureKind(tag)) {
        // A figure of a file never takes the layer chosen in the window (nor
        // that layer's pen): files before version 20 store no layer, and
        // their figures belong to layer 0.
        std::unique_ptr<TGCustomFigure> f = CreateFigure(tag, &doc_.nodes, nullptr);
        f->layer = 0;
        if (!f->LoadFromStream(s.version, r_)) return false;
        s.figures.push_back(std::move(f));
        return true;
    }
    if (tag >= kTagFont1 && tag <= kTagFont5) {
        TFontRecord& font = set.fonts[tag - kTagFont1];
        if (!ReadFontRecord(r_, font)) return false;
        const int32_t scaled = RoundI(font.size * kPointsToWorld);
        switch (tag) {
        case kTagFont1:
            set.fontSize1 = font.size, set.fontSize1Scaled = scaled;
            break;
        case kTagFont1 + 1:
            s.nodeSize = font.size, s.nodeSizeScaled = scaled;
            break;
        case kTagFont1 + 2:
            set.fontSize3 = font.size, set.fontSize3Scaled = scaled;
            break;
        case kTagFont1 + 3:
            set.fontSize4 = font.size, set.fontSize4Scaled = scaled;
            break;
        default:
            break;
        }
        return true;
    }
    switch (tag) {
    case kKindNodeBlock: {
        TGCollNode nodes;
        if (!nodes.LoadFromStream(r_, s.version)) return false;
        s.nodes = std::move(nodes);
        return true;
    }
    case kTagSymbolText:
    case kTagNetworkData: {
        if (size < 0 || !r_.Has(static_cast<size_t>(size))) return false;
        std::string text = r_.Bytes(static_cast<size_t>(size));
        if (tag == kTagSymbolText) {
            s.symbolText = std::move(text);
        } else {
            s.networkText = std::move(text);
        }
        return true;
    }
    case kTagSymbolSize:
        return Int(set.symbolSize);
    case kTagBranchStyle: {
        int32_t v;
        if (!Int(v)) return false;
        g.DefaultBranchStyle = static_cast<uint8_t>(v & 0xFF);
        if (g.DefaultBranchStyle == 0) g.DefaultBranchStyle = 1;
        return true;
    }
    case kTagArrowSize:
        return Int(set.arrowSize);
    case kTagNodeSize:
        return Int(set.nodeSize);
    case kTagWidthDefault:
        return Int(g.WidthDefault);
    case kTagDataOffset:
        return Int(set.dataOffset);
    case kTagArrowScale:
        return Int(set.arrowScale);
    case kTagArrowInside:
        return Byte(set.arrowInside);
    case kTagCaptionFlow:
        return Byte(g.FlowCaptionFlags[0]);
    case kTagCaptionSection:
        return Byte(g.FlowCaptionFlags[1]);
    case kTagCaptionLength:
        return Byte(g.FlowCaptionFlags[3]);
    case kTagCaptionSpeed:
        return Byte(g.FlowCaptionFlags[2]);
    case kTagDrawFrame:
        return Byte(set.drawFrame);
    case kTagLeaderLength:
        return Int(set.leaderLength);
    case kTagFrameColour:
        return Int(set.frameColour);
    case kTagShowCalcData:
        return Byte(set.showCalcData);
    case kTagNegativeNodes:
        return Byte(set.negativeNodes);
    case kTagDrawPictures:
        return Byte(set.drawPictures);
    case kTagArrowOffset:
        return Int(set.arrowOffset);
    case kTagPlaFolder:
        return ReadCountedString(r_, s.plaFolder, kFolderMax);
    case kTagPhotoFolder:
        return ReadCountedString(r_, s.photoFolder, kFolderMax);
    case kTagSchemes: {
        int32_t kind, unused;
        if (!Int(kind) || !Int(unused)) return false;
        if (kind < 0 || kind >= kSchemeCount) return false;
        if (!r_.Has(kSchemeCount * kSchemeRecordSize)) return false;
        g.SchemeKind = kind;
        for (TSchemeRecord& rec : g.SchemeViewFlags) rec = ReadSchemeRecord(r_);
        return !r_.Failed();
    }
    case kTagLayers:
        return s.layers.LoadFromStream(r_);
    default:
        // Unknown blocks are skipped by their size.
        return size >= 0 && r_.Skip(static_cast<size_t>(size));
    }
}

} // namespace

int32_t TGCollFigure::SaveToStream(TBinaryWriter& w, std::string_view networkDataText) {
    TDrawingGlobals& g = DrawingGlobals();
    TWindowState& state = WindowState();
    std::string editorText;
    if (WindowHost().SymbolEditorText(editorText)) g.SymbolLibraryText = editorText;
    // The text ends with a CR, added once: it must not grow from save to save.
    if (!g.SymbolLibraryText.empty() && g.SymbolLibraryText.back() != '\r')
        g.SymbolLibraryText += '\r';
    for (auto& f : figures) {
        if (f->IsBranch() && f->angle == 0) f->angle = 0.001;
    }
    settings.fonts[0].size = settings.fontSize1;
    settings.fonts[1].size = nodes.nodeSize;
    settings.fonts[2].size = settings.fontSize3;
    settings.fonts[3].size = settings.fontSize4;

    const size_t start = w.Size();
    TBinaryWriter head;
    head.Bytes("G878");
    head.I32(kDrawingVersion);
    head.FixedText("", 84);
    head.I32(Count());
    head.I32(1);
    head.FixedText("", 104);
    w.Bytes(head.Data());
    auto block = [&w](int32_t tag, int32_t size) {
        w.I32(tag);
        w.I32(size);
    };

    block(kKindNodeBlock, kNodeEntrySize * nodes.Count() + 8);
    nodes.SaveToStream(w);
    int64_t counted = static_cast<int64_t>(w.Size() - start);

    if (!g.SymbolLibraryText.empty()) {
        block(kTagSymbolText, Len(g.SymbolLibraryText));
        w.Bytes(g.SymbolLibraryText);
    }
    for (const auto& f : figures) {
        block(f->kind, f->StreamSize(kDrawingVersion));
        counted += 8 + f->SaveToStream(w);
    }
    block(kTagSymbolSize, 4);
    w.I32(settings.symbolSize);
    for (int i = 0; i < 5; ++i) {
        block(kTagFont1 + i, kFontRecordSize);
        WriteFontRecord(w, settings.fonts[i]);
    }
    auto intBlock = [&](int32_t tag, int32_t v) {
        block(tag, 4);
        w.I32(v);
    };
    auto byteBlock = [&](int32_t tag, uint8_t v) {
        block(tag, 4);
        w.U8(v);
    };
    auto folderBlock = [&](int32_t tag, const std::string& folder) {
        block(tag, 4);
        WriteCountedString(w, std::string_view(folder).substr(0, kFolderMax));
    };
    intBlock(kTagBranchStyle, g.DefaultBranchStyle);
    intBlock(kTagArrowSize, settings.arrowSize);
    intBlock(kTagNodeSize, settings.nodeSize);
    intBlock(kTagWidthDefault, g.WidthDefault);
    intBlock(kTagDataOffset, g.DataOffset);
    intBlock(kTagArrowScale, settings.arrowScale);
    byteBlock(kTagArrowInside, settings.arrowInside);
    byteBlock(kTagCaptionFlow, g.FlowCaptionFlags[0]);
    byteBlock(kTagCaptionSection, g.FlowCaptionFlags[1]);
    byteBlock(kTagCaptionSpeed, g.FlowCaptionFlags[2]);
    byteBlock(kTagCaptionLength, g.FlowCaptionFlags[3]);
    byteBlock(kTagDrawFrame, settings.drawFrame);
    intBlock(kTagLeaderLength, settings.leaderLength);
    intBlock(kTagFrameColour, settings.frameColour);
    byteBlock(kTagShowCalcData, settings.showCalcData);
    byteBlock(kTagNegativeNodes, settings.negativeNodes);
    byteBlock(kTagDrawPictures, settings.drawPictures);
    intBlock(kTagArrowOffset, g.ArrowOffset);
    folderBlock(kTagPlaFolder, state.PlaFolder);
    folderBlock(kTagPhotoFolder, state.PhotoFolder);
    block(kTagSchemes, 8 + kSchemeCount * kSchemeRecordSize);
    w.I32(g.SchemeKind);
    w.I32(kTagSchemes);
    for (const TSchemeRecord& rec : g.SchemeViewFlags) WriteSchemeRecord(w, rec);
    block(kTagLayers, layers.StreamSize());
    layers.SaveToStream(w);
    block(kTagNetworkData, Len(networkDataText));
    w.Bytes(networkDataText);
    w.I32(kTagEnd);
    return ClampI(counted + 4);
}

int32_t TGCollFigure::LoadFromStream(std::string_view bytes, std::string* networkDataText) {
    TWindowState& state = WindowState();
    TStagedDrawing s;
    s.settings = settings;
    s.globals = DrawingGlobals();
    s.layers = layers;
    s.nodeSize = nodes.nodeSize;
    s.nodeSizeScaled = nodes.nodeSizeScaled;
    s.plaFolder = state.PlaFolder;
    s.photoFolder = state.PhotoFolder;
    if (!TDrawingReader(*this, bytes).Read(s)) return -1;

    // The file is whole: it replaces the drawing.
    Clear();
    header = s.header;
    if (s.nodes) {
        nodes.Records() = std::move(s.nodes->Records());
        nodes.nextTempNumber = s.nodes->nextTempNumber;
    }
    nodes.nodeSize = s.nodeSize;
    nodes.nodeSizeScaled = s.nodeSizeScaled;
    settings = s.settings;
    layers = std::move(s.layers);
    TDrawingGlobals& g = DrawingGlobals();
    g = s.globals;
    g.SymbolLibraryText = s.symbolText.value_or(std::string());
    if (networkDataText) *networkDataText = std::move(s.networkText);
    state.PlaFolder = std::move(s.plaFolder);
    state.PhotoFolder = std::move(s.photoFolder);
    if (s.symbolText) ParseSymbolText(symbols, *s.symbolText, &state.MissingLog);

    int missingSymbols = 0, missingPictures = 0;
    const std::string& missing = DrawingMessages().missingPrefix;
    for (auto& f : s.figures) {
        f->doc = this;
        figures.push_back(std::move(f));
        TGCustomFigure* fig = figures.back().get();
        if (fig->IsBranch()) {
            static_cast<TGBranch*>(fig)->AttachLoaded();
        } else if (fig->kind == kKindSymbol) {
            // A symbol missing from the library stays in the drawing (drawn
            // as a placeholder) so that saving keeps it.
            auto* uo = static_cast<TGUO*>(fig);
            if (!ResolveSymbol(*uo)) {
                state.MissingLog.push_back(missing + uo->placed.name);
                ++missingSymbols;
            }
        } else if (fig->kind == kKindPicture) {
            auto* pic = static_cast<TGPicture*>(fig);
            pic->imageIndex = FindImageIndex(images, pic->imageName);
            if (pic->imageIndex < 0) {
                state.MissingLog.push_back(missing + pic->imageName);
                ++missingPictures;
            }
        }
    }
    current = Count() - 1;
    tempBranchCounter = ClampI(-1 - static_cast<int64_t>(Count()));

    state.LayerBoxItems.clear();
    for (const TLayerRecord& l : layers.Records()) state.LayerBoxItems.push_back(l.name);
    state.CurrentLayer = 0;
    WindowHost().LayerBoxRefilled();
    if (s.version < 21) {
        g.SchemeKind = 2;
        TSchemeRecord& rec = g.SchemeViewFlags[2];
        rec.style = 3;
        rec.lineColor = 0;
        rec.width = 20;
        rec.penWidth = 1;
        rec.show = {0, 0, 1, 0, 1, 0, 0, 1};
        rec.layers[0] = 1;
        g.ShowJunctions = 0;
    } else {
        g.ShowJunctions = 1;
    }
    state.MOrientBr = false;
    showDirections = 0;
    ApplySchemeRecord(g.SchemeKind);
    WindowHost().SyncViewMenus(g.SchemeKind);
    RenumberTemporaryBranches();
    g.DataOffset = settings.dataOffset;
    g.ArrowOffset = settings.arrowOffset;
    BuildVisibleList();
    if (missingSymbols > 0) ShowMessage(DrawingMessages().symbolsMissing);
    if (missingPictures > 0) ShowMessage(DrawingMessages().picturesMissing);
    return 0;
}

bool WriteDrawingFile(TGCollFigure& doc, std::string_view fileName,
                      std::string_view networkDataText, std::string* errorText) {
    TBinaryWriter w;
    doc.SaveToStream(w, networkDataText);
    return WriteFileAtomic(fileName, w.Data(), errorText);
}

int32_t ReadDrawingFile(TGCollFigure& doc, std::string_view fileName,
                        std::string* networkDataText) {
    std::string bytes;
    if (!ReadFileBytes(fileName, bytes)) return -1;
    return doc.LoadFromStream(bytes, networkDataText);
}

} // namespace arv
