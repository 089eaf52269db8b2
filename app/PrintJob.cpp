#include "app/PrintJob.h"

#include "platform/Cp1251.h"

#include <exception>
#include <stdexcept>

namespace arv {

namespace {

// Gives the document back its scale and view however the pages end.
class TViewGuard {
public:
    explicit TViewGuard(TGCollFigure& doc) : doc_(doc), scale_(doc.scale), view_(doc.viewRect) {}
    ~TViewGuard() {
        doc_.scale = scale_;
        doc_.SetViewRect(view_);
    }
    TViewGuard(const TViewGuard&) = delete;
    TViewGuard& operator=(const TViewGuard&) = delete;

private:
    TGCollFigure& doc_;
    double scale_;
    TRect view_;
};

// The view for one page: the figures of the whole strip are listed, and the
// view is moved so that the strip starts at the page's corner.
void ShowStrip(TGCollFigure& doc, const TRect& strip, const TRect& shifted) {
    doc.SetViewRect({shifted.left, shifted.top, strip.right, strip.bottom});
    doc.viewRect = shifted;
}

void WhitePage(TCanvas& canvas, int width, int height) {
    canvas.brush = TBrush{0xFFFFFF, TBrushStyle::Solid};
    canvas.FillRect({0, 0, width, height});
    canvas.pen = TPen{};
}

} // namespace

void TPrintDlgState::FormCreate() {
    ComboBox1 = 0;
    Label3.clear();
    Portret = true;
}

TRect PageViewRect(const TRect& strip, const TRect& pageRect, double scale) {
    const int64_t dx = RoundI((pageRect.left + 1) / scale);
    const int64_t dy = RoundI((pageRect.top + 1) / scale);
    return {ClampI(strip.left - dx), ClampI(strip.top + dy), ClampI(strip.right - dx),
            ClampI(strip.bottom + dy)};
}

TRect PrintRegionOf(TGCollFigure& doc, const TPrintRegionState& region) {
    return region.PrintRectMode ? NormaliseWorldRect(region.PrintRegion) : doc.GetExtent();
}

TPrintResult PrintPlan(TGCollFigure& doc, const TPrintDlgState& dlg,
                       const TPrintRegionState& regionState, IPrintTarget& printer) {
    TPrintResult result;
    const TRect region = PrintRegionOf(doc, regionState);
    if (region == TRect{}) return result;
    const TRect widened = WidenRegion(region);
    const TSheetSize sheet = dlg.Sheet();

    const TPrinterCaps before = printer.Caps();
    printer.SetLandscape(
        ChooseLandscape(sheet, before.horzSize, before.vertSize, dlg.Portret, printer.Landscape()));
    TPrintTiling tiling;
    if (!TilePrintSheet(widened, sheet, dlg.Margins(), printer.Caps(), tiling)) return result;
    printer.SetCopies(dlg.Copies);

    TViewGuard guard(doc);
    doc.scale = tiling.scale;
    if (!printer.BeginJob(result.errorText)) {
        result.failed = true;
        return result;
    }
    try {
        for (int i = 0; i < tiling.nx; ++i)
            for (int j = 0; j < tiling.ny; ++j) {
                const TRect& page = tiling.Page(i, j);
                TCanvas& canvas = printer.BeginPage(page);
                const TRect strip = tiling.View(i, j);
                ShowStrip(doc, strip, PageViewRect(strip, page, tiling.scale));
                canvas.pen = TPen{};
                doc.DrawOnPaper(canvas, dlg.BWPrint);
                printer.EndPage(page, dlg.Bord);
                ++result.pages;
                const bool last = i == tiling.nx - 1 && j == tiling.ny - 1;
                if (!last && !printer.NewPage())
                    throw std::runtime_error(Ru("принтер не начал следующую страницу"));
            }
    } catch (const std::exception& e) {
        printer.AbortJob();
        result.failed = true;
        result.errorText = e.what();
        return result;
    }
    printer.EndJob();
    return result;
}

bool PlanPreviewPage(TGCollFigure& doc, const TPrintDlgState& dlg, const TPrinterCaps& caps,
                     TPreviewPage& out) {
    const TRect extent = doc.GetExtent();
    if (extent == TRect{}) return false;
    TPrintTiling tiling;
    if (!TilePrintSheet(WidenRegion(extent), dlg.Sheet(), dlg.Margins(), caps, tiling))
        return false;
    constexpr double kPreviewPixelsPerMm = 14.0 / 3.0;
    out.width = RoundI(caps.horzSize * kPreviewPixelsPerMm);
    out.height = RoundI(caps.vertSize * kPreviewPixelsPerMm);
    out.scale = tiling.scale * kPreviewPixelsPerMm / tiling.kx;
    out.view = tiling.View(0, 0);
    return out.width > 0 && out.height > 0;
}

void DrawPreviewPage(TGCollFigure& doc, const TPrintDlgState& dlg, const TPreviewPage& page,
                     TCanvas& canvas) {
    TViewGuard guard(doc);
    WhitePage(canvas, page.width, page.height);
    doc.scale = page.scale;
    doc.SetViewRect(page.view);
    doc.DrawOnPaper(canvas, dlg.BWPrint);
}

} // namespace arv
