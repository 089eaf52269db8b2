#include "document/TextFigures.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace arv {

// ---- TGText ----

TGText::TGText() : TGCustomFigure(kKindText) {}

void TGText::SetTextAndFont(std::string_view textValue, const TFontRecord& fontValue, TPoint at) {
    content = std::string(textValue);
    anchor = at;
    font = fontValue;
    if (font.name.size() > kFontNameMax) font.name.resize(kFontNameMax);
    fontHeight = RoundI(font.size * kPointsToWorld);
    VisibleFlag = 1;
}

int32_t TGText::StreamSize(int32_t v) const {
    return ClampI(static_cast<int64_t>(TGCustomFigure::StreamSize(v)) + 80 + Len(content));
}

int32_t TGText::SaveToStream(TBinaryWriter& w) const {
    size_t start = w.Size();
    TGCustomFigure::SaveToStream(w);
    WriteCountedString(w, content);
    WritePoint(w, anchor);
    WriteRect(w, box);
    WriteFontRecord(w, font);
    w.F64(angle);
    return static_cast<int32_t>(w.Size() - start);
}

bool TGText::LoadFromStream(int32_t v, TBinaryReader& r) {
    if (!TGCustomFigure::LoadFromStream(v, r)) return false;
    if (!ReadCountedString(r, content)) return false;
    anchor = ReadPoint(r);
    box = ReadRect(r);
    if (!ReadFontRecord(r, font)) return false;
    if (v >= 19) {
        angle = r.F64();
    } else {
        // Older files kept 4 bytes: they fill the low half of the double.
        const uint64_t bits = r.U32();
        angle = std::bit_cast<double>(bits);
    }
    fontHeight = RoundI(font.size * kPointsToWorld);
    return !r.Failed();
}

// ---- TGPicture ----

TGPicture::TGPicture() : TGCustomFigure(kKindPicture) {
    style = 0;
}

void TGPicture::Place(std::string_view name, int32_t index, int32_t, int32_t w, int32_t h,
                      TPoint topLeft) {
    imageName = std::string(name);
    imageIndex = index;
    box = {topLeft.x, topLeft.y, ClampI(static_cast<int64_t>(topLeft.x) + w),
           ClampI(static_cast<int64_t>(topLeft.y) - h)};
    VisibleFlag = 1;
}

int32_t TGPicture::StreamSize(int32_t v) const {
    return ClampI(static_cast<int64_t>(TGCustomFigure::StreamSize(v)) + 8 + Len(imageName) +
                  Len(text) + 16);
}

int32_t TGPicture::SaveToStream(TBinaryWriter& w) const {
    size_t start = w.Size();
    TGCustomFigure::SaveToStream(w);
    WriteCountedString(w, imageName);
    WriteCountedString(w, text);
    WriteRect(w, box);
    for (int32_t v : {angleDegrees, value1, ownSize, value2, value3, captionPosition}) w.I32(v);
    w.U8(captionHidden);
    w.U8(ownSizeFlag);
    return static_cast<int32_t>(w.Size() - start);
}

bool TGPicture::LoadFromStream(int32_t v, TBinaryReader& r) {
    if (!TGCustomFigure::LoadFromStream(v, r)) return false;
    if (!ReadCountedString(r, imageName) || !ReadCountedString(r, text)) return false;
    box = ReadRect(r);
    if (v >= 12) {
        for (int32_t* f : {&angleDegrees, &value1, &ownSize, &value2, &value3, &captionPosition})
            *f = r.I32();
        captionHidden = r.U8();
        ownSizeFlag = r.U8();
    }
    return !r.Failed();
}

// ---- TGUO ----

TGUO::TGUO() : TGCustomFigure(kKindSymbol) {
    style = 0;
    brush.colour = 0; // the symbol colour
}

void TGUO::SetSymbol(const TSymbolRecord& rec, int32_t index, int32_t, int32_t angle, int32_t size,
                     TPoint at) {
    symbolIndex = index;
    placed = rec;
    angleDegrees = angle;
    const int count = std::clamp(placed.count, 0, kMaxPrimitives);
    for (int i = 0; i < count; ++i) {
        for (TPoint& p : placed.prims[i].points) {
            p = {ClampI(static_cast<int64_t>(p.x) + at.x),
                 ClampI(static_cast<int64_t>(p.y) + at.y)};
        }
    }
    anchor = at;
    const int64_t q = size / 4;
    box = {ClampI(at.x - q), ClampI(at.y + q), ClampI(at.x + q), ClampI(at.y - q)};
}

int32_t TGUO::StreamSize(int32_t v) const {
    return ClampI(static_cast<int64_t>(TGCustomFigure::StreamSize(v)) + 22 + Len(placed.name));
}

int32_t TGUO::SaveToStream(TBinaryWriter& w) const {
    size_t start = w.Size();
    TGCustomFigure::SaveToStream(w);
    w.I32(value0);
    w.I32(symbolIndex);
    w.I32(angleDegrees);
    WritePoint(w, anchor);
    WriteRect(w, box);
    WriteCountedString(w, text);
    WriteCountedString(w, placed.name);
    for (int32_t v : {value1, ownSize, value2, captionPosition}) w.I32(v);
    w.U8(captionHidden);
    w.U8(ownSizeFlag);
    return static_cast<int32_t>(w.Size() - start);
}

bool TGUO::LoadFromStream(int32_t v, TBinaryReader& r) {
    if (!TGCustomFigure::LoadFromStream(v, r)) return false;
    value0 = r.I32();
    if (v < 12) r.Skip(4);
    symbolIndex = r.I32();
    angleDegrees = r.I32();
    if (v < 12) r.Skip(2);
    anchor = ReadPoint(r);
    box = ReadRect(r);
    if (!ReadCountedString(r, text) || !ReadCountedString(r, placed.name)) return false;
    if (v >= 12) {
        for (int32_t* f : {&value1, &ownSize, &value2, &captionPosition}) *f = r.I32();
        captionHidden = r.U8();
        ownSizeFlag = r.U8();
    }
    return !r.Failed();
}

} // namespace arv
