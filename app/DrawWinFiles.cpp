// The drawing window's file commands, bookmarks and close question.
#include "app/DrawWin.h"

#include "calc/files/DataFiles.h"
#include "calc/files/NetworkDataText.h"
#include "calc/files/Settings.h"
#include "calc/window/DataWindowController.h"
#include "calc/window/LibraryWindows.h"
#include "calc/window/NotAvailable.h"
#include "document/DrawingFile.h"
#include "document/DrawingGlobals.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/Jpeg.h"
#include "platform/NumberFormat.h"
#include "platform/Process.h"
#include "platform/Services.h"
#include "routes/RouteWindows.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace arv {

namespace {

const char* const kOpenFilter = "Файлы схем вентиляции (*.grh)|*.grh|Файлы Tresk (*.MINE)|*.MINE";
const char* const kSaveFilter = "Файлы схем вентиляции (*.grh)|*.grh|Файлы Tresk (*.MINE)|*.MINE|"
                                "Растровый файл (jpg)|*.jpg|Файл  для вельтории|*.veltor";

std::string AbsoluteName(const std::string& name) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(NativePath(name), ec);
    return ec ? name : FromNativePath(p.lexically_normal());
}

// The files SaveDialog1's filters write, in filter order.
const char* const kSaveExts[] = {"grh", "mine", "jpg", "veltor"};

TFileDialogRequest SaveDialog1(int filterIndex, const std::string& fileName) {
    TFileDialogRequest r;
    r.filter = Ru(kSaveFilter);
    r.filterIndex = filterIndex;
    r.fileName = fileName;
    r.overwritePrompt = true;
    r.filterExts.assign(std::begin(kSaveExts), std::end(kSaveExts));
    r.onFilterChange = TIDrawWin::SaveDialogTypeChange;
    return r;
}

// The dialog asked about the name it returned; a command that writes under
// another name asks about that one, when it exists. True to write.
bool MayWrite(const TFileDialogRequest& r, const std::string& written) {
    if (written == r.fileName || !FileExists(written)) return true;
    return MessageBox(Format(Ru("OK для перезаписи %s"), {written}), "", TMsgButtons::YesNoCancel,
                      TMsgIcon::Question) == mrYes;
}

void ShowError(const std::string& text) {
    MessageBox(text, "", TMsgButtons::Ok, TMsgIcon::Error);
}

// Why a file that exists cannot be read, in the user's words; "" when it can.
std::string UnreadableReason(const std::string& name) {
    if (DirectoryExists(name)) return Ru("это папка, а не файл");
    std::ifstream in(NativePath(name), std::ios::binary);
    if (!in) return std::strerror(errno);
    return {};
}

} // namespace

bool TIDrawWin::TablesModified() const {
    if (!dataWindow_) return false;
    TNetworkTables& t = dataWindow_->Tables();
    return t.TablDan.Modified || t.TablVen.Modified;
}

bool TIDrawWin::AnythingModified() const {
    // The symbol text is the drawing's: typing it marks the drawing.
    return DrawingModified || TablesModified() || ReportEditorHost().Modified();
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
    // The drawing file carries the tables. A save that was cancelled or
    // failed keeps everything and stops the command.
    if (DrawingModified || TablesModified()) {
        Save1Click();
        if (DrawingModified || TablesModified()) return false;
    }
    if (ReportEditorHost().Modified() && !ReportEditorHost().SaveReport()) return false;
    return !AnythingModified();
}

void TIDrawWin::ClearDataWindow() {
    ClearDataWindow(TNewPurpose::BeforeLoad);
}

void TIDrawWin::ClearDataWindow(TNewPurpose purpose) {
    if (dataWindow_) dataWindow_->Dan_NewAsked(purpose);
}

// Parses the drawing's network data text into the tables, or reads the data
// file of the same name when the drawing carries none.
void TIDrawWin::ParseDrawingData() {
    if (!dataWindow_) return;
    TCalcContext& c = dataWindow_->CalcContext();
    TNetworkTables& t = dataWindow_->Tables();
    dataWindow_->CurrentDataFile() = ChangeFileExt(currentFileName_, ".dan");
    if (!c.NetworkDataText.empty())
        ParseNetworkDataText(c.NetworkDataText, t, c);
    else if (FileExists(dataWindow_->CurrentDataFile()))
        LoadNetworkData(dataWindow_->CurrentDataFile(), t, c);
    t.TablDan.Modified = false;
    t.TablVen.Modified = false;
    IndexCalcDataGrids();
    // The report was written for the drawing before (its question came
    // first): it starts anew under this drawing's name.
    ReportEditorHost().DrawingReplaced();
    // The labels read the tables just parsed.
    Repaint();
}

bool TIDrawWin::SaveDrawing(const std::string& fileName) {
    std::string text;
    if (dataWindow_) {
        TCalcContext& c = dataWindow_->CalcContext();
        c.NetworkDataText = BuildNetworkDataText(dataWindow_->Tables(), c);
        text = c.NetworkDataText;
    }
    std::string error;
    bool ok = WriteDrawingFile(*doc_, fileName, text, &error);
    if (!ok) ShowError(Ru("Не удалось записать файл ") + fileName + ": " + error);
    Repaint();
    return ok;
}

bool TIDrawWin::LoadDrawing(const std::string& fileName) {
    if (fileName.empty()) return false;
    TGCollFigure& doc = *doc_;
    bool ok = true;
    std::string* text = dataWindow_ ? &dataWindow_->CalcContext().NetworkDataText : nullptr;
    if (FileExists(fileName) || DirectoryExists(fileName)) {
        std::string reason = UnreadableReason(fileName);
        std::string bytes;
        // The drawing shown keeps its own name in every failure (a damaged
        // file leaves it as it was): a save must not go to a file that was
        // never read.
        if (!reason.empty() || !ReadFileBytes(fileName, bytes)) {
            if (reason.empty()) reason = Ru("ошибка чтения");
            ShowError(Ru("Не удалось прочитать файл ") + fileName + ": " + reason);
            ok = false;
        } else if (doc.LoadFromStream(bytes, text) != 0) {
            ShowError(Ru("Ошибка загрузки документа"));
            ok = false;
        } else {
            currentFileName_ = fileName;
            // The view stays where the user had it when nothing was loaded.
            FitView(doc.GetExtent());
            loadFit_ = {true, doc.scale, doc.centre};
            MPrData = doc.settings.showCalcData != 0;
            DrawingModified = false;
        }
    } else {
        // A drawing that does not exist carries no data: the text of the
        // drawing before must not be parsed as this one's.
        currentFileName_ = fileName;
        if (text) text->clear();
        doc.Clear();
        doc.settings.symbolSize = 100;
        FitDefaultView();
        DrawingModified = false;
    }
    LayerBoxRefilled();
    // The symbol editor shows the loaded drawing's symbols, not the last one's.
    if (ok) SymbolEditor.DrawingLoaded();
    if (ok) CloseDrawingCompanions();
    ShowCaption();
    Repaint();
    return ok;
}

void TIDrawWin::New1Click() {
    if (!AskSaveChanges()) return;
    NewDrawing(TNewPurpose::UserNew);
}

void TIDrawWin::NewDrawing() {
    NewDrawing(TNewPurpose::BeforeLoad);
}

void TIDrawWin::NewDrawing(TNewPurpose purpose) {
    CloseDrawingCompanions();
    ClearDataWindow(purpose);
    // The new drawing has no file yet: a save of its data (the optimal run
    // saves first) asks for a name instead of writing over the last drawing.
    if (dataWindow_) dataWindow_->CurrentDataFile().clear();
    ReportEditorHost().DrawingReplaced();
    currentFileName_ = ProgramDirPath + "untitled.grh";
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
    // The drawing's own scheme records, not the last drawing's: results and
    // labels start hidden.
    g.SchemeViewFlags = TDrawingGlobals{}.SchemeViewFlags;
    g.SchemeViewFlags[0].layers[0] = 1;
    DrawingModified = false;
    // Scheme 0 with its menu checked and its record in force.
    SchemeClick(0);
}

void TIDrawWin::Open1Click() {
    TFileDialogRequest request;
    request.defaultExt = "grh";
    request.filter = Ru(kOpenFilter);
    if (!OpenFileDialog(request)) return;
    // Unsaved work is asked about before anything is replaced.
    if (!AskSaveChanges()) return;
    if (request.filterIndex == 2) {
        NewDrawing();
        DeleteFile(ProgramFile("tresktxt.tresk"));
        if (dataWindow_)
            ImportMineFile(request.fileName, dataWindow_->Tables(), dataWindow_->CalcContext(),
                           *this, RunConverter);
        return;
    }
    // A drawing that cannot be read leaves the drawing and its tables shown.
    if (!LoadDrawing(AbsoluteName(request.fileName))) return;
    ClearDataWindow();
    ParseDrawingData();
}

void TIDrawWin::Imp_Tresk1Click() {
    TFileDialogRequest request;
    request.defaultExt = "grh";
    request.filter = Ru(kOpenFilter);
    request.filterIndex = 2;
    if (!OpenFileDialog(request)) return;
    if (!AskSaveChanges()) return;
    NewDrawing();
    if (dataWindow_)
        ImportMineFile(request.fileName, dataWindow_->Tables(), dataWindow_->CalcContext(), *this,
                       RunConverter);
}

bool TIDrawWin::WarnIfEmpty() {
    PurgeUnreferencedNodes();
    if (doc_->Count() != 0) return false;
    MessageBox(Ru("Документ пуст!!!"), "", TMsgButtons::Ok, TMsgIcon::Warning);
    return true;
}

void TIDrawWin::Save1Click() {
    WarnIfEmpty();
    if (currentFileName_.empty() || currentFileName_ == ProgramDirPath + "untitled.grh") {
        SaveAs1Click();
        return;
    }
    if (SaveDrawing(currentFileName_)) {
        DrawingModified = false;
        if (dataWindow_) {
            dataWindow_->Tables().TablDan.Modified = false;
            dataWindow_->Tables().TablVen.Modified = false;
        }
    }
}

std::string TIDrawWin::SaveDialogTypeChange(const std::string& fileName, int filterIndex) {
    const char* ext = filterIndex == 3 ? ".jpg" : filterIndex == 2 ? ".mine" : nullptr;
    if (!ext) return fileName;
    // The extension is replaced, whatever its length; a name without one
    // gets it.
    return ChangeFileExt(fileName, ext);
}

bool TIDrawWin::SaveAs1Click() {
    WarnIfEmpty();
    TFileDialogRequest request =
        SaveDialog1(1, currentFileName_.empty() ? "" : ChangeFileExt(currentFileName_, ""));
    if (!SaveFileDialog(request)) return false;
    if (request.filterIndex < 1 || request.filterIndex > 4) return false;
    const std::string name =
        ChangeFileExt(request.fileName, std::string(".") + kSaveExts[request.filterIndex - 1]);
    if (!MayWrite(request, name)) return false;
    switch (request.filterIndex) {
    case 2:
        ExportTresk(name);
        return false;
    case 3:
        ExportJpeg(name);
        return false;
    case 4:
        // The Veltor type chosen here writes what "в Вельторию" writes,
        // rather than nothing at all.
        ExportVeltor(name);
        return false;
    default:
        break;
    }
    if (!SaveDrawing(name)) return false;
    currentFileName_ = name;
    ShowCaption();
    DrawingModified = false;
    if (dataWindow_) {
        // The data set follows the drawing's new name.
        dataWindow_->CurrentDataFile() = ChangeFileExt(name, ".dan");
        dataWindow_->Tables().TablDan.Modified = false;
        dataWindow_->Tables().TablVen.Modified = false;
    }
    return true;
}

void TIDrawWin::ExportTresk(const std::string& chosenName) {
    if (!WriteTreskText) {
        ShowNotAvailable(Ru("в Tresk"));
        return;
    }
    const std::string textName = ProgramFile("rvtxt.tresk");
    // A text that was not written completely must not be converted.
    if (!WriteTreskText(textName)) return;
    const std::string mineName = ChangeFileExt(chosenName, ".mine");
    TTextFileWriter bat(ProgramFile("temp.bat"));
    bat.WriteLine("@echo off");
    bat.WriteLine("\"" + ProgramDirPath + "Mervick.exe\" \"" + textName + "\" \"" + mineName +
                  "\"");
    bat.Commit();
    const std::string program = ProgramFile("mervick");
    if (StartDetachedProgram)
        StartDetachedProgram(program, {textName, mineName});
    else
        StartDetached(program, {textName, mineName}, ProgramDirPath);
}

void TIDrawWin::ExportJpeg(const std::string& chosenName) {
    TGCollFigure& doc = *doc_;
    TRect e = doc.GetExtent();
    if (e == TRect{}) return;
    e = {e.left - 100, e.top + 100, e.right + 100, e.bottom - 100};
    const double w = static_cast<double>(e.right) - e.left;
    const double h = static_cast<double>(e.top) - e.bottom;
    int width = RoundI(w * doc.scale), height = RoundI(h * doc.scale);
    // The larger side is bounded: a tall plan must not make a picture of
    // unlimited height either.
    if (std::max(width, height) > 4000) {
        MessageBox(Ru("Рисунок слишком велик. Он будет сохранен с меньшим масштабом."), "",
                   TMsgButtons::Ok, TMsgIcon::Information);
        doc.scale = 3999.0 / std::max(w, h);
        width = RoundI(w * doc.scale);
        height = RoundI(h * doc.scale);
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
    doc.clientWidth = width;
    doc.clientHeight = height;
    doc.SetViewRect(e);
    ExportRendering = true;
    TBitmap32 picture(width, height, ColorRefToArgb(Settings.BackColor));
    if (view_) view_->RenderPlanImage(width, height, picture);
    ExportRendering = false;
    doc.clientWidth = PaintWidth;
    doc.clientHeight = PaintHeight;
    const std::string name = ChangeFileExt(chosenName, ".jpg");
    std::string error;
    if (!SaveJpegFile(picture, name, &error))
        ShowError(Ru("Не удалось записать файл ") + name + ": " + error);
    Repaint();
}

void TIDrawWin::Exp_Tresk1Click() {
    WarnIfEmpty();
    TFileDialogRequest request = SaveDialog1(2, currentFileName_);
    if (!SaveFileDialog(request)) return;
    const std::string name = ChangeFileExt(request.fileName, ".mine");
    if (!MayWrite(request, name)) return;
    ExportTresk(name);
}

void TIDrawWin::Exp_VeltorClick() {
    WarnIfEmpty();
    TFileDialogRequest request = SaveDialog1(4, ChangeFileExt(currentFileName_, ".veltor"));
    if (!SaveFileDialog(request)) return;
    const std::string name = ChangeFileExt(request.fileName, ".veltor");
    if (!MayWrite(request, name)) return;
    ExportVeltor(name);
}

void TIDrawWin::ExportVeltor(const std::string& name) {
    if (!WriteVeltorText) {
        ShowNotAvailable(Ru("в Вельторию"));
        return;
    }
    WriteVeltorText(name);
}

void TIDrawWin::Exit1Click() {
    if (view_) view_->CloseWindow();
}

bool TIDrawWin::FormCloseQuery() {
    // The fan and device libraries are the program's, not the drawing's:
    // asked about at its end only.
    if (!AskSaveLibraries()) return false;
    return AskSaveChanges();
}

void TIDrawWin::FormClose() {
    WriteSettingsFile();
}

void TIDrawWin::WriteSettingsFile() {
    Settings.Grid = VGrid;
    Settings.Name = MNameBr;
    Settings.BranchN = MNumBr;
    Settings.NodeN = MNumNd;
    Settings.LastFile = currentFileName_;
    Settings.DefLineColor = DrawingGlobals().DefLineColor;
    Settings.WidthDefault = DrawingGlobals().WidthDefault;
    Settings.SizeUO = doc_->settings.symbolSize;
    Settings.SizeNodes = doc_->settings.nodeSize;
    Settings.Positiv = doc_->display.showNegative != 0;
    if (!WriteIdrawIni(IdrawIniPath, Settings))
        ShowError(Ru("Не удалось записать файл ") + IdrawIniPath);
}

void TIDrawWin::MAddBookClick() {
    std::string name = currentFileName_;
    if (!view_ || !view_->AskBookmarkName(name)) return;
    Settings.Bookmarks.push_back({name, currentFileName_});
}

std::vector<std::string> TIDrawWin::MBookmarksClick() {
    std::vector<std::string> names;
    for (const TBookmark& b : Settings.Bookmarks) names.push_back(b.Name);
    return names;
}

void TIDrawWin::OpenBookmarkClick(int tag) {
    if (tag < 1 || tag > static_cast<int>(Settings.Bookmarks.size())) return;
    // As Open: unsaved work is asked about before the drawing is replaced.
    if (!AskSaveChanges()) return;
    const std::string path = Settings.Bookmarks[tag - 1].Path;
    if (!LoadDrawing(path)) return;
    if (!dataWindow_) return;
    ClearDataWindow();
    ParseDrawingData();
    TCalcContext& c = dataWindow_->CalcContext();
    dataWindow_->Caption =
        Ru("Arvalen  Тальвер    Расчетные данные              ") + dataWindow_->CurrentDataFile();
    std::string rev = ChangeFileExt(dataWindow_->CurrentDataFile(), ".rev");
    if (FileExists(rev)) LoadReverseData(rev, dataWindow_->Tables());
    (void)c;
    IndexCalcDataGrids();
}

void TIDrawWin::MDelBookClick() {
    if (!view_) return;
    int index = view_->ChooseBookmarkToDelete(MBookmarksClick());
    if (index < 0 || index >= static_cast<int>(Settings.Bookmarks.size())) return;
    Settings.Bookmarks.erase(Settings.Bookmarks.begin() + index);
}

void TIDrawWin::PurgeUnreferencedNodes() {
    TGCollNode& nodes = doc_->nodes;
    for (int32_t i = 0; i < nodes.Count();) {
        if (nodes.Record(i).refCount <= 0)
            nodes.RemoveRecord(i);
        else
            ++i;
    }
}

} // namespace arv
