#include "platform/DisplayList.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <functional>

namespace arv {

namespace {

int32_t Clamp(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// The face name last: labels change turn and size far more often than face.
bool SameFont(const TFont& a, const TFont& b) {
    return a.escapement == b.escapement && a.height == b.height && a.colour == b.colour &&
           a.style == b.style && a.charset == b.charset && a.pitch == b.pitch &&
           a.orientation == b.orientation && a.name == b.name;
}

bool SameState(const TPen& pen, const TBrush& brush, const TFont& font, uint32_t align,
               bool transparent, const TPen& p, const TBrush& b, const TFont& f, uint32_t a,
               bool t) {
    return a == align && t == transparent && p == pen && b == brush && SameFont(f, font);
}

} // namespace

TDisplayList::TDisplayList(TCanvas& measure) : measure_(measure) {}

void TDisplayList::Clear() {
    for (TSection& section : sections_) {
        section.states.clear();
        section.ops.clear();
        section.points.clear();
        section.texts.clear();
        section.pictures.clear();
    }
    current_ = 0;
    std::lock_guard lock(endedMutex_);
    ended_ = 0;
}

size_t TDisplayList::Size() const {
    size_t size = 0;
    for (const TSection& section : sections_) size += section.ops.size();
    return size;
}

void TDisplayList::EndSection() {
    if (current_ + 1 >= kSections) return;
    {
        std::lock_guard lock(endedMutex_);
        ended_ = current_ + 1;
    }
    endedChanged_.notify_all();
    ++current_;
}

void TDisplayList::Finish() {
    {
        std::lock_guard lock(endedMutex_);
        ended_ = kSections;
    }
    endedChanged_.notify_all();
}

int TDisplayList::WaitEnded(int seen) const {
    std::unique_lock lock(endedMutex_);
    endedChanged_.wait(lock, [&] { return ended_ > seen; });
    return ended_;
}

TDisplayList::TOp& TDisplayList::Add(TKind kind, int32_t top, int32_t bottom, bool clipped) {
    std::vector<TState>& states = Drawn().states;
    if (states.empty() || !SameState(pen, brush, font, textAlign_, transparentText_,
                                     states.back().pen, states.back().brush, states.back().font,
                                     states.back().align, states.back().transparent)) {
        states.push_back({pen, brush, font, textAlign_, transparentText_});
    }
    TOp& op = Drawn().ops.emplace_back();
    op.kind = kind;
    op.clipped = clipped;
    op.state = static_cast<uint32_t>(states.size() - 1);
    op.top = top;
    op.bottom = bottom;
    return op;
}

TDisplayList::TOp& TDisplayList::AddShape(TKind kind, int32_t top, int32_t bottom) {
    // Wide pens are centred on the outline and have round ends.
    const int64_t grow = std::max(1, pen.width) + 2;
    return Add(kind, Clamp(top - grow), Clamp(static_cast<int64_t>(bottom) + grow + 1), true);
}

TDisplayList::TOp& TDisplayList::AddBox(TKind kind, int32_t l, int32_t t, int32_t r, int32_t b) {
    TOp& op = AddShape(kind, std::min(t, b), std::max(t, b));
    op.a[0] = l;
    op.a[1] = t;
    op.a[2] = r;
    op.a[3] = b;
    return op;
}

void TDisplayList::LineTo(int32_t x, int32_t y) {
    TOp& op = AddShape(TKind::Line, std::min(penPos_.y, y), std::max(penPos_.y, y));
    op.a[0] = penPos_.x;
    op.a[1] = penPos_.y;
    op.a[2] = x;
    op.a[3] = y;
    penPos_ = {x, y};
}

void TDisplayList::Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) {
    AddBox(TKind::Rectangle, l, t, r, b);
}

void TDisplayList::Ellipse(int32_t l, int32_t t, int32_t r, int32_t b) {
    AddBox(TKind::Ellipse, l, t, r, b);
}

void TDisplayList::RoundRect(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h) {
    TOp& op = AddBox(TKind::RoundRect, l, t, r, b);
    op.a[4] = w;
    op.a[5] = h;
}

void TDisplayList::AddArc(TKind kind, int32_t l, int32_t t, int32_t r, int32_t b, int32_t x3,
                          int32_t y3, int32_t x4, int32_t y4) {
    TOp& op = AddBox(kind, l, t, r, b);
    op.a[4] = x3;
    op.a[5] = y3;
    op.a[6] = x4;
    op.a[7] = y4;
}

void TDisplayList::Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x3, int32_t y3,
                       int32_t x4, int32_t y4) {
    AddArc(TKind::Arc, l, t, r, b, x3, y3, x4, y4);
}

void TDisplayList::Pie(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x3, int32_t y3,
                       int32_t x4, int32_t y4) {
    AddArc(TKind::Pie, l, t, r, b, x3, y3, x4, y4);
}

void TDisplayList::Chord(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x3, int32_t y3,
                         int32_t x4, int32_t y4) {
    AddArc(TKind::Chord, l, t, r, b, x3, y3, x4, y4);
}

void TDisplayList::Polygon(const TCanvasPoint* points, int32_t count) {
    if (count <= 0) return;
    int32_t top = points[0].y, bottom = points[0].y;
    for (int32_t i = 1; i < count; ++i) {
        top = std::min(top, points[i].y);
        bottom = std::max(bottom, points[i].y);
    }
    TOp& op = AddShape(TKind::Polygon, top, bottom);
    std::vector<TCanvasPoint>& kept = Drawn().points;
    op.data = static_cast<uint32_t>(kept.size());
    op.count = static_cast<uint32_t>(count);
    kept.insert(kept.end(), points, points + count);
}

void TDisplayList::Polyline(const TCanvasPoint* points, int32_t count) {
    if (count <= 0) return;
    Polygon(points, count);
    Drawn().ops.back().kind = TKind::Polyline;
}

void TDisplayList::FillRect(const TCanvasRect& r) {
    TOp& op = Add(TKind::FillRect, std::min(r.top, r.bottom), std::max(r.top, r.bottom), false);
    op.a[0] = r.left;
    op.a[1] = r.top;
    op.a[2] = r.right;
    op.a[3] = r.bottom;
}

TCanvasSize TDisplayList::TextExtent(std::string_view text) {
    const size_t hash = std::hash<std::string_view>()(text);
    TMeasured& m = measured_[hash % measured_.size()];
    const TFont& face = m.face;
    if (m.valid && m.hash == hash && face.height == font.height && face.style == font.style &&
        face.pitch == font.pitch && face.charset == font.charset && face.name == font.name &&
        m.text == text)
        return m.size;
    if (!SameFont(measure_.font, font)) measure_.font = font;
    m.size = measure_.TextExtent(text);
    m.face = font;
    m.text = text;
    m.hash = hash;
    m.valid = true;
    return m.size;
}

void TDisplayList::TextOut(int32_t x, int32_t y, std::string_view text) {
    const bool cp = (textAlign_ & kTaUpdateCp) != 0;
    const TCanvasPoint at = cp ? penPos_ : TCanvasPoint{x, y};
    const TCanvasSize e = TextExtent(text);
    const int64_t w = std::abs(e.cx), h = std::abs(e.cy);
    // The cell about the reference point, as the alignment puts it (on the
    // baseline the ascent may be anything up to the height), grown by half
    // the height for glyphs that overhang it; then turned as it is drawn.
    double left = 0, top = 0, bottom = static_cast<double>(h);
    if ((textAlign_ & kTaHorizontalMask) == kTaRight) left = -static_cast<double>(w);
    if ((textAlign_ & kTaHorizontalMask) == kTaCenter) left = -static_cast<double>(w / 2);
    if ((textAlign_ & kTaVerticalMask) == kTaBottom) top = -static_cast<double>(h), bottom = 0;
    if ((textAlign_ & kTaVerticalMask) == kTaBaseline) top = -static_cast<double>(h);
    const double m = h / 2.0 + 2;
    const double a = -EscapementRadians(font.escapement);
    const double sn = std::sin(a), cs = std::cos(a);
    double low = 0, high = 0;
    bool first = true;
    for (double x : {left - m, left + w + m})
        for (double y : {top - m, bottom + m}) {
            const double turned = x * sn + y * cs;
            low = first ? turned : std::min(low, turned);
            high = first ? turned : std::max(high, turned);
            first = false;
        }
    TOp& op = Add(TKind::Text, Clamp(at.y + static_cast<int64_t>(std::floor(low)) - 1),
                  Clamp(at.y + static_cast<int64_t>(std::ceil(high)) + 2), false);
    op.a[0] = at.x;
    op.a[1] = at.y;
    std::string& texts = Drawn().texts;
    op.data = static_cast<uint32_t>(texts.size());
    op.count = static_cast<uint32_t>(text.size());
    texts.append(text);
    if (cp) penPos_ = PenAfterText(at, e.cx, font.escapement, textAlign_);
}

void TDisplayList::StretchDraw(const TCanvasRect& r, const TBitmap32& bitmap, bool transparent) {
    TOp& op = Add(TKind::Picture, Clamp(static_cast<int64_t>(std::min(r.top, r.bottom)) - 1),
                  Clamp(static_cast<int64_t>(std::max(r.top, r.bottom)) + 1), true);
    op.a[0] = r.left;
    op.a[1] = r.top;
    op.a[2] = r.right;
    op.a[3] = r.bottom;
    op.a[4] = transparent ? 1 : 0;
    op.data = static_cast<uint32_t>(Drawn().pictures.size());
    Drawn().pictures.push_back(bitmap);
}

void TDisplayList::SetClipRect(const TCanvasRect& r) {
    TOp& op = Add(TKind::Clip, INT32_MIN, INT32_MAX, false);
    op.a[0] = r.left;
    op.a[1] = r.top;
    op.a[2] = r.right;
    op.a[3] = r.bottom;
}

void TDisplayList::NoClip() {
    Add(TKind::NoClip, INT32_MIN, INT32_MAX, false);
}

int32_t TDisplayList::GetPixel(int32_t, int32_t) {
    return -1;
}

void TDisplayList::SetPixel(int32_t x, int32_t y, int32_t colour) {
    TOp& op = Add(TKind::Pixel, y, Clamp(static_cast<int64_t>(y) + 1), false);
    op.a[0] = x;
    op.a[1] = y;
    op.a[2] = colour;
}

void TDisplayList::Reach(int32_t top, int32_t bottom, int32_t height, int32_t& from, int32_t& to,
                         int first, int last) const {
    from = top;
    to = bottom;
    for (int i = std::max(first, 0); i < std::min(last, kSections); ++i)
        for (const TOp& op : sections_[static_cast<size_t>(i)].ops) {
            if (!op.clipped || op.bottom <= top || op.top >= bottom) continue;
            from = std::min(from, op.top);
            to = std::max(to, op.bottom);
        }
    from = std::clamp(from, 0, height);
    to = std::clamp(to, from, height);
}

void TDisplayList::PlayBack(TCanvas& target, int32_t top, int32_t bottom, int first,
                            int last) const {
    for (int i = std::max(first, 0); i < std::min(last, kSections); ++i) {
        const TSection& section = sections_[static_cast<size_t>(i)];
        uint32_t applied = UINT32_MAX;
        for (const TOp& op : section.ops) {
            if (op.bottom <= top || op.top >= bottom) continue;
            if (op.state != applied) {
                const TState& s = section.states[op.state];
                target.pen = s.pen;
                target.brush = s.brush;
                target.font = s.font;
                target.SetTextAlign(s.align);
                target.SetBackgroundTransparent(s.transparent);
                applied = op.state;
            }
            Play(section, op, target);
        }
    }
}

void TDisplayList::Play(const TSection& section, const TOp& op, TCanvas& c) const {
    const int32_t* a = op.a;
    switch (op.kind) {
    case TKind::Line:
        c.MoveTo(a[0], a[1]);
        c.LineTo(a[2], a[3]);
        break;
    case TKind::Rectangle:
        c.Rectangle(a[0], a[1], a[2], a[3]);
        break;
    case TKind::Ellipse:
        c.Ellipse(a[0], a[1], a[2], a[3]);
        break;
    case TKind::RoundRect:
        c.RoundRect(a[0], a[1], a[2], a[3], a[4], a[5]);
        break;
    case TKind::Arc:
        c.Arc(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
        break;
    case TKind::Pie:
        c.Pie(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
        break;
    case TKind::Chord:
        c.Chord(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
        break;
    case TKind::Polygon:
        c.Polygon(section.points.data() + op.data, static_cast<int32_t>(op.count));
        break;
    case TKind::Polyline:
        c.Polyline(section.points.data() + op.data, static_cast<int32_t>(op.count));
        break;
    case TKind::FillRect:
        c.FillRect({a[0], a[1], a[2], a[3]});
        break;
    case TKind::Text:
        // With kTaUpdateCp the text starts at the pen position.
        c.MoveTo(a[0], a[1]);
        c.TextOut(a[0], a[1], std::string_view(section.texts).substr(op.data, op.count));
        break;
    case TKind::Picture:
        c.StretchDraw({a[0], a[1], a[2], a[3]}, section.pictures[op.data], a[4] != 0);
        break;
    case TKind::Clip:
        c.SetClipRect({a[0], a[1], a[2], a[3]});
        break;
    case TKind::NoClip:
        c.NoClip();
        break;
    case TKind::Pixel:
        c.SetPixel(a[0], a[1], a[2]);
        break;
    }
}

} // namespace arv
