// A toolkit-free string grid: the network tables are data first and this is
// the data. Cells are stored sparsely and may be written beyond the row and
// column counts; they stay hidden until a count grows over them. Changing a
// count keeps every cell; only an explicit clear removes text. A window shows
// the model through a view that listens to its changes and feeds it keys.
#pragma once

#include "Keys.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace arv {

struct TGridCoord {
    int X = 0; // column
    int Y = 0; // row
    bool operator==(const TGridCoord&) const = default;
};

struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TGridRect&) const = default;
};

enum class TGridChange {
    Cell,      // one cell's text (col, row given)
    Structure, // counts, fixed rows/columns, rows inserted, deleted or moved, many cells
    Current,   // current cell or selection
    Scroll,    // top row or left column
    Layout,    // column widths, row heights, font, visibility
};

class TStringGridModel;

class IGridListener {
public:
    virtual ~IGridListener() = default;
    virtual void GridChanged(TStringGridModel& grid, TGridChange what, int col, int row) = 0;
};

class TStringGridModel {
public:
    explicit TStringGridModel(std::string name = {});
    virtual ~TStringGridModel();
    TStringGridModel(const TStringGridModel&) = delete;
    TStringGridModel& operator=(const TStringGridModel&) = delete;

    const std::string& Name() const { return name_; }

    // Cells: any non-negative index is valid; a negative one reads "" and
    // ignores writes.
    const std::string& Cells(int col, int row) const;
    void SetCells(int col, int row, std::string_view text);
    // One row or column as ColCount / RowCount texts.
    std::vector<std::string> Rows(int row) const;
    void SetRows(int row, const std::vector<std::string>& texts);
    std::vector<std::string> Cols(int col) const;
    void SetCols(int col, const std::vector<std::string>& texts);
    // Every cell of a row (also those beyond ColCount) emptied.
    void ClearRow(int row);
    // Every cell of the grid emptied; counts stay.
    void ClearAll();
    // The highest row and column that hold text, -1 when none.
    int LastFilledRow() const;
    int LastFilledCol() const;
    // The highest column of one row that holds text, -1 when none.
    int LastFilledCol(int row) const;

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    void SetColCount(int n);
    void SetRowCount(int n);
    int FixedRows() const { return fixedRows_; }
    int FixedCols() const { return fixedCols_; }
    void SetFixedRows(int n);
    void SetFixedCols(int n);

    // Rows and columns that move keep their cells with them.
    void InsertRow(int at); // empty row before `at`; RowCount + 1
    void DeleteRow(int at); // RowCount - 1
    void MoveRow(int from, int to);
    void SwapRows(int a, int b);
    void InsertCol(int at);
    void DeleteCol(int at);
    void MoveCol(int from, int to);

    // Current cell and selection.
    int Col() const { return col_; }
    int Row() const { return row_; }
    void SetCol(int c) { SetCurrent(c, row_); }
    void SetRow(int r) { SetCurrent(col_, r); }
    // Moves the current cell, asking OnSelectCell first; false when refused.
    bool SetCurrent(int col, int row);
    TGridRect Selection() const { return selection_; }
    void SetSelection(TGridRect r);

    // Scrolling and what the view can show.
    int TopRow() const { return topRow_; }
    int LeftCol() const { return leftCol_; }
    void SetTopRow(int r);
    void SetLeftCol(int c);
    int VisibleRowCount() const { return visibleRows_; }
    int VisibleColCount() const { return visibleCols_; }
    // Set by the view when its size changes (tests set it themselves).
    void SetVisibleCounts(int cols, int rows);

    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int w);
    int ColWidths(int col) const;
    void SetColWidths(int col, int w);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int h);

    std::string FontName() const { return fontName_; }
    int FontSize() const { return fontSize_; }
    void SetFont(std::string_view name, int size);

    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    bool Editing() const { return editing_; } // cells may be typed into
    void SetEditing(bool v) { editing_ = v; }

    bool Modified = false;

    // Events, as the owner window assigns them.
    std::function<void(TStringGridModel&, int& key, TShiftState)> OnKeyDown;
    std::function<void(TStringGridModel&, char& key)> OnKeyPress;
    std::function<void(TStringGridModel&, int col, int row, bool& canSelect)> OnSelectCell;
    std::function<void(TStringGridModel&)> OnEnter;
    std::function<void(TStringGridModel&)> OnExit;
    std::function<void(TStringGridModel&)> OnDblClick;
    std::function<void(TStringGridModel&, int col, int row, const std::string& text)> OnSetEditText;

    // Input entry points: the view (or a test) calls these. A handler sets the
    // key to 0 to say it was taken. Derived grids override them and call the
    // base to fire the events.
    virtual void KeyDown(int& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void DoEnter();
    virtual void DoExit();
    virtual void DblClick();
    // The text typed into a cell by the user; stored, then OnSetEditText.
    virtual void SetEditText(int col, int row, std::string_view text);

    // Many changes as one: listeners hear a single Structure change at the
    // outermost EndUpdate.
    void BeginUpdate();
    void EndUpdate();

    void AddListener(IGridListener* l);
    void RemoveListener(IGridListener* l);

protected:
    void Notify(TGridChange what, int col = -1, int row = -1);

private:
    std::string& CellRef(int col, int row);
    void ClampCurrent();

    std::string name_;
    std::vector<std::vector<std::string>> rows_;
    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    int col_ = 1;
    int row_ = 1;
    TGridRect selection_{1, 1, 1, 1};
    int topRow_ = 1;
    int leftCol_ = 1;
    int visibleRows_ = 10;
    int visibleCols_ = 5;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    std::vector<int> colWidths_;
    std::string fontName_ = "MS Sans Serif";
    int fontSize_ = 8;
    bool visible_ = true;
    bool enabled_ = true;
    bool editing_ = true;
    std::vector<IGridListener*> listeners_;
    int updateDepth_ = 0;
    bool pendingChange_ = false;
};

} // namespace arv
