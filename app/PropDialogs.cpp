#include "app/PropDialogs.h"

#include "app/PropInspector.h"
#include "document/Branch.h"
#include "document/Document.h"
#include "document/DrawingGlobals.h"
#include "document/Render.h"
#include "platform/Canvas.h"
#include "platform/Cp1251.h"
#include "platform/NumberParse.h"

#include <algorithm>
#include <cmath>

namespace arv {

const std::array<std::string, 5>& PenStyleNames() {
    static const auto t =
        RuTable({"Сполошная", "Пунктирная 1", "Пунктирная 2", "Пунктирная 3", "Пунктирная 4"});
    return t;
}

const std::array<std::string, 3>& TypeLineNames() {
    static const auto t = RuTable({"Одинарная", "Двойная", "Двойная с заливкой"});
    return t;
}

const std::array<std::string, 8>& BrushStyleNames() {
    static const auto t =
        RuTable({"Сплошная", "Прозрачная", "Горизонтальная", "Вертикальная", "Диагональная лев.",
                 "Диагональная прав.", "Сетка", "Сетка диагональная"});
    return t;
}

TStyleSource StyleSourceOf(const TGCollFigure& doc, const TGCustomFigure& f) {
    TStyleSource s;
    if (f.layer != 0 && doc.layers.Exists(f.layer)) {
        const TLayerRecord& l = doc.layers.Layer(f.layer);
        s.style = l.style;
        s.colour = l.colour;
        s.penWidth = l.penWidth;
        s.lineWidth = l.width;
    } else {
        const TDrawingGlobals& g = DrawingGlobals();
        s.style = g.DefaultBranchStyle;
        s.colour = g.DefLineColor;
        s.penWidth = CurrentSchemeRecord().penWidth;
        s.lineWidth = g.WidthDefault;
    }
    return s;
}

int32_t EffectiveStyle(const TGCollFigure& doc, const TGCustomFigure& f) {
    if (f.style != 0) return f.style;
    // The source's style byte counts from 1 ("Одинарная"); a layer without
    // a style of its own draws in the drawing's default.
    const int32_t s = StyleSourceOf(doc, f).style;
    return s != 0 ? s : DrawingGlobals().DefaultBranchStyle;
}

void ApplyLineStyle(TGCustomFigure& f, int32_t s, const TStyleSource& src) {
    switch (s) {
    case 1:
    case 2:
        f.pen.colour = src.colour;
        f.brush.colour = src.colour;
        f.pen.width = src.penWidth;
        f.pen.style = 0;
        f.brush.style = s == 1 ? 0 : 1;
        break;
    case 3:
        f.pen.colour = 0;
        f.brush.colour = src.colour;
        f.pen.width = src.penWidth;
        f.pen.style = 0;
        f.brush.style = 0;
        break;
    case 4:
        f.pen.colour = 0;
        f.brush.colour = src.colour;
        f.pen.width = 1;
        f.pen.style = 2;
        f.brush.style = 1;
        break;
    default:
        break;
    }
}

TPenBrushDlgState PenBrushStateOf(const TGCollFigure& doc, const TGCustomFigure& f) {
    TPenBrushDlgState s;
    const int32_t style = EffectiveStyle(doc, f);
    // Only the first three line types are in the list; "Пунктирная" and the
    // shape styles show none.
    s.ComboTypeLine = style >= 1 && style <= 3 ? style - 1 : -1;
    if (ColourFromLayerFlag(f)) {
        const TStyleSource src = StyleSourceOf(doc, f);
        s.PenColor = src.colour;
        s.BrushColor = src.colour;
        s.UpDownPenWidth = src.penWidth;
        s.UpDownLineWidth = src.lineWidth;
        s.ComboPenStyle = 0;
        s.ComboBrushStyle = DrawingGlobals().DefaultBranchStyle == 2 ? 1 : 0;
    } else {
        s.PenColor = f.pen.colour;
        s.BrushColor = f.brush.colour;
        s.UpDownPenWidth = f.pen.width;
        s.UpDownLineWidth = f.width;
        s.ComboPenStyle = f.pen.style <= 4 ? f.pen.style : -1;
        s.ComboBrushStyle = f.brush.style <= 7 ? f.brush.style : -1;
    }
    s.PlaColor = 0xFFFFFF;
    if (f.IsBranch()) {
        const auto& pla = static_cast<const TGBranch&>(f).Caption(3);
        if (pla.b >= 1) s.PlaColor = pla.colour;
    }
    return s;
}

void ApplyPenBrushState(const TPenBrushDlgState& state, TGCustomFigure& f) {
    // No line type chosen keeps the figure's own.
    if (state.ComboTypeLine >= 0 && state.ComboTypeLine <= 2) f.style = state.ComboTypeLine + 1;
    SetColourFromLayerFlag(f, false);
    SetDefaultWidthFlag(f, false);
    f.pen.colour = state.PenColor;
    f.brush.colour = state.BrushColor;
    f.pen.width = std::max(0, state.UpDownPenWidth);
    f.SetWidth(std::max(0, state.UpDownLineWidth));
    if (state.ComboPenStyle >= 0 && state.ComboPenStyle <= 4)
        f.pen.style = static_cast<uint8_t>(state.ComboPenStyle);
    if (state.ComboBrushStyle == 1) {
        // A clear fill is a double line; a single line has no inside.
        if (f.style != 1) {
            f.brush.style = 1;
            f.style = 2;
        }
    } else if (state.ComboBrushStyle >= 0 && state.ComboBrushStyle <= 7) {
        f.brush.style = static_cast<uint8_t>(state.ComboBrushStyle);
    }
}

int32_t ColorLabelFontColor(int32_t colour) {
    return colour == 0 ? 0xFFFFFF : 0;
}

int WholeDegrees(double radians) {
    int d = static_cast<int>(std::lround(radians * 180.0 / kPi)) % 360;
    if (d < 0) d += 360;
    return d;
}

bool ReadAngleDegrees(const TFormAngleState& state, int& degrees) {
    return TryStrToInt(Trim(state.MaskEditAngle), degrees);
}

void FormAngleActivate(TFormAngleState& state) {
    state.AutoSelect = true;
}

int& EnterPicLastIndex() {
    static int index = 0;
    return index;
}

namespace {

void FillEnterPicList(TEnterPicState& state, const TGCollFigure& doc) {
    state.SelList.clear();
    if (state.SPicChecked)
        for (const TImageEntry& e : doc.images.entries) state.SelList.push_back(e.name);
    else
        for (const TSymbolRecord& s : doc.symbols.symbols) state.SelList.push_back(s.name);
    state.ItemIndex = -1;
    if (state.SelList.empty()) return;
    const int last = EnterPicLastIndex();
    // A remembered index beyond this list chooses nothing.
    EnterPicSelListChange(state,
                          last >= 0 && last < static_cast<int>(state.SelList.size()) ? last : -1);
}

} // namespace

void EnterPicFormCreate(TEnterPicState& state, const TGCollFigure& doc) {
    state.SPicChecked = false;
    FillEnterPicList(state, doc);
}

void EnterPicSPicClick(TEnterPicState& state, const TGCollFigure& doc) {
    state.SPicChecked = true;
    FillEnterPicList(state, doc);
}

void EnterPicSUOClick(TEnterPicState& state, const TGCollFigure& doc) {
    state.SPicChecked = false;
    FillEnterPicList(state, doc);
}

void EnterPicSelListChange(TEnterPicState& state, int index) {
    state.ItemIndex = index;
    if (index < 0 || index >= static_cast<int>(state.SelList.size())) return;
    if (!state.SPicChecked) EnterPicLastIndex() = index;
}

std::string EnterPicChosenName(const TEnterPicState& state) {
    if (state.ItemIndex < 0 || state.ItemIndex >= static_cast<int>(state.SelList.size())) return {};
    return state.SelList[static_cast<size_t>(state.ItemIndex)];
}

void DrawSymbolPreview(TCanvas& canvas, const TSymbolRecord& symbol, int w, int h,
                       int32_t buttonFace) {
    const int cx = w / 2, cy = h / 2;
    auto at = [&](TPoint p) { return TPoint{cx + p.x, cy - p.y}; };
    auto setBrush = [&](int32_t code) {
        if (code >= 1 && code < static_cast<int32_t>(SymbolColors.size())) {
            canvas.brush.style = TBrushStyle::Solid;
            canvas.brush.colour = SymbolColors[static_cast<size_t>(code)];
        } else {
            canvas.brush.style = TBrushStyle::Clear;
            canvas.brush.colour = buttonFace;
        }
    };
    canvas.brush = TBrush{buttonFace, TBrushStyle::Solid};
    canvas.FillRect({0, 0, w, h});
    canvas.pen = TPen{};
    canvas.pen.colour = 0;
    canvas.pen.width = 1;
    const int count = std::clamp(symbol.count, 0, kMaxPrimitives);
    for (int i = 0; i < count; ++i) {
        const TSymbolPrimitive& p = symbol.prims[static_cast<size_t>(i)];
        const TPoint a = at(p.points[0]), b = at(p.points[1]), c = at(p.points[2]),
                     d = at(p.points[3]);
        switch (p.kind) {
        case 'a':
            setBrush(p.fields[1]);
            canvas.Pie(a.x, a.y, b.x, b.y, d.x, d.y, c.x, c.y);
            break;
        case 'c': {
            setBrush(p.fields[2]);
            const int32_t r = p.fields[0];
            canvas.Ellipse(c.x - r, c.y - r, c.x + r, c.y + r);
            break;
        }
        case 'l':
            canvas.brush.style = TBrushStyle::Clear;
            canvas.MoveTo(a.x, a.y);
            canvas.LineTo(b.x, b.y);
            break;
        case 'r': {
            setBrush(p.fields[1]);
            const TCanvasPoint q[4] = {{a.x, a.y}, {b.x, b.y}, {c.x, c.y}, {d.x, d.y}};
            canvas.Polygon(q, 4);
            break;
        }
        default:
            break;
        }
    }
}

} // namespace arv
