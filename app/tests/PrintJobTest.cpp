// The print job over a recording printer, the print commands of the main
// window and the "Формат" zoom.
#include "DrawWinTestSupport.h"

#include "app/PrintJob.h"
#include "platform/RecordingCanvas.h"

#include <stdexcept>

using namespace arv;
using namespace arv::test;

namespace {

// A printer that records what the job asks of it. Its page is 200 x 287 mm
// at 10 pixels per mm, turned when set to landscape.
class TRecordingPrinter : public IPrintTarget {
public:
    bool landscape = false;
    int copies = 0;
    bool refuseJob = false;
    int failOnPage = -1; // page number (0-based) whose drawing fails
    std::vector<std::string> events;
    std::vector<TRect> pages;
    std::vector<bool> frames;
    std::vector<size_t> callsPerPage;
    std::vector<TRect> views; // the document's view while each page ended
    TGCollFigure* doc = nullptr;
    TRecordingCanvas canvas;

    TPrinterCaps Caps() override {
        TPrinterCaps c{200, 287, 2000, 2870, 0, 0};
        if (landscape) c = {287, 200, 2870, 2000, 0, 0};
        return c;
    }
    bool Landscape() override { return landscape; }
    void SetLandscape(bool l) override { landscape = l; }
    void SetCopies(int c) override { copies = c; }
    bool BeginJob(std::string& errorText) override {
        events.push_back("begin");
        if (refuseJob) errorText = "no printer";
        return !refuseJob;
    }
    TCanvas& BeginPage(const TRect& r) override {
        if (static_cast<int>(pages.size()) == failOnPage) throw std::runtime_error("paper jam");
        pages.push_back(r);
        canvas.calls.clear();
        return canvas;
    }
    void EndPage(const TRect&, bool frame) override {
        frames.push_back(frame);
        callsPerPage.push_back(canvas.calls.size());
        if (doc) views.push_back(doc->viewRect);
    }
    bool NewPage() override {
        events.push_back("page");
        return true;
    }
    void EndJob() override { events.push_back("end"); }
    void AbortJob() override { events.push_back("abort"); }
};

struct PrintJobTest : DrawWinTest {
    TRecordingPrinter printer;
    TPrintDlgState dlg;
    PrintJobTest() {
        Start();
        ThreeBranches();
        printer.doc = &w->Doc();
    }
};

} // namespace

TEST_F(PrintJobTest, A3PortraitTurnsTheA4PrinterAndPrintsTwoPages) {
    dlg.ComboBox1 = 1; // A3
    dlg.Copies = 3;
    dlg.Bord = true;
    dlg.LLeft = dlg.LTop = dlg.LRight = dlg.LBottom = 10;
    TPrintResult r = PrintPlan(w->Doc(), dlg, w->PrintState, printer);
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(2, r.pages);
    EXPECT_TRUE(printer.landscape);
    EXPECT_EQ(3, printer.copies);
    EXPECT_EQ((std::vector<std::string>{"begin", "page", "end"}), printer.events);
    // Landscape pages 2870 x 2000: the sheet's top page keeps its top margin,
    // the bottom page its bottom margin.
    ASSERT_EQ(2u, printer.pages.size());
    EXPECT_EQ((TRect{100, 100, 2770, 2000}), printer.pages[0]);
    EXPECT_EQ((TRect{100, 0, 2770, 1900}), printer.pages[1]);
    EXPECT_EQ((std::vector<bool>{true, true}), printer.frames);
    // Both pages drew the plan (the first holds all three branches).
    EXPECT_GT(printer.callsPerPage[0], 0u);
}

TEST_F(PrintJobTest, PagesAreDrawnWithTheStripAtThePageCorner) {
    TGCollFigure& doc = w->Doc();
    const TRect extent = doc.GetExtent();
    TPrintResult r = PrintPlan(doc, dlg, w->PrintState, printer);
    ASSERT_EQ(1, r.pages);
    // The widened extent's top-left corner lands one pixel inside the page.
    const TRect region = WidenRegion(extent);
    TPrintTiling t;
    ASSERT_TRUE(TilePrintSheet(region, dlg.Sheet(), dlg.Margins(), printer.Caps(), t));
    const TRect view = printer.views[0];
    const double x = (region.left - view.left) * t.scale;
    const double y = (view.top - region.top) * t.scale;
    EXPECT_NEAR(printer.pages[0].left + 1, x, t.scale);
    EXPECT_NEAR(printer.pages[0].top + 1, y, t.scale);
}

TEST_F(PrintJobTest, ViewAndScaleComeBackAfterPrintingAndAfterAFailure) {
    TGCollFigure& doc = w->Doc();
    doc.scale = 0.37;
    doc.SetViewRect({-20, 80, 200, -60});
    const TRect view = doc.viewRect;
    dlg.ComboBox1 = 4; // A0: sixteen pages
    TPrintResult r = PrintPlan(doc, dlg, w->PrintState, printer);
    EXPECT_EQ(16, r.pages);
    EXPECT_EQ(15, std::count(printer.events.begin(), printer.events.end(), "page"));
    EXPECT_DOUBLE_EQ(0.37, doc.scale);
    EXPECT_EQ(view, doc.viewRect);

    // A page that fails ends the job: no further pages, the job aborted.
    TRecordingPrinter failing;
    failing.failOnPage = 2;
    r = PrintPlan(doc, dlg, w->PrintState, failing);
    EXPECT_TRUE(r.failed);
    EXPECT_EQ("paper jam", r.errorText);
    EXPECT_EQ(2, r.pages);
    EXPECT_EQ("abort", failing.events.back());
    EXPECT_DOUBLE_EQ(0.37, doc.scale);
    EXPECT_EQ(view, doc.viewRect);

    // A printer that cannot start a job prints nothing and says so.
    TRecordingPrinter refusing;
    refusing.refuseJob = true;
    r = PrintPlan(doc, dlg, w->PrintState, refusing);
    EXPECT_TRUE(r.failed);
    EXPECT_EQ("no printer", r.errorText);
    EXPECT_TRUE(refusing.pages.empty());
    EXPECT_DOUBLE_EQ(0.37, doc.scale);
    EXPECT_EQ(view, doc.viewRect);
}

TEST_F(PrintJobTest, AnEmptyDrawingPrintsNothingAndSaysNothing) {
    w->Doc().Clear();
    TPrintResult r = PrintPlan(w->Doc(), dlg, w->PrintState, printer);
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(0, r.pages);
    EXPECT_TRUE(printer.events.empty());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(PrintJobTest, PrintRectangleTakesTheDraggedAreaWhateverTheDirection) {
    int shown = 0;
    w->ShowPrintDialog = [&] {
        ++shown;
        // While the dialog is up the print tool's rectangle is in force.
        EXPECT_TRUE(w->PrintState.PrintRectMode);
        PrintPlan(w->Doc(), dlg, w->PrintState, printer);
    };
    w->PrintrectClick();
    EXPECT_EQ(20, w->DrawMode);
    EXPECT_EQ("Printrect", w->ToolButtonDown);
    EXPECT_EQ(TPlanCursor::ZoomRect, w->PlanCursor);

    // Dragged from bottom-right to top-left.
    w->PrintRectangle({150, -40, 20, 60});
    EXPECT_EQ(1, shown);
    EXPECT_EQ((TRect{20, 60, 150, -40}), w->PrintState.PrintRegion);
    EXPECT_EQ(1, w->DrawMode);
    EXPECT_EQ("BSelect", w->ToolButtonDown);
    EXPECT_EQ(TPlanCursor::Arrow, w->PlanCursor);
    // The page shows the rectangle widened by 100, not the whole drawing.
    ASSERT_EQ(1u, printer.views.size());
    TPrintTiling t;
    ASSERT_TRUE(
        TilePrintSheet({-80, 160, 250, -140}, dlg.Sheet(), dlg.Margins(), printer.Caps(), t));
    EXPECT_EQ(-80 - RoundI(1 / t.scale), printer.views[0].left);

    // "Печать..." afterwards prints the whole drawing again.
    w->ShowPrintDialog = [&] { EXPECT_FALSE(w->PrintState.PrintRectMode); };
    w->Print1Click();
    w->PrintClick();
}

TEST_F(PrintJobTest, FormatBoxFitsTheDrawingOntoTheSheet) {
    TGCollFigure& doc = w->Doc();
    w->ScreenWidth = 1500;
    doc.scale = 1;
    doc.SetViewRect({0, 300, 800, -300});
    const TRect region = WidenRegion(doc.GetExtent());
    TSheetFitView fit;
    ASSERT_TRUE(
        FitViewToSheet({297, 210}, region, 1500, w->PaintWidth, w->PaintHeight, doc.viewRect, fit));
    const int redraws = view.redraws;
    w->ComboBox2Change(2); // A4 landscape
    EXPECT_EQ(2, w->ComboBox2Index);
    EXPECT_DOUBLE_EQ(fit.scale, doc.scale);
    EXPECT_EQ(fit.hitTolerance, doc.hitTolerance);
    EXPECT_EQ(fit.view, doc.viewRect);
    EXPECT_GT(view.redraws, redraws);

    // "Формат" itself leaves the view; a zoom step puts the box back on it.
    const TRect before = doc.viewRect;
    w->ComboBox2Change(0);
    EXPECT_EQ(before, doc.viewRect);
    w->ComboBox2Change(3);
    doc.ZoomToRect({0, 100, 100, 0});
    EXPECT_EQ(0, w->ComboBox2Index);
}

TEST_F(PrintJobTest, PreviewPageIsTheFirstPageAtFourteenThirdsPixelsPerMm) {
    TGCollFigure& doc = w->Doc();
    const double scale = doc.scale;
    const TRect view = doc.viewRect;
    dlg.ComboBox1 = 1;
    TPrinterCaps caps{287, 200, 2870, 2000, 0, 0};
    TPreviewPage page;
    ASSERT_TRUE(PlanPreviewPage(doc, dlg, caps, page));
    EXPECT_EQ(RoundI(287 * 14.0 / 3), page.width);
    EXPECT_EQ(RoundI(200 * 14.0 / 3), page.height);
    TPrintTiling t;
    ASSERT_TRUE(TilePrintSheet(WidenRegion(doc.GetExtent()), dlg.Sheet(), dlg.Margins(), caps, t));
    EXPECT_DOUBLE_EQ(t.scale * (14.0 / 3) / 10.0, page.scale);
    EXPECT_EQ(t.View(0, 0), page.view);
    TRecordingCanvas canvas;
    DrawPreviewPage(doc, dlg, page, canvas);
    ASSERT_FALSE(canvas.calls.empty());
    EXPECT_EQ("FillRect", canvas.calls[0].op);
    EXPECT_EQ(scale, doc.scale);
    EXPECT_EQ(view, doc.viewRect);
    doc.Clear();
    EXPECT_FALSE(PlanPreviewPage(doc, dlg, caps, page));
}
