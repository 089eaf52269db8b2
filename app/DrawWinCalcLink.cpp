// The link between the drawing's branches and the rows of the network
// tables: the branch and node indexes, the per-branch link positions, the
// bracketed result labels and the drawing built from imported tables.
#include "app/DrawWin.h"

#include "calc/model/ModGrid.h"
#include "calc/window/DataWindowController.h"
#include "document/Branch.h"
#include "document/DrawingGlobals.h"
#include "platform/Cp1251.h"
#include "platform/NumberParse.h"
#include "platform/Services.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace arv {

namespace {

// A branch number that is no number: such a record never matches a branch.
constexpr int32_t kBadBranchNumber = 0x0FFFFFFF;
constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kBlack = 0;

} // namespace

int32_t TIDrawWin::BranchIndexCount() const {
    return static_cast<int32_t>(WindowState().CalcBranchIndex.size());
}

void TIDrawWin::IndexCalcDataGrids() {
    if (branchGrid_) {
        auto& index = WindowState().CalcBranchIndex;
        index.clear();
        const TModGrid& g = *branchGrid_;
        for (int r = g.FixedRows(); r < g.RowCount(); ++r) {
            const std::string key = Trim(g.Cells(0, r));
            if (key.empty() || key == Ru("ветви")) continue;
            int number = 0;
            if (!TryStrToInt(key, number)) {
                index.push_back({kBadBranchNumber, 0, 0, 0});
                continue;
            }
            const std::string from = Trim(g.Cells(1, r)), to = Trim(g.Cells(2, r));
            // A row without both end nodes is no branch yet.
            if (from.empty() || to.empty()) continue;
            index.push_back({number, StrToIntDef(from, 0), StrToIntDef(to, 0), r});
        }
    }
    FillBranchCaptions();
    if (nodeGrid_) {
        NodeIndex.clear();
        const TModGrid& g = *nodeGrid_;
        for (int r = g.FixedRows(); r < g.RowCount(); ++r) {
            const std::string key = Trim(g.Cells(0, r));
            if (key.empty() || key == Ru("№") || key == Ru("узла")) continue;
            int number = 0;
            if (!TryStrToInt(key, number)) continue;
            NodeIndex.push_back({number, r, Trim(g.Cells(1, r))});
        }
    }
}

void TIDrawWin::LinkBranchesToCalcData() {
    const auto& index = WindowState().CalcBranchIndex;
    // Later records win, as with duplicate numbers the last row does.
    std::unordered_map<int32_t, int32_t> branchAt, nodeAt;
    for (size_t i = 0; i < index.size(); ++i) branchAt[index[i].number] = static_cast<int32_t>(i);
    for (size_t i = 0; i < NodeIndex.size(); ++i)
        nodeAt[NodeIndex[i].Number] = static_cast<int32_t>(i);
    const char kind = dataWindow_ ? dataWindow_->CalcContext().CalcOptions[2] : 'E';
    for (int32_t i = 0; i < doc_->Count(); ++i) {
        TGBranch* b = doc_->BranchAt(i);
        if (!b) continue;
        b->Caption(3).b = b->Caption(3).a;
        // Positions of an earlier index would point at other nodes now.
        auto from = nodeAt.find(b->beginNode);
        auto to = nodeAt.find(b->endNode);
        b->beginNodeLink = from == nodeAt.end() ? -1 : from->second;
        b->endNodeLink = to == nodeAt.end() ? -1 : to->second;
        auto it = branchAt.find(b->number);
        // The arrow shows only for a branch the tables hold.
        if (it == branchAt.end()) {
            b->Caption(5).b = -1;
            continue;
        }
        b->Caption(1).b = it->second;
        // The arrow's value is the results copy of the position.
        b->Caption(5).b = it->second;
        if (branchGrid_) {
            const int row = index[static_cast<size_t>(it->second)].row;
            // The column the flow label shows: the emergency flows after a
            // fire or a device failure.
            const int col = kind == 'P' || kind == 'U' ? 12 : 11;
            b->flowReversed = branchGrid_->Cells(col, row).find('-') != std::string::npos ? 1 : 0;
        }
    }
    FillBranchCaptions();
}

void TIDrawWin::ResultsWritten() {
    // A run may have turned the air in any branch: the arrows are marked
    // from the table anew before the plan shows the new flows.
    IndexCalcDataGrids();
    LinkBranchesToCalcData();
    // The data page of the branch shown holds a copy of its row.
    FillDatagridFromTable();
    Repaint();
}

void TIDrawWin::LinkOneBranch(TGCustomFigure& figure) {
    if (!figure.IsBranch()) return;
    auto& b = static_cast<TGBranch&>(figure);
    const TDisplaySwitches& d = doc_->display;
    if (d.caption[3]) b.Caption(3).b = b.Caption(3).a;
    if (d.caption[1] || d.caption[5]) {
        const auto& index = WindowState().CalcBranchIndex;
        int32_t found = -1;
        for (size_t i = 0; i < index.size(); ++i)
            if (index[i].number == b.number) found = static_cast<int32_t>(i);
        if (d.caption[1] && found >= 0) b.Caption(1).b = found;
        // A new number the tables do not hold has no arrow.
        if (d.caption[5]) b.Caption(5).b = found;
    }
    if (d.caption[4]) {
        b.beginNodeLink = -1;
        b.endNodeLink = -1;
        for (size_t i = 0; i < NodeIndex.size(); ++i) {
            if (NodeIndex[i].Number == b.beginNode) b.beginNodeLink = static_cast<int32_t>(i);
            if (NodeIndex[i].Number == b.endNode) b.endNodeLink = static_cast<int32_t>(i);
        }
    }
}

int32_t TIDrawWin::FindBranchIndexEntry(int32_t hint, int32_t number) const {
    if (number < 0) return -1;
    const auto& index = WindowState().CalcBranchIndex;
    const int32_t count = static_cast<int32_t>(index.size());
    if (hint >= 1 && hint < count && index[static_cast<size_t>(hint)].number == number) return hint;
    for (int32_t i = 0; i < count; ++i)
        if (index[static_cast<size_t>(i)].number == number) return i;
    return -1;
}

bool TIDrawWin::GetFigureLabel(TCanvas& dc, int32_t number, int32_t kind, int32_t position,
                               TLabelTextOut draw, TGCollFigure& doc) {
    const auto& index = WindowState().CalcBranchIndex;
    const bool inBranchIndex = position >= 0 && position < static_cast<int32_t>(index.size());
    TGCustomFigure* current = doc.CurrentFigure();
    TGBranch* currentBranch =
        current && current->IsBranch() ? static_cast<TGBranch*>(current) : nullptr;
    std::string out;
    switch (kind) {
    case 1: {
        if (!inBranchIndex || number < 0) return true;
        const TCalcBranchIndexEntry& e = index[static_cast<size_t>(position)];
        if (e.number != number || !branchGrid_) return false;
        const char calc = dataWindow_ ? dataWindow_->CalcContext().CalcOptions[2] : 'E';
        std::string text;
        int32_t colour = kBlack;
        // The row the index found; the grid's row, not an offset from its top.
        if (calc == 'E' || calc == 'O' || calc == 'I') {
            text = "[" + branchGrid_->Cells(11, e.row) + "]";
            colour = doc.settings.fonts[3].colour;
        } else if (calc == 'P' || calc == 'U') {
            text = "[" + branchGrid_->Cells(12, e.row) + "]";
        } else {
            return false;
        }
        draw(dc, {colour}, out, {text}, 0);
        const TCanvasSize size = dc.TextExtent(text);
        doc.labelTextSize = {size.cx, size.cy};
        if (currentBranch) currentBranch->Caption(1).size = {size.cx, size.cy};
        return false;
    }
    case 4: {
        if (position < 0 || position >= NodeIndexCount()) return false;
        const std::string text = "[" + NodeIndex[static_cast<size_t>(position)].PressureText + "]";
        draw(dc, {kRed}, out, {text}, 0);
        const TCanvasSize size = dc.TextExtent(text);
        if (currentBranch) currentBranch->Caption(4).size = {size.cx, size.cy};
        return false;
    }
    case 5:
        // The sample label of the settings is never drawn on the plan.
        return !inBranchIndex || number < 0;
    default:
        return false;
    }
}

void TIDrawWin::BuildSchemeFromBase() {
    TGCollFigure& doc = *doc_;
    DrawingGlobals().WidthDefault = 2;
    DrawingGlobals().DefaultBranchStyle = 1;
    if (doc.AddBaseBranches(BaseData()) == -1) {
        MessageBox(Ru("Ошибка загрузки документа"), "", TMsgButtons::Ok, TMsgIcon::Error);
        return;
    }
    doc.current = -1;
    doc.nodes.BuildIncidence();
    doc.BuildVisibleList();
    DrawingModified = true;
    TRect e = doc.GetExtent();
    if (e == TRect{}) return;
    e = {e.left - 10, e.top + 10, e.right + 10, e.bottom - 10};
    const double scale = std::min(PaintWidth / std::abs(static_cast<double>(e.right) - e.left),
                                  PaintHeight / std::abs(static_cast<double>(e.top) - e.bottom));
    // A window without a drawing area yet keeps its scale.
    if (scale > 0) {
        doc.scale = scale;
        doc.hitTolerance = std::max(5, RoundI(5.0 / scale));
    }
    // The view goes where the new branches are, not where it was before.
    doc.centre = {HalfSum(e.left, e.right), HalfSum(e.top, e.bottom)};
    doc.UpdateViewSize(PaintWidth, PaintHeight);
    Repaint();
}

} // namespace arv
