#include "calc/model/FlowUnits.h"

#include "calc/model/DecimalText.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace arv {

namespace {

// Required flows (typed by the user), computed flows in the branch and fan
// tables' form, computed flows in the consumer table's form.
enum class TFlowCell { Typed, Result, ConsumerResult };

// A typed flow must mean after the switch what it meant before: 7 m3/min is
// 0,116667 m3/s, not 0,12. Six decimals hold any flow far below the
// solver's finest step.
std::string TypedFlowText(double value, int unit) {
    std::string text;
    for (int decimals = unit == 1 ? 2 : 0; decimals <= 6; ++decimals) {
        text = FormatFloat(decimals == 0 ? "####0" : "####0." + std::string(decimals, '0'), value);
        double back = 0;
        if (TryCellToFloat(text, back) &&
            std::fabs(back - value) <= 1e-9 * std::max(1.0, std::fabs(value)))
            break;
    }
    return text;
}

// Converts one column of a table; true when a cell changed.
bool RewriteColumn(TModGrid& g, int col, TFlowCell kind, int fromUnit, int toUnit) {
    bool changed = false;
    // Cells below the row count show again when it grows.
    const int last = std::max(g.RowCount() - 1, g.LastFilledRow());
    for (int r = FirstDataRow; r <= last; ++r) {
        const std::string& cell = g.Cells(col, r);
        double shown = 0;
        // What is no number stays as typed; preparation names it.
        if (Trim(cell).empty() || !TryCellToFloat(cell, shown)) continue;
        const double perSecond = shown / fromUnit;
        std::string text;
        switch (kind) {
        case TFlowCell::Typed:
            text = TypedFlowText(perSecond * toUnit, toUnit);
            break;
        case TFlowCell::Result:
            text = FlowTextInUnit(perSecond, toUnit);
            break;
        case TFlowCell::ConsumerResult:
            text = Format("%8.2f", {perSecond * toUnit});
            break;
        }
        if (text == cell) continue;
        g.SetCells(col, r, text);
        changed = true;
    }
    return changed;
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

void RewriteFlowsInUnit(TNetworkTables& t, int fromUnit, int toUnit) {
    if (fromUnit != 60) fromUnit = 1;
    if (toUnit != 60) toUnit = 1;
    if (fromUnit == toUnit) return;
    // Every flow keeps its meaning: the last run's arrays still describe
    // the tables.
    TResultsWatch::TSuspend normal(t.NormalResults), reverse(t.ReverseResults);
    struct TColumn {
        TModGrid& grid;
        int col;
        TFlowCell kind;
    };
    const TColumn columns[] = {
        {t.TablDan, 10, TFlowCell::Typed},     {t.TablDan, 11, TFlowCell::Result},
        {t.TablDan, 12, TFlowCell::Result},    {t.TablDanRev, 10, TFlowCell::Typed},
        {t.TablDanRev, 11, TFlowCell::Result}, {t.TablDanRev, 12, TFlowCell::Result},
        {t.TablVen, 6, TFlowCell::Result},     {t.TablVenRev, 6, TFlowCell::Result},
        {t.TablPotr, 2, TFlowCell::Typed},     {t.TablPotr, 3, TFlowCell::ConsumerResult},
    };
    for (const TColumn& c : columns) {
        c.grid.BeginUpdate();
        if (RewriteColumn(c.grid, c.col, c.kind, fromUnit, toUnit)) c.grid.Modified = true;
        c.grid.EndUpdate();
    }
    WriteFlowUnitHeadings(t, toUnit);
    // The unit travels with the data even where no flow was typed yet.
    t.TablDan.Modified = true;
}

} // namespace arv
