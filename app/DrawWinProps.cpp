// The rows of the property inspector for the current figure, and the
// branch status that goes with a selected branch.
#include "app/DrawWin.h"

#include "calc/model/ModGrid.h"
#include "document/Branch.h"
#include "document/ColorNames.h"
#include "document/Constants.h"
#include "document/DrawingGlobals.h"
#include "document/TextFigures.h"
#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"

#include <algorithm>

namespace arv {

namespace {

template <size_t N> std::string NameAt(const std::array<std::string, N>& names, int32_t index) {
    return index >= 0 && index < static_cast<int32_t>(N) ? names[static_cast<size_t>(index)]
                                                         : std::string();
}

std::string YesNo(bool yes) {
    return Ru(yes ? "Да" : "Нет");
}

int SchemeIndex() {
    const int32_t k = DrawingGlobals().SchemeKind;
    return k >= 0 && k < kSchemeCount ? k : 0;
}

// A layer index outside the list (either side) names no layer.
std::string LayerName(const TGCollFigure& doc, int32_t layer) {
    if (!doc.layers.Exists(layer)) return Ru("Не определен");
    return doc.layers.Layer(layer).name;
}

std::string RectText(const TRect& r) {
    return Format("[%d,%d],[%d,%d]", {r.left, r.top, r.right, r.bottom});
}

// The branch table row of a branch number: the last index entry with it
// wins, as the linking of branches does; -1 when the table has none.
int BranchTableRowOf(int32_t number) {
    const auto& index = WindowState().CalcBranchIndex;
    for (size_t i = index.size(); i-- > 0;)
        if (index[i].number == number) return index[i].row;
    return -1;
}

} // namespace

int TIDrawWin::MapPropertyRow(int value, bool rowToId) const {
    return arv::MapPropertyRow(doc_->CurrentKind(), value, rowToId);
}

void TIDrawWin::ShowProperties(bool force) {
    TGCollFigure& doc = *doc_;
    if (Datagrid.ColCount() != 2) {
        // Titles down column 0, the branch's values in column 1.
        Datagrid.SetColCount(2);
        Datagrid.SetFixedRows(0);
        Datagrid.SetRowCount(static_cast<int>(std::max<size_t>(DatagridTitles.size(), 1)));
        for (size_t r = 0; r < DatagridTitles.size(); ++r)
            Datagrid.SetCells(0, static_cast<int>(r), DatagridTitles[r]);
    }
    PropFilling = true;
    GridProp.Enabled = force || PagePropActive || PagePropTag == 1;
    GridProp.HideEditor = true;
    PagePropTag = 0;

    const int32_t kind = doc.CurrentKind();
    BranchTableRow = -1;
    FromExtEnabled = false;
    StatusPanels[2].clear();
    DatagridFontColor = 0x808080;
    DatagridEditing = false;
    const bool branchLike = kind == kKindLine || kind == kKindPolyLine || kind == kKindArc;
    DatagridEnabled = branchLike;
    if (!DatagridEnabled)
        for (int r = 0; r <= 15; ++r) Datagrid.SetCells(1, r, "");
    MResteNBrEnabled = MResetNENdEnabled = MRotateBrEnabled = MResetBranchEnabled = branchLike;

    TGCustomFigure* f = doc.CurrentFigure();
    if (f && GridProp.Enabled) GridProp.GoEditing = true;

    const size_t lists = std::max<size_t>(PropCaptions.size(), 19);
    PropCaptions.resize(lists);
    PropValues.resize(lists);
    if (!f) {
        PropCaptions[1].clear();
        PropValues[1].clear();
        GridProp.Enabled = false;
        GridProp.RowCount = 2;
        PropEditing = false;
    } else if (!PropertyRowsOfKind(kind).empty()) {
        GridProp.RowCount = PropertyRowCount(kind);
        for (int id : PropertyRowsOfKind(kind))
            PropCaptions[static_cast<size_t>(MapPropertyRow(id, false))] = PropertyCaption(id);
        auto set = [&](int id, std::string text) {
            PropValues[static_cast<size_t>(MapPropertyRow(id, false))] = std::move(text);
        };
        const int scheme = SchemeIndex();
        const auto& names = LineStyleNames();
        switch (kind) {
        case kKindLine:
        case kKindPolyLine: {
            auto& b = static_cast<TGBranch&>(*f);
            set(kPropType, NameAt(names, b.style));
            set(kPropName, b.name);
            set(kPropBranch, IntToStr(b.number));
            set(kPropBeginNode, IntToStr(b.beginNode));
            set(kPropEndNode, IntToStr(b.endNode));
            set(kPropWidth,
                IntToStr(DefaultWidthFlag(b) ? DrawingGlobals().WidthDefault : b.width));
            set(kPropColour, ColorToString(b.brush.colour));
            set(kPropCoords, RectText(b.box));
            set(kPropFlows, "");
            set(kPropPla, IntToStr(b.Caption(3).a));
            set(kPropStation, IntToStr(b.Caption(4).a));
            set(kPropMeasures, "");
            set(kPropArrow, "");
            set(kPropCalcData, "");
            set(kPropPhoto, b.image);
            set(kPropVisible, YesNo(b.schemeVisible[static_cast<size_t>(scheme)] == 1));
            set(kPropLayer, LayerName(doc, b.layer));
            BranchTableRow = BranchTableRowOf(b.number);
            ShowBranchStatus(b);
            break;
        }
        case kKindText: {
            auto& t = static_cast<TGText&>(*f);
            set(kPropType, Ru("Надпись"));
            set(kPropText, t.content);
            set(kPropFont, Format(Ru("%dпт,%s"), {t.font.size, t.font.name}));
            set(kPropCoords, RectText(t.box));
            break;
        }
        case kKindPicture: {
            auto& p = static_cast<TGPicture&>(*f);
            set(kPropType, NameAt(PictureKindNames(), p.style));
            set(kPropPictureName, p.text);
            set(kPropPictureNumber, IntToStr(p.value1));
            set(kPropPictureAngle, IntToStr(p.angleDegrees));
            set(kPropPictureSize, IntToStr(p.ownSizeFlag ? p.ownSize : doc.settings.symbolSize));
            set(kPropPictureDevice, NameAt(DeviceKindNames(), DeviceKindOf(p)));
            set(kPropBitmap, IntToStr(p.imageIndex));
            set(kPropOwnerBranch, IntToStr(p.extra));
            break;
        }
        case kKindSymbol: {
            auto& u = static_cast<TGUO&>(*f);
            set(kPropType, NameAt(SymbolKindNames(), u.style));
            set(kPropSymbolName, u.text);
            set(kPropSymbolNumber, IntToStr(u.value0));
            set(kPropSymbolAngle, IntToStr(u.angleDegrees));
            set(kPropSymbolSize, IntToStr(u.ownSizeFlag ? u.ownSize : doc.settings.symbolSize));
            set(kPropSymbolDevice, NameAt(SymbolDeviceKindNames(), DeviceKindOf(u)));
            set(kPropSymbolIcon, u.placed.name);
            set(kPropOwnerBranch, IntToStr(u.extra));
            break;
        }
        default: { // the shapes
            const TLayerRecord* layer =
                doc.layers.Exists(f->layer) ? &doc.layers.Layer(f->layer) : nullptr;
            set(kPropType, NameAt(names, f->style));
            set(kPropWidth, IntToStr(DefaultWidthFlag(*f) && layer ? layer->width : f->width));
            set(kPropColour,
                ColorToString(ColourFromLayerFlag(*f) && layer ? layer->colour : f->brush.colour));
            set(kPropOwnerBranch, IntToStr(f->extra));
            break;
        }
        }
        if (kind != kKindLine && kind != kKindPolyLine) {
            set(kPropPhoto, f->image);
            set(kPropVisible, YesNo(f->schemeVisible[static_cast<size_t>(scheme)] != 0));
            set(kPropLayer, LayerName(doc, f->layer));
        }
    }
    // The grid's current value cell counts as entered: its identifier and
    // entry value belong to the rows just shown, not to the last figure's.
    if (f && GridProp.Col == 1) {
        if (GridProp.Row < 1 || GridProp.Row >= GridProp.RowCount) GridProp.Row = 1;
        EnterPropCell(1, GridProp.Row);
    }
    PropFilling = false;
    if (propDialogs_) propDialogs_->PropGridChanged();
}

void TIDrawWin::ShowBranchStatus(TGBranch& b) {
    NameStat = b.name + Ru(" (Ветвь ") + IntToStr(b.number) + Ru(" Нач.узел ") +
               IntToStr(b.beginNode) + Ru(" Кон.узел ") + IntToStr(b.endNode) + ")";
    CurrentBranchNumber = b.number;
    CurrentBranchName = b.name;
    CurrentBranchPlaPosition = b.Caption(3).a;
    const std::string missing = Ru(":не заданы!!!");
    if (BranchTableRow < 0) {
        FromExtEnabled = false;
        StatusPanels[2].clear();
        DatagridFontColor = 0x808080;
        DatagridEditing = false;
        // A branch the table does not hold has no data to show: neither the
        // heading row of the table nor the branch shown before.
        for (int r = 0; r < Datagrid.RowCount(); ++r) Datagrid.SetCells(1, r, "");
        if (b.number < 0)
            StatusPanels[2] = Ru("Ветвь") + missing;
        else if (b.beginNode < 0)
            StatusPanels[2] = Ru("Узел1") + missing;
        else if (b.endNode < 0)
            StatusPanels[2] = Ru("Узел2") + missing;
        else
            AddExtEnabled = true;
        return;
    }
    DatagridFontColor = 0;
    DatagridEditing = true;
    FromExtEnabled = true;
    StatusPanels[2].clear();
    if (b.beginNode < 0)
        StatusPanels[2] = Ru("Узел1") + missing;
    else if (b.endNode < 0)
        StatusPanels[2] = Ru("Узел2") + missing;
    FillDatagridFromTable();
}

void TIDrawWin::FillDatagridFromTable() {
    if (!branchGrid_ || BranchTableRow < 0) return;
    const TModGrid& g = *branchGrid_;
    for (int c = 0; c < g.ColCount(); ++c) Datagrid.SetCells(1, c, g.Cells(c, BranchTableRow));
    Datagrid.SetRowCount(g.ColCount());
}

void TIDrawWin::PropClick(bool down) {
    PropDown = down;
    ShowProperties(false);
    Panel2Visible = down;
    // The plan's new size comes back through FormResize once the panel is
    // laid out, which gives the document its view size and repaints.
}

void TIDrawWin::PagePropShow() {
    PagePropTag = 1;
    ShowProperties(true);
}

} // namespace arv
