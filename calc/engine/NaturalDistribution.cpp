#include "calc/engine/NaturalDistribution.h"

#include "calc/engine/FlowSolver.h"
#include "calc/engine/NetworkPreparation.h"
#include "calc/engine/RunChecks.h"
#include "calc/model/BranchTypes.h"
#include "calc/model/DecimalText.h"
#include "calc/model/FlowUnits.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"
#include "platform/Services.h"

#include <cmath>
#include <unordered_map>

namespace arv {

namespace {

bool NormalModeRun(const TCalcContext& c) {
    char kind = c.CalcOptions[2];
    return kind == 'E' || kind == 'O' || kind == 'I';
}

bool FireRun(const TCalcContext& c) {
    return c.CalcOptions[2] == 'P';
}

int FlowUnitOf(const TCalcContext& c) {
    return c.CalcOptions.FlowUnit == 0 ? 1 : c.CalcOptions.FlowUnit;
}

// A branch or node number of a cell, 0 when it is none of the arrays' slots.
int SlotNumber(std::string_view cell, int max) {
    int n = CellToIntDef0(cell);
    return n >= 1 && n <= max ? n : 0;
}

double CellValue(std::string_view cell) {
    double v = 0;
    if (!TryCellToFloat(cell, v)) v = 0;
    return v;
}

std::string OrEmpty(double value, const char* picture) {
    return value != 0 ? FormatFloat(picture, value) : std::string();
}

void ReportNegativeRegulator(TNetworkTables& t, int n) {
    ShowCalcMessage(Ru("Недопустимый режим: для ветви ") + IntToStr(n) +
                    Ru(" требуется отрицательное сопротивление регулятора"));
    t.GotoBranchRow(0, n);
}

// The required flow is the user's input: it is written only when its value
// changed, so that 7.5 m3/min does not turn into "8".
void WriteRequiredFlow(TModGrid& g, int row, const TCalcContext& c, double required) {
    double shown = required * FlowUnitOf(c);
    double typed = 0;
    if (TryCellToFloat(g.Cells(10, row), typed) &&
        std::fabs(typed - shown) <= 1e-9 * std::max(1.0, std::fabs(shown)))
        return;
    g.SetCells(10, row, FlowCellText(c, required));
}

void WriteFanResults(TModGrid& fans, TCalcContext& c) {
    for (int r = FirstDataRow; r < fans.RowCount(); ++r) {
        int n = SlotNumber(fans.Cells(0, r), MaxBranchCount);
        if (n == 0) continue;
        fans.SetCells(7, r, FormatFloat("####0.00", c.BranchDepression[n]));
        fans.SetCells(6, r, FlowCellText(c, c.BranchFlow[n]));
    }
}

// Results of one branch table; `emergency` selects the rules of the reverse tables.
void WriteBranchResults(TNetworkTables& t, TCalcContext& c, TModGrid& g, bool emergency) {
    const bool normalRun = NormalModeRun(c);
    const bool fire = FireRun(c);
    for (int r = FirstDataRow; r < g.RowCount(); ++r) {
        int n = SlotNumber(g.Cells(0, r), MaxBranchCount);
        if (n == 0) continue;
        int b = CellToIntDef0(g.Cells(1, r));
        int e = CellToIntDef0(g.Cells(2, r));
        if (!emergency) c.BranchKindCode[n] = BranchKindOfCell(g.Cells(3, r));
        c.CalcRegulatorResistance[n] = 0;
        if (emergency && fire && c.BranchBeginNode[n] == MaxNodeCount && b != MaxNodeCount) {
            // The burning branch runs from the fire node: it gets its table
            // begin node back, but it was never turned round.
            c.BranchBeginNode[n] = b;
        } else if ((emergency || !fire) && c.BranchBeginNode[n] != b) {
            c.BranchBeginNode[n] = b;
            c.BranchEndNode[n] = e;
            c.BranchFlow[n] = -c.BranchFlow[n];
            std::swap(c.PressureBase1[n], c.PressureBase2[n]);
        }
        CalcBranchRegulator(c, n);
        if (emergency) {
            for (int d = FirstDataRow; d < t.TablDan.RowCount(); ++d)
                if (CellToIntDef0(t.TablDan.Cells(0, d)) == n) {
                    g.SetCells(11, r, t.TablDan.Cells(11, d));
                    break;
                }
        }
        if (fire && BranchKindOfCell(g.Cells(3, r)) == BranchType::Fire)
            c.BranchDepression[n] += c.PressureBase1[MaxBranchCount];
        double s = CellValue(g.Cells(6, r));
        if (s > 0.01) c.BranchVelocity[n] = std::fabs(c.BranchFlow[n] / s);
        if (c.BranchCalcKind[n] > 0) c.BranchDepression[n] = c.PressureBase1[n];

        if (!emergency && normalRun) {
            g.SetCells(11, r, FlowCellText(c, c.BranchFlow[n]));
            g.SetCells(12, r, "");
        } else {
            g.SetCells(12, r, FlowCellText(c, c.BranchFlow[n]));
        }
        g.SetCells(14, r, FormatFloat("####0.00", c.BranchDepression[n]));
        if (!emergency && c.RequiredFlow[n] > 0) WriteRequiredFlow(g, r, c, c.RequiredFlow[n]);

        // The solve left out the own resistance of a fixed-flow branch only;
        // elsewhere the computed regulator is already the one to add.
        const bool ownLeftOut =
            !normalRun || (c.BranchKindCode[n] == BranchType::FixedFlow && c.CalcOptions[2] == 'E');
        if (!emergency && c.CalcRegulatorResistance[n] != 0 && ownLeftOut) {
            double own = CellValue(g.Cells(4, r));
            if (own < 1e-5 && s > 0.001) own = 0;
            c.CalcRegulatorResistance[n] -= own;
        }
        if (emergency || normalRun)
            g.SetCells(9, r, OrEmpty(c.CalcRegulatorResistance[n], "##0.0000"));
        if (c.CalcRegulatorResistance[n] < 0 && (emergency || c.CalcOptions[2] == 'E'))
            ReportNegativeRegulator(t, n);
        g.SetCells(13, r, OrEmpty(c.BranchVelocity[n], "####0.00"));
        if (!emergency) g.SetCells(22, r, OrEmpty(c.BranchSlope[n], "####0.00"));
    }
}

} // namespace

std::string FlowCellText(const TCalcContext& c, double flow) {
    return FlowTextInUnit(flow, FlowUnitOf(c));
}

void CalcBranchRegulator(TCalcContext& c, int i) {
    const double q = c.BranchFlow[i];
    const double r = c.BranchResistance[i];
    c.BranchDepression[i] = r * q * q;
    double result = 0;
    if (q < -0.001) {
        if (c.SquareLawShiftDown2(i) > 0.0001) {
            result = c.PressureBase2[i] / (q * q);
            if (result > 9e-5)
                c.BranchDepression[i] += c.PressureBase2[i];
            else
                result = 0;
        }
    } else if (q > 0.001) {
        if (c.SquareLawShiftUp1(i) > 0.0001 ||
            (c.RequiredFlow[i] > 0.01 && c.BranchKindCode[i] == BranchType::FixedFlow)) {
            result = c.PressureBase1[i] / (q * q);
            if (std::fabs(result) > 9e-5)
                c.BranchDepression[i] += c.PressureBase1[i];
            else
                result = 0;
        }
    } else {
        if (c.SquareLawShiftUp1(i) > 0.0001) {
            result = 100 * c.PressureBase1[i];
            if (result > 9e-5)
                c.BranchDepression[i] += c.PressureBase1[i];
            else
                result = 0;
        } else if (c.SquareLawShiftDown2(i) > 0.0001) {
            result = 100 * c.PressureBase2[i];
            if (result > 9e-5)
                c.BranchDepression[i] += c.PressureBase2[i];
            else
                result = 0;
        }
    }
    if (result > c.RegulatorResistance[i]) result = c.RegulatorResistance[i];
    c.CalcRegulatorResistance[i] = result;
}

void ComputeNodePressures(TCalcContext& c) {
    std::fill(c.NodeLabel.begin(), c.NodeLabel.end(), 0);
    std::fill(c.NodePressure.begin(), c.NodePressure.end(), 0.0);
    std::vector<int> queue;
    queue.reserve(MaxNodeCount + 1);
    for (int k = 1; k <= MaxNodeCount; ++k) {
        if (c.SurfaceNodeFlag[k] == 0) continue;
        int first = c.NodeIncidenceStart[k];
        // A surface node without branches has no run of its own.
        if (first >= c.NodeIncidenceStart[k + 1]) continue;
        int b = c.NodeIncidence[first];
        if (b < 1 || b > MaxBranchCount || c.BranchBeginNode[b] != k) continue;
        c.NodeLabel[k] = 1;
        queue.push_back(k);
    }
    for (size_t head = 0; head < queue.size(); ++head) {
        int k = queue[head];
        for (int p = c.NodeIncidenceStart[k]; p < c.NodeIncidenceStart[k + 1]; ++p) {
            int b = c.NodeIncidence[p];
            if (b < 1 || b > MaxBranchCount) continue;
            int begin = c.BranchBeginNode[b], end = c.BranchEndNode[b];
            if (begin < 1 || begin > MaxNodeCount || end < 1 || end > MaxNodeCount) continue;
            if ((c.NodeLabel[begin] != 0) == (c.NodeLabel[end] != 0)) continue;
            double q = c.BranchFlow[b];
            double drop = c.BranchResistance[b] * q * q;
            double dp = q >= 0 ? drop + c.PressureBase1[b] : -(drop + c.PressureBase2[b]);
            int next;
            if (begin == k) {
                next = end;
                c.NodePressure[end] = c.NodePressure[k] - dp;
            } else {
                next = begin;
                c.NodePressure[begin] = c.NodePressure[k] + dp;
            }
            c.NodeLabel[next] = 1;
            queue.push_back(next);
        }
    }
}

void ShowCalcResults(TNetworkTables& t, TCalcContext& c) {
    t.TablDan.BeginUpdate();
    WriteBranchResults(t, c, t.TablDan, false);
    t.TablDan.EndUpdate();
    WriteFanResults(t.TablVen, c);
    WriteFlowUnitHeadings(t, FlowUnitOf(c));
    ComputeNodePressures(c);
}

void ShowEmergencyResults(TNetworkTables& t, TCalcContext& c) {
    t.TablDanRev.BeginUpdate();
    WriteBranchResults(t, c, t.TablDanRev, true);
    t.TablDanRev.EndUpdate();
    WriteFanResults(t.TablVenRev, c);
    ComputeNodePressures(c);
}

void WriteNodePressureReport(TNetworkTables& t, TCalcContext& c) {
    TMemo& memo = t.MemoDav;
    memo.Clear();
    c.PressureText.clear();
    if (c.CalcOptions[40] == 'A') memo.Add(Ru("Аварийный режим"));
    const std::string rule(65, '-');
    memo.Add(Ru("                  Д А В Л Е Н И Е   В   У З Л А Х"));
    memo.Add(rule);
    memo.Add("!" + Ru("номер! давление!номер! давление!номер! давление!номер! давление!"));
    memo.Add("!" + Ru(" узла! в узле  ! узла! в узле  ! узла! в узле  ! узла! в узле  !"));
    memo.Add("!-----!---------!-----!---------!-----!---------!-----!---------!");
    const std::string heading = Ru("Номер узла") + "\t" + Ru("Давление в узле");
    c.PressureText = heading + "\t" + heading + "\t" + heading + "\t" + heading + "\n";
    c.PressureRowCount = 2;

    std::string line = "!";
    int pairs = 0;
    t.TablDavl.BeginUpdate();
    for (int k = 1; k <= MaxNodeCount - 1; ++k) {
        if (c.NodeIncidenceStart[k + 1] <= c.NodeIncidenceStart[k]) continue;
        const std::string pressure = Format("%8.2f", {c.NodePressure[k]});
        line += Format("%4d", {k}) + " !" + pressure + " !";
        t.TablDavl.SetCells(1, FindNodeRow(t, k), pressure);
        if (pairs > 0) c.PressureText += "\t";
        c.PressureText += Format("%4d", {k}) + "\t" + pressure;
        if (++pairs == 4) {
            memo.Add(line);
            line = "!";
            pairs = 0;
            c.PressureText += "\n";
            ++c.PressureRowCount;
        }
    }
    for (int p = pairs; p < 4; ++p) line += "     !         !";
    memo.Add(line);
    memo.Add(rule);
    t.TablDavl.SetFixedRows(2);
    t.TablDavl.EndUpdate();
}

void VyvMemoPotr(TNetworkTables& t, TCalcContext& c) {
    TMemo& memo = t.MemoPotr;
    const int unit = FlowUnitOf(c);
    memo.Add("    ");
    memo.Add(Ru("        Д А Н Н Ы Е   О   П О Т Р Е Б И Т Е Л Я Х"));
    memo.Add(std::string(79, '-'));
    memo.Add(Ru("!номер!начальный!конечный!требуемый!текущий! обеспе- !     Наименование       !"));
    memo.Add(Ru("!ветви!   узел  !  узел  ! расход  ! расход!ченность !                        !"));
    memo.Add(Ru(
        unit == 1
            ? "!     !         !        ! куб.м/с !куб.м/с!    %    !                        !"
            : "!     !         !        ! куб.м/м !куб.м/м!    %    !                        !"));
    memo.Add("!-----!---------!--------!---------!-------!---------!------------------------!");
    std::unordered_map<int, int> rowOf;
    for (int r = FirstDataRow; r < t.TablDan.RowCount(); ++r) {
        int n = SlotNumber(t.TablDan.Cells(0, r), MaxBranchCount);
        if (n != 0 && !rowOf.count(n)) rowOf[n] = r;
    }
    for (int i = 1; i <= c.BranchWorkCount && i <= MaxBranchCount; ++i) {
        int n = c.BranchWorkList[i];
        if (n < 1 || n > MaxBranchCount || c.RequiredFlow[n] <= 0.09) continue;
        double required = c.RequiredFlow[n];
        double q = c.BranchFlow[n];
        auto found = rowOf.find(n);
        std::string name =
            found != rowOf.end() ? Trim(t.TablDan.Cells(15, found->second)) : std::string();
        memo.Add("!" + Format("%4d", {n}) + " !" + Format("%4d", {c.BranchBeginNode[n]}) + "    !" +
                 Format("%4d", {c.BranchEndNode[n]}) + " !" + Format("%6.1f", {required * unit}) +
                 "     !" + Format("%6.1f", {q * unit}) + "   ! " +
                 Format("%5.1f", {100 * q / required}) + "   " + "! " +
                 Format("%-25s", {Copy(name, 1, 25)}) + "!");
    }
    memo.Add(std::string(80, '-'));
}

void VyvTablPotr(TNetworkTables& t, TCalcContext& c) {
    t.TablDanExit();
    TModGrid& g = t.TablPotr;
    const int unit = FlowUnitOf(c);
    g.BeginUpdate();
    for (int r = FirstDataRow; r < g.RowCount(); ++r) {
        int n = SlotNumber(g.Cells(0, r), MaxBranchCount);
        if (n == 0) continue;
        double required = c.RequiredFlow[n];
        double q = c.BranchFlow[n];
        g.SetCells(0, r, Format("%4d", {n}));
        // The code as the branch table holds it: the arrays keep only two
        // characters, and this cell flows back into the branch table.
        g.SetCells(1, r, Format("%s", {g.Cells(1, r)}));
        g.SetCells(2, r, Format("%8.2f", {required * unit}));
        g.SetCells(3, r, Format("%8.2f", {q * unit}));
        g.SetCells(4, r, required != 0 ? Format("%5.1f", {100 * q / required}) : std::string());
    }
    g.EndUpdate();
}

void Rasc_ERClick(TNetworkTables& t, TCalcContext& c) {
    t.ReverseResults.MarkStale();
    c.CalcOptions[2] = 'E';
    c.CalcOptions[40] = 'N';
    SetScreenCursor(TCursor::HourGlass);
    c.StabilityText.clear();
    std::fill(c.ReversedBranchMark.begin(), c.ReversedBranchMark.end(), 0);
    std::fill(c.SmokedBranchMark.begin(), c.SmokedBranchMark.end(), 0);
    PrepareNetwork(t, c);
    if (c.CalcErrorFlag != 0) {
        ClearRunResults(t, c);
        SetScreenCursor(TCursor::Default);
        return;
    }
    if (c.CalcOptions[4] == 'S')
        SolveArcFlowsB(c);
    else
        SolveArcFlowsA(c);
    if (!SolvedFlowsUsable(t, c)) {
        SetScreenCursor(TCursor::Default);
        return;
    }
    ShowCalcResults(t, c);
    t.MemoPotr.Clear();
    t.MemoPotr.Add(Ru("ЕСТЕСТВЕННОЕ ВОЗДУХОРАСПРЕДЕЛЕНИЕ"));
    VyvMemoPotr(t, c);
    // The consumer table is rebuilt from the branch table before its results
    // are written, so that they are still there when the command ends.
    t.TablDanExit();
    VyvTablPotr(t, c);
    WriteNodePressureReport(t, c);
    t.NormalResults.MarkValid();
    SetScreenCursor(TCursor::Default);
}

} // namespace arv
