// The generated plan of 3,000 branches, some of them sloped, with every label
// kind, painted the way the main window paints it (in bands on several
// threads) and straight onto the picture on one thread: the pictures are
// equal pixel for pixel at every zoom and band count, with and without band
// joins, and parts of the plan (what a drag repaints) draw only what they
// hold.
#include "DocTestSupport.h"
#include "document/Geometry.h"
#include "document/testing/GeneratedPlan.h"
#include "platform/Cp1251.h"
#include "platform/qt/BandRenderer.h"
#include "platform/qt/QtCanvas.h"

#include <QImage>
#include <QPainter>
#include <cmath>

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
    // The sloped branches' names and numbers turn with them and reach into
    // a band from a point above its picture at some band count and zoom.
    auto same = [&](const char* what) {
        const QImage serial = Serial(doc);
        for (int bands : {3, 7, 11}) {
            renderer.SetBands(bands);
            EXPECT_TRUE(Bands(doc) == serial) << what << ", " << bands << " bands";
        }
    };
    same("whole plan");
    // Nearer: wider bands, larger labels across the bands' edges, up to
    // names a few hundred pixels long.
    for (double scale : {0.6, 1.3, 2.2}) {
        // Towards a row of sloped branches.
        while (doc.scale < scale) doc.ZoomInAt(doc.WorldToScreen({1950, 2150}));
        same(("zoomed in to " + std::to_string(doc.scale)).c_str());
    }
    // Quick-draw: no band joins.
    WindowState().QuickDrawFlag = 1;
    same("quick-draw");
}

// A sparse plan of 48 sloped branches, one every 7.5 degrees round, with
// long names: few lines stretch a band's picture, so a turned name or number
// often starts above the picture of a band it reaches into.
TEST_F(LargePlan, SlopedNamesInBandsComeOutAsInTheSerialPass) {
    TGCollFigure doc;
    for (int i = 0; i < 48; ++i) {
        const double a = (i * 7.5 - 180) * kPi / 180;
        const TPoint from{150 + (i % 8) * 420, 150 + (i / 8) * 330};
        const TPoint to{from.x + RoundI(260 * std::cos(a)), from.y + RoundI(260 * std::sin(a))};
        TGLine* line = AddLine(doc, from, to, i + 1);
        line->name = Ru("Уклон вентиляционный ") + std::to_string(i + 1);
    }
    doc.display.branchNames = 1;
    doc.display.branchNumbers = 1;
    doc.clientWidth = kWidth;
    doc.clientHeight = kHeight;
    doc.BuildVisibleList();
    for (double scale : {0.5, 1.0, 1.5, 2.22}) {
        doc.scale = scale;
        doc.SetViewRect({0, 2100, RoundI(kWidth / scale), 2100 - RoundI(kHeight / scale)});
        const QImage serial = Serial(doc);
        for (int bands : {3, 7, 11}) {
            renderer.SetBands(bands);
            EXPECT_TRUE(Bands(doc) == serial) << "scale " << scale << ", " << bands << " bands";
        }
    }
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
