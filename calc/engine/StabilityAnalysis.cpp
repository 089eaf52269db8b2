#include "calc/engine/StabilityAnalysis.h"
#include "calc/engine/CalcKindGuard.h"
#include "calc/engine/ReportText.h"

#include "calc/engine/FlowSolver.h"
#include "calc/engine/NaturalDistribution.h"
#include "calc/engine/NetworkPreparation.h"
#include "calc/engine/RunChecks.h"
#include "calc/model/BranchTypes.h"
#include "calc/model/DecimalText.h"
#include "calc/window/CalcDialogs.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/Services.h"

#include <cmath>

namespace arv {

namespace {

// The solver sums its flows step by step, so a flow of one step may come
// out a few units in the last place above or below it. A flow counts beyond
// the accuracy only when it passes it by more than this share of it: equal
// changes give equal answers, and every flow of more than one step counts
// as before.
constexpr double kStepMargin = 1e-6;

bool Beyond(double flow, double accuracy) {
    return flow > accuracy * (1 + kStepMargin);
}

} // namespace

double CellNumber(std::string_view cell) {
    double v = 0;
    return TryCellToFloat(cell, v) ? v : 0;
}

bool NaturalRunSucceeded(const TCalcContext& c) {
    return c.CalcErrorFlag == 0 && c.SolverFailed == 0;
}

void KeepNormalFlows(TCalcContext& c) {
    for (int k = 1; k <= MaxBranchCount; ++k) c.SavedNormalFlow[k] = c.BranchFlow[k];
}

double RunFlowAccuracy(const TCalcContext& c, bool fineSolver) {
    const TSolverProfile& p = fineSolver ? SolverProfileA : SolverProfileB;
    return CalcStepTable[c.CalcOptions[1] == 'D' ? 7 : p.LastFineStage];
}

double NaturalRunAccuracy(const TCalcContext& c) {
    return RunFlowAccuracy(c, c.CalcOptions[4] != 'S');
}

bool FlowReversed(double normal, double normalAccuracy, double now, double nowAccuracy) {
    return (Beyond(normal, normalAccuracy) && Beyond(-now, nowAccuracy)) ||
           (Beyond(-normal, normalAccuracy) && Beyond(now, nowAccuracy));
}

std::string ConsumerCategory(std::string_view typeCell, double d) {
    std::string type = Trim(typeCell);
    int eq = Pos("=", type);
    if (eq > 0) type = Trim(Copy(type, eq + 1, static_cast<int>(type.size())));
    const char* cat = "";
    if (type == BranchType::WorkingFace || type == Ru("оз"))
        cat = d >= -20 ? "I" : d >= -50 ? "II" : "III";
    else if (type == BranchType::LocalFanPlace || type == Ru("вмп"))
        cat = d >= -10 ? "I" : d >= -30 ? "II" : "III";
    return cat;
}

std::vector<TReportedRow> CollectReportedRows(TNetworkTables& t, TCalcContext& c,
                                              double emergencyAccuracy) {
    const int unit = c.CalcOptions.FlowUnit == 0 ? 1 : c.CalcOptions.FlowUnit;
    const double normalAccuracy = NaturalRunAccuracy(c);
    std::vector<TReportedRow> rows;
    const TModGrid& g = t.TablDan;
    for (int r = FirstDataRow; r < g.RowCount(); ++r) {
        const int m = CellToIntDef0(g.Cells(0, r));
        if (m < 1 || m > MaxBranchCount) continue;
        const double q = CellNumber(g.Cells(11, r));
        const double flow = c.BranchFlow[m], required = c.RequiredFlow[m];
        // Judged on the normal flow as computed, as the summaries judge it,
        // not on column 11, rounded to its display.
        const bool reversed =
            FlowReversed(c.SavedNormalFlow[m], normalAccuracy, flow, emergencyAccuracy);
        if (!(required > 0.01 || reversed)) continue;
        TReportedRow row;
        row.Number = m;
        row.Type = g.Cells(3, r);
        row.Name = g.Cells(15, r);
        row.Required = unit * required;
        row.Normal = q;
        row.Emergency = unit * flow;
        row.Deviation = " ";
        if (required != 0) {
            const double d = (flow - required) / required * 100;
            row.Deviation = flow > 0 ? PointFormat("%6.1f", {d}) : Ru(" опр. ");
            if (!Trim(row.Type).empty()) row.Category = ConsumerCategory(row.Type, d);
        }
        if (reversed) {
            row.Deviation = Ru(" опр. ");
            row.Reversed = true;
            c.ReversedBranchMark[m] = 1;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

bool Rasc_UstClick(TNetworkTables& t, TCalcContext& c) {
    TResultsWatch::TSuspend quiet(t.NormalResults);
    Rasc_ERClick(t, c);
    // Without a natural run there is no normal mode to compare with.
    if (!NaturalRunSucceeded(c)) return false;
    KeepNormalFlows(c);
    TTextFileWriter file(ProgramDir() + "rvust.txt");
    TWaitCursor wait;
    // The kind is 'U' while the regulator window may open (it must not write
    // into the table then), but a refusal or a cancelled question puts back
    // the kind of the natural run that just ended: no results of an analysis
    // that never ran are shown.
    TCalcKindGuard kindGuard(c);
    c.CalcOptions[2] = 'U';
    c.CalcOptions[40] = 'N';
    t.MemoPotr.Clear();
    c.StabilityText.clear();
    c.StabilityTableText.clear();
    // Whatever path the command takes, the file holds what was written.
    struct TCloser {
        TTextFileWriter& f;
        ~TCloser() { f.Commit(); }
    } closer{file};

    TMemo& page = t.MemoUst;
    page.Add(Ru("АНАЛИЗ УСТОЙЧИВОСТИ ПРОВЕТРИВАНИЯ"));
    file.WriteLine(Ru("Анализ устойчивости проветривания"));

    double failed = c.CalcOptions.FailedDeviceResistance;
    const TModGrid& g = t.TablDan;
    const int r = g.Row();
    const int n = CellToIntDef0(g.Cells(0, r));
    if (r < FirstDataRow || n < 1 || n > MaxBranchCount) {
        ShowCalcMessage(Ru("Ошибка номера ветви ") + IntToStr(n));
        return false;
    }
    const std::string number = g.Cells(0, r), name = g.Cells(15, r);
    SetScreenCursor(TCursor::Default);
    int answer =
        MessageBox(Ru("Сопротивление нарушенного устройства на ветви ") + name + Ru(" указано ") +
                       PointFormat("%8.4f", {failed}) + Ru("  Изменить?"),
                   "", TMsgButtons::YesNoCancel, TMsgIcon::Information);
    SetScreenCursor(TCursor::HourGlass);
    if (answer == mrCancel) return false;
    if (answer == mrYes) {
        FR_Okno().SetAcceptCaption(Ru("Принять как нарушенное устройство"));
        FR_Okno().ShowModal();
        // An empty or unreadable field keeps the resistance it had.
        double typed = 0;
        if (TryCellToFloat(FR_Okno().ResistanceText(), typed)) failed = typed;
    }
    kindGuard.keep = true;
    std::fill(c.ReversedBranchMark.begin(), c.ReversedBranchMark.end(), 0);

    const std::string failedText = PointFormat("%8.4f", {failed});
    const int unit = c.CalcOptions.FlowUnit == 0 ? 1 : c.CalcOptions.FlowUnit;
    page.Add("      ");
    file.WriteLine("..");
    page.Add(Ru("АНАЛИЗ ДЛЯ ВЕТВИ ") + number + " " + name);
    c.StabilityText = Ru("Анализ устойчивости для ветви ") + number + " " + name + "\n";
    file.WriteLine(Ru("Анализ для ветви ") + number + " " + name);
    const std::string resistanceLine = Ru("Сопротивление вент.устройства  ") + g.Cells(8, r) +
                                       Ru("  Сопротивление нарушенного устройства ") + failedText;
    page.Add(resistanceLine);
    file.WriteLine(resistanceLine);
    c.StabilityText += resistanceLine + "\n";
    page.Add(Ru("      Д А Н Н Ы Е   О   П О Т Р Е Б И Т Е Л Я Х"));
    file.WriteLine(Ru("Данные о потребителях"));
    page.Add("---------------------------------------------------!--------------------------!"
             "---------!");
    c.StabilityTableText = c.StabilityText;
    c.StabilityText +=
        TabJoin({Ru("Номер"), Ru("Тип"), Ru("Требуемый"), Ru("Нормальный"), Ru("Аварийный"),
                 Ru("Отклонение,%"), Ru("Наименование"), Ru("Категория")}) +
        "\n";
    if (unit == 1) {
        page.Add(Ru("!номер! Тип !   Расход воздуха,м3/с   !Отклонение,%!      Наименование        "
                    "!Категория!"));
        c.StabilityTableText +=
            TabJoin({Ru("Номер ветви"), Ru("Тип ветви"), Ru("Требуемый расход, м3/с"),
                     Ru("Нормальный расход, м3/с"), Ru("Аварийный расход, м3/с"),
                     Ru("Отклонение,%"), Ru("Наименование"), Ru("Категория")}) +
            "\n";
        c.StabilityText += TabJoin({Ru("ветви"), Ru("ветви"), Ru("расход, м3/с"),
                                    Ru("расход, м3/с"), Ru("расход, м3/с"), "", "", ""}) +
                           "\n";
        file.WriteLine(Ru("Номер ветви; Тип ветви;Требуемый расход; Нормальный расход; Аварийный "
                          "расход, м3/с; Отклонение,%; Наименование; Категория"));
    } else {
        page.Add(Ru("!номер! Тип !  Расход воздуха,м3/мин. !Отклонение,%!      Наименование        "
                    "!Категория!"));
        c.StabilityText += TabJoin({Ru("ветви"), Ru("ветви"), Ru("расход,м3/мин"),
                                    Ru("расход,м3/мин"), Ru("расход,м3/мин"), "", "", ""}) +
                           "\n";
        c.StabilityTableText +=
            TabJoin({Ru("Номер ветви"), Ru("Тип ветви"), Ru("Требуемый расход, м3/мин"),
                     Ru("Нормальный расход, м3/мин"), Ru("Аварийный расход, м3/мин"),
                     Ru("Отклонение,%"), Ru("Наименование"), Ru("Категория")}) +
            "\n";
        file.WriteLine(Ru("Номер ветви; Тип ветви; Требуемый расход; Нормальный расход, ; "
                          "Аварийный расход, м3/мин; Отклонение,%; Наименование; Категория"));
    }
    page.Add(Ru("!ветви!ветви!требуем!норм.реж!авар.реж!            !                          "
                "!         !"));
    c.StabilityRowCount = 4;
    page.Add("!-----!-----!-------!--------!--------!------------!--------------------------!"
             "---------!");

    t.NormalResults.MarkStale();
    PrepareNetwork(t, c);
    if (c.CalcErrorFlag != 0) return false;
    c.BranchResistance[n] = CellNumber(g.Cells(4, r)) + failed;
    const bool fine = c.CalcOptions[4] != 'S';
    if (fine)
        SolveArcFlowsA(c);
    else
        SolveArcFlowsB(c);
    if (!SolvedFlowsUsable(t, c)) return false;

    for (const TReportedRow& row : CollectReportedRows(t, c, RunFlowAccuracy(c, fine))) {
        page.Add("!" + PointFormat("%4d", {row.Number}) + " !" + PointFormat("%-5s", {row.Type}) +
                 "!" + PointFormat("%7.1f", {row.Required}) + "!" +
                 PointFormat("%8.1f", {row.Normal}) + "!" + PointFormat("%8.1f", {row.Emergency}) +
                 "! " + PointFormat("%7s", {row.Deviation}) + "    " + "! " +
                 PointFormat("%-25s", {row.Name}) + "! " + "   " +
                 PointFormat("%3s", {row.Category}) + "  !");
        const std::string text =
            TabJoin({PointFormat("%4d", {row.Number}), PointFormat("%-5s", {row.Type}),
                     PointFormat("%7.1f", {row.Required}), PointFormat("%8.1f", {row.Normal}),
                     PointFormat("%8.1f", {row.Emergency}), PointFormat("%7s", {row.Deviation}),
                     PointFormat("%-25s", {row.Name}), PointFormat("%3s", {row.Category})}) +
            "\n";
        c.StabilityText += text;
        c.StabilityTableText += text;
        ++c.StabilityRowCount;
        file.WriteLine(PointFormat("%4d", {row.Number}) + ";" + row.Type + ";" +
                       PointFormat("%8.2f", {row.Required}) + ";" +
                       PointFormat("%8.2f", {row.Normal}) + ";" +
                       PointFormat("%8.2f", {row.Emergency}) + ";" +
                       PointFormat("%6s", {row.Deviation}) + ";" + row.Name + ";" + row.Category);
        t.MemoPotr.Add("    ");
    }
    page.Add("!" + std::string(84, '-') + "!");
    page.Add("      ");
    SetScreenCursor(TCursor::Default);
    ShowCalcResults(t, c);
    WriteNodePressureReport(t, c);
    t.NormalResults.MarkValid();
    return true;
}

} // namespace arv
