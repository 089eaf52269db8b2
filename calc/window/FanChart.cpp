#include "calc/window/FanChart.h"

#include "calc/files/Settings.h"
#include "calc/model/DecimalText.h"
#include "calc/window/NotAvailable.h"

#include "platform/Cp1251.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace arv {

namespace {

double NumberOr0(const std::string& text) {
    double v = 0;
    return TryCellToFloat(text, v) && std::isfinite(v) ? v : 0;
}

class TPlainFanChart : public IFanChartWindow {
public:
    TWindowPlace Place() const override {
        return ReadWindowPlace(TIniFile(SettingsFileName()), "FGrafic", {10, 10, 300, 300});
    }
    void ShowChart(const TFanChartRequest&) override {
        ShowNotAvailable(Ru("График работы вентилятора"));
    }
};

TPlainFanChart plainChart;
IFanChartWindow* chartWindow = &plainChart;

} // namespace

double TFanChartLayout::X(double q) const {
    return PlotLeft + q * PlotWidth / FlowRange();
}

double TFanChartLayout::Y(double h) const {
    return PlotTop + PlotHeight - h * PlotHeight / PressureRange();
}

int FanAxisDivision(double v) {
    // Ranges of no meaning (no zero crossing, overflow) still get an axis.
    if (!std::isfinite(v)) return 1;
    v = std::min(v, 1e9);
    int64_t division;
    if (v <= 100)
        division = Round(v / 10 + 0.5);
    else if (v <= 150)
        division = 15;
    else if (v <= 200)
        division = 20;
    else
        division = 10 * Round(v / 100 + 0.5);
    return division < 1 ? 1 : static_cast<int>(division);
}

TFanChartLayout LayoutFanChart(const TFanChartRequest& request, int flowUnit, int width,
                               int height) {
    TFanChartLayout l;
    l.Width = width;
    l.Height = height;
    l.PlotWidth = width - 100;
    l.PlotHeight = height - 70;
    double a = NumberOr0(request.A), b = NumberOr0(request.B), c = NumberOr0(request.C);
    const double hp = std::fabs(NumberOr0(request.Depression));
    double qp = std::fabs(NumberOr0(request.Flow) / (flowUnit > 0 ? flowUnit : 1));
    l.HasOperatingPoint = !request.Flow.empty();
    if (l.HasOperatingPoint) {
        l.FlowText = FormatFloat("####0.00", qp);
        l.DepressionText = Format("%6.2f", {hp});
    }
    if (qp == 0) qp = 100;
    l.OperatingPoint = {qp, hp};
    // A reversed fan's curve is drawn as a normal one.
    if (c < 0) {
        a = -a;
        c = -c;
    }
    l.A = a;
    l.B = b;
    l.C = c;

    if (a != 0) {
        double d = b * b - 4 * a * c;
        if (d >= 0) d = std::sqrt(d);
        const double r1 = (-b - d) / (2 * a), r2 = (-b + d) / (2 * a);
        l.Qmax = std::max(r1, r2);
        l.Hmax = (4 * a * c - b * b) / (4 * a);
    } else {
        l.Qmax = b != 0 ? -c / b : 100;
        l.Hmax = c + 10;
    }
    l.FlowDivision = FanAxisDivision(l.Qmax);
    l.PressureDivision = FanAxisDivision(l.Hmax);

    for (int i = 0; i <= 10; ++i) {
        l.FlowTicks.push_back(Format("%3d", {i * l.FlowDivision}));
        l.PressureTicks.push_back(Format("%3d", {i * l.PressureDivision}));
    }
    l.FlowCaption = Ru("Q,м3/с");
    l.PressureCaption = Ru("H,мм.вд.ст.");
    l.Title = Ru("Вентилятор  ") + request.TypeName + Ru(", угол лопаток ") + request.BladeAngle;

    // One pixel of the flow axis per step; the curve never runs past the
    // axis, whatever the zero-pressure flow came out as.
    if (l.PlotWidth > 0) {
        const double step = l.FlowRange() / l.PlotWidth;
        for (int i = 0; i <= l.PlotWidth; ++i) {
            const double q = i * step;
            const double h = a * q * q + b * q + c;
            if (!(h > 0) || !(q < l.Qmax)) break;
            l.Curve.push_back({q, h});
        }
    }
    return l;
}

void InstallFanChartWindow(IFanChartWindow* window) {
    chartWindow = window ? window : &plainChart;
    InstallFanChartHost(window);
}

IFanChartWindow& FanChartWindow() {
    return *chartWindow;
}

} // namespace arv
