#include "WindowHosts.h"

#include "Settings.h"

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
};

class TPlainLibraryWindow : public ILibraryWindowHost {
public:
    TPlainLibraryWindow(const char* section, const char* gridSection, int columns)
        : place_(section, {50, 50, 200, 200}), gridSection_(gridSection), columns_(columns) {}
    TWindowPlace Place() const override { return place_.Place(); }
    std::vector<int> ColumnWidths() const override {
        return ReadColumnWidths(TIniFile(SettingsFileName()), gridSection_, columns_);
    }
    void SetGridFont(const TFontSpec&) override {}

private:
    TPlainPlacedWindow place_;
    const char* gridSection_;
    int columns_;
};

// Without the drawing window nothing is saved or loaded with a drawing.
class TNoDrawingWindow : public IDrawingHost {
public:
    bool Exists() const override { return false; }
    bool SaveDrawing(const std::string&) override { return false; }
    bool LoadDrawing(const std::string&) override { return false; }
};

TPlainReportEditor plainReportEditor;
TPlainLibraryWindow plainFanLibrary("FBiblVen", "TablBiblVen", 11);
TPlainLibraryWindow plainDeviceLibrary("FBiblVu", "TablBiblVU", 4);
TPlainPlacedWindow plainFanChart("FGrafic", {10, 10, 300, 300});
TNoDrawingWindow noDrawingWindow;

IReportEditorHost* reportEditor = &plainReportEditor;
ILibraryWindowHost* fanLibrary = &plainFanLibrary;
ILibraryWindowHost* deviceLibrary = &plainDeviceLibrary;
IPlacedWindow* fanChart = &plainFanChart;
IDrawingHost* drawing = &noDrawingWindow;

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

} // namespace arv
