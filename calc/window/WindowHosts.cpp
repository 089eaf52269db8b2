#include "calc/window/WindowHosts.h"

#include "calc/window/NotAvailable.h"
#include "calc/files/Settings.h"

#include "platform/Cp1251.h"

#include "platform/IniFile.h"

namespace arv {

namespace {

// The plain stand-ins read the settings file each time they are asked, so
// what they report is what the file held before it is written again.
class TPlainPlacedWindow : public IPlacedWindow {
public:
    TPlainPlacedWindow(const char* section, TWindowPlace def) : section_(section), def_(def) {}
    TWindowPlace Place() const override {
        return ReadWindowPlace(TIniFile(SettingsFileName()), section_, def_);
    }

private:
    const char* section_;
    TWindowPlace def_;
};

class TPlainReportEditor : public IReportEditorHost {
public:
    TWindowPlace Place() const override {
        return ReadWindowPlace(TIniFile(SettingsFileName()), "FOtchet", {10, 10, 300, 300});
    }
    TFontSpec EditorFont() const override {
        return ReadFont(TIniFile(SettingsFileName()), "OtchetFont", {"Courier New Cyr", 10});
    }
    void ShowEditor() override { ShowNotAvailable(Ru("Отчет")); }
    bool Modified() const override { return false; }
    bool SaveReport() override { return true; }
    void CloseWithProgram() override {}
};

class TPlainLibraryWindow : public ILibraryWindowHost {
public:
    TPlainLibraryWindow(const char* section, const char* gridSection, int columns,
                        const char* caption)
        : place_(section, {50, 50, 200, 200}), gridSection_(gridSection), columns_(columns),
          caption_(caption) {}
    TWindowPlace Place() const override { return place_.Place(); }
    std::vector<int> ColumnWidths() const override {
        return ReadColumnWidths(TIniFile(SettingsFileName()), gridSection_, columns_);
    }
    void SetGridFont(const TFontSpec&) override {}
    void ShowLibrary(bool) override { ShowNotAvailable(Ru(caption_)); }

private:
    TPlainPlacedWindow place_;
    const char* gridSection_;
    int columns_;
    const char* caption_;
};

// Without the drawing window nothing is saved or loaded with a drawing; the
// drawing's name and surface nodes are kept for the data window.
class TNoDrawingWindow : public IDrawingHost {
public:
    bool Exists() const override { return false; }
    bool SaveDrawing(const std::string&) override { return false; }
    bool LoadDrawing(const std::string&) override { return false; }
    std::string CurrentFileName() const override { return fileName_; }
    void SetCurrentFileName(const std::string& fileName) override { fileName_ = fileName; }
    std::string SurfaceNodeText() const override { return surfaceNodes_; }
    void SetSurfaceNodeText(const std::string& text) override { surfaceNodes_ = text; }
    void SetCalcGrids(TModGrid*, TModGrid*) override {}
    void IndexCalcDataGrids() override {}
    void LinkBranchesToCalcData() override {}
    void ResultsWritten() override {}
    bool CentreOnBranch(int) override { return false; }
    void ShowAndBringToFront() override { ShowNotAvailable(Ru("Схема вентиляции")); }

private:
    std::string fileName_, surfaceNodes_;
};

class TNoOfficeExports : public IOfficeExportHost {
public:
    void Export(TOfficeProgram program, TOfficeReport) override {
        ShowNotAvailable(program == TOfficeProgram::Word ? "Word" : "Excel");
    }
};

TPlainReportEditor plainReportEditor;
TPlainLibraryWindow plainFanLibrary("FBiblVen", "TablBiblVen", 11, "Библиотека вентиляторов");
TPlainLibraryWindow plainDeviceLibrary("FBiblVu", "TablBiblVU", 4, "Библиотека вент. устройств");
TPlainPlacedWindow plainFanChart("FGrafic", {10, 10, 300, 300});
TNoDrawingWindow noDrawingWindow;
TNoOfficeExports noOfficeExports;

IReportEditorHost* reportEditor = &plainReportEditor;
ILibraryWindowHost* fanLibrary = &plainFanLibrary;
ILibraryWindowHost* deviceLibrary = &plainDeviceLibrary;
IPlacedWindow* fanChart = &plainFanChart;
IDrawingHost* drawing = &noDrawingWindow;
IOfficeExportHost* officeExports = &noOfficeExports;

} // namespace

void InstallReportEditorHost(IReportEditorHost* host) {
    reportEditor = host ? host : &plainReportEditor;
}

IReportEditorHost& ReportEditorHost() {
    return *reportEditor;
}

void InstallLibraryWindowHost(TLibraryWindow which, ILibraryWindowHost* host) {
    if (which == TLibraryWindow::Fans)
        fanLibrary = host ? host : &plainFanLibrary;
    else
        deviceLibrary = host ? host : &plainDeviceLibrary;
}

ILibraryWindowHost& LibraryWindowHost(TLibraryWindow which) {
    return which == TLibraryWindow::Fans ? *fanLibrary : *deviceLibrary;
}

void InstallFanChartHost(IPlacedWindow* host) {
    fanChart = host ? host : &plainFanChart;
}

IPlacedWindow& FanChartHost() {
    return *fanChart;
}

void InstallDrawingHost(IDrawingHost* host) {
    drawing = host ? host : &noDrawingWindow;
}

IDrawingHost& DrawingHost() {
    return *drawing;
}

void InstallOfficeExportHost(IOfficeExportHost* host) {
    officeExports = host ? host : &noOfficeExports;
}

IOfficeExportHost& OfficeExportHost() {
    return *officeExports;
}

} // namespace arv
