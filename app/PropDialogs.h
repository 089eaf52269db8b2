// The small dialogs of the inspector and the picture tool, as state objects:
// the window shows a state and hands it back; filling it from a figure and
// writing it back happen here, so they test without a window.
#pragma once

#include "document/Geometry.h"
#include "document/SymbolLibrary.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace arv {

class TCanvas;
class TGCollFigure;
class TGCustomFigure;

// "Цвет, стиль": pen and fill of a figure.
struct TPenBrushDlgState {
    int ComboTypeLine = 0;       // -1: no line type chosen
    int32_t PenColor = 0;        // LPenColor
    int32_t BrushColor = 0;      // LBrushColor
    int32_t PlaColor = 0xFFFFFF; // LPlaColor, shown only
    int UpDownPenWidth = 1;
    int UpDownLineWidth = 1;
    int ComboPenStyle = 0;   // 0..4, -1 none
    int ComboBrushStyle = 0; // 0..7, -1 none
};
const std::array<std::string, 5>& PenStyleNames();
const std::array<std::string, 3>& TypeLineNames();
const std::array<std::string, 8>& BrushStyleNames();

// The source of a figure's default attributes: its layer record when it
// lies on a layer other than 0, else the drawing defaults.
struct TStyleSource {
    int32_t style = 1; // 1-based, as the figure's style index
    int32_t colour = 0;
    int32_t penWidth = 1;
    int32_t lineWidth = 1;
};
TStyleSource StyleSourceOf(const TGCollFigure& doc, const TGCustomFigure& f);
// The style a figure is drawn with: its own index, or the source's when it
// has none (0); never 0.
int32_t EffectiveStyle(const TGCollFigure& doc, const TGCustomFigure& f);
// Pen, fill colours and widths of a line style s (1..4) from a source; other
// styles change nothing.
void ApplyLineStyle(TGCustomFigure& f, int32_t s, const TStyleSource& src);

// The dialog opened on a figure.
TPenBrushDlgState PenBrushStateOf(const TGCollFigure& doc, const TGCustomFigure& f);
// OK pressed: the dialog's values go into the figure.
void ApplyPenBrushState(const TPenBrushDlgState& state, TGCustomFigure& f);
// The label font colour of a colour label: white on black, else black.
int32_t ColorLabelFontColor(int32_t colour);

// "Введите заданный угол".
struct TFormAngleState {
    std::string MaskEditAngle; // whole degrees as text
    std::string STParallel;    // "Параллельно: <degrees>" or ""
    bool AutoSelect = false;   // switched on each time the form is activated
};
// Whole degrees of an angle in radians, 0..359.
int WholeDegrees(double radians);
// The text of the edit read as degrees; false for a text that is no integer.
bool ReadAngleDegrees(const TFormAngleState& state, int& degrees);
void FormAngleActivate(TFormAngleState& state);

// "Выберите картинку": pictures or legend symbols of the libraries.
struct TEnterPicState {
    bool SPicChecked = false; // "Картинка"; else "Условное обозначение"
    bool SPicEnabled = true;
    bool SUOEnabled = true;
    std::vector<std::string> SelList;
    int ItemIndex = -1;
};
// The index last chosen in the symbol list, kept between uses.
int& EnterPicLastIndex();
// Dialog creation: symbols chosen, the list filled from that library.
void EnterPicFormCreate(TEnterPicState& state, const TGCollFigure& doc);
// The radio buttons: the list refilled from the chosen library.
void EnterPicSPicClick(TEnterPicState& state, const TGCollFigure& doc);
void EnterPicSUOClick(TEnterPicState& state, const TGCollFigure& doc);
// A list choice; remembers a symbol's index for the next use.
void EnterPicSelListChange(TEnterPicState& state, int index);
// The chosen name, "" for none.
std::string EnterPicChosenName(const TEnterPicState& state);
// Draws a symbol's design about the centre of a w x h preview (x to the
// right, y upwards) with a black pen of width 1.
void DrawSymbolPreview(TCanvas& canvas, const TSymbolRecord& symbol, int w, int h,
                       int32_t buttonFace);

} // namespace arv
