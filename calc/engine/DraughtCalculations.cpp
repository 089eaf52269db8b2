#include "calc/engine/DraughtCalculations.h"

#include "calc/engine/NetworkPreparation.h"
#include "calc/model/BranchTypes.h"
#include "calc/model/DecimalText.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/Services.h"

#include <algorithm>
#include <cmath>

namespace arv {

namespace {

// The air parameters are read without a word about bad text.
double PlainNumber(std::string_view text) {
    double v = 0;
    return TryCellToFloat(text, v) ? v : 0;
}

bool IsNaturalDraughtRow(const TModGrid& g, int row) {
    return BranchKindOfCell(g.Cells(3, row)) == BranchType::NaturalDraught;
}

bool InList(const std::vector<int32_t>& list, int first, int last, int node) {
    for (int i = first; i <= last && i < static_cast<int>(list.size()); ++i)
        if (list[i] == node) return true;
    return false;
}

// The surface node of an "ЕТ" branch: its end node when that is on the
// surface, else its start node when that is; 0 when neither.
int SurfaceNodeOfRow(const TModGrid& g, int row, const TCalcContext& c) {
    const int begin = CellToIntDef0(g.Cells(1, row));
    const int end = CellToIntDef0(g.Cells(2, row));
    int node = 0;
    if (begin != 0 && InList(c.SurfaceNodeList, 1, MaxSurfaceNodes, begin)) node = begin;
    if (end != 0 && InList(c.SurfaceNodeList, 1, MaxSurfaceNodes, end)) node = end;
    return node;
}

double ElevationOf(const TCalcContext& c, int node) {
    return node >= 1 && node <= MaxNodeCount ? c.NodeElevation[node] : 0;
}

} // namespace

void Rasc_ETClick(TNetworkTables& t, TCalcContext& c) {
    TModGrid& g = t.TablDan;
    PrepareNetwork(t, c);
    const double tnar = PlainNumber(t.Tnar), tsh = PlainNumber(t.Tsh);
    const double pnar = PlainNumber(t.Pnar), psh = PlainNumber(t.Psh);
    // Air density in kg/m3 from the barometric pressure in mm Hg.
    const double outsideDensity = 0.455 * pnar / (273 + tnar);
    const double mineDensity = 0.455 * psh / (273 + tsh);

    double zMax = 0, zMin = 9999;
    for (int r = FirstDataRow; r < g.RowCount(); ++r) {
        if (!IsNaturalDraughtRow(g, r)) continue;
        const int node = SurfaceNodeOfRow(g, r, c);
        if (node == 0) {
            SetScreenCursor(TCursor::Default);
            ShowMessage(Ru("Ветвь с типом \"ЕТ\" должна иметь узел поверхности"));
            t.GotoBranchRow(1, r);
            return;
        }
        const double z = ElevationOf(c, node);
        if (z == 0) {
            SetScreenCursor(TCursor::Default);
            ShowMessage(Ru("Не указана отметка поверхности для узла ") + IntToStr(node));
            t.GotoTableRow(node);
            return;
        }
        zMax = std::max(zMax, z);
        zMin = std::min(zMin, z);
    }

    // Weight of the air columns from the highest surface point down to the
    // lowest, outside air above the branch's own mouth and mine air below.
    double hMin = 99999;
    g.BeginUpdate();
    for (int r = FirstDataRow; r < g.RowCount(); ++r) {
        if (!IsNaturalDraughtRow(g, r)) continue;
        const double h = zMax - ElevationOf(c, SurfaceNodeOfRow(g, r, c));
        const double he = h * outsideDensity + (zMax - zMin - h) * mineDensity;
        g.SetCells(18, r, FormatFloat("####0.00000", he));
        g.Modified = true;
        hMin = std::min(hMin, he);
    }
    g.EndUpdate();

    for (int r = FirstDataRow; r < g.RowCount(); ++r) {
        if (!IsNaturalDraughtRow(g, r)) continue;
        double value = PlainNumber(g.Cells(18, r)) - hMin;
        const int begin = CellToIntDef0(g.Cells(1, r));
        const int end = CellToIntDef0(g.Cells(2, r));
        int sign = 0;
        if (InList(c.SourceNodeList, 1, c.SourceNodeCount, begin)) sign = 1;
        if (InList(c.SinkNodeList, 1, c.SinkNodeCount, end)) sign = 2;
        if (sign == 0) {
            ShowCalcMessage(Ru("Ветвь с естественной тягой должна иметь выход на пверхность ") +
                            g.Cells(0, r));
            t.GotoBranchRow(1, r);
            return;
        }
        // Air leaving the mine through the branch is driven the other way.
        if (sign == 2) value = -value;
        g.SetCells(18, r, FormatFloat("####0.00", value));
    }
    WriteNaturalDraughtReport(t, c);
}

bool WriteNaturalDraughtReport(const TNetworkTables& t, const TCalcContext& c,
                               const std::string& fileName) {
    TTextFileWriter out(fileName.empty() ? ProgramFile("rvetjaga.txt") : fileName);
    out.WriteLine(t.NameSh);
    out.WriteLine(t.NameVar);
    out.WriteLine(Ru("Расчет естественной тяги"));
    out.WriteLine(Ru("Температура наружного воздуха ") + t.Tnar);
    out.WriteLine(Ru("Температура воздуха в шахте ") + t.Tsh);
    out.WriteLine(Ru("Барометрическое давление на поверхности/в шахте, мм.рт.ст. ") + t.Pnar + "/" +
                  t.Psh);
    out.WriteLine(Ru("                                                      Таблица"));
    out.WriteLine(Ru("Номер ветви; Отметка поверхности, м; Естественная тяга, мм.вд.ст.;  "
                     "Наименование"));
    const TModGrid& g = t.TablDan;
    for (int r = FirstDataRow; r < g.RowCount(); ++r) {
        if (!IsNaturalDraughtRow(g, r)) continue;
        out.WriteLine(g.Cells(0, r) + ";" + FloatToStr(ElevationOf(c, SurfaceNodeOfRow(g, r, c))) +
                      ";" + g.Cells(18, r) + ";" + g.Cells(15, r));
    }
    return out.Commit();
}

void Rasc_SoprClick(TNetworkTables& t, TCalcContext& c) {
    if (t.TablID.Visible() && c.CalcOptions[5] == 'H') {
        CalcBranchResistances(t);
        return;
    }
    ShowCalcMessage(Ru("Расчет сопротивлений осуществляется только для начальных данных"));
}

void CalcBranchResistances(TNetworkTables& t) {
    TModGrid& g = t.TablID;
    for (int r = FirstDataRow; r < g.RowCount(); ++r) {
        if (Trim(g.Cells(0, r)).empty()) continue;
        double v[3] = {0, 0, 0};
        for (int i = 0; i < 3; ++i) {
            const std::string& cell = g.Cells(3 + i, r);
            if (ToPointDecimal(cell).empty() || TryCellToFloat(cell, v[i])) continue;
            t.ActivePage = PageNetwork;
            g.SetCurrent(3 + i, r);
            ScrollRowIntoView(g, r);
            ShowCalcMessage(Ru("Ошибка в данных"));
            return;
        }
        const double q2 = v[2] * v[2];
        const double resistance = q2 != 0 ? std::fabs(v[1] - v[0]) / q2 : 0;
        g.SetCells(6, r, Format("%7.2f", {resistance}));
    }
}

double RegulatorWindowResistance(double section, double window) {
    const double ratio = section / window;
    if (window / section > 0.5) return std::pow(ratio - 1, 2) / std::pow(2.38 * section, 2);
    return std::pow(ratio - 0.65, 2) / std::pow(2.63 * section, 2);
}

} // namespace arv
