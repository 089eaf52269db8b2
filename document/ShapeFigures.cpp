#include "document/ShapeFigures.h"

#include "document/Document.h"
#include "document/DrawingGlobals.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace arv {

namespace {

int32_t Tolerance(const TGCustomFigure& f) {
    return f.doc ? f.doc->hitTolerance : 5;
}

bool Near(TPoint a, TPoint b, int64_t tol) {
    return std::llabs(static_cast<int64_t>(a.x) - b.x) <= tol &&
           std::llabs(static_cast<int64_t>(a.y) - b.y) <= tol;
}

TPoint Offset(TPoint p, int64_t dx, int64_t dy) {
    return {ClampI(p.x + dx), ClampI(p.y + dy)};
}

TRect BoxOf(TPoint a, TPoint b) {
    return {std::min(a.x, b.x), std::max(a.y, b.y), std::max(a.x, b.x), std::min(a.y, b.y)};
}

// Polygon, ellipse and arc: outline and fill from the layer of the figure,
// or from the drawing defaults on layer 0.
void ApplyShapeDefaults(TGCustomFigure& f, const TGLajer* layers, bool takeWidth) {
    f.flagA = 0;
    const TDrawingGlobals& g = DrawingGlobals();
    if (const TLayerRecord* l = TGCustomFigure::CreationLayer(layers, f.layer)) {
        f.pen.width = l->penWidth;
        f.pen.colour = l->colour;
        f.brush.colour = l->colour;
        if (takeWidth) f.width = l->width;
    } else {
        f.pen.colour = g.DefLineColor;
        f.brush.colour = g.DefLineColor;
        f.pen.width = g.BranchPenWidth;
        if (takeWidth) f.width = g.WidthDefault;
    }
    f.pen.style = 0;
    f.brush.style = 1;
}

} // namespace

int DragBoxHandle(TPoint mouseStart, TPoint mouseNow, TPoint& first, TPoint& second,
                  int32_t tolerance) {
    const int32_t mx = HalfSum(first.x, second.x), my = HalfSum(first.y, second.y);
    const TPoint handles[9] = {{mx, my},           {first.x, second.y},  {first.x, my},
                               {first.x, first.y}, {mx, first.y},        {second.x, first.y},
                               {second.x, my},     {second.x, second.y}, {mx, second.y}};
    int found = -1;
    for (int h = 0; h < 9; ++h) {
        if (Near(handles[h], mouseStart, tolerance)) found = h;
    }
    const int64_t dx = static_cast<int64_t>(mouseNow.x) - mouseStart.x;
    const int64_t dy = static_cast<int64_t>(mouseNow.y) - mouseStart.y;
    auto add = [](int32_t& v, int64_t d) { v = ClampI(v + d); };
    switch (found) {
    case 0:
        first = Offset(first, dx, dy);
        second = Offset(second, dx, dy);
        break;
    case 1:
        add(first.x, dx), add(second.y, dx);
        break;
    case 2:
        add(first.x, dx);
        break;
    case 3:
        add(first.x, dx), add(first.y, -dx);
        break;
    case 4:
        add(first.y, dy);
        break;
    case 5:
        add(second.x, dx), add(first.y, dx);
        break;
    case 6:
        add(second.x, dx);
        break;
    case 7:
        add(second.x, dx), add(second.y, -dx);
        break;
    case 8:
        add(second.y, dy);
        break;
    default:
        break;
    }
    return found;
}

// ---- TGPolygon ----

TGPolygon::TGPolygon(const TGLajer* layers) : TGCustomFigure(kKindPolygon) {
    style = 6;
    vertices.resize(10);
    ApplyShapeDefaults(*this, layers, false);
}

void TGPolygon::FreePoints() {
    vertices.clear();
    screen.clear();
}

void TGPolygon::UpdateBounds() {
    if (lastIndex < 0 || vertices.empty()) {
        box = {99999, -99999, -99999, 99999};
        return;
    }
    const int32_t last = std::min<int32_t>(lastIndex, static_cast<int32_t>(vertices.size()) - 1);
    box = {vertices[0].x, vertices[0].y, vertices[0].x, vertices[0].y};
    for (int32_t i = 1; i <= last; ++i) IncludePoint(box, vertices[i]);
}

void TGPolygon::AddPoint(TPoint previous, TPoint p) {
    const int32_t n = std::max<int32_t>(lastIndex, 0);
    if (static_cast<int32_t>(vertices.size()) < n + 2) vertices.resize(n + 2);
    vertices[n] = previous;
    vertices[n + 1] = p;
    if (n == 0) {
        x1 = previous.x;
        y1 = previous.y;
        x2 = p.x;
        y2 = p.y;
        box = BoxOf(previous, p);
        lastIndex = 1;
        return;
    }
    // A click back at the first vertex closes the polygon.
    if (Near(p, vertices[0], Tolerance(*this))) return;
    lastIndex = n + 1;
    x2 = p.x;
    y2 = p.y;
    IncludePoint(box, previous);
    IncludePoint(box, p);
}

bool TGPolygon::HitTest(TPoint p) {
    HitDistance = 10000;
    const int32_t last = std::min<int32_t>(lastIndex, static_cast<int32_t>(vertices.size()) - 1);
    for (int32_t k = 0; k <= last && last >= 0; ++k) {
        TPoint next = k == last ? vertices[0] : vertices[k + 1];
        HitDistance = std::min(HitDistance, PointLineDistance(p, vertices[k], next));
    }
    return true;
}

int32_t TGPolygon::SaveToStream(TBinaryWriter& w) const {
    int32_t n = TGCustomFigure::SaveToStream(w);
    const int32_t last = std::max<int32_t>(lastIndex, -1);
    w.I32(last);
    for (int32_t i = 0; i <= last; ++i) {
        WritePoint(w, i < static_cast<int32_t>(vertices.size()) ? vertices[i] : TPoint{});
    }
    return n + 4 + 8 * (last + 1);
}

bool TGPolygon::LoadFromStream(int32_t v, TBinaryReader& r) {
    if (!TGCustomFigure::LoadFromStream(v, r)) return false;
    int32_t last = r.I32();
    // Any number of vertices a file holds is read; never more than it holds.
    if (r.Failed() || last < -1 || (static_cast<uint64_t>(last) + 1) * 8 > r.Remaining())
        return false;
    lastIndex = last;
    vertices.assign(std::max<size_t>(static_cast<size_t>(last + 1), 10), TPoint{});
    for (int32_t i = 0; i <= last; ++i) vertices[i] = ReadPoint(r);
    if (r.Failed()) return false;
    UpdateBounds();
    return true;
}

// ---- TGRectangle ----

TGRectangle::TGRectangle() : TGCustomFigure(kKindRectangle) {
    width = 1;
    style = 5;
}

bool TGRectangle::HitTest(TPoint p) {
    HitDistance = 10000;
    if (!TGCustomFigure::HitTest(p)) return false;
    int64_t d = std::min({std::llabs(static_cast<int64_t>(box.right) - p.x),
                          std::llabs(static_cast<int64_t>(p.x) - box.left),
                          std::llabs(static_cast<int64_t>(p.y) - box.bottom),
                          std::llabs(static_cast<int64_t>(box.top) - p.y)});
    HitDistance = ClampI(d);
    return true;
}

int32_t TGRectangle::StreamSize(int32_t v) const {
    return ClampI(static_cast<int64_t>(TGCustomFigure::StreamSize(v)) + 16);
}

int32_t TGRectangle::SaveToStream(TBinaryWriter& w) const {
    int32_t n = TGCustomFigure::SaveToStream(w);
    WriteRect(w, box);
    return n + 16;
}

bool TGRectangle::LoadFromStream(int32_t v, TBinaryReader& r) {
    if (!TGCustomFigure::LoadFromStream(v, r)) return false;
    box = ReadRect(r);
    x1 = box.left;
    y1 = box.top;
    x2 = box.right;
    y2 = box.bottom;
    return !r.Failed();
}

void TGRectangle::SetCorners(TPoint a, TPoint b) {
    box = BoxOf(a, b);
    x1 = box.left;
    y1 = box.top;
    x2 = box.right;
    y2 = box.bottom;
}

void TGRectangle::MoveHandle(TPoint mouseStart, TPoint mouseNow) {
    TPoint first{x1, y1}, second{x2, y2};
    DragBoxHandle(mouseStart, mouseNow, first, second, Tolerance(*this));
    SetCorners(first, second);
}

// ---- TGALine ----

TGALine::TGALine(const TGLajer* layers) : TGCustomFigure(kKindALine) {
    style = 0;
    const TDrawingGlobals& g = DrawingGlobals();
    int kind = g.DefaultBranchStyle;
    int32_t colour = g.DefLineColor;
    int32_t penWidth = g.BranchPenWidth;
    bool onLayer = false;
    if (const TLayerRecord* l = CreationLayer(layers, layer)) {
        onLayer = true;
        pen.width = l->penWidth;
        width = l->width;
        kind = l->style + 1;
        colour = l->colour;
        penWidth = l->penWidth;
    } else {
        width = g.WidthDefault;
    }
    switch (kind) {
    case 1:
    case 2:
        pen.colour = colour;
        brush.colour = colour;
        pen.width = penWidth;
        pen.style = 0;
        brush.style = kind == 1 ? 0 : 1;
        break;
    case 3:
        pen.colour = 0;
        brush.colour = colour;
        pen.width = penWidth;
        pen.style = 0;
        brush.style = 0;
        break;
    case 4:
        pen.colour = 0;
        brush.colour = colour;
        pen.width = onLayer ? 1 : penWidth;
        pen.style = 2;
        brush.style = 1;
        break;
    default:
        break;
    }
}

void TGALine::SetPoints(TPoint first, TPoint second) {
    x1 = first.x;
    y1 = first.y;
    x2 = second.x;
    y2 = second.y;
    box = BoxOf(first, second);
    const int64_t dx = static_cast<int64_t>(x1) - x2, dy = static_cast<int64_t>(y1) - y2;
    difference = {ClampI(dx), ClampI(dy)};
    if (dx == 0) {
        angle = dy <= 0 ? kPi / 2 : -kPi / 2;
    } else {
        angle = std::atan2(static_cast<double>(-dy), static_cast<double>(-dx));
    }
    sinCos = TSinCos::Of(angle);
}

bool TGALine::HitTest(TPoint p) {
    HitDistance = PointLineDistance(p, Second(), First());
    return true;
}

void TGALine::MoveHandle(TPoint mouseStart, TPoint mouseNow) {
    const int64_t tol = Tolerance(*this);
    const int64_t dx = static_cast<int64_t>(mouseNow.x) - mouseStart.x;
    const int64_t dy = static_cast<int64_t>(mouseNow.y) - mouseStart.y;
    auto strictlyNear = [&](TPoint a) {
        return std::llabs(static_cast<int64_t>(a.x) - mouseStart.x) < tol &&
               std::llabs(static_cast<int64_t>(a.y) - mouseStart.y) < tol;
    };
    TPoint first = First(), second = Second();
    if (strictlyNear(first)) {
        first = Offset(first, dx, dy);
    } else if (strictlyNear(second)) {
        second = Offset(second, dx, dy);
    } else {
        first = Offset(first, dx, dy);
        second = Offset(second, dx, dy);
    }
    SetPoints(first, second);
}

void TGALine::BuildOutline(int32_t halfWidth, int32_t, TOutline& out) {
    const int k = width == 1 ? 0 : 1;
    screenFirst = doc ? doc->WorldToScreen(First()) : First();
    screenSecond = doc ? doc->WorldToScreen(Second()) : Second();
    TPoint l = BandOffset(halfWidth, sinCos.cosL, sinCos.sinL);
    TPoint rt = BandOffset(halfWidth, sinCos.cosR, sinCos.sinR);
    out.flag = 0;
    out.points[0] = Offset(screenFirst, int64_t{k} * l.x, int64_t{k} * l.y);
    out.points[1] = Offset(screenSecond, int64_t{k} * l.x, int64_t{k} * l.y);
    out.points[2] = Offset(screenSecond, int64_t{k} * rt.x, int64_t{k} * rt.y);
    out.points[3] = Offset(screenFirst, int64_t{k} * rt.x, int64_t{k} * rt.y);
}

int32_t TGALine::StreamSize(int32_t v) const {
    return ClampI(static_cast<int64_t>(TGCustomFigure::StreamSize(v)) + 16);
}

int32_t TGALine::SaveToStream(TBinaryWriter& w) const {
    int32_t n = TGCustomFigure::SaveToStream(w);
    WritePoint(w, First());
    WritePoint(w, Second());
    return n + 16;
}

bool TGALine::LoadFromStream(int32_t v, TBinaryReader& r) {
    if (!TGCustomFigure::LoadFromStream(v, r)) return false;
    TPoint first = ReadPoint(r);
    TPoint second = ReadPoint(r);
    if (r.Failed()) return false;
    SetPoints(first, second);
    return true;
}

// ---- TGElipse ----

TGElipse::TGElipse(const TGLajer* layers) : TGElipse(kKindEllipse, layers) {}

TGElipse::TGElipse(int32_t kindCode, const TGLajer* layers) : TGCustomFigure(kindCode) {
    style = kindCode == kKindArc ? 7 : 8;
    ApplyShapeDefaults(*this, layers, true);
}

void TGElipse::SetRect(TPoint a, TPoint b, int32_t mode) {
    if (mode == 1) {
        const int32_t r = RoundI(PointDistance(a, b));
        box = {ClampI(static_cast<int64_t>(a.x) - r), ClampI(static_cast<int64_t>(a.y) + r),
               ClampI(static_cast<int64_t>(a.x) + r), ClampI(static_cast<int64_t>(a.y) - r)};
        radius = r;
    } else {
        box = BoxOf(a, b);
        radius = ClampI(std::min((static_cast<int64_t>(box.top) - box.bottom) / 2,
                                 (static_cast<int64_t>(box.right) - box.left) / 2));
    }
    x1 = box.left;
    y1 = box.top;
    x2 = box.right;
    y2 = box.bottom;
}

int32_t TGElipse::OutlineDistance(TPoint p) const {
    const double cx = (static_cast<double>(box.left) + box.right) / 2;
    const double cy = (static_cast<double>(box.top) + box.bottom) / 2;
    return std::abs(RoundI(std::hypot(p.x - cx, p.y - cy) - radius));
}

bool TGElipse::HitTest(TPoint p) {
    HitDistance = OutlineDistance(p);
    return true;
}

void TGElipse::MoveHandle(TPoint mouseStart, TPoint mouseNow) {
    TPoint first{x1, y1}, second{x2, y2};
    DragBoxHandle(mouseStart, mouseNow, first, second, Tolerance(*this));
    SetRect(first, second, 0);
}

int32_t TGElipse::StreamSize(int32_t v) const {
    return ClampI(static_cast<int64_t>(TGCustomFigure::StreamSize(v)) + 16);
}

int32_t TGElipse::SaveToStream(TBinaryWriter& w) const {
    int32_t n = TGCustomFigure::SaveToStream(w);
    WriteRect(w, box);
    return n + 16;
}

bool TGElipse::LoadFromStream(int32_t v, TBinaryReader& r) {
    if (!TGCustomFigure::LoadFromStream(v, r)) return false;
    TRect b = ReadRect(r);
    if (r.Failed()) return false;
    SetRect({b.left, b.top}, {b.right, b.bottom}, 0);
    return true;
}

// ---- TGArc ----

TGArc::TGArc(const TGLajer* layers) : TGElipse(kKindArc, layers) {}

void TGArc::SetPoints(TPoint first, TPoint second, TPoint centrePoint) {
    x1 = first.x;
    y1 = first.y;
    x2 = second.x;
    y2 = second.y;
    centre = centrePoint;
    const double dx = static_cast<double>(first.x) - centre.x;
    const double dy = static_cast<double>(first.y) - centre.y;
    radius = dx * dx + dy * dy < 1 ? 100 : RoundI(std::sqrt(dx * dx + dy * dy));
    box = {ClampI(static_cast<int64_t>(centre.x) - radius),
           ClampI(static_cast<int64_t>(centre.y) + radius),
           ClampI(static_cast<int64_t>(centre.x) + radius),
           ClampI(static_cast<int64_t>(centre.y) - radius)};
}

int32_t TGArc::OutlineDistance(TPoint p) const {
    return std::abs(RoundI(PointDistance(p, centre) - radius));
}

bool TGArc::HitTest(TPoint p) {
    HitDistance = 10000;
    const int64_t tol = Tolerance(*this);
    if (p.x < box.left - tol || p.x > box.right + tol || p.y < box.bottom - tol ||
        p.y > box.top + tol)
        return false;
    HitDistance = OutlineDistance(p);
    return true;
}

void TGArc::MoveHandle(TPoint mouseStart, TPoint mouseNow) {
    const int64_t tol = Tolerance(*this);
    const TPoint handles[3] = {centre, First(), Second()};
    int found = -1;
    for (int h = 0; h < 3; ++h) {
        if (Near(handles[h], mouseStart, tol)) found = h;
    }
    const int64_t dx = static_cast<int64_t>(mouseNow.x) - mouseStart.x;
    const int64_t dy = static_cast<int64_t>(mouseNow.y) - mouseStart.y;
    TPoint first = First(), second = Second(), c = centre;
    if (found == 0) {
        c = Offset(c, dx, dy);
        first = Offset(first, dx, dy);
        second = Offset(second, dx, dy);
    } else if (found == 1 || found == 2) {
        (found == 1 ? first : second) = Offset(found == 1 ? first : second, dx, dy);
        // A new centre on the bisector of the two points, at the old radius
        // from the first point.
        const double ax = first.x, ay = first.y, bx = second.x, by = second.y;
        if (ax != bx) {
            const double r = radius;
            const double k = bx * bx + by * by - ax * ax - ay * ay;
            const double m = (ay - by) / (bx - ax);
            const double cc = k / (2 * (bx - ax));
            const double a2 = m * m + 1;
            const double b = 2 * m * cc - 2 * m * ax - 2 * ay;
            const double c0 = cc * cc - 2 * cc * ax + ax * ax + ay * ay - r * r;
            const double d = b * b - 4 * a2 * c0;
            if (d >= 0) {
                const double y =
                    ax < bx ? (-b + std::sqrt(d)) / (2 * a2) : (-b - std::sqrt(d)) / (2 * a2);
                c.y = RoundI(y);
                c.x = RoundI(c.y * m + cc);
            }
        }
    }
    SetPoints(first, second, c);
}

int32_t TGArc::StreamSize(int32_t v) const {
    return ClampI(static_cast<int64_t>(TGElipse::StreamSize(v)) + 24);
}

int32_t TGArc::SaveToStream(TBinaryWriter& w) const {
    int32_t n = TGElipse::SaveToStream(w);
    WritePoint(w, First());
    WritePoint(w, Second());
    w.I32(centre.x);
    w.I32(centre.y);
    return n + 24;
}

bool TGArc::LoadFromStream(int32_t v, TBinaryReader& r) {
    if (!TGElipse::LoadFromStream(v, r)) return false;
    TPoint first = ReadPoint(r);
    TPoint second = ReadPoint(r);
    TPoint c = ReadPoint(r);
    if (r.Failed()) return false;
    SetPoints(first, second, c);
    return true;
}

} // namespace arv
