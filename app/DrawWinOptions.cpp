// The main window's view toggles, the view of all objects and the options
// command with the exchange between the window, the document and the dialog.
#include "app/DrawWin.h"
#include "app/Options.h"

#include "document/Constants.h"
#include "document/DrawingGlobals.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/Services.h"

#include <algorithm>

namespace arv {

namespace {

int32_t WorldFontHeight(int32_t size) {
    return RoundI(size * kPointsToWorld);
}

} // namespace

void TIDrawWin::MsxAllClick() {
    TWindowState& ws = WindowState();
    ws.MsxAll = true;
    PanelSost = Ru("Все объекты");
    // The five scheme items go, the PLA view with its item.
    SchemeItem = -1;
    SetMsxPla(false);
    ws.OpVetvi = ws.FireVetvi = false;
    doc_->BuildVisibleList();
    Repaint();
}

void TIDrawWin::VGridClick() {
    // The grid only: the pictures have their own switch in the options.
    VGrid = !VGrid;
    Repaint();
}

void TIDrawWin::MNumBrClick() {
    MNumBr = !MNumBr;
    doc_->display.branchNumbers = MNumBr;
    Repaint();
}

void TIDrawWin::MNumNdClick() {
    MNumNd = !MNumNd;
    doc_->display.nodeNumbers = MNumNd;
    Repaint();
}

void TIDrawWin::MNameBrClick() {
    MNameBr = !MNameBr;
    doc_->display.branchNames = MNameBr;
    Repaint();
}

void TIDrawWin::LoadOptions() {
    TOption& o = *option_;
    const TGCollFigure& doc = *doc_;
    const TDrawingSettings& s = doc.settings;
    const TDrawingGlobals& g = DrawingGlobals();
    const TWindowState& ws = WindowState();
    const int scheme = std::clamp(g.SchemeKind, 0, kSchemeCount - 1);
    o.TabSheet1Caption = SchemeKindNames()[scheme];
    if (o.Pla.Path.empty()) o.Pla.Path = ProgramFile("pla");
    if (o.Foto.Path.empty()) o.Foto.Path = ProgramFile("Foto");

    o.ColorText.Color = Settings.BackColor;
    o.ColorPrRect.Color = s.frameColour;
    o.UpDown1 = UpDownPosition(s.arrowSize, TOption::kArrowSize);
    o.UpDown2 = UpDownPosition(s.nodeSize, TOption::kNodeSize);
    o.OUSize = UpDownPosition(s.symbolSize, TOption::kSymbolSize);
    o.UpDown6 = UpDownPosition(g.DataOffset, TOption::kDataOffset);
    o.UpDownStepNet = UpDownPosition(Settings.GridStep, TOption::kGridStep);
    o.UpDownPr = UpDownPosition(s.leaderLength, TOption::kLeader);
    o.Positive = doc.display.showNegative != 0;
    o.CBNodeOutput = s.negativeNodes != 0;
    o.CBPicOutput = s.drawPictures != 0;
    o.PrSoprag = g.ShowJunctions != 0;
    o.UpDownScArrow = UpDownPosition(s.arrowScale, TOption::kArrowScale);
    o.UpDownShArrow = UpDownPosition(g.ArrowOffset, TOption::kArrowOffset);
    o.Arrcaption = s.arrowInside != 0;
    o.BrnF = s.fonts[0];
    o.BrnF.size = s.fontSize1;
    o.NodeF = s.fonts[1];
    o.NodeF.size = doc.nodes.nodeSize;
    o.BrN = s.fonts[2];
    o.BrN.size = s.fontSize3;
    o.ExtB = s.fonts[3];
    o.ExtB.size = s.fontSize4;
    o.PrRash = g.FlowCaptionFlags[0] != 0;
    o.PrSechenie = g.FlowCaptionFlags[1] != 0;
    o.PrSpeed = g.FlowCaptionFlags[2] != 0;
    o.PrLength = g.FlowCaptionFlags[3] != 0;
    o.PrRectEnable = s.drawFrame != 0;

    o.Pla.Default = Settings.PLAPath;
    o.Pla.Enabled = !o.Pla.Default;
    o.Pla.Path = o.Pla.Default ? ProgramFile("pla") : ws.PlaFolder;
    o.Pla.Directory = o.Pla.Path;
    o.Foto.Default = Settings.FotoPath;
    o.Foto.Enabled = !o.Foto.Default;
    o.Foto.Path = o.Foto.Default ? ProgramFile("Foto") : ws.PhotoFolder;
    o.Foto.Directory = o.Foto.Path;

    o.Scheme.ComboBoxLajer = doc.layers.Exists(LayerBoxIndex) ? LayerBoxIndex : 0;
    o.FillLayerLists();
    o.ShowLayerPanel();
    LoadSchemeOptions(scheme, o.Scheme);
    o.Scheme.UpDownWidth = UpDownPosition(o.Scheme.UpDownWidth, TOption::kWidth);
    o.Scheme.UpDownPenWidth = UpDownPosition(o.Scheme.UpDownPenWidth, TOption::kWidth);
}

void TIDrawWin::StoreOptions() {
    TOption& o = *option_;
    TGCollFigure& doc = *doc_;
    TDrawingSettings& s = doc.settings;
    TDrawingGlobals& g = DrawingGlobals();
    TWindowState& ws = WindowState();
    const int scheme = std::clamp(g.SchemeKind, 0, kSchemeCount - 1);
    StoreSchemeOptions(scheme, o.Scheme);
    SyncViewMenus(scheme);
    Settings.BackColor = ws.BackColor = o.ColorText.Color;
    ws.PlaFolder = o.Pla.Path;
    ws.PhotoFolder = o.Foto.Path;
    Settings.PLAPath = o.Pla.Default;
    Settings.FotoPath = o.Foto.Default;
    Settings.GridStep = o.UpDownStepNet == 0 ? 5 : o.UpDownStepNet;

    s.arrowSize = o.UpDown1;
    s.nodeSize = o.UpDown2;
    doc.SetSymbolSize(o.OUSize);
    s.dataOffset = g.DataOffset = o.UpDown6;
    s.arrowOffset = g.ArrowOffset = o.UpDownShArrow;
    s.arrowInside = o.Arrcaption ? 1 : 0;
    doc.display.showNegative = o.Positive ? 1 : 0;
    s.negativeNodes = o.CBNodeOutput ? 1 : 0;
    s.drawPictures = o.CBPicOutput ? 1 : 0;
    g.ShowJunctions = o.PrSoprag ? 1 : 0;
    s.fonts[0] = o.BrnF;
    s.fontSize1 = o.BrnF.size;
    s.fontSize1Scaled = WorldFontHeight(o.BrnF.size);
    s.fonts[1] = o.NodeF;
    doc.nodes.nodeSize = o.NodeF.size;
    doc.nodes.nodeSizeScaled = WorldFontHeight(o.NodeF.size);
    s.fonts[2] = o.BrN;
    s.fontSize3 = o.BrN.size;
    s.fontSize3Scaled = WorldFontHeight(o.BrN.size);
    s.fonts[3] = o.ExtB;
    s.fontSize4 = o.ExtB.size;
    s.fontSize4Scaled = WorldFontHeight(o.ExtB.size);
    s.arrowScale = o.UpDownScArrow;
    g.FlowCaptionFlags = {static_cast<uint8_t>(o.PrRash), static_cast<uint8_t>(o.PrSechenie),
                          static_cast<uint8_t>(o.PrSpeed), static_cast<uint8_t>(o.PrLength)};
    s.drawFrame = o.PrRectEnable ? 1 : 0;
    s.frameColour = o.ColorPrRect.Color;
    s.leaderLength = o.UpDownPr;
}

void TIDrawWin::MoptionsClick() {
    TOption& o = *option_;
    LoadOptions();
    const bool accepted = o.View() && o.View()->ShowModal();
    if (accepted) {
        StoreOptions();
        WriteSettingsFile();
    }
    // The layer buttons act at once, so the layer box follows the list
    // after a cancel too.
    const int chosen = accepted && doc_->layers.Exists(o.Scheme.ComboBoxLajer)
                           ? o.Scheme.ComboBoxLajer
                           : std::min(LayerBoxIndex, doc_->layers.Count() - 1);
    LayerBoxRefilled();
    LayerBoxIndex = std::max(0, chosen);
    WindowState().CurrentLayer = LayerBoxIndex;
    if (!accepted) {
        // Figures that follow a layer the buttons changed show it now.
        doc_->LoadFigureAttrs(std::clamp(DrawingGlobals().SchemeKind, 0, kSchemeCount - 1));
        doc_->ApplyLayerStyles();
        Repaint();
        return;
    }
    doc_->BuildVisibleList();
    doc_->DoChange();
    DrawingModified = true;
    // Layer names and widths the rows show may have changed.
    ShowProperties(false);
    Repaint();
}

} // namespace arv
