// The two summaries: a fire in every inclined working in turn, the failure
// of every "АУ" device in turn. Flows in both are in m3/s whatever the flow
// unit (the headings say so).
#include "calc/engine/CandidateRunner.h"
#include "calc/engine/FlowSolver.h"
#include "calc/engine/NaturalDistribution.h"
#include "calc/engine/NetworkPreparation.h"
#include "calc/engine/ReportText.h"
#include "calc/engine/RunChecks.h"
#include "calc/engine/StabilityAnalysis.h"
#include "calc/engine/ThermalDepression.h"
#include "calc/model/BranchTypes.h"
#include "calc/model/DecimalText.h"

#include "platform/Cp1251.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/Services.h"

#include <cmath>

namespace arv {

namespace {

// What every summary does around its candidates: the progress window, the
// natural run, the report file, and the ends the command can take.
class TSummary {
public:
    TSummary(TNetworkTables& t, TCalcContext& c, ISummaryProgress& progress, const char* fileName)
        : t_(t), c_(c), progress_(progress), suspend_(t.NormalResults),
          file_(ProgramDir() + fileName) {}

    ~TSummary() {
        progress_.Finish();
        SetScreenCursor(TCursor::Default);
        // The arrays hold a candidate's run, the tables the natural one.
        t_.NormalResults.MarkStale();
    }

    // Progress window, natural run, normal flows kept. False when the
    // natural run gave no result.
    bool Begin() {
        progress_.Start(t_.TablDan.RowCount());
        Rasc_ERClick(t_, c_);
        if (!NaturalRunSucceeded(c_)) return false;
        KeepNormalFlows(c_);
        return true;
    }

    void StartReport() {
        c_.CalcOptions[2] = 'P';
        c_.CalcOptions[40] = 'N';
        SetScreenCursor(TCursor::HourGlass);
        t_.MemoUst.Clear();
    }

    TSummaryResult Finish(TSummaryResult result, int ruleLength, std::string& exportText) {
        TMemo& page = t_.MemoUst;
        c_.StabilityText.clear();
        if (result == TSummaryResult::Done) page.Add("!" + std::string(ruleLength, '-'));
        if (result == TSummaryResult::Cancelled) {
            // An interrupted summary is no result: no file, nothing to export.
            page.Add(Ru("Расчет прерван"));
            exportText.clear();
            c_.StabilityRowCount = 0;
        } else {
            file_.Commit();
        }
        t_.ActivePage = PageStability;
        return result;
    }

    TTextFileWriter& File() { return file_; }

private:
    TNetworkTables& t_;
    TCalcContext& c_;
    ISummaryProgress& progress_;
    TResultsWatch::TSuspend suspend_;
    TTextFileWriter file_;
};

std::string Names(const TModGrid& g, int row) {
    return g.Cells(0, row) + " " + g.Cells(15, row);
}

std::string ReversalList(const TCalcContext& c, double normalAccuracy, double fireAccuracy) {
    std::string list;
    for (int k = 1; k <= MaxBranchCount; ++k) {
        if (!FlowReversed(c.SavedNormalFlow[k], normalAccuracy, c.BranchFlow[k], fireAccuracy))
            continue;
        if (list.empty())
            list = " " + IntToStr(k);
        else if (list.size() < 60)
            list += "," + IntToStr(k);
        else
            break;
    }
    if (list.empty()) return Ru(" Устойчиво");
    return list.size() >= 60 ? list + ",..." : list;
}

} // namespace

TSummaryResult Rasc_PogUstClick(TNetworkTables& t, TCalcContext& c, ISummaryProgress& progress,
                                int threads) {
    TSummary summary(t, c, progress, "rvustsxp.txt");
    if (!summary.Begin()) return TSummaryResult::Failed;
    const double normalAccuracy = NaturalRunAccuracy(c);
    summary.StartReport();
    c.FireStabilityText.clear();
    TTextFileWriter& file = summary.File();
    TMemo& page = t.MemoUst;

    page.Add(Ru("АНАЛИЗ УСТОЙЧИВОСТИ СХЕМЫ ПРИ ПОЖАРАХ"));
    page.Add(std::string(108, '-'));
    page.Add(Ru("!    №  и наименование     :  Тепл. :  Номера ветвей, в которых происходит "
                "опрокидывание струи             !"));
    page.Add(Ru("!     ветви с пожаром      :  депр. :                                         "
                "                             !"));
    page.Add("!--------------------------:----------------------------------------------------"
             "---------------------------!");
    c.FireStabilityText = t.NameSh + "\n" + t.NameVar + "\n" +
                          Ru("Анализ устойчивости схемы при пожарах") + "\n" +
                          Ru("Наименование ветви с пожаром\tРасход воздуха, м3/с\tДлина участка, "
                             "м\tСечение, м2\tУгол наклона\tТепл. депр.\tНомера ветвей, в "
                             "которых происходит опрокидывание струи") +
                          "\n";
    file.WriteLine(Ru("Анализ устойчивости схемы при пожарах"));
    file.WriteLine(Ru("Номер и наименование ветви с пожаром;Расход воздуха, м3/с;Длина участка, "
                      "м;Сечение, м2;Угол наклона;Тепл.депр.;Номера ветвей, в которых происходит "
                      "опрокидывание струи"));
    c.StabilityRowCount = 3;

    // The candidates and their depressions depend only on the natural run.
    std::vector<TCandidate> candidates;
    for (int i = FirstDataRow; i < t.TablDan.RowCount(); ++i) {
        const int n = CellToIntDef0(t.TablDan.Cells(0, i));
        if (n < 1 || n > MaxBranchCount) continue;
        if (!(std::fabs(c.BranchSlope[n]) >= c.CalcOptions.FireMinSlope && c.BranchSection[n] > 0 &&
              c.BranchLength[n] > 0 && c.SavedNormalFlow[n] != 0))
            continue;
        const double h =
            ThermalDepression(std::fabs(c.SavedNormalFlow[n]), c.BranchSection[n],
                              c.BranchLength[n], c.BranchSlope[n], c.CalcOptions.FireElapsedTime);
        if (h == 0 || !std::isfinite(h)) continue;
        candidates.push_back({i, n, h});
    }

    const double fireAccuracy = RunFlowAccuracy(c, true);
    auto work = [normalAccuracy, fireAccuracy](TNetworkTables& wt, TCalcContext& wc,
                                               const TCandidate& k, TCandidateLines& out) {
        TModGrid& g = wt.TablDan;
        const std::string kept = g.Cells(3, k.Row);
        g.SetCells(3, k.Row, BranchType::Fire);
        PrepareNetwork(wt, wc);
        g.SetCells(3, k.Row, kept);
        if (wc.CalcErrorFlag != 0) return false;
        const int n = k.Branch, p = MaxBranchCount;
        const double h = k.Value;
        wc.RegulatorResistance[p] = 0;
        wc.FanCoefA[p] = wc.FanCoefB[p] = 0;
        wc.FanCoefC[p] = h;
        wc.BranchResistance[p] = 0;
        wc.BranchCalcKind[p] = 1;
        wc.BranchKindCode[p] = h > 0 ? BranchType::Fan : BranchType::FanReversed;
        SolveArcFlowsA(wc);
        // A run that failed is no row of the summary: it ends with the
        // message of a single run (shown in its turn by a parallel run).
        if (!SolvedFlowsUsable(wt, wc)) return false;
        const std::string r = ReversalList(wc, normalAccuracy, fireAccuracy);
        const std::string names = Names(g, k.Row);
        out.Page = "!" + PointFormat("%4s", {g.Cells(0, k.Row)}) + " " +
                   PointFormat("%-20s", {g.Cells(15, k.Row)}) + " : " + PointFormat("%7.2f", {h}) +
                   " : " + PointFormat("%-68s", {r}) + ":";
        const std::string fields[] = {PointFormat("%7.2f", {wc.BranchFlow[n]}),
                                      PointFormat("%7.2f", {wc.BranchLength[n]}),
                                      PointFormat("%5.2f", {wc.BranchSection[n]}),
                                      PointFormat("%4.1f", {std::fabs(wc.BranchSlope[n])}),
                                      PointFormat("%7.2f", {h}),
                                      r};
        out.File = names;
        out.Text = names;
        for (const std::string& f : fields) {
            out.File += ";" + f;
            out.Text += "\t" + f;
        }
        out.Text += "\n";
        // The burning branch gets its begin node back; the split is undone.
        wc.BranchBeginNode[n] = wc.BranchBeginNode[p];
        wc.BranchBeginNode[p] = wc.BranchEndNode[p] = 0;
        return true;
    };
    auto merge = [&](const TCandidateLines& lines) {
        page.Add(lines.Page);
        file.WriteLine(lines.File);
        c.FireStabilityText += lines.Text;
        ++c.StabilityRowCount;
    };
    TSummaryResult result = RunCandidates(t, c, candidates, work, merge, progress, threads);
    return summary.Finish(result, 107, c.FireStabilityText);
}

TSummaryResult Rasc_ObUstClick(TNetworkTables& t, TCalcContext& c, ISummaryProgress& progress,
                               int threads) {
    TSummary summary(t, c, progress, "rvustsxvu.txt");
    if (!summary.Begin()) return TSummaryResult::Failed;

    // Consumer columns: faces and auxiliary fan places of this network only.
    std::vector<int> columns;
    std::string pagePieces, filePieces, textPieces;
    for (int k = 1; k <= MaxBranchCount && columns.size() < 10; ++k) {
        if (c.BranchOccurrence[k] == 0) continue;
        const std::string& kind = c.BranchKindCode[k];
        const bool face = kind == BranchType::WorkingFace;
        if (!face && kind != Copy(BranchType::LocalFanPlace, 1, 2)) continue;
        columns.push_back(k);
        const std::string tag = face ? Ru("(ОЗ )") : Ru("(ВМП)");
        pagePieces += PointFormat("%4d", {k}) + tag + ":";
        filePieces += ";" + PointFormat("%4d", {k}) + tag;
        textPieces += "\t" + IntToStr(k) + tag;
    }
    for (size_t k = columns.size(); k < 11; ++k) pagePieces += std::string(9, ' ');

    summary.StartReport();
    c.DeviceStabilityText.clear();
    TTextFileWriter& file = summary.File();
    TMemo& page = t.MemoUst;
    page.Add(Ru("АНАЛИЗ УСТОЙЧИВОСТИ СХЕМЫ ПРИ НАРУШЕНИИ ВЕНТИЛЯЦИОННЫХ СООРУЖЕНИЙ"));
    page.Add(std::string(163, '-'));
    page.Add(Ru("! Номер и наименование     :Сечение :Сопрот.   :Норм. :Авар. :     Изменение "
                "расходов по ветвям, %                                                           "
                "      !"));
    page.Add(Ru("! ветви с вент. устройством:выр-ки  :вент.устр.:расход:расход:") + pagePieces +
             "!");
    page.Add("!--------------------------:" + std::string(135, '-') + "!");
    c.DeviceStabilityText =
        t.NameSh + "\n" + t.NameVar + "\n" +
        Ru("Анализ устойчивости схемы при нарушении вентиляционных устройств") + "\n" +
        Ru("Изменение расхода воздуха в ветвях, %") + "\n" +
        Ru("Наименование ветви с вент. устройством\tСечение выработки, м2\tСопротивление вент. "
           "устройств \tНормальный расход воздуха, м3/с\tАварийный расход воздуха, м3/с") +
        textPieces + "\n";
    c.StabilityRowCount = 5;
    c.DeviceStabilityColCount = static_cast<int>(columns.size()) + 5;
    file.WriteLine(Ru("Анализ устойчивости схемы при нарушении вентиляционных устройств"));
    file.WriteLine(Ru("Номер и наименование ветви с вент. устр.;Сечение, м2;Сопр. вент. "
                      "устр.;Нормальный расход, м3/с;Аварийный расход, м3/с") +
                   filePieces);

    std::vector<TCandidate> candidates;
    for (int i = FirstDataRow; i < t.TablDan.RowCount(); ++i)
        if (Trim(t.TablDan.Cells(3, i)) == BranchType::StabilityMark)
            candidates.push_back({i, CellToIntDef0(t.TablDan.Cells(0, i)), 0});

    auto work = [&columns](TNetworkTables& wt, TCalcContext& wc, const TCandidate& k,
                           TCandidateLines& out) {
        PrepareNetwork(wt, wc);
        if (wc.CalcErrorFlag != 0) return false;
        const TModGrid& g = wt.TablDan;
        const int m = k.Branch;
        const double rd = CellNumber(g.Cells(8, k.Row));
        const bool slot = m >= 1 && m <= MaxBranchCount;
        if (slot) {
            wc.BranchResistance[m] =
                wc.BranchResistance[m] - rd + wc.CalcOptions.FailedDeviceResistance;
            SolveArcFlowsA(wc);
            if (!SolvedFlowsUsable(wt, wc)) return false;
        }
        const double section = slot ? wc.BranchSection[m] : 0;
        const double normal = slot ? wc.SavedNormalFlow[m] : 0;
        const double flow = slot ? wc.BranchFlow[m] : 0;
        out.Page = "!" + PointFormat("%4s", {g.Cells(0, k.Row)}) + " " +
                   PointFormat("%-20s", {g.Cells(15, k.Row)}) + " : " +
                   PointFormat("%7.2f", {section}) + ":  " + PointFormat("%8.4f", {rd}) + ":" +
                   PointFormat("%6.2f", {normal}) + ":" + PointFormat("%6.2f", {flow}) + ":";
        out.File = Names(g, k.Row) + ";" + PointFormat("%6.2f", {section}) + ";" +
                   PointFormat("%8.4f", {rd}) + ";" + PointFormat("%6.2f", {normal}) + ";" +
                   PointFormat("%6.1f", {flow});
        out.Text = Names(g, k.Row) + "\t" + PointFormat("%6.2f", {section}) + "\t" +
                   PointFormat("%8.4f", {rd}) + "\t" + PointFormat("%6.2f", {normal}) + "\t" +
                   PointFormat("%6.1f", {flow});
        for (int col : columns) {
            const double required = wc.RequiredFlow[col], saved = wc.SavedNormalFlow[col];
            const double d1 = required != 0 ? (wc.BranchFlow[col] - required) / required * 100 : 0;
            const double d2 = saved != 0 ? (wc.BranchFlow[col] - saved) / saved * 100 : 0;
            const std::string s1 = PointFormat("%3.0f", {d1}), s2 = PointFormat("%3.0f", {d2});
            out.Page += " " + s1 + "/" + s2 + " :";
            out.File += ";" + s1 + "/" + s2;
            out.Text += "\t " + Trim(s1) + "/" + Trim(s2);
        }
        out.Text += "\n";
        return true;
    };
    auto merge = [&](const TCandidateLines& lines) {
        page.Add(lines.Page);
        file.WriteLine(lines.File);
        c.DeviceStabilityText += lines.Text;
        ++c.StabilityRowCount;
    };
    TSummaryResult result = RunCandidates(t, c, candidates, work, merge, progress, threads);
    if (result == TSummaryResult::Done) {
        const std::string note =
            Ru("Примечание: В числителе - изменения относительно требуемого количества воздуха, в "
               "знаменателе - относительно нормального расхода");
        summary.Finish(result, 162, c.DeviceStabilityText);
        page.Add(note);
        c.DeviceStabilityText += note;
        return result;
    }
    return summary.Finish(result, 162, c.DeviceStabilityText);
}

} // namespace arv
