// Preparation and the two solver profiles on a generated mine of about 3000
// branches and 2000 nodes, and the solver on the published mines A (small)
// and E (the largest) of the shared benchmarks folder. Each solve starts from
// a fresh preparation (not timed); the counters give the largest node and
// mesh residual of the result.
#include "calc/engine/FlowSolver.h"
#include "calc/engine/NetworkPreparation.h"
#include "calc/testing/FlowResiduals.h"
#include "calc/testing/PublishedMines.h"
#include "calc/testing/SyntheticMine.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

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

// A published mine, read once; null when the shared folder is absent.
struct TPublishedMine {
    TCalcContext c;
    TNetworkTables t{c};
    int Branches = 0;
};

TPublishedMine* Published(const std::string& name) {
    static std::map<std::string, std::unique_ptr<TPublishedMine>> mines;
    auto it = mines.find(name);
    if (it != mines.end()) return it->second.get();
    std::unique_ptr<TPublishedMine> mine;
    test::TJson data;
    if (test::LoadPublishedJson("mvnb_engineering_networks.json", data)) {
        mine = std::make_unique<TPublishedMine>();
        mine->Branches =
            static_cast<int>(test::BuildPublishedMine(data["networks"][name], mine->t).size());
    }
    return (mines[name] = std::move(mine)).get();
}

void SolvePublished(benchmark::State& state, const std::string& name, const TSolverProfile& profile,
                    char accuracy) {
    TPublishedMine* m = Published(name);
    if (!m) {
        state.SkipWithError(
            ("published mines not found in " + test::PublishedBenchmarksDir()).c_str());
        return;
    }
    m->c.CalcOptions[1] = accuracy;
    for (auto _ : state) {
        state.PauseTiming();
        PrepareNetwork(m->t, m->c);
        state.ResumeTiming();
        SolveArcFlows(m->c, profile);
    }
    state.counters["branches"] = m->Branches;
    state.counters["node_residual"] = test::CheckFlows(m->c).MaxNodeImbalance;
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

void BM_MineA_SolveB_Coarse(benchmark::State& state) {
    SolvePublished(state, "A_hongshagang_1", SolverProfileB, 'D');
}
void BM_MineA_SolveA_Fine(benchmark::State& state) {
    SolvePublished(state, "A_hongshagang_1", SolverProfileA, 'S');
}
void BM_MineE_SolveB_Coarse(benchmark::State& state) {
    SolvePublished(state, "E_jinchuan", SolverProfileB, 'D');
}
void BM_MineE_SolveA_Fine(benchmark::State& state) {
    SolvePublished(state, "E_jinchuan", SolverProfileA, 'S');
}

#define ARV_SOLVER_BENCH(name)                                                                     \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)

ARV_SOLVER_BENCH(BM_PrepareNetwork);
ARV_SOLVER_BENCH(BM_SolveB_Coarse);
ARV_SOLVER_BENCH(BM_SolveB_Fine);
ARV_SOLVER_BENCH(BM_SolveA_Coarse);
ARV_SOLVER_BENCH(BM_SolveA_Fine);

ARV_SOLVER_BENCH(BM_MineA_SolveB_Coarse)->Unit(benchmark::kMicrosecond);
ARV_SOLVER_BENCH(BM_MineA_SolveA_Fine)->Unit(benchmark::kMicrosecond);
ARV_SOLVER_BENCH(BM_MineE_SolveB_Coarse);
ARV_SOLVER_BENCH(BM_MineE_SolveA_Fine);

} // namespace
