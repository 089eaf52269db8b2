// Commands that carry the drawing into the network tables: the branch table
// generated from the plan, one drawn branch added to it, names and cells
// taken over from the property panel's data grid.
#include "app/DrawWin.h"

#include "calc/model/ModGrid.h"
#include "calc/window/DataWindowController.h"
#include "document/Branch.h"
#include "document/Constants.h"
#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"
#include "platform/Services.h"

#include <unordered_map>

namespace arv {

namespace {

constexpr int kNameColumn = 15;

void ErrorBox(const std::string& text) {
    MessageBox(text, "", TMsgButtons::Ok, TMsgIcon::Error);
}

} // namespace

void TIDrawWin::MGenDanClick() {
    TGCollFigure& doc = *doc_;
    if (doc.Count() == 0) {
        MessageBox(Ru("Документ пуст!!!"), "", TMsgButtons::Ok, TMsgIcon::Warning);
        return;
    }
    if (MessageBox(Ru("ВНИМАНИЕ!!!\r\nДанные из таблицы расчетов будут удалены и заменены "
                      "новыми\r\nПродолжить [Да] [Нет]"),
                   "", TMsgButtons::YesNo, TMsgIcon::Warning) != mrYes)
        return;
    // The tables are emptied first: when the data window's own question about
    // unsaved data is cancelled, the drawing is left as it was.
    if (dataWindow_) {
        if (!dataWindow_->Dan_NewClick()) return;
    } else {
        for (TModGrid* g : {branchGrid_, nodeGrid_}) {
            if (!g) continue;
            for (int r = g->FixedRows(); r < g->RowCount(); ++r) g->ClearRow(r);
            g->SetRowCount(g->FixedRows() + 1);
        }
    }

    // The user agreed to new numbers once; every node is renumbered without a
    // question of its own. Branches follow their nodes by the old numbers.
    auto& records = doc.nodes.Records();
    std::unordered_map<int32_t, int32_t> newNodeNumber;
    for (size_t i = records.size(); i-- > 0;) newNodeNumber[records[i].number] = int32_t(i) + 1;
    for (size_t i = 0; i < records.size(); ++i) records[i].number = int32_t(i) + 1;
    doc.nodes.nextTempNumber = doc.nodes.NextFreeNumber();
    int32_t branchNumber = 0;
    for (int32_t i = 0; i < doc.Count(); ++i) {
        TGBranch* b = doc.BranchAt(i);
        if (!b) continue;
        b->number = ++branchNumber;
        auto from = newNodeNumber.find(b->beginNode);
        auto to = newNodeNumber.find(b->endNode);
        if (from != newNodeNumber.end()) b->beginNode = from->second;
        if (to != newNodeNumber.end()) b->endNode = to->second;
    }
    // Temporary numbers continue below the new ones, as after a load.
    doc.RenumberTemporaryBranches();

    if (branchGrid_) {
        // One row per branch, without gaps for the texts and pictures between
        // them: the calculation stops at an empty row.
        TModGrid& g = *branchGrid_;
        int row = g.FixedRows();
        for (int32_t i = 0; i < doc.Count(); ++i) {
            const TGBranch* b = doc.BranchAt(i);
            if (!b) continue;
            g.SetCells(0, row, IntToStr(b->number));
            g.SetCells(1, row, IntToStr(b->beginNode));
            g.SetCells(2, row, IntToStr(b->endNode));
            g.SetCells(kNameColumn, row, b->name);
            ++row;
        }
        g.SetRowCount(row);
        g.Modified = true;
    }
    IndexCalcDataGrids();
    // The old links point at rows of the emptied tables.
    LinkBranchesToCalcData();
    ShowProperties(false);
    DrawingModified = true;
    doc.DoChange();
    Repaint();
}

void TIDrawWin::AddExtClick() {
    TGCollFigure& doc = *doc_;
    TGCustomFigure* f = doc.CurrentFigure();
    if (!f || !f->IsBranch()) {
        ErrorBox(DrawingMessages().objectNotFound);
        return;
    }
    auto* b = static_cast<TGBranch*>(f);
    const int32_t number = b->number < 0 ? -b->number : b->number;
    // A number the table or another drawn branch already has would give two
    // rows or two figures for one branch.
    for (int32_t i = 0; i < doc.Count(); ++i) {
        const TGBranch* other = doc.BranchAt(i);
        if (other && other != b && other->number == number) {
            ErrorBox(DrawingMessages().branchNumberUsed);
            return;
        }
    }
    if (branchGrid_) {
        const TModGrid& g = *branchGrid_;
        const std::string key = IntToStr(number);
        for (int r = g.FixedRows(); r < g.RowCount(); ++r) {
            if (Trim(g.Cells(0, r)) != key) continue;
            ErrorBox(Ru("Ветвь ") + key + Ru(" уже есть в таблице расчета. Ветвь не добавлена"));
            return;
        }
    }
    // Property identifiers 4 and 5 are the begin and end node; Datagrid rows
    // 1 and 2 show them.
    for (int which : {4, 5}) {
        const int32_t node = which == 4 ? b->beginNode : b->endNode;
        if (node >= 0) continue;
        const std::string text = IntToStr(-node);
        std::string message;
        if (!doc.ApplyPropertyEdit(which, text, message)) {
            ErrorBox(message);
            return;
        }
        Datagrid.SetCells(1, which - 3, text);
        ReplaceNodeInBranchTable(IntToStr(node), IntToStr(-node));
    }
    b->number = number;
    doc.AddBranchFromData(number);
    // The index first, so that the link finds the new row.
    IndexCalcDataGrids();
    LinkBranchesToCalcData();
    ShowProperties(false);
    if (branchGrid_) branchGrid_->Modified = true;
    DrawingModified = true;
    Repaint();
}

void TIDrawWin::FromExtClick() {
    if (!doc_->SetCurrentBranchName(Datagrid.Cells(1, kNameColumn))) {
        ErrorBox(DrawingMessages().objectNotFound);
        return;
    }
    DrawingModified = true;
    Repaint();
}

void TIDrawWin::DatagridKeyPress(char key) {
    if (key != '\r' || !branchGrid_) return;
    const TGBranch* b = doc_->BranchAt(doc_->current);
    if (!b) return;
    // The branch's own row as the index found it; a branch missing from the
    // table has no row to write into.
    const auto& index = WindowState().CalcBranchIndex;
    const int32_t pos = b->Caption(1).b;
    if (pos < 0 || pos >= static_cast<int32_t>(index.size())) return;
    const TCalcBranchIndexEntry& e = index[static_cast<size_t>(pos)];
    if (e.number != b->number || e.row < branchGrid_->FixedRows()) return;
    const int column = Datagrid.Row();
    if (column < 0) return;
    branchGrid_->SetCells(column, e.row, Datagrid.Cells(Datagrid.Col(), column));
    branchGrid_->Modified = true;
    // A new number or node in the row moves the branch in the index.
    IndexCalcDataGrids();
    LinkBranchesToCalcData();
    Repaint();
}

} // namespace arv
