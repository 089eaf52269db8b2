#include "app/ui/PlanPainter.h"

#include "document/Labels.h"
#include "document/Render.h"
#include "platform/qt/QtCanvas.h"

namespace arv {

void PaintDocument(QImage& image, TGCollFigure& doc) {
    TQtCanvas canvas(image);
    doc.Draw(canvas, false);
}

void PaintMarker(QImage& image, TGCollFigure& doc, TPoint world, int number, int kind, int colour) {
    TQtCanvas canvas(image);
    TFont font = LogFontRotated(
        CanvasFont(doc.settings.fonts[3], -RoundI(doc.settings.fontSize4Scaled * doc.scale)), 0);
    canvas.font = font;
    const TPoint s = doc.WorldToScreen(world);
    const TCanvasSize e = canvas.TextExtent(std::to_string(number));
    const int32_t w = RoundI(e.cx / 2.0), h = RoundI(e.cy / 4.0);
    DrawNodeMarker(doc, canvas, {s.x + w, s.y + 2 * h}, s, false, colour, number, kind);
}

} // namespace arv
