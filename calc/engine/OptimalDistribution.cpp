#include "calc/engine/OptimalDistribution.h"

#include "calc/engine/FlowSolver.h"
#include "calc/engine/NaturalDistribution.h"
#include "calc/engine/NetworkPreparation.h"
#include "calc/engine/RunChecks.h"
#include "calc/model/BranchTypes.h"

#include "platform/Cp1251.h"
#include "platform/NumberFormat.h"
#include "platform/Services.h"

#include <cmath>

namespace arv {

namespace {

constexpr double kOpenBound = 100000;
// Fans that gain less than this in a pass cannot supply more.
constexpr double kMinimalFanGain = 0.009;
// The coarse solver meets a bound to within this.
constexpr double kBoundTolerance = 0.005;

void Reverse(TCalcContext& c, int n) {
    std::swap(c.BranchBeginNode[n], c.BranchEndNode[n]);
    std::swap(c.PressureBase1[n], c.PressureBase2[n]);
}

// The flow at which a fan's curve A*Q^2 + B*Q + C falls to zero pressure, or
// false when the curve has none.
bool FanZeroPressureFlow(const TCalcContext& c, int n, double& flow) {
    const double a = c.FanCoefA[n], b = c.FanCoefB[n], cc = c.FanCoefC[n];
    if (c.BranchKindCode[n] != BranchType::Fan || !(a < 0)) return false;
    const double d = b * b - 4 * a * cc;
    if (!(d >= 0)) return false;
    flow = (-b - std::sqrt(d)) / (2 * a);
    return true;
}

// Runs the coarse solver; false when its flows are no result.
bool Solve(TNetworkTables& t, TCalcContext& c) {
    SolveArcFlowsB(c);
    return SolvedFlowsUsable(t, c);
}

void StartingBounds(TCalcContext& c, bool ideal) {
    for (int i = 1; i <= c.BranchWorkCount; ++i) {
        const int n = c.BranchWorkList[i];
        c.BranchCalcKind[n] = 0;
        if (c.BranchFlow[n] < -0.0001) Reverse(c, n);
        c.BranchFlow[n] = 0;
        c.FlowLowerBound[n] = c.RequiredFlow[n];
        if (ideal)
            c.RegulatorResistance[n] = IdealRegulatorCapacity;
        else if (c.BranchKindCode[n] == BranchType::Regulator)
            c.RegulatorResistance[n] = OptimalRegulatorCapacity;
        c.PressureBase1[n] = c.PressureBase2[n] = 0;
        double zeroPressureFlow = 0;
        if (FanZeroPressureFlow(c, n, zeroPressureFlow)) c.FlowUpperBound[n] = zeroPressureFlow;
    }
}

void StageTwoBounds(TCalcContext& c) {
    for (int i = 1; i <= c.BranchWorkCount; ++i) {
        const int n = c.BranchWorkList[i];
        const double q = c.BranchFlow[n];
        c.FlowLowerBound[n] = c.BranchCalcKind[n] == 1   ? 0
                              : c.BranchCalcKind[n] == 2 ? q
                                                         : -kOpenBound;
        if (c.RegulatorResistance[n] > 0.001)
            c.FlowUpperBound[n] = q < c.RequiredFlow[n] ? c.RequiredFlow[n] : q;
    }
}

// A consumer is short when it got less than the whole tenths its bound asks
// for, beyond the solver's bound tolerance: the bounds are cut to tenths, so
// 12.37 required and 12.3 given is what the passes can reach.
bool AnyConsumerShort(const TCalcContext& c) {
    for (int i = 1; i <= c.BranchWorkCount; ++i) {
        const int n = c.BranchWorkList[i];
        const double q = std::fabs(c.BranchFlow[n]);
        if (c.RequiredFlow[n] > q && q + kBoundTolerance < TruncToTenth(c.RequiredFlow[n]))
            return true;
    }
    return false;
}

// Every flow becomes the least the next pass may give, raised to the
// required flow where that is short.
void NextPassBounds(TCalcContext& c) {
    for (int i = 1; i <= c.BranchWorkCount; ++i) {
        const int n = c.BranchWorkList[i];
        if (c.BranchCalcKind[n] == 2 && c.BranchFlow[n] + 0.005 < c.FlowLowerBound[n])
            c.FlowUpperBound[n] = c.BranchFlow[n];
        if (c.BranchFlow[n] < -0.0001) {
            Reverse(c, n);
            c.BranchFlow[n] = -c.BranchFlow[n];
        }
        if (c.BranchFlow[n] < c.RequiredFlow[n])
            c.FlowLowerBound[n] = TruncToTenth(c.RequiredFlow[n]);
        else
            c.FlowLowerBound[n] = c.BranchFlow[n];
        if (c.RegulatorResistance[n] > 0.001) c.FlowUpperBound[n] = kOpenBound;
        if (c.BranchCalcKind[n] > 0) c.BranchCalcKind[n] = 0;
    }
}

void Finish(TNetworkTables& t, TCalcContext& c) {
    ShowCalcResults(t, c);
    VyvMemoPotr(t, c);
    c.OptimalStage = 0;
    SetScreenCursor(TCursor::Default);
}

} // namespace

double TruncToTenth(double flow) {
    return std::floor(flow * 10 + 1e-9) / 10;
}

void CalcOptimalDistribution(TNetworkTables& t, TCalcContext& c) {
    const bool ideal = c.CalcOptions[2] == 'I';
    SetScreenCursor(TCursor::HourGlass);
    t.MemoPotr.Clear();
    t.MemoPotr.Add(Ru("ОПТИМАЛЬНОЕ ВОЗДУХОРАСПРЕДЕЛЕНИЕ"));
    PrepareNetwork(t, c);
    if (c.CalcErrorFlag != 0) {
        ClearRunResults(t, c);
        SetScreenCursor(TCursor::Default);
        return;
    }
    // The natural distribution is the starting point.
    if (!Solve(t, c)) {
        SetScreenCursor(TCursor::Default);
        return;
    }
    StartingBounds(c, ideal);

    c.PrevFanFlowSum = 0;
    int noGain = 0;
    for (;;) {
        ++c.OptimalIteration;
        t.MemoPotr.Add(Ru("Итерация ") + Format("%4d", {c.OptimalIteration}));
        t.MemoPotr.Add(Ru("1 этап "));
        c.OptimalStage = 1;
        if (!Solve(t, c)) break;
        c.PrevFanFlowSum = c.FanFlowSum;
        c.FanFlowSum = 0;
        for (int i = 1; i <= c.BranchWorkCount; ++i) {
            const int n = c.BranchWorkList[i];
            if (c.BranchKindCode[n] != BranchType::Fan) continue;
            c.FanFlowSum += c.BranchFlow[n];
            c.BranchCalcKind[n] = 2;
        }
        if (c.FanFlowSum - c.PrevFanFlowSum < kMinimalFanGain) noGain = 1;

        StageTwoBounds(c);
        t.MemoPotr.Add(Ru("2 этап "));
        c.OptimalStage = 2;
        if (!Solve(t, c)) break;

        c.SearchResult = noGain == 0 && AnyConsumerShort(c) ? 1 : 0;
        // Passes that keep gaining without supplying everyone end as if the
        // fans had stopped gaining.
        if (noGain == 1 || (c.SearchResult == 1 && c.OptimalIteration >= MaxOptimalPasses)) {
            t.MemoPotr.Add(Ru("Обеспечение потребителей невозможно"));
            SetScreenCursor(TCursor::Default);
            ShowCalcMessage(Ru("Обеспечение потребителей невозможно. См.Потребители"));
            Finish(t, c);
            return;
        }
        if (c.SearchResult == 0) {
            Finish(t, c);
            return;
        }
        NextPassBounds(c);
    }
    // A solver run that failed or left its bounds: its message was shown.
    c.OptimalStage = 0;
    SetScreenCursor(TCursor::Default);
}

void Rasc_ORClick(TNetworkTables& t, TCalcContext& c) {
    c.CalcOptions[2] = 'O';
    c.CalcOptions[40] = 'N';
    CalcOptimalDistribution(t, c);
}

void Rasc_IRClick(TNetworkTables& t, TCalcContext& c) {
    c.CalcOptions[2] = 'I';
    c.CalcOptions[40] = 'N';
    CalcOptimalDistribution(t, c);
}

} // namespace arv
