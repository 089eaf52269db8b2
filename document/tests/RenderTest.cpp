// The drawing pass and the label passes seen through the recording canvas:
// what is drawn where, with which pen, brush and font.
#include "document/Render.h"
#include "DocTestSupport.h"
#include "document/Labels.h"
#include "document/ShapeFigures.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/RecordingCanvas.h"
#include "platform/StringGrid.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <set>

namespace arv::test {
namespace {

class Render : public DocTest {};

std::vector<std::string> Texts(const TRecordingCanvas& c) {
    std::vector<std::string> out;
    for (const TCanvasCall* t : c.Calls("TextOut")) out.push_back(t->text);
    return out;
}

TEST_F(Render, RotatedFontsAndReadingAnglesNeverReadUpsideDown) {
    TFont f;
    EXPECT_EQ(-850, LogFontRotated(f, 95 * kPi / 180).escapement);
    EXPECT_EQ(-2750, LogFontRotated(f, -95 * kPi / 180).escapement);
    EXPECT_EQ(900, LogFontRotated(f, kPi / 2).escapement);
    EXPECT_EQ(-900, LogFontRotated(f, -kPi / 2).orientation);
    EXPECT_NEAR(kPi / 2, ReadingAngle(kPi / 2), 1e-12);
    EXPECT_NEAR(-89 * kPi / 180, ReadingAngle(91 * kPi / 180), 1e-12);
    EXPECT_NEAR(kPi / 2, ReadingAngle(-kPi / 2), 1e-12);
    EXPECT_NEAR(0.3, ReadingAngle(0.3), 1e-12);
}

TEST_F(Render, RingMarkerSizesAndNumbersAboveAByte) {
    TGCollFigure doc;
    doc.settings.symbolSize = 40;
    TRecordingCanvas c;
    c.pen.colour = 0x123456;
    DrawNodeMarker(doc, c, {100, 100}, {90, 95}, false, 0x00FF00, 1000, 2);
    // R = 13, r = 10: the two-colour ring is 3 wide on radius 11.
    auto arcs = c.Calls("Arc");
    ASSERT_EQ(2u, arcs.size());
    EXPECT_EQ(3, arcs[0]->pen.width);
    EXPECT_EQ(0x00FFFF, arcs[0]->pen.colour);
    EXPECT_EQ((std::vector<int32_t>{89, 89, 111, 111, 100, 89, 100, 111}), arcs[0]->args);
    EXPECT_EQ(0x0000FF, arcs[1]->pen.colour);
    auto circles = c.Calls("Ellipse");
    ASSERT_EQ(3u, circles.size());
    EXPECT_EQ((std::vector<int32_t>{87, 87, 113, 113}), circles[0]->args);
    EXPECT_EQ(0x00FF00, circles[1]->brush.colour);
    EXPECT_EQ((std::vector<int32_t>{90, 90, 110, 110}), circles[1]->args);
    EXPECT_EQ(TBrushStyle::Clear, circles[2]->brush.style);
    EXPECT_EQ((std::vector<std::string>{"1000"}), Texts(c));
    EXPECT_EQ(0x123456, c.pen.colour); // restored
    // Ring kinds 0 and 1: a filled red or yellow ring, 1.5 times for big.
    TRecordingCanvas d;
    DrawNodeMarker(doc, d, {0, 0}, {0, 0}, true, 0xFFFFFF, 7, 1);
    EXPECT_EQ(0x00FFFF, d.Calls("Ellipse")[0]->brush.colour);
    EXPECT_EQ((std::vector<int32_t>{-20, -20, 20, 20}), d.Calls("Ellipse")[0]->args);
}

// One branch A(0,50) -> B(100,50) in a 200 x 100 view at scale 1.
class Labels : public DocTest {
protected:
    void SetUp() override {
        DocTest::SetUp();
        SetSimpleView(doc);
        line = AddLine(doc, {0, 50}, {100, 50}, 5);
        other = AddLine(doc, {100, 50}, {150, 90}, 6);
        doc.BuildVisibleList();
        grid.SetColCount(12);
        grid.SetRowCount(4);
        grid.SetCells(11, 2, "12,5");
        grid.SetCells(11, 3, "7,0");
        WindowState().Datagrid = &grid;
        WindowState().CalcBranchIndex = {{5, 1, 2, 2}, {6, 2, 3, 9}};
        line->Caption(1).b = 0;
        other->Caption(1).b = 1; // row 9 lies beyond the grid's four rows
        doc.display.caption[1] = 1;
        doc.OnDrawLabel = [this](TCanvas& dc, int32_t number, int32_t record, int32_t value,
                                 TLabelTextOut textOut, TGCollFigure&) {
            calls.push_back({number, record, value});
            std::string out;
            if (record == 1) {
                const auto& e = WindowState().CalcBranchIndex.at(static_cast<size_t>(value));
                textOut(dc, {0}, out, {"[" + grid.Cells(11, e.row) + "]"}, 0);
            }
            return false;
        };
    }
    TGCollFigure doc;
    TStringGridModel grid;
    TGLine* line = nullptr;
    TGLine* other = nullptr;
    std::vector<std::array<int32_t, 3>> calls;
};

TEST_F(Labels, FlowLabelsReadTheGridOnlyThroughValidLinks) {
    TRecordingCanvas c;
    doc.Draw(c, false);
    EXPECT_EQ((std::vector<std::array<int32_t, 3>>{{5, 1, 0}}), calls);
    EXPECT_EQ((std::vector<std::string>{"[12,5]"}), Texts(c));
    // The label sits beside the branch middle, on the side away from the name.
    const TCanvasCall* t = c.Calls("TextOut")[0];
    EXPECT_EQ(0, t->font.escapement);
    EXPECT_NE(0u, t->align & kTaUpdateCp);
    EXPECT_GT(t->args[1], 50);
    EXPECT_EQ(0u, c.TextAlign()); // the pass puts the alignment back
}

TEST_F(Labels, PanModeDrawsNoLabelsCalloutsOrJunctions) {
    DrawingGlobals().ShowJunctions = 1;
    doc.settings.showCalcData = 1;
    doc.display.nodeNumbers = 1;
    WindowState().DrawMode = 8;
    TRecordingCanvas c;
    doc.Draw(c, false);
    EXPECT_TRUE(Texts(c).empty());
    EXPECT_TRUE(c.Calls("Ellipse").empty());
    EXPECT_EQ(0, doc.junctionMode);
    // The navigator's overview keeps junctions but draws no labels either;
    // quick drawing after a scroll keeps the labels and drops the junctions.
    WindowState().DrawMode = 0;
    WindowState().NavigatorDrawing = 1;
    TRecordingCanvas n;
    doc.Draw(n, false);
    EXPECT_TRUE(Texts(n).empty());
    EXPECT_EQ(1, doc.junctionMode);
    WindowState().NavigatorDrawing = 0;
    WindowState().QuickDrawFlag = 1;
    TRecordingCanvas q;
    doc.Draw(q, false);
    EXPECT_EQ(0, doc.junctionMode);
    EXPECT_FALSE(Texts(q).empty());
    WindowState().QuickDrawFlag = 0;
    TRecordingCanvas d;
    doc.Draw(d, false);
    EXPECT_EQ(1, doc.junctionMode);
    EXPECT_FALSE(Texts(d).empty());
}

// Paper is no pan: the print and its preview have every label and the
// junctions, whatever tool the window has chosen.
TEST_F(Labels, PaperDrawsLabelsAndJunctionsWithThePanToolChosen) {
    DrawingGlobals().ShowJunctions = 1;
    doc.settings.showCalcData = 1;
    doc.display.nodeNumbers = 1;
    TRecordingCanvas select;
    doc.Draw(select, false);
    WindowState().DrawMode = 8;
    WindowState().QuickDrawFlag = 1;
    TRecordingCanvas paper;
    doc.DrawOnPaper(paper, false);
    EXPECT_EQ(1, doc.junctionsComputed);
    EXPECT_EQ(Texts(select), Texts(paper));
    EXPECT_EQ(select.Calls("Ellipse").size(), paper.Calls("Ellipse").size());
    // The screen in pan mode keeps leaving them out.
    TRecordingCanvas pan;
    doc.Draw(pan, false);
    EXPECT_TRUE(Texts(pan).empty());
}

// A flow value stands centred on its branch's middle at every scale, on
// screen and on paper alike.
TEST_F(Labels, FlowValueIsCentredOnItsBranchAtEveryScale) {
    for (double s : {0.5, 1.0, 2.2, 7.0})
        for (bool paper : {false, true}) {
            SCOPED_TRACE(std::to_string(s) + (paper ? " paper" : " screen"));
            doc.scale = s;
            TRecordingCanvas c;
            paper ? doc.DrawOnPaper(c, false) : doc.Draw(c, false);
            ASSERT_EQ((std::vector<std::string>{"[12,5]"}), Texts(c));
            const TCanvasCall* t = c.Calls("TextOut")[0];
            c.font = t->font;
            const double centre = t->args[0] + c.TextExtent(t->text).cx / 2.0;
            EXPECT_NEAR(doc.WorldToScreen({50, 50}).x, centre, 1.0);
        }
}

TEST_F(Labels, CalloutLinesFrameAndLeader) {
    line->callout.texts = {"12,5", "4,0", "3,1", "100"};
    TRecordingCanvas c;
    doc.DrawFlowCaption(*line, c, line->Begin(), line->End());
    EXPECT_EQ((std::vector<std::string>{"Q=12,5", "S=4,0", "V=3,1", "L=100"}), Texts(c));
    // Leader from the middle (50, 50) to the box 30 pixels right and down.
    ASSERT_EQ(1u, c.Calls("LineTo").size());
    EXPECT_EQ((TCanvasPoint{50, 50}), c.Calls("LineTo")[0]->from);
    EXPECT_EQ((std::vector<int32_t>{80, 80}), c.Calls("LineTo")[0]->args);
    const auto* box = c.Calls("Rectangle")[0];
    const TCanvasSize line0 = c.TextExtent("Q=12,5"); // same font 4
    (void)line0;
    EXPECT_EQ(doc.settings.frameColour, box->brush.colour);
    const int32_t lh = (box->args[3] - box->args[1]) / 4;
    EXPECT_EQ(4 * lh, box->args[3] - box->args[1]);
    // Only "V=": one line; no frame: neither box nor leader.
    DrawingGlobals().FlowCaptionFlags = {0, 0, 1, 0};
    doc.settings.drawFrame = 0;
    TRecordingCanvas d;
    doc.DrawFlowCaption(*line, d, line->Begin(), line->End());
    EXPECT_EQ((std::vector<std::string>{"V=3,1"}), Texts(d));
    EXPECT_TRUE(d.Calls("Rectangle").empty());
    EXPECT_TRUE(d.Calls("LineTo").empty());
    EXPECT_EQ(lh, line->callout.frame.bottom - line->callout.frame.top);
    // A link to another branch's entry draws nothing.
    line->Caption(1).b = 1;
    TRecordingCanvas e;
    doc.DrawFlowCaption(*line, e, line->Begin(), line->End());
    EXPECT_TRUE(e.calls.empty());
}

TEST_F(Labels, ArrowsOnMonochromeOutput) {
    TRecordingCanvas c;
    DrawFlowArrow(doc, c, 0xFF0000, true, true, {50, 50}, 0);
    // Blue on black and white: shaft, tail bar and a hollow head.
    ASSERT_EQ(2u, c.Calls("LineTo").size());
    EXPECT_EQ(TBrushStyle::Clear, c.Calls("Polygon")[0]->brush.style);
    // Centred: the shaft's middle is on the point (50, 50), 100 units long.
    EXPECT_EQ((TCanvasPoint{0, 50}), c.Calls("LineTo")[0]->from);
    EXPECT_EQ((std::vector<int32_t>{100, 50}), c.Calls("LineTo")[0]->args);
    TRecordingCanvas d;
    DrawFlowArrow(doc, d, 0x0000FF, true, false, {50, 50}, kPi / 2);
    ASSERT_EQ(1u, d.Calls("LineTo").size());
    EXPECT_EQ(TBrushStyle::Solid, d.Calls("Polygon")[0]->brush.style);
    EXPECT_EQ((std::vector<int32_t>{50, -50}), d.Calls("LineTo")[0]->args); // tip straight up
}

TEST_F(Labels, NamesNumbersAndNodeLeaders) {
    doc.display.branchNames = 1;
    doc.display.branchNumbers = 1;
    doc.display.nodeNumbers = 1;
    doc.display.caption[1] = 0;
    line->name = "AB";
    other->switchA = 0;
    other->number = -6;
    for (TNodeRecord& n : doc.nodes.Records())
        n.number = 1 + static_cast<int32_t>(&n - &doc.nodes.Records()[0]);
    TNodeRecord& b = doc.nodes.Record(line->endIndex);
    b.labelOffset = {-60, 10};
    b.flag = 1;
    TRecordingCanvas c;
    doc.Draw(c, false);
    // Name, then the number "(5)"; "(-6)" waits for the show-negative switch.
    const auto texts = Texts(c);
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ("AB", texts[0]);
    EXPECT_EQ("(5)", texts[1]);
    EXPECT_EQ(0, std::count(texts.begin(), texts.end(), "(-6)"));
    const TCanvasCall* name = c.Calls("TextOut")[0];
    EXPECT_EQ(kTaBottom, name->align);
    // Centred on the middle, DataOffset (30) above the branch: font 1 is 35
    // pixels high, so "AB" is 42 wide on the recording canvas.
    EXPECT_EQ(-35, name->font.height);
    EXPECT_EQ((std::vector<int32_t>{50 - 21, 50 - 30}), name->args);
    // Node 2's number lies left of it: the leader runs to the text's right
    // end, then under it to its left end.
    const auto lines = c.Calls("LineTo");
    ASSERT_GE(lines.size(), 2u);
    const TCanvasCall* l1 = lines[lines.size() - 2];
    const TCanvasCall* l2 = lines.back();
    EXPECT_EQ((TCanvasPoint{100, 50}), l1->from);
    EXPECT_EQ(b.labelScreen.x + b.labelWidth, l1->args[0]);
    EXPECT_EQ(b.labelScreen.x, l2->args[0]);
    EXPECT_EQ(b.labelScreen.y + b.labelHeight, l2->args[1]);
    doc.display.showNegative = 1;
    TRecordingCanvas d;
    doc.Draw(d, false);
    const auto all = Texts(d);
    EXPECT_EQ(1, std::count(all.begin(), all.end(), "(-6)"));
}

TEST_F(Labels, LabelExtentUsesTheReadingAngleWithoutAFixedOne) {
    struct Host : IWindowHost {
        TRecordingCanvas canvas;
        TCanvas* MeasuringCanvas() override { return &canvas; }
    } host;
    InstallWindowHost(&host);
    doc.display.branchNames = 1;
    doc.display.caption[1] = 0;
    line->name = "ABCDE";
    line->pointA = {20, 60};
    // No fixed label angle (-1): the name runs along the branch, to the right.
    TRect r;
    doc.GetLabelExtent(0, r);
    const int32_t w = 5 * RoundI(doc.settings.fontSize1Scaled * 1.0) * 6 / 10;
    EXPECT_EQ(20 + w, r.right);
    EXPECT_EQ(0, r.left);
}

TEST_F(Render, MissingEmergencyPictureIsReportedOnceAfterThePaint) {
    const auto dir = MakeTestFolder();
    SetProgramDir(dir.string() + "/");
    TScriptedMessages messages; // any box during the paint fails the test
    TGCollFigure doc;
    SetSimpleView(doc);
    AddLine(doc, {0, 50}, {100, 50}, 4);
    doc.BuildVisibleList();
    WindowState().EmergencyMode = 3;
    WindowState().EmergencyBranch = 4;
    TRecordingCanvas c;
    doc.Draw(c, false);
    doc.Draw(c, false);
    EXPECT_TRUE(messages.Shown().empty());
    messages.Expect(mrOk, "Не найдена картинка с пожаром");
    doc.ReportDrawMessages();
    EXPECT_EQ(0u, messages.PendingExpectations());
    doc.Draw(c, false);
    EXPECT_TRUE(doc.TakeDrawMessages().empty()); // still missing: not again
    WindowState().EmergencyMode = 2;
    doc.Draw(c, false);
    EXPECT_EQ((std::vector<std::string>{MissingFailureImageText()}), doc.TakeDrawMessages());
}

TEST_F(Render, PolygonsOfManyVerticesAndBandsOfWidthOne) {
    TGCollFigure doc;
    SetSimpleView(doc);
    auto* poly = static_cast<TGPolygon*>(doc.AddFigure(kKindPolygon));
    for (int i = 0; i < 14; ++i)
        poly->AddPoint({i * 10, i % 2 * 20}, {(i + 1) * 10, (i + 1) % 2 * 20});
    TGLine* hair = AddLine(doc, {0, 50}, {100, 50}, 1);
    hair->style = 2;
    hair->width = 1;
    doc.settings.arrowScale = 70000;
    DrawingGlobals().ShowJunctions = 0; // bands drawn whole, not by their sides
    doc.BuildVisibleList();
    TRecordingCanvas c;
    doc.Draw(c, false);
    EXPECT_EQ(10, doc.settings.arrowScale);
    auto polys = c.Calls("Polygon");
    ASSERT_EQ(2u, polys.size());
    EXPECT_EQ(2 * (poly->lastIndex + 1), static_cast<int32_t>(polys[0]->args.size()));
    EXPECT_GT(poly->lastIndex, 10);
    EXPECT_EQ(static_cast<size_t>(poly->lastIndex + 1), poly->screen.size());
    // Width 1 drawn double: both sides on the centre line.
    EXPECT_EQ((std::vector<int32_t>{0, 50, 100, 50, 100, 50, 0, 50}), polys[1]->args);
}

TEST_F(Render, MarkedBranchesAndThePlaView) {
    TGCollFigure doc;
    SetSimpleView(doc);
    TGLine* a = AddLine(doc, {0, 50}, {100, 50}, 1);
    TGLine* b = AddLine(doc, {0, 20}, {100, 20}, 2);
    a->pen.colour = b->pen.colour = 0x00FF00;
    a->marked = 1;
    doc.BuildVisibleList();
    WindowState().FireVetvi = true;
    WindowState().BranchMarkColor = 255;
    TRecordingCanvas c;
    doc.Draw(c, false);
    auto lines = c.Calls("LineTo");
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(255, lines[0]->pen.colour);
    EXPECT_EQ(0, lines[1]->pen.colour);
    // PLA view: colour from the position record; none: the background.
    WindowState().FireVetvi = false;
    WindowState().MsxPLA = true;
    a->Caption(3).b = 3;
    a->Caption(3).colour = 0x00AAFF;
    b->Caption(3).b = -1;
    b->style = 3;
    WindowState().BackColor = 0xEEEEEE;
    TRecordingCanvas d;
    doc.Draw(d, false);
    EXPECT_EQ(0x00AAFF, d.Calls("LineTo")[0]->pen.colour);
    EXPECT_EQ(0xEEEEEE, d.Calls("Polygon")[0]->brush.colour);
}

// Screen view of 200 x 200 at scale 1, world (0, 200) top-left.
class Junctions : public DocTest {
protected:
    void SetUp() override {
        DocTest::SetUp();
        doc.clientWidth = 200;
        doc.clientHeight = 200;
        doc.scale = 1.0;
        doc.SetViewRect({0, 200, 200, 0});
        DrawingGlobals().ShowJunctions = 1;
    }
    TGLine* Double(TPoint a, TPoint b, int32_t n) {
        TGLine* l = AddLine(doc, a, b, n);
        l->style = 2;
        l->width = 10;
        return l;
    }
    TGCollFigure doc;
};

TEST_F(Junctions, ARightAngleSharesBothCorners) {
    //   A(0,150) ====1==== B(100,150)
    //                        ||
    //                        2
    //                        ||
    //                      C(100,50)
    // Band half-width 10: on screen the outer corner is (110, 40), the
    // inner one (90, 60).
    TGLine* ab = Double({0, 150}, {100, 150}, 1);
    TGLine* bc = Double({100, 150}, {100, 50}, 2);
    doc.BuildVisibleList();
    TRecordingCanvas c;
    doc.Draw(c, false);
    const std::set<std::pair<int, int>> corner{{90, 60}, {110, 40}};
    auto pairOf = [](TPoint p) {
        return std::make_pair(static_cast<int>(p.x), static_cast<int>(p.y));
    };
    EXPECT_EQ(corner, (std::set{pairOf(ab->junctionCorners[1]), pairOf(ab->junctionCorners[3])}));
    EXPECT_EQ(corner, (std::set{pairOf(bc->junctionCorners[0]), pairOf(bc->junctionCorners[2])}));
    EXPECT_EQ(2, ab->junctionState[1]);
    EXPECT_EQ(0, ab->junctionState[0]);
    EXPECT_EQ(1, doc.nodes.Record(ab->endIndex).junctionDone);
    // Two sides of each branch, and the open ends at A and C closed across
    // the band by the node pass.
    const auto lines = c.Calls("LineTo");
    ASSERT_EQ(6u, lines.size());
    EXPECT_EQ((TCanvasPoint{0, 40}), lines[4]->from);
    EXPECT_EQ((std::vector<int32_t>{0, 60}), lines[4]->args);
}

TEST_F(Junctions, ASharpAngleKeepsOwnCornersAndClosesTheNode) {
    TGLine* ab = Double({0, 150}, {100, 150}, 1);
    Double({100, 150}, {0, 140}, 2);
    doc.BuildVisibleList();
    TRecordingCanvas c;
    doc.Draw(c, false);
    const TNodeRecord& b = doc.nodes.Record(ab->endIndex);
    EXPECT_EQ(0, b.junctionDone);
    EXPECT_NE(b.closing[0], b.closing[1]);
    // Own corners: the band's end points at B.
    EXPECT_EQ(100, ab->junctionCorners[1].x);
    EXPECT_EQ(100, ab->junctionCorners[3].x);
}

} // namespace
} // namespace arv::test
