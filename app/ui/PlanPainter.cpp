#include "app/ui/PlanPainter.h"

namespace arv {

void PaintDocument(QImage& image, TGCollFigure& doc) {
    // The document paints through the platform canvas once that is in the
    // program; until then the plan shows background and grid only.
    (void)image;
    (void)doc;
}

} // namespace arv
