#include "calc/engine/RunChecks.h"

#include "calc/engine/NetworkPreparation.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace arv {

namespace {

void ClearColumns(TModGrid& g, std::initializer_list<int> columns) {
    g.BeginUpdate();
    for (int r = FirstDataRow; r < g.RowCount(); ++r)
        for (int col : columns) g.SetCells(col, r, "");
    g.EndUpdate();
}

} // namespace

bool CheckSolvedFlows(TNetworkTables& t, TCalcContext& c) {
    // A solver that gives a branch up after its attempts leaves such a loop
    // far below the bound, at the flow of the branch that ran away; the
    // branches in series with it carry as much.
    double bound = SolverFlowBound;
    const int runaway = c.SolverRunawayBranch;
    if (runaway >= 1 && runaway <= MaxBranchCount)
        bound = std::min(bound, std::fabs(c.BranchFlow[runaway]) * (1 - 1e-9));
    int loopBranch = 0;
    for (int i = 1; i <= c.BranchWorkCount && i <= MaxBranchCount; ++i) {
        int n = c.BranchWorkList[i];
        // NaN counts as beyond the bound.
        if (n < 1 || n > MaxBranchCount || std::fabs(c.BranchFlow[n]) <= bound) continue;
        // A working of the loop tells the user more than the fan driving it.
        if (loopBranch == 0 || (c.BranchCalcKind[n] == 0 && c.BranchCalcKind[loopBranch] != 0))
            loopBranch = n;
    }
    if (loopBranch == 0) return true;
    c.CalcErrorFlag = 1;
    // The fire split's pseudo-branch has no row; its table branch has.
    const int shown = loopBranch == MaxBranchCount && c.CalcOptions[2] == 'P' ? 0 : loopBranch;
    ShowCalcMessage(Ru("Ошибка: ветвь ") + IntToStr(loopBranch) +
                    Ru(" входит в контур без сопротивления: расход превышает ") +
                    IntToStr(static_cast<int64_t>(SolverFlowBound)) +
                    Ru(" м3/с. Задайте сопротивления выработок контура"));
    if (shown != 0) t.GotoBranchRow(0, shown);
    return false;
}

bool SolvedFlowsUsable(TNetworkTables& t, TCalcContext& c) {
    if (c.SolverFailed != 0) return false;
    if (CheckSolvedFlows(t, c)) return true;
    ClearRunResults(t, c);
    return false;
}

void ClearRunResults(TNetworkTables& t, const TCalcContext& c) {
    const char run = c.CalcOptions[2];
    if (c.CalcOptions[40] == 'A') {
        ClearColumns(t.TablDanRev, {9, 12, 13, 14});
        ClearColumns(t.TablVenRev, {6, 7});
        return;
    }
    if (run == 'E' || run == 'O' || run == 'I') {
        ClearColumns(t.TablDan, {9, 11, 12, 13, 14});
        ClearColumns(t.TablPotr, {3, 4});
        ClearColumns(t.TablDavl, {1});
    } else {
        ClearColumns(t.TablDan, {12, 13, 14});
    }
    ClearColumns(t.TablVen, {6, 7});
}

} // namespace arv
