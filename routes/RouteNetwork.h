// What the route searches read of the network, kept apart from the program's
// one calculation context so that a search runs on any network: views of the
// per-branch arrays (slot 0 unused, branch numbers index them directly), the
// surface node list, and the choices of the rescue-team window.
#pragma once

#include "calc/model/CalcModel.h"

#include <cstdint>
#include <span>
#include <string>

namespace arv::routes {

struct TRouteNetwork {
    std::span<const int32_t> BranchBeginNode, BranchEndNode;
    std::span<const double> BranchLength, BranchHeight, BranchSlope, BranchFlow;
    std::span<const std::string> BranchKindCode; // CP1251
    std::span<const int32_t> SmokedBranchMark;
    std::span<const int32_t> SurfaceNodeList; // entries 1..SurfaceNodeCount
    int32_t SurfaceNodeCount = 0;

    // Highest branch number every per-branch view can answer, at most
    // MaxBranchCount.
    int32_t LastBranch() const;
    // Both end nodes set.
    bool Included(int32_t b) const;
    // Readers that answer 0 (or "") for a slot a view does not have.
    int32_t BeginNode(int32_t b) const { return At(BranchBeginNode, b); }
    int32_t EndNode(int32_t b) const { return At(BranchEndNode, b); }
    double Length(int32_t b) const { return At(BranchLength, b); }
    double Height(int32_t b) const { return At(BranchHeight, b); }
    double Slope(int32_t b) const { return At(BranchSlope, b); }
    double Flow(int32_t b) const { return At(BranchFlow, b); }
    int32_t SmokeMark(int32_t b) const { return At(SmokedBranchMark, b); }
    bool IsFire(int32_t b) const;
    // Entry i (1-based) of the surface node list; 0 outside it.
    int32_t SurfaceNode(int32_t i) const;

    // The arrays of a calculation context.
    static TRouteNetwork FromCalc(const TCalcContext& c);

private:
    template <class T> static T At(std::span<const T> a, int32_t i) {
        return i >= 0 && static_cast<size_t>(i) < a.size() ? a[static_cast<size_t>(i)] : T{};
    }
};

// The two choices of the rescue-team window that select a speed table, as
// item indices of their radio groups.
struct TRescueParams {
    int Atmosphere = 1; // 0 "непригодная для дыхания", 1 "пригодная для дыхания"
    int Work = 0; // 0 "разведка", 1 "ликвидация аварии", 2 "транспортировка пострадавшего"
};

} // namespace arv::routes
