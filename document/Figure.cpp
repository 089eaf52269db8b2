#include "document/Figure.h"

#include "document/DrawingGlobals.h"
#include "document/WindowHost.h"

#include <algorithm>
#include <cstring>

namespace arv {

bool IsFigureKind(int32_t kind) {
    return kind >= kKindLine && kind <= kKindALine && kind != kKindNodeBlock;
}

int32_t Len(std::string_view s) {
    return ClampI(static_cast<int64_t>(s.size()));
}

void WriteCountedString(TBinaryWriter& w, std::string_view s) {
    w.I32(Len(s));
    w.Bytes(s);
}

bool ReadCountedString(TBinaryReader& r, std::string& out, size_t maxLength) {
    int32_t n = r.I32();
    if (r.Failed() || n < 0 || static_cast<size_t>(n) > maxLength || !r.Has(n)) {
        r.Fail();
        return false;
    }
    out = r.Bytes(static_cast<size_t>(n));
    return !r.Failed();
}

void WritePoint(TBinaryWriter& w, TPoint p) {
    w.I32(p.x);
    w.I32(p.y);
}

TPoint ReadPoint(TBinaryReader& r) {
    TPoint p;
    p.x = r.I32();
    p.y = r.I32();
    return p;
}

void WriteRect(TBinaryWriter& w, const TRect& b) {
    w.I32(b.left);
    w.I32(b.top);
    w.I32(b.right);
    w.I32(b.bottom);
}

TRect ReadRect(TBinaryReader& r) {
    TRect b;
    b.left = r.I32();
    b.top = r.I32();
    b.right = r.I32();
    b.bottom = r.I32();
    return b;
}

namespace {
// Pen and brush records share one 16-byte layout: three int32, a style byte
// and three pad bytes.
void WriteRecord16(TBinaryWriter& w, int32_t first, int32_t second, int32_t third, uint8_t style) {
    w.I32(first);
    w.I32(second);
    w.I32(third);
    w.U8(style);
    w.FixedText("", 3);
}

template <typename T> T ReadRecord16(TBinaryReader& r) {
    const int32_t first = r.I32(), second = r.I32(), third = r.I32();
    const uint8_t style = r.U8();
    r.Skip(3);
    return T{first, second, third, style};
}

void WritePen(TBinaryWriter& w, const TPenRecord& p) {
    WriteRecord16(w, p.reserved, p.colour, p.width, p.style);
}

void WriteBrush(TBinaryWriter& w, const TBrushRecord& b) {
    WriteRecord16(w, b.reserved, b.colour, b.reserved2, b.style);
}

TPenRecord ReadPen(TBinaryReader& r) {
    return ReadRecord16<TPenRecord>(r);
}

TBrushRecord ReadBrush(TBinaryReader& r) {
    return ReadRecord16<TBrushRecord>(r);
}
} // namespace

void WriteViewAttrs(TBinaryWriter& w, const TViewAttrs& a) {
    w.I32(a.style);
    WritePen(w, a.pen);
    WriteBrush(w, a.brush);
    w.I32(a.width);
    w.U8(a.flagA);
    w.U8(a.flagB);
    w.FixedText("", 2);
}

TViewAttrs ReadViewAttrs(TBinaryReader& r) {
    TViewAttrs a;
    a.style = r.I32();
    a.pen = ReadPen(r);
    a.brush = ReadBrush(r);
    a.width = r.I32();
    a.flagA = r.U8();
    a.flagB = r.U8();
    r.Skip(2);
    return a;
}

TGCustomFigure::TGCustomFigure(int32_t kindCode) : kind(kindCode) {
    layer = std::max<int32_t>(0, WindowState().CurrentLayer);
    for (int i = 0; i < kSchemeCount; ++i) StoreViewAttrs(i);
}

const TLayerRecord* TGCustomFigure::CreationLayer(const TGLajer* layers, int32_t layerIndex) {
    if (!layers || layerIndex < 1 || !layers->Exists(layerIndex)) return nullptr;
    return &layers->Layer(layerIndex);
}

TViewAttrs TGCustomFigure::CurrentViewAttrs() const {
    return TViewAttrs{style, pen, brush, width, flagA, flagB};
}

void TGCustomFigure::StoreViewAttrs(int scheme) {
    if (scheme < 0 || scheme >= kSchemeCount) return;
    schemeAttrs[scheme] = CurrentViewAttrs();
}

void TGCustomFigure::LoadViewAttrs(int scheme) {
    if (scheme < 0 || scheme >= kSchemeCount) return;
    const TViewAttrs& a = schemeAttrs[scheme];
    style = a.style;
    pen = a.pen;
    brush = a.brush;
    width = a.width;
    flagA = a.flagA;
    flagB = a.flagB;
}

void ApplyLineStyle(TGCustomFigure& f, int32_t s, int32_t c) {
    switch (s) {
    case 1:
    case 2:
        f.pen.colour = c;
        f.brush.colour = c;
        f.pen.style = 0;
        f.brush.style = s == 1 ? 0 : 1;
        break;
    case 3:
        f.pen.colour = 0;
        f.brush.colour = c;
        f.pen.style = 0;
        f.brush.style = 0;
        break;
    case 4:
        f.pen.colour = c;
        f.brush.colour = c;
        f.pen.style = 2;
        f.brush.style = 1;
        f.style = 1;
        f.pen.width = 1;
        break;
    default:
        break;
    }
}

bool TGCustomFigure::LayerShown() const {
    const TSchemeRecord& rec = CurrentSchemeRecord();
    // A layer beyond the scheme record's twelve follows layer 0.
    int l = layer >= 0 && layer < kSchemeLayerCount ? layer : 0;
    return rec.layers[l] != 0;
}

bool TGCustomFigure::IsVisibleIn(const TRect& r) {
    int k = DrawingGlobals().SchemeKind;
    if (k < 0 || k >= kSchemeCount) k = 0;
    bool shown = (schemeVisible[k] != 0 && LayerShown()) || WindowState().MsxAll;
    if (shown) {
        shown =
            box.right > r.left && box.left < r.right && box.top > r.bottom && box.bottom < r.top;
    }
    VisibleFlag = shown ? 1 : 0;
    return shown;
}

bool TGCustomFigure::HitTest(TPoint p) {
    degenerateW = box.left == box.right;
    degenerateH = box.top == box.bottom;
    bool inX = (box.left <= p.x && p.x <= box.right) || degenerateW;
    bool inY = (box.bottom <= p.y && p.y <= box.top) || degenerateH;
    return inX && inY;
}

int32_t TGCustomFigure::StreamSize(int32_t v) const {
    int64_t s = v >= 17 ? Len(image) + 20 : 16;
    if (v >= 18) s += 9;
    if (v >= 22) s += 220;
    if (v >= 21) s += 2;
    if (v >= 20) s += Len(text) + 44;
    return ClampI(s);
}

int32_t TGCustomFigure::SaveToStream(TBinaryWriter& w) const {
    size_t start = w.Size();
    w.I32(style);
    w.I32(tag);
    WriteCountedString(w, image);
    w.I32(5);
    for (uint8_t b : schemeVisible) w.U8(b);
    w.I32(layer);
    w.I32(extra);
    WriteCountedString(w, text);
    w.I32(kSchemeCount * kViewAttrsSize);
    for (const TViewAttrs& a : schemeAttrs) WriteViewAttrs(w, a);
    return static_cast<int32_t>(w.Size() - start);
}

bool TGCustomFigure::LoadFromStream(int32_t v, TBinaryReader& r) {
    if (v >= 22) {
        style = r.I32();
        tag = r.I32();
        if (!ReadCountedString(r, image)) return false;
        int32_t k = r.I32();
        if (r.Failed() || k < 0 || k > 5) return false;
        for (int32_t i = 0; i < k; ++i) schemeVisible[i] = r.U8();
        layer = r.I32();
        extra = r.I32();
        if (!ReadCountedString(r, text)) return false;
        int32_t m = r.I32();
        if (r.Failed() || m < 0 || m > kSchemeCount * kViewAttrsSize || !r.Has(m)) return false;
        // A shorter record area overwrites only the start of the records.
        TBinaryWriter current;
        for (const TViewAttrs& a : schemeAttrs) WriteViewAttrs(current, a);
        std::string bytes = current.Take();
        std::string part = r.Bytes(static_cast<size_t>(m));
        std::memcpy(bytes.data(), part.data(), part.size());
        TBinaryReader records(bytes);
        for (TViewAttrs& a : schemeAttrs) a = ReadViewAttrs(records);
        return !r.Failed();
    }
    style = r.I32();
    width = r.I32();
    brush.colour = r.I32();
    tag = r.I32();
    if (v >= 17 && !ReadCountedString(r, image)) return false;
    if (v >= 18) {
        int32_t k = r.I32();
        if (r.Failed() || k < 0 || k > 5) return false;
        for (int32_t i = 0; i < k; ++i) schemeVisible[i] = r.U8();
    }
    if (v >= 20) {
        layer = r.I32();
        extra = r.I32();
        brush = ReadBrush(r);
        pen = ReadPen(r);
        if (!ReadCountedString(r, text)) return false;
    }
    if (v >= 21) {
        flagA = r.U8();
        flagB = r.U8();
    }
    if (r.Failed()) return false;
    if (layer < 0) layer = 0;
    for (int i = 0; i < kSchemeCount; ++i) StoreViewAttrs(i);
    return true;
}

int32_t TGCustomFigure::NodeMoved(int32_t, TPoint) {
    return 0;
}

} // namespace arv
