#include "platform/qt/QtCanvas.h"

#include "platform/FontTable.h"
#include "platform/qt/QtText.h"

#include <QPaintDevice>
#include <QPainterPath>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace arv {

QColor ColorRefToQColor(int32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

int32_t QColorToColorRef(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

namespace {

int32_t FromQRgb(QRgb p) {
    return qRed(p) | (qGreen(p) << 8) | (qBlue(p) << 16);
}

// Parametric angle (degrees) of the point where the ray from the centre
// through (x, y) meets the ellipse of half-axes a, b (screen y down).
double RayParamDegrees(double cx, double cy, double a, double b, int32_t x, int32_t y) {
    double dx = x - cx;
    double dy = cy - y;
    if (dx == 0 && dy == 0) return 0;
    double t = std::atan2(a * dy, b * dx);
    return t * 180.0 / 3.14159265358979323846;
}

// Whether some place in [low, high] of the canvas changes sign on a device
// that shows canvas place c at c + offset.
bool CrossesSign(double low, double high, int32_t offset) {
    if (offset < 0) return low < -static_cast<double>(offset) && high >= 0;
    if (offset > 0) return low < 0 && high >= -static_cast<double>(offset);
    return false;
}

} // namespace

TQtCanvas::TQtCanvas(QImage& image) : image_(&image) {
    painter_.begin(&image);
    dpi_ = 96;
    rasterOps_ = true;
}

TQtCanvas::TQtCanvas(QPaintDevice* device, int32_t dpi) {
    painter_.begin(device);
    dpi_ = dpi > 0 ? dpi : device->logicalDpiY();
    if (dpi_ <= 0) dpi_ = 96;
}

TQtCanvas::~TQtCanvas() {
    Finish();
}

void TQtCanvas::SetOrigin(int32_t x, int32_t y) {
    originX_ = x;
    originY_ = y;
    origin_ = QTransform::fromTranslate(x, y);
    painter_.setTransform(origin_);
}

void TQtCanvas::Finish() {
    if (painter_.isActive()) painter_.end();
}

void TQtCanvas::ApplyMode() {
    if (appliedMode_ == pen.mode) return;
    appliedMode_ = pen.mode;
    if (!rasterOps_) return; // printers know no raster operations
    painter_.setCompositionMode(pen.mode == TPenMode::NotXor
                                    ? QPainter::RasterOp_NotSourceXorDestination
                                    : QPainter::CompositionMode_SourceOver);
}

void TQtCanvas::ApplyPen() {
    ApplyMode();
    if (penValid_ && appliedPen_ == pen) return;
    textPen_ = false;
    appliedPen_ = pen;
    penValid_ = true;
    if (pen.style == TPenStyle::Clear) {
        painter_.setPen(Qt::NoPen);
        return;
    }
    int32_t w = std::max(1, pen.width);
    QPen p(ColorRefToQColor(pen.colour));
    p.setWidth(w);
    if (w > 1) {
        // Wide pens are geometric: round ends and corners, and always solid.
        p.setCapStyle(Qt::RoundCap);
        p.setJoinStyle(Qt::RoundJoin);
    } else {
        // A flat cap leaves out the last pixel of a hairline, as GDI does.
        p.setCapStyle(Qt::FlatCap);
        p.setJoinStyle(Qt::MiterJoin);
        switch (pen.style) {
        case TPenStyle::Dash:
            p.setDashPattern({18, 6});
            break;
        case TPenStyle::Dot:
            p.setDashPattern({3, 3});
            break;
        case TPenStyle::DashDot:
            p.setDashPattern({9, 6, 3, 6});
            break;
        case TPenStyle::DashDotDot:
            p.setDashPattern({9, 3, 3, 3, 3, 3});
            break;
        default:
            break;
        }
    }
    painter_.setPen(p);
}

void TQtCanvas::ApplyBrush() {
    if (brushValid_ && appliedBrush_ == brush) return;
    appliedBrush_ = brush;
    brushValid_ = true;
    Qt::BrushStyle s = Qt::SolidPattern;
    switch (brush.style) {
    case TBrushStyle::Solid:
        s = Qt::SolidPattern;
        break;
    case TBrushStyle::Clear:
        s = Qt::NoBrush;
        break;
    case TBrushStyle::Horizontal:
        s = Qt::HorPattern;
        break;
    case TBrushStyle::Vertical:
        s = Qt::VerPattern;
        break;
    case TBrushStyle::FDiagonal:
        s = Qt::FDiagPattern;
        break;
    case TBrushStyle::BDiagonal:
        s = Qt::BDiagPattern;
        break;
    case TBrushStyle::Cross:
        s = Qt::CrossPattern;
        break;
    case TBrushStyle::DiagCross:
        s = Qt::DiagCrossPattern;
        break;
    }
    painter_.setBrush(QBrush(ColorRefToQColor(brush.colour), s));
    // Hatch gaps stay transparent.
    painter_.setBackgroundMode(Qt::TransparentMode);
}

void TQtCanvas::ApplyShape() {
    ApplyPen();
    ApplyBrush();
}

void TQtCanvas::LineTo(int32_t x, int32_t y) {
    ApplyPen();
    if (pen.style != TPenStyle::Clear && !(penPos_.x == x && penPos_.y == y)) {
        painter_.drawLine(penPos_.x, penPos_.y, x, y);
    }
    penPos_ = {x, y};
}

void TQtCanvas::Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    if (r - l < 1 || b - t < 1) return;
    ApplyShape();
    if (pen.style == TPenStyle::Clear) {
        // Without an outline the inside alone is filled, one pixel less.
        if (brush.style != TBrushStyle::Clear) {
            painter_.fillRect(QRect(l, t, r - l - 1, b - t - 1), painter_.brush());
        }
        return;
    }
    painter_.drawRect(QRect(l, t, r - l - 1, b - t - 1));
}

void TQtCanvas::FillRect(const TCanvasRect& rc) {
    ApplyMode();
    ApplyBrush();
    if (brush.style == TBrushStyle::Clear) return;
    painter_.fillRect(QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top),
                      painter_.brush());
}

void TQtCanvas::Ellipse(int32_t l, int32_t t, int32_t r, int32_t b) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    if (r - l < 1 || b - t < 1) return;
    ApplyShape();
    painter_.drawEllipse(QRect(l, t, r - l - 1, b - t - 1));
}

void TQtCanvas::RoundRect(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    if (r - l < 1 || b - t < 1) return;
    ApplyShape();
    painter_.drawRoundedRect(QRect(l, t, r - l - 1, b - t - 1), w / 2.0, h / 2.0, Qt::AbsoluteSize);
}

void TQtCanvas::ArcShape(TArcKind kind, int32_t l, int32_t t, int32_t r, int32_t b, int32_t x3,
                         int32_t y3, int32_t x4, int32_t y4) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    if (r - l < 1 || b - t < 1) return;
    ApplyShape();
    QRect box(l, t, r - l - 1, b - t - 1);
    double cx = (l + r - 1) / 2.0;
    double cy = (t + b - 1) / 2.0;
    double a = (r - l - 1) / 2.0;
    double bb = (b - t - 1) / 2.0;
    double start = RayParamDegrees(cx, cy, a, bb, x3, y3);
    double end = RayParamDegrees(cx, cy, a, bb, x4, y4);
    double span = end - start;
    while (span <= 0) span += 360.0; // equal rays: the whole curve
    int startQ = static_cast<int>(std::lround(start * 16));
    int spanQ = static_cast<int>(std::lround(span * 16));
    switch (kind) {
    case TArcKind::Arc:
        painter_.drawArc(box, startQ, spanQ);
        break;
    case TArcKind::Pie:
        painter_.drawPie(box, startQ, spanQ);
        break;
    case TArcKind::Chord:
        painter_.drawChord(box, startQ, spanQ);
        break;
    }
}

void TQtCanvas::Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x3, int32_t y3, int32_t x4,
                    int32_t y4) {
    ApplyShape();
    const QBrush old = painter_.brush(); // an arc is never filled
    painter_.setBrush(Qt::NoBrush);
    ArcShape(TArcKind::Arc, l, t, r, b, x3, y3, x4, y4);
    painter_.setBrush(old);
}

void TQtCanvas::Pie(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x3, int32_t y3, int32_t x4,
                    int32_t y4) {
    ArcShape(TArcKind::Pie, l, t, r, b, x3, y3, x4, y4);
}

void TQtCanvas::Chord(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x3, int32_t y3,
                      int32_t x4, int32_t y4) {
    ArcShape(TArcKind::Chord, l, t, r, b, x3, y3, x4, y4);
}

void TQtCanvas::Polygon(const TCanvasPoint* points, int32_t count) {
    if (count < 2) return;
    ApplyShape();
    QPolygon poly(count);
    for (int32_t i = 0; i < count; ++i) poly.setPoint(i, points[i].x, points[i].y);
    painter_.drawPolygon(poly, Qt::OddEvenFill);
}

void TQtCanvas::Polyline(const TCanvasPoint* points, int32_t count) {
    if (count < 2) return;
    ApplyPen();
    QPolygon poly(count);
    for (int32_t i = 0; i < count; ++i) poly.setPoint(i, points[i].x, points[i].y);
    painter_.drawPolyline(poly);
}

QFont TQtCanvas::MakeQFont(const TFont& f) {
    std::string_view family = SubstituteFontFamily(f.name, f.pitch == 2);
    QFont q(QString::fromLatin1(family.data(), static_cast<qsizetype>(family.size())));
    int32_t h = f.height == 0 ? -13 : f.height;
    if (h < 0) {
        q.setPixelSize(std::max(1, -h));
    } else {
        // A positive height is the whole cell: find the character height
        // whose ascent plus descent make it.
        QFont probe = q;
        probe.setPixelSize(100);
        QFontMetrics m(probe);
        int cell = std::max(1, m.ascent() + m.descent());
        q.setPixelSize(std::max(1, static_cast<int>(std::lround(h * 100.0 / cell))));
    }
    q.setBold((f.style & kFontBold) != 0);
    q.setItalic((f.style & kFontItalic) != 0);
    q.setUnderline((f.style & kFontUnderline) != 0);
    q.setStrikeOut((f.style & kFontStrikeOut) != 0);
    q.setKerning(false); // GDI's TextOut does not kern
    q.setHintingPreference(QFont::PreferFullHinting);
    return q;
}

std::vector<std::unique_ptr<TQtCanvas::TFontSlot>>& TQtCanvas::Fonts() {
    thread_local std::vector<std::unique_ptr<TFontSlot>> fonts;
    return fonts;
}

uint64_t& TQtCanvas::FontsGeneration() {
    thread_local uint64_t generation = 0;
    return generation;
}

TQtCanvas::TFontSlot& TQtCanvas::CurrentFont() {
    auto sameFace = [this](const TFontSlot& s) {
        const TFont& k = s.key;
        return s.dpi == dpi_ && k.height == font.height && k.style == font.style &&
               k.pitch == font.pitch && k.name == font.name;
    };
    // A slot dropped since this canvas last looked is never touched again.
    if (lastFontGeneration_ != FontsGeneration()) lastFont_ = nullptr;
    if (lastFont_ && sameFace(*lastFont_)) return *lastFont_;
    auto& fonts = Fonts();
    lastFontGeneration_ = FontsGeneration();
    for (auto& slot : fonts) {
        if (sameFace(*slot)) {
            lastFont_ = slot.get();
            return *slot;
        }
    }
    if (fonts.size() >= 64) {
        fonts.erase(fonts.begin());
        lastFontGeneration_ = ++FontsGeneration();
    }
    auto slot = std::make_unique<TFontSlot>();
    slot->key = font;
    slot->dpi = dpi_;
    slot->font = MakeQFont(font);
    slot->metrics = std::make_unique<QFontMetrics>(slot->font, painter_.device());
    slot->height = slot->metrics->height();
    slot->ascent = slot->metrics->ascent();
    fonts.push_back(std::move(slot));
    lastFont_ = fonts.back().get();
    return *lastFont_;
}

TQtCanvas::TTextEntry& TQtCanvas::Text(TFontSlot& f, std::string_view text) {
    auto it = f.texts.find(TTextKeyView{text, font.escapement});
    if (it != f.texts.end()) return it->second;
    if (f.texts.size() > 50000) f.texts.clear();
    TTextEntry e;
    QString s = ToQString(text);
    e.width = f.metrics->horizontalAdvance(s);
    e.text = QStaticText(s);
    e.text.setTextFormat(Qt::PlainText);
    e.text.setPerformanceHint(QStaticText::AggressiveCaching);
    QTransform turn;
    turn.rotate(-font.escapement / 10.0);
    e.text.prepare(turn, f.font);
    return f.texts.emplace(TTextKey{std::string(text), font.escapement}, std::move(e))
        .first->second;
}

TCanvasSize TQtCanvas::TextExtent(std::string_view text) {
    TFontSlot& f = CurrentFont();
    return {Text(f, text).width, f.height};
}

void TQtCanvas::TextOut(int32_t x, int32_t y, std::string_view text) {
    bool cp = (textAlign_ & kTaUpdateCp) != 0;
    TCanvasPoint at = cp ? penPos_ : TCanvasPoint{x, y};
    TFontSlot& f = CurrentFont();
    TTextEntry& entry = Text(f, text);
    const int w = entry.width;
    const int h = f.height;
    const int ascent = f.ascent;
    int dx = 0;
    switch (textAlign_ & kTaHorizontalMask) {
    case kTaRight:
        dx = -w;
        break;
    case kTaCenter:
        dx = -w / 2;
        break;
    default:
        break;
    }
    int top = 0; // from the reference point down to the top of the cell
    if ((textAlign_ & kTaVerticalMask) == kTaBaseline)
        top = -ascent;
    else if ((textAlign_ & kTaVerticalMask) == kTaBottom)
        top = -h;
    const bool turned = font.escapement % 3600 != 0;
    // Qt takes the places of glyphs (and the points of their outlines) to
    // 1/64 pixel by cutting towards zero, so a place that is below the
    // canvas's top but above the device's (a band's picture that starts
    // inside the plan) moves by up to a pixel. Such a text is written in a
    // frame where every place keeps its sign: pixel for pixel what the
    // canvas drawn whole shows. The places lie in the cell grown for the
    // glyphs' overhang, which, turned any way, stays within `reach` of the
    // reference point.
    const double m = h / 2.0 + 2;
    const double reach = std::abs(dx) + w + std::abs(top) + h + 2 * m;
    auto near = [reach](int32_t at, int32_t offset) {
        return offset != 0 && at + reach >= std::min(0, -offset) &&
               at - reach < std::max(0, -offset);
    };
    if (image_ && (near(at.x, originX_) || near(at.y, originY_))) {
        QTransform t;
        t.translate(at.x, at.y);
        if (turned) t.rotate(-font.escapement / 10.0);
        const QRectF box = t.mapRect(QRectF(dx - m, top - m, w + 2 * m, h + 2 * m));
        if (CrossesSign(box.left(), box.right(), originX_) ||
            CrossesSign(box.top(), box.bottom(), originY_)) {
            TextOutInOwnFrame(at, text, box);
            if (cp) penPos_ = PenAfterText(at, w, font.escapement, textAlign_);
            return;
        }
    }
    ApplyMode();
    // Painter state changes cost as much as the glyphs: make only those
    // that the last text did not.
    if (textFont_ != &f || textFontGeneration_ != FontsGeneration()) {
        painter_.setFont(f.font);
        textFont_ = &f;
        textFontGeneration_ = FontsGeneration();
    }
    if (!textPen_ || textColour_ != font.colour) {
        painter_.setPen(ColorRefToQColor(font.colour));
        textColour_ = font.colour;
        textPen_ = true;
        penValid_ = false; // the pen now has the text colour
    }
    const bool opaque = !transparentText_ && brush.style == TBrushStyle::Solid;
    if (turned) {
        QTransform t;
        t.translate(at.x, at.y);
        t.rotate(-font.escapement / 10.0);
        painter_.setTransform(t * origin_);
        if (opaque) painter_.fillRect(QRect(dx, top, w, h), ColorRefToQColor(brush.colour));
        painter_.drawStaticText(dx, top, entry.text);
        painter_.setTransform(origin_);
    } else {
        if (opaque)
            painter_.fillRect(QRect(at.x + dx, at.y + top, w, h), ColorRefToQColor(brush.colour));
        painter_.drawStaticText(at.x + dx, at.y + top, entry.text);
    }
    if (cp) penPos_ = PenAfterText(at, w, font.escapement, textAlign_);
}

void TQtCanvas::TextOutInOwnFrame(TCanvasPoint at, std::string_view text, const QRectF& box) {
    // The frame's corner: the box's, or the canvas's origin where the box
    // holds places on both sides of it.
    const int32_t fx = std::max(0, static_cast<int32_t>(std::floor(box.left())));
    const int32_t fy = std::max(0, static_cast<int32_t>(std::floor(box.top())));
    // What of the device the text may paint, in canvas coordinates.
    const int32_t left = std::max(fx, -originX_), top = std::max(fy, -originY_);
    const int32_t right =
        std::min(static_cast<int32_t>(std::ceil(box.right())) + 1, image_->width() - originX_);
    const int32_t bottom =
        std::min(static_cast<int32_t>(std::ceil(box.bottom())) + 1, image_->height() - originY_);
    if (right <= left || bottom <= top) return;
    QImage own(right - fx, bottom - fy, image_->format());
    const size_t pixel = static_cast<size_t>(image_->depth() / 8);
    const size_t bytes = static_cast<size_t>(right - left) * pixel;
    auto copy = [&](bool in) {
        for (int32_t y = top; y < bottom; ++y) {
            uchar* device =
                image_->scanLine(y + originY_) + static_cast<size_t>(left + originX_) * pixel;
            uchar* mine = own.scanLine(y - fy) + static_cast<size_t>(left - fx) * pixel;
            if (in)
                std::memcpy(mine, device, bytes);
            else
                std::memcpy(device, mine, bytes);
        }
    };
    copy(true);
    {
        TQtCanvas c(own);
        c.SetOrigin(-fx, -fy);
        c.pen = pen;
        c.brush = brush;
        c.font = font;
        c.SetTextAlign(textAlign_);
        c.SetBackgroundTransparent(transparentText_);
        if (clip_) c.SetClipRect(*clip_);
        c.MoveTo(at.x, at.y);
        c.TextOut(at.x, at.y, text);
    }
    copy(false);
}

void TQtCanvas::StretchDraw(const TCanvasRect& r, const TBitmap32& bitmap, bool transparent) {
    if (bitmap.Empty() || r.right == r.left || r.bottom == r.top) return;
    QImage img(bitmap.Width, bitmap.Height, QImage::Format_ARGB32);
    const uint32_t key = bitmap.Pixel(0, bitmap.Height - 1) & 0x00FFFFFFu;
    for (int32_t y = 0; y < bitmap.Height; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(img.scanLine(y));
        for (int32_t x = 0; x < bitmap.Width; ++x) {
            uint32_t p = bitmap.Pixel(x, y);
            if (transparent && (p & 0x00FFFFFFu) == key) p = 0;
            line[x] = p;
        }
    }
    ApplyMode();
    painter_.drawImage(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top), img);
}

void TQtCanvas::SetClipRect(const TCanvasRect& r) {
    clip_ = r;
    painter_.setClipRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
}

void TQtCanvas::NoClip() {
    clip_.reset();
    painter_.setClipping(false);
}

int32_t TQtCanvas::GetPixel(int32_t x, int32_t y) {
    if (!image_ || !image_->valid(x, y)) return -1;
    return FromQRgb(image_->pixel(x, y));
}

void TQtCanvas::SetPixel(int32_t x, int32_t y, int32_t colour) {
    ApplyMode();
    painter_.fillRect(QRect(x, y, 1, 1), ColorRefToQColor(colour));
}

} // namespace arv
