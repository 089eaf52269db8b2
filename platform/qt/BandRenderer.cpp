#include "platform/qt/BandRenderer.h"

#include "platform/qt/QtCanvas.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

namespace arv {

TBandRenderer::TBandRenderer(int helpers)
    : pool_(helpers), measureImage_(16, 16, QImage::Format_RGB32),
      measure_(std::make_unique<TQtCanvas>(measureImage_)), list_(*measure_) {}

TBandRenderer::~TBandRenderer() = default;

void TBandRenderer::Render(QImage& image, const std::function<void(TCanvas&)>& draw,
                           const TUnderlay& underlay) {
    if (image.isNull()) return;
    list_.Clear();
    list_.MoveTo(0, 0);
    list_.pen = TPen{};
    list_.brush = TBrush{};
    list_.font = TFont{};
    list_.SetTextAlign(kTaLeft | kTaTop);
    list_.SetBackgroundTransparent(false);
    draw(list_);
    // Taken here, once: bits() may copy a shared picture and counts every
    // call in it; the bands only read the picture's size and write their rows.
    uchar* const bits = image.bits();
    const QImage& target = image;
    const int height = image.height();
    // A band per thread: texts that reach two bands are drawn twice, and Qt
    // takes a lock of the whole process for every text it draws.
    int bands = bands_ > 0 ? bands_ : pool_.Threads();
    bands = std::clamp(bands, 1, std::max(1, height / 16));
    pool_.Run(bands, [&](int band) {
        const int top = static_cast<int>(static_cast<int64_t>(height) * band / bands);
        const int bottom = static_cast<int>(static_cast<int64_t>(height) * (band + 1) / bands);
        PaintBand(target, bits, top, bottom, underlay);
    });
}

void TBandRenderer::PaintBand(const QImage& image, uchar* bits, int top, int bottom,
                              const TUnderlay& underlay) const {
    if (bottom <= top) return;
    // Reused by every band this thread paints.
    thread_local std::vector<uchar> scratch;
    int32_t from = 0, to = 0;
    list_.Reach(top, bottom, image.height(), from, to);
    const qsizetype line = image.bytesPerLine();
    const size_t bytes = static_cast<size_t>(line) * static_cast<size_t>(to - from);
    if (scratch.size() < bytes) scratch.resize(bytes);
    // Exactly the rows reached: a picture that ends elsewhere would clip
    // lines elsewhere than the target does.
    QImage band(scratch.data(), image.width(), to - from, line, image.format());
    uchar* own = scratch.data() + static_cast<size_t>(line) * static_cast<size_t>(top - from);
    uchar* target = bits + static_cast<size_t>(line) * static_cast<size_t>(top);
    const size_t rows = static_cast<size_t>(line) * static_cast<size_t>(bottom - top);
    if (underlay) {
        QPainter p(&band);
        p.translate(0, -from);
        p.setClipRect(QRect(0, top, image.width(), bottom - top));
        underlay(p, top, bottom);
    } else {
        std::memcpy(own, target, rows);
    }
    {
        TQtCanvas canvas(band);
        canvas.SetOrigin(0, -from);
        list_.PlayBack(canvas, top, bottom);
    }
    std::memcpy(target, own, rows);
}

} // namespace arv
