#include "document/Render.h"

#include "document/Branch.h"
#include "document/DrawingGlobals.h"
#include "document/Labels.h"
#include "document/ShapeFigures.h"
#include "document/TextFigures.h"
#include "document/WindowHost.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/Services.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace arv {

namespace {

constexpr int32_t kBlack = 0;

TCanvasPoint CP(TPoint p) {
    return {p.x, p.y};
}

void Line(TCanvas& c, TPoint a, TPoint b) {
    c.MoveTo(a.x, a.y);
    c.LineTo(b.x, b.y);
}

void Quad(TCanvas& c, const std::array<TPoint, 7>& p) {
    const TCanvasPoint q[4] = {CP(p[0]), CP(p[1]), CP(p[2]), CP(p[3])};
    c.Polygon(q, 4);
}

int32_t StyleOf(const TGCustomFigure& f) {
    return f.style != 0 ? f.style : DrawingGlobals().DefaultBranchStyle;
}

// Pen and brush of a double or single branch: the PLA view and the branch
// marks of the fire-spread and overturned-branch displays.
void BranchColours(TGBranch& b, int32_t s, TCanvas& c) {
    const TWindowState& ws = WindowState();
    if (ws.MsxPLA) {
        const TBranchCaption& pla = b.Caption(3);
        if (pla.b < 0)
            c.brush.colour = ws.BackColor;
        else if (s == 1)
            c.pen.colour = pla.colour;
        else
            c.brush.colour = pla.colour;
    }
    if (ws.OpVetvi || ws.FireVetvi || ws.ShowRoute) {
        if (b.marked == 1) {
            c.pen.colour = ws.BranchMarkColor;
            c.brush.colour = ws.BranchMarkColor;
        } else {
            c.brush.colour = ws.BackColor;
            c.pen.colour = kBlack;
        }
    }
}

void WideLinePen(TGCollFigure& doc, const TGCustomFigure& f, TCanvas& c) {
    c.pen.width = RoundI(f.width * doc.scale * 2.0);
    if (c.pen.style != TPenStyle::Solid) {
        c.brush.style = TBrushStyle::Clear;
        c.pen.width = 1;
    }
}

void DottedPen(TCanvas& c) {
    c.pen.style = TPenStyle::Dot;
    c.pen.width = 1;
    c.brush.style = TBrushStyle::Clear;
}

void EmergencyAt(TGCollFigure& doc, TGBranch& b, TCanvas& c, TPoint p, TPoint q) {
    const TWindowState& ws = WindowState();
    if (b.number == ws.EmergencyBranch && ws.EmergencyMode != 0) {
        DrawEmergencyImage(doc, c, {HalfSum(p.x, q.x), HalfSum(p.y, q.y)}, ws.EmergencyMode);
    }
}

// The pan tool leaves the labels off the window's plan while it is chosen,
// the navigator's overview never has them; paper always has them.
bool LabelsDrawn(const TGCollFigure& doc) {
    const TWindowState& ws = WindowState();
    if (doc.onPaper) return true;
    return ws.DrawMode != 8 && !ws.NavigatorDrawing;
}

void CalloutOf(TGCollFigure& doc, TGBranch& b, TCanvas& c, TPoint worldEnd) {
    if (doc.settings.showCalcData && LabelsDrawn(doc)) {
        doc.DrawFlowCaption(b, c, b.Begin(), worldEnd);
    }
}

void PaintLine(TGCollFigure& doc, TGLine& f, TCanvas& c) {
    const int32_t s = StyleOf(f);
    BranchColours(f, s, c);
    f.screenBegin = doc.WorldToScreen(f.Begin());
    f.screenEnd = doc.WorldToScreen(f.End());
    EmergencyAt(doc, f, c, f.screenBegin, f.screenEnd);
    const bool junctions = doc.junctionMode == 1;
    const auto& jc = f.junctionCorners; // right begin, right end, left begin, left end
    if (s == 4) {
        DottedPen(c);
        Line(c, f.screenBegin, f.screenEnd);
    } else if (s == 1) {
        WideLinePen(doc, f, c);
        Line(c, f.screenBegin, f.screenEnd);
    }
    const int32_t w = RoundI(f.width * doc.scale);
    const int32_t arrow = RoundI(doc.settings.arrowSize * doc.scale);
    if (s == 3) {
        TOutline o;
        f.BuildOutline(w, arrow, o);
        const int32_t penColour = c.pen.colour;
        if (junctions) {
            c.pen.colour = c.brush.colour;
            if (f.junctionState[0] == 2) {
                o.points[0] = jc[2];
                o.points[3] = jc[0];
            }
            if (f.junctionState[1] == 2) {
                o.points[1] = jc[3];
                o.points[2] = jc[1];
            }
        } else {
            c.pen.colour = kBlack;
        }
        Quad(c, o.points);
        c.pen.colour = penColour;
    }
    if (s == 2 || s == 3) {
        if (junctions) {
            if (c.pen.style != TPenStyle::Solid) {
                c.brush.style = TBrushStyle::Clear;
                c.pen.width = 1;
            }
            Line(c, jc[0], jc[1]);
            Line(c, jc[2], jc[3]);
        } else {
            c.brush.style = TBrushStyle::Clear;
            TOutline o;
            f.BuildOutline(w, arrow, o);
            Quad(c, o.points);
        }
    }
    CalloutOf(doc, f, c, f.End());
}

TPoint At(const std::vector<TPoint>& v, int32_t i, TPoint fallback) {
    return i >= 0 && i < static_cast<int32_t>(v.size()) ? v[static_cast<size_t>(i)] : fallback;
}

void PaintPolyLine(TGCollFigure& doc, TGPolyLine& f, TCanvas& c) {
    const int32_t s = StyleOf(f);
    const int32_t n =
        std::max(0, std::min<int32_t>(f.bendCount, static_cast<int32_t>(f.bends.size())));
    const std::vector<TPoint> path = f.Path();
    std::vector<TPoint> scr(path.size());
    for (size_t i = 0; i < path.size(); ++i) scr[i] = doc.WorldToScreen(path[i]);
    BranchColours(f, s, c);
    f.screenBegin = scr.front();
    f.screenEnd = scr[1];
    const bool junctions = doc.junctionMode == 1;
    const auto& jc = f.junctionCorners;
    const int32_t w = RoundI(f.width * doc.scale);
    const int32_t arrow = RoundI(doc.settings.arrowSize * doc.scale);
    const TBrush figureBrush = c.brush;
    const int32_t penColour = c.pen.colour;
    // Band fill in the brush colour with the pen in it too, then the pen back.
    auto fillBand = [&](TOutline& o) {
        c.pen.colour = c.brush.colour;
        Quad(c, o.points);
        c.pen.colour = penColour;
    };
    auto sideLines = [&](TPoint nearL, TPoint nearR, TPoint farL, TPoint farR) {
        if (c.pen.style != TPenStyle::Solid) {
            c.brush.style = TBrushStyle::Clear;
            c.pen.width = 1;
        }
        Line(c, nearR, farR);
        Line(c, nearL, farL);
    };
    auto segment = [&](int32_t k) {
        TOutline o;
        f.SegmentOutline(w, arrow, o, k);
        return o;
    };
    // First segment.
    if (s == 4) {
        DottedPen(c);
        Line(c, scr[0], scr[1]);
    } else if (s == 1) {
        WideLinePen(doc, f, c);
        Line(c, scr[0], scr[1]);
    } else if (s == 2 || s == 3) {
        if (junctions) {
            TPoint farL = n > 0 ? At(f.bendLeft, 0, jc[3]) : jc[3];
            TPoint farR = n > 0 ? At(f.bendRight, 0, jc[1]) : jc[1];
            if (s == 3) {
                TOutline o = segment(0);
                if (f.junctionState[0] == 2) {
                    o.points[0] = jc[2];
                    o.points[3] = jc[0];
                }
                if (n > 0) {
                    o.points[1] = farL;
                    o.points[2] = farR;
                } else if (f.junctionState[1] == 2) {
                    o.points[1] = jc[3];
                    o.points[2] = jc[1];
                }
                fillBand(o);
            }
            sideLines(jc[2], jc[0], farL, farR);
        } else if (s == 2) {
            c.brush.style = TBrushStyle::Clear;
            TOutline o = segment(0);
            Quad(c, o.points);
            c.brush = figureBrush;
        } else {
            TOutline o = segment(0);
            c.pen.colour = kBlack;
            Quad(c, o.points);
            c.pen.colour = penColour;
        }
    }
    // Further segments.
    for (int32_t k = 1; k <= n; ++k) {
        const TPoint p = scr[static_cast<size_t>(k)], q = scr[static_cast<size_t>(k) + 1];
        const bool last = k == n;
        if (s == 4) {
            DottedPen(c);
            Line(c, p, q);
        } else if (s == 1) {
            WideLinePen(doc, f, c);
            Line(c, p, q);
        } else if (s == 2 || s == 3) {
            if (junctions) {
                TPoint nearL = At(f.bendLeft, k - 1, p), nearR = At(f.bendRight, k - 1, p);
                TPoint farL = last ? jc[3] : At(f.bendLeft, k, q);
                TPoint farR = last ? jc[1] : At(f.bendRight, k, q);
                if (s == 3) {
                    TOutline o = segment(k);
                    o.points[0] = nearL;
                    o.points[3] = nearR;
                    if (!last && f.junctionState[1] != 2) {
                        o.points[1] = farL;
                        o.points[2] = farR;
                    }
                    fillBand(o);
                }
                sideLines(nearL, nearR, farL, farR);
            } else if (s == 2) {
                c.brush.style = TBrushStyle::Clear;
                TOutline o = segment(k);
                Quad(c, o.points);
            } else {
                TOutline o = segment(k);
                c.pen.colour = kBlack;
                c.brush = figureBrush;
                const TCanvasPoint band[4] = {CP(o.points[0]), CP(o.points[1]), CP(o.points[2]),
                                              CP(o.points[3])};
                c.Polyline(band, 4);
                c.Polygon(band, 4);
                c.pen.colour = penColour;
            }
        }
    }
    f.screenBegin = scr.front();
    f.screenEnd = scr.back();
    EmergencyAt(doc, f, c, scr[static_cast<size_t>(n)], scr[static_cast<size_t>(n) + 1]);
    // Round the bends of wide lines.
    if (!junctions && n > 0) {
        c.pen.colour = f.brush.colour;
        c.brush.style = TBrushStyle::Solid;
        if (s == 1) c.brush.colour = c.pen.colour;
        for (int32_t k = 1; k <= n; ++k) {
            const TPoint b = scr[static_cast<size_t>(k)];
            c.Ellipse(b.x - w, b.y - w, b.x + w, b.y + w);
        }
    }
    CalloutOf(doc, f, c, path[1]);
}

void PaintText(TGCollFigure& doc, TGText& f, TCanvas& c) {
    const int32_t h = -RoundI(f.fontHeight * doc.scale);
    if (h == 0) return; // keeps its old box
    f.screenAnchor = doc.WorldToScreen(f.anchor);
    c.brush.style = TBrushStyle::Clear;
    const TFont saved = c.font;
    const double a = f.angle * kPi / 180.0;
    c.font = LogFontRotated(CanvasFont(f.font, h), a);
    const TCanvasSize e = c.TextExtent(f.content);
    c.TextOut(f.screenAnchor.x, f.screenAnchor.y, f.content);
    c.font = saved;
    const double s = doc.scale;
    const int64_t x = f.anchor.x, y = f.anchor.y;
    const int32_t cx = e.cx, cy = e.cy;
    if (f.angle >= 0) {
        f.box = {ClampI(x), ClampI(y + RoundI(std::sin(a) * cx / s)),
                 ClampI(x + RoundI(std::cos(a) * cx / s) + RoundI(cy / s)),
                 ClampI(y - RoundI(cy / s))};
    } else {
        f.box = {ClampI(x - RoundI(cy / s)), ClampI(y), ClampI(x + RoundI(std::cos(a) * cx / s)),
                 ClampI(y + RoundI(std::sin(a) * cx / s) - RoundI(cy / s))};
    }
}

// Caption of a picture or symbol in the document's first font.
TCanvasSize CaptionFont(TGCollFigure& doc, TCanvas& c, const std::string& text) {
    c.brush.style = TBrushStyle::Clear;
    c.font = LogFontRotated(
        CanvasFont(doc.settings.fonts[0], -RoundI(doc.settings.fontSize1Scaled * doc.scale)), 0);
    return c.TextExtent(text);
}

void PaintPicture(TGCollFigure& doc, TGPicture& f, TCanvas& c) {
    const int32_t size = f.ownSizeFlag ? f.ownSize : doc.settings.symbolSize;
    f.box = {f.box.left, f.box.top, ClampI(static_cast<int64_t>(f.box.left) + size),
             ClampI(static_cast<int64_t>(f.box.top) - size)};
    f.screenRect = doc.WorldRectToScreen(f.box);
    const TRect& r = f.screenRect;
    if (f.imageIndex >= 0 && f.imageIndex < doc.images.Count()) {
        const TBitmap32& src = doc.images.entries[static_cast<size_t>(f.imageIndex)].bitmap;
        // The library's pictures carry their transparency in the alpha channel.
        if (f.angleDegrees % 360 == 0)
            c.StretchDraw({r.left, r.top, r.right, r.bottom}, src, false);
        else
            c.StretchDraw({r.left, r.top, r.right, r.bottom},
                          RotatePictureBitmap(src, f.angleDegrees), false);
    }
    if (f.captionHidden || f.text.empty()) return;
    const TFont saved = c.font;
    const TCanvasSize e = CaptionFont(doc, c, f.text);
    int32_t x = 0, y = 0;
    switch (f.captionPosition) {
    case 1:
        x = r.left - e.cx - e.cy / 2;
        y = HalfSum(r.top, r.bottom);
        break;
    case 2:
        x = HalfSum(r.left, r.right) - e.cx / 2;
        y = r.top - e.cy;
        break;
    case 3:
        x = HalfSum(r.left, r.right) - e.cx / 2;
        y = r.bottom;
        break;
    default:
        x = r.right + e.cy / 2;
        y = HalfSum(r.top, r.bottom);
        break;
    }
    c.TextOut(x, y, f.text);
    c.font = saved;
}

// Applies the colour code when it names one.
void CodeColour(int32_t code, int32_t& target) {
    if (code >= 1 && code <= 9) target = SymbolColors[static_cast<size_t>(code)];
}

void FillStyle(int32_t code, TCanvas& c) {
    if (code >= 1 && code <= 7) c.brush.style = static_cast<TBrushStyle>(code);
}

// A legend symbol the library does not have: a red crossed box where it
// stands, so that it is seen (and can be picked and replaced) rather than
// lost from the plan.
void PaintMissingSymbol(TGCollFigure& doc, const TGUO& f, TCanvas& c) {
    const TRect r = doc.WorldRectToScreen(f.box);
    const int64_t cx = HalfSum(r.left, r.right), cy = HalfSum(r.top, r.bottom);
    const int64_t half = std::max({int64_t{4}, std::abs(int64_t{r.right} - r.left) / 2,
                                   std::abs(int64_t{r.bottom} - r.top) / 2});
    const TPoint lt{ClampI(cx - half), ClampI(cy - half)}, rb{ClampI(cx + half), ClampI(cy + half)};
    c.pen.style = TPenStyle::Solid;
    c.pen.width = 1;
    c.pen.colour = 0x0000FF;
    c.brush.style = TBrushStyle::Clear;
    c.Rectangle(lt.x, lt.y, ClampI(int64_t{rb.x} + 1), ClampI(int64_t{rb.y} + 1));
    Line(c, lt, rb);
    Line(c, {lt.x, rb.y}, {rb.x, lt.y});
}

void PaintSymbol(TGCollFigure& doc, TGUO& f, TCanvas& c) {
    const TPen savedPen = c.pen;
    const TBrush savedBrush = c.brush;
    const TFont savedFont = c.font;
    c.pen.colour = f.brush.colour;
    const int32_t size = f.ownSizeFlag ? f.ownSize : doc.settings.symbolSize;
    const bool known = f.symbolIndex >= 0 && f.symbolIndex < doc.symbols.Count();
    if (known) {
        TSymbolRecord rec;
        TransformSymbol(doc.symbols, f.symbolIndex, size, rec, f.angleDegrees * kPi / 180.0);
        f.SetSymbol(rec, f.symbolIndex, 0, f.angleDegrees, size, f.anchor);
    } else {
        PaintMissingSymbol(doc, f, c);
    }
    const double s = doc.scale;
    const int32_t defaultWidth = RoundI(DrawingGlobals().BranchPenWidth * s * 2.0);
    const int32_t back = WindowState().BackColor;
    const int count = known ? std::clamp(f.placed.count, 0, kMaxPrimitives) : 0;
    for (int i = 0; i < count; ++i) {
        TSymbolPrimitive& p = f.placed.prims[static_cast<size_t>(i)];
        for (int k = 0; k < 4; ++k) p.screen[k] = doc.WorldToScreen(p.points[k]);
        const auto& fd = p.fields;
        c.brush.style = TBrushStyle::Solid;
        c.pen.style = TPenStyle::Solid;
        c.pen.colour = kBlack;
        c.brush.colour = back;
        c.pen.width = defaultWidth;
        auto width = [&](int32_t field) {
            if (field > 0) c.pen.width = RoundI(field * s * 2.0);
        };
        switch (p.kind) {
        case 'a':
            width(fd[0]);
            CodeColour(fd[2], c.pen.colour);
            CodeColour(fd[1], c.brush.colour);
            FillStyle(fd[3], c);
            c.Pie(p.screen[0].x, p.screen[0].y, p.screen[1].x, p.screen[1].y, p.screen[3].x,
                  p.screen[3].y, p.screen[2].x, p.screen[2].y);
            break;
        case 'c': {
            width(fd[1]);
            CodeColour(fd[3], c.pen.colour);
            CodeColour(fd[2], c.brush.colour);
            FillStyle(fd[4], c);
            const int32_t r = RoundI(fd[0] * s);
            p.screenSize = r;
            const TPoint m = p.screen[2];
            c.Ellipse(m.x - r, m.y - r, m.x + r, m.y + r);
            break;
        }
        case 'l':
            width(fd[0]);
            CodeColour(fd[1], c.pen.colour);
            if (fd[2] > 0) DottedPen(c);
            Line(c, p.screen[0], p.screen[1]);
            break;
        case 'r': {
            width(fd[0]);
            CodeColour(fd[2], c.pen.colour);
            CodeColour(fd[1], c.brush.colour);
            FillStyle(fd[3], c);
            const TCanvasPoint q[4] = {CP(p.screen[0]), CP(p.screen[1]), CP(p.screen[2]),
                                       CP(p.screen[3])};
            c.Polygon(q, 4);
            break;
        }
        case 's': {
            c.font = TFont{};
            c.font.colour = kBlack;
            CodeColour(fd[1], c.font.colour);
            c.brush.style = TBrushStyle::Clear;
            c.SetFontSize(RoundI(fd[0] * s));
            p.screenSize = RoundI(fd[0] * s);
            if (p.screenSize != 0)
                c.TextOut(p.screen[2].x, p.screen[2].y, std::string(1, p.character));
            c.font = savedFont;
            break;
        }
        case 't': {
            c.pen.width = RoundI(fd[0] * s * 2.0);
            CodeColour(fd[2], c.pen.colour);
            CodeColour(fd[1], c.brush.colour);
            FillStyle(fd[3], c);
            const TCanvasPoint q[3] = {CP(p.screen[0]), CP(p.screen[1]), CP(p.screen[2])};
            c.Polygon(q, 3);
            break;
        }
        default:
            break;
        }
    }
    if (!f.captionHidden && !f.text.empty()) {
        const TCanvasSize e = CaptionFont(doc, c, f.text);
        c.font.colour = doc.settings.fonts[0].colour;
        const TPoint lt = doc.WorldToScreen({f.box.left, f.box.top});
        const TPoint rb = doc.WorldToScreen({f.box.right, f.box.bottom});
        int32_t x = 0, y = 0;
        switch (f.captionPosition) {
        case 1:
            x = lt.x - e.cx;
            y = (lt.y + rb.y - e.cy) / 2;
            break;
        case 2:
            x = HalfSum(lt.x, rb.x) - e.cx / 2;
            y = lt.y - e.cy;
            break;
        case 3:
            x = HalfSum(lt.x, rb.x) - e.cx / 2;
            y = rb.y;
            break;
        default:
            x = rb.x + 10;
            y = (lt.y + rb.y - e.cy) / 2;
            break;
        }
        c.TextOut(x, y, f.text);
    }
    c.font = savedFont;
    c.pen = savedPen;
    c.brush = savedBrush;
}

void PaintRectangle(TGCollFigure& doc, TGRectangle& f, TCanvas& c) {
    f.screenRect = doc.WorldRectToScreen(f.box);
    c.Rectangle(f.screenRect.left, f.screenRect.top, f.screenRect.right, f.screenRect.bottom);
}

void PaintALine(TGCollFigure& doc, TGALine& f, TCanvas& c) {
    const int32_t s = StyleOf(f);
    f.screenFirst = doc.WorldToScreen(f.First());
    f.screenSecond = doc.WorldToScreen(f.Second());
    if (s == 1) {
        c.pen.width = RoundI(f.width * doc.scale * 2.0);
        c.pen.colour = f.brush.colour;
        if (c.pen.style != TPenStyle::Solid) {
            c.pen.width = 1;
            c.brush.style = TBrushStyle::Clear;
        }
        Line(c, f.screenFirst, f.screenSecond);
    } else if (s == 2 || s == 3) {
        if (c.pen.style != TPenStyle::Solid) {
            c.pen.width = 1;
            c.brush.style = TBrushStyle::Clear;
        }
        TOutline o;
        f.BuildOutline(RoundI(f.width * doc.scale), RoundI(doc.settings.arrowSize * doc.scale), o);
        Quad(c, o.points);
    }
}

} // namespace

TPenStyle PenStyleOfCode(uint8_t code) {
    return code <= 5 ? static_cast<TPenStyle>(code) : TPenStyle::Solid;
}

TBrushStyle BrushStyleOfCode(uint8_t code) {
    return code <= 7 ? static_cast<TBrushStyle>(code) : TBrushStyle::Solid;
}

TFont CanvasFont(const TFontRecord& f, int32_t height) {
    TFont out;
    out.name = f.name;
    out.charset = f.charset;
    out.pitch = f.pitch;
    out.style = f.style;
    out.colour = f.colour;
    out.height = height;
    return out;
}

std::string MissingFailureImageText() {
    return Ru("Не найдена картинка отказ вентиляционного устройства");
}
std::string MissingFireImageText() {
    return Ru("Не найдена картинка с пожаром");
}

void TGPolygon::Paint(TCanvas& c) {
    const int32_t count =
        std::clamp<int32_t>(lastIndex + 1, 0, static_cast<int32_t>(vertices.size()));
    // The cache follows the vertex count.
    if (static_cast<int32_t>(screen.size()) < count) screen.resize(static_cast<size_t>(count));
    std::vector<TCanvasPoint> pts(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        screen[static_cast<size_t>(i)] = doc ? doc->WorldToScreen(vertices[static_cast<size_t>(i)])
                                             : vertices[static_cast<size_t>(i)];
        pts[static_cast<size_t>(i)] = CP(screen[static_cast<size_t>(i)]);
    }
    c.Polygon(pts.data(), count);
}

void TGElipse::Paint(TCanvas& c) {
    if (c.pen.style != TPenStyle::Solid) c.pen.width = 1;
    screenRect = doc ? doc->WorldRectToScreen(box) : box;
    c.Ellipse(screenRect.left, screenRect.top, screenRect.right, screenRect.bottom);
}

void TGArc::Paint(TCanvas& c) {
    screenFirst = doc ? doc->WorldToScreen(First()) : First();
    screenSecond = doc ? doc->WorldToScreen(Second()) : Second();
    if (c.pen.style != TPenStyle::Solid) c.pen.width = 1;
    screenRect = doc ? doc->WorldRectToScreen(box) : box;
    c.Arc(screenRect.left, screenRect.top, screenRect.right, screenRect.bottom, screenFirst.x,
          screenFirst.y, screenSecond.x, screenSecond.y);
}

void TGCollFigure::Draw(TCanvas& canvas, bool mono, const TDrawPart* part) {
    const TWindowState& ws = WindowState();
    drawPart_ = part;
    struct TPartEnd {
        const TDrawPart*& p;
        ~TPartEnd() { p = nullptr; }
    } partEnd{drawPart_};
    if (DrawingGlobals().ShowJunctions) junctionMode = 1;
    if (!onPaper && (ws.DrawMode == 8 || ws.QuickDrawFlag)) junctionMode = 0;
    junctionsComputed = 0;
    if (junctionMode == 1) {
        nodes.BuildIncidence();
        ComputeJunctions(*this);
        junctionsComputed = 1;
    }
    monochrome = mono ? 1 : 0;
    settings.arrowScale = DrawnArrowScale(settings.arrowScale);
    const TPen savedPen = canvas.pen;
    const TBrush savedBrush = canvas.brush;
    canvas.pen.mode = TPenMode::Copy;

    for (int32_t index : DrawList()) {
        TGCustomFigure* f = Figure(index);
        if (!f) continue;
        if (f->kind == kKindPicture && settings.drawPictures == 0) continue;
        canvas.pen.width = RoundI(f->pen.width * scale * 2.0);
        canvas.pen.colour = f->pen.colour;
        canvas.pen.style = PenStyleOfCode(f->pen.style);
        canvas.brush.colour = f->brush.colour;
        canvas.brush.style = BrushStyleOfCode(f->brush.style);
        switch (f->kind) {
        case kKindLine:
            PaintLine(*this, static_cast<TGLine&>(*f), canvas);
            break;
        case kKindPolyLine:
            PaintPolyLine(*this, static_cast<TGPolyLine&>(*f), canvas);
            break;
        case kKindArc:
            static_cast<TGArc&>(*f).Paint(canvas);
            break;
        case kKindEllipse:
            static_cast<TGElipse&>(*f).Paint(canvas);
            break;
        case kKindPolygon:
            static_cast<TGPolygon&>(*f).Paint(canvas);
            break;
        case kKindText:
            PaintText(*this, static_cast<TGText&>(*f), canvas);
            break;
        case kKindPicture:
            PaintPicture(*this, static_cast<TGPicture&>(*f), canvas);
            break;
        case kKindSymbol:
            PaintSymbol(*this, static_cast<TGUO&>(*f), canvas);
            break;
        case kKindRectangle:
            PaintRectangle(*this, static_cast<TGRectangle&>(*f), canvas);
            break;
        case kKindALine:
            PaintALine(*this, static_cast<TGALine&>(*f), canvas);
            break;
        default:
            break;
        }
    }
    if (ws.ShowRoute) DrawRouteOverlay(*this, canvas, 0x008000, ws.RouteBranches);
    if (LabelsDrawn(*this)) {
        // Each part may be painted while the next is laid out.
        canvas.EndSection();
        DrawBranchLabels(canvas, mono);
        canvas.EndSection();
        DrawNodes(canvas, mono);
        canvas.EndSection();
        DrawBracketLabels(canvas, mono);
    }
    canvas.pen = savedPen;
    canvas.brush = savedBrush;
}

void TGCollFigure::DrawOnPaper(TCanvas& canvas, bool mono) {
    onPaper = true;
    struct TPaperEnd {
        bool& p;
        ~TPaperEnd() { p = false; }
    } paperEnd{onPaper};
    Draw(canvas, mono);
}

void DrawEmergencyImage(TGCollFigure& doc, TCanvas& canvas, TPoint at, int32_t mode) {
    std::string file, message;
    if (mode == 2) {
        file = "img/otkazvu.bmp";
        message = MissingFailureImageText();
    } else if (mode == 3) {
        file = "img/fire.bmp";
        message = MissingFireImageText();
    } else {
        return;
    }
    const std::string name = FindFileNoCase(ProgramDir(), file);
    TBitmap32 bmp;
    if (name.empty() || !LoadBitmapFile(name, bmp)) {
        doc.NoteDrawFailure(message);
        return;
    }
    doc.ClearDrawFailure(message);
    const int32_t side = RoundI(doc.settings.symbolSize * doc.scale / 2.0);
    canvas.StretchDraw({at.x, at.y, at.x + side, at.y + side}, bmp, false);
}

void DrawRouteOverlay(TGCollFigure& doc, TCanvas& canvas, int32_t colour,
                      const std::vector<int32_t>& branches) {
    if (doc.figures.empty()) return;
    const TPen savedPen = canvas.pen;
    const TBrush savedBrush = canvas.brush;
    canvas.pen.width = 5;
    canvas.pen.style = TPenStyle::Solid;
    canvas.brush.style = TBrushStyle::Clear;
    canvas.pen.colour = colour;
    for (int32_t number : branches) {
        for (int32_t index : doc.DrawList()) {
            TGBranch* b = doc.BranchAt(index);
            if (!b || b->number != number) continue;
            if (b->kind == kKindLine) {
                Line(canvas, doc.WorldToScreen(b->Begin()), doc.WorldToScreen(b->End()));
            } else {
                std::vector<TCanvasPoint> pts;
                for (TPoint p : static_cast<TGPolyLine*>(b)->Path())
                    pts.push_back(CP(doc.WorldToScreen(p)));
                canvas.Polyline(pts.data(), static_cast<int32_t>(pts.size()));
            }
        }
    }
    canvas.pen = savedPen;
    canvas.brush = savedBrush;
}

void TGCollFigure::NoteDrawFailure(const std::string& text) {
    if (std::find(reportedFailures_.begin(), reportedFailures_.end(), text) !=
        reportedFailures_.end())
        return;
    reportedFailures_.push_back(text);
    drawMessages_.push_back(text);
}

void TGCollFigure::ClearDrawFailure(const std::string& text) {
    std::erase(reportedFailures_, text);
}

std::vector<std::string> TGCollFigure::TakeDrawMessages() {
    std::vector<std::string> out;
    out.swap(drawMessages_);
    return out;
}

void TGCollFigure::ReportDrawMessages() {
    for (const std::string& m : TakeDrawMessages()) {
        MessageBox(m, ApplicationTitle(), TMsgButtons::Ok, TMsgIcon::Error);
    }
}

} // namespace arv
