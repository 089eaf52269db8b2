#include "document/testing/GeneratedPlan.h"

#include "document/Branch.h"
#include "document/DrawingGlobals.h"
#include "document/WindowHost.h"
#include "platform/Cp1251.h"

#include <string>

namespace arv {

namespace {

constexpr int kCols = 40, kRows = 40, kBranches = 3000;

std::string FlowText(int number) {
    return std::to_string(number % 97) + ",5";
}

} // namespace

TGeneratedPlan::TGeneratedPlan(int labels, int width, int height) {
    int number = 0;
    grid.SetColCount(20);
    grid.SetRowCount(kBranches + 2);
    WindowState().CalcBranchIndex.clear();
    auto add = [&](TPoint a, TPoint b) {
        if (number >= kBranches) return;
        ++number;
        auto* line = static_cast<TGLine*>(doc.AddFigure(kKindLine));
        TBranchSetup s;
        s.number = number;
        // Sloped workings have longer names: their turned labels reach far
        // across the rows of the picture.
        s.name =
            (a.x == b.x || a.y == b.y ? std::string("W") : Ru("Уклон W")) + std::to_string(number);
        line->SetGeometry(a, b, s, kGeometryAll);
        line->style = number % 7 == 0 ? 3 : (number % 3 == 0 ? 2 : 1);
        line->width = 10;
        line->brush.colour = 0xC0E0FF;
        line->Caption(1).b = number - 1;
        // The window links the arrow to the calculation as it does the flow.
        line->Caption(5).b = number - 1;
        line->Caption(5).colour = 0x0000FF;
        line->Caption(3).b = number % 5 == 0 ? number % 40 + 1 : -1;
        line->Caption(3).colour = 0xFFFFFF;
        line->Caption(3).flag = static_cast<uint8_t>(number % 3);
        line->callout.shown = number % 4 == 0;
        line->callout.texts = {FlowText(number), "8,4", "2,1", "100"};
        line->beginNodeLink = line->endNodeLink = number % 50;
        grid.SetCells(11, number + 1, FlowText(number));
        WindowState().CalcBranchIndex.push_back({number, 0, 0, number + 1});
    };
    // Every fourth row's branches across run sloped instead, to a node one
    // or two columns on and one or two rows up or down, so that the labels
    // turn at several angles.
    const TPoint slopes[4] = {{1, 1}, {2, 1}, {1, 2}, {2, -1}};
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) {
            const TPoint p{c * 100, r * 100};
            TPoint across{1, 0};
            if (r % 4 == 1) {
                const TPoint s = slopes[c % 4];
                if (c + s.x < kCols && r + s.y < kRows) across = s;
            }
            if (c + across.x < kCols) add(p, {p.x + across.x * 100, p.y + across.y * 100});
            if (r + 1 < kRows) add(p, {p.x, p.y + 100});
        }
    for (int32_t i = 0; i < doc.nodes.Count(); ++i) doc.nodes.Record(i).number = i + 1;
    for (auto& f : doc.figures) {
        auto& b = static_cast<TGBranch&>(*f);
        b.beginNode = doc.nodes.Record(b.beginIndex).number;
        b.endNode = doc.nodes.Record(b.endIndex).number;
    }
    WindowState().Datagrid = &grid;
    doc.display.branchNames = (labels & kPlanNames) != 0;
    doc.display.branchNumbers = (labels & kPlanNumbers) != 0;
    doc.display.nodeNumbers = (labels & kPlanNodeNumbers) != 0;
    doc.display.caption[1] = (labels & kPlanFlows) != 0;
    doc.display.caption[5] = (labels & kPlanArrows) != 0;
    doc.display.caption[3] = (labels & kPlanPlaPositions) != 0;
    doc.display.caption[4] = (labels & kPlanPressures) != 0;
    doc.settings.showCalcData = (labels & kPlanCallouts) != 0;
    doc.settings.drawFrame = 1;
    doc.OnDrawLabel = [](TCanvas& dc, int32_t number, int32_t record, int32_t value,
                         TLabelTextOut textOut, TGCollFigure&) {
        std::string out;
        if (record == 1) {
            textOut(dc, {0xFF0000, 0, 0xFF0000}, out,
                    {"[", WindowState().Datagrid->Cells(11, number + 1), "]"}, 2);
        } else if (record == 4) {
            textOut(dc, {0x0000FF}, out, {"[" + std::to_string(value * 3) + ",2]"}, 0);
        }
        return false;
    };
    // The whole plan, 6,400 x 4,000 world units with a margin.
    doc.clientWidth = width;
    doc.clientHeight = height;
    doc.scale = 0.25 * width / 1600;
    doc.viewRect = {-50, 3950, -50 + RoundI(width / doc.scale), 3950 - RoundI(height / doc.scale)};
    DrawingGlobals().ShowJunctions = 1;
    // No current figure: its PLA marker would ask the window to blink it.
    doc.current = -1;
    doc.BuildVisibleList();
}

TGeneratedPlan::~TGeneratedPlan() {
    WindowState().Datagrid = nullptr;
    WindowState().CalcBranchIndex.clear();
}

} // namespace arv
