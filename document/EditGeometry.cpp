#include "document/EditGeometry.h"

#include "document/Document.h"

#include <algorithm>
#include <cstdlib>

namespace arv {

namespace {

int32_t SnapValue(int32_t v, int32_t step) {
    // Floor division, so that negative values round the same way.
    const int64_t s = step;
    int64_t lo = static_cast<int64_t>(v) / s * s;
    if (lo > v) lo -= s;
    int64_t r = (v - lo <= lo + s - v) ? lo : lo + s;
    if (r >= 100001) r -= s;
    if (r < -100000) r += s;
    return ClampI(r);
}

} // namespace

TPoint ShiftSnap(TPoint anchorScreen, TPoint screen) {
    const int64_t dx = std::llabs(static_cast<int64_t>(anchorScreen.x) - screen.x);
    const int64_t dy = std::llabs(static_cast<int64_t>(anchorScreen.y) - screen.y);
    return dx > dy ? TPoint{screen.x, anchorScreen.y} : TPoint{anchorScreen.x, screen.y};
}

TPoint SnapToGrid(TPoint p, int32_t gridStep) {
    if (gridStep <= 0) return p;
    return {SnapValue(p.x, gridStep), SnapValue(p.y, gridStep)};
}

TPoint SnapPoint(const TGCollFigure& doc, TPoint screen, int32_t gridStep, bool nodeLink) {
    const TPoint p = SnapToGrid(doc.ScreenToWorld(screen), gridStep);
    if (!nodeLink) return p;
    for (const TNodeRecord& n : doc.nodes.Records()) {
        if (n.visible && std::llabs(static_cast<int64_t>(n.screenCentre.x) - screen.x) <= 5 &&
            std::llabs(static_cast<int64_t>(n.screenCentre.y) - screen.y) <= 5)
            return n.point;
    }
    return p;
}

TRect NormalizedScreenRect(TPoint a, TPoint b) {
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

TArcPreview ArcPreview(TPoint centre, TPoint first, TPoint towards) {
    int32_t r = RoundI(PointDistance(centre, first));
    if (r == 0) r = 100;
    return {{ClampI(static_cast<int64_t>(centre.x) - r), ClampI(static_cast<int64_t>(centre.y) - r),
             ClampI(static_cast<int64_t>(centre.x) + r),
             ClampI(static_cast<int64_t>(centre.y) + r)},
            first,
            towards};
}

} // namespace arv
