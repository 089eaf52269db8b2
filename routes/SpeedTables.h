// Speed norms of miners and of mine-rescue teams in workings of a given
// height and slope, m/min, and the classes that index them.
#pragma once

#include "routes/RouteNetwork.h"

#include <cstdint>

namespace arv::routes {

// Rows: height class; columns: slope class.
extern const double PeopleSpeedUphill[3][5];
extern const double PeopleSpeedDownhill[3][5];
// Ten tables; rows: height class; columns: slope class.
extern const double RescueSpeedTables[10][7][7];

// Below this height (and above 0, which means "not given") nobody passes.
constexpr double MinPassableHeight = 0.6;

// 0 < h < 0.6: a working too low to walk.
bool IsLowWorking(double height);

// Class value of the absolute angle: 0, 10, 20, 30 or 60; an upper bound
// belongs to the lower class.
int16_t PeopleSlopeClass(double angle);
// 0, 10, 15, 20, 30, 40 or 70.
int16_t RescueSlopeClass(double angle);
// The same classes as 0-based table columns.
int PeopleSlopeColumn(double angle);
int RescueSlopeColumn(double angle);
// 0-based table rows; -1 for a low working. A height of 0 or below is "not
// given" and takes the row of full-height workings.
int PeopleHeightRow(double height);
int RescueHeightRow(double height);

// Speed of miners, uphill or down; 0 for a low working.
double PeopleSpeed(double height, double angle, bool uphill);

// The rescue table number (1..10 names a table) for the window's choices.
// The sum looks as if the codes were meant to address pairs of tables, but
// it is the rule the speed norms were tabulated for and stored routes were
// built with, so it is kept: atmosphere unfit 6 / fit 1, plus work
// reconnaissance 0 / liquidation 5 / carrying a casualty 3, plus 1 uphill.
// Unfit air with liquidation gives 11 or 12, for which there is no table.
int RescueTableIndex(const TRescueParams& rescue, bool uphill);
constexpr int RescueTableCount = 10;

// Travel up the slope: begin to end on a rising working, end to begin on a
// falling one. forward: from the begin node to the end node.
bool IsUphill(double angle, bool forward);

} // namespace arv::routes
