// The plan editor: tool commands, the mouse on the drawing area in every
// tool mode, and the delete, previous and next commands on the current
// figure. Rubber bands are drawn by inversion straight on the plan picture,
// so a mouse move never paints the plan anew.
#include "app/DrawWin.h"
#include "app/ToolModes.h"

#include "calc/model/DecimalText.h"
#include "calc/window/DataWindowController.h"
#include "document/Branch.h"
#include "document/DrawingGlobals.h"
#include "document/TextFigures.h"
#include "document/ToolFigures.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/Services.h"

#include <algorithm>
#include <array>

namespace arv {

namespace {

TPoint Offset(TPoint p, TPoint by) {
    return {ClampI(static_cast<int64_t>(p.x) + by.x), ClampI(static_cast<int64_t>(p.y) + by.y)};
}

TPoint Difference(TPoint a, TPoint b) {
    return {ClampI(static_cast<int64_t>(a.x) - b.x), ClampI(static_cast<int64_t>(a.y) - b.y)};
}

// The world rectangle between two corners, top above bottom.
TRect WorldRect(TPoint a, TPoint b) {
    return {std::min(a.x, b.x), std::max(a.y, b.y), std::max(a.x, b.x), std::min(a.y, b.y)};
}

void Draw(TIDrawWin& w, const std::function<void(TCanvas&)>& draw) {
    if (IDrawWinView* v = w.View()) v->DrawOnPlan(draw);
}

void RubberLine(TIDrawWin& w, TPoint from, TPoint to) {
    Draw(w, [&](TCanvas& c) {
        w.SetRubberPen(c);
        c.MoveTo(from.x, from.y);
        c.LineTo(to.x, to.y);
    });
}

// A focus rectangle: a dotted frame drawn by inversion, so drawing it twice
// takes it away.
void FocusRect(TIDrawWin& w, TPoint a, TPoint b) {
    const TRect r = NormalizedScreenRect(a, b);
    Draw(w, [&](TCanvas& c) {
        c.pen = TPen{0, 1, TPenStyle::Dot, TPenMode::NotXor};
        c.brush.style = TBrushStyle::Clear;
        c.Rectangle(r.left, r.top, r.right + 1, r.bottom + 1);
    });
}

void ArcOnPlan(TIDrawWin& w, const TArcPreview& a) {
    Draw(w, [&](TCanvas& c) {
        w.SetRubberPen(c);
        c.Arc(a.box.left, a.box.top, a.box.right, a.box.bottom, a.start.x, a.start.y, a.end.x,
              a.end.y);
    });
}

// The preview arc about the screen centre, erasing the one shown before.
void ShowArcPreview(TIDrawWin& w, TPoint centre) {
    TEditState& e = w.Edit;
    TGCollFigure& doc = w.Doc();
    if (e.ArcPreviewShown) ArcOnPlan(w, e.ArcShown);
    e.ArcShown =
        ArcPreview(centre, doc.WorldToScreen(e.ArcFirstPoint), doc.WorldToScreen(e.ArcSecondPoint));
    ArcOnPlan(w, e.ArcShown);
    e.ArcPreviewShown = true;
}

// After an edit of the drawing: the window learns it, the plan shows it.
void Changed(TIDrawWin& w) {
    TGCollFigure& doc = w.Doc();
    doc.DoChange();
    doc.BuildVisibleList();
    w.RedrawPlan();
    w.DrawingModified = true;
}

// ---- presses ----

void PressSelect(TIDrawWin& w, TPoint s) {
    TGCollFigure& doc = w.Doc();
    doc.SelectAt(s, -1);
    w.RedrawPlan();
    if (w.RoutePicks && w.RoutePicks->PickPending())
        if (TGBranch* b = doc.BranchAt(doc.current); b && b->number > 0)
            w.RoutePicks->BranchPicked(b->number, b->name);
}

int32_t KindOfMode(int32_t mode) {
    switch (mode) {
    case 2:
        return kKindLine;
    case 3:
        return kKindPolyLine;
    case 9:
        return kKindPolygon;
    default:
        return mode; // 1009 and 1011 are their figure kinds
    }
}

void StartAt(TIDrawWin& w, TPoint s) {
    TEditState& e = w.Edit;
    e.AnchorPoint = e.MovingPoint = w.SnapPoint(s);
    e.AnchorScreen = e.MovingScreen = s;
}

// Branch line, ellipse, plain line: the second click makes the figure.
void PressTwoPoint(TIDrawWin& w, TPoint s) {
    TEditState& e = w.Edit;
    e.LineRubberActive = !e.LineRubberActive;
    if (!e.LineRubberActive) {
        AddTwoPointFigure(w.Doc(), KindOfMode(w.DrawMode), e.MovingPoint, e.AnchorPoint);
        Changed(w);
    }
    StartAt(w, s);
}

void PressVertex(TIDrawWin& w, TPoint s) {
    TEditState& e = w.Edit;
    if (!e.LineRubberActive) e.VertexClickCount = 0;
    ++e.VertexClickCount;
    if (e.VertexClickCount > kMaxToolClicks) {
        MessageBox(w.DrawMode == 3 ? Ru("Превышено максимальное число ветвей полилинии")
                                   : Ru("Превышено максимальное число ветвей полигона"),
                   "", TMsgButtons::Ok, TMsgIcon::Information);
        return;
    }
    if (e.VertexClickCount >= 2) {
        TGCollFigure& doc = w.Doc();
        AddVertexClick(doc, KindOfMode(w.DrawMode), e.VertexClickCount, e.AnchorPoint,
                       e.MovingPoint);
        // The first segment is on the screen as the rubber line.
        if (e.VertexClickCount >= 3) w.RedrawPlan();
        doc.DoChange();
        doc.BuildVisibleList();
        w.DrawingModified = true;
    }
    StartAt(w, s);
    e.LineRubberActive = true;
}

void PressArc(TIDrawWin& w, TPoint s) {
    TEditState& e = w.Edit;
    TGCollFigure& doc = w.Doc();
    switch (e.ArcClickCount) {
    case 0:
        e.ArcFirstPoint = w.SnapPoint(s);
        e.AnchorScreen = doc.WorldToScreen(e.ArcFirstPoint);
        e.MovingScreen = e.AnchorScreen;
        e.LineRubberActive = true;
        e.ArcPreviewShown = false;
        e.ArcClickCount = 2;
        break;
    case 2: {
        e.ArcSecondPoint = w.SnapPoint(s);
        const TPoint first = doc.WorldToScreen(e.ArcFirstPoint);
        const TPoint second = doc.WorldToScreen(e.ArcSecondPoint);
        // The rubber line gives way to the line from the first point to the
        // second.
        RubberLine(w, first, e.MovingScreen);
        RubberLine(w, first, second);
        e.MovingScreen = second;
        ShowArcPreview(w, second);
        e.ArcClickCount = 3;
        break;
    }
    default:
        e.ArcThirdPoint = doc.ScreenToWorld(s);
        AddArcFigure(doc, e.ArcFirstPoint, e.ArcSecondPoint, e.ArcThirdPoint);
        Changed(w);
        e.LineRubberActive = false;
        e.ArcPreviewShown = false;
        e.ArcClickCount = 0;
        break;
    }
}

void PressText(TIDrawWin& w, TPoint s) {
    TGCollFigure& doc = w.Doc();
    std::string text;
    TFontRecord font = doc.settings.fonts[0];
    if (!w.View() || !w.View()->AskText(text, font)) return;
    auto* t = static_cast<TGText*>(doc.AddFigure(kKindText));
    t->SetTextAndFont(text, font, doc.ScreenToWorld(s));
    Changed(w);
}

void PressSymbol(TIDrawWin& w, TPoint s) {
    TGCollFigure& doc = w.Doc();
    const TPicChoice& c = w.PicChoice;
    if (!doc.PlaceSymbol(c.Name, ProgramDir() + "img\\", c.Index, c.Picture, doc.ScreenToWorld(s)))
        return;
    Changed(w);
}

void PressShaper(TIDrawWin& w, TPoint s) {
    TEditState& e = w.Edit;
    TGCollFigure& doc = w.Doc();
    e.ShaperState = doc.FindHandleAt(s, e.Handle);
    if (e.ShaperState != 0) {
        e.AnchorPoint = e.MovingPoint = e.Handle.grab;
        e.AnchorScreen = e.MovingScreen = doc.WorldToScreen(e.Handle.grab);
        w.PlanCursor = TPlanCursor::Cross;
    }
    // Taking hold moves nothing: only a drag step marks the drawing modified.
    w.RedrawPlan();
}

void PressPan(TIDrawWin& w, TPoint s) {
    w.Edit.AnchorPoint = w.Edit.MovingPoint = w.Doc().ScreenToWorld(s);
}

void PressZoomIn(TIDrawWin& w, TPoint s) {
    w.Doc().ZoomInAt(s);
    w.RedrawPlan();
}

void PressZoomOut(TIDrawWin& w, TPoint s) {
    w.Doc().ZoomOutAt(s);
    w.RedrawPlan();
}

// The rectangle tools: the first click starts the band, the second uses it.
void PressRect(TIDrawWin& w, TPoint s) {
    TEditState& e = w.Edit;
    TGCollFigure& doc = w.Doc();
    e.RectRubberActive = !e.RectRubberActive;
    if (e.RectRubberActive) {
        e.AnchorPoint = e.MovingPoint = doc.ScreenToWorld(s);
        e.AnchorScreen = e.MovingScreen = s;
        FocusRect(w, s, s);
        return;
    }
    FocusRect(w, e.AnchorScreen, e.MovingScreen);
    e.AnchorScreen = e.MovingScreen = {0, 0};
    // Dragged in any direction, the rectangle is the same.
    const TRect r = WorldRect(e.AnchorPoint, e.MovingPoint);
    switch (w.DrawMode) {
    case 12:
        doc.ZoomToRect(r);
        break;
    case 15:
        AddTwoPointFigure(doc, kKindRectangle, e.MovingPoint, e.AnchorPoint);
        w.DrawingModified = true;
        break;
    case 20:
        w.PrintRectangle(r);
        break;
    case 22:
        doc.SelectGroup(e.AnchorPoint, e.MovingPoint);
        e.GroupOffset = {};
        w.DrawMode = 23;
        w.PlanCursor = TPlanCursor::SizeAll;
        break;
    case 25: {
        const int32_t chosen = doc.SelectGroup(e.AnchorPoint, e.MovingPoint);
        doc.current = chosen < doc.Count() ? chosen : -1;
        doc.DoChange();
        if (w.View()) w.View()->ShowPropertyPanel();
        w.PlanCursor = TPlanCursor::SizeAll;
        break;
    }
    default:
        break;
    }
    doc.DoChange();
    doc.BuildVisibleList();
    w.RedrawPlan();
}

void PressRoute(TIDrawWin& w, TPoint s) {
    TGCollFigure& doc = w.Doc();
    w.DrawMode = 1;
    w.PlanCursor = TPlanCursor::Arrow;
    doc.SelectAt(s, -1);
    w.RedrawPlan();
    if (TGBranch* b = doc.BranchAt(doc.current); b && w.RoutePicks)
        w.RoutePicks->BranchExcluded(b->number);
}

void PressGroupMove(TIDrawWin& w, TPoint s) {
    // Back by what the group moved already: MoveGroup starts from the
    // positions saved at selection.
    w.Edit.AnchorPoint = Difference(w.SnapPoint(s), w.Edit.GroupOffset);
}

void PressForward(TIDrawWin& w, TPoint s) {
    TGCollFigure& doc = w.Doc();
    const int32_t found = doc.SelectAt(s, 0);
    if (found >= 0 && doc.current >= 0 && found != doc.current) {
        doc.MoveInOrder(found, doc.current);
        w.DrawingModified = true;
    }
    w.RedrawPlan();
    w.DrawMode = 1;
    w.PlanCursor = TPlanCursor::Default;
    w.ToolButtonDown.clear();
}

// ---- moves ----

void MoveLine(TIDrawWin& w, TPoint s, TMouseShift) {
    TEditState& e = w.Edit;
    if (!e.LineRubberActive) return;
    TGCollFigure& doc = w.Doc();
    e.AnchorScreen = doc.WorldToScreen(e.AnchorPoint);
    if (!w.ViewChanged) RubberLine(w, e.AnchorScreen, e.MovingScreen);
    e.MovingScreen = s;
    e.MovingPoint = w.SnapPoint(s);
    RubberLine(w, e.AnchorScreen, s);
    w.ViewChanged = false;
    w.StatusPanels[2] = OffsetStatusText(e.AnchorPoint, e.MovingPoint);
}

void MoveArc(TIDrawWin& w, TPoint s, TMouseShift) {
    TEditState& e = w.Edit;
    if (!e.LineRubberActive) return;
    TGCollFigure& doc = w.Doc();
    if (e.ArcClickCount == 2) {
        e.AnchorScreen = doc.WorldToScreen(e.ArcFirstPoint);
        if (!w.ViewChanged) RubberLine(w, e.AnchorScreen, e.MovingScreen);
        e.MovingScreen = s;
        e.MovingPoint = w.SnapPoint(s);
        RubberLine(w, e.AnchorScreen, s);
        w.ViewChanged = false;
        w.StatusPanels[2] = OffsetStatusText(e.ArcFirstPoint, e.MovingPoint);
    } else if (e.ArcClickCount == 3) {
        if (w.ViewChanged) e.ArcPreviewShown = false;
        ShowArcPreview(w, s);
        w.ViewChanged = false;
    }
}

void MoveRect(TIDrawWin& w, TPoint s, TMouseShift) {
    TEditState& e = w.Edit;
    if (!e.RectRubberActive) return;
    if (!w.ViewChanged) FocusRect(w, e.AnchorScreen, e.MovingScreen);
    FocusRect(w, e.AnchorScreen, s);
    e.MovingScreen = s;
    e.MovingPoint = w.Doc().ScreenToWorld(s);
    w.ViewChanged = false;
}

void MoveShaper(TIDrawWin& w, TPoint s, TMouseShift shift) {
    TEditState& e = w.Edit;
    if (!shift.left || e.ShaperState == 0) return;
    const TPoint q = w.Doc().ScreenToWorld(s);
    if (q == e.MovingPoint) return; // the handle stays where it is
    e.MovingPoint = q;
    w.Doc().DragSelection(e.Handle, e.MovingPoint);
    w.DrawingModified = true;
    w.RedrawMoving(w.Doc().DragPart(e.Handle));
}

void MovePan(TIDrawWin& w, TPoint s, TMouseShift shift) {
    if (!shift.left) return;
    TEditState& e = w.Edit;
    TGCollFigure& doc = w.Doc();
    e.MovingPoint = doc.ScreenToWorld(s);
    e.PanDelta = Difference(e.MovingPoint, e.AnchorPoint);
    const TRect& v = doc.viewRect;
    const TPoint back{-e.PanDelta.x, -e.PanDelta.y};
    const TPoint lt = Offset({v.left, v.top}, back), rb = Offset({v.right, v.bottom}, back);
    doc.SetViewRect({lt.x, lt.y, rb.x, rb.y});
    w.RedrawPlan();
}

void MoveGroup(TIDrawWin& w, TPoint s, TMouseShift shift) {
    if (!shift.left) return;
    TEditState& e = w.Edit;
    e.MovingPoint = w.Doc().ScreenToWorld(s);
    w.Doc().MoveGroup(e.AnchorPoint, e.MovingPoint);
    e.GroupOffset = Difference(e.MovingPoint, e.AnchorPoint);
    w.DrawingModified = true;
    w.RedrawMoving(w.Doc().GroupPart());
}

// ---- the right button ----

void CancelLine(TIDrawWin& w, TPoint) {
    TEditState& e = w.Edit;
    if (e.LineRubberActive) {
        const TPoint anchor =
            w.DrawMode == 1003 ? w.Doc().WorldToScreen(e.ArcFirstPoint) : e.AnchorScreen;
        RubberLine(w, anchor, e.MovingScreen);
    }
    if (e.ArcPreviewShown) ArcOnPlan(w, e.ArcShown);
    e.ArcPreviewShown = false;
    e.LineRubberActive = false;
    e.ArcClickCount = 0;
}

void CancelShaper(TIDrawWin& w, TPoint) {
    TEditState& e = w.Edit;
    if (e.ShaperState == 2) {
        w.Doc().DragSelection(e.Handle, e.MovingPoint);
        if (e.MovingPoint != e.Handle.grab) w.DrawingModified = true;
    }
    e.ShaperState = 0;
    w.RedrawPlan();
}

void CancelPan(TIDrawWin& w, TPoint) {
    w.RedrawPlan();
}

void CancelRect(TIDrawWin& w, TPoint) {
    TEditState& e = w.Edit;
    if (e.RectRubberActive) FocusRect(w, e.AnchorScreen, e.MovingScreen);
    e.RectRubberActive = false;
    w.Doc().groupList.clear();
}

void CancelGroupMove(TIDrawWin& w, TPoint) {
    w.Edit.LineRubberActive = false;
}

const std::array<TToolMode, 21> kToolModes{{
    {1, "BSelect", TPlanCursor::Arrow, PressSelect, nullptr, nullptr},
    {2, "BLine", TPlanCursor::Cross, PressTwoPoint, MoveLine, CancelLine},
    {3, "BPolyLine", TPlanCursor::Cross, PressVertex, MoveLine, CancelLine},
    {5, "BText", TPlanCursor::IBeam, PressText, nullptr, nullptr},
    {6, "BPic", TPlanCursor::Cross, PressSymbol, nullptr, nullptr},
    {7, "Shaper", TPlanCursor::Drag, PressShaper, MoveShaper, CancelShaper},
    {8, "ToolButtonMove", TPlanCursor::SizeAll, PressPan, MovePan, CancelPan},
    {9, "BPolygon", TPlanCursor::Cross, PressVertex, MoveLine, CancelLine},
    {10, "ZoomIn", TPlanCursor::ZoomIn, PressZoomIn, nullptr, nullptr},
    {11, "ZoomOut", TPlanCursor::ZoomOut, PressZoomOut, nullptr, nullptr},
    {12, "ZoomRect", TPlanCursor::ZoomRect, PressRect, MoveRect, CancelRect},
    {15, "BRectangle", TPlanCursor::Cross, PressRect, MoveRect, CancelRect},
    {20, "Printrect", TPlanCursor::ZoomRect, PressRect, MoveRect, CancelRect},
    {21, "", TPlanCursor::Arrow, PressRoute, nullptr, nullptr},
    {22, "BMove", TPlanCursor::Cross, PressRect, MoveRect, CancelRect},
    {23, "BMove", TPlanCursor::SizeAll, PressGroupMove, MoveGroup, CancelGroupMove},
    {24, "TBForwardPlan", TPlanCursor::Default, PressForward, nullptr, nullptr},
    {25, "PropGroup", TPlanCursor::Cross, PressRect, MoveRect, CancelRect},
    {1003, "BArc", TPlanCursor::Cross, PressArc, MoveArc, CancelLine},
    {1009, "BElipse", TPlanCursor::Cross, PressTwoPoint, MoveLine, CancelLine},
    {1011, "BALine", TPlanCursor::Cross, PressTwoPoint, MoveLine, CancelLine},
}};

} // namespace

const TToolMode* FindToolMode(int32_t mode) {
    for (const TToolMode& m : kToolModes)
        if (m.mode == mode) return &m;
    return nullptr;
}

std::string OffsetStatusText(TPoint anchor, TPoint moving) {
    const double dx = (static_cast<double>(moving.x) - anchor.x) * 0.5;
    const double dy = (static_cast<double>(moving.y) - anchor.y) * 0.5;
    return Format(Ru("dx=%fмм,dy=%fмм"), {dx, dy});
}

TPoint TIDrawWin::SnapPoint(TPoint screen) const {
    return arv::SnapPoint(*doc_, screen, Settings.GridStep, Settings.NodeLink);
}

void TIDrawWin::SetRubberPen(TCanvas& canvas) const {
    canvas.pen = TPen{DrawingGlobals().DefLineColor, 1, TPenStyle::Solid, TPenMode::NotXor};
    canvas.brush.style = TBrushStyle::Clear;
}

void TIDrawWin::SetToolMode(int32_t mode) {
    // Another tool ends the one in progress; a band or a handle's ring left
    // on the screen goes with the repaint.
    const bool bandShown = Edit.LineRubberActive || Edit.RectRubberActive || HandleHeld();
    // The plan drawn under the pan tool has no labels: any other tool brings
    // them back at once, not at the next repaint that happens to come.
    const bool panEnded = DrawMode == 8 && mode != 8;
    Edit.LineRubberActive = Edit.RectRubberActive = false;
    Edit.VertexClickCount = Edit.ArcClickCount = 0;
    Edit.ArcPreviewShown = false;
    Edit.ShaperState = 0;
    DrawMode = mode;
    if (const TToolMode* m = FindToolMode(mode)) {
        PlanCursor = m->cursor;
        ToolButtonDown = m->button;
    }
    if (bandShown || panEnded) Repaint();
}

void TIDrawWin::ASelectExecute() {
    SetToolMode(1);
}
void TIDrawWin::AShaperExecute() {
    SetToolMode(7);
}
void TIDrawWin::ALineExecute() {
    SetToolMode(2);
}
void TIDrawWin::APolyLineExecute() {
    SetToolMode(3);
}
void TIDrawWin::ATextExecute() {
    SetToolMode(5);
}
void TIDrawWin::APolygonExecute() {
    SetToolMode(15);
}
void TIDrawWin::BPolygonClick() {
    SetToolMode(9);
}
void TIDrawWin::BALineClick() {
    SetToolMode(1011);
}
void TIDrawWin::BElipseClick() {
    SetToolMode(1009);
}
void TIDrawWin::BArcClick() {
    SetToolMode(1003);
}
void TIDrawWin::BMoveClick() {
    SetToolMode(22);
}
void TIDrawWin::PropGroupClick() {
    SetToolMode(25);
}
void TIDrawWin::TBForwardPlanClick() {
    SetToolMode(24);
}
void TIDrawWin::ToolButtonMoveClick() {
    SetToolMode(8);
}
void TIDrawWin::ZoomInClick() {
    SetToolMode(10);
}
void TIDrawWin::ZoomOutClick() {
    SetToolMode(11);
}
void TIDrawWin::ZoomRectClick() {
    SetToolMode(12);
}

void TIDrawWin::BPicChosen(const TPicChoice& choice) {
    PicChoice = choice;
    SetToolMode(6);
}

void TIDrawWin::PaintBox1MouseDown(TMouseButton button, TMouseShift shift, int x, int y) {
    PlanMouseDown();
    ViewChanged = false;
    TPoint s{x, y};
    if (shift.shift) s = ShiftSnap(Edit.AnchorScreen, s);
    Edit.MouseIsDown = true;
    const TToolMode* m = FindToolMode(DrawMode);
    if (button == TMouseButton::Right) {
        if (m && m->cancel) m->cancel(*this, s);
        Edit.VertexClickCount = 0;
        doc_->BuildVisibleList();
        ASelectExecute();
        return;
    }
    if (button != TMouseButton::Left) {
        if (DrawMode == 7) Edit.ShaperState = 0;
        return;
    }
    if (m && m->press) m->press(*this, s);
}

void TIDrawWin::PaintBox1MouseMove(TMouseShift shift, int x, int y) {
    TPoint s{x, y};
    if (shift.shift) s = ShiftSnap(Edit.AnchorScreen, s);
    const TPoint p = doc_->ScreenToWorld(s);
    StatusPanels[0] = "x= " + IntToStr(p.x) + ", y= " + IntToStr(p.y);
    const TToolMode* m = FindToolMode(DrawMode);
    if (m && m->move) m->move(*this, s, shift);
}

void TIDrawWin::PaintBox1MouseUp(TMouseButton, TMouseShift, int, int) {
    Edit.MouseIsDown = false;
    const bool released = HandleHeld();
    Edit.ShaperState = 0;
    // The ring round the handle goes, the tool's own cursor comes back.
    if (released)
        if (const TToolMode* m = FindToolMode(DrawMode)) PlanCursor = m->cursor;
    // The steps of a drag drew what moved over what stood still; the plan as
    // it now is may draw them in another order.
    if (released || Edit.MovingShown) Repaint();
}

void TIDrawWin::PrevExecute() {
    doc_->SelectPrev();
    doc_->DoChange();
    Repaint();
}

void TIDrawWin::NextExecute() {
    doc_->SelectNext();
    doc_->DoChange();
    Repaint();
}

void TIDrawWin::DelExecute() {
    TGCollFigure& doc = *doc_;
    if (!doc.CurrentFigure()) return;
    if (MessageBox(Ru("Удалить объект?"), "", TMsgButtons::YesNo, TMsgIcon::Question) != mrYes)
        return;
    const TGBranch* b = doc.BranchAt(doc.current);
    const int32_t number = b ? b->number : 0;
    doc.DeleteCurrent();
    DrawingModified = true;
    if (number > 0 &&
        MessageBox(Ru("Удалить ветвь из расчетных данных?"), "", TMsgButtons::YesNo,
                   TMsgIcon::Question) == mrYes &&
        dataWindow_) {
        // Only the branch's own row goes; without one no row is touched.
        TModGrid& grid = dataWindow_->Tables().TablDan;
        for (int r = FirstDataRow; r < grid.RowCount(); ++r)
            if (CellToIntDef0(grid.Cells(0, r)) == number) {
                grid.SetRow(r);
                grid.RemoveCurrentRow();
                // The rows below moved up: the branches' links must follow.
                IndexCalcDataGrids();
                LinkBranchesToCalcData();
                break;
            }
    }
    PurgeUnreferencedNodes();
    ViewChanged = true;
    Repaint();
}

} // namespace arv
