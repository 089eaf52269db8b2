#include "calc/window/LibraryWindows.h"

#include "calc/files/Libraries.h"
#include "calc/files/Settings.h"
#include "calc/model/DecimalText.h"
#include "calc/model/NetworkTables.h"
#include "calc/window/DataWindowController.h"
#include "calc/window/FanChart.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "platform/Services.h"

#include <cmath>

namespace arv {

namespace {

void ReadColumnWidthsInto(const TIniFile& ini, std::string_view section, TModGrid& grid) {
    std::vector<int> widths = ReadColumnWidths(ini, section, grid.ColCount());
    for (int c = 0; c < static_cast<int>(widths.size()); ++c) grid.SetColWidths(c, widths[c]);
}

bool CellNumber(const TModGrid& grid, int col, int row, double& v) {
    return TryCellToFloat(grid.Cells(col, row), v) && std::isfinite(v);
}

} // namespace

TLibraryWindowModel::TLibraryWindowModel(std::string gridName) : Grid(std::move(gridName)) {
    // Keys already mark the grid; a text committed otherwise (a paste into
    // the cell editor) marks it too.
    Grid.OnSetEditText = [this](TStringGridModel&, int, int, const std::string&) {
        Grid.Modified = true;
    };
}

void TLibraryWindowModel::Notify() {
    if (Changed) Changed();
}

void TLibraryWindowModel::Show(bool okEnabled) {
    OkEnabled = okEnabled;
    Visible = true;
    // The name column first, whatever the window's size: without it no row
    // can be told from another.
    Grid.SetCurrent(Grid.FixedCols(), Grid.Row());
    Grid.SetLeftCol(Grid.FixedCols());
    Notify();
}

void TLibraryWindowModel::Hide() {
    Visible = false;
    Notify();
}

int TLibraryWindowModel::AskSave() {
    if (!Grid.Modified) return mrNo;
    const int answer = MessageBox(Ru("Сохранить изменения?"), Caption(), TMsgButtons::YesNoCancel,
                                  TMsgIcon::Warning);
    if (answer == mrYes) return SaveBtnClick() ? mrYes : mrCancel;
    return answer == mrNo ? mrNo : mrCancel;
}

void TLibraryWindowModel::CancelBtnClick() {
    const bool modified = Grid.Modified;
    const int answer = AskSave();
    if (answer == mrCancel) return;
    // Declined edits go: the window shows the file again next time.
    if (modified && answer == mrNo) ReadAgain();
    Hide();
}

bool TLibraryWindowModel::AskSaveChanges() {
    return AskSave() != mrCancel;
}

void TLibraryWindowModel::ReadAgain() {
    if (!ReadLibrary()) Grid.ClearRowsFrom(FirstDataRow);
    Grid.Modified = false;
}

bool TLibraryWindowModel::SaveBtnClick() {
    std::string error;
    if (WriteLibraryFile(FileName(), Grid, &error)) {
        Grid.Modified = false;
        return true;
    }
    MessageBox(Ru("Не удалось записать файл ") + FileName() + (error.empty() ? "" : "\r\n" + error),
               "", TMsgButtons::Ok, TMsgIcon::Error);
    return false;
}

bool AskSaveLibraries() {
    return DeviceLibrary().AskSaveChanges() && FanLibrary().AskSaveChanges();
}

std::vector<int> TLibraryHost::ColumnWidths() const {
    std::vector<int> widths;
    for (int c = 0; c < model_.Grid.ColCount(); ++c) widths.push_back(model_.Grid.ColWidths(c));
    return widths;
}

void TLibraryHost::SetGridFont(const TFontSpec& font) {
    model_.Grid.SetFont(font.Name, font.Size);
}

// The device library.

std::string TDeviceLibrary::FileName() const {
    return ProgramFile("RvVU.bib");
}

std::string TDeviceLibrary::Caption() const {
    return Ru("Библиотека вент. устройств");
}

void TDeviceLibrary::FormCreate(const TIniFile& ini, const TModGrid& fontSource) {
    PrepareLibraryGrid(Grid, TLibraryKind::Devices);
    ReadIniFileFBiblVU(ini);
    Grid.SetFont(fontSource.FontName(), fontSource.FontSize());
    ReadBiblVU();
    Grid.Modified = false;
}

void TDeviceLibrary::ReadIniFileFBiblVU(const TIniFile& ini) {
    Place = ReadWindowPlace(ini, "FBiblVU", {50, 50, 200, 200});
    ReadColumnWidthsInto(ini, "TablBiblVU", Grid);
}

bool TDeviceLibrary::ReadBiblVU() {
    return ReadLibraryFile(FileName(), Grid, TLibraryKind::Devices);
}

void TDeviceLibrary::OKBtnClick(TDataWindowController& w) {
    // The branch table of the page in view: the reverse-mode copy there.
    TModGrid& target = w.ActivePage() == PageReverse ? w.Tables().TablDanRev : w.Tables().TablDan;
    const int libRow = Grid.Row();
    const int row = target.Row();
    int source = -1;
    switch (target.Col()) {
    case 4:
    case 8:
        source = 1;
        break;
    case 7:
        source = 2;
        break;
    }
    if (source >= 0 && libRow >= FirstDataRow && row >= FirstDataRow) {
        target.SetCells(target.Col(), row, Grid.Cells(source, libRow));
        target.Modified = true;
    }
    Hide();
}

// The fan library.

std::string TFanLibrary::FileName() const {
    return ProgramFile("rvVent.bib");
}

std::string TFanLibrary::Caption() const {
    return Ru("Библиотека вентиляторов");
}

void TFanLibrary::FormCreate(const TIniFile& ini, const TModGrid& fontSource,
                             TCalcOptions& options) {
    PrepareLibraryGrid(Grid, TLibraryKind::Fans);
    ReadIniFileFBiblVen(ini, options);
    Grid.SetFont(fontSource.FontName(), fontSource.FontSize());
    ReadBiblVen();
    Grid.Modified = false;
}

void TFanLibrary::ReadIniFileFBiblVen(const TIniFile& ini, TCalcOptions& options) {
    std::string points = ini.ReadString("FBiblVen", "KolToch", "3");
    // An empty count keeps the three-point fit.
    options[6] = points.empty() ? '3' : points[0];
    Place = ReadWindowPlace(ini, "FBiblVen", {50, 50, 200, 200});
    ReadColumnWidthsInto(ini, "TablBiblVen", Grid);
}

bool TFanLibrary::ReadBiblVen() {
    return ReadLibraryFile(FileName(), Grid, TLibraryKind::Fans);
}

void TFanLibrary::OKBtnClick(TDataWindowController& w) {
    TModGrid* target = nullptr;
    if (w.ActivePage() == PageFans) target = &w.Tables().TablVen;
    if (w.ActivePage() == PageReverse) target = &w.Tables().TablVenRev;
    if (!target) return;
    FillFanRowFromLibrary(Grid, Grid.Row(), *target, target->Row());
    Hide();
}

void TFanLibrary::RasKoefBtnClick(TCalcOptions& options) {
    const int row = Grid.Row();
    double q1 = 0, h1 = 0, q2 = 0, h2 = 0;
    TFanCurve curve;
    const bool read = row >= FirstDataRow && CellNumber(Grid, 5, row, q1) &&
                      CellNumber(Grid, 6, row, h1) && CellNumber(Grid, 7, row, q2) &&
                      CellNumber(Grid, 8, row, h2);
    if (!read || h1 == h2 || !FitFanCurveTwoPoints(q1, h1, q2, h2, curve)) {
        MessageBox(Ru("Неправильно заданы точки"), "", TMsgButtons::Cancel, TMsgIcon::Information);
        return;
    }
    options[6] = '2';
    Grid.BeginUpdate();
    Grid.SetCells(2, row, FanCoefAText(curve.A));
    Grid.SetCells(3, row, FanCoefBText(curve.B));
    Grid.SetCells(4, row, FanCoefCText(curve.C));
    Grid.Modified = true;
    Grid.EndUpdate();
}

void TFanLibrary::GrafikBtnClick() {
    const int row = Grid.Row();
    if (row < FirstDataRow) return;
    TFanChartRequest r;
    r.TypeName = FanTypeName(Grid, row);
    r.BladeAngle = Grid.Cells(1, row);
    r.A = Grid.Cells(2, row);
    r.B = Grid.Cells(3, row);
    r.C = Grid.Cells(4, row);
    FanChartWindow().ShowChart(r);
}

bool TFanLibrary::ImportFile(const std::string& fileName) {
    std::string error;
    if (!ImportFanLibraryFile(fileName, Grid, &error)) {
        MessageBox(error, "", TMsgButtons::Ok, TMsgIcon::Error);
        return false;
    }
    return SaveBtnClick();
}

TDeviceLibrary& DeviceLibrary() {
    static TDeviceLibrary library;
    return library;
}

TFanLibrary& FanLibrary() {
    static TFanLibrary library;
    return library;
}

} // namespace arv
