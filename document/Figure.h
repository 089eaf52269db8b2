// The figure base: every object of the plan (branches and annotation figures)
// derives from TGCustomFigure, keeps its current drawing attributes and one
// attribute record per scheme, and streams itself into a drawing-file block.
#pragma once

#include "document/Geometry.h"
#include "document/Layers.h"
#include "platform/BinaryIo.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace arv {

class TGCollFigure;

// Kind codes of the figure classes; also the block tags of the drawing file.
enum TFigureKind : int32_t {
    kKindLine = 1001,
    kKindPolyLine = 1002,
    kKindArc = 1003,
    kKindText = 1004,
    kKindPicture = 1005,
    kKindSymbol = 1006,
    kKindNodeBlock = 1007, // no figure: the node block of the file
    kKindRectangle = 1008,
    kKindEllipse = 1009,
    kKindPolygon = 1010,
    kKindALine = 1011,
};
bool IsFigureKind(int32_t kind);

// The version the writer puts into every drawing file.
constexpr int32_t kDrawingVersion = 22;
// Node record index meaning "no node".
constexpr int32_t kNoNode = 268435455;

struct TPenRecord {
    int32_t reserved = 0;
    int32_t colour = 0;
    int32_t width = 1;
    uint8_t style = 0; // 0 solid, 2 dotted, ...
    bool operator==(const TPenRecord&) const = default;
};

struct TBrushRecord {
    int32_t reserved = 0;
    int32_t colour = 0;
    int32_t reserved2 = 0;
    uint8_t style = 1; // 0 solid, 1 clear, ...
    bool operator==(const TBrushRecord&) const = default;
};

// One scheme's attributes of a figure (44 bytes in the file).
struct TViewAttrs {
    int32_t style = 0;
    TPenRecord pen;
    TBrushRecord brush;
    int32_t width = 1;
    uint8_t flagA = 1;
    uint8_t flagB = 1;
    bool operator==(const TViewAttrs&) const = default;
};
constexpr int kViewAttrsSize = 44;

class TGCustomFigure {
public:
    explicit TGCustomFigure(int32_t kindCode);
    virtual ~TGCustomFigure() = default;
    TGCustomFigure(const TGCustomFigure&) = delete;
    TGCustomFigure& operator=(const TGCustomFigure&) = delete;

    int32_t kind;
    std::string text; // the figure's name; captions of pictures and symbols
    int32_t style = 0;
    int32_t layer = 0;
    int32_t extra = 0;
    TBrushRecord brush;
    int32_t width = 1;
    TPenRecord pen;
    double angle = 0; // radians for branches and plain lines, degrees for texts
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    uint8_t VisibleFlag = 0;
    TRect box;
    TRect box2;
    uint8_t flagA = 1;
    uint8_t flagB = 1;
    int32_t tag = 0;
    int32_t HitDistance = 0;
    std::array<uint8_t, 5> schemeVisible{1, 1, 1, 1, 1};
    std::string image;
    std::array<TViewAttrs, 5> schemeAttrs{};
    uint8_t degenerateW = 0, degenerateH = 0;
    // The document that owns the figure (null for a figure on its own).
    TGCollFigure* doc = nullptr;

    virtual void SetWidth(int32_t value) { width = value; }
    virtual bool IsVisibleIn(const TRect& r);
    virtual bool HitTest(TPoint p);
    virtual int32_t StreamSize(int32_t version) const;
    // Writes the payload of version 22; returns the bytes written.
    virtual int32_t SaveToStream(TBinaryWriter& w) const;
    // Reads the payload of a file version; false on a truncated payload or a
    // value beyond the limits a file must respect.
    virtual bool LoadFromStream(int32_t version, TBinaryReader& r);
    // A node of the given number moved: branch ends follow. Result: which
    // end moved (1 begin, 2 end, 3 both), 0 none.
    virtual int32_t NodeMoved(int32_t number, TPoint p);
    // Drops the figure's references before it is freed.
    virtual void Release() {}

    bool IsBranch() const { return kind == kKindLine || kind == kKindPolyLine; }
    void StoreViewAttrs(int scheme);
    // The current attributes from one scheme's record.
    void LoadViewAttrs(int scheme);
    TViewAttrs CurrentViewAttrs() const;

    // The layer record a new figure takes its defaults from, when its layer
    // is 1 or more and exists.
    static const TLayerRecord* CreationLayer(const TGLajer* layers, int32_t layer);

protected:
    // Is the figure's layer shown in the scheme in force?
    bool LayerShown() const;
};

// A branch or plain line drawn in line style s (1 single, 2 double, 3 double
// filled, 4 dashed) of colour c: pen and brush colours and styles; style 4
// also turns the figure's style to 1 and its pen width to 1. Other styles
// change nothing.
void ApplyLineStyle(TGCustomFigure& f, int32_t s, int32_t c);

// Counted strings: int32 length, then the CP1251 bytes.
void WriteCountedString(TBinaryWriter& w, std::string_view s);
bool ReadCountedString(TBinaryReader& r, std::string& out,
                       size_t maxLength = std::numeric_limits<size_t>::max());
void WritePoint(TBinaryWriter& w, TPoint p);
TPoint ReadPoint(TBinaryReader& r);
void WriteRect(TBinaryWriter& w, const TRect& b);
TRect ReadRect(TBinaryReader& r);
void WriteViewAttrs(TBinaryWriter& w, const TViewAttrs& a);
TViewAttrs ReadViewAttrs(TBinaryReader& r);
// Length of a string as the size fields count it.
int32_t Len(std::string_view s);

} // namespace arv
