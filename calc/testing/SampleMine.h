// The sample mine "Северная", as a user would type it: fourteen workings, two
// exhaust fans, a regulator, a fixed-flow face, a face that needs air, a
// natural draught in the adit, and four surface points. The program ships it
// as samples/SampleMine.dan.
#pragma once

#include "calc/model/NetworkTables.h"

namespace arv::test {

void BuildSampleMine(TNetworkTables& t);

// The sample's tables as the lines of a ".dan" file (CP1251, no line ends).
std::vector<std::string> SampleMineDanLines(const TNetworkTables& t, const TCalcOptions& o);

} // namespace arv::test
