// The drawing built from imported base data, and the link between the
// drawing's branches and the rows of the network tables.
#include "app/DrawWin.h"

#include "calc/model/ModGrid.h"
#include "calc/window/DataWindowController.h"
#include "document/Branch.h"
#include "platform/Cp1251.h"
#include "platform/NumberParse.h"

#include <unordered_map>

namespace arv {

namespace {

constexpr int kFirstDataRow = 2;

int CellInt(const TModGrid& g, int col, int row) {
    return StrToIntDef(Trim(g.Cells(col, row)), 0);
}

} // namespace

void TIDrawWin::BuildSchemeFromBase() {
    TBaseData& base = BaseData();
    TGCollFigure& doc = *doc_;
    std::unordered_map<int32_t, const TBaseNode*> nodes;
    for (const TBaseNode& n : base.BaseNodes) nodes.emplace(n.Number, &n);
    for (size_t i = 0; i < base.BaseBranches.size(); ++i) {
        const TBaseBranch& b = base.BaseBranches[i];
        auto from = nodes.find(b[kBaseBeginNode]);
        auto to = nodes.find(b[kBaseEndNode]);
        // A branch whose ends have no position cannot be drawn.
        if (from == nodes.end() || to == nodes.end()) continue;
        TBranchSetup setup;
        setup.beginNode = b[kBaseBeginNode];
        setup.beginKind = from->second->Surface;
        setup.endNode = b[kBaseEndNode];
        setup.endKind = to->second->Surface;
        setup.number = b[kBaseNumber];
        if (i < base.BaseBranchNames.size()) setup.name = base.BaseBranchNames[i];
        const TPoint p{from->second->X, from->second->Y};
        const TPoint q{to->second->X, to->second->Y};
        const int turn = b[kBaseTurnIndex];
        TGBranch* branch = nullptr;
        if (turn >= 0 && turn < base.TurnCount && !base.BaseTurns[turn].Points.empty()) {
            auto* poly = static_cast<TGPolyLine*>(doc.AddFigure(kKindPolyLine));
            TPoint at = p;
            for (const auto& pt : base.BaseTurns[turn].Points) {
                TPoint next{pt[0], pt[1]};
                poly->EditVertex(at, next, setup);
                at = next;
            }
            poly->EditVertex(at, q, setup);
            branch = poly;
        } else {
            auto* line = static_cast<TGLine*>(doc.AddFigure(kKindLine));
            line->SetGeometry(p, q, setup, kGeometryAll);
            branch = line;
        }
        branch->number = b[kBaseNumber];
        if (i < base.BaseBranchNames.size()) branch->name = base.BaseBranchNames[i];
    }
    base.Clear();
    doc.current = -1;
    doc.nodes.BuildIncidence();
    doc.BuildVisibleList();
    FitView(doc.GetExtent());
    DrawingModified = true;
}

void TIDrawWin::SchemeImported(const std::string& drawingFileName) {
    currentFileName_ = drawingFileName;
    ShowCaption();
    Repaint();
}

void TIDrawWin::SetCalcGrids(TModGrid* branches, TModGrid* nodes) {
    branchGrid_ = branches;
    nodeGrid_ = nodes;
    WindowState().BranchGrid = branches;
    WindowState().Datagrid = branches;
}

void TIDrawWin::IndexCalcDataGrids() {
    auto& index = WindowState().CalcBranchIndex;
    index.clear();
    if (!branchGrid_) return;
    const TModGrid& g = *branchGrid_;
    for (int r = kFirstDataRow; r < g.RowCount(); ++r) {
        int number = CellInt(g, 0, r);
        if (number == 0) continue;
        index.push_back({number, CellInt(g, 1, r), CellInt(g, 2, r), r});
    }
}

void TIDrawWin::LinkBranchesToCalcData() {
    std::unordered_map<int32_t, int32_t> rowOf;
    const auto& index = WindowState().CalcBranchIndex;
    for (size_t i = 0; i < index.size(); ++i)
        rowOf.emplace(index[i].number, static_cast<int32_t>(i));
    for (int32_t i = 0; i < doc_->Count(); ++i)
        if (TGBranch* b = doc_->BranchAt(i)) {
            auto it = rowOf.find(b->number);
            b->resultsIndex = it == rowOf.end() ? -1 : it->second;
        }
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
