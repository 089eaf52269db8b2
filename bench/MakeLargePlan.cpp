// Writes the generated plan of the render benchmark (3,000 branches) as a
// drawing, with its branches in the network data, so that it can be opened
// in the program and tried by hand. Usage: make_large_plan <drawing.grh>
#include "calc/files/NetworkDataText.h"
#include "document/Branch.h"
#include "document/DrawingFile.h"
#include "document/DrawingGlobals.h"
#include "document/testing/GeneratedPlan.h"

#include <cstdio>
#include <string>

using namespace arv;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_large_plan <drawing.grh>\n");
        return 2;
    }
    TGeneratedPlan plan;
    TGCollFigure& doc = plan.doc;
    // The calculation scheme shows every label kind the benchmark draws.
    TSchemeRecord& calc = DrawingGlobals().SchemeViewFlags[0];
    for (int k :
         {kShowBranchNumbers, kShowNodeNumbers, kShowBranchNames, kShowAirFlows, kShowFlowArrows})
        calc.show[static_cast<size_t>(k)] = 1;
    DrawingGlobals().SchemeKind = 0;
    for (auto& f : doc.figures)
        for (int k = 0; k < kSchemeCount; ++k) f->StoreViewAttrs(k);
    doc.current = -1;

    TCalcContext c;
    TNetworkTables t{c};
    t.InitTables();
    t.NameSh = "Generated plan";
    t.TablDan.SetRowCount(FirstDataRow + doc.Count());
    int row = FirstDataRow;
    for (auto& f : doc.figures) {
        const auto& b = static_cast<const TGBranch&>(*f);
        t.TablDan.SetCells(0, row, std::to_string(b.number));
        t.TablDan.SetCells(1, row, std::to_string(b.beginNode));
        t.TablDan.SetCells(2, row, std::to_string(b.endNode));
        t.TablDan.SetCells(4, row, "0,01");
        t.TablDan.SetCells(5, row, "100");
        t.TablDan.SetCells(6, row, "8");
        t.TablDan.SetCells(11, row, plan.grid.Cells(11, b.number + 1));
        t.TablDan.SetCells(15, row, b.name);
        ++row;
    }
    std::string error;
    if (!WriteDrawingFile(doc, argv[1], BuildNetworkDataText(t, c), &error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], error.c_str());
        return 2;
    }
    return 0;
}
