// Joining the bands of double-line branches where they meet: at a node the
// facing sides of neighbours (in order of direction) share their crossing
// point; at a polyline's bend the sides of the two segments do.
#include "document/Branch.h"
#include "document/DrawingGlobals.h"
#include "document/Render.h"

#include <algorithm>
#include <cmath>

namespace arv {

namespace {

struct TEnd {
    TGLine* branch = nullptr;
    bool atBegin = true;
    double direction = 0; // leaving the node, world radians
    TOutline outline;
    // Indexes into the outline points of this end's two corners, and which
    // of them lies counter-clockwise of the leaving direction.
    int ccw = 0;
    int cw = 0;
};

int32_t StyleOf(const TGCustomFigure& f) {
    return f.style != 0 ? f.style : DrawingGlobals().DefaultBranchStyle;
}

// Outline of the branch at one end, for the current view.
TOutline EndOutline(TGCollFigure& doc, TGLine& b, bool atBegin) {
    TOutline o;
    const int32_t w = RoundI(b.width * doc.scale);
    const int32_t arrow = RoundI(doc.settings.arrowSize * doc.scale);
    if (b.kind == kKindPolyLine) {
        auto& p = static_cast<TGPolyLine&>(b);
        const int32_t n =
            std::max(0, std::min<int32_t>(p.bendCount, static_cast<int32_t>(p.bends.size())));
        p.SegmentOutline(w, arrow, o, atBegin ? 0 : n);
    } else {
        b.screenBegin = doc.WorldToScreen(b.Begin());
        b.screenEnd = doc.WorldToScreen(b.End());
        b.BuildOutline(w, arrow, o);
    }
    return o;
}

double LeavingDirection(TGLine& b, bool atBegin) {
    if (b.kind == kKindPolyLine) {
        const std::vector<TPoint> path = static_cast<TGPolyLine&>(b).Path();
        return atBegin ? BranchAngle(path[0], path[1])
                       : BranchAngle(path[path.size() - 2], path.back()) + kPi;
    }
    if (atBegin) return b.angle < 0 ? b.angle + 2 * kPi : b.angle;
    return b.angle + kPi;
}

// Corner slots of junctionCorners for outline points 0..3 at an end:
// points 0 and 3 are the begin corners (left, right), 1 and 2 the end ones.
int SlotOf(int outlinePoint) {
    switch (outlinePoint) {
    case 0:
        return 2; // left begin
    case 1:
        return 3; // left end
    case 2:
        return 1; // right end
    default:
        return 0; // right begin
    }
}

// The far point of the side that passes through outline point i.
int SideFar(int i) {
    constexpr int kFar[4] = {1, 0, 3, 2};
    return kFar[i & 3];
}

void OrientEnd(TGCollFigure& doc, TEnd& e) {
    const int a = e.atBegin ? 0 : 1; // left corner at this end
    const int b = e.atBegin ? 3 : 2; // right corner at this end
    e.ccw = a;
    e.cw = b;
    const TPoint node = doc.WorldToScreen(e.atBegin ? e.branch->Begin() : e.branch->End());
    // Counter-clockwise normal of the leaving direction, on screen (y down).
    const double nx = std::cos(e.direction + kPi / 2), ny = -std::sin(e.direction + kPi / 2);
    const TPoint pa = e.outline.points[static_cast<size_t>(a)];
    const double da = (pa.x - node.x) * nx + (pa.y - node.y) * ny;
    if (da < 0) std::swap(e.ccw, e.cw);
}

} // namespace

void ComputeJunctions(TGCollFigure& doc) {
    for (int32_t i = 0; i < doc.Count(); ++i) {
        TGBranch* b = doc.BranchAt(i);
        if (!b) continue;
        b->junctionCorners = {};
        b->junctionState = {0, 0};
        b->closing = {};
    }
    std::vector<TEnd> ends;
    for (TNodeRecord& node : doc.nodes.Records()) {
        node.junctionDone = 1;
        node.closing = {};
        if (node.incident.empty()) continue;
        ends.clear();
        int32_t doubles = 0;
        for (int32_t fi : node.incident) {
            TGBranch* br = doc.BranchAt(fi);
            if (!br) continue;
            auto* line = static_cast<TGLine*>(br);
            const int32_t index = static_cast<int32_t>(&node - doc.nodes.Records().data());
            // A branch from the node back to itself has both ends here.
            for (bool atBegin : {true, false}) {
                if ((atBegin ? line->beginIndex : line->endIndex) != index) continue;
                TEnd e;
                e.branch = line;
                e.atBegin = atBegin;
                e.direction = LeavingDirection(*line, atBegin);
                ends.push_back(e);
                if (StyleOf(*line) >= 2) ++doubles;
            }
        }
        // Exchange passes, as few as the list needs.
        for (bool swapped = true; swapped;) {
            swapped = false;
            for (size_t k = 0; k + 1 < ends.size(); ++k) {
                if (ends[k].direction > ends[k + 1].direction) {
                    std::swap(ends[k], ends[k + 1]);
                    swapped = true;
                }
            }
        }
        for (TEnd& e : ends) {
            e.outline = EndOutline(doc, *e.branch, e.atBegin);
            OrientEnd(doc, e);
            TGLine& b = *e.branch;
            const auto& p = e.outline.points;
            // Own corners first; shared ones replace them below.
            if (e.atBegin) {
                b.junctionCorners[2] = p[0];
                b.junctionCorners[0] = p[3];
                b.closing[0] = {p[0], p[3]};
            } else {
                b.junctionCorners[3] = p[1];
                b.junctionCorners[1] = p[2];
                b.closing[1] = {p[1], p[2]};
            }
        }
        if (doubles < 2) continue;
        for (TEnd& e : ends) e.branch->junctionState[e.atBegin ? 0 : 1] = doubles;
        for (size_t k = 0; k < ends.size(); ++k) {
            TEnd& a = ends[k];
            TEnd& b = ends[(k + 1) % ends.size()];
            if (&a == &b) break;
            const auto& pa = a.outline.points;
            const auto& pb = b.outline.points;
            const TPoint aNear = pa[static_cast<size_t>(a.ccw)];
            const TPoint aFar = pa[static_cast<size_t>(SideFar(a.ccw))];
            const TPoint bNear = pb[static_cast<size_t>(b.cw)];
            const TPoint bFar = pb[static_cast<size_t>(SideFar(b.cw))];
            const TIntersection x = LineIntersection(aFar, aNear, bFar, bNear);
            const double halfWidth = RoundI(a.branch->width * doc.scale);
            if (PointDistance(x.point, aNear) < 4 * halfWidth) {
                a.branch->junctionCorners[static_cast<size_t>(SlotOf(a.ccw))] = x.point;
                b.branch->junctionCorners[static_cast<size_t>(SlotOf(b.cw))] = x.point;
            } else {
                node.junctionDone = 0;
                node.closing = {aNear, bNear};
            }
        }
    }
    // Bends: the sides of consecutive segments meet at one corner.
    for (int32_t i = 0; i < doc.Count(); ++i) {
        TGBranch* br = doc.BranchAt(i);
        if (!br || br->kind != kKindPolyLine) continue;
        auto& p = static_cast<TGPolyLine&>(*br);
        const int32_t n =
            std::max(0, std::min<int32_t>(p.bendCount, static_cast<int32_t>(p.bends.size())));
        p.bendLeft.assign(static_cast<size_t>(n), {});
        p.bendRight.assign(static_cast<size_t>(n), {});
        const int32_t w = RoundI(p.width * doc.scale);
        for (int32_t k = 1; k <= n; ++k) {
            TOutline before, after;
            p.SegmentOutline(w, 1, before, k - 1);
            p.SegmentOutline(w, 1, after, k);
            const auto& b = before.points;
            const auto& a = after.points;
            const TIntersection left = LineIntersection(b[0], b[1], a[0], a[1]);
            const TIntersection right = LineIntersection(b[3], b[2], a[3], a[2]);
            p.bendLeft[static_cast<size_t>(k - 1)] =
                PointDistance(left.point, b[1]) <= 4.0 * w ? left.point : b[1];
            p.bendRight[static_cast<size_t>(k - 1)] =
                PointDistance(right.point, b[2]) <= 4.0 * w ? right.point : b[2];
        }
    }
}

} // namespace arv
