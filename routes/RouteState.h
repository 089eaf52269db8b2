// Program-wide state of the route searches: which route window is open, the
// branches the user has excluded from routes and the branches the search
// found blocked by smoke. The route windows own the tables the searches
// write; they register them here while they are open.
#pragma once

#include "routes/RouteNetwork.h"

#include <cstdint>
#include <vector>

namespace arv {
class TModGrid;
}

namespace arv::routes {

// The two lists of branches routes must not use; no duplicates.
struct TRouteExclusions {
    // Picked on the plan while a route is edited; kept for every later search.
    std::vector<int32_t> ExcludedRouteBranches;
    // Found blocked by smoke; emptied when a search starts and for each target
    // candidate, so afterwards it holds what the last candidate searched met.
    std::vector<int32_t> ExcludedRouteBranches2;

    bool IsRouteBranchExcluded(int32_t b) const;
    bool IsRouteBranchExcluded2(int32_t b) const;
    bool IsExcludedAnywhere(int32_t b) const {
        return IsRouteBranchExcluded(b) || IsRouteBranchExcluded2(b);
    }
    void ExcludeRouteBranch(int32_t b);
    void ExcludeRouteBranch2(int32_t b);
};

struct TRouteState {
    // 0 no route window, 1 miners' window open, 2 rescue-team window open.
    uint8_t RouteKind = 0;
    TRouteExclusions Exclusions;
    // Choices of the rescue-team window.
    TRescueParams Rescue;
    // Route tables of the open windows; null while closed.
    TModGrid* PeopleRouteTable = nullptr;
    TModGrid* SaverRouteTable = nullptr;

    // Both lists emptied, as when the program ends.
    void Reset();
};

// The one route state of the program.
TRouteState& RouteState();

// The calls the plan's route editing makes on the program's lists.
bool IsRouteBranchExcluded(int32_t b);
bool IsRouteBranchExcluded2(int32_t b);
void ExcludeRouteBranch(int32_t b);
void ExcludeRouteBranch2(int32_t b);

} // namespace arv::routes
