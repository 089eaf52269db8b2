// The drawing's tables and the branch captions taken from them.
#include "app/DrawWin.h"

#include "calc/model/ModGrid.h"
#include "calc/window/DataWindowController.h"
#include "document/Branch.h"
#include "document/DrawingGlobals.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/NumberParse.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace arv {

void TIDrawWin::SchemeImported(const std::string& drawingFileName) {
    currentFileName_ = drawingFileName;
    // Only a name: a file of that name is not this drawing's.
    nameHoldsDrawing_ = false;
    // The data go with the drawing's name, as after an open: a save of the
    // data writes the drawing it names.
    if (dataWindow_) dataWindow_->CurrentDataFile() = ChangeFileExt(drawingFileName, ".dan");
    ShowCaption();
    Repaint();
}

void TIDrawWin::SetCalcGrids(TModGrid* branches, TModGrid* nodes) {
    branchGrid_ = branches;
    nodeGrid_ = nodes;
    WindowState().BranchGrid = branches;
    WindowState().Datagrid = branches;
}

void TIDrawWin::FillBranchCaptions() {
    if (!branchGrid_) return;
    const TModGrid& g = *branchGrid_;
    const char kind = dataWindow_ ? dataWindow_->CalcContext().CalcOptions[2] : 'E';
    std::unordered_map<int32_t, int> rowOf;
    for (const TCalcBranchIndexEntry& e : WindowState().CalcBranchIndex)
        rowOf.emplace(e.number, e.row);
    for (int32_t i = 0; i < doc_->Count(); ++i) {
        TGBranch* b = doc_->BranchAt(i);
        if (!b) continue;
        auto it = rowOf.find(b->number);
        if (it == rowOf.end()) continue;
        const int row = it->second;
        auto& texts = b->callout.texts;
        if (kind == 'E' || kind == 'O')
            texts[0] = g.Cells(11, row);
        else if (kind == 'I' || kind == 'P' || kind == 'U')
            texts[0] = g.Cells(12, row);
        texts[1] = g.Cells(6, row);
        texts[2] = g.Cells(13, row);
        texts[3] = g.Cells(5, row);
    }
}

} // namespace arv
