// Sheet sizes, the printer orientation, the tiling of a sheet into printer
// pages and the sheet-fit zoom, against figures worked out by hand.
#include "app/PrintLayout.h"

#include <gtest/gtest.h>

using namespace arv;

namespace {

// A printer whose printable page is 200 x 287 mm at 10 pixels per mm.
TPrinterCaps Printer200x287(int offset = 0) {
    return {200, 287, 2000, 2870, offset, offset};
}

TPrinterCaps Turned(const TPrinterCaps& c) {
    return {c.vertSize, c.horzSize, c.vertRes, c.horzRes, c.offsetY, c.offsetX};
}

} // namespace

TEST(PrintLayout, SheetSizesOfTheFiveFormatsInBothOrientations) {
    const int sizes[5][2] = {{210, 297}, {297, 420}, {420, 594}, {594, 841}, {841, 1188}};
    const char* names[5] = {"A4", "A3", "A2", "A1", "A0"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ((TSheetSize{sizes[i][0], sizes[i][1]}), SheetSizeMm(names[i], true)) << i;
        EXPECT_EQ((TSheetSize{sizes[i][1], sizes[i][0]}), SheetSizeMm(names[i], false)) << i;
        EXPECT_EQ(SheetSizeMm(names[i], true), SheetSizeOfIndex(i, true));
    }
    // Any other text, the Cyrillic letter included, is A4.
    EXPECT_EQ((TSheetSize{210, 297}), SheetSizeMm("\xC0"
                                                  "3",
                                                  true));
    EXPECT_EQ((TSheetSize{297, 210}), SheetSizeMm("", false));
    EXPECT_EQ((TSheetSize{210, 297}), SheetSizeOfIndex(7, true));

    // The "Формат" box: item 0 is no sheet, then portrait and landscape.
    TSheetSize s;
    EXPECT_FALSE(SheetOfFormatItem(0, s));
    EXPECT_FALSE(SheetOfFormatItem(11, s));
    ASSERT_TRUE(SheetOfFormatItem(1, s));
    EXPECT_EQ((TSheetSize{210, 297}), s);
    ASSERT_TRUE(SheetOfFormatItem(4, s));
    EXPECT_EQ((TSheetSize{420, 297}), s);
    ASSERT_TRUE(SheetOfFormatItem(9, s));
    EXPECT_EQ((TSheetSize{841, 1188}), s);
}

TEST(PrintLayout, OrientationTakesTheDialogsForOnePageElseTheOneWithMorePages) {
    // A4 on an A4 printer fits one page: the dialog's orientation counts.
    EXPECT_FALSE(ChooseLandscape({210, 297}, 200, 287, true, true));
    EXPECT_TRUE(ChooseLandscape({297, 210}, 200, 287, false, false));
    // A0 portrait on 200 x 287: A = 4 x 4 = 16, B = 2 x 5 = 10, kept.
    EXPECT_FALSE(ChooseLandscape({841, 1188}, 200, 287, true, false));
    // The same on a printer set to landscape: A = 2 x 5, B = 4 x 4, turned back.
    EXPECT_FALSE(ChooseLandscape({841, 1188}, 287, 200, true, true));
    // A3 portrait: A = 1 x 1, B = 1 x 2: the printer turns.
    EXPECT_TRUE(ChooseLandscape({297, 420}, 200, 287, true, false));
    // Already landscape: A = 1 x 2, B = 1 x 1, kept.
    EXPECT_TRUE(ChooseLandscape({297, 420}, 287, 200, true, true));
    // A3 landscape: A = 2 x 1, B = 1 x 1: kept.
    EXPECT_FALSE(ChooseLandscape({420, 297}, 200, 287, false, false));
    // A printer that reports no size takes the dialog's choice.
    EXPECT_TRUE(ChooseLandscape({420, 297}, 0, 0, false, false));
}

TEST(PrintLayout, RegionsAreWidenedAndDraggedRectanglesNormalised) {
    EXPECT_EQ((TRect{-100, 600, 1100, -300}), WidenRegion({0, 500, 1000, -200}));
    const TRect want{-50, 300, 400, -20};
    EXPECT_EQ(want, NormaliseWorldRect({400, -20, -50, 300}));
    EXPECT_EQ(want, NormaliseWorldRect({-50, -20, 400, 300}));
    EXPECT_EQ(want, NormaliseWorldRect(want));
}

// A0 portrait on the 200 x 287 printer with 10 mm margins: 4 x 4 pages.
// Widths of the columns: 1900, 2000, 2000, 1900 (SW 7800); heights of the
// rows: 2770, 2870, 2870, 2770 (SH 11280). The region 10200 x 5200 units
// makes the width decide: s = 7800 / 10200.
TEST(PrintLayout, A0OnSmallPagesTilesFourByFourWithMarginsOnlyOutside) {
    const TRect region{-100, 5100, 10100, -100};
    TPrintTiling t;
    ASSERT_TRUE(TilePrintSheet(region, {841, 1188}, {10, 10, 10, 10}, Printer200x287(), t));
    EXPECT_EQ(4, t.nx);
    EXPECT_EQ(4, t.ny);
    EXPECT_EQ(16u, t.pages.size());
    EXPECT_DOUBLE_EQ(10.0, t.kx);
    EXPECT_EQ((TRect{100, 100, 2000, 2870}), t.Page(0, 0));
    EXPECT_EQ((TRect{0, 0, 2000, 2870}), t.Page(1, 1));
    EXPECT_EQ((TRect{0, 0, 1900, 2770}), t.Page(3, 3));
    EXPECT_EQ((TRect{100, 0, 2000, 2770}), t.Page(0, 3));
    EXPECT_DOUBLE_EQ(7800.0 / 10200.0, t.scale);
    // 1900 / s = 2484.6 -> 2485; 3900 / s = 5100; 5900 / s = 7715.4.
    ASSERT_EQ(4u, t.columns.size());
    EXPECT_EQ(std::make_pair(-100, 2385), t.columns[0]);
    EXPECT_EQ(std::make_pair(2385, 5000), t.columns[1]);
    EXPECT_EQ(std::make_pair(5000, 7615), t.columns[2]);
    EXPECT_EQ(std::make_pair(7615, 10100), t.columns[3]);
    // 2770 / s = 3622.3 -> 3622; rows run far below the region, whose
    // bottom ends the last one.
    EXPECT_EQ(std::make_pair(5100, 1478), t.rows[0]);
    EXPECT_EQ(-100, t.rows[3].second);
    EXPECT_EQ((TRect{2385, 5100, 5000, 1478}), t.View(1, 0));
}

TEST(PrintLayout, PrinterOffsetsMoveTheOuterEdgesAndNothingGoesBelowZero) {
    TPrintTiling t;
    ASSERT_TRUE(
        TilePrintSheet({0, 1000, 1000, 0}, {210, 297}, {10, 0, 5, 20}, Printer200x287(50), t));
    ASSERT_EQ(1u, t.pages.size());
    // left 100 - 50, top 0 - 50 -> 0, right 2000 - 50 + 50, bottom 2870 - 200 + 50.
    EXPECT_EQ((TRect{50, 0, 2000, 2720}), t.Page(0, 0));
}

// Every format in both orientations on an A4 printer, turned as the print
// turns it, with regions of several shapes (so the width decides the scale
// for some and the height for others): the pages tile the sheet, the strips
// follow one another without gaps and cover the region, and the scale fills
// the pages in one direction.
TEST(PrintLayout, EveryFormatAndOrientationTilesTheRegion) {
    const TRect regions[] = {{0, 1000, 1000, 0}, {-500, 300, 4500, -200}, {0, 9000, 700, 0}};
    const TPrinterCaps upright = Printer200x287();
    for (int format = 0; format < 5; ++format)
        for (bool portrait : {true, false})
            for (const TRect& region : regions) {
                SCOPED_TRACE(testing::Message() << "format " << format << " portrait " << portrait
                                                << " region " << region.right);
                const TSheetSize sheet = SheetSizeOfIndex(format, portrait);
                const bool landscape =
                    ChooseLandscape(sheet, upright.horzSize, upright.vertSize, portrait, false);
                const TPrinterCaps caps = landscape ? Turned(upright) : upright;
                TPrintTiling t;
                ASSERT_TRUE(TilePrintSheet(region, sheet, {5, 5, 5, 5}, caps, t));
                EXPECT_EQ(std::max(1, sheet.width / caps.horzSize), t.nx);
                EXPECT_EQ(std::max(1, sheet.height / caps.vertSize), t.ny);
                EXPECT_EQ(static_cast<size_t>(t.nx * t.ny), t.pages.size());
                double sw = 0, sh = 0;
                for (int i = 0; i < t.nx; ++i) sw += t.Page(i, 0).right - t.Page(i, 0).left;
                for (int j = 0; j < t.ny; ++j) sh += t.Page(0, j).bottom - t.Page(0, j).top;
                const double w = region.right - region.left, h = region.top - region.bottom;
                EXPECT_DOUBLE_EQ(std::min(sw / w, sh / h), t.scale);
                EXPECT_EQ(region.left, t.columns.front().first);
                EXPECT_GE(t.columns.back().second, region.right);
                EXPECT_EQ(region.top, t.rows.front().first);
                EXPECT_GE(t.rows.back().second, region.bottom);
                for (int i = 1; i < t.nx; ++i)
                    EXPECT_EQ(t.columns[i - 1].second, t.columns[i].first);
                for (int j = 1; j < t.ny; ++j) EXPECT_EQ(t.rows[j - 1].second, t.rows[j].first);
            }
}

TEST(PrintLayout, NothingToTileGivesNoPages) {
    TPrintTiling t;
    EXPECT_FALSE(TilePrintSheet({}, {210, 297}, {}, Printer200x287(), t));
    EXPECT_FALSE(TilePrintSheet({0, 100, 100, 0}, {210, 297}, {}, TPrinterCaps{}, t));
    // Margins wider than the page leave no room.
    EXPECT_FALSE(
        TilePrintSheet({0, 100, 100, 0}, {210, 297}, {500, 0, 500, 0}, Printer200x287(), t));
}

// Sheet A4 portrait on a 1500-pixel screen: 5 pixels per mm. A region of
// 1000 x 2000 gives min(1050 / 1000, 1485 / 2000) = 0.7425; tolerance
// round(5 / 0.7425) = 7. The view (0, 1000, 800, 0) keeps its centre
// (400, 500); an 800 x 600 picture spans 1077 / 2 = 538 and 808 / 2 = 404.
TEST(PrintLayout, SheetFitZoomKeepsTheViewCentre) {
    TSheetFitView fit;
    ASSERT_TRUE(
        FitViewToSheet({210, 297}, {0, 2000, 1000, 0}, 1500, 800, 600, {0, 1000, 800, 0}, fit));
    EXPECT_DOUBLE_EQ(0.7425, fit.scale);
    EXPECT_EQ(7, fit.hitTolerance);
    EXPECT_EQ((TRect{-138, 904, 938, 96}), fit.view);
    EXPECT_FALSE(FitViewToSheet({210, 297}, {0, 0, 0, 0}, 1500, 800, 600, {}, fit));
}
