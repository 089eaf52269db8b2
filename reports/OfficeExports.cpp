#include "reports/OfficeExports.h"

#include "reports/ExcelExport.h"
#include "reports/WordExport.h"

#include "calc/window/ProgressWindow.h"
#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Services.h"
#include "platform/office/DocxWriter.h"
#include "platform/office/XlsxWriter.h"

#include <cstdio>

namespace arv {

namespace {

std::tm LocalNow() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return tm;
}

// Empties the clipboard when it leaves scope: the Excel exports leave it
// empty, also after a failure.
class TClipboardEmptier {
public:
    explicit TClipboardEmptier(bool active) : active_(active) {}
    ~TClipboardEmptier() {
        if (active_) Clipboard().Clear();
    }
    TClipboardEmptier(const TClipboardEmptier&) = delete;
    TClipboardEmptier& operator=(const TClipboardEmptier&) = delete;

private:
    bool active_;
};

} // namespace

std::string OfficeExportFolder() {
    return ProgramDir() + "Export/";
}

std::string OfficeReportFileTitle(TOfficeReport report) {
    switch (report) {
    case TOfficeReport::MainTable:
        return Ru("Общая таблица");
    case TOfficeReport::Consumers:
        return Ru("Потребители");
    case TOfficeReport::Fans:
        return Ru("Вентиляторы");
    case TOfficeReport::NodePressure:
        return Ru("Давление в узлах");
    case TOfficeReport::BranchStability:
        return Ru("Устойчивость для 1 ветви");
    case TOfficeReport::DeviceStability:
        return Ru("Устойчивость для вент.устройств");
    case TOfficeReport::FireStability:
        return Ru("Устойчивость при пожарах");
    }
    return "report";
}

TOfficeExports::TOfficeExports(TNetworkTables& tables, TCalcContext& calc, TNasDlgModel& settings)
    : Now(LocalNow), t_(tables), c_(calc), settings_(settings) {}

TReportColumns TOfficeExports::Columns() const {
    TReportColumns columns{};
    for (int n = 0; n < ReportColumnCount && n < ReportColumnBoxes; ++n)
        columns[n] = settings_.CheckBox[n];
    // The branch number always goes: the box is checked and disabled.
    columns[0] = true;
    return columns;
}

std::string TOfficeExports::NewFileName(TOfficeReport report, const char* extension) const {
    const std::tm tm = Now();
    // Room for any int the fields can hold, so nothing is ever cut.
    char stamp[96];
    std::snprintf(stamp, sizeof stamp, " %04d-%02d-%02d %02d-%02d-%02d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    const std::string base = OfficeExportFolder() + OfficeReportFileTitle(report) + stamp;
    std::string name = base + extension;
    // Two exports within one second each keep their own document.
    for (int k = 2; FileExists(name); ++k) name = base + " (" + std::to_string(k) + ")" + extension;
    return name;
}

void TOfficeExports::Deliver(const std::string& fileName,
                             const std::function<bool(std::string*)>& write) {
    std::string error;
    if (!ForceDirectories(ExtractFileDir(fileName)) || !write(&error)) {
        MessageBox(Ru("Не удалось записать файл ") + fileName + (error.empty() ? "" : "\n" + error),
                   "", TMsgButtons::Ok, TMsgIcon::Error);
        return;
    }
    lastFile_ = fileName;
    if (!OpenWithDefaultProgram(fileName))
        MessageBox(Ru("Документ записан в файл ") + fileName +
                       Ru(", но открыть его не удалось: нет программы для этого типа файлов"),
                   "", TMsgButtons::Ok, TMsgIcon::Warning);
}

void TOfficeExports::ExportWord(TOfficeReport report) {
    IProgressWindow& progress = FormWord();
    progress.SetCaption(Ru("Передача в Word"));
    progress.Show();
    TProgressWindowCloser closer(progress);
    TWordReport word = BuildWordReport(report, t_, c_, Columns());
    // The text stays on the clipboard after the export.
    CopyTextToClipboard(word.ClipboardText);
    const std::string fileName = NewFileName(report, ".docx");
    Deliver(fileName,
            [&](std::string* error) { return WriteDocx(word.Document, fileName, error); });
}

void TOfficeExports::ExportExcel(TOfficeReport report) {
    IProgressWindow& progress = FormWord();
    progress.SetCaption(Ru("Передача в Excel"));
    progress.Show();
    TProgressWindowCloser closer(progress);
    TExcelReport excel = BuildExcelReport(report, t_, c_, Columns());
    if (!excel.Message.empty()) ShowMessage(excel.Message);
    CopyTextToClipboard(excel.ClipboardText);
    TClipboardEmptier emptier(!excel.ClipboardText.empty());
    const std::string fileName = NewFileName(report, ".xlsx");
    Deliver(fileName, [&](std::string* error) { return WriteXlsx(excel.Sheet, fileName, error); });
}

void TOfficeExports::Export(TOfficeProgram program, TOfficeReport report) {
    lastFile_.clear();
    TWaitCursor wait;
    if (program == TOfficeProgram::Word)
        ExportWord(report);
    else
        ExportExcel(report);
}

void InstallOfficeExports() {
    static TOfficeExports exports(NetworkTables(), Calc(), NasDlg());
    InstallOfficeExportHost(&exports);
}

} // namespace arv
