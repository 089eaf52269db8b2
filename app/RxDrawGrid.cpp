#include "app/RxDrawGrid.h"

#include "platform/Cp1251.h"

#include <algorithm>

namespace arv {

namespace {

constexpr TGridOptions kDefaultOptions =
    goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goDrawFocusSelected | goColSizing;
constexpr int kDefaultRowHeight = 18;
// The strip about a border that sizing grabs.
constexpr int kSizingRange = 7;

} // namespace

// The grid hears its own model's changes to follow scrolling and sizing,
// whoever made them.
class TRxDrawGridSelfListener : public IGridListener {
public:
    explicit TRxDrawGridSelfListener(TRxDrawGrid& g) : grid(g) {}
    void GridChanged(TStringGridModel&, TGridChange what, int col, int) override;
    TRxDrawGrid& grid;
};

TRxDrawGrid::TRxDrawGrid(std::string name)
    : TStringGridModel(std::move(name)), options_(kDefaultOptions) {
    SetDefaultRowHeight(kDefaultRowHeight);
    Font.name = "MS Sans Serif";
    Font.height = -11;
    editor_ = std::make_unique<TRxInplaceEdit>(*this);
    editor_->OnChange = [this](TRxInplaceEdit&) { EditChange(); };
    seenCurrent_ = {Col(), Row()};
    self_ = std::make_unique<TRxDrawGridSelfListener>(*this);
    AddListener(self_.get());
}

TRxDrawGrid::~TRxDrawGrid() {
    RemoveListener(self_.get());
}

void TRxDrawGridSelfListener::GridChanged(TStringGridModel&, TGridChange what, int col, int) {
    switch (what) {
    case TGridChange::Scroll:
        grid.TopLeftChanged();
        break;
    case TGridChange::Layout:
        grid.UpdateVisibleCounts();
        if (col >= 0) grid.SizeChanged(true);
        break;
    case TGridChange::Structure:
        grid.UpdateVisibleCounts();
        grid.seenCurrent_ = {grid.Col(), grid.Row()};
        if (grid.editorMode_) grid.InvalidateEditor();
        break;
    case TGridChange::Current:
        grid.CurrentChanged();
        break;
    default:
        break;
    }
}

// --- Properties ----------------------------------------------------------------

void TRxDrawGrid::SetFixedButtons(bool v) {
    if (v == fixedButtons_) return;
    fixedButtons_ = v;
    Notify(TGridChange::Layout);
}

void TRxDrawGrid::SetOptions(TGridOptions v) {
    if (v & goRowSelect) v &= ~goAlwaysShowEditor;
    options_ = v;
    if (!editorMode_) {
        if (v & goAlwaysShowEditor)
            ShowEditor();
        else
            HideEditor();
    } else if (!(v & goEditing) || (v & goRowSelect)) {
        HideEditor();
    }
    Notify(TGridChange::Layout);
}

void TRxDrawGrid::SetGridLineWidth(int w) {
    w = std::max(0, w);
    if (w == gridLineWidth_) return;
    gridLineWidth_ = w;
    Notify(TGridChange::Layout);
}

int TRxDrawGrid::RowHeights(int row) const {
    if (row >= 0 && row < static_cast<int>(rowHeights_.size()) && rowHeights_[row] >= 0)
        return rowHeights_[row];
    return DefaultRowHeight();
}

void TRxDrawGrid::SetRowHeights(int row, int h) {
    if (row < 0 || row >= RowCount() || h < 0 || RowHeights(row) == h) return;
    if (row >= static_cast<int>(rowHeights_.size())) rowHeights_.resize(row + 1, -1);
    rowHeights_[row] = h;
    Notify(TGridChange::Layout, -1, row);
    SizeChanged(false);
}

// --- Calls of the editor ---------------------------------------------------------

TAlignment TRxDrawGrid::GetEditAlign(int aCol, int aRow) {
    TAlignment a = TAlignment::taLeftJustify;
    if (OnGetEditAlign) OnGetEditAlign(*this, aCol, aRow, a);
    return a;
}

TInplaceEditStyle TRxDrawGrid::GetEditStyle(int aCol, int aRow) {
    TInplaceEditStyle s = TInplaceEditStyle::ieSimple;
    if (OnGetEditStyle) OnGetEditStyle(*this, aCol, aRow, s);
    return s;
}

void TRxDrawGrid::GetPicklist(int aCol, int aRow, std::vector<std::string>& pickList) {
    if (OnGetPicklist) OnGetPicklist(*this, aCol, aRow, pickList);
}

int TRxDrawGrid::GetEditLimit() {
    int n = 0;
    if (OnGetEditLimit) OnGetEditLimit(*this, n);
    return std::max(0, n);
}

void TRxDrawGrid::EditButtonClick() {
    if (OnEditButtonClick) OnEditButtonClick(*this);
}

void TRxDrawGrid::EditChange() {
    if (OnEditChange) OnEditChange(*this);
}

std::string TRxDrawGrid::GetEditMask(int aCol, int aRow) {
    std::string m;
    if (OnGetEditMask) OnGetEditMask(*this, aCol, aRow, m);
    return m;
}

std::string TRxDrawGrid::GetEditText(int aCol, int aRow) {
    std::string t;
    if (OnGetEditText) OnGetEditText(*this, aCol, aRow, t);
    return t;
}

void TRxDrawGrid::SetEditText(int col, int row, std::string_view text) {
    // A draw grid keeps no cells: the text only goes to the owner.
    if (canceling_) return;
    if (OnSetEditText) OnSetEditText(*this, col, row, std::string(text));
}

bool TRxDrawGrid::CanEditModify() const {
    return (options_ & goEditing) != 0;
}

bool TRxDrawGrid::CanEditAcceptKey(char key) {
    if (!OnAcceptEditKey) return true;
    return OnAcceptEditKey(*this, key);
}

// --- Editor mode -----------------------------------------------------------------

bool TRxDrawGrid::CanEditShow() {
    // Nothing is taken up before the grid has a window to show the editor
    // in: by then the owner has bound its handlers.
    bool can = (options_ & (goRowSelect | goEditing)) == goEditing && editorMode_ &&
               clientWidth_ > 0 && clientHeight_ > 0 &&
               ((options_ & goAlwaysShowEditor) || focused_);
    can = can && Col() >= FixedCols() && Col() < ColCount() && Row() >= FixedRows() &&
          Row() < RowCount();
    if (can && OnShowEditor) {
        OnShowEditor(*this, Col(), Row(), can);
        if (!can) {
            editorMode_ = false;
            HideEdit();
        }
    }
    return can;
}

void TRxDrawGrid::UpdateText() {
    if (inplaceCol_ >= 0 && inplaceRow_ >= 0)
        SetEditText(inplaceCol_, inplaceRow_, editor_->Text());
}

void TRxDrawGrid::HideEdit() {
    if (inplaceCol_ < 0 && !editor_->Visible()) return;
    UpdateText();
    inplaceCol_ = inplaceRow_ = -1;
    editor_->Hide();
}

void TRxDrawGrid::UpdateEdit() {
    if (!CanEditShow()) return;
    if (Col() != inplaceCol_ || Row() != inplaceRow_) {
        HideEdit();
        inplaceCol_ = Col();
        inplaceRow_ = Row();
        editor_->UpdateContents();
        editor_->SelectAll();
    }
    editor_->Move(CellRect(Col(), Row()));
}

void TRxDrawGrid::InvalidateEditor() {
    inplaceCol_ = inplaceRow_ = -1;
    UpdateEdit();
}

void TRxDrawGrid::CloseEditor() {
    inplaceCol_ = inplaceRow_ = -1;
    HideEditor();
}

void TRxDrawGrid::ShowEditor() {
    editorMode_ = true;
    UpdateEdit();
}

void TRxDrawGrid::HideEditor() {
    editorMode_ = false;
    HideEdit();
}

void TRxDrawGrid::SetEditorMode(bool v) {
    if (!v) {
        HideEditor();
        return;
    }
    ShowEditor();
    if (editor_->Visible()) editor_->Deselect();
}

void TRxDrawGrid::MoveCurrent(int col, int row) {
    SetCurrent(col, row);
}

// However the current cell moved (keys, mouse, the owner setting it), the
// editor follows: a plain grid leaves editor mode, an always-shown editor
// passes its text on and takes up the new cell.
void TRxDrawGrid::CurrentChanged() {
    TGridCoord now{Col(), Row()};
    if (now == seenCurrent_) return;
    seenCurrent_ = now;
    if (!(options_ & goAlwaysShowEditor)) HideEditor();
    UpdateEdit();
}

// --- Keys ------------------------------------------------------------------------

void TRxDrawGrid::KeyDown(int& key, TShiftState shift) {
    TShiftState keys = shift & (ssShift | ssAlt | ssCtrl);
    if (key == VK_ESCAPE && !(keys & ssCtrl) && editorMode_ && editor_->Visible() &&
        !(options_ & goAlwaysShowEditor)) {
        // The typed text must not reach the owner while the edit is undone.
        canceling_ = true;
        HideEditor();
        if (OnCancelEdit) OnCancelEdit(*this);
        canceling_ = false;
        key = 0;
        return;
    }
    TStringGridModel::KeyDown(key, shift);
    if (key == 0) return;

    bool rowSelect = (options_ & goRowSelect) != 0;
    int page = std::max(1, VisibleRowCount());
    int pageW = std::max(1, VisibleColCount());
    TGridCoord cur{Col(), Row()};
    TGridCoord top{LeftCol(), TopRow()};
    if (keys & ssCtrl) {
        switch (key) {
        case VK_UP:
            --top.Y;
            break;
        case VK_DOWN:
            ++top.Y;
            break;
        case VK_LEFT:
            if (!rowSelect) {
                cur.X -= pageW;
                top.X -= pageW;
            }
            break;
        case VK_RIGHT:
            if (!rowSelect) {
                cur.X += pageW;
                top.X += pageW;
            }
            break;
        case VK_PRIOR:
            cur.Y = TopRow();
            break;
        case VK_NEXT:
            cur.Y = TopRow() + page - 1;
            break;
        case VK_HOME:
            cur.X = FixedCols();
            cur.Y = FixedRows();
            break;
        case VK_END:
            cur.X = ColCount() - 1;
            cur.Y = RowCount() - 1;
            break;
        default:
            break;
        }
    } else {
        switch (key) {
        case VK_UP:
            --cur.Y;
            break;
        case VK_DOWN:
            ++cur.Y;
            break;
        case VK_LEFT:
            if (rowSelect)
                --top.X;
            else
                --cur.X;
            break;
        case VK_RIGHT:
            if (rowSelect)
                ++top.X;
            else
                ++cur.X;
            break;
        case VK_NEXT:
            cur.Y += page;
            top.Y += page;
            break;
        case VK_PRIOR:
            cur.Y -= page;
            top.Y -= page;
            break;
        case VK_HOME:
            if (rowSelect)
                cur.Y = FixedRows();
            else
                cur.X = FixedCols();
            break;
        case VK_END:
            if (rowSelect)
                cur.Y = RowCount() - 1;
            else
                cur.X = ColCount() - 1;
            break;
        case VK_TAB:
            if ((options_ & goTabs) && !(keys & ssAlt)) {
                if (keys & ssShift) {
                    if (--cur.X < FixedCols()) {
                        cur.X = ColCount() - 1;
                        if (--cur.Y < FixedRows()) cur.Y = RowCount() - 1;
                    }
                } else if (++cur.X >= ColCount()) {
                    cur.X = FixedCols();
                    if (++cur.Y >= RowCount()) cur.Y = FixedRows();
                }
            }
            break;
        case VK_F2:
            SetEditorMode(true);
            break;
        default:
            break;
        }
    }
    if (ColCount() <= FixedCols() || RowCount() <= FixedRows()) return;
    cur.X = std::clamp(cur.X, FixedCols(), ColCount() - 1);
    cur.Y = std::clamp(cur.Y, FixedRows(), RowCount() - 1);
    if (top.X != LeftCol()) SetLeftCol(top.X);
    if (top.Y != TopRow()) SetTopRow(top.Y);
    if (cur.X != Col() || cur.Y != Row()) MoveCurrent(cur.X, cur.Y);
}

void TRxDrawGrid::KeyPress(char& key) {
    TStringGridModel::KeyPress(key);
    if (!(options_ & goAlwaysShowEditor) && key == '\r') {
        if (editorMode_)
            HideEditor();
        else
            ShowEditor();
        key = 0;
    }
}

void TRxDrawGrid::GridCharTyped(char32_t unicode) {
    bool ok = true;
    unsigned char c =
        unicode < 0x80 ? static_cast<unsigned char>(unicode) : UnicodeToCp1251(unicode, &ok);
    if (!ok) {
        if (MessageBeep) MessageBeep();
        return;
    }
    if ((options_ & goEditing) && (c == 8 || c >= 32)) {
        // Typing over a cell opens its editor and the character goes there.
        ShowEditor();
        if (editor_->Visible()) {
            char key = static_cast<char>(c);
            editor_->KeyPress(key);
            if (key != 0) editor_->InsertChar(key);
            return;
        }
    }
    char key = static_cast<char>(c);
    KeyPress(key);
}

// --- Mouse -----------------------------------------------------------------------

void TRxDrawGrid::MouseDown(TGridMouseButton button, TShiftState shift, int x, int y) {
    HideEditor();
    if (!focused_) DoEnter();
    TGridCoord cell = MouseCoord(x, y);
    bool fixedCell = cell.X >= 0 && cell.Y >= 0 && (cell.X < FixedCols() || cell.Y < FixedRows());
    bool dbl = (shift & ssDouble) != 0;
    if (button == TGridMouseButton::mbLeft && dbl && (!fixedButtons_ || !fixedCell)) {
        DblClick();
        return;
    }
    // A double click on a caption counts as one more press.
    bool sizing = ColSizingAt(x, y) >= 0 || RowSizingAt(x, y) >= 0;
    if (!sizing && fixedCell && fixedButtons_) {
        if (button == TGridMouseButton::mbRight && (options_ & (goRowMoving | goColMoving))) {
            swapButtons_ = true;
            captured_ = true;
            return;
        }
        if (button == TGridMouseButton::mbLeft) {
            bool enabled = true;
            if (OnCheckButton) OnCheckButton(*this, cell.X, cell.Y, enabled);
            if (!enabled) {
                if (MessageBeep) MessageBeep();
                return;
            }
            captured_ = true;
            tracking_ = true;
            pressedCell_ = cell;
            TrackButton(x, y);
            return;
        }
    }

    // The plain grid's press: sizing, or choosing a cell.
    if (button != TGridMouseButton::mbLeft || dbl) return;
    if (int c = ColSizingAt(x, y); c >= 0) {
        sizingCol_ = c;
        sizingStart_ = x;
        sizingOrig_ = ColWidths(c);
        captured_ = true;
        return;
    }
    if (int r = RowSizingAt(x, y); r >= 0) {
        sizingRow_ = r;
        sizingStart_ = y;
        sizingOrig_ = RowHeights(r);
        captured_ = true;
        return;
    }
    if (cell.X >= FixedCols() && cell.Y >= FixedRows()) {
        captured_ = true;
        if (cell.X != Col() || cell.Y != Row()) MoveCurrent(cell.X, cell.Y);
        if (options_ & goEditing) ShowEditor();
    }
}

void TRxDrawGrid::MouseMove(TShiftState, int x, int y) {
    if (tracking_) TrackButton(x, y);
}

void TRxDrawGrid::MouseUp(TGridMouseButton button, TShiftState, int x, int y) {
    if (tracking_ && pressedCell_.X >= 0 && pressedCell_.Y >= 0) {
        TrackButton(x, y);
        bool click = pressed_;
        TGridCoord cell = pressedCell_;
        StopTracking();
        if (click && cell.X < ColCount() && cell.Y < RowCount() && OnFixedCellClick)
            OnFixedCellClick(*this, cell.X, cell.Y);
    } else if (swapButtons_ && button != TGridMouseButton::mbMiddle) {
        swapButtons_ = false;
        captured_ = false;
    }
    if (sizingCol_ >= 0) {
        int w = sizingOrig_ + (x - sizingStart_);
        int c = sizingCol_;
        sizingCol_ = -1;
        if (w > 1) SetColWidths(c, w);
    } else if (sizingRow_ >= 0) {
        int h = sizingOrig_ + (y - sizingStart_);
        int r = sizingRow_;
        sizingRow_ = -1;
        if (h > 1) SetRowHeights(r, h);
    }
    captured_ = false;
    // An always-shown editor comes back once the press is over.
    if ((options_ & goAlwaysShowEditor) && (options_ & goEditing) && !editorMode_) ShowEditor();
}

void TRxDrawGrid::TrackButton(int x, int y) {
    bool inside = x >= 0 && y >= 0 && x < clientWidth_ && y < clientHeight_;
    TGridCoord cell = MouseCoord(x, y);
    bool p = tracking_ && inside && cell == pressedCell_;
    if (p == pressed_) return;
    pressed_ = p;
    if (cell.X >= 0 && cell.Y >= 0) RepaintCell(cell.X, cell.Y);
    RepaintCell(pressedCell_.X, pressedCell_.Y);
}

void TRxDrawGrid::StopTracking() {
    if (!tracking_) return;
    TrackButton(-1, -1);
    pressed_ = false;
    tracking_ = false;
    captured_ = false;
}

void TRxDrawGrid::CancelMode() {
    StopTracking();
    sizingCol_ = sizingRow_ = -1;
    swapButtons_ = false;
    captured_ = false;
}

void TRxDrawGrid::DoEnter() {
    if (focused_) return;
    focused_ = true;
    TStringGridModel::DoEnter();
    if (OnChangeFocus) OnChangeFocus(*this);
    UpdateEdit();
    RepaintCell(Col(), Row());
}

void TRxDrawGrid::DoExit() {
    if (!focused_) return;
    focused_ = false;
    TStringGridModel::DoExit();
    if (OnChangeFocus) OnChangeFocus(*this);
    RepaintCell(Col(), Row());
}

void TRxDrawGrid::TopLeftChanged() {
    if ((options_ & goRowSelect) && DefaultDrawing) RepaintRow(Row());
    UpdateVisibleCounts();
    if (editor_->Visible() || (inplaceCol_ >= 0 && editorMode_)) {
        if (inplaceCol_ >= 0) editor_->Move(CellRect(inplaceCol_, inplaceRow_));
    }
    StopTracking();
}

void TRxDrawGrid::SizeChanged(bool column) {
    StopTracking();
    if (inplaceCol_ >= 0 && editorMode_) editor_->Move(CellRect(inplaceCol_, inplaceRow_));
    if (column) {
        if (OnColumnSized) OnColumnSized(*this);
    } else if (OnRowSized) {
        OnRowSized(*this);
    }
}

// --- Geometry --------------------------------------------------------------------

void TRxDrawGrid::SetClientSize(int width, int height) {
    clientWidth_ = std::max(0, width);
    clientHeight_ = std::max(0, height);
    UpdateVisibleCounts();
    if (editorMode_) UpdateEdit();
    Notify(TGridChange::Layout);
}

void TRxDrawGrid::UpdateVisibleCounts() {
    int hLine = HorzLineWidth(), vLine = VertLineWidth();
    int x = 0;
    for (int c = 0; c < FixedCols() && c < ColCount(); ++c) x += ColWidths(c) + vLine;
    int cols = 0;
    for (int c = LeftCol(); c < ColCount(); ++c) {
        x += ColWidths(c);
        if (x > clientWidth_) break;
        ++cols;
        x += vLine;
    }
    int y = 0;
    for (int r = 0; r < FixedRows() && r < RowCount(); ++r) y += RowHeights(r) + hLine;
    int rows = 0;
    for (int r = TopRow(); r < RowCount(); ++r) {
        y += RowHeights(r);
        if (y > clientHeight_) break;
        ++rows;
        y += hLine;
    }
    SetVisibleCounts(cols, rows);
}

int TRxDrawGrid::VertLineWidth() const {
    return (options_ & (goFixedVertLine | goVertLine)) ? gridLineWidth_ : 0;
}

int TRxDrawGrid::HorzLineWidth() const {
    return (options_ & (goFixedHorzLine | goHorzLine)) ? gridLineWidth_ : 0;
}

int TRxDrawGrid::ColLeft(int col) const {
    int lw = VertLineWidth();
    int x = 0;
    if (col < FixedCols()) {
        for (int c = 0; c < col; ++c) x += ColWidths(c) + lw;
        return x;
    }
    if (col < LeftCol()) return -1;
    for (int c = 0; c < FixedCols(); ++c) x += ColWidths(c) + lw;
    for (int c = LeftCol(); c < col; ++c) {
        x += ColWidths(c) + lw;
        if (x > clientWidth_) return -1;
    }
    return x;
}

int TRxDrawGrid::RowTop(int row) const {
    int lw = HorzLineWidth();
    int y = 0;
    if (row < FixedRows()) {
        for (int r = 0; r < row; ++r) y += RowHeights(r) + lw;
        return y;
    }
    if (row < TopRow()) return -1;
    for (int r = 0; r < FixedRows(); ++r) y += RowHeights(r) + lw;
    for (int r = TopRow(); r < row; ++r) {
        y += RowHeights(r) + lw;
        if (y > clientHeight_) return -1;
    }
    return y;
}

TCanvasRect TRxDrawGrid::CellRect(int aCol, int aRow) const {
    if (aCol < 0 || aRow < 0 || aCol >= ColCount() || aRow >= RowCount()) return {};
    int x = ColLeft(aCol), y = RowTop(aRow);
    if (x < 0 || y < 0 || x >= clientWidth_ || y >= clientHeight_) return {};
    return {x, y, x + ColWidths(aCol), y + RowHeights(aRow)};
}

TGridCoord TRxDrawGrid::MouseCoord(int x, int y) const {
    if (x < 0 || y < 0) return {-1, -1};
    auto find = [](int pos, int fixed, int first, int count, int lw, auto extent) {
        int line = 0;
        for (int i = 0; i < fixed && i < count; ++i) {
            line += extent(i) + lw;
            if (pos < line) return i;
        }
        for (int i = std::max(first, fixed); i < count; ++i) {
            line += extent(i) + lw;
            if (pos < line) return i;
        }
        return -1;
    };
    int c = find(x, FixedCols(), LeftCol(), ColCount(), VertLineWidth(),
                 [this](int i) { return ColWidths(i); });
    int r = find(y, FixedRows(), TopRow(), RowCount(), HorzLineWidth(),
                 [this](int i) { return RowHeights(i); });
    if (c < 0 || r < 0) return {-1, -1};
    return {c, r};
}

int TRxDrawGrid::ColSizingAt(int x, int y) const {
    if (!(options_ & goColSizing)) return -1;
    int fixedBottom = 0;
    for (int r = 0; r < FixedRows() && r < RowCount(); ++r)
        fixedBottom += RowHeights(r) + HorzLineWidth();
    if (y < 0 || y >= fixedBottom) return -1;
    int lw = VertLineWidth();
    int range = std::max(lw, kSizingRange);
    int back = lw < kSizingRange ? (kSizingRange - lw) / 2 : 0;
    int line = 0;
    for (int c = 0; c < FixedCols() && c < ColCount(); ++c) line += ColWidths(c) + lw;
    for (int c = LeftCol(); c < ColCount(); ++c) {
        line += ColWidths(c);
        if (line > clientWidth_) break;
        if (x >= line - back && x <= line - back + range) return c;
        line += lw;
    }
    return -1;
}

int TRxDrawGrid::RowSizingAt(int x, int y) const {
    if (!(options_ & goRowSizing)) return -1;
    int fixedRight = 0;
    for (int c = 0; c < FixedCols() && c < ColCount(); ++c)
        fixedRight += ColWidths(c) + VertLineWidth();
    if (x < 0 || x >= fixedRight) return -1;
    int lw = HorzLineWidth();
    int range = std::max(lw, kSizingRange);
    int back = lw < kSizingRange ? (kSizingRange - lw) / 2 : 0;
    int line = 0;
    for (int r = 0; r < FixedRows() && r < RowCount(); ++r) line += RowHeights(r) + lw;
    for (int r = TopRow(); r < RowCount(); ++r) {
        line += RowHeights(r);
        if (line > clientHeight_) break;
        if (y >= line - back && y <= line - back + range) return r;
        line += lw;
    }
    return -1;
}

void TRxDrawGrid::SetTopRowScrolled(int row) {
    SetTopRow(row);
}

void TRxDrawGrid::RepaintCell(int aCol, int aRow) {
    if (aCol < 0 || aRow < 0) return;
    Notify(TGridChange::Cell, aCol, aRow);
}

void TRxDrawGrid::Invalidate() {
    Notify(TGridChange::Layout);
}

void TRxDrawGrid::RepaintRow(int aRow) {
    for (int c = 0; c < ColCount(); ++c) RepaintCell(c, aRow);
}

} // namespace arv
