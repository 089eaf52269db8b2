// Pixel tests of the canvas: each pins one rule of the device-context
// semantics that the plan's drawing code was written against.
#include "platform/Cp1251.h"
#include "platform/FontTable.h"
#include "platform/RecordingCanvas.h"
#include "platform/qt/QtCanvas.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QPdfWriter>

#include <gtest/gtest.h>

using namespace arv;

namespace {

constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kBlack = 0;
constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kGreen = 0x008000;

struct Surface {
    QImage image;
    explicit Surface(int w = 40, int h = 40, int32_t fill = kWhite)
        : image(w, h, QImage::Format_RGB32) {
        image.fill(QColor(fill & 0xFF, (fill >> 8) & 0xFF, (fill >> 16) & 0xFF));
    }
    int32_t At(int x, int y) const {
        QRgb p = image.pixel(x, y);
        return qRed(p) | (qGreen(p) << 8) | (qBlue(p) << 16);
    }
    // Pixels that are not the given colour.
    int Count(int32_t notColour) const {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += At(x, y) != notColour;
        return n;
    }
    // Bounding box of the pixels that differ from the colour.
    QRect Ink(int32_t background = kWhite) const { return InkIn(image.rect(), background); }
    QRect InkIn(QRect region, int32_t background = kWhite) const {
        QRect r;
        region = region.intersected(image.rect());
        for (int y = region.top(); y <= region.bottom(); ++y)
            for (int x = region.left(); x <= region.right(); ++x)
                if (At(x, y) != background) r = r.united(QRect(x, y, 1, 1));
        return r;
    }
};

} // namespace

TEST(CanvasLines, LineToLeavesOutTheLastPixelAndMovesThePen) {
    Surface s;
    {
        TQtCanvas c(s.image);
        c.MoveTo(2, 5);
        c.LineTo(10, 5);
        EXPECT_EQ((TCanvasPoint{10, 5}), c.PenPos());
        c.MoveTo(3, 20);
        c.LineTo(3, 30);
    }
    for (int x = 2; x < 10; ++x) EXPECT_EQ(kBlack, s.At(x, 5)) << x;
    EXPECT_EQ(kWhite, s.At(10, 5));
    EXPECT_EQ(kWhite, s.At(1, 5));
    EXPECT_EQ(kBlack, s.At(3, 29));
    EXPECT_EQ(kWhite, s.At(3, 30));
    EXPECT_EQ(8 + 10, s.Count(kWhite));
}

TEST(CanvasLines, PenStylesOfHairlinesAndWidePens) {
    Surface s(120, 40);
    {
        TQtCanvas c(s.image);
        c.pen.style = TPenStyle::Dash;
        c.MoveTo(0, 2);
        c.LineTo(100, 2);
        c.pen.style = TPenStyle::Dot;
        c.MoveTo(0, 6);
        c.LineTo(100, 6);
        c.pen.style = TPenStyle::Clear;
        c.MoveTo(0, 10);
        c.LineTo(100, 10);
        // A dashed pen wider than one pixel draws solid.
        c.pen.style = TPenStyle::Dash;
        c.pen.width = 3;
        c.MoveTo(10, 20);
        c.LineTo(100, 20);
    }
    // Dash: 18 on, 6 off.
    EXPECT_EQ(kBlack, s.At(0, 2));
    EXPECT_EQ(kBlack, s.At(17, 2));
    EXPECT_EQ(kWhite, s.At(18, 2));
    EXPECT_EQ(kWhite, s.At(23, 2));
    EXPECT_EQ(kBlack, s.At(24, 2));
    // Dot: 3 on, 3 off.
    EXPECT_EQ(kBlack, s.At(2, 6));
    EXPECT_EQ(kWhite, s.At(3, 6));
    EXPECT_EQ(kWhite, s.At(5, 6));
    EXPECT_EQ(kBlack, s.At(6, 6));
    for (int x = 0; x < 100; ++x) EXPECT_EQ(kWhite, s.At(x, 10));
    for (int x = 10; x < 100; ++x) ASSERT_EQ(kBlack, s.At(x, 20)) << x;
}

TEST(CanvasLines, WidePensHaveRoundEnds) {
    Surface s;
    {
        TQtCanvas c(s.image);
        c.pen.width = 9;
        c.MoveTo(15, 20);
        c.LineTo(25, 20);
    }
    // The round end reaches half the width past the end point on the axis,
    // but not into the corner of the square a flat or square end would fill.
    EXPECT_EQ(kBlack, s.At(12, 20));
    EXPECT_EQ(kBlack, s.At(28, 20));
    EXPECT_EQ(kWhite, s.At(11, 16));
    EXPECT_EQ(kWhite, s.At(29, 24));
    EXPECT_EQ(kBlack, s.At(20, 16));
    EXPECT_EQ(kBlack, s.At(20, 24));
}

TEST(CanvasLines, NotXorDrawnTwiceLeavesThePictureAsItWas) {
    Surface s(40, 40, kGreen);
    {
        TQtCanvas c(s.image);
        c.brush.colour = kRed;
        c.FillRect({0, 0, 20, 40});
    }
    QImage before = s.image.copy();
    {
        TQtCanvas c(s.image);
        c.pen.mode = TPenMode::NotXor;
        c.pen.colour = kBlack;
        c.brush.style = TBrushStyle::Clear;
        c.Rectangle(5, 5, 35, 30);
        c.MoveTo(0, 35);
        c.LineTo(39, 35);
    }
    // Black in not-xor inverts: red becomes cyan, green becomes magenta-ish.
    EXPECT_EQ(0xFFFF00, s.At(5, 10));
    EXPECT_EQ(0xFF7FFF, s.At(34, 10));
    {
        TQtCanvas c(s.image);
        c.pen.mode = TPenMode::NotXor;
        c.brush.style = TBrushStyle::Clear;
        c.Rectangle(5, 5, 35, 30);
        c.MoveTo(0, 35);
        c.LineTo(39, 35);
    }
    EXPECT_EQ(before, s.image);
}

TEST(CanvasShapes, RectangleEllipseAndRoundRectLeaveOutRightAndBottom) {
    Surface s;
    {
        TQtCanvas c(s.image);
        c.brush.colour = kRed;
        c.Rectangle(2, 2, 10, 8);
        c.Ellipse(20, 0, 31, 11);
        c.RoundRect(2, 20, 20, 35, 6, 6);
    }
    EXPECT_EQ(kBlack, s.At(2, 2));
    EXPECT_EQ(kBlack, s.At(9, 2));
    EXPECT_EQ(kBlack, s.At(9, 7));
    EXPECT_EQ(kWhite, s.At(10, 5));
    EXPECT_EQ(kWhite, s.At(5, 8));
    EXPECT_EQ(kRed, s.At(5, 5));
    EXPECT_EQ(QRect(20, 0, 11, 11), s.InkIn(QRect(20, 0, 20, 18)));
    EXPECT_EQ(kRed, s.At(25, 5));
    EXPECT_EQ(kWhite, s.At(20, 0)); // the corner of the box is outside the ellipse
    EXPECT_EQ(QRect(2, 20, 18, 15), s.InkIn(QRect(0, 18, 40, 22)));
    EXPECT_EQ(kWhite, s.At(2, 20)); // rounded corner
    EXPECT_EQ(kBlack, s.At(10, 20));
}

TEST(CanvasShapes, ArcPieAndChordRunCounterClockwiseBetweenRays) {
    Surface s(100, 50);
    {
        TQtCanvas c(s.image);
        // From the ray to the right round to the ray upwards: the upper right quarter.
        c.Arc(0, 0, 41, 41, 40, 20, 20, 0);
        c.brush.colour = kRed;
        // From the ray upwards to the ray to the right: three quarters, filled.
        c.Pie(50, 0, 91, 41, 70, 0, 90, 20);
    }
    EXPECT_NE(kWhite, s.At(34, 6));
    EXPECT_EQ(kWhite, s.At(6, 34));
    EXPECT_EQ(kWhite, s.At(6, 6));
    EXPECT_EQ(kRed, s.At(60, 30)); // lower left of the pie: inside
    EXPECT_EQ(kRed, s.At(60, 10));
    EXPECT_EQ(kWhite, s.At(80, 10)); // the missing quarter
    Surface chord(50, 50);
    {
        TQtCanvas c(chord.image);
        c.brush.colour = kRed;
        c.Chord(0, 0, 41, 41, 40, 20, 0, 20); // upper half
    }
    EXPECT_EQ(kRed, chord.At(20, 10));
    EXPECT_EQ(kWhite, chord.At(20, 30));
}

TEST(CanvasShapes, PolygonFillsByEvenOddAndPolylineStaysOpen) {
    Surface s(60, 60);
    {
        TQtCanvas c(s.image);
        c.brush.colour = kRed;
        c.pen.colour = kGreen;
        // Two overlapping squares as one outline: the overlap is outside.
        TCanvasPoint p[] = {{0, 0},   {30, 0},  {30, 30}, {10, 30},
                            {10, 10}, {40, 10}, {40, 40}, {0, 40}};
        c.Polygon(p, 8);
        TCanvasPoint q[] = {{45, 5}, {55, 5}, {55, 15}};
        c.Polyline(q, 3);
    }
    EXPECT_EQ(kRed, s.At(5, 5));
    EXPECT_EQ(kWhite, s.At(20, 20)); // overlap
    EXPECT_EQ(kRed, s.At(35, 35));
    EXPECT_EQ(kGreen, s.At(50, 5));
    EXPECT_EQ(kWhite, s.At(50, 10)); // not closed: no fill, no closing side
}

TEST(CanvasBrushes, ClearAndHatchedBrushesKeepWhatIsBehind) {
    Surface s(90, 20, kGreen);
    {
        TQtCanvas c(s.image);
        c.pen.style = TPenStyle::Clear;
        c.brush.colour = kRed;
        c.brush.style = TBrushStyle::Clear;
        c.Rectangle(0, 0, 16, 16);
        c.brush.style = TBrushStyle::Horizontal;
        c.Rectangle(20, 0, 36, 16);
        c.brush.style = TBrushStyle::FDiagonal;
        c.Rectangle(40, 0, 56, 16);
        c.brush.style = TBrushStyle::BDiagonal;
        c.Rectangle(60, 0, 76, 16);
    }
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 16; ++y) ASSERT_EQ(kGreen, s.At(x, y));
    int redRows = 0;
    for (int y = 0; y < 15; ++y) {
        bool red = s.At(25, y) == kRed;
        redRows += red;
        // A horizontal hatch is whole rows.
        for (int x = 20; x < 35; ++x) ASSERT_EQ(red, s.At(x, y) == kRed) << x << "," << y;
    }
    EXPECT_GE(redRows, 1);
    EXPECT_LE(redRows, 3);
    // Forward diagonal runs down to the right, backward diagonal up to the right.
    for (int y = 1; y < 13; ++y)
        for (int x = 41; x < 53; ++x) {
            if (s.At(x, y) == kRed) {
                ASSERT_EQ(kRed, s.At(x + 1, y + 1));
            }
            if (s.At(x + 20, y) == kRed) {
                ASSERT_EQ(kRed, s.At(x + 21, y - 1));
            }
        }
    EXPECT_GT(s.Count(kGreen), 20);
}

TEST(CanvasText, AlignmentAndTheCurrentPosition) {
    Surface s(200, 100);
    TQtCanvas c(s.image);
    c.brush.style = TBrushStyle::Clear;
    c.font.height = -16;
    TCanvasSize e = c.TextExtent("Wx");
    EXPECT_GT(e.cx, 16);
    EXPECT_GE(e.cy, 16);
    EXPECT_EQ(c.TextWidth("WxWx"), 2 * e.cx);
    c.SetTextAlign(kTaLeft | kTaTop);
    c.TextOut(10, 10, "Wx");
    c.Finish();
    QRect ink = s.Ink();
    EXPECT_GE(ink.top(), 10);
    EXPECT_LE(ink.bottom(), 10 + e.cy);
    EXPECT_GE(ink.left(), 10);
    EXPECT_LE(ink.right(), 10 + e.cx);

    Surface t(200, 100);
    TQtCanvas d(t.image);
    d.brush.style = TBrushStyle::Clear;
    d.font.height = -16;
    EXPECT_EQ(kTaLeft | kTaTop, d.SetTextAlign(kTaRight | kTaBottom));
    d.TextOut(100, 50, "Wx");
    d.Finish();
    ink = t.Ink();
    EXPECT_LE(ink.right(), 100);
    EXPECT_GE(ink.left(), 100 - e.cx - 1);
    EXPECT_LE(ink.bottom(), 50);

    TQtCanvas cp(s.image);
    cp.font.height = -16;
    cp.SetTextAlign(kTaUpdateCp);
    cp.MoveTo(20, 60);
    cp.TextOut(0, 0, "Wx");
    EXPECT_EQ((TCanvasPoint{20 + e.cx, 60}), cp.PenPos());
    cp.TextOut(0, 0, "Wx");
    EXPECT_EQ((TCanvasPoint{20 + 2 * e.cx, 60}), cp.PenPos());
    // Turned by 90 degrees the position climbs.
    cp.font.escapement = 900;
    cp.MoveTo(150, 90);
    cp.TextOut(0, 0, "Wx");
    EXPECT_EQ((TCanvasPoint{150, 90 - e.cx}), cp.PenPos());
    cp.SetTextAlign(kTaUpdateCp | kTaRight);
    cp.font.escapement = 0;
    cp.MoveTo(100, 80);
    cp.TextOut(0, 0, "Wx");
    EXPECT_EQ((TCanvasPoint{100 - e.cx, 80}), cp.PenPos());
}

TEST(CanvasText, EscapementTurnsAboutTheReferencePoint) {
    Surface s(100, 100);
    {
        TQtCanvas c(s.image);
        c.brush.style = TBrushStyle::Clear;
        c.font.height = -14;
        c.font.escapement = 900; // reads upward
        c.SetTextAlign(kTaLeft | kTaBottom);
        c.TextOut(50, 90, "Wwwwww");
    }
    QRect ink = s.Ink();
    // Turned a quarter to the left, the text climbs from the point and the
    // cell's bottom edge lies on the point's vertical, the cell left of it.
    EXPECT_LE(ink.bottom(), 90);
    EXPECT_LT(ink.top(), 60);
    EXPECT_LE(ink.right(), 50);
    EXPECT_GE(ink.left(), 50 - 17);
    EXPECT_GT(ink.height(), ink.width());
}

TEST(CanvasText, OpaqueBackgroundFillsTheCell) {
    Surface s(100, 40);
    {
        TQtCanvas c(s.image);
        c.font.height = -14;
        c.brush.colour = kRed;
        c.TextOut(5, 5, "ab");
        c.SetBackgroundTransparent(true);
        c.TextOut(50, 5, "ab");
        c.SetBackgroundTransparent(false);
        c.brush.style = TBrushStyle::Clear;
        c.TextOut(5, 24, "a");
        TCanvasSize e = c.TextExtent("ab");
        EXPECT_EQ(kRed, s.At(5, 5));
        EXPECT_EQ(kRed, s.At(5 + e.cx - 1, 5 + e.cy - 1));
        EXPECT_EQ(kWhite, s.At(5 + e.cx, 5));
    }
    EXPECT_EQ(kWhite, s.At(50, 5));
    for (int x = 45; x < 100; ++x)
        for (int y = 0; y < 40; ++y) ASSERT_NE(kRed, s.At(x, y));
    for (int x = 0; x < 45; ++x)
        for (int y = 24; y < 40; ++y) ASSERT_NE(kRed, s.At(x, y));
}

TEST(CanvasText, FontStylesHeightsAndCyrillic) {
    Surface s(200, 60);
    TQtCanvas c(s.image);
    c.font.height = -20;
    TCanvasSize plain = c.TextExtent("Mine");
    c.font.style = kFontBold;
    EXPECT_GT(c.TextExtent("Mine").cx, plain.cx);
    c.font.style = 0;
    // A positive height is the cell height.
    c.font.height = 24;
    EXPECT_NEAR(24, c.TextExtent("M").cy, 1);
    c.SetFontSize(10);
    EXPECT_EQ(-13, c.font.height);
    EXPECT_EQ(10, c.FontSize());
    c.font.height = -16;
    EXPECT_GT(c.TextWidth(Ru("Штрек")), c.TextWidth("Iiiii"));
    c.font.colour = kRed;
    c.brush.style = TBrushStyle::Clear;
    c.font.style = kFontUnderline;
    c.TextOut(0, 0, Ru("Ш"));
    c.Finish();
    EXPECT_GT(s.Count(kWhite), 10);
}

TEST(CanvasText, WindowsFaceNamesMapToInstalledMetricFaces) {
    EXPECT_EQ("Liberation Sans", SubstituteFontFamily("Arial"));
    EXPECT_EQ("Liberation Serif", SubstituteFontFamily("times new roman"));
    EXPECT_EQ("Liberation Mono", SubstituteFontFamily("Courier New"));
    EXPECT_EQ("Liberation Mono", SubstituteFontFamily("Unknown Face", true));
    EXPECT_EQ("Liberation Sans", SubstituteFontFamily("Unknown Face"));
    TFont f;
    f.name = "Times New Roman";
    f.height = -16;
    EXPECT_EQ(QString("Liberation Serif"), QFontInfo(TQtCanvas::MakeQFont(f)).family());
    f.name = "Courier New";
    QFontMetrics m(TQtCanvas::MakeQFont(f));
    EXPECT_EQ(m.horizontalAdvance("iiii"), m.horizontalAdvance("WWWW"));
}

TEST(CanvasBitmaps, StretchDrawLeavesOutTheBottomLeftColour) {
    TBitmap32 b(2, 2);
    b.SetPixel(0, 0, 0xFF0000FF); // blue
    b.SetPixel(1, 0, 0xFF0000FF);
    b.SetPixel(0, 1, 0xFFFF0000); // red: the transparent colour
    b.SetPixel(1, 1, 0xFF0000FF);
    Surface s(20, 20);
    {
        TQtCanvas c(s.image);
        c.StretchDraw({0, 0, 8, 8}, b, true);
        c.Draw(10, 10, b);
    }
    EXPECT_EQ(0xFF0000, s.At(1, 1));
    EXPECT_EQ(0xFF0000, s.At(6, 6));
    EXPECT_EQ(kWhite, s.At(1, 6));
    EXPECT_EQ(kWhite, s.At(8, 1));
    EXPECT_EQ(kRed, s.At(10, 11)); // drawn without transparency
    EXPECT_EQ(kWhite, s.At(12, 12));
}

TEST(CanvasClipAndPixels, ClipRectBoundsDrawingAndPixelsReadBack) {
    Surface s;
    TQtCanvas c(s.image);
    c.SetClipRect({10, 10, 20, 20});
    c.MoveTo(0, 15);
    c.LineTo(39, 15);
    c.NoClip();
    c.SetPixel(3, 3, kRed);
    EXPECT_EQ(kRed, c.GetPixel(3, 3));
    EXPECT_EQ(-1, c.GetPixel(40, 3));
    c.Finish();
    EXPECT_EQ(QRect(3, 3, 1, 1).united(QRect(10, 15, 10, 1)), s.Ink());
}

TEST(CanvasPages, APdfPageTakesLinesAndTextAtItsResolution) {
    const QString file = QDir::temp().filePath("arvalen_canvas_page.pdf");
    QFile::remove(file);
    {
        QPdfWriter pdf(file);
        pdf.setResolution(300);
        TQtCanvas c(&pdf);
        EXPECT_EQ(300, c.PixelsPerInch());
        c.SetFontSize(10);
        EXPECT_EQ(-42, c.font.height);
        c.MoveTo(100, 100);
        c.LineTo(1000, 100);
        c.TextOut(100, 200, Ru("Схема вентиляции"));
        EXPECT_GT(c.TextWidth("Mine"), 50);
    }
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5).startsWith("%PDF"));
    EXPECT_GT(f.size(), 500);
    f.close();
    QFile::remove(file);
}

TEST(RecordingCanvas, KeepsCallsWithTheirStateAndMovesThePosition) {
    TRecordingCanvas c;
    c.pen.width = 3;
    c.MoveTo(1, 2);
    c.LineTo(5, 6);
    c.font.height = -10;
    c.SetTextAlign(kTaUpdateCp);
    c.TextOut(0, 0, "abcd");
    ASSERT_EQ(2u, c.calls.size());
    EXPECT_EQ((TCanvasPoint{1, 2}), c.calls[0].from);
    EXPECT_EQ(3, c.calls[0].pen.width);
    EXPECT_EQ((std::vector<int32_t>{5, 6}), c.calls[1].args);
    EXPECT_EQ((TCanvasSize{24, 12}), c.TextExtent("abcd"));
    EXPECT_EQ((TCanvasPoint{29, 6}), c.PenPos());
}
