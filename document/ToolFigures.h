// Figures that the drawing tools make from their clicks. The window counts
// the clicks and snaps the points; these build the figures in the document.
#pragma once

#include "document/Document.h"
#include "document/ShapeFigures.h"

namespace arv {

// A polyline or polygon tool takes at most this many clicks.
constexpr int32_t kMaxToolClicks = 10;

// The figure of a two-click tool: a straight branch (1001) from first to
// second, a rectangle (1008) or ellipse (1009) spanned by the two corners, a
// plain line (1011). The new figure is current; null for another kind.
TGCustomFigure* AddTwoPointFigure(TGCollFigure& doc, int32_t kind, TPoint first, TPoint second);
// Click number `click` (1-based) of the polyline-branch (1002) or polygon
// (1010) tool, the segment from the previous click to this one: the second
// click makes the figure, later ones extend the current figure. Null when
// nothing was added (the first click, a click past the limit, another kind
// or a current figure of another kind).
TGCustomFigure* AddVertexClick(TGCollFigure& doc, int32_t kind, int32_t click, TPoint from,
                               TPoint to);
// The arc of the three-click tool: from the first point towards the second
// on the circle about the third.
TGArc* AddArcFigure(TGCollFigure& doc, TPoint first, TPoint second, TPoint centre);

} // namespace arv
