// The plan editor played with the mouse through the window's controller:
// presses, moves and releases in every tool mode, and what they leave in the
// drawing. The view paints the plan on a recording canvas, as the window
// paints it, so that hit tests see the screen positions a real paint leaves.
#include "DrawWinTestSupport.h"

#include "document/ShapeFigures.h"
#include "document/TextFigures.h"
#include "platform/Keys.h"
#include "platform/RecordingCanvas.h"

using namespace arv;
using namespace arv::test;

namespace {

class TToolView : public TRecordingDrawView {
public:
    TIDrawWin* win = nullptr;
    TRecordingCanvas bands; // what the tools drew over the plan
    std::deque<std::optional<std::string>> texts;
    int panels = 0;
    void RedrawPlan() override {
        TRecordingDrawView::RedrawPlan();
        bands.calls.clear();
        TRecordingCanvas plan;
        if (win) win->Doc().Draw(plan, false);
    }
    void DrawOnPlan(const std::function<void(TCanvas&)>& draw) override { draw(bands); }
    bool AskText(std::string& text, TFontRecord& font) override {
        if (texts.empty() || !texts.front()) return false;
        text = *texts.front();
        texts.pop_front();
        font.size = 14;
        return true;
    }
    void ShowPropertyPanel() override { ++panels; }
};

class TRoutePicks : public IRoutePicks {
public:
    bool pending = false;
    std::vector<std::pair<int32_t, std::string>> picked;
    std::vector<int32_t> excluded;
    bool PickPending() const override { return pending; }
    void BranchPicked(int32_t n, const std::string& name) override { picked.emplace_back(n, name); }
    void BranchExcluded(int32_t n) override { excluded.push_back(n); }
};

// The view shows x -100..700, y 500..-100 at scale 1, so the world point
// (x, y) is the pixel (x + 100, 500 - y).
struct ToolsTest : DrawWinTest {
    TToolView tv;
    TGCollFigure* doc = nullptr;
    ToolsTest() {
        Start();
        tv.win = w.get();
        w->SetView(&tv);
        doc = &w->Doc();
        doc->scale = 1;
        doc->hitTolerance = 5;
        doc->SetViewRect({-100, 500, 700, -100});
        w->Settings.GridStep = 0;
        w->Settings.NodeLink = false;
        w->DrawingModified = false;
    }
    static TMouseShift Held(bool shift = false) { return {shift, false, true}; }
    void Down(TPoint p, TMouseButton b = TMouseButton::Left, bool shift = false) {
        w->PaintBox1MouseDown(b, {shift, false, b == TMouseButton::Left}, p.x + 100, 500 - p.y);
    }
    void Move(TPoint p, bool held = false, bool shift = false) {
        w->PaintBox1MouseMove({shift, false, held}, p.x + 100, 500 - p.y);
    }
    void Up(TPoint p, TMouseButton b = TMouseButton::Left) {
        w->PaintBox1MouseUp(b, {}, p.x + 100, 500 - p.y);
    }
    // A click as the mouse makes it: there, pressed, released.
    void Click(TPoint p, bool shift = false) {
        Move(p, false, shift);
        Down(p, TMouseButton::Left, shift);
        Up(p);
    }
    void RightClick(TPoint p) {
        Down(p, TMouseButton::Right);
        Up(p, TMouseButton::Right);
    }
    void Drag(TPoint from, TPoint to) {
        Move(from);
        Down(from);
        Move({(from.x + to.x) / 2, (from.y + to.y) / 2}, true);
        Move(to, true);
        Up(to);
    }
    TPoint NodePoint(int32_t index) const { return doc->nodes.Record(index).point; }
    TPoint BeginOf(const TGBranch& b) const { return NodePoint(b.beginIndex); }
    TPoint EndOf(const TGBranch& b) const { return NodePoint(b.endIndex); }
};

} // namespace

//   n1 (0,0) --1-- n2 (100,0) --2-- n3 (200,0) --3-- n4 (300,50)
TEST_F(ToolsTest, BranchDrawnFromNodeToNodeJoinsBoth) {
    ThreeBranches();
    w->RedrawPlan();
    w->ALineExecute();
    EXPECT_EQ(2, w->DrawMode);
    EXPECT_EQ(TPlanCursor::Cross, w->PlanCursor);
    EXPECT_EQ("BLine", w->ToolButtonDown);
    Click({100, 0});
    Move({200, 25});
    Move({300, 50});
    EXPECT_EQ(Ru("dx=100,00мм,dy=25,00мм"), w->StatusPanels[2]);
    Click({300, 50});
    ASSERT_EQ(4, doc->Count());
    auto* b = doc->BranchAt(3);
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(kKindLine, b->kind);
    // The branch runs from where the mouse last was to the first click.
    EXPECT_EQ(4, b->beginNode);
    EXPECT_EQ(2, b->endNode);
    EXPECT_EQ(4, doc->nodes.Count());
    EXPECT_TRUE(w->DrawingModified);
    EXPECT_FALSE(w->Edit.LineRubberActive);
    // A third click starts the next branch.
    Click({0, 0});
    EXPECT_TRUE(w->Edit.LineRubberActive);
    EXPECT_EQ(4, doc->Count());
}

TEST_F(ToolsTest, RubberLineIsInvertedAndEachMoveErasesTheLastOne) {
    DrawingGlobals().DefLineColor = 0x00FF00;
    w->ALineExecute();
    Click({10, 10});
    tv.bands.calls.clear();
    Move({50, 10});
    Move({90, 10});
    const auto lines = tv.bands.Calls("LineTo");
    ASSERT_EQ(4u, lines.size());
    for (const TCanvasCall* c : lines) {
        EXPECT_EQ(TPenMode::NotXor, c->pen.mode);
        EXPECT_EQ(0x00FF00, c->pen.colour);
        EXPECT_EQ(1, c->pen.width);
        EXPECT_EQ((TCanvasPoint{110, 490}), c->from);
    }
    // The empty line of the click erased, the line drawn, erased, drawn anew.
    EXPECT_EQ((std::vector<int32_t>{110, 490}), lines[0]->args);
    EXPECT_EQ((std::vector<int32_t>{150, 490}), lines[1]->args);
    EXPECT_EQ(lines[1]->args, lines[2]->args);
    EXPECT_EQ((std::vector<int32_t>{190, 490}), lines[3]->args);
    // The right button erases the band and ends the tool.
    tv.bands.calls.clear();
    RightClick({200, 200});
    const auto erased = tv.bands.Calls("LineTo");
    ASSERT_EQ(1u, erased.size());
    EXPECT_EQ((std::vector<int32_t>{190, 490}), erased[0]->args);
    EXPECT_EQ(1, w->DrawMode);
    EXPECT_EQ("BSelect", w->ToolButtonDown);
    EXPECT_EQ(TPlanCursor::Arrow, w->PlanCursor);
    EXPECT_EQ(0, doc->Count());
}

TEST_F(ToolsTest, ClicksSnapToGridNodesAndShift) {
    ThreeBranches();
    w->RedrawPlan();
    w->Settings.GridStep = 10;
    w->ALineExecute();
    // 104 -> 100 and 3 -> 0 on the grid: the branch starts on node 2.
    Click({104, 3});
    EXPECT_EQ((TPoint{100, 0}), w->Edit.AnchorPoint);
    // Shift with equal offsets keeps the vertical through the anchor.
    Move({130, 30}, false, true);
    EXPECT_EQ((TPoint{100, 30}), w->Edit.MovingPoint);
    Move({150, 20}, false, true);
    EXPECT_EQ((TPoint{150, 0}), w->Edit.MovingPoint);
    RightClick({0, 0});

    // Node linking: 5 pixels beside node 4's marker take the node's exact
    // point, 6 pixels do not.
    w->Settings.GridStep = 0;
    w->Settings.NodeLink = true;
    const TNodeRecord& n4 = doc->nodes.Record(doc->nodes.IndexOfNumber(4));
    const TPoint marker = n4.screenCentre;
    EXPECT_EQ((TPoint{300, 50}), w->SnapPoint({marker.x + 5, marker.y}));
    EXPECT_NE((TPoint{300, 50}), w->SnapPoint({marker.x + 6, marker.y}));
}

TEST_F(ToolsTest, PolylineTakesTenClicksAndTheRightButtonStartsAfresh) {
    w->APolyLineExecute();
    for (int i = 0; i < 10; ++i) Click({10 + 20 * i, 100 + (i % 2) * 30});
    ASSERT_EQ(1, doc->Count());
    auto* p = dynamic_cast<TGPolyLine*>(doc->Figure(0));
    ASSERT_NE(nullptr, p);
    // Ten points: the two ends and eight bends.
    EXPECT_EQ(8, p->bendCount);
    EXPECT_EQ((TPoint{10, 100}), BeginOf(*p));
    EXPECT_EQ((TPoint{190, 130}), EndOf(*p));
    messages.Expect(mrOk, "Превышено максимальное число ветвей полилинии");
    Click({400, 400});
    EXPECT_EQ(8, p->bendCount);
    EXPECT_EQ(1, doc->Count());
    EXPECT_TRUE(w->DrawingModified);

    RightClick({0, 0});
    w->APolyLineExecute();
    Click({500, 500});
    EXPECT_EQ(1, w->Edit.VertexClickCount);
    Click({550, 500});
    EXPECT_EQ(2, doc->Count());
}

TEST_F(ToolsTest, PolygonToolAddsVerticesUpToItsLimit) {
    w->BPolygonClick();
    EXPECT_EQ(9, w->DrawMode);
    for (int i = 0; i < 10; ++i) Click({100 + 20 * i, 100 + (i % 3) * 40});
    auto* g = dynamic_cast<TGPolygon*>(doc->Figure(0));
    ASSERT_NE(nullptr, g);
    EXPECT_EQ(9, g->lastIndex);
    EXPECT_EQ((TPoint{100, 100}), g->vertices[0]);
    EXPECT_EQ((TPoint{280, 100}), g->vertices[9]);
    messages.Expect(mrOk, "Превышено максимальное число ветвей полигона");
    Click({700, 500});
    EXPECT_EQ(9, g->lastIndex);
}

TEST_F(ToolsTest, TwoClickShapes) {
    // Ellipse, plain line, rectangle (spanned up-left: the same rectangle).
    w->BElipseClick();
    Click({100, 100});
    Click({200, 150});
    auto* e = dynamic_cast<TGElipse*>(doc->Figure(0));
    ASSERT_NE(nullptr, e);
    EXPECT_EQ((TRect{100, 150, 200, 100}), e->box);

    w->BALineClick();
    Click({300, 300});
    Click({350, 320});
    auto* l = dynamic_cast<TGALine*>(doc->Figure(1));
    ASSERT_NE(nullptr, l);
    EXPECT_EQ(kKindALine, l->kind);

    w->APolygonExecute();
    EXPECT_EQ(15, w->DrawMode);
    Click({500, 400});
    EXPECT_TRUE(w->Edit.RectRubberActive);
    tv.bands.calls.clear();
    Move({460, 420});
    // The last frame erased (the empty one of the click), the new one drawn
    // with its corners in order, both by inversion.
    const auto frames = tv.bands.Calls("Rectangle");
    ASSERT_EQ(2u, frames.size());
    EXPECT_EQ((std::vector<int32_t>{600, 100, 601, 101}), frames[0]->args);
    EXPECT_EQ((std::vector<int32_t>{560, 80, 601, 101}), frames[1]->args);
    EXPECT_EQ(TPenMode::NotXor, frames[1]->pen.mode);
    EXPECT_EQ(TBrushStyle::Clear, frames[1]->brush.style);
    Click({400, 450});
    auto* r = dynamic_cast<TGRectangle*>(doc->Figure(2));
    ASSERT_NE(nullptr, r);
    EXPECT_EQ((TRect{400, 450, 500, 400}), r->box);
    EXPECT_TRUE(w->DrawingModified);
    EXPECT_FALSE(w->Edit.RectRubberActive);
}

TEST_F(ToolsTest, ArcTakesThreeClicksWithAPreview) {
    w->BArcClick();
    Click({100, 100});
    EXPECT_EQ(2, w->Edit.ArcClickCount);
    Move({150, 100});
    tv.bands.calls.clear();
    // The second click on the first point: the preview circle has 100 pixels.
    Click({100, 100});
    EXPECT_EQ(3, w->Edit.ArcClickCount);
    auto arcs = tv.bands.Calls("Arc");
    ASSERT_EQ(1u, arcs.size());
    EXPECT_EQ((std::vector<int32_t>{100, 300, 300, 500, 200, 400, 200, 400}), arcs[0]->args);
    EXPECT_EQ(TPenMode::NotXor, arcs[0]->pen.mode);
    // Moves erase the last preview and draw one about the mouse.
    tv.bands.calls.clear();
    Move({130, 140});
    arcs = tv.bands.Calls("Arc");
    ASSERT_EQ(2u, arcs.size());
    EXPECT_EQ((std::vector<int32_t>{100, 300, 300, 500, 200, 400, 200, 400}), arcs[0]->args);
    // About (230, 360) through (200, 400): radius 50.
    EXPECT_EQ((std::vector<int32_t>{180, 310, 280, 410, 200, 400, 200, 400}), arcs[1]->args);
    Click({130, 140});
    EXPECT_EQ(0, w->Edit.ArcClickCount);
    ASSERT_EQ(1, doc->Count());
    EXPECT_EQ(kKindArc, doc->Figure(0)->kind);
    EXPECT_TRUE(w->DrawingModified);
}

//   n1 (0,0) --A-- n2 (100,0)        n3 (200,0) --B-- n4 (300,0)
TEST_F(ToolsTest, NodeDraggedOntoAnotherMergesThem) {
    AddBranch({0, 0}, {100, 0}, 1, 1, 2);
    AddBranch({200, 0}, {300, 0}, 2, 3, 4);
    doc->current = -1;
    doc->BuildVisibleList();
    w->RedrawPlan();
    w->AShaperExecute();
    EXPECT_EQ(TPlanCursor::Drag, w->PlanCursor);
    Move({100, 0});
    Down({100, 0});
    EXPECT_EQ(2, w->Edit.ShaperState);
    Move({150, 0}, true);
    EXPECT_EQ((TPoint{150, 0}), EndOf(*doc->BranchAt(0)));
    Move({200, 0}, true);
    Up({200, 0});
    EXPECT_EQ(0, w->Edit.ShaperState);
    EXPECT_EQ(3, doc->nodes.Count());
    EXPECT_EQ(3, doc->BranchAt(0)->endNode);
    EXPECT_EQ(doc->BranchAt(1)->beginIndex, doc->BranchAt(0)->endIndex);
    EXPECT_TRUE(w->DrawingModified);
    // Moves without the button held drag nothing.
    Move({250, 100});
    EXPECT_EQ((TPoint{200, 0}), EndOf(*doc->BranchAt(0)));
}

TEST_F(ToolsTest, ShaperMovesTheCurrentRectangleByItsHandle) {
    w->APolygonExecute();
    Click({100, 100});
    Click({200, 200});
    w->AShaperExecute();
    Drag({200, 150}, {230, 150});
    auto* r = dynamic_cast<TGRectangle*>(doc->Figure(0));
    ASSERT_NE(nullptr, r);
    EXPECT_EQ(230, r->box.right);
    EXPECT_EQ(100, r->box.left);
}

//   n1 (0,0) --1-- n2 (100,0)   text at (50,50)   |   n3 (400,0) --2-- n4 (500,0)
TEST_F(ToolsTest, GroupMovesEverySelectedFigureAndItsNodes) {
    AddBranch({0, 0}, {100, 0}, 1, 1, 2);
    AddBranch({400, 0}, {500, 0}, 2, 3, 4);
    auto* t = static_cast<TGText*>(doc->AddFigure(kKindText));
    t->SetTextAndFont("T", TFontRecord{}, {50, 50});
    doc->BuildVisibleList();
    w->RedrawPlan();

    // Spanned from lower right to upper left: the same group.
    w->BMoveClick();
    Click({200, -50});
    Click({-50, 150});
    EXPECT_EQ(23, w->DrawMode);
    EXPECT_EQ(TPlanCursor::SizeAll, w->PlanCursor);
    EXPECT_EQ(4u, doc->groupList.size()); // two nodes, the branch, the text

    Drag({50, 20}, {80, 10});
    EXPECT_EQ((TPoint{30, -10}), BeginOf(*doc->BranchAt(0)));
    EXPECT_EQ((TPoint{130, -10}), EndOf(*doc->BranchAt(0)));
    EXPECT_EQ((TPoint{80, 40}), t->anchor);
    EXPECT_EQ((TPoint{400, 0}), BeginOf(*doc->BranchAt(1)));
    EXPECT_EQ((TPoint{500, 0}), EndOf(*doc->BranchAt(1)));
    EXPECT_TRUE(w->DrawingModified);
    // A second drag goes on from where the group stands.
    Drag({300, 300}, {305, 300});
    EXPECT_EQ((TPoint{35, -10}), BeginOf(*doc->BranchAt(0)));
    EXPECT_EQ((TPoint{85, 40}), t->anchor);
    // The right button ends the tool; the group stays where it went.
    RightClick({0, 0});
    EXPECT_EQ(1, w->DrawMode);
    EXPECT_EQ((TPoint{85, 40}), t->anchor);
}

TEST_F(ToolsTest, GroupPropertiesMakeTheReportedBranchCurrent) {
    AddBranch({0, 0}, {100, 0}, 1, 1, 2);
    AddBranch({200, 0}, {300, 0}, 2, 3, 4);
    doc->current = -1;
    doc->BuildVisibleList();
    w->PropGroupClick();
    Click({150, 50});
    Click({350, -50});
    EXPECT_EQ(1, doc->current);
    EXPECT_EQ(1, tv.panels);
    EXPECT_EQ(25, w->DrawMode);
    EXPECT_EQ(TPlanCursor::SizeAll, w->PlanCursor);
    EXPECT_FALSE(doc->groupList.empty());
    RightClick({0, 0});
    EXPECT_TRUE(doc->groupList.empty());
}

TEST_F(ToolsTest, ZoomAndPrintRectanglesAreTheSameWhicheverWayDragged) {
    std::vector<TRect> printed;
    w->ShowPrintDialog = [&] { printed.push_back(w->PrintState.PrintRegion); };
    w->SetToolMode(20);
    Click({300, 100});
    Click({100, 200});
    w->SetToolMode(20);
    Click({100, 200});
    Click({300, 100});
    ASSERT_EQ(2u, printed.size());
    EXPECT_EQ((TRect{100, 200, 300, 100}), printed[0]);
    EXPECT_EQ(printed[0], printed[1]);

    w->ZoomRectClick();
    EXPECT_EQ(TPlanCursor::ZoomRect, w->PlanCursor);
    Click({300, 100});
    Click({100, 200});
    // Centred on (200, 150); the scale grows to fit 200 x 100 in 800 x 600.
    EXPECT_DOUBLE_EQ(4.0, doc->scale);
    EXPECT_EQ((TPoint{200, 150}), doc->centre);
}

TEST_F(ToolsTest, ZoomAtPointAndPan) {
    w->ZoomInClick();
    EXPECT_EQ("ZoomIn", w->ToolButtonDown);
    Click({400, 300});
    EXPECT_DOUBLE_EQ(1.1, doc->scale);
    w->ZoomOutClick();
    EXPECT_EQ("ZoomOut", w->ToolButtonDown);
    Click({400, 300});
    EXPECT_DOUBLE_EQ(0.99, doc->scale);

    doc->scale = 1;
    doc->SetViewRect({-100, 500, 700, -100});
    w->ToolButtonMoveClick();
    EXPECT_EQ(TPlanCursor::SizeAll, w->PlanCursor);
    Move({100, 100});
    Down({100, 100});
    Move({130, 90}, true);
    // The plan follows the mouse: the world point grabbed stays under it.
    EXPECT_EQ(-130, doc->viewRect.left);
    EXPECT_EQ(510, doc->viewRect.top);
    Move({150, 90}, true);
    EXPECT_EQ(-150, doc->viewRect.left);
    Up({150, 90});
    RightClick({0, 0});
    EXPECT_EQ(1, w->DrawMode);
}

TEST_F(ToolsTest, BringToFrontMovesTheFigureToTheCurrentPlace) {
    AddBranch({0, 0}, {100, 0}, 1, 1, 2);
    AddBranch({0, 100}, {100, 100}, 2, 3, 4);
    AddBranch({0, 200}, {100, 200}, 3, 5, 6);
    doc->current = 0;
    doc->BuildVisibleList();
    w->TBForwardPlanClick();
    EXPECT_EQ(TPlanCursor::Default, w->PlanCursor);
    Click({50, 200});
    EXPECT_EQ(3, doc->BranchAt(0)->number);
    EXPECT_EQ(1, doc->BranchAt(1)->number);
    EXPECT_EQ(1, w->DrawMode);
    EXPECT_EQ("", w->ToolButtonDown);
    EXPECT_TRUE(w->DrawingModified);
}

TEST_F(ToolsTest, TextToolAsksForTheText) {
    w->ATextExecute();
    EXPECT_EQ(TPlanCursor::IBeam, w->PlanCursor);
    tv.texts = {std::nullopt};
    Click({100, 100});
    EXPECT_EQ(0, doc->Count());
    EXPECT_FALSE(w->DrawingModified);
    tv.texts = {Ru("Ствол")};
    Click({120, 80});
    auto* t = dynamic_cast<TGText*>(doc->Figure(0));
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(Ru("Ствол"), t->content);
    EXPECT_EQ(14, t->font.size);
    EXPECT_EQ((TPoint{120, 80}), t->anchor);
    EXPECT_TRUE(w->DrawingModified);
}

TEST_F(ToolsTest, PictureToolWithoutAChoicePlacesNothing) {
    w->BPicChosen({"", 0, true});
    EXPECT_EQ(6, w->DrawMode);
    Click({100, 100});
    EXPECT_EQ(0, doc->Count());
    EXPECT_FALSE(w->DrawingModified);
}

TEST_F(ToolsTest, SelectionAndRoutePicks) {
    ThreeBranches();
    doc->BranchAt(1)->name = Ru("Штрек");
    w->RedrawPlan();
    TRoutePicks routes;
    w->RoutePicks = &routes;
    w->ASelectExecute();
    Click({150, 0});
    EXPECT_EQ(1, doc->current);
    EXPECT_TRUE(routes.picked.empty());
    routes.pending = true;
    Click({50, 0});
    ASSERT_EQ(1u, routes.picked.size());
    EXPECT_EQ(1, routes.picked[0].first);
    // The route editing tool excludes the branch picked and selects again.
    w->SetToolMode(21);
    Click({150, 0});
    EXPECT_EQ((std::vector<int32_t>{2}), routes.excluded);
    EXPECT_EQ(1, w->DrawMode);
    Click({500, 500});
    EXPECT_EQ(-1, doc->current);
    w->RoutePicks = nullptr;
}

TEST_F(ToolsTest, PrevNextAndDelete) {
    ThreeBranches();
    TModGrid& dan = data.Tables().TablDan;
    dan.SetRowCount(5);
    for (int r = 2; r < 5; ++r) dan.SetCells(0, r, std::to_string(r - 1));
    doc->current = 0;
    w->PrevExecute();
    EXPECT_EQ(2, doc->current);
    w->NextExecute();
    EXPECT_EQ(0, doc->current);
    w->NextExecute();
    EXPECT_EQ(1, doc->current);

    // No: nothing changes.
    messages.Expect(mrNo, "Удалить объект?");
    w->DelExecute();
    EXPECT_EQ(3, doc->Count());
    // Yes, but keep the table row.
    messages.Expect(mrYes, "Удалить объект?");
    messages.Expect(mrNo, "Удалить ветвь из расчетных данных?");
    w->DelExecute();
    EXPECT_EQ(2, doc->Count());
    EXPECT_EQ(5, dan.RowCount());
    EXPECT_TRUE(w->DrawingModified);
    // Yes twice: branch 3's row goes, the others stay.
    doc->current = 1;
    ASSERT_EQ(3, doc->BranchAt(1)->number);
    messages.Expect(mrYes, "Удалить объект?");
    messages.Expect(mrYes, "Удалить ветвь из расчетных данных?");
    w->DelExecute();
    EXPECT_EQ(4, dan.RowCount());
    EXPECT_EQ("1", dan.Cells(0, 2));
    EXPECT_EQ("2", dan.Cells(0, 3));
    // Nodes 3 and 4 served only the deleted branches.
    EXPECT_EQ(2, doc->nodes.Count());
    // Without a current figure nothing is asked.
    doc->current = -1;
    w->DelExecute();
    EXPECT_EQ(1, doc->Count());
}

TEST_F(ToolsTest, EscapeAndAnotherToolEndTheToolInProgress) {
    w->APolyLineExecute();
    Click({10, 10});
    Click({60, 10});
    EXPECT_EQ(1, doc->Count());
    w->FormKeyDown(VK_ESCAPE, false);
    EXPECT_EQ(1, w->DrawMode);
    EXPECT_FALSE(w->Edit.LineRubberActive);
    // A new line tool does not go on from the old anchor.
    w->ALineExecute();
    Click({300, 300});
    EXPECT_EQ(1, doc->Count());
    EXPECT_TRUE(w->Edit.LineRubberActive);
    // Status panel 0 follows the mouse in world units.
    Move({123, 45});
    EXPECT_EQ("x= 123, y= 45", w->StatusPanels[0]);
}

TEST_F(ToolsTest, RightButtonDuringANodeDragPutsTheNodeWhereTheMouseWas) {
    AddBranch({0, 0}, {100, 0}, 1, 1, 2);
    doc->current = -1;
    doc->BuildVisibleList();
    w->RedrawPlan();
    w->AShaperExecute();
    // Taken, held still and let go with the right button: nothing moved.
    Move({100, 0});
    Down({100, 0});
    Move({100, 0}, true);
    Down({100, 0}, TMouseButton::Right);
    EXPECT_FALSE(w->DrawingModified);
    w->AShaperExecute();
    Move({100, 0});
    Down({100, 0});
    Move({120, 30}, true);
    Down({120, 30}, TMouseButton::Right);
    EXPECT_EQ((TPoint{120, 30}), EndOf(*doc->BranchAt(0)));
    EXPECT_EQ(0, w->Edit.ShaperState);
    EXPECT_EQ(1, w->DrawMode);
    EXPECT_TRUE(w->DrawingModified);
}

TEST_F(ToolsTest, GroupPropertyRectangleSpannedUpLeftTakesTheSameFigures) {
    AddBranch({0, 0}, {100, 0}, 1, 1, 2);
    AddBranch({200, 0}, {300, 0}, 2, 3, 4);
    doc->current = -1;
    doc->BuildVisibleList();
    w->PropGroupClick();
    Click({350, -50});
    Click({150, 50});
    EXPECT_EQ(1, doc->current);
    const auto upLeft = doc->groupList;
    w->PropGroupClick();
    Click({150, 50});
    Click({350, -50});
    EXPECT_EQ(upLeft, doc->groupList);
    EXPECT_EQ(3u, upLeft.size()); // two nodes and the branch
}
