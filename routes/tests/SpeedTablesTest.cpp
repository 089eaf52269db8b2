#include "routes/SpeedTables.h"

#include <gtest/gtest.h>

namespace arv::routes {
namespace {

TEST(SlopeClasses, UpperBoundsBelongToTheLowerClassForEitherSign) {
    EXPECT_EQ(PeopleSlopeClass(10), 0);
    EXPECT_EQ(PeopleSlopeClass(-10), 0);
    EXPECT_EQ(PeopleSlopeClass(10.5), 10);
    EXPECT_EQ(PeopleSlopeClass(20), 10);
    EXPECT_EQ(PeopleSlopeClass(-30), 20);
    EXPECT_EQ(PeopleSlopeClass(60), 30);
    EXPECT_EQ(PeopleSlopeClass(60.01), 60);
    EXPECT_EQ(PeopleSlopeColumn(-75), 4);

    EXPECT_EQ(RescueSlopeClass(10), 0);
    EXPECT_EQ(RescueSlopeClass(15), 10);
    EXPECT_EQ(RescueSlopeClass(-15.5), 15);
    EXPECT_EQ(RescueSlopeClass(40), 30);
    EXPECT_EQ(RescueSlopeClass(70), 40);
    EXPECT_EQ(RescueSlopeClass(70.5), 70);
    EXPECT_EQ(RescueSlopeColumn(70.5), 6);
    EXPECT_EQ(RescueSlopeColumn(12), 1);
}

TEST(HeightRows, BoundsZeroAndNegativeHeights) {
    // 0 and negative heights are "not given": full-height rows.
    for (double h : {0.0, -1.0, 1.8, 5.0}) EXPECT_EQ(PeopleHeightRow(h), 0) << h;
    EXPECT_EQ(PeopleHeightRow(1.79), 1);
    EXPECT_EQ(PeopleHeightRow(1.2), 1);
    EXPECT_EQ(PeopleHeightRow(0.6), 2);
    EXPECT_EQ(PeopleHeightRow(0.59), -1);
    for (double h : {0.0, -0.3, 2.0}) EXPECT_EQ(RescueHeightRow(h), 6) << h;
    EXPECT_EQ(RescueHeightRow(1.99), 5);
    EXPECT_EQ(RescueHeightRow(1.4), 4);
    EXPECT_EQ(RescueHeightRow(0.8), 1);
    EXPECT_EQ(RescueHeightRow(0.6), 0);
    EXPECT_EQ(RescueHeightRow(0.5), -1);
    EXPECT_TRUE(IsLowWorking(0.5));
    EXPECT_FALSE(IsLowWorking(0.6));
    EXPECT_FALSE(IsLowWorking(0));
    EXPECT_FALSE(IsLowWorking(-0.5));
}

// Catches a mistyped norm: both tables of a pair agree on the level, and on
// slopes the odd one is never slower than the even one.
TEST(SpeedNorms, RescueTablePairsAgreeOnTheLevelAndOrderOnSlopes) {
    for (int t = 0; t < RescueTableCount; t += 2)
        for (int r = 0; r < 7; ++r) {
            EXPECT_EQ(RescueSpeedTables[t][r][0], RescueSpeedTables[t + 1][r][0]) << t << r;
            for (int c = 1; c < 7; ++c)
                EXPECT_GE(RescueSpeedTables[t][r][c], RescueSpeedTables[t + 1][r][c])
                    << "table " << t + 1 << " row " << r + 1 << " col " << c + 1;
        }
    // Level speed of miners does not depend on the direction.
    for (int r = 0; r < 3; ++r) EXPECT_EQ(PeopleSpeedUphill[r][0], PeopleSpeedDownhill[r][0]);
    // Rows slow down as workings get lower, slopes as they get steeper.
    for (int t = 0; t < RescueTableCount; ++t)
        for (int r = 0; r < 7; ++r)
            for (int c = 1; c < 7; ++c) {
                EXPECT_LT(RescueSpeedTables[t][r][c], RescueSpeedTables[t][r][c - 1]);
                if (r > 0) {
                    EXPECT_GE(RescueSpeedTables[t][r][c], RescueSpeedTables[t][r - 1][c]);
                }
            }
}

TEST(SpeedNorms, SpotValues) {
    EXPECT_EQ(PeopleSpeed(2.0, 25, true), 24.5);
    EXPECT_EQ(PeopleSpeed(2.0, 25, false), 31.5);
    EXPECT_EQ(PeopleSpeed(1.0, 65, true), 5.6);
    EXPECT_EQ(PeopleSpeed(1.5, 15, false), 35);
    EXPECT_EQ(PeopleSpeed(0.4, 0, true), 0);
    EXPECT_EQ(RescueSpeedTables[6][3][1], 20.5); // table 7, row 4, 10-15°
    EXPECT_EQ(RescueSpeedTables[9][6][6], 1.5);  // table 10, last cell
}

TEST(RescueTableIndex, ReachableIndicesAndTheTwoWithoutTable) {
    // {atmosphere, work} -> index going down or level, then up.
    struct TCase {
        int a, w, level, up;
    } cases[] = {{1, 0, 1, 2}, {1, 2, 4, 5},  {1, 1, 6, 7},
                 {0, 0, 6, 7}, {0, 2, 9, 10}, {0, 1, 11, 12}};
    for (const auto& c : cases) {
        TRescueParams p{c.a, c.w};
        EXPECT_EQ(RescueTableIndex(p, false), c.level);
        EXPECT_EQ(RescueTableIndex(p, true), c.up);
    }
}

TEST(Direction, UphillFollowsTheSignOfTheAngle) {
    EXPECT_TRUE(IsUphill(5, true));
    EXPECT_FALSE(IsUphill(5, false));
    EXPECT_TRUE(IsUphill(-5, false));
    EXPECT_FALSE(IsUphill(-5, true));
    EXPECT_FALSE(IsUphill(0, true));
    EXPECT_FALSE(IsUphill(0, false));
}

} // namespace
} // namespace arv::routes
