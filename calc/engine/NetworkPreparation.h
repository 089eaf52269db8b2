// Turning the network tables into the calculation arrays before every
// calculation, and testing the network on the way. The first error found is
// shown in a message box, its row selected where one is known, and
// CalcErrorFlag set: the calculation must then not run.
#pragma once

#include "calc/model/CalcModel.h"
#include "calc/model/NetworkTables.h"

#include <string>
#include <string_view>

namespace arv {

// Fills every array the solver needs from the normal tables, or from the
// reverse tables when CalcOptions[40] is 'A', and checks the network. The
// result is CalcErrorFlag (0 = ready).
void PrepareNetwork(TNetworkTables& t, TCalcContext& c);

// Column 4 of a branch table row as the calculation will take it, when the
// row's length, section and coefficient give the resistance (all three
// positive): the text the reading above writes back. Empty when the row's
// own resistance counts.
std::string GeometryResistanceText(const TModGrid& dan, int row);

// The branch, fan and node tables into the arrays: node texts and counts,
// surface node list, work list, resistances (computed ones written back into
// column 4), types, fan curves, elevations, coordinates, lengths and slopes.
void ReadBranchTable(TNetworkTables& t, TCalcContext& c);
// The same from the reverse-mode tables, without geometry and node counts.
void ReadBranchTableAlt(TNetworkTables& t, TCalcContext& c);

// Node table columns 0, 2 and 3 from the incidence of the last preparation,
// the hanging-node question, then rows without branches removed and the
// table sorted.
void CheckNodesAndFillNodeTable(TNetworkTables& t, TCalcContext& c);

// The node table row of a node number; a new row below the current one when
// the table has none.
int FindNodeRow(TNetworkTables& t, int node);

// A calculation message: the normal cursor back, then an information box
// with a single Cancel button.
void ShowCalcMessage(std::string_view text);

// The type code of a branch as the calculation sees it: blanks dropped, at
// most the first two characters ("ВМП" is "ВМ").
std::string BranchKindOfCell(std::string_view cell);

} // namespace arv
