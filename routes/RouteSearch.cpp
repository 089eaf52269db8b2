// The minimum-weight searches of the route graph and the target variants.

#include "graphlib/Graph.h"
#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"
#include "platform/Services.h"
#include "routes/KestrumGraph.h"
#include "routes/SpeedTables.h"

#include <algorithm>
#include <limits>

namespace arv::routes {

using graphlib::TEdge;
using graphlib::TGraph;
using graphlib::TPointerVector;
using graphlib::TVertex;

namespace {
constexpr int MaxSmokeAttempts = 10; // attempts beyond the first search
} // namespace

struct TKestrum_Graph::TTree {
    int32_t Root = -1;
    std::vector<int32_t> ParentEdge; // -1: the root or not reached
    std::vector<double> Weights;     // the weights the tree was grown over
    std::vector<double> Distance;    // from the root; infinity when not reached
};

// The library graph gets one isolated vertex beyond the route graph's: a
// search aimed at it never stops early, so it settles every reachable vertex.
void TKestrum_Graph::EnsureSearchGraph() {
    if (searchGraph_ && searchGraph_->EdgeCount() == EdgeCount) return;
    searchGraph_ = std::make_unique<TGraph>();
    TGraph& g = *searchGraph_;
    g.SetFeatures(GraphKind == 0
                      ? graphlib::GraphFeature::Directed | graphlib::GraphFeature::Weighted
                      : graphlib::GraphFeature::Weighted);
    g.AddVertices(VertexCount + 1);
    g.AddEdges(std::span<const int32_t>(EdgePairs.data(), 2 * static_cast<size_t>(EdgeCount)));
    searchWeights_.assign(static_cast<size_t>(EdgeCount), 0.0);
    for (int32_t i = 0; i < EdgeCount; ++i) {
        g.GetEdge(i)->SetWeight(EdgeWeight[i]);
        searchWeights_[i] = EdgeWeight[i];
    }
}

void TKestrum_Graph::SyncSearchWeights() {
    for (int32_t i = 0; i < EdgeCount; ++i) {
        if (searchWeights_[i] == EdgeWeight[i]) continue;
        searchGraph_->GetEdge(i)->SetWeight(EdgeWeight[i]);
        searchWeights_[i] = EdgeWeight[i];
    }
}

void TKestrum_Graph::SetPathFromVertices(int32_t from, const std::vector<int32_t>& edges) {
    ClearPath();
    int32_t v = from;
    PathVertices.push_back(v);
    for (int32_t e : edges) {
        v = EdgePairs[2 * e] == v ? EdgePairs[2 * e + 1] : EdgePairs[2 * e];
        PathVertices.push_back(v);
        PathBranches.push_back(EdgeBranch[e]);
    }
    for (int32_t u : PathVertices) PathNodes.push_back(NodeMap[u]);
    PathVertexCount = static_cast<int32_t>(PathVertices.size());
    PathEdgeCount = PathVertexCount - 1;
}

double TKestrum_Graph::FindShortestPath(int32_t from, int32_t to) {
    ClearPath();
    if (from < 0 || to < 0 || from >= VertexCount || to >= VertexCount) return LastDistance = -1;
    EnsureSearchGraph();
    SyncSearchWeights();
    TGraph& g = *searchGraph_;
    TPointerVector edgePath;
    LastDistance = g.FindMinWeightPath(g.GetVertex(from), g.GetVertex(to), &edgePath);
    if (LastDistance < 0) return LastDistance;
    std::vector<int32_t> edges;
    edges.reserve(static_cast<size_t>(edgePath.GetCount()));
    for (int32_t i = 0; i < edgePath.GetCount(); ++i)
        edges.push_back(edgePath.ItemAs<TEdge>(i)->Index());
    // A target equal to the start is a path of one vertex and no branches.
    SetPathFromVertices(from, edges);
    return LastDistance;
}

// A search stopped at a target has settled that target and all vertices on
// its path exactly as a search to the end would have, so the tree of the
// full search gives, for every target, the path and the distance (summed in
// the same order) of its own search.
void TKestrum_Graph::GrowTree(int32_t from, TTree& tree, bool avoidSmoke) {
    EnsureSearchGraph();
    SyncSearchWeights();
    TGraph& g = *searchGraph_;
    TVertex* isolated = g.GetVertex(VertexCount);
    if (avoidSmoke) {
        const bool directed = GraphKind == 0;
        g.MinWeightPath(
            g.GetVertex(from), isolated, {},
            [&](TEdge* e, TVertex* current) {
                return (!directed || e->V1() == current) && !IsSmokedBranch(EdgeBranch[e->Index()]);
            },
            nullptr);
    } else {
        g.FindMinWeightPath(g.GetVertex(from), isolated, nullptr);
    }
    tree.Root = from;
    tree.Weights = searchWeights_;
    tree.ParentEdge.assign(static_cast<size_t>(VertexCount), -1);
    for (int32_t i = 0; i < VertexCount; ++i) {
        auto* e = reinterpret_cast<TEdge*>(g.GetVertex(i)->Temp);
        if (e && i != from) tree.ParentEdge[i] = e->Index();
    }
    // Distances summed from the root down, in the order the search added them.
    constexpr double unknown = -1;
    tree.Distance.assign(static_cast<size_t>(VertexCount), unknown);
    tree.Distance[from] = 0;
    std::vector<int32_t> chain;
    for (int32_t v = 0; v < VertexCount; ++v) {
        int32_t u = v;
        chain.clear();
        while (tree.Distance[u] == unknown) {
            const int32_t e = tree.ParentEdge[u];
            if (e < 0) {
                tree.Distance[u] = std::numeric_limits<double>::infinity();
                break;
            }
            chain.push_back(u);
            u = EdgePairs[2 * e] == u ? EdgePairs[2 * e + 1] : EdgePairs[2 * e];
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            const int32_t e = tree.ParentEdge[*it];
            tree.Distance[*it] = tree.Distance[u] + tree.Weights[e];
            u = *it;
        }
    }
}

void TKestrum_Graph::TreePath(const TTree& tree, int32_t to) {
    ClearPath();
    std::vector<int32_t> edges;
    int32_t v = to;
    while (v != tree.Root) {
        const int32_t e = tree.ParentEdge[v];
        if (e < 0) {
            LastDistance = -1;
            return;
        }
        edges.push_back(e);
        v = EdgePairs[2 * e] == v ? EdgePairs[2 * e + 1] : EdgePairs[2 * e];
    }
    std::reverse(edges.begin(), edges.end());
    SetPathFromVertices(tree.Root, edges);
    LastDistance = tree.Distance[to];
}

void TKestrum_Graph::ApplySmokeExclusions(const std::vector<double>& base) {
    EdgeWeight = base;
    if (exclusions_.ExcludedRouteBranches2.empty()) return;
    for (int32_t e = 0; e < EdgeCount; ++e)
        if (exclusions_.IsRouteBranchExcluded2(EdgeBranch[e])) EdgeWeight[e] = ImpassableWeight;
}

void TKestrum_Graph::TakeAsBest(double d) {
    BestPathVertices = PathVertices;
    BestPathNodes = PathNodes;
    BestPathVertexCount = PathVertexCount;
    BestPathEdgeCount = PathEdgeCount;
    bestPathWalked_ = PathBranches;
    Found = PathToBranches(d) ? 1 : 0;
}

// Candidates are compared by a value in which a path walked with the air
// through smoke counts a hundred times; a path against the air (or in still
// air) through smoke is searched again without the smoked branches, up to
// MaxSmokeAttempts more times. The best candidate is the one of least value,
// the earliest in the list among equals.
//
// The work is ordered so that it can stop early with the same answer: the
// first search of every candidate runs over the same weights (one tree from
// the start answers them all), and weights only grow between the attempts
// of a candidate, so the value of a candidate has a lower bound known before
// its attempts. Candidates are taken by that bound and list position, and
// the loop ends at the first one that could no longer beat the best found.
// A node listed again gives the same answer as before and is passed over.
double TKestrum_Graph::SmokeAwareSearch(int32_t start, const std::vector<int32_t>& candidates,
                                        bool skipStart, int routeKind) {
    BestDistance = ImpassableWeight;
    Found = 0;
    exclusions_.ExcludedRouteBranches2.clear();
    RecalcWeights(routeKind);
    if (start < 0 || start >= VertexCount) return BestDistance;
    const std::vector<double> base = EdgeWeight;
    TTree tree, clean;
    GrowTree(start, tree, false);
    GrowTree(start, clean, true);
    // A path free of smoke weighs at least the least smoke-free distance, a
    // smoky one counts at least a hundred times the least distance.
    auto lowerBound = [&](int32_t v, double d) { return std::min(clean.Distance[v], d * 100); };

    struct TCandidate {
        double Bound;
        int32_t Order, Vertex;
    };
    std::vector<TCandidate> queue;
    std::vector<char> seen(static_cast<size_t>(VertexCount), 0);
    for (int32_t node : candidates) {
        const int32_t target = NodeIndex(node);
        if (target < 0 || (skipStart && target == start) || seen[target]) continue;
        seen[target] = 1;
        const double d = tree.Distance[target];
        const double bound = lowerBound(target, d);
        if (d < ImpassableWeight && bound < ImpassableWeight)
            queue.push_back({bound, static_cast<int32_t>(queue.size()), target});
    }
    std::sort(queue.begin(), queue.end(), [](const TCandidate& a, const TCandidate& b) {
        return a.Bound < b.Bound || (a.Bound == b.Bound && a.Order < b.Order);
    });

    double best = ImpassableWeight;
    int32_t bestOrder = -1;
    auto canWin = [&](double d, int32_t order) {
        return d < best || (d == best && order < bestOrder);
    };
    std::vector<int32_t> against;
    for (const TCandidate& cand : queue) {
        if (!canWin(cand.Bound, cand.Order)) break;
        exclusions_.ExcludedRouteBranches2.clear();
        TreePath(tree, cand.Vertex);
        double d = LastDistance, c = d;
        bool usable = false;
        for (int attempts = 0;;) {
            against.clear();
            bool withAir = false;
            for (int32_t i = 0; i + 1 < PathVertexCount; ++i) {
                const int32_t b = PathBranches[i];
                if (IsSmokedArc(b, PathVertices[i], PathVertices[i + 1]))
                    against.push_back(b);
                else if (IsSmokedBranch(b))
                    withAir = true;
            }
            if (!against.empty()) {
                for (int32_t b : against) exclusions_.ExcludeRouteBranch2(b);
                d = c = ImpassableWeight;
                usable = false;
            } else {
                c = withAir ? d * 100 : d;
                usable = true;
            }
            ++attempts;
            if (usable || attempts > MaxSmokeAttempts) break;
            ApplySmokeExclusions(base);
            d = c = FindShortestPath(start, cand.Vertex);
            if (d < 0 || d >= ImpassableWeight || !canWin(lowerBound(cand.Vertex, d), cand.Order))
                break;
        }
        if (usable && c < ImpassableWeight && canWin(c, cand.Order)) {
            BestDistance = d;
            best = c;
            bestOrder = cand.Order;
            TakeAsBest(d);
        }
    }
    Found = BestDistance < ImpassableWeight ? 1 : 0;
    return BestDistance;
}

double TKestrum_Graph::FindRouteToFreshAir(int32_t start, int32_t /*target*/, int routeKind) {
    TWaitCursor wait;
    std::vector<int32_t> candidates;
    for (int32_t b = 1; b <= Network().LastBranch(); ++b) {
        if (!Network().Included(b) || IsSmokedBranch(b)) continue;
        candidates.push_back(Network().BeginNode(b));
        candidates.push_back(Network().EndNode(b));
    }
    return SmokeAwareSearch(start, candidates, true, routeKind);
}

double TKestrum_Graph::FindRouteToSurface(int32_t start, int32_t /*target*/, int routeKind) {
    std::vector<int32_t> candidates;
    for (int32_t i = 1; i <= Network().SurfaceNodeCount; ++i)
        candidates.push_back(Network().SurfaceNode(i));
    return SmokeAwareSearch(start, candidates, false, routeKind);
}

double TKestrum_Graph::FindRouteToChosenNode(int32_t start, int32_t target, int routeKind) {
    return SmokeAwareSearch(start, {Network().BeginNode(target), Network().EndNode(target)}, false,
                            routeKind);
}

double TKestrum_Graph::FindRouteToNode(int32_t start, int32_t target, int routeKind) {
    BestDistance = ImpassableWeight;
    Found = 0;
    RecalcWeights(routeKind);
    if (start >= 0 && start < VertexCount) {
        for (int32_t node : {Network().BeginNode(target), Network().EndNode(target)}) {
            const int32_t to = NodeIndex(node);
            if (to < 0) continue;
            const double d = FindShortestPath(start, to);
            // -1: the target cannot be reached at all.
            if (d >= 0 && d < BestDistance) {
                BestDistance = d;
                TakeAsBest(d);
            }
        }
    }
    Found = BestDistance < ImpassableWeight ? 1 : 0;
    return BestDistance;
}

double TKestrum_Graph::TravelTimeAlongBest(bool rescue) {
    TravelTime = 0;
    if (BestPathVertexCount == 0) {
        ShowMessage(rescue ? Ru("Ошибка! Подсчет времени движения:  не найден путь !")
                           : Ru("Ошибка! Подсчет времени движения:  путь нулевой длины!"));
        return TravelTime;
    }
    bool indexShown = false;
    for (size_t i = 0; i < BestPathBranches.size() && i + 1 < BestPathVertices.size(); ++i) {
        const int32_t b = BestPathBranches[i];
        const double h = Network().Height(b);
        if (IsLowWorking(h)) {
            ShowMessage(Ru("Внимание! В найденном пути ветвь ") + IntToStr(b) +
                        Ru(" имеет высоту выработки ") + FloatToStr(h));
            continue;
        }
        const bool forward = Network().BeginNode(b) == NodeMap[BestPathVertices[i]];
        const double slope = Network().Slope(b);
        const bool uphill = IsUphill(slope, forward);
        double speed;
        if (rescue) {
            const int index = RescueTableIndex(rescue_, uphill);
            if (index > RescueTableCount) {
                if (!indexShown) ShowMessage(Ru("Ошибка! VGSCH_speed: выход за размеры массива"));
                indexShown = true;
                continue;
            }
            speed = RescueSpeedTables[index - 1][RescueHeightRow(h)][RescueSlopeColumn(slope)];
            if (!(speed > 0)) {
                ShowMessage(Ru("Ошибка! VGSCH_speed: деление на ноль"));
                continue;
            }
        } else {
            speed = PeopleSpeed(h, slope, uphill);
        }
        TravelTime += Network().Length(b) / speed;
    }
    return TravelTime;
}

double TKestrum_Graph::CalcPeopleTravelTime() {
    return TravelTimeAlongBest(false);
}

double TKestrum_Graph::CalcRescueTravelTime() {
    return TravelTimeAlongBest(true);
}

} // namespace arv::routes
