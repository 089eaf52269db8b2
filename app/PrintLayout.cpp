#include "app/PrintLayout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace arv {

namespace {

// Portrait sizes of A4, A3, A2, A1, A0. A0 is taken 1188 mm high, as the
// sheets always were here.
constexpr std::array<TSheetSize, 5> kSheets{
    {{210, 297}, {297, 420}, {420, 594}, {594, 841}, {841, 1188}}};

int64_t Span(int32_t a, int32_t b) {
    return std::llabs(static_cast<int64_t>(b) - a);
}

} // namespace

TSheetSize SheetSizeOfIndex(int index, bool portrait) {
    if (index < 0 || index >= static_cast<int>(kSheets.size())) index = 0;
    TSheetSize s = kSheets[static_cast<size_t>(index)];
    if (!portrait) std::swap(s.width, s.height);
    return s;
}

TSheetSize SheetSizeMm(std::string_view format, bool portrait) {
    static constexpr std::array<std::string_view, 5> names{"A4", "A3", "A2", "A1", "A0"};
    for (size_t i = 0; i < names.size(); ++i)
        if (format == names[i]) return SheetSizeOfIndex(static_cast<int>(i), portrait);
    return SheetSizeOfIndex(0, portrait);
}

bool ChooseLandscape(TSheetSize sheet, int pageW, int pageH, bool portraitChecked,
                     bool currentLandscape) {
    if (pageW <= 0 || pageH <= 0) return !portraitChecked;
    const int w = sheet.width, h = sheet.height;
    if (w / static_cast<double>(pageW) < 1.1 && h / static_cast<double>(pageH) < 1.1)
        return !portraitChecked;
    const int a = (w / pageW) * (h / pageH);
    const int b = (w / pageH) * (h / pageW);
    return b > a ? !currentLandscape : currentLandscape;
}

TRect WidenRegion(const TRect& r) {
    return {ClampI(static_cast<int64_t>(r.left) - 100), ClampI(static_cast<int64_t>(r.top) + 100),
            ClampI(static_cast<int64_t>(r.right) + 100),
            ClampI(static_cast<int64_t>(r.bottom) - 100)};
}

TRect NormaliseWorldRect(const TRect& r) {
    return {std::min(r.left, r.right), std::max(r.top, r.bottom), std::max(r.left, r.right),
            std::min(r.top, r.bottom)};
}

TRect TPrintTiling::View(int i, int j) const {
    const auto& c = columns[static_cast<size_t>(i)];
    const auto& r = rows[static_cast<size_t>(j)];
    return {c.first, r.first, c.second, r.second};
}

bool TilePrintSheet(const TRect& region, TSheetSize sheet, const TMarginsMm& m,
                    const TPrinterCaps& caps, TPrintTiling& out) {
    out = TPrintTiling{};
    if (region == TRect{}) return false;
    if (caps.horzSize <= 0 || caps.vertSize <= 0 || caps.horzRes <= 0 || caps.vertRes <= 0)
        return false;
    const int64_t regionW = Span(region.left, region.right);
    const int64_t regionH = Span(region.top, region.bottom);
    if (regionW == 0 || regionH == 0) return false;

    out.kx = caps.horzRes / static_cast<double>(caps.horzSize);
    out.ky = caps.vertRes / static_cast<double>(caps.vertSize);
    out.nx = std::max(1, sheet.width / caps.horzSize);
    out.ny = std::max(1, sheet.height / caps.vertSize);

    auto clamp0 = [](int32_t v) { return std::max<int32_t>(0, v); };
    out.pages.resize(static_cast<size_t>(out.nx) * static_cast<size_t>(out.ny));
    for (int i = 0; i < out.nx; ++i)
        for (int j = 0; j < out.ny; ++j) {
            TRect p;
            p.left = i == 0 ? RoundI(m.left * out.kx - caps.offsetX) : 0;
            p.right = i == out.nx - 1 ? RoundI(caps.horzRes - m.right * out.kx + caps.offsetX)
                                      : caps.horzRes;
            p.top = j == 0 ? RoundI(m.top * out.ky - caps.offsetY) : 0;
            p.bottom = j == out.ny - 1 ? RoundI(caps.vertRes - m.bottom * out.ky + caps.offsetY)
                                       : caps.vertRes;
            p.left = clamp0(p.left);
            p.right = clamp0(p.right);
            p.top = clamp0(p.top);
            p.bottom = clamp0(p.bottom);
            out.pages[static_cast<size_t>(i * out.ny + j)] = p;
        }

    int64_t sw = 0, sh = 0;
    for (int i = 0; i < out.nx; ++i) sw += out.Page(i, 0).right - out.Page(i, 0).left;
    for (int j = 0; j < out.ny; ++j) sh += out.Page(0, j).bottom - out.Page(0, j).top;
    out.scale = std::min(sw / static_cast<double>(regionW), sh / static_cast<double>(regionH));
    // Margins wider than the sheet leave nothing to print on.
    if (!(out.scale > 0)) return false;

    int64_t before = 0;
    for (int i = 0; i < out.nx; ++i) {
        const int64_t upto = before + (out.Page(i, 0).right - out.Page(i, 0).left);
        int32_t l = ClampI(region.left + static_cast<int64_t>(RoundI(before / out.scale)));
        int32_t r = ClampI(region.left + static_cast<int64_t>(RoundI(upto / out.scale)));
        if (i == out.nx - 1) r = std::max(r, region.right);
        out.columns.emplace_back(l, r);
        before = upto;
    }
    before = 0;
    for (int j = 0; j < out.ny; ++j) {
        const int64_t upto = before + (out.Page(0, j).bottom - out.Page(0, j).top);
        int32_t t = ClampI(region.top - static_cast<int64_t>(RoundI(before / out.scale)));
        int32_t b = ClampI(region.top - static_cast<int64_t>(RoundI(upto / out.scale)));
        if (j == out.ny - 1) b = std::max(b, region.bottom);
        out.rows.emplace_back(t, b);
        before = upto;
    }
    return true;
}

bool SheetOfFormatItem(int item, TSheetSize& out) {
    if (item < 1 || item > 10) return false;
    out = SheetSizeOfIndex((item - 1) / 2, (item - 1) % 2 == 0);
    return true;
}

bool FitViewToSheet(TSheetSize sheet, const TRect& region, int screenWidth, int imageW, int imageH,
                    const TRect& v, TSheetFitView& out) {
    const int64_t regionW = Span(region.left, region.right);
    const int64_t regionH = Span(region.top, region.bottom);
    if (regionW == 0 || regionH == 0 || screenWidth <= 0) return false;
    const double f = screenWidth / 300.0;
    out.scale = std::min(sheet.width * f / static_cast<double>(regionW),
                         sheet.height * f / static_cast<double>(regionH));
    out.hitTolerance = std::max(5, RoundI(5.0 / out.scale));
    const int64_t cx = v.left + (static_cast<int64_t>(v.right) - v.left) / 2;
    const int64_t cy = v.top + (static_cast<int64_t>(v.bottom) - v.top) / 2;
    const int64_t hw = RoundI(imageW / out.scale) / 2;
    const int64_t hh = RoundI(imageH / out.scale) / 2;
    out.view = {ClampI(cx - hw), ClampI(cy + hh), ClampI(cx + hw), ClampI(cy - hh)};
    return true;
}

} // namespace arv
