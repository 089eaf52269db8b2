// The natural air distribution, from the tables to the results: preparation,
// the solver, then flows, depressions, velocities, regulator resistances,
// fan operating points, node pressures and the consumer and pressure reports
// written back into the tables and prepared texts. The other calculations
// reuse the result writers.
#pragma once

#include "calc/model/CalcModel.h"
#include "calc/model/NetworkTables.h"

namespace arv {

// The command "Естест.распределение" (F5): prepare, solve, show.
void Rasc_ERClick(TNetworkTables& t, TCalcContext& c);

// Results of the normal tables: branch and fan tables, consumer headings,
// then the node pressures.
void ShowCalcResults(TNetworkTables& t, TCalcContext& c);
// The same for the reverse-mode tables.
void ShowEmergencyResults(TNetworkTables& t, TCalcContext& c);

// Depression and computed regulator resistance of one branch.
void CalcBranchRegulator(TCalcContext& c, int i);
// Pressure of every node reachable from a surface node.
void ComputeNodePressures(TCalcContext& c);
// Node-pressure report into MemoDav, node table column 1 and PressureText.
void WriteNodePressureReport(TNetworkTables& t, TCalcContext& c);
// Consumer report into MemoPotr, and the consumer table.
void VyvMemoPotr(TNetworkTables& t, TCalcContext& c);
void VyvTablPotr(TNetworkTables& t, TCalcContext& c);

// A flow in m3/s as the tables show it: times the flow unit, two decimals
// for m3/s, whole numbers for m3/min.
std::string FlowCellText(const TCalcContext& c, double flow);

} // namespace arv
