// The canvas drawn with QPainter: on an image (the off-screen picture of the
// plan, pixel tests) or on any other paint device (a printer or PDF page).
#pragma once

#include "platform/Canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStaticText>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class QPaintDevice;

namespace arv {

// Colours as the plan keeps them (0x00BBGGRR) and as Qt draws them.
QColor ColorRefToQColor(int32_t colorRef);
int32_t QColorToColorRef(const QColor& c);

class TQtCanvas : public TCanvas {
public:
    // Draws on the image (32-bit formats; others are converted by the caller).
    explicit TQtCanvas(QImage& image);
    // Draws on a printer or PDF page; dpi 0 takes the device's resolution.
    explicit TQtCanvas(QPaintDevice* device, int32_t dpi = 0);
    ~TQtCanvas() override;
    TQtCanvas(const TQtCanvas&) = delete;
    TQtCanvas& operator=(const TQtCanvas&) = delete;

    int32_t PixelsPerInch() const override { return dpi_; }
    QPainter& Painter() { return painter_; }
    // Ends the painting (the destructor does it too).
    void Finish();

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

    // The Qt font of a logical font (family from the substitution table).
    static QFont MakeQFont(const TFont& f);

private:
    // Texts laid out once per font: the plan redraws the same labels on
    // every paint, and laying out is most of the cost of a text.
    struct TTextEntry {
        int width = 0;
        QStaticText text;
    };
    struct TFontSlot {
        TFont key;
        int32_t dpi = 0;
        QFont font;
        std::unique_ptr<QFontMetrics> metrics;
        std::unordered_map<std::string, TTextEntry> texts;
    };
    TTextEntry& Text(TFontSlot& f, std::string_view text);
    void ApplyPen();
    void ApplyBrush();
    void ApplyMode();
    // Pen, brush and raster mode for a shape; false when nothing is drawn.
    void ApplyShape();
    TFontSlot& CurrentFont();
    enum class TArcKind { Arc, Pie, Chord };
    void ArcShape(TArcKind kind, int32_t left, int32_t top, int32_t right, int32_t bottom,
                  int32_t x3, int32_t y3, int32_t x4, int32_t y4);

    QImage* image_ = nullptr;
    QPainter painter_;
    int32_t dpi_ = 96;
    bool rasterOps_ = false;
    TPen appliedPen_;
    TBrush appliedBrush_;
    TPenMode appliedMode_ = TPenMode::Copy;
    bool penValid_ = false;
    bool brushValid_ = false;
    // Shared by every canvas of the process (the GUI thread's), so that a
    // canvas made for each paint finds its fonts and texts laid out.
    static std::vector<std::unique_ptr<TFontSlot>>& Fonts();
    static uint64_t& FontsGeneration();
    TFontSlot* lastFont_ = nullptr;
    TFontSlot* textFont_ = nullptr; // the font last set on the painter
    uint64_t textFontGeneration_ = 0;
    int32_t textColour_ = 0;
    bool textPen_ = false; // the painter's pen is the text colour
    uint64_t lastFontGeneration_ = 0;
};

} // namespace arv
