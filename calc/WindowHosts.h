// What the data files and the settings need of windows that other
// subsystems own: the main drawing window saves and loads drawings, the
// report editor and the library and chart windows tell their place, font and
// column widths for the settings file. Each owner installs its
// implementation at start-up. Until it does, a plain one stands in: there is
// no drawing window, and the other windows report what the settings file
// holds for them (or their defaults), so saving the settings keeps it.
#pragma once

#include <string>
#include <vector>

namespace arv {

// Position and size of a window in pixels.
struct TWindowPlace {
    int Left = 10;
    int Top = 10;
    int Width = 400;
    int Height = 400;
    bool operator==(const TWindowPlace&) const = default;
};

struct TFontSpec {
    std::string Name; // CP1251
    int Size = 10;
    bool operator==(const TFontSpec&) const = default;
};

// A window that keeps its place in the settings file.
class IPlacedWindow {
public:
    virtual ~IPlacedWindow() = default;
    virtual TWindowPlace Place() const = 0;
};

// The report editor: its place and its editor font.
class IReportEditorHost : public IPlacedWindow {
public:
    virtual TFontSpec EditorFont() const = 0;
};

// The fan and the ventilation-device library windows.
class ILibraryWindowHost : public IPlacedWindow {
public:
    virtual std::vector<int> ColumnWidths() const = 0;
    // The table font chosen in the settings dialog.
    virtual void SetGridFont(const TFontSpec& font) = 0;
};

// The main drawing window.
class IDrawingHost {
public:
    virtual ~IDrawingHost() = default;
    // The data window saves and loads drawings only while this is true.
    virtual bool Exists() const = 0;
    // Composes the network data text, writes the drawing file of that name
    // with it and redraws; false when the file was not written.
    virtual bool SaveDrawing(const std::string& fileName) = 0;
    // Opens the drawing file and loads the document; false when that failed
    // (the window has then told the user).
    virtual bool LoadDrawing(const std::string& fileName) = 0;
};

enum class TLibraryWindow { Fans, Devices };

// A null argument puts the plain implementation back.
void InstallReportEditorHost(IReportEditorHost* host);
IReportEditorHost& ReportEditorHost();
void InstallLibraryWindowHost(TLibraryWindow which, ILibraryWindowHost* host);
ILibraryWindowHost& LibraryWindowHost(TLibraryWindow which);
void InstallFanChartHost(IPlacedWindow* host);
IPlacedWindow& FanChartHost();
void InstallDrawingHost(IDrawingHost* host);
IDrawingHost& DrawingHost();

} // namespace arv
