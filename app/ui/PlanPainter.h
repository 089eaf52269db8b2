// The plan's picture painted through the platform canvas.
#pragma once

#include "document/Document.h"

#include <QImage>

namespace arv {

// Paints the document in its current view over the picture.
void PaintDocument(QImage& image, TGCollFigure& doc);
// The blinking number marker at the world point in the colour given.
void PaintMarker(QImage& image, TGCollFigure& doc, TPoint world, int number, int kind, int colour);

} // namespace arv
