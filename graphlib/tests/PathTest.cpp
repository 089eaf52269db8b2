#include "graphlib/Graph.h"

#include "graphlib/tests/TestHelpers.h"

#include <gtest/gtest.h>

#include <queue>
#include <random>

using namespace arv::graphlib;
using namespace arv::graphlib::testing;

namespace {

// Builds a weighted graph of n vertices from (a, b, weight) triples.
struct TEdgeSpec {
    int32_t a, b;
    double w;
};

void Build(TGraph& g, bool directed, int32_t n, const std::vector<TEdgeSpec>& edges) {
    g.SetFeatures(GraphFeature::Weighted | (directed ? GraphFeature::Directed : 0));
    g.AddVertices(n);
    for (const TEdgeSpec& e : edges) g.AddEdgeByIndex(e.a, e.b)->SetWeight(e.w);
}

std::vector<int32_t> Indices(const TPointerVector& v) {
    std::vector<int32_t> r;
    for (int32_t i = 0; i < v.GetCount(); ++i) r.push_back(v.ItemAs<TGraphObject>(i)->Index());
    return r;
}

// An independent Dijkstra with the standard library's heap.
double ReferenceDistance(int32_t n, const std::vector<TEdgeSpec>& edges, bool directed,
                         int32_t from, int32_t to) {
    std::vector<std::vector<std::pair<int32_t, double>>> adj(n);
    for (const TEdgeSpec& e : edges) {
        adj[e.a].push_back({e.b, e.w});
        if (!directed) adj[e.b].push_back({e.a, e.w});
    }
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> dist(n, inf);
    using TEntry = std::pair<double, int32_t>;
    std::priority_queue<TEntry, std::vector<TEntry>, std::greater<>> heap;
    dist[from] = 0;
    heap.push({0, from});
    while (!heap.empty()) {
        auto [d, u] = heap.top();
        heap.pop();
        if (d > dist[u]) continue;
        for (auto [v, w] : adj[u])
            if (d + w < dist[v]) {
                dist[v] = d + w;
                heap.push({dist[v], v});
            }
    }
    return dist[to] == inf ? -1 : dist[to];
}

} // namespace

//   0 --2-- 1 --3-- 2 --4-- 3
TEST(MinWeightPath, ChainSumsItsWeightsInOrder) {
    TGraph g;
    Build(g, false, 4, {{0, 1, 2}, {1, 2, 3}, {2, 3, 4}});
    TPointerVector edges, vertices;
    EXPECT_EQ(9.0, g.FindMinWeightPath(g.GetVertex(0), g.GetVertex(3), &edges));
    EXPECT_EQ((std::vector<int32_t>{0, 1, 2}), Indices(edges));
    EXPECT_TRUE(g.EdgePathToVertexPath(g.GetVertex(0), edges, vertices));
    EXPECT_EQ((std::vector<int32_t>{0, 1, 2, 3}), Indices(vertices));
    // Backwards over the same undirected edges.
    EXPECT_EQ(9.0, g.FindMinWeightPath(g.GetVertex(3), g.GetVertex(0), &edges));
    EXPECT_EQ((std::vector<int32_t>{2, 1, 0}), Indices(edges));
    // A path that does not start at the given vertex does not join up.
    EXPECT_FALSE(g.EdgePathToVertexPath(g.GetVertex(1), edges, vertices));
    EXPECT_EQ(0, vertices.GetCount());

    EXPECT_EQ(0.0, g.FindMinWeightPath(g.GetVertex(2), g.GetVertex(2), &edges));
    EXPECT_EQ(0, edges.GetCount());
    EXPECT_TRUE(g.EdgePathToVertexPath(g.GetVertex(2), edges, vertices));
    EXPECT_EQ(0, vertices.GetCount());
}

TEST(MinWeightPath, UnreachableAndUnweighted) {
    TGraph g;
    Build(g, false, 2, {});
    TPointerVector edges;
    edges.Add(nullptr);
    EXPECT_EQ(-1.0, g.FindMinWeightPath(g.GetVertex(0), g.GetVertex(1), &edges));
    EXPECT_EQ(0, edges.GetCount());

    TGraph plain;
    plain.AddVertices(2);
    plain.AddEdgeByIndex(0, 1);
    edges.Add(nullptr);
    EXPECT_EQ("Class TAttrMap: attribute '.Weight' not defined", ErrorOf([&] {
                  plain.FindMinWeightPath(plain.GetVertex(0), plain.GetVertex(1), &edges);
              }));
    EXPECT_EQ(0, edges.GetCount());
    EXPECT_EQ("Class TGraph: Error in parameters",
              ErrorOf([&] { g.FindMinWeightPath(g.GetVertex(0), plain.GetVertex(1), nullptr); }));
}

//   0 --7--> 1
TEST(MinWeightPath, DirectedEdgesRunFromV1ToV2) {
    for (bool directed : {true, false}) {
        TGraph g;
        Build(g, directed, 2, {{0, 1, 7}});
        EXPECT_EQ(directed ? 9 : 8, g.Features());
        EXPECT_EQ(7.0, g.FindMinWeightPath(g.GetVertex(0), g.GetVertex(1), nullptr));
        EXPECT_EQ(directed ? -1.0 : 7.0,
                  g.FindMinWeightPath(g.GetVertex(1), g.GetVertex(0), nullptr));
    }
}

//   0 ==5== 1   (two parallel edges, 5 and 3; then 4 and 4)
TEST(MinWeightPath, ParallelEdgesTakeTheLighterThenTheFirst) {
    TGraph g;
    Build(g, false, 2, {{0, 1, 5}, {0, 1, 3}});
    TPointerVector edges;
    EXPECT_EQ(3.0, g.FindMinWeightPath(g.GetVertex(0), g.GetVertex(1), &edges));
    EXPECT_EQ((std::vector<int32_t>{1}), Indices(edges));
    TGraph tie;
    Build(tie, false, 2, {{0, 1, 4}, {1, 0, 4}});
    EXPECT_EQ(4.0, tie.FindMinWeightPath(tie.GetVertex(0), tie.GetVertex(1), &edges));
    EXPECT_EQ((std::vector<int32_t>{0}), Indices(edges));
    EXPECT_EQ(4.0, tie.FindMinWeightPath(tie.GetVertex(1), tie.GetVertex(0), &edges));
    EXPECT_EQ((std::vector<int32_t>{0}), Indices(edges));
}

//   loop(1) on 0,  0 --2-- 1,  impassable 1 --1e11-- 2
TEST(MinWeightPath, LoopsAreSkippedAndHugeWeightsAreOrdinary) {
    TGraph g;
    Build(g, false, 3, {{0, 0, 1}, {0, 1, 2}, {1, 2, 1e11}});
    TPointerVector edges;
    EXPECT_EQ(2.0, g.FindMinWeightPath(g.GetVertex(0), g.GetVertex(1), &edges));
    EXPECT_EQ((std::vector<int32_t>{1}), Indices(edges));
    EXPECT_EQ(2.0 + 1e11, g.FindMinWeightPath(g.GetVertex(0), g.GetVertex(2), &edges));
    EXPECT_EQ((std::vector<int32_t>{1, 2}), Indices(edges));
}

//   0 --1-- 1 --1-- 3      the filters close 1 and then edge 0-2
//    \--2-- 2 --2--/
TEST(MinWeightPath, FiltersCloseVerticesAndEdges) {
    TGraph g;
    Build(g, false, 4, {{0, 1, 1}, {1, 3, 1}, {0, 2, 2}, {2, 3, 2}});
    TPointerVector edges;
    auto notOne = [&](TVertex* v) { return v->Index() != 1; };
    EXPECT_EQ(4.0, g.MinWeightPath(g.GetVertex(0), g.GetVertex(3), notOne, {}, &edges));
    EXPECT_EQ((std::vector<int32_t>{2, 3}), Indices(edges));
    auto notTwo = [&](TEdge* e, TVertex*) { return e->Index() != 2; };
    EXPECT_EQ(-1.0, g.MinWeightPath(g.GetVertex(0), g.GetVertex(3), notOne, notTwo, &edges));
    EXPECT_EQ(0, edges.GetCount());
}

TEST(MinWeightPath, MatchesAnIndependentDijkstraOnRandomGraphs) {
    std::mt19937 rng(20240601);
    int checked = 0, reachable = 0;
    for (int round = 0; round < 1000; ++round) {
        bool directed = round % 2 == 0;
        auto n = static_cast<int32_t>(1 + rng() % 40);
        auto m = static_cast<int32_t>(rng() % (3 * n + 1));
        std::vector<TEdgeSpec> edges;
        for (int32_t k = 0; k < m; ++k) {
            auto a = static_cast<int32_t>(rng() % n);
            auto b = rng() % 10 == 0 ? a : static_cast<int32_t>(rng() % n); // some loops
            double w = rng() % 8 == 0 ? 0.0 : static_cast<double>(rng() % 100000) / 997.0;
            edges.push_back({a, b, w});
            if (rng() % 6 == 0) edges.push_back({a, b, static_cast<double>(rng() % 50) / 7.0});
        }
        TGraph g;
        Build(g, directed, n, edges);
        if (round % 5 == 0) g.FindComponents();
        TPointerVector path, vertices;
        for (int q = 0; q < 4; ++q) {
            auto from = static_cast<int32_t>(rng() % n);
            auto to = static_cast<int32_t>(rng() % n);
            double got = g.FindMinWeightPath(g.GetVertex(from), g.GetVertex(to), &path);
            double want = ReferenceDistance(n, edges, directed, from, to);
            ASSERT_EQ(want, got) << "round " << round << " from " << from << " to " << to;
            ++checked;
            if (got < 0 || from == to) continue;
            ++reachable;
            // The path walks from the start to the target along admitted
            // edges, and its weights add up to the result exactly.
            ASSERT_TRUE(g.EdgePathToVertexPath(g.GetVertex(from), path, vertices));
            ASSERT_EQ(from, vertices.ItemAs<TVertex>(0)->Index());
            ASSERT_EQ(to, vertices.ItemAs<TVertex>(vertices.GetCount() - 1)->Index());
            double sum = 0;
            for (int32_t k = 0; k < path.GetCount(); ++k) {
                auto* e = path.ItemAs<TEdge>(k);
                if (directed) {
                    ASSERT_EQ(vertices.GetItem(k), e->V1());
                }
                sum += e->GetFloat64At(g.EdgeAttrMap().Offset(".Weight"));
            }
            ASSERT_EQ(got, sum);
        }
    }
    EXPECT_EQ(4000, checked);
    EXPECT_GT(reachable, 1000);
}
