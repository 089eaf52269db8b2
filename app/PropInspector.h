// The property inspector's vocabulary without a window: property
// identifiers and their rows per figure kind, the grid's window-side state,
// the value menu and the dialogs the inspector asks a window for.
#pragma once

#include "document/FontRecord.h"

#include <cstdint>
#include <string>
#include <vector>

namespace arv {

class TGBranch;
class TGCustomFigure;
struct TPenBrushDlgState;
struct TFormAngleState;
struct TEnterPicState;

// Identifiers of the inspector's properties (independent of the row).
enum TPropId : int {
    kPropType = 1,
    kPropName = 2,
    kPropBranch = 3,
    kPropBeginNode = 4,
    kPropEndNode = 5,
    kPropWidth = 6,
    kPropColour = 7,
    kPropCoords = 8,
    kPropFlows = 9,
    kPropPla = 10,
    kPropStation = 11,
    kPropMeasures = 12,
    kPropText = 13,
    kPropFont = 14,
    kPropBitmap = 15,
    kPropPictureName = 16,
    kPropSymbolIcon = 17,
    kPropSymbolAngle = 18,
    kPropSymbolName = 19,
    kPropArrow = 23,
    kPropPictureNumber = 24,
    kPropPictureAngle = 25,
    kPropPictureSize = 27,
    kPropPictureDevice = 28,
    kPropSymbolNumber = 29,
    kPropSymbolSize = 30,
    kPropSymbolDevice = 31,
    kPropCalcData = 32,
    kPropPhoto = 33,
    kPropVisible = 34,
    kPropLayer = 35,
    kPropOwnerBranch = 36,
};

// Identifiers of the kind's rows, row 1 first; empty for other kinds.
const std::vector<int>& PropertyRowsOfKind(int32_t kind);
// Row <-> identifier for a figure kind (0: nothing selected). Values outside
// the kind's list map to themselves.
int MapPropertyRow(int32_t kind, int value, bool rowToId);
// Caption of an identifier (CP1251); "" for the unused ones.
const std::string& PropertyCaption(int id);
// The grid's row count for a kind's fill; 2 for nothing.
int PropertyRowCount(int32_t kind);

// The figure fields the inspector names that the figure classes keep in
// general-purpose slots.
bool DefaultWidthFlag(const TGCustomFigure& f);    // width follows the defaults
bool ColourFromLayerFlag(const TGCustomFigure& f); // colours follow the layer
void SetDefaultWidthFlag(TGCustomFigure& f, bool on);
void SetColourFromLayerFlag(TGCustomFigure& f, bool on);
// Device kind of a picture or legend symbol (0 for other figures).
int32_t DeviceKindOf(const TGCustomFigure& f);
void SetDeviceKind(TGCustomFigure& f, int32_t kind);
// The accident index of a branch's PLA record: the first accident kind whose
// flag is set, 0 when none. It is worked out from the flags rather than kept,
// so it never shares a byte with the PLA marker's ring kind.
int AccidentIndexOf(const TGBranch& b);

// The window-side state of the property grid.
struct TPropGridState {
    bool Enabled = false;
    int RowCount = 2;
    bool GoEditing = false; // the editing option
    // Set by a refresh of the rows: the grid closes its in-place editor and
    // shows the values (the editor's text belongs to the rows before).
    bool HideEditor = false;
    int Col = 1; // current cell
    int Row = 1;
};

// One item of the value menu.
struct TPropMenuItem {
    std::string Caption;
    bool Checked = false;
    bool Separator = false;
    int Tag = 0; // node index for node items, 1 for flow-caption items
};

// The value menu, built anew on each click of a caption cell.
struct TPropMenu {
    int Tag = 0; // identifier whose menu it is (4 for both node rows)
    std::vector<TPropMenuItem> Items;
    void Clear() {
        Tag = 0;
        Items.clear();
    }
};

// What the inspector asks of a window: the standard dialogs, its own small
// dialogs and the pop-up of the value menu. Each returns false on Cancel.
class IPropDialogs {
public:
    virtual ~IPropDialogs() = default;
    virtual bool ChooseColor(int32_t& colour) = 0;
    virtual bool ChooseFont(TFontRecord& font) = 0;
    virtual bool PenBrushDialog(TPenBrushDlgState& state) = 0;
    virtual bool AngleDialog(TFormAngleState& state) = 0;
    virtual bool EnterPicDialog(TEnterPicState& state) = 0;
    // Pops the menu up below the bottom-left corner of the clicked cell; a
    // chosen item comes back through TIDrawWin::EditPropertyByMenu.
    virtual void PopupPropMenu(const TPropMenu& menu, int col, int row) = 0;
    // The rows or the grid state changed: show them again.
    virtual void PropGridChanged() = 0;
};

} // namespace arv
