// Engineering calculations of the data window that work on single cells of
// the tables rather than on a solved network: the natural draught of the
// "ЕТ" branches with its report file, branch resistances from a pressure
// survey, and the resistance of a regulator window.
#pragma once

#include "calc/model/CalcModel.h"
#include "calc/model/NetworkTables.h"

#include <string>

namespace arv {

// "Расчет естественной тяги": column 18 of every "ЕТ" branch from the
// surface elevations and the air parameters of the first page, then the
// report file. A message stops it; cells already written stay written, and
// the table is marked modified as soon as one is.
void Rasc_ETClick(TNetworkTables& t, TCalcContext& c);

// The report of the natural draught, "rvetjaga.txt" in the program folder
// unless another name is given. False when the file could not be written
// (nothing is then written and nothing is said).
bool WriteNaturalDraughtReport(const TNetworkTables& t, const TCalcContext& c,
                               const std::string& fileName = {});

// "Расчет сопротивлений": only for the pressure survey of the initial data
// table.
void Rasc_SoprClick(TNetworkTables& t, TCalcContext& c);
// Column 6 of the survey := |P2 - P1| / Q^2 of columns 3, 4 and 5. A cell
// that is no number stops it with "Ошибка в данных", the cell selected.
void CalcBranchResistances(TNetworkTables& t);

// Resistance (km) of a window of area `window` in a regulator across a
// working of section `section` (both m2, 0 < window < section).
double RegulatorWindowResistance(double section, double window);

} // namespace arv
