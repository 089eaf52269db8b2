// Printing the plan: the print dialog's settings, the print job over a
// printer the window supplies, and the preview's first page. The document's
// scale and view are borrowed for the pages and always given back.
#pragma once

#include "app/PrintLayout.h"
#include "document/Document.h"
#include "platform/Canvas.h"

#include <string>

namespace arv {

// The print dialog's controls.
struct TPrintDlgState {
    int ComboBox1 = 0; // sheet format: "A4", "A3", "A2", "A1", "A0"
    int Copies = 1;    // 1..1000
    bool Portret = true;
    bool Bord = false;
    bool BWPrint = true;
    int LLeft = 0, LTop = 0, LRight = 0, LBottom = 0; // mm, 0..1000
    std::string Label3;
    TSheetSize Sheet() const { return SheetSizeOfIndex(ComboBox1, Portret); }
    TMarginsMm Margins() const { return {LLeft, LTop, LRight, LBottom}; }
    // The dialog's state at its creation.
    void FormCreate();
};

// What is printed: the whole drawing, or the rectangle of the print tool.
struct TPrintRegionState {
    TRect PrintRegion;
    bool PrintRectMode = false;
};

// The printer as the print job sees it.
class IPrintTarget {
public:
    virtual ~IPrintTarget() = default;
    virtual TPrinterCaps Caps() = 0;
    virtual bool Landscape() = 0;
    virtual void SetLandscape(bool landscape) = 0;
    virtual void SetCopies(int copies) = 0;
    // False when the job could not begin (errorText says why).
    virtual bool BeginJob(std::string& errorText) = 0;
    // The canvas of a page, white inside the rectangle and clipped to it
    // (right and bottom included).
    virtual TCanvas& BeginPage(const TRect& pageRect) = 0;
    // Frames the rectangle when asked, and lifts the clip.
    virtual void EndPage(const TRect& pageRect, bool frame) = 0;
    virtual bool NewPage() = 0;
    virtual void EndJob() = 0;
    virtual void AbortJob() = 0;
};

struct TPrintResult {
    int pages = 0;       // pages printed
    bool failed = false; // the job was aborted
    std::string errorText;
};

// What a print takes: the drawing's extent unless the print rectangle is in
// force. An empty drawing gives the empty rectangle.
TRect PrintRegionOf(TGCollFigure& doc, const TPrintRegionState& region);

// Prints the region fitted onto the dialog's sheet. An empty region prints
// nothing.
TPrintResult PrintPlan(TGCollFigure& doc, const TPrintDlgState& dlg,
                       const TPrintRegionState& region, IPrintTarget& printer);

// Where each page's picture goes and how the view is moved so that the page
// rectangle's corner lands at (pageLeft + 1, pageTop + 1) on the device.
TRect PageViewRect(const TRect& strip, const TRect& pageRect, double scale);

// The preview's first page: its size in pixels and the scale it is drawn at.
struct TPreviewPage {
    int width = 0, height = 0;
    double scale = 0;
    TRect view;
};
// Same steps as the print for the whole drawing, with the printer's figures
// (after ChooseLandscape): the first page at 14/3 pixels per mm. False when
// there is nothing to show.
bool PlanPreviewPage(TGCollFigure& doc, const TPrintDlgState& dlg, const TPrinterCaps& caps,
                     TPreviewPage& out);
// Draws that page onto the canvas (white, black pen first); the document's
// scale and view are restored.
void DrawPreviewPage(TGCollFigure& doc, const TPrintDlgState& dlg, const TPreviewPage& page,
                     TCanvas& canvas);

} // namespace arv
