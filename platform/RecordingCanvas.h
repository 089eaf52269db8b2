// A canvas that draws nothing and keeps a list of the calls made on it, each
// with the pen, brush, font and alignment in force, so that tests of drawing
// code can check what was drawn where without a window system. Text is
// measured with a fixed metric: every character is 6/10 of the character
// height wide, and the cell is the character height plus 1/5.
#pragma once

#include "platform/Canvas.h"

#include <string>
#include <vector>

namespace arv {

struct TCanvasCall {
    std::string op; // "LineTo", "Rectangle", "TextOut", ...
    std::vector<int32_t> args;
    std::string text;
    TCanvasPoint from; // pen position before the call
    TPen pen;
    TBrush brush;
    TFont font;
    uint32_t align = 0;
    bool transparentText = false;
};

class TRecordingCanvas : public TCanvas {
public:
    std::vector<TCanvasCall> calls;
    // Character height (pixels) of a font height as the metric uses it.
    static int32_t CharHeight(int32_t fontHeight);

    void LineTo(int32_t x, int32_t y) override;
    void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t cornerW,
                   int32_t cornerH) override;
    void Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x3, int32_t y3,
             int32_t x4, int32_t y4) override;
    void Pie(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x3, int32_t y3,
             int32_t x4, int32_t y4) override;
    void Chord(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x3, int32_t y3,
               int32_t x4, int32_t y4) override;
    void Polygon(const TCanvasPoint* points, int32_t count) override;
    void Polyline(const TCanvasPoint* points, int32_t count) override;
    void FillRect(const TCanvasRect& r) override;
    void TextOut(int32_t x, int32_t y, std::string_view text) override;
    TCanvasSize TextExtent(std::string_view text) override;
    void StretchDraw(const TCanvasRect& r, const TBitmap32& bitmap, bool transparent) override;
    void SetClipRect(const TCanvasRect& r) override;
    void NoClip() override;
    int32_t GetPixel(int32_t x, int32_t y) override;
    void SetPixel(int32_t x, int32_t y, int32_t colour) override;

    // The calls of one kind, in order.
    std::vector<const TCanvasCall*> Calls(std::string_view op) const;

private:
    TCanvasCall& Record(std::string op, std::vector<int32_t> args);
};

} // namespace arv
