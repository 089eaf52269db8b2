// Load and save of a generated drawing of 3,000 branches with their labels
// placed, the network data text inside, and annotation figures (texts and
// rectangles) beside every tenth branch: a large mine plan.
#include "document/Branch.h"
#include "document/DrawingFile.h"
#include "document/TextFigures.h"
#include "platform/BinaryIo.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace arv;

namespace {

constexpr int kBranches = 3000;

// A 60 x 50 lattice of nodes; branch k joins node k to its right or lower
// neighbour, so that nodes are shared as in a real network.
void BuildPlan(TGCollFigure& doc, std::string& dataText) {
    const int cols = 60;
    for (int k = 0; k < kBranches; ++k) {
        const int node = k / 2;
        const int x = (node % cols) * 200, y = -(node / cols) * 200;
        const bool right = k % 2 == 0;
        TBranchSetup s;
        s.beginNode = node + 1;
        s.endNode = right ? node + 2 : node + 1 + cols;
        s.number = k + 1;
        s.name = "Working " + std::to_string(k + 1);
        const TPoint p{x, y}, q = right ? TPoint{x + 200, y} : TPoint{x, y - 200};
        if (k % 5 == 0) {
            auto* poly = static_cast<TGPolyLine*>(doc.AddFigure(kKindPolyLine));
            const TPoint bend{(p.x + q.x) / 2 + 30, (p.y + q.y) / 2 + 30};
            poly->EditVertex(p, bend, s);
            poly->EditVertex(bend, q, s);
        } else {
            static_cast<TGLine*>(doc.AddFigure(kKindLine))->SetGeometry(p, q, s, kGeometryAll);
        }
        TGBranch* b = doc.BranchAt(doc.Count() - 1);
        b->callout.texts = {"12,5", "8,0", "1,6", "250"};
        b->callout.placed = 1;
        if (k % 10 == 0) {
            auto* text = static_cast<TGText*>(doc.AddFigure(kKindText));
            text->SetTextAndFont("Label " + std::to_string(k), TFontRecord{}, {x + 20, y + 40});
            auto* rect = doc.AddFigure(kKindRectangle);
            rect->box = {x + 10, y + 60, x + 90, y + 20};
        }
        dataText += "D;" + std::to_string(k + 1) + ";" + std::to_string(s.beginNode) + ";" +
                    std::to_string(s.endNode) + ";;0,01;250;8;;;;;12,5;;1,6;;Working;;;;;;;;#";
    }
    dataText += "#";
    doc.current = -1;
}

void BM_DrawingLoadAndSave(benchmark::State& state) {
    TGCollFigure source;
    std::string text;
    BuildPlan(source, text);
    TBinaryWriter w;
    source.SaveToStream(w, text);
    const std::string bytes = w.Take();
    for (auto _ : state) {
        TGCollFigure doc;
        std::string loadedText;
        if (doc.LoadFromStream(bytes, &loadedText) != 0) state.SkipWithError("load failed");
        TBinaryWriter out;
        doc.SaveToStream(out, loadedText);
        benchmark::DoNotOptimize(out.Data().data());
    }
    state.counters["figures"] = source.Count();
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_DrawingLoadAndSave)->Unit(benchmark::kMillisecond);

} // namespace
