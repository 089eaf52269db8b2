#include "app/PropGridBinding.h"

namespace arv {

namespace {

// The grid owns the current cell; the inspector reads its copy.
void TakeCurrent(TIDrawWin& w, const TRxDrawGrid& grid) {
    w.GridProp.Col = grid.Col();
    w.GridProp.Row = grid.Row();
}

} // namespace

void BindGridProp(TIDrawWin& w, TRxDrawGrid& grid) {
    grid.SetColCount(2);
    grid.SetFixedCols(1);
    grid.SetFixedRows(1);
    grid.SetRowCount(w.GridProp.RowCount);
    grid.SetColWidths(0, 95);
    grid.SetColWidths(1, 70);
    grid.SetDefaultRowHeight(18);
    grid.SetFixedButtons(true);
    grid.SetCurrent(1, 1);
    grid.OnDrawCell = [&w](TRxDrawGrid& g, int col, int row, const TCanvasRect& rect,
                           TGridDrawState) {
        g.DrawCellString(rect, w.GridPropCellText(col, row), TAlignment::taLeftJustify);
    };
    grid.OnGetEditMask = [&w](TRxDrawGrid&, int col, int row, std::string& mask) {
        w.GridPropGetEditMask(col, row, mask);
    };
    grid.OnGetEditText = [&w](TRxDrawGrid&, int col, int row, std::string& text) {
        w.GridPropGetEditText(col, row, text);
    };
    grid.OnSetEditText = [&w](TStringGridModel&, int col, int row, const std::string& text) {
        w.GridPropSetEditText(col, row, text);
    };
    grid.OnSelectCell = [&w](TStringGridModel& g, int col, int row, bool& canSelect) {
        TakeCurrent(w, static_cast<TRxDrawGrid&>(g));
        w.GridPropSelectCell(col, row, canSelect);
        // The grid moves to the cell chosen: its copy follows now, so that a
        // refresh of the rows before the next key (the window activated by
        // this very click, say) keeps the cell instead of taking the grid
        // back to the row left.
        if (canSelect) {
            w.GridProp.Col = col;
            w.GridProp.Row = row;
        }
    };
    grid.OnKeyPress = [&w](TStringGridModel& g, char& key) {
        TakeCurrent(w, static_cast<TRxDrawGrid&>(g));
        w.GridPropKeyPress(key);
    };
    grid.OnAcceptEditKey = [&w](TRxDrawGrid&, char& key) { return w.GridPropAcceptEditKey(key); };
    grid.OnFixedCellClick = [&w](TRxDrawGrid&, int col, int row) {
        w.GridPropFixedCellClick(col, row);
    };
    // The inspector leaves the style the grid proposes: a plain edit line.
    grid.OnGetEditStyle = [](TRxDrawGrid&, int, int, TInplaceEditStyle&) {};
    grid.SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine |
                    goDrawFocusSelected | goColSizing | goEditing | goAlwaysShowEditor);
}

void SyncGridProp(TIDrawWin& w, TRxDrawGrid& grid) {
    if (w.GridProp.HideEditor) {
        w.GridProp.HideEditor = false;
        grid.CloseEditor();
    }
    grid.SetRowCount(w.GridProp.RowCount);
    grid.SetEnabled(w.GridProp.Enabled);
    const TGridOptions editing = w.GridProp.GoEditing ? goEditing : 0u;
    if ((grid.Options() & goEditing) != editing)
        grid.SetOptions((grid.Options() & ~goEditing) | editing);
    if (grid.Row() != w.GridProp.Row && w.GridProp.Row >= 1 && w.GridProp.Row < grid.RowCount() &&
        !w.PropFilling) {
        // A row the refresh moved to is entered without a selection event.
        auto onSelect = std::move(grid.OnSelectCell);
        grid.SetCurrent(1, w.GridProp.Row);
        grid.OnSelectCell = std::move(onSelect);
    }
    TakeCurrent(w, grid);
    // An editor left open takes up the cell's text; what it held is not applied.
    if (grid.EditorMode()) grid.InvalidateEditor();
    for (int r = 0; r < grid.RowCount(); ++r) grid.RepaintRow(r);
}

} // namespace arv
