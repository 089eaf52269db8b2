// Paints a picture in horizontal bands on several threads. What is to be
// drawn is drawn once onto a display list (on the calling thread, which
// alone may touch the state of what draws); meanwhile every band plays the
// list's sections as they end (see TCanvas::EndSection), by its own painter
// onto a picture of its own, and is copied into its rows of the target. The
// result is, pixel for pixel, what drawing straight onto the target gives.
#pragma once

#include "platform/DisplayList.h"
#include "platform/WorkerPool.h"

#include <QImage>
#include <functional>
#include <memory>

class QPainter;

namespace arv {

class TQtCanvas;

class TBandRenderer {
public:
    // Helper threads besides the caller; below 0, one fewer than the cores.
    explicit TBandRenderer(int helpers = -1);
    ~TBandRenderer();
    TBandRenderer(const TBandRenderer&) = delete;
    TBandRenderer& operator=(const TBandRenderer&) = delete;

    // Paints rows [top, bottom) of the picture before the drawing, in the
    // picture's coordinates; the painter paints only those rows.
    using TUnderlay = std::function<void(QPainter& painter, int top, int bottom)>;

    // Draws onto the image (32-bit formats) what `draw` draws on the canvas
    // it is given. Without an underlay the drawing goes over what the image
    // holds. Returns when the picture is complete.
    void Render(QImage& image, const std::function<void(TCanvas&)>& draw,
                const TUnderlay& underlay = {});
    // Bands per picture; 0 chooses by the threads and the height.
    void SetBands(int bands) { bands_ = bands; }
    int Threads() const { return pool_.Threads(); }

private:
    // Rows [top, bottom) of the picture whose pixels start at bits.
    void PaintBand(const QImage& image, uchar* bits, int top, int bottom,
                   const TUnderlay& underlay) const;

    TWorkerPool pool_;
    // Measures the texts of the list on the calling thread.
    QImage measureImage_;
    std::unique_ptr<TQtCanvas> measure_;
    TDisplayList list_;
    int bands_ = 0;
};

} // namespace arv
