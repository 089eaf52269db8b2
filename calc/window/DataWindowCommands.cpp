// The data window's table and service commands: pages, double clicks, the
// fixed column, column search, sort, the way to the drawing, outside
// programs and the export checks.
#include "calc/window/DataWindowController.h"

#include "calc/engine/DraughtCalculations.h"
#include "calc/engine/NaturalDistribution.h"
#include "calc/engine/OptimalDistribution.h"
#include "calc/model/DecimalText.h"
#include "calc/model/TableSort.h"
#include "calc/window/DraughtWindows.h"
#include "calc/window/FieldDialog.h"
#include "calc/window/NotAvailable.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/Help.h"
#include "platform/Services.h"

namespace arv {

namespace {

// Desktop calculators, tried in this order.
const char* const kCalculators[] = {"gnome-calculator", "kcalc",         "mate-calc",
                                    "galculator",       "qalculate-gtk", "xcalc"};

void ShowInformation(const char* utf8) {
    MessageBox(Ru(utf8), "", TMsgButtons::Ok, TMsgIcon::Information);
}

} // namespace

int FindInColumn(const TModGrid& grid, int col, int fromRow, std::string_view text) {
    std::string wanted = ToCommaDecimal(text);
    auto matches = [&](int r) { return ToCommaDecimal(grid.Cells(col, r)) == wanted; };
    for (int r = std::max(fromRow + 1, FirstDataRow); r < grid.RowCount(); ++r)
        if (matches(r)) return r;
    for (int r = FirstDataRow; r <= fromRow && r < grid.RowCount(); ++r)
        if (matches(r)) return r;
    return -1;
}

void TDataWindowController::Rasc_ERClick() {
    TCommand command(*this);
    calculated_ = true;
    arv::Rasc_ERClick(t_, c_);
}

void TDataWindowController::Rasc_ORClick() {
    TCommand command(*this);
    calculated_ = true;
    SetScreenCursor(TCursor::HourGlass);
    Dan_SaveClick();
    arv::Rasc_ORClick(t_, c_);
}

void TDataWindowController::Rasc_IRClick() {
    TCommand command(*this);
    calculated_ = true;
    SetScreenCursor(TCursor::HourGlass);
    Dan_SaveClick();
    arv::Rasc_IRClick(t_, c_);
}

void TDataWindowController::Rasc_ETClick() {
    TCommand command(*this);
    calculated_ = true;
    arv::Rasc_ETClick(t_, c_);
}

void TDataWindowController::Rasc_TDClick() {
    TCommand command(*this);
    calculated_ = true;
    arv::Rasc_TDClick(t_, c_);
}

void TDataWindowController::Rasc_SoprClick() {
    TCommand command(*this);
    calculated_ = true;
    arv::Rasc_SoprClick(t_, c_);
}

void TDataWindowController::Rasc_OknoClick() {
    TCommand command(*this);
    arv::Rasc_OknoClick();
}

void TDataWindowController::ShowPage(int page) {
    SyncPage();
    if (page == shownPage_) return;
    LeavePage(shownPage_);
    shownPage_ = t_.ActivePage = page;
}

void TDataWindowController::SyncPage() {
    if (t_.ActivePage == shownPage_) return;
    int page = t_.ActivePage;
    LeavePage(shownPage_);
    shownPage_ = t_.ActivePage = page;
}

void TDataWindowController::LeavePage(int page) {
    // The table of the page takes the focus and loses it to the new page.
    TModGrid* table = nullptr;
    if (page == PageNetwork && t_.TablDan.Visible())
        table = &t_.TablDan;
    else if (page == PageFans)
        table = &t_.TablVen;
    else if (page == PageConsumers)
        table = &t_.TablPotr;
    if (table) table->DoExit();
}

void TDataWindowController::TabbedNotebook1Change(int newPage) {
    TCommand command(*this);
    ShowPage(newPage);
}

TModGrid* TDataWindowController::BranchTableOfPage() {
    if (shownPage_ == PageNetwork) return &t_.TablDan;
    if (shownPage_ == PageReverse) return &t_.TablDanRev;
    return nullptr;
}

void TDataWindowController::TablDanDblClick(TModGrid& grid) {
    TCommand command(*this);
    int col = grid.Col();
    if (col == 3) {
        t_.ShowTypePicker();
        if (view_) view_->FocusTypePicker();
    } else if (col == 4 || col == 7 || col == 8) {
        LibraryWindowHost(TLibraryWindow::Devices).ShowLibrary(true);
    }
    grid.Modified = true;
}

void TDataWindowController::TablVenDblClick() {
    LibraryWindowHost(TLibraryWindow::Fans).ShowLibrary(true);
}

void TDataWindowController::FixColumnClick() {
    int fixed = t_.TablDan.FixedCols() == 0 ? 1 : 0;
    t_.TablDan.SetFixedCols(fixed);
    // The branch number comes back into view when it stops being fixed.
    t_.TablDan.SetLeftCol(fixed);
}

void TDataWindowController::Serv_PoiskClick() {
    TCommand command(*this);
    TModGrid* grid = BranchTableOfPage();
    if (!grid) return;
    int col = grid->Col();
    int from = grid->Row();
    TFDialog1& dialog = FDialog1();
    dialog.Caption = Ru("Поиск");
    dialog.Label2 = Ru("Укажите ") + grid->Cells(col, 0) + " " + grid->Cells(col, 1);
    dialog.Label1.clear();
    dialog.Edit1 = grid->Cells(col, from);
    dialog.Enabled = true;
    while (FieldDialog().ShowModal(dialog) == mrOk) {
        int row = FindInColumn(*grid, col, from, dialog.Edit1);
        if (row >= 0) {
            ScrollRowIntoView(*grid, row);
            grid->SetCurrent(col, row);
            return;
        }
        dialog.Label1 = Ru("Значение не найдено");
    }
}

void TDataWindowController::Serv_SortClick() {
    TCommand command(*this);
    TWaitCursor wait;
    if (TModGrid* grid = BranchTableOfPage()) SortTableRows(*grid);
    if (DrawingHost().Exists()) DrawingHost().LinkBranchesToCalcData();
}

void TDataWindowController::Serv_SxemaClick() {
    TCommand command(*this);
    SchemeBranchNumber = 1;
    int row = t_.TablDan.Row();
    if (row >= FirstDataRow && row < t_.TablDan.RowCount())
        SchemeBranchNumber = CellToIntDef0(t_.TablDan.Cells(0, row));
    IDrawingHost& drawing = DrawingHost();
    if (drawing.Exists()) drawing.CentreOnBranch(SchemeBranchNumber);
    drawing.ShowAndBringToFront();
}

void TDataWindowController::Serv_CalcClick() {
    for (const char* calculator : kCalculators)
        if (StartProgram(calculator, {})) return;
    ShowInformation("Калькулятор не найден");
}

void TDataWindowController::StartOfficeDocument(const char* document, const char* failureUtf8) {
    std::string name = FindFileNoCase(ProgramDir(), document);
    if (name.empty() || !OpenDocument(name)) ShowInformation(failureUtf8);
}

void TDataWindowController::Serv_WordClick() {
    StartOfficeDocument("Vent.doc",
                        "Проверьте наличие WinWord или файла Vent.doc в рабочем каталоге");
}

void TDataWindowController::Serv_ExcelClick() {
    StartOfficeDocument("Vent.xls",
                        "Проверьте наличие Excel или файла Vent.xls в рабочем каталоге");
}

void TDataWindowController::Hlp_HelpClick() {
    ShowHelpPage(kHelpContentsPage);
}

void TDataWindowController::Hlp_AboutClick() {
    if (ShowAboutBox)
        ShowAboutBox();
    else
        ShowNotAvailable(Ru("О программе"));
}

void TDataWindowController::Hlp_WebClick() {
    MessageBox(NoWebPageText(), "", TMsgButtons::Ok, TMsgIcon::Information);
}

void TDataWindowController::OtchClick() {
    ReportEditorHost().ShowEditor();
}

void TDataWindowController::NastrClick() {
    if (view_)
        view_->ShowSettingsDialog();
    else
        NasDlgShow(nasDlg_, c_.CalcOptions);
}

void TDataWindowController::FlowsRewritten() {
    TCommand command(*this);
    // The drawing reads the flows as it reads a run's results.
    calculated_ = true;
}

bool TDataWindowController::HasConsumerRows() const {
    const TModGrid& potr = t_.TablPotr;
    for (int r = FirstDataRow; r < potr.RowCount(); ++r)
        if (!Trim(potr.Cells(0, r)).empty()) return true;
    return false;
}

void TDataWindowController::Export(TOfficeProgram program, TOfficeReport report) {
    TCommand command(*this);
    const char* missing = nullptr;
    switch (report) {
    case TOfficeReport::MainTable:
    case TOfficeReport::Fans:
        break;
    case TOfficeReport::Consumers:
        if (program == TOfficeProgram::Word) ShowPage(PageConsumers);
        if (!HasConsumerRows()) missing = "Нет потребителей";
        break;
    case TOfficeReport::NodePressure:
        if (c_.PressureText.empty()) missing = "Не проведен расчет";
        break;
    case TOfficeReport::BranchStability:
        if (c_.StabilityText.empty()) missing = "Устойчивость не расчитана";
        break;
    case TOfficeReport::DeviceStability:
        if (c_.DeviceStabilityText.empty()) missing = "Устойчивость не расчитана";
        break;
    case TOfficeReport::FireStability:
        if (c_.FireStabilityText.empty()) missing = "Устойчивость не расчитана";
        break;
    }
    if (missing)
        ShowMessage(Ru(missing));
    else
        OfficeExportHost().Export(program, report);
}

void TDataWindowController::WordTableClick() {
    Export(TOfficeProgram::Word, TOfficeReport::MainTable);
}
void TDataWindowController::WordPotrClick() {
    Export(TOfficeProgram::Word, TOfficeReport::Consumers);
}
void TDataWindowController::WordVentClick() {
    Export(TOfficeProgram::Word, TOfficeReport::Fans);
}
void TDataWindowController::WordDavlClick() {
    Export(TOfficeProgram::Word, TOfficeReport::NodePressure);
}
void TDataWindowController::WordUstClick() {
    Export(TOfficeProgram::Word, TOfficeReport::BranchStability);
}
void TDataWindowController::WordUstSxVUClick() {
    Export(TOfficeProgram::Word, TOfficeReport::DeviceStability);
}
void TDataWindowController::WordUstSxPClick() {
    Export(TOfficeProgram::Word, TOfficeReport::FireStability);
}
void TDataWindowController::ExcelTableClick() {
    Export(TOfficeProgram::Excel, TOfficeReport::MainTable);
}
void TDataWindowController::ExcelPotrClick() {
    Export(TOfficeProgram::Excel, TOfficeReport::Consumers);
}
void TDataWindowController::ExcelVentClick() {
    Export(TOfficeProgram::Excel, TOfficeReport::Fans);
}
void TDataWindowController::ExcelDavlClick() {
    Export(TOfficeProgram::Excel, TOfficeReport::NodePressure);
}
void TDataWindowController::ExcelUstClick() {
    Export(TOfficeProgram::Excel, TOfficeReport::BranchStability);
}
void TDataWindowController::ExcelUstVUClick() {
    Export(TOfficeProgram::Excel, TOfficeReport::DeviceStability);
}
void TDataWindowController::ExcelUstPogClick() {
    Export(TOfficeProgram::Excel, TOfficeReport::FireStability);
}

} // namespace arv
