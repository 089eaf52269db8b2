// Start-up, activation, close and the file commands of the data window.
#include "calc/window/DataWindowController.h"

#include "calc/files/SchemeImport.h"
#include "platform/Errors.h"

#include "calc/files/DataFiles.h"
#include "calc/files/NetworkDataText.h"
#include "calc/window/NotAvailable.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Services.h"

#include <filesystem>
#include <memory>

namespace arv {

namespace {

std::string FullFileName(const std::string& name) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(NativePath(name), ec);
    return ec ? name : FromNativePath(p.lexically_normal());
}

void ShowWriteFailure(const std::string& fileName) {
    MessageBox(Ru("Не удалось записать файл ") + fileName, "", TMsgButtons::Ok, TMsgIcon::Error);
}

void EmptyReportTexts(TCalcContext& c) {
    c.PressureText.clear();
    c.PressureRowCount = 0;
    c.StabilityText.clear();
    c.StabilityTableText.clear();
    c.FireStabilityText.clear();
    c.DeviceStabilityText.clear();
    c.StabilityRowCount = 0;
    c.DeviceStabilityColCount = 0;
}

} // namespace

bool TActivationTracker::FocusMovedTo(TWindowKind kind) {
    switch (kind) {
    case ThisWindow: {
        bool back = awayInProgram_;
        awayInProgram_ = false;
        return back;
    }
    case ProgramWindow:
        awayInProgram_ = true;
        return false;
    case ModalDialog:
    case Outside:
        return false;
    }
    return false;
}

TDataWindowController::TCommand::~TCommand() {
    if (--w_.commandDepth_ > 0) return;
    w_.SyncPage();
    w_.FollowFanChart();
    // The plan's arrows and labels read what the run wrote, whichever
    // window started it.
    if (w_.calculated_) {
        w_.calculated_ = false;
        DrawingHost().ResultsWritten();
    }
    if (w_.view_) w_.view_->Refresh();
}

TDataWindowController::TDataWindowController(TNetworkTables& t, TCalcContext& c,
                                             TNasDlgModel& nasDlg)
    : Caption(Ru("Arvalen  Тальвер")), t_(t), c_(c), nasDlg_(nasDlg) {
    StartProgram = [](const std::string& program, const std::vector<std::string>& args) {
        return StartDetached(program, args);
    };
    OpenDocument = [](const std::string& document) { return OpenWithDefaultProgram(document); };
    BuildMenus();
    t_.TablDan.OnDblClick = [this](TStringGridModel&) { TablDanDblClick(t_.TablDan); };
    t_.TablDanRev.OnDblClick = [this](TStringGridModel&) { TablDanDblClick(t_.TablDanRev); };
    t_.TablVen.OnDblClick = [this](TStringGridModel&) { TablVenDblClick(); };
    t_.TablVenRev.OnDblClick = [this](TStringGridModel&) { TablVenDblClick(); };
}

TMenuItem* TDataWindowController::FindItem(std::string_view name) {
    for (TMenu& m : menus_)
        for (TMenuItem& i : m.Items)
            if (i.Name == name) return &i;
    return nullptr;
}

TMenu* TDataWindowController::FindMenu(std::string_view name) {
    for (TMenu& m : menus_)
        if (m.Name == name) return &m;
    return nullptr;
}

void TDataWindowController::FormCreate() {
    TCommand command(*this);
    BindToolButtons();
    c_.CalcOptions.SetDefaults();
    if (TMenuItem* save = FindItem("Dan_Save")) save->Enabled = false;

    t_.InitTables();
    ShowPage(PageNetwork);

    LoadSettings(SettingsFileName(), t_, c_.CalcOptions, settings_);
    int danHeight = 2 * t_.TablDan.FontSize();
    t_.TablDan.SetDefaultRowHeight(danHeight);
    t_.TablDavl.SetDefaultRowHeight(2 * t_.TablDavl.FontSize());
    for (TModGrid* g : {&t_.TablVen, &t_.TablDanRev, &t_.TablVenRev})
        g->SetDefaultRowHeight(danHeight);

    // The data set takes the drawing's name; without one it has none yet.
    std::string drawing = DrawingHost().CurrentFileName();
    CurrentDataFile() = drawing.empty() ? "" : ChangeFileExt(drawing, ".dan");
    ReportRtfFileName = drawing.empty() ? "" : ChangeFileExt(drawing, ".rtf");
    EmptyReportTexts(c_);

    if (!c_.NetworkDataText.empty())
        ParseNetworkDataText(c_.NetworkDataText, t_, c_);
    else if (!CurrentDataFile().empty() && FileExists(CurrentDataFile()))
        LoadNetworkData(CurrentDataFile(), t_, c_);

    DrawingHost().SetCalcGrids(&t_.TablDan, &t_.TablDavl);
    DrawingHost().IndexCalcDataGrids();
}

void TDataWindowController::FormActivate() {
    TCommand command(*this);
    std::string surface = DrawingHost().SurfaceNodeText();
    if (!surface.empty()) t_.UzPov = surface;
    if (SchemeBranchNumber > 0) {
        t_.GotoBranchRow(0, SchemeBranchNumber);
        SyncPage();
    }
    std::string type = StringReplaceAll(t_.TablDan.Cells(3, t_.TablDan.Row()), " ", "");
    if (type == Ru("В")) ShowPage(PageFans);
}

void TDataWindowController::FormClose() {
    // Said once: the settings would otherwise be lost without a word (a
    // program folder that cannot be written, say).
    std::vector<std::string> refused;
    if (!SaveSettings(SettingsFileName(), t_, c_.CalcOptions, settings_, nasDlg_, &refused)) {
        ShowWriteFailure(SettingsFileName());
        return;
    }
    // A file name may hold a line end; the file cannot.
    if (refused.empty()) return;
    std::string keys;
    for (const std::string& key : refused) keys += (keys.empty() ? "" : ", ") + key;
    MessageBox(Ru("Значения с переводом строки не записаны в файл настроек ") + SettingsFileName() +
                   ": " + keys,
               "", TMsgButtons::Ok, TMsgIcon::Warning);
}

bool TDataWindowController::TablesModified() const {
    return t_.TablDan.Modified || t_.TablVen.Modified || t_.TablPotr.Modified ||
           t_.TablDavl.Modified;
}

bool TDataWindowController::SideTablesModified() const {
    return t_.TablID.Modified || t_.TablDanRev.Modified || t_.TablVenRev.Modified;
}

bool TDataWindowController::SaveSideTables(const std::string& dataFile) {
    if (!SideTablesModified()) return true;
    if (dataFile.empty()) return false;
    if (t_.TablID.Modified) {
        const std::string name = ChangeFileExt(dataFile, ".id");
        if (!SaveIdTable(name, t_, c_.CalcOptions)) {
            ShowWriteFailure(name);
            return false;
        }
    }
    if (t_.TablDanRev.Modified || t_.TablVenRev.Modified) {
        const std::string name = ChangeFileExt(dataFile, ".rev");
        if (!SaveReverseData(name, t_)) {
            ShowWriteFailure(name);
            return false;
        }
    }
    return true;
}

bool TDataWindowController::AskSaveData(bool cancelStops) {
    if (!DataModified()) return true;
    DialogAnswer =
        MessageBox(Ru("Сохранить данные?"), "", TMsgButtons::YesNoCancel, TMsgIcon::Warning);
    if (DialogAnswer == mrYes) {
        // A save that failed stops the command rather than lose the data;
        // the side files take the name the save gave the data set.
        if ((TablesModified() || CurrentDataFile().empty()) && !Dan_SaveClick()) return false;
        return SaveSideTables(CurrentDataFile());
    }
    return DialogAnswer == mrNo || !cancelStops;
}

void TDataWindowController::TablesSaved() {
    for (TModGrid* g : {&t_.TablDan, &t_.TablVen, &t_.TablPotr, &t_.TablDavl}) g->Modified = false;
}

void TDataWindowController::ClearModified() {
    TablesSaved();
    for (TModGrid* g : {&t_.TablID, &t_.TablDanRev, &t_.TablVenRev}) g->Modified = false;
}

bool TDataWindowController::DataFileReads(const std::string& fileName,
                                          const std::function<bool(const TNetworkTables&)>& check) {
    auto c = std::make_unique<TCalcContext>();
    TNetworkTables t(*c);
    bool read = false;
    {
        // What the lines hold is told by the read in place.
        TQuietThread quiet;
        read = LoadNetworkData(fileName, t, *c);
    }
    if (!read) {
        MessageBox(Ru("Не удалось прочитать файл ") + fileName, "", TMsgButtons::Ok,
                   TMsgIcon::Error);
        return false;
    }
    return !check || check(t);
}

void TDataWindowController::ShowBranchTable(bool showTablDan) {
    t_.TablDan.SetVisible(showTablDan);
    t_.TablID.SetVisible(!showTablDan);
}

void TDataWindowController::EmptyDataSet(TNewPurpose purpose) {
    // Every table of the previous data set, the reverse tables included.
    t_.EmptyAllTables();
    ClearModified();
    for (TModGrid* g : {&t_.TablPotr, &t_.TablDan, &t_.TablVen, &t_.TablDavl}) g->SetFixedRows(2);
    t_.TablID.SetFont(t_.TablDan.FontName(), t_.TablDan.FontSize());
    DrawingHost().SetSurfaceNodeText("");
    t_.UzPov.clear();
    t_.NameSh.clear();
    t_.NameVar.clear();
    t_.NameVarAv.clear();
    // Reports of the previous data set must not be exported with the new one.
    for (TMemo* m : {&t_.MemoPotr, &t_.MemoDav, &t_.MemoUst}) m->Clear();
    EmptyReportTexts(c_);

    char tag = c_.CalcOptions[5];
    if (purpose == TNewPurpose::UserNew && (tag == 'H' || tag == 'R')) {
        t_.BuildTablID(tag);
        ShowBranchTable(false);
    } else {
        ShowBranchTable(true);
    }
}

bool TDataWindowController::Dan_NewClick(TNewPurpose purpose) {
    TCommand command(*this);
    if (!AskSaveData()) return false;
    EmptyDataSet(purpose);
    return true;
}

void TDataWindowController::Dan_NewAsked(TNewPurpose purpose) {
    TCommand command(*this);
    EmptyDataSet(purpose);
}

bool TDataWindowController::Dan_SaveClick() {
    TCommand command(*this);
    if (CurrentDataFile().empty()) return Dan_SaveAsClick();
    if (!DrawingHost().Exists()) {
        ShowNotAvailable(Ru("Сохранить"));
        return false;
    }
    const std::string drawing = ChangeFileExt(CurrentDataFile(), ".grh");
    switch (DrawingHost().AskReplaceDrawingFile(drawing)) {
    case mrYes:
        break;
    case mrNo:
        return Dan_SaveAsClick();
    default:
        return false;
    }
    if (!DrawingHost().SaveDrawing(drawing)) return false;
    TablesSaved();
    return true;
}

void TDataWindowController::CopyTablIDIntoTablDan() {
    TModGrid& id = t_.TablID;
    TModGrid& dan = t_.TablDan;
    dan.BeginUpdate();
    dan.SetRowCount(id.RowCount());
    int resistance = c_.CalcOptions[5] == 'R' ? 3 : 6;
    for (int r = 0; r < id.RowCount(); ++r) {
        for (int col = 0; col < 3; ++col) dan.SetCells(col, r, id.Cells(col, r));
        dan.SetCells(4, r, id.Cells(resistance, r));
    }
    dan.EndUpdate();
}

bool TDataWindowController::Dan_SaveAsClick() {
    TCommand command(*this);
    bool idShown = t_.TablID.Visible();
    // Without the initial data table only the drawing carries the data.
    if (!idShown && !DrawingHost().Exists()) {
        ShowNotAvailable(Ru("Сохранить как..."));
        return false;
    }
    TFileDialogRequest request;
    request.defaultExt = "dan";
    request.filter = Ru("Данные|*.dan|Все|*.*");
    request.overwritePrompt = true;
    request.fileName = CurrentDataFile();
    if (!SaveFileDialog(request)) return false;

    if (idShown) CopyTablIDIntoTablDan();
    NameDataSet(FullFileName(request.fileName));
    if (idShown) {
        std::string idName = ChangeFileExt(CurrentDataFile(), ".id");
        if (!SaveIdTable(idName, t_, c_.CalcOptions)) {
            ShowWriteFailure(idName);
            return false;
        }
        ShowBranchTable(true);
    }
    if (DrawingHost().Exists() &&
        !DrawingHost().SaveDrawing(ChangeFileExt(CurrentDataFile(), ".grh")))
        return false;
    TablesSaved();
    return true;
}

bool TDataWindowController::ReplaceDrawing(const std::function<bool()>& load) {
    // The drawing window asks about everything of its drawing, the data too,
    // and tells when another data set came.
    if (DrawingHost().Exists()) return DrawingHost().ReplaceDrawing(load);
    if (!AskSaveData() || !load()) return false;
    DataSetReplaced();
    return true;
}

void TDataWindowController::DataSetReplaced() {
    t_.SwitchedFlows.clear();
    NasDlgDataSetReplaced(nasDlg_, c_.CalcOptions);
    if (view_) view_->DataSetReplaced();
}

void TDataWindowController::NameDataSet(const std::string& dataFile) {
    TCommand command(*this);
    CurrentDataFile() = dataFile;
    Caption = dataFile.empty()
                  ? Ru("Arvalen  Тальвер")
                  : Ru("Arvalen  Тальвер    Расчетные данные              ") + dataFile;
}

void TDataWindowController::Dan_OpenClick() {
    TCommand command(*this);
    // Chosen first: nothing is asked or emptied for a cancelled dialog.
    TFileDialogRequest request;
    request.filter = Ru("Данные |*.dan");
    if (!OpenFileDialog(request)) return;
    const std::string dataFile = FullFileName(request.fileName);
    const std::string drawing = ChangeFileExt(dataFile, ".grh");
    ReplaceDrawing([&] {
        // The data first, read aside: a file that cannot be read leaves the
        // drawing and the data shown.
        if (!DataFileReads(dataFile)) return false;
        if (!DrawingHost().Exists()) {
            DrawingHost().SetCurrentFileName(drawing);
        } else if (!DrawingHost().LoadDrawing(drawing)) {
            // The damaged drawing was told of; the data come with an empty
            // plan under its name, which a save replaces only when asked.
            if (ISchemeHost* scheme = SchemeHost()) scheme->NewDrawing();
            DrawingHost().SetCurrentFileName(drawing);
        }
        EmptyDataSet(TNewPurpose::BeforeLoad);
        CurrentDataFile() = dataFile;
        LoadNetworkData(dataFile, t_, c_);
        WriteLastDataFileName(SettingsFileName(), dataFile);
        t_.TablDan.SetFixedRows(2);
        t_.TablVen.SetFixedRows(2);
        return true;
    });
}

void TDataWindowController::Tresk1Click() {
    TCommand command(*this);
    TFileDialogRequest request;
    request.filter = Ru("Данные экспорта из Tresk |*.tresk");
    if (!OpenFileDialog(request)) return;
    const std::string name = FullFileName(request.fileName);
    ReplaceDrawing([&] {
        // Read aside first: a file that cannot be read, or whose scheme
        // cannot be drawn, leaves the drawing shown and its data whole.
        auto drawable = [](const TNetworkTables& read) {
            try {
                FillBaseFromDataTables(read);
            } catch (const EConvertError& e) {
                BaseData().Clear();
                MessageBox(e.Message(), "", TMsgButtons::Ok, TMsgIcon::Error);
                return false;
            }
            return BaseDataBuildsAScheme();
        };
        if (!DataFileReads(name, drawable)) return false;
        EmptyDataSet(TNewPurpose::BeforeLoad);
        ISchemeHost* scheme = SchemeHost();
        if (scheme) scheme->NewDrawing();
        LoadNetworkData(name, t_, c_);
        CurrentDataFile() = ChangeFileExt(name, ".dan");
        for (TModGrid* g : {&t_.TablDan, &t_.TablVen, &t_.TablDavl}) g->SetFixedRows(2);
        FillBaseFromDataTables(t_);
        DrawingHost().SetCurrentFileName(ChangeFileExt(CurrentDataFile(), ".grh"));
        if (scheme) scheme->BuildSchemeFromBase();
        BaseData().Clear();
        return true;
    });
}

void TDataWindowController::Dan_OpenIDClick() {
    TCommand command(*this);
    if (!AskSaveData()) return;
    TFileDialogRequest request;
    request.filter = Ru("Начальные данные |*.id");
    if (!OpenFileDialog(request)) return;
    // A file that cannot be read leaves the tables as they are.
    if (!LoadIdsTable(request.fileName, t_, c_.CalcOptions)) return;
    t_.TablDan.ClearRowsFrom(FirstDataRow);
    t_.TablVen.ClearRowsFrom(FirstDataRow);
    ShowBranchTable(false);
    CurrentDataFile().clear();
}

bool TDataWindowController::Dan_SaveRevClick() {
    TCommand command(*this);
    std::string name = CurrentDataFile().empty() ? "" : ChangeFileExt(CurrentDataFile(), ".rev");
    if (CurrentDataFile().empty()) {
        TFileDialogRequest request;
        request.defaultExt = "rev";
        request.filter = Ru("Данные рев.реж.|*.rev|Все|*.*");
        request.overwritePrompt = true;
        request.fileName = name;
        if (!SaveFileDialog(request)) return false;
        CurrentDataFile() = ChangeFileExt(FullFileName(request.fileName), ".dan");
        name = ChangeFileExt(CurrentDataFile(), ".rev");
    }
    if (!SaveReverseData(name, t_)) {
        ShowWriteFailure(name);
        return false;
    }
    return true;
}

void TDataWindowController::Dan_CloseClick() {
    if (view_)
        view_->CloseWindow();
    else
        FormClose();
}

void TDataWindowController::Dan_BiblVenClick() {
    LibraryWindowHost(TLibraryWindow::Fans).ShowLibrary(false);
}

void TDataWindowController::Dan_BiblVUClick() {
    LibraryWindowHost(TLibraryWindow::Devices).ShowLibrary(false);
}

TDataWindowController& DataWindowController() {
    static TDataWindowController window(NetworkTables(), Calc(), NasDlg());
    return window;
}

} // namespace arv
