#include "calc/model/CalcModel.h"

#include "calc/model/BranchTypes.h"

#include <algorithm>

namespace arv {

TCalcOptions::TCalcOptions() {
    SetDefaults();
}

char& TCalcOptions::operator[](int position) {
    return positions_.at(static_cast<size_t>(position));
}

char TCalcOptions::operator[](int position) const {
    return positions_.at(static_cast<size_t>(position));
}

void TCalcOptions::SetDefaults() {
    positions_.fill(' ');
    FlowUnit = 1;
    positions_[1] = 'D';
    positions_[2] = 'E';
    positions_[3] = 'N';
    positions_[4] = 'S';
    positions_[5] = 'O';
    positions_[6] = '2';
    positions_[40] = 'N';
}

TCalcContext::TCalcContext() {
    Reset();
}

void TCalcContext::Reset() {
    const size_t nb = MaxBranchCount + 1;
    const size_t nn = MaxNodeCount + 1;
    auto zero = [](auto& v, size_t n) { v.assign(n, {}); };
    zero(BranchBeginNode, nb);
    zero(BranchEndNode, nb);
    zero(BranchKindCode, nb);
    zero(BranchResistance, nb);
    zero(BranchLength, nb);
    zero(BranchSection, nb);
    zero(BranchSlope, nb);
    zero(RegulatorResistance, nb);
    zero(CalcRegulatorResistance, nb);
    zero(RequiredFlow, nb);
    zero(FlowLowerBound, nb);
    zero(FlowUpperBound, nb);
    zero(BranchFlow, nb);
    zero(PressureBase1, nb);
    zero(PressureBase2, nb);
    zero(BranchDepression, nb);
    zero(BranchVelocity, nb);
    zero(FanCoefA, nb);
    zero(FanCoefB, nb);
    zero(FanCoefC, nb);
    zero(FanFlowLimit, nb);
    zero(BranchCalcKind, nb);
    zero(BranchOccurrence, nb);
    zero(BranchWorkList, nb);
    BranchWorkCount = 0;
    zero(BranchHeight, nb);
    zero(BranchGasInflow, nb);
    zero(BranchGasFlow, nb);
    zero(BranchGasConcentration, nb);
    zero(SavedNormalFlow, nb);
    zero(ReversedBranchMark, MaxBranchCount + 1);
    zero(SmokedBranchMark, MaxBranchCount + 1);

    zero(NodeElevation, nn);
    zero(NodeX, nn);
    zero(NodeY, nn);
    zero(NodeInBranchesText, nn);
    zero(NodeOutBranchesText, nn);
    zero(NodeInCount, nn);
    zero(NodeOutCount, nn);
    zero(SurfaceNodeFlag, nn);
    zero(NodeLabel, nn);
    zero(NodeWork, nn);
    zero(NodeIncidenceStart, nn + 1);
    zero(NodeIncidence, 2 * MaxBranchCount + 1);
    zero(SourceNodeList, nn);
    zero(SinkNodeList, nn);
    SourceNodeCount = SinkNodeCount = 0;
    zero(NodePressure, nn);
    zero(NodeSmokeTime, nn);
    zero(SurfaceNodeList, MaxSurfaceNodes + 1);
    SurfaceNodeCount = 0;

    CalcErrorFlag = 0;
    OptimalIteration = OptimalStage = SearchResult = ConnectedNodeCount = 0;
    FlowIncrement = 0;
    CurrentStep = 0;
    CurrentBranch = 0;
    FanFlowSum = PrevFanFlowSum = 0;
    SolverListing.clear();
    LastFanPressure = 0;
    PressureText.clear();
    PressureRowCount = 0;
    StabilityText.clear();
    StabilityTableText.clear();
    FireStabilityText.clear();
    DeviceStabilityText.clear();
    StabilityRowCount = 0;
    DeviceStabilityColCount = 0;
}

double TCalcContext::SquareLawShiftUp1(int i) const {
    double dq = FlowIncrement;
    return PressureBase1[i] - BranchResistance[i] * dq * (2 * BranchFlow[i] + dq);
}

double TCalcContext::SquareLawShiftDown1(int i) const {
    double dq = FlowIncrement;
    return PressureBase1[i] + BranchResistance[i] * dq * (2 * BranchFlow[i] - dq);
}

double TCalcContext::SquareLawShiftUp2(int i) const {
    double dq = FlowIncrement;
    return PressureBase2[i] - BranchResistance[i] * dq * (2 * BranchFlow[i] + dq);
}

double TCalcContext::SquareLawShiftDown2(int i) const {
    double dq = FlowIncrement;
    return PressureBase2[i] + BranchResistance[i] * dq * (2 * BranchFlow[i] - dq);
}

double TCalcContext::SquareLawDepression(int i, double q) const {
    return RegulatorResistance[i] * q * q;
}

double TCalcContext::FanPressureAtFlow(int i, double q) {
    double p = FanCoefA[i] * q * q + FanCoefB[i] * q + FanCoefC[i];
    LastFanPressure = p;
    if (BranchKindCode[i] == BranchType::Fan && q < FanFlowLimit[i]) p = FanCoefC[i];
    if (BranchKindCode[i] == BranchType::FanReversed && q > FanFlowLimit[i]) p = FanCoefC[i];
    LastFanPressure = p;
    return p;
}

double TCalcContext::FanTopFlow(double a, double b) {
    if (a == 0) return 0;
    double top = -b / (2 * a);
    return top < 0 ? 0 : top;
}

TCalcContext& Calc() {
    static TCalcContext context;
    return context;
}

} // namespace arv
