#include "document/Labels.h"

#include "document/Branch.h"
#include "document/Constants.h"
#include "document/DrawingGlobals.h"
#include "document/Render.h"
#include "document/TextFigures.h"
#include "document/WindowHost.h"
#include "platform/StringGrid.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace arv {

namespace {

constexpr int32_t kBlack = 0;
constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kYellow = 0x00FFFF;
constexpr int32_t kBlue = 0xFF0000;
constexpr int32_t kGreen = 0x008000;
// Column of the air flow in the calculation grid.
constexpr int kFlowColumn = 11;

double Degrees(double radians) {
    return radians * 180.0 / kPi;
}

void Line(TCanvas& c, TPoint a, TPoint b) {
    c.MoveTo(a.x, a.y);
    c.LineTo(b.x, b.y);
}

void Circle(TCanvas& c, TPoint m, int32_t r) {
    c.Ellipse(m.x - r, m.y - r, m.x + r, m.y + r);
}

TPoint Plus(TPoint a, int64_t dx, int64_t dy) {
    return {ClampI(a.x + dx), ClampI(a.y + dy)};
}

TPoint Middle(TPoint a, TPoint b) {
    return {HalfSum(a.x, b.x), HalfSum(a.y, b.y)};
}

// A coordinate of the arrow's shape at the arrow scale (tenths); in double,
// since a drawing may carry any int32 scale.
double ArrowShapeUnits(int32_t v, int32_t arrowScale) {
    return RoundI(v * static_cast<double>(arrowScale) / 10.0);
}

// Saves the canvas state a label pass changes and puts it back on every path.
class TCanvasState {
public:
    explicit TCanvasState(TCanvas& c)
        : c_(c), pen_(c.pen), brush_(c.brush), font_(c.font), align_(c.TextAlign()),
          transparent_(c.BackgroundTransparent()) {}
    ~TCanvasState() {
        c_.pen = pen_;
        c_.brush = brush_;
        c_.font = font_;
        c_.SetTextAlign(align_);
        c_.SetBackgroundTransparent(transparent_);
    }
    TCanvasState(const TCanvasState&) = delete;
    TCanvasState& operator=(const TCanvasState&) = delete;

private:
    TCanvas& c_;
    TPen pen_;
    TBrush brush_;
    TFont font_;
    uint32_t align_;
    bool transparent_;
};

// The row of the calculation grid that a branch's flow label reads, -1 when
// the link does not lead to a row of the grid.
int32_t LinkedRow(const TGBranch& b, int32_t link) {
    const TWindowState& ws = WindowState();
    if (link < 0 || link >= static_cast<int32_t>(ws.CalcBranchIndex.size())) return -1;
    const TCalcBranchIndexEntry& e = ws.CalcBranchIndex[static_cast<size_t>(link)];
    if (e.number != b.number) return -1;
    if (!ws.Datagrid || e.row < 0 || e.row >= ws.Datagrid->RowCount()) return -1;
    return e.row;
}

// The angle a flow value's font turns by: its branch's direction, except
// that on a branch running straight down the text reads upward.
double FlowFontAngle(double direction) {
    return RoundI(Degrees(direction)) == -90 ? kPi / 2 : direction;
}

// Where a flow value not placed by hand starts: set back from the middle of
// its branch by half its width in world units along the reading direction,
// so that it stands centred on the branch at every scale.
TPoint CentredFlowAnchor(TPoint mid, double readingAngle, double worldWidth) {
    return Plus(mid, -RoundI(worldWidth * std::cos(readingAngle) / 2),
                -RoundI(worldWidth * std::sin(readingAngle) / 2));
}

} // namespace

void ReferenceSegment(const TGBranch& b, TPoint& from, TPoint& to) {
    to = b.End();
    from = b.Begin();
    if (b.kind == kKindPolyLine) {
        const auto& p = static_cast<const TGPolyLine&>(b);
        const int32_t n = std::min<int32_t>(p.bendCount, static_cast<int32_t>(p.bends.size()));
        if (n >= 1) from = p.bends[static_cast<size_t>(n - 1)];
    }
}

TFont LogFontRotated(const TFont& font, double angle) {
    TFont out = font;
    const int32_t a = RoundI(Degrees(angle) * 10);
    out.escapement = (a > 900 || a < -900) ? a - 1800 : a;
    out.orientation = out.escapement;
    return out;
}

double ReadingAngle(double direction) {
    const int32_t d = RoundI(Degrees(direction));
    if (d > 90) return direction - kPi;
    if (d <= -90) return direction + kPi;
    return direction;
}

void TextExtentOf(TGCollFigure& doc, TCanvas& canvas, std::string_view text) {
    const TCanvasSize e = canvas.TextExtent(text);
    doc.labelTextSize = {e.cx, e.cy};
}

void DrawNodeMarker(TGCollFigure& doc, TCanvas& c, TPoint centre, TPoint textPoint, bool big,
                    int32_t innerColour, int32_t number, int32_t ringKind) {
    const TPen savedPen = c.pen;
    const TBrush savedBrush = c.brush;
    const double f = big ? 1.5 : 1.0;
    const double unit = doc.settings.symbolSize * doc.scale;
    const int32_t outer = RoundI(unit / 3 * f);
    const int32_t inner = RoundI(unit / 4 * f);
    const int32_t half = (outer - inner) / 2;
    c.pen.width = 1;
    c.pen.style = TPenStyle::Solid;
    if (ringKind == 2) {
        const int32_t m = inner + half;
        const TPoint top{centre.x, centre.y - m}, bottom{centre.x, centre.y + m};
        c.brush.style = TBrushStyle::Clear;
        c.pen.width = outer - inner;
        c.pen.colour = kYellow;
        c.Arc(centre.x - m, centre.y - m, centre.x + m, centre.y + m, top.x, top.y, bottom.x,
              bottom.y);
        c.pen.colour = kRed;
        c.Arc(centre.x - m, centre.y - m, centre.x + m, centre.y + m, bottom.x, bottom.y, top.x,
              top.y);
        c.pen.width = 1;
        c.pen.colour = kBlack;
        Circle(c, centre, outer);
        c.brush.style = TBrushStyle::Solid;
        c.brush.colour = innerColour;
        Circle(c, centre, inner);
    } else {
        const size_t k = ringKind == 1 ? 1 : 0;
        c.brush.style = TBrushStyle::Solid;
        c.brush.colour = MarkerRingColors[k];
        Circle(c, centre, outer);
        c.brush.colour = innerColour;
        Circle(c, centre, inner);
    }
    // The number goes over the ring on a clear background.
    c.brush.style = TBrushStyle::Clear;
    c.MoveTo(textPoint.x, textPoint.y);
    c.TextOut(textPoint.x, textPoint.y, std::to_string(number));
    Circle(c, centre, inner);
    c.pen = savedPen;
    c.brush = savedBrush;
}

void DrawFlowArrow(TGCollFigure& doc, TCanvas& c, int32_t colour, bool monochrome, bool centred,
                   TPoint point, double angle) {
    const TPen savedPen = c.pen;
    const TBrush savedBrush = c.brush;
    c.pen.style = TPenStyle::Solid;
    c.pen.width = RoundI(DrawingGlobals().BranchPenWidth * doc.scale);
    const double cs = std::cos(angle), sn = std::sin(angle);
    std::array<TPoint, 6> s{};
    for (size_t i = 0; i < s.size(); ++i) {
        const double x = ArrowShapeUnits(ArrowShapePoints[i].x, doc.settings.arrowScale);
        const double y = ArrowShapeUnits(ArrowShapePoints[i].y, doc.settings.arrowScale);
        const TPoint w{ClampI(static_cast<int64_t>(RoundI(x * cs - y * sn)) + point.x),
                       ClampI(static_cast<int64_t>(RoundI(y * cs + x * sn)) + point.y)};
        s[i] = doc.WorldToScreen(w);
    }
    if (centred) {
        const int32_t dx = (s[1].x - s[0].x) / 2, dy = (s[1].y - s[0].y) / 2;
        for (TPoint& p : s) p = {p.x - dx, p.y - dy};
    }
    c.pen.colour = colour;
    c.brush.colour = colour;
    c.brush.style = TBrushStyle::Solid;
    Line(c, s[0], s[1]);
    if (monochrome && colour == kBlue) {
        Line(c, s[4], s[5]);
        c.brush.style = TBrushStyle::Clear;
    }
    const TCanvasPoint head[3] = {{s[1].x, s[1].y}, {s[2].x, s[2].y}, {s[3].x, s[3].y}};
    c.Polygon(head, 3);
    c.pen = savedPen;
    c.brush = savedBrush;
}

void TGCollFigure::DrawBranchLabels(TCanvas& c, bool) {
    if (settings.fonts[0].name.empty()) return;
    TCanvasState keep(c);
    c.SetTextAlign(kTaBottom);
    c.brush.style = TBrushStyle::Clear;
    const double offset = DrawingGlobals().DataOffset;
    // The label direction and, unless placed by hand, its anchor beside the
    // middle of the reference segment.
    auto place = [&](TGBranch& b, TPoint& anchor, uint8_t placed) {
        TPoint from, to;
        ReferenceSegment(b, from, to);
        // A fixed label angle turns the label only; the branch keeps its own
        // angle, which the band outlines use.
        const double direction = b.labelAngle != -1.0 ? b.labelAngle : DirectionAngle(from, to);
        const double a = ReadingAngle(direction);
        if (!placed) {
            const TPoint mid = Middle(from, to);
            anchor = Plus(mid, -RoundI(offset * std::sin(a)), RoundI(offset * std::cos(a)));
        }
        return a;
    };
    if (display.branchNames) {
        const TFont base = CanvasFont(settings.fonts[0], -RoundI(settings.fontSize1Scaled * scale));
        for (int32_t index : DrawList()) {
            TGBranch* b = BranchAt(index);
            if (!b || b->name.empty() || !b->switchA) continue;
            const double a = place(*b, b->pointA, b->hasPointA);
            c.font = LogFontRotated(base, a);
            const TCanvasSize e = c.TextExtent(b->name);
            b->nameSize = {e.cx, e.cy};
            TPoint p = WorldToScreen(b->pointA);
            if (!b->hasPointA) {
                p.x -= RoundI(e.cx * std::cos(a) / 2);
                p.y += RoundI(e.cx * std::sin(a) / 2);
            }
            b->nameScreen = p;
            c.TextOut(p.x, p.y, b->name);
        }
    }
    if (display.branchNumbers) {
        const TFont base = CanvasFont(settings.fonts[2], -RoundI(settings.fontSize3Scaled * scale));
        for (int32_t index : DrawList()) {
            TGBranch* b = BranchAt(index);
            if (!b || !b->switchB || (b->number < 0 && !display.showNegative)) continue;
            const double a = place(*b, b->pointB, b->hasPointB);
            c.font = LogFontRotated(base, a);
            const std::string text = "(" + std::to_string(b->number) + ")";
            const TPoint p = WorldToScreen(b->pointB);
            b->numberScreen = p;
            c.TextOut(p.x, p.y, text);
            const TCanvasSize e = c.TextExtent(text);
            b->numberSize = {e.cx, e.cy};
        }
    }
}

void TGCollFigure::DrawNodes(TCanvas& c, bool) {
    TCanvasState keep(c);
    const int32_t r = RoundI(settings.nodeSize * scale / 2);
    c.pen.style = TPenStyle::Solid;
    c.pen.width = 1;
    // Node records outside the part being drawn.
    auto skipped = [&](const TNodeRecord& n) {
        if (!drawPart_) return false;
        const size_t i = static_cast<size_t>(&n - nodes.Records().data());
        return i >= drawPart_->nodes.size() || !drawPart_->nodes[i];
    };
    for (TNodeRecord& n : nodes.Records()) {
        if (skipped(n)) continue;
        n.screenCentre = WorldToScreen(n.point);
        const TPoint m = n.screenCentre;
        if (display.foundNodeHighlight && foundNode == n.number) {
            c.pen.colour = kRed;
            c.pen.width = 1;
            c.brush.style = TBrushStyle::Clear;
            Circle(c, m, RoundI(4 * settings.nodeSize * scale));
        }
        const int32_t colour = n.kind == 1 ? kBlue : kGreen;
        c.brush.style = TBrushStyle::Solid;
        c.brush.colour = colour;
        c.pen.colour = colour;
        n.screenRect = {m.x - r, m.y - r, m.x + r, m.y + r};
        if (display.nodeNumbers && (n.number >= 0 || settings.negativeNodes)) {
            c.Ellipse(n.screenRect.left, n.screenRect.top, n.screenRect.right, n.screenRect.bottom);
        }
        if (!junctionsComputed) continue;
        // Open band ends and joins whose corners stayed apart are closed in
        // the colour of the branch.
        const int32_t index = static_cast<int32_t>(&n - nodes.Records().data());
        if (n.incident.size() == 1) {
            TGBranch* b = BranchAt(n.incident[0]);
            if (b) {
                const int32_t style =
                    b->style != 0 ? b->style : DrawingGlobals().DefaultBranchStyle;
                if (style >= 2) {
                    const auto& seg = b->closing[b->beginIndex == index ? 0 : 1];
                    c.pen.colour = b->pen.colour;
                    Line(c, seg[0], seg[1]);
                }
            }
        }
        if (n.junctionDone == 0) {
            TGBranch* b = n.incident.empty() ? nullptr : BranchAt(n.incident[0]);
            c.pen.colour = b ? b->pen.colour : kBlack;
            Line(c, n.closing[0], n.closing[1]);
        }
    }
    if (!display.nodeNumbers) return;
    c.font = CanvasFont(settings.fonts[1], -RoundI(nodes.nodeSizeScaled * scale));
    c.brush.style = TBrushStyle::Clear;
    c.SetTextAlign(kTaLeft | kTaTop);
    for (TNodeRecord& n : nodes.Records()) {
        if (skipped(n) || !n.visible || (n.number < 0 && !display.showNegative)) continue;
        const TPoint p = WorldToScreen(Plus(n.point, n.labelOffset.x, n.labelOffset.y));
        n.labelScreen = p;
        if (c.font.height == 0) continue;
        const std::string text = std::to_string(n.number);
        c.TextOut(p.x, p.y, text);
        const TCanvasSize e = c.TextExtent(text);
        n.labelWidth = e.cx;
        n.labelHeight = e.cy;
        if (n.flag) {
            // The leader ends as an underline of the number.
            c.pen.colour = c.font.colour;
            c.MoveTo(n.screenCentre.x, n.screenCentre.y);
            if (p.x + e.cx < n.screenCentre.x) {
                c.LineTo(p.x + e.cx, p.y + e.cy);
                c.LineTo(p.x, p.y + e.cy);
            } else {
                c.LineTo(p.x, p.y + e.cy);
                c.LineTo(p.x + e.cx, p.y + e.cy);
            }
        }
    }
}

void TGCollFigure::DrawBracketLabels(TCanvas& c, bool mono) {
    if (!OnDrawLabel) return;
    TCanvasState keep(c);
    c.SetTextAlign(kTaUpdateCp);
    const TFont base = CanvasFont(settings.fonts[3], -RoundI(settings.fontSize4Scaled * scale));
    const double offset = DrawingGlobals().DataOffset;
    TWindowState& ws = WindowState();
    for (int32_t k = 1; k <= 6; ++k) {
        if (!display.caption[static_cast<size_t>(k)] || k == 2 || k == 6) continue;
        captionIndex = k;
        for (int32_t index : DrawList()) {
            TGBranch* b = BranchAt(index);
            if (!b || b->number <= 0) continue;
            TBranchCaption& rec = b->Caption(k);
            if (!rec.shown) continue;
            TPoint from, to;
            ReferenceSegment(*b, from, to);
            const TPoint mid = Middle(from, to);
            if (k == 1) {
                // A label whose link leads nowhere in the grid has no text.
                const int32_t row = LinkedRow(*b, rec.b);
                if (row < 0) continue;
                rec.angle = DirectionAngle(from, to);
                const double fontAngle = FlowFontAngle(rec.angle);
                c.font = LogFontRotated(base, fontAngle);
                const double a = ReadingAngle(rec.angle);
                TPoint out;
                if (!rec.flag2) {
                    const std::string text = "[" + ws.Datagrid->Cells(kFlowColumn, row) + "]";
                    TextExtentOf(*this, c, text);
                    // Measured in the pixels of this canvas, set back in world units.
                    const double worldWidth = scale > 0 ? labelTextSize.cx / scale : 0;
                    rec.anchor = CentredFlowAnchor(mid, a, worldWidth);
                    // Written where that anchor lies before it is rounded to
                    // whole world units, so that the value stays centred to
                    // the pixel when a world unit spans many of them.
                    const double x =
                        (static_cast<double>(from.x) + to.x - worldWidth * std::cos(a)) / 2 +
                        offset * std::sin(a);
                    const double y =
                        (static_cast<double>(from.y) + to.y - worldWidth * std::sin(a)) / 2 -
                        offset * std::cos(a);
                    out = {RoundI((x - viewRect.left) * scale), RoundI((viewRect.top - y) * scale)};
                } else {
                    out = WorldToScreen(rec.anchor);
                }
                rec.screenPoint = out;
                c.MoveTo(out.x, out.y);
                if (c.font.height != 0 &&
                    !OnDrawLabel(c, b->number, 1, rec.b, &LabelTextOut, *this)) {
                    rec.size = labelTextSize;
                }
                rec.angle = fontAngle;
            } else if (k == 3) {
                c.font = LogFontRotated(base, 0);
                if (c.font.height == 0) continue;
                if (OnDrawLabel(c, b->number, 3, rec.b, &LabelTextOut, *this) || rec.b < 0)
                    continue;
                if (!rec.flag2) rec.anchor = mid;
                rec.screenPoint = WorldToScreen(rec.anchor);
                const TCanvasSize e = c.TextExtent(std::to_string(rec.b));
                const int32_t w = RoundI(e.cx / 2.0), h = RoundI(e.cy / 4.0);
                rec.size = {w, h};
                const TPoint centre{rec.screenPoint.x + w, rec.screenPoint.y + 2 * h};
                DrawNodeMarker(*this, c, centre, rec.screenPoint, false, rec.colour, rec.b,
                               rec.flag);
                if (index == current && rec.shown) {
                    ws.BlinkMarker = {rec.anchor, rec.screenPoint, rec.flag, rec.b, rec.colour};
                    WindowHost().EnableBlinkTimer();
                }
            } else if (k == 4) {
                c.font = LogFontRotated(base, 0);
                if (c.font.height == 0) continue;
                for (bool beginNode : {true, false}) {
                    const int32_t ni = beginNode ? b->beginIndex : b->endIndex;
                    if (!nodes.Valid(ni)) continue;
                    const TNodeRecord& n = nodes.Record(ni);
                    TPoint p = WorldToScreen(Plus(n.point, n.labelOffset.x, n.labelOffset.y));
                    if (display.nodeNumbers && n.visible) p.x += n.labelWidth;
                    c.MoveTo(p.x, p.y);
                    // The node-index positions the calculation link found; record 4
                    // itself holds the measuring station.
                    OnDrawLabel(c, n.number, 4, beginNode ? b->beginNodeLink : b->endNodeLink,
                                &LabelTextOut, *this);
                }
            } else if (k == 5) {
                if (OnDrawLabel(c, b->number, 5, rec.b, &LabelTextOut, *this)) continue;
                rec.screenPoint = WorldToScreen(rec.anchor);
                rec.angle = DirectionAngle(from, to);
                const double drawAngle = b->flowReversed == 1 ? rec.angle + kPi : rec.angle;
                if (b->showFlag) {
                    const double t = rec.angle + kPi / 2;
                    const double ao = DrawingGlobals().ArrowOffset;
                    const TPoint off = settings.arrowInside
                                           ? TPoint{}
                                           : TPoint{-std::abs(RoundI(ao * std::cos(t))),
                                                    std::abs(RoundI(ao * std::sin(t)))};
                    DrawFlowArrow(*this, c, rec.colour, mono, true, Plus(mid, off.x, off.y),
                                  drawAngle);
                } else {
                    DrawFlowArrow(*this, c, rec.colour, mono, false, rec.anchor, drawAngle);
                }
            }
        }
    }
}

void TGCollFigure::DrawFlowCaption(TGBranch& b, TCanvas& c, TPoint pa, TPoint pb) {
    const TWindowState& ws = WindowState();
    const int32_t link = b.Caption(1).b;
    if (!b.callout.shown || link < 0 || link >= static_cast<int32_t>(ws.CalcBranchIndex.size()) ||
        b.number < 0 || ws.CalcBranchIndex[static_cast<size_t>(link)].number != b.number) {
        return;
    }
    const auto& flags = DrawingGlobals().FlowCaptionFlags;
    const auto& prefixes = BranchValuePrefixes();
    int32_t lines = 0;
    for (size_t k = 0; k < 4; ++k) lines += flags[k] && !b.callout.texts[k].empty();
    if (lines == 0) return;
    TCanvasState keep(c);
    c.SetTextAlign(kTaLeft | kTaTop);
    c.font =
        LogFontRotated(CanvasFont(settings.fonts[3], -RoundI(settings.fontSize4Scaled * scale)), 0);
    const TCanvasSize e = c.TextExtent(prefixes[0] + b.callout.texts[0]);
    c.pen.width = 1;
    c.pen.colour = kBlack;
    c.pen.style = TPenStyle::Solid;
    const TPoint mid = WorldToScreen(Middle(pa, pb));
    c.MoveTo(mid.x, mid.y);
    TPoint tl;
    if (b.callout.placed) {
        tl = WorldToScreen(b.callout.anchor);
    } else {
        const int32_t l = RoundI(settings.leaderLength * scale);
        tl = {mid.x + l, mid.y + l};
    }
    b.callout.screenPoint = tl;
    if (settings.drawFrame) c.LineTo(tl.x, tl.y);
    b.callout.frame = {tl.x, tl.y, tl.x + e.cx, tl.y + RoundI(static_cast<double>(lines) * e.cy)};
    if (settings.drawFrame) {
        c.brush.style = TBrushStyle::Solid;
        c.brush.colour = settings.frameColour;
        c.Rectangle(b.callout.frame.left, b.callout.frame.top, b.callout.frame.right,
                    b.callout.frame.bottom);
    }
    c.brush.style = TBrushStyle::Clear;
    int32_t i = 0;
    for (size_t k = 0; k < 4; ++k) {
        if (!flags[k] || b.callout.texts[k].empty()) continue;
        c.TextOut(tl.x, tl.y + 1 + i * e.cy, prefixes[k] + b.callout.texts[k]);
        ++i;
    }
}

void TGCollFigure::GetLabelExtent(int32_t index, TRect& r) {
    TGCustomFigure* f = Figure(index);
    if (!f) return;
    r = f->box;
    TGBranch* b = BranchAt(index);
    if (!b) return;
    for (int32_t idx : {b->beginIndex, b->endIndex}) {
        if (!nodes.Valid(idx)) continue;
        const TNodeRecord& n = nodes.Record(idx);
        IncludePoint(r, Plus(n.point, n.labelOffset.x, n.labelOffset.y));
    }
    TCanvas* canvas = WindowHost().MeasuringCanvas();
    // A label's far corner: the size the text measures at the scale of one
    // pixel a world unit, turned by the angle. Measured so, the extent is the
    // drawing's own, whatever the view's scale: fitting the view and the
    // region a print fits onto its paper do not follow the zoom.
    auto measure = [&](const TFontRecord& font, int32_t scaledSize, const std::string& text,
                       double fontAngle) {
        TCanvasSize e;
        if (!canvas) return e;
        const TFont saved = canvas->font;
        canvas->font = LogFontRotated(CanvasFont(font, -scaledSize), fontAngle);
        e = canvas->TextExtent(text);
        canvas->font = saved;
        return e;
    };
    auto includeText = [&](TPoint at, const TFontRecord& font, int32_t scaledSize,
                           const std::string& text, double fontAngle, double angle) {
        const TCanvasSize e = measure(font, scaledSize, text, fontAngle);
        IncludePoint(r, at);
        IncludePoint(r, Plus(at, RoundI(e.cx * std::cos(angle)), RoundI(e.cy * std::sin(angle))));
    };
    if (display.branchNumbers && b->switchB) {
        includeText(b->pointB, settings.fonts[2], settings.fontSize3Scaled,
                    "(" + std::to_string(b->number) + ")", ReadingAngle(b->angle), b->angle);
    }
    if (display.branchNames && b->switchA) {
        // Without a fixed label angle the name follows the branch, read left to right.
        double a = b->labelAngle != -1.0 ? b->labelAngle : ReadingAngle(b->angle);
        double fontAngle = a;
        if (b->labelAngle != -1.0 && RoundI(Degrees(b->labelAngle)) == -90 && b->y1 > b->y2) {
            fontAngle = std::abs(b->labelAngle);
        }
        includeText(b->pointA, settings.fonts[0], settings.fontSize1Scaled, b->name, fontAngle, a);
    }
    if (display.caption[1]) {
        const TBranchCaption& c = b->Caption(1);
        const std::string sample = "[00000]";
        if (c.flag2) {
            includeText(c.anchor, settings.fonts[3], settings.fontSize4Scaled, sample, c.angle,
                        c.angle);
        } else {
            // Centred on the branch as the drawing centres it, not where the
            // last drawing at some scale left the anchor.
            TPoint from, to;
            ReferenceSegment(*b, from, to);
            const double direction = DirectionAngle(from, to);
            const double fontAngle = FlowFontAngle(direction);
            const int32_t width =
                measure(settings.fonts[3], settings.fontSize4Scaled, sample, fontAngle).cx;
            const TPoint anchor =
                CentredFlowAnchor(Middle(from, to), ReadingAngle(direction), width);
            includeText(anchor, settings.fonts[3], settings.fontSize4Scaled, sample, fontAngle,
                        fontAngle);
        }
    }
    if (display.caption[3]) {
        // The ring's outer radius, in world units.
        const TBranchCaption& c = b->Caption(3);
        const int64_t d = RoundI(settings.symbolSize / 3.0);
        IncludePoint(r, Plus(c.anchor, -d, -d));
        IncludePoint(r, Plus(c.anchor, d, d));
    }
    if (display.caption[5]) {
        // The arrow's shaft, as long in world units as it is drawn: Open
        // fits the view to it before the first drawing.
        const TBranchCaption& c = b->Caption(5);
        const double length =
            ArrowShapeUnits(ArrowShapePoints[1].x, DrawnArrowScale(settings.arrowScale));
        IncludePoint(r, c.anchor);
        IncludePoint(r, Plus(c.anchor, RoundI(length * std::cos(c.angle)),
                             RoundI(length * std::sin(c.angle))));
    }
}

void TGCollFigure::SetSymbolSize(int32_t size) {
    settings.symbolSize = size;
    for (auto& fig : figures) {
        if (!fig || fig->kind != kKindSymbol) continue;
        auto& u = static_cast<TGUO&>(*fig);
        if (u.symbolIndex < 0 || u.symbolIndex >= symbols.Count()) continue;
        TSymbolRecord rec;
        TransformSymbol(symbols, u.symbolIndex, size, rec, u.angleDegrees * kPi / 180.0);
        u.SetSymbol(rec, u.symbolIndex, 0, u.angleDegrees, size, u.anchor);
    }
}

} // namespace arv
