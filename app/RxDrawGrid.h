// The draw grid of the property inspector: a grid whose cells the owner
// paints (OnDrawCell), whose fixed cells act as push buttons, and whose
// in-place editor takes its mask, text, limit, alignment, style and pick
// list from the owner per cell. This class holds the whole state and every
// decision, without a window system; the Qt widget (app/ui/RxDrawGridWidget)
// only turns its events into the calls below and paints through a canvas.
//
// The platform's string grid model supplies the geometry (counts, fixed
// rows and columns, current cell, scrolling, column widths) and the events
// OnSelectCell, OnKeyPress and OnSetEditText; its cells are not used here.
#pragma once

#include "app/RxInplaceEdit.h"
#include "platform/Canvas.h"
#include "platform/StringGrid.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace arv {

enum TGridOption : unsigned {
    goFixedVertLine = 1u << 0,
    goFixedHorzLine = 1u << 1,
    goVertLine = 1u << 2,
    goHorzLine = 1u << 3,
    goRangeSelect = 1u << 4,
    goDrawFocusSelected = 1u << 5,
    goRowSizing = 1u << 6,
    goColSizing = 1u << 7,
    goRowMoving = 1u << 8,
    goColMoving = 1u << 9,
    goEditing = 1u << 10,
    goTabs = 1u << 11,
    goRowSelect = 1u << 12,
    goAlwaysShowEditor = 1u << 13,
    goThumbTracking = 1u << 14,
};
using TGridOptions = unsigned;

enum TGridDrawStateBits : unsigned {
    gdSelected = 1,
    gdFocused = 2,
    gdFixed = 4,
};
using TGridDrawState = unsigned;

enum class TVertAlignment { vaTop, vaCenter, vaBottom };

// Colours of the desktop scheme the grid paints with (0x00BBGGRR).
struct TGridColors {
    int32_t Window = 0xFFFFFF; // cells
    int32_t WindowText = 0x000000;
    int32_t BtnFace = 0xC0C0C0;      // fixed cells
    int32_t BtnHighlight = 0xFFFFFF; // light side of a raised edge
    int32_t BtnShadow = 0x808080;    // dark side of a raised edge
    int32_t DkShadow = 0x404040;
    int32_t Light = 0xDFDFDF;
    int32_t Highlight = 0x6A240A; // selected cell
    int32_t HighlightText = 0xFFFFFF;
    int32_t GridLine = 0xC0C0C0;
};

class TRxDrawGrid : public TStringGridModel {
public:
    explicit TRxDrawGrid(std::string name = {});
    ~TRxDrawGrid() override;

    // --- Published properties -------------------------------------------
    // Fixed cells behave as buttons; a change repaints the whole grid.
    bool FixedButtons() const { return fixedButtons_; }
    void SetFixedButtons(bool v);
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions v);
    // The platform's default drawing (backgrounds, focus, fixed edges).
    bool DefaultDrawing = true;
    // Fixed cells get 3-D edges.
    bool Ctl3D = true;
    int GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(int w);
    // Row heights: the default (18) unless a row was sized.
    int RowHeights(int row) const;
    void SetRowHeights(int row, int h);
    TFont Font;
    TGridColors Colors;

    // --- Events (the sender comes first) ----------------------------------
    // Base draw grid: OnSelectCell, OnKeyPress and OnSetEditText come from
    // the string grid model.
    std::function<void(TRxDrawGrid&, int aCol, int aRow, const TCanvasRect& rect,
                       TGridDrawState state)>
        OnDrawCell;
    std::function<void(TRxDrawGrid&, int aCol, int aRow, std::string& value)> OnGetEditMask;
    std::function<void(TRxDrawGrid&, int aCol, int aRow, std::string& value)> OnGetEditText;

    // This grid's own.
    // A character is about to reach the editor; false refuses it.
    std::function<bool(TRxDrawGrid&, char& key)> OnAcceptEditKey;
    std::function<void(TRxDrawGrid&)> OnCancelEdit;
    std::function<void(TRxDrawGrid&, int aCol, int aRow, bool& enabled)> OnCheckButton;
    std::function<void(TRxDrawGrid&, int aCol, int aRow)> OnFixedCellClick;
    std::function<void(TRxDrawGrid&)> OnChangeFocus;
    std::function<void(TRxDrawGrid&)> OnColumnSized;
    std::function<void(TRxDrawGrid&)> OnRowSized;
    std::function<void(TRxDrawGrid&, int& maxLength)> OnGetEditLimit;
    std::function<void(TRxDrawGrid&)> OnEditChange;
    std::function<void(TRxDrawGrid&, int aCol, int aRow, bool& allowEdit)> OnShowEditor;
    std::function<void(TRxDrawGrid&, int aCol, int aRow, TAlignment& alignment)> OnGetEditAlign;
    std::function<void(TRxDrawGrid&, int aCol, int aRow, TInplaceEditStyle& style)> OnGetEditStyle;
    std::function<void(TRxDrawGrid&, int aCol, int aRow, std::vector<std::string>& pickList)>
        OnGetPicklist;
    std::function<void(TRxDrawGrid&)> OnEditButtonClick;

    // The system's default beep (a refused key, a disabled button). The
    // widget sets it; tests count it.
    std::function<void()> MessageBeep;

    // --- Operations --------------------------------------------------------
    // The canvas of the paint in progress, else null; OnDrawCell draws on it.
    TCanvas* Canvas() const { return canvas_; }
    // Text into a cell rectangle, vertically centred, not wrapped, clipped.
    void DrawCellString(const TCanvasRect& rect, const std::string& text, TAlignment alignment);
    void RepaintCell(int aCol, int aRow);
    void RepaintRow(int aRow);
    // The whole grid repainted (after the owner changed what it draws, or
    // the enabled state).
    void Invalidate();
    // Asked by the editor; each fires its event when assigned.
    TAlignment GetEditAlign(int aCol, int aRow);
    TInplaceEditStyle GetEditStyle(int aCol, int aRow);
    void GetPicklist(int aCol, int aRow, std::vector<std::string>& pickList);
    int GetEditLimit(); // 0: no limit
    void EditButtonClick();
    void EditChange();
    std::string GetEditMask(int aCol, int aRow);
    std::string GetEditText(int aCol, int aRow);
    // Passes the editor's text on (suppressed while an edit is cancelled).
    void SetEditText(int col, int row, std::string_view text) override;

    // The in-place editor, owned by the grid.
    TRxInplaceEdit& InplaceEditor() { return *editor_; }
    bool EditorMode() const { return editorMode_; }
    void SetEditorMode(bool v);
    void ShowEditor();
    void HideEditor();
    // The editor takes up the current cell afresh (after the owner changed
    // the rows or their texts); its old text is not passed on.
    void InvalidateEditor();
    // Ends editor mode without passing the editor's text on: the owner has
    // shown other values in the cells.
    void CloseEditor();
    // Whether the owner allows typing into the current cell.
    bool CanEditModify() const;
    // Key filter for the editor: OnAcceptEditKey for characters 32..255.
    bool CanEditAcceptKey(char key);

    // --- Input from the view (client coordinates in pixels) ----------------
    void KeyDown(int& key, TShiftState shift) override;
    void KeyPress(char& key) override;
    // A character typed while the grid itself has the focus.
    void GridCharTyped(char32_t unicode);
    void MouseDown(TGridMouseButton button, TShiftState shift, int x, int y);
    void MouseMove(TShiftState shift, int x, int y);
    void MouseUp(TGridMouseButton button, TShiftState shift, int x, int y);
    // The capture was taken away (another window, a menu).
    void CancelMode();
    void DoEnter() override;
    void DoExit() override;
    bool Focused() const { return focused_; }
    bool MouseCaptured() const { return captured_; }

    // --- Geometry ------------------------------------------------------------
    void SetClientSize(int width, int height);
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    // Rectangle of a cell in client coordinates (empty when not visible).
    TCanvasRect CellRect(int aCol, int aRow) const;
    // The cell under a point, {-1, -1} outside every cell.
    TGridCoord MouseCoord(int x, int y) const;
    // Column or row border under a point that sizing would grab, -1 if none.
    int ColSizingAt(int x, int y) const;
    int RowSizingAt(int x, int y) const;
    void SetTopRowScrolled(int row); // scroll bar moved

    // --- Painting --------------------------------------------------------------
    void Paint(TCanvas& canvas);

    // --- Run-time state (read by tests and the view) ---------------------------
    TGridCoord PressedCell() const { return pressedCell_; }
    bool Pressed() const { return pressed_; }
    bool Tracking() const { return tracking_; }
    bool Canceling() const { return canceling_; }
    bool SwapButtons() const { return swapButtons_; }
    // The cell the editor holds, {-1, -1} while hidden.
    TGridCoord InplaceCell() const { return {inplaceCol_, inplaceRow_}; }

private:
    friend class TRxInplaceEdit;
    friend class TRxDrawGridSelfListener;

    void UpdateEdit();
    void HideEdit();
    void UpdateText();
    bool CanEditShow();
    void MoveCurrent(int col, int row);
    void CurrentChanged();
    void TrackButton(int x, int y);
    void StopTracking();
    void TopLeftChanged();
    void SizeChanged(bool column);
    void DrawCell(TCanvas& canvas, int col, int row, TCanvasRect rect, TGridDrawState state);
    void DrawLines(TCanvas& canvas, int col, int row, const TCanvasRect& rect);
    void UpdateVisibleCounts();
    int VertLineWidth() const;
    int HorzLineWidth() const;
    // Left or top edge of a visible column or row, -1 when scrolled away.
    int ColLeft(int col) const;
    int RowTop(int row) const;

    std::unique_ptr<TRxInplaceEdit> editor_;
    std::unique_ptr<IGridListener> self_;
    TCanvas* canvas_ = nullptr;
    bool fixedButtons_ = false;
    TGridOptions options_;
    int gridLineWidth_ = 1;
    std::vector<int> rowHeights_;
    bool editorMode_ = false;
    int inplaceCol_ = -1, inplaceRow_ = -1;
    TGridCoord pressedCell_{-1, -1};
    TGridCoord seenCurrent_{-1, -1};
    bool pressed_ = false;
    bool tracking_ = false;
    bool canceling_ = false;
    bool swapButtons_ = false;
    bool focused_ = false;
    bool captured_ = false;
    int clientWidth_ = 0, clientHeight_ = 0;
    // Sizing in progress: column or row index and the pointer's offset.
    int sizingCol_ = -1, sizingRow_ = -1, sizingStart_ = 0, sizingOrig_ = 0;
};

// Cell text drawing: the text in the rectangle with the given horizontal
// and vertical alignment, clipped to it; word wrap breaks at blanks.
void DrawGridCellText(TCanvas& canvas, const TCanvasRect& rect, std::string_view text,
                      TAlignment alignment, TVertAlignment vertAlignment, bool wordWrap);

} // namespace arv
