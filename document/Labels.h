// Labels, captions and node markers of the plan: the rotated font that every
// turned text uses, the numbered ring marker and the air-direction arrow.
// The label passes themselves are members of TGCollFigure.
#pragma once

#include "document/Document.h"
#include "platform/Canvas.h"

#include <array>
#include <string_view>

namespace arv {

// Shape of the air-direction arrow: tail, tip, two head corners, tail bar.
constexpr std::array<TPoint, 6> ArrowShapePoints{TPoint{0, 0},    TPoint{100, 0}, TPoint{60, 10},
                                                 TPoint{60, -10}, TPoint{0, 15},  TPoint{0, -15}};
// The arrow scale as the drawing draws it: one above 60000 is drawn as 10.
constexpr int32_t DrawnArrowScale(int32_t scale) {
    return scale > 60000 ? 10 : scale;
}
// Ring colours of the PLA marker by ring kind.
constexpr std::array<int32_t, 3> MarkerRingColors{0x0000FF, 0x00FFFF, 0x0000FF};

// The font turned by the angle (radians): escapement and orientation in
// tenths of a degree, half a turn added to directions that would read upside
// down (beyond +-90 degrees).
TFont LogFontRotated(const TFont& font, double angle);
// Direction of a branch label turned so that it reads left to right.
double ReadingAngle(double direction);
// The segment that branch labels follow: the last one of a polyline with
// bends, else begin to end.
void ReferenceSegment(const TGBranch& b, TPoint& from, TPoint& to);
// Measures the text on the canvas into the document's labelTextSize.
void TextExtentOf(TGCollFigure& doc, TCanvas& canvas, std::string_view text);

// A number in a coloured ring (the PLA position marker); the caller has set
// the text alignment. Ring kind 2 is half yellow, half red.
void DrawNodeMarker(TGCollFigure& doc, TCanvas& canvas, TPoint centre, TPoint textPoint, bool big,
                    int32_t innerColour, int32_t number, int32_t ringKind);
// The arrow at the world point turned by the angle; centred puts the
// shaft's middle on the point. On monochrome output a blue arrow is hollow
// with a tail bar.
void DrawFlowArrow(TGCollFigure& doc, TCanvas& canvas, int32_t colour, bool monochrome,
                   bool centred, TPoint point, double angle);

} // namespace arv
