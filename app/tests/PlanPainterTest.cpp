// The main window's plan painter on the generated plan of 3,000 branches:
// the steps of a drag are painted from the picture of what stays still,
// kept while the drag lasts, and drawn again only when that changes.
#include "app/ui/PlanPainter.h"
#include "document/DrawingGlobals.h"
#include "document/TextFigures.h"
#include "document/testing/GeneratedPlan.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace arv;

namespace {

struct PlanPainterTest : ::testing::Test {
    TGeneratedPlan plan;
    TGCollFigure& doc = plan.doc;
    TPlanPainter painter;
    QImage image{1600, 1000, QImage::Format_RGB32};
    // Flow labels drawn: one per branch that the pass draws.
    int flowLabels = 0;
    const TPlanPainter::TUnderlay white = [](QPainter& p, int top, int bottom) {
        p.fillRect(0, top, 1600, bottom - top, Qt::white);
    };

    PlanPainterTest() {
        auto label = doc.OnDrawLabel;
        doc.OnDrawLabel = [this, label](TCanvas& dc, int32_t number, int32_t record, int32_t value,
                                        TLabelTextOut out, TGCollFigure& d) {
            flowLabels += record == 1;
            return label(dc, number, record, value, out, d);
        };
    }
    ~PlanPainterTest() override { DrawingGlobals().ShowJunctions = 0; }
    QImage Full() {
        QImage full(image.size(), image.format());
        TPlanPainter other;
        other.Paint(full, doc, white);
        return full;
    }
    void Step(TGCollFigure::THandleHit& hit, TPoint to) {
        doc.DragSelection(hit, to);
        flowLabels = 0;
        painter.PaintMoving(image, doc, doc.DragPart(hit), white);
    }
};

TEST_F(PlanPainterTest, DragStepsPaintOverTheKeptPicture) {
    // A text in the empty right part of the view, the last figure drawn.
    auto* text = static_cast<TGText*>(doc.AddFigure(kKindText));
    TFontRecord font;
    font.size = 14;
    text->SetTextAndFont("Fan station", font, {5000, 2000});
    painter.Paint(image, doc, white);
    doc.BuildVisibleList();
    TGCollFigure::THandleHit hit;
    hit.kind = 3;
    hit.index = doc.Count() - 1;

    // The first step paints the rest of the plan once, the next ones only
    // the text; every step shows what a full paint shows.
    Step(hit, {5200, 1800});
    EXPECT_EQ(3000, flowLabels);
    EXPECT_TRUE(image == Full());
    for (TPoint to : {TPoint{5300, 1500}, TPoint{4800, 900}}) {
        Step(hit, to);
        EXPECT_EQ(0, flowLabels);
        EXPECT_TRUE(image == Full());
    }
}

TEST_F(PlanPainterTest, TheKeptPictureGoesWhenTheRestOrTheViewChanges) {
    painter.Paint(image, doc, white);
    // A node in the middle: its four branches and the twelve that meet them
    // at their far ends.
    auto nodeAt = [&](TPoint p) {
        for (int32_t i = 0; i < doc.nodes.Count(); ++i)
            if (doc.nodes.Record(i).point == p) return i;
        return -1;
    };
    TGCollFigure::THandleHit hit;
    hit.kind = 2;
    hit.index = nodeAt({2000, 2000});
    ASSERT_GE(hit.index, 0);
    Step(hit, {2030, 2020});
    EXPECT_EQ(3000, flowLabels);
    Step(hit, {2040, 2020});
    EXPECT_EQ(16, flowLabels);
    // Dropped onto its neighbour the node merges: the rest is not what it was.
    const TPoint next{2100, 2000};
    Step(hit, next);
    EXPECT_EQ(hit.index, nodeAt(next));
    EXPECT_EQ(3000, flowLabels);
    Step(hit, {next.x, next.y + 10});
    EXPECT_LT(flowLabels, 30);
    // A scroll, and a full paint in between, start the picture anew.
    doc.Scroll(2, 10);
    Step(hit, {next.x, next.y + 20});
    EXPECT_EQ(3000, flowLabels);
    painter.Paint(image, doc, white);
    Step(hit, {next.x, next.y + 30});
    EXPECT_EQ(3000, flowLabels);
    // Released, the window paints the whole plan: as one would from scratch.
    painter.Paint(image, doc, white);
    EXPECT_TRUE(image == Full());
}

} // namespace
