// The analyses after a natural run on the published mine E of the shared
// benchmarks folder (1001 branches, 7 fans), at the coarse accuracy 'D':
// - the gas concentration with gas let into every fifth working; the counter
//   "passes" gives the passes its stop rule ran;
// - the summary over fires, with every working given 200 m, 10 m2 and a
//   slope between -20 and +20 degrees, so that most are fire candidates; the
//   counters give the candidates and those listed with a reversed stream.
#include "calc/engine/FireAnalysis.h"
#include "calc/engine/NaturalDistribution.h"
#include "calc/engine/StabilityAnalysis.h"
#include "calc/model/BranchTypes.h"
#include "calc/model/DecimalText.h"
#include "calc/testing/PublishedMines.h"
#include "calc/testing/SilentProgress.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <sstream>

namespace {

using namespace arv;

struct TMineE {
    TCalcContext c;
    TNetworkTables t{c};
    TMineE() {
        const auto dir = std::filesystem::temp_directory_path() / "arvalen_analyses_bench";
        std::filesystem::create_directories(dir);
        SetProgramDir(dir.string());
        c.CalcOptions.SetDefaults();
        c.CalcOptions[1] = 'D';
        c.CalcOptions.FireMinSlope = 5;
        c.CalcOptions.FireElapsedTime = 20;
    }
};

// Read once; null when the shared folder is absent.
TMineE* MineE() {
    static std::unique_ptr<TMineE> mine = []() -> std::unique_ptr<TMineE> {
        test::TJson data;
        if (!test::LoadPublishedJson("mvnb_engineering_networks.json", data)) return nullptr;
        auto m = std::make_unique<TMineE>();
        test::BuildPublishedMine(data["networks"]["E_jinchuan"], m->t);
        TModGrid& g = m->t.TablDan;
        for (int r = FirstDataRow; r < g.RowCount(); ++r) {
            if (g.Cells(3, r) == BranchType::Fan) continue;
            const int n = CellToIntDef0(g.Cells(0, r));
            if (n % 5 == 0) g.SetCells(16, r, "0,5");
            g.SetCells(5, r, "200");
            g.SetCells(6, r, "10");
            g.SetCells(22, r, std::to_string(n * 37 % 41 - 20));
        }
        return m;
    }();
    return mine.get();
}

void BM_GasConcentration_MineE(benchmark::State& state) {
    TMineE* m = MineE();
    if (!m) {
        state.SkipWithError(
            ("published mines not found in " + test::PublishedBenchmarksDir()).c_str());
        return;
    }
    m->c.CalcOptions[1] = state.range(0) ? 'S' : 'D';
    Rasc_ERClick(m->t, m->c);
    m->c.CalcOptions[1] = 'D';
    int passes = 0;
    for (auto _ : state) passes = CalcConcentration(m->c, m->t.TablDan);
    state.counters["passes"] = passes;
    state.counters["work_list"] = m->c.BranchWorkCount;
}

void BM_FireSummary_MineE(benchmark::State& state) {
    TMineE* m = MineE();
    if (!m) {
        state.SkipWithError(
            ("published mines not found in " + test::PublishedBenchmarksDir()).c_str());
        return;
    }
    test::TSilentProgress progress;
    for (auto _ : state) Rasc_PogUstClick(m->t, m->c, progress, 0);
    // Data lines of the export text: the last field is the reversal list.
    int candidates = 0, listed = 0;
    std::istringstream lines(m->c.FireStabilityText);
    std::string line;
    for (int skip = 0; skip < 4 && std::getline(lines, line); ++skip) {
    }
    while (std::getline(lines, line)) {
        ++candidates;
        if (line.substr(line.rfind('\t') + 1) != Ru(" Устойчиво")) ++listed;
    }
    state.counters["candidates"] = candidates;
    state.counters["listed"] = listed;
}

} // namespace

// Argument 0: the natural run at the coarse accuracy 'D', 1: at the fine one.
BENCHMARK(BM_GasConcentration_MineE)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FireSummary_MineE)->Unit(benchmark::kMillisecond)->Iterations(1);
