// The optimal and the ideal distribution on the generated mine of about 3000
// branches, preparation and result writing included, as the commands run.
// Messages go to the built-in service (standard error), which answers them:
// with its few regulators the mine cannot be supplied in the optimal run,
// which ends when the fans stop gaining; the ideal run supplies it.
//   cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DARVALEN_BENCH=ON
//   cmake --build build-rel --target optimal_bench && build-rel/bin/optimal_bench
#include "calc/engine/OptimalDistribution.h"
#include "calc/testing/SyntheticMine.h"

#include <benchmark/benchmark.h>

namespace {

using namespace arv;

struct TMine {
    TCalcContext c;
    TNetworkTables t{c};
    TMine() {
        test::BuildSyntheticMine(t);
        c.CalcOptions[1] = 'S';
    }
};

TMine& Mine() {
    static TMine mine;
    return mine;
}

void Run(benchmark::State& state, void (*command)(TNetworkTables&, TCalcContext&)) {
    TMine& m = Mine();
    for (auto _ : state) {
        command(m.t, m.c);
        benchmark::DoNotOptimize(m.c.FanFlowSum);
    }
    state.counters["branches"] = m.c.BranchWorkCount;
    state.counters["passes"] = m.c.OptimalIteration;
    state.counters["error"] = m.c.CalcErrorFlag;
}

void BM_OptimalDistribution(benchmark::State& state) {
    Run(state, Rasc_ORClick);
}
void BM_IdealDistribution(benchmark::State& state) {
    Run(state, Rasc_IRClick);
}

BENCHMARK(BM_OptimalDistribution)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_IdealDistribution)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

} // namespace
