// A full redraw of a generated plan of 3,000 branches with labels into a
// 1,600 x 1,000 off-screen image, as the main window repaints it.
#include "document/Branch.h"
#include "document/Document.h"
#include "document/DrawingGlobals.h"
#include "document/WindowHost.h"
#include "platform/StringGrid.h"
#include "platform/qt/QtCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <string>

namespace {

using namespace arv;

// Nodes on a square grid 100 world units apart; branches join neighbours
// across and down until there are 3,000. Every third branch is a double
// band, every seventh a filled one.
struct TPlan {
    TGCollFigure doc;
    TStringGridModel grid;

    // labels: bit 0 names, 1 numbers, 2 node numbers, 3 flows, 4 arrows.
    explicit TPlan(int labels) {
        constexpr int kCols = 40, kRows = 40, kBranches = 3000;
        int number = 0;
        grid.SetColCount(20);
        grid.SetRowCount(kBranches + 2);
        auto add = [&](TPoint a, TPoint b) {
            if (number >= kBranches) return;
            ++number;
            auto* line = static_cast<TGLine*>(doc.AddFigure(kKindLine));
            TBranchSetup s;
            s.number = number;
            s.name = "W" + std::to_string(number);
            line->SetGeometry(a, b, s, kGeometryAll);
            line->style = number % 7 == 0 ? 3 : (number % 3 == 0 ? 2 : 1);
            line->width = 10;
            line->brush.colour = 0xC0E0FF;
            line->Caption(1).b = number - 1;
            line->Caption(5).colour = 0x0000FF;
            grid.SetCells(11, number + 1, std::to_string(number % 97) + ",5");
            WindowState().CalcBranchIndex.push_back({number, 0, 0, number + 1});
        };
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c) {
                const TPoint p{c * 100, r * 100};
                if (c + 1 < kCols) add(p, {p.x + 100, p.y});
                if (r + 1 < kRows) add(p, {p.x, p.y + 100});
            }
        for (int32_t i = 0; i < doc.nodes.Count(); ++i) doc.nodes.Record(i).number = i + 1;
        WindowState().Datagrid = &grid;
        doc.display.branchNames = (labels & 1) != 0;
        doc.display.branchNumbers = (labels & 2) != 0;
        doc.display.nodeNumbers = (labels & 4) != 0;
        doc.display.caption[1] = (labels & 8) != 0;
        doc.display.caption[5] = (labels & 16) != 0;
        doc.OnDrawLabel = [](TCanvas& dc, int32_t number, int32_t record, int32_t,
                             TLabelTextOut textOut, TGCollFigure&) {
            if (record != 1) return false;
            std::string out;
            textOut(dc, {0xFF0000, 0, 0xFF0000}, out,
                    {"[", WindowState().Datagrid->Cells(11, number + 1), "]"}, 2);
            return false;
        };
        doc.clientWidth = 1600;
        doc.clientHeight = 1000;
        doc.scale = 0.25;
        doc.viewRect = {-50, 3950, 6350, -50}; // 1600 x 1000 pixels: the whole plan
        DrawingGlobals().ShowJunctions = 1;
        doc.BuildVisibleList();
    }
};

void Redraw(benchmark::State& state, int labels, bool junctions) {
    TPlan plan(labels);
    DrawingGlobals().ShowJunctions = junctions ? 1 : 0;
    plan.doc.junctionMode = junctions ? 1 : 0;
    QImage image(1600, 1000, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        TQtCanvas canvas(image);
        plan.doc.Draw(canvas, false);
        canvas.Finish();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["figures"] = plan.doc.VisibleCount();
    WindowState() = TWindowState{};
}

// Every label kind on, then none, then each kind alone (what dominates).
void BM_RedrawWithLabels(benchmark::State& s) {
    Redraw(s, 31, true);
}
void BM_RedrawWithoutLabels(benchmark::State& s) {
    Redraw(s, 0, true);
}
void BM_RedrawQuick(benchmark::State& s) {
    Redraw(s, 31, false);
}
void BM_RedrawOneLabelKind(benchmark::State& s) {
    Redraw(s, static_cast<int>(s.range(0)), true);
}

BENCHMARK(BM_RedrawWithLabels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawWithoutLabels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawQuick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawOneLabelKind)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
