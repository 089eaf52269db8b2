#include "StringGrid.h"

#include <algorithm>

namespace arv {

namespace {
const std::string kEmpty;
// Guards against a runaway index allocating the machine away; far beyond
// every table the program keeps.
constexpr int kMaxIndex = 1 << 22;
} // namespace

TStringGridModel::TStringGridModel(std::string name) : name_(std::move(name)) {}

TStringGridModel::~TStringGridModel() = default;

const std::string& TStringGridModel::Cells(int col, int row) const {
    if (col < 0 || row < 0 || row >= static_cast<int>(rows_.size())) return kEmpty;
    const auto& r = rows_[row];
    if (col >= static_cast<int>(r.size())) return kEmpty;
    return r[col];
}

std::string& TStringGridModel::CellRef(int col, int row) {
    if (row >= static_cast<int>(rows_.size())) rows_.resize(row + 1);
    auto& r = rows_[row];
    if (col >= static_cast<int>(r.size())) r.resize(col + 1);
    return r[col];
}

void TStringGridModel::SetCells(int col, int row, std::string_view text) {
    if (col < 0 || row < 0 || col >= kMaxIndex || row >= kMaxIndex) return;
    if (text.empty() && Cells(col, row).empty()) return;
    std::string& c = CellRef(col, row);
    if (c == text) return;
    c.assign(text);
    Notify(TGridChange::Cell, col, row);
}

std::vector<std::string> TStringGridModel::Rows(int row) const {
    std::vector<std::string> r(colCount_);
    for (int c = 0; c < colCount_; ++c) r[c] = Cells(c, row);
    return r;
}

void TStringGridModel::SetRows(int row, const std::vector<std::string>& texts) {
    for (int c = 0; c < static_cast<int>(texts.size()); ++c) SetCells(c, row, texts[c]);
}

std::vector<std::string> TStringGridModel::Cols(int col) const {
    std::vector<std::string> r(rowCount_);
    for (int i = 0; i < rowCount_; ++i) r[i] = Cells(col, i);
    return r;
}

void TStringGridModel::SetCols(int col, const std::vector<std::string>& texts) {
    for (int i = 0; i < static_cast<int>(texts.size()); ++i) SetCells(col, i, texts[i]);
}

void TStringGridModel::ClearRow(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    rows_[row].clear();
    Notify(TGridChange::Structure);
}

void TStringGridModel::ClearAll() {
    rows_.clear();
    Notify(TGridChange::Structure);
}

int TStringGridModel::LastFilledRow() const {
    for (int r = static_cast<int>(rows_.size()) - 1; r >= 0; --r)
        for (const auto& c : rows_[r])
            if (!c.empty()) return r;
    return -1;
}

int TStringGridModel::LastFilledCol() const {
    int best = -1;
    for (const auto& r : rows_)
        for (int c = static_cast<int>(r.size()) - 1; c > best; --c)
            if (!r[c].empty()) {
                best = c;
                break;
            }
    return best;
}

int TStringGridModel::LastFilledCol(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return -1;
    const auto& r = rows_[row];
    for (int c = static_cast<int>(r.size()) - 1; c >= 0; --c)
        if (!r[c].empty()) return c;
    return -1;
}

void TStringGridModel::ClampCurrent() {
    auto clamp = [](int v, int lo, int hi) {
        if (hi < lo) return std::max(0, hi);
        return std::clamp(v, lo, hi);
    };
    col_ = clamp(col_, fixedCols_, colCount_ - 1);
    row_ = clamp(row_, fixedRows_, rowCount_ - 1);
    topRow_ = clamp(topRow_, fixedRows_, std::max(fixedRows_, rowCount_ - 1));
    leftCol_ = clamp(leftCol_, fixedCols_, std::max(fixedCols_, colCount_ - 1));
    selection_ = {col_, row_, col_, row_};
}

void TStringGridModel::SetColCount(int n) {
    n = std::clamp(n, 0, kMaxIndex);
    if (n == colCount_) return;
    colCount_ = n;
    ClampCurrent();
    Notify(TGridChange::Structure);
}

void TStringGridModel::SetRowCount(int n) {
    n = std::clamp(n, 0, kMaxIndex);
    if (n == rowCount_) return;
    rowCount_ = n;
    ClampCurrent();
    Notify(TGridChange::Structure);
}

void TStringGridModel::SetFixedRows(int n) {
    n = std::clamp(n, 0, kMaxIndex);
    if (n == fixedRows_) return;
    fixedRows_ = n;
    ClampCurrent();
    Notify(TGridChange::Structure);
}

void TStringGridModel::SetFixedCols(int n) {
    n = std::clamp(n, 0, kMaxIndex);
    if (n == fixedCols_) return;
    fixedCols_ = n;
    ClampCurrent();
    Notify(TGridChange::Structure);
}

void TStringGridModel::InsertRow(int at) {
    if (at < 0 || at >= kMaxIndex) return;
    if (at < static_cast<int>(rows_.size()))
        rows_.insert(rows_.begin() + at, std::vector<std::string>{});
    ++rowCount_;
    Notify(TGridChange::Structure);
}

void TStringGridModel::DeleteRow(int at) {
    if (at < 0 || at >= rowCount_) return;
    if (at < static_cast<int>(rows_.size())) rows_.erase(rows_.begin() + at);
    --rowCount_;
    ClampCurrent();
    Notify(TGridChange::Structure);
}

void TStringGridModel::MoveRow(int from, int to) {
    if (from < 0 || to < 0 || from >= kMaxIndex || to >= kMaxIndex || from == to) return;
    int need = std::max(from, to) + 1;
    if (static_cast<int>(rows_.size()) < need) rows_.resize(need);
    auto moved = std::move(rows_[from]);
    rows_.erase(rows_.begin() + from);
    rows_.insert(rows_.begin() + to, std::move(moved));
    Notify(TGridChange::Structure);
}

void TStringGridModel::SwapRows(int a, int b) {
    if (a < 0 || b < 0 || a >= kMaxIndex || b >= kMaxIndex || a == b) return;
    int need = std::max(a, b) + 1;
    if (static_cast<int>(rows_.size()) < need) rows_.resize(need);
    std::swap(rows_[a], rows_[b]);
    Notify(TGridChange::Structure);
}

void TStringGridModel::InsertCol(int at) {
    if (at < 0 || at >= kMaxIndex) return;
    for (auto& r : rows_)
        if (at < static_cast<int>(r.size())) r.insert(r.begin() + at, std::string{});
    if (at < static_cast<int>(colWidths_.size()))
        colWidths_.insert(colWidths_.begin() + at, defaultColWidth_);
    ++colCount_;
    Notify(TGridChange::Structure);
}

void TStringGridModel::DeleteCol(int at) {
    if (at < 0 || at >= colCount_) return;
    for (auto& r : rows_)
        if (at < static_cast<int>(r.size())) r.erase(r.begin() + at);
    if (at < static_cast<int>(colWidths_.size())) colWidths_.erase(colWidths_.begin() + at);
    --colCount_;
    ClampCurrent();
    Notify(TGridChange::Structure);
}

void TStringGridModel::MoveCol(int from, int to) {
    if (from < 0 || to < 0 || from >= kMaxIndex || to >= kMaxIndex || from == to) return;
    int need = std::max(from, to) + 1;
    for (auto& r : rows_) {
        if (static_cast<int>(r.size()) < need) r.resize(need);
        auto moved = std::move(r[from]);
        r.erase(r.begin() + from);
        r.insert(r.begin() + to, std::move(moved));
    }
    if (static_cast<int>(colWidths_.size()) < need) colWidths_.resize(need, defaultColWidth_);
    int w = colWidths_[from];
    colWidths_.erase(colWidths_.begin() + from);
    colWidths_.insert(colWidths_.begin() + to, w);
    Notify(TGridChange::Structure);
}

bool TStringGridModel::SetCurrent(int col, int row) {
    if (col < 0 || row < 0) return false;
    if (col >= colCount_ || row >= rowCount_) return false;
    bool can = true;
    if (OnSelectCell && (col != col_ || row != row_)) OnSelectCell(*this, col, row, can);
    if (!can) return false;
    col_ = col;
    row_ = row;
    selection_ = {col, row, col, row};
    // Make the new cell visible, as the grid did when its cell was set.
    int top = topRow_;
    if (row >= fixedRows_) {
        if (row < top)
            top = row;
        else if (visibleRows_ > 0 && row >= top + visibleRows_)
            top = row - visibleRows_ + 1;
    }
    int left = leftCol_;
    if (col >= fixedCols_) {
        if (col < left)
            left = col;
        else if (visibleCols_ > 0 && col >= left + visibleCols_)
            left = col - visibleCols_ + 1;
    }
    bool scrolled = top != topRow_ || left != leftCol_;
    topRow_ = top;
    leftCol_ = left;
    Notify(TGridChange::Current, col, row);
    if (scrolled) Notify(TGridChange::Scroll);
    return true;
}

void TStringGridModel::SetSelection(TGridRect r) {
    selection_ = r;
    Notify(TGridChange::Current);
}

void TStringGridModel::SetTopRow(int r) {
    r = std::max(r, fixedRows_);
    r = std::min(r, std::max(fixedRows_, rowCount_ - 1));
    if (r == topRow_) return;
    topRow_ = r;
    Notify(TGridChange::Scroll);
}

void TStringGridModel::SetLeftCol(int c) {
    c = std::max(c, fixedCols_);
    c = std::min(c, std::max(fixedCols_, colCount_ - 1));
    if (c == leftCol_) return;
    leftCol_ = c;
    Notify(TGridChange::Scroll);
}

void TStringGridModel::SetVisibleCounts(int cols, int rows) {
    visibleCols_ = std::max(0, cols);
    visibleRows_ = std::max(0, rows);
}

void TStringGridModel::SetDefaultColWidth(int w) {
    defaultColWidth_ = w;
    Notify(TGridChange::Layout);
}

int TStringGridModel::ColWidths(int col) const {
    if (col >= 0 && col < static_cast<int>(colWidths_.size())) return colWidths_[col];
    return defaultColWidth_;
}

void TStringGridModel::SetColWidths(int col, int w) {
    if (col < 0 || col >= kMaxIndex) return;
    if (col >= static_cast<int>(colWidths_.size())) colWidths_.resize(col + 1, defaultColWidth_);
    if (colWidths_[col] == w) return;
    colWidths_[col] = w;
    Notify(TGridChange::Layout, col, -1);
}

void TStringGridModel::SetDefaultRowHeight(int h) {
    defaultRowHeight_ = h;
    Notify(TGridChange::Layout);
}

void TStringGridModel::SetFont(std::string_view name, int size) {
    fontName_ = name;
    fontSize_ = size;
    Notify(TGridChange::Layout);
}

void TStringGridModel::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    Notify(TGridChange::Layout);
}

void TStringGridModel::KeyDown(int& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(*this, key, shift);
}

void TStringGridModel::KeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(*this, key);
}

void TStringGridModel::DoEnter() {
    if (OnEnter) OnEnter(*this);
}

void TStringGridModel::DoExit() {
    if (OnExit) OnExit(*this);
}

void TStringGridModel::DblClick() {
    if (OnDblClick) OnDblClick(*this);
}

void TStringGridModel::SetEditText(int col, int row, std::string_view text) {
    SetCells(col, row, text);
    if (OnSetEditText) OnSetEditText(*this, col, row, std::string(text));
}

void TStringGridModel::AddListener(IGridListener* l) {
    if (std::find(listeners_.begin(), listeners_.end(), l) == listeners_.end())
        listeners_.push_back(l);
}

void TStringGridModel::RemoveListener(IGridListener* l) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), l), listeners_.end());
}

void TStringGridModel::BeginUpdate() {
    ++updateDepth_;
}

void TStringGridModel::EndUpdate() {
    if (updateDepth_ > 0 && --updateDepth_ == 0 && pendingChange_) {
        pendingChange_ = false;
        Notify(TGridChange::Structure);
    }
}

void TStringGridModel::Notify(TGridChange what, int col, int row) {
    if (updateDepth_ > 0) {
        pendingChange_ = true;
        return;
    }
    auto copy = listeners_;
    for (auto* l : copy) l->GridChanged(*this, what, col, row);
}

} // namespace arv
