// What the data window, its files and the settings need of windows that
// other subsystems own: the main drawing window saves and loads drawings and
// shows branches, the report editor and the library and chart windows show
// themselves and tell their place, font and column widths for the settings
// file, the office exports send the report tables. Each owner installs its
// implementation at start-up. Until it does, a plain one stands in: there is
// no drawing window, the other windows report what the settings file holds
// for them (or their defaults), so saving the settings keeps it, and asking
// one to show itself says that it is not available yet.
#pragma once

#include "platform/Services.h"

#include <functional>
#include <string>
#include <vector>

namespace arv {

class TModGrid;

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
    // "Отчет": enabled, shown and focused, not modal.
    virtual void ShowEditor() = 0;
    // The report's text was changed since it was last opened or saved.
    virtual bool Modified() const = 0;
    // Saves the report as its "Сохранить" does; false when nothing was
    // saved (a dialog cancelled, a file not written).
    virtual bool SaveReport() = 0;
    // The program ends after its own question covered the report: the
    // window closes without asking again.
    virtual void CloseWithProgram() = 0;
    // Another drawing took the place of the one the report was written for,
    // after its question: the report starts empty under the new drawing's
    // name, so nothing of the old mine is shown or saved with the new one.
    virtual void DrawingReplaced() {}
};

// The fan and the ventilation-device library windows.
class ILibraryWindowHost : public IPlacedWindow {
public:
    virtual std::vector<int> ColumnWidths() const = 0;
    // The table font chosen in the settings dialog.
    virtual void SetGridFont(const TFontSpec& font) = 0;
    // Shown, not modal; with the OK button enabled the chosen entry goes
    // into the current row of the table the window was opened from.
    virtual void ShowLibrary(bool okEnabled) = 0;
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
    // Before a save without a dialog writes the drawing under that name:
    // mrYes when the file holds the drawing shown (it was read from or
    // written there) or does not exist; else the answer to "OK для
    // перезаписи ..." (mrNo: choose another name, mrCancel: write nothing).
    virtual int AskReplaceDrawingFile(const std::string& /*fileName*/) { return mrYes; }
    // Opens the drawing file and loads the document, which then goes by that
    // name; false when that failed (the window has then told the user, and
    // the drawing shown keeps its own name). Only the load step of
    // ReplaceDrawing: nothing is asked or reset here.
    virtual bool LoadDrawing(const std::string& fileName) = 0;
    // The one way another drawing takes the place of the one shown: the
    // questions about everything of the drawing shown (its data included),
    // then load, which puts the next drawing and its data in place (false:
    // it failed and left everything as it was), then the reset of what
    // belonged to the drawing before. False when an answer or the load
    // stopped it. Without that window, load alone.
    virtual bool ReplaceDrawing(const std::function<bool()>& load) { return load(); }

    // The full name of the open drawing.
    virtual std::string CurrentFileName() const = 0;
    virtual void SetCurrentFileName(const std::string& fileName) = 0;
    // The surface nodes the drawing knows ("1;25;"), empty when none.
    virtual std::string SurfaceNodeText() const = 0;
    virtual void SetSurfaceNodeText(const std::string& text) = 0;
    // The tables the window reads branches and nodes from.
    virtual void SetCalcGrids(TModGrid* branches, TModGrid* nodes) = 0;
    virtual void IndexCalcDataGrids() = 0;
    // Links the drawing's branches to the rows of the branch table again.
    virtual void LinkBranchesToCalcData() = 0;
    // A calculation wrote its results into the tables: the drawing's links
    // and marks (the air's direction on each branch) follow them, and the
    // plan is shown anew.
    virtual void ResultsWritten() = 0;
    // Makes the branch figure of that number current and centres the view on
    // it; false when the drawing has no such branch.
    virtual bool CentreOnBranch(int number) = 0;
    virtual void ShowAndBringToFront() = 0;
};

// The Word and Excel exports of the data window's menus.
enum class TOfficeReport {
    MainTable,
    Consumers,
    Fans,
    NodePressure,
    BranchStability,
    DeviceStability,
    FireStability
};
enum class TOfficeProgram { Word, Excel };

class IOfficeExportHost {
public:
    virtual ~IOfficeExportHost() = default;
    // Composes the report and hands it to the program; the caller has
    // checked that its source exists.
    virtual void Export(TOfficeProgram program, TOfficeReport report) = 0;
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
void InstallOfficeExportHost(IOfficeExportHost* host);
IOfficeExportHost& OfficeExportHost();

} // namespace arv
