#include "routes/RouteState.h"

#include <algorithm>

namespace arv::routes {

namespace {

bool Holds(const std::vector<int32_t>& list, int32_t b) {
    return std::find(list.begin(), list.end(), b) != list.end();
}

void AddOnce(std::vector<int32_t>& list, int32_t b) {
    if (!Holds(list, b)) list.push_back(b);
}

} // namespace

bool TRouteExclusions::IsRouteBranchExcluded(int32_t b) const {
    return Holds(ExcludedRouteBranches, b);
}

bool TRouteExclusions::IsRouteBranchExcluded2(int32_t b) const {
    return Holds(ExcludedRouteBranches2, b);
}

void TRouteExclusions::ExcludeRouteBranch(int32_t b) {
    AddOnce(ExcludedRouteBranches, b);
}

void TRouteExclusions::ExcludeRouteBranch2(int32_t b) {
    AddOnce(ExcludedRouteBranches2, b);
}

void TRouteState::Reset() {
    Exclusions.ExcludedRouteBranches.clear();
    Exclusions.ExcludedRouteBranches2.clear();
}

TRouteState& RouteState() {
    static TRouteState state;
    return state;
}

bool IsRouteBranchExcluded(int32_t b) {
    return RouteState().Exclusions.IsRouteBranchExcluded(b);
}

bool IsRouteBranchExcluded2(int32_t b) {
    return RouteState().Exclusions.IsRouteBranchExcluded2(b);
}

void ExcludeRouteBranch(int32_t b) {
    RouteState().Exclusions.ExcludeRouteBranch(b);
}

void ExcludeRouteBranch2(int32_t b) {
    RouteState().Exclusions.ExcludeRouteBranch2(b);
}

} // namespace arv::routes
