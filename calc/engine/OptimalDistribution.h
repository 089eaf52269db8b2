// The optimal and the ideal air distribution: the fan flows and regulator
// resistances with which every consumer gets its required flow. Both repeat
// the coarse solver in passes of two stages, adjusting the flow bounds
// between them: stage 1 finds flows that meet the bounds, stage 2 lets the
// fans settle on their curves with the regulators holding the flows.
#pragma once

#include "calc/model/CalcModel.h"
#include "calc/model/NetworkTables.h"

namespace arv {

// Capacity of the regulators the distributions may place.
constexpr double IdealRegulatorCapacity = 10000;
constexpr double OptimalRegulatorCapacity = 1000;
// Passes after which the consumers count as impossible to supply.
constexpr int MaxOptimalPasses = 500;

// The optimal ('O') or ideal ('I') distribution, after CalcOptions position
// 2 was set: prepare, pass until every consumer is supplied or the fans gain
// nothing, then write the results and the consumer report. The caller saves
// the data first.
void CalcOptimalDistribution(TNetworkTables& t, TCalcContext& c);

// "Опт.распределение" and "Идеальн.распределение" without the save.
void Rasc_ORClick(TNetworkTables& t, TCalcContext& c);
void Rasc_IRClick(TNetworkTables& t, TCalcContext& c);

// A flow cut down to whole tenths of m3/s; 0.3 stays 0.3.
double TruncToTenth(double flow);

} // namespace arv
