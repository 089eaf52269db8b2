// The one way a drawing takes the place of the one shown: New, Open, a
// bookmark, the mine file imports and the data window's own open and import
// commands. It asks about everything of the drawing shown, puts the next one
// in its place, and then resets what belonged to the drawing before, once,
// knowing the new drawing's name.
#include "app/DrawWin.h"

#include "calc/files/DataFiles.h"
#include "calc/files/NetworkDataText.h"
#include "calc/window/DataWindowController.h"
#include "calc/window/LibraryWindows.h"
#include "document/Constants.h"
#include "document/DrawingGlobals.h"
#include "document/SymbolLibrary.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/Services.h"
#include "routes/RouteWindows.h"

#include <algorithm>
#include <filesystem>

namespace arv {

namespace {

const char* const kOpenFilter = "Файлы схем вентиляции (*.grh)|*.grh|Файлы Tresk (*.MINE)|*.MINE";
constexpr int32_t kRed = 255;

std::string AbsoluteName(const std::string& name) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(NativePath(name), ec);
    return ec ? name : FromNativePath(p.lexically_normal());
}

TFileDialogRequest OpenDialog1(int filterIndex) {
    TFileDialogRequest request;
    request.defaultExt = "grh";
    request.filter = Ru(kOpenFilter);
    request.filterIndex = filterIndex;
    return request;
}

} // namespace

bool TIDrawWin::TablesModified() const {
    return dataWindow_ && dataWindow_->TablesModified();
}

bool TIDrawWin::AnythingModified() const {
    // The symbol text is the drawing's: typing it marks the drawing.
    return DrawingModified || TablesModified() ||
           (dataWindow_ && dataWindow_->SideTablesModified()) || ReportEditorHost().Modified();
}

bool TIDrawWin::AskSaveChanges() {
    // The open route window asks first, as its own close does: the routes
    // it stores go into the drawing the main question is about.
    if (routes::TRouteWindows* r = routes::RouteWindows(); r && !r->AskSaveRoutes()) return false;
    if (!AnythingModified()) return true;
    const int answer =
        MessageBox(Ru("Сохранить данные?"), "", TMsgButtons::YesNoCancel, TMsgIcon::Warning);
    if (answer == mrNo) return true;
    if (answer != mrYes) return false;
    // The drawing file carries the tables; the initial data and the
    // reverse-mode tables go into the files beside it, which need its name.
    // A save that was cancelled or failed keeps everything and stops the
    // command.
    const bool sideTables = dataWindow_ && dataWindow_->SideTablesModified();
    auto drawingUnsaved = [&] {
        return DrawingModified || TablesModified() || (sideTables && Untitled());
    };
    if (drawingUnsaved()) {
        Save1Click();
        if (drawingUnsaved()) return false;
    }
    if (sideTables) {
        const std::string& named = dataWindow_->CurrentDataFile();
        if (!dataWindow_->SaveSideTables(named.empty() ? ChangeFileExt(currentFileName_, ".dan")
                                                       : named))
            return false;
    }
    if (ReportEditorHost().Modified() && !ReportEditorHost().SaveReport()) return false;
    return !AnythingModified();
}

bool TIDrawWin::FormCloseQuery() {
    // The fan and device libraries are the program's, not the drawing's:
    // asked about at its end only.
    if (!AskSaveLibraries()) return false;
    return AskSaveChanges();
}

bool TIDrawWin::ReplaceDrawing(const std::function<bool()>& load) {
    if (!AskSaveChanges()) return false;
    if (!load()) {
        Repaint();
        return false;
    }
    ResetCompanions();
    return true;
}

void TIDrawWin::CloseDrawingCompanions() {
    if (routes::TRouteWindows* r = routes::RouteWindows()) r->DrawingClosed();
    // The task results belong to the mine they were calculated for: no fire
    // picture, route or mark of it on the next drawing, and no route is
    // built there on its calculation arrays until a task runs there.
    EmergencyMode = 0;
    FireBranchNumber = 0;
    FireBranchName.clear();
    CurrentPlaPosition = 0;
    BranchMarkColour = kRed;
    ForceFlowDisplay = false;
    // Nor does a task run on a branch of the drawing before.
    CurrentBranchNumber = 0;
    CurrentBranchName.clear();
    CurrentBranchPlaPosition = 0;
    PhotoFileName.clear();
    TWindowState& ws = WindowState();
    ws.FireVetvi = ws.OpVetvi = false;
    ws.ShowRoute = 0;
    ws.RouteBranches.clear();
    if (dataWindow_) {
        TCalcContext& c = dataWindow_->CalcContext();
        std::fill(c.SmokedBranchMark.begin(), c.SmokedBranchMark.end(), 0);
        std::fill(c.ReversedBranchMark.begin(), c.ReversedBranchMark.end(), 0);
    }
    if (!TaskPanelText.empty() && PanelSost == TaskPanelText)
        PanelSost = SchemeKindNames()[std::clamp(DrawingGlobals().SchemeKind, 0, kSchemeCount - 1)];
    TaskPanelText.clear();
    PanelSostColour = 0;
    PublishTaskState();
}

void TIDrawWin::ResetCompanions() {
    CloseDrawingCompanions();
    // The task branch is the one the new plan shows as current, if any.
    NoteCurrentBranch();
    // A tool in progress holds points and figures of the drawing before.
    SetToolMode(1);
    // A drawing without symbols of its own uses the program's library, as
    // at start-up, not the symbols the drawing before carried.
    if (DrawingGlobals().SymbolLibraryText.empty()) {
        LoadSymbolLibrary(doc_->symbols, ProgramDirPath);
        doc_->ResolveSymbols();
    }
    SymbolEditor.DrawingLoaded();
    if (dataWindow_) {
        dataWindow_->ClearModified();
        // The data go by the drawing's name; a drawing without a file has
        // none, so that a save asks for one.
        const bool untitled = currentFileName_ == ProgramDirPath + "untitled.grh";
        dataWindow_->NameDataSet(untitled ? "" : ChangeFileExt(currentFileName_, ".dan"));
        dataWindow_->DataSetReplaced();
    }
    IndexCalcDataGrids();
    // The report was asked about: it starts empty under the data's name.
    ReportEditorHost().DrawingReplaced();
    ShowCaption();
    Repaint();
}

void TIDrawWin::ClearDataWindow() {
    ClearDataWindow(TNewPurpose::BeforeLoad);
}

void TIDrawWin::ClearDataWindow(TNewPurpose purpose) {
    if (dataWindow_) dataWindow_->Dan_NewAsked(purpose);
}

// Parses the drawing's network data text into the tables, or reads the data
// file of the same name when the drawing carries none; then the reverse-mode
// data of that name.
void TIDrawWin::ParseDrawingData() {
    if (!dataWindow_) return;
    TCalcContext& c = dataWindow_->CalcContext();
    TNetworkTables& t = dataWindow_->Tables();
    const std::string dataFile = ChangeFileExt(currentFileName_, ".dan");
    if (!c.NetworkDataText.empty())
        ParseNetworkDataText(c.NetworkDataText, t, c);
    else if (FileExists(dataFile))
        LoadNetworkData(dataFile, t, c);
    const std::string rev = ChangeFileExt(dataFile, ".rev");
    if (FileExists(rev)) LoadReverseData(rev, t);
}

bool TIDrawWin::LoadDrawingWithData(const std::string& fileName) {
    // A drawing that cannot be read leaves the drawing and its tables shown.
    if (!LoadDrawing(fileName)) return false;
    ClearDataWindow();
    ParseDrawingData();
    return true;
}

void TIDrawWin::NewDrawing() {
    NewDrawing(TNewPurpose::BeforeLoad);
}

void TIDrawWin::NewDrawing(TNewPurpose purpose) {
    ClearDataWindow(purpose);
    currentFileName_ = ProgramDirPath + "untitled.grh";
    nameHoldsDrawing_ = false;
    ShowCaption();
    MArrowQ = MQData = MsxPLA = MDAVL = false;
    TGCollFigure& doc = *doc_;
    doc.Clear();
    doc.current = -1;
    doc.scale = -std::abs(doc.scale);
    doc.nodes.BuildIncidence();
    FitDefaultView();
    TDrawingGlobals& g = DrawingGlobals();
    g.SchemeKind = 0;
    g.DefaultBranchStyle = 1;
    g.DefLineColor = 0;
    g.WidthDefault = 1;
    g.BranchPenWidth = 1;
    // The drawing's own scheme records and symbols, not the last drawing's:
    // results and labels start hidden.
    g.SchemeViewFlags = TDrawingGlobals{}.SchemeViewFlags;
    g.SchemeViewFlags[0].layers[0] = 1;
    g.SymbolLibraryText.clear();
    DrawingModified = false;
    // Scheme 0 with its menu checked and its record in force.
    SchemeClick(0);
}

void TIDrawWin::New1Click() {
    ReplaceDrawing([this] {
        NewDrawing(TNewPurpose::UserNew);
        return true;
    });
}

void TIDrawWin::Open1Click() {
    TFileDialogRequest request = OpenDialog1(1);
    if (!OpenFileDialog(request)) return;
    if (request.filterIndex == 2) {
        ImportMine(request.fileName);
        return;
    }
    const std::string name = AbsoluteName(request.fileName);
    ReplaceDrawing([&] { return LoadDrawingWithData(name); });
}

void TIDrawWin::Imp_Tresk1Click() {
    TFileDialogRequest request = OpenDialog1(2);
    if (!OpenFileDialog(request)) return;
    ImportMine(request.fileName);
}

void TIDrawWin::ImportMine(const std::string& mineFileName) {
    if (!dataWindow_) return;
    ReplaceDrawing([&] {
        // Converted and read aside before anything goes: a file the
        // converter refuses, or a text that cannot be read, leaves the
        // drawing shown and its data whole.
        if (!ConvertMineFile(mineFileName, RunConverter) || !ConvertedMineFileReads()) return false;
        NewDrawing();
        ReadConvertedMineFile(mineFileName, dataWindow_->Tables(), dataWindow_->CalcContext(),
                              *this);
        return true;
    });
}

void TIDrawWin::OpenBookmarkClick(int tag) {
    if (tag < 1 || tag > static_cast<int>(Settings.Bookmarks.size())) return;
    const std::string path = Settings.Bookmarks[tag - 1].Path;
    ReplaceDrawing([&] { return LoadDrawingWithData(path); });
}

} // namespace arv
