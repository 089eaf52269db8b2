// Editing in the property grid: entering and leaving value cells, what the
// in-place editor may take, and typed values applied to the current figure.
#include "app/DrawWin.h"

#include "document/Branch.h"
#include "document/Constants.h"
#include "document/DrawingGlobals.h"
#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"
#include "platform/NumberParse.h"
#include "platform/Services.h"

namespace arv {

namespace {

bool IsIntegerId(int id) {
    switch (id) {
    case kPropBranch:
    case kPropBeginNode:
    case kPropEndNode:
    case kPropWidth:
    case kPropPla:
    case kPropStation:
    case kPropSymbolAngle:
    case kPropPictureNumber:
    case kPropPictureAngle:
    case kPropPictureSize:
    case kPropSymbolNumber:
    case kPropSymbolSize:
    case kPropOwnerBranch:
        return true;
    default:
        return false;
    }
}

} // namespace

void TIDrawWin::GridPropSelectCell(int col, int row, bool& canSelect) {
    if (col == 0) {
        canSelect = false;
        return;
    }
    if (col != GridProp.Col || row != GridProp.Row) {
        LeavePropCell(GridProp.Col, GridProp.Row);
        EnterPropCell(col, row);
    }
    canSelect = true;
}

void TIDrawWin::EnterPropCell(int col, int row) {
    PropCol = col;
    PropRow = row;
    if (col != 1) return;
    PropEntryValue = row >= 0 && row < static_cast<int>(PropValues.size())
                         ? PropValues[static_cast<size_t>(row)]
                         : std::string();
    PropEditing = true;
    PropCurrentId = MapPropertyRow(row, true);
}

void TIDrawWin::LeavePropCell(int /*col*/, int /*row*/) {
    if (!PropEditing) return;
    // The grid repaints the left cell when it is told the state changed.
    PropEditing = false;
    if (propDialogs_) propDialogs_->PropGridChanged();
}

void TIDrawWin::GridPropGetEditText(int col, int row, std::string& text) {
    PropEditCol = col;
    PropEditRow = row;
    text = row >= 0 && row < static_cast<int>(PropValues.size())
               ? PropValues[static_cast<size_t>(row)]
               : std::string();
}

void TIDrawWin::GridPropSetEditText(int col, int row, const std::string& text) {
    if (!PropEditing || PropEditCol != PropCol || PropEditRow != PropRow) return;
    if (col != PropEditCol || row != PropEditRow) return;
    if (row >= 0 && row < static_cast<int>(PropValues.size()))
        PropValues[static_cast<size_t>(row)] = text;
}

void TIDrawWin::GridPropKeyPress(char& key) {
    if (key == '\r') ApplyPropertyValue();
}

void TIDrawWin::GridPropGetEditMask(int /*col*/, int row, std::string& mask) {
    switch (MapPropertyRow(row, true)) {
    case kPropBranch:
    case kPropBeginNode:
    case kPropEndNode:
        mask = "99999;0; ";
        break;
    case kPropWidth:
    case kPropPla:
    case kPropStation:
        mask = "999;0; ";
        break;
    case kPropName:
        mask.clear();
        break;
    default:
        break;
    }
}

bool TIDrawWin::GridPropAcceptEditKey(char /*key*/) const {
    switch (PropCurrentId) {
    case kPropType:
    case kPropColour:
    case kPropCoords:
    case kPropFont:
    case kPropBitmap:
    case kPropSymbolIcon:
    // Set through the caption's menu or file dialog only: Enter applies
    // nothing typed there, so a key is refused rather than dropped later.
    case kPropFlows:
    case kPropMeasures:
    case kPropArrow:
    case kPropPictureDevice:
    case kPropSymbolDevice:
    case kPropCalcData:
    case kPropPhoto:
    case kPropVisible:
    case kPropLayer:
        return false;
    default:
        return true;
    }
}

std::string TIDrawWin::GridPropCellText(int col, int row) const {
    if (row < 0) return {};
    const auto& list = col == 0 ? PropCaptions : PropValues;
    if (row >= static_cast<int>(list.size())) return {};
    if (col == 1 && MapPropertyRow(row, true) == kPropBitmap) return {};
    return list[static_cast<size_t>(row)];
}

void TIDrawWin::ApplyPropertyValue() {
    if (PropFilling) return;
    TGCollFigure& doc = *doc_;
    const int row = GridProp.Row;
    if (row < 0 || row >= static_cast<int>(PropValues.size())) return;
    const int id = MapPropertyRow(row, true);
    const std::string value = PropValues[static_cast<size_t>(row)];
    if (id != kPropPla && id != kPropPictureAngle && value == PropEntryValue) return;
    TGCustomFigure* f = doc.CurrentFigure();
    if (!f) return;
    // The masked editor leaves blanks in unfilled places.
    const std::string text = IsIntegerId(id) ? Trim(value) : value;
    std::string message;
    auto refuse = [&] { MessageBox(message, "", TMsgButtons::Ok, TMsgIcon::Error); };
    const bool groupTool = DrawMode == 25 && !doc.groupList.empty();
    switch (id) {
    case kPropType:
        if (f->kind == kKindLine || f->kind == kKindALine) {
            const auto& names = LineStyleNames();
            for (int32_t i = 1; i <= 4; ++i)
                if (text == names[static_cast<size_t>(i)]) f->style = i;
            // Drawn as the same choice from the row's menu draws it.
            ApplyStyleAttributes(*f, kAfterTypeChoice);
            PropValues[static_cast<size_t>(row)] =
                f->style >= 0 && f->style < 9 ? names[static_cast<size_t>(f->style)] : "";
            DrawingModified = true;
        }
        break;
    case kPropName:
    case kPropBranch:
    case kPropBeginNode:
    case kPropEndNode:
        if (doc.ApplyPropertyEdit(id, text, message)) {
            DrawingModified = true;
            if (id == kPropBranch) {
                // The number may have added a table row: index and link again.
                IndexCalcDataGrids();
                LinkBranchesToCalcData();
            } else if (id == kPropBeginNode || id == kPropEndNode) {
                Datagrid.SetCells(1, id == kPropBeginNode ? 1 : 2, text);
                ReplaceNodeInBranchTable(PropEntryValue, text);
                IndexCalcDataGrids();
            }
        } else {
            refuse();
        }
        break;
    case kPropWidth:
        if (doc.ApplyPropertyEdit(id, text, message)) {
            SetDefaultWidthFlag(*f, false);
            DrawingModified = true;
            if (groupTool) CopyToGroup(kPropWidth);
        } else {
            refuse();
        }
        break;
    case kPropPla:
        if (doc.ApplyPropertyEdit(id, text, message)) {
            DrawingModified = true;
            if (groupTool) CopyPlaToGroup(TPlaCopy::Number);
        } else {
            refuse();
        }
        break;
    case kPropStation:
    case kPropText:
    case kPropPictureName:
    case kPropSymbolAngle:
    case kPropSymbolName:
    case kPropPictureNumber:
    case kPropPictureAngle:
    case kPropPictureSize:
    case kPropSymbolNumber:
    case kPropSymbolSize:
    case kPropOwnerBranch:
        if (doc.ApplyPropertyEdit(id, text, message))
            DrawingModified = true;
        else
            refuse();
        break;
    default:
        break;
    }
    if (doc.CurrentFigure()) {
        doc.StoreShownAttrs(*doc.CurrentFigure());
        ShowProperties(false);
    }
    Repaint();
}

void TIDrawWin::ReplaceNodeInBranchTable(const std::string& oldNumber,
                                         const std::string& newNumber) {
    TStringGridModel* grid = WindowState().BranchGrid;
    int oldValue = 0, newValue = 0;
    // Cells are compared as numbers: the tables write them with and without
    // leading blanks.
    if (!grid || !TryStrToInt(Trim(oldNumber), oldValue) || !TryStrToInt(Trim(newNumber), newValue))
        return;
    for (int r = grid->FixedRows(); r < grid->RowCount(); ++r) {
        for (int c = 1; c <= 2; ++c) {
            int cell = 0;
            if (TryStrToInt(Trim(grid->Cells(c, r)), cell) && cell == oldValue)
                grid->SetCells(c, r, IntToStr(newValue));
        }
    }
}

} // namespace arv
