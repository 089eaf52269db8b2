#include "document/ToolFigures.h"

#include "document/Branch.h"
#include "document/DrawingGlobals.h"
#include "document/ShapeFigures.h"

namespace arv {

TGCustomFigure* AddTwoPointFigure(TGCollFigure& doc, int32_t kind, TPoint first, TPoint second) {
    switch (kind) {
    case kKindLine: {
        auto* line = static_cast<TGLine*>(doc.AddFigure(kind));
        TBranchSetup s;
        s.colour = DrawingGlobals().DefLineColor;
        line->SetGeometry(first, second, s, kGeometryAll);
        return line;
    }
    case kKindRectangle: {
        auto* r = static_cast<TGRectangle*>(doc.AddFigure(kind));
        r->SetCorners(first, second);
        return r;
    }
    case kKindEllipse: {
        auto* e = static_cast<TGElipse*>(doc.AddFigure(kind));
        e->SetRect(first, second, 0);
        return e;
    }
    case kKindALine: {
        auto* l = static_cast<TGALine*>(doc.AddFigure(kind));
        l->SetPoints(first, second);
        return l;
    }
    default:
        return nullptr;
    }
}

TGCustomFigure* AddVertexClick(TGCollFigure& doc, int32_t kind, int32_t click, TPoint from,
                               TPoint to) {
    if ((kind != kKindPolyLine && kind != kKindPolygon) || click < 2 || click > kMaxToolClicks)
        return nullptr;
    TGCustomFigure* f = click == 2 ? doc.AddFigure(kind) : doc.CurrentFigure();
    // Another figure made current meanwhile must not take the segment.
    if (!f || f->kind != kind) return nullptr;
    if (kind == kKindPolyLine) {
        TBranchSetup s;
        s.colour = DrawingGlobals().DefLineColor;
        static_cast<TGPolyLine*>(f)->EditVertex(from, to, s);
    } else {
        static_cast<TGPolygon*>(f)->AddPoint(from, to);
    }
    return f;
}

TGArc* AddArcFigure(TGCollFigure& doc, TPoint first, TPoint second, TPoint centre) {
    auto* a = static_cast<TGArc*>(doc.AddFigure(kKindArc));
    a->SetPoints(first, second, centre);
    return a;
}

} // namespace arv
