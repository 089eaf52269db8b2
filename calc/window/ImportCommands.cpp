// The data window's imports of older data, the fan library import and the
// fan chart of a fan table row.
#include "calc/window/DataWindowController.h"

#include "calc/files/OldImports.h"
#include "calc/window/FanChart.h"
#include "calc/window/LibraryWindows.h"
#include "calc/window/OrnalImport.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"

namespace arv {

namespace {

bool AskFile(const char* filterUtf8, std::string& fileName) {
    TFileDialogRequest request;
    request.filter = Ru(filterUtf8);
    if (!OpenFileDialog(request)) return false;
    fileName = request.fileName;
    return true;
}

void ShowImportWarnings(const TImportResult& result) {
    if (result.Status == TImportStatus::Damaged)
        MessageBox(result.Error, "", TMsgButtons::Ok, TMsgIcon::Error);
    for (const std::string& w : result.Warnings)
        MessageBox(w, "", TMsgButtons::Cancel, TMsgIcon::Information);
}

void RemindSurfaceNodes() {
    MessageBox(Ru("Не забудьте исправить номера узлов поверхности. Входы и выходы должны иметь "
                  "разные номера"),
               "", TMsgButtons::Ok, TMsgIcon::Information);
}

} // namespace

void TDataWindowController::TakeImportedFileName(const std::string& fileName) {
    CurrentDataFile() = ChangeFileExt(fileName, ".dan");
    Caption =
        Ru("Распределение воздуха         Тальвер        ") + ExtractFileName(CurrentDataFile());
    DataSetReplaced();
}

void TDataWindowController::ImpIdClick() {
    TCommand command(*this);
    if (!AskSaveData(false)) return;
    std::string name;
    if (!AskFile("Данные ДОС|*.ids", name)) return;
    TImportResult result = ImportDosFiles(name, t_, c_.CalcOptions);
    ShowImportWarnings(result);
    if (result.Status != TImportStatus::Damaged) TakeImportedFileName(name);
}

void TDataWindowController::Serv_ImpClick() {
    TCommand command(*this);
    if (!AskSaveData()) return;
    std::string name;
    if (!AskFile("Данные Тровел *.dat|*.dat", name)) return;
    TImportResult result = ImportTrovelDatFile(name, t_);
    ShowImportWarnings(result);
    if (result.Status == TImportStatus::Damaged) return;
    TakeImportedFileName(name);
    RemindSurfaceNodes();
}

void TDataWindowController::Serv_Imp2Click() {
    TCommand command(*this);
    if (!AskSaveData()) return;
    std::string name;
    if (!AskFile("Данные Тровел *.dt|*.dt|Все файлы|*.*", name)) return;
    TImportResult result = ImportTrovelDtFile(name, t_, c_.CalcOptions);
    ShowImportWarnings(result);
    if (result.Status == TImportStatus::Damaged) return;
    TakeImportedFileName(name);
    RemindSurfaceNodes();
}

void TDataWindowController::Serv_ImpOrnalClick() {
    TCommand command(*this);
    // Asked before anything is cleared; a table that cannot be opened
    // clears nothing.
    if (!AskSaveData()) return;
    std::string name;
    if (!AskFile("Файлы dbf|*.dbf", name)) return;
    if (!ImpOrnal().OpenTable(name)) return;
    ClearModified();
    EmptyDataSet(TNewPurpose::BeforeLoad);
    t_.TablDan.ClearRowsFrom(FirstDataRow);
    t_.TablVen.ClearRowsFrom(FirstDataRow);
    t_.UzPov.clear();
    ImpOrnal().Show();
}

void TDataWindowController::ImpBibClick() {
    TFileDialogRequest request;
    if (!OpenFileDialog(request)) return;
    FanLibrary().ImportFile(request.fileName);
}

void TDataWindowController::Serv_GrafClick() {
    TModGrid& fans = shownPage_ == PageReverse ? t_.TablVenRev : t_.TablVen;
    const int row = fans.Row();
    if (row < FirstDataRow) return;
    TFanChartRequest r;
    r.TypeName = fans.Cells(1, row);
    r.BladeAngle = fans.Cells(2, row);
    r.A = fans.Cells(3, row);
    r.B = fans.Cells(4, row);
    r.C = fans.Cells(5, row);
    r.Flow = fans.Cells(6, row);
    r.Depression = fans.Cells(7, row);
    r.FanRow = row;
    r.ReverseTable = shownPage_ == PageReverse;
    r.FlowUnit = c_.CalcOptions.FlowUnit;
    FanChartWindow().ShowChart(r);
}

void TDataWindowController::FollowFanChart() {
    const TFanChartRequest* shown = FanChartWindow().ShownChart();
    if (!shown || shown->FanRow < 0) return;
    const TModGrid& fans = shown->ReverseTable ? t_.TablVenRev : t_.TablVen;
    const int row = shown->FanRow;
    TFanChartRequest now = *shown;
    now.Flow.clear();
    now.Depression.clear();
    now.FlowUnit = c_.CalcOptions.FlowUnit;
    // The point is read only while the row still holds the fan of the curve.
    if (row < fans.RowCount() && fans.Cells(1, row) == shown->TypeName &&
        fans.Cells(2, row) == shown->BladeAngle && fans.Cells(3, row) == shown->A &&
        fans.Cells(4, row) == shown->B && fans.Cells(5, row) == shown->C) {
        now.Flow = fans.Cells(6, row);
        now.Depression = fans.Cells(7, row);
    }
    if (!(now == *shown)) FanChartWindow().UpdateChart(now);
}

} // namespace arv
