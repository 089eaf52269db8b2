#include "routes/KestrumGraph.h"

#include "graphlib/Graph.h"
#include "platform/Cp1251.h"
#include "platform/Services.h"
#include "routes/SpeedTables.h"

namespace arv::routes {

TKestrum_Graph::TKestrum_Graph(const TRouteNetwork& network, const TRescueParams& rescue,
                               TRouteExclusions& exclusions, int32_t n, int16_t graphKind)
    : GraphKind(graphKind), net_(network), rescue_(rescue), exclusions_(exclusions) {
    if (n < 0) n = 0;
    EdgeCount = n;
    const size_t perBranch = graphKind == 1 ? 1 : 2;
    EdgePairs.reserve(2 * perBranch * static_cast<size_t>(n));
    EdgeBranch.reserve(perBranch * static_cast<size_t>(n));
    EdgeWeight.reserve(perBranch * static_cast<size_t>(n));
    NodeMap.reserve(2 * static_cast<size_t>(n));
    FromVertex.reserve(static_cast<size_t>(n));
    ToVertex.reserve(static_cast<size_t>(n));
}

TKestrum_Graph::~TKestrum_Graph() = default;

std::unique_ptr<TKestrum_Graph> TKestrum_Graph::Create(const TRouteNetwork& network,
                                                       const TRescueParams& rescue,
                                                       TRouteExclusions& exclusions, int32_t n) {
    return std::make_unique<TKestrum_Graph>(network, rescue, exclusions, n, 1);
}

std::unique_ptr<TKestrum_Graph> TKestrum_Graph::CreateTimed(const TRouteNetwork& network,
                                                            const TRescueParams& rescue,
                                                            TRouteExclusions& exclusions,
                                                            int32_t n) {
    return std::make_unique<TKestrum_Graph>(network, rescue, exclusions, n, 0);
}

void TKestrum_Graph::BuildLengthGraph() {
    GraphKind = 1;
    BuildEdges(0);
}

void TKestrum_Graph::BuildTimeGraph(int kind) {
    GraphKind = 0;
    BuildEdges(kind);
}

// One scan of the branches in number order: vertices are numbered in the
// order their nodes first appear, begin node before end node.
void TKestrum_Graph::BuildEdges(int kind) {
    searchGraph_.reset();
    VertexCount = FromCount = ToCount = 0;
    NodeMap.clear();
    FromVertex.clear();
    ToVertex.clear();
    vertexOfNode_.clear();
    EdgeBranch.clear();
    const int perBranch = GraphKind == 1 ? 1 : 2;
    for (int32_t b = 1; b <= net_.LastBranch(); ++b) {
        if (!net_.Included(b)) continue;
        AddBranchNodes(net_.BeginNode(b), net_.EndNode(b));
        for (int k = 0; k < perBranch; ++k) EdgeBranch.push_back(b);
    }
    EdgeCount = static_cast<int32_t>(EdgeBranch.size());
    EdgePairs.clear();
    for (int32_t i = 0; i < FromCount; ++i) {
        EdgePairs.push_back(FromVertex[i]);
        EdgePairs.push_back(ToVertex[i]);
        if (perBranch == 2) {
            EdgePairs.push_back(ToVertex[i]);
            EdgePairs.push_back(FromVertex[i]);
        }
    }
    RecalcWeights(kind);
}

double TKestrum_Graph::EdgeWeightOf(int32_t e, int kind) {
    const int32_t b = EdgeBranch[e];
    double w;
    if (GraphKind == 1) {
        w = IsLowWorking(net_.Height(b)) ? ImpassableWeight : net_.Length(b);
        // Miners never walk through the fire; a rescue team goes to it.
        if (kind == RouteKindPeople && net_.IsFire(b)) w = ImpassableWeight;
    } else {
        const int dir = e % 2 == 0 ? 1 : 0;
        if (IsLowWorking(net_.Height(b)))
            w = ImpassableWeight;
        else
            w = kind == 1 ? RescueArcTime(b, dir) : PeopleArcTime(b, dir);
        if (net_.IsFire(b)) w = ImpassableWeight;
    }
    if (exclusions_.IsExcludedAnywhere(b)) w = ImpassableWeight;
    // A negative or unreadable length would break the minimum-weight search.
    if (!(w >= 0)) w = ImpassableWeight;
    return w;
}

void TKestrum_Graph::RecalcWeights(int kind) {
    EdgeWeight.resize(EdgeBranch.size());
    for (int32_t e = 0; e < EdgeCount; ++e) EdgeWeight[e] = EdgeWeightOf(e, kind);
}

double TKestrum_Graph::PeopleArcTime(int32_t b, int dir) {
    const double slope = net_.Slope(b);
    const double speed = PeopleSpeed(net_.Height(b), slope, IsUphill(slope, dir == 1));
    if (!(speed > 0)) return ImpassableWeight;
    return net_.Length(b) / speed;
}

double TKestrum_Graph::RescueArcTime(int32_t b, int dir) {
    const double slope = net_.Slope(b);
    const int index = RescueTableIndex(rescue_, IsUphill(slope, dir == 1));
    if (index > RescueTableCount) {
        // No table applies: the arc cannot be timed, so it is not walked.
        if (!rescueIndexShown_)
            ShowMessage(Ru("Ошибка! VGSCH_speed_Edge: выход за размеры массива"));
        rescueIndexShown_ = true;
        return ImpassableWeight;
    }
    const int row = RescueHeightRow(net_.Height(b));
    if (row < 0) return ImpassableWeight;
    const double speed = RescueSpeedTables[index - 1][row][RescueSlopeColumn(slope)];
    if (!(speed > 0)) {
        if (!rescueDivisionShown_) ShowMessage(Ru("Ошибка! VGSCH_speedEdge: деление на ноль"));
        rescueDivisionShown_ = true;
        return ImpassableWeight;
    }
    return net_.Length(b) / speed;
}

int32_t TKestrum_Graph::AddBranchNodes(int32_t beginNode, int32_t endNode) {
    auto place = [this](int32_t node) {
        auto [it, added] = vertexOfNode_.try_emplace(node, VertexCount);
        if (added) {
            NodeMap.push_back(node);
            ++VertexCount;
        }
        return it->second;
    };
    FromVertex.push_back(place(beginNode));
    ++FromCount;
    ToVertex.push_back(place(endNode));
    ++ToCount;
    return VertexCount;
}

int32_t TKestrum_Graph::FindVertex(int32_t node) const {
    auto it = vertexOfNode_.find(node);
    return it == vertexOfNode_.end() ? -1 : it->second;
}

int32_t TKestrum_Graph::NodeIndex(int32_t node) {
    int32_t v = FindVertex(node);
    if (v < 0) ShowMessage(Ru("Ошибка поиска индекса узла по его номеру"));
    return v;
}

int32_t TKestrum_Graph::BranchBetween(int32_t u, int32_t v) const {
    if (u < 0 || v < 0 || u >= VertexCount || v >= VertexCount) return 0;
    const int32_t a = NodeMap[u], z = NodeMap[v];
    for (int32_t b = 1; b <= net_.LastBranch(); ++b) {
        if (!net_.Included(b)) continue;
        const int32_t p = net_.BeginNode(b), q = net_.EndNode(b);
        if ((p == a && q == z) || (p == z && q == a)) return b;
    }
    return 0;
}

bool TKestrum_Graph::IsSmokedBranch(int32_t b) const {
    return net_.SmokeMark(b) >= 0.00001;
}

bool TKestrum_Graph::IsSmokedArc(int32_t b, int32_t u, int32_t v) const {
    if (!IsSmokedBranch(b)) return false;
    if (u < 0 || v < 0 || u >= VertexCount || v >= VertexCount) return true;
    const int32_t p = net_.BeginNode(b), q = net_.EndNode(b);
    const double flow = net_.Flow(b);
    if (p == NodeMap[u] && q == NodeMap[v] && flow > 0) return false;
    if (p == NodeMap[v] && q == NodeMap[u] && flow < 0) return false;
    return true;
}

bool TKestrum_Graph::PathToBranches(double distance) {
    if (BestPathVertexCount == 0) {
        ShowMessage(distance <= 0 ? Ru("Путь нулевой длины") : Ru("Ошибка: не найден путь"));
        return false;
    }
    BestPathBranches = bestPathWalked_;
    return true;
}

void TKestrum_Graph::ClearPath() {
    PathVertices.clear();
    PathNodes.clear();
    PathBranches.clear();
    PathVertexCount = 0;
    PathEdgeCount = 0;
}

double TKestrum_Graph::PathLength() const {
    double sum = 0;
    for (int32_t b : BestPathBranches) sum += net_.Length(b);
    return sum;
}

} // namespace arv::routes
