// One route from a start branch to the best of its targets, written into the
// current row of a route table.
#pragma once

#include "routes/KestrumGraph.h"

#include <string>
#include <vector>

namespace arv {
class TModGrid;
}

namespace arv::routes {

struct TRouteOutcome {
    bool Found = false;
    int32_t StartNode = 0;
    double Time = 0;   // minutes
    double Length = 0; // metres
    std::vector<int32_t> Branches;
};

// Graph kinds.
constexpr int GraphKindTime = 0;
constexpr int GraphKindLength = 1;

// Columns of the two route tables.
struct TRouteColumns {
    int Route, Time, Length;
    int StartNode; // -1: not written
};
TRouteColumns RouteColumns(int routeKind);

// The search without the table: builds the graph of graphKind once, starts
// at the begin node of startBranch (fromEnd 0) or at its end node, and runs
// the variant of targetKind. target: a branch for the target kinds 2 and 3.
TRouteOutcome SearchMineRoute(const TRouteNetwork& network, const TRescueParams& rescue,
                              TRouteExclusions& exclusions, int32_t startBranch, int fromEnd,
                              int targetKind, int32_t target, int routeKind, int graphKind);

// Texts of a route row.
std::string RouteText(const std::vector<int32_t>& branches);
std::string TimeText(double minutes);
std::string LengthText(double metres);
// "Путь не найден"
const std::string& NoRouteText();

// Found: route, time and length (and for miners the start node after the
// caption of column 1); not found: "Путь не найден" with no length or time.
void WriteRouteRow(TModGrid& table, int routeKind, const TRouteOutcome& outcome);

struct TRouteSearchContext {
    TRouteNetwork Network;
    TRescueParams Rescue;
    TRouteExclusions* Exclusions = nullptr;
    TModGrid* PeopleTable = nullptr;
    TModGrid* SaverTable = nullptr;
};

void FindMineRoute(TRouteSearchContext& context, int32_t startBranch, int fromEnd, int targetKind,
                   int32_t target, int routeKind, int graphKind);
// Over the program's calculation arrays and route state.
void FindMineRoute(int32_t startBranch, int fromEnd, int targetKind, int32_t target, int routeKind,
                   int graphKind);

} // namespace arv::routes
