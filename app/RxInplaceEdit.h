// The grid's in-place editor: a masked edit line that can carry a button at
// its right end, either an ellipsis button reporting clicks to the grid or a
// drop-down button opening a pick list the grid fills. State and decisions
// live here without a window system; the Qt editor (app/ui) mirrors the text,
// mask and selection and hands its keys and mouse events in.
#pragma once

#include "platform/Canvas.h"
#include "platform/Keys.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace arv {

class TRxDrawGrid;

enum class TInplaceEditStyle { ieSimple = 0, ieEllipsis = 1, iePickList = 2 };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TGridMouseButton { mbLeft, mbRight, mbMiddle };

// What the view must bring up to date after a change of the editor's state.
enum class TInplaceEditChange {
    Contents,  // text, mask, limit, alignment or style
    Selection, // the selected part of the text
    Bounds,    // shown, hidden or moved
    Button,    // the button's look (pressed, style)
    List,      // the pick list opened, closed or changed its selection
};

// The pick list: items, selection and the type-to-search state.
class TPopupListbox {
public:
    std::vector<std::string> Items;
    int ItemIndex = -1;
    // Typed characters search for the first item starting with them; a pause
    // of more than two seconds starts a new search.
    void KeyPress(char key, unsigned tickMs);
    // Arrow, page, Home and End keys move the selection.
    void KeyDown(int key);
    const std::string& SearchText() const { return searchText_; }
    int VisibleItems = 8;

private:
    std::string searchText_;
    unsigned searchTick_ = 0;
    bool searched_ = false;
};

class TRxInplaceEdit {
public:
    explicit TRxInplaceEdit(TRxDrawGrid& grid);
    ~TRxInplaceEdit();
    TRxDrawGrid& Grid() { return grid_; }

    TInplaceEditStyle EditStyle() const { return style_; }
    void SetEditStyle(TInplaceEditStyle style);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    // Width of the button strip; the view sets the style's scroll-bar width.
    int ButtonWidth = 17;

    // Text as CP1251; SetText fires OnChange (unless loading).
    const std::string& Text() const { return text_; }
    void SetText(std::string_view text);
    // Mask in the program's notation (see EditMask.h) and length limit
    // (0: none); both enforced by the view's edit line.
    const std::string& EditMask() const { return mask_; }
    int MaxLength() const { return maxLength_; }
    int SelStart() const { return selStart_; }
    int SelLength() const { return selLength_; }
    void SetSelection(int start, int length);
    void SelectAll();
    void Deselect();

    bool Visible() const { return visible_; }
    // Bounds in the grid's client coordinates.
    TCanvasRect BoundsRect() const { return bounds_; }
    void Move(const TCanvasRect& r);
    void Show();
    void Hide();
    // The right-most strip, one button width wide (editor coordinates).
    TCanvasRect ButtonRect() const;
    // The text area (editor coordinates).
    TCanvasRect EditRect() const;
    // Top-left corners of the ellipsis button's three 2x2 dots.
    std::array<TCanvasPoint, 3> EllipsisDots() const;

    // The pick list exists from the first switch to the pick-list style.
    TPopupListbox* PickList() { return pickList_.get(); }
    TPopupListbox* ActiveList() { return activeList_; }
    bool ListVisible() const { return listVisible_; }
    bool Tracking() const { return tracking_; }
    bool Pressed() const { return pressed_; }
    void DropDown();
    void CloseUp(bool accept);

    // Takes up the grid's current cell: alignment, style, then without
    // change notifications text, mask and limit.
    void UpdateContents();

    // --- Input from the view (editor client coordinates) -------------------
    void KeyDown(int& key, TShiftState shift);
    // A CP1251 character: the grid's OnKeyPress, its key filter, then the
    // edit's own keys; 0 on return means the character was taken.
    void KeyPress(char& key);
    // A typed Unicode character, converted to CP1251 first; the character
    // that should reach the text, or 0 when it was taken or refused.
    char TypeChar(char32_t unicode);
    // The edit line's text was changed by the user.
    void TextEdited(std::string_view text, int cursor);
    // Types a CP1251 character at the selection, as the edit line does, and
    // reports the new text. Used where no edit line stands behind (headless).
    void InsertChar(char c);
    void MouseDown(TGridMouseButton button, TShiftState shift, int x, int y);
    void MouseMove(TShiftState shift, int x, int y);
    void MouseUp(TGridMouseButton button, TShiftState shift, int x, int y);
    // A double click inside the button is not the edit's (true: ignore it).
    bool IgnoreDblClick(int x, int y) const;
    // Whether the pointer shows the arrow (over the button).
    bool ArrowCursorAt(int x, int y) const;
    void CancelMode();
    // The edit line lost the keyboard focus: an open list closes unaccepted.
    void KillFocus();
    // The list was clicked; released inside it (accept) or not.
    void ListMouseUp(bool inside);
    // The view's list area in editor coordinates while it is open; set by the
    // view so that a drag from the button into the list picks an item.
    TCanvasRect ListRect;
    // The list item under a point of the list (view supplied), -1 outside.
    std::function<int(int x, int y)> ListItemAt;

    // The change event; the grid binds it to its EditChange.
    std::function<void(TRxInplaceEdit&)> OnChange;
    // The view's hook to bring itself up to date.
    std::function<void(TInplaceEditChange)> ViewNotify;
    // Milliseconds for the list's search pauses; the view gives the clock.
    std::function<unsigned()> TickCount;

private:
    void Change();
    void Notify(TInplaceEditChange what);
    void UpdatePressed(int x, int y);
    void StopTracking();

    TRxDrawGrid& grid_;
    TInplaceEditStyle style_ = TInplaceEditStyle::ieSimple;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    std::string text_;
    std::string mask_;
    int maxLength_ = 0;
    int selStart_ = 0, selLength_ = 0;
    bool visible_ = false;
    TCanvasRect bounds_;
    std::unique_ptr<TPopupListbox> pickList_;
    TPopupListbox* activeList_ = nullptr;
    bool listVisible_ = false;
    bool tracking_ = false;
    bool pressed_ = false;
    bool loading_ = false;
    // A drag from the button went on into the open list.
    bool listTracking_ = false;
};

// Where the pick list opens, in screen coordinates: below the editor, or
// above it when it would pass the bottom of the screen. Width is the larger
// of the editor's width and the widest item, plus a scroll bar past 8 items.
TCanvasRect PickListBounds(const TCanvasRect& editorOnScreen, int screenHeight, int itemCount,
                           int itemHeight, int widestItem, int scrollBarWidth);

} // namespace arv
