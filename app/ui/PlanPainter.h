// The plan's picture painted through the platform canvas.
#pragma once

#include "document/Document.h"
#include "platform/qt/BandRenderer.h"

#include <QImage>

namespace arv {

// Paints the document in its current view over the picture.
void PaintDocument(QImage& image, TGCollFigure& doc);
// The blinking number marker at the world point in the colour given.
void PaintMarker(QImage& image, TGCollFigure& doc, TPoint world, int number, int kind, int colour);

// The main window's plan: the whole plan painted in bands on every core,
// and the steps of a drag painted from a picture of what stays still, kept
// while the drag lasts, with what moves drawn over it.
class TPlanPainter {
public:
    using TUnderlay = TBandRenderer::TUnderlay;

    // The whole plan over the underlay (background, grid points); the same
    // pixels as PaintDocument over the underlay. Forgets the kept picture.
    void Paint(QImage& image, TGCollFigure& doc, const TUnderlay& underlay);
    // The plan as a written picture shows it: every label, whatever tool
    // the window has chosen, as on paper at the view's own scale.
    void PaintWritten(QImage& image, TGCollFigure& doc, const TUnderlay& underlay);
    // A step of a drag that moves `moving` (TGCollFigure::DragPart): the
    // rest of the plan comes from the picture kept since the drag's first
    // step, painted anew when the rest, the view or the size is not what it
    // was; the moving part is drawn over it.
    void PaintMoving(QImage& image, TGCollFigure& doc, const TDrawPart& moving,
                     const TUnderlay& underlay);
    // The kept picture is no longer what stays still.
    void Forget();
    TBandRenderer& Renderer() { return renderer_; }

private:
    TBandRenderer renderer_;
    QImage still_;
    TDrawPart stillPart_;
    TRect stillView_;
    double stillScale_ = 0;
};

} // namespace arv
