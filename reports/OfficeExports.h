// The Word and Excel items of the data window's menus: each writes its
// report as a document of its own (".docx" or ".xlsx") into the folder
// "Export" of the program folder, named after the report and the time, and
// opens it with the desktop's default program. The progress window shows
// while a document is made.
#pragma once

#include "reports/ReportTexts.h"

#include "calc/window/NasDlgModel.h"
#include "calc/window/WindowHosts.h"

#include <ctime>
#include <functional>
#include <string>

namespace arv {

class TOfficeExports : public IOfficeExportHost {
public:
    TOfficeExports(TNetworkTables& tables, TCalcContext& calc, TNasDlgModel& settings);

    void Export(TOfficeProgram program, TOfficeReport report) override;

    // The file the last export wrote ("" when it wrote none).
    const std::string& LastFileName() const { return lastFile_; }
    // The clock that names the files; tests set a fixed one.
    std::function<std::tm()> Now;

private:
    TReportColumns Columns() const;
    std::string NewFileName(TOfficeReport report, const char* extension) const;
    void ExportWord(TOfficeReport report);
    void ExportExcel(TOfficeReport report);
    // Writes through `write`, reports a failure, opens the document.
    void Deliver(const std::string& fileName, const std::function<bool(std::string*)>& write);

    TNetworkTables& t_;
    TCalcContext& c_;
    TNasDlgModel& settings_;
    std::string lastFile_;
};

// The folder the documents go to (with its trailing separator).
std::string OfficeExportFolder();
// Base of the file name of each report (CP1251).
std::string OfficeReportFileTitle(TOfficeReport report);

// Creates the program's exports over its tables and installs them as the
// data window's office export host.
void InstallOfficeExports();

} // namespace arv
