#include "platform/Canvas.h"

#include <cmath>
#include <cstdlib>

namespace arv {

namespace {
// MulDiv of the toolkit: the product rounded half away from zero.
int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    int64_t p = static_cast<int64_t>(a) * b;
    int64_t q = (std::llabs(p) + std::llabs(c) / 2) / std::llabs(c);
    return static_cast<int32_t>(((p < 0) != (c < 0)) ? -q : q);
}
} // namespace

void TCanvas::SetFontSize(int32_t points) {
    font.height = -MulDiv(points, PixelsPerInch(), 72);
}

int32_t TCanvas::FontSize() const {
    return -MulDiv(font.height, 72, PixelsPerInch());
}

double EscapementRadians(int32_t tenths) {
    return tenths / 10.0 * 3.14159265358979323846 / 180.0;
}

TCanvasPoint PenAfterText(TCanvasPoint at, int32_t width, int32_t escapement, uint32_t align) {
    const double a = EscapementRadians(escapement);
    const auto dx = static_cast<int32_t>(std::lround(width * std::cos(a)));
    const auto dy = static_cast<int32_t>(std::lround(width * std::sin(a)));
    if ((align & kTaHorizontalMask) == kTaLeft) return {at.x + dx, at.y - dy};
    if ((align & kTaHorizontalMask) == kTaRight) return {at.x - dx, at.y + dy};
    return at;
}

} // namespace arv
