// Route searches on the generated mine of about 3000 branches: the natural
// distribution gives the air directions, then the workings get lengths,
// heights and slopes, one of them is on fire and the air downstream of it
// carries smoke. A miners' route runs from inside the smoke to fresh air; a
// rescue team goes from an intake working to the fire.
#include "calc/engine/FlowSolver.h"
#include "calc/engine/NetworkPreparation.h"
#include "calc/testing/SyntheticMine.h"
#include "platform/Cp1251.h"
#include "routes/RouteDriver.h"

#include <benchmark/benchmark.h>

#include <deque>
#include <random>

namespace {

using namespace arv;
using namespace arv::routes;

struct TFireMine {
    TCalcContext c;
    TNetworkTables t{c};
    int32_t fire = 0, smokedStart = 0, deepStart = 0, intake = 0, smoked = 0;

    TFireMine() {
        test::BuildSyntheticMine(t);
        PrepareNetwork(t, c);
        SolveArcFlows(c, SolverProfileB);
        std::mt19937_64 rnd(3000);
        std::uniform_real_distribution<double> unit(0, 1);
        const double heights[] = {0, 1.0, 1.5, 2.2, 3.0, 0.5};
        int32_t last = 0;
        for (int32_t b = 1; b <= MaxBranchCount; ++b) {
            if (!c.BranchBeginNode[b] || !c.BranchEndNode[b]) continue;
            last = b;
            c.BranchLength[b] = 20 + 280 * unit(rnd);
            c.BranchHeight[b] = heights[unit(rnd) < 0.02 ? 5 : rnd() % 5];
            c.BranchSlope[b] = unit(rnd) < 0.3 ? 80 * unit(rnd) - 40 : 0;
        }
        // A working in the middle of the numbering, and the air downstream.
        fire = last / 2;
        while (!c.BranchBeginNode[fire] || c.BranchFlow[fire] == 0) ++fire;
        c.BranchKindCode[fire] = Ru("ПЖ");
        auto downstreamNode = [&](int32_t b) {
            return c.BranchFlow[b] > 0 ? c.BranchEndNode[b] : c.BranchBeginNode[b];
        };
        auto upstreamNode = [&](int32_t b) {
            return c.BranchFlow[b] > 0 ? c.BranchBeginNode[b] : c.BranchEndNode[b];
        };
        std::deque<int32_t> queue{fire};
        c.SmokedBranchMark[fire] = fire;
        while (!queue.empty()) {
            const int32_t node = downstreamNode(queue.front());
            queue.pop_front();
            for (int32_t b = 1; b <= last; ++b) {
                if (c.SmokedBranchMark[b] || c.BranchFlow[b] == 0) continue;
                if (!c.BranchBeginNode[b] || upstreamNode(b) != node) continue;
                c.SmokedBranchMark[b] = b;
                ++smoked;
                if (!smokedStart && smoked > 5) smokedStart = b;
                deepStart = b; // the last reached lies farthest downstream
                queue.push_back(b);
            }
        }
        for (intake = 1; intake <= last; ++intake)
            if (c.BranchBeginNode[intake] && !c.SmokedBranchMark[intake]) break;
    }
};

TFireMine& Mine() {
    static TFireMine mine;
    return mine;
}

void Run(benchmark::State& state, int routeKind, int targetKind, int graphKind, bool deep = false) {
    TFireMine& m = Mine();
    TRouteNetwork net = TRouteNetwork::FromCalc(m.c);
    TRouteExclusions excl;
    const int32_t start =
        routeKind == RouteKindPeople ? (deep ? m.deepStart : m.smokedStart) : m.intake;
    TRouteOutcome r;
    for (auto _ : state) {
        r = SearchMineRoute(net, {}, excl, start, 0, targetKind, m.fire, routeKind, graphKind);
        benchmark::DoNotOptimize(r);
    }
    state.counters["found"] = r.Found;
    state.counters["route_branches"] = static_cast<double>(r.Branches.size());
    state.counters["minutes"] = r.Time;
    state.counters["smoked_branches"] = m.smoked;
}

void BM_MinersToFreshAir_Time(benchmark::State& s) {
    Run(s, RouteKindPeople, TargetFreshAir, GraphKindTime);
}
void BM_MinersToFreshAir_Length(benchmark::State& s) {
    Run(s, RouteKindPeople, TargetFreshAir, GraphKindLength);
}
void BM_MinersDeepInSmoke_Time(benchmark::State& s) {
    Run(s, RouteKindPeople, TargetFreshAir, GraphKindTime, true);
}
void BM_MinersDeepInSmoke_Length(benchmark::State& s) {
    Run(s, RouteKindPeople, TargetFreshAir, GraphKindLength, true);
}
void BM_MinersToSurface_Time(benchmark::State& s) {
    Run(s, RouteKindPeople, TargetSurface, GraphKindTime);
}
void BM_RescueToFire_Time(benchmark::State& s) {
    Run(s, RouteKindRescue, TargetNode, GraphKindTime);
}
void BM_RescueToFire_Length(benchmark::State& s) {
    Run(s, RouteKindRescue, TargetNode, GraphKindLength);
}

#define ARV_ROUTE_BENCH(name)                                                                      \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)

ARV_ROUTE_BENCH(BM_MinersToFreshAir_Time);
ARV_ROUTE_BENCH(BM_MinersToFreshAir_Length);
ARV_ROUTE_BENCH(BM_MinersDeepInSmoke_Time);
ARV_ROUTE_BENCH(BM_MinersDeepInSmoke_Length);
ARV_ROUTE_BENCH(BM_MinersToSurface_Time);
ARV_ROUTE_BENCH(BM_RescueToFire_Time);
ARV_ROUTE_BENCH(BM_RescueToFire_Length);

} // namespace
