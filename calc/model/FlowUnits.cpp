#include "calc/model/FlowUnits.h"

#include "calc/model/DecimalText.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <optional>

namespace arv {

namespace {

int KnownUnit(int unit) {
    return unit == 60 ? 60 : 1;
}

// Decimals after the separator of a plain number text; -1 for another form.
int ShownDecimals(std::string_view text) {
    const std::string s = ToPointDecimal(text);
    if (s.find_first_of("eE") != std::string::npos) return -1;
    const size_t dot = s.find('.');
    return dot == std::string::npos ? 0 : static_cast<int>(s.size() - dot - 1);
}

// The decimals that 15 significant digits of `value` take.
int SignificantDecimals(double value) {
    const double a = std::fabs(value);
    if (!(a > 0) || !std::isfinite(a)) return 0;
    return std::clamp(14 - static_cast<int>(std::floor(std::log10(a))), 0, 20);
}

// `value` with `decimals` decimals in a column's form.
std::string FixedText(double value, int decimals, bool consumerForm) {
    if (consumerForm) return Format("%8." + std::to_string(decimals) + "f", {value});
    return FormatFloat(decimals == 0 ? "####0" : "####0." + std::string(decimals, '0'), value);
}

// The fewest decimals from `minDecimals` on whose text lies closer than
// `tolerance` to `value`; 15 significant digits at the most.
std::string ShortestText(double value, int minDecimals, double tolerance, bool consumerForm) {
    const int most = std::max(minDecimals, SignificantDecimals(value));
    for (int d = minDecimals; d < most; ++d) {
        std::string text = FixedText(value, d, consumerForm);
        double back = 0;
        if (TryCellToFloat(text, back) && std::fabs(back - value) < tolerance) return text;
    }
    return FixedText(value, most, consumerForm);
}

using TCellRewrite = std::function<std::string(int row, const std::string& cell)>;

int LastRow(const TModGrid& g) {
    // Cells below the row count show again when it grows.
    return std::max(g.RowCount() - 1, g.LastFilledRow());
}

// Every non-empty data cell of a column up to `last` written anew; true when
// one changed.
bool RewriteColumn(TModGrid& g, int col, int last, const TCellRewrite& rewrite) {
    bool changed = false;
    g.BeginUpdate();
    for (int r = FirstDataRow; r <= last; ++r) {
        const std::string cell = g.Cells(col, r);
        if (Trim(cell).empty()) continue;
        std::string text = rewrite(r, cell);
        if (text == cell) continue;
        g.SetCells(col, r, text);
        changed = true;
    }
    g.EndUpdate();
    return changed;
}

// A computed flow of a row whose column 0 is the branch number: written from
// the last run's flow of that branch while the cell shows that flow (the
// texts of both units then come from one value, and a switch back gives the
// text shown before), else from the flow the last switch wrote it from while
// it shows that, from its own text otherwise.
std::string ComputedFlowInUnit(TNetworkTables& t, const TModGrid& g, int col, int row,
                               const std::string& cell, int fromUnit, int toUnit,
                               bool consumerForm) {
    const std::vector<double>& flow = t.CalcContext().BranchFlow;
    auto shown = [&](double value, int unit) {
        return consumerForm ? Format("%8.2f", {value * unit}) : FlowTextInUnit(value, unit);
    };
    const auto key = std::tuple(g.Name(), col, row);
    auto switched = t.SwitchedFlows.find(key);
    std::optional<double> value;
    const int n = CellToIntDef0(g.Cells(0, row));
    if (n >= 1 && n < static_cast<int>(flow.size()) && shown(flow[n], fromUnit) == cell)
        value = flow[n];
    else if (switched != t.SwitchedFlows.end() && shown(switched->second, fromUnit) == cell)
        value = switched->second;
    if (!value) {
        if (switched != t.SwitchedFlows.end()) t.SwitchedFlows.erase(switched);
        return ShownFlowInUnit(cell, fromUnit, toUnit, consumerForm);
    }
    t.SwitchedFlows[key] = *value;
    return shown(*value, toUnit);
}

} // namespace

std::string FlowTextInUnit(double flowPerSecond, int unit) {
    if (unit != 60) unit = 1;
    return FormatFloat(unit == 1 ? "####0.00" : "####0", flowPerSecond * unit);
}

void WriteFlowUnitHeadings(TNetworkTables& t, int unit) {
    const bool perSecond = unit != 60;
    // The reverse-mode fan table has the fan table's headings.
    for (TModGrid* g : {&t.TablVen, &t.TablVenRev})
        g->SetCells(6, 1, Ru(perSecond ? "воздуха, м3/с" : "воздуха, м3/мин"));
    t.TablPotr.SetCells(2, 1, Ru(perSecond ? "расход, м3/с" : "расход, м3/мин"));
    t.TablPotr.SetCells(3, 1, Ru(perSecond ? "расход, м3/с" : "расход, м3/мин"));
}

std::string TypedFlowInUnit(std::string_view text, int fromUnit, int toUnit) {
    fromUnit = KnownUnit(fromUnit);
    toUnit = KnownUnit(toUnit);
    double value = 0;
    // What is no number stays as typed; preparation names it.
    if (fromUnit == toUnit || Trim(text).empty() || !TryCellToFloat(text, value))
        return std::string(text);
    const double converted = value * toUnit / fromUnit;
    return ShortestText(converted, 0, 1e-14 * std::fabs(converted), false);
}

std::string ShownFlowInUnit(std::string_view text, int fromUnit, int toUnit, bool consumerForm) {
    fromUnit = KnownUnit(fromUnit);
    toUnit = KnownUnit(toUnit);
    double value = 0;
    if (fromUnit == toUnit || Trim(text).empty() || !TryCellToFloat(text, value))
        return std::string(text);
    const int shown = ShownDecimals(text);
    if (shown < 0) return TypedFlowInUnit(text, fromUnit, toUnit);
    const double converted = value * toUnit / fromUnit;
    // Closer than half the last digit shown, so that the way back rounds to
    // the text again.
    const double tolerance = 0.4999 * std::pow(10.0, -shown) * toUnit / fromUnit;
    return ShortestText(converted, consumerForm || toUnit == 1 ? 2 : 0, tolerance, consumerForm);
}

void RewriteReverseRowsInUnit(TModGrid& branches, TModGrid& fans, int lastBranchRow, int lastFanRow,
                              int fromUnit, int toUnit) {
    if (KnownUnit(fromUnit) == KnownUnit(toUnit)) return;
    const TCellRewrite typed = [&](int, const std::string& cell) {
        return TypedFlowInUnit(cell, fromUnit, toUnit);
    };
    const TCellRewrite shown = [&](int, const std::string& cell) {
        return ShownFlowInUnit(cell, fromUnit, toUnit);
    };
    RewriteColumn(branches, 10, lastBranchRow, typed);
    RewriteColumn(branches, 11, lastBranchRow, shown);
    RewriteColumn(branches, 12, lastBranchRow, shown);
    RewriteColumn(fans, 6, lastFanRow, shown);
}

void RewriteFlowsInUnit(TNetworkTables& t, int fromUnit, int toUnit) {
    fromUnit = KnownUnit(fromUnit);
    toUnit = KnownUnit(toUnit);
    if (fromUnit == toUnit) return;
    // Typed into the consumer table shown and not yet taken over: a flow in
    // the unit it was typed in. Taking it over is a change of the data.
    if (t.ActivePage == PageConsumers) t.TablPotrExit();
    // The last run's arrays still describe what they described.
    TResultsWatch::TSuspend normal(t.NormalResults), reverse(t.ReverseResults);
    auto rewrite = [](TModGrid& g, int col, const TCellRewrite& how) {
        if (RewriteColumn(g, col, LastRow(g), how)) g.Modified = true;
    };
    auto computed = [&t, fromUnit, toUnit](TModGrid& g, int col, bool consumerForm) -> TCellRewrite {
        return [&t, &g, col, fromUnit, toUnit, consumerForm](int r, const std::string& cell) {
            return ComputedFlowInUnit(t, g, col, r, cell, fromUnit, toUnit, consumerForm);
        };
    };
    const TCellRewrite typed = [&](int, const std::string& cell) {
        return TypedFlowInUnit(cell, fromUnit, toUnit);
    };
    TModGrid& dan = t.TablDan;
    TModGrid& potr = t.TablPotr;
    // The consumer table shows the branch table's required flows: each is
    // written anew from the branch table's before that changes, rounded
    // where it was. Converted from its own rounded text, it would flow back
    // as another value.
    rewrite(potr, 2, [&](int r, const std::string& cell) {
        const std::string key = Trim(potr.Cells(0, r));
        for (int d = FirstDataRow; !key.empty() && d < dan.RowCount(); ++d) {
            if (Trim(dan.Cells(0, d)) != key) continue;
            const std::string& required = dan.Cells(10, d);
            const std::string exact = TypedFlowInUnit(required, fromUnit, toUnit);
            double value = 0;
            if (cell != required && ShowsRequiredFlow(cell, required) &&
                TryCellToFloat(exact, value))
                return Format("%8.2f", {value});
            return exact;
        }
        return TypedFlowInUnit(cell, fromUnit, toUnit);
    });
    rewrite(dan, 10, typed);
    // The reverse table's normal-mode flow is a copy of the branch table's.
    std::map<std::string, std::pair<std::string, std::string>> normalFlow;
    rewrite(dan, 11, [&](int r, const std::string& cell) {
        std::string text = ComputedFlowInUnit(t, dan, 11, r, cell, fromUnit, toUnit, false);
        normalFlow.emplace(Trim(dan.Cells(0, r)), std::pair(cell, text));
        return text;
    });
    rewrite(dan, 12, computed(dan, 12, false));
    TModGrid& rev = t.TablDanRev;
    rewrite(rev, 10, typed);
    rewrite(rev, 11, [&](int r, const std::string& cell) {
        auto copy = normalFlow.find(Trim(rev.Cells(0, r)));
        if (copy != normalFlow.end() && copy->second.first == cell) return copy->second.second;
        return ComputedFlowInUnit(t, rev, 11, r, cell, fromUnit, toUnit, false);
    });
    rewrite(rev, 12, computed(rev, 12, false));
    rewrite(t.TablVen, 6, computed(t.TablVen, 6, false));
    rewrite(t.TablVenRev, 6, computed(t.TablVenRev, 6, false));
    rewrite(potr, 3, computed(potr, 3, true));
    WriteFlowUnitHeadings(t, toUnit);
    // The unit travels with the data even where no flow was typed yet.
    dan.Modified = true;
}

} // namespace arv
