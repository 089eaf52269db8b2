// Painting the document: the figure pass of TGCollFigure::Draw and the
// pieces it shares with the label passes and the windows (junctions of
// double-line branches, the emergency image, the route overlay).
#pragma once

#include "document/Document.h"
#include "document/FontRecord.h"
#include "platform/Canvas.h"

#include <array>
#include <cstdint>
#include <vector>

namespace arv {

// Colour codes 1..9 of legend-symbol primitives (0 keeps the default).
constexpr std::array<int32_t, 10> SymbolColors{0,        0x000000, 0xFF0000, 0x808080, 0x008000,
                                               0x0000FF, 0xFFFFFF, 0x00FFFF, 0x008080, 0xFFFF00};

// Joins the bands of double-line branches meeting at each node and at each
// bend, for the current view. Needs the node incidence lists.
void ComputeJunctions(TGCollFigure& doc);
// The device-failure (mode 2) or fire (mode 3) picture in the square of side
// symbol size x scale / 2 whose top-left corner is the point. A missing
// picture is remembered in the document's draw messages.
void DrawEmergencyImage(TGCollFigure& doc, TCanvas& canvas, TPoint at, int32_t mode);
// The branches of the list, in list order, as wide lines of the colour.
void DrawRouteOverlay(TGCollFigure& doc, TCanvas& canvas, int32_t colour,
                      const std::vector<int32_t>& branches);

// Canvas styles of the stored style codes.
TPenStyle PenStyleOfCode(uint8_t code);
TBrushStyle BrushStyleOfCode(uint8_t code);
// The canvas font of a stored font record at a height in pixels.
TFont CanvasFont(const TFontRecord& f, int32_t height);
// The message texts of a missing emergency picture.
std::string MissingFailureImageText();
std::string MissingFireImageText();

} // namespace arv
