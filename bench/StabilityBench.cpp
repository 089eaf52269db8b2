// The two summary analyses on the generated mine of about 3000 branches,
// serial and on every core. Each iteration is one whole command: the natural
// run, then one preparation and one solve per candidate.
#include "calc/engine/StabilityAnalysis.h"
#include "calc/model/DecimalText.h"
#include "calc/testing/SilentProgress.h"
#include "calc/testing/SyntheticMine.h"

#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/Services.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <thread>

namespace {

using namespace arv;

struct TMine {
    TCalcContext c;
    TNetworkTables t{c};
    TMine() {
        c.CalcOptions.SetDefaults();
        c.CalcOptions.FireMinSlope = 1;
        c.CalcOptions.FireElapsedTime = 20;
        c.CalcOptions.FailedDeviceResistance = 0.01;
        test::TSyntheticMineOptions o;
        // Held flows would need negative regulators in some disturbed runs.
        o.Consumers = 0;
        test::BuildSyntheticMine(t, o);
        // Every 20th plain working gets a device.
        for (int r = FirstDataRow; r < t.TablDan.RowCount(); r += 20)
            if (t.TablDan.Cells(3, r).empty()) {
                t.TablDan.SetCells(3, r, "\xC0\xD3"); // АУ
                t.TablDan.SetCells(8, r, "0,5");
            }
        // Workings of 200 m and 10 m2 where the generator gave none, and the
        // levels tilted node by node so that most workings are inclined.
        for (int r = FirstDataRow; r < t.TablDan.RowCount(); ++r) {
            if (!t.TablDan.Cells(5, r).empty() || t.TablDan.Cells(3, r) == "\xC2") continue;
            t.TablDan.SetCells(5, r, "200");
            t.TablDan.SetCells(6, r, "10");
        }
        for (int r = FirstDataRow; r < t.TablDavl.RowCount(); ++r) {
            double z = 0;
            const std::string cell = t.TablDavl.Cells(4, r);
            if (cell.empty() || !TryCellToFloat(cell, z) || z == 0) continue;
            const int node = CellToIntDef0(t.TablDavl.Cells(0, r));
            t.TablDavl.SetCells(4, r, FloatToStr(z + (node * 37 % 21) - 10));
        }
        const auto dir = std::filesystem::temp_directory_path() / "arvalen_stability_bench";
        std::filesystem::create_directories(dir);
        SetProgramDir(dir.string());
    }
};

TMine& Mine() {
    static TMine mine;
    return mine;
}

void Summary(benchmark::State& state, bool devices) {
    TMine& m = Mine();
    const int threads = static_cast<int>(state.range(0));
    test::TSilentProgress progress;
    for (auto _ : state) {
        TSummaryResult r = devices ? Rasc_ObUstClick(m.t, m.c, progress, threads)
                                   : Rasc_PogUstClick(m.t, m.c, progress, threads);
        benchmark::DoNotOptimize(r);
    }
    state.counters["rows"] = m.c.StabilityRowCount;
    state.counters["threads"] = threads == 0 ? std::thread::hardware_concurrency() : threads;
}

void BM_FireSummary(benchmark::State& state) {
    Summary(state, false);
}
void BM_DeviceSummary(benchmark::State& state) {
    Summary(state, true);
}

// 1 = serial, 0 = every core.
BENCHMARK(BM_FireSummary)->Arg(1)->Arg(0)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_DeviceSummary)->Arg(1)->Arg(0)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
