// Painting in bands on several threads against painting straight onto the
// picture: the pictures must be equal pixel for pixel, whatever crosses the
// bands' edges (slanted and dotted hairlines, whose steps and dots depend on
// where a picture clips them, wide pens, outlines, arcs, turned texts and
// texts written piece after piece from the current position), and whatever
// the sections the drawing is cut into, each painted while the next is drawn.
#include "platform/qt/BandRenderer.h"
#include "platform/Cp1251.h"
#include "platform/WorkerPool.h"
#include "platform/qt/QtCanvas.h"

#include <QImage>
#include <QPainter>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <stdexcept>

#include <gtest/gtest.h>

using namespace arv;

namespace {

constexpr int kW = 420, kH = 300;

// A plan-like scene that runs over every edge of the picture too.
void Scene(TCanvas& c) {
    for (int i = 0; i < 48; ++i) {
        const double a = i * 0.1309;
        const int x = 30 + (i * 37) % 360, y = 20 + (i * 53) % 260;
        const int len = 40 + (i * 29) % 260;
        c.pen = TPen{0x000000 + i * 0x050301, 1, TPenStyle::Solid, TPenMode::Copy};
        if (i % 4 == 1) c.pen.style = TPenStyle::Dot;
        if (i % 4 == 2) c.pen.style = TPenStyle::DashDot;
        if (i % 7 == 3) c.pen.width = 3 + i % 5;
        c.MoveTo(x, y);
        c.LineTo(x + static_cast<int>(len * std::cos(a)), y + static_cast<int>(len * std::sin(a)));
    }
    c.EndSection();
    c.pen = TPen{0x202080, 1};
    c.brush = TBrush{0xC0E0FF, TBrushStyle::Solid};
    const TCanvasPoint band[4] = {{10, 40}, {400, 170}, {396, 182}, {6, 52}};
    c.Polygon(band, 4);
    c.EndSection();
    c.brush.style = TBrushStyle::DiagCross;
    const TCanvasPoint tri[3] = {{200, -30}, {330, 140}, {90, 250}};
    c.Polygon(tri, 3);
    const TCanvasPoint path[5] = {{5, 290}, {80, 10}, {150, 280}, {260, 15}, {415, 330}};
    c.Polyline(path, 5);
    c.brush = TBrush{0x00FF00, TBrushStyle::Solid};
    c.Ellipse(120, 60, 260, 230);
    c.pen.width = 4;
    c.Arc(60, 100, 380, 290, 380, 100, 60, 290);
    c.pen.width = 1;
    c.Pie(300, 10, 400, 110, 400, 60, 350, 10);
    c.Rectangle(15, 120, 90, 205);
    c.RoundRect(330, 200, 410, 290, 20, 20);
    c.brush.colour = 0xFFFF80;
    c.FillRect({250, 240, 300, 260});
    TBitmap32 pic(5, 3, 0xFF2060C0);
    pic.SetPixel(0, 2, 0xFFFFFFFF);
    c.StretchDraw({140, 130, 190, 175}, pic, true);
    c.SetPixel(7, 61, 0x0000FF);
    c.EndSection();

    c.brush.style = TBrushStyle::Clear;
    c.font = TFont{};
    c.font.height = -13;
    for (int i = 0; i < 24; ++i) {
        c.font.escapement = (i % 5 - 2) * 450;
        c.font.colour = 0x400000 + i * 0x000905;
        c.font.style = i % 3 == 0 ? kFontItalic : 0;
        c.SetTextAlign(i % 2 ? kTaBottom : kTaLeft | kTaTop);
        c.TextOut(20 + (i * 71) % 380, (i * 43) % kH, Ru("Штрек ") + std::to_string(i));
    }
    c.EndSection();
    // Pieces from the current position, one colour each.
    c.SetTextAlign(kTaUpdateCp);
    c.SetBackgroundTransparent(true);
    c.font.escapement = 300;
    c.MoveTo(150, 125);
    for (const char* piece : {"[", "12,5", "]"}) {
        c.font.colour = piece[0] == '[' || piece[0] == ']' ? 0xFF0000 : 0;
        c.TextOut(0, 0, piece);
    }
    // An opaque text cell.
    c.SetTextAlign(kTaLeft | kTaTop);
    c.SetBackgroundTransparent(false);
    c.brush = TBrush{0xE0E0E0, TBrushStyle::Solid};
    c.font.escapement = 0;
    c.TextOut(300, 122, "(1234)");
    c.SetClipRect({0, 0, kW, 200});
    c.pen = TPen{0x0000FF, 2};
    c.MoveTo(0, 260);
    c.LineTo(kW, 150);
    c.NoClip();
    // A late section's dotted line from top to bottom: a band's picture
    // cannot foresee it and is painted again whole.
    c.pen = TPen{0x008000, 1, TPenStyle::Dot, TPenMode::Copy};
    c.MoveTo(3, -20);
    c.LineTo(411, kH + 25);
}

QImage Straight(QColor fill) {
    QImage img(kW, kH, QImage::Format_RGB32);
    img.fill(fill);
    TQtCanvas c(img);
    Scene(c);
    return img;
}

} // namespace

TEST(BandRenderer, BandsPaintWhatDrawingStraightOntoThePicturePaints) {
    const QImage expected = Straight(Qt::white);
    TBandRenderer renderer(3);
    for (int bands : {1, 2, 5, 7, 16}) {
        renderer.SetBands(bands);
        QImage img(kW, kH, QImage::Format_RGB32);
        img.fill(Qt::white);
        int draws = 0;
        renderer.Render(img, [&](TCanvas& c) {
            ++draws;
            Scene(c);
        });
        EXPECT_EQ(1, draws);
        EXPECT_TRUE(img == expected) << bands << " bands";
    }
}

// Turned texts of every alignment, at angles all round, some on an opaque
// cell, each written from a point in the rows of a band's edge and reaching
// into the bands above and below: a band whose picture starts below the
// text's point must place its glyphs on the rows the picture straight onto
// the target gives them.
TEST(BandRenderer, TurnedTextsOfEveryAlignmentComeOutWhereTheyDoStraight) {
    const uint32_t aligns[] = {
        kTaLeft | kTaTop,      kTaCenter | kTaTop,      kTaRight | kTaTop,
        kTaLeft | kTaBottom,   kTaCenter | kTaBottom,   kTaRight | kTaBottom,
        kTaLeft | kTaBaseline, kTaCenter | kTaBaseline, kTaRight | kTaBaseline};
    auto scene = [&](TCanvas& c) {
        c.font = TFont{};
        c.brush.colour = 0xD0F0E0;
        int i = 0;
        for (int angle = -1800; angle < 1800; angle += 75) {
            for (int size : {-11, -17}) {
                const uint32_t align = aligns[i % std::size(aligns)];
                c.font.height = size;
                c.font.escapement = angle;
                c.font.colour = 0x200000 + i * 0x000507;
                c.SetTextAlign(align);
                c.brush.style = i % 4 == 3 ? TBrushStyle::Solid : TBrushStyle::Clear;
                // Rows near multiples of a seventh and of an eleventh of the
                // height: the edges of 7 and 11 bands.
                const int y = (i % 2 ? kH * (i % 7) / 7 : kH * (i % 11) / 11) + i % 5 - 2;
                c.TextOut(15 + (i * 53) % (kW - 30), y, Ru("Штрек W") + std::to_string(i));
                ++i;
            }
        }
    };
    QImage expected(kW, kH, QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        TQtCanvas c(expected);
        scene(c);
    }
    TBandRenderer renderer(3);
    for (int bands : {3, 7, 11, 18}) {
        renderer.SetBands(bands);
        QImage img(kW, kH, QImage::Format_RGB32);
        img.fill(Qt::white);
        renderer.Render(img, scene);
        int differ = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if (img.pixel(x, y) != expected.pixel(x, y)) ++differ;
        EXPECT_EQ(0, differ) << bands << " bands";
    }
}

TEST(BandRenderer, TheUnderlayPaintsEachBandElseThePictureIsKept) {
    QImage expected = Straight(QColor(250, 240, 200));
    TBandRenderer renderer(2);
    renderer.SetBands(6);
    QImage img(kW, kH, QImage::Format_RGB32);
    img.fill(Qt::black);
    renderer.Render(img, Scene, [](QPainter& p, int top, int bottom) {
        // Painted everywhere: only the band's rows may take it.
        p.fillRect(QRect(-10, -10, kW + 20, kH + 20), QColor(250, 240, 200));
        EXPECT_LT(top, bottom);
    });
    EXPECT_TRUE(img == expected);

    // Without an underlay the drawing goes over what the picture holds.
    QImage base(kW, kH, QImage::Format_RGB32);
    base.fill(Qt::white);
    {
        QPainter p(&base);
        p.fillRect(0, 0, kW, kH / 3, QColor(30, 90, 30));
    }
    expected = base.copy();
    {
        TQtCanvas c(expected);
        Scene(c);
    }
    renderer.Render(base, Scene);
    EXPECT_TRUE(base == expected);
}

TEST(BandRenderer, TextsMeasureAsOnThePicture) {
    QImage img(kW, kH, QImage::Format_RGB32);
    TQtCanvas direct(img);
    TBandRenderer renderer(1);
    renderer.Render(img, [&](TCanvas& c) {
        for (int32_t height : {-9, -13, 20}) {
            c.font.height = direct.font.height = height;
            c.font.escapement = direct.font.escapement = 900;
            for (const char* text : {"W17", "(2981)", "[45,5]", ""}) {
                EXPECT_EQ(direct.TextExtent(text), c.TextExtent(text)) << text;
            }
        }
        EXPECT_EQ(96, c.PixelsPerInch());
    });
}

// A drawing that fails still lets every band finish; the failure reaches
// the caller and the next picture is whole.
TEST(BandRenderer, AFailingDrawingIsPassedOnAndTheNextPictureIsWhole) {
    TBandRenderer renderer(3);
    QImage img(kW, kH, QImage::Format_RGB32);
    EXPECT_THROW(renderer.Render(img,
                                 [](TCanvas& c) {
                                     c.MoveTo(0, 0);
                                     c.LineTo(kW, kH);
                                     c.EndSection();
                                     throw std::runtime_error("drawing");
                                 }),
                 std::runtime_error);
    img.fill(Qt::white);
    renderer.Render(img, [](TCanvas& c) { Scene(c); });
    EXPECT_TRUE(img == Straight(Qt::white));
}

TEST(WorkerPool, RunsEveryPartOnceAndPassesOnAFailure) {
    TWorkerPool pool(3);
    EXPECT_EQ(4, pool.Threads());
    for (int round = 0; round < 50; ++round) {
        std::vector<std::atomic<int>> runs(37);
        pool.Run(37, [&](int i) { ++runs[static_cast<size_t>(i)]; });
        for (auto& r : runs) ASSERT_EQ(1, r.load());
    }
    std::atomic<int> done{0};
    EXPECT_THROW(pool.Run(20,
                          [&](int i) {
                              ++done;
                              if (i == 7) throw std::runtime_error("part 7");
                          }),
                 std::runtime_error);
    EXPECT_EQ(20, done.load()); // the others still ran
    int after = 0;
    pool.Run(1, [&](int) { ++after; });
    EXPECT_EQ(1, after);
    TWorkerPool alone(0);
    int sum = 0;
    alone.Run(5, [&](int i) { sum += i; });
    EXPECT_EQ(10, sum);
}

// Started parts run while the caller does its own work, and may wait for it.
TEST(WorkerPool, StartedPartsRunWhileTheCallerWorks) {
    TWorkerPool pool(2);
    for (int round = 0; round < 20; ++round) {
        std::mutex m;
        std::condition_variable cv;
        bool ready = false;
        std::atomic<int> runs{0};
        const std::function<void(int)> part = [&](int) {
            std::unique_lock lock(m);
            cv.wait(lock, [&] { return ready; });
            ++runs;
        };
        pool.Start(5, part);
        {
            std::lock_guard lock(m);
            ready = true;
        }
        cv.notify_all();
        pool.Finish();
        EXPECT_EQ(5, runs.load());
    }
}
