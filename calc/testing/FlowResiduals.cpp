#include "FlowResiduals.h"

#include "calc/model/BranchTypes.h"

#include <cmath>
#include <cstdlib>
#include <deque>
#include <vector>

namespace arv::test {

namespace {

// The fan curve, flat at its constant term left of a fan's top and right of
// a reversed fan's top.
double SourcePressure(const TCalcContext& c, int i, double q) {
    double a = c.FanCoefA[i], b = c.FanCoefB[i], k = c.FanCoefC[i];
    const std::string& code = c.BranchKindCode[i];
    if (code == BranchType::Fan && q < c.FanFlowLimit[i]) return k;
    if (code == BranchType::FanReversed && q > c.FanFlowLimit[i]) return k;
    return a * q * q + b * q + k;
}

double SourceSlope(const TCalcContext& c, int i, double q) {
    const std::string& code = c.BranchKindCode[i];
    if (code == BranchType::Fan && q < c.FanFlowLimit[i]) return 0;
    if (code == BranchType::FanReversed && q > c.FanFlowLimit[i]) return 0;
    return 2 * c.FanCoefA[i] * q + c.FanCoefB[i];
}

// Change of the branch's drop per unit of flow.
double DropSlope(const TCalcContext& c, int i) {
    double q = c.BranchFlow[i];
    double slope = 2 * c.BranchResistance[i] * std::fabs(q);
    if (c.BranchCalcKind[i] > 0) slope += std::fabs(SourceSlope(c, i, q));
    return slope;
}

bool Regulated(const TCalcContext& c, int i) {
    return c.RegulatorResistance[i] > 0;
}

} // namespace

double BranchDrop(const TCalcContext& c, int i) {
    double q = c.BranchFlow[i];
    double drop = c.BranchResistance[i] * q * std::fabs(q);
    if (c.BranchCalcKind[i] > 0) drop -= SourcePressure(c, i, q);
    return drop;
}

TFlowResiduals CheckFlows(const TCalcContext& c) {
    TFlowResiduals r;
    const int count = std::min(c.BranchWorkCount, MaxBranchCount);
    // Node 0 stands for every surface node.
    auto node = [&](int k) { return c.SurfaceNodeFlag[k] ? 0 : k; };

    std::vector<double> net(MaxNodeCount + 1, 0);
    for (int w = 1; w <= count; ++w) {
        int i = c.BranchWorkList[w];
        net[node(c.BranchBeginNode[i])] -= c.BranchFlow[i];
        net[node(c.BranchEndNode[i])] += c.BranchFlow[i];
    }
    for (int k = 1; k <= MaxNodeCount; ++k)
        if (std::fabs(net[k]) > r.MaxNodeImbalance) {
            r.MaxNodeImbalance = std::fabs(net[k]);
            r.WorstNode = k;
        }

    // Potentials along a spanning forest of the unregulated branches.
    std::vector<std::vector<int>> incident(MaxNodeCount + 1);
    for (int w = 1; w <= count; ++w) {
        int i = c.BranchWorkList[w];
        if (Regulated(c, i)) continue;
        incident[node(c.BranchBeginNode[i])].push_back(i);
        incident[node(c.BranchEndNode[i])].push_back(i);
    }
    std::vector<int> tree(MaxNodeCount + 1, -1); // branch to the parent, 0 for a root
    std::vector<int> parent(MaxNodeCount + 1, -1), depth(MaxNodeCount + 1, 0);
    std::vector<int> component(MaxNodeCount + 1, -1);
    std::vector<double> potential(MaxNodeCount + 1, 0);
    std::vector<char> inTree(MaxBranchCount + 1, 0);
    for (int root = 0; root <= MaxNodeCount; ++root) {
        if (component[root] >= 0 || incident[root].empty()) continue;
        component[root] = root;
        tree[root] = 0;
        std::deque<int> queue{root};
        while (!queue.empty()) {
            int k = queue.front();
            queue.pop_front();
            for (int i : incident[k]) {
                int b = node(c.BranchBeginNode[i]), e = node(c.BranchEndNode[i]);
                int far = b == k ? e : b;
                if (component[far] >= 0) continue;
                component[far] = root;
                tree[far] = i;
                parent[far] = k;
                depth[far] = depth[k] + 1;
                inTree[i] = 1;
                // p(begin) - p(end) = drop
                potential[far] =
                    b == k ? potential[k] - BranchDrop(c, i) : potential[k] + BranchDrop(c, i);
                queue.push_back(far);
            }
        }
    }

    for (int w = 1; w <= count; ++w) {
        int i = c.BranchWorkList[w];
        if (Regulated(c, i) || inTree[i]) continue;
        int b = node(c.BranchBeginNode[i]), e = node(c.BranchEndNode[i]);
        if (component[b] != component[e]) continue;
        double residual = std::fabs(potential[b] - potential[e] - BranchDrop(c, i));
        double sensitivity = DropSlope(c, i);
        for (int u = b, v = e; u != v;) {
            int& deeper = depth[u] >= depth[v] ? u : v;
            sensitivity += DropSlope(c, tree[deeper]);
            deeper = parent[deeper];
        }
        ++r.MeshesChecked;
        if (residual > r.MaxMeshResidual) {
            r.MaxMeshResidual = residual;
            r.WorstMeshBranch = i;
        }
        double flowError = sensitivity > 0 ? residual / sensitivity : 0;
        if (flowError > r.MaxMeshFlowError) {
            r.MaxMeshFlowError = flowError;
            r.WorstFlowErrorBranch = i;
        }
    }
    return r;
}

} // namespace arv::test
