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
#include <optional>
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
    // Device pixel of the canvas point (0, 0): a canvas painting one band of
    // a larger picture draws in the picture's coordinates.
    void SetOrigin(int32_t x, int32_t y);
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
    // A laid-out text is kept per turn: drawn under another turn it would be
    // laid out again every time.
    struct TTextKey {
        std::string text;
        int32_t escapement = 0;
    };
    struct TTextKeyView {
        std::string_view text;
        int32_t escapement = 0;
    };
    struct TTextHash {
        using is_transparent = void;
        size_t operator()(const TTextKeyView& k) const {
            return std::hash<std::string_view>()(k.text) ^
                   (static_cast<size_t>(static_cast<uint32_t>(k.escapement)) * 0x9E3779B97F4A7C15u);
        }
        size_t operator()(const TTextKey& k) const {
            return (*this)(TTextKeyView{k.text, k.escapement});
        }
    };
    struct TTextEqual {
        using is_transparent = void;
        static TTextKeyView View(const TTextKey& k) { return {k.text, k.escapement}; }
        static TTextKeyView View(const TTextKeyView& k) { return k; }
        template <class A, class B> bool operator()(const A& a, const B& b) const {
            const TTextKeyView x = View(a), y = View(b);
            return x.escapement == y.escapement && x.text == y.text;
        }
    };
    struct TFontSlot {
        TFont key;
        int32_t dpi = 0;
        QFont font;
        std::unique_ptr<QFontMetrics> metrics;
        int height = 0;
        int ascent = 0;
        std::unordered_map<TTextKey, TTextEntry, TTextHash, TTextEqual> texts;
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
    // The text at `at` written on a picture of its own whose corner lies
    // where every place of the text keeps its sign, then copied in; `box`
    // holds the text's places in canvas coordinates. See TextOut.
    void TextOutInOwnFrame(TCanvasPoint at, std::string_view text, const QRectF& box);

    QImage* image_ = nullptr;
    QPainter painter_;
    int32_t dpi_ = 96;
    bool rasterOps_ = false;
    TPen appliedPen_;
    TBrush appliedBrush_;
    TPenMode appliedMode_ = TPenMode::Copy;
    bool penValid_ = false;
    bool brushValid_ = false;
    // Shared by the canvases of one thread, so that a canvas made for each
    // paint finds its fonts and texts laid out. Each thread has its own: Qt's
    // fonts and laid-out texts are not to be shared between threads.
    static std::vector<std::unique_ptr<TFontSlot>>& Fonts();
    static uint64_t& FontsGeneration();
    TFontSlot* lastFont_ = nullptr;
    TFontSlot* textFont_ = nullptr; // the font last set on the painter
    uint64_t textFontGeneration_ = 0;
    int32_t textColour_ = 0;
    bool textPen_ = false; // the painter's pen is the text colour
    uint64_t lastFontGeneration_ = 0;
    QTransform origin_;
    int32_t originX_ = 0, originY_ = 0;
    std::optional<TCanvasRect> clip_; // as SetClipRect gave it
};

} // namespace arv
