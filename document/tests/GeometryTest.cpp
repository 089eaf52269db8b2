#include "document/Geometry.h"
#include "platform/NumberFormat.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace arv;

TEST(Geometry, RoundingIsHalfToEvenAndSaturates) {
    EXPECT_EQ(2, RoundI(2.5));
    EXPECT_EQ(4, RoundI(3.5));
    EXPECT_EQ(-2, RoundI(-2.5));
    EXPECT_EQ(std::numeric_limits<int32_t>::max(), RoundI(1e300));
    EXPECT_EQ(std::numeric_limits<int32_t>::min(), RoundI(-1e300));
    EXPECT_EQ(0, RoundI(std::nan("")));
    // The fast path agrees with the program's Round everywhere in range:
    // halves, their neighbours, fractions of a scale, the edges.
    for (double base : {0.0, 1.0, 2.0, 1e3, 123456.0, 2147483640.0}) {
        for (double frac : {0.0, 0.25, 0.5, 0.75, 1.5}) {
            for (double v : {base + frac, -(base + frac)}) {
                for (double w : {v, std::nextafter(v, 1e300), std::nextafter(v, -1e300)}) {
                    EXPECT_EQ(Round(w), RoundI(w)) << w;
                }
            }
        }
    }
    EXPECT_EQ(2147483647, RoundI(2147483646.6));
    EXPECT_EQ(-2147483647 - 1, RoundI(-2147483648.4));
    EXPECT_EQ(-1, HalfSum(-3, 0)); // toward zero
    EXPECT_EQ(
        std::numeric_limits<int32_t>::max() - 1,
        HalfSum(std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max() - 2));
}

TEST(Geometry, ClipOutcodeUsesScreenSense) {
    TRect r{0, 0, 10, 10};
    EXPECT_EQ(0, ClipOutcode(5, 5, r));
    EXPECT_EQ(8 + 2, ClipOutcode(-1, -1, r));
    EXPECT_EQ(4 + 1, ClipOutcode(11, 11, r));
}

TEST(Geometry, PointNearRectWidensThinRectangles) {
    // A rectangle 10 wide and 10 high reaches one width/height beyond itself.
    TRect r{0, 20, 10, 10};
    EXPECT_TRUE(PointNearRect(-10, 15, r, 1.0));
    EXPECT_FALSE(PointNearRect(-11, 15, r, 1.0));
    // A zero-width rectangle counts round(1 / scale) on each side.
    TRect thin{5, 20, 5, 10};
    EXPECT_TRUE(PointNearRect(7, 15, thin, 0.5));
    EXPECT_FALSE(PointNearRect(8, 15, thin, 0.5));
}

TEST(Geometry, PointInQuadByEvenOdd) {
    TPoint a{0, 0}, b{10, 0}, c{10, 10}, d{0, 10};
    EXPECT_TRUE(PointInQuad(5, 5, a, b, c, d));
    EXPECT_FALSE(PointInQuad(15, 5, a, b, c, d));
    EXPECT_FALSE(PointInQuad(5, -1, a, b, c, d));
    // A turned square (diamond).
    EXPECT_TRUE(PointInQuad(0, 0, {-5, 0}, {0, 5}, {5, 0}, {0, -5}));
    EXPECT_FALSE(PointInQuad(4, 4, {-5, 0}, {0, 5}, {5, 0}, {0, -5}));
}

TEST(Geometry, PointLineDistance) {
    // Horizontal line: distance to the infinite line.
    EXPECT_EQ(7, PointLineDistance({50, 7}, {0, 0}, {10, 0}));
    // Diagonal: (0, 10) lies 10 / sqrt(2) = 7.07 from y = x.
    EXPECT_EQ(7, PointLineDistance({0, 10}, {0, 0}, {10, 10}));
    // Vertical: within the y range the x distance, beyond it 1000.
    EXPECT_EQ(3, PointLineDistance({3, 5}, {0, 0}, {0, 10}));
    EXPECT_EQ(1000, PointLineDistance({3, 11}, {0, 0}, {0, 10}));
    EXPECT_EQ(1000, PointLineDistance({0, 10}, {0, 0}, {0, 10}));
}

TEST(Geometry, DirectionAngleAndDistance) {
    EXPECT_DOUBLE_EQ(0.0, DirectionAngle({0, 0}, {5, 0}));
    EXPECT_DOUBLE_EQ(kPi, DirectionAngle({0, 0}, {-5, 0}));
    // Vertical: +pi/2 unless the first point lies at least 1 higher.
    EXPECT_DOUBLE_EQ(kPi / 2, DirectionAngle({0, 0}, {0, 5}));
    EXPECT_DOUBLE_EQ(kPi / 2, DirectionAngle({0, 0}, {0, 0}));
    EXPECT_DOUBLE_EQ(-kPi / 2, DirectionAngle({0, 5}, {0, 0}));
    EXPECT_DOUBLE_EQ(5.0, PointDistance({0, 0}, {3, 4}));
    EXPECT_DOUBLE_EQ(0.0, PointDistance({2, 2}, {2, 2}));
}

TEST(Geometry, LineIntersection) {
    auto x = LineIntersection({0, 0}, {10, 10}, {0, 10}, {10, 0});
    EXPECT_EQ((TPoint{5, 5}), x.point);
    EXPECT_FALSE(x.pastEnd);
    EXPECT_TRUE(x.between);
    // The lines meet beyond the end of the first segment.
    auto past = LineIntersection({0, 0}, {2, 2}, {0, 10}, {10, 0});
    EXPECT_EQ((TPoint{5, 5}), past.point);
    EXPECT_TRUE(past.pastEnd);
    // A vertical line keeps its x.
    auto v = LineIntersection({3, -5}, {3, 5}, {0, 0}, {10, 10});
    EXPECT_EQ((TPoint{3, 3}), v.point);
    // Parallel lines meet at the smaller of the two larger x values.
    auto par = LineIntersection({0, 0}, {8, 0}, {0, 2}, {6, 2});
    EXPECT_EQ(6, par.point.x);
}
