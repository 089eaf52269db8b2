#include "calc/engine/RunChecks.h"

#include "calc/engine/NetworkPreparation.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace arv {

namespace {

// Loop branches named in the message; a longer loop ends with "...".
constexpr size_t kListedLoopBranches = 10;

void ClearColumns(TModGrid& g, std::initializer_list<int> columns) {
    g.BeginUpdate();
    for (int r = FirstDataRow; r < g.RowCount(); ++r)
        for (int col : columns) g.SetCells(col, r, "");
    g.EndUpdate();
}

// Whether the branches that carry more than `level` close a loop in which
// no branch has a resistance (surface nodes are one node: the atmosphere
// joins them). Nothing holds the flow of such a loop back; a loop whose
// workings all resist only settles beyond the flows the solver reaches.
bool LoopWithoutResistance(const TCalcContext& c, double level) {
    std::vector<int> parent(MaxNodeCount + 1);
    for (int k = 0; k <= MaxNodeCount; ++k) parent[k] = k;
    auto root = [&](int k) {
        if (k < 1 || k > MaxNodeCount) return -1;
        if (c.SurfaceNodeFlag[k] != 0) k = 0;
        while (parent[k] != k) k = parent[k] = parent[parent[k]];
        return k;
    };
    const int count = std::min(c.BranchWorkCount, MaxBranchCount);
    for (int i = 1; i <= count; ++i) {
        const int n = c.BranchWorkList[i];
        if (n < 1 || n > MaxBranchCount || c.BranchResistance[n] != 0 ||
            !(std::fabs(c.BranchFlow[n]) > level))
            continue;
        const int a = root(c.BranchBeginNode[n]), b = root(c.BranchEndNode[n]);
        if (a < 0 || b < 0) continue;
        if (a == b) return true;
        parent[a] = b;
    }
    return false;
}

} // namespace

bool CheckSolvedFlows(TNetworkTables& t, TCalcContext& c) {
    const int count = std::min(c.BranchWorkCount, MaxBranchCount);
    bool beyond = false;
    for (int i = 1; i <= count && !beyond; ++i) {
        const int n = c.BranchWorkList[i];
        // NaN counts as beyond the bound.
        beyond = n >= 1 && n <= MaxBranchCount && !(std::fabs(c.BranchFlow[n]) <= SolverFlowBound);
    }
    int runaway = c.SolverRunawayBranch;
    if (runaway < 1 || runaway > MaxBranchCount) runaway = 0;
    if (!beyond && runaway == 0) return true;

    // The loop: the branches beyond the bound or, where the solver gave up
    // below it, those carrying at least half the flow of the branch it gave
    // up on. The loop's flow passes them all, give or take the flows of
    // the sound network around it, which are far smaller.
    const double level = beyond ? SolverFlowBound : std::fabs(c.BranchFlow[runaway]) / 2;
    // The fire split's pseudo-branch has no row; its table branch, in
    // series with it, is in the loop too.
    const int pseudo = c.CalcOptions[2] == 'P' ? MaxBranchCount : 0;
    std::vector<int> loop;
    int shown = 0;
    for (int i = 1; i <= count; ++i) {
        const int n = c.BranchWorkList[i];
        if (n < 1 || n > MaxBranchCount || n == pseudo || std::fabs(c.BranchFlow[n]) <= level)
            continue;
        loop.push_back(n);
        // A working of the loop tells the user more than the fan driving it.
        if (shown == 0 || (c.BranchCalcKind[n] == 0 && c.BranchCalcKind[shown] != 0)) shown = n;
    }
    if (shown == 0) shown = runaway != 0 ? runaway : pseudo;
    if (shown == pseudo && pseudo != 0) {
        // The burning branch begins at the fire node.
        for (int i = 1; i <= count; ++i) {
            const int n = c.BranchWorkList[i];
            if (n >= 1 && n < MaxBranchCount && c.BranchBeginNode[n] == MaxNodeCount) shown = n;
        }
        if (loop.empty() && shown != pseudo) loop.push_back(shown);
    }
    std::sort(loop.begin(), loop.end());
    std::string members;
    for (size_t i = 0; i < loop.size() && i < kListedLoopBranches; ++i)
        members += (i == 0 ? "" : ", ") + IntToStr(loop[i]);
    if (loop.size() > kListedLoopBranches) members += ", ...";

    c.CalcErrorFlag = 1;
    const auto reached = [&] {
        return IntToStr(static_cast<int64_t>(std::llround(std::fabs(c.BranchFlow[runaway]))));
    };
    if (!LoopWithoutResistance(c, level)) {
        // Every loop resists: the flow only lies beyond what the solver
        // reaches in its attempts, or beyond the bound it accepts.
        const std::string how =
            beyond
                ? Ru(" превысил ") + IntToStr(static_cast<int64_t>(SolverFlowBound)) + Ru(" м3/с")
                : Ru(" достиг ") + reached() + Ru(" м3/с и продолжал расти");
        ShowCalcMessage(Ru("Ошибка: расчет не сошелся, расход в ветви ") + IntToStr(shown) + how +
                        (members.empty() ? "" : Ru(" (ветви с таким расходом: ") + members + ")") +
                        Ru(". Проверьте сопротивления выработок и напоры вентиляторов"));
        if (shown != pseudo || pseudo == 0) t.GotoBranchRow(0, shown);
        return false;
    }
    std::string what;
    if (beyond) {
        what =
            Ru("расход превышает ") + IntToStr(static_cast<int64_t>(SolverFlowBound)) + Ru(" м3/с");
    } else {
        what = Ru("расход растет без предела, расчет остановлен на ") + reached() + Ru(" м3/с");
    }
    ShowCalcMessage(Ru("Ошибка: ветвь ") + IntToStr(shown) +
                    Ru(" входит в контур без сопротивления") +
                    (members.empty() ? "" : Ru(" (ветви контура: ") + members + ")") + ": " + what +
                    Ru(". Задайте сопротивления выработок контура"));
    if (shown != pseudo || pseudo == 0) t.GotoBranchRow(0, shown);
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
