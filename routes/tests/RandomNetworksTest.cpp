// The route searches against a plain Dijkstra written here, on random
// networks with parallel branches, loops, loose pieces, low and steep
// workings, fires, smoke and excluded branches. Lengths are random reals, so
// no two paths tie and the routes themselves must agree.
#include "platform/testing/ScriptedServices.h"
#include "routes/RouteDriver.h"
#include "routes/SpeedTables.h"
#include "routes/tests/TestNetwork.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

namespace arv::routes {
namespace {

using test::TBranchSpec;
using test::TTestNetwork;

struct TArc {
    int32_t From, To, Branch;
    double Weight;
};

struct TPlainPath {
    double Distance = -1; // -1: not reached
    std::vector<int32_t> Branches;
    std::vector<int32_t> Nodes;
};

// O(V^2) Dijkstra over node numbers.
TPlainPath PlainDijkstra(const std::vector<TArc>& arcs, int32_t from, int32_t to) {
    std::map<int32_t, double> dist;
    std::map<int32_t, const TArc*> via;
    std::set<int32_t> done;
    dist[from] = 0;
    for (;;) {
        int32_t u = 0;
        double du = -1;
        for (auto [n, d] : dist)
            if (!done.count(n) && (du < 0 || d < du)) u = n, du = d;
        if (du < 0) break;
        done.insert(u);
        if (u == to) break;
        for (const TArc& a : arcs) {
            if (a.From != u || done.count(a.To)) continue;
            double d = du + a.Weight;
            auto it = dist.find(a.To);
            if (it == dist.end() || d < it->second) dist[a.To] = d, via[a.To] = &a;
        }
    }
    TPlainPath p;
    if (!dist.count(to)) return p;
    p.Distance = dist[to];
    for (int32_t v = to; v != from; v = via[v]->From)
        p.Branches.insert(p.Branches.begin(), via[v]->Branch);
    for (int32_t v = to;; v = via[v]->From) {
        p.Nodes.insert(p.Nodes.begin(), v);
        if (v == from) break;
    }
    return p;
}

struct TCase {
    TTestNetwork Net{40};
    std::vector<int32_t> Branches; // included
    std::set<int32_t> Nodes;
    std::vector<int32_t> UserExcluded;
};

TCase MakeCase(std::mt19937_64& rnd) {
    TCase k;
    std::uniform_int_distribution<int> nodeCount(2, 14);
    const int nodes = nodeCount(rnd);
    std::uniform_int_distribution<int32_t> node(1, nodes), branches(1, 40);
    std::uniform_real_distribution<double> unit(0, 1), length(1, 200), slope(-75, 75);
    const int count = branches(rnd);
    for (int32_t b = 1; b <= count; ++b) {
        TBranchSpec s;
        s.Begin = unit(rnd) < 0.05 ? 0 : node(rnd) * 3; // node numbers 3, 6, 9, ...
        s.End = node(rnd) * 3;
        s.Length = length(rnd);
        const double heights[] = {0, 0, 0.5, 0.6, 0.9, 1.3, 1.9, 2.5};
        s.Height = heights[rnd() % 8];
        s.Slope = unit(rnd) < 0.4 ? 0 : slope(rnd);
        s.Flow = unit(rnd) < 0.1 ? 0 : (unit(rnd) < 0.5 ? -1 : 1) * length(rnd);
        s.Smoked = unit(rnd) < 0.3;
        s.Fire = unit(rnd) < 0.05;
        k.Net.Add(b, s);
        if (s.Begin && s.End) {
            k.Branches.push_back(b);
            k.Nodes.insert(s.Begin);
            k.Nodes.insert(s.End);
        }
        if (unit(rnd) < 0.05) k.UserExcluded.push_back(b);
    }
    std::vector<int32_t> surface;
    for (int i = 0; i < 3; ++i) surface.push_back(node(rnd) * 3 + (unit(rnd) < 0.1 ? 1 : 0));
    k.Net.SetSurface(surface);
    return k;
}

// Arcs as the route graph should weigh them, worked out here from the norms.
std::vector<TArc> Arcs(const TRouteNetwork& n, const std::vector<int32_t>& branches,
                       const std::set<int32_t>& excluded, int graphKind, int routeKind,
                       const TRescueParams& rescue) {
    std::vector<TArc> arcs;
    for (int32_t b : branches) {
        const double h = n.Height(b), len = n.Length(b), a = n.Slope(b);
        const bool low = h > 0 && h < 0.6;
        for (int dir = 1; dir >= 0; --dir) {
            double w;
            if (graphKind == GraphKindLength) {
                w = low || (routeKind == RouteKindPeople && n.IsFire(b)) ? ImpassableWeight : len;
            } else if (low || n.IsFire(b)) {
                w = ImpassableWeight;
            } else {
                const bool up = dir == 1 ? a > 0 : a < 0;
                double speed;
                if (routeKind == RouteKindPeople) {
                    speed = PeopleSpeed(h, a, up);
                } else {
                    const int t = RescueTableIndex(rescue, up);
                    speed = RescueSpeedTables[t - 1][RescueHeightRow(h)][RescueSlopeColumn(a)];
                }
                w = len / speed;
            }
            if (excluded.count(b)) w = ImpassableWeight;
            const int32_t p = n.BeginNode(b), q = n.EndNode(b);
            arcs.push_back(dir == 1 ? TArc{p, q, b, w} : TArc{q, p, b, w});
        }
    }
    return arcs;
}

struct TReference {
    bool Found = false;
    double Distance = ImpassableWeight;
    std::vector<int32_t> Branches;
};

// The search as the route graph describes it, one plain search per attempt.
TReference ReferenceSearch(const TCase& k, const TRouteNetwork& n, int32_t start, int targetKind,
                           int32_t target, int routeKind, int graphKind,
                           const TRescueParams& rescue) {
    TReference r;
    std::vector<int32_t> candidates;
    if (targetKind == TargetFreshAir) {
        for (int32_t b : k.Branches)
            if (n.SmokeMark(b) == 0)
                candidates.push_back(n.BeginNode(b)), candidates.push_back(n.EndNode(b));
    } else if (targetKind == TargetSurface) {
        for (int i = 1; i <= n.SurfaceNodeCount; ++i) candidates.push_back(n.SurfaceNode(i));
    } else {
        candidates = {n.BeginNode(target), n.EndNode(target)};
    }
    const std::set<int32_t> user(k.UserExcluded.begin(), k.UserExcluded.end());
    double best = ImpassableWeight;
    for (int32_t cand : candidates) {
        if (!k.Nodes.count(cand)) continue;
        if (targetKind == TargetFreshAir && cand == start) continue;
        std::set<int32_t> excluded = user;
        TPlainPath p =
            PlainDijkstra(Arcs(n, k.Branches, excluded, graphKind, routeKind, rescue), start, cand);
        double d = p.Distance, c = d;
        bool usable = d >= 0;
        if (targetKind != TargetNode) {
            for (int attempts = 0; usable;) {
                if (d >= ImpassableWeight) {
                    usable = false;
                    break;
                }
                bool against = false, withAir = false;
                for (size_t i = 0; i < p.Branches.size(); ++i) {
                    const int32_t b = p.Branches[i];
                    if (n.SmokeMark(b) == 0) continue;
                    const bool forward =
                        n.BeginNode(b) == p.Nodes[i] && n.EndNode(b) == p.Nodes[i + 1];
                    const bool backward =
                        n.EndNode(b) == p.Nodes[i] && n.BeginNode(b) == p.Nodes[i + 1];
                    if ((forward && n.Flow(b) > 0) || (backward && n.Flow(b) < 0))
                        withAir = true;
                    else
                        against = true, excluded.insert(b);
                }
                if (!against) {
                    c = withAir ? d * 100 : d;
                    break;
                }
                if (++attempts > 10) {
                    usable = false;
                    break;
                }
                p = PlainDijkstra(Arcs(n, k.Branches, excluded, graphKind, routeKind, rescue),
                                  start, cand);
                d = c = p.Distance;
                usable = d >= 0;
            }
        }
        if (usable && c < best) {
            best = c;
            r.Distance = d;
            r.Branches = p.Branches;
        }
    }
    r.Found = r.Distance < ImpassableWeight;
    return r;
}

TEST(RandomNetworks, SearchesAgreeWithAPlainDijkstra) {
    arv::test::TScriptedMessages messages;
    messages.AllowAny();
    std::mt19937_64 rnd(26);
    int found = 0, smokyRoutes = 0;
    for (int round = 0; round < 500; ++round) {
        TCase k = MakeCase(rnd);
        if (k.Branches.empty()) continue;
        TRouteNetwork n = k.Net.View();
        const int32_t startBranch = k.Branches[rnd() % k.Branches.size()];
        const int fromEnd = static_cast<int>(rnd() % 2);
        const int32_t start = fromEnd ? n.EndNode(startBranch) : n.BeginNode(startBranch);
        const int graphKind = static_cast<int>(rnd() % 2);
        const int routeKind = static_cast<int>(rnd() % 2);
        const TRescueParams rescue{static_cast<int>(rnd() % 2), rnd() % 2 ? 0 : 2};
        SCOPED_TRACE(::testing::Message() << "round " << round);

        // Every target from the start, over the plain weights.
        TRouteExclusions excl;
        excl.ExcludedRouteBranches = k.UserExcluded;
        TKestrum_Graph g(n, rescue, excl, 0, graphKind == GraphKindLength ? 1 : 0);
        if (graphKind == GraphKindLength) {
            g.BuildLengthGraph();
            g.RecalcWeights(routeKind); // as every search does
        } else
            g.BuildTimeGraph(routeKind);
        const std::set<int32_t> user(k.UserExcluded.begin(), k.UserExcluded.end());
        const auto arcs = Arcs(n, k.Branches, user, graphKind, routeKind, rescue);
        for (int32_t to : k.Nodes) {
            const TPlainPath p = PlainDijkstra(arcs, start, to);
            const double d = g.FindShortestPath(g.FindVertex(start), g.FindVertex(to));
            ASSERT_EQ(d, p.Distance) << start << " -> " << to;
            if (d < 0) continue;
            EXPECT_EQ(g.PathBranches, p.Branches);
            EXPECT_EQ(g.PathNodes, p.Nodes);
        }

        // The full route search, every target kind.
        for (int targetKind = 0; targetKind <= 3; ++targetKind) {
            const int32_t target = k.Branches[rnd() % k.Branches.size()];
            excl.ExcludedRouteBranches2 = {startBranch};
            const TRouteOutcome got = SearchMineRoute(n, rescue, excl, startBranch, fromEnd,
                                                      targetKind, target, routeKind, graphKind);
            const TReference want =
                ReferenceSearch(k, n, start, targetKind, target, routeKind, graphKind, rescue);
            SCOPED_TRACE(::testing::Message() << "target kind " << targetKind);
            ASSERT_EQ(got.Found, want.Found);
            if (!got.Found) continue;
            ++found;
            EXPECT_EQ(got.Branches, want.Branches);
            EXPECT_EQ(graphKind == GraphKindTime ? got.Time : got.Length, want.Distance);
            for (int32_t b : got.Branches) smokyRoutes += n.SmokeMark(b) != 0;
        }
    }
    // The draw must exercise what it claims to.
    EXPECT_GT(found, 500);
    EXPECT_GT(smokyRoutes, 50);
}

} // namespace
} // namespace arv::routes
