// The drawing window's file commands that write: save, Save As, the exports; the
// loading of a drawing file, the settings file and the bookmark list.
#include "app/DrawWin.h"

#include "calc/files/NetworkDataText.h"
#include "calc/files/Settings.h"
#include "calc/window/DataWindowController.h"
#include "calc/window/NotAvailable.h"
#include "document/DrawingFile.h"
#include "document/DrawingGlobals.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/Jpeg.h"
#include "platform/NumberFormat.h"
#include "platform/Process.h"
#include "platform/Services.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace arv {

namespace {

const char* const kSaveFilter = "Файлы схем вентиляции (*.grh)|*.grh|Файлы Tresk (*.MINE)|*.MINE|"
                                "Растровый файл (jpg)|*.jpg|Файл  для вельтории|*.veltor";

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

bool TIDrawWin::SaveDrawing(const std::string& fileName) {
    std::string text;
    if (dataWindow_) {
        TCalcContext& c = dataWindow_->CalcContext();
        // A consumer edit not yet taken into the branch table goes with it.
        dataWindow_->Tables().CommitConsumerEdits();
        c.NetworkDataText = BuildNetworkDataText(dataWindow_->Tables(), c);
        text = c.NetworkDataText;
    }
    std::string error;
    bool ok = WriteDrawingFile(*doc_, fileName, text, &error);
    if (!ok) ShowError(Ru("Не удалось записать файл ") + fileName + ": " + error);
    if (ok && fileName == currentFileName_) nameHoldsDrawing_ = true;
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
            nameHoldsDrawing_ = true;
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
        nameHoldsDrawing_ = false;
        if (text) text->clear();
        doc.Clear();
        doc.settings.symbolSize = 100;
        FitDefaultView();
        DrawingModified = false;
    }
    LayerBoxRefilled();
    ShowCaption();
    Repaint();
    return ok;
}

bool TIDrawWin::WarnIfEmpty() {
    PurgeUnreferencedNodes();
    if (doc_->Count() != 0) return false;
    MessageBox(Ru("Документ пуст!!!"), "", TMsgButtons::Ok, TMsgIcon::Warning);
    return true;
}

bool TIDrawWin::Untitled() const {
    return currentFileName_.empty() || currentFileName_ == ProgramDirPath + "untitled.grh";
}

int TIDrawWin::AskReplaceDrawingFile(const std::string& fileName) {
    // An import is named after its mine file: a drawing of that name beside
    // it is another one, replaced only when the user says so.
    if ((fileName == currentFileName_ && nameHoldsDrawing_) || !FileExists(fileName)) return mrYes;
    return MessageBox(Format(Ru("OK для перезаписи %s"), {fileName}), "", TMsgButtons::YesNoCancel,
                      TMsgIcon::Question);
}

void TIDrawWin::Save1Click() {
    WarnIfEmpty();
    if (Untitled()) {
        SaveAs1Click();
        return;
    }
    switch (AskReplaceDrawingFile(currentFileName_)) {
    case mrYes:
        break;
    case mrNo:
        SaveAs1Click();
        return;
    default:
        return;
    }
    if (SaveDrawing(currentFileName_)) {
        DrawingModified = false;
        if (dataWindow_) dataWindow_->TablesSaved();
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
    nameHoldsDrawing_ = true;
    ShowCaption();
    DrawingModified = false;
    if (dataWindow_) {
        // The data set follows the drawing's new name.
        dataWindow_->NameDataSet(ChangeFileExt(name, ".dan"));
        dataWindow_->TablesSaved();
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
    else if (!TIniFile::CanStore(currentFileName_))
        MessageBox(Ru("Имя чертежа содержит перевод строки, и файл настроек ") + IdrawIniPath +
                       Ru(" не может его хранить: при следующем запуске чертеж не откроется."),
                   "", TMsgButtons::Ok, TMsgIcon::Warning);
}

void TIDrawWin::MAddBookClick() {
    std::string name = currentFileName_;
    if (!view_ || !view_->AskBookmarkName(name)) return;
    // The bookmarks live in the settings file, which cannot hold a line end.
    if (!TIniFile::CanStore(name) || !TIniFile::CanStore(currentFileName_)) {
        MessageBox(Ru("Закладка не добавлена: ее название или имя чертежа содержит перевод "
                      "строки, а файл настроек не может его хранить."),
                   "", TMsgButtons::Ok, TMsgIcon::Warning);
        return;
    }
    Settings.Bookmarks.push_back({name, currentFileName_});
}

std::vector<std::string> TIDrawWin::MBookmarksClick() {
    std::vector<std::string> names;
    for (const TBookmark& b : Settings.Bookmarks) names.push_back(b.Name);
    return names;
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
