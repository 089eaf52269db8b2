// Makes the drawing of the bundled sample mine from its data file: the nodes
// are placed by an oblique projection of their plan and height coordinates,
// so that shafts and levels stand apart, and the drawing carries the network
// data of the data file. Usage: make_sample_drawing <data.dan> <drawing.grh>
#include "app/DrawWin.h"
#include "calc/files/DataFiles.h"
#include "calc/files/NetworkDataText.h"
#include "calc/files/SchemeImport.h"
#include "document/DrawingFile.h"
#include "document/DrawingGlobals.h"
#include "document/TextFigures.h"
#include "platform/Cp1251.h"
#include "platform/NumberParse.h"
#include "platform/Services.h"

#include <cstdio>

using namespace arv;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_sample_drawing <data.dan> <drawing.grh>\n");
        return 2;
    }
    TCalcContext c;
    TNetworkTables t{c};
    t.InitTables();
    if (!LoadNetworkData(argv[1], t, c)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    // Node table: 0 number, 4 height, 5 x, 6 y (metres).
    TBaseData& base = BaseData();
    base.Clear();
    base.BaseTurns.resize(10);
    for (int r = 2; r < t.TablDavl.RowCount(); ++r) {
        int number = StrToIntDef(Trim(t.TablDavl.Cells(0, r)), 0);
        if (number == 0) continue;
        double z = StrToIntDef(Trim(t.TablDavl.Cells(4, r)), 0);
        double x = StrToIntDef(Trim(t.TablDavl.Cells(5, r)), 0);
        double y = StrToIntDef(Trim(t.TablDavl.Cells(6, r)), 0);
        int surface = t.UzPov.find(";" + std::to_string(number) + ";") != std::string::npos ||
                      t.UzPov.rfind(std::to_string(number) + ";", 0) == 0;
        base.BaseNodes.push_back(
            {number, RoundI(2 * (x + 0.5 * y)), RoundI(2 * (z + 0.3 * y)), surface});
    }
    for (int r = 2; r < t.TablDan.RowCount(); ++r) {
        int number = StrToIntDef(Trim(t.TablDan.Cells(0, r)), 0);
        if (number == 0) continue;
        TBaseBranch b{};
        b[kBaseNumber] = number;
        b[kBaseBeginNode] = StrToIntDef(Trim(t.TablDan.Cells(1, r)), 0);
        b[kBaseEndNode] = StrToIntDef(Trim(t.TablDan.Cells(2, r)), 0);
        b[kBaseTurnIndex] = -1;
        base.BaseBranches.push_back(b);
        base.BaseBranchNames.push_back(t.TablDan.Cells(15, r));
    }
    TIDrawWin win;
    win.PaintWidth = 1200;
    win.PaintHeight = 800;
    win.BuildSchemeFromBase();
    TGCollFigure& doc = win.Doc();

    // A title and a layer of annotation.
    doc.layers.AddLayer();
    TFontRecord font;
    font.size = 14;
    font.style = 1;
    auto* title = static_cast<TGText*>(doc.AddFigure(kKindText));
    TRect e = doc.GetExtent();
    title->SetTextAndFont(t.NameSh + " - " + t.NameVar, font, {e.left, e.top + 160});
    title->layer = 1;
    doc.current = -1;

    // Every scheme shows branch and node numbers; the calculation scheme also
    // names the workings and shows the air flows once they are computed.
    for (int k = 0; k < kSchemeCount; ++k) {
        TSchemeRecord& r = DrawingGlobals().SchemeViewFlags[k];
        r.show[kShowBranchNumbers] = r.show[kShowNodeNumbers] = 1;
    }
    TSchemeRecord& calc = DrawingGlobals().SchemeViewFlags[0];
    calc.show[kShowBranchNames] = calc.show[kShowAirFlows] = calc.show[kShowFlowArrows] = 1;
    DrawingGlobals().SchemeViewFlags[1].lineColor = 0xFF0000;
    DrawingGlobals().SchemeViewFlags[1].show[kShowFlowArrows] = 1;
    // The import leaves the PLA scheme chosen; the sample opens on the first.
    DrawingGlobals().SchemeKind = 0;
    doc.ApplySchemeRecord(0);

    std::string error;
    if (!WriteDrawingFile(doc, argv[2], BuildNetworkDataText(t, c), &error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[2], error.c_str());
        return 2;
    }
    return 0;
}
