#include "app/RxInplaceEdit.h"

#include "app/RxDrawGrid.h"
#include "platform/Cp1251.h"

#include <algorithm>

namespace arv {

namespace {

bool Inside(const TCanvasRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Shift state without the mouse-button bits.
TShiftState Keys(TShiftState s) {
    return s & (ssShift | ssAlt | ssCtrl);
}

constexpr unsigned kSearchPauseMs = 4000;
constexpr size_t kSearchMax = 32;
constexpr int kListRows = 8;

} // namespace

// --- TPopupListbox -----------------------------------------------------------

void TPopupListbox::KeyPress(char key, unsigned tickMs) {
    auto k = static_cast<unsigned char>(key);
    if (k == 8 || k == 27) {
        searchText_.clear();
        return;
    }
    if (k < 32) return;
    if (searched_ && tickMs - searchTick_ > kSearchPauseMs) searchText_.clear();
    searched_ = true;
    searchTick_ = tickMs;
    if (searchText_.size() < kSearchMax) searchText_ += key;
    for (size_t i = 0; i < Items.size(); ++i) {
        const std::string& item = Items[i];
        if (item.size() >= searchText_.size() &&
            AnsiSameText(std::string_view(item).substr(0, searchText_.size()), searchText_)) {
            ItemIndex = static_cast<int>(i);
            return;
        }
    }
}

void TPopupListbox::KeyDown(int key) {
    int n = static_cast<int>(Items.size());
    if (n == 0) return;
    int page = std::max(1, VisibleItems - 1);
    int i = ItemIndex;
    switch (key) {
    case VK_UP:
        i = i < 0 ? 0 : i - 1;
        break;
    case VK_DOWN:
        i = i + 1;
        break;
    case VK_PRIOR:
        i = i < 0 ? 0 : i - page;
        break;
    case VK_NEXT:
        i = i < 0 ? page : i + page;
        break;
    case VK_HOME:
        i = 0;
        break;
    case VK_END:
        i = n - 1;
        break;
    default:
        return;
    }
    ItemIndex = std::clamp(i, 0, n - 1);
}

// --- TRxInplaceEdit ----------------------------------------------------------

TRxInplaceEdit::TRxInplaceEdit(TRxDrawGrid& grid) : grid_(grid) {}

TRxInplaceEdit::~TRxInplaceEdit() = default;

void TRxInplaceEdit::Notify(TInplaceEditChange what) {
    if (ViewNotify) ViewNotify(what);
}

void TRxInplaceEdit::SetEditStyle(TInplaceEditStyle style) {
    if (style == style_) return;
    if (listVisible_) CloseUp(false);
    style_ = style;
    if (style == TInplaceEditStyle::iePickList) {
        if (!pickList_) pickList_ = std::make_unique<TPopupListbox>();
        activeList_ = pickList_.get();
    } else {
        activeList_ = nullptr;
    }
    Notify(TInplaceEditChange::Button);
}

void TRxInplaceEdit::SetAlignment(TAlignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    Notify(TInplaceEditChange::Contents);
}

void TRxInplaceEdit::SetText(std::string_view text) {
    text_.assign(text);
    selStart_ = std::min<int>(selStart_, static_cast<int>(text_.size()));
    selLength_ = 0;
    Notify(TInplaceEditChange::Contents);
    Change();
}

void TRxInplaceEdit::SetSelection(int start, int length) {
    int n = static_cast<int>(text_.size());
    start = std::clamp(start, 0, n);
    length = std::clamp(length, 0, n - start);
    if (start == selStart_ && length == selLength_) return;
    selStart_ = start;
    selLength_ = length;
    Notify(TInplaceEditChange::Selection);
}

void TRxInplaceEdit::SelectAll() {
    SetSelection(0, static_cast<int>(text_.size()));
}

void TRxInplaceEdit::Deselect() {
    SetSelection(static_cast<int>(text_.size()), 0);
}

void TRxInplaceEdit::Move(const TCanvasRect& r) {
    bool empty = r.right <= r.left || r.bottom <= r.top;
    if (empty) {
        Hide();
        return;
    }
    bool changed = !visible_ || !(r == bounds_);
    bounds_ = r;
    visible_ = true;
    if (changed) Notify(TInplaceEditChange::Bounds);
}

void TRxInplaceEdit::Show() {
    if (visible_) return;
    visible_ = true;
    Notify(TInplaceEditChange::Bounds);
}

void TRxInplaceEdit::Hide() {
    if (!visible_) return;
    if (listVisible_) CloseUp(false);
    StopTracking();
    visible_ = false;
    Notify(TInplaceEditChange::Bounds);
}

TCanvasRect TRxInplaceEdit::ButtonRect() const {
    int w = bounds_.right - bounds_.left;
    int h = bounds_.bottom - bounds_.top;
    return {w - ButtonWidth, 0, w, h};
}

TCanvasRect TRxInplaceEdit::EditRect() const {
    int w = bounds_.right - bounds_.left;
    int h = bounds_.bottom - bounds_.top;
    int right = w - 2;
    if (style_ != TInplaceEditStyle::ieSimple) right -= ButtonWidth;
    return {2, 2, right, h};
}

std::array<TCanvasPoint, 3> TRxInplaceEdit::EllipsisDots() const {
    TCanvasRect b = ButtonRect();
    int gap = std::clamp((ButtonWidth - 12) / 2, 1, 3);
    int left = b.left + (ButtonWidth - 6 - 2 * gap) / 2 + (pressed_ ? 1 : 0);
    int top = (b.bottom - b.top - 2) / 2;
    std::array<TCanvasPoint, 3> dots;
    for (int i = 0; i < 3; ++i) dots[i] = {left + i * (gap + 2), top};
    return dots;
}

void TRxInplaceEdit::UpdateContents() {
    int col = grid_.Col(), row = grid_.Row();
    SetAlignment(grid_.GetEditAlign(col, row));
    SetEditStyle(grid_.GetEditStyle(col, row));
    // Loading is no edit: no change goes out while the cell is taken up.
    loading_ = true;
    text_.clear();
    mask_ = grid_.GetEditMask(col, row);
    text_ = grid_.GetEditText(col, row);
    maxLength_ = grid_.GetEditLimit();
    selStart_ = selLength_ = 0;
    Notify(TInplaceEditChange::Contents);
    loading_ = false;
}

void TRxInplaceEdit::Change() {
    if (loading_) return;
    if (grid_.Options() & goAlwaysShowEditor) {
        TGridCoord c = grid_.InplaceCell();
        if (c.X >= 0 && c.Y >= 0) grid_.SetEditText(c.X, c.Y, text_);
    } else if (visible_ && OnChange) {
        OnChange(*this);
    }
}

void TRxInplaceEdit::TextEdited(std::string_view text, int cursor) {
    text_.assign(text);
    selStart_ = std::clamp(cursor, 0, static_cast<int>(text_.size()));
    selLength_ = 0;
    Change();
}

void TRxInplaceEdit::InsertChar(char c) {
    std::string t = text_;
    int start = std::min<int>(selStart_, static_cast<int>(t.size()));
    int len = std::min<int>(selLength_, static_cast<int>(t.size()) - start);
    if (c == '\b') {
        if (len > 0)
            t.erase(start, len);
        else if (start > 0)
            t.erase(--start, 1);
    } else {
        t.erase(start, len);
        if (maxLength_ > 0 && static_cast<int>(t.size()) >= maxLength_) return;
        t.insert(t.begin() + start, c);
        ++start;
    }
    text_ = std::move(t);
    selStart_ = start;
    selLength_ = 0;
    Notify(TInplaceEditChange::Contents);
    Change();
}

void TRxInplaceEdit::KeyDown(int& key, TShiftState shift) {
    TShiftState keys = Keys(shift);
    if (style_ == TInplaceEditStyle::ieEllipsis && key == VK_RETURN && keys == ssCtrl) {
        grid_.EditButtonClick();
        key = 0;
        return;
    }
    if (style_ == TInplaceEditStyle::iePickList) {
        bool alt = (keys & ssAlt) != 0;
        if (alt && (key == VK_UP || key == VK_DOWN)) {
            if (listVisible_)
                CloseUp(true);
            else
                DropDown();
            key = 0;
            return;
        }
        if (!alt && listVisible_ && (key == VK_RETURN || key == VK_ESCAPE)) {
            CloseUp(key == VK_RETURN);
            key = 0;
            return;
        }
        if (listVisible_ && activeList_) {
            activeList_->KeyDown(key);
            Notify(TInplaceEditChange::List);
            key = 0;
            return;
        }
    }

    // The edit line's own keys; movement out of the text goes to the grid.
    auto toGrid = [&] {
        grid_.KeyDown(key, shift);
        key = 0;
    };
    bool forward = (grid_.Options() & goAlwaysShowEditor) != 0;
    bool ctrl = (keys & ssCtrl) != 0;
    int len = static_cast<int>(text_.size());
    int selEnd = selStart_ + selLength_;
    bool rightSide = (selStart_ == 0 || selLength_ == 0) && selEnd == len;
    bool leftSide = selStart_ == 0 && (selEnd == 0 || selEnd == len);
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE:
        toGrid();
        break;
    case VK_INSERT:
        if (keys == 0)
            toGrid();
        else if (keys == ssShift && !grid_.CanEditModify())
            key = 0;
        break;
    case VK_LEFT:
    case VK_HOME:
        if (forward && (ctrl || leftSide)) toGrid();
        break;
    case VK_RIGHT:
    case VK_END:
        if (forward && (ctrl || rightSide)) toGrid();
        break;
    case VK_F2:
        if (grid_.OnKeyDown) grid_.OnKeyDown(grid_, key, shift);
        if (key == VK_F2) Deselect();
        key = 0;
        return;
    case VK_TAB:
        if (!(keys & ssAlt)) toGrid();
        break;
    case VK_DELETE:
        if (ctrl)
            toGrid();
        else if (!grid_.CanEditModify())
            key = 0;
        break;
    default:
        break;
    }
    if (key != 0 && grid_.OnKeyDown) grid_.OnKeyDown(grid_, key, shift);
}

void TRxInplaceEdit::KeyPress(char& key) {
    if (style_ == TInplaceEditStyle::iePickList && listVisible_ && activeList_) {
        activeList_->KeyPress(key, TickCount ? TickCount() : 0);
        Notify(TInplaceEditChange::List);
        key = 0;
        return;
    }
    grid_.KeyPress(key);
    auto k = static_cast<unsigned char>(key);
    if (k >= 32 && !grid_.CanEditAcceptKey(key)) {
        key = 0;
        if (grid_.MessageBeep) grid_.MessageBeep();
    }
    k = static_cast<unsigned char>(key);
    switch (k) {
    case 9:
    case 27:
        key = 0;
        break;
    case 13:
        // Enter switches between the whole text selected and none.
        if (selStart_ == 0 && selLength_ == static_cast<int>(text_.size()))
            Deselect();
        else
            SelectAll();
        key = 0;
        break;
    default:
        if ((k == 8 || k == 22 || k == 24 || k >= 32) && !grid_.CanEditModify()) key = 0;
        break;
    }
}

char TRxInplaceEdit::TypeChar(char32_t unicode) {
    bool ok = true;
    unsigned char c =
        unicode < 0x80 ? static_cast<unsigned char>(unicode) : UnicodeToCp1251(unicode, &ok);
    // Text is kept in CP1251: a character it has no code for cannot be kept.
    if (!ok) {
        if (grid_.MessageBeep) grid_.MessageBeep();
        return 0;
    }
    char key = static_cast<char>(c);
    KeyPress(key);
    return key;
}

void TRxInplaceEdit::UpdatePressed(int x, int y) {
    bool p = tracking_ && style_ != TInplaceEditStyle::ieSimple && Inside(ButtonRect(), x, y);
    if (p == pressed_) return;
    pressed_ = p;
    Notify(TInplaceEditChange::Button);
}

void TRxInplaceEdit::StopTracking() {
    if (!tracking_) return;
    UpdatePressed(-1, -1);
    tracking_ = false;
    pressed_ = false;
}

void TRxInplaceEdit::MouseDown(TGridMouseButton button, TShiftState, int x, int y) {
    if (button != TGridMouseButton::mbLeft || style_ == TInplaceEditStyle::ieSimple ||
        !Inside(ButtonRect(), x, y))
        return;
    if (listVisible_) {
        CloseUp(false);
        return;
    }
    tracking_ = true;
    UpdatePressed(x, y);
    if (activeList_) DropDown();
}

void TRxInplaceEdit::MouseMove(TShiftState, int x, int y) {
    if (listTracking_) {
        if (activeList_ && ListItemAt && Inside(ListRect, x, y)) {
            int i = ListItemAt(x - ListRect.left, y - ListRect.top);
            if (i >= 0 && i != activeList_->ItemIndex) {
                activeList_->ItemIndex = i;
                Notify(TInplaceEditChange::List);
            }
        }
        return;
    }
    if (!tracking_) return;
    UpdatePressed(x, y);
    if (listVisible_ && Inside(ListRect, x, y)) {
        // The drag goes on in the list: the item under the pointer is picked.
        StopTracking();
        listTracking_ = true;
        MouseMove(0, x, y);
    }
}

void TRxInplaceEdit::MouseUp(TGridMouseButton button, TShiftState, int x, int y) {
    if (listTracking_) {
        MouseMove(0, x, y);
        listTracking_ = false;
        ListMouseUp(Inside(ListRect, x, y));
        return;
    }
    bool wasPressed = pressed_;
    StopTracking();
    if (button == TGridMouseButton::mbLeft && style_ == TInplaceEditStyle::ieEllipsis && wasPressed)
        grid_.EditButtonClick();
}

bool TRxInplaceEdit::IgnoreDblClick(int x, int y) const {
    return style_ != TInplaceEditStyle::ieSimple && Inside(ButtonRect(), x, y);
}

bool TRxInplaceEdit::ArrowCursorAt(int x, int y) const {
    return IgnoreDblClick(x, y);
}

void TRxInplaceEdit::CancelMode() {
    listTracking_ = false;
    StopTracking();
}

void TRxInplaceEdit::KillFocus() {
    CancelMode();
    CloseUp(false);
}

void TRxInplaceEdit::ListMouseUp(bool inside) {
    CloseUp(inside);
}

void TRxInplaceEdit::DropDown() {
    if (listVisible_ || !activeList_) return;
    activeList_->Items.clear();
    grid_.GetPicklist(grid_.Col(), grid_.Row(), activeList_->Items);
    activeList_->ItemIndex = -1;
    for (size_t i = 0; i < activeList_->Items.size(); ++i)
        if (activeList_->Items[i] == text_) {
            activeList_->ItemIndex = static_cast<int>(i);
            break;
        }
    listVisible_ = true;
    Notify(TInplaceEditChange::List);
    Notify(TInplaceEditChange::Button);
}

void TRxInplaceEdit::CloseUp(bool accept) {
    if (!listVisible_) return;
    CancelMode();
    std::string value;
    if (activeList_ && activeList_->ItemIndex >= 0 &&
        activeList_->ItemIndex < static_cast<int>(activeList_->Items.size()))
        value = activeList_->Items[activeList_->ItemIndex];
    listVisible_ = false;
    Notify(TInplaceEditChange::List);
    Notify(TInplaceEditChange::Button);
    if (accept && grid_.CanEditModify()) SetText(value);
}

TCanvasRect PickListBounds(const TCanvasRect& editorOnScreen, int screenHeight, int itemCount,
                           int itemHeight, int widestItem, int scrollBarWidth) {
    constexpr int kBorder = 1;
    int height = std::min(std::max(itemCount, 0), kListRows) * itemHeight + 4;
    int client = std::max(editorOnScreen.right - editorOnScreen.left - 2 * kBorder, widestItem);
    if (itemCount > kListRows) client += scrollBarWidth;
    int width = client + 2 * kBorder;
    int top = editorOnScreen.bottom;
    if (top + height > screenHeight) top = editorOnScreen.top - height;
    return {editorOnScreen.left, top, editorOnScreen.left + width, top + height};
}

} // namespace arv
