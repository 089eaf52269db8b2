// Points, rectangles and the small geometry that hit tests, editing and the
// branch outlines use. World coordinates are int32 with y growing upward;
// screen coordinates are pixels with y growing downward.
#pragma once

#include <cmath>
#include <cstdint>

namespace arv {

struct TPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const TPoint&) const = default;
};

// left, top, right, bottom. World rectangles keep top >= bottom, screen
// rectangles top <= bottom.
struct TRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const TRect&) const = default;
};

constexpr double kPi = 3.14159265358979323846;

// Nearest integer with halves to even, saturated to the int32 range (NaN
// gives 0): coordinates from a hostile file must never overflow.
int32_t RoundISaturated(double v);
inline int32_t RoundI(double v) {
    // In range, rounding to nearest as the machine does by default (halves
    // to even) is Round's rule exactly; the drawing pass rounds every
    // coordinate, so this stays inline.
    if (v > -2147483648.0 && v < 2147483647.0) return static_cast<int32_t>(std::rint(v));
    return RoundISaturated(v);
}
// Saturating int32 of a 64-bit intermediate.
int32_t ClampI(int64_t v);
// (a + b) div 2, truncated toward zero, without overflow.
int32_t HalfSum(int32_t a, int32_t b);

// 8 left, 4 right, 2 above (y < top), 1 below (y > bottom): screen sense.
int ClipOutcode(int32_t x, int32_t y, const TRect& r);
// Near a small rectangle: widths and heights under 3 count as round(1 / scale).
bool PointNearRect(int32_t x, int32_t y, const TRect& r, double scale);
// Inside the quadrilateral p1, p4, p3, p2 by the even-odd rule.
bool PointInQuad(int32_t x, int32_t y, TPoint p1, TPoint p2, TPoint p3, TPoint p4);
// Distance of p from the infinite line through a and b (a vertical line:
// only within its y range, else 1000).
int32_t PointLineDistance(TPoint p, TPoint a, TPoint b);
double PointDistance(TPoint a, TPoint b);
double DirectionAngle(TPoint a, TPoint b);

struct TIntersection {
    TPoint point;
    bool pastEnd = false; // beyond a2 or b2, seen from a1 or b1
    bool between = false; // within both segments (only when not pastEnd)
};
TIntersection LineIntersection(TPoint a1, TPoint a2, TPoint b1, TPoint b2);

// Grows a world rectangle (top >= bottom) to hold the point.
void IncludePoint(TRect& r, TPoint p);

} // namespace arv
