// Reading the Tresk exchange text that the converter halvard writes: mine
// names, branches, nodes and turn points into the network tables, the plan
// coordinates scaled and mirrored into drawing units.
#pragma once

#include "calc/model/CalcModel.h"
#include "calc/model/NetworkTables.h"

#include <string>

namespace arv {

// Working columns of the branch table. They carry the drawing data of an
// imported mine until the scheme import moves it into its base data.
constexpr int TreskPlaColourCol = 16;
constexpr int TreskOutsideTypeCol = 17;
constexpr int TreskFreshAirCol = 19;
constexpr int TreskPlaPositionCol = 23;
constexpr int TreskTurnCountCol = 24;
// Turn point k (from 0): x in column TreskFirstTurnCol + 2k, y in the next.
constexpr int TreskFirstTurnCol = 25;

// Replaces the branch, fan and node tables (and the names, when the file
// carries them) by the content of the file. Shows "Импорт файла Tresk"
// before anything is read: that box is the pause that lets the converter
// finish its file. A record that cannot be taken (a number that is not one, a
// node number outside the node arrays, a coordinate too large for the
// drawing) is shown in a message naming its line and ends the reading; the
// tables keep the records before it.
//
// True, and DataLoadedFlag set, when the whole file was read. The flag is
// never cleared here: the caller clears it before and tests it after. A file
// that cannot be opened gives no message of its own; the caller reports it.
// announce: false leaves out the opening box (a read that only tries the file).
bool ImportTreskText(const std::string& fileName, TNetworkTables& t, TCalcContext& c,
                     bool announce = true);

} // namespace arv
