#include "calc/window/EmergencyCommands.h"
#include "calc/engine/ReportText.h"

#include "calc/engine/FireAnalysis.h"
#include "calc/engine/FlowSolver.h"
#include "calc/engine/NaturalDistribution.h"
#include "calc/engine/NetworkPreparation.h"
#include "calc/engine/RunChecks.h"
#include "calc/model/BranchTypes.h"
#include "calc/model/DecimalText.h"
#include "calc/window/FieldDialog.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"
#include "platform/Services.h"

namespace arv {

namespace {

// "Не проведен расчет нормального режима": false when the command must stop.
bool NormalRunDone(TDataWindowController& w) {
    TNetworkTables& t = w.Tables();
    if (t.NormalResults.Valid()) return true;
    SetScreenCursor(TCursor::Default);
    int answer = MessageBox(Ru("Не проведен расчет нормального режима. Рассчитаь?"), "",
                            TMsgButtons::YesCancelIgnore, TMsgIcon::Information);
    if (answer == mrIgnore) return true;
    if (answer != mrYes) return false;
    arv::Rasc_ERClick(t, w.CalcContext());
    return NaturalRunSucceeded(w.CalcContext());
}

// The fire pseudo-branch as a fan of constant pressure h.
void FireSource(TCalcContext& c, double h) {
    const int p = MaxBranchCount;
    c.RegulatorResistance[p] = 0;
    c.FanCoefA[p] = c.FanCoefB[p] = 0;
    c.FanCoefC[p] = h;
    c.BranchResistance[p] = 0;
    c.BranchCalcKind[p] = 1;
    c.BranchKindCode[p] = h > 0 ? BranchType::Fan : BranchType::FanReversed;
}

// Stability at a fire in reverse mode; false after an error.
bool ReverseFireAnalysis(TDataWindowController& w) {
    TNetworkTables& t = w.Tables();
    TCalcContext& c = w.CalcContext();
    w.Dan_SaveRevClick();
    if (!NormalRunDone(w)) return false;
    TResultsWatch::TSuspend suspend(t.ReverseResults);
    t.NormalResults.MarkStale();
    t.ReverseResults.MarkStale();
    c.CalcOptions[2] = 'P';
    c.CalcOptions[40] = 'A';
    SetScreenCursor(TCursor::HourGlass);
    TMemo& page = t.MemoUst;
    page.Clear();
    page.Add(Ru("АВАРИЙНЫЙ  РЕЖИМ  ПРОВЕТРИВАНИЯ"));
    page.Add(Ru("АНАЛИЗ УСТОЙЧИВОСТИ ПРОВЕТРИВАНИЯ ПРИ ПОЖАРЕ"));
    const int unit = c.CalcOptions.FlowUnit == 0 ? 1 : c.CalcOptions.FlowUnit;
    TModGrid& rev = t.TablDanRev;
    bool handled = false;
    for (int i = FirstDataRow; i < rev.RowCount(); ++i) {
        if (rev.Cells(3, i) != BranchType::Fire) continue;
        if (handled) {
            ShowCalcMessage(Ru("Расчет устойчивости проводится только для одной выработки"));
            t.GotoBranchRow(1, i);
            ShowCalcResults(t, c);
            return false;
        }
        handled = true;
        const double h = CellNumber(rev.Cells(18, i));
        if (h == 0) {
            ShowCalcMessage(Ru("Не расчитана тепловая депрессия для ветви ") + rev.Cells(0, i));
            c.CalcErrorFlag = 1;
            return false;
        }
        // Fires further down wait for their turn: the preparation places
        // one fire only.
        std::vector<std::pair<int, std::string>> later;
        for (int j = i + 1; j < rev.RowCount(); ++j)
            if (rev.Cells(3, j) == BranchType::Fire) {
                later.emplace_back(j, rev.Cells(3, j));
                rev.SetCells(3, j, "");
            }
        PrepareNetwork(t, c);
        for (const auto& [j, type] : later) rev.SetCells(3, j, type);
        if (c.CalcErrorFlag != 0) return false;
        FireSource(c, h);
        SolveArcFlowsA(c);
        if (!SolvedFlowsUsable(t, c)) {
            SetScreenCursor(TCursor::Default);
            return false;
        }
        page.Add("      ");
        page.Add(Ru("ПОЖАР В ВЕТВИ ") + rev.Cells(0, i) + " " + rev.Cells(15, i));
        page.Add(Ru("Тепловая депрессия  ") + PointFormat("%8.1f", {h}) + Ru("мм.вд.ст."));
        page.Add(Ru("      Д А Н Н Ы Е   О   П О Т Р Е Б И Т Е Л Я Х"));
        page.Add("--------------------------------------------------------------!");
        page.Add(Ru(unit == 1
                        ? "!номер!начальный!конечный!   Расход воздуха,м3/с   !Отклонение,% !"
                        : "!номер!начальный!конечный!  Расход воздуха,м3/мин. !Отклонение,% !"));
        page.Add(Ru("!ветви!   узел  !  узел  !требуем!норм.реж!авар.реж!          !"));
        page.Add("!-----!---------!--------!-------!--------!--------!----------!");
        const TModGrid& dan = t.TablDan;
        for (int r = FirstDataRow; r < dan.RowCount(); ++r) {
            const int m = CellToIntDef0(dan.Cells(0, r));
            if (m < 1 || m > MaxBranchCount) continue;
            c.RequiredFlow[m] = CellNumber(dan.Cells(10, r));
            const double q = CellNumber(dan.Cells(11, r));
            if (!(c.RequiredFlow[m] > 0.01)) continue;
            const double supply = unit * c.BranchFlow[m] / c.RequiredFlow[m] * 100;
            t.MemoPotr.Add("    ");
            page.Add("!" + PointFormat("%4d", {m}) + " !" +
                     PointFormat("%4d", {c.BranchBeginNode[m]}) + "     !" +
                     PointFormat("%4d", {c.BranchEndNode[m]}) + "    !" +
                     PointFormat("%7.1f", {c.RequiredFlow[m]}) + "!" + PointFormat("%8.2f", {q}) +
                     "!" + PointFormat("%8.2f", {unit * c.BranchFlow[m]}) + "! " +
                     PointFormat("%5.1f", {supply}) + "    !");
        }
        page.Add("!-------------------------------------------------------------!");
        page.Add("      ");
    }
    SetScreenCursor(TCursor::Default);
    if (!handled) {
        ShowCalcMessage(Ru("Нет ветвей с тепловой депрессией (ПЖ)"));
        c.CalcErrorFlag = 1;
        return false;
    }
    ShowEmergencyResults(t, c);
    WriteNodePressureReport(t, c);
    t.ReverseResults.MarkValid();
    return true;
}

} // namespace

void TFormWordProgress::Start(int steps) {
    w_.Show();
    w_.SetBarMax(steps);
    w_.SetBarPosition(1);
    w_.SetBarVisible(true);
    w_.Update();
    w_.StepBar(1);
}

void TFormWordProgress::Step() {
    w_.StepBar(1);
    w_.Update();
}

bool TFormWordProgress::Cancelled() {
    w_.Update();
    return w_.CancelRequested();
}

void TFormWordProgress::Finish() {
    w_.SetBarVisible(false);
    w_.Close();
}

bool Rasc_UstClick(TDataWindowController& w) {
    bool ok = false;
    w.RunCalculation([&] { ok = arv::Rasc_UstClick(w.Tables(), w.CalcContext()); });
    return ok;
}

bool Rasc_PogClick(TDataWindowController& w) {
    bool ok = false;
    w.RunCalculation([&] { ok = arv::Rasc_PogClick(w.Tables(), w.CalcContext()); });
    return ok;
}

void Rasc_PogUstClick(TDataWindowController& w) {
    w.RunCalculation([&] {
        TFormWordProgress progress(FormWord());
        arv::Rasc_PogUstClick(w.Tables(), w.CalcContext(), progress);
    });
}

void Rasc_ObUstClick(TDataWindowController& w) {
    w.RunCalculation([&] {
        TFormWordProgress progress(FormWord());
        arv::Rasc_ObUstClick(w.Tables(), w.CalcContext(), progress);
    });
}

void Rasc_VrPogClick(TDataWindowController& w) {
    w.RunCalculation(
        [&] { arv::Rasc_VrPogClick(w.Tables(), w.CalcContext(), [&w] { w.Dan_SaveClick(); }); });
}

void Rasc_KoncClick(TDataWindowController& w) {
    w.RunCalculation([&] { arv::Rasc_KoncClick(w.Tables(), w.CalcContext()); });
}

void Av_SDClick(TDataWindowController& w) {
    w.RunCommand([&] {
        TNetworkTables& t = w.Tables();
        TModGrid &dan = t.TablDan, &rev = t.TablDanRev;
        rev.SetRowCount(dan.RowCount());
        t.TablVenRev.SetRowCount(t.TablVen.RowCount());
        for (int r = FirstDataRow; r < t.TablVen.RowCount(); ++r)
            for (int col = 0; col <= 6; ++col)
                t.TablVenRev.SetCells(col, r, t.TablVen.Cells(col, r));
        for (int i = FirstDataRow; i < dan.RowCount(); ++i) {
            for (int col : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 15, 16, 18})
                rev.SetCells(col, i, dan.Cells(col, i));
            for (int col : {9, 11, 12, 13, 14, 17, 19, 20, 21}) rev.SetCells(col, i, "");
            if (!ToCommaDecimal(dan.Cells(8, i)).empty()) {
                TFDialog1& d = FDialog1();
                d.Caption = Ru("Реверсирование");
                d.Label2 = Ru("Ветвь ") + dan.Cells(0, i) + Ru(" регулятор");
                d.Label1 = Ru("Измените сопротивление регулятора");
                d.Edit1 = dan.Cells(8, i);
                d.Enabled = true;
                if (FieldDialog().ShowModal(d) == mrOk) rev.SetCells(8, i, d.Edit1);
                d.Enabled = false;
            }
            if (ToCommaDecimal(dan.Cells(3, i)) == BranchType::Fan &&
                MessageBox(Ru("Вентилятор ") + dan.Cells(0, i) + Ru(" реверсировать?"), "",
                           TMsgButtons::YesNo, TMsgIcon::Information) == mrYes) {
                rev.SetCells(1, i, dan.Cells(2, i));
                rev.SetCells(2, i, dan.Cells(1, i));
            }
        }
        dan.Modified = true;
        t.TablVen.Modified = true;
        t.NormalResults.MarkStale();
    });
}

void Av_RasERClick(TDataWindowController& w) {
    w.RunCalculation([&] {
        TNetworkTables& t = w.Tables();
        TCalcContext& c = w.CalcContext();
        w.Dan_SaveRevClick();
        if (!NormalRunDone(w)) return;
        TResultsWatch::TSuspend suspend(t.ReverseResults);
        t.NormalResults.MarkStale();
        t.ReverseResults.MarkStale();
        SetScreenCursor(TCursor::HourGlass);
        c.CalcOptions[40] = 'A';
        c.CalcOptions[2] = 'E';
        PrepareNetwork(t, c);
        if (c.CalcErrorFlag != 0) return;
        SolveArcFlowsA(c);
        if (!SolvedFlowsUsable(t, c)) {
            SetScreenCursor(TCursor::Default);
            return;
        }
        ShowEmergencyResults(t, c);
        t.MemoPotr.Clear();
        t.MemoPotr.Add(Ru("Аварийный режим"));
        t.MemoPotr.Add(Ru("ЕСТЕСТВЕННОЕ ВОЗДУХОРАСПРЕДЕЛЕНИЕ"));
        VyvMemoPotr(t, c);
        WriteNodePressureReport(t, c);
        SetScreenCursor(TCursor::Default);
        t.ReverseResults.MarkValid();
    });
}

void Av_RasUPClick(TDataWindowController& w) {
    w.RunCalculation([&] { ReverseFireAnalysis(w); });
}

void Av_KoncClick(TDataWindowController& w) {
    w.RunCalculation([&] {
        TNetworkTables& t = w.Tables();
        w.CalcContext().CalcOptions[40] = 'A';
        if (!t.ReverseResults.Valid()) {
            ShowCalculationNeeded();
            return;
        }
        TResultsWatch::TSuspend suspend(t.ReverseResults);
        CalcConcentration(w.CalcContext(), t.TablDanRev);
    });
}

void Av_VrPogClick(TDataWindowController& w) {
    w.RunCalculation([&] {
        TNetworkTables& t = w.Tables();
        TCalcContext& c = w.CalcContext();
        c.CalcOptions[40] = 'A';
        int answer = mrYes;
        if (!t.ReverseResults.Valid() || c.CalcOptions[2] != 'P') {
            SetScreenCursor(TCursor::Default);
            answer = MessageBox(Ru("Не рассчитана устойчивость при пожаре. Рассчитаь?"), "",
                                TMsgButtons::YesCancelIgnore, TMsgIcon::Information);
        }
        if (answer == mrIgnore) {
            w.Dan_SaveRevClick();
        } else if (answer != mrYes || !ReverseFireAnalysis(w)) {
            return;
        }
        TResultsWatch::TSuspend suspend(t.ReverseResults);
        CalcFireBranch(t, c, t.TablDanRev);
    });
}

} // namespace arv
