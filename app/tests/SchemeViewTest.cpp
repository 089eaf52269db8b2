// The scheme views and view toggles: what each switch does to the menus, the
// document and the picture of the plan, and how figures follow their layers.
#include "DrawWinTestSupport.h"

#include "app/Options.h"
#include "document/Constants.h"
#include "platform/RecordingCanvas.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace arv::test {
namespace {

struct SchemeViewTest : DrawWinTest {
    SchemeViewTest() { Start(); }
    // The texts the plan writes in the current view.
    std::set<std::string> DrawnTexts() {
        TRecordingCanvas canvas;
        w->Doc().Draw(canvas, false);
        std::set<std::string> texts;
        for (const TCanvasCall* c : canvas.Calls("TextOut")) texts.insert(c->text);
        return texts;
    }
    static bool Has(const std::set<std::string>& s, const std::string& t) { return s.count(t) > 0; }
    void SetVersion(int32_t v) { std::memcpy(w->Doc().header.data() + 4, &v, 4); }
    static TSchemeRecord Showing(std::initializer_list<int> flags) {
        TSchemeRecord r;
        for (int f : flags) r.show[static_cast<size_t>(f)] = 1;
        return r;
    }
};

// Plan: 1 -(1)- 2 -(2)- 3 -(3)- 4; branch 3 lies on layer 1; branch 1 is
// hidden in scheme 4.
TEST_F(SchemeViewTest, EachSchemeCommandChangesWhatThePlanShows) {
    ThreeBranches();
    TGCollFigure& doc = w->Doc();
    doc.layers.AddLayer();
    doc.BranchAt(0)->name = "A1";
    doc.BranchAt(1)->name = "B2";
    doc.BranchAt(2)->name = "C3";
    doc.Figure(2)->layer = 1;
    doc.Figure(0)->schemeVisible[4] = 0;
    auto& rec = DrawingGlobals().SchemeViewFlags;
    rec[0] = Showing({kShowBranchNumbers});
    rec[1] = Showing({kShowBranchNames});
    rec[2] = Showing({kShowNodeNumbers});
    rec[3] = Showing({kShowBranchNumbers});
    rec[3].layers[1] = 0;
    rec[4] = Showing({kShowBranchNumbers, kShowBranchNames});
    w->ViewAllClick();

    w->MsxRaschClick();
    auto t = DrawnTexts();
    EXPECT_TRUE(Has(t, "(1)") && Has(t, "(2)") && Has(t, "(3)"));
    EXPECT_FALSE(Has(t, "A1") || Has(t, "2"));
    EXPECT_TRUE(w->MNumBr && !w->MNameBr && !w->MNumNd);

    w->MsxVentClick();
    t = DrawnTexts();
    EXPECT_TRUE(Has(t, "A1") && Has(t, "B2") && Has(t, "C3"));
    EXPECT_FALSE(Has(t, "(1)"));

    w->MsxPLAClick();
    t = DrawnTexts();
    EXPECT_TRUE(Has(t, "1") && Has(t, "4"));
    EXPECT_FALSE(Has(t, "(1)") || Has(t, "A1"));

    // Layer 1 hidden: branch 3 is not drawn.
    w->MsxPPogClick();
    t = DrawnTexts();
    EXPECT_TRUE(Has(t, "(1)") && Has(t, "(2)"));
    EXPECT_FALSE(Has(t, "(3)"));
    EXPECT_EQ(2, w->Doc().VisibleCount());

    w->MsxN4Click();
    t = DrawnTexts();
    EXPECT_FALSE(Has(t, "(1)") || Has(t, "A1"));
    EXPECT_TRUE(Has(t, "(3)") && Has(t, "C3"));

    // All objects: the hidden branch comes back, the scheme stays.
    w->MsxAllClick();
    t = DrawnTexts();
    EXPECT_TRUE(Has(t, "(1)") && Has(t, "A1"));
    EXPECT_EQ(4, DrawingGlobals().SchemeKind);
    EXPECT_EQ(Ru("Все объекты"), w->PanelSost);
    EXPECT_TRUE(WindowState().MsxAll);
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(w->SchemeChecked(i)) << i;
    // Choosing a scheme leaves the view of all objects.
    w->MsxRaschClick();
    EXPECT_FALSE(WindowState().MsxAll);
    EXPECT_EQ(3, w->Doc().VisibleCount());
}

TEST_F(SchemeViewTest, ThePlaSchemeChecksItsItemOnlyAndShowsPositions) {
    TWindowState& ws = WindowState();
    w->MsxAllClick();
    ws.OpVetvi = ws.FireVetvi = true;
    w->MsxPLAClick();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(i == 2, w->SchemeChecked(i)) << i;
    EXPECT_FALSE(ws.MsxAll || ws.OpVetvi || ws.FireVetvi);
    EXPECT_TRUE(w->MsxPLA);
    EXPECT_TRUE(ws.MsxPLA);
    EXPECT_EQ(1, w->Doc().display.caption[3]);
    EXPECT_EQ(SchemeKindNames()[2], w->PanelSost);
    EXPECT_EQ(SchemeKindNames()[2], w->Option().TabSheet1Caption);
    w->MsxVentClick();
    EXPECT_FALSE(w->MsxPLA);
    EXPECT_FALSE(w->SchemeChecked(2));
}

TEST_F(SchemeViewTest, AStyleByteOfZeroIsStoredBackAsOne) {
    DrawingGlobals().SchemeViewFlags[3].style = 0;
    w->MsxPPogClick();
    EXPECT_EQ(1, DrawingGlobals().SchemeViewFlags[3].style);
    EXPECT_EQ(1, DrawingGlobals().DefaultBranchStyle);
}

TEST_F(SchemeViewTest, TogglesSwitchOneFlagEachAndLeaveTheRecords) {
    ThreeBranches();
    TGCollFigure& doc = w->Doc();
    const auto records = DrawingGlobals().SchemeViewFlags;
    // The grid switch leaves the pictures alone.
    ASSERT_EQ(1, doc.settings.drawPictures);
    const bool grid = w->VGrid;
    w->VGridClick();
    EXPECT_EQ(!grid, w->VGrid);
    EXPECT_EQ(1, doc.settings.drawPictures);
    w->VGridClick();
    EXPECT_EQ(grid, w->VGrid);
    EXPECT_EQ(1, doc.settings.drawPictures);

    const bool numbers = w->MNumBr, nodes = w->MNumNd, names = w->MNameBr;
    w->MNumBrClick();
    EXPECT_EQ(!numbers, w->MNumBr);
    EXPECT_EQ(!numbers, doc.display.branchNumbers != 0);
    w->MNumNdClick();
    EXPECT_EQ(!nodes, doc.display.nodeNumbers != 0);
    w->MNameBrClick();
    EXPECT_EQ(!names, doc.display.branchNames != 0);
    EXPECT_EQ(records, DrawingGlobals().SchemeViewFlags);
    const int redraws = view.redraws;
    w->MNameBrClick();
    EXPECT_EQ(redraws + 1, view.redraws);
}

// Branch a on layer 0, branch b on layer 1 (style 2, colour green, width 9,
// pen width 4); both take width and style from their layer.
TEST_F(SchemeViewTest, FiguresTakeWidthAndStyleFromTheirLayer) {
    ThreeBranches();
    TGCollFigure& doc = w->Doc();
    doc.layers.AddLayer();
    TLayerRecord& l = doc.layers.Layer(1);
    l.style = 2;
    l.colour = 0x00FF00;
    l.width = 9;
    l.penWidth = 4;
    TSchemeRecord& r = DrawingGlobals().SchemeViewFlags[1];
    r.style = 3;
    r.lineColor = 0x0000FF;
    r.width = 5;
    r.penWidth = 2;
    TGCustomFigure& a = *doc.Figure(0);
    TGCustomFigure& b = *doc.Figure(1);
    TGCustomFigure& c = *doc.Figure(2);
    a.style = b.style = 0;
    a.flagA = a.flagB = b.flagA = b.flagB = 1;
    b.layer = 1;
    // Neither flag: the figure keeps its own attributes.
    c.flagA = c.flagB = 0;
    c.width = 13;
    c.pen.width = 6;
    c.pen.colour = 0x123456;
    SetVersion(21);
    w->MsxVentClick();
    EXPECT_EQ(5, a.width);
    EXPECT_EQ(2, a.pen.width);
    EXPECT_EQ(0, a.pen.colour); // style 3: black outline
    EXPECT_EQ(0x0000FF, a.brush.colour);
    EXPECT_EQ(0, a.brush.style);
    EXPECT_EQ(9, b.width);
    EXPECT_EQ(4, b.pen.width);
    EXPECT_EQ(0x00FF00, b.pen.colour);
    EXPECT_EQ(0x00FF00, b.brush.colour);
    EXPECT_EQ(1, b.brush.style); // double
    // Version 21: neither the stored attributes nor the old-file rebuild.
    EXPECT_EQ(13, c.width);
    EXPECT_EQ(6, c.pen.width);
    EXPECT_EQ(0x123456, c.pen.colour);

    // Style 4 (dashed) turns into style 1 with a thin pen.
    a.style = 4;
    w->MsxVentClick();
    EXPECT_EQ(1, a.style);
    EXPECT_EQ(1, a.pen.width);
    EXPECT_EQ(2, a.pen.style);
    EXPECT_EQ(0x0000FF, a.pen.colour);
    EXPECT_EQ(1, a.brush.style);
}

TEST_F(SchemeViewTest, OldDrawingsRebuildStylesNewOnesLoadTheSchemeAttributes) {
    ThreeBranches();
    TGCollFigure& doc = w->Doc();
    TGCustomFigure& f = *doc.Figure(0);
    f.flagA = 0;
    f.flagB = 0;
    f.style = 3;
    f.pen = {0, 0x111111, 5, 0};
    f.brush.colour = 0x2222FF;
    SetVersion(20);
    w->MsxVentClick();
    EXPECT_EQ(1, f.pen.width);
    EXPECT_EQ(0, f.pen.colour);
    EXPECT_EQ(0x2222FF, f.brush.colour);

    // Version 22: the figure's attributes of the scheme come back.
    SetVersion(22);
    f.width = 17;
    f.pen.colour = 0x0000AA;
    f.StoreViewAttrs(3);
    f.width = 1;
    f.pen.colour = 0;
    w->MsxPPogClick();
    EXPECT_EQ(17, f.width);
    EXPECT_EQ(0x0000AA, f.pen.colour);
}

} // namespace
} // namespace arv::test
