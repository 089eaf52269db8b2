// The service commands of the plan: reversing and resetting branches, the
// searches, halving the coordinates, the PLA document and the photo of the
// selected object, and the buttons that open other windows.
#include "app/DrawWin.h"

#include "calc/model/ModGrid.h"
#include "calc/window/DataWindowController.h"
#include "calc/window/NotAvailable.h"
#include "document/Branch.h"
#include "document/Constants.h"
#include "document/TextFigures.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/Help.h"
#include "platform/Jpeg.h"
#include "platform/NumberFormat.h"
#include "platform/NumberParse.h"
#include "platform/Process.h"
#include "platform/Services.h"

#include <cmath>

namespace arv {

namespace {

void ErrorBox(const std::string& text) {
    MessageBox(text, "", TMsgButtons::Ok, TMsgIcon::Error);
}

// A folder name without its trailing separators.
std::string FolderOf(std::string folder) {
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    return folder;
}

// The file in the folder, else one whose name differs only in letter case.
std::string ExistingFile(const std::string& folder, const std::string& name) {
    const std::string path = folder + "/" + name;
    if (FileExists(path)) return path;
    return FindFileNoCase(folder + "/", name);
}

} // namespace

void TIDrawWin::MRotateBrClick() {
    TGCustomFigure* f = doc_->CurrentFigure();
    if (!f || !f->IsBranch()) return;
    auto* b = static_cast<TGBranch*>(f);
    // The figure's own reverse turns its points, ends and direction mark
    // together; nothing below turns them a second time.
    b->SetReversed(b->reversed == 0);
    doc_->DoChange();
    const bool tablesToo = MessageBox(Ru("Изменить ориентацию ветви в расчетных данных?"), "",
                                      TMsgButtons::YesNo, TMsgIcon::Warning) == mrYes;
    // The row's flow keeps its sign until the next calculation while the
    // figure and its row now run the other way: the mark turns, so that the
    // arrow keeps pointing with the air.
    if (tablesToo) b->flowReversed = b->flowReversed == 1 ? 0 : 1;
    if (tablesToo && branchGrid_) {
        for (const TCalcBranchIndexEntry& e : WindowState().CalcBranchIndex) {
            if (e.number != b->number || e.row < branchGrid_->FixedRows() ||
                e.row >= branchGrid_->RowCount())
                continue;
            const std::string from = branchGrid_->Cells(1, e.row);
            branchGrid_->SetCells(1, e.row, branchGrid_->Cells(2, e.row));
            branchGrid_->SetCells(2, e.row, from);
            branchGrid_->Modified = true;
            break;
        }
    }
    if (b->kind == kKindPolyLine) static_cast<TGPolyLine*>(b)->UpdateBounds();
    DrawingModified = true;
    IndexCalcDataGrids();
    CheckSchemeAgainstCalcData();
    RefreshPropertyPanel();
    Repaint();
}

void TIDrawWin::ResetCommandDone() {
    DrawingModified = true;
    RefreshPropertyPanel();
    Repaint();
}

void TIDrawWin::MResteNBrClick() {
    doc_->ResetBranchNumber();
    ResetCommandDone();
}

void TIDrawWin::MResetNENdClick() {
    doc_->ResetBranchNodes();
    ResetCommandDone();
}

void TIDrawWin::MResetBranchClick() {
    doc_->ResetBranchShape();
    ResetCommandDone();
}

void TIDrawWin::MResetBranchAllClick() {
    for (int32_t i = 0; i < doc_->Count(); ++i) {
        doc_->current = i;
        doc_->DoChange();
        doc_->ResetBranchShape();
    }
    ResetCommandDone();
}

void TIDrawWin::CentreOnCurrentFigure() {
    TGCustomFigure* f = doc_->CurrentFigure();
    if (!f) return;
    TGCollFigure& doc = *doc_;
    const double scale = std::abs(doc.scale);
    if (scale <= 0) return;
    const int32_t hw = RoundI((PaintWidth / 2) / scale);
    const int32_t hh = RoundI((PaintHeight / 2) / scale);
    const int64_t x = f->x1, y = f->y1;
    doc.SetViewRect({ClampI(x - hw), ClampI(y + hh), ClampI(x + hw), ClampI(y - hh)});
    ViewChanged = true;
}

void TIDrawWin::NBrnSearchClick() {
    std::string answer = "0";
    if (!InputQuery(Ru("Поиск ветви"), Ru("Введите номер ветви"), answer) || Trim(answer).empty())
        return;
    int number = 0;
    if (!TryStrToInt(answer, number)) {
        ErrorBox(Ru("Номер задан неверно"));
        return;
    }
    if (!doc_->HasBranchNumber(number)) {
        ErrorBox(Ru("Ветвь c номером ") + answer + Ru(" не найдена"));
        return;
    }
    RefreshPropertyPanel();
    CentreOnCurrentFigure();
    Repaint();
}

void TIDrawWin::NNodeSearchClick() {
    doc_->display.foundNodeHighlight = 0;
    std::string answer = "0";
    if (!InputQuery(Ru("Поиск узла"), Ru("Введите номер узла"), answer)) {
        Repaint();
        return;
    }
    int number = 0;
    if (!TryStrToInt(answer, number)) {
        ErrorBox(Ru("Номер задан неверно"));
    } else if (doc_->HasNodeNumber(number)) {
        doc_->display.foundNodeHighlight = 1;
        ViewChanged = true;
    } else {
        ErrorBox(Ru("Узел c номером ") + answer + Ru(" не найден"));
    }
    Repaint();
}

void TIDrawWin::NPlaSearchClick() {
    std::string answer = "0";
    if (!InputQuery(Ru("Поиск позиции ПЛА"), Ru("Введите номер позиции ПЛА"), answer) ||
        Trim(answer).empty() || answer == "0")
        return;
    int position = 0;
    if (!TryStrToInt(answer, position)) {
        ErrorBox(Ru("Номер позиции задан неверно"));
        return;
    }
    // Positions count from 1: branches without one carry -1 or 0.
    int32_t found = -1;
    for (int32_t i = 0; position >= 1 && i < doc_->Count() && found < 0; ++i) {
        const TGBranch* b = doc_->BranchAt(i);
        if (b && b->Caption(3).b == position && b->Caption(3).shown) found = i;
    }
    if (found < 0) {
        ErrorBox(Ru("Позиция ПЛА не найдена"));
        Repaint();
        return;
    }
    doc_->current = found;
    doc_->DoChange();
    RefreshPropertyPanel();
    CentreOnCurrentFigure();
    Repaint();
}

void TIDrawWin::ChangeScaleClick() {
    doc_->ChangeScale();
    PurgeUnreferencedNodes();
    LinkBranchesToCalcData();
    DrawingModified = true;
    Repaint();
}

std::pair<std::string, std::string> TIDrawWin::PlaDocumentNames(int32_t position,
                                                                const std::array<bool, 6>& kinds) {
    const std::string t = IntToStr(position);
    int only = -1;
    for (int k = 0; k < 6; ++k)
        if (kinds[k]) only = only == -1 ? k : -2;
    // The kind's letter is the first character of its name (a blank for fire).
    std::string first = t + ".doc";
    if (only >= 0) first = t + AccidentKindNames()[only].substr(0, 1) + ".doc";
    return {first, t + ".doc"};
}

void TIDrawWin::BPlaClick() {
    TGCustomFigure* f = doc_->CurrentFigure();
    if (!f || !f->IsBranch()) return;
    const auto* b = static_cast<const TGBranch*>(f);
    const int32_t position = b->Caption(3).a;
    if (position < 1) return;
    const std::string t = IntToStr(position);
    std::array<bool, 6> kinds{};
    std::vector<std::string> entries;
    for (int k = 0; k < 6; ++k) {
        kinds[k] = b->marks[k].flag != 0;
        if (kinds[k]) entries.push_back(t + AccidentKindNames()[k]);
    }
    if (entries.size() > 1) {
        if (ShowPlaList)
            ShowPlaList(entries);
        else
            ShowNotAvailable(Ru("Список позиций ПЛА"));
        return;
    }
    const auto [name, fallback] = PlaDocumentNames(position, kinds);
    const std::string folder = PlaDocumentFolder();
    std::string path = ExistingFile(folder, name);
    std::string opened = name;
    if (path.empty()) {
        path = ExistingFile(folder, fallback);
        opened = fallback;
    }
    if (path.empty()) {
        ShowMessage(Ru("Файл ") + folder + "/" + name +
                    Ru(" не найден. Проверьте путь и наличие файла. Проверьте соответствие имени "
                       "файла и вида аварии."));
        return;
    }
    if (!OpenWithDefaultProgram(path))
        ErrorBox(Ru("Проверьте наличие WinWord или файла ") + opened);
}

std::string TIDrawWin::PlaDocumentFolder() const {
    // Program-folder files are named without regard to letter case.
    if (Settings.PLAPath || WindowState().PlaFolder.empty()) return FolderOf(ProgramFile("pla"));
    return FolderOf(WindowState().PlaFolder);
}

std::string TIDrawWin::PhotoFileFolder() const {
    // The folder the options page shows: the program folder's "Foto" while
    // the default is ticked, whatever folder the drawing was made with.
    if (Settings.FotoPath || WindowState().PhotoFolder.empty())
        return FolderOf(ProgramFile("Foto"));
    return FolderOf(WindowState().PhotoFolder);
}

int TIDrawWin::PictureLayout(double ratio) {
    int layout = ratio < 0.5 ? 3 : 2;
    if (ratio > 0.9) layout = 1;
    if (ratio >= 2.0) layout = 0;
    return layout;
}

void TIDrawWin::ToolButtonImageClick() {
    TGCustomFigure* f = doc_->CurrentFigure();
    if (!f) return;
    PhotoFileName = f->image;
    if (Trim(PhotoFileName).empty()) {
        ShowMessage(Ru("Не задано изображение"));
        return;
    }
    const std::string folder = PhotoFileFolder();
    const std::string path = folder + "/" + PhotoFileName;
    std::string found = ExistingFile(folder, PhotoFileName);
    // A drawing whose photos lie in the folder it keeps shows them with the
    // options' folder ticked by default too.
    if (found.empty() && !WindowState().PhotoFolder.empty())
        found = ExistingFile(FolderOf(WindowState().PhotoFolder), PhotoFileName);
    if (found.empty()) {
        ShowMessage(Ru("Не найден файл ") + path);
        return;
    }
    TPictureRequest request;
    const size_t dot = found.rfind('.');
    const std::string ext = dot == std::string::npos ? std::string() : found.substr(dot);
    const bool read = ext == ".jpg" || ext == ".JPG" ? LoadJpegFile(found, 1, request.Picture)
                                                     : LoadBitmapFile(found, request.Picture);
    if (!read || request.Picture.Empty()) {
        ErrorBox(Ru("Не удалось прочитать файл ") + found);
        return;
    }
    request.Layout =
        PictureLayout(static_cast<double>(request.Picture.Width) / request.Picture.Height);
    request.Caption = PhotoFileName;
    request.Path = found;
    if (!ShowPictureViewer)
        ShowNotAvailable(Ru("Вывод картинки выделенного объекта"));
    else if (!ShowPictureViewer(request))
        ErrorBox(Ru("Не удалось прочитать файл ") + found);
}

void TIDrawWin::ToolButtonClBrdClick() {
    if (CopyPlanToClipboard) CopyPlanToClipboard();
}

void TIDrawWin::GenButtonClick() {
    if (ShowDataWindow) ShowDataWindow();
}

void TIDrawWin::ToolButtonNavigatorClick() {
    if (ShowNavigator)
        ShowNavigator();
    else
        ShowNotAvailable(Ru("Обзор"));
}

void TIDrawWin::MContHelpClick() {
    ShowHelpPage(kHelpContentsPage);
}

void TIDrawWin::TBAddBaseClick() {
    NoteCurrentBranch();
}

void TIDrawWin::TBZamStClick() {
    TGCustomFigure* f = doc_->CurrentFigure();
    if (!f || f->kind != kKindPicture) return;
    const auto* p = static_cast<const TGPicture*>(f);
    const auto& kinds = DeviceKindNames();
    const int kind = p->value2 >= 0 && p->value2 < static_cast<int>(kinds.size()) ? p->value2 : 0;
    ShowMessage(Ru("Картинка ") + IntToStr(p->value1) + " " + kinds[static_cast<size_t>(kind)]);
}

} // namespace arv
