#include "routes/SpeedTables.h"

#include <cmath>

namespace arv::routes {

// Columns: up to 10°, 10-20°, 20-30°, 30-60°, above 60°.
// Rows: h >= 1.8 m or not given, 1.2-1.8 m, 0.6-1.2 m.
const double PeopleSpeedUphill[3][5] = {
    {52.5, 35, 24.5, 17.5, 7},
    {35, 28, 21, 14, 5},
    {21, 17.5, 14, 10.5, 5.6},
};

const double PeopleSpeedDownhill[3][5] = {
    {52.5, 49, 31.5, 21, 10.5},
    {35, 35, 28, 21, 5.6},
    {21, 21, 17.5, 14, 7},
};

// Columns: up to 10°, 10-15°, 15-20°, 20-30°, 30-40°, 40-70°, above 70°.
// Rows: 0.6-0.8 m, 0.8-1.0, 1.0-1.2, 1.2-1.4, 1.4-1.7, 1.7-2.0, h >= 2.0 m or
// not given.
const double RescueSpeedTables[10][7][7] = {
    {{10.2, 8, 6.9, 5.2, 3.8, 3.1, 1.4},
     {16.5, 10.3, 9.2, 6.9, 5.5, 4.4, 2.2},
     {22.8, 18.4, 14, 12.6, 8.8, 6.6, 3.3},
     {28.8, 23.6, 19, 15.5, 11.1, 8.2, 3.8},
     {34.8, 28.7, 23, 19.5, 13.2, 9.9, 4.4},
     {44.4, 35.6, 29.9, 24.5, 17.6, 12.1, 5.1},
     {54, 43.7, 34.5, 28.7, 20.9, 15.4, 7.1}},
    {{10.2, 6.9, 5.7, 4.6, 3.1, 2.1, 1.2},
     {16.5, 9.8, 8.6, 6.3, 4.9, 3.8, 1.4},
     {22.8, 14.9, 11.5, 9.8, 6.6, 4.9, 2.2},
     {28.8, 19, 15.5, 12.6, 8.8, 7.1, 3.3},
     {34.8, 23, 18.4, 15.5, 10.4, 7.7, 3.8},
     {44.4, 28.7, 23, 19.6, 13.2, 9.9, 4.9},
     {54, 34.5, 28.2, 23, 16.2, 12.1, 6}},
    {{6.9, 5.4, 4.9, 4.3, 3.5, 3, 2.3},
     {11.7, 8.5, 7.3, 6.4, 4.8, 3.9, 2.4},
     {16.4, 11.7, 9.9, 8.5, 6.2, 4.8, 2.6},
     {21, 14.7, 11.4, 10.6, 7.4, 5.7, 2.8},
     {25.7, 17.8, 15, 12.7, 8.8, 6.6, 3},
     {32.8, 22.5, 18.9, 15.9, 10.8, 7.9, 3.4},
     {39.9, 27.2, 22.7, 19, 12.9, 9.2, 3.7}},
    {{6.9, 4.3, 3.6, 2.9, 2.1, 1.7, 1.1},
     {11.7, 7, 5.6, 4.5, 3.8, 2.2, 1.2},
     {16.4, 9.7, 7.7, 6, 3.9, 2.8, 1.5},
     {21, 12.4, 9.7, 7.7, 4.8, 3.4, 1.7},
     {25.7, 15.1, 11.8, 9.3, 5.8, 3.9, 1.9},
     {32.8, 19.3, 15, 11.7, 7.1, 4.7, 2.1},
     {39.9, 23.3, 18, 14, 8.5, 5.6, 2.4}},
    {{4.5, 3.2, 2.9, 2.6, 2, 1.7, 1.3},
     {7.6, 5.4, 4.7, 4.1, 3.1, 2.5, 1.6},
     {10.6, 7.5, 6.5, 5.6, 4.1, 3.2, 1.8},
     {13.7, 9.6, 8.3, 7.2, 5.2, 3.9, 2},
     {16.8, 11.9, 10.1, 8.7, 6.3, 4.6, 2.3},
     {20.5, 14.6, 12.1, 10.6, 7.6, 5.7, 2.6},
     {26, 18.2, 15.6, 13.3, 9.4, 6.9, 3}},
    {{4.5, 2.7, 2.2, 1.8, 1.3, 1.1, 0.8},
     {7.6, 4.6, 3.7, 3, 2, 1.5, 0.9},
     {10.6, 6.5, 5.3, 4.2, 2.8, 2, 1},
     {13.7, 8.4, 6.7, 5.5, 3.4, 2.5, 1.1},
     {16.8, 10.3, 8.3, 6.6, 4.2, 2.9, 1.3},
     {20.5, 12.7, 9.9, 7.9, 5.7, 3.6, 1.4},
     {26, 16, 12.8, 10.3, 6.5, 4.3, 1.6}},
    {{8.5, 7, 6, 4.5, 3.5, 2.8, 1.3},
     {14, 9, 8, 6, 5, 4, 2},
     {19, 16, 13, 11, 8, 6, 3},
     {24, 20.5, 16.5, 13.5, 10, 7.5, 3.5},
     {29, 25, 20, 17, 12, 9, 4},
     {37, 31, 26, 21, 16, 11, 5.5},
     {45, 38, 30, 25, 19, 14, 6.5}},
    {{8.5, 6, 5, 4, 2.8, 2, 1},
     {14, 8.5, 7.5, 5.5, 4.5, 3.5, 1},
     {19, 13, 10, 8.5, 6, 4.5, 2},
     {24, 16.5, 13.5, 11, 8, 6.5, 3},
     {29, 20, 16, 13.5, 9.5, 7, 3.5},
     {37, 25, 20, 17, 12, 9, 4.5},
     {45, 30, 24.5, 20, 15, 11, 5.5}},
    {{3.9, 2.9, 2.6, 2.3, 1.9, 1.6, 1.2},
     {6.6, 4.8, 4.2, 3.7, 2.9, 2.3, 1.5},
     {9.2, 6.7, 5.8, 5, 3.8, 3, 1.7},
     {11.9, 8.6, 7.4, 6.4, 4.8, 3.6, 1.9},
     {14.6, 10.6, 9, 7.8, 5.8, 4.3, 2.1},
     {18.6, 13.5, 11.5, 9.8, 7.2, 5.4, 2.5},
     {22.6, 16.3, 13.9, 11.9, 8.7, 6.4, 2.8}},
    {{3.9, 2.4, 2, 1.6, 1.2, 1, 0.7},
     {6.6, 4.1, 3.3, 2.7, 1.9, 1.4, 0.8},
     {9.2, 5.8, 4.7, 3.8, 2.6, 1.9, 0.9},
     {11.9, 7.5, 6, 4.9, 3.2, 2.3, 1},
     {14.6, 9.2, 7.4, 5.9, 3.9, 2.7, 1.2},
     {18.6, 11.8, 9.4, 7.5, 5.4, 3.4, 1.3},
     {22.6, 14.3, 11.4, 9.2, 6, 4, 1.5}},
};

bool IsLowWorking(double height) {
    return height > 0 && height < MinPassableHeight;
}

int16_t PeopleSlopeClass(double angle) {
    double a = std::fabs(angle);
    if (a > 60) return 60;
    if (a > 30) return 30;
    if (a > 20) return 20;
    if (a > 10) return 10;
    return 0; // NaN lands here too
}

int16_t RescueSlopeClass(double angle) {
    double a = std::fabs(angle);
    if (a > 70) return 70;
    if (a > 40) return 40;
    if (a > 30) return 30;
    if (a > 20) return 20;
    if (a > 15) return 15;
    if (a > 10) return 10;
    return 0;
}

int PeopleSlopeColumn(double angle) {
    switch (PeopleSlopeClass(angle)) {
    case 0:
        return 0;
    case 10:
        return 1;
    case 20:
        return 2;
    case 30:
        return 3;
    default:
        return 4;
    }
}

int RescueSlopeColumn(double angle) {
    switch (RescueSlopeClass(angle)) {
    case 0:
        return 0;
    case 10:
        return 1;
    case 15:
        return 2;
    case 20:
        return 3;
    case 30:
        return 4;
    case 40:
        return 5;
    default:
        return 6;
    }
}

int PeopleHeightRow(double h) {
    if (!(h > 0) || h >= 1.8) return 0;
    if (h >= 1.2) return 1;
    if (h >= MinPassableHeight) return 2;
    return -1;
}

int RescueHeightRow(double h) {
    if (!(h > 0) || h >= 2.0) return 6;
    if (h >= 1.7) return 5;
    if (h >= 1.4) return 4;
    if (h >= 1.2) return 3;
    if (h >= 1.0) return 2;
    if (h >= 0.8) return 1;
    if (h >= MinPassableHeight) return 0;
    return -1;
}

double PeopleSpeed(double height, double angle, bool uphill) {
    int row = PeopleHeightRow(height);
    if (row < 0) return 0;
    int col = PeopleSlopeColumn(angle);
    return uphill ? PeopleSpeedUphill[row][col] : PeopleSpeedDownhill[row][col];
}

int RescueTableIndex(const TRescueParams& rescue, bool uphill) {
    int a = rescue.Atmosphere == 0 ? 6 : 1;
    int w = rescue.Work == 1 ? 5 : rescue.Work == 2 ? 3 : 0;
    return a + w + (uphill ? 1 : 0);
}

bool IsUphill(double angle, bool forward) {
    return forward ? angle > 0 : angle < 0;
}

} // namespace arv::routes
