#include "app/DrawWin.h"
#include "app/Options.h"

#include "calc/files/ExchangeExport.h"
#include "document/ExchangePlan.h"

#include "calc/window/DataWindowController.h"
#include "document/Constants.h"
#include "document/DrawingGlobals.h"
#include "document/ImageLibrary.h"
#include "document/SymbolLibrary.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/Keys.h"
#include "platform/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace arv {

namespace {

TIDrawWin* drawWin = nullptr;

int32_t WorldHeight(int size) {
    return RoundI(size * 3.527);
}

// One scroll step in world units for a step in pixels.
int StepUnits(int pixels, double scale) {
    return RoundI(pixels * 0.2 / scale);
}

} // namespace

const std::array<const char*, 5> kSchemeMenuItems{"MsxRasch", "MsxVent", "MsxPLA", "MsxPPog",
                                                  "MsxN4"};

TIDrawWin* IDrawWin() {
    return drawWin;
}

void SetIDrawWin(TIDrawWin* window) {
    drawWin = window;
}

TIDrawWin::TIDrawWin()
    : doc_(std::make_unique<TGCollFigure>()), option_(std::make_unique<TOption>(*this)) {
    GDoc = doc_.get();
    MsxPLA = false;
    DrawMode = 1;
    option_->FormCreate();
    doc_->OnDrawLabel = [this](TCanvas& dc, int32_t number, int32_t kind, int32_t position,
                               TLabelTextOut draw, TGCollFigure& doc) {
        return GetFigureLabel(dc, number, kind, position, draw, doc);
    };
    InstallWindowHost(this);
    InstallSchemeHost(this);
    // The exchange exports write the tables with what the plan adds to them.
    WriteTreskText = [this](const std::string& fileName) {
        if (!dataWindow_) return false;
        arv::WriteTreskText(fileName, dataWindow_->Tables(), BuildExchangePlan(*doc_));
        return ExportWrittenFlag() != 0;
    };
    WriteVeltorText = [this](const std::string& fileName) {
        if (!dataWindow_) return false;
        arv::WriteVeltorText(fileName, dataWindow_->Tables(), BuildExchangePlan(*doc_));
        return ExportWrittenFlag() != 0;
    };
}

TIDrawWin::~TIDrawWin() {
    InstallWindowHost(nullptr);
    if (SchemeHost() == this) InstallSchemeHost(nullptr);
    if (GDoc == doc_.get()) GDoc = nullptr;
    WindowState().BranchGrid = nullptr;
    WindowState().Datagrid = nullptr;
}

std::string ChooseDrawingFile(const std::vector<std::string>& args, const std::string& lastFile,
                              const std::string& programDir) {
    std::string name;
    if (!args.empty() && !args[0].empty())
        for (const std::string& a : args) name += a + " ";
    else
        name = lastFile;
    // The blank after the last parameter is no part of the name.
    name = Trim(name);
    const std::string untitled = programDir + "untitled.grh";
    if (name.empty() || name == ".grh") return untitled;
    size_t sep = name.find_last_of("\\/:");
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return untitled;
    if (Trim(name.substr(dot)) != ".grh") return untitled;
    return name;
}

int SegmentAngle(TPoint p, TPoint q) {
    double deg;
    if (p.x != q.x)
        deg = std::atan2(static_cast<double>(q.y) - p.y, static_cast<double>(q.x) - p.x) * 180.0 /
              kPi;
    else
        deg = q.y < p.y ? -90.0 : 90.0;
    return RoundI(deg);
}

std::string ExtractPathPart(const std::string& path) {
    size_t sep = path.find_last_of("\\/");
    return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}

void TIDrawWin::FormCreate(const std::vector<std::string>& args) {
    TGCollFigure& doc = *doc_;
    ViewChanged = false;
    ExportRendering = false;
    WindowState().ShowRoute = 0;
    ResetDrawingGlobals();
    DrawingGlobals().SchemeKind = 0;
    doc.layers.Reset();

    ProgramDirPath = ProgramDir();
    IdrawIniPath = ProgramFile("Idraw.ini");
    ReadIdrawIni(IdrawIniPath, Settings);
    VGrid = Settings.Grid;
    MNameBr = Settings.Name;
    MNumBr = Settings.BranchN;
    MNumNd = Settings.NodeN;
    DrawingGlobals().DefLineColor = Settings.DefLineColor;
    WindowState().BackColor = Settings.BackColor;
    currentFileName_ = Settings.LastFile;

    DatagridTitles.clear();
    for (const std::string& t : BranchColumnTitles()) DatagridTitles.push_back(t);

    currentFileName_ = ChooseDrawingFile(args, Settings.LastFile, ProgramDirPath);
    ShowCaption();

    PropCaptions.assign(30, "1");
    PropValues.assign(30, "1");
    PropCaptions[0] = Ru("Свойство");
    PropValues[0] = Ru("Значение");

    doc.settings.fontSize1 = Settings.MainFontSize;
    doc.settings.fontSize1Scaled = WorldHeight(Settings.MainFontSize);
    doc.settings.fontSize3 = Settings.BnFontSize;
    doc.settings.fontSize3Scaled = WorldHeight(Settings.BnFontSize);
    doc.settings.fontSize4 = Settings.ExtFontSize;
    doc.settings.fontSize4Scaled = WorldHeight(Settings.ExtFontSize);
    doc.nodes.nodeSize = Settings.NodeFontSize;
    doc.nodes.nodeSizeScaled = WorldHeight(Settings.NodeFontSize);
    LoadImageLibrary(doc.images, ProgramDirPath, &WindowState().MissingLog);

    DrawMode = 1;
    doc.display.showNegative = Settings.Positiv ? 1 : 0;
    doc.UpdateViewSize(PaintWidth, PaintHeight);
    doc.display.branchNumbers = MNumBr;
    doc.display.nodeNumbers = MNumNd;
    doc.display.branchNames = MNameBr;
    WindowState().MOrientBr = MOrientBr;
    doc.BuildVisibleList();

    LoadSymbolLibrary(doc.symbols, ProgramDirPath, &WindowState().MissingLog);
    // A drawing that cannot be read leaves an empty one, which has no file
    // yet: a save must not replace the file that failed.
    if (!LoadDrawing(currentFileName_)) {
        currentFileName_ = ProgramDirPath + "untitled.grh";
        FitDefaultView();
        ShowCaption();
    }

    LayerBoxRefilled();
    SchemeClick(DrawingGlobals().SchemeKind);
}

void TIDrawWin::FormResize(int width, int height) {
    PaintWidth = width;
    PaintHeight = height;
    doc_->UpdateViewSize(width, height);
    // A drawing the user has not moved since it was fitted stays fitted.
    const TGCollFigure& doc = *doc_;
    if (loadFit_.valid && doc.scale == loadFit_.scale && doc.centre == loadFit_.centre) {
        FitView(doc_->GetExtent());
        loadFit_ = {true, doc.scale, doc.centre};
    }
    Repaint();
}

void TIDrawWin::FormActivate() {
    IndexCalcDataGrids();
    Repaint();
    LinkBranchesToCalcData();
    CheckSchemeAgainstCalcData();
    ShowProperties(false);
}

void TIDrawWin::ScrollBy(int direction, int amount) {
    doc_->Scroll(direction, amount);
    ViewChanged = true;
    Repaint();
}

void TIDrawWin::FormKeyDown(int key, bool numpad) {
    switch (key) {
    case VK_LEFT:
        return ScrollBy(1, 10);
    case VK_RIGHT:
        return ScrollBy(2, 10);
    case VK_UP:
        return ScrollBy(3, 10);
    case VK_DOWN:
        return ScrollBy(4, 10);
    case VK_ESCAPE:
        ASelectExecute();
        return;
    default:
        break;
    }
    if (!numpad) return;
    if (key == '+')
        doc_->ZoomIn();
    else if (key == '-')
        doc_->ZoomOut();
    else
        return;
    ViewChanged = true;
    Repaint();
}

void TIDrawWin::ScrollBar1Scroll(int scrollCode, int& scrollPos) {
    scrollPos = 50;
    const double s = doc_->scale;
    switch (scrollCode) {
    case 0:
        doc_->Scroll(1, StepUnits(10, s));
        break;
    case 1:
        doc_->Scroll(2, StepUnits(10, s));
        break;
    case 2:
        doc_->Scroll(1, StepUnits(100, s));
        break;
    case 3:
        doc_->Scroll(2, StepUnits(100, s));
        break;
    default:
        break;
    }
    Repaint();
    ViewChanged = true;
}

void TIDrawWin::ScrollBar2Scroll(int scrollCode, int& scrollPos) {
    scrollPos = 50;
    const double s = doc_->scale;
    switch (scrollCode) {
    case 0:
        doc_->Scroll(3, StepUnits(10, s));
        break;
    case 1:
        doc_->Scroll(4, StepUnits(10, s));
        break;
    case 2:
        doc_->Scroll(3, StepUnits(100, s));
        break;
    case 3:
        doc_->Scroll(4, StepUnits(100, s));
        break;
    default:
        break;
    }
    Repaint();
    ViewChanged = true;
}

void TIDrawWin::FitView(const TRect& e) {
    TGCollFigure& doc = *doc_;
    const int64_t w = static_cast<int64_t>(e.right) - e.left;
    const int64_t h = static_cast<int64_t>(e.top) - e.bottom;
    // An empty drawing or a single point has no size to fit: the view stays.
    // A drawing of only horizontal (or only vertical) lines fits its length.
    if ((w <= 0 && h <= 0) || PaintWidth <= 0 || PaintHeight <= 0) return;
    if (h <= 0)
        doc.scale = PaintWidth / static_cast<double>(w) * 0.95;
    else if (w <= 0)
        doc.scale = PaintHeight / static_cast<double>(h) * 0.95;
    else
        doc.scale = std::min(PaintWidth / static_cast<double>(w) * 0.95,
                             PaintHeight / static_cast<double>(h) * 0.95);
    doc.hitTolerance = std::max(5, RoundI(5.0 / doc.scale));
    doc.clientWidth = PaintWidth;
    doc.clientHeight = PaintHeight;
    const int32_t cx = HalfSum(e.left, e.right), cy = HalfSum(e.top, e.bottom);
    const int32_t hw = RoundI(PaintWidth / 2.0 / doc.scale);
    const int32_t hh = RoundI(PaintHeight / 2.0 / doc.scale);
    doc.SetViewRect({cx - hw, cy + hh, cx + hw, cy - hh});
}

void TIDrawWin::FitDefaultView() {
    loadFit_.valid = false;
    doc_->scale = -std::abs(doc_->scale);
    doc_->clientWidth = PaintWidth;
    doc_->clientHeight = PaintHeight;
    doc_->ZoomToRect({-500, 250, 500, -250});
}

void TIDrawWin::ViewAllClick() {
    TRect e = doc_->GetExtent();
    if (e == TRect{}) return;
    FitView(e);
    Repaint();
}

void TIDrawWin::Timer1Timer() {
    MarkerColor = MarkerColor == 0x0000FF ? 0xFFFFFF : 0x0000FF;
    if (view_) view_->RedrawPlan();
}

void TIDrawWin::EnableBlinkTimer() {
    const TBlinkMarker& m = WindowState().BlinkMarker;
    MarkerPoint = m.world;
    MarkerNumber = m.number;
    MarkerKind = m.ringKind;
    TimerEnabled = true;
}

void TIDrawWin::RedrawPlan() {
    Repaint();
}

void TIDrawWin::Repaint() {
    StatusPanels[1] = IntToStr(RoundI(doc_->scale * 100)) + "%";
    Edit.MovingShown = false;
    if (view_) view_->RedrawPlan();
}

void TIDrawWin::RedrawMoving(const TDrawPart& moving) {
    StatusPanels[1] = IntToStr(RoundI(doc_->scale * 100)) + "%";
    Edit.MovingShown = true;
    if (view_) view_->RedrawMoving(moving);
}

void TIDrawWin::ShowCaption() {
    Caption = "Arvalen " + currentFileName_;
}

void TIDrawWin::SetCurrentFileName(const std::string& fileName) {
    currentFileName_ = fileName;
    nameHoldsDrawing_ = false;
    ShowCaption();
}

void TIDrawWin::LayerBoxRefilled() {
    LayerBoxItems.clear();
    for (const TLayerRecord& l : doc_->layers.Records()) LayerBoxItems.push_back(l.name);
    LayerBoxIndex = 0;
    WindowState().LayerBoxItems = LayerBoxItems;
    WindowState().CurrentLayer = 0;
}

void TIDrawWin::SchemeClick(int scheme) {
    if (scheme < 0 || scheme >= kSchemeCount) scheme = 0;
    DrawingGlobals().SchemeKind = scheme;
    option_->TabSheet1Caption = SchemeKindNames()[scheme];
    SyncViewMenus(scheme);
    TWindowState& ws = WindowState();
    SchemeItem = scheme;
    ws.MsxAll = ws.OpVetvi = ws.FireVetvi = false;
    // The PLA scheme's item is also the PLA-position switch: choosing the
    // scheme checks it and shows the positions; another scheme unchecks it.
    SetMsxPla(scheme == 2);
    if (scheme == 2) doc_->display.caption[3] = 1;
    PanelSost = SchemeKindNames()[scheme];
    doc_->BuildVisibleList();
    doc_->DoChange();
    Repaint();
}

void TIDrawWin::SetMsxPla(bool checked) {
    // The check is also the plan's PLA view: branches take the colours of
    // their PLA positions, those without one the background.
    MsxPLA = checked;
}

void TIDrawWin::SyncViewMenus(int32_t schemeKind) {
    if (schemeKind < 0 || schemeKind >= kSchemeCount) schemeKind = 0;
    // The document takes the record's defaults, display switches and, for
    // drawings that keep them, every figure's attributes of the scheme.
    doc_->ApplySchemeRecord(schemeKind);
    const TSchemeRecord& r = DrawingGlobals().SchemeViewFlags[schemeKind];
    MNumBr = r.show[kShowBranchNumbers];
    MNumNd = r.show[kShowNodeNumbers];
    MNameBr = r.show[kShowBranchNames];
    MQData = r.show[kShowAirFlows];
    MArrowQ = r.show[kShowFlowArrows];
    MDAVL = r.show[kShowNodePressures];
    MPrData = r.show[kShowCalcData];
    SetMsxPla(r.show[kShowPlaPositions] != 0);
    const int32_t current = DrawingGlobals().SchemeKind;
    PanelSost = SchemeKindNames()[current >= 0 && current < kSchemeCount ? current : 0];
    doc_->ApplyLayerStyles();
}

void TIDrawWin::StoreSchemeOptions(int scheme, const TSchemeOptionsState& d) {
    if (scheme < 0 || scheme >= kSchemeCount) return;
    TSchemeRecord& r = DrawingGlobals().SchemeViewFlags[scheme];
    r.style = static_cast<uint8_t>(d.LineTypeIndex + 1);
    r.lineColor = d.ColorLine;
    r.width = d.UpDownWidth;
    for (int i = 0; i < 8; ++i) r.show[i] = d.ShowChecks[i] ? 1 : 0;
    // Layers beyond the twelfth have no place in the record.
    for (int i = 0; i < kSchemeLayerCount && i < static_cast<int>(d.LayerChecks.size()); ++i)
        r.layers[i] = d.LayerChecks[i] ? 1 : 0;
    r.penWidth = d.UpDownPenWidth;
}

void TIDrawWin::LoadSchemeOptions(int scheme, TSchemeOptionsState& d) const {
    if (scheme < 0 || scheme >= kSchemeCount) return;
    const TSchemeRecord& r = DrawingGlobals().SchemeViewFlags[scheme];
    d.LineTypeIndex = std::max(0, r.style - 1);
    d.ColorLine = r.lineColor;
    d.UpDownWidth = r.width;
    for (int i = 0; i < 8; ++i) d.ShowChecks[i] = r.show[i] != 0;
    const int layers = doc_->layers.Count();
    d.LayerChecks.assign(layers, false);
    for (int i = 0; i < layers && i < kSchemeLayerCount; ++i) d.LayerChecks[i] = r.layers[i] != 0;
    d.UpDownPenWidth = r.penWidth;
    if (doc_->layers.Exists(d.ComboBoxLajer)) {
        const TLayerRecord& l = doc_->layers.Layer(d.ComboBoxLajer);
        d.Edit7 = l.name;
        d.ComboLineType = l.style;
        d.UpDown3 = l.width;
        d.UpDown5 = l.penWidth;
        d.ColorLineLajer = l.colour;
    }
}

bool TIDrawWin::CentreOnBranch(int number) {
    if (!doc_->HasBranchNumber(number)) return false;
    // As "Найти ветвь" does: on the figure's reference point.
    CentreOnCurrentFigure();
    doc_->DoChange();
    Repaint();
    return true;
}

void TIDrawWin::ShowAndBringToFront() {
    if (view_) view_->ShowWindow();
}

} // namespace arv
