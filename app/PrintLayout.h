// The arithmetic of printing the plan: sheet sizes, the printer orientation
// that gives the most whole pages, the tiling of a sheet into printer pages
// with the world strip each page shows, and the screen zoom that fits the
// drawing onto a sheet. No printer and no window here: the print job and the
// dialogs feed these functions the printer's figures.
#pragma once

#include "document/Geometry.h"

#include <string_view>
#include <vector>

namespace arv {

struct TSheetSize {
    int width = 0;  // mm
    int height = 0; // mm
    bool operator==(const TSheetSize&) const = default;
};

// The sheet of a format text ("A4".."A0", Latin A): any other text is A4.
TSheetSize SheetSizeMm(std::string_view format, bool portrait);
// Sheet of the format index 0..4 (A4, A3, A2, A1, A0).
TSheetSize SheetSizeOfIndex(int index, bool portrait);

// What the printer reports for its current orientation.
struct TPrinterCaps {
    int horzSize = 0; // printable width, mm
    int vertSize = 0; // printable height, mm
    int horzRes = 0;  // printable width, pixels
    int vertRes = 0;  // printable height, pixels
    int offsetX = 0;  // physical offset of the printable area, pixels
    int offsetY = 0;
};

struct TMarginsMm {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The orientation to set before tiling. pageW and pageH are the printer's
// page in its current orientation. A sheet that fits one page takes the
// dialog's orientation; otherwise the orientation that gives more whole
// pages, switching away from the current one only when that gives more.
bool ChooseLandscape(TSheetSize sheet, int pageW, int pageH, bool portraitChecked,
                     bool currentLandscape);

// The drawing's extent grown by 100 world units on each side.
TRect WidenRegion(const TRect& r);
// The same rectangle with left < right and top > bottom (world y grows
// upwards), whatever way it was dragged.
TRect NormaliseWorldRect(const TRect& r);

struct TPrintTiling {
    int nx = 1, ny = 1;
    double kx = 0, ky = 0; // printer pixels per mm
    double scale = 0;      // printer pixels per world unit
    // Page rectangles in printer pixels, column-major: page (i, j) at
    // i * ny + j.
    std::vector<TRect> pages;
    // World strips: columns' left and right, rows' top and bottom.
    std::vector<std::pair<int32_t, int32_t>> columns, rows;
    const TRect& Page(int i, int j) const { return pages[static_cast<size_t>(i * ny + j)]; }
    // The world rectangle page (i, j) shows.
    TRect View(int i, int j) const;
};

// Tiles the sheet into whole printer pages and fits the (widened) region
// onto them; margins apply only to the sheet's outer edges. False for an
// empty region or a printer that reports no size.
bool TilePrintSheet(const TRect& region, TSheetSize sheet, const TMarginsMm& margins,
                    const TPrinterCaps& caps, TPrintTiling& out);

// The screen zoom that fits the drawing onto a sheet ("Формат" box).
struct TSheetFitView {
    double scale = 0;
    int32_t hitTolerance = 5;
    TRect view;
};
// region: the widened extent; screenWidth: pixels of the screen;
// imageW/H: the plan picture; currentView: the view whose centre is kept.
bool FitViewToSheet(TSheetSize sheet, const TRect& region, int screenWidth, int imageW, int imageH,
                    const TRect& currentView, TSheetFitView& out);
// Sheet of an item of the "Формат" box: 1..10 are A4 portrait, A4
// landscape, ... A0 landscape; false for item 0 and others.
bool SheetOfFormatItem(int item, TSheetSize& out);

} // namespace arv
