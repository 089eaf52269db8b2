// Points and rubber-band geometry of the drawing tools: Shift, grid and node
// snapping, the focus rectangle and the arc preview. The window draws the
// bands with its inverting pen; the geometry is worked out here.
#pragma once

#include "document/Geometry.h"

#include <cstdint>

namespace arv {

class TGCollFigure;

// Shift held: the screen point goes onto the horizontal or the vertical
// through the anchor, whichever it is nearer (a tie takes the vertical).
TPoint ShiftSnap(TPoint anchorScreen, TPoint screen);
// Each coordinate to the nearer multiple of the step (a tie to the smaller);
// results beyond +-100000 come back one step. A step of 0 or less keeps p.
TPoint SnapToGrid(TPoint p, int32_t gridStep);
// The world point a click at the screen point stands for: on the grid and,
// with node linking, the exact point of the first shown node whose marker
// was drawn within 5 pixels in both axes.
TPoint SnapPoint(const TGCollFigure& doc, TPoint screen, int32_t gridStep, bool nodeLink);
// The screen rectangle between two corners, left <= right and top <= bottom.
TRect NormalizedScreenRect(TPoint a, TPoint b);

// The arc preview of the arc tool: the circle about the centre through the
// first point (100 pixels when they coincide), drawn from the first point
// counter-clockwise towards the second.
struct TArcPreview {
    TRect box; // screen, of the whole circle
    TPoint start;
    TPoint end;
};
TArcPreview ArcPreview(TPoint centre, TPoint first, TPoint towards);

} // namespace arv
