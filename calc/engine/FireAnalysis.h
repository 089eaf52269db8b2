// A fire in one working and what follows from it: which consumers lose their
// air and where the stream reverses, the time in which the fire products
// reach every working, and the gas concentration after mixing at the nodes.
#pragma once

#include "calc/model/CalcModel.h"
#include "calc/model/NetworkTables.h"

#include <functional>

namespace arv {

// Stability at a fire in the branch of the current row of TablDan; report
// "rvust.txt", spread times in column 19. False when it was stopped or
// failed.
bool Rasc_PogClick(TNetworkTables& t, TCalcContext& c);

// Spread time of fire products over the grid's "ПЖ" branch (column 19),
// from the work list and nodes of the last preparation. False (and
// CalcErrorFlag set) without exactly one "ПЖ" branch.
bool CalcFireBranch(TNetworkTables& t, TCalcContext& c, TModGrid& grid);

// Gas concentration of every branch after mixing at the nodes (column 17),
// from the flows of the last calculation. The passes end when no gas flow
// moves by more than GasSettledShare of itself, after 2·W + 1 passes at the
// latest (W the work-list count); returns the passes run. Where air
// recirculates, the values approach their limit by a ratio q a pass and
// stop within GasSettledShare·q/(1 − q) of it.
int CalcConcentration(TCalcContext& c, TModGrid& grid);
constexpr double GasSettledShare = 1e-12;

// The menu commands of the normal mode; saveData saves the data set.
void Rasc_VrPogClick(TNetworkTables& t, TCalcContext& c, const std::function<void()>& saveData);
void Rasc_KoncClick(TNetworkTables& t, TCalcContext& c);

// The message of a command that needs a calculation of the tables as they
// are now.
void ShowCalculationNeeded();

} // namespace arv
