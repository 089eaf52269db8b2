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
    // Taken here, once: bits() may copy a shared picture and counts every
    // call in it; the bands only read the picture's size and write their rows.
    uchar* const bits = image.bits();
    const QImage& target = image;
    const int height = image.height();
    // A band per helper: texts that reach two bands are drawn twice, and Qt
    // takes a lock of the whole process for every text it draws. The helpers
    // paint each section of the list as soon as it is drawn, while this
    // thread draws the next; this thread joins them once the list is done.
    const int helpers = pool_.Threads() - 1;
    int bands = bands_ > 0 ? bands_ : std::max(1, helpers);
    bands = std::clamp(bands, 1, std::max(1, height / 16));
    const std::function<void(int)> part = [&](int band) {
        const int top = static_cast<int>(static_cast<int64_t>(height) * band / bands);
        const int bottom = static_cast<int>(static_cast<int64_t>(height) * (band + 1) / bands);
        PaintBand(target, bits, top, bottom, underlay);
    };
    pool_.Start(bands, part);
    try {
        draw(list_);
    } catch (...) {
        list_.Finish();
        try {
            pool_.Finish();
        } catch (...) {
        }
        throw;
    }
    list_.Finish();
    pool_.Finish();
}

namespace {

// Rows a band's picture holds beyond the band before the later sections are
// known: room for the node marks and arrows that cross the band's edges.
constexpr int32_t kBandMargin = 32;

} // namespace

void TBandRenderer::PaintBand(const QImage& image, uchar* bits, int top, int bottom,
                              const TUnderlay& underlay) const {
    if (bottom <= top) return;
    // Reused by every band this thread paints.
    thread_local std::vector<uchar> scratch;
    const qsizetype line = image.bytesPerLine();
    uchar* target = bits + static_cast<size_t>(line) * static_cast<size_t>(top);
    const size_t rows = static_cast<size_t>(line) * static_cast<size_t>(bottom - top);
    const int32_t height = image.height();
    // Paints sections [0, ended) onto a picture of rows [from, to), then the
    // later ones as they end, as long as their clipped calls stay inside it.
    // False when one does not: the band is then painted again from a picture
    // that holds the whole list's reach.
    auto paint = [&](int32_t from, int32_t to, int ended, bool whole) {
        const size_t bytes = static_cast<size_t>(line) * static_cast<size_t>(to - from);
        if (scratch.size() < bytes) scratch.resize(bytes);
        // Exactly the rows reached or more, within the picture's own: a
        // picture that ended elsewhere would clip lines elsewhere than the
        // target does.
        QImage band(scratch.data(), image.width(), to - from, line, image.format());
        uchar* own = scratch.data() + static_cast<size_t>(line) * static_cast<size_t>(top - from);
        if (underlay) {
            QPainter p(&band);
            p.translate(0, -from);
            p.setClipRect(QRect(0, top, image.width(), bottom - top));
            underlay(p, top, bottom);
        } else {
            std::memcpy(own, target, rows);
        }
        bool fits = true;
        {
            TQtCanvas canvas(band);
            canvas.SetOrigin(0, -from);
            int played = 0;
            for (;;) {
                if (!whole) {
                    for (int s = played; s < ended; ++s) {
                        int32_t f = 0, t = 0;
                        list_.Reach(top, bottom, height, f, t, s, s + 1);
                        if (f < from || t > to) fits = false;
                    }
                    if (!fits) break;
                }
                list_.PlayBack(canvas, top, bottom, played, ended);
                played = ended;
                if (played >= TDisplayList::kSections) break;
                ended = list_.WaitEnded(played);
            }
        }
        if (fits) std::memcpy(target, own, rows);
        return fits;
    };
    const int ended = list_.WaitEnded(0);
    int32_t from = 0, to = 0;
    list_.Reach(top, bottom, height, from, to, 0, ended);
    from = std::max(0, std::min(from, top - kBandMargin));
    to = std::min(height, std::max(to, bottom + kBandMargin));
    if (paint(from, to, ended, false)) return;
    list_.WaitEnded(TDisplayList::kSections - 1);
    list_.Reach(top, bottom, height, from, to);
    paint(from, to, TDisplayList::kSections, true);
}

} // namespace arv
