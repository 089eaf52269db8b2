// The route graph built over the branch arrays for one route search: either
// one undirected edge per branch weighted by its length in metres, or two
// directed arcs per branch weighted by the travel time in minutes of miners
// or of a rescue team. A branch that cannot be used weighs ImpassableWeight,
// an ordinary weight, so a path through it is still found and the search
// rejects any total of that size.
#pragma once

#include "routes/RouteNetwork.h"
#include "routes/RouteState.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace arv::graphlib {
class TGraph;
}

namespace arv::routes {

constexpr double ImpassableWeight = 1e11;

// Route kinds of the searches.
constexpr int RouteKindPeople = 0;
constexpr int RouteKindRescue = 1;

// Target kinds.
enum TTargetKind : int {
    TargetFreshAir = 0,
    TargetSurface = 1,
    TargetChosenNode = 2, // an end of a branch, smoke avoided
    TargetNode = 3,       // an end of a branch, smoke ignored
};

class TKestrum_Graph {
public:
    // graphKind 1: length graph, 0: time graph; n: the number of included
    // branches the arrays are sized for (grown when a builder meets more).
    TKestrum_Graph(const TRouteNetwork& network, const TRescueParams& rescue,
                   TRouteExclusions& exclusions, int32_t n, int16_t graphKind);
    ~TKestrum_Graph();
    TKestrum_Graph(const TKestrum_Graph&) = delete;
    TKestrum_Graph& operator=(const TKestrum_Graph&) = delete;

    static std::unique_ptr<TKestrum_Graph> Create(const TRouteNetwork& network,
                                                  const TRescueParams& rescue,
                                                  TRouteExclusions& exclusions, int32_t n);
    static std::unique_ptr<TKestrum_Graph> CreateTimed(const TRouteNetwork& network,
                                                       const TRescueParams& rescue,
                                                       TRouteExclusions& exclusions, int32_t n);

    int16_t GraphKind = 1;
    int32_t EdgeCount = 0;
    int32_t VertexCount = 0;
    int32_t FromCount = 0, ToCount = 0;
    int32_t BestPathVertexCount = 0, PathVertexCount = 0;
    int32_t BestPathEdgeCount = 0, PathEdgeCount = 0;
    std::vector<int32_t> EdgePairs;
    std::vector<int32_t> NodeMap;
    std::vector<int32_t> FromVertex, ToVertex;
    std::vector<int32_t> BestPathVertices, BestPathNodes;
    std::vector<int32_t> PathVertices, PathNodes;
    // Branch numbers of the edges walked, in path order.
    std::vector<int32_t> BestPathBranches, PathBranches;
    std::vector<int32_t> EdgeBranch;
    std::vector<double> EdgeWeight;
    double LastDistance = 0;
    int16_t Found = 0;
    double BestDistance = 0;
    double TravelTime = 0;

    // Builders: kind 0 miners, 1 rescue team.
    void BuildLengthGraph();
    void BuildTimeGraph(int kind);
    // Every weight again, so that the current exclusion lists take effect.
    void RecalcWeights(int kind);

    // Minutes along branch b; dir 1 from its begin node to its end node.
    double PeopleArcTime(int32_t b, int dir);
    double RescueArcTime(int32_t b, int dir);

    int32_t AddBranchNodes(int32_t beginNode, int32_t endNode);
    // Vertex index of a node number; -1 (after a message) when absent.
    int32_t NodeIndex(int32_t node);
    // Without the message.
    int32_t FindVertex(int32_t node) const;
    // Lowest-numbered included branch joining the nodes of u and v; 0 when none.
    int32_t BranchBetween(int32_t u, int32_t v) const;
    bool IsSmokedBranch(int32_t b) const;
    // Smoked branch b walked from vertex u to vertex v against its air or in
    // still air.
    bool IsSmokedArc(int32_t b, int32_t u, int32_t v) const;
    bool PathToBranches(double distance);
    void ClearPath();
    // Metres along the best path.
    double PathLength() const;

    // One minimum-weight search between two vertex indices over the current
    // weights; fills the path fields. -1 when the target cannot be reached.
    double FindShortestPath(int32_t from, int32_t to);

    // Search variants: the best distance; they set Found and the best path.
    double FindRouteToFreshAir(int32_t start, int32_t target, int routeKind);
    double FindRouteToSurface(int32_t start, int32_t target, int routeKind);
    double FindRouteToChosenNode(int32_t start, int32_t target, int routeKind);
    double FindRouteToNode(int32_t start, int32_t target, int routeKind);

    // Minutes along the best path of a length-graph search.
    double CalcPeopleTravelTime();
    double CalcRescueTravelTime();

    const TRouteNetwork& Network() const { return net_; }

private:
    struct TTree;

    double EdgeWeightOf(int32_t e, int kind);
    void BuildEdges(int kind);
    void EnsureSearchGraph();
    void SyncSearchWeights();
    // The first search of every candidate runs over the same weights, so one
    // search from the start to all vertices answers them all.
    void GrowTree(int32_t from, TTree& tree, bool avoidSmoke);
    void TreePath(const TTree& tree, int32_t to);
    void SetPathFromVertices(int32_t from, const std::vector<int32_t>& edges);
    // Excluded edges of the smoke list over the base weights.
    void ApplySmokeExclusions(const std::vector<double>& base);
    double SmokeAwareSearch(int32_t start, const std::vector<int32_t>& candidates, bool skipStart,
                            int routeKind);
    void TakeAsBest(double d);
    double TravelTimeAlongBest(bool rescue);

    const TRouteNetwork& net_;
    TRescueParams rescue_;
    TRouteExclusions& exclusions_;
    std::unordered_map<int32_t, int32_t> vertexOfNode_;
    std::vector<int32_t> bestPathWalked_;
    // The library graph lives for all searches of the route graph; only the
    // weights that changed are written into it before a search.
    std::unique_ptr<graphlib::TGraph> searchGraph_;
    std::vector<double> searchWeights_;
    bool rescueIndexShown_ = false;
    bool rescueDivisionShown_ = false;
};

} // namespace arv::routes
