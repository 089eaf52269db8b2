#include "app/ui/PlanPainter.h"

#include "document/Labels.h"
#include "document/Render.h"
#include "platform/qt/QtCanvas.h"

#include <cstring>

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

void TPlanPainter::Paint(QImage& image, TGCollFigure& doc, const TUnderlay& underlay) {
    Forget();
    renderer_.Render(
        image, [&](TCanvas& c) { doc.Draw(c, false); }, underlay);
}

void TPlanPainter::PaintWritten(QImage& image, TGCollFigure& doc, const TUnderlay& underlay) {
    Forget();
    renderer_.Render(
        image, [&](TCanvas& c) { doc.DrawOnPaper(c, false); }, underlay);
}

void TPlanPainter::PaintMoving(QImage& image, TGCollFigure& doc, const TDrawPart& moving,
                               const TUnderlay& underlay) {
    if (image.isNull()) return;
    TDrawPart still = doc.OtherPart(moving);
    if (still_.size() != image.size() || still_.format() != image.format() || still != stillPart_ ||
        !(stillView_ == doc.viewRect) || stillScale_ != doc.scale) {
        still_ = QImage(image.size(), image.format());
        renderer_.Render(
            still_, [&](TCanvas& c) { doc.Draw(c, false, &still); }, underlay);
        stillPart_ = std::move(still);
        stillView_ = doc.viewRect;
        stillScale_ = doc.scale;
    }
    std::memcpy(image.bits(), still_.constBits(), static_cast<size_t>(image.sizeInBytes()));
    TQtCanvas canvas(image);
    doc.Draw(canvas, false, &moving);
}

void TPlanPainter::Forget() {
    still_ = QImage();
    stillPart_ = {};
}

} // namespace arv
