// A 2-D drawing surface with the semantics of the Windows device context that
// the plan was designed for: pens, brushes, fonts with escapement, text
// alignment with a current position, GDI's end-point rules. Pen, brush and
// font are plain public state read by every drawing call, as the canvas
// properties of the original toolkit were. Colours are 0x00BBGGRR.
#pragma once

#include "platform/Bitmap.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace arv {

struct TCanvasPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const TCanvasPoint&) const = default;
};

// left, top, right, bottom in device pixels; right and bottom are exclusive.
struct TCanvasRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const TCanvasRect&) const = default;
};

struct TCanvasSize {
    int32_t cx = 0;
    int32_t cy = 0;
    bool operator==(const TCanvasSize&) const = default;
};

enum class TPenStyle : uint8_t { Solid, Dash, Dot, DashDot, DashDotDot, Clear };
// Copy paints the pen colour; NotXor inverts what the same drawing inverted
// before, so a rubber band drawn twice leaves the picture as it was.
enum class TPenMode : uint8_t { Copy, NotXor };
enum class TBrushStyle : uint8_t {
    Solid,
    Clear,
    Horizontal,
    Vertical,
    FDiagonal, // lines from top-left to bottom-right
    BDiagonal, // lines from bottom-left to top-right
    Cross,
    DiagCross,
};

struct TPen {
    int32_t colour = 0;
    int32_t width = 1;
    TPenStyle style = TPenStyle::Solid;
    TPenMode mode = TPenMode::Copy;
    bool operator==(const TPen&) const = default;
};

struct TBrush {
    int32_t colour = 0xFFFFFF;
    TBrushStyle style = TBrushStyle::Solid;
    bool operator==(const TBrush&) const = default;
};

enum TFontStyleBits : uint8_t {
    kFontBold = 1,
    kFontItalic = 2,
    kFontUnderline = 4,
    kFontStrikeOut = 8,
};

// The logical font: height in pixels as a LOGFONT holds it (negative: the
// character height, positive: the cell height, 0: the default height),
// escapement and orientation in tenths of a degree counter-clockwise.
struct TFont {
    std::string name = "Arial"; // the Windows face name (CP1251)
    int32_t height = -13;
    uint8_t style = 0; // TFontStyleBits
    uint8_t charset = 204;
    uint8_t pitch = 0; // 0 default, 1 variable, 2 fixed
    int32_t colour = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    bool operator==(const TFont&) const = default;
};

// Text alignment flags, the values of the Windows constants.
enum TTextAlign : uint32_t {
    kTaLeft = 0,
    kTaUpdateCp = 1,
    kTaRight = 2,
    kTaCenter = 6,
    kTaTop = 0,
    kTaBottom = 8,
    kTaBaseline = 24,
};
constexpr uint32_t kTaHorizontalMask = 6;
constexpr uint32_t kTaVerticalMask = 24;

class TCanvas {
public:
    virtual ~TCanvas() = default;

    TPen pen;
    TBrush brush;
    TFont font;

    // Pixels per inch of the device (font sizes in points).
    virtual int32_t PixelsPerInch() const { return 96; }
    // Everything drawn so far is final: a canvas that keeps the drawing to
    // paint it elsewhere may start painting it. Nothing for the others.
    virtual void EndSection() {}
    // Font height for a size in points, as the toolkit's Font.Size did.
    void SetFontSize(int32_t points);
    int32_t FontSize() const;

    // Text background: opaque fills the text cell with the background colour
    // when the brush is not clear; transparent never does.
    void SetBackgroundTransparent(bool transparent) { transparentText_ = transparent; }
    bool BackgroundTransparent() const { return transparentText_; }
    // Returns the previous alignment.
    uint32_t SetTextAlign(uint32_t align) {
        uint32_t old = textAlign_;
        textAlign_ = align;
        return old;
    }
    uint32_t TextAlign() const { return textAlign_; }

    TCanvasPoint PenPos() const { return penPos_; }
    void MoveTo(int32_t x, int32_t y) { penPos_ = {x, y}; }
    // Line from the pen position, without its last pixel; the pen moves there.
    virtual void LineTo(int32_t x, int32_t y) = 0;
    // Outline in the pen, inside in the brush; right and bottom excluded.
    virtual void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    virtual void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
    virtual void RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                           int32_t cornerW, int32_t cornerH) = 0;
    // The curve of the ellipse in the box counter-clockwise from where the ray
    // from the centre to (x3, y3) meets it to where the ray to (x4, y4) does.
    virtual void Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x3,
                     int32_t y3, int32_t x4, int32_t y4) = 0;
    virtual void Pie(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x3,
                     int32_t y3, int32_t x4, int32_t y4) = 0;
    virtual void Chord(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x3,
                       int32_t y3, int32_t x4, int32_t y4) = 0;
    // Filled by the even-odd rule and outlined, closed.
    virtual void Polygon(const TCanvasPoint* points, int32_t count) = 0;
    virtual void Polyline(const TCanvasPoint* points, int32_t count) = 0;
    // The rectangle in the brush, no outline; right and bottom excluded.
    virtual void FillRect(const TCanvasRect& r) = 0;

    // Text in CP1251 at (x, y), or at the pen position with kTaUpdateCp, in
    // the font turned by its escapement about the reference point.
    virtual void TextOut(int32_t x, int32_t y, std::string_view text) = 0;
    // Unturned size of the text in the current font: advance and cell height.
    virtual TCanvasSize TextExtent(std::string_view text) = 0;
    int32_t TextWidth(std::string_view text) { return TextExtent(text).cx; }
    int32_t TextHeight(std::string_view text) { return TextExtent(text).cy; }

    // The bitmap into the rectangle, scaled; with transparent set the colour
    // of its bottom-left pixel is left out (and so are pixels whose alpha is 0).
    virtual void StretchDraw(const TCanvasRect& r, const TBitmap32& bitmap, bool transparent) = 0;
    void Draw(int32_t x, int32_t y, const TBitmap32& bitmap, bool transparent = false) {
        StretchDraw({x, y, x + bitmap.Width, y + bitmap.Height}, bitmap, transparent);
    }

    // Later drawing stays inside the rectangle; NoClip lifts it.
    virtual void SetClipRect(const TCanvasRect& r) = 0;
    virtual void NoClip() = 0;
    // -1 outside the device.
    virtual int32_t GetPixel(int32_t x, int32_t y) = 0;
    virtual void SetPixel(int32_t x, int32_t y, int32_t colour) = 0;

protected:
    TCanvasPoint penPos_;
    uint32_t textAlign_ = kTaLeft | kTaTop;
    bool transparentText_ = false;
};

// Angle of escapement in radians.
double EscapementRadians(int32_t tenths);
// Where text written with kTaUpdateCp at `at` leaves the pen position: moved
// along the turned baseline by the text's width for left and right
// alignment, unmoved when centred.
TCanvasPoint PenAfterText(TCanvasPoint at, int32_t width, int32_t escapement, uint32_t align);

} // namespace arv
