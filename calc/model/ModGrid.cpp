#include "calc/model/ModGrid.h"

#include "platform/NumberFormat.h"
#include "platform/Services.h"

#include <algorithm>

namespace arv {

void TModGrid::InsertRowBelow() {
    int below = Row() + 1;
    // Every row below, hidden ones too, moves down with its cells.
    InsertRow(below);
    ClearRow(below);
    SetCurrent(FixedCols(), below);
    Modified = true;
}

void TModGrid::RemoveCurrentRow() {
    if (RowCount() <= 0) return;
    DeleteRow(Row());
    Modified = true;
}

void TModGrid::ClearRowsFrom(int first) {
    BeginUpdate();
    for (int r = std::max(RowCount() - 1, LastFilledRow()); r >= first; --r) ClearRow(r);
    EndUpdate();
}

bool TModGrid::OnDataCell() const {
    return Row() >= FixedRows() && Row() < RowCount() && Col() >= FixedCols() && Col() < ColCount();
}

void TModGrid::CopyCell() {
    if (OnDataCell()) Clipboard().SetText(Cells(Col(), Row()));
}

void TModGrid::CutCell() {
    if (!OnDataCell()) return;
    Clipboard().SetText(Cells(Col(), Row()));
    SetCells(Col(), Row(), "");
}

void TModGrid::PasteCell() {
    if (OnDataCell()) SetCells(Col(), Row(), Clipboard().GetText());
}

void TModGrid::AdvanceCell() {
    int col = Col() + 1;
    int row = Row();
    if (Col() >= ColCount() - 1) {
        col = FixedCols();
        if (row >= RowCount() - 1) SetRowCount(RowCount() + 1);
        row = row + 1;
        SetLeftCol(FixedCols());
    }
    if (col >= ColCount() || row >= RowCount()) return;
    SetCurrent(col, row);
    // Keep the next column in sight. A column of width 0 as the divisor
    // counts as one column; there is no column right of the last one.
    int shown = ColCount() - FixedCols();
    if (VisibleColCount() < shown && col > VisibleColCount() + LeftCol() - 2 &&
        col + 1 < ColCount()) {
        int leftWidth = ColWidths(LeftCol());
        int w = leftWidth > 0
                    ? static_cast<int>(Round(static_cast<double>(ColWidths(col + 1)) / leftWidth))
                    : 1;
        SetLeftCol(std::min(LeftCol() + w, ColCount() - 1));
    }
    if (row > VisibleRowCount() + TopRow() - 1) SetTopRow(TopRow() + 1);
}

void TModGrid::KeyPress(char& key) {
    if (key == '\r')
        AdvanceCell();
    else
        Modified = true;
    char typed = key;
    TStringGridModel::KeyPress(key);
    switch (typed) {
    case 3:
        CopyCell();
        break;
    case 22:
        PasteCell();
        break;
    case 24:
        CutCell();
        break;
    default:
        break;
    }
}

void TModGrid::KeyDown(int& key, TShiftState shift) {
    TStringGridModel::KeyDown(key, shift);
    TShiftState mods = shift & (ssShift | ssCtrl | ssAlt);
    switch (key) {
    case VK_F7:
        if (Row() > 1) InsertRowBelow();
        break;
    case VK_F8:
        if (Row() > 1) RemoveCurrentRow();
        break;
    case VK_INSERT:
        if (mods == ssShift)
            PasteCell();
        else if (mods == ssCtrl)
            CopyCell();
        break;
    case VK_DELETE:
        if (mods == ssCtrl) CutCell();
        break;
    default:
        break;
    }
}

} // namespace arv
