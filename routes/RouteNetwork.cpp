#include "routes/RouteNetwork.h"

#include "platform/Cp1251.h"

#include <algorithm>

namespace arv::routes {

int32_t TRouteNetwork::LastBranch() const {
    size_t n = std::min({BranchBeginNode.size(), BranchEndNode.size()});
    if (n == 0) return 0;
    return static_cast<int32_t>(std::min<size_t>(n - 1, MaxBranchCount));
}

bool TRouteNetwork::Included(int32_t b) const {
    return BeginNode(b) != 0 && EndNode(b) != 0;
}

bool TRouteNetwork::IsFire(int32_t b) const {
    static const std::string fire = Ru("ПЖ");
    if (b < 0 || static_cast<size_t>(b) >= BranchKindCode.size()) return false;
    return BranchKindCode[static_cast<size_t>(b)] == fire;
}

int32_t TRouteNetwork::SurfaceNode(int32_t i) const {
    if (i < 1 || i > SurfaceNodeCount) return 0;
    return At(SurfaceNodeList, i);
}

TRouteNetwork TRouteNetwork::FromCalc(const TCalcContext& c) {
    TRouteNetwork n;
    n.BranchBeginNode = c.BranchBeginNode;
    n.BranchEndNode = c.BranchEndNode;
    n.BranchLength = c.BranchLength;
    n.BranchHeight = c.BranchHeight;
    n.BranchSlope = c.BranchSlope;
    n.BranchFlow = c.BranchFlow;
    n.BranchKindCode = c.BranchKindCode;
    n.SmokedBranchMark = c.SmokedBranchMark;
    n.SurfaceNodeList = c.SurfaceNodeList;
    n.SurfaceNodeCount = std::clamp<int32_t>(c.SurfaceNodeCount, 0, MaxSurfaceNodes);
    return n;
}

} // namespace arv::routes
