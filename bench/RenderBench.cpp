// Repaints of a generated plan of 3,000 branches into a 1,600 x 1,000
// off-screen picture, as the main window makes them: a full redraw with
// every label kind, without labels and without band joins (quick-draw), a
// step of a node drag, a scroll step and a zoom step. Each case runs the way
// the window paints now (/1: in bands on the other cores, each painting the
// plan's parts as soon as they are laid out; a drag step from the
// picture kept since the drag began) and the way it painted before (/0: the
// whole plan on the calling thread, every step a full redraw).
#include "app/ui/PlanPainter.h"
#include "document/DrawingGlobals.h"
#include "document/WindowHost.h"
#include "document/testing/GeneratedPlan.h"
#include "platform/qt/QtCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <ctime>

namespace {

using namespace arv;

// CPU time of every thread of the process, in milliseconds: the work a
// repaint costs the machine, apart from how busy it is.
double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Reports the process's CPU time per repaint from the start.
struct TCpuCounter {
    benchmark::State& state;
    double start = ProcessCpuMs();
    ~TCpuCounter() {
        state.counters["cpu_ms"] =
            benchmark::Counter(ProcessCpuMs() - start, benchmark::Counter::kAvgIterations);
    }
};

struct TBench {
    TGeneratedPlan plan;
    QImage image{1600, 1000, QImage::Format_RGB32};
    TPlanPainter painter;

    TBench(int labels, bool junctions) : plan(labels) {
        DrawingGlobals().ShowJunctions = junctions ? 1 : 0;
        plan.doc.junctionMode = junctions ? 1 : 0;
    }
    ~TBench() { DrawingGlobals().ShowJunctions = 0; }

    void Full(bool bands) {
        if (!bands) {
            image.fill(Qt::white);
            TQtCanvas canvas(image);
            plan.doc.Draw(canvas, false);
            return;
        }
        painter.Paint(image, plan.doc, [&](QPainter& p, int top, int bottom) {
            p.fillRect(0, top, image.width(), bottom - top, Qt::white);
        });
    }
};

void Redraw(benchmark::State& state, int labels, bool junctions) {
    TBench b(labels, junctions);
    const bool bands = state.range(0) != 0;
    TCpuCounter cpu{state};
    for (auto _ : state) {
        b.Full(bands);
        benchmark::DoNotOptimize(b.image.constBits());
    }
    state.counters["figures"] = b.plan.doc.VisibleCount();
    state.counters["threads"] = bands ? b.painter.Renderer().Threads() : 1;
}

void BM_RedrawWithLabels(benchmark::State& s) {
    Redraw(s, kPlanAllLabels, true);
}
void BM_RedrawWithoutLabels(benchmark::State& s) {
    Redraw(s, 0, true);
}
void BM_RedrawQuick(benchmark::State& s) {
    Redraw(s, kPlanAllLabels, false);
}

// A node in the middle of the plan dragged to and fro by a few world units,
// with every label kind on: what one mouse move of the move tool repaints.
void BM_DragStep(benchmark::State& state) {
    TBench b(kPlanAllLabels, true);
    TGCollFigure& doc = b.plan.doc;
    TGCollFigure::THandleHit hit;
    hit.kind = 2;
    hit.index = 20 * 40 + 20;
    const TPoint home = doc.nodes.Record(hit.index).point;
    const bool kept = state.range(0) != 0;
    auto underlay = [&](QPainter& p, int top, int bottom) {
        p.fillRect(0, top, b.image.width(), bottom - top, Qt::white);
    };
    b.Full(kept);
    int step = 0;
    TCpuCounter cpu{state};
    for (auto _ : state) {
        ++step;
        doc.DragSelection(hit, {home.x + 7 * (step % 5), home.y - 5 * (step % 3)});
        if (kept)
            b.painter.PaintMoving(b.image, doc, doc.DragPart(hit), underlay);
        else
            b.Full(false);
        benchmark::DoNotOptimize(b.image.constBits());
    }
    state.counters["moving"] = static_cast<double>(doc.DragPart(hit).figures.size());
}

// The arrow keys' scroll (10 world units) and the keypad's zoom steps, each
// followed by the full repaint they ask for.
void BM_ScrollStep(benchmark::State& state) {
    TBench b(kPlanAllLabels, true);
    const bool bands = state.range(0) != 0;
    int step = 0;
    TCpuCounter cpu{state};
    for (auto _ : state) {
        b.plan.doc.Scroll(++step % 2 ? 2 : 1, 10);
        b.Full(bands);
        benchmark::DoNotOptimize(b.image.constBits());
    }
}

void BM_ZoomStep(benchmark::State& state) {
    TBench b(kPlanAllLabels, true);
    const bool bands = state.range(0) != 0;
    int step = 0;
    TCpuCounter cpu{state};
    for (auto _ : state) {
        if (++step % 2)
            b.plan.doc.ZoomIn();
        else
            b.plan.doc.ZoomOut();
        b.Full(bands);
        benchmark::DoNotOptimize(b.image.constBits());
    }
}

BENCHMARK(BM_RedrawWithLabels)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawWithoutLabels)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawQuick)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
