// The one place where the plan's picture meets the document's painting.
#pragma once

#include "document/Document.h"

#include <QImage>

namespace arv {

// Paints the document in its current view over the picture.
void PaintDocument(QImage& image, TGCollFigure& doc);

} // namespace arv
