// The real main window, offscreen, on the sample drawing: what the plan and
// its menus show after a command is the state the command left, seen in the
// painted plan.
#include "app/ui/ProgramStart.h"
#include "app/tests/MouseEvents.h"

#include "app/tests/SampleProgramFolder.h"
#include "calc/window/DataWindowController.h"
#include "document/Branch.h"
#include "document/DrawingGlobals.h"
#include "document/Labels.h"
#include "document/ShapeFigures.h"
#include "document/WindowHost.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/RecordingCanvas.h"
#include "platform/qt/QtText.h"
#include "platform/testing/ScriptedServices.h"
#include "platform/testing/TestFolder.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTableWidget>

#include <cmath>

#include <gtest/gtest.h>

using namespace arv;
using test::Click;
using test::Send;

namespace {

struct PlanStateTest : test::SampleProgramTest {
    PlanStateTest() { Start(); }
    ~PlanStateTest() override { messages.AllowAny(); }
    TGCollFigure& Doc() { return W().Doc(); }
    QAction* Action(const char* name) {
        QAction* a = p->IDrawWinForm->Action(name);
        EXPECT_NE(nullptr, a) << name;
        return a;
    }
    // Runs a menu command the way a click does, then lets queued work end.
    void Trigger(const char* name) {
        QAction* a = Action(name);
        ASSERT_TRUE(a && a->isEnabled()) << name;
        a->trigger();
        QApplication::processEvents();
    }
    void Select(int branch) {
        ASSERT_TRUE(Doc().HasBranchNumber(branch));
        QApplication::processEvents();
    }
    QImage Plan() {
        QApplication::processEvents();
        return p->IDrawWinForm->PlanImage().convertToFormat(QImage::Format_RGB32);
    }
    // Shows the plan about a world point at the given scale.
    void Look(TPoint at, double scale) {
        Doc().centre = at;
        Doc().scale = scale;
        Doc().UpdateViewSize(W().PaintWidth, W().PaintHeight);
        W().RedrawPlan();
    }
    int TableRow(int branch) {
        const TModGrid& g = Tables().TablDan;
        for (int r = g.FixedRows(); r < g.RowCount(); ++r)
            if (Trim(g.Cells(0, r)) == std::to_string(branch)) return r;
        return -1;
    }
};

TPoint Middle(TPoint a, TPoint b) {
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}

int Differing(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return a.width() * a.height();
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

int Pixels(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

// Pixels that differ within `radius` of a point.
int DifferingNear(const QImage& a, const QImage& b, QPoint at, int radius) {
    int n = 0;
    for (int y = at.y() - radius; y <= at.y() + radius; ++y)
        for (int x = at.x() - radius; x <= at.x() + radius; ++x)
            if (a.valid(x, y) && b.valid(x, y)) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// The rectangle of every pixel that is not the white background.
QRect Inked(const QImage& image) {
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) r |= QRect(x, y, 1, 1);
    return r;
}

bool RedNear(const QImage& image, QPoint at) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.valid(at.x() + dx, at.y() + dy) &&
                (image.pixel(at.x() + dx, at.y() + dy) & 0xFFFFFF) == 0xFF0000)
                return true;
    return false;
}

} // namespace

TEST_F(PlanStateTest, DeletingABranchAndItsRowLeavesEveryOtherFlowOnItsBranch) {
    Trigger("Zad_ER");
    Select(2);
    messages.Expect(mrYes, "Удалить объект?");
    messages.Expect(mrYes, "Удалить ветвь из расчетных данных?");
    Trigger("Del");
    EXPECT_EQ(0u, messages.PendingExpectations());
    ASSERT_EQ(-1, TableRow(2));
    const QImage shown = Plan();

    // Thirteen flow labels, each with its own branch's row.
    TRecordingCanvas canvas;
    Doc().Draw(canvas, false);
    std::vector<std::string> labels;
    for (const TCanvasCall* c : canvas.Calls("TextOut"))
        if (c->text.starts_with("[")) labels.push_back(c->text);
    EXPECT_EQ(13u, labels.size());
    for (int n : {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}) {
        const std::string flow = "[" + Tables().TablDan.Cells(11, TableRow(n)) + "]";
        EXPECT_NE(labels.end(), std::find(labels.begin(), labels.end(), flow)) << n;
    }
    // The plan shows what a fresh link of the tables shows.
    W().IndexCalcDataGrids();
    W().LinkBranchesToCalcData();
    p->IDrawWinForm->RedrawPlan();
    EXPECT_EQ(0, Differing(shown, Plan()));
}

TEST_F(PlanStateTest, FlowArrowsShowOnEveryBranchAndKeepPointingWithTheAirWhenABranchIsTurned) {
    Trigger("Zad_ER");
    ASSERT_TRUE(Action("MArrowQ")->isChecked());
    const QImage arrows = Plan();
    Doc().display.caption[5] = 0;
    p->IDrawWinForm->RedrawPlan();
    const QImage none = Plan();
    Doc().display.caption[5] = 1;
    // An arrow at the middle of every branch.
    for (int i = 0; i < Doc().Count(); ++i) {
        TGBranch* b = Doc().BranchAt(i);
        if (!b) continue;
        TPoint from, to;
        ReferenceSegment(*b, from, to);
        const TPoint mid = Doc().WorldToScreen(Middle(from, to));
        EXPECT_GT(DifferingNear(arrows, none, QPoint(mid.x, mid.y), 20), 10) << b->number;
    }

    // Branch 3 and its row turned round: the flow keeps its sign until the
    // next calculation, and the arrow its direction on the plan.
    Select(3);
    TGBranch* b = Doc().BranchAt(Doc().current);
    TPoint from, to;
    ReferenceSegment(*b, from, to);
    Look(Middle(from, to), 1.0);
    const QImage before = Plan();
    messages.Expect(mrYes, "Изменить ориентацию ветви в расчетных данных?");
    Trigger("MRotateBr");
    EXPECT_EQ(0u, messages.PendingExpectations());
    EXPECT_EQ(Tables().TablDan.Cells(1, TableRow(3)), std::to_string(b->beginNode));
    EXPECT_LT(Differing(before, Plan()), 10);
    // Answered "Нет" the tables keep their direction: the air now runs
    // against the branch and the arrow shows it turned.
    messages.Expect(mrNo, "Изменить ориентацию ветви в расчетных данных?");
    messages.AllowAny(); // the check's findings about the turned branch
    Trigger("MRotateBr");
    messages.AllowAny(false);
    const TPoint mid = Doc().WorldToScreen(Middle(from, to));
    EXPECT_GT(DifferingNear(before, Plan(), QPoint(mid.x, mid.y), 60), 10);
}

TEST_F(PlanStateTest, SchemeCommandsClearTheBranchMarksForGood) {
    std::vector<int32_t>& marks = DataWindowController().CalcContext().ReversedBranchMark;
    const QRgb yellow = qRgb(255, 255, 0);
    for (const char* clear : {"MsxAll", "MsxRasch"}) {
        std::fill(marks.begin(), marks.end(), 0);
        marks[3] = marks[8] = 1;
        ASSERT_EQ(0, Pixels(Plan(), yellow));
        Trigger("OpVetvi");
        EXPECT_TRUE(Action("OpVetvi")->isChecked());
        EXPECT_GT(Pixels(Plan(), yellow), 50);
        Trigger(clear);
        EXPECT_FALSE(Action("OpVetvi")->isChecked()) << clear;
        EXPECT_EQ(0, Pixels(Plan(), yellow)) << clear;
        // The next task does not bring the marks back.
        Trigger("Zad_ER");
        std::fill(marks.begin(), marks.end(), 0);
        marks[3] = marks[8] = 1;
        Doc().MarkBranches(marks);
        p->IDrawWinForm->RedrawPlan();
        EXPECT_FALSE(Action("OpVetvi")->isChecked()) << clear;
        EXPECT_EQ(0, Pixels(Plan(), yellow)) << clear;
    }
}

TEST_F(PlanStateTest, CalculationPageIsEmptyForABranchTheTableLacks) {
    auto* datagrid = p->IDrawWinForm->findChild<QTableWidget*>("Datagrid");
    ASSERT_NE(nullptr, datagrid);
    auto cell = [&](int row) {
        const QTableWidgetItem* item = datagrid->item(row, 1);
        return item ? FromQString(item->text()) : std::string();
    };
    Select(1);
    EXPECT_EQ("1", cell(0));
    EXPECT_FALSE(cell(15).empty());
    // Branch 9 keeps its number and nodes but leaves the table.
    TModGrid& g = Tables().TablDan;
    g.SetRow(TableRow(9));
    g.RemoveCurrentRow();
    W().IndexCalcDataGrids();
    Select(9);
    for (int r = 0; r < datagrid->rowCount(); ++r) EXPECT_EQ("", cell(r)) << r;
    EXPECT_TRUE(Action("AddExt")->isEnabled());
}

TEST_F(PlanStateTest, ReopenedDrawingIsFittedToTheSizeTheWindowTakes) {
    dialogs.Answer(File("copy.grh"));
    Trigger("SaveAs1");
    ASSERT_TRUE(FileExists(File("copy.grh")));
    // Opened while the window is small; the window then takes its size, as
    // a window manager maximises it after the drawing was loaded.
    p->IDrawWinForm->resize(500, 400);
    QApplication::processEvents();
    dialogs.Answer(File("copy.grh"));
    messages.AllowAny();
    Trigger("Open1");
    messages.AllowAny(false);
    ASSERT_EQ(File("copy.grh"), W().CurrentFileName());
    p->IDrawWinForm->resize(1000, 700);
    const QRect opened = Inked(Plan());
    const double openedScale = Doc().scale;
    // As "Показать всё" shows it (the labels measured at another size may
    // move the extent by a few pixels).
    Trigger("ViewAll");
    EXPECT_NEAR(Doc().scale, openedScale, 0.01 * openedScale);
    const QRect fitted = Inked(Plan());
    EXPECT_NEAR(fitted.left(), opened.left(), 15);
    EXPECT_NEAR(fitted.right(), opened.right(), 15);
    EXPECT_NEAR(fitted.top(), opened.top(), 15);
    EXPECT_NEAR(fitted.bottom(), opened.bottom(), 15);

    // A view the user chose stays as it is when the window changes size.
    W().FormKeyDown('+', true);
    const double scale = Doc().scale;
    p->IDrawWinForm->resize(900, 650);
    QApplication::processEvents();
    EXPECT_EQ(scale, Doc().scale);
}

TEST_F(PlanStateTest, ViewAllFitsADrawingOfOneHorizontalLine) {
    TGCollFigure& doc = Doc();
    while (doc.Count() > 0) {
        doc.current = 0;
        doc.DeleteCurrent();
    }
    auto* line = static_cast<TGALine*>(doc.AddFigure(kKindALine));
    line->SetPoints({0, 0}, {1000, 0});
    doc.current = -1;
    doc.BuildVisibleList();
    W().VGrid = false; // no grid points
    Trigger("ViewAll");
    const QRect shown = Inked(Plan());
    // 95 % of the width, in the middle.
    EXPECT_NEAR(0.95 * W().PaintWidth, shown.width(), 3);
    EXPECT_NEAR(W().PaintWidth - 1 - shown.right(), shown.left(), 3);
    EXPECT_NEAR(W().PaintHeight / 2, shown.top(), 3);
}

TEST_F(PlanStateTest, HeldHandleIsRingedWhileTheButtonIsDown) {
    Trigger("Shaper");
    TGCollFigure& doc = Doc();
    const TNodeRecord& node = doc.nodes.Record(0);
    Look(node.point, 2.0);
    const int r = RoundI(doc.settings.nodeSize * doc.scale / 2);
    ASSERT_GE(r, 5);
    QWidget* plan = p->IDrawWinForm->PaintBox1();
    const TPoint c = doc.WorldToScreen(node.point);
    const Qt::CursorShape tool = plan->cursor().shape();

    Send(plan, QEvent::MouseButtonPress, QPoint(c.x, c.y), Qt::LeftButton, Qt::LeftButton);
    QImage held = Plan();
    for (QPoint at :
         {QPoint(c.x + r, c.y), QPoint(c.x - r, c.y), QPoint(c.x, c.y + r), QPoint(c.x, c.y - r)})
        EXPECT_TRUE(RedNear(held, at)) << at.x() << "," << at.y();
    EXPECT_EQ(Qt::CrossCursor, plan->cursor().shape());
    // The ring follows the handle.
    Send(plan, QEvent::MouseMove, QPoint(c.x + 40, c.y), Qt::NoButton, Qt::LeftButton);
    held = Plan();
    EXPECT_TRUE(RedNear(held, QPoint(c.x + 40 + r, c.y)));
    EXPECT_TRUE(RedNear(held, QPoint(c.x + 40 - r, c.y)));

    Send(plan, QEvent::MouseButtonRelease, QPoint(c.x + 40, c.y), Qt::LeftButton, Qt::NoButton);
    const QImage released = Plan();
    EXPECT_FALSE(RedNear(released, QPoint(c.x + 40 + r, c.y)));
    EXPECT_FALSE(RedNear(released, QPoint(c.x + 40 - r, c.y)));
    EXPECT_EQ(tool, plan->cursor().shape());
}

// File → New after a calculation: the result displays are off and stay off,
// the scheme records are the new drawing's own, and the plan shows nothing
// of the drawing before.
TEST_F(PlanStateTest, NewStartsWithTheResultDisplaysOffAndItsOwnSchemeRecords) {
    messages.AllowAny();
    Trigger("Zad_ER");
    Trigger("MDAVL");
    for (const char* shown : {"MQData", "MArrowQ", "MDAVL"})
        ASSERT_TRUE(Action(shown)->isChecked()) << shown;
    Trigger("MsxPLA");
    ASSERT_TRUE(Action("MsxPLA")->isChecked());
    messages.AllowAny(false);
    Trigger("New1");
    for (const char* shown : {"MQData", "MArrowQ", "MDAVL", "MsxPLA"})
        EXPECT_FALSE(Action(shown)->isChecked()) << shown;
    EXPECT_TRUE(Action("MsxRasch")->isChecked());
    TDrawingGlobals fresh;
    for (int k = 0; k < kSchemeCount; ++k)
        EXPECT_EQ(fresh.SchemeViewFlags[k], DrawingGlobals().SchemeViewFlags[k]) << "scheme " << k;
    // A branch drawn on the new drawing is a bare line: no flow, arrow or
    // pressure labels come back with it.
    EXPECT_FALSE(Doc().display.caption[1]);
    EXPECT_FALSE(Doc().display.caption[4]);
    EXPECT_FALSE(Doc().display.caption[5]);
    EXPECT_FALSE(WindowState().MsxPLA);
}

// With "Новая таблица" set to an initial-data tag, the main window's New
// shows the initial-data table, as the data window's own New does, and the
// resistance calculation works on it; opening a drawing shows the branch
// table again.
TEST_F(PlanStateTest, NewShowsTheInitialDataTableTheSettingsAskFor) {
    TCalcContext& c = DataWindowController().CalcContext();
    c.CalcOptions[5] = 'H';
    Trigger("New1");
    EXPECT_TRUE(Tables().TablID.Visible());
    EXPECT_FALSE(Tables().TablDan.Visible());
    EXPECT_FALSE(Trim(Tables().TablID.Cells(3, 0)).empty());
    // One working with its pressures and flow typed in.
    TModGrid& id = Tables().TablID;
    id.SetCells(0, FirstDataRow, "1");
    id.SetCells(1, FirstDataRow, "1");
    id.SetCells(2, FirstDataRow, "2");
    id.SetCells(3, FirstDataRow, "10");
    id.SetCells(4, FirstDataRow, "30");
    id.SetCells(5, FirstDataRow, "2");
    DataCommand("Rasc_Sopr");
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ("   5,00", id.Cells(6, FirstDataRow));

    // A load empties the tables but shows the branch table.
    id.Modified = false;
    dialogs.Answer(File("SampleMine.grh"), 1);
    Trigger("Open1");
    EXPECT_TRUE(Tables().TablDan.Visible());
    EXPECT_FALSE(Tables().TablID.Visible());
}

// The data window's "Схема вентиляции" shows the branch of the current row
// as "Найти ветвь" shows it: centred on the figure's reference point, the
// zoom kept.
TEST_F(PlanStateTest, ToTheDrawingCentresOnTheBranchAsFindBranchDoes) {
    // The reference point of a branch is its first point, not the middle.
    const int number = 5;
    ASSERT_TRUE(Doc().HasBranchNumber(number));
    TGCustomFigure* branch = Doc().CurrentFigure();
    const TPoint reference{branch->x1, branch->y1};
    ASSERT_NE(reference, (TPoint{(branch->box.left + branch->box.right) / 2,
                                 (branch->box.top + branch->box.bottom) / 2}));
    Look({0, 0}, 1.5);
    const double scale = Doc().scale;

    Tables().TablDan.SetCurrent(0, TableRow(number));
    DataCommand("Serv_Sxema");
    const TRect fromData = Doc().viewRect;
    EXPECT_EQ(branch, Doc().CurrentFigure());
    EXPECT_EQ(scale, Doc().scale);
    EXPECT_NEAR(reference.x, (fromData.left + fromData.right) / 2.0, 1);
    EXPECT_NEAR(reference.y, (fromData.top + fromData.bottom) / 2.0, 1);
    EXPECT_NEAR(W().PaintWidth / scale, fromData.right - fromData.left, 2);

    Look({0, 0}, 1.5);
    messages.ExpectInput(std::to_string(number));
    Trigger("NBrnSearch");
    EXPECT_EQ(fromData, Doc().viewRect);
}

// The zoom tool's clicks on a sloped branch's middle centre the view on it
// and step from the fitted view to the largest: at every step the flow
// value's centre stays on the branch's middle along the branch.
TEST_F(PlanStateTest, FlowValueStaysCentredOnItsBranchAtEveryZoomStep) {
    Trigger("Zad_ER");
    TGBranch* branch = nullptr;
    TPoint from, to;
    for (int32_t i = 0; i < Doc().Count() && !branch; ++i)
        if (TGBranch* b = Doc().BranchAt(i); b && b->number > 0) {
            ReferenceSegment(*b, from, to);
            if (from.x != to.x && from.y != to.y) branch = b;
        }
    ASSERT_TRUE(branch);
    // How far the centre of the text written lies from the middle, along the branch.
    double along = 1e9;
    auto keep = Doc().OnDrawLabel;
    Doc().OnDrawLabel = [&](TCanvas& dc, int32_t number, int32_t record, int32_t value,
                            TLabelTextOut textOut, TGCollFigure& d) {
        const TCanvasPoint s = dc.PenPos();
        const bool drawn = keep(dc, number, record, value, textOut, d);
        const TCanvasPoint e = dc.PenPos();
        const TPoint f = d.WorldToScreen(from), t = d.WorldToScreen(to);
        const double dx = t.x - f.x, dy = t.y - f.y;
        if (record == 1 && number == branch->number)
            along = ((0.0 + s.x + e.x - f.x - t.x) * dx + (0.0 + s.y + e.y - f.y - t.y) * dy) /
                    (2 * std::hypot(dx, dy));
        return drawn;
    };
    W().RedrawPlan(); // the fitted view
    Trigger("ZoomIn");
    for (double last = 0; Doc().scale != last;) {
        EXPECT_NEAR(0, along, 3) << "at " << RoundI(Doc().scale * 100) << " %";
        last = Doc().scale;
        along = 1e9;
        const TPoint m = Doc().WorldToScreen(Middle(from, to));
        Click(p->IDrawWinForm->PaintBox1(), QPoint(m.x, m.y));
    }
    EXPECT_GT(Doc().scale, 20);
    Doc().OnDrawLabel = keep;
}
