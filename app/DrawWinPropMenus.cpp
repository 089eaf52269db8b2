// The value menus and dialogs that a click on a caption cell of the property
// grid opens, and what their choices do to the current figure and, in the
// group-property tool, to the selected figures.
#include "app/DrawWin.h"

#include "app/PropDialogs.h"
#include "document/Branch.h"
#include "document/Constants.h"
#include "document/DrawingGlobals.h"
#include "document/TextFigures.h"
#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"
#include "platform/Services.h"

#include <algorithm>

namespace arv {

namespace {

TPropMenuItem Item(std::string caption, bool checked = false, int tag = 0) {
    TPropMenuItem i;
    i.Caption = std::move(caption);
    i.Checked = checked;
    i.Tag = tag;
    return i;
}

TPropMenuItem Separator() {
    TPropMenuItem i;
    i.Caption = "-";
    i.Separator = true;
    return i;
}

// Items that only show a stored position.
TPropMenuItem Position(const char* format, TPoint p) {
    return Item(Format(format, {p.x, p.y}));
}

bool IsPositionItem(const std::string& caption) {
    return caption.rfind("x=", 0) == 0;
}

const std::string& Show() {
    static const std::string s = Ru("Выводить?");
    return s;
}
const std::string& AngleItem() {
    static const std::string s = Ru("Угол");
    return s;
}
const std::string& DefaultItem() {
    static const std::string s = Ru("По умолчанию");
    return s;
}

void Toggle(uint8_t& flag) {
    flag = flag ? 0 : 1;
}

bool StyleKind(int32_t kind) {
    return kind == kKindLine || kind == kKindPolyLine || kind == kKindALine;
}

// Figures whose rows show a width and a colour: branches and shapes. The
// style index is a line style only on StyleKind figures; on the others it
// is the picture, symbol or shape kind.
bool HasLineAttributes(int32_t kind) {
    const std::vector<int>& rows = PropertyRowsOfKind(kind);
    return std::find(rows.begin(), rows.end(), kPropColour) != rows.end();
}

} // namespace

void TIDrawWin::ApplyStyleAttributes(TGCustomFigure& f, TStyleCause how) {
    if (!StyleKind(f.kind)) return;
    const TStyleSource src = StyleSourceOf(*doc_, f);
    if (how == kAfterTypeChoice && !ColourFromLayerFlag(f)) return;
    int32_t s = f.style;
    if (s == 0)
        s = how == kAfterTypeChoice ? DrawingGlobals().DefaultBranchStyle
                                    : EffectiveStyle(*doc_, f);
    ApplyLineStyle(f, s, src);
    if (how == kAfterLayerChange) f.SetWidth(src.lineWidth);
}

void TIDrawWin::CopyToGroup(int id) {
    TGCollFigure& doc = *doc_;
    TGCustomFigure* f = doc.CurrentFigure();
    if (!f || DrawMode != 25 || doc.groupList.empty()) return;
    auto* b = f->IsBranch() ? static_cast<TGBranch*>(f) : nullptr;
    for (const std::vector<int32_t>& e : doc.groupList) {
        if (e.size() < 2 || e[1] == kKindNodeBlock) continue;
        TGCustomFigure* g = doc.Figure(e[0]);
        if (!g || g == f) continue;
        switch (id) {
        case kPropVisible:
            g->schemeVisible = f->schemeVisible;
            continue;
        case kPropLayer:
            // A member that takes its width or colours from its layer shows
            // the new one's now, as a scheme switch or Open would show it.
            g->layer = f->layer;
            doc.FollowLayer(*g);
            doc.StoreShownAttrs(*g);
            continue;
        case kPropColour:
            if (!HasLineAttributes(g->kind)) continue;
            if (StyleKind(f->kind) && StyleKind(g->kind)) g->style = f->style;
            g->flagB = f->flagB;
            g->brush = f->brush;
            g->pen = f->pen;
            g->flagA = f->flagA;
            g->SetWidth(f->width);
            doc.StoreShownAttrs(*g);
            continue;
        default:
            break;
        }
        if (!b || !g->IsBranch()) continue;
        auto* gb = static_cast<TGBranch*>(g);
        switch (id) {
        case kPropName:
            gb->switchA = b->switchA;
            break;
        case kPropBranch:
            gb->switchB = b->switchB;
            break;
        case kPropFlows:
            gb->Caption(1).shown = b->Caption(1).shown;
            break;
        case kPropCalcData:
            gb->callout.shown = b->callout.shown;
            break;
        case kPropWidth:
            gb->flagA = b->flagA;
            gb->SetWidth(b->width);
            doc.StoreShownAttrs(*gb);
            break;
        case kPropArrow:
            gb->Caption(5) = b->Caption(5);
            gb->showFlag = b->showFlag;
            break;
        default:
            break;
        }
    }
}

void TIDrawWin::CopyPlaToGroup(TPlaCopy what, size_t accidentKind) {
    TGCollFigure& doc = *doc_;
    TGBranch* b = doc.BranchAt(doc.current);
    if (!b || DrawMode != 25 || doc.groupList.empty() || accidentKind >= b->marks.size()) return;
    // A member changes as if the command were given for it alone: a position
    // keeps one look on all its branches, and each keeps its marker's place.
    const TBranchCaption& from = b->Caption(3);
    for (const std::vector<int32_t>& e : doc.groupList) {
        if (e.size() < 2 || e[1] == kKindNodeBlock) continue;
        TGBranch* g = doc.BranchAt(e[0]);
        if (!g || g == b) continue;
        switch (what) {
        case TPlaCopy::Number:
            doc.SetPlaPosition(e[0], from.a);
            break;
        case TPlaCopy::Shown:
            g->Caption(3).shown = from.shown;
            break;
        case TPlaCopy::AccidentKind:
            g->marks[accidentKind].flag = b->marks[accidentKind].flag;
            doc.CopyPlaMarks(e[0]);
            break;
        case TPlaCopy::Colour:
            g->Caption(3).colour = from.colour;
            doc.CopyPlaMarks(e[0]);
            break;
        }
    }
}

void TIDrawWin::GridPropFixedCellClick(int col, int row) {
    TGCollFigure& doc = *doc_;
    PopMenu.Clear();
    TGCustomFigure* f = doc.CurrentFigure();
    if (!f) return;
    const int id = MapPropertyRow(row, true);
    auto* b = f->IsBranch() ? static_cast<TGBranch*>(f) : nullptr;
    auto& items = PopMenu.Items;
    PopMenu.Tag = id;
    switch (id) {
    case kPropType:
        if (f->kind == kKindLine || f->kind == kKindPolyLine || f->kind == kKindALine)
            for (int32_t i = 0; i <= 3; ++i)
                items.push_back(Item(LineStyleNames()[static_cast<size_t>(i)], f->style == i));
        break;
    case kPropName:
        if (!b) break;
        items = {Item(Show(), b->switchA != 0), Separator(), Item(AngleItem()), Separator(),
                 Position("x=%d : y=%d", b->pointA)};
        break;
    case kPropBranch:
        if (b) items = {Item(Show(), b->switchB != 0)};
        break;
    case kPropBeginNode:
    case kPropEndNode: {
        if (!b) break;
        const int32_t node = id == kPropBeginNode ? b->beginIndex : b->endIndex;
        if (!doc.nodes.Valid(node)) break;
        const TNodeRecord& n = doc.nodes.Record(node);
        PopMenu.Tag = kPropBeginNode;
        for (int32_t k = 0; k < 2; ++k)
            items.push_back(Item(NodeKindNames()[static_cast<size_t>(k)], n.kind == k, node));
        items.push_back(Separator());
        items.push_back(Item(Ru("Выноска"), n.flag != 0, node));
        items.push_back(Separator());
        items.push_back(Item(Show(), n.shown != 0, node));
        items.push_back(Separator());
        items.push_back(Position("x=%d : y=%d", n.point));
        break;
    }
    case kPropWidth:
        items = {Item(DefaultItem(), DefaultWidthFlag(*f))};
        break;
    case kPropColour:
        DrawingModified = true;
        items = {Item(DefaultItem(), ColourFromLayerFlag(*f)), Separator(), Item(Ru("Изменить"))};
        break;
    case kPropFlows:
        if (!b) break;
        items = {Item(Show(), b->Caption(1).shown != 0, 1), Separator(),
                 Item(AngleItem(), false, 1), Separator(),
                 Position("x=%d : y=%d", b->Caption(1).anchor)};
        break;
    case kPropPla: {
        if (!b) break;
        items = {Item(Show(), b->Caption(3).shown != 0), Separator()};
        for (size_t k = 0; k < 6; ++k)
            items.push_back(Item(AccidentKindNames()[k], b->marks[k].flag != 0));
        items.push_back(Separator());
        items.push_back(Item(Ru("Цвет,стиль")));
        items.push_back(Separator());
        items.push_back(Position("x= %d : y=%d", b->Caption(3).anchor));
        break;
    }
    case kPropMeasures:
        if (TBZamStEnabled && RunTBZamSt) RunTBZamSt();
        return;
    case kPropText:
        if (f->kind == kKindText) items = {Item(AngleItem())};
        break;
    case kPropFont: {
        if (f->kind != kKindText || !propDialogs_) return;
        auto& t = static_cast<TGText&>(*f);
        TFontRecord font = t.font;
        if (!propDialogs_->ChooseFont(font)) return;
        if (font.name.size() > kFontNameMax) font.name.resize(kFontNameMax);
        t.font = font;
        t.fontHeight = RoundI(font.size * kPointsToWorld);
        PropValues[static_cast<size_t>(row)] = Format(Ru("%dпт,%s"), {font.size, font.name});
        DrawingModified = true;
        Repaint();
        return;
    }
    case kPropBitmap:
        if (f->kind == kKindPicture) RunPictureChooser(false);
        return;
    case kPropSymbolIcon:
        if (f->kind == kKindSymbol) RunPictureChooser(true);
        return;
    case kPropPictureName:
    case kPropSymbolName: {
        if (f->kind != kKindPicture && f->kind != kKindSymbol) break;
        const bool hidden = f->kind == kKindPicture ? static_cast<TGPicture*>(f)->captionHidden
                                                    : static_cast<TGUO*>(f)->captionHidden;
        const int32_t side = f->kind == kKindPicture ? static_cast<TGPicture*>(f)->captionPosition
                                                     : static_cast<TGUO*>(f)->captionPosition;
        items = {Item(Show(), !hidden)};
        for (int32_t k = 0; k < 4; ++k)
            items.push_back(Item(LabelSideNames()[static_cast<size_t>(k)], side == k));
        break;
    }
    case kPropArrow: {
        if (!b) break;
        DrawingModified = true;
        const TBranchCaption& a = b->Caption(5);
        items = {Item(Show(), a.shown != 0), Item(Ru("Свежая"), a.colour == 255),
                 Item(Ru("Исходящая"), a.colour == 16711680),
                 Item(DefaultItem(), b->showFlag != 0)};
        if (b->kind == kKindPolyLine) items.push_back(Item(AngleItem()));
        items.push_back(Position("x=%d : y=%d", a.anchor));
        break;
    }
    case kPropPictureSize:
        if (f->kind == kKindPicture)
            items = {Item(DefaultItem(), !static_cast<TGPicture*>(f)->ownSizeFlag)};
        break;
    case kPropSymbolSize:
        if (f->kind == kKindSymbol)
            items = {Item(DefaultItem(), !static_cast<TGUO*>(f)->ownSizeFlag)};
        break;
    case kPropPictureDevice:
        if (f->kind == kKindPicture)
            for (int32_t k = 0; k < 7; ++k)
                items.push_back(
                    Item(DeviceKindNames()[static_cast<size_t>(k)], DeviceKindOf(*f) == k));
        break;
    case kPropSymbolDevice:
        if (f->kind == kKindSymbol)
            for (int32_t k = 0; k < 7; ++k)
                items.push_back(
                    Item(SymbolDeviceKindNames()[static_cast<size_t>(k)], DeviceKindOf(*f) == k));
        break;
    case kPropCalcData:
        if (b) items = {Item(Show(), b->callout.shown != 0)};
        break;
    case kPropPhoto: {
        TFileDialogRequest request;
        request.filter = Ru("Графические файлы|*.bmp; *.jpg");
        request.initialDir = PhotoFileFolder();
        // Cancel keeps the name the figure has.
        if (OpenFileDialog(request)) {
            const size_t sep = request.fileName.find_last_of("\\/");
            f->image =
                sep == std::string::npos ? request.fileName : request.fileName.substr(sep + 1);
            DrawingModified = true;
        }
        ShowProperties(false);
        return;
    }
    case kPropVisible:
        for (int k = 0; k < kSchemeCount; ++k)
            items.push_back(Item(SchemeKindNames()[static_cast<size_t>(k)],
                                 f->schemeVisible[static_cast<size_t>(k)] != 0));
        break;
    case kPropLayer:
        for (const TLayerRecord& l : doc.layers.Records()) items.push_back(Item(l.name));
        break;
    default:
        break;
    }
    if (!items.empty() && propDialogs_) propDialogs_->PopupPropMenu(PopMenu, col, row);
}

void TIDrawWin::EditPropertyByMenu(int item) {
    TGCollFigure& doc = *doc_;
    TGCustomFigure* f = doc.CurrentFigure();
    if (!f || item < 0 || item >= static_cast<int>(PopMenu.Items.size())) return;
    const TPropMenuItem it = PopMenu.Items[static_cast<size_t>(item)];
    if (it.Separator || IsPositionItem(it.Caption)) return;
    auto* b = f->IsBranch() ? static_cast<TGBranch*>(f) : nullptr;
    bool changed = true;
    switch (PopMenu.Tag) {
    case kPropType:
        f->style = item;
        ApplyStyleAttributes(*f, kAfterTypeChoice);
        break;
    case kPropName:
        if (!b) break;
        if (it.Caption == Show()) {
            Toggle(b->switchA);
            CopyToGroup(kPropName);
        } else if (it.Caption == AngleItem()) {
            EditAngle(kPropName);
        }
        break;
    case kPropBranch:
        if (b) Toggle(b->switchB);
        CopyToGroup(kPropBranch);
        break;
    case kPropBeginNode: {
        if (!doc.nodes.Valid(it.Tag)) break;
        TNodeRecord& n = doc.nodes.Record(it.Tag);
        if (item <= 1)
            n.kind = item;
        else if (it.Caption == Show())
            Toggle(n.shown);
        else
            Toggle(n.flag);
        break;
    }
    case kPropWidth:
        SetDefaultWidthFlag(*f, !DefaultWidthFlag(*f));
        if (DefaultWidthFlag(*f))
            f->SetWidth(f->layer != 0 && doc.layers.Exists(f->layer)
                            ? doc.layers.Layer(f->layer).width
                            : DrawingGlobals().WidthDefault);
        CopyToGroup(kPropWidth);
        break;
    case kPropColour:
        if (it.Caption == DefaultItem()) {
            SetColourFromLayerFlag(*f, true);
            ApplyStyleAttributes(*f, kAfterColourDefault);
            CopyToGroup(kPropColour);
        } else {
            RunPenBrushDialog();
        }
        break;
    case kPropFlows:
        if (!b) break;
        if (it.Caption == Show()) {
            Toggle(b->Caption(1).shown);
            CopyToGroup(kPropFlows);
        } else {
            EditAngle(kPropFlows);
        }
        break;
    case kPropPla: {
        if (!b) break;
        TPlaCopy what = TPlaCopy::Shown;
        size_t kind = 0;
        if (it.Caption == Show()) {
            Toggle(b->Caption(3).shown);
        } else if (item >= 2 && item <= 7) {
            kind = static_cast<size_t>(item - 2);
            Toggle(b->marks[kind].flag);
            what = TPlaCopy::AccidentKind;
        } else {
            int32_t colour = b->Caption(3).colour;
            if (!propDialogs_ || !propDialogs_->ChooseColor(colour)) {
                changed = false;
                break;
            }
            b->Caption(3).colour = colour;
            what = TPlaCopy::Colour;
        }
        doc.CopyPlaMarks(doc.current);
        CopyPlaToGroup(what, kind);
        break;
    }
    case kPropText:
        EditAngle(kPropText);
        break;
    case kPropPictureName:
    case kPropSymbolName: {
        uint8_t& hidden = f->kind == kKindPicture ? static_cast<TGPicture*>(f)->captionHidden
                                                  : static_cast<TGUO*>(f)->captionHidden;
        int32_t& side = f->kind == kKindPicture ? static_cast<TGPicture*>(f)->captionPosition
                                                : static_cast<TGUO*>(f)->captionPosition;
        if (item == 0)
            Toggle(hidden);
        else
            side = item - 1;
        break;
    }
    case kPropArrow: {
        if (!b) break;
        TBranchCaption& a = b->Caption(5);
        if (item == 0) {
            Toggle(a.shown);
        } else if (item == 1 || item == 2) {
            // The mark toggles; the colour follows only when it becomes set.
            if (!it.Checked) a.colour = item == 1 ? 255 : 16711680;
        } else if (item == 3) {
            Toggle(b->showFlag);
        } else if (it.Caption == AngleItem()) {
            EditAngle(kPropArrow);
        }
        CopyToGroup(kPropArrow);
        break;
    }
    case kPropPictureSize:
    case kPropSymbolSize: {
        uint8_t& own = f->kind == kKindPicture ? static_cast<TGPicture*>(f)->ownSizeFlag
                                               : static_cast<TGUO*>(f)->ownSizeFlag;
        int32_t& size = f->kind == kKindPicture ? static_cast<TGPicture*>(f)->ownSize
                                                : static_cast<TGUO*>(f)->ownSize;
        // Either way the size shown stays: the figure's own size starts
        // from the drawing's symbol size it showed.
        Toggle(own);
        size = doc.settings.symbolSize;
        break;
    }
    case kPropPictureDevice:
    case kPropSymbolDevice:
        SetDeviceKind(*f, item);
        break;
    case kPropCalcData:
        if (b) Toggle(b->callout.shown);
        CopyToGroup(kPropCalcData);
        break;
    case kPropVisible:
        if (item < kSchemeCount) Toggle(f->schemeVisible[static_cast<size_t>(item)]);
        CopyToGroup(kPropVisible);
        break;
    case kPropLayer:
        f->layer = item;
        if (StyleKind(f->kind)) ApplyStyleAttributes(*f, kAfterLayerChange);
        CopyToGroup(kPropLayer);
        break;
    default:
        changed = false;
        break;
    }
    if (changed) DrawingModified = true;
    if (doc.CurrentFigure()) {
        doc.StoreShownAttrs(*doc.CurrentFigure());
        ShowProperties(false);
    }
    Repaint();
}

void TIDrawWin::RunPenBrushDialog() {
    TGCustomFigure* f = doc_->CurrentFigure();
    if (!f || !propDialogs_) return;
    TPenBrushDlgState state = PenBrushStateOf(*doc_, *f);
    if (!propDialogs_->PenBrushDialog(state)) return;
    ApplyPenBrushState(state, *f);
    CopyToGroup(kPropColour);
}

void TIDrawWin::EditAngle(int id) {
    TGCustomFigure* f = doc_->CurrentFigure();
    if (!f || !propDialogs_) return;
    auto* b = f->IsBranch() ? static_cast<TGBranch*>(f) : nullptr;
    if (id != kPropText && !b) return;
    TFormAngleState state;
    int shown = 0;
    bool turned = false;
    if (id == kPropText) {
        // A text keeps whole degrees of -90..90 and shows them as they are.
        shown = RoundI(f->angle);
    } else {
        const double current = id == kPropName ? (b->labelAngle != -1.0 ? b->labelAngle : b->angle)
                               : id == kPropFlows ? b->Caption(1).angle
                                                  : b->Caption(5).angle;
        shown = WholeDegrees(current);
        TPoint from = b->Begin(), to = b->End();
        if (id == kPropFlows && b->kind == kKindLine && b->flowReversed == 1) std::swap(from, to);
        if (b->kind == kKindPolyLine) {
            const auto* p = static_cast<const TGPolyLine*>(b);
            if (p->bendCount > 0 && static_cast<size_t>(p->bendCount) <= p->bends.size())
                from = p->bends[static_cast<size_t>(p->bendCount - 1)];
        }
        int parallel = SegmentAngle(from, to);
        if (parallel < 0) parallel += 360;
        turned = id == kPropArrow && b->flowReversed == 1;
        if (turned) {
            shown = (shown + 180) % 360;
            parallel = (parallel + 180) % 360;
        }
        state.STParallel = Ru("Параллельно: ") + IntToStr(parallel);
    }
    state.MaskEditAngle = IntToStr(shown);
    if (!propDialogs_->AngleDialog(state)) return;
    int degrees = 0;
    if (!ReadAngleDegrees(state, degrees)) {
        MessageBox(DrawingMessages().invalidValue, "", TMsgButtons::Ok, TMsgIcon::Error);
        return;
    }
    switch (id) {
    case kPropText:
        f->angle = std::clamp(degrees, -90, 90);
        break;
    case kPropName:
        b->labelAngle = degrees * kPi / 180.0;
        break;
    case kPropFlows:
        b->Caption(1).angle = degrees * kPi / 180.0;
        break;
    case kPropArrow:
        if (turned) degrees = ((degrees - 180) % 360 + 360) % 360;
        b->Caption(5).angle = degrees * kPi / 180.0;
        b->showFlag = 0;
        break;
    default:
        break;
    }
}

void TIDrawWin::RunPictureChooser(bool symbol) {
    TGCustomFigure* f = doc_->CurrentFigure();
    if (!f || !propDialogs_) return;
    TEnterPicState state;
    EnterPicFormCreate(state, *doc_);
    if (symbol) {
        state.SPicEnabled = false;
        EnterPicSelListChange(state, static_cast<TGUO*>(f)->symbolIndex);
    } else {
        EnterPicSPicClick(state, *doc_);
        state.SUOEnabled = false;
        EnterPicSelListChange(state, static_cast<TGPicture*>(f)->imageIndex);
    }
    if (!propDialogs_->EnterPicDialog(state) || state.ItemIndex < 0) return;
    std::string message;
    if (doc_->ApplyPropertyEdit(symbol ? kPropSymbolIcon : kPropBitmap, IntToStr(state.ItemIndex),
                                message))
        DrawingModified = true;
    doc_->StoreShownAttrs(*f);
    ShowProperties(false);
    Repaint();
}

void TIDrawWin::BPicClick() {
    // The picture tool is chosen before the chooser opens: the tool in
    // progress ends and the BPic button shows pressed while the user chooses.
    SetToolMode(6);
    TEnterPicState state;
    EnterPicFormCreate(state, *doc_);
    if (propDialogs_ && propDialogs_->EnterPicDialog(state)) {
        PicChosenName = EnterPicChosenName(state);
        PicChosenIndex = std::max(0, state.ItemIndex);
        PicChosenSymbol = !state.SPicChecked;
        // The plan's picture tool places it at the next click.
        BPicChosen({PicChosenName, PicChosenIndex, !PicChosenSymbol});
        return;
    }
    ASelectExecute();
}

} // namespace arv
