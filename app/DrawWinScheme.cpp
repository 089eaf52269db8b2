// The drawing built from imported base data, and the link between the
// drawing's branches and the rows of the network tables.
#include "app/DrawWin.h"

#include "calc/model/ModGrid.h"
#include "calc/window/DataWindowController.h"
#include "document/Branch.h"
#include "document/DrawingGlobals.h"
#include "platform/Cp1251.h"
#include "platform/NumberParse.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace arv {

void TIDrawWin::BuildSchemeFromBase() {
    TBaseData& base = BaseData();
    TGCollFigure& doc = *doc_;
    DrawingGlobals().WidthDefault = 2;
    DrawingGlobals().DefaultBranchStyle = 1;
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
    SyncViewMenus(DrawingGlobals().SchemeKind);
    DrawingModified = true;
    TRect e = doc.GetExtent();
    if (e == TRect{}) return;
    e = {e.left - 10, e.top + 10, e.right + 10, e.bottom - 10};
    doc.scale = std::min(PaintWidth / std::abs(static_cast<double>(e.right) - e.left),
                         PaintHeight / std::abs(static_cast<double>(e.top) - e.bottom));
    doc.hitTolerance = std::max(5, RoundI(5.0 / doc.scale));
    doc.centre = {HalfSum(e.left, e.right), HalfSum(e.top, e.bottom)};
    doc.UpdateViewSize(PaintWidth, PaintHeight);
    Repaint();
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
    if (branchGrid_) {
        const TModGrid& g = *branchGrid_;
        for (int r = g.FixedRows(); r < g.RowCount(); ++r) {
            const std::string key = Trim(g.Cells(0, r));
            if (key.empty() || key == Ru("ветви")) continue;
            int number = 0;
            if (!TryStrToInt(key, number)) {
                index.push_back({kNoNode, 0, 0, 0});
                continue;
            }
            const std::string from = Trim(g.Cells(1, r)), to = Trim(g.Cells(2, r));
            // A row without both end nodes is no branch yet.
            if (from.empty() || to.empty()) continue;
            index.push_back({number, StrToIntDef(from, 0), StrToIntDef(to, 0), r});
        }
    }
    FillBranchCaptions();
}

void TIDrawWin::LinkBranchesToCalcData() {
    const auto& index = WindowState().CalcBranchIndex;
    std::unordered_map<int32_t, int32_t> positionOf;
    // Later records win, as with duplicate numbers the last row does.
    for (size_t i = 0; i < index.size(); ++i) positionOf[index[i].number] = static_cast<int32_t>(i);
    const char kind = dataWindow_ ? dataWindow_->CalcContext().CalcOptions[2] : 'E';
    for (int32_t i = 0; i < doc_->Count(); ++i) {
        TGBranch* b = doc_->BranchAt(i);
        if (!b) continue;
        auto it = positionOf.find(b->number);
        if (it == positionOf.end()) continue;
        b->Caption(1).b = it->second;
        b->resultsIndex = it->second;
        if (branchGrid_) {
            const int row = index[static_cast<size_t>(it->second)].row;
            const int col = kind == 'P' ? 12 : 11;
            b->flowReversed = branchGrid_->Cells(col, row).find('-') != std::string::npos ? 1 : 0;
        }
    }
    FillBranchCaptions();
}

bool TIDrawWin::GetFigureLabel(TCanvas& dc, int32_t number, int32_t kind, int32_t position,
                               TLabelTextOut draw, TGCollFigure& doc) {
    const auto& index = WindowState().CalcBranchIndex;
    const bool inRange = position >= 0 && position < static_cast<int32_t>(index.size());
    if (kind == 1 || kind == 5) {
        if (!inRange || number < 0) return true;
        if (kind == 5) {
            std::string out;
            draw(dc, {0}, out, {"1234"}, 0);
            return false;
        }
        const TCalcBranchIndexEntry& e = index[static_cast<size_t>(position)];
        if (e.number != number || !branchGrid_ || e.row >= branchGrid_->RowCount()) return false;
        const char calc = dataWindow_ ? dataWindow_->CalcContext().CalcOptions[2] : 'E';
        std::string text;
        int32_t colour = 0;
        if (calc == 'E' || calc == 'O' || calc == 'I') {
            text = "[" + branchGrid_->Cells(11, e.row) + "]";
            colour = doc.settings.fonts[3].colour;
        } else if (calc == 'P' || calc == 'U') {
            text = "[" + branchGrid_->Cells(12, e.row) + "]";
        } else {
            return false;
        }
        std::string out;
        draw(dc, {colour}, out, {text}, 0);
    }
    return false;
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
