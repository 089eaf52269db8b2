#include "calc/engine/FireAnalysis.h"
#include "calc/engine/CalcKindGuard.h"
#include "calc/engine/ReportText.h"

#include "calc/engine/FlowSolver.h"
#include "calc/engine/NaturalDistribution.h"
#include "calc/engine/NetworkPreparation.h"
#include "calc/engine/RunChecks.h"
#include "calc/engine/StabilityAnalysis.h"
#include "calc/model/BranchTypes.h"
#include "calc/model/DecimalText.h"
#include "calc/window/CalcDialogs.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/Services.h"

#include <algorithm>
#include <cmath>

namespace arv {

namespace {

bool ValidBranch(int n) {
    return n >= 1 && n <= MaxBranchCount;
}

bool ValidNode(int k) {
    return k >= 1 && k <= MaxNodeCount;
}

} // namespace

void ShowCalculationNeeded() {
    ShowCalcMessage(Ru("Необходимо произвести расчет распределения воздуха"));
}

bool Rasc_PogClick(TNetworkTables& t, TCalcContext& c) {
    TModGrid& g = t.TablDan;
    const int r = g.Row();
    const int n = CellToIntDef0(g.Cells(0, r));
    if (r < FirstDataRow || !ValidBranch(n)) {
        ShowCalcMessage(Ru("Ошибка номера ветви ") + IntToStr(n));
        return false;
    }
    const std::string number = g.Cells(0, r), name = g.Cells(15, r);
    if (MessageBox(Ru("Пожар в ветви ") + number + " " + name + Ru(" Расчитать? "), "",
                   TMsgButtons::YesNo, TMsgIcon::Information) != mrYes)
        return false;

    TResultsWatch::TSuspend suspend(t.NormalResults);
    Rasc_ERClick(t, c);
    if (!NaturalRunSucceeded(c)) return false;
    KeepNormalFlows(c);
    t.NormalResults.MarkStale();
    // A declined question on the thermal depression puts back the kind of
    // the natural run that just ended: no fire results are shown that were
    // never computed.
    TCalcKindGuard kindGuard(c);
    c.CalcOptions[2] = 'P';
    c.CalcOptions[40] = 'N';
    TTextFileWriter file(ProgramDir() + "rvust.txt");
    SetScreenCursor(TCursor::HourGlass);
    TMemo& page = t.MemoUst;
    page.Add(Ru("АНАЛИЗ УСТОЙЧИВОСТИ ПРОВЕТРИВАНИЯ ПРИ ПОЖАРЕ"));
    file.WriteLine(Ru("Анализ устойчивости проветривания при пожаре"));

    const int p = MaxBranchCount;
    const std::string keptType = g.Cells(3, r);
    g.SetCells(3, r, BranchType::Fire);
    // Every end puts the type back, undoes the split and closes the file.
    struct TEnd {
        TModGrid& g;
        TCalcContext& c;
        int r, n, p;
        const std::string& type;
        TTextFileWriter& file;
        ~TEnd() {
            g.SetCells(3, r, type);
            // The burning branch begins at the fire node while it is split.
            if (c.BranchBeginNode[n] == MaxNodeCount && c.BranchBeginNode[p] != 0) {
                c.BranchBeginNode[n] = c.BranchBeginNode[p];
                c.BranchBeginNode[p] = c.BranchEndNode[p] = 0;
            }
            file.Commit();
            SetScreenCursor(TCursor::Default);
        }
    } end{g, c, r, n, p, keptType, file};

    double h = CellNumber(g.Cells(18, r));
    if (h == 0) {
        SetScreenCursor(TCursor::Default);
        if (MessageBox(Ru("Не расчитана тепловая депрессия для ветви ") + number +
                           Ru(" Расчитать?"),
                       "", TMsgButtons::YesNo, TMsgIcon::Information) != mrYes)
            return false;
        FTeplD().ShowModal();
        h = CellNumber(g.Cells(18, r));
        SetScreenCursor(TCursor::HourGlass);
    }
    kindGuard.keep = true;
    std::fill(c.ReversedBranchMark.begin(), c.ReversedBranchMark.end(), 0);

    PrepareNetwork(t, c);
    if (c.CalcErrorFlag != 0) return false;
    double critical = 0;
    if (h < 0) {
        c.FlowLowerBound[p] = c.FlowUpperBound[p] = 0.01;
        c.RegulatorResistance[p] = 99999;
        c.BranchResistance[p] = 0.00001;
        SolveArcFlowsA(c);
        critical = c.PressureBase1[p];
    }
    PrepareNetwork(t, c);
    if (c.CalcErrorFlag != 0) return false;
    c.FanCoefA[p] = c.FanCoefB[p] = 0;
    c.FanCoefC[p] = h;
    c.BranchResistance[p] = 0;
    c.RegulatorResistance[p] = 0;
    c.BranchCalcKind[p] = 1;
    c.BranchKindCode[p] = h > 0 ? BranchType::Fan : BranchType::FanReversed;
    SolveArcFlowsA(c);
    if (!SolvedFlowsUsable(t, c)) return false;

    const int unit = c.CalcOptions.FlowUnit == 0 ? 1 : c.CalcOptions.FlowUnit;
    c.StabilityText.clear();
    c.StabilityTableText.clear();
    t.MemoPotr.Clear();
    page.Add("      ");
    page.Add(Ru("ПОЖАР В ВЕТВИ ") + number + " " + name);
    c.StabilityText = Ru("Пожар в ветви ") + number + " " + name + "\n";
    file.WriteLine(Ru("Пожар в ветви ") + number + " " + name);
    const std::string thermal =
        Ru("Тепловая депрессия  ") + PointFormat("%8.1f", {h}) + Ru("мм.вд.ст.");
    page.Add(thermal);
    file.WriteLine(thermal);
    // No line end: the critical depression follows on the same line.
    c.StabilityText += Ru("Тепловая депрессия ") + PointFormat("%6.1f", {h}) + Ru("мм.вд.ст.");
    if (critical != 0) {
        const std::string line =
            Ru("Критическая депрессия  ") + PointFormat("%8.1f", {critical}) + Ru("мм.вд.ст.");
        page.Add(line);
        file.WriteLine(line);
        c.StabilityText += Ru("Критическая депрессия ") + PointFormat("%6.1f", {critical}) +
                           Ru("мм.вд.ст.") + "\n";
    } else {
        page.Add(Ru("Критическая депрессия          нет"));
        file.WriteLine(Ru("Критическая депрессия          нет"));
        c.StabilityText += Ru("Критическая депрессия нет") + "\n";
    }
    page.Add(Ru("      Д А Н Н Ы Е   О   П О Т Р Е Б И Т Е Л Я Х"));
    file.WriteLine(Ru("Данные о потребителях"));
    page.Add("---------------------------------------------------!-------------------------!");
    c.StabilityTableText = c.StabilityText;
    c.StabilityText += TabJoin({Ru("Номер"), Ru("Тип"), Ru("Требуемый"), Ru("Нормальный"),
                                Ru("Аварийный"), Ru("Отклонение,%"), Ru("Наименование")}) +
                       "\n";
    const char* u = unit == 1 ? "м3/с" : "м3/мин";
    if (unit == 1) {
        page.Add(
            Ru("!номер! Тип !   Расход воздуха,м3/с   !Отклонение,%!     Наименование        !"));
        file.WriteLine(Ru("Номер ветви; Тип ветви; Требуемый расход; Нормальный расход; Аварийный "
                          "расход, м3/с; Отклонение, %; Наименование"));
    } else {
        page.Add(
            Ru("!Номер! Тип !  Расход воздуха,м3/мин. !Отклонение,%!     Наименование        !"));
        file.WriteLine(Ru("Номер ветви; Тип ветви; Требуемый расход; Нормальный расход; Аварийный "
                          "расход, м3/мин; Отклонение,%; Наименование"));
    }
    c.StabilityTableText +=
        TabJoin({Ru("Номер ветви"), Ru("Тип ветви"), Ru("Требуемый расход, ") + Ru(u),
                 Ru("Нормальный расход, ") + Ru(u), Ru("Аварийный расход, ") + Ru(u),
                 Ru("Отклонение, %"), Ru("Наименование")}) +
        "\n";
    const std::string flowCell = Ru("расход, ") + Ru(u);
    c.StabilityText +=
        TabJoin({Ru("ветви"), Ru("ветви"), flowCell, flowCell, flowCell, " ", " "}) + "\n";
    page.Add(Ru("!ветви!ветви!требуем!норм.реж!авар.реж!            !                         !"));
    page.Add("!-----!-----!-------!--------!--------!------------!-------------------------!");
    c.StabilityRowCount = 4;

    for (const TReportedRow& row : CollectReportedRows(t, c, RunFlowAccuracy(c, true))) {
        page.Add("!" + PointFormat("%4d", {row.Number}) + " !" + PointFormat("%-5s", {row.Type}) +
                 "!" + PointFormat("%7.1f", {row.Required}) + "!" +
                 PointFormat("%8.2f", {row.Normal}) + "!" + PointFormat("%8.2f", {row.Emergency}) +
                 "! " + PointFormat("%7s", {row.Deviation}) + "    " + "!" +
                 PointFormat("%-25s", {row.Name}) + "!");
        const std::string text =
            TabJoin({PointFormat("%4d", {row.Number}), PointFormat("%-5s", {row.Type}),
                     PointFormat("%7.1f", {row.Required}), PointFormat("%8.1f", {row.Normal}),
                     PointFormat("%8.1f", {row.Emergency}), PointFormat("%7s", {row.Deviation}),
                     PointFormat("%-25s", {row.Name})}) +
            "\n";
        c.StabilityText += text;
        c.StabilityTableText += text;
        ++c.StabilityRowCount;
        file.WriteLine(PointFormat("%4d", {row.Number}) + ";" + row.Type + ";" +
                       PointFormat("%8.2f", {row.Required}) + ";" +
                       PointFormat("%8.2f", {row.Normal}) + ";" +
                       PointFormat("%8.2f", {row.Emergency}) + ";" +
                       PointFormat("%6s", {row.Deviation}) + ";" + row.Name);
        t.MemoPotr.Add("    ");
    }
    page.Add("!" + std::string(78, '-'));
    page.Add("      ");
    ShowCalcResults(t, c);
    WriteNodePressureReport(t, c);
    if (!CalcFireBranch(t, c, g)) return false;
    t.NormalResults.MarkValid();
    return true;
}

bool CalcFireBranch(TNetworkTables&, TCalcContext& c, TModGrid& g) {
    TWaitCursor wait;
    std::fill(c.SmokedBranchMark.begin(), c.SmokedBranchMark.end(), 0);
    const int unit = c.CalcOptions.FlowUnit == 0 ? 1 : c.CalcOptions.FlowUnit;
    int fires = 0;
    for (int r = FirstDataRow; r < g.RowCount(); ++r) {
        const int n = CellToIntDef0(g.Cells(0, r));
        if (!ValidBranch(n)) continue;
        // Column 12 shows the flow in the display unit.
        c.BranchFlow[n] = CellNumber(g.Cells(12, r)) / unit;
        c.BranchLength[n] = CellNumber(g.Cells(5, r));
        c.BranchSection[n] = CellNumber(g.Cells(6, r));
        c.BranchKindCode[n] = BranchKindOfCell(g.Cells(3, r));
        c.BranchVelocity[n] = CellNumber(g.Cells(13, r));
        if (c.BranchKindCode[n] == BranchType::Fire) ++fires;
    }
    if (fires != 1) {
        ShowCalcMessage(fires == 0 ? Ru("Ошибка: нет ветвей с ПЖ")
                                   : Ru("Ошибка: больше одной ветви с ПЖ "));
        c.CalcErrorFlag = 1;
        return false;
    }

    auto ends = [&c](int b, int& from, int& to) {
        from = c.BranchFlow[b] > 0 ? c.BranchBeginNode[b] : c.BranchEndNode[b];
        to = c.BranchFlow[b] > 0 ? c.BranchEndNode[b] : c.BranchBeginNode[b];
        return ValidNode(from) && ValidNode(to);
    };
    // Minutes to cross a branch; a branch without a velocity is crossed at once.
    auto crossing = [&c](int b) {
        return c.BranchVelocity[b] > 0 ? c.BranchLength[b] / c.BranchVelocity[b] / 60 : 0.0;
    };
    std::vector<double>& time = c.NodeSmokeTime;
    std::fill(time.begin(), time.end(), 0.0);
    const int count = std::clamp(c.BranchWorkCount, 0, MaxBranchCount);
    double previous = 0;
    for (int pass = 1; pass <= 2 * count + 1; ++pass) {
        double sum = 0;
        for (int i = 1; i <= count; ++i) {
            const int b = c.BranchWorkList[i];
            int from = 0, to = 0;
            if (!ValidBranch(b) || !ends(b, from, to)) continue;
            if (c.BranchKindCode[b] == BranchType::Fire) {
                double t0 =
                    c.BranchVelocity[b] > 0 ? c.BranchLength[b] / c.BranchVelocity[b] / 2 / 60 : 0;
                time[to] = t0 > 0 ? t0 : 0.0001;
            }
            // Still air carries no fire products.
            if (c.BranchFlow[b] != 0 && time[from] > 0) {
                const double reached = time[from] + crossing(b);
                if (time[to] < 0.0001 || reached < time[to]) time[to] = reached;
            }
            sum += time[to];
        }
        if (sum == previous) break;
        previous = sum;
    }

    for (int r = FirstDataRow; r < g.RowCount(); ++r) {
        const int n = CellToIntDef0(g.Cells(0, r));
        int from = 0, to = 0;
        if (!ValidBranch(n) || !ends(n, from, to)) continue;
        if (c.BranchKindCode[n] == BranchType::Fire) {
            g.SetCells(19, r, FormatFloat("##0.00", time[to]));
            c.SmokedBranchMark[n] = n;
            continue;
        }
        const double reached = c.BranchFlow[n] != 0 ? time[from] : 0;
        g.SetCells(19, r, FormatFloat("##0.00", reached));
        if (reached > 0) c.SmokedBranchMark[n] = n;
    }
    return true;
}

int CalcConcentration(TCalcContext& c, TModGrid& g) {
    TWaitCursor wait;
    for (int r = FirstDataRow; r < g.RowCount(); ++r) {
        const int n = CellToIntDef0(g.Cells(0, r));
        if (ValidBranch(n)) c.BranchGasInflow[n] = CellNumber(g.Cells(16, r));
    }
    const int count = std::clamp(c.BranchWorkCount, 0, MaxBranchCount);
    for (int i = 1; i <= count; ++i) {
        const int b = c.BranchWorkList[i];
        if (ValidBranch(b)) c.BranchGasFlow[b] = c.BranchGasInflow[b] / 60;
    }
    // A branch without air neither brings gas to a node nor takes any away.
    auto into = [&c](int j, int node) {
        return (c.BranchFlow[j] > 0 && c.BranchEndNode[j] == node) ||
               (c.BranchFlow[j] < 0 && c.BranchBeginNode[j] == node);
    };
    auto outOf = [&c](int j, int node) {
        return (c.BranchFlow[j] > 0 && c.BranchBeginNode[j] == node) ||
               (c.BranchFlow[j] < 0 && c.BranchEndNode[j] == node);
    };
    // Passes until no value moves by more than GasSettledShare of itself:
    // the mixed values are then those of the flows, whatever the order of
    // the work list. Exact equality is no stop: a node fed by several
    // branches sums them in another order for each, so its outflows may
    // flip in the last bits for ever.
    int passes = 0;
    for (int pass = 1; pass <= 2 * count + 1; ++pass) {
        passes = pass;
        bool changed = false;
        for (int i = 1; i <= count; ++i) {
            const int b = c.BranchWorkList[i];
            if (!ValidBranch(b) || c.BranchFlow[b] == 0) continue;
            const int node = c.BranchFlow[b] > 0 ? c.BranchEndNode[b] : c.BranchBeginNode[b];
            if (!ValidNode(node)) continue;
            const int first = c.NodeIncidenceStart[node], last = c.NodeIncidenceStart[node + 1];
            double q = std::fabs(c.BranchFlow[b]), gas = c.BranchGasFlow[b];
            for (int k = first; k < last; ++k) {
                const int j = c.NodeIncidence[k];
                if (j != b && ValidBranch(j) && into(j, node)) {
                    q += std::fabs(c.BranchFlow[j]);
                    gas += c.BranchGasFlow[j];
                }
            }
            const double mixed = q != 0 ? gas / q : 0;
            for (int k = first; k < last; ++k) {
                const int j = c.NodeIncidence[k];
                if (j == b || !ValidBranch(j) || !outOf(j, node)) continue;
                const double value = std::fabs(c.BranchFlow[j]) * mixed + c.BranchGasInflow[j] / 60;
                const double previous = c.BranchGasFlow[j];
                if (value == previous) continue;
                c.BranchGasFlow[j] = value;
                if (std::fabs(value - previous) >
                    GasSettledShare * std::max(std::fabs(value), std::fabs(previous)))
                    changed = true;
            }
        }
        if (!changed) break;
    }
    for (int i = 1; i <= count; ++i) {
        const int b = c.BranchWorkList[i];
        if (!ValidBranch(b)) continue;
        c.BranchGasConcentration[b] =
            c.BranchFlow[b] != 0 ? 100 * c.BranchGasFlow[b] / std::fabs(c.BranchFlow[b]) : 0;
    }
    for (int r = FirstDataRow; r < g.RowCount(); ++r) {
        const int n = CellToIntDef0(g.Cells(0, r));
        if (ValidBranch(n)) g.SetCells(17, r, FormatFloat("##0.000", c.BranchGasConcentration[n]));
    }
    return passes;
}

void Rasc_KoncClick(TNetworkTables& t, TCalcContext& c) {
    c.CalcOptions[40] = 'N';
    if (!t.NormalResults.Valid()) {
        ShowCalculationNeeded();
        return;
    }
    TResultsWatch::TSuspend suspend(t.NormalResults);
    CalcConcentration(c, t.TablDan);
}

void Rasc_VrPogClick(TNetworkTables& t, TCalcContext& c, const std::function<void()>& saveData) {
    c.CalcOptions[40] = 'N';
    int answer = mrYes;
    if (!t.NormalResults.Valid() || c.CalcOptions[2] != 'P') {
        SetScreenCursor(TCursor::Default);
        answer = MessageBox(Ru("Не рассчитана устойчивость при пожаре. Рассчитаь?"), "",
                            TMsgButtons::YesCancelIgnore, TMsgIcon::Information);
    }
    if (answer == mrIgnore) {
        if (saveData) saveData();
        TResultsWatch::TSuspend suspend(t.NormalResults);
        CalcFireBranch(t, c, t.TablDan);
    } else if (answer == mrYes) {
        // The fire analysis computes the spread times itself.
        Rasc_PogClick(t, c);
    }
}

} // namespace arv
