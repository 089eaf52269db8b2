// The generated plan of 3,000 branches with every label kind, painted the
// way the main window paints it (in bands on several threads) and straight
// onto the picture on one thread: the pictures are equal pixel for pixel at
// every zoom, with and without band joins, and parts of the plan (what a
// drag repaints) draw only what they hold.
#include "DocTestSupport.h"
#include "document/testing/GeneratedPlan.h"
#include "platform/qt/BandRenderer.h"
#include "platform/qt/QtCanvas.h"

#include <QImage>
#include <QPainter>

namespace arv::test {
namespace {

class LargePlan : public DocTest {
protected:
    QImage Serial(TGCollFigure& doc, const TDrawPart* part = nullptr) {
        QImage img(kWidth, kHeight, QImage::Format_RGB32);
        img.fill(Qt::white);
        TQtCanvas canvas(img);
        doc.Draw(canvas, false, part);
        return img;
    }
    QImage Bands(TGCollFigure& doc) {
        QImage img(kWidth, kHeight, QImage::Format_RGB32);
        renderer.Render(
            img, [&](TCanvas& c) { doc.Draw(c, false); },
            [](QPainter& p, int top, int bottom) {
                p.fillRect(0, top, kWidth, bottom - top, Qt::white);
            });
        return img;
    }
    static constexpr int kWidth = 1600, kHeight = 1000;
    TBandRenderer renderer;
};

TEST_F(LargePlan, BandsPaintWhatTheSerialPassPaintsAtEveryZoom) {
    TGeneratedPlan plan;
    TGCollFigure& doc = plan.doc;
    EXPECT_TRUE(Bands(doc) == Serial(doc)) << "whole plan";
    // Nearer: wider bands, larger and turned labels across the bands' edges.
    doc.ZoomInAt({800, 500});
    doc.ZoomInAt({810, 480});
    doc.ZoomInAt({830, 470});
    EXPECT_TRUE(Bands(doc) == Serial(doc)) << "zoomed in";
    // Quick-draw: no band joins.
    WindowState().QuickDrawFlag = 1;
    EXPECT_TRUE(Bands(doc) == Serial(doc)) << "quick-draw";
}

TEST_F(LargePlan, APartDrawsOnlyItsFiguresLabelsAndNodes) {
    TGeneratedPlan plan;
    TGCollFigure& doc = plan.doc;
    const QImage whole = Serial(doc);
    // The part that holds everything is the whole plan.
    const TDrawPart all = doc.OtherPart({});
    EXPECT_TRUE(whole == Serial(doc, &all));
    // An empty part draws nothing.
    TDrawPart none;
    none.nodes.assign(static_cast<size_t>(doc.nodes.Count()), 0);
    QImage blank(kWidth, kHeight, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_TRUE(Serial(doc, &none) == blank);
    // A node's drag part drawn over the rest differs from the whole plan
    // only near that node, where it is drawn over what follows it.
    TGCollFigure::THandleHit hit;
    hit.kind = 2;
    hit.index = 20 * 40 + 20;
    const TDrawPart moving = doc.DragPart(hit);
    const TDrawPart still = doc.OtherPart(moving);
    QImage both = Serial(doc, &still);
    {
        TQtCanvas canvas(both);
        doc.Draw(canvas, false, &moving);
    }
    const TPoint at = doc.WorldToScreen(doc.nodes.Record(hit.index).point);
    QRect changed;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (both.pixel(x, y) != whole.pixel(x, y)) changed |= QRect(x, y, 1, 1);
    // Two branches (50 pixels each) and their labels on each side.
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_TRUE(QRect(at.x - 100, at.y - 100, 200, 200).contains(changed));
}

} // namespace
} // namespace arv::test
