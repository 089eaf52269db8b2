// What the drawing document reads of the main window and asks of it. The
// window owns one TWindowState and implements IWindowHost; the document only
// reads and writes the state and calls the host. Without a window (tests, a
// console tool) the built-in host does nothing.
#pragma once

#include "document/FontRecord.h"
#include "document/Geometry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace arv {

class TStringGridModel;
class TCanvas;

// The PLA marker that the window's timer blinks.
struct TBlinkMarker {
    TPoint world;
    TPoint screen;
    uint8_t ringKind = 0; // 0..2
    int32_t number = 0;
    int32_t innerColour = 0;
};

// One entry of the window's index of calculation branches.
struct TCalcBranchIndexEntry {
    int32_t number = 0;
    int32_t beginNode = 0;
    int32_t endNode = 0;
    int32_t row = 0; // row of the calculation grid
};

struct TTextSize {
    int32_t cx = 0;
    int32_t cy = 0;
};

struct TWindowState {
    int32_t DrawMode = 0;      // 8 is the pan tool
    uint8_t QuickDrawFlag = 0; // set while scrolling and key-zooming
    uint8_t NavigatorDrawing = 0;
    uint8_t ShowRoute = 0;
    std::vector<int32_t> RouteBranches;
    int32_t EmergencyMode = 0; // 0 none, 2 device failure, 3 fire
    int32_t EmergencyBranch = 0;
    int32_t BranchMarkColor = 255;
    // Checked states of the window's menu items.
    bool FireVetvi = false;
    bool OpVetvi = false;
    bool MsxPLA = false;
    bool MOrientBr = false;
    bool MsxAll = false;
    int32_t BackColor = 0xFFFFFF;
    // The layer box: its items and chosen index (the layer of new figures).
    std::vector<std::string> LayerBoxItems;
    int32_t CurrentLayer = 0;
    // The second log list: "Нет " lines for pictures and symbols missing from
    // the libraries, and lines about symbol text that could not be read.
    std::vector<std::string> MissingLog;
    std::string PlaFolder;   // at most 255 bytes in a drawing
    std::string PhotoFolder; // at most 255 bytes in a drawing
    TBlinkMarker BlinkMarker;
    std::vector<TCalcBranchIndexEntry> CalcBranchIndex;
    // Grids of the window: the branch grid that branches are added to and
    // the calculation grid that flow labels read. Not owned.
    TStringGridModel* BranchGrid = nullptr;
    TStringGridModel* Datagrid = nullptr;
};

class IWindowHost {
public:
    virtual ~IWindowHost() = default;
    // The view menus and globals follow the scheme record (after a load).
    virtual void SyncViewMenus(int32_t /*schemeKind*/) {}
    // The page-format box goes back to its first entry after a zoom step.
    virtual void ResetPageFormatBox() {}
    // The off-screen drawing bitmap follows the drawing control's size.
    virtual void SizeDrawingBitmap() {}
    // The text of the legend-symbol editor; false when there is no editor.
    virtual bool SymbolEditorText(std::string& /*text*/) { return false; }
    // The layer box items in TWindowState were refilled.
    virtual void LayerBoxRefilled() {}
    // The blink timer starts (the marker is in TWindowState).
    virtual void EnableBlinkTimer() {}
    // The window's canvas, for measuring texts outside a drawing pass; null
    // when there is no window (texts then measure 0 x 0).
    virtual TCanvas* MeasuringCanvas() { return nullptr; }
};

TWindowState& WindowState();
IWindowHost& WindowHost();
// null puts the built-in host back.
void InstallWindowHost(IWindowHost* host);

} // namespace arv
