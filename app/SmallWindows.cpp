#include "app/SmallWindows.h"

#include "document/DrawingGlobals.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Services.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace arv {

// ---- Navigator ----

namespace {

double NavigatorScale(const TRect& e, int clientWidth, int clientHeight) {
    const int64_t w = static_cast<int64_t>(e.right) - e.left;
    const int64_t h = static_cast<int64_t>(e.top) - e.bottom;
    // An empty drawing has no size to show.
    if (w <= 0 || h <= 0 || clientWidth <= 0 || clientHeight <= 0) return 0;
    return std::min(clientHeight / static_cast<double>(h), clientWidth / static_cast<double>(w));
}

} // namespace

bool NavigatorActivate(TNavigatorState& nav, const TRect& extent, const TRect& v, int clientWidth,
                       int clientHeight) {
    nav.Extent = extent;
    nav.Scale = NavigatorScale(extent, clientWidth, clientHeight);
    nav.Frame = {};
    if (!nav.Valid()) return false;
    const double s = nav.Scale;
    TRect& f = nav.Frame;
    f.left = std::max(0, std::abs(RoundI((static_cast<double>(v.left) - extent.left) * s)));
    f.right =
        ClampI(static_cast<int64_t>(f.left) + RoundI((static_cast<double>(v.right) - v.left) * s));
    f.top = std::abs(RoundI((static_cast<double>(v.top) - extent.top) * s));
    f.bottom =
        ClampI(static_cast<int64_t>(f.top) + RoundI((static_cast<double>(v.top) - v.bottom) * s));
    return true;
}

bool NavigatorClick(TNavigatorState& nav, int x, int y, int clientWidth, int clientHeight,
                    TRect& mainView) {
    if (!nav.Valid()) return false;
    TRect& f = nav.Frame;
    const int32_t hw = RoundI((static_cast<double>(f.right) - f.left) / 2.0);
    const int32_t hh = RoundI((static_cast<double>(f.bottom) - f.top) / 2.0);
    f = {x - hw, y - hh, x + hw, y + hh};
    nav.Scale = NavigatorScale(nav.Extent, clientWidth, clientHeight);
    if (!nav.Valid()) return false;
    const double s = nav.Scale;
    const TRect& e = nav.Extent;
    TRect m;
    m.left = ClampI(e.left + static_cast<int64_t>(RoundI(f.left / s)));
    m.right = ClampI(m.left + static_cast<int64_t>(RoundI((f.right - f.left) / s)));
    m.bottom = ClampI(e.top - static_cast<int64_t>(RoundI(f.bottom / s)));
    m.top = ClampI(m.bottom + static_cast<int64_t>(RoundI((f.bottom - f.top) / s)));
    mainView = m;
    return true;
}

// ---- Picture viewer ----

bool IsJpegName(const std::string& name) {
    const std::string ext = ExtractFileExt(name);
    return ext == ".jpg" || ext == ".JPG";
}

TViewerClient ViewerClient(int layout, int pictureW, int pictureH, int panelH, int maxW, int maxH,
                           int bar) {
    TViewerClient c;
    c.horizontalBar = layout == 0;
    c.verticalBar = layout == 3;
    // A bar that comes takes room from the other direction: look twice.
    for (int pass = 0; pass < 2; ++pass) {
        if (pictureW + (c.verticalBar ? bar : 0) > maxW) c.horizontalBar = true;
        if (panelH + pictureH + (c.horizontalBar ? bar : 0) > maxH) c.verticalBar = true;
    }
    c.width = std::max(1, std::min(maxW, pictureW + (c.verticalBar ? bar : 0)));
    c.height = std::max(1, std::min(maxH, panelH + pictureH + (c.horizontalBar ? bar : 0)));
    return c;
}

bool TPictureViewerState::IsJpeg() const {
    return IsJpegName(PhotoFileName);
}

std::string TPictureViewerState::PicturePath() const {
    if (PhotoFolder.empty()) return PhotoFileName;
    return IncludeTrailingPathDelimiter(PhotoFolder) + PhotoFileName;
}

void TPictureViewerState::SyncButtons() {
    BitBtn1Enabled = PictureScaleStep > 0;
    BitBtn2Enabled = PictureScaleStep < 3;
}

void TPictureViewerState::BitBtn1Click() {
    if (IsJpeg()) {
        if (PictureScaleStep > 0) --PictureScaleStep;
        SyncButtons();
        return;
    }
    if (WindowHeight < ScreenHeight) WindowHeight = RoundI(WindowHeight * 1.2);
}

void TPictureViewerState::BitBtn2Click() {
    if (IsJpeg()) {
        if (PictureScaleStep < 3) ++PictureScaleStep;
        SyncButtons();
        return;
    }
    // Smaller while some picture is left below the buttons (the window
    // used to shrink only when it was taller than the screen, so the button
    // did nothing for an ordinary picture).
    const int lower = RoundI(WindowHeight / 1.2);
    if (lower > PanelHeight + 16) WindowHeight = lower;
}

// ---- Symbol editor ----

namespace {

const char* kSymbolFilter = "Условные обозначения|*.uo";

} // namespace

std::string TSymbolEditorState::Text() const {
    std::string text;
    for (size_t i = 0; i < Lines.size(); ++i) {
        if (i) text += "\r\n";
        text += Lines[i];
    }
    return text;
}

void TSymbolEditorState::SetText(const std::string& text) {
    Lines = SplitLines(text);
}

void TSymbolEditorState::FormCreate() {
    SetText(DrawingGlobals().SymbolLibraryText);
    Created = true;
}

void TSymbolEditorState::DrawingLoaded() {
    if (!Created) return;
    SetText(DrawingGlobals().SymbolLibraryText);
    // The text is the drawing's now, not the file's last loaded or saved:
    // "Сохранить" asks for a name instead of writing over that file.
    SymbolFileName.clear();
    Caption.clear();
    if (LinesReplaced) LinesReplaced();
}

void TSymbolEditorState::ReloadLibrary() {
    if (!Doc) return;
    const std::string text = Text();
    if (text.empty())
        LoadSymbolLibrary(Doc->symbols, ProgramDirPath);
    else
        ParseSymbolText(Doc->symbols, text);
    // The symbols on the plan find their entries by name in the new library.
    Doc->ResolveSymbols();
    if (LibraryChanged) LibraryChanged();
}

void TSymbolEditorState::FUOFileNewClick() {
    Lines.clear();
    SymbolFileName = Ru("Новый.uo");
    Caption = SymbolFileName;
    ReloadLibrary();
}

void TSymbolEditorState::FUOFileOpenClick() {
    TFileDialogRequest request;
    request.filter = Ru(kSymbolFilter);
    if (!OpenFileDialog(request)) return;
    std::string bytes;
    if (!ReadFileBytes(request.fileName, bytes)) {
        MessageBox(Ru("Не удалось прочитать файл ") + request.fileName, "", TMsgButtons::Ok,
                   TMsgIcon::Error);
        return;
    }
    SetText(bytes);
    SymbolFileName = request.fileName;
    Caption = SymbolFileName;
    ReloadLibrary();
}

bool TSymbolEditorState::SaveTo(const std::string& name) {
    // The file's lines end with CR LF, the last one too.
    std::string bytes;
    for (const std::string& l : Lines) bytes += l + "\r\n";
    std::string error;
    if (WriteFileAtomic(name, bytes, &error)) return true;
    MessageBox(Ru("Не удалось записать файл ") + name + ": " + error, "", TMsgButtons::Ok,
               TMsgIcon::Error);
    return false;
}

void TSymbolEditorState::FUOFileSaveClick() {
    if (SymbolFileName.empty()) return FUOFileSaveAsClick();
    SaveTo(SymbolFileName);
}

void TSymbolEditorState::FUOFileSaveAsClick() {
    TFileDialogRequest request;
    request.filter = Ru(kSymbolFilter);
    request.fileName = SymbolFileName;
    request.overwritePrompt = true;
    if (!SaveFileDialog(request)) return;
    if (!SaveTo(request.fileName)) return;
    SymbolFileName = request.fileName;
    Caption = SymbolFileName;
}

// ---- Archive extraction ----

std::string TExtractState::ArchiverPath() const {
    if (!ExtractBaseDir.empty())
        return IncludeTrailingPathDelimiter(ExtractBaseDir) + "Programm/Rar.exe";
    return ProgramFile("Programm/Rar.exe");
}

void TExtractState::BitBtnOkClick() {
    if (EditFile.empty() || !FileExists(EditFile)) return;
    // The data go to the folder given, else to the base folder.
    const std::string target = EditEx.empty() ? ExtractBaseDir : EditEx;
    std::vector<std::string> args{"x", "-o+", EditFile};
    if (!target.empty()) args.push_back(IncludeTrailingPathDelimiter(target));
    const bool started =
        StartProgram ? StartProgram(ArchiverPath(), args) : StartDetached(ArchiverPath(), args);
    // What the archiver then does is not reported, but an archiver that
    // never started must not be reported as a finished load.
    if (!started) {
        MessageBox(Ru("Не удалось запустить ") + ArchiverPath(), "", TMsgButtons::Ok,
                   TMsgIcon::Error);
        return;
    }
    ShowMessage(Ru("Загрузка завершена"));
    Closed = true;
}

} // namespace arv
