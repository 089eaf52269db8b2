// The fan chart: the pressure curve H = A·Q² + B·Q + C of a fan over its
// flow range with the fan's operating point. The layout is worked out here,
// without a window; the chart window draws it.
#pragma once

#include "calc/window/WindowHosts.h"

#include <string>
#include <vector>

namespace arv {

// What the chart is asked to show, all as texts (CP1251), as the tables hold them.
struct TFanChartRequest {
    std::string A, B, C;
    std::string BladeAngle;
    std::string TypeName;
    std::string Depression; // "" with Flow "" for no operating point
    std::string Flow;       // in the table's flow unit
    // The fan table row the operating point comes from (-1: a library curve,
    // which has none) and whether that is the reverse-mode table.
    int FanRow = -1;
    bool ReverseTable = false;
    // The flow unit Flow was read in: the chart divides by it, whatever
    // unit is in force when it draws.
    int FlowUnit = 1;
    bool operator==(const TFanChartRequest&) const = default;
};

struct TFanChartPoint {
    double Q = 0;
    double H = 0;
};

struct TFanChartLayout {
    // The picture and its plot area in pixels; the axes cross at the plot's
    // bottom-left corner (PlotLeft, PlotTop + PlotHeight).
    int Width = 0, Height = 0;
    int PlotLeft = 40, PlotTop = 30, PlotWidth = 0, PlotHeight = 0;
    double A = 0, B = 0, C = 0;
    // Flow at zero pressure and the pressure range.
    double Qmax = 0, Hmax = 0;
    // Each axis has 10 divisions of this size.
    int FlowDivision = 1, PressureDivision = 1;
    double FlowRange() const { return 10.0 * FlowDivision; }
    double PressureRange() const { return 10.0 * PressureDivision; }
    // Pixel of a flow and of a pressure.
    double X(double q) const;
    double Y(double h) const;

    std::vector<TFanChartPoint> Curve;
    bool HasOperatingPoint = false;
    TFanChartPoint OperatingPoint;
    std::string FlowText, DepressionText; // the point's labels after "Q=", "H="

    std::string Title;                                 // CP1251
    std::string FlowCaption, PressureCaption;          // CP1251
    std::vector<std::string> FlowTicks, PressureTicks; // 11 labels each, "%3d"
};

// Division of an axis whose range is v; never below 1.
int FanAxisDivision(double v);
// The layout of a width × height picture; flowUnit divides the flow text.
TFanChartLayout LayoutFanChart(const TFanChartRequest& request, int flowUnit, int width,
                               int height);

// The chart window: created at start-up, shown with a new curve.
class IFanChartWindow : public IPlacedWindow {
public:
    virtual void ShowChart(const TFanChartRequest& request) = 0;
    // The chart on the screen; null while none is shown.
    virtual const TFanChartRequest* ShownChart() const { return nullptr; }
    // Draws another chart in the open window without bringing it up.
    virtual void UpdateChart(const TFanChartRequest& /*request*/) {}
};

// Also installs the window as the chart's placed window for the settings.
// A null argument puts the plain one back (it says the chart is not available).
void InstallFanChartWindow(IFanChartWindow* window);
IFanChartWindow& FanChartWindow();

} // namespace arv
