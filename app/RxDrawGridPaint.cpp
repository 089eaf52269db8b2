// Painting of the draw grid: backgrounds, grid lines, pressed captions with
// their 3-D edges, focus, and the owner's cells through OnDrawCell.
#include "app/RxDrawGrid.h"

#include <algorithm>
#include <vector>

namespace arv {

namespace {

constexpr int32_t kFixedLineColor = 0x000000;

void FillStrip(TCanvas& c, int32_t colour, TCanvasRect r) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    TBrush saved = c.brush;
    c.brush = {colour, TBrushStyle::Solid};
    c.FillRect(r);
    c.brush = saved;
}

// A one-pixel edge inside the rectangle on the chosen sides: light on the
// left and top and dark on the right and bottom when raised, the other way
// round when sunken.
void DrawInnerEdge(TCanvas& c, const TCanvasRect& r, bool raised, bool vertSides, bool horzSides,
                   const TGridColors& colors) {
    int32_t lt = raised ? colors.BtnHighlight : colors.BtnShadow;
    int32_t rb = raised ? colors.BtnShadow : colors.BtnHighlight;
    if (horzSides) FillStrip(c, lt, {r.left, r.top, r.right, r.top + 1});
    if (vertSides) FillStrip(c, lt, {r.left, r.top, r.left + 1, r.bottom});
    if (horzSides) FillStrip(c, rb, {r.left, r.bottom - 1, r.right, r.bottom});
    if (vertSides) FillStrip(c, rb, {r.right - 1, r.top, r.right, r.bottom});
}

void DrawFocusRect(TCanvas& c, const TCanvasRect& r) {
    TPen savedPen = c.pen;
    TBrush savedBrush = c.brush;
    c.pen = {0, 1, TPenStyle::Dot, TPenMode::NotXor};
    c.brush.style = TBrushStyle::Clear;
    c.Rectangle(r.left, r.top, r.right, r.bottom);
    c.pen = savedPen;
    c.brush = savedBrush;
}

// Lines of a text broken at carriage returns and, with word wrap, at the
// blanks before the line passes the width.
std::vector<std::string> BreakLines(TCanvas& c, std::string_view text, int width, bool wrap) {
    std::vector<std::string> lines;
    std::string line;
    auto flush = [&] {
        lines.push_back(line);
        line.clear();
    };
    size_t i = 0;
    while (i <= text.size()) {
        size_t end = text.find_first_of("\r\n", i);
        std::string_view para = text.substr(i, end == std::string_view::npos ? end : end - i);
        if (!wrap) {
            line.assign(para);
            flush();
        } else {
            size_t p = 0;
            while (p <= para.size()) {
                size_t sp = para.find(' ', p);
                std::string_view word =
                    para.substr(p, sp == std::string_view::npos ? sp : sp - p + 1);
                std::string tryLine = line + std::string(word);
                std::string trimmed = tryLine;
                while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
                if (!line.empty() && c.TextWidth(trimmed) > width) {
                    while (!line.empty() && line.back() == ' ') line.pop_back();
                    flush();
                    line.assign(word);
                } else {
                    line = std::move(tryLine);
                }
                if (sp == std::string_view::npos) break;
                p = sp + 1;
            }
            while (!line.empty() && line.back() == ' ') line.pop_back();
            flush();
        }
        if (end == std::string_view::npos) break;
        i = end + 1;
        if (text[end] == '\r' && i < text.size() && text[i] == '\n') ++i;
    }
    return lines;
}

} // namespace

void DrawGridCellText(TCanvas& canvas, const TCanvasRect& rect, std::string_view text,
                      TAlignment alignment, TVertAlignment vertAlignment, bool wordWrap) {
    constexpr int hOffs = 2;
    int height = rect.bottom - rect.top;
    int width = rect.right - rect.left;
    int wHeight = canvas.TextHeight("W");
    int vOffs = 2;
    if (vertAlignment == TVertAlignment::vaCenter) vOffs = std::max(1, (height - wHeight) / 2);
    if (vertAlignment == TVertAlignment::vaBottom) vOffs = std::max(2, height - wHeight);

    // The cell is filled in the brush, then the text drawn over it, clipped.
    if (canvas.brush.style != TBrushStyle::Clear) canvas.FillRect(rect);
    bool savedTransparent = canvas.BackgroundTransparent();
    uint32_t savedAlign = canvas.SetTextAlign(kTaLeft | kTaTop);
    canvas.SetBackgroundTransparent(true);
    canvas.SetClipRect(rect);
    auto xFor = [&](std::string_view line) {
        switch (alignment) {
        case TAlignment::taRightJustify:
            return rect.right - canvas.TextWidth(line) - 3;
        case TAlignment::taCenter:
            return rect.left + width / 2 - canvas.TextWidth(line) / 2;
        default:
            return rect.left + hOffs;
        }
    };
    bool multi = wordWrap || text.find_first_of("\r\n") != std::string_view::npos;
    if (!multi) {
        canvas.TextOut(xFor(text), rect.top + vOffs, text);
    } else {
        std::vector<std::string> lines = BreakLines(canvas, text, width - 2 * hOffs, wordWrap);
        int lineHeight = canvas.TextHeight("Wg");
        int total = lineHeight * static_cast<int>(lines.size());
        int y = rect.top + hOffs;
        if (vertAlignment == TVertAlignment::vaCenter) y = rect.top + (height - total) / 2;
        if (vertAlignment == TVertAlignment::vaBottom) y = rect.bottom - total;
        for (const std::string& line : lines) {
            canvas.TextOut(xFor(line), y, line);
            y += lineHeight;
        }
    }
    canvas.NoClip();
    canvas.SetBackgroundTransparent(savedTransparent);
    canvas.SetTextAlign(savedAlign);
}

void TRxDrawGrid::DrawCellString(const TCanvasRect& rect, const std::string& text,
                                 TAlignment alignment) {
    if (!canvas_) return;
    DrawGridCellText(*canvas_, rect, text, alignment, TVertAlignment::vaCenter, false);
}

void TRxDrawGrid::DrawLines(TCanvas& canvas, int col, int row, const TCanvasRect& r) {
    bool fixed = col < FixedCols() || row < FixedRows();
    bool vert = (options_ & (fixed ? goFixedVertLine : goVertLine)) != 0;
    bool horz = (options_ & (fixed ? goFixedHorzLine : goHorzLine)) != 0;
    int32_t colour = fixed ? kFixedLineColor : Colors.GridLine;
    int vw = VertLineWidth(), hw = HorzLineWidth();
    if (vert) FillStrip(canvas, colour, {r.right, r.top, r.right + vw, r.bottom + hw});
    if (horz) FillStrip(canvas, colour, {r.left, r.bottom, r.right + vw, r.bottom + hw});
}

void TRxDrawGrid::DrawCell(TCanvas& canvas, int col, int row, TCanvasRect rect,
                           TGridDrawState state) {
    bool fixed = (state & gdFixed) != 0;
    bool rowSelect = (options_ & goRowSelect) != 0;
    int lw = gridLineWidth_;
    if (DefaultDrawing) {
        canvas.font = Font;
        if (rowSelect && !fixed) {
            if (!(options_ & goVertLine)) rect.right += lw;
            if (!(options_ & goHorzLine)) rect.bottom += lw;
        }
        bool focusedPlain =
            (state & gdFocused) && !(options_ & (goDrawFocusSelected | goRowSelect));
        if ((state & gdSelected) && !focusedPlain) {
            canvas.brush = {Colors.Highlight, TBrushStyle::Solid};
            canvas.font.colour = Colors.HighlightText;
        } else {
            canvas.brush = {fixed ? Colors.BtnFace : Colors.Window, TBrushStyle::Solid};
            canvas.font.colour = Colors.WindowText;
        }
        canvas.FillRect(rect);
    }
    bool down = fixedButtons_ && fixed && Ctl3D && pressed_ && DefaultDrawing &&
                pressedCell_ == TGridCoord{col, row};
    TCanvasRect drawRect = rect;
    // A pressed caption is drawn pushed in.
    if (down) {
        drawRect.left += lw;
        drawRect.top += lw;
    }
    if (OnDrawCell) OnDrawCell(*this, col, row, drawRect, state);
    if (DefaultDrawing && fixed && Ctl3D) {
        bool vert = (options_ & goFixedVertLine) != 0;
        bool horz = (options_ & goFixedHorzLine) != 0;
        if (vert || horz) {
            TCanvasRect e = rect;
            if (vert && !horz) e.bottom += lw;
            DrawInnerEdge(canvas, e, !down, vert, horz, Colors);
        }
    }
    if (DefaultDrawing && (state & gdFocused) &&
        (options_ & (goEditing | goAlwaysShowEditor)) != (goEditing | goAlwaysShowEditor) &&
        !rowSelect)
        DrawFocusRect(canvas, rect);
}

void TRxDrawGrid::Paint(TCanvas& canvas) {
    canvas_ = &canvas;
    FillStrip(canvas, Colors.Window, {0, 0, clientWidth_, clientHeight_});
    TGridRect sel = Selection();
    if (options_ & goRowSelect) {
        sel.Left = FixedCols();
        sel.Right = ColCount() - 1;
    }
    auto paintCell = [&](int c, int r) {
        TCanvasRect rect = CellRect(c, r);
        if (rect.right <= rect.left || rect.bottom <= rect.top) return;
        DrawLines(canvas, c, r, rect);
        TGridDrawState state = 0;
        if (c < FixedCols() || r < FixedRows()) {
            state |= gdFixed;
        } else {
            if (focused_ && c == Col() && r == Row()) state |= gdFocused;
            if (c >= sel.Left && c <= sel.Right && r >= sel.Top && r <= sel.Bottom)
                state |= gdSelected;
        }
        DrawCell(canvas, c, r, rect, state);
    };
    std::vector<int> cols, rows;
    for (int c = 0; c < FixedCols() && c < ColCount(); ++c) cols.push_back(c);
    for (int c = LeftCol(); c < ColCount() && ColLeft(c) >= 0 && ColLeft(c) < clientWidth_; ++c)
        cols.push_back(c);
    for (int r = 0; r < FixedRows() && r < RowCount(); ++r) rows.push_back(r);
    for (int r = TopRow(); r < RowCount() && RowTop(r) >= 0 && RowTop(r) < clientHeight_; ++r)
        rows.push_back(r);
    for (int r : rows)
        for (int c : cols) paintCell(c, r);

    // The current row of a row-selecting grid gets one focus rectangle.
    if (DefaultDrawing && focused_ && (options_ & goRowSelect) && !(options_ & goRangeSelect) &&
        Row() >= FixedRows() && ColCount() > FixedCols()) {
        TCanvasRect first = CellRect(std::max(FixedCols(), LeftCol()), Row());
        int lastCol = ColCount() - 1;
        while (lastCol > FixedCols() && CellRect(lastCol, Row()).right == 0) --lastCol;
        TCanvasRect last = CellRect(lastCol, Row());
        if (first.right > first.left && last.right > last.left) {
            TCanvasRect r{first.left, first.top, last.right, first.bottom};
            if (!(options_ & goHorzLine)) r.bottom += gridLineWidth_;
            DrawFocusRect(canvas, r);
        }
    }
    canvas_ = nullptr;
}

} // namespace arv
