#include "document/Geometry.h"

#include "platform/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace arv {

int32_t RoundISaturated(double v) {
    if (std::isnan(v)) return 0;
    constexpr double lo = std::numeric_limits<int32_t>::min();
    constexpr double hi = std::numeric_limits<int32_t>::max();
    if (v <= lo) return std::numeric_limits<int32_t>::min();
    if (v >= hi) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(Round(v));
}

int32_t ClampI(int64_t v) {
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(v);
}

int32_t HalfSum(int32_t a, int32_t b) {
    return static_cast<int32_t>((static_cast<int64_t>(a) + b) / 2);
}

int ClipOutcode(int32_t x, int32_t y, const TRect& r) {
    int code = 0;
    if (x < r.left) code += 8;
    if (x > r.right) code += 4;
    if (y < r.top) code += 2;
    if (y > r.bottom) code += 1;
    return code;
}

bool PointNearRect(int32_t x, int32_t y, const TRect& r, double scale) {
    int64_t w = static_cast<int64_t>(r.right) - r.left;
    int64_t h = static_cast<int64_t>(r.top) - r.bottom;
    int64_t small = scale > 0 ? RoundI(1.0 / scale) : 1;
    if (w < 3) w = small;
    if (h < 3) h = small;
    return r.left - w <= x && x <= r.right + w && r.top - h <= y && y <= r.bottom + h;
}

bool PointInQuad(int32_t x, int32_t y, TPoint p1, TPoint p2, TPoint p3, TPoint p4) {
    const TPoint poly[4] = {p1, p4, p3, p2};
    bool inside = false;
    for (int i = 0, j = 3; i < 4; j = i++) {
        const TPoint& a = poly[i];
        const TPoint& b = poly[j];
        if ((a.y > y) != (b.y > y)) {
            // x of the edge at height y; a crossing counts when it lies right
            // of the point, on the ray toward x = 999999.
            double cx = a.x + static_cast<double>(b.x - static_cast<double>(a.x)) *
                                  (y - static_cast<double>(a.y)) / (static_cast<double>(b.y) - a.y);
            if (x < cx) inside = !inside;
        }
    }
    return inside;
}

int32_t PointLineDistance(TPoint p, TPoint a, TPoint b) {
    double d;
    if (a.x != b.x) {
        double m = ((static_cast<double>(a.y) - b.y) + 0.00001) /
                   ((static_cast<double>(a.x) - b.x) + 0.0000001);
        double m2 = -1.0 / m;
        double cPerp = p.y - m2 * p.x;
        double cLine = a.y - m * a.x;
        double fx = (cLine - cPerp) / (m2 - m);
        double fy = m * fx + cLine;
        d = std::hypot(p.x - fx, p.y - fy);
    } else if (std::min(a.y, b.y) < p.y && p.y < std::max(a.y, b.y)) {
        d = std::fabs(static_cast<double>(a.x) - p.x);
    } else {
        d = 1000;
    }
    int32_t r = RoundI(d);
    return r < 0 ? (r == std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::max()
                                                             : -r)
                 : r;
}

double PointDistance(TPoint a, TPoint b) {
    return std::hypot(static_cast<double>(a.x) - b.x, static_cast<double>(a.y) - b.y);
}

double DirectionAngle(TPoint a, TPoint b) {
    if (a.x == b.x) return (static_cast<int64_t>(a.y) - b.y < 1) ? kPi / 2 : -kPi / 2;
    return std::atan2(static_cast<double>(b.y) - a.y, static_cast<double>(b.x) - a.x);
}

namespace {
// Past `to` as seen from `from` along one axis.
bool PastOnAxis(int32_t from, int32_t to, double v) {
    if (to > from) return v > to;
    if (to < from) return v < to;
    return false;
}
bool WithinAxis(int32_t a, int32_t b, double v) {
    return std::min(a, b) <= v && v <= std::max(a, b);
}
} // namespace

TIntersection LineIntersection(TPoint a1, TPoint a2, TPoint b1, TPoint b2) {
    const bool aVertical = a1.x == a2.x;
    const bool bVertical = b1.x == b2.x;
    double ma =
        aVertical ? 0 : (static_cast<double>(a2.y) - a1.y) / (static_cast<double>(a2.x) - a1.x);
    double mb =
        bVertical ? 0 : (static_cast<double>(b2.y) - b1.y) / (static_cast<double>(b2.x) - b1.x);
    double ca = a1.y - ma * a1.x;
    double cb = b1.y - mb * b1.x;
    double x, y;
    if (aVertical && bVertical) {
        x = std::min(std::max(a1.x, a2.x), std::max(b1.x, b2.x));
        y = a2.y;
    } else if (aVertical) {
        x = a1.x;
        y = mb * x + cb;
    } else if (bVertical) {
        x = b1.x;
        y = ma * x + ca;
    } else if (ma == mb) {
        // Parallel lines meet at the smaller of the two larger x values.
        x = std::min(std::max(a1.x, a2.x), std::max(b1.x, b2.x));
        y = ma * x + ca;
    } else {
        x = (cb - ca) / (ma - mb);
        y = ma * x + ca;
    }
    TIntersection r;
    r.point = {RoundI(x), RoundI(y)};
    r.pastEnd = PastOnAxis(a1.x, a2.x, x) || PastOnAxis(a1.y, a2.y, y) ||
                PastOnAxis(b1.x, b2.x, x) || PastOnAxis(b1.y, b2.y, y);
    if (!r.pastEnd) {
        r.between = WithinAxis(a1.x, a2.x, x) && WithinAxis(a1.y, a2.y, y) &&
                    WithinAxis(b1.x, b2.x, x) && WithinAxis(b1.y, b2.y, y);
    }
    return r;
}

void IncludePoint(TRect& r, TPoint p) {
    r.left = std::min(r.left, p.x);
    r.right = std::max(r.right, p.x);
    r.top = std::max(r.top, p.y);
    r.bottom = std::min(r.bottom, p.y);
}

} // namespace arv
