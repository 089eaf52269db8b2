#include "platform/RecordingCanvas.h"

#include <cmath>
#include <cstdlib>

namespace arv {

int32_t TRecordingCanvas::CharHeight(int32_t fontHeight) {
    if (fontHeight == 0) return 13;
    // A positive height is the cell; the character is 5/6 of it.
    return fontHeight < 0 ? -fontHeight : fontHeight * 5 / 6;
}

TCanvasCall& TRecordingCanvas::Record(std::string op, std::vector<int32_t> args) {
    TCanvasCall c;
    c.op = std::move(op);
    c.args = std::move(args);
    c.from = penPos_;
    c.pen = pen;
    c.brush = brush;
    c.font = font;
    c.align = textAlign_;
    c.transparentText = transparentText_;
    calls.push_back(std::move(c));
    return calls.back();
}

void TRecordingCanvas::LineTo(int32_t x, int32_t y) {
    Record("LineTo", {x, y});
    penPos_ = {x, y};
}

void TRecordingCanvas::Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) {
    Record("Rectangle", {l, t, r, b});
}

void TRecordingCanvas::Ellipse(int32_t l, int32_t t, int32_t r, int32_t b) {
    Record("Ellipse", {l, t, r, b});
}

void TRecordingCanvas::RoundRect(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h) {
    Record("RoundRect", {l, t, r, b, w, h});
}

void TRecordingCanvas::Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x3, int32_t y3,
                           int32_t x4, int32_t y4) {
    Record("Arc", {l, t, r, b, x3, y3, x4, y4});
}

void TRecordingCanvas::Pie(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x3, int32_t y3,
                           int32_t x4, int32_t y4) {
    Record("Pie", {l, t, r, b, x3, y3, x4, y4});
}

void TRecordingCanvas::Chord(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x3, int32_t y3,
                             int32_t x4, int32_t y4) {
    Record("Chord", {l, t, r, b, x3, y3, x4, y4});
}

void TRecordingCanvas::Polygon(const TCanvasPoint* points, int32_t count) {
    std::vector<int32_t> a;
    for (int32_t i = 0; i < count; ++i) {
        a.push_back(points[i].x);
        a.push_back(points[i].y);
    }
    Record("Polygon", std::move(a));
}

void TRecordingCanvas::Polyline(const TCanvasPoint* points, int32_t count) {
    std::vector<int32_t> a;
    for (int32_t i = 0; i < count; ++i) {
        a.push_back(points[i].x);
        a.push_back(points[i].y);
    }
    Record("Polyline", std::move(a));
}

void TRecordingCanvas::FillRect(const TCanvasRect& r) {
    Record("FillRect", {r.left, r.top, r.right, r.bottom});
}

void TRecordingCanvas::TextOut(int32_t x, int32_t y, std::string_view text) {
    bool cp = (textAlign_ & kTaUpdateCp) != 0;
    TCanvasPoint at = cp ? penPos_ : TCanvasPoint{x, y};
    Record("TextOut", {at.x, at.y}).text = std::string(text);
    if (cp) penPos_ = PenAfterText(at, TextExtent(text).cx, font.escapement, textAlign_);
}

TCanvasSize TRecordingCanvas::TextExtent(std::string_view text) {
    int32_t h = CharHeight(font.height);
    return {static_cast<int32_t>(text.size()) * h * 6 / 10, h + h / 5};
}

void TRecordingCanvas::StretchDraw(const TCanvasRect& r, const TBitmap32& bitmap,
                                   bool transparent) {
    Record("StretchDraw",
           {r.left, r.top, r.right, r.bottom, bitmap.Width, bitmap.Height, transparent ? 1 : 0});
}

void TRecordingCanvas::SetClipRect(const TCanvasRect& r) {
    Record("SetClipRect", {r.left, r.top, r.right, r.bottom});
}

void TRecordingCanvas::NoClip() {
    Record("NoClip", {});
}

int32_t TRecordingCanvas::GetPixel(int32_t, int32_t) {
    return -1;
}

void TRecordingCanvas::SetPixel(int32_t x, int32_t y, int32_t colour) {
    Record("SetPixel", {x, y, colour});
}

std::vector<const TCanvasCall*> TRecordingCanvas::Calls(std::string_view op) const {
    std::vector<const TCanvasCall*> out;
    for (const TCanvasCall& c : calls) {
        if (c.op == op) out.push_back(&c);
    }
    return out;
}

} // namespace arv
