// Preparation and the two solver profiles on a generated mine of about 3000
// branches and 2000 nodes. Each solve starts from a fresh preparation (not
// timed); the counters give the largest node and mesh residual of the result.
#include "calc/engine/FlowSolver.h"
#include "calc/engine/NetworkPreparation.h"
#include "calc/testing/FlowResiduals.h"
#include "calc/testing/SyntheticMine.h"

#include <benchmark/benchmark.h>

namespace {

using namespace arv;

struct TMine {
    TCalcContext c;
    TNetworkTables t{c};
    test::TSyntheticMine info;
    TMine() { info = test::BuildSyntheticMine(t); }
};

TMine& Mine() {
    static TMine mine;
    return mine;
}

void BM_PrepareNetwork(benchmark::State& state) {
    TMine& m = Mine();
    for (auto _ : state) {
        PrepareNetwork(m.t, m.c);
        benchmark::DoNotOptimize(m.c.BranchWorkCount);
    }
    state.counters["branches"] = m.c.BranchWorkCount;
    state.counters["nodes"] = m.c.ConnectedNodeCount;
}

void Solve(benchmark::State& state, const TSolverProfile& profile, char accuracy) {
    TMine& m = Mine();
    m.c.CalcOptions[1] = accuracy;
    for (auto _ : state) {
        state.PauseTiming();
        PrepareNetwork(m.t, m.c);
        state.ResumeTiming();
        SolveArcFlows(m.c, profile);
    }
    test::TFlowResiduals r = test::CheckFlows(m.c);
    state.counters["node_residual"] = r.MaxNodeImbalance;
    state.counters["mesh_residual"] = r.MaxMeshResidual;
    state.counters["mesh_flow_error"] = r.MaxMeshFlowError;
}

void BM_SolveB_Coarse(benchmark::State& state) {
    Solve(state, SolverProfileB, 'D');
}
void BM_SolveB_Fine(benchmark::State& state) {
    Solve(state, SolverProfileB, 'S');
}
void BM_SolveA_Coarse(benchmark::State& state) {
    Solve(state, SolverProfileA, 'D');
}
void BM_SolveA_Fine(benchmark::State& state) {
    Solve(state, SolverProfileA, 'S');
}

#define ARV_SOLVER_BENCH(name)                                                                     \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)

ARV_SOLVER_BENCH(BM_PrepareNetwork);
ARV_SOLVER_BENCH(BM_SolveB_Coarse);
ARV_SOLVER_BENCH(BM_SolveB_Fine);
ARV_SOLVER_BENCH(BM_SolveA_Coarse);
ARV_SOLVER_BENCH(BM_SolveA_Fine);

} // namespace
