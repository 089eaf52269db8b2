// The main window's print commands, the print tool's rectangle, the
// "Формат" zoom and the legend-symbol editor's text for the drawing writer.
#include "app/DrawWin.h"

#include "app/PrintLayout.h"

namespace arv {

void TIDrawWin::Print1Click() {
    PrintState.PrintRectMode = false;
    if (ShowPrintDialog) ShowPrintDialog();
}

void TIDrawWin::PrintrectClick() {
    // The tool's button and cursor are the tool mode's, as for every tool.
    SetToolMode(20);
}

void TIDrawWin::PrintRectangle(const TRect& r) {
    // A rectangle dragged up or to the left prints the same area.
    PrintState.PrintRegion = NormaliseWorldRect(r);
    PrintState.PrintRectMode = true;
    if (ShowPrintDialog) ShowPrintDialog();
    SetToolMode(1);
}

void TIDrawWin::ComboBox2Change(int item) {
    ComboBox2Index = item;
    TSheetSize sheet;
    if (!SheetOfFormatItem(item, sheet)) return;
    const TRect extent = doc_->GetExtent();
    if (extent == TRect{}) return;
    TSheetFitView fit;
    if (!FitViewToSheet(sheet, WidenRegion(extent), ScreenWidth, PaintWidth, PaintHeight,
                        doc_->viewRect, fit))
        return;
    doc_->scale = fit.scale;
    doc_->hitTolerance = fit.hitTolerance;
    doc_->SetViewRect(fit.view);
    ViewChanged = true;
    Repaint();
}

bool TIDrawWin::SymbolEditorText(std::string& text) {
    if (!SymbolEditor.Created) return false;
    text = SymbolEditor.Text();
    return true;
}

} // namespace arv
